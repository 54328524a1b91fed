#pragma once

#include "nmeagroupinfo.h"

#include <QObject>
#include <QStringList>

class BinaryTransmissionController;
class CU_R710_Setup;
class ListOfSfisOnNetwork;
class NmeaHandlerContainer;
class NmeaOverUdpController;
class PairingController;
class SerializationController;
class SetupSerializableClass;
class SignalEmitter;
class Udp61162450Controller;
class socketInterface;

// The unit's whole network side, wired: sockets on one interface, datagram packing and checks,
// pairing with the junction box and the settings link. The system object creates one, connects
// the settings controller and the sentence receive path, and starts it once the screen is up.
class NetworkStack : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString interfaceName = QStringLiteral("lo");
        // Interval of the pairing retries, the settings resends and the group time-out.
        int retryIntervalMs = 1000;
        // Pairing sentences (SFIACK, DEVSTART, SFICHANGE in, PAIR, DEVSTART, SFICHANGE out) are
        // handled here. The unit passes them through its sentence receive and send paths instead
        // (connectSentencePaths), where the operating mode decides what may pass.
        bool handlePairingSentences = true;
    };

    // Without a list of its own the stack is the unit's: it works on the process-wide SFI list and
    // takes the unit's identity from the process-wide display settings (adoptIdentity).
    explicit NetworkStack(const Options &options, ListOfSfisOnNetwork *sfis = nullptr, QObject *parent = nullptr);
    explicit NetworkStack(const QString &interfaceName, QObject *parent = nullptr);

    ListOfSfisOnNetwork *sfis() const { return m_sfis; }
    Udp61162450Controller *udp() const { return m_udp; }
    socketInterface *sockets() const { return m_sockets; }
    NmeaOverUdpController *nmeaOverUdp() const;
    BinaryTransmissionController *binary() const;
    PairingController *pairing() const { return m_pairing; }

    // The unit's own SFI and the paired box as stored, and later changes of the paired box. Changes
    // of the own SFI are announced through pairing()->setLocalSfi by the owner of that setting.
    void adoptIdentity(CU_R710_Setup *display);

    // Joins the groups of transmission group g (0 MISC .. 7 PROP) and (re)initialises the readers.
    void start(int group);
    // Once, when start-up is complete: reception on, then "DEVSTART".
    void enableReception();
    // Received settings texts to the controller, its pairing requests to the box, and every
    // pair request clearing the received timestamps of the shared tree, so that the complete
    // setup that answers it is taken whole. Outgoing texts reach sendSettingsText by the sender's
    // own route (the unit's goes through the sentence send path and its standby rule).
    void connectSettings(SerializationController *controller, SetupSerializableClass *sharedSettings = nullptr);
    // Pairing sentences through the sentence handlers of the receive path and the send requests
    // of the emitter (for a stack built without handlePairingSentences).
    void connectSentencePaths(NmeaHandlerContainer &handlers, SignalEmitter &emitter);

public slots:
    // From the sentence send path: a group for the network. Carrier groups of settings text go to
    // the connected unit, or to the paired one while it is not connected.
    void sendNmeaGroup(NmeaGroupInfo group, bool to_internal_interface, QStringList destination_sfis);
    void changeGroup(int group);

signals:
    // Every complete group of ordinary sentences, for the sentence receive path.
    void nmeaGroupReceived(NmeaGroupInfo group);
    void settingsTextReceived(QString text);
    void lostCommunicationWithSfi(QString sfi);
    // A reception fault of sentence traffic (71 to 79, never the size error 75) with the offending
    // text, for the communication error log.
    void receptionFaultToLog(int code, QString text);
    // First sentence of a well-formed datagram that was not for this unit, for the monitor of
    // ignored input.
    void ignoredInputReceived(QString sentence);

private:
    void wire(const Options &options);
    // One group of complete sentences to the network, ordinary traffic, for everyone.
    void sendSentences(const QStringList &sentences);

    ListOfSfisOnNetwork *m_sfis;
    Udp61162450Controller *m_udp;
    socketInterface *m_sockets;
    PairingController *m_pairing;
};
