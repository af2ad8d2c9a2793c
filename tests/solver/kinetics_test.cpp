// Thermodynamics, rate constants and the right-hand side, checked against
// textbook formulas evaluated independently here.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "solver.h"
#include "solver_test_support.h"

namespace {

using kxtest::ReactionRecipe;
using kxtest::SolverFileRecipe;

// Routes the solver's console into a temporary file for the test's life.
class CapturedConsole {
 public:
  CapturedConsole() : saved_(kx::SolverCommon.console), file_(std::tmpfile()) { kx::SolverCommon.console = file_; }
  ~CapturedConsole() {
    kx::SolverCommon.console = saved_;
    std::fclose(file_);
  }
  std::string Text() { return kxtest::ReadAll(file_); }

 private:
  std::FILE* saved_;
  std::FILE* file_;
};

std::unique_ptr<kx::SolverModel> Use(const SolverFileRecipe& recipe) {
  kxtest::TempDir dir;
  const std::string path = dir.write("mech.txt", kxtest::BuildSolverFile(recipe));
  auto m = std::make_unique<kx::SolverModel>();
  kx::SolverInputError error;
  EXPECT_EQ(kx::SolverLoadModel(path, *m, error), kx::SolverLoad::Loaded) << error.line << error.problem;
  kx::SolverUseModel(*m);
  return m;
}

std::unique_ptr<kx::SolverModel> UseSample(const std::string& name) {
  auto m = std::make_unique<kx::SolverModel>();
  kx::SolverInputError error;
  EXPECT_EQ(kx::SolverLoadModel(std::string(KX_SAMPLES_DIR) + "/" + name, *m, error), kx::SolverLoad::Loaded);
  kx::SolverUseModel(*m);
  return m;
}

int ExitOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const kx::SolverStop& stop) {
    return stop.status;
  }
  return -1;
}

void RateConstants(kx::SolverModel& m, double T) {
  kx::SolverRateConstants(T, m.RREAC, m.IREAC, m.NSPEC, m.NREAC, m.TH);
}

std::vector<double> Rhs(kx::SolverModel& m, const std::vector<double>& y, double x = 0.0) {
  std::vector<double> yy = y, f(y.size());
  int n = static_cast<int>(y.size());
  kx::SolverRhs(n, x, yy.data(), f.data(), m.RREAC, m.IREAC, m.NSPEC, m.NREAC, m.TH);
  return f;
}

// ---- species thermodynamics ----

TEST(SpeciesThermo, PolynomialsOfTheRangeInForce) {
  const double a[14] = {3.1, 1.2e-3, -4.0e-7, 6.0e-11, -3.0e-15, -1234.5, 4.2,
                        2.9, 2.0e-3, -1.0e-6, 5.0e-10, -8.0e-14, -1000.0, 6.5};
  struct Case {
    double T;
    int set;  // 0 upper, 7 lower
  };
  const double tc = 1000.0;
  const Case cases[] = {{1500.0, 0}, {tc, 7}, {std::nextafter(tc, 2000.0), 0}, {300.0, 7}};
  for (const Case& c : cases) {
    const double T = c.T;
    const double* s = a + c.set;
    const double tpow[4] = {std::log(T), T * T, T * T * T, T * T * T * T};
    double hrt, cpr, sr;
    kx::SolverSpeciesThermo(a, T, tc, tpow, hrt, cpr, sr);
    const double cp = s[0] + s[1] * T + s[2] * T * T + s[3] * std::pow(T, 3) + s[4] * std::pow(T, 4);
    const double h = s[0] + s[1] * T / 2 + s[2] * T * T / 3 + s[3] * std::pow(T, 3) / 4 +
                     s[4] * std::pow(T, 4) / 5 + s[5] / T;
    const double sEntropy = s[0] * std::log(T) + s[1] * T + s[2] * T * T / 2 + s[3] * std::pow(T, 3) / 3 +
                            s[4] * std::pow(T, 4) / 4 + s[6];
    EXPECT_NEAR(cpr, cp, 1e-13 * std::fabs(cp)) << T;
    EXPECT_NEAR(hrt, h, 1e-13 * std::fabs(h)) << T;
    EXPECT_NEAR(sr, sEntropy, 1e-13 * std::fabs(sEntropy)) << T;
  }
}

