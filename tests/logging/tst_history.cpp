#include "historyfile.h"
#include "historyfilecontroller.h"
#include "historyhttpserver.h"
#include "historylogger.h"
#include "historyloggercontainer.h"
#include "longtermlogger.h"
#include "storagetree.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <QScopeGuard>

#include <algorithm>
#include <limits>

namespace {
const QDateTime kStart(QDate(2026, 12, 6), QTime(8, 0), Qt::UTC);
const QString kToken = QStringLiteral("Velmora KVE4x0 History");

QString recordText(const QDateTime &t, double depth)
{
    return t.toString("dd-MM-yyyy,hh-mm-ss-zzz") + QString(",%1,%2,%3,400,1,2,3,4,5,6,7,8,9,10,11").arg(depth).arg(depth - 1).arg(depth + 2);
}

BasicHistoryPoint point(const QDateTime &t, double depth, int channel = 0)
{
    return BasicHistoryPoint::fromRecord(EchoRecordInfo::fromValues(recordText(t, depth)), channel);
}

// A history file written by hand, the way another unit with its own version might write it.
QByteArray handMadeFile(const QString &token, qint32 major, qint32 minor, qint32 count = 0)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << token << major << minor << qint32(1) << count << kStart << kStart;
    return bytes;
}

// The debug lines written so far, where the unit reports what became of a download.
QStringList g_lines;
QtMessageHandler g_previousHandler = nullptr;

void keepLine(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    g_lines.append(msg);
    g_previousHandler(type, context, msg);
}

int linesWith(const QString &text)
{
    return int(std::count_if(g_lines.cbegin(), g_lines.cend(), [&](const QString &l) { return l.contains(text); }));
}

int historyCrashChild(const QString &dir)
{
    HistoryLogger logger(0, dir);
    QElapsedTimer alive;
    alive.start();
    for (int i = 0; alive.elapsed() < 30000; ++i) {
        logger.addHistoryData(point(kStart.addMSecs(i * 100), i));
        if (i == 100)
            fprintf(stdout, "running\n"), fflush(stdout);
    }
    return 0;
}
}

class TestHistory : public QObject
{
    Q_OBJECT
private slots:
    void headerCheckOrder_data();
    void headerCheckOrder();
    void recordsBecomePointsAppendedWithTheHeaderKeptUpToDate();
    void historySurvivesARestartAndOldPointsAge();
    void everyRecordReachesItsChannelAndTheLongTermLog();
    void pointsCarryTheSignalOfTheirChannel();
    void downloadWithWgetFromLoopbackServer();
    void filesArePublishedUnderTheirDownloadNames();
    void killedWriterLeavesEveryEarlierPointReadable();

private:
    QTemporaryDir m_dir;
};

void TestHistory::headerCheckOrder_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("words");
    QTest::newRow("good") << handMadeFile(kToken, 3, 1) << 0 << "None";
    QTest::newRow("token with good versions") << handMadeFile(kToken + "s", 3, 1) << 1 << "Wrong Token";
    QTest::newRow("token before versions") << handMadeFile("Other", 2, 7) << 1 << "Wrong Token";
    QTest::newRow("major before minor") << handMadeFile(kToken, 4, 2) << 2 << "Wrong Major Version";
    QTest::newRow("minor 2") << handMadeFile(kToken, 3, 2) << 3 << "Wrong Minor Version";
    QTest::newRow("negative count") << handMadeFile(kToken, 3, 1, -5) << 4 << "Other";
    QTest::newRow("empty file") << QByteArray() << 1 << "Wrong Token";
    QTest::newRow("cut inside the header") << handMadeFile(kToken, 3, 1).left(50) << 4 << "Other";
}

void TestHistory::headerCheckOrder()
{
    QFETCH(QByteArray, file);
    QFETCH(int, result);
    QFETCH(QString, words);
    const QString path = m_dir.path() + "/check";
    StorageTree::writeFile(path, file);
    QList<BasicHistoryPoint> points;
    QCOMPARE(HistoryFile::read(path, nullptr, &points), result);
    QCOMPARE(HistoryFile::checkWords(result), words);
    QVERIFY(points.isEmpty());
}

