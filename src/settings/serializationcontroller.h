#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "settingsresets.h"

class ESData;
class NamedSetups;
class SettingsDispatcher;
class SettingsLinkSupervisor;

// The settings side of the link to the other unit, one for the whole program. It puts together the
// four jobs, each a class of its own: routing settings texts between the trees and the network
// (dispatcher), supervising the link to the junction box (link), the factory resets (resets) and
// the named setups on a storage device (namedSetups).
class SerializationController : public QObject
{
    Q_OBJECT

public:
    // The process-wide controller over ESData::instance(), with its link supervision running.
    static SerializationController &instance();

    explicit SerializationController(ESData &data, QObject *parent = nullptr);

    SettingsDispatcher *dispatcher() const { return m_dispatcher; }
    SettingsLinkSupervisor *link() const { return m_link; }
    SettingsResets &resets() { return m_resets; }
    NamedSetups *namedSetups() const { return m_namedSetups; }

signals:
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

private:
    SettingsResets m_resets;
    SettingsDispatcher *m_dispatcher;
    SettingsLinkSupervisor *m_link;
    NamedSetups *m_namedSetups;
};
