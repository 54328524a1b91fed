#include "nmeamessage.h"

#include <QDebug>
#include <QVector>

NmeaMessage::NmeaMessage(const QString &talker, const QString &formatter, QObject *parent)
    : QObject(parent)
    , m_talker(talker)
    , m_formatter(formatter)
{
}

void NmeaMessage::initializeProperties()
{
    for (ValidatedProperty *old : qAsConst(m_fields))
        delete old;
    m_fields = FieldSchema::initializeProperties(this);
}

ValidatedProperty *NmeaMessage::field(const QString &name) const
{
    for (ValidatedProperty *f : m_fields) {
        if (f->objectName() == name)
            return f;
    }
    return nullptr;
}

QString NmeaMessage::fieldName(int index) const
{
    const ValidatedProperty *f = field(index);
    return f ? f->objectName() : QString();
}

QString NmeaMessage::serializeParameters() const
{
    QString text;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += m_fields.at(i)->fieldText();
    }
    return text;
}

QString NmeaMessage::fieldText() const
{
    if (!m_receivedFieldText.isEmpty())
        return m_receivedFieldText;
    return serializeParameters();
}

QString NmeaMessage::completeSentence() const
{
    const QString body = m_talker + m_formatter + QLatin1Char(',') + fieldText();
    return QLatin1Char('$') + body + QLatin1Char('*') + checksum(body) + QLatin1String("\r\n");
}

void NmeaMessage::resetFields()
{
    // Emptied, not released: the next sentence is written into the same text.
    m_receivedFieldText.resize(0);
    for (ValidatedProperty *f : qAsConst(m_fields))
        f->resetToInitial();
}

int NmeaMessage::deserializeParamaters(const QString &fieldText)
{
    return parseFields(fieldText);
}

int NmeaMessage::parseFields(QStringView fieldText)
{
    // Kept in the object's own text, in place when nobody shares it: one object takes sentence
    // after sentence of its kind.
    m_receivedFieldText.setUnicode(fieldText.data(), fieldText.size());
    // Parts are read as slices of the stored text; text fields take copies of their own.
    const QChar *data = m_receivedFieldText.constData();
    const int size = m_receivedFieldText.size();
    int start = 0;
    for (int k = 0; k < m_fields.size(); ++k) {
        int end = start;
        while (end < size && data[end] != QLatin1Char(','))
            ++end;
        ValidatedProperty *f = m_fields.at(k);
        const int result = f->setFieldText(QStringView(data + start, end - start));
        if (result != FieldResult::Accepted && result != FieldResult::EmptyNull) {
            if (result == FieldResult::WrongLength)
                qDebug() << "wrong field length";
            else
                qDebug() << "invalid value" << f->objectName();
            qDebug() << m_formatter << "  error in NmeaMessage::deserializeParamaters";
            return result == FieldResult::WrongLength ? ParseResult::WrongFieldLength
                                                      : ParseResult::InvalidValue;
        }
        if (end >= size)
            break;
        start = end + 1;
    }
    return ParseResult::Ok;
}

uchar NmeaMessage::checksumValue(QStringView text)
{
    uchar sum = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        sum ^= uchar(u < 0x100 ? u : '?');
    }
    return sum;
}

QString NmeaMessage::checksum(QStringView text)
{
    static const char digits[] = "0123456789ABCDEF";
    const uchar sum = checksumValue(text);
    const QChar out[2] = {QLatin1Char(digits[sum >> 4]), QLatin1Char(digits[sum & 0x0F])};
    return QString(out, 2);
}

int NmeaMessage::checkSentence(QString &line)
{
    if (line.size() > maxSentenceLength && !line.contains(QLatin1String("GGA,")))
        return SentenceCheck::TooLong;
    if (line.isEmpty() || (line.at(0) != QLatin1Char('$') && line.at(0) != QLatin1Char('!')))
        return SentenceCheck::BadFraming;
    line.remove(0, 1);
    if (!line.endsWith(QLatin1String("\r\n")))
        return SentenceCheck::BadFraming;
    line.remove(QLatin1String("\r\n"));
    const int star = line.indexOf(QLatin1Char('*'));
    if (star < 0 || star != line.size() - 3)
        return SentenceCheck::BadChecksum;
    static const char digits[] = "0123456789ABCDEF";
    const uchar sum = checksumValue(QStringView(line).left(star));
    if (line.at(star + 1) != QLatin1Char(digits[sum >> 4])
        || line.at(star + 2) != QLatin1Char(digits[sum & 0x0F]))
        return SentenceCheck::BadChecksum;
    const int comma = line.indexOf(QLatin1Char(','));
    const int addressLength = comma < 0 ? line.size() : comma;
    const bool proprietary = line.at(0) == QLatin1Char('P');
    if (proprietary ? addressLength <= 4 : addressLength != 5)
        return SentenceCheck::BadAddress;
    return SentenceCheck::Ok;
}

int NmeaMessage::checkSentenceView(QStringView line, QStringView &bare)
{
    const int n = line.size();
    if (n > maxSentenceLength && line.indexOf(QLatin1String("GGA,")) < 0)
        return SentenceCheck::TooLong;
    if (n == 0 || (line.at(0) != QLatin1Char('$') && line.at(0) != QLatin1Char('!')))
        return SentenceCheck::BadFraming;
    if (n < 3 || line.at(n - 2) != QLatin1Char('\r') || line.at(n - 1) != QLatin1Char('\n'))
        return SentenceCheck::BadFraming;
    // One pass over the text between start character and line end: the first "*", the first ","
    // before it and the checksum of what stands before it.
    const QStringView v = line.mid(1, n - 3);
    const QChar *p = v.data();
    const int m = v.size();
    int star = -1;
    int comma = -1;
    uchar sum = 0;
    for (int i = 0; i < m; ++i) {
        const ushort c = p[i].unicode();
        if (c == '\r' && i + 1 < m && p[i + 1] == QLatin1Char('\n'))
            return -1;
        if (star >= 0)
            continue;
        if (c == '*') {
            star = i;
        } else {
            sum ^= uchar(c < 0x100 ? c : '?');
            if (c == ',' && comma < 0)
                comma = i;
        }
    }
    if (star < 0 || star != m - 3)
        return SentenceCheck::BadChecksum;
    static const char digits[] = "0123456789ABCDEF";
    if (p[star + 1] != QLatin1Char(digits[sum >> 4]) || p[star + 2] != QLatin1Char(digits[sum & 0x0F]))
        return SentenceCheck::BadChecksum;
    const int addressLength = comma < 0 ? m : comma;
    if (p[0] == QLatin1Char('P') ? addressLength <= 4 : addressLength != 5)
        return SentenceCheck::BadAddress;
    bare = v;
    return SentenceCheck::Ok;
}
