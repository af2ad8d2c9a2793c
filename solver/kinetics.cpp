// Species thermodynamics, rate constants and the right-hand side of the
// constant-pressure kinetic equations.
//
// The routines read a model's tables (TH, IREAC, RREAC) into a compact form
// the first time they meet them: the species lists of every reaction, the
// reactions grouped by what their rate needs, the distinct third-body sets
// and the rate terms of every species. The values that depend on the
// temperature alone are kept for the tables and the temperature they were
// computed for, so that evaluations at an unchanged temperature (the
// Jacobian columns of the species, every evaluation of an isothermal run)
// take them as they stand.
//
// A finite-difference Jacobian column changes one mass fraction of the state
// last evaluated in full. Such an evaluation starts from that state: all
// other concentrations only scale with the new sum of Y/M, so the rates of
// the reactions without third body that do not involve the changed species
// scale with a power of that factor and enter through per-species sums of
// the last state; the reactions that involve the species, and those with
// third bodies, are evaluated anew.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "input_rules.h"
#include "solver.h"
#include "vector_clones.h"
#include "vector_exp.h"

namespace kx {

SolverCommonBlock SolverCommon;

namespace {

constexpr double kLn10 = 2.30258509299404568402;
constexpr double kLog10e = 0.43429448190325182765;
constexpr double kLog2e = 1.44269504088896340736;
constexpr double kLn2 = 0.69314718055994530942;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The change of the number of moles in a reaction: up to 6 products, up to
// 3 reactants.
constexpr int kMaxMoleChange = 6;
// Relative changes up to this are taken through series (of ln(1 + u) and of
// exp(w)) whose first left-out terms are below 1e-18 of the result.
constexpr double kSeriesLimit = 1e-6;
// |dg| <= EXPLIM = 500 gives a sum of powers of two within 500 log2 e + 5;
// sums out of this range fall back on exp(-dg).
constexpr std::int64_t kEquilibriumPowerLimit = 1000;
// Species terms G/RT beyond this are not split into powers of two.
constexpr double kPowerCut = 1e15;
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The species lists of the reactions are padded with the slot after the
// last species (PreparedModel::unit), whose concentration is 1 (a factor 1
// leaves a product unchanged to the bit).
static_assert(kMaxSpecies < UINT16_MAX);

// Per species, the reactions that change it, in reaction order: term t is
// reaction t >> 1, taken (t & 1 == 0) or given (t & 1 == 1), and indexes the
// signed rates (-R, +R of each reaction); a species listed twice has two
// terms. Species are summed four at a time, side by side: group g holds
// rows rowStart[g]..rowStart[g+1]-1 of kTermLanes terms, one per species of
// the group (lane), shorter lanes padded with the zero term
// (PreparedModel::zeroTerm), a slot whose rate is always +0 (adding it
// changes no sum).
constexpr int kTermLanes = 4;
struct RateTerms {
  int groups;
  int* species;   // groups * kTermLanes, 0-based; the unit slot for an empty lane
  int* rowStart;  // groups + 1
  int* term;      // rows * kTermLanes
};
// Groups take species in order of falling term counts, so all rows together
// number at most the longest lane plus a quarter of all terms; a reaction
// has at most nine terms.
constexpr std::size_t TermBound(int nreac) {
  const std::size_t terms = 9 * static_cast<std::size_t>(nreac);
  return kTermLanes * (terms + terms / 4 + 1);
}

// What a reaction's rate constants are computed from (RREAC 1-11 and the
// IREAC flags), with its species as 0-based slots padded with the unit slot.
struct ReactionInput {
  double A, b, E;     // forward (high-pressure) rate constant
  double A0, b0, E0;  // low-pressure limit
  double broadening[5];
  bool lowPressure;  // IREAC 14 = 1
  int form;          // IREAC 15
  int reverse;       // IREAC 16
  int reactants, products;
  std::uint16_t reactant[3];
  std::uint16_t product[6];
  bool general;  // not a mass-action reaction
};

// A reaction whose rate needs nothing but its rate constants and the
// concentrations: no third body, no fall-off, at most three products.
struct MassActionReaction {
  int r;
  std::uint16_t reactant[3];
  std::uint16_t product[3];
  // Number of listed reactants and products: the powers of the
  // concentration scale in the forward and reverse rates.
  std::uint8_t reactants, products;
};

// Any other reaction.
struct GeneralReaction {
  int r;
  int set;  // its third-body set, or -1
  bool fallOff;
  bool reversible;
  std::uint16_t reactant[3];
  std::uint16_t product[6];
};

// A third-body concentration: c_M = (all ? c_tot : 0) + sum of weight_j times
// the concentration of species_j, added in the listed order. Reactions that
// list the same colliders with the same efficiencies share one set.
struct ColliderSet {
  bool all;
  int count;
  int species[10];
  double weight[10];  // the listed efficiency minus the default one
};

// A species that a Jacobian column's change of a reaction's rate reaches,
// and that change's signed term.
struct InvolvedTerm {
  std::uint16_t species;
  std::uint16_t term;
};

// What a species gives an equilibrium constant at one temperature: G/RT,
// and exp(-G/RT) = 2^power * mantissa, exp(G/RT) = 2^-power * inverse with
// inverse = 1/mantissa (mantissa and inverse between 2^-1/2 and 2^1/2); the
// unit slot has 0, 1, 1, 0.
struct SpeciesTerm {
  double grt;
  double mantissa;
  double inverse;
  std::int64_t power;
};

// A reversible reaction as its equilibrium constant takes it: its first
// three products and its reactants, padded with the unit slot; the rest of
// its products when it has more than three.
struct EquilibriumReaction {
  int r;
  std::uint16_t product[3];
  std::uint16_t reactant[3];
  std::int8_t moleChange;  // products less reactants
  bool moreProducts;
};

// The temperature part of an Arrhenius rate constant, T^b exp(-E/(RE T)),
// shared by the reactions with the same b and E.
struct ArrheniusExponent {
  double b, E;
};

// The compact form of one model's tables.
struct PreparedModel {
  const int* ireac = nullptr;
  const double* rreac = nullptr;
  const double* th = nullptr;
  int nspec = -1;
  int nreac = -1;
  int unit = 0;      // the padding slot of the species lists: nspec
  int zeroTerm = 0;  // the signed-rate slot that stays +0: 2 nreac

  double* mass;
  double* inverseMass;
  ReactionInput* input;
  MassActionReaction* massAction;
  int massActionCount;
  GeneralReaction* general;
  int generalCount;
  int* fallOff;  // positions in general of the fall-off reactions
  int fallOffCount;
  // Per species, the mass-action reactions (positions in massAction) that
  // list it, each once: involvedStart[i] .. involvedStart[i+1]-1 of involved.
  int* involvedStart;
  int* involved;
  // For each entry of `involved`: how often the species is a product less
  // how often it is a reactant of the reaction. And per species, the other
  // species of its reactions: otherStart[i] .. otherStart[i+1]-1 of other,
  // each with the term (2a: taken, 2a+1: given) of its a-th reaction.
  double* involvedCount;
  int* otherStart;
  InvolvedTerm* other;
  ColliderSet* sets;
  int setCount;
  // The distinct Arrhenius exponents (b, E) of the forward and low-pressure
  // rate constants, and which one each reaction takes.
  ArrheniusExponent* exponents;
  int exponentCount;
  int* forwardExponent;
  int* lowExponent;
  // The Troe reactions, and each one's place among them.
  int* troe;
  int troeCount;
  int* troePlace;
  // The fall-off, SRI and reversible reactions.
  int* lowPressure;
  int lowPressureCount;
  int* sri;
  int sriCount;
  EquilibriumReaction* reversible;
  int reversibleCount;
  double* A;  // pre-exponential factor of each reaction
  // The least and largest d of (RC T)^d in the equilibrium constants and
  // their inverses: -dn and dn of the reversible reactions.
  int moleChanges[2];
  // The species' polynomial coefficients by coefficient (TH slots 1-14) and
  // common temperature, and whether each range has data (its seven
  // coefficients do not sum to zero).
  double* coefficient[14];
  double* commonTemperature;
  bool* upperData;
  bool* lowerData;
  RateTerms terms;
  RateTerms heatExcludedTerms;
  RateTerms generalTerms;  // of the general reactions only
  bool anyHeatExcluded;
};

// The temperature-dependent values of one temperature, and the tables they
// belong to (none while `rreac` is null). Species arrays have the unit slot.
struct TemperatureValues {
  const double* rreac = nullptr;
  const double* th = nullptr;
  double T = 0;
  long generation = 0;  // counts the computations

