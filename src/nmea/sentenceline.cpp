#include "sentenceline.h"

#include "nmeamessage.h"

namespace {

// The common line in one pass: start character first, "*hh\r\n" last, no other start and no line
// end inside, at most 82 characters. Gives the check's code for it (checksum, address) and the
// sentence without start character and line end; -1 for any other line, which the full way takes.
int takeTidy(const QString &raw, QStringView &bare)
{
    const QChar *p = raw.constData();
    const int n = raw.size();
    if (n < 6 || n > NmeaMessage::maxSentenceLength || (p[0] != QLatin1Char('$') && p[0] != QLatin1Char('!'))
        || p[n - 5] != QLatin1Char('*') || p[n - 2] != QLatin1Char('\r') || p[n - 1] != QLatin1Char('\n'))
        return -1;
    const int star = n - 5;
    int comma = -1;
    uchar sum = 0;
    for (int i = 1; i < star; ++i) {
        const ushort c = p[i].unicode();
        if (c == '$' || c == '*' || (c == '\r' && p[i + 1] == QLatin1Char('\n')))
            return -1;
        sum ^= uchar(c < 0x100 ? c : '?');
        if (c == ',' && comma < 0)
            comma = i;
    }
    for (int i = star + 1; i < n - 2; ++i) {
        if (p[i] == QLatin1Char('$') || p[i] == QLatin1Char('*') || p[i] == QLatin1Char('\r') || p[i] == QLatin1Char('\n'))
            return -1;
    }
    static const char digits[] = "0123456789ABCDEF";
    if (p[star + 1] != QLatin1Char(digits[sum >> 4]) || p[star + 2] != QLatin1Char(digits[sum & 0x0F]))
        return SentenceCheck::BadChecksum;
    // Without a field separator the address is all of the sentence between start and line end.
    const int addressLength = comma < 0 ? n - 3 : comma - 1;
    if (p[1] == QLatin1Char('P') ? addressLength <= 4 : addressLength != 5)
        return SentenceCheck::BadAddress;
    bare = QStringView(p + 1, n - 3);
    return SentenceCheck::Ok;
}

} // namespace

int SentenceLine::take(const QString &raw)
{
    m_address = m_talker = m_formatter = m_fieldText = QStringView();
    m_hasFields = false;

    QStringView tidy;
    m_check = takeTidy(raw, tidy);
    if (m_check == SentenceCheck::Ok)
        return split(tidy);
    if (m_check >= 0)
        return m_check;

    // Only lines with noise before the start or bytes after the checksum are copied.
    QStringView line(raw);
    const QChar *p = raw.constData();
    const int n = raw.size();
    int dollar = -1;
    int star = -1;
    for (int i = 0; i < n && (dollar < 0 || star < 0); ++i) {
        if (p[i] == QLatin1Char('$') && i > 0 && dollar < 0)
            dollar = i;
        else if (p[i] == QLatin1Char('*') && star < 0)
            star = i;
    }
    const bool tidyEnd = star >= 0 && star == n - 5 && p[n - 2] == QLatin1Char('\r') && p[n - 1] == QLatin1Char('\n');
    const int crlf = star >= 0 && !tidyEnd ? raw.indexOf(QLatin1String("\r\n"), star) : -1;
    if (dollar > 0 || crlf > star + 3) {
        m_work = raw;
        if (dollar > 0)
            m_work.remove(0, dollar);
        const int workStar = m_work.indexOf(QLatin1Char('*'));
        if (workStar >= 0) {
            const int workCrlf = m_work.indexOf(QLatin1String("\r\n"), workStar);
            if (workCrlf > workStar + 3)
                m_work.remove(workStar + 3, workCrlf - workStar - 3);
        }
        line = QStringView(m_work);
    }

    QStringView bare;
    m_check = NmeaMessage::checkSentenceView(line, bare);
    if (m_check < 0) {
        // A line end inside the line: only the copying check takes it apart.
        if (line.data() != m_work.constData())
            m_work = line.toString();
        m_check = NmeaMessage::checkSentence(m_work);
        bare = QStringView(m_work);
    }
    if (m_check != SentenceCheck::Ok)
        return m_check;
    return split(bare);
}

int SentenceLine::split(QStringView bare)
{
    const QStringView body = bare.left(bare.size() - 3);
    int comma = 0;
    while (comma < body.size() && body.at(comma) != QLatin1Char(','))
        ++comma;
    m_address = body.left(comma);
    const QChar *a = m_address.data();
    if (m_address.size() >= 4 && a[0] == QLatin1Char('P') && a[1] == QLatin1Char('Z') && a[2] == QLatin1Char('T')
        && a[3] == QLatin1Char('Q')) {
        m_talker = m_address.left(4);
        m_formatter = m_address.mid(4);
    } else if (m_address.size() == 5) {
        m_talker = m_address.left(2);
        m_formatter = m_address.mid(2);
    }
    m_hasFields = comma < body.size();
    if (m_hasFields)
        m_fieldText = body.mid(comma + 1);
    return m_check;
}
