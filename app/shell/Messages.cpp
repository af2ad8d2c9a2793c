#include "Messages.h"

#include "Desktop.h"
#include "Errors.h"
#include "MessageBox.h"
#include "SharedState.h"
#include "Text.h"

#include <QLineEdit>

namespace kx::shell {

int UserMessage(const std::string& text, int style, const std::string& okCaption) {
    return platform::MsgBox(platform::ToQ(text), style, kMessageTitle, platform::ToQ(okCaption));
}

bool AskReplaceFile(const std::string& path, const std::string& question) {
    return UserMessage("The file '" + path + "' already exists.\r\n" + question,
                       platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2) ==
           platform::kAnswerYes;
}

void ShowErrorMessage(const std::string& text) {
    IgnoreErrors([&] { platform::MsgBox(platform::ToQ(text), platform::kMsgExclamation); });
}

void ReportError(std::string_view tag, std::string_view description) {
    Shared().ErrorText = std::string(tag) + std::string(description);
    ShowErrorMessage(Shared().ErrorText);
}

void ReportError(std::string_view tag, const std::exception& error) { ReportError(tag, std::string_view(error.what())); }

void RestoreDefaultPointer() { platform::SetMousePointer(platform::kPointerDefault); }

namespace {

class MessageBoxNotifier : public Notifier {
public:
    void Message(const std::string& text, int style, const std::string& title) override {
        platform::MsgBox(platform::ToQ(text), style, platform::ToQ(title));
    }
    void ReportError(std::string_view tag, std::string_view description) override {
        shell::ReportError(tag, description);
    }
};

}  // namespace

Notifier& DesktopNotifier() {
    static MessageBoxNotifier notifier;
    return notifier;
}

void ShowInputError(QWidget* /*owner*/, const QString& message, QLineEdit* textBox, int /*tabIndex*/) {
    Trap("Sol#202.1 ", [&] {
        platform::MsgBox(message, platform::kMsgExclamation, kMessageTitle);
        if (!textBox) throw Error(ErrorKind::ObjectNotSet);
        if (!textBox->isVisible() || !textBox->isEnabled())
            throw Error(ErrorKind::InvalidArgument, "the box cannot take the focus");
        textBox->setFocus();
        textBox->setSelection(0, static_cast<int>(textBox->text().size()));
    });
}

}  // namespace kx::shell
