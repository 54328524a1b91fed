#pragma once

#include <QDir>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// Free space of the volume that holds a path, in bytes.
struct DiskSpace
{
    bool valid = false;
    qint64 total = 0;
    qint64 free = 0;
    qint64 available = 0;
};

// Watches the free space of the logging device. The device is full when fewer than the minimum
// free bytes are available; the raw data reserve comes on top of that minimum, so the large raw
// files stop first and the small logs keep room to finish. The measurement (and the deletion of old
// data when that is allowed) runs on a pool thread; results come back to the owner's thread.
class DiskSpaceChecker : public QObject
{
    Q_OBJECT
public:
    struct Verdict
    {
        bool full = true;
        bool reserveAvailable = false;
    };

    explicit DiskSpaceChecker(QObject *parent = nullptr);
    ~DiskSpaceChecker() override;

    // The volume that holds a path (or the nearest folder above it that exists).
    static DiskSpace queryVolume(const QString &path);
    // Full below the minimum free bytes (or when the volume cannot be read); the raw data reserve
    // is free when the minimum and the reserve are both available.
    static Verdict judge(const DiskSpace &space, qint64 freeBytesMin, qint64 rawReserve);
    // Deletes the data folders of a path oldest first, as the filter and sort order list them, and
    // stops once stillFull() answers false after a deletion. The newest entry is never deleted.
    static void deleteOldest(const QString &path, QDir::Filters filters, QDir::SortFlags sortFlags,
                             const std::function<bool()> &stillFull);

    QString path() const { return m_path; }
    qint64 freeBytesMin() const { return m_freeBytesMin; }
    qint64 rawDataReservedBytesMax() const { return m_rawReserve; }
    bool isChecking() const { return m_watcher.isRunning(); }

public slots:
    void setPath(QString path);
    void setDeleteDataIfFull(bool del);
    void setFreeBytesMin(qlonglong min);
    void setFilters(QDir::Filters filters);
    void setSortFlags(QDir::SortFlags sort_flags);
    void setRawDataReservedBytesMax(qlonglong size);
    // Starts one check of the path (none without one); a check already running is not doubled but
    // repeated when it ends.
    void checkDiskSpace();

signals:
    void diskFullSig(bool is_disk_full, bool is_reserved_space_available);

private:
    struct Result
    {
        QString path;
        DiskSpace space;
        bool full = true;
        bool reserveAvailable = false;
    };
    struct Job
    {
        QString path;
        bool deleteIfFull;
        qint64 freeBytesMin;
        qint64 rawReserve;
        QDir::Filters filters;
        QDir::SortFlags sortFlags;
    };
    static Result runCheck(const Job &job);
    void checkFinished();

    QString m_path;
    bool m_deleteDataIfFull = false;
    qint64 m_freeBytesMin = 0;
    qint64 m_rawReserve = 0;
    QDir::Filters m_filters = QDir::Dirs | QDir::NoDotAndDotDot;
    QDir::SortFlags m_sortFlags = QDir::Name;
    QFutureWatcher<Result> m_watcher;
    bool m_checkAgain = false;
};
