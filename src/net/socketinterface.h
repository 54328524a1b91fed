#pragma once

#include "datagramchecker.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

class ListOfSfisOnNetwork;
class QUdpSocket;
class Udp61162450Controller;

// Writes datagram lists to the right socket and group, reads what arrives, checks sentence
// datagrams and passes on those meant for this unit, passes echo images from the paired unit
// on, and reads sockets whose data nobody has read for two checks.
class socketInterface : public QObject
{
    Q_OBJECT
public:
    static constexpr int JammedCheckIntervalMs = 550;
    // Datagrams taken from one socket before the event loop gets its turn again: a flood on one
    // group must not keep the screens, timers and the other sockets waiting. The rest is read at
    // the socket's next turn.
    static constexpr int MostDatagramsPerRead = 64;

    explicit socketInterface(Udp61162450Controller *controller, ListOfSfisOnNetwork *sfis = nullptr,
                             QObject *parent = nullptr);

    // Reception starts once, when start-up has finished and the main window is shown.
    void enableReception() { m_receptionEnabled = true; }
    bool isReceptionEnabled() const { return m_receptionEnabled; }
    int lastErrorCode() const { return m_lastError; }
    int sentBatches() const { return m_sentBatches; }

public slots:
    bool sendNmeaDatagrams(QByteArrayList sending_packets, bool to_internal_interface);
    bool sendBinaryDatagrams(QByteArrayList sending_packets, bool send_over_internal_interface);
    bool sendNetworkAdministrationDatagrams(QByteArrayList sending_packets);
    void processPendingDatagrams();
    void processPendingDatagrams(QUdpSocket *socket);
    void processPendingBinaryDatagrams();
    void processPendingBinaryDatagrams(QUdpSocket *socket);
    void init();
    void updateNmeaGroup();

signals:
    void recievedMessage(QByteArray datagram, bool message_is_from_internal_communication, bool from_internal_interface);
    void recievedBinaryMessage(QByteArray datagram);
    // A reception fault of sentence traffic (71 to 79) with the offending text (empty for 75).
    void udpErrorDetected(int code, QString text);
    void binaryDatagramTooLong();
    // First sentence of a datagram not meant for this unit, for the monitor of ignored input.
    void ignoredInputReceived(QString sentence);

private slots:
    void checkForJammedSockets();
    void updateFilter();

private:
    bool writeAll(QUdpSocket *socket, const QByteArrayList &packets, const QHostAddress &to, quint16 port);
    void handleNmeaDatagram(const QByteArray &datagram, bool fromInternalInterface);
    bool &pendingFlag(QUdpSocket *socket);

    Udp61162450Controller *m_controller;
    ListOfSfisOnNetwork *m_sfis;
    DatagramChecker m_checker;
    QTimer m_jammedTimer;
    QHostAddress m_nmeaAddress;
    quint16 m_nmeaPort = 0;
    QHostAddress m_localNmeaAddress;
    quint16 m_localNmeaPort = 0;
    QHostAddress m_binaryLocalAddress;
    QHostAddress m_binaryWindowsAddress;
    QHostAddress m_administrationAddress;
    bool m_receptionEnabled = false;
    bool m_drainOnce = false;
    bool m_nmeaPending = false;
    bool m_administrationPending = false;
    bool m_binaryLocalPending = false;
    bool m_binaryWindowsPending = false;
    bool m_unusedPending = false;
    int m_lastError = 0;
    int m_sentBatches = 0;
};
