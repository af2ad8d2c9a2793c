// Quantities derived from the stored results at the used points of the
// current interval, in the units the user chose, and the curves they make.
//
// The solver stores time, temperature and mass fractions. From them, at each
// used point p (1..P, P = UsedCount - 1):
//   mass fraction        y_k
//   moles per gram       y_k / W_k                        mol/g
//   concentration        f y_k rho / W_k                  mol/cm^3 or 1/cm^3
//   mole fraction        (y_k rho / W_k) / (P / (R' T))
//   total concentration  f P / (R' T)
//   mean molar mass      1 / S,  S = sum_k y_k / W_k       g/mol
//   mean enthalpy        sum_k x_k (H/RT)_k T R / 1000     kJ/mol or kcal/mol
//   mean heat capacity   sum_k x_k (Cp/R)_k R              J/(K mol) or cal/(K mol)
// with f = 1 for mol/cm^3 and the Avogadro number for 1/cm^3, R' the gas
// constant of the total concentration, R that of the energy unit and
// x_k = (y_k / W_k) / S. The results window reads these through the
// functions below and draws them through PrepareResultsCurve.
//
// Value lists are 1-based like the used points: entry 0 is not used.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CurvePoints.h"
#include "ResultsReader.h"

namespace kx {

struct QuantityUnits {
    int ConcUnit = 0;                // 0 mol/cm^3, 1 1/cm^3
    double AvogadroNumber = 0;
    double GasConstantCm3Atm = 0;    // R' of the total concentration P/(R' T)
    double GasConstantJ = 0;         // R in J/(mol K)
    double GasConstantCal = 0;       // R in cal/(mol K)
    bool Joule = true;               // energy units in joules (else calories)
};

// "mol/cm^3" or "1/cm^3".
std::string ConcentrationUnitText(int concUnit);
// " x " and the factor in `pattern` when it is not 1, else "".
std::string ScaleSuffix(double scale, std::string_view pattern = "0.00E+00");

// ---- Species quantities ------------------------------------------------------

enum class SpeciesQuantity {
    Temperature = -1,
    MoleFraction = 0,
    MassFraction = 1,
    Concentration = 2,
    MolesPerGram = 3,
};

// The items of the quantity list, in its order (index = SpeciesQuantity).
std::array<std::string, 4> QuantityListItems(int concUnit);

struct SpeciesValueOptions {
    // Keep full precision; otherwise every value is rounded to nine
    // significant digits, as the curves carry it ("0.00000000E+00").
    bool FullPrecision = false;
    // For text tables: values whose mass fraction counts as zero
    // (CountsAsZero) are 0 (not for the temperature).
    bool AbsentAsZero = false;
};

// The quantity of the species whose results field is `field` (species
// number + 2; ignored for the temperature) at every used point. A stored
// value that is not a number is a type-mismatch kx::Error.
std::vector<double> SpeciesValues(const ResultsReader& reader, SpeciesQuantity quantity, int field,
                                  const QuantityUnits& units, SpeciesValueOptions options = {});

// The legend of a species curve. Without tabBl the scale suffix and, with
// yLog, "Log10 " are part of it. The temperature has no legend.
std::string SpeciesLegend(SpeciesQuantity quantity, std::string_view name, int concUnit, double scale, bool yLog,
                          bool tabBl = false);

// ---- Mean parameters ---------------------------------------------------------

enum class MeanParameter {
    Temperature = 1,
    Concentration = 2,
    Density = 3,
    MolarMass = 4,
    Enthalpy = 5,
    HeatCapacity = 6,
};

// A row of the "Average Parameters" table.
struct MeanParameterRow {
    std::string Name, Symbol, Unit;
};
// Rows 1..6 (entry 0 empty), the units following the choices.
std::array<MeanParameterRow, 7> MeanParameterRows(int concUnit, bool joule);

// The enthalpy and heat-capacity units: "kJ/mol" and "J/K mol", or
// "kcal/mol" and "cal/K mol".
struct EnergyUnitTexts {
    std::string Enthalpy, HeatCapacity;
};
EnergyUnitTexts HabdCpUnits(bool joule);

// The mean property at used point p; NaN for the molar mass, enthalpy and
// heat capacity of a point whose mass fractions are all 0. Stored values
// that are not numbers are a type-mismatch kx::Error; the thermodynamic
// functions fail with their own tag ("Mod1#006. ").
double MeanValueAt(const ResultsReader& reader, int point, MeanParameter property, const QuantityUnits& units);
// At every used point (entry 0 unused).
std::vector<double> MeanValues(const ResultsReader& reader, MeanParameter property, const QuantityUnits& units);

// The legend of a mean-parameter curve: "Log10 " with yLog, the name, a
// blank, "x " and the scale when it is not 1, then " (" unit ")".
std::string MeanLegend(std::string_view name, std::string_view unit, double scale, bool yLog);

// ---- Curves to the chart -----------------------------------------------------

// The values of the used points (values[i], i = 1..UsedCount - 1) as a
// curve, the way the results window hands every curve to the chart: paired
// with the used times, a point dropped unless the stored value of results
// field `num` is above the zero threshold (num below 1 keeps every point),
// scaled by the interval's time scale and by valueScale, and turned into
// logarithms by the interval's log-time setting and by logValue. A stored
// value of field num that is not a number is a type-mismatch kx::Error.
CurvePoints PrepareResultsCurve(const ResultsReader& reader, std::span<const double> values, int num,
                                double valueScale, bool logValue);

// The presentation times: Tm = P + 1 and TimeArr(1..P) (entries 0 and P + 1
// are 0).
struct PresentationTimes {
    int Tm = 0;
    std::vector<double> TimeArr;
};
PresentationTimes AuxVal(const ResultsReader& reader);

}  // namespace kx