void TestHistory::recordsBecomePointsAppendedWithTheHeaderKeptUpToDate()
{
    int bad = -1;
    BasicHistoryPoint p = BasicHistoryPoint::fromRecord(EchoRecordInfo::fromValues(recordText(kStart.addMSecs(250), 12.5)), 1, &bad);
    QCOMPARE(bad, 0);
    QCOMPARE(p.time, kStart.addMSecs(250));
    QCOMPARE(p.channel, 1);
    QCOMPARE(p.values.mid(0, 15), QVector<float>({12.5f, 11.5f, 14.5f, 400, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    p = BasicHistoryPoint::fromRecord(EchoRecordInfo::fromValues("garbage,xx,abc"), 0, &bad);
    QVERIFY(!p.time.isValid());
    QCOMPARE(bad, 2);
    QCOMPARE(p.value(BasicHistoryPoint::DepthBlwTransducer), -100.0f);
    QCOMPARE(p.value(BasicHistoryPoint::BufferRange), 99999999.0f);

    const QString dir = m_dir.path() + "/append";
    HistoryLogger logger(1, dir);
    QSignalSpy spy(&logger, &HistoryLogger::newHistoryPointSig);
    for (int i = 0; i < 3; ++i)
        logger.addHistoryData(point(kStart.addSecs(i), 10 + i, 1));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(logger.filePath(), dir + "/KVE_History_Ch2");

    // Header decoded with a stream of its own.
    QDataStream in(StorageTree::readFile(logger.filePath()));
    in.setVersion(QDataStream::Qt_5_15);
    QString token;
    qint32 major, minor, channel, count;
    QDateTime first, last;
    in >> token >> major >> minor >> channel >> count >> first >> last;
    QCOMPARE(token, kToken);
    QCOMPARE(QList<qint32>({major, minor, channel, count}), QList<qint32>({3, 1, 1, 3}));
    QCOMPARE(QList<QDateTime>({first, last}), QList<QDateTime>({kStart, kStart.addSecs(2)}));

    QList<BasicHistoryPoint> points;
    QCOMPARE(HistoryFile::read(logger.filePath(), nullptr, &points), 0);
    QCOMPARE(points.size(), 3);
    QCOMPARE(points.at(2).value(BasicHistoryPoint::DepthBlwTransducer), 12.0f);
    QCOMPARE(points, logger.points());
}

void TestHistory::historySurvivesARestartAndOldPointsAge()
{
    const QString dir = m_dir.path() + "/restart";
    {
        HistoryLogger logger(0, dir);
        logger.addHistoryData(point(kStart, 5));
        logger.addHistoryData(point(kStart.addSecs(60), 6));
    }
    HistoryLogger again(0, dir);
    QCOMPARE(again.points().size(), 2);
    again.addHistoryData(point(kStart.addSecs(120), 7));
    QList<BasicHistoryPoint> points;
    QCOMPARE(HistoryFile::read(again.filePath(), nullptr, &points), 0);
    QCOMPARE(points.size(), 3);

    // A day later the first two points have aged out of memory.
    again.addHistoryData(point(kStart.addSecs(HistoryLogger::KeepSecs + 90), 8));
    QCOMPARE(again.points().size(), 2);
    QCOMPARE(again.points().first().time, kStart.addSecs(120));
    // A file that keeps growing is cut back to what is remembered.
    for (int i = 0; i < 300; ++i)
        again.addHistoryData(point(kStart.addSecs(HistoryLogger::KeepSecs + 3600 + i * 60), 8));
    HistoryFile::Header header;
    QCOMPARE(HistoryFile::read(again.filePath(), &header, &points), 0);
    QVERIFY(header.count <= 2 * again.points().size() + 100);
    QCOMPARE(points.last().time, again.points().last().time);
    // The whole rewrite keeps only what is remembered, and the short file gets the last ten minutes.
    again.recordEntireHistoryToFile_forNext10Secs();
    QCOMPARE(HistoryFile::read(again.filePath(), nullptr, &points), 0);
    QCOMPARE(points, again.points());
    // The short file is written on a pool thread, after a save still under way from the points
    // before (which held fewer of the last ten minutes).
    const auto shortPoints = [&again] {
        QList<BasicHistoryPoint> written;
        return HistoryFile::read(again.shortFilePath(), nullptr, &written) == 0 ? written.size() : -1;
    };
    QTRY_COMPARE(shortPoints(), 11);
}

void TestHistory::everyRecordReachesItsChannelAndTheLongTermLog()
{
    QObject navigation;
    navigation.setProperty("LatitudeDegreesSigned", "60.25");
    navigation.setProperty("LongitudeDegreesSigned", "not a number");
    navigation.setProperty("SpeedGPS", 11.5);
    QObject depths;
    depths.setProperty("DepthTransducerCh1", 42.0);
    depths.setProperty("DepthKeelCh2", 30.0);
    depths.setProperty("SpeedGPS", 99.0);
    HistoryLoggerContainer container(m_dir.path() + "/container");
    LongTermLogger *longTerm = container.longTermLogger();
    longTerm->setValueSources({&navigation, &depths});
    QSignalSpy longTermSpy(container.logger(0), &HistoryLogger::dataForLongTermReady);
    // Nothing is written until the device's folder is there (the device controller makes it).
    longTerm->setDevice(true, true, m_dir.path() + "/device1");
    container.setLongTermLogging(3);
    longTerm->recordToFile({point(kStart, 3)});
    QVERIFY(!QDir(m_dir.path() + "/device1").exists());
    QVERIFY(QDir().mkpath(m_dir.path() + "/device1"));
    container.setLongTermLogging(3); // both channels
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 3)), 0);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 4)), 1);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(1), 5)), 1);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 6)), 2);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues("not a record"), 0);
    QCOMPARE(container.logger(0)->points().size(), 1);
    QCOMPARE(container.logger(1)->points().size(), 2);
    QCOMPARE(container.badRecords(), 2);
    QCOMPARE(longTermSpy.count(), 1);
    QCOMPARE(QFileInfo(longTerm->currentFile(1)).size(), 2 * LongTermLogger::RecordBytes);

    // Big-endian milliseconds, then single floats: the record's own channel has the depths of its
    // ping, the rest comes by name from the first source that has it; a missing or unreadable value
    // is the lowest float.
    auto firstRecord = [](const QString &file, qint64 *ms) {
        QDataStream in(StorageTree::readFile(file));
        in.setFloatingPointPrecision(QDataStream::SinglePrecision);
        QVector<float> values(13);
        in >> *ms;
        for (float &v : values)
            in >> v;
        return in.status() == QDataStream::Ok ? values : QVector<float>();
    };
    qint64 ms = 0;
    const float L = std::numeric_limits<float>::lowest();
    QCOMPARE(firstRecord(longTerm->currentFile(0), &ms), QVector<float>({60.25f, L, L, 11.5f, L, L, L, 3.f, 2.f, 5.f, L, 30.f, L}));
    QCOMPARE(ms, kStart.toMSecsSinceEpoch());
    QCOMPARE(firstRecord(longTerm->currentFile(1), &ms), QVector<float>({60.25f, L, L, 11.5f, L, L, L, 42.f, L, L, 4.f, 3.f, 6.f}));
    // A ping without a bottom stores no depth for it.
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(9), -100)), 0);
    QByteArray ch1 = StorageTree::readFile(longTerm->currentFile(0)).mid(LongTermLogger::RecordBytes);
    QDataStream in(ch1);
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QVector<float> second(13);
    in >> ms;
    for (float &v : second)
        in >> v;
    QCOMPARE(second.mid(7, 1), QVector<float>({L}));

    // Only the chosen channels are kept; none, or no device: nothing more is written.
    container.setLongTermLogging(2);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(2), 5)), 0);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(2), 5)), 1);
    container.setLongTermLogging(0);
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(3), 5)), 1);
    container.setLongTermLogging(3);
    longTerm->setDevice(false, false, QString());
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(4), 5)), 0);
    const QString folder = m_dir.path() + "/device1/KVE_Long_Term_History/";
    QCOMPARE(QFileInfo(folder + "KVE_History_Ch1_1").size(), 2 * LongTermLogger::RecordBytes);
    QCOMPARE(QFileInfo(folder + "KVE_History_Ch2_1").size(), 3 * LongTermLogger::RecordBytes);
}

