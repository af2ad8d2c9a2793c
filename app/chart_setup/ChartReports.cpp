#include "ChartReports.h"

#include "Desktop.h"
#include "Errors.h"
#include "Forms.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Report.h"
#include "WindowHelpers.h"

#include <QMainWindow>
#include <QPainter>
#include <QPicture>
#include <QPointer>

namespace kx::chart_setup {

ChartPainter PRINT_CHART(platform::Form* window, float HVal_Tw, float WVal_Tw) {
    auto& chart = platform::Require<PrintableChart>(window);
    QPointer<QWidget> alive(window->Widget());
    ChartPainter draw = [&chart, alive](QPainter& painter, const QRectF& target) {
        if (!alive) throw Error(ErrorKind::ObjectNotSet, "the chart window is closed");
        chart.RenderChart(painter, target);
    };
    // The chart is drawn once before anything is printed: a chart that
    // cannot be drawn stops the printing here, not on a blank page.
    const bool drawn = shell::Trap("Plot#088. ", [&] {
        QPicture probe;
        QPainter painter(&probe);
        draw(painter, QRectF(0, 0, WVal_Tw / 15.0, HVal_Tw / 15.0));  // at 96 dots per inch
        painter.end();
        if (probe.boundingRect().isEmpty()) throw Error(ErrorKind::InvalidArgument, "the chart draws nothing");
    });
    return drawn ? draw : ChartPainter();
}

void ShowChartReport(const ChartPrintPlan& plan, const ChartPainter& draw) {
    shell::TrapRestoringPointer(ChartLayoutErrorTag(plan.layout), [&] {
        platform::SetMousePointer(platform::kPointerHourglass);
        platform::Report report(ChartLayoutName(plan.layout));
        report.Caption = "Print Preview";
        report.Owner = shell::MainWindow();
        if (report.Owner) {
            const QRect main = report.Owner->frameGeometry();
            const WindowPlace w = ChartPreviewPlace(plan.layout, main.left(), main.top(), main.width(), main.height());
            report.PreviewGeometry = QRect(w.left, w.top, w.width, w.height);
        }
        report.PaperSize = plan.paper;
        report.Orientation = plan.orientation;
        // Only the detail: no page header, no page footer.
        report.PageHeader.visible = false;
        report.PageFooter.visible = false;
        const TwipsRect place = PicturePlace(plan);
        report.Picture = platform::ReportPicture{QRect(place.left, place.top, place.width, place.height), draw};
        platform::ShowReport(report, [&](int paperTaken) {
            platform::SetMousePointer(platform::kPointerDefault);
            const std::string note = ChartPaperWarning(plan.layout, paperTaken);
            if (!note.empty()) shell::UserMessage(note, platform::kMsgExclamation);
        });
    });
}

}  // namespace kx::chart_setup
