#include "udpparserclass.h"

#include "udpdatagram.h"

#include <QDebug>

#include <cstddef>

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
    const char *close = nullptr;
    for (std::ptrdiff_t i = end - begin - 1; i >= 0; --i) {
        if (begin[i] != '\\')
            continue;
        if (!close) {
            close = begin + i;
        } else {
            *tagBegin = begin + i + 1;
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

int UdpParserClass::checkSource(const char *begin, const char *end, bool quiet)
{
    const char *f = findField(begin, end, 's');
    if (!f) {
        report(quiet, "Source tag not found: ", begin, end);
        return -1;
    }
    const char *v = f + 2;
    const char *e = fieldEnd(v, end);
    if (!e) {
        report(quiet, "Missing end of tag: ", begin, end);
        return -2;
    }
    if (e - v != 6) {
        report(quiet, "Wrong format of source tag: ", begin, end);
        return -3;
    }
    return 0;
}

int UdpParserClass::checkLine(const char *begin, const char *end, bool quiet)
{
    const char *f = findField(begin, end, 'n');
    if (!f) {
        report(quiet, "Line tag not found: ", begin, end);
        return -1;
    }
    const char *v = f + 2;
    const char *e = fieldEnd(v, end);
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

int UdpParserClass::checkDestination(const char *begin, const char *end, bool quiet)
{
    const char *f = findField(begin, end, 'd');
    if (!f)
        return 1;
    for (; f; f = findField(begin, end, 'd', f + 2)) {
        const char *v = f + 2;
        const char *e = fieldEnd(v, end);
        if (!e) {
            report(quiet, "Missing end of tag: ", begin, end);
            return -2;
        }
        if (e - v != 6) {
            report(quiet, "Wrong format of destination tag: ", begin, end);
            return -3;
        }
    }
    return 0;
}

int UdpParserClass::checkTag(const char *begin, const char *end, bool quiet)
{
    if (checkSource(begin, end, quiet) != 0)
        return -1;
    if (checkDestination(begin, end, quiet) < 0)
        return -2;
    if (checkLine(begin, end, quiet) != 0)
        return -3;
    return 0;
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
