#include "PlainText.h"

namespace kx::text {

files::LineEnd DetectLineEnd(std::string_view bytes) {
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos) return files::LineEnd::CrLf;
    if (bytes[at] == '\n') return files::LineEnd::Lf;
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? files::LineEnd::CrLf : files::LineEnd::Cr;
}

std::string NormalizeLineEnds(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            text += bytes[i];
            continue;
        }
        text += '\n';
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    return text;
}

std::string ApplyLineEnd(std::string_view text, files::LineEnd end) {
    const std::string_view mark = end == files::LineEnd::CrLf ? "\r\n" : end == files::LineEnd::Lf ? "\n" : "\r";
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n')
            bytes += mark;
        else
            bytes += c;
    }
    return bytes;
}

}  // namespace kx::text
