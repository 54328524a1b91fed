#pragma once

#include "centralbaseclass.h"

class AlarmWidget;
class EchoDepthSupervisor;
class AlertMirrorController;
class BaseScreen;
class CommunicationStatistics;
class CommunicationsLogging;
class DepthOutputFeed;
class ESLoggingDeviceController;
class HistoryLoggerContainer;
class RawDataLoggingThread;
class EchogramPanel;
class MultipleES_TransducersBuffer;
class OperatorScreens;

// The system object of the control unit.
class KveSystem : public CentralBaseClass
{
    Q_OBJECT
public:
    explicit KveSystem(QObject *parent = nullptr);
    ~KveSystem() override;

    bool simulationControlRequested() const { return m_simulationControlRequested; }
    BaseScreen *baseScreen() const;
    MultipleES_TransducersBuffer *echoBuffer() const { return m_echoBuffer; }
    EchogramPanel *echogramPanel() const { return m_echogramPanel; }
    OperatorScreens *operatorScreens() const { return m_screens; }
    AlertMirrorController *alertController() const { return m_alertController; }
    AlarmWidget *alarmWidget() const { return m_alarmWidget; }
    ESLoggingDeviceController *loggingDevice() const { return m_loggingDevice; }
    HistoryLoggerContainer *history() const { return m_history; }

protected:
    void handleUnrecognisedArgument(const QString &arg) override;
    void constructSystem(const QString &interfaceName) override;
    QWidget *createMainScreen() override;
    void afterDisplayShown() override;
    void afterLocalSfiWiring() override;

private:
    void constructLogging();
    void constructCommunicationLogging();
    void answerSignalProperties(int channel);

    bool m_simulationControlRequested = false;
    MultipleES_TransducersBuffer *m_echoBuffer = nullptr;
    EchogramPanel *m_echogramPanel = nullptr;
    EchoDepthSupervisor *m_depths = nullptr;
    OperatorScreens *m_screens = nullptr;
    AlertMirrorController *m_alertController = nullptr;
    AlarmWidget *m_alarmWidget = nullptr;
    ESLoggingDeviceController *m_loggingDevice = nullptr;
    RawDataLoggingThread *m_rawLogging = nullptr;
    HistoryLoggerContainer *m_history = nullptr;
    CommunicationsLogging *m_commsLogging = nullptr;
    ESLoggingDeviceController *m_commsLoggingDevice = nullptr;
    CommunicationStatistics *m_commsStatistics = nullptr;
    DepthOutputFeed *m_depthOutput = nullptr;
};
