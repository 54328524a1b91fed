#include "debuglog.h"

#include <QMutex>
#include <QRegularExpression>
#include <QStringList>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

// The debug log on a clock the test moves, writing into a list.
class Log
{
public:
    Log() : log([this](const QString &line) { written << line; writtenAt << now.load(); }, [this] { return now.load(); }) {}

    void at(qint64 msecs) { now = msecs; }
    // Lines written in the second that starts at this millisecond.
    int inSecond(qint64 start) const
    {
        int n = 0;
        for (qint64 t : writtenAt)
            n += t >= start && t < start + 1000;
        return n;
    }

    std::atomic<qint64> now{0};
    QStringList written;
    QVector<qint64> writtenAt;
    DebugLog log;
};

class TestDebugLog : public QObject
{
    Q_OBJECT
private slots:
    void labelNamesTheSource_data();
    void labelNamesTheSource();
    void repeatedLineIsWrittenOnceAndThenWithItsCount();
    void linesThatTakeTurnsAreEachWritten();
    void oneSourceIsHeldToItsRateAndTheGapIsReported();
    void allSourcesTogetherAreHeld_aRareLineStillGetsThrough();
    void aFloodNeverExceedsTheBoundInAnySecond();
    void writersOnManyThreadsLoseNoCount();
};

void TestDebugLog::labelNamesTheSource_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("label");
    QTest::newRow("colon") << "Wrong HEADER of binary datagram:  \"5261\"" << "Wrong HEADER of binary datagram";
    QTest::newRow("digits") << "Binary over udp error type  81" << "Binary over udp error type";
    QTest::newRow("plain") << "######## N" << "######## N";
    QTest::newRow("starts with a digit") << "81 errors" << "";
}

void TestDebugLog::labelNamesTheSource()
{
    QFETCH(QString, line);
    QFETCH(QString, label);
    QCOMPARE(DebugLog::labelOf(line), label);
}

void TestDebugLog::repeatedLineIsWrittenOnceAndThenWithItsCount()
{
    Log l;
    for (int i = 0; i < 5; ++i) {
        l.at(100 + i * 200);
        l.log.write("Missing datagram error!", "Missing datagram error!");
    }
    QCOMPARE(l.written, QStringList{"Missing datagram error!"});
    l.at(1099);
    l.log.flush();
    QCOMPARE(l.written.size(), 1);
    l.at(1100);
    l.log.flush();
    QCOMPARE(l.written, (QStringList{"Missing datagram error!", "Missing datagram error! (repeated 4 times)"}));

    // After its second the line is news again; a line never repeated gets no count.
    l.at(1500);
    l.log.write("Missing datagram error!", "Missing datagram error!");
    l.at(3000);
    l.log.flush();
    QCOMPARE(l.written.size(), 3);
    QCOMPARE(l.written.last(), QString("Missing datagram error!"));
}

void TestDebugLog::linesThatTakeTurnsAreEachWritten()
{
    Log l;
    // What the buzzer does where it cannot be heard: every change is news.
    for (int i = 0; i < 6; ++i) {
        l.at(i * 150);
        l.log.write(i % 2 ? "Buzzer off" : "Buzzer on", i % 2 ? "Buzzer off" : "Buzzer on");
    }
    QCOMPARE(l.written, (QStringList{"Buzzer on", "Buzzer off"} + QStringList{"Buzzer on", "Buzzer off"}
                         + QStringList{"Buzzer on", "Buzzer off"}));

    // Received text may look like placeholders; it is written as it came. A run of copies ends with
    // the next other line.
    l.written.clear();
    const QString forged = "Wrong format of source tag:  \\s:%1%2*00";
    for (const QString &line : {forged, forged, forged, QString("Missing datagram error!"), forged, forged})
        l.log.write(DebugLog::labelOf(line), line);
    QCOMPARE(l.written, (QStringList{forged, forged + " (repeated 2 times)", "Missing datagram error!", forged}));
    l.at(1750);
    l.log.flush();
    QCOMPARE(l.written.last(), forged + " (repeated 1 times)");
}

