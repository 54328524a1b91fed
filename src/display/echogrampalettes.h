#pragma once

#include <QColor>
#include <QRgb>
#include <QVector>

// One echogram colour theme: the colour of every sample byte value and the colour of areas
// without data. Entry 255 always carries the inactive colour, so "no data" samples blend in.
class EchogramPalette
{
public:
    struct Stop
    {
        int r, g, b;
    };

    // Stops are spread evenly from the weakest echo (position 0) upward: k / N.
    EchogramPalette(const QVector<Stop> &stops, QColor inactive);

    const QVector<QRgb> &colorTable() const { return m_table; }
    QColor inactiveColor() const { return m_inactive; }

private:
    void buildTable(const QVector<Stop> &stops);
    void setInactiveColor(QColor inactive);

    QVector<QRgb> m_table;
    QColor m_inactive;
};

// The five palettes of the echogram, built once on first use (index 0 to 4), and the choice of
// palette and depth-line colour by the colour names of the runtime screen settings.
class EchogramPaletteStore
{
public:
    static const EchogramPaletteStore &instance();

    int count() const { return m_palettes.size(); }
    // Index outside 0..count-1 is a programming error.
    const EchogramPalette &palette(int index) const;

    // "Brown" 0, "Orange" 1, "Yellow" 2, "Grey" 3; -1 for any other name.
    static int paletteIndexForName(const QString &name);
    // Black on the brown palette, grey on the others.
    static QColor depthLineColorForIndex(int index);

private:
    EchogramPaletteStore();
    QVector<EchogramPalette> m_palettes;
};
