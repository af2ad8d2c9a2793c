#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "Format.h"
#include "ResultsReader.h"
#include "SolverFileFixture.h"
#include "TempDir.h"

using kx::MessageIcon;
using kx::ReaderOwner;
using kx::ResultsReader;
using kx::test::TempDir;
using kxtest::JoinLines;
using kxtest::RecordingSink;
using kxtest::SolverFileFixture;

namespace {

// How the readers refuse a file: its path, then what is wrong (naming the
// line) on a line of its own.
std::string RefusalStart(const std::string& path) { return "In the file '" + path + "', unexpected error.\r\n"; }
std::string Refusal(const std::string& path, const std::string& description) {
    return RefusalStart(path) + description + ".";
}

class ReaderTest : public ::testing::Test {
protected:
    // Writes the fixture and reads it with a fresh reader.
    bool Read(const SolverFileFixture& f, ReaderOwner owner = ReaderOwner::ResultsWindow) {
        f.Write(path);
        return ReadFile(owner);
    }
    bool ReadText(const std::string& text) {
        folder.write("run.txt", text);
        return ReadFile(ReaderOwner::ResultsWindow);
    }
    bool ReadFile(ReaderOwner owner) {
        sink.shown.clear();
        reader = std::make_unique<ResultsReader>(sink, kxtest::kGasConstantCm3Atm, owner);
        return reader->OPEN_Rich(path);
    }
    const kx::ResultsTables& T() const { return reader->Tables(); }

    TempDir folder;
    std::string path = folder.file("run.txt");
    RecordingSink sink;
    std::unique_ptr<ResultsReader> reader;
};

// Records split over one line per 50 species: every field lands in its
// column, names of 16 characters stay whole, and a continuation line that
// begins with a minus sign keeps it.
class SpeciesCount : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(SpeciesCount, EveryFieldReadsBackInItsColumn) {
    const int ns = GetParam();
    SolverFileFixture f = SolverFileFixture::WithSpecies(ns);
    if (ns > 50) f.species[50].name = "ABCDEFGHIJKLMNOP";
    f.AddRecords({0.0, 1e-4, 2e-4});
    if (ns > 50) f.records[1].y[50] = -2.5e-9;    // first value of the second line
    if (ns > 100) f.records[2].y[100] = -1.5e-10;  // and of the third
    ASSERT_TRUE(Read(f)) << (sink.shown.empty() ? "" : sink.shown[0].text);

