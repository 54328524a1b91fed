#include "nmeaoverudpcontroller.h"

#include "listofsfisonnetwork.h"
#include "nmeaparserclass.h"
#include "settingstraffic.h"
#include "udpparserclass.h"

#include <QDebug>

#include <cstring>

namespace {

// Sentence checksum test on one backslash-separated piece: the XOR of the text before the first
// "*" (start character excluded) must equal the two upper-case digits after it.
bool pieceChecksumOk(const char *b, const char *e)
{
    const char *star = static_cast<const char *>(std::memchr(b, '*', size_t(e - b)));
    if (!star)
        return true;
    if (e - star < 3)
        return false;
    const char *start = (*b == '$' || *b == '!') ? b + 1 : b;
    static const char digits[] = "0123456789ABCDEF";
    const quint8 sum = udpdatagram::checksum(start, star);
    return star[1] == digits[sum >> 4] && star[2] == digits[sum & 0x0f];
}

bool parseGroupField(const char *v, const char *e, int *index, int *count, int *group)
{
    int values[3] = {0, 0, 0};
    int n = 0;
    bool digit = false;
    for (const char *p = v; p < e; ++p) {
        if (*p >= '0' && *p <= '9') {
            if (values[n] > 100000)
                return false;
            values[n] = values[n] * 10 + (*p - '0');
            digit = true;
        } else if (*p == '-' && digit && n < 2) {
            ++n;
            digit = false;
        } else {
            return false;
        }
    }
    if (n != 2 || !digit)
        return false;
    *index = values[0];
    *count = values[1];
    *group = values[2];
    return true;
}

// Where the datagram's text tags mark traffic between the units: one pass over the bytes.
struct PztqMarks
{
    int ackAt = -1;   // offset of the first "t:pztqack"
    bool any = false;
    bool setup = false;
};

PztqMarks findPztqMarks(const QByteArray &datagram)
{
    PztqMarks marks;
    const char *data = datagram.constData();
    const int size = datagram.size();
    // Anchored on the 'z', which is rare in the rest of a datagram (unlike 't').
    for (int i = 0; i + 6 <= size; ++i) {
        const char *z = static_cast<const char *>(std::memchr(data + i + 3, 'z', size_t(size - i - 5)));
        if (!z)
            break;
        i = int(z - data) - 3;
        const char *p = z - 3;
        if (std::memcmp(p, "t:pztq", 6) != 0)
            continue;
        marks.any = true;
        const int rest = size - i - 6;
        if (marks.ackAt < 0 && rest >= 3 && std::memcmp(p + 6, "ack", 3) == 0)
            marks.ackAt = i;
        if (rest >= 5 && std::memcmp(p + 6, "setup", 5) == 0)
            marks.setup = true;
    }
    return marks;
}

} // namespace

NmeaOverUdpController::NmeaOverUdpController(ListOfSfisOnNetwork *sfis, int administration_key, int internal_key,
                                             int ordinary_key, QObject *parent)
    : QObject(parent)
    , m_sfis(sfis ? sfis : &ListOfSfisOnNetwork::instance())
    , m_output(new NmeaOutputBuffer(1000, this))
    , m_input(new NmeaInputBuffer(1000, this))
    , m_administrationKey(administration_key)
    , m_internalKey(internal_key)
    , m_ordinaryKey(ordinary_key)
{
    for (int key = 1; key <= 17; ++key)
        m_lines.insert(key, 0);
    m_lines.insert(m_administrationKey, 0);
    connect(m_output, &NmeaOutputBuffer::resendDatagram, this, &NmeaOverUdpController::sendDatagrams);
    connect(m_output, &NmeaOutputBuffer::lostCommunicationWithSfi, this,
            &NmeaOverUdpController::lostCommunicationWithSfi);
    connect(m_input, &NmeaInputBuffer::emitAckSignal, this, &NmeaOverUdpController::sendAck);
    connect(m_input, &NmeaInputBuffer::groupComplete, this, &NmeaOverUdpController::deliverGroup);
}

