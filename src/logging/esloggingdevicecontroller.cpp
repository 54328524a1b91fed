#include "esloggingdevicecontroller.h"

#include "diskspacechecker.h"
#include "esstoragedevicecontroller.h"
#include "rootpath.h"
#include "unitclock.h"

#include <QDebug>
#include <QDir>
#include <QLocale>
#include <QFile>
#include <QSaveFile>

namespace {
const char *const kOrdinalKey = "Current_Ordinal_Number";
}

ESLoggingDeviceController::ESLoggingDeviceController(QObject *parent, int deviceCheckIntervalMsecs,
                                                     int diskCheckIntervalMsecs)
    : QObject(parent)
    , m_storage(new ESStorageDeviceController(this, deviceCheckIntervalMsecs))
    , m_checker(new DiskSpaceChecker(this))
    , m_rawChecker(new DiskSpaceChecker(this))
{
    qRegisterMetaType<QMap<enum_LogToDevice, qint64>>("QMap<enum_LogToDevice,qint64>");
    setUpChecker(m_checker);
    setUpChecker(m_rawChecker);
    connect(m_checker, &DiskSpaceChecker::diskFullSig, this,
            &ESLoggingDeviceController::diskSpaceAvailabilityChecked);
    connect(m_rawChecker, &DiskSpaceChecker::diskFullSig, this, &ESLoggingDeviceController::rawDataSpaceChecked);
    connect(m_storage, &ESStorageDeviceController::esDevicePresenceChanged, this,
            &ESLoggingDeviceController::devicePresenceChanged);
    connect(m_storage, &StorageDeviceController::productSerialNumberChanged, this,
            &ESLoggingDeviceController::updateDeviceInfo);

    m_diskTimer.setInterval(diskCheckIntervalMsecs);
    connect(&m_diskTimer, &QTimer::timeout, this, &ESLoggingDeviceController::checkNow);
    m_diskTimer.start();

    readOrdinalNumber();
    updateDeviceInfo();
}

void ESLoggingDeviceController::setUpChecker(DiskSpaceChecker *checker)
{
    checker->setFreeBytesMin(FreeBytesMin);
    checker->setFilters(QDir::Dirs | QDir::NoDotAndDotDot);
    checker->setSortFlags(QDir::Name);
    checker->setRawDataReservedBytesMax(RawDataReservedBytes);
}

bool ESLoggingDeviceController::isDevicePresent(enum_LogToDevice dev) const
{
    return dev == LogToInternal || m_present.value(dev, false);
}

enum_LogToDevice ESLoggingDeviceController::rawDataDevice() const
{
    if (m_device == LogToUsb || m_device == LogToSd)
        return isDevicePresent(m_device) ? m_device : LogToInternal;
    for (enum_LogToDevice dev : {LogToUsb, LogToSd}) {
        if (isDevicePresent(dev))
            return dev;
    }
    return LogToInternal;
}

QString ESLoggingDeviceController::logPath() const
{
    return logPath(m_device);
}

QString ESLoggingDeviceController::logPath(enum_LogToDevice dev) const
{
    const QString serial = m_storage->productSerialNumber();
    switch (dev) {
    case LogToUsb:
        return m_storage->devicePath(StorageUsb) + QStringLiteral("/Logs");
    case LogToSd:
        return m_storage->devicePath(StorageSd) + QStringLiteral("/Logs");
    case LogToInternal:
        break;
    }
    return kve::rootPath(QStringLiteral("/opt/velmora")) + QLatin1Char('/') + serial + QStringLiteral("/Logs");
}

QString ESLoggingDeviceController::newLogFolderName() const
{
    return QStringLiteral("/Log_n%1_utc%2")
        .arg(m_ordinalNumber)
        .arg(QLocale::c().toString(UnitClock::instance().currentDateTimeUtc(), QStringLiteral("yyyy_MMM_dd-hh_mm_ss")));
}

QString ESLoggingDeviceController::ordinalNumberFilePath()
{
    return kve::rootPath(QStringLiteral("/opt/Logging_Ordinal_Number"));
}

void ESLoggingDeviceController::incrementOrdinalNumber()
{
    ++m_ordinalNumber;
    writeOrdinalNumber();
    emit ordinalNumberChanged(m_ordinalNumber);
}

void ESLoggingDeviceController::setLoggingDevice(enum_LogToDevice dev)
{
    if (dev != LogToInternal && dev != LogToUsb && dev != LogToSd) {
        qDebug() << "Unknown logging device:" << int(dev);
        return;
    }
    if (dev == m_device)
        return;
    m_device = dev;
    updateDeviceInfo();
}

