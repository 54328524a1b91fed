#include "echogrampalettes.h"
#include "echogrampanel.h"
#include "echogramsettingsfollower.h"
#include "echogramrenderer.h"
#include "multiplees_transducersbuffer.h"
#include "singlees_transducerruntimewidget.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "unitclock.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QString displayInfo(float depth, float range)
{
    return QStringLiteral("ECHO_REC_Dsp,06-12-2026,10-00-00-000,%1,0,0,%2,0,0,0,0,0")
        .arg(double(depth))
        .arg(double(range));
}

} // namespace

class TestRuntimeView : public QObject
{
    Q_OBJECT

private slots:
    void recordsFlowIntoTheShownEchogram()
    {
        MultipleES_TransducersBuffer source;
        SingleES_TransducerRuntimeWidget view;
        view.resize(400, 300);
        view.setDepthRangeInDefaultUnit(50.f);
        view.setDataSource(&source, 1);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // The picture has the laid-out size of the echogram area, one pixel per pixel.
        QTRY_COMPARE(view.echogramImage().size(), view.echogramRect().size());
        QCOMPARE(view.canvasWidth(), view.echogramRect().width());
        QCOMPARE(view.canvasHeight(), view.echogramRect().height());
        // Each time range spreads over the width of the picture.
        QCOMPARE(source.buffer(1, 15)->columnsAcross(), view.canvasWidth());
        QCOMPARE(source.buffer(1, 5)->columnsAcross(), view.canvasWidth() / 2);

        const QRgb echo = EchogramPaletteStore::instance().palette(0).colorTable().at(200);
        const QRgb inactive = EchogramPaletteStore::instance().palette(0).inactiveColor().rgb();
        source.addData(QByteArray(500, char(200)), displayInfo(30.f, 50.f), 0);   // other channel
        QTest::qWait(50);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, 5), inactive);
        source.addData(QByteArray(500, char(200)), displayInfo(30.f, 50.f), 1);
        QTRY_COMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, 5), echo);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 3, 5), inactive);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, view.canvasHeight() - 1), echo);
    }

    void echoesStayAtTheirDepthWhateverTheRecord()
    {
        MultipleES_TransducersBuffer source;
        SingleES_TransducerRuntimeWidget view;
        view.resize(400, 500);
        view.setTimeScaleInMinutes(10);
        view.setDepthRangeInDefaultUnit(100.f);
        view.setDataSource(&source, 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(view.echogramImage().size(), view.echogramRect().size());
        const int h = view.canvasHeight();
        const int x = view.canvasWidth() - 1;
        const QRgb echo = EchogramPaletteStore::instance().palette(0).colorTable().at(200);
        const int row = 40 * h / 100;   // the row of 40 m, where the bottom trace goes

        // A bottom echo at 39.5 to 40.5 m in records of every length and range, with a record
        // without data (a silent box) in between: the echo stays on the rows of 40 m.
        const struct { int samples; float range; } records[] = {{300, 50.f}, {0, 0.f}, {1000, 100.f},
                                                                {77, 80.f}, {3000, 200.f}};
        for (const auto &r : records) {
            QByteArray samples(r.samples, char(0));
            for (int s = int(r.samples * 39.5 / r.range); r.samples && s <= int(r.samples * 40.5 / r.range); ++s)
                samples[s] = char(200);
            const QString what = QStringLiteral("%1 samples over %2 m").arg(r.samples).arg(double(r.range));
            source.addData(samples, displayInfo(r.samples ? 40.f : -100.f, r.range), 0);
            if (!r.samples) {
                QTest::qWait(100);
                QCOMPARE(view.canvasHeight(), h);
                continue;
            }
            QTRY_VERIFY2(view.echogramImage().pixel(x, row) == echo, qPrintable(what));
            const QImage image = view.echogramImage();
            QVERIFY2(image.pixel(x, row - h / 20) != echo, qPrintable(what));
            QVERIFY2(image.pixel(x, row + h / 20) != echo, qPrintable(what));
        }

        // On screen the picture sits in the echogram area unscaled: the echo is at 40 % of it.
        const QRect area = view.echogramRect();
        const QImage screen = view.grab().toImage();
        QCOMPARE(screen.pixel(area.left() + x, area.top() + row), echo);
        QVERIFY(screen.pixel(area.left() + x, area.top() + row - area.height() / 20) != echo);
    }

    void sourceMayGoBeforeTheView()
    {
        auto *source = new MultipleES_TransducersBuffer;
        SingleES_TransducerRuntimeWidget view;
        view.resize(300, 200);
        view.setTimeScaleInMinutes(5);
        view.setDataSource(source, 0);
        for (int k = 0; k < 50; ++k)
            source->addData(QByteArray(3000, char(k)), displayInfo(20.f, 40.f), 0);
        delete source;
        QVERIFY(!view.renderingThread()->isRunning());
        QVERIFY(!view.renderer());
        view.processNewData(0, 1440);
        view.slotColorChanged(QStringLiteral("Grey"));
    }

    void paletteByColourName()
    {
        MultipleES_TransducersBuffer source;
        SingleES_TransducerRuntimeWidget view;
        view.resize(300, 240);
        view.setDataSource(&source, 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setTimeScaleInMinutes(10);
        source.addData(QByteArray(100, char(254)), displayInfo(10.f, 100.f), 0);
        view.slotColorChanged(QStringLiteral("Yellow"));
        QCOMPARE(view.paletteIndex(), 2);
        view.slotColorChanged(QStringLiteral("Purple"));
        QCOMPARE(view.paletteIndex(), 2);
        QCOMPARE(view.depthLineColor(), EchogramPaletteStore::depthLineColorForIndex(2));
        // Left of the one record the picture is without data: palette 2's inactive colour.
        QTRY_COMPARE(view.echogramImage().pixel(0, 0), qRgb(25, 25, 25));
        QTRY_COMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, 0), qRgb(255, 128, 0));
        view.slotColorChanged(QStringLiteral("Brown"));
        QTRY_COMPARE(view.echogramImage().pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(view.depthLineColor(), QColor(Qt::black));
    }

    void depthFiguresAndLabels()
    {
        SingleES_TransducerRuntimeWidget view;
        QCOMPARE(view.depthText(), QStringLiteral("---"));
        view.setCurrentDepth(12.34);
        QCOMPARE(view.depthText(), QStringLiteral("12.3"));
        view.setDepthUnit(QStringLiteral("ft"));
        QCOMPARE(view.depthText(), QStringLiteral("40.5"));
        view.setCurrentDepth(-100.0);
        QCOMPARE(view.depthText(), QStringLiteral("---"));
        view.setDepthUnit(QStringLiteral("m"));
        view.setCurrentDepth(250.4, true);
        QCOMPARE(view.depthText(), QStringLiteral("250"));

        view.setDepthRangeInDefaultUnit(50.f);
        QCOMPARE(view.depthScaleMarks(), (QVector<double>{0, 10, 20, 30, 40, 50}));

        QSignalSpy timeBase(&view, &AbstractEchogramDrawingWidget::timeBaseInSecondsChanged);
        view.setTimeScaleInMinutes(60);
        QCOMPARE(view.timeRangeText(), QStringLiteral("1 hr"));
        view.setTimeScaleInMinutes(7);   // not a display time range
        QCOMPARE(view.timeScaleInMinutes(), 60);
        QCOMPARE(timeBase.count(), 1);
        QCOMPARE(timeBase.at(0).at(0).toInt(), 3600);
    }

    void panelShowsBothChannels()
    {
        MultipleES_TransducersBuffer source;
        EchogramPanel panel;
        panel.resize(800, 400);
        panel.setDataSource(&source);
        panel.setTimeScaleInMinutes(5);
        panel.setDepthUnit(QStringLiteral("fm"));
        panel.setCurrentDepth(1, 18.288, true);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCOMPARE(panel.channelView(0)->channel(), 0);
        QCOMPARE(panel.channelView(1)->channel(), 1);
        QVERIFY(!panel.channelView(2));
        QCOMPARE(panel.channelView(1)->depthText(), QStringLiteral("10.0"));
        QCOMPARE(panel.channelView(0)->depthText(), QStringLiteral("---"));
        QCOMPARE(panel.channelView(0)->timeScaleInMinutes(), 5);
        QVERIFY(panel.channelView(0)->x() + panel.channelView(0)->width()
                <= panel.channelView(1)->x());
        source.addData(QByteArray(64, char(100)), displayInfo(5.f, 100.f), 0);
        SingleES_TransducerRuntimeWidget *v0 = panel.channelView(0);
        const QRgb echo = EchogramPaletteStore::instance().palette(0).colorTable().at(100);
        // Five minutes: the record takes two pixels.
        QTRY_COMPARE(v0->echogramImage().pixel(v0->canvasWidth() - 2, 0), echo);
        QCOMPARE(v0->echogramImage().pixel(v0->canvasWidth() - 1, 0), echo);
        if (qEnvironmentVariableIsSet("KVE_SCREENSHOT"))
            panel.grab().save(qEnvironmentVariable("KVE_SCREENSHOT"));
    }

    void panelFollowsTheDisplaySettings()
    {
        ESSetup setup;
        ESLocalSetup local;
        setup.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
        local.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
        EchogramPanel panel;
        EchogramSettingsFollower follower(&panel, &setup, &local);
        SingleES_TransducerRuntimeWidget *v0 = panel.channelView(0);
        SingleES_TransducerRuntimeWidget *v1 = panel.channelView(1);
        // As delivered: metres, the 200 m range, fifteen minutes, brown.
        QCOMPARE(v0->depthUnit(), QStringLiteral("m"));
        QCOMPARE(v0->depthRangeInDefaultUnit(), 200.f);
        QCOMPARE(v1->timeScaleInMinutes(), 15);
        QCOMPARE(v1->paletteIndex(), 0);

        // Feet: the range is the 650 ft of the feet list, not 200 m converted.
        setup.SetupSetup()->OptionsSetup()->setScalesDepth(1);
        QCOMPARE(v1->depthUnit(), QStringLiteral("ft"));
        QVERIFY(qAbs(v0->depthRangeInDefaultUnit() - 650 * 0.3048f) < 0.001f);
        QCOMPARE(v0->depthScaleMarks(), (QVector<double>{0, 200, 400, 600}));
        v0->setCurrentDepth(10.0, true);
        QCOMPARE(v0->depthText(), QStringLiteral("32.8"));
        setup.transducer(1)->setRange(23);   // 2000 m, 6500 ft, 1000 fathoms
        QVERIFY(qAbs(v1->depthRangeInDefaultUnit() - 6500 * 0.3048f) < 0.01f);
        QVERIFY(qAbs(v0->depthRangeInDefaultUnit() - 650 * 0.3048f) < 0.001f);
        setup.SetupSetup()->OptionsSetup()->setScalesDepth(2);
        QVERIFY(qAbs(v1->depthRangeInDefaultUnit() - 1000 * 1.8288f) < 0.01f);
        QCOMPARE(v0->depthText(), QStringLiteral("5.5"));

        ESRuntimeScreenSetup *page = local.RuntimeScreenSetupA();
        page->setPicSpeed(0);
        QCOMPARE(v0->timeScaleInMinutes(), 5);
        page->setPicSpeed(6);
        QCOMPARE(v1->timeScaleInMinutes(), 1440);
        QCOMPARE(v1->timeRangeText(), QStringLiteral("24 hr"));
        for (int colour = 0; colour < 4; ++colour) {
            page->setEchoColour(colour);
            QCOMPARE(v0->paletteIndex(), colour);
            QCOMPARE(v1->colorTable(), EchogramPaletteStore::instance().palette(colour).colorTable());
        }
        page->setEchogram2(2);   // off
        QVERIFY(v1->isHidden() && !v0->isHidden());
        page->setEchogram2(1);
        QVERIFY(!v1->isHidden());

        QVERIFY(v0->rightEdgeTimeText().endsWith(QStringLiteral(" UTC")));
        local.OtherLocalSettings()->setTimeMode(1);
        QVERIFY(v0->isLocalTimeShown());
        UnitClock::instance().setUtcToLocalOffsetSecs(-5 * 3600, true);
        const QTime utc = UnitClock::instance().currentDateTimeUtc().time();
        const QTime shown = QTime::fromString(v1->rightEdgeTimeText().left(5), QStringLiteral("hh:mm"));
        QVERIFY2(qAbs(shown.secsTo(utc.addSecs(-5 * 3600)) ) < 120, qPrintable(v1->rightEdgeTimeText()));
        QVERIFY(v1->rightEdgeTimeText().endsWith(QStringLiteral(" LT")));
        // The left edge is the time range earlier.
        QCOMPARE(v1->leftEdgeTimeText(), v1->rightEdgeTimeText());   // 24 hours: same clock time
        page->setPicSpeed(4);
        // Minutes from the left edge to the right one, across midnight too.
        const int minutes = QTime::fromString(v1->leftEdgeTimeText().left(5), QStringLiteral("hh:mm")).secsTo(shown) / 60;
        QCOMPARE((minutes % 1440 + 1440) % 1440, 60);
    }
};

QTEST_MAIN(TestRuntimeView)
#include "tst_runtimeview.moc"
