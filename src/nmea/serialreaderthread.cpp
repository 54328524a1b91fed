#include "serialreaderthread.h"

#include "watchdogsingletonwrapper.h"

#include <QDebug>
#include <QMutex>
#include <QThread>

namespace {
const char *const kThreadName = "Serial reader thread";
const uint kKickIntervalMsecs = 1000;
const uint kTimeoutMsecs = 15000;

QMutex g_mutex;
QThread *g_thread = nullptr;
int g_users = 0;
}

namespace SerialReaderThread {

QThread *acquire()
{
    QMutexLocker lock(&g_mutex);
    if (!g_thread) {
        g_thread = new QThread;
        g_thread->setObjectName(QLatin1String(kThreadName));
        QThread *thread = g_thread;
        QObject::connect(thread, &QThread::finished, thread, [thread] {
            if (WatchdogSingletonWrapper::instance().isInitialized())
                WatchdogSingletonWrapper::instance().unregisterThread(thread);
        }, Qt::DirectConnection);
    }
    if (!g_thread->isRunning()) {
        g_thread->start(QThread::InheritPriority);
        WatchdogSingletonWrapper &watchdog = WatchdogSingletonWrapper::instance();
        if (watchdog.isInitialized())
            watchdog.registerThread(g_thread, kKickIntervalMsecs, kTimeoutMsecs,
                                    QLatin1String(kThreadName));
    }
    ++g_users;
    return g_thread;
}

void release()
{
    QMutexLocker lock(&g_mutex);
    if (g_users <= 0)
        return;
    if (--g_users > 0)
        return;
    // The thread object itself stays: the watchdog may still look at it until its unregistration
    // has arrived, and a later reader starts it again.
    g_thread->quit();
    g_thread->wait();
}

}
