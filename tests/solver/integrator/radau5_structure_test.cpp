// Structure cases of the iteration matrices: banded Jacobian, mass matrices,
// the Hessenberg form and the second-order structure give the integration of
// the full-matrix path; and the iteration matrices themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "radau5_core.h"
#include "radau_test_support.h"
#include "test_problems.h"

namespace kx::test {
namespace {

// Nonlinear diffusion on 10 points, tridiagonal Jacobian.
void Diffusion(int& n, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  for (int i = 0; i < n; ++i) {
    const double left = i > 0 ? y[i - 1] : 0.0;
    const double right = i < n - 1 ? y[i + 1] : 1.0;
    f[i] = 500.0 * (left - 2 * y[i] + right) - y[i] * y[i] * y[i];
  }
}

// A chain of damped oscillators written as first-order system y = (u, u'):
// the first half of the equations is y_i' = y_{i+m}.
void OscillatorChain(int& n, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  const int m = n / 2;
  for (int i = 0; i < m; ++i) f[i] = y[i + m];
  for (int i = 0; i < m; ++i) {
    const double left = i > 0 ? y[i - 1] : 0.0;
    const double right = i < m - 1 ? y[i + 1] : 0.0;
    f[m + i] = 1e4 * (left - 2 * y[i] + right) - 50 * y[m + i] - y[i] * y[i] * y[i];
  }
}

// Identity mass matrix, full storage or one band row of ones.
void IdentityMassFull(int& n, double* am, int& lmas, double*, int*) {
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) am[i + j * lmas] = i == j ? 1.0 : 0.0;
  }
}
void IdentityMassBanded(int& n, double* am, int& lmas, double*, int*) {
  for (int j = 0; j < n; ++j) am[j * lmas] = 1.0;
}

RadauCase DiffusionCase() {
  RadauCase c;
  c.fcn = Diffusion;
  c.y0.assign(10, 0.0);
  c.xend = 1.0;
  c.rtol = {1e-7};
  c.atol = {1e-7};
  c.lwork = 2000;
  return c;
}

RadauCase ChainCase() {
  RadauCase c;
  c.fcn = OscillatorChain;
  c.y0.assign(12, 0.0);
  for (int i = 0; i < 6; ++i) c.y0[i] = std::sin(i + 1.0);
  c.xend = 1.0;
  c.lwork = 3000;
  return c;
}

RadauCase SecondOrder(RadauCase c) {
  c.iwork_options[8] = static_cast<int>(c.y0.size()) / 2;
  return c;
}

RadauCase Banded(RadauCase c) {
  c.mljac = 1;
  c.mujac = 1;
  return c;
}

RadauCase WithMass(RadauCase c, bool full) {
  c.mas = full ? IdentityMassFull : IdentityMassBanded;
  c.mlmas = full ? static_cast<int>(c.y0.size()) - c.iwork_options[8] : 0;
  c.mumas = 0;
  return c;
}

struct EquivalentCase {
  const char* name;
  std::function<RadauCase()> reference;
  std::function<RadauCase()> variant;
};

void PrintTo(const EquivalentCase& c, std::ostream* os) { *os << c.name; }

class Radau5EquivalentStructure : public testing::TestWithParam<EquivalentCase> {};

