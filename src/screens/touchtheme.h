#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;
class RemoteDimmingSetup;

// The colours and sizes of the operator screens. Everything the operator touches is at least
// kMinTarget pixels in both directions, so that it can be hit with gloves on a moving ship; the
// three lightings keep the screens readable in sunlight, at dusk and at night (dim, warm text on
// black, so the officer's night vision is kept).
namespace TouchTheme {

constexpr int kMinTarget = 48;
constexpr int kButtonHeight = 56;
constexpr int kRowHeight = 60;

enum class Lighting { Day, Dusk, Night };

// The lighting of a dimming preset choice: Day, Twilight, Night, Off (Off keeps the night colours).
Lighting fromPreset(int presetIndex);
QString name(Lighting lighting);

// Window, text, button face, button text, highlight, accent (values), warning and alarm colours,
// all through QPalette roles so that custom-painted screens follow the lighting:
// Window/WindowText, Button/ButtonText, Base/Text (editor fields), Highlight/HighlightedText,
// Link (accent), BrightText (alarm), Mid (grid lines), Dark (secondary text).
QPalette palette(Lighting lighting);
QString styleSheet(Lighting lighting);
// Colours of the two channels in plots.
QColor channelColor(Lighting lighting, int channel);
QColor warningColor(Lighting lighting);

void apply(QWidget *root, Lighting lighting);

// The top line of an operator screen: the way back to the echogram, then the screen's title. The
// caller adds what else the line holds and puts the layout in place.
struct ScreenHeader
{
    QHBoxLayout *layout;
    QPushButton *back;
    QLabel *title;
};
ScreenHeader screenHeader(QWidget *screen, const QString &title);

}

// Keeps the operator screens in the lighting the operator chose (ColorPaletteEnum of the display's
// dimming setup).
class ScreenLighting : public QObject
{
    Q_OBJECT
public:
    ScreenLighting(QWidget *root, RemoteDimmingSetup *dimming, QObject *parent = nullptr);

    TouchTheme::Lighting lighting() const { return m_lighting; }
    // Day, dusk, night, day ...: changes the setting, which is saved like any other change.
    void stepLighting();

signals:
    void lightingChanged(TouchTheme::Lighting lighting);

private:
    void follow(int presetIndex);

    QPointer<QWidget> m_root;
    RemoteDimmingSetup *m_dimming;
    TouchTheme::Lighting m_lighting = TouchTheme::Lighting::Day;
};
