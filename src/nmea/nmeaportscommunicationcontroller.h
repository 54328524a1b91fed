#pragma once

#include "nmeagroupinfo.h"

#include <QObject>
#include <QString>

#include <array>

class LoopTest;
class NmeaPorts;
class SerialReader;

// Joins the serial lines with the sentence controller: every received line goes on as a group of
// one line, outgoing groups are written to the line their port names, and while the loop test
// runs the lines carry only its test sentences.
class NmeaPortsCommunicationController : public QObject
{
    Q_OBJECT
public:
    NmeaPortsCommunicationController(NmeaPorts *ports, LoopTest *loopTest, QObject *parent = nullptr);

signals:
    void receivedNmeaListFromSerial(NmeaGroupInfo group_info);

public slots:
    void sendNmeaGroupOverSerialPort(NmeaGroupInfo group_info);
    void lineReceivedFromSerial(QString line, int port_number);
    void sendTestMessageOverSerialPort(QString msg, int sending_port);
    void preparePortsForLoopTest();
    void revertPortSettingsAfterLoopTest();

private:
    SerialReader *serialLine(int port) const;
    static void send(SerialReader *reader, const QString &msg);

    NmeaPorts *m_ports;
    LoopTest *m_loopTest;
    bool m_preparedForLoopTest = false;
    std::array<int, 3> m_baudBeforeLoopTest{{0, 0, 0}};
};
