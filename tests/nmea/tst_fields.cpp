#include "nmeatestlines.h"
#include "validatedproperty.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QRegularExpressionValidator>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cmath>

using NmeaTest::tickFields;

namespace {

// The result code of setFieldText for each text, in order.
QList<int> codes(ValidatedProperty &field, const QStringList &texts)
{
    QList<int> out;
    for (const QString &text : texts)
        out << field.setFieldText(text);
    return out;
}

QDoubleValidator *realRange(double bottom, double top)
{
    auto *validator = new QDoubleValidator(bottom, top, 1000);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    return validator;
}

QIntValidator *intRange(int bottom, int top)
{
    auto *validator = new QIntValidator(bottom, top);
    validator->setLocale(QLocale::c());
    return validator;
}

} // namespace

// Field text rules, result codes (0 taken, 1 null, 2 invalid, 3 length) and validity ageing.
class TestFields : public QObject
{
    Q_OBJECT
private slots:
    void integerTexts()
    {
        // A fixed length pads after the sign and takes only texts of exactly that many digits.
        ValidatedIntProperty fixed(nullptr, nullptr, 3);
        fixed.setValue(-7);
        const QString negative = fixed.fieldText();
        fixed.setValue(42);
        QCOMPARE(negative + ' ' + fixed.fieldText(), QStringLiteral("-007 042"));
        QCOMPARE(codes(fixed, {"07", "0007"}), (QList<int>{3, 3}));
        QCOMPARE(fixed.value(), 42);
        QCOMPARE(codes(fixed, {"-007"}), QList<int>{0});
        QCOMPARE(fixed.value(), -7);
        ValidatedIntProperty counter(nullptr, new QIntValidator(0, 999999), 0, 6);
        QCOMPARE(codes(counter, {"999999", "1000000", "-5", "12a"}), (QList<int>{0, 3, 2, 2}));
        QCOMPARE(counter.value(), 999999);
        ValidatedIntProperty plain;
        QCOMPARE(codes(plain, {"x1", "99999999999"}), (QList<int>{2, 2}));
        QVERIFY(!plain.isValid());
    }

    void realTexts()
    {
        // Digits before the point: padded when sent, demanded exactly when received.
        ValidatedFloatProperty heading(nullptr, nullptr, 0, 0, true, 10, 3, 0, 1);
        heading.setValue(-5.5);
        QCOMPARE(heading.fieldText(), QStringLiteral("-005.5"));
        QCOMPARE(codes(heading, {"12.5", "1234.5", "123", "-012.5"}), (QList<int>{3, 3, 0, 0}));
        QCOMPARE(heading.value(), -12.5);
        ValidatedFloatProperty utc(nullptr, nullptr, 0, 0, true, 10, 6, 0, 2);
        utc.setValue(5.25);
        QCOMPARE(utc.fieldText(), QStringLiteral("000005.25"));
        // Received decimals are demanded exactly; sent decimals round.
        ValidatedFloatProperty twoDecimals(nullptr, nullptr, 0, 0, true, 10, 0, 2, 1);
        QCOMPARE(codes(twoDecimals, {"4.5", "4", "4."}), (QList<int>{3, 3, 3}));
        QVERIFY(!twoDecimals.isValid());
        QCOMPARE(codes(twoDecimals, {"4.50"}), QList<int>{0});
        QCOMPARE(twoDecimals.fieldText(), QStringLiteral("4.5"));
        ValidatedFloatProperty noDecimals(nullptr, nullptr, 0, 0, true, 10, 0, 0, 0);
        ValidatedFloatProperty three(nullptr, nullptr, 0, 0, true, 10, 0, 0, 3);
        noDecimals.setValue(12.6);
        three.setValue(-0.25);
        QCOMPARE(noDecimals.fieldText() + ' ' + three.fieldText(), QStringLiteral("13 -0.250"));
        // A fixed length pads; a value too long for it loses its decimals.
        ValidatedFloatProperty fixed(nullptr, nullptr, 5, 0, true, 10, 0, 0, 1);
        fixed.setValue(3.24);
        const QString small = fixed.fieldText();
        fixed.setValue(-12345.6);
        QCOMPARE(small + ' ' + fixed.fieldText(), QStringLiteral("003.2 -12345"));
        ValidatedFloatProperty speed(nullptr, realRange(0, 1000));
        QCOMPARE(codes(speed, {"1000", "1000.1", "-0.1", "1e2", "0.125"}), (QList<int>{0, 2, 2, 2, 0}));
        QCOMPARE(speed.value(), 0.125);
        QVERIFY(speed.validator()->parent() == &speed);
        ValidatedFloatProperty plain;
        QCOMPARE(codes(plain, {"1.2.3", "nan", "inf"}), (QList<int>{2, 2, 2}));
        QVERIFY(!plain.isValid());
    }

