#include "alertsound.h"
#include "basescreen.h"
#include "beepgenerator.h"
#include "buzzer.h"
#include "dimmingcontroller.h"
#include "esalerts.h"
#include "hardware.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "esloggingdevicecontroller.h"
#include "historyloggercontainer.h"
#include "kvesystem.h"
#include "serializationcontroller.h"
#include "networkstack.h"
#include "nmeacontroller.h"
#include "nmeamessage.h"
#include "nmeaoverudpcontroller.h"
#include "nmeaports.h"
#include "operatorscreens.h"
#include "setupgroups.h"
#include "setuppage.h"
#include "pairingcontroller.h"
#include "signalemitter.h"
#include "systeminformation.h"
#include "unitclock.h"
#include "../nmea/support/testpty.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestCentralWiring : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void standbySwitchingLeavesOneConnection();
    void versionCompatibilityMessage();
    void invalidDateTimeLeavesTheClock();
    void validDateTimeSetsTheUnitClock();
    void restoreRequestIsClearedAfterFiveSeconds();
    void junctionBoxSfiIsStoredAsPairedSfi();
    void sentenceGroupIsCheckedEveryTenSeconds();
    void unacknowledgedSettingsAskTheBoxForItsSettings();
    void peerCommandsSwitchTheModeAndStandbyHoldsBothWays();
    void loopTestRunsFromItsSetting();
    void alertsAreHeardAndSeenAsTheDisplaySettingsAllow();
    void secondTapOnACommunicationAlertOpensTheDiagnostics();
    void backlightFollowsTheDimmingPresetInUse();
    void logsLieBelowTheSerialNumberAndHistoryIsFetchedOnlyWhileTheBoxSpeaks();

private:
    QTemporaryDir m_dir;
    Pty m_line1;
    KveSystem *m_system = nullptr;
};

void TestCentralWiring::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
    // The unit's storage tree (media, /opt) lives in the test folder.
    qputenv("KVE_ROOT", m_dir.path().toLocal8Bit());
    m_system = new KveSystem(this);
    QVERIFY(m_line1.isValid());
    m_system->start({"kve", "spec-net-interface", "lo", "serial-1", m_line1.slave});
    QCOMPARE(m_system->state(), CentralBaseClass::State::Constructed);
}

void TestCentralWiring::standbySwitchingLeavesOneConnection()
{
    SignalEmitter &emitter = SignalEmitter::instance();
    // Repeated changes of mode must not double the connections: a send reaches the controller once.
    m_system->systemOperationModeChanged(1);
    m_system->systemOperationModeChanged(1);
    m_system->systemOperationModeChanged(0);
    m_system->systemOperationModeChanged(0);
    QSignalSpy out(m_system->nmeaController(), &NmeaController::outputMessageGroupLogged);
    emit emitter.signalTypeAndCompleteNmeaMessageAndPort("DPT", "$SDDPT,12.3,0.5,100.0*4F\r\n", UDP, false);
    QCOMPARE(out.count(), 1);
}

void TestCentralWiring::versionCompatibilityMessage()
{
    QSignalSpy spy(m_system, &CentralBaseClass::operatorMessageChanged);
    const QString own = SystemInformation::softwareVersion();
    m_system->checkVersionCompatibility("9.9.9");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toString(),
             QString("Incompatible software versions! \nCU: %1  &  JB: 9.9.9 \nPlease change CU to 9.9.9 \nor JB to %1")
                 .arg(own));
    QCOMPARE(m_system->baseScreen()->messageText(), spy.last().at(0).toString());
    m_system->checkVersionCompatibility(own);
    QCOMPARE(spy.last().at(0).toString(), QString());
    QCOMPARE(m_system->baseScreen()->messageText(), QString());
}

void TestCentralWiring::invalidDateTimeLeavesTheClock()
{
    const QDateTime before = UnitClock::instance().currentDateTimeUtc();
    m_system->setCurrentUtcDateTime("31.12.2020 25:61");
    const qint64 drift = qAbs(UnitClock::instance().currentDateTimeUtc().msecsTo(before));
    QVERIFY2(drift < 1000, qPrintable(QString::number(drift)));
}

