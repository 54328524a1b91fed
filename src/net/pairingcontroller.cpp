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

QString PairingController::pairedSfi() const { return m_sfis->pairedSfi(); }

void PairingController::setInitialPairedSfi(QString sfi)
{
    m_sfis->setPairedSfi(sfi);
    m_previousPaired = sfi;
}

void PairingController::setPairedSfi(QString sfi)
{
    // The setting announces its value also when it was only written again (a complete transfer
    // of the box's settings does that); pairing anew then would ask for the same transfer again.
    if (sfi == pairedSfi() && m_sfis->connectedSfis() == QStringList{sfi})
        return;
    renewPairing(sfi);
}

void PairingController::renewPairing(const QString &sfi)
{
    m_previousPaired = pairedSfi().isEmpty() ? sfi : pairedSfi();
    m_sfis->setPairedSfi(sfi);
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
    const QString paired = pairedSfi();
    if (m_previousPaired != paired) {
        m_unpair.sentence = pairSentence(local, m_previousPaired, QStringLiteral("U"));
        sendUnpairMessage();
    }
    m_pair.sentence = pairSentence(local, paired, QStringLiteral("P"));
    sendPairMessage();
    m_previousPaired = paired;
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
    emit sentenceReadyToSend(QStringLiteral("PAIR"), m_pair.sentence);
    m_pair.timer.start();
}

void PairingController::sendUnpairMessage()
{
    if (!sendRetry(m_unpair))
        return;
    emit sentenceReadyToSend(QStringLiteral("PAIR"), m_unpair.sentence);
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
    emit sentenceReadyToSend(QStringLiteral("SFICHANGE"), m_sfiChangeSentence);
    if (++m_sfiChangeCount < SfiChangeRepeats)
        m_sfiChangeTimer.start();
    else
        m_sfiChangeCount = 0;
}

void PairingController::sendDevStart()
{
    emit sentenceReadyToSend(QStringLiteral("DEVSTART"), devStartSentence(m_sfis->localSfi()));
}

void PairingController::sendSinglePairRequest()
{
    if (pairedSfi().isEmpty())
        return;
    emit aboutToSendPairMsg();
    emit sentenceReadyToSend(QStringLiteral("PAIR"), pairSentence(m_sfis->localSfi(), pairedSfi(), QStringLiteral("P")));
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
        // The box answered the unit's own request (it may have been running before the unit
        // started, and need not announce itself again): from now on its traffic is taken.
        if (!source.isEmpty() && source == pairedSfi() && !m_sfis->connectedSfis().contains(source))
            m_sfis->connectSfi(source);
        emit pairingAcknowledged(source);
    } else if (description == QLatin1String("U")) {
        m_unpair.acknowledged = true;
    }
}

void PairingController::devStartReceived(QString local_sfi)
{
    if (local_sfi.isEmpty() || local_sfi != pairedSfi())
        return;
    renewPairing(local_sfi);   // the box has restarted: pair again with the same box
}

void PairingController::sfiChangeReceived(QString new_sfi, QString old_sfi)
{
    m_sfis->deviceOnNetworkChangedLocalSfi(new_sfi, old_sfi);
    // The paired box renamed itself: the unit follows it (the stored paired SFI changes, which
    // unpairs the old name and pairs the new one).
    if (!new_sfi.isEmpty() && new_sfi != old_sfi && old_sfi == pairedSfi())
        emit pairedBoxSfiChanged(new_sfi);
}
