// The Run command's checks, in their order and at their boundaries, the
// values they normalise, and the rewrite of the solver file.
#include "RunCommand.h"

#include "Errors.h"
#include "Files.h"
#include "solver_file.h"

#include "RunFileText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace kx;
using namespace kx::runs;
using kx::test::RunFileText;

namespace {

// Settings that pass every check.
RunSettings goodSettings() {
    RunSettings s;
    s[Setting::Pressure] = "1";
    s[Setting::InitialTemperature] = "1000";
    s[Setting::MinTemperature] = "200";
    s[Setting::MaxTemperature] = "6000";
    s[Setting::InitialTime] = "0";
    s[Setting::FinalTime] = "1";
    s[Setting::InitialStep] = "1E-10";
    s[Setting::RelativeTolerance] = "1E-6";
    s[Setting::AbsoluteTolerance] = "1E-15";
    s[Setting::MaxSteps] = "5000";
    s[Setting::OutputStep] = "1";
    return s;
}

std::vector<SpeciesRow> someFractions() { return {{"H2", "H2", "0.5"}, {"O2", "O2", ""}, {"N2", "N2", "0"}}; }

const std::string kStepLimitMessage =
    "Maximum number of computed steps, please enter a positive integer less than 100000.";
const std::string kRtolMessage = "Relative tolerance, please enter a number on the interval (1.E-14, 1).";
const std::string kIntervalMessage = "Allowable temperature interval, please enter a positive number.";

}  // namespace

