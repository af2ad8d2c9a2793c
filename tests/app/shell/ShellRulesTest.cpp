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

TEST(RevReactions, LettersCaseAndBlanksDoNotHideTheMarkers) {
    kx::test::TempDir dir;
    RecordingNotifier notifier;
    const std::string text =
        "header\r\n  Reactions  MOLES\r\n eq1\r\n f1\r\n p1\r\n    Rev / 1 0 0 /\r\n eq2\r\n f2\r\n p2\r\n"
        "  End\r\n eq3\r\n f3\r\n p3\r\n REV / 1 0 0 /\r\n";
    bool found = false;
    std::string list;
    kx::ListRevReactions(dir.write("rev.sol", text), found, list, notifier);
    EXPECT_TRUE(found);
    EXPECT_EQ(list, " eq1");  // nothing after the end line counts
}

TEST(RevReactions, AFileWithoutReactionsIsReported) {
    kx::test::TempDir dir;
    RecordingNotifier notifier;
    bool found = true;
    std::string list;
    kx::ListRevReactions(dir.write("none.sol", "a\r\nb\r\nREV\r\n"), found, list, notifier);
    EXPECT_FALSE(found);
    ASSERT_EQ(notifier.errors.size(), 1u);
    EXPECT_EQ(notifier.errors[0], "Mod1#016.1 Input past end of file");

    kx::ListRevReactions(dir.file("missing.sol"), found, list, notifier);
    EXPECT_FALSE(found);
    ASSERT_EQ(notifier.errors.size(), 2u);
    EXPECT_EQ(notifier.errors[1].rfind("Mod1#016.1 File not found", 0), 0u);
}

}  // namespace
