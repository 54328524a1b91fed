#include "echogramrenderer.h"

#include "echorecord.h"

#include <QDebug>
#include <QLine>
#include <QMetaObject>
#include <QMutexLocker>
#include <QPainter>

#include <algorithm>
#include <cstring>

EchogramRenderer::EchogramRenderer(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<EchosounderDataBuffer *>("EchosounderDataBuffer*");
    qRegisterMetaType<QVector<QRgb>>("QVector<QRgb>");
    m_colorTable.fill(m_inactiveColor.rgb(), 256);
}

int EchogramRenderer::columnWidth() const
{
    return EchosounderDataBuffer::pixelsPerColumn(m_timeScale);
}

void EchogramRenderer::setInactiveColor(QColor v)
{
    m_inactiveColor = v;
}

void EchogramRenderer::setColorTable(QVector<QRgb> v)
{
    if (v.size() != 256) {
        qDebug() << "EchogramRenderer colour table with wrong size: " << v.size();
        v.resize(256);
    }
    m_colorTable = v;
}

void EchogramRenderer::requestFullRedraw(EchosounderDataBuffer *data_buffer, bool reset_started_count)
{
    ++m_pending;
    if (reset_started_count)
        m_started = 0;
    QMetaObject::invokeMethod(this, "getImageFromInternalBuffer", Qt::QueuedConnection,
                              Q_ARG(EchosounderDataBuffer *, data_buffer));
}

void EchogramRenderer::requestColumn(EchosounderDataBuffer *data_buffer)
{
    // One queued addition catches up with every column that arrived before it runs.
    if (m_columnPending.exchange(true))
        return;
    QMetaObject::invokeMethod(this, "addVerticalLineToImage", Qt::QueuedConnection,
                              Q_ARG(EchosounderDataBuffer *, data_buffer));
}

EchogramRenderer::ColumnScale EchogramRenderer::scaleFor(const EchogramColumn &column) const
{
    ColumnScale s;
    const int n = column.samples.size();
    const double r = column.depthRange;
    const double d = m_depthRange;
    if (n <= 0 || r <= 0.0 || d <= 0.0)
        return s;
    const double wanted = double(n) * d / r;
    const int m = wanted >= double(n) ? n : int(wanted);
    if (m < n) {
        s.samples = m;
        s.rows = m_canvasHeight;
    } else {
        // The column covers no more depth than shown: its samples fill the rows of their depths,
        // the same rows the bottom trace uses, whatever the number of samples.
        s.samples = n;
        s.rows = int(double(m_canvasHeight) * r / d);
    }
    if (s.samples <= 0 || s.rows <= 0)
        return ColumnScale();
    return s;
}

const std::vector<int> &EchogramRenderer::rowMap(const ColumnScale &scale)
{
    RowMap *oldest = &m_rowMaps.front();
    for (RowMap &m : m_rowMaps) {
        if (m.height == m_canvasHeight && m.offset == m_pixelOffset
            && m.scale.samples == scale.samples && m.scale.rows == scale.rows) {
            m.lastUse = ++m_rowMapUse;
            return m.rows;
        }
        if (m.lastUse < oldest->lastUse)
            oldest = &m;
    }
    RowMap &m = *oldest;
    m.scale = scale;
    m.height = m_canvasHeight;
    m.offset = m_pixelOffset;
    m.lastUse = ++m_rowMapUse;
    const int visible = qMin(scale.rows, m_canvasHeight + qMax(0, -m_pixelOffset));
    m.rows.resize(size_t(qMax(0, visible)));
    for (int r = 0; r < visible; ++r)
        m.rows[size_t(r)] = int(qint64(r) * scale.samples / scale.rows);
    return m.rows;
}

