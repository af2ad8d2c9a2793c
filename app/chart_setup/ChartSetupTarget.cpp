#include "ChartSetupTarget.h"

#include "ChartFile.h"
#include "ChartModel.h"
#include "ChartRanges.h"
#include "Errors.h"
#include "Forms.h"
#include "PLOT.h"
#include "PLOT_Module3.h"
#include "Text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kx::chart_setup {
namespace {

using chart::ChartModel;

// A code or colour read as a whole number; what no int holds reads as 0.
int whole(double value) {
    if (!std::isfinite(value) || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(std::lround(value));
}

int wholeOf(const Variant& value) { return whole(NumberOf(value)); }

Variant number(double value) { return Variant(value); }

// The property names of an axis: "ShowXAxis", "XAxisScaleControl",
// "ManualScaleControlX", "ManualMinX", "ManualXAxisTicknLine", ...
struct AxisNames {
    std::string show, scale, manualScale, min, max, ticknLine, line, tick;
    explicit AxisNames(char axis) {
        const std::string a(1, axis);
        show = "Show" + a + "Axis";
        scale = a + "AxisScaleControl";
        manualScale = "ManualScaleControl" + a;
        min = "ManualMin" + a;
        max = "ManualMax" + a;
        ticknLine = "Manual" + a + "AxisTicknLine";
        line = "Manual" + a + "AxisLine";
        tick = "Manual" + a + "AxisTick";
    }
};

AxisProperties readAxis(const ChartModel& m, char axis) {
    const AxisNames n(axis);
    return AxisProperties{whole(m.Number(n.show)), whole(m.Number(n.scale)), whole(m.Number(n.manualScale)),
                          m.Number(n.min),         m.Number(n.max),         m.Flag(n.ticknLine),
                          m.Number(n.line),        m.Number(n.tick)};
}

// Writes the fields of an axis that differ from what the chart has.
void writeAxis(ChartModel& m, char axis, const AxisProperties& p, const AxisProperties& now) {
    const AxisNames n(axis);
    if (p.ShowAxis != now.ShowAxis) m.Set(n.show, number(p.ShowAxis));
    if (p.ScaleControl != now.ScaleControl) m.Set(n.scale, number(p.ScaleControl));
    if (p.ManualScaleControl != now.ManualScaleControl) m.Set(n.manualScale, number(p.ManualScaleControl));
    if (p.ManualMin != now.ManualMin) m.Set(n.min, number(p.ManualMin));
    if (p.ManualMax != now.ManualMax) m.Set(n.max, number(p.ManualMax));
    if (p.ManualTicknLine != now.ManualTicknLine) m.Set(n.ticknLine, chart::FlagValue(p.ManualTicknLine));
    if (p.ManualLine != now.ManualLine) m.Set(n.line, number(p.ManualLine));
    if (p.ManualTick != now.ManualTick) m.Set(n.tick, number(p.ManualTick));
}

// Font groups by their property prefix.
constexpr std::array<const char*, kFontGroups> kFontPrefix{"MainTitle", "SubTitle", "Label"};

}  // namespace

std::unique_ptr<SetupTarget> SetupTargetFor(platform::Form* form) {
    if (!form) throw Error(ErrorKind::ObjectNotSet);
    auto* window = dynamic_cast<chart::PLOT*>(form);
    if (!window) throw Error(ErrorKind::MethodNotSupported, form->TypeName().toStdString());
    return std::make_unique<ChartSetupTarget>(*window);
}

int ChartSetupTarget::Subsets() const { return window_.Subsets(); }
int ChartSetupTarget::Points() const { return window_.Points(); }
double ChartSetupTarget::XDataII(int subset, int point) const { return window_.XDataII(subset, point); }
double ChartSetupTarget::YDataII(int subset, int point) const { return window_.YDataII(subset, point); }

std::string ChartSetupTarget::Caption() const { return platform::FromQ(window_.Caption()); }
void ChartSetupTarget::UndoZM() { window_.UndoZM(); }
bool ChartSetupTarget::COLORBOOLTT() const { return window_.COLORBOOLTT(); }
void ChartSetupTarget::PlotCol() { window_.PlotCol(); }
void ChartSetupTarget::Monochr() { window_.Monochr(); }

void ChartSetupTarget::SaveChart(const std::string& path) {
    chart::WriteChartFile(window_.Pesgoa1(), path);
    changedAtSave_ = window_.ChartChanged();
}

void ChartSetupTarget::RestorePlotFromFile(const std::string& path) {
    if (chart::RestorePlotFromFile(path)) window_.SetChartChanged(changedAtSave_);
}

ChartProperties ChartSetupTarget::Properties() const {
    const ChartModel& m = window_.Pesgoa1();
    ChartProperties p;
    p.X = readAxis(m, 'X');
    p.Y = readAxis(m, 'Y');
    p.FONTSIZE = whole(m.Number("FONTSIZE"));
    for (std::size_t g = 0; g < kFontPrefix.size(); ++g) {
        const std::string prefix = kFontPrefix[g];
        p.Fonts[g] = FontProperties{m.Text(prefix + "Font"), m.Flag(prefix + "Bold"), m.Flag(prefix + "Italic")};
    }
    p.PointSize = whole(m.Number("PointSize"));
    p.DeskColor = whole(m.Number("DeskColor"));
    p.TextColor = whole(m.Number("TextColor"));
    p.ShadowColor = whole(m.Number("ShadowColor"));
    p.GraphBackColor = whole(m.Number("GraphBackColor"));
    p.GraphForeColor = whole(m.Number("GraphForeColor"));
    p.XAxisColor = whole(m.Number("XAxisColor"));
    for (int s = 0; s < m.Subsets(); ++s) {
        p.Subsets.push_back(SubsetStyle{TextOf(m.Get("SubsetLabels", s)), wholeOf(m.Get("SubsetPointTypes", s)),
                                        wholeOf(m.Get("SubsetLineTypes", s)), wholeOf(m.Get("SubsetColors", s))});
    }
    for (int i = 0; i < kAnnotationSlots; ++i) {
        const Variant text = m.Get("GraphAnnotationText", i);
        p.Annotations.push_back(AnnotationSlot{
            NumberOf(m.Get("GraphAnnotationX", i)),
            IsEmpty(text) ? std::nullopt : std::optional<std::string>(TextOf(text)),
            wholeOf(m.Get("GraphAnnotationColor", i))});
    }
    return p;
}

AxisSight ChartSetupTarget::DrawnAxis(char axis) const {
    const ChartModel& m = window_.Pesgoa1();
    const chart::PointBounds bounds = chart::BoundsOf(m);
    const chart::AxisSpan span = chart::FullSpan(m, axis, axis == 'X' ? bounds.x : bounds.y);
    return AxisSight{span.logarithmic, span.manual, span.lower, span.upper};
}

void ChartSetupTarget::SetProperties(const ChartProperties& p) {
    // Only what differs is written: a setting read as a whole number (a
    // code, a size) keeps its own value when the dialog left it alone.
    const ChartProperties now = Properties();
    ChartModel& m = window_.Pesgoa1();
    writeAxis(m, 'X', p.X, now.X);
    writeAxis(m, 'Y', p.Y, now.Y);
    if (p.FONTSIZE != now.FONTSIZE) m.Set("FONTSIZE", number(p.FONTSIZE));
    for (std::size_t g = 0; g < kFontPrefix.size(); ++g) {
        if (p.Fonts[g] == now.Fonts[g]) continue;
        const std::string prefix = kFontPrefix[g];
        m.Set(prefix + "Font", Variant(p.Fonts[g].Name));
        m.Set(prefix + "Bold", chart::FlagValue(p.Fonts[g].Bold));
        m.Set(prefix + "Italic", chart::FlagValue(p.Fonts[g].Italic));
    }
    if (p.PointSize != now.PointSize) m.Set("PointSize", number(p.PointSize));
    const int subsets = std::min({m.Subsets(), static_cast<int>(p.Subsets.size()), static_cast<int>(now.Subsets.size())});
    for (int s = 0; s < subsets; ++s) {
        const SubsetStyle& style = p.Subsets[static_cast<std::size_t>(s)];
        const SubsetStyle& was = now.Subsets[static_cast<std::size_t>(s)];
        if (style.Label != was.Label) m.Set("SubsetLabels", s, Variant(style.Label));
        if (style.PointType != was.PointType) m.Set("SubsetPointTypes", s, number(style.PointType));
        if (style.LineType != was.LineType) m.Set("SubsetLineTypes", s, number(style.LineType));
        if (style.Color != was.Color) m.Set("SubsetColors", s, number(style.Color));
    }
}

void ChartSetupTarget::ColorToPlot(Colour desk, Colour text, Colour shadow, Colour graphBack, Colour graphFore,
                                   Colour annotation, Colour selection) {
    window_.ColorToPlot(desk, text, shadow, graphBack, graphFore, annotation, selection);
}

void ChartSetupTarget::Rebuild() { window_.Refr(); }
void ChartSetupTarget::MustSave() { window_.MustSave(); }

}  // namespace kx::chart_setup
