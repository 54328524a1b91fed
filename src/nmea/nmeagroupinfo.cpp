#include "nmeagroupinfo.h"

QString portName(Port port)
{
    switch (port) {
    case Serial_1: return QStringLiteral("Serial_1");
    case Serial_2: return QStringLiteral("Serial_2");
    case Serial_3: return QStringLiteral("Serial_3");
    case UDP: return QStringLiteral("UDP");
    case Add_Serial_1: return QStringLiteral("Add_Serial_1");
    case Add_Serial_2: return QStringLiteral("Add_Serial_2");
    case Add_Serial_3: return QStringLiteral("Add_Serial_3");
    }
    return QStringLiteral("Undefined_port_string");
}

void registerNmeaMetaTypes()
{
    static const bool done = [] {
        qRegisterMetaType<Port>("Port");
        qRegisterMetaType<NmeaGroupInfo>("NmeaGroupInfo");
        return true;
    }();
    Q_UNUSED(done)
}
