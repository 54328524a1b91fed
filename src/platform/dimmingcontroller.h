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

public slots:
    int brightness() const { return m_brightness; }
    void setBrightness(int dimming);
    void increaseBrightness(int delta);
    void decreaseBrightness(int delta);
    void increaseBrightness() { increaseBrightness(1); }
    void decreaseBrightness() { decreaseBrightness(1); }
    // An alarm that waits for the operator raises the panel to full brightness; once none waits
    // the brightness in use before goes back.
    void raiseForAlarm(bool alarm_active);

signals:
    void brightnessChanged(int brightness);

private:
    bool apply(int value) const;

    int m_brightness = InitialBrightness;
    bool m_raised = false;
    int m_beforeAlarm = InitialBrightness;
};
