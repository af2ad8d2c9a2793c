// Small helpers on byte text: blanks around a text, ASCII letter case and
// the first characters of a line, as the file readers compare them. None
// depends on the C library's locale.
#pragma once

#include <climits>
#include <string>
#include <string_view>

namespace kx {

// The text without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);

// The text with the ASCII letters upper-cased / lower-cased; other bytes
// are kept.
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// The text without the spaces around it / before it (tabs are kept).
std::string_view Trim(std::string_view text);
std::string_view LTrim(std::string_view text);

// Characters start..start+length-1 of the text, counted from 1, as far as
// the text reaches.
std::string_view Mid(std::string_view text, int start, int length = INT_MAX);

// The last n characters of the text (all of it when shorter).
inline std::string_view Right(std::string_view text, std::size_t n) {
    return n >= text.size() ? text : text.substr(text.size() - n);
}

// The first n characters of the text (all of it when shorter).
inline std::string_view Left(std::string_view text, std::size_t n) { return text.substr(0, n); }

// Appends the code point as UTF-8 (U+FFFD for a value that is no character).
void AppendUtf8(std::string& out, char32_t cp);

// Text of the program's own files (Latin-1 bytes, one byte one character)
// as UTF-8, for a message, a chart, a text window or the clipboard: the
// characters the grids show.
std::string Latin1ToUtf8(std::string_view bytes);

// True when the first n characters of the trimmed line, upper-cased, equal
// word (word is given in capitals and n is its length).
bool TrimmedStartsUpper(std::string_view line, std::string_view word);

}  // namespace kx
