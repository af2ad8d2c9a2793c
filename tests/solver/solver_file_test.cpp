// Loading a solver file: field positions, reading rules and the checks that
// refuse a file before anything is written.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "solver.h"
#include "solver_file.h"
#include "solver_test_support.h"

namespace {

using kxtest::ReactionRecipe;
using kxtest::SolverFileRecipe;
using kxtest::SpeciesRecipe;

SolverFileRecipe ThreeSpecies() {
  SolverFileRecipe s;
  s.species = {
      kxtest::Species("A", 0.5, kxtest::ConstantCp(3.5, -1000.0, 20.0), 2.016),
      kxtest::Species("B", 0.25, kxtest::ConstantCp(2.5, 5000.0, 10.0), 31.998),
      kxtest::Species("LONGSPECIESNAME1", 0.25, kxtest::ConstantCp(4.5, 0.0, 5.0), 28.014),
  };
  ReactionRecipe simple;
  simple.reactants = {1, 2};
  simple.products = {3};
  simple.rate = {1e13, 0.5, 1200.0};
  ReactionRecipe troe;
  troe.reactants = {3};
  troe.products = {1, 2};
  troe.thirdBody = 1;
  troe.fallOff = 1;
  troe.form = 1;
  troe.rate = {2e14, 0.0, 50000.0};
  troe.low = {3e17, -1.5, 48000.0};
  troe.broadening = {0.6, 100.0, 2000.0, 5000.0};
  troe.colliders = {1, 3};
  troe.efficiencies = {2.5, 0.75};
  s.reactions = {simple, troe};
  return s;
}

struct Loaded {
  kx::SolverLoad outcome;
  std::unique_ptr<kx::SolverModel> model = std::make_unique<kx::SolverModel>();
  kx::SolverInputError error;
};

Loaded LoadText(const std::string& text) {
  kxtest::TempDir dir;
  const std::string path = dir.write("mech.txt", text);
  Loaded l;
  l.outcome = kx::SolverLoadModel(path, *l.model, l.error);
  return l;
}

Loaded Load(const SolverFileRecipe& recipe) { return LoadText(kxtest::BuildSolverFile(recipe)); }

TEST(SolverFileLoad, EveryFieldLandsInItsSlot) {
  const SolverFileRecipe recipe = ThreeSpecies();
  const std::string text = kxtest::BuildSolverFile(recipe);
  Loaded l = LoadText(text);
  ASSERT_EQ(l.outcome, kx::SolverLoad::Loaded) << l.error.problem;
  kx::SolverModel& m = *l.model;
  EXPECT_EQ(m.NSPEC, 3);
  EXPECT_EQ(m.NREAC, 2);
  EXPECT_EQ(m.MODE, 1);
  EXPECT_EQ(m.T0, 1000.0);
  EXPECT_EQ(m.XEND, 1e-3);
  EXPECT_EQ(m.NMAX, 100000);
  EXPECT_EQ(m.RC, 82.0573661);
  EXPECT_EQ(std::string(m.SPNAME[0], 16), "A               ");
  EXPECT_EQ(std::string(m.SPNAME[2], 16), "LONGSPECIESNAME1");
  EXPECT_EQ(m.Y[0], 0.5);
  EXPECT_EQ(m.Y[3], 1000.0) << "the temperature follows the species";
  EXPECT_EQ(kx::ThAt(m.TH, 1, 2), 2.5);
  EXPECT_EQ(kx::ThAt(m.TH, 6, 1), -1000.0);
  EXPECT_EQ(kx::ThAt(m.TH, 14, 1), 20.0);
  // Molar mass and temperatures pass through single precision.
  EXPECT_EQ(kx::ThAt(m.TH, 15, 1), static_cast<double>(2.016f));
  EXPECT_NE(kx::ThAt(m.TH, 15, 1), 2.016);
  EXPECT_EQ(kx::ThAt(m.TH, 18, 1), 1000.0);

  int* ir = &kx::IreacAt(m.IREAC, 1, 2);
  const int flags[16] = {3, 0, 0, 1, 2, 0, 0, 0, 0, 1, 2, 1, 2, 1, 1, 1};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(ir[k], flags[k]) << "slot " << k + 1;
  EXPECT_EQ(kx::IreacAt(m.IREAC, 17, 2), 1);
  EXPECT_EQ(kx::IreacAt(m.IREAC, 18, 2), 3);
  EXPECT_EQ(kx::IreacAt(m.IREAC, 19, 2), 0);
  const double reals[11] = {2e14, 0.0, 50000.0, 3e17, -1.5, 48000.0, 0.6, 100.0, 2000.0, 5000.0, 0.0};
  for (int k = 0; k < 11; ++k) EXPECT_EQ(kx::RreacAt(m.RREAC, k + 1, 2), reals[k]) << "slot " << k + 1;
  EXPECT_EQ(kx::RreacAt(m.RREAC, 12, 2), 2.5);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 13, 2), 0.75);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 1, 1), 1e13);
  EXPECT_EQ(m.tailOffset, text.size());
  EXPECT_TRUE(m.endLineTerminated);
}

