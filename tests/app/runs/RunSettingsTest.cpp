// Reading a solver file into the run-settings window's model: settings,
// species, mechanism lines; the thermodynamic-data warning; the last state
// of an earlier run.
#include "RunSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"

#include "RunCommand.h"
#include "RunFileText.h"
#include "SolverFileLayout.h"
#include "SolverSettingValues.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kx;
using namespace kx::runs;
using kx::test::ResultsLine;
using kx::test::RunFileText;
using kx::test::RunSpecies;

namespace {

struct Loaded {
    RunSettings settings;
    SolverFileModel model;
};

Loaded load(const test::TempDir& dir, const std::string& bytes) {
    Loaded l;
    LoadSolverFile(dir.write("run.txt", bytes), l.settings, l.model);
    return l;
}

ErrorKind loadFailure(const test::TempDir& dir, const std::string& bytes, RunSettings& settings) {
    SolverFileModel model;
    try {
        LoadSolverFile(dir.write("bad.txt", bytes), settings, model);
    } catch (const Error& e) {
        EXPECT_TRUE(model.lines.empty());
        return e.kind();
    }
    ADD_FAILURE() << "the file loaded";
    return ErrorKind::ComponentMissing;
}

}  // namespace

TEST(LoadSolverFile, ReadsTheSampleSettingsSpeciesAndMechanism) {
    test::TempDir dir;
    const std::string path = dir.write("h2.txt", test::ReadBytes(KX_SAMPLES_DIR "/h2_air_1000K.txt"));
    RunSettings s;
    SolverFileModel m;
    LoadSolverFile(path, s, m);

    EXPECT_EQ(s[Setting::Pressure], "1.000000E+00");
    EXPECT_TRUE(s.adiabatic);
    EXPECT_EQ(s[Setting::InitialTemperature], "1.000000E+03");
    EXPECT_EQ(s[Setting::MinTemperature], "2.500000E+02");
    EXPECT_EQ(s[Setting::MaxTemperature], "5.000000E+03");
    EXPECT_EQ(s[Setting::InitialTime], "0.000000E+00");
    EXPECT_EQ(s[Setting::FinalTime], "1.000000E-03");
    EXPECT_EQ(s[Setting::InitialStep], "1.000000E-08");
    EXPECT_EQ(s[Setting::MaxSteps], "100000");
    EXPECT_EQ(s[Setting::RelativeTolerance], "1.000000E-06");
    EXPECT_EQ(s[Setting::AbsoluteTolerance], "1.000000E-12");
    EXPECT_EQ(s[Setting::OutputStep], "1");

    EXPECT_EQ(m.speciesCount, 11);
    EXPECT_EQ(m.reactionCount, 25);
    EXPECT_EQ(m.thermoStart, 35);
    ASSERT_EQ(m.species.size(), 11u);
    EXPECT_EQ(m.species[0].name, "H2");
    EXPECT_EQ(m.species[0].fraction, "2.959E-01");
    EXPECT_EQ(m.species[2].name, "H2O");
    EXPECT_EQ(m.species[2].formula, "H2O1");
    EXPECT_EQ(m.species[2].fraction, "0");
    EXPECT_DOUBLE_EQ(m.molarMasses[1], 31.998);
    // The mechanism up to and including its END line, byte for byte.
    const std::vector<std::string> file = files::ReadLines(path);
    ASSERT_EQ(m.lines.size(), 191u);
    EXPECT_EQ(m.lines, std::vector<std::string>(file.begin(), file.begin() + 191));
}

TEST(LoadSolverFile, ClampsTheStepLimitAndTheOutputStep) {
    struct Case {
        std::string line22, line28, steps, output;
    };
    for (const Case& c : {Case{" 0 !Max", " 0 !Delta N", "3", "1"}, Case{" 2 !Max", " -4 !Delta N", "3", "1"},
                          Case{" 3 !Max", " 1 !Delta N", "3", "1"}, Case{" 500 !Max", " 7 !Delta N", "500", "7"}}) {
        test::TempDir dir;
        RunFileText file;
        file.header[21] = c.line22;
        file.header[27] = c.line28;
        const Loaded l = load(dir, file.bytes());
        EXPECT_EQ(l.settings[Setting::MaxSteps], c.steps) << c.line22;
        EXPECT_EQ(l.settings[Setting::OutputStep], c.output) << c.line28;
    }
}

