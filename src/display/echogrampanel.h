#pragma once

#include <QWidget>

#include <array>

class MultipleES_TransducersBuffer;
class SingleES_TransducerRuntimeWidget;

// Both channels' runtime views side by side, as the main window embeds them. Channel-wise slots
// take the channel 0 or 1; the others apply to both views.
class EchogramPanel : public QWidget
{
    Q_OBJECT
public:
    explicit EchogramPanel(QWidget *parent = nullptr);

    SingleES_TransducerRuntimeWidget *channelView(int channel) const;
    void setDataSource(MultipleES_TransducersBuffer *source);
    void registerRenderingThreadsWithWatchdog();

public slots:
    void setCurrentDepth(int channel, double depth_in_metres, bool valid);
    void setDepthRangeInDefaultUnit(int channel, float range_in_metres);
    void setDepthUnit(QString unit);
    void setTimeScaleInMinutes(int minutes);
    void slotColorChanged(QString color);
    void setChannelVisible(int channel, bool visible);
    void setLocalTimeShown(bool local);

private:
    std::array<SingleES_TransducerRuntimeWidget *, 2> m_views{};
};