void TestHistory::pointsCarryTheSignalOfTheirChannel()
{
    const QString dir = m_dir.path() + "/signal";
    const SignalProperties low{38.f, 1200.f, 80.f};
    {
        HistoryLoggerContainer container(dir);
        // An owner that knows the signal answers the request at once; until then points carry none.
        QSignalSpy requests(&container, &HistoryLoggerContainer::requestSignalProperties);
        container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 3)), 1);
        QCOMPARE(requests, QList<QVariantList>({{1}}));
        QVERIFY(!container.logger(1)->points().last().signal().isKnown());
        connect(&container, &HistoryLoggerContainer::requestSignalProperties, &container,
                [&container, low](int ch) { container.setSignalProperties(ch, low); });
        container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(1), 4)), 1);
        container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart.addSecs(2), 5)), 1);
        QCOMPARE(requests.count(), 2);
        QCOMPARE(container.logger(1)->points().last().signal(), low);
        QVERIFY(!container.signalProperties(0).isKnown());
    }
    // The signal is kept in the channel's file with each point.
    QList<BasicHistoryPoint> points;
    QCOMPARE(HistoryFile::read(dir + "/KVE_History_Ch2", nullptr, &points), int(HistoryFile::HeaderNone));
    QCOMPARE(points.size(), 3);
    QVERIFY(!points.at(0).signal().isKnown());
    QCOMPARE(points.at(1).signal(), low);
    QCOMPARE(points.at(2).value(BasicHistoryPoint::DepthBlwTransducer), 5.f);
}

