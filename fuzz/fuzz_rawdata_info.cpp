// Arbitrary bytes as the "info" state file of the raw echo data folder on a logging device (a stick
// may come from another unit, an older version, or be damaged), then raw records logged on that
// device: the logger must go on numbering, changing and deleting files from whatever the file held
// without a crash or an overflow, keep no more files per channel than it is allowed when it starts
// from a state within that limit, and leave a state file it reads back as it wrote it.
//
// Input: a length byte and that many bytes of the state file, then the number of files allowed per
// channel (1 to 4), then records: a byte with the channel (bit 0) and a request for new files (bit
// 1), a sample count byte (times 16) and a byte for the depth.
#include "echorecord.h"
#include "fuzzsupport.h"
#include "echosounderdatalogger.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString device()
{
    static const QString dir = fuzzScratch(QStringLiteral("device"));
    return dir;
}

int filesOfChannel(const QDir &dir, int channel)
{
    return dir.entryList({QStringLiteral("EchoData_ch%1_n*").arg(channel)}, QDir::Files).size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzQuietApplication("fuzz_rawdata_info");
    if (size == 0)
        return 0;

    size_t at = 0;
    const size_t stateLength = qMin<size_t>(data[at++], size - 1);
    const QByteArray state(reinterpret_cast<const char *>(data + at), int(stateLength));
    at += stateLength;
    const int maxFiles = at < size ? 1 + data[at++] % 4 : 2;

    const QString folder = device() + QStringLiteral("/Raw_Echo_Data");
    QDir(device()).removeRecursively();
    QDir().mkpath(folder);
    {
        QFile f(folder + QStringLiteral("/info"));
        if (!f.open(QIODevice::WriteOnly) || f.write(state) != state.size())
            std::abort();   // the harness's own folder must be writable
    }

    {
        EchosounderDataLogger logger(1, device());
        const bool withinLimit = qint64(logger.newestNumber()) - logger.oldestNumber() + 1 <= maxFiles;
        logger.setMaxFilesPerChannel(maxFiles);
        logger.setDeviceInfo(true, device());
        logger.startStopLogging(true);
        int records = 0;
        while (at + 3 <= size && records < 24) {
            const uint8_t what = data[at];
            const int samples = data[at + 1] * 16;
            const uint8_t depth = data[at + 2];
            at += 3;
            ++records;
            if (what & 2)
                logger.fileImportanceChanged(1);
            const EchoRecordInfo info = EchoRecordInfo::fromValues(
                QStringLiteral("07-12-2026,04-05-%1-250,%2,1,2,3,4,5,6,7,8,9,10,11,12,13,14")
                    .arg(records % 60, 2, 10, QLatin1Char('0'))
                    .arg(depth / 4.0),
                EchoRecordInfo::Kind::Raw);
            logger.receivedDataForLogging(QByteArray(samples, char(depth)), info, what & 1);
        }
        if (logger.isLogging() && withinLimit) {
            const QDir dir(folder);
            if (filesOfChannel(dir, 1) > maxFiles || filesOfChannel(dir, 2) > maxFiles)
                std::abort();
        }
        fuzzDeliverPosted();
    }

    // Whatever the logger wrote last is a state it takes up again.
    QFile f(folder + QStringLiteral("/info"));
    if (f.open(QIODevice::ReadOnly) && f.readAll() != state && f.seek(0)) {
        QDataStream in(&f);
        qint32 newest = 0, oldest = 0, created = 0;
        in >> newest >> oldest >> created;
        EchosounderDataLogger again(1, device());
        if (in.status() == QDataStream::Ok && (again.newestNumber() != newest || again.oldestNumber() != oldest))
            std::abort();
    }
    return 0;
}
