#pragma once

#include "esenums.h"
#include "storagedevice.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

class DiskSpaceChecker;
class ESStorageDeviceController;

// Chooses where the echo sounder logs: the device picked in the history setup when it is present
// and has room. Tells the loggers whether and where they may write (deviceInfoChanged), keeps the
// running log ordinal number in its /opt file.
// Raw echo data (rawDataDeviceInfoChanged) goes only to a removable device: the chosen one when a
// USB stick or SD card is chosen, otherwise whichever is mounted (the stick first), and only while
// the raw data reserve on it is still free.
class ESLoggingDeviceController : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 FreeBytesMin = 20000000;
    static constexpr qint64 RawDataReservedBytes = 40000000;
    static constexpr int DefaultDiskCheckIntervalMsecs = 10000;

    explicit ESLoggingDeviceController(QObject *parent = nullptr,
                                       int deviceCheckIntervalMsecs = 2000,
                                       int diskCheckIntervalMsecs = DefaultDiskCheckIntervalMsecs);

    ESStorageDeviceController *storageController() const { return m_storage; }
    DiskSpaceChecker *diskSpaceChecker() const { return m_checker; }
    DiskSpaceChecker *rawDataDiskSpaceChecker() const { return m_rawChecker; }

    enum_LogToDevice loggingDevice() const { return m_device; }
    // "<device>/velmora/<serial>/Logs" of the chosen device; the internal store lives below /opt.
    QString logPath() const;
    bool isLoggingSpaceAvailable() const { return m_loggingSpace; }
    bool isReservedSpaceAvailable() const { return m_reservedSpace; }
    bool isDevicePresent(enum_LogToDevice dev) const;
    // The removable device raw data goes to now; LogToInternal when none can take it.
    enum_LogToDevice rawDataDevice() const;
    // "<device>/velmora/<serial>/Logs" of a device; the internal store lives below /opt.
    QString logPath(enum_LogToDevice dev) const;

    int ordinalNumber() const { return m_ordinalNumber; }
    // Name of a new log subfolder: "/Log_n<ordinal>_utc<yyyy_MMM_dd-hh_mm_ss>".
    QString newLogFolderName() const;
    static QString ordinalNumberFilePath();

public slots:
    void incrementOrdinalNumber();
    void setLoggingDevice(enum_LogToDevice dev);
    void setLoggingDevice(int dev) { setLoggingDevice(static_cast<enum_LogToDevice>(dev)); }
    // Measure the chosen device now instead of waiting for the next period.
    void checkNow();
    // The raw data logger could not write: its device is looked at again, and the outcome of the
    // next measurement is announced to it even when nothing seems to have changed.
    void rawDataWriteFailed();

signals:
    void deviceInfoChanged(bool logging_space_available, bool reserved_space_available, QString dev_path);
    // Raw data may write only while the reserve is still free; its files go below "/Raw_Echo_Data".
    void rawDataDeviceInfoChanged(bool is_logging_possible, QString dev_path);
    void ordinalNumberChanged(int ordinal_number);

private slots:
    void updateDeviceInfo();
    void diskSpaceAvailabilityChecked(bool is_disk_full, bool is_reserved_space_available);
    void rawDataSpaceChecked(bool is_disk_full, bool is_reserved_space_available);
    void devicePresenceChanged(enum_LogToDevice dev, bool present);

private:
    void publish(bool loggingSpace, bool reservedSpace, const QString &path);
    void updateRawDataDeviceInfo();
    void publishRawData(bool possible, const QString &path);
    void setUpChecker(DiskSpaceChecker *checker);
    void readOrdinalNumber();
    void writeOrdinalNumber() const;

    ESStorageDeviceController *m_storage;
    DiskSpaceChecker *m_checker;
    DiskSpaceChecker *m_rawChecker;
    QTimer m_diskTimer;
    enum_LogToDevice m_device = LogToInternal;
    QHash<int, bool> m_present;
    bool m_loggingSpace = false;
    bool m_reservedSpace = false;
    QString m_publishedPath;
    bool m_published = false;
    bool m_rawPossible = false;
    QString m_rawPath;
    bool m_rawPublished = false;
    bool m_rawRepublish = false;
    int m_ordinalNumber = 0;
};
