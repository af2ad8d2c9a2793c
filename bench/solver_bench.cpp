// Timings of the console solver: each sample file run as the solver runs it
// (read, integrate, write), and single right-hand-side evaluations.
//
//   build/bench/kx_solver_bench --benchmark_repetitions=10
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TempDir.h"
#include "solver.h"

namespace {

std::string Sample(const std::string& name) { return std::string(KX_SAMPLES_DIR) + "/" + name; }

// The solver's console goes nowhere while it is timed.
struct QuietConsole {
  QuietConsole() : saved(kx::SolverCommon.console), sink(std::fopen("/dev/null", "w")) {
    kx::SolverCommon.console = sink;
  }
  ~QuietConsole() {
    kx::SolverCommon.console = saved;
    std::fclose(sink);
  }
  std::FILE* saved;
  std::FILE* sink;
};

void BM_SolverRun(benchmark::State& state, const char* name) {
  const std::string pristine = kx::test::ReadBytes(Sample(name));
  const kx::test::TempDir dir;
  const std::string path = dir.file(name);
  QuietConsole quiet;
  kx::SolverRunStatistics statistics;
  int status = 0;
  for (auto _ : state) {
    state.PauseTiming();
    dir.write(name, pristine);
    state.ResumeTiming();
    status = kx::SolverRunFile(path, &statistics);
  }
  if (status != kx::kExitCompleted) state.SkipWithError("the run did not complete");
  state.counters["NFCN"] = statistics.nfcn;
  state.counters["NJAC"] = statistics.njac;
  state.counters["NSTEP"] = statistics.nstep;
  state.counters["NACCPT"] = statistics.naccpt;
  state.counters["NREJCT"] = statistics.nrejct;
  state.counters["RECORDS"] = static_cast<double>(statistics.records);
  state.counters["T_end"] = statistics.finalTemperature;
}

BENCHMARK_CAPTURE(BM_SolverRun, h2_o2_ar_isothermal, "h2_o2_ar_isothermal.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolverRun, h2_air_1000K, "h2_air_1000K.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolverRun, gri30_ch4_1400K, "gri30_ch4_1400K.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolverRun, nc12_air_1100K_10atm, "nc12_air_1100K_10atm.txt")->Unit(benchmark::kMillisecond);

// One right-hand side of the GRI-Mech sample at 1800 K: with a new
// temperature every call (stage evaluations) or the same one (Jacobian
// columns, which change one mass fraction).
void BM_GriRhs(benchmark::State& state) {
  const bool newTemperature = state.range(0) != 0;
  auto model = std::make_unique<kx::SolverModel>();
  kx::SolverInputError error;
  if (kx::SolverLoadModel(Sample("gri30_ch4_1400K.txt"), *model, error) != kx::SolverLoad::Loaded) {
    state.SkipWithError("cannot load the sample");
    return;
  }
  kx::SolverUseModel(*model);
  int n = model->NSPEC + 1;
  std::vector<double> y(static_cast<std::size_t>(n), 0.0), f(static_cast<std::size_t>(n));
  for (int i = 0; i < model->NSPEC; ++i) y[static_cast<std::size_t>(i)] = 1.0 / model->NSPEC;
  y.back() = 1800.0;
  double x = 0.0;
  double step = 1e-9;
  for (auto _ : state) {
    if (newTemperature) {
      y.back() += step;
      step = -step;
    } else {
      y[3] += step;
    }
    kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);
    benchmark::DoNotOptimize(f.data());
  }
}

BENCHMARK(BM_GriRhs)->ArgName("new_temperature")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
