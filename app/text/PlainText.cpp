#include "PlainText.h"

#include "TextBytes.h"
#include "TextHelpers.h"

#include <algorithm>
#include <array>
#include <cstdint>
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

// The UTF-16 bytes (after the byte order mark) as UTF-8; nothing when
// they are not well-formed (an odd byte count or an unpaired surrogate).
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

// A character of the marks' range among the well-formed UTF-8 (EF 9E or
// EF 9F, then a continuation byte).
bool holdsMarkCharacters(std::string_view bytes) {
    for (std::size_t at = bytes.find('\xEF'); at != std::string_view::npos && at + 2 < bytes.size();
         at = bytes.find('\xEF', at + 1)) {
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        const auto third = static_cast<unsigned char>(bytes[at + 2]);
        if ((second == 0x9E || second == 0x9F) && (third & 0xC0) == 0x80) return true;
    }
    return false;
}

// The UTF-8 bytes with each stray byte made its mark.
std::string markStrayBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    char32_t cp = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t start = at;
        if (NextUtf8(bytes, at, cp)) {
            text += bytes.substr(start, at - start);
        } else {
            AppendUtf8(text, kStrayByteMarks + static_cast<unsigned char>(bytes[at]));
            ++at;
        }
    }
    return text;
}

bool isUtf8Encoding(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom;
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
        if (!NextUtf8(text, at, cp)) throw std::invalid_argument("The text is not well-formed UTF-8.");
        each(cp, text.substr(start, at - start));
    }
}

// How many marks of each stray byte the UTF-8 text holds, 0x80 first.
std::array<std::size_t, 128> countMarks(std::string_view text) {
    std::array<std::size_t, 128> count{};
    forEachCodePoint(text, [&](char32_t cp, std::string_view) {
        if (IsStrayByteMark(cp)) ++count[cp - kStrayByteMarks - 0x80];
    });
    return count;
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
        if (NextUtf8(utf8, at, cp)) {
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
        case TextEncoding::Utf16LeNoMark: return "UTF-16 little-endian without byte order mark";
        case TextEncoding::Utf16BeNoMark: return "UTF-16 big-endian without byte order mark";
        case TextEncoding::Windows1252: return "Windows-1252";
    }
    return "";
}

DecodedText DecodeText(std::string_view bytes) {
    if (const Utf16Layout utf16 = Utf16TextLayout(bytes); utf16.order != ByteOrder::None) {
        const bool big = utf16.order == ByteOrder::Big;
        if (std::optional<std::string> text = fromUtf16(bytes.substr(utf16.mark ? 2 : 0), big)) {
            const TextEncoding encoding = utf16.mark ? (big ? TextEncoding::Utf16Be : TextEncoding::Utf16Le)
                                                     : (big ? TextEncoding::Utf16BeNoMark : TextEncoding::Utf16LeNoMark);
            return {std::move(*text), encoding};
        }
    }
    // Stray bytes are marked unless the file holds characters of the marks'
    // range: a mark would then stand for two things.
    const Utf8Count count = CountUtf8(bytes);
    if (count.stray == 0 || (MostlyUtf8(count) && !holdsMarkCharacters(bytes))) {
        const bool mark = bytes.substr(0, 3) == kUtf8Bom;
        const std::string_view body = bytes.substr(mark ? 3 : 0);
        return {count.stray == 0 ? std::string(body) : markStrayBytes(body),
                mark ? TextEncoding::Utf8Bom : TextEncoding::Utf8, count.stray > 0};
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
        if (!NextUtf8(text, at, cp)) throw std::invalid_argument("The text is not well-formed UTF-8.");
        if (cp == '\n') ++line;
        if (!holds(encoding, cp)) return MissingCharacter{std::string(text.substr(start, at - start)), line};
    }
    return missing;
}

