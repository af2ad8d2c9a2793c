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

platform::ReportLabel label(const LabelPlace& place, Qt::Alignment alignment, const QString& text) {
    return {place.left, 0, place.width, place.height, alignment, text, place.visible};
}

}  // namespace

void ShowTextReport(const QString& text, platform::HasPageSetup& window) {
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
        report.MarginLeft = page.marginLeft;
        report.MarginRight = page.marginRight;
        report.MarginTop = page.marginTop;
        report.MarginBottom = page.marginBottom;
        report.PageHeader.height = page.headerHeight;
        report.PageHeader.font = platform::SansPrintFont(9, true);
        report.PageHeader.labels = {label(page.leftNumber, Qt::AlignLeft, {}),
                                    label(page.heading, Qt::AlignLeft, platform::ToQ(heading)),
                                    label(page.rightNumber, Qt::AlignRight, {})};
        report.PageFooter.height = 0;
        // Wrapped as the window wraps it.
        report.Field = platform::ReportTextField{page.fieldLeft, page.fieldWidth, text, platform::MonospacePrintFont(10),
                                                 HasWordTooLongToWrap(text)};
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
