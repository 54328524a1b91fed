#pragma once

#include "nmeagroupinfo.h"
#include "sentenceline.h"

#include <QHash>
#include <QPair>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

class NmeaHandler;
class NmeaMessage;

// Per-line counts of the receive path, from program start.
struct NmeaLineStatistics
{
    int lines = 0;
    int accepted = 0;
    int rejected = 0;
    int handled = 0;
    // Well-formed sentences that the unit has no class or no handler for: relayed, not counted
    // as faults.
    int notHandled = 0;
};

// What became of the well-formed sentences of one formatter on one line.
struct NmeaSentenceCounts
{
    qint64 valid = 0;        // handled, data taken
    qint64 dataInvalid = 0;  // handled, nothing valid to take
    qint64 notHandled = 0;   // no sentence class or no handler
    qint64 fieldErrors = 0;  // a field of wrong length or with an invalid value (codes 4 and 6)

    qint64 total() const { return valid + dataInvalid + notHandled + fieldErrors; }
};

// The sentence controller: checks received groups line by line, parses them into sentence objects
// and hands them to their handlers; and hands outgoing groups to the serial lines and the network.
class NmeaController : public QObject
{
    Q_OBJECT
public:
    static constexpr int lineCount = 7;

    explicit NmeaController(QObject *parent = nullptr);
    ~NmeaController() override;

    // Raw lines of a group from `from` are first passed on to `to`.
    void setForwarding(Port from, Port to) { m_forwarding.insert(from, to); }
    void clearForwarding(Port from) { m_forwarding.remove(from); }
    // Handled lines from a serial line (0 to 2) are copied to these serial ports (never DDC).
    void setSerialCopy(Port from, const QList<Port> &targets) { m_serialCopy.insert(from, targets); }
    // Relaying every received line with its status (0 handled, 1 not known or not handled,
    // 2 failed the check, 3 data not valid) to the communication monitor.
    void setRelaying(bool on) { m_relaying = on; }
    bool isRelaying() const { return m_relaying; }

    NmeaLineStatistics statistics(Port port) const { return m_statistics[statisticsSlot(port)]; }
    // Counts per formatter ("GGA", "PZTQDPT", or the formatter or address of a sentence the unit
    // does not know) of one line, in formatter order. Beyond 64 unknown kinds the rest are
    // counted under "other".
    QList<QPair<QString, NmeaSentenceCounts>> formatterStatistics(Port port) const;
    void clearStatistics();

    // Sentence objects kept for reuse: one per formatter and position in a group.
    int pooledObjectCount() const;

    static bool isSentAllowedInStandby(const QString &type);
    static bool isDataAllowedInStandby(const QString &data);
    static bool isReceivedAllowedInStandby(QStringView talker, QStringView formatter);

signals:
    void nmeaGroupReadyToBeSentOverUdp(NmeaGroupInfo group_info, bool to_internal_interface,
                                       QStringList destination_sfis);
    void nmeaGroupReadyToBeSentOverSerialPort(NmeaGroupInfo group_info);
    // Communication log feeds.
    void inputMessageLogged(Port port, QString message);
    void inputErrorLogged(int error_type, Port port, QString message);
    void outputMessageGroupLogged(NmeaGroupInfo group_info);
    void lineRelayed(QString message, Port port, int status);
    void heartbeatReceived(QString talker, QString sender_id);
    // After every group: counts of the line ("CommsData") and whether it carried valid input
    // ("CuPortsIn").
    void communicationStatisticsUpdated(Port port, bool input_valid);

public slots:
    void handleReceivedNmeaList(NmeaGroupInfo group_info);
    void handleReceivedNmeaListInStandby(NmeaGroupInfo nmea_group_info);

    void sendStandardNmeaMessageOfTypeOverPort(QString type, Port port, QString id = QString());
    void sendPreparedStandardNmeaMessageOverPort(QString type, QString complete_message, Port port,
                                                 bool to_connected_devices, QString id = QString());
    void sendPreparedStandardNmeaListWithCustomDestinationSFI(QString type,
                                                              QList<QString> complete_messages,
                                                              Port port, QString id,
                                                              QString destination_sfi);
    void sendProprietaryNmeaList(QString data, QString formatter = QString(),
                                 QStringList destination_sfis = QStringList());

    void sendStandardNmeaMessageOfTypeOverPortInStandby(QString type, Port port,
                                                        QString id = QString());
    void sendPreparedStandardNmeaMessageOverPortInStandby(QString type, QString complete_message,
                                                          Port port, bool to_connected_devices,
                                                          QString id = QString());
    void sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
        QString type, QList<QString> complete_messages, Port port, QString id,
        QString destination_sfi);
    void sendProprietaryNmeaListInStandby(QString data, QString formatter = QString(),
                                          QStringList destination_sfis = QStringList());

private:
    // Sentences of one formatter: reused sentence objects, the handler, and the counts per line.
    struct Pool
    {
        QString name;
        bool known = false;
        QVector<NmeaMessage *> objects;
        int used = 0;
        NmeaHandler *handler = nullptr;
        bool handlerResolved = false;
        NmeaSentenceCounts counts[lineCount + 1];
    };
    struct Kept
    {
        NmeaMessage *message;
        Pool *pool;
        int line;
    };

    void receive(const NmeaGroupInfo &group, bool standby);
    Pool *poolFor(const SentenceLine &line);
    static int statisticsSlot(Port port);
    NmeaHandler *handlerForType(const QString &type) const;
    void relay(const QString &line, Port port, int status);
    void sendGroup(const NmeaGroupInfo &group, bool to_internal_interface);
    void countInputError(int code, Port port, const QString &line);

    QHash<QString, Pool *> m_pools;
    QHash<QString, Pool *> m_addressCache;
    QHash<int, Port> m_forwarding;
    QHash<int, QList<Port>> m_serialCopy;
    NmeaLineStatistics m_statistics[lineCount + 1];
    std::vector<Kept> m_kept;
    SentenceLine m_line;
    int m_unknownKinds = 0;
    bool m_relaying = false;
};
