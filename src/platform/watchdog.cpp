#include "watchdog.h"

#include "processexit.h"
#include "systeminformation.h"
#include "unitclock.h"
#include "watchdogtimer.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QThread>
#include <QTimer>

namespace {
const char *const kInfoDirectory = "Watchdog_Info/";
const char *const kInfoFile = "Info.txt";
const char *const kDateTimeFormat = "dd MMM yyyy (hh:mm:ss)";

uint addSaturated(uint a, uint b)
{
    return (a > UINT_MAX - b) ? UINT_MAX : a + b;
}
}

Watchdog::Watchdog(const QString &baseDirectory, QObject *parent)
    : QObject(parent)
    , m_checkTimer(new QTimer(this))
{
    // Registration arrives by name through the wrapper, so the pointer type must be known by name.
    qRegisterMetaType<QThread *>("QThread*");

    const QString dir = QDir(baseDirectory).filePath(QLatin1String(kInfoDirectory));
    QDir().mkpath(dir);
    m_infoFilePath = QDir(dir).filePath(QLatin1String(kInfoFile));

    m_checkTimer->setInterval(CheckPeriodMsecs);
    connect(m_checkTimer, &QTimer::timeout, this, qOverload<>(&Watchdog::checkThreads));
}

Watchdog::~Watchdog()
{
    for (const WatchedThread &watched : qAsConst(m_threads))
        watched.kickTimer->deleteLater();
}

QString Watchdog::reportBlock(const QString &threadName)
{
    const QLocale c = QLocale::c();
    const QString format = QLatin1String(kDateTimeFormat);
    return QStringLiteral("\r\n\r\n*************************\r\nSystem date-time: ")
        + c.toString(QDateTime::currentDateTime(), format)
        + QStringLiteral("\r\nApp date-time (UTC): ")
        + c.toString(UnitClock::instance().currentDateTimeUtc(), format)
        + QStringLiteral("\r\nSoftware version: ") + SystemInformation::softwareVersion()
        + QStringLiteral("\r\nThread name: ") + threadName
        + QStringLiteral("\r\n*************************");
}

void Watchdog::registerThread(QThread *thread, uint kick_interval_msecs, uint timeout_interval_msecs,
                              QString thread_name)
{
    qDebug().noquote() << "Watchdog register thread: " + thread_name;
    if (!thread)
        return;
    if (m_threads.contains(thread))
        unregisterThread(thread);

    // A newcomer starts from a whole period: the others are charged for the part already gone.
    if (m_checkTimer->isActive())
        checkThreads(static_cast<int>(qMin<qint64>(m_sinceLastCheck.elapsed(), INT_MAX)));
    m_checkTimer->start();
    m_sinceLastCheck.start();

    auto *kickTimer = new WatchdogTimer(thread, kick_interval_msecs);
    kickTimer->moveToThread(thread);
    connect(kickTimer, &WatchdogTimer::timeoutFromThread, this, &Watchdog::kickFromThread,
            Qt::QueuedConnection);
    QMetaObject::invokeMethod(kickTimer, "start", Qt::QueuedConnection);

    WatchedThread watched;
    watched.timeoutMsecs = timeout_interval_msecs;
    watched.name = thread_name;
    watched.kickTimer = kickTimer;
    m_threads.insert(thread, watched);
}

void Watchdog::unregisterThread(QThread *thread)
{
    const auto it = m_threads.find(thread);
    if (it == m_threads.end())
        return;
    qDebug().noquote() << "Watchdog UNREGISTER thread: " + it->name;
    it->kickTimer->deleteLater();
    m_threads.erase(it);
}

void Watchdog::checkThreads()
{
    checkThreads(CheckPeriodMsecs);
}

void Watchdog::checkThreads(int msecs_count)
{
    const uint msecs = static_cast<uint>(msecs_count < 0 ? CheckPeriodMsecs : msecs_count);
    m_sinceLastCheck.start();
    for (auto it = m_threads.begin(); it != m_threads.end(); ++it) {
        // Not started yet, or finished and waiting to be unregistered: nothing to kick with.
        if (!it.key()->isRunning())
            continue;
        it->sinceLastKickMsecs = addSaturated(it->sinceLastKickMsecs, msecs);
        if (it->sinceLastKickMsecs > it->timeoutMsecs)
            reportStuckAndExit(it->name);
    }
}

void Watchdog::kickFromThread(QThread *thread)
{
    const auto it = m_threads.find(thread);
    if (it != m_threads.end())
        it->sinceLastKickMsecs = 0;
}

void Watchdog::reportStuckAndExit(const QString &threadName)
{
    qDebug().noquote() << "THREAD STUCK: " + threadName;
    appendToInfoFile(reportBlock(threadName));
    qDebug().noquote() << "WATCHDOG: KILL APP!!!";
    kve::terminateProcess(StuckExitCode);
}

void Watchdog::appendToInfoFile(const QString &text) const
{
    QFile file(m_infoFilePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qDebug().noquote() << "Cannot open watchdog info file: " + m_infoFilePath;
        return;
    }
    file.write(text.toUtf8());
    file.flush();
    file.close();
}
