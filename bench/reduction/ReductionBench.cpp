// Reducing the GRI-Mech sample's run over all its one-step intervals, for
// methane, oxygen, carbon dioxide and the temperature at the default
// parameters, the reduced file written each time.
//
// The run is made once at start by the built solver on a copy of the sample.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "ResultsHolder.h"
#include "SolverRunFixture.h"

namespace {

struct QuietSink : kx::Notifier {
    void Message(const std::string&, int style, const std::string&) override {
        if (style != static_cast<int>(kx::MessageIcon::Information)) throw std::runtime_error("the reduction was refused");
    }
    void ReportError(std::string_view tag, std::string_view description) override {
        throw std::runtime_error(std::string(tag) + std::string(description));
    }
};

struct QuietView : kx::RedGenView {
    void ShowWindow() override {}
    void ProgressBarVisible(bool) override {}
    void ProgressValue(float) override {}
    void CommandEn(bool) override {}
    void BusyPointer(bool) override {}
};

struct GriReduction {
    GriReduction() {
        const std::filesystem::path run = kxtest::RunSample(folder, "gri30_ch4_1400K.txt");
        if (run.empty()) throw std::runtime_error("the solver run failed");
        if (kx::RedOpenSourceFile(run.string(), holder, sink, view, 6.02214076e23, 1.380649e-16, 1.01325e6))
            throw std::runtime_error("cannot read the run");
        const kx::MainParameters p = holder->FromMain_Param();
        const kx::IntervalPoints all = holder->ToMainParam(p.SMin, p.Smax);
        intervals = kx::RedSplitIntervals(all.Times, all.Count - 2, 1);
        settings.TemperatureParameter = 0.1;
        for (const char* name : {"CH4", "O2", "CO2"})
            for (std::size_t k = 1; k < p.SpecArrD.size(); ++k)
                if (p.SpecArrD[k] == name) settings.Targets.push_back({static_cast<int>(k), 0.1});
        target = folder.file("reduced.txt");
    }

    kx::test::TempDir folder;
    QuietSink sink;
    QuietView view;
    std::unique_ptr<kx::SOL_RESX> holder;
    std::vector<kx::RedInterval> intervals;
    kx::RedSettings settings;
    std::string target;
};

void BM_ReduceGriOverAllIntervals(benchmark::State& state) {
    static GriReduction g;
    kx::RedKinModule module;
    for (auto _ : state) {
        const kx::RedOutcome outcome =
            kx::GenerateReducedMechanism(module, *g.holder, g.target, g.intervals, g.settings, g.view, g.sink);
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["intervals"] = static_cast<double>(g.intervals.size());
}
BENCHMARK(BM_ReduceGriOverAllIntervals)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