    EXPECT_EQ(T().NumColumns, ns + 3);
    ASSERT_EQ(T().ResultRowCount, 4);
    for (int k = 1; k <= ns; ++k) EXPECT_EQ(T().ColumnNames[k + 2], f.species[k - 1].name) << k;
    for (int i = 1; i <= 3; ++i) {
        EXPECT_DOUBLE_EQ(reader->Value(i, 0), f.records[i - 1].time);
        for (int k = 1; k <= ns; ++k) {
            const double y = f.records[i - 1].y[k - 1];
            ASSERT_DOUBLE_EQ(reader->Value(i, k + 2), y) << "record " << i << " species " << k;
            // The stored text row carries the same field in column k + 2.
            ASSERT_DOUBLE_EQ(*kx::ParseNumber(reader->FieldText(i, k + 2)), y) << "record " << i << " species " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, SpeciesCount, ::testing::Values(1, 50, 51, 100, 101));

TEST_F(ReaderTest, StoredRowsHoldTimeTemperatureDensityAndFractionsInSeventeenCharacterFields) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.pressure = 2.0;
    f.AddRecords({0.0, 1e-4, 2e-4});
    f.records[0].y = {0.25, 0.75};
    f.mode = 1;
    f.records[0].temperature = 1500;
    f.species[0].molarMass = 2.0;
    f.species[1].molarMass = 32.0;
    ASSERT_TRUE(Read(f));

    // rho = P / R' / T / sum(y / W)
    const double rho = 2.0 / kxtest::kGasConstantCm3Atm / 1500.0 / (0.25 / 2.0 + 0.75 / 32.0);
    EXPECT_NEAR(T().RowDensity[1], rho, 1e-15 * rho);
    EXPECT_EQ(reader->Value(1, 2), T().RowDensity[1]);
    EXPECT_EQ(T().ResultRows[0],
              "Time             T                Ro mass          S1               S2              ");
    const std::string expected1 = "0.00000000E+000  1.50000000E+003" + std::string(4, ' ') +
                                  kx::Format(rho, "0.0000000E+00") + "  2.50000000E-001  7.50000000E-001";
    EXPECT_EQ(T().ResultRows[1], " " + expected1);
    EXPECT_EQ(reader->FieldText(1, 1), " 1.50000000E+003");
    EXPECT_EQ(T().ColumnNames[0], "Time(s)");
    EXPECT_EQ(T().ColumnNames[1], "T(K)");
    EXPECT_EQ(T().ColumnNames[2], "Ro");
}

TEST_F(ReaderTest, HeaderThermoAndReactionTablesTakeTheirFields) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(3);
    f.pressure = 1.5;
    f.mode = 1;
    f.initialTemperature = 1400;
    f.absTolerance = 2e-12;
    f.species[1].initialFraction = 0.21;
    f.species[2].coefficients = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    f.species[2].molarMass = 28.014;
    f.species[2].tLow = 200;
    f.species[2].tHigh = 3500;
    f.species[2].tMid = 1000;
    kxtest::FixtureReaction troe;
    troe.equation = "S1+S2(+M)<=>S3(+M)";
    troe.reactants = {1, 2};
    troe.products = {3};
    troe.thirdBody = 2;
    troe.lowPressure = 1;
    troe.falloffKind = 1;
    troe.rate = {2.5e13, -0.5, 1200};
    troe.low = {4e20, -1.5, 300};
    troe.falloff = {0.6, 100, 2000, 5000};
    troe.partners = {1, 3};
    troe.efficiencies = {2.5, 0.7};
    kxtest::FixtureReaction sri;
    sri.equation = "S3=>S1+S2";
    sri.reactants = {3};
    sri.products = {1, 2};
    sri.reverse = 0;
    sri.falloffKind = 2;
    sri.falloff = {0.5, 300, 900, 1.2, 0.1};
    f.reactions = {troe, sri};
    f.AddRecords({0.0, 1e-4, 2e-4});
    ASSERT_TRUE(Read(f)) << sink.shown.at(0).text;

    EXPECT_EQ(T().NumSpecies, 3);
    EXPECT_EQ(T().NumReactions, 2);
    EXPECT_EQ(T().Pressure, 1.5);
    EXPECT_EQ(T().TemperatureMode, 1);
    EXPECT_EQ(T().InitialTemperature, 1400);
    EXPECT_EQ(T().AbsTolerance, 2e-12);
    EXPECT_DOUBLE_EQ(T().ZeroThreshold, 2e-14);
    EXPECT_EQ(T().GasConstantE, 1.9872042586408);
    EXPECT_EQ(T().GasConstantConc, 82.0573661);

    for (int c = 1; c <= 14; ++c) EXPECT_EQ(T().ThermoTable(3, c), c);
    EXPECT_EQ(T().ThermoTable(3, 15), 28.014);
    EXPECT_EQ(T().ThermoTable(3, 16), 200);
    EXPECT_EQ(T().ThermoTable(3, 17), 3500);
    EXPECT_EQ(T().ThermoTable(3, 18), 1000);
    EXPECT_EQ(T().InitialMoleFractions[4], 0.21);
    EXPECT_EQ(T().InitialMoleFractions[3], 0);

