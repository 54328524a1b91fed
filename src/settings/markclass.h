#pragma once

#include "serializableclass.h"
#include "settingsmacros.h"

// A depth or time mark on the echogram, exchanged between the units as a settings object.
class MarkClass : public SerializableClass
{
    Q_OBJECT
    KVE_SETTING(QString, Date, "type=value isNumeric=false")
    KVE_SETTING(QString, Time, "type=value isNumeric=false")
    KVE_SETTING(double, Depth, "type=value unit=m measurement=depth")
    KVE_SETTING(QString, MarkData, "type=value isNumeric=false")

public:
    explicit MarkClass(const QString &name = QStringLiteral("Mark"), QObject *parent = nullptr)
        : SerializableClass(name, parent, QStringLiteral("Type_Mark"))
    {
    }

    // A mark goes to the peer units whole.
    void serializeForSending(const QStringList &destinationSfis = QStringList()) override
    {
        sendComplete(serialize(), destinationSfis);
    }
};
