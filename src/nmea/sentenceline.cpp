#include "sentenceline.h"

#include "nmeamessage.h"

int SentenceLine::take(const QString &raw)
{
    m_address = m_talker = m_formatter = m_fieldText = QStringView();
    m_hasFields = false;

    // Only lines with noise before the start or bytes after the checksum are copied.
    QStringView line(raw);
    const int dollar = raw.indexOf(QLatin1Char('$'), 1);
    const int star = raw.indexOf(QLatin1Char('*'));
    const bool tidyEnd = star >= 0 && star == raw.size() - 5 && raw.endsWith(QLatin1String("\r\n"));
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

    const QStringView body = bare.left(bare.size() - 3);
    const int comma = body.indexOf(QLatin1Char(','));
    m_address = comma < 0 ? body : body.left(comma);
    if (m_address.startsWith(QLatin1String("PZTQ"))) {
        m_talker = m_address.left(4);
        m_formatter = m_address.mid(4);
    } else if (m_address.size() == 5) {
        m_talker = m_address.left(2);
        m_formatter = m_address.mid(2);
    }
    m_hasFields = comma >= 0;
    if (m_hasFields)
        m_fieldText = body.mid(comma + 1);
    return m_check;
}
