#include "kvesystem.h"

#include "alarmwidget.h"
#include "alertmirrorcontroller.h"
#include "basescreen.h"
#include "brightnessfollower.h"
#include "dimmingcontroller.h"
#include "hardware.h"
#include "communicationslogging.h"
#include "communicationstatistics.h"
#include "depthoutputfeed.h"
#include "escommunicationinformation.h"
#include "eslocalsetup.h"
#include "echosounderdatalogger.h"
#include "esloggingdevicecontroller.h"
#include "esstoragedevicecontroller.h"
#include "namedsetups.h"
#include "historyloggercontainer.h"
#include "longtermlogger.h"
#include "messagelogger.h"
#include "nmeacontroller.h"
#include "binaryinputbuffer.h"
#include "binarytransmissioncontroller.h"
#include "echodepthsupervisor.h"
#include "echogrampanel.h"
#include "echogramsettingsfollower.h"
#include "operatorscreens.h"
#include "setupgroups.h"
#include "historylogger.h"
#include "echorecord.h"
#include "esdata.h"
#include "eslocalsetup.h"
#include "esruntime.h"
#include "essetup.h"

#include <QDir>
#include "multiplees_transducersbuffer.h"
#include "networkstack.h"
#include "nmeaoverudpcontroller.h"
#include "socketinterface.h"
#include "serializationcontroller.h"
#include "transducertables.h"

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
    if (!m_mainScreen)
        m_mainScreen = createMainScreen();
    BaseScreen *screen = baseScreen();
    screen->setInterfaceName(interfaceName);

    connect(this, &CentralBaseClass::operatorMessageChanged, screen, &BaseScreen::showMessage);
    connect(&SerializationController::instance(), &SerializationController::commsToKX12StateChanged, screen,
            &BaseScreen::setLinkToJunctionBox);
    connect(&SerializationController::instance(), &SerializationController::finishedDeserializingCompleteSetup,
            screen, [screen] { screen->setLinkToJunctionBox(true); });

    // Alerts: the mirror of the junction box's alerts with the unit's own communication alert.
    m_alertController = new AlertMirrorController(ESData::instance().alerts(), this);
    connect(&SerializationController::instance(), &SerializationController::commsToKX12StateChanged,
            m_alertController, &AlertMirrorController::commsToKX12StateChanged);
    m_alarmWidget = new AlarmWidget(m_alertController);
    m_alarmWidget->followSettings(ESData::instance().setup());
    screen->setAlertArea(m_alarmWidget);
    connect(screen, &BaseScreen::touchBeep, this, &CentralBaseClass::buzzerTouchBeep);
    // A new alarm brings the panel to full brightness until nothing waits for the operator.
    DimmingController *dimming = hardware()->dimmingController();
    new BrightnessFollower(dimming, ESData::instance().localSetup()->DimmingSetup(),
                           ESData::instance().localSetup()->DimmingSetupContainer(), this);
    connect(m_alarmWidget, &AlarmWidget::changeDisplayDimming, dimming, [dimming](bool raise) {
        if (raise)
            dimming->raiseForAlarm(true);
    });
    connect(m_alarmWidget, &AlarmWidget::attentionNeededChanged, dimming, [dimming](bool needed) {
        if (!needed)
            dimming->raiseForAlarm(false);
    });

    // Echo images: reassembled records into the per-channel buffers, which the views draw.
    m_echoBuffer = new MultipleES_TransducersBuffer(this);
    m_echogramPanel = new EchogramPanel;
    // The operator's screens hold the echogram and the quick controls beside it.
    m_screens = new OperatorScreens(&ESData::instance(), m_echogramPanel);
    screen->setEchogramArea(m_screens);
    // The causes of a communication alert are looked into on the diagnostics page.
    connect(m_alarmWidget, &AlarmWidget::navigateToDiagnosticSetup, m_screens, [this] {
        m_screens->showSetupPage(SetupGroups::indexOf(QStringLiteral("Diagnostics")));
    });
    m_echogramPanel->setDataSource(m_echoBuffer);
    new EchogramSettingsFollower(m_echogramPanel, ESData::instance().setup(), ESData::instance().localSetup(), this);
    connect(network()->binary()->inputBuffer(), &BinaryInputBuffer::useBinaryMessage, m_echoBuffer,
            &MultipleES_TransducersBuffer::addData);
    // The unit's own depth for the sentences it sends (DPT, DBT, DBS, DBK, PZTQDPT).
    m_depthOutput = new DepthOutputFeed(ESData::instance().setup(), ESData::instance().localSetup()->OtherLocalSettings(),
                                        this);
    connect(m_echoBuffer, &MultipleES_TransducersBuffer::displayRecordAdded, m_depthOutput,
            &DepthOutputFeed::displayRecordReceived);
    // The large depth figures show a depth only while it is valid; the alert panel says why not.
    m_depths = new EchoDepthSupervisor(this);
    connect(m_echoBuffer, &MultipleES_TransducersBuffer::displayRecordAdded, m_depths,
            &EchoDepthSupervisor::recordAdded);
    connect(m_echoBuffer, &MultipleES_TransducersBuffer::channelSilenceChanged, m_depths,
            &EchoDepthSupervisor::channelSilenceChanged);
    connect(m_depths, &EchoDepthSupervisor::depthChanged, m_echogramPanel, &EchogramPanel::setCurrentDepth);
    connect(m_depths, &EchoDepthSupervisor::noticeChanged, m_alarmWidget, &AlarmWidget::setNotice);
    m_alarmWidget->setNotice(m_depths->notice());
    ESRuntimeScreenSetup *page = ESData::instance().localSetup()->RuntimeScreenSetupA();
    m_depths->setReference(page->DepthValue());
    connect(page, &ESRuntimeScreenSetup::DepthValueChanged, m_depths, &EchoDepthSupervisor::setReference);

    // Local time: the offset the junction box publishes, shown where the operator chose it.
    ESRuntime *runtime = ESData::instance().runtime();
    connect(runtime, &ESRuntime::UtcToLocalDateTimeSecsOffsetChanged, this,
            [this](int offset) { setUtcToLocalDateTimeSecsOffset(offset, true); });
    ESOtherLocalSettings *other = ESData::instance().localSetup()->OtherLocalSettings();
    auto showTimeMode = [screen](int mode) { screen->setLocalTimeShown(mode == 1); };   // 1: Local
    connect(other, &ESOtherLocalSettings::TimeModeChanged, screen, showTimeMode);
    showTimeMode(other->TimeMode());
    constructLogging();
    constructCommunicationLogging();
    m_screens->addEchoViews(m_echogramPanel, m_echoBuffer, m_history->logger(0), m_history->logger(1));
}

