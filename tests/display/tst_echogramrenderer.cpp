#include "echogramrenderer.h"
#include "echosounderdatabuffer.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

const QRgb kInactive = qRgb(1, 2, 3);
const QRgb kLine = qRgb(250, 0, 250);

// A table whose colours name their byte: easy to tell which sample landed on a pixel.
QRgb colourOf(int byte) { return qRgb(byte, 255 - byte, 7); }

QVector<QRgb> testTable()
{
    QVector<QRgb> t(256);
    for (int i = 0; i < 256; ++i)
        t[i] = colourOf(i);
    return t;
}

QByteArray ramp(int n, int first = 0)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(first + i);
    return b;
}

// The expected picture, column by column, as a list of per-row byte values (-1 = inactive).
using Column = QVector<int>;

QImage expectedImage(int w, int h, const QVector<Column> &rightmostFirst)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kInactive);
    for (int i = 0; i < rightmostFirst.size() && i < w; ++i) {
        const Column &c = rightmostFirst[i];
        for (int y = 0; y < h && y < c.size(); ++y)
            img.setPixel(w - 1 - i, y, c[y] < 0 ? kInactive : colourOf(c[y]));
    }
    return img;
}

Column rows(std::initializer_list<int> values) { return Column(values); }

// A record in the next slice of time of the buffer: a column of its own.
void addColumn(EchosounderDataBuffer &buffer, const QByteArray &samples, float range, float depth)
{
    buffer.addRecord(samples, range, depth, qint64(std::ceil(buffer.totalColumns() * buffer.columnMsecs())));
}

Column filled(int h, int from, int count, int first, int step)
{
    Column c(h, -1);
    for (int r = 0; r < count && from + r < h; ++r)
        if (from + r >= 0)
            c[from + r] = first + r * step;
    return c;
}

void compareImages(const QImage &actual, const QImage &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                const QString where = QStringLiteral("pixel %1,%2: %3 != %4")
                                          .arg(x).arg(y)
                                          .arg(actual.pixel(x, y), 8, 16)
                                          .arg(expected.pixel(x, y), 8, 16);
                QFAIL(qPrintable(where));
            }
}

class ObservedRenderer : public EchogramRenderer
{
public:
    QVector<int> walks;            // columns walked per full redraw that began
    int interruptions = 0;         // requests still to make from inside a walk
    EchosounderDataBuffer *buffer = nullptr;

protected:
    void fullRedrawWalked(int columns_drawn) override
    {
        if (columns_drawn == 1)
            walks.append(0);
        walks.last() = columns_drawn;
        if (columns_drawn == 2 && interruptions > 0) {
            --interruptions;
            requestFullRedraw(buffer, false);
        }
    }
};

} // namespace

class TestEchogramRenderer : public QObject
{
    Q_OBJECT

