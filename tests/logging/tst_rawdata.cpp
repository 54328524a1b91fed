#include "echosounderdatalogger.h"
#include "esloggingdevicecontroller.h"
#include "esstoragedevicecontroller.h"
#include "storagetree.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QtEndian>
#include <QTime>
#include <QtTest>

#include <memory>

namespace {
// A raw record's info text whose ping time is the given second of the day.
EchoRecordInfo rawInfo(int second)
{
    return EchoRecordInfo::parse("ECHO_REC_Raw,06-12-2026," + QTime(0, 0).addSecs(second).toString("hh-mm-ss-zzz") + ",12.5,3,4,100,7,0,0,0,0,0,0,0,9");
}

quint32 le(const QByteArray &b, int at, int size)
{
    return size == 2 ? qFromLittleEndian<quint16>(b.constData() + at) : qFromLittleEndian<quint32>(b.constData() + at);
}

struct Record
{
    quint32 seconds;
    QByteArray samples;
    bool operator==(const Record &o) const { return seconds == o.seconds && samples == o.samples; }
};

// Splits a data file into records of known sample count; empty on any malformed header or a cut record.
QList<Record> readRecords(const QString &path, int samples)
{
    const QByteArray data = StorageTree::readFile(path);
    QList<Record> out;
    int at = 0;
    for (; at + 30 + samples <= data.size(); at += 30 + samples) {
        if (le(data, at, 2) != 28 || data.mid(at + 14, 16) != QByteArray::fromHex("04000000050000000500000005000000"))
            return {};
        out.append({le(data, at + 2, 4), data.mid(at + 30, samples)});
    }
    return at == data.size() ? out : QList<Record>();
}

QStringList dataFiles(const QString &dir)
{
    return QDir(dir).entryList({"EchoData_*.bin"}, QDir::Files, QDir::Name);
}

// The channel and number of each data file, as "ch1_n2".
QStringList numbered(QStringList files) { return files.replaceInStrings(QRegularExpression("^EchoData_|_utc.*$"), ""); }

QList<qint32> state(const QString &dir)
{
    const QByteArray b = StorageTree::readFile(dir + "/info");
    QList<qint32> v;
    for (int i = 0; i + 4 <= b.size(); i += 4)
        v << qint32((quint8(b[i]) << 24) | (quint8(b[i + 1]) << 16) | (quint8(b[i + 2]) << 8) | quint8(b[i + 3]));
    return v;
}

// Child side of the crash test: log records as fast as possible until killed.
int crashChild(const QString &devicePath)
{
    EchosounderDataLogger logger(100000, devicePath);
    logger.setDeviceInfo(true, devicePath);
    logger.startStopLogging(true);
    // Bounded in time, so a child left behind by a dead test stops by itself.
    QElapsedTimer alive;
    alive.start();
    for (int i = 0; alive.elapsed() < 30000; ++i) {
        logger.receivedDataForLogging(QByteArray(500, char(i % 256)), rawInfo(i % 86400), 0);
        if (i == 200)
            fprintf(stdout, "running\n"), fflush(stdout);
    }
    return 0;
}
}

class TestRawData : public QObject
{
    Q_OBJECT
private slots:
    // The device folder is there, as the device controller makes it when it announces the device.
    void init()
    {
        m_tree.reset(new StorageTree);
        m_dev = m_tree->path("/media/usb0/velmora/99999/Logs");
        m_data = m_dev + "/Raw_Echo_Data";
        QDir().mkpath(m_dev);
    }
    void cleanup() { m_tree.reset(); }

    void recordHeaderBytes_data();
    void recordHeaderBytes();
    void channelsGoToTheirOwnFilesOnceLoggingIsOn();
    void filesChangeAtTheSizeLimit();
    void oldestFilesGoAtTheMaximumCountAndNumbersSurviveARestart();
    void removedDeviceStopsWritingAndNewDeviceResumes();
    void failedWriteStopsUntilTheDeviceIsAnnouncedAgain();
    void runsInItsOwnThread();
    void killedWriterLeavesEveryEarlierRecordReadable();

private:
    std::unique_ptr<StorageTree> m_tree;
    QString m_dev;
    QString m_data; // the raw data folder on the device
};

void TestRawData::recordHeaderBytes_data()
{
    QTest::addColumn<QString>("values");
    QTest::addColumn<QList<int>>("fields"); // seconds of the day, depth x10, then three copied values
    QTest::newRow("typical") << "06-12-2026,01-02-03-456,12.37,0,0,0,17,0,0,0,0,0,-2.9,0,65535" << QList<int>{3723, 123, 17, 65535, -2};
    QTest::newRow("negative depth truncates toward zero") << "d,23-59-59-999,-3.75,,,,,,,,,,7.99,,1" << QList<int>{86399, -37, 0, 1, 7};
    QTest::newRow("unreadable time and empty fields") << "d,12:00:00,,,,,,,,,,,,," << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("nothing at all") << "" << QList<int>{0, 0, 0, 0, 0};
}