TEST(ValidateRun, RefusesOneStepBeyondEachBoundaryOnItsTabAndBox) {
    struct Case {
        Setting box;
        std::string text;
        bool refused;
        Setting field;  // refused: the box selected
        int tab;
        std::string message;
    };
    const std::string pressure = "Pressure, please enter a positive number.";
    const Case cases[] = {
        {Setting::Pressure, "abc", true, Setting::Pressure, 1, pressure},
        {Setting::Pressure, "0", true, Setting::Pressure, 1, pressure},
        {Setting::Pressure, "1e-300", false, {}, 0, ""},
        {Setting::InitialTemperature, "", true, Setting::InitialTemperature, 1,
         "Initial temperature, please enter a positive number."},
        {Setting::InitialTime, "t0", true, Setting::InitialTime, 1, "Initial time, please enter a number."},
        {Setting::FinalTime, "1,5", true, Setting::FinalTime, 1, "Final time, please enter a number."},
        {Setting::InitialStep, "x", true, Setting::InitialStep, 1, "Initial step size, please enter a positive number."},
        {Setting::InitialStep, "-1E-12", true, Setting::InitialStep, 1,
         "Initial step size, please enter a positive number."},
        {Setting::InitialStep, "0", false, {}, 0, ""},
        {Setting::AbsoluteTolerance, "0", true, Setting::AbsoluteTolerance, 1,
         "Absolute tolerance, please enter a positive number."},
        {Setting::MaxSteps, "100000", false, {}, 0, ""},
        {Setting::MaxSteps, "100001", true, Setting::MaxSteps, 2, kStepLimitMessage},
        {Setting::MaxSteps, "-5", true, Setting::MaxSteps, 2, kStepLimitMessage},
        {Setting::MaxSteps, "0.4", true, Setting::MaxSteps, 2, kStepLimitMessage},
        {Setting::OutputStep, "0", true, Setting::OutputStep, 2, "Step of data output, please entera a positive integer."},
        {Setting::OutputStep, "n", true, Setting::OutputStep, 2, "Step of data output, please entera a positive integer."},
        {Setting::RelativeTolerance, "1e-14", false, {}, 0, ""},
        {Setting::RelativeTolerance, "1", false, {}, 0, ""},
        {Setting::RelativeTolerance, "0.9e-14", true, Setting::RelativeTolerance, 1, kRtolMessage},
        {Setting::RelativeTolerance, "1.5", true, Setting::RelativeTolerance, 1, kRtolMessage},
        {Setting::MaxTemperature, "hot", true, Setting::MaxTemperature, 2, kIntervalMessage},
        {Setting::MinTemperature, "", true, Setting::MinTemperature, 2, kIntervalMessage},
        {Setting::MinTemperature, "-1", true, Setting::MinTemperature, 2,
         "Minimum value of the allowable temperature interval, please enter a positive number."},
        // The solver refuses a minimum of 0 K and an interval that the solver
        // file's seven digits make empty, as it refuses a final time that
        // they make equal to the initial one.
        {Setting::MinTemperature, "0", true, Setting::MinTemperature, 2,
         "Minimum value of the allowable temperature interval, please enter a positive number."},
        {Setting::MinTemperature, "-0", true, Setting::MinTemperature, 2,
         "Minimum value of the allowable temperature interval, please enter a positive number."},
        {Setting::MinTemperature, "1e-300", false, {}, 0, ""},
        {Setting::MinTemperature, "6000", true, Setting::MinTemperature, 2,
         "Allowable temperature interval, the minimum value is equal to or greater than the maximum value. Enter a "
         "correct values."},
        {Setting::MinTemperature, "5999.9999", true, Setting::MinTemperature, 2,
         "Allowable temperature interval, the minimum value is equal to or greater than the maximum value. Enter a "
         "correct values."},
        {Setting::InitialTime, "0.99999999", true, Setting::InitialTime, 1,
         "The initial time is equal to or greater than the final time. Enter correct values."},
        {Setting::InitialTime, "0.9999", false, {}, 0, ""},
        {Setting::InitialTemperature, "200", false, {}, 0, ""},
        {Setting::InitialTemperature, "6000", false, {}, 0, ""},
        {Setting::InitialTemperature, "6000.5", true, Setting::InitialTemperature, 1,
         "The initial temperature is outside of the interval (200, 6000). Enter a correct value."},
        {Setting::FinalTime, "0", true, Setting::InitialTime, 1,
         "The initial time is equal to or greater than the final time. Enter correct values."},
    };
    for (const Case& c : cases) {
        RunSettings s = goodSettings();
        s[c.box] = c.text;
        const Refusal r = ValidateRun(s, someFractions());
        const std::string what = "box " + std::to_string(static_cast<int>(c.box)) + " \"" + c.text + "\"";
        ASSERT_EQ(static_cast<bool>(r), c.refused) << what << ": " << r.message;
        if (!c.refused) continue;
        EXPECT_EQ(r.kind, Refusal::Kind::Field) << what;
        EXPECT_EQ(r.field, c.field) << what;
        EXPECT_EQ(r.tab, c.tab) << what;
        EXPECT_EQ(r.message, c.message) << what;
    }
}

TEST(ValidateRun, TheFirstProblemInTheCommandsOrderIsReported) {
    RunSettings s = goodSettings();
    s[Setting::RelativeTolerance] = "5";
    s[Setting::MinTemperature] = "x";
    EXPECT_EQ(ValidateRun(s, someFractions()).field, Setting::MinTemperature);  // numeric checks first
    s = goodSettings();
    s[Setting::Pressure] = "0";
    s[Setting::RelativeTolerance] = "5";
    EXPECT_EQ(ValidateRun(s, someFractions()).field, Setting::Pressure);
    s = goodSettings();
    s[Setting::AbsoluteTolerance] = "0";
    EXPECT_EQ(ValidateRun(s, {{"H2", "H2", "-0.1"}}).kind, Refusal::Kind::Fraction);  // fractions before ATOL
}

