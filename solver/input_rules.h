// The rules a solver file's values must meet for the solver to run it, and
// how its records are read: the run settings of its header, its key lines,
// and the fields, counts and species numbers of its thermodynamic and
// reaction records.
//
// The solver holds every file it reads to them (an input error, or the
// report with which a run stops at its start). The desktop program takes
// the same rules for what it accepts, reads or writes: the run-settings
// window its limits, every reader of a solver file the solver's whole
// reading of the input part (SolverReadInput, solver_file.h, which reads
// the records by ReadThermoRecord and ReadReactionRecord), and the writer
// of reduced files the whole check of SolverWouldRun. So nothing the
// desktop passes is then refused by the solver, and what it reads of a file
// is what the solver runs.
#pragma once

#include <string>
#include <string_view>

#include "radau5.h"
#include "solver.h"

namespace kx {

// ---- Header lines ----------------------------------------------------------
//
// The numbers of the header's value lines (from 1), as the solver reads
// them; every reader of the desktop program takes them from here.
inline constexpr int kSpeciesCountLine = 10;
inline constexpr int kReactionCountLine = 11;
inline constexpr int kPressureLine = 14;  // atm
inline constexpr int kTemperatureModeLine = 15;  // 0 constant temperature, 1 energy equation
inline constexpr int kInitialTemperatureLine = 16;  // K
inline constexpr int kMinTemperatureLine = 17;
inline constexpr int kMaxTemperatureLine = 18;
inline constexpr int kInitialTimeLine = 19;
inline constexpr int kFinalTimeLine = 20;
inline constexpr int kInitialStepLine = 21;
inline constexpr int kMaxStepsLine = 22;
inline constexpr int kRelativeToleranceLine = 23;
inline constexpr int kAbsoluteToleranceLine = 24;
inline constexpr int kOutputLinesLine = 27;
inline constexpr int kOutputStepLine = 28;  // a results record every that many steps
inline constexpr int kEnergyGasConstantLine = 31;  // R in the units of the activation energies
inline constexpr int kConcentrationGasConstantLine = 32;  // R in the units of pressure and concentration
// The " THERMO" line that closes the header: the first such line from here
// on (IsThermoKeyLine).
inline constexpr int kThermoSearchStart = 33;

// ---- Run settings, header lines 14 to 32 -------------------------------

inline bool PressureAllowed(double p) { return p > 0; }
// 0 constant temperature, 1 the energy equation.
inline bool TemperatureModeAllowed(int mode) { return mode == 0 || mode == 1; }
// The allowable temperatures lie above 0 K, the minimum below the maximum.
inline bool MinTemperatureAllowed(double tmin) { return tmin > 0; }
inline bool TemperatureRangeAllowed(double tmin, double tmax) { return tmin < tmax; }
// A temperature the kinetics work at: above 0 K and within the allowable
// ones (not a number never is). The initial temperature must be one.
inline bool TemperatureAllowed(double t, double tmin, double tmax) { return t > 0.0 && t >= tmin && t <= tmax; }
inline bool TimeSpanAllowed(double initialTime, double finalTime) { return finalTime > initialTime; }
// The integrator computes at most NMAX - 1 steps, its own default for 0.
inline bool StepLimitAllowed(int nmax) { return nmax >= 1; }
inline bool TolerancesAllowed(double rtol, double atol) { return RadauTolerancesAccepted(rtol, atol); }
inline bool GasConstantAllowed(double r) { return r > 0; }

// A run setting is the first list item of its line (fmt::ListItem): a
// whole number on the lines of the temperature mode, the step limit and
// the output step, a real on the others.
constexpr bool WholeNumberSetting(int line) {
  return line == kTemperatureModeLine || line == kMaxStepsLine || line == kOutputStepLine;
}

// The value of run setting line `number` as a run reads it from `line`;
// false where the line holds none.
bool ReadSettingValue(std::string_view line, int number, double& value);

// ---- Key lines ------------------------------------------------------------

// The line after which the thermodynamic records begin: its first seven
// characters are " THERMO" (the first such line from line 33 on).
inline bool IsThermoKeyLine(std::string_view line) { return line.substr(0, 7) == " THERMO"; }

// The end line after the last reaction record: "END", blanks around it and
// any letter case allowed.
bool IsMechanismEndLine(std::string_view line);

// ---- Reaction records ---------------------------------------------------
//
// A record is its equation line, its flags line (16 entries of four
// columns from column 7, flag k at flags[k - 1]) and its rate line, then
// the lines its flags call for, in this order: a low-pressure line, a
// broadening line and three third-body lines (labels, species numbers,
// efficiencies).

// The reaction's flags: 1 to 3 reactants and 1 to 6 products, each a
// species number within 1..nspec, at most 10 listed third bodies, and a
// third body for a low-pressure limit. Empty when it meets them, else the
// problem in words.
std::string ReactionFlagsProblem(const int* flags, int nspec);

// The species numbers of the `count` listed third bodies (partners[0..9]):
// each within 1..nspec. Empty when they are, else the problem in words.
std::string ThirdBodySpeciesProblem(int count, const int* partners, int nspec);

// Flag 14 = 1: a fall-off reaction, whose low-pressure line follows the
// rate line. Any other value is neither.
constexpr bool FallOffReaction(int flag14) { return flag14 == 1; }

// The parameters on the broadening line of form flag 15: 4 for 1 (Troe), 5
// for 2 (SRI), 3 for 3 (Troe without its fourth); 0 for any other value,
// which has no broadening line.
constexpr int BroadeningParameters(int form) { return form == 1 ? 4 : form == 2 ? 5 : form == 3 ? 3 : 0; }

// The third bodies listed on the third-body lines (flag 13), which the
// record holds only when this is above 0; at most 10.
constexpr int ListedThirdBodies(int flag13) { return flag13 < 0 ? 0 : flag13 > 10 ? 10 : flag13; }

// The field of listed third body k (0-9) on the third-body species and
// efficiency lines: eight columns from column 7 + 8k.
inline constexpr int kThirdBodyWidth = 8;
constexpr int ThirdBodyColumn(int k) { return 7 + kThirdBodyWidth * k; }

// The lines of a reaction record with these flags.
constexpr int ReactionRecordLines(const int* flags) {
  return 3 + FallOffReaction(flags[13]) + (BroadeningParameters(flags[14]) > 0) +
         3 * (ListedThirdBodies(flags[12]) > 0);
}

// Slots of the values of a reaction record (IREAC and RREAC of the solver):
// flags 1-16 and the third-body species 17-26; A, b, E 1-3, the
// low-pressure A, b, E 4-6, the broadening parameters 7-11 and the
// efficiencies 12-21.
inline constexpr int kRecordInts = 26;
inline constexpr int kRecordReals = 21;

// Why a record cannot be read: the record's line at fault (0 its first
// line) and what went wrong there: the line is missing, a field does not
// read under its layout, a count or species number is out of range, or a
// value is one the solver does not take.
struct RecordProblem {
  using Kind = InputProblem;
  Kind kind = Kind::Unreadable;
  int line = 0;
  // MissingLine: what that line was to hold; else the problem in words.
  std::string text;
};

// The lines of a record, each read into ints (IREAC 1-26) and reals (RREAC
// 1-21). False with `problem` (its kind and text) when a field does not
// read under its layout or a value breaks a rule above.
bool ReadFlagsLine(std::string_view line, int nspec, int* ints, RecordProblem& problem);
bool ReadParameterLine(std::string_view line, int count, const char* what, double* reals, RecordProblem& problem);
bool ReadThirdBodySpecies(std::string_view line, int nspec, int* ints, RecordProblem& problem);
bool ReadEfficiencies(std::string_view line, const int* ints, double* reals, RecordProblem& problem);

// Reads one reaction record as the solver does, whoever reads it: the
// solver into its tables, the desktop program for every use it makes of a
// record. lineAt(i, line) gives the record's line i (0 its equation line)
// and is false past the end of the file. The values go into ints
// (kRecordInts) and reals (kRecordReals); what the record does not hold
// stays 0, and so do the fields that the solver does not read: species
// fields past the counts of reactants and products, third bodies and their
// efficiencies past their count. Returns the record's length in lines, or 0
// with `problem` set.
template <class LineAt>
int ReadReactionRecord(const LineAt& lineAt, int nspec, int* ints, double* reals, RecordProblem& problem) {
  for (int k = 0; k < kRecordInts; ++k) ints[k] = 0;
  for (int k = 0; k < kRecordReals; ++k) reals[k] = 0.0;
  int at = -1;
  std::string_view line;
  // The record's next line, or the problem that it is missing.
  const auto next = [&](const char* what) {
    ++at;
    if (lineAt(at, line)) return true;
    problem = {RecordProblem::Kind::MissingLine, at, what};
    return false;
  };
  const auto failed = [&] {
    problem.line = at;
    return 0;
  };
  if (!next("a reaction equation line") || !next("the reaction's flags line")) return 0;
  if (!ReadFlagsLine(line, nspec, ints, problem)) return failed();
  if (!next("the rate parameters")) return 0;
  if (!ReadParameterLine(line, 3, "rate parameters", reals, problem)) return failed();
  if (FallOffReaction(ints[13])) {
    if (!next("the low-pressure rate parameters")) return 0;
    if (!ReadParameterLine(line, 3, "low-pressure rate parameters", reals + 3, problem)) return failed();
  }
  if (const int count = BroadeningParameters(ints[14]); count > 0) {
    if (!next("the fall-off broadening parameters")) return 0;
    if (!ReadParameterLine(line, count, "broadening parameters", reals + 6, problem)) return failed();
  }
  if (ListedThirdBodies(ints[12]) > 0) {
    if (!next("the third-body label line") || !next("the third-body species")) return 0;
    if (!ReadThirdBodySpecies(line, nspec, ints, problem)) return failed();
    if (!next("the third-body efficiencies")) return 0;
    if (!ReadEfficiencies(line, ints, reals, problem)) return failed();
  }
  return at + 1;
}

// ---- Results records -----------------------------------------------------
//
// The solver writes a results record after the results title for each
// output point: the step number (I5 after a blank), then the time, the
// temperature and the mass fraction of each species, each value as E16.8E3
// (eight significant digits) after a blank; at most kRecordValuesPerLine
// species a line, a continuation line indented by kRecordIndent blanks. A
// run at constant temperature writes its initial temperature so in every
// record.
inline constexpr int kRecordStepWidth = 5;  // from column 2
// A step number too wide for its field (above 99999) is written, as any
// Iw output that does not fit, as the field full of asterisks: this mark.
constexpr bool IsStepOverflowMark(std::string_view field) {
  return field.size() == kRecordStepWidth && field.find_first_not_of('*') == std::string_view::npos;
}
inline constexpr int kRecordValueWidth = 16;
inline constexpr int kRecordValueDigits = 8;
inline constexpr int kRecordExponentDigits = 3;
inline constexpr int kRecordValuesPerLine = 50;
inline constexpr int kRecordIndent = 40;

// ---- Thermodynamic records ----------------------------------------------
//
// Four lines a species. The first: the name in columns 7-22 (not blank:
// the results heading names each species by it), a digit or blank in
// column 46, the lower, upper and common temperatures (F8.1 from columns
// 48, 57 and 66) and the initial mole fraction (E.3 in columns 75-84); the
// second and third: coefficients 1-5 and 6-10 (E15.8 from column 1); the
// fourth: coefficients 11-14 and the molar mass (F15.3 from column 61).

// Slots of a record's values (TH 1-18 of the solver): coefficients 1-14,
// the molar mass 15, the lower, upper and common temperatures 16-18.
inline constexpr int kThermoRecordLines = 4;
inline constexpr int kThermoRecordValues = 18;

// The species name of a record's first line as the solver keeps it
// (columns 7-22, as far as the line reaches), and without the blanks
// around it, as every reader names the species.
std::string_view SpeciesNameField(std::string_view line);
std::string_view SpeciesName(std::string_view line);

// The initial mole fraction on a record's first line: a real of layout
// E.3 in these columns (the desktop writes it left-aligned there).
inline constexpr int kInitialFractionColumn = 75;
inline constexpr int kInitialFractionWidth = 10;

// Reads the initial mole fraction of a record's first line as the solver
// does. False with `problem` when the field does not read, or when the
// value, then in `fraction`, is negative.
bool ReadInitialFraction(std::string_view line, double& fraction, RecordProblem& problem);

// Line i (0-3) of a record read into values (kThermoRecordValues) and, from
// the first line, the initial mole fraction into *fraction (not read when
// fraction is null). False with `problem` (its kind and text) when the name
// is blank, a field does not read under its layout, the fraction is
// negative or the molar mass not above zero.
bool ReadThermoLine(std::string_view line, int i, double* values, double* fraction, RecordProblem& problem);

// Reads one thermodynamic record as the solver does, whoever reads it.
// lineAt(i, line) gives the record's line i (0-3) and is false past the
// end of the file. The values are those of the fields; the solver keeps the
// temperatures and the molar mass in single precision (the molar mass must
// be above zero there). The initial mole fraction goes to *fraction, or is
// not read when fraction is null. False with `problem` set.
template <class LineAt>
bool ReadThermoRecord(const LineAt& lineAt, double* values, double* fraction, RecordProblem& problem) {
  static constexpr const char* kLines[kThermoRecordLines] = {
      "a thermo record", "thermo coefficients 1-5", "thermo coefficients 6-10",
      "thermo coefficients 11-14 and the molar mass"};
  for (int i = 0; i < kThermoRecordLines; ++i) {
    std::string_view line;
    if (!lineAt(i, line)) {
      problem = {RecordProblem::Kind::MissingLine, i, kLines[i]};
      return false;
    }
    if (!ReadThermoLine(line, i, values, fraction, problem)) {
      problem.line = i;
      return false;
    }
  }
  return true;
}

// A number in the words of a problem: "0.100000E+01".
std::string ProblemNumber(double value);

}  // namespace kx
