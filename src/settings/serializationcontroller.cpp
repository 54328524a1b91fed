#include "serializationcontroller.h"

#include "esdata.h"
#include "esruntime.h"
#include "namedsetups.h"
#include "settingsdispatcher.h"
#include "settingslinksupervisor.h"

SerializationController &SerializationController::instance()
{
    static SerializationController *controller = [] {
        auto *c = new SerializationController(ESData::instance());
        c->link()->start();
        return c;
    }();
    return *controller;
}

SerializationController::SerializationController(ESData &data, QObject *parent)
    : QObject(parent),
      m_resets(data),
      m_dispatcher(new SettingsDispatcher(data, this)),
      m_link(new SettingsLinkSupervisor(data.runtime(), this)),
      m_namedSetups(new NamedSetups(data, m_resets, this))
{
    connect(m_dispatcher, &SettingsDispatcher::textReceived, m_link, &SettingsLinkSupervisor::dataReceived);
    connect(m_dispatcher, &SettingsDispatcher::completeSetupRead, m_link, &SettingsLinkSupervisor::completeSetupRead);
    connect(m_dispatcher, &SettingsDispatcher::aboutToDeserializeCompleteSetup, this,
            &SerializationController::aboutToDeserializeCompleteSetup);
    connect(m_dispatcher, &SettingsDispatcher::setupChangeToSend, this, &SerializationController::setupChangeToSend);
    connect(m_dispatcher, &SettingsDispatcher::runtimeChangeToSend, this, &SerializationController::runtimeChangeToSend);
    connect(m_dispatcher, &SettingsDispatcher::completeSetupToSend, this, &SerializationController::completeSetupToSend);
    connect(m_dispatcher, &SettingsDispatcher::sendDataForMark, this, &SerializationController::sendDataForMark);

    connect(m_link, &SettingsLinkSupervisor::commsToKX12StateChanged, this, &SerializationController::commsToKX12StateChanged);
    connect(m_link, &SettingsLinkSupervisor::pairingRequested, this, &SerializationController::pairingRequested);
    connect(m_link, &SettingsLinkSupervisor::completeSetupAccepted, this,
            &SerializationController::finishedDeserializingCompleteSetup);
}

void SerializationController::deserializeData(const QString &data)
{
    m_dispatcher->deserializeData(data);
}

void SerializationController::timerTimeout()
{
    m_link->timerTimeout();
}

void SerializationController::setConnectingToJb()
{
    m_link->setConnectingToJb();
}

