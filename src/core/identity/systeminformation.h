#pragma once

#include <QString>

// The fixed identity of this build: which unit the software runs on, in which role, on which
// platform and for which product. Everything that behaves differently per unit or platform asks here.
class SystemInformation
{
public:
    static const SystemInformation &instance();

    QString hardware() const { return m_hardware; }
    QString software() const { return m_software; }
    QString platform() const { return m_platform; }
    QString product() const { return m_product; }
    QString talker() const { return m_talker; }
    QString furtherIdentity() const { return m_furtherIdentity; }
    QString displayName() const { return m_displayName; }
    static QString softwareVersion();

    bool isHardwareJb() const { return m_hardwareJb; }
    bool isHardwareCu() const { return m_hardwareCu; }
    bool isSoftwareJb() const { return m_softwareJb; }
    bool isSoftwareCu() const { return m_softwareCu; }
    bool isPlatformWindows() const { return m_platformWindows; }
    bool isPlatformLinux() const { return m_platformLinux; }
    bool isKve410() const { return m_kve410; }
    bool isKve420() const { return m_kve420; }
    bool isKve430() const { return m_kve430; }
    bool isOrblog3100() const { return m_orblog3100; }
    bool isOrblog3200() const { return m_orblog3200; }
    bool isVs2() const { return m_vs2; }
    bool reservedFlag() const { return m_reserved; }

    // Display name of a product identifier; empty for an unknown product.
    static QString displayNameForProduct(const QString &product);

    SystemInformation(const QString &hardware, const QString &software, const QString &platform,
                      const QString &product);

    // True when exactly one product flag is set; a record without one cannot run.
    bool isProductInitialized() const;

private:
    QString m_hardware;
    QString m_software;
    QString m_platform;
    QString m_product;
    QString m_talker = QStringLiteral("SD");
    QString m_furtherIdentity = QStringLiteral("161");
    QString m_displayName;
    bool m_hardwareJb = false;
    bool m_hardwareCu = false;
    bool m_softwareJb = false;
    bool m_softwareCu = false;
    bool m_platformWindows = false;
    bool m_platformLinux = false;
    bool m_kve410 = false;
    bool m_kve420 = false;
    bool m_kve430 = false;
    bool m_orblog3100 = false;
    bool m_orblog3200 = false;
    bool m_vs2 = false;
    bool m_reserved = false;
};
