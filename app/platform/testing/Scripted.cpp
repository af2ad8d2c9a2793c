#include "Scripted.h"

#include <QDialog>
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

int ScriptedMessages::Show(const QString& text, int style, const QString& title) {
    shown_.push_back({text, style, title});
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

}  // namespace kx::platform::testing
