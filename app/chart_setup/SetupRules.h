// The rules of the chart set-up dialog, without windows: what the axis boxes
// show when the dialog loads, the checks of the axis boxes, and how the
// dialog's choices change the chart's properties on Apply.
#pragma once

#include "ChartProperties.h"

#include <optional>
#include <string>
#include <vector>

namespace kx::chart_setup {

// The number format of a tick spacing with the given significant digits:
// "0." followed by digits - 1 zeros and "E+00" (1 or less gives "0.E+00").
std::string OutputFormat(int NumDigits);

// Point and line types that have no sample in the dialog are shown as a
// neighbouring one: point 72 as 0; lines 7 and 8 as 1, 9 as 0, 10 as 6.
// Every other code stays.
int RemapPointType(int code);
int RemapLineType(int code);

// The subsets' styles as the dialog shows them (codes remapped).
std::vector<SubsetStyle> StylesForDialog(const std::vector<SubsetStyle>& chart);

// The range of the chart's valid points (both X and Y numeric and neither
// missing), over every subset. Nothing when there is no valid point.
struct DataRange {
    double MinX, MaxX, MinY, MaxY;
};
std::optional<DataRange> ScanDataRange(const platform::ChartDataSource& data);

// Which axis fields a scale mode enables: the minimum and maximum for Linear
// and Log, the ticks and digits for Linear only.
struct AxisEnabling {
    bool Limits = false;
    bool Ticks = false;
};
AxisEnabling EnablingFor(int mode);

// The colour of the "Plot Annotation" swatch: that of the first annotation
// slot (0 to 100) placed on the chart with a text that is not blank, else
// the X axis colour.
Colour AnnotationColour(const std::vector<AnnotationSlot>& slots, Colour xAxisColor);

// The axis boxes as the dialog shows them.
struct AxisTexts {
    bool Show = true;
    int Mode = kModeAuto;
    std::string Maximum, Minimum;  // "0.######E+00"
    std::string Major, Minor;      // whole numbers
};

// The boxes of an axis at load, from its properties and the data range of
// that axis: an Auto axis shows the data range, Linear and Log their manual
// range. A Linear axis shows its tick counts from its spacings; others, and
// a Linear axis whose spacing is zero or gives no finite count, 5 and 2.
AxisTexts LoadAxis(const AxisProperties& axis, double dataMin, double dataMax);

// What the user has entered for an axis.
struct AxisInput {
    bool Show = true;
    int Mode = kModeAuto;
    std::string Maximum, Minimum, Major, Minor;
    int Digits = 3;  // significant digits of the spacing
};

enum class AxisField { Maximum, Minimum, Major, Minor };

struct AxisRefusal {
    AxisField Field;
    std::string Message;
    bool SelectAll;  // select the whole text of the box (else focus only)
};

// The check of one axis ('X' or 'Y'). A hidden or Auto axis is not
// examined. The tick boxes of a Linear axis are rounded to whole numbers
// (half to even) before their range is tested; MajorText / MinorText carry
// the new texts of the boxes that were rounded, refused or not.
struct AxisCheck {
    std::optional<std::string> MajorText, MinorText;
    std::optional<AxisRefusal> Refusal;
};
AxisCheck CheckAxis(const AxisInput& input, char axis);

// Everything the dialog writes into the chart on Apply, colours aside.
struct SetupInput {
    AxisInput X, Y;
    int FontSize = 1;
    int PointSize = 1;
    std::array<FontProperties, kFontGroups> Fonts{};
    std::vector<SubsetStyle> Styles;  // one per subset at load
};

// Writes the choices into the properties. Call only after both axes passed
// CheckAxis. A hidden axis changes only its ShowAxis; an Auto axis switches
// manual scaling off; Linear and Log set the manual range; Linear also sets
// the major spacing ((maximum - minimum) / major, cut to the significant
// digits) and the minor spacing (major spacing / minor).
void ApplySetup(ChartProperties& chart, const SetupInput& input);

}  // namespace kx::chart_setup
