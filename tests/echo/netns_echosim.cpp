// Echo images end to end, inside a private network namespace: the junction-box simulator in its
// own process pings fast; this process is the control unit's network side and echo intake.
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "echorecord.h"
#include "listofsfisonnetwork.h"
#include "multiplees_transducersbuffer.h"
#include "networkstack.h"
#include "pairingcontroller.h"

#include <QFile>
#include <QHash>
#include <QNetworkInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QtTest>

namespace {

// Depth text of each received display record, by channel and ping time.
struct ReceivedDepths
{
    QHash<QString, QString> byTime[2];
    int displayRecords[2] = {0, 0};
    qint64 firstMsecs[2] = {-1, -1};
    qint64 lastMsecs[2] = {-1, -1};
    int otherRecords = 0;
};

} // namespace

class TestEchoSimEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
        QVERIFY2(all.size() == 1 && all.first().humanReadableName() == QLatin1String("lo"),
                 "must run inside a private network namespace");
        QVERIFY(QFile::exists(QStringLiteral(KVE_JBSIM)));
    }

    void displayRecordsOfBothChannelsArriveWithTheBoxsDepths()
    {
        QTemporaryDir boxDir;
        QProcess box;
        QStringList lines;
        connect(&box, &QProcess::readyReadStandardOutput, this, [&] {
            while (box.canReadLine())
                lines.append(QString::fromLocal8Bit(box.readLine()).trimmed());
        });
        box.start(QStringLiteral(KVE_JBSIM), {"--interface", "lo", "--data-dir", boxDir.path(), "--ping-rate", "20"});
        QVERIFY(box.waitForStarted(5000));

        ListOfSfisOnNetwork sfis;
        NetworkStack stack(NetworkStack::Options{QStringLiteral("lo"), 1000, true}, &sfis);
        sfis.setLocalSfi(QStringLiteral("SD0109"));
        stack.pairing()->setInitialPairedSfi(QStringLiteral("SD0108"));
        MultipleES_TransducersBuffer echoes;
        ReceivedDepths got;
        QElapsedTimer clock;
        clock.start();
        connect(stack.binary()->inputBuffer(), &BinaryInputBuffer::useBinaryMessage, &echoes,
                &MultipleES_TransducersBuffer::addData);
        connect(stack.binary()->inputBuffer(), &BinaryInputBuffer::useBinaryMessage, this,
                [&got, &clock](const QByteArray &samples, const QString &info, int channel) {
                    const EchoRecordInfo record = EchoRecordInfo::parse(info);
                    if (record.kind() != EchoRecordInfo::Kind::Display || samples.isEmpty()) {
                        ++got.otherRecords;
                        return;
                    }
                    const QStringList v = record.values().split(QLatin1Char(','));
                    ++got.displayRecords[channel & 1];
                    qint64 &first = got.firstMsecs[channel & 1];
                    first = first < 0 ? clock.elapsed() : first;
                    got.lastMsecs[channel & 1] = clock.elapsed();
                    got.byTime[channel & 1].insert(v.value(1), v.value(2));
                });
        stack.start(3);
        stack.enableReception();

        // 20 pings a second on each channel: two hundred records per channel well within the wait.
        QTRY_VERIFY_WITH_TIMEOUT(got.displayRecords[0] >= 200 && got.displayRecords[1] >= 200, 25000);
        QCOMPARE(sfis.connectedSfis(), QStringList{QStringLiteral("SD0108")});
        QCOMPARE(stack.binary()->errorCount(84), 0);
        QVERIFY(got.otherRecords >= 2 * 200);   // raw and filtered records come too

        // Each depth the box reports is the depth of the display record of that ping.
        static const QRegularExpression report(
            QStringLiteral("echo ping \\d+: ch1 (\\S+) (\\S+) m, ch2 (\\S+) (\\S+) m"));
        int matched = 0;
        for (const QString &line : qAsConst(lines)) {
            const QRegularExpressionMatch m = report.match(line);
            if (!m.hasMatch())
                continue;
            for (int c = 0; c < 2; ++c) {
                const QString time = m.captured(1 + 2 * c);
                if (!got.byTime[c].contains(time))
                    continue;   // a ping from before the pairing
                QCOMPARE(got.byTime[c].value(time).toDouble(), m.captured(2 + 2 * c).toDouble());
                ++matched;
            }
        }
        QVERIFY2(matched >= 10, qPrintable(lines.join(QLatin1Char('\n'))));

        // The echogram buffers of both channels hold the columns, with their bottom depths.
        for (int c = 0; c < 2; ++c) {
            EchosounderDataBuffer *b = echoes.buffer(c, 5);
            b->lock();
            const int columns = b->columnCount();
            const double columnMsecs = b->columnMsecs();
            const EchogramColumn newest = b->columnFromNewest(0);
            b->unlock();
            // Columns for the time the records took, not one per record.
            const double expected = (got.lastMsecs[c] - got.firstMsecs[c]) / columnMsecs;
            QVERIFY2(qAbs(columns - expected) <= 3, qPrintable(QStringLiteral("%1 columns, %2 expected").arg(columns).arg(expected)));
            QCOMPARE(newest.samples.size(), 400); // the box sends 400 display samples a ping
            QVERIFY(newest.depthRange > 0.0f);
            QVERIFY(newest.bottomDepth == EchoRecordInfo::kNoDepth
                    || (newest.bottomDepth > 0.0f && newest.bottomDepth < newest.depthRange));
        }
        box.kill();
        box.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestEchoSimEndToEnd)
#include "netns_echosim.moc"