  double* hrt;  // H/RT
  double* cpr;  // Cp/R
  double* sr;   // S/R
  double* grt;  // G/RT
  // exp(-G/RT) = 2^power * mantissa, and exp(G/RT) = 2^-power * inverse with
  // inverse = 1/mantissa (mantissa and inverse between 2^-1/2 and 2^1/2).
  // The mantissas of the species terms as the vectorised loops make them,
  // and the terms (with G/RT) together, by species.
  double* gibbsMantissa;
  SpeciesTerm* speciesTerm;
  // Per distinct Arrhenius exponent: -E/(RE T) and T^b exp(-E/(RE T)).
  double* exponent;
  double* factor;
  double* scratch;  // arguments of the exponentials
  // The three exponentials of each Troe centre (by place among the Troe
  // reactions), and their arguments.
  double* troeArgument;
  double* troeExp;
  double* troeCentre;  // Fc, by place
  double* dg;          // dG/RT of the reversible reactions
  double* kf;          // forward (high-pressure) rate constant
  double* kc;          // equilibrium constant, 0 when not reversible
  double* kr;          // kf/kc for the reversible mass-action reactions
  double* inverseKc;   // 1/kc of the reversible reactions
  double rctPower[2 * kMaxMoleChange + 1];  // (RC T)^d, d = -kMaxMoleChange .. kMaxMoleChange
  double* lowRatio;  // k0/kf of the fall-off reactions
  double* k0;        // low-pressure rate constant
  // Troe: log10 Fc and the two constants made of it.
  double* logFc;
  double* troeC;
  double* troeN;
  // SRI: ln of a exp(-b/T) + exp(-T/c), and d T^e (d only when above 0).
  double* sriLogBase;
  double* sriFactor;
};

// Right-hand-side work. The unit slots of production and the sums take the
// terms of padding slots.
struct Work {
  double* signedRates;  // -R, +R per reaction; the zero term stays +0
  double* production;
  double* heatExcluded;
  double* molesPerMass;  // of the last full evaluation
  double* moleFraction;
  double* collider;           // c_M of each third-body set
  double* generalProduction;  // by the general reactions
  double* changes;            // a Jacobian column's signed rate changes
  double* fallOffFactor;      // of the general reactions (by position) with fall-off
  bool* contributes;
};

// A fall-off reaction's collider concentration, log10 Pr and broadening
// factor F (with ln F) at the base state.
struct FallOffBase {
  double collider, logPr, logF, F;
  bool valid;
};

// The last state evaluated in full, for the Jacobian columns that change one
// of its mass fractions.
struct BaseState {
  bool valid = false;
  bool sumsReady = false;  // orderSums belong to this state
  int n = 0;
  long generation = 0;  // of the temperature values it used
  double ctot = 0;
  double sum = 0;  // of Y/M
  double* y;
  // Forward and reverse rate of each mass-action reaction (by position).
  double* forward;
  double* reverse;
  // Per species, the production by the mass-action reactions whose rate
  // terms have k+1 concentration factors (forward and reverse terms apart).
  double* orderSums[3];
  // The broadening of each general reaction (by position) with fall-off.
  FallOffBase* fallOff;
};

PreparedModel prepared;
TemperatureValues values;
Work work;
BaseState base;

// All the arrays above, carved for a model with nspec species and nreac
// reactions by s.Take(array, count), which points array at storage for count
// objects.
template <typename Store>
constexpr void Carve(Store& s, PreparedModel& p, TemperatureValues& v, Work& w, BaseState& b, int nspec,
                     int nreac) {
  const std::size_t ns = static_cast<std::size_t>(nspec);
  const std::size_t nr = static_cast<std::size_t>(nreac);
  const std::size_t groups = (ns + kTermLanes - 1) / kTermLanes;
  // The work of every evaluation first, then the values of a temperature,
  // then the tables.
  s.Take(w.molesPerMass, ns);
  s.Take(w.moleFraction, ns);
  s.Take(w.production, ns + 1);
  s.Take(w.generalProduction, ns + 1);
  s.Take(w.heatExcluded, ns + 1);
  s.Take(w.signedRates, 2 * nr + 2);
  s.Take(w.collider, nr);
  s.Take(w.changes, 2 * nr);
  s.Take(w.fallOffFactor, nr);
  s.Take(w.contributes, nr);
  s.Take(b.y, ns + 1);
  for (double*& sums : b.orderSums) s.Take(sums, ns + 1);
  s.Take(b.forward, nr);
  s.Take(b.reverse, nr);
  s.Take(b.fallOff, nr);
  s.Take(v.hrt, ns);
  s.Take(v.cpr, ns);
  s.Take(v.sr, ns);
  s.Take(v.grt, ns + 1);
  s.Take(v.gibbsMantissa, ns + 1);
  s.Take(v.speciesTerm, ns + 1);
  s.Take(v.kf, nr);
  s.Take(v.kc, nr);
  s.Take(v.kr, nr);
  s.Take(v.inverseKc, nr);
  s.Take(v.k0, nr);
  s.Take(v.lowRatio, nr);
  s.Take(v.logFc, nr);
  s.Take(v.troeC, nr);
  s.Take(v.troeN, nr);
  s.Take(v.sriLogBase, nr);
  s.Take(v.sriFactor, nr);
  s.Take(v.dg, nr);
  s.Take(v.exponent, 2 * nr);
  s.Take(v.factor, 2 * nr);
  s.Take(v.scratch, 2 * nr + ns);
  s.Take(v.troeArgument, 3 * nr);
  s.Take(v.troeExp, 3 * nr);
  s.Take(v.troeCentre, nr);
  s.Take(p.mass, ns);
  s.Take(p.inverseMass, ns);
  for (double*& c : p.coefficient) s.Take(c, ns);
  s.Take(p.commonTemperature, ns);
  s.Take(p.upperData, ns);
  s.Take(p.lowerData, ns);
  s.Take(p.input, nr);
  s.Take(p.massAction, nr);
  s.Take(p.general, nr);
  s.Take(p.fallOff, nr);
  s.Take(p.sets, nr);
  s.Take(p.exponents, 2 * nr);
  s.Take(p.forwardExponent, nr);
  s.Take(p.lowExponent, nr);
  s.Take(p.troe, nr);
  s.Take(p.troePlace, nr);
  s.Take(p.lowPressure, nr);
  s.Take(p.sri, nr);
  s.Take(p.reversible, nr);
  s.Take(p.A, nr);
  s.Take(p.involvedStart, ns + 1);
  s.Take(p.involved, 6 * nr);
  s.Take(p.involvedCount, 6 * nr);
  s.Take(p.otherStart, ns + 1);
  s.Take(p.other, 30 * nr);
  for (RateTerms* t : {&p.terms, &p.generalTerms, &p.heatExcludedTerms}) {
    s.Take(t->species, groups * kTermLanes);
    s.Take(t->rowStart, groups + 1);
    s.Take(t->term, TermBound(nreac));
  }
}

// Arrays start at multiples of this (a cache line).
constexpr std::size_t kStoreAlignment = 64;

constexpr std::size_t Aligned(std::size_t bytes) { return (bytes + kStoreAlignment - 1) / kStoreAlignment * kStoreAlignment; }

// Counts the bytes that Carve takes.
struct StoreMeasure {
  std::size_t bytes = 0;
  template <typename T>
  constexpr void Take(T*& array, std::size_t count) {
    array = nullptr;
    bytes += Aligned(count * sizeof(T));
  }
};

// The bytes that Carve takes for the largest model.
constexpr std::size_t StoreBytes() {
  StoreMeasure measure;
  PreparedModel p;
  TemperatureValues v;
  Work w;
  BaseState b;
  Carve(measure, p, v, w, b, kMaxSpecies, kMaxReactions);
  return measure.bytes;
}

// The static store of the arrays: zero-initialised, its pages mapped when
// first touched, so that a model touches only the pages of its own sizes.
alignas(kStoreAlignment) unsigned char store[StoreBytes()];

// Hands out the store from its start (the arrays are of implicit-lifetime
// types, created in the store's bytes as they are written).
struct StoreCarver {
  std::size_t used = 0;
  template <typename T>
  void Take(T*& array, std::size_t count) {
    array = std::launder(reinterpret_cast<T*>(store + used));
    used += Aligned(count * sizeof(T));
  }
};

void CarveStore(int nspec, int nreac) {
  StoreCarver carver;
  Carve(carver, prepared, values, work, base, nspec, nreac);
}

// x^m for an integral m by repeated squaring, 1/x^|m| for a negative m.
inline double PowInt(double x, int m) {
  unsigned n = m < 0 ? static_cast<unsigned>(-m) : static_cast<unsigned>(m);
  double y = (n % 2) ? x : 1.0;
  while (n >>= 1) {
    x = x * x;
    if (n % 2) y = y * x;
  }
  return m < 0 ? 1.0 / y : y;
}

// A T^b exp(x) by its factors, where the one exponential of b ln T + x that
// makes the shared factor T^b exp(x) would overflow.
inline double Unfused(double A, double b, double x, double T) { return std::exp(x) * (A * std::pow(T, b)); }

// A T^b exp(x) from the shared factor T^b exp(x) (infinite where it would
// overflow).
inline double Arrhenius(double A, double b, double x, double factor, double T) {
  return std::isinf(factor) ? Unfused(A, b, x, T) : A * factor;
}

// 2^k for an integral k in the range of normal numbers.
inline double PowerOfTwo(std::int64_t k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

// A Troe exponent: -u, but never below -EXPLIM.
inline double TroeExponent(double u, double explim) { return u > explim ? -explim : -u; }

// The exponents -T/T***, -T/T* and (four parameters) -T**/T of a Troe
// centre, each at least -EXPLIM; the third is 0 with three parameters.
inline void TroeExponents(const ReactionInput& in, double T, double explim, double* e) {
  const double* bp = in.broadening;
  e[0] = TroeExponent(T / bp[1], explim);
  e[1] = TroeExponent(T / bp[2], explim);
  e[2] = in.form == 1 ? TroeExponent(bp[3] / T, explim) : 0.0;
}

inline bool IsTroe(int form) { return form == 1 || form == 3; }

// Rate terms of each species in reaction order, for the reactions that
// `include` accepts, laid out in groups of kTermLanes species.
template <typename Include>
void PrepareTerms(RateTerms& t, const ReactionInput* input, int nspec, int nreac, Include include) {
  int count[kMaxSpecies] = {};
  auto walk = [&](auto&& visit) {
    for (int r = 0; r < nreac; ++r) {
      const ReactionInput& in = input[r];
      if (!include(in)) continue;
      for (int j = 0; j < 3; ++j)
        if (in.reactant[j] != nspec) visit(in.reactant[j], r << 1);
      for (int j = 0; j < 6; ++j)
        if (in.product[j] != nspec) visit(in.product[j], (r << 1) | 1);
    }
  };
  walk([&](int species, int) { ++count[species]; });

  // Species by falling term count (a stable insertion sort, which needs no
  // memory of its own), then four to a group.
  int order[kMaxSpecies];
  for (int i = 0; i < nspec; ++i) {
    int at = i;
    for (; at > 0 && count[order[at - 1]] < count[i]; --at) order[at] = order[at - 1];
    order[at] = i;
  }
  t.groups = (nspec + kTermLanes - 1) / kTermLanes;
  int laneOf[kMaxSpecies];
  int next[kMaxSpecies];  // where the species' next term goes
  t.rowStart[0] = 0;
  for (int g = 0; g < t.groups; ++g) {
    int rows = 0;
    for (int k = 0; k < kTermLanes; ++k) {
      const int at = g * kTermLanes + k;
      t.species[at] = at < nspec ? order[at] : nspec;
      if (at < nspec) rows = std::max(rows, count[order[at]]);
    }
    t.rowStart[g + 1] = t.rowStart[g] + rows;
    for (int k = 0; k < kTermLanes; ++k) {
      const int at = g * kTermLanes + k;
      for (int row = t.rowStart[g]; row < t.rowStart[g + 1]; ++row) t.term[row * kTermLanes + k] = 2 * nreac;
      if (at < nspec) {
        laneOf[order[at]] = k;
        next[order[at]] = t.rowStart[g];
      }
    }
  }
  walk([&](int species, int term) { t.term[next[species]++ * kTermLanes + laneOf[species]] = term; });
}

// Sums the rate terms of each species in reaction order: the same additions
// in the same order as adding each reaction's rate to its species in turn.
void Gather(const RateTerms& t, const double* signedRates, double* out) {
  static_assert(kTermLanes == 4);
  for (int g = 0; g < t.groups; ++g) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (int row = t.rowStart[g]; row < t.rowStart[g + 1]; ++row) {
      const int* term = t.term + row * kTermLanes;
      s0 += signedRates[term[0]];
      s1 += signedRates[term[1]];
      s2 += signedRates[term[2]];
      s3 += signedRates[term[3]];
    }
    const int* species = t.species + g * kTermLanes;
    out[species[0]] = s0;
    out[species[1]] = s1;
    out[species[2]] = s2;
    out[species[3]] = s3;
  }
}

// The third-body set of a reaction, shared with an earlier reaction that
// lists the same colliders with the same efficiencies.
int ColliderSetOf(PreparedModel& p, const int* ir, const double* rr) {
  ColliderSet set{};
  set.all = ir[11] > 0;
  const double w = set.all ? 1.0 : 0.0;
  set.count = ListedThirdBodies(ir[12]);
  for (int j = 0; j < set.count; ++j) {
    set.species[j] = ir[16 + j] - 1;
    set.weight[j] = rr[11 + j] - w;
  }
  for (int s = 0; s < p.setCount; ++s) {
    const ColliderSet& o = p.sets[s];
    bool same = o.all == set.all && o.count == set.count;
    for (int j = 0; same && j < set.count; ++j)
      same = o.species[j] == set.species[j] && std::bit_cast<std::uint64_t>(o.weight[j]) ==
                                                    std::bit_cast<std::uint64_t>(set.weight[j]);
    if (same) return s;
  }
  p.sets[p.setCount] = set;
  return p.setCount++;
}

// The first `count` species numbers of `numbers` as 0-based slots, padded
// with the unit slot nspec to `size`; numbers outside 1..nspec (which a loaded file
// never holds) are left out.
void ListSpecies(const int* numbers, int count, int nspec, std::uint16_t* slots, int size) {
  int at = 0;
  for (int j = 0; j < count; ++j)
    if (numbers[j] >= 1 && numbers[j] <= nspec) slots[at++] = static_cast<std::uint16_t>(numbers[j] - 1);
  std::fill(slots + at, slots + size, static_cast<std::uint16_t>(nspec));
}

// The distinct (b, E) pairs of the forward and low-pressure rate constants:
// the pairs sorted in place (no memory of their own), equal neighbours
// merged. Pairs are equal when their bits are.
void PrepareExponents(PreparedModel& p, int nreac) {
  // Entry 2r is reaction r's forward pair, 2r+1 its low-pressure pair.
  int* order = p.involved;  // free until PrepareInvolved fills it
  auto pair = [&p](int e) {
    const ReactionInput& in = p.input[e >> 1];
    return (e & 1) ? ArrheniusExponent{in.b0, in.E0} : ArrheniusExponent{in.b, in.E};
  };
  auto key = [&](int e) {
    const ArrheniusExponent x = pair(e);
    return std::pair{std::bit_cast<std::uint64_t>(x.b), std::bit_cast<std::uint64_t>(x.E)};
  };
  for (int e = 0; e < 2 * nreac; ++e) order[e] = e;
  std::sort(order, order + 2 * nreac, [&](int a, int b) { return key(a) < key(b); });
  p.exponentCount = 0;
  for (int at = 0; at < 2 * nreac; ++at) {
    const int e = order[at];
    if (at == 0 || key(e) != key(order[at - 1])) p.exponents[p.exponentCount++] = pair(e);
    ((e & 1) ? p.lowExponent : p.forwardExponent)[e >> 1] = p.exponentCount - 1;
  }
}

// How many of a padded species list are species (the padding, the unit
// slot, comes last).
int Listed(const std::uint16_t* slots, int size, int unit) {
  return static_cast<int>(std::find(slots, slots + size, unit) - slots);
}

// The mass-action reactions that list each species, in reaction order.
void PrepareInvolved(PreparedModel& p, int nspec) {
  // Calls visit(species, q) once for every species that reaction q lists.
  auto walk = [&p](auto&& visit) {
    for (int q = 0; q < p.massActionCount; ++q) {
      const MassActionReaction& m = p.massAction[q];
      std::uint16_t listed[6];
      std::copy(m.reactant, m.reactant + 3, listed);
      std::copy(m.product, m.product + 3, listed + 3);
      for (int j = 0; j < 6; ++j)
        if (listed[j] != p.unit && std::find(listed, listed + j, listed[j]) == listed + j) visit(listed[j], q);
    }
  };
  int next[kMaxSpecies] = {};
  walk([&](int species, int) { ++next[species]; });
  int at = 0;
  for (int i = 0; i < nspec; ++i) {
    p.involvedStart[i] = at;
    at += next[i];
    next[i] = p.involvedStart[i];
  }
  p.involvedStart[nspec] = at;
  walk([&](int species, int q) { p.involved[next[species]++] = q; });

  int others = 0;
  for (int i = 0; i < nspec; ++i) {
    p.otherStart[i] = others;
    for (int e = p.involvedStart[i], a = 0; e < p.involvedStart[i + 1]; ++e, ++a) {
      const MassActionReaction& m = p.massAction[p.involved[e]];
      double count = 0.0;
      auto visit = [&](const std::uint16_t* slots, int size, int side) {
        for (int j = 0; j < size; ++j) {
          if (slots[j] == p.unit) continue;
          if (slots[j] == i) {
            count += side == 0 ? -1.0 : 1.0;
          } else {
            p.other[others++] = {slots[j], static_cast<std::uint16_t>(2 * a + side)};
          }
        }
      };
      visit(m.reactant, 3, 0);
      visit(m.product, 3, 1);
      p.involvedCount[e] = count;
    }
  }
  p.otherStart[nspec] = others;
}

// The equilibrium constant exp(-dg) (RC T)^-dn of a reversible reaction and
// its inverse, from the species terms of the current temperature: exp(-dg)
// is the product of exp(-G/RT) of its products and exp(G/RT) of its
// reactants, with no division. The powers of two add up to within a few of
// -dg log2 e, in the range of normal numbers as |dg| <= EXPLIM; a sum out of
// that range (from absurd species values) takes exp(-dg) itself. The lists
// are gone through at their full, padded length (the unit slot adds 0 to the
// sums and 1 to the products), so that no loop's length varies; returns dg.
inline double SetEquilibrium(const EquilibriumReaction& e) {
  TemperatureValues& v = values;
  const SpeciesTerm* term = v.speciesTerm;
  const SpeciesTerm& p0 = term[e.product[0]];
  const SpeciesTerm& p1 = term[e.product[1]];
  const SpeciesTerm& p2 = term[e.product[2]];
  const SpeciesTerm& r0 = term[e.reactant[0]];
  const SpeciesTerm& r1 = term[e.reactant[1]];
  const SpeciesTerm& r2 = term[e.reactant[2]];
  // Products and reactants apart, then together: short chains of dependent
  // operations.
  double products = p0.grt + p1.grt + p2.grt;
  double productMantissa = p0.mantissa * p1.mantissa * p2.mantissa;
  double productInverse = p0.inverse * p1.inverse * p2.inverse;
  std::int64_t power = p0.power + p1.power + p2.power;
  if (e.moreProducts) {
    const ReactionInput& in = prepared.input[e.r];
    for (int k = 3; k < 6; ++k) {
      const SpeciesTerm& t = term[in.product[k]];
      products += t.grt;
      productMantissa *= t.mantissa;
      productInverse *= t.inverse;
      power += t.power;
    }
  }
  const double reactants = r0.grt + r1.grt + r2.grt;
  const double mantissa = productMantissa * (r0.inverse * r1.inverse * r2.inverse);
  const double inverse = productInverse * (r0.mantissa * r1.mantissa * r2.mantissa);
  power -= r0.power + r1.power + r2.power;
  const int r = e.r;
  const double dg = products - reactants;
  const double* rct = v.rctPower + kMaxMoleChange;
  if (power >= -kEquilibriumPowerLimit && power <= kEquilibriumPowerLimit && std::isfinite(mantissa)) {
    v.kc[r] = mantissa * PowerOfTwo(power) * rct[-e.moleChange];
    v.inverseKc[r] = inverse * PowerOfTwo(-power) * rct[e.moleChange];
  } else {
    v.kc[r] = std::exp(-dg) * rct[-e.moleChange];
    v.inverseKc[r] = std::exp(dg) * rct[e.moleChange];
  }
  v.kr[r] = v.kf[r] * v.inverseKc[r];
  return dg;
}

// Reads the tables into the compact form.
void Prepare(const int* ireac, const double* rreac, const double* th, int nspec, int nreac) {
  PreparedModel& p = prepared;
  CarveStore(nspec, nreac);
  p.unit = nspec;
  p.zeroTerm = 2 * nreac;
  values.rreac = nullptr;
  values.th = nullptr;
  base.valid = false;
  for (int i = 0; i < nspec; ++i) {
    p.mass[i] = th[i * kThSlots + 14];
    p.inverseMass[i] = 1.0 / p.mass[i];
  }
  p.massActionCount = 0;
  p.generalCount = 0;
  p.fallOffCount = 0;
  p.setCount = 0;
  for (int r = 0; r < nreac; ++r) {
    const int* ir = ireac + r * kIreacSlots;
    const double* rr = rreac + r * kRreacSlots;
    ReactionInput& in = p.input[r];
    in.A = rr[0];
    in.b = rr[1];
    in.E = rr[2];
    in.A0 = rr[3];
    in.b0 = rr[4];
    in.E0 = rr[5];
    for (int k = 0; k < 5; ++k) in.broadening[k] = rr[6 + k];
    in.lowPressure = FallOffReaction(ir[13]);
    in.form = ir[14];
    in.reverse = ir[15];
    in.reactants = std::clamp(ir[9], 0, 3);
    in.products = std::clamp(ir[10], 0, 6);
    ListSpecies(ir, in.reactants, nspec, in.reactant, 3);
    ListSpecies(ir + 3, in.products, nspec, in.product, 6);

    const bool thirdBody = ir[11] > 0 || ir[12] > 0;
    const bool moreProducts = ir[10] > 3;
    in.general = thirdBody || in.lowPressure || moreProducts;
    if (!in.general) {
      MassActionReaction& m = p.massAction[p.massActionCount++];
      m.r = r;
      std::copy(in.reactant, in.reactant + 3, m.reactant);
      std::copy(in.product, in.product + 3, m.product);
      m.reactants = static_cast<std::uint8_t>(Listed(m.reactant, 3, nspec));
      m.products = static_cast<std::uint8_t>(Listed(m.product, 3, nspec));
    } else {
      if (in.lowPressure) p.fallOff[p.fallOffCount++] = p.generalCount;
      GeneralReaction& g = p.general[p.generalCount++];
      g.r = r;
      g.set = thirdBody ? ColliderSetOf(p, ir, rr) : -1;
      g.fallOff = in.lowPressure;
      g.reversible = in.reverse == 1;
      std::copy(in.reactant, in.reactant + 3, g.reactant);
      std::copy(in.product, in.product + 6, g.product);
    }
  }
  PrepareExponents(p, nreac);
  p.troeCount = p.lowPressureCount = p.sriCount = p.reversibleCount = 0;
  p.moleChanges[0] = p.moleChanges[1] = 0;
  for (int r = 0; r < nreac; ++r) {
    const ReactionInput& in = p.input[r];
    if (IsTroe(in.form)) {
      p.troePlace[r] = p.troeCount;
      p.troe[p.troeCount++] = r;
    } else if (in.form == 2) {
      p.sri[p.sriCount++] = r;
    }
    if (in.lowPressure) p.lowPressure[p.lowPressureCount++] = r;
    p.A[r] = in.A;
    if (in.reverse == 1) {
      EquilibriumReaction& e = p.reversible[p.reversibleCount++];
      e.r = r;
      std::copy(in.product, in.product + 3, e.product);
      std::copy(in.reactant, in.reactant + 3, e.reactant);
      e.moleChange = static_cast<std::int8_t>(in.products - in.reactants);
      e.moreProducts = in.products > 3;
      const int dn = std::abs(e.moleChange);
      p.moleChanges[0] = std::min(p.moleChanges[0], -dn);
      p.moleChanges[1] = std::max(p.moleChanges[1], dn);
    }
  }
  for (int i = 0; i < nspec; ++i) {
    const double* a = th + i * kThSlots;
    double upper = 0.0;
    double lower = 0.0;
    for (int k = 0; k < 7; ++k) upper += a[k];
    for (int k = 7; k < 14; ++k) lower += a[k];
    for (int k = 0; k < 14; ++k) p.coefficient[k][i] = a[k];
    p.commonTemperature[i] = a[17];
    p.upperData[i] = upper != 0.0;
    p.lowerData[i] = lower != 0.0;
  }
  PrepareInvolved(p, nspec);
  PrepareTerms(p.terms, p.input, nspec, nreac, [](const ReactionInput&) { return true; });
  p.anyHeatExcluded = std::any_of(p.input, p.input + nreac, [](const ReactionInput& in) { return in.reverse == -1; });
  PrepareTerms(p.heatExcludedTerms, p.input, nspec, nreac, [](const ReactionInput& in) { return in.reverse == -1; });
  PrepareTerms(p.generalTerms, p.input, nspec, nreac, [](const ReactionInput& in) { return in.general; });
  for (int r = 0; r < nreac; ++r) values.kc[r] = values.inverseKc[r] = values.kr[r] = 0.0;
  SolverCommon.concentration[nspec] = 1.0;
  values.speciesTerm[nspec] = {0.0, 1.0, 1.0, 0};
  work.signedRates[p.zeroTerm] = 0.0;
  p.ireac = ireac;
  p.rreac = rreac;
  p.th = th;
  p.nspec = nspec;
  p.nreac = nreac;
}

inline void EnsurePrepared(const int* ireac, const double* rreac, const double* th, int nspec, int nreac) {
  const PreparedModel& p = prepared;
  if (p.ireac != ireac || p.rreac != rreac || p.th != th || p.nspec != nspec || p.nreac != nreac)
    Prepare(ireac, rreac, th, nspec, nreac);
}

// H/RT, Cp/R and S/R from one set of seven coefficients; tpow holds ln T,
// T^2, T^3, T^4.
inline void Polynomials(const double* a, double T, const double* tpow, double& hrt, double& cpr, double& sr) {
  const double p2 = a[1] * T;
  const double p3 = a[2] * tpow[1];
  const double p4 = a[3] * tpow[2];
  const double p5 = a[4] * tpow[3];
  cpr = p2 + a[0] + p3 + p4 + p5;
  hrt = p2 * 0.5 + a[0] + p3 / 3.0 + p4 * 0.25 + p5 / 5.0 + a[5] / T;
  sr = a[0] * tpow[0] + p2 + p3 * 0.5 + p4 / 3.0 + p5 * 0.25 + a[6];
}

// H/RT, Cp/R, S/R and G/RT of every species at T, as SolverSpeciesThermo, and exp(-G/RT) split into a power of two and a
// mantissa, so that products of such terms neither overflow nor underflow
// on the way.
KX_VECTOR_CLONES
void SpeciesFunctions(const PreparedModel& p, int nspec, double T, const double* tpow, TemperatureValues& v) {
  double* __restrict hrt = v.hrt;
  double* __restrict cpr = v.cpr;
  double* __restrict sr = v.sr;
  double* __restrict grt = v.grt;
  double* __restrict fraction = v.scratch;
  for (int i = 0; i < nspec; ++i) {
    const bool upper = T > p.commonTemperature[i];
    const bool data = upper ? p.upperData[i] : p.lowerData[i];
    double a[7];
    for (int k = 0; k < 7; ++k) {
      const double high = p.coefficient[k][i];
      const double low = p.coefficient[k + 7][i];
      a[k] = upper ? high : low;
    }
    double h, c, e;
    Polynomials(a, T, tpow, h, c, e);
    hrt[i] = data ? h : 0.0;
    cpr[i] = data ? c : 0.0;
    sr[i] = data ? e : 0.0;
    grt[i] = hrt[i] - sr[i];
    const double z = -grt[i] * kLog2e;
    const double part = (z - std::nearbyint(z)) * kLn2;
    fraction[i] = std::fabs(z) <= kPowerCut ? part : 0.0;
  }
  ExpArray(v.scratch, v.gibbsMantissa, nspec);
  for (int i = 0; i < nspec; ++i) {
    // A species without a split (absurd values, not a number) makes the
    // equilibrium constants of its reactions fall back on exp(-dg).
    const double z = -grt[i] * kLog2e;
    const bool split = std::fabs(z) <= kPowerCut;
    const double mantissa = split ? v.gibbsMantissa[i] : kNotANumber;
    const std::int64_t power = split ? static_cast<std::int64_t>(std::nearbyint(z)) : 0;
    v.speciesTerm[i] = {grt[i], mantissa, 1.0 / mantissa, power};
  }
}

// Per distinct Arrhenius exponent: x = -E/(RE T) and T^b exp(x), one
// exponential of b ln T + x (infinite where that overflows). True when some
// x is above the exponent limit.
KX_VECTOR_CLONES
bool ArrheniusFactors(const ArrheniusExponent* __restrict exponents, int count, double RT, double lnT,
                      double explim, double* __restrict x, double* __restrict argument, double* __restrict factor) {
  bool above = false;
  for (int e = 0; e < count; ++e) {
    x[e] = -exponents[e].E / RT;
    argument[e] = exponents[e].b * lnT + x[e];
    above |= x[e] > explim;
  }
  ExpArray(argument, factor, count);
  return above;
}

// The SRI factor d T^e (d only when above 0) of reaction r.
inline void SetSriFactor(int r, double lnT) {
  const double* bp = prepared.input[r].broadening;
  double factor = 1.0;
  if (bp[3] > 0.0) factor = bp[3];
  if (bp[4] != 0.0) factor = factor * std::exp(bp[4] * lnT);
  values.sriFactor[r] = factor;
}

// Goes through the reactions in order, each one's checks in the order 2, 5,
// 6/8, 3/4, and reports the first that fails (the report ends the run).
void ReportFirstRateFailure(double T) {
  const PreparedModel& p = prepared;
  const TemperatureValues& v = values;
  const SolverCommonBlock& c = SolverCommon;
  const double explim = c.EXPLIM;
  for (int r = 0; r < p.nreac; ++r) {
    const ReactionInput& in = p.input[r];
    int code = 0;
    if (v.exponent[p.forwardExponent[r]] > explim) {
      code = 2;
    } else if (in.lowPressure && v.exponent[p.lowExponent[r]] > explim) {
      code = 5;
    } else if (IsTroe(in.form)) {
      const int t = p.troePlace[r];
      const double* e = v.troeArgument + 3 * t;
      if (e[0] > explim || e[1] > explim || e[2] > explim) code = 6;
      else if (v.troeCentre[t] <= 0.0) code = 8;
    } else if (in.form == 2 && (-in.broadening[1] / T > explim || -T / in.broadening[2] > explim)) {
      code = 6;
    }
    if (code == 0 && in.reverse == 1) {
      if (v.dg[r] > explim) code = 3;
      else if (v.dg[r] < -explim) code = 4;
    }
    if (code != 0) SolverReportError(code, c.XNOW, T, r + 1, 0, 1);
  }
}

// An isothermal run's evaluations take the rate constants that stand in the
// tables (set up once by SolverRateConstants at T0); they are read into the
// compact form when these tables have not just been computed here.
void TakeConstantsFromTables(double T, const double* rreac, const double* th, int nspec, int nreac) {
  TemperatureValues& v = values;
  const double lnT = std::log(T);
  for (int i = 0; i < nspec; ++i) {
    v.hrt[i] = th[i * kThSlots + 18];
    v.cpr[i] = th[i * kThSlots + 19];
  }
  for (int r = 0; r < nreac; ++r) {
    const double* rr = rreac + r * kRreacSlots;
    v.kf[r] = rr[21];
    v.kc[r] = rr[22];
    v.k0[r] = rr[23];
    v.logFc[r] = rr[24];
    if (prepared.input[r].form == 2) v.sriLogBase[r] = std::log(rr[24]);
    const ReactionInput& in = prepared.input[r];
    const bool reversible = in.reverse == 1;
    v.inverseKc[r] = reversible ? 1.0 / v.kc[r] : 0.0;
    v.kr[r] = reversible ? v.kf[r] / v.kc[r] : 0.0;
    v.lowRatio[r] = in.lowPressure ? v.k0[r] / v.kf[r] : 0.0;
    if (IsTroe(in.form)) {
      v.troeC[r] = -0.4 - 0.67 * v.logFc[r];
      v.troeN[r] = 0.75 - 1.27 * v.logFc[r];
    } else if (in.form == 2) {
      SetSriFactor(r, lnT);
    }
  }
  v.T = T;
  v.rreac = rreac;
  v.th = th;
  ++v.generation;
}

// The sum of term(0) .. term(n-1) in kLanes interleaved partial sums added
// up at the end: always the same order (so the same bits for the same
// terms), with chains of dependent additions a quarter as long.
constexpr int kLanes = 4;
template <typename Term>
inline double LaneSum(int n, Term term) {
  double lane[kLanes] = {};
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    for (int k = 0; k < kLanes; ++k) lane[k] += term(i + k);
  for (int k = 0; i < n; ++i, ++k) lane[k] += term(i);
  return (lane[0] + lane[1]) + (lane[2] + lane[3]);
}

// Y/M of every species (by the inverse molar masses); returns their sum.
KX_VECTOR_CLONES
double MolesPerMass(const double* __restrict y, const double* __restrict inverseMass, int nspec,
                    double* __restrict ym) {
  for (int i = 0; i < nspec; ++i) ym[i] = y[i] * inverseMass[i];
  return LaneSum(nspec, [ym](int i) { return ym[i]; });
}

// Mole fractions and concentrations (also into TH slots 24 and 23) from Y/M
// and its sum; returns the mass density.
KX_VECTOR_CLONES
double Concentrations(const double* __restrict ym, double s, const double* __restrict mass, double ctot,
                      int nspec, double* __restrict x, double* __restrict conc, double* th) {
  const double inverseSum = 1.0 / s;
  for (int i = 0; i < nspec; ++i) {
    x[i] = ym[i] * inverseSum;
    conc[i] = ctot * x[i];
  }
  for (int i = 0; i < nspec; ++i) {
    th[i * kThSlots + 23] = x[i];
    th[i * kThSlots + 22] = conc[i];
  }
  return LaneSum(nspec, [conc, mass](int i) { return conc[i] * mass[i]; });
}

void ColliderConcentrations(const PreparedModel& p, const double* c, double ctot, double* collider) {
  for (int s = 0; s < p.setCount; ++s) {
    const ColliderSet& set = p.sets[s];
    double cm = set.all ? ctot : 0.0;
    for (int j = 0; j < set.count; ++j) cm += set.weight[j] * c[set.species[j]];
    collider[s] = cm;
  }
}

// Net rates of the mass-action reactions, stored as -R and +R (a negation
// is exact); the forward and reverse rates are kept for the Jacobian columns.
void MassActionRates(const MassActionReaction* reactions, int count, const double* kf, const double* kr,
                     const double* c, double* rates, double* forward, double* reverse) {
  for (int q = 0; q < count; ++q) {
    const MassActionReaction& m = reactions[q];
    const int r = m.r;
    const double rf = kf[r] * c[m.reactant[0]] * c[m.reactant[1]] * c[m.reactant[2]];
    const double rb = kr[r] * c[m.product[0]] * c[m.product[1]] * c[m.product[2]];
    const double R = rf - rb;
    forward[q] = rf;
    reverse[q] = rb;
    rates[2 * r] = -R;
    rates[2 * r + 1] = R;
  }
}

// The factor m = Pr/(1 + Pr) F of each fall-off reaction (by its position
// among the general reactions), or false for a reaction that adds nothing:
// without a collider concentration above 0, or with a vanishing rate
// constant the fall-off expression has no value. A full evaluation keeps the
// broadening of every fall-off reaction; a Jacobian column, whose collider
// concentrations differ from those by a relative 1e-8 or so, takes log Pr and
// the broadening factor from them by their series, exact to rounding where
// the change is below kSeriesLimit.
template <bool kColumn>
void FallOffFactors(const PreparedModel& p, const TemperatureValues& v, const double* collider, double* factor,
                    bool* contributes) {
  for (int f = 0; f < p.fallOffCount; ++f) {
    const int q = p.fallOff[f];
    const GeneralReaction& g = p.general[q];
    const int r = g.r;
    FallOffBase& b = base.fallOff[q];
    if (!kColumn) b.valid = false;
    const double cm = g.set >= 0 ? collider[g.set] : 0.0;
    contributes[q] = g.set >= 0 && cm > 0.0 && v.kf[r] != 0.0 && v.k0[r] != 0.0;
    if (!contributes[q]) continue;
    const double pr = v.lowRatio[r] * cm;
    double m = pr / (1.0 + pr);
    const int form = p.input[r].form;
    if (IsTroe(form) || form == 2) {
      const bool series = kColumn && b.valid;
      // log10 Pr, with Pr/Pr(base) = 1 + u.
      const double u = series ? (cm - b.collider) / b.collider : kInfinity;
      const double logPr =
          std::fabs(u) <= kSeriesLimit ? b.logPr + (u - 0.5 * u * u) * kLog10e : std::log(pr) * kLog10e;
      // ln F of the broadening factor F.
      double logF;
      if (IsTroe(form)) {
        const double t = (logPr + v.troeC[r]) / (v.troeN[r] - 0.14 * (logPr + v.troeC[r]));
        logF = v.logFc[r] / (1.0 + t * t) * kLn10;
      } else {
        logF = 1.0 / (1.0 + logPr * logPr) * v.sriLogBase[r];
      }
      const double w = series ? logF - b.logF : kInfinity;
      const double F = std::fabs(w) <= kSeriesLimit ? b.F + b.F * (w + 0.5 * w * w) : std::exp(logF);
      if (!kColumn) b = {cm, logPr, logF, F, true};
      m = m * (form == 2 ? F * v.sriFactor[r] : F);
    }
    factor[q] = m;
  }
}

// Net rates of the other reactions: third bodies, fall-off with its
// broadening, more than three products. A reaction that contributes nothing
// keeps +0 and -0.
template <bool kColumn>
void GeneralRates(const PreparedModel& p, const TemperatureValues& v, const double* c, const double* collider,
                  double* rates) {
  double* factor = work.fallOffFactor;
  bool* contributes = work.contributes;
  FallOffFactors<kColumn>(p, v, collider, factor, contributes);
  for (int q = 0; q < p.generalCount; ++q) {
    const GeneralReaction& g = p.general[q];
    const int r = g.r;
    rates[2 * r] = -0.0;
    rates[2 * r + 1] = 0.0;
    double m = 1.0;
    if (g.fallOff) {
      if (!contributes[q]) continue;
      m = factor[q];
    } else if (g.set >= 0) {
      m = collider[g.set];
      if (m <= 0.0) continue;
    }

    // Mass action: R = k m c(reactants) - (k m / Kc) c(products).
    const double kEff = v.kf[r] * m;
    const double rf = kEff * c[g.reactant[0]] * c[g.reactant[1]] * c[g.reactant[2]];
    double rrev = 0.0;
    if (g.reversible) {
      rrev = kEff * v.inverseKc[r] * c[g.product[0]] * c[g.product[1]] * c[g.product[2]];
      rrev = rrev * c[g.product[3]] * c[g.product[4]] * c[g.product[5]];
    }
    rates[2 * r] = -(rf - rrev);
    rates[2 * r + 1] = rf - rrev;
  }
}

// The per-species sums of the base state's mass-action terms by their
// number of concentration factors.
void BuildOrderSums(const PreparedModel& p, int nspec) {
  for (auto& sums : base.orderSums) std::fill(sums, sums + nspec, 0.0);
  for (int q = 0; q < p.massActionCount; ++q) {
    const MassActionReaction& m = p.massAction[q];
    const double rf = base.forward[q];
    const double rb = base.reverse[q];
    double* f = base.orderSums[m.reactants - 1];
    double* b = base.orderSums[m.products - 1];
    for (int j = 0; j < m.reactants; ++j) {
      f[m.reactant[j]] -= rf;
      b[m.reactant[j]] += rb;
    }
    for (int j = 0; j < m.products; ++j) {
      f[m.product[j]] += rf;
      b[m.product[j]] -= rb;
    }
  }
  base.sumsReady = true;
}

// The species whose mass fraction alone differs from the base state, or -1
// (another state, the same state, or a changed temperature).
int ColumnSpecies(const double* y, int n, int nspec) {
  int changed = -1;
  for (int k = 0; k < n; ++k) {
    if (std::bit_cast<std::uint64_t>(y[k]) == std::bit_cast<std::uint64_t>(base.y[k])) continue;
    if (changed >= 0) return -1;
    changed = k;
  }
  return changed < nspec ? changed : -1;
}

// Molar production rates of a Jacobian column that changes the mass
// fraction of species i of the base state; leaves the concentrations as a
// full evaluation does and returns the mass density.
double ColumnProduction(const PreparedModel& p, const TemperatureValues& v, const double* y, int i, int nspec,
                        double ctot, double* th, double* production) {
  double* ym = work.molesPerMass;
  const double baseYm = ym[i];
  ym[i] = y[i] * p.inverseMass[i];
  const double s = base.sum + (ym[i] - baseYm);
  double* conc = SolverCommon.concentration;
  const double rho = Concentrations(ym, s, p.mass, ctot, nspec, work.moleFraction, conc, th);
  ym[i] = baseYm;

  // Third bodies and fall-off: evaluated anew.
  ColliderConcentrations(p, conc, ctot, work.collider);
  GeneralRates<true>(p, v, conc, work.collider, work.signedRates);
  double* general = work.generalProduction;
  Gather(p.generalTerms, work.signedRates, general);

  // Every other concentration is scaled by lambda.
  const double lambda = base.sum / s;
  const double scale[4] = {1.0, lambda, lambda * lambda, lambda * lambda * lambda};
  if (!base.sumsReady) BuildOrderSums(p, nspec);
  for (int j = 0; j < nspec; ++j)
    production[j] = scale[1] * base.orderSums[0][j] + scale[2] * base.orderSums[1][j] +
                    scale[3] * base.orderSums[2][j] + general[j];

  // The mass-action reactions of species i: their new rates in place of the
  // scaled ones, added to species i and to the other species of each.
  double* changes = work.changes;
  double own = 0.0;
  for (int e = p.involvedStart[i], a = 0; e < p.involvedStart[i + 1]; ++e, ++a) {
    const int q = p.involved[e];
    const MassActionReaction& m = p.massAction[q];
    const int r = m.r;
    const double rf = v.kf[r] * conc[m.reactant[0]] * conc[m.reactant[1]] * conc[m.reactant[2]];
    const double rb = v.kr[r] * conc[m.product[0]] * conc[m.product[1]] * conc[m.product[2]];
    const double change = (rf - scale[m.reactants] * base.forward[q]) - (rb - scale[m.products] * base.reverse[q]);
    changes[2 * a] = -change;
    changes[2 * a + 1] = change;
    own += p.involvedCount[e] * change;
  }
  production[i] += own;
  for (int e = p.otherStart[i]; e < p.otherStart[i + 1]; ++e) production[p.other[e].species] += changes[p.other[e].term];
  return rho;
}

}  // namespace

void SolverUseModel(const SolverModel& m) {
  SolverCommonBlock& c = SolverCommon;
  c.MODE = m.MODE;
  c.P = m.P;
  c.T0 = m.T0;
  c.RE = m.RE;
  c.RC = m.RC;
  c.TMIN = m.TMIN;
  c.TMAX = m.TMAX;
  c.EXPLIM = kExponentLimit;
  c.XEND = m.XEND;
  c.NOUT = m.NOUT;
  prepared.ireac = nullptr;
  values.rreac = nullptr;
  values.th = nullptr;
  base.valid = false;
}

void SolverSpeciesThermo(const double* A, double T, double TCOMMON, const double* TPOW, double& HRT,
                         double& CPR, double& SR) {
  HRT = 0.0;
  CPR = 0.0;
  SR = 0.0;
  double upper = 0.0;
  double lower = 0.0;
  for (int k = 0; k < 7; ++k) upper += A[k];
  for (int k = 7; k < 14; ++k) lower += A[k];
  const double* a;
  if (T > TCOMMON && upper != 0.0)
    a = A;
  else if (T <= TCOMMON && lower != 0.0)
    a = A + 7;
  else
    return;
  Polynomials(a, T, TPOW, HRT, CPR, SR);
}

void SolverRateConstants(double T, double* RREAC, const int* IREAC, int NSPEC, int NREAC, double* TH) {
  SolverCommonBlock& c = SolverCommon;
  EnsurePrepared(IREAC, RREAC, TH, NSPEC, NREAC);
  const PreparedModel& p = prepared;
  TemperatureValues& v = values;
  v.rreac = nullptr;
  v.th = nullptr;
  const double explim = c.EXPLIM;

  const double TPOW[4] = {std::log(T), T * T, T * T * T, T * T * T * T};
  const double lnT = TPOW[0];
  SpeciesFunctions(p, NSPEC, T, TPOW, v);
  for (int i = 0; i < NSPEC; ++i) {
    double* th = TH + i * kThSlots;
    th[18] = v.hrt[i];
    th[19] = v.cpr[i];
    th[20] = v.sr[i];
    th[21] = v.grt[i];
  }

  const double RT = c.RE * T;
  const double RCT = c.RC * T;
  for (int d = p.moleChanges[0]; d <= p.moleChanges[1]; ++d) v.rctPower[kMaxMoleChange + d] = PowInt(RCT, d);
  // Each check below only notes a failure; the reactions are then gone
  // through in order for the first one (SolverReportError ends the run).
  bool failed = ArrheniusFactors(p.exponents, p.exponentCount, RT, lnT, explim, v.exponent, v.scratch, v.factor);

  for (int r = 0; r < NREAC; ++r) {
    const int fe = p.forwardExponent[r];
    const double factor = v.factor[fe];
    v.kf[r] = RREAC[r * kRreacSlots + 21] =
        std::isinf(factor) ? Unfused(p.A[r], p.input[r].b, v.exponent[fe], T) : p.A[r] * factor;
  }
  for (int q = 0; q < p.lowPressureCount; ++q) {
    const int r = p.lowPressure[q];
    const ReactionInput& in = p.input[r];
    const int le = p.lowExponent[r];
    v.k0[r] = RREAC[r * kRreacSlots + 23] = Arrhenius(in.A0, in.b0, v.exponent[le], v.factor[le], T);
    v.lowRatio[r] = v.k0[r] / v.kf[r];
  }

  // Troe: Fc = (1 - alpha) exp(-T/T***) + alpha exp(-T/T*) [+ exp(-T**/T)].
  for (int t = 0; t < p.troeCount; ++t) {
    double* e = v.troeArgument + 3 * t;
    TroeExponents(p.input[p.troe[t]], T, explim, e);
    failed |= e[0] > explim || e[1] > explim || e[2] > explim;
  }
  ExpArray(v.troeArgument, v.troeExp, 3 * p.troeCount);
  for (int t = 0; t < p.troeCount; ++t) {
    const int r = p.troe[t];
    const ReactionInput& in = p.input[r];
    const double alpha = in.broadening[0];
    const double* ex = v.troeExp + 3 * t;
    double fc = (1.0 - alpha) * ex[0] + alpha * ex[1];
    if (in.form == 1) fc = fc + ex[2];
    v.troeCentre[t] = fc;
    failed |= fc <= 0.0;
    v.logFc[r] = RREAC[r * kRreacSlots + 24] = std::log(fc) * kLog10e;
    v.troeC[r] = -0.4 - 0.67 * v.logFc[r];
    v.troeN[r] = 0.75 - 1.27 * v.logFc[r];
  }
  // SRI: a exp(-b/T) + exp(-T/c), and the factor d T^e.
  for (int q = 0; q < p.sriCount; ++q) {
    const int r = p.sri[q];
    const double* bp = p.input[r].broadening;
    const double e1 = -bp[1] / T;
    const double e2 = -T / bp[2];
    failed |= e1 > explim || e2 > explim;
    const double base = RREAC[r * kRreacSlots + 24] = bp[0] * std::exp(e1) + std::exp(e2);
    v.sriLogBase[r] = std::log(base);
    SetSriFactor(r, lnT);
  }

  // Equilibrium constants (those of the other reactions stay 0, as Prepare
  // set them).
  for (int q = 0; q < p.reversibleCount; ++q) {
    const double dg = SetEquilibrium(p.reversible[q]);
    v.dg[p.reversible[q].r] = dg;
    failed |= dg > explim || dg < -explim;
  }
  for (int r = 0; r < NREAC; ++r) RREAC[r * kRreacSlots + 22] = v.kc[r];

  if (failed) ReportFirstRateFailure(T);
  v.T = T;
  v.rreac = RREAC;
  v.th = TH;
  ++v.generation;
}

void SolverRhs(int& N, double& X, double* Y, double* F, double* RPAR, int* IPAR, int& NSPEC, int& NREAC,
               double* TH) {
  if (SolverStopSignal != 0) throw SolverStopRequested{};
  SolverCommonBlock& c = SolverCommon;
  c.XNOW = X;
  const int n = N;
  const int nspec = NSPEC;
  const int nreac = NREAC;
  EnsurePrepared(IPAR, RPAR, TH, nspec, nreac);
  const PreparedModel& p = prepared;
  TemperatureValues& v = values;
  const double T = c.MODE == 1 ? Y[n - 1] : c.T0;
  if (!TemperatureAllowed(T, c.TMIN, c.TMAX)) SolverReportError(1, X, T, 0, 0, 1);
  // The temperature-dependent values are computed anew only when the
  // temperature changed since they were; an isothermal run takes those of
  // T0 from the tables.
  if (v.rreac != RPAR || v.th != TH || (c.MODE == 1 && v.T != T)) {
    if (c.MODE == 1)
      SolverRateConstants(T, RPAR, IPAR, nspec, nreac, TH);
    else
      TakeConstantsFromTables(T, RPAR, TH, nspec, nreac);
  }

  const double ctot = c.P / (c.RC * T);
  double* production = work.production;
  double* heat = nullptr;  // no reaction is heat-excluded
  double rho;
  const int column = base.valid && base.generation == v.generation && base.n == n && base.ctot == ctot
                         ? ColumnSpecies(Y, n, nspec)
                         : -1;
  if (column >= 0) {
    rho = ColumnProduction(p, v, Y, column, nspec, ctot, TH, production);
  } else {
    // A full evaluation, which becomes the base of the columns that follow.
    base.valid = false;
    double* conc = c.concentration;
    const double s = MolesPerMass(Y, p.inverseMass, nspec, work.molesPerMass);
    rho = Concentrations(work.molesPerMass, s, p.mass, ctot, nspec, work.moleFraction, conc, TH);
    ColliderConcentrations(p, conc, ctot, work.collider);
    double* rates = work.signedRates;
    MassActionRates(p.massAction, p.massActionCount, v.kf, v.kr, conc, rates, base.forward, base.reverse);
    GeneralRates<false>(p, v, conc, work.collider, rates);

    // Molar production rates, and the part of them that releases no heat.
    Gather(p.terms, rates, production);
    if (p.anyHeatExcluded) {
      heat = work.heatExcluded;
      Gather(p.heatExcludedTerms, rates, heat);
    } else {
      std::copy(Y, Y + n, base.y);
      base.n = n;
      base.generation = v.generation;
      base.ctot = ctot;
      base.sum = s;
      base.sumsReady = false;
      base.valid = true;
    }
  }

  if (c.MODE == 1) {
    const double* x = work.moleFraction;
    const double* hrt = v.hrt;
    const double s1 = heat ? -LaneSum(nspec, [=](int i) { return (production[i] - heat[i]) * hrt[i]; })
                           : -LaneSum(nspec, [=](int i) { return production[i] * hrt[i]; });
    const double s2 = LaneSum(nspec, [x, &v](int i) { return x[i] * v.cpr[i]; });
    if (s2 == 0.0) SolverReportError(9, X, T, 0, 0, 1);
    F[n - 1] = T * s1 / (s2 * ctot);
  }
  const double inverseRho = 1.0 / rho;
  for (int i = 0; i < nspec; ++i) F[i] = production[i] * p.mass[i] * inverseRho;
}

}  // namespace kx
