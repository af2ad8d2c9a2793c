// Rules of the shell that need no window: the number-format complaint, the
// numbering of new text documents, window places, and the list of
// reactions with explicit reverse rates.
#include "DocumentWindows.h"
#include "Format.h"
#include "NumberFormatCheck.h"
#include "RevReactions.h"
#include "SolverFileLayout.h"

#include "SolverFileText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kAnnouncement = " The next message contains an information about setting the number format.";

TEST(NumberFormat, TheProgramsOwnNumberTextPasses) {
    EXPECT_EQ(kx::NumberFormatComplaint(kx::NumberToText(kx::kNumberFormatProbeValue)), "");
    EXPECT_EQ(kx::NumberToText(kx::kNumberFormatProbeValue).rfind("-1058201048.5714", 0), 0u);
}

TEST(NumberFormat, EachForeignFormatHasItsComplaint) {
    struct Case {
        const char* text;
        const char* complaint;
    } cases[] = {
        {"-1058201048,57143",
         "Decimal symbol of the number format isn't recognized; Kinovex requires the point as the decimal symbol. "},
        {"-1.058.201.048,57143",  // the comma decides first
         "Decimal symbol of the number format isn't recognized; Kinovex requires the point as the decimal symbol. "},
        {"1058201048.57143-", "Negative sign of the number format isn't recognized; set the ' - ' symbol as negative sign."},
        {"(1058201048.57143)", "Negative sign of the number format isn't recognized; set the ' - ' symbol as negative sign."},
        {"-1.058.201.048", "In the number format, the digit grouping is used; delete this format feature."},
    };
    for (const Case& c : cases) EXPECT_EQ(kx::NumberFormatComplaint(c.text), c.complaint + kAnnouncement) << c.text;
    // The decimal complaint ends in a blank and the announcement begins with one.
    EXPECT_NE(kx::NumberFormatComplaint("-1,5").find("symbol.  The next message"), std::string::npos);
    EXPECT_EQ(kx::NumberFormatComplaint("  -1058201048.5714  "), "");
}

