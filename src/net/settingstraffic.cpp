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
    // Asked of every received group: compared in place, without building the head text.
    const QString formatter = NmeaParserClass::defaultFormatter();
    const int headLength = formatter.size() + 2;
    for (const QString &s : sentences) {
        if (s.size() < headLength || s.at(0) != QLatin1Char('$') || s.at(headLength - 1) != QLatin1Char(',')
            || QStringRef(&s, 1, formatter.size()) != formatter)
            return false;
    }
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
