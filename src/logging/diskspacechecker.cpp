#include "diskspacechecker.h"

#include <QDebug>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtConcurrent>

DiskSpaceChecker::DiskSpaceChecker(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<Result>::finished, this, &DiskSpaceChecker::checkFinished);
}

DiskSpaceChecker::~DiskSpaceChecker()
{
    m_watcher.waitForFinished();
}

DiskSpace DiskSpaceChecker::queryVolume(const QString &path)
{
    // The log folder may not exist yet: measure the nearest folder that does.
    QFileInfo info(path);
    while (!info.exists() && !info.isRoot() && info.path() != info.filePath())
        info.setFile(info.path());
    QStorageInfo storage(info.filePath());
    if (!storage.isReady())
        storage.refresh();
    DiskSpace space;
    space.valid = storage.isValid() && storage.isReady();
    space.total = storage.bytesTotal();
    space.free = storage.bytesFree();
    space.available = storage.bytesAvailable();
    return space;
}

DiskSpaceChecker::Verdict DiskSpaceChecker::judge(const DiskSpace &space, qint64 freeBytesMin, qint64 rawReserve)
{
    Verdict v;
    v.full = !space.valid || space.available < freeBytesMin;
    v.reserveAvailable = space.valid && space.available >= freeBytesMin + rawReserve;
    return v;
}

void DiskSpaceChecker::deleteOldest(const QString &path, QDir::Filters filters, QDir::SortFlags sortFlags,
                                    const std::function<bool()> &stillFull)
{
    // Oldest data first: the data folders sort by their time-stamped names. The newest one is
    // being written.
    const QFileInfoList entries = QDir(path).entryInfoList(filters, sortFlags);
    for (int i = 0; i + 1 < entries.size(); ++i) {
        qDebug().noquote() << QStringLiteral("Disk full, deleting: ") + entries.at(i).filePath();
        if (entries.at(i).isDir())
            QDir(entries.at(i).filePath()).removeRecursively();
        else
            QFile::remove(entries.at(i).filePath());
        if (!stillFull())
            return;
    }
}

void DiskSpaceChecker::setPath(QString path) { m_path = path; }
void DiskSpaceChecker::setDeleteDataIfFull(bool del) { m_deleteDataIfFull = del; }
void DiskSpaceChecker::setFreeBytesMin(qlonglong min) { m_freeBytesMin = min; }
void DiskSpaceChecker::setFilters(QDir::Filters filters) { m_filters = filters; }
void DiskSpaceChecker::setSortFlags(QDir::SortFlags sort_flags) { m_sortFlags = sort_flags; }
void DiskSpaceChecker::setRawDataReservedBytesMax(qlonglong size) { m_rawReserve = size; }

void DiskSpaceChecker::checkDiskSpace()
{
    if (m_path.isEmpty())
        return; // no device to measure
    if (m_watcher.isRunning()) {
        m_checkAgain = true;
        return;
    }
    qDebug().noquote() << QStringLiteral("Checking disk space using path: ") + m_path;
    qDebug().noquote() << QStringLiteral("Reserved bytes: ") + QString::number(m_rawReserve);
    const Job job{m_path, m_deleteDataIfFull, m_freeBytesMin, m_rawReserve, m_filters, m_sortFlags};
    m_watcher.setFuture(QtConcurrent::run([job] { return runCheck(job); }));
}

DiskSpaceChecker::Result DiskSpaceChecker::runCheck(const Job &job)
{
    Result r;
    r.path = job.path;
    auto measure = [&job, &r] {
        r.space = queryVolume(job.path);
        const Verdict v = judge(r.space, job.freeBytesMin, job.rawReserve);
        r.full = v.full;
        r.reserveAvailable = v.reserveAvailable;
        return r.full;
    };
    if (measure() && job.deleteIfFull && r.space.valid)
        deleteOldest(job.path, job.filters, job.sortFlags, measure);
    return r;
}

void DiskSpaceChecker::checkFinished()
{
    const Result r = m_watcher.result();
    if (r.path != m_path) {
        // Measured for a device that is no longer the chosen one.
        m_checkAgain = false;
        checkDiskSpace();
        return;
    }
    qDebug().noquote() << QStringLiteral("(CU) Avaiable memory in CheckDisk, Total: %1, free: %2, available: %3 bytes")
                              .arg(r.space.total).arg(r.space.free).arg(r.space.available);
    emit diskFullSig(r.full, r.reserveAvailable);
    if (m_checkAgain) {
        m_checkAgain = false;
        checkDiskSpace();
    }
}
