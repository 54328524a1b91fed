#include "namedsetups.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"
#include "settingstesthelpers.h"

#include <QtTest>

// object, property, value before the reset, value after the full reset, after the one sparing I/O
static const char *const resetRows[][5] = {
    {"KX12Setup", "SoftwareVersion", "3.0", "3.0", "3.0"},      {"KX12Setup", "KX12SerialNumber", "1234", "1234", "1234"},
    {"KX12Setup", "IP", "10.0.0.5", "10.0.0.5", "10.0.0.5"},    {"KX12Setup", "MacAddress", "m1", "m1", "m1"},
    {"KX12Setup", "Group", "1", "3", "1"},                       {"KX12Setup", "SystemName", "Box7", "KVE420", "Box7"},
    {"KX12Setup", "LocalSFI", "SD0200", "SD0108", "SD0200"},     {"KX12Setup", "Printer", "2", "0", "0"},
    {"TransducerSetup1", "ApprovedPrimary", "1", "1", "1"},      {"TransducerSetup1", "Range", "2", "6", "6"},
    {"SnrCalibSetup", "Ch2HighSavedRes", "s", "s", "s"},         {"SnrCalibSetup", "Ch2HighResult", "s", "37.0_00.0_U_Bottom.lost", "37.0_00.0_U_Bottom.lost"},
    {"OptionsSetup", "TranscieverFirmwareVersion", "fw9", "fw9", "fw9"}, {"OptionsSetup", "TransceiverSerialNumber", "x", "x", "x"},
    {"NmeaPort2Setup", "Baud", "2", "0", "2"},                   {"AlertSetup", "AlarmShallow", "3", "10", "10"},
    {"DisplaySetup", "SoftwareVersion", "1.9", "1.9", "1.9"},    {"DisplaySetup", "DisplaySerialNumber", "77", "77", "77"},
    {"DisplaySetup", "LocalSFI", "SD0300", "SD0109", "SD0300"},  {"DisplaySetup", "PairedSFI", "SD0200", "SD0108", "SD0200"},
    {"DisplaySetup", "SystemName", "Wing", "KVE420_Display", "Wing"}, {"DisplaySetup", "Group", "5", "3", "5"},
    {"DisplaySetup", "ButtonBeep", "1", "0", "0"},               {"OtherLocalSettings", "NmeaPort2Status", "2", "2", "2"},
    {"OtherLocalSettings", "TimeMode", "2", "0", "0"},
};

class TestSettingsController : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;
    std::unique_ptr<SerializationController> m_controller;

    // Each second of the link watch, with what arrived from the junction box during it.
    void secondsPass(int seconds, const QString &received = QString())
    {
        for (int second = 1; second <= seconds; ++second) {
            if (!received.isEmpty())
                m_controller->deserializeData(received);
            m_controller->timerTimeout();
        }
    }