void EchogramRenderer::drawWalkedColumns(QImage &image, const EchosounderDataBuffer &buffer,
                                         int first_index, int x_right, int count)
{
    // Row by row across a block of columns: the canvas is written a cache line at a time.
    struct Prepared
    {
        const uchar *samples;
        const int *map;
        int mapped;
    };
    Prepared cols[kColumnBlock];
    const int n = qMin(count, int(kColumnBlock));
    const int x0 = x_right - n + 1;
    for (int k = 0; k < n; ++k) {
        // Leftmost pixel of the block holds the oldest column of the block.
        const EchogramColumn &c = buffer.columnFromNewest(first_index + (n - 1 - k));
        const std::vector<int> &map = rowMap(scaleFor(c));
        cols[k] = Prepared{reinterpret_cast<const uchar *>(c.samples.constData()), map.data(),
                           int(map.size())};
    }
    const int h = image.height();
    const int stride = image.bytesPerLine() / 4;
    QRgb *base = reinterpret_cast<QRgb *>(image.bits()) + x0;
    const QRgb inactive = m_inactiveColor.rgb();
    const QRgb *table = m_colorTable.constData();
    for (int y = 0; y < h; ++y) {
        const int r = y - m_pixelOffset;
        QRgb *p = base + qint64(y) * stride;
        for (int k = 0; k < n; ++k) {
            const Prepared &c = cols[k];
            p[k] = (r >= 0 && r < c.mapped) ? table[c.samples[c.map[r]]] : inactive;
        }
    }
}

QImage EchogramRenderer::freshCanvas()
{
    if (m_spare.width() == m_canvasWidth && m_spare.height() == m_canvasHeight
        && m_spare.format() == QImage::Format_RGB32 && m_spare.isDetached()) {
        QImage reused = std::move(m_spare);
        m_spare = QImage();
        return reused;
    }
    return QImage(m_canvasWidth, m_canvasHeight, QImage::Format_RGB32);
}

void EchogramRenderer::drawColumn(QImage &image, int x, int width, const EchogramColumn &column)
{
    const int h = image.height();
    const int stride = image.bytesPerLine() / 4;
    QRgb *base = reinterpret_cast<QRgb *>(image.bits()) + x;
    const QRgb inactive = m_inactiveColor.rgb();
    const ColumnScale scale = scaleFor(column);
    const std::vector<int> &map = rowMap(scale);
    const uchar *samples = reinterpret_cast<const uchar *>(column.samples.constData());
    const QRgb *table = m_colorTable.constData();
    const int mapped = int(map.size());
    for (int y = 0; y < h; ++y) {
        const int r = y - m_pixelOffset;
        const QRgb c = (r >= 0 && r < mapped) ? table[samples[map[size_t(r)]]] : inactive;
        QRgb *p = base + qint64(y) * stride;
        for (int i = 0; i < width; ++i)
            p[i] = c;
    }
}

void EchogramRenderer::ensureCanvas()
{
    if (m_canvas.width() == m_canvasWidth && m_canvas.height() == m_canvasHeight
        && m_canvas.format() == QImage::Format_RGB32)
        return;
    m_canvas = QImage(m_canvasWidth, m_canvasHeight, QImage::Format_RGB32);
    m_canvas.fill(m_inactiveColor);
    m_spare = QImage();
}

void EchogramRenderer::scrollCanvas(int width)
{
    const int w = m_canvas.width();
    const int h = m_canvas.height();
    const int keep = qMax(0, w - width);
    if (m_canvas.isDetached()) {
        uchar *bits = m_canvas.bits();
        const int bpl = m_canvas.bytesPerLine();
        for (int y = 0; y < h; ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(bits + qint64(y) * bpl);
            std::memmove(row, row + (w - keep), size_t(keep) * sizeof(QRgb));
        }
        return;
    }
    // The GUI still holds the last canvas: copy it shifted into the spare one instead of
    // copying it first and shifting afterwards.
    QImage next;
    if (m_spare.size() == m_canvas.size() && m_spare.format() == m_canvas.format()
        && m_spare.isDetached())
        next = std::move(m_spare);
    else
        next = QImage(w, h, QImage::Format_RGB32);
    const uchar *src = m_canvas.constBits();
    uchar *dst = next.bits();
    const int sbpl = m_canvas.bytesPerLine();
    const int dbpl = next.bytesPerLine();
    for (int y = 0; y < h; ++y) {
        std::memcpy(dst + qint64(y) * dbpl,
                    src + qint64(y) * sbpl + size_t(w - keep) * sizeof(QRgb),
                    size_t(keep) * sizeof(QRgb));
    }
    m_spare = m_canvas;
    m_canvas = next;
}

