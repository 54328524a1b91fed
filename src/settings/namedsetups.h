#pragma once

#include "esenums.h"

#include <QObject>
#include <QSet>
#include <QString>

class ESData;
class SettingsResets;

// Shared settings saved under a name on the logging device (USB stick or SD card) and loaded again,
// driven by the operator's requests in the options setup (SetupSave, SetupRestore,
// RequestAvailableSetupsList). Only the device chosen for logging counts, and only while present.
class NamedSetups : public QObject
{
    Q_OBJECT

public:
    NamedSetups(ESData &data, const SettingsResets &resets, QObject *parent = nullptr);

    // The folder of the saved setups on the chosen device; empty when it is not present.
    QString savedSetupsDirectory() const;

public slots:
    // From the storage side: a removable device came or went.
    void setDevicePresent(enum_LogToDevice device, bool present);

private:
    // The folder of a named setup on the chosen device; empty (and logged) when there is no device
    // or the name is not a plain folder name.
    QString setupFolder(const QString &name) const;
    void saveRequested(const QString &name);
    void restoreRequested(const QString &name);
    void listRequested(int request);

    ESData &m_data;
    const SettingsResets &m_resets;
    QSet<int> m_presentDevices;
};
