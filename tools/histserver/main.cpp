#include "historyhttpserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

// Serves the history files of one folder on 127.0.0.1 for the download path of the display unit.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Loopback web server for depth history files"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("Folder holding KVE_History_Ch1 and KVE_History_Ch2"));
    QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free one)."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Stop after this many seconds (0: run until stopped)."),
                                     QStringLiteral("seconds"), QStringLiteral("0"));
    parser.addOption(portOption);
    parser.addOption(secondsOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    HistoryHttpServer server(parser.positionalArguments().at(0));
    if (!server.listen(quint16(parser.value(portOption).toUInt()))) {
        qDebug().noquote() << QStringLiteral("History server: port not available: ") + parser.value(portOption);
        return 1;
    }
    qDebug().noquote() << QStringLiteral("History server listening on ") + server.address();
    // Each request in the log, so that a failing download can be told from a missing file.
    QObject::connect(&server, &HistoryHttpServer::fileServed, [](const QString &name, qint64 bytes) {
        qDebug().noquote() << QStringLiteral("Served %1 (%2 bytes)").arg(name).arg(bytes);
    });
    QObject::connect(&server, &HistoryHttpServer::requestRefused, [](const QString &line, int status) {
        qDebug().noquote() << QStringLiteral("Refused with %1: %2").arg(status).arg(line);
    });
    const int seconds = parser.value(secondsOption).toInt();
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
