#include "ChartModel.h"

#include "Errors.h"
#include "Format.h"
#include "TextHelpers.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace kx::chart {
namespace {

using K = PropertyKind;

constexpr Colour rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// Settings that only carry the chart's look, kept as they are set.
struct KeptSetting {
    int id;
    const char* name;
};
constexpr KeptSetting kKeptSettings[] = {
    {2, "Setting2"},     {4, "Setting4"},     {5, "Setting5"},     {6, "Setting6"},     {7, "Setting7"},
    {13, "Setting13"},   {44, "Setting44"},   {46, "Setting46"},   {66, "Setting66"},   {86, "Setting86"},
    {93, "Setting93"},   {197, "Setting197"}, {203, "Setting203"}, {204, "Setting204"}, {207, "Setting207"},
    {209, "Setting209"}, {226, "Setting226"}, {227, "Setting227"}, {256, "Setting256"}, {260, "Setting260"},
    {261, "Setting261"}, {266, "Setting266"}, {278, "Setting278"}, {286, "Setting286"}, {299, "Setting299"},
    {324, "Setting324"}};

std::vector<PropertyInfo> buildProperties() {
    std::vector<PropertyInfo> p = {
        // Texts and counts.
        {9, "MainTitle", K::Text, false, true},
        {10, "SubTitle", K::Text, false, true},
        {32, "XAxisLabel", K::Text, false, true},
        {33, "YAxisLabel", K::Text, false, true},
        {11, "Subsets", K::Number, false, false},
        {12, "Points", K::Number, false, false},
        // Axes.
        {0, "ShowXAxis", K::Number, false, true},
        {0, "ShowYAxis", K::Number, false, true},
        {40, "XAxisScaleControl", K::Number, false, true},
        {41, "YAxisScaleControl", K::Number, false, true},
        {58, "ManualScaleControlX", K::Number, false, true},
        {55, "ManualScaleControlY", K::Number, false, true},
        {59, "ManualMinX", K::Number, false, true},
        {60, "ManualMaxX", K::Number, false, true},
        {56, "ManualMinY", K::Number, false, true},
        {57, "ManualMaxY", K::Number, false, true},
        {79, "ManualXAxisTicknLine", K::Flag, false, true},
        {80, "ManualYAxisTicknLine", K::Flag, false, true},
        {87, "ManualXAxisLine", K::Number, false, true},
        {88, "ManualXAxisTick", K::Number, false, true},
        {89, "ManualYAxisLine", K::Number, false, true},
        {90, "ManualYAxisTick", K::Number, false, true},
        // Text and points.
        {19, "FONTSIZE", K::Number, false, true},
        {83, "PointSize", K::Number, false, true},
        {20, "MainTitleFont", K::Text, false, true},
        {21, "MainTitleBold", K::Flag, false, true},
        {22, "MainTitleItalic", K::Flag, false, true},
        {24, "SubTitleFont", K::Text, false, true},
        {25, "SubTitleBold", K::Flag, false, true},
        {26, "SubTitleItalic", K::Flag, false, true},
        {28, "LabelFont", K::Text, false, true},
        {29, "LabelBold", K::Flag, false, true},
        {30, "LabelItalic", K::Flag, false, true},
        // Colours.
        {0, "DeskColor", K::Colour, false, true},
        {0, "TextColor", K::Colour, false, true},
        {0, "ShadowColor", K::Colour, false, true},
        {0, "GraphBackColor", K::Colour, false, true},
        {0, "GraphForeColor", K::Colour, false, true},
        {0, "XAxisColor", K::Colour, false, true},
        // Appearance.
        {8, "ViewingStyle", K::Number, false, true},
        {0, "ShowLegend", K::Flag, false, true},
        {0, "GridLines", K::Flag, false, true},
        {0, "MarkDataPoints", K::Flag, false, true},
        // The data cursor: the window's state, not the file's.
        {137, "CursorMode", K::Number, false, false},
        {138, "CursorSubset", K::Number, false, false},
        {139, "CursorPoint", K::Number, false, false},
        // Per subset, per annotation slot, per point.
        {131, "SubsetLabels", K::Text, true, true},
        {132, "SubsetColors", K::Colour, true, true},
        {133, "SubsetLineTypes", K::Number, true, true},
        {134, "SubsetPointTypes", K::Number, true, true},
        {146, "GraphAnnotationX", K::Number, true, true},
        {147, "GraphAnnotationY", K::Number, true, true},
        {148, "GraphAnnotationText", K::Text, true, true},
        {0, "GraphAnnotationColor", K::Colour, true, true},
        {174, "GraphAnnotationType", K::Number, true, true},
        {179, "GraphAnnotationAttribute", K::Number, true, true},
        {180, "LegendFlags", K::Flag, true, true},
        {250, "XDataII", K::Number, true, true},
        {222, "YDataII", K::Number, true, true},
        {135, "Setting135", K::Number, true, true},
    };
    for (const KeptSetting& k : kKeptSettings) p.push_back({k.id, k.name, K::Number, false, true});
    return p;
}

// Start values of the settings that are not 0, empty or false.
Variant defaultValue(const PropertyInfo& info) {
    static const std::map<std::string_view, Variant> defaults = {
        {"FONTSIZE", 1.0},
        {"PointSize", 1.0},
        {"ManualMaxX", 1.0},
        {"ManualMaxY", 1.0},
        {"MainTitleFont", std::string("Arial")},
        {"SubTitleFont", std::string("Arial")},
        {"LabelFont", std::string("Arial")},
        {"MainTitleBold", -1.0},
        {"DeskColor", static_cast<double>(rgb(240, 240, 240))},
        {"TextColor", 0.0},
        {"ShadowColor", static_cast<double>(rgb(128, 128, 128))},
        {"GraphBackColor", static_cast<double>(rgb(255, 255, 255))},
        {"GraphForeColor", 0.0},
        {"XAxisColor", 0.0},
        {"ShowLegend", -1.0},
        {"Setting93", kMissing},
        {"Setting226", kMissing},
    };
    if (auto it = defaults.find(info.name); it != defaults.end()) return it->second;
    if (info.kind == K::Text) return std::string();
    return 0.0;
}

bool isModelText(std::string_view name) {
    return name == "MainTitle" || name == "SubTitle" || name == "XAxisLabel" || name == "YAxisLabel";
}

double finiteNumber(const Variant& value, std::string_view name) {
    const double v = NumberOf(value);
    if (!std::isfinite(v)) throw Error(ErrorKind::InvalidArgument, std::string(name) + " must be a finite number");
    return v;
}

int wholeNumber(const Variant& value, std::string_view name) {
    const double v = finiteNumber(value, name);
    if (v < -2147483648.0 || v > 2147483647.0) throw Error(ErrorKind::Overflow, std::string(name));
    return static_cast<int>(RoundHalfEven(v));
}

int count(const Variant& value, std::string_view name, int limit) {
    const int n = wholeNumber(value, name);
    if (n < 0 || n > limit) throw Error(ErrorKind::InvalidArgument, std::string(name) + " " + std::to_string(n));
    return n;
}

const PropertyInfo& require(const PropertyInfo* info, std::string_view what) {
    if (!info) throw Error(ErrorKind::InvalidArgument, "no chart property " + std::string(what));
    return *info;
}

// Largest counts the model takes through its properties, and the most
// values (X and Y pairs) it holds.
constexpr int kMaxSubsets = 100000;
constexpr int kMaxPoints = 1000000;
constexpr double kMaxValues = 50e6;

}  // namespace

