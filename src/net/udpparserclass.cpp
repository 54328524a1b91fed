#include "udpparserclass.h"

#include "udpdatagram.h"

#include <QDebug>

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void report(bool quiet, const char *label, const char *begin, const char *end)
{
    if (!quiet)
        qDebug().noquote() << label + QString::fromLatin1(begin, int(end - begin));
}

} // namespace

const char *UdpParserClass::findField(const char *begin, const char *end, char key, const char *from)
{
    for (const char *p = from ? from : begin; p + 1 < end; ++p) {
        if (p[0] == key && p[1] == ':' && (p == begin || p[-1] == ','))
            return p;
    }
    return nullptr;
}

const char *UdpParserClass::fieldEnd(const char *valueBegin, const char *end)
{
    for (const char *p = valueBegin; p < end; ++p) {
        if (*p == ',' || *p == '*')
            return p;
    }
    return nullptr;
}

void UdpParserClass::lastTagBlock(const char *begin, const char *end, const char **tagBegin, const char **tagEnd)
{
    const char *close = begin < end ? static_cast<const char *>(memrchr(begin, '\\', size_t(end - begin))) : nullptr;
    if (close) {
        const char *open = close > begin ? static_cast<const char *>(memrchr(begin, '\\', size_t(close - begin)))
                                         : nullptr;
        if (open) {
            *tagBegin = open + 1;
            *tagEnd = close;
            return;
        }
    }
    // No backslash: the text is the block; a lone one: the block is the text before it.
    *tagBegin = begin;
    *tagEnd = close ? close : end;
}

QByteArray UdpParserClass::lastTagBlock(const QByteArray &data)
{
    const char *b = nullptr;
    const char *e = nullptr;
    lastTagBlock(data.constData(), data.constData() + data.size(), &b, &e);
    return QByteArray(b, int(e - b));
}

namespace {

inline void addField(TagFields &tag, const char *key, const char *valueEnd)
{
    TagFields::Field f;
    f.key = key;
    f.valueEnd = valueEnd;
    switch (*key) {
    case 'd': tag.d.append(f); break;
    case 'g': if (!tag.g.key) tag.g = f; break;
    case 's': if (!tag.s.key) tag.s = f; break;
    case 'n': if (!tag.n.key) tag.n = f; break;
    case 't': if (!tag.t.key) tag.t = f; break;
    default: break;
    }
}

#if defined(__SSE2__)
// Tag blocks as received are short: the places of every ',' and '*' are taken sixteen bytes at a
// time into bit masks, and the fields are then read off the masks.
constexpr int ShortTagLength = 64;

// First marked place at or after from, or length when none (from < length <= 64).
inline int firstAtOrAfter(quint64 mask, int from, int length)
{
    if (from >= length)
        return length;
    const quint64 m = mask & (~quint64(0) << from);
    return m ? __builtin_ctzll(m) : length;
}

TagFields parseShort(const char *begin, int length)
{
    alignas(16) char buf[ShortTagLength];
    // Only the chunks read are filled; the bytes after the text in the last one are zero.
    const int chunks = (length + 15) / 16;
    if (chunks > 0)
        _mm_store_si128(reinterpret_cast<__m128i *>(buf + 16 * (chunks - 1)), _mm_setzero_si128());
    std::memcpy(buf, begin, size_t(length));
    quint64 commas = 0;
    quint64 stars = 0;
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i star = _mm_set1_epi8('*');
    for (int i = 0; i < chunks; ++i) {
        const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(buf + 16 * i));
        commas |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma)))) << (16 * i);
        stars |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, star)))) << (16 * i);
    }
    TagFields tag;
    int field = 0;
    while (field + 1 < length) {
        const int next = firstAtOrAfter(commas, field, length);
        if (begin[field + 1] == ':') {
            const int valueEnd = qMin(firstAtOrAfter(stars, field + 2, length),
                                      firstAtOrAfter(commas, field + 2, length));
            addField(tag, begin + field, valueEnd < length ? begin + valueEnd : nullptr);
        }
        if (next >= length)
            break;
        field = next + 1;
    }
    return tag;
}
#endif

} // namespace

TagFields UdpParserClass::parse(const char *begin, const char *end)
{
#if defined(__SSE2__)
    if (end - begin <= ShortTagLength)
        return parseShort(begin, int(end - begin));
#endif
    TagFields tag;
    // A field starts with "key:" at the beginning or after a ','.
    for (const char *p = begin; p + 1 < end; ++p) {
        if (p[1] != ':' || (p != begin && p[-1] != ','))
            continue;
        addField(tag, p, fieldEnd(p + 2, end));
        ++p;
    }
    return tag;
}

int UdpParserClass::checkSource(const TagFields &tag, const char *begin, const char *end, bool quiet)
{
    if (!tag.s.key) {
        report(quiet, "Source tag not found: ", begin, end);
        return -1;
    }
    if (!tag.s.valueEnd) {
        report(quiet, "Missing end of tag: ", begin, end);
        return -2;
    }
    if (tag.s.length() != 6) {
        report(quiet, "Wrong format of source tag: ", begin, end);
        return -3;
    }
    return 0;
}