TEST(TextDocuments, TheLowestFreeNumberIsTaken) {
    struct Case {
        std::vector<std::string> captions;
        int next;
    } cases[] = {
        {{}, 1},
        {{"Text Doc1", "Text Doc3"}, 2},
        {{"Text Doc12"}, 1},
        {{"text doc1", "Text Doc 1", "Text Doc01", "h2_air.txt"}, 1},  // only the exact caption counts
        {{"Text Doc2", "Text Doc1"}, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(kx::NextTextDocumentNumber(c.captions), c.next);

    std::vector<std::string> all;
    for (int n = 1; n <= 100; ++n) all.push_back("Text Doc" + std::to_string(n));
    EXPECT_EQ(kx::NextTextDocumentNumber(all), 0);
    all.erase(all.begin() + 56);
    EXPECT_EQ(kx::NextTextDocumentNumber(all), 57);
}

TEST(WindowPlaces, TilingSharesTheAreaAndIconsFillRowsFromTheBottom) {
    using kx::Place;
    EXPECT_EQ(kx::TilePlaces(3, 600, 301, true),
              (std::vector<Place>{{0, 0, 600, 100}, {0, 100, 600, 100}, {0, 200, 600, 101}}));
    EXPECT_EQ(kx::TilePlaces(2, 601, 300, false), (std::vector<Place>{{0, 0, 300, 300}, {300, 0, 301, 300}}));
    EXPECT_TRUE(kx::TilePlaces(0, 600, 300, true).empty());
    EXPECT_EQ(kx::IconPlaces(3, 160, 30, 350, 400),
              (std::vector<Place>{{0, 370, 160, 30}, {160, 370, 160, 30}, {0, 340, 160, 30}}));
}

TEST(WindowPlaces, AWindowIsFittedIntoTheArea) {
    using kx::Place;
    struct Case {
        Place wanted, fitted;
    } cases[] = {
        {{10, 20, 300, 200}, {10, 20, 300, 200}},     // inside already
        {{500, 350, 300, 200}, {300, 200, 300, 200}},  // out at the right and bottom: moved in
        {{-40, -5, 300, 200}, {0, 0, 300, 200}},       // out at the left and top
        {{100, 100, 900, 700}, {0, 0, 600, 400}},      // larger than the area: the area
    };
    for (const Case& c : cases) EXPECT_EQ(kx::FitInArea(c.wanted, 600, 400), c.fitted);
}

TEST(WindowPlaces, NewWindowsStepDownAndStartAgainBeforeLeavingTheArea) {
    using kx::Place;
    // A 400x300 window in 600x400 with steps of 30: four places (0, 30, 60, 90).
    EXPECT_EQ(kx::NewWindowPlace(0, 400, 300, 600, 400, 30), (Place{0, 0, 400, 300}));
    EXPECT_EQ(kx::NewWindowPlace(3, 400, 300, 600, 400, 30), (Place{90, 90, 400, 300}));
    EXPECT_EQ(kx::NewWindowPlace(4, 400, 300, 600, 400, 30), (Place{0, 0, 400, 300}));
    EXPECT_EQ(kx::NewWindowPlace(6, 400, 300, 600, 400, 30), (Place{60, 60, 400, 300}));
    // A window as large as the area always stands at the corner.
    EXPECT_EQ(kx::NewWindowPlace(5, 600, 400, 600, 400, 30), (Place{0, 0, 600, 400}));
    for (int open = 0; open < 40; ++open) {
        const Place p = kx::NewWindowPlace(open, 500, 320, 1400, 790, 27);
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.width <= 1400 && p.y + p.height <= 790) << open;
    }
}

TEST(WindowPlaces, CascadeFillsTheAreaToItsRightAndBottomEdges) {
    using kx::Place;
    EXPECT_EQ(kx::CascadePlaces(3, 900, 600, 30),
              (std::vector<Place>{{0, 0, 840, 540}, {30, 30, 840, 540}, {60, 60, 840, 540}}));
    EXPECT_EQ(kx::CascadePlaces(1, 900, 600, 30), (std::vector<Place>{{0, 0, 900, 600}}));
    EXPECT_TRUE(kx::CascadePlaces(0, 900, 600, 30).empty());
    // Nine windows in 900x600: no more than 200 / 30 = 6 steps, so that each
    // keeps two thirds of the area; the eighth and ninth start again.
    const std::vector<Place> many = kx::CascadePlaces(9, 900, 600, 30);
    for (const Place& p : many) {
        EXPECT_EQ(p.width, 720);
        EXPECT_EQ(p.height, 420);
        EXPECT_LE(p.x + p.width, 900);
        EXPECT_LE(p.y + p.height, 600);
    }
    EXPECT_EQ(many[6].x, 180);
    EXPECT_EQ(many[7].x, 0);
}

// A file and where the solver's reading of its input part (settings open)
// stops.
struct SolverRead {
    std::string bytes;
    std::vector<std::string_view> lines;
    kx::solverfile::SolverInput input;
    kx::SolverInputError error;
    bool reads = false;

    explicit SolverRead(std::string text) : bytes(std::move(text)), lines(kx::SplitSolverLines(bytes)) {
        reads = kx::solverfile::ReadSolverInput(lines, kx::SolverSettings::Open, input, error);
    }
};

std::vector<std::string> revReactions(int count) {
    std::vector<std::string> lines;
    for (int n = 1; n <= count; ++n)
        for (const std::string& l : kx::test::RevReaction(n)) lines.push_back(l);
    return lines;
}

// Three species (lines 35-46) and the separator lines put the first
// reaction record on line 50; each record with its REV line takes four.
TEST(RevReactions, AtMostThreeEquationLinesAreListed) {
    struct Case {
        int count;
        std::string list;
    } cases[] = {
        {1, " 1    A1+B<=>C1"},
        {3, " 1    A1+B<=>C1\r\n 2    A2+B<=>C2\r\n 3    A3+B<=>C3"},
        {5, " 1    A1+B<=>C1\r\n 2    A2+B<=>C2\r\n 3    A3+B<=>C3..."},
    };
    for (const Case& c : cases) {
        kx::test::SolverFileText file;
        file.reactions = revReactions(c.count);
        file.reactionCount = c.count;
        const SolverRead read(file.bytes());
        ASSERT_FALSE(read.reads) << c.count;
        const kx::RevReactions rev = kx::FindRevReactions(read.lines, read.input, read.error);
        EXPECT_EQ(rev.FirstLine, 53) << c.count;
        EXPECT_EQ(rev.Count, c.count);
        EXPECT_EQ(rev.List, c.list) << c.count;
    }
}

// A REV line is one where the solver's reading has no place for it: where
// the next record or the end line would begin, or where a parameter line of
// the record stands. A line of the record that the solver reads past (an
// equation or third-body label) may begin so, and so may any line before
// the records; and REV lines after a record that does not read for another
// reason are not why the reading stopped.
TEST(RevReactions, OnlyLinesTheSolversReadingHasNoPlaceForCount) {
    using kx::test::PlainReaction;
    const std::string rev = "      REV / 1.0 0.0 0.0 /";
    const std::vector<std::string> fallOff = {
        " 1    S1+S2(+M)<=>S3(+M)", "      1   2   0   3   0   0   0   0   0   2   1   1   0   1   0   1",
        "       0.10000000E+14 0.00000000E+00 0.10000000E+05", rev,
        "       0.10000000E+15 0.00000000E+00 0.00000000E+00"};
    const std::vector<std::string> thirdBody = {
        " 2    S1+S2+M<=>S3+M", "      1   2   0   3   0   0   0   0   0   2   1   1   1   0   0   1",
        "       0.10000000E+14 0.00000000E+00 0.10000000E+05", "     rev. third bodies", "             1",
        "          2.50"};
    std::vector<std::string> brokenFirst = PlainReaction(1);
    brokenFirst[1] = "      x";
    brokenFirst.push_back(rev);
    std::vector<std::string> brokenSecond = kx::test::RevReaction(1);
    for (const std::string& l : PlainReaction(2)) brokenSecond.push_back(l);
    brokenSecond[5] = "      x";
    struct Case {
        const char* what;
        std::vector<std::string> reactions;
        int count;
        bool reads;     // the solver reads the file
        int firstLine;  // 0: the reading stopped at no REV line, or not at all
        std::string list;
    } cases[] = {
        {"within a fall-off record, where its low-pressure line stands", fallOff, 1, false, 53,
         " 1    S1+S2(+M)<=>S3(+M)"},
        {"after the last record, where the end line stands", kx::test::RevReaction(7), 1, false, 53, " 7    A7+B<=>C7"},
        {"a third-body label", thirdBody, 1, true, 0, ""},
        {"an equation line", {"REV   S1+S2<=>S3", PlainReaction(1)[1], PlainReaction(1)[2]}, 1, true, 0, ""},
        {"after a record that does not read", brokenFirst, 1, false, 0, ""},
        {"before a record that does not read", brokenSecond, 2, false, 53, " 1    A1+B<=>C1"},
    };
    for (const Case& c : cases) {
        kx::test::SolverFileText file;
        file.reactions = c.reactions;
        file.reactionCount = c.count;
        const SolverRead read(file.bytes());
        const kx::RevReactions found = kx::FindRevReactions(read.lines, read.input, read.error);
        EXPECT_EQ(found.FirstLine, c.firstLine) << c.what << ": " << read.error.line << " " << read.error.problem;
        EXPECT_EQ(found.List, c.list) << c.what;
        EXPECT_EQ(read.reads, c.reads) << c.what;
    }
    // Lines before the records count for nothing, even where the reading
    // stops in the records for another reason.
    kx::test::SolverFileText header;
    header.reactions = brokenFirst;
    std::string text = header.bytes();
    text.replace(text.find(" \r\n"), 3, " REV lines are refused\r\n");
    const SolverRead read(text);
    EXPECT_EQ(kx::FindRevReactions(read.lines, read.input, read.error).FirstLine, 0);
}

}  // namespace
