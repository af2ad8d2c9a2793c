// Reading two solver files with results for the comparison: pressure,
// results block, species and targets, the merged table and the conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "ComparisonFiles.h"
#include "Format.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::ComparisonFiles;
using kx::MessageIcon;
using kx::TaggedError;
using kx::test::TempDir;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

// How the comparison refuses file 1 or 2, as every reader refuses a file:
// the file, then what is wrong (naming the line) on a line of its own.
std::string Refusal(int number, const std::string& path, const std::string& description) {
    return "In the file " + std::to_string(number) + " '" + path + "', unexpected error.\r\n" + description + ".";
}

// What a step's refusal says; empty when the step ran through.
template <class Step>
std::string RefusalOf(Step&& step) {
    try {
        step();
    } catch (const kx::FileRefusal& e) {
        return e.what();
    }
    return {};
}

SolverFileFixture Named(const std::vector<std::string>& names, std::vector<double> masses) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(static_cast<int>(names.size()));
    for (std::size_t k = 0; k < names.size(); ++k) {
        f.species[k].name = names[k];
        f.species[k].molarMass = masses[k];
    }
    return f;
}

class ComparisonFilesTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const SolverFileFixture& f, const std::string& line12 = " !") {
        std::vector<std::string> lines = f.Lines();
        lines[11] = line12;
        return folder.write(name, kxtest::JoinLines(lines));
    }
    // Both files read; false when a step refused or failed.
    bool Read(const std::string& one, const std::string& two) {
        if (files.OpenFiles(one, two).Failed) return false;
        files.SpeciesAARR();
        files.ConvertToMoleFractions();
        return true;
    }

    TempDir folder;
    RecordingSink sink;
    ComparisonFiles files{sink};
};

TEST_F(ComparisonFilesTest, MergedTableHoldsFileOneThenWhatOnlyFileTwoHas) {
    SolverFileFixture one = Named({"A", "B", "C"}, {2, 32, 18});
    one.AddRecords({0, 1, 2, 3});
    SolverFileFixture two = Named({"C", "c", "D"}, {18, 18, 28});
    two.AddRecords({0, 1, 2, 3});
    ASSERT_TRUE(Read(Write("full.txt", one), Write("reduced.txt", two, " 2 -1 1 !Targets T 1.000E-01, C 1.000E-01, Others 3.000E-01")));
    EXPECT_TRUE(sink.shown.empty());

    const std::vector<kx::CmpMergedRow>& m = files.MergedSpecies();
    ASSERT_EQ(files.MergedSpeciesLast(), 5);
    struct Row {
        std::string name, flag1, flag2;
        std::optional<int> index1, index2;
    };
    const std::vector<Row> expected{{"Temperature", "*", "v", 0, 0},       {"A", "*", "", 1, std::nullopt},
                                    {"B", "*", "", 2, std::nullopt},       {"C", "*", "v", 3, 1},
                                    {"c", "", "*", std::nullopt, 2},       {"D", "", "*", std::nullopt, 3}};
    for (std::size_t r = 0; r < expected.size(); ++r) {
        EXPECT_EQ(m[r].Name, expected[r].name) << r;
        EXPECT_EQ(m[r].Flag1, expected[r].flag1) << r;
        EXPECT_EQ(m[r].Flag2, expected[r].flag2) << r;
        EXPECT_EQ(m[r].Index1, expected[r].index1) << r;
        EXPECT_EQ(m[r].Index2, expected[r].index2) << r;
    }
    EXPECT_EQ(files.File(2).MolarMasses[3], 28);
}

