#pragma once

#include "storagedevice.h"

#include <QHash>
#include <QObject>
#include <QString>

class QThread;
class QTimer;

// Reads the mount table in a thread of its own and reports every change of presence.
class MountTableScanner : public QObject
{
    Q_OBJECT
public:
    explicit MountTableScanner(const QString &mountTablePath, QObject *parent = nullptr);

    // Mount points listed in a mount table text (second field of each line).
    static QStringList mountPoints(const QByteArray &mountTable);

public slots:
    void start(int intervalMsecs);
    void checkForDevices();

signals:
    void devicePresenceChanged(StorageDevice dev, bool present);
    void checked();

private:
    QString m_mountTablePath;
    QTimer *m_timer = nullptr;
    QHash<int, bool> m_present;
};

// Notices removable devices (USB stick, SD card) being mounted and removed. The mount table is
// polled in the storage thread so a slow or hung medium never stalls the screens.
class StorageDeviceController : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultCheckIntervalMsecs = 2000;
    // The storage thread under the watchdog: reading the mount table never takes long.
    static constexpr uint WatchdogKickMsecs = 5000;
    static constexpr uint WatchdogTimeoutMsecs = 60000;

    explicit StorageDeviceController(QObject *parent = nullptr,
                                     int checkIntervalMsecs = DefaultCheckIntervalMsecs);
    ~StorageDeviceController() override;

    bool isPresent(StorageDevice dev) const { return m_present.value(dev, false); }
    QString productSerialNumber() const { return m_serialNumber; }
    // "<mount point>/velmora/<serial number>": where the unit's files go on a device.
    QString devicePath(StorageDevice dev) const;

    // Asks the storage thread for a check now (tests and start-up); the answer comes as
    // devicePresenceChanged and checkFinished.
    void requestCheck();

public slots:
    void setProductSerialNumber(QString ser_num);

signals:
    void devicePresenceChanged(StorageDevice dev, bool present);
    void productSerialNumberChanged(const QString &ser_num);
    void checkFinished();

private slots:
    void checkForDevices();
    void presenceReported(StorageDevice dev, bool present);

private:
    QThread *m_thread;
    MountTableScanner *m_scanner;
    QHash<int, bool> m_present;
    QString m_serialNumber = QStringLiteral("99999");
};
