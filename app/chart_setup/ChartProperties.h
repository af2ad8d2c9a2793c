// The settings of one chart that the chart set-up dialog reads and writes,
// named as the chart knows them, and the chart window as the dialog sees it.
//
// The dialog reads a snapshot of the properties when it loads, edits its own
// controls, and on Apply writes a changed snapshot back; colours go through
// the window's ColorToPlot, which also recolours every annotation.
#pragma once

#include "Capabilities.h"
#include "SharedState.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kx::chart_setup {

// Scale modes of an axis, as the chart's XAxisScaleControl / YAxisScaleControl.
inline constexpr int kModeAuto = 0;
inline constexpr int kModeLinear = 1;
inline constexpr int kModeLog = 2;

// ShowXAxis / ShowYAxis.
inline constexpr int kAxisShown = 0;
inline constexpr int kAxisHidden = 5;

// ManualScaleControlX / ManualScaleControlY.
inline constexpr int kManualScaleOff = 0;
inline constexpr int kManualScaleMinMax = 3;

// Point type shown as "None".
inline constexpr int kPointNone = 73;

struct AxisProperties {
    int ShowAxis = kAxisShown;           // ShowXAxis
    int ScaleControl = kModeAuto;        // XAxisScaleControl
    int ManualScaleControl = kManualScaleOff;  // ManualScaleControlX
    double ManualMin = 0;                // ManualMinX
    double ManualMax = 0;                // ManualMaxX
    bool ManualTicknLine = false;        // ManualXAxisTicknLine: manual tick spacing
    double ManualLine = 0;               // ManualXAxisLine: major spacing
    double ManualTick = 0;               // ManualXAxisTick: minor spacing
    bool operator==(const AxisProperties&) const = default;
};

// Font groups: main title, subtitle, and axis, legend and annotations.
inline constexpr int kMainTitleFont = 0;
inline constexpr int kSubTitleFont = 1;
inline constexpr int kLabelFont = 2;
inline constexpr int kFontGroups = 3;

struct FontProperties {
    std::string Name;  // MainTitleFont, SubTitleFont, LabelFont
    bool Bold = false;
    bool Italic = false;
    bool operator==(const FontProperties&) const = default;
};

// One subset's look: SubsetLabels, SubsetPointTypes, SubsetLineTypes,
// SubsetColors.
struct SubsetStyle {
    std::string Label;
    int PointType = 0;
    int LineType = 0;
    Colour Color = 0;
    bool operator==(const SubsetStyle&) const = default;
};

// An annotation slot: GraphAnnotationX, GraphAnnotationText (nothing for a
// Null text), GraphAnnotationColor. An X of kMissingValue marks a free slot.
struct AnnotationSlot {
    double X = kMissingValue;
    std::optional<std::string> Text;
    Colour Color = 0;
    bool operator==(const AnnotationSlot&) const = default;
};

// The annotation slots the dialog looks at: 0 to 100.
inline constexpr int kAnnotationSlots = 101;

struct ChartProperties {
    AxisProperties X;
    AxisProperties Y;
    int FONTSIZE = 1;    // 0 large, 1 medium, 2 small
    std::array<FontProperties, kFontGroups> Fonts{};
    int PointSize = 1;   // 0 small, 1 medium, 2 large
    Colour DeskColor = 0;
    Colour TextColor = 0;
    Colour ShadowColor = 0;
    Colour GraphBackColor = 0;
    Colour GraphForeColor = 0;
    Colour XAxisColor = 0;
    std::vector<SubsetStyle> Subsets;        // one per subset, from 0
    std::vector<AnnotationSlot> Annotations;  // slots from 0
    bool operator==(const ChartProperties&) const = default;
};

// An axis as the chart draws it at full view (without zoom): its scale, the
// range it shows, and whether that range is the manual one.
struct AxisSight {
    bool Logarithmic = false;
    bool Manual = false;
    double Lower = 0, Upper = 1;
    bool operator==(const AxisSight&) const = default;
};

// The active chart window as the set-up dialog works on it. Every call may
// raise a kx::Error (or another std::exception) into the dialog's trap.
class SetupTarget : public platform::ChartDataSource {
public:
    // The window's caption.
    virtual std::string Caption() const = 0;
    // Returns the chart from any zoom to its full view.
    virtual void UndoZM() = 0;
    // True when the chart shows its own colours, false in monochrome style.
    virtual bool COLORBOOLTT() const = 0;
    // Switches to colour style and back to monochrome style.
    virtual void PlotCol() = 0;
    virtual void Monochr() = 0;
    // Writes the chart to a file in the chart's own format.
    virtual void SaveChart(const std::string& path) = 0;
    // Reloads the chart's content from a file written by SaveChart (the
    // window keeps its caption and file name) and deletes the file; the
    // chart then counts as changed as it did when the file was written. It
    // reports a failure itself and keeps the file then.
    virtual void RestorePlotFromFile(const std::string& path) = 0;
    // The properties as they stand.
    virtual ChartProperties Properties() const = 0;
    // The axis ('X' or 'Y') as drawn at full view.
    virtual AxisSight DrawnAxis(char axis) const = 0;
    // Writes the axes, text size, fonts, point size and subset styles that
    // differ from the chart's; the colours and annotations are left to
    // ColorToPlot.
    virtual void SetProperties(const ChartProperties& properties) = 0;
    // Sets the five chart colours, gives every annotation slot the
    // annotation colour, keeps the selection colour, and redraws.
    virtual void ColorToPlot(Colour desk, Colour text, Colour shadow, Colour graphBack, Colour graphFore,
                             Colour annotation, Colour selection) = 0;
    // The chart rebuilds itself with the settings written.
    virtual void Rebuild() = 0;
    // Flags the chart as changed and not saved.
    virtual void MustSave() = 0;
};

}  // namespace kx::chart_setup
