#include "watchdog.h"
#include "watchdogsingletonwrapper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstring>

// Every case that must end the program runs in a child: this binary started again with
// "--child <scenario> <base directory>".
namespace child {

const char *const kWorkerName = "Sounding worker";

struct WatchdogInItsThread
{
    explicit WatchdogInItsThread(const QString &baseDir)
        : watchdog(new Watchdog(baseDir))
    {
        watchdog->moveToThread(&thread);
        thread.start();
    }
    ~WatchdogInItsThread()
    {
        watchdog->deleteLater();
        thread.quit();
        thread.wait();
    }
    // Returns once every call queued to the watchdog so far has run.
    void sync() { QMetaObject::invokeMethod(watchdog, [] {}, Qt::BlockingQueuedConnection); }
    void check(int msecs)
    {
        QMetaObject::invokeMethod(watchdog, "checkThreads", Qt::BlockingQueuedConnection,
                                  Q_ARG(int, msecs));
    }
    QThread thread;
    Watchdog *watchdog;
};

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

int blockedEventLoop(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    WatchdogSingletonWrapper::instance().setWatchdog(wd.watchdog);
    QThread worker;
    worker.start();
    WatchdogSingletonWrapper::instance().registerThread(&worker, 100, 1500, kWorkerName);
    // The worker's loop turns for a while, then stops for good.
    QObject inWorker;
    inWorker.moveToThread(&worker);
    QTimer::singleShot(1000, &inWorker, [] { for (;;) QThread::sleep(1); });
    QTest::qWait(10000);
    say("not stopped");
    return 0;
}

int kickedThreadSurvives(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    WatchdogSingletonWrapper::instance().setWatchdog(wd.watchdog);
    QThread worker;
    worker.start();
    WatchdogSingletonWrapper::instance().registerThread(&worker, 100, 1500, kWorkerName);
    WatchdogSingletonWrapper::instance().registerThread(QThread::currentThread(), 100, 1500,
                                                        QStringLiteral("Main thread"));
    QTest::qWait(4000);
    say("survived");
    worker.quit();
    worker.wait();
    return 0;
}

int counterEqualToTimeout(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    QThread worker;
    worker.start();
    // No kick within the test: only the counts given below move the counter.
    QMetaObject::invokeMethod(wd.watchdog, "registerThread", Qt::QueuedConnection,
                              Q_ARG(QThread *, &worker), Q_ARG(uint, 1000000u), Q_ARG(uint, 60000u),
                              Q_ARG(QString, QString::fromLatin1(kWorkerName)));
    wd.sync();
    wd.check(30000);
    wd.check(30000);
    say("equal is not stuck");
    wd.check(1);
    say("one more millisecond was not stuck");
    return 0;
}

int notRunningThreads(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    QThread neverStarted;
    QThread finished;
    finished.start();
    for (QThread *t : {&neverStarted, &finished})
        QMetaObject::invokeMethod(wd.watchdog, "registerThread", Qt::QueuedConnection,
                                  Q_ARG(QThread *, t), Q_ARG(uint, 1000000u), Q_ARG(uint, 100u),
                                  Q_ARG(QString, QStringLiteral("idle")));
    wd.sync();
    finished.quit();
    finished.wait();
    wd.check(100000);
    QTest::qWait(2500); // the periodic checks as well
    say("idle threads not reported");
    // A running one with the same settings is reported, so the checks above really ran.
    QThread running;
    running.start();
    QMetaObject::invokeMethod(wd.watchdog, "registerThread", Qt::QueuedConnection,
                              Q_ARG(QThread *, &running), Q_ARG(uint, 1000000u), Q_ARG(uint, 100u),
                              Q_ARG(QString, QStringLiteral("running")));
    wd.sync();
    wd.check(101);
    say("running thread not reported");
    return 0;
}

int unregisteredThreadIsForgotten(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    WatchdogSingletonWrapper::instance().setWatchdog(wd.watchdog);
    QThread worker;
    worker.start();
    WatchdogSingletonWrapper::instance().registerThread(&worker, 1000000, 100, kWorkerName);
    WatchdogSingletonWrapper::instance().unregisterThread(&worker);
    wd.sync();
    wd.check(100000);
    say("forgotten");
    worker.quit();
    worker.wait();
    return 0;
}

int setTwice(const QString &baseDir)
{
    WatchdogInItsThread wd(baseDir);
    WatchdogSingletonWrapper::instance().setWatchdog(wd.watchdog);
    say("first accepted");
    WatchdogSingletonWrapper::instance().setWatchdog(wd.watchdog);
    return 0;
}

int registerBeforeSet(const QString &)
{
    WatchdogSingletonWrapper::instance().registerThread(QThread::currentThread(), 1000, 15000,
                                                        QStringLiteral("Main thread"));
    return 0;
}

int unregisterBeforeSet(const QString &)
{
    WatchdogSingletonWrapper::instance().unregisterThread(QThread::currentThread());
    return 0;
}

int run(const QString &scenario, const QString &baseDir)
{
    static const QHash<QString, int (*)(const QString &)> scenarios = {
        {"blocked", blockedEventLoop},
        {"kicked", kickedThreadSurvives},
        {"equal", counterEqualToTimeout},
        {"notrunning", notRunningThreads},
        {"unregistered", unregisteredThreadIsForgotten},
        {"settwice", setTwice},
        {"registerearly", registerBeforeSet},
        {"unregisterearly", unregisterBeforeSet},
    };
    return scenarios.value(scenario, [](const QString &) { return 99; })(baseDir);
}

}

