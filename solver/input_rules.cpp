#include "input_rules.h"

#include <utility>

#include "fixed_format.h"

namespace kx {

namespace {

std::string SpeciesProblem(int number, int nspec, const char* where) {
  if (number >= 1 && number <= nspec) return {};
  return "species number " + std::to_string(number) + " in the " + where + " is outside 1.." + std::to_string(nspec);
}

// The layouts of a record's lines (6X, then fields): the flags (I4), the
// rate, low-pressure and broadening parameters (E15.8), the third-body
// species (I8) and efficiencies (F8.2).
constexpr int kFirstColumn = 7;
constexpr int kFlagWidth = 4;
constexpr int kParameterWidth = 15, kParameterDecimals = 8;
constexpr int kEfficiencyDecimals = 2;
constexpr int kThirdBodyFields = 10;

// The layouts of a thermodynamic record: the temperatures (F8.1), the
// initial mole fraction (E.3), the coefficients (E15.8) and the molar mass
// (F15.3).
constexpr int kTemperatureColumn = 48, kTemperatureStride = 9, kTemperatureWidth = 8, kTemperatureDecimals = 1;
constexpr int kFractionDecimals = 3;
constexpr int kCoefficientWidth = 15, kCoefficientDecimals = 8;
constexpr int kMassColumn = 61, kMassDecimals = 3;
constexpr int kDigitColumn = 46;
constexpr int kNameColumn = 7;

// Fails with the columns first..first + width - 1 named.
bool Unreadable(RecordProblem& problem, int first, int width, const char* what, const char* as) {
  problem.kind = RecordProblem::Kind::Unreadable;
  problem.text = "columns " + std::to_string(first) + "-" + std::to_string(first + width - 1) + " (" + what +
                 ") do not read as " + as;
  return false;
}

bool Refused(RecordProblem& problem, RecordProblem::Kind kind, std::string text) {
  problem.kind = kind;
  problem.text = std::move(text);
  return false;
}

bool OutOfRange(RecordProblem& problem, std::string text) {
  return Refused(problem, RecordProblem::Kind::OutOfRange, std::move(text));
}

// A real of a fixed field, read as the solver reads it.
bool Real(std::string_view line, int first, int width, int decimals, double& value) {
  return fmt::ReadRealField(fmt::Field(line, first, width), decimals, value);
}

// The value as the solver keeps it (the temperatures and the molar mass):
// in single precision.
double Single(double value) { return static_cast<double>(static_cast<float>(value)); }

}  // namespace

std::string ReactionFlagsProblem(const int* flags, int nspec) {
  const int reactants = flags[9], products = flags[10];
  if (reactants < 1 || reactants > 3)
    return "the number of reactants " + std::to_string(reactants) + " is outside 1..3";
  if (products < 1 || products > 6) return "the number of products " + std::to_string(products) + " is outside 1..6";
  for (int k = 0; k < reactants; ++k)
    if (std::string p = SpeciesProblem(flags[k], nspec, "reactant fields"); !p.empty()) return p;
  for (int k = 0; k < products; ++k)
    if (std::string p = SpeciesProblem(flags[3 + k], nspec, "product fields"); !p.empty()) return p;
  if (flags[12] > 10)
    return "the number of third-body efficiencies " + std::to_string(flags[12]) + " is above 10";
  if (flags[13] == 1 && flags[11] <= 0 && flags[12] <= 0)
    return "a fall-off reaction needs a third body (flag or efficiencies)";
  return {};
}

std::string ThirdBodySpeciesProblem(int count, const int* partners, int nspec) {
  for (int k = 0; k < count && k < 10; ++k)
    if (std::string p = SpeciesProblem(partners[k], nspec, "third-body fields"); !p.empty()) return p;
  return {};
}

bool IsMechanismEndLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const std::string_view word = line.substr(first, line.find_last_not_of(" \t") - first + 1);
  return word.size() == 3 && (word[0] == 'E' || word[0] == 'e') && (word[1] == 'N' || word[1] == 'n') &&
         (word[2] == 'D' || word[2] == 'd');
}

bool ReadFlagsLine(std::string_view line, int nspec, int* ints, RecordProblem& problem) {
  for (int k = 0; k < 16; ++k)
    if (!fmt::ReadIntField(fmt::Field(line, kFirstColumn + kFlagWidth * k, kFlagWidth), ints[k]))
      return Unreadable(problem, kFirstColumn + kFlagWidth * k, kFlagWidth, "reaction flags", "an integer");
  if (std::string p = ReactionFlagsProblem(ints, nspec); !p.empty()) return OutOfRange(problem, std::move(p));
  // The species fields past the counts are not read.
  for (int k = ints[9]; k < 3; ++k) ints[k] = 0;
  for (int k = ints[10]; k < 6; ++k) ints[3 + k] = 0;
  return true;
}

