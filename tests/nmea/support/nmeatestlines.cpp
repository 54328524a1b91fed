#include "nmeatestlines.h"
#include "validatedproperty.h"

#include <QLoggingCategory>

namespace NmeaTest {

QString line(const QString &body)
{
    uchar sum = 0;
    for (const QChar c : body)
        sum ^= uchar(c.unicode() & 0xFF);
    return QLatin1Char('$') + body + QLatin1Char('*')
           + QStringLiteral("%1").arg(sum, 2, 16, QLatin1Char('0')).toUpper() + QLatin1String("\r\n");
}

void quietDebug()
{
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

QVariantList firstArguments(const QSignalSpy &spy)
{
    QVariantList out;
    for (const QList<QVariant> &arguments : spy)
        out << arguments.value(0);
    return out;
}

void tickFields(int times)
{
    for (int i = 0; i < times; ++i)
        ValidatedProperty::tickAll();
}

}