    EXPECT_EQ(T().ReactionEquations[1], "S1+S2(+M)<=>S3(+M)");
    const int ints1[] = {0, 1, 2, 0, 3, 0, 0, 0, 0, 0, 2, 1, 2, 2, 1, 1, 1, 1, 3};
    for (int c = 1; c <= 18; ++c) EXPECT_EQ(T().ReactionInts(1, c), ints1[c]) << c;
    const double reals1[] = {0, 2.5e13, -0.5, 1200, 4e20, -1.5, 300, 0.6, 100, 2000, 5000, 0, 2.5, 0.7};
    for (int c = 1; c <= 13; ++c) EXPECT_EQ(T().ReactionReals(1, c), reals1[c]) << c;
    EXPECT_EQ(T().ReactionInts(2, 15), 2);
    EXPECT_EQ(T().ReactionInts(2, 16), 0);
    const double sri2[] = {0.5, 300, 900, 1.2, 0.1};
    for (int c = 7; c <= 11; ++c) EXPECT_EQ(T().ReactionReals(2, c), sri2[c - 7]) << c;
}

TEST_F(ReaderTest, TimesAreKeptAtSevenSignificantDigitsAndSpanTheRun) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({1.23456789e-7, 2e-5, 3.14159265e-3});
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(T().FirstTime, 1.234568e-7);
    EXPECT_EQ(T().LastTime, 3.141593e-3);
    EXPECT_EQ(reader->Used().IntervalStart, 1.234568e-7);
    EXPECT_EQ(reader->Used().IntervalEnd, 3.141593e-3);
    EXPECT_EQ(reader->Used().UsedCount, 4);
    EXPECT_EQ(reader->Value(1, 0), 1.23456789e-7);
}

TEST_F(ReaderTest, CaptionNamesTheFileAsItsOwnerShowsIt) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1, 2});
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(reader->Caption(), "Solver File  run.txt");
    EXPECT_EQ(T().ResultFileName, "run.txt");
    EXPECT_EQ(T().ResultFilePath, path);
    ASSERT_TRUE(Read(f, ReaderOwner::ReductionHolder));
    EXPECT_EQ(reader->Caption(), "Solver run.txt");
}

// How many records a results block gives, by how it ends.
struct EndCase {
    const char* what;
    int species;
    int records;                    // records written
    std::vector<std::string> tail;  // lines after them
    int expectedRecords;            // 0: refused
    bool closed;                    // they end at the closing line
    std::string refusal = "";       // why they are refused, after "In the file '<path>', "
};

class ResultsEnd : public ReaderTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ResultsEnd, LoadsTheCompleteRecordsBeforeIt) {
    const EndCase& c = GetParam();
    SolverFileFixture f = SolverFileFixture::WithSpecies(c.species);
    std::vector<double> times;
    for (int i = 0; i < c.records; ++i) times.push_back(1e-5 * i);
    f.AddRecords(times);
    f.tail = c.tail;
    const bool ok = Read(f);
    if (c.expectedRecords == 0) {
        EXPECT_FALSE(ok);
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, "In the file '" + path + "', " + c.refusal);
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_FALSE(reader->Loaded());
        return;
    }
    ASSERT_TRUE(ok) << sink.shown.at(0).text;
    EXPECT_EQ(T().ResultRowCount, c.expectedRecords + 1);
    EXPECT_EQ(T().LastTime, kx::RoundToSevenDigits(1e-5 * (c.expectedRecords - 1)));
    EXPECT_EQ(T().ResultsClosed, c.closed);
    // Results that stop short are shown, and the results window says once
    // where they end.
    if (c.closed) {
        EXPECT_TRUE(sink.shown.empty());
    } else {
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, "In the file '" + path + "', results are incomplete: they end at " +
                                          kx::Format(1e-5 * (c.expectedRecords - 1), "0.000000E+00") +
                                          " s of the run's final time 1.000000E-03 s.");
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
    }
    // The reduction's holder reads them alike and shows nothing.
    ASSERT_TRUE(ReadFile(ReaderOwner::ReductionHolder));
    EXPECT_EQ(T().ResultRowCount, c.expectedRecords + 1);
    EXPECT_TRUE(sink.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultsEnd,
    ::testing::Values(EndCase{"three records", 2, 3, {" !$End"}, 3, true},
                      EndCase{"two records", 2, 2, {" !$End"}, 0, true,
                              "the results hold only 2 records; at least 3 are needed."},
                      EndCase{"two records without a closing line", 2, 2, {}, 0, false, "results are incomplete."},
                      EndCase{"error report", 2, 4, {" Error", " Step size too small", " STATISTICS"}, 4, false},
                      EndCase{"cut off", 2, 5, {}, 5, false},
                      EndCase{"cut off after blank lines", 51, 4, {" ", " "}, 4, false},
                      EndCase{"upper-case end", 2, 3, {" !$END", "garbage"}, 3, true},
                      EndCase{"statistics only", 2, 0, {" !$End", " STATISTICS"}, 0, true,
                              "the results hold no records."}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ' || ch == '-') ch = '_';
        return n;
    });