TEST(SpeciesThermo, ARangeWhoseCoefficientsSumToZeroHasNoData) {
  // Upper set sums to exactly zero although its first coefficient is not zero.
  const double a[14] = {2.0, -2.0, 0, 0, 0, 0, 0, 3.5, 0, 0, 0, 0, 100.0, 1.0};
  const double T = 1500.0;
  const double tpow[4] = {std::log(T), T * T, T * T * T, T * T * T * T};
  double hrt = 1, cpr = 1, sr = 1;
  kx::SolverSpeciesThermo(a, T, 1000.0, tpow, hrt, cpr, sr);
  EXPECT_EQ(hrt, 0.0);
  EXPECT_EQ(cpr, 0.0);
  EXPECT_EQ(sr, 0.0);
  kx::SolverSpeciesThermo(a, 800.0, 1000.0, tpow, hrt, cpr, sr);
  EXPECT_EQ(cpr, 3.5) << "the lower range still has data";
}

// ---- a four-species test mixture with constant heat capacities ----

struct TestSpecies {
  const char* name;
  double cp, h0, s0, mass;
};
const TestSpecies kSpecies[] = {
    {"A", 3.5, -2000.0, 15.0, 2.016},
    {"B", 4.0, 1000.0, 25.0, 31.998},
    {"C", 5.5, -30000.0, 30.0, 34.014},
    {"D", 2.5, 500.0, 20.0, 39.95},
};

SolverFileRecipe Mixture(std::vector<ReactionRecipe> reactions) {
  SolverFileRecipe s;
  for (const TestSpecies& t : kSpecies)
    s.species.push_back(kxtest::Species(t.name, 0.25, kxtest::ConstantCp(t.cp, t.h0, t.s0), t.mass));
  s.reactions = std::move(reactions);
  return s;
}

// Independent evaluation of one reaction's net rate and the derivatives.
struct Reference {
  double T, P, RE, RC;
  std::vector<double> c;  // concentrations
  std::vector<double> mass;
  double ctot = 0, rho = 0;

  Reference(const SolverFileRecipe& s, const std::vector<double>& y, double temperature)
      : T(temperature), P(s.P), RE(s.RE), RC(s.RC) {
    double sum = 0;
    for (std::size_t i = 0; i < s.species.size(); ++i) {
      mass.push_back(static_cast<double>(static_cast<float>(s.species[i].mass)));
      sum += y[i] / mass[i];
    }
    ctot = P / (RC * T);
    for (std::size_t i = 0; i < mass.size(); ++i) {
      c.push_back(ctot * (y[i] / mass[i]) / sum);
      rho += c[i] * mass[i];
    }
  }
  static double G(std::size_t i, double T) {
    const TestSpecies& t = kSpecies[i];
    return (t.cp + t.h0 / T) - (t.cp * std::log(T) + t.s0);
  }
  double Arrhenius(const std::array<double, 3>& p) const { return p[0] * std::pow(T, p[1]) * std::exp(-p[2] / (RE * T)); }

  double NetRate(const ReactionRecipe& r) const {
    double kf = Arrhenius(r.rate);
    double cm = 0;
    const bool hasThirdBody = r.thirdBody > 0 || !r.colliders.empty();
    if (hasThirdBody) {
      cm = r.thirdBody > 0 ? ctot : 0.0;
      for (std::size_t j = 0; j < r.colliders.size(); ++j)
        cm += (r.efficiencies[j] - (r.thirdBody > 0 ? 1.0 : 0.0)) * c[static_cast<std::size_t>(r.colliders[j] - 1)];
      if (cm <= 0) return 0.0;
    }
    if (r.fallOff == 1) {
      const double k0 = Arrhenius(r.low);
      if (k0 == 0) return 0.0;
      const double pr = k0 * cm / kf;
      double F = 1.0;
      if (r.form == 1 || r.form == 3) {
        const auto& b = r.broadening;
        double fcent = (1 - b[0]) * std::exp(-T / b[1]) + b[0] * std::exp(-T / b[2]);
        if (r.form == 1) fcent += std::exp(-b[3] / T);
        const double cc = -0.4 - 0.67 * std::log10(fcent);
        const double nn = 0.75 - 1.27 * std::log10(fcent);
        const double f1 = (std::log10(pr) + cc) / (nn - 0.14 * (std::log10(pr) + cc));
        F = std::pow(fcent, 1.0 / (1.0 + f1 * f1));
      } else if (r.form == 2) {
        const auto& b = r.broadening;
        const double X = 1.0 / (1.0 + std::pow(std::log10(pr), 2));
        F = std::pow(b[0] * std::exp(-b[1] / T) + std::exp(-T / b[2]), X);
        if (b[3] > 0) F *= b[3];
        if (b[4] != 0) F *= std::pow(T, b[4]);
      }
      kf = kf * pr / (1 + pr) * F;
    } else if (hasThirdBody) {
      kf *= cm;
    }
    double forward = kf;
    for (int i : r.reactants) forward *= c[static_cast<std::size_t>(i - 1)];
    if (r.reverse != 1) return forward;
    double dg = 0;
    for (int i : r.products) dg += G(static_cast<std::size_t>(i - 1), T);
    for (int i : r.reactants) dg -= G(static_cast<std::size_t>(i - 1), T);
    const int dn = static_cast<int>(r.products.size()) - static_cast<int>(r.reactants.size());
    const double kc = std::exp(-dg) * std::pow(RC * T, -dn);
    double reverse = kf / kc;
    for (int i : r.products) reverse *= c[static_cast<std::size_t>(i - 1)];
    return forward - reverse;
  }

