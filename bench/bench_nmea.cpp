#include "nmeacontroller.h"
#include "nmeadataholders.h"
#include "nmeahandler.h"
#include "nmeahandlercontainer.h"
#include "nmeamessage.h"
#include "essetup.h"
#include "nmeaperiodicalsender.h"
#include "nmeaports.h"
#include "nmeaportscommunicationcontroller.h"
#include "portsetupadapter.h"
#include "signalemitter.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstring>

// Sentence receive and send throughput on a realistic mix of bridge traffic.
namespace {

QString framed(const QString &body)
{
    return QLatin1Char('$') + body + QLatin1Char('*') + NmeaMessage::checksum(body)
           + QLatin1String("\r\n");
}

// A fixed-seed mix of position, time, heading, speed, depth, temperature and proprietary lines.
QStringList mixedCorpus(int count)
{
    QRandomGenerator random(420);
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int second = i % 86400;
        const QString utc = QStringLiteral("%1%2%3.%4")
                                .arg(second / 3600, 2, 10, QLatin1Char('0'))
                                .arg((second / 60) % 60, 2, 10, QLatin1Char('0'))
                                .arg(second % 60, 2, 10, QLatin1Char('0'))
                                .arg(random.bounded(100), 2, 10, QLatin1Char('0'));
        const double depth = 5.0 + random.bounded(2000) / 10.0;
        const double heading = random.bounded(3600) / 10.0;
        const double speed = random.bounded(300) / 10.0;
        switch (i % 11) {
        case 0:
            lines << framed(QStringLiteral("GPGGA,%1,5%2.%3,N,0%4.%5,E,1,08,0.9,%6,M,46.9,M,,")
                                .arg(utc).arg(random.bounded(100, 999)).arg(random.bounded(1000, 9999))
                                .arg(random.bounded(1000, 9999)).arg(random.bounded(100, 999))
                                .arg(random.bounded(1000) / 10.0, 0, 'f', 1));
            break;
        case 1:
            lines << framed(QStringLiteral("GPRMC,%1,A,5912.%2,N,01043.%3,E,%4,%5,040726,2.5,E,A,S")
                                .arg(utc).arg(random.bounded(1000, 9999)).arg(random.bounded(1000, 9999))
                                .arg(speed, 0, 'f', 1).arg(heading, 0, 'f', 1));
            break;
        case 2:
            lines << framed(QStringLiteral("GPVTG,%1,T,%2,M,%3,N,%4,K,A")
                                .arg(heading, 0, 'f', 1).arg(heading, 0, 'f', 1)
                                .arg(speed, 0, 'f', 1).arg(speed * 1.852, 0, 'f', 1));
            break;
        case 3:
            lines << framed(QStringLiteral("GPZDA,%1,%2,07,2026,02,00").arg(utc)
                                .arg(1 + random.bounded(28), 2, 10, QLatin1Char('0')));
            break;
        case 4:
            lines << framed(QStringLiteral("HEHDT,%1,T").arg(heading, 0, 'f', 1));
            break;
        case 5:
            lines << framed(QStringLiteral("IIDPT,%1,0.5,200").arg(depth, 0, 'f', 1));
            break;
        case 6:
            lines << framed(QStringLiteral("SDDBT,%1,f,%2,M,%3,F").arg(depth * 3.2808, 0, 'f', 1)
                                .arg(depth, 0, 'f', 1).arg(depth / 1.8288, 0, 'f', 1));
            break;
        case 7:
            lines << framed(QStringLiteral("VWVHW,%1,T,%1,M,%2,N,%3,K").arg(heading, 0, 'f', 1)
                                .arg(speed, 0, 'f', 1).arg(speed * 1.852, 0, 'f', 1));
            break;
        case 8:
            lines << framed(QStringLiteral("YXMTW,%1,C").arg(random.bounded(300) / 10.0, 0, 'f', 1));
            break;
        case 9:
            lines << framed(QStringLiteral("GPGLL,5912.%1,N,01043.%2,E,%3,A,A")
                                .arg(random.bounded(1000, 9999)).arg(random.bounded(1000, 9999)).arg(utc));
            break;
        default:
            lines << framed(QStringLiteral("PZTQDPT,%1,0.5,200,%2,38,Fwd")
                                .arg(depth, 0, 'f', 1).arg(random.bounded(100)));
            break;
        }
    }
    return lines;
}

const QStringList &corpus()
{
    static const QStringList lines = mixedCorpus(1000000);
    return lines;
}

} // namespace

