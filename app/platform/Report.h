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
// ShowReport gets a printer from the print service with the report's page
// layout, hands the paper the printer took to the caller's report end, and
// shows the preview; its Print prints through PrintReport. The print
// service is replaceable: tests install ScriptedPrinting
// (kx_platform_testing), which prints the pages into a PDF file through
// PrintReport instead of showing a window.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRect>
#include <QString>

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
// boundaries where it can, or anywhere) and flow from page to page.
struct ReportTextField {
    int left = 0;  // from the left page margin
    int width = 0;
    QString text;
    QFont font;
    // Wrap anywhere: finding word boundaries in a text of words longer than
    // lines costs time by the square of their length.
    bool wrapAnywhere = false;
};

// A picture of the detail, drawn once on the first page into its place.
struct ReportPicture {
    QRect place;  // twips, from the page's top-left corner
    std::function<void(QPainter& painter, const QRectF& target)> draw;
};

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
    // Pages of the last rendering.
    int PageCount() const { return pageCount_; }
    // The page layout a printer is to take: paper, orientation, no margins
    // (the report places everything from the page's edges).
    QPageLayout PageLayout() const;

    // Draws every page on the printer (or a PDF writer) and returns the
    // page count. Errors reach the caller, a painter that cannot end its
    // pages and a printer in its error state included.
    int Render(QPagedPaintDevice& printer);
    // As Render, for the print services: an error is kept (nothing reaches
    // the event loop) and raised by ShowReport after the preview.
    bool Paint(QPagedPaintDevice& printer);
    bool HasKeptError() const { return static_cast<bool>(error_); }
    void RaiseKeptError();

private:
    void drawBand(QPainter& p, const ReportBand& band, int top, double scale) const;
    int detailTop() const;
    int detailBottom(int pageHeight) const;

    int page_ = 0;
    int pageCount_ = 0;
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

// Prints the report on the printer the user chose (the preview's Print).
// Pages for a PDF file are painted in memory and written through
// files::WriteAll only when painting ended without error, so the file is
// replaced whole or not at all (its permissions and names kept); a write
// that fails leaves it as it was and is told through report.PrintFailed.
// True when printed; false also after an error while drawing, which is
// kept (Paint).
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

}  // namespace kx::platform
