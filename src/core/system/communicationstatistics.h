#pragma once

#include "nmeagroupinfo.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class ESCommunicationInformation;
class NmeaController;

// Keeps the communication statistics of the lines up to date once a second:
// "CommsData" holds, for every line that has carried anything, its name and the counts of lines
// received, accepted, rejected and not handled ("Serial_1:120,118,1,1;UDP:...");
// "CuPortsIn" lists the lines (1 to 3 the serial lines, 4 the network, 5 to 7 the additional
// serial lines) that delivered valid input within the validity limit of received values ("1;4").
class CommunicationStatistics : public QObject
{
    Q_OBJECT
public:
    static constexpr int UpdateIntervalMsecs = 1000;

    CommunicationStatistics(NmeaController *controller, ESCommunicationInformation *information,
                            QObject *parent = nullptr);

    static QString commsDataText(const NmeaController *controller);

public slots:
    // After every received group: whether it carried valid input.
    void groupReceived(Port port, bool input_valid);
    void update();

private:
    NmeaController *m_controller;
    ESCommunicationInformation *m_information;
    QElapsedTimer m_lastValidInput[7];
    QTimer m_timer;
};
