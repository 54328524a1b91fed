#include "nmeaportscommunicationcontroller.h"

#include "looptest.h"
#include "nmeaports.h"
#include "serialreader.h"

#include <QMetaObject>

NmeaPortsCommunicationController::NmeaPortsCommunicationController(NmeaPorts *ports, LoopTest *loopTest,
                                                                   QObject *parent)
    : QObject(parent)
    , m_ports(ports)
    , m_loopTest(loopTest)
{
    registerNmeaMetaTypes();
    for (Port line : NmeaPorts::lines())
        connect(ports->port(line), &SerialReader::lineReceived, this,
                &NmeaPortsCommunicationController::lineReceivedFromSerial);
    if (loopTest) {
        connect(loopTest, &LoopTest::sendMessage, this,
                &NmeaPortsCommunicationController::sendTestMessageOverSerialPort);
        connect(loopTest, &LoopTest::aboutToStartTest, this,
                &NmeaPortsCommunicationController::preparePortsForLoopTest);
        connect(loopTest, &LoopTest::finishedTesting, this,
                &NmeaPortsCommunicationController::revertPortSettingsAfterLoopTest);
    }
}

SerialReader *NmeaPortsCommunicationController::serialLine(int port) const
{
    // Groups for the network are not for the serial lines.
    if (!NmeaPorts::isSerialLine(port))
        return nullptr;
    return m_ports->port(port);
}

void NmeaPortsCommunicationController::send(SerialReader *reader, const QString &msg)
{
    // A polling reader lives in the serial reader thread; the write is queued there.
    QMetaObject::invokeMethod(reader, [reader, msg] { reader->sendMessage(msg); }, Qt::AutoConnection);
}

void NmeaPortsCommunicationController::lineReceivedFromSerial(QString line, int port_number)
{
    if (m_loopTest && m_loopTest->isRunning()) {
        m_loopTest->messageReceived(line, port_number);
        return;
    }
    emit receivedNmeaListFromSerial(NmeaGroupInfo(QStringList{line}, Port(port_number)));
}

void NmeaPortsCommunicationController::sendNmeaGroupOverSerialPort(NmeaGroupInfo group_info)
{
    if (m_loopTest && m_loopTest->isRunning())
        return;
    SerialReader *reader = serialLine(int(group_info.port));
    if (!reader)
        return;
    for (const QString &sentence : qAsConst(group_info.messages))
        send(reader, sentence);
}

void NmeaPortsCommunicationController::sendTestMessageOverSerialPort(QString msg, int sending_port)
{
    if (SerialReader *reader = serialLine(sending_port))
        send(reader, msg);
}

void NmeaPortsCommunicationController::preparePortsForLoopTest()
{
    // A start request during a running test must not take 4800 for the rate to go back to.
    if (m_preparedForLoopTest)
        return;
    m_preparedForLoopTest = true;
    for (int i = 0; i < NmeaPorts::PortCount; ++i) {
        SerialReader *reader = m_ports->port(i);
        m_baudBeforeLoopTest[i] = reader->baudRate();
        reader->setBaudRate(SerialReader::DefaultBaudRate);
    }
}

void NmeaPortsCommunicationController::revertPortSettingsAfterLoopTest()
{
    if (!m_preparedForLoopTest)
        return;
    m_preparedForLoopTest = false;
    for (int i = 0; i < NmeaPorts::PortCount; ++i)
        m_ports->port(i)->setBaudRate(m_baudBeforeLoopTest[i]);
}