TEST(ValidateRun, NormalisesTheStepsAndKeepsNormalisationsMadeBeforeARefusal) {
    struct Case {
        std::string start, end, step, limit, output;
        std::string stepAfter, limitAfter, outputAfter;
    };
    const Case cases[] = {
        {"0", "1", "0.5", "5000", "1", "1.0E-02", "5000", "1"},
        {"0", "1", "1E-10", "5000", "2.5", "1E-10", "5000", "2"},
        {"0", "1", "1E-10", "5000", "3.5", "1E-10", "5000", "4"},
        {"0", "1", "1E-10", "2", "1", "1E-10", "3", "1"},
        {"0", "1", "1E-10", "10", "5", "1E-10", "15", "5"},
        {"2", "3", "0", "7.5", "1", "0", "8", "1"},
    };
    for (const Case& c : cases) {
        RunSettings s = goodSettings();
        s[Setting::InitialTime] = c.start;
        s[Setting::FinalTime] = c.end;
        s[Setting::InitialStep] = c.step;
        s[Setting::MaxSteps] = c.limit;
        s[Setting::OutputStep] = c.output;
        EXPECT_FALSE(ValidateRun(s, someFractions())) << c.step << " " << c.limit << " " << c.output;
        EXPECT_EQ(s[Setting::InitialStep], c.stepAfter);
        EXPECT_EQ(s[Setting::MaxSteps], c.limitAfter);
        EXPECT_EQ(s[Setting::OutputStep], c.outputAfter);
    }
    RunSettings s = goodSettings();
    s[Setting::InitialStep] = "0.5";
    s[Setting::OutputStep] = "0.4";
    const Refusal r = ValidateRun(s, someFractions());
    EXPECT_EQ(r.field, Setting::OutputStep);
    EXPECT_EQ(s[Setting::InitialStep], "1.0E-02");
    EXPECT_EQ(s[Setting::OutputStep], "0");
}

TEST(ValidateRun, ChecksTheFractionsAndTheirSum) {
    struct Case {
        std::vector<std::string> fractions;
        Refusal::Kind kind;
        int species;
    };
    const Case cases[] = {
        {{"0.5", "", "0"}, Refusal::Kind::None, -1},
        {{"", "0.2", "abc", "-1"}, Refusal::Kind::Fraction, 2},
        {{"0.2", "-1E-3"}, Refusal::Kind::Fraction, 1},
        {{"1E+100", "0.5"}, Refusal::Kind::Fraction, 0},
        {{"9.9999E+99"}, Refusal::Kind::Fraction, 0},
        {{"9.9E+99"}, Refusal::Kind::None, -1},
        {{"", "0", "0.0E+00"}, Refusal::Kind::ZeroSum, -1},
        {{"1E-120", "9.99E-100"}, Refusal::Kind::ZeroSum, -1},  // the solver gets 0 for both
        {{}, Refusal::Kind::ZeroSum, -1},
    };
    for (const Case& c : cases) {
        std::vector<SpeciesRow> species;
        for (const std::string& f : c.fractions) species.push_back({"S", "S", f});
        RunSettings s = goodSettings();
        const Refusal r = ValidateRun(s, species);
        EXPECT_EQ(r.kind, c.kind) << testing::PrintToString(c.fractions);
        EXPECT_EQ(r.species, c.species) << testing::PrintToString(c.fractions);
    }
    RunSettings s = goodSettings();
    EXPECT_EQ(ValidateRun(s, {{"S", "S", "x"}}).message, "Initial mole fractions, please enter positive decimal numbers.");
    EXPECT_EQ(ValidateRun(s, {{"S", "S", "0"}}).message, "The solver cannot start, all initial mole fractions are zero.");
}

