#include "LongLines.h"

#include <algorithm>

namespace kx::text {
namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool endsNumber(char16_t c) { return c == u',' || c == u';'; }

// The end of a piece whose longest end is `cut`: after the last character
// within `search` units before it that `fits`; 0 when none does.
template <typename Fits>
std::size_t endAfter(std::u16string_view line, std::size_t cut, std::size_t search, Fits fits) {
    for (std::size_t k = cut; k > cut - search; --k)
        if (fits(line[k - 1])) return k;
    return 0;
}

}  // namespace

std::vector<std::size_t> PieceStarts(std::u16string_view line, const PieceLengths& lengths) {
    std::vector<std::size_t> starts;
    std::size_t start = 0;
    while (line.size() - start > lengths.longest) {
        const std::size_t cut = start + lengths.piece;
        std::size_t end = endAfter(line, cut, lengths.search, isBlank);
        if (end == 0) end = endAfter(line, cut, lengths.search, endsNumber);
        if (end == 0) end = isHighSurrogate(line[cut - 1]) && isLowSurrogate(line[cut]) ? cut - 1 : cut;
        starts.push_back(end);
        start = end;
    }
    return starts;
}

bool JoinPieces(std::size_t before, std::size_t after, const PieceLengths& lengths) {
    return before == 0 || after == 0 || before + after <= lengths.piece;
}

int SoftBreakMap::TextPosition(int boxPosition) const {
    const auto before = std::lower_bound(breaks_.begin(), breaks_.end(), boxPosition);
    return boxPosition - static_cast<int>(before - breaks_.begin());
}

int SoftBreakMap::BoxPosition(int textPosition, bool atPieceEnd) const {
    // The k-th break (from 0) stands at text position breaks_[k] - k, which
    // never falls as k grows.
    std::size_t low = 0, high = breaks_.size();
    while (low < high) {
        const std::size_t k = (low + high) / 2;
        const int at = breaks_[k] - static_cast<int>(k);
        if (at < textPosition || (at == textPosition && !atPieceEnd))
            low = k + 1;
        else
            high = k;
    }
    return textPosition + static_cast<int>(low);
}

}  // namespace kx::text
