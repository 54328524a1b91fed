#include "looptest.h"
#include "nmeatestlines.h"
#include "testpty.h"
#include "nmeaports.h"
#include "nmeaportscommunicationcontroller.h"
#include "seriallinecutter.h"
#include "serialreader.h"
#include "watchdog.h"
#include "watchdogsingletonwrapper.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Debug lines of every thread, kept for the watchdog registration checks.
QStringList g_log;
QMutex g_logMutex;
QtMessageHandler g_testHandler = nullptr;
void collect(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    g_logMutex.lock();
    g_log << msg;
    g_logMutex.unlock();
    g_testHandler(type, context, msg);
}
bool logged(const QString &msg)
{
    QMutexLocker lock(&g_logMutex);
    return g_log.contains(msg);
}
bool loggedStart(const QString &start)
{
    QMutexLocker lock(&g_logMutex);
    return std::any_of(g_log.cbegin(), g_log.cend(), [&start](const QString &line) { return line.startsWith(start); });
}

const QByteArray kDpt = "$SDDPT,12.3,0.5,100*6C\r\n";
const QByteArray kZda = "$GPZDA,120000.00,06,12,2026,00,00*6A\r\n";
const QByteArray kLongGga = NmeaTest::line("GPGGA,123519.000,4807.0380000,N,01131.0000000,E,4,12,0.9,545.4321,M,46.9,M,1.2,0000")
                                .toLatin1();

}

class TestSerial : public QObject
{
    Q_OBJECT
private slots:
    void cutting_data()
    {
        // Each chunk is added to what waits at the port, then the cutter runs.
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("leftWaiting");
        auto row = [](const char *name, const QList<QByteArray> &chunks, const QStringList &expected, int left = 0) {
            QTest::newRow(name) << chunks << expected << left;
        };
        const QByteArray tail82 = "$GPXXX," + QByteArray(75, 'z');
        row("noise before the start", {"\x01\xff noise" + kDpt}, {kDpt});
        row("no start at all", {"garbage only\r\n", kDpt}, {kDpt});
        row("broken then whole", {"$A,1$GPGGA,1200,53" + kDpt}, {kDpt});
        row("100 bytes without line end", {"$GPXXX," + QByteArray(93, 'x'), kDpt}, {kDpt});
        row("82 without line end go", {QByteArray(82, '$')}, {});
        row("81 without line end wait", {QByteArray(81, 'y')}, {}, 81);
        row("partial sentence waits", {kDpt.left(10), kDpt.mid(10, 5), kDpt.mid(15)}, {kDpt});
        row("many lines, encapsulated start, noise between",
            {"xx!AIVDM,1,1,,A,13aG?P0P00PD;8,0*5B\r\n" + kDpt + "junk" + kZda},
            {"!AIVDM,1,1,,A,13aG?P0P00PD;8,0*5B\r\n", kDpt, kZda});
        row("tail after a line waits", {kDpt + kZda.left(12), kZda.mid(12)}, {kDpt, kZda});
        row("82 left over are kept", {kDpt + tail82, "end\r\n"}, {kDpt, tail82 + "end\r\n"});
        row("83 left over are dropped", {kDpt + tail82 + "z", "end\r\n"}, {kDpt});
        // A position sentence may be longer than 82 characters and arrives whole, however it is split.
        const QByteArray longGga = kLongGga;
        QList<QByteArray> trickle;
        for (int at = 0; at < longGga.size(); at += 7)
            trickle << longGga.mid(at, 7);
        row("long GGA in small pieces", trickle, {longGga});
        row("long GGA after a line", {kDpt + longGga.left(60), longGga.mid(60)}, {kDpt, longGga});
        row("long GGA named across two reads", {kDpt + longGga.left(4), longGga.mid(4, longGga.size() - 5), "\n"},
            {kDpt, longGga});
        row("a start kept goes with what overflows", {kDpt + "$GPHDT,", QByteArray(82, '7'), "1.0,T*00\r\n"}, {kDpt});
        row("GGA without end beyond its bound goes", {"$GPGGA," + QByteArray(SerialLineCutter::MaxGgaLineLength, '1'), kDpt}, {kDpt});
    }

