#include "junctionboxsimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kve-jb-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Junction box of the echo sounder, simulated on the network."));
    parser.addHelpOption();
    const QCommandLineOption iface(QStringLiteral("interface"), QStringLiteral("Network interface (default lo)."),
                                   QStringLiteral("name"), QStringLiteral("lo"));
    const QCommandLineOption group(QStringLiteral("group"), QStringLiteral("Transmission group 0-7 (default 3, NAVD)."),
                                   QStringLiteral("g"), QStringLiteral("3"));
    const QCommandLineOption sfi(QStringLiteral("sfi"), QStringLiteral("Own SFI (default SD0108)."), QStringLiteral("sfi"),
                                 QStringLiteral("SD0108"));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of the box's settings files."),
                                     QStringLiteral("dir"), QStringLiteral("."));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"), QStringLiteral("Fall silent after S seconds."),
                                         QStringLiteral("S"));
    const QCommandLineOption silentFor(QStringLiteral("silent-for"), QStringLiteral("Speak again after S silent seconds."),
                                       QStringLiteral("S"));
    const QCommandLineOption dropAcks(QStringLiteral("drop-acks"), QStringLiteral("Never acknowledge setup datagrams."));
    const QCommandLineOption forceShallow(QStringLiteral("force-shallow"),
                                          QStringLiteral("Raise the shallow-water alarm whatever the depth."));
    const QCommandLineOption version(QStringLiteral("software-version"), QStringLiteral("Software version to publish."),
                                     QStringLiteral("text"));
    const QCommandLineOption pingRate(QStringLiteral("ping-rate"),
                                      QStringLiteral("Echo pings per second and channel, 0 for none (default 5)."),
                                      QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption historyPort(QStringLiteral("history-port"),
                                         QStringLiteral("Port of the history files' web server on 127.0.0.1, 0 for none (default 80)."),
                                         QStringLiteral("port"), QStringLiteral("80"));
    const QCommandLineOption historyEvery(QStringLiteral("history-every"),
                                          QStringLiteral("Announce grown history files every S seconds (default 60)."),
                                          QStringLiteral("S"), QStringLiteral("60"));
    const QCommandLineOption runFor(QStringLiteral("run-for"), QStringLiteral("End after S seconds."), QStringLiteral("S"));
    const QCommandLineOption startDelay(QStringLiteral("start-delay"),
                                        QStringLiteral("Join the network S seconds after the program starts."),
                                        QStringLiteral("S"));
    const QCommandLineOption restartAfter(QStringLiteral("restart-after"),
                                          QStringLiteral("Restart (forget the display, 2 s silent, announce again) S seconds after the start."),
                                          QStringLiteral("S"));
    const QCommandLineOption blockIds(QStringLiteral("block-ids"),
                                      QStringLiteral("Numbering of the echo images: counting (default), per-channel or constant."),
                                      QStringLiteral("mode"), QStringLiteral("counting"));
    parser.addOptions({iface, group, sfi, dataDir, silentAfter, silentFor, dropAcks, forceShallow, version, pingRate,
                       historyPort, historyEvery, runFor, startDelay, restartAfter, blockIds});
    parser.process(app);

    JunctionBoxSimulator::Options options;
    bool ok = true;
    auto number = [&](const QCommandLineOption &o, int fallback) {
        if (!parser.isSet(o))
            return fallback;
        bool good = false;
        const int v = parser.value(o).toInt(&good);
        ok = ok && good && v >= 0;
        return v;
    };
    options.interfaceName = parser.value(iface);
    options.group = number(group, 3);
    options.sfi = parser.value(sfi);
    options.dataDirectory = parser.value(dataDir);
    options.silentAfterS = number(silentAfter, -1);
    options.silentForS = number(silentFor, -1);
    options.dropAcks = parser.isSet(dropAcks);
    options.forceShallow = parser.isSet(forceShallow);
    options.softwareVersion = parser.value(version);
    const int runForS = number(runFor, -1);
    options.pingRate = number(pingRate, 5);
    options.historyPort = number(historyPort, 80);
    options.historyAnnounceS = number(historyEvery, 60);
    options.restartAfterS = number(restartAfter, -1);
    const int startDelayS = number(startDelay, 0);
    const QString ids = parser.value(blockIds);
    if (ids == QLatin1String("per-channel"))
        options.blockIds = EchoImageSource::BlockIds::PerChannel;
    else if (ids == QLatin1String("constant"))
        options.blockIds = EchoImageSource::BlockIds::Constant;
    else
        ok = ok && ids == QLatin1String("counting");
    if (!ok || options.group > 7 || options.sfi.size() != 6 || options.pingRate > 50 || options.historyPort > 65535
        || options.historyAnnounceS < 1) {
        std::fprintf(stderr, "kve-jb-sim: unusable option value (see --help)\n");
        return 2;
    }

    JunctionBoxSimulator simulator(options);
    QTimer::singleShot(startDelayS * 1000, &simulator, &JunctionBoxSimulator::start);
    if (runForS >= 0)
        QTimer::singleShot(runForS * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