std::string EncodeText(std::string_view text, TextEncoding encoding, bool strayBytes) {
    std::string bytes;
    switch (encoding) {
        case TextEncoding::Utf8Bom: bytes = kUtf8Bom; [[fallthrough]];
        case TextEncoding::Utf8:
            if (strayBytes) {
                bytes.reserve(bytes.size() + text.size());
                forEachCodePoint(text, [&](char32_t cp, std::string_view character) {
                    if (IsStrayByteMark(cp))
                        bytes += static_cast<char>(cp - kStrayByteMarks);
                    else
                        bytes += character;
                });
                return bytes;
            }
            if (!IsUtf8(text)) throw std::invalid_argument("The text is not well-formed UTF-8.");
            bytes += text;
            return bytes;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
        case TextEncoding::Utf16LeNoMark:
        case TextEncoding::Utf16BeNoMark: {
            const bool big = encoding == TextEncoding::Utf16Be || encoding == TextEncoding::Utf16BeNoMark;
            if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be)
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

using LinePairs = std::vector<std::pair<std::size_t, std::size_t>>;

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

// The pairs (line of a, line of b) of the most lines in order that a[aFrom,
// aTo) and b[bFrom, bTo) share, found by the shortest edit between them
// (Myers); nothing when that takes more than `most` inserted or removed
// lines.
std::optional<LinePairs> sharedLines(const std::vector<std::size_t>& a, std::size_t aFrom, std::size_t aTo,
                                     const std::vector<std::size_t>& b, std::size_t bFrom, std::size_t bTo,
                                     std::size_t most) {
    const long n = static_cast<long>(aTo - aFrom), m = static_cast<long>(bTo - bFrom);
    const auto same = [&](long x, long y) {
        return a[aFrom + static_cast<std::size_t>(x)] == b[bFrom + static_cast<std::size_t>(y)];
    };
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
            while (x < n && y < m && same(x, y)) ++x, ++y;
            at(v, k) = x;
            if (x < n || y < m) continue;
            // Back from the end: the diagonal runs are the shared lines.
            LinePairs shared;
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
                    shared.emplace_back(aFrom + static_cast<std::size_t>(x), bFrom + static_cast<std::size_t>(y));
                }
                x = fromX, y = fromY;
            }
            std::reverse(shared.begin(), shared.end());
            return shared;
        }
    }
    return std::nullopt;
}

// The lines that stand once in a and once in b, the most of them in the
// same order in both: lines a large edit surely left as they were.
LinePairs uniqueSharedLines(const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
    std::unordered_map<std::size_t, std::pair<int, std::size_t>> inA, inB;  // count, place
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto& [count, place] = inA[a[i]];
        ++count, place = i;
    }
    for (std::size_t j = 0; j < b.size(); ++j) {
        auto& [count, place] = inB[b[j]];
        ++count, place = j;
    }
    LinePairs candidates;  // in the order of b
    for (std::size_t j = 0; j < b.size(); ++j) {
        const auto x = inA.find(b[j]);
        if (x != inA.end() && x->second.first == 1 && inB[b[j]].first == 1) candidates.emplace_back(x->second.second, j);
    }
    // The longest run of candidates rising in a as well (patience sorting).
    std::vector<std::size_t> tops, previous(candidates.size());
    for (std::size_t c = 0; c < candidates.size(); ++c) {
        const auto pile = std::lower_bound(tops.begin(), tops.end(), candidates[c].first,
                                           [&](std::size_t t, std::size_t i) { return candidates[t].first < i; });
        previous[c] = pile == tops.begin() ? candidates.size() : *(pile - 1);
        if (pile == tops.end())
            tops.push_back(c);
        else
            *pile = c;
    }
    LinePairs kept;
    for (std::size_t c = tops.empty() ? candidates.size() : tops.back(); c < candidates.size(); c = previous[c])
        kept.push_back(candidates[c]);
    std::reverse(kept.begin(), kept.end());
    return kept;
}

