// Rates recomputed from the stored results at the used points of the
// current interval: one quantity of one reaction, or the time derivative of
// one species. Each point's state is its stored temperature (when the run
// integrated it) and concentrations y rho / W, mass fractions not above the
// zero threshold taken as 0; the kinetics formulas give the rates there.
//
// Value lists are 1-based like the used points: entry 0 is not used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Quantities.h"
#include "ResultsReader.h"

namespace kx {

// The quantities of a reaction's curve.
enum class ReactionQuantity {
    TemperatureDerivative = -3,  // its part of dT/dt, K/s (runs with the energy equation)
    HeatCalories = -2,           // heat release, kcal/(cm^3 s)
    HeatJoules = -1,             // heat release, kJ/(cm^3 s)
    Forward = 0,                 // forward rate
    Reverse = 1,                 // reverse rate, drawn negative
    Net = 2,                     // net rate
    SpeciesDerivative = 3,       // its part of a species' derivative, mol/(g s)
};

// The value of the quantity of reaction `reaction` at every used point;
// species is the species number for SpeciesDerivative (its net coefficient
// in the reaction multiplies the rate per gram). Rates per volume follow the
// concentration unit. Errors of the kinetics reach the caller.
std::vector<double> ReactionValues(ResultsReader& reader, ReactionQuantity quantity, int reaction, int species,
                                   const QuantityUnits& units);

// The legend, for instance "R12, Log10 Net (mol/cm^3 sec)".
std::string ReactionLegend(ReactionQuantity quantity, int reaction, std::string_view speciesName, double scale,
                           bool yLog, int concUnit);

// The scale a reaction curve is drawn with: a species derivative takes the
// magnitude of the Y scale.
double ReactionCurveScale(ReactionQuantity quantity, double yScale);

// The net rate of change of species number `species`, mol/(g s), at every
// used point, from every reaction in which it takes part (catalysts too).
std::vector<double> SpeciesDerivativeValues(ResultsReader& reader, int species);

// "d{name}/dt" with "Log10 " before it, the scale after it and " (mol/g sec)".
std::string SpeciesDerivativeLegend(std::string_view name, double scale, bool yLog);

}  // namespace kx
