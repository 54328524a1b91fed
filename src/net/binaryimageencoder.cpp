#include "binaryimageencoder.h"

#include <QDebug>

using namespace kve;

namespace {

constexpr int kDataTypeLength = 24;   // "application/octet-stream"

int firstPayloadCapacity(int infoLength)
{
    return qMax(0, kBinaryMaxPayload - kBinaryDescriptorFixedSize - kDataTypeLength - infoLength);
}

int maxInfoLength() { return kBinaryMaxPayload - kBinaryDescriptorFixedSize - kDataTypeLength; }

} // namespace

int BinaryImageEncoder::datagramCount(int imageSize, int infoLength)
{
    const int first = firstPayloadCapacity(qMin(infoLength, maxInfoLength()));
    const int rest = qMax(0, imageSize - first);
    return 1 + (rest + kBinaryMaxPayload - 1) / kBinaryMaxPayload;
}

QByteArrayList BinaryImageEncoder::encode(const QByteArray &image, const QString &info, int channel)
{
    BinaryFileDescriptor descriptor;
    descriptor.fileLength = quint32(image.size());
    descriptor.statusText = info;
    if (info.toLatin1().size() > maxInfoLength()) {
        qDebug() << "Binary image information text cut to fit: " << info.size();
        descriptor.statusText = QString::fromLatin1(info.toLatin1().left(maxInfoLength()));
    }
    const int infoLength = descriptor.statusText.toLatin1().size();

    BinaryImageHeader header;
    header.token = m_ackRequested ? QByteArrayLiteral("RrUdP") : QByteArrayLiteral("RaUdP");
    header.sourceSfi = m_sourceSfi;
    header.destinationSfi = m_destinationSfi;
    header.blockId = m_nextBlockId++;
    header.maxSequenceNumber = quint32(datagramCount(image.size(), infoLength));
    header.device = m_device;
    header.channel = quint8(channel + 1);

    QByteArrayList datagrams;
    datagrams.reserve(int(header.maxSequenceNumber));
    int position = 0;
    for (quint32 seq = 1; seq <= header.maxSequenceNumber; ++seq) {
        header.sequenceNumber = seq;
        QByteArray datagram = header.toBytes();
        int capacity = kBinaryMaxPayload;
        if (seq == 1) {
            const QByteArray d = descriptor.toBytes();
            datagram.append(d);
            capacity -= d.size();
        }
        const int chunk = qMin(capacity, image.size() - position);
        datagram.append(image.constData() + position, chunk);
        position += chunk;
        datagrams.append(datagram);
    }
    return datagrams;
}
