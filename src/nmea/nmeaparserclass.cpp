#include "nmeaparserclass.h"

#include "nmeamessage.h"

NmeaGroupInfo NmeaParserClass::dataToNmeaList(const QString &data, const QString &local_formatter)
{
    const QString header = local_formatter.startsWith(QLatin1String("PZTQ"))
                               ? local_formatter
                               : QStringLiteral("PZTQ") + local_formatter;
    const int pieceLength = qMax(1, 75 - header.size());
    NmeaGroupInfo group;
    group.port = UDP;
    for (int start = 0; start < data.size(); start += pieceLength) {
        const QString body = header + QLatin1Char(',') + data.mid(start, pieceLength);
        group.messages.append(QLatin1Char('$') + body + QLatin1Char('*')
                              + NmeaMessage::checksum(body) + QLatin1String("\r\n"));
    }
    return group;
}

QString NmeaParserClass::nmeaListToData(const NmeaGroupInfo &nmea_list)
{
    QString data;
    for (const QString &sentence : nmea_list.messages) {
        const int comma = sentence.indexOf(QLatin1Char(','));
        const int star = sentence.lastIndexOf(QLatin1Char('*'));
        if (comma < 0)
            continue;
        const int end = star > comma ? star : sentence.size();
        data += sentence.midRef(comma + 1, end - comma - 1);
    }
    return data;
}
