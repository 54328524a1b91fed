#include "abstractechogramdrawingwidget.h"

#include "echogrampalettes.h"
#include "echogramrenderer.h"
#include "multiplees_transducersbuffer.h"
#include "watchdogsingletonwrapper.h"

#include <QPainter>
#include <QResizeEvent>

namespace {
constexpr uint kRenderKickMsecs = 1000;
constexpr uint kRenderTimeoutMsecs = 15000;
} // namespace

AbstractEchogramDrawingWidget::AbstractEchogramDrawingWidget(QWidget *parent)
    : QWidget(parent), m_renderingTimer(this)
{
    const EchogramPalette &palette = EchogramPaletteStore::instance().palette(0);
    m_colorTable = palette.colorTable();
    m_inactiveColor = palette.inactiveColor();
    m_depthLineColor = EchogramPaletteStore::depthLineColorForIndex(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
    startRenderer();
    connect(&m_renderingTimer, &QTimer::timeout, this,
            &AbstractEchogramDrawingWidget::renderingTimerTimeout);
    m_renderingTimer.start(kRenderingTimerMsecs);
}

AbstractEchogramDrawingWidget::~AbstractEchogramDrawingWidget()
{
    stopRendering();
}

void AbstractEchogramDrawingWidget::stopRendering()
{
    m_renderingTimer.stop();
    m_thread->quit();
    m_thread->wait();
}

void AbstractEchogramDrawingWidget::startRenderer()
{
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("Echogram rendering thread"));
    m_renderer = new EchogramRenderer;   // no parent: it moves to its own thread
    m_renderer->setCanvasWidth(m_canvasWidth);
    m_renderer->setCanvasHeight(m_canvasHeight);
    m_renderer->setDepthRangeInDefaultUnit(m_depthRange);
    m_renderer->setTimeScaleInMinutes(m_timeScale);
    m_renderer->setPixelOffset(m_pixelOffset);
    m_renderer->setDepthLineWidth(m_depthLineWidth);
    m_renderer->setAdjacentDepthDistLimit(m_adjacentDepthLimit);
    m_renderer->setInactiveColor(m_inactiveColor);
    m_renderer->setDepthLineColor(m_depthLineColor);
    m_renderer->setColorTable(m_colorTable);
    m_renderer->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_renderer, &QObject::deleteLater);

    connect(this, &AbstractEchogramDrawingWidget::canvasWidthChanged, m_renderer,
            &EchogramRenderer::setCanvasWidth);
    connect(this, &AbstractEchogramDrawingWidget::canvasHeightChanged, m_renderer,
            &EchogramRenderer::setCanvasHeight);
    connect(this, &AbstractEchogramDrawingWidget::depthRangeInDefaultUnitChanged, m_renderer,
            &EchogramRenderer::setDepthRangeInDefaultUnit);
    connect(this, &AbstractEchogramDrawingWidget::timeScaleInMinutesChanged, m_renderer,
            &EchogramRenderer::setTimeScaleInMinutes);
    connect(this, &AbstractEchogramDrawingWidget::pixelOffsetChanged, m_renderer,
            &EchogramRenderer::setPixelOffset);
    connect(this, &AbstractEchogramDrawingWidget::depthLineWidthChanged, m_renderer,
            &EchogramRenderer::setDepthLineWidth);
    connect(this, &AbstractEchogramDrawingWidget::adjacentDepthDistLimitChanged, m_renderer,
            &EchogramRenderer::setAdjacentDepthDistLimit);
    connect(this, &AbstractEchogramDrawingWidget::inactiveColorChanged, m_renderer,
            &EchogramRenderer::setInactiveColor);
    connect(this, &AbstractEchogramDrawingWidget::depthLineColorChanged, m_renderer,
            &EchogramRenderer::setDepthLineColor);
    connect(this, &AbstractEchogramDrawingWidget::colorTableChanged, m_renderer,
            &EchogramRenderer::setColorTable);
    connect(this, &AbstractEchogramDrawingWidget::sizeChanged, m_renderer,
            &EchogramRenderer::setWidgetSize);
    connect(m_renderer, &EchogramRenderer::renderedImage, this,
            &AbstractEchogramDrawingWidget::renderedImageReady);
    m_thread->start(QThread::LowPriority);
}

void AbstractEchogramDrawingWidget::registerRenderingThreadWithWatchdog()
{
    WatchdogSingletonWrapper &wrapper = WatchdogSingletonWrapper::instance();
    if (m_watchdogRegistered || !wrapper.isInitialized())
        return;
    m_watchdogRegistered = true;
    wrapper.registerThread(m_thread, kRenderKickMsecs, kRenderTimeoutMsecs,
                           QStringLiteral("Echogram rendering thread ch%1").arg(m_channel + 1));
    QThread *thread = m_thread;
    connect(m_thread, &QThread::finished, this,
            [thread] { WatchdogSingletonWrapper::instance().unregisterThread(thread); });
}

EchosounderDataBuffer *AbstractEchogramDrawingWidget::currentBuffer() const
{
    return m_source ? m_source->buffer(m_channel, m_timeScale) : nullptr;
}

