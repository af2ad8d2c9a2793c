// Hand-made solver files for tests: species, reactions and run settings
// as recipes, written in the solver file's layout (independently of the
// solver's own reader).
#pragma once

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kxtest {

inline std::string Sci(double v, int digits) {
  char b[48];
  auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::scientific, digits);
  return std::string(b, r.ptr);
}

inline std::string Fixed(double v, int digits) {
  char b[48];
  auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, digits);
  return std::string(b, r.ptr);
}

inline std::string Right(const std::string& s, std::size_t w) {
  return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}

inline std::string Left(const std::string& s, std::size_t w) {
  return s.size() >= w ? s : s + std::string(w - s.size(), ' ');
}

struct SpeciesRecipe {
  std::string name;
  double moleFraction = 0.0;
  // a1..a7 above the common temperature, a8..a14 at or below it.
  std::array<double, 14> a{};
  double mass = 1.0;
  double tCommon = 1000.0;
  // When set, written as is into columns 75-84 in place of moleFraction.
  std::optional<std::string> fractionField;
};

inline SpeciesRecipe Species(std::string name, double moleFraction, std::array<double, 14> a, double mass) {
  SpeciesRecipe s;
  s.name = std::move(name);
  s.moleFraction = moleFraction;
  s.a = a;
  s.mass = mass;
  return s;
}

// Constant heat capacity cp/R = cp, enthalpy h0/R at 0 K: the same in both ranges.
inline std::array<double, 14> ConstantCp(double cp, double h0 = 0.0, double s0 = 0.0) {
  std::array<double, 14> a{};
  a[0] = a[7] = cp;
  a[5] = a[12] = h0;
  a[6] = a[13] = s0;
  return a;
}

struct ReactionRecipe {
  std::string equation = "R";
  std::vector<int> reactants;
  std::vector<int> products;
  int thirdBody = 0;     // flag 12
  int fallOff = 0;       // flag 14
  int form = 0;          // flag 15
  int reverse = 1;       // flag 16
  std::array<double, 3> rate{1.0, 0.0, 0.0};
  std::array<double, 3> low{};
  std::vector<double> broadening;
  std::vector<int> colliders;
  std::vector<double> efficiencies;
  // Overrides of the written counts (flags 10, 11, 13), for broken files.
  std::optional<int> reactantCount, productCount, efficiencyCount;
};

struct SolverFileRecipe {
  double P = 1.0;
  int mode = 1;
  double T0 = 1000.0, TMIN = 250.0, TMAX = 5000.0;
  double X0 = 0.0, XEND = 1e-3, H0 = 1e-8;
  int NMAX = 100000;
  double RTOL = 1e-6, ATOL = 1e-12;
  int NOUT = 1;
  double RE = 1.98720425864083, RC = 82.0573661;
  std::vector<SpeciesRecipe> species;
  std::vector<ReactionRecipe> reactions;
  std::string lineEnd = "\r\n";
  bool finalLineBreak = true;
  int thermoLine = 34;  // 33 puts " THERMO" one line earlier
  // Header value lines replaced verbatim (line number -> text).
  std::vector<std::pair<int, std::string>> headerOverrides;
};

