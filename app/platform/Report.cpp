#include "Report.h"

#include "Desktop.h"
#include "Files.h"
#include "MessageBox.h"
#include "Modal.h"
#include "Service.h"
#include "Text.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace kx::platform {
namespace {

constexpr double kTwipsPerInch = 1440.0;

QPageSize pageSizeOf(int paper) { return QPageSize(paper == 9 ? QPageSize::A4 : QPageSize::Letter); }

class QtPrintService : public PrintService {
public:
    std::unique_ptr<QPrinter> Printer(const QPageLayout& wanted) override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setFullPage(true);
        printer->setPageSize(wanted.pageSize());
        printer->setPageOrientation(wanted.orientation());
        printer->setPageMargins(wanted.margins(QPageLayout::Point), QPageLayout::Point);
        return printer;
    }

    void Preview(Report& report, QPrinter& printer) override {
        RefuseRealModalInTests("print preview \"" + report.Caption + "\"");
        QWidget* owner = report.Owner ? report.Owner : QApplication::activeWindow();
        QPrintPreviewDialog dialog(&printer, owner);
        dialog.setWindowTitle(report.Caption);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
            if (!report.Paint(*p)) QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        });
        // Print goes through PrintReport: the dialog's own would close the
        // preview whether the pages reached their file or not.
        if (QAction* print = printAction(dialog)) {
            QObject::disconnect(print, &QAction::triggered, &dialog, nullptr);
            QObject::connect(print, &QAction::triggered, &dialog, [&] {
                QPrintDialog choice(&printer, &dialog);
                // What PrintReport honours: the file, a range of the pages
                // the preview shows, copies and their collation (the
                // dialog's order and colour mode too); neither the current
                // page nor a selection.
                choice.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                                  QAbstractPrintDialog::PrintCollateCopies |
                                  QAbstractPrintDialog::PrintShowPageSize);
                choice.setMinMax(1, std::max(1, report.PageCount()));
                if (ShowModal(choice) != QDialog::Accepted) return;
                if (PrintReport(report, printer))
                    dialog.accept();
                else if (report.HasKeptError())
                    dialog.reject();
            });
        }
        QRect place = report.PreviewGeometry.isEmpty() ? defaultGeometry(report, owner) : report.PreviewGeometry;
        // Never narrower than the dialog's toolbar.
        place.setWidth(std::max(place.width(), dialog.sizeHint().width()));
        dialog.setGeometry(place);
        // The whole page in view: the dialog's own "Fit page" button, so that
        // its toolbar shows the mode.
        if (auto* fitPage = dialog.findChild<QAction*>("fitPageAction"))
            fitPage->trigger();
        else if (auto* preview = dialog.findChild<QPrintPreviewWidget*>())
            preview->fitInView();
        dialog.exec();
    }

private:
    // The toolbar's Print, found by its text as the dialog gives it.
    static QAction* printAction(QPrintPreviewDialog& dialog) {
        const QString text = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* action : dialog.findChildren<QAction*>())
            if (action->text() == text) return action;
        return nullptr;
    }

    // Most of the screen's height, as wide as a page of the report needs
    // beside the dialog's toolbar.
    static QRect defaultGeometry(const Report& report, QWidget* owner) {
        QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSizeF page = report.PageLayout().fullRectPoints().size();
        const int height = area.height() * 85 / 100;
        const int width = std::clamp(static_cast<int>(height * page.width() / page.height()) + 80, 760, area.width());
        return QRect(area.left() + (area.width() - width) / 2, area.top() + (area.height() - height) / 2, width,
                     height);
    }
};

QtPrintService realPrinting;
ServiceSlot<PrintService> printing(realPrinting);

QFont firstInstalled(std::initializer_list<const char*> families, QFont::StyleHint hint) {
    const QStringList installed = QFontDatabase::families();
    QFont font;
    font.setStyleHint(hint);
    for (const char* family : families)
        if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) {
            font.setFamily(QString::fromLatin1(family));
            return font;
        }
    font.setFamily(QString::fromLatin1(*families.begin()));
    return font;
}

}  // namespace

Report::Report(QString name) : Name(std::move(name)) {}

