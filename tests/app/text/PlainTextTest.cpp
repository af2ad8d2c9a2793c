// Plain text files: the encoding a file is read in, the text a window
// holds, and the bytes it writes back, unedited and edited.
#include "PlainText.h"

#include "Utf16Bytes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using kx::files::LineEnd;
using kx::test::Utf16Bytes;
using namespace kx::text;

namespace {

// The mark of a stray byte, as UTF-8.
std::string mark(unsigned char byte) {
    const char32_t c = kStrayByteMarks + byte;
    return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
}

std::string everyByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

// The case's name as a test name.
template <typename Info>
std::string caseName(const Info& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

// A file, how it reads, and that an unedited save gives its bytes back.
struct ReadCase {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string text;  // UTF-8, "\n" line ends
    bool binary;
    bool strayBytes = false;
};

class Reading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(Reading, ShowsTheTextAndGivesTheBytesBack) {
    const ReadCase& c = GetParam();
    const PlainTextFile file(c.bytes);
    EXPECT_EQ(file.Encoding(), c.encoding);
    if (!c.text.empty() || c.bytes.empty()) {
        EXPECT_EQ(file.Text(), c.text);
    }
    EXPECT_EQ(file.Binary(), c.binary);
    EXPECT_EQ(file.StrayBytes(), c.strayBytes);
    EXPECT_EQ(file.Bytes(file.Text()), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Reading,
    ::testing::Values(
        ReadCase{"empty", "", TextEncoding::Utf8, "", false},
        ReadCase{"ascii", "first\r\n\r\n  second\tline\r\n", TextEncoding::Utf8, "first\n\n  second\tline\n", false},
        ReadCase{"utf8", "\xCE\x94t = 5 \xC2\xB5s \xE2\x86\x92 \xE2\x82\xAC\nH\xE2\x82\x82O", TextEncoding::Utf8,
                 "\xCE\x94t = 5 \xC2\xB5s \xE2\x86\x92 \xE2\x82\xAC\nH\xE2\x82\x82O", false},
        ReadCase{"utf8 with byte order mark", "\xEF\xBB\xBF\xCE\xB1\r\n", TextEncoding::Utf8Bom, "\xCE\xB1\n", false},
        ReadCase{"windows-1252", "caf\xE9 \x80 \x93q\x94\r\n", TextEncoding::Windows1252,
                 "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\n", false},
        ReadCase{"the five undefined bytes", "\x81\x8D\x8F\x90\x9D", TextEncoding::Windows1252,
                 "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", false},
        ReadCase{"overlong utf8", "\xC0\xAF", TextEncoding::Windows1252, "\xC3\x80\xC2\xAF", false},
        ReadCase{"utf8 surrogate", "\xED\xA0\x80", TextEncoding::Windows1252, "", false},
        ReadCase{"utf8 cut short", "ok \xE2\x82", TextEncoding::Windows1252, "", false},
        ReadCase{"utf16 le, CR LF", std::string("\xFF\xFE" "a\0\r\0\n\0\xB2\x03\r\0\n\0", 14), TextEncoding::Utf16Le,
                 "a\n\xCE\xB2\n", false},
        ReadCase{"utf16 be, mixed ends", std::string("\xFE\xFF\0a\0\r\0b\0\n\0c", 12), TextEncoding::Utf16Be,
                 "a\nb\nc", false},
        ReadCase{"utf16 surrogate pair", std::string("\xFF\xFE\x35\xD8\xFC\xDE", 6), TextEncoding::Utf16Le,
                 "\xF0\x9D\x9B\xBC", false},
        ReadCase{"utf16 odd length", "\xFF\xFE" "a", TextEncoding::Windows1252, "\xC3\xBF\xC3\xBE" "a", false},
        ReadCase{"utf16 lone surrogate", std::string("\xFF\xFE\x00\xD8x\0", 6), TextEncoding::Windows1252, "", true},
        ReadCase{"utf16 without byte order mark", std::string("a\0b\0", 4), TextEncoding::Utf16LeNoMark, "ab", false},
        ReadCase{"every byte", everyByte() + "\r\n" + everyByte(), TextEncoding::Windows1252, "", true},
        // UTF-8 but for a byte of another code page: the byte is a mark.
        ReadCase{"utf8 with a stray byte", "Temp\xC3\xA9rature\r\ncaf\xE9\r\n", TextEncoding::Utf8,
                 "Temp\xC3\xA9rature\ncaf" + mark(0xE9) + "\n", false, true},
        ReadCase{"utf8 with its mark and as many stray bytes as characters", "\xEF\xBB\xBF\xCE\xB1\xCE\xB2 \x80\xFF",
                 TextEncoding::Utf8Bom, "\xCE\xB1\xCE\xB2 " + mark(0x80) + mark(0xFF), false, true},
        ReadCase{"a character cut short among utf8", "\xCE\xB1\xCE\xB2 ok \xE2\x82", TextEncoding::Utf8,
                 "\xCE\xB1\xCE\xB2 ok " + mark(0xE2) + mark(0x82), false, true},
        ReadCase{"stray bytes and NUL", std::string("\xCE\xB1 \xE9\0", 5), TextEncoding::Utf8,
                 "\xCE\xB1 " + mark(0xE9) + std::string(1, '\0'), true, true},
        // Mostly not UTF-8: Windows-1252, whose reading never marks a byte.
        ReadCase{"more stray bytes than utf8 characters", "\xC3\xA9 caf\xE9 na\xEFve", TextEncoding::Windows1252,
                 "\xC3\x83\xC2\xA9 caf\xC3\xA9 na\xC3\xAFve", false},
        // A mark would stand for a character of the file as well.
        ReadCase{"stray bytes beside characters of the marks' range", "\xEF\x9F\xA9 \xCE\xB1 caf\xE9",
                 TextEncoding::Windows1252, "\xC3\xAF\xC5\xB8\xC2\xA9 \xC3\x8E\xC2\xB1 caf\xC3\xA9", false},
        ReadCase{"utf8 with characters of the marks' range", "\xEF\x9F\xA9\xEF\x9E\x80", TextEncoding::Utf8,
                 "\xEF\x9F\xA9\xEF\x9E\x80", false},
        // UTF-16 without a byte order mark, in either byte order.
        ReadCase{"utf16 le without mark, English", Utf16Bytes(u"Hello, world\r\n", false), TextEncoding::Utf16LeNoMark,
                 "Hello, world\n", false},
        ReadCase{"utf16 be without mark, English", Utf16Bytes(u"Hello, world\r\n", true), TextEncoding::Utf16BeNoMark,
                 "Hello, world\n", false},
        ReadCase{"utf16 le without mark, Chinese", Utf16Bytes(u"\u4F60\u597D\uFF0C\u4E16\u754C\r\n", false),
                 TextEncoding::Utf16LeNoMark, "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\n", false},
        ReadCase{"utf16 be without mark, Chinese", Utf16Bytes(u"\u4F60\u597D\uFF0C\u4E16\u754C\r\n", true),
                 TextEncoding::Utf16BeNoMark, "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\n", false},
        // No line end, no ASCII: no NUL byte at all.
        ReadCase{"utf16 le without mark, Japanese in one line",
                 Utf16Bytes(u"\u3053\u3093\u306B\u3061\u306F\u4E16\u754C", false), TextEncoding::Utf16LeNoMark,
                 "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF\xE4\xB8\x96\xE7\x95\x8C", false},
        ReadCase{"utf16 be without mark, Japanese in one line",
                 Utf16Bytes(u"\u3053\u3093\u306B\u3061\u306F\u4E16\u754C", true), TextEncoding::Utf16BeNoMark,
                 "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF\xE4\xB8\x96\xE7\x95\x8C", false},
        ReadCase{"utf16 le without mark, a surrogate pair", Utf16Bytes(u"\U0001D6FC = 2\n", false),
                 TextEncoding::Utf16LeNoMark, "\xF0\x9D\x9B\xBC = 2\n", false}),
    caseName<::testing::TestParamInfo<ReadCase>>);

// Line ends: each line keeps its own, new lines take the most frequent one.
struct EditCase {
    const char* name;
    std::string before;  // the file
    std::string edited;  // the text after the edit, "\n" line ends
    std::string saved;   // the bytes written
};

class Editing : public ::testing::TestWithParam<EditCase> {};

TEST_P(Editing, KeepsTheLineEndsOfTheLinesKept) {
    const EditCase& c = GetParam();
    const PlainTextFile file(c.before);
    EXPECT_EQ(file.Bytes(c.edited), c.saved);
    // What is saved reads back as the text that was saved.
    EXPECT_EQ(PlainTextFile(file.Bytes(c.edited)).Text(), c.edited);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Editing,
    ::testing::Values(
        EditCase{"unedited mixed", "a\nb\r\nc\rd\n\r", "a\nb\nc\nd\n\n", "a\nb\r\nc\rd\n\r"},
        EditCase{"a line changed", "one\r\ntwo\nthree\r\n", "one\nTWO\nthree\n", "one\r\nTWO\nthree\r\n"},
        EditCase{"a line added at the end", "a\nb\r\nc\r\n", "a\nb\nc\nd\n", "a\nb\r\nc\r\nd\r\n"},
        EditCase{"a line inserted", "x\ny\nz\r\n", "x\nnew\ny\nz\n", "x\nnew\ny\nz\r\n"},
        // A line split in two: the first part is the line, the second a new
        // line; lines joined: the first line took the second in.
        EditCase{"a line split", "p\r\nab\rq\r\n", "p\na\nb\nq\n", "p\r\na\rb\r\nq\r\n"},
        EditCase{"an edited line beside a split one", "alpha\r\nbeta\ngamma\r\ndelta\r\n",
                 "alpha\nbetaX\ngam\nma\ndelta\n", "alpha\r\nbetaX\ngam\r\nma\r\ndelta\r\n"},
        EditCase{"a line edited and split", "x\r\ngamma\ny\r\n", "x\ngamX\nma\ny\n", "x\r\ngamX\nma\r\ny\r\n"},
        EditCase{"two lines joined", "x\r\na\rb\ny\r\n", "x\nab\ny\n", "x\r\nab\ry\r\n"},
        EditCase{"a line inserted before edited ones", "k\r\na1\nb1\rk\r\n", "k\nnew\na2\nb2\nk\n",
                 "k\r\nnew\r\na2\nb2\rk\r\n"},
        EditCase{"a line deleted between edited ones", "k\r\nx1\ny1\nz1\rk\r\n", "k\nx2\nz2\nk\n",
                 "k\r\nx2\nz2\rk\r\n"},
        EditCase{"an edited line and one typed after it", "k\r\nab\nk\r\n", "k\naXb\nnew\nk\n",
                 "k\r\naXb\nnew\r\nk\r\n"},
        EditCase{"a line deleted", "a\rb\nc\r\n", "a\nc\n", "a\rc\r\n"},
        EditCase{"text after the last line end", "a\r\n", "a\nb", "a\r\nb"},
        EditCase{"no line end yet", "abc", "abc\ndef", "abc\r\ndef"},
        EditCase{"utf16 line added", std::string("\xFF\xFEx\0\n\0", 6), "x\ny\n", std::string("\xFF\xFEx\0\n\0y\0\n\0", 10)},
        EditCase{"windows-1252 kept", "\xB5s\r\n", "\xC2\xB5s\n\xE2\x82\xAC", "\xB5s\r\n\x80"},
        // Stray bytes are written back as they were, characters typed as
        // UTF-8: nothing is encoded twice.
        EditCase{"utf8 with a stray byte, a line typed", "Temp\xC3\xA9rature\r\ncaf\xE9\r\n",
                 "Temp\xC3\xA9rature\ncaf" + mark(0xE9) + "\n\xC3\xA9t\xC3\xA9\n",
                 "Temp\xC3\xA9rature\r\ncaf\xE9\r\n\xC3\xA9t\xC3\xA9\r\n"},
        EditCase{"utf8 with a stray byte, its line edited", "caf\xE9 au lait\n\xC3\xA9t\xC3\xA9\n",
                 "caf" + mark(0xE9) + " noir\n\xC3\xA9t\xC3\xA9\n", "caf\xE9 noir\n\xC3\xA9t\xC3\xA9\n"},
        EditCase{"utf8 with a stray byte, the byte deleted", "\xCE\xB1\x80\xCE\xB2\r\n", "\xCE\xB1\xCE\xB2\n",
                 "\xCE\xB1\xCE\xB2\r\n"},
        // UTF-16 keeps its byte order and the absence of its mark.
        EditCase{"utf16 le without mark, a line added", Utf16Bytes(u"x\n", false), "x\ny\n", Utf16Bytes(u"x\ny\n", false)},
        EditCase{"utf16 be without mark, a line edited", Utf16Bytes(u"\u4F60\u597D\r\n\u4E16\u754C\r\n", true),
                 "\xE4\xBD\xA0\xE5\xA5\xBD!\n\xE4\xB8\x96\xE7\x95\x8C\n",
                 Utf16Bytes(u"\u4F60\u597D!\r\n\u4E16\u754C\r\n", true)},
        // Lines kept anywhere keep their own, also when lines before them
        // went and lines after them came.
        EditCase{"first line deleted, a line added", "a\nb\r\nc\r\nd\r\n", "b\nc\nd\ne\n", "b\r\nc\r\nd\r\ne\r\n"},
        EditCase{"a line moved to the end", "x\ny\r\nz\r", "y\nz\nx\n", "y\r\nz\rx\n"},
        EditCase{"lines changed between kept ones", "k\r\n1\n2\rk\r\n3\r4\nk\n", "k\nONE\n2\nk\n3\nFOUR\nnew\nk\n",
                 "k\r\nONE\n2\rk\r\n3\rFOUR\nnew\nk\n"},
        // An LF right after a lone CR would read back as one CR LF.
        EditCase{"a line emptied after a lone CR", "a\rb\n", "a\n\n", "a\r\r"},
        EditCase{"an empty line inserted after a lone CR", "a\rb\nc\n", "a\n\nb\nc\n", "a\r\rb\nc\n"}),
    caseName<::testing::TestParamInfo<EditCase>>);

TEST(LineEnds, SplitAndJoinAreInverse) {
    const SplitText split = SplitLineEnds("a\r\n\rb\n\r\nc\r");
    EXPECT_EQ(split.text, "a\n\nb\n\nc\n");
    EXPECT_EQ(split.ends, (std::vector<LineEnd>{LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf, LineEnd::CrLf, LineEnd::Cr}));
    EXPECT_EQ(JoinLineEnds(split.text, split.ends, LineEnd::Lf), "a\r\n\rb\n\r\nc\r");
    EXPECT_EQ(JoinLineEnds("x\ny\nz", {LineEnd::Cr}, LineEnd::Lf), "x\ry\nz");
}

// More changed lines than are matched one by one: the changed part keeps
// the line ends of the lines it replaces, line by line.
TEST(LineEnds, EveryLineChangedKeepsTheEndsByPosition) {
    std::string before, after, saved;
    for (std::size_t i = 0; i < 2 * kMostChangedLines; ++i) {
        const char* end = i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
        before += "line " + std::to_string(i) + end;
        after += "LINE " + std::to_string(i) + "\n";
        saved += "LINE " + std::to_string(i) + end;
    }
    EXPECT_EQ(PlainTextFile(before).Bytes(after), saved);
}

// More changed lines than the shortest edit is looked for: lines edited,
// split, joined and typed still keep or take their ends as in the table
// above, among lines kept or with every line edited.
TEST(LineEnds, ManyChangedLinesKeepTheirOwnEnds) {
    for (const bool everyLine : {false, true}) {
        SCOPED_TRACE(everyLine ? "every line edited" : "four lines in five edited");
        const std::size_t count = 3 * kMostChangedLines;
        std::string before, after, saved;
        const char* joinedEnd = nullptr;
        for (std::size_t i = 0; i < count; ++i) {
            const char* end = i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
            const char* savedEnd = joinedEnd ? joinedEnd : end;
            joinedEnd = nullptr;
            const std::string line = "line " + std::to_string(i);
            before += line + end;
            const std::string edited = everyLine || i % 5 != 4 ? line + "X" : line;
            if (i == 100) {
                // Split: the first part keeps the end, the second takes the
                // dominant one (CR LF, the first of three equally frequent).
                after += edited.substr(0, 3) + "\n" + edited.substr(3) + "\n";
                saved += edited.substr(0, 3) + end + edited.substr(3) + "\r\n";
            } else if (i == 900) {
                // Joined with the next line, which ends as this one.
                after += edited;
                saved += edited;
                joinedEnd = end;
            } else if (i == 1200) {
                // A line typed after it.
                after += edited + "\ntyped\n";
                saved += edited + end + "typed\r\n";
            } else {
                after += edited + "\n";
                saved += edited + savedEnd;
            }
        }
        const PlainTextFile file(before);
        EXPECT_EQ(file.Bytes(after), saved);
    }
}

TEST(LineEnds, TheMostFrequentIsDominantTheFirstOnATie) {
    EXPECT_EQ(DominantLineEnd({}), LineEnd::CrLf);
    EXPECT_EQ(DominantLineEnd({LineEnd::Cr, LineEnd::Lf, LineEnd::Lf}), LineEnd::Lf);
    EXPECT_EQ(DominantLineEnd({LineEnd::Cr, LineEnd::Lf}), LineEnd::Cr);
}

TEST(NewDocument, IsWrittenAsUtf8WithCrLf) {
    const PlainTextFile file;
    EXPECT_EQ(file.Bytes("plain\nascii"), "plain\r\nascii");
    EXPECT_EQ(file.Bytes("\xCE\xB1 \xE2\x86\x92 \xCE\xB2\n"), "\xCE\xB1 \xE2\x86\x92 \xCE\xB2\r\n");
    EXPECT_FALSE(FirstMissingCharacter("\xCE\xB1", file.Encoding()));
}

// Characters an encoding lacks are found before saving, never replaced.
struct MissingCase {
    std::string text;
    TextEncoding encoding;
    std::string character;  // "" when the encoding holds the whole text
    std::size_t line;
};

class Missing : public ::testing::TestWithParam<MissingCase> {};

TEST_P(Missing, FindsTheFirstCharacterTheEncodingLacks) {
    const MissingCase& c = GetParam();
    const std::optional<MissingCharacter> missing = FirstMissingCharacter(c.text, c.encoding);
    if (c.character.empty()) {
        EXPECT_FALSE(missing);
        EXPECT_EQ(DecodeText(EncodeText(c.text, c.encoding)).text, c.text);
        return;
    }
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->character, c.character);
    EXPECT_EQ(missing->line, c.line);
    EXPECT_THROW(EncodeText(c.text, c.encoding), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Missing,
    ::testing::Values(MissingCase{"ok\n\xE2\x82\xAC \xCE\xB1 \xE2\x86\x92 \xCE\xB2", TextEncoding::Windows1252, "\xCE\xB1", 2},
                      MissingCase{"\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\xA6 \xC3\xBF", TextEncoding::Windows1252, "", 0},
                      MissingCase{"\xC2\x80", TextEncoding::Windows1252, "\xC2\x80", 1},
                      MissingCase{"a\nb\n\xF0\x9D\x9B\xBC", TextEncoding::Windows1252, "\xF0\x9D\x9B\xBC", 3},
                      MissingCase{"\xCE\xB1\xF0\x9D\x9B\xBC", TextEncoding::Utf16Be, "", 0},
                      MissingCase{"\xCE\xB1", TextEncoding::Utf8Bom, "", 0},
                      MissingCase{"\xCE\xB1\xCE\xB2 = \xF0\x9D\x9B\xBC\n", TextEncoding::Utf16LeNoMark, "", 0},
                      MissingCase{"\xCE\xB1\xCE\xB2 = \xF0\x9D\x9B\xBC\n", TextEncoding::Utf16BeNoMark, "", 0}));

TEST(Saving, AWindows1252FileSavedAsUtf8KeepsItsLineEnds) {
    PlainTextFile file("caf\xE9\r\n");
    const std::string edited = "caf\xC3\xA9\n\xCE\xB1";
    EXPECT_EQ(file.Bytes(edited, TextEncoding::Utf8), "caf\xC3\xA9\r\n\xCE\xB1");
    file.Saved(edited, TextEncoding::Utf8);
    EXPECT_EQ(file.Encoding(), TextEncoding::Utf8);
    EXPECT_EQ(file.Bytes(edited + "\nz"), "caf\xC3\xA9\r\n\xCE\xB1\r\nz");
}

// A mark is written as its byte only in a file that holds stray bytes, and
// only the marks of the file's own bytes are counted as its own.
TEST(StrayBytes, MarksAreWrittenAsTheirBytesInAFileThatHoldsThem) {
    EXPECT_EQ(EncodeText("caf" + mark(0xE9), TextEncoding::Utf8, true), "caf\xE9");
    EXPECT_EQ(EncodeText(mark(0x80) + "\xCE\xB1", TextEncoding::Utf8Bom, true), "\xEF\xBB\xBF\x80\xCE\xB1");
    // Elsewhere the character is a character like any other.
    EXPECT_EQ(EncodeText("caf" + mark(0xE9), TextEncoding::Utf8), "caf\xEF\x9F\xA9");
    EXPECT_EQ(PlainTextFile("\xCE\xB1\r\n").Bytes("\xCE\xB1\n" + mark(0xE9)), "\xCE\xB1\r\n\xEF\x9F\xA9");
    EXPECT_EQ(PlainTextFile("\xCE\xB1\r\n").MarksAdded("\xCE\xB1\n" + mark(0xE9)), 0u);
}

TEST(StrayBytes, MarksBeyondTheFilesOwnAreCounted) {
    const PlainTextFile file("a\xE9 b\xE9 \xC3\xA9\xC3\xA9\xC3\xA9");
    ASSERT_TRUE(file.StrayBytes());
    const std::string text = file.Text();
    EXPECT_EQ(text, "a" + mark(0xE9) + " b" + mark(0xE9) + " \xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(file.MarksAdded(text), 0u);
    EXPECT_EQ(file.MarksAdded("b" + mark(0xE9) + " a" + mark(0xE9)), 0u);     // moved
    EXPECT_EQ(file.MarksAdded("a b"), 0u);                                      // deleted
    EXPECT_EQ(file.MarksAdded(text + mark(0xE9)), 1u);                          // one more of them
    EXPECT_EQ(file.MarksAdded(text + mark(0x80) + mark(0xFF) + mark(0xFF)), 3u);  // of other bytes
}

// A file saved without its marks holds no stray byte; a mark that comes
// back (an undo) is its byte again, and counted as one the file lacks.
TEST(StrayBytes, MarksStandForBytesAfterASaveWithoutThem) {
    PlainTextFile file("x\xE9 \xC3\xA9\n");
    const std::string withMark = file.Text(), edited = "x \xC3\xA9\n";
    EXPECT_EQ(file.Bytes(edited), "x \xC3\xA9\n");
    file.Saved(edited, file.Encoding());
    EXPECT_FALSE(file.StrayBytes());
    EXPECT_TRUE(file.MarksStandForBytes());
    EXPECT_EQ(file.MarksAdded(withMark), 1u);
    EXPECT_EQ(file.Bytes(withMark), "x\xE9 \xC3\xA9\n");
    file.Saved(withMark, file.Encoding());
    EXPECT_TRUE(file.StrayBytes());
    EXPECT_EQ(file.MarksAdded(withMark), 0u);

    // Saved as another encoding (never asked for such a file), marks are
    // characters again.
    file.Saved("x\n", TextEncoding::Utf16Le);
    EXPECT_FALSE(file.MarksStandForBytes());
    EXPECT_EQ(file.MarksAdded("x" + mark(0xE9)), 0u);
}

TEST(Saving, LaterSavesFollowTheLineEndsAsWritten) {
    // The emptied line was written with a CR (see JoinLineEnds): the file
    // then holds two CRs against one LF, and new lines take a CR.
    PlainTextFile file("a\rb\nc\nd");
    file.Saved("a\n\nc\nd", TextEncoding::Utf8);
    EXPECT_EQ(file.Bytes("a\n\nc\nd"), "a\r\rc\nd");
    EXPECT_EQ(file.Bytes("a\n\nc\nd\ne"), "a\r\rc\nd\re");
}

}  // namespace
