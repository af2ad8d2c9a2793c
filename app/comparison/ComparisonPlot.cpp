#include "ComparisonPlot.h"

#include <cmath>

#include "Errors.h"
#include "Format.h"
#include "TextHelpers.h"

namespace kx {
namespace {

// Scales the points and takes logarithms; a value of 0 or a missing one, a
// missing time and a coordinate that is not positive on a logarithmic axis
// make the point a gap.
void PreparePoints(const CmpCurve& curve, double valueDivisor, bool positiveTimesOnly, const CmpPlotSettings& s,
                   CmpPlotCurve& out) {
    const int n = curve.Count();
    out.X.assign(static_cast<std::size_t>(n), kMissingValue);
    out.Y.assign(static_cast<std::size_t>(n), kMissingValue);
    for (int i = 1; i <= n; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const double t = curve.Time[static_cast<std::size_t>(i)];
        const double v = curve.Value[static_cast<std::size_t>(i)] / valueDivisor;
        if (std::isnan(t) || (positiveTimesOnly && t <= 0)) continue;
        if (std::isnan(v) || v == 0 || curve.Value[static_cast<std::size_t>(i)] == kMissingValue) continue;
        out.X[k] = s.ScaleX * t;
        out.Y[k] = s.ScaleY * v;
    }
    auto logarithms = [&](std::vector<double>& axis) {
        for (std::size_t k = 0; k < axis.size(); ++k) {
            if (axis[k] > 0) {
                axis[k] = std::log10(axis[k]);
            } else {
                out.X[k] = out.Y[k] = kMissingValue;
            }
        }
    };
    if (s.LogX) logarithms(out.X);
    if (s.LogY) logarithms(out.Y);
}

bool AnyPoint(const CmpPlotCurve& c) {
    for (std::size_t k = 0; k < c.X.size(); ++k)
        if (c.X[k] != kMissingValue && c.Y[k] != kMissingValue) return true;
    return false;
}

std::string UndrawableMessage(std::string_view name, bool logValue) {
    const std::string head = "You are attempting to plot the function '" + std::string(name) + "' where all values are ";
    return head + (logValue ? "zero or logarithm of negative numbers . The function cannot be plotted."
                            : "zero. The function cannot be plotted.");
}

const std::string& NameOf(const ComparisonFiles& files, int rowInd) {
    const std::vector<CmpMergedRow>& merged = files.MergedSpecies();
    if (rowInd < 0 || rowInd >= static_cast<int>(merged.size()))
        throw Error(ErrorKind::SubscriptOutOfRange, "species row " + std::to_string(rowInd));
    return merged[static_cast<std::size_t>(rowInd)].Name;
}

}  // namespace

int CmpValueRow(const std::optional<int>& index) {
    return index ? *index + 1 : static_cast<int>(kMissingValue);
}

std::string CmpLegend(CmpFunction function, int rowInd, const std::string& name, const CmpPlotSettings& s) {
    std::string legend;
    if (function == CmpFunction::RelativeError) {
        const std::string quantity = rowInd == 0 ? "Temperature, " : name + ", ";
        legend = quantity + (s.LogY ? "Log10 " : "") + "Relative Error";
    } else {
        std::string file = function == CmpFunction::File1 ? " F1," : " F2,";
        std::string quantity, unit;
        if (rowInd == 0) {
            unit = " Temperature (K)";
        } else {
            quantity = name;
            unit = s.UnitIndex == 0 ? " (mol/cm^3)" : " (1/cm^3)";
            file += " ";
        }
        legend = file + quantity + (s.LogY ? " Log10" : "") + unit;
    }
    if (s.ScaleY != 1) legend += " x " + Format(s.ScaleY, "0.00E+00");
    return legend;
}

CmpPlotCurve CmpBuildCurve(const ComparisonFiles& files, CmpFunction function, int rowInd, int row1, int row2,
                           const CmpPlotSettings& s) {
    CmpPlotCurve out;
    const std::string& name = NameOf(files, rowInd);
    const int missing = static_cast<int>(kMissingValue);
    if (function == CmpFunction::RelativeError) {
        const char* lacking = row2 == missing ? "File 2" : row1 == missing ? "File 1" : nullptr;
        if (lacking) {
            out.Result = CmpPlotCurve::Outcome::Refused;
            out.Message = std::string(lacking) + ", data for '" + name + "' are not available; the comparison cannot "
                                                                          "be performed.";
            return out;
        }
        const CmpCurve error = CmpRelativeErrorCurve(files.Curve(1, row1), files.Curve(2, row2), s.WeightB);
        PreparePoints(error, 1, true, s, out);
        out.Legend = CmpLegend(function, rowInd, name, s);
        if (!AnyPoint(out)) {
            out.Result = CmpPlotCurve::Outcome::Refused;
            out.Message = UndrawableMessage("Relative Error", s.LogY);
            return out;
        }
    } else {
        const int file = function == CmpFunction::File1 ? 1 : 2;
        const int row = file == 1 ? row1 : row2;
        if (row == missing) return out;
        // The temperature is in K; a species value becomes a concentration.
        const double divisor = row == 1 ? 1 : s.UnitDivisor;
        if (divisor == 0) throw Error(ErrorKind::DivisionByZero, "unit divisor");
        PreparePoints(files.Curve(file, row), divisor, false, s, out);
        out.Legend = CmpLegend(function, rowInd, name, s);
        if (!AnyPoint(out)) {
            out.Result = CmpPlotCurve::Outcome::Refused;
            out.Message = UndrawableMessage(Trim(out.Legend), s.LogY);
            return out;
        }
    }
    for (double v : out.Y)
        if (!std::isfinite(v)) throw Error(ErrorKind::Overflow, "curve of " + name);
    out.Result = CmpPlotCurve::Outcome::Drawable;
    return out;
}

}  // namespace kx
