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

// The sample that shows how a point or line code is drawn, for the codes
// drawn like another one: point 72 as 0; line 9 as 0 and 10 as 6. Every
// other code is its own sample (or has none). The dialog keeps the chart's
// codes and only highlights these samples.
int RemapPointType(int code);
int RemapLineType(int code);

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
    std::string Maximum, Minimum;  // "0.######E+00", more digits where needed to tell them apart
    std::string Major, Minor;      // whole numbers
};

// The boxes of an axis at load: its scale and range as the chart draws
// them. A logarithmic axis shows "Log"; an axis drawn over its manual range
// or set to Linear shows "Linear"; any other "Auto". A Linear axis with
// manual tick spacing shows its tick counts from its spacings; others, and
// a spacing that is zero or gives no finite count, 5 and 2.
AxisTexts LoadAxis(const AxisProperties& axis, const AxisSight& drawn);

// What the user has entered for an axis.
struct AxisInput {
    bool Show = true;
    int Mode = kModeAuto;
    std::string Maximum, Minimum, Major, Minor;
    int Digits = 3;  // significant digits of the spacing
    bool operator==(const AxisInput&) const = default;
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
    bool operator==(const SetupInput&) const = default;
};

// Writes into the properties what the user changed: every choice that
// differs from `shown`, the input as the dialog showed it (at load, or at
// the last apply); what the user left alone stays as the chart has it.
// Call only after the changed axes passed CheckAxis. A hidden axis changes
// only its ShowAxis; an Auto axis switches manual scaling off; Linear and
// Log set the manual range; Linear also sets the major spacing ((maximum -
// minimum) / major, cut to the significant digits) and the minor spacing
// (major spacing / minor). Returns true when anything was written.
bool ApplySetup(ChartProperties& chart, const SetupInput& input, const SetupInput& shown);

}  // namespace kx::chart_setup
