#include "ChartReports.h"

#include "Desktop.h"
#include "Errors.h"
#include "Forms.h"
#include "MessageBox.h"
#include "Messages.h"
#include "PLOT.h"
#include "Report.h"
#include "WindowHelpers.h"

#include <QMainWindow>
#include <QPainter>
#include <QPicture>

#include <memory>

namespace kx::chart_setup {

namespace {

// How the window draws its chart: a chart window (PLOT) or any window that
// offers PrintableChart; another window raises into the caller's trap.
ChartPainter painterOf(platform::Form* window) {
    if (!window) throw Error(ErrorKind::ObjectNotSet);
    if (auto* plot = dynamic_cast<chart::PLOT*>(window))
        return [plot](QPainter& painter, const QRectF& target) { plot->RenderChart(painter, target); };
    auto* chart = &platform::Require<PrintableChart>(window);
    return [chart](QPainter& painter, const QRectF& target) { chart->RenderChart(painter, target); };
}

// Twips a pixel on a screen of 96 dots per inch.
constexpr double kTwipsPerScreenPixel = 1440.0 / 96.0;

}  // namespace

ChartPainter PRINT_CHART(platform::Form* window, float HVal_Tw, float WVal_Tw) {
    const ChartPainter chart = painterOf(window);
    // The chart is recorded once, as vectors, at the picture's size on a
    // screen: texts and lines keep the proportions they have on the screen,
    // the pages need the window no more, and a chart that cannot be drawn
    // stops the printing here, before any page.
    auto recorded = std::make_shared<QPicture>();
    const QSizeF size(WVal_Tw / kTwipsPerScreenPixel, HVal_Tw / kTwipsPerScreenPixel);
    const bool drawn = shell::Trap("Plot#088. ", [&] {
        QPainter painter(recorded.get());
        chart(painter, QRectF(QPointF(0, 0), size));
        painter.end();
        if (recorded->boundingRect().isEmpty()) throw Error(ErrorKind::InvalidArgument, "the chart draws nothing");
    });
    if (!drawn) return {};
    return [recorded, size](QPainter& painter, const QRectF& target) {
        // A picture plays at its own resolution on any device: the scale
        // takes the device's resolution out again.
        const QPaintDevice* device = painter.device();
        const double sx = target.width() / size.width() * recorded->logicalDpiX() / device->logicalDpiX();
        const double sy = target.height() / size.height() * recorded->logicalDpiY() / device->logicalDpiY();
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(sx, sy);
        painter.drawPicture(0, 0, *recorded);
        painter.restore();
    };
}

void ShowChartReport(const ChartPrintPlan& plan, const ChartPainter& draw) {
    const std::string tag = ChartLayoutErrorTag(plan.layout);
    shell::TrapRestoringPointer(tag, [&] {
        platform::SetMousePointer(platform::kPointerHourglass);
        platform::Report report(ChartLayoutName(plan.layout));
        report.Caption = "Print Preview";
        report.Owner = shell::MainWindow();
        report.PrintFailed = [&](const std::exception& e) { shell::ReportError(tag, e); };
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
