#include "Scripted.h"

#include <utility>

#include <QBuffer>
#include <QDialog>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QTest>

namespace kx::platform::testing {

void FailQtTest(const QString& what) { QTest::qFail(qPrintable(what), __FILE__, __LINE__); }

namespace {
// Answers queued but never used mean the test expected something that did
// not happen.
void reportUnused(const FailureReporter& fail, size_t count, const char* what) {
    if (count > 0) fail(QString("%1 scripted %2 never used").arg(count).arg(what));
}
}  // namespace

ScriptedMessages::ScriptedMessages(FailureReporter fail) : fail_(std::move(fail)) {}

ScriptedMessages::~ScriptedMessages() { reportUnused(fail_, answers_.size(), "message box answer(s)"); }

int ScriptedMessages::Show(const QString& text, int style, const QString& title, const QString& okCaption) {
    shown_.push_back({text, style, title, okCaption});
    const int buttons = style & 0x0F;
    if (buttons != kMsgYesNo && buttons != kMsgYesNoCancel && buttons != kMsgOkCancel) return kAnswerOk;
    if (answers_.empty()) {
        const int refusal = buttons == kMsgYesNo ? kAnswerNo : kAnswerCancel;
        fail_("Unscripted question \"" + text + (refusal == kAnswerNo ? "\" (answered No)" : "\" (answered Cancel)"));
        return refusal;
    }
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

ScriptedDialogs::ScriptedDialogs(FailureReporter fail) : fail_(std::move(fail)) {}

ScriptedDialogs::~ScriptedDialogs() { reportUnused(fail_, answers_.size(), "dialog answer(s)"); }

template <class T>
std::optional<T> ScriptedDialogs::answer(Request request) {
    static const char* names[] = {"open", "save", "colour", "font"};
    const Kind kind = request.kind;
    requests_.push_back(std::move(request));
    if (answers_.empty()) {
        fail_(QString("Unscripted %1 dialog (cancelled)").arg(names[static_cast<int>(kind)]));
        return std::nullopt;
    }
    auto [queuedKind, choice] = answers_.front();
    answers_.pop_front();
    if (queuedKind != kind) {
        fail_(QString("A %1 dialog came where a %2 dialog was scripted (cancelled)")
                  .arg(names[static_cast<int>(kind)], names[static_cast<int>(queuedKind)]));
        return std::nullopt;
    }
    if (std::holds_alternative<std::monostate>(choice)) return std::nullopt;
    return std::get<T>(choice);
}

std::optional<QString> ScriptedDialogs::OpenFile(const FileRequest& request) {
    return answer<QString>({Kind::Open, request, std::nullopt, {}});
}

std::optional<QString> ScriptedDialogs::SaveFile(const FileRequest& request) {
    return answer<QString>({Kind::Save, request, std::nullopt, {}});
}

std::optional<Bgr> ScriptedDialogs::Colour(std::optional<Bgr> initial) {
    return answer<Bgr>({Kind::Colour, {}, initial, {}});
}

std::optional<FontChoice> ScriptedDialogs::Font(const FontRequest& request) {
    return answer<FontChoice>({Kind::Font, {}, std::nullopt, request});
}

ScriptedModals::ScriptedModals(FailureReporter fail) : fail_(std::move(fail)) {}

ScriptedModals::~ScriptedModals() { reportUnused(fail_, actions_.size(), "modal window action(s)"); }

int ScriptedModals::Run(QDialog& dialog) {
    shown_.push_back(dialog.windowTitle());
    dialog.setResult(QDialog::Rejected);
    if (actions_.empty()) {
        fail_("Unscripted modal window \"" + dialog.windowTitle() + "\" (rejected)");
        return QDialog::Rejected;
    }
    Action action = std::move(actions_.front());
    actions_.pop_front();
    dialog.show();
    action(dialog);
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

ScriptedPrinting::ScriptedPrinting(QString folder) : folder_(std::move(folder)) {}

ScriptedPrinting::~ScriptedPrinting() = default;

std::unique_ptr<QPrinter> ScriptedPrinting::Printer(const QPageLayout& wanted) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(chosenFile_.isEmpty() ? QString("%1/report-%2.pdf").arg(folder_).arg(asked_.size() + 1)
                                                     : std::exchange(chosenFile_, QString()));
    printer->setFullPage(true);
    printer->setPageSize(keptPaper_ == 0 ? wanted.pageSize()
                                         : QPageSize(keptPaper_ == 9   ? QPageSize::A4
                                                     : keptPaper_ == 5 ? QPageSize::Legal
                                                                       : QPageSize::Letter));
    printer->setPageOrientation(wanted.orientation());
    printer->setPageMargins(wanted.margins(QPageLayout::Point), QPageLayout::Point);
    asked_.push_back(wanted);
    return printer;
}

void ScriptedPrinting::Preview(Report& report, QPrinter& printer) {
    Shown shown;
    shown.name = report.Name;
    shown.caption = report.Caption;
    shown.pdf = printer.outputFileName();
    shown.paperTaken = PaperCodeOfPrinter(printer);
    shown.layout = asked_.empty() ? QPageLayout() : asked_.back();
    shown.previewGeometry = report.PreviewGeometry;
    if (auto change = std::exchange(beforePrint_, nullptr)) {
        // The preview shows the pages before the user changes anything.
        QByteArray pages;
        QBuffer buffer(&pages);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter preview(&buffer);
        preview.setResolution(printer.resolution());
        preview.setPageLayout(printer.pageLayout());
        report.Paint(preview);
        change(printer);
    }
    shown.printed = PrintReport(report, printer);
    if (shown.printed) shown.pages = report.PagesPrinted();
    if (report.Picture) shown.picture = report.Picture->place;
    shown_.push_back(shown);
}

}  // namespace kx::platform::testing