TEST(LoadSolverFile, TemperatureModeOtherThanOneIsConstant) {
    for (const auto& [line, adiabatic] :
         {std::pair{" 1 !Temperature Equation", true}, {" 0 !Constant Temperature", false}, {" 4 !x", false}}) {
        test::TempDir dir;
        RunFileText file;
        file.header[14] = line;
        EXPECT_EQ(load(dir, file.bytes()).settings.adiabatic, adiabatic) << line;
    }
}

namespace {

// A settings line or an initial mole fraction spelled otherwise than the
// desktop writes it, with what the window is to show.
struct Spelling {
    int line;  // header line replaced; 0: O2's fraction columns
    std::string text;
    std::string shown;  // line 15: "1" for the temperature equation, "0" for constant
};

const Spelling kSpellings[] = {
    // A value ends at a blank, comma, slash or "!"; what follows is no part of it.
    {15, " 1 Temperature Equation", "1"},
    {15, " 1,0 !Temperature Equation", "1"},
    {15, " 1 0 !Temperature Equation", "1"},
    {15, " 1/ !Temperature Equation", "1"},
    {15, "\t+1\t!Temperature Equation", "1"},
    {15, " 0 Constant Temperature", "0"},
    {14, " 2.5 atm !Pressure, atm", "2.5"},
    {14, " 2.5,3.5 !Pressure, atm", "2.5"},
    {16, " 1200. Initial Temperature", "1200."},
    {20, " 1E-3/ !Final Time", "1E-3"},
    {22, " 5000 Maximum Number of Steps", "5000"},
    {28, " 10,5 !Delta N", "10"},
    // Exponents the solver reads and the desktop would not: the number shown.
    {14, " 1D0 !Pressure, atm", "1"},
    {14, " 1.5+1 !Pressure, atm", "15"},
    {24, " 1.0Q-12 !Absolute Tolerance", "1E-12"},
    // A fraction without a decimal point has three implied decimals; blanks
    // within the field are no part of the number.
    {0, "21E-2", "0.00021"},
    {0, "1", "0.001"},
    {0, "5", "0.005"},
    {0, "1D-1", "0.0001"},
    {0, "1.0 E-1", "0.1"},
    {0, "0.21", "0.21"},
    {0, "2.1E-01", "2.1E-01"},
    {0, "0.12345678", "0.12345678"},
    {0, "", ""},
};

RunFileText spelledFile(const Spelling& c) {
    RunFileText file;
    if (c.line > 0) file.header[static_cast<std::size_t>(c.line) - 1] = c.text;
    else file.species[1].fraction = c.text;
    return file;
}

// What the solver reads from the file.
SolverModel solverReading(const std::string& bytes) {
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    return solverfile::ReadSolverInput(lines, SolverSettings::Run).Model();
}

// Every setting and fraction the window shows is the number the solver reads.
void expectSolverValues(const Loaded& l, const SolverModel& m, const std::string& what) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const Setting box = static_cast<Setting>(i);
        EXPECT_EQ(test::ShownNumber(l.settings[box]), test::SolverValueOf(m, box)) << what << ", line " << SettingLine(box);
    }
    EXPECT_EQ(l.settings.adiabatic, m.MODE == 1) << what;
    for (std::size_t k = 0; k < l.model.species.size(); ++k)
        EXPECT_EQ(test::ShownNumber(l.model.species[k].fraction), m.Y[k]) << what << ", species " << k + 1;
}

// What the window shows for the spelled line or fraction.
std::string shownFor(const Loaded& l, const Spelling& c) {
    if (c.line == kTemperatureModeLine) return l.settings.adiabatic ? "1" : "0";
    if (c.line == 0) return l.model.species[1].fraction;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (SettingLine(static_cast<Setting>(i)) == c.line) return l.settings.text[i];
    return "(no setting on line " + std::to_string(c.line) + ")";
}

std::string spellingName(const Spelling& c) {
    return (c.line > 0 ? "line " + std::to_string(c.line) : std::string("O2's fraction")) + " \"" + c.text + "\"";
}

}  // namespace