namespace {

constexpr double kTwipsPerPoint = 20.0;

int twipsOf(double points) { return static_cast<int>(std::lround(points * kTwipsPerPoint)); }

ReportPage pageOf(const QPageLayout& layout) {
    const QSizeF points = layout.fullRect(QPageLayout::Point).size();
    const int paper = PaperCodeOf(layout.pageSize().id());
    const bool landscape = layout.orientation() == QPageLayout::Landscape;
    return {paper, landscape,
            PrinterPage(paper, landscape, static_cast<float>(points.width() * kTwipsPerPoint),
                        static_cast<float>(points.height() * kTwipsPerPoint))};
}

// The page's height in whole twips as the paper measures it.
int heightOf(const QPageLayout& layout) {
    return twipsOf(layout.fullRect(QPageLayout::Point).height());
}

PageMargins marginsOf(const QPageLayout& layout) {
    const QMarginsF m = layout.margins(QPageLayout::Point);
    return {twipsOf(m.left()), twipsOf(m.top()), twipsOf(m.right()), twipsOf(m.bottom())};
}

QMarginsF pointsOf(const PageMargins& m) {
    return QMarginsF(m.left / kTwipsPerPoint, m.top / kTwipsPerPoint, m.right / kTwipsPerPoint,
                     m.bottom / kTwipsPerPoint);
}

// A text layout on a device takes its tab stops in units of the screen's
// default resolution and scales them by the device's; the factor, as the
// layout applies it, to give stops in the device's own units.
double tabScale(const QFont& font, QPaintDevice& device) {
    constexpr double probe = 1000;
    QTextOption option;
    option.setTabStopDistance(probe);
    QTextLayout layout(QStringLiteral("\t"), font, &device);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const double scale = line.isValid() ? line.naturalTextWidth() / probe : 0;
    return scale > 0 ? scale : 1;
}

}  // namespace