bool ReadParameterLine(std::string_view line, int count, const char* what, double* reals, RecordProblem& problem) {
  for (int k = 0; k < count; ++k)
    if (!Real(line, kFirstColumn + kParameterWidth * k, kParameterWidth, kParameterDecimals, reals[k]))
      return Unreadable(problem, kFirstColumn + kParameterWidth * k, kParameterWidth, what, "a number");
  return true;
}

bool ReadThirdBodySpecies(std::string_view line, int nspec, int* ints, RecordProblem& problem) {
  int* partners = ints + 16;
  for (int k = 0; k < kThirdBodyFields; ++k)
    if (!fmt::ReadIntField(fmt::Field(line, ThirdBodyColumn(k), kThirdBodyWidth), partners[k]))
      return Unreadable(problem, ThirdBodyColumn(k), kThirdBodyWidth, "third-body species",
                        "an integer");
  const int count = ListedThirdBodies(ints[12]);
  if (std::string p = ThirdBodySpeciesProblem(count, partners, nspec); !p.empty())
    return OutOfRange(problem, std::move(p));
  for (int k = count; k < kThirdBodyFields; ++k) partners[k] = 0;
  return true;
}

bool ReadEfficiencies(std::string_view line, const int* ints, double* reals, RecordProblem& problem) {
  double* efficiencies = reals + 11;
  for (int k = 0; k < kThirdBodyFields; ++k)
    if (!Real(line, ThirdBodyColumn(k), kThirdBodyWidth, kEfficiencyDecimals, efficiencies[k]))
      return Unreadable(problem, ThirdBodyColumn(k), kThirdBodyWidth, "third-body efficiency",
                        "a number");
  for (int k = ListedThirdBodies(ints[12]); k < kThirdBodyFields; ++k) efficiencies[k] = 0.0;
  return true;
}

std::string_view SpeciesNameField(std::string_view line) { return fmt::Field(line, kNameColumn, kNameLength); }

std::string_view SpeciesName(std::string_view line) {
  const std::string_view field = SpeciesNameField(line);
  const std::size_t first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return field.substr(first, field.find_last_not_of(' ') - first + 1);
}

bool ReadInitialFraction(std::string_view line, double& fraction, RecordProblem& problem) {
  if (!Real(line, kInitialFractionColumn, kInitialFractionWidth, kFractionDecimals, fraction))
    return Unreadable(problem, kInitialFractionColumn, kInitialFractionWidth, "initial mole fraction", "a number");
  if (fraction < 0)
    return Refused(problem, RecordProblem::Kind::NotAllowed,
                   "the initial mole fraction must not be negative, not " + ProblemNumber(fraction));
  return true;
}

bool ReadSettingValue(std::string_view line, int number, double& value) {
  if (!WholeNumberSetting(number)) return fmt::ReadListReal(line, value);
  int whole = 0;
  if (!fmt::ReadListInt(line, whole)) return false;
  value = whole;
  return true;
}

bool ReadThermoLine(std::string_view line, int i, double* values, double* fraction, RecordProblem& problem) {
  if (i == 0) {
    if (SpeciesName(line).empty())
      return Refused(problem, RecordProblem::Kind::NotAllowed, "the species name in columns 7-22 is blank");
    const std::string_view digit = fmt::Field(line, kDigitColumn, 1);
    if (!digit.empty() && digit[0] != ' ' && (digit[0] < '0' || digit[0] > '9'))
      return Refused(problem, RecordProblem::Kind::Unreadable, "column 46 must hold a digit or a blank");
    for (int k = 0; k < 3; ++k) {
      const int first = kTemperatureColumn + kTemperatureStride * k;
      double t = 0.0;
      if (!Real(line, first, kTemperatureWidth, kTemperatureDecimals, t))
        return Unreadable(problem, first, kTemperatureWidth, "temperature range", "a number");
      values[15 + k] = t;
    }
    return !fraction || ReadInitialFraction(line, *fraction, problem);
  }
  // Coefficients 1-5, 6-10 and 11-14 from column 1.
  const int count = i == 3 ? 4 : 5;
  double* coefficients = values + 5 * (i - 1);
  for (int k = 0; k < count; ++k)
    if (!Real(line, 1 + kCoefficientWidth * k, kCoefficientWidth, kCoefficientDecimals, coefficients[k]))
      return Unreadable(problem, 1 + kCoefficientWidth * k, kCoefficientWidth, "thermo coefficient", "a number");
  if (i < 3) return true;
  double mass = 0.0;
  if (!Real(line, kMassColumn, kCoefficientWidth, kMassDecimals, mass))
    return Unreadable(problem, kMassColumn, kCoefficientWidth, "molar mass", "a number");
  values[14] = mass;
  if (!(Single(mass) > 0))
    return Refused(problem, RecordProblem::Kind::NotAllowed,
                   "the molar mass must be above zero, not " + ProblemNumber(Single(mass)));
  return true;
}

std::string ProblemNumber(double value) {
  char text[32];
  char* end = fmt::PutE(text, value, 14, 6);
  std::string s(text, end);
  return s.substr(s.find_first_not_of(' '));
}

}  // namespace kx
