#include "ComparisonPlot.h"

#include <cmath>
#include <optional>
#include <span>

#include "CurvePoints.h"
#include "Errors.h"
#include "Format.h"
#include "TextHelpers.h"

namespace kx {
namespace {

// The curve's points as the chart gets them (the rules the results window
// draws by): scaled, logarithms where asked, and gaps where a value is 0 or
// missing or a logarithm has nothing positive to take. A file's values are
// divided by the unit first; the relative error has no point at time 0.
// True when some point can be drawn.
bool PreparePoints(const CmpCurve& curve, double valueDivisor, bool relativeError, const CmpPlotSettings& s,
                   CmpPlotCurve& out) {
    const std::span<const double> times = std::span(curve.Time).subspan(1);
    std::vector<double> values(curve.Value.begin() + 1, curve.Value.end());
    if (valueDivisor != 1)
        for (double& v : values) v /= valueDivisor;
    CurveSource source;
    source.Times = times;
    source.Values = values;
    source.TimeScale = s.ScaleX;
    source.ValueScale = s.ScaleY;
    source.LogTime = s.LogX;
    source.LogValue = s.LogY;
    source.PositiveTimesOnly = relativeError;
    CurvePoints points = PrepareCurve(source);
    const bool drawable = points.Drawable();
    out.X = std::move(points.X);
    out.Y = std::move(points.Y);
    return drawable;
}

// Why two curves have no relative error other than its values being 0:
// the runs hold the quantity over times that do not meet, so that neither
// can be interpolated at the other's times. Nothing when they meet, or when
// a curve has no value above 0 (then every value is 0, as said).
std::optional<std::string> NoSharedTime(const CmpCurve& curve1, const CmpCurve& curve2, const std::string& name) {
    const CmpCurve one = CmpTrimCurve(curve1), two = CmpTrimCurve(curve2);
    if (one.Count() == 0 || two.Count() == 0) return std::nullopt;
    const double from1 = one.Time[1], to1 = one.Time.back(), from2 = two.Time[1], to2 = two.Time.back();
    if (to1 >= from2 && to2 >= from1) return std::nullopt;
    const auto time = [](double t) { return Format(t, "0.000000E+00"); };
    return "The two runs share no time for '" + Latin1ToUtf8(name) + "': file 1 holds it from " + time(from1) +
           " to " + time(to1) + " s, file 2 from " + time(from2) + " to " + time(to2) +
           " s. The relative error cannot be computed.";
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
    if (s.ScaleY != 1) legend += " x " + FormatFaithfully(s.ScaleY, "0.00E+00");
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
        const CmpCurve curve1 = files.Curve(1, row1), curve2 = files.Curve(2, row2);
        const CmpCurve error = CmpRelativeErrorCurve(curve1, curve2, s.WeightB);
        const bool drawable = PreparePoints(error, 1, true, s, out);
        out.Legend = CmpLegend(function, rowInd, name, s);
        if (!drawable) {
            out.Result = CmpPlotCurve::Outcome::Refused;
            out.Message = NoSharedTime(curve1, curve2, rowInd == 0 ? std::string("Temperature") : name)
                              .value_or(UndrawableCurveMessage("Relative Error", s.LogY));
            return out;
        }
    } else {
        const int file = function == CmpFunction::File1 ? 1 : 2;
        const int row = file == 1 ? row1 : row2;
        if (row == missing) return out;
        // The temperature is in K; a species value becomes a concentration.
        const double divisor = row == 1 ? 1 : s.UnitDivisor;
        if (divisor == 0) throw Error(ErrorKind::DivisionByZero, "unit divisor");
        const bool drawable = PreparePoints(files.Curve(file, row), divisor, false, s, out);
        out.Legend = CmpLegend(function, rowInd, name, s);
        if (!drawable) {
            out.Result = CmpPlotCurve::Outcome::Refused;
            out.Message = UndrawableCurveMessage(Trim(out.Legend), s.LogY);
            return out;
        }
    }
    for (double v : out.Y)
        if (!std::isfinite(v)) throw Error(ErrorKind::Overflow, "curve of " + Latin1ToUtf8(name));
    out.Result = CmpPlotCurve::Outcome::Drawable;
    return out;
}

}  // namespace kx
