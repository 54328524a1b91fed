#include "echogramprinter.h"

#include "echogramrenderer.h"
#include "esunitconverter.h"
#include "singlees_transducerruntimewidget.h"

#include <QPainter>
#include <QPrinter>

EchogramPrinter::Sheet EchogramPrinter::Sheet::of(const SingleES_TransducerRuntimeWidget *view, const QDateTime &end)
{
    Sheet s;
    s.buffer = view->currentBuffer();
    s.channelName = view->channelName();
    s.depthRangeMetres = view->depthRangeInDefaultUnit();
    s.timeRangeMinutes = view->timeScaleInMinutes();
    s.depthUnit = view->depthUnit();
    s.colorTable = view->colorTable();
    s.inactiveColor = view->inactiveColor();
    s.depthLineColor = view->depthLineColor();
    s.end = end;
    return s;
}

QImage EchogramPrinter::render(const Sheet &sheet, int rows)
{
    if (!sheet.buffer)
        return QImage();
    // The renderer is used here in the calling thread: the same drawing as on screen, at the size
    // of the paper rather than of the window.
    EchogramRenderer renderer;
    renderer.setCanvasWidth(qMax(1, sheet.buffer->columnsAcross()));
    renderer.setCanvasHeight(qMax(1, rows));
    renderer.setDepthRangeInDefaultUnit(sheet.depthRangeMetres);
    renderer.setTimeScaleInMinutes(sheet.timeRangeMinutes);
    renderer.setDepthLineWidth(2);
    renderer.setInactiveColor(sheet.inactiveColor);
    renderer.setDepthLineColor(sheet.depthLineColor);
    if (sheet.colorTable.size() == 256)
        renderer.setColorTable(sheet.colorTable);
    QImage image;
    QObject::connect(&renderer, &EchogramRenderer::renderedImage, [&image](const QImage &i) { image = i; });
    renderer.getImageFromInternalBuffer(sheet.buffer);
    return image;
}

void EchogramPrinter::drawPage(QPainter &p, const QRect &page, const Sheet &sheet, const QImage &echogram)
{
    const double unitPerMetre = ESUnitConverter::convertDepth(1.0f, 0, ESUnitConverter::depthEnumFromString(sheet.depthUnit));
    const double shownRange = sheet.depthRangeMetres * unitPerMetre;
    const int line = qMax(12, page.height() / 50);
    QFont font = p.font();
    font.setPixelSize(line);
    p.setFont(font);
    p.setPen(Qt::black);

    // Title: channel, range, time span and date.
    const QDateTime start = sheet.end.addSecs(-qint64(sheet.timeRangeMinutes) * 60);
    const QRect title(page.left(), page.top(), page.width(), line * 2);
    p.drawText(title, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("KVE 420 echogram   %1   Range %2 %3   %4 min")
                   .arg(sheet.channelName)
                   .arg(shownRange, 0, 'f', shownRange < 20 ? 1 : 0)
                   .arg(sheet.depthUnit)
                   .arg(sheet.timeRangeMinutes));
    p.drawText(title, Qt::AlignRight | Qt::AlignVCenter, sheet.end.toUTC().toString(QStringLiteral("yyyy-MM-dd 'UTC'")));

    const QRect area(page.left(), title.bottom() + line, page.width() - line * 5, page.height() - title.height() - line * 5);
    if (!echogram.isNull())
        p.drawImage(area, echogram);
    p.drawRect(area);

    // Depth scale along the right edge.
    const double steps[] = {1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000};
    double step = steps[0];
    for (double s : steps) {
        step = s;
        if (shownRange / s <= 10)
            break;
    }
    // The unit goes with the surface label: above it there is the title, not room.
    for (double d = 0; d <= shownRange + 1e-9; d += step) {
        const int y = area.top() + int(d / shownRange * area.height());
        p.drawLine(area.right(), y, area.right() + line / 2, y);
        p.drawText(QRect(area.right() + line, y - line, line * 4, line * 2), Qt::AlignLeft | Qt::AlignVCenter,
                   d == 0 ? QStringLiteral("0 %1").arg(sheet.depthUnit) : QString::number(d));
    }

    // Time axis below: a tick at each fifth of the span, labelled with the time of day.
    for (int i = 0; i <= 5; ++i) {
        const int x = area.left() + i * area.width() / 5;
        const QDateTime t = start.addSecs(qint64(sheet.timeRangeMinutes) * 60 * i / 5);
        p.drawLine(x, area.bottom(), x, area.bottom() + line / 2);
        const Qt::Alignment side = i == 0 ? Qt::AlignLeft : i == 5 ? Qt::AlignRight : Qt::AlignHCenter;
        const QRect box = i == 0 ? QRect(x, area.bottom() + line, line * 8, line * 2)
                          : i == 5 ? QRect(x - line * 8, area.bottom() + line, line * 8, line * 2)
                                   : QRect(x - line * 4, area.bottom() + line, line * 8, line * 2);
        p.drawText(box, side | Qt::AlignTop,
                   t.toUTC().toString(QStringLiteral("hh:mm:ss")));
    }
}

bool EchogramPrinter::print(QPrinter *printer, const QList<Sheet> &sheets, QString *error)
{
    QPainter painter;
    if (!painter.begin(printer)) {
        if (error)
            *error = QStringLiteral("the printer could not be opened");
        return false;
    }
    for (int i = 0; i < sheets.size(); ++i) {
        if (i > 0)
            printer->newPage();
        const QRect page = painter.viewport();
        // Rows for the paper's height: fine enough, without a huge image.
        const QImage echogram = render(sheets.at(i), qBound(200, page.height() / 2, 1600));
        drawPage(painter, page, sheets.at(i), echogram);
    }
    painter.end();
    return true;
}
