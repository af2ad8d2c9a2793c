// Rules of the shell that need no window: the number-format complaint, the
// numbering of new text documents, window places, and the list of
// reactions with explicit reverse rates.
#include "DocumentWindows.h"
#include "Format.h"
#include "NumberFormatCheck.h"
#include "RevReactions.h"

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

class RecordingNotifier : public kx::Notifier {
public:
    std::vector<std::string> errors;
    void Message(const std::string&, int, const std::string&) override { ADD_FAILURE() << "no message expected"; }
    void ReportError(std::string_view tag, std::string_view description) override {
        errors.push_back(std::string(tag) + std::string(description));
    }
};

std::vector<std::string> revReactions(int count) {
    std::vector<std::string> lines;
    for (int n = 1; n <= count; ++n)
        for (const std::string& l : kx::test::RevReaction(n)) lines.push_back(l);
    return lines;
}

TEST(RevReactions, AtMostThreeEquationLinesAreListed) {
    kx::test::TempDir dir;
    RecordingNotifier notifier;
    struct Case {
        int count;
        bool found;
        std::string list;
    } cases[] = {
        {0, false, ""},
        {1, true, " 1    A1+B<=>C1"},
        {3, true, " 1    A1+B<=>C1\r\n 2    A2+B<=>C2\r\n 3    A3+B<=>C3"},
        {5, true, " 1    A1+B<=>C1\r\n 2    A2+B<=>C2\r\n 3    A3+B<=>C3..."},
    };
    for (const Case& c : cases) {
        kx::test::SolverFileText file;
        file.reactions = c.count ? revReactions(c.count) : file.reactions;
        bool found = !c.found;
        std::string list = "left over";
        kx::ListRevReactions(dir.write("rev.sol", file.bytes()), found, list, notifier);
        EXPECT_EQ(found, c.found) << c.count;
        EXPECT_EQ(list, c.list) << c.count;
    }
    EXPECT_TRUE(notifier.errors.empty());
}

// The records are those after the REACTIONS line that follows the THERMO
// line, up to the end line, markers in any letter case and blanks: free
// text of the header that begins "Reactions" or "REV" counts for nothing.
TEST(RevReactions, TheRecordsAreFoundWhereTheSolverFindsThem) {
    kx::test::TempDir dir;
    RecordingNotifier notifier;
    kx::test::SolverFileText file;
    file.reactions = {" eq1", " f1", " p1", "    Rev / 1 0 0 /", " eq2", " f2", " p2"};
    file.after = {" eq3", " f3", " p3", " REV / 1 0 0 /"};
    std::vector<std::string> lines = file.Lines();
    lines[1] = " Reactions of A and B";
    lines[2] = " REV lines are refused";
    const auto reactions = std::find(lines.begin(), lines.end(), " REACTIONS   MOLES   CAL/MOLE");
    ASSERT_NE(reactions, lines.end());
    *reactions = "  Reactions  MOLES";
    ASSERT_EQ(lines[lines.size() - file.after.size() - 1], " END");
    lines[lines.size() - file.after.size() - 1] = "  End";
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    bool found = false;
    std::string list;
    kx::ListRevReactions(dir.write("rev.sol", text), found, list, notifier);
    EXPECT_TRUE(found);
    EXPECT_EQ(list, " eq1");  // nothing after the end line counts
    EXPECT_TRUE(notifier.errors.empty());
}

TEST(RevReactions, AFileWithoutReactionsIsReported) {
    kx::test::TempDir dir;
    RecordingNotifier notifier;
    bool found = true;
    std::string list;
    const std::string none = dir.write("none.sol", "a\r\nb\r\nREV\r\n");
    kx::ListRevReactions(none, found, list, notifier);
    EXPECT_FALSE(found);
    ASSERT_EQ(notifier.errors.size(), 1u);
    EXPECT_EQ(notifier.errors[0], "Mod1#016.1 Input past end of file: " + none + " ends after line 3");

    kx::ListRevReactions(dir.file("missing.sol"), found, list, notifier);
    EXPECT_FALSE(found);
    ASSERT_EQ(notifier.errors.size(), 2u);
    EXPECT_EQ(notifier.errors[1].rfind("Mod1#016.1 File not found", 0), 0u);
}

}  // namespace