bool Annotation::Free() const {
    if (x == kMissing) return true;
    const std::string_view t = TrimBlanks(text);
    return t.empty() || text == kEmptySlotText;
}

ChartModel::ChartModel() {
    ResetSettings();
    Touch();
}

void ChartModel::Touch() {
    static std::atomic<std::uint64_t> next{0};
    revision_ = ++next;
}

void ChartModel::ResetSettings() {
    settings_.clear();
    for (const PropertyInfo& info : Properties())
        if (!info.indexed && !isModelText(info.name) && info.name != "Subsets" && info.name != "Points")
            settings_.emplace(std::string(info.name), defaultValue(info));
    pairSettings.clear();
}

const std::vector<PropertyInfo>& ChartModel::Properties() {
    static const std::vector<PropertyInfo> properties = buildProperties();
    return properties;
}

const PropertyInfo* ChartModel::FindProperty(std::string_view name) {
    for (const PropertyInfo& info : Properties())
        if (info.name == name) return &info;
    return nullptr;
}

const PropertyInfo* ChartModel::FindProperty(int id) {
    if (id == 0) return nullptr;
    for (const PropertyInfo& info : Properties())
        if (info.id == id) return &info;
    return nullptr;
}

// ---- data ---------------------------------------------------------------------

void ChartModel::Resize(int subsets, int points) {
    if (subsets < 0 || points < 0) throw Error(ErrorKind::InvalidArgument, "negative chart size");
    if (static_cast<double>(subsets) * points > kMaxValues)
        throw Error(ErrorKind::InvalidArgument, "a chart of " + std::to_string(subsets) + " subsets of " +
                                                    std::to_string(points) + " points is too large");
    subsets_.resize(static_cast<std::size_t>(subsets));
    points_ = points;
    for (Subset& s : subsets_) {
        s.x.resize(static_cast<std::size_t>(points), kMissing);
        s.y.resize(static_cast<std::size_t>(points), kMissing);
    }
    Touch();
}