int NmeaOverUdpController::counterKey(MessageType type) const
{
    switch (type) {
    case MessageTypeNetworkAdministration:
        return m_administrationKey;
    case MessageTypeInternal:
        return m_internalKey;
    default:
        return m_ordinaryKey;
    }
}

void NmeaOverUdpController::setOrdinaryCounterKey(int key)
{
    m_ordinaryKey = key;
    m_internalKey = key;
}

QByteArrayList NmeaOverUdpController::buildDatagrams(const QStringList &messages, MessageType type,
                                                     const QString &text_tag, const QStringList &dest_sfi,
                                                     const QString &source_sfi, bool to_internal_interface)
{
    m_lastRecords.clear();
    if (++m_groupId >= 100)
        m_groupId = 1;
    const int key = counterKey(type);
    auto stored = m_lines.find(key);
    int line = (stored == m_lines.end() || stored.value() + 1 > udpdatagram::MaxLineNumber) ? 1 : stored.value() + 1;
    m_lines.insert(key, line);

    const QByteArray source = (source_sfi.isEmpty() ? m_sfis->localSfi() : source_sfi).toLatin1();
    const QByteArrayList destinations = udpdatagram::toLatin1(dest_sfi);
    const QByteArray tag = text_tag.toLatin1();
    const bool keepForResend = text_tag == QLatin1String(settingstraffic::SetupTag);

    QByteArrayList datagrams;
    QByteArray datagram = udpdatagram::newDatagram();
    QByteArray body;
    body.reserve(128);
    QString lastTag;
    const int count = messages.size();
    auto close = [&]() {
        datagrams.append(datagram);
        if (keepForResend)
            m_lastRecords.append({datagram, lastTag, dest_sfi, to_internal_interface, false, 0});
    };
    for (int i = 0; i < count; ++i) {
        body.resize(0);
        udpdatagram::appendTagBody(body, i + 1, count, m_groupId, source, destinations, line, tag);
        const QString &sentence = messages.at(i);
        const int taggedSize = body.size() + 5 + sentence.size();
        if (taggedSize + datagram.size() > MAX_UDP_SIZE) {
            if (datagram.size() == udpdatagram::HeaderLength) {
                qDebug() << "Tagged sentence too long for one datagram, group not sent: " << taggedSize;
                m_lastRecords.clear();
                return QByteArrayList();
            }
            close();
            datagram = udpdatagram::newDatagram();
        }
        udpdatagram::appendTaggedSentence(datagram, body, sentence);
        if (keepForResend)
            lastTag = QStringLiteral("%1-%2-%3-%4").arg(i + 1).arg(count).arg(m_groupId).arg(line);
        line = nextLine(line);
    }
    if (datagram.size() > udpdatagram::HeaderLength)
        close();
    // The last advance was not used: the next call continues with it.
    m_lines.insert(key, line - 1);
    return datagrams;
}

void NmeaOverUdpController::packUdp(QStringList messages, MessageType message_is_for_internal_communication,
                                    bool to_internal_interface, QString text_tag, QStringList dest_sfi,
                                    QString source_sfi)
{
    const QByteArrayList datagrams = buildDatagrams(messages, message_is_for_internal_communication, text_tag,
                                                    dest_sfi, source_sfi, to_internal_interface);
    if (datagrams.isEmpty())
        return;
    if (!m_lastRecords.isEmpty())
        m_output->addGroup(m_lastRecords);
    m_lastRecords.clear();
    if (message_is_for_internal_communication == MessageTypeNetworkAdministration)
        emit sendNetworkAdministrationDatagrams(datagrams);
    else
        emit sendDatagrams(datagrams, to_internal_interface);
}

void NmeaOverUdpController::packUdp(QStringList messages, MessageType message_is_for_internal_communication,
                                    bool to_internal_interface, QString text_tag, QStringList dest_sfi)
{
    packUdp(messages, message_is_for_internal_communication, to_internal_interface, text_tag, dest_sfi, QString());
}