void TestCentralWiring::validDateTimeSetsTheUnitClock()
{
    m_system->setCurrentUtcDateTime("2031-05-17T08:30:00Z");
    const QDateTime now = UnitClock::instance().currentDateTimeUtc();
    QCOMPARE(now.date(), QDate(2031, 5, 17));
    QVERIFY(qAbs(now.time().secsTo(QTime(8, 30, 0))) < 5);
    m_system->setCurrentUtcDateTime(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
}

void TestCentralWiring::restoreRequestIsClearedAfterFiveSeconds()
{
    ESKX12Setup *jb = ESData::instance().setup()->KX12Setup();
    ESAlertSetup *alerts = ESData::instance().setup()->AlertSetup();
    const double factory = alerts->AlarmShallow();
    alerts->setAlarmShallow(factory + 3.0);
    jb->setRestoreAllSetupsExceptIO(1);
    QCOMPARE(alerts->AlarmShallow(), factory);
    QTRY_COMPARE_WITH_TIMEOUT(jb->RestoreAllSetupsExceptIO(), 0, 6000);
}

void TestCentralWiring::junctionBoxSfiIsStoredAsPairedSfi()
{
    ESData::instance().setup()->KX12Setup()->setLocalSFI("SD0177");
    QCOMPARE(ESData::instance().localSetup()->DisplaySetup()->PairedSFI(), QString("SD0177"));
}

void TestCentralWiring::sentenceGroupIsCheckedEveryTenSeconds()
{
    QVERIFY(m_system->groupCheckTimer());
    QVERIFY(m_system->groupCheckTimer()->isActive());
    QCOMPARE(m_system->groupCheckTimer()->interval(), 10000);
    // Moving to another group re-joins the sentence socket on the new address.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("nmeaSocket Address: 239\\.192\\.0\\.1 Port: 60001"));
    ESData::instance().localSetup()->DisplaySetup()->setGroup(0);
    m_system->changeNmeaGroup();
}

void TestCentralWiring::unacknowledgedSettingsAskTheBoxForItsSettings()
{
    PairingController *pairing = m_system->network()->pairing();
    QSignalSpy sent(pairing, &PairingController::sentenceReadyToSend);
    emit m_system->network()->lostCommunicationWithSfi("SD0999");   // not the paired box
    QCOMPARE(sent.count(), 0);
    emit m_system->network()->lostCommunicationWithSfi(pairing->pairedSfi());
    QCOMPARE(sent.count(), 1);
    QVERIFY(!pairing->pairedSfi().isEmpty());
    QVERIFY(sent.at(0).at(1).toString().contains(QRegularExpression("PZTQPAIR,SD0109,SD\\d{4},P\\*")));
}

// One group from the junction box as the network hands it to the receive path.
static NmeaGroupInfo fromBox(const QString &body)
{
    const QString sentence = QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body) + "\r\n";
    return NmeaGroupInfo({sentence}, UDP, QStringLiteral("SD0108"));
}