// The same arithmetic in another storage: the same steps and the same result.
TEST_P(Radau5EquivalentStructure, IntegratesLikeTheReference) {
  const RadauOutcome want = RunRadau(GetParam().reference());
  const RadauOutcome got = RunRadau(GetParam().variant());
  ASSERT_EQ(want.idid, 1);
  EXPECT_EQ(got.idid, 1);
  EXPECT_EQ(got.stats, want.stats);
  ASSERT_EQ(got.y.size(), want.y.size());
  for (size_t i = 0; i < got.y.size(); ++i) {
    EXPECT_NEAR(got.y[i], want.y[i], 1e-12 * (1.0 + std::abs(want.y[i])));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Radau5EquivalentStructure,
    testing::Values(
        EquivalentCase{"BandedJacobian", DiffusionCase, [] { return Banded(DiffusionCase()); }},
        EquivalentCase{"FullMass", DiffusionCase, [] { return WithMass(DiffusionCase(), true); }},
        EquivalentCase{"BandedMassFullJacobian", DiffusionCase,
                       [] { return WithMass(DiffusionCase(), false); }},
        EquivalentCase{"BandedMassBandedJacobian", DiffusionCase,
                       [] { return WithMass(Banded(DiffusionCase()), false); }},
        EquivalentCase{"SecondOrderBanded", [] { return SecondOrder(ChainCase()); },
                       [] { return Banded(SecondOrder(ChainCase())); }},
        EquivalentCase{"SecondOrderFullMass", [] { return SecondOrder(ChainCase()); },
                       [] { return WithMass(SecondOrder(ChainCase()), true); }},
        EquivalentCase{"SecondOrderBandedMass", [] { return SecondOrder(ChainCase()); },
                       [] { return WithMass(SecondOrder(ChainCase()), false); }},
        EquivalentCase{"SecondOrderBandedMassBandedJacobian",
                       [] { return SecondOrder(ChainCase()); },
                       [] { return WithMass(Banded(SecondOrder(ChainCase())), false); }}),
    [](const testing::TestParamInfo<EquivalentCase>& info) { return std::string(info.param.name); });

// Other linear algebra, the same method: the same solution within rounding.
struct RelatedCase {
  const char* name;
  std::function<RadauCase()> reference;
  std::function<RadauCase()> variant;
  double abs_tol;
};

void PrintTo(const RelatedCase& c, std::ostream* os) { *os << c.name; }

class Radau5RelatedStructure : public testing::TestWithParam<RelatedCase> {};

TEST_P(Radau5RelatedStructure, ReachesTheSameSolution) {
  const RadauOutcome want = RunRadau(GetParam().reference());
  const RadauOutcome got = RunRadau(GetParam().variant());
  ASSERT_EQ(want.idid, 1);
  EXPECT_EQ(got.idid, 1);
  for (int k = 0; k < 7; ++k) EXPECT_NEAR(got.stats[k], want.stats[k], 4) << k;
  for (size_t i = 0; i < got.y.size(); ++i) EXPECT_NEAR(got.y[i], want.y[i], GetParam().abs_tol);
}

// y' = -A y - y^3 with a dense, non-symmetric A.
void DenseLinear(int& n, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  for (int i = 0; i < n; ++i) {
    double s = 0.0;
    for (int j = 0; j < n; ++j) {
      const double aij = i == j ? 50.0 * (i + 1) : std::sin(1.0 + i + 3.0 * j) * 10.0;
      s += aij * y[j];
    }
    f[i] = -s - y[i] * y[i] * y[i];
  }
}

RadauCase DenseCase() {
  RadauCase c;
  c.fcn = DenseLinear;
  c.y0 = {1.0, -1.0, 0.5, 2.0, -0.3, 0.8};
  c.xend = 0.5;
  return c;
}

RadauCase Hessenberg(RadauCase c) {
  c.iwork_options[0] = 1;
  return c;
}

RadauCase NumericalVanDerPol() {
  RadauCase c = VanDerPolCase();
  c.ijac = 0;
  return c;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Radau5RelatedStructure,
    testing::Values(
        RelatedCase{"HessenbergDense", DenseCase, [] { return Hessenberg(DenseCase()); }, 1e-12},
        RelatedCase{"HessenbergRobertson", RobertsonCase,
                    [] { return Hessenberg(RobertsonCase()); }, 1e-13},
        RelatedCase{"SecondOrderVanDerPol", NumericalVanDerPol,
                    [] { return SecondOrder(NumericalVanDerPol()); }, 1e-9},
        RelatedCase{"SecondOrderChain", ChainCase, [] { return SecondOrder(ChainCase()); },
                    1e-7}),
    [](const testing::TestParamInfo<RelatedCase>& info) { return std::string(info.param.name); });

// Robertson's reactions as a differential-algebraic system: the third
// equation is the conservation law 0 = y1 + y2 + y3 - 1 (mass row zero).
void RobertsonDae(int& n, double& x, double* y, double* f, double* rpar, int* ipar, int& nspec,
                  int& nreac, double* th) {
  Robertson(n, x, y, f, rpar, ipar, nspec, nreac, th);
  f[2] = y[0] + y[1] + y[2] - 1.0;
}

void DaeMassFull(int& n, double* am, int& lmas, double*, int*) {
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) am[i + j * lmas] = (i == j && i < 2) ? 1.0 : 0.0;
  }
}

void DaeMassBanded(int&, double* am, int& lmas, double*, int*) {
  am[0] = 1.0;
  am[lmas] = 1.0;
  am[2 * lmas] = 0.0;
}

class Radau5Dae : public testing::TestWithParam<bool> {};

TEST_P(Radau5Dae, SingularMassMatrixKeepsTheConstraint) {
  RadauCase ode = RobertsonCase();
  RadauCase dae = RobertsonCase();
  dae.fcn = RobertsonDae;
  dae.mas = GetParam() ? DaeMassFull : DaeMassBanded;
  dae.mlmas = GetParam() ? 3 : 0;
  dae.mumas = 0;
  dae.lwork = 200;
  const RadauOutcome want = RunRadau(ode);
  const RadauOutcome got = RunRadau(dae);
  ASSERT_EQ(got.idid, 1);
  EXPECT_NEAR(got.y[0] + got.y[1] + got.y[2], 1.0, 1e-12);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got.y[i], want.y[i], 1e-5 * want.y[i] + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(MassStorage, Radau5Dae, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Full" : "Banded");
                         });

