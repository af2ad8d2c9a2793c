#include "Kinetics.h"

#include <cmath>
#include <string>

#include "Errors.h"
#include "Messages.h"
#include "TextHelpers.h"
#include "input_rules.h"

namespace kx {
namespace {

constexpr double kThermoMinTemperature = 100.0;
// Troe ratios above this give their term the exponent -500.
constexpr double kTroeRatioLimit = 500.0;
// A reaction whose net rate is below this share of its forward rate counts
// as balanced.
constexpr double kNetRateCut = 1e-6;

double CheckedExp(double x) {
    const double v = x == 0.0 ? 1.0 : std::exp(x);
    if (!std::isfinite(v)) throw Error(ErrorKind::Overflow);
    return v;
}

void CheckLogArgument(double x) {
    if (!(x > 0.0)) throw Error(ErrorKind::InvalidArgument, "logarithm of " + std::to_string(x));
}

double CheckedLog(double x) {
    CheckLogArgument(x);
    return std::log(x);
}

double CheckedLog10(double x) {
    CheckLogArgument(x);
    return std::log10(x);
}

double CheckedDiv(double a, double b) {
    if (b == 0.0) throw Error(ErrorKind::DivisionByZero);
    return a / b;
}

double PowT(double T, double b) { return b == 0.0 ? 1.0 : std::pow(T, b); }

// x^m for a whole m, by repeated squaring (1/x^|m| for negative m).
double PowInt(double x, int m) {
    unsigned n = m < 0 ? static_cast<unsigned>(-m) : static_cast<unsigned>(m);
    double y = (n % 2) ? x : 1.0;
    while (n >>= 1) {
        x = x * x;
        if (n % 2) y = y * x;
    }
    return m < 0 ? CheckedDiv(1.0, y) : y;
}

double Finite(double v) {
    if (!std::isfinite(v)) throw Error(ErrorKind::Overflow);
    return v;
}

// Cp/R, H/RT and S/R from one set of seven coefficients.
ThermoFunctions EvaluateSet(const double* b, double T, const TemperaturePowers& p) {
    const double p2 = b[1] * T;
    const double p3 = b[2] * p.T2;
    const double p4 = b[3] * p.T3;
    const double p5 = b[4] * p.T4;
    ThermoFunctions f;
    f.CPR = p2 + b[0] + p3 + p4 + p5;
    f.HRT = p2 * 0.5 + b[0] + p3 / 3.0 + p4 * 0.25 + p5 / 5.0 + b[5] / T;
    f.SR = b[0] * p.LnT + p2 + p3 * 0.5 + p4 / 3.0 + p5 * 0.25 + b[6];
    return f;
}

double SetSum(const double* b) {
    double s = 0.0;
    for (int k = 0; k < 7; ++k) s += b[k];
    return s;
}

void CheckSpecies(int s, int nsp, int reaction) {
    if (s < 1 || s > nsp)
        throw Error(ErrorKind::SubscriptOutOfRange,
                    "species " + std::to_string(s) + " in reaction " + std::to_string(reaction));
}

// The tables must hold every index that the evaluation reads.
void CheckModel(const KineticModel& m) {
    if (!m.ThermoTable || !m.ReactionInts || !m.ReactionReals || m.NSP < 1 || m.NR < 0 ||
        m.ThermoTable->Rows() <= m.NSP || m.ThermoTable->Cols() < 19 || m.ReactionInts->Rows() <= m.NR ||
        m.ReactionInts->Cols() < 27 || m.ReactionReals->Rows() <= m.NR || m.ReactionReals->Cols() < 26)
        throw Error(ErrorKind::SubscriptOutOfRange, "model tables");
    const Table2<int>& ri = *m.ReactionInts;
    for (int r = 1; r <= m.NR; ++r) {
        const int nr = ri(r, 10), np = ri(r, 11), partners = ListedThirdBodies(ri(r, 13));
        if (nr < 0 || nr > 3 || np < 0 || np > 6)
            throw Error(ErrorKind::SubscriptOutOfRange, "counts of reaction " + std::to_string(r));
        for (int j = 1; j <= nr; ++j) CheckSpecies(ri(r, j), m.NSP, r);
        for (int j = 4; j <= 3 + np; ++j) CheckSpecies(ri(r, j), m.NSP, r);
        for (int j = 1; j <= partners; ++j) CheckSpecies(ri(r, 16 + j), m.NSP, r);
    }
}

}  // namespace

TemperaturePowers TemperaturePowers::Of(double T) {
    TemperaturePowers p;
    p.LnT = CheckedLog(T);
    p.T2 = T * T;
    p.T3 = T * p.T2;
    p.T4 = T * p.T3;
    return p;
}

ThermoFunctions SpeciesThermoNasaChem(std::span<const double, 14> a, double T, double Tmid,
                                      const TemperaturePowers& powers) {
    const double* upper = a.data();
    const double* lower = a.data() + 7;
    if (T > Tmid && SetSum(upper) != 0.0) return EvaluateSet(upper, T, powers);
    if (T <= Tmid && SetSum(lower) != 0.0) return EvaluateSet(lower, T, powers);
    return {};
}

SpeciesThermoResult SpeciesThermoNasa(std::span<const double, 14> a, double T, double Tmid,
                                      std::string_view speciesName) {
    SpeciesThermoResult r;
    if (T < kThermoMinTemperature) return r;
    try {
        const double* upper = a.data();
        const double* lower = a.data() + 7;
        const double* set = nullptr;
        if (T >= Tmid && SetSum(upper) != 0.0)
            set = upper;
        else if (T < Tmid && SetSum(lower) != 0.0)
            set = lower;
        if (!set) return r;
        const ThermoFunctions f = EvaluateSet(set, T, TemperaturePowers::Of(T));
        r.HRT = Finite(f.HRT);
        r.CPR = Finite(f.CPR);
        r.SR = Finite(f.SR);
        r.ok = true;
        return r;
    } catch (const std::exception& e) {
        throw TaggedError("Mod1#006. ", "Calculation error for thermodynamic functions of the species '" +
                                            Latin1ToUtf8(speciesName) + "'. " + e.what());
    }
}

namespace {

// Rate constants of a model that CheckModel accepted.
void RateConstants(double T, const KineticModel& m, SpeciesThermoTable& thermo) {
    const Table2<double>& th = *m.ThermoTable;
    const Table2<int>& ri = *m.ReactionInts;
    Table2<double>& rr = *m.ReactionReals;

    const TemperaturePowers powers = TemperaturePowers::Of(T);
    thermo.HRT.assign(static_cast<std::size_t>(m.NSP) + 1, 0.0);
    thermo.CPR.assign(static_cast<std::size_t>(m.NSP) + 1, 0.0);
    thermo.GRT.assign(static_cast<std::size_t>(m.NSP) + 1, 0.0);
    for (int k = 1; k <= m.NSP; ++k) {
        const std::span<const double, 14> coefficients(&th(k, 1), 14);
        const ThermoFunctions f = SpeciesThermoNasaChem(coefficients, T, th(k, 18), powers);
        thermo.HRT[k] = Finite(f.HRT);
        thermo.CPR[k] = Finite(f.CPR);
        thermo.GRT[k] = Finite(f.HRT - f.SR);
    }

    const double RT = m.RE * T;
    for (int r = 1; r <= m.NR; ++r) {
        rr(r, 22) = Finite(CheckedExp(CheckedDiv(-rr(r, 3), RT)) * (rr(r, 1) * PowT(T, rr(r, 2))));
        if (FallOffReaction(ri(r, 14)))
            rr(r, 24) = Finite(CheckedExp(CheckedDiv(-rr(r, 6), RT)) * (rr(r, 4) * PowT(T, rr(r, 5))));

        // The ratios of the broadening terms are taken as the solver takes
        // them: a Troe temperature T*** or T* of 0 makes its ratio infinite,
        // which limits its term to exp(-500); an SRI c of 0 makes exp(-T/c)
        // vanish.
        const int kind = ri(r, 15);
        if (kind == 1 || kind == 3) {
            auto term = [&](double ratio) { return CheckedExp(ratio > kTroeRatioLimit ? -kTroeRatioLimit : -ratio); };
            const double a = rr(r, 7);
            double fcent = (1.0 - a) * term(T / rr(r, 8)) + a * term(T / rr(r, 9));
            if (kind == 1) fcent = fcent + term(rr(r, 10) / T);
            rr(r, 25) = CheckedLog10(Finite(fcent));
        } else if (kind == 2) {
            rr(r, 25) = Finite(rr(r, 7) * CheckedExp(-rr(r, 8) / T) + CheckedExp(-T / rr(r, 9)));
        }

        if (ri(r, 16) == 1) {
            const int nr = ri(r, 10), np = ri(r, 11);
            double products = 0.0, reactants = 0.0;
            for (int j = 4; j <= 3 + np; ++j) products += thermo.GRT[ri(r, j)];
            for (int j = 1; j <= nr; ++j) reactants += thermo.GRT[ri(r, j)];
            const double dG = products - reactants;
            rr(r, 23) = Finite(CheckedExp(-dG) / PowInt(m.RC * T, np - nr));
        } else {
            rr(r, 23) = 0.0;
        }
    }
}

}  // namespace

void ComputeRateConstants(double T, const KineticModel& m, SpeciesThermoTable& thermo) {
    CheckModel(m);
    RateConstants(T, m, thermo);
}

void ComputeReactionRates(std::span<const double> state, const KineticModel& m, const std::vector<bool>& selected,
                          bool heatTerm, bool temperatureDerivative, ReactionRates& out) {
    if (m.Mode != 0 && m.Mode != 1)
        throw Error(ErrorKind::InvalidArgument, "temperature mode " + std::to_string(m.Mode));
    CheckModel(m);
    if (state.size() <= static_cast<std::size_t>(m.NSP + m.Mode) ||
        selected.size() <= static_cast<std::size_t>(m.NR))
        throw Error(ErrorKind::SubscriptOutOfRange, "state vector");

    out.SpeciesProduction.Resize(m.NSP + m.Mode + 1, 2);
    out.ReactionRateTable.Resize(m.NR + 1, 2);
    const double T = m.Mode == 0 ? m.T0 : state[static_cast<std::size_t>(m.NSP) + 1];
    RateConstants(T, m, out.Thermo);

    const Table2<int>& ri = *m.ReactionInts;
    const Table2<double>& rr = *m.ReactionReals;
    Table2<double>& prod = out.SpeciesProduction;
    Table2<double>& rate = out.ReactionRateTable;
    const std::vector<double>& hrt = out.Thermo.HRT;
    const double ctot = CheckedDiv(m.P, T * m.RC);
    auto c = [&](int s) { return state[static_cast<std::size_t>(s)]; };

    for (int i = 1; i <= m.NR; ++i) {
        if (!selected[static_cast<std::size_t>(i)]) continue;
        const int nr = ri(i, 10), np = ri(i, 11);

        double factor = 1.0;
        double M = 0.0;
        const bool thirdBody = ri(i, 12) > 0 || ri(i, 13) > 0;
        if (thirdBody) {
            const double base = ri(i, 12) >= 1 ? 1.0 : 0.0;
            M = base * ctot;
            for (int j = 1; j <= ListedThirdBodies(ri(i, 13)); ++j) M += (rr(i, 11 + j) - base) * c(ri(i, 16 + j));
            factor = M;
            if (M <= 0.0) continue;
        }
        if (FallOffReaction(ri(i, 14))) {
            // A fall-off reaction needs its collider concentration; without
            // a third body it has none and gets no rate, as in the solver.
            // Nor has it a rate when either rate constant is 0 (a zero A,
            // high or low pressure): its rate is 0 then, as in the solver,
            // where Pr = k0 M / kf has no value.
            if (!thirdBody || rr(i, 22) == 0.0 || rr(i, 24) == 0.0) continue;
            const double Pr = rr(i, 24) * M / rr(i, 22);
            factor = Pr / (1.0 + Pr);
            const int kind = ri(i, 15);
            if (kind == 1 || kind == 3) {
                const double logFcent = rr(i, 25);
                const double cT = -0.4 - 0.67 * logFcent;
                const double nT = 0.75 - 1.27 * logFcent;
                const double y = CheckedLog10(Pr) + cT;
                // Where the denominator is 0, x is infinite and the
                // broadening 1, as in the solver.
                const double x = y / (nT - 0.14 * y);
                const double logFb = logFcent / (1.0 + x * x);
                factor = factor * std::pow(10.0, logFb);
            } else if (kind == 2) {
                const double logPr = CheckedLog10(Pr);
                const double X = 1.0 / (1.0 + logPr * logPr);
                const double base = rr(i, 25);
                if (base < 0.0 && X != std::floor(X))
                    throw Error(ErrorKind::InvalidArgument, "SRI term of reaction " + std::to_string(i));
                double G = std::pow(base, X);
                if (rr(i, 10) > 0.0) G = G * rr(i, 10);
                if (rr(i, 11) != 0.0) G = G * std::pow(T, rr(i, 11));
                factor = factor * G;
            }
        }

        const double k = rr(i, 22) * factor;
        double forward = k;
        for (int j = 1; j <= nr; ++j) forward = forward * c(ri(i, j));
        double reverse = 0.0;
        if (ri(i, 16) == 1) {
            reverse = CheckedDiv(k, rr(i, 23));
            for (int j = 4; j <= 3 + np; ++j) reverse = reverse * c(ri(i, j));
        }
        double net = Finite(forward) - Finite(reverse);
        if (std::fabs(forward) > 0.0 && std::fabs(net) / std::fabs(forward) < kNetRateCut) net = 0.0;
        rate(i, 0) = net;
        rate(i, 1) = forward;

        for (int j = 1; j <= nr; ++j) {
            const int s = ri(i, j);
            prod(s, 0) -= net;
            if (net < 0.0) prod(s, 1) -= net;
        }
        for (int j = 4; j <= 3 + np; ++j) {
            const int s = ri(i, j);
            prod(s, 0) += net;
            if (net > 0.0) prod(s, 1) += net;
        }

        if (heatTerm) {
            if (ri(i, 16) == -1) {
                rate(i, 0) = 0.0;
            } else {
                double dH = 0.0;
                for (int j = 4; j <= 3 + np; ++j) dH += hrt[static_cast<std::size_t>(ri(i, j))];
                for (int j = 1; j <= nr; ++j) dH -= hrt[static_cast<std::size_t>(ri(i, j))];
                rate(i, 0) = net * dH * T;
            }
        }
    }

    double cpSum = 0.0;
    if (m.Mode == 1) {
        double hSum = 0.0;
        for (int k = 1; k <= m.NSP; ++k) {
            hSum -= prod(k, 0) * hrt[static_cast<std::size_t>(k)];
            cpSum += (c(k) / ctot) * out.Thermo.CPR[static_cast<std::size_t>(k)];
        }
        if (cpSum == 0.0) throw Error(ErrorKind::DivisionByZero, "mean heat capacity");
        prod(m.NSP + 1, 0) = T * hSum / (cpSum * ctot);
    }
    if (temperatureDerivative) {
        const double denominator = cpSum * ctot;
        if (denominator == 0.0) throw Error(ErrorKind::DivisionByZero, "mean heat capacity");
        for (int i = 1; i <= m.NR; ++i)
            if (rate(i, 0) != 0.0) rate(i, 0) = -rate(i, 0) / denominator;
    }

    for (int k = 0; k < prod.Rows(); ++k)
        if (!std::isfinite(prod(k, 0)) || !std::isfinite(prod(k, 1))) throw Error(ErrorKind::Overflow);
    for (int i = 1; i <= m.NR; ++i)
        if (!std::isfinite(rate(i, 0))) throw Error(ErrorKind::Overflow);
}

}  // namespace kx