inline std::string BuildSolverFile(const SolverFileRecipe& s) {
  std::vector<std::string> l;
  auto value = [](const std::string& v, const std::string& label) { return " " + v + " " + label; };
  l.push_back("!$KINOVEX SOLVER");
  l.push_back(" Hand-made test mechanism");
  for (int i = 3; i <= 9; ++i) l.push_back(" ");
  l.push_back(value(std::to_string(s.species.size()), "!Species"));
  l.push_back(value(std::to_string(s.reactions.size()), "!Reactions"));
  l.push_back(" !");
  l.push_back(" !Run parameters");
  l.push_back(value(Sci(s.P, 6), "!Pressure, atm"));
  l.push_back(value(std::to_string(s.mode), s.mode == 1 ? "!Temperature Equation" : "!Constant Temperature"));
  l.push_back(value(Sci(s.T0, 9), "!Initial Temperature"));
  l.push_back(value(Sci(s.TMIN, 9), "!Minimal Allowable Temperature"));
  l.push_back(value(Sci(s.TMAX, 9), "!Maximum Allowable Temperature"));
  l.push_back(value(Sci(s.X0, 9), "!Initial Time"));
  l.push_back(value(Sci(s.XEND, 9), "!Final Time"));
  l.push_back(value(Sci(s.H0, 6), "!Initial Step Size"));
  l.push_back(value(std::to_string(s.NMAX), "!Maximum Number of Steps"));
  l.push_back(value(Sci(s.RTOL, 6), "!Relative Tolerance"));
  l.push_back(value(Sci(s.ATOL, 6), "!Absolute Tolerance"));
  l.push_back(" ");
  l.push_back(" !Output Parameters");
  l.push_back(" 100000 !R!Maximum Number of lines in output");
  l.push_back(value(std::to_string(s.NOUT), "!Delta N"));
  l.push_back(" ");
  l.push_back(" !Gas constants");
  l.push_back(value(Sci(s.RE, 14), "!R in units of the activation energies"));
  l.push_back(value(Sci(s.RC, 14), "!R in units of pressure and concentration"));
  if (s.thermoLine == 34) l.push_back(" ");
  l.push_back(" THERMO");
  for (const auto& [line, text] : s.headerOverrides) l[static_cast<std::size_t>(line - 1)] = text;

  int number = 1;
  for (const SpeciesRecipe& sp : s.species) {
    std::string fraction = sp.fractionField ? *sp.fractionField : Sci(sp.moleFraction, 3);
    std::string first = Left(std::to_string(number++).insert(0, 1, ' '), 6) + Left(sp.name, 16) + Left(" " + sp.name, 23) +
                        "0" + " " + Right(Fixed(300.0, 1), 8) + " " + Right(Fixed(5000.0, 1), 8) + " " +
                        Right(Fixed(sp.tCommon, 1), 8) + " " + Left(fraction, 10);
    l.push_back(first);
    std::string c1, c2, c3;
    for (int k = 0; k < 5; ++k) c1 += Right(Sci(sp.a[k], 8), 15);
    for (int k = 5; k < 10; ++k) c2 += Right(Sci(sp.a[k], 8), 15);
    for (int k = 10; k < 14; ++k) c3 += Right(Sci(sp.a[k], 8), 15);
    c3 += Right(Fixed(sp.mass, 3), 15);
    l.push_back(c1);
    l.push_back(c2);
    l.push_back(c3);
  }
  l.push_back(" END");
  l.push_back(" ");
  l.push_back(" REACTIONS   MOLES   CAL/MOLE");
  number = 1;
  for (const ReactionRecipe& r : s.reactions) {
    l.push_back(Left(std::to_string(number++).insert(0, 1, ' '), 6) + r.equation);
    std::array<int, 16> f{};
    for (std::size_t k = 0; k < r.reactants.size() && k < 3; ++k) f[k] = r.reactants[k];
    for (std::size_t k = 0; k < r.products.size() && k < 6; ++k) f[3 + k] = r.products[k];
    f[9] = r.reactantCount.value_or(static_cast<int>(r.reactants.size()));
    f[10] = r.productCount.value_or(static_cast<int>(r.products.size()));
    f[11] = r.thirdBody;
    f[12] = r.efficiencyCount.value_or(static_cast<int>(r.colliders.size()));
    f[13] = r.fallOff;
    f[14] = r.form;
    f[15] = r.reverse;
    std::string flags = "      ";
    for (int v : f) flags += Right(std::to_string(v), 4);
    l.push_back(flags);
    auto reals = [](const double* v, std::size_t n) {
      std::string t = "      ";
      for (std::size_t k = 0; k < n; ++k) t += Right(Sci(v[k], 8), 15);
      return t;
    };
    l.push_back(reals(r.rate.data(), 3));
    if (r.fallOff == 1) l.push_back(reals(r.low.data(), 3));
    if (!r.broadening.empty()) l.push_back(reals(r.broadening.data(), r.broadening.size()));
    if (f[12] > 0) {
      l.push_back("      colliders");
      std::string sp = "      ", ef = "      ";
      for (std::size_t k = 0; k < 10; ++k) {
        sp += Left(std::to_string(k < r.colliders.size() ? r.colliders[k] : 0), 8);
        ef += Left(Fixed(k < r.efficiencies.size() ? r.efficiencies[k] : 0.0, 2), 8);
      }
      l.push_back(sp);
      l.push_back(ef);
    }
  }
  l.push_back(" END");
  std::string text;
  for (std::size_t i = 0; i < l.size(); ++i) {
    text += l[i];
    if (i + 1 < l.size() || s.finalLineBreak) text += s.lineEnd;
  }
  return text;
}

// A model of `nspec` species and `nreac` reactions of every kind (third
// bodies, fall-off of each broadening form, irreversible ones), all species
// present at the start; at 300 and 3000 it fills the solver's tables.
inline SolverFileRecipe LargeModel(int nspec, int nreac) {
  SolverFileRecipe recipe;
  for (int i = 0; i < nspec; ++i)
    recipe.species.push_back(Species(std::to_string(i + 1).insert(0, 1, 'S'), 1.0 / nspec,
                                     ConstantCp(3.5 + 0.3 * (i % 7), -1000.0 * (i % 11), 20.0 + i % 13), 2.0 + i));
  for (int r = 0; r < nreac; ++r) {
    auto species = [r, nspec](int k) { return 1 + (r * 7 + k * 13) % nspec; };
    ReactionRecipe q;
    for (int k = 0; k < 1 + r % 3; ++k) q.reactants.push_back(species(k));
    for (int k = 0; k < 1 + r % 6; ++k) q.products.push_back(species(3 + k));
    q.rate = {1e10, 0.5 * (r % 3), 1000.0 * (r % 5)};
    q.reverse = r % 7 == 0 ? 0 : 1;
    if (r % 5 != 0) {
      q.thirdBody = r % 2;
      for (int k = 0; k < 10; ++k) {
        q.colliders.push_back(species(9 + k));
        q.efficiencies.push_back(1.0 + 0.25 * k);
      }
    }
    if (r % 5 >= 2) {
      q.fallOff = 1;
      q.low = {1e15, -0.5, 500.0};
      q.form = 1 + r % 3;
      q.broadening = q.form == 2 ? std::vector<double>{0.45, 797.0, 979.0, 1.2, 0.3}
                                 : std::vector<double>{0.5, 100.0, 1000.0, 5000.0};
      if (q.form == 3) q.broadening.pop_back();
    }
    recipe.reactions.push_back(q);
  }
  return recipe;
}

}  // namespace kxtest