// Each setting and initial mole fraction shows the number the solver reads
// from its line, written as the file writes it where that spells the same
// number.
TEST(LoadSolverFile, ShowsEverySettingAndFractionAsTheSolverReadsIt) {
    for (const Spelling& c : kSpellings) {
        test::TempDir dir;
        const std::string bytes = spelledFile(c).bytes();
        const Loaded l = load(dir, bytes);
        const std::string what = spellingName(c);
        EXPECT_EQ(shownFor(l, c), c.shown) << what;
        expectSolverValues(l, solverReading(bytes), what);
        EXPECT_EQ(l.model.settingsProblem, "") << what;
    }
}

// Run without an edit gives every line back as the file holds it, so the
// solver reads the same settings; a setting changed in the window is
// written anew, and only that one.
TEST(LoadSolverFile, RunWithoutAnEditChangesNoSettingTheSolverReads) {
    for (const Spelling& c : kSpellings) {
        test::TempDir dir;
        const std::string bytes = spelledFile(c).bytes();
        Loaded l = load(dir, bytes);
        const std::string what = spellingName(c);
        ASSERT_FALSE(ValidateFileRun(l.settings, l.model)) << what;
        std::vector<std::string> lines = RewrittenSolverLines(l.model, l.settings);
        EXPECT_EQ(lines, l.model.lines) << what;
        std::string rewritten;
        for (const std::string& line : lines) rewritten += line + "\r\n";
        const Loaded again = load(dir, rewritten);
        expectSolverValues(again, solverReading(bytes), what);

        l.settings[Setting::FinalTime] = "2E-3";
        ASSERT_FALSE(ValidateFileRun(l.settings, l.model)) << what;
        lines = RewrittenSolverLines(l.model, l.settings);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (static_cast<int>(i) + 1 != kFinalTimeLine) {
                EXPECT_EQ(lines[i], l.model.lines[i]) << what;
            }
        EXPECT_EQ(lines[kFinalTimeLine - 1], " 2.00E-03 !Final Time") << what;
    }
}

// Where the solver refuses the settings or fractions as they stand, the
// file loads all the same (this window is where they are set), and the
// window has the solver's line and words for it; each value shows what the
// solver reads, a line where it reads none its text.
TEST(LoadSolverFile, SaysWhereTheSolverRefusesTheSettings) {
    struct Case {
        Spelling spelling;
        int line;  // the line the solver names
    };
    const Case cases[] = {
        {{15, " x !Temperature Equation", "0"}, 15},
        {{15, " 4 !Temperature Equation", "0"}, 15},
        {{21, " 1E-8x !Initial Step Size", "1E-8x"}, 21},
        {{16, " 6000 !Initial Temperature", "6000"}, 16},
        {{23, " 0,5 !Relative Tolerance", "0"}, 23},
        {{0, "-21E-2", "-0.00021"}, 39},
        {{0, "x", "x"}, 39},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string bytes = spelledFile(c.spelling).bytes();
        const std::string what = spellingName(c.spelling);
        SolverInputError solver;
        ASSERT_FALSE(SolverWouldRun(bytes, solver)) << what;
        EXPECT_EQ(solver.line, c.line) << what;
        const Loaded l = load(dir, bytes);
        EXPECT_EQ(l.model.settingsProblem, solverfile::InputProblemText(solver)) << what;
        EXPECT_EQ(l.model.speciesCount, 3) << what;
        EXPECT_EQ(shownFor(l, c.spelling), c.spelling.shown) << what;
    }
    // Initial mole fractions that are all blank.
    test::TempDir dir;
    RunFileText blank;
    for (RunSpecies& s : blank.species) s.fraction = "";
    const Loaded l = load(dir, blank.bytes());
    EXPECT_EQ(l.model.settingsProblem,
              "line 35: the initial mole fractions of the thermo records from this line on sum to zero");
}