TEST(SolverFileLoad, CrLfAndLfFilesReadAlike) {
  SolverFileRecipe recipe = ThreeSpecies();
  Loaded crlf = Load(recipe);
  recipe.lineEnd = "\n";
  Loaded lf = Load(recipe);
  ASSERT_EQ(crlf.outcome, kx::SolverLoad::Loaded);
  ASSERT_EQ(lf.outcome, kx::SolverLoad::Loaded);
  EXPECT_EQ(std::memcmp(crlf.model->TH, lf.model->TH, sizeof crlf.model->TH), 0);
  EXPECT_EQ(std::memcmp(crlf.model->RREAC, lf.model->RREAC, sizeof crlf.model->RREAC), 0);
  EXPECT_EQ(std::memcmp(crlf.model->IREAC, lf.model->IREAC, sizeof crlf.model->IREAC), 0);
  EXPECT_EQ(std::memcmp(crlf.model->Y, lf.model->Y, sizeof crlf.model->Y), 0);
}

TEST(SolverFileLoad, EndLineWithoutLineBreakIsNoted) {
  SolverFileRecipe recipe = ThreeSpecies();
  recipe.finalLineBreak = false;
  const std::string text = kxtest::BuildSolverFile(recipe);
  Loaded l = LoadText(text);
  ASSERT_EQ(l.outcome, kx::SolverLoad::Loaded);
  EXPECT_EQ(l.model->tailOffset, text.size());
  EXPECT_FALSE(l.model->endLineTerminated);
}

