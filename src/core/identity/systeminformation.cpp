#include "systeminformation.h"

#include <QDebug>
#include <QString>
#include <cstdlib>

#ifndef KVE_SOFTWARE_VERSION
#define KVE_SOFTWARE_VERSION "1.0.0"
#endif

namespace {
const char *const kHardware = "CU";
const char *const kSoftware = "CU";
const char *const kPlatform = "WINDOWS";
const char *const kProduct = "KVE420";
}

SystemInformation::SystemInformation(const QString &hardware, const QString &software,
                                     const QString &platform, const QString &product)
    : m_hardware(hardware)
    , m_software(software)
    , m_platform(platform)
    , m_product(product)
    , m_displayName(displayNameForProduct(product))
    , m_hardwareJb(hardware == QLatin1String("JB"))
    , m_hardwareCu(hardware == QLatin1String("CU"))
    , m_softwareJb(software == QLatin1String("JB"))
    , m_softwareCu(software == QLatin1String("CU"))
    , m_platformWindows(platform == QLatin1String("WINDOWS"))
    , m_platformLinux(platform == QLatin1String("LINUX"))
    , m_kve410(product == QLatin1String("KVE410"))
    , m_kve420(product == QLatin1String("KVE420"))
    , m_kve430(product == QLatin1String("KVE430"))
    , m_orblog3100(product == QLatin1String("ORBLOG3100"))
    , m_orblog3200(product == QLatin1String("ORBLOG3200"))
    , m_vs2(product == QLatin1String("VS2"))
{
}

bool SystemInformation::isProductInitialized() const
{
    return m_kve410 || m_kve420 || m_kve430 || m_orblog3100 || m_orblog3200 || m_vs2;
}

QString SystemInformation::displayNameForProduct(const QString &product)
{
    if (product == QLatin1String("KVE410"))
        return QStringLiteral("KVE 410");
    if (product == QLatin1String("KVE420"))
        return QStringLiteral("KVE 420");
    if (product == QLatin1String("KVE430"))
        return QStringLiteral("KVE 430");
    if (product == QLatin1String("ORBLOG3100"))
        return QStringLiteral("ORBLOG OD47");
    if (product == QLatin1String("ORBLOG3200"))
        return QStringLiteral("ORBLOG OL3200");
    if (product == QLatin1String("VS2"))
        return QStringLiteral("VS2");
    return QString();
}

QString SystemInformation::softwareVersion()
{
    return QStringLiteral(KVE_SOFTWARE_VERSION);
}

const SystemInformation &SystemInformation::instance()
{
    static const SystemInformation info = [] {
        SystemInformation created(QString::fromLatin1(kHardware), QString::fromLatin1(kSoftware),
                                  QString::fromLatin1(kPlatform), QString::fromLatin1(kProduct));
        const QString frame(62, QLatin1Char('W'));
        qDebug().noquote() << frame;
        qDebug().noquote() << "Product: " + created.displayName();
        qDebug().noquote() << "Hardware: " + created.hardware();
        qDebug().noquote() << "Software: " + created.software();
        qDebug().noquote() << frame;
        if (!created.isProductInitialized()) {
            qDebug().noquote() << "SystemInformation::SystemInformation() - PRODUCT TYPE NOT INITIALIZED!!!";
            std::exit(1);
        }
        return created;
    }();
    return info;
}
