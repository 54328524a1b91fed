#include "diskspacechecker.h"

#include <QDebug>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtConcurrent>

DiskSpaceChecker::DiskSpaceChecker(QObject *parent)
    : QObject(parent), m_query(&DiskSpaceChecker::queryVolume)
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

void DiskSpaceChecker::setSpaceQuery(SpaceQuery query)
{
    m_query = query ? std::move(query) : SpaceQuery(&DiskSpaceChecker::queryVolume);
}

void DiskSpaceChecker::setPath(QString path) { m_path = path; }
void DiskSpaceChecker::setDeleteDataIfFull(bool del) { m_deleteDataIfFull = del; }
void DiskSpaceChecker::setFreeBytesMin(qlonglong min) { m_freeBytesMin = min; }
void DiskSpaceChecker::setFilters(QDir::Filters filters) { m_filters = filters; }
void DiskSpaceChecker::setSortFlags(QDir::SortFlags sort_flags) { m_sortFlags = sort_flags; }
void DiskSpaceChecker::setRawDataReservedBytesMax(qlonglong size) { m_rawReserve = size; }

void DiskSpaceChecker::checkDiskSpace()
{
    if (m_watcher.isRunning()) {
        m_checkAgain = true;
        return;
    }
    qDebug().noquote() << QStringLiteral("Checking disk space using path: ") + m_path;
    qDebug().noquote() << QStringLiteral("Reserved bytes: ") + QString::number(m_rawReserve);
    const Job job{m_path, m_deleteDataIfFull, m_freeBytesMin, m_rawReserve, m_filters, m_sortFlags, m_query};
    m_watcher.setFuture(QtConcurrent::run([job] { return runCheck(job); }));
}

DiskSpaceChecker::Result DiskSpaceChecker::runCheck(const Job &job)
{
    Result r;
    r.path = job.path;
    r.space = job.query(job.path);
    auto judge = [&job](Result &res) {
        res.full = !res.space.valid || res.space.available < job.freeBytesMin;
        res.reserveAvailable = res.space.valid && res.space.available >= job.freeBytesMin + job.rawReserve;
    };
    judge(r);
    if (r.full && job.deleteIfFull && r.space.valid) {
        // Oldest data first: the data folders sort by their time-stamped names. The newest folder
        // is the one being written and is never removed.
        const QFileInfoList dirs = QDir(job.path).entryInfoList(job.filters, job.sortFlags);
        for (int i = 0; i + 1 < dirs.size() && r.full; ++i) {
            qDebug().noquote() << QStringLiteral("Disk full, deleting: ") + dirs.at(i).filePath();
            if (dirs.at(i).isDir())
                QDir(dirs.at(i).filePath()).removeRecursively();
            else
                QFile::remove(dirs.at(i).filePath());
            r.space = job.query(job.path);
            judge(r);
        }
    }
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
    emit availableBytesCalculated({r.space.total, r.space.free, r.space.available});
    if (m_checkAgain) {
        m_checkAgain = false;
        checkDiskSpace();
    }
}
