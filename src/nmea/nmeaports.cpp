#include "nmeaports.h"

#include "systeminformation.h"

#include <QDebug>

namespace {
const char *const kTargetDevices[NmeaPorts::PortCount] = {"ttyS3", "ttyS1", "ttyS2"};

void wrongPort()
{
    qDebug().noquote() << "Wrong index/name of NMEA port!!!";
}

int slotOf(int portNumber)
{
    const auto &lines = NmeaPorts::lines();
    for (int i = 0; i < NmeaPorts::LineCount; ++i) {
        if (int(lines[i]) == portNumber)
            return i;
    }
    return -1;
}
}

NmeaPorts::NmeaPorts(SerialReader::QueryMode queryMode)
{
    const bool onTarget = SystemInformation::instance().isPlatformLinux();
    for (int i = 0; i < LineCount; ++i) {
        m_readers[i] = std::make_unique<SerialReader>(int(lines()[i]), SerialReader::ReceiveAndSend);
        m_readers[i]->setQueryMode(queryMode);
        if (onTarget && i < PortCount)
            m_readers[i]->setDeviceName(targetDeviceName(i));
    }
}

NmeaPorts::~NmeaPorts() = default;

const std::array<Port, NmeaPorts::LineCount> &NmeaPorts::lines()
{
    static const std::array<Port, LineCount> all{
        {Serial_1, Serial_2, Serial_3, Add_Serial_1, Add_Serial_2, Add_Serial_3}};
    return all;
}

bool NmeaPorts::isSerialLine(int port)
{
    return slotOf(port) >= 0;
}

SerialReader *NmeaPorts::reader(int portNumber) const
{
    const int slot = slotOf(portNumber);
    return slot < 0 ? nullptr : m_readers[slot].get();
}

SerialReader *NmeaPorts::port(int portNumber) const
{
    SerialReader *found = reader(portNumber);
    if (!found)
        wrongPort();
    return found;
}

SerialReader *NmeaPorts::port(const QString &name) const
{
    for (const auto &reader : m_readers) {
        if (name == portName(reader->portNumber()) || (!name.isEmpty() && name == reader->deviceName()))
            return reader.get();
    }
    wrongPort();
    return nullptr;
}

QString NmeaPorts::targetDeviceName(int index)
{
    if (index < 0 || index >= PortCount) {
        wrongPort();
        return QString();
    }
    return QLatin1String(kTargetDevices[index]);
}

void NmeaPorts::setDeviceName(int portNumber, const QString &deviceName)
{
    if (SerialReader *line = port(portNumber))
        line->setDeviceName(deviceName);
}

int NmeaPorts::startAll()
{
    int started = 0;
    for (const auto &reader : m_readers) {
        if (!reader->deviceName().isEmpty()) {
            reader->start();
            ++started;
        }
    }
    return started;
}

void NmeaPorts::stopAll()
{
    for (const auto &reader : m_readers)
        reader->stop();
}