void ESLoggingDeviceController::checkNow()
{
    if (isDevicePresent(m_device))
        m_checker->checkDiskSpace();
    if (!m_rawChecker->path().isEmpty())
        m_rawChecker->checkDiskSpace();
}

void ESLoggingDeviceController::rawDataWriteFailed()
{
    m_rawRepublish = true;
    // A write fails first when a stick is pulled: look at the mount table at once.
    m_storage->requestCheck();
}

void ESLoggingDeviceController::devicePresenceChanged(enum_LogToDevice dev, bool present)
{
    m_present[dev] = present;
    if (dev == m_device)
        updateDeviceInfo();
    else
        updateRawDataDeviceInfo();
}

void ESLoggingDeviceController::updateRawDataDeviceInfo()
{
    const enum_LogToDevice dev = rawDataDevice();
    const QString path = dev == LogToInternal ? QString() : logPath(dev);
    if (path.isEmpty()) {
        m_rawChecker->setPath(QString());
        publishRawData(false, QString());
        return;
    }
    // Nothing is written until the device has been measured.
    if (m_rawChecker->path() != path)
        publishRawData(false, QString());
    m_rawChecker->setPath(path);
    m_rawChecker->checkDiskSpace();
}

void ESLoggingDeviceController::rawDataSpaceChecked(bool is_disk_full, bool is_reserved_space_available)
{
    const enum_LogToDevice dev = rawDataDevice();
    if (dev == LogToInternal || m_rawChecker->path() != logPath(dev))
        return;
    publishRawData(!is_disk_full && is_reserved_space_available, logPath(dev));
}

void ESLoggingDeviceController::publishRawData(bool possible, const QString &path)
{
    if (m_rawPublished && !m_rawRepublish && possible == m_rawPossible && path == m_rawPath)
        return;
    m_rawPublished = true;
    m_rawRepublish = false;
    m_rawPossible = possible;
    m_rawPath = path;
    if (possible)
        QDir().mkpath(path); // the device folder, below which the logger makes its own
    emit rawDataDeviceInfoChanged(possible, path);
}

void ESLoggingDeviceController::updateDeviceInfo()
{
    updateRawDataDeviceInfo();
    if (!isDevicePresent(m_device)) {
        m_checker->setPath(QString());
        publish(false, false, QString());
        return;
    }
    // Nothing is written until the new device has been measured.
    if (m_checker->path() != logPath())
        publish(false, false, QString());
    m_checker->setPath(logPath());
    m_checker->checkDiskSpace();
}

void ESLoggingDeviceController::diskSpaceAvailabilityChecked(bool is_disk_full, bool is_reserved_space_available)
{
    qDebug().noquote() << QStringLiteral("Disk full: ") + QLatin1String(is_disk_full ? "true" : "false");
    if (!isDevicePresent(m_device) || m_checker->path() != logPath())
        return;
    publish(!is_disk_full, !is_disk_full && is_reserved_space_available, logPath());
}

void ESLoggingDeviceController::publish(bool loggingSpace, bool reservedSpace, const QString &path)
{
    if (m_published && loggingSpace == m_loggingSpace && reservedSpace == m_reservedSpace
        && path == m_publishedPath)
        return;
    m_published = true;
    m_loggingSpace = loggingSpace;
    m_reservedSpace = reservedSpace;
    m_publishedPath = path;
    if (loggingSpace)
        QDir().mkpath(path); // the device folder, below which each logger makes its own
    emit deviceInfoChanged(loggingSpace, reservedSpace, path);
}

void ESLoggingDeviceController::readOrdinalNumber()
{
    QFile file(ordinalNumberFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == QLatin1String(kOrdinalKey)) {
            bool ok = false;
            const int n = line.mid(eq + 1).trimmed().toInt(&ok);
            if (ok && n >= 0)
                m_ordinalNumber = n;
            else
                qDebug().noquote() << QStringLiteral("Unreadable logging ordinal number: ") + line;
        }
    }
}

void ESLoggingDeviceController::writeOrdinalNumber() const
{
    const QString path = ordinalNumberFilePath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug().noquote() << QStringLiteral("Can't write logging ordinal number file: ") + path;
        return;
    }
    file.write(QByteArray(kOrdinalKey) + '=' + QByteArray::number(m_ordinalNumber) + '\n');
    if (!file.commit())
        qDebug().noquote() << QStringLiteral("Can't write logging ordinal number file: ") + path;
}
