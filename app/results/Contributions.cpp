// Kinetics at stored states, their integrals over the current interval, and
// the contributions of reactions to a species.
#include <cmath>

#include "Errors.h"
#include "Quadrature.h"
#include "ResultsReader.h"
#include "ZeroThreshold.h"

namespace kx {

KineticModel ResultsReader::Model() {
    KineticModel m;
    m.NSP = tables_.NumSpecies;
    m.NR = tables_.NumReactions;
    m.P = tables_.Pressure;
    m.Mode = tables_.TemperatureMode;
    m.T0 = tables_.InitialTemperature;
    m.RE = tables_.GasConstantE;
    m.RC = tables_.GasConstantConc;
    m.ThermoTable = &tables_.ThermoTable;
    m.ReactionInts = &tables_.ReactionInts;
    m.ReactionReals = &tables_.ReactionReals;
    return m;
}

void ResultsReader::RatesAtRow(int row, const std::vector<bool>& selected, bool heatTerm, bool temperatureDerivative,
                               ReactionRates& out) {
    RequireLoaded();
    const ResultsTables& t = tables_;
    if (row < 1 || row >= t.ResultRowCount) throw Error(ErrorKind::SubscriptOutOfRange, "row " + std::to_string(row));
    const int NS = t.NumSpecies;
    stateWork_.assign(static_cast<std::size_t>(NS + 1 + (t.TemperatureMode == 1 ? 1 : 0)), 0.0);
    if (t.TemperatureMode == 1) {
        const double T = t.ResultValues(row, 1);
        if (std::isnan(T)) throw Error(ErrorKind::TypeMismatch, "temperature of row " + std::to_string(row));
        stateWork_[static_cast<std::size_t>(NS) + 1] = T;
    }
    const double rho = t.RowDensity[static_cast<std::size_t>(row)];
    for (int k = 1; k <= NS; ++k) {
        double y = t.ResultValues(row, k + 2);
        if (std::isnan(y))
            throw Error(ErrorKind::TypeMismatch, "mass fraction of species " + std::to_string(k) + " in row " +
                                                     std::to_string(row));
        if (CountsAsZero(y, t.ZeroThreshold)) y = 0.0;
        stateWork_[static_cast<std::size_t>(k)] = y * rho / t.ThermoTable(k, 15);
    }
    ComputeReactionRates(stateWork_, Model(), selected, heatTerm, temperatureDerivative, out);
}

bool ResultsReader::Resolution(int kin, int kend, std::span<const double> times) {
    if (kin < 0 || kend >= static_cast<int>(times.size())) throw Error(ErrorKind::SubscriptOutOfRange, "times");
    for (int i = kin; i < kend; ++i) {
        if (times[static_cast<std::size_t>(i)] == times[static_cast<std::size_t>(i) + 1]) {
            ShowMessage(messages_,
                        "Features of the 'Reaction' and 'Temperature' windows don't operate because numeric data cannot be "
                        "resolved. We recommend to restart the problem with a greater number of step of data output.",
                        MessageIcon::Exclamation);
            return true;
        }
    }
    return false;
}

ResultsReader::WorkingRange ResultsReader::GatherWorkingTimes() {
    WorkingRange w;
    w.First = used_.FirstUsedRow;
    w.Last = used_.LastUsedRow;
    const int finalRow = tables_.ResultRowCount - 1;
    if (!loaded_ || w.First < 1 || w.Last < w.First || w.Last > finalRow)
        throw Error(ErrorKind::SubscriptOutOfRange, "interval rows");
    w.Start = IntervalQuadrature::StartRowFor(w.First);
    w.End = IntervalQuadrature::EndRowFor(w.Last, finalRow);
    timesWork_.assign(static_cast<std::size_t>(w.End) + 1, 0.0);
    for (int i = w.Start; i <= w.End; ++i) timesWork_[static_cast<std::size_t>(i)] = RawTime(i);
    return w;
}

std::vector<double> ResultsReader::Integrate(const WorkingRange& w, std::span<const int> reactions, bool heat) {
    const ResultsTables& t = tables_;
    std::vector<bool> selected(static_cast<std::size_t>(t.NumReactions) + 1, false);
    for (int r : reactions) {
        if (r < 1 || r > t.NumReactions) throw Error(ErrorKind::SubscriptOutOfRange, "reaction " + std::to_string(r));
        selected[static_cast<std::size_t>(r)] = true;
    }
    const std::size_t count = reactions.size();
    IntervalQuadrature quadrature(timesWork_, w.First, w.Last, t.ResultRowCount - 1, count);
    ReactionRates rates;
    std::vector<double> f(count);
    for (int i = w.Start; i <= w.End; ++i) {
        RatesAtRow(i, selected, heat, heat, rates);
        const double rho = t.RowDensity[static_cast<std::size_t>(i)];
        for (std::size_t m = 0; m < count; ++m) {
            const double value = rates.ReactionRateTable(reactions[m], 0);
            f[m] = heat ? value : value / rho;
        }
        quadrature.AddRow(f);
    }
    std::vector<double> integrals(count);
    // Rates or steps out of all proportion (a damaged file) give no number:
    // said, rather than listed or summed.
    for (std::size_t m = 0; m < count; ++m) {
        integrals[m] = quadrature.Integral(m);
        if (!std::isfinite(integrals[m]))
            throw Error(ErrorKind::Overflow, "integral of reaction " + std::to_string(reactions[m]));
    }
    return integrals;
}

std::vector<double> ResultsReader::IntervalIntegrals(std::span<const int> reactions, bool heat) {
    return Integrate(GatherWorkingTimes(), reactions, heat);
}

void ResultsReader::ShowReacDeRe(int num, bool derFlag, const ReacUpdateCallback& reacUpdate) {
    RunTagged("Sol#131. ", [&] {
        RequireLoaded();
        const ResultsTables& t = tables_;
        if (num < 1 || num > t.NumSpecies) throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(num));

        // The reactions in which the species' net coefficient is not 0.
        ContributionTable table;
        table.DerFlag = derFlag;
        std::vector<int> coefficients;
        for (int r = 1; r <= t.NumReactions; ++r) {
            int n = 0;
            for (int c = 4; c <= 9; ++c) n += t.ReactionInts(r, c) == num;
            for (int c = 1; c <= 3; ++c) n -= t.ReactionInts(r, c) == num;
            if (n == 0) continue;
            table.Numbers.push_back(r);
            table.Texts.push_back(t.ReactionEquations[static_cast<std::size_t>(r)]);
            coefficients.push_back(n);
        }
        table.Contributions.assign(table.Numbers.size(), 0.0);

        const WorkingRange w = GatherWorkingTimes();
        if (Resolution(w.Start, w.End, timesWork_)) return;
        if (derFlag) {
            const std::vector<double> integrals = Integrate(w, table.Numbers, false);
            for (std::size_t m = 0; m < integrals.size(); ++m) table.Contributions[m] = integrals[m] * coefficients[m];
        }

        // The species' change: fractions below a thousandth of the tolerance
        // count as 0, each taken at seven significant digits.
        auto fraction = [&](int row) {
            double y = t.ResultValues(row, num + 2);
            if (std::isnan(y)) throw Error(ErrorKind::TypeMismatch, "mass fraction in row " + std::to_string(row));
            if (0.001 * t.AbsTolerance > y) y = 0.0;
            return RoundToSevenDigits(y);
        };
        table.ActualChange = (fraction(w.Last) - fraction(w.First)) / t.ThermoTable(num, 15);
        reacUpdate(table);
    });
}

}  // namespace kx
