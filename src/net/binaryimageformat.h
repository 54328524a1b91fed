#pragma once

#include <QByteArray>
#include <QString>

// Layout of the datagrams that carry one echo image from the junction box: a fixed 38-byte header
// in every datagram and a file descriptor after the header of the first one. All integers are
// big-endian; texts are ISO 8859-1.
namespace kve {

constexpr int kMaxUdpSize = 1460;          // MAX_UDP_SIZE of the image traffic
constexpr int kBinaryHeaderSize = 38;
constexpr int kBinaryMaxPayload = kMaxUdpSize - kBinaryHeaderSize;
constexpr int kBinaryDescriptorFixedSize = 15;

// True for two ASCII letters followed by four digits.
bool isValidSfi(const QString &sfi);

struct BinaryImageHeader
{
    QByteArray token = QByteArrayLiteral("RaUdP");   // "RaUdP", or "RrUdP" when an ack is wanted
    quint16 version = 2;
    quint16 headerLength = kBinaryHeaderSize;
    QString sourceSfi;
    QString destinationSfi = QStringLiteral("XXXXXX");
    quint16 messageType = 1;
    quint32 blockId = 0;
    quint32 sequenceNumber = 1;
    quint32 maxSequenceNumber = 1;
    quint8 device = 0;
    quint8 channel = 1;                                // 1-based on the wire

    // Reads the fixed fields; false when the datagram is shorter than a header.
    static bool read(const QByteArray &datagram, BinaryImageHeader *out);
    // Token, version and both identities as the receiver demands them.
    bool isValid() const;
    bool ackRequested() const { return token == "RrUdP"; }
    QByteArray toBytes() const;
};

struct BinaryFileDescriptor
{
    quint32 fileLength = 0;
    quint16 acquisitionStatus = 0;
    quint16 ackDestinationPort = 0;
    QByteArray dataType = QByteArrayLiteral("application/octet-stream");
    QString statusText;

    // Size of the encoded descriptor: 15 + data type + status text.
    int encodedSize() const;
    QByteArray toBytes() const;
    // Reads the descriptor that starts at offset. Returns the descriptor length field (the
    // number of bytes to skip to reach the payload), or -1 when the bytes do not hold a
    // consistent descriptor.
    static int read(const QByteArray &datagram, int offset, BinaryFileDescriptor *out);
};

} // namespace kve
