#pragma once

#include "echorecord.h"

#include <QByteArray>
#include <QWidget>

class ESData;
class MultipleES_TransducersBuffer;
class QPushButton;

// The echo scope: the latest raw and filtered ping of one channel as echo amplitude (across)
// against depth (downwards, as in the echogram), with the bottom the junction box detected.
class EchoScopePlot : public QWidget
{
    Q_OBJECT
public:
    explicit EchoScopePlot(QWidget *parent = nullptr);

    int channel() const { return m_channel; }
    void setChannel(int channel);
    void setDepthUnit(int unit);
    bool hasRaw() const { return !m_raw.isEmpty(); }
    bool hasFiltered() const { return !m_filtered.isEmpty(); }
    // The bottom marked, in metres; negative when the ping found none.
    double bottomDepth() const;
    double depthRange() const { return m_range; }

public slots:
    void rawPing(QByteArray samples, EchoRecordInfo info, int channel);
    void filteredPing(QByteArray samples, EchoRecordInfo info, int channel);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_channel = 0;
    int m_depthUnit = 0;
    QByteArray m_raw;
    QByteArray m_filtered;
    EchoRecordInfo m_info;
    double m_range = 0.0;
};

// The scope screen. The record intake sends raw and filtered pings to it only while it is shown,
// and the junction box is told the scope is open (ScopeScreenOpen).
class EchoScopeView : public QWidget
{
    Q_OBJECT
public:
    EchoScopeView(ESData *data, MultipleES_TransducersBuffer *source, QWidget *parent = nullptr);

    EchoScopePlot *plot() const { return m_plot; }

signals:
    void backRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void setOpen(bool open);

    ESData *m_data;
    MultipleES_TransducersBuffer *m_source;
    EchoScopePlot *m_plot;
    QPushButton *m_channels[2];
};
