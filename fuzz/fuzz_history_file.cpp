// Arbitrary bytes as a depth history file, read the ways the unit reads one: a file fetched from the
// junction box (full or short) and accepted only with a good header, and the channel's own file,
// which the logger reads at start and then continues with the next point. Whatever the file held,
// the logger must leave a file that reads back with a good header and the point it added last.
//
// The first byte: bit 0 the channel, bit 1 the short file instead of the full one, bit 2 the bytes
// are also the channel's own file.
#include "fuzzsupport.h"
#include "historyfile.h"
#include "historyfilecontroller.h"
#include "historylogger.h"
#include "historyloggercontainer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString scratch()
{
    static const QString dir = fuzzScratch(QStringLiteral("history"));
    return dir;
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();   // the harness's own folder must be writable
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzQuietApplication("fuzz_history_file");
    if (size == 0)
        return 0;

    const int channel = data[0] & 1;
    const bool shortFile = data[0] & 2;
    const bool ownFile = data[0] & 4;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QDir(scratch()).removeRecursively();
    const QString own = scratch() + QStringLiteral("/KVE_History_Ch%1").arg(channel + 1);
    if (ownFile)
        put(own, bytes);

    {
        HistoryLoggerContainer history(scratch());
        put(history.fileController()->downloadedPath(channel, shortFile), bytes);
        if (shortFile)
            emit history.fileController()->newShortFileAvailable(channel);
        else
            emit history.fileController()->newFileAvailable(channel);

        // A display record of the channel continues its own file.
        history.setSignalProperties(channel, SignalProperties{50.0f, 300.0f, 100.0f});
        const EchoRecordInfo record = EchoRecordInfo::fromValues(
            QStringLiteral("07-12-2026,04-05-06-789,12.50,11.00,13.10,50.00,3,4,20.5,100,240,1.5,3.0,40,55,"
                           "300,1.1"));
        history.logHistoryDataSlot(record, channel);
        const QList<BasicHistoryPoint> &kept = history.logger(channel)->points();
        if (kept.isEmpty() || kept.last().time != record.dateTimeUtc())
            std::abort();
        fuzzDeliverPosted();
    }

    HistoryFile::Header header;
    QList<BasicHistoryPoint> points;
    if (HistoryFile::read(own, &header, &points) != HistoryFile::HeaderNone || header.channel != channel
        || points.isEmpty() || points.size() != header.count
        || points.last().time != QDateTime(QDate(2026, 12, 7), QTime(4, 5, 6, 789), Qt::UTC))
        std::abort();
    return 0;
}
