// Long lines in the text window. The document box lays out a whole block
// (a line) again at every change of it, and that costs time by the length
// of the line: a key in a line of a megabyte took more than a second. A
// long line is therefore shown in pieces, each a block of its own that
// continues the line of the block before it (a soft break). A soft break is
// no character: the text, saving, copying, finding and undo see the pieces
// as the one line they are.
//
// Positions: the box counts every block end, soft breaks included, as one
// position; the text counts line ends only. SoftBreakMap turns the one into
// the other.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace kx::text {

// How long lines are cut: a line longer than `longest` (UTF-16 units) into
// pieces of at most `piece`, the last at most `longest`. A piece ends after
// a blank, or else after a comma or a semicolon, standing within `search`
// units of its longest end, when there is one: there a line would wrap
// anyway, or a number ends.
struct PieceLengths {
    std::size_t piece;
    std::size_t longest;
    std::size_t search;
};

// Lines wrapped at the window's edge: a piece holds many rows, and a key
// costs time by the length of its piece.
inline constexpr PieceLengths kWrappedPieces{16000, 20000, 2000};
// Lines not wrapped: each piece is a row, and painting the rows in view
// costs time by their length.
inline constexpr PieceLengths kUnwrappedPieces{1000, 1250, 125};

// Where the pieces of a line after its first begin (offsets in UTF-16
// units, rising); none for a line of at most `longest`. No cut falls
// between the two halves of a surrogate pair.
std::vector<std::size_t> PieceStarts(std::u16string_view line, const PieceLengths& lengths);

// Whether two neighbouring pieces of a line are better shown as one: one
// of them is empty, or together they are no longer than a piece.
bool JoinPieces(std::size_t before, std::size_t after, const PieceLengths& lengths);

// The soft breaks of a box, as the box positions of the block ends they
// stand at (rising).
class SoftBreakMap {
public:
    using Positions = std::vector<int>;
    SoftBreakMap() = default;
    explicit SoftBreakMap(Positions breaks) : breaks_(std::move(breaks)) {}

    const Positions& BoxPositions() const { return breaks_; }

    // The text position of a box position: the soft breaks before it take
    // no place. Both ends of a soft break are the same text position.
    int TextPosition(int boxPosition) const;
    // The box position of a text position. At a soft break: the start of
    // the piece after it, or with atPieceEnd the end of the piece before it
    // (where a selection that ends there ends).
    int BoxPosition(int textPosition, bool atPieceEnd = false) const;

private:
    Positions breaks_;
};

}  // namespace kx::text
