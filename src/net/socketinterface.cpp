#include "socketinterface.h"

#include "errorlogger.h"
#include "listofsfisonnetwork.h"
#include "udp61162450controller.h"
#include "udpdatagram.h"

#include <QDebug>
#include <QNetworkDatagram>
#include <QUdpSocket>

socketInterface::socketInterface(Udp61162450Controller *controller, ListOfSfisOnNetwork *sfis, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_sfis(sfis ? sfis : &ListOfSfisOnNetwork::instance())
{
    connect(m_sfis, &ListOfSfisOnNetwork::connectedSfisChanged, this, &socketInterface::updateFilter);
    connect(m_sfis, &ListOfSfisOnNetwork::localSfiChanged, this, &socketInterface::updateFilter);
    connect(m_controller, &Udp61162450Controller::nmeaGroupChanged, this,
            static_cast<void (socketInterface::*)()>(&socketInterface::updateNmeaGroup));
    updateFilter();
    m_jammedTimer.setInterval(JammedCheckIntervalMs);
    connect(&m_jammedTimer, &QTimer::timeout, this, &socketInterface::checkForJammedSockets);
    m_jammedTimer.start();
}

void socketInterface::updateFilter()
{
    m_checker.setLocalSfi(m_sfis->localSfi().toLatin1());
    m_checker.setConnectedSfis(udpdatagram::toLatin1(m_sfis->connectedSfis()));
}

void socketInterface::init()
{
    m_drainOnce = true;
    updateNmeaGroup();
    m_binaryLocalAddress = m_controller->binaryLocalAddress();
    m_binaryWindowsAddress = m_controller->binaryWindowsLoggingAddress();
    m_administrationAddress = m_controller->networkAdministrationAddress();
    using Self = socketInterface;
    const auto nmea = static_cast<void (Self::*)()>(&Self::processPendingDatagrams);
    const auto binary = static_cast<void (Self::*)()>(&Self::processPendingBinaryDatagrams);
    connect(m_controller->nmeaSocket(), &QUdpSocket::readyRead, this, nmea, Qt::UniqueConnection);
    connect(m_controller->networkAdministrationSocket(), &QUdpSocket::readyRead, this, nmea, Qt::UniqueConnection);
    if (m_controller->nmeaLocalSocket() != m_controller->nmeaSocket())
        connect(m_controller->nmeaLocalSocket(), &QUdpSocket::readyRead, this, nmea, Qt::UniqueConnection);
    connect(m_controller->binaryLocalSocket(), &QUdpSocket::readyRead, this, binary, Qt::UniqueConnection);
    if (m_controller->binarySocketForWindowsLogging())
        connect(m_controller->binarySocketForWindowsLogging(), &QUdpSocket::readyRead, this, binary,
                Qt::UniqueConnection);
}

void socketInterface::updateNmeaGroup()
{
    m_nmeaAddress = m_controller->nmeaAddress();
    m_nmeaPort = m_controller->nmeaPort();
    m_localNmeaAddress = m_controller->nmeaAddress();
    m_localNmeaPort = m_controller->nmeaPort();
}

bool socketInterface::writeAll(QUdpSocket *socket, const QByteArrayList &packets, const QHostAddress &to, quint16 port)
{
    ++m_sentBatches;
    for (const QByteArray &p : packets) {
        if (socket->writeDatagram(p, to, port) != p.size()) {
            qDebug().noquote() << "ERROR STRING: " + socket->errorString() + "   " + socket->objectName();
            return false;
        }
    }
    return true;
}

bool socketInterface::sendNmeaDatagrams(QByteArrayList sending_packets, bool to_internal_interface)
{
    if (to_internal_interface)
        return writeAll(m_controller->nmeaLocalSocket(), sending_packets, m_localNmeaAddress, m_localNmeaPort);
    return writeAll(m_controller->nmeaSocket(), sending_packets, m_nmeaAddress, m_nmeaPort);
}

bool socketInterface::sendBinaryDatagrams(QByteArrayList sending_packets, bool send_over_internal_interface)
{
    if (send_over_internal_interface)
        return writeAll(m_controller->binaryLocalSocket(), sending_packets, m_binaryLocalAddress,
                        Udp61162450Controller::BinaryLocalPort);
    if (!m_controller->binarySocketForWindowsLogging())
        return false;
    return writeAll(m_controller->binarySocketForWindowsLogging(), sending_packets, m_binaryWindowsAddress,
                    Udp61162450Controller::BinaryWindowsLoggingPort);
}

bool socketInterface::sendNetworkAdministrationDatagrams(QByteArrayList sending_packets)
{
    return writeAll(m_controller->networkAdministrationSocket(), sending_packets, m_administrationAddress,
                    Udp61162450Controller::NetworkAdministrationPort);
}

bool &socketInterface::pendingFlag(QUdpSocket *socket)
{
    if (socket == m_controller->nmeaSocket())
        return m_nmeaPending;
    if (socket == m_controller->networkAdministrationSocket())
        return m_administrationPending;
    if (socket == m_controller->binaryLocalSocket())
        return m_binaryLocalPending;
    if (socket == m_controller->binarySocketForWindowsLogging())
        return m_binaryWindowsPending;
    return m_unusedPending;
}

void socketInterface::processPendingDatagrams()
{
    if (auto *socket = qobject_cast<QUdpSocket *>(sender()))
        processPendingDatagrams(socket);
}

void socketInterface::processPendingDatagrams(QUdpSocket *socket)
{
    if (!m_receptionEnabled || !socket)
        return;
    pendingFlag(socket) = false;
    const bool internal = socket == m_controller->nmeaLocalSocket() && socket != m_controller->nmeaSocket();
    if (m_drainOnce) {
        while (socket->hasPendingDatagrams())
            socket->receiveDatagram();
        m_drainOnce = false;
        return;
    }
    for (int n = 0; n < MostDatagramsPerRead && socket->hasPendingDatagrams(); ++n) {
        const qint64 size = socket->pendingDatagramSize();
        if (size > MAX_UDP_SIZE) {
            socket->readDatagram(nullptr, 0);   // read only to drop it
            qDebug().nospace() << "UDP datagram size: " << size << " is greater than MAX_UDP_SIZE (" << MAX_UDP_SIZE
                               << ")!";
            m_lastError = UdpDatagramTooLongError;
            emit udpErrorDetected(UdpDatagramTooLongError, QString());
            continue;
        }
        handleNmeaDatagram(socket->receiveDatagram(size).data(), internal);
    }
}

void socketInterface::handleNmeaDatagram(const QByteArray &datagram, bool fromInternalInterface)
{
    const DatagramVerdict verdict = m_checker.examine(datagram);
    for (const DatagramFault &fault : verdict.faults) {
        m_lastError = fault.code;
        emit udpErrorDetected(fault.code, QString::fromLatin1(fault.text));
    }
    if (verdict.accepted) {
        emit recievedMessage(datagram, verdict.internal, fromInternalInterface);
    } else if (verdict.ignored && (!verdict.internal || datagram.contains(udpdatagram::FactoryDefaultSfi))) {
        const int dollar = datagram.indexOf('$');
        const int crlf = datagram.indexOf("\r\n", dollar);
        if (dollar >= 0)
            emit ignoredInputReceived(QString::fromLatin1(datagram.mid(dollar, crlf < 0 ? -1 : crlf + 2 - dollar)));
    }
}

void socketInterface::processPendingBinaryDatagrams()
{
    if (auto *socket = qobject_cast<QUdpSocket *>(sender()))
        processPendingBinaryDatagrams(socket);
}

void socketInterface::processPendingBinaryDatagrams(QUdpSocket *socket)
{
    if (!m_receptionEnabled || !socket)
        return;
    pendingFlag(socket) = false;
    const QString paired = m_sfis->connectedSfis().value(0);
    for (int n = 0; n < MostDatagramsPerRead && socket->hasPendingDatagrams(); ++n) {
        const qint64 size = socket->pendingDatagramSize();
        if (size > MAX_UDP_SIZE) {
            socket->readDatagram(nullptr, 0);
            qDebug().nospace() << "UDP datagram (binary) size: " << size << " is greater than MAX_UDP_SIZE ("
                               << MAX_UDP_SIZE << ")!";
            emit binaryDatagramTooLong();
            continue;
        }
        const QByteArray d = socket->receiveDatagram(size).data();
        QByteArray sfi = d.mid(10, 6);
        const int nul = sfi.indexOf('\0');
        if (nul >= 0)
            sfi.truncate(nul);
        if (!paired.isEmpty() && sfi == paired.toLatin1())
            emit recievedBinaryMessage(d);
    }
}

void socketInterface::checkForJammedSockets()
{
    if (!m_receptionEnabled)
        return;
    struct Check { QUdpSocket *socket; const char *label; bool binary; };
    const Check checks[] = {
        {m_controller->nmeaSocket(), "######## N", false},
        {m_controller->networkAdministrationSocket(), "######## N", false},
        {m_controller->nmeaLocalSocket() != m_controller->nmeaSocket() ? m_controller->nmeaLocalSocket() : nullptr,
         "######## L", false},
        {m_controller->binaryLocalSocket(), "######## B", true},
        {m_controller->binarySocketForWindowsLogging(), "######## BW", true},
    };
    for (const Check &c : checks) {
        if (!c.socket || !c.socket->hasPendingDatagrams())
            continue;
        bool &flag = pendingFlag(c.socket);
        if (flag) {
            qDebug() << c.label;
            if (c.binary)
                processPendingBinaryDatagrams(c.socket);
            else
                processPendingDatagrams(c.socket);
        } else {
            flag = true;
        }
    }
}
