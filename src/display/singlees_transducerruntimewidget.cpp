#include "singlees_transducerruntimewidget.h"

#include "echogrampalettes.h"
#include "echorecord.h"
#include "esunitconverter.h"
#include "multiplees_transducersbuffer.h"
#include "unitclock.h"

#include <QPainter>
#include <QtMath>

namespace {

const QColor kBackground(14, 18, 22);
const QColor kFrame(70, 78, 86);
const QColor kText(220, 226, 232);
const QColor kDimText(150, 160, 170);
const QColor kDepthFigures(235, 240, 245);

// A round step that gives about `marks` labelled depths over the range.
double niceStep(double range, int marks)
{
    if (range <= 0.0 || marks <= 0)
        return 1.0;
    const double raw = range / marks;
    const double magnitude = qPow(10.0, qFloor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (raw <= f * magnitude)
            return f * magnitude;
    }
    return 10.0 * magnitude;
}

bool isDepthUnit(const QString &unit)
{
    return unit == QLatin1String("m") || unit == QLatin1String("ft") || unit == QLatin1String("fm");
}

} // namespace

SingleES_TransducerRuntimeWidget::SingleES_TransducerRuntimeWidget(QWidget *parent)
    : AbstractEchogramDrawingWidget(parent)
{
    setAutoFillBackground(false);
    setChannelName(QStringLiteral("CH1"));
    // The edge times move with the clock.
    connect(&m_clockTimer, &QTimer::timeout, this, [this] {
        update(QRect(0, echogramRect().bottom() + 1, width(), footerHeight() + 1));
    });
    m_clockTimer.start(1000);
}

void SingleES_TransducerRuntimeWidget::setLocalTimeShown(bool local)
{
    if (local == m_localTime)
        return;
    m_localTime = local;
    update();
}

QString SingleES_TransducerRuntimeWidget::edgeTimeText(int seconds_before_now) const
{
    const UnitClock &clock = UnitClock::instance();
    const QDateTime now = m_localTime ? clock.currentDateTimeLocal() : clock.currentDateTimeUtc();
    // Seconds matter only while the picture spans minutes.
    const QString format = timeScaleInMinutes() <= 15 ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm");
    return now.addSecs(-seconds_before_now).toString(format)
           + (m_localTime ? QStringLiteral(" LT") : QStringLiteral(" UTC"));
}

QString SingleES_TransducerRuntimeWidget::leftEdgeTimeText() const
{
    return edgeTimeText(timeScaleInMinutes() * 60);
}

QString SingleES_TransducerRuntimeWidget::rightEdgeTimeText() const
{
    return edgeTimeText(0);
}

void SingleES_TransducerRuntimeWidget::slotColorChanged(QString color)
{
    const int index = EchogramPaletteStore::paletteIndexForName(color);
    if (index < 0)
        return;
    m_paletteIndex = index;
    const EchogramPalette &palette = EchogramPaletteStore::instance().palette(index);
    setColorTable(palette.colorTable());
    setInactiveColor(palette.inactiveColor());
    setDepthLineColor(EchogramPaletteStore::depthLineColorForIndex(index));
    update();
}

void SingleES_TransducerRuntimeWidget::setCurrentDepth(double depth_in_metres, bool valid)
{
    m_depth = depth_in_metres;
    m_depthValid = valid && depth_in_metres != double(EchoRecordInfo::kNoDepth)
                   && qIsFinite(depth_in_metres);
    update(QRect(0, 0, width(), headerHeight()));
}

void SingleES_TransducerRuntimeWidget::setCurrentDepth(double depth_in_metres)
{
    setCurrentDepth(depth_in_metres, true);
}

void SingleES_TransducerRuntimeWidget::setDepthUnit(QString unit)
{
    if (!isDepthUnit(unit) || unit == m_depthUnit)
        return;
    m_depthUnit = unit;
    update();
}

void SingleES_TransducerRuntimeWidget::setChannelName(QString name)
{
    m_channelName = name;
    update();
}

double SingleES_TransducerRuntimeWidget::toShownUnit(double metres) const
{
    return ESUnitConverter::convertDepth(float(metres), QStringLiteral("m"), m_depthUnit);
}

QString SingleES_TransducerRuntimeWidget::depthText() const
{
    if (!m_depthValid)
        return QStringLiteral("---");
    const double shown = toShownUnit(m_depth);
    // Shallow water gets the decimal that matters for keeping off the ground.
    return QString::number(shown, 'f', shown < 100.0 ? 1 : 0);
}

QString SingleES_TransducerRuntimeWidget::timeRangeText() const
{
    return MultipleES_TransducersBuffer::timeRangeName(timeScaleInMinutes());
}

