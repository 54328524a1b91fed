#include "communicationslogging.h"
#include "esloggingdevicecontroller.h"
#include "essetup.h"
#include "logfilewriter.h"
#include "messagelogger.h"
#include "storagetree.h"
#include "unitclock.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <limits>

namespace {
const QDateTime kUnitTime(QDate(2026, 3, 9), QTime(7, 5, 4), Qt::UTC);
const QString kGga = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");

QStringList lines(const QString &path)
{
    QString text = QString::fromUtf8(StorageTree::readFile(path));
    text.chop(text.endsWith('\n') ? 1 : 0);
    return text.isEmpty() ? QStringList() : text.split('\n');
}

// The time part is checked against the clock; the rest must be the message unchanged.
bool isRecordOf(const QString &line, const QString &msg)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d\\d-[A-Z][a-z]{2}-\\d{4}_\\d\\d:\\d\\d:\\d\\d) \\(UTC\\) >> (.*)<<$"));
    const auto m = shape.match(line);
    return m.hasMatch() && m.captured(2) == msg;
}
}

class TestCommLogs : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); UnitClock::instance().setCurrentDateTimeUtc(kUnitTime); }
    void cleanup() { UnitClock::instance().setCurrentDateTimeUtc(QDateTime::currentDateTimeUtc()); }

    void loggedMessageBecomesExactlyOneLine();
    void nothingIsWrittenForAPortThatIsOffOrWithoutAFolder();
    void errorRecordsGoToTheirFiles();
    void layoutOnTheDeviceAndWritingOffTheMainThread();
    void portsAndDirectionsFollowTheLoggingSetup();
    void aFloodOfErrorsIsHeldInMemoryAndOnTheDevice();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCommLogs::aFloodOfErrorsIsHeldInMemoryAndOnTheDevice()
{
    // Between two writes, gathered lines stay within their bound; the rest is counted.
    InputErrorLogger errors;
    errors.setDirPath(m_dir->path());
    errors.setUdpNmeaDatagramLogging(true);
    const QString datagram = QString("UdPbC") + QString(1400, 'x');
    for (int i = 0; i < 2000; ++i)
        errors.logUdpDatagramErrorToFile(UdpTagChecksumError, datagram);
    QVERIFY(errors.pendingBytes() <= MessageLogger::MaxPendingBytes + 1500);
    QVERIFY(errors.linesDropped() > 1000);
    QCOMPARE(errors.linesDropped() + errors.linesLogged(), 2000);

    // A log that reaches its largest size begins anew; the full one is kept as the previous file.
    const QString path = m_dir->path() + "/UDP_NMEA_Datagrams.txt";
    const QString previous = m_dir->path() + "/UDP_NMEA_Datagrams_old.txt";
    QCOMPARE(LogFileWriter::previousFileName(path), previous);
    LogFileWriter writer(nullptr, 1000, 0);
    auto lineOf = [](int n) { return QByteArray::number(n).rightJustified(99, '0') + '\n'; };
    int n = 0;
    for (int batch = 0; batch < 5; ++batch) {
        QByteArray lines;
        for (int i = 0; i < 4; ++i)
            lines += lineOf(n++);
        writer.writeBatch({m_dir->path(), {{"UDP_NMEA_Datagrams.txt", lines}}});
        QVERIFY(QFileInfo(path).size() <= 1000);
        QVERIFY(QFileInfo(previous).size() <= 1000);
    }
    QCOMPARE(lines(previous).size() + lines(path).size(), 12);   // the newest 12 of 20 lines
    QCOMPARE(lines(path).last().toUtf8() + '\n', lineOf(19));
    QCOMPARE(lines(previous).first().toUtf8() + '\n', lineOf(8));
    QCOMPARE(writer.bytesDropped(), 0);

    // A batch larger than a whole file keeps its newest lines, from the start of a line.
    QByteArray huge;
    for (int i = 0; i < 30; ++i)
        huge += lineOf(100 + i);
    writer.writeBatch({m_dir->path(), {{"UDP_NMEA_Datagrams.txt", huge}}});
    QCOMPARE(lines(path).size(), 10);
    QCOMPARE(lines(path).first().toUtf8() + '\n', lineOf(120));
    QCOMPARE(writer.bytesDropped(), 2000);

    // Nothing is written that would leave the device with less than its free minimum.
    QTemporaryDir other;
    LogFileWriter onFullDevice(nullptr, 1000, std::numeric_limits<qint64>::max() / 2);
    onFullDevice.writeBatch({other.path(), {{"NMEA_UDP.txt", lineOf(1)}}});
    QVERIFY(!QFile::exists(other.path() + "/NMEA_UDP.txt"));
    QCOMPARE(onFullDevice.bytesDropped(), 100);
}

