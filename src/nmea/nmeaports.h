#pragma once

#include "serialplatform.h"
#include "serialreader.h"

#include <QString>

#include <array>
#include <memory>

// The unit's three NMEA 0183 serial lines, port numbers 0, 1 and 2, each at 4800 baud until the
// port setup says otherwise. On the unit's own platform the device names are fixed; elsewhere they
// start empty and come from the port setup.
class NmeaPorts
{
public:
    static constexpr int PortCount = 3;

    explicit NmeaPorts(SerialReader::QueryMode queryMode = SerialReader::QueryMode::Polling,
                       bool servesLines = kve::serialLinesServed());
    ~NmeaPorts();

    NmeaPorts(const NmeaPorts &) = delete;
    NmeaPorts &operator=(const NmeaPorts &) = delete;

    // None (with a debug line) for an index outside 0..2.
    SerialReader *port(int index) const;
    // By device name or by line name ("Serial_1" .. "Serial_3").
    SerialReader *port(const QString &name) const;

    // Device name of a line on the unit's own hardware.
    static QString targetDeviceName(int index);

    void setDeviceName(int index, const QString &deviceName);
    // Opens every line that has a device name; the number of lines opened.
    int openAll();
    void closeAll();

private:
    std::array<std::unique_ptr<SerialReader>, PortCount> m_readers;
};
