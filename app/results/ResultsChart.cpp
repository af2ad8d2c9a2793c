#include "ResultsChart.h"

#include "Desktop.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "SharedState.h"
#include "Text.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace kx::results {
namespace {

constexpr const char* kTemporaryChart = "Temporary Chart ";

bool IsMainWindow(const platform::Form* form) {
    return form->TypeName().compare("MDIForm1", Qt::CaseInsensitive) == 0;
}

// The chart window captioned "Temporary Chart " (with the blank).
platform::Form* TemporaryChart() {
    for (platform::Form* form : platform::Forms())
        if (form->Caption() == kTemporaryChart) return form;
    return nullptr;
}

}  // namespace

bool IsTemporaryChartOpen() { return TemporaryChart() != nullptr; }

void ShowTemporaryChart(const CurvePoints& points, const std::string& /*tip*/, const std::string& legend,
                        bool chartOpen, bool add, double /*timeScale*/) {
    SharedState& s = Shared();
    if (chartOpen && add) {
        s.AddSubsetCount = 1;
        s.AddSubsetPointCount = points.Count();
        s.AddSubsetData = {points.X, points.Y};
        s.AddSubsetLabels = {legend};
    } else {
        s.PlotPointCount = static_cast<std::int16_t>(points.Count());
        s.PlotSubsetCount = 1;
        s.PlotData = {points.X, points.Y};
        s.PlotSubsetLabels = {legend};
    }
    // The chart window draws it; without one the shell says so.
    shell::LoadForm(shell::kChartWindow);
}

void ShowHistogram(const Histogram& h, bool /*itemLabels*/, int /*selected*/) {
    SharedState& s = Shared();
    s.PlotPointCount = static_cast<std::int16_t>(h.PointCount);
    s.PlotSubsetCount = static_cast<std::int16_t>(h.SubsetCount);
    s.PlotData = h.PlotData;
    s.PlotSubsetLabels = h.SubsetLabels;
    for (std::size_t i = 0; i < h.Titles.size(); ++i) s.PlotTitles[i] = h.Titles[i];
    shell::LoadForm(shell::kChartWindow);
}

bool PrepareWindowsForCurve() {
    bool existed = false;
    for (platform::Form* form : platform::Forms()) {
        if (form->Caption() == "Temporary Chart") {
            Shared().NewChartPending = true;
            platform::Unload(form);
            continue;
        }
        if (!IsMainWindow(form) && shell::FormMaximized(form)) shell::SetFormNormal(form);
        if (form->Caption() == kTemporaryChart) {
            existed = true;
            if (shell::FormMinimized(form)) shell::SetFormNormal(form);
        }
    }
    return existed;
}

void ArrangeWindowsAfterCurve(bool chartExisted, const std::function<bool(platform::Form*)>& keep) {
    for (platform::Form* form : platform::Forms()) {
        if (form->Caption() == kTemporaryChart) {
            if (!chartExisted)
                platform::OuterWidget(form)->move(platform::TwipsToPixels(400), platform::TwipsToPixels(400));
            shell::ShowForm(form);
            continue;
        }
        if (IsMainWindow(form) || (keep && keep(form))) continue;
        QWidget* outer = platform::OuterWidget(form);
        if (chartExisted)
            outer->lower();
        else if (!outer->isHidden())
            outer->showMinimized();
    }
    if (platform::Form* chart = TemporaryChart()) platform::BringToFront(chart);
}

}  // namespace kx::results
