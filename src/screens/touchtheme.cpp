#include "touchtheme.h"

#include "eslocalsetup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace TouchTheme {

namespace {

struct Colours
{
    QColor window, text, button, buttonText, base, baseText, highlight, highlightText, accent, alarm, grid, secondary;
};

Colours colours(Lighting lighting)
{
    switch (lighting) {
    case Lighting::Day:
        return {QColor(232, 234, 236), QColor(10, 12, 16),    QColor(200, 206, 214), QColor(10, 12, 16),
                QColor(255, 255, 255), QColor(0, 0, 0),       QColor(0, 90, 190),    QColor(255, 255, 255),
                QColor(0, 70, 160),    QColor(200, 0, 0),     QColor(150, 156, 164), QColor(70, 74, 80)};
    case Lighting::Dusk:
        return {QColor(28, 32, 38),    QColor(215, 218, 222), QColor(58, 64, 74),    QColor(225, 228, 232),
                QColor(12, 14, 18),    QColor(235, 235, 235), QColor(40, 110, 200),  QColor(255, 255, 255),
                QColor(120, 190, 255), QColor(255, 80, 60),   QColor(80, 86, 96),    QColor(150, 156, 164)};
    case Lighting::Night:
        break;
    }
    // Night: nothing brighter than needed, no blue, no white.
    return {QColor(0, 0, 0),       QColor(170, 110, 40),  QColor(34, 20, 6),     QColor(190, 125, 50),
            QColor(0, 0, 0),       QColor(200, 135, 55),  QColor(110, 50, 0),    QColor(230, 160, 70),
            QColor(220, 150, 60),  QColor(200, 40, 20),   QColor(60, 36, 10),    QColor(120, 80, 30)};
}

QString rgb(const QColor &c)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

}

Lighting fromPreset(int presetIndex)
{
    switch (presetIndex) {
    case 0:
        return Lighting::Day;
    case 1:
        return Lighting::Dusk;
    default:
        return Lighting::Night;
    }
}

QString name(Lighting lighting)
{
    switch (lighting) {
    case Lighting::Day:
        return QStringLiteral("Day");
    case Lighting::Dusk:
        return QStringLiteral("Dusk");
    case Lighting::Night:
        break;
    }
    return QStringLiteral("Night");
}

QPalette palette(Lighting lighting)
{
    const Colours c = colours(lighting);
    QPalette p;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, c.text);
    p.setColor(QPalette::Button, c.button);
    p.setColor(QPalette::ButtonText, c.buttonText);
    p.setColor(QPalette::Base, c.base);
    p.setColor(QPalette::Text, c.baseText);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, c.highlightText);
    p.setColor(QPalette::Link, c.accent);
    p.setColor(QPalette::BrightText, c.alarm);
    p.setColor(QPalette::Mid, c.grid);
    p.setColor(QPalette::Dark, c.secondary);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, c.grid);
    p.setColor(QPalette::Disabled, QPalette::WindowText, c.grid);
    return p;
}

QString styleSheet(Lighting lighting)
{
    const Colours c = colours(lighting);
    // Large type and large targets everywhere; pressed and checked states must be visible without
    // hovering, which a touch screen does not have.
    return QStringLiteral(
               "QWidget { color: %1; font-size: 15pt; }"
               "QPushButton { background-color: %2; color: %3; border: 2px solid %4; border-radius: 6px;"
               " min-height: %9px; min-width: %9px; padding: 4px 18px; }"
               "QPushButton:pressed { background-color: %5; color: %6; }"
               "QPushButton:checked { background-color: %5; color: %6; border-color: %6; }"
               "QPushButton:disabled { color: %4; }"
               "QLabel#title { font-size: 19pt; font-weight: bold; }"
               "QLabel#secondary { color: %7; font-size: 12pt; }"
               "QLabel#reason { color: %8; font-weight: bold; background: transparent; }"
               "QLabel#entry { background-color: %10; color: %11; border: 2px solid %4; font-size: 24pt;"
               " padding: 4px 10px; min-height: %9px; }"
               "QScrollBar:vertical { width: %9px; }"
               // The narrow bar beside the echogram keeps its labels whole with less padding.
               "#QuickControlBar QPushButton { padding: 4px 4px; }")
        .arg(rgb(c.text), rgb(c.button), rgb(c.buttonText), rgb(c.grid), rgb(c.highlight),
             rgb(c.highlightText), rgb(c.secondary), rgb(c.alarm))
        .arg(kMinTarget)
        .arg(rgb(c.base), rgb(c.baseText));
}

QColor channelColor(Lighting lighting, int channel)
{
    switch (lighting) {
    case Lighting::Day:
        return channel == 0 ? QColor(0, 80, 200) : QColor(190, 90, 0);
    case Lighting::Dusk:
        return channel == 0 ? QColor(90, 170, 255) : QColor(255, 170, 60);
    case Lighting::Night:
        break;
    }
    return channel == 0 ? QColor(200, 130, 40) : QColor(140, 120, 60);
}

QColor warningColor(Lighting lighting)
{
    return colours(lighting).alarm;
}

void apply(QWidget *root, Lighting lighting)
{
    if (!root)
        return;
    root->setPalette(palette(lighting));
    root->setAutoFillBackground(true);
    root->setStyleSheet(styleSheet(lighting));
}

}

ScreenLighting::ScreenLighting(QWidget *root, RemoteDimmingSetup *dimming, QObject *parent)
    : QObject(parent), m_root(root), m_dimming(dimming)
{
    connect(dimming, &RemoteDimmingSetup::ColorPaletteEnumChanged, this, &ScreenLighting::follow);
    follow(dimming->ColorPaletteEnum());
}

void ScreenLighting::stepLighting()
{
    const int next = (int(m_lighting) + 1) % 3;   // Day, Twilight, Night of the preset list
    m_dimming->changeValue(QStringLiteral("ColorPaletteEnum"), next);
}

void ScreenLighting::follow(int presetIndex)
{
    m_lighting = TouchTheme::fromPreset(presetIndex);
    TouchTheme::apply(m_root, m_lighting);
    emit lightingChanged(m_lighting);
}

TouchTheme::ScreenHeader TouchTheme::screenHeader(QWidget *screen, const QString &title)
{
    ScreenHeader header{new QHBoxLayout, new QPushButton(QStringLiteral("\u2039 Echogram"), screen),
                        new QLabel(title, screen)};
    header.back->setObjectName(QStringLiteral("back"));
    header.title->setObjectName(QStringLiteral("title"));
    header.layout->addWidget(header.back);
    header.layout->addSpacing(12);
    header.layout->addWidget(header.title, 1);
    return header;
}
