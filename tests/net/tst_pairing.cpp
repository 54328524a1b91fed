#include "listofsfisonnetwork.h"
#include "netfixtures.h"
#include "pairingcontroller.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kInterval = 20;

QStringList sentTexts(const QSignalSpy &spy)
{
    QStringList out;
    for (const QVariantList &args : spy)
        out.append(args.first().toString());
    return out;
}
} // namespace

class TestPairing : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_sfis = new ListOfSfisOnNetwork(this);
        m_sfis->setLocalSfi(QStringLiteral("SD0109"));
        m_pairing = new PairingController(m_sfis, kInterval, this);
        m_pairing->setInitialPairedSfi(QStringLiteral("SD0108"));
    }
    void cleanup()
    {
        delete m_pairing;
        delete m_sfis;
    }

    void sentencesCarryTheirChecksum()
    {
        QCOMPARE(PairingController::pairSentence(QStringLiteral("SD0109"), QStringLiteral("SD0108"), QStringLiteral("P")),
                 netfixtures::sentence(QStringLiteral("PZTQPAIR,SD0109,SD0108,P")));
        QCOMPARE(PairingController::devStartSentence(QStringLiteral("SD0109")),
                 netfixtures::sentence(QStringLiteral("PZTQDEVSTART,SD0109")));
        const QString ack = PairingController::sfiAckSentence(QStringLiteral("SD0108"), QStringLiteral("SD0109"),
                                                              QStringLiteral("PAIR"), QStringLiteral("P"));
        QCOMPARE(PairingController::proprietaryFields(ack),
                 (QStringList{"SFIACK", "SD0108", "SD0109", "PAIR", "P"}));
        QString broken = ack;
        broken.replace(QStringLiteral("PAIR"), QStringLiteral("PAIX"));
        QVERIFY(PairingController::proprietaryFields(broken).isEmpty());
    }

    void changingThePairedBoxUnpairsTheOldOneAndRetriesTenTimes()
    {
        QSignalSpy sent(m_pairing, &PairingController::sentenceReadyToSend);
        QSignalSpy about(m_pairing, &PairingController::aboutToSendPairMsg);
        QElapsedTimer clock;
        clock.start();
        m_pairing->setPairedSfi(QStringLiteral("SD0110"));
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0110")});
        QTRY_COMPARE_WITH_TIMEOUT(sent.count(), 20, 5000);
        // Ten sends one interval apart take at least nine intervals.
        QVERIFY(clock.elapsed() >= 9 * kInterval);
        QTest::qWait(5 * kInterval);
        QCOMPARE(sent.count(), 20);
        const QStringList texts = sentTexts(sent);
        const QString unpair = PairingController::pairSentence(QStringLiteral("SD0109"), QStringLiteral("SD0108"), QStringLiteral("U"));
        const QString pair = PairingController::pairSentence(QStringLiteral("SD0109"), QStringLiteral("SD0110"), QStringLiteral("P"));
        QCOMPARE(texts.count(unpair), 10);
        QCOMPARE(texts.count(pair), 10);
        QCOMPARE(about.count(), 10);
        QVERIFY(!m_pairing->isPairing());
    }

    void onlyAnAcknowledgementForUsStopsTheRepetition()
    {
        QSignalSpy sent(m_pairing, &PairingController::sentenceReadyToSend);
        QSignalSpy acked(m_pairing, &PairingController::pairingAcknowledged);
        m_pairing->devStartReceived(QStringLiteral("SD0108"));
        QCOMPARE(sent.count(), 1);   // no unpair: same box
        QTRY_COMPARE(sent.count(), 3);
        m_pairing->handleSentences({PairingController::sfiAckSentence(QStringLiteral("SD0108"), QStringLiteral("SD0105"),
                                                                      QStringLiteral("PAIR"), QStringLiteral("P"))});
        m_pairing->handleSentences({PairingController::sfiAckSentence(QStringLiteral("SD0108"), QStringLiteral("SD0109"),
                                                                      QStringLiteral("SLP"), QStringLiteral("P"))});
        QTRY_COMPARE(sent.count(), 5);
        QCOMPARE(acked.count(), 0);
        m_pairing->handleSentences({PairingController::sfiAckSentence(QStringLiteral("SD0108"), QStringLiteral("SD0109"),
                                                                      QStringLiteral("PAIR"), QStringLiteral("P"))});
        QCOMPARE(acked.count(), 1);
        const int atAck = sent.count();
        QTest::qWait(6 * kInterval);
        QCOMPARE(sent.count(), atAck);
        QCOMPARE(m_pairing->pairSendCount(), 0);
    }

    void rewritingTheSamePairedBoxDoesNotPairAgain()
    {
        QSignalSpy sent(m_pairing, &PairingController::sentenceReadyToSend);
        m_pairing->setPairedSfi(QStringLiteral("SD0108"));   // not yet connected: pairs
        QCOMPARE(sent.count(), 1);
        m_pairing->setPairedSfi(QStringLiteral("SD0108"));
        QCOMPARE(sent.count(), 1);
        QCOMPARE(m_pairing->pairSendCount(), 1);
        m_pairing->devStartReceived(QStringLiteral("SD0108"));   // a restarted box is paired anew
        QCOMPARE(sent.count(), 2);
        QCOMPARE(m_pairing->pairSendCount(), 1);
    }

    void devStartFromAnotherBoxChangesNothing()
    {
        QSignalSpy sent(m_pairing, &PairingController::sentenceReadyToSend);
        m_pairing->handleSentences({PairingController::devStartSentence(QStringLiteral("SD0107"))});
        QTest::qWait(3 * kInterval);
        QCOMPARE(sent.count(), 0);
        QVERIFY(m_sfis->connectedSfis().isEmpty());
        m_pairing->handleSentences({PairingController::devStartSentence(QStringLiteral("SD0108"))});
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0108")});
        QCOMPARE(sent.count(), 1);
    }

    void peerSfiChangeFollowsTheConnectedBox()
    {
        m_sfis->connectSfi(QStringLiteral("SD0108"));
        m_sfis->addSfi(QStringLiteral("SD0120"));
        m_pairing->handleSentences({PairingController::sfiChangeSentence(QStringLiteral("SD0111"), QStringLiteral("SD0108"))});
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0111")});
        QVERIFY(!m_sfis->sfisOnNetwork().contains(QStringLiteral("SD0108")));
        m_pairing->sfiChangeReceived(QStringLiteral("SD0121"), QStringLiteral("SD0120"));
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0111")});
        QVERIFY(m_sfis->sfisOnNetwork().contains(QStringLiteral("SD0121")));
    }

    void ownSfiChangeIsAnnouncedFiveTimes()
    {
        QSignalSpy sent(m_pairing, &PairingController::sentenceReadyToSend);
        m_pairing->setLocalSfi(QStringLiteral("SD0112"));
        QCOMPARE(m_sfis->localSfi(), QStringLiteral("SD0112"));
        QTRY_COMPARE(sent.count(), 5);
        QTest::qWait(4 * kInterval);
        QCOMPARE(sent.count(), 5);
        QCOMPARE(sentTexts(sent).count(PairingController::sfiChangeSentence(QStringLiteral("SD0112"), QStringLiteral("SD0109"))), 5);
    }

private:
    ListOfSfisOnNetwork *m_sfis = nullptr;
    PairingController *m_pairing = nullptr;
};

QTEST_GUILESS_MAIN(TestPairing)
#include "tst_pairing.moc"
