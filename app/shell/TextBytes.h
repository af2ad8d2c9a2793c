// What the bytes of a text file are, for the check before a file opens and
// for the text window's reading of it alike: well-formed UTF-8, control
// characters, and whether the bytes are UTF-16 text and in which byte
// order. A file may be the whole or only its first bytes ("head"); where
// the bytes stop short of the file, a character cut by their end counts
// as whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kx {

// How many bytes from the start of a file tell what it holds.
inline constexpr std::size_t kTextHeadSize = 64 * 1024;

// How many bytes a well-formed UTF-8 character that begins with the byte
// `lead` beyond ASCII has: 2 to 4, or 0 where no character begins with it.
constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The code point of well-formed UTF-8 at `at`, which moves past it; false
// for an ill-formed sequence (overlong forms, surrogates and values beyond
// U+10FFFF included), `at` then unmoved. (Inline: readers of whole files
// call it for every character.)
inline bool NextUtf8(std::string_view s, std::size_t& at, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        cp = lead;
        ++at;
        return true;
    }
    const std::size_t length = Utf8SequenceLength(lead);
    if (length == 0) return false;
    // The second byte's range where the lead allows fewer: no overlong
    // form, surrogate or value beyond U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    char32_t value = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    if (at + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = byte(at + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
        value = (value << 6) | (c & 0x3F);
    }
    cp = value;
    at += length;
    return true;
}

// Well-formed UTF-8 throughout; with `whole` false a character cut by the
// end of the bytes counts as whole.
bool IsUtf8(std::string_view bytes, bool whole = true);

// The bytes read as UTF-8.
struct Utf8Count {
    std::size_t wide = 0;   // well-formed characters beyond ASCII
    std::size_t stray = 0;  // bytes that start no well-formed character
    bool controls = false;  // NUL or another control byte (IsControlCharacter)
};
Utf8Count CountUtf8(std::string_view bytes, bool whole = true);

// UTF-8 but for a few stray bytes: no more of them than well-formed
// characters beyond ASCII (which UTF-8 throughout is too). Bytes whose
// characters beyond ASCII are mostly not UTF-8 are text of a code page.
inline bool MostlyUtf8(const Utf8Count& count) { return count.stray <= count.wide; }

// A character that text does not hold: the C0 controls but tab, line
// feed, vertical tab, form feed, carriage return, backspace, the
// end-of-file mark of old files (SUB) and escape (terminal colours in
// logs), and DEL.
bool IsControlCharacter(std::uint32_t c);

enum class ByteOrder { None, Little, Big };

struct Utf16Layout {
    ByteOrder order = ByteOrder::None;  // None: no UTF-16 text
    bool mark = false;                  // begins with its byte order mark
};

// Whether the first bytes of a file of `size` bytes are UTF-16 text, and
// in which byte order.
//
// A byte order mark (FF FE, FE FF) says so by itself. Without one the text
// is known by its structure, in the one byte order that has it:
// - the file has an even number of bytes, and they are not text of one
//   byte a character as it most often is: they hold NUL or control bytes,
//   or are not even mostly UTF-8 (so ASCII or UTF-8 text, stray bytes
//   among it or not, is never taken for UTF-16); without a NUL byte (so
//   without ASCII) they are at least four characters;
// - laid out as UTF-16 in that byte order: at most half the units are two
//   ASCII bytes (as nearly all of a text of one byte a character are), or
//   the high bytes take at most half as many values as the low ones (one
//   script, as kana, where the low bytes may be ASCII letters);
// - every code unit is a character: surrogates come in pairs, no
//   noncharacter (U+FFFE, a byte order mark read the wrong way round,
//   among them), and no U+0A00 or U+0D00 (a line end read the wrong way
//   round: line ends are U+000A and U+000D);
// - at least 19 characters in 20 are of the scripts, punctuation and
//   symbols texts are written in, so that few are control characters,
//   private use or of rare ranges.
// Where both byte orders have it, the one with more such characters, then
// the one whose high bytes take fewer values than its low ones, then the
// one with more ASCII, else little-endian. A text of a few characters
// without a line end or blank can be either; one longer or with them is
// not.
// Only the first kTextHeadSize bytes are judged, all the check before
// opening reads: the reading of a whole file tells it as that check does.
Utf16Layout Utf16TextLayout(std::string_view bytes, std::uint64_t size);
// The same for bytes that are the whole file.
inline Utf16Layout Utf16TextLayout(std::string_view file) { return Utf16TextLayout(file, file.size()); }

}  // namespace kx
