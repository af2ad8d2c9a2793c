// The built KINOVEX_SOLVER on small hand-made solver files: what it writes
// behind the mechanism, its console texts and its exit statuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FileAttributes.h"
#include "file_replacement.h"
#include "owned_file.h"
#include "solver.h"
#include "solver_test_support.h"

namespace {

using kxtest::ReactionRecipe;
using kxtest::SolverFileRecipe;

constexpr const char* kTitle = " !$Results  Mass Fractions";

double SmallMass(int i) { return i == 3 ? 34.0 : 2.0 + 10.0 * i; }
double SmallFraction(int i, int nspec) { return i == 1 ? 0.4 : i == 2 ? 0.2 : i == nspec ? 0.4 : 0.0; }

// nspec species S1.. with constant heat capacities; S1 + S2 = S3 releases heat.
SolverFileRecipe Small(int nspec = 4) {
  SolverFileRecipe s;
  for (int i = 1; i <= nspec; ++i)
    s.species.push_back(kxtest::Species(std::to_string(i).insert(0, 1, 'S'), SmallFraction(i, nspec),
                                        kxtest::ConstantCp(3.0 + 0.5 * (i % 4), -30000.0 * (i == 3), 10.0 + i),
                                        SmallMass(i)));
  ReactionRecipe r;
  r.reactants = {1, 2};
  r.products = {3};
  r.rate = {5.0e13, 0.0, 8000.0};
  s.reactions = {r};
  s.XEND = 1e-4;
  return s;
}

struct SolverFileRun {
  kxtest::TempDir dir;
  std::string path;
  std::string input;
  kxtest::RunResult result;
  std::string output;

  explicit SolverFileRun(const std::string& text, const std::string& name = "mech.txt") {
    path = dir.write(name, text);
    input = text;
  }
  explicit SolverFileRun(const SolverFileRecipe& recipe) : SolverFileRun(kxtest::BuildSolverFile(recipe)) {}
  void Go() {
    result = kxtest::RunSolver(dir, path);
    output = kxtest::ReadBytes(path);
  }
  // What the run wrote behind the input.
  std::string Tail() const { return output.substr(input.size()); }
  std::vector<std::string> TailLines() const { return kxtest::Lines(Tail()); }
};

// Statistics values by label, -1 when absent.
long Statistic(const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& l : lines)
    if (l.rfind(label, 0) == 0) return std::stol(l.substr(label.size()));
  return -1;
}

TEST(SolverRun, CompletedRunWritesResultsEndAndStatistics) {
  SolverFileRecipe recipe = Small();
  recipe.mode = 0;
  recipe.T0 = 1234.5;
  SolverFileRun run(recipe);
  run.Go();
  EXPECT_EQ(run.result.status, 0) << run.result.errors;
  ASSERT_EQ(run.output.substr(0, run.input.size()), run.input) << "the mechanism is kept byte for byte";
  const auto lines = run.TailLines();
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], " ");
  EXPECT_EQ(lines[1], kTitle);
  EXPECT_EQ(lines[2], " StepN " + kxtest::Left("Time", 16) + " " + kxtest::Left("T", 16) + " " +
                          kxtest::Left("S1", 16) + " " + kxtest::Left("S2", 16) + " " + kxtest::Left("S3", 16) +
                          " " + kxtest::Left("S4", 16));
  EXPECT_EQ(lines[3].substr(0, 40), "     1  0.00000000E+000  0.12345000E+004");
  const std::size_t end = static_cast<std::size_t>(kxtest::FindLine(lines, " !$End"));
  ASSERT_GT(end, 4u);
  const std::vector<std::string> trailer(lines.begin() + static_cast<long>(end), lines.end());
  ASSERT_EQ(trailer.size(), 8u);
  EXPECT_EQ(trailer[0], " ");
  EXPECT_EQ(trailer[1], " STATISTICS");
  EXPECT_EQ(trailer[2], "       COMPUTATIONAL TIME =     0 SEC");
  EXPECT_EQ(trailer[3].substr(0, 39), "       NUMBER OF FUNCTION EVALUATIONS =");
  EXPECT_EQ(trailer[3].size(), 39u + 8u);
  EXPECT_EQ(run.Tail().substr(run.Tail().size() - 2), "\r\n");
  EXPECT_EQ(run.Tail().find('\n'), run.Tail().find("\r\n") + 1) << "lines end in CR LF";

  // Every record of an isothermal run carries T0; the records are every step.
  const auto records = kxtest::ReadRecords(lines, 4);
  ASSERT_EQ(static_cast<long>(records.size()), Statistic(lines, "       NUMBER OF RECORDS ="));
  EXPECT_EQ(static_cast<long>(records.size()), Statistic(lines, "       NUMBER OF ACCEPTED STEPS =") + 1);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].temperature, 1234.5);
    EXPECT_EQ(records[i].step, static_cast<long>(i) + 1);
  }
  EXPECT_EQ(records.back().time, 1e-4);
  // The first record holds the initial mole fractions as mass fractions.
  const double masses[4] = {12.0, 22.0, 34.0, 42.0};
  const double fractions[4] = {0.4, 0.2, 0.0, 0.4};
  double mean = 0;
  for (int i = 0; i < 4; ++i) mean += fractions[i] * masses[i];
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(records[0].y[static_cast<std::size_t>(i)], fractions[i] * masses[i] / mean, 5e-9);
  EXPECT_GT(records.back().y[2], 0.0) << "S3 is formed";

  const std::string& console = run.result.console;
  EXPECT_EQ(console.rfind(" Time= 0.000000E+00  Step=        0\n", 0), 0u);
  EXPECT_EQ(console.substr(console.size() - 30), "   \nSTOP - Program terminated\n");
}

