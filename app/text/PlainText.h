// Plain text files in a text window. A file's bytes are read
// - as UTF-16 when they start with a UTF-16 byte order mark and are
//   well-formed UTF-16, or have no mark and the structure of UTF-16 text in
//   one byte order (Utf16TextLayout, the rule the check before opening
//   shares);
// - as UTF-8 when they are well-formed UTF-8 (a byte order mark is kept),
//   and also when they are UTF-8 but for a few stray bytes (see
//   DecodeText): each stray byte stands in the text as a mark of its own
//   and is written back as that byte;
// - as Windows-1252 otherwise, where the five bytes that code page leaves
//   undefined stand for the C1 controls of the same number, so every byte
//   reads as a character and writes back as itself.
// Lines end in CR LF, LF or a lone CR, each its own.
//
// The window holds the text as UTF-8 with "\n" line ends. Saving writes it
// back in the file's encoding (byte order and byte order mark, or its
// absence, included) with every line keeping the line end it had in the
// file, also when edited; new lines take the file's most frequent line end.
// So a file saved unedited keeps its bytes.
#pragma once

#include "Files.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::text {

// UTF-16 with its byte order mark, or without one (NoMark).
enum class TextEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Utf16LeNoMark, Utf16BeNoMark, Windows1252 };

// A byte of a UTF-8 file that starts no well-formed character (a stray
// byte, 0x80 to 0xFF) stands in the text as its mark, the private-use
// character kStrayByteMarks + the byte (U+F780 to U+F7FF), which the text
// window shows in colours of its own.
inline constexpr char32_t kStrayByteMarks = 0xF700;
inline bool IsStrayByteMark(char32_t c) { return c >= kStrayByteMarks + 0x80 && c <= kStrayByteMarks + 0xFF; }

// The character of a Windows-1252 byte: from 0x80 to 0x9F the code page's
// own, where the five bytes it leaves undefined stand for the C1 controls of
// the same number; every other byte is its own code point.
char32_t FromWindows1252(unsigned char b);

// The code points of UTF-8 text; a byte that starts no well-formed
// sequence stands for itself.
std::u32string CodePoints(std::string_view utf8);

// The encoding's name as the user sees it ("UTF-8", "Windows-1252", ...).
std::string EncodingName(TextEncoding encoding);

struct DecodedText {
    std::string text;  // UTF-8, line ends as in the file, no byte order mark
    TextEncoding encoding = TextEncoding::Utf8;
    bool strayBytes = false;  // UTF-8 with stray bytes, marked in the text
};

// The bytes as text, in the encoding they are read in (see above). Bytes
// that are UTF-8 but for a few stray bytes (MostlyUtf8: a file whose
// characters beyond ASCII are mostly not UTF-8 is Windows-1252) read as
// UTF-8 with marks, unless they hold characters of the marks' own range
// (a mark would then stand for two things).
DecodedText DecodeText(std::string_view bytes);

// A character of the text that an encoding cannot hold.
struct MissingCharacter {
    std::string character;  // UTF-8
    std::size_t line = 0;   // from 1
};

// The first character of the UTF-8 text that the encoding cannot hold.
std::optional<MissingCharacter> FirstMissingCharacter(std::string_view text, TextEncoding encoding);

// The UTF-8 text in the encoding, with the byte order mark the encoding
// has. With strayBytes (a UTF-8 encoding only) each mark of a stray byte is
// written as that byte. A character the encoding cannot hold throws
// std::invalid_argument: nothing is ever replaced.
std::string EncodeText(std::string_view text, TextEncoding encoding, bool strayBytes = false);

struct SplitText {
    std::string text;                   // every line end made "\n"
    std::vector<files::LineEnd> ends;   // the line end each "\n" stood for
};

// Splits off the line ends: CR LF, LF and a lone CR each become "\n".
SplitText SplitLineEnds(std::string_view text);

// The text with its n-th "\n" made ends[n]; "\n"s beyond the ends become
// `others`. An LF that would follow a lone CR directly (the line between
// them empty) is written as a CR, so the text reads back with as many
// lines.
std::string JoinLineEnds(std::string_view text, const std::vector<files::LineEnd>& ends, files::LineEnd others);

// The most frequent line end (the first found of equally frequent ones);
// CR LF, the system's own, when there is none.
files::LineEnd DominantLineEnd(const std::vector<files::LineEnd>& ends);

// The line ends of an edited text ("\n" line ends), from the text before
// the edit and its line ends: an edited line keeps its own line end, a new
// line takes the dominant one. The lines the edit kept are the most lines
// in order that both texts share (when they differ in no more than
// kMostChangedLines lines; else the lines that stand once in each, and
// between those again the most shared ones). Between kept lines, the
// changed lines are paired in order with the lines they replaced, alike
// ones first: a line paired is that line edited. So a line split in two is
// its first part and the second part is new; lines joined are the first of
// them.
inline constexpr std::size_t kMostChangedLines = 500;
std::vector<files::LineEnd> LineEndsAfterEdit(std::string_view before, const std::vector<files::LineEnd>& endsBefore,
                                              std::string_view after);

// A plain text file as a text window keeps it between loading and saving.
// Default: a new document, saved as UTF-8 with CR LF.
class PlainTextFile {
public:
    PlainTextFile() = default;
    explicit PlainTextFile(std::string_view bytes);

    // The text to show: UTF-8 with "\n" line ends.
    const std::string& Text() const { return text_; }
    TextEncoding Encoding() const { return encoding_; }
    // The text holds NUL characters: binary data, not to be edited.
    bool Binary() const { return binary_; }
    // The file was read as UTF-8 with stray bytes: the marks of its text
    // are written as the bytes they stand for, also once the file holds
    // none (a mark deleted, saved, and brought back by an undo is the byte
    // again).
    bool MarksStandForBytes() const { return marksAreBytes_; }
    // The file as read or last saved holds stray bytes.
    bool StrayBytes() const;
    // How many marks of stray bytes the text holds beyond those of the
    // file, mark by mark (typed or pasted): each would be written as a
    // byte the file did not hold.
    std::size_t MarksAdded(std::string_view text) const;

    // The bytes of the text (UTF-8, "\n" line ends) in the encoding, with
    // the file's line ends kept (see LineEndsAfterEdit).
    std::string Bytes(std::string_view text, TextEncoding encoding) const;
    std::string Bytes(std::string_view text) const { return Bytes(text, encoding_); }

    // The text was saved in the encoding: later saves follow it.
    void Saved(std::string_view text, TextEncoding encoding);

private:
    // The text with the file's line ends kept (see LineEndsAfterEdit).
    std::string joined(std::string_view text) const;

    std::string text_;
    std::vector<files::LineEnd> ends_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool binary_ = false;
    bool marksAreBytes_ = false;
    std::array<std::size_t, 128> marks_{};  // how many marks of each stray byte, 0x80 first
};

}  // namespace kx::text
