// The chart window as the set-up dialog works on it: its properties read and
// written by name on its chart model, its backup written in the chart file
// format, and Cancel's reload through the chart module's
// RestorePlotFromFile.
#pragma once

#include "ChartProperties.h"

#include <memory>

namespace kx::chart {
class PLOT;
}

namespace kx::platform {
class Form;
}

namespace kx::chart_setup {

// The set-up target of a chart window; raises ObjectNotSet for no window and
// MethodNotSupported for a window that shows no chart.
std::unique_ptr<SetupTarget> SetupTargetFor(platform::Form* form);

class ChartSetupTarget : public SetupTarget {
public:
    explicit ChartSetupTarget(chart::PLOT& window) : window_(window) {}

    int Subsets() const override;
    int Points() const override;
    double XDataII(int subset, int point) const override;
    double YDataII(int subset, int point) const override;

    std::string Caption() const override;
    void UndoZM() override;
    bool COLORBOOLTT() const override;
    void PlotCol() override;
    void Monochr() override;
    void SaveChart(const std::string& path) override;
    void RestorePlotFromFile(const std::string& path) override;
    ChartProperties Properties() const override;
    AxisSight DrawnAxis(char axis) const override;
    void SetProperties(const ChartProperties& properties) override;
    void ColorToPlot(Colour desk, Colour text, Colour shadow, Colour graphBack, Colour graphFore, Colour annotation,
                     Colour selection) override;
    void Rebuild() override;
    void MustSave() override;

private:
    chart::PLOT& window_;
    bool changedAtSave_ = false;  // the chart's changed flag when SaveChart wrote it
};

}  // namespace kx::chart_setup
