#include "centralbaseclass.h"

#include "communicationforwardingcontroller.h"
#include "alertsound.h"
#include "buzzer.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "hardware.h"
#include "looptest.h"
#include "networkselectwidget.h"
#include "networkstack.h"
#include "pairingcontroller.h"
#include "peercommandcontroller.h"
#include "portsetupadapter.h"
#include "remotedimming.h"
#include "nmeacontroller.h"
#include "nmeahandlercontainer.h"
#include "nmeahandlers.h"
#include "nmeaperiodicalsender.h"
#include "nmeaports.h"
#include "nmeaportscommunicationcontroller.h"
#include "serializationcontroller.h"
#include "settingslinksupervisor.h"
#include "signalemitter.h"
#include "systeminformation.h"
#include "unitclock.h"
#include "watchdog.h"
#include "watchdogsingletonwrapper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>


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
    delete m_serialPorts;
}

QString CentralBaseClass::currentInterfaceName()
{
    return currentInterfaceStorage();
}

void CentralBaseClass::start(const QStringList &args)
{
    qDebug().noquote() << StartupArguments::usage();
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
    m_networkSelect->showSelection();
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

void CentralBaseClass::construct(const QString &interfaceName, bool maximize, bool frameless)
{
    m_interfaceName = interfaceName;
    currentInterfaceStorage() = interfaceName;

    constructSystem(interfaceName);
    if (!m_mainScreen)
        m_mainScreen = createMainScreen();

    // Settings supervision and the multicast groups of the display's transmission group.
    SerializationController::instance().link()->start();
    if (m_network)
        m_network->start(ESData::instance().localSetup()->DisplaySetup()->Group());

    m_mainScreen->setWindowTitle(QStringLiteral("Velmora Vantis Series - ")
                                 + SystemInformation::instance().displayName());
    if (frameless)
        m_mainScreen->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    m_mainScreen->show();
    if (m_network)
        m_network->enableReception();
    QCoreApplication::processEvents();
    connect(ESData::instance().localSetup()->DisplaySetup(), &CU_R710_Setup::LocalSFIChanged, this,
            &CentralBaseClass::displayLocalSfiChanged, Qt::UniqueConnection);
    SignalEmitter::instance().signalNmeaMessageTypeAndPortAndId(
        QStringLiteral("SRP"), UDP, QString());

    afterDisplayShown();
    ESKX12Setup *jb = ESData::instance().setup()->KX12Setup();
    connect(jb, &ESKX12Setup::LocalSFIChanged, this, &CentralBaseClass::jbLocalSfiChanged,
            Qt::UniqueConnection);
    if (m_network)
        connect(ESData::instance().localSetup()->DisplaySetup(), &CU_R710_Setup::GroupChanged, m_network,
                &NetworkStack::changeGroup, Qt::UniqueConnection);
    afterLocalSfiWiring();

    if (maximize) {
        // Without a window manager nobody acts on the maximised state: the window takes the
        // screen's area itself, so that a bare bridge display is filled all the same.
        if (QScreen *screen = m_mainScreen->screen())
            m_mainScreen->setGeometry(screen->availableGeometry());
        m_mainScreen->showMaximized();
    }

    QThread::currentThread()->setObjectName(QStringLiteral("Main thread"));
    if (!m_mainThreadRegistered) {
        WatchdogSingletonWrapper::instance().registerThread(QThread::currentThread(), 1000, 15000,
                                                            QStringLiteral("Main thread"));
        m_mainThreadRegistered = true;
    }
    m_state = State::Constructed;
}

void CentralBaseClass::constructSystem(const QString &interfaceName)
{
    qDebug().noquote() << "Initialize signal extender: ";
    NmeaHandlerContainer::instance();
    ESData &data = ESData::instance();

    m_groupCheckTimer = new QTimer(this);
    m_groupCheckTimer->setInterval(10000);
    connect(m_groupCheckTimer, &QTimer::timeout, this, &CentralBaseClass::changeNmeaGroup);
    m_groupCheckTimer->start();
    SerializationController &settingsLink = SerializationController::instance();

    // Serial lines: the devices that the command line names, served from now on at the rates of the
    // port setup; lines without a device stay idle.
    m_serialPorts = new NmeaPorts;
    for (auto it = m_args.serialDevices.cbegin(); it != m_args.serialDevices.cend(); ++it)
        m_serialPorts->setDeviceName(it.key(), it.value());
    m_loopTest = new LoopTest(this);
    if (!m_hardware) {
        m_hardware = new Hardware(this);
        m_hardware->addInitStep([this] { return m_loopTest->init(); });
        m_hardware->init();
    }
    m_serialController = new NmeaPortsCommunicationController(m_serialPorts, m_loopTest, this);
    connectLoopTest(data.localSetup()->OtherLocalSettings());

    NetworkStack::Options options;
    options.interfaceName = interfaceName;
    options.handlePairingSentences = false;
    m_network = new NetworkStack(options, nullptr, this);
    m_forwarding = new CommunicationForwardingController(this);
    connect(m_network, &NetworkStack::ignoredInputReceived, m_forwarding,
            &CommunicationForwardingController::addIgnoredInput);
    connect(m_network->pairing(), &PairingController::pairingAcknowledged, this,
            [](const QString &sfi) { qDebug().noquote() << "Pairing acknowledged by " + sfi; });
    m_nmeaController = new NmeaController(this);
    // Lines relayed with their status go to the communication monitor, gathered in batches.
    connect(m_nmeaController, &NmeaController::lineRelayed, m_forwarding,
            [this](const QString &line, Port, int status) { m_forwarding->addCommunicationInformation(line, status, false); });
    m_periodicalSender = new NmeaPeriodicalSender(this, NmeaController::lineCount);
    m_portSetup = new PortSetupAdapter(data.setup()->CommunicationsSetup(), m_serialPorts, this);
    m_portSetup->applyAll();
    m_serialPorts->startAll();
    // A valid date and time received (ZDA) sets the unit's clock.
    connect(NmeaHandlerContainer::instance().find<HandlerZda>(), &HandlerZda::utcDateTimeReceived, this,
            &CentralBaseClass::setCurrentUtcDateTime);
    // The bridge's dimming system sets the screens' lighting (DDC).
    auto *dimming = new RemoteDimmingFollower(data.localSetup()->DimmingSetup(), this);
    connect(NmeaHandlerContainer::instance().find<HandlerDdc>(), &HandlerDdc::dimmingReceived, dimming,
            &RemoteDimmingFollower::dimmingReceived);

    // Sentences out: the send path to the network and the serial lines. Received groups reach the
    // receive path by operating mode (connectSentencePaths).
    connect(m_nmeaController, &NmeaController::nmeaGroupReadyToBeSentOverUdp, m_network,
            &NetworkStack::sendNmeaGroup);
    connect(m_nmeaController, &NmeaController::nmeaGroupReadyToBeSentOverSerialPort, m_serialController,
            &NmeaPortsCommunicationController::sendNmeaGroupOverSerialPort);
    // Pairing sentences and the peers' commands pass the sentence paths like any other sentence.
    m_network->connectSentencePaths(NmeaHandlerContainer::instance(), SignalEmitter::instance());
    m_peerCommands = new PeerCommandController(data, NmeaHandlerContainer::instance(), this);
    connect(m_peerCommands, &PeerCommandController::restartRequested, this, &CentralBaseClass::restartApplication);
    // Settings both ways: received texts to the settings controller, its texts out through the
    // sentence send path.
    m_network->connectSettings(&settingsLink, data.setup());
    connect(&settingsLink, &SerializationController::setupChangeToSend, this,
            [this](const QString &text) { sendSettingsText(text, QStringList()); });
    connect(&settingsLink, &SerializationController::runtimeChangeToSend, this,
            [this](const QString &text) { sendSettingsText(text, QStringList()); });
    connect(&settingsLink, &SerializationController::completeSetupToSend, this, &CentralBaseClass::sendSettingsText);
    connect(&settingsLink, &SerializationController::sendDataForMark, this, &CentralBaseClass::sendSettingsText);
    // Settings the junction box never acknowledged may not have reached it: ask for its complete
    // settings again so that both units show the same values.
    connect(m_network, &NetworkStack::lostCommunicationWithSfi, this, [this](const QString &sfi) {
        qDebug().noquote() << QStringLiteral("Settings not acknowledged by ") + sfi;
        if (sfi == m_network->pairing()->pairedSfi())
            m_network->pairing()->sendSinglePairRequest();
    });
    connect(&settingsLink, &SerializationController::commsToKX12StateChanged, this, [](bool up) {
        qDebug().noquote() << (up ? "Communication with junction box: up" : "Communication with junction box: lost");
    });
    connect(&settingsLink, &SerializationController::finishedDeserializingCompleteSetup, this, [](bool) {
        qDebug().noquote() << "Complete setup received from junction box";
    });

    ESKX12Setup *jb = data.setup()->KX12Setup();
    connect(jb, &ESKX12Setup::SoftwareVersionChanged, this, &CentralBaseClass::checkVersionCompatibility);
    connect(jb, &ESKX12Setup::SystemInNormalOrStandbyModeChanged, this,
            &CentralBaseClass::systemOperationModeChanged);
    connect(jb, &ESKX12Setup::RestoreAllSetupsChanged, this, &CentralBaseClass::restoreAllSetups);
    connect(jb, &ESKX12Setup::RestoreAllSetupsExceptIOChanged, this,
            &CentralBaseClass::restoreAllSetupsExceptIO);
    connectSentencePaths(jb->SystemInNormalOrStandbyMode() == 1);
    m_previousDisplaySfi = data.localSetup()->DisplaySetup()->LocalSFI();

    // Alert sound: the most urgent alert's pattern, unless the display's sounder is off.
    m_alertSound = new AlertSound(data.alerts(), this);
    CU_R710_Setup *display = data.localSetup()->DisplaySetup();
    connect(m_alertSound, &AlertSound::soundRequired, this, &CentralBaseClass::setAlarmBuzzerRequiredState);
    connect(display, &CU_R710_Setup::AlarmSounderChanged, this, &CentralBaseClass::setAlarmBuzzerRequiredState);
    connect(display, &CU_R710_Setup::SounderTestChanged, this, &CentralBaseClass::setAlarmBuzzerRequiredState);
    setAlarmBuzzerRequiredState();
    m_periodicalSender->restartTimer();
}

void CentralBaseClass::connectLoopTest(ESOtherLocalSettings *settings)
{
    // "NMEALoopTest" set to "Running" starts the test; when it is done, each of the unit's own lines
    // gets 1 (passed) or 2 (failed) in "NmeaPort1Status".."NmeaPort3Status" and the request goes back
    // to "Start". A request still standing at start-up (the unit was restarted during a test) runs
    // once the lines have had time to open.
    constexpr int running = 1;
    connect(settings, &ESOtherLocalSettings::NMEALoopTestChanged, m_loopTest, [this](int request) {
        if (request == running && !m_loopTest->isRunning())
            m_loopTest->runTest();
    });
    connect(m_loopTest, &LoopTest::portStatusDetermined, settings, [settings](const QString &name, int status) {
        settings->changeValue(name, status);
    });
    connect(m_loopTest, &LoopTest::finishedTesting, settings, [settings] {
        settings->changeValue(QStringLiteral("NMEALoopTest"), 0);
    });
    if (settings->NMEALoopTest() == running)
        QTimer::singleShot(SerialReader::RetryIntervalMsecs, m_loopTest, &LoopTest::runTest);
}

bool CentralBaseClass::setSettingByName(QObject *tree, const QString &name, const QVariant &value)
{
    const QByteArray key = name.toLatin1();
    if (tree->metaObject()->indexOfProperty(key.constData()) >= 0)
        return tree->setProperty(key.constData(), value);
    for (QObject *child : tree->children()) {
        if (setSettingByName(child, name, value))
            return true;
    }
    return false;
}

void CentralBaseClass::sendSettingsText(const QString &text, const QStringList &destinations)
{
    if (m_standby)
        m_nmeaController->sendProprietaryNmeaListInStandby(text, QString(), destinations);
    else
        m_nmeaController->sendProprietaryNmeaList(text, QString(), destinations);
}

void CentralBaseClass::connectSentencePaths(bool standby)
{
    if (!m_nmeaController)
        return;
    m_standby = standby;
    using Receive = void (NmeaController::*)(NmeaGroupInfo);
    const Receive receiveFrom = standby ? &NmeaController::handleReceivedNmeaList
                                        : &NmeaController::handleReceivedNmeaListInStandby;
    const Receive receiveTo = standby ? &NmeaController::handleReceivedNmeaListInStandby
                                      : &NmeaController::handleReceivedNmeaList;
    disconnect(m_network, &NetworkStack::nmeaGroupReceived, m_nmeaController, receiveFrom);
    disconnect(m_serialController, &NmeaPortsCommunicationController::receivedNmeaListFromSerial, m_nmeaController,
               receiveFrom);
    connect(m_network, &NetworkStack::nmeaGroupReceived, m_nmeaController, receiveTo, Qt::UniqueConnection);
    connect(m_serialController, &NmeaPortsCommunicationController::receivedNmeaListFromSerial, m_nmeaController,
            receiveTo, Qt::UniqueConnection);

    SignalEmitter *emitter = &SignalEmitter::instance();
    const char *sigType = SIGNAL(signalNmeaMessageTypeAndPortAndId(QString, Port, QString));
    const char *sigMessage = SIGNAL(signalTypeAndCompleteNmeaMessageAndPort(QString, QString, Port, bool));
    const char *sigList = SIGNAL(signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI(
        QString, QList<QString>, Port, QString, QString));
    const char *normal[] = {SLOT(sendStandardNmeaMessageOfTypeOverPort(QString, Port, QString)),
                            SLOT(sendPreparedStandardNmeaMessageOverPort(QString, QString, Port, bool)),
                            SLOT(sendPreparedStandardNmeaListWithCustomDestinationSFI(
                                QString, QList<QString>, Port, QString, QString))};
    const char *inStandby[] = {SLOT(sendStandardNmeaMessageOfTypeOverPortInStandby(QString, Port, QString)),
                               SLOT(sendPreparedStandardNmeaMessageOverPortInStandby(QString, QString, Port, bool)),
                               SLOT(sendPreparedStandardNmeaListWithCustomDestinationSFIInStandby(
                                   QString, QList<QString>, Port, QString, QString))};
    const char *signalsToSwitch[] = {sigType, sigMessage, sigList};
    const char *const *from = standby ? normal : inStandby;
    const char *const *to = standby ? inStandby : normal;
    for (int i = 0; i < 3; ++i) {
        disconnect(emitter, signalsToSwitch[i], m_nmeaController, from[i]);
        connect(emitter, signalsToSwitch[i], m_nmeaController, to[i], Qt::UniqueConnection);
    }
}

void CentralBaseClass::systemOperationModeChanged(int mode)
{
    connectSentencePaths(mode == 1);
}

QString CentralBaseClass::incompatibleVersionsText(const QString &cuVersion, const QString &jbVersion)
{
    return QStringLiteral("Incompatible software versions! \nCU: %1  &  JB: %2 \nPlease change CU to %2 \nor JB to %1")
        .arg(cuVersion, jbVersion);
}

void CentralBaseClass::checkVersionCompatibility(QString jb_sw_ver)
{
    const QString own = SystemInformation::softwareVersion();
    if (jb_sw_ver == own || jb_sw_ver.isEmpty() || jb_sw_ver == QLatin1String("NOT_DEFINED"))
        emit operatorMessageChanged(QString());
    else
        emit operatorMessageChanged(incompatibleVersionsText(own, jb_sw_ver));
}

void CentralBaseClass::displayLocalSfiChanged(QString new_sfi)
{
    if (new_sfi == m_previousDisplaySfi)
        return;
    if (m_network)
        m_network->pairing()->setLocalSfi(new_sfi);
    m_previousDisplaySfi = new_sfi;
}

void CentralBaseClass::jbLocalSfiChanged(QString new_sfi)
{
    ESData::instance().localSetup()->DisplaySetup()->setPairedSFI(new_sfi);
}

void CentralBaseClass::setAlarmBuzzerRequiredState()
{
    if (!m_hardware || !m_alertSound)
        return;
    const CU_R710_Setup *display = ESData::instance().localSetup()->DisplaySetup();
    QList<int> pattern = m_alertSound->requiredPattern();
    QString reason = m_alertSound->reason();
    // Choice lists: SounderTest "off;ON", AlarmSounder "ON;off".
    if (display->SounderTest() == 1) {
        pattern = AlertSound::alarmPattern();
        reason = QStringLiteral("Sounder test");
    } else if (display->AlarmSounder() == 1) {
        pattern.clear();
        reason.clear();
    }
    if (pattern == m_buzzerPattern && reason == m_buzzerReason)
        return;
    m_buzzerPattern = pattern;
    m_buzzerReason = reason;
    m_hardware->buzzer()->playPattern(pattern, reason);
}

void CentralBaseClass::buzzerTouchBeep()
{
    if (m_hardware && ESData::instance().localSetup()->DisplaySetup()->ButtonBeep() == 0)
        m_hardware->buzzer()->touchBeep();
}

void CentralBaseClass::restoreAllSetups(int v)
{
    if (v != 1)
        return;
    if (!SystemInformation::instance().isSoftwareJb())
        SerializationController::instance().resets().restoreAllSetups();
    QTimer::singleShot(5000, this, &CentralBaseClass::resetSetupRestoreSettings);
}

void CentralBaseClass::restoreAllSetupsExceptIO(int v)
{
    if (v != 1)
        return;
    SerializationController::instance().resets().restoreAllSetupsExceptIO();
    QTimer::singleShot(5000, this, &CentralBaseClass::resetSetupRestoreSettings);
}

void CentralBaseClass::changeNmeaGroup()
{
    if (m_network)
        m_network->changeGroup(ESData::instance().localSetup()->DisplaySetup()->Group());
}

void CentralBaseClass::resetSetupRestoreSettings()
{
    ESKX12Setup *jb = ESData::instance().setup()->KX12Setup();
    if (jb->RestoreAllSetups() != 0)
        jb->setRestoreAllSetups(0);
    if (jb->RestoreAllSetupsExceptIO() != 0)
        jb->setRestoreAllSetupsExceptIO(0);
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
    // The event loop ends and the program shuts down as when its window is closed, with code 0.
    QCoreApplication::exit(0);
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