// The THERMO line and the end line are found where the solver finds them:
// " THERMO" from line 33 on (a comment line 33 beginning "thermo" is none),
// and the line after the last reaction record (not the " END" among the
// separator lines).
TEST(LoadSolverFile, FindsTheThermoAndEndLinesWhereTheSolverDoes) {
    test::TempDir dir;
    RunFileText file;
    file.header[32] = "thermo data of the species";
    file.after = {" ", " !$Results  Mass Fractions"};
    std::vector<std::string> lines = file.Lines();
    lines[file.EndLine() - 1] = "  end  ";
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    const Loaded l = load(dir, bytes);
    EXPECT_EQ(l.model.thermoStart, 35);
    ASSERT_EQ(l.model.lines.size(), static_cast<std::size_t>(file.EndLine()));
    EXPECT_EQ(l.model.lines.back(), "  end  ");

    // The key line as the solver does not take it.
    for (const char* thermo : {"THERMO", " thermo", "  THERMO"}) {
        file.header[33] = thermo;
        file.header[32] = " ";
        RunSettings s;
        SolverFileModel model;
        try {
            LoadSolverFile(dir.write("bad.txt", file.bytes()), s, model);
            ADD_FAILURE() << thermo << ": the file loaded";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Input past end of file: line " + std::to_string(file.EndLine() + 3) +
                                                 ": the file has no \" THERMO\" line from line 33 on")
                << thermo;
        }
    }
}

TEST(LoadSolverFile, ReadsCrLfAndLfFilesAlike) {
    test::TempDir dir;
    RunFileText file;
    file.after = {" ", " !$Results  Mass Fractions"};
    const Loaded crlf = load(dir, file.bytes());
    file.lineEnd = "\n";
    const Loaded lf = load(dir, file.bytes());
    EXPECT_EQ(crlf.model.lines, lf.model.lines);
    EXPECT_EQ(crlf.settings.text, lf.settings.text);
    EXPECT_EQ(lf.model.lines.size(), static_cast<std::size_t>(file.EndLine()));
}

TEST(LoadSolverFile, KeepsEveryLineOfAMechanismFarLongerThanItsLeastSize) {
    test::TempDir dir;
    RunFileText file;
    file.reactions = 700;
    file.thirdBodies = true;  // 2100 lines more than three lines a reaction
    const std::vector<std::string> lines = file.Lines();
    const Loaded l = load(dir, file.bytes());
    EXPECT_EQ(l.model.lines, lines);
    EXPECT_EQ(l.model.reactionCount, 700);
}

TEST(LoadSolverFile, TakesTheFractionFromColumns75To84) {
    test::TempDir dir;
    RunFileText file;
    file.species = {{"H2", "1.25E-01"}, {"O2", ""}, {"AR", "  3.5E-2"}};
    std::vector<std::string> lines = file.Lines();
    lines[38].resize(60);                       // O2's first line ends before column 75
    lines[42] += "  tail";                      // beyond column 84: not part of the fraction
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    const Loaded l = load(dir, bytes);
    EXPECT_EQ(l.model.species[0].fraction, "1.25E-01");
    EXPECT_EQ(l.model.species[1].fraction, "");
    EXPECT_EQ(l.model.species[2].fraction, "3.5E-2");
    EXPECT_EQ(l.model.species[2].name, "AR");
}

