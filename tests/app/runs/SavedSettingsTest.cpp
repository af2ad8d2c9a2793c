// The saved run settings: what Save writes, what Enter reads back, and how
// the saved fractions find their species in another mechanism.
#include "SavedSettings.h"

#include "Errors.h"
#include "Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace kx;
using namespace kx::runs;

namespace {

RunSettings typedSettings() {
    RunSettings s;
    const char* texts[] = {"2.5", "1200", "300", "4000", "0", "1.E-02", "1.E-10", "1.E-06", "1.E-15", "5000", "10"};
    for (std::size_t i = 0; i < kSettingCount; ++i) s.text[i] = texts[i];
    s.adiabatic = true;
    return s;
}

}  // namespace

TEST(SavedSettings, WritesEveryBoxAndThePositiveFractionsOnly) {
    test::TempDir dir;
    const std::vector<SpeciesRow> species = {
        {"H2", "H2", "0.5"}, {"O2", "O2", ""}, {"N2", "N2", "0"}, {"AR", "AR", "abc"}, {"HE", "HE", "-1"},
        {"CH4", "C1H4", "2.E-03"}};
    const std::string file = dir.file("SolverData.txt");
    WriteSavedSettings(file, SavedSettingsItems("/data/run 1.txt", typedSettings(), species));
    EXPECT_EQ(test::ReadBytes(file),
              " 15 \r\n/data/run 1.txt\r\n2.5\r\n1200\r\n300\r\n4000\r\n0\r\n1.E-02\r\n1.E-10\r\n1.E-06\r\n1.E-15\r\n"
              "5000\r\n10\r\nTrue\r\n\r\nH2 0.5\r\nCH4 2.E-03\r\n");
}

TEST(SavedSettings, WithEveryFractionZeroTheFileHasFifteenLinesTheLastEmpty) {
    test::TempDir dir;
    RunSettings s = typedSettings();
    s.adiabatic = false;
    const std::string file = dir.file("SolverData.txt");
    WriteSavedSettings(file, SavedSettingsItems("p", s, {{"H2", "H2", "0"}, {"O2", "O2", ""}}));
    const std::vector<std::string> lines = files::ReadLines(file);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], " 13 ");
    EXPECT_EQ(lines[13], "False");
    EXPECT_EQ(lines[14], "");
}

TEST(SavedSettings, EnterPutsTheSettingsBackAndMatchesSpeciesByName) {
    test::TempDir dir;
    const std::string file = dir.file("SolverData.txt");
    WriteSavedSettings(file, SavedSettingsItems("/a/b.txt", typedSettings(),
                                                {{"H2", "H2", "0.5"}, {"O2", "O2", "0.25"}, {"XX", "X", "1"}}));
    const std::vector<std::string> items = ReadSavedSettings(file);
    ASSERT_EQ(items.size(), 17u);

    // Another mechanism: other order, a species twice, one missing, one new.
    std::vector<SpeciesRow> other = {{"N2", "N2", "0.7"}, {"O2", "O2", "0.1"}, {"H2", "H2", ""}, {"O2", "O2", "0.3"}};
    RunSettings s;
    ApplySavedSettings(items, s, other);
    EXPECT_EQ(s.text, typedSettings().text);
    EXPECT_TRUE(s.adiabatic);
    EXPECT_EQ(other[0].fraction, "0");  // not saved: cleared
    EXPECT_EQ(other[1].fraction, "2.5E-01");
    EXPECT_EQ(other[2].fraction, "5.E-01");
    EXPECT_EQ(other[3].fraction, "0");  // only the first of the name receives it
}

TEST(SavedSettings, ItemsAreTrimmedAndTheLaterOfTwoEntriesWins) {
    test::TempDir dir;
    const std::string file = dir.write("SolverData.txt",
                                       "16\r\npath\r\n 1 \r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n"
                                       "false\r\n\r\n  H2 0.1  \r\nNOBLANK\r\nH2   0.3\r\n");
    const std::vector<std::string> items = ReadSavedSettings(file);
    RunSettings s;
    std::vector<SpeciesRow> species = {{"H2", "H2", "0.9"}};
    ApplySavedSettings(items, s, species);
    EXPECT_EQ(s[Setting::Pressure], "1");
    EXPECT_EQ(s[Setting::OutputStep], "11");
    EXPECT_FALSE(s.adiabatic);
    EXPECT_EQ(species[0].fraction, "3.E-01");
}

TEST(SavedSettings, AFileEndingEarlyAndABadModeItemFail) {
    test::TempDir dir;
    const std::string shortFile = dir.write("short.txt", " 20 \r\npath\r\n1\r\n2\r\n");
    try {
        ReadSavedSettings(shortFile);
        ADD_FAILURE() << "a short file was read";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InputPastEndOfFile);
    }
    EXPECT_THROW(ReadSavedSettings(dir.write("nan.txt", "many\r\n")), Error);

    std::vector<std::string> items = {"p", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "Maybe", ""};
    RunSettings s;
    std::vector<SpeciesRow> species = {{"H2", "H2", "0.9"}};
    try {
        ApplySavedSettings(items, s, species);
        ADD_FAILURE() << "\"Maybe\" was read as a flag";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::TypeMismatch);
    }
    EXPECT_EQ(s[Setting::OutputStep], "11");  // the boxes before it are set
    EXPECT_EQ(species[0].fraction, "0.9");    // the fractions are not

    items[12] = "-1";
    ApplySavedSettings(items, s, species);
    EXPECT_TRUE(s.adiabatic);
}

TEST(SavedSettings, AFailedWriteLeavesTheOldFile) {
    test::TempDir dir;
    const std::string file = dir.write("SolverData.txt", " 13 \r\nold\r\n");
    files::SetReadOnly(file, true);
    EXPECT_THROW(WriteSavedSettings(file, SavedSettingsItems("new", typedSettings(), {})), Error);
    EXPECT_EQ(test::ReadBytes(file), " 13 \r\nold\r\n");
    EXPECT_THROW(WriteSavedSettings(dir.file("missing/SolverData.txt"), {"x"}), Error);
}
