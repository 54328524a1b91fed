#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <QVector>

class EchosounderDataBuffer;
class QPainter;
class QPrinter;
class SingleES_TransducerRuntimeWidget;

// A printout of echograms: each channel's picture drawn afresh from its buffer by the echogram
// renderer, at one column per time slice, with its depth scale, time axis, range and date.
class EchogramPrinter
{
public:
    struct Sheet
    {
        EchosounderDataBuffer *buffer = nullptr;
        QString channelName;
        float depthRangeMetres = 100.0f;
        int timeRangeMinutes = 15;
        QString depthUnit = QStringLiteral("m");
        QVector<QRgb> colorTable;
        QColor inactiveColor = QColor(255, 255, 255);
        QColor depthLineColor = QColor(0, 0, 0);
        QDateTime end;   // time of the right edge (UTC)

        // What the runtime view of a channel shows now.
        static Sheet of(const SingleES_TransducerRuntimeWidget *view, const QDateTime &end);
    };

    // The echogram of a sheet as the renderer draws it, `rows` high.
    static QImage render(const Sheet &sheet, int rows);
    // One page per sheet. False (with the reason) when the printer cannot be opened.
    static bool print(QPrinter *printer, const QList<Sheet> &sheets, QString *error = nullptr);
    static void drawPage(QPainter &painter, const QRect &page, const Sheet &sheet, const QImage &echogram);
};
