#include "settingsmetadata.h"
#include "settingstesthelpers.h"
#include "validators.h"

#include <QtTest>

// Expected catalogue values, written out independently of the class tables:
// class, property, value after defaults, validator (or "-"), number of choices (0 = no list).
static const char *const expectedRows[] = {
    "EchoScopeSetup|SignalMaxGood|30|float;0.0;65535.0|0", "NoiseSelfTestResults|SensorFrequency|1|-|8",
    "NoiseSelfTestContainer|NoiseResultCH2|Not_Tested|regex;.|0", "SnrCalibrationSetup|ManDepthCh1|0|float;0.2;6000.0|0",
    "SnrCalibrationSetup|Ch2HighSavedRes|37.0_37.0_N_Bottom.lost|regex;x|0", "CU_R710_Setup|LocalSFI|SD0109|sfi;(SD){1}\\d{4}|0",
    "CU_R710_Setup|PairedSFI|SD0108|regex;(SD){1}\\d{4}|0", "CU_R710_Setup|IP|-/-|ip;Wrong_message|0",
    "ESAlertSetup|AlarmShallow|10|float;1.0;100.0;;0.0|0", "ESAlertSetup|AlarmSFI|VM1235|sfi;[a-zA-Z]{2}\\d{4}|0",
    "ESAUXSetup|AuxOutput2|7|-|22", "ESPortSetup|DBT|1|-|2", "ESHistorySetup|NewFileReadyCounterCh2|0|int;0;2147483647|0",
    "ESKX12Setup|SystemName|KVE420|regex;[a-zA-Z0-9]{2,10}|0", "ESKX12Setup|KX12SerialNumber|99999|uint;0;4294967295|0",
    "ESOptionsSetup|UserDefinedSpeedOfSound|1500|int;1300;1700|0", "ESOptionsSetup|SetupSave|_|regex;[A-z0-9]{2,20}|0",
    "ESOptionsSetup|SwitchToDeepWaterTransAtRange|6|-|13", "ESRuntimeScreenSetup|Information3|14|-|0",
    "ESOtherLocalSettings|HistoryRange|6|-|8", "ESOtherSettings|TransceiverPortStatus|0|-|3", "EsTransducerSetup|Range|6|-|28",
    "EsTransducerSetup|SwitchToLowFreqBelowRange|5|-|23", "EsTransducerSetup|SensorStartingPosition|0|int;0;3199|0",
    "ESTransducerAutoFunctionsSetup|Depth2|1000|float;0;5000|0", "GainAutoFunctionSetup|MaxGainAt50m|8|-|12",
    "RemoteDimmingSetup|DimmingPreset|D|regex;[DKNO]|0", "LocalDimmingSetup|Brightness|128|int;0;255|0",
    "CommsLoggingCommonSetup|LogToDevice|0|-|3", "CommsErrorLoggingSetup|UdpBinaryDatagram|0|-|2",
    "CommsPortLoggingSetup|NmeaUdp|0|-|2", "ESRuntime|Cu24V|0|float;21.0;28|0", "SerializableAlertInfo|AlertText||-|0",
    "ESCommunicationInformation|ChannelNumber|0|-|0", "ESDiagnosticsSetup|FileLoggingImportance|2|-|4",
    "ESTestScreenSetup|PingDelay|0|int;0;10000|0",
};

// Children of every container, in text order.
static const char *const expectedChildren[] = {
    "ESSetup|AlertSetup;AUXSetup;DiagnosticsSetup;SetupSetup;CommunicationsSetup;HistorySetup;KX12Setup;OtherSettings;"
    "TestScreenSetup;AutoFunctionsSetup;ScopeSetup;NoiseSelfTest;SnrCalibSetup;CommunicationsLoggingSetup",
    "SetupSetup|OptionsSetup;TransducerSelectSetup", "TransducerSelectSetup|TransducerSetup1;TransducerSetup2",
    "CommunicationsSetup|NmeaPort1Setup;NmeaPort2Setup;NmeaPort3Setup;UdpPortSetup;AdditionalNmeaPort1Setup;"
    "AdditionalNmeaPort2Setup;AdditionalNmeaPort3Setup",
    "AutoFunctionsSetup|Freq24kSetup;Freq30k33k38kSetup;Freq50kSetup;Freq100kSetup;Freq200k210kSetup;GainSetup",
    "NoiseSelfTest|NoiseTestResultsCh1FreqLow;NoiseTestResultsCh2FreqLow;NoiseTestResultsCh1FreqHigh;NoiseTestResultsCh2FreqHigh",
    "CommunicationsLoggingSetup|CommonLoggingSetup;InputLoggingSetup;OutputLoggingSetup;ErrorLoggingSetup",
    "ESLocalSetup|RuntimeScreenSetupA;RuntimeScreenSetupB;RuntimeScreenSetupC;RuntimeScreenSetupD;DisplaySetup;"
    "OtherLocalSettings;DimmingSetupContainer;DimmingSetup",
    "DimmingSetupContainer|DayDimmingSetup;TwilightDimmingSetup;NightDimmingSetup;OffDimmingSetup",
    "ESAlerts|AlarmShallow;AlertDeep;AlertBottomLost;AlertSensorComms;AlertSensorMuted;AlertDisplayComms;"
    "AlertPowerFailure;AlertTest;AlertDisplayError",
};