Subset& ChartModel::At(int s) {
    if (s < 0 || s >= Subsets()) throw Error(ErrorKind::SubscriptOutOfRange, "subset " + std::to_string(s));
    return subsets_[static_cast<std::size_t>(s)];
}

const Subset& ChartModel::At(int s) const { return const_cast<ChartModel*>(this)->At(s); }

void ChartModel::RemoveSubset(int s) {
    At(s);
    subsets_.erase(subsets_.begin() + s);
    Touch();
}

void ChartModel::AppendSubset(Subset subset) {
    subset.x.resize(static_cast<std::size_t>(points_), kMissing);
    subset.y.resize(static_cast<std::size_t>(points_), kMissing);
    subsets_.push_back(std::move(subset));
    Touch();
}

bool ChartModel::HasPoint(int s, int p) const {
    const Subset& sub = At(s);
    if (p < 0 || p >= points_) return false;
    return sub.x[static_cast<std::size_t>(p)] != kMissing && sub.y[static_cast<std::size_t>(p)] != kMissing;
}

// ---- annotations ----------------------------------------------------------------

Annotation& ChartModel::Slot(int i) {
    if (i < 0 || i >= kAnnotationSlots) throw Error(ErrorKind::SubscriptOutOfRange, "annotation " + std::to_string(i));
    return slots_[static_cast<std::size_t>(i)];
}

const Annotation& ChartModel::Slot(int i) const { return const_cast<ChartModel*>(this)->Slot(i); }

void ChartModel::ClearAnnotations() {
    for (Annotation& a : slots_) {
        a.text = kEmptySlotText;
        a.type = 0;
        a.attribute = 0;
        a.x = kMissing;
        a.y = kMissing;
    }
}

std::optional<int> ChartModel::FirstFreeSlot() const {
    for (int i = 0; i < kAnnotationSlots; ++i)
        if (slots_[static_cast<std::size_t>(i)].Free()) return i;
    return std::nullopt;
}

// ---- properties -------------------------------------------------------------------

Variant ChartModel::getScalar(const PropertyInfo& info) const {
    if (info.indexed) throw Error(ErrorKind::SubscriptOutOfRange, std::string(info.name) + " needs an index");
    if (info.name == "MainTitle") return mainTitle;
    if (info.name == "SubTitle") return subTitle;
    if (info.name == "XAxisLabel") return xAxisLabel;
    if (info.name == "YAxisLabel") return yAxisLabel;
    if (info.name == "Subsets") return static_cast<double>(Subsets());
    if (info.name == "Points") return static_cast<double>(points_);
    return settings_.find(info.name)->second;
}

void ChartModel::setScalar(const PropertyInfo& info, const Variant& value) {
    if (info.indexed) throw Error(ErrorKind::SubscriptOutOfRange, std::string(info.name) + " needs an index");
    if (info.kind == K::Text) {
        const std::string text = TextOf(value);
        if (info.name == "MainTitle")
            mainTitle = text;
        else if (info.name == "SubTitle")
            subTitle = text;
        else if (info.name == "XAxisLabel")
            xAxisLabel = text;
        else if (info.name == "YAxisLabel")
            yAxisLabel = text;
        else
            settings_.find(info.name)->second = text;
        return;
    }
    if (info.name == "Subsets") {
        Resize(count(value, info.name, kMaxSubsets), points_);
        return;
    }
    if (info.name == "Points") {
        Resize(Subsets(), count(value, info.name, kMaxPoints));
        return;
    }
    const double v = finiteNumber(value, info.name);
    settings_.find(info.name)->second = info.kind == K::Flag ? FlagValue(v != 0) : Variant(v);
}

Variant ChartModel::getIndexed(const PropertyInfo& info, int index, int point) const {
    const std::string_view n = info.name;
    if (!info.indexed) throw Error(ErrorKind::SubscriptOutOfRange, std::string(n) + " takes no index");
    if (n == "XDataII" || n == "YDataII") {
        const Subset& s = At(index);
        if (point < 0 || point >= points_) throw Error(ErrorKind::SubscriptOutOfRange, "point " + std::to_string(point));
        return (n == "XDataII" ? s.x : s.y)[static_cast<std::size_t>(point)];
    }
    if (n == "Setting135") {
        auto it = pairSettings.find({index, point});
        return it == pairSettings.end() ? 0.0 : it->second;
    }
    if (n == "SubsetLabels") return At(index).label;
    if (n == "SubsetColors") return static_cast<double>(At(index).colour);
    if (n == "SubsetLineTypes") return static_cast<double>(At(index).lineType);
    if (n == "SubsetPointTypes") return static_cast<double>(At(index).pointType);
    if (n == "LegendFlags") {
        if (index != 0) throw Error(ErrorKind::SubscriptOutOfRange, "LegendFlags " + std::to_string(index));
        return settings_.find("ShowLegend")->second;
    }
    if (n == "GraphAnnotationText" && index == kHistogramSlot)
        return std::string(histogram ? "Histogram" : kEmptySlotText);
    const Annotation& a = Slot(index);
    if (n == "GraphAnnotationX") return a.x;
    if (n == "GraphAnnotationY") return a.y;
    if (n == "GraphAnnotationText") return a.text;
    if (n == "GraphAnnotationColor") return static_cast<double>(a.colour);
    if (n == "GraphAnnotationType") return static_cast<double>(a.type);
    return static_cast<double>(a.attribute);
}

