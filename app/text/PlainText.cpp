#include "PlainText.h"

#include "TextHelpers.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace kx::text {
namespace {

using files::LineEnd;

// Windows-1252 from 0x80 to 0x9F (see FromWindows1252).
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The code point of well-formed UTF-8 at `at`, which moves past it; false
// for an ill-formed sequence (overlong forms, surrogates and values beyond
// U+10FFFF included).
bool nextCodePoint(std::string_view s, std::size_t& at, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        cp = lead;
        ++at;
        return true;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    if (at + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char c = byte(at + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    at += length;
    return true;
}

bool isUtf8(std::string_view s) {
    char32_t cp = 0;
    for (std::size_t at = 0; at < s.size();)
        if (!nextCodePoint(s, at, cp)) return false;
    return true;
}

// The UTF-16 bytes after the byte order mark as UTF-8; nothing when they
// are not well-formed (an odd byte count or an unpaired surrogate).
std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto b0 = static_cast<unsigned char>(bytes[2 * i]), b1 = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0;
    };
    const std::size_t count = bytes.size() / 2;
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        char32_t u = unit(i);
        if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= count) return std::nullopt;
            const char32_t next = unit(++i);
            if (next < 0xDC00 || next > 0xDFFF) return std::nullopt;
            u = 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00);
        }
        AppendUtf8(text, u);
    }
    return text;
}

std::string fromWindows1252(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        AppendUtf8(text, FromWindows1252(static_cast<unsigned char>(c)));
    }
    return text;
}

// The Windows-1252 byte of a code point; -1 when the code page lacks it.
int windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    const auto* found = std::find(kWindows1252High.begin(), kWindows1252High.end(), cp);
    return found == kWindows1252High.end() ? -1 : 0x80 + static_cast<int>(found - kWindows1252High.begin());
}

bool holds(TextEncoding encoding, char32_t cp) { return encoding != TextEncoding::Windows1252 || windows1252Byte(cp) >= 0; }

// The code points of the UTF-8 text; ill-formed UTF-8 is a fault of the
// caller and throws.
template <typename Each>
void forEachCodePoint(std::string_view text, Each each) {
    char32_t cp = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        if (!nextCodePoint(text, at, cp)) throw std::invalid_argument("The text is not well-formed UTF-8.");
        each(cp, text.substr(start, at - start));
    }
}

void appendUtf16(std::string& out, char32_t cp, bool bigEndian) {
    const auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    if (cp < 0x10000) {
        unit(cp);
    } else {
        unit(0xD800 + ((cp - 0x10000) >> 10));
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', start)) {
        out.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

}  // namespace

char32_t FromWindows1252(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b; }

std::u32string CodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    char32_t cp = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        if (nextCodePoint(utf8, at, cp)) {
            out += cp;
        } else {
            out += static_cast<unsigned char>(utf8[at]);
            ++at;
        }
    }
    return out;
}

std::string EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return "UTF-8";
        case TextEncoding::Utf8Bom: return "UTF-8 with byte order mark";
        case TextEncoding::Utf16Le: return "UTF-16 little-endian";
        case TextEncoding::Utf16Be: return "UTF-16 big-endian";
        case TextEncoding::Windows1252: return "Windows-1252";
    }
    return "";
}

DecodedText DecodeText(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const bool little = bytes.substr(0, 2) == "\xFF\xFE", big = bytes.substr(0, 2) == "\xFE\xFF";
        if (little || big)
            if (std::optional<std::string> text = fromUtf16(bytes.substr(2), big))
                return {std::move(*text), big ? TextEncoding::Utf16Be : TextEncoding::Utf16Le};
    }
    if (isUtf8(bytes)) {
        if (bytes.substr(0, 3) == kUtf8Bom) return {std::string(bytes.substr(3)), TextEncoding::Utf8Bom};
        return {std::string(bytes), TextEncoding::Utf8};
    }
    return {fromWindows1252(bytes), TextEncoding::Windows1252};
}

std::optional<MissingCharacter> FirstMissingCharacter(std::string_view text, TextEncoding encoding) {
    std::optional<MissingCharacter> missing;
    if (encoding != TextEncoding::Windows1252) return missing;
    std::size_t line = 1;
    char32_t cp = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        if (!nextCodePoint(text, at, cp)) throw std::invalid_argument("The text is not well-formed UTF-8.");
        if (cp == '\n') ++line;
        if (!holds(encoding, cp)) return MissingCharacter{std::string(text.substr(start, at - start)), line};
    }
    return missing;
}

