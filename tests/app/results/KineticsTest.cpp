// Kinetics formulas on small hand-made models whose results are worked out
// by hand (T = 1000 K, R_E = 1, R_C = 82.0573661).
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "Errors.h"
#include "Kinetics.h"
#include "Messages.h"

using kx::ComputeRateConstants;
using kx::ComputeReactionRates;
using kx::KineticModel;
using kx::ReactionRates;

namespace {

constexpr double kRC = 82.0573661;

struct Reaction {
    Reaction(std::vector<int> r, std::vector<int> p, double a = 1, double nT = 0, double e = 0)
        : reactants(std::move(r)), products(std::move(p)), A(a), n(nT), E(e) {}
    std::vector<int> reactants, products;
    double A = 1, n = 0, E = 0;
    int thirdBody = 0, lowPressure = 0, kind = 0, reverse = 0;
    std::array<double, 3> low{};
    std::array<double, 5> falloff{};
    std::vector<std::pair<int, double>> partners;
};

// A model of `ns` species with H/RT = 1 + a6/T, Cp/R = 1, S/R = ln T + a7.
class Model {
public:
    explicit Model(int ns, int mode = 0) {
        thermo.Resize(ns + 1, 19);
        for (int k = 1; k <= ns; ++k) {
            for (int set : {0, 7}) thermo(k, set + 1) = 1.0;
            thermo(k, 15) = 10.0 * k;
            thermo(k, 18) = 500.0;
        }
        m.NSP = ns;
        m.P = 1.0;
        m.Mode = mode;
        m.T0 = 1000.0;
        m.RE = 1.0;
        m.RC = kRC;
    }
    void SetEnthalpy(int k, double a6, double a7 = 0) {
        for (int set : {0, 7}) {
            thermo(k, set + 6) = a6;
            thermo(k, set + 7) = a7;
        }
    }
    int Add(const Reaction& r) { reactions.push_back(r); return static_cast<int>(reactions.size()); }

    KineticModel& Build() {
        const int nr = static_cast<int>(reactions.size());
        ints.Resize(nr + 1, 27);
        reals.Resize(nr + 1, 26);
        for (int i = 1; i <= nr; ++i) {
            const Reaction& r = reactions[static_cast<std::size_t>(i) - 1];
            for (std::size_t j = 0; j < r.reactants.size(); ++j) ints(i, 1 + static_cast<int>(j)) = r.reactants[j];
            for (std::size_t j = 0; j < r.products.size(); ++j) ints(i, 4 + static_cast<int>(j)) = r.products[j];
            ints(i, 10) = static_cast<int>(r.reactants.size());
            ints(i, 11) = static_cast<int>(r.products.size());
            ints(i, 12) = r.thirdBody;
            ints(i, 13) = static_cast<int>(r.partners.size());
            ints(i, 14) = r.lowPressure;
            ints(i, 15) = r.kind;
            ints(i, 16) = r.reverse;
            reals(i, 1) = r.A;
            reals(i, 2) = r.n;
            reals(i, 3) = r.E;
            for (int c = 0; c < 3; ++c) reals(i, 4 + c) = r.low[static_cast<std::size_t>(c)];
            for (int c = 0; c < 5; ++c) reals(i, 7 + c) = r.falloff[static_cast<std::size_t>(c)];
            for (std::size_t j = 0; j < r.partners.size(); ++j) {
                ints(i, 17 + static_cast<int>(j)) = r.partners[j].first;
                reals(i, 12 + static_cast<int>(j)) = r.partners[j].second;
            }
        }
        m.NR = nr;
        m.ThermoTable = &thermo;
        m.ReactionInts = &ints;
        m.ReactionReals = &reals;
        return m;
    }

    // Rates with every reaction selected; c holds the concentrations of species 1.. (and T last in mode 1).
    ReactionRates Rates(const std::vector<double>& c, bool heat = false, bool derivative = false) {
        Build();
        std::vector<double> state{0.0};
        state.insert(state.end(), c.begin(), c.end());
        ReactionRates out;
        ComputeReactionRates(state, m, std::vector<bool>(reactions.size() + 1, true), heat, derivative, out);
        return out;
    }

