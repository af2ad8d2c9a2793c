// How the results code reports to the user without knowing about windows.
//
// Messages that a procedure shows itself (a refusal, a hint) go to a
// MessageSink that the owning window implements with its message boxes, so
// tests read them. A procedure that fails throws; a procedure with a location
// tag throws TaggedError, whose text is the tag followed by the error's
// description, ready for the window's error trap to pass to the shared error
// routine. Nothing fails silently.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kx {

enum class MessageIcon {
    Critical = 16,
    Exclamation = 48,
    Information = 64,
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A message box with an OK button, the given icon and the title "KINOVEX".
    virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
    // The shared error routine: the text (a tag and a description) with the
    // exclamation icon and the program's default title.
    virtual void ShowErrorMessage(std::string_view text) = 0;
};

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

// Runs body; any exception other than a TaggedError leaves as a TaggedError
// with this tag. A TaggedError from a called procedure keeps its own tag.
template <class Body>
decltype(auto) RunTagged(std::string_view tag, Body&& body) {
    try {
        return body();
    } catch (const TaggedError&) {
        throw;
    } catch (const std::exception& e) {
        throw TaggedError(tag, e);
    }
}

}  // namespace kx
