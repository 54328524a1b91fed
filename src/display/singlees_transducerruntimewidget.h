#pragma once

#include "abstractechogramdrawingwidget.h"

#include <QTimer>

// One channel's runtime view for the bridge: the current depth in large figures with its unit
// above the echogram, the depth scale along its right edge and, below it, the time range shown
// with the clock times of its left and right edges (UTC, or local time when chosen).
// Dark background, light figures: readable across the wheelhouse at night.
class SingleES_TransducerRuntimeWidget : public AbstractEchogramDrawingWidget
{
    Q_OBJECT
public:
    explicit SingleES_TransducerRuntimeWidget(QWidget *parent = nullptr);

    int paletteIndex() const { return m_paletteIndex; }
    QString channelName() const { return m_channelName; }
    QString depthText() const;
    QString depthUnit() const { return m_depthUnit; }
    QString timeRangeText() const;
    // Clock times at the left and right edges of the echogram, with "UTC" or "LT".
    QString leftEdgeTimeText() const;
    QString rightEdgeTimeText() const;
    bool isLocalTimeShown() const { return m_localTime; }
    // Labelled depths of the scale, in the unit shown, top to bottom.
    QVector<double> depthScaleMarks() const;

    QSize sizeHint() const override { return QSize(640, 720); }
    QSize minimumSizeHint() const override { return QSize(240, 240); }

public slots:
    // "Brown", "Orange", "Yellow" or "Grey"; any other name keeps the current palette.
    void slotColorChanged(QString color);
    // Depth in metres; not valid (or -100) shows dashes.
    void setCurrentDepth(double depth_in_metres, bool valid);
    void setCurrentDepth(double depth_in_metres);
    // "m", "ft" or "fm"; figures and scale are shown in it.
    void setDepthUnit(QString unit);
    void setChannelName(QString name);
    // Edge times in local time (the unit's UTC-to-local offset) instead of UTC.
    void setLocalTimeShown(bool local);

public:
    QRect echogramRect() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double toShownUnit(double metres) const;
    QString edgeTimeText(int seconds_before_now) const;
    int headerHeight() const;
    int scaleWidth() const;
    int footerHeight() const;
    void paintHeader(QPainter &painter);
    void paintScale(QPainter &painter);
    void paintFooter(QPainter &painter);

    int m_paletteIndex = 0;
    QString m_channelName;
    QString m_depthUnit = QStringLiteral("m");
    double m_depth = -100.0;
    bool m_depthValid = false;
    bool m_localTime = false;
    QTimer m_clockTimer;
};