void TestRawData::recordHeaderBytes()
{
    QFETCH(QString, values);
    QFETCH(QList<int>, fields);
    const QByteArray h = EchosounderDataLogger::recordHeader(EchoRecordInfo::fromValues(values, EchoRecordInfo::Kind::Raw));
    QCOMPARE(h.size(), 30);
    QCOMPARE(QList<int>({int(le(h, 2, 4)), qint16(le(h, 6, 2)), int(le(h, 8, 2)), int(le(h, 10, 2)), qint16(le(h, 12, 2))}),
             fields);
    QCOMPARE(QList<quint32>({le(h, 0, 2), le(h, 14, 4), le(h, 18, 4), le(h, 22, 4), le(h, 26, 4)}),
             QList<quint32>({28, 4, 5, 5, 5}));
}

void TestRawData::channelsGoToTheirOwnFilesOnceLoggingIsOn()
{
    EchosounderDataLogger logger(10);
    logger.setDeviceInfo(true, m_dev);
    logger.receivedDataForLogging(QByteArray(4, 'o'), rawInfo(0), 0);
    QVERIFY(!QDir(m_data).exists());
    logger.startStopLogging(true);
    logger.receivedDataForLogging(QByteArray(4, 'a'), rawInfo(1), 0);
    logger.receivedDataForLogging(QByteArray(4, 'b'), rawInfo(2), 1);
    logger.receivedDataForLogging(QByteArray(4, 'c'), rawInfo(3), 0);
    logger.receivedDataForLogging(QByteArray(4, 'x'), rawInfo(4), 2);
    const QStringList files = dataFiles(m_data);
    QCOMPARE(files.size(), 2);
    QVERIFY(QRegularExpression("^EchoData_ch1_n1_utc\\d{4}_[A-Za-z]{3}_\\d\\d-\\d\\d_\\d\\d_\\d\\d\\.bin$")
                .match(files.at(0)).hasMatch());
    QCOMPARE(QString(files.at(1)).replace("_ch2_", "_ch1_"), files.at(0));

    QCOMPARE(readRecords(m_data + "/" + files.at(0), 4), QList<Record>({{1, "aaaa"}, {3, "cccc"}}));
    QCOMPARE(readRecords(m_data + "/" + files.at(1), 4), QList<Record>({{2, "bbbb"}}));
    QCOMPARE(logger.recordsWritten(), 3);
    QCOMPARE(logger.recordsDropped(), 2);
}

void TestRawData::filesChangeAtTheSizeLimit()
{
    EchosounderDataLogger logger(1);
    QCOMPARE(logger.maxFileSize(), 5069);
    logger.setDeviceInfo(true, m_dev);
    logger.startStopLogging(true);
    // 1030 bytes a record: the fifth one takes the file past 5069 bytes.
    for (int i = 0; i < 6; ++i)
        logger.receivedDataForLogging(QByteArray(1000, char(i)), rawInfo(i), 0);
    // Both channels change together.
    const QStringList files = dataFiles(m_data);
    QCOMPARE(numbered(files), QStringList({"ch1_n1", "ch1_n2", "ch2_n1", "ch2_n2"}));
    QCOMPARE(QFileInfo(m_data + "/" + files.at(0)).size(), 5 * 1030);
    QCOMPARE(readRecords(m_data + "/" + files.at(1), 1000), QList<Record>({{5, QByteArray(1000, char(5))}}));
    QCOMPARE(state(m_data), QList<qint32>({2, 1, 2}));
}

void TestRawData::oldestFilesGoAtTheMaximumCountAndNumbersSurviveARestart()
{
    {
        EchosounderDataLogger logger(1, m_dev);
        logger.setMaxFilesPerChannel(3);
        logger.setDeviceInfo(true, m_dev);
        logger.startStopLogging(true);
        for (int i = 0; i < 5; ++i) {
            logger.fileImportanceChanged(1);
            logger.receivedDataForLogging(QByteArray(10, 'z'), rawInfo(i), i % 2);
        }
        QCOMPARE(numbered(dataFiles(m_data)), QStringList({"ch1_n3", "ch1_n4", "ch1_n5", "ch2_n3", "ch2_n4", "ch2_n5"}));
        QCOMPARE(state(m_data), QList<qint32>({5, 3, 5}));
    }
    EchosounderDataLogger again(1, m_dev);
    QCOMPARE(again.newestNumber(), 5);
    QCOMPARE(again.oldestNumber(), 3);
    again.setDeviceInfo(true, m_dev);
    again.startStopLogging(true);
    again.receivedDataForLogging("x", rawInfo(6), 0);
    QVERIFY(again.currentFile(0).contains("_ch1_n6_"));

    // A damaged state file leaves the numbers at their start.
    StorageTree::writeFile(m_data + "/info", "\x01");
    EchosounderDataLogger fresh(1, m_dev);
    QCOMPARE(fresh.newestNumber(), 0);
    QCOMPARE(fresh.oldestNumber(), 1);
}

