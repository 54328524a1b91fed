#include "udp61162450controller.h"

#include "binarytransmissioncontroller.h"
#include "nmeaoverudpcontroller.h"
#include "systeminformation.h"

#include <QDebug>
#include <QUdpSocket>

const char Udp61162450Controller::GroupPrefix[] = "239.192.0.";

Udp61162450Controller::Udp61162450Controller(const QNetworkInterface &iface, ListOfSfisOnNetwork *sfis,
                                             QObject *parent)
    : QObject(parent)
    , m_external(iface)
    , m_internal(iface)
    , m_nmea(new QUdpSocket(this))
    , m_binaryLocal(new QUdpSocket(this))
    , m_administration(new QUdpSocket(this))
    , m_binaryLocalAddress(QStringLiteral("239.192.0.24"))
    , m_binaryWindowsAddress(QStringLiteral("239.192.0.23"))
    , m_administrationAddress(QStringLiteral("239.192.0.56"))
    , m_nmeaOverUdp(new NmeaOverUdpController(sfis, 56, 5, 10, this))
    , m_binary(new BinaryTransmissionController(this))
{
    const SystemInformation &info = SystemInformation::instance();
    m_nmea->setObjectName(QStringLiteral("nmeaSocket"));
    m_binaryLocal->setObjectName(QStringLiteral("binaryLocalSocket"));
    m_administration->setObjectName(QStringLiteral("networkAdministrationSocket"));
    if (!(info.isSoftwareCu() && info.isPlatformLinux())) {
        m_binaryWindows = new QUdpSocket(this);
        m_binaryWindows->setObjectName(QStringLiteral("binarySocketForWindowsLogging"));
    }
}

QNetworkInterface Udp61162450Controller::interfaceForName(const QString &name)
{
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : all) {
        if (i.humanReadableName() == name)
            return i;
    }
    return QNetworkInterface::interfaceFromIndex(3);
}

bool Udp61162450Controller::joinsBinaryLocalGroup() const
{
    const SystemInformation &info = SystemInformation::instance();
    return info.isKve410() || info.isKve420() || info.isKve430();
}

void Udp61162450Controller::bindAndJoin(QUdpSocket *socket, const QHostAddress &group, quint16 port)
{
    if (socket->state() == QAbstractSocket::BoundState)
        socket->close();
    const bool bound = socket->bind(QHostAddress::AnyIPv4, port,
                                    QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint);
    if (bound) {
        const QNetworkInterface &iface = socket->objectName().contains(QLatin1String("Local")) ? m_internal : m_external;
        const bool joined = socket->joinMulticastGroup(group, iface);
        qDebug().noquote() << "Socket: " + socket->objectName() << "Address: " + group.toString()
                           << "Port: " + QString::number(port) << "Interface: " + iface.humanReadableName()
                           << (joined ? QStringLiteral("JOIN MULTICAST OK!") : "Error! " + socket->errorString());
    } else {
        qDebug().noquote() << "Socket: " + socket->objectName() << "Port: " + QString::number(port)
                           << "Error! " + socket->errorString();
    }
    if (SystemInformation::instance().isPlatformLinux())
        socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption,
                                socket->objectName().contains(QLatin1String("Local")) ? 1 : 0);
}

void Udp61162450Controller::setAddresses(const QHostAddress &nmeaGroup, quint16 nmeaPort)
{
    m_nmeaAddress = nmeaGroup;
    m_nmeaPort = nmeaPort;
    if (joinsBinaryLocalGroup())
        bindAndJoin(m_binaryLocal, m_binaryLocalAddress, BinaryLocalPort);
    bindAndJoin(m_nmea, m_nmeaAddress, m_nmeaPort);
    bindAndJoin(m_administration, m_administrationAddress, NetworkAdministrationPort);
    if (m_binaryWindows)
        bindAndJoin(m_binaryWindows, m_binaryWindowsAddress, BinaryWindowsLoggingPort);
    setMulticastInterfaces();
}

void Udp61162450Controller::setMulticastInterfaces()
{
    if (joinsBinaryLocalGroup())
        m_binaryLocal->setMulticastInterface(m_internal);
    m_nmea->setMulticastInterface(m_external);
    m_administration->setMulticastInterface(m_external);
    if (m_binaryWindows)
        m_binaryWindows->setMulticastInterface(m_external);
}

void Udp61162450Controller::updateNmeaGroup(int newGroup)
{
    if (newGroup == m_group)
        return;
    m_group = newGroup;
    QHostAddress address = m_nmeaAddress.isNull() ? groupAddress(0) : m_nmeaAddress;
    const quint32 base = address.toIPv4Address() & 0xffffff00u;
    address = QHostAddress(base | quint32((newGroup + 1) & 0xff));
    setAddresses(address, quint16((60001 + newGroup) % 65536));
    m_nmeaOverUdp->setOrdinaryCounterKey(newGroup + 1);
    emit nmeaGroupChanged();
}