TEST(ValidateRun, AWholeNumberBeyond32BitsIsARunTimeFailure) {
    RunSettings s = goodSettings();
    s[Setting::OutputStep] = "1E12";
    try {
        ValidateRun(s, someFractions());
        ADD_FAILURE() << "no failure";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
}

TEST(FractionField, FitsTheSolversNineColumns) {
    for (const auto& [text, field] : std::vector<std::pair<std::string, std::string>>{
             {"", "0"}, {"0", "0"}, {"-0", "0"}, {"0.0E+00", "0"}, {"0.5", "5.000E-01"}, {"2.959E-01", "2.959E-01"},
             {"1", "1.000E+00"}, {"1E-99", "1.000E-99"}, {"9.99E-100", "0"}, {"1E-120", "0"}, {"9.9E+99", "9.900E+99"}}) {
        EXPECT_EQ(FractionField(text), field) << text;
    }
    for (const std::string text : {"1E+100", "9.9996E+99", "abc"}) EXPECT_THROW(FractionField(text), Error) << text;
}

TEST(SolverPath, RefusesPathsTheSolverWouldReadDifferently) {
    EXPECT_EQ(SolverPathProblem("/home/chem/runs/h2 air, 1 atm.txt"), "");
    EXPECT_EQ(SolverPathProblem("  /lead/blanks.txt"), "");
    EXPECT_EQ(SolverPathProblem("/" + std::string(299, 'a')), "");
    // 300 characters beyond ASCII: "Δ" two bytes, "測" three.
    std::string greek = "/", cjk = "/";
    for (int i = 0; i < 299; ++i) greek += "\xCE\x94", cjk += "\xE6\xB8\xAC";
    EXPECT_EQ(SolverPathProblem(greek), "");
    EXPECT_EQ(SolverPathProblem(cjk), "");
    for (const std::string& bad : {std::string("/a/b\n.txt"), std::string("/a/b\r.txt"), "/" + std::string(300, 'a'),
                                   greek + "\xCE\x94", cjk + "a",
                                   std::string("/a/b.txt "), std::string("/a/b.txt\t")}) {
        const std::string problem = SolverPathProblem(bad);
        EXPECT_NE(problem, "") << bad.size();
        EXPECT_NE(problem.find(bad), std::string::npos);
    }
}

namespace {

struct RewriteFixture {
    test::TempDir dir;
    std::string path;
    RunSettings settings;
    SolverFileModel model;
    std::vector<std::string> original;

    explicit RewriteFixture(RunFileText file) {
        file.header[1] = " Mechanism by J\xF6rg M\xFCller, 20\xB0 C";  // Latin-1 free text
        file.after = {" ", " !$Results  Mass Fractions", " StepN", " !$End", " ", " STATISTICS"};
        path = dir.write("run file.txt", file.bytes());
        original = files::ReadLines(path);
        LoadSolverFile(path, settings, model);
    }
};

}  // namespace

TEST(Rewrite, WritesLines14To28AndTheFractionsAndKeepsEveryOtherLine) {
    RunFileText file;
    file.species = {{"H2", "0.5"}, {"O2", "9.999999E-01"}, {"N2", ""}, {"AR", ""}};
    RewriteFixture f(file);
    f.settings = goodSettings();
    f.settings[Setting::Pressure] = " 101.325 ";
    f.settings[Setting::InitialStep] = "1.23456789E-10";
    f.settings.adiabatic = false;
    f.model.species[0].fraction = "5.000E-01";
    f.model.species[1].fraction = "0.25";
    f.model.species[2].fraction = "3E-2";
    f.model.species[3].fraction = "1.0E-120";

    const std::vector<std::string> lines = RewrittenSolverLines(f.model, f.settings);
    const std::vector<std::string> expected14to28 = {
        " 1.01325E+02 !Pressure, atm",
        " 0 !Constant Temperature",
        " 1.00E+03 !Initial Temperature",
        " 2.00E+02 !Minimal Allowable Temperature",
        " 6.00E+03 !Maximum Allowable Temperature",
        " 0.00E+00 !Initial Time",
        " 1.00E+00 !Final Time",
        " 1.234568E-10 !Initial Step Size",
        " 5000 !Maximum Number of Steps",
        " 1.00E-06 !Relative Tolerance",
        " 1.00E-15 !Absolute Tolerance",
        " ",
        " !Output Parameters",
        " 100000 !R!Maximum Number of lines in output",
        " 1 !Delta N",
    };
    ASSERT_EQ(lines.size(), f.model.lines.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 13, lines.begin() + 28), expected14to28);
    const std::string fields[] = {"5.000E-01 ", "2.500E-01 ", "3.000E-02 ", "0         "};
    for (int k = 0; k < 4; ++k) {
        const std::string& line = lines[static_cast<std::size_t>(f.model.ThermoLine(k)) - 1];
        ASSERT_EQ(line.size(), 84u);
        EXPECT_EQ(line.substr(0, 74), f.original[static_cast<std::size_t>(f.model.ThermoLine(k)) - 1].substr(0, 74));
        EXPECT_EQ(line.substr(74), fields[k]) << k;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        bool thermoFirst = false;
        for (int k = 0; k < 4; ++k) thermoFirst = thermoFirst || number == f.model.ThermoLine(k);
        if ((number >= 14 && number <= 28) || thermoFirst) continue;
        EXPECT_EQ(lines[i], f.original[i]) << "line " << number;
    }
}

