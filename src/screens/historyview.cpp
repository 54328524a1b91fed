#include "historyview.h"

#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "esunitconverter.h"
#include "historylogger.h"
#include "settingfield.h"
#include "touchtheme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDragThreshold = 24;

bool earlier(const BasicHistoryPoint &p, const QDateTime &t)
{
    return p.time < t;
}

}

HistoryPlot::HistoryPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HistoryPlot"));
    setMinimumSize(400, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryPlot::setHistory(int channel, const QList<BasicHistoryPoint> *points)
{
    m_points[size_t(channel & 1)] = points;
    update();
}

void HistoryPlot::setSpanHours(int hours)
{
    m_spanHours = qBound(1, hours, 24);
    update();
}

void HistoryPlot::setEnd(const QDateTime &end)
{
    m_end = end;
    update();
}

QDateTime HistoryPlot::newest() const
{
    QDateTime t;
    for (const auto *points : m_points) {
        if (points && !points->isEmpty() && (!t.isValid() || points->last().time > t))
            t = points->last().time;
    }
    return t.isValid() ? t : QDateTime::currentDateTimeUtc();
}

QDateTime HistoryPlot::end() const
{
    return m_end.isValid() ? m_end : newest();
}

void HistoryPlot::setAlarmLimits(double shallowMetres, double deepMetres)
{
    m_shallow = shallowMetres;
    m_deep = deepMetres;
    update();
}

void HistoryPlot::setDepthUnit(int unit)
{
    m_depthUnit = unit;
    update();
}

void HistoryPlot::pan(double fractionOfSpan)
{
    const qint64 span = qint64(m_spanHours) * 3600;
    QDateTime e = end().addSecs(qint64(fractionOfSpan * span));
    if (e >= newest())
        e = QDateTime();   // back at the newest point: follow it again
    setEnd(e);
}

void HistoryPlot::followNewest()
{
    setEnd(QDateTime());
}

float HistoryPlot::depthOf(const BasicHistoryPoint &p) const
{
    // The depth the operator chose to see: below transducer, surface or keel.
    static const BasicHistoryPoint::Value which[] = {BasicHistoryPoint::DepthBlwTransducer,
                                                     BasicHistoryPoint::DepthBlwSurface, BasicHistoryPoint::DepthBlwKeel};
    return p.value(which[qBound(0, m_depthValue, 2)]);
}

QRect HistoryPlot::plotRect() const
{
    return rect().adjusted(70, 12, -16, -40);
}

QDateTime HistoryPlot::timeAtX(int x) const
{
    const QRect r = plotRect();
    const qint64 span = qint64(m_spanHours) * 3600 * 1000;
    const double f = double(x - r.left()) / qMax(1, r.width());
    return end().addMSecs(qint64((f - 1.0) * span));
}

int HistoryPlot::nearest(int channel, const QDateTime &time) const
{
    const QList<BasicHistoryPoint> *points = m_points[size_t(channel)];
    if (!points || points->isEmpty())
        return -1;
    auto it = std::lower_bound(points->begin(), points->end(), time, earlier);
    int i = int(it - points->begin());
    if (i >= points->size() || (i > 0 && points->at(i - 1).time.msecsTo(time) < time.msecsTo(points->at(i).time)))
        --i;
    // Only a point close to the touched time counts: a minute, or a pixel's worth of time.
    const qint64 tolerance = qMax<qint64>(60000, qint64(m_spanHours) * 3600 * 1000 / qMax(1, plotRect().width()) * 2);
    return qAbs(points->at(i).time.msecsTo(time)) <= tolerance ? i : -1;
}

QString HistoryPlot::readoutAt(const QDateTime &time) const
{
    QString text = time.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss 'UTC'"));
    const QString unit = DisplayUnits::depthUnitText(m_depthUnit);
    for (int ch = 0; ch < 2; ++ch) {
        const int i = nearest(ch, time);
        const float d = i >= 0 ? depthOf(m_points[size_t(ch)]->at(i)) : -100.0f;
        text += QStringLiteral("   CH%1: ").arg(ch + 1)
                + (d > -100.0f ? QStringLiteral("%1 %2").arg(ESUnitConverter::convertDepth(d, 0, m_depthUnit), 0, 'f', 1).arg(unit)
                               : QStringLiteral("-"));
    }
    return text;
}

void HistoryPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    render(p, rect());
}

