#include "nmeaports.h"

#include "systeminformation.h"

#include <QDebug>

namespace {
const char *const kTargetDevices[NmeaPorts::PortCount] = {"ttyS3", "ttyS1", "ttyS2"};
const char *const kLineNames[NmeaPorts::PortCount] = {"Serial_1", "Serial_2", "Serial_3"};

void wrongPort()
{
    qDebug().noquote() << "Wrong index/name of NMEA port!!!";
}
}

NmeaPorts::NmeaPorts(SerialReader::QueryMode queryMode, bool servesLines)
{
    const bool onTarget = SystemInformation::instance().isPlatformLinux();
    for (int i = 0; i < PortCount; ++i) {
        m_readers[i] = std::make_unique<SerialReader>(i, SerialReader::ReceiveAndSend, servesLines);
        m_readers[i]->setQueryMode(queryMode);
        if (onTarget)
            m_readers[i]->setDeviceName(targetDeviceName(i));
    }
}

NmeaPorts::~NmeaPorts() = default;

SerialReader *NmeaPorts::port(int index) const
{
    if (index < 0 || index >= PortCount) {
        wrongPort();
        return nullptr;
    }
    return m_readers[index].get();
}

SerialReader *NmeaPorts::port(const QString &name) const
{
    for (int i = 0; i < PortCount; ++i) {
        if (name == QLatin1String(kLineNames[i])
            || (!name.isEmpty() && name == m_readers[i]->deviceName()))
            return m_readers[i].get();
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

void NmeaPorts::setDeviceName(int index, const QString &deviceName)
{
    if (SerialReader *reader = port(index)) {
        if (reader->isOpen() && reader->deviceName() != deviceName)
            reader->close();
        reader->setDeviceName(deviceName);
    }
}

int NmeaPorts::openAll()
{
    int opened = 0;
    for (const auto &reader : m_readers) {
        if (!reader->deviceName().isEmpty() && (reader->isOpen() || reader->open()))
            ++opened;
    }
    return opened;
}

void NmeaPorts::closeAll()
{
    for (const auto &reader : m_readers)
        reader->close();
}
