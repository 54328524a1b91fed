#include "centralbaseclass.h"

#include "networkselectwidget.h"
#include "systeminformation.h"
#include "unitclock.h"
#include "watchdog.h"
#include "watchdogsingletonwrapper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include <cstdlib>

namespace {
QString &currentInterfaceStorage()
{
    static QString name;
    return name;
}
}

CentralBaseClass::CentralBaseClass(QObject *parent)
    : QObject(parent)
    , m_networkSelect(new NetworkSelectWidget)
{
    connect(m_networkSelect, &NetworkSelectWidget::networkName, this,
            &CentralBaseClass::onInterfaceConfirmed);
    createWatchdog();
}

CentralBaseClass::~CentralBaseClass()
{
    if (m_watchdogThread) {
        if (m_watchdog)
            m_watchdog->deleteLater();
        m_watchdogThread->quit();
        m_watchdogThread->wait(1000);
    }
    delete m_mainScreen;
    delete m_networkSelect;
}

QString CentralBaseClass::currentInterfaceName()
{
    return currentInterfaceStorage();
}

void CentralBaseClass::start(const QStringList &args)
{
    m_args = StartupArguments::scan(args, [this](const QString &arg) { handleUnrecognisedArgument(arg); });

    if (!m_args.loadMessage.isEmpty())
        m_networkSelect->setLoadMessage(m_args.loadMessage);

    if (m_args.loadNetInterface) {
        const QString fromFile = NetInterfaceFile::load();
        if (!fromFile.isEmpty())
            m_args.interfaceName = fromFile;
    }

    if (NetworkSelectWidget::isInterfaceUp(m_args.interfaceName)) {
        m_networkSelect->showLoading();
        m_networkSelect->show();
        QCoreApplication::processEvents();
        construct(m_args.interfaceName, m_args.maximizeWindow, m_args.framelessWindow);
        m_networkSelect->close();
        return;
    }

    if (!m_args.interfaceName.isEmpty())
        qDebug().noquote() << "Network interface not up: " + m_args.interfaceName;
    m_state = State::WaitingForInterface;
    m_networkSelect->show();
}

void CentralBaseClass::onInterfaceConfirmed(const QString &name)
{
    if (m_state == State::Constructed)
        return;
    if (m_args.saveNetInterface && !NetInterfaceFile::save(name))
        qDebug().noquote() << "Cannot write the file " + NetInterfaceFile::fileName();
    construct(name, m_args.maximizeWindow, m_args.framelessWindow);
    m_networkSelect->close();
}

void CentralBaseClass::constructCentralBaseClass(QString intrfaceName)
{
    construct(intrfaceName, m_args.maximizeWindow, m_args.framelessWindow);
}

void CentralBaseClass::constructCentralBaseClass()
{
    construct(m_interfaceName, m_args.maximizeWindow, m_args.framelessWindow);
}

void CentralBaseClass::construct(const QString &interfaceName, bool maximize, bool frameless)
{
    m_interfaceName = interfaceName;
    currentInterfaceStorage() = interfaceName;

    constructSystem(interfaceName);
    if (!m_mainScreen)
        m_mainScreen = createMainScreen();

    m_mainScreen->setWindowTitle(QStringLiteral("Velmora Vantis Series - ")
                                 + SystemInformation::instance().displayName());
    if (frameless)
        m_mainScreen->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    m_mainScreen->show();
    QCoreApplication::processEvents();

    afterDisplayShown();
    afterLocalSfiWiring();

    if (maximize)
        m_mainScreen->showMaximized();

    QThread::currentThread()->setObjectName(QStringLiteral("Main thread"));
    if (!m_mainThreadRegistered) {
        WatchdogSingletonWrapper::instance().registerThread(QThread::currentThread(), 1000, 15000,
                                                            QStringLiteral("Main thread"));
        m_mainThreadRegistered = true;
    }
    m_state = State::Constructed;
    emit systemConstructed();
}

void CentralBaseClass::constructSystem(const QString &)
{
    qDebug().noquote() << "Initialize signal extender: ";
}

void CentralBaseClass::handleUnrecognisedArgument(const QString &) {}
void CentralBaseClass::afterDisplayShown() {}
void CentralBaseClass::afterLocalSfiWiring() {}

QString CentralBaseClass::dataDirectory()
{
    return QDir::currentPath();
}

void CentralBaseClass::createWatchdog()
{
    // The watchdog is process-wide; a second system object in the same process (tests) shares it.
    static bool created = false;
    if (created)
        return;
    created = true;
    m_watchdogThread = new QThread(this);
    m_watchdogThread->setObjectName(QStringLiteral("Watchdog thread"));
    auto *watchdog = new Watchdog(dataDirectory());
    watchdog->moveToThread(m_watchdogThread);
    connect(m_watchdogThread, &QThread::finished, watchdog, &QObject::deleteLater);
    m_watchdog = watchdog;
    m_watchdogThread->start(QThread::InheritPriority);
    WatchdogSingletonWrapper::instance().setWatchdog(watchdog);
}

QString CentralBaseClass::restartCommandLine(const QString &programPath, const QString &interfaceName)
{
    return QLatin1Char('"') + programPath + QLatin1Char('"') + QStringLiteral(" spec-net-interface ")
        + interfaceName + QStringLiteral(" load-msg ")
        + QStringLiteral("\"Restarting application with new system type...\"");
}

void CentralBaseClass::restartApplication()
{
    const QString command = restartCommandLine(QCoreApplication::applicationFilePath(), currentInterfaceName());
    qDebug().noquote() << "Restart command: " + command;
    QProcess::startDetached(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("spec-net-interface"), currentInterfaceName(),
                             QStringLiteral("load-msg"),
                             QStringLiteral("Restarting application with new system type...")});
    std::exit(0);
}

void CentralBaseClass::setCurrentUtcDateTime(QString date_time)
{
    QDateTime utc = QDateTime::fromString(date_time, Qt::ISODate);
    if (!utc.isValid())
        return;
    if (utc.timeSpec() == Qt::LocalTime)
        utc.setTimeSpec(Qt::UTC);
    UnitClock::instance().setCurrentDateTimeUtc(utc);
}

void CentralBaseClass::setUtcToLocalDateTimeSecsOffset(int offset, bool is_valid)
{
    UnitClock::instance().setUtcToLocalOffsetSecs(offset, is_valid);
}
