// How the results code reports to the user without knowing about windows.
//
// Messages that a procedure shows itself (a refusal, a hint) go to the shell's
// Notifier, which the desktop implements with its message boxes and tests
// with a recorder. A procedure that fails throws; a procedure with a location
// tag throws TaggedError, whose text is the tag followed by the error's
// description, ready for the window's error trap to pass to the shared error
// routine. Nothing fails silently.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Notifier.h"

namespace kx {

// The icons of the messages, as Notifier styles.
enum class MessageIcon {
    Critical = 16,
    Exclamation = 48,
    Information = 64,
};

// A message box with an OK button, the icon and the title "KINOVEX".
void ShowMessage(Notifier& notifier, const std::string& text, MessageIcon icon);

// A failure of a procedure with a location tag. what() is the tag followed
// directly by the description ("Sol#131. " + "Division by zero").
class TaggedError : public std::runtime_error {
public:
    TaggedError(std::string_view tag, std::string_view description);
    TaggedError(std::string_view tag, const std::exception& cause);

    const std::string& Tag() const { return tag_; }
    std::string Description() const { return std::string(what()).substr(tag_.size()); }

private:
    std::string tag_;
};

// A file that a reader refuses (a value or a line that is not as the
// solver writes it): what() is the whole message for the user, in the form
// of FileRefusalText. It is shown as a refusal, with the exclamation icon
// and the program's title, never under a location tag.
class FileRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs body; any exception other than a TaggedError or a FileRefusal leaves
// as a TaggedError with this tag. A TaggedError from a called procedure
// keeps its own tag.
template <class Body>
decltype(auto) RunTagged(std::string_view tag, Body&& body) {
    try {
        return body();
    } catch (const TaggedError&) {
        throw;
    } catch (const FileRefusal&) {
        throw;
    } catch (const std::exception& e) {
        throw TaggedError(tag, e);
    }
}

// Runs body as an error trap does: a failure is reported through the
// notifier, a TaggedError under its own tag, any other error under `tag`;
// a FileRefusal is shown as the refusal it is. Returns true when the body
// ran to its end.
template <class Body>
bool TrapTagged(Notifier& notifier, std::string_view tag, Body&& body) {
    try {
        body();
        return true;
    } catch (const TaggedError& e) {
        notifier.ReportError(e.Tag(), e.Description());
    } catch (const FileRefusal& e) {
        ShowMessage(notifier, e.what(), MessageIcon::Exclamation);
    } catch (const std::exception& e) {
        notifier.ReportError(tag, e.what());
    }
    return false;
}

}  // namespace kx
