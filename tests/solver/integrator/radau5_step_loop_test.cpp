// Step loop of RADAU5: the output callback, the exits and their console
// records, the first step size, backward integration, and a right-hand side
// that turns into not-a-number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "radau_test_support.h"
#include "test_problems.h"

namespace kx::test {
namespace {

// ---- Output callback recorder.
struct OutputCall {
  int nr;
  double xold;
  double x;
  std::vector<double> y;
  std::vector<double> cont_head;  // CONT(1..N)
  int lrc;
};
std::vector<OutputCall> g_calls;
int g_stop_at_call = 0;  // 0: never stop

void Record(int& nr, double& xold, double& x, double* y, double* cont, int& lrc, int& n, double*,
            int*, int& irtrn) {
  g_calls.push_back({nr, xold, x, std::vector<double>(y, y + n),
                     std::vector<double>(cont, cont + n), lrc});
  if (static_cast<int>(g_calls.size()) == g_stop_at_call) irtrn = -1;
}

class Radau5StepLoop : public testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_stop_at_call = 0;
  }
};

TEST_F(Radau5StepLoop, OutputOnceBeforeTheFirstStepAndOncePerAcceptedStep) {
  RadauCase c = VanDerPolCase();
  c.rtol = {1e-4};
  c.atol = {1e-4};
  c.solout = Record;
  const RadauOutcome o = RunRadau(c);
  ASSERT_EQ(o.idid, 1);
  const int naccpt = o.stats[3];
  ASSERT_EQ(static_cast<int>(g_calls.size()), naccpt + 1);
  EXPECT_EQ(g_calls[0].xold, 0.0);
  EXPECT_EQ(g_calls[0].x, 0.0);
  EXPECT_EQ(g_calls[0].y, c.y0);
  for (size_t k = 0; k < g_calls.size(); ++k) {
    EXPECT_EQ(g_calls[k].nr, static_cast<int>(k) + 1);
    EXPECT_EQ(g_calls[k].lrc, 8);
    EXPECT_EQ(g_calls[k].cont_head, g_calls[k].y);
    if (k > 0) {
      EXPECT_EQ(g_calls[k].xold, g_calls[k - 1].x);
      EXPECT_GT(g_calls[k].x, g_calls[k].xold);
    }
  }
  EXPECT_EQ(g_calls.back().x, 2.0);
  EXPECT_EQ(g_calls.back().y, o.y);
}

struct StopCase {
  double x0;
  std::string field;  // the 18-character X field of the exit record
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.x0; }

class Radau5OutputStop : public Radau5StepLoop, public testing::WithParamInterface<StopCase> {};

TEST_P(Radau5OutputStop, StopAtTheFirstCallReportsTheInitialPoint) {
  RadauCase c;
  c.fcn = Decay;
  c.y0 = {1.0};
  c.x0 = GetParam().x0;
  c.xend = c.x0 + 1.0;
  c.solout = Record;
  g_stop_at_call = 1;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " EXIT OF RADAU5 AT X=" + GetParam().field + "\n");
  EXPECT_EQ(o.idid, 2);
  EXPECT_EQ(o.x, c.x0);
  EXPECT_EQ(o.stats[2], 0);
}

INSTANTIATE_TEST_SUITE_P(ExitRecord, Radau5OutputStop,
                         testing::Values(StopCase{0.0, "        0.0000E+00"},
                                         StopCase{-12345.678, "       -0.1235E+05"},
                                         StopCase{0.00099996, "        0.1000E-02"},
                                         StopCase{2.5e-120, "        0.2500-119"}));

TEST_F(Radau5StepLoop, StopAfterAnAcceptedStepEndsThere) {
  RadauCase c = VanDerPolCase();
  c.solout = Record;
  g_stop_at_call = 4;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(o.idid, 2);
  EXPECT_EQ(o.stats[3], 3);
  ASSERT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(o.x, g_calls[3].x);
  EXPECT_EQ(o.y, g_calls[3].y);
  EXPECT_EQ(console.rfind(" EXIT OF RADAU5 AT X=", 0), 0u);
  EXPECT_EQ(console.size(), std::string(" EXIT OF RADAU5 AT X=").size() + 18 + 1);
}

TEST_F(Radau5StepLoop, StepLimitEndsSilentlyWithMinusTwo) {
  RadauCase c = VanDerPolCase();
  c.iwork_options[1] = 10;
  c.solout = Record;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(o.idid, -2);
  EXPECT_EQ(o.stats[2], 11);
  EXPECT_EQ(o.x, g_calls.back().x);
  EXPECT_LT(o.x, 2.0);
}