TEST(SolverRun, OutputStepSelectsTheRecordsAndTheLastPointIsKept) {
  for (int nout : {3, 0}) {
    SolverFileRecipe recipe = Small();
    recipe.NOUT = nout;
    SolverFileRun run(recipe);
    run.Go();
    ASSERT_EQ(run.result.status, 0);
    const auto lines = run.TailLines();
    const auto records = kxtest::ReadRecords(lines, 4);
    const long accepted = Statistic(lines, "       NUMBER OF ACCEPTED STEPS =");
    ASSERT_GT(accepted, 6);
    // Output numbers 1, 3, 6, ... and the last; with 0 every one.
    std::vector<long> expected = {1};
    for (long step = nout > 0 ? nout : 2; step <= accepted + 1; step += nout > 0 ? nout : 1) expected.push_back(step);
    if (expected.back() != accepted + 1) expected.push_back(accepted + 1);
    std::vector<long> steps;
    for (const auto& r : records) steps.push_back(r.step);
    EXPECT_EQ(steps, expected) << "NOUT " << nout;
    EXPECT_EQ(records.back().time, 1e-4);
    EXPECT_EQ(static_cast<long>(records.size()), Statistic(lines, "       NUMBER OF RECORDS ="));
    EXPECT_GT(records.back().temperature, records.front().temperature + 10.0) << "S1 + S2 = S3 releases heat";
  }
}

// One step from 0.2 to 0.9 ends at 0.2 + 0.7, one unit below 0.9: the final
// state is still recorded, once.
TEST(SolverRun, TheFinalStateIsRecordedWhenTheEndTimeRoundsBelow) {
  SolverFileRecipe recipe = Small();
  recipe.mode = 0;
  recipe.reactions[0].rate = {1e-30, 0.0, 0.0};
  recipe.X0 = 0.2;
  recipe.XEND = 0.9;
  recipe.H0 = 1.0;
  recipe.NOUT = 1000;
  SolverFileRun run(recipe);
  run.Go();
  ASSERT_EQ(run.result.status, 0);
  const auto lines = run.TailLines();
  const auto records = kxtest::ReadRecords(lines, 4);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].step, 1);
  EXPECT_EQ(records[1].step, 2);
  EXPECT_EQ(Statistic(lines, "       NUMBER OF RECORDS ="), 2);
  EXPECT_NE(kxtest::FindLine(lines, " !$End"), 0);
}

TEST(SolverRun, RecordsOf51And100SpeciesContinueAfterForty) {
  for (int nspec : {51, 100}) {
    SolverFileRecipe recipe = Small(nspec);
    recipe.mode = 0;
    recipe.NOUT = 100000;
    SolverFileRun run(recipe);
    run.Go();
    ASSERT_EQ(run.result.status, 0) << nspec;
    const auto lines = run.TailLines();
    // heading: two lines; records: two lines each
    const std::string blanks(40, ' ');
    EXPECT_EQ(lines[2].size(), 890u);
    EXPECT_EQ(lines[3].substr(0, 41), blanks + " ");
    EXPECT_EQ(lines[3].substr(41, 16), kxtest::Left("S51", 16));
    EXPECT_EQ(lines[3].size(), nspec == 51 ? 57u : 890u) << nspec;
    EXPECT_EQ(lines[4].size(), 890u);
    EXPECT_EQ(lines[5].size(), nspec == 51 ? 57u : 890u);
    EXPECT_EQ(lines[5].substr(0, 40), blanks);
    const auto records = kxtest::ReadRecords(lines, nspec);
    ASSERT_EQ(records.size(), 2u);
    // Species 51 stands in the columns of species 1, on the next line.
    double mean = 0;
    for (int i = 1; i <= nspec; ++i) mean += SmallFraction(i, nspec) * SmallMass(i);
    for (int i : {1, 50, 51, nspec})
      EXPECT_NEAR(records[0].y[static_cast<std::size_t>(i - 1)], SmallFraction(i, nspec) * SmallMass(i) / mean, 5e-9)
          << nspec << " species, species " << i;
    EXPECT_EQ(records[1].y[static_cast<std::size_t>(nspec - 1)], records[0].y[static_cast<std::size_t>(nspec - 1)]);
    EXPECT_EQ(lines[8], " !$End");
  }
}

TEST(SolverRun, ASecondRunReplacesTheFirstRunsResults) {
  SolverFileRun run(Small());
  run.Go();
  ASSERT_EQ(run.result.status, 0);
  const std::string first = run.output;
  run.result = kxtest::RunSolver(run.dir, run.path);
  const std::string second = kxtest::ReadBytes(run.path);
  EXPECT_EQ(run.result.status, 0);
  EXPECT_EQ(second, first);
  EXPECT_EQ(kxtest::Lines(second.substr(run.input.size()))[1], kTitle);
}

TEST(SolverRun, ResultsFollowABareEndLine) {
  for (const char* ending : {"\r\n", "\n"}) {
    SolverFileRecipe recipe = Small();
    recipe.lineEnd = ending;
    recipe.finalLineBreak = false;
    SolverFileRun run(recipe);
    run.Go();
    ASSERT_EQ(run.result.status, 0);
    ASSERT_EQ(run.output.substr(0, run.input.size()), run.input);
    EXPECT_EQ(run.Tail().substr(0, 2 + 3 + 28), "\r\n \r\n" + std::string(kTitle) + "\r\n") << "a line break ends END";
  }
}

TEST(SolverRun, APathFileLineIsUsedWholeWithoutTrailingBlanks) {
  kxtest::TempDir dir;
  std::string folder;
  while (dir.path().size() + folder.size() < 320) folder += "a_rather_long_folder_name_for_a_path/";
  const std::string input = kxtest::BuildSolverFile(Small());
  const std::string path = dir.write(folder + "mech.txt", input);
  dir.write("SolverFilePath.txt", path + "   \r\nignored second line\r\n");
  const std::string command = "cd '" + dir.path() + "' && '" KX_SOLVER_EXE "' > console.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << kxtest::ReadBytes(dir.file("console.txt"));
  EXPECT_NE(kxtest::ReadBytes(path).find(" !$End\r\n"), std::string::npos);
}

