#include "validatedproperty.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QRegularExpressionValidator>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

// Field text rules, result codes and validity ageing of single validated fields.
class TestFields : public QObject
{
    Q_OBJECT
private slots:
    void integerFixedLength();
    void integerLengthsAndValidator();
    void realFixedDigitsBeforePoint();
    void realDecimals();
    void realFixedLengthAndValidator();
    void invalidFieldText();
    void textWithExpression();
    void validityExpiresAfterLimit();
    void validityNeverExpiresWithNegativeLimit();
    void oneSharedTimer();
    void copyValueOnlyWhenValid();
    void copyConfigurationAndReset();
    void acceptanceAgreesWithValidator();
};

void TestFields::integerFixedLength()
{
    ValidatedIntProperty field(nullptr, nullptr, 3);
    field.setValue(-7);
    QCOMPARE(field.fieldText(), QStringLiteral("-007"));
    field.setValue(42);
    QCOMPARE(field.fieldText(), QStringLiteral("042"));
    QCOMPARE(field.setFieldText(QStringLiteral("-007")), 0);
    QCOMPARE(field.value(), -7);
    QCOMPARE(field.setFieldText(QStringLiteral("07")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("0007")), 3);
    QCOMPARE(field.value(), -7);
}

void TestFields::integerLengthsAndValidator()
{
    ValidatedIntProperty field(nullptr, new QIntValidator(0, 999999), 0, 6);
    QCOMPARE(field.setFieldText(QStringLiteral("999999")), 0);
    QCOMPARE(field.setFieldText(QStringLiteral("1000000")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("-5")), 2);
    QCOMPARE(field.setFieldText(QStringLiteral("12a")), 2);
    QCOMPARE(field.value(), 999999);
    QCOMPARE(field.fieldText(), QStringLiteral("999999"));

    ValidatedIntProperty bounded(nullptr, new QIntValidator(1, 99));
    QCOMPARE(bounded.setFieldText(QStringLiteral("0")), 2);
    QCOMPARE(bounded.setFieldText(QStringLiteral("1")), 0);
    QCOMPARE(bounded.setFieldText(QStringLiteral("99")), 0);
    QCOMPARE(bounded.setFieldText(QStringLiteral("100")), 2);
}

void TestFields::realFixedDigitsBeforePoint()
{
    ValidatedFloatProperty field(nullptr, nullptr, 0, 0, true, 10, 3, 0, 1);
    field.setValue(5.5);
    QCOMPARE(field.fieldText(), QStringLiteral("005.5"));
    field.setValue(-5.5);
    QCOMPARE(field.fieldText(), QStringLiteral("-005.5"));
    QCOMPARE(field.setFieldText(QStringLiteral("12.5")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("1234.5")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("012.5")), 0);
    QCOMPARE(field.value(), 12.5);
    QCOMPARE(field.setFieldText(QStringLiteral("-012.5")), 0);
    QCOMPARE(field.value(), -12.5);
    QCOMPARE(field.setFieldText(QStringLiteral("123")), 0);

    ValidatedFloatProperty time(nullptr, nullptr, 0, 0, true, 10, 6, 0, 2);
    QCOMPARE(time.setFieldText(QStringLiteral("123519.00")), 0);
    QCOMPARE(time.fieldText(), QStringLiteral("123519.00"));
    time.setValue(5.25);
    QCOMPARE(time.fieldText(), QStringLiteral("000005.25"));
}

void TestFields::realDecimals()
{
    ValidatedFloatProperty field(nullptr, nullptr, 0, 0, true, 10, 0, 2, 1);
    QCOMPARE(field.setFieldText(QStringLiteral("4.5")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("4")), 3);
    QCOMPARE(field.setFieldText(QStringLiteral("4.")), 3);
    QCOMPARE(field.isValid(), false);
    QCOMPARE(field.setFieldText(QStringLiteral("4.50")), 0);
    QCOMPARE(field.value(), 4.5);
    QCOMPARE(field.fieldText(), QStringLiteral("4.5"));

    ValidatedFloatProperty plain(nullptr, nullptr, 0, 0, true, 10, 0, 0, 0);
    plain.setValue(12.6);
    QCOMPARE(plain.fieldText(), QStringLiteral("13"));
    ValidatedFloatProperty three(nullptr, nullptr, 0, 0, true, 10, 0, 0, 3);
    three.setValue(-0.25);
    QCOMPARE(three.fieldText(), QStringLiteral("-0.250"));
}

