#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QRgb>
#include <QThread>
#include <QTimer>
#include <QVector>
#include <QWidget>

class EchogramRenderer;
class EchosounderDataBuffer;
class MultipleES_TransducersBuffer;

// Base of every echogram view: holds the drawing parameters, runs an EchogramRenderer in a
// low-priority thread of its own and paints the pictures it sends back into echogramRect().
// Parameter changes reach the renderer through the change signals; anything that invalidates
// the picture asks for a full redraw, and the 500 ms rendering timer retries redraws that were
// given up.
class AbstractEchogramDrawingWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int canvasWidth READ canvasWidth NOTIFY canvasWidthChanged)
    Q_PROPERTY(int canvasHeight READ canvasHeight NOTIFY canvasHeightChanged)
    Q_PROPERTY(float depthRangeInDefaultUnit READ depthRangeInDefaultUnit WRITE setDepthRangeInDefaultUnit NOTIFY depthRangeInDefaultUnitChanged)
    Q_PROPERTY(int timeScaleInMinutes READ timeScaleInMinutes WRITE setTimeScaleInMinutes NOTIFY timeScaleInMinutesChanged)
    Q_PROPERTY(int pixelOffset READ pixelOffset WRITE setPixelOffset NOTIFY pixelOffsetChanged)
    Q_PROPERTY(int depthLineWidth READ depthLineWidth WRITE setDepthLineWidth NOTIFY depthLineWidthChanged)
    Q_PROPERTY(int adjacentDepthDistLimit READ adjacentDepthDistLimit WRITE setAdjacentDepthDistLimit NOTIFY adjacentDepthDistLimitChanged)
    Q_PROPERTY(QColor inactiveColor READ inactiveColor WRITE setInactiveColor NOTIFY inactiveColorChanged)
    Q_PROPERTY(QColor depthLineColor READ depthLineColor WRITE setDepthLineColor NOTIFY depthLineColorChanged)

public:
    static constexpr int kRenderingTimerMsecs = 500;

    explicit AbstractEchogramDrawingWidget(QWidget *parent = nullptr);
    ~AbstractEchogramDrawingWidget() override;

    int canvasWidth() const { return m_canvasWidth; }
    int canvasHeight() const { return m_canvasHeight; }
    float depthRangeInDefaultUnit() const { return m_depthRange; }
    int timeScaleInMinutes() const { return m_timeScale; }
    int pixelOffset() const { return m_pixelOffset; }
    int depthLineWidth() const { return m_depthLineWidth; }
    int adjacentDepthDistLimit() const { return m_adjacentDepthLimit; }
    QColor inactiveColor() const { return m_inactiveColor; }
    QColor depthLineColor() const { return m_depthLineColor; }
    QVector<QRgb> colorTable() const { return m_colorTable; }
    int channel() const { return m_channel; }

    // The last picture received from the renderer.
    QImage echogramImage() const { return m_image; }
    EchogramRenderer *renderer() const;
    QThread *renderingThread() const { return m_thread; }
    EchosounderDataBuffer *currentBuffer() const;
    // Where the echogram goes; the rest of the widget belongs to the derived view.
    virtual QRect echogramRect() const { return rect(); }

    void setDataSource(MultipleES_TransducersBuffer *source, int channel);
    // Lets the watchdog supervise the rendering thread; the system object calls it once the
    // watchdog runs. Without a watchdog it does nothing.
    void registerRenderingThreadWithWatchdog();

public slots:
    void setDepthRangeInDefaultUnit(float v);
    void setTimeScaleInMinutes(int v);
    void setPixelOffset(int v);
    void setDepthLineWidth(int v);
    void setAdjacentDepthDistLimit(int v);
    void setInactiveColor(QColor v);
    void setDepthLineColor(QColor v);
    void setColorTable(QVector<QRgb> v);
    void renderedImageReady(QImage image);
    void processNewData(int channel_number, int biggest_updated_range_in_minutes);
    void requestFullRedraw();

signals:
    void canvasWidthChanged(int v);
    void canvasHeightChanged(int v);
    void depthRangeInDefaultUnitChanged(float v);
    void timeScaleInMinutesChanged(int v);
    // The time base of the view: the shown range in seconds.
    void timeBaseInSecondsChanged(int seconds);
    void pixelOffsetChanged(int v);
    void depthLineWidthChanged(int v);
    void adjacentDepthDistLimitChanged(int v);
    void inactiveColorChanged(QColor v);
    void depthLineColorChanged(QColor v);
    void colorTableChanged(QVector<QRgb> v);
    void sizeChanged(QSize v);

protected:
    // Called by derived views when their layout changed the echogram area.
    void updateCanvasSize();
    // Where a canvas row (such as the pixel offset) shows in the echogram area.
    int viewRowOfCanvasRow(int canvas_row) const;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEchogram(QPainter &painter);

private slots:
    void renderingTimerTimeout();

private:
    void startRenderer();
    void stopRendering();

    QPointer<EchogramRenderer> m_renderer;   // lives in m_thread, deleted when it finishes
    QThread *m_thread = nullptr;
    QTimer m_renderingTimer;
    QPointer<MultipleES_TransducersBuffer> m_source;
    QImage m_image;
    quint64 m_drawnChanges = 0;
    bool m_watchdogRegistered = false;

    int m_channel = 0;
    int m_canvasWidth = 1;
    int m_canvasHeight = 1;
    float m_depthRange = 100.0f;
    int m_timeScale = 15;
    int m_pixelOffset = 0;
    int m_depthLineWidth = 2;
    int m_adjacentDepthLimit = 20;
    QColor m_inactiveColor;
    QColor m_depthLineColor;
    QVector<QRgb> m_colorTable;
};
