#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class ListOfSfisOnNetwork;

// Announcement and pairing of the control unit with its junction box: "DEVSTART" at start-up,
// the pair request "P" (and "U" to the previous box) repeated every interval until "SFIACK" or
// ten sends, and "SFICHANGE" five times when the unit's own SFI changes. Sentences leave through
// sentenceReadyToSend; received pairing sentences come in through handleSentences.
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

    QString pairedSfi() const { return m_paired; }
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
    // One pair request outside the retry cycle (link supervision, unreadable settings).
    void sendSinglePairRequest();
    // Pairing sentences among a received group; others are left alone.
    void handleSentences(QStringList sentences);
    void sfiAckReceived(QString source, QString destination, QString type_to_ack, QString description);
    void devStartReceived(QString local_sfi);
    void sfiChangeReceived(QString new_sfi, QString old_sfi);

signals:
    void sentenceReadyToSend(QString sentence);
    void aboutToSendPairMsg();
    // Every pairing exchange: the shared settings will be taken whole from the box again.
    void pairingStarted(QString sfi);
    void pairingAcknowledged(QString sfi);
    void peerSfiChanged(QString new_sfi, QString old_sfi);

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
    QString m_paired;
    QString m_previousPaired;
    Retry m_pair;
    Retry m_unpair;
    QTimer m_sfiChangeTimer;
    QString m_sfiChangeSentence;
    int m_sfiChangeCount = 0;
};
