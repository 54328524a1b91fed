#pragma once

#include "binarybufferclass.h"
#include "binaryimageformat.h"

#include <QByteArray>
#include <QHash>

// Collects the datagrams of echo images by block identifier and hands each complete image on.
// Datagrams must arrive in sequence; a repeated or early one is ignored, and an image that has
// not completed by the fifth tick after it began is discarded.
//
// What one datagram can make it keep is bounded: no image may be larger than the largest echo
// record the transceiver can take (maxImageBytes(): the most samples of a ping the transducer
// settings allow, one byte each), and at most kMaxOpenImages images are in assembly at once.
// An image beyond the size is dropped as of wrong size (80); beyond the count the oldest one is
// given up (81).
class BinaryInputBuffer : public BinaryBufferClass
{
    Q_OBJECT
public:
    static constexpr int kTickIntervalMsecs = 1000;
    static constexpr int kMaxAgeTicks = 4;
    // Both channels, three record kinds each (display, raw, filtered), with room for the images of
    // a few pings that lost a datagram: more than this only happens under a flood of junk.
    static constexpr int kMaxOpenImages = 64;

    explicit BinaryInputBuffer(QObject *parent = nullptr);

    // The largest image taken, in bytes.
    static int maxImageBytes();

    // Takes one datagram whose header has been read and checked by the controller.
    void addDatagram(const kve::BinaryImageHeader &header, const QByteArray &datagram);
    // One tick of the discard clock (the timer calls it every second).
    void ageEntries();

    int openImageCount() const { return m_entries.size(); }

signals:
    void emitBinaryAckSignal(QByteArray datagramHeader);
    void useBinaryMessage(QByteArray measurement, QString info, int channel);
    // Codes 80 (wrong size), 81 (missing datagram), 82 (bad descriptor); datagram may be empty.
    void binaryErrorDetected(int code, QByteArray datagram);

private slots:
    void imageTimeout();

private:
    struct Entry
    {
        kve::BinaryFileDescriptor descriptor;
        QByteArray payload;
        quint32 count = 0;
        quint32 expected = 0;
        int age = 0;
        quint64 serial = 0;
        // Datagrams came for this block before its first one: the image they belong to is lost.
        bool startMissing = false;
    };

    void complete(quint32 blockId, Entry &entry, const QByteArray &lastDatagram, int channel);
    void dropOldest();
    void missingDatagram();

    QHash<quint32, Entry> m_entries;
    quint64 m_nextSerial = 0;
};
