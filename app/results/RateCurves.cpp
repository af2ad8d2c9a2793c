#include "RateCurves.h"

#include <cmath>

#include "Errors.h"
#include "Index.h"

namespace kx {
namespace {

// Evaluates the kinetics at every used point with the reactions selected
// and hands each evaluation to `take`, which returns the point's value.
template <class Take>
std::vector<double> ValuesAtUsedPoints(ResultsReader& reader, const std::vector<bool>& selected, bool heatTerm,
                                       bool temperatureDerivative, Take take) {
    const UsedRowsState& u = reader.Used();
    const int P = u.UsedCount - 1;
    std::vector<double> values(At(P) + 1, 0.0);
    ReactionRates rates;
    for (int p = 1; p <= P; ++p) {
        reader.RatesAtRow(u.UsedRows[At(p)], selected, heatTerm, temperatureDerivative, rates);
        values[At(p)] = take(rates, u.UsedDensity[At(p)]);
    }
    return values;
}

}  // namespace

std::vector<double> ReactionValues(ResultsReader& reader, ReactionQuantity quantity, int reaction, int species,
                                   const QuantityUnits& units) {
    const ResultsTables& t = reader.Tables();
    if (reaction < 1 || reaction > t.NumReactions)
        throw Error(ErrorKind::SubscriptOutOfRange, "reaction " + std::to_string(reaction));
    if (quantity == ReactionQuantity::TemperatureDerivative && t.TemperatureMode != 1)
        throw Error(ErrorKind::InvalidArgument, "the run has no energy equation");
    int n = 0;
    if (quantity == ReactionQuantity::SpeciesDerivative) {
        if (species < 1 || species > t.NumSpecies)
            throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(species));
        for (int c = 4; c <= 9; ++c) n += t.ReactionInts(reaction, c) == species;
        for (int c = 1; c <= 3; ++c) n -= t.ReactionInts(reaction, c) == species;
    }
    std::vector<bool> selected(At(t.NumReactions) + 1, false);
    selected[At(reaction)] = true;
    const bool heat = static_cast<int>(quantity) < 0;
    const bool temperatureDerivative = quantity == ReactionQuantity::TemperatureDerivative;
    const double f = units.ConcUnit == 1 ? units.AvogadroNumber : 1.0;
    return ValuesAtUsedPoints(reader, selected, heat, temperatureDerivative, [&](const ReactionRates& r, double rho) {
        const double net = r.ReactionRateTable(reaction, 0);
        const double forward = r.ReactionRateTable(reaction, 1);
        switch (quantity) {
            case ReactionQuantity::TemperatureDerivative: return net;
            case ReactionQuantity::HeatCalories: return -net * units.GasConstantCal * 0.001;
            case ReactionQuantity::HeatJoules: return -net * units.GasConstantJ * 0.001;
            case ReactionQuantity::Forward: return forward * f;
            case ReactionQuantity::Reverse: return -(forward - net) * f;
            case ReactionQuantity::Net: return net * f;
            case ReactionQuantity::SpeciesDerivative: return net / rho * n;
        }
        throw Error(ErrorKind::InvalidArgument, "reaction quantity");
    });
}

std::string ReactionLegend(ReactionQuantity quantity, int reaction, std::string_view speciesName, double scale,
                           bool yLog, int concUnit) {
    const std::string pre = yLog ? " Log10" : " ";
    const std::string open = yLog ? "(" : " ";
    const std::string close = yLog ? ")" : "";
    const std::string perVolume = concUnit == 1 ? " (1/cm^3 sec)" : " (mol/cm^3 sec)";
    std::string name, unit;
    bool closed = false;
    switch (quantity) {
        case ReactionQuantity::TemperatureDerivative:
            name = open + "to T Deriv";
            unit = " (K/sec)";
            closed = true;
            break;
        case ReactionQuantity::HeatCalories: name = " Heat "; unit = " (kcal/cm^3 sec)"; break;
        case ReactionQuantity::HeatJoules: name = " Heat "; unit = " (kJ/cm^3 sec)"; break;
        case ReactionQuantity::Forward: name = " Forward"; unit = perVolume; break;
        case ReactionQuantity::Reverse: name = " Reverse"; unit = perVolume; break;
        case ReactionQuantity::Net: name = " Net"; unit = perVolume; break;
        case ReactionQuantity::SpeciesDerivative:
            name = open + "to {" + std::string(speciesName) + "} Deriv";
            unit = " (mol/g sec)";
            closed = true;
            break;
    }
    return "R" + std::to_string(reaction) + "," + pre + name + ScaleSuffix(scale) + (closed ? close : "") + unit;
}

double ReactionCurveScale(ReactionQuantity quantity, double yScale) {
    return quantity == ReactionQuantity::SpeciesDerivative ? std::fabs(yScale) : yScale;
}

std::vector<double> SpeciesDerivativeValues(ResultsReader& reader, int species) {
    const ResultsTables& t = reader.Tables();
    if (species < 1 || species > t.NumSpecies)
        throw Error(ErrorKind::SubscriptOutOfRange, "species " + std::to_string(species));
    std::vector<bool> selected(At(t.NumReactions) + 1, false);
    for (int r = 1; r <= t.NumReactions; ++r)
        for (int c = 1; c <= 9; ++c) selected[At(r)] = selected[At(r)] || t.ReactionInts(r, c) == species;
    return ValuesAtUsedPoints(reader, selected, false, false, [&](const ReactionRates& r, double rho) {
        return r.SpeciesProduction(species, 0) / rho;
    });
}

std::string SpeciesDerivativeLegend(std::string_view name, double scale, bool yLog) {
    return std::string(yLog ? "Log10 " : "") + "d{" + std::string(name) + "}/dt" + ScaleSuffix(scale) + " (mol/g sec)";
}

}  // namespace kx
