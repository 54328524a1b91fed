#include "esdata.h"
#include "essetup.h"
#include "listofsfisonnetwork.h"
#include "netfixtures.h"
#include "networkstack.h"
#include "pairingcontroller.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr int kInterval = 20;
const QString kCu = QStringLiteral("SD0109");
const QString kJb = QStringLiteral("SD0108");

int countOf(const QSignalSpy &spy, const QString &text)
{
    return int(std::count_if(spy.cbegin(), spy.cend(), [&](const QVariantList &a) { return a.at(1) == text; }));
}
QString ack(const QString &to, const QString &command, const QString &from = kJb)
{
    return PairingController::sfiAckSentence(from, to, command, "P");
}
} // namespace

class TestPairing : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_pairing.reset();
        m_sfis = std::make_unique<ListOfSfisOnNetwork>();
        m_sfis->setLocalSfi(kCu);
        m_pairing = std::make_unique<PairingController>(m_sfis.get(), kInterval);
        m_pairing->setInitialPairedSfi(kJb);
        m_sent = std::make_unique<QSignalSpy>(m_pairing.get(), &PairingController::sentenceReadyToSend);
    }

    void sentencesCarryTheirChecksum()
    {
        QCOMPARE(PairingController::pairSentence(kCu, kJb, QStringLiteral("P")),
                 netfixtures::sentence(QStringLiteral("PZTQPAIR,SD0109,SD0108,P")));
        QCOMPARE(PairingController::devStartSentence(kCu), netfixtures::sentence(QStringLiteral("PZTQDEVSTART,SD0109")));
        QCOMPARE(PairingController::proprietaryFields(ack(kCu, QStringLiteral("PAIR"))),
                 (QStringList{"SFIACK", "SD0108", "SD0109", "PAIR", "P"}));
        QVERIFY(PairingController::proprietaryFields(ack(kCu, QStringLiteral("PAIR")).replace("PAIR", "PAIX")).isEmpty());
    }

    void changingThePairedBoxUnpairsTheOldOneAndRetriesTenTimes()
    {
        QSignalSpy about(m_pairing.get(), &PairingController::aboutToSendPairMsg);
        QElapsedTimer clock;
        clock.start();
        m_pairing->setPairedSfi(QStringLiteral("SD0110"));
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0110")});
        QTRY_COMPARE_WITH_TIMEOUT(m_sent->count(), 20, 5000);
        QVERIFY(clock.elapsed() >= 9 * kInterval);   // ten sends one interval apart
        QTest::qWait(5 * kInterval);
        QCOMPARE(m_sent->count(), 20);
        QCOMPARE(countOf(*m_sent, PairingController::pairSentence(kCu, kJb, QStringLiteral("U"))), 10);
        QCOMPARE(countOf(*m_sent, PairingController::pairSentence(kCu, QStringLiteral("SD0110"), QStringLiteral("P"))), 10);
        QCOMPARE(about.count(), 10);
        QVERIFY(!m_pairing->isPairing());
    }

    void onlyAnAcknowledgementForUsStopsTheRepetition()
    {
        QSignalSpy acked(m_pairing.get(), &PairingController::pairingAcknowledged);
        m_pairing->devStartReceived(kJb);
        QCOMPARE(m_sfis->connectedSfis(), QStringList{kJb});
        QCOMPARE(m_sent->count(), 1);   // no unpair: same box
        QTRY_VERIFY(m_sent->count() >= 3);   // polled less often than it repeats: at least
        m_pairing->handleSentences({ack(QStringLiteral("SD0105"), QStringLiteral("PAIR")), ack(kCu, QStringLiteral("SLP"))});
        const int afterOthers = m_sent->count();
        QTRY_VERIFY(m_sent->count() >= afterOthers + 2);
        QCOMPARE(acked.count(), 0);
        m_pairing->handleSentences({ack(kCu, QStringLiteral("PAIR"))});
        QCOMPARE(acked.count(), 1);
        const int atAck = m_sent->count();
        QTest::qWait(6 * kInterval);
        QCOMPARE(m_sent->count(), atAck);
        QCOMPARE(m_pairing->pairSendCount(), 0);
    }

    void aRunningBoxThatAnswersTheUnitsOwnRequestIsConnected()
    {
        QSignalSpy about(m_pairing.get(), &PairingController::aboutToSendPairMsg);
        m_pairing->sendSinglePairRequest();
        QCOMPARE(m_sent->count(), 1);
        QCOMPARE(about.count(), 1);
        QCOMPARE(m_sent->first(), (QVariantList{"PAIR", PairingController::pairSentence(kCu, kJb, "P")}));
        QVERIFY(m_sfis->connectedSfis().isEmpty());
        m_pairing->handleSentences({ack(kCu, "PAIR", "SD0107"), ack("SD0105", "PAIR"), ack(kCu, "SLP")});
        QVERIFY(m_sfis->connectedSfis().isEmpty());
        m_pairing->handleSentences({ack(kCu, "PAIR")});
        QCOMPARE(m_sfis->connectedSfis(), QStringList{kJb});
        QTest::qWait(3 * kInterval);
        QCOMPARE(m_sent->count(), 1);   // a single request has no retries
        m_pairing->setInitialPairedSfi(QString());
        m_pairing->sendSinglePairRequest();   // nobody to ask
        QCOMPARE(m_sent->count(), 1);
    }

    void onlyANewOrRestartedPairedBoxIsPairedAgain()
    {
        m_pairing->handleSentences({PairingController::devStartSentence(QStringLiteral("SD0107"))});
        QTest::qWait(3 * kInterval);
        QCOMPARE(m_sent->count(), 0);
        QVERIFY(m_sfis->connectedSfis().isEmpty());
        m_pairing->setPairedSfi(kJb);   // not yet connected: pairs
        QCOMPARE(m_sent->count(), 1);
        QCOMPARE(m_sfis->connectedSfis(), QStringList{kJb});
        m_pairing->setPairedSfi(kJb);
        QCOMPARE(m_sent->count(), 1);
        QCOMPARE(m_pairing->pairSendCount(), 1);
        m_pairing->handleSentences({PairingController::devStartSentence(kJb)});   // a restarted box is paired anew
        QCOMPARE(m_sent->count(), 2);
        QCOMPARE(m_pairing->pairSendCount(), 1);
    }

    void sfiChangesOfPeersAreFollowedAndTheOwnIsAnnouncedFiveTimes()
    {
        QSignalSpy renamed(m_pairing.get(), &PairingController::pairedBoxSfiChanged);
        m_sfis->connectSfi(kJb);
        m_sfis->addSfi(QStringLiteral("SD0120"));
        m_pairing->handleSentences({PairingController::sfiChangeSentence(QStringLiteral("SD0111"), kJb)});
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0111")});
        QVERIFY(!m_sfis->sfisOnNetwork().contains(kJb));
        QCOMPARE(renamed.count(), 1);   // the stored paired SFI is to follow
        QCOMPARE(renamed.first().first().toString(), QStringLiteral("SD0111"));
        m_pairing->sfiChangeReceived(QStringLiteral("SD0121"), QStringLiteral("SD0120"));
        QCOMPARE(m_sfis->connectedSfis(), QStringList{QStringLiteral("SD0111")});
        QCOMPARE(renamed.count(), 1);
        QVERIFY(m_sfis->sfisOnNetwork().contains(QStringLiteral("SD0121")));
        m_pairing->setLocalSfi(QStringLiteral("SD0112"));
        QCOMPARE(m_sfis->localSfi(), QStringLiteral("SD0112"));
        QTRY_COMPARE(m_sent->count(), 5);
        QTest::qWait(4 * kInterval);
        QCOMPARE(m_sent->count(), 5);
        QCOMPARE(countOf(*m_sent, PairingController::sfiChangeSentence(QStringLiteral("SD0112"), kCu)), 5);
    }

    void everyPairRequestMakesTheNextCompleteSetupCountWhole()
    {
        QTemporaryDir dir;
        ESData data(dir.path() + QStringLiteral("/"));
        SerializationController settings(data);
        ListOfSfisOnNetwork sfis;
        sfis.setLocalSfi(kCu);
        NetworkStack stack(NetworkStack::Options{QStringLiteral("lo"), kInterval, true}, &sfis);
        stack.pairing()->setInitialPairedSfi(kJb);
        stack.connectSettings(&settings, data.setup());
        ESAlertSetup *alerts = data.setup()->AlertSetup();
        auto stamped = [&] { return alerts->receivedTimestamp(QStringLiteral("AlarmShallow")); };
        // The supervision's single request after a silent link, a retry cycle, a single request.
        alerts->setReceivedTimestamp(QStringLiteral("AlarmShallow"), 1000);
        for (int second = 0; second <= SettingsLinkSupervisor::linkTimeoutSeconds; ++second)
            settings.timerTimeout();
        QCOMPARE(stamped(), qint64(-1));
        alerts->setReceivedTimestamp(QStringLiteral("AlarmShallow"), 1000);
        stack.pairing()->devStartReceived(kJb);
        QCOMPARE(stamped(), qint64(-1));
        QVERIFY(settings.link()->isNewConnection());
    }

private:
    std::unique_ptr<ListOfSfisOnNetwork> m_sfis;
    std::unique_ptr<PairingController> m_pairing;
    std::unique_ptr<QSignalSpy> m_sent;   // sentences the pairing sends
};

QTEST_GUILESS_MAIN(TestPairing)
#include "tst_pairing.moc"
