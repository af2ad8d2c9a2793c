#include "Errors.h"

namespace kx {

std::string_view ErrorDescription(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::FileNotFound: return "File not found";
        case ErrorKind::PathNotFound: return "Path not found";
        case ErrorKind::PermissionDenied: return "Permission denied";
        case ErrorKind::FileWriteFailed: return "The file could not be written";
        case ErrorKind::FileReadFailed: return "The file could not be read";
        case ErrorKind::InputPastEndOfFile: return "Input past end of file";
        case ErrorKind::TypeMismatch: return "Type mismatch";
        case ErrorKind::Overflow: return "Overflow";
        case ErrorKind::DivisionByZero: return "Division by zero";
        case ErrorKind::SubscriptOutOfRange: return "Subscript out of range";
        case ErrorKind::MethodNotSupported: return "The window does not support this property or method";
        case ErrorKind::ObjectNotSet: return "Object variable not set";
        case ErrorKind::InvalidArgument: return "Invalid procedure call or argument";
        case ErrorKind::ComponentMissing: return "This part of the program is not available";
    }
    return "Unknown error";
}

Error::Error(ErrorKind kind) : std::runtime_error(std::string(ErrorDescription(kind))), kind_(kind) {}

Error::Error(ErrorKind kind, const std::string& detail)
    : std::runtime_error(std::string(ErrorDescription(kind)) + ": " + detail), kind_(kind) {}

Error::Error(ErrorKind kind, std::string_view description, const std::string& detail)
    : std::runtime_error(std::string(description) + ": " + detail), kind_(kind) {}

std::string ErrorTextFor(std::string_view tag, const std::exception& e) {
    return std::string(tag) + e.what();
}

bool IsErrorTag(std::string_view t) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto isAlnum = [&](char c) { return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    size_t i = 0;
    while (i < t.size() && isAlnum(t[i])) ++i;
    if (i == 0 || i >= t.size() || t[i] != '#') return false;
    ++i;
    for (int k = 0; k < 3; ++k, ++i)
        if (i >= t.size() || !isDigit(t[i])) return false;
    if (i < t.size() && (t[i] == '-' || t[i] == '.') && i + 1 < t.size() && isDigit(t[i + 1])) {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i;
    }
    std::string_view rest = t.substr(i);
    return rest == ". " || rest == " ";
}

}  // namespace kx
