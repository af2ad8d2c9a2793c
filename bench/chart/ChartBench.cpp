// Chart window timings on large data: 53 curves of 20,000 points each (the
// size of a long run with many species on one chart).
//
//   QT_QPA_PLATFORM=offscreen ./bench/chart/bench_chart
#include "ChartFile.h"
#include "ChartLoading.h"
#include "FormRegistry.h"
#include "PLOT_Module3.h"
#include "SharedState.h"

#include "TempDir.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace kx;

constexpr int kSubsets = 53;
constexpr int kPoints = 20000;
const QSize kPicture(1200, 800);

std::vector<double> curve(int s, bool times) {
    std::vector<double> v(kPoints);
    for (int p = 0; p < kPoints; ++p)
        v[static_cast<std::size_t>(p)] = times ? p * 1e-7 : std::exp(-p / (2000.0 + 50 * s)) * (s + 1) * 1e-3 + 1e-6 * std::sin(p * 0.01 * s);
    return v;
}

void fillHandOff() {
    SharedState& s = Shared();
    s.PlotSubsetCount = kSubsets;
    s.PlotPointCount = kPoints;
    s.PlotData.clear();
    s.PlotSubsetLabels.clear();
    for (int k = 0; k < kSubsets; ++k) {
        s.PlotData.push_back(curve(k, true));
        s.PlotData.push_back(curve(k, false));
        s.PlotSubsetLabels.push_back("Species " + std::to_string(k + 1));
    }
}

// The hand-off loaded into a chart model, without a window.
chart::ChartModel bigModel() {
    fillHandOff();
    chart::ChartModel m;
    chart::RandomSource random;
    chart::LoadPlotData(m, Shared(), true, false, random);
    return m;
}

chart::PLOT* newChart() {
    auto* c = new chart::PLOT;
    c->SetCaption(chart::kTemporaryChartCaption);
    c->resize(kPicture);
    c->show();  // as in the program: showing a window the first time is not part of drawing it
    return c;
}

// Intit of the hand-off data and the first full drawing.
void BM_LoadAndDraw53x20000(benchmark::State& state) {
    fillHandOff();
    chart::PLOT* c = newChart();
    for (auto _ : state) {
        c->Intit(0, false);
        const QImage picture = c->View()->ToImage(kPicture);
        benchmark::DoNotOptimize(picture.constBits());
    }
    Shared().NewChartPending = true;
    delete c;
}
BENCHMARK(BM_LoadAndDraw53x20000)->Unit(benchmark::kMillisecond);

// One more curve of 20,000 points on the Temporary Chart that holds them,
// drawn again.
void BM_AppendOneSubsetTo53x20000(benchmark::State& state) {
    fillHandOff();
    const std::vector<std::vector<double>> added = {curve(60, true), curve(60, false)};
    for (auto _ : state) {
        state.PauseTiming();
        chart::PLOT* c = newChart();
        c->Intit(0, false);
        c->View()->ToImage(kPicture);
        state.ResumeTiming();
        bool failed = false, add = true;
        chart::ShowTemporaryChart(kPoints + 1, added, 0, failed, "", "Species 54", true, add, 1);
        const QImage picture = c->View()->ToImage(kPicture);
        benchmark::DoNotOptimize(picture.constBits());
        state.PauseTiming();
        if (failed || c->Pesgoa1().Subsets() != kSubsets + 1) state.SkipWithError("append failed");
        Shared().NewChartPending = true;
        delete c;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendOneSubsetTo53x20000)->Unit(benchmark::kMillisecond);

// Saving the chart file of that chart, and opening it.
void BM_SaveChartFile53x20000(benchmark::State& state) {
    const chart::ChartModel m = bigModel();
    test::TempDir dir;
    const std::string path = dir.file("big.pg");
    for (auto _ : state) chart::WriteChartFile(m, path);
}
BENCHMARK(BM_SaveChartFile53x20000)->Unit(benchmark::kMillisecond);

// The text of that file alone, without the disk.
void BM_ChartFileText53x20000(benchmark::State& state) {
    const chart::ChartModel m = bigModel();
    for (auto _ : state) {
        const std::string text = chart::ChartFileText(m);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ChartFileText53x20000)->Unit(benchmark::kMillisecond);

void BM_OpenChartFile53x20000(benchmark::State& state) {
    const chart::ChartModel m = bigModel();
    test::TempDir dir;
    const std::string path = dir.file("big.pg");
    chart::WriteChartFile(m, path);
    for (auto _ : state) {
        const chart::ChartModel back = chart::ReadChartFile(path);
        benchmark::DoNotOptimize(back.Subsets());
    }
}
BENCHMARK(BM_OpenChartFile53x20000)->Unit(benchmark::kMillisecond);

}  // namespace
