#pragma once

#include <QObject>
#include <QTimer>

class RuntimeSerializableClass;

// Watches the settings link to the junction box: more than ten seconds without data after the last
// accepted complete setup mean the box is lost, its published values are cleared and it is asked to
// pair again, every eleven seconds until a complete setup is read without error. Each second also
// ages the published values, so that one the box stops sending loses its validity after its limit
// while the link stays up.
class SettingsLinkSupervisor : public QObject
{
    Q_OBJECT

public:
    static constexpr int supervisionIntervalMs = 1000;
    static constexpr int linkTimeoutSeconds = 10;

    // runtime: the values the junction box publishes, cleared when it is lost.
    explicit SettingsLinkSupervisor(RuntimeSerializableClass *runtime, QObject *parent = nullptr);

    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    bool isSupervising() const { return m_timer.isActive(); }
    bool isLinkUp() const { return m_linkUp; }
    bool isSetupAccepted() const { return m_setupAccepted; }
    bool isNewConnection() const { return m_newConnection; }
    int secondsWithoutData() const { return m_secondsWithoutData; }

public slots:
    // One second of supervision: the published values age by a second and the link is checked.
    void timerTimeout();
    // A PAIR message is about to go out: the next accepted complete setup opens a new connection.
    void setConnectingToJb();
    // Any settings text arrived; it keeps the link only once a complete setup has been accepted.
    void dataReceived();
    // The outcome of reading a complete setup from the junction box.
    void completeSetupRead(bool accepted);

signals:
    void commsToKX12StateChanged(bool comms_ok);
    // The junction box must be asked to pair again (a PAIR sentence).
    void pairingRequested();
    // A complete setup was accepted; new_connection tells whether it answered a PAIR message.
    void completeSetupAccepted(bool new_connection);

private:
    void checkLink();

    RuntimeSerializableClass *m_runtime;
    QTimer m_timer;
    bool m_newConnection = false;
    int m_secondsWithoutData = 0;
    bool m_linkUp = true;
    bool m_setupAccepted = false;
};
