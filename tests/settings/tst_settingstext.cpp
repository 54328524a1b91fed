#include "esalerts.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"
#include "markclass.h"
#include "settingstesthelpers.h"

#include <QtTest>

// Walks a tree and lists every plain property with its value, as the text form would carry it.
static void collectValues(const SerializableClass *object, QStringList &out)
{
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const QVariant v = p.read(object);
        if (QMetaType::typeFlags(p.userType()) & QMetaType::PointerToQObject)
            continue;
        out << object->path() + QLatin1Char('.') + QString::fromLatin1(p.name()) + QLatin1Char('=') + v.toString();
    }
    for (const SerializableClass *c : object->serializableChildren())
        collectValues(c, out);
}

// Gives every plain property of a tree a value different from its default and inside its limits.
static void scramble(SerializableClass *object, int seed)
{
    const QMetaObject *mo = object->metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const QString name = QString::fromLatin1(p.name());
        switch (p.userType()) {
        case QMetaType::Int:
            p.write(object, (seed + i) % 2 + 1);
            break;
        case QMetaType::UInt:
            p.write(object, uint(1000 + seed + i));
            break;
        case QMetaType::Double:
            p.write(object, 1.25 + seed + i);
            break;
        case QMetaType::QString:
            p.write(object, QStringLiteral("t%1_%2").arg(seed).arg(i));
            break;
        default:
            continue;
        }
        object->setValid(name, true);
    }
    for (SerializableClass *c : object->serializableChildren())
        scramble(c, seed + 7);
}

class TestSettingsText : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_sandbox = std::make_unique<SettingsSandbox>(); m_data = m_sandbox->makeData(); }
    void cleanup() { m_data.reset(); m_sandbox.reset(); }

    void completeTextBeginsAsTheUnitsExpect();
    void everyTreeRoundTripsWhole();
    void everyTreeRoundTripsPropertyByProperty();
    void doublesPassSinglePrecisionWithTwoDecimals();
    void runtimeValuesCarryValidityAndIntegrity();
    void readingRefusesTokenWithoutEquals();
    void readingWithoutTagAndWithUnknownNames();
    void childMarkersUseTheirLastDigit();
    void emptyValueInvalidatesAndKeeps();
    void singlePropertyTextPaths();
    void singlePropertyForUnknownTargetsSetsNothing();
    void serializingUnknownPropertyIsAProgrammingError();

private:
    std::unique_ptr<SettingsSandbox> m_sandbox;
    std::unique_ptr<ESData> m_data;
};

void TestSettingsText::completeTextBeginsAsTheUnitsExpect()
{
    const QString text = m_data->setup()->serialize();
    QVERIFY2(text.startsWith(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=10.00,"
                                            "AlarmShallowID=230,AlertDeep=0.00,AlertDeepID=10456,")),
             qPrintable(text.left(120)));
    QVERIFY(!text.endsWith(QLatin1Char(',')));
    QVERIFY(text.contains(QStringLiteral(",SerializableClass2=TransducerSelectSetup,SerializableClass3=TransducerSetup1,Position=0,Draft=2.00,")));

    ESRuntime *runtime = m_data->runtime();
    runtime->setDepthSurface(12.34);
    runtime->setValid(QStringLiteral("DepthSurface"), true);
    runtime->setIntegrity(QStringLiteral("DepthKeel"), false);
    QVERIFY(runtime->serialize().startsWith(QStringLiteral("Type_Runtime,DepthSurface=12.34=T,DepthKeel==F,")));

    QCOMPARE(m_data->localSetup()->serialize().left(43), QStringLiteral("Type_LocalSetup,SerializableClass1=RuntimeS"));
    // Alert values not yet received are invalid, so they travel empty.
    QVERIFY(m_data->alerts()->serialize().startsWith(
        QStringLiteral("Type_Alert,AckFromDisplay==T,SerializableClass1=AlarmShallow,AlertState==T,AlertCategory==T,")));
}