// The results stand after the mechanism's end line: a free-text line of the
// header that begins like the results title (lines 2-9, which the solver
// passes over) is no title, in either file.
TEST_F(ComparisonFilesTest, TheResultsTitleIsFoundAfterTheEndLine) {
    SolverFileFixture f = Named({"A", "B"}, {2, 32});
    f.AddRecords({0, 1, 2, 3});
    std::vector<std::string> lines = f.Lines();
    lines[1] = " !$Results of the full mechanism, run on Monday";
    const std::string one = folder.write("one.txt", kxtest::JoinLines(lines));
    ASSERT_TRUE(Read(one, one));
    EXPECT_TRUE(sink.shown.empty()) << sink.shown[0].text;
    EXPECT_EQ(files.File(1).PointCount, 4);
    EXPECT_EQ(files.File(2).SpeciesCount, 2);
}

// The comparison refuses the headers that the results window refuses, with
// the same description, whichever file holds one.
TEST_F(ComparisonFilesTest, HeaderThatDisagreesWithItsRecordsIsRefused) {
    SolverFileFixture good = SolverFileFixture::WithSpecies(3);
    good.AddRecords({0, 1, 2, 3});
    const std::string sound = Write("sound.txt", good);
    for (const kxtest::DisagreeingHeader& c : kxtest::HeadersThatDisagreeWithTheirRecords()) {
        const std::string damaged = folder.write("damaged.txt", kxtest::JoinLines(c.lines));
        for (bool first : {true, false}) {
            ComparisonFiles cmp(sink);
            ASSERT_FALSE(cmp.OpenFiles(first ? damaged : sound, first ? sound : damaged).Failed) << c.what;
            // Which of the two files it is in, then what is wrong there.
            EXPECT_EQ(RefusalOf([&] { cmp.SpeciesAARR(); }), Refusal(first ? 1 : 2, damaged, c.description))
                << c.what;
        }
    }
}

TEST_F(ComparisonFilesTest, OnlyATargetsLineFlagsTargets) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(8);
    f.AddRecords({0, 1, 2, 3});
    const std::string one = Write("one.txt", f);
    struct Case {
        std::string line12;
        std::vector<int> flagged;  // rows with "v"
    };
    const std::vector<Case> cases{
        {" 3 -1 5 7 !Targets T 1.000E-01, S5 1.000E-01, S7 1.000E-01, Others 3.000E-01", {0, 5, 7}},
        {" 1 8 !Targets S8 1.000E-01, Others 3.000E-01", {8}},
        {" 0 !Targets Others 3.000E-01", {}},
        {" !", {}},
        {" Run of 12 May !comment", {}},
        {" 2 4 6 !not targets", {}},
        {" Targets 2 !Targets", {}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Read(one, Write("two.txt", f, c.line12))) << c.line12;
        std::vector<int> flagged;
        for (int k = 0; k <= 8; ++k) {
            const std::string& flag = files.File(2).SpeciesFlags[static_cast<std::size_t>(k)];
            if (flag == "v") flagged.push_back(k);
            else EXPECT_EQ(flag, "*") << c.line12 << ", row " << k;
        }
        EXPECT_EQ(flagged, c.flagged) << c.line12;
    }
    EXPECT_TRUE(sink.shown.empty());
    // A target beyond the species of the file.
    const std::string bad = Write("bad.txt", f, " 1 9 !Targets S9 1.000E-01, Others 3.000E-01");
    ASSERT_FALSE(files.OpenFiles(one, bad).Failed);
    EXPECT_EQ(RefusalOf([&] { files.SpeciesAARR(); }),
              Refusal(2, bad, "Subscript out of range: line 12: the target 9 is not a species of the file (1 to 8, "
                              "or -1 for the temperature)"));
}

// Counts that no mechanism has are refused before any table is sized by
// them (they once asked for tens of gigabytes).
TEST_F(ComparisonFilesTest, ASpeciesCountBeyondTheLimitIsRefusedClearly) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1, 2, 3});
    const std::string good = Write("good.txt", f);
    for (const std::string count : {"2147483647", "1073741824", "301"}) {
        std::vector<std::string> lines = f.Lines();
        lines[9] = " " + count + " !Species";
        const std::string bad = folder.write("bad.txt", kxtest::JoinLines(lines));
        ASSERT_FALSE(files.OpenFiles(good, bad).Failed) << count;
        EXPECT_EQ(RefusalOf([&] { files.SpeciesAARR(); }),
                  Refusal(2, bad, "Subscript out of range: line 10: the species count " + count +
                                      " is above the limit of 300 species"));
    }
}

