#include "settingstesthelpers.h"

#include <QtTest>

static const QString shallowPath = QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=");

// Gives every plain property of a tree a valid value different from its default, and collects
// the single-property text of every plain property of the tree.
static void scramble(SerializableClass *top, SerializableClass *object, int seed, QStringList &texts)
{
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const int type = p.userType();
        QVariant value;
        if (type == QMetaType::Int || type == QMetaType::UInt)
            value = (seed + i) % 2 + 1;
        else if (type == QMetaType::Double)
            value = 1.25 + seed + i;
        else if (type == QMetaType::QString)
            value = QStringLiteral("t%1_%2").arg(seed).arg(i);
        if (value.isValid()) {
            p.write(object, value);
            object->setValid(QString::fromLatin1(p.name()), true);
        }
        if (!(QMetaType::typeFlags(type) & QMetaType::PointerToQObject))
            texts << top->serializeSingleProperty(object, QString::fromLatin1(p.name()), p.read(object));
    }
    for (SerializableClass *c : object->serializableChildren())
        scramble(top, c, seed + 7, texts);
}

// A history-like object holding a list of points, the only list form of the text.
class TestPoint : public HistorySerializableClass
{
    Q_OBJECT
    KVE_SETTINGS_CONSTRUCTOR(TestPoint, HistorySerializableClass, "Point")
    KVE_SETTING(QString, TimeStamp, "type=value isNumeric=false")
    KVE_SETTING(double, Depth, "type=value")
};

class TestPointList : public HistorySerializableClass
{
    Q_OBJECT
    // Plain values come first: whatever follows a list in the text is read as part of it.
    KVE_SETTING(int, Channel, "type=value")
    Q_PROPERTY(QList<SerializableClass *> Points READ points)
    Q_CLASSINFO("Points", "type=list")
    QList<SerializableClass *> m_points;

public:
    using HistorySerializableClass::HistorySerializableClass;
    QList<SerializableClass *> points() const { return m_points; }
    void add(const QString &stamp, double depth)
    {
        auto *point = static_cast<TestPoint *>(appendListElement(QStringLiteral("Points")));
        point->setTimeStamp(stamp);
        point->setDepth(depth);
    }

protected:
    SerializableClass *appendListElement(const QString &) override
    {
        m_points.append(new TestPoint(QStringLiteral("Point"), this));
        return m_points.last();
    }
};

class TestSettingsText : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;

