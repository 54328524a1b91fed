#pragma once

#include "echoimagesource.h"
#include "simulatedsounder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class ESData;
class SimulatedAlertManager;
class SimulatedHistory;
class EchoImageSource;
class ListOfSfisOnNetwork;
class NmeaOverUdpController;
class QTextStream;
class Udp61162450Controller;
class socketInterface;
struct ReceivedSentenceGroup;

// A junction box on the network: announces itself, answers pairing, keeps its own copy of the
// shared settings (files in its own folder), sends them whole after pairing, applies and echoes
// single changes from the control unit with timestamps, acknowledges setup datagrams and
// publishes runtime values every second. It does what a junction box does and no more (it does
// not answer the display's announcement). To rehearse what happens on a ship it can restart,
// fall silent for a while, withhold its acknowledgements and number its images in several ways.
class JunctionBoxSimulator : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString interfaceName = QStringLiteral("lo");
        int group = 3;
        QString sfi = QStringLiteral("SD0108");
        QString dataDirectory = QStringLiteral(".");
        QString softwareVersion;          // empty: the unit's own version
        int silentAfterS = -1;            // fall silent this long after start (-1 never)
        int silentForS = -1;              // and speak again after this long (-1 never)
        int restartAfterS = -1;           // restart this long after start (-1 never)
        EchoImageSource::BlockIds blockIds = EchoImageSource::BlockIds::Counting;
        bool dropAcks = false;
        bool forceShallow = false;        // report a depth above the shallow-water limit to the alerts
        int publishIntervalMs = 1000;
        int pingRate = 5;                 // echo pings per second and channel (0: no echo images)
        int historyPort = 80;             // web server of the history files on loopback (0: none)
        int historyAnnounceS = 60;        // how often a grown history file is announced
    };

    explicit JunctionBoxSimulator(const Options &options, QObject *parent = nullptr);
    ~JunctionBoxSimulator() override;

    void start();
    bool isSilent() const { return m_silent; }
    ESData *data() const { return m_data.get(); }

signals:
    void event(QString text);

private slots:
    void datagramReceived(QByteArray datagram, bool internal, bool from_internal_interface);
    void groupReceived(const ReceivedSentenceGroup &group);
    void settingsTextReceived(QString text, QString source_sfi);
    void publish();
    void fallSilent();
    void resume();
    // Like a power cycle: the display is forgotten, the box is silent for a moment and then
    // announces itself again.
    void restart();

private:
    void sendSentence(const QString &sentence, const QStringList &destinations = QStringList());
    void sendSettingsText(const QString &text);
    void sendCompleteSetup();
    void pairedWith(const QString &display);
    void announceHistoryFile(int channel);
    void log(const QString &text);

    Options m_options;
    std::unique_ptr<ESData> m_data;
    ListOfSfisOnNetwork *m_sfis;
    Udp61162450Controller *m_udp;
    socketInterface *m_sockets;
    NmeaOverUdpController *m_nmea;
    SimulatedSounder *m_sounder;
    EchoImageSource *m_echoes = nullptr;
    SimulatedAlertManager *m_alerts = nullptr;
    SimulatedHistory *m_history = nullptr;
    QTimer m_alertTimer;
    QTimer m_publishTimer;
    QElapsedTimer m_clock;
    bool m_silent = false;
};