  // Mass-fraction and temperature derivatives for a single reaction.
  std::vector<double> Derivatives(const ReactionRecipe& r) const {
    const double rate = NetRate(r);
    std::vector<double> omega(mass.size(), 0.0);
    for (int i : r.reactants) omega[static_cast<std::size_t>(i - 1)] -= rate;
    for (int i : r.products) omega[static_cast<std::size_t>(i - 1)] += rate;
    std::vector<double> f;
    double heat = 0, capacity = 0;
    for (std::size_t i = 0; i < mass.size(); ++i) {
      f.push_back(omega[i] * mass[i] / rho);
      const TestSpecies& t = kSpecies[i];
      heat += omega[i] * (t.cp * T + t.h0);  // molar enthalpy over R
      capacity += c[i] * t.cp;
    }
    f.push_back(r.reverse == -1 ? 0.0 : -heat / capacity);
    return f;
  }
};

ReactionRecipe Plain(std::vector<int> reactants, std::vector<int> products, int reverse = 1) {
  ReactionRecipe r;
  r.reactants = std::move(reactants);
  r.products = std::move(products);
  r.reverse = reverse;
  r.rate = {3.0e12, 0.5, 6000.0};
  return r;
}

ReactionRecipe ThirdBody(int flag, std::vector<int> colliders, std::vector<double> efficiencies) {
  ReactionRecipe r = Plain({1, 2}, {3});
  r.thirdBody = flag;
  r.colliders = std::move(colliders);
  r.efficiencies = std::move(efficiencies);
  return r;
}

ReactionRecipe FallOff(int form, std::vector<double> broadening) {
  ReactionRecipe r = ThirdBody(1, {1, 4}, {2.0, 0.7});
  r.fallOff = 1;
  r.form = form;
  r.rate = {7.4e13, -0.37, 0.0};
  r.low = {2.3e18, -0.9, -1700.0};
  r.broadening = std::move(broadening);
  return r;
}

struct RhsCase {
  const char* what;
  ReactionRecipe reaction;
  bool contributes = true;
};

