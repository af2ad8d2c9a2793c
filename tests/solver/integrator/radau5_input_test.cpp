// Input checks of RADAU5: refused options and storage print their console
// lines, end with IDID = -1 and integrate nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>

#include "radau_test_support.h"
#include "test_problems.h"

namespace kx::test {
namespace {

// Marker left in IWORK(14..20) by the caller; a refusal must not touch it.
constexpr int kUntouched = 77;

RadauCase DecayCase(int n) {
  RadauCase c;
  c.fcn = Decay;
  c.y0.assign(static_cast<size_t>(n), 1.0);
  c.xend = 1.0;
  for (int i = 13; i < 20; ++i) c.iwork_options[i] = kUntouched;
  return c;
}

struct Refusal {
  const char* name;
  std::function<void(RadauCase&)> set_up;
  std::string console;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class Radau5Refusal : public testing::TestWithParam<Refusal> {};

TEST_P(Radau5Refusal, PrintsItsLineAndReturnsMinusOneWithoutIntegrating) {
  RadauCase c = DecayCase(2);
  GetParam().set_up(c);
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().console);
  EXPECT_EQ(o.idid, -1);
  EXPECT_EQ(o.x, c.x0);
  EXPECT_EQ(o.y, c.y0);
  for (int s : o.stats) EXPECT_EQ(s, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Options, Radau5Refusal,
    testing::Values(
        Refusal{"Uround", [](RadauCase& c) { c.work_options[0] = 1e-20; },
                " COEFFICIENTS HAVE 20 DIGITS, UROUND= 1e-20\n"},
        // The refused rounding unit still judges the tolerances.
        Refusal{"UroundOne", [](RadauCase& c) { c.work_options[0] = 1.0; },
                " COEFFICIENTS HAVE 20 DIGITS, UROUND= 1.0\n"
                " TOLERANCES ARE TOO SMALL\n"},
        Refusal{"RtolAtRoundingLevel", [](RadauCase& c) { c.rtol = {1e-15}; },
                " TOLERANCES ARE TOO SMALL\n"},
        Refusal{"AtolZero", [](RadauCase& c) { c.atol = {0.0}; }, " TOLERANCES ARE TOO SMALL\n"},
        Refusal{"AtolNotANumber", [](RadauCase& c) { c.atol = {std::nan("")}; },
                " TOLERANCES ARE TOO SMALL\n"},
        Refusal{"PerComponent",
                [](RadauCase& c) {
                  c.rtol = {1e-6, 1e-6};
                  c.atol = {1e-6, -1.0};
                },
                " TOLERANCES(2) ARE TOO SMALL\n"},
        Refusal{"StepLimit", [](RadauCase& c) { c.iwork_options[1] = -1; },
                " WRONG INPUT IWORK(2)= -1\n"},
        Refusal{"NewtonIterations", [](RadauCase& c) { c.iwork_options[2] = -3; },
                " CURIOUS INPUT IWORK(3)= -3\n"},
        Refusal{"IndexCounts", [](RadauCase& c) { c.iwork_options[4] = 1; },
                " CURIOUS INPUT FOR IWORK(5,6,7)= 1 0 0\n"},
        Refusal{"SecondOrder",
                [](RadauCase& c) {
                  c.iwork_options[8] = 1;
                  c.iwork_options[9] = 2;
                },
                " CURIOUS INPUT FOR IWORK(9,10)= 1 2\n"},
        Refusal{"Safe", [](RadauCase& c) { c.work_options[1] = 1.0; },
                " CURIOUS INPUT FOR WORK(2)= 1.0\n"},
        Refusal{"Thet", [](RadauCase& c) { c.work_options[2] = 1.5; },
                " CURIOUS INPUT FOR WORK(3)= 1.5\n"},
        Refusal{"Fnewt", [](RadauCase& c) { c.work_options[3] = 1e-12; },
                " CURIOUS INPUT FOR WORK(4)= 1e-12\n"},
        Refusal{"Quot1", [](RadauCase& c) { c.work_options[4] = 1.5; },
                " CURIOUS INPUT FOR WORK(5,6)= 1.5 1.2\n"},
        Refusal{"Quot2", [](RadauCase& c) { c.work_options[5] = 0.5; },
                " CURIOUS INPUT FOR WORK(5,6)= 1.0 0.5\n"},
        Refusal{"Facl", [](RadauCase& c) { c.work_options[7] = 2.0; },
                " CURIOUS INPUT WORK(8,9)= 2.0 0.0\n"},
        Refusal{"Facr", [](RadauCase& c) { c.work_options[8] = 0.5; },
                " CURIOUS INPUT WORK(8,9)= 0.0 0.5\n"},
        Refusal{"MassBandWiderThanJacobian",
                [](RadauCase& c) {
                  c.y0 = {1.0, 1.0, 1.0};
                  c.mljac = 0;
                  c.mujac = 0;
                  c.mas = NoMass;
                  c.mlmas = 1;
                  c.mumas = 0;
                  c.lwork = 200;
                },
                "BANDWITH OF \"MAS\" NOT SMALLER THAN BANDWITH OF \"JAC\"\n"},
        Refusal{"WorkOneShort", [](RadauCase& c) { c.lwork = 4 * 4 + 12 * 2 + 20 - 1; },
                " INSUFFICIENT STORAGE FOR WORK, MIN. LWORK= 60\n"},
        Refusal{"IworkOneShort", [](RadauCase& c) { c.liwork = 3 * 2 + 20 - 1; },
                " INSUFF. STORAGE FOR IWORK, MIN. LIWORK= 26\n"},
        Refusal{"SeveralInTableOrder",
                [](RadauCase& c) {
                  c.work_options[8] = 0.5;
                  c.work_options[1] = 2.0;
                  c.iwork_options[1] = -5;
                  c.work_options[0] = 1e-25;
                },
                " COEFFICIENTS HAVE 20 DIGITS, UROUND= 1e-25\n"
                " WRONG INPUT IWORK(2)= -5\n"
                " CURIOUS INPUT FOR WORK(2)= 2.0\n"
                " CURIOUS INPUT WORK(8,9)= 0.0 0.5\n"}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

// The system's largest workspace (room for 300 unknowns) refuses 301.
TEST(Radau5Storage, SystemWorkspaceRefuses301Unknowns) {
  RadauCase c = DecayCase(301);
  c.lwork = 363620;
  c.liwork = 920;
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            " INSUFFICIENT STORAGE FOR WORK, MIN. LWORK= 366036\n"
            " INSUFF. STORAGE FOR IWORK, MIN. LIWORK= 923\n");
  EXPECT_EQ(o.idid, -1);
}

TEST(Radau5Storage, SystemWorkspaceServes300Unknowns) {
  RadauCase c = DecayCase(300);
  c.lwork = 363620;
  c.liwork = 920;
  c.xend = 0.1;
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(o.idid, 1);
  EXPECT_NEAR(o.y[299], std::exp(-0.1), 1e-6);
}

// A step limit of 0 selects the default, so one step suffices to start.
TEST(Radau5Options, ZeroStepLimitSelectsTheDefault) {
  RadauCase c = DecayCase(2);
  c.iwork_options[1] = 0;
  EXPECT_EQ(RunRadau(c).idid, 1);
}

TEST(Radau5Tolerances, RefusedRunLeavesTheTransformedValues) {
  RadauCase c = DecayCase(2);
  c.iwork_options[1] = -1;
  c.rtol = {1e-6};
  c.atol = {1e-8};
  testing::internal::CaptureStdout();
  const RadauOutcome o = RunRadau(c);
  testing::internal::GetCapturedStdout();
  EXPECT_NEAR(o.rtol[0], 1e-5, 1e-18);
  EXPECT_NEAR(o.atol[0], 1e-7, 1e-20);
}

TEST(Radau5Tolerances, SuccessfulRunRestoresThem) {
  RadauCase c = DecayCase(2);
  c.rtol = {1e-6, 3e-4};
  c.atol = {1e-8, 2e-3};
  const RadauOutcome o = RunRadau(c);
  ASSERT_EQ(o.idid, 1);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(o.rtol[i], c.rtol[i], c.rtol[i] * 1e-14);
    EXPECT_NEAR(o.atol[i], c.atol[i], c.atol[i] * 1e-14);
  }
}

// A full Jacobian overwrites the caller's bandwidths with N - M1.
TEST(Radau5Structure, FullJacobianOverwritesTheBandwidths) {
  RadauCase c = DecayCase(3);
  c.mljac = 7;
  c.mujac = 1;
  const RadauOutcome o = RunRadau(c);
  EXPECT_EQ(o.mljac, 3);
  EXPECT_EQ(o.mujac, 3);
}

}  // namespace
}  // namespace kx::test