void AbstractEchogramDrawingWidget::setDataSource(MultipleES_TransducersBuffer *source, int channel)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_channel = channel;
    if (m_source)
        m_source->setColumnsAcross(m_channel, m_canvasWidth);
    if (m_source) {
        connect(m_source, &MultipleES_TransducersBuffer::sigES_NewData, this,
                &AbstractEchogramDrawingWidget::processNewData);
        // At shutdown the buffers may go first; the renderer must be stopped before they do.
        connect(m_source, &MultipleES_TransducersBuffer::buffersAboutToBeDestroyed, this, [this] {
            stopRendering();
            m_source = nullptr;
        });
    }
    updateCanvasSize();
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::requestFullRedraw()
{
    if (!m_thread->isRunning() || !m_renderer)
        return;
    if (EchosounderDataBuffer *buffer = currentBuffer())
        m_renderer->requestFullRedraw(buffer, true);
}

void AbstractEchogramDrawingWidget::processNewData(int channel_number,
                                                   int biggest_updated_range_in_minutes)
{
    // Time ranges slice time differently, so the longest range that changed says nothing about
    // the one shown: its own buffer tells whether there is anything new.
    Q_UNUSED(biggest_updated_range_in_minutes)
    if (channel_number != m_channel || !m_thread->isRunning() || !m_renderer)
        return;
    EchosounderDataBuffer *buffer = currentBuffer();
    if (!buffer || buffer->changeCount() == m_drawnChanges)
        return;
    m_drawnChanges = buffer->changeCount();
    m_renderer->requestColumn(buffer);
}

void AbstractEchogramDrawingWidget::renderingTimerTimeout()
{
    if (m_renderer && m_renderer->isRedrawIncomplete() && m_renderer->pendingFullRedraws() == 0
        && !m_renderer->isRendering()) {
        if (EchosounderDataBuffer *buffer = currentBuffer())
            m_renderer->requestFullRedraw(buffer, false);
    }
}

void AbstractEchogramDrawingWidget::renderedImageReady(QImage image)
{
    m_image = image;
    update(echogramRect());
}

void AbstractEchogramDrawingWidget::updateCanvasSize()
{
    // One canvas pixel per screen pixel: records of any sample count and range are scaled to the
    // rows of their depths, and each time range spreads over the width.
    const QRect r = echogramRect();
    const int w = qMax(1, r.width());
    const int h = qMax(1, r.height());
    if (w == m_canvasWidth && h == m_canvasHeight)
        return;
    if (w != m_canvasWidth) {
        m_canvasWidth = w;
        if (m_source)
            m_source->setColumnsAcross(m_channel, w);
        emit canvasWidthChanged(w);
    }
    if (h != m_canvasHeight) {
        m_canvasHeight = h;
        emit canvasHeightChanged(h);
    }
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit sizeChanged(event->size());
    updateCanvasSize();
}

void AbstractEchogramDrawingWidget::paintEchogram(QPainter &painter)
{
    const QRect r = echogramRect();
    if (m_image.isNull()) {
        painter.fillRect(r, m_inactiveColor);
        return;
    }
    // The canvas has the size of the echogram area; until a redraw for a new size arrives the
    // old picture is stretched to the height.
    painter.drawImage(QRect(r.left(), r.top(), m_image.width(), r.height()), m_image);
    // Until a redraw for a new width arrives, the uncovered part shows as without data.
    if (m_image.width() < r.width())
        painter.fillRect(QRect(r.left() + m_image.width(), r.top(), r.width() - m_image.width(),
                               r.height()),
                         m_inactiveColor);
}

int AbstractEchogramDrawingWidget::viewRowOfCanvasRow(int canvas_row) const
{
    const int h = echogramRect().height();
    return m_canvasHeight > 0 ? int(qint64(canvas_row) * h / m_canvasHeight) : canvas_row;
}

void AbstractEchogramDrawingWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintEchogram(painter);
}

void AbstractEchogramDrawingWidget::setDepthRangeInDefaultUnit(float v)
{
    if (v == m_depthRange || v <= 0.0f)
        return;
    m_depthRange = v;
    emit depthRangeInDefaultUnitChanged(v);
    requestFullRedraw();
    update();
}

void AbstractEchogramDrawingWidget::setTimeScaleInMinutes(int v)
{
    if (v == m_timeScale || MultipleES_TransducersBuffer::timeRangeName(v).isEmpty())
        return;
    m_timeScale = v;
    emit timeScaleInMinutesChanged(v);
    emit timeBaseInSecondsChanged(v * 60);
    updateCanvasSize();
    requestFullRedraw();
    update();
}

void AbstractEchogramDrawingWidget::setPixelOffset(int v)
{
    if (v == m_pixelOffset)
        return;
    m_pixelOffset = v;
    emit pixelOffsetChanged(v);
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::setDepthLineWidth(int v)
{
    if (v == m_depthLineWidth)
        return;
    m_depthLineWidth = v;
    emit depthLineWidthChanged(v);
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::setAdjacentDepthDistLimit(int v)
{
    if (v == m_adjacentDepthLimit)
        return;
    m_adjacentDepthLimit = v;
    emit adjacentDepthDistLimitChanged(v);
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::setInactiveColor(QColor v)
{
    if (v == m_inactiveColor)
        return;
    m_inactiveColor = v;
    emit inactiveColorChanged(v);
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::setDepthLineColor(QColor v)
{
    if (v == m_depthLineColor)
        return;
    m_depthLineColor = v;
    emit depthLineColorChanged(v);
    requestFullRedraw();
}

void AbstractEchogramDrawingWidget::setColorTable(QVector<QRgb> v)
{
    if (v == m_colorTable)
        return;
    m_colorTable = v;
    emit colorTableChanged(v);
    requestFullRedraw();
}

EchogramRenderer *AbstractEchogramDrawingWidget::renderer() const
{
    return m_renderer.data();
}
