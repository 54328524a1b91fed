// Logging throughput. Raw echo data: two channels of 4,000-sample records through the raw data
// logging thread, records per second written and the share of one core that thread uses (target
// above 2,000 records/s); a plain append of the same bytes to one file is the reference.
// Communication logs: 10,000 sentences a second on four ports; what counts is the time the main
// thread spends per second of traffic (it must stay a small share), the files being written by the
// communication logging thread.
#include "communicationslogging.h"
#include "echosounderdatalogger.h"
#include "logfilewriter.h"
#include "messagelogger.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>

#include <pthread.h>
#include <time.h>

namespace {

const int kSamples = 4000;

EchoRecordInfo rawInfo(int i)
{
    return EchoRecordInfo::parse(QStringLiteral("ECHO_REC_Raw,06-12-2026,") + QTime(0, 0).addMSecs(i * 50).toString("hh-mm-ss-zzz")
                                 + QStringLiteral(",12.5,11.9,13.2,100,7,0,0,0,0,0,-3.5,0,4"));
}

double threadCpuSeconds(pthread_t thread)
{
    clockid_t clock;
    timespec ts{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &ts) != 0)
        return 0.0;
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Waits until every call queued to the object's thread so far has run.
void drain(QObject *object)
{
    QMetaObject::invokeMethod(object, [] {}, Qt::BlockingQueuedConnection);
}

void BM_RawLoggingTwoChannels(benchmark::State &state)
{
    QTemporaryDir dir(QDir::currentPath() + "/bench_raw_XXXXXX");
    RawDataLoggingThread worker(1000); // about 5 MB per file
    EchosounderDataLogger *logger = worker.logger();
    pthread_t loggerThread{};
    QMetaObject::invokeMethod(logger, [&loggerThread] { loggerThread = pthread_self(); }, Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(logger, [logger, &dir] {
        logger->setMaxFilesPerChannel(8);
        logger->setDeviceInfo(true, dir.path());
        logger->startStopLogging(true);
    }, Qt::BlockingQueuedConnection);

    const QByteArray samples(kSamples, char(0x55));
    const int batch = int(state.range(0));
    int n = 0;
    double cpu = 0.0;
    double wall = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = threadCpuSeconds(loggerThread);
        for (int i = 0; i < batch; ++i, ++n)
            QMetaObject::invokeMethod(logger, "receivedDataForLogging", Qt::QueuedConnection,
                                      Q_ARG(QByteArray, samples), Q_ARG(EchoRecordInfo, rawInfo(n)), Q_ARG(int, n % 2));
        drain(logger);
        cpu += threadCpuSeconds(loggerThread) - cpuBefore;
        wall += timer.nsecsElapsed() / 1e9;
    }
    qint64 written = 0;
    QMetaObject::invokeMethod(logger, [logger, &written] { written = logger->recordsWritten(); }, Qt::BlockingQueuedConnection);
    if (written != n)
        state.SkipWithError("records were dropped");
    state.counters["records_per_s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    state.counters["thread_cpu_share"] = wall > 0 ? cpu / wall : 0.0;
    state.counters["thread_cpu_us_per_record"] = n > 0 ? cpu * 1e6 / n : 0.0;
    state.SetBytesProcessed(qint64(n) * (kSamples + EchosounderDataLogger::RecordHeaderBytes));
}
BENCHMARK(BM_RawLoggingTwoChannels)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: the same bytes appended to one unbuffered file in the calling thread.
void BM_PlainAppendReference(benchmark::State &state)
{
    QTemporaryDir dir(QDir::currentPath() + "/bench_plain_XXXXXX");
    const QByteArray record(kSamples + EchosounderDataLogger::RecordHeaderBytes, char(0x55));
    QFile file(dir.path() + "/plain.bin");
    file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const int batch = int(state.range(0));
    qint64 n = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i, ++n) {
            if (file.size() > 40 * 1024 * 1024)
                file.resize(0);
            file.write(record);
        }
    }
    state.counters["records_per_s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(n * record.size());
}
BENCHMARK(BM_PlainAppendReference)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One second of traffic: 10,000 sentences over four ports, then the periodic hand-over to the
// writer. The time measured is main-thread time only.
void BM_CommunicationLogging10kPerSecond(benchmark::State &state)
{
    QTemporaryDir dir(QDir::currentPath() + "/bench_comm_XXXXXX");
    CommunicationsLogging logs(nullptr, 3600000, 3600000);
    logs.setDeviceInfo(true, true, dir.path());
    MessageLogger *in = logs.inputLogger();
    const Port ports[] = {Serial_1, Serial_2, Serial_3, UDP};
    for (Port p : ports)
        in->setPortLogging(p, true);
    const QString sentence = QStringLiteral("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    pthread_t writerThread{};
    QMetaObject::invokeMethod(logs.writer(), [&writerThread] { writerThread = pthread_self(); }, Qt::BlockingQueuedConnection);
    const double writerCpuBefore = threadCpuSeconds(writerThread);
    qint64 n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i, ++n)
            in->logMessageToFile(ports[i % 4], sentence);
        in->writeToFiles();
    }
    // Outside the timed loop: the writer must have kept up with everything handed over.
    drain(logs.writer());
    const double writerCpu = threadCpuSeconds(writerThread) - writerCpuBefore;
    state.counters["sentences_per_s_main"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    // Share of each second of 10,000-sentence traffic that the main thread spends on logging.
    state.counters["main_share_at_10k"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["writer_cpu_us_per_10k"] = state.iterations() > 0 ? writerCpu * 1e6 / state.iterations() : 0.0;
    if (in->linesDropped() != 0)
        state.SkipWithError("lines were dropped");
}
BENCHMARK(BM_CommunicationLogging10kPerSecond)->Unit(benchmark::kMillisecond)->UseRealTime();

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
