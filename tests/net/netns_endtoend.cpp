// The control unit's network side, settings trees and settings controller in this process against
// the real junction-box simulator in its own, inside a private network namespace.
#include "childprocess.h"
#include "esdata.h"
#include "essetup.h"
#include "listofsfisonnetwork.h"
#include "netfixtures.h"
#include "networkstack.h"
#include "nmeaoverudpcontroller.h"
#include "pairingcontroller.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kCu = QStringLiteral("SD0109");
const QString kJb = QStringLiteral("SD0108");

// The simulator in group 3 with its data in dir.
struct Box : ChildProcess
{
    explicit Box(const QString &dir, const QStringList &extra = QStringList())
        : ChildProcess(KVE_JBSIM, QStringList{"--interface", "lo", "--group", "3", "--data-dir", dir} + extra, dir) {}
};

// The unit's settings trees in their own folder, settings controller with link supervision, network stack.
struct ControlUnit
{
    ESData data;
    SerializationController settings{data};
    ListOfSfisOnNetwork sfis;
    NetworkStack stack{NetworkStack::Options{QStringLiteral("lo"), 1000, true}, &sfis};

    explicit ControlUnit(const QString &dir) : data(dir + QStringLiteral("/Setup_Files/KVE 420/"))
    {
        sfis.setLocalSfi(kCu);
        stack.pairing()->setInitialPairedSfi(kJb);
        stack.connectSettings(&settings, data.setup());
        // The unit's texts leave the way the program sends them when not in standby.
        for (auto text : {&SerializationController::setupChangeToSend, &SerializationController::runtimeChangeToSend})
            QObject::connect(&settings, text, stack.nmeaOverUdp(),
                             [this](const QString &t) { stack.nmeaOverUdp()->sendSettingsText(t); });
        settings.link()->start();
        stack.start(3);
        stack.enableReception();
    }
    ESAlertSetup *alerts() const { return data.setup()->AlertSetup(); }
    bool completeSetupArrives()
    {
        return QSignalSpy(&settings, &SerializationController::finishedDeserializingCompleteSetup).wait(8000);
    }
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(netfixtures::onlyLoopback(), "must run inside a private network namespace");
        QVERIFY(QFile::exists(QStringLiteral(KVE_JBSIM)));
    }

    void pairingBringsTheLinkUpAndASettingSurvivesRestartOfBoth()
    {
        QTemporaryDir cuDir, jbDir;
        {   // the first run ends with both sides stopped
            Box box(jbDir.path());
            QTRY_VERIFY(box.count(QStringLiteral("started as SD0108")) == 1);
            ControlUnit cu(cuDir.path());
            QVERIFY(cu.completeSetupArrives());
            QVERIFY(cu.settings.link()->isSetupAccepted());
            // The box's event lines are read as they come; give its output a moment to arrive.
            QTRY_COMPARE(box.count(QStringLiteral("DEVSTART from SD0109")), 1);
            QTRY_VERIFY(box.count(QStringLiteral("PAIR P from SD0109")) >= 1);
            QCOMPARE(cu.sfis.connectedSfis(), QStringList{kJb});
            QCOMPARE(cu.data.setup()->KX12Setup()->SoftwareVersion(), QStringLiteral("1.0.0"));
            QVERIFY(cu.stack.pairing()->pairSendCount() <= 2);   // stopped by the acknowledgement

            QSignalSpy acked(cu.stack.nmeaOverUdp(), &NmeaOverUdpController::datagramAcknowledged);
            QVERIFY(cu.alerts()->changeValue(QStringLiteral("AlarmShallow"), 5.0));
            cu.alerts()->writeToFile();
            QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("AlertSetup,AlarmShallow=5")) >= 1, 5000);
            QTRY_COMPARE(acked.count(), 1);
            QCOMPARE(cu.stack.nmeaOverUdp()->outputBuffer()->pendingDatagrams(), 0);
            // The box's stamped echo comes back and is taken; it does not travel again.
            QTRY_VERIFY(cu.data.setup()->AlertSetup()->receivedTimestamp(QStringLiteral("AlarmShallow")) > 0);
            QTest::qWait(1500);
            QCOMPARE(box.count(QStringLiteral("applied from SD0109")), 1);
        }
        QFile boxFile(jbDir.path() + QStringLiteral("/Setup_Files/KVE 420/JB_AlertSetup.txt"));
        QVERIFY(boxFile.open(QIODevice::ReadOnly));
        QVERIFY(boxFile.readAll().contains("AlarmShallow=5.00"));

        Box box(jbDir.path());
        ControlUnit cu(cuDir.path());
        QCOMPARE(cu.alerts()->AlarmShallow(), 5.0);   // from its own file
        QVERIFY(cu.completeSetupArrives());
        QCOMPARE(cu.alerts()->AlarmShallow(), 5.0);   // and from the box's complete setup
    }

    void unacknowledgedSettingIsResentEverySecondThenTheBoxIsLost()
    {
        QTemporaryDir cuDir, jbDir;
        Box box(jbDir.path(), {"--drop-acks"});
        ControlUnit cu(cuDir.path());
        QVERIFY(cu.completeSetupArrives());
        QSignalSpy sent(cu.stack.nmeaOverUdp(), &NmeaOverUdpController::sendDatagrams);
        QSignalSpy lost(&cu.stack, &NetworkStack::lostCommunicationWithSfi);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(cu.alerts()->changeValue(QStringLiteral("AlarmShallow"), 7.0));
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 15000);
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(lost.first().first().toString(), kJb);
        QByteArrayList copies;
        for (const QVariantList &args : sent)
            for (const QByteArray &d : args.first().value<QByteArrayList>())
                if (d.contains("AlarmShallow=7"))
                    copies.append(d);
        QVERIFY(!copies.isEmpty());
        QCOMPARE(copies.count(copies.first()), 11);   // sent once, resent ten times, unchanged
        QVERIFY2(elapsed >= 10000 && elapsed < 13000, qPrintable(QString::number(elapsed)));
        QTRY_COMPARE(box.count(QStringLiteral("not acknowledged")) >= 11, true);
        QTest::qWait(1500);
        QCOMPARE(lost.count(), 1);
    }

    void silentBoxIsDeclaredLostAndAskedToPairUntilItSpeaksAgain()
    {
        QTemporaryDir cuDir, jbDir;
        Box box(jbDir.path(), {"--silent-after", "3", "--silent-for", "15"});
        ControlUnit cu(cuDir.path());
        QSignalSpy link(&cu.settings, &SerializationController::commsToKX12StateChanged);
        QVERIFY(cu.completeSetupArrives());
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral(": silent")) == 1, 6000);
        QElapsedTimer sinceSilent;
        sinceSilent.start();
        QTRY_VERIFY_WITH_TIMEOUT(link.count() >= 1, 14000);
        QCOMPARE(link.first().first().toBool(), false);
        const qint64 lostAfter = sinceSilent.elapsed();
        // The box's last text came up to one publish interval before it said "silent", and the
        // supervision counts whole seconds: more than 10 s without settings is 8.5..13 s from here.
        QVERIFY2(lostAfter > 8500 && lostAfter < 13000, qPrintable(QString::number(lostAfter)));
        QVERIFY(!cu.settings.link()->isLinkUp());
        // Asked to pair while it says nothing.
        const int silentAt = box.indexOf(QStringLiteral(": silent"));
        QTRY_VERIFY_WITH_TIMEOUT(box.indexOf(QStringLiteral("PAIR P from SD0109"), silentAt) > silentAt, 3000);
        QCOMPARE(box.indexOf(QStringLiteral("complete setup sent"), silentAt), -1);
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral(": resumed")) == 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(link.count() >= 2, 8000);
        QCOMPARE(link.at(1).first().toBool(), true);
        QVERIFY(cu.settings.link()->isLinkUp());
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "netns_endtoend.moc"
