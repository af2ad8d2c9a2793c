// The shared message routine and the error traps of the windows.
//
// Every procedure that can fail runs its body inside Trap with its location
// tag: a failure stores the tag followed by the error's description in the
// shared ErrorText and shows it with ShowErrorMessage ("Sol#303. File not
// found"). Procedures whose failures are ignored run it inside IgnoreErrors.
#pragma once

#include "Notifier.h"

#include <QString>

#include <exception>
#include <string>
#include <string_view>

class QLineEdit;
class QWidget;

namespace kx::shell {

// The title of direct user messages.
inline constexpr const char* kMessageTitle = "KINOVEX";

// A direct user message: the text (UTF-8) in a message box of the style
// under the title kMessageTitle, the OK button captioned okCaption when it is
// not empty. Returns the answer.
int UserMessage(const std::string& text, int style, const std::string& okCaption = {});

// Asks before an existing file is replaced: "The file '<path>' already
// exists." and the question (" Replace it?"-style text after a line break),
// Yes and No with No the default. True for Yes.
bool AskReplaceFile(const std::string& path, const std::string& question);

// Shows the text with the exclamation icon and an OK button under the
// program's default title. Errors inside it are ignored.
void ShowErrorMessage(const std::string& text);

// ErrorText := tag + description; then ShowErrorMessage(ErrorText).
void ReportError(std::string_view tag, std::string_view description);
void ReportError(std::string_view tag, const std::exception& error);

// The notifier of the desktop: Message shows a message box, ReportError
// goes through the shared message routine.
Notifier& DesktopNotifier();

// Runs the body; any error it raises is reported with the tag. Returns
// true when the body ran to its end.
template <class Body>
bool Trap(std::string_view tag, Body&& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        ReportError(tag, e);
    } catch (...) {
        ReportError(tag, "Unknown error");
    }
    return false;
}

// As Trap, with the mouse pointer set back to the default before a failure
// is shown.
void RestoreDefaultPointer();
template <class Body>
bool TrapRestoringPointer(std::string_view tag, Body&& body) {
    return Trap(tag, [&] {
        try {
            body();
        } catch (...) {
            RestoreDefaultPointer();
            throw;
        }
    });
}

// Runs the body and drops any error it raises. Returns true when it ran to
// its end.
template <class Body>
bool IgnoreErrors(Body&& body) {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

// Reports a bad entry: the message (exclamation icon, title "KINOVEX"), then
// the text box gets the focus with its whole text selected, so the next
// keystroke replaces it. A box that cannot take the focus (hidden or
// disabled) is reported with the tag "Sol#202.1 ". The owner and the tab
// index are not used.
void ShowInputError(QWidget* owner, const QString& message, QLineEdit* textBox, int tabIndex = 0);

}  // namespace kx::shell
