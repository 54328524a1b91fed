#include "binarytransmissioncontroller.h"

#include "binaryinputbuffer.h"
#include "errorlogger.h"
#include "listofsfisonnetwork.h"

#include <QDebug>

using namespace kve;

BinaryTransmissionController::BinaryTransmissionController(QObject *parent)
    : QObject(parent), m_input(new BinaryInputBuffer(this))
{
    connect(m_input, &BinaryInputBuffer::emitBinaryAckSignal, this,
            &BinaryTransmissionController::sendAck);
    connect(m_input, &BinaryInputBuffer::binaryErrorDetected, this,
            &BinaryTransmissionController::countError);
    // Images are taken only from the unit this one is paired with, and follow its changes.
    ListOfSfisOnNetwork &sfis = ListOfSfisOnNetwork::instance();
    m_connectedSfis = sfis.connectedSfis();
    connect(&sfis, &ListOfSfisOnNetwork::connectedSfisChanged, this,
            &BinaryTransmissionController::setConnectedSfis);
    connect(&sfis, &ListOfSfisOnNetwork::localSfiChanged, this,
            &BinaryTransmissionController::setLocalSfi);
}

int BinaryTransmissionController::errorCount(int code) const
{
    if (code >= 80 && code <= 83)
        return m_errors[size_t(code - 80)];
    if (code == 84)
        return m_errors[0] + m_errors[1] + m_errors[2] + m_errors[3];
    return -1;
}

void BinaryTransmissionController::setConnectedSfis(QStringList sfis) { m_connectedSfis = sfis; }

void BinaryTransmissionController::setLocalSfi(QString sfi) { m_encoder.setSourceSfi(sfi); }

void BinaryTransmissionController::countOversizedDatagram() { countError(83, QByteArray()); }

void BinaryTransmissionController::countError(int code, const QByteArray &datagram)
{
    if (code < 80 || code > 83)
        return;
    ++m_errors[size_t(code - 80)];
    ErrorLogger::instance().countBinaryError(code);
    if (code == 80 || code == 82)
        emit imageErrorToLog(code, QString::fromLatin1(datagram));
}

void BinaryTransmissionController::processRecievedBinaryDatagram(QByteArray datagram)
{
    BinaryImageHeader header;
    if (!BinaryImageHeader::read(datagram, &header) || !header.isValid()) {
        qDebug() << "Wrong HEADER of binary datagram: " << datagram.left(kBinaryHeaderSize).toHex();
        countError(82, datagram);
        return;
    }
    if (header.messageType != 1 || !m_connectedSfis.contains(header.sourceSfi))
        return;
    m_input->addDatagram(header, datagram);
}

void BinaryTransmissionController::sendAck(QByteArray recievedDatagram)
{
    Q_UNUSED(recievedDatagram)
    qDebug() << "BinaryTransmissionController::formAckedHeader not implemented properly!";
}

void BinaryTransmissionController::packBinaryMessageForSending(QByteArray imageBlock,
                                                               QString informationAndStatus,
                                                               int channel)
{
    emit sendBinary(imageBlock, informationAndStatus.toStdString(), channel);
    emit sendDatagrams(m_encoder.encode(imageBlock, informationAndStatus, channel), true);
}
