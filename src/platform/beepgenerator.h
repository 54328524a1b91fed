#pragma once

#include <QList>
#include <QObject>

class QTimer;

// Plays a beep pattern: the output toggles after each duration of the pattern in turn, for ever,
// until stopped. The output state goes to whoever drives the beeper.
class BeepGenerator : public QObject
{
    Q_OBJECT
public:
    explicit BeepGenerator(QObject *parent = nullptr);

    // Durations in milliseconds. An equal pattern changes nothing; after a new one the next start
    // begins again from its first step, even while running.
    void setPattern(const QList<int> &durationsMsecs);
    QList<int> pattern() const { return m_pattern; }

    bool isRunning() const { return m_running; }
    bool outputState() const { return m_state; }

public slots:
    void startBeepFuction(bool starting_state);
    void stopBeepFuction();

signals:
    void beepStateChanged(bool new_state);

private slots:
    void beepTimerTimeout();

private:
    void startTimerFor(int index);

    QTimer *m_timer;
    bool m_state = false;
    bool m_running = false;
    bool m_patternChanged = false;
    int m_index = 0;
    QList<int> m_pattern;
};