// Plain property counts per class.
static const char *const expectedCounts[] = {
    "EchoScopeSetup|6", "NoiseSelfTestResults|17", "SnrCalibrationSetup|19", "CU_R710_Setup|13", "ESAlertSetup|12",
    "ESAUXSetup|6", "ESDiagnosticsSetup|40", "ESHistorySetup|9", "ESKX12Setup|17", "ESOptionsSetup|24",
    "ESRuntimeScreenSetup|20", "ESRuntime|29", "ESOtherLocalSettings|16", "ESOtherSettings|11", "EsTransducerSetup|29",
    "ESTestScreenSetup|32", "SerializableAlertInfo|8", "ESCommunicationInformation|9", "ESTransducerAutoFunctionsSetup|11",
    "RemoteDimmingSetup|8", "LocalDimmingSetup|5", "GainAutoFunctionSetup|5", "ESPortSetup|8", "CommsErrorLoggingSetup|6",
    "CommsPortLoggingSetup|4", "CommsLoggingCommonSetup|1",
};

static bool isChildProperty(const QMetaProperty &p)
{
    return QMetaType::typeFlags(p.userType()) & QMetaType::PointerToQObject;
}

static void walk(SerializableClass *object, const std::function<void(SerializableClass *)> &visit)
{
    visit(object);
    for (SerializableClass *c : object->serializableChildren())
        walk(c, visit);
}

static int choiceCount(const PropertyMetadata &meta)
{
    if (meta.kind() == QLatin1String("enumWithDifferentUnits"))
        return meta.enumListForDepthUnit(0).size();
    return meta.kind() == QLatin1String("enum") ? meta.enumList().size() : 0;
}

class TestSettingsCatalogue : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;

    void walkAll(const std::function<void(SerializableClass *)> &visit) const
    {
        for (SerializableClass *top : m_data->trees())
            walk(top, visit);
    }