// A line ends at LF, with one CR before it; every other CR is part of its
// line. Every reader of a solver file numbers its lines so.
TEST(SolverFileLines, OnlyLfEndsALine) {
  using Views = std::vector<std::string_view>;
  const struct {
    const char* what;
    std::string bytes;
    Views lines;
  } cases[] = {
      {"CR LF and LF", "a\r\nb\nc\r\n", {"a", "b", "c"}},
      {"a lone CR", "a\rb\r\nc\r\n", {"a\rb", "c"}},
      {"CR CR LF", "a\r\r\nb\r\n", {"a\r", "b"}},
      {"CR alone after every line", "a\rb\r", {"a\rb"}},
      {"no line end after the last line", "a\r\nb", {"a", "b"}},
      {"a CR at the very end", "a\r\nb\r", {"a", "b"}},
      {"empty lines", "\r\n\n\r\r\n", {"", "", "\r"}},
      {"no bytes", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(kx::SplitSolverLines(c.bytes), c.lines) << c.what;
}

// An input error on a line that holds a CR of its own, which no editor
// shows, says that it is there.
TEST(SolverFileLoad, ACarriageReturnWithinTheLineAtFaultIsNamed) {
  const std::string good = kxtest::BuildSolverFile(ThreeSpecies());
  auto lines = kxtest::Lines(good);
  const int endLine = static_cast<int>(lines.size());
  const auto join = [&lines] {
    std::string t;
    for (const auto& l : lines) t += l + "\r\n";
    return t;
  };
  const std::string note = " (the line holds a carriage return, CR, that ends no line: a line ends in LF or CR LF)";
  lines[2] = " free\rtext";  // line 3, free text: read as it stands
  EXPECT_EQ(LoadText(join()).outcome, kx::SolverLoad::Loaded);
  lines.back() = " END\r";  // the end line in CR CR LF
  Loaded l = LoadText(join());
  EXPECT_EQ(l.outcome, kx::SolverLoad::InputError);
  EXPECT_EQ(l.error.line, endLine);
  EXPECT_EQ(l.error.problem.substr(l.error.problem.size() - note.size()), note) << l.error.problem;
  lines.back() = " END";
  lines[13] = " 1.0\r !Pressure";  // the pressure's first item is "1.0\r"
  l = LoadText(join());
  EXPECT_EQ(l.outcome, kx::SolverLoad::InputError);
  EXPECT_EQ(l.error.line, 14);
  EXPECT_EQ(l.error.problem, "no readable number for the pressure" + note);
}

TEST(SolverFileLoad, MoleFractionFieldIsTenColumnsWide) {
  struct Case {
    const char* field;
    double expected;
  };
  const Case cases[] = {{"0.250E-010", 0.25e-10}, {"5", 0.005}, {"0", 0.0}, {"2.5E-1", 0.25}};
  for (const Case& c : cases) {
    SolverFileRecipe recipe = ThreeSpecies();
    recipe.species[1].fractionField = c.field;
    Loaded l = Load(recipe);
    ASSERT_EQ(l.outcome, kx::SolverLoad::Loaded) << c.field;
    EXPECT_DOUBLE_EQ(l.model->Y[1], c.expected) << c.field;
  }
}

TEST(SolverFileLoad, ThermoLineMayStandOnLine33) {
  SolverFileRecipe recipe = ThreeSpecies();
  recipe.thermoLine = 33;
  Loaded l = Load(recipe);
  ASSERT_EQ(l.outcome, kx::SolverLoad::Loaded) << l.error.problem;
  EXPECT_EQ(kx::ThAt(l.model->TH, 1, 3), 4.5);
}

TEST(SolverFileLoad, ThermoLineMustBeWrittenExactly) {
  for (const char* wrong : {"THERMO", " thermo", "  THERMO"}) {
    SolverFileRecipe recipe = ThreeSpecies();
    recipe.headerOverrides = {{34, wrong}};
    Loaded l = Load(recipe);
    EXPECT_EQ(l.outcome, kx::SolverLoad::InputError) << wrong;
    EXPECT_NE(l.error.problem.find("THERMO"), std::string::npos);
  }
}

TEST(SolverFileLoad, OptionalReactionLinesFollowTheirFlags) {
  SolverFileRecipe recipe = ThreeSpecies();
  // SRI parameters without the fall-off flag still take their line.
  ReactionRecipe sri;
  sri.reactants = {1};
  sri.products = {2};
  sri.form = 2;
  sri.broadening = {1.1, 2.2, 3.3, 4.4, 5.5};
  ReactionRecipe collided;
  collided.reactants = {2};
  collided.products = {3};
  collided.colliders = {1, 2, 3};
  collided.efficiencies = {1.5, 2.5, 3.5};
  ReactionRecipe troe3 = recipe.reactions[1];
  troe3.form = 3;
  troe3.broadening = {0.5, 10.0, 20.0};
  recipe.reactions = {sri, collided, troe3, recipe.reactions[0]};
  Loaded l = Load(recipe);
  ASSERT_EQ(l.outcome, kx::SolverLoad::Loaded) << l.error.line << l.error.problem;
  kx::SolverModel& m = *l.model;
  EXPECT_EQ(kx::RreacAt(m.RREAC, 11, 1), 5.5);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 14, 2), 3.5);
  EXPECT_EQ(kx::IreacAt(m.IREAC, 19, 2), 3);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 9, 3), 20.0);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 10, 3), 0.0);
  EXPECT_EQ(kx::RreacAt(m.RREAC, 1, 4), 1e13) << "the last record is read in step";
}

