#pragma once

#include <QString>
#include <QStringList>

// How settings texts travel between the units once NmeaParserClass has cut them into carrier
// sentences: which text tag a group gets, and the acknowledgement the receiver sends back.
namespace settingstraffic {

extern const char SetupTag[];           // "pztqsetup": must be acknowledged
extern const char RuntimeTag[];         // "pztqruntime"
extern const char AckTag[];             // "pztqack" + message tag
extern const char AckSentence[];        // "$PZTQAVG,ackmessage\r\n"

// True when every sentence is a carrier sentence of settings text ("$PZTQAVG,...").
bool isCarrierGroup(const QStringList &sentences);
// Text tag of a settings group: setup and mark texts need an acknowledgement unless marked NoAck.
QString textTagFor(const QStringList &sentences);

} // namespace settingstraffic
