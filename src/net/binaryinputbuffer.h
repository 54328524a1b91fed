#pragma once

#include "binarybufferclass.h"
#include "binaryimageformat.h"

#include <QByteArray>
#include <QHash>
#include <QVector>

// Collects the datagrams of echo images by block identifier and hands each complete image on.
// Datagrams must arrive in sequence; a repeated or early one is ignored, and an image that has
// not completed by the fifth tick after it began is discarded.
class BinaryInputBuffer : public BinaryBufferClass
{
    Q_OBJECT
public:
    static constexpr int kTickIntervalMsecs = 1000;
    static constexpr int kMaxAgeTicks = 4;
    // More images in assembly than this only happens under a flood of junk; the oldest goes.
    static constexpr int kMaxOpenImages = 64;

    explicit BinaryInputBuffer(QObject *parent = nullptr);

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
        QByteArray firstHeader;
        kve::BinaryFileDescriptor descriptor;
        QByteArray payload;
        quint32 count = 0;
        quint32 expected = 0;
        int age = 0;
        quint64 serial = 0;
    };

    void complete(quint32 blockId, Entry &entry, const QByteArray &lastDatagram, int channel);
    void dropOldest();
    bool recentlyCompleted(quint32 blockId) const;
    void rememberCompleted(quint32 blockId);

    QHash<quint32, Entry> m_entries;
    quint64 m_nextSerial = 0;
    // Late duplicates of an image just delivered must not open a new entry that then times out.
    QVector<quint32> m_recent;
    int m_recentNext = 0;
};