// ---- The iteration matrices of the full case.
struct FullShape {
  MatrixShape s;
  explicit FullShape(int n) {
    s.n = n;
    s.nm1 = n;
    s.m2 = n;
    s.ldjac = n;
    s.lde1 = n;
  }
};

TEST(IterationMatrices, OneUnknownFactorIsFac1MinusJ) {
  FullShape f(1);
  double fjac[1] = {3.0};
  double e1[1];
  int ip[1];
  int ier = -1;
  bool calhes = false;
  BuildRealIterationMatrix(f.s, fjac, nullptr, 5.0, e1, ip, ier, calhes, nullptr);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(e1[0], 2.0);
  BuildRealIterationMatrix(f.s, fjac, nullptr, 3.0, e1, ip, ier, calhes, nullptr);
  EXPECT_EQ(ier, 1);
}

TEST(IterationMatrices, ZeroJacobianGivesScaledIdentities) {
  const int n = 4;
  FullShape f(n);
  std::vector<double> fjac(n * n, 0.0);
  std::vector<double> e1(n * n, 9.0), e2r(n * n, 9.0), e2i(n * n, 9.0);
  std::vector<int> ip1(n), ip2(n);
  int ier = -1;
  bool calhes = false;
  BuildRealIterationMatrix(f.s, fjac.data(), nullptr, 2.0, e1.data(), ip1.data(), ier, calhes,
                           nullptr);
  EXPECT_EQ(ier, 0);
  ier = -1;
  BuildComplexIterationMatrix(f.s, fjac.data(), nullptr, 3.0, 4.0, e2r.data(), e2i.data(),
                              ip2.data(), ier);
  EXPECT_EQ(ier, 0);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(e1[i + j * n], i == j ? 2.0 : 0.0);
      EXPECT_EQ(e2r[i + j * n], i == j ? 3.0 : 0.0);
      EXPECT_EQ(e2i[i + j * n], i == j ? 4.0 : 0.0);
    }
  }
  for (int k = 0; k < n - 1; ++k) {
    EXPECT_EQ(ip1[k], k);
    EXPECT_EQ(ip2[k], k);
  }
  EXPECT_EQ(ip1[n - 1], 1);
  EXPECT_EQ(ip2[n - 1], 1);
  EXPECT_EQ(fjac, std::vector<double>(n * n, 0.0));
}

// Case numbers that never arise form nothing and leave the result alone.
TEST(IterationMatrices, CaseSixFormsNothing) {
  FullShape f(2);
  f.s.ijob = 6;
  double fjac[4] = {1, 2, 3, 4};
  double e1[4] = {7, 7, 7, 7};
  int ip[2] = {5, 5};
  int ier = 42;
  bool calhes = false;
  BuildRealIterationMatrix(f.s, fjac, nullptr, 1.0, e1, ip, ier, calhes, nullptr);
  EXPECT_EQ(ier, 42);
  EXPECT_EQ(ip[0], 5);
  EXPECT_EQ(e1[0], 7.0);
}

// The Hessenberg case reduces the Jacobian once per evaluation.
TEST(IterationMatrices, HessenbergReductionRunsOncePerJacobian) {
  FullShape f(3);
  f.s.ijob = kJobHessenberg;
  double fjac[9] = {1, 4, 2, 0.5, 1, 3, 2, 1, 1};
  double e1[9];
  int ip[3];
  int iphes[3] = {-1, -1, -1};
  int ier = -1;
  bool calhes = true;
  BuildRealIterationMatrix(f.s, fjac, nullptr, 10.0, e1, ip, ier, calhes, iphes);
  EXPECT_EQ(ier, 0);
  EXPECT_FALSE(calhes);
  EXPECT_EQ(iphes[1], 1);  // row 1 (4) beats row 2 (2): no interchange
  EXPECT_EQ(fjac[2], 0.5);  // the multiplier 2/4 kept below the subdiagonal
  double reduced[9];
  std::copy(fjac, fjac + 9, reduced);
  BuildRealIterationMatrix(f.s, fjac, nullptr, 20.0, e1, ip, ier, calhes, iphes);
  EXPECT_EQ(std::vector<double>(fjac, fjac + 9), std::vector<double>(reduced, reduced + 9));
}

}  // namespace
}  // namespace kx::test