struct ChildResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

class TestWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); QFile::remove(infoFile()); }

    void blockedEventLoopIsReportedAndEndsTheProgram();
    void kickedThreadsRunOn();
    void counterIsComparedWithGreaterThan();
    void threadsThatAreNotRunningAreNeverReported();
    void unregisteredThreadIsNoLongerWatched();
    void reportsAreAppended();
    void wrapperMisuseEndsTheProgram_data();
    void wrapperMisuseEndsTheProgram();

private:
    QString infoFile() const { return m_dir.filePath("Watchdog_Info/Info.txt"); }
    QString readInfo() const
    {
        QFile f(infoFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    ChildResult runChild(const QString &scenario, int timeoutMs = 30000)
    {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--child", scenario, m_dir.path()});
        ChildResult r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    QTemporaryDir m_dir;
};

void TestWatchdog::blockedEventLoopIsReportedAndEndsTheProgram()
{
    QElapsedTimer clock;
    clock.start();
    const ChildResult r = runChild("blocked");
    QCOMPARE(r.exitCode, 1);
    QVERIFY(!r.out.contains("not stopped"));
    // Blocked after 1 s, time-out 1.5 s, one further check period: well before the 10 s wait ends.
    QVERIFY2(clock.elapsed() < 9000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(r.err.contains("Watchdog register thread: Sounding worker"));
    QVERIFY(r.err.contains("THREAD STUCK: Sounding worker"));
    QVERIFY(r.err.indexOf("THREAD STUCK") < r.err.indexOf("WATCHDOG: KILL APP!!!"));

    const QString info = readInfo();
    const QRegularExpression block(
        "^\\r\\n\\r\\n\\*{25}\\r\\n"
        "System date-time: \\d\\d [A-Z][a-z]{2} \\d{4} \\(\\d\\d:\\d\\d:\\d\\d\\)\\r\\n"
        "App date-time \\(UTC\\): \\d\\d [A-Z][a-z]{2} \\d{4} \\(\\d\\d:\\d\\d:\\d\\d\\)\\r\\n"
        "Software version: 1\\.0\\.0\\r\\n"
        "Thread name: Sounding worker\\r\\n"
        "\\*{25}$");
    QVERIFY2(block.match(info).hasMatch(), qPrintable(info));
}

void TestWatchdog::kickedThreadsRunOn()
{
    const ChildResult r = runChild("kicked");
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("survived"));
    QVERIFY(!r.err.contains("THREAD STUCK"));
    QVERIFY(!QFile::exists(infoFile()));
}

void TestWatchdog::counterIsComparedWithGreaterThan()
{
    const ChildResult r = runChild("equal");
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.contains("equal is not stuck"));
    QVERIFY(!r.out.contains("one more millisecond"));
    QVERIFY(readInfo().contains("Thread name: Sounding worker"));
}

void TestWatchdog::threadsThatAreNotRunningAreNeverReported()
{
    const ChildResult r = runChild("notrunning");
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.contains("idle threads not reported"));
    QVERIFY(!r.out.contains("running thread not reported"));
    QVERIFY(!r.err.contains("THREAD STUCK: idle"));
    QVERIFY(r.err.contains("THREAD STUCK: running"));
}

void TestWatchdog::unregisteredThreadIsNoLongerWatched()
{
    const ChildResult r = runChild("unregistered");
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("forgotten"));
    QVERIFY(r.err.contains("Watchdog UNREGISTER thread: Sounding worker"));
}

void TestWatchdog::reportsAreAppended()
{
    QCOMPARE(runChild("equal").exitCode, 1);
    QCOMPARE(runChild("equal").exitCode, 1);
    QCOMPARE(readInfo().count("Thread name: Sounding worker"), 2);
}

void TestWatchdog::wrapperMisuseEndsTheProgram_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("message");
    QTest::newRow("set twice") << "settwice"
                               << "WatchdogSingletonWrapper::setWatchdog() called multiple times! Exiting app...";
    QTest::newRow("register early")
        << "registerearly"
        << "WatchdogSingletonWrapper::registerThread() called before watchdog is initialized! Exiting app...";
    QTest::newRow("unregister early")
        << "unregisterearly"
        << "WatchdogSingletonWrapper::unregisterThread() called before watchdog is initialized! Exiting app...";
}

void TestWatchdog::wrapperMisuseEndsTheProgram()
{
    QFETCH(QString, scenario);
    QFETCH(QString, message);
    const ChildResult r = runChild(scenario);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (scenario == "settwice")
        QVERIFY(r.out.contains("first accepted"));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return child::run(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestWatchdog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_watchdog.moc"
