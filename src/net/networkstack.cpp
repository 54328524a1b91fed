#include "networkstack.h"

#include "binarytransmissioncontroller.h"
#include "errorlogger.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "listofsfisonnetwork.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"
#include "nmeaoverudpcontroller.h"
#include "pairingcontroller.h"
#include "serializationcontroller.h"
#include "settingstraffic.h"
#include "settingsvariants.h"
#include "signalemitter.h"
#include "socketinterface.h"
#include "udp61162450controller.h"

NetworkStack::NetworkStack(const Options &options, ListOfSfisOnNetwork *sfis, QObject *parent)
    : QObject(parent)
    , m_sfis(sfis ? sfis : &ListOfSfisOnNetwork::instance())
    , m_udp(new Udp61162450Controller(Udp61162450Controller::interfaceForName(options.interfaceName), m_sfis, this))
    , m_sockets(new socketInterface(m_udp, m_sfis, this))
    , m_pairing(new PairingController(m_sfis, options.retryIntervalMs, this))
{
    wire(options);
    if (!sfis)
        adoptIdentity(ESData::instance().localSetup()->DisplaySetup());
}

NetworkStack::NetworkStack(const QString &interfaceName, QObject *parent)
    : NetworkStack(Options{interfaceName, 1000, true}, nullptr, parent)
{
}

NmeaOverUdpController *NetworkStack::nmeaOverUdp() const { return m_udp->nmeaOverUdpController(); }

BinaryTransmissionController *NetworkStack::binary() const { return m_udp->binaryTransmissionController(); }

void NetworkStack::wire(const Options &options)
{
    registerNmeaMetaTypes();
    NmeaOverUdpController *udp = nmeaOverUdp();
    connect(udp, &NmeaOverUdpController::sendDatagrams, m_sockets, &socketInterface::sendNmeaDatagrams);
    connect(udp, &NmeaOverUdpController::sendNetworkAdministrationDatagrams, m_sockets,
            &socketInterface::sendNetworkAdministrationDatagrams);
    connect(m_sockets, &socketInterface::recievedMessage, udp, &NmeaOverUdpController::processReceivedDatagram);
    connect(m_sockets, &socketInterface::recievedBinaryMessage, binary(),
            &BinaryTransmissionController::processRecievedBinaryDatagram);
    connect(m_sockets, &socketInterface::binaryDatagramTooLong, binary(),
            &BinaryTransmissionController::countOversizedDatagram);
    connect(binary(), &BinaryTransmissionController::sendDatagrams, m_sockets, &socketInterface::sendBinaryDatagrams);
    connect(m_sfis, &ListOfSfisOnNetwork::connectedSfisChanged, binary(),
            &BinaryTransmissionController::setConnectedSfis);
    connect(m_sfis, &ListOfSfisOnNetwork::localSfiChanged, binary(), &BinaryTransmissionController::setLocalSfi);
    binary()->setConnectedSfis(m_sfis->connectedSfis());
    binary()->setLocalSfi(m_sfis->localSfi());

    auto countError = [this](int code, const QString &text) {
        ErrorLogger::instance().countUdpError(code);
        if (code != UdpDatagramTooLongError)
            emit receptionFaultToLog(code, text);
    };
    connect(m_sockets, &socketInterface::udpErrorDetected, this, countError);
    connect(udp, &NmeaOverUdpController::udpErrorDetected, this, countError);
    connect(m_sockets, &socketInterface::ignoredInputReceived, this, &NetworkStack::ignoredInputReceived);

    connect(udp, &NmeaOverUdpController::settingsTextReceived, this,
            [this](const QString &text, const QString &) { emit settingsTextReceived(text); });
    connect(udp, &NmeaOverUdpController::lostCommunicationWithSfi, this, &NetworkStack::lostCommunicationWithSfi);
    const bool pairingHere = options.handlePairingSentences;
    connect(udp, &NmeaOverUdpController::sentenceGroupReceived, this, [this, pairingHere](const ReceivedSentenceGroup &g) {
        if (pairingHere)
            m_pairing->handleSentences(g.sentences);
        NmeaGroupInfo info(g.sentences, UDP, g.sourceSfi);
        info.value = g.internal ? 1 : 0;
        emit nmeaGroupReceived(info);
    });
    if (pairingHere)
        connect(m_pairing, &PairingController::sentenceReadyToSend, this,
                [this](const QString &, const QString &s) { sendSentences(QStringList{s}); });   // to whoever is named inside
}

