#pragma once

#include <QObject>
#include <QStringList>

// The system function identifiers known on the ship network, and those connected to this unit.
// On the control unit the connected list holds at most one entry: the paired junction box.
class ListOfSfisOnNetwork : public QObject
{
    Q_OBJECT
public:
    explicit ListOfSfisOnNetwork(QObject *parent = nullptr);
    static ListOfSfisOnNetwork &instance();

    QString localSfi() const { return m_localSfi; }
    QStringList connectedSfis() const { return m_connected; }
    QStringList sfisOnNetwork() const { return m_onNetwork; }
    // The unit this one pairs with (the stored paired SFI), whether it is connected yet or not:
    // settings traffic is addressed to it even while it is not connected.
    QString pairedSfi() const { return m_pairedSfi; }

public slots:
    void addSfi(QString sfi);
    void removeSfi(QString sfi);
    void connectSfi(QString sfi);
    void disconnectSfi(QString sfi);
    void deviceOnNetworkChangedLocalSfi(QString new_sfi, QString old_sfi);
    void setLocalSfi(QString local_sfi) { externalLocalSfiChanged(local_sfi); }
    void setPairedSfi(QString sfi) { m_pairedSfi = sfi; }

signals:
    void connectedSfisChanged(QStringList sfis);
    void localSfiChanged(QString sfi);
    // Junction-box role only; unused on the control unit.
    void commsToDisplayStateChanged(bool comms_ok);
    void newDisplayConnected(QString sfi);

private slots:
    void externalLocalSfiChanged(QString local_sfi);

private:
    QString m_localSfi;
    QString m_pairedSfi;
    QStringList m_onNetwork;
    QStringList m_connected;
};