TEST(RightHandSide, EachKindOfReactionMatchesTheTextbookRate) {
  ReactionRecipe noLow = FallOff(1, {0.7349, 94.0, 1756.0, 5182.0});
  noLow.low = {0.0, 0.0, 0.0};
  const RhsCase cases[] = {
      {"reversible, one product fewer", Plain({1, 2}, {3})},
      {"reversible, same count", Plain({1, 2}, {3, 4})},
      {"species listed twice", Plain({1, 1}, {3})},
      {"three reactants, two products", Plain({1, 2, 4}, {3, 4})},
      {"irreversible", Plain({1, 2}, {3}, 0)},
      {"irreversible without heat release", Plain({1, 2}, {3}, -1)},
      {"third body of all species", ThirdBody(1, {}, {})},
      {"third body of all species with efficiencies", ThirdBody(1, {1, 3}, {2.5, 0.5})},
      {"third body of listed species only", ThirdBody(0, {1, 4}, {2.0, 0.5})},
      {"listed third body absent", ThirdBody(0, {3}, {1.0}), false},
      {"Lindemann", FallOff(0, {})},
      {"Troe, four parameters", FallOff(1, {0.7349, 94.0, 1756.0, 5182.0})},
      {"Troe, three parameters", FallOff(3, {0.562, 91.0, 5836.0})},
      {"SRI with d and e", FallOff(2, {0.45, 797.0, 979.0, 1.2, 0.3})},
      {"SRI without d and e", FallOff(2, {0.45, 797.0, 979.0, -1.0, 0.0})},
      {"fall-off without a low-pressure rate", noLow, false},
  };
  const double T = 1300.0;
  std::vector<double> y = {0.1, 0.3, 0.0, 0.58, T};  // no C: a listed third body of C is absent
  for (const RhsCase& c : cases) {
    SolverFileRecipe recipe = Mixture({c.reaction});
    auto m = Use(recipe);
    const std::vector<double> f = Rhs(*m, y);
    const std::vector<double> expected = Reference(recipe, y, T).Derivatives(c.reaction);
    double scale = 0;
    for (double v : expected) scale = std::max(scale, std::fabs(v));
    if (!c.contributes) {
      EXPECT_EQ(scale, 0.0) << c.what;
      for (double v : f) EXPECT_EQ(v, 0.0) << c.what;
      continue;
    }
    ASSERT_GT(scale, 0.0) << c.what;
    for (std::size_t i = 0; i < f.size(); ++i)
      EXPECT_NEAR(f[i], expected[i], 1e-12 * scale) << c.what << ", component " << i + 1;
  }
}

TEST(RightHandSide, ConcentrationsAndMoleFractionsAreLeftInTheSpeciesTable) {
  SolverFileRecipe recipe = Mixture({Plain({1, 2}, {3})});
  auto m = Use(recipe);
  const std::vector<double> y = {0.1, 0.3, 0.2, 0.38, 900.0};  // mass fractions summing to 0.98
  Rhs(*m, y);
  Reference ref(recipe, y, 900.0);
  double xsum = 0;
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(kx::ThAt(m->TH, 23, i), ref.c[static_cast<std::size_t>(i - 1)], 1e-15 * ref.ctot);
    xsum += kx::ThAt(m->TH, 24, i);
  }
  EXPECT_NEAR(xsum, 1.0, 1e-15);
}

TEST(RightHandSide, IsothermalRunsUseTheConstantsOfT0) {
  SolverFileRecipe recipe = Mixture({Plain({1, 2}, {3})});
  recipe.mode = 0;
  recipe.T0 = 1100.0;
  auto m = Use(recipe);
  RateConstants(*m, 1100.0);
  const std::vector<double> y = {0.1, 0.3, 0.2, 0.4};
  const std::vector<double> f = Rhs(*m, y);
  ASSERT_EQ(f.size(), 4u);
  const std::vector<double> expected = Reference(recipe, {0.1, 0.3, 0.2, 0.4}, 1100.0).Derivatives(recipe.reactions[0]);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(f[i], expected[i], 1e-12 * std::fabs(expected[0]));
}

// The heat released by the species changes balances the sensible heat: the
// mixture enthalpy stays constant at constant pressure.
TEST(RightHandSide, TemperatureEquationConservesEnthalpyOnGriMech) {
  auto m = UseSample("gri30_ch4_1400K.txt");
  const int n = m->NSPEC + 1;
  std::vector<double> y(static_cast<std::size_t>(n), 0.0);
  // The initial mixture with some radicals and products mixed in.
  for (int i = 0; i < m->NSPEC; ++i) y[static_cast<std::size_t>(i)] = m->Y[i] * kx::ThAt(m->TH, 15, i + 1);
  for (int i = 0; i < m->NSPEC; ++i) y[static_cast<std::size_t>(i)] += 1e-3 * (1 + (i * 7) % 5);
  double sum = 0;
  for (int i = 0; i < m->NSPEC; ++i) sum += y[static_cast<std::size_t>(i)];
  for (int i = 0; i < m->NSPEC; ++i) y[static_cast<std::size_t>(i)] /= sum;
  for (double T : {1400.0, 2200.0}) {
    y.back() = T;
    const std::vector<double> f = Rhs(*m, y);
    double heat = 0, scale = 0, cp = 0;
    for (int i = 1; i <= m->NSPEC; ++i) {
      const double term = f[static_cast<std::size_t>(i - 1)] * kx::ThAt(m->TH, 19, i) * T / kx::ThAt(m->TH, 15, i);
      heat += term;
      scale += std::fabs(term);
      cp += y[static_cast<std::size_t>(i - 1)] * kx::ThAt(m->TH, 20, i) / kx::ThAt(m->TH, 15, i);
    }
    ASSERT_GT(scale, 0.0);
    EXPECT_NE(f.back(), 0.0);
    EXPECT_NEAR(heat + cp * f.back(), 0.0, 1e-12 * scale) << T;
  }
}

