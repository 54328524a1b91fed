#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class ListOfSfisOnNetwork;

// Announcement and pairing of the control unit with its junction box: "DEVSTART" at start-up,
// the pair request "P" (and "U" to the previous box) repeated every interval until "SFIACK" or
// ten sends, and "SFICHANGE" five times when the unit's own SFI changes. Sentences leave through
// sentenceReadyToSend; received pairing sentences come in through handleSentences or, field by
// field, through the three received slots.
//
// A box that was already running when the unit started need not announce itself again: the
// unit's own pair request reaches it, and its acknowledgement makes it the connected unit.
class PairingController : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxPairSends = 10;
    static constexpr int SfiChangeRepeats = 5;

    explicit PairingController(ListOfSfisOnNetwork *sfis = nullptr, int interval_ms = 1000, QObject *parent = nullptr);

    static QString pairSentence(const QString &source, const QString &destination, const QString &pairDevices);
    static QString devStartSentence(const QString &localSfi);
    static QString sfiChangeSentence(const QString &newSfi, const QString &oldSfi);
    static QString sfiAckSentence(const QString &source, const QString &destination, const QString &typeToAck,
                                  const QString &description);
    // Fields of a proprietary sentence "$PZTQ<formatter>,f1,f2*hh": formatter first; empty when the
    // line is not one or its checksum is wrong.
    static QStringList proprietaryFields(const QString &sentence);

    QString pairedSfi() const;
    QString previousPairedSfi() const { return m_previousPaired; }
    int pairSendCount() const { return m_pair.count; }
    int unpairSendCount() const { return m_unpair.count; }
    bool isPairing() const { return m_pair.timer.isActive(); }

public slots:
    // The stored paired SFI at start: remembered without pairing.
    void setInitialPairedSfi(QString sfi);
    // PairedSFIChanged: the box becomes the connected SFI and pairing starts over (not when the
    // same box is already connected).
    void setPairedSfi(QString sfi);
    // LocalSFIChanged: the network is told five times.
    void setLocalSfi(QString sfi);
    void sendDevStart();
    // One pair request outside the retry cycle (start-up, link supervision, unreadable settings).
    void sendSinglePairRequest();
    // Pairing sentences among a received group; others are left alone.
    void handleSentences(QStringList sentences);
    void sfiAckReceived(QString source, QString destination, QString type_to_ack, QString description);
    void devStartReceived(QString local_sfi);
    void sfiChangeReceived(QString new_sfi, QString old_sfi);

signals:
    // type: the formatter ("PAIR", "DEVSTART", "SFICHANGE"), by which the send path decides
    // what may leave the unit in standby.
    void sentenceReadyToSend(QString type, QString sentence);
    // Every pair request, retries and single requests alike: the box answers with its complete
    // settings, which must be taken whole.
    void aboutToSendPairMsg();
    void pairingAcknowledged(QString sfi);
    // The paired box announced a new SFI of its own.
    void pairedBoxSfiChanged(QString new_sfi);

private slots:
    void pairedSfiChanged();
    void sendPairMessage();
    void sendUnpairMessage();
    void sendMessage_timeout();

private:
    struct Retry
    {
        QTimer timer;
        bool acknowledged = false;
        int count = 0;
        QString sentence;
    };
    bool sendRetry(Retry &retry);
    void renewPairing(const QString &sfi);

    ListOfSfisOnNetwork *m_sfis;
    QString m_previousPaired;
    Retry m_pair;
    Retry m_unpair;
    QTimer m_sfiChangeTimer;
    QString m_sfiChangeSentence;
    int m_sfiChangeCount = 0;
};
