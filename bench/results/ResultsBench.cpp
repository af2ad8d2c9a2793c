// Reading the results of the GRI-Mech sample run and the contributions of
// all reactions to one species over the whole run.
//
// The results file is produced once at start by running the built solver on
// a copy of the sample in a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "ResultsReader.h"

namespace {

struct QuietSink : kx::Notifier {
    void Message(const std::string& text, int, const std::string&) override { throw std::runtime_error(text); }
    void ReportError(std::string_view tag, std::string_view description) override {
        throw std::runtime_error(std::string(tag) + std::string(description));
    }
};

constexpr double kGasConstantCm3Atm = 82.0573661;

// The run's folder, removed at exit.
struct GriRun {
    GriRun() {
        const std::filesystem::path copy = folder / "gri30_ch4_1400K.txt";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(std::filesystem::path(KX_SAMPLES_DIR) / "gri30_ch4_1400K.txt", copy,
                                   std::filesystem::copy_options::overwrite_existing);
        std::ofstream(folder / "SolverFilePath.txt", std::ios::binary) << copy.string() << "\r\n";
        const std::string command = "cd '" + folder.string() + "' && '" KX_SOLVER_EXE "' > solver.log 2>&1";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("the solver run failed");
        path = copy.string();
    }
    ~GriRun() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kx_results_bench_" + std::to_string(::getpid()));
    std::string path;
};

const std::string& GriResults() {
    static const GriRun run;
    return run.path;
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
        kx::ResultsReader reader(sink, kGasConstantCm3Atm);
        benchmark::DoNotOptimize(reader.OPEN_Rich(path));
    }
}
BENCHMARK(BM_ReadGriResults)->Unit(benchmark::kMillisecond);

void BM_ContributionsToCH4(benchmark::State& state) {
    QuietSink sink;
    kx::ResultsReader reader(sink, kGasConstantCm3Atm);
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
        kx::ResultsReader reader(sink, kGasConstantCm3Atm);
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
