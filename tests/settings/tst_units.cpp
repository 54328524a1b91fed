#include "esunitconverter.h"
#include "rangevaluefromenumcalculator.h"
#include "settingstesthelpers.h"
#include "transducertables.h"

#include <QtTest>

class TestUnits : public QObject
{
    Q_OBJECT

private slots:
    void conversions()
    {
        // Unit kind, from, to, value of 10 units: every factor in both directions once.
        const QList<std::tuple<char, const char *, const char *, double>> cases = {
            {'d', "m", "ft", 32.8084},  {'d', "fm", "m", 18.288},   {'d', "ft", "fm", 10 * 0.3048 / 1.8288},
            {'s', "kn", "m/s", 5.1444}, {'s', "kn", "mi/h", 11.5078}, {'s', "mi/h", "kn", 10 * 1609.344 / 1852},
            {'D', "NM", "mi", 11.5078}, {'D', "mi", "km", 16.09344}, {'D', "km", "NM", 10 / 1.852}, {'s', "kn", "kn", 10.0}};
        for (const auto &[kind, from, to, expected] : cases) {
            const QString f = QLatin1String(from), t = QLatin1String(to);
            const double converted = kind == 'd'   ? ESUnitConverter::convertDepth(10.0f, f, t)
                                     : kind == 's' ? ESUnitConverter::convertSpeed(10.0f, f, t)
                                                   : ESUnitConverter::convertDistance(10.0f, f, t);
            QVERIFY2(qAbs(converted - expected) < 0.0005, qPrintable(QStringLiteral("%1-%2=%3").arg(f, t).arg(converted)));
        }
    }

    void unknownUnitsFail()
    {
        QCOMPARE(thrownError([] { ESUnitConverter::depthEnumFromString(QStringLiteral("M")); }),
                 QByteArray("Invalid unit string passed to ESUnitConverter::depthEnumFromString()!"));
        QCOMPARE(thrownError([] { ESUnitConverter::convertSpeed(1.0f, QStringLiteral("knots"), QStringLiteral("kn")); }),
                 QByteArray("Invalid unit string passed to ESUnitConverter::speedEnumFromString()!"));
        QCOMPARE(thrownError([] { ESUnitConverter::distanceEnumFromString(QStringLiteral("nm")); }),
                 QByteArray("Invalid unit string passed to ESUnitConverter::distanceEnumFromString()!"));
        const QByteArray depth("Error in ESUnitConverter: enum of type enum_ScalesDepth not handled in conversion!");
        const QByteArray speed("Error in ESUnitConverter: enum of type enum_ScalesSpeed not handled in conversion!");
        QCOMPARE(thrownError([] { ESUnitConverter::convertDepth(1.0f, 3, 0); }), depth);
        QCOMPARE(thrownError([] { ESUnitConverter::convertDepth(1.0f, 5, 5); }), depth);
        QCOMPARE(thrownError([] { ESUnitConverter::convertSpeed(1.0f, 0, -1); }), speed);
        QCOMPARE(thrownError([] { ESUnitConverter::convertDistance(1.0f, -1, 0); }), speed);
    }

    void rangeListsFromTransducerMetadata()
    {
        const RangeValueFromEnumCalculator &calculator = RangeValueFromEnumCalculator::instance();
        QCOMPARE(calculator.rangeValue(6, 0), 200.0f);
        QCOMPARE(calculator.rangeValue(6, 1), 650.0f);
        QCOMPARE(calculator.rangeValue(6, 2), 100.0f);
        QCOMPARE(calculator.rangeValue(27, 1), 19500.0f);
        QCOMPARE(calculator.meters().size(), 28);
        QCOMPARE(calculator.fathoms().size(), 28);
        QVERIFY(!thrownError([&] { calculator.rangeValue(28, 0); }).isEmpty());
        QVERIFY(!thrownError([&] { calculator.rangeValue(0, 3); }).isEmpty());
        QCOMPARE(thrownError([] { RangeValueFromEnumCalculator(QStringLiteral("enumListMeters=5;x;20")); }),
                 QByteArray("Wrong value in range enum list"));
        RangeValueFromEnumCalculator small(QStringLiteral("enumListFeet=1;2 enumListFathoms=3 enumListMeters=4;5;6"));
        QCOMPARE(small.rangeValue(2, 0), 6.0f);
        QCOMPARE(small.rangeValue(1, 1), 2.0f);
    }

    void transducerTables()
    {
        const int frequencies[] = {200, 50, 38, 210, 100, 33, 30, 24, 0};
        for (int i = 0; i < 9; ++i)
            QCOMPARE(TransducerTables::frequencyKHz(i), frequencies[i]);
        QCOMPARE(TransducerTables::gainFactor(0), 0.25);
        QCOMPARE(TransducerTables::gainFactor(11), 157.0);
        QCOMPARE(TransducerTables::gainFactor(12), 1.0);
        const int steps[] = {1, 4, 5, 6, 7, 8, 9, 10, 11, 0, 1};
        const double factors[] = {1, 10, 20, 30, 40, 60, 80, 120, 157, 0.25};
        for (int i = 0; i < 11; ++i)
            QCOMPARE(TransducerTables::combinedGainStepOfSensorGain(i), steps[i]);
        for (int i = -1; i < 10; ++i)
            QCOMPARE(TransducerTables::gainFactorOfSensorGain(i), i < 0 ? 1.0 : factors[i]);
    }
};

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
