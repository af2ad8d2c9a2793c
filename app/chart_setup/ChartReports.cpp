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
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

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
constexpr double kScreenDpi = 96.0;
constexpr double kTwipsPerScreenPixel = 1440.0 / kScreenDpi;

// The chart drawn as vectors into a picture of the size (screen pixels);
// empty when it draws nothing. Errors reach the caller.
std::shared_ptr<QPicture> record(const ChartPainter& chart, const QSizeF& size) {
    auto recorded = std::make_shared<QPicture>();
    QPainter painter(recorded.get());
    chart(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    if (recorded->boundingRect().isEmpty()) return nullptr;
    return recorded;
}

// Plays a picture recorded at `size` into the target. A picture plays at
// its own resolution on any device: the scale takes the device's
// resolution out again.
void play(QPainter& painter, const QPicture& recorded, const QSizeF& size, const QRectF& target) {
    const QPaintDevice* device = painter.device();
    const double sx = target.width() / size.width() * recorded.logicalDpiX() / device->logicalDpiX();
    const double sy = target.height() / size.height() * recorded.logicalDpiY() / device->logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    painter.drawPicture(0, 0, recorded);
    painter.restore();
}

// The charts recorded for a print, by size: the one the page set-up asked
// for, and one for each other page the preview or the print dialog turned
// or changed it to, laid out for that page by the chart as long as its
// window is there.
struct Recordings {
    ChartPainter chart;
    QPointer<QWidget> window;
    QSizeF firstSize;
    std::shared_ptr<QPicture> first;
    std::vector<std::pair<QSizeF, std::shared_ptr<QPicture>>> others;

    void draw(QPainter& painter, const QRectF& target) {
        const QPaintDevice* device = painter.device();
        const QSizeF size(target.width() * kScreenDpi / device->logicalDpiX(),
                          target.height() * kScreenDpi / device->logicalDpiY());
        const auto same = [&](const QSizeF& s) {
            return std::abs(s.width() - size.width()) < 0.5 && std::abs(s.height() - size.height()) < 0.5;
        };
        if (same(firstSize)) return play(painter, *first, firstSize, target);
        for (const auto& [s, picture] : others)
            if (same(s)) return play(painter, *picture, s, target);
        std::shared_ptr<QPicture> picture;
        if (window) shell::IgnoreErrors([&] { picture = record(chart, size); });
        if (picture) {
            others.emplace_back(size, picture);
            return play(painter, *picture, size, target);
        }
        // The chart is gone or cannot be drawn at this size: the first
        // picture, whole, in the middle of the target.
        const double scale = std::min(target.width() / firstSize.width(), target.height() / firstSize.height());
        const QSizeF fitted(firstSize.width() * scale, firstSize.height() * scale);
        play(painter, *first, firstSize,
             QRectF(target.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted));
    }
};

}  // namespace

ChartPainter PRINT_CHART(platform::Form* window, float HVal_Tw, float WVal_Tw) {
    auto recordings = std::make_shared<Recordings>();
    recordings->chart = painterOf(window);
    recordings->window = window->Widget();
    // The chart is recorded once, as vectors, at the picture's size on a
    // screen: texts and lines keep the proportions they have on the screen,
    // the pages need the window no more, and a chart that cannot be drawn
    // stops the printing here, before any page.
    recordings->firstSize = QSizeF(WVal_Tw / kTwipsPerScreenPixel, HVal_Tw / kTwipsPerScreenPixel);
    const bool drawn = shell::Trap("Plot#088. ", [&] {
        recordings->first = record(recordings->chart, recordings->firstSize);
        if (!recordings->first) throw Error(ErrorKind::InvalidArgument, "the chart draws nothing");
    });
    if (!drawn) return {};
    return [recordings](QPainter& painter, const QRectF& target) { recordings->draw(painter, target); };
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
        // On the page it is printed on, whatever turned or changed it.
        report.FitToPage = [](platform::Report& r, const platform::ReportPage& printed,
                              const std::optional<PageMargins>& given) {
            const PageTwips& page = printed.size;
            const TwipsRect p =
                given ? PicturePlaceWithin(page, printed.paper, *given)
                      : PicturePlace(PlanChartPrintOn(page, printed.paper));
            r.Picture->place = QRect(p.left, p.top, p.width, p.height);
            return MarginsAround(page, p.left, p.top, p.width, p.height);
        };
        platform::ShowReport(report, [&](int paperTaken) {
            platform::SetMousePointer(platform::kPointerDefault);
            const std::string note = ChartPaperWarning(plan.layout, paperTaken);
            if (!note.empty()) shell::UserMessage(note, platform::kMsgExclamation);
        });
    });
}

}  // namespace kx::chart_setup
