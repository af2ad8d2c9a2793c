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
constexpr int kThirdBodyWidth = 8, kEfficiencyDecimals = 2;
constexpr int kThirdBodyFields = 10;

std::string Columns(int k, int width) {
  const int first = kFirstColumn + k * width;
  return "columns " + std::to_string(first) + "-" + std::to_string(first + width - 1);
}

bool Unreadable(RecordProblem& problem, int k, int width, const char* what, const char* as) {
  problem.kind = RecordProblem::Kind::Unreadable;
  problem.text = Columns(k, width) + " (" + what + ") do not read as " + as;
  return false;
}

bool OutOfRange(RecordProblem& problem, std::string text) {
  problem.kind = RecordProblem::Kind::OutOfRange;
  problem.text = std::move(text);
  return false;
}

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

bool ReadFlagsLine(std::string_view line, int nspec, int* ints, RecordProblem& problem) {
  for (int k = 0; k < 16; ++k)
    if (!fmt::ReadIntField(fmt::Field(line, kFirstColumn + kFlagWidth * k, kFlagWidth), ints[k]))
      return Unreadable(problem, k, kFlagWidth, "reaction flags", "an integer");
  if (std::string p = ReactionFlagsProblem(ints, nspec); !p.empty()) return OutOfRange(problem, std::move(p));
  // The species fields past the counts are not read.
  for (int k = ints[9]; k < 3; ++k) ints[k] = 0;
  for (int k = ints[10]; k < 6; ++k) ints[3 + k] = 0;
  return true;
}

bool ReadParameterLine(std::string_view line, int count, const char* what, double* reals, RecordProblem& problem) {
  for (int k = 0; k < count; ++k)
    if (!fmt::ReadRealField(fmt::Field(line, kFirstColumn + kParameterWidth * k, kParameterWidth), kParameterDecimals,
                            reals[k]))
      return Unreadable(problem, k, kParameterWidth, what, "a number");
  return true;
}

bool ReadThirdBodySpecies(std::string_view line, int nspec, int* ints, RecordProblem& problem) {
  int* partners = ints + 16;
  for (int k = 0; k < kThirdBodyFields; ++k)
    if (!fmt::ReadIntField(fmt::Field(line, kFirstColumn + kThirdBodyWidth * k, kThirdBodyWidth), partners[k]))
      return Unreadable(problem, k, kThirdBodyWidth, "third-body species", "an integer");
  const int count = ListedThirdBodies(ints[12]);
  if (std::string p = ThirdBodySpeciesProblem(count, partners, nspec); !p.empty())
    return OutOfRange(problem, std::move(p));
  for (int k = count; k < kThirdBodyFields; ++k) partners[k] = 0;
  return true;
}

bool ReadEfficiencies(std::string_view line, const int* ints, double* reals, RecordProblem& problem) {
  double* efficiencies = reals + 11;
  for (int k = 0; k < kThirdBodyFields; ++k)
    if (!fmt::ReadRealField(fmt::Field(line, kFirstColumn + kThirdBodyWidth * k, kThirdBodyWidth),
                            kEfficiencyDecimals, efficiencies[k]))
      return Unreadable(problem, k, kThirdBodyWidth, "third-body efficiency", "a number");
  for (int k = ListedThirdBodies(ints[12]); k < kThirdBodyFields; ++k) efficiencies[k] = 0.0;
  return true;
}

}  // namespace kx