QVector<double> SingleES_TransducerRuntimeWidget::depthScaleMarks() const
{
    QVector<double> marks;
    const double range = toShownUnit(depthRangeInDefaultUnit());
    const double step = niceStep(range, 5);
    for (double d = 0.0; d <= range + step * 1e-6; d += step)
        marks.append(d);
    return marks;
}

int SingleES_TransducerRuntimeWidget::headerHeight() const { return qMax(60, height() / 6); }
int SingleES_TransducerRuntimeWidget::scaleWidth() const { return qMax(44, width() / 12); }
int SingleES_TransducerRuntimeWidget::footerHeight() const { return qMax(22, height() / 28); }

QRect SingleES_TransducerRuntimeWidget::echogramRect() const
{
    return QRect(0, headerHeight(), qMax(1, width() - scaleWidth()),
                 qMax(1, height() - headerHeight() - footerHeight()));
}

void SingleES_TransducerRuntimeWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    paintEchogram(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintHeader(painter);
    paintScale(painter);
    paintFooter(painter);
    // The frame goes round the echogram, never over its edge columns and rows: the newest
    // column is the rightmost one.
    painter.setPen(kFrame);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawRect(echogramRect().adjusted(-1, -1, 0, 0));
}

void SingleES_TransducerRuntimeWidget::paintHeader(QPainter &painter)
{
    const QRect header(0, 0, width(), headerHeight());
    QFont small = font();
    small.setPixelSize(qMax(12, header.height() / 4));
    small.setBold(true);
    painter.setFont(small);
    painter.setPen(kDimText);
    painter.drawText(header.adjusted(10, 4, -10, -4), Qt::AlignLeft | Qt::AlignTop, m_channelName);

    QFont big = font();
    big.setPixelSize(qMax(24, int(header.height() * 0.8)));
    big.setBold(true);
    const QFontMetrics bigMetrics(big);
    const QFont unitFont = small;
    const QFontMetrics unitMetrics(unitFont);
    const QString figures = depthText();
    const int unitWidth = unitMetrics.horizontalAdvance(m_depthUnit) + 8;
    const int figuresRight = header.right() - 10 - unitWidth;
    const int baseline = header.top() + (header.height() + bigMetrics.ascent() - bigMetrics.descent()) / 2;

    painter.setFont(big);
    painter.setPen(m_depthValid ? kDepthFigures : kDimText);
    painter.drawText(figuresRight - bigMetrics.horizontalAdvance(figures), baseline, figures);
    painter.setFont(unitFont);
    painter.setPen(kDimText);
    painter.drawText(figuresRight + 8, baseline, m_depthUnit);
}

void SingleES_TransducerRuntimeWidget::paintScale(QPainter &painter)
{
    const QRect echo = echogramRect();
    const QRect scale(echo.right() + 1, echo.top(), width() - echo.right() - 1, echo.height());
    const double range = toShownUnit(depthRangeInDefaultUnit());
    if (range <= 0.0)
        return;
    QFont f = font();
    f.setPixelSize(qBound(11, scale.width() / 3, 20));
    painter.setFont(f);
    const QFontMetrics fm(f);
    const double step = niceStep(range, 5);
    const int decimals = step < 1.0 ? 1 : 0;
    for (double d : depthScaleMarks()) {
        const int y = echo.top() + viewRowOfCanvasRow(pixelOffset()) + int(d / range * echo.height());
        if (y < echo.top() || y > echo.bottom() + 1)
            continue;
        // Ticks on whole pixels, right of the frame: never blended into the newest column.
        painter.setPen(kFrame);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawLine(scale.left() + 1, y, scale.left() + 6, y);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(kText);
        const QString label = QString::number(d, 'f', decimals);
        const int ty = qBound(echo.top() + fm.ascent(), y + fm.ascent() / 2, echo.bottom());
        painter.drawText(scale.left() + 9, ty, label);
    }
    painter.setPen(kDimText);
    painter.drawText(QRect(scale.left(), echo.bottom() + 1, scale.width(), footerHeight()),
                     Qt::AlignHCenter | Qt::AlignVCenter, m_depthUnit);
}

void SingleES_TransducerRuntimeWidget::paintFooter(QPainter &painter)
{
    const QRect echo = echogramRect();
    const QRect footer(0, echo.bottom() + 1, echo.width(), height() - echo.bottom() - 1);
    QFont f = font();
    f.setPixelSize(qBound(11, footer.height() * 2 / 3, 18));
    painter.setFont(f);
    painter.setPen(kDimText);
    painter.drawText(footer.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, leftEdgeTimeText());
    painter.drawText(footer.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, rightEdgeTimeText());
    painter.setPen(kText);
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("\u2190 %1 \u2192  %2 %3")
                         .arg(timeRangeText(),
                              QString::number(toShownUnit(depthRangeInDefaultUnit()), 'f', 0),
                              m_depthUnit));
}
