#include "watchdogsingletonwrapper.h"

#include "processexit.h"
#include "watchdog.h"

#include <QDebug>
#include <QMetaObject>
#include <QThread>

WatchdogSingletonWrapper &WatchdogSingletonWrapper::instance()
{
    static WatchdogSingletonWrapper wrapper;
    return wrapper;
}

Watchdog *WatchdogSingletonWrapper::watchdog() const
{
    return m_watchdog.data();
}

void WatchdogSingletonWrapper::setWatchdog(Watchdog *watchdog)
{
    if (m_initialized) {
        qDebug().noquote()
            << "WatchdogSingletonWrapper::setWatchdog() called multiple times! Exiting app...";
        kve::terminateProcess(1);
    }
    m_initialized = true;
    m_watchdog = watchdog;
}

void WatchdogSingletonWrapper::registerThread(QThread *thread, uint kick_interval_msecs,
                                              uint timeout_interval_msecs, QString thread_name)
{
    if (!m_initialized) {
        qDebug().noquote() << "WatchdogSingletonWrapper::registerThread() called before watchdog "
                              "is initialized! Exiting app...";
        kve::terminateProcess(1);
    }
    // After shutdown has deleted the watchdog there is nothing left to watch with.
    if (!m_watchdog)
        return;
    QMetaObject::invokeMethod(m_watchdog.data(), "registerThread", Qt::QueuedConnection,
                              Q_ARG(QThread *, thread), Q_ARG(uint, kick_interval_msecs),
                              Q_ARG(uint, timeout_interval_msecs), Q_ARG(QString, thread_name));
}

void WatchdogSingletonWrapper::unregisterThread(QThread *thread)
{
    if (!m_initialized) {
        qDebug().noquote() << "WatchdogSingletonWrapper::unregisterThread() called before watchdog "
                              "is initialized! Exiting app...";
        kve::terminateProcess(1);
    }
    if (!m_watchdog)
        return;
    QMetaObject::invokeMethod(m_watchdog.data(), "unregisterThread", Qt::QueuedConnection,
                              Q_ARG(QThread *, thread));
}

void WatchdogSingletonWrapper::watchThread(QThread *thread, uint kick_interval_msecs, uint timeout_interval_msecs)
{
    if (!m_initialized || !thread)
        return;
    auto registerIt = [thread, kick_interval_msecs, timeout_interval_msecs] {
        instance().registerThread(thread, kick_interval_msecs, timeout_interval_msecs, thread->objectName());
    };
    QObject::connect(thread, &QThread::finished, thread, [thread] { instance().unregisterThread(thread); },
                     Qt::DirectConnection);
    if (thread->isRunning())
        registerIt();
    else
        QObject::connect(thread, &QThread::started, thread, registerIt, Qt::DirectConnection);
}
