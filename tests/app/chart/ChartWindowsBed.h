// The main window with the chart windows installed, for the tests of chart
// windows inside it: a WindowTestBed with its fake clock and the charts'
// random source at a known start. Dropping it deletes the windows and
// uninstalls the chart windows.
#pragma once

#include "ChartRandom.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "PLOT_Module3.h"
#include "PlotDialogs.h"

#include "DesktopTestSupport.h"

#include <QCoreApplication>

namespace kx::test {

class ChartWindowsBed : public WindowTestBed {
public:
    explicit ChartWindowsBed(bool withMainWindow = true) {
        chart::InstallChartWindows();
        chart::ChartRandom().Seed(chart::RandomSource::kDefaultSeed);
        Shared().PlotSubtitle = std::string(10, ' ');
        Shared().SelectionColor = kYellow;
        if (withMainWindow) {
            main = new shell::MDIForm1;
            main->resize(1200, 800);
            main->show();
        }
    }
    ~ChartWindowsBed() {
        DeleteAllWindows();
        shell::InstallFormCreator(shell::kChartWindow, nullptr);
        shell::InstallFormCreator(chart::kExportDialog, nullptr);
    }

    // A curve of the Temporary Chart: points (x, y), appended or anew.
    static chart::PLOT* curve(const std::vector<double>& xs, const std::vector<double>& ys, const std::string& legend,
                              bool append = false, const std::string& tip = "", double timeScale = 1) {
        bool failed = false;
        bool add = append;
        chart::ShowTemporaryChart(static_cast<int>(xs.size()) + 1, {xs, ys}, 0, failed, tip, legend,
                                  chart::IsTemporaryChartOpen(), add, timeScale);
        if (failed || add) return nullptr;
        return chart::TemporaryChart();
    }

    // A histogram as the results window hands it over: subset 0 the zero
    // line, subsets 1..n the bars (value to 0 at height s).
    static void histogramHandOff(const std::vector<double>& values) {
        SharedState& s = Shared();
        const int n = static_cast<int>(values.size());
        s.PlotSubsetCount = static_cast<std::int16_t>(n + 1);
        s.PlotPointCount = 2;
        s.PlotData.assign(static_cast<std::size_t>(2 * (n + 1)), std::vector<double>(2, chart::kMissing));
        s.PlotData[0] = {0, 0};
        s.PlotData[1] = {0, static_cast<double>(n + 1)};
        s.PlotSubsetLabels = {""};
        for (int k = 1; k <= n; ++k) {
            s.PlotData[static_cast<std::size_t>(2 * k)] = {values[static_cast<std::size_t>(k - 1)], 0};
            s.PlotData[static_cast<std::size_t>(2 * k + 1)] = {static_cast<double>(k), static_cast<double>(k)};
            s.PlotSubsetLabels.push_back("R" + std::to_string(k) + ", 1.00E-03 (mol/g)");
        }
    }

    // Lays the chart out at a usable size, so that pixels and graph units
    // convert.
    static void layOut(chart::PLOT* chart) {
        shell::ShowForm(chart);
        chart->resize(900, 650);
        QCoreApplication::processEvents();
        chart->View()->replot(QCustomPlot::rpImmediateRefresh);
    }

    shell::MDIForm1* main = nullptr;
};

}  // namespace kx::test
