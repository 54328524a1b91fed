#include "alerticonpainter.h"

#include "alertvocabulary.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

const QColor alarmRed(220, 30, 30);
const QColor warningAmber(245, 160, 20);
const QColor mark(255, 255, 255);

struct IconKind
{
    int group = -1; // AlertVocabulary::Alarm or Warning for the state icons
    int state = -1;
};

IconKind kindOf(const QString &path)
{
    for (int group : {int(AlertVocabulary::Alarm), int(AlertVocabulary::Warning)}) {
        for (int state = AlertVocabulary::ActiveUnacknowledged; state < AlertVocabulary::Normal; ++state) {
            if (AlertVocabulary::iconPath(group, state) == path)
                return {group, state};
        }
    }
    return {};
}

QPainterPath groupShape(int group, const QRectF &r)
{
    QPainterPath shape;
    if (group == AlertVocabulary::Alarm) {
        shape.addEllipse(r);
    } else {
        shape.addPolygon(QPolygonF({QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()}));
        shape.closeSubpath();
    }
    return shape;
}

void drawExclamation(QPainter &p, const QRectF &r, qreal pen)
{
    p.setPen(QPen(mark, pen, Qt::SolidLine, Qt::RoundCap));
    const qreal x = r.center().x();
    p.drawLine(QPointF(x, r.top() + r.height() * 0.35), QPointF(x, r.top() + r.height() * 0.68));
    p.drawPoint(QPointF(x, r.top() + r.height() * 0.82));
}

void drawStateIcon(QPainter &p, const IconKind &kind, int size)
{
    const qreal m = size * 0.06;
    const QRectF r(m, m, size - 2 * m, size - 2 * m);
    const QColor base = kind.group == AlertVocabulary::Alarm ? alarmRed : warningAmber;
    const QPainterPath shape = groupShape(kind.group, r);
    const qreal pen = qMax<qreal>(1.5, size * 0.1);

    switch (kind.state) {
    case AlertVocabulary::ActiveUnacknowledged:
        p.fillPath(shape, base);
        drawExclamation(p, r, pen);
        break;
    case AlertVocabulary::ActiveSilenced:
        p.fillPath(shape, base);
        drawExclamation(p, r, pen);
        p.setPen(QPen(Qt::black, pen * 0.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.topLeft() + QPointF(m, m), r.bottomRight() - QPointF(m, m));
        break;
    case AlertVocabulary::ActiveAcknowledged:
        // Still active but seen: outline only.
        p.fillPath(shape, QColor(40, 40, 40));
        p.strokePath(shape, QPen(base, pen * 0.6));
        p.setPen(QPen(base, pen, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.center().x(), r.top() + r.height() * 0.35),
                   QPointF(r.center().x(), r.top() + r.height() * 0.68));
        p.drawPoint(QPointF(r.center().x(), r.top() + r.height() * 0.82));
        break;
    case AlertVocabulary::ActiveResponsibilityTransferred: {
        p.fillPath(shape, base);
        p.setPen(QPen(mark, pen * 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const qreal y = r.top() + r.height() * 0.62;
        p.drawLine(QPointF(r.left() + r.width() * 0.28, y), QPointF(r.right() - r.width() * 0.28, y));
        p.drawPolyline(QPolygonF({QPointF(r.right() - r.width() * 0.40, y - r.height() * 0.12),
                                  QPointF(r.right() - r.width() * 0.28, y),
                                  QPointF(r.right() - r.width() * 0.40, y + r.height() * 0.12)}));
        break;
    }
    case AlertVocabulary::RectifiedUnacknowledged:
        p.fillPath(shape, base);
        p.setPen(QPen(mark, pen * 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(r.left() + r.width() * 0.30, r.top() + r.height() * 0.62),
                                  QPointF(r.left() + r.width() * 0.45, r.top() + r.height() * 0.76),
                                  QPointF(r.left() + r.width() * 0.70, r.top() + r.height() * 0.44)}));
        break;
    default:
        break;
    }
}

void drawMute(QPainter &p, int size)
{
    const qreal s = size;
    QPolygonF speaker({QPointF(s * 0.12, s * 0.38), QPointF(s * 0.30, s * 0.38), QPointF(s * 0.52, s * 0.18),
                       QPointF(s * 0.52, s * 0.82), QPointF(s * 0.30, s * 0.62), QPointF(s * 0.12, s * 0.62)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 230));
    p.drawPolygon(speaker);
    p.setPen(QPen(alarmRed, qMax<qreal>(1.5, s * 0.08), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.62, s * 0.36), QPointF(s * 0.88, s * 0.64));
    p.drawLine(QPointF(s * 0.62, s * 0.64), QPointF(s * 0.88, s * 0.36));
}

void drawSimulator(QPainter &p, int size)
{
    const QRectF r(size * 0.06, size * 0.22, size * 0.88, size * 0.56);
    p.setPen(QPen(QColor(80, 200, 255), qMax<qreal>(1.0, size * 0.05)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, size * 0.08, size * 0.08);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(6, int(size * 0.32)));
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("SIM"));
}

void drawArrow(QPainter &p, int size, bool up)
{
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 230));
    if (up)
        p.drawPolygon(QPolygonF({QPointF(s * 0.5, s * 0.2), QPointF(s * 0.85, s * 0.75), QPointF(s * 0.15, s * 0.75)}));
    else
        p.drawPolygon(QPolygonF({QPointF(s * 0.15, s * 0.25), QPointF(s * 0.85, s * 0.25), QPointF(s * 0.5, s * 0.8)}));
}

} // namespace

bool AlertIconPainter::isKnownIcon(const QString &path)
{
    return kindOf(path).group >= 0 || path == AlertVocabulary::muteIconPath()
           || path == AlertVocabulary::simulatorIconPath() || path == AlertVocabulary::arrowUpIconPath()
           || path == AlertVocabulary::arrowDownIconPath();
}

QPixmap AlertIconPainter::pixmap(const QString &path, int size)
{
    if (size <= 0 || !isKnownIcon(path))
        return QPixmap();
    const QString key = path + QLatin1Char('@') + QString::number(size);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd())
        return *it;
    const QPixmap drawn = draw(path, size);
    m_cache.insert(key, drawn);
    return drawn;
}

QPixmap AlertIconPainter::draw(const QString &path, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const IconKind kind = kindOf(path);
    if (kind.group >= 0)
        drawStateIcon(p, kind, size);
    else if (path == AlertVocabulary::muteIconPath())
        drawMute(p, size);
    else if (path == AlertVocabulary::simulatorIconPath())
        drawSimulator(p, size);
    else
        drawArrow(p, size, path == AlertVocabulary::arrowUpIconPath());
    return pm;
}
