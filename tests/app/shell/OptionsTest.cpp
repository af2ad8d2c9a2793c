#include "Options.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Item 4 differs from yellow, so a test sees whether it was replaced.
const char* kItems[] = {"1",  "1",  "255", "128",       "0",           "0",        "0",        "0",      "0",
                        "0",  "0",  "8.314462618",        "1.987204",    "6.02214076E+23", "1.380649E-23",
                        "101.325", "9408399"};

std::string oneLine() {
    std::string s;
    for (const char* item : kItems) s += std::string(s.empty() ? "" : ", ") + item;
    return s + "\r\n";
}

std::string manyLines(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += std::string(kItems[i]) + "\n";
    return s;
}

// A program folder with the given OPTIONS.txt in its AssistFiles.
struct ProgramFolder {
    kx::test::TempDir dir;
    explicit ProgramFolder(const std::string& options) { dir.write("AssistFiles/OPTIONS.txt", options); }
};

TEST(OptionOpen, OneLineAndSeventeenLinesReadAlike) {
    for (const std::string& text : {oneLine(), manyLines(17)}) {
        ProgramFolder folder(text);
        kx::SharedState s;
        bool failed = true;
        kx::OptionOpen(s, folder.dir.path(), failed);
        EXPECT_FALSE(failed);
        EXPECT_EQ(s.AppFolder, folder.dir.path());
        EXPECT_EQ(s.AssistFolder, folder.dir.path() + "/AssistFiles/");
        EXPECT_EQ(s.HighlightColor, 255);
        EXPECT_EQ(s.SelectionColor, kx::kYellow);  // item 4 is replaced once all is read
        EXPECT_DOUBLE_EQ(s.GasConstantJ, 8.314462618);
        EXPECT_DOUBLE_EQ(s.GasConstantCal, 1.987204);
        EXPECT_DOUBLE_EQ(s.AvogadroNumber, 6.02214076e23);
        EXPECT_DOUBLE_EQ(s.UnitFactorE7, 1.380649e-16);
        EXPECT_DOUBLE_EQ(s.UnitFactorE4, 1013250.0);
        EXPECT_EQ(s.MainBackColor, 9408399);
        // The gas constant in cm3 atm/(mol K) that the sample solver files use.
        EXPECT_NEAR(s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4, 82.0574, 1e-4);
    }
}

TEST(OptionOpen, ShippedFileGivesTheSampleGasConstant) {
    kx::test::TempDir dir;
    dir.write("AssistFiles/OPTIONS.txt", kx::test::ReadBytes(KX_SHIPPED_OPTIONS));
    kx::SharedState s;
    bool failed = true;
    kx::OptionOpen(s, dir.path(), failed);
    ASSERT_FALSE(failed);
    EXPECT_NEAR(s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4, 82.0574, 1e-4);
}

TEST(OptionOpen, SixteenItemsFailAndLeaveTheColoursAlone) {
    ProgramFolder folder(manyLines(16));
    kx::SharedState s;
    s.MainBackColor = kx::kGreyBackground;
    bool failed = false;
    kx::OptionOpen(s, folder.dir.path(), failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(s.MainBackColor, kx::kGreyBackground);
    EXPECT_EQ(s.SelectionColor, 128);             // item 4 as read, not made yellow
    EXPECT_DOUBLE_EQ(s.UnitFactorE4, 1013250.0);  // items before the failure keep their values
}

TEST(OptionOpen, FailuresStopTheReading) {
    struct Case {
        int item;  // 1-based item replaced
        const char* text;
        const char* why;
    };
    for (Case c : {Case{15, "1e305", "Item 15, '1e305', is too large."},
                   Case{16, "1e305", "Item 16, '1e305', is too large."}, Case{12, "8;3", "Item 12, '8;3', is no number."},
                   Case{13, "abc", "Item 13, 'abc', is no number."},
                   Case{17, "grey", "Item 17, 'grey', is no colour (a whole number of 32 bits)."},
                   Case{3, "1e12", "Item 3, '1e12', is no colour (a whole number of 32 bits)."}}) {
        std::string text;
        for (int i = 0; i < 17; ++i) text += std::string(i + 1 == c.item ? c.text : kItems[i]) + "\n";
        ProgramFolder folder(text);
        kx::SharedState s;
        s.MainBackColor = kx::kGreyBackground;
        bool failed = false;
        std::string why;
        kx::OptionOpen(s, folder.dir.path(), failed, &why);
        EXPECT_TRUE(failed) << "item " << c.item << " = " << c.text;
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(s.MainBackColor, kx::kGreyBackground) << "item " << c.item;
        EXPECT_NE(s.SelectionColor, kx::kYellow) << "item " << c.item;
    }
}

TEST(OptionOpen, MissingFileFails) {
    kx::test::TempDir dir;
    kx::SharedState s;
    bool failed = false;
    std::string why;
    kx::OptionOpen(s, dir.path() + "/", failed, &why);
    EXPECT_TRUE(failed);
    EXPECT_EQ(why, "Path not found: " + dir.path() + "/AssistFiles/OPTIONS.txt.");
    EXPECT_EQ(s.AppFolder, dir.path());  // a trailing "/" is dropped
}

TEST(OptionOpen, ScalesItemsFifteenAndSixteen) {
    std::string text;
    for (int i = 0; i < 17; ++i) text += std::string(i == 14 || i == 15 ? "1" : kItems[i]) + ",";
    ProgramFolder folder(text);
    kx::SharedState s;
    bool failed = true;
    kx::OptionOpen(s, folder.dir.path(), failed);
    ASSERT_FALSE(failed);
    EXPECT_EQ(s.UnitFactorE7, 10000000.0);
    EXPECT_EQ(s.UnitFactorE4, 10000.0);
}

TEST(SplitListItems, CommasAndLineEnds) {
    using V = std::vector<std::string>;
    EXPECT_EQ(kx::SplitListItems("1,,2\n"), (V{"1", "", "2"}));
    EXPECT_EQ(kx::SplitListItems("1,\r\n2,\n"), (V{"1", "2"}));
    EXPECT_EQ(kx::SplitListItems(" 1 ,\t2\n\n  \n3"), (V{"1", "2", "3"}));
    EXPECT_EQ(kx::SplitListItems(",\n"), (V{""}));
    EXPECT_EQ(kx::SplitListItems("1, ,2"), (V{"1", "", "2"}));
}

TEST(StoreOptionItems, EmptyItemsReadAsZeroAndExtraItemsAreIgnored) {
    std::vector<std::string> items(kItems, kItems + 17);
    items[11] = "";
    items.push_back("not read");
    kx::SharedState s;
    s.GasConstantJ = 5;
    EXPECT_TRUE(kx::StoreOptionItems(s, items));
    EXPECT_EQ(s.GasConstantJ, 0.0);
}

}  // namespace
