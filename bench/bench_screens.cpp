// Operator screens: building a setup page from the full settings catalogue (each group), and
// drawing the depth history of both channels over 24 hours.
#include "esdata.h"
#include "historypoint.h"
#include "historyview.h"
#include "serviceaccess.h"
#include "setupgroups.h"
#include "setuppage.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void BM_BuildSetupPage(benchmark::State &state)
{
    QTemporaryDir dir;
    ESData data(dir.path() + QStringLiteral("/Setup_Files/KVE 420/"));
    ServiceAccess access;
    const SetupGroup &group = SetupGroups::all().at(int(state.range(0)));
    int rows = 0;
    for (auto _ : state) {
        SetupPage page(group, &data, &access);
        page.resize(1100, 650);
        rows = page.rows().size();
        benchmark::DoNotOptimize(page.grab());   // laid out and drawn, as when it opens
        benchmark::DoNotOptimize(rows);
    }
    state.SetLabel(group.title.toStdString() + ", " + std::to_string(rows) + " rows");
}
BENCHMARK(BM_BuildSetupPage)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

// Reference: the same number of plain labelled buttons in a scrolled list of the same size, made,
// laid out and drawn the same way (what any page of that many rows costs in Qt here).
void BM_ReferencePlainButtonList(benchmark::State &state)
{
    const int rows = int(state.range(0));
    for (auto _ : state) {
        QWidget page;
        auto *layout = new QVBoxLayout(&page);
        auto *scroll = new QScrollArea(&page);
        auto *list = new QWidget;
        auto *column = new QVBoxLayout(list);
        for (int i = 0; i < rows; ++i) {
            auto *b = new QPushButton(QStringLiteral("Setting %1    12.5 m").arg(i), list);
            b->setMinimumHeight(60);
            column->addWidget(b);
        }
        scroll->setWidget(list);
        scroll->setWidgetResizable(true);
        layout->addWidget(scroll);
        page.resize(1100, 650);
        benchmark::DoNotOptimize(page.grab());
    }
    state.SetLabel(std::to_string(rows) + " buttons");
}
BENCHMARK(BM_ReferencePlainButtonList)->Arg(18)->Arg(178)->Unit(benchmark::kMillisecond);

void BM_DrawHistory24Hours(benchmark::State &state)
{
    // A point every 2 s per channel (every tenth record at 5 pings a second), 24 hours long.
    QList<BasicHistoryPoint> points[2];
    const QDateTime end = QDateTime(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 43200; ++i) {
            BasicHistoryPoint p;
            p.time = end.addSecs(-2 * (43199 - i));
            p.channel = ch;
            const float d = float(40.0 + 25.0 * std::sin(i / 900.0) + (ch ? 150.0 : 0.0));
            p.values[BasicHistoryPoint::DepthBlwTransducer] = (i % 5000 < 30) ? -100.0f : d;
            points[ch].append(p);
        }
    }
    HistoryPlot plot;
    plot.resize(1100, 560);
    plot.setHistory(0, &points[0]);
    plot.setHistory(1, &points[1]);
    plot.setSpanHours(24);
    plot.setDepthRange(500.0);
    plot.setAlarmLimits(10.0, 300.0);
    QImage image(plot.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        plot.render(painter, plot.rect());
    }
    state.SetItemsProcessed(state.iterations() * 2 * 43200);
}
BENCHMARK(BM_DrawHistory24Hours)->Unit(benchmark::kMillisecond);

// Reference: one polyline per channel through every point, drawn straight onto an image of the same
// size, without scaling, gaps, limits or axes.
void BM_ReferencePolylines24Hours(benchmark::State &state)
{
    QPolygonF lines[2];
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 43200; ++i)
            lines[ch] << QPointF(i * 1100.0 / 43200, 40.0 + 25.0 * std::sin(i / 900.0) + ch * 150.0);
    }
    QImage image(1100, 560, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        for (const QPolygonF &line : lines)
            painter.drawPolyline(line);
    }
    state.SetItemsProcessed(state.iterations() * 2 * 43200);
}
BENCHMARK(BM_ReferencePolylines24Hours)->Unit(benchmark::kMillisecond);

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