    kx::Table2<double> thermo, reals;
    kx::Table2<int> ints;
    KineticModel m;
    std::vector<Reaction> reactions;
};

const double kCtot = 1.0 / (1000.0 * kRC);  // P / (T R_C)

TEST(SpeciesThermo, PolynomialTermsAndRangeAtTheSwitchTemperature) {
    std::array<double, 14> a{3, 1e-3, 2e-6, 1e-9, 1e-12, 500, 5, 2, 0, 0, 0, 0, 0, 0};
    const auto p = kx::TemperaturePowers::Of(1000);
    // Above Tmid: Cp/R = 3 + 1 + 2 + 1 + 1; H/RT = 3 + 1/2 + 2/3 + 1/4 + 1/5 + 1/2;
    // S/R = 3 ln 1000 + 1 + 1 + 1/3 + 1/4 + 5.
    kx::ThermoFunctions upper = kx::SpeciesThermoNasaChem(a, 1000, 999.999, p);
    EXPECT_DOUBLE_EQ(upper.CPR, 8.0);
    EXPECT_DOUBLE_EQ(upper.HRT, 5.116666666666667);
    EXPECT_DOUBLE_EQ(upper.SR, 28.306599170279743);
    // At Tmid the lower set: Cp/R = H/RT = 2, S/R = 2 ln T.
    kx::ThermoFunctions lower = kx::SpeciesThermoNasaChem(a, 1000, 1000, p);
    EXPECT_DOUBLE_EQ(lower.CPR, 2.0);
    EXPECT_DOUBLE_EQ(lower.HRT, 2.0);
    EXPECT_DOUBLE_EQ(lower.SR, 2.0 * std::log(1000.0));
    // A set that sums to 0 gives zeros, without falling back to the other set.
    std::array<double, 14> zeroSum{2, -2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    kx::ThermoFunctions none = kx::SpeciesThermoNasaChem(zeroSum, 1000, 500, p);
    EXPECT_EQ(none.CPR, 0.0);
    EXPECT_EQ(none.HRT, 0.0);
    EXPECT_EQ(none.SR, 0.0);
}

TEST(SpeciesThermo, ResultsWindowVariantTakesTheUpperSetAtTheSwitchTemperature) {
    std::array<double, 14> a{1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0};
    kx::SpeciesThermoResult atMid = kx::SpeciesThermoNasa(a, 1000, 1000, "CO");
    EXPECT_TRUE(atMid.ok);
    EXPECT_EQ(atMid.CPR, 1.0);
    kx::SpeciesThermoResult below = kx::SpeciesThermoNasa(a, 999, 1000, "CO");
    EXPECT_EQ(below.CPR, 2.0);
    kx::SpeciesThermoResult cold = kx::SpeciesThermoNasa(a, 99.9, 50, "CO");
    EXPECT_FALSE(cold.ok);
    EXPECT_EQ(cold.HRT, 0.0);
    std::array<double, 14> zeroSum{1, -1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(kx::SpeciesThermoNasa(zeroSum, 1500, 1000, "CO").ok);
    // The message is UTF-8: a name's Latin-1 byte becomes its character.
    const std::pair<std::string, std::string> names[] = {{"CH3O", "CH3O"}, {"\xC4R", "\xC3\x84R"}};
    for (const auto& [name, shown] : names) {
        try {
            kx::SpeciesThermoNasa(std::array<double, 14>{1, 0, 0, 0, 1, 0, 0}, 1e100, 1000, name);
            ADD_FAILURE();
        } catch (const kx::TaggedError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Mod1#006. Calculation error for thermodynamic functions of the species '" + shown + "'. Overflow");
        }
    }
}

TEST(RateConstants, ArrheniusFallOffAndEquilibriumConstants) {
    Model model(3);
    // S2 and S3 lie 1 and 2 below S1 in G/RT: dG of S1 = S2 + S3 is -2 - ln T.
    model.SetEnthalpy(2, 0, 1);
    model.SetEnthalpy(3, 0, 2);
    Reaction arrhenius{{1}, {2, 3}, 2, 1, 1000};
    arrhenius.reverse = 1;
    arrhenius.lowPressure = 1;
    arrhenius.low = {3, 0, 0};
    arrhenius.thirdBody = 1;
    Reaction troe4{{1}, {2}};
    troe4.kind = 1;  // (1 - a) e^-500 (ratio 1000 above 500) + a e^-1 + e^-2
    troe4.falloff = {0.25, 1, 1000, 2000};
    Reaction troe3 = troe4;
    troe3.kind = 3;  // without the third term
    Reaction sri{{1}, {2}};
    sri.kind = 2;
    sri.falloff = {2, 1000, 500};  // 2 e^-1 + e^-2
    model.Add(arrhenius);
    model.Add(troe4);
    model.Add(troe3);
    model.Add(sri);
    kx::SpeciesThermoTable thermo;
    ComputeRateConstants(1000, model.Build(), thermo);

    const auto& r = model.reals;
    EXPECT_DOUBLE_EQ(r(1, 22), 2000.0 / std::exp(1.0));
    EXPECT_DOUBLE_EQ(r(1, 24), 3.0);
    EXPECT_NEAR(r(1, 23), std::exp(2.0) / kRC, 1e-15);
    EXPECT_EQ(r(2, 23), 0.0);
    EXPECT_DOUBLE_EQ(r(2, 25), std::log10(0.75 * std::exp(-500.0) + 0.25 * std::exp(-1.0) + std::exp(-2.0)));
    EXPECT_DOUBLE_EQ(r(3, 25), std::log10(0.75 * std::exp(-500.0) + 0.25 * std::exp(-1.0)));
    EXPECT_DOUBLE_EQ(r(4, 25), 2 * std::exp(-1.0) + std::exp(-2.0));
    EXPECT_DOUBLE_EQ(thermo.HRT[2], 1.0);
    EXPECT_DOUBLE_EQ(thermo.GRT[3], 1.0 - std::log(1000.0) - 2.0);
}

TEST(ReactionRates, MassActionProductionAndGrossProduction) {
    Model model(4);
    model.Add({{1, 2}, {3}, 2});        // S1 + S2 => S3, k = 2
    model.Add({{3}, {1, 2}, 0.5});      // S3 => S1 + S2, k = 0.5
    model.Add({{1, 4}, {2, 4}, 3});     // S4 as a catalyst
    model.Add({{1, 1}, {3}, 1});        // S1 + S1 => S3
    const ReactionRates out = model.Rates({1e-6, 2e-6, 4e-6, 5e-6});
    const auto& rate = out.ReactionRateTable;
    EXPECT_DOUBLE_EQ(rate(1, 0), 2 * 1e-6 * 2e-6);
    EXPECT_DOUBLE_EQ(rate(2, 0), 0.5 * 4e-6);
    EXPECT_DOUBLE_EQ(rate(3, 0), 3 * 1e-6 * 5e-6);
    EXPECT_DOUBLE_EQ(rate(4, 0), 1e-12);
    EXPECT_EQ(rate(2, 1), rate(2, 0));
    const double r1 = 4e-12, r2 = 2e-6, r3 = 1.5e-11, r4 = 1e-12;
    const auto& prod = out.SpeciesProduction;
    EXPECT_DOUBLE_EQ(prod(1, 0), -r1 + r2 - r3 - 2 * r4);
    EXPECT_DOUBLE_EQ(prod(1, 1), r2);
    EXPECT_DOUBLE_EQ(prod(2, 0), -r1 + r2 + r3);
    EXPECT_DOUBLE_EQ(prod(3, 0), r1 - r2 + r4);
    EXPECT_DOUBLE_EQ(prod(3, 1), r1 + r4);
    EXPECT_EQ(prod(4, 0), 0.0);
}

TEST(ReactionRates, ThirdBodiesAndNonPositiveColliderConcentration) {
    Model model(3);
    Reaction plain{{1}, {2}, 2};
    plain.thirdBody = 1;
    plain.partners = {{3, 4.0}};  // c_tot + 3 c3
    Reaction listedOnly{{1}, {2}, 2};
    listedOnly.partners = {{2, 1.5}, {3, 0.5}};  // 1.5 c2 + 0.5 c3
    Reaction noCollider{{1}, {2}, 2};
    noCollider.partners = {{3, 0.0}};
    Reaction negative{{1}, {2}, 2};
    negative.partners = {{3, -1.0}};
    for (const Reaction& r : {plain, listedOnly, noCollider, negative}) model.Add(r);
    const ReactionRates out = model.Rates({1e-6, 2e-6, 3e-6});
    const auto& rate = out.ReactionRateTable;
    EXPECT_DOUBLE_EQ(rate(1, 0), 2 * (kCtot + 3 * 3e-6) * 1e-6);
    EXPECT_DOUBLE_EQ(rate(2, 0), 2 * (1.5 * 2e-6 + 0.5 * 3e-6) * 1e-6);
    for (int i : {3, 4}) {
        EXPECT_EQ(rate(i, 0), 0.0);
        EXPECT_EQ(rate(i, 1), 0.0);
    }
    EXPECT_DOUBLE_EQ(out.SpeciesProduction(2, 0), rate(1, 0) + rate(2, 0));
}

TEST(ReactionRates, FallOffForms) {
    Model model(3);
    // Partner S3 alone with efficiency 1 and c3 = 1 makes M = 1, so Pr = k0 / kf.
    auto falloff = [](int kind, double k0) {
        Reaction r{{1}, {2}, 1};
        r.partners = {{3, 1.0}};
        r.lowPressure = 1;
        r.low = {k0, 0, 0};
        r.kind = kind;
        return r;
    };
    model.Add(falloff(0, 3));  // Lindemann: Pr / (1 + Pr) = 3/4
    Reaction troe = falloff(1, 1);
    troe.falloff = {0.5, 1, 1e-30, 1000 * std::log(2.0)};  // Fcent = 1/2 (plus e^-500 terms)
    model.Add(troe);
    Reaction sri = falloff(2, 10);
    sri.falloff = {2, 1000, 500, 2, 0.5};  // X = 1/2: sqrt(2/e + 1/e^2) x 2 x T^0.5
    model.Add(sri);
    Reaction noThirdBody{{1}, {2}, 1};
    noThirdBody.lowPressure = 1;
    noThirdBody.low = {1, 0, 0};
    model.Add(noThirdBody);
    const ReactionRates out = model.Rates({1e-6, 0, 1});
    const auto& rate = out.ReactionRateTable;
    EXPECT_DOUBLE_EQ(rate(1, 0), 0.75e-6);
    EXPECT_NEAR(rate(2, 0), 0.2549688514647912e-6, 1e-20);
    EXPECT_NEAR(rate(3, 0), 53.66237167836601e-6, 1e-18);
    EXPECT_EQ(rate(4, 0), 0.0);
}

// Fall-off reactions with values at which the solver's arithmetic still
// runs get the rate the solver gives them: a rate constant of 0 (its A
// blanked, at high or low pressure) makes the reaction's rate 0; a Troe
// temperature T*** or T* of 0 limits its term to exp(-500), as a tiny one
// does; an SRI c of 0 makes exp(-T/c) vanish.
struct SolverArithmeticCase {
    const char* what;
    int kind;
    double A, k0;
    std::array<double, 5> falloff;
    double rate;  // net rate of S1 -> S2 with c1 = 1e-6 and M = 1
};

class FallOffLikeTheSolver : public ::testing::TestWithParam<SolverArithmeticCase> {};

TEST_P(FallOffLikeTheSolver, GetsTheSolversRate) {
    const SolverArithmeticCase& c = GetParam();
    Model model(3);
    // Partner S3 alone with efficiency 1 and c3 = 1 makes M = 1.
    Reaction r{{1}, {2}, c.A};
    r.partners = {{3, 1.0}};
    r.lowPressure = 1;
    r.low = {c.k0, 0, 0};
    r.kind = c.kind;
    r.falloff = c.falloff;
    model.Add(r);
    const ReactionRates out = model.Rates({1e-6, 0, 1});
    EXPECT_NEAR(out.ReactionRateTable(1, 0), c.rate, 1e-20);
    EXPECT_NEAR(out.SpeciesProduction(1, 0), -c.rate, 1e-20);
    EXPECT_NEAR(out.SpeciesProduction(2, 0), c.rate, 1e-20);
    if (c.rate == 0.0) {
        EXPECT_EQ(out.ReactionRateTable(1, 1), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FallOffLikeTheSolver,
    ::testing::Values(
        SolverArithmeticCase{"Lindemann without its high-pressure A", 0, 0, 3, {}, 0},
        SolverArithmeticCase{"Troe without its high-pressure A", 3, 0, 1, {0.5, 100, 100}, 0},
        SolverArithmeticCase{"SRI without its high-pressure A", 2, 0, 10, {2, 1000, 500, 2, 0.5}, 0},
        SolverArithmeticCase{"Troe without its low-pressure A", 3, 1, 0, {0.5, 100, 100}, 0},
        SolverArithmeticCase{"SRI without its low-pressure A", 2, 1, 0, {2, 1000, 500, 2, 0.5}, 0},
        // Fcent = 1/2, as with T* = 1e-30 (ReactionRates.FallOffForms).
        SolverArithmeticCase{"Troe T* of 0", 1, 1, 1, {0.5, 1, 0, 1000 * std::log(2.0)}, 0.2549688514647912e-6},
        SolverArithmeticCase{"Troe T*** of 0", 1, 1, 1, {0.5, 0, 1, 1000 * std::log(2.0)}, 0.2549688514647912e-6},
        // X = 1/2: 10/11 sqrt(2/e) x 2 x T^0.5.
        SolverArithmeticCase{"SRI c of 0", 2, 1, 10, {2, 1000, 0, 2, 0.5}, 49.31795583837241e-6}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ' || ch == '-' || ch == '*') ch = '_';
        return n;
    });

TEST(ReactionRates, ReverseRatesAndTheNearEquilibriumCut) {
    Model model(3);
    model.SetEnthalpy(2, 0, 1);  // Kc of S1 <=> S2 is e^1
    const double Kc = std::exp(1.0);
    auto reversible = [] {
        Reaction r{{1}, {2}, 5};
        r.reverse = 1;
        return r;
    };
    model.Add(reversible());
    model.Add({{1}, {3}, 1});
    // Net 5e-7 of the forward rate: cut to 0.
    ReactionRates cut = model.Rates({1e-6, Kc * 1e-6 * (1 - 5e-7), 0});
    EXPECT_EQ(cut.ReactionRateTable(1, 0), 0.0);
    EXPECT_DOUBLE_EQ(cut.ReactionRateTable(1, 1), 5e-6);
    EXPECT_DOUBLE_EQ(cut.SpeciesProduction(1, 0), -1e-6);
    EXPECT_EQ(cut.SpeciesProduction(2, 0), 0.0);
    // Net 2e-6 of it stays.
    ReactionRates kept = model.Rates({1e-6, Kc * 1e-6 * (1 - 2e-6), 0});
    EXPECT_NEAR(kept.ReactionRateTable(1, 0), 5e-6 * 2e-6, 1e-18);
    EXPECT_NEAR(kept.SpeciesProduction(2, 0), 1e-11, 1e-18);
    // Backwards: the reverse rate dominates.
    ReactionRates back = model.Rates({1e-6, 2 * Kc * 1e-6, 0});
    EXPECT_NEAR(back.ReactionRateTable(1, 0), -5e-6, 1e-18);
    EXPECT_NEAR(back.SpeciesProduction(1, 1), 5e-6, 1e-18);
}

TEST(ReactionRates, HeatTermsAndTemperatureDerivative) {
    Model model(3, 1);
    model.SetEnthalpy(1, 2000);  // H/RT = 3 at 1000 K; S2 and S3: 1
    model.Add({{1}, {2}, 0.5});  // releases heat: dH/RT = -2
    Reaction excluded{{1}, {3}, 0.25};
    excluded.reverse = -1;
    model.Add(excluded);
    // Concentrations that add up to c_tot: mean Cp/R = 1.
    const std::vector<double> state{0.5 * kCtot, 0.3 * kCtot, 0.2 * kCtot, 1000.0};
    const double r1 = 0.25 * kCtot, r2 = 0.125 * kCtot;

    const ReactionRates rates = model.Rates(state);
    // dT/dt = T (2 r1 + 2 r2) / c_tot: every selected reaction counts here.
    EXPECT_NEAR(rates.SpeciesProduction(4, 0), 1000.0 * 2 * (r1 + r2) / kCtot, 1e-9);

    const ReactionRates heat = model.Rates(state, true);
    EXPECT_NEAR(heat.ReactionRateTable(1, 0), -2000.0 * r1, 1e-15);
    EXPECT_EQ(heat.ReactionRateTable(2, 0), 0.0);
    EXPECT_NEAR(heat.SpeciesProduction(2, 0), r1, 1e-20);

    const ReactionRates dTdt = model.Rates(state, true, true);
    EXPECT_NEAR(dTdt.ReactionRateTable(1, 0), 2000.0 * r1 / kCtot, 1e-9);

    Model isothermal(2);
    isothermal.Add({{1}, {2}, 1});
    EXPECT_THROW(isothermal.Rates({1e-6, 0}, true, true), kx::Error);
}

TEST(ReactionRates, OnlySelectedReactionsGetRatesButAllGetConstants) {
    Model model(2);
    model.Add({{1}, {2}, 2});
    model.Add({{2}, {1}, 3, 1, 0});
    model.Build();
    std::vector<double> state{0, 1e-6, 1e-6};
    ReactionRates out;
    ComputeReactionRates(state, model.m, {false, true, false}, false, false, out);
    EXPECT_DOUBLE_EQ(out.ReactionRateTable(1, 0), 2e-6);
    EXPECT_EQ(out.ReactionRateTable(2, 0), 0.0);
    EXPECT_EQ(out.ReactionRateTable(2, 1), 0.0);
    EXPECT_DOUBLE_EQ(model.reals(2, 22), 3000.0);
}

struct FaultCase {
    const char* what;
    Reaction reaction;
    double temperature;
    const char* description;
};

class KineticsFault : public ::testing::TestWithParam<FaultCase> {};

// Floating-point faults fail the evaluation instead of leaving infinities.
TEST_P(KineticsFault, FailsWithItsDescription) {
    const FaultCase& c = GetParam();
    Model model(2, 1);
    model.Add(c.reaction);
    try {
        model.Rates({1e-6, 1e-6, c.temperature});
        ADD_FAILURE() << "no failure";
    } catch (const kx::Error& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with(c.description)) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KineticsFault,
    ::testing::Values(FaultCase{"zero temperature", Reaction{{1}, {2}}, 0.0, "Invalid procedure call"},
                      FaultCase{"overflowing exponential", Reaction{{1}, {2}, 1, 0, -1e6}, 1000, "Overflow"},
                      FaultCase{"species beyond the table", Reaction{{3}, {2}}, 1000, "Subscript out of range"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ' || ch == '-') ch = '_';
        return n;
    });

}  // namespace
