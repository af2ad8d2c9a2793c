// Kinetics at stored states, and the contributions of reactions to a
// species over the current interval.
#include <cmath>

#include "Errors.h"
#include "Quadrature.h"
#include "ResultsReader.h"

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
        if (!(y > t.ZeroThreshold)) y = 0.0;
        stateWork_[static_cast<std::size_t>(k)] = y * rho / t.ThermoTable(k, 15);
    }
    ComputeReactionRates(stateWork_, Model(), selected, heatTerm, temperatureDerivative, out);
}

bool ResultsReader::Resolution(int kin, int kend, std::span<const double> times) {
    if (kin < 0 || kend >= static_cast<int>(times.size())) throw Error(ErrorKind::SubscriptOutOfRange, "times");
    for (int i = kin; i < kend; ++i) {
        if (times[static_cast<std::size_t>(i)] == times[static_cast<std::size_t>(i) + 1]) {
            messages_.ShowMessage(
                "Features of the 'Reaction' and 'Temperature' windows don't operate because numeric data cannot be "
                "resolved. We recommend to restart the problem with a greater number of step of data output.",
                MessageIcon::Exclamation);
            return true;
        }
    }
    return false;
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
        std::vector<bool> selected(static_cast<std::size_t>(t.NumReactions) + 1, false);
        for (int r = 1; r <= t.NumReactions; ++r) {
            int n = 0;
            for (int c = 4; c <= 9; ++c) n += t.ReactionInts(r, c) == num;
            for (int c = 1; c <= 3; ++c) n -= t.ReactionInts(r, c) == num;
            if (n == 0) continue;
            selected[static_cast<std::size_t>(r)] = true;
            table.Numbers.push_back(r);
            table.Texts.push_back(t.ReactionEquations[static_cast<std::size_t>(r)]);
            coefficients.push_back(n);
        }
        const std::size_t listed = table.Numbers.size();
        table.Contributions.assign(listed, 0.0);

        const int first = used_.FirstUsedRow, last = used_.LastUsedRow, finalRow = t.ResultRowCount - 1;
        if (first < 1 || last < first || last > finalRow) throw Error(ErrorKind::SubscriptOutOfRange, "interval rows");
        const int start = IntervalQuadrature::StartRowFor(first);
        const int end = IntervalQuadrature::EndRowFor(last, finalRow);
        timesWork_.assign(static_cast<std::size_t>(end) + 1, 0.0);
        for (int i = start; i <= end; ++i) timesWork_[static_cast<std::size_t>(i)] = RawTime(i);
        if (Resolution(start, end, timesWork_)) return;

        if (derFlag) {
            IntervalQuadrature quadrature(timesWork_, first, last, finalRow, listed);
            ReactionRates rates;
            std::vector<double> f(listed);
            for (int i = start; i <= end; ++i) {
                RatesAtRow(i, selected, false, false, rates);
                const double rho = t.RowDensity[static_cast<std::size_t>(i)];
                for (std::size_t m = 0; m < listed; ++m) f[m] = rates.ReactionRateTable(table.Numbers[m], 0) / rho;
                quadrature.AddRow(f);
            }
            for (std::size_t m = 0; m < listed; ++m)
                table.Contributions[m] = quadrature.Integral(m) * coefficients[m];
        }

        // The species' change: fractions below a thousandth of the tolerance
        // count as 0, each taken at seven significant digits.
        auto fraction = [&](int row) {
            double y = t.ResultValues(row, num + 2);
            if (std::isnan(y)) throw Error(ErrorKind::TypeMismatch, "mass fraction in row " + std::to_string(row));
            if (0.001 * t.AbsTolerance > y) y = 0.0;
            return RoundToSevenDigits(y);
        };
        table.ActualChange = (fraction(last) - fraction(first)) / t.ThermoTable(num, 15);
        reacUpdate(table);
    });
}

}  // namespace kx
