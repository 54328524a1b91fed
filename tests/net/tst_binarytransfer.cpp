#include "binaryimageencoder.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "errorlogger.h"
#include "listofsfisonnetwork.h"

#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

using namespace kve;

namespace {

const QString kJunctionBox = QStringLiteral("SD0108");

QByteArray pattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + 3) & 0xff);
    return b;
}

void setBe32(QByteArray &d, int offset, quint32 v)
{
    qToBigEndian(v, reinterpret_cast<uchar *>(d.data() + offset));
}

} // namespace

class TestBinaryTransfer : public QObject
{
    Q_OBJECT

    BinaryTransmissionController *m_ctl = nullptr;
    BinaryImageEncoder m_enc;

    QByteArrayList encode(const QByteArray &image, const QString &info = QStringLiteral("info"),
                          int channel = 0)
    {
        return m_enc.encode(image, info, channel);
    }
    void feed(const QByteArrayList &datagrams, std::initializer_list<int> order)
    {
        for (int i : order)
            m_ctl->processRecievedBinaryDatagram(datagrams.at(i));
    }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            m_ctl->inputBuffer()->ageEntries();
    }

private slots:
    void init()
    {
        m_ctl = new BinaryTransmissionController(this);
        m_ctl->setConnectedSfis({kJunctionBox});
        m_enc = BinaryImageEncoder();
        m_enc.setSourceSfi(kJunctionBox);
    }
    void cleanup() { delete m_ctl; }

    void datagramLayoutOfEncodedImage()
    {
        m_enc.setNextBlockId(0x01020304);
        const QByteArrayList d = encode(pattern(4000), QStringLiteral("0123456789"), 1);
        QCOMPARE(d.size(), 3);
        const QByteArray &first = d.first();
        QCOMPARE(first.size(), kMaxUdpSize);
        QCOMPARE(first.left(6), QByteArray("RaUdP\0", 6));
        QCOMPARE(first.mid(6, 4), QByteArray("\x00\x02\x00\x26", 4));
        QCOMPARE(first.mid(10, 12), QByteArray("SD0108XXXXXX"));
        QCOMPARE(first.mid(22, 2), QByteArray("\x00\x01", 2));
        QCOMPARE(first.mid(24, 4), QByteArray("\x01\x02\x03\x04", 4));
        QCOMPARE(first.mid(28, 8), QByteArray("\x00\x00\x00\x01\x00\x00\x00\x03", 8));
        QCOMPARE(int(first.at(37)), 2);
        // 24-character data type and 10-character text: descriptor 49, 1373 image bytes follow.
        QCOMPARE(first.mid(38, 4), QByteArray("\x00\x00\x00\x31", 4));
        QCOMPARE(first.size() - 38 - 49, 1373);
        QCOMPARE(first.mid(38 + 13, 24), QByteArray("application/octet-stream"));
        QCOMPARE(d.at(1).mid(38, 4), pattern(4000).mid(1373, 4));
        for (const QByteArray &x : d)
            QVERIFY(x.size() <= kMaxUdpSize);
        QCOMPARE(m_enc.nextBlockId(), quint32(0x01020305));
    }

    void inOrderImageIsDeliveredOnceWithChannelAndText()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        const QByteArray image = pattern(4000);
        const QByteArrayList d = encode(image, QStringLiteral("HDR_Dsp,x,y"), 1);
        feed(d, {0, 1, 2});
        QCOMPARE(images.count(), 1);
        QCOMPARE(images.at(0).at(0).toByteArray(), image);
        QCOMPARE(images.at(0).at(1).toString(), QStringLiteral("HDR_Dsp,x,y"));
        QCOMPARE(images.at(0).at(2).toInt(), 1);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);

        // An empty image is one datagram and is delivered at once; an addressed one is taken too.
        m_enc.setDestinationSfi(QStringLiteral("SD0109"));
        const QByteArrayList empty = encode(QByteArray());
        QCOMPARE(empty.size(), 1);
        feed(empty, {0});
        QCOMPARE(images.count(), 2);
        QVERIFY(images.at(1).at(0).toByteArray().isEmpty());
        QCOMPARE(m_ctl->errorCount(84), 0);
    }

    void duplicatesAreIgnored()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        const QByteArray image = pattern(3000);
        const QByteArrayList d = encode(image);
        feed(d, {0, 0, 1, 1, 2, 2, 1});
        QCOMPARE(images.count(), 1);
        QCOMPARE(images.at(0).at(0).toByteArray(), image);
        // Late copies after delivery must not leave a stale entry that later counts as lost.
        tick(6);
        QCOMPARE(m_ctl->errorCount(81), 0);
    }

    void outOfOrderImageIsDiscardedAtFifthTick()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QSignalSpy errors(m_ctl, &BinaryTransmissionController::imageErrorDetected);
        const QByteArrayList d = encode(pattern(4000));
        feed(d, {0, 2, 1});   // 3 is early and ignored, 2 is taken, 3 never comes again
        QCOMPARE(images.count(), 0);
        tick(4);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 1);
        QCOMPARE(m_ctl->errorCount(81), 0);
        tick(1);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);
        QCOMPARE(m_ctl->errorCount(81), 1);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toInt(), 81);
    }

    void lostDatagramsLeaveImageIncomplete()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        const QByteArrayList a = encode(pattern(4000));
        const QByteArrayList b = encode(pattern(4000));
        feed(a, {1, 2});    // first one lost
        feed(b, {0, 2});    // middle one lost
        tick(5);
        QCOMPARE(images.count(), 0);
        QCOMPARE(m_ctl->errorCount(81), 2);
        QCOMPARE(m_ctl->errorCount(84), 2);
    }

    void interleavedImagesAssembleSideBySide()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        const QByteArray ia = pattern(2500), ib = pattern(2600).right(2000);
        const QByteArrayList a = encode(ia, QStringLiteral("A"), 0);
        const QByteArrayList b = encode(ib, QStringLiteral("B"), 1);
        m_ctl->processRecievedBinaryDatagram(b.at(0));
        m_ctl->processRecievedBinaryDatagram(a.at(0));
        m_ctl->processRecievedBinaryDatagram(a.at(1));
        m_ctl->processRecievedBinaryDatagram(b.at(1));
        QCOMPARE(images.count(), 2);
        QCOMPARE(images.at(0).at(0).toByteArray(), ia);
        QCOMPARE(images.at(0).at(2).toInt(), 0);
        QCOMPARE(images.at(1).at(0).toByteArray(), ib);
        QCOMPARE(images.at(1).at(1).toString(), QStringLiteral("B"));
    }

    void wrongImageSizeIsCountedAndLogged()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QSignalSpy logged(m_ctl, &BinaryTransmissionController::imageErrorToLog);
        QByteArrayList d = encode(pattern(2000));
        d[1].chop(1);   // joined payload one byte short of the file length
        feed(d, {0, 1});
        QCOMPARE(images.count(), 0);
        QCOMPARE(m_ctl->errorCount(80), 1);
        QCOMPARE(logged.count(), 1);
        QCOMPARE(logged.at(0).at(0).toInt(), 80);
        tick(6);
        QCOMPARE(m_ctl->errorCount(81), 0);
    }

    void invalidHeaders_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("token") << 0 << QByteArray("UdPbC");
        QTest::newRow("token without NUL") << 5 << QByteArray("X");
        QTest::newRow("version") << 7 << QByteArray("\x01", 1);
        QTest::newRow("source letters") << 10 << QByteArray("S1");
        QTest::newRow("source digits") << 12 << QByteArray("01A8");
        QTest::newRow("destination") << 16 << QByteArray("XXXXX1");
        QTest::newRow("too short") << -1 << QByteArray();
    }
    void invalidHeaders()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QSignalSpy logged(m_ctl, &BinaryTransmissionController::imageErrorToLog);
        QByteArray d = encode(pattern(100)).first();
        if (offset < 0)
            d.truncate(37);
        else
            d.replace(offset, bytes.size(), bytes);
        m_ctl->processRecievedBinaryDatagram(d);
        QCOMPARE(images.count(), 0);
        QCOMPARE(m_ctl->errorCount(82), 1);
        QCOMPARE(logged.count(), 1);
        QCOMPARE(logged.at(0).at(0).toInt(), 82);
    }

    void corruptDescriptorIsAHeaderError()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QByteArray d = encode(pattern(10)).first();
        setBe32(d, 38, 5000);   // descriptor longer than the datagram
        m_ctl->processRecievedBinaryDatagram(d);
        QCOMPARE(images.count(), 0);
        QCOMPARE(m_ctl->errorCount(82), 1);
    }

    void foreignSenderAndOtherMessageTypesAreIgnored()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        m_enc.setSourceSfi(QStringLiteral("SD0200"));
        feed(encode(pattern(10)), {0});
        m_enc.setSourceSfi(kJunctionBox);
        QByteArray d = encode(pattern(10)).first();
        d[23] = 2;
        m_ctl->processRecievedBinaryDatagram(d);
        QCOMPARE(images.count(), 0);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);
        QCOMPARE(m_ctl->errorCount(84), 0);
        m_ctl->setConnectedSfis({});
        feed(encode(pattern(10)), {0});
        QCOMPARE(images.count(), 0);

        // Pairing with the junction box opens the way for its images.
        ListOfSfisOnNetwork::instance().connectSfi(kJunctionBox);
        QCOMPARE(m_ctl->connectedSfis(), QStringList{kJunctionBox});
        feed(encode(pattern(10)), {0});
        QCOMPARE(images.count(), 1);
        ListOfSfisOnNetwork::instance().disconnectSfi(kJunctionBox);
        QVERIFY(m_ctl->connectedSfis().isEmpty());
    }

    void ackRequestDoesNotStopReassembly()
    {
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        QSignalSpy acks(m_ctl->inputBuffer(), &BinaryInputBuffer::emitBinaryAckSignal);
        m_enc.setAckRequested(true);
        const QByteArrayList d = encode(pattern(2000));
        feed(d, {0, 1});
        QCOMPARE(acks.count(), 2);
        QCOMPARE(acks.at(1).at(0).toByteArray(), d.at(1).left(38));
        QCOMPARE(images.count(), 1);
    }

    void errorCodesAndTotal()
    {
        const int loggedBefore = ErrorLogger::instance().binaryCounter(84);
        m_ctl->countOversizedDatagram();
        m_ctl->processRecievedBinaryDatagram(QByteArray("junk"));
        QCOMPARE(m_ctl->errorCount(83), 1);
        QCOMPARE(m_ctl->errorCount(82), 1);
        QCOMPARE(m_ctl->errorCount(84), 2);
        QCOMPARE(m_ctl->errorCount(79), -1);
        QCOMPARE(m_ctl->errorCount(85), -1);
        QCOMPARE(ErrorLogger::instance().binaryCounter(84) - loggedBefore, 2);
        m_ctl->clearErrorCounters();
        QCOMPARE(m_ctl->errorCount(84), 0);
    }

    void controllerSendsEncodedImage()
    {
        QSignalSpy sent(m_ctl, &BinaryTransmissionController::sendDatagrams);
        m_ctl->setLocalSfi(kJunctionBox);
        m_ctl->packBinaryMessageForSending(pattern(3000), QStringLiteral("t"), 0);
        QCOMPARE(sent.count(), 1);
        const QByteArrayList d = sent.at(0).at(0).value<QByteArrayList>();
        QCOMPARE(d.size(), 3);
        QCOMPARE(sent.at(0).at(1).toBool(), true);
        QSignalSpy images(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
        feed(d, {0, 1, 2});
        QCOMPARE(images.count(), 1);
        QCOMPARE(images.at(0).at(0).toByteArray(), pattern(3000));
    }
};

QTEST_GUILESS_MAIN(TestBinaryTransfer)
#include "tst_binarytransfer.moc"