std::string EncodeText(std::string_view text, TextEncoding encoding) {
    std::string bytes;
    switch (encoding) {
        case TextEncoding::Utf8Bom: bytes = kUtf8Bom; [[fallthrough]];
        case TextEncoding::Utf8:
            if (!isUtf8(text)) throw std::invalid_argument("The text is not well-formed UTF-8.");
            bytes += text;
            return bytes;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            const bool big = encoding == TextEncoding::Utf16Be;
            bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            bytes.reserve(2 * text.size() + 2);
            forEachCodePoint(text, [&](char32_t cp, std::string_view) { appendUtf16(bytes, cp, big); });
            return bytes;
        }
        case TextEncoding::Windows1252:
            bytes.reserve(text.size());
            forEachCodePoint(text, [&](char32_t cp, std::string_view character) {
                const int b = windows1252Byte(cp);
                if (b < 0)
                    throw std::invalid_argument("Windows-1252 cannot hold the character '" + std::string(character) + "'.");
                bytes += static_cast<char>(b);
            });
            return bytes;
    }
    return bytes;
}

SplitText SplitLineEnds(std::string_view text) {
    SplitText split;
    split.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            split.text += c;
            continue;
        }
        split.text += '\n';
        if (c == '\n') {
            split.ends.push_back(LineEnd::Lf);
        } else if (i + 1 < text.size() && text[i + 1] == '\n') {
            split.ends.push_back(LineEnd::CrLf);
            ++i;
        } else {
            split.ends.push_back(LineEnd::Cr);
        }
    }
    return split;
}

std::string JoinLineEnds(std::string_view text, const std::vector<LineEnd>& ends, LineEnd others) {
    std::string joined;
    joined.reserve(text.size() + text.size() / 32);
    std::size_t n = 0;
    for (char c : text) {
        if (c != '\n') {
            joined += c;
            continue;
        }
        LineEnd end = n < ends.size() ? ends[n] : others;
        ++n;
        // An LF right after a lone CR (an empty line between them) would
        // read back as one CR LF and the empty line would be lost: the
        // empty line ends as the line before it.
        if (end == LineEnd::Lf && !joined.empty() && joined.back() == '\r') end = LineEnd::Cr;
        joined += end == LineEnd::CrLf ? "\r\n" : end == LineEnd::Lf ? "\n" : "\r";
    }
    return joined;
}

LineEnd DominantLineEnd(const std::vector<LineEnd>& ends) {
    if (ends.empty()) return LineEnd::CrLf;
    std::array<std::size_t, 3> count{};
    for (LineEnd end : ends) ++count[static_cast<std::size_t>(end)];
    const std::size_t most = *std::max_element(count.begin(), count.end());
    for (LineEnd end : ends)
        if (count[static_cast<std::size_t>(end)] == most) return end;
    return LineEnd::CrLf;
}