void ChartModel::setIndexed(const PropertyInfo& info, int index, int point, const Variant& value) {
    const std::string_view n = info.name;
    if (!info.indexed) throw Error(ErrorKind::SubscriptOutOfRange, std::string(n) + " takes no index");
    if (n == "XDataII" || n == "YDataII") {
        Subset& s = At(index);
        if (point < 0 || point >= points_) throw Error(ErrorKind::SubscriptOutOfRange, "point " + std::to_string(point));
        double v = NumberOf(value);
        if (!std::isfinite(v)) v = kMissing;  // not a number: an absent point
        (n == "XDataII" ? s.x : s.y)[static_cast<std::size_t>(point)] = v;
        Touch();
        return;
    }
    if (n == "Setting135") {
        pairSettings[{index, point}] = finiteNumber(value, n);
        return;
    }
    // Styles and annotations are drawn afresh at every redraw: no change of
    // the data to count.
    if (n == "SubsetLabels") {
        At(index).label = TextOf(value);
    } else if (n == "SubsetColors") {
        At(index).colour = static_cast<Colour>(wholeNumber(value, n));
    } else if (n == "SubsetLineTypes") {
        At(index).lineType = wholeNumber(value, n);
    } else if (n == "SubsetPointTypes") {
        At(index).pointType = wholeNumber(value, n);
    } else if (n == "LegendFlags") {
        if (index != 0) throw Error(ErrorKind::SubscriptOutOfRange, "LegendFlags " + std::to_string(index));
        settings_.find("ShowLegend")->second = FlagValue(finiteNumber(value, n) != 0);
    } else if (n == "GraphAnnotationText" && index == kHistogramSlot) {
        histogram = TextOf(value) == "Histogram";
    } else {
        Annotation& a = Slot(index);
        if (n == "GraphAnnotationX")
            a.x = finiteNumber(value, n);
        else if (n == "GraphAnnotationY")
            a.y = finiteNumber(value, n);
        else if (n == "GraphAnnotationText")
            a.text = TextOf(value);
        else if (n == "GraphAnnotationColor")
            a.colour = static_cast<Colour>(wholeNumber(value, n));
        else if (n == "GraphAnnotationType")
            a.type = wholeNumber(value, n);
        else
            a.attribute = wholeNumber(value, n);
    }
}

Variant ChartModel::Get(std::string_view name) const { return getScalar(require(FindProperty(name), name)); }
void ChartModel::Set(std::string_view name, const Variant& value) { setScalar(require(FindProperty(name), name), value); }
Variant ChartModel::Get(int id) const { return getScalar(require(FindProperty(id), std::to_string(id))); }
void ChartModel::Set(int id, const Variant& value) { setScalar(require(FindProperty(id), std::to_string(id)), value); }

Variant ChartModel::Get(std::string_view name, int index, int point) const {
    return getIndexed(require(FindProperty(name), name), index, point);
}
void ChartModel::Set(std::string_view name, int index, const Variant& value) {
    setIndexed(require(FindProperty(name), name), index, -1, value);
}
void ChartModel::Set(std::string_view name, int index, int point, const Variant& value) {
    setIndexed(require(FindProperty(name), name), index, point, value);
}
Variant ChartModel::Get(int id, int index, int point) const {
    return getIndexed(require(FindProperty(id), std::to_string(id)), index, point);
}
void ChartModel::Set(int id, int index, const Variant& value) {
    setIndexed(require(FindProperty(id), std::to_string(id)), index, -1, value);
}
void ChartModel::Set(int id, int index, int point, const Variant& value) {
    setIndexed(require(FindProperty(id), std::to_string(id)), index, point, value);
}

double ChartModel::Number(std::string_view name) const { return NumberOf(Get(name)); }
bool ChartModel::Flag(std::string_view name) const { return NumberOf(Get(name)) != 0; }
std::string ChartModel::Text(std::string_view name) const { return TextOf(Get(name)); }

}  // namespace kx::chart
