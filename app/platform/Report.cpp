#include "Report.h"

#include "Desktop.h"
#include "Files.h"
#include "MessageBox.h"
#include "Modal.h"
#include "Service.h"
#include "Text.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
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
        printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
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

QPageLayout Report::PageLayout() const {
    return QPageLayout(pageSizeOf(PaperSize), Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
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

int Report::Render(QPagedPaintDevice& printer) {
    QPainter p;
    if (!p.begin(&printer)) throw std::runtime_error("The printer cannot be used");
    // Its resolution, for a printer and a PDF writer alike.
    const double scale = printer.logicalDpiY() / kTwipsPerInch;
    const QSizeF pagePoints = printer.pageLayout().fullRectPoints().size();
    const int pageHeight = static_cast<int>(std::lround(pagePoints.height() * 20.0));  // 20 twips per point

    page_ = 1;
    auto startPage = [&] {
        if (PageHeaderFormat) PageHeaderFormat(*this);
        drawBand(p, PageHeader, MarginTop, scale);
        drawBand(p, PageFooter, detailBottom(pageHeight), scale);
    };
    auto nextPage = [&] {
        if (!printer.newPage()) throw std::runtime_error("The printer cannot start a new page");
        ++page_;
        startPage();
    };
    startPage();

    if (Field) {
        p.setFont(Field->font);
        QTextOption option;
        option.setWrapMode(Field->wrapAnywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(8 * QFontMetricsF(Field->font, &printer).horizontalAdvance(QLatin1Char(' ')));
        const double x = (MarginLeft + Field->left) * scale;
        const double width = std::max(1.0, Field->width * scale);
        double y = detailTop() * scale;
        QString text = Field->text;
        if (text.endsWith(QLatin1Char('\n'))) text.chop(1);  // a closing line end starts no line
        for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
            QTextLayout layout(paragraph, Field->font, &printer);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                line.setPosition(QPointF(0, 0));
            }
            layout.endLayout();
            for (int i = 0; i < layout.lineCount(); ++i) {
                const QTextLine line = layout.lineAt(i);
                // A line that does not fit goes to the next page, unless it
                // is the first of its page (it could fit on none).
                if (y + line.height() > detailBottom(pageHeight) * scale && y > detailTop() * scale) {
                    nextPage();
                    p.setFont(Field->font);
                    y = detailTop() * scale;
                }
                line.draw(&p, QPointF(x, y));
                y += line.height();
            }
        }
    }
    if (Picture && Picture->draw) {
        const QRect& r = Picture->place;
        const QRectF target(r.left() * scale, r.top() * scale, r.width() * scale, r.height() * scale);
        p.save();
        p.setClipRect(target);
        struct Restore {
            QPainter& p;
            ~Restore() { p.restore(); }
        } restore{p};
        Picture->draw(p, target);
    }
    auto* device = dynamic_cast<QPrinter*>(&printer);
    if (!p.end() || (device && device->printerState() == QPrinter::Error))
        throw std::runtime_error("The printer could not finish the pages");
    pageCount_ = page_;
    return pageCount_;
}

bool Report::Paint(QPagedPaintDevice& printer) {
    try {
        Render(printer);
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

PrintService* InstallPrintService(PrintService* service) { return printing.Install(service); }

bool PrintReport(Report& report, QPrinter& printer) {
    const QString file = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) return report.Paint(printer);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        // The pages as the printer would have written them into the file.
        QPdfWriter pdf(&buffer);
        pdf.setPdfVersion(printer.pdfVersion());
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        pdf.setTitle(printer.docName());
        pdf.setCreator(printer.creator());
        if (!report.Paint(pdf)) return false;
    }
    try {
        files::WriteAll(FromQ(file), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
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
    std::unique_ptr<QPrinter> printer = service.Printer(report.PageLayout());
    if (reportEnd) reportEnd(PaperCodeOfPrinter(*printer));
    service.Preview(report, *printer);
    report.RaiseKeptError();
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