void TestHistory::downloadWithWgetFromLoopbackServer()
{
    // The junction box side: its own loggers write the published files.
    const QString published = m_dir.path() + "/jb_www";
    {
        HistoryLogger jb(0, published);
        for (int i = 0; i < 50; ++i)
            jb.addHistoryData(point(kStart.addSecs(i), 20 + i));
    }
    HistoryHttpServer server(published);
    QVERIFY(server.listen());

    HistoryLoggerContainer container(m_dir.path() + "/cu_history");
    container.setJunctionBoxAddress(server.address());
    g_lines.clear();
    g_previousHandler = qInstallMessageHandler(keepLine);
    auto restoreHandler = qScopeGuard([] { qInstallMessageHandler(g_previousHandler); });
    QSignalSpy changed(container.logger(0), &HistoryLogger::completeHistoryChanged);
    container.scheduleFilesDownload();
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 20000);
    QCOMPARE(container.logger(0)->points().size(), 50);
    QCOMPARE(container.logger(0)->points().at(49).value(BasicHistoryPoint::DepthBlwTransducer), 69.0f);
    QVERIFY(QFile::exists(m_dir.path() + "/cu_history/wget/KVE_History_Ch1"));

    // Channel 2 is not published: wget fails, is tried once more, then the failure is reported.
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("History file not downloaded. Wget returned with an error code: 8"), 2, 20000);
    QTRY_VERIFY(!container.fileController()->isDownloading(1));
    QCOMPARE(server.requestsRefused(), 2);
    QVERIFY(container.logger(1)->points().isEmpty());

    // A second download replaces the first copy instead of piling up numbered copies.
    container.downloadFile(0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, 20000);
    QCOMPARE(QDir(m_dir.path() + "/cu_history/wget").entryList(QDir::Files), QStringList({"KVE_History_Ch1"}));

    // A file with a bad header is rejected and nothing of it is used.
    container.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 9)), 1);
    StorageTree::writeFile(published + "/KVE_History_Ch2", handMadeFile(kToken, 3, 2));
    container.downloadFile(1, 0);
    QTRY_COMPARE_WITH_TIMEOUT(linesWith("History file header error: Wrong Minor Version"), 1, 20000);
    QCOMPARE(container.logger(1)->points().size(), 1);

    // The server gives out plain names from its folder only; asked directly, as wget drops "..".
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET /../cu_history/KVE_History_Ch2 HTTP/1.0\r\n\r\n");
    QTRY_VERIFY(socket.state() == QAbstractSocket::UnconnectedState || socket.bytesAvailable() > 12);
    QVERIFY(socket.readAll().startsWith("HTTP/1.0 404"));

    container.disableFileDownload();
    container.scheduleFilesDownload();
    QVERIFY(!container.fileController()->isDownloading(0));
}

void TestHistory::filesArePublishedUnderTheirDownloadNames()
{
    StorageTree tree;
    QDir().mkpath(tree.path("/var/www"));
    HistoryLoggerContainer jb(m_dir.path() + "/jb_history");
    jb.logHistoryDataSlot(EchoRecordInfo::fromValues(recordText(kStart, 7)), 1);
    jb.logger(1)->recordEntireHistoryToFile_forNext10Secs();
    QSignalSpy ready(&jb, &HistoryLoggerContainer::fileReadyForDownload);
    QVERIFY(ready.wait());
    jb.publishForDownload(1);
    const QString link = tree.path("/var/www/KVE_History_Ch2");
    QTRY_VERIFY(QFileInfo(link).isSymLink() && QFileInfo(link + "_short").isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), jb.logger(1)->filePath());
    QTRY_COMPARE(QFileInfo(jb.logger(1)->filePath()).permissions() & 0x0777, QFile::Permissions(0x0664));
}

void TestHistory::killedWriterLeavesEveryEarlierPointReadable()
{
    const QString dir = m_dir.path() + "/crash";
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--history-crash-child", dir});
    QVERIFY(child.waitForStarted() && child.waitForReadyRead(20000));
    QTest::qWait(100);
    child.kill();
    QVERIFY(child.waitForFinished());

    HistoryFile::Header header;
    QList<BasicHistoryPoint> points;
    QCOMPARE(HistoryFile::read(dir + "/KVE_History_Ch1", &header, &points), 0);
    QVERIFY(points.size() > 100);
    QCOMPARE(points.size(), header.count);
    for (int i = 0; i < points.size(); ++i) {
        QCOMPARE(points.at(i).time, kStart.addMSecs(i * 100));
        QCOMPARE(points.at(i).value(BasicHistoryPoint::DepthBlwTransducer), float(i));
    }
    QCOMPARE(header.last, points.last().time);

    // A logger started on the cut file goes on after the last whole point.
    HistoryLogger again(0, dir);
    const int before = again.points().size();
    again.addHistoryData(point(points.last().time.addMSecs(100), 1));
    QCOMPARE(HistoryFile::read(dir + "/KVE_History_Ch1", &header, &points), 0);
    QCOMPARE(points.size(), before + 1);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--history-crash-child") == 0)
        return historyCrashChild(QString::fromLocal8Bit(argv[2]));
    TestHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
