// The chart model: everything a chart window shows and a chart file keeps,
// without widgets. The view draws it, the chart file writes and reads it,
// the set-up dialog reads and writes it through its named properties.
//
// Data: Subsets() curves of Points() points each; a curve shorter than the
// chart holds kMissing in its tail, and kMissing marks any absent point.
// Each subset carries its label, colour, line type, point type and its long
// label (the text its tool tip shows), so a chart of any size keeps every
// label. Free annotations live in slots 0 to 100; a slot whose X is
// kMissing or whose text is blank or "Empty" is free.
//
// Properties: the scalar settings are reached by name ("XAxisScaleControl",
// "MainTitle", ...) and, where they have one, by their number ("40", ...);
// the per-subset, per-annotation and data properties by name or number with
// their index. Flags read as -1 (true) or 0 and take any non-zero number as
// true. Colours are numbers with red in the low byte.
#pragma once

#include "SharedState.h"
#include "Variant.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kx::chart {

inline constexpr double kMissing = kMissingValue;
inline constexpr int kAnnotationSlots = 101;  // free annotations 0 to 100
inline constexpr int kHistogramSlot = 300;    // slot whose text marks a histogram
inline constexpr const char* kEmptySlotText = "Empty";
inline constexpr int kPointTypeNone = 73;  // point type: no symbol
inline constexpr int kLineTypeNone = 73;   // line type: no line, the points alone

// Line types: 0 thin solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot,
// 5 solid width 2, 6 solid width 3, 7 medium dash, 8 medium dash-dot,
// 9 thin solid, 10 solid width 3, 11 solid width 5, 73 none.
// Point types: 0 plus, 1 cross, 2 circle, 3 filled circle, 4 square,
// 5 filled square, 6 diamond, 7 filled diamond, 8 up triangle, 9 filled up
// triangle, 10 down triangle, 11 filled down triangle, 73 none.

struct Subset {
    std::string label;
    Colour colour = 0;
    int lineType = 0;
    int pointType = 0;
    // The long label as two parts: the first 48 characters and the rest
    // ("Empty" when there is none); both empty when the curve has none.
    std::string longLabel1;
    std::string longLabel2;
    std::vector<double> x;
    std::vector<double> y;
};

struct Annotation {
    double x = kMissing;
    double y = kMissing;
    std::string text = kEmptySlotText;
    Colour colour = 0;
    int type = 0;       // kept attribute (property 174)
    int attribute = 0;  // kept attribute (property 179)

    bool Free() const;
};

// How a histogram's signed bars are drawn: the item labels (one per bar,
// from 1) on the bar axis when itemLabels is set, and the bar drawn as
// selected.
struct BarPresentation {
    bool signedBars = false;
    bool itemLabels = false;
    std::vector<std::string> labels;  // labels[k] belongs to bar k (subset k); [0] unused
    int selected = 0;
};

// The kinds of a property's value.
enum class PropertyKind { Number, Flag, Text, Colour };

struct PropertyInfo {
    int id;  // 0: reached by name only
    std::string_view name;
    PropertyKind kind;
    bool indexed;  // by subset or annotation slot (data: subset and point)
    bool saved;    // written to the chart file
};

class ChartModel {
public:
    ChartModel();

    // ---- data ----
    int Subsets() const { return static_cast<int>(subsets_.size()); }
    int Points() const { return points_; }
    // Grows or shrinks the chart: new points and new subsets hold kMissing,
    // new subsets take the default style.
    void Resize(int subsets, int points);
    Subset& At(int s);
    const Subset& At(int s) const;
    const std::vector<Subset>& AllSubsets() const { return subsets_; }
    // Removes subset s; the later ones move down by one.
    void RemoveSubset(int s);
    // Appends a subset; its points are cut or padded to the chart's count.
    void AppendSubset(Subset subset);
    double X(int s, int p) const { return At(s).x.at(static_cast<std::size_t>(p)); }
    double Y(int s, int p) const { return At(s).y.at(static_cast<std::size_t>(p)); }
    // True when both coordinates of the point are present.
    bool HasPoint(int s, int p) const;
    // Changes with every change of the points or of the number of subsets
    // (styles, texts and annotations are drawn afresh at every redraw);
    // code that changes points through At() calls Touch. Revisions are
    // unique across all models, so a model put in another's place never
    // passes for it.
    std::uint64_t Revision() const { return revision_; }
    void Touch();

    // ---- texts ----
    std::string mainTitle, subTitle, xAxisLabel, yAxisLabel;

    // ---- annotations ----
    Annotation& Slot(int i);
    const Annotation& Slot(int i) const;
    const std::array<Annotation, kAnnotationSlots>& Slots() const { return slots_; }
    // Empties every slot (text "Empty", attributes 0, X and Y kMissing);
    // colours stay.
    void ClearAnnotations();
    // The lowest free slot, or nothing when all 101 are taken.
    std::optional<int> FirstFreeSlot() const;

    // ---- chart kind ----
    bool histogram = false;  // a bar chart of reaction contributions
    BarPresentation bars;
    bool colourStyle = true;  // false: drawn in monochrome style

    // ---- properties ----
    static const std::vector<PropertyInfo>& Properties();
    static const PropertyInfo* FindProperty(std::string_view name);
    static const PropertyInfo* FindProperty(int id);

    // Scalar properties. Unknown names or numbers, an index where none
    // belongs or a text for a number raise an error (InvalidArgument,
    // SubscriptOutOfRange, TypeMismatch).
    Variant Get(std::string_view name) const;
    void Set(std::string_view name, const Variant& value);
    Variant Get(int id) const;
    void Set(int id, const Variant& value);
    // Indexed properties: by subset (SubsetLabels, SubsetColors, ...), by
    // annotation slot 0..100 (GraphAnnotationX, ...) or the legend flag
    // (index 0); data by subset and point (XDataII, YDataII).
    Variant Get(std::string_view name, int index, int point = -1) const;
    void Set(std::string_view name, int index, const Variant& value);
    void Set(std::string_view name, int index, int point, const Variant& value);
    Variant Get(int id, int index, int point = -1) const;
    void Set(int id, int index, const Variant& value);
    void Set(int id, int index, int point, const Variant& value);

    // Typed reads of scalar properties, for the view.
    double Number(std::string_view name) const;
    bool Flag(std::string_view name) const;
    std::string Text(std::string_view name) const;

    // Every scalar property value that is neither a text of the model nor a
    // count, by name (for the chart file and for comparisons).
    const std::map<std::string, Variant, std::less<>>& Settings() const { return settings_; }
    // Entries of the two-index property kept as they are.
    std::map<std::pair<int, int>, double> pairSettings;

    // Puts every setting back to its start value.
    void ResetSettings();

private:
    Variant getScalar(const PropertyInfo& info) const;
    void setScalar(const PropertyInfo& info, const Variant& value);
    Variant getIndexed(const PropertyInfo& info, int index, int point) const;
    void setIndexed(const PropertyInfo& info, int index, int point, const Variant& value);

    int points_ = 0;
    std::vector<Subset> subsets_;
    std::array<Annotation, kAnnotationSlots> slots_;
    std::map<std::string, Variant, std::less<>> settings_;
    std::uint64_t revision_ = 0;
};

// A value as an integer Boolean (-1 true, 0 false).
inline Variant FlagValue(bool on) { return on ? -1.0 : 0.0; }

}  // namespace kx::chart
