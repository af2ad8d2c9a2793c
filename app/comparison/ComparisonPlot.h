// The curves of the comparison as the chart gets them: the time curve of a
// species or the temperature from file 1 or file 2, or the relative error
// between the two, scaled, on logarithmic axes when asked, with its legend,
// or the reason it cannot be drawn.
#pragma once

#include <string>
#include <vector>

#include "ComparisonFiles.h"

namespace kx {

enum class CmpFunction { File1 = 0, File2 = 1, RelativeError = 2 };

// The comparison window's choices at the moment of the plot.
struct CmpPlotSettings {
    bool LogX = true;         // "Log10(X)"
    double ScaleX = 1;
    bool LogY = false;        // "Log10(Y)"
    double ScaleY = 1;
    double WeightB = 0.5;     // b of the relative error
    int UnitIndex = 0;        // 0 "mol/cm^3", 1 "1/cm^3"
    double UnitDivisor = 1;   // a species value x P / T divided by it gives the unit
};

struct CmpPlotCurve {
    enum class Outcome {
        Skipped,   // the file lacks the quantity: nothing is drawn, nothing said
        Refused,   // Message tells why nothing is drawn
        Drawable,
    };
    Outcome Result = Outcome::Skipped;
    std::string Message;
    // Points 0..n-1; kMissingValue where a point is not drawn.
    std::vector<double> X, Y;
    std::string Legend;
};

// The row of a file's values that holds a merged row's quantity (its index
// in the file plus one), or kMissingValue when the file lacks it.
int CmpValueRow(const std::optional<int>& index);

// The legend of a curve of the merged row (0 the temperature, named `name`
// otherwise): " F1, CH4 (mol/cm^3)", " F2, Log10 Temperature (K)",
// "CH4, Log10 Relative Error", then " x 1.00E+03" when the values are scaled.
std::string CmpLegend(CmpFunction function, int rowInd, const std::string& name, const CmpPlotSettings& settings);

// The curve of merged row rowInd; row1 and row2 are the rows of the files'
// values (CmpValueRow). The points follow the results window's rules
// (PrepareCurve): a time and a value are scaled, a value of 0 is a gap, and
// on a logarithmic axis a coordinate that is not positive makes its point a
// gap; the relative error also has no point at time 0 or before.
// Arithmetic failures throw kx::Error.
CmpPlotCurve CmpBuildCurve(const ComparisonFiles& files, CmpFunction function, int rowInd, int row1, int row2,
                           const CmpPlotSettings& settings);

}  // namespace kx