void TestCentralWiring::peerCommandsSwitchTheModeAndStandbyHoldsBothWays()
{
    ESData &data = ESData::instance();
    ESKX12Setup *box = data.setup()->KX12Setup();
    data.localSetup()->DisplaySetup()->setPairedSFI("SD0108");
    QSignalSpy texts(data.setup(), &SerializableClass::singlePropertyTextReady);
    QSignalSpy handled(m_system->nmeaController(), &NmeaController::inputMessageLogged);
    QSignalSpy sent(m_system->network()->nmeaOverUdp(), &NmeaOverUdpController::sendDatagrams);
    NetworkStack *network = m_system->network();
    emit network->nmeaGroupReceived(fromBox("PZTQSLP,SD0177,1"));   // another box
    QCOMPARE(box->SystemInNormalOrStandbyMode(), 0);
    emit network->nmeaGroupReceived(fromBox("PZTQSLP,SD0108,1"));
    QCOMPARE(box->SystemInNormalOrStandbyMode(), 1);
    QCOMPARE(texts.count(), 1);   // the request for another box changed and reported nothing
    QVERIFY(texts.last().first().toString().endsWith("KX12Setup,SystemInNormalOrStandbyMode=1"));
    QCOMPARE(sent.count(), 1);    // and the text leaves the unit in standby

    // In standby only the listed sentences come in and only the listed texts go out.
    handled.clear();
    sent.clear();
    emit network->nmeaGroupReceived(fromBox("GPVTG,10.0,T,,M,5.0,N,9.3,K,A"));
    emit network->nmeaGroupReceived(fromBox("PZTQMACA,00:1A:2B:3C:4D:5E"));
    QCOMPARE(handled.count(), 0);
    QVERIFY(data.setup()->AlertSetup()->changeValue("AlarmShallow", 4.0));
    QCOMPARE(sent.count(), 0);
    emit network->nmeaGroupReceived(fromBox("PZTQICM,0,98,"));
    QCOMPARE(handled.count(), 1);
    QCOMPARE(box->SystemInNormalOrStandbyMode(), 0);
    QVERIFY(texts.last().first().toString().endsWith("SystemInNormalOrStandbyMode=0"));

    // Back in normal operation the MAC address of the unit is stored and its file written.
    emit network->nmeaGroupReceived(fromBox("PZTQMACA,00:1A:2B:3C:4D:5E"));
    CU_R710_Setup *display = data.localSetup()->DisplaySetup();
    QCOMPARE(display->MacAddress(), QStringLiteral("00:1A:2B:3C:4D:5E"));
    QFile file(display->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("MacAddress=00:1A:2B:3C:4D:5E"));
}

void TestCentralWiring::loopTestRunsFromItsSetting()
{
    // A plug loops the first line back; the second and third lines have no device and fail.
    ESOtherLocalSettings *other = ESData::instance().localSetup()->OtherLocalSettings();
    auto statuses = [other] {
        return QList<int>{other->NmeaPort1Status(), other->NmeaPort2Status(), other->NmeaPort3Status(),
                          other->NMEALoopTest()};
    };
    QTRY_VERIFY(m_system->serialPorts()->port(Serial_1)->isOpen());
    {
        const auto plug = loopbackPlug(m_line1);
        other->setNMEALoopTest(1);
        QTRY_COMPARE_WITH_TIMEOUT(statuses(), (QList<int>{1, 2, 2, 0}), 15000);
    }
    // With the loop open the first line fails too; the result is kept in the unit's own settings file.
    other->setNMEALoopTest(1);
    QTRY_COMPARE_WITH_TIMEOUT(statuses(), (QList<int>{2, 2, 2, 0}), 15000);
    QFile file(other->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("NmeaPort1Status=2"));
}

void TestCentralWiring::alertsAreHeardAndSeenAsTheDisplaySettingsAllow()
{
    BeepGenerator *beeper = m_system->hardware()->beepGenerator();
    DimmingController *dimming = m_system->hardware()->dimmingController();
    CU_R710_Setup *display = ESData::instance().localSetup()->DisplaySetup();
    ES_Alerts *mirror = ESData::instance().alerts();
    auto shallow = [mirror](int state) {
        mirror->deserialize(QStringLiteral("Type_Alert,SerializableClass1=AlarmShallow,AlertState=%1=T,AlertPriority=0=T,"
                                           "AlertText=Shallow Water=T").arg(state));
    };
    const int normalBrightness = dimming->brightness();
    QVERIFY(!beeper->isRunning());
    // A new alarm sounds its pattern and brings the panel to full brightness.
    shallow(0);
    QTRY_VERIFY(beeper->isRunning());
    QCOMPARE(beeper->pattern(), AlertSound::alarmPattern());
    QTRY_COMPARE(dimming->brightness(), 255);
    // The display's sounder switched off silences it; on again, it sounds again.
    display->setAlarmSounder(1);
    QVERIFY(!beeper->isRunning());
    display->setAlarmSounder(0);
    QVERIFY(beeper->isRunning());
    // Acknowledged: quiet, and the brightness goes back.
    shallow(2);
    QTRY_VERIFY(!beeper->isRunning());
    QTRY_COMPARE(dimming->brightness(), normalBrightness);
    // The sounder test plays the alarm pattern with nothing active.
    display->setSounderTest(1);
    QVERIFY(beeper->isRunning());
    display->setSounderTest(0);
    QVERIFY(!beeper->isRunning());
    shallow(5);

    // A touch anywhere on the screen beeps while "ButtonBeep" is on.
    QWidget *screen = m_system->mainScreen();
    QWidget *somewhere = screen->findChild<QWidget *>(QStringLiteral("alertList"));
    QVERIFY(somewhere);
    display->setButtonBeep(0);
    QTest::mousePress(somewhere, Qt::LeftButton);
    QVERIFY(m_system->hardware()->buzzer()->isOn());
    QTest::mouseRelease(somewhere, Qt::LeftButton);
    QTRY_VERIFY(!m_system->hardware()->buzzer()->isOn());
    display->setButtonBeep(1);
    QTest::mousePress(somewhere, Qt::LeftButton);
    QVERIFY(!m_system->hardware()->buzzer()->isOn());
    QTest::mouseRelease(somewhere, Qt::LeftButton);
}