// Evaluations at an unchanged temperature reuse the tables; the results
// must be those of a fresh evaluation, bit for bit.
TEST(RightHandSide, ReusedTemperatureTablesGiveIdenticalResults) {
  auto m = UseSample("gri30_ch4_1400K.txt");
  const int n = m->NSPEC + 1;
  std::vector<double> y1(static_cast<std::size_t>(n)), y2;
  for (int i = 0; i < m->NSPEC; ++i) y1[static_cast<std::size_t>(i)] = 0.01 + 0.001 * i;
  y1.back() = 1700.0;
  y2 = y1;
  y2[5] += 1e-7;  // two mass fractions change, the temperature does not
  y2[9] -= 2e-7;
  std::vector<double> y3 = y1;
  y3.back() = 1700.0 * (1 + 1e-9);

  Rhs(*m, y1);
  const std::vector<double> reused = Rhs(*m, y2);
  const double k22 = kx::RreacAt(m->RREAC, 22, 11);
  const std::vector<double> changed = Rhs(*m, y3);
  EXPECT_NE(kx::RreacAt(m->RREAC, 22, 11), k22) << "a new temperature recomputes the constants";

  kx::SolverUseModel(*m);
  const std::vector<double> fresh2 = Rhs(*m, y2);
  kx::SolverUseModel(*m);
  const std::vector<double> fresh3 = Rhs(*m, y3);
  EXPECT_EQ(std::memcmp(reused.data(), fresh2.data(), reused.size() * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(changed.data(), fresh3.data(), changed.size() * sizeof(double)), 0);

  // A direct call at another temperature must not leave stale tables behind.
  RateConstants(*m, 1000.0);
  const std::vector<double> afterDirect = Rhs(*m, y2);
  EXPECT_EQ(std::memcmp(afterDirect.data(), fresh2.data(), fresh2.size() * sizeof(double)), 0);
}

// A finite-difference Jacobian column (one mass fraction of the last state
// changed by the integrator's increment) is evaluated from that state; it
// must agree with a fresh evaluation to rounding, and leave the same
// concentrations behind, for every species: colliders, fall-off partners,
// species of many reactions and of none.
TEST(RightHandSide, JacobianColumnsAgreeWithFreshEvaluations) {
  for (const char* sample : {"gri30_ch4_1400K.txt", "nc12_air_1100K_10atm.txt", "h2_o2_ar_isothermal.txt"}) {
    SCOPED_TRACE(sample);
    auto m = UseSample(sample);
    const int n = m->NSPEC + m->MODE;
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < m->NSPEC; ++i) y[static_cast<std::size_t>(i)] = m->Y[i] * kx::ThAt(m->TH, 15, i + 1);
    for (int i = 0; i < m->NSPEC; ++i) y[static_cast<std::size_t>(i)] += 1e-3 * (1 + (i * 7) % 5);
    if (m->MODE == 1) y.back() = 1700.0;
    auto fresh = [&] {
      kx::SolverUseModel(*m);
      if (m->MODE == 0) RateConstants(*m, m->T0);
    };
    for (int i = 0; i < m->NSPEC; ++i) {
      std::vector<double> column = y;
      const double yi = column[static_cast<std::size_t>(i)];
      column[static_cast<std::size_t>(i)] = yi + std::sqrt(1e-16 * std::max(1e-5, std::fabs(yi)));
      fresh();
      Rhs(*m, y);
      const std::vector<double> fromBase = Rhs(*m, column);
      const std::vector<double> concentrations(kx::SolverCommon.concentration, kx::SolverCommon.concentration + m->NSPEC);
      for (int j = 0; j < m->NSPEC; ++j)
        ASSERT_EQ(kx::ThAt(m->TH, 23, j + 1), concentrations[static_cast<std::size_t>(j)]);
      fresh();
      const std::vector<double> direct = Rhs(*m, column);
      double scale = 0;
      for (double v : direct) scale = std::max(scale, std::fabs(v));
      for (int j = 0; j < n; ++j)
        ASSERT_NEAR(fromBase[static_cast<std::size_t>(j)], direct[static_cast<std::size_t>(j)], 1e-13 * scale)
            << "column " << i + 1 << ", component " << j + 1;
      for (int j = 0; j < m->NSPEC; ++j) {
        const double c = kx::SolverCommon.concentration[j];
        ASSERT_NEAR(concentrations[static_cast<std::size_t>(j)], c, 1e-15 * std::fabs(c)) << "column " << i + 1;
      }
    }
  }
}

