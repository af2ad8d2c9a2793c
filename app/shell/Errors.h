// Errors of the desktop program's procedures.
//
// A procedure that fails throws kx::Error (or lets a standard exception
// through); the error trap at the boundary of a window event catches it and
// builds the shared message text from its location tag and the error's
// description ("Sol#106. " followed by "Division by zero"), then shows it.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kx {

enum class ErrorKind {
    FileNotFound,
    PathNotFound,
    PermissionDenied,
    FileWriteFailed,
    FileReadFailed,
    InputPastEndOfFile,
    TypeMismatch,
    Overflow,
    DivisionByZero,
    SubscriptOutOfRange,
    MethodNotSupported,
    ObjectNotSet,
    InvalidArgument,
    ComponentMissing,  // a window or service of the program that is not installed
};

// The description shown after a location tag.
std::string_view ErrorDescription(ErrorKind kind);

class Error : public std::runtime_error {
public:
    explicit Error(ErrorKind kind);
    Error(ErrorKind kind, const std::string& detail);  // description, then ": " and the detail
    // A description of its own in place of the kind's (the system's reason
    // for a failed file operation), then ": " and the detail.
    Error(ErrorKind kind, std::string_view description, const std::string& detail);
    ErrorKind kind() const { return kind_; }

private:
    ErrorKind kind_;
};

// The text an error trap stores: the tag followed directly by the description
// of the caught exception ("MDI#011. " + "Subscript out of range").
std::string ErrorTextFor(std::string_view tag, const std::exception& e);

// True when the text is a location tag: a code of letters and digits, "#",
// three digits, optionally "-" or "." and more digits, then ". " or one blank.
bool IsErrorTag(std::string_view tag);

}  // namespace kx