TEST(SolverRun, MissingFilesAreInputErrors) {
  kxtest::TempDir dir;
  const std::string command = "cd '" + dir.path() + "' && '" KX_SOLVER_EXE "' > out.txt 2> err.txt";
  const int raw = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  // Each says why, in the system's reason.
  EXPECT_NE(kxtest::ReadBytes(dir.file("err.txt"))
                .find("cannot open \"SolverFilePath.txt\" in the current folder: no such file or folder"),
            std::string::npos);
  const auto result = kxtest::RunSolver(dir, dir.file("no_such_file.txt"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.errors.find("cannot open the solver file " + dir.file("no_such_file.txt") +
                               ": no such file or folder"),
            std::string::npos)
      << result.errors;
  const auto folder = kxtest::RunSolver(dir, dir.path());
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.errors.find("cannot open the solver file " + dir.path() + ": it is a folder"), std::string::npos)
      << folder.errors;
}

struct InputCase {
  const char* what;
  std::function<void(SolverFileRecipe&)> change;
  int line;
};

TEST(SolverRun, InputErrorsLeaveTheFileUntouched) {
  const InputCase cases[] = {
      {"reactant species above NSPEC", [](SolverFileRecipe& s) { s.reactions[0].reactants = {1, 5}; }, 35 + 16 + 3 + 1},
      {"four reactants", [](SolverFileRecipe& s) { s.reactions[0].reactantCount = 4; }, 35 + 16 + 3 + 1},
      {"fall-off without third body", [](SolverFileRecipe& s) { s.reactions[0].fallOff = 1; }, 35 + 16 + 3 + 1},
      {"mode 3", [](SolverFileRecipe& s) { s.mode = 3; }, 15},
      {"negative mole fraction", [](SolverFileRecipe& s) { s.species[1].moleFraction = -0.2; }, 39},
      {"zero molar mass", [](SolverFileRecipe& s) { s.species[3].mass = 0.0; }, 35 + 12 + 3},
      {"final time not above the initial", [](SolverFileRecipe& s) { s.XEND = 0.0; }, 20},
      {"minimal temperature not below the maximum", [](SolverFileRecipe& s) { s.TMIN = 6000.0; }, 18},
      {"zero gas constant", [](SolverFileRecipe& s) { s.RC = 0.0; }, 32},
      {"unreadable pressure", [](SolverFileRecipe& s) { s.headerOverrides = {{14, " one !Pressure"}}; }, 14},
  };
  // An earlier run's results behind the mechanism must survive as well.
  SolverFileRun done(Small());
  done.Go();
  ASSERT_EQ(done.result.status, 0);
  const std::string oldResults = done.Tail();
  for (const InputCase& c : cases) {
    SolverFileRecipe recipe = Small();
    c.change(recipe);
    SolverFileRun run(kxtest::BuildSolverFile(recipe) + oldResults);
    run.Go();
    EXPECT_EQ(run.result.status, 1) << c.what;
    EXPECT_EQ(run.output, run.input) << c.what;
    EXPECT_NE(run.result.errors.find("line " + std::to_string(c.line) + " "), std::string::npos)
        << c.what << ": " << run.result.errors;
  }
  // The mechanism cut off before its end line.
  std::string cut = kxtest::BuildSolverFile(Small());
  cut = cut.substr(0, cut.rfind(" END"));
  SolverFileRun run(cut);
  run.Go();
  EXPECT_EQ(run.result.status, 1);
  EXPECT_EQ(run.output, run.input);
}

struct FatalCase {
  const char* what;
  std::function<void(SolverFileRecipe&)> change;
  const char* header;
  const char* message;
  std::size_t records;
};

TEST(SolverRun, ModelFailuresEndTheFileWithTheirErrorBlock) {
  auto fallOff = [](SolverFileRecipe& s) {
    ReactionRecipe& r = s.reactions[0];
    r.thirdBody = 1;
    r.fallOff = 1;
    r.form = 1;
    r.low = {1e18, 0.0, 0.0};
    r.broadening = {0.5, 100.0, 1000.0, 5000.0};
  };
  const FatalCase cases[] = {
      {"T0 above TMAX, isothermal",
       [](SolverFileRecipe& s) {
         s.mode = 0;
         s.T0 = 6000.0;
       },
       " Kinovex error  1. Time=0.0000000E+00 Temperature=0.6000E+04",
       " Temperature outside of the allowable range 0.2500E+03 - 0.5000E+04", 1},
      {"T0 below TMIN", [](SolverFileRecipe& s) { s.T0 = 200.0; },
       " Kinovex error  1. Time=0.0000000E+00 Temperature=0.2000E+03",
       " Temperature outside of the allowable range 0.2500E+03 - 0.5000E+04", 1},
      {"forward overflow, isothermal set-up",
       [](SolverFileRecipe& s) {
         s.mode = 0;
         s.reactions[0].rate[2] = -1e7;
       },
       " Kinovex error  2. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Overflow in forward rate constant, reaction    1", 0},
      {"equilibrium underflow",
       [](SolverFileRecipe& s) {
         s.species[2].a = {};
         s.species[2].a[6] = s.species[2].a[13] = -1000.0;
       },
       " Kinovex error  3. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Underflow in equilibrium constant, reaction    1", 1},
      {"equilibrium overflow",
       [](SolverFileRecipe& s) {
         s.species[2].a = {};
         s.species[2].a[6] = s.species[2].a[13] = 1000.0;
       },
       " Kinovex error  4. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Overflow in equilibrium constant, reaction     1", 1},
      {"low-pressure overflow",
       [&](SolverFileRecipe& s) {
         fallOff(s);
         s.reactions[0].low[2] = -1e7;
       },
       " Kinovex error  5. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Overflow in low pressure rate constant, reaction   1", 1},
      {"Troe overflow",
       [&](SolverFileRecipe& s) {
         fallOff(s);
         s.reactions[0].broadening[1] = -1.0;
       },
       " Kinovex error  6. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Overflow in Troe or SRI function, reaction    1", 1},
      {"Troe centre negative",
       [&](SolverFileRecipe& s) {
         fallOff(s);
         s.reactions[0].broadening = {2.0, 1e300, 1000.0, 5000.0};
       },
       " Kinovex error  8. Time=0.0000000E+00 Temperature=0.1000E+04",
       " In the Troe function, Fc value is negative or equal to zero, reaction    1", 1},
      {"no heat capacity",
       [](SolverFileRecipe& s) {
         for (auto& sp : s.species) sp.a = {};
       },
       " Kinovex error  9. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Mean specific heat capacity is equal to zero.", 1},
  };
  for (const FatalCase& c : cases) {
    SolverFileRecipe recipe = Small();
    c.change(recipe);
    SolverFileRun run(recipe);
    run.Go();
    EXPECT_EQ(run.result.status, 2) << c.what << run.result.errors;
    ASSERT_EQ(run.output.substr(0, run.input.size()), run.input) << c.what;
    const auto lines = run.TailLines();
    ASSERT_GE(lines.size(), 3u + c.records + 4u) << c.what;
    EXPECT_EQ(lines[1], kTitle) << c.what;
    const std::vector<std::string> block(lines.end() - 4, lines.end());
    EXPECT_EQ(block, (std::vector<std::string>{"", " Error", c.header, c.message})) << c.what;
    EXPECT_EQ(lines.size(), 3u + c.records + 4u) << c.what << ": records, then the block ends the file";
    EXPECT_NE(run.result.console.find(c.header), std::string::npos) << c.what;
    EXPECT_NE(run.result.console.find(" FILE: " + run.path), std::string::npos) << c.what;
    EXPECT_EQ(run.result.console.find("STOP"), std::string::npos) << c.what;
  }
}

