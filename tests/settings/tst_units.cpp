#include "esunitconverter.h"
#include "rangevaluefromenumcalculator.h"
#include "transducertables.h"

#include <QtTest>

#include <functional>

static QByteArray failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const char *error) {
        return QByteArray(error);
    }
    return QByteArray();
}

static bool near(double actual, double expected)
{
    return qAbs(actual - expected) < 0.00051;
}

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void depthConversions();
    void speedConversions();
    void distanceConversions();
    void unitTextsAreExact();
    void unitNumbersOutsideTheTablesFail();
    void rangeListsFromTransducerMetadata();
    void wrongRangeListFails();
    void transducerTables();
};

void TestUnits::depthConversions()
{
    QVERIFY(near(ESUnitConverter::convertDepth(10.0f, 0, 1), 32.8084));
    QVERIFY(near(ESUnitConverter::convertDepth(10.0f, 0, 2), 5.4681));
    QVERIFY(near(ESUnitConverter::convertDepth(10.0f, 2, 0), 18.288));
    QVERIFY(near(ESUnitConverter::convertDepth(10.0f, 1, 2), 10 * 0.3048 / 1.8288));
    QVERIFY(near(ESUnitConverter::convertDepth(32.8084f, QStringLiteral("ft"), QStringLiteral("m")), 10.0));
    QCOMPARE(ESUnitConverter::convertDepth(7.25f, 1, 1), 7.25);
    QVERIFY(near(ESUnitConverter::convertDepth(10.0f, QStringLiteral("m"), QStringLiteral("fm")), 5.4681));
}

void TestUnits::speedConversions()
{
    QVERIFY(near(ESUnitConverter::convertSpeed(10.0f, 0, 1), 5.1444));
    QVERIFY(near(ESUnitConverter::convertSpeed(10.0f, 0, 2), 11.5078));
    QVERIFY(near(ESUnitConverter::convertSpeed(5.1444f, 1, 0), 10.0));
    QVERIFY(near(ESUnitConverter::convertSpeed(10.0f, QStringLiteral("mi/h"), QStringLiteral("kn")), 10 * 1609.344 / 1852));
    QCOMPARE(ESUnitConverter::convertSpeed(3.0f, QStringLiteral("kn"), QStringLiteral("kn")), 3.0);
}

void TestUnits::distanceConversions()
{
    QVERIFY(near(ESUnitConverter::convertDistance(10.0f, 0, 1), 18.52));
    QVERIFY(near(ESUnitConverter::convertDistance(10.0f, 0, 2), 11.5078));
    QVERIFY(near(ESUnitConverter::convertDistance(18.52f, 1, 0), 10.0));
    QVERIFY(near(ESUnitConverter::convertDistance(10.0f, 2, 1), 16.09344));
    QVERIFY(near(ESUnitConverter::convertDistance(16.09344f, QStringLiteral("km"), QStringLiteral("mi")), 10.0));
}

void TestUnits::unitTextsAreExact()
{
    QCOMPARE(ESUnitConverter::depthEnumFromString(QStringLiteral("fm")), 2);
    QCOMPARE(ESUnitConverter::speedEnumFromString(QStringLiteral("m/s")), 1);
    QCOMPARE(ESUnitConverter::distanceEnumFromString(QStringLiteral("mi")), 2);
    QCOMPARE(failureOf([] { ESUnitConverter::depthEnumFromString(QStringLiteral("M")); }),
             QByteArray("Invalid unit string passed to ESUnitConverter::depthEnumFromString()!"));
    QCOMPARE(failureOf([] { ESUnitConverter::speedEnumFromString(QStringLiteral("knots")); }),
             QByteArray("Invalid unit string passed to ESUnitConverter::speedEnumFromString()!"));
    QCOMPARE(failureOf([] { ESUnitConverter::distanceEnumFromString(QStringLiteral("nm")); }),
             QByteArray("Invalid unit string passed to ESUnitConverter::distanceEnumFromString()!"));
    QCOMPARE(failureOf([] { ESUnitConverter::convertDepth(1.0f, QStringLiteral("m"), QString()); }),
             QByteArray("Invalid unit string passed to ESUnitConverter::depthEnumFromString()!"));
}