// The lines an edit kept: those before and after the changed part, and
// within it the most lines in order that both texts share; where that is
// more than kMostChangedLines edits away, the lines that stand once in
// each, and between those again the most shared ones where few edits away.
LinePairs keptLines(const std::vector<std::string_view>& old, const std::vector<std::string_view>& now) {
    const std::size_t shorter = std::min(old.size(), now.size());
    std::size_t prefix = 0;
    while (prefix < shorter && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) ++suffix;
    LinePairs kept;
    for (std::size_t i = 0; i < prefix; ++i) kept.emplace_back(i, i);
    const std::vector<std::string_view> oldMiddle(old.begin() + static_cast<std::ptrdiff_t>(prefix),
                                                  old.end() - static_cast<std::ptrdiff_t>(suffix));
    const std::vector<std::string_view> newMiddle(now.begin() + static_cast<std::ptrdiff_t>(prefix),
                                                  now.end() - static_cast<std::ptrdiff_t>(suffix));
    const auto [a, b] = lineIds(oldMiddle, newMiddle);
    const auto keep = [&](const LinePairs& pairs) {
        for (const auto& [i, j] : pairs) kept.emplace_back(prefix + i, prefix + j);
    };
    if (const auto shared = sharedLines(a, 0, a.size(), b, 0, b.size(), kMostChangedLines)) {
        keep(*shared);
    } else if (const LinePairs anchors = uniqueSharedLines(a, b); !anchors.empty()) {
        // (Without anchors the only part between them would be the whole
        // middle, just found too many edits away.)
        std::size_t i = 0, j = 0;
        for (std::size_t k = 0; k <= anchors.size(); ++k) {
            const auto [toA, toB] = k < anchors.size() ? anchors[k] : std::pair{a.size(), b.size()};
            if (const auto shared = sharedLines(a, i, toA, b, j, toB, kMostChangedLines)) keep(*shared);
            if (k < anchors.size()) keep({anchors[k]});
            i = toA + 1, j = toB + 1;
        }
    }
    for (std::size_t s = suffix; s > 0; --s) kept.emplace_back(old.size() - s, now.size() - s);
    return kept;
}

// How much alike two lines are, for pairing changed lines: the characters
// they share at the start and at the end, at most kMostAlike.
constexpr std::size_t kMostAlike = 128;
std::size_t alike(std::string_view x, std::string_view y) {
    const std::size_t shorter = std::min({x.size(), y.size(), kMostAlike});
    std::size_t front = 0;
    while (front < shorter && x[front] == y[front]) ++front;
    std::size_t back = 0;
    while (front + back < shorter && x[x.size() - 1 - back] == y[y.size() - 1 - back]) ++back;
    return front + back;
}

// Changed lines are paired trying every pairing up to this many (old line,
// new line) places; beyond them the pairs stay near the line the edit
// reached, up to kMostPairingPlaces places.
constexpr std::size_t kMostFreePairingPlaces = std::size_t{1} << 20;
constexpr std::size_t kMostPairingPlaces = std::size_t{1} << 23;
constexpr long kPairingReach = 16;

// The pairs (old line, new line) of changed lines new[newFrom, newTo) that
// replaced old[oldFrom, oldTo): in order, as many and as alike as can be
// (each pair counts one and the characters its lines share, see alike);
// of equal choices the one that pairs lines earlier. Where the lines are
// too many to try every pairing, a pair's lines stand at most
// kPairingReach lines further apart than the first and last do; beyond
// kMostPairingPlaces even so, the lines pair in order from the first
// (the lines of a text replaced as a whole).
LinePairs pairChangedLines(const std::vector<std::string_view>& old, std::size_t oldFrom, std::size_t oldTo,
                           const std::vector<std::string_view>& now, std::size_t newFrom, std::size_t newTo) {
    const long m = static_cast<long>(oldTo - oldFrom), n = static_cast<long>(newTo - newFrom);
    LinePairs pairs;
    const auto pair = [&](long i, long j) {
        pairs.emplace_back(oldFrom + static_cast<std::size_t>(i), newFrom + static_cast<std::size_t>(j));
    };
    if (m == 0 || n == 0) return pairs;
    // Places (i, j) with j - i in [low, high].
    long low = -m, high = n;
    if (static_cast<double>(m) * static_cast<double>(n + 1) > static_cast<double>(kMostFreePairingPlaces)) {
        low = std::min(0L, n - m) - kPairingReach;
        high = std::max(0L, n - m) + kPairingReach;
    }
    const long width = high - low + 1;
    if (static_cast<double>(m) * static_cast<double>(width) > static_cast<double>(kMostPairingPlaces)) {
        for (long k = 0; k < std::min(m, n); ++k) pair(k, k);
        return pairs;
    }
    // The best pairing of old[i..] with new[j..], row by row from the last
    // old line, and the first step of it at each place.
    enum Step : std::uint8_t { kPair, kSkipOld, kSkipNew };
    std::vector<std::uint8_t> steps(static_cast<std::size_t>(m * width));
    constexpr long long kNone = -1;
    std::vector<long long> row(static_cast<std::size_t>(width), 0), below(static_cast<std::size_t>(width), 0);
    // The value at (i, j) of a row of old line i; kNone outside the band.
    const auto valueIn = [&](const std::vector<long long>& r, long i, long j) -> long long {
        if (i == m || j == n) return 0;
        const long k = j - i;
        return k < low || k > high ? kNone : r[static_cast<std::size_t>(k - low)];
    };
    for (long i = m - 1; i >= 0; --i) {
        for (long j = std::min(n - 1, i + high); j >= std::max(0L, i + low); --j) {
            // (i + 1, j + 1) stands on the same diagonal, in the band.
            const long long paired = valueIn(below, i + 1, j + 1) + 1 +
                                     static_cast<long long>(alike(old[oldFrom + static_cast<std::size_t>(i)],
                                                                  now[newFrom + static_cast<std::size_t>(j)]));
            const long long skipOld = valueIn(below, i + 1, j), skipNew = valueIn(row, i, j + 1);
            const std::size_t at = static_cast<std::size_t>(j - i - low);
            Step step = kPair;
            long long best = paired;
            if (skipOld > best) step = kSkipOld, best = skipOld;
            if (skipNew > best) step = kSkipNew, best = skipNew;
            row[at] = best;
            steps[static_cast<std::size_t>(i * width) + at] = step;
        }
        std::swap(row, below);
    }
    for (long i = 0, j = 0; i < m && j < n;) {
        const Step step = static_cast<Step>(steps[static_cast<std::size_t>(i * width + (j - i - low))]);
        if (step == kPair) pair(i, j);
        i += step != kSkipNew;
        j += step != kSkipOld;
    }
    return pairs;
}

}  // namespace

