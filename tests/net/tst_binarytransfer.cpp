#include "binaryimageencoder.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "errorlogger.h"
#include "listofsfisonnetwork.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

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

} // namespace

class TestBinaryTransfer : public QObject
{
    Q_OBJECT

    BinaryTransmissionController *m_ctl = nullptr;
    BinaryImageEncoder m_enc;
    std::unique_ptr<QSignalSpy> m_images;   // images delivered by the input buffer

    QByteArrayList encode(const QByteArray &image, const QString &info = "info", int channel = 0)
    {
        return m_enc.encode(image, info, channel);
    }
    void feed(const QByteArrayList &datagrams, const QList<int> &order)
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
        m_images = std::make_unique<QSignalSpy>(m_ctl->inputBuffer(), &BinaryInputBuffer::useBinaryMessage);
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
        // Token, version 2, header 38, source and no destination, type 1, block id, datagram 1 of 3.
        QCOMPARE(first.left(36), QByteArray("RaUdP\0" "\x00\x02\x00\x26" "SD0108XXXXXX" "\x00\x01" "\x01\x02\x03\x04"
                                            "\x00\x00\x00\x01" "\x00\x00\x00\x03", 36));
        QCOMPARE(int(first.at(37)), 2);
        // 24-character data type and 10-character text: descriptor 49, 1373 image bytes follow.
        QCOMPARE(first.mid(38, 4), QByteArray("\x00\x00\x00\x31", 4));
        QCOMPARE(first.mid(38 + 13, 24), QByteArray("application/octet-stream"));
        QCOMPARE(d.at(1).mid(38, 4), pattern(4000).mid(1373, 4));
        QCOMPARE(d.at(1).size(), kMaxUdpSize);
        QCOMPARE(d.at(2).size(), 38 + 4000 - 1373 - (kMaxUdpSize - 38));
        QCOMPARE(m_enc.nextBlockId(), quint32(0x01020305));
    }

    void reassemblyFollowsArrivalOrder_data()
    {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<bool>("lost");   // a datagram that belongs to no image in assembly is counted
        QTest::newRow("in order") << QList<int>{0, 1, 2} << true << false;
        QTest::newRow("copies while assembling") << QList<int>{0, 0, 1, 1, 2} << true << false;
        QTest::newRow("copy after delivery") << QList<int>{0, 1, 2, 1} << true << true;
        QTest::newRow("out of order") << QList<int>{0, 2, 1} << false << true;   // 3 came early and is not kept
        QTest::newRow("first lost") << QList<int>{1, 2} << false << true;
        QTest::newRow("middle lost") << QList<int>{0, 2} << false << true;
    }
    void reassemblyFollowsArrivalOrder()
    {
        QFETCH(QList<int>, order);
        QFETCH(bool, delivered);
        QFETCH(bool, lost);
        feed(encode(pattern(3000), QStringLiteral("HDR_Dsp,x,y"), 1), order);
        QCOMPARE(m_images->count(), delivered ? 1 : 0);
        if (delivered)
            QCOMPARE(m_images->first(), (QVariantList{pattern(3000), QStringLiteral("HDR_Dsp,x,y"), 1}));
        // What is left open is given up at the fifth tick and counted as lost.
        tick(4);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), lost ? 1 : 0);
        QCOMPARE(m_ctl->errorCount(81), 0);
        tick(1);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);
        QCOMPARE(m_ctl->errorCount(81), lost ? 1 : 0);
        QCOMPARE(m_ctl->errorCount(84), lost ? 1 : 0);
    }

    void everyImageArrivesWhateverItsBlockIdentifier_data()
    {
        QTest::addColumn<QString>("ids");
        QTest::newRow("constant") << "constant";
        QTest::newRow("per channel") << "per channel";
    }
    void everyImageArrivesWhateverItsBlockIdentifier()
    {
        QFETCH(QString, ids);
        // Twenty pings of both channels, each image of two datagrams; the late copy of the last
        // datagram of an image is the only loss there is, and it is counted.
        for (int ping = 1; ping <= 10; ++ping) {
            for (int channel = 0; channel < 2; ++channel) {
                m_enc.setNextBlockId(ids == QLatin1String("constant") ? 1 : quint32(ping));
                const QByteArrayList d = encode(pattern(2000), QStringLiteral("ping %1").arg(ping), channel);
                feed(d, {0, 1});
            }
        }
        QCOMPARE(m_images->count(), 20);
        QCOMPARE(m_images->last(), (QVariantList{pattern(2000), QStringLiteral("ping 10"), 1}));
        m_enc.setNextBlockId(77);
        feed(encode(pattern(2000)), {0, 1, 1});
        tick(5);
        QCOMPARE((QList<int>{m_images->count(), m_ctl->errorCount(81), m_ctl->errorCount(84)}), (QList<int>{21, 1, 1}));
    }

    void noDatagramMakesReassemblyKeepMoreThanItsLimits()
    {
        // The limit comes from the catalogue: the most samples of one ping, one byte each.
        const int most = BinaryInputBuffer::maxImageBytes();
        QCOMPARE(most, 3200);
        feed(encode(pattern(most)), {0, 1, 2});
        QCOMPARE(m_images->count(), 1);
        feed(encode(pattern(most + 1)), {0});   // its descriptor says too much
        QByteArray lying = encode(pattern(10)).first();
        lying.replace(32, 4, QByteArray("\x00\x01\x00\x00", 4));   // 65,536 datagrams to come
        m_ctl->processRecievedBinaryDatagram(lying);
        QByteArrayList longer = encode(pattern(3000));   // more payload than its descriptor said
        longer[0].replace(38 + 4, 4, QByteArray("\x00\x00\x05\xdc", 4));
        feed(longer, {0, 1});
        QCOMPARE((QList<int>{m_ctl->errorCount(80), m_ctl->errorCount(84)}), (QList<int>{3, 3}));
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);
        // Half-open images: beyond the limit the oldest one is given up.
        for (int i = 0; i < BinaryInputBuffer::kMaxOpenImages + 3; ++i)
            feed(encode(pattern(2000)), {0});
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), BinaryInputBuffer::kMaxOpenImages);
        QCOMPARE((QList<int>{m_ctl->errorCount(81), m_ctl->errorCount(84)}), (QList<int>{3, 6}));
    }

    void interleavedImagesAreDeliveredAsTheyCompleteWhateverTheyAskFor()
    {
        QSignalSpy sent(m_ctl, &BinaryTransmissionController::sendDatagrams);
        QSignalSpy acks(m_ctl->inputBuffer(), &BinaryInputBuffer::emitBinaryAckSignal);
        const QByteArray ia = pattern(2500), ib = pattern(2600).right(2000);
        m_ctl->setLocalSfi(kJunctionBox);   // the controller's own images, sent over the internal interface
        m_ctl->packBinaryMessageForSending(ia, QStringLiteral("A"), 0);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first().at(1).toBool(), true);
        const QByteArrayList a = sent.first().first().value<QByteArrayList>();
        m_enc.setNextBlockId(m_ctl->encoder().nextBlockId() + 1);   // another block than the controller's
        m_enc.setAckRequested(true);   // noted for each datagram, reassembly goes on
        const QByteArrayList b = encode(ib, QStringLiteral("B"), 1);
        // An empty image is a single datagram; one addressed to this unit is taken too.
        m_enc.setDestinationSfi(QStringLiteral("SD0109"));
        const QByteArrayList empty = encode(QByteArray());
        QCOMPARE(empty.size(), 1);
        for (const QByteArray &d : {b.at(0), a.at(0), empty.at(0), a.at(1), b.at(1)})
            m_ctl->processRecievedBinaryDatagram(d);
        QCOMPARE(m_images->count(), 3);
        QVERIFY(m_images->at(0).at(0).toByteArray().isEmpty());
        QCOMPARE(m_images->at(1), (QVariantList{ia, QStringLiteral("A"), 0}));
        QCOMPARE(m_images->at(2), (QVariantList{ib, QStringLiteral("B"), 1}));
        QCOMPARE(m_ctl->errorCount(84), 0);
        QCOMPARE(acks.count(), 3);
        QCOMPARE(acks.at(2).first().toByteArray(), b.at(1).left(38));
    }

    void faultyDatagramsAreCountedAndLogged_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("cut");   // > 0: keep only that many bytes, < 0: drop that many
        QTest::addColumn<int>("code");
        QTest::newRow("token") << 0 << QByteArray("UdPbC") << 0 << 82;
        QTest::newRow("token without NUL") << 5 << QByteArray("X") << 0 << 82;
        QTest::newRow("version") << 7 << QByteArray("\x01", 1) << 0 << 82;
        QTest::newRow("source letters") << 10 << QByteArray("S1") << 0 << 82;
        QTest::newRow("source digits") << 12 << QByteArray("01A8") << 0 << 82;
        QTest::newRow("destination") << 16 << QByteArray("XXXXX1") << 0 << 82;
        QTest::newRow("too short") << 0 << QByteArray() << 37 << 82;
        QTest::newRow("descriptor past the end") << 38 << QByteArray("\x00\x00\x13\x88", 4) << 0 << 82;
        QTest::newRow("image one byte short") << 0 << QByteArray() << -1 << 80;
    }
    void faultyDatagramsAreCountedAndLogged()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(int, cut);
        QFETCH(int, code);
        QSignalSpy logged(m_ctl, &BinaryTransmissionController::imageErrorToLog);
        QByteArray d = encode(pattern(100)).first();
        d.replace(offset, bytes.size(), bytes);
        d.truncate(cut > 0 ? cut : d.size() + cut);
        m_ctl->processRecievedBinaryDatagram(d);
        QCOMPARE(m_images->count(), 0);
        QCOMPARE(m_ctl->errorCount(code), 1);
        QCOMPARE(logged.count(), 1);
        QCOMPARE(logged.first().first().toInt(), code);
        if (code == 80) {   // a wrongly sized image is finished with, not left to count as lost
            tick(6);
            QCOMPARE(m_ctl->errorCount(81), 0);
        }
    }

    void foreignSenderAndOtherMessageTypesAreIgnored()
    {
        m_enc.setSourceSfi(QStringLiteral("SD0200"));
        feed(encode(pattern(10)), {0});
        m_enc.setSourceSfi(kJunctionBox);
        QByteArray d = encode(pattern(10)).first();
        d[23] = 2;
        m_ctl->processRecievedBinaryDatagram(d);
        m_ctl->setConnectedSfis({});
        feed(encode(pattern(10)), {0});
        QCOMPARE(m_images->count(), 0);
        QCOMPARE(m_ctl->inputBuffer()->openImageCount(), 0);
        QCOMPARE(m_ctl->errorCount(84), 0);

        // Pairing with the junction box opens the way for its images.
        ListOfSfisOnNetwork::instance().connectSfi(kJunctionBox);
        QCOMPARE(m_ctl->connectedSfis(), QStringList{kJunctionBox});
        feed(encode(pattern(10)), {0});
        QCOMPARE(m_images->count(), 1);
        ListOfSfisOnNetwork::instance().disconnectSfi(kJunctionBox);
        QVERIFY(m_ctl->connectedSfis().isEmpty());
    }

    void errorCodesAndTotal()
    {
        const int loggedBefore = ErrorLogger::instance().binaryCounter(84);
        m_ctl->countOversizedDatagram();
        m_ctl->processRecievedBinaryDatagram(QByteArray("junk"));
        // 84 is the total; codes outside 80..84 have no counter.
        QCOMPARE((QList<int>{m_ctl->errorCount(82), m_ctl->errorCount(83), m_ctl->errorCount(84), m_ctl->errorCount(79),
                             m_ctl->errorCount(85)}), (QList<int>{1, 1, 2, -1, -1}));
        QCOMPARE(ErrorLogger::instance().binaryCounter(84) - loggedBefore, 2);
    }
};

QTEST_GUILESS_MAIN(TestBinaryTransfer)
#include "tst_binarytransfer.moc"