void TestRawData::removedDeviceStopsWritingAndNewDeviceResumes()
{
    m_tree->mount({"/media/usb0", "/media/sd0"});
    ESLoggingDeviceController device(nullptr, 60000, 600000);
    EchosounderDataLogger logger(100);
    connect(&device, &ESLoggingDeviceController::rawDataDeviceInfoChanged, &logger, &EchosounderDataLogger::setDeviceInfo);
    logger.startStopLogging(true);
    QSignalSpy checks(device.storageController(), &StorageDeviceController::checkFinished);
    QVERIFY(checks.wait());
    device.setLoggingDevice(LogToUsb);
    QTRY_VERIFY(logger.isLogging());

    for (int i = 0; i < 10; ++i)
        logger.receivedDataForLogging(QByteArray(100, 'u'), rawInfo(i), 0);
    QCOMPARE(logger.recordsWritten(), 10);
    QVERIFY(logger.currentFile(0).startsWith(m_data));

    m_tree->pull("/media/usb0");
    device.storageController()->requestCheck();
    QTRY_VERIFY(!logger.isLogging());
    for (int i = 10; i < 20; ++i)
        logger.receivedDataForLogging(QByteArray(100, 'u'), rawInfo(i), 0);
    QCOMPARE(logger.recordsWritten(), 10);
    QCOMPARE(logger.recordsDropped(), 10);
    QVERIFY(logger.currentFile(0).isEmpty());
    QVERIFY(!QDir(m_data).exists());

    device.setLoggingDevice(LogToSd);
    QTRY_VERIFY(logger.isLogging());
    logger.receivedDataForLogging(QByteArray(100, 's'), rawInfo(30), 0);
    const QString sdDir = m_tree->path("/media/sd0/velmora/99999/Logs/Raw_Echo_Data");
    QVERIFY(logger.currentFile(0).startsWith(sdDir));
    QCOMPARE(dataFiles(sdDir).size(), 2);
    QCOMPARE(QFileInfo(logger.currentFile(0)).size(), 130);
}

void TestRawData::failedWriteStopsUntilTheDeviceIsAnnouncedAgain()
{
    // The raw data folder cannot be made (a file stands in its way): the logger stops, says so
    // once, and drops records without trying again until the device is announced anew.
    StorageTree::writeFile(m_data, "in the way");
    EchosounderDataLogger logger(100);
    QSignalSpy failed(&logger, &EchosounderDataLogger::writeFailed);
    logger.setDeviceInfo(true, m_dev);
    logger.startStopLogging(true);
    for (int i = 0; i < 5; ++i)
        logger.receivedDataForLogging(QByteArray(100, 'f'), rawInfo(i), i % 2);
    QCOMPARE(failed.count(), 1);
    QVERIFY(!logger.isLogging());
    QCOMPARE(logger.recordsDropped(), 5);
    QFile::remove(m_data);
    logger.receivedDataForLogging(QByteArray(100, 'f'), rawInfo(5), 0);
    QVERIFY(!QDir(m_data).exists());
    logger.setDeviceInfo(true, m_dev);
    logger.receivedDataForLogging(QByteArray(100, 'f'), rawInfo(6), 0);
    QCOMPARE(logger.recordsWritten(), 1);
    QCOMPARE(dataFiles(m_data).size(), 2);
}

void TestRawData::runsInItsOwnThread()
{
    RawDataLoggingThread worker(1);
    QCOMPARE(worker.thread()->objectName(), QString("Raw data logging thread"));
    QVERIFY(worker.thread()->isRunning());
    EchosounderDataLogger *logger = worker.logger();
    QCOMPARE(logger->thread(), worker.thread());
    QMetaObject::invokeMethod(logger, "setDeviceInfo", Qt::QueuedConnection, Q_ARG(bool, true), Q_ARG(QString, m_dev));
    QMetaObject::invokeMethod(logger, "startStopLogging", Qt::QueuedConnection, Q_ARG(bool, true));
    for (int i = 0; i < 50; ++i)
        QMetaObject::invokeMethod(logger, "receivedDataForLogging", Qt::QueuedConnection,
                                  Q_ARG(QByteArray, QByteArray(64, 'q')), Q_ARG(EchoRecordInfo, rawInfo(i)), Q_ARG(int, i % 2));
    QTRY_COMPARE(dataFiles(m_data).size(), 2);
    QTRY_COMPARE(readRecords(m_data + "/" + dataFiles(m_data).at(1), 64).size(), 25);
}

void TestRawData::killedWriterLeavesEveryEarlierRecordReadable()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--raw-crash-child", m_dev});
    QVERIFY(child.waitForStarted() && child.waitForReadyRead(20000));
    QTest::qWait(200);
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const QStringList files = dataFiles(m_data).filter("_ch1_");
    QCOMPARE(files.size(), 1);
    const QList<Record> records = readRecords(m_data + "/" + files.at(0), 500);
    QVERIFY(records.size() > 200);
    for (int i = 0; i < records.size(); ++i) {
        QCOMPARE(records.at(i).seconds, quint32(i % 86400));
        QCOMPARE(records.at(i).samples, QByteArray(500, char(i % 256)));
    }
    QCOMPARE(state(m_data), QList<qint32>({1, 1, 1}));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--raw-crash-child") == 0)
        return crashChild(QString::fromLocal8Bit(argv[2]));
    TestRawData test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rawdata.moc"
