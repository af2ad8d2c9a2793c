// The data range the set-up dialog scans when it opens, on a chart of 53
// curves of 20,000 points each read through the chart window's data
// interface, and the check and apply of both axes.
#include "ChartModel.h"
#include "SetupRules.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace kx;

// The chart window's data as the dialog reads it: through the interface,
// point by point.
class ModelData : public platform::ChartDataSource {
public:
    explicit ModelData(const chart::ChartModel& m) : m_(m) {}
    int Subsets() const override { return m_.Subsets(); }
    int Points() const override { return m_.Points(); }
    double XDataII(int s, int p) const override { return m_.X(s, p); }
    double YDataII(int s, int p) const override { return m_.Y(s, p); }

private:
    const chart::ChartModel& m_;
};

chart::ChartModel bigChart() {
    chart::ChartModel m;
    m.Resize(53, 20000);
    for (int s = 0; s < m.Subsets(); ++s) {
        chart::Subset& sub = m.At(s);
        for (int p = 0; p < m.Points(); ++p) {
            sub.x[static_cast<std::size_t>(p)] = p * 1e-7;
            sub.y[static_cast<std::size_t>(p)] = p % 997 == 0 ? kMissingValue : -12 + std::sin(p * 1e-3 + s);
        }
    }
    return m;
}

void ScanDataRangeOfALargeChart(benchmark::State& state) {
    const chart::ChartModel m = bigChart();
    const ModelData data(m);
    for (auto _ : state) benchmark::DoNotOptimize(chart_setup::ScanDataRange(data));
    state.SetItemsProcessed(state.iterations() * m.Subsets() * m.Points());
}
BENCHMARK(ScanDataRangeOfALargeChart)->Unit(benchmark::kMillisecond);

void CheckAndApplyBothAxes(benchmark::State& state) {
    chart_setup::SetupInput input;
    input.X = {true, chart_setup::kModeLinear, "2E-03", "0", "4", "5", 3};
    input.Y = {true, chart_setup::kModeLog, "1", "1E-12", "", "", 3};
    input.Styles.assign(53, chart_setup::SubsetStyle{"Mole Fraction OH", 3, 5, 255});
    chart_setup::ChartProperties chart;
    chart.Subsets.resize(53);
    // Shown as the chart had it: every axis and style is written.
    chart_setup::SetupInput shown;
    shown.Styles = chart.Subsets;
    for (auto _ : state) {
        benchmark::DoNotOptimize(chart_setup::CheckAxis(input.X, 'X'));
        benchmark::DoNotOptimize(chart_setup::CheckAxis(input.Y, 'Y'));
        chart_setup::ApplySetup(chart, input, shown);
        benchmark::DoNotOptimize(chart);
    }
}
BENCHMARK(CheckAndApplyBothAxes)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