    void realValuesAgreeWithTheFullConversion()
    {
        // Received reals are read without the general conversion where that is exact; the value
        // must be the very double the general conversion gives, in every case.
        const QStringList texts = {"0", "-0", "+7", ".5", "5.", "-.5", "12.50", "0.1", "0.3", "1.005",
                                   "00012.5000", "359.9", "-273.15", "4807.0380000", "01131.0000000",
                                   "123456789.123456", "9007199254740991", "9007199254740993",
                                   "0.30000000000000004", "1234567890123456789012", "0.0000000000000000000001",
                                   "0.00000000000000000000001", " 1.5", "1e3", "1E-2"};
        ValidatedFloatProperty field;
        for (const QString &text : texts) {
            bool ok = false;
            const double expected = text.toDouble(&ok);
            QCOMPARE(field.setFieldText(text), ok ? 0 : 2);
            if (ok)
                QVERIFY2(field.value() == expected && std::signbit(field.value()) == std::signbit(expected),
                         qPrintable(text));
        }
        ValidatedIntProperty count(nullptr, intRange(-5, 100000));
        QCOMPARE(codes(count, {"+12", "-5", "-6", "0099999", "100001", "12345678901234567890"}),
                 (QList<int>{0, 0, 2, 0, 2, 2}));
        QCOMPARE(count.value(), 99999);
        ValidatedIntProperty wide;
        QCOMPARE(codes(wide, {"2147483647", "2147483648", "-2147483648"}), (QList<int>{0, 2, 0}));
        QCOMPARE(wide.value(), -2147483647 - 1);
    }

    void changesReachTheirListenersOnly()
    {
        // A change goes to whoever listens, however connected, and to nobody once they left.
        ValidatedIntProperty field;
        int heard = 0;
        const QMetaObject::Connection lambda =
            connect(&field, &ValidatedProperty::valueChanged, this, [&heard] { ++heard; });
        field.setFieldText(QStringLiteral("1"));
        {
            QSignalSpy spy(&field, SIGNAL(valueChanged()));
            field.setFieldText(QStringLiteral("2"));
            QCOMPARE(spy.count(), 1);
        }
        disconnect(lambda);
        field.setFieldText(QStringLiteral("3"));
        QCOMPARE(heard, 2);
        QSignalSpy later(&field, &ValidatedProperty::valueChanged);
        field.setValid(false);
        QCOMPARE(later.count(), 1);
    }