// A copy of a run cut in the middle of a line: the records before the cut
// are read, the window is told where they end and the run's final time.
TEST_F(ReaderTest, FileCutWithinARecordIsReadUpToTheCutWithTheNote) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(51);
    std::vector<double> times;
    for (int i = 0; i < 12; ++i) times.push_back(1e-4 * i);
    f.AddRecords(times);
    const std::string text = f.Text();
    // Into the second line of record 8.
    std::size_t at = text.find(" !$Results");
    for (int lines = 0; lines < 1 + 2 + 7 * 2 + 1; ++lines) at = text.find('\n', at) + 1;
    ASSERT_TRUE(ReadText(text.substr(0, at + 20)));
    EXPECT_EQ(T().ResultRowCount, 8);
    EXPECT_DOUBLE_EQ(T().LastTime, 6e-4);
    EXPECT_FALSE(T().ResultsClosed);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "In the file '" + path +
                                      "', results are incomplete: they end at 6.000000E-04 s of the run's final time "
                                      "1.000000E-03 s.");
    EXPECT_EQ(reader->Used().UsedCount, 8);
}

// Record times: one earlier than the time before it is refused when the
// file is read, naming the record and its line, for the results window and
// the reduction's holder alike, and nothing is left to select from. Equal
// times, steps shorter than the printed digits, are read.
struct TimesCase {
    const char* what;
    std::vector<double> times;
    int earlier;  // the record refused; 0 when the file is read
};

class RecordTimes : public ReaderTest, public ::testing::WithParamInterface<TimesCase> {};

TEST_P(RecordTimes, OnlyATimeEarlierThanTheOneBeforeItIsRefused) {
    const TimesCase& c = GetParam();
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords(c.times);
    for (ReaderOwner owner : {ReaderOwner::ResultsWindow, ReaderOwner::ReductionHolder}) {
        if (c.earlier == 0) {
            ASSERT_TRUE(Read(f, owner)) << c.what << ": " << sink.shown.at(0).text;
            EXPECT_TRUE(sink.shown.empty());
            ASSERT_EQ(T().ResultRowCount, static_cast<int>(c.times.size()) + 1);
            for (std::size_t i = 0; i < c.times.size(); ++i)
                EXPECT_EQ(reader->Value(static_cast<int>(i) + 1, 0), c.times[i]) << c.what;
            EXPECT_EQ(reader->Used().UsedCount, static_cast<int>(c.times.size()) + 1);
            continue;
        }
        const std::string time = kx::Format(c.times[static_cast<std::size_t>(c.earlier) - 1], "0.00000000E+000");
        const std::string before = kx::Format(c.times[static_cast<std::size_t>(c.earlier) - 2], "0.00000000E+000");
        EXPECT_FALSE(Read(f, owner));
        ASSERT_EQ(sink.shown.size(), 1u);
        // The first record stands on line 50.
        EXPECT_EQ(sink.shown[0].text, Refusal(path, "Invalid procedure call or argument: the time of record " +
                                                        std::to_string(c.earlier) + " on line " +
                                                        std::to_string(49 + c.earlier) + ", " + time +
                                                        " s, is earlier than that of record " +
                                                        std::to_string(c.earlier - 1) + " before it, " + before + " s"));
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(reader->Loaded());
        EXPECT_EQ(reader->Used().UsedCount, 0);
        // Nothing selects from a file that was refused.
        EXPECT_THROW(reader->ToMainParam(0, 1), kx::TaggedError);
        EXPECT_THROW(reader->RED_ToMainParam(0, 1), kx::TaggedError);
        EXPECT_THROW(reader->IntervalIntegrals(std::vector<int>{}, false), std::exception);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordTimes,
    ::testing::Values(TimesCase{"one earlier", {0, 1e-3, 0.5e-3, 2e-3, 3e-3}, 3},
                      TimesCase{"one far later", {0, 1e-3, 100, 2e-3, 3e-3}, 4},
                      TimesCase{"last back at the start", {0, 1e-3, 2e-3, 3e-3, 0}, 5},
                      TimesCase{"first the latest", {5e-3, 1e-3, 2e-3, 3e-3}, 2},
                      TimesCase{"equal after the first", {0, 1e-3, 1e-3, 2e-3, 3e-3}, 0},
                      TimesCase{"equal first two", {0, 0, 1e-3, 2e-3}, 0},
                      TimesCase{"equal last two", {0, 1e-3, 2e-3, 2e-3}, 0},
                      TimesCase{"three equal", {0, 1e-3, 1e-3, 1e-3, 2e-3}, 0}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ') ch = '_';
        return n;
    });

TEST_F(ReaderTest, ErrorReportAfterHalfARecordDropsThatRecord) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(51);
    f.AddRecords({0, 1e-5, 2e-5, 3e-5});
    std::vector<std::string> lines = f.Lines();
    // Keep the first line of record 4, then an error report instead of its second line.
    const auto end = std::find(lines.begin(), lines.end(), " !$End");
    lines.erase(end - 1, lines.end());
    lines.push_back(" Error");
    lines.push_back(" Matrix is repeatedly singular");
    ASSERT_TRUE(ReadText(JoinLines(lines)));
    EXPECT_EQ(T().ResultRowCount, 4);
}