QPageLayout Report::PageLayout() const {
    QPageLayout layout(pageSizeOf(PaperSize), Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    if (fitted_) layout.setMargins(pointsOf(fittedMargins_));
    return layout;
}

bool Report::Fit(QPageLayout& layout) {
    if (!FitToPage) return false;
    const ReportPage page = pageOf(layout);
    const PageMargins current = marginsOf(layout);
    if (fitted_ && page == fittedPage_ && current == fittedMargins_) return false;
    // Margins other than the ones the report keeps were set by the user.
    std::optional<PageMargins> given;
    if (fitted_ && current != fittedMargins_) given = current;
    fittedMargins_ = FitToPage(*this, page, given);
    fittedPage_ = page;
    fitted_ = true;
    if (fittedMargins_ == current) return false;
    layout.setUnits(QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    layout.setMargins(pointsOf(fittedMargins_));
    return true;
}

int Report::detailTop() const { return MarginTop + (PageHeader.visible ? PageHeader.height : 0); }

int Report::detailBottom(int pageHeight) const {
    return pageHeight - MarginBottom - (PageFooter.visible ? PageFooter.height : 0);
}

void Report::drawBand(QPainter& p, const ReportBand& band, int top, double scale) const {
    if (!band.visible || band.height <= 0) return;
    p.setFont(band.font);
    for (const ReportLabel& label : band.labels) {
        if (!label.visible || label.width <= 0 || label.height <= 0 || label.text.isEmpty()) continue;
        const QRectF place((MarginLeft + label.left) * scale, (top + label.top) * scale, label.width * scale,
                           label.height * scale);
        p.save();
        p.setClipRect(place);
        p.drawText(place, static_cast<int>(label.alignment | Qt::AlignTop) | Qt::TextSingleLine, label.text);
        p.restore();
    }
}

// The report's pages: where each begins, found as far as asked, and a page
// drawn from its beginning. The text field's lines go on a page while they
// fit; a line that does not goes to the next page, unless it is the first
// of its page (it could fit on none). One paragraph's layout is kept, so
// that pages drawn one after the other lay each paragraph out once.
class Report::Pages {
public:
    Pages(Report& report, QPaintDevice& device, int pageHeight)
        : r_(report), device_(device), scale_(device.logicalDpiY() / kTwipsPerInch), pageHeight_(pageHeight) {
        if (!r_.Field) return;
        const ReportTextField& field = *r_.Field;
        text_ = field.text;
        if (text_.endsWith(QLatin1Char('\n'))) text_.chop(1);  // a closing line end starts no line
        for (qsizetype from = 0;;) {
            const qsizetype end = text_.indexOf(QLatin1Char('\n'), from);
            paragraphs_.push_back(QStringView(text_).mid(from, (end < 0 ? text_.size() : end) - from));
            if (end < 0) break;
            from = end + 1;
        }
        option_.setWrapMode(field.wrapAnywhere ? QTextOption::WrapAnywhere
                                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
        // Stops in twips or in the device's units become the layout's.
        const double layoutScale = tabScale(field.font, device_);
        tabUnit_ = scale_ / layoutScale;
        const double eightCharacters = EightCharacterTabDistance(field.font, &device_);
        option_.setTabStopDistance(field.tabDistance > 0 ? field.tabDistance * tabUnit_
                                                         : eightCharacters / layoutScale);
        width_ = std::max(1.0, field.width * scale_);
    }

    // Whether the report has page k (from 1): lays its pages out so far.
    bool Has(int k) {
        while (static_cast<int>(starts_.size()) < k && !ended_) place(static_cast<int>(starts_.size()), nullptr);
        return static_cast<int>(starts_.size()) >= k;
    }

    // The page count: lays every page out.
    int Count() {
        Has(std::numeric_limits<int>::max());
        return static_cast<int>(starts_.size());
    }
    bool Ended() const { return ended_; }

    // Draws page k, which the report has, with its bands.
    void Draw(QPainter& p, int k) {
        place(k, &p);
        r_.drawBand(p, r_.PageHeader, r_.MarginTop, scale_);
        r_.drawBand(p, r_.PageFooter, r_.detailBottom(pageHeight_), scale_);
        if (k == 1 && r_.Picture && r_.Picture->draw) {
            const QRect& where = r_.Picture->place;
            const QRectF target(where.left() * scale_, where.top() * scale_, where.width() * scale_,
                                where.height() * scale_);
            p.save();
            p.setClipRect(target);
            struct Restore {
                QPainter& p;
                ~Restore() { p.restore(); }
            } restore{p};
            r_.Picture->draw(p, target);
        }
    }

private:
    // Where a page's text begins: a paragraph and its line there.
    struct Start {
        int paragraph = 0;
        int line = 0;
    };

    // Formats page k (from 1; its beginning is known) and places its lines,
    // drawing them on p when given; learns where page k + 1 begins.
    void place(int k, QPainter* p) {
        r_.page_ = k;
        if (r_.PageHeaderFormat) r_.PageHeaderFormat(r_);
        if (paragraphs_.empty()) {
            ended_ = true;
            return;
        }
        const Start start = starts_[static_cast<std::size_t>(k - 1)];
        const double top = r_.detailTop() * scale_;
        const double bottom = r_.detailBottom(pageHeight_) * scale_;
        const double x = (r_.MarginLeft + r_.Field->left) * scale_;
        if (p) p->setFont(r_.Field->font);
        double y = top;
        for (int i = start.paragraph; i < static_cast<int>(paragraphs_.size()); ++i) {
            const QTextLayout& layout = paragraph(i);
            for (int j = i == start.paragraph ? start.line : 0; j < layout.lineCount(); ++j) {
                const QTextLine line = layout.lineAt(j);
                if (y + line.height() > bottom && y > top) {
                    if (static_cast<int>(starts_.size()) == k) starts_.push_back({i, j});
                    return;
                }
                if (p) line.draw(p, QPointF(x, y));
                y += line.height();
            }
        }
        if (static_cast<int>(starts_.size()) == k) ended_ = true;
    }

    const QTextLayout& paragraph(int i) {
        if (i == laidOutIndex_) return *laidOut_;
        laidOut_ = std::make_unique<QTextLayout>(paragraphs_[static_cast<std::size_t>(i)].toString(), r_.Field->font,
                                                 &device_);
        QTextOption option = option_;
        const auto& lineTabs = r_.Field->lineTabs;
        if (static_cast<std::size_t>(i) < lineTabs.size() && !lineTabs[static_cast<std::size_t>(i)].empty()) {
            QList<QTextOption::Tab> tabs = lineTabs[static_cast<std::size_t>(i)];
            for (QTextOption::Tab& tab : tabs) tab.position *= tabUnit_;
            option.setTabs(tabs);
        }
        laidOut_->setTextOption(option);
        laidOut_->beginLayout();
        for (QTextLine line = laidOut_->createLine(); line.isValid(); line = laidOut_->createLine()) {
            line.setLineWidth(width_);
            line.setPosition(QPointF(0, 0));
        }
        laidOut_->endLayout();
        laidOutIndex_ = i;
        return *laidOut_;
    }

    Report& r_;
    QPaintDevice& device_;
    double scale_;  // device units a twip
    int pageHeight_;
    QString text_;
    std::vector<QStringView> paragraphs_;
    QTextOption option_;
    double tabUnit_ = 1;  // the layout's tab units a twip
    double width_ = 1;
    std::vector<Start> starts_{Start{}};  // starts_[k - 1]: where page k begins
    bool ended_ = false;                  // starts_ holds every page
    int laidOutIndex_ = -1;
    std::unique_ptr<QTextLayout> laidOut_;
};

int Report::Render(QPagedPaintDevice& printer, const PrintedPages& which) {
    QPageLayout layout = printer.pageLayout();
    if (Fit(layout)) printer.setPageMargins(layout.margins(QPageLayout::Point), QPageLayout::Point);
    const int pageHeight = heightOf(printer.pageLayout());

    Pages pages(*this, printer, pageHeight);
    QPainter p;
    int printed = 0;
    const int copies = std::max(1, which.copies);
    const int documentCopies = which.collate ? copies : 1;
    const int pageCopies = which.collate ? 1 : copies;
    const auto wanted = [&](int k) { return which.pages.isEmpty() || which.pages.contains(k); };
    const auto put = [&](int k) {
        for (int c = 0; c < pageCopies; ++c) {
            if (printed == 0) {
                if (!p.begin(&printer)) throw std::runtime_error("The printer cannot be used");
            } else if (!printer.newPage()) {
                throw std::runtime_error("The printer cannot start a new page");
            }
            pages.Draw(p, k);
            ++printed;
        }
    };
    for (int copy = 0; copy < documentCopies; ++copy) {
        if (which.lastPageFirst) {
            for (int k = pages.Count(); k >= 1; --k)
                if (wanted(k)) put(k);
            continue;
        }
        for (int k = 1; pages.Has(k); ++k) {
            if (!which.pages.isEmpty() && k > which.pages.lastPage()) break;
            if (wanted(k)) put(k);
        }
    }
    if (pages.Ended()) pageCount_ = pages.Count();
    if (printed == 0) throw std::runtime_error("None of the pages asked for is in the report");
    auto* device = dynamic_cast<QPrinter*>(&printer);
    if (!p.end() || (device && device->printerState() == QPrinter::Error))
        throw std::runtime_error("The printer could not finish the pages");
    pagesPrinted_ = printed;
    return printed;
}

bool Report::Paint(QPagedPaintDevice& printer, const PrintedPages& which) {
    try {
        Render(printer, which);
        return true;
    } catch (...) {
        error_ = std::current_exception();
        return false;
    }
}

void Report::RaiseKeptError() {
    if (!error_) return;
    std::exception_ptr e = std::exchange(error_, nullptr);
    std::rethrow_exception(e);
}

int PaperCodeOfPrinter(const QPrinter& printer) { return PaperCodeOf(printer.pageLayout().pageSize().id()); }

PrintedPages PrintedPagesOf(const QPrinter& printer) {
    PrintedPages which;
    if (printer.printRange() == QPrinter::PageRange) which.pages = printer.pageRanges();
    which.copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    which.collate = printer.collateCopies();
    which.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    return which;
}

PrintService* InstallPrintService(PrintService* service) { return printing.Install(service); }

bool PrintReport(Report& report, QPrinter& printer) {
    const QString file = printer.outputFileName();
    const PrintedPages which = PrintedPagesOf(printer);
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) return report.Paint(printer, which);
    std::string bytes;
    try {
        // The printer paints the pages, with every setting the user gave
        // it, into a scratch file; the user's file is only written whole.
        QTemporaryDir scratch;
        if (!scratch.isValid())
            throw std::runtime_error("No room for the pages being printed: " + FromQ(scratch.errorString()));
        const QString pages = scratch.filePath(QStringLiteral("pages.pdf"));
        printer.setOutputFileName(pages);
        const bool painted = report.Paint(printer, which);
        printer.setOutputFileName(file);
        if (!painted) return false;
        bytes = files::ReadAll(FromQ(pages));
        files::WriteAll(FromQ(file), bytes);
    } catch (const std::exception& e) {
        if (report.PrintFailed)
            report.PrintFailed(e);
        else
            MsgBox(ToQ(e.what()), kMsgExclamation);
        return false;
    }
    return true;
}

void ShowReport(Report& report, const std::function<void(int paperTaken)>& reportEnd) {
    PrintService& service = printing.Get();
    QPageLayout wanted = report.PageLayout();
    report.Fit(wanted);
    std::unique_ptr<QPrinter> printer = service.Printer(wanted);
    if (reportEnd) reportEnd(PaperCodeOfPrinter(*printer));
    service.Preview(report, *printer);
    report.RaiseKeptError();
}

double EightCharacterTabDistance(const QFont& font, const QPaintDevice* device) {
    return 8 * QFontMetricsF(font, device).horizontalAdvance(QLatin1Char(' '));
}

QFont MonospacePrintFont(int pointSize) {
    QFont font = firstInstalled({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, QFont::TypeWriter);
    font.setPointSize(pointSize);
    return font;
}

QFont SansPrintFont(int pointSize, bool bold) {
    QFont font = firstInstalled({"Arial", "Liberation Sans", "DejaVu Sans"}, QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace kx::platform
