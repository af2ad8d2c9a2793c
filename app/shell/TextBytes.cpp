#include "TextBytes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace kx {
namespace {

// The characters texts are written in: where a UTF-16 reading's
// characters stand when it reads text in the right byte order. Read the
// wrong way round, the same text falls into these ranges only by chance.
constexpr std::pair<char32_t, char32_t> kTextRanges[] = {
    {0x0009, 0x000A}, {0x000C, 0x000D}, {0x0020, 0x007E},
    {0x00A0, 0x06FF},  // Latin, IPA, combining marks, Greek, Cyrillic, Armenian, Hebrew, Arabic
    {0x0900, 0x0EFF},  // the scripts of India and Sri Lanka, Thai, Lao
    {0x10A0, 0x11FF},  // Georgian, Hangul jamo
    {0x1E00, 0x1FFF},  // Latin extended additional, Greek extended
    {0x2010, 0x205E},  // dashes, quotation marks, bullets, ellipsis, primes
    {0x20A0, 0x20BF},  // currency
    {0x2100, 0x23FF},  // letterlike symbols, number forms, arrows, mathematical and technical symbols
    {0x2460, 0x27BF},  // enclosed numbers, box drawing, blocks, shapes, symbols, dingbats
    {0x3000, 0x33FF},  // CJK punctuation, kana, bopomofo, compatibility jamo, enclosed CJK
    {0x4E00, 0x9FFF},  // CJK ideographs
    {0xAC00, 0xD7A3},  // Hangul syllables
    {0xF900, 0xFAFF},  // CJK compatibility ideographs
    {0xFE30, 0xFE4F},  // CJK compatibility forms
    {0xFF00, 0xFFEF},  // full and half width forms
};

// UTF-16 text without a NUL byte holds no ASCII character: no line end,
// no blank. As short as this, its bytes are as likely a word of a code page.
constexpr std::size_t kFewestCharactersWithoutNul = 4;

bool textCharacter(char32_t c) {
    return std::any_of(std::begin(kTextRanges), std::end(kTextRanges),
                       [c](const auto& range) { return c >= range.first && c <= range.second; });
}

// A code unit that no UTF-16 text holds: a noncharacter (U+FFFE is a byte
// order mark read the wrong way round), or a line end read the wrong way
// round.
bool noCharacter(char32_t u) {
    return u == 0xFFFE || u == 0xFFFF || (u >= 0xFDD0 && u <= 0xFDEF) || u == 0x0A00 || u == 0x0D00;
}

// A byte of ASCII text: tab, a line end or a printable character.
bool asciiTextByte(unsigned char b) { return b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b <= 0x7E); }

// The two byte columns of the bytes as 16-bit units: in UTF-16 text one of
// them says the script (few values), the other the letter (many); text of
// one byte a character has letters in both, most units two ASCII bytes.
struct Columns {
    std::size_t units = 0;
    std::size_t asciiPairs = 0;  // units of two ASCII text bytes
    std::size_t evenValues = 0;  // how many values the bytes at even places take
    std::size_t oddValues = 0;

    explicit Columns(std::string_view bytes) {
        std::array<bool, 256> even{}, odd{};
        units = bytes.size() / 2;
        for (std::size_t i = 0; i < units; ++i) {
            const auto first = static_cast<unsigned char>(bytes[2 * i]);
            const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
            asciiPairs += asciiTextByte(first) && asciiTextByte(second);
            even[first] = odd[second] = true;
        }
        evenValues = static_cast<std::size_t>(std::count(even.begin(), even.end(), true));
        oddValues = static_cast<std::size_t>(std::count(odd.begin(), odd.end(), true));
    }

    // The high bytes (in the even places, or the odd) take fewer values
    // than the low ones.
    bool FewerHighValues(bool highEven) const {
        return highEven ? evenValues < oddValues : oddValues < evenValues;
    }
    // Laid out as UTF-16 text with its high bytes in the even or odd places:
    // at most half the units two ASCII bytes, or the high bytes of at most
    // half as many values as the low ones.
    bool Utf16Like(bool highEven) const {
        const std::size_t high = highEven ? evenValues : oddValues, low = highEven ? oddValues : evenValues;
        return asciiPairs * 2 <= units || high * 2 <= low;
    }
};

// The bytes as UTF-16 in one byte order.
struct Utf16Reading {
    bool laidOut = false;  // Columns::Utf16Like
    bool wellFormed = true;
    std::size_t characters = 0;
    std::size_t text = 0;   // of the text ranges, supplementary characters too
    std::size_t ascii = 0;  // tab, line ends and printable ASCII
    bool fewerHighValues = false;

