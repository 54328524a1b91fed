#include "storagedevicecontroller.h"

#include "rootpath.h"
#include "watchdogsingletonwrapper.h"

#include <QDebug>
#include <QFile>
#include <QThread>
#include <QTimer>

namespace kve {
QString storageMountPoint(StorageDevice dev)
{
    return rootPath(dev == StorageSd ? QStringLiteral("/media/sd0") : QStringLiteral("/media/usb0"));
}
}

namespace {
const char *const kMountTable = "/etc/mtab";
const StorageDevice kDevices[] = {StorageUsb, StorageSd};
}

MountTableScanner::MountTableScanner(const QString &mountTablePath, QObject *parent)
    : QObject(parent), m_mountTablePath(mountTablePath)
{
}

QStringList MountTableScanner::mountPoints(const QByteArray &mountTable)
{
    QStringList points;
    for (const QByteArray &line : mountTable.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2)
            points << QString::fromUtf8(fields.at(1));
    }
    return points;
}

void MountTableScanner::start(int intervalMsecs)
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        connect(m_timer, &QTimer::timeout, this, &MountTableScanner::checkForDevices);
    }
    m_timer->start(intervalMsecs);
    checkForDevices();
}

void MountTableScanner::checkForDevices()
{
    QFile table(m_mountTablePath);
    QStringList points;
    if (table.open(QIODevice::ReadOnly))
        points = mountPoints(table.readAll());
    // The table names the real mount points; under KVE_ROOT they are compared without the prefix.
    for (StorageDevice dev : kDevices) {
        const QString plain = dev == StorageSd ? QStringLiteral("/media/sd0") : QStringLiteral("/media/usb0");
        const bool present = points.contains(plain) || points.contains(kve::storageMountPoint(dev));
        if (m_present.value(dev, false) != present) {
            m_present[dev] = present;
            qDebug() << "Storage device presence changed:" << int(dev) << present;
            emit devicePresenceChanged(dev, present);
        }
    }
    emit checked();
}

StorageDeviceController::StorageDeviceController(QObject *parent, int checkIntervalMsecs)
    : QObject(parent)
    , m_thread(new QThread(this))
    , m_scanner(new MountTableScanner(kve::rootPath(QString::fromLatin1(kMountTable))))
{
    qRegisterMetaType<StorageDevice>("StorageDevice");
    m_thread->setObjectName(QStringLiteral("Storage device thread"));
    m_scanner->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_scanner, &QObject::deleteLater);
    connect(m_scanner, &MountTableScanner::devicePresenceChanged, this,
            &StorageDeviceController::presenceReported);
    connect(m_scanner, &MountTableScanner::checked, this, &StorageDeviceController::checkFinished);
    m_thread->start();
    WatchdogSingletonWrapper::instance().watchThread(m_thread, WatchdogKickMsecs, WatchdogTimeoutMsecs);
    QMetaObject::invokeMethod(m_scanner, "start", Qt::QueuedConnection, Q_ARG(int, checkIntervalMsecs));
}

StorageDeviceController::~StorageDeviceController()
{
    m_thread->quit();
    m_thread->wait();
}

QString StorageDeviceController::devicePath(StorageDevice dev) const
{
    return kve::storageMountPoint(dev) + QStringLiteral("/velmora/") + m_serialNumber;
}

void StorageDeviceController::requestCheck()
{
    checkForDevices();
}

void StorageDeviceController::setProductSerialNumber(QString ser_num)
{
    if (ser_num.isEmpty() || ser_num == m_serialNumber)
        return;
    m_serialNumber = ser_num;
    emit productSerialNumberChanged(m_serialNumber);
}

void StorageDeviceController::checkForDevices()
{
    QMetaObject::invokeMethod(m_scanner, "checkForDevices", Qt::QueuedConnection);
}

void StorageDeviceController::presenceReported(StorageDevice dev, bool present)
{
    m_present[dev] = present;
    emit devicePresenceChanged(dev, present);
}