int EchogramRenderer::depthRow(float depth) const
{
    if (m_depthRange <= 0.0f)
        return m_pixelOffset - 1;
    return int(m_pixelOffset + double(depth) * m_canvasHeight / m_depthRange);
}

bool EchogramRenderer::traceJoins(int row_a, int row_b) const
{
    return row_a > m_pixelOffset && row_b > m_pixelOffset
           && qAbs(row_a - row_b) < m_adjacentDepthLimit;
}

void EchogramRenderer::drawNewestTrace(const EchosounderDataBuffer &buffer, int index_from_newest)
{
    const int count = buffer.columnCount();
    const int current = depthRow(buffer.columnFromNewest(index_from_newest).bottomDepth);
    const int previous = index_from_newest + 1 < count
                             ? depthRow(buffer.columnFromNewest(index_from_newest + 1).bottomDepth)
                             : m_pixelOffset - 1;
    const int next = index_from_newest == 0 ? depthRow(buffer.nextDepth()) : m_pixelOffset - 1;
    const int w = m_canvas.width();
    const bool toPrevious = traceJoins(previous, current);
    const bool toNext = traceJoins(current, next);
    if (!toPrevious && !toNext)
        return;
    QPainter painter(&m_canvas);
    painter.setPen(QPen(m_depthLineColor, m_depthLineWidth, Qt::SolidLine, Qt::SquareCap,
                        Qt::BevelJoin));
    if (toPrevious)
        painter.drawLine(w - 2, previous, w - 1, current);
    if (toNext)
        painter.drawLine(w - 1, current, w, next);
}

void EchogramRenderer::addVerticalLineToImage(EchosounderDataBuffer *data_buffer)
{
    addVerticalLineToImage(data_buffer, false);
}

void EchogramRenderer::addVerticalLineToImage(EchosounderDataBuffer *data_buffer,
                                              bool called_after_image_rendering)
{
    m_columnPending = false;
    if (!data_buffer)
        return;
    if (!called_after_image_rendering) {
        if (!data_buffer->tryLock()) {
            requestFullRedraw(data_buffer, false);
            return;
        }
        const bool sameSize = m_canvas.width() == m_canvasWidth
                              && m_canvas.height() == m_canvasHeight;
        if (data_buffer != m_drawnBuffer || !sameSize) {
            // The canvas shows another buffer or size: only a full redraw makes sense.
            data_buffer->unlock();
            requestFullRedraw(data_buffer, false);
            return;
        }
    }
    ensureCanvas();
    const quint64 total = data_buffer->totalColumns();
    const quint64 arrived = total > m_drawnColumns ? total - m_drawnColumns : 0;
    const int limit = qMin(data_buffer->columnCount(), m_canvasWidth);
    const int missing = int(qMin<quint64>(arrived, quint64(limit)));
    const int w = columnWidth();
    const int stripe = qMin(w, m_canvas.width());
    for (int j = missing - 1; j >= 0; --j) {
        scrollCanvas(w);
        drawColumn(m_canvas, m_canvas.width() - stripe, stripe, data_buffer->columnFromNewest(j));
        drawNewestTrace(*data_buffer, j);
    }
    // Records of the same slice of time fold into the newest column: draw it again in place.
    const bool grown = missing == 0 && data_buffer->columnCount() > 0
                       && data_buffer->newestColumnRecords() != m_drawnNewestRecords;
    if (grown) {
        drawColumn(m_canvas, m_canvas.width() - stripe, stripe, data_buffer->columnFromNewest(0));
        drawNewestTrace(*data_buffer, 0);
    }
    m_drawnColumns = total;
    m_drawnNewestRecords = data_buffer->newestColumnRecords();
    if (!called_after_image_rendering)
        data_buffer->unlock();
    if (missing > 0 || grown || called_after_image_rendering)
        emit renderedImage(m_canvas);
}

