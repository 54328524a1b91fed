#pragma once

#include <QPointer>
#include <QString>

class QThread;
class Watchdog;

// Process-wide access to the one watchdog, which lives in a thread of its own: every call is
// forwarded as a queued call, so it is safe from any thread. Misuse ends the program.
class WatchdogSingletonWrapper
{
public:
    static WatchdogSingletonWrapper &instance();

    // May be called once; a second call ends the program with exit code 1.
    void setWatchdog(Watchdog *watchdog);
    Watchdog *watchdog() const;
    // Components that may also run without a watchdog (tools, tests) ask before registering.
    bool isInitialized() const { return m_initialized; }

    void registerThread(QThread *thread, uint kick_interval_msecs, uint timeout_interval_msecs,
                        QString thread_name);
    void unregisterThread(QThread *thread);
    // Watches a long-lived worker thread under its object name for as long as it runs: registered
    // now if it runs (else when it starts) and unregistered when it finishes. Without a watchdog
    // (the tools) nothing is watched.
    void watchThread(QThread *thread, uint kick_interval_msecs, uint timeout_interval_msecs);

    WatchdogSingletonWrapper(const WatchdogSingletonWrapper &) = delete;
    WatchdogSingletonWrapper &operator=(const WatchdogSingletonWrapper &) = delete;

private:
    WatchdogSingletonWrapper() = default;

    bool m_initialized = false;
    QPointer<Watchdog> m_watchdog;
};