void TestSettingsText::everyTreeRoundTripsWhole()
{
    QList<SerializableClass *> trees = {m_data->setup(), m_data->localSetup(), m_data->runtime(),
                                        m_data->alerts(), m_data->mark()};
    int seed = 3;
    for (SerializableClass *tree : trees) {
        scramble(tree, seed++);
        QStringList before;
        collectValues(tree, before);
        const QString text = tree->serialize();

        SettingsSandbox otherSandbox;
        auto other = otherSandbox.makeData();
        SerializableClass *copy = nullptr;
        for (SerializableClass *candidate : {static_cast<SerializableClass *>(other->setup()),
                                             static_cast<SerializableClass *>(other->localSetup()),
                                             static_cast<SerializableClass *>(other->runtime()),
                                             static_cast<SerializableClass *>(other->alerts()),
                                             static_cast<SerializableClass *>(other->mark())}) {
            if (candidate->objectName() == tree->objectName())
                copy = candidate;
        }
        QVERIFY(copy);
        QVERIFY2(copy->deserialize(text), qPrintable(tree->objectName()));
        QStringList after;
        collectValues(copy, after);
        QCOMPARE(after, before);
        QCOMPARE(copy->serialize(), text);
    }
}

void TestSettingsText::everyTreeRoundTripsPropertyByProperty()
{
    SettingsSandbox otherSandbox;
    auto other = otherSandbox.makeData();
    QList<QPair<SerializableClass *, SerializableClass *>> pairs = {
        {m_data->setup(), other->setup()}, {m_data->localSetup(), other->localSetup()},
        {m_data->runtime(), other->runtime()}, {m_data->alerts(), other->alerts()}};
    for (const auto &pair : pairs) {
        scramble(pair.first, 11);
        QStringList texts;
        std::function<void(SerializableClass *)> walk = [&](SerializableClass *object) {
            const QMetaObject *mo = object->metaObject();
            for (int i = 1; i < mo->propertyCount(); ++i) {
                const QMetaProperty p = mo->property(i);
                if (QMetaType::typeFlags(p.userType()) & QMetaType::PointerToQObject)
                    continue;
                texts << pair.first->serializeSingleProperty(object, QString::fromLatin1(p.name()), p.read(object));
            }
            for (SerializableClass *c : object->serializableChildren())
                walk(c);
        };
        walk(pair.first);
        QVERIFY(texts.size() > 20 || pair.first == m_data->alerts());
        for (const QString &text : texts) {
            bool written = false;
            QVERIFY2(pair.second->deserializeSingleProperty(text, &written), qPrintable(text));
            QVERIFY2(written, qPrintable(text));
        }
        QStringList expected;
        QStringList actual;
        collectValues(pair.first, expected);
        collectValues(pair.second, actual);
        QCOMPARE(actual, expected);
    }
}

void TestSettingsText::doublesPassSinglePrecisionWithTwoDecimals()
{
    ESAlertSetup *alert = m_data->setup()->AlertSetup();
    alert->setAlarmShallow(0.005);
    QVERIFY(alert->serialize().contains(QStringLiteral("AlarmShallow=0.00,")));
    alert->setAlarmShallow(2);
    QVERIFY(alert->serialize().contains(QStringLiteral("AlarmShallow=2.00,")));
    alert->setAlarmShallow(-3);
    QVERIFY(alert->serialize().contains(QStringLiteral("AlarmShallow=-3.00,")));
    alert->setAlarmShallow(12.5);
    QVERIFY(alert->serialize().contains(QStringLiteral("AlarmShallow=12.50,")));
    // The single-property form keeps the full value.
    QCOMPARE(m_data->setup()->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 12.345),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=12.345"));
}

