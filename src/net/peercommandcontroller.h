#pragma once

#include <QObject>

class ESData;
class NmeaHandlerContainer;

// Carries out what the peer units command over the network: the sleep request of the bridge
// alert system and the command that ends it switch the operating mode of the echo sounder and
// report it back; a MAC address is stored as the unit's own; a reboot request ends in a restart
// of the program. (Error counter requests are answered by their handler alone.)
class PeerCommandController : public QObject
{
    Q_OBJECT
public:
    PeerCommandController(ESData &data, NmeaHandlerContainer &handlers, QObject *parent = nullptr);

    // 1 standby, 0 normal: stored with its change signal when it differs, then reported to the
    // peers as the single-property text of "SystemInNormalOrStandbyMode" in any case.
    void setOperatingMode(int mode);
    void storeMacAddress(const QString &mac);

signals:
    // The program is to restart itself with its restart command.
    void restartRequested();

private:
    ESData &m_data;
};
