#include "looptest.h"
#include "nmeaports.h"
#include "seriallinecutter.h"
#include "serialreader.h"

#include <QSet>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the reader opens the slave side as its serial port, the test plays the far
// end of the cable on the master side.
class Pty
{
public:
    Pty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    bool isValid() const { return m_master >= 0 && !m_slave.isEmpty(); }
    int master() const { return m_master; }
    QString slave() const { return m_slave; }

    void write(const QByteArray &bytes) const
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                QThread::msleep(1);
        }
    }
    // Everything the reader wrote within the time given.
    QByteArray readFor(int msecs) const
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < msecs) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, int(n));
            }
            QCoreApplication::processEvents();
        }
        return got;
    }

private:
    int m_master = -1;
    QString m_slave;
};

QStringList lines(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toString();
    return out;
}

const QByteArray kDpt = "$SDDPT,12.3,0.5,100*6C\r\n";
const QByteArray kZda = "$GPZDA,120000.00,06,12,2026,00,00*6A\r\n";

}

class TestSerial : public QObject
{
    Q_OBJECT
private slots:
    void cutterDropsNoiseBeforeTheStart();
    void cutterKeepsTheLastOfTwoStarts();
    void cutterDiscardsLongStretchesWithoutLineEnd();
    void cutterWaitsForTheRestOfAShortSentence();
    void cutterHandlesManyLinesAndEncapsulatedStarts();
    void cutterClearsAnOverlongRemainder();

    void readerCutsWhatArrivesOnTheLine();
    void readerWritesSentencesAndHonoursItsMode();
    void readerInPollingModeReadsInTheSharedThread();
    void idleLinesNeverOpen();
    void portsAreFoundByIndexAndName();
};

void TestSerial::cutterDropsNoiseBeforeTheStart()
{
    SerialLineCutter cutter;
    QByteArray waiting = "\x01\xff noise" + kDpt;
    QCOMPARE(cutter.cut(waiting), QStringList{kDpt});
    QVERIFY(waiting.isEmpty());

    // No start character at all: nothing kept.
    waiting = "garbage only\r\n";
    QCOMPARE(cutter.cut(waiting), QStringList());
    QVERIFY(cutter.buffer().isEmpty());
}

void TestSerial::cutterKeepsTheLastOfTwoStarts()
{
    SerialLineCutter cutter;
    QByteArray waiting = "$GPGGA,1200,53" + kDpt;
    QCOMPARE(cutter.cut(waiting), QStringList{kDpt});

    waiting = "$A,1$B,2$" + kZda;
    QCOMPARE(cutter.cut(waiting), QStringList{kZda});
}

void TestSerial::cutterDiscardsLongStretchesWithoutLineEnd()
{
    SerialLineCutter cutter;
    QByteArray waiting = "$GPXXX," + QByteArray(93, 'x');
    QCOMPARE(waiting.size(), 100);
    QCOMPARE(cutter.cut(waiting), QStringList());
    QVERIFY(waiting.isEmpty());

    // Exactly the limit without a line end goes as well; one less waits.
    waiting = QByteArray(82, '$');
    cutter.cut(waiting);
    QVERIFY(waiting.isEmpty());
    waiting = QByteArray(81, 'y');
    cutter.cut(waiting);
    QCOMPARE(waiting.size(), 81);

    // The discarded bytes leave no trace in the next line.
    waiting = kZda;
    QCOMPARE(SerialLineCutter().cut(waiting), QStringList{kZda});
}

void TestSerial::cutterWaitsForTheRestOfAShortSentence()
{
    SerialLineCutter cutter;
    QByteArray waiting = kDpt.left(10);
    QCOMPARE(cutter.cut(waiting), QStringList());
    QCOMPARE(waiting, kDpt.left(10));
    waiting += kDpt.mid(10, 5);
    QCOMPARE(cutter.cut(waiting), QStringList());
    waiting += kDpt.mid(15);
    QCOMPARE(cutter.cut(waiting), QStringList{kDpt});

    // A sentence split across reads after a complete one: the tail waits in the buffer.
    waiting = kDpt + kZda.left(12);
    QCOMPARE(cutter.cut(waiting), QStringList{kDpt});
    QCOMPARE(cutter.buffer(), QString::fromLatin1(kZda.left(12)));
    waiting = kZda.mid(12);
    QCOMPARE(cutter.cut(waiting), QStringList{kZda});
    QVERIFY(cutter.buffer().isEmpty());
}