    void configure(EchogramRenderer &r, int w, int h, float depthRange, int minutes = 15)
    {
        r.setCanvasWidth(w);
        r.setCanvasHeight(h);
        r.setDepthRangeInDefaultUnit(depthRange);
        r.setTimeScaleInMinutes(minutes);
        r.setInactiveColor(QColor(kInactive));
        r.setDepthLineColor(QColor(kLine));
        r.setDepthLineWidth(1);
        r.setAdjacentDepthDistLimit(10);
        r.setColorTable(testTable());
    }

private slots:
    void columnsScaleToTheDepthShown_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<float>("columnRange");
        QTest::addColumn<float>("shownRange");
        QTest::addColumn<int>("offset");
        QTest::addColumn<Column>("expected");
        // 10 rows throughout.
        QTest::newRow("one sample per row") << 10 << 10.f << 10.f << 0 << filled(10, 0, 10, 0, 1);
        QTest::newRow("first half stretched (M < N)")
            << 20 << 20.f << 10.f << 0 << filled(10, 0, 10, 0, 1);
        // Equal ranges: the N samples cover the H rows, whatever N is.
        QTest::newRow("equal ranges, two samples a row") << 20 << 10.f << 10.f << 0 << filled(10, 0, 10, 0, 2);
        QTest::newRow("equal ranges, half a sample a row")
            << 5 << 10.f << 10.f << 0 << Column({0, 0, 1, 1, 2, 2, 3, 3, 4, 4});
        // Shown range twice the column's: its samples on H x R / D = 5 rows, rest inactive.
        QTest::newRow("M > N, more samples than rows")
            << 40 << 10.f << 20.f << 0 << filled(10, 0, 5, 0, 8);
        QTest::newRow("M > N") << 10 << 10.f << 20.f << 0 << filled(10, 0, 5, 0, 2);
        QTest::newRow("band at the top") << 10 << 10.f << 10.f << 3 << filled(10, 3, 7, 0, 1);
        QTest::newRow("cut at the top") << 10 << 10.f << 10.f << -2 << filled(10, 0, 8, 2, 1);
        QTest::newRow("no samples") << 0 << 10.f << 10.f << 0 << Column(10, -1);
        QTest::newRow("no range") << 10 << 0.f << 10.f << 0 << Column(10, -1);
    }
    void columnsScaleToTheDepthShown()
    {
        QFETCH(int, samples);
        QFETCH(float, columnRange);
        QFETCH(float, shownRange);
        QFETCH(int, offset);
        QFETCH(Column, expected);
        EchosounderDataBuffer buffer(15, 64);
        EchogramRenderer r;
        configure(r, 6, 10, shownRange);
        r.setPixelOffset(offset);
        r.getImageFromInternalBuffer(&buffer);   // empty picture
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        addColumn(buffer, ramp(samples), columnRange, -100.f);
        r.addVerticalLineToImage(&buffer);
        QCOMPARE(images.count(), 1);
        compareImages(images.at(0).at(0).value<QImage>(), expectedImage(6, 10, {expected}));
    }

    void columnsScrollLeftOnePixelOrTwoAtFiveMinutes()
    {
        EchosounderDataBuffer buffer(5, 64);
        for (int k = 0; k < 3; ++k)
            addColumn(buffer, QByteArray(4, char(10 * (k + 1))), 4.f, -100.f);
        EchogramRenderer r;
        configure(r, 8, 4, 4.f, 5);
        r.getImageFromInternalBuffer(&buffer);
        const Column c10(4, 10), c20(4, 20), c30(4, 30), c40(4, 40);
        // After a full redraw stored columns take one pixel each, the newest two.
        compareImages(r.canvas(), expectedImage(8, 4, {c30, c30, c20, c10}));
        addColumn(buffer, QByteArray(4, char(40)), 4.f, -100.f);
        r.addVerticalLineToImage(&buffer);
        compareImages(r.canvas(), expectedImage(8, 4, {c40, c40, c30, c30, c20, c10}));

        r.setTimeScaleInMinutes(10);
        addColumn(buffer, ramp(4, 100), 4.f, -100.f);
        r.addVerticalLineToImage(&buffer);
        compareImages(r.canvas(), expectedImage(8, 4, {rows({100, 101, 102, 103}), c40, c40, c30,
                                                       c30, c20, c10}));

        // A canvas narrower than a stretched column still shows the newest samples.
        r.setCanvasWidth(1);
        r.setTimeScaleInMinutes(5);
        r.getImageFromInternalBuffer(&buffer);
        compareImages(r.canvas(), expectedImage(1, 4, {rows({100, 101, 102, 103})}));
    }

    void fullRedrawShowsOneColumnPerPixelUpToTheWidth()
    {
        EchosounderDataBuffer buffer(15, 64);
        for (int k = 0; k < 12; ++k)
            addColumn(buffer, QByteArray(3, char(k)), 3.f, -100.f);
        EchogramRenderer r;
        configure(r, 5, 3, 3.f);
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        r.getImageFromInternalBuffer(&buffer);
        QCOMPARE(images.count(), 1);
        compareImages(images.at(0).at(0).value<QImage>(),
                      expectedImage(5, 3, {Column(3, 11), Column(3, 10), Column(3, 9), Column(3, 8),
                                           Column(3, 7)}));
        QCOMPARE(r.startedFullRedraws(), 0);
        QVERIFY(!r.isRendering());
    }

    void depthTraceJoinsNearNeighboursOnly()
    {
        EchosounderDataBuffer buffer(15, 64);
        EchogramRenderer r;
        configure(r, 10, 100, 100.f);   // one row per metre
        r.getImageFromInternalBuffer(&buffer);
        addColumn(buffer, QByteArray(), 1.f, 50.f);
        addColumn(buffer, QByteArray(), 1.f, 50.f);
        r.addVerticalLineToImage(&buffer);
        QCOMPARE(r.canvas().pixel(9, 50), kLine);
        QCOMPARE(r.canvas().pixel(8, 50), kLine);
        QCOMPARE(r.canvas().pixel(9, 49), kInactive);

        addColumn(buffer, QByteArray(), 1.f, 75.f);   // 25 rows away: beyond the limit of 10
        r.addVerticalLineToImage(&buffer);
        QCOMPARE(r.canvas().pixel(9, 75), kInactive);
        QCOMPARE(r.canvas().pixel(7, 50), kLine);

        addColumn(buffer, QByteArray(), 1.f, -100.f);  // no depth: nothing drawn
        r.addVerticalLineToImage(&buffer);
        for (int y = 0; y < 100; ++y)
            QCOMPARE(r.canvas().pixel(9, y), kInactive);
    }

    void depthTraceOfFullRedraw()
    {
        EchosounderDataBuffer buffer(15, 64);
        const float depths[] = {30, 30, 30, 60, 60, 60, -100, 60};
        for (float d : depths)
            addColumn(buffer, QByteArray(), 1.f, d);
        EchogramRenderer r;
        configure(r, 8, 100, 100.f);
        r.setPixelOffset(5);
        r.getImageFromInternalBuffer(&buffer);
        const QImage &img = r.canvas();
        // Columns 0..7 carry the depths above (rows 35 and 65 with the offset).
        QCOMPARE(img.pixel(0, 35), kLine);
        QCOMPARE(img.pixel(2, 35), kLine);
        QCOMPARE(img.pixel(3, 65), kLine);
        QCOMPARE(img.pixel(4, 65), kLine);
        int linePixels = 0;
        for (int y = 36; y < 65; ++y)
            linePixels += img.pixel(2, y) == kLine || img.pixel(3, y) == kLine;
        QCOMPARE(linePixels, 0);                    // the jump of 30 rows is left open
        QCOMPARE(img.pixel(6, 65), kInactive);      // no depth on column 6
        QCOMPARE(img.pixel(7, 65), kInactive);
    }

    void queuedFullRedrawsDrawOnce()
    {
        EchosounderDataBuffer buffer(15, 64);
        for (int k = 0; k < 5; ++k)
            addColumn(buffer, QByteArray(2, char(k)), 2.f, -100.f);
        ObservedRenderer r;
        configure(r, 10, 2, 2.f);
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        r.requestFullRedraw(&buffer, true);
        r.requestFullRedraw(&buffer, false);
        r.requestFullRedraw(&buffer, false);
        QCOMPARE(r.pendingFullRedraws(), 3);
        QTRY_COMPARE(r.pendingFullRedraws(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(images.count(), 1);
        QCOMPARE(r.walks, QVector<int>{4});
    }

    void overtakenRedrawGivesUpUntilThreeHaveBeenStarted()
    {
        EchosounderDataBuffer buffer(15, 64);
        for (int k = 0; k < 6; ++k)
            addColumn(buffer, QByteArray(2, char(k)), 2.f, -100.f);
        ObservedRenderer r;
        r.buffer = &buffer;
        r.interruptions = 5;
        configure(r, 10, 2, 2.f);
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        r.requestFullRedraw(&buffer, true);
        QTRY_COMPARE(r.walks.size(), 6);
        QTRY_COMPARE(r.pendingFullRedraws(), 0);
        QCoreApplication::processEvents();
        // Three give up; the fourth completes although overtaken; the count starts afresh,
        // so the fifth gives up again and the sixth, left alone, completes.
        QCOMPARE(r.walks, (QVector<int>{2, 2, 2, 5, 2, 5}));
        QCOMPARE(images.count(), 2);
        QVERIFY(!r.isRedrawIncomplete());
    }

    void busyBufferTurnsColumnIntoFullRedraw()
    {
        EchosounderDataBuffer buffer(15, 64);
        EchogramRenderer r;
        configure(r, 4, 2, 2.f);
        r.getImageFromInternalBuffer(&buffer);
        addColumn(buffer, QByteArray(2, char(9)), 2.f, -100.f);
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        buffer.lock();
        r.addVerticalLineToImage(&buffer);
        QCOMPARE(r.pendingFullRedraws(), 1);
        QCOMPARE(images.count(), 0);
        buffer.unlock();
        QTRY_COMPARE(images.count(), 1);
        compareImages(r.canvas(), expectedImage(4, 2, {Column(2, 9)}));

        // A redraw that cannot get the buffer stays incomplete for the owner to retry.
        buffer.lock();
        r.getImageFromInternalBuffer(&buffer);
        buffer.unlock();
        QVERIFY(r.isRedrawIncomplete());
    }

    void columnRequestsAreCoalescedAndTheNewestColumnGrows()
    {
        EchosounderDataBuffer buffer(15, 64);
        EchogramRenderer r;
        configure(r, 4, 2, 2.f);
        r.getImageFromInternalBuffer(&buffer);
        QSignalSpy images(&r, &EchogramRenderer::renderedImage);
        addColumn(buffer, QByteArray(2, char(1)), 2.f, -100.f);
        r.requestColumn(&buffer);
        addColumn(buffer, QByteArray(2, char(2)), 2.f, -100.f);
        r.requestColumn(&buffer);
        QVERIFY(r.isColumnPending());
        QTRY_COMPARE(images.count(), 1);
        QVERIFY(!r.isColumnPending());
        compareImages(r.canvas(), expectedImage(4, 2, {Column(2, 2), Column(2, 1)}));

        // A later, stronger ping of the newest column's slice of time: drawn again in place.
        buffer.addRecord(QByteArray(2, char(9)), 2.f, -100.f, qint64(std::ceil(buffer.columnMsecs())));
        r.addVerticalLineToImage(&buffer);
        QCOMPARE(images.count(), 2);
        compareImages(r.canvas(), expectedImage(4, 2, {Column(2, 9), Column(2, 1)}));
        r.addVerticalLineToImage(&buffer);   // nothing new: no picture
        QCOMPARE(images.count(), 2);
    }
};

QTEST_MAIN(TestEchogramRenderer)
#include "tst_echogramrenderer.moc"
