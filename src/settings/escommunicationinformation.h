#pragma once

#include "settingsmacros.h"
#include "settingsvariants.h"

// Identity and port status of the peer units, object name "ComminicationInformation".
class ESCommunicationInformation : public SetupSerializableClass
{
    Q_OBJECT
    KVE_SETTING(int, CommsInfoOn, "type=runtime")
    KVE_SETTING(int, ChannelNumber, "type=runtime defaultValue=0")
    KVE_SETTING(int, DataDirection, "type=runtime defaultValue=0")
    KVE_SETTING(int, DataFormat, "type=runtime defaultValue=0")
    KVE_SETTING(QString, CommsData, "type=runtime isNumeric=false")
    KVE_SETTING(int, AuxStates, "type=runtime defaultValue=0")
    KVE_SETTING(QString, CuPortsIn, "type=runtime isNumeric=false")
    KVE_SETTING(QString, CuPort1Out, "type=runtime isNumeric=false")
    KVE_SETTING(QString, CuPort3Out, "type=runtime isNumeric=false")

public:
    explicit ESCommunicationInformation(const QString &name = QStringLiteral("ComminicationInformation"),
                                        QObject *parent = nullptr)
        : SetupSerializableClass(name, parent, QStringLiteral("Type_SetupCommsInfo"))
    {
    }
};
