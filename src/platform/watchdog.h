#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>

class QThread;
class QTimer;
class WatchdogTimer;

// Watches that the event loop of every registered thread keeps turning. A thread that has not
// kicked for longer than its time-out is reported in "Watchdog_Info/Info.txt" and the program ends
// with exit code 1, so that the unit's supervisor starts it again.
// Lives in a thread of its own; registration, kicks and checks all run there.
class Watchdog : public QObject
{
    Q_OBJECT
public:
    static constexpr int CheckPeriodMsecs = 1000;
    static constexpr int StuckExitCode = 1;

    // The report goes to "Watchdog_Info/Info.txt" below baseDirectory (created when missing).
    explicit Watchdog(const QString &baseDirectory, QObject *parent = nullptr);
    ~Watchdog() override;

    QString infoFilePath() const { return m_infoFilePath; }

    // The report block for a stuck thread, as appended to the info file.
    static QString reportBlock(const QString &threadName);

public slots:
    void registerThread(QThread *thread, uint kick_interval_msecs, uint timeout_interval_msecs,
                        QString thread_name);
    void unregisterThread(QThread *thread);

private slots:
    void checkThreads(int msecs_count);
    void checkThreads();
    void kickFromThread(QThread *thread);

private:
    struct WatchedThread
    {
        uint sinceLastKickMsecs = 0;
        uint timeoutMsecs = 0;
        QString name;
        WatchdogTimer *kickTimer = nullptr;
    };

    void reportStuckAndExit(const QString &threadName);
    void appendToInfoFile(const QString &text) const;

    QTimer *m_checkTimer;
    QElapsedTimer m_sinceLastCheck;
    QHash<QThread *, WatchedThread> m_threads;
    QString m_infoFilePath;
};
