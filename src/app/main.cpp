#include "debuglog.h"
#include "kvesystem.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>

int main(int argc, char **argv)
{
    const qint64 startMs = QDateTime::currentMSecsSinceEpoch();
    int exitCode = 0;
    QApplication app(argc, argv);
    DebugLog::install(&app);
    KveSystem *system = new KveSystem;
    try {
        system->start(QCoreApplication::arguments());
        qDebug().noquote() << "Main total: " + QString::number(QDateTime::currentMSecsSinceEpoch() - startMs);
        exitCode = app.exec();
    } catch (const char *message) {
        qDebug().noquote() << message;
        exitCode = 0;
    }
    delete system;
    return exitCode;
}