void HistoryPlot::render(QPainter &p, const QRect &area)
{
    const QPalette pal = palette();
    const TouchTheme::Lighting lighting = pal.color(QPalette::Window).lightness() > 128 ? TouchTheme::Lighting::Day
                                          : pal.color(QPalette::WindowText).blue() < 80 ? TouchTheme::Lighting::Night
                                                                                         : TouchTheme::Lighting::Dusk;
    p.fillRect(area, pal.color(QPalette::Base));
    const QRect r = plotRect().translated(area.topLeft());
    const double range = m_depthRange > 0 ? m_depthRange : 100.0;
    const double toUnit = ESUnitConverter::convertDepth(1.0f, 0, m_depthUnit);
    auto yOf = [&](double metres) { return r.top() + metres * toUnit / range * r.height(); };

    // Depth grid and scale.
    QFont small = font();
    small.setPointSizeF(11);
    p.setFont(small);
    const double steps[] = {1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000, 5000};
    double step = steps[0];
    for (double s : steps) {
        step = s;
        if (range / s <= 10)
            break;
    }
    for (double d = 0; d <= range + 1e-9; d += step) {
        const int y = int(r.top() + d / range * r.height());
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.left(), y, r.right(), y);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(area.left(), y - 10, 62, 20), Qt::AlignRight | Qt::AlignVCenter, QString::number(d));
    }
    p.drawText(QRect(area.left(), r.bottom() + 4, 62, 20), Qt::AlignRight, DisplayUnits::depthUnitText(m_depthUnit));

    // Time grid: hours (or ten minutes for the one-hour span).
    const qint64 spanMs = qint64(m_spanHours) * 3600 * 1000;
    const QDateTime e = end();
    const QDateTime start = e.addMSecs(-spanMs);
    const qint64 tick = m_spanHours == 1 ? 600000 : m_spanHours <= 6 ? 3600000 : m_spanHours <= 12 ? 7200000 : 14400000;
    for (qint64 t = (start.toMSecsSinceEpoch() / tick + 1) * tick; t <= e.toMSecsSinceEpoch(); t += tick) {
        const int x = int(r.left() + double(t - start.toMSecsSinceEpoch()) / spanMs * r.width());
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(x, r.top(), x, r.bottom());
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRect(x - 40, r.bottom() + 4, 80, 20), Qt::AlignHCenter,
                   QDateTime::fromMSecsSinceEpoch(t, Qt::UTC).toString(QStringLiteral("hh:mm")));
    }
    p.drawText(QRect(r.left(), r.bottom() + 20, r.width(), 20), Qt::AlignLeft,
               start.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm 'UTC'")));
    p.drawText(QRect(r.left(), r.bottom() + 20, r.width(), 20), Qt::AlignRight,
               e.toUTC().toString(QStringLiteral("yyyy-MM-dd hh:mm 'UTC'")));

    // Alarm limits.
    const QColor warning = TouchTheme::warningColor(lighting);
    for (auto [limit, name] : {std::make_pair(m_shallow, QStringLiteral("Shallow alarm")), std::make_pair(m_deep, QStringLiteral("Deep alert"))}) {
        if (limit <= 0.0 || limit * toUnit > range)
            continue;
        const int y = int(yOf(limit));
        p.setPen(QPen(warning, 2, Qt::DashLine));
        p.drawLine(r.left(), y, r.right(), y);
        p.drawText(QRect(r.left() + 6, y - 20, 300, 18), Qt::AlignLeft,
                   QStringLiteral("%1 %2 %3").arg(name).arg(limit * toUnit, 0, 'f', 1).arg(DisplayUnits::depthUnitText(m_depthUnit)));
    }

    // Depths: per pixel column the shallowest and deepest point, joined across small gaps. One
    // pass over the points of the window, whatever their number.
    p.setClipRect(r);
    const int width = qMax(1, r.width());
    const qint64 gapMs = qMax<qint64>(120000, spanMs / 200);
    for (int ch = 0; ch < 2; ++ch) {
        const QList<BasicHistoryPoint> *points = m_points[size_t(ch)];
        if (!points || points->isEmpty())
            continue;
        QPainterPath path;
        auto it = std::lower_bound(points->begin(), points->end(), start, earlier);
        if (it != points->begin())
            --it;
        int column = -1;
        double lo = 0, hi = 0, lastY = 0;
        QDateTime lastTime;
        bool open = false;
        auto flush = [&]() {
            if (column < 0)
                return;
            const double x = r.left() + column + 0.5;
            if (open)
                path.lineTo(x, lo);
            else
                path.moveTo(x, lo);
            if (hi != lo)
                path.lineTo(x, hi);
            path.moveTo(x, lastY);
            open = true;
        };
        for (; it != points->end(); ++it) {
            const BasicHistoryPoint &pt = *it;
            if (!pt.time.isValid() || pt.isMark)
                continue;
            const qint64 dt = start.msecsTo(pt.time);
            const float d = depthOf(pt);
            const bool gap = !lastTime.isValid() || lastTime.msecsTo(pt.time) > gapMs || d <= -100.0f;
            if (gap) {
                flush();
                column = -1;
                open = false;
            }
            lastTime = pt.time;
            if (d <= -100.0f)
                continue;
            const int c = int(double(dt) / spanMs * width);
            const double y = yOf(d);
            if (c != column) {
                flush();
                column = c;
                lo = hi = y;
            } else {
                lo = qMin(lo, y);
                hi = qMax(hi, y);
            }
            lastY = y;
            if (dt > spanMs)
                break;
        }
        flush();
        p.setPen(QPen(TouchTheme::channelColor(lighting, ch), 2));
        p.drawPath(path);
    }
    p.setClipping(false);

    // Legend and the touched time.
    for (int ch = 0; ch < 2; ++ch) {
        p.setPen(QPen(TouchTheme::channelColor(lighting, ch), 4));
        const int x = r.right() - 170 + ch * 85;
        p.drawLine(x, r.top() + 14, x + 24, r.top() + 14);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(x + 30, r.top() + 19, QStringLiteral("CH%1").arg(ch + 1));
    }
    if (m_cursor.isValid() && m_cursor >= start && m_cursor <= e) {
        const int x = int(r.left() + double(start.msecsTo(m_cursor)) / spanMs * r.width());
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawLine(x, r.top(), x, r.bottom());
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(r);
}

void HistoryPlot::mousePressEvent(QMouseEvent *event)
{
    m_pressAt = event->pos();
    m_endAtPress = end();
    m_dragging = false;
    m_cursor = timeAtX(event->pos().x());
    emit readoutChanged(readoutAt(m_cursor));
    update();
}

void HistoryPlot::mouseMoveEvent(QMouseEvent *event)
{
    const int dx = event->pos().x() - m_pressAt.x();
    if (!m_dragging && qAbs(dx) < kDragThreshold) {
        m_cursor = timeAtX(event->pos().x());
        emit readoutChanged(readoutAt(m_cursor));
        update();
        return;
    }
    // A drag moves the picture with the finger.
    m_dragging = true;
    const qint64 spanMs = qint64(m_spanHours) * 3600 * 1000;
    QDateTime e = m_endAtPress.addMSecs(-qint64(double(dx) / qMax(1, plotRect().width()) * spanMs));
    setEnd(e >= newest() ? QDateTime() : e);
}

void HistoryPlot::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

HistoryView::HistoryView(ESData *data, HistoryLogger *channel1, HistoryLogger *channel2, QWidget *parent)
    : QWidget(parent), m_data(data), m_plot(new HistoryPlot(this)), m_readout(new QLabel(this))
{
    setObjectName(QStringLiteral("HistoryView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    const TouchTheme::ScreenHeader top = TouchTheme::screenHeader(this, QStringLiteral("Depth history"));
    QHBoxLayout *header = top.layout;
    QPushButton *back = top.back;
    for (int hours : {1, 6, 12, 24}) {
        auto *b = new QPushButton(QStringLiteral("%1 h").arg(hours), this);
        b->setObjectName(QStringLiteral("span_%1").arg(hours));
        b->setCheckable(true);
        b->setChecked(hours == 1);
        connect(b, &QPushButton::clicked, this, [this, hours] {
            for (QPushButton *s : m_spans)
                s->setChecked(s->objectName() == QStringLiteral("span_%1").arg(hours));
            m_plot->setSpanHours(hours);
        });
        header->addWidget(b);
        m_spans << b;
    }
    layout->addLayout(header);
    connect(back, &QPushButton::clicked, this, &HistoryView::backRequested);

    auto *body = new QHBoxLayout;
    body->addWidget(m_plot, 1);
    layout->addLayout(body, 1);

    auto *footer = new QHBoxLayout;
    const struct
    {
        const char *name;
        const char *text;
        double pan;
    } moves[] = {{"pan_back", "\u00AB", -0.5}, {"pan_forward", "\u00BB", 0.5}};
    auto *earlierButton = new QPushButton(QString::fromUtf8(moves[0].text), this);
    earlierButton->setObjectName(QLatin1String(moves[0].name));
    auto *laterButton = new QPushButton(QString::fromUtf8(moves[1].text), this);
    laterButton->setObjectName(QLatin1String(moves[1].name));
    auto *now = new QPushButton(QStringLiteral("Now"), this);
    now->setObjectName(QStringLiteral("now"));
    for (QPushButton *b : {earlierButton, laterButton, now})
        b->setMinimumWidth(96);
    connect(earlierButton, &QPushButton::clicked, m_plot, [this] { m_plot->pan(-0.5); });
    connect(laterButton, &QPushButton::clicked, m_plot, [this] { m_plot->pan(0.5); });
    connect(now, &QPushButton::clicked, m_plot, &HistoryPlot::followNewest);
    m_readout->setObjectName(QStringLiteral("readout"));
    m_readout->setText(QStringLiteral("Touch the plot for the depths at a time"));
    footer->addWidget(earlierButton);
    footer->addWidget(laterButton);
    footer->addWidget(now);
    footer->addSpacing(12);
    footer->addWidget(m_readout, 1);
    layout->addLayout(footer);
    connect(m_plot, &HistoryPlot::readoutChanged, m_readout, &QLabel::setText);

    std::array<HistoryLogger *, 2> loggers{{channel1, channel2}};
    for (int ch = 0; ch < 2; ++ch) {
        if (!loggers[size_t(ch)])
            continue;
        m_plot->setHistory(ch, &loggers[size_t(ch)]->points());
        // A downloaded file replaces the history; new points are drawn only while shown.
        connect(loggers[size_t(ch)], &HistoryLogger::completeHistoryChanged, m_plot, qOverload<>(&QWidget::update));
        connect(loggers[size_t(ch)], &HistoryLogger::newHistoryPointSig, m_plot, qOverload<>(&QWidget::update));
    }

    ESAlertSetup *alerts = data->setup()->AlertSetup();
    ESOtherLocalSettings *other = data->localSetup()->OtherLocalSettings();
    ESOptionsSetup *options = data->setup()->SetupSetup()->OptionsSetup();
    connect(alerts, &ESAlertSetup::AlarmShallowChanged, this, &HistoryView::followSettings);
    connect(alerts, &ESAlertSetup::AlertDeepChanged, this, &HistoryView::followSettings);
    connect(other, &ESOtherLocalSettings::HistoryRangeChanged, this, &HistoryView::followSettings);
    connect(options, &ESOptionsSetup::ScalesDepthChanged, this, &HistoryView::followSettings);
    connect(data->localSetup()->RuntimeScreenSetupA(), &ESRuntimeScreenSetup::DepthValueChanged, this,
            &HistoryView::followSettings);
    followSettings();
}

QString HistoryView::readoutText() const
{
    return m_readout->text();
}

void HistoryView::followSettings()
{
    ESOtherLocalSettings *other = m_data->localSetup()->OtherLocalSettings();
    const DisplayUnits units = DisplayUnits::of(m_data->setup()->SetupSetup()->OptionsSetup());
    // The history's depth scale is the operator's HistoryRange choice, in the chosen unit.
    const SettingField range(other, *ClassMetadata::of(other->metaObject()).property(QStringLiteral("HistoryRange")), units);
    m_plot->setDepthUnit(units.depthUnit());
    m_plot->setDepthRange(range.choices().value(range.currentChoice(), QStringLiteral("100")).toDouble());
    m_plot->setAlarmLimits(m_data->setup()->AlertSetup()->AlarmShallow(), m_data->setup()->AlertSetup()->AlertDeep());
    m_plot->setDepthReference(m_data->localSetup()->RuntimeScreenSetupA()->DepthValue());
}