void KveSystem::constructLogging()
{
    ESHistorySetup *history = ESData::instance().setup()->HistorySetup();
    m_loggingDevice = new ESLoggingDeviceController(this);
    m_loggingDevice->setLoggingDevice(history->LogToDevice());
    // The unit's files on a device lie in a folder named after its serial number.
    CU_R710_Setup *display = ESData::instance().localSetup()->DisplaySetup();
    auto serialNumber = [this, display] {
        m_loggingDevice->storageController()->setProductSerialNumber(QString::number(display->DisplaySerialNumber()));
    };
    serialNumber();
    connect(display, &CU_R710_Setup::DisplaySerialNumberChanged, this, serialNumber);
    connect(history, &ESHistorySetup::LogToDeviceChanged, m_loggingDevice,
            qOverload<int>(&ESLoggingDeviceController::setLoggingDevice));
    // Named setups are saved to and restored from the removable device chosen for logging.
    connect(m_loggingDevice->storageController(), &ESStorageDeviceController::esDevicePresenceChanged,
            SerializationController::instance().namedSetups(), &NamedSetups::setDevicePresent);

    // Raw echo records go to numbered files on the logging device, in a thread of their own.
    m_rawLogging = new RawDataLoggingThread(1000, this);
    EchosounderDataLogger *raw = m_rawLogging->logger();
    connect(m_echoBuffer, &MultipleES_TransducersBuffer::sendDataToLogger, raw,
            &EchosounderDataLogger::receivedDataForLogging);
    connect(m_loggingDevice, &ESLoggingDeviceController::rawDataDeviceInfoChanged, raw,
            &EchosounderDataLogger::setDeviceInfo);
    connect(raw, &EchosounderDataLogger::writeFailed, m_loggingDevice, &ESLoggingDeviceController::rawDataWriteFailed);
    auto rawLoggingOn = [raw](int v) {
        QMetaObject::invokeMethod(raw, "startStopLogging", Qt::QueuedConnection, Q_ARG(bool, v == 0));
    };
    connect(history, &ESHistorySetup::RawDataLoggingChanged, this, rawLoggingOn);
    m_echoBuffer->setRawDataLogging(history->RawDataLogging() == 0);
    connect(history, &ESHistorySetup::RawDataLoggingChanged, m_echoBuffer,
            [this](int v) { m_echoBuffer->setRawDataLogging(v == 0); });
    rawLoggingOn(history->RawDataLogging());

    // Depth history from every tenth display record, and the long-term log on the device.
    m_history = new HistoryLoggerContainer(QDir::current().filePath(QStringLiteral("History")), this);
    connect(m_echoBuffer, &MultipleES_TransducersBuffer::logHistoryData, m_history,
            &HistoryLoggerContainer::logHistoryDataSlot);
    connect(m_loggingDevice, &ESLoggingDeviceController::deviceInfoChanged, m_history->longTermLogger(),
            &LongTermLogger::setDevice);
    // Position, heading, speeds and depths as the junction box publishes them.
    m_history->longTermLogger()->setValueSources({static_cast<QObject *>(ESData::instance().runtime())});
    m_history->setLongTermLogging(history->LongTermLogging());
    connect(history, &ESHistorySetup::LongTermLoggingChanged, m_history, &HistoryLoggerContainer::setLongTermLogging);
    // Each history point records the signal its channel was transmitting.
    connect(m_history, &HistoryLoggerContainer::requestSignalProperties, this,
            &KveSystem::answerSignalProperties);
    for (int ch = 0; ch < 2; ++ch) {
        EsTransducerSetup *t = ESData::instance().setup()->transducer(ch);
        for (auto changed : {&EsTransducerSetup::SensorFrequencyChanged, &EsTransducerSetup::SensorPulseWidthChanged,
                             &EsTransducerSetup::PowerPercentageChanged})
            connect(t, changed, this, [this, ch] { answerSignalProperties(ch); });
    }
    // The junction box's own history files: fetched from its web server once the settings are
    // in step, and again whenever the box announces a new file of a channel.
    ESKX12Setup *box = ESData::instance().setup()->KX12Setup();
    m_history->setJunctionBoxAddress(box->IP());
    connect(box, &ESKX12Setup::IPChanged, m_history, [this, box] { m_history->setJunctionBoxAddress(box->IP()); });
    connect(&SerializationController::instance(), &SerializationController::finishedDeserializingCompleteSetup,
            m_history, &HistoryLoggerContainer::scheduleFilesDownload);
    // Nothing is fetched from a box that has fallen silent: each try would only wait for its time-out.
    connect(&SerializationController::instance(), &SerializationController::commsToKX12StateChanged, m_history,
            [this](bool comms_ok) {
                if (comms_ok)
                    m_history->enableFileDownload();
                else
                    m_history->disableFileDownload();
            });
    connect(history, &ESHistorySetup::NewFileReadyCounterCh1Changed, m_history, [this] { m_history->downloadFile(0, 0); });
    connect(history, &ESHistorySetup::NewFileReadyCounterCh2Changed, m_history, [this] { m_history->downloadFile(1, 0); });
}

