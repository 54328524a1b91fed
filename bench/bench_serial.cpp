// Line cutting of serial input: how many bytes per second the cutter takes apart when the line
// delivers them in chunks of various sizes. A serial line at its fastest brings far less than
// 10 MB/s; the cutter must keep well above that on mixed input (sentences, noise, broken and
// overlong pieces).
#include "seriallinecutter.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

namespace {

QByteArray mixedInput(int size)
{
    const QList<QByteArray> pieces = {
        "$SDDPT,12.3,0.5,100*6C\r\n",
        "$GPGGA,120000.00,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n",
        "$GPZDA,120000.00,06,12,2026,00,00*6A\r\n",
        "!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*5B\r\n",
        "\x01\x02\xfe noise ",
        "$GPRMC,1200,A,53",                                   // broken off by the next sentence
        "$GPXXX,0123456789012345678901234567890123456789012345678901234567890123456789012345\r\n",
    };
    QRandomGenerator random(420);
    QByteArray input;
    input.reserve(size + 128);
    while (input.size() < size)
        input += pieces.at(int(random.bounded(pieces.size())));
    input.truncate(size);
    return input;
}

const QByteArray &tenMegabytes()
{
    static const QByteArray input = mixedInput(10 * 1024 * 1024);
    return input;
}

void BM_SerialLineCutting(benchmark::State &state)
{
    const QByteArray &input = tenMegabytes();
    const int chunk = int(state.range(0));
    qint64 lineCount = 0;
    for (auto _ : state) {
        SerialLineCutter cutter;
        QByteArray waiting;
        for (int at = 0; at < input.size(); at += chunk) {
            waiting.append(input.constData() + at, qMin(chunk, input.size() - at));
            lineCount += cutter.cut(waiting).size();
        }
        benchmark::DoNotOptimize(lineCount);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * input.size());
    state.counters["lines"] = benchmark::Counter(double(lineCount) / double(state.iterations()));
}
BENCHMARK(BM_SerialLineCutting)->Arg(16)->Arg(256)->Arg(4096)->Unit(benchmark::kMillisecond);

// Reference on the same input: only finding the line ends, no cutting rules and no text.
void BM_LineEndScanReference(benchmark::State &state)
{
    const QByteArray &input = tenMegabytes();
    for (auto _ : state) {
        qint64 ends = 0;
        for (const char *p = input.constData(), *end = p + input.size();
             (p = static_cast<const char *>(memchr(p, '\n', size_t(end - p)))) != nullptr; ++p)
            ++ends;
        benchmark::DoNotOptimize(ends);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * input.size());
}
BENCHMARK(BM_LineEndScanReference)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