void NmeaOverUdpController::packUdp(QStringList messages, MessageType message_is_for_internal_communication,
                                    bool to_internal_interface, QString text_tag)
{
    packUdp(messages, message_is_for_internal_communication, to_internal_interface, text_tag, QStringList(),
            QString());
}

void NmeaOverUdpController::packSerializedString(QStringList sentences, MessageType kind, bool is_settings_traffic,
                                                 bool to_connected_devices, QStringList destination_sfis,
                                                 QString source_sfi)
{
    if (kind == MessageTypeNetworkAdministration) {
        packUdp(sentences, kind, false, QString(), destination_sfis, source_sfi);
        return;
    }
    const QString tag = is_settings_traffic ? settingstraffic::textTagFor(sentences) : QString();
    if (to_connected_devices && destination_sfis.isEmpty())
        destination_sfis = m_sfis->connectedSfis();
    // Settings meant for the paired unit go to it by name even before it is connected; the next
    // pairing brings both units in step if it never takes them.
    if (to_connected_devices && destination_sfis.isEmpty() && !m_sfis->pairedSfi().isEmpty())
        destination_sfis = QStringList{m_sfis->pairedSfi()};
    if (is_settings_traffic && destination_sfis.isEmpty()) {
        qDebug().noquote() << "Settings text not sent, no unit to send it to: " + sentences.value(0).left(40);
        return;
    }
    packUdp(sentences, kind, false, tag, destination_sfis, source_sfi);
}

void NmeaOverUdpController::sendSettingsText(QString text, QStringList destination_sfis)
{
    if (text.isEmpty())
        return;
    packSerializedString(NmeaParserClass::dataToNmeaList(text).messages, MessageTypeInternal, true, true, destination_sfis);
}