void NetworkStack::adoptIdentity(CU_R710_Setup *display)
{
    m_sfis->setLocalSfi(display->LocalSFI());
    m_pairing->setInitialPairedSfi(display->PairedSFI());
    connect(display, &CU_R710_Setup::PairedSFIChanged, m_pairing, &PairingController::setPairedSfi,
            Qt::UniqueConnection);
    // The stored paired SFI follows the box when it renames itself.
    connect(m_pairing, &PairingController::pairedBoxSfiChanged, display,
            [display](const QString &sfi) { display->changeValue(QStringLiteral("PairedSFI"), sfi); },
            Qt::UniqueConnection);
}

void NetworkStack::start(int group)
{
    m_udp->updateNmeaGroup(group);
    m_sockets->init();
}

void NetworkStack::changeGroup(int group)
{
    // Moving the sockets drops what is queued on them: only a real change of group may do that.
    if (group != m_udp->currentGroup())
        start(group);
}

void NetworkStack::enableReception()
{
    m_sockets->enableReception();
    // What queued up before now is stale: read and dropped before the unit announces itself, so
    // that the first answers to the announcement are not the batch thrown away.
    m_sockets->processPendingDatagrams(m_udp->nmeaSocket());
    m_pairing->sendDevStart();
    // A box that is already running answers this at once instead of at the first request of the
    // link supervision.
    m_pairing->sendSinglePairRequest();
}

void NetworkStack::connectSettings(SerializationController *controller, SetupSerializableClass *sharedSettings)
{
    // Every pairing exchange, the supervision's single requests included, is answered by the
    // box's complete settings, which must then be taken whole.
    if (sharedSettings)
        connect(m_pairing, &PairingController::aboutToSendPairMsg, sharedSettings,
                [sharedSettings] { sharedSettings->initReceivedTimestampHash(); });
    connect(this, &NetworkStack::settingsTextReceived, controller, &SerializationController::deserializeData);
    connect(controller, &SerializationController::pairingRequested, m_pairing,
            &PairingController::sendSinglePairRequest);
    connect(m_pairing, &PairingController::aboutToSendPairMsg, controller, &SerializationController::setConnectingToJb);
}

void NetworkStack::connectSentencePaths(NmeaHandlerContainer &handlers, SignalEmitter &emitter)
{
    connect(handlers.find<HandlerPztqSfiAck>(), &NmeaHandler::sentenceReceived, m_pairing,
            [this](const QStringList &f) { m_pairing->sfiAckReceived(f.value(0), f.value(1), f.value(2), f.value(3)); });
    connect(handlers.find<HandlerPztqDevStart>(), &NmeaHandler::sentenceReceived, m_pairing,
            [this](const QStringList &f) { m_pairing->devStartReceived(f.value(0)); });
    connect(handlers.find<HandlerPztqSfiChange>(), &NmeaHandler::sentenceReceived, m_pairing,
            [this](const QStringList &f) { m_pairing->sfiChangeReceived(f.value(0), f.value(1)); });
    connect(m_pairing, &PairingController::sentenceReadyToSend, &emitter,
            [&emitter](const QString &type, const QString &sentence) {
                emit emitter.signalTypeAndCompleteNmeaMessageAndPort(type, sentence, UDP, false);
            });
}

void NetworkStack::sendSentences(const QStringList &sentences)
{
    nmeaOverUdp()->packUdp(sentences, MessageTypeOrdinary, false, QString());
}

void NetworkStack::sendNmeaGroup(NmeaGroupInfo group, bool to_internal_interface, QStringList destination_sfis)
{
    Q_UNUSED(to_internal_interface)
    const bool settings = settingstraffic::isCarrierGroup(group.messages);
    nmeaOverUdp()->packSerializedString(group.messages, group.value == 1 ? MessageTypeNetworkAdministration
                                                                          : MessageTypeOrdinary,
                                        settings, settings, destination_sfis);
}
