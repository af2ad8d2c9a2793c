// Printed reports: pages laid out on a printer and shown in a preview from
// which the user prints (or prints to a PDF file).
//
// A Report is one page layout: paper and orientation, page margins, a page
// header and a page footer band with labels, and a detail that is either a
// text field flowing over as many pages as it needs or one picture. Every
// length is in twips (1440 per inch) from the page's edges; fonts are in
// points. PageHeaderFormat runs before each page is drawn and may change
// the bands (their height, the labels' texts and visibility); PageNumber()
// tells it which page it is.
//
// The page a report is printed on may not be the one it was made for: the
// printer keeps a paper of its own, or the user turns the page or changes
// its paper or margins in the preview or the print dialog. FitToPage lays
// the report out again on the page it is drawn on, before its pages are
// drawn, so the preview shows the pages as they come out.
//
// ShowReport gets a printer from the print service with the report's page
// layout, hands the paper the printer took to the caller's report end, and
// shows the preview; its Print prints through PrintReport the pages, copies
// and order the user chose in the print dialog. The print service is
// replaceable: tests install ScriptedPrinting (kx_platform_testing), which
// prints the pages into a PDF file through PrintReport instead of showing a
// window.
#pragma once

#include "PaperSizes.h"

#include <QFont>
#include <QPageLayout>
#include <QPageRanges>
#include <QRect>
#include <QString>
#include <QTextOption>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace kx::platform {

struct ReportLabel {
    int left = 0;  // from the left page margin
    int top = 0;   // from the top of its band
    int width = 0;
    int height = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    QString text;
    bool visible = true;
};

struct ReportBand {
    int height = 0;
    bool visible = true;
    QFont font;
    std::vector<ReportLabel> labels;
};

// A text field of the detail: its lines are wrapped at its width (at word
// boundaries where it can, or anywhere) and flow from page to page. A tab
// moves on to the next tab stop of its line.
struct ReportTextField {
    int left = 0;  // from the left page margin
    int width = 0;
    QString text;
    QFont font;
    // Wrap anywhere: finding word boundaries in a text of words longer than
    // lines costs time by the square of their length.
    bool wrapAnywhere = false;
    // Tab stops every tabDistance twips from the field's left (0: every
    // eight characters of the font), after the stops a line has of its own:
    // lineTabs[i] for line i of the text (from 0), their places in twips
    // from the field's left; lines past its end have none.
    int tabDistance = 0;
    std::vector<QList<QTextOption::Tab>> lineTabs{};
};

// A picture of the detail, drawn once on the first page into its place.
struct ReportPicture {
    QRect place;  // twips, from the page's top-left corner
    std::function<void(QPainter& painter, const QRectF& target)> draw;
};

// The page a report is drawn on.
struct ReportPage {
    int paper = 0;  // its paper code (1 Letter, 5 Legal, 9 A4), 0 for another size
    bool landscape = false;
    PageTwips size;  // width across; Letter and A4 as the page set-up has them (PrinterPage)
    bool operator==(const ReportPage&) const = default;
};

// Which pages a printing puts out, and how often, as the print dialog asks.
struct PrintedPages {
    QPageRanges pages{};       // empty: every page
    int copies = 1;            // made by the report (a printer that makes copies itself gets 1)
    bool collate = true;       // whole copies one after the other, else each page so many times
    bool lastPageFirst = false;
};

// The pages the user chose for the printer: the range of "Pages from ...
// to" (every page for any other choice), the copies the printer does not
// make itself, their collation and the order.
PrintedPages PrintedPagesOf(const QPrinter& printer);

class Report {
public:
    explicit Report(QString name);

    QString Name;                       // the layout's name, as a test sees it
    QString Caption = "Print Preview";  // the preview window's title
    int PaperSize = 1;                  // paper code: 1 Letter, 9 A4
    int Orientation = 1;                // 1 portrait, 2 landscape
    int MarginLeft = 0;
    int MarginRight = 0;
    int MarginTop = 0;
    int MarginBottom = 0;
    ReportBand PageHeader;
    ReportBand PageFooter;
    std::optional<ReportTextField> Field;
    std::optional<ReportPicture> Picture;
    std::function<void(Report&)> PageHeaderFormat;
    // Lays the report out on the page (its fields, labels and picture, and
    // its own margins), within the margins the user gave the page, or by
    // the report's own rules when none are given (the page is new: its
    // paper or orientation changed). Returns the margins the layout keeps;
    // the page set-up of the preview and of the print dialog show them.
    // Without it the report keeps its layout on any page.
    std::function<PageMargins(Report& report, const ReportPage& page, const std::optional<PageMargins>& given)>
        FitToPage;

