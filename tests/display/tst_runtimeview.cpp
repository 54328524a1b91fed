#include "echogrampalettes.h"
#include "echogrampanel.h"
#include "echogramrenderer.h"
#include "multiplees_transducersbuffer.h"
#include "singlees_transducerruntimewidget.h"

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
        // The picture follows the laid-out size of the echogram area.
        QTRY_COMPARE(view.echogramImage().width(), view.canvasWidth());
        QTRY_COMPARE(view.echogramImage().height(), view.canvasHeight());
        QVERIFY(view.canvasWidth() > 300 && view.canvasHeight() > 100);

        const QRgb echo = EchogramPaletteStore::instance().palette(0).colorTable().at(200);
        const QRgb inactive = EchogramPaletteStore::instance().palette(0).inactiveColor().rgb();
        // At 15 minutes two records fold into one column.
        source.addData(QByteArray(500, char(200)), displayInfo(30.f, 50.f), 0);   // other channel
        source.addData(QByteArray(500, char(200)), displayInfo(30.f, 50.f), 1);
        QTest::qWait(50);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, 5), inactive);
        source.addData(QByteArray(500, char(200)), displayInfo(30.f, 50.f), 1);
        QTRY_COMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, 5), echo);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 3, 5), inactive);
        QCOMPARE(view.echogramImage().pixel(view.canvasWidth() - 1, view.canvasHeight() - 1), echo);
    }

    void echoesLandOnTheRowsOfTheBottomTrace()
    {
        MultipleES_TransducersBuffer source;
        SingleES_TransducerRuntimeWidget view;
        view.resize(400, 500);
        view.setTimeScaleInMinutes(10);
        view.setDepthRangeInDefaultUnit(100.f);
        view.setDepthLineWidth(1);
        view.setDataSource(&source, 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        // 300 samples over 50 m with the bottom echo at 39.5-40.5 m; the view shows 100 m.
        QByteArray samples(300, char(0));
        for (int s = 237; s <= 243; ++s)
            samples[s] = char(200);
        source.addData(samples, displayInfo(-100.f, 50.f), 0);   // bottom lost: no trace
        source.addData(samples, displayInfo(40.f, 50.f), 0);
        source.addData(samples, displayInfo(40.f, 50.f), 0);

        QTRY_COMPARE(view.canvasHeight(), 300);
        const QRgb echo = EchogramPaletteStore::instance().palette(0).colorTable().at(200);
        const int traceRow = 40 * 300 / 100;
        const int x = view.canvasWidth() - 1;
        QTRY_COMPARE(view.echogramImage().pixel(x, traceRow), view.depthLineColor().rgb());
        QCOMPARE(view.echogramImage().height(), 300);
        // The oldest record has no trace; its echo sits on the trace's rows of the later ones.
        const QImage image = view.echogramImage();
        QCOMPARE(image.pixel(x - 2, traceRow), echo);
        QCOMPARE(image.pixel(x - 2, traceRow - 1), echo);
        QVERIFY(image.pixel(x - 2, traceRow - 10) != echo);
        QVERIFY(image.pixel(x - 2, traceRow + 10) != echo);

        // On screen the canvas is stretched over the echogram area: the echo is at 40 % of it.
        const QRect area = view.echogramRect();
        const QImage screen = view.grab().toImage();
        const int screenRow = area.top() + traceRow * area.height() / 300;
        QCOMPARE(screen.pixel(area.left() + x - 2, screenRow), echo);
        QVERIFY(screen.pixel(area.left() + x - 2, screenRow - area.height() / 20) != echo);
        QVERIFY(screen.pixel(area.left() + x - 2, screenRow + area.height() / 20) != echo);
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
};

QTEST_MAIN(TestRuntimeView)
#include "tst_runtimeview.moc"
