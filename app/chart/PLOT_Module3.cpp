#include "PLOT_Module3.h"

#include "ChartLoading.h"
#include "FileHelpers.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "Messages.h"
#include "SharedState.h"
#include "Text.h"

#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace kx::chart {
namespace {

void closePanel() {
    if (shell::MDIForm1* main = shell::MainForm()) {
        main->HideContr();
        main->RichTextBox6()->setToolTip(QString());
    }
}

// The hand-off row of a curve: its values as doubles, absent ones missing.
std::vector<double> curveRow(const std::vector<std::vector<double>>& values, std::size_t row, std::size_t points) {
    std::vector<double> out(points, kMissing);
    if (row < values.size())
        for (std::size_t i = 0; i < points && i < values[row].size(); ++i) out[i] = values[row][i];
    return out;
}

void steadyState(PLOT& chart, int subset) {
    Subset& s = chart.Pesgoa1().At(subset);
    s.pointType = 6;
    s.lineType = kLineTypeNone;
}

}  // namespace

PLOT* TemporaryChart() {
    for (platform::Form* form : platform::Forms())
        if (form->Caption() == kTemporaryChartCaption)
            if (auto* chart = dynamic_cast<PLOT*>(form)) return chart;
    return nullptr;
}

bool IsTemporaryChartOpen() {
    for (platform::Form* form : platform::Forms())
        if (form->Caption() == kTemporaryChartCaption) return true;
    return false;
}

PLOT* ActiveChart() { return dynamic_cast<PLOT*>(platform::ActiveDocument()); }

void ShowTemporaryChart(std::int32_t count, const std::vector<std::vector<double>>& values, std::int32_t column,
                        bool& failed, const std::string& tipText, const std::string& legendText, bool addA, bool& addB,
                        double timeScale) {
    (void)column;
    std::pair<std::string, std::string> parts;
    if (!legendText.empty() && legendText[0] == 'R') parts = SplitLongLabel(tipText);
    failed = false;
    const bool ok = shell::Trap("Sol#107. ", [&] {
        SharedState& shared = Shared();
        closePanel();
        shared.PlotTitles.fill(std::string());
        shared.PlotTitles[1] = shared.PlotSubtitle;
        PLOT* chart = TemporaryChart();
        if (!chart) {
            chart = dynamic_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
            if (!chart) throw Error(ErrorKind::ObjectNotSet, "no chart window");
        }
        chart->SetCaption(kTemporaryChartCaption);
        ChartModel& model = chart->Pesgoa1();
        model.Set(46, 0.0);
        model.Set("PointSize", 1.0);
        if (count - 1 > std::numeric_limits<std::int16_t>::max()) throw Error(ErrorKind::Overflow, "too many points");
        const int points = std::max(0, count - 1);
        shared.PlotPointCount = static_cast<std::int16_t>(points);
        if (!addA || !addB) {
            shared.PlotSubsetCount = 1;
            shared.PlotSubsetLabels = {legendText};
            shared.PlotData = {curveRow(values, 0, static_cast<std::size_t>(points)),
                               curveRow(values, 1, static_cast<std::size_t>(points))};
            chart->Intit(0, false);
            model.subTitle = legendText;
            if (model.Subsets() > 0) {
                model.At(0).longLabel1 = parts.first;
                model.At(0).longLabel2 = parts.second;
                if (legendText.find("Steady State Interval") != std::string::npos) steadyState(*chart, 0);
            }
        } else {
            shared.AddSubsetLabels = {legendText};
            shared.AddSubsetData = {curveRow(values, 0, static_cast<std::size_t>(points)),
                                    curveRow(values, 1, static_cast<std::size_t>(points))};
            shared.AddSubsetCount = 1;
            shared.AddSubsetPointCount = points;
            chart->SubSetAdd({parts});
            model.subTitle = shared.PlotSubtitle;
            if (tipText == "Steady State Interval" && model.Subsets() > 0) steadyState(*chart, model.Subsets() - 1);
        }
        chart->TxtBoxEn(false);
        closePanel();
        model.yAxisLabel = "Y-Axis";
        model.xAxisLabel = TimeAxisLabel(shared.LogTimeAxis, timeScale);
        addB = false;
        // New curves on the chart: closing it asks again.
        chart->MustSave();
        chart->Refr();
        if (!shell::FormVisible(chart)) shell::ShowForm(chart);
    });
    if (!ok) failed = true;
    // The rebuild is over, whatever its end.
    Shared().NewChartPending = false;
}

void PlotSignedBarChart(int subsetCount, bool itemLabelFlag, const std::vector<std::string>& itemLabels,
                        int selected) {
    struct Rebuilding {
        Rebuilding() { Shared().ChartRebuilding = true; }
        ~Rebuilding() {
            Shared().ChartRebuilding = false;
            Shared().NewChartPending = false;
        }
    } rebuilding;
    PLOT* chart = TemporaryChart();
    if (!chart) throw Error(ErrorKind::ObjectNotSet, "no Temporary Chart");
    ChartModel& model = chart->Pesgoa1();
    if (subsetCount != model.Subsets())
        throw Error(ErrorKind::InvalidArgument, "the chart holds " + std::to_string(model.Subsets()) + " subsets, not " +
                                                    std::to_string(subsetCount));
    model.histogram = true;
    model.bars.signedBars = true;
    model.bars.itemLabels = itemLabelFlag;
    model.bars.labels = itemLabels;
    model.bars.selected = selected;
    model.Touch();
    chart->MustSave();
    chart->UndoZM();
}

void SubsetDel(int SubsetNM) {
    PLOT* chart = ActiveChart();
    if (!chart) throw Error(ErrorKind::MethodNotSupported, "the active window shows no chart");
    chart->SubsetDel(SubsetNM);
}

bool RestorePlotFromFile(const std::string& path) {
    return shell::Trap("Mod2#0010 ", [&] {
        PLOT* chart = ActiveChart();
        if (!chart) throw Error(ErrorKind::MethodNotSupported, "the active window shows no chart");
        chart->RestoreContent(path);
        bool failed = false;
        DeleteFileIfPresent(path, failed);
    });
}

}  // namespace kx::chart