void TestCommLogs::loggedMessageBecomesExactlyOneLine()
{
    const QDateTime t(QDate(2026, 12, 6), QTime(8, 9, 10, 999), Qt::UTC);
    QCOMPARE(MessageLogger::formatLine(t, kGga), QByteArray("06-Dec-2026_08:09:10 (UTC) >> ") + kGga.toLatin1() + "<<\n");
    QCOMPARE(MessageLogger::portFileName(Add_Serial_2), QString("NMEA_Add_2.txt"));

    MessageLogger logger;
    logger.setDirPath(m_dir->path());
    logger.setPortLogging(Serial_1, true);
    logger.logMessageToFile(Serial_1, kGga + "\r\n");
    logger.logMessageToFile(Serial_1, "  spaces and <<arrows>> kept  ");
    QVERIFY(!QFile::exists(m_dir->path() + "/NMEA_1.txt"));
    logger.writeToFiles();
    const QStringList got = lines(m_dir->path() + "/NMEA_1.txt");
    QCOMPARE(got.size(), 2);
    QVERIFY2(isRecordOf(got.at(0), kGga), qPrintable(got.at(0)));
    QVERIFY(isRecordOf(got.at(1), "  spaces and <<arrows>> kept  "));
    // The unit's clock, not the host's, stamps the line.
    QVERIFY2(got.at(0).startsWith("09-Mar-2026_07:05:0"), qPrintable(got.at(0)));

    // Written batches are appended, not rewritten.
    logger.logMessageToFile(Serial_1, "third");
    logger.writeToFiles();
    logger.flushToFiles();
    QCOMPARE(lines(m_dir->path() + "/NMEA_1.txt").size(), 3);
    QCOMPARE(logger.linesLogged(), 3);
}

void TestCommLogs::nothingIsWrittenForAPortThatIsOffOrWithoutAFolder()
{
    MessageLogger logger;
    logger.setPortLogging(Serial_2, true);
    logger.setPortLogging(static_cast<Port>(9), true);
    // No folder yet: the lines are dropped and counted, nothing stays pending.
    for (int i = 0; i < 5; ++i)
        logger.logMessageToFile(Serial_2, kGga);
    logger.writeToFiles();
    QCOMPARE(logger.linesDropped(), 5);
    QCOMPARE(logger.pendingBytes(), 0);

    logger.setDirPath(m_dir->path());
    for (Port p : {Serial_1, Serial_2, Serial_3, UDP, Add_Serial_1, static_cast<Port>(9)})
        logger.logMessageToFile(p, kGga);
    logger.writeToFiles();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"NMEA_2.txt"}));

    logger.setPortLogging(Serial_2, false);
    logger.logMessageToFile(Serial_2, kGga);
    logger.writeToFiles();
    QCOMPARE(lines(m_dir->path() + "/NMEA_2.txt").size(), 1);
    QCOMPARE(logger.pendingBytes(), 0);
}

void TestCommLogs::errorRecordsGoToTheirFiles()
{
    InputErrorLogger errors;
    errors.setDirPath(m_dir->path());
    errors.setPortLogging(UDP, true);
    errors.logNmeaMessageErrorToFile(NmeaChecksumError, UDP, kGga + "\r\n");
    errors.logNmeaMessageErrorToFile(NmeaChecksumError, Serial_1, kGga);
    errors.logUdpDatagramErrorToFile(UdpTagChecksumError, "\\s:SD0001*00\\$x\r\n$y");
    errors.logUdpDatagramErrorToFile(BinaryHeaderError, "RaUdP");
    errors.writeToFiles();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"NMEA_UDP.txt"}));
    const QStringList nmea = lines(m_dir->path() + "/NMEA_UDP.txt");
    QCOMPARE(nmea.size(), 1);
    QVERIFY2(isRecordOf(nmea.at(0), "Error 1 (" + nmeaErrorText(1) + "): " + kGga), qPrintable(nmea.at(0)));

    errors.setUdpNmeaDatagramLogging(true);
    errors.setUdpBinaryDatagramLogging(true);
    errors.logUdpDatagramErrorToFile(UdpTagChecksumError, "\\s:SD0001*00\\$x\r\n$y");
    errors.logUdpDatagramErrorToFile(BinaryHeaderError, "RaUdP");
    errors.writeToFiles();
    const QStringList udp = lines(m_dir->path() + "/UDP_NMEA_Datagrams.txt");
    QCOMPARE(udp.size(), 1);
    QVERIFY2(isRecordOf(udp.at(0), "Error 71 (" + udpErrorText(71) + "): \\s:SD0001*00\\$x<CR><LF>$y"), qPrintable(udp.at(0)));
    const QStringList binary = lines(m_dir->path() + "/UDP_Binary_Datagrams.txt");
    QCOMPARE(binary.size(), 1);
    QVERIFY(isRecordOf(binary.at(0), "Error 82 (" + udpErrorText(82) + "): RaUdP"));
}