void TestSettingsText::runtimeValuesCarryValidityAndIntegrity()
{
    ESRuntime *runtime = m_data->runtime();
    QVERIFY(runtime->deserialize(QStringLiteral("Type_Runtime,DepthSurface=5=F,DepthKeel=7.5=T,Heading=")));
    QCOMPARE(runtime->DepthSurface(), 5.0);
    QVERIFY(runtime->isValid(QStringLiteral("DepthSurface")));
    QVERIFY(!runtime->integrity(QStringLiteral("DepthSurface")));
    QVERIFY(runtime->integrity(QStringLiteral("DepthKeel")));
    QVERIFY(!runtime->isValid(QStringLiteral("Heading")));
    const QString text = runtime->serialize();
    QVERIFY(text.contains(QStringLiteral(",DepthSurface=5.00=F,")));
    QVERIFY(text.contains(QStringLiteral(",DepthKeel=7.50=T,")));
    QVERIFY(text.contains(QStringLiteral(",Heading==T,")));
    QVERIFY(text.contains(QStringLiteral(",DepthTransducer==T,"))); // never received: invalid

    // An invalid value is written empty whatever the object holds.
    runtime->setDepthSurface(9.0);
    runtime->setValid(QStringLiteral("DepthSurface"), false);
    QVERIFY(runtime->serialize().contains(QStringLiteral(",DepthSurface==F,")));
}

void TestSettingsText::readingRefusesTokenWithoutEquals()
{
    ESSetup *setup = m_data->setup();
    const bool ok = setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=20,"
                                                      "AlarmShallowID,AlertDeep=300"));
    QVERIFY(!ok);
    QCOMPARE(setup->AlertSetup()->AlarmShallow(), 20.0); // read before the bad token
    QCOMPARE(setup->AlertSetup()->AlertDeep(), 0.0);     // after it: untouched
    QVERIFY(!setup->deserialize(QStringLiteral("Type_Setup,")));
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup")));
}

void TestSettingsText::readingWithoutTagAndWithUnknownNames()
{
    ESAlertSetup *alert = m_data->setup()->AlertSetup();
    // A first token not beginning with "Type_" is a property like any other.
    QVERIFY(alert->deserialize(QStringLiteral("AlarmShallow=33,FutureSetting=1,AlertDeep=150,AlertType=x")));
    QCOMPARE(alert->AlarmShallow(), 33.0);
    QCOMPARE(alert->AlertDeep(), 150.0);
    QCOMPARE(alert->AlertType(), 1); // not convertible: unchanged

    ESSetup *setup = m_data->setup();
    QVERIFY(setup->deserialize(QStringLiteral("Type_Setup,SerializableClass1=NewerSetup,A=1,B=2,"
                                              "SerializableClass1=AUXSetup,DeepLimit=600")));
    QCOMPARE(setup->AUXSetup()->DeepLimit(), 600.0);
}

void TestSettingsText::childMarkersUseTheirLastDigit()
{
    ESSetup *setup = m_data->setup();
    // Level-3 tokens stay with their level-2 parent; the next level-1 marker ends the collection.
    QVERIFY(setup->deserialize(QStringLiteral(
        "Type_Setup,SerializableClass1=SetupSetup,SerializableClass2=TransducerSelectSetup,"
        "SerializableClass3=TransducerSetup2,Draft=4.5,SerializableClass3=TransducerSetup1,Draft=1.5,"
        "SerializableClass1=AlertSetup,AlarmShallow=44")));
    QCOMPARE(setup->transducer(1)->Draft(), 4.5);
    QCOMPARE(setup->transducer(0)->Draft(), 1.5);
    QCOMPARE(setup->AlertSetup()->AlarmShallow(), 44.0);

    // "SerializableClass12" counts as level 2: it ends the collection of a level-2 child.
    QVERIFY(setup->deserialize(QStringLiteral(
        "Type_Setup,SerializableClass1=SetupSetup,SerializableClass2=OptionsSetup,ScalesDepth=2,"
        "SerializableClass12=TransducerSelectSetup,SerializableClass3=TransducerSetup1,Draft=3.5")));
    QCOMPARE(setup->SetupSetup()->OptionsSetup()->ScalesDepth(), 2);
    QCOMPARE(setup->transducer(0)->Draft(), 3.5);
}

