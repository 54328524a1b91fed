#include "esalerts.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"
#include "settingstesthelpers.h"

#include <QtTest>

static const QString shallowPath = QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=");

class TestSettingsVariants : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_sandbox = std::make_unique<SettingsSandbox>(); m_data = m_sandbox->makeData(); }
    void cleanup() { m_data.reset(); m_sandbox.reset(); }

    void timestampedChangeWinsOnlyWhenNotOlder();
    void completeTransferNeverOverwritesTimestampedValue();
    void pairingForgetsTimestamps();
    void noAckVariantMarksTheTag();
    void localChangesSaveInsteadOfSending();
    void defaultsFollowTheMetadataRulesAndExclusions();
    void ageingInvalidatesAndTellsObservers();
    void nameMustBeSet();
    void combinedGainChangesAreMarked();

private:
    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;
};

void TestSettingsVariants::timestampedChangeWinsOnlyWhenNotOlder()
{
    ESSetup *setup = m_data->setup();
    ESAlertSetup *alert = setup->AlertSetup();
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("8(200)")));
    QCOMPARE(alert->AlarmShallow(), 8.0);
    QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(200));

    QTest::ignoreMessage(QtDebugMsg, "AlarmShallow   Timestamp too old: 100  Current timestamp: 200");
    bool written = true;
    QVERIFY(!setup->deserializeSingleProperty(shallowPath + QStringLiteral("7(100)"), &written));
    QVERIFY(!written);
    QCOMPARE(alert->AlarmShallow(), 8.0);

    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("7(200)"), &written)); // equal: newcomer wins
    QVERIFY(written);
    QCOMPARE(alert->AlarmShallow(), 7.0);
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("6(201)")));
    QCOMPARE(alert->AlarmShallow(), 6.0);
    QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(201));

    // Without a timestamp the change is applied and the stored one stays.
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("5")));
    QCOMPARE(alert->AlarmShallow(), 5.0);
    QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(201));
    // Other properties are not affected by that property's timestamp.
    QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlertDeep")), qint64(-1));
    // A timestamp that is no decimal 64-bit number is ignored: value applied, nothing stored.
    for (const char *value : {"9(12x)", "4(99999999999999999999)"}) {
        QVERIFY(setup->deserializeSingleProperty(shallowPath + QLatin1String(value)));
        QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(201));
    }
    QCOMPARE(alert->AlarmShallow(), 4.0);
}

void TestSettingsVariants::completeTransferNeverOverwritesTimestampedValue()
{
    ESSetup *setup = m_data->setup();
    ESAlertSetup *alert = setup->AlertSetup();
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("5(1000)")));

    QTest::ignoreMessage(QtDebugMsg, "NOT ACCEPTING new value because of timestamp, PROPERTY: AlarmShallow   TIMESTAMP:1000");
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=7.00,AlertDeep=300.00")));
    QCOMPARE(alert->AlarmShallow(), 5.0);
    QCOMPARE(alert->AlertDeep(), 300.0); // untimestamped neighbour is taken

    QVERIFY(!setup->deserializeSingleProperty(shallowPath + QStringLiteral("6(999)")));
    QCOMPARE(alert->AlarmShallow(), 5.0);
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("6(1000)")));
    QCOMPARE(alert->AlarmShallow(), 6.0);

    // A stored 0 does not protect the value.
    alert->setReceivedTimestamp(QStringLiteral("AlertDeep"), 0);
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlertDeep=400.00")));
    QCOMPARE(alert->AlertDeep(), 400.0);
}

void TestSettingsVariants::pairingForgetsTimestamps()
{
    ESSetup *setup = m_data->setup();
    QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("5(1000)")));
    setup->initReceivedTimestampHash();
    QCOMPARE(setup->AlertSetup()->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(-1));
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=7.00")));
    QCOMPARE(setup->AlertSetup()->AlarmShallow(), 7.0);

    // A container of shared settings keeps no table of its own.
    ESTransducerSelectSetup fresh(QStringLiteral("TransducerSelectSetup"));
    fresh.initReceivedTimestampHash();
    QCOMPARE(fresh.receivedTimestamp(QStringLiteral("TransducerSetup1")), qint64(-1));
    fresh.TransducerSetup1()->setReceivedTimestamp(QStringLiteral("Range"), 50);
    fresh.initReceivedTimestampHash();
    QCOMPARE(fresh.TransducerSetup1()->receivedTimestamp(QStringLiteral("Range")), qint64(-1));
}