TEST(SolverRun, IntegratorFailuresKeepTheStatisticsButNoEndLine) {
  struct Case {
    const char* what;
    std::function<void(SolverFileRecipe&)> change;
    const char* header;
    const char* message;
  };
  const Case cases[] = {
      {"step limit", [](SolverFileRecipe& s) { s.NMAX = 5; }, " Kinovex error 10",
       " Larger maximal number of computed steps is needed, NMax=    5"},
      {"refused input", [](SolverFileRecipe& s) { s.RTOL = 1e-20; }, " Kinovex error 15",
       " Integrator refused its input, see the console."},
      {"step size too small at a late start time",
       [](SolverFileRecipe& s) {
         s.mode = 0;
         s.X0 = 1e8;
         s.XEND = 2e8;
       },
       " Kinovex error 11", " Step size becomes too small, H= 0.1000000E-07"},
  };
  for (const Case& c : cases) {
    SolverFileRecipe recipe = Small();
    c.change(recipe);
    SolverFileRun run(recipe);
    run.Go();
    EXPECT_EQ(run.result.status, 3) << c.what;
    const auto lines = run.TailLines();
    EXPECT_EQ(kxtest::FindLine(lines, " !$End"), 0) << c.what;
    const int error = kxtest::FindLine(lines, " Error");
    ASSERT_GT(error, 3) << c.what;
    EXPECT_EQ(lines[static_cast<std::size_t>(error - 2)], "") << c.what;
    EXPECT_EQ(lines[static_cast<std::size_t>(error)], c.header) << c.what;
    EXPECT_EQ(lines[static_cast<std::size_t>(error + 1)], c.message) << c.what;
    EXPECT_EQ(lines[static_cast<std::size_t>(error + 2)], " ") << c.what;
    EXPECT_EQ(lines[static_cast<std::size_t>(error + 3)], " STATISTICS") << c.what;
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(error) + 2 + 8) << c.what;
    EXPECT_NE(run.result.console.find("STOP - Program terminated"), std::string::npos) << c.what;
  }
  // The refusal writes no record and zero counts.
  SolverFileRecipe recipe = Small();
  recipe.RTOL = 1e-20;
  SolverFileRun run(recipe);
  run.Go();
  const auto lines = run.TailLines();
  EXPECT_EQ(lines[3], "") << "the error block follows the heading";
  EXPECT_EQ(lines[4], " Error");
  EXPECT_EQ(Statistic(lines, "       NUMBER OF RECORDS ="), 0);
  EXPECT_EQ(Statistic(lines, "       NUMBER OF FUNCTION EVALUATIONS ="), 0);
  EXPECT_NE(run.result.console.find("TOLERANCES ARE TOO SMALL"), std::string::npos) << run.result.console;
}

// The names in a folder.
std::set<std::string> FolderNames(const kxtest::TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.insert(entry.path().filename());
  return names;
}

// One species or one reaction more than the tables hold, in a mechanism that
// is whole all the same.
SolverFileRecipe TooLarge(bool species) {
  if (species) return kxtest::LargeModel(kx::kMaxSpecies + 1, 3);
  SolverFileRecipe recipe = Small();
  recipe.reactions[0].colliders = {1, 2};  // with a third-body label line
  recipe.reactions[0].efficiencies = {2.0, 0.5};
  recipe.reactions.assign(static_cast<std::size_t>(kx::kMaxReactions) + 1, recipe.reactions[0]);
  return recipe;
}

// The results an earlier run left behind the mechanism of Small().
std::string OldResults() {
  SolverFileRun done(Small());
  done.Go();
  EXPECT_EQ(done.result.status, 0);
  return done.Tail();
}