// A record that does not read as the solver writes it, in the middle of
// results closed by their closing line, is refused naming the file, its
// line (and the record), for the results window and the reduction's holder
// alike, in the form of every refusal of a file:
// never read as results that end there. Records of 52 species, two lines
// each: record i on lines 249 + 2i and 250 + 2i.
struct DamagedRecord {
    const char* what;
    std::function<void(std::vector<std::string>&, std::size_t)> damage;  // the lines, the first record's index
    std::string description;
};

class RecordThatDoesNotRead : public ReaderTest, public ::testing::WithParamInterface<DamagedRecord> {};

TEST_P(RecordThatDoesNotRead, IsRefusedNamingItsLine) {
    const DamagedRecord& c = GetParam();
    SolverFileFixture f = SolverFileFixture::WithSpecies(52);
    f.mode = 1;
    f.AddRecords({0, 1e-5, 2e-5, 3e-5, 4e-5});
    std::vector<std::string> lines = f.Lines();
    const std::size_t first = static_cast<std::size_t>(std::find(lines.begin(), lines.end(), f.resultsTitle) - lines.begin()) + 3;
    ASSERT_EQ(first + 1, 251u);
    c.damage(lines, first);
    for (ReaderOwner owner : {ReaderOwner::ResultsWindow, ReaderOwner::ReductionHolder}) {
        folder.write("run.txt", JoinLines(lines));
        EXPECT_FALSE(ReadFile(owner)) << c.what;
        ASSERT_EQ(sink.shown.size(), 1u) << c.what;
        EXPECT_EQ(sink.shown[0].text, Refusal(path, c.description)) << c.what;
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical) << c.what;
        EXPECT_FALSE(reader->Loaded());
    }
}

