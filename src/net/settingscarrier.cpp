#include "settingscarrier.h"

#include "udpdatagram.h"

namespace settingscarrier {

const char DefaultFormatter[] = "PZTQAVG";
const char SetupTag[] = "pztqsetup";
const char RuntimeTag[] = "pztqruntime";
const char AckTag[] = "pztqack";
const char AckSentence[] = "$PZTQAVG,ackmessage\r\n";

namespace {
constexpr int MaxSentenceBody = 75;   // 82 minus "$", "*hh" and CR LF
}

QStringList toSentences(const QString &text, const QString &formatter)
{
    QStringList out;
    const int piece = MaxSentenceBody - formatter.size();
    if (piece <= 0)
        return out;
    out.reserve(text.size() / piece + 1);
    const QByteArray head = formatter.toLatin1() + ',';
    const quint8 headSum = udpdatagram::checksum(head);
    const QByteArray latin = text.toLatin1();
    QByteArray sentence;
    for (int pos = 0; pos < latin.size(); pos += piece) {
        const int n = qMin(piece, latin.size() - pos);
        const char *p = latin.constData() + pos;
        sentence.resize(0);
        sentence.reserve(head.size() + n + 6);
        sentence.append('$').append(head).append(p, n).append('*');
        udpdatagram::appendHex(sentence, headSum ^ udpdatagram::checksum(p, p + n));
        sentence.append("\r\n", 2);
        out.append(QString::fromLatin1(sentence));
    }
    return out;
}

QString toText(const QStringList &sentences)
{
    QString text;
    for (const QString &s : sentences) {
        const int comma = s.indexOf(QLatin1Char(','));
        if (comma < 0)
            continue;
        const int star = s.lastIndexOf(QLatin1Char('*'));
        text += star > comma ? s.mid(comma + 1, star - comma - 1) : s.mid(comma + 1).trimmed();
    }
    return text;
}

bool isCarrierGroup(const QStringList &sentences, const QString &formatter)
{
    if (sentences.isEmpty())
        return false;
    const QString head = QLatin1Char('$') + formatter + QLatin1Char(',');
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

} // namespace settingscarrier
