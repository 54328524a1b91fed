// The real program against the junction-box simulator, both as child processes inside a private
// network namespace: the program pairs, takes the box's settings, keeps the link and fetches history.
#include "childprocess.h"
#include "netfixtures.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(netfixtures::onlyLoopback(), "must run inside a private network namespace");
    }

    void programPairsWithTheBoxAndKeepsTheLink()
    {
        QTemporaryDir cuDir, jbDir;
        ChildProcess box(QStringLiteral(KVE_JBSIM), {"--interface", "lo", "--data-dir", jbDir.path()}, jbDir.path());
        QTRY_COMPARE(box.count(QStringLiteral("started as SD0108")), 1);
        ChildProcess unit(QStringLiteral(KVE_PROGRAM), {"spec-net-interface", "lo"}, cuDir.path());
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("DEVSTART from SD0109")) == 1, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("PAIR P from SD0109")) >= 1, 5000);
        // The program acknowledges every datagram of the box's complete setup.
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("by SD0109")) >= 10, 5000);
        // Runtime values keep the link up: no new pairing request within 13 s.
        const int pairs = box.count(QStringLiteral("PAIR P from SD0109"));
        QTest::qWait(13000);
        QCOMPARE(box.count(QStringLiteral("PAIR P from SD0109")), pairs);
        QCOMPARE(box.count(QStringLiteral("lost communication")), 0);
        QVERIFY(unit.running());
    }

    void simulatorRehearsesALateStartAndARestart()
    {
        QTemporaryDir cuDir, jbDir;
        ChildProcess unit(QStringLiteral(KVE_PROGRAM), {"spec-net-interface", "lo"}, cuDir.path());
        ChildProcess box(KVE_JBSIM, {"--interface", "lo", "--data-dir", jbDir.path(), "--history-port", "0",
                                     "--start-delay", "2", "--restart-after", "4", "--block-ids", "per-channel"},
                         jbDir.path());
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("started as SD0108")) == 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("PAIR P from SD0109")) >= 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("restarted")) == 1, 10000);
        const int restarted = box.indexOf(QStringLiteral("restarted"));
        QTRY_VERIFY_WITH_TIMEOUT(box.indexOf(QStringLiteral("PAIR P from SD0109"), restarted) > restarted, 5000);
        QCOMPARE(box.count(QStringLiteral("DEVSTART from SD0109")), 0);   // the unit announced itself before the box was there
        QVERIFY(unit.running());
    }

    void historyFilesOfTheBoxAreFetchedWhenAnnounced()
    {
        QTemporaryDir cuDir, jbDir;
        ChildProcess box(KVE_JBSIM, {"--interface", "lo", "--data-dir", jbDir.path(), "--ping-rate", "20", "--history-every", "2"},
                         jbDir.path());
        QTRY_COMPARE(box.count(QStringLiteral("history files served on 127.0.0.1:80")), 1);
        ChildProcess unit(QStringLiteral(KVE_PROGRAM), {"spec-net-interface", "lo"}, cuDir.path());
        QTRY_VERIFY_WITH_TIMEOUT(box.count(QStringLiteral("history file of channel 2 ready")) >= 3, 20000);

        // Each channel's file arrives whole, with the box's header and the points it had when fetched.
        for (int ch = 1; ch <= 2; ++ch) {
            const QString copy = cuDir.path() + QStringLiteral("/History/wget/KVE_History_Ch%1").arg(ch);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy) && QFileInfo(copy).size() > 100, 15000);
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QDataStream in(&file);
            in.setVersion(QDataStream::Qt_5_15);
            QString token;
            qint32 major = 0, minor = 0, channel = -1, points = 0;
            in >> token >> major >> minor >> channel >> points;
            QCOMPARE((QVariantList{token, major, minor, channel}), (QVariantList{"Velmora KVE4x0 History", 3, 1, ch - 1}));
            QVERIFY(points >= 1);
        }
        QFile log(cuDir.path() + QStringLiteral("/stderr.txt"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("History download: http://127.0.0.1/KVE_History_Ch1"));
        QVERIFY(text.contains("DOWNLOAD FINISHED... EXIT CODE: 0"));
        QVERIFY(text.count("READ FROM FILE") >= 2);
        QVERIFY(!text.contains("History file header error"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "netns_program.moc"