private slots:
    void initTestCase() { m_sandbox = std::make_unique<SettingsSandbox>(); m_data = m_sandbox->makeData(); }
    void cleanupTestCase() { m_data.reset(); m_sandbox.reset(); }

    void topObjectsTagsAndAlerts()
    {
        const QStringList names = {"ESSetup", "ESLocalSetup", "ESRuntime", "ESBottomBars", "ESAlerts", "ComminicationInformation", "Mark"};
        const QStringList tags = {"Type_Setup", "Type_LocalSetup", "Type_Runtime", "Type_Runtime", "Type_Alert", "Type_SetupCommsInfo", "Type_Mark"};
        const QList<SerializableClass *> all = m_data->trees();
        QCOMPARE(all.size(), names.size());
        for (int i = 0; i < all.size(); ++i) {
            QCOMPARE(all.at(i)->objectName(), names.at(i));
            QCOMPARE(all.at(i)->typeTag(), tags.at(i));
            QVERIFY(all.at(i)->isTopObject());
        }
        QCOMPARE(m_data->localSetup()->DisplaySetup()->fileName(), QStringLiteral("CU_DisplaySetup.txt"));
        QCOMPARE(m_data->alerts()->AlertTest()->typeTag(), QStringLiteral("Type_Alert"));
        // The alerts descriptor names the nine alerts in their order.
        const QString table = ClassMetadata::of(m_data->alerts()->metaObject()).classEntry(QStringLiteral("AlertsDescriptor"));
        const QStringList rows = table.split(QLatin1Char('\n'));
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows.at(0), QStringLiteral("AlarmShallow,Shallow Water,230,Alarm,CatA,AlarmToAlarm"));
        QCOMPARE(rows.at(8), QStringLiteral("AlertDisplayError,KX12 Comms Fail,10459,Alert,CatB,WarningToAlarm"));
        const QList<SerializableAlertInfo *> alerts = m_data->alerts()->alerts();
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(alerts.at(i)->objectName(), rows.at(i).section(QLatin1Char(','), 0, 0));
        // The descriptors of the information fields on the runtime screens and bottom bars.
        QCOMPARE(ClassMetadata::of(m_data->runtime()->metaObject()).classEntryNames().size(), 6);
        QCOMPARE(ClassMetadata::of(m_data->bottomBars()->metaObject()).classEntryNames().size(), 12);
    }

    void treesHaveTheListedChildren()
    {
        QHash<QString, QString> actual;
        walkAll([&](SerializableClass *object) {
            QStringList names;
            for (SerializableClass *c : object->serializableChildren()) {
                names << c->objectName();
                QCOMPARE(c->parent(), object);
            }
            if (!names.isEmpty())
                actual.insert(object->objectName(), names.join(QLatin1Char(';')));
        });
        QCOMPARE(actual.size(), int(std::size(expectedChildren)));
        for (const char *row : expectedChildren)
            QCOMPARE(actual.value(QString::fromLatin1(row).section(QLatin1Char('|'), 0, 0)), QString::fromLatin1(row).section(QLatin1Char('|'), 1));
    }

    void classesMatchTheCatalogue()
    {
        QHash<QString, SerializableClass *> byClass;
        walkAll([&](SerializableClass *object) { byClass.insert(QString::fromLatin1(object->metaObject()->className()), object); });
        for (const char *row : expectedCounts) {
            const QStringList parts = QString::fromLatin1(row).split(QLatin1Char('|'));
            QVERIFY2(byClass.contains(parts.at(0)), row);
            const QMetaObject *mo = byClass.value(parts.at(0))->metaObject();
            int plain = 0;
            for (int i = 1; i < mo->propertyCount(); ++i)
                plain += isChildProperty(mo->property(i)) ? 0 : 1;
            QCOMPARE(plain, parts.at(1).toInt());
        }
        for (const char *row : expectedRows) {
            const QStringList parts = QString::fromLatin1(row).split(QLatin1Char('|'));
            SerializableClass *object = byClass.value(parts.at(0));
            QVERIFY2(object, row);
            const PropertyMetadata *meta = ClassMetadata::of(object->metaObject()).property(parts.at(1));
            QVERIFY2(meta, row);
            QCOMPARE(object->property(parts.at(1).toLatin1().constData()).toString(), parts.at(2));
            QCOMPARE(meta->validatorDescription(), parts.at(3) == QLatin1String("-") ? QString() : parts.at(3));
            QCOMPARE(choiceCount(*meta), parts.at(4).toInt());
        }
    }

    void everyPropertyIsSelfConsistent()
    {
        int checked = 0;
        walkAll([&](SerializableClass *object) {
            const QMetaObject *mo = object->metaObject();
            for (const PropertyMetadata &meta : ClassMetadata::of(mo).properties()) {
                const QString where = QString::fromLatin1(mo->className()) + QLatin1Char('.') + meta.propertyName();
                const QMetaProperty p = mo->property(mo->indexOfProperty(meta.propertyName().toLatin1().constData()));
                QVERIFY2(p.hasNotifySignal() || isChildProperty(p), qPrintable(where));
                if (isChildProperty(p))
                    continue;
                QCOMPARE(QString::fromLatin1(p.notifySignal().name()), meta.propertyName() + QStringLiteral("Changed"));
                const QString value = p.read(object).toString();
                if (meta.kind().startsWith(QLatin1String("enum"))) {
                    const int count = choiceCount(meta);
                    QVERIFY2(value.toInt() >= 0 && value.toInt() < count, qPrintable(where));
                    if (meta.kind() == QLatin1String("enumWithDifferentUnits")) {
                        QCOMPARE(meta.enumListForDepthUnit(1).size(), count);
                        QCOMPARE(meta.enumListForDepthUnit(2).size(), count);
                    }
                }
                // A numeric default passes its own validator; manual calibration depths start at 0, "not entered yet".
                const QString description = meta.validatorDescription();
                const bool notEnteredYet = meta.propertyName().startsWith(QLatin1String("ManDepthCh"));
                if (meta.kind() == QLatin1String("value") && meta.isNumeric() && !description.isEmpty() && !notEnteredYet) {
                    auto validator = createValidator(description);
                    QVERIFY2(validator, qPrintable(where));
                    QString text = value;
                    if (p.userType() == QMetaType::Double && !description.startsWith(QLatin1String("float")))
                        text = QString::number(qRound(p.read(object).toDouble()));
                    QVERIFY2(validator->validate(text), qPrintable(where + QLatin1Char('=') + text));
                }
                ++checked;
            }
        });
        QVERIFY(checked > 450);
    }
};

QTEST_GUILESS_MAIN(TestSettingsCatalogue)
#include "tst_settingscatalogue.moc"
