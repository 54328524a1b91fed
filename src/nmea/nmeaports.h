#pragma once

#include "nmeagroupinfo.h"
#include "serialreader.h"

#include <QString>

#include <array>
#include <memory>

// The unit's NMEA 0183 serial lines: its own three (port numbers 0, 1 and 2) and the three
// additional lines (4, 5 and 6), each at 4800 baud until the port setup says otherwise. On the
// unit's own platform the three own lines have fixed device names; elsewhere every line starts
// without a device, and a line without a device stays idle.
class NmeaPorts
{
public:
    // The unit's own lines, which the loop test checks.
    static constexpr int PortCount = 3;
    static constexpr int LineCount = 6;

    explicit NmeaPorts(SerialReader::QueryMode queryMode = SerialReader::QueryMode::Polling);
    ~NmeaPorts();

    NmeaPorts(const NmeaPorts &) = delete;
    NmeaPorts &operator=(const NmeaPorts &) = delete;

    // The serial lines in order: Serial_1 .. Serial_3, Add_Serial_1 .. Add_Serial_3.
    static const std::array<Port, LineCount> &lines();
    static bool isSerialLine(int port);

    // By port number (0, 1, 2, 4, 5, 6); none, with a debug line, for any other number.
    SerialReader *port(int portNumber) const;
    // By device name or by line name ("Serial_1" .. "Add_Serial_3").
    SerialReader *port(const QString &name) const;

    // Device name of one of the unit's own lines on its own hardware.
    static QString targetDeviceName(int index);

    void setDeviceName(int portNumber, const QString &deviceName);
    // Starts every line that has a device name (each is kept open from then on); the number
    // of lines started.
    int startAll();
    void stopAll();

private:
    SerialReader *reader(int portNumber) const;

    std::array<std::unique_ptr<SerialReader>, LineCount> m_readers;
};