// y' = y^2 from y(0) = 1 reaches infinity at x = 1.
void BlowUp(int&, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  f[0] = y[0] * y[0];
}

TEST_F(Radau5StepLoop, TooSmallStepEndsSilentlyWithMinusThree) {
  RadauCase c;
  c.fcn = BlowUp;
  c.y0 = {1.0};
  c.xend = 2.0;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(o.idid, -3);
  EXPECT_NEAR(o.x, 1.0, 1e-3);
  EXPECT_GT(o.y[0], 1e6);
  EXPECT_LE(0.1 * std::abs(o.h), std::abs(o.x) * 1e-16);
}

TEST_F(Radau5StepLoop, IntegratesBackwards) {
  RadauCase c;
  c.fcn = Decay;
  c.y0 = {1.0};
  c.xend = -1.0;
  c.rtol = {1e-8};
  c.atol = {1e-8};
  c.solout = Record;
  const RadauOutcome o = RunRadau(c);
  ASSERT_EQ(o.idid, 1);
  EXPECT_EQ(o.x, -1.0);
  EXPECT_NEAR(o.y[0], std::exp(1.0), 1e-7);
  for (size_t k = 1; k < g_calls.size(); ++k) EXPECT_LT(g_calls[k].x, g_calls[k].xold);
}

struct FirstStepCase {
  double h0;
  double xend;
  double first_step_end;
};

void PrintTo(const FirstStepCase& c, std::ostream* os) { *os << c.h0 << " to " << c.xend; }

class Radau5FirstStep : public Radau5StepLoop, public testing::WithParamInterface<FirstStepCase> {
};

TEST_P(Radau5FirstStep, StartsWithTheResolvedStepSize) {
  RadauCase c;
  c.fcn = Decay;
  c.y0 = {1.0};
  c.h0 = GetParam().h0;
  c.xend = GetParam().xend;
  c.solout = Record;
  const RadauOutcome o = RunRadau(c);
  ASSERT_EQ(o.idid, 1);
  ASSERT_GE(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].x, GetParam().first_step_end);
}

INSTANTIATE_TEST_SUITE_P(
    InitialStep, Radau5FirstStep,
    testing::Values(FirstStepCase{0.0, 1.0, 1e-6},      // no guess: 1e-6
                    FirstStepCase{1e-15, 1.0, 1e-6},    // at most 10*UROUND: 1e-6
                    FirstStepCase{10.0, 1e-3, 1e-3},    // beyond XEND: XEND - X
                    FirstStepCase{0.99995e-3, 1e-3, 1e-3}));  // within 1.0001*H of XEND: stretched

// ---- Not-a-number in the right-hand side.
double g_nan_beyond = 0.0;
double g_last_accepted = -1.0;

// y' = -y, not a number for x beyond g_nan_beyond.
void DecayUntil(int& n, double& x, double* y, double* f, double* rpar, int* ipar, int& nspec,
                int& nreac, double* th) {
  Decay(n, x, y, f, rpar, ipar, nspec, nreac, th);
  if (x > g_nan_beyond) f[0] = std::numeric_limits<double>::quiet_NaN();
}

// y' = -y, not a number at the last accepted point once it reaches 0.5.
void DecayPoisonedAtStepPoints(int& n, double& x, double* y, double* f, double* rpar, int* ipar,
                               int& nspec, int& nreac, double* th) {
  Decay(n, x, y, f, rpar, ipar, nspec, nreac, th);
  if (x == g_last_accepted && x >= 0.5) f[0] = std::numeric_limits<double>::quiet_NaN();
}

void RememberAccepted(int&, double&, double& x, double*, double*, int&, int&, double*, int*,
                      int&) {
  g_last_accepted = x;
}

int g_nan_calls_left = 0;

// y' = -y, not a number for the next g_nan_calls_left evaluations beyond x = 0.5.
void DecayWithTransientFault(int& n, double& x, double* y, double* f, double* rpar, int* ipar,
                             int& nspec, int& nreac, double* th) {
  Decay(n, x, y, f, rpar, ipar, nspec, nreac, th);
  if (x > 0.5 && g_nan_calls_left > 0) {
    --g_nan_calls_left;
    f[0] = std::numeric_limits<double>::quiet_NaN();
  }
}

void NotANumber(int& n, double&, double*, double* f, double*, int*, int&, int&, double*) {
  for (int i = 0; i < n; ++i) f[i] = std::numeric_limits<double>::quiet_NaN();
}