// A mechanism beyond the tables is not read, but where it ends is found.
TEST(SolverFileLoad, TooManySpeciesOrReactionsAreToldApart) {
  const std::string species = kxtest::BuildSolverFile(kxtest::LargeModel(kx::kMaxSpecies + 1, 3));
  Loaded l = LoadText(species + " \r\n !$Results  Mass Fractions\r\n");
  EXPECT_EQ(l.outcome, kx::SolverLoad::TooManySpecies);
  EXPECT_EQ(l.model->NSPEC, 301);
  EXPECT_EQ(l.model->tailOffset, species.size()) << "behind the end line";
  EXPECT_TRUE(l.model->endLineTerminated);
  SolverFileRecipe reactions = ThreeSpecies();
  reactions.reactions.assign(static_cast<std::size_t>(kx::kMaxReactions) + 1, reactions.reactions[0]);
  EXPECT_EQ(Load(reactions).outcome, kx::SolverLoad::TooManyReactions);
  // A count beyond the records leaves no end line where one could follow
  // them: an input error on the count's line that names the limit it passes.
  const struct {
    int line;
    const char* text;
    const char* problem;
  } beyond[] = {
      {10, " 301 !Species", "the species count 301 is above the limit of 300 species"},
      {11, " 3001 !Reactions", "the reaction count 3001 is above the limit of 3000 reactions"},
  };
  for (const auto& c : beyond) {
    SolverFileRecipe recipe = ThreeSpecies();
    recipe.headerOverrides = {{c.line, c.text}};
    l = Load(recipe);
    EXPECT_EQ(l.outcome, kx::SolverLoad::InputError) << c.text;
    EXPECT_EQ(l.error.line, c.line) << c.text;
    EXPECT_EQ(l.error.problem, c.problem);
  }
}

// One species more than the file has records for: the separator lines
// after the records are read as a record until one does not read, and the
// error names the count that does not match the records before the
// REACTIONS line.
TEST(SolverFileLoad, ASpeciesCountAboveTheRecordsIsAnInputError) {
  std::string text = kxtest::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt");
  const std::size_t at = text.find(" 11 !Species");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 3, " 12");
  Loaded l = LoadText(text);
  EXPECT_EQ(l.outcome, kx::SolverLoad::InputError);
  EXPECT_EQ(l.error.line, 10) << l.error.problem;
  EXPECT_EQ(l.error.problem,
            "the species count 12 does not match the 11 thermo records between the THERMO line 34 and the REACTIONS "
            "line 81");
}

// First thermo record at line 35; with three species the reactions start at
// line 50 and a plain record takes three lines.
constexpr int kFirstReaction = 35 + 4 * 3 + 3;
constexpr int kFlags1 = kFirstReaction + 1;
constexpr int kFlags2 = kFirstReaction + 4;

struct BadCase {
  const char* what;
  std::function<void(SolverFileRecipe&)> change;
  int line;
};

