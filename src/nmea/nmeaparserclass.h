#pragma once

#include "nmeagroupinfo.h"

#include <QString>

// Long proprietary texts (settings, setups) as a group of carrier sentences of at most 82
// characters, and back.
class NmeaParserClass
{
public:
    static QString defaultFormatter() { return QStringLiteral("PZTQAVG"); }

    // The header is "PZTQ" + formatter (a formatter given with its "PZTQ" is used as it is); the
    // text is cut, regardless of commas, into pieces of 75 minus the header length characters.
    static NmeaGroupInfo dataToNmeaList(const QString &data,
                                        const QString &local_formatter = defaultFormatter());
    // Joins the pieces in order: each sentence loses "$", its address field and comma, and
    // everything from its last "*".
    static QString nmeaListToData(const NmeaGroupInfo &nmea_list);
};
