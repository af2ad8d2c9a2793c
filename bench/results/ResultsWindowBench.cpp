// The results window on a long run: opening it through the program's opener
// on a GRI-Mech results file of 20,000 records and drawing the mole fraction
// of CH4 over the whole run on the Temporary Chart.
//
// Runs offscreen. The counters give the file's size and how far the
// process's peak memory rose above what it held before the first opening.
#include <benchmark/benchmark.h>


#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "DesktopTestSupport.h"
#include "FormRegistry.h"
#include "TestOptions.h"
#include "Grid.h"
#include "LongRun.h"
#include "MenuForm.h"
#include "MessageBox.h"
#include "PLOT_Module3.h"
#include "Scripted.h"
#include "SolverFileChecks.h"
#include "SolverFileOpening.h"

namespace {

constexpr int kRecords = 20000;

// Resident memory now, in bytes.
double ResidentBytes() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The highest resident memory so far, in bytes.
double PeakBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

struct Program {
    kx::test::TempDir runs, shortRuns;
    std::string path;
    std::string shortRun;
    std::unique_ptr<kx::test::ProgramFolder> folder;
    std::unique_ptr<kx::platform::testing::ScriptedMessages> messages;

    Program() {
        path = kxtest::LongGriRun(runs, kRecords).string();
        shortRun = kxtest::GriRun(shortRuns).string();
        folder = std::make_unique<kx::test::ProgramFolder>();
        kxtest::SetTestOptions(kx::Shared());
        kx::Shared().LogTimeAxis = false;
        kx::chart::InstallChartWindows();
        kx::results::InstallResultsWindow();
        // Any message would mean the measurement went wrong.
        messages = std::make_unique<kx::platform::testing::ScriptedMessages>(
            [](const QString& what) { throw std::runtime_error(what.toStdString()); });
    }
};

Program& TheProgram() {
    static Program program;
    return program;
}

// Opens the window, draws CH4's mole fraction, and returns the chart's
// point count.
int OpenAndDraw(const std::string& path) {
    kx::runs::OpenResultsWindow(path);
    auto* w = dynamic_cast<kx::results::MenuForm*>(kx::platform::FindForm(kx::shell::kResultsWindow));
    if (!w) throw std::runtime_error("the results window did not open");
    const kx::ResultsTables& t = w->Reader().Tables();
    int ch4 = 0;
    for (int k = 1; k <= t.NumSpecies; ++k)
        if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == "CH4") ch4 = k;
    w->PoltFunc(0, ch4 + 2, "CH4");
    kx::chart::PLOT* chart = kx::chart::TemporaryChart();
    if (!chart) throw std::runtime_error("no chart was drawn");
    chart->resize(900, 650);
    chart->View()->replot(QCustomPlot::rpImmediateRefresh);
    return chart->Pesgoa1().Points();
}

void BM_OpenResultsWindowAndDrawOneSpecies(benchmark::State& state) {
    Program& program = TheProgram();
    const double fileBytes = static_cast<double>(std::filesystem::file_size(program.path));
    // Qt's and the chart's first use (styles, fonts) is not the window's
    // memory: one opening on the short run first.
    OpenAndDraw(program.shortRun);
    kx::test::DeleteAllWindows();
    const double before = ResidentBytes();
    int points = 0;
    for (auto _ : state) {
        points = OpenAndDraw(program.path);
        state.PauseTiming();
        kx::test::DeleteAllWindows();
        state.ResumeTiming();
    }
    state.counters["records"] = kRecords;
    state.counters["points"] = points;
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["peak_rise_MB"] = (PeakBytes() - before) / 1e6;
    state.counters["peak_rise_per_file"] = (PeakBytes() - before) / fileBytes;
}
BENCHMARK(BM_OpenResultsWindowAndDrawOneSpecies)->Unit(benchmark::kMillisecond)->Iterations(5);

// Its parts: the opener's checks of the file, and the reading alone.
void BM_ResultsChecksOfTheOpener(benchmark::State& state) {
    Program& program = TheProgram();
    kxtest::RecordingSink sink;
    for (auto _ : state) {
        bool failed = false;
        std::string message;
        benchmark::DoNotOptimize(kx::runs::SolverFileLacksResults(program.path, false, sink));
        kx::runs::CheckResultsComplete(program.path, failed, message);
        if (failed) throw std::runtime_error(message);
    }
}
BENCHMARK(BM_ResultsChecksOfTheOpener)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadLongRun(benchmark::State& state) {
    Program& program = TheProgram();
    kxtest::RecordingSink sink;
    for (auto _ : state) {
        kx::ResultsReader reader(sink, kxtest::kGasConstantCm3Atm);
        if (!reader.OPEN_Rich(program.path)) throw std::runtime_error("the long run cannot be read");
    }
}
BENCHMARK(BM_ReadLongRun)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

