#include "binaryimageformat.h"

#include <QtEndian>

namespace kve {
namespace {

quint16 be16(const char *p) { return qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(p)); }
quint32 be32(const char *p) { return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(p)); }

void put16(QByteArray &out, quint16 v)
{
    uchar b[2];
    qToBigEndian(v, b);
    out.append(reinterpret_cast<const char *>(b), 2);
}

void put32(QByteArray &out, quint32 v)
{
    uchar b[4];
    qToBigEndian(v, b);
    out.append(reinterpret_cast<const char *>(b), 4);
}

// A six-byte identity field read as text up to its first NUL.
QString sfiField(const char *p)
{
    int n = 0;
    while (n < 6 && p[n] != '\0')
        ++n;
    return QString::fromLatin1(p, n);
}

void putSfi(QByteArray &out, const QString &sfi)
{
    QByteArray bytes = sfi.toLatin1().left(6);
    bytes.append(QByteArray(6 - bytes.size(), '\0'));
    out.append(bytes);
}

bool isAsciiLetter(QChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(QChar c) { return c >= '0' && c <= '9'; }

} // namespace

bool isValidSfi(const QString &sfi)
{
    if (sfi.size() != 6)
        return false;
    return isAsciiLetter(sfi[0]) && isAsciiLetter(sfi[1]) && isAsciiDigit(sfi[2])
           && isAsciiDigit(sfi[3]) && isAsciiDigit(sfi[4]) && isAsciiDigit(sfi[5]);
}

bool BinaryImageHeader::read(const QByteArray &datagram, BinaryImageHeader *out)
{
    if (datagram.size() < kBinaryHeaderSize)
        return false;
    const char *d = datagram.constData();
    // The token is five characters and a NUL; anything else leaves an invalid token behind.
    out->token = (d[5] == '\0') ? QByteArray(d, 5) : QByteArray(d, 6);
    out->version = be16(d + 6);
    out->headerLength = be16(d + 8);
    out->sourceSfi = sfiField(d + 10);
    out->destinationSfi = sfiField(d + 16);
    out->messageType = be16(d + 22);
    out->blockId = be32(d + 24);
    out->sequenceNumber = be32(d + 28);
    out->maxSequenceNumber = be32(d + 32);
    out->device = static_cast<quint8>(d[36]);
    out->channel = static_cast<quint8>(d[37]);
    return true;
}

bool BinaryImageHeader::isValid() const
{
    if (token != "RaUdP" && token != "RrUdP")
        return false;
    if (version != 2)
        return false;
    if (!isValidSfi(sourceSfi))
        return false;
    return destinationSfi == QLatin1String("XXXXXX") || isValidSfi(destinationSfi);
}

QByteArray BinaryImageHeader::toBytes() const
{
    QByteArray out;
    out.reserve(kBinaryHeaderSize);
    out.append(token.left(5));
    out.append(QByteArray(6 - out.size(), '\0'));
    put16(out, version);
    put16(out, headerLength);
    putSfi(out, sourceSfi);
    putSfi(out, destinationSfi);
    put16(out, messageType);
    put32(out, blockId);
    put32(out, sequenceNumber);
    put32(out, maxSequenceNumber);
    out.append(static_cast<char>(device));
    out.append(static_cast<char>(channel));
    return out;
}

int BinaryFileDescriptor::encodedSize() const
{
    return kBinaryDescriptorFixedSize + dataType.size() + statusText.toLatin1().size();
}

QByteArray BinaryFileDescriptor::toBytes() const
{
    const QByteArray status = statusText.toLatin1();
    QByteArray out;
    out.reserve(encodedSize());
    put32(out, static_cast<quint32>(encodedSize()));
    put32(out, fileLength);
    put16(out, acquisitionStatus);
    put16(out, ackDestinationPort);
    out.append(static_cast<char>(dataType.size()));
    out.append(dataType);
    put16(out, static_cast<quint16>(status.size()));
    out.append(status);
    return out;
}

int BinaryFileDescriptor::read(const QByteArray &datagram, int offset, BinaryFileDescriptor *out)
{
    const qint64 available = qint64(datagram.size()) - offset;
    if (offset < 0 || available < kBinaryDescriptorFixedSize)
        return -1;
    const char *d = datagram.constData() + offset;
    const quint32 length = be32(d);
    if (length < quint32(kBinaryDescriptorFixedSize) || length > quint32(available))
        return -1;
    const int typeLength = static_cast<uchar>(d[12]);
    if (13 + typeLength + 2 > int(length))
        return -1;
    const int textLength = be16(d + 13 + typeLength);
    if (15 + typeLength + textLength > int(length))
        return -1;
    out->fileLength = be32(d + 4);
    out->acquisitionStatus = be16(d + 8);
    out->ackDestinationPort = be16(d + 10);
    out->dataType = QByteArray(d + 13, typeLength);
    out->statusText = QString::fromLatin1(d + 15 + typeLength, textLength);
    return int(length);
}

} // namespace kve
