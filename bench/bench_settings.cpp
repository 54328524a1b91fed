// Settings text speed: the whole shared tree to text and back, one single-property change applied
// to the full tree, and building every tree with defaults and reading it from its files.
#include "esdata.h"
#include "eslocalsetup.h"
#include "essetup.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

struct Folder
{
    Folder() { qInstallMessageHandler(quiet); }
    QString path() const { return dir.path() + QStringLiteral("/Setup_Files/KVE 420/"); }
    QTemporaryDir dir;
};

void BM_SharedSetupToTextAndBack(benchmark::State &state)
{
    Folder folder;
    ESData sender(folder.path());
    ESData receiver(folder.path());
    sender.setup()->transducer(1)->setRange(12);
    size_t bytes = 0;
    for (auto _ : state) {
        const QString text = sender.setup()->serialize();
        bytes += size_t(text.size());
        if (!receiver.setup()->deserialize(text))
            state.SkipWithError("complete text not read back");
    }
    state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_SharedSetupToTextAndBack)->Unit(benchmark::kMicrosecond);

void BM_SinglePropertyIntoFullTree(benchmark::State &state)
{
    Folder folder;
    ESData data(folder.path());
    const QString deep = QStringLiteral(
        "Type_Setup,SingleProperty,ESSetup,SetupSetup,TransducerSelectSetup,TransducerSetup2,Range=9");
    bool written = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.setup()->deserializeSingleProperty(deep, &written));
        if (!written)
            state.SkipWithError("single-property text not applied");
    }
}
BENCHMARK(BM_SinglePropertyIntoFullTree)->Unit(benchmark::kNanosecond);

void BM_BuildAllTreesFromFiles(benchmark::State &state)
{
    Folder folder;
    {
        ESData first(folder.path());
        first.setup()->writeAllChildrenToFiles();
        first.localSetup()->writeAllChildrenToFiles();
    }
    for (auto _ : state) {
        ESData data(folder.path());
        benchmark::DoNotOptimize(data.setup());
    }
}
BENCHMARK(BM_BuildAllTreesFromFiles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
