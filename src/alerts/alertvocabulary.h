#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of the alert table shared with the junction box.
struct AlertDescriptor
{
    QString name; // child of the alert mirror, e.g. "AlarmShallow"
    QString text; // the text the operator sees and acknowledges with
    int identifier = 0;
    int priority = 0;
    int category = 0;
    int escalation = 0;
};

// The words both units use for alert states, priorities, categories and escalation, with their
// integer values (the position in each list), and the icons the alert panel shows for them.
class AlertVocabulary
{
public:
    enum State {
        ActiveUnacknowledged = 0,
        ActiveSilenced = 1,
        ActiveAcknowledged = 2,
        ActiveResponsibilityTransferred = 3,
        RectifiedUnacknowledged = 4,
        Normal = 5
    };
    enum Priority { Alarm = 0, Warning = 1, Caution = 2, EmergencyAlarm = 3 };
    enum Escalation { NoEscalation = 0, WarningToWarning = 1, WarningToAlarm = 2, AlarmToAlarm = 3 };

    static const QStringList &stateNames();
    static const QStringList &priorityNames();
    static const QStringList &categoryNames();
    static const QStringList &escalationNames();

    static bool isKnownState(int state) { return state >= ActiveUnacknowledged && state <= Normal; }
    static bool isKnownPriority(int priority) { return priority >= Alarm && priority <= EmergencyAlarm; }
    // States the operator still has to acknowledge.
    static bool needsAttention(int state) { return state == ActiveUnacknowledged || state == RectifiedUnacknowledged; }

    // The panel shows two groups: alarms (emergency alarms with them) and warnings (cautions with
    // them). -1 for a priority that is not one of the four.
    static int panelGroup(int priority);

    // Icon of a group in a state other than Normal; empty for Normal or an unknown state.
    static QString iconPath(int group, int state);
    static QString muteIconPath();
    static QString simulatorIconPath();
    static QString arrowUpIconPath();
    static QString arrowDownIconPath();

    // The alert table of the mirror class, parsed once; a malformed table is a programming error.
    static const QList<AlertDescriptor> &descriptors();
    static const AlertDescriptor *descriptor(const QString &name);
    static QList<AlertDescriptor> parseDescriptors(const QString &table);
};