private slots:
    void init()
    {
        m_sandbox = std::make_unique<SettingsSandbox>();
        m_data = m_sandbox->makeData();
        m_controller = std::make_unique<SerializationController>(*m_data);
    }
    void cleanup() { m_controller.reset(); m_data.reset(); m_sandbox.reset(); }

    void oneFilePerLeafAndReadBackAtStart()
    {
        ESSetup *setup = m_data->setup();
        setup->AlertSetup()->setAlarmShallow(42.5);
        setup->transducer(1)->setRange(12);
        m_data->localSetup()->DimmingSetupContainer()->NightDimmingSetup()->setBrightness(17);
        QVERIFY(setup->writeAllChildrenToFiles());
        QVERIFY(m_data->localSetup()->writeAllChildrenToFiles());
        QDir dir(m_sandbox->directory());
        const QStringList jb = dir.entryList({QStringLiteral("JB_*.txt")}, QDir::Files);
        const QStringList cu = dir.entryList({QStringLiteral("CU_*.txt")}, QDir::Files);
        QCOMPARE(jb.size(), 33);
        QCOMPARE(cu.size(), 11);
        QVERIFY(jb.contains(QStringLiteral("JB_TransducerSetup2.txt")) && !jb.contains(QStringLiteral("JB_SetupSetup.txt")));
        QCOMPARE(dir.entryList(QDir::Files).size(), jb.size() + cu.size()); // no temporary leftovers
        const QString alertFile = m_sandbox->readFile(QStringLiteral("JB_AlertSetup.txt"));
        QVERIFY(alertFile.startsWith(QStringLiteral("Type_Setup,AlarmShallow=42.50,AlarmShallowID=230,")));
        QVERIFY(!alertFile.contains(QLatin1Char('\n')));
        auto restarted = m_sandbox->makeData();
        QCOMPARE(restarted->setup()->AlertSetup()->AlarmShallow(), 42.5);
        QCOMPARE(restarted->setup()->transducer(1)->Range(), 12);
        QCOMPARE(restarted->setup()->transducer(0)->Range(), 6);
        QCOMPARE(restarted->localSetup()->DimmingSetupContainer()->NightDimmingSetup()->Brightness(), 17);
    }

    void filesOfOtherVersionsKeepWhatTheyCanRead()
    {
        // Content of JB_AlertSetup.txt over values in memory of AlarmShallow 12, AlarmShallowID 231,
        // AlarmSFI "VM0001", WarningEscType 2; the values afterwards; the debug line expected.
        struct Row { QByteArray file; double shallow; int id; const char *sfi; int esc; const char *log; };
        const QByteArray whole = "Type_Setup,AlarmShallow=33.00,AlarmShallowID=232,AlertDeep=0.00,AlertDeepID=10456,AlertType=1,"
                                 "EscalationTime=3,AlertSensorCommsID=10457,AlertSensorMutedID=10458,AlertDisplayCommsID=10459,"
                                 "AlertPowerFailureID=10231,AlarmSFI=VM0777,WarningEscType=1";
        const QByteArray older = whole.left(whole.lastIndexOf(','));
        const QByteArray newer = QByteArray(whole).replace(",AlertType=", ",PreAlarmMargin=2.50,AlertType=") + ",EscalationSound=3";
        const Row rows[] = {
            {whole, 33, 232, "VM0777", 1, nullptr},
            {whole + "\r\n", 33, 232, "VM0777", 1, nullptr},
            {whole + " \t \n", 33, 232, "VM0777", 1, nullptr},
            {QByteArray(whole).replace("VM0777", "VM\t07"), 33, 232, "VM\t07", 1, nullptr},
            {older, 33, 232, "VM0777", 2, "read in part \\(0 unknown, 1 missing\\)"},
            {newer, 33, 232, "VM0777", 1, "Unknown property skipped in settings file: PreAlarmMargin"},
            {whole.left(whole.indexOf("AlertDeepID") + 6), 33, 232, "VM0001", 2, "cut short, read up to AlertDeep:"},
            {whole.left(whole.indexOf("AlertDeepID") + 6) + "\n", 33, 232, "VM0001", 2, "cut short"},
            {QByteArray(), 12, 231, "VM0001", 2, nullptr},
            {"\r\n", 12, 231, "VM0001", 2, nullptr},
            {QByteArray("\x00\x01\xff\xfe,AlarmShallow=77", 20), 12, 231, "VM0001", 2, "type tag is unreadable: .*JB_AlertSetup\\.txt"},
            {"Type_Runtime,AlarmShallow=77.00,WarningEscType=0", 12, 231, "VM0001", 2, "type tag is unreadable: .*JB_AlertSetup\\.txt \\(\"Type_Runtime\""},
            {"Type_Setup,AlarmShallow=deep,AlarmShallowID=232", 12, 232, "VM0001", 2, "Unreadable value kept out of settings: AlarmShallow=deep"},
        };
        ESAlertSetup *alerts = m_data->setup()->AlertSetup();
        for (const Row &row : rows) {
            alerts->setAlarmShallow(12);
            alerts->setAlarmShallowID(231);
            alerts->setAlarmSFI(QStringLiteral("VM0001"));
            alerts->setWarningEscType(2);
            m_sandbox->writeFile(QStringLiteral("JB_AlertSetup.txt"), row.file);
            DebugCapture debug;
            const bool readable = !row.log || !QByteArray(row.log).contains("type tag");
            QCOMPARE(alerts->readFromFile(), readable);
            const QStringList lines = debug.take();
            if (row.log)
                QVERIFY2(lines.filter(QRegularExpression(QString::fromLatin1(row.log))).size() == 1, qPrintable(lines.join('|')));
            else
                QVERIFY2(lines.isEmpty(), qPrintable(lines.join('|')));
            QCOMPARE(alerts->AlarmShallow(), row.shallow);
            QCOMPARE(alerts->AlarmShallowID(), row.id);
            QCOMPARE(alerts->AlarmSFI(), QString::fromLatin1(row.sfi));
            QCOMPARE(alerts->WarningEscType(), row.esc);
            QCOMPARE(m_sandbox->readBytes(QStringLiteral("JB_AlertSetup.txt")), row.file); // read, never rewritten
        }
        // At start-up the same file of a newer version gives its values over the defaults.
        m_sandbox->writeFile(QStringLiteral("CU_DisplaySetup.txt"),
                             "Type_LocalSetup,SystemName=Wing,LocalSFI=SD0222,NightVision=1,Group=5\r\n");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("Unknown property skipped.*NightVision")));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("read in part.*CU_DisplaySetup")));
        auto restarted = m_sandbox->makeData();
        QCOMPARE(restarted->localSetup()->DisplaySetup()->LocalSFI(), QStringLiteral("SD0222"));
        QCOMPARE(restarted->localSetup()->DisplaySetup()->Group(), 5);
        QCOMPARE(restarted->setup()->AlertSetup()->AlarmShallowID(), 232); // what the last alert file held
        QCOMPARE(restarted->setup()->AlertSetup()->AlarmShallow(), 10.0);
    }

    void valuesWithSeparatorsAndControlCharactersReadBack()
    {
        const QString odd = QStringLiteral("a,b=c;d%41%%\t\r\n\x7f end ");
        CU_R710_Setup *display = m_data->localSetup()->DisplaySetup();
        display->changeValue(QStringLiteral("SystemName"), odd);
        const QString file = m_sandbox->readFile(QStringLiteral("CU_DisplaySetup.txt"));
        QVERIFY(!file.contains(QLatin1Char('\n')) && file.count(QLatin1Char(',')) == display->metaObject()->propertyCount() - 1);
        QVERIFY(file.contains(QStringLiteral("SystemName=a%2Cb%3Dc;d%2541%%%09%0D%0A%7F end%20,")));
        auto restarted = m_sandbox->makeData();
        QCOMPARE(restarted->localSetup()->DisplaySetup()->SystemName(), odd);
        // Plain values stay as the peer reads them.
        display->changeValue(QStringLiteral("SystemName"), QStringLiteral("Bridge 2"));
        QVERIFY(m_sandbox->readFile(QStringLiteral("CU_DisplaySetup.txt")).contains(QStringLiteral(",SystemName=Bridge 2,")));
    }

    void dispatchByTypeTag()
    {
        ESSetup *setup = m_data->setup();
        m_controller->deserializeData(QStringLiteral("Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"));
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 5.0);
        QVERIFY(m_sandbox->readFile(QStringLiteral("JB_AlertSetup.txt")).startsWith(QStringLiteral("Type_Setup,AlarmShallow=5.00,")));
        m_controller->deserializeData(QStringLiteral("Type_Runtime,SingleProperty,ESRuntime,DepthKeel=4.25"));
        QCOMPARE(m_data->runtime()->DepthKeel(), 4.25);
        m_controller->deserializeData(QStringLiteral("Type_Runtime,DepthSurface=8=T,Heading=180=F"));
        QCOMPARE(m_data->runtime()->DepthSurface(), 8.0);
        QSignalSpy alertData(m_data->alerts(), &ES_Alerts::dataReceivedFromCommunication);
        m_controller->deserializeData(QStringLiteral("Type_Alert,SerializableClass1=AlertDeep,AlertState=2=T,AlertText=Deep Water=T"));
        QCOMPARE(m_data->alerts()->AlertDeep()->AlertState(), 2);
        QCOMPARE(m_data->alerts()->AlertDeep()->AlertText(), QStringLiteral("Deep Water"));
        m_controller->deserializeData(QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AlertTest,AlertState=1"));
        QCOMPARE(m_data->alerts()->AlertTest()->AlertState(), 1);
        QCOMPARE(alertData.count(), 2);
        m_controller->deserializeData(QStringLiteral("Type_SetupCommsInfo,SingleProperty,ComminicationInformation,CuPortsIn=1;2"));
        QCOMPARE(m_data->communicationInformation()->CuPortsIn(), QStringLiteral("1;2"));
        m_controller->deserializeData(QStringLiteral("Type_SetupCommsInfo,ChannelNumber=3,AuxStates=9"));
        QCOMPARE(m_data->communicationInformation()->AuxStates(), 9);
        m_controller->deserializeData(QStringLiteral("Type_Mark,Date=2026-12-06,Depth=12.5"));
        QCOMPARE(m_data->mark()->Depth(), 12.5);
        // Ignored: unknown tag, a single token, marks inside setup texts.
        QSignalSpy about(m_controller.get(), &SerializationController::aboutToDeserializeCompleteSetup);
        for (const char *ignored : {"Type_Other,AlarmShallow=9", "Type_Setup", "Type_Setup,Set_Mark,SerializableClass1=AlertSetup,AlarmShallow=9"})
            m_controller->deserializeData(QString::fromLatin1(ignored));
        QCOMPARE(about.count(), 0);
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 5.0);
    }

    void silentJunctionBoxIsDeclaredLostAfterMoreThanTenSeconds()
    {
        QSignalSpy link(m_controller.get(), &SerializationController::commsToKX12StateChanged);
        QSignalSpy pair(m_controller.get(), &SerializationController::pairingRequested);
        m_data->runtime()->deserialize(QStringLiteral("Type_Runtime,DepthSurface=8=T,LatitudeDegreesSigned=59.5=T"));
        secondsPass(10);
        QCOMPARE(link.count() + pair.count(), 0); // exactly ten seconds is not yet lost
        QVERIFY(m_controller->link()->isLinkUp());
        secondsPass(1);
        QCOMPARE(firstArguments(link), QVariantList{false});
        QCOMPARE(pair.count(), 1);
        QVERIFY(!m_controller->link()->isLinkUp());
        QVERIFY(!m_data->runtime()->isValid(QStringLiteral("DepthSurface")));
        QCOMPARE(m_data->runtime()->DepthSurface(), 0.0);
        QCOMPARE(m_data->runtime()->LatitudeDegreesSigned(), QString());
        secondsPass(10);
        QCOMPARE(pair.count(), 1);
        secondsPass(1);
        QCOMPARE(pair.count(), 2); // every 11 s
        QCOMPARE(link.count(), 1); // lost is told once
    }

    void onlyAnAcceptedCompleteSetupLetsDataKeepTheLink()
    {
        QSignalSpy pair(m_controller.get(), &SerializationController::pairingRequested);
        QSignalSpy link(m_controller.get(), &SerializationController::commsToKX12StateChanged);
        // A malformed complete setup asks for pairing at once.
        QTest::ignoreMessage(QtDebugMsg, "Deserialization of setups failed, sending new PAIR message...");
        m_controller->deserializeData(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow"));
        QCOMPARE(pair.count(), 1);
        QCOMPARE(link.count(), 1);
        QVERIFY(!m_controller->link()->isSetupAccepted());
        QCOMPARE(m_controller->link()->secondsWithoutData(), 0);
        // Runtime data alone, before any accepted setup: the count goes on.
        secondsPass(11, QStringLiteral("Type_Runtime,DepthSurface=8=T"));
        QCOMPARE(pair.count(), 2);
        m_controller->deserializeData(m_data->setup()->serialize());
        QVERIFY(m_controller->link()->isSetupAccepted());
        secondsPass(30, QStringLiteral("Type_Runtime,DepthSurface=8=T"));
        QCOMPARE(pair.count(), 2);
        QCOMPARE(m_controller->link()->secondsWithoutData(), 1);
    }

    void valuesTheBoxStopsSendingAgeOutWhileTheLinkHolds()
    {
        m_controller->deserializeData(m_data->setup()->serialize());
        m_data->runtime()->deserialize(QStringLiteral("Type_Runtime,LatitudeDegreesSigned=59.5=T"));
        secondsPass(10, QStringLiteral("Type_Runtime,DepthSurface=8=T"));
        QVERIFY(m_data->runtime()->isValid(QStringLiteral("LatitudeDegreesSigned")));
        secondsPass(1, QStringLiteral("Type_Runtime,DepthSurface=8=T"));
        QVERIFY(!m_data->runtime()->isValid(QStringLiteral("LatitudeDegreesSigned")));
        QVERIFY(m_data->runtime()->isValid(QStringLiteral("DepthSurface")));
        QVERIFY(m_controller->link()->isLinkUp());
    }

    void completeSetupAfterPairingIsTakenWhole()
    {
        secondsPass(11);
        QVERIFY(!m_controller->link()->isLinkUp());
        ESSetup *setup = m_data->setup();
        m_controller->setConnectingToJb();
        SettingsSandbox peerSandbox;
        auto peer = peerSandbox.makeData();
        peer->setup()->AlertSetup()->setAlarmShallow(66);
        peer->setup()->KX12Setup()->setSystemName(QStringLiteral("PeerBox"));
        QSignalSpy about(m_controller.get(), &SerializationController::aboutToDeserializeCompleteSetup);
        QSignalSpy finished(m_controller.get(), &SerializationController::finishedDeserializingCompleteSetup);
        QSignalSpy link(m_controller.get(), &SerializationController::commsToKX12StateChanged);
        m_controller->deserializeData(peer->setup()->serialize());
        QCOMPARE(about.count(), 1);
        QCOMPARE(firstArguments(finished), QVariantList{true});
        QCOMPARE(firstArguments(link), QVariantList{true});
        QVERIFY(!m_controller->link()->isNewConnection());
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 66.0);
        QCOMPARE(setup->KX12Setup()->SystemName(), QStringLiteral("PeerBox"));
        // Taken whole and kept across a restart.
        QVERIFY(m_sandbox->readFile(QStringLiteral("JB_KX12Setup.txt")).contains(QStringLiteral("SystemName=PeerBox")));
        m_controller->deserializeData(peer->setup()->serialize());
        QCOMPARE(firstArguments(finished), (QVariantList{true, false}));
        QCOMPARE(link.count(), 1);
    }

    void factoryResets()
    {
        auto find = [](ESData &data, const char *name) {
            auto *object = data.setup()->findChild<SerializableClass *>(QLatin1String(name));
            return object ? object : data.localSetup()->findChild<SerializableClass *>(QLatin1String(name));
        };
        for (bool sparingCommunications : {false, true}) {
            for (const auto &row : resetRows)
                QVERIFY(find(*m_data, row[0])->setProperty(row[1], QString::fromLatin1(row[2])));
            QSignalSpy complete(m_controller.get(), &SerializationController::completeSetupToSend);
            if (sparingCommunications)
                m_controller->resets().restoreAllSetupsExceptIO();
            else
                m_controller->resets().restoreAllSetups();
            QCOMPARE(firstArguments(complete), QVariantList{m_data->setup()->serialize()});
            auto restarted = m_sandbox->makeData(); // and the files say the same
            for (ESData *data : {m_data.get(), restarted.get()}) {
                for (const auto &row : resetRows)
                    QCOMPARE(find(*data, row[0])->property(row[1]).toString(), QString::fromLatin1(row[sparingCommunications ? 4 : 3]));
            }
        }
    }

    void namedSetupsOnTheLoggingDevice()
    {
        QTemporaryDir root;
        qputenv("KVE_ROOT", root.path().toUtf8());
        ESSetup *setup = m_data->setup();
        ESOptionsSetup *options = setup->SetupSetup()->OptionsSetup();
        setup->HistorySetup()->setLogToDevice(1);
        // No device: nothing written, the request still goes back to idle.
        options->changeValue(QStringLiteral("SetupSave"), QStringLiteral("Harbour"));
        QCOMPARE(options->SetupSave(), QStringLiteral("_"));
        QVERIFY(!QDir(root.path() + QStringLiteral("/media/usb0/Saved_Setup_Files/Harbour")).exists());
        options->changeValue(QStringLiteral("RequestAvailableSetupsList"), 1);
        QCOMPARE(options->AvailableSetupsList(), QStringLiteral("?"));
        m_controller->namedSetups()->setDevicePresent(LogToSd, true); // not the chosen device
        QVERIFY(m_controller->namedSetups()->savedSetupsDirectory().isEmpty());
        m_controller->namedSetups()->setDevicePresent(LogToUsb, true);
        setup->AlertSetup()->setAlarmShallow(25);
        options->changeValue(QStringLiteral("SetupSave"), QStringLiteral("Harbour"));
        const QString folder = root.path() + QStringLiteral("/media/usb0/Saved_Setup_Files/Harbour/");
        QCOMPARE(QDir(folder).entryList({QStringLiteral("JB_*.txt")}, QDir::Files).size(), 33);
        options->changeValue(QStringLiteral("SetupSave"), QStringLiteral("Open_Sea"));
        QTest::ignoreMessage(QtDebugMsg, "request received");
        options->changeValue(QStringLiteral("RequestAvailableSetupsList"), 1);
        QCOMPARE(options->RequestAvailableSetupsList(), 0);
        QCOMPARE(options->AvailableSetupsList(), QStringLiteral("Harbour?Open_Sea"));
        // Restoring replaces values the peer has since changed with a timestamp, and keeps the
        // identity and communication settings of this unit.
        m_controller->deserializeData(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=80(5000)"));
        setup->KX12Setup()->setSystemName(QStringLiteral("Renamed"));
        setup->CommunicationsSetup()->NmeaPort2Setup()->setBaud(2);
        QSignalSpy complete(m_controller.get(), &SerializationController::completeSetupToSend);
        options->changeValue(QStringLiteral("SetupRestore"), QStringLiteral("Harbour"));
        QCOMPARE(options->SetupRestore(), QStringLiteral("_"));
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 25.0);
        QCOMPARE(setup->KX12Setup()->SystemName(), QStringLiteral("Renamed"));
        QCOMPARE(setup->CommunicationsSetup()->NmeaPort2Setup()->Baud(), 2);
        QCOMPARE(complete.count(), 1);
        QVERIFY(m_sandbox->readFile(QStringLiteral("JB_AlertSetup.txt")).contains(QStringLiteral("AlarmShallow=25.00,")));
        // Names are folders directly below the saved setups, nothing else.
        for (const char *name : {"../../x", "..", "a/b", "Tab\tName", "Why?"}) {
            options->changeValue(QStringLiteral("SetupSave"), QString::fromLatin1(name));
            options->changeValue(QStringLiteral("SetupRestore"), QString::fromLatin1(name));
        }
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"media"}));
        QCOMPARE(QDir(root.path() + QStringLiteral("/media/usb0")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"Saved_Setup_Files"}));
        QCOMPARE(QDir(root.path() + QStringLiteral("/media/usb0/Saved_Setup_Files")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"Harbour", "Open_Sea"}));
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 25.0);
        m_controller->namedSetups()->setDevicePresent(LogToUsb, false);
        QVERIFY(m_controller->namedSetups()->savedSetupsDirectory().isEmpty());
        qunsetenv("KVE_ROOT");
    }

    void outgoingTextsReachTheNetworkSide()
    {
        QSignalSpy setupOut(m_controller.get(), &SerializationController::setupChangeToSend);
        QSignalSpy runtimeOut(m_controller.get(), &SerializationController::runtimeChangeToSend);
        QSignalSpy markOut(m_controller.get(), &SerializationController::sendDataForMark);
        m_data->setup()->transducer(0)->changeValue(QStringLiteral("CombinedGain"), 4);
        m_data->runtime()->changeValue(QStringLiteral("Heading"), 90.5);
        m_data->alerts()->changeValue(QStringLiteral("AckFromDisplay"), QStringLiteral("Shallow Water"));
        m_data->localSetup()->DisplaySetup()->changeValue(QStringLiteral("ButtonBeep"), 1);
        m_data->mark()->serializeForSending({QStringLiteral("SD0108")});
        QCOMPARE(firstArguments(setupOut),
                 QVariantList{QStringLiteral("Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup1,CombinedGain=4")});
        QVERIFY(m_sandbox->readFile(QStringLiteral("JB_TransducerSetup1.txt")).contains(QStringLiteral(",CombinedGain=4,")));
        QCOMPARE(runtimeOut.count(), 2);
        QCOMPARE(runtimeOut.at(1).at(0).toString(), QStringLiteral("Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"));
        QCOMPARE(markOut.count(), 1);
        QVERIFY(markOut.at(0).at(0).toString().startsWith(QStringLiteral("Type_Mark,Date=")));
        QCOMPARE(markOut.at(0).at(1).toStringList(), QStringList{QStringLiteral("SD0108")});
    }
};

QTEST_GUILESS_MAIN(TestSettingsController)
#include "tst_settingscontroller.moc"