void TestDebugLog::oneSourceIsHeldToItsRateAndTheGapIsReported()
{
    Log l;
    l.at(2000);
    for (int i = 0; i < 80; ++i)
        l.log.write("Wrong HEADER of binary datagram", QString("Wrong HEADER of binary datagram: %1").arg(i));
    l.log.write("Socket", "Socket: nmeaSocket");   // another source is not held back
    QCOMPARE(l.written.size(), DebugLog::kLinesPerSourcePerSecond + 1);
    QCOMPARE(l.written.last(), QString("Socket: nmeaSocket"));

    l.at(3000);
    l.log.write("Wrong HEADER of binary datagram", "Wrong HEADER of binary datagram: next");
    QCOMPARE(l.written.mid(DebugLog::kLinesPerSourcePerSecond + 1),
             (QStringList{"Debug log: 30 lines left out in one second, most from Wrong HEADER of binary datagram (30)",
                          "Wrong HEADER of binary datagram: next"}));
}

void TestDebugLog::allSourcesTogetherAreHeld_aRareLineStillGetsThrough()
{
    Log l;
    for (int source = 0; source < 10; ++source) {
        for (int i = 0; i < DebugLog::kLinesPerSourcePerSecond; ++i)
            l.log.write(QString("Source %1").arg(QChar('A' + source)), QString("Source %1 line %2").arg(QChar('A' + source)).arg(i));
    }
    // Busy sources leave room for the quiet ones.
    QVERIFY(l.written.size() <= DebugLog::kLinesPerSecond - DebugLog::kLinesKeptForQuietSources + 2 * 10);
    l.log.write("THREAD STUCK", "THREAD STUCK: Main thread");
    QCOMPARE(l.written.last(), QString("THREAD STUCK: Main thread"));
    // Quiet sources share what is kept for them, and no more.
    for (int source = 0; source < 100; ++source)
        l.log.write(QString("Quiet %1").arg(source), QString("Quiet %1").arg(source));
    QCOMPARE(l.written.size(), DebugLog::kLinesPerSecond);

    l.at(1000);
    l.log.flush();
    QCOMPARE(l.written.size(), DebugLog::kLinesPerSecond + 1);
    const int submitted = 10 * DebugLog::kLinesPerSourcePerSecond + 1 + 100;
    QVERIFY2(l.written.last().startsWith(QString("Debug log: %1 lines left out in one second, most from Source ")
                                             .arg(submitted - DebugLog::kLinesPerSecond)),
             qPrintable(l.written.last()));
}

void TestDebugLog::aFloodNeverExceedsTheBoundInAnySecond()
{
    Log l;
    QRandomGenerator rng(420);
    const QStringList labels{"Wrong HEADER of binary datagram", "Missing datagram error!", "UDP datagram size",
                             "Incomplete sentence group dropped", "Echo record with short information text dropped"};
    int sent = 0;
    for (qint64 t = 0; t < 5000; ++t) {
        l.at(t);
        for (int i = 0; i < 10; ++i, ++sent) {
            const QString label = rng.bounded(20) == 0 ? QString("Rare %1").arg(rng.bounded(1000))
                                                       : labels.at(int(rng.bounded(labels.size())));
            // Some lines repeat word for word, most carry the offending datagram.
            const QString line = rng.bounded(3) == 0 ? label : label + ": " + QString::number(rng.generate());
            l.log.write(label, line);
        }
    }
    l.at(6000);
    l.log.flush();
    for (qint64 second = 0; second < 6000; second += 1000)
        QVERIFY2(l.inSecond(second) <= DebugLog::kLinesPerSecond + 1, qPrintable(QString::number(l.inSecond(second))));
    QVERIFY(l.written.size() > 5 * DebugLog::kLinesPerSecond / 2);
    QVERIFY(l.written.size() < sent / 20);
    // Every second that lost lines says so.
    QCOMPARE(l.written.filter(QRegularExpression("^Debug log: \\d+ lines left out")).size(), 5);
}

void TestDebugLog::writersOnManyThreadsLoseNoCount()
{
    Log l;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&l] {
            for (int i = 0; i < 5000; ++i)
                l.log.write("Missing datagram error!", "Missing datagram error!");
        });
    }
    for (auto &w : writers)
        w.join();
    l.at(1000);
    l.log.flush();
    QCOMPARE(l.written, (QStringList{"Missing datagram error!", "Missing datagram error! (repeated 19999 times)"}));
}

QTEST_GUILESS_MAIN(TestDebugLog)
#include "tst_debuglog.moc"
