#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class AudioTone;
class BeepGenerator;

// The unit's buzzer: plays the pattern an alert requires for as long as it is required, and a short
// beep for a touch of the screen while no pattern sounds. The sound comes from the host's sound
// output; where there is none, every change of the buzzer is written as a debug line ("Buzzer on",
// "Buzzer off"), so that what the operator would hear can still be followed.
class Buzzer : public QObject
{
    Q_OBJECT
public:
    static constexpr int TouchBeepMsecs = 40;

    // generator: the pattern player whose output this buzzer sounds.
    explicit Buzzer(BeepGenerator *generator, QObject *parent = nullptr);
    ~Buzzer() override;

    bool hasSoundOutput() const { return m_tone != nullptr; }
    bool isOn() const { return m_on; }

public slots:
    // Plays a pattern (on and off durations in milliseconds) from its start; an empty one stops.
    void playPattern(QList<int> pattern, QString reason);
    void touchBeep();

private:
    void setOn(bool on);

    BeepGenerator *m_generator;
    std::unique_ptr<AudioTone> m_tone;
    QTimer m_touch;
    bool m_on = false;
};