    // Laid out as UTF-16, well-formed, and at least 19 characters in 20 of
    // the text ranges.
    bool IsText() const { return laidOut && wellFormed && characters > 0 && text * 20 >= characters * 19; }
    // More plausible than the other reading: more characters of the text
    // ranges, then high bytes of fewer values than the low ones, then more
    // ASCII.
    bool Beats(const Utf16Reading& other) const {
        if (!other.IsText()) return true;
        if (text != other.text) return text > other.text;
        if (fewerHighValues != other.fewerHighValues) return fewerHighValues;
        return ascii > other.ascii;
    }
};

Utf16Reading readUtf16(std::string_view bytes, bool big, bool whole, const Columns& columns) {
    Utf16Reading reading;
    reading.laidOut = columns.Utf16Like(big);
    reading.fewerHighValues = columns.FewerHighValues(big);
    if (!reading.laidOut) return reading;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]), b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return big ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = unit(i);
        ++reading.characters;
        if (u >= 0xD800 && u <= 0xDBFF) {
            // A pair cut by the end of the head counts as whole.
            if (i + 1 == count && !whole) {
                ++reading.text;
                break;
            }
            if (i + 1 == count || unit(i + 1) < 0xDC00 || unit(i + 1) > 0xDFFF) {
                reading.wellFormed = false;
                break;
            }
            ++i;
            ++reading.text;
            continue;
        }
        if ((u >= 0xDC00 && u <= 0xDFFF) || noCharacter(u)) {
            reading.wellFormed = false;
            break;
        }
        if (textCharacter(u)) {
            ++reading.text;
            reading.ascii += u < 0x80;
        }
    }
    return reading;
}

// The bytes that stop short of the file at `at` begin a character that the
// bytes after them would complete.
bool cutCharacter(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = Utf8SequenceLength(lead);
    if (length == 0 || bytes.size() - at >= length) return false;
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at) + 1, bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
}

}  // namespace

bool IsUtf8(std::string_view bytes, bool whole) {
    char32_t cp = 0;
    for (std::size_t at = 0; at < bytes.size();)
        if (static_cast<unsigned char>(bytes[at]) < 0x80)
            ++at;
        else if (!NextUtf8(bytes, at, cp))
            return !whole && cutCharacter(bytes, at);
    return true;
}

Utf8Count CountUtf8(std::string_view bytes, bool whole) {
    Utf8Count count;
    char32_t cp = 0;
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;
    for (std::size_t at = 0; at < bytes.size();) {
        // Eight ASCII bytes at a time, none below a blank nor DEL: a text's
        // most common run (line ends and tabs go byte by byte).
        if (at + 8 <= bytes.size()) {
            std::uint64_t w = 0;
            std::memcpy(&w, bytes.data() + at, 8);
            const std::uint64_t notDel = w ^ (kOnes * 0x7F);
            const std::uint64_t belowBlank = (w - kOnes * 0x20) & ~w, del = (notDel - kOnes) & ~notDel;
            if (((w | belowBlank | del) & kHighBits) == 0) {
                at += 8;
                continue;
            }
        }
        const auto b = static_cast<unsigned char>(bytes[at]);
        if (b < 0x80) {
            count.controls = count.controls || IsControlCharacter(b);
            ++at;
        } else if (NextUtf8(bytes, at, cp)) {
            ++count.wide;
        } else if (!whole && cutCharacter(bytes, at)) {
            break;
        } else {
            ++count.stray;
            ++at;
        }
    }
    return count;
}

bool IsControlCharacter(std::uint32_t c) {
    if (c == 0x7F) return true;
    if (c >= 0x20) return false;
    return c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' && c != 0x08 && c != 0x1A && c != 0x1B;
}

Utf16Layout Utf16TextLayout(std::string_view bytes, std::uint64_t size) {
    if (bytes.starts_with("\xFF\xFE")) return {ByteOrder::Little, true};
    if (bytes.starts_with("\xFE\xFF")) return {ByteOrder::Big, true};
    const std::string_view head = bytes.substr(0, kTextHeadSize);
    if (size % 2 != 0 || head.size() < 2) return {};
    const bool whole = head.size() >= size;
    // Text of one byte a character as it most often is.
    if (const Utf8Count count = CountUtf8(head, whole); !count.controls && MostlyUtf8(count)) return {};
    // Without a NUL byte (no ASCII among it) a few characters say too little.
    if (head.size() < 2 * kFewestCharactersWithoutNul && head.find('\0') == std::string_view::npos) return {};
    const Columns columns(head);
    const Utf16Reading little = readUtf16(head, false, whole, columns), big = readUtf16(head, true, whole, columns);
    if (big.IsText() && big.Beats(little)) return {ByteOrder::Big, false};
    // Little-endian also where both are equally plausible: the byte order of
    // the systems that write most of it.
    if (little.IsText()) return {ByteOrder::Little, false};
    return {};
}

}  // namespace kx
