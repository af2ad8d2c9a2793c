#include "TextReports.h"

#include "Desktop.h"
#include "MessageBox.h"
#include "Messages.h"
#include "Report.h"
#include "RichText.h"
#include "SharedState.h"
#include "Text.h"
#include "TextPrinting.h"
#include "WindowHelpers.h"

#include <QMainWindow>

namespace kx::text {
namespace {

// The header's labels: the left number (Label3), the heading (Label2) and
// the right number (Label1).
constexpr size_t kLeftNumber = 0;
constexpr size_t kRightNumber = 2;

// The field, the labels and the margins of the report where the page has them.
void placeOnReport(platform::Report& r, const TextPageLayout& page) {
    r.MarginLeft = page.marginLeft;
    r.MarginRight = page.marginRight;
    r.MarginTop = page.marginTop;
    r.MarginBottom = page.marginBottom;
    r.Field->left = page.fieldLeft;
    r.Field->width = page.fieldWidth;
    const LabelPlace* places[] = {&page.leftNumber, &page.heading, &page.rightNumber};
    for (std::size_t i = 0; i < r.PageHeader.labels.size(); ++i) {
        platform::ReportLabel& l = r.PageHeader.labels[i];
        l.left = places[i]->left;
        l.width = places[i]->width;
        l.height = places[i]->height;
        l.visible = places[i]->visible;
    }
}

}  // namespace

void ShowTextReport(const QString& text, platform::HasPageSetup& window, const TextTabStops& tabs) {
    const std::array<float, 6> setup = Shared().PageSetupValues;
    const TextLayout layout = ChooseTextLayout(setup);
    const std::string tag = TextLayoutErrorTag(layout);
    shell::TrapRestoringPointer(tag, [&] {
        platform::SetMousePointer(platform::kPointerHourglass);
        std::string heading;
        std::int32_t pageNumbers = 0;
        std::int32_t firstPage = 0;
        window.Get_Page_SetUp(heading, pageNumbers, firstPage);
        const std::int32_t numberAlign = Shared().PageNumberAlign;
        const TextPageLayout page = LayOutTextPage(layout, setup, heading, pageNumbers);

        platform::Report report(TextLayoutName(layout));
        report.Caption = "Print Preview";
        report.Owner = shell::MainWindow();
        report.PrintFailed = [&](const std::exception& e) { shell::ReportError(tag, e); };
        report.PaperSize = page.paper;
        report.Orientation = page.orientation;
        report.PageHeader.height = page.headerHeight;
        report.PageHeader.font = platform::SansPrintFont(9, true);
        // Placed with the field.
        const auto label = [](Qt::Alignment alignment, const QString& text) {
            return platform::ReportLabel{0, 0, 0, 0, alignment, text, true};
        };
        report.PageHeader.labels = {label(Qt::AlignLeft, {}), label(Qt::AlignLeft, platform::ToQ(heading)),
                                    label(Qt::AlignRight, {})};
        report.PageFooter.height = 0;
        // Wrapped as the window wraps it, its tabs at the window's stops.
        report.Field = platform::ReportTextField{page.fieldLeft, page.fieldWidth, text, platform::MonospacePrintFont(10),
                                                 HasWordTooLongToWrap(text)};
        report.Field->tabDistance = tabs.distance;
        report.Field->lineTabs.reserve(tabs.lines.size());
        for (const std::vector<rtf::TabStop>& line : tabs.lines) report.Field->lineTabs.push_back(QtTabStops(line, 1));
        placeOnReport(report, page);
        // On the page it is printed on, whatever turned or changed it.
        report.FitToPage = [setup, heading, pageNumbers](platform::Report& r, const platform::ReportPage& printed,
                                                         const std::optional<PageMargins>& given) {
            const PageTwips& size = printed.size;
            const TextPageLayout laidOut =
                given ? LayOutTextPageWithin(size, *given, heading, pageNumbers)
                      : LayOutTextPageOn(size, setup, heading, pageNumbers);
            placeOnReport(r, laidOut);
            return MarginsOf(laidOut, size);
        };
        report.PageHeaderFormat = [=](platform::Report& r) {
            const PageHeaderTexts header = FormatPageHeader(r.PageNumber(), firstPage, numberAlign, heading, pageNumbers);
            r.PageHeader.height = header.height;
            r.PageHeader.labels[kLeftNumber].text = platform::ToQ(header.leftNumber);
            r.PageHeader.labels[kRightNumber].text = platform::ToQ(header.rightNumber);
        };
        platform::ShowReport(report, [&](int paperTaken) {
            platform::SetMousePointer(platform::kPointerDefault);
            const std::string note = PaperMismatchMessage(layout, setup, paperTaken);
            if (!note.empty()) shell::UserMessage(note, platform::kMsgExclamation);
        });
    });
}

}  // namespace kx::text
