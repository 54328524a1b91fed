#include "esalerts.h"

QList<SerializableAlertInfo *> ES_Alerts::alerts() const
{
    return {AlarmShallow(),      AlertDeep(),         AlertBottomLost(),
            AlertSensorComms(),  AlertSensorMuted(),  AlertDisplayComms(),
            AlertPowerFailure(), AlertTest(),         AlertDisplayError()};
}

bool ES_Alerts::deserialize(const QString &text)
{
    const bool ok = RuntimeSerializableClass::deserialize(text);
    emit dataReceivedFromCommunication();
    return ok;
}

SerializableClass *ES_Alerts::deserializeSingleProperty(const QString &text, bool *written)
{
    SerializableClass *owner = RuntimeSerializableClass::deserializeSingleProperty(text, written);
    if (owner)
        emit dataReceivedFromCommunication();
    return owner;
}
