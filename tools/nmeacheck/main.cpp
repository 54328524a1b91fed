#include "nmeacheckrunner.h"
#include "nmeasummaryrunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void dropDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kve-nmea-check"));
    qInstallMessageHandler(dropDebug);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks NMEA 0183 lines as the unit's receive path does and writes one JSON object per "
        "line to stdout; a summary goes to stderr."));
    parser.addHelpOption();
    const QCommandLineOption lineFeed(QStringLiteral("lf"),
                                      QStringLiteral("Accept lines that end in a bare line feed."));
    parser.addOption(lineFeed);
    const QCommandLineOption summary(
        QStringLiteral("summary"),
        QStringLiteral("Run every line through the unit's complete receive path (check, sentence, fields, "
                       "handler into the data holders) and print only the counts per formatter and per "
                       "result and error code."));
    parser.addOption(summary);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files to read; standard input when none."),
                                 QStringLiteral("[files...]"));
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "kve-nmea-check: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fprintf(stdout, "%s", qPrintable(parser.helpText()));
        return 0;
    }

    const QStringList files = parser.positionalArguments();
    // Every file must be readable before any output is written.
    QList<QByteArray> inputs;
    if (files.isEmpty()) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            std::fprintf(stderr, "kve-nmea-check: cannot read standard input\n");
            return 2;
        }
        inputs.append(in.readAll());
    } else {
        for (const QString &name : files) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "kve-nmea-check: cannot read %s: %s\n", qPrintable(name),
                             qPrintable(file.errorString()));
                return 2;
            }
            inputs.append(file.readAll());
        }
    }

    if (parser.isSet(summary)) {
        NmeaSummaryRunner runner(parser.isSet(lineFeed));
        for (const QByteArray &input : qAsConst(inputs))
            runner.feed(input);
        std::fprintf(stdout, "%s", qPrintable(runner.summary()));
        return 0;
    }

    NmeaCheckRunner runner(stdout, parser.isSet(lineFeed));
    for (const QByteArray &input : qAsConst(inputs))
        runner.feed(input);
    runner.flush();
    std::fprintf(stderr, "%s", qPrintable(runner.summary()));
    return 0;
}
