#pragma once

#include "binaryimageformat.h"

#include <QByteArrayList>

// Cuts one echo image into the datagrams that carry it: header in each, descriptor with the
// information text in the first, payload in order, no datagram above MAX_UDP_SIZE. Each image
// gets the next block identifier. Used by the junction-box side and by tests and tools.
class BinaryImageEncoder
{
public:
    void setSourceSfi(const QString &sfi) { m_sourceSfi = sfi; }
    void setDestinationSfi(const QString &sfi) { m_destinationSfi = sfi; }
    void setDevice(quint8 device) { m_device = device; }
    void setAckRequested(bool requested) { m_ackRequested = requested; }
    void setNextBlockId(quint32 id) { m_nextBlockId = id; }

    QString sourceSfi() const { return m_sourceSfi; }
    quint32 nextBlockId() const { return m_nextBlockId; }

    // channel is 0-based here and goes out 1-based. An information text too long for the first
    // datagram is cut so that the descriptor still fits.
    QByteArrayList encode(const QByteArray &image, const QString &info, int channel);

    // Number of datagrams an image of this size and text takes.
    static int datagramCount(int imageSize, int infoLength);

private:
    QString m_sourceSfi = QStringLiteral("SD0108");
    QString m_destinationSfi = QStringLiteral("XXXXXX");
    quint8 m_device = 0;
    bool m_ackRequested = false;
    quint32 m_nextBlockId = 1;
};
