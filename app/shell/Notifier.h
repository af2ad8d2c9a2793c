// Where procedures without windows send what they show the user.
//
// A check that reads files and tells the user why it refuses one takes a
// Notifier: on the desktop it is DesktopNotifier() (Messages.h), which shows
// message boxes; a test passes one that records the messages.
#pragma once

#include <string>
#include <string_view>

namespace kx {

class Notifier {
public:
    virtual ~Notifier() = default;
    // A message box with the style (16 critical, 48 exclamation, 64
    // information; plus 4 for Yes and No) and the title.
    virtual void Message(const std::string& text, int style, const std::string& title) = 0;
    // An error trap's report: ErrorText := tag + description, then the
    // shared message routine shows it.
    virtual void ReportError(std::string_view tag, std::string_view description) = 0;
};

}  // namespace kx