// A model at the table limits: 300 species and 3000 reactions of every
// kind, with the longest species lists and ten colliders. Its evaluations,
// full and as Jacobian columns, run in the storage the solver keeps for such
// a model and agree with fresh ones.
TEST(RightHandSide, ModelAtTheTableLimits) {
  const SolverFileRecipe recipe = kxtest::LargeModel(kx::kMaxSpecies, kx::kMaxReactions);
  auto m = Use(recipe);
  const int n = kx::kMaxSpecies + 1;
  std::vector<double> y(static_cast<std::size_t>(n));
  for (int i = 0; i < kx::kMaxSpecies; ++i) y[static_cast<std::size_t>(i)] = (1.0 + i % 5) / (3.0 * kx::kMaxSpecies);
  y.back() = 1300.0;
  const std::vector<double> f = Rhs(*m, y);
  for (double v : f) ASSERT_TRUE(std::isfinite(v));
  double scale = 0;
  for (double v : f) scale = std::max(scale, std::fabs(v));
  ASSERT_GT(scale, 0.0);
  for (int i : {0, 150, kx::kMaxSpecies - 1}) {
    std::vector<double> column = y;
    column[static_cast<std::size_t>(i)] += 1e-9;
    kx::SolverUseModel(*m);
    Rhs(*m, y);
    const std::vector<double> fromBase = Rhs(*m, column);
    kx::SolverUseModel(*m);
    const std::vector<double> direct = Rhs(*m, column);
    for (int j = 0; j < n; ++j)
      ASSERT_NEAR(fromBase[static_cast<std::size_t>(j)], direct[static_cast<std::size_t>(j)], 1e-13 * scale)
          << "column " << i + 1 << ", component " << j + 1;
  }
}

TEST(RightHandSide, TemperatureOutsideTheRangeStopsWithCodeOne) {
  SolverFileRecipe recipe = Mixture({Plain({1, 2}, {3})});
  recipe.TMIN = 300.0;
  recipe.TMAX = 3000.0;
  auto m = Use(recipe);
  std::vector<double> y = {0.25, 0.25, 0.25, 0.25, 300.0};
  CapturedConsole console;
  EXPECT_EQ(ExitOf([&] { Rhs(*m, y); }), -1) << "TMIN itself is allowed";
  y.back() = 3000.0;
  EXPECT_EQ(ExitOf([&] { Rhs(*m, y); }), -1) << "TMAX itself is allowed";
  for (double bad : {std::nextafter(300.0, 0.0), 3000.5, 0.0, -10.0, std::nan("")}) {
    y.back() = bad;
    EXPECT_EQ(ExitOf([&] { Rhs(*m, y, 2.5e-4); }), kx::kExitModelError) << bad;
  }
  EXPECT_NE(console.Text().find(" Kinovex error  1. Time=0.2500000E-03"), std::string::npos);
  // A temperature at or below zero is outside even when the bounds allow it.
  kx::SolverCommon.TMIN = 0.0;
  y.back() = 0.0;
  EXPECT_EQ(ExitOf([&] { Rhs(*m, y); }), kx::kExitModelError);
}

TEST(RightHandSide, AStopAskedForEndsTheNextEvaluation) {
  // The integrator evaluates the right-hand side hundreds of times in one
  // step of a large model: a stop is taken at the next evaluation.
  auto m = UseSample("h2_air_1000K.txt");
  std::vector<double> y(m->Y, m->Y + m->NSPEC);
  y.push_back(1000.0);
  EXPECT_NO_THROW(Rhs(*m, y));
  kx::SolverStopSignal = SIGTERM;
  EXPECT_THROW(Rhs(*m, y), kx::SolverStopRequested);
  kx::SolverStopSignal = 0;
  EXPECT_NO_THROW(Rhs(*m, y));
}

