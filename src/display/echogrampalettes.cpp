#include "echogrampalettes.h"

#include <QDebug>

namespace {

using Stop = EchogramPalette::Stop;

struct PaletteEntry
{
    QVector<Stop> stops;
    Stop inactive;
};

// Weakest echo first. The repeated first stops keep weak returns and noise in the background.
const QVector<PaletteEntry> &paletteTable()
{
    static const QVector<PaletteEntry> table{
        {{{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {0, 80, 64}, {0, 120, 40},
          {40, 160, 0}, {120, 200, 0}, {200, 200, 0}, {240, 240, 0}, {252, 200, 0},
          {224, 120, 0}, {180, 80, 0}, {160, 0, 20}, {120, 0, 40}, {80, 0, 20}, {40, 0, 0}},
         {255, 255, 255}},
        {{{40, 120, 252}, {40, 120, 252}, {40, 120, 252}, {0, 80, 168}, {0, 40, 160}, {0, 0, 128},
          {0, 80, 64}, {0, 120, 40}, {40, 160, 0}, {120, 200, 0}, {200, 200, 0}, {240, 240, 0},
          {252, 200, 0}, {224, 120, 0}, {180, 80, 0}, {160, 0, 20}, {120, 0, 40}, {80, 0, 20},
          {40, 0, 0}},
         {41, 110, 253}},
        {{{0, 0, 0}, {0, 0, 0}, {100, 50, 0}, {125, 60, 0}, {153, 76, 0}, {255, 128, 0}},
         {25, 25, 25}},
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {47, 79, 2}, {79, 111, 4}, {103, 135, 8}, {114, 146, 10},
          {159, 191, 16}, {163, 195, 19}, {207, 239, 24}},
         {25, 25, 25}},
        {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {45, 88, 94}, {60, 112, 122}, {85, 138, 150},
          {90, 162, 178}, {105, 188, 206}, {120, 214, 234}, {135, 240, 255}},
         {25, 25, 25}},
    };
    return table;
}

} // namespace

EchogramPalette::EchogramPalette(const QVector<Stop> &stops, QColor inactive)
{
    buildTable(stops);
    setInactiveColor(inactive);
}

void EchogramPalette::buildTable(const QVector<Stop> &stops)
{
    if (stops.isEmpty()) {
        qDebug() << "EchogramPalette without colour stops";
        throw "EchogramPalette: a palette needs at least one colour stop";
    }
    const int n = stops.size();
    m_table.resize(256);
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        int hiIndex = -1;
        for (int k = 0; k < n; ++k) {
            if (double(k) / n > t) {
                hiIndex = k;
                break;
            }
        }
        if (hiIndex < 0) {
            const Stop &last = stops.last();
            m_table[i] = qRgb(last.r, last.g, last.b);
            continue;
        }
        // Position 0 is never greater than t, so a stop above t always has one below it.
        const Stop &lo = stops[hiIndex - 1];
        const Stop &hi = stops[hiIndex];
        const double loPos = double(hiIndex - 1) / n;
        const double hiPos = double(hiIndex) / n;
        const double f = (t - loPos) / (hiPos - loPos);
        m_table[i] = qRgb(int(hi.r * f + lo.r * (1 - f)), int(hi.g * f + lo.g * (1 - f)),
                          int(hi.b * f + lo.b * (1 - f)));
    }
}

void EchogramPalette::setInactiveColor(QColor inactive)
{
    m_inactive = inactive;
    m_table[255] = inactive.rgb();
}

EchogramPaletteStore::EchogramPaletteStore()
{
    for (const PaletteEntry &e : paletteTable())
        m_palettes.append(EchogramPalette(e.stops, QColor(e.inactive.r, e.inactive.g, e.inactive.b)));
}

const EchogramPaletteStore &EchogramPaletteStore::instance()
{
    static const EchogramPaletteStore store;
    return store;
}

const EchogramPalette &EchogramPaletteStore::palette(int index) const
{
    if (index < 0 || index >= m_palettes.size()) {
        qDebug() << "EchogramPaletteStore palette index out of range: " << index;
        throw "EchogramPaletteStore: palette index out of range";
    }
    return m_palettes[index];
}

int EchogramPaletteStore::paletteIndexForName(const QString &name)
{
    static const QStringList names{QStringLiteral("Brown"), QStringLiteral("Orange"),
                                   QStringLiteral("Yellow"), QStringLiteral("Grey")};
    return names.indexOf(name);
}

QColor EchogramPaletteStore::depthLineColorForIndex(int index)
{
    return index == 0 ? QColor(Qt::black) : QColor(128, 128, 128);
}
