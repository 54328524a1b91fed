#include "watchdogtimer.h"

#include <QThread>
#include <QTimer>

WatchdogTimer::WatchdogTimer(QThread *watchedThread, uint kickIntervalMsecs)
    : m_watchedThread(watchedThread)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(static_cast<int>(qMin<uint>(kickIntervalMsecs, INT_MAX)));
    connect(m_timer, &QTimer::timeout, this, [this] { emit timeoutFromThread(m_watchedThread); });
}

void WatchdogTimer::start()
{
    m_timer->start();
}
