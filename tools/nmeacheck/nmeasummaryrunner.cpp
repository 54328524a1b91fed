#include "nmeasummaryrunner.h"

#include "errorlogger.h"

#include <cstring>

namespace {
constexpr Port kLine = Serial_1;
}

NmeaSummaryRunner::NmeaSummaryRunner(bool acceptLineFeed)
    : m_acceptLineFeed(acceptLineFeed)
{
}

void NmeaSummaryRunner::feed(const QByteArray &input)
{
    NmeaGroupInfo group(QStringList{QString()}, kLine);
    QString &line = group.messages.first();
    const char *const data = input.constData();
    const int size = input.size();
    int start = 0;
    while (start < size) {
        const void *found = std::memchr(data + start, '\n', size_t(size - start));
        const int end = found ? int(static_cast<const char *>(found) - data) + 1 : size;
        // Widened into the same text each time: no allocation per line once it is long enough.
        const int length = end - start;
        line.resize(length);
        const uchar *in = reinterpret_cast<const uchar *>(data + start);
        ushort *out = reinterpret_cast<ushort *>(line.data());
        for (int i = 0; i < length; ++i)
            out[i] = in[i];
        if (m_acceptLineFeed && line.endsWith(QLatin1Char('\n')) && !line.endsWith(QLatin1String("\r\n")))
            line.insert(line.size() - 1, QLatin1Char('\r'));
        m_controller.handleReceivedNmeaList(group);
        start = end;
    }
}

QString NmeaSummaryRunner::summary() const
{
    const NmeaLineStatistics stats = m_controller.statistics(kLine);
    QString text = QStringLiteral("lines: %1\n").arg(stats.lines);
    NmeaSentenceCounts all;
    for (const auto &entry : m_controller.formatterStatistics(kLine)) {
        const NmeaSentenceCounts &c = entry.second;
        text += QStringLiteral("formatter %1: %2 (valid %3, data not valid %4, not handled %5, field errors %6)\n")
                    .arg(entry.first).arg(c.total()).arg(c.valid).arg(c.dataInvalid).arg(c.notHandled)
                    .arg(c.fieldErrors);
        all.valid += c.valid;
        all.dataInvalid += c.dataInvalid;
        all.notHandled += c.notHandled;
    }
    text += QStringLiteral("result 0 (handled, valid data): %1\n").arg(all.valid);
    text += QStringLiteral("result 1 (not handled): %1\n").arg(all.notHandled);
    text += QStringLiteral("result 3 (handled, no valid data): %1\n").arg(all.dataInvalid);
    const ErrorLogger &errors = ErrorLogger::instance();
    for (int code = NmeaChecksumError; code <= NmeaNoHandler; ++code) {
        const int count = errors.nmeaCounter(code, int(kLine));
        if (count > 0)
            text += QStringLiteral("error %1 (%2): %3\n").arg(code).arg(nmeaErrorText(code)).arg(count);
    }
    return text;
}
