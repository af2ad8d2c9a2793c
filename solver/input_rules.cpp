#include "input_rules.h"

namespace kx {

namespace {

std::string SpeciesProblem(int number, int nspec, const char* where) {
  if (number >= 1 && number <= nspec) return {};
  return "species number " + std::to_string(number) + " in the " + where + " is outside 1.." + std::to_string(nspec);
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

}  // namespace kx