TEST(SolverRun, TooManySpeciesOrReactionsAreReportedBehindTheEndLine) {
  const std::string oldResults = OldResults();
  const std::string blockOf13 =
      "\r\n Error\r\n Kinovex error 13\r\n The maximal number of species is  300. Your reaction mechanism comtains 301\r\n";
  const std::string blockOf14 =
      "\r\n Error\r\n Kinovex error 14\r\n The maximal number of reactions is 3000. Your reaction mechanism "
      "comtains3001\r\n";
  // The separator line between the thermo records and the reactions may read
  // like a results heading: the mechanism is kept whole all the same.
  const auto resultsLikeSeparator = [](std::string text) {
    const std::string separators = "\r\n END\r\n \r\n REACTIONS";
    const std::size_t at = text.find(separators);
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, separators.size(), "\r\n END\r\n !$Results of the mechanism's source\r\n REACTIONS");
  };
  // A third-body label line is free text: one that reads "END" is no end
  // line (the last one, where a mechanism of the fewest lines could end).
  const auto endLabel = [](std::string text) {
    const std::string label = "\r\n      colliders\r\n";
    const std::size_t at = text.rfind(label);
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, label.size(), "\r\n  end\r\n");
  };
  // The end line in small letters between blanks.
  const auto oddEnd = [](std::string text) {
    const std::string end = "\r\n END\r\n";
    const std::size_t at = text.rfind(end);
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, end.size(), "\r\n  End \t \r\n");
  };
  for (const bool species : {true, false}) {
    const SolverFileRecipe recipe = TooLarge(species);
    SolverFileRecipe unterminated = recipe;
    unterminated.finalLineBreak = false;
    SolverFileRecipe lineFeeds = recipe;
    lineFeeds.lineEnd = "\n";
    const std::string mechanism = kxtest::BuildSolverFile(recipe);
    const std::string block = species ? blockOf13 : blockOf14;
    struct Case {
      const char* what;
      std::string input, output;
    };
    const Case cases[] = {
        {"the mechanism alone", mechanism, mechanism + block},
        {"an earlier run's results", mechanism + oldResults, mechanism + block},
        {"a separator line like a results heading", resultsLikeSeparator(mechanism) + oldResults,
         resultsLikeSeparator(mechanism) + block},
        {"an end line without a line break", kxtest::BuildSolverFile(unterminated),
         kxtest::BuildSolverFile(unterminated) + "\r\n" + block},
        {"a third-body label reading END", endLabel(mechanism) + oldResults, endLabel(mechanism) + block},
        {"an end line in small letters between blanks", oddEnd(mechanism) + oldResults, oddEnd(mechanism) + block},
        {"lines ended by line feeds alone", kxtest::BuildSolverFile(lineFeeds) + "\n !$Results  Mass Fractions\n",
         kxtest::BuildSolverFile(lineFeeds) + block},
    };
    for (const Case& c : cases) {
      const std::string what = std::string(species ? "species, " : "reactions, ") + c.what;
      SolverFileRun run(c.input);
      run.Go();
      EXPECT_EQ(run.result.status, 2) << what << ": " << run.result.errors;
      EXPECT_TRUE(run.output == c.output) << what << ": " << run.output.size() << " bytes, not " << c.output.size()
                                          << "; they end in\n" << run.output.substr(run.output.size() - 300);
      EXPECT_NE(run.result.console.find(species ? " Kinovex error 13" : " Kinovex error 14"), std::string::npos)
          << what;
    }
  }
  // Without its end line the mechanism is not whole: an input error, and
  // the file is left as it was.
  const std::string mechanism = kxtest::BuildSolverFile(TooLarge(true));
  const std::string headless = mechanism.substr(0, mechanism.rfind(" END\r\n"));
  for (const std::string& input : {headless, headless + " !$Results  Mass Fractions\r\n"}) {
    SolverFileRun run(input);
    run.Go();
    EXPECT_EQ(run.result.status, 1);
    EXPECT_TRUE(run.output == input);
    EXPECT_NE(run.result.errors.find(" Input error in line 10 of " + run.path +
                                     ": the species count 301 is above the limit of 300 species"),
              std::string::npos)
        << run.result.errors;
  }
}

TEST(SolverRun, AWriteThatFailsLeavesTheFileAsItWas) {
  const std::string oldResults = OldResults();
  const std::string mechanism = kxtest::BuildSolverFile(Small());
  const std::string tooManySpecies = kxtest::BuildSolverFile(TooLarge(true));
  const std::string sample = kxtest::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt");
  struct Case {
    const char* what;
    std::string text;
    rlim_t limit;  // bytes a file may hold
  };
  const Case cases[] = {
      {"the results past the limit", sample, 12 * 1024},
      {"the mechanism past the limit", sample, 4096},
      {"an earlier run's results to replace", mechanism + oldResults, mechanism.size() + oldResults.size() / 2},
      {"the error block of too many species", tooManySpecies + oldResults, tooManySpecies.size() + 20},
  };
  for (const Case& c : cases) {
    SolverFileRun run(c.text);
    run.result = kxtest::RunSolver(run.dir, run.path, c.limit);
    run.output = kxtest::ReadBytes(run.path);
    EXPECT_EQ(run.result.status, 1) << c.what;
    EXPECT_TRUE(run.output == run.input) << c.what << ": the file holds " << run.output.size() << " bytes, not "
                                         << run.input.size();
    // The system's reason is told as the user reads it, as a failure to
    // write the results.
    EXPECT_EQ(run.result.errors, " Output error: cannot write the solver file " + run.path +
                                     ": the file is larger than this process may write; it is left as it was\n")
        << c.what;
    EXPECT_EQ(FolderNames(run.dir), (std::set<std::string>{"mech.txt", "SolverFilePath.txt", "console.txt", "errors.txt"}))
        << c.what << ": nothing is left beside the file";
  }
  // The limit itself lets a run through that stays below it.
  SolverFileRun roomy(sample);
  roomy.result = kxtest::RunSolver(roomy.dir, roomy.path, 1 << 24);
  EXPECT_EQ(roomy.result.status, 0) << roomy.result.errors;
}

