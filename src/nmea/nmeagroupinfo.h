#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// The line a sentence group came from or goes to.
enum Port : int {
    Serial_1 = 0,
    Serial_2 = 1,
    Serial_3 = 2,
    UDP = 3,
    Add_Serial_1 = 4,
    Add_Serial_2 = 5,
    Add_Serial_3 = 6
};

// "Serial_1" ... "Add_Serial_3"; "Undefined_port_string" for any other value.
QString portName(Port port);
inline QString portName(int port) { return portName(Port(port)); }

// A group of whole sentence lines (start character to line end) with the line it belongs to, the
// sender identity and, on the send side, the destination identities.
struct NmeaGroupInfo
{
    QStringList messages;
    QString senderId;
    QStringList destinations;
    int value = 0;
    Port port = Serial_1;

    NmeaGroupInfo() = default;
    NmeaGroupInfo(const QStringList &lines, Port linePort, const QString &sender = QString())
        : messages(lines), senderId(sender), port(linePort)
    {
    }
};

Q_DECLARE_METATYPE(Port)
Q_DECLARE_METATYPE(NmeaGroupInfo)

// Registers Port and NmeaGroupInfo for queued connections; safe to call more than once.
void registerNmeaMetaTypes();