    void cutting()
    {
        QFETCH(QList<QByteArray>, chunks);
        SerialLineCutter cutter;
        QByteArray waiting;
        QStringList got;
        for (const QByteArray &chunk : chunks)
            got += cutter.cut(waiting += chunk);
        QTEST(got, "expected");
        QTEST(int(waiting.size()), "leftWaiting");
    }

    void readerHandsOnWholeLinesAndHonoursItsMode()
    {
        Pty pty;
        QVERIFY(pty.isValid());
        SerialReader reader(1, SerialReader::ReceiveAndSend);
        reader.setDeviceName(pty.slave);
        QVERIFY(reader.open());
        QSignalSpy received(&reader, &SerialReader::lineReceived);
        pty.write("\x10\x13noise" + kDpt + kZda.left(20));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0), (QList<QVariant>{QString::fromLatin1(kDpt), 1}));
        QTest::qWait(100);
        pty.write(kZda.mid(20));
        QTRY_COMPARE(received.count(), 2);
        // Lines are still cut but not handed on while reading is off.
        reader.setReadingEnabled(false);
        pty.write(kDpt);
        QTest::qWait(150);
        reader.setReadingEnabled(true);
        pty.write(kZda);
        QTRY_COMPARE(received.count(), 3);
        QCOMPARE(NmeaTest::firstArguments(received), (QVariantList{QString(kDpt), QString(kZda), QString(kZda)}));
        reader.close();
        // Sending and receiving by mode, with the speed changed while open.
        for (int mode : {SerialReader::ReceiveAndSend, SerialReader::ReceiveOnly, SerialReader::SendOnly}) {
            SerialReader reader(0, mode);
            reader.setDeviceName(pty.slave);
            QVERIFY(reader.open());
            QSignalSpy received(&reader, &SerialReader::lineReceived);
            reader.setBaudRate(38400);
            const bool sends = mode != SerialReader::ReceiveOnly;
            QCOMPARE(reader.sendMessage(QString::fromLatin1(kDpt)), sends ? kDpt.size() : 0);
            pty.write(kZda);
            QCOMPARE(pty.readFor(200), sends ? kDpt : QByteArray());
            QCOMPARE(received.count(), mode == SerialReader::SendOnly ? 0 : 1);
        }
    }

    void pollingReadersShareOneThread()
    {
        // The shared thread is watched once a watchdog runs.
        auto *watchdog = new Watchdog(m_watchdogDir.path());
        watchdog->moveToThread(&m_watchdogThread);
        connect(&m_watchdogThread, &QThread::finished, watchdog, &QObject::deleteLater);
        m_watchdogThread.start();
        WatchdogSingletonWrapper::instance().setWatchdog(watchdog);
        g_testHandler = qInstallMessageHandler(collect);
        Pty a, b;
        QVERIFY(a.isValid() && b.isValid());
        SerialReader first(0, SerialReader::ReceiveAndSend);
        SerialReader second(2, SerialReader::ReceiveAndSend);
        for (SerialReader *reader : {&first, &second})
            reader->setQueryMode(SerialReader::QueryMode::Polling);
        first.setDeviceName(a.slave);
        second.setDeviceName(b.slave);
        first.start();
        second.start();
        QTRY_VERIFY(first.isOpen() && second.isOpen());
        QThread *shared = first.thread();
        QVERIFY(shared != QThread::currentThread() && second.thread() == shared);
        QTRY_VERIFY(logged("Watchdog register thread: Serial reader thread"));
        QSignalSpy fromSecond(&second, &SerialReader::lineReceived);
        b.write("rubbish" + kZda);
        QTRY_COMPARE(fromSecond.count(), 1);
        QCOMPARE(fromSecond.at(0), (QList<QVariant>{QString::fromLatin1(kZda), 2}));
        QMetaObject::invokeMethod(&first, "sendMessage", Q_ARG(QString, QString::fromLatin1(kDpt)));
        QCOMPARE(a.readFor(300), kDpt);
        // A new rate applies to the open line in its thread.
        first.setBaudRate(115200);
        QMetaObject::invokeMethod(&first, "sendMessage", Q_ARG(QString, QString::fromLatin1(kZda)));
        QCOMPARE(a.readFor(300), kZda);
        first.stop();
        QCOMPARE(first.thread(), QThread::currentThread());
        QVERIFY(!first.isOpen());
        QVERIFY(shared->isRunning());
        second.stop();
        QVERIFY(!shared->isRunning());
        QTRY_VERIFY(logged("Watchdog UNREGISTER thread: Serial reader thread"));
    }

    void missingOrVanishingDeviceIsRetried()
    {
        // The line is named by a link, as an adapter's stable name would be; the link comes, goes and comes back.
        if (!g_testHandler)
            g_testHandler = qInstallMessageHandler(collect);
        QTemporaryDir dir;
        const QString device = dir.filePath("ttyNMEA");
        SerialReader reader(4);
        reader.setDeviceName(device);
        QSignalSpy received(&reader, &SerialReader::lineReceived);
        reader.start();
        QVERIFY(loggedStart("Error opening port: " + device + " ("));
        QVERIFY(!reader.isOpen());
        auto pty = std::make_unique<Pty>();
        QVERIFY(QFile::link(pty->slave, device));
        QTRY_VERIFY_WITH_TIMEOUT(reader.isOpen(), 3 * SerialReader::RetryIntervalMsecs);
        pty->write(kDpt);
        QTRY_COMPARE(received.count(), 1);
        // The far end goes away: the line is closed at once (no busy reading) and tried again.
        pty.reset();
        QTRY_VERIFY(!reader.isOpen());
        QVERIFY(loggedStart("Lost port: " + device + " ("));
        QFile::remove(device);
        pty = std::make_unique<Pty>();
        QVERIFY(QFile::link(pty->slave, device));
        QTRY_VERIFY_WITH_TIMEOUT(reader.isOpen(), 3 * SerialReader::RetryIntervalMsecs);
        pty->write(kZda);
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(received.at(1).at(0).toString(), QString::fromLatin1(kZda));
        reader.stop();
        QVERIFY(!reader.isOpen());
    }

    void portsAndTheirController()
    {
        NmeaPorts ports(SerialReader::QueryMode::EventDriven);
        // The own lines and the additional ones, numbered by their line, at 4800 baud, without devices
        // off the unit's own platform.
        QStringList numbers;
        for (Port line : NmeaPorts::lines()) {
            QVERIFY(ports.port(line)->baudRate() == 4800 && ports.port(line)->deviceName().isEmpty());
            numbers << QString::number(ports.port(line)->portNumber());
        }
        QCOMPARE(numbers.join(' '), QString("0 1 2 4 5 6"));
        QCOMPARE(NmeaPorts::targetDeviceName(0) + NmeaPorts::targetDeviceName(1) + NmeaPorts::targetDeviceName(2),
                 QString("ttyS3ttyS1ttyS2"));
        for (int wrong : {3, -1, 7}) {
            QTest::ignoreMessage(QtDebugMsg, "Wrong index/name of NMEA port!!!");
            QVERIFY(!ports.port(wrong));
        }
        QCOMPARE(ports.port("Serial_2"), ports.port(1));
        QCOMPARE(ports.port("Add_Serial_3"), ports.port(6));
        Pty pty;
        ports.setDeviceName(2, pty.slave);
        QCOMPARE(ports.port(pty.slave), ports.port(2));
        QCOMPARE(ports.startAll(), 1);
        QVERIFY(ports.port(2)->isOpen());

        // Received lines go on one by one; groups go to the line they name, the additional lines too.
        Pty cable, extra;
        ports.setDeviceName(1, cable.slave);
        ports.setDeviceName(Add_Serial_2, extra.slave);
        QCOMPARE(ports.startAll(), 3);
        NmeaPortsCommunicationController controller(&ports, nullptr);
        QSignalSpy groups(&controller, &NmeaPortsCommunicationController::receivedNmeaListFromSerial);
        cable.write(kDpt + kZda);
        extra.write(kZda);
        controller.sendNmeaGroupOverSerialPort(NmeaGroupInfo({kDpt, kZda}, Serial_2));
        controller.sendNmeaGroupOverSerialPort(NmeaGroupInfo({kZda}, Serial_1)); // line without device
        controller.sendNmeaGroupOverSerialPort(NmeaGroupInfo({kZda}, UDP));
        controller.sendNmeaGroupOverSerialPort(NmeaGroupInfo({kDpt}, Add_Serial_2));
        controller.sendTestMessageOverSerialPort(LoopTest::testSentence(), 1);
        QCOMPARE(cable.readFor(300), kDpt + kZda + LoopTest::testSentence().toLatin1());
        QCOMPARE(extra.readFor(0), kDpt);
        QStringList received;
        for (const QVariantList &emission : groups) {
            const NmeaGroupInfo group = emission.at(0).value<NmeaGroupInfo>();
            received << portName(group.port) + ' ' + group.messages.join('|');
        }
        received.sort();
        QCOMPARE(received, (QStringList{"Add_Serial_2 " + kZda, "Serial_2 " + kZda, "Serial_2 " + kDpt}));
        ports.stopAll();
        QVERIFY(!ports.port(1)->isOpen());
    }

    void loopTestOverLoopbackPlugs()
    {
        std::array<Pty, 3> pty;
        NmeaPorts ports(SerialReader::QueryMode::Polling); // polling readers, as on the unit
        for (int i = 0; i < 3; ++i)
            ports.setDeviceName(i, pty[i].slave);
        ports.port(1)->setBaudRate(38400);
        QCOMPARE(ports.startAll(), 3);
        QTRY_VERIFY(ports.port(0)->isOpen() && ports.port(1)->isOpen() && ports.port(2)->isOpen());
        // One sentence lost on the first line still passes; three lost on the third fail it.
        const auto plugs = {loopbackPlug(pty[0], {7}), loopbackPlug(pty[1]), loopbackPlug(pty[2], {3, 11, 20})};
        LoopTest loopTest;
        QVERIFY(loopTest.init());
        NmeaPortsCommunicationController controller(&ports, &loopTest);
        QSignalSpy groups(&controller, &NmeaPortsCommunicationController::receivedNmeaListFromSerial);
        QSignalSpy statuses(&loopTest, &LoopTest::portStatusDetermined);
        QSignalSpy finished(&loopTest, &LoopTest::finishedTesting);
        loopTest.runTest();
        QVERIFY(loopTest.isRunning());
        QCOMPARE(ports.port(1)->baudRate(), 4800);
        loopTest.runTest(); // a second start request changes nothing
        QTest::qWait(500);
        pty[1].write(kDpt); // traffic during the test never reaches the sentence controller
        controller.sendNmeaGroupOverSerialPort(NmeaGroupInfo({kZda}, Serial_1));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 15000);
        QCOMPARE(groups.count(), 0);
        const LoopTest::Result result = loopTest.result();
        QVERIFY(result.testDone && !result.running);
        QCOMPARE(result.passed, (std::array<bool, 3>{{true, true, false}}));
        // Correct sentences per line; the foreign sentence on the second is received but not correct.
        QCOMPARE((QList<int>{loopTest.correctCount(0), loopTest.correctCount(1), loopTest.receivedCount(1),
                             loopTest.correctCount(2)}), (QList<int>{19, 20, 21, 17}));
        QCOMPARE(statuses, (QList<QVariantList>{{"NmeaPort1Status", 1}, {"NmeaPort2Status", 1}, {"NmeaPort3Status", 2}}));
        QCOMPARE(ports.port(1)->baudRate(), 38400);
        // After the test the lines carry ordinary traffic again.
        pty[1].write(kDpt);
        QTRY_COMPARE(groups.count(), 1);
    }

public:
    ~TestSerial() override { m_watchdogThread.quit(); m_watchdogThread.wait(); }

private:
    QTemporaryDir m_watchdogDir;
    QThread m_watchdogThread;
};

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"
