// Timings of the console solver: each sample file run as the solver runs it
// (read, integrate, write), and single right-hand-side evaluations. The
// whole process is timed from the command line (a shell loop around
// KINOVEX_SOLVER, taking the median of several runs).
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

// One right-hand side of the GRI-Mech sample at 1800 K, as the integrator
// asks for it:
// - new_temperature: every call at another temperature (the stage
//   evaluations and the temperature column of an adiabatic run), so the
//   rate constants are computed anew;
// - jacobian_column: one mass fraction of the last full state changed, the
//   temperature not (86 % of all evaluations of the sample);
// - same_temperature: every mass fraction changed, the temperature not (the
//   stage evaluations of an isothermal run).
enum class RhsCase { kNewTemperature, kJacobianColumn, kSameTemperature };

void BM_GriRhs(benchmark::State& state, RhsCase rhsCase) {
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
  auto rhs = [&] {
    kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);
  };
  rhs();
  const std::vector<double> base = y;
  int column = 0;
  for (auto _ : state) {
    switch (rhsCase) {
      case RhsCase::kNewTemperature:
        y.back() += step;
        step = -step;
        break;
      case RhsCase::kJacobianColumn:
        y[static_cast<std::size_t>(column)] = base[static_cast<std::size_t>(column)];
        column = (column + 1) % model->NSPEC;
        y[static_cast<std::size_t>(column)] += 1e-9;
        break;
      case RhsCase::kSameTemperature:
        for (int i = 0; i < model->NSPEC; ++i) y[static_cast<std::size_t>(i)] += step;
        step = -step;
        break;
    }
    rhs();
    benchmark::DoNotOptimize(f.data());
  }
}

BENCHMARK_CAPTURE(BM_GriRhs, new_temperature, RhsCase::kNewTemperature)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_GriRhs, jacobian_column, RhsCase::kJacobianColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_GriRhs, same_temperature, RhsCase::kSameTemperature)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
