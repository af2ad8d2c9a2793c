// The right-hand side and the output routine allocate no memory: every
// operator new of this test program is counted.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
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

// A copy of the GRI-Mech sample with another final time (line 20).
std::string SampleWithFinalTime(const std::filesystem::path& folder, const char* finalTime) {
  std::ifstream in(std::string(KX_SAMPLES_DIR) + "/gri30_ch4_1400K.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t at = 0;
  for (int line = 1; line < 20; ++line) at = text.find('\n', at) + 1;
  text.replace(at, text.find('\r', at) - at, std::string(" ") + finalTime + " !Final Time");
  const std::filesystem::path path = folder / (std::string("gri_") + finalTime + ".txt");
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

// What a run allocates (reading the file, setting up) does not grow with its
// steps: the integration itself (right-hand sides, Jacobians, decompositions,
// output) allocates nothing.
TEST(SolverAllocations, AWholeRunAllocatesNothingPerStep) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kx_allocations_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::FILE* console = std::tmpfile();
  kx::SolverCommon.console = console;
  // The first run is not counted: storage kept for later runs (the path)
  // is allocated there.
  long counted[3];
  int steps[3];
  const char* finalTimes[3] = {"1.00E-04", "1.00E-04", "1.00E-02"};
  for (int k = 0; k < 3; ++k) {
    const std::string path = SampleWithFinalTime(folder, finalTimes[k]);
    kx::SolverRunStatistics statistics;
    const long before = allocations;
    ASSERT_EQ(kx::SolverRunFile(path, &statistics), kx::kExitCompleted);
    counted[k] = allocations - before;
    steps[k] = statistics.nstep;
    // A run looks at the files beside its own (what ended runs left there):
    // each run finds the folder as the one before it did.
    std::filesystem::remove(path);
  }
  EXPECT_GT(steps[2], steps[1] + 100);
  EXPECT_EQ(counted[2], counted[1]);
  kx::SolverCommon.console = stdout;
  std::fclose(console);
  std::filesystem::remove_all(folder);
}

}  // namespace
