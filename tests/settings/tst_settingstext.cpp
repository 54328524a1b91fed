#include "esalerts.h"
#include "esdata.h"
#include "esruntime.h"
#include "essetup.h"
#include "settingsmacros.h"
#include "settingstesthelpers.h"

#include <QtTest>

// Gives every plain property of a tree a valid value different from its default.
static void scramble(SerializableClass *object, int seed)
{
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const int type = p.userType();
        if (type == QMetaType::Int || type == QMetaType::UInt)
            p.write(object, (seed + i) % 2 + 1);
        else if (type == QMetaType::Double)
            p.write(object, 1.25 + seed + i);
        else if (type == QMetaType::QString)
            p.write(object, QStringLiteral("t%1_%2").arg(seed).arg(i));
        else
            continue;
        object->setValid(QString::fromLatin1(p.name()), true);
    }
    for (SerializableClass *c : object->serializableChildren())
        scramble(c, seed + 7);
}

static QStringList allSinglePropertyTexts(SerializableClass *top, SerializableClass *object)
{
    QStringList texts;
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (!(QMetaType::typeFlags(p.userType()) & QMetaType::PointerToQObject))
            texts << top->serializeSingleProperty(object, QString::fromLatin1(p.name()), p.read(object));
    }
    for (SerializableClass *c : object->serializableChildren())
        texts << allSinglePropertyTexts(top, c);
    return texts;
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

private:
    QList<SerializableClass *> m_points;
};

class TestSettingsText : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_sandbox = std::make_unique<SettingsSandbox>(); m_data = m_sandbox->makeData(); }
    void cleanup() { m_data.reset(); m_sandbox.reset(); }

    void completeTextsBeginAsThePeerExpects();
    void everyTreeRoundTripsWholeAndPropertyByProperty();
    void doublesPassSinglePrecisionWithTwoDecimals();
    void runtimeValuesCarryValidityAndIntegrity();
    void malformedAndForeignTexts();
    void childMarkersUseTheirLastDigit();
    void singlePropertyTexts();
    void objectListsRoundTrip();

private:
    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;
};

void TestSettingsText::completeTextsBeginAsThePeerExpects()
{
    const QString text = m_data->setup()->serialize();
    QVERIFY(text.startsWith(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=10.00,"
                                           "AlarmShallowID=230,AlertDeep=0.00,AlertDeepID=10456,")));
    QVERIFY(text.contains(QStringLiteral(",SerializableClass2=TransducerSelectSetup,SerializableClass3=TransducerSetup1,Position=0,Draft=2.00,")));
    QVERIFY(!text.endsWith(QLatin1Char(',')));
    ESRuntime *runtime = m_data->runtime();
    runtime->setDepthSurface(12.34);
    runtime->setValid(QStringLiteral("DepthSurface"), true);
    runtime->setIntegrity(QStringLiteral("DepthKeel"), false);
    QVERIFY(runtime->serialize().startsWith(QStringLiteral("Type_Runtime,DepthSurface=12.34=T,DepthKeel==F,")));
    QVERIFY(m_data->alerts()->serialize().startsWith(
        QStringLiteral("Type_Alert,AckFromDisplay==T,SerializableClass1=AlarmShallow,AlertState==T,")));
}

void TestSettingsText::everyTreeRoundTripsWholeAndPropertyByProperty()
{
    SettingsSandbox wholeSandbox;
    SettingsSandbox singleSandbox;
    auto whole = wholeSandbox.makeData();
    auto single = singleSandbox.makeData();
    const QList<SerializableClass *> trees = m_data->trees();
    for (int t = 0; t < trees.size(); ++t) {
        SerializableClass *tree = trees.at(t);
        scramble(tree, 3 + t);
        const QString text = tree->serialize();
        QVERIFY2(text != whole->trees().at(t)->serialize() || tree == m_data->bottomBars(), qPrintable(tree->objectName()));
        QVERIFY2(whole->trees().at(t)->deserialize(text), qPrintable(tree->objectName()));
        QCOMPARE(whole->trees().at(t)->serialize(), text);
        for (const QString &change : allSinglePropertyTexts(tree, tree)) {
            bool written = false;
            QVERIFY2(single->trees().at(t)->deserializeSingleProperty(change, &written) && written, qPrintable(change));
        }
        QCOMPARE(single->trees().at(t)->serialize(), text);
    }
}

void TestSettingsText::doublesPassSinglePrecisionWithTwoDecimals()
{
    ESAlertSetup *alert = m_data->setup()->AlertSetup();
    const QList<QPair<double, QString>> cases = {{0.005, "0.00"}, {2, "2.00"}, {-3, "-3.00"}, {12.5, "12.50"}};
    for (const auto &c : cases) {
        alert->setAlarmShallow(c.first);
        QVERIFY2(alert->serialize().contains(QStringLiteral("AlarmShallow=") + c.second + QLatin1Char(',')), qPrintable(c.second));
    }
    // The single-property form keeps the full value.
    QCOMPARE(m_data->setup()->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 12.345),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=12.345"));
}

void TestSettingsText::runtimeValuesCarryValidityAndIntegrity()
{
    ESRuntime *runtime = m_data->runtime();
    QSignalSpy headingChanged(runtime, &ESRuntime::HeadingChanged);
    QVERIFY(runtime->deserialize(QStringLiteral("Type_Runtime,DepthSurface=5=F,DepthKeel=7.5=T,Heading=")));
    QVERIFY(runtime->isValid(QStringLiteral("DepthSurface")) && !runtime->integrity(QStringLiteral("DepthSurface")));
    QVERIFY(!runtime->isValid(QStringLiteral("Heading")));
    QCOMPARE(headingChanged.count(), 1); // an emptied value is written back so the screens hear of it
    const QString text = runtime->serialize();
    QVERIFY(text.contains(QStringLiteral(",DepthSurface=5.00=F,DepthKeel=7.50=T,DepthTransducer==T,")));
    QVERIFY(text.contains(QStringLiteral(",Heading==T,")));
    runtime->setDepthSurface(9.0);
    runtime->setValid(QStringLiteral("DepthSurface"), false);
    QVERIFY(runtime->serialize().contains(QStringLiteral(",DepthSurface==F,")));
}

void TestSettingsText::malformedAndForeignTexts()
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
    QVERIFY(jb->deserialize(QStringLiteral("KX12SerialNumber=99999999999,Group=7x")));
    QCOMPARE(jb->KX12SerialNumber(), 99999u); // out of range for the type: unchanged
    QCOMPARE(jb->Group(), 3);
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=NewerSetup,A=1,SerializableClass1=AUXSetup,DeepLimit=600")));
    QCOMPARE(setup->AUXSetup()->DeepLimit(), 600.0);
}

void TestSettingsText::childMarkersUseTheirLastDigit()
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

void TestSettingsText::singlePropertyTexts()
{
    ESSetup *setup = m_data->setup();
    ESAlertSetup *alert = setup->AlertSetup();
    QCOMPARE(setup->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 5),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"));
    bool written = false;
    // A leaf hands the text to its top object.
    QCOMPARE(alert->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=7"), &written), alert);
    QCOMPARE(alert->AlarmShallow(), 7.0);
    QCOMPARE(setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow="), &written), alert);
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
    bool thrown = false;
    try {
        setup->serializeSingleProperty(QStringLiteral("NoSuchProperty"));
    } catch (const char *error) {
        thrown = QByteArray(error) == "Tried to serialize property that does not exist";
    }
    QVERIFY(thrown);
}

void TestSettingsText::objectListsRoundTrip()
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

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