TEST(RightHandSide, ZeroMeanHeatCapacityStopsWithCodeNine) {
  SolverFileRecipe recipe = Mixture({Plain({1, 2}, {3})});
  for (auto& s : recipe.species) s.a = {};  // no thermodynamic data at all
  auto m = Use(recipe);
  CapturedConsole console;
  EXPECT_EQ(ExitOf([&] { Rhs(*m, {0.25, 0.25, 0.25, 0.25, 1000.0}); }), kx::kExitModelError);
  EXPECT_NE(console.Text().find(" Mean specific heat capacity is equal to zero."), std::string::npos);
}

// ---- rate constants ----

TEST(RateConstants, ForwardLowPressureAndEquilibriumConstants) {
  ReactionRecipe r = FallOff(1, {0.7349, 94.0, 1756.0, 5182.0});
  r.rate = {4.0e10, 1.5, 12000.0};
  SolverFileRecipe recipe = Mixture({r, Plain({1, 2}, {3, 4}), Plain({1, 2}, {3}, 0), Plain({1, 2}, {3}, -1)});
  auto m = Use(recipe);
  const double T = 1234.5;
  RateConstants(*m, T);
  Reference ref(recipe, {0.25, 0.25, 0.25, 0.25}, T);
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 22, 1), ref.Arrhenius(r.rate), 1e-13 * ref.Arrhenius(r.rate));
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 24, 1), ref.Arrhenius(r.low), 1e-13 * ref.Arrhenius(r.low));
  const double fcent = (1 - 0.7349) * std::exp(-T / 94.0) + 0.7349 * std::exp(-T / 1756.0) + std::exp(-5182.0 / T);
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 25, 1), std::log10(fcent), 1e-14);
  // A + B = C: Kc = exp(-dG) (RC T)
  const double dg1 = Reference::G(2, T) - Reference::G(0, T) - Reference::G(1, T);
  const double kc1 = std::exp(-dg1) * recipe.RC * T;
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 23, 1), kc1, 1e-12 * kc1);
  // A + B = C + D: as many products as reactants, RC plays no part.
  const double dg2 = Reference::G(2, T) + Reference::G(3, T) - Reference::G(0, T) - Reference::G(1, T);
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 23, 2), std::exp(-dg2), 1e-12 * std::exp(-dg2));
  EXPECT_EQ(kx::RreacAt(m->RREAC, 23, 3), 0.0);
  EXPECT_EQ(kx::RreacAt(m->RREAC, 23, 4), 0.0);
  for (int i = 1; i <= 4; ++i)
    EXPECT_NEAR(kx::ThAt(m->TH, 22, i), Reference::G(static_cast<std::size_t>(i - 1), T), 1e-12);

  recipe.RC = 1.0;
  auto other = Use(recipe);
  RateConstants(*other, T);
  EXPECT_EQ(kx::RreacAt(other->RREAC, 23, 2), kx::RreacAt(m->RREAC, 23, 2));
}

// A T^b exp(-E/(RE T)) is one exponential of b ln T - E/(RE T) unless that
// exponent would overflow while its factors do not: exp(500) T^32 at 1000 K
// (exponent 721) and exp(500) T^20 (exponent 638) are both right.
TEST(RateConstants, ArrheniusTermsNearTheExponentLimit) {
  for (double b : {20.0, 32.0}) {
    ReactionRecipe r = Plain({1, 2}, {3}, 0);
    r.rate = {1e-100, b, -500000.0};
    SolverFileRecipe recipe = Mixture({r});
    recipe.RE = 1.0;
    auto m = Use(recipe);
    RateConstants(*m, 1000.0);
    const double expected = 1e-100 * std::pow(1000.0, b) * std::exp(500.0);
    EXPECT_NEAR(kx::RreacAt(m->RREAC, 22, 1), expected, 1e-13 * expected) << b;
  }
}

TEST(RateConstants, SriBaseTerm) {
  ReactionRecipe r = FallOff(2, {0.45, 797.0, 979.0, 1.2, 0.3});
  auto m = Use(Mixture({r}));
  RateConstants(*m, 1500.0);
  EXPECT_NEAR(kx::RreacAt(m->RREAC, 25, 1), 0.45 * std::exp(-797.0 / 1500.0) + std::exp(-1500.0 / 979.0), 1e-15);
}