void TestFields::realFixedLengthAndValidator()
{
    ValidatedFloatProperty field(nullptr, nullptr, 5, 0, true, 10, 0, 0, 1);
    field.setValue(3.24);
    QCOMPARE(field.fieldText(), QStringLiteral("003.2"));
    field.setValue(-12345.6);
    QCOMPARE(field.fieldText(), QStringLiteral("-12345"));

    auto *validator = new QDoubleValidator(0, 1000, 1000);
    validator->setNotation(QDoubleValidator::StandardNotation);
    ValidatedFloatProperty speed(nullptr, validator);
    QCOMPARE(speed.setFieldText(QStringLiteral("1000")), 0);
    QCOMPARE(speed.setFieldText(QStringLiteral("1000.1")), 2);
    QCOMPARE(speed.setFieldText(QStringLiteral("-0.1")), 2);
    QCOMPARE(speed.setFieldText(QStringLiteral("1e2")), 2);
    QCOMPARE(speed.setFieldText(QStringLiteral("0.125")), 0);
    QCOMPARE(speed.value(), 0.125);
    QVERIFY(speed.validator()->parent() == &speed);
}

void TestFields::invalidFieldText()
{
    ValidatedFloatProperty nullable(nullptr, nullptr, 0, 0, true);
    QCOMPARE(nullable.fieldText(), QString());
    QCOMPARE(nullable.setFieldText(QString()), 1);
    QVERIFY(!nullable.isValid());

    ValidatedStringProperty notNull(nullptr, nullptr, 1, 0, false);
    QCOMPARE(notNull.fieldText(), QStringLiteral("0"));
    notNull.setDefaultValue(QStringLiteral("V"));
    QCOMPARE(notNull.fieldText(), QStringLiteral("V"));
    QCOMPARE(notNull.setFieldText(QString()), 2);
    notNull.setValue(QStringLiteral("A"));
    QCOMPARE(notNull.fieldText(), QStringLiteral("A"));

    ValidatedIntProperty garbage;
    QCOMPARE(garbage.setFieldText(QStringLiteral("x1")), 2);
    QCOMPARE(garbage.setFieldText(QStringLiteral("99999999999")), 2);
    ValidatedFloatProperty realGarbage;
    QCOMPARE(realGarbage.setFieldText(QStringLiteral("1.2.3")), 2);
    QCOMPARE(realGarbage.setFieldText(QStringLiteral("nan")), 2);
    QCOMPARE(realGarbage.setFieldText(QStringLiteral("inf")), 2);
    QVERIFY(!garbage.isValid());
    QVERIFY(!realGarbage.isValid());
}