void TestSettingsText::emptyValueInvalidatesAndKeeps()
{
    ESAlertSetup *alert = m_data->setup()->AlertSetup();
    alert->setValid(QStringLiteral("AlarmShallow"), true);
    QSignalSpy changed(alert, &ESAlertSetup::AlarmShallowChanged);
    QVERIFY(alert->deserialize(QStringLiteral("AlarmShallow=,AlarmShallowID=5=F")));
    QCOMPARE(alert->AlarmShallow(), 10.0);
    QVERIFY(!alert->isValid(QStringLiteral("AlarmShallow")));
    QCOMPARE(changed.count(), 1); // written back so the screens hear of it
    QCOMPARE(alert->AlarmShallowID(), 5);
    QVERIFY(!alert->integrity(QStringLiteral("AlarmShallowID")));
}

void TestSettingsText::singlePropertyTextPaths()
{
    ESSetup *setup = m_data->setup();
    ESAlertSetup *alert = setup->AlertSetup();
    QCOMPARE(setup->serializeSingleProperty(alert, QStringLiteral("AlarmShallow"), 5),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5"));
    QCOMPARE(setup->serializeSingleProperty(setup->transducer(1), QStringLiteral("Range"), 3),
             QStringLiteral("Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup2,Range=3"));

    bool written = false;
    SerializableClass *owner = setup->deserializeSingleProperty(
        QStringLiteral("Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup2,Range=9"), &written);
    QCOMPARE(owner, setup->transducer(1));
    QVERIFY(written);
    QCOMPARE(setup->transducer(1)->Range(), 9);

    // A leaf hands the text to its top object.
    owner = alert->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=7"), &written);
    QCOMPARE(owner, alert);
    QCOMPARE(alert->AlarmShallow(), 7.0);

    // Empty value: invalid, value kept, still reported as written.
    owner = setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow="), &written);
    QCOMPARE(owner, alert);
    QVERIFY(written);
    QCOMPARE(alert->AlarmShallow(), 7.0);
    QVERIFY(!alert->isValid(QStringLiteral("AlarmShallow")));

    // A value the property cannot take is reported as not written.
    owner = setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlertType=abc"), &written);
    QCOMPARE(owner, alert);
    QVERIFY(!written);

    // A trip-counter reset names a property the runtime tree does not have.
    QVERIFY(!m_data->runtime()->deserializeSingleProperty(QStringLiteral("Type_Runtime,SingleProperty,ESRuntime,Trip=0"), &written));
    QVERIFY(!written);
}

void TestSettingsText::singlePropertyForUnknownTargetsSetsNothing()
{
    ESSetup *setup = m_data->setup();
    bool written = true;
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,NoSuchThing=1"), &written));
    QVERIFY(!written);
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESLocalSetup,DisplaySetup,SystemName=AB"), &written));
    QVERIFY(!written);
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,NoSuchChild,AlarmShallow=1"), &written));
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow"), &written));
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty"), &written));
    QVERIFY(!setup->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,ESSetup,AlertSetup"), &written));
    QCOMPARE(setup->AlertSetup()->AlarmShallow(), 10.0);
}

void TestSettingsText::serializingUnknownPropertyIsAProgrammingError()
{
    bool thrown = false;
    try {
        m_data->setup()->serializeSingleProperty(QStringLiteral("NoSuchProperty"));
    } catch (const char *error) {
        thrown = QByteArray(error) == "Tried to serialize property that does not exist";
    }
    QVERIFY(thrown);
}

QTEST_GUILESS_MAIN(TestSettingsText)
#include "tst_settingstext.moc"
