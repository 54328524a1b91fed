#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class ES_Alerts;

// What the buzzer must play for the alerts of the mirror: the pattern of the most urgent alert
// that is active and not yet acknowledged (emergency alarm, then alarm, then warning; cautions
// and alerts that are silenced, acknowledged, transferred or rectified make no sound).
class AlertSound : public QObject
{
    Q_OBJECT

public:
    // Beeper on and off durations in milliseconds, repeated until the sound is no longer required.
    static const QList<int> &emergencyAlarmPattern(); // fast and continuous
    static const QList<int> &alarmPattern();          // half a second on, half a second off
    static const QList<int> &warningPattern();        // two short beeps every ten seconds

    // The pattern for one alert; empty when it makes no sound.
    static QList<int> patternFor(int priority, int state);

    explicit AlertSound(ES_Alerts *mirror, QObject *parent = nullptr);

    QList<int> requiredPattern() const { return m_pattern; }
    // Which alert the pattern is for, e.g. "Alarm: Shallow Water"; empty when silent.
    QString reason() const { return m_reason; }

signals:
    // The sound changed: play this pattern from its start, or stop when it is empty.
    void soundRequired(QList<int> pattern, QString reason);

private:
    void evaluate();

    ES_Alerts *m_mirror;
    QTimer m_later;
    QList<int> m_pattern;
    QString m_reason;
};