void TestSerial::cutterHandlesManyLinesAndEncapsulatedStarts()
{
    SerialLineCutter cutter;
    const QByteArray vdm = "!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*5B\r\n";
    QByteArray waiting = "xx" + vdm + kDpt + "junk" + kZda;
    // A line without its own start after the first keeps its bytes only up to a "$".
    QCOMPARE(cutter.cut(waiting), (QStringList{vdm, kDpt, kZda}));
}

void TestSerial::cutterClearsAnOverlongRemainder()
{
    SerialLineCutter cutter;
    QByteArray waiting = kDpt + "$GPXXX," + QByteArray(80, 'z');
    QCOMPARE(cutter.cut(waiting), QStringList{kDpt});
    QVERIFY(cutter.buffer().isEmpty());
    waiting = kDpt + "$GPXXX," + QByteArray(75, 'z');
    cutter.cut(waiting);
    QCOMPARE(cutter.buffer().size(), 82);
}

void TestSerial::readerCutsWhatArrivesOnTheLine()
{
    Pty pty;
    QVERIFY(pty.isValid());
    SerialReader reader(1, SerialReader::ReceiveAndSend, true);
    reader.setDeviceName(pty.slave());
    QCOMPARE(reader.baudRate(), 4800);
    QVERIFY(reader.open());
    QVERIFY(reader.isOpen());
    QSignalSpy received(&reader, &SerialReader::lineReceived);

    pty.write("\x10\x13noise" + kDpt);
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QString::fromLatin1(kDpt));
    QCOMPARE(received.at(0).at(1).toInt(), 1);

    pty.write("$GPGLL,5300.0,N,00" + kZda);
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(received.at(1).at(0).toString(), QString::fromLatin1(kZda));

    // 100 bytes without a line end are thrown away, the sentence after them arrives whole.
    pty.write("$GPXXX," + QByteArray(93, 'q'));
    QTest::qWait(150);
    pty.write(kDpt);
    QTRY_COMPARE(received.count(), 3);
    QCOMPARE(received.at(2).at(0).toString(), QString::fromLatin1(kDpt));

    // A partial sentence waits for its end.
    pty.write(kZda.left(20));
    QTest::qWait(150);
    QCOMPARE(received.count(), 3);
    pty.write(kZda.mid(20));
    QTRY_COMPARE(received.count(), 4);
    QCOMPARE(received.at(3).at(0).toString(), QString::fromLatin1(kZda));

    // Lines are still cut but not handed on while reading is off.
    reader.setReadingEnabled(false);
    pty.write(kDpt);
    QTest::qWait(150);
    QCOMPARE(received.count(), 4);
    reader.setReadingEnabled(true);
    pty.write(kZda);
    QTRY_COMPARE(received.count(), 5);
    QCOMPARE(lines(received).last(), QString::fromLatin1(kZda));

    reader.close();
    QVERIFY(!reader.isOpen());
}

void TestSerial::readerWritesSentencesAndHonoursItsMode()
{
    Pty pty;
    QVERIFY(pty.isValid());
    {
        SerialReader reader(0, SerialReader::ReceiveAndSend, true);
        reader.setDeviceName(pty.slave());
        QVERIFY(reader.open());
        QCOMPARE(reader.sendMessage(QString::fromLatin1(kDpt)), kDpt.size());
        QCOMPARE(pty.readFor(200), kDpt);
        reader.setBaudRate(38400);
        QCOMPARE(reader.baudRate(), 38400);
        QCOMPARE(reader.sendMessage(QString::fromLatin1(kZda)), kZda.size());
        QCOMPARE(pty.readFor(200), kZda);
    }
    {
        SerialReader listenOnly(0, SerialReader::ReceiveOnly, true);
        listenOnly.setDeviceName(pty.slave());
        QVERIFY(listenOnly.open());
        QCOMPARE(listenOnly.sendMessage(QString::fromLatin1(kDpt)), 0);
        QCOMPARE(pty.readFor(100), QByteArray());
    }
    {
        SerialReader talkOnly(0, SerialReader::SendOnly, true);
        talkOnly.setDeviceName(pty.slave());
        QVERIFY(talkOnly.open());
        QSignalSpy received(&talkOnly, &SerialReader::lineReceived);
        pty.write(kDpt);
        QTest::qWait(150);
        QCOMPARE(received.count(), 0);
    }
}