// Field f of a record's first line set to text, right-aligned in its 16
// characters.
void SetField(std::string& line, int field, const std::string& text) {
    line.replace(static_cast<std::size_t>(7 + 17 * field), 16, std::string(16 - text.size(), ' ') + text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordThatDoesNotRead,
    ::testing::Values(
        DamagedRecord{"a continuation line left out",
                      [](auto& l, std::size_t r) { l.erase(l.begin() + static_cast<std::ptrdiff_t>(r + 5)); },
                      "Invalid procedure call or argument: line 256, line 2 of 2 of record 3 of the results, is 890 "
                      "characters long where the solver writes 74"},
        DamagedRecord{"a first line shortened", [](auto& l, std::size_t r) { l[r + 2].pop_back(); },
                      "Invalid procedure call or argument: line 253, line 1 of 2 of record 2 of the results, is 889 "
                      "characters long where the solver writes 890"},
        DamagedRecord{"a continuation line lengthened", [](auto& l, std::size_t r) { l[r + 7] += " "; },
                      "Invalid procedure call or argument: line 258, line 2 of 2 of record 4 of the results, is 75 "
                      "characters long where the solver writes 74"},
        DamagedRecord{"a first line repeated",
                      [](auto& l, std::size_t r) { l.insert(l.begin() + static_cast<std::ptrdiff_t>(r + 2), l[r + 2]); },
                      "Invalid procedure call or argument: line 254, line 2 of 2 of record 2 of the results, is 890 "
                      "characters long where the solver writes 74"},
        DamagedRecord{"the closing line within a record",
                      [](auto& l, std::size_t r) { l.insert(l.begin() + static_cast<std::ptrdiff_t>(r + 5), " !$End"); },
                      "Invalid procedure call or argument: the closing line 256 stands within record 3 of the "
                      "results, which begins on line 255 and has 2 lines"},
        DamagedRecord{"a fraction that is text", [](auto& l, std::size_t r) { SetField(l[r + 2], 4, "x.5"); },
                      "Type mismatch: the mass fraction of species 3 of record 2 on line 253, \"x.5\", is no number"},
        DamagedRecord{"a fraction of a continuation line that is text",
                      [](auto& l, std::size_t r) { l[r + 3].replace(41, 16, "             abc"); },
                      "Type mismatch: the mass fraction of species 51 of record 2 on line 254, \"abc\", is no number"},
        DamagedRecord{"a time that is text", [](auto& l, std::size_t r) { SetField(l[r + 4], 0, "NaN"); },
                      "Type mismatch: the time of record 3 on line 255, \"NaN\", is no number"},
        DamagedRecord{"a step repeated", [](auto& l, std::size_t r) { l[r + 4].replace(0, 6, "     2"); },
                      "Invalid procedure call or argument: the step number of record 3 on line 255, 2, is not above "
                      "that of record 2 before it, 2"},
        DamagedRecord{"a temperature of 0", [](auto& l, std::size_t r) { SetField(l[r + 2], 1, "0.00000000E+000"); },
                      "Invalid procedure call or argument: the temperature of record 2 on line 253, 0.00000000E+000 K, "
                      "is not above 0"},
        DamagedRecord{"a negative temperature",
                      [](auto& l, std::size_t r) { SetField(l[r + 8], 1, "-1.00000000E+003"); },
                      "Invalid procedure call or argument: the temperature of record 5 on line 259, -1.00000000E+003 K, "
                      "is not above 0"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ' || ch == '-') ch = '_';
        return n;
    });

TEST_F(ReaderTest, BlankLinesBetweenRecordsArePassedOver) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(51);
    f.AddRecords({0, 1e-5, 2e-5, 3e-5});
    std::vector<std::string> lines = f.Lines();
    auto end = std::find(lines.begin(), lines.end(), " !$End");
    lines.insert(end - 2, "   ");  // before record 4
    end = std::find(lines.begin(), lines.end(), " !$End");
    lines.insert(end - 5, "");  // before record 3
    ASSERT_TRUE(ReadText(JoinLines(lines)));
    ASSERT_EQ(T().ResultRowCount, 5);
    EXPECT_DOUBLE_EQ(reader->Value(4, 0), 3e-5);
    EXPECT_DOUBLE_EQ(reader->Value(4, 53), f.records[3].y[50]);
}

TEST_F(ReaderTest, LineEndsAndLetterCaseOfTheResultsTitleDoNotMatter) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(51);
    f.AddRecords({0, 1e-5, 2e-5});
    ASSERT_TRUE(Read(f));
    const std::vector<std::string> rows = T().ResultRows;

    f.lineEnd = "\n";
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(T().ResultRows, rows);

    f.resultsTitle = " !$RESULTS  MASS FRACTIONS";
    ASSERT_TRUE(Read(f));
    EXPECT_EQ(T().ResultRows, rows);
}

TEST_F(ReaderTest, FileWithoutResultsIsRefusedWithItsPath) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.resultsTitle = " ";
    f.tail.clear();
    EXPECT_FALSE(Read(f));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "In the file '" + path + "', \r\nresults are not found.");
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Exclamation);
}

