#include "echogrampanel.h"

#include "singlees_transducerruntimewidget.h"

#include <QHBoxLayout>

EchogramPanel::EchogramPanel(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (int channel = 0; channel < 2; ++channel) {
        m_views[size_t(channel)] = new SingleES_TransducerRuntimeWidget(this);
        m_views[size_t(channel)]->setChannelName(QStringLiteral("CH%1").arg(channel + 1));
        layout->addWidget(m_views[size_t(channel)], 1);
    }
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(14, 18, 22));
    setPalette(p);
    setAutoFillBackground(true);
}

SingleES_TransducerRuntimeWidget *EchogramPanel::channelView(int channel) const
{
    return (channel == 0 || channel == 1) ? m_views[size_t(channel)] : nullptr;
}

void EchogramPanel::setDataSource(MultipleES_TransducersBuffer *source)
{
    for (int channel = 0; channel < 2; ++channel)
        m_views[size_t(channel)]->setDataSource(source, channel);
}

void EchogramPanel::registerRenderingThreadsWithWatchdog()
{
    for (auto *view : m_views)
        view->registerRenderingThreadWithWatchdog();
}

void EchogramPanel::setCurrentDepth(int channel, double depth_in_metres, bool valid)
{
    if (auto *view = channelView(channel))
        view->setCurrentDepth(depth_in_metres, valid);
}

void EchogramPanel::setDepthRangeInDefaultUnit(int channel, float range_in_metres)
{
    if (auto *view = channelView(channel))
        view->setDepthRangeInDefaultUnit(range_in_metres);
}

void EchogramPanel::setDepthUnit(QString unit)
{
    for (auto *view : m_views)
        view->setDepthUnit(unit);
}

void EchogramPanel::setTimeScaleInMinutes(int minutes)
{
    for (auto *view : m_views)
        view->setTimeScaleInMinutes(minutes);
}

void EchogramPanel::slotColorChanged(QString color)
{
    for (auto *view : m_views)
        view->slotColorChanged(color);
}

void EchogramPanel::setLocalTimeShown(bool local)
{
    for (auto *view : m_views)
        view->setLocalTimeShown(local);
}

void EchogramPanel::setChannelVisible(int channel, bool visible)
{
    if (auto *view = channelView(channel))
        view->setVisible(visible);
}
