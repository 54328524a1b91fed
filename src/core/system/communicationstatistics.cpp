#include "communicationstatistics.h"

#include "escommunicationinformation.h"
#include "nmeacontroller.h"
#include "validatedproperty.h"

#include <QStringList>

CommunicationStatistics::CommunicationStatistics(NmeaController *controller,
                                                 ESCommunicationInformation *information, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_information(information)
{
    connect(controller, &NmeaController::communicationStatisticsUpdated, this,
            &CommunicationStatistics::groupReceived);
    m_timer.setInterval(UpdateIntervalMsecs);
    connect(&m_timer, &QTimer::timeout, this, &CommunicationStatistics::update);
    m_timer.start();
}

QString CommunicationStatistics::commsDataText(const NmeaController *controller)
{
    QStringList parts;
    for (int port = Serial_1; port <= Add_Serial_3; ++port) {
        const NmeaLineStatistics s = controller->statistics(Port(port));
        if (s.lines == 0)
            continue;
        parts << QStringLiteral("%1:%2,%3,%4,%5")
                     .arg(portName(port))
                     .arg(s.lines)
                     .arg(s.accepted)
                     .arg(s.rejected)
                     .arg(s.notHandled);
    }
    return parts.join(QLatin1Char(';'));
}

void CommunicationStatistics::groupReceived(Port port, bool input_valid)
{
    if (input_valid && port >= Serial_1 && port <= Add_Serial_3)
        m_lastValidInput[port].start();
}

void CommunicationStatistics::update()
{
    const QString data = commsDataText(m_controller);
    if (data != m_information->CommsData())
        m_information->setCommsData(data);

    const qint64 validMs = qint64(ValidatedProperty::defaultValidityLimit) * 1000;
    QStringList withInput;
    for (int port = Serial_1; port <= Add_Serial_3; ++port) {
        if (m_lastValidInput[port].isValid() && m_lastValidInput[port].elapsed() <= validMs)
            withInput << QString::number(port + 1);
    }
    const QString portsIn = withInput.join(QLatin1Char(';'));
    if (portsIn != m_information->CuPortsIn())
        m_information->setCuPortsIn(portsIn);
}
