// Reception of sentence datagrams (checks, acceptance, group assembly) and packing of a
// settings text into datagrams.
#include "datagramchecker.h"
#include "listofsfisonnetwork.h"
#include "nmeaoverudpcontroller.h"
#include "nmeaparserclass.h"
#include "settingstraffic.h"
#include "udpdatagram.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

QString sentence(const QString &body)
{
    QByteArray b = body.toLatin1();
    QByteArray s = "$" + b + "*";
    udpdatagram::appendHex(s, udpdatagram::checksum(b));
    return QString::fromLatin1(s + "\r\n");
}

// A datagram of n position sentences from the paired box, addressed to this unit, with full tag blocks.
QByteArray datagramOf(int n, int group)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list.append(sentence(QStringLiteral("GPGGA,120000.00,5900.1234,N,01000.5678,E,1,08,0.9,12.3,M,40.1,M,,")));
    QByteArray d = udpdatagram::newDatagram();
    for (int i = 0; i < n; ++i) {
        const QByteArray body = udpdatagram::tagBody(i + 1, n, group, "SD0108", {"SD0109"}, i + 1, "pztqruntime");
        d.append(udpdatagram::taggedSentence(body, list.at(i).toLatin1()));
    }
    return d;
}

QCoreApplication *app()
{
    static int argc = 1;
    static char name[] = "bench_net";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *a = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    static const auto previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    Q_UNUSED(previous);
    return a;
}

void BM_CheckDatagram(benchmark::State &state)
{
    const QByteArray d = datagramOf(int(state.range(0)), 7);
    const DatagramChecker checker("SD0109", {"SD0108"});
    for (auto _ : state) {
        const DatagramVerdict v = checker.examine(d);
        benchmark::DoNotOptimize(v.accepted);
        if (!v.accepted)
            state.SkipWithError("datagram not accepted");
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * d.size());
}
BENCHMARK(BM_CheckDatagram)->DenseRange(1, 10, 3)->Arg(10);

// Reference for the two above, measured in the same run: one pass over the datagram computing the
// checksum of every starred stretch, the least any receiver of these datagrams must do.
void BM_ReferenceChecksumPass(benchmark::State &state)
{
    const QByteArray d = datagramOf(int(state.range(0)), 7);
    for (auto _ : state) {
        unsigned sum = 0;
        const char *p = d.constData();
        const char *end = p + d.size();
        while (p < end) {
            const char *start = static_cast<const char *>(memchr(p, '$', size_t(end - p)));
            if (!start)
                break;
            const char *star = static_cast<const char *>(memchr(start, '*', size_t(end - start)));
            if (!star)
                break;
            sum += udpdatagram::checksum(start + 1, star);
            p = star + 1;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * d.size());
}
BENCHMARK(BM_ReferenceChecksumPass)->DenseRange(1, 10, 3)->Arg(10);

void BM_ReceiveDatagram(benchmark::State &state)
{
    app();
    ListOfSfisOnNetwork sfis;
    sfis.setLocalSfi(QStringLiteral("SD0109"));
    sfis.connectSfi(QStringLiteral("SD0108"));
    NmeaOverUdpController controller(&sfis);
    int delivered = 0;
    QObject::connect(&controller, &NmeaOverUdpController::sentenceGroupReceived, [&delivered] { ++delivered; });
    QByteArrayList datagrams;
    for (int g = 1; g <= 99; ++g)
        datagrams.append(datagramOf(int(state.range(0)), g));
    const DatagramChecker checker("SD0109", {"SD0108"});
    int i = 0;
    for (auto _ : state) {
        const QByteArray &d = datagrams.at(i++ % datagrams.size());
        const DatagramVerdict v = checker.examine(d);
        if (v.accepted)
            controller.processReceivedDatagram(d, v.internal, false);
    }
    if (delivered != int(state.iterations()))
        state.SkipWithError("not every datagram delivered its group");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceiveDatagram)->DenseRange(1, 10, 3)->Arg(10);

void BM_PackSettingsText4k(benchmark::State &state)
{
    app();
    ListOfSfisOnNetwork sfis;
    sfis.setLocalSfi(QStringLiteral("SD0109"));
    NmeaOverUdpController controller(&sfis);
    QString text = QStringLiteral("Type_Setup,SerializableClass1=AlertSetup,");
    while (text.size() < 4096)
        text += QStringLiteral("AlarmShallow=10.00,AlarmShallowID=230,AlertDeep=0.00,");
    text.truncate(4096);
    for (auto _ : state) {
        const QStringList carriers = NmeaParserClass::dataToNmeaList(text).messages;
        const QByteArrayList d = controller.buildDatagrams(carriers, MessageTypeInternal,
                                                           QString::fromLatin1(settingstraffic::SetupTag),
                                                           {QStringLiteral("SD0108")}, QString());
        benchmark::DoNotOptimize(d.size());
    }
}
BENCHMARK(BM_PackSettingsText4k)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
