#include "peercommandcontroller.h"

#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"

#include <QDebug>

PeerCommandController::PeerCommandController(ESData &data, NmeaHandlerContainer &handlers, QObject *parent)
    : QObject(parent)
    , m_data(data)
{
    // A sleep request counts only when it names the box this unit is paired with.
    HandlerPztqSlp *sleep = handlers.find<HandlerPztqSlp>();
    CU_R710_Setup *display = data.localSetup()->DisplaySetup();
    sleep->setTargetSfiProvider([display] { return display->PairedSFI(); });
    connect(sleep, &HandlerPztqSlp::operatingModeRequested, this, &PeerCommandController::setOperatingMode);
    connect(handlers.find<HandlerPztqIcm>(), &HandlerPztqIcm::operatingModeRequested, this,
            &PeerCommandController::setOperatingMode);
    connect(handlers.find<HandlerPztqMaca>(), &HandlerPztqMaca::macAddressReceived, this,
            &PeerCommandController::storeMacAddress);
    HandlerPztqReboot *reboot = handlers.find<HandlerPztqReboot>();
    connect(reboot, &HandlerPztqReboot::rebootRequested, this, [](const QString &source, const QString &description) {
        qDebug().noquote() << "Reboot requested by " + source + ": " + description;
    });
    connect(reboot, &HandlerPztqReboot::restartApplication, this, &PeerCommandController::restartRequested);
}

void PeerCommandController::setOperatingMode(int mode)
{
    ESKX12Setup *box = m_data.setup()->KX12Setup();
    if (box->SystemInNormalOrStandbyMode() != mode) {
        box->setSystemInNormalOrStandbyMode(mode);
        box->setValid(QStringLiteral("SystemInNormalOrStandbyMode"), true);
    }
    box->serializeSingleProperty(QStringLiteral("SystemInNormalOrStandbyMode"));
}

void PeerCommandController::storeMacAddress(const QString &mac)
{
    CU_R710_Setup *display = m_data.localSetup()->DisplaySetup();
    display->setMacAddress(mac);
    display->setValid(QStringLiteral("MacAddress"), true);
    display->writeToFile();
}
