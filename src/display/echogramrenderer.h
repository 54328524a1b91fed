#pragma once

#include "echosounderdatabuffer.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QRgb>
#include <QSize>
#include <QVector>

#include <atomic>
#include <vector>

Q_DECLARE_METATYPE(EchosounderDataBuffer *)

// Draws one channel's echogram into an image off the GUI thread: one column per stored record,
// scrolling to the left, with the bottom trace on top. It only ever tries the buffer's lock, so
// the record intake is never held up by drawing. Full redraws requested in quick succession
// collapse into one; a redraw overtaken by a newer request gives up, unless redraws have been
// given up so often that the picture would never appear.
class EchogramRenderer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxGivenUpRedraws = 3;

    explicit EchogramRenderer(QObject *parent = nullptr);

    // Thread-safe requests from the GUI thread; the work runs queued in the renderer's thread.
    void requestFullRedraw(EchosounderDataBuffer *data_buffer, bool reset_started_count);
    void requestColumn(EchosounderDataBuffer *data_buffer);

    int pendingFullRedraws() const { return m_pending.load(); }
    int startedFullRedraws() const { return m_started.load(); }
    bool isRendering() const { return m_rendering.load(); }
    bool isColumnPending() const { return m_columnPending.load(); }
    // The last full redraw gave up or could not get the buffer; the owner asks again later.
    bool isRedrawIncomplete() const { return m_redrawIncomplete.load(); }
    qint64 lastFullRedrawMsecs() const { return m_lastRedrawMsecs.load(); }

    // Read in the renderer's own thread only.
    const QImage &canvas() const { return m_canvas; }
    int columnWidth() const;
    int canvasWidth() const { return m_canvasWidth; }
    int canvasHeight() const { return m_canvasHeight; }
    float depthRangeInDefaultUnit() const { return m_depthRange; }
    int timeScaleInMinutes() const { return m_timeScale; }
    int pixelOffset() const { return m_pixelOffset; }
    QSize widgetSize() const { return m_widgetSize; }

public slots:
    virtual void getImageFromInternalBuffer(EchosounderDataBuffer *data_buffer);
    void addVerticalLineToImage(EchosounderDataBuffer *data_buffer, bool called_after_image_rendering);
    void addVerticalLineToImage(EchosounderDataBuffer *data_buffer);

    void setCanvasWidth(int v) { m_canvasWidth = qMax(1, v); }
    void setCanvasHeight(int v) { m_canvasHeight = qMax(1, v); }
    void setDepthRangeInDefaultUnit(float v) { m_depthRange = v; }
    void setTimeScaleInMinutes(int v) { m_timeScale = v; }
    void setPixelOffset(int v) { m_pixelOffset = v; }
    void setDepthLineWidth(int v) { m_depthLineWidth = qMax(1, v); }
    void setAdjacentDepthDistLimit(int v) { m_adjacentDepthLimit = v; }
    void setInactiveColor(QColor v);
    void setDepthLineColor(QColor v) { m_depthLineColor = v; }
    void setColorTable(QVector<QRgb> v);
    void setWidgetSize(QSize v) { m_widgetSize = v; }

signals:
    void renderedImage(QImage image);

protected:
    // Called after each column a full redraw has walked; a variant may watch or slow the walk.
    virtual void fullRedrawWalked(int columns_drawn) { Q_UNUSED(columns_drawn) }

private:
    struct ColumnScale
    {
        int samples = 0;   // samples shown from the top of the column
        int rows = 0;      // canvas rows they are spread over
    };

    ColumnScale scaleFor(const EchogramColumn &column) const;
    void drawColumn(QImage &image, int x, int width, const EchogramColumn &column);
    void scrollCanvas(int width);
    void ensureCanvas();
    int depthRow(float depth) const;
    bool traceJoins(int row_a, int row_b) const;
    void drawNewestTrace(const EchosounderDataBuffer &buffer, int index_from_newest);
    bool shouldGiveUp(const EchosounderDataBuffer &buffer) const;
    void giveUp(EchosounderDataBuffer *buffer);
    // Which sample each canvas row below the offset shows, for a column scale.
    const std::vector<int> &rowMap(const ColumnScale &scale);
    void drawWalkedColumns(QImage &image, const EchosounderDataBuffer &buffer, int first_index,
                           int x_right, int count);
    QImage freshCanvas();

    QImage m_canvas;
    QImage m_spare;    // the previous canvas, reused once the GUI has let go of it
    int m_canvasWidth = 1;
    int m_canvasHeight = 1;
    float m_depthRange = 100.0f;
    int m_pixelOffset = 0;
    int m_timeScale = 15;
    int m_depthLineWidth = 2;
    int m_adjacentDepthLimit = 20;
    QColor m_inactiveColor = QColor(25, 25, 25);
    QColor m_depthLineColor = QColor(128, 128, 128);
    QVector<QRgb> m_colorTable;
    QSize m_widgetSize = QSize(-1, -1);

    // What the canvas shows, so that a column addition draws every column that arrived since and
    // redraws the newest one when later records have folded into it.
    const EchosounderDataBuffer *m_drawnBuffer = nullptr;
    quint64 m_drawnColumns = 0;
    int m_drawnNewestRecords = 0;

    struct RowMap
    {
        ColumnScale scale;
        int height = -1;
        int offset = 0;
        quint64 lastUse = 0;
        std::vector<int> rows;
    };
    // More entries than columns drawn in one block, so a block never evicts its own maps.
    static constexpr int kColumnBlock = 16;
    std::vector<RowMap> m_rowMaps = std::vector<RowMap>(kColumnBlock + 4);
    quint64 m_rowMapUse = 0;

    QMutex m_mutex;
    std::atomic<int> m_pending{0};
    std::atomic<int> m_started{0};
    std::atomic<bool> m_rendering{false};
    std::atomic<bool> m_columnPending{false};
    std::atomic<bool> m_redrawIncomplete{false};
    std::atomic<qint64> m_lastRedrawMsecs{0};
    QElapsedTimer m_redrawTimer;
};
