#include "kvesystem.h"

#include "basescreen.h"
#include "hardware.h"

KveSystem::KveSystem(QObject *parent)
    : CentralBaseClass(parent)
{
}

KveSystem::~KveSystem() = default;

BaseScreen *KveSystem::baseScreen() const
{
    return static_cast<BaseScreen *>(m_mainScreen);
}

void KveSystem::handleUnrecognisedArgument(const QString &arg)
{
    if (arg.contains(QLatin1String("kve-simulation-control")))
        m_simulationControlRequested = true;
}

void KveSystem::constructSystem(const QString &interfaceName)
{
    CentralBaseClass::constructSystem(interfaceName);
    if (!m_hardware) {
        m_hardware = new Hardware(this);
        m_hardware->init();
    }
    if (!m_mainScreen)
        m_mainScreen = createMainScreen();
    baseScreen()->setInterfaceName(interfaceName);
}

QWidget *KveSystem::createMainScreen()
{
    return new BaseScreen;
}

void KveSystem::afterDisplayShown() {}

void KveSystem::afterLocalSfiWiring() {}
