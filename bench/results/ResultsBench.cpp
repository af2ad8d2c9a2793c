// Reading the results of the GRI-Mech sample run and the contributions of
// all reactions to one species over the whole run.
//
// The results file is produced once, by running the built solver on a copy of
// the sample in a temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "ResultsReader.h"
#include "SolverRunFixture.h"

namespace {

struct QuietSink : kx::Notifier {
    void Message(const std::string& text, int, const std::string&) override { throw std::runtime_error(text); }
    void ReportError(std::string_view tag, std::string_view description) override {
        throw std::runtime_error(std::string(tag) + std::string(description));
    }
};

// The run, in a folder removed at exit.
const std::string& GriResults() {
    static const kx::test::TempDir folder;
    static const std::string path = [] {
        const std::filesystem::path run = kxtest::RunSample(folder, "gri30_ch4_1400K.txt");
        if (run.empty()) throw std::runtime_error("the solver run failed");
        return run.string();
    }();
    return path;
}

int SpeciesNumber(const kx::ResultsReader& reader, const std::string& name) {
    const kx::ResultsTables& t = reader.Tables();
    for (int k = 1; k <= t.NumSpecies; ++k)
        if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == name) return k;
    throw std::runtime_error("no species " + name);
}

void BM_ReadGriResults(benchmark::State& state) {
    QuietSink sink;
    const std::string& path = GriResults();
    for (auto _ : state) {
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        benchmark::DoNotOptimize(reader.OPEN_Rich(path));
    }
}
BENCHMARK(BM_ReadGriResults)->Unit(benchmark::kMillisecond);

void BM_ContributionsToCH4(benchmark::State& state) {
    QuietSink sink;
    kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
    reader.OPEN_Rich(GriResults());
    const int ch4 = SpeciesNumber(reader, "CH4");
    for (auto _ : state) {
        double sum = 0;
        reader.ShowReacDeRe(ch4, true, [&](const kx::ContributionTable& t) { sum = t.ActualChange; });
        benchmark::DoNotOptimize(sum);
    }
    state.counters["records"] = reader.Tables().ResultRowCount - 1;
}
BENCHMARK(BM_ContributionsToCH4)->Unit(benchmark::kMillisecond);

// What the results window does for one species after opening the file.
void BM_ReadAndContributionsToCH4(benchmark::State& state) {
    QuietSink sink;
    const std::string& path = GriResults();
    for (auto _ : state) {
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        reader.OPEN_Rich(path);
        double sum = 0;
        reader.ShowReacDeRe(SpeciesNumber(reader, "CH4"), true,
                            [&](const kx::ContributionTable& t) { sum = t.ActualChange; });
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ReadAndContributionsToCH4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