void TestFields::textWithExpression()
{
    ValidatedStringProperty field(
        nullptr, new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[AV]{1,1}"))), 1);
    QSignalSpy changed(&field, &ValidatedProperty::valueChanged);
    QCOMPARE(field.setFieldText(QStringLiteral("A")), 0);
    QCOMPARE(field.setFieldText(QStringLiteral("X")), 2);
    QCOMPARE(field.setFieldText(QStringLiteral("AV")), 2);
    QCOMPARE(field.setFieldText(QStringLiteral("a")), 2);
    QCOMPARE(field.value(), QStringLiteral("A"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(field.setVariantValue(QVariant(QStringLiteral("V"))), 0);
    QCOMPARE(field.variantValue().toString(), QStringLiteral("V"));
}

void TestFields::validityExpiresAfterLimit()
{
    ValidatedIntProperty field(nullptr, nullptr, 0, 0, true, 3);
    field.setValue(5);
    QSignalSpy changed(&field, &ValidatedProperty::valueChanged);
    for (int tick = 1; tick <= 3; ++tick) {
        ValidatedProperty::tickAll();
        QVERIFY2(field.isValid(), qPrintable(QString::number(tick)));
    }
    ValidatedProperty::tickAll();
    QVERIFY(!field.isValid());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(field.fieldText(), QString());

    // A fresh assignment restarts the count.
    field.setValue(6);
    ValidatedProperty::tickAll();
    ValidatedProperty::tickAll();
    field.setValue(7);
    ValidatedProperty::tickAll();
    ValidatedProperty::tickAll();
    ValidatedProperty::tickAll();
    QVERIFY(field.isValid());
    ValidatedProperty::tickAll();
    QVERIFY(!field.isValid());

    ValidatedIntProperty dateField(nullptr, nullptr, 0, 0, true,
                                   ValidatedProperty::dateTimeValidityLimit);
    dateField.setValue(1);
    for (int tick = 0; tick < 60; ++tick)
        ValidatedProperty::tickAll();
    QVERIFY(dateField.isValid());
    ValidatedProperty::tickAll();
    QVERIFY(!dateField.isValid());
}

void TestFields::validityNeverExpiresWithNegativeLimit()
{
    ValidatedStringProperty field(nullptr, nullptr, 0, 0, true, -1);
    field.setValue(QStringLiteral("x"));
    for (int tick = 0; tick < 100; ++tick)
        ValidatedProperty::tickAll();
    QVERIFY(field.isValid());
    QCOMPARE(field.validityCounter(), 0);
}

void TestFields::oneSharedTimer()
{
    const int before = ValidatedProperty::liveCount();
    {
        ValidatedIntProperty a;
        ValidatedFloatProperty b;
        QCOMPARE(ValidatedProperty::liveCount(), before + 2);
        QTimer *timer = ValidatedProperty::validityTimer();
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isActive());
        ValidatedStringProperty c;
        QCOMPARE(ValidatedProperty::validityTimer(), timer);
    }
    QCOMPARE(ValidatedProperty::liveCount(), before);

    // A field deleted by a slot while the tick runs is neither ticked afterwards nor left behind.
    auto *first = new ValidatedIntProperty(nullptr, nullptr, 0, 0, true, 0);
    auto *second = new ValidatedIntProperty(nullptr, nullptr, 0, 0, true, 0);
    first->setValue(1);
    second->setValue(1);
    connect(first, &ValidatedProperty::valueChanged, second, [second] { delete second; });
    ValidatedProperty::tickAll();
    QCOMPARE(ValidatedProperty::liveCount(), before + 1);
    delete first;
    QCOMPARE(ValidatedProperty::liveCount(), before);
}

void TestFields::copyValueOnlyWhenValid()
{
    ValidatedFloatProperty source;
    ValidatedFloatProperty target;
    target.setValue(2.0);
    target.copyValueAndValidity(source);
    QCOMPARE(target.value(), 2.0);
    QVERIFY(!target.isValid());
    source.setValue(3.5);
    target.copyValueAndValidity(source);
    QCOMPARE(target.value(), 3.5);
    QVERIFY(target.isValid());

    ValidatedIntProperty fromInt;
    fromInt.setValue(9);
    ValidatedFloatProperty mixed;
    mixed.copyValueAndValidity(fromInt);
    QCOMPARE(mixed.value(), 9.0);
}

void TestFields::copyConfigurationAndReset()
{
    ValidatedFloatProperty source(nullptr, new QDoubleValidator(0, 359, 1000), 0, 0, false, 20, 3,
                                  2, 2);
    source.setDefaultValue(QStringLiteral("7"));
    ValidatedFloatProperty target;
    QSignalSpy changed(&target, &ValidatedProperty::valueChanged);
    target.copyConfiguration(source);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(target.fixedDigitsBeforePoint(), 3u);
    QCOMPARE(target.sendDecimals(), 2u);
    QCOMPARE(target.validityLimit(), 20);
    QVERIFY(!target.canBeNullField());
    QCOMPARE(target.setFieldText(QStringLiteral("360.00")), 2);
    QCOMPARE(target.setFieldText(QStringLiteral("100.5")), 3);
    QCOMPARE(target.setFieldText(QStringLiteral("100.50")), 0);
    target.resetToInitial();
    QVERIFY(target.isValid());
    QCOMPARE(target.value(), 7.0);
    QCOMPARE(target.fieldText(), QStringLiteral("007.00"));
}

// The field's own acceptance test must rate every text as its Qt validator does.
void TestFields::acceptanceAgreesWithValidator()
{
    const QStringList texts = {"0", "7", "-7", "+7", "007", "-0", "1.5", "1.", ".5", "-.5", ".", "-",
                               "+", "1e2", "1E2", "12a", " 1", "1 ", "99", "100", "359", "359.0",
                               "359.01", "1000", "1000.0", "-1", "A", "V", "X", "AV", "a", "T",
                               "TR", "BWP", "B", "00:1A:2B:3C:4D:5E", "00:1A:2B:3C:4D", "1,5",
                               "0x10", "2147483648", "99999999999999999999", "1.2.3", "--1", ""};
    auto makeReal = [](double bottom, double top) {
        auto *v = new QDoubleValidator(bottom, top, 1000);
        v->setNotation(QDoubleValidator::StandardNotation);
        v->setLocale(QLocale::c());
        return v;
    };
    auto makeInt = [](int bottom, int top) {
        auto *v = new QIntValidator(bottom, top);
        v->setLocale(QLocale::c());
        return v;
    };
    auto makeRegex = [](const char *pattern) {
        return new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)));
    };
    QList<QValidator *> validators = {makeInt(0, 99), makeInt(1, 99), makeInt(-13, 13),
                                      makeInt(0, 9999999), makeReal(0, 359), makeReal(0, 1000),
                                      makeReal(-5, 5), makeRegex("[AV]{1,1}"), makeRegex("T{1,1}"),
                                      makeRegex("TR{1,1}"), makeRegex("BWP{1,1}"),
                                      makeRegex("([0-9A-F]{2}[:-]){5}([0-9A-F]{2})")};
    for (QValidator *validator : validators) {
        ValidatedStringProperty field(nullptr, validator);
        for (const QString &text : texts) {
            if (text.isEmpty())
                continue;
            QString copy = text;
            int pos = 0;
            const bool qtAccepts = validator->validate(copy, pos) == QValidator::Acceptable;
            const bool fieldAccepts = field.setFieldText(text) == 0;
            QVERIFY2(qtAccepts == fieldAccepts,
                     qPrintable(QStringLiteral("%1 on \"%2\": Qt %3").arg(validator->metaObject()->className(), text).arg(qtAccepts)));
        }
    }
}

QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
