#include "Quantities.h"

#include <cmath>
#include <limits>

#include "Errors.h"
#include "Format.h"
#include "Index.h"
#include "Kinetics.h"
#include "ZeroThreshold.h"

namespace kx {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// A value as the curves carry it: nine significant digits.
double RoundToNineDigits(double value) {
    if (!std::isfinite(value)) return value;
    return ParseNumber(Format(value, "0.00000000E+00")).value_or(value);
}

// The stored value of a field of a row, which must be a number.
double StoredValue(const ResultsReader& reader, int row, int field) {
    const double v = reader.Value(row, field);
    if (std::isnan(v))
        throw Error(ErrorKind::TypeMismatch, "field " + std::to_string(field) + " of row " + std::to_string(row));
    return v;
}

int UsedRow(const ResultsReader& reader, int point) { return reader.Used().UsedRows[At(point)]; }
int PointCount(const ResultsReader& reader) { return reader.Used().UsedCount - 1; }

double ConcentrationFactor(const QuantityUnits& u) { return u.ConcUnit == 1 ? u.AvogadroNumber : 1.0; }

double TotalConcentration(const ResultsReader& reader, double T, const QuantityUnits& u) {
    const double ctot = reader.Tables().Pressure / (u.GasConstantCm3Atm * T);
    if (!std::isfinite(ctot)) throw Error(ErrorKind::DivisionByZero, "total concentration");
    return ctot;
}

}  // namespace

std::string ConcentrationUnitText(int concUnit) { return concUnit != 0 ? "1/cm^3" : "mol/cm^3"; }

std::string ScaleSuffix(double scale, std::string_view pattern) {
    return scale != 1.0 ? " x " + FormatFaithfully(scale, pattern) : std::string();
}

std::array<std::string, 4> QuantityListItems(int concUnit) {
    return {"Mole Fraction", "Mass Fraction", "Concentration (" + ConcentrationUnitText(concUnit) + ")",
            "Concentration (mol/g)"};
}

std::vector<double> SpeciesValues(const ResultsReader& reader, SpeciesQuantity quantity, int field,
                                  const QuantityUnits& units, SpeciesValueOptions options) {
    const ResultsTables& t = reader.Tables();
    const int P = PointCount(reader);
    const bool temperature = quantity == SpeciesQuantity::Temperature;
    if (!temperature && (field < 3 || field >= t.NumColumns))
        throw Error(ErrorKind::SubscriptOutOfRange, "species field " + std::to_string(field));
    const double W = temperature ? 0.0 : t.ThermoTable(field - 2, 15);
    const double f = ConcentrationFactor(units);
    std::vector<double> values(At(P) + 1, 0.0);
    for (int p = 1; p <= P; ++p) {
        const int row = UsedRow(reader, p);
        const double T = StoredValue(reader, row, 1);
        double v = 0.0;
        if (temperature) {
            v = T;
        } else {
            const double y = StoredValue(reader, row, field);
            const double rho = reader.Used().UsedDensity[At(p)];
            switch (quantity) {
                case SpeciesQuantity::MoleFraction: v = (y * rho / W) / TotalConcentration(reader, T, units); break;
                case SpeciesQuantity::MassFraction: v = y; break;
                case SpeciesQuantity::Concentration: v = f * y * rho / W; break;
                case SpeciesQuantity::MolesPerGram: v = y / W; break;
                default: throw Error(ErrorKind::InvalidArgument, "quantity");
            }
            if (options.AbsentAsZero && CountsAsZero(y, t.ZeroThreshold)) v = 0.0;
        }
        values[At(p)] = options.FullPrecision ? v : RoundToNineDigits(v);
    }
    return values;
}

std::string SpeciesLegend(SpeciesQuantity quantity, std::string_view name, int concUnit, double scale, bool yLog,
                          bool tabBl) {
    const std::string scaleText = tabBl ? std::string() : ScaleSuffix(scale);
    const std::string prefix = !tabBl && yLog ? "Log10 " : "";
    const std::string n(name);
    switch (quantity) {
        case SpeciesQuantity::MoleFraction: return n + ", " + prefix + "Mole Fraction" + scaleText;
        case SpeciesQuantity::MassFraction: return n + ", " + prefix + "Mass Fraction" + scaleText;
        case SpeciesQuantity::Concentration:
            return prefix + "[" + n + "]" + scaleText + " (" + ConcentrationUnitText(concUnit) + ")";
        case SpeciesQuantity::MolesPerGram: return prefix + "{" + n + "}" + scaleText + " (mol/g)";
        case SpeciesQuantity::Temperature: return std::string();
    }
    return std::string();
}

EnergyUnitTexts HabdCpUnits(bool joule) {
    return joule ? EnergyUnitTexts{"kJ/mol", "J/K mol"} : EnergyUnitTexts{"kcal/mol", "cal/K mol"};
}

