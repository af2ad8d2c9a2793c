#include "Scripted.h"

#include <QDialog>
#include <QTest>

namespace kx::platform::testing {

void FailQtTest(const QString& what) { QTest::qFail(qPrintable(what), __FILE__, __LINE__); }

ScriptedMessages::ScriptedMessages(FailureReporter fail)
    : fail_(std::move(fail)), previous_(InstallMessageService(this)) {}

ScriptedMessages::~ScriptedMessages() {
    InstallMessageService(previous_);
    if (!answers_.empty())
        fail_(QString("%1 scripted answer(s) to message boxes were never asked for").arg(answers_.size()));
}

int ScriptedMessages::Show(const QString& text, int style, const QString& title) {
    shown_.push_back({text, style, title});
    if ((style & 0x0F) != kMsgYesNo) return kAnswerOk;
    if (answers_.empty()) {
        fail_("Unscripted question \"" + text + "\" (answered No)");
        return kAnswerNo;
    }
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

ScriptedDialogs::ScriptedDialogs(FailureReporter fail)
    : fail_(std::move(fail)), previous_(InstallDialogService(this)) {}

ScriptedDialogs::~ScriptedDialogs() {
    InstallDialogService(previous_);
    if (!answers_.empty())
        fail_(QString("%1 scripted dialog answer(s) were never asked for").arg(answers_.size()));
}

std::optional<ScriptedDialogs::Choice> ScriptedDialogs::take(Kind kind) {
    static const char* names[] = {"open", "save", "colour", "font"};
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
    return choice;
}

std::optional<QString> ScriptedDialogs::OpenFile(const FileRequest& request) {
    requests_.push_back({Kind::Open, request, std::nullopt, {}});
    auto c = take(Kind::Open);
    return c ? std::optional<QString>(std::get<QString>(*c)) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::SaveFile(const FileRequest& request) {
    requests_.push_back({Kind::Save, request, std::nullopt, {}});
    auto c = take(Kind::Save);
    return c ? std::optional<QString>(std::get<QString>(*c)) : std::nullopt;
}

std::optional<Bgr> ScriptedDialogs::Colour(std::optional<Bgr> initial) {
    requests_.push_back({Kind::Colour, {}, initial, {}});
    auto c = take(Kind::Colour);
    return c ? std::optional<Bgr>(std::get<Bgr>(*c)) : std::nullopt;
}

std::optional<FontChoice> ScriptedDialogs::Font(const FontRequest& request) {
    requests_.push_back({Kind::Font, {}, std::nullopt, request});
    auto c = take(Kind::Font);
    return c ? std::optional<FontChoice>(std::get<FontChoice>(*c)) : std::nullopt;
}

ScriptedModals::ScriptedModals(FailureReporter fail)
    : fail_(std::move(fail)), previous_(InstallModalService(this)) {}

ScriptedModals::~ScriptedModals() {
    InstallModalService(previous_);
    if (!actions_.empty())
        fail_(QString("%1 scripted modal window action(s) were never used").arg(actions_.size()));
}

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