void TestSettingsVariants::noAckVariantMarksTheTag()
{
    ESSetup *setup = m_data->setup();
    QSignalSpy single(setup, &SerializableClass::singlePropertyTextReady);
    const QString text = setup->serializeSinglePropertyNoAck(setup->AlertSetup(), QStringLiteral("AlarmShallow"), 5);
    QCOMPARE(text, QStringLiteral("Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"));
    QCOMPARE(single.count(), 1);
    QCOMPARE(single.at(0).at(0).toString(), text);
    // The next ordinary change is acknowledged again.
    setup->serializeSingleProperty(setup->AlertSetup(), QStringLiteral("AlarmShallow"), 6);
    QCOMPARE(single.at(1).at(0).toString(), QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=6"));
}

void TestSettingsVariants::localChangesSaveInsteadOfSending()
{
    ESLocalSetup *local = m_data->localSetup();
    QSignalSpy single(local, &SerializableClass::singlePropertyTextReady);
    QVERIFY(local->DisplaySetup()->changeValue(QStringLiteral("SystemName"), QStringLiteral("Bridge1")));
    QCOMPARE(single.count(), 0);
    const QString file = m_sandbox->readFile(QStringLiteral("CU_DisplaySetup.txt"));
    QVERIFY2(file.startsWith(QStringLiteral("Type_LocalSetup,SoftwareVersion=NOT_DEFINED,")), qPrintable(file));
    QVERIFY(file.contains(QStringLiteral(",SystemName=Bridge1,")));

    // Operator entries are checked against the property's validator or choice list.
    const QList<std::tuple<SerializableClass *, const char *, const char *, bool>> entries = {
        {local->DisplaySetup(), "SystemName", "Bridge 1", false}, {local->DisplaySetup(), "LocalSFI", "SD0110", true},
        {local->DisplaySetup(), "LocalSFI", "VM0110", false},     {local->DisplaySetup(), "Group", "8", false},
        {local->DisplaySetup(), "Group", "7", true},              {m_data->setup()->AlertSetup(), "AlarmShallow", "0", true},
        {m_data->setup()->transducer(0), "Range", "28", false},   {m_data->setup()->transducer(0), "Range", "27", true}};
    for (const auto &e : entries)
        QVERIFY2(std::get<0>(e)->validateText(QLatin1String(std::get<1>(e)), QLatin1String(std::get<2>(e))) == std::get<3>(e), std::get<2>(e));
    QString message;
    QVERIFY(!m_data->setup()->AlertSetup()->validateText(QStringLiteral("AlarmShallow"), QStringLiteral("0.5"), &message));
    QCOMPARE(message, QStringLiteral("value must be a real number between 1 and 100!"));
}

void TestSettingsVariants::defaultsFollowTheMetadataRulesAndExclusions()
{
    ESSetup *setup = m_data->setup();
    // Enum without a default: index 0; text value without default: "-/-"; numeric value: 0.
    QCOMPARE(setup->AlertSetup()->WarningEscType(), 0);
    QCOMPARE(setup->KX12Setup()->IP(), QStringLiteral("-/-"));
    QCOMPARE(setup->transducer(0)->Offset(), 0.0);
    QCOMPARE(setup->transducer(0)->Draft(), 2.0);
    // Runtime values without default keep their value.
    ESRuntime *runtime = m_data->runtime();
    runtime->setDepthKeel(3.5);
    runtime->setUtcToLocalDateTimeSecsOffset(60);
    runtime->setDefaultValues();
    QCOMPARE(runtime->DepthKeel(), 3.5);
    QCOMPARE(runtime->UtcToLocalDateTimeSecsOffset(), 0);
    // Plain values of a container start at their defaults as well.
    QCOMPARE(setup->NoiseSelfTest()->NoiseResultCH1(), QStringLiteral("Not_Tested"));
    QCOMPARE(m_data->alerts()->AlertTest()->AlertInstanceNumber(), 1);

    // Listed properties keep their values; a list for a container is a programming error.
    setup->KX12Setup()->setSoftwareVersion(QStringLiteral("2.1"));
    setup->KX12Setup()->setPrinter(3);
    setup->setDefaultValuesFromClassInfo_RecursivelyForAllChildren({{setup->KX12Setup(), {QStringLiteral("SoftwareVersion")}}});
    QCOMPARE(setup->KX12Setup()->SoftwareVersion(), QStringLiteral("2.1"));
    QCOMPARE(setup->KX12Setup()->Printer(), 0);
    bool thrown = false;
    try {
        setup->setDefaultValuesFromClassInfo_RecursivelyForAllChildren({{setup->SetupSetup(), {QStringLiteral("OptionsSetup")}}});
    } catch (const char *) {
        thrown = true;
    }
    QVERIFY(thrown);
}

void TestSettingsVariants::ageingInvalidatesAndTellsObservers()
{
    ESRuntime *runtime = m_data->runtime();
    QVERIFY(runtime->deserialize(QStringLiteral("Type_Runtime,DepthSurface=12=T,DepthKeel=11=T")));
    QSignalSpy keelChanged(runtime, &ESRuntime::DepthKeelChanged);
    for (int tick = 1; tick <= 10; ++tick) {
        runtime->increaseValidityCounters();
        QVERIFY(runtime->deserializeSingleProperty(QStringLiteral("Type_Runtime,SingleProperty,ESRuntime,DepthSurface=12")));
    }
    QVERIFY(runtime->isValid(QStringLiteral("DepthKeel"))); // ten ticks: still valid
    QCOMPARE(keelChanged.count(), 0);
    runtime->increaseValidityCounters();                     // the eleventh
    QVERIFY(!runtime->isValid(QStringLiteral("DepthKeel")));
    QCOMPARE(keelChanged.count(), 1);
    QCOMPARE(keelChanged.at(0).at(0).toDouble(), 11.0);
    QVERIFY(runtime->isValid(QStringLiteral("DepthSurface"))); // refreshed every tick
    runtime->increaseValidityCounters();
    QCOMPARE(keelChanged.count(), 1); // an invalid value is not announced again

    QVERIFY(!runtime->isValid(QStringLiteral("Heading")));
    QVERIFY(runtime->integrity(QStringLiteral("Heading")));
    runtime->setAllValid(true);
    QVERIFY(runtime->isValid(QStringLiteral("DepthKeel")));
    QVERIFY(!runtime->isValid(QStringLiteral("Heading"))); // never marked stays unmarked
}

void TestSettingsVariants::nameMustBeSet()
{
    QObject parent;
    parent.setObjectName(QStringLiteral("Holder"));
    QTest::ignoreMessage(QtDebugMsg, "ValidatedObject::ValidatedObject - Object name not set for serializable class. Parent is: Holder");
    QByteArray error;
    try {
        ESAlertSetup unnamed(QStringLiteral("UNINITIALIZED"), &parent);
    } catch (const char *e) {
        error = e;
    }
    QCOMPARE(error, QByteArray("Object name not set for serializable class"));
    QVERIFY(parent.children().isEmpty());
}

void TestSettingsVariants::combinedGainChangesAreMarked()
{
    QSignalSpy marks(m_data.get(), &ESData::gainMarkReady);
    EsTransducerSetup *transducer = m_data->setup()->transducer(1);
    transducer->setCombinedGain(4);
    transducer->setCombinedGain(4); // same value: no second mark
    transducer->setCombinedGainAutomatically(5);
    QCOMPARE(marks.count(), 2);
    QCOMPARE(marks.at(0).at(0).toString(),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup2,CombinedGain=4"));
    QVERIFY(marks.at(1).at(0).toString().endsWith(QStringLiteral("CombinedGain=5_auto")));
}

QTEST_GUILESS_MAIN(TestSettingsVariants)
#include "tst_settingsvariants.moc"