// y' = -y with the analytic Jacobian from 0 to 2, through a faulty right-hand side.
RadauCase FaultyDecayCase(RadauRhs fcn) {
  RadauCase c;
  c.fcn = fcn;
  c.jac = DecayJac;
  c.ijac = 1;
  c.y0 = {1.0};
  c.xend = 2.0;
  return c;
}

// Stage values that are not a number make the Newton iteration fail (the
// attempt is neither accepted nor counted as an error-test rejection).
TEST_F(Radau5StepLoop, NotANumberAtTheStagesIsNeverAccepted) {
  g_nan_beyond = 1.0;
  RadauCase c = FaultyDecayCase(DecayUntil);
  const RadauOutcome o = RunRadau(c);
  EXPECT_LT(o.idid, 0);
  EXPECT_LE(o.x, 1.0);
  EXPECT_TRUE(std::isfinite(o.y[0]));
  EXPECT_NEAR(o.y[0], std::exp(-o.x), 1e-5);
  // Every attempt that met not-a-number failed in the Newton iteration; none
  // reached the error test.
  EXPECT_EQ(o.stats[4], 0);
  const int newton_failures = o.stats[2] - o.stats[3] - o.stats[4];
  EXPECT_GT(newton_failures, 10);
}

// A passing fault fails one attempt; the smaller retry goes on normally.
TEST_F(Radau5StepLoop, TransientNotANumberIsRecoveredFrom) {
  g_nan_calls_left = 3;
  RadauCase c = FaultyDecayCase(DecayWithTransientFault);
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(g_nan_calls_left, 0);
  EXPECT_EQ(o.idid, 1);
  EXPECT_NEAR(o.y[0], std::exp(-2.0), 1e-5);
  EXPECT_GE(o.stats[2] - o.stats[3] - o.stats[4], 1);
}

double g_start = 0.0;

// y' = -y at the start point, not a number anywhere else.
void DecayOnlyAtStart(int& n, double& x, double* y, double* f, double* rpar, int* ipar,
                      int& nspec, int& nreac, double* th) {
  Decay(n, x, y, f, rpar, ipar, nspec, nreac, th);
  if (x != g_start) f[0] = std::numeric_limits<double>::quiet_NaN();
}

// A not-a-number contraction rate ends the iteration at once: each attempt
// costs two stage solves (the rate needs two corrections), not NIT of them.
TEST_F(Radau5StepLoop, NotANumberRateEndsTheNewtonIteration) {
  g_start = 1.0;
  RadauCase c = FaultyDecayCase(DecayOnlyAtStart);
  c.x0 = g_start;
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(o.idid, -3);
  EXPECT_EQ(o.stats[3], 0);
  // The last computed step is the one refused as too small.
  EXPECT_EQ(o.stats[6], 2 * (o.stats[2] - 1));
}

// f at the start of a step (used only by the error estimate) is not a number:
// the estimate is not a number and must fail the error test.
TEST_F(Radau5StepLoop, NotANumberErrorEstimateIsNeverAccepted) {
  g_last_accepted = -1.0;
  RadauCase c = FaultyDecayCase(DecayPoisonedAtStepPoints);
  c.solout = RememberAccepted;
  const RadauOutcome o = RunRadau(c);
  EXPECT_LT(o.idid, 0);
  EXPECT_GE(o.x, 0.5);
  EXPECT_LT(o.x, 2.0);
  EXPECT_TRUE(std::isfinite(o.y[0]));
}

// Not a number everywhere: the difference Jacobian is not a number, every
// decomposition reports a singular matrix, and the fifth ends the run.
TEST_F(Radau5StepLoop, NotANumberEverywhereEndsAsRepeatedlySingular) {
  RadauCase c;
  c.fcn = NotANumber;
  c.y0 = {1.0, 2.0};
  c.x0 = 0.5;
  c.xend = 2.0;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " EXIT OF RADAU5 AT X=        0.5000E+00\n"
            " MATRIX IS REPEATEDLY SINGULAR, IER= 2\n");
  EXPECT_EQ(o.idid, -4);
  EXPECT_EQ(o.x, 0.5);
  EXPECT_EQ(o.y, c.y0);
  EXPECT_EQ(o.stats[5], 0);  // no decomposition completed
  EXPECT_EQ(o.stats[1], 1);  // the Jacobian is kept across the retries
  EXPECT_EQ(o.h, c.h0 / 16);
}

}  // namespace
}  // namespace kx::test