// The whole receive path: check, sentence object, field parsing, handler, data holders.
static void BM_ReceivePathMixed(benchmark::State &state)
{
    const QStringList &lines = corpus();
    NmeaController controller;
    NmeaGroupInfo group;
    group.port = Serial_1;
    group.messages.append(QString());
    int i = 0;
    for (auto _ : state) {
        group.messages[0] = lines.at(i);
        controller.handleReceivedNmeaList(group);
        if (++i == lines.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    if (controller.statistics(Serial_1).rejected != 0)
        state.SkipWithError("corpus lines were rejected");
}
BENCHMARK(BM_ReceivePathMixed)->Iterations(1000000);

// Only the sentence check of the same lines, for reference.
static void BM_SentenceCheckOnly(benchmark::State &state)
{
    const QStringList &lines = corpus();
    int i = 0;
    for (auto _ : state) {
        QString line = lines.at(i);
        benchmark::DoNotOptimize(NmeaMessage::checkSentence(line));
        if (++i == lines.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SentenceCheckOnly)->Iterations(1000000);

// One periodic cycle with 20 sentence types registered on 4 lines.
static void BM_PeriodicCycle20Types4Lines(benchmark::State &state)
{
    const char *types[] = {"GGA", "GLL", "RMC", "VTG", "HDT", "THS", "ROT", "VBW", "VHW", "VLW",
                           "MTW", "DTM", "DBT", "DBK", "DBS", "DPT", "ZDA", "HBT", "CUR", "XDR"};
    NmeaHandlerContainer &container = NmeaHandlerContainer::instance();
    QList<NmeaHandler *> handlers;
    for (const char *type : types) {
        NmeaHandler *handler = container.standardHandler(QString::fromLatin1(type));
        handler->setPeriodicEnabled(true);
        for (int line = 0; line < 4; ++line)
            handler->registerLine(line);
        handlers.append(handler);
    }
    NmeaOutputData &out = NmeaOutputData::instance();
    for (ValidatedProperty *field : out.fields())
        field->setFieldText(QStringLiteral("1"));
    NmeaPeriodicalSender sender(handlers, &SignalEmitter::instance(), 4);
    for (auto _ : state)
        sender.sendPeriodicalMessages(0);
    state.SetItemsProcessed(state.iterations());
    for (NmeaHandler *handler : handlers) {
        handler->setPeriodicEnabled(false);
        handler->clearRegisteredLines();
    }
}
BENCHMARK(BM_PeriodicCycle20Types4Lines)->Unit(benchmark::kMicrosecond);

// One periodic cycle as the unit runs it with every sentence of the port setup (DPT, DBT, DBS, DBK
// and the proprietary depth) switched on for all seven lines: the setup applied to the handlers,
// the send holder full, each cycle through the sentence controller to the hand-over to the serial
// lines (no devices here, so nothing is written) and to the network (the groups are emitted).
static void BM_PortSetupCycleAllSevenLines(benchmark::State &state)
{
    ESCommunicationsSetup setup;
    for (int line = Serial_1; line <= Add_Serial_3; ++line) {
        ESPortSetup *lineSetup = PortSetupAdapter::setupOf(&setup, Port(line));
        for (const char *sentence : {"DPT", "DBT", "DBS", "DBK", "PZTQDPT"})
            lineSetup->setProperty(sentence, 0);
    }
    NmeaPorts ports(SerialReader::QueryMode::EventDriven);
    PortSetupAdapter adapter(&setup, &ports);
    adapter.applyAll();

    NmeaOutputData &out = NmeaOutputData::instance();
    const auto real = [](ValidatedProperty *field, double value) {
        static_cast<ValidatedFloatProperty *>(field)->setValue(value);
    };
    real(out.DepthBlwTransducerMeters(), 12.5);
    real(out.DepthBlwTransducerFeet(), 41.0);
    real(out.DepthBlwTransducerFathoms(), 6.8);
    real(out.DepthBlwSurfaceMeters(), 14.5);
    real(out.DepthBlwKeelMeters(), 10.5);
    real(out.OffsetFromTransducerMeters(), 2.0);
    real(out.MaximumRangeScale(), 20.0);
    static_cast<ValidatedIntProperty *>(out.TransducerFrequency())->setValue(50);
    out.TransducerPosition()->setFieldText(QStringLiteral("Fwd"));

    NmeaController controller;
    NmeaPortsCommunicationController serial(&ports, nullptr);
    QObject::connect(&SignalEmitter::instance(), &SignalEmitter::signalTypeAndCompleteNmeaMessageListWithCustomDestinationSFI,
                     &controller, &NmeaController::sendPreparedStandardNmeaListWithCustomDestinationSFI);
    QObject::connect(&controller, &NmeaController::nmeaGroupReadyToBeSentOverSerialPort, &serial,
                     &NmeaPortsCommunicationController::sendNmeaGroupOverSerialPort);
    qint64 groups = 0;
    qint64 sentences = 0;
    const auto count = [&groups, &sentences](const NmeaGroupInfo &group) {
        ++groups;
        sentences += group.messages.size();
    };
    QObject::connect(&controller, &NmeaController::outputMessageGroupLogged, count);

    NmeaPeriodicalSender sender(nullptr, NmeaController::lineCount);
    for (auto _ : state)
        sender.sendPeriodicalMessages(0);
    state.counters["groups/cycle"] = double(groups) / double(state.iterations());
    state.counters["sentences/cycle"] = double(sentences) / double(state.iterations());
    if (sentences != qint64(state.iterations()) * 5 * NmeaController::lineCount)
        state.SkipWithError("not every sentence went out on every line");
    QObject::disconnect(&SignalEmitter::instance(), nullptr, &controller, nullptr);
    for (NmeaHandler *handler : NmeaHandlerContainer::instance().handlers()) {
        handler->setPeriodicEnabled(false);
        handler->clearRegisteredLines();
    }
}
BENCHMARK(BM_PortSetupCycleAllSevenLines)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // "--write-corpus=FILE" writes the benchmark's corpus for the command-line comparison.
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-corpus=", 15) == 0) {
            QFile file(QString::fromLocal8Bit(argv[i] + 15));
            if (!file.open(QIODevice::WriteOnly))
                return 2;
            for (const QString &line : corpus())
                file.write(line.toLatin1());
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
