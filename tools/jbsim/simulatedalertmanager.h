#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class ES_Alerts;
class ESAlertSetup;
class SerializableAlertInfo;

// The alert management of a simulated junction box: from the simulated depth, the bottom-lost flag
// and the limits AlarmShallow and AlertDeep it runs the nine alerts through their states, takes the
// acknowledgements the display sends in AckFromDisplay, and asks for the alert data to be published
// whenever a state changed.
class SimulatedAlertManager : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedAlertManager(QObject *parent = nullptr);

    // The junction box's own alert objects; their complete text is what the display mirrors.
    ES_Alerts *alerts() const { return m_alerts; }
    QString completeText() const;

    // Limits in metres; AlertDeep 0 means the deep-water alert is off.
    void setAlarmShallow(double metres);
    void setAlertDeep(double metres);
    double alarmShallow() const { return m_alarmShallow; }
    double alertDeep() const { return m_alertDeep; }
    // An alert left unacknowledged this long escalates: its escalation counter rises and a warning
    // of the kind "WarningToAlarm" becomes an alarm.
    void setEscalationSeconds(int seconds) { m_escalationSeconds = qMax(1, seconds); }
    int escalationSeconds() const { return m_escalationSeconds; }
    // Takes both limits and the escalation time from the alert settings now and whenever they change.
    void followAlertSetup(ESAlertSetup *setup);

    // Condition of any of the nine alerts by child name ("AlertSensorComms", "AlertTest", ...).
    // False for an unknown name, which changes nothing.
    bool setCondition(const QString &alertName, bool active);
    bool condition(const QString &alertName) const { return m_conditions.value(alertName, false); }
    // State of an alert by child name; -1 for an unknown name.
    int state(const QString &alertName) const;

signals:
    // Alert states changed: send this complete text to the display.
    void publishRequested(const QString &completeText);

public slots:
    // One simulated ping. Depths below 0 (-100 for none) or not finite are no depth.
    void updateDepth(double depthMetres, bool bottomLost);
    // One second passed (escalation of unacknowledged alerts).
    void tick();
    // Acknowledges the alert with this text; true when a state changed.
    bool acknowledge(const QString &alertText);
    // A text from the display with the type tag "Type_Alert": only a change of AckFromDisplay is
    // taken; the display does not set the junction box's alert states.
    void deserializeData(const QString &text);

private:
    void evaluate();
    bool applyCondition(SerializableAlertInfo *alert, bool active);
    void setState(SerializableAlertInfo *alert, int state, const QString &source);
    void publishIfChanged();

    ES_Alerts *m_alerts;
    QPointer<ESAlertSetup> m_setup;
    QHash<QString, bool> m_conditions;
    QHash<QString, int> m_unacknowledgedSeconds;
    int m_escalationSeconds = 240;
    double m_alarmShallow = 10.0;
    double m_alertDeep = 0.0;
    double m_depth = -100.0;
    bool m_bottomLost = false;
    bool m_changed = false;
};
