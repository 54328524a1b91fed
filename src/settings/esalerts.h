#pragma once

#include "settingsmacros.h"
#include "settingsvariants.h"

// One alert as the junction box publishes it.
class SerializableAlertInfo : public RuntimeSerializableClass
{
    Q_OBJECT
    KVE_SETTING(int, AlertState, "type=runtime defaultValue=0")
    KVE_SETTING(int, AlertCategory, "type=runtime defaultValue=0")
    KVE_SETTING(int, AlertPriority, "type=runtime defaultValue=0")
    KVE_SETTING(int, AlertInstanceNumber, "type=runtime defaultValue=1")
    KVE_SETTING(int, EscalationCounter, "type=runtime defaultValue=0")
    KVE_SETTING(int, RevisionCounter, "type=runtime defaultValue=0")
    KVE_SETTING(QString, ActionSource, "type=runtime isNumeric=false")
    KVE_SETTING(QString, AlertText, "type=runtime isNumeric=false")

public:
    explicit SerializableAlertInfo(const QString &name = QStringLiteral("AlarmShallow"), QObject *parent = nullptr)
        : RuntimeSerializableClass(name, parent, QStringLiteral("Type_Alert"))
    {
    }
};

// Mirror of the junction box's alert states, object name "ESAlerts". The acknowledgement text the
// operator chooses travels back through AckFromDisplay.
class ES_Alerts : public RuntimeSerializableClass
{
    Q_OBJECT
    KVE_SETTING(QString, AckFromDisplay, "isNumeric=false")
    KVE_CHILD(SerializableAlertInfo, AlarmShallow)
    KVE_CHILD(SerializableAlertInfo, AlertDeep)
    KVE_CHILD(SerializableAlertInfo, AlertBottomLost)
    KVE_CHILD(SerializableAlertInfo, AlertSensorComms)
    KVE_CHILD(SerializableAlertInfo, AlertSensorMuted)
    KVE_CHILD(SerializableAlertInfo, AlertDisplayComms)
    KVE_CHILD(SerializableAlertInfo, AlertPowerFailure)
    KVE_CHILD(SerializableAlertInfo, AlertTest)
    KVE_CHILD(SerializableAlertInfo, AlertDisplayError)
    // name, alert text, identifier, priority, category, escalation type
    Q_CLASSINFO("AlertsDescriptor",
                "AlarmShallow,Shallow Water,230,Alarm,CatA,AlarmToAlarm\n"
                "AlertDeep,Deep Water,10456,Alert,CatB,WarningToAlarm\n"
                "AlertBottomLost,Bottom Lost,32345,Alert,CatB,WarningToAlarm\n"
                "AlertSensorComms,Sensor Comms,10457,Alert,CatB,WarningToAlarm\n"
                "AlertSensorMuted,Sensor Muted,10458,Alert,CatB,WarningToAlarm\n"
                "AlertDisplayComms,Display Comms,10459,Alert,CatB,WarningToAlarm\n"
                "AlertPowerFailure,Power Fail,10460,Alert,CatB,WarningToAlarm\n"
                "AlertTest,DPT Alert Test,10461,Alarm,CatA,AlarmToAlarm\n"
                "AlertDisplayError,KX12 Comms Fail,10459,Alert,CatB,WarningToAlarm")

public:
    explicit ES_Alerts(const QString &name = QStringLiteral("ESAlerts"), QObject *parent = nullptr)
        : RuntimeSerializableClass(name, parent, QStringLiteral("Type_Alert"))
    {
    }

    // The nine mirrored alerts in table order.
    QList<SerializableAlertInfo *> alerts() const;

    bool deserialize(const QString &text) override;
    SerializableClass *deserializeSingleProperty(const QString &text, bool *written = nullptr) override;

signals:
    void dataReceivedFromCommunication();
};