TEST_F(ComparisonFilesTest, SpeciesValuesAreMoleFractionsTimesPressureOverTemperature) {
    // The absolute tolerance 1e-12 puts the zero threshold at 1e-14, as in
    // the results window: C at the threshold counts as zero and is left
    // out, D just above it counts.
    SolverFileFixture f = Named({"A", "B", "C", "D"}, {2, 32, 18, 28});
    ASSERT_EQ(f.absTolerance, 1e-12);
    f.mode = 1;  // the temperatures of the records differ
    f.pressure = 2;
    f.records = {{0, 1000, {0.1, 0.2, 1e-14, 2e-14}}, {1e-4, 1250, {0.05, 0.3, 0.2, 0.4}},
                 {2e-4, 1500, {0.01, 0.2, 0.3, 0.5}}, {3e-4, 2000, {0, 0.1, 0.5, 0.4}}};
    SolverFileFixture g = f;
    g.pressure = 0.5;
    ASSERT_TRUE(Read(Write("one.txt", f), Write("two.txt", g)));
    for (int file : {1, 2}) {
        const kx::CmpFileData& d = files.File(file);
        const SolverFileFixture& src = file == 1 ? f : g;
        ASSERT_EQ(d.PointCount, 4);
        EXPECT_EQ(d.Pressure, src.pressure);
        for (int j = 1; j <= 4; ++j) {
            const kxtest::FixtureRecord& r = src.records[static_cast<std::size_t>(j) - 1];
            EXPECT_DOUBLE_EQ(d.Values(0, j), r.time);
            EXPECT_DOUBLE_EQ(d.Values(1, j), r.temperature);
            double sum = 0;
            std::vector<double> moles;
            for (int k = 0; k < 4; ++k) {
                const double y = r.y[static_cast<std::size_t>(k)];
                moles.push_back(y > 1e-14 ? y / src.species[static_cast<std::size_t>(k)].molarMass : 0.0);
                sum += moles.back();
            }
            for (int k = 1; k <= 4; ++k)
                EXPECT_NEAR(d.Values(k + 1, j), src.pressure / r.temperature * moles[static_cast<std::size_t>(k) - 1] / sum,
                            1e-15)
                    << "file " << file << " point " << j << " species " << k;
        }
    }
    EXPECT_EQ(files.File(1).Values(4, 1), 0.0);
    EXPECT_GT(files.File(1).Values(5, 1), 0.0);
    const kx::CmpCurve t = files.Curve(2, 1);
    EXPECT_EQ(t.Value, (std::vector<double>{0, 1000, 1250, 1500, 2000}));
}