bool EchogramRenderer::shouldGiveUp(const EchosounderDataBuffer &buffer) const
{
    if (m_started.load() > kMaxGivenUpRedraws)
        return false;
    return m_pending.load() > 0 || buffer.abortRequested();
}

void EchogramRenderer::giveUp(EchosounderDataBuffer *buffer)
{
    if (buffer)
        buffer->unlock();
    m_redrawIncomplete = true;
    m_rendering = false;
}

void EchogramRenderer::getImageFromInternalBuffer(EchosounderDataBuffer *data_buffer)
{
    {
        QMutexLocker locker(&m_mutex);
        const int left = --m_pending;
        if (left > 0)
            return;   // a later request will draw
        if (left < 0)
            m_pending = 0;
        m_redrawTimer.start();
        ++m_started;
        m_rendering = true;
    }
    if (!data_buffer || !data_buffer->tryLock()) {
        giveUp(nullptr);
        return;
    }
    data_buffer->clearAbort();

    QImage canvas = freshCanvas();
    std::vector<int> traceRows(size_t(m_canvasWidth), m_pixelOffset - 1);

    if (shouldGiveUp(*data_buffer)) {
        m_spare = canvas;
        giveUp(data_buffer);
        return;
    }
    // The newest column is left to the column addition that ends the redraw; the others are
    // drawn one pixel wide from the right edge leftwards, in blocks.
    const int walk = qMin(data_buffer->columnCount() - 1, m_canvasWidth);
    int x = m_canvasWidth;
    for (int i = 1; i <= walk;) {
        const int block = qMin(int(kColumnBlock), walk - i + 1);
        drawWalkedColumns(canvas, *data_buffer, i, x - 1, block);
        for (int k = 0; k < block; ++k, ++i) {
            --x;
            traceRows[size_t(x)] = depthRow(data_buffer->columnFromNewest(i).bottomDepth);
            fullRedrawWalked(i);
            if (shouldGiveUp(*data_buffer)) {
                m_spare = canvas;
                giveUp(data_buffer);
                return;
            }
        }
    }
    // Left of the oldest column there is nothing to show.
    if (x > 0) {
        const QRgb inactive = m_inactiveColor.rgb();
        for (int y = 0; y < canvas.height(); ++y) {
            QRgb *row = reinterpret_cast<QRgb *>(canvas.scanLine(y));
            std::fill(row, row + x, inactive);
        }
    }

    QVector<QLine> segments;
    for (int i = x; i + 1 < m_canvasWidth; ++i) {
        if (traceJoins(traceRows[size_t(i)], traceRows[size_t(i + 1)]))
            segments.append(QLine(i, traceRows[size_t(i)], i + 1, traceRows[size_t(i + 1)]));
    }
    if (!segments.isEmpty()) {
        QPainter painter(&canvas);
        painter.setPen(QPen(m_depthLineColor, m_depthLineWidth, Qt::SolidLine, Qt::SquareCap,
                            Qt::BevelJoin));
        painter.drawLines(segments);
    }

    m_spare = m_canvas;
    m_canvas = std::move(canvas);
    m_drawnBuffer = data_buffer;
    m_drawnColumns = data_buffer->totalColumns() - (data_buffer->columnCount() > 0 ? 1 : 0);
    m_rendering = false;
    m_redrawIncomplete = false;
    m_started = 0;   // a completed picture ends the series of given-up redraws
    m_lastRedrawMsecs = m_redrawTimer.elapsed();
    addVerticalLineToImage(data_buffer, true);
    data_buffer->unlock();
}