namespace {

// The lines as numbers, equal lines the same number.
std::pair<std::vector<std::size_t>, std::vector<std::size_t>> lineIds(const std::vector<std::string_view>& a,
                                                                      const std::vector<std::string_view>& b) {
    std::unordered_map<std::string_view, std::size_t> ids;
    const auto number = [&](const std::vector<std::string_view>& lines) {
        std::vector<std::size_t> out;
        out.reserve(lines.size());
        for (std::string_view line : lines) out.push_back(ids.emplace(line, ids.size()).first->second);
        return out;
    };
    std::vector<std::size_t> first = number(a);
    return {std::move(first), number(b)};
}

// The pairs (line of a, line of b) of the most lines in order that a and b
// share, found by the shortest edit between them (Myers); nothing when
// that takes more than `most` inserted or removed lines.
std::optional<std::vector<std::pair<std::size_t, std::size_t>>> sharedLines(const std::vector<std::size_t>& a,
                                                                           const std::vector<std::size_t>& b,
                                                                           std::size_t most) {
    const long n = static_cast<long>(a.size()), m = static_cast<long>(b.size());
    const long limit = std::min<long>(n + m, static_cast<long>(most));
    // x reached on diagonal k (x - y) after d edits: v[k + limit + 1].
    std::vector<long> v(static_cast<std::size_t>(2 * limit + 3), 0);
    const auto at = [&](std::vector<long>& w, long k) -> long& { return w[static_cast<std::size_t>(k + limit + 1)]; };
    std::vector<std::vector<long>> trace;
    for (long d = 0; d <= limit; ++d) {
        trace.push_back(v);
        for (long k = -d; k <= d; k += 2) {
            long x = k == -d || (k != d && at(v, k - 1) < at(v, k + 1)) ? at(v, k + 1) : at(v, k - 1) + 1;
            long y = x - k;
            while (x < n && y < m && a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]) ++x, ++y;
            at(v, k) = x;
            if (x < n || y < m) continue;
            // Back from the end: the diagonal runs are the shared lines.
            std::vector<std::pair<std::size_t, std::size_t>> shared;
            for (long e = d; e >= 0; --e) {
                std::vector<long>& before = trace[static_cast<std::size_t>(e)];
                const long kk = x - y;
                long fromX = 0, fromY = 0;
                if (e > 0) {
                    const long fromK =
                        kk == -e || (kk != e && at(before, kk - 1) < at(before, kk + 1)) ? kk + 1 : kk - 1;
                    fromX = at(before, fromK);
                    fromY = fromX - fromK;
                }
                while (x > fromX && y > fromY) {
                    --x, --y;
                    shared.emplace_back(static_cast<std::size_t>(x), static_cast<std::size_t>(y));
                }
                x = fromX, y = fromY;
            }
            std::reverse(shared.begin(), shared.end());
            return shared;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<LineEnd> LineEndsAfterEdit(std::string_view before, const std::vector<LineEnd>& endsBefore,
                                       std::string_view after) {
    const std::vector<std::string_view> old = lines(before), now = lines(after);
    // The end of line i of the old text: none for its last line (and when
    // the old ends do not cover the old text).
    const auto oldEnd = [&](std::size_t i) -> std::optional<LineEnd> {
        if (i + 1 >= old.size() || i >= endsBefore.size()) return std::nullopt;
        return endsBefore[i];
    };
    const LineEnd dominant = DominantLineEnd(endsBefore);

    // The kept lines: those before and after the changed part, and the
    // lines within it that both texts share.
    const std::size_t shorter = std::min(old.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    std::vector<std::pair<std::size_t, std::size_t>> kept;
    for (std::size_t i = 0; i < prefix; ++i) kept.emplace_back(i, i);
    const std::vector<std::string_view> oldMiddle(old.begin() + static_cast<std::ptrdiff_t>(prefix),
                                                  old.end() - static_cast<std::ptrdiff_t>(suffix));
    const std::vector<std::string_view> newMiddle(now.begin() + static_cast<std::ptrdiff_t>(prefix),
                                                  now.end() - static_cast<std::ptrdiff_t>(suffix));
    const auto [oldIds, newIds] = lineIds(oldMiddle, newMiddle);
    if (const auto shared = sharedLines(oldIds, newIds, kMostChangedLines))
        for (const auto& [i, j] : *shared) kept.emplace_back(prefix + i, prefix + j);
    for (std::size_t s = suffix; s > 0; --s) kept.emplace_back(old.size() - s, now.size() - s);

    std::vector<LineEnd> ends(now.size() - 1, dominant);
    const auto setEnd = [&](std::size_t j, std::optional<LineEnd> end) {
        if (j < ends.size()) ends[j] = end.value_or(dominant);
    };
    // The changed lines [newFrom, newTo) that replaced [oldFrom, oldTo).
    const auto changed = [&](std::size_t oldFrom, std::size_t oldTo, std::size_t newFrom, std::size_t newTo) {
        for (std::size_t j = newFrom; j < newTo; ++j) {
            if (oldTo - oldFrom == newTo - newFrom)
                setEnd(j, oldEnd(oldFrom + (j - newFrom)));
            else if (j + 1 == newTo && oldTo > oldFrom)
                setEnd(j, oldEnd(oldTo - 1));
        }
    };
    std::size_t oldNext = 0, newNext = 0;
    for (const auto& [i, j] : kept) {
        changed(oldNext, i, newNext, j);
        setEnd(j, oldEnd(i));
        oldNext = i + 1;
        newNext = j + 1;
    }
    changed(oldNext, old.size(), newNext, now.size());
    return ends;
}

PlainTextFile::PlainTextFile(std::string_view bytes) {
    DecodedText decoded = DecodeText(bytes);
    encoding_ = decoded.encoding;
    binary_ = decoded.text.find('\0') != std::string::npos;
    SplitText split = SplitLineEnds(decoded.text);
    text_ = std::move(split.text);
    ends_ = std::move(split.ends);
}

std::string PlainTextFile::joined(std::string_view text) const {
    const std::vector<LineEnd> ends = text == text_ ? ends_ : LineEndsAfterEdit(text_, ends_, text);
    return JoinLineEnds(text, ends, DominantLineEnd(ends_));
}

std::string PlainTextFile::Bytes(std::string_view text, TextEncoding encoding) const {
    return EncodeText(joined(text), encoding);
}

void PlainTextFile::Saved(std::string_view text, TextEncoding encoding) {
    // The line ends as they were written.
    if (text != text_) ends_ = SplitLineEnds(joined(text)).ends;
    text_ = text;
    encoding_ = encoding;
}

}  // namespace kx::text