// The run settings load whatever they hold: this window is where they are
// set. Each shows what the solver reads from its line, or its text where
// the solver reads no number there, and what the solver refuses of them is
// told in its words. What else the solver refuses is refused with its line
// and words, the settings shown as the file has them.
TEST(LoadSolverFile, TakesTheSettingsAsTheyStandAndRefusesWhatElseTheSolverRefuses) {
    struct Case {
        const char* what;
        int line;  // 1-based header line replaced
        std::string text;
        std::string refusal;  // the error's text; empty when the file loads
        std::string pressure, steps;
        std::string settingsProblem = "";  // the file loads, and the solver refuses its settings so
    };
    const Case cases[] = {
        {"species count no number", 10, " many !Species",
         "Type mismatch: line 10: no readable integer for the species count", "1.000000E+00", "100000"},
        {"species count above the limit", 10, " 1073741824 !Species",
         "Subscript out of range: line 10: the species count 1073741824 is above the limit of 300 species",
         "1.000000E+00", "100000"},
        {"reaction count beyond the records", 11, " 2000 !Reactions",
         "Subscript out of range: line 11: the reaction count 2000 is above the 2 reaction records before the end "
         "line 56",
         "1.000000E+00", "100000"},
        {"a gas constant of no number", 32, " R !R", "Type mismatch: line 32: no readable number for the gas "
         "constant in the units of pressure and concentration", "1.000000E+00", "100000"},
        {"no THERMO line", 34, " THERM", "Input past end of file: line 57: the file has no \" THERMO\" line from "
         "line 33 on", "1.000000E+00", "100000"},
        {"pressure line without !", 14, " 1.0 Pressure", "", "1.0", "100000"},
        {"pressure 0", 14, " 0 !Pressure", "", "0", "100000",
         "line 14: the pressure must be above zero, not 0.000000E+00"},
        {"step limit no number", 22, " lots !Max", "", "1.000000E+00", "lots",
         "line 22: no readable integer for the maximum number of steps"},
        {"temperature mode no number", 15, " x !Mode", "", "1.000000E+00", "100000",
         "line 15: no readable integer for the temperature mode"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        RunFileText file;
        file.header[static_cast<std::size_t>(c.line) - 1] = c.text;
        RunSettings s;
        SolverFileModel model;
        std::string refusal;
        try {
            LoadSolverFile(dir.write("run.txt", file.bytes()), s, model);
        } catch (const Error& e) {
            refusal = e.what();
            EXPECT_TRUE(model.lines.empty()) << c.what;
        }
        EXPECT_EQ(refusal, c.refusal) << c.what;
        EXPECT_EQ(s[Setting::Pressure], c.pressure) << c.what;
        EXPECT_EQ(s[Setting::MaxSteps], c.steps) << c.what;
        EXPECT_EQ(model.settingsProblem, c.settingsProblem) << c.what;
    }
}

TEST(LoadSolverFile, RefusesAMissingEndLineAndTakesTheNameWhereTheSolverReadsIt) {
    test::TempDir dir;
    RunFileText file;
    std::vector<std::string> lines = file.Lines();
    lines.back() = "ENDING";
    std::string noEnd;
    for (const std::string& l : lines) noEnd += l + "\r\n";
    RunSettings s;
    EXPECT_EQ(loadFailure(dir, noEnd, s), ErrorKind::InvalidArgument);
    EXPECT_EQ(s[Setting::OutputStep], "1");  // the settings were read

    // A record's first line that ends after the name: the solver reads the
    // fields beyond it as blank.
    lines = file.Lines();
    lines[34] = " 1    H2";
    std::string shortLine;
    for (const std::string& l : lines) shortLine += l + "\r\n";
    const Loaded l = load(dir, shortLine);
    EXPECT_EQ(l.model.species[0].name, "H2");
    EXPECT_EQ(l.model.species[0].formula, "");
    // A name in columns 7-22 whatever the columns before it hold.
    lines[34] = file.Lines()[34];
    lines[34].replace(0, 6, "      ");
    std::string noNumber;
    for (const std::string& l : lines) noNumber += l + "\r\n";
    EXPECT_EQ(load(dir, noNumber).model.species[0].name, "H2");
}

TEST(ThermoData, ARecordWithoutDataNamesItsSpecies) {
    const std::string first = " 7    CH2(S)           C  1H  2          0    300.0   5000.0   1000.0 1.000E-01";
    std::string zeros5;
    for (int k = 0; k < 5; ++k) zeros5 += RunFileText::Coefficient(0);
    const std::string zeros4 = zeros5.substr(0, 60) + "         14.027";
    EXPECT_EQ(SpeciesWithoutThermoData({first, zeros5, zeros5, zeros4}), "CH2(S)");
    // Line 2 sums to exactly 0 but line 3 holds data.
    const std::string cancelling = RunFileText::Coefficient(2) + RunFileText::Coefficient(-2) + std::string(45, ' ');
    const std::string data = RunFileText::Coefficient(0.5) + zeros5.substr(15);
    EXPECT_EQ(SpeciesWithoutThermoData({first, cancelling, data, zeros4}), "");
    // A blank field counts as the value before it: 2, 2, -4 cancel.
    const std::string carried = RunFileText::Coefficient(2) + std::string(15, ' ') + RunFileText::Coefficient(-4) +
                                RunFileText::Coefficient(0) + RunFileText::Coefficient(0);
    EXPECT_EQ(SpeciesWithoutThermoData({first, carried, zeros5, zeros4}), "CH2(S)");
    // A first line without a blank after the name gives no name.
    EXPECT_EQ(SpeciesWithoutThermoData({" 7 CH2", zeros5, zeros5, zeros4}), "");
}

TEST(ThermoData, TheWarningNamesAtMostFiveSpeciesAndIsCutAt142Characters) {
    const std::string head =
        "Temperature can be calculated erroneously because thermodynamic data aren't specified for the species: ";
    struct Case {
        std::vector<std::string> missing;
        std::string expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{"AR"}, head + "'AR'."},
        {{"A", "B", "C", "D", "E"}, head + "'A, B, C, D, E'."},
        {{"A", "B", "C", "D", "E", "F"}, head + "'A, B, C, D, E'..."},
        {{"LONGNAME1", "LONGNAME2", "LONGNAME3", "LONGNAME4"},
         (head + "'LONGNAME1, LONGNAME2, LONGNAME3, LONGNAME4'.").substr(0, 142) + "..."},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        RunFileText file;
        file.species = {{"H2", "1.0E-01"}};
        file.reactions = 0;  // no reaction of three species
        for (const std::string& name : c.missing) file.species.push_back({name, "", 1.0, false});
        EXPECT_EQ(ThermoDataWarning(load(dir, file.bytes()).model), c.expected);
    }
}