    void nullAndTextFields()
    {
        ValidatedFloatProperty nullable(nullptr, nullptr, 0, 0, true);
        QCOMPARE(nullable.fieldText(), QString());
        QCOMPARE(codes(nullable, {QString()}), QList<int>{1});
        QVERIFY(!nullable.isValid());
        // A field that cannot be null goes out as its default and refuses empty text.
        ValidatedStringProperty notNull(nullptr, nullptr, 1, 0, false);
        const QString initial = notNull.fieldText();
        notNull.setDefaultValue(QStringLiteral("V"));
        QCOMPARE(initial + notNull.fieldText(), QStringLiteral("0V"));
        QCOMPARE(codes(notNull, {QString()}), QList<int>{2});
        ValidatedStringProperty status(
            nullptr, new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[AV]{1,1}"))), 1);
        QSignalSpy changed(&status, &ValidatedProperty::valueChanged);
        QCOMPARE(codes(status, {"A", "X", "AV", "a"}), (QList<int>{0, 2, 2, 2}));
        QCOMPARE(status.value(), QStringLiteral("A"));
        QCOMPARE(changed.count(), 1);
    }

    void validityAgesWithTicksOfOneTimer()
    {
        ValidatedIntProperty field(nullptr, nullptr, 0, 0, true, 3);
        field.setValue(5);
        QSignalSpy changed(&field, &ValidatedProperty::valueChanged);
        tickFields(3);
        QVERIFY(field.isValid());
        tickFields(1);
        QVERIFY(!field.isValid());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(field.fieldText(), QString());
        // A fresh assignment restarts the count.
        field.setValue(6);
        tickFields(2);
        field.setValue(7);
        tickFields(3);
        QVERIFY(field.isValid());
        tickFields(1);
        QVERIFY(!field.isValid());
        // A negative limit never expires.
        ValidatedStringProperty lasting(nullptr, nullptr, 0, 0, true, -1);
        lasting.setValue(QStringLiteral("x"));
        tickFields(100);
        QVERIFY(lasting.isValid());
        // One timer drives all fields.
        const int before = ValidatedProperty::liveCount();
        {
            ValidatedIntProperty a;
            ValidatedFloatProperty b;
            QCOMPARE(ValidatedProperty::liveCount(), before + 2);
            QTimer *timer = ValidatedProperty::validityTimer();
            QVERIFY(timer && timer->isActive());
            QCOMPARE(timer->interval(), 1000);
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

    void copyingBetweenFields()
    {
        // Values and validity are copied only from a valid field, across types.
        ValidatedFloatProperty source;
        ValidatedFloatProperty target;
        target.setValue(2.0);
        target.copyValueAndValidity(source);
        QVERIFY(target.value() == 2.0 && !target.isValid());
        source.setValue(3.5);
        target.copyValueAndValidity(source);
        QVERIFY(target.value() == 3.5 && target.isValid());
        ValidatedIntProperty fromInt;
        fromInt.setValue(9);
        target.copyValueAndValidity(fromInt);
        QCOMPARE(target.value(), 9.0);
        ValidatedFloatProperty configured(nullptr, new QDoubleValidator(0, 359, 1000), 0, 0, false, 20, 3, 2, 2);
        configured.setDefaultValue(QStringLiteral("7"));
        ValidatedFloatProperty copy;
        QSignalSpy changed(&copy, &ValidatedProperty::valueChanged);
        copy.copyConfiguration(configured);
        QCOMPARE(changed.count(), 1);
        QVERIFY(copy.validityLimit() == 20 && !copy.canBeNullField());
        QCOMPARE(codes(copy, {"360.00", "100.5", "100.50"}), (QList<int>{2, 3, 0}));
        copy.resetToInitial();
        QVERIFY(copy.isValid());
        QCOMPARE(copy.value(), 7.0);
        QCOMPARE(copy.fieldText(), QStringLiteral("007.00"));
    }

    void acceptanceAgreesWithValidator()
    {
        const QStringList texts = QStringLiteral("0|7|-7|+7|007|-0|1.5|1.|.5|-.5|.|-|+|1e2|1E2|12a| 1|1 |99|100|359|"
                                                 "359.0|359.01|1000|1000.0|-1|A|V|X|AV|a|T|TR|BWP|B|00:1A:2B:3C:4D:5E|"
                                                 "00:1A:2B:3C:4D|1,5|0x10|2147483648|99999999999999999999|1.2.3|--1")
                                      .split('|');
        auto intRange = [](int bottom, int top) {
            auto *validator = new QIntValidator(bottom, top);
            validator->setLocale(QLocale::c());
            return validator;
        };
        auto pattern = [](const char *expression) {
            return new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(expression)));
        };
        const QList<QValidator *> validators = {
            intRange(0, 99), intRange(1, 99), intRange(-13, 13), intRange(0, 9999999), realRange(0, 359),
            realRange(0, 1000), realRange(-5, 5), pattern("[AV]{1,1}"), pattern("T{1,1}"), pattern("TR{1,1}"),
            pattern("BWP{1,1}"), pattern("([0-9A-F]{2}[:-]){5}([0-9A-F]{2})")};
        for (QValidator *validator : validators) {
            ValidatedStringProperty field(nullptr, validator);
            for (QString text : texts) {
                int pos = 0;
                const bool fieldAccepts = field.setFieldText(text) == 0;
                const bool qtAccepts = validator->validate(text, pos) == QValidator::Acceptable;
                QVERIFY2(qtAccepts == fieldAccepts,
                         qPrintable(validator->metaObject()->className() + QStringLiteral(" on \"") + text + '"'));
            }
        }
    }
};

// The field's own acceptance test must rate every text as its Qt validator does.
QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