// A run with a coarse absolute tolerance, 1.0: a mass fraction counts as
// zero when it is not above 0.01, as in the results window, so every record
// that holds a species above it is compared. A record in which every
// species counts as zero gives each species the value 0 (no point of its
// curve), its time and temperature kept.
TEST_F(ComparisonFilesTest, AFractionCountsAsZeroAsInTheResultsWindow) {
    SolverFileFixture f = Named({"A", "B", "C", "D"}, {2, 32, 18, 28});
    f.absTolerance = 1.0;
    f.mode = 1;
    f.records = {{0, 1000, {0.5, 0.3, 0.01, 0.02}},
                 {1e-4, 1100, {0.6, 0.2, 0.015, 0.005}},
                 {2e-4, 1200, {0.01, 0.005, 0, -1e-3}},
                 {3e-4, 1300, {0.7, 0.1, 0.1, 0.1}}};
    const std::string path = Write("coarse.txt", f);
    ASSERT_TRUE(Read(path, path));
    EXPECT_TRUE(sink.shown.empty()) << sink.shown[0].text;
    const kx::CmpFileData& d = files.File(1);
    EXPECT_EQ(d.ZeroThreshold, 0.01);
    ASSERT_EQ(d.PointCount, 4);
    for (int j = 1; j <= 4; ++j) {
        const kxtest::FixtureRecord& r = f.records[static_cast<std::size_t>(j) - 1];
        EXPECT_EQ(d.Values(0, j), r.time);
        EXPECT_EQ(d.Values(1, j), r.temperature);
        double sum = 0;
        for (int k = 0; k < 4; ++k)
            if (r.y[static_cast<std::size_t>(k)] > 0.01) sum += r.y[static_cast<std::size_t>(k)] / f.species[static_cast<std::size_t>(k)].molarMass;
        for (int k = 0; k < 4; ++k) {
            const double y = r.y[static_cast<std::size_t>(k)];
            const double expected =
                y > 0.01 ? 1.0 / r.temperature * y / f.species[static_cast<std::size_t>(k)].molarMass / sum : 0.0;
            EXPECT_NEAR(d.Values(k + 2, j), expected, 1e-15) << "point " << j << " species " << k + 1;
        }
    }
    // The record without any species present: its species are absent.
    for (int k = 2; k <= 5; ++k) EXPECT_EQ(d.Values(k, 3), 0.0) << k;
    EXPECT_EQ(files.Curve(1, 1).Value[3], 1200.0);
}

TEST_F(ComparisonFilesTest, RecordsOverSeveralLinesAreJoinedOnTheirColumns) {
    for (int ns : {50, 51, 100, 120}) {
        SolverFileFixture f = SolverFileFixture::WithSpecies(ns);
        f.mode = 1;  // the temperatures of the records differ
        f.absTolerance = 1e-30;
        for (int i = 0; i < 3; ++i) {
            kxtest::FixtureRecord r{1e-4 * i, 1000.0 + i, {}};
            for (int k = 1; k <= ns; ++k) r.y.push_back(1e-4 * k + 1e-6 * i);
            if (ns > 50) r.y[50] = -1e-20;  // a continuation line that starts with a minus
            f.records.push_back(r);
        }
        const std::string path = Write("f" + std::to_string(ns) + ".txt", f);
        ASSERT_TRUE(Read(path, path)) << ns;
        const kx::CmpFileData& d = files.File(1);
        ASSERT_EQ(d.PointCount, 3) << ns;
        for (int j = 1; j <= 3; ++j) {
            const kxtest::FixtureRecord& r = f.records[static_cast<std::size_t>(j) - 1];
            double sum = 0;
            for (int k = 1; k <= ns; ++k)
                if (r.y[static_cast<std::size_t>(k) - 1] >= 1e-30) sum += r.y[static_cast<std::size_t>(k) - 1] / (9.0 + k);
            for (int k = 1; k <= ns; ++k) {
                const double y = r.y[static_cast<std::size_t>(k) - 1];
                const double expected = y >= 1e-30 ? 1.0 / r.temperature * y / (9.0 + k) / sum : 0.0;
                ASSERT_NEAR(d.Values(k + 1, j), expected, 1e-9 * expected) << ns << " species, species " << k;
            }
        }
    }
}

TEST_F(ComparisonFilesTest, BlankLineAndAnotherLengthEndTheTable) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(3);
    f.AddRecords({0, 1, 2});
    f.tail = {" ", " Error", " The integration stopped."};
    const std::string path = Write("stopped.txt", f);
    ASSERT_TRUE(Read(path, path));
    EXPECT_EQ(files.File(1).PointCount, 3);
    EXPECT_FALSE(files.File(2).ResultsClosed);
    EXPECT_EQ(files.File(2).Lines, std::vector<std::string>{std::string()});
}

