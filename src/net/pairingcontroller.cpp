#include "pairingcontroller.h"

#include "listofsfisonnetwork.h"
#include "udpdatagram.h"

#include <QDebug>

namespace {

QString proprietary(const QString &body)
{
    QByteArray b = body.toLatin1();
    QByteArray s;
    s.reserve(b.size() + 6);
    s.append('$').append(b).append('*');
    udpdatagram::appendHex(s, udpdatagram::checksum(b));
    s.append("\r\n");
    return QString::fromLatin1(s);
}

} // namespace

PairingController::PairingController(ListOfSfisOnNetwork *sfis, int interval_ms, QObject *parent)
    : QObject(parent)
    , m_sfis(sfis ? sfis : &ListOfSfisOnNetwork::instance())
{
    for (QTimer *t : {&m_pair.timer, &m_unpair.timer, &m_sfiChangeTimer}) {
        t->setSingleShot(true);
        t->setInterval(interval_ms);
    }
    connect(&m_pair.timer, &QTimer::timeout, this, &PairingController::sendPairMessage);
    connect(&m_unpair.timer, &QTimer::timeout, this, &PairingController::sendUnpairMessage);
    connect(&m_sfiChangeTimer, &QTimer::timeout, this, &PairingController::sendMessage_timeout);
}

QString PairingController::pairSentence(const QString &source, const QString &destination, const QString &pairDevices)
{
    return proprietary(QStringLiteral("PZTQPAIR,%1,%2,%3").arg(source, destination, pairDevices));
}

QString PairingController::devStartSentence(const QString &localSfi)
{
    return proprietary(QStringLiteral("PZTQDEVSTART,") + localSfi);
}

QString PairingController::sfiChangeSentence(const QString &newSfi, const QString &oldSfi)
{
    return proprietary(QStringLiteral("PZTQSFICHANGE,%1,%2").arg(newSfi, oldSfi));
}

QString PairingController::sfiAckSentence(const QString &source, const QString &destination, const QString &typeToAck,
                                          const QString &description)
{
    return proprietary(QStringLiteral("PZTQSFIACK,%1,%2,%3,%4").arg(source, destination, typeToAck, description));
}

QStringList PairingController::proprietaryFields(const QString &sentence)
{
    const int dollar = sentence.indexOf(QLatin1Char('$'));
    const int star = sentence.indexOf(QLatin1Char('*'), dollar + 1);
    if (dollar < 0 || star < 0 || star + 3 > sentence.size())
        return QStringList();
    const QByteArray body = sentence.mid(dollar + 1, star - dollar - 1).toLatin1();
    QByteArray expected;
    udpdatagram::appendHex(expected, udpdatagram::checksum(body));
    if (sentence.midRef(star + 1, 2) != QLatin1String(expected) || !body.startsWith("PZTQ"))
        return QStringList();
    QStringList fields = QString::fromLatin1(body.mid(4)).split(QLatin1Char(','));
    return fields;
}

void PairingController::setInitialPairedSfi(QString sfi)
{
    m_paired = sfi;
    m_previousPaired = sfi;
}

void PairingController::setPairedSfi(QString sfi)
{
    // The setting announces its value also when it was only written again (a complete transfer
    // of the box's settings does that); pairing anew then would ask for the same transfer again.
    if (sfi == m_paired && m_sfis->connectedSfis() == QStringList{sfi})
        return;
    renewPairing(sfi);
}

void PairingController::renewPairing(const QString &sfi)
{
    m_previousPaired = m_paired.isEmpty() ? sfi : m_paired;
    m_paired = sfi;
    m_sfis->connectSfi(sfi);
    pairedSfiChanged();
}

void PairingController::pairedSfiChanged()
{
    for (Retry *r : {&m_pair, &m_unpair}) {
        r->timer.stop();
        r->acknowledged = false;
        r->count = 0;
    }
    const QString local = m_sfis->localSfi();
    emit pairingStarted(m_paired);
    if (m_previousPaired != m_paired) {
        m_unpair.sentence = pairSentence(local, m_previousPaired, QStringLiteral("U"));
        sendUnpairMessage();
    }
    m_pair.sentence = pairSentence(local, m_paired, QStringLiteral("P"));
    sendPairMessage();
    m_previousPaired = m_paired;
}

bool PairingController::sendRetry(Retry &retry)
{
    if (retry.acknowledged || retry.count >= MaxPairSends) {
        retry.acknowledged = false;
        retry.count = 0;
        return false;
    }
    ++retry.count;
    return true;
}

void PairingController::sendPairMessage()
{
    if (!sendRetry(m_pair))
        return;
    emit aboutToSendPairMsg();
    emit sentenceReadyToSend(m_pair.sentence);
    m_pair.timer.start();
}

void PairingController::sendUnpairMessage()
{
    if (!sendRetry(m_unpair))
        return;
    emit sentenceReadyToSend(m_unpair.sentence);
    m_unpair.timer.start();
}

void PairingController::setLocalSfi(QString sfi)
{
    const QString old = m_sfis->localSfi();
    m_sfis->setLocalSfi(sfi);
    if (old.isEmpty() || old == sfi)
        return;
    m_sfiChangeTimer.stop();
    m_sfiChangeCount = 0;
    m_sfiChangeSentence = sfiChangeSentence(sfi, old);
    sendMessage_timeout();
}

void PairingController::sendMessage_timeout()
{
    emit sentenceReadyToSend(m_sfiChangeSentence);
    if (++m_sfiChangeCount < SfiChangeRepeats)
        m_sfiChangeTimer.start();
    else
        m_sfiChangeCount = 0;
}

void PairingController::sendDevStart()
{
    emit sentenceReadyToSend(devStartSentence(m_sfis->localSfi()));
}

void PairingController::sendSinglePairRequest()
{
    emit aboutToSendPairMsg();
    emit sentenceReadyToSend(pairSentence(m_sfis->localSfi(), m_paired, QStringLiteral("P")));
}

void PairingController::handleSentences(QStringList sentences)
{
    for (const QString &s : sentences) {
        const QStringList f = proprietaryFields(s);
        if (f.isEmpty())
            continue;
        const QString &formatter = f.first();
        if (formatter == QLatin1String("SFIACK") && f.size() >= 4)
            sfiAckReceived(f.at(1), f.at(2), f.at(3), f.value(4));
        else if (formatter == QLatin1String("DEVSTART") && f.size() >= 2)
            devStartReceived(f.at(1));
        else if (formatter == QLatin1String("SFICHANGE") && f.size() >= 3)
            sfiChangeReceived(f.at(1), f.at(2));
    }
}

void PairingController::sfiAckReceived(QString source, QString destination, QString type_to_ack,
                                       QString description)
{
    if (destination != m_sfis->localSfi() || type_to_ack != QLatin1String("PAIR"))
        return;
    if (description == QLatin1String("P")) {
        m_pair.acknowledged = true;
        emit pairingAcknowledged(source);
    } else if (description == QLatin1String("U")) {
        m_unpair.acknowledged = true;
    }
}

void PairingController::devStartReceived(QString local_sfi)
{
    if (local_sfi.isEmpty() || local_sfi != m_paired)
        return;
    renewPairing(local_sfi);   // the box has restarted: pair again with the same box
}

void PairingController::sfiChangeReceived(QString new_sfi, QString old_sfi)
{
    m_sfis->deviceOnNetworkChangedLocalSfi(new_sfi, old_sfi);
    emit peerSfiChanged(new_sfi, old_sfi);
}
