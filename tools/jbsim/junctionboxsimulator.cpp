#include "junctionboxsimulator.h"

#include "echoimagesource.h"
#include "esdata.h"
#include "esruntime.h"
#include "essetup.h"
#include "listofsfisonnetwork.h"
#include "nmeainputbuffer.h"
#include "nmeaoverudpcontroller.h"
#include "pairingcontroller.h"
#include "simulatedalertmanager.h"
#include "simulatedhistory.h"
#include "socketinterface.h"
#include "systeminformation.h"
#include "udp61162450controller.h"
#include "udpparserclass.h"

#include <QDateTime>
#include <QDir>
#include <QTextStream>

namespace {

// A single-property text with the value's timestamp put after it: "...,Name=value(ts)".
QString withTimestamp(QString text, qint64 timestamp)
{
    const int open = text.lastIndexOf(QLatin1Char('('));
    const int eq = text.lastIndexOf(QLatin1Char('='));
    if (open > eq && text.endsWith(QLatin1Char(')')))
        text.truncate(open);
    return text + QLatin1Char('(') + QString::number(timestamp) + QLatin1Char(')');
}

} // namespace

JunctionBoxSimulator::JunctionBoxSimulator(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_data(std::make_unique<ESData>(QDir(options.dataDirectory).filePath(
          QStringLiteral("Setup_Files/") + SystemInformation::instance().displayName() + QLatin1Char('/'))))
    , m_sfis(new ListOfSfisOnNetwork(this))
    , m_udp(new Udp61162450Controller(Udp61162450Controller::interfaceForName(options.interfaceName), m_sfis, this))
    , m_sockets(new socketInterface(m_udp, m_sfis, this))
    , m_nmea(m_udp->nmeaOverUdpController())
    , m_sounder(new SimulatedSounder(1000, this))
{
    m_sfis->setLocalSfi(options.sfi);
    m_nmea->setAcknowledgeSetupDatagrams(!options.dropAcks);

    ESKX12Setup *box = m_data->setup()->KX12Setup();
    box->setLocalSFI(options.sfi);
    box->setGroup(options.group);
    box->setSoftwareVersion(options.softwareVersion.isEmpty() ? SystemInformation::softwareVersion()
                                                              : options.softwareVersion);
    // The address the display fetches the history files from: the box's web server answers on
    // loopback only.
    box->setIP(QStringLiteral("127.0.0.1"));
    for (const char *name : {"LocalSFI", "Group", "SoftwareVersion", "IP"})
        box->setValid(QString::fromLatin1(name), true);
    box->writeToFile();

    // Everything the box sends passes here, so that a silent box sends nothing at all.
    connect(m_nmea, &NmeaOverUdpController::sendDatagrams, this, [this](const QByteArrayList &d, bool internal) {
        if (!m_silent)
            m_sockets->sendNmeaDatagrams(d, internal);
    });
    connect(m_sockets, &socketInterface::recievedMessage, this, &JunctionBoxSimulator::datagramReceived);
    connect(m_nmea, &NmeaOverUdpController::sentenceGroupReceived, this, &JunctionBoxSimulator::groupReceived);
    connect(m_nmea, &NmeaOverUdpController::settingsTextReceived, this, &JunctionBoxSimulator::settingsTextReceived);
    connect(m_nmea, &NmeaOverUdpController::lostCommunicationWithSfi, this,
            [this](const QString &sfi) { log(QStringLiteral("lost communication with ") + sfi); });
    connect(m_nmea, &NmeaOverUdpController::datagramAcknowledged, this,
            [this](const QString &tag, const QString &sfi) { log(QStringLiteral("acknowledged ") + tag + QLatin1String(" by ") + sfi); });

    m_publishTimer.setInterval(options.publishIntervalMs);
    connect(&m_publishTimer, &QTimer::timeout, this, &JunctionBoxSimulator::publish);
    // Hook for the simulated transceiver: depth values now, echo images and alerts later.
    connect(m_sounder, &SimulatedSounder::pinged, this, [this](const SimulatedSounder::Ping &ping) {
        ESRuntime *runtime = m_data->runtime();
        runtime->setDepthTransducer(ping.depthCh1);
        runtime->setDepthTransducerCh1(ping.depthCh1);
        runtime->setDepthTransducerCh2(ping.depthCh2);
        for (const char *name : {"DepthTransducer", "DepthTransducerCh1", "DepthTransducerCh2"}) {
            runtime->setValid(QString::fromLatin1(name), true);
            runtime->setIntegrity(QString::fromLatin1(name), true);
        }
    });
    // The box's alert management over its simulated depth and the shared alert limits.
    m_alerts = new SimulatedAlertManager(this);
    m_alerts->followAlertSetup(m_data->setup()->AlertSetup());
    connect(m_sounder, &SimulatedSounder::pinged, m_alerts, [this](const SimulatedSounder::Ping &ping) {
        if (m_options.forceShallow)
            m_alerts->updateDepth(m_data->setup()->AlertSetup()->AlarmShallow() / 2.0, false);
        else
            m_alerts->updateDepth(ping.depthCh1, ping.depthCh1 <= -100.0);
    });
    connect(m_alerts, &SimulatedAlertManager::publishRequested, this, [this](const QString &text) {
        if (!m_silent && !m_sfis->connectedSfis().isEmpty())
            sendSettingsText(text);
    });
    m_alertTimer.setInterval(1000);
    connect(&m_alertTimer, &QTimer::timeout, m_alerts, &SimulatedAlertManager::tick);
    m_alertTimer.start();

    // With echo images on, the depths come from the synthetic echoes instead.
    if (options.pingRate > 0) {
        m_echoes = new EchoImageSource(options.pingRate, options.sfi, this);
        m_echoes->setBlockIds(options.blockIds);
        connect(m_echoes, &EchoImageSource::pinged, m_sounder, &SimulatedSounder::pinged);
        connect(m_echoes, &EchoImageSource::pingReported, this, &JunctionBoxSimulator::log);
        connect(m_echoes, &EchoImageSource::datagramsReady, this, [this](const QByteArrayList &d) {
            if (!m_silent)
                m_sockets->sendBinaryDatagrams(d, true);
        });
        if (options.historyPort > 0) {
            m_history = new SimulatedHistory(QDir(options.dataDirectory).filePath(QStringLiteral("History")),
                                             options.historyAnnounceS, this);
            connect(m_echoes, &EchoImageSource::displayRecordMade, m_history, &SimulatedHistory::addDisplayRecord);
            connect(m_history, &SimulatedHistory::fileReady, this, &JunctionBoxSimulator::announceHistoryFile);
        }
    }
}

void JunctionBoxSimulator::announceHistoryFile(int channel)
{
    // The display fetches the file when the channel's counter changes.
    ESHistorySetup *history = m_data->setup()->HistorySetup();
    const QString name = channel == 0 ? QStringLiteral("NewFileReadyCounterCh1") : QStringLiteral("NewFileReadyCounterCh2");
    const int counter = (history->property(name.toLatin1().constData()).toInt() + 1) % 2147483647;
    history->setProperty(name.toLatin1().constData(), counter);
    history->setValid(name, true);
    const QString text = m_data->setup()->serializeSingleProperty(history, name, counter);
    history->writeToFile();
    log(QStringLiteral("history file of channel %1 ready, %2 points").arg(channel + 1).arg(m_history->points(channel)));
    if (!m_silent && !m_sfis->connectedSfis().isEmpty())
        sendSettingsText(withTimestamp(text, QDateTime::currentMSecsSinceEpoch()));
}

JunctionBoxSimulator::~JunctionBoxSimulator() = default;

void JunctionBoxSimulator::log(const QString &text)
{
    static QTextStream out(stdout);
    out << "jbsim " << m_clock.elapsed() << " ms: " << text << '\n';
    out.flush();
    emit event(text);
}

void JunctionBoxSimulator::start()
{
    m_clock.start();
    m_udp->updateNmeaGroup(m_options.group);
    m_sockets->init();
    m_sockets->enableReception();
    m_sockets->processPendingDatagrams(m_udp->nmeaSocket());   // stale traffic from before the start
    if (m_history) {
        if (m_history->listen(quint16(m_options.historyPort)))
            log(QStringLiteral("history files served on 127.0.0.1:%1 from %2").arg(m_history->port()).arg(m_history->directory()));
        else
            log(QStringLiteral("history web server: port %1 not available").arg(m_options.historyPort));
    }
    if (m_echoes)
        m_echoes->start();
    else
        m_sounder->start();
    m_publishTimer.start();
    if (m_options.silentAfterS >= 0)
        QTimer::singleShot(m_options.silentAfterS * 1000, this, &JunctionBoxSimulator::fallSilent);
    if (m_options.restartAfterS >= 0)
        QTimer::singleShot(m_options.restartAfterS * 1000, this, &JunctionBoxSimulator::restart);
    log(QStringLiteral("started as %1 on %2, group %3").arg(m_options.sfi, m_options.interfaceName).arg(m_options.group));
    sendSentence(PairingController::devStartSentence(m_options.sfi));
}

void JunctionBoxSimulator::fallSilent()
{
    m_silent = true;
    log(QStringLiteral("silent"));
    if (m_options.silentForS >= 0)
        QTimer::singleShot(m_options.silentForS * 1000, this, &JunctionBoxSimulator::resume);
}

void JunctionBoxSimulator::restart()
{
    log(QStringLiteral("restarting"));
    m_silent = true;
    for (const QString &display : m_sfis->connectedSfis())
        m_sfis->disconnectSfi(display);
    QTimer::singleShot(2000, this, [this] {
        m_silent = false;
        log(QStringLiteral("restarted"));
        sendSentence(PairingController::devStartSentence(m_options.sfi));
    });
}

void JunctionBoxSimulator::resume()
{
    m_silent = false;
    log(QStringLiteral("resumed"));
    sendSentence(PairingController::devStartSentence(m_options.sfi));
}

void JunctionBoxSimulator::sendSentence(const QString &sentence, const QStringList &destinations)
{
    m_nmea->packUdp(QStringList{sentence}, MessageTypeOrdinary, false, QString(), destinations);
}

void JunctionBoxSimulator::sendSettingsText(const QString &text)
{
    if (!m_silent)
        m_nmea->sendSettingsText(text);
}

void JunctionBoxSimulator::sendCompleteSetup()
{
    const QString text = m_data->setup()->serialize();
    log(QStringLiteral("complete setup sent, %1 characters").arg(text.size()));
    sendSettingsText(text);
}

void JunctionBoxSimulator::datagramReceived(QByteArray datagram, bool internal, bool from_internal_interface)
{
    if (datagram.contains("t:pztqsetup"))
        log(QStringLiteral("setup datagram ") + QString::fromLatin1(UdpParserClass::groupField(datagram)) + QLatin1Char('-')
            + QString::fromLatin1(UdpParserClass::lineNumber(datagram)) + (m_options.dropAcks || m_silent ? QStringLiteral(" not acknowledged") : QString()));
    // A silent box hears everything but answers nothing, its acknowledgements included.
    m_nmea->setAcknowledgeSetupDatagrams(!m_options.dropAcks && !m_silent);
    m_nmea->processReceivedDatagram(datagram, internal, from_internal_interface);
}

void JunctionBoxSimulator::groupReceived(const ReceivedSentenceGroup &group)
{
    const QString own = m_options.sfi;
    for (const QString &s : group.sentences) {
        const QStringList f = PairingController::proprietaryFields(s);
        if (f.isEmpty())
            continue;
        const QString &formatter = f.first();
        if (formatter == QLatin1String("PAIR") && f.size() >= 4 && f.at(2) == own) {
            const QString display = f.at(1);
            log(QStringLiteral("PAIR %1 from %2").arg(f.at(3), display));
            if (m_silent)
                continue;
            sendSentence(PairingController::sfiAckSentence(own, display, QStringLiteral("PAIR"), f.at(3)), {display});
            if (f.at(3) == QLatin1String("P"))
                pairedWith(display);
            else
                m_sfis->disconnectSfi(display);
        } else if (formatter == QLatin1String("DEVSTART") && f.size() >= 2 && f.at(1) != own) {
            // A junction box need not answer a display's announcement: the display asks to pair.
            log(QStringLiteral("DEVSTART from ") + f.at(1));
        } else if (formatter == QLatin1String("SFICHANGE") && f.size() >= 3) {
            log(QStringLiteral("SFICHANGE %1 -> %2").arg(f.at(2), f.at(1)));
            m_sfis->deviceOnNetworkChangedLocalSfi(f.at(1), f.at(2));
        }
    }
}

void JunctionBoxSimulator::pairedWith(const QString &display)
{
    m_sfis->connectSfi(display);
    // A new pairing: the display's next changes count from scratch.
    m_data->setup()->initReceivedTimestampHash();
    sendCompleteSetup();
}

void JunctionBoxSimulator::settingsTextReceived(QString text, QString source_sfi)
{
    const QStringList head = text.left(64).split(QLatin1Char(','));
    QString tag = head.value(0);
    if (tag.endsWith(QLatin1String("NoAck")))
        tag.chop(5);
    const bool single = head.value(1) == QLatin1String("SingleProperty");
    if (tag == QLatin1String("Type_Setup") && single) {
        bool written = false;
        SerializableClass *owner = m_data->setup()->deserializeSingleProperty(text, &written);
        if (!owner || !written) {
            log(QStringLiteral("single property refused: ") + text);
            return;
        }
        owner->writeToFile();
        log(QStringLiteral("applied from %1: %2").arg(source_sfi, text));
        // Echo the change back, stamped, as the box's own record of it.
        QString echo = text;
        if (echo.startsWith(QLatin1String("Type_SetupNoAck")))
            echo.replace(0, 15, QStringLiteral("Type_Setup"));
        sendSettingsText(withTimestamp(echo, QDateTime::currentMSecsSinceEpoch()));
    } else if (tag == QLatin1String("Type_Setup")) {
        const bool ok = m_data->setup()->deserialize(text);
        m_data->setup()->writeAllChildrenToFiles();
        log(QStringLiteral("complete setup received from %1: %2").arg(source_sfi, ok ? QStringLiteral("read") : QStringLiteral("malformed")));
    } else if (tag == QLatin1String("Type_Alert")) {
        // An acknowledgement from the display arrives as a change of AckFromDisplay.
        log(QStringLiteral("alert text from %1: %2").arg(source_sfi, text.left(120)));
        m_alerts->deserializeData(text);
    } else {
        log(QStringLiteral("text from %1: %2").arg(source_sfi, text.left(120)));
    }
}

void JunctionBoxSimulator::publish()
{
    if (m_silent || m_sfis->connectedSfis().isEmpty())
        return;
    sendSettingsText(m_data->runtime()->serialize());
    sendSettingsText(m_alerts->completeText());
}