struct LimitCase {
  const char* what;
  std::function<void(ReactionRecipe&)> change;
  int code;  // 0: passes
};

// T = 1000 and RE = 1: an activation energy of -500000 gives the exponent 500.
TEST(RateConstants, ExponentLimitEdges) {
  const LimitCase cases[] = {
      {"forward exponent exactly 500", [](ReactionRecipe& r) { r.rate[2] = -500000.0; }, 0},
      {"forward exponent above 500", [](ReactionRecipe& r) { r.rate[2] = -500001.0; }, 2},
      {"very negative exponent", [](ReactionRecipe& r) { r.rate[2] = 1e9; }, 0},
      {"low-pressure exponent exactly 500", [](ReactionRecipe& r) { r.low[2] = -500000.0; }, 0},
      {"low-pressure exponent above 500", [](ReactionRecipe& r) { r.low[2] = -500001.0; }, 5},
      {"tiny positive T***", [](ReactionRecipe& r) { r.broadening[1] = 1e-30; }, 0},
      {"small negative T***", [](ReactionRecipe& r) { r.broadening[1] = -1.0; }, 6},
      {"moderate negative T***", [](ReactionRecipe& r) { r.broadening[1] = -3.0; }, 0},
      {"negative T** beyond the limit", [](ReactionRecipe& r) { r.broadening[3] = -600000.0; }, 6},
      {"Troe centre negative", [](ReactionRecipe& r) { r.broadening[0] = 2.0, r.broadening[1] = 1e300; }, 8},
      {"Troe centre exactly zero",
       [](ReactionRecipe& r) {
         r.form = 3;
         r.broadening = {1e300, 1e300, 1e300};
       },
       8},
      {"SRI -b/T above 500",
       [](ReactionRecipe& r) {
         r.form = 2;
         r.broadening = {1.0, -600000.0, 1000.0, 1.0, 0.0};
       },
       6},
      {"SRI -T/c above 500",
       [](ReactionRecipe& r) {
         r.form = 2;
         r.broadening = {1.0, 100.0, -1.0, 1.0, 0.0};
       },
       6},
  };
  for (const LimitCase& c : cases) {
    ReactionRecipe r = FallOff(1, {0.5, 100.0, 1000.0, 5000.0});
    c.change(r);
    SolverFileRecipe recipe = Mixture({Plain({1, 2}, {3, 4}), r});
    recipe.RE = 1.0;
    auto m = Use(recipe);
    CapturedConsole console;
    const int status = ExitOf([&] { RateConstants(*m, 1000.0); });
    if (c.code == 0) {
      EXPECT_EQ(status, -1) << c.what << console.Text();
      continue;
    }
    EXPECT_EQ(status, kx::kExitModelError) << c.what;
    const std::string header = " Kinovex error  " + std::to_string(c.code) + ". Time=";
    EXPECT_NE(console.Text().find(header), std::string::npos) << c.what << console.Text();
    EXPECT_NE(console.Text().find("   2\n"), std::string::npos) << c.what << console.Text();
  }
}

TEST(RateConstants, EquilibriumExponentEdges) {
  struct Case {
    double g;  // G/RT of species B; A has none
    bool forward;
    int code;
  };
  const Case cases[] = {
      {500.0, true, 0}, {500.001, true, 3}, {500.0, false, 0}, {500.001, false, 4},
  };
  for (const Case& c : cases) {
    SolverFileRecipe recipe = Mixture({c.forward ? Plain({1}, {2}) : Plain({2}, {1})});
    recipe.species[0].a = {};
    recipe.species[1].a = {};
    recipe.species[1].a[6] = recipe.species[1].a[13] = -c.g;  // S/R = g, H/RT = 0
    auto m = Use(recipe);
    CapturedConsole console;
    const int status = ExitOf([&] { RateConstants(*m, 1000.0); });
    EXPECT_EQ(status, c.code == 0 ? -1 : kx::kExitModelError) << c.g << " " << c.forward;
    if (c.code != 0) {
      EXPECT_NE(console.Text().find(" Kinovex error  " + std::to_string(c.code)), std::string::npos);
    }
  }
}

}  // namespace
