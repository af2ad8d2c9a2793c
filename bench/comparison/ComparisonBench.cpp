// Comparing the GRI-Mech sample's run with its reduced mechanism's run:
// "Prepare" (both files read, the species merged, both results converted)
// and the curves of methane that a double click on its row draws.
//
// The runs are made once at start by the built solver: the sample, then the
// reduction for methane, oxygen, carbon dioxide and the temperature.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "ComparisonPlot.h"
#include "ReductionTestSupport.h"
#include "SolverRunFixture.h"

namespace {

struct QuietSink : kx::Notifier {
    void Message(const std::string&, int style, const std::string& text) override {
        if (style != static_cast<int>(kx::MessageIcon::Information)) throw std::runtime_error(text);
    }
    void ReportError(std::string_view tag, std::string_view description) override {
        throw std::runtime_error(std::string(tag) + std::string(description));
    }
};

struct GriRuns {
    GriRuns() {
        full = kxtest::RunSample(folder, "gri30_ch4_1400K.txt").string();
        if (full.empty()) throw std::runtime_error("the solver run failed");
        reduced = folder.file("reduced.txt");
        kx::RedKinModule module;
        if (!kxtest::ReduceForMethane(full, reduced, sink, module).Written || !kxtest::RunSolver(reduced))
            throw std::runtime_error("the reduced run failed");
    }
    kx::test::TempDir folder;
    QuietSink sink;
    std::string full, reduced;
};

GriRuns& Runs() {
    static GriRuns runs;
    return runs;
}

void Prepare(kx::ComparisonFiles& files) {
    if (files.OpenFiles(Runs().full, Runs().reduced).Failed) throw std::runtime_error("refused");
    files.SpeciesAARR();
    files.ConvertToMoleFractions();
}

void BM_PrepareFullAndReducedGri(benchmark::State& state) {
    for (auto _ : state) {
        kx::ComparisonFiles files(Runs().sink);
        Prepare(files);
        benchmark::DoNotOptimize(files.MergedSpeciesLast());
    }
}
BENCHMARK(BM_PrepareFullAndReducedGri)->Unit(benchmark::kMillisecond);

// Both files' curves of CH4 and its relative error, as three double clicks draw them.
void BM_MethaneCurves(benchmark::State& state) {
    kx::ComparisonFiles files(Runs().sink);
    Prepare(files);
    int row = 0;
    for (int r = 1; r <= files.MergedSpeciesLast(); ++r)
        if (files.MergedSpecies()[static_cast<std::size_t>(r)].Name == "CH4") row = r;
    const kx::CmpMergedRow& m = files.MergedSpecies()[static_cast<std::size_t>(row)];
    kx::CmpPlotSettings s;
    s.UnitDivisor = 82.0573661;
    for (auto _ : state)
        for (kx::CmpFunction f : {kx::CmpFunction::File1, kx::CmpFunction::File2, kx::CmpFunction::RelativeError})
            benchmark::DoNotOptimize(kx::CmpBuildCurve(files, f, row, kx::CmpValueRow(m.Index1), kx::CmpValueRow(m.Index2), s));
    state.counters["points"] = files.File(1).PointCount;
}
BENCHMARK(BM_MethaneCurves)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