// The key lines are where the solver finds them: " THERMO" from line 33 on
// (a comment line 33 beginning "thermo" is none), the reaction records
// after the three separator lines whatever they hold.
TEST_F(ReaderTest, KeyLinesAreWhereTheSolverFindsThem) {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1e-5, 2e-5});
    struct Case {
        const char* what;
        int line;
        const char* text;     // nullptr: the line is left out
        std::string refusal;  // empty when the file reads
    };
    const Case cases[] = {
        {"a comment line 33 beginning \"thermo\"", 33, "thermo data of the species", ""},
        {"THERMO on line 33", 33, nullptr, ""},
        {"a blank REACTIONS line", 45, " ", ""},
        {"THERMO in small letters", 34, " thermo", "Input past end of file: line "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = f.Lines();
        if (c.text) lines[static_cast<std::size_t>(c.line) - 1] = c.text;
        else lines.erase(lines.begin() + c.line - 1);
        const bool read = ReadText(JoinLines(lines));
        EXPECT_EQ(read, c.refusal.empty()) << c.what << ": " << (sink.shown.empty() ? "" : sink.shown[0].text);
        if (!read) {
            ASSERT_EQ(sink.shown.size(), 1u) << c.what;
            EXPECT_TRUE(sink.shown[0].text.starts_with(RefusalStart(path) + c.refusal))
                << c.what << ": " << sink.shown[0].text;
            EXPECT_NE(sink.shown[0].text.find("the file has no \" THERMO\" line from line 33 on"), std::string::npos);
            continue;
        }
        EXPECT_EQ(T().NumSpecies, 2) << c.what;
        EXPECT_EQ(T().ResultRowCount, 4) << c.what;
    }
}

// A header whose counts or mode do not match the records is refused when the
// file is opened, for the results window and the reduction's holder alike,
// rather than read with a species or reaction missing.
TEST_F(ReaderTest, HeaderThatDisagreesWithItsRecordsIsRefusedNamingTheLine) {
    for (const kxtest::DisagreeingHeader& c : kxtest::HeadersThatDisagreeWithTheirRecords()) {
        for (ReaderOwner owner : {ReaderOwner::ResultsWindow, ReaderOwner::ReductionHolder}) {
            folder.write("run.txt", JoinLines(c.lines));
            EXPECT_FALSE(ReadFile(owner)) << c.what;
            ASSERT_EQ(sink.shown.size(), 1u) << c.what;
            EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical) << c.what;
            EXPECT_EQ(sink.shown[0].text, Refusal(path, c.description)) << c.what;
            EXPECT_FALSE(reader->Loaded()) << c.what;
        }
    }
}

// The first line of species 1's record in the files of BrokenFile, with
// no initial mole fraction: the fractions of the file then sum to zero.
std::string WithoutMoleFraction() {
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    return f.Lines()[34].substr(0, 74) + "0";
}

// Failures while reading show the file's refusal with the error's
// description and the critical icon; one of the input part names the
// solver's line and words.
struct BrokenCase {
    const char* what;
    int line;  // 0: the file is cut after its reaction end line
    std::string replacement;
    const char* description;
};