TEST(SolverFileLoad, BadInputIsRefusedNamingItsLine) {
  const BadCase cases[] = {
      {"reactant species 0", [](SolverFileRecipe& s) { s.reactions[0].reactants = {0, 2}; }, kFlags1},
      {"reactant above NSPEC", [](SolverFileRecipe& s) { s.reactions[0].reactants = {1, 4}; }, kFlags1},
      {"product above NSPEC", [](SolverFileRecipe& s) { s.reactions[1].products = {1, 9}; }, kFlags2},
      {"negative product", [](SolverFileRecipe& s) { s.reactions[1].products = {-1, 2}; }, kFlags2},
      {"collider 0", [](SolverFileRecipe& s) { s.reactions[1].colliders = {1, 0}; }, kFlags2 + 5},
      {"collider above NSPEC", [](SolverFileRecipe& s) { s.reactions[1].colliders = {4, 1}; }, kFlags2 + 5},
      {"no reactants", [](SolverFileRecipe& s) { s.reactions[0].reactantCount = 0; }, kFlags1},
      {"four reactants", [](SolverFileRecipe& s) { s.reactions[0].reactantCount = 4; }, kFlags1},
      {"no products", [](SolverFileRecipe& s) { s.reactions[0].productCount = 0; }, kFlags1},
      {"seven products", [](SolverFileRecipe& s) { s.reactions[0].productCount = 7; }, kFlags1},
      {"eleven efficiencies", [](SolverFileRecipe& s) { s.reactions[1].efficiencyCount = 11; }, kFlags2},
      {"fall-off without third body",
       [](SolverFileRecipe& s) {
         s.reactions[1].thirdBody = 0;
         s.reactions[1].colliders.clear();
         s.reactions[1].efficiencies.clear();
       },
       kFlags2},
      {"mode 2", [](SolverFileRecipe& s) { s.mode = 2; }, 15},
      {"mode -1", [](SolverFileRecipe& s) { s.mode = -1; }, 15},
      {"negative mole fraction", [](SolverFileRecipe& s) { s.species[2].moleFraction = -0.1; }, 35 + 8},
      {"blank species name", [](SolverFileRecipe& s) { s.species[1].name = ""; }, 35 + 4},
      {"zero mole fractions",
       [](SolverFileRecipe& s) {
         for (auto& sp : s.species) sp.moleFraction = 0.0;
       },
       35},
      {"zero molar mass", [](SolverFileRecipe& s) { s.species[1].mass = 0.0; }, 35 + 4 + 3},
      {"negative molar mass", [](SolverFileRecipe& s) { s.species[0].mass = -2.0; }, 35 + 3},
      {"final time at the initial time", [](SolverFileRecipe& s) { s.XEND = s.X0; }, 20},
      {"final time before the initial time", [](SolverFileRecipe& s) { s.X0 = 1.0; }, 20},
      {"zero pressure", [](SolverFileRecipe& s) { s.P = 0.0; }, 14},
      {"zero minimal temperature", [](SolverFileRecipe& s) { s.TMIN = 0.0; }, 17},
      {"minimal temperature at the maximum", [](SolverFileRecipe& s) { s.TMIN = s.TMAX; }, 18},
      {"minimal temperature above the maximum", [](SolverFileRecipe& s) { s.TMAX = 200.0; }, 18},
      {"zero RE", [](SolverFileRecipe& s) { s.RE = 0.0; }, 31},
      {"negative RC", [](SolverFileRecipe& s) { s.RC = -82.0; }, 32},
      {"unreadable temperature", [](SolverFileRecipe& s) { s.headerOverrides = {{16, " hot !Initial Temperature"}}; },
       16},
      {"real step limit", [](SolverFileRecipe& s) { s.headerOverrides = {{22, " 1.0E+05 !Maximum"}}; }, 22},
      {"blank species count", [](SolverFileRecipe& s) { s.headerOverrides = {{10, " "}}; }, 10},
      {"no species", [](SolverFileRecipe& s) { s.headerOverrides = {{10, " 0 !Species"}}; }, 10},
      {"negative reaction count", [](SolverFileRecipe& s) { s.headerOverrides = {{11, " -1 !Reactions"}}; }, 11},
      {"more species than records", [](SolverFileRecipe& s) { s.headerOverrides = {{10, " 4 !Species"}}; }, 0},
  };
  for (const BadCase& c : cases) {
    SolverFileRecipe recipe = ThreeSpecies();
    c.change(recipe);
    Loaded l = Load(recipe);
    EXPECT_EQ(l.outcome, kx::SolverLoad::InputError) << c.what;
    if (c.line > 0) {
      EXPECT_EQ(l.error.line, c.line) << c.what << ": " << l.error.problem;
    }
    EXPECT_FALSE(l.error.problem.empty()) << c.what;
  }
}

