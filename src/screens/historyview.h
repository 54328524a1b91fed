#pragma once

#include "historypoint.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>

class ESData;
class HistoryLogger;
class QLabel;
class QPushButton;

// The depth of both channels over a span of time, drawn from the depth history (the files
// fetched from the junction box and the points recorded here), with the shallow and deep alarm
// limits. A touch shows the time and depths under the finger; dragging or the arrow buttons pan.
class HistoryPlot : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryPlot(QWidget *parent = nullptr);

    void setHistory(int channel, const QList<BasicHistoryPoint> *points);
    void setSpanHours(int hours);
    int spanHours() const { return m_spanHours; }
    // The right edge of the window; invalid follows the newest point.
    void setEnd(const QDateTime &end);
    QDateTime end() const;
    void setDepthRange(double metres) { m_depthRange = metres; update(); }
    void setAlarmLimits(double shallowMetres, double deepMetres);
    void setDepthUnit(int unit);
    void setDepthReference(int value) { m_depthValue = value; update(); }

    // The readout at a touched time: time and the depth of each channel nearest to it.
    QString readoutAt(const QDateTime &time) const;
    QDateTime timeAtX(int x) const;
    QRect plotRect() const;
    // Drawing of the whole window into any paint device, as the widget paints it.
    void render(QPainter &painter, const QRect &area);

    // Moves the window by a fraction of its span (negative: earlier), as dragging or the arrows do.
    void pan(double fractionOfSpan);

public slots:
    void followNewest();

signals:
    void readoutChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    float depthOf(const BasicHistoryPoint &p) const;
    QDateTime newest() const;
    int nearest(int channel, const QDateTime &time) const;

    std::array<const QList<BasicHistoryPoint> *, 2> m_points{{nullptr, nullptr}};
    int m_spanHours = 1;
    QDateTime m_end;
    double m_depthRange = 100.0;
    double m_shallow = 0.0;
    double m_deep = 0.0;
    int m_depthUnit = 0;
    int m_depthValue = 0;
    QDateTime m_cursor;
    QPoint m_pressAt;
    QDateTime m_endAtPress;
    bool m_dragging = false;
};

// The history screen: the plot with its span (1, 6, 12, 24 hours), panning and the readout.
class HistoryView : public QWidget
{
    Q_OBJECT
public:
    HistoryView(ESData *data, HistoryLogger *channel1, HistoryLogger *channel2, QWidget *parent = nullptr);

    HistoryPlot *plot() const { return m_plot; }
    QString readoutText() const;

signals:
    void backRequested();

private:
    void followSettings();

    ESData *m_data;
    HistoryPlot *m_plot;
    QLabel *m_readout;
    QList<QPushButton *> m_spans;
};