namespace {

// The lines of a results record of the species' mass fractions, 50 a line.
std::vector<std::string> recordLines(const std::vector<double>& values, int step, double time, double temperature) {
    const std::size_t n = values.size();
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < std::max<std::size_t>(1, (n + 49) / 50); ++k) {
        const auto from = values.begin() + static_cast<std::ptrdiff_t>(50 * k);
        const auto to = values.begin() + static_cast<std::ptrdiff_t>(std::min(n, 50 * k + 50));
        lines.push_back(ResultsLine(k == 0, step, time, temperature, std::vector<double>(from, to)));
    }
    return lines;
}

// A completed run of the file's species with the given mass fractions in
// its last record (the record before it holds other values).
std::vector<std::string> completedRun(const RunFileText& file, const std::vector<double>& last, double time,
                                      double temperature) {
    std::vector<std::string> lines = file.ResultsStart();
    for (const std::string& l : recordLines(std::vector<double>(last.size(), 0.25), 1, 0.0, 1000.0)) lines.push_back(l);
    for (const std::string& l : recordLines(last, 2, time, temperature)) lines.push_back(l);
    lines.push_back(" !$End");
    lines.push_back(" ");
    lines.push_back(" STATISTICS");
    return lines;
}

LastStep lastStepOf(const test::TempDir& dir, const RunFileText& file, const std::string& atol = "1.0E-12") {
    const std::string path = dir.write("run.txt", file.bytes());
    RunSettings s;
    SolverFileModel m;
    LoadSolverFile(path, s, m);
    LastStep step;
    ReadLastStep(path, m, atol, step);
    return step;
}

}  // namespace

TEST(LastStep, TurnsTheLastRecordsMassFractionsIntoMoleFractions) {
    test::TempDir dir;
    RunFileText file;  // H2 2.016, O2 31.998, N2 28.014
    file.after = completedRun(file, {0.1, 0.9, 1e-20}, 1.25e-3, 2345.678);
    const LastStep step = lastStepOf(dir, file);
    ASSERT_TRUE(step.available);
    EXPECT_DOUBLE_EQ(step.time, 1.25e-3);
    EXPECT_EQ(step.temperature, "2345.7");
    const double h2 = 0.1 / 2.016, o2 = 0.9 / 31.998, n2 = 1e-20 / 28.014, sum = h2 + o2 + n2;
    ASSERT_EQ(step.fractions.size(), 3u);
    EXPECT_EQ(step.fractions[0], Format(h2 / sum, "0.000E+00"));
    EXPECT_EQ(step.fractions[1], Format(o2 / sum, "0.000E+00"));
    EXPECT_EQ(step.fractions[2], "0");  // not above the absolute tolerance
    EXPECT_EQ(step.fractions[0], "6.381E-01");
}