TEST(SolverFileLoad, TheMechanismMustEndWithItsEndLine) {
  const std::string good = kxtest::BuildSolverFile(ThreeSpecies());
  auto lines = kxtest::Lines(good);
  const int endLine = static_cast<int>(lines.size());
  ASSERT_EQ(lines.back(), " END");

  struct Case {
    const char* what;
    std::string text;
    int line;
  };
  auto join = [](const std::vector<std::string>& ls) {
    std::string t;
    for (const auto& l : ls) t += l + "\r\n";
    return t;
  };
  auto without = lines;
  without.pop_back();
  auto replaced = lines;
  replaced.back() = " 3    A=B";
  auto lower = lines;
  lower.back() = "  end  ";
  const Case cases[] = {
      {"file ends after the last record", join(without), endLine},
      {"another line instead of END", join(replaced), endLine},
  };
  for (const Case& c : cases) {
    Loaded l = LoadText(c.text);
    EXPECT_EQ(l.outcome, kx::SolverLoad::InputError) << c.what;
    EXPECT_EQ(l.error.line, c.line) << c.what;
  }
  EXPECT_EQ(LoadText(join(lower)).outcome, kx::SolverLoad::Loaded) << "trimmed and in any case";
}

TEST(SolverFileLoad, UnreadableRecordFieldsAreInputErrors) {
  const std::string good = kxtest::BuildSolverFile(ThreeSpecies());
  struct Case {
    const char* what;
    int line;
    int column;
    char c;
  };
  const Case cases[] = {
      {"letter in the digit column", 35, 46, 'X'},
      {"letter in a temperature", 35 + 4, 50, 'Q'},
      {"letter in a coefficient", 36, 5, 'Z'},
      {"letter in the molar mass", 38, 70, 'M'},
      {"letter in a flag", kFlags1, 9, 'F'},
      {"letter in a rate parameter", kFlags1 + 1, 12, 'R'},
      {"letter in an efficiency", kFlags2 + 6, 8, 'x'},
  };
  for (const Case& c : cases) {
    auto lines = kxtest::Lines(good);
    std::string& line = lines[static_cast<std::size_t>(c.line - 1)];
    line.resize(std::max<std::size_t>(line.size(), static_cast<std::size_t>(c.column)), ' ');
    line[static_cast<std::size_t>(c.column - 1)] = c.c;
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    Loaded l = LoadText(text);
    EXPECT_EQ(l.outcome, kx::SolverLoad::InputError) << c.what;
    EXPECT_EQ(l.error.line, c.line) << c.what << ": " << l.error.problem;
  }
}

TEST(ResultsRecord, StepNumbersAboveFiveDigitsAreAsterisks) {
  struct Case {
    int step;
    const char* field;
  };
  const double y[2] = {0.25, -1.5e-20};
  for (const Case& c : {Case{99999, " 99999"}, Case{100000, " *****"}, Case{1234567, " *****"}, Case{7, "     7"}}) {
    std::FILE* f = std::tmpfile();
    kx::SolverWriteRecord(f, c.step, 2.5e-3, 1500.0, y, 2);
    std::rewind(f);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    std::fclose(f);
    EXPECT_EQ(std::string(line), std::string(c.field) + "  0.25000000E-002  0.15000000E+004  0.25000000E+000 -0.15000000E-019\r\n");
  }
}

}  // namespace
