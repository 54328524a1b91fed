// Echogram drawing on a full-HD canvas: one new column of 2,000 samples, and a full redraw from
// a full buffer. A plain copy of the canvas is measured alongside as a reference for what
// touching every pixel once costs on this machine.
#include "echogrampalettes.h"
#include "echogramrenderer.h"
#include "echosounderdatabuffer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kSamples = 2000;

QGuiApplication *app()
{
    static int argc = 3;
    static char name[] = "bench_render";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char *argv[] = {name, platformOption, platform, nullptr};
    static QGuiApplication *instance = new QGuiApplication(argc, argv);
    return instance;
}

QByteArray echoSamples(int seed)
{
    QByteArray s(kSamples, '\0');
    for (int i = 0; i < kSamples; ++i)
        s[i] = char((i * 7 + seed * 3) % 250);
    return s;
}

void configure(EchogramRenderer &r)
{
    const EchogramPalette &p = EchogramPaletteStore::instance().palette(1);
    r.setCanvasWidth(kWidth);
    r.setCanvasHeight(kHeight);
    r.setDepthRangeInDefaultUnit(80.f);
    r.setTimeScaleInMinutes(10);
    r.setColorTable(p.colorTable());
    r.setInactiveColor(p.inactiveColor());
    r.setDepthLineColor(QColor(128, 128, 128));
    r.setDepthLineWidth(2);
    r.setAdjacentDepthDistLimit(20);
}

// One record in each slice of time: a column per record, as at a ping rate matching the picture.
void addColumn(EchosounderDataBuffer &buffer, const QByteArray &samples, float depth)
{
    buffer.addRecord(samples, 100.f, depth, qint64(std::ceil(buffer.totalColumns() * buffer.columnMsecs())));
}

void fill(EchosounderDataBuffer &buffer, int columns)
{
    for (int k = 0; k < columns; ++k)
        addColumn(buffer, echoSamples(k), 40.f + (k % 20) * 0.1f);
}

void addColumn(benchmark::State &state, bool guiHoldsPicture)
{
    app();
    EchosounderDataBuffer buffer(10, kWidth);
    fill(buffer, 64);
    EchogramRenderer renderer;
    configure(renderer);
    QImage shown;   // what the view would hold on to between pictures
    if (guiHoldsPicture)
        QObject::connect(&renderer, &EchogramRenderer::renderedImage,
                         [&](const QImage &img) { shown = img; });
    renderer.getImageFromInternalBuffer(&buffer);
    const QByteArray samples = echoSamples(5);
    int k = 0;
    for (auto _ : state) {
        addColumn(buffer, samples, 40.f + (++k % 20) * 0.1f);
        renderer.addVerticalLineToImage(&buffer);
    }
    benchmark::DoNotOptimize(renderer.canvas().constBits());
}

void BM_AddColumn2000To1920x1080(benchmark::State &state) { addColumn(state, false); }
BENCHMARK(BM_AddColumn2000To1920x1080)->Unit(benchmark::kMicrosecond);

void BM_AddColumn2000To1920x1080_PictureHeldByView(benchmark::State &state)
{
    addColumn(state, true);
}
BENCHMARK(BM_AddColumn2000To1920x1080_PictureHeldByView)->Unit(benchmark::kMicrosecond);

void BM_FullRedraw1920x1080(benchmark::State &state)
{
    app();
    EchosounderDataBuffer buffer(10, EchosounderDataBuffer::kMaxColumns);
    fill(buffer, EchosounderDataBuffer::kMaxColumns);
    EchogramRenderer renderer;
    configure(renderer);
    for (auto _ : state)
        renderer.getImageFromInternalBuffer(&buffer);
    benchmark::DoNotOptimize(renderer.canvas().constBits());
}
BENCHMARK(BM_FullRedraw1920x1080)->Unit(benchmark::kMillisecond);

void BM_ReferenceCanvasCopy1920x1080(benchmark::State &state)
{
    QImage a(kWidth, kHeight, QImage::Format_RGB32);
    a.fill(Qt::darkBlue);
    QImage b(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(b.bits(), a.constBits(), size_t(a.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReferenceCanvasCopy1920x1080)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
