#include "settingslinksupervisor.h"

#include "settingsvariants.h"

#include <QDebug>

SettingsLinkSupervisor::SettingsLinkSupervisor(RuntimeSerializableClass *runtime, QObject *parent)
    : QObject(parent), m_runtime(runtime)
{
    m_timer.setInterval(supervisionIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &SettingsLinkSupervisor::timerTimeout);
}

void SettingsLinkSupervisor::timerTimeout()
{
    if (m_runtime)
        m_runtime->increaseValidityCounters();
    checkLink();
}

void SettingsLinkSupervisor::checkLink()
{
    ++m_secondsWithoutData;
    if (m_secondsWithoutData <= linkTimeoutSeconds)
        return;
    if (m_linkUp) {
        emit commsToKX12StateChanged(false);
        if (m_runtime)
            m_runtime->resetValues();
    }
    m_linkUp = false;
    m_setupAccepted = false;
    emit pairingRequested();
    m_secondsWithoutData = 0;
}

void SettingsLinkSupervisor::setConnectingToJb()
{
    m_newConnection = true;
}

void SettingsLinkSupervisor::dataReceived()
{
    if (m_setupAccepted)
        m_secondsWithoutData = 0;
}

void SettingsLinkSupervisor::completeSetupRead(bool accepted)
{
    m_setupAccepted = accepted;
    if (!accepted) {
        qDebug() << "Deserialization of setups failed, sending new PAIR message...";
        m_secondsWithoutData = linkTimeoutSeconds;
        checkLink();
        return;
    }
    m_secondsWithoutData = 0;
    if (!m_linkUp) {
        m_linkUp = true;
        emit commsToKX12StateChanged(true);
    }
    const bool newConnection = m_newConnection;
    m_newConnection = false;
    emit completeSetupAccepted(newConnection);
}
