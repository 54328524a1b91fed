#include "datagramchecker.h"

#include "udpdatagram.h"
#include "udpparserclass.h"

#include <QDebug>

#include <cstring>

namespace {

const char *const kOpenKinds[] = {
    "GGA", "GLL", "VTG", "HDT", "THS", "VBW", "ACK", "ACN", "ZDA", "DDC", "XDR", "RMC", "ROT", "HBT", "SRP",
    "SFICHK", "SFITKN", "SFIACK", "SFICHANGE", "DEVSTART", "PAIR", "SLP", "GCF", "SCF", "CFGR", "VMPCGTER",
    "MACA", "ICM", "RSTT", "RSTO", "STL", "VBWX", "PARA", "SYC",
};

const char *findBytes(const char *begin, const char *end, const char *needle, int n)
{
    if (end - begin < n)
        return nullptr;
    const char *last = end - n;
    for (const char *p = begin; p <= last; ++p) {
        p = static_cast<const char *>(std::memchr(p, needle[0], size_t(last - p + 1)));
        if (!p)
            return nullptr;
        if (std::memcmp(p, needle, size_t(n)) == 0)
            return p;
    }
    return nullptr;
}

bool contains(const QByteArrayList &list, const char *value, int n)
{
    for (const QByteArray &s : list) {
        if (s.size() == n && std::memcmp(s.constData(), value, size_t(n)) == 0)
            return true;
    }
    return false;
}

} // namespace

DatagramChecker::DatagramChecker(const QByteArray &localSfi, const QByteArrayList &connectedSfis)
    : m_localSfi(localSfi)
    , m_connected(connectedSfis)
{
}

int DatagramChecker::checkTaggedPiece(const char *begin, const char *end)
{
    if (begin == end || *begin != '\\')
        return 73;
    const char *body = begin + 1;
    const char *close = static_cast<const char *>(std::memchr(body, '\\', size_t(end - body)));
    if (!close || close - body > udpdatagram::MaxTagBodyLength)
        return 73;
    const int length = int(close - body);
    if (length < 3 || body[length - 3] != '*')
        return 71;
    const int hi = udpdatagram::hexValue(body[length - 2]);
    const int lo = udpdatagram::hexValue(body[length - 1]);
    if (hi < 0 || lo < 0 || udpdatagram::checksum(body, body + length - 3) != quint8(hi * 16 + lo))
        return 71;
    if (UdpParserClass::checkTag(UdpParserClass::parse(body, close), body, close, true) != 0)
        return 72;
    return 0;
}

bool DatagramChecker::isAcceptedFromAnySource(const char *formatter, int length)
{
    if (length < 5)
        return false;
    if (length == 5 && std::memcmp(formatter, "IIDPT", 5) == 0)
        return true;
    const int talker = formatter[0] == 'P' ? 4 : 2;
    const char *kind = formatter + talker;
    const int kindLength = length - talker;
    for (const char *k : kOpenKinds) {
        if (int(std::strlen(k)) == kindLength && std::memcmp(k, kind, size_t(kindLength)) == 0)
            return true;
    }
    return false;
}

DatagramVerdict DatagramChecker::examine(const QByteArray &datagram) const
{
    DatagramVerdict verdict;
    const int size = datagram.size();
    if (size > MAX_UDP_SIZE) {
        qDebug().nospace() << "UDP datagram size: " << size << " is greater than MAX_UDP_SIZE ("
                           << MAX_UDP_SIZE << ")!";
        verdict.faults.append({75, QByteArray()});
        return verdict;
    }
    const char *data = datagram.constData();
    if (size < udpdatagram::HeaderLength || data[5] != '\0'
        || std::memcmp(data, udpdatagram::HeaderToken, 5) != 0) {
        verdict.faults.append({79, datagram});
        return verdict;
    }

    const char *end = data + size;
    bool anyValid = false;
    const char *p = data + udpdatagram::HeaderLength;
    while (p < end) {
        const char *crlf = findBytes(p, end, "\r\n", 2);
        const char *pieceEnd = crlf ? crlf : end;
        if (pieceEnd > p) {
            const int code = checkTaggedPiece(p, pieceEnd);
            if (code == 0)
                anyValid = true;
            else
                verdict.faults.append({code, QByteArray(p, int(pieceEnd - p))});
        }
        p = crlf ? crlf + 2 : end;
    }
    if (!anyValid)
        return verdict;

    verdict.internal = findBytes(data, end, "t:pztq", 6) != nullptr;
    verdict.accepted = acceptByRule(datagram, verdict);
    verdict.ignored = !verdict.accepted;
    return verdict;
}

bool DatagramChecker::acceptByRule(const QByteArray &datagram, DatagramVerdict &verdict) const
{
    const char *data = datagram.constData();
    const char *end = data + datagram.size();
    const char *tagBegin = nullptr;
    const char *tagEnd = nullptr;
    UdpParserClass::lastTagBlock(data + udpdatagram::HeaderLength, end, &tagBegin, &tagEnd);

    const TagFields tag = UdpParserClass::parse(tagBegin, tagEnd);

    // Addressed traffic, and all traffic between the units, must name this unit.
    bool hasDestination = false;
    bool addressedToUs = false;
    for (const TagFields::Field &f : tag.d) {
        if (!f.valueEnd || f.length() != 6)
            continue;
        hasDestination = true;
        if (m_localSfi.size() == 6 && std::memcmp(f.value(), m_localSfi.constData(), 6) == 0)
            addressedToUs = true;
    }
    if ((hasDestination || verdict.internal) && !addressedToUs)
        return false;

    if (tag.s.key && tag.s.valueEnd && tag.s.length() == 6) {
        const char *source = tag.s.value();
        if (m_localSfi.size() == 6 && std::memcmp(source, m_localSfi.constData(), 6) == 0)
            return false;   // our own datagram heard back
        if (contains(m_connected, source, 6))
            return true;
        if (std::memcmp(source, udpdatagram::FactoryDefaultSfi, 6) == 0)
            return true;
    }

    const char *dollar = static_cast<const char *>(
        std::memchr(data + udpdatagram::HeaderLength, '$', size_t(end - data - udpdatagram::HeaderLength)));
    if (!dollar) {
        verdict.faults.append({76, datagram.mid(udpdatagram::HeaderLength)});
        return false;
    }
    const char *formatter = dollar + 1;
    const char *fEnd = formatter;
    while (fEnd < end && *fEnd != ',' && *fEnd != '*' && *fEnd != '\r' && *fEnd != '\\')
        ++fEnd;
    return isAcceptedFromAnySource(formatter, int(fEnd - formatter));
}
