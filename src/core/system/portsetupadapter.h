#pragma once

#include "nmeagroupinfo.h"

#include <QObject>

class ESCommunicationsSetup;
class ESPortSetup;
class NmeaHandler;
class NmeaPorts;

// Applies the port setup of every line to the send path and to the serial lines, at once and on
// every change: the depth sentences that a line's setup switches on (DPT, DBT, DBS, DBK, PZTQDPT)
// are registered with their handlers for that line and sent periodically, "Alarm" registers the
// line for the relaying of alert sentences, and a serial line takes its rate ("Baud") and whether
// it hands on what it receives ("InputEnabled").
class PortSetupAdapter : public QObject
{
    Q_OBJECT
public:
    PortSetupAdapter(ESCommunicationsSetup *setup, NmeaPorts *ports, QObject *parent = nullptr);

    // The setup of a line: NmeaPort1Setup .. NmeaPort3Setup, UdpPortSetup,
    // AdditionalNmeaPort1Setup .. AdditionalNmeaPort3Setup.
    static ESPortSetup *setupOf(ESCommunicationsSetup *setup, Port line);
    // The rate that a "Baud" choice stands for.
    static int baudRate(int choice);

public slots:
    void applyAll();

private:
    void apply(Port line);

    ESCommunicationsSetup *m_setup;
    NmeaPorts *m_ports;
};