void TestSerial::readerInPollingModeReadsInTheSharedThread()
{
    Pty a;
    Pty b;
    QVERIFY(a.isValid() && b.isValid());
    SerialReader first(0, SerialReader::ReceiveAndSend, true);
    SerialReader second(2, SerialReader::ReceiveAndSend, true);
    first.setDeviceName(a.slave());
    second.setDeviceName(b.slave());
    first.setQueryMode(SerialReader::QueryMode::Polling);
    second.setQueryMode(SerialReader::QueryMode::Polling);
    QVERIFY(first.open());
    QVERIFY(second.open());
    QVERIFY(first.thread() != QThread::currentThread());
    QCOMPARE(first.thread(), second.thread());
    QThread *shared = first.thread();
    QCOMPARE(shared->objectName(), QString("Serial reader thread"));

    QSignalSpy fromFirst(&first, &SerialReader::lineReceived);
    QSignalSpy fromSecond(&second, &SerialReader::lineReceived);
    a.write(kDpt);
    b.write("rubbish" + kZda);
    QTRY_COMPARE(fromFirst.count(), 1);
    QTRY_COMPARE(fromSecond.count(), 1);
    QCOMPARE(fromSecond.at(0).at(0).toString(), QString::fromLatin1(kZda));
    QCOMPARE(fromSecond.at(0).at(1).toInt(), 2);

    // Sending from the owner's thread reaches the port in the reader thread.
    QMetaObject::invokeMethod(&first, "sendMessage", Q_ARG(QString, QString::fromLatin1(kZda)));
    QCOMPARE(a.readFor(300), kZda);

    first.close();
    QCOMPARE(first.thread(), QThread::currentThread());
    QVERIFY(shared->isRunning());
    second.close();
    QVERIFY(!shared->isRunning());
}

void TestSerial::idleLinesNeverOpen()
{
    Pty pty;
    QVERIFY(pty.isValid());
    SerialReader reader(0, SerialReader::ReceiveAndSend, false);
    reader.setDeviceName(pty.slave());
    QVERIFY(!reader.open());
    QCOMPARE(reader.sendMessage(QString::fromLatin1(kDpt)), 0);
    QCOMPARE(pty.readFor(100), QByteArray());

    SerialReader unnamed(0, SerialReader::ReceiveAndSend, true);
    QVERIFY(!unnamed.open());
    SerialReader missing(0, SerialReader::ReceiveAndSend, true);
    missing.setDeviceName("/dev/no-such-serial-line");
    QVERIFY(!missing.open());
}

void TestSerial::portsAreFoundByIndexAndName()
{
    NmeaPorts ports(SerialReader::QueryMode::EventDriven, true);
    for (int i = 0; i < NmeaPorts::PortCount; ++i) {
        QVERIFY(ports.port(i));
        QCOMPARE(ports.port(i)->portNumber(), i);
        QCOMPARE(ports.port(i)->baudRate(), 4800);
        // This build is not the unit's own platform: names come from the port setup.
        QVERIFY(ports.port(i)->deviceName().isEmpty());
    }
    QCOMPARE(NmeaPorts::targetDeviceName(0), QString("ttyS3"));
    QCOMPARE(NmeaPorts::targetDeviceName(1), QString("ttyS1"));
    QCOMPARE(NmeaPorts::targetDeviceName(2), QString("ttyS2"));

    QTest::ignoreMessage(QtDebugMsg, "Wrong index/name of NMEA port!!!");
    QVERIFY(!ports.port(3));
    QTest::ignoreMessage(QtDebugMsg, "Wrong index/name of NMEA port!!!");
    QVERIFY(!ports.port(-1));
    QCOMPARE(ports.port("Serial_2"), ports.port(1));
    ports.setDeviceName(2, "/dev/ttyUSB7");
    QCOMPARE(ports.port("/dev/ttyUSB7"), ports.port(2));
    QTest::ignoreMessage(QtDebugMsg, "Wrong index/name of NMEA port!!!");
    QVERIFY(!ports.port("Serial_4"));

    Pty pty;
    QVERIFY(pty.isValid());
    ports.setDeviceName(2, pty.slave());
    QCOMPARE(ports.openAll(), 1);
    QVERIFY(ports.port(2)->isOpen());
}

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"
