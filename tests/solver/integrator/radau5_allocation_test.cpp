// The integration allocates nothing: everything lives in WORK and IWORK.
// This executable replaces the global allocation functions to count calls.
#include <gtest/gtest.h>

#include <vector>

#include "allocation_counter.h"
#include "radau5.h"
#include "test_problems.h"

namespace kx::test {
namespace {

TEST(Radau5Allocation, IntegrationAllocatesNothing) {
  int n = 3;
  int lwork = 4 * n * n + 12 * n + 20;
  int liwork = 3 * n + 20;
  std::vector<double> work(lwork, 0.0);
  std::vector<int> iwork(liwork, 0);
  std::vector<double> y = {1.0, 0.0, 0.0};
  double x = 0.0, xend = 4e10, h = 1e-6, rtol = 1e-6, atol = 1e-10;
  int itol = 0, ijac = 0, mljac = n, mujac = 0, imas = 0, mlmas = 0, mumas = 0, iout = 1;
  int idid = 0, nspec = 0, nreac = 0;
  double rpar[1] = {0.0};
  int ipar[1] = {0};
  double th[1] = {0.0};
  const long before = kxtest::allocations;
  RADAU5(n, Robertson, x, y.data(), xend, h, &rtol, &atol, itol, SolverDummyJac, ijac, mljac,
         mujac, NoMass, imas, mlmas, mumas, NoOutput, iout, work.data(), lwork, iwork.data(),
         liwork, rpar, ipar, idid, nspec, nreac, th);
  const long during = kxtest::allocations - before;
  EXPECT_EQ(idid, 1);
  EXPECT_EQ(during, 0);
}

}  // namespace
}  // namespace kx::test