void TestUnits::unitNumbersOutsideTheTablesFail()
{
    const QByteArray depth("Error in ESUnitConverter: enum of type enum_ScalesDepth not handled in conversion!");
    const QByteArray speed("Error in ESUnitConverter: enum of type enum_ScalesSpeed not handled in conversion!");
    QCOMPARE(failureOf([] { ESUnitConverter::convertDepth(1.0f, 3, 0); }), depth);
    QCOMPARE(failureOf([] { ESUnitConverter::convertDepth(1.0f, 0, -1); }), depth);
    QCOMPARE(failureOf([] { ESUnitConverter::convertDepth(1.0f, 5, 5); }), depth);
    QCOMPARE(failureOf([] { ESUnitConverter::convertSpeed(1.0f, 0, 3); }), speed);
    QCOMPARE(failureOf([] { ESUnitConverter::convertDistance(1.0f, -1, 0); }), speed);
}

void TestUnits::rangeListsFromTransducerMetadata()
{
    const RangeValueFromEnumCalculator &calculator = RangeValueFromEnumCalculator::instance();
    QCOMPARE(calculator.rangeValue(6, 0), 200.0f);
    QCOMPARE(calculator.rangeValue(6, 1), 650.0f);
    QCOMPARE(calculator.rangeValue(6, 2), 100.0f);
    QCOMPARE(calculator.meters().size(), 28);
    QCOMPARE(calculator.feet().size(), 28);
    QCOMPARE(calculator.fathoms().size(), 28);
    QCOMPARE(calculator.meters().first(), 5.0f);
    QCOMPARE(calculator.meters().last(), 6000.0f);
    QCOMPARE(calculator.feet().last(), 19500.0f);
    QCOMPARE(calculator.fathoms().last(), 3250.0f);
    QCOMPARE(&RangeValueFromEnumCalculator::instance(), &calculator);
    QVERIFY(!failureOf([&] { calculator.rangeValue(28, 0); }).isEmpty());
    QVERIFY(!failureOf([&] { calculator.rangeValue(0, 3); }).isEmpty());
}

void TestUnits::wrongRangeListFails()
{
    QCOMPARE(failureOf([] { RangeValueFromEnumCalculator(QStringLiteral("type=enumWithDifferentUnits enumListMeters=5;x;20")); }),
             QByteArray("Wrong value in range enum list"));
    RangeValueFromEnumCalculator small(QStringLiteral("enumListFeet=1;2 enumListFathoms=3 enumListMeters=4;5;6"));
    QCOMPARE(small.rangeValue(2, 0), 6.0f);
    QCOMPARE(small.rangeValue(1, 1), 2.0f);
    QCOMPARE(small.rangeValue(0, 2), 3.0f);
}

void TestUnits::transducerTables()
{
    const int frequencies[] = {200, 50, 38, 210, 100, 33, 30, 24};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(TransducerTables::frequencyKHz(i), frequencies[i]);
    QCOMPARE(TransducerTables::frequencyKHz(8), 0);
    QCOMPARE(TransducerTables::frequencyKHz(-1), 0);

    QCOMPARE(TransducerTables::gainFactor(0), 0.25);
    QCOMPARE(TransducerTables::gainFactor(4), 10.0);
    QCOMPARE(TransducerTables::gainFactor(11), 157.0);
    QCOMPARE(TransducerTables::gainFactor(12), 1.0);

    const int steps[] = {1, 4, 5, 6, 7, 8, 9, 10, 11, 0};
    const double factors[] = {1, 10, 20, 30, 40, 60, 80, 120, 157, 0.25};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(TransducerTables::combinedGainStepOfSensorGain(i), steps[i]);
        QCOMPARE(TransducerTables::gainFactorOfSensorGain(i), factors[i]);
    }
    QCOMPARE(TransducerTables::combinedGainStepOfSensorGain(10), 1);
    QCOMPARE(TransducerTables::gainFactorOfSensorGain(10), 1.0);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