void KveSystem::constructCommunicationLogging()
{
    // Traffic of every line to the communication logs, on the device of the logging setup.
    m_commsLogging = new CommunicationsLogging(this);
    m_commsLoggingDevice = new ESLoggingDeviceController(m_commsLogging);
    m_commsLogging->followSettings(ESData::instance().setup()->CommunicationsLoggingSetup(), m_commsLoggingDevice);
    NmeaController *sentences = nmeaController();
    connect(sentences, &NmeaController::inputMessageLogged, m_commsLogging->inputLogger(),
            &MessageLogger::logMessageToFile);
    connect(sentences, &NmeaController::outputMessageGroupLogged, m_commsLogging,
            &CommunicationsLogging::logOutputMessageGroup);
    connect(sentences, &NmeaController::inputErrorLogged, m_commsLogging, &CommunicationsLogging::logInputError);
    InputErrorLogger *errors = m_commsLogging->errorLogger();
    // Datagrams the network side rejected, into the error log of their traffic.
    connect(network(), &NetworkStack::receptionFaultToLog, errors, [errors](int code, const QString &datagram) {
        errors->logUdpDatagramErrorToFile(static_cast<NmeaOverUdpErrorType>(code), datagram);
    });
    connect(network()->binary(), &BinaryTransmissionController::imageErrorToLog, errors,
            [errors](int code, const QString &datagram) {
                errors->logUdpDatagramErrorToFile(static_cast<BinaryOverUdpErrorType>(code), datagram);
            });

    m_commsStatistics = new CommunicationStatistics(sentences, ESData::instance().communicationInformation(), this);
}

void KveSystem::answerSignalProperties(int channel)
{
    const EsTransducerSetup *t = ESData::instance().setup()->transducer(channel);
    SignalProperties signal;
    signal.frequencyKHz = float(TransducerTables::frequencyKHz(t->SensorFrequency()));
    signal.pulseWidthUs = float(t->SensorPulseWidth());
    signal.powerPercent = float(t->PowerPercentage());
    m_history->setSignalProperties(channel, signal);
}

QWidget *KveSystem::createMainScreen()
{
    return new BaseScreen;
}

void KveSystem::afterDisplayShown()
{
    m_echogramPanel->registerRenderingThreadsWithWatchdog();
}

void KveSystem::afterLocalSfiWiring() {}
