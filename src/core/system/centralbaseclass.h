#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "startuparguments.h"

class CommunicationForwardingController;
class ESOtherLocalSettings;
class AlertSound;
class Hardware;
class LoopTest;
class NetworkSelectWidget;
class NetworkStack;
class NmeaController;
class NmeaPeriodicalSender;
class NmeaPorts;
class NmeaPortsCommunicationController;
class PeerCommandController;
class PortSetupAdapter;
class QTimer;
class QThread;
class QWidget;
class Watchdog;

// The hub of the unit: picks the network interface, builds every controller, shows the main
// screen and carries settings, mode, identity and time changes to the components that follow them.
class CentralBaseClass : public QObject
{
    Q_OBJECT
public:
    enum class State { Created, WaitingForInterface, Constructed };
    Q_ENUM(State)

    explicit CentralBaseClass(QObject *parent = nullptr);
    ~CentralBaseClass() override;

    // Start operation: scans the command line and either builds the system on the interface it
    // names (when that interface is up) or shows the selection window and waits for the operator.
    void start(const QStringList &args);

    State state() const { return m_state; }
    QString interfaceName() const { return m_interfaceName; }
    NetworkSelectWidget *networkSelectWidget() const { return m_networkSelect; }
    QWidget *mainScreen() const { return m_mainScreen; }
    const StartupArguments &startupArguments() const { return m_args; }

    // The interface the running system was built on, process-wide (the restart command uses it).
    static QString currentInterfaceName();

    // Command line that restarts the program on the current interface without the prompt.
    static QString restartCommandLine(const QString &programPath, const QString &interfaceName);
    // Starts the program again (detached) and ends this process with exit code 0.
    void restartApplication();

    // Folder below which the unit keeps its own files (watchdog report, settings).
    static QString dataDirectory();

    Hardware *hardware() const { return m_hardware; }
    NetworkStack *network() const { return m_network; }
    NmeaController *nmeaController() const { return m_nmeaController; }
    NmeaPeriodicalSender *periodicalSender() const { return m_periodicalSender; }
    NmeaPortsCommunicationController *serialController() const { return m_serialController; }
    NmeaPorts *serialPorts() const { return m_serialPorts; }
    CommunicationForwardingController *communicationForwarding() const { return m_forwarding; }
    const QTimer *groupCheckTimer() const { return m_groupCheckTimer; }
    // Text shown to the operator when the junction box runs other software than this unit.
    // Writes a setting found by its property name anywhere in a settings tree.
    static bool setSettingByName(QObject *tree, const QString &name, const QVariant &value);
    static QString incompatibleVersionsText(const QString &cuVersion, const QString &jbVersion);

public slots:
    void setCurrentUtcDateTime(QString date_time);
    void setUtcToLocalDateTimeSecsOffset(int offset, bool is_valid);
    void systemOperationModeChanged(int mode);
    void checkVersionCompatibility(QString jb_sw_ver);
    void displayLocalSfiChanged(QString new_sfi);
    void jbLocalSfiChanged(QString new_sfi);
    // Sets the buzzer to what the alerts require, as the sound settings of the display allow.
    void setAlarmBuzzerRequiredState();
    // A touch of the screen, heard when the display's "ButtonBeep" is on.
    void buzzerTouchBeep();
    void restoreAllSetups(int v);
    void restoreAllSetupsExceptIO(int v);
    void resetSetupRestoreSettings();
    // Re-reads the display's transmission group and moves the sentence sockets when it changed.
    void changeNmeaGroup();

signals:
    // The operator must see this text; an empty text removes the message.
    void operatorMessageChanged(QString text);

protected:
    virtual void handleUnrecognisedArgument(const QString &arg);
    // Builds every controller of the system for the chosen interface.
    virtual void constructSystem(const QString &interfaceName);
    virtual QWidget *createMainScreen() = 0;
    virtual void afterDisplayShown();
    virtual void afterLocalSfiWiring();
    // Sends received groups and the send requests of the signal emitter to the normal or the
    // standby slots of the sentence controller.
    void connectSentencePaths(bool standby);

    QWidget *m_mainScreen = nullptr;

private:
    void construct(const QString &interfaceName, bool maximize, bool frameless);
    void onInterfaceConfirmed(const QString &name);
    void createWatchdog();
    // A settings text for the junction box, through the sentence send path: in standby only the
    // texts that standby lets out leave the unit.
    void sendSettingsText(const QString &text, const QStringList &destinations);
    void connectLoopTest(ESOtherLocalSettings *settings);

    StartupArguments m_args;
    State m_state = State::Created;
    QString m_interfaceName;
    NetworkSelectWidget *m_networkSelect = nullptr;
    QThread *m_watchdogThread = nullptr;
    QPointer<Watchdog> m_watchdog;
    Hardware *m_hardware = nullptr;
    NetworkStack *m_network = nullptr;
    NmeaController *m_nmeaController = nullptr;
    NmeaPeriodicalSender *m_periodicalSender = nullptr;
    NmeaPorts *m_serialPorts = nullptr;
    LoopTest *m_loopTest = nullptr;
    NmeaPortsCommunicationController *m_serialController = nullptr;
    PeerCommandController *m_peerCommands = nullptr;
    CommunicationForwardingController *m_forwarding = nullptr;
    bool m_standby = false;
    PortSetupAdapter *m_portSetup = nullptr;
    QString m_previousDisplaySfi;
    QTimer *m_groupCheckTimer = nullptr;
    AlertSound *m_alertSound = nullptr;
    QList<int> m_buzzerPattern;
    QString m_buzzerReason;
    static inline bool m_mainThreadRegistered = false;
};
