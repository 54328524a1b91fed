#include "echorecord.h"

#include <QDateTime>

EchoRecord::Kind EchoRecord::kindOf(const QString &info)
{
    const QStringRef kind = info.midRef(9, 3);
    if (kind == QLatin1String("Raw"))
        return Kind::Raw;
    if (kind == QLatin1String("Fil"))
        return Kind::Filtered;
    return Kind::Display;
}

QString EchoRecord::header(Kind kind)
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

float EchoRecord::number(const QStringList &values, int field, float fallback)
{
    if (field < 0 || field >= values.size())
        return fallback;
    bool ok = false;
    const float v = values.at(field).trimmed().toFloat(&ok);
    return ok ? v : fallback;
}

QString EchoRecord::noDataValues(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd-MM-yyyy,hh-mm-ss-zzz"))
           + QStringLiteral(",-100,-100,-100,0,0,0,0,0,0");
}