TEST(SolverRun, TheWrittenFileKeepsItsPermissionsAndLinks) {
  namespace fs = std::filesystem;
  SolverFileRun run(Small());
  fs::permissions(run.path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  run.Go();
  EXPECT_EQ(run.result.status, 0) << run.result.errors;
  EXPECT_EQ(fs::status(run.path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A link to the file stays a link; the file it names gets the results.
  SolverFileRun linked(Small());
  const std::string link = linked.dir.file("link.txt");
  fs::create_symlink(linked.path, link);
  linked.result = kxtest::RunSolver(linked.dir, link);
  EXPECT_EQ(linked.result.status, 0) << linked.result.errors;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(kxtest::ReadBytes(linked.path).find(" !$End\r\n"), std::string::npos);

  // A relative link to a relative link, given by a relative path: each
  // target counts from its own link's folder.
  SolverFileRun chained(Small());
  fs::create_directories(chained.dir.file("links"));
  fs::create_symlink("mech.txt", chained.dir.file("second.txt"));
  fs::create_symlink("../second.txt", chained.dir.file("links/first.txt"));
  chained.result = kxtest::RunSolver(chained.dir, "links/first.txt");
  EXPECT_EQ(chained.result.status, 0) << chained.result.errors;
  EXPECT_TRUE(fs::is_symlink(chained.dir.file("links/first.txt")));
  EXPECT_TRUE(fs::is_symlink(chained.dir.file("second.txt")));
  EXPECT_NE(kxtest::ReadBytes(chained.path).find(" !$End\r\n"), std::string::npos);

  // Read-only (no owner write) is refused before the run, whoever runs it.
  SolverFileRun readOnly(Small());
  fs::permissions(readOnly.path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  readOnly.Go();
  EXPECT_EQ(readOnly.result.status, 1);
  EXPECT_EQ(readOnly.output, readOnly.input);
  EXPECT_NE(readOnly.result.errors.find("read-only"), std::string::npos) << readOnly.result.errors;
}

// The results reach the file under every name it has (a hard link), and
// the file keeps its owner and group.
TEST(SolverRun, TheWrittenFileKeepsItsOtherNamesOwnerAndGroup) {
  SolverFileRun run(Small());
  const std::string other = run.dir.file("other name.txt");
  ASSERT_EQ(::link(run.path.c_str(), other.c_str()), 0);
  const bool superuser = ::geteuid() == 0;
  if (superuser) {
    ASSERT_EQ(::chown(run.path.c_str(), 4321, 8765), 0);
  }
  struct stat before {};
  ASSERT_EQ(::stat(run.path.c_str(), &before), 0);
  run.Go();
  EXPECT_EQ(run.result.status, 0) << run.result.errors;
  EXPECT_NE(run.output.find(" !$End\r\n"), std::string::npos);
  EXPECT_TRUE(kxtest::ReadBytes(other) == run.output) << "the other name reads the results too";
  struct stat after {};
  ASSERT_EQ(::stat(run.path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(FolderNames(run.dir),
            (std::set<std::string>{"mech.txt", "other name.txt", "SolverFilePath.txt", "console.txt", "errors.txt"}))
      << "nothing is left beside the file";
}

// The results reach a file with an access list and a user attribute, which
// it keeps: its owning group gains no write through the list's mask.
TEST(SolverRun, TheWrittenFileKeepsItsAccessListAndAttributes) {
  SolverFileRun run(Small());
  ASSERT_EQ(::chmod(run.path.c_str(), 0640), 0);
  if (!kx::test::GiveAccessListAndNote(run.path, 1))
    GTEST_SKIP() << "the file system takes no user attributes or access lists";
  const std::map<std::string, std::string> attributes = kx::test::Attributes(run.path);
  run.Go();
  EXPECT_EQ(run.result.status, 0) << run.result.errors;
  EXPECT_NE(run.output.find(" !$End\r\n"), std::string::npos);
  EXPECT_EQ(kx::test::Attributes(run.path), attributes);
  struct stat after {};
  ASSERT_EQ(::stat(run.path.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0660u) << "the group bits show the mask";
}

// A run by another user (4321): a solver file it may write but not replace
// (another user's, in a folder open to all) gets the results in place and
// keeps its owner; one it may not write, or in a folder that takes no new
// files, is refused before anything is computed.
TEST(SolverRun, AFileTheUserMayWriteButNotReplaceIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can run the solver as another user";
  struct Case {
    const char* what;
    mode_t folderMode;  // the folder is the superuser's
    uid_t owner;        // the file's, of the group of the same number
    mode_t mode;
    const char* refusal;  // after "cannot write the solver file <path>: "; "" when the run completes
  };
  const Case cases[] = {
      {"another user's file in a sticky folder", 01777, 1234, 0666, ""},
      {"another user's file in a folder open to all", 0777, 1234, 0666, ""},
      {"another user's file it may only read", 01777, 1234, 0644, "permission denied"},
      {"its own file in a folder that takes no new files", 0755, 4321, 0644, "the folder {folder} takes no new files"},
  };
  for (const Case& c : cases) {
    SolverFileRun run(Small());
    ASSERT_EQ(::chmod(run.dir.path().c_str(), c.folderMode), 0);
    ASSERT_EQ(::chown(run.path.c_str(), c.owner, c.owner), 0);
    ASSERT_EQ(::chmod(run.path.c_str(), c.mode), 0);
    // What the run reads and writes beside the file, the superuser's as the rest.
    run.dir.write("SolverFilePath.txt", run.path + "\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(run.path.c_str(), &before), 0);
    run.result = kxtest::RunSolver(run.dir, run.path, std::nullopt, 4321);
    run.output = kxtest::ReadBytes(run.path);
    struct stat after {};
    ASSERT_EQ(::stat(run.path.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
    EXPECT_EQ(after.st_gid, before.st_gid) << c.what;
    EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
    EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
    if (*c.refusal == 0) {
      EXPECT_EQ(run.result.status, 0) << c.what << ": " << run.result.errors;
      EXPECT_NE(run.output.find(" !$End\r\n"), std::string::npos) << c.what;
    } else {
      std::string refusal = c.refusal;
      if (const std::size_t at = refusal.find("{folder}"); at != std::string::npos)
        refusal.replace(at, 8, run.dir.path());
      EXPECT_EQ(run.result.status, 1) << c.what;
      EXPECT_EQ(run.result.errors, " Input error: cannot write the solver file " + run.path + ": " + refusal + "\n")
          << c.what;
      EXPECT_EQ(run.result.console.find("Time="), std::string::npos) << c.what << ": refused before the run";
      EXPECT_TRUE(run.output == run.input) << c.what;
    }
    EXPECT_EQ(FolderNames(run.dir), (std::set<std::string>{"mech.txt", "SolverFilePath.txt", "console.txt", "errors.txt"}))
        << c.what << ": nothing is left beside the file";
  }
}

// A solver file whose run takes seconds, with an earlier run's results.
std::string LongRunInput() {
  SolverFileRecipe recipe = kxtest::LargeModel(kx::kMaxSpecies, kx::kMaxReactions);
  recipe.mode = 0;
  recipe.T0 = 1200.0;
  recipe.XEND = 10.0;
  return kxtest::BuildSolverFile(recipe) + " \r\n !$Results  Mass Fractions\r\n an earlier run\r\n !$End\r\n";
}

// The names of the new versions of a file beside it, by default mech.txt's:
// hidden names that begin with the file's name, or with as much of a long
// name as fits, and hold "kxrun".
std::set<std::string> NewVersions(const kxtest::TempDir& dir, std::string_view start = "mech.txt") {
  std::set<std::string> names;
  for (const std::string& name : FolderNames(dir))
    if (name.rfind(std::string(".").append(start), 0) == 0 && name.find(".kxrun") != std::string::npos)
      names.insert(name);
  return names;
}

// Waits until a new version of mech.txt (or of the files whose names begin
// so) that is not among `known` exists beside it: the run is then under
// way. Its name, "" after a minute.
std::string AwaitNewVersion(const kxtest::TempDir& dir, const std::set<std::string>& known = {},
                            std::string_view start = "mech.txt") {
  for (int wait = 0; wait < 60000; ++wait) {
    for (const std::string& name : NewVersions(dir, start))
      if (!known.count(name)) return name;
    usleep(1000);
  }
  return "";
}

// Stopped by a signal, the run removes the new version of the solver file it
// was writing and ends by that signal: the file stays as it was.
TEST(SolverRun, AStoppedRunLeavesTheFileAsItWasAndNothingBesideIt) {
  const std::string input = LongRunInput();
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SolverFileRun run(input);
    const pid_t pid = kxtest::StartSolver(run.dir, run.path);
    ASSERT_GT(pid, 0);
    ASSERT_NE(AwaitNewVersion(run.dir), "");
    ASSERT_EQ(kill(pid, signal), 0);
    run.result = kxtest::WaitForSolver(run.dir, pid);
    EXPECT_EQ(run.result.signal, signal) << "status " << run.result.status;
    EXPECT_EQ(run.result.console.find("STOP - Program terminated"), std::string::npos) << "stopped before its end";
    EXPECT_TRUE(kxtest::ReadBytes(run.path) == input) << "signal " << signal;
    EXPECT_EQ(FolderNames(run.dir), (std::set<std::string>{"mech.txt", "SolverFilePath.txt", "console.txt", "errors.txt"}))
        << "signal " << signal << ": nothing is left beside the file";
  }
}

// A run killed at once cannot remove the new version it was writing; the
// next run removes it, but never the one that a live run still writes.
TEST(SolverRun, TheNextRunRemovesWhatAKilledRunLeftAndKeepsALiveRunsFile) {
  SolverFileRun run(LongRunInput());
  const pid_t killed = kxtest::StartSolver(run.dir, run.path);
  ASSERT_GT(killed, 0);
  const std::string left = AwaitNewVersion(run.dir);
  ASSERT_NE(left, "");
  ASSERT_EQ(kill(killed, SIGKILL), 0);
  run.result = kxtest::WaitForSolver(run.dir, killed);
  ASSERT_EQ(run.result.signal, SIGKILL);
  ASSERT_EQ(NewVersions(run.dir), std::set<std::string>{left}) << "a killed run leaves its new version";
  EXPECT_TRUE(kxtest::ReadBytes(run.path) == run.input);

  // Another run, alive, writes a new version of the same file meanwhile.
  kx::OwnedFile live;
  int err = 0;
  std::FILE* writing = live.Create(run.dir.file(".mech.txt.kxrun.0000abcd"), err);
  ASSERT_NE(writing, nullptr) << err;
  std::fputs("a live run's results", writing);
  std::fclose(writing);

  const pid_t next = kxtest::StartSolver(run.dir, run.path);
  ASSERT_GT(next, 0);
  const std::string own = AwaitNewVersion(run.dir, {left, ".mech.txt.kxrun.0000abcd"});
  ASSERT_NE(own, "");
  ASSERT_EQ(kill(next, SIGTERM), 0);
  run.result = kxtest::WaitForSolver(run.dir, next);
  EXPECT_EQ(run.result.signal, SIGTERM);
  EXPECT_EQ(NewVersions(run.dir), std::set<std::string>{".mech.txt.kxrun.0000abcd"});
  EXPECT_EQ(kxtest::ReadBytes(run.dir.file(".mech.txt.kxrun.0000abcd")), "a live run's results");
  EXPECT_TRUE(kxtest::ReadBytes(run.path) == run.input);
}

// A save of the file in place that was cut short left its whole earlier
// content in a copy beside it, as a killed writer leaves it: the run is
// refused before the file is read, names the copy and writes nothing. Once
// the content is put back, the run goes on, and what killed writers of any
// kind left goes.
TEST(SolverRun, AFileWhoseSaveWasCutShortIsNotRunAndItsCopyIsNamed) {
  SolverFileRun run(Small());
  const std::string other = run.dir.file("other name.txt");
  ASSERT_EQ(::link(run.path.c_str(), other.c_str()), 0);
  const std::string half = run.input.substr(0, run.input.size() / 2) + "new content, cut short";
  run.dir.write("mech.txt", half);
  const std::string copy = run.dir.write(".mech.txt.kxold.0badf00d", run.input);
  run.Go();
  EXPECT_EQ(run.result.status, 1);
  EXPECT_EQ(run.output, half);
  EXPECT_NE(run.result.errors.find("Input error: an earlier save of the solver file " + run.path +
                                   " was cut short; its whole earlier content is kept in " + copy),
            std::string::npos)
      << run.result.errors;
  EXPECT_EQ(kxtest::ReadBytes(copy), run.input);

  int err = 0;
  ASSERT_TRUE(kx::RestoreInterruptedSave(run.path, copy, err)) << err;
  run.dir.write(".mech.txt.kxtmp.00dead00", "a killed save's text");
  run.Go();
  EXPECT_EQ(run.result.status, 0) << run.result.errors;
  EXPECT_EQ(run.output.substr(0, run.input.size()), run.input);
  EXPECT_TRUE(kxtest::ReadBytes(other) == run.output);
  EXPECT_EQ(FolderNames(run.dir),
            (std::set<std::string>{"mech.txt", "other name.txt", "SolverFilePath.txt", "console.txt", "errors.txt"}));
}

// Names as long as the folder takes run as any other: the new version's
// hidden name stays within the limit, and the leftover of a killed run is
// its own file's, never taken for that of a file whose long name begins
// the same way.
TEST(SolverRun, ANameAsLongAsTheFolderTakesIsRunAndItsLeftoverKeptApart) {
  kxtest::TempDir probe;
  const std::size_t limit = static_cast<std::size_t>(::pathconf(probe.path().c_str(), _PC_NAME_MAX));
  const std::string start(limit - 20, 'm');
  const std::string first = start + std::string(16, 'f') + ".txt";  // at the limit
  const std::string second = start + "-second.txt";                  // near it
  ASSERT_EQ(first.size(), limit);
  SolverFileRun killed(LongRunInput(), first);
  const std::string secondPath = killed.dir.write(second, kxtest::BuildSolverFile(Small()));
  const pid_t pid = kxtest::StartSolver(killed.dir, killed.path);
  ASSERT_GT(pid, 0);
  const std::string left = AwaitNewVersion(killed.dir, {}, start.substr(0, 100));
  ASSERT_NE(left, "") << kxtest::ReadBytes(killed.dir.file("errors.txt"));
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  ASSERT_EQ(kxtest::WaitForSolver(killed.dir, pid).signal, SIGKILL);
  EXPECT_LE(left.size(), limit);

  // The second file runs; the first one's leftover stays.
  const kxtest::RunResult result = kxtest::RunSolver(killed.dir, secondPath);
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_NE(kxtest::ReadBytes(secondPath).find(" !$End\r\n"), std::string::npos);
  EXPECT_EQ(NewVersions(killed.dir, start.substr(0, 100)), std::set<std::string>{left});

  // The first file's next run removes it.
  killed.dir.write(first, kxtest::BuildSolverFile(Small()));
  killed.Go();
  EXPECT_EQ(killed.result.status, 0) << killed.result.errors;
  EXPECT_NE(killed.output.find(" !$End\r\n"), std::string::npos);
  EXPECT_EQ(NewVersions(killed.dir, start.substr(0, 100)), std::set<std::string>{});
}

// Starts the built solver as StartSolver does, with its console a pipe that
// is full: its first progress line, which it writes once it has read the
// solver file and begun the new version, waits until the pipe is read
// (FinishHeldSolver). `console` receives the pipe's end to read.
pid_t StartHeldSolver(const kxtest::TempDir& dir, const std::string& solverFile, int& console) {
  dir.write("SolverFilePath.txt", solverFile + "\r\n");
  int ends[2];
  if (::pipe(ends) != 0) return -1;
  ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
  const char byte = 0;
  while (::write(ends[1], &byte, 1) == 1) {
  }
  ::fcntl(ends[1], F_SETFL, 0);
  const std::string errors = dir.file("errors.txt");
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || dup2(ends[1], 1) < 0 || dup2(err, 2) < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    execl(KX_SOLVER_EXE, KX_SOLVER_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(ends[1]);
  console = ends[0];
  return pid;
}

// Reads the held solver's console to its end and waits for the solver.
kxtest::RunResult FinishHeldSolver(const kxtest::TempDir& dir, pid_t pid, int console) {
  char buffer[65536];
  while (::read(console, buffer, sizeof buffer) > 0) {
  }
  ::close(console);
  int raw = 0;
  kxtest::RunResult result;
  if (waitpid(pid, &raw, 0) != pid) return result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.errors = kxtest::ReadBytes(dir.file("errors.txt"));
  return result;
}

// Another program changes the solver file while the solver runs on it: the
// solver leaves the file as the other program made it, removes its new
// version and says so; the same bytes written again are no change.
TEST(SolverRun, AFileChangedDuringTheRunIsLeftAsItIs) {
  struct Case {
    const char* what;
    std::function<void(const std::string& path, const std::string& input)> change;
    const char* says;  // how the message goes on after the path; "" when the run writes its results
  };
  const Case cases[] = {
      {"a line appended",
       [](const std::string& path, const std::string& input) {
         (void)input;
         std::ofstream(path, std::ios::binary | std::ios::app) << "a line of another program\r\n";
       },
       " was changed by another program during the run; it is left as it was"},
      {"a byte changed, the size kept",
       [](const std::string& path, const std::string& input) {
         std::string changed = input;
         changed[1] = changed[1] == 'x' ? 'y' : 'x';
         std::ofstream(path, std::ios::binary | std::ios::trunc) << changed;
       },
       " was changed by another program during the run; it is left as it was"},
      {"removed", [](const std::string& path, const std::string&) { std::filesystem::remove(path); },
       " was removed during the run; it is not made again"},
      {"written again with the same bytes",
       [](const std::string& path, const std::string& input) {
         std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
       },
       ""},
  };
  for (const Case& c : cases) {
    SolverFileRun run(Small());
    int console = -1;
    const pid_t pid = StartHeldSolver(run.dir, run.path, console);
    ASSERT_GT(pid, 0);
    ASSERT_NE(AwaitNewVersion(run.dir), "") << c.what;
    c.change(run.path, run.input);
    const std::string changed = std::filesystem::exists(run.path) ? kxtest::ReadBytes(run.path) : "(none)";
    run.result = FinishHeldSolver(run.dir, pid, console);
    const std::string now = std::filesystem::exists(run.path) ? kxtest::ReadBytes(run.path) : "(none)";
    if (*c.says == 0) {
      EXPECT_EQ(run.result.status, 0) << c.what << ": " << run.result.errors;
      EXPECT_EQ(now.rfind(run.input, 0), 0u) << c.what;
      EXPECT_NE(now.find(" !$End\r\n"), std::string::npos) << c.what;
    } else {
      EXPECT_EQ(run.result.status, 1) << c.what;
      EXPECT_TRUE(now == changed) << c.what << ": the file as the other program left it";
      EXPECT_EQ(run.result.errors, " Output error: the solver file " + run.path + c.says +
                                       " and the results of this run are not written\n")
          << c.what;
    }
    std::set<std::string> left = FolderNames(run.dir);
    left.erase("mech.txt");
    EXPECT_EQ(left, (std::set<std::string>{"SolverFilePath.txt", "errors.txt"})) << c.what << ": nothing beside";
  }
}

}  // namespace
