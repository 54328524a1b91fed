#pragma once

#include <QHostAddress>
#include <QNetworkInterface>
#include <QObject>

class BinaryTransmissionController;
class ListOfSfisOnNetwork;
class NmeaOverUdpController;
class QUdpSocket;

// The unit's multicast sockets: the sentence group of its transmission group, echo images
// between the units and to external loggers, and network administration. All of them are
// bound, joined and send on the one chosen network interface, so traffic never leaves by
// another one.
class Udp61162450Controller : public QObject
{
    Q_OBJECT
public:
    static const char GroupPrefix[];   // "239.192.0."
    static constexpr quint16 BinaryLocalPort = 60024;
    static constexpr quint16 BinaryWindowsLoggingPort = 60023;
    static constexpr quint16 NetworkAdministrationPort = 60056;

    explicit Udp61162450Controller(const QNetworkInterface &iface, ListOfSfisOnNetwork *sfis = nullptr,
                                   QObject *parent = nullptr);

    // The interface whose human-readable name is name; else the one with index 3.
    static QNetworkInterface interfaceForName(const QString &name);
    static QHostAddress groupAddress(int group) { return QHostAddress(QString::fromLatin1(GroupPrefix) + QString::number(group + 1)); }
    static quint16 groupPort(int group) { return quint16(60001 + group); }

    // Stores the sentence group and port, then binds and joins every socket.
    void setAddresses(const QHostAddress &nmeaGroup, quint16 nmeaPort);

    QUdpSocket *nmeaSocket() const { return m_nmea; }
    // The internal-interface sentence socket is the very same socket in this system.
    QUdpSocket *nmeaLocalSocket() const { return m_nmea; }
    QUdpSocket *binaryLocalSocket() const { return m_binaryLocal; }
    QUdpSocket *binarySocketForWindowsLogging() const { return m_binaryWindows; }
    QUdpSocket *networkAdministrationSocket() const { return m_administration; }

    QHostAddress nmeaAddress() const { return m_nmeaAddress; }
    quint16 nmeaPort() const { return m_nmeaPort; }
    QHostAddress binaryLocalAddress() const { return m_binaryLocalAddress; }
    QHostAddress binaryWindowsLoggingAddress() const { return m_binaryWindowsAddress; }
    QHostAddress networkAdministrationAddress() const { return m_administrationAddress; }
    QNetworkInterface externalInterface() const { return m_external; }
    QNetworkInterface internalInterface() const { return m_internal; }
    int currentGroup() const { return m_group; }
    bool joinsBinaryLocalGroup() const;

    NmeaOverUdpController *nmeaOverUdpController() const { return m_nmeaOverUdp; }
    BinaryTransmissionController *binaryTransmissionController() const { return m_binary; }

public slots:
    void setMulticastInterfaces();
    void updateNmeaGroup(int newGroup);

signals:
    void nmeaGroupChanged();

private:
    void bindAndJoin(QUdpSocket *socket, const QHostAddress &group, quint16 port);

    QNetworkInterface m_external;
    QNetworkInterface m_internal;
    QUdpSocket *m_nmea;
    QUdpSocket *m_binaryLocal;
    QUdpSocket *m_binaryWindows = nullptr;
    QUdpSocket *m_administration;
    QHostAddress m_nmeaAddress;
    quint16 m_nmeaPort = 0;
    QHostAddress m_binaryLocalAddress;
    QHostAddress m_binaryWindowsAddress;
    QHostAddress m_administrationAddress;
    int m_group = -1;
    NmeaOverUdpController *m_nmeaOverUdp;
    BinaryTransmissionController *m_binary;
};