std::array<MeanParameterRow, 7> MeanParameterRows(int concUnit, bool joule) {
    const EnergyUnitTexts energy = HabdCpUnits(joule);
    return {MeanParameterRow{},
            {"Temperature", "T", "K"},
            {"Concentration", "Ctot", ConcentrationUnitText(concUnit)},
            {"Density ", "Ro", "g/cm^3"},
            {"Molecular Weight", "M", "g/mol"},
            {"Enthalpy", "H", energy.Enthalpy},
            {"Heat Capacity", "Cp", energy.HeatCapacity}};
}

double MeanValueAt(const ResultsReader& reader, int point, MeanParameter property, const QuantityUnits& units) {
    const ResultsTables& t = reader.Tables();
    const int row = UsedRow(reader, point);
    const double T = StoredValue(reader, row, 1);
    switch (property) {
        case MeanParameter::Temperature: return T;
        case MeanParameter::Concentration: return ConcentrationFactor(units) * TotalConcentration(reader, T, units);
        case MeanParameter::Density: return reader.Used().UsedDensity[At(point)];
        case MeanParameter::MolarMass:
        case MeanParameter::Enthalpy:
        case MeanParameter::HeatCapacity: break;
        default: throw Error(ErrorKind::InvalidArgument, "mean parameter " + std::to_string(static_cast<int>(property)));
    }
    const int NS = t.NumSpecies;
    double S = 0.0;
    for (int k = 1; k <= NS; ++k) S += StoredValue(reader, row, k + 2) / t.ThermoTable(k, 15);
    if (S == 0.0) return kNotANumber;
    if (property == MeanParameter::MolarMass) return 1.0 / S;

    const double R = units.Joule ? units.GasConstantJ : units.GasConstantCal;
    double sum = 0.0;
    for (int k = 1; k <= NS; ++k) {
        const double x = StoredValue(reader, row, k + 2) / t.ThermoTable(k, 15) / S;
        if (x == 0.0) continue;
        const std::span<const double, 14> coefficients(&t.ThermoTable(k, 1), 14);
        const SpeciesThermoResult thermo =
            SpeciesThermoNasa(coefficients, T, t.ThermoTable(k, 18), t.ColumnNames[At(k) + 2]);
        sum += x * (property == MeanParameter::Enthalpy ? thermo.HRT : thermo.CPR);
    }
    return property == MeanParameter::Enthalpy ? sum * T * R * 0.001 : sum * R;
}

std::vector<double> MeanValues(const ResultsReader& reader, MeanParameter property, const QuantityUnits& units) {
    const int P = PointCount(reader);
    std::vector<double> values(At(P) + 1, 0.0);
    for (int p = 1; p <= P; ++p) values[At(p)] = MeanValueAt(reader, p, property, units);
    return values;
}

std::string MeanLegend(std::string_view name, std::string_view unit, double scale, bool yLog) {
    const std::string scaleText = scale != 1.0 ? "x " + Format(scale, "0.00E+00") : std::string();
    return std::string(yLog ? "Log10 " : "") + std::string(name) + " " + scaleText + " (" + std::string(unit) + ")";
}

CurvePoints PrepareResultsCurve(const ResultsReader& reader, std::span<const double> values, int num,
                                double valueScale, bool logValue) {
    const UsedRowsState& u = reader.Used();
    const int P = u.UsedCount - 1;
    if (static_cast<int>(values.size()) < P + 1) throw Error(ErrorKind::SubscriptOutOfRange, "curve values");
    std::vector<double> times(At(P)), ys(At(P));
    std::vector<char> passes(At(P), 1);
    for (int i = 1; i <= P; ++i) {
        const std::size_t p = At(i - 1);
        times[p] = u.UsedTimes[At(i)];
        ys[p] = values[At(i)];
        if (num >= 1) passes[p] = !CountsAsZero(StoredValue(reader, u.UsedRows[At(i)], num), reader.Tables().ZeroThreshold);
    }
    CurveSource source;
    source.Times = times;
    source.Values = ys;
    source.Passes = passes;
    source.TimeScale = u.TimeScale;
    source.ValueScale = valueScale;
    source.LogTime = u.LogTimeAxis;
    source.LogValue = logValue;
    return PrepareCurve(source);
}

PresentationTimes AuxVal(const ResultsReader& reader) {
    const UsedRowsState& u = reader.Used();
    const int P = u.UsedCount - 1;
    PresentationTimes out;
    out.Tm = P + 1;
    out.TimeArr.assign(At(P) + 2, 0.0);
    for (int i = 1; i <= P; ++i) out.TimeArr[At(i)] = u.UsedTimes[At(i)];
    return out;
}

}  // namespace kx
