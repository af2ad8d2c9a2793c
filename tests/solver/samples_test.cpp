// The sample files run end to end, checked against the reference
// values of an independent reactor code and the integrator's statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "solver.h"
#include "solver_test_support.h"

namespace {

struct Statistics {
  long nfcn, njac, nstep, naccpt;
};

long Value(const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& l : lines)
    if (l.rfind(label, 0) == 0) return std::stol(l.substr(label.size()));
  return -1;
}

struct SampleRun {
  kxtest::TempDir dir;
  std::string path;
  kxtest::RunResult result;
  std::vector<std::string> lines;
  std::vector<kxtest::ResultsRecord> records;
  Statistics statistics{};

  // Runs a copy of the sample, optionally with another final time.
  explicit SampleRun(const std::string& name, const std::string& finalTime = "") {
    std::string text = kxtest::ReadBytes(std::string(KX_SAMPLES_DIR) + "/" + name);
    if (!finalTime.empty()) {
      auto all = kxtest::Lines(text);
      all[19] = " " + finalTime + " !Final Time";
      text.clear();
      for (const auto& l : all) text += l + "\r\n";
    }
    path = dir.write(name, text);
    result = kxtest::RunSolver(dir, path);
    lines = kxtest::Lines(kxtest::ReadBytes(path));
    model = std::make_unique<kx::SolverModel>();
    kx::SolverInputError error;
    EXPECT_EQ(kx::SolverLoadModel(path, *model, error), kx::SolverLoad::Loaded);
    records = kxtest::ReadRecords(lines, model->NSPEC);
    statistics = {Value(lines, "       NUMBER OF FUNCTION EVALUATIONS ="),
                  Value(lines, "       NUMBER OF JACOBIAN EVALUATIONS ="),
                  Value(lines, "       NUMBER OF COMPUTED STEPS ="),
                  Value(lines, "       NUMBER OF ACCEPTED STEPS =")};
  }

  // The recorded time with the largest dT/dt, from the solver's own
  // right-hand side at each recorded state.
  double IgnitionTime() {
    kx::SolverUseModel(*model);
    double best = -1, when = 0;
    for (const auto& r : records) {
      std::vector<double> y = r.y, f(r.y.size() + 1);
      y.push_back(r.temperature);
      int n = static_cast<int>(y.size());
      double x = r.time;
      kx::SolverRhs(n, x, y.data(), f.data(), model->RREAC, model->IREAC, model->NSPEC, model->NREAC, model->TH);
      if (f.back() > best) {
        best = f.back();
        when = r.time;
      }
    }
    return when;
  }

  std::unique_ptr<kx::SolverModel> model;
};

// The integrator's counters on the samples are those of the published
// RADAU5 called as the solver calls it: a change of the kinetics or of the
// linear algebra that moves them is a change of what the solver computes.
void ExpectStatistics(const Statistics& got, const Statistics& ref) {
  EXPECT_EQ(got.nfcn, ref.nfcn);
  EXPECT_EQ(got.njac, ref.njac);
  EXPECT_EQ(got.nstep, ref.nstep);
  EXPECT_EQ(got.naccpt, ref.naccpt);
}

struct IgnitionCase {
  const char* file;
  double ignition;     // s
  double temperature;  // K at the final time
  double finalTime;
  Statistics statistics;
};

TEST(Samples, AdiabaticIgnitionMatchesTheReferenceReactor) {
  const IgnitionCase cases[] = {
      {"h2_air_1000K.txt", 0.22301e-3, 2691.57, 1e-3, {1140, 114, 140, 138}},
      {"gri30_ch4_1400K.txt", 3.4378e-3, 2698.39, 1e-2, {1524, 176, 190, 189}},
      {"nc12_air_1100K_10atm.txt", 0.53235e-3, 2190.586, 4e-3, {1452, 166, 192, 192}},
  };
  for (const IgnitionCase& c : cases) {
    SCOPED_TRACE(c.file);
    SampleRun run(c.file);
    ASSERT_EQ(run.result.status, 0) << run.result.errors;
    ASSERT_GT(run.records.size(), 10u);
    EXPECT_EQ(run.records.back().time, c.finalTime);
    EXPECT_NEAR(run.records.back().temperature, c.temperature, 1.0);
    EXPECT_NEAR(run.IgnitionTime(), c.ignition, 0.005 * c.ignition);
    ExpectStatistics(run.statistics, c.statistics);
    // Every computed step accepted: none rejected (NREJCT 0), no Newton failure.
    if (c.statistics.nstep == c.statistics.naccpt) {
      EXPECT_EQ(run.statistics.nstep, run.statistics.naccpt);
    }
  }
}

TEST(Samples, IsothermalMassFractionsMatchTheReferenceReactor) {
  // Columns: H2, O2, H2O, OH, H, HO2 (species 1, 2, 3, 6, 4, 7 of the file).
  const int species[6] = {1, 2, 3, 6, 4, 7};
  struct Row {
    const char* time;
    double y[6];
  };
  const Row rows[] = {
      {"1.000000E-04",
       {1.500440702e-03, 1.542514951e-02, 9.418823325e-02, 1.147113507e-03, 6.631058782e-04, 1.399707799e-05}},
      {"2.000000E-04",
       {6.915592367e-04, 6.064025434e-03, 1.066047612e-01, 4.403961840e-04, 1.246759594e-04, 5.843521429e-06}},
      {"5.000000E-04",
       {3.556008813e-04, 2.918248537e-03, 1.105902552e-01, 1.948427527e-04, 2.932277651e-05, 2.734955001e-06}},
      {"1.000000E-03",
       {2.330033411e-04, 1.871020818e-03, 1.118808346e-01, 1.192748591e-04, 1.203101579e-05, 1.671133471e-06}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.time);
    SampleRun run("h2_o2_ar_isothermal.txt", row.time);
    ASSERT_EQ(run.result.status, 0) << run.result.errors;
    const auto& first = run.records.front();
    EXPECT_NEAR(first.y[0], 1.277242777e-02, 1e-4 * 1.277242777e-02);
    EXPECT_NEAR(first.y[1], 1.013621389e-01, 1e-4 * 1.013621389e-01);
    const auto& last = run.records.back();
    for (int k = 0; k < 6; ++k)
      EXPECT_NEAR(last.y[static_cast<std::size_t>(species[k] - 1)], row.y[k], 0.01 * row.y[k]) << "column " << k;
    for (const auto& r : run.records) EXPECT_EQ(r.temperature, 1200.0);
    if (std::string(row.time) == "1.000000E-03") ExpectStatistics(run.statistics, {875, 94, 124, 122});
  }
}

}  // namespace