// A setting left as the file holds it keeps its line, and is checked as
// the number the solver reads there; one typed anew is written with seven
// digits, and checked so.
TEST(Rewrite, ASettingLeftAsReadIsCheckedAsTheSolverReadsIt) {
    RunFileText file;
    file.header[15] = " 6000 !Initial Temperature";
    file.header[16] = " 5999.9999 !Minimal Allowable Temperature";
    file.header[17] = " 6000 !Maximum Allowable Temperature";
    RewriteFixture f(file);
    SolverInputError error;
    ASSERT_TRUE(SolverWouldRun(test::ReadBytes(f.path), error)) << error.problem;
    RunSettings s = f.settings;
    EXPECT_FALSE(ValidateFileRun(s, f.model));
    EXPECT_EQ(RewrittenSolverLines(f.model, s), f.model.lines);
    s[Setting::MinTemperature] = "5999.99990";
    const Refusal r = ValidateFileRun(s, f.model);
    EXPECT_EQ(r.field, Setting::MinTemperature);
    EXPECT_EQ(r.message, "Allowable temperature interval, the minimum value is equal to or greater than the maximum "
                         "value. Enter a correct values.");
}

TEST(Rewrite, PadsAShortThermoLineTo74ColumnsBeforeTheFraction) {
    RunFileText file;
    std::vector<std::string> lines = file.Lines();
    lines[34] = " 1    H2               H2  0  300.0  5000.0  1000.0";
    test::TempDir dir;
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    RunSettings s;
    SolverFileModel m;
    LoadSolverFile(dir.write("short.txt", bytes), s, m);
    m.species[0].fraction = "0.4";
    const std::vector<std::string> rewritten = RewrittenSolverLines(m, goodSettings());
    ASSERT_LT(lines[34].size(), 74u);
    EXPECT_EQ(rewritten[34], lines[34] + std::string(74 - lines[34].size(), ' ') + "4.000E-01 ");
}

TEST(Rewrite, WritesThePathFileAndTheSolverFileWithoutTheEarlierResults) {
    RewriteFixture f{RunFileText{}};
    f.settings = goodSettings();
    const std::vector<std::string> lines = RewrittenSolverLines(f.model, f.settings);
    WriteRunFiles(f.dir.path(), f.path, lines);
    EXPECT_EQ(test::ReadBytes(f.dir.file("SolverFilePath.txt")), f.path + "\r\n");
    std::string expected;
    for (const std::string& l : lines) expected += l + "\r\n";
    EXPECT_EQ(test::ReadBytes(f.path), expected);
    EXPECT_EQ(files::ReadLines(f.path).back(), "END");
}

TEST(Rewrite, AFailedWriteLeavesTheSolverFileAsItWas) {
    RewriteFixture f{RunFileText{}};
    const std::string before = test::ReadBytes(f.path);
    files::SetReadOnly(f.path, true);
    EXPECT_THROW(WriteRunFiles(f.dir.path(), f.path, RewrittenSolverLines(f.model, goodSettings())), Error);
    EXPECT_EQ(test::ReadBytes(f.path), before);
}