// A molar mass written without its decimal point has the three decimals
// the solver reads it with: the same fractions as with the point.
TEST(LastStep, TakesTheMolarMassesAsTheSolverReadsThem) {
    test::TempDir dir;
    RunFileText file;  // H2 2.016, O2 31.998, N2 28.014
    file.after = completedRun(file, {0.1, 0.9, 1e-20}, 1.25e-3, 2345.678);
    std::string bytes = file.bytes();
    const std::size_t at = bytes.find("         31.998\r\n");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 15, "          31998");
    const std::string path = dir.write("run.txt", bytes);
    RunSettings s;
    SolverFileModel m;
    LoadSolverFile(path, s, m);
    LastStep step;
    ReadLastStep(path, m, "1.0E-12", step);
    ASSERT_TRUE(step.available);
    EXPECT_EQ(step.fractions, (std::vector<std::string>{"6.381E-01", "3.619E-01", "0"}));
}

TEST(LastStep, ReadsRecordsOfSeveralLinesFromTheirColumns) {
    for (int n : {50, 100, 120}) {
        test::TempDir dir;
        RunFileText file;
        file.species.clear();
        std::vector<double> mass;
        for (int k = 0; k < n; ++k) {
            file.species.push_back({std::string("S").append(std::to_string(k + 1)), "", 1.0});
            mass.push_back(k == n - 1 ? 0.5 : (k == 50 % n ? 0.25 : 0.25 / (n - 2)));
        }
        file.after = completedRun(file, mass, 1.0, 1500.0);
        const LastStep step = lastStepOf(dir, file);
        ASSERT_TRUE(step.available) << n;
        ASSERT_EQ(step.fractions.size(), static_cast<std::size_t>(n));
        EXPECT_EQ(step.fractions[static_cast<std::size_t>(n - 1)], "5.000E-01") << n;
        if (n > 50) {
            EXPECT_EQ(step.fractions[50], "2.500E-01") << n;
        }
        EXPECT_EQ(step.temperature, "1500.0");
    }
}

