#include "settingstraffic.h"

#include "nmeaparserclass.h"

namespace settingstraffic {

const char SetupTag[] = "pztqsetup";
const char RuntimeTag[] = "pztqruntime";
const char AckTag[] = "pztqack";
const char AckSentence[] = "$PZTQAVG,ackmessage\r\n";

bool isCarrierGroup(const QStringList &sentences)
{
    if (sentences.isEmpty())
        return false;
    const QString head = QLatin1Char('$') + NmeaParserClass::defaultFormatter() + QLatin1Char(',');
    for (const QString &s : sentences)
        if (!s.startsWith(head))
            return false;
    return true;
}

QString textTagFor(const QStringList &sentences)
{
    const QString field = sentences.value(0).section(QLatin1Char(','), 1, 1);
    const bool needsAck = (field.contains(QLatin1String("Type_Setup")) || field.contains(QLatin1String("Type_Mark")))
        && !field.contains(QLatin1String("NoAck"));
    return QString::fromLatin1(needsAck ? SetupTag : RuntimeTag);
}

} // namespace settingstraffic
