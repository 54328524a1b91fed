#pragma once

#include "serializableclass.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

class ESData;

// Receives every settings text from the other unit and hands it to the right tree, forwards the
// trees' outgoing texts to the network side, supervises the link to the junction box, and runs the
// factory resets and the named setups on a storage device.
class SerializationController : public QObject
{
    Q_OBJECT

public:
    // The process-wide controller over ESData::instance(), with its supervision timer running.
    static SerializationController &instance();

    explicit SerializationController(ESData &data, QObject *parent = nullptr);

    static constexpr int supervisionIntervalMs = 1000;
    static constexpr int linkTimeoutSeconds = 10;

    void startSupervision() { m_supervisionTimer.start(); }
    void stopSupervision() { m_supervisionTimer.stop(); }
    bool isSupervising() const { return m_supervisionTimer.isActive(); }
    bool isLinkUp() const { return m_linkUp; }
    bool isSetupAccepted() const { return m_setupAccepted; }
    bool isNewConnection() const { return m_newConnection; }
    int secondsWithoutData() const { return m_secondsWithoutData; }

    // Factory resets; the lists of properties that keep their values are below.
    void restoreAllSetups();
    void restoreAllSetupsExceptIO();
    ExclusionMap sharedExclusions(bool keepCommunications) const;
    ExclusionMap localExclusions(bool keepCommunications) const;

    // Named setups live in this folder of the chosen logging device; empty when it is not present.
    QString savedSetupsDirectory() const;

signals:
    void refreasAll(qlonglong time_stamp);
    void sendDataForMark(const QString &data, const QStringList &destiantion_sfis);
    void commsToKX12StateChanged(bool comms_ok);
    void aboutToDeserializeCompleteSetup();
    void finishedDeserializingCompleteSetup(bool new_connection);
    // The junction box must be asked to pair again (a PAIR sentence).
    void pairingRequested();
    // Outgoing texts for the network side: single-property setup changes (tag "Type_Setup...",
    // acknowledged unless marked "NoAck"), runtime and alert texts, and complete setups.
    void setupChangeToSend(const QString &text);
    void runtimeChangeToSend(const QString &text);
    void completeSetupToSend(const QString &text, const QStringList &destinationSfis);

public slots:
    void deserializeData(const QString &data);
    void timerTimeout();
    void setConnectingToJb();
    void utcAndLocaDatelTimeUpdated();
    void utcTimeUpdated();
    void updateRuntimeInfoTime();
    // Storage side: which device (0 internal, 1 USB, 2 SD) is present.
    void esDevicePresenceChanged(int device, bool present);

private:
    void deserializeCompleteSetup(const QString &data);
    void setupSaveRequested(const QString &name);
    void setupRestoreRequested(const QString &name);
    void setupListRequested(int request);

    ESData &m_data;
    QTimer m_supervisionTimer;
    bool m_newConnection = false;
    int m_secondsWithoutData = 0;
    bool m_linkUp = true;
    bool m_setupAccepted = false;
    QSet<int> m_presentDevices;
};