// How a results block ends, for either file: results that do not run up to
// their closing line keep the records before the end and name the file in
// one note that says where they end.
struct BlockEnd {
    const char* what;
    int species;
    int droppedLines;               // lines of the six records left out at the end
    int cutCharacters;              // characters cut off the last line left
    std::vector<std::string> tail;  // lines after them
    int records;                    // records read
    bool closed;
};

const std::vector<BlockEnd> kBlockEnds{
    {"closing line", 3, 0, 0, {" !$End", " ", " STATISTICS"}, 6, true},
    {"blank lines before the closing line", 51, 0, 0, {" ", "  ", " !$End"}, 6, true},
    {"no closing line", 3, 0, 0, {}, 6, false},
    {"cut between records", 51, 4, 0, {}, 4, false},
    {"cut within a line of a record", 3, 0, 30, {}, 5, false},
    {"cut after a line of a record", 51, 1, 0, {}, 5, false},
    {"blank lines at the end", 51, 0, 0, {" ", "  "}, 6, false},
    {"error report", 3, 0, 0, {" Error", " Step size too small"}, 6, false},
};

TEST_F(ComparisonFilesTest, ResultsThatStopShortAreReadAsFarAsTheyGoWithANote) {
    const std::vector<double> times{0, 1e-4, 2e-4, 3e-4, 4e-4, 5e-4};
    for (const BlockEnd& c : kBlockEnds) {
        SolverFileFixture f = SolverFileFixture::WithSpecies(c.species);
        f.AddRecords(times);
        const std::size_t tailSize = f.tail.size();
        std::vector<std::string> lines = f.Lines();
        lines.resize(lines.size() - tailSize - static_cast<std::size_t>(c.droppedLines));
        lines.back().resize(lines.back().size() - static_cast<std::size_t>(c.cutCharacters));
        lines.insert(lines.end(), c.tail.begin(), c.tail.end());
        const std::string ended = folder.write("ended.txt", kxtest::JoinLines(lines));
        SolverFileFixture whole = SolverFileFixture::WithSpecies(c.species);
        whole.AddRecords(times);
        const std::string full = Write("full.txt", whole);

        for (int number : {1, 2}) {
            sink.shown.clear();
            ASSERT_TRUE(number == 1 ? Read(ended, full) : Read(full, ended)) << c.what;
            const kx::CmpFileData& read = files.File(number);
            const kx::CmpFileData& other = files.File(3 - number);
            EXPECT_EQ(read.PointCount, c.records) << c.what << ", file " << number;
            EXPECT_EQ(read.Values(0, read.PointCount), times[static_cast<std::size_t>(c.records) - 1]) << c.what;
            EXPECT_EQ(read.ResultsClosed, c.closed) << c.what << ", file " << number;
            EXPECT_EQ(other.PointCount, 6) << c.what;
            EXPECT_TRUE(other.ResultsClosed) << c.what;
            if (c.closed) {
                EXPECT_TRUE(sink.shown.empty()) << c.what << ", file " << number;
                continue;
            }
            ASSERT_EQ(sink.shown.size(), 1u) << c.what << ", file " << number;
            EXPECT_EQ(sink.shown[0].text, "In the file " + std::to_string(number) + " '" + ended +
                                              "', results are incomplete: they end at " +
                                              kx::Format(times[static_cast<std::size_t>(c.records) - 1], "0.000000E+00") +
                                              " s of the run's final time 1.000000E-03 s.")
                << c.what;
            EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
            EXPECT_FALSE(sink.shown[0].errorRoutine);
        }
    }
}

