#include "watchdog.h"
#include "watchdogsingletonwrapper.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <cstring>

// Every case that may end the program runs in a child: this binary started again with
// "--child <scenario> <base directory>". A child prints what it got past.
namespace child {

void say(const char *text) { std::printf("%s\n", text); std::fflush(stdout); }

struct Setup
{
    explicit Setup(const QString &baseDir) : watchdog(new Watchdog(baseDir))
    {
        watchdog->moveToThread(&watchdogThread);
        watchdogThread.start();
        worker.start();
    }
    ~Setup()
    {
        watchdog->deleteLater();
        for (QThread *t : {&watchdogThread, &worker}) { t->quit(); t->wait(); }
    }
    void watch(QThread *t, uint kick, uint timeout, const QString &name)
    {
        QMetaObject::invokeMethod(watchdog, "registerThread", Q_ARG(QThread *, t), Q_ARG(uint, kick),
                                  Q_ARG(uint, timeout), Q_ARG(QString, name));
    }
    // Runs a check in the watchdog's thread, after every call queued before it.
    void check(int msecs)
    {
        QMetaObject::invokeMethod(watchdog, "checkThreads", Qt::BlockingQueuedConnection, Q_ARG(int, msecs));
    }
    QThread watchdogThread;
    QThread worker;
    Watchdog *watchdog;
};

int run(const QString &scenario, const QString &baseDir)
{
    WatchdogSingletonWrapper &wrapper = WatchdogSingletonWrapper::instance();
    if (scenario == "registerearly")
        wrapper.registerThread(QThread::currentThread(), 1000, 15000, "Main thread");
    if (scenario == "unregisterearly")
        wrapper.unregisterThread(QThread::currentThread());
    if (!scenario.endsWith("early")) {
        Setup s(baseDir);
        wrapper.setWatchdog(s.watchdog);
        if (scenario == "settwice") {
            say("first accepted");
            wrapper.setWatchdog(s.watchdog);
        } else if (scenario == "blocked" || scenario == "kicked") {
            wrapper.registerThread(&s.worker, 100, 1500, "Sounding worker");
            wrapper.registerThread(QThread::currentThread(), 100, 1500, "Main thread");
            QObject inWorker;
            inWorker.moveToThread(&s.worker);
            if (scenario == "blocked")
                QTimer::singleShot(1000, &inWorker, [] { for (;;) QThread::sleep(1); });
            QTest::qWait(4000);
            say("survived");
        } else if (scenario == "equal") {
            // Never kicked within the test: only the counts given here move the counter.
            s.watch(&s.worker, 1000000, 60000, "Sounding worker");
            s.check(30000);
            s.check(30000);
            say("equal is not stuck");
            s.check(1);
            say("one more was not stuck");
        } else if (scenario == "idle") {
            QThread neverStarted;
            QThread finished;
            finished.start();
            s.watch(&neverStarted, 1000000, 100, "never started");
            s.watch(&finished, 1000000, 100, "finished");
            s.check(0);
            finished.quit();
            finished.wait();
            wrapper.registerThread(&s.worker, 1000000, 100, "unregistered");
            wrapper.unregisterThread(&s.worker);
            s.check(100000);
            QTest::qWait(2500); // the periodic checks as well
            say("idle threads not reported");
            // The same settings on a running thread are reported, so the checks above did run.
            s.watch(&s.worker, 1000000, 100, "running");
            s.check(101);
            say("running thread not reported");
        }
    }
    return 0;
}

}

class TestWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void init() { QFile::remove(infoFile()); }
    void stuckThreadIsReportedAndEndsTheProgram();
    void kickedThreadsRunOn();
    void counterIsComparedWithGreaterThanAndReportsAppend();
    void idleAndUnregisteredThreadsAreNeverReported();
    void wrapperMisuseEndsTheProgram_data();
    void wrapperMisuseEndsTheProgram();

private:
    QString infoFile() const { return m_dir.filePath("Watchdog_Info/Info.txt"); }
    QString info() const
    {
        QFile f(infoFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Exit code (-1 when the child did not end by itself); out and err receive its output.
    int runChild(const QString &scenario)
    {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {"--child", scenario, m_dir.path()});
        const bool ended = p.waitForFinished(30000);
        if (!ended)
            p.kill(), p.waitForFinished();
        out = QString::fromLocal8Bit(p.readAllStandardOutput());
        err = QString::fromLocal8Bit(p.readAllStandardError());
        return ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QTemporaryDir m_dir;
    QString out;
    QString err;
};

void TestWatchdog::stuckThreadIsReportedAndEndsTheProgram()
{
    QCOMPARE(runChild("blocked"), 1);
    // Blocked after 1 s with a 1.5 s time-out: reported before the 4 s wait is over.
    QVERIFY(!out.contains("survived"));
    QVERIFY(err.contains("Watchdog register thread: Sounding worker"));
    QVERIFY(!err.contains("THREAD STUCK: Main thread"));
    QVERIFY(err.indexOf("THREAD STUCK: Sounding worker") < err.indexOf("WATCHDOG: KILL APP!!!"));
    const QString stamp = "\\d\\d [A-Z][a-z]{2} \\d{4} \\(\\d\\d:\\d\\d:\\d\\d\\)\\r\\n";
    const QRegularExpression block("^\\r\\n\\r\\n\\*{25}\\r\\nSystem date-time: " + stamp
                                   + "App date-time \\(UTC\\): " + stamp
                                   + "Software version: 1\\.0\\.0\\r\\nThread name: Sounding worker"
                                     "\\r\\n\\*{25}$");
    QVERIFY2(block.match(info()).hasMatch(), qPrintable(info()));
}

void TestWatchdog::kickedThreadsRunOn()
{
    QCOMPARE(runChild("kicked"), 0);
    QVERIFY(out.contains("survived"));
    QVERIFY(!QFile::exists(infoFile()));
}

void TestWatchdog::counterIsComparedWithGreaterThanAndReportsAppend()
{
    for (int run = 1; run <= 2; ++run) {
        QCOMPARE(runChild("equal"), 1);
        QVERIFY(out.contains("equal is not stuck"));
        QVERIFY(!out.contains("one more"));
        QCOMPARE(info().count("Thread name: Sounding worker"), run);
    }
}

void TestWatchdog::idleAndUnregisteredThreadsAreNeverReported()
{
    QCOMPARE(runChild("idle"), 1);
    QVERIFY(out.contains("idle threads not reported"));
    QVERIFY(!out.contains("running thread not reported"));
    QVERIFY(err.contains("Watchdog UNREGISTER thread: unregistered"));
    QCOMPARE(err.count("THREAD STUCK: "), 1);
    QVERIFY(err.contains("THREAD STUCK: running"));
}

void TestWatchdog::wrapperMisuseEndsTheProgram_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("message");
    QTest::newRow("set twice") << "settwice" << "setWatchdog() called multiple times!";
    QTest::newRow("register early") << "registerearly" << "registerThread() called before";
    QTest::newRow("unregister early") << "unregisterearly" << "unregisterThread() called before";
}

void TestWatchdog::wrapperMisuseEndsTheProgram()
{
    QFETCH(QString, scenario);
    QFETCH(QString, message);
    QCOMPARE(runChild(scenario), 1);
    const QString tail = scenario == "settwice" ? " Exiting app..." : " watchdog is initialized! Exiting app...";
    QVERIFY2(err.contains("WatchdogSingletonWrapper::" + message + tail), qPrintable(err));
    QCOMPARE(out.contains("first accepted"), scenario == "settwice");
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
