#include "echorecord.h"

#include <QVector>
#include <QtNumeric>

namespace {

EchoRecordInfo::Kind kindOfHeader(const QString &info)
{
    const QStringRef kind = info.midRef(9, 3);
    if (kind == QLatin1String("Raw"))
        return EchoRecordInfo::Kind::Raw;
    if (kind == QLatin1String("Fil"))
        return EchoRecordInfo::Kind::Filtered;
    return EchoRecordInfo::Kind::Display;
}

} // namespace

EchoRecordInfo EchoRecordInfo::parse(const QString &info)
{
    EchoRecordInfo r;
    r.m_text = info;
    if (info.size() < kHeaderLength)
        return r;
    r.m_complete = true;
    r.m_kind = kindOfHeader(info);
    r.m_valuesAt = kHeaderLength;
    r.readValues();
    return r;
}

EchoRecordInfo EchoRecordInfo::fromValues(const QString &values, Kind kind)
{
    EchoRecordInfo r;
    r.m_text = header(kind) + values;
    r.m_complete = true;
    r.m_kind = kind;
    r.m_valuesAt = kHeaderLength;
    r.readValues();
    return r;
}

EchoRecordInfo EchoRecordInfo::noData(const QDateTime &utc)
{
    return fromValues(noDataValues(utc), Kind::Display);
}

void EchoRecordInfo::readValues()
{
    const QVector<QStringRef> fields = m_text.midRef(m_valuesAt).split(QLatin1Char(','));
    m_date = QDate::fromString(fields.value(0).trimmed().toString(), QStringLiteral("dd-MM-yyyy"));
    m_time = QTime::fromString(fields.value(1).trimmed().toString(), QStringLiteral("hh-mm-ss-zzz"));
    if (!m_date.isValid() || !m_time.isValid())
        ++m_unreadable;
    for (int i = 0; i < ValueCount && i + 2 < fields.size(); ++i) {
        const QStringRef field = fields.at(i + 2).trimmed();
        if (field.isEmpty())
            continue;
        bool ok = false;
        const float v = field.toFloat(&ok);
        // Infinite or not-a-number figures are as unreadable as garbage.
        if (ok && qIsFinite(v)) {
            m_values[size_t(i)] = v;
            m_present |= 1u << i;
        } else {
            ++m_unreadable;
        }
    }
}

QDateTime EchoRecordInfo::dateTimeUtc() const
{
    if (!m_date.isValid() || !m_time.isValid())
        return QDateTime();
    return QDateTime(m_date, m_time, Qt::UTC);
}

float EchoRecordInfo::depth() const
{
    const float d = value(DepthBlwTransducer, kNoDepth);
    return d > kNoDepth ? d : kNoDepth;
}

float EchoRecordInfo::bufferRange() const
{
    const float r = value(BufferRange, 0.0f);
    return r > 0.0f ? r : 0.0f;
}

QString EchoRecordInfo::header(Kind kind)
{
    switch (kind) {
    case Kind::Raw:
        return QStringLiteral("ECHO_REC_Raw,");
    case Kind::Filtered:
        return QStringLiteral("ECHO_REC_Fil,");
    case Kind::Display:
        break;
    }
    return QStringLiteral("ECHO_REC_Dsp,");
}

QString EchoRecordInfo::noDataValues(const QDateTime &utc)
{
    return utc.toString(QStringLiteral("dd-MM-yyyy,hh-mm-ss-zzz"))
           + QStringLiteral(",-100,-100,-100,0,0,0,0,0,0");
}