// Both files incomplete: each is named once, file 1 first, with the final
// time of the run as the solver read it (file 2 writes it with a Fortran
// exponent).
TEST_F(ComparisonFilesTest, EachIncompleteFileIsNamedOnce) {
    SolverFileFixture one = SolverFileFixture::WithSpecies(2);
    one.AddRecords({0, 1e-4, 2e-4, 3e-4});
    one.tail.clear();
    const std::string path1 = Write("one.txt", one);
    SolverFileFixture two = SolverFileFixture::WithSpecies(2);
    two.AddRecords({0, 2e-4, 4e-4, 6e-4, 8e-4});
    two.tail = {" Error"};
    std::vector<std::string> lines = two.Lines();
    ASSERT_EQ(lines[19], " 1.000000E-03 !Final Time");
    lines[19] = " 1.0D-03 !Final Time";
    const std::string path2 = folder.write("two.txt", kxtest::JoinLines(lines));
    ASSERT_TRUE(Read(path1, path2));
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(sink.shown[0].text, "In the file 1 '" + path1 +
                                      "', results are incomplete: they end at 3.000000E-04 s of the run's final time "
                                      "1.000000E-03 s.");
    EXPECT_EQ(sink.shown[1].text, "In the file 2 '" + path2 +
                                      "', results are incomplete: they end at 8.000000E-04 s of the run's final time "
                                      "1.000000E-03 s.");
}

// A record time earlier than the one before it fails the conversion,
// naming the record, its line and the file, instead of drawing or
// interpolating along it; equal times (steps shorter than the printed
// digits) are converted, and every curve is drawn through them.
TEST_F(ComparisonFilesTest, OnlyTimesThatGoBackFailTheConversion) {
    SolverFileFixture ordered = SolverFileFixture::WithSpecies(2);
    ordered.AddRecords({0, 1, 2, 3, 4});
    const std::string one = Write("one.txt", ordered);
    SolverFileFixture back = SolverFileFixture::WithSpecies(2);
    back.AddRecords({0, 1, 3, 2, 4});
    const std::string two = Write("two.txt", back);
    ASSERT_FALSE(files.OpenFiles(one, two).Failed);
    files.SpeciesAARR();
    EXPECT_EQ(RefusalOf([&] { files.ConvertToMoleFractions(); }),
              Refusal(2, two, "Invalid procedure call or argument: the time of record 4 on line 53, 2.00000000E+000 s, "
                              "is earlier than that of record 3 before it, 3.00000000E+000 s"));
    EXPECT_EQ(files.File(1).PointCount, 5);

    SolverFileFixture equal = SolverFileFixture::WithSpecies(2);
    equal.AddRecords({0, 1, 2, 2, 3, 4});
    ASSERT_TRUE(Read(one, Write("equal.txt", equal)));
    EXPECT_TRUE(sink.shown.empty());
    const kx::CmpCurve curve = files.Curve(2, 2);
    EXPECT_EQ(curve.Time, (std::vector<double>{0, 0, 1, 2, 2, 3, 4}));
    // File 1 at the times of file 2 and back: no point fails, and a time
    // that file 2 holds twice takes one of its values.
    const kx::CmpCurve there = kx::CmpRelativeErrorCurve(files.Curve(1, 2), curve, 0.5);
    const kx::CmpCurve back2 = kx::CmpRelativeErrorCurve(curve, files.Curve(1, 2), 0.5);
    EXPECT_EQ(there.Count(), 5);
    EXPECT_EQ(back2.Count(), 6);
    for (const kx::CmpCurve* c : {&there, &back2})
        for (double v : c->Value) EXPECT_TRUE(std::isfinite(v));
}