class BrokenFile : public ReaderTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenFile, ShowsTheErrorCritically) {
    const BrokenCase& c = GetParam();
    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    f.AddRecords({0, 1e-5, 2e-5});
    std::vector<std::string> lines = f.Lines();
    lines[static_cast<std::size_t>(c.line) - 1] = c.replacement;
    EXPECT_FALSE(ReadText(JoinLines(lines)));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(sink.shown[0].text.starts_with(RefusalStart(path) + c.description)) << sink.shown[0].text;
    EXPECT_FALSE(reader->Loaded());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenFile,
    ::testing::Values(BrokenCase{"zero pressure", 14, " 0.000000E+00 !Pressure, atm",
                                 "Invalid procedure call or argument: line 14: the pressure must be above zero, not "
                                 "0.000000E+00"},
                      BrokenCase{"negative pressure", 14, " -1.000000E+00 !Pressure, atm",
                                 "Invalid procedure call or argument: line 14: the pressure must be above zero, not "
                                 "-0.100000E+01"},
                      BrokenCase{"text in the pressure line", 14, " one atm !Pressure, atm",
                                 "Type mismatch: line 14: no readable number for the pressure"},
                      BrokenCase{"header value not a number", 16, " hot !Initial Temperature",
                                 "Type mismatch: line 16: no readable number for the initial temperature"},
                      BrokenCase{"thermo field not a number", 36, " 0.35000000E+01 x.5",
                                 "Type mismatch: line 36: columns 16-30 (thermo coefficient) do not read as a number"},
                      BrokenCase{"zero molar mass", 38, std::string(60, ' ') + "          0.000",
                                 "Invalid procedure call or argument: line 38: the molar mass must be above zero"},
                      BrokenCase{"mole fractions summing to zero", 35, WithoutMoleFraction(),
                                 "Invalid procedure call or argument: line 35: the initial mole fractions of the "
                                 "thermo records from this line on sum to zero"},
                      BrokenCase{"species count beyond the file", 10, " 100000 !Species",
                                 "Subscript out of range: line 10: the species count 100000 is above the limit of 300 "
                                 "species"},
                      BrokenCase{"largest species count", 10, " 2147483647 !Species", "Subscript out of range"},
                      BrokenCase{"reaction count above the limit", 11, " 3001 !Reactions", "Subscript out of range"},
                      // Values with which no analysis could be made are refused at once.
                      BrokenCase{"gas constant zero", 32, " 0 !R in units of pressure and concentration",
                                 "Invalid procedure call or argument: line 32: the gas constant must be above zero, not "
                                 "0.000000E+00"},
                      BrokenCase{"initial temperature out of range", 16, " -1.000000E+00 !Initial Temperature",
                                 "Invalid procedure call or argument: line 16: the initial temperature -0.100000E+01 is "
                                 "outside the allowable temperatures 0.250000E+03 - 0.500000E+04"},
                      BrokenCase{"absolute tolerance above every fraction", 24, " 1.000000E+05 !Absolute Tolerance",
                                 "Invalid procedure call or argument: no mass fraction of record 1 on line 50 is above the zero "
                                 "threshold, 0.01 times the absolute tolerance on line 24, 1.000000E+05"},
                      BrokenCase{"negative density", 51, kxtest::RecordFirstLine(2, 1e-5, 1000.0, {-1e-3, 2e-4}),
                                 "Invalid procedure call or argument: the density of record 2 on line 51, "
                                 "-1.489473E-01 g/cm^3, is not above 0"},
                      BrokenCase{"time that is no number", 51,
                                 " " + std::string(5, ' ').replace(4, 1, "2") + " " + std::string(13, ' ') + "NaN " +
                                     kxtest::RecordFirstLine(2, 1e-5, 1000.0, {1e-3, 2e-3}).substr(24),
                                 "Type mismatch: the time of record 2 on line 51, \"NaN\", is no number"}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (ch == ' ') ch = '_';
        return n;
    });

TEST_F(ReaderTest, MissingFileFolderAndMissingEndLineFailCritically) {
    sink.shown.clear();
    reader = std::make_unique<ResultsReader>(sink, kxtest::kGasConstantCm3Atm);
    for (const auto& p : {folder.file("absent.txt"), folder.path()}) {
        sink.shown.clear();
        EXPECT_FALSE(reader->OPEN_Rich(p));
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, Refusal(p, "File not found: " + p));
        EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical);
    }

    SolverFileFixture f = SolverFileFixture::WithSpecies(2);
    std::vector<std::string> lines = f.Lines();
    lines.resize(45);  // cut inside the reactions block, after the results title would be
    lines.push_back(" !$Results  Mass Fractions");
    EXPECT_FALSE(ReadText(JoinLines(lines)));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(sink.shown[0].text, Refusal(path, "Invalid procedure call or argument: line 46: the end line \"END\" "
                                                "must follow the 0 reaction records of the count on line 11 here"));
}

TEST_F(ReaderTest, SecondReadReplacesEverythingOfTheFirst) {
    SolverFileFixture big = SolverFileFixture::WithSpecies(5);
    big.AddRecords({0, 1, 2, 3, 4});
    ASSERT_TRUE(Read(big));
    SolverFileFixture small = SolverFileFixture::WithSpecies(2);
    small.AddRecords({0, 1});
    small.Write(path);
    EXPECT_FALSE(reader->OPEN_Rich(path));
    EXPECT_FALSE(reader->Loaded());
    EXPECT_EQ(reader->Tables().NumSpecies, 2);
}

}  // namespace