int UdpParserClass::checkLine(const TagFields &tag, const char *begin, const char *end, bool quiet)
{
    if (!tag.n.key) {
        report(quiet, "Line tag not found: ", begin, end);
        return -1;
    }
    const char *v = tag.n.value();
    const char *e = tag.n.valueEnd;
    if (!e) {
        report(quiet, "Missing end of tag: ", begin, end);
        return -2;
    }
    if (e == v || e - v > 9) {
        report(quiet, "Line number inside tag is not an integer: ", begin, end);
        return -3;
    }
    int value = 0;
    const char *p = v;
    if (*p == '+' || *p == '-')
        ++p;
    if (p == e) {
        report(quiet, "Line number inside tag is not an integer: ", begin, end);
        return -3;
    }
    for (; p < e; ++p) {
        if (*p < '0' || *p > '9') {
            report(quiet, "Line number inside tag is not an integer: ", begin, end);
            return -3;
        }
        value = value * 10 + (*p - '0');
    }
    if (*v == '-')
        value = -value;
    if (value < 1 || value > udpdatagram::MaxLineNumber) {
        report(quiet, "Line number inside tag is out of range (1 - 999): ", begin, end);
        return -4;
    }
    return 0;
}

int UdpParserClass::checkDestination(const TagFields &tag, const char *begin, const char *end, bool quiet)
{
    if (tag.d.isEmpty())
        return 1;
    for (const TagFields::Field &f : tag.d) {
        if (!f.valueEnd) {
            report(quiet, "Missing end of tag: ", begin, end);
            return -2;
        }
        if (f.length() != 6) {
            report(quiet, "Wrong format of destination tag: ", begin, end);
            return -3;
        }
    }
    return 0;
}

int UdpParserClass::checkTag(const TagFields &tag, const char *begin, const char *end, bool quiet)
{
    if (checkSource(tag, begin, end, quiet) != 0)
        return -1;
    if (checkDestination(tag, begin, end, quiet) < 0)
        return -2;
    if (checkLine(tag, begin, end, quiet) != 0)
        return -3;
    return 0;
}

int UdpParserClass::checkSource(const char *begin, const char *end, bool quiet)
{
    return checkSource(parse(begin, end), begin, end, quiet);
}

int UdpParserClass::checkLine(const char *begin, const char *end, bool quiet)
{
    return checkLine(parse(begin, end), begin, end, quiet);
}

int UdpParserClass::checkDestination(const char *begin, const char *end, bool quiet)
{
    return checkDestination(parse(begin, end), begin, end, quiet);
}

int UdpParserClass::checkTag(const char *begin, const char *end, bool quiet)
{
    return checkTag(parse(begin, end), begin, end, quiet);
}

#define KVE_ON_LAST_TAG(data, call)                                                                \
    const char *b = nullptr;                                                                       \
    const char *e = nullptr;                                                                       \
    lastTagBlock(data.constData(), data.constData() + data.size(), &b, &e);                        \
    return call

int UdpParserClass::checkSource(const QByteArray &data) { KVE_ON_LAST_TAG(data, checkSource(b, e)); }
int UdpParserClass::checkLine(const QByteArray &data) { KVE_ON_LAST_TAG(data, checkLine(b, e)); }
int UdpParserClass::checkDestination(const QByteArray &data) { KVE_ON_LAST_TAG(data, checkDestination(b, e)); }
int UdpParserClass::checkTag(const QByteArray &data) { KVE_ON_LAST_TAG(data, checkTag(b, e)); }

QByteArray UdpParserClass::sourceSfi(const QByteArray &data)
{
    const char *b = nullptr;
    const char *e = nullptr;
    lastTagBlock(data.constData(), data.constData() + data.size(), &b, &e);
    if (checkSource(b, e, true) != 0)
        return QByteArray();
    return QByteArray(findField(b, e, 's') + 2, 6);
}

QByteArrayList UdpParserClass::destinationSfis(const QByteArray &data)
{
    const char *b = nullptr;
    const char *e = nullptr;
    lastTagBlock(data.constData(), data.constData() + data.size(), &b, &e);
    QByteArrayList out;
    for (const char *f = findField(b, e, 'd'); f; f = findField(b, e, 'd', f + 2)) {
        const char *v = f + 2;
        const char *end = fieldEnd(v, e);
        if (end && end - v == 6)
            out.append(QByteArray(v, 6));
    }
    return out;
}

namespace {

QByteArray fieldValue(const QByteArray &data, char key)
{
    const char *b = nullptr;
    const char *e = nullptr;
    UdpParserClass::lastTagBlock(data.constData(), data.constData() + data.size(), &b, &e);
    const char *f = UdpParserClass::findField(b, e, key);
    if (!f)
        return QByteArray();
    const char *v = f + 2;
    const char *end = UdpParserClass::fieldEnd(v, e);
    return QByteArray(v, int((end ? end : e) - v));
}

} // namespace

QByteArray UdpParserClass::lineNumber(const QByteArray &data) { return fieldValue(data, 'n'); }
QByteArray UdpParserClass::groupField(const QByteArray &data) { return fieldValue(data, 'g'); }
