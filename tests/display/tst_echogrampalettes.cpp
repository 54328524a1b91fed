#include "echogrampalettes.h"

#include <QtTest>

class TestEchogramPalettes : public QObject
{
    Q_OBJECT

    static QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

private slots:
    void fivePalettesOfFullTables()
    {
        const EchogramPaletteStore &store = EchogramPaletteStore::instance();
        QCOMPARE(store.count(), 5);
        for (int i = 0; i < store.count(); ++i) {
            QCOMPARE(store.palette(i).colorTable().size(), 256);
            for (QRgb c : store.palette(i).colorTable())
                QCOMPARE(qAlpha(c), 255);
        }
        using ProgrammingError = const char *;
        QVERIFY_EXCEPTION_THROWN(store.palette(5), ProgrammingError);
    }

    void byte255IsTheInactiveColour_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("inactive");
        QTest::addColumn<QColor>("weakest");
        QTest::newRow("0") << 0 << QColor(255, 255, 255) << QColor(255, 255, 255);
        QTest::newRow("1") << 1 << QColor(41, 110, 253) << QColor(40, 120, 252);
        QTest::newRow("2") << 2 << QColor(25, 25, 25) << QColor(0, 0, 0);
        QTest::newRow("3") << 3 << QColor(25, 25, 25) << QColor(0, 0, 0);
        QTest::newRow("4") << 4 << QColor(25, 25, 25) << QColor(0, 0, 0);
    }
    void byte255IsTheInactiveColour()
    {
        QFETCH(int, index);
        QFETCH(QColor, inactive);
        QFETCH(QColor, weakest);
        const EchogramPalette &p = EchogramPaletteStore::instance().palette(index);
        QCOMPARE(p.inactiveColor(), inactive);
        QCOMPARE(p.colorTable().at(255), inactive.rgb());
        QCOMPARE(p.colorTable().at(0), weakest.rgb());
    }

    void strongestStopFillsTheTopOfTheScale()
    {
        const QVector<QRgb> &t = EchogramPaletteStore::instance().palette(2).colorTable();
        for (int i = 213; i <= 254; ++i)
            QCOMPARE(t.at(i), rgb(255, 128, 0));
        QVERIFY(t.at(212) != rgb(255, 128, 0));
        // Palette 4's last stop sits at 9/10: entries from 230 on carry it.
        const QVector<QRgb> &t4 = EchogramPaletteStore::instance().palette(4).colorTable();
        QCOMPARE(t4.at(230), rgb(135, 240, 255));
        QVERIFY(t4.at(229) != rgb(135, 240, 255));
    }

    void coloursBetweenStopsAreBlendedAndTruncated()
    {
        // Worked by hand: entry 100 of palette 2 lies 0.353 of the way from 100,50,0 to 125,60,0.
        QCOMPARE(EchogramPaletteStore::instance().palette(2).colorTable().at(100), rgb(108, 53, 0));
        // Entry 31 is still between the white stops of palette 0, 47 nearly at 0,80,64 (3/16),
        // 48 just past it.
        const QVector<QRgb> &t0 = EchogramPaletteStore::instance().palette(0).colorTable();
        QCOMPARE(t0.at(31), rgb(255, 255, 255));
        QCOMPARE(t0.at(47), rgb(12, 88, 73));
        QCOMPARE(t0.at(48), rgb(0, 80, 63));
        QCOMPARE(t0.at(254), rgb(40, 0, 0));
    }

    void colourNamesChoosePaletteAndDepthLine()
    {
        QCOMPARE(EchogramPaletteStore::paletteIndexForName(QStringLiteral("Brown")), 0);
        QCOMPARE(EchogramPaletteStore::paletteIndexForName(QStringLiteral("Orange")), 1);
        QCOMPARE(EchogramPaletteStore::paletteIndexForName(QStringLiteral("Yellow")), 2);
        QCOMPARE(EchogramPaletteStore::paletteIndexForName(QStringLiteral("Grey")), 3);
        QCOMPARE(EchogramPaletteStore::paletteIndexForName(QStringLiteral("brown")), -1);
        QCOMPARE(EchogramPaletteStore::depthLineColorForIndex(0), QColor(Qt::black));
        QCOMPARE(EchogramPaletteStore::depthLineColorForIndex(2),
                 EchogramPaletteStore::depthLineColorForIndex(3));
        QVERIFY(EchogramPaletteStore::depthLineColorForIndex(1) != QColor(Qt::black));
    }
};

QTEST_GUILESS_MAIN(TestEchogramPalettes)
#include "tst_echogrampalettes.moc"
