// The checks that read a whole solver file before a window shows it: the
// check before a solver file opens, and the quick look for results that
// the text window makes each time it becomes active. On the GRI-Mech
// sample as the solver leaves it, and on a long run of it (20,000
// records, about 19 MB).
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "LongRun.h"
#include "SolverFileChecks.h"
#include "TempDir.h"

namespace {

struct QuietNotifier : kx::Notifier {
    void Message(const std::string& text, int, const std::string&) override { throw std::runtime_error(text); }
    void ReportError(std::string_view tag, std::string_view description) override {
        throw std::runtime_error(std::string(tag) + std::string(description));
    }
};

// Argument 0: the sample's run; 1: the long run. Each in a folder of its
// own, removed at exit.
const std::string& Run(long which) {
    static const kx::test::TempDir sampleFolder, longFolder;
    static const std::string sample = kxtest::GriRun(sampleFolder).string();
    static const std::string longRun = kxtest::LongGriRun(longFolder, 20000).string();
    return which == 0 ? sample : longRun;
}

void BM_CheckBeforeOpening(benchmark::State& state) {
    QuietNotifier notifier;
    const std::string& path = Run(state.range(0));
    for (auto _ : state) {
        bool accepted = false;
        benchmark::DoNotOptimize(kx::runs::CheckSolverFileHeader(path, accepted, notifier));
        if (!accepted) throw std::runtime_error("refused");
    }
}
BENCHMARK(BM_CheckBeforeOpening)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_QuickLookForResults(benchmark::State& state) {
    QuietNotifier notifier;
    const std::string& path = Run(state.range(0));
    for (auto _ : state) {
        if (kx::runs::SolverFileLacksResults(path, false, notifier)) throw std::runtime_error("no results");
    }
}
BENCHMARK(BM_QuickLookForResults)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
