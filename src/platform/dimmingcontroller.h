#pragma once

#include <QObject>
#include <QString>

// The display backlight. The value 0..255 goes to the panel through the kernel's backlight file;
// where the unit has no such file (a desktop) the value is only kept.
class DimmingController : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinBrightness = 0;
    static constexpr int MaxBrightness = 255;
    static constexpr int InitialBrightness = 128;

    explicit DimmingController(QObject *parent = nullptr);

    // Sets the start brightness and applies it; false only when the panel exists but refuses it.
    bool init();

    // The shell command that applies a value to the panel.
    static QString backlightCommand(int value);
    static QString backlightFilePath();

    // The brightness on the panel now.
    int brightness() const { return m_brightness; }

public slots:
    // The brightness chosen for the panel (clamped to 0..255); while an alarm holds the panel at
    // full brightness it is kept for afterwards.
    void setBrightness(int dimming);
    // An alarm that waits for the operator raises the panel to full brightness; once none waits
    // the chosen brightness goes back.
    void raiseForAlarm(bool alarm_active);

private:
    void show(int value);
    bool apply(int value) const;

    int m_brightness = InitialBrightness;
    int m_chosen = InitialBrightness;
    bool m_raised = false;
};