void TestCentralWiring::secondTapOnACommunicationAlertOpensTheDiagnostics()
{
    OperatorScreens *screens = m_system->operatorScreens();
    screens->showEchogram();
    ESData::instance().alerts()->deserialize(QStringLiteral(
        "Type_Alert,SerializableClass1=AlertSensorComms,AlertState=0=T,AlertPriority=1=T,AlertText=Sensor Comms=T"));
    auto *row = m_system->mainScreen()->findChild<QWidget *>(QStringLiteral("alertRow0"));
    QVERIFY(row);
    QTRY_VERIFY(row->isEnabled());
    const QWidget *echogram = screens->currentScreen();
    QTest::mouseClick(row, Qt::LeftButton);   // the first tap only chooses the row
    QCOMPARE(screens->currentScreen(), echogram);
    QTest::mouseClick(row, Qt::LeftButton);
    QCOMPARE(screens->currentScreen(), screens->setupPage(SetupGroups::indexOf(QStringLiteral("Diagnostics"))));
    screens->showEchogram();
    ESData::instance().alerts()->deserialize(
        QStringLiteral("Type_Alert,SerializableClass1=AlertSensorComms,AlertState=5=T"));
}

void TestCentralWiring::backlightFollowsTheDimmingPresetInUse()
{
    DimmingController *dimming = m_system->hardware()->dimmingController();
    ESLocalSetup *local = ESData::instance().localSetup();
    LocalDimmingSetupContainer *presets = local->DimmingSetupContainer();
    QCOMPARE(dimming->brightness(), presets->DayDimmingSetup()->Brightness());
    presets->NightDimmingSetup()->setBrightness(17);
    QCOMPARE(dimming->brightness(), presets->DayDimmingSetup()->Brightness());   // not in use
    local->DimmingSetup()->setDimmingPresetEnum(2);                                // Night
    QCOMPARE(dimming->brightness(), 17);
    presets->NightDimmingSetup()->setBrightness(30);
    QCOMPARE(dimming->brightness(), 30);
    local->DimmingSetup()->setDimmingPresetEnum(0);
    QCOMPARE(dimming->brightness(), presets->DayDimmingSetup()->Brightness());
}

void TestCentralWiring::logsLieBelowTheSerialNumberAndHistoryIsFetchedOnlyWhileTheBoxSpeaks()
{
    CU_R710_Setup *display = ESData::instance().localSetup()->DisplaySetup();
    display->setDisplaySerialNumber(4711);
    QVERIFY2(m_system->loggingDevice()->logPath(LogToUsb).endsWith("/velmora/4711/Logs"),
             qPrintable(m_system->loggingDevice()->logPath(LogToUsb)));
    display->setDisplaySerialNumber(99999);

    SerializationController &settings = SerializationController::instance();
    emit settings.commsToKX12StateChanged(true);
    QVERIFY(m_system->history()->isFileDownloadEnabled());
    emit settings.commsToKX12StateChanged(false);
    QVERIFY(!m_system->history()->isFileDownloadEnabled());
    emit settings.commsToKX12StateChanged(true);
    QVERIFY(m_system->history()->isFileDownloadEnabled());
}

QTEST_MAIN(TestCentralWiring)
#include "tst_centralwiring.moc"
