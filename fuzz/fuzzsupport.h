#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QString>
#include <QTemporaryDir>

// A folder of this process for the files a harness writes: below $KVE_FUZZ_SCRATCH when
// scripts/fuzz.sh gives one, else a temporary folder removed at exit, so that runs side by side
// (CTest in several build folders) never share one.
inline QString fuzzScratch(const QString &name)
{
    static QTemporaryDir own(QDir::tempPath() + QStringLiteral("/kve-fuzz-XXXXXX"));
    const QByteArray given = qgetenv("KVE_FUZZ_SCRATCH");
    const QString base = given.isEmpty() ? own.path() : QString::fromLocal8Bit(given);
    const QString dir = base + QLatin1Char('/') + name;
    QDir().mkpath(dir);
    return dir;
}

// The application object a harness needs for Qt's event machinery, made once, with the debug
// output silenced: the lines about rejected input would dominate the run time.
inline void fuzzQuietApplication(const char *name)
{
    static bool made = false;
    if (made)
        return;
    made = true;
    static int argc = 1;
    static QByteArray program(name);
    static char *argv[] = {program.data(), nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// What the event loop would have done after an input: queued calls and deferred deletions. Left
// undone they pile up from input to input (and every later delivery walks past them).
inline void fuzzDeliverPosted()
{
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
