// The printing of a chart: one chart picture on one page of Letter or A4,
// portrait or landscape, at the size the page layout gives, shown in the
// print preview from which the user prints.
#pragma once

#include "ChartPrintLayout.h"

#include <QRectF>

#include <functional>

class QPainter;

namespace kx::platform {
class Form;
}

namespace kx::chart_setup {

// Draws a chart into the target rectangle of the painter.
using ChartPainter = std::function<void(QPainter& painter, const QRectF& target)>;

// A window that draws a chart for printing as the chart window (PLOT)
// does: the whole chart, scaled into the target rectangle.
class PrintableChart {
public:
    virtual ~PrintableChart() = default;
    virtual void RenderChart(QPainter& painter, const QRectF& target) = 0;
};

// The picture of the active chart window (PLOT, or a PrintableChart) for
// printing at the size (twips, height first): checks that the window can
// draw its chart at that size and returns how to draw it. Drawn into a
// place of another size (the page was turned or changed in the preview or
// the print dialog), the chart is laid out for that place while its window
// is there, else its picture is drawn whole in the middle of the place. A
// window that is no chart raises into the caller's trap; a chart that
// cannot be drawn is reported ("Plot#088. ") and gives an empty painter.
ChartPainter PRINT_CHART(platform::Form* window, float HVal_Tw, float WVal_Tw);

// Prints the picture on the layout of the plan and shows the preview; the
// mouse pointer is back to normal when the preview shows, and a landscape
// layout whose paper the printer did not take is named first. On a page
// the printer kept or the user turned or changed, the picture takes the
// place the plan's rules give on that page, or all the room within the
// margins the user gave it. Failures are reported with the layout's tag
// ("PlotRep#001. " ...).
void ShowChartReport(const ChartPrintPlan& plan, const ChartPainter& draw);

}  // namespace kx::chart_setup
