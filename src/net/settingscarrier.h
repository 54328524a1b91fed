#pragma once

#include <QString>
#include <QStringList>

// Settings texts travel between the units cut into proprietary carrier sentences
// "$PZTQAVG,<piece>*hh\r\n" of at most 82 characters, cut without regard to the text's commas.
namespace settingscarrier {

extern const char DefaultFormatter[];   // "PZTQAVG"
extern const char SetupTag[];           // "pztqsetup": must be acknowledged
extern const char RuntimeTag[];         // "pztqruntime"
extern const char AckTag[];             // "pztqack" + message tag
extern const char AckSentence[];        // "$PZTQAVG,ackmessage\r\n"

QStringList toSentences(const QString &text, const QString &formatter = QString::fromLatin1(DefaultFormatter));
// The pieces joined back: "$", formatter and comma, and everything from the last "*" removed.
QString toText(const QStringList &sentences);
// True when every sentence is a carrier of the given formatter.
bool isCarrierGroup(const QStringList &sentences, const QString &formatter = QString::fromLatin1(DefaultFormatter));
// Text tag of a settings group: setup and mark texts need an acknowledgement unless marked NoAck.
QString textTagFor(const QStringList &sentences);

} // namespace settingscarrier
