#include "binaryinputbuffer.h"

#include "transducertables.h"

#include <QDebug>

using namespace kve;

BinaryInputBuffer::BinaryInputBuffer(QObject *parent)
    : BinaryBufferClass(kTickIntervalMsecs, parent)
{
    connect(&m_tickTimer, &QTimer::timeout, this, &BinaryInputBuffer::imageTimeout);
    m_entries.reserve(kMaxOpenImages);
}

int BinaryInputBuffer::maxImageBytes()
{
    return TransducerTables::mostSamplesPerPing();   // one byte a sample
}

void BinaryInputBuffer::imageTimeout() { ageEntries(); }

void BinaryInputBuffer::missingDatagram()
{
    qDebug() << "Missing datagram error!";
    emit binaryErrorDetected(81, QByteArray());
}

void BinaryInputBuffer::addDatagram(const BinaryImageHeader &header, const QByteArray &datagram)
{
    if (header.ackRequested())
        emit emitBinaryAckSignal(datagram.left(kBinaryHeaderSize));
    // Even one payload byte per datagram cannot need more datagrams than this.
    if (header.maxSequenceNumber > quint32(maxImageBytes()) + 1) {
        qDebug() << "Binary image of too many datagrams: " << header.maxSequenceNumber;
        emit binaryErrorDetected(80, datagram);
        return;
    }

    auto it = m_entries.find(header.blockId);
    if (it == m_entries.end()) {
        if (m_entries.size() >= kMaxOpenImages)
            dropOldest();
        Entry fresh;
        fresh.expected = header.maxSequenceNumber;
        fresh.serial = m_nextSerial++;
        it = m_entries.insert(header.blockId, fresh);
    }
    Entry &entry = it.value();
    if (header.sequenceNumber != entry.count + 1) {
        // A copy of a datagram of an image already delivered, or the rest of an image whose
        // beginning was lost: whatever image it belonged to will not arrive through this entry.
        if (entry.count == 0)
            entry.startMissing = true;
        return;
    }

    int payloadStart = kBinaryHeaderSize;
    if (header.sequenceNumber == 1) {
        if (entry.startMissing) {
            entry.startMissing = false;
            missingDatagram();
        }
        const int length = BinaryFileDescriptor::read(datagram, kBinaryHeaderSize, &entry.descriptor);
        if (length < 0) {
            qDebug() << "Wrong HEADER of binary datagram: " << datagram.left(kBinaryHeaderSize).toHex();
            m_entries.erase(it);
            emit binaryErrorDetected(82, datagram);
            return;
        }
        if (entry.descriptor.fileLength > quint32(maxImageBytes())) {
            qDebug() << "Binary image too large: " << entry.descriptor.fileLength << " > " << maxImageBytes();
            m_entries.erase(it);
            emit binaryErrorDetected(80, datagram);
            return;
        }
        entry.expected = header.maxSequenceNumber;
        entry.payload.reserve(int(entry.descriptor.fileLength));
        payloadStart += length;
    }
    const int bytes = datagram.size() - payloadStart;
    if (quint32(entry.payload.size() + bytes) > entry.descriptor.fileLength) {
        qDebug() << "Wrong size of binary image: " << entry.payload.size() + bytes << " > "
                 << entry.descriptor.fileLength;
        m_entries.erase(it);
        emit binaryErrorDetected(80, datagram);
        return;
    }
    entry.payload.append(datagram.constData() + payloadStart, bytes);
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
        emit useBinaryMessage(image, info, channel);
        return;
    }
    qDebug() << "Wrong size of binary image: " << joined << " != " << entry.descriptor.fileLength;
    m_entries.remove(blockId);
    emit binaryErrorDetected(80, lastDatagram);
}

void BinaryInputBuffer::ageEntries()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (++it.value().age > kMaxAgeTicks) {
            it = m_entries.erase(it);
            missingDatagram();
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
    missingDatagram();
}
