// Long lines shown in pieces: where a line is cut, when pieces are joined
// again, and positions in the text against positions in the box.
#include "LongLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx::text;

namespace {

struct CutCase {
    const char* name;
    std::u16string line;
    std::vector<std::size_t> starts;
    PieceLengths lengths = kWrappedPieces;
};

std::u16string repeated(char16_t c, std::size_t n) { return std::u16string(n, c); }

// A line of the given length: words of nine letters and a blank.
std::u16string words(std::size_t length) {
    std::u16string line;
    while (line.size() < length) line += (line.size() % 10 == 9) ? u' ' : u'w';
    return line;
}

class Cutting : public ::testing::TestWithParam<CutCase> {};

TEST_P(Cutting, CutsWhereAWrapWouldFallAndKeepsPiecesShort) {
    const CutCase& c = GetParam();
    const std::vector<std::size_t> starts = PieceStarts(c.line, c.lengths);
    EXPECT_EQ(starts, c.starts);
    std::size_t from = 0;
    for (const std::size_t start : starts) {
        EXPECT_GT(start, from);
        EXPECT_LE(start - from, c.lengths.piece);
        from = start;
    }
    EXPECT_LE(c.line.size() - from, c.lengths.longest);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Cutting,
    ::testing::Values(
        CutCase{"short", u"a line", {}},
        CutCase{"longest shown whole", repeated(u'7', kWrappedPieces.longest), {}},
        CutCase{"one more", repeated(u'7', kWrappedPieces.longest + 1), {kWrappedPieces.piece}},
        CutCase{"no blank", repeated(u'7', 50'000), {16'000, 32'000}},
        // Nine letters and a blank: the last blank before 16,000 is at 15,999.
        CutCase{"words", words(40'000), {16'000, 32'000}},
        CutCase{"a blank near the end", repeated(u'7', 15'000) + u" " + repeated(u'7', 10'000), {15'001}},
        CutCase{"a tab near the end", repeated(u'7', 14'001) + u"\t" + repeated(u'7', 10'000), {14'002}},
        CutCase{"a blank too far back", repeated(u'7', 13'999) + u" " + repeated(u'7', 10'000), {16'000}},
        // Numbers joined by commas end at a comma; a blank comes first.
        CutCase{"a comma", repeated(u'7', 15'500) + u"," + repeated(u'7', 10'000), {15'501}},
        CutCase{"a blank before a later comma",
                repeated(u'7', 14'500) + u" " + repeated(u'7', 1'000) + u";" + repeated(u'7', 10'000), {14'501}},
        CutCase{"a surrogate pair across the cut", repeated(u'7', 15'999) + u"\xD835\xDEFC" + repeated(u'7', 10'000),
                {15'999}},
        CutCase{"a surrogate pair before the cut", repeated(u'7', 15'998) + u"\xD835\xDEFC" + repeated(u'7', 10'000),
                {16'000}},
        // Unwrapped, each piece is a row of at most a thousand.
        CutCase{"unwrapped", repeated(u'7', 2'500), {1'000, 2'000}, kUnwrappedPieces},
        CutCase{"unwrapped words", words(2'600), {1'000, 2'000}, kUnwrappedPieces}),
    [](const ::testing::TestParamInfo<CutCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ' || ch == ',') ch = '_';
        return name;
    });

TEST(Joining, JoinsEmptyAndShortPiecesOnly) {
    for (const PieceLengths& lengths : {kWrappedPieces, kUnwrappedPieces}) {
        EXPECT_TRUE(JoinPieces(0, 30'000, lengths));
        EXPECT_TRUE(JoinPieces(30'000, 0, lengths));
        EXPECT_TRUE(JoinPieces(600, lengths.piece - 600, lengths));
        EXPECT_FALSE(JoinPieces(600, lengths.piece - 599, lengths));
        // What a cut leaves is never joined again.
        const std::vector<std::size_t> starts = PieceStarts(repeated(u'7', lengths.longest + 1), lengths);
        EXPECT_FALSE(JoinPieces(starts[0], lengths.longest + 1 - starts[0], lengths));
    }
}

// A box "abcde|fgh|ij" with soft breaks after e (box position 5) and h
// (box position 9): the text is "abcdefghij".
TEST(SoftBreakPositions, MapTextAndBoxBothWays) {
    const SoftBreakMap breaks({5, 9});
    const int text[] = {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 8, 9, 10};  // of box positions 0 to 12
    for (int box = 0; box <= 12; ++box) EXPECT_EQ(breaks.TextPosition(box), text[box]) << "box " << box;
    const int start[] = {0, 1, 2, 3, 4, 6, 7, 8, 10, 11, 12};  // of text positions 0 to 10
    const int end[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 11, 12};
    for (int t = 0; t <= 10; ++t) {
        EXPECT_EQ(breaks.BoxPosition(t), start[t]) << "text " << t;
        EXPECT_EQ(breaks.BoxPosition(t, true), end[t]) << "text " << t;
    }
    // Without soft breaks both are the same.
    EXPECT_EQ(SoftBreakMap().TextPosition(7), 7);
    EXPECT_EQ(SoftBreakMap().BoxPosition(7, true), 7);
}

}  // namespace
