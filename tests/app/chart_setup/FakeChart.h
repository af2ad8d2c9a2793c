// A chart window as the set-up dialog sees it, recording what the dialog
// asks of it. Its backup file holds a marker; the properties saved with it
// are kept beside it so that a restore brings them back.
#pragma once

#include "ChartProperties.h"
#include "Errors.h"
#include "Files.h"
#include "Messages.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kx::test {

class FakeChart : public chart_setup::SetupTarget {
public:
    using Curve = std::vector<std::pair<double, double>>;

    std::string caption = "Chart h2.pg";
    chart_setup::ChartProperties properties;
    std::vector<Curve> curves;
    bool colourStyle = true;
    bool failSave = false;
    std::vector<std::string> calls;
    std::vector<Colour> colorToPlot;  // the arguments of the last ColorToPlot
    // The colours saved when monochrome style was switched on.
    std::array<Colour, 5> savedColours{};

    int Subsets() const override { return static_cast<int>(curves.size()); }
    int Points() const override { return curves.empty() ? 0 : static_cast<int>(curves[0].size()); }
    double XDataII(int s, int p) const override { return curves.at(s).at(p).first; }
    double YDataII(int s, int p) const override { return curves.at(s).at(p).second; }

    std::string Caption() const override { return caption; }
    void UndoZM() override { calls.push_back("UndoZM"); }
    bool COLORBOOLTT() const override { return colourStyle; }
    void PlotCol() override {
        calls.push_back("PlotCol");
        properties.DeskColor = savedColours[0];
        properties.TextColor = savedColours[1];
        properties.ShadowColor = savedColours[2];
        properties.GraphBackColor = savedColours[3];
        properties.GraphForeColor = savedColours[4];
        colourStyle = true;
    }
    void Monochr() override {
        calls.push_back("Monochr");
        savedColours = {properties.DeskColor, properties.TextColor, properties.ShadowColor, properties.GraphBackColor,
                        properties.GraphForeColor};
        properties.DeskColor = properties.GraphBackColor = 0xFFFFFF;
        properties.TextColor = properties.ShadowColor = properties.GraphForeColor = 0;
        colourStyle = false;
    }
    void SaveChart(const std::string& path) override {
        calls.push_back("SaveChart " + std::filesystem::path(path).filename().string() +
                        (colourStyle ? " colour" : " monochrome"));
        if (failSave) throw Error(ErrorKind::PermissionDenied, path);
        files::WriteAll(path, "chart");
        backups_[path] = properties;
    }
    void RestorePlotFromFile(const std::string& path) override {
        calls.push_back("RestorePlotFromFile " + std::filesystem::path(path).filename().string());
        if (!std::filesystem::exists(path) || !backups_.count(path)) {
            shell::ReportError("Mod2#0010 ", Error(ErrorKind::FileNotFound, path));
            return;
        }
        properties = backups_[path];
        colourStyle = true;
        std::filesystem::remove(path);
    }
    chart_setup::ChartProperties Properties() const override { return properties; }
    // The axes as drawn: the manual range when one is set, else the range of
    // the valid points (without the chart's margin).
    chart_setup::AxisSight DrawnAxis(char axis) const override {
        const chart_setup::AxisProperties& a = axis == 'X' ? properties.X : properties.Y;
        chart_setup::AxisSight sight;
        sight.Logarithmic = a.ScaleControl == chart_setup::kModeLog;
        if (a.ManualScaleControl == chart_setup::kManualScaleMinMax && a.ManualMin < a.ManualMax) {
            sight.Manual = true;
            sight.Lower = a.ManualMin;
            sight.Upper = a.ManualMax;
            return sight;
        }
        bool any = false;
        for (const Curve& c : curves)
            for (auto [x, y] : c) {
                if (x == kMissingValue || y == kMissingValue || !std::isfinite(x) || !std::isfinite(y)) continue;
                const double v = axis == 'X' ? x : y;
                sight.Lower = any ? std::min(sight.Lower, v) : v;
                sight.Upper = any ? std::max(sight.Upper, v) : v;
                any = true;
            }
        return sight;
    }
    void SetProperties(const chart_setup::ChartProperties& p) override {
        calls.push_back("SetProperties");
        // Colours and annotations are ColorToPlot's to change.
        chart_setup::ChartProperties next = p;
        next.DeskColor = properties.DeskColor;
        next.TextColor = properties.TextColor;
        next.ShadowColor = properties.ShadowColor;
        next.GraphBackColor = properties.GraphBackColor;
        next.GraphForeColor = properties.GraphForeColor;
        next.XAxisColor = properties.XAxisColor;
        next.Annotations = properties.Annotations;
        properties = next;
    }
    void ColorToPlot(Colour desk, Colour text, Colour shadow, Colour graphBack, Colour graphFore, Colour annotation,
                     Colour selection) override {
        calls.push_back("ColorToPlot");
        colorToPlot = {desk, text, shadow, graphBack, graphFore, annotation, selection};
        properties.DeskColor = desk;
        properties.TextColor = text;
        properties.ShadowColor = shadow;
        properties.GraphBackColor = graphBack;
        properties.GraphForeColor = graphFore;
        for (auto& slot : properties.Annotations) slot.Color = annotation;
    }
    void Rebuild() override { calls.push_back("Rebuild"); }
    void MustSave() override { calls.push_back("MustSave"); }

private:
    std::map<std::string, chart_setup::ChartProperties> backups_;
};

}  // namespace kx::test
