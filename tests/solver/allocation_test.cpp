// The right-hand side and the output routine allocate no memory: every
// operator new of this test program is counted.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "allocation_counter.h"
#include "solver.h"

namespace {

using kxtest::allocations;

TEST(SolverAllocations, RightHandSideAndOutputAllocateNothing) {
  auto model = std::make_unique<kx::SolverModel>();
  kx::SolverInputError error;
  ASSERT_EQ(kx::SolverLoadModel(std::string(KX_SAMPLES_DIR) + "/gri30_ch4_1400K.txt", *model, error),
            kx::SolverLoad::Loaded);
  kx::SolverUseModel(*model);
  std::FILE* file = std::tmpfile();
  std::FILE* console = std::tmpfile();
  kx::SolverCommon.solverFile = file;
  kx::SolverCommon.console = console;
  int n = model->NSPEC + 1;
  std::vector<double> y(static_cast<std::size_t>(n), 1.0 / model->NSPEC), f(static_cast<std::size_t>(n));
  y.back() = 1500.0;
  double x = 0.0, xold = 0.0;
  int lrc = 0, irtrn = 0;

  const long before = allocations;
  for (int nr = 1; nr <= 50; ++nr) {
    y.back() += 1.0;
    y[static_cast<std::size_t>(nr % 7)] += 1e-6;
    kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);
    kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);
    kx::SolverStepOutput(nr, xold, x, y.data(), f.data(), lrc, n, model->RREAC, model->IREAC, irtrn);
    x += 1e-6;
  }
  EXPECT_EQ(allocations - before, 0);
  EXPECT_EQ(kx::SolverCommon.RECORDS, 50);

  kx::SolverCommon.solverFile = nullptr;
  kx::SolverCommon.console = stdout;
  std::fclose(file);
  std::fclose(console);
}

}  // namespace
