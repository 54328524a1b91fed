#include "alertsound.h"

#include "alertvocabulary.h"
#include "esalerts.h"

namespace {

// Higher is more urgent.
int urgency(int priority)
{
    switch (priority) {
    case AlertVocabulary::EmergencyAlarm:
        return 3;
    case AlertVocabulary::Alarm:
        return 2;
    case AlertVocabulary::Warning:
        return 1;
    default:
        return 0;
    }
}

} // namespace

const QList<int> &AlertSound::emergencyAlarmPattern()
{
    static const QList<int> pattern = {200, 200};
    return pattern;
}

const QList<int> &AlertSound::alarmPattern()
{
    static const QList<int> pattern = {500, 500};
    return pattern;
}

const QList<int> &AlertSound::warningPattern()
{
    static const QList<int> pattern = {150, 150, 150, 9550};
    return pattern;
}

QList<int> AlertSound::patternFor(int priority, int state)
{
    if (state != AlertVocabulary::ActiveUnacknowledged)
        return {};
    switch (priority) {
    case AlertVocabulary::EmergencyAlarm:
        return emergencyAlarmPattern();
    case AlertVocabulary::Alarm:
        return alarmPattern();
    case AlertVocabulary::Warning:
        return warningPattern();
    default:
        return {};
    }
}

AlertSound::AlertSound(ES_Alerts *mirror, QObject *parent) : QObject(parent), m_mirror(mirror)
{
    // Several properties of several alerts change at once; one look afterwards is enough.
    m_later.setSingleShot(true);
    m_later.setInterval(0);
    connect(&m_later, &QTimer::timeout, this, &AlertSound::evaluate);
    if (!mirror)
        return;
    connect(mirror, &ES_Alerts::dataReceivedFromCommunication, this, &AlertSound::evaluate);
    for (SerializableAlertInfo *alert : mirror->alerts()) {
        auto later = [this] { m_later.start(); };
        connect(alert, &SerializableAlertInfo::AlertStateChanged, this, later);
        connect(alert, &SerializableAlertInfo::AlertPriorityChanged, this, later);
    }
    evaluate();
}

void AlertSound::evaluate()
{
    m_later.stop();
    QList<int> pattern;
    QString reason;
    int loudest = 0;
    for (SerializableAlertInfo *alert : m_mirror->alerts()) {
        // Defaults are not news from the junction box; only received (or own) states count.
        if (!alert->isValid(QStringLiteral("AlertState")))
            continue;
        const QList<int> own = patternFor(alert->AlertPriority(), alert->AlertState());
        const int level = urgency(alert->AlertPriority());
        if (own.isEmpty() || level <= loudest)
            continue;
        loudest = level;
        pattern = own;
        const QStringList &priorities = AlertVocabulary::priorityNames();
        reason = priorities.value(alert->AlertPriority()) + QStringLiteral(": ") + alert->AlertText();
    }
    if (pattern == m_pattern && reason == m_reason)
        return;
    m_pattern = pattern;
    m_reason = reason;
    emit soundRequired(m_pattern, m_reason);
}
