#include "ResultsChart.h"

#include "Desktop.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "SharedState.h"
#include "PLOT_Module3.h"
#include "Text.h"
#include "TextHelpers.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace kx::results {
namespace {

bool IsMainWindow(const platform::Form* form) {
    return form->TypeName().compare("MDIForm1", Qt::CaseInsensitive) == 0;
}

}  // namespace

bool IsTemporaryChartOpen() { return chart::IsTemporaryChartOpen(); }

void ShowTemporaryChart(const CurvePoints& points, const std::string& tip, const std::string& legend, bool chartOpen,
                        bool add, double timeScale) {
    bool failed = false;
    bool addB = add;
    chart::ShowTemporaryChart(points.Count() + 1, {points.X, points.Y}, 0, failed, tip, legend, chartOpen, addB,
                              timeScale);
}

void LoadHistogram(const Histogram& h) {
    SharedState& s = Shared();
    chart::PLOT* plot = chart::TemporaryChart();
    if (!plot) {
        plot = dynamic_cast<chart::PLOT*>(shell::LoadForm(shell::kChartWindow));
        if (!plot) throw Error(ErrorKind::ObjectNotSet, "no chart window");
    }
    plot->SetCaption(chart::kTemporaryChartCaption);
    s.PlotPointCount = static_cast<std::int16_t>(h.PointCount);
    s.PlotSubsetCount = static_cast<std::int16_t>(h.SubsetCount);
    s.PlotData = h.PlotData;
    s.PlotSubsetLabels = h.SubsetLabels;
    // The titles and the long labels quote the file's species and reactions.
    std::array<std::string, 4> titles;
    for (std::size_t i = 0; i < h.Titles.size(); ++i) s.PlotTitles[i] = titles[i] = Latin1ToUtf8(h.Titles[i]);
    plot->Intit(0, true);
    chart::ChartModel& model = plot->Pesgoa1();
    for (int bar = 2; bar < static_cast<int>(h.LongLabels.size()) && bar < model.Subsets(); ++bar) {
        model.At(bar).longLabel1 = Latin1ToUtf8(h.LongLabels[static_cast<std::size_t>(bar)].first);
        model.At(bar).longLabel2 = Latin1ToUtf8(h.LongLabels[static_cast<std::size_t>(bar)].second);
    }
    model.subTitle = titles[1];
    model.xAxisLabel = titles[2];
    model.yAxisLabel = titles[3];
    model.histogram = true;
    plot->Refr();
    if (!shell::FormVisible(plot)) shell::ShowForm(plot);
    platform::BringToFront(plot);
}

void DrawHistogramBars(const Histogram& h, bool itemLabels, int selected) {
    chart::PlotSignedBarChart(h.SubsetCount, itemLabels, h.ItemLabels, selected);
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
        if (form->Caption() == chart::kTemporaryChartCaption) {
            existed = true;
            if (shell::FormMinimized(form)) shell::SetFormNormal(form);
        }
    }
    return existed;
}

void ArrangeWindowsAfterCurve(bool chartExisted, const std::function<bool(platform::Form*)>& keep) {
    chart::PLOT* plot = chart::TemporaryChart();
    for (platform::Form* form : platform::Forms()) {
        if (form == plot) {
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
    if (plot) platform::BringToFront(plot);
}

}  // namespace kx::results