// Each file's header is held to what the solver checks before it runs, as
// the results window holds it: a pressure of 0 or below, or no number, is
// refused naming the file, the line and what is wrong with its value; a
// pressure is read from line 14 whatever its label.
TEST_F(ComparisonFilesTest, EachFileIsHeldToTheSolversChecksOfItsHeader) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1, 2, 3});
    const std::string good = Write("good.txt", f);
    struct Case {
        int line;
        std::string text;
        std::string refusal;  // what is wrong; empty when the file is read
    };
    const std::vector<Case> cases{
        {14, " -1.000000E+00 !Pressure, atm",
         "Invalid procedure call or argument: line 14: the pressure must be above zero, not -0.100000E+01"},
        {14, " 0.000000E+00 !Pressure, atm",
         "Invalid procedure call or argument: line 14: the pressure must be above zero, not 0.000000E+00"},
        {14, " one !Pressure, atm", "Type mismatch: line 14: no readable number for the pressure"},
        {16, " 1.000000E+04 !Initial Temperature",
         "Invalid procedure call or argument: line 16: the initial temperature 0.100000E+05 is outside the "
         "allowable temperatures 0.250000E+03 - 0.500000E+04"},
        {14, " 2.000000E+00 !P, atm", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = f.Lines();
        lines[static_cast<std::size_t>(c.line) - 1] = c.text;
        const std::string damaged = folder.write("damaged.txt", kxtest::JoinLines(lines));
        for (int number : {1, 2}) {
            ComparisonFiles cmp(sink);
            ASSERT_FALSE(cmp.OpenFiles(number == 1 ? damaged : good, number == 1 ? good : damaged).Failed) << c.text;
            const std::string refusal = RefusalOf([&] { cmp.SpeciesAARR(); });
            if (c.refusal.empty()) {
                EXPECT_EQ(refusal, "") << c.text;
                EXPECT_EQ(cmp.File(number).Pressure, 2.0) << c.text;
                continue;
            }
            EXPECT_EQ(refusal, Refusal(number, damaged, c.refusal)) << c.text;
        }
    }
}

TEST_F(ComparisonFilesTest, FilesWithoutResultsOrThatCannotBeOpenedAreRefused) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1, 2, 3});
    const std::string good = Write("good.txt", f);

    SolverFileFixture short3 = f;
    short3.records.resize(2);  // heading + 2 records without a closing line: 3 block lines
    short3.tail.clear();
    const std::string incomplete = Write("short.txt", short3);

    SolverFileFixture none = f;
    none.records.clear();
    none.resultsTitle = " ";
    none.tail.clear();
    const std::string noResults = Write("input.txt", none);

    const std::string missing = folder.file("missing.txt");
    struct Case {
        std::string one, two, message;
        int focus;
    };
    const std::vector<Case> cases{
        {incomplete, good, "In the file 1 '" + incomplete + "', results are incomplete.", 0},
        {good, noResults, "In the file 2 '" + noResults + "', results are not found.", 0},
        {good, "  " + missing + " ",
         "File 2, the specified Path/File name cannot be accessed or is invalid.\r\nFile not found: " + missing + ".", 2},
        {folder.path(), good,
         "File 1, the specified Path/File name cannot be accessed or is invalid.\r\nIt is a folder: " + folder.path() +
             ".",
         1},
        {good, "", "File 2, the specified Path/File name cannot be accessed or is invalid.\r\nNo file name is given.",
         2},
    };
    for (const Case& c : cases) {
        sink.shown.clear();
        const ComparisonFiles::OpenOutcome outcome = files.OpenFiles(c.one, c.two);
        EXPECT_TRUE(outcome.Failed) << c.message;
        EXPECT_EQ(outcome.FocusFile, c.focus) << c.message;
        ASSERT_EQ(sink.shown.size(), 1u) << c.message;
        EXPECT_EQ(sink.shown[0].text, c.message);
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
    }
    // Results without their closing line are counted in records, as every
    // reader of results joins them, whatever lines a record takes: three
    // records are enough; two records of two lines (51 species) and the
    // first line of a third are not.
    SolverFileFixture three = f;
    three.records.resize(3);
    three.tail.clear();
    EXPECT_FALSE(files.OpenFiles(Write("three.txt", three), good).Failed);
    SolverFileFixture wide = SolverFileFixture::WithSpecies(51);
    wide.AddRecords({0, 1e-4, 2e-4});
    wide.tail.clear();
    std::vector<std::string> cut = wide.Lines();
    cut.pop_back();
    const std::string twoRecords = folder.write("wide.txt", kxtest::JoinLines(cut));
    sink.shown.clear();
    EXPECT_TRUE(files.OpenFiles(twoRecords, good).Failed);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "In the file 1 '" + twoRecords + "', results are incomplete.");
}