TEST(LastStep, IsUnavailableWithoutACompletedRunAfterTheMechanism) {
    struct Case {
        const char* what;
        std::vector<std::string> after;
        std::string headerLine3;
    };
    const std::vector<std::string> heading = RunFileText().ResultsStart();
    std::vector<std::string> failed = heading;
    failed.push_back(ResultsLine(true, 1, 0.0, 1000.0, {0.5, 0.5, 0.0}));
    failed.insert(failed.end(), {" Error", " Number of steps exceeded"});
    std::vector<std::string> refused = heading;
    refused.push_back(" !$End");
    const Case cases[] = {
        {"no results", {}, " "},
        {"a run that stopped with an error", failed, " "},
        {"a heading and no record", refused, " "},
        {"free header text looking like the closing line", {}, " !$End of the description"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        RunFileText file;
        file.after = c.after;
        file.header[2] = c.headerLine3;
        EXPECT_FALSE(lastStepOf(dir, file).available) << c.what;
    }
}

// The results are read as every reader of results reads them: the title
// after the mechanism, records joined over blank lines between them, and a
// record that the solver would not have written refused naming its line,
// wherever it stands; the state is the last record's.
TEST(LastStep, ReadsTheResultsAsEveryReaderOfResultsDoes) {
    // Lines 57-63: a blank line, the title, the heading, records 1-3 (lines
    // 60-62) and the closing line.
    const RunFileText plain;
    std::vector<std::string> results = plain.ResultsStart();
    for (const std::string& l : recordLines({0.25, 0.25, 0.5}, 1, 0.0, 1000.0)) results.push_back(l);
    for (const std::string& l : recordLines({0.2, 0.3, 0.5}, 2, 1e-4, 1500.0)) results.push_back(l);
    for (const std::string& l : recordLines({0.1, 0.9, 0.0}, 3, 2e-4, 2000.0)) results.push_back(l);
    results.push_back(" !$End");
    const auto changed = [&results](std::size_t at, const std::string& line) {
        std::vector<std::string> out = results;
        out.at(at - 57) = line;
        return out;
    };
    const auto inserted = [&results](std::size_t before, const std::string& line) {
        std::vector<std::string> out = results;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(before - 57), line);
        return out;
    };
    std::string shortRecord = results[61 - 57];
    shortRecord.resize(shortRecord.size() - 17);
    std::string timeNoNumber = results[61 - 57];
    timeNoNumber.replace(7, 16, std::string(15, ' ') + "x");
    std::string earlier = results[62 - 57];
    earlier.replace(7, 16, "  5.00000000E-05");
    std::vector<std::string> errorReport = results;
    errorReport.back() = "";
    errorReport.insert(errorReport.end(), {" Error", " Kinovex error 10", " Larger maximal number of computed steps"});
    struct Case {
        const char* what;
        std::vector<std::string> after;
        std::string headerLine3;
        // The state taken ("the last record"), "" for none, or the line
        // named by the refusal.
        std::string outcome;
    } cases[] = {
        {"a blank line between records", inserted(61, " "), " ", "the last record"},
        {"a blank line before the closing line", inserted(63, ""), " ", "the last record"},
        {"free header text beginning with the title", results, " !$Results of the first try", "the last record"},
        {"free header text beginning with the closing line", results, " !$END of the description", "the last record"},
        {"a damaged title", changed(58, " !$Resul  Mass Fractions"), " ", ""},
        {"an error report after the records", errorReport, " ", ""},
        {"record 2 one column short", changed(61, shortRecord), " ", "line 61"},
        {"record 2 a time that is no number", changed(61, timeNoNumber), " ", "line 61"},
        {"record 3 earlier than record 2", changed(62, earlier), " ", "line 62"},
        {"a heading of other species", changed(59, " StepN Time T"), " ", "line 10"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        RunFileText file;
        file.after = c.after;
        file.header[2] = c.headerLine3;
        std::string refusal;
        LastStep step;
        try {
            step = lastStepOf(dir, file);
        } catch (const Error& e) {
            refusal = e.what();
        }
        if (c.outcome.rfind("line ", 0) == 0) {
            EXPECT_NE(refusal.find(c.outcome + ","), std::string::npos) << c.what << ": " << refusal;
            continue;
        }
        EXPECT_EQ(refusal, "") << c.what;
        EXPECT_EQ(step.available, !c.outcome.empty()) << c.what;
        if (!c.outcome.empty()) {
            EXPECT_EQ(step.time, 2e-4) << c.what;
            EXPECT_EQ(step.temperature, "2000.0") << c.what;
            EXPECT_EQ(step.fractions, (std::vector<std::string>{"6.381E-01", "3.619E-01", "0"})) << c.what;
        }
    }
}

// A mass fraction near the largest number, whose four rounded digits are
// beyond it, is taken as it stands.
TEST(LastStep, AValueThatRoundsBeyondTheLargestNumberIsTakenAsItStands) {
    test::TempDir dir;
    RunFileText file;  // H2 2.016, O2 31.998, N2 28.014
    file.after = completedRun(file, {1.7976e308, 0.0, 0.0}, 1.0, 1000.0);
    const LastStep step = lastStepOf(dir, file);
    ASSERT_TRUE(step.available);
    EXPECT_EQ(step.fractions, (std::vector<std::string>{"1.000E+00", "0", "0"}));
}

TEST(LastStep, FailsOnARecordThatDoesNotReadOrAZeroMolarMass) {
    test::TempDir dir;
    RunFileText file;
    file.after = completedRun(file, {0.1, 0.9, 0.0}, 1.0, 1000.0);
    file.after[file.after.size() - 4].resize(60);  // the last record is cut short
    EXPECT_THROW(lastStepOf(dir, file), Error);

    // A molar mass of 0 is refused as the solver refuses it, when the file is read.
    RunFileText massless;
    massless.species[1].molarMass = 0;
    massless.after = completedRun(massless, {0.1, 0.9, 0.0}, 1.0, 1000.0);
    try {
        lastStepOf(dir, massless);
        ADD_FAILURE() << "a molar mass of 0 was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Invalid procedure call or argument: line 42: the molar mass must be above zero, not 0.000000E+00");
    }
}
