// Time per integration of the stiff integrator on its reference problems, and
// time per factorisation of the iteration matrices at kinetics sizes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "linear_kernels.h"
#include "radau5.h"
#include "test_problems.h"

namespace {

// One integration from x0 to xend with a numerical Jacobian and default
// options; the work arrays are prepared once, outside the timed loop.
void Integrate(benchmark::State& state, kx::RadauRhs fcn, std::vector<double> y0, double xend,
               double rtol0, double atol0) {
  int n = static_cast<int>(y0.size());
  int lwork = 4 * n * n + 12 * n + 20;
  int liwork = 3 * n + 20;
  std::vector<double> work(lwork);
  std::vector<int> iwork(liwork);
  std::vector<double> y(y0.size());
  int stats[7] = {};
  for (auto _ : state) {
    std::fill(work.begin(), work.begin() + 20, 0.0);
    std::fill(iwork.begin(), iwork.begin() + 20, 0);
    y = y0;
    double x = 0.0;
    double xe = xend;
    double h = 1e-6;
    double rtol = rtol0;
    double atol = atol0;
    int itol = 0, ijac = 0, mljac = n, mujac = 0, imas = 0, mlmas = 0, mumas = 0, iout = 0;
    int idid = 0, nspec = 0, nreac = 0;
    double rpar[1] = {0.0};
    int ipar[1] = {0};
    double th[1] = {0.0};
    kx::RADAU5(n, fcn, x, y.data(), xe, h, &rtol, &atol, itol, kx::SolverDummyJac, ijac, mljac,
               mujac, kx::test::NoMass, imas, mlmas, mumas, kx::test::NoOutput, iout, work.data(),
               lwork, iwork.data(), liwork, rpar, ipar, idid, nspec, nreac, th);
    if (idid != 1) state.SkipWithError("integration failed");
    benchmark::DoNotOptimize(y.data());
    for (int i = 0; i < 7; ++i) stats[i] = iwork[13 + i];
  }
  state.counters["NFCN"] = stats[0];
  state.counters["NSTEP"] = stats[2];
  state.counters["NDEC"] = stats[5];
}

void BM_VanDerPolTol1e8(benchmark::State& state) {
  Integrate(state, kx::test::VanDerPol, {2.0, -0.66}, 2.0, 1e-8, 1e-8);
}
BENCHMARK(BM_VanDerPolTol1e8)->Unit(benchmark::kMicrosecond);

void BM_RobertsonTo4e10(benchmark::State& state) {
  Integrate(state, kx::test::Robertson, {1.0, 0.0, 0.0}, 4e10, 1e-6, 1e-10);
}
BENCHMARK(BM_RobertsonTo4e10)->Unit(benchmark::kMicrosecond);

// Real and complex factorisation of an iteration-matrix-like system
// (diagonally weighted, dense) of order N: the cost of one decomposition.
void BM_FactorIterationMatrices(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<double> jac(static_cast<size_t>(n) * n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) jac[i + j * n] = std::sin(1.0 + i * 0.7 + j * 1.3);
  }
  std::vector<double> e1(jac.size()), e2r(jac.size()), e2i(jac.size());
  std::vector<int> ip1(n), ip2(n);
  for (auto _ : state) {
    for (size_t k = 0; k < jac.size(); ++k) {
      e1[k] = -jac[k];
      e2r[k] = -jac[k];
      e2i[k] = 0.0;
    }
    for (int j = 0; j < n; ++j) {
      e1[j + j * n] += 3.6;
      e2r[j + j * n] += 2.7;
      e2i[j + j * n] = 3.0;
    }
    int ier = 0;
    kx::DecomposeReal(n, n, e1.data(), ip1.data(), ier);
    kx::DecomposeComplex(n, n, e2r.data(), e2i.data(), ip2.data(), ier);
    benchmark::DoNotOptimize(e1.data());
    benchmark::DoNotOptimize(e2r.data());
  }
}
BENCHMARK(BM_FactorIterationMatrices)->Arg(54)->Arg(101)->Arg(301)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
