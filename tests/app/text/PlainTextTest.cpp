// Line ends of plain text files: the text a window holds and the bytes it
// writes back.
#include "PlainText.h"

#include <gtest/gtest.h>

#include <string>

using kx::files::LineEnd;
using namespace kx::text;

namespace {

struct Case {
    std::string bytes;
    LineEnd end;
    std::string text;
};

class LineEnds : public ::testing::TestWithParam<Case> {};

TEST_P(LineEnds, BytesComeBackAsTheyWere) {
    const Case& c = GetParam();
    EXPECT_EQ(DetectLineEnd(c.bytes), c.end);
    const std::string text = NormalizeLineEnds(c.bytes);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(ApplyLineEnd(text, DetectLineEnd(c.bytes)), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, LineEnds,
                         ::testing::Values(Case{"a\r\nb\r\n", LineEnd::CrLf, "a\nb\n"},
                                           Case{"a\nb", LineEnd::Lf, "a\nb"},
                                           Case{"a\rb\r\r", LineEnd::Cr, "a\nb\n\n"},
                                           Case{"\r\n\r\nx", LineEnd::CrLf, "\n\nx"},
                                           Case{"no line end", LineEnd::CrLf, "no line end"},
                                           Case{"", LineEnd::CrLf, ""}));

TEST(LineEnds, MixedLineEndsTakeTheFirst) {
    const std::string bytes = "a\nb\r\nc\rd";
    EXPECT_EQ(NormalizeLineEnds(bytes), "a\nb\nc\nd");
    EXPECT_EQ(ApplyLineEnd(NormalizeLineEnds(bytes), DetectLineEnd(bytes)), "a\nb\nc\nd");
}

}  // namespace