void NmeaOverUdpController::processReceivedDatagram(QByteArray datagram, bool message_is_from_internal_communication,
                                                    bool from_internal_interface)
{
    const PztqMarks marks = findPztqMarks(datagram);
    const int ackAt = marks.ackAt;
    if (ackAt >= 0) {
        const int from = ackAt + int(std::strlen("t:pztqack"));
        const int star = datagram.indexOf('*', from);
        const QByteArray tag = datagram.mid(from, star < 0 ? -1 : star - from);
        acknowledgeAlreadySentDatagram(QString::fromLatin1(tag),
                                       QString::fromLatin1(UdpParserClass::sourceSfi(datagram)));
        return;
    }

    const char *data = datagram.constData();
    const char *end = data + datagram.size();
    const char *payload = data + qMin(datagram.size(), int(udpdatagram::HeaderLength));
    const char *lastBegin = nullptr;
    const char *lastEnd = nullptr;
    UdpParserClass::lastTagBlock(payload, end, &lastBegin, &lastEnd);
    const TagFields lastTagFields = UdpParserClass::parse(lastBegin, lastEnd);
    QString source;
    if (UdpParserClass::checkSource(lastTagFields, lastBegin, lastEnd, true) == 0)
        source = QString::fromLatin1(lastTagFields.s.value(), 6);
    const char *lastGroup = lastTagFields.g.key;
    if (!lastGroup || lastGroup + 2 >= lastEnd || lastGroup[2] == ',' || lastGroup[2] == '*') {
        // No group field: not a record of a sentence group, so nothing is delivered; setup traffic
        // is still acknowledged, under the message tag of a lone sentence.
        if (m_acknowledgeSetup && marks.setup)
            emit m_input->emitAckSignal(
                QStringLiteral("1-1-1-") + QString::fromLatin1(UdpParserClass::lineNumber(datagram)), source);
        return;
    }

    const bool internal = message_is_from_internal_communication || marks.any;
    const bool setup = m_acknowledgeSetup && marks.setup;
    QString lastTag;
    int sentences = 0;
    struct Piece { int index, count, group; const char *sentence; int length; };
    QVarLengthArray<Piece, 10> pieces;
    // Backslash-separated pieces alternate: text before the first tag block, then tag body and
    // sentence by turns. Every piece with a "*" must carry a correct checksum.
    const char *body = nullptr;
    const char *bodyEnd = nullptr;
    for (int k = 0;; ++k) {
        const char *bs = static_cast<const char *>(std::memchr(payload, '\\', size_t(end - payload)));
        const char *pieceEnd = bs ? bs : end;
        if (!pieceChecksumOk(payload, pieceEnd))
            return;
        if (k % 2 == 1) {
            body = payload;
            bodyEnd = pieceEnd;
        } else if (body && pieceEnd > payload) {
            const char *g = UdpParserClass::findField(body, bodyEnd, 'g');
            const char *gEnd = g ? UdpParserClass::fieldEnd(g + 2, bodyEnd) : nullptr;
            int index = 0, count = 0, group = 0;
            if (gEnd && parseGroupField(g + 2, gEnd, &index, &count, &group)) {
                ++sentences;
                if (setup) {
                    const char *n = UdpParserClass::findField(body, bodyEnd, 'n');
                    const char *nEnd = n ? UdpParserClass::fieldEnd(n + 2, bodyEnd) : nullptr;
                    lastTag = QString::fromLatin1(g + 2, int(gEnd - g - 2)) + QLatin1Char('-')
                        + (nEnd ? QString::fromLatin1(n + 2, int(nEnd - n - 2)) : QString());
                }
                pieces.append({index, count, group, payload, int(pieceEnd - payload)});
            }
        }
        if (!bs)
            break;
        payload = bs + 1;
    }
    if (sentences == 0) {
        qDebug().noquote() << "No sentence found in datagram: " + QString::fromLatin1(datagram.mid(6));
        emit udpErrorDetected(76, QString::fromLatin1(datagram.mid(6)));
        return;
    }
    if (setup)
        emit m_input->emitAckSignal(lastTag, source);
    // The usual case: one datagram carries its whole group, in order.
    bool whole = pieces.size() == pieces.first().count && !m_input->hasGroup(source, pieces.first().group);
    for (int i = 0; whole && i < pieces.size(); ++i)
        whole = pieces[i].index == i + 1 && pieces[i].group == pieces.first().group;
    if (whole) {
        ReceivedSentenceGroup group;
        group.sentences.reserve(pieces.size());
        for (const Piece &piece : pieces)
            group.sentences.append(QString::fromLatin1(piece.sentence, piece.length));
        group.sourceSfi = source;
        group.internal = internal;
        group.fromInternalInterface = from_internal_interface;
        deliverGroup(group);
        return;
    }
    for (const Piece &piece : pieces)
        m_input->addSentence(source, piece.index, piece.count, piece.group,
                             QString::fromLatin1(piece.sentence, piece.length), internal, from_internal_interface);
}

void NmeaOverUdpController::acknowledgeAlreadySentDatagram(QString msg_tag, QString s_sfi)
{
    if (m_output->acknowledge(msg_tag, s_sfi))
        emit datagramAcknowledged(msg_tag, s_sfi);
}

void NmeaOverUdpController::sendAck(QString msg_tag, QString s_sfi)
{
    packUdp(QStringList{QString::fromLatin1(settingstraffic::AckSentence)}, MessageTypeInternal, false,
            QString::fromLatin1(settingstraffic::AckTag) + msg_tag, QStringList{s_sfi}, QString());
}

void NmeaOverUdpController::deliverGroup(ReceivedSentenceGroup group)
{
    if (group.internal && settingstraffic::isCarrierGroup(group.sentences))
        emit settingsTextReceived(NmeaParserClass::nmeaListToData(NmeaGroupInfo(group.sentences, UDP, group.sourceSfi)), group.sourceSfi);
    else
        emit sentenceGroupReceived(group);
}