private slots:
    void init() { m_sandbox = std::make_unique<SettingsSandbox>(); m_data = m_sandbox->makeData(); }
    void cleanup() { m_data.reset(); m_sandbox.reset(); }

    void completeTextsBeginAsThePeerExpects()
    {
        const QString text = m_data->setup()->serialize();
        QVERIFY(text.startsWith(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=10.00,"
                                               "AlarmShallowID=230,AlertDeep=0.00,AlertDeepID=10456,")));
        QVERIFY(text.contains(QStringLiteral(",SerializableClass2=TransducerSelectSetup,SerializableClass3=TransducerSetup1,Position=0,Draft=2.00,")));
        QVERIFY(!text.endsWith(QLatin1Char(',')));
        QVERIFY(m_data->alerts()->serialize().startsWith(
            QStringLiteral("Type_Alert,AckFromDisplay==T,SerializableClass1=AlarmShallow,AlertState==T,")));
        // Doubles go out at single precision with two decimals; the single-property form keeps the full value.
        ESAlertSetup *alert = m_data->setup()->AlertSetup();
        for (const auto &c : QList<QPair<double, QString>>{{0.005, "0.00"}, {2, "2.00"}, {-3, "-3.00"}, {12.5, "12.50"}}) {
            alert->setAlarmShallow(c.first);
            QVERIFY2(alert->serialize().contains(QStringLiteral("AlarmShallow=") + c.second + QLatin1Char(',')), qPrintable(c.second));
        }
        QCOMPARE(m_data->setup()->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 12.345), shallowPath + QStringLiteral("12.345"));
    }

    void everyTreeRoundTripsWholeAndPropertyByProperty()
    {
        SettingsSandbox wholeSandbox;
        SettingsSandbox singleSandbox;
        auto whole = wholeSandbox.makeData();
        auto single = singleSandbox.makeData();
        const QList<SerializableClass *> trees = m_data->trees();
        for (int t = 0; t < trees.size(); ++t) {
            SerializableClass *tree = trees.at(t);
            QStringList changes;
            scramble(tree, tree, 3 + t, changes);
            const QString text = tree->serialize();
            QVERIFY2(text != whole->trees().at(t)->serialize() || tree == m_data->bottomBars(), qPrintable(tree->objectName()));
            QVERIFY2(whole->trees().at(t)->deserialize(text), qPrintable(tree->objectName()));
            QCOMPARE(whole->trees().at(t)->serialize(), text);
            for (const QString &change : qAsConst(changes)) {
                bool written = false;
                QVERIFY2(single->trees().at(t)->deserializeSingleProperty(change, &written) && written, qPrintable(change));
            }
            QCOMPARE(single->trees().at(t)->serialize(), text);
        }
    }

    void runtimeValuesCarryValidityAndIntegrity()
    {
        ESRuntime *runtime = m_data->runtime();
        QSignalSpy headingChanged(runtime, &ESRuntime::HeadingChanged);
        QVERIFY(runtime->deserialize(QStringLiteral("Type_Runtime,DepthSurface=5=F,DepthKeel=7.5=T,Heading=")));
        QVERIFY(runtime->isValid(QStringLiteral("DepthSurface")) && !runtime->integrity(QStringLiteral("DepthSurface")));
        QVERIFY(!runtime->isValid(QStringLiteral("Heading")));
        QCOMPARE(headingChanged.count(), 1); // an emptied value is written back so the screens hear of it
        const QString text = runtime->serialize();
        QVERIFY(text.startsWith(QStringLiteral("Type_Runtime,DepthSurface=5.00=F,DepthKeel=7.50=T,DepthTransducer==T,")));
        QVERIFY(text.contains(QStringLiteral(",Heading==T,")));
        runtime->setDepthSurface(9.0);
        runtime->setValid(QStringLiteral("DepthSurface"), false);
        QVERIFY(runtime->serialize().contains(QStringLiteral(",DepthSurface==F,")));
    }

    void malformedAndForeignTexts()
    {
        ESSetup *setup = m_data->setup();
        QVERIFY(!setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=20,AlarmShallowID,AlertDeep=300")));
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 20.0); // read before the bad token
        QCOMPARE(setup->AlertSetup()->AlertDeep(), 0.0);
        QVERIFY(!setup->deserialize(QStringLiteral("Type_Setup,")));
        // No tag: read from the first token; unknown names and children skipped; unconvertible text ignored.
        ESAlertSetup *alert = setup->AlertSetup();
        QVERIFY(alert->deserialize(QStringLiteral("AlarmShallow=33,FutureSetting=1,AlertType=x,AlertDeep=150")));
        QCOMPARE(alert->AlarmShallow(), 33.0);
        QCOMPARE(alert->AlertDeep(), 150.0);
        QCOMPARE(alert->AlertType(), 1);
        ESKX12Setup *jb = setup->KX12Setup();
        QVERIFY(jb->deserialize(QStringLiteral("KX12SerialNumber=99999999999")));
        QCOMPARE(jb->KX12SerialNumber(), 99999u); // out of range for the type: unchanged
        QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=NewerSetup,A=1,SerializableClass1=AUXSetup,DeepLimit=600")));
        QCOMPARE(setup->AUXSetup()->DeepLimit(), 600.0);
    }

    void childMarkersUseTheirLastDigit()
    {
        ESSetup *setup = m_data->setup();
        QVERIFY(setup->deserialize(QStringLiteral(
            "Type_Setup,SerializableClass1=SetupSetup,SerializableClass2=TransducerSelectSetup,"
            "SerializableClass3=TransducerSetup2,Draft=4.5,SerializableClass3=TransducerSetup1,Draft=1.5,"
            "SerializableClass1=AlertSetup,AlarmShallow=44")));
        QCOMPARE(setup->transducer(1)->Draft(), 4.5);
        QCOMPARE(setup->transducer(0)->Draft(), 1.5);
        QCOMPARE(setup->AlertSetup()->AlarmShallow(), 44.0);
        // "SerializableClass12" counts as level 2 and ends the collection of a level-2 child.
        QVERIFY(setup->deserialize(QStringLiteral(
            "Type_Setup,SerializableClass1=SetupSetup,SerializableClass2=OptionsSetup,ScalesDepth=2,"
            "SerializableClass12=TransducerSelectSetup,SerializableClass3=TransducerSetup1,Draft=3.5")));
        QCOMPARE(setup->SetupSetup()->OptionsSetup()->ScalesDepth(), 2);
        QCOMPARE(setup->transducer(0)->Draft(), 3.5);
    }

    void singlePropertyTexts()
    {
        ESSetup *setup = m_data->setup();
        ESAlertSetup *alert = setup->AlertSetup();
        // Every text goes out through the signal; the NoAck variant marks only its own tag.
        QSignalSpy sent(setup, &SerializableClass::singlePropertyTextReady);
        QCOMPARE(setup->serializeSinglePropertyNoAck(alert, QStringLiteral("AlarmShallow"), 5),
                 QStringLiteral("Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"));
        QCOMPARE(setup->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 6), shallowPath + QStringLiteral("6"));
        QCOMPARE(firstArguments(sent), (QVariantList{QStringLiteral("Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"),
                                                     shallowPath + QStringLiteral("6")}));
        bool written = false;
        // A leaf hands the text to its top object.
        QCOMPARE(alert->deserializeSingleProperty(shallowPath + QStringLiteral("7"), &written), alert);
        QCOMPARE(alert->AlarmShallow(), 7.0);
        QCOMPARE(setup->deserializeSingleProperty(shallowPath, &written), alert);
        QVERIFY(written && !alert->isValid(QStringLiteral("AlarmShallow")));
        QCOMPARE(alert->AlarmShallow(), 7.0);
        QCOMPARE(setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlertType=abc"), &written), alert);
        QVERIFY(!written);
        const char *const refused[] = {"Type_Setup,SingleProperty,ESSetup,AlertSetup,NoSuchThing=1",
                                       "Type_Setup,SingleProperty,ESLocalSetup,DisplaySetup,SystemName=AB",
                                       "Type_Setup,SingleProperty,ESSetup,NoSuchChild,AlarmShallow=1",
                                       "Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow",
                                       "Type_Setup,SingleProperty,ESSetup,AlertSetup", "Type_Setup,SingleProperty"};
        for (const char *text : refused) {
            written = true;
            QVERIFY2(!setup->deserializeSingleProperty(QString::fromLatin1(text), &written) && !written, text);
        }
        QCOMPARE(alert->AlarmShallow(), 7.0);
        QCOMPARE(thrownError([&] { setup->serializeSingleProperty(QStringLiteral("NoSuchProperty")); }),
                 QByteArray("Tried to serialize property that does not exist"));
    }

    void objectListsRoundTrip()
    {
        TestPointList history(QStringLiteral("History"));
        history.add(QStringLiteral("12-00-01-000"), 12.5);
        history.add(QStringLiteral("12-00-02-000"), 13.25);
        history.setChannel(2);
        const QString text = history.serialize();
        QCOMPARE(text, QStringLiteral("Type_History,Channel=2,SerClassList=Points,TimeStamp=12-00-01-000,Depth=12.50;"
                                      "TimeStamp=12-00-02-000,Depth=13.25"));
        TestPointList copy(QStringLiteral("History"));
        QVERIFY(copy.deserialize(text));
        QCOMPARE(copy.points().size(), 2);
        QCOMPARE(static_cast<TestPoint *>(copy.points().at(1))->Depth(), 13.25);
        QCOMPARE(copy.serialize(), text);
    }

    void timestampedChangeWinsOnlyWhenNotOlder()
    {
        ESAlertSetup *alert = m_data->setup()->AlertSetup();
        // Value sent, whether it is taken, value and stored timestamp afterwards. Without a timestamp, or with
        // one that is no decimal 64-bit number, the change is taken and the stored timestamp stays.
        const QList<std::tuple<const char *, bool, double, qint64>> steps = {
            {"8(200)", true, 8, 200}, {"7(100)", false, 8, 200}, {"7(200)", true, 7, 200}, {"6(201)", true, 6, 201},
            {"5", true, 5, 201},      {"9(12x)", true, 9, 201},  {"4(99999999999999999999)", true, 4, 201}};
        QTest::ignoreMessage(QtDebugMsg, "AlarmShallow   Timestamp too old: 100  Current timestamp: 200");
        for (const auto &[value, taken, after, stamp] : steps) {
            bool written = !taken;
            QVERIFY2(bool(m_data->setup()->deserializeSingleProperty(shallowPath + QLatin1String(value), &written)) == taken, value);
            QCOMPARE(written, taken);
            QCOMPARE(alert->AlarmShallow(), after);
            QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), stamp);
        }
    }

    void completeTransferKeepsTimestampedValuesUntilPairing()
    {
        ESSetup *setup = m_data->setup();
        ESAlertSetup *alert = setup->AlertSetup();
        QVERIFY(setup->deserializeSingleProperty(shallowPath + QStringLiteral("5(1000)")));
        QTest::ignoreMessage(QtDebugMsg, "NOT ACCEPTING new value because of timestamp, PROPERTY: AlarmShallow   TIMESTAMP:1000");
        QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=7.00,AlertDeep=300.00")));
        QCOMPARE(alert->AlarmShallow(), 5.0);
        QCOMPARE(alert->AlertDeep(), 300.0); // untimestamped neighbour is taken
        // A stored 0 does not protect the value.
        alert->setReceivedTimestamp(QStringLiteral("AlertDeep"), 0);
        QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlertDeep=400.00")));
        QCOMPARE(alert->AlertDeep(), 400.0);
        // Pairing forgets the timestamps.
        setup->initReceivedTimestampHash();
        QCOMPARE(alert->receivedTimestamp(QStringLiteral("AlarmShallow")), qint64(-1));
        QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=7.00")));
        QCOMPARE(alert->AlarmShallow(), 7.0);
        // A container of shared settings keeps no table of its own, only its leaves do.
        ESTransducerSelectSetup fresh(QStringLiteral("TransducerSelectSetup"));
        fresh.initReceivedTimestampHash();
        QCOMPARE(fresh.receivedTimestamp(QStringLiteral("TransducerSetup1")), qint64(-1));
        fresh.TransducerSetup1()->setReceivedTimestamp(QStringLiteral("Range"), 50);
        fresh.initReceivedTimestampHash();
        QCOMPARE(fresh.TransducerSetup1()->receivedTimestamp(QStringLiteral("Range")), qint64(-1));
    }

    void localChangesSaveInsteadOfSending()
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
        for (const auto &[object, property, text, valid] : entries)
            QVERIFY2(object->validateText(QLatin1String(property), QLatin1String(text)) == valid, text);
        QString message;
        QVERIFY(!m_data->setup()->AlertSetup()->validateText(QStringLiteral("AlarmShallow"), QStringLiteral("0.5"), &message));
        QCOMPARE(message, QStringLiteral("value must be a real number between 1 and 100!"));
    }

    void defaultsFollowTheMetadataAndMisuseIsAProgrammingError()
    {
        ESSetup *setup = m_data->setup();
        // Enum without a default: index 0; text value without default: "-/-"; numeric value: 0.
        QCOMPARE(setup->AlertSetup()->WarningEscType(), 0);
        QCOMPARE(setup->KX12Setup()->IP(), QStringLiteral("-/-"));
        QCOMPARE(setup->transducer(0)->Offset(), 0.0);
        // Runtime values without default keep their value.
        ESRuntime *runtime = m_data->runtime();
        runtime->setDepthKeel(3.5);
        runtime->setUtcToLocalDateTimeSecsOffset(60);
        runtime->setDefaultValues();
        QCOMPARE(runtime->DepthKeel(), 3.5);
        QCOMPARE(runtime->UtcToLocalDateTimeSecsOffset(), 0);
        // Exclusions name leaves; naming a container is a programming error.
        QVERIFY(!thrownError([&] {
                     setup->setDefaultValuesFromClassInfo_RecursivelyForAllChildren({{setup->SetupSetup(), {QStringLiteral("OptionsSetup")}}});
                 }).isEmpty());
        // A serializable object must be given its name.
        QObject parent;
        parent.setObjectName(QStringLiteral("Holder"));
        QTest::ignoreMessage(QtDebugMsg, "ValidatedObject::ValidatedObject - Object name not set for serializable class. Parent is: Holder");
        QCOMPARE(thrownError([&] { ESAlertSetup unnamed(QStringLiteral("UNINITIALIZED"), &parent); }),
                 QByteArray("Object name not set for serializable class"));
        QVERIFY(parent.children().isEmpty());
    }

    void ageingInvalidatesAndTellsObservers()
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
        QCOMPARE(firstArguments(keelChanged), QVariantList{11.0});
        QVERIFY(runtime->isValid(QStringLiteral("DepthSurface"))); // refreshed every tick
        runtime->increaseValidityCounters();
        QCOMPARE(keelChanged.count(), 1); // an invalid value is not announced again
        QVERIFY(!runtime->isValid(QStringLiteral("Heading"))); // never marked stays unmarked
    }

    void combinedGainChangesAreMarked()
    {
        QSignalSpy marks(m_data.get(), &ESData::gainMarkReady);
        EsTransducerSetup *transducer = m_data->setup()->transducer(1);
        transducer->setCombinedGain(4);
        transducer->setCombinedGain(4); // same value: no second mark
        transducer->setCombinedGain(5);
        const QString path = QStringLiteral("Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup2,");
        QCOMPARE(firstArguments(marks), (QVariantList{path + QStringLiteral("CombinedGain=4"), path + QStringLiteral("CombinedGain=5")}));
    }
};

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