    // The window that owns the preview (nullptr: the active window) and the
    // preview's place on the screen (empty: a size that shows a page).
    QWidget* Owner = nullptr;
    QRect PreviewGeometry;

    // Says why printing failed where drawing did not (a PDF file that
    // cannot be written: "The disk is full: <path>"), while the preview
    // stays open; by default in a message box of its own.
    std::function<void(const std::exception& why)> PrintFailed;

    // The page being formatted: 1 on the first.
    int PageNumber() const { return page_; }
    // The report's pages as the preview numbers them, counted by the last
    // rendering that laid the report out to its end (0 before).
    int PageCount() const { return pageCount_; }
    // The pages the last rendering put on the printer, copies included.
    int PagesPrinted() const { return pagesPrinted_; }
    // The page layout a printer is to take: paper, orientation and the
    // margins the report keeps (it places everything from the page's edges
    // itself: the layout is of the full page).
    QPageLayout PageLayout() const;
    // Lays the report out on the page of the layout (FitToPage) unless it
    // is laid out on it already, and gives the layout the margins the
    // report keeps; true when they changed.
    bool Fit(QPageLayout& layout);

    // Lays the report out on the printer's page (or a PDF writer's), draws
    // the pages asked for on it and returns how many it drew. Errors reach
    // the caller, a painter that cannot end its pages, a printer in its
    // error state and a range without any page of the report included.
    int Render(QPagedPaintDevice& printer, const PrintedPages& which = {});
    // As Render, for the print services: an error is kept (nothing reaches
    // the event loop) and raised by ShowReport after the preview.
    bool Paint(QPagedPaintDevice& printer, const PrintedPages& which = {});
    bool HasKeptError() const { return static_cast<bool>(error_); }
    void RaiseKeptError();

private:
    class Pages;

    void drawBand(QPainter& p, const ReportBand& band, int top, double scale) const;
    int detailTop() const;
    int detailBottom(int pageHeight) const;

    int page_ = 0;
    int pageCount_ = 0;
    int pagesPrinted_ = 0;
    // The page the report was last laid out on and the margins it kept.
    bool fitted_ = false;
    ReportPage fittedPage_;
    PageMargins fittedMargins_;
    std::exception_ptr error_;
};

// The paper code of a Qt page size and back (anything not A4 is Letter).
int PaperCodeOfPrinter(const QPrinter& printer);

// Where reports go. Printer returns a printer set up with the page layout
// as far as it takes it; Preview shows the pages (report.Paint) until the
// user is done.
class PrintService {
public:
    virtual ~PrintService() = default;
    virtual std::unique_ptr<QPrinter> Printer(const QPageLayout& wanted) = 0;
    virtual void Preview(Report& report, QPrinter& printer) = 0;
};

// Installs a service (nullptr: the real one) and returns the one it replaces.
PrintService* InstallPrintService(PrintService* service);

// Prints the report on the printer the user chose (the preview's Print),
// laid out on the printer's page, the pages, copies and order the user
// asked for (PrintedPagesOf). Pages for a PDF file are painted by the
// printer (so in its colour mode) into a scratch file of their own and
// written through files::WriteAll only when painting ended without error,
// so the file is replaced whole or not at all (its permissions and names
// kept); a write that fails leaves it as it was and is told through
// report.PrintFailed. True when printed; false also after an error while
// drawing, which is kept (Paint).
bool PrintReport(Report& report, QPrinter& printer);

// Runs the report: the printer takes its page layout, reportEnd (when
// given) learns the paper the printer took, then the preview shows with
// the whole page in view. An error while drawing closes the preview and
// reaches the caller.
void ShowReport(Report& report, const std::function<void(int paperTaken)>& reportEnd = {});

// The fonts of printed pages: "Courier New" where it is installed, else a
// monospace of the same metrics ("Liberation Mono", then "DejaVu Sans
// Mono"); "Arial", else "Liberation Sans", then "DejaVu Sans".
QFont MonospacePrintFont(int pointSize);
QFont SansPrintFont(int pointSize, bool bold);

// The distance between tab stops where a text sets none, in the device's
// units: eight characters of the font, in the text window as on paper.
double EightCharacterTabDistance(const QFont& font, const QPaintDevice* device);

}  // namespace kx::platform