// Which line a line of the edited text is: a line the edit kept is that
// line; between kept lines, the changed lines are paired in order with the
// lines they replaced, alike ones first (pairChangedLines), and a line
// paired is that line edited. A line split in two is its first part (the
// second is a new line); lines joined into one are the first of them. A
// line that is no line of the file (typed, pasted, the second part of a
// split) is new.
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
    std::vector<LineEnd> ends(now.size() - 1, dominant);
    const auto take = [&](std::size_t i, std::size_t j) {
        if (j < ends.size()) ends[j] = oldEnd(i).value_or(dominant);
    };
    std::size_t oldNext = 0, newNext = 0;
    LinePairs kept = keptLines(old, now);
    kept.emplace_back(old.size(), now.size());  // the end of both
    for (const auto& [i, j] : kept) {
        for (const auto& [oi, nj] : pairChangedLines(old, oldNext, i, now, newNext, j)) take(oi, nj);
        if (i < old.size()) take(i, j);
        oldNext = i + 1;
        newNext = j + 1;
    }
    return ends;
}

PlainTextFile::PlainTextFile(std::string_view bytes) {
    DecodedText decoded = DecodeText(bytes);
    encoding_ = decoded.encoding;
    binary_ = decoded.text.find('\0') != std::string::npos;
    marksAreBytes_ = decoded.strayBytes;
    SplitText split = SplitLineEnds(decoded.text);
    text_ = std::move(split.text);
    ends_ = std::move(split.ends);
    if (marksAreBytes_) marks_ = countMarks(text_);
}

bool PlainTextFile::StrayBytes() const {
    return std::any_of(marks_.begin(), marks_.end(), [](std::size_t n) { return n > 0; });
}

std::size_t PlainTextFile::MarksAdded(std::string_view text) const {
    if (!marksAreBytes_) return 0;
    const std::array<std::size_t, 128> now = countMarks(text);
    std::size_t added = 0;
    for (std::size_t b = 0; b < now.size(); ++b) added += now[b] > marks_[b] ? now[b] - marks_[b] : 0;
    return added;
}

std::string PlainTextFile::joined(std::string_view text) const {
    const std::vector<LineEnd> ends = text == text_ ? ends_ : LineEndsAfterEdit(text_, ends_, text);
    return JoinLineEnds(text, ends, DominantLineEnd(ends_));
}

std::string PlainTextFile::Bytes(std::string_view text, TextEncoding encoding) const {
    return EncodeText(joined(text), encoding, marksAreBytes_ && isUtf8Encoding(encoding));
}

void PlainTextFile::Saved(std::string_view text, TextEncoding encoding) {
    // The line ends as they were written.
    if (text != text_) ends_ = SplitLineEnds(joined(text)).ends;
    // The marks written as bytes are the file's stray bytes now.
    if (marksAreBytes_ && isUtf8Encoding(encoding)) {
        marks_ = countMarks(text);
    } else {
        marksAreBytes_ = false;
        marks_ = {};
    }
    text_ = text;
    encoding_ = encoding;
}

}  // namespace kx::text