TEST(ComparisonTexts, TextBeforeTheProbe) {
    EXPECT_EQ(kx::ExtractVal(" 12 !Species", "!"), " 12 ");
    EXPECT_EQ(kx::ExtractVal("!Species", "!"), "");
    EXPECT_EQ(kx::ExtractVal(" 12", "!"), "");
    EXPECT_EQ(ComparisonFiles::TestRedFile("/no/such/file.txt"),
              "File2, the specified Path/File name '/no/such/file.txt' cannot be accessed or is invalid.\r\n"
              "Path not found: /no/such/file.txt.");
}

// Records that are no run to compare fail the conversion, naming what is
// wrong, the line and the file: a record that does not read, a temperature
// not above 0 or one that contradicts a constant-temperature mode, or
// closed results of fewer than three records.
struct Uncomparable {
    const char* what;
    int species;
    std::function<void(std::vector<std::string>&, std::size_t)> damage;  // the lines, the first record's line
    std::string description;  // after "the file 2 '<path>', "
};

TEST_F(ComparisonFilesTest, RecordsThatAreNoRunFailTheConversion) {
    const std::vector<Uncomparable> cases{
        {"negative temperature", 2,
         [](std::vector<std::string>& l, std::size_t first) {
             l[first + 2] = kxtest::RecordFirstLine(3, 2e-4, -1000.0, {1e-3, 2e-3});
         },
         "the temperature of record 3 on line 52, -1.00000000E+003 K, is not above 0"},
        {"a temperature mode of 0 that the records contradict", 2,
         [](std::vector<std::string>& l, std::size_t first) {
             l[14] = " 0 !Constant Temperature";
             l[first + 1] = kxtest::RecordFirstLine(2, 1e-4, 1500.0, {1e-3, 2e-3});
         },
         "the temperature mode on line 15 is 0 (constant temperature), but the temperature of record 2 on line 51, "
         "1.50000000E+003 K, is not the initial temperature on line 16, 0.10000000E+004 K"},
        {"third record's line longer", 2,
         [](std::vector<std::string>& l, std::size_t first) { l[first + 2] += " "; },
         "line 52, line 1 of 1 of record 3 of the results, is 75 characters long where the solver writes 74"},
        {"closing line within a record", 51,
         [](std::vector<std::string>& l, std::size_t first) {
             l.insert(l.begin() + static_cast<std::ptrdiff_t>(first + 5), " !$End");
         },
         "the closing line 252 stands within record 3 of the results, which begins on line 251 and has 2 lines"},
        {"one record of two lines", 51,
         [](std::vector<std::string>& l, std::size_t first) { l.erase(l.begin() + static_cast<std::ptrdiff_t>(first + 2), l.end() - 3); },
         "the results hold only 1 record; at least 3 are needed"},
    };
    for (const Uncomparable& c : cases) {
        SolverFileFixture good = SolverFileFixture::WithSpecies(c.species);
        good.mode = 1;
        good.AddRecords({0, 1e-4, 2e-4, 3e-4, 4e-4});
        const std::string one = Write("one.txt", good);
        std::vector<std::string> lines = good.Lines();
        const std::size_t title = static_cast<std::size_t>(
            std::find(lines.begin(), lines.end(), good.resultsTitle) - lines.begin());
        const std::size_t perRecord = c.species > 50 ? 2 : 1;
        c.damage(lines, title + 1 + perRecord);
        const std::string two = folder.write("two.txt", kxtest::JoinLines(lines));
        ASSERT_FALSE(files.OpenFiles(one, two).Failed) << c.what;
        files.SpeciesAARR();
        EXPECT_EQ(RefusalOf([&] { files.ConvertToMoleFractions(); }),
                  Refusal(2, two, "Invalid procedure call or argument: " + c.description))
            << c.what;
    }
}

}  // namespace