void TestCommLogs::layoutOnTheDeviceAndWritingOffTheMainThread()
{
    CommunicationsLogging logs(nullptr, 50, 100);
    QVERIFY(logs.writerThread()->isRunning() && logs.writerThread() != QThread::currentThread());
    QCOMPARE(logs.writer()->thread(), logs.writerThread());
    const QString device = m_dir->path() + "/media/usb0/velmora/99999/Logs";
    logs.setDeviceInfo(true, true, device);
    logs.inputLogger()->setPortLogging(Serial_3, true);
    logs.outputLogger()->setPortLogging(UDP, true);
    logs.errorLogger()->setPortLogging(Serial_1, true);
    logs.inputLogger()->logMessageToFile(Serial_3, "in");
    logs.outputLogger()->logMessageToFile(UDP, "out");
    logs.errorLogger()->logNmeaMessageErrorToFile(NmeaFramingError, Serial_1, "bad");
    const QString base = device + "/Communication_Logs";
    QTRY_COMPARE(lines(base + "/Input_Messages/NMEA_3.txt").size(), 1);
    QTRY_COMPARE(lines(base + "/Output_Messages/NMEA_UDP.txt").size(), 1);
    QTRY_COMPARE(lines(base + "/Input_Errors/NMEA_1.txt").size(), 1);
    QVERIFY(isRecordOf(lines(base + "/Output_Messages/NMEA_UDP.txt").at(0), "out"));

    // The device goes: lines gathered before still land there, later ones are dropped.
    logs.inputLogger()->logMessageToFile(Serial_3, "last before removal");
    logs.setDeviceInfo(false, false, QString());
    logs.inputLogger()->logMessageToFile(Serial_3, "dropped");
    QTRY_COMPARE(lines(base + "/Input_Messages/NMEA_3.txt").size(), 2);
    QTest::qWait(150);
    QCOMPARE(lines(base + "/Input_Messages/NMEA_3.txt").size(), 2);
    QCOMPARE(logs.inputLogger()->linesDropped(), 1);
    QCOMPARE(logs.directory(), QString());
}

void TestCommLogs::portsAndDirectionsFollowTheLoggingSetup()
{
    qputenv("KVE_ROOT", m_dir->path().toLocal8Bit());
    CommsLoggingSetup setup;
    setup.setDefaultValuesFromClassInfo_RecursivelyForAllChildren();
    // Input of the second serial line and the network off, output of the first line off.
    setup.InputLoggingSetup()->setNmea2(1);
    setup.InputLoggingSetup()->setNmeaUdp(1);
    setup.OutputLoggingSetup()->setNmea1(1);
    CommunicationsLogging logs(nullptr, 50, 100);
    auto *device = new ESLoggingDeviceController(&logs, 100, 100);
    logs.followSettings(&setup, device);
    // The internal store, below the unit's /opt.
    const QString base = m_dir->path() + "/opt/velmora/99999/Logs/Communication_Logs";
    QTRY_COMPARE(logs.directory(), base);
    for (Port port : {Serial_1, Serial_2, Serial_3, UDP, Add_Serial_1}) {
        logs.inputLogger()->logMessageToFile(port, "in " + portName(port));
        logs.logOutputMessageGroup(NmeaGroupInfo({"out " + portName(port) + "\r\n", "again\r\n"}, port));
        logs.logInputError(NmeaChecksumError, port, "bad " + portName(port));
    }
    QTRY_COMPARE(QDir(base + "/Input_Errors").entryList(QDir::Files).size(), 4);
    QTRY_COMPARE(QDir(base + "/Input_Messages").entryList(QDir::Files), (QStringList{"NMEA_1.txt", "NMEA_3.txt"}));
    QTRY_COMPARE(QDir(base + "/Output_Messages").entryList(QDir::Files),
                 (QStringList{"NMEA_2.txt", "NMEA_3.txt", "NMEA_UDP.txt"}));
    QTRY_COMPARE(lines(base + "/Output_Messages/NMEA_UDP.txt").size(), 2);
    QVERIFY(isRecordOf(lines(base + "/Input_Errors/NMEA_2.txt").value(0), "Error 1 (" + nmeaErrorText(1) + "): bad Serial_2"));

    // A change of the setup applies at once; a device that is not there takes nothing.
    setup.InputLoggingSetup()->setNmea2(0);
    logs.inputLogger()->logMessageToFile(Serial_2, "now logged");
    QTRY_COMPARE(lines(base + "/Input_Messages/NMEA_2.txt").size(), 1);
    setup.CommonLoggingSetup()->setLogToDevice(LogToUsb);
    QTRY_COMPARE(logs.directory(), QString());
    QCOMPARE(device->loggingDevice(), LogToUsb);
}

QTEST_GUILESS_MAIN(TestCommLogs)
#include "tst_commlogs.moc"
