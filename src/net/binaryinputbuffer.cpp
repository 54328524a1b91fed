#include "binaryinputbuffer.h"

#include <QDebug>

using namespace kve;

namespace {
constexpr int kRecentBlocks = 8;
}

BinaryInputBuffer::BinaryInputBuffer(QObject *parent)
    : BinaryBufferClass(kTickIntervalMsecs, parent)
{
    connect(&m_tickTimer, &QTimer::timeout, this, &BinaryInputBuffer::imageTimeout);
    m_entries.reserve(kMaxOpenImages);
}

void BinaryInputBuffer::imageTimeout() { ageEntries(); }

bool BinaryInputBuffer::recentlyCompleted(quint32 blockId) const
{
    return m_recent.contains(blockId);
}

void BinaryInputBuffer::rememberCompleted(quint32 blockId)
{
    if (m_recent.size() < kRecentBlocks) {
        m_recent.append(blockId);
    } else {
        m_recent[m_recentNext] = blockId;
        m_recentNext = (m_recentNext + 1) % kRecentBlocks;
    }
}

void BinaryInputBuffer::addDatagram(const BinaryImageHeader &header, const QByteArray &datagram)
{
    if (header.ackRequested())
        emit emitBinaryAckSignal(datagram.left(kBinaryHeaderSize));

    auto it = m_entries.find(header.blockId);
    if (it == m_entries.end()) {
        if (recentlyCompleted(header.blockId))
            return;
        if (m_entries.size() >= kMaxOpenImages)
            dropOldest();
        Entry fresh;
        fresh.expected = header.maxSequenceNumber;
        fresh.serial = m_nextSerial++;
        it = m_entries.insert(header.blockId, fresh);
    }
    Entry &entry = it.value();
    if (header.sequenceNumber != entry.count + 1)
        return;

    int payloadStart = kBinaryHeaderSize;
    if (header.sequenceNumber == 1) {
        const int length = BinaryFileDescriptor::read(datagram, kBinaryHeaderSize, &entry.descriptor);
        if (length < 0) {
            qDebug() << "Wrong HEADER of binary datagram: " << datagram.left(kBinaryHeaderSize).toHex();
            emit binaryErrorDetected(82, datagram);
            return;
        }
        entry.firstHeader = datagram.left(kBinaryHeaderSize);
        entry.expected = header.maxSequenceNumber;
        entry.payload.reserve(int(qMin<quint32>(entry.descriptor.fileLength, 1u << 20)));
        payloadStart += length;
    }
    entry.payload.append(datagram.constData() + payloadStart, datagram.size() - payloadStart);
    ++entry.count;

    if (entry.count == entry.expected)
        complete(header.blockId, entry, datagram, header.channel - 1);
}

void BinaryInputBuffer::complete(quint32 blockId, Entry &entry, const QByteArray &lastDatagram,
                                 int channel)
{
    const quint32 joined = quint32(entry.payload.size());
    if (joined == entry.descriptor.fileLength) {
        const QByteArray image = entry.payload;
        const QString info = entry.descriptor.statusText;
        m_entries.remove(blockId);
        rememberCompleted(blockId);
        emit useBinaryMessage(image, info, channel);
        return;
    }
    qDebug() << "Wrong size of binary image: " << joined << " != " << entry.descriptor.fileLength;
    m_entries.remove(blockId);
    rememberCompleted(blockId);
    emit binaryErrorDetected(80, lastDatagram);
}

void BinaryInputBuffer::ageEntries()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        Entry &entry = it.value();
        if (entry.count == entry.expected && entry.count > 0) {
            it = m_entries.erase(it);
            continue;
        }
        if (++entry.age > kMaxAgeTicks) {
            it = m_entries.erase(it);
            qDebug() << "Missing datagram error!";
            emit binaryErrorDetected(81, QByteArray());
            continue;
        }
        ++it;
    }
}

void BinaryInputBuffer::dropOldest()
{
    auto oldest = m_entries.begin();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->serial < oldest->serial)
            oldest = it;
    }
    if (oldest == m_entries.end())
        return;
    m_entries.erase(oldest);
    qDebug() << "Missing datagram error!";
    emit binaryErrorDetected(81, QByteArray());
}
