#pragma once

#include "binaryimageencoder.h"

#include <QByteArrayList>
#include <QObject>
#include <QStringList>

#include <array>
#include <string>

class BinaryInputBuffer;

// Entry point of echo-image traffic: checks each datagram's header, accepts only images from
// the connected junction box, and lets the input buffer reassemble them. Counts the image
// traffic errors 80 to 83 (84 is their total) in the unit's error logger and in counters of its
// own (errorCount, since this controller was made), and hands those of 80 and 82 to the error log.
class BinaryTransmissionController : public QObject
{
    Q_OBJECT
public:
    explicit BinaryTransmissionController(QObject *parent = nullptr);

    BinaryInputBuffer *inputBuffer() const { return m_input; }
    BinaryImageEncoder &encoder() { return m_encoder; }

    // Counter of an image error code 80..83, the total for 84, -1 for any other code.
    int errorCount(int code) const;
    QStringList connectedSfis() const { return m_connectedSfis; }

public slots:
    void processRecievedBinaryDatagram(QByteArray datagram);
    // Acknowledgements of image datagrams are not part of the traffic with the junction box;
    // a request for one is noted and otherwise ignored.
    void sendAck(QByteArray recievedDatagram);
    void packBinaryMessageForSending(QByteArray imageBlock, QString informationAndStatus, int channel);
    // Images are accepted only from these units (the paired junction box); follows the list of
    // connected units unless set otherwise.
    void setConnectedSfis(QStringList sfis);
    void setLocalSfi(QString sfi);
    // The socket layer drops datagrams above MAX_UDP_SIZE itself and may report them here, which
    // counts them (83) like the other image errors.
    void countOversizedDatagram();

signals:
    void sendDatagrams(QByteArrayList datagrams, bool send_over_internal_interface);
    void sendBinary(QByteArray imageBlock, std::string informationAndStatus, int channel);
    // Codes 80 and 82 go to the communication error log with the datagram's text.
    void imageErrorToLog(int code, QString datagram);

private:
    void countError(int code, const QByteArray &datagram);

    BinaryInputBuffer *m_input = nullptr;
    BinaryImageEncoder m_encoder;
    QStringList m_connectedSfis;
    std::array<int, 4> m_errors{};
};
