#include "udpdatagram.h"

#include <cstring>

namespace udpdatagram {

const char HeaderToken[] = "UdPbC";
const char FactoryDefaultSfi[] = "VM1111";

quint8 checksum(const char *begin, const char *end)
{
    // Eight bytes at a time, folded at the end: exclusive-or does not care about byte order.
    quint64 wide = 0;
    const char *p = begin;
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        wide ^= word;
    }
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    quint8 sum = quint8(wide);
    for (; p < end; ++p)
        sum ^= quint8(*p);
    return sum;
}

void appendHex(QByteArray &out, quint8 value)
{
    static const char digits[] = "0123456789ABCDEF";
    out.append(digits[value >> 4]);
    out.append(digits[value & 0x0f]);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray newDatagram()
{
    QByteArray d;
    d.reserve(MAX_UDP_SIZE);
    d.append(HeaderToken, 5);
    d.append('\0');
    return d;
}

void appendNumber(QByteArray &out, int value)
{
    char buf[12];
    int n = 0;
    unsigned v = value < 0 ? unsigned(-value) : unsigned(value);
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0)
        out.append('-');
    while (n)
        out.append(buf[--n]);
}

void appendTagBody(QByteArray &body, int index, int count, int groupId, const QByteArray &sourceSfi,
                   const QByteArrayList &destinations, int lineNumber, const QByteArray &textTag)
{
    body.append("g:", 2);
    appendNumber(body, index);
    body.append('-');
    appendNumber(body, count);
    body.append('-');
    appendNumber(body, groupId);
    body.append(",s:", 3).append(sourceSfi);
    for (const QByteArray &d : destinations)
        body.append(",d:", 3).append(d);
    body.append(",n:", 3);
    appendNumber(body, lineNumber);
    if (!textTag.isEmpty() && textTag != "noTag")
        body.append(",t:", 3).append(textTag);
}

QByteArray tagBody(int index, int count, int groupId, const QByteArray &sourceSfi,
                   const QByteArrayList &destinations, int lineNumber, const QByteArray &textTag)
{
    QByteArray body;
    body.reserve(48 + 9 * destinations.size() + textTag.size());
    appendTagBody(body, index, count, groupId, sourceSfi, destinations, lineNumber, textTag);
    return body;
}

void appendTaggedSentence(QByteArray &out, const QByteArray &body, const QString &sentence)
{
    out.append('\\').append(body).append('*');
    appendHex(out, checksum(body));
    out.append('\\');
    const int at = out.size();
    const int n = sentence.size();
    out.resize(at + n);
    char *dst = out.data() + at;
    const QChar *c = sentence.constData();
    for (int i = 0; i < n; ++i)
        dst[i] = c[i].toLatin1();
}

QByteArray taggedSentence(const QByteArray &body, const QByteArray &sentence)
{
    QByteArray out;
    out.reserve(body.size() + sentence.size() + 5);
    out.append('\\').append(body).append('*');
    appendHex(out, checksum(body));
    out.append('\\').append(sentence);
    return out;
}

QByteArrayList toLatin1(const QStringList &list)
{
    QByteArrayList out;
    out.reserve(list.size());
    for (const QString &s : list)
        out.append(s.toLatin1());
    return out;
}

} // namespace udpdatagram
