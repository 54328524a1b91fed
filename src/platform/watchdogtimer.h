#pragma once

#include <QObject>

class QThread;
class QTimer;

// The kick source of one watched thread. It lives in that thread, so its timer fires, and a kick
// reaches the watchdog, only while the thread's event loop is turning.
class WatchdogTimer : public QObject
{
    Q_OBJECT
public:
    WatchdogTimer(QThread *watchedThread, uint kickIntervalMsecs);

    QThread *watchedThread() const { return m_watchedThread; }

public slots:
    // Must run in the watched thread: timers only start in their own thread.
    void start();

signals:
    void timeoutFromThread(QThread *thread);

private:
    QThread *m_watchedThread;
    QTimer *m_timer;
};
