// Species thermodynamics, rate constants and the right-hand side of the
// constant-pressure kinetic equations.
#include <algorithm>
#include <cmath>

#include "solver.h"

namespace kx {

SolverCommonBlock SolverCommon;

namespace {

// T^b and exp(x) where the common cases need no library call; both give the
// library's own result (pow(T, 0) and exp(0) are exactly 1).
inline double PowT(double T, double b) { return b == 0.0 ? 1.0 : std::pow(T, b); }
inline double Exp(double x) { return x == 0.0 ? 1.0 : std::exp(x); }

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

// A Troe exponent: -u, but never below -EXPLIM.
inline double TroeExponent(double u, double explim) { return u > explim ? -explim : -u; }

inline bool RateTablesHold(const SolverCommonBlock& c, double T, const double* rreac, const double* th) {
  return c.rateRreac == rreac && c.rateTh == th && c.rateTemperature == T;
}

// Rate terms of each species in reaction order, for the reactions that
// `include` accepts, laid out in groups of kTermLanes species.
template <typename Include>
void PrepareTerms(SolverRateTerms& t, const SolverReactionLists* lists, const int* ireac, int nspec, int nreac,
                  Include include) {
  int count[kMaxSpecies] = {};
  auto walk = [&](auto&& visit) {
    for (int r = 0; r < nreac; ++r) {
      if (!include(ireac + r * kIreacSlots)) continue;
      const SolverReactionLists& l = lists[r];
      for (int j = 0; j < 3; ++j)
        if (l.reactant[j] != kUnitSlot) visit(l.reactant[j], r << 1);
      for (int j = 0; j < 6; ++j)
        if (l.product[j] != kUnitSlot) visit(l.product[j], (r << 1) | 1);
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
      t.species[at] = at < nspec ? order[at] : kUnitSlot;
      if (at < nspec) rows = std::max(rows, count[order[at]]);
    }
    t.rowStart[g + 1] = t.rowStart[g] + rows;
    for (int k = 0; k < kTermLanes; ++k) {
      const int at = g * kTermLanes + k;
      for (int row = t.rowStart[g]; row < t.rowStart[g + 1]; ++row) t.term[row * kTermLanes + k] = kZeroTerm;
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
void Gather(const SolverRateTerms& t, const double* signedRates, double* out) {
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

// Species lists of every reaction from IREAC; numbers outside 1..nspec
// (which a loaded file never holds) fall on the unit slot.
void PrepareLists(SolverCommonBlock& c, const int* ireac, int nspec, int nreac) {
  auto slot = [nspec](int species) { return species >= 1 && species <= nspec ? species - 1 : kUnitSlot; };
  for (int r = 0; r < nreac; ++r) {
    const int* ir = ireac + r * kIreacSlots;
    SolverReactionLists& l = c.lists[r];
    for (int j = 0; j < 3; ++j) l.reactant[j] = j < ir[9] ? slot(ir[j]) : kUnitSlot;
    for (int j = 0; j < 6; ++j) l.product[j] = j < ir[10] ? slot(ir[3 + j]) : kUnitSlot;
    l.moreProducts = ir[10] > 3;
  }
  PrepareTerms(c.terms, c.lists, ireac, nspec, nreac, [](const int*) { return true; });
  PrepareTerms(c.heatExcludedTerms, c.lists, ireac, nspec, nreac, [](const int* ir) { return ir[15] == -1; });
  c.concentration[kUnitSlot] = 1.0;
  c.listsIreac = ireac;
  c.listsNreac = nreac;
  c.listsNspec = nspec;
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
  c.rateRreac = nullptr;
  c.rateTh = nullptr;
  c.listsIreac = nullptr;
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
  const double p2 = a[1] * T;
  const double p3 = a[2] * TPOW[1];
  const double p4 = a[3] * TPOW[2];
  const double p5 = a[4] * TPOW[3];
  CPR = p2 + a[0] + p3 + p4 + p5;
  HRT = p2 * 0.5 + a[0] + p3 / 3.0 + p4 * 0.25 + p5 / 5.0 + a[5] / T;
  SR = a[0] * TPOW[0] + p2 + p3 * 0.5 + p4 / 3.0 + p5 * 0.25 + a[6];
}

void SolverRateConstants(double T, double* RREAC, const int* IREAC, int NSPEC, int NREAC, double* TH) {
  SolverCommonBlock& c = SolverCommon;
  c.rateRreac = nullptr;
  c.rateTh = nullptr;
  const double explim = c.EXPLIM;

  double TPOW[4];
  TPOW[0] = std::log(T);
  TPOW[1] = T * T;
  TPOW[2] = T * TPOW[1];
  TPOW[3] = T * TPOW[2];
  for (int i = 0; i < NSPEC; ++i) {
    double* th = TH + i * kThSlots;
    double hrt, cpr, sr;
    SolverSpeciesThermo(th, T, th[17], TPOW, hrt, cpr, sr);
    th[18] = hrt;
    th[19] = cpr;
    th[20] = sr;
    th[21] = hrt - sr;
  }

  const double RT = c.RE * T;
  const double RCT = c.RC * T;
  for (int r = 1; r <= NREAC; ++r) {
    const int* ir = IREAC + (r - 1) * kIreacSlots;
    double* rr = RREAC + (r - 1) * kRreacSlots;

    const double x = -rr[2] / RT;
    if (x > explim) SolverReportError(2, c.XNOW, T, r, 0, 1);
    rr[21] = Exp(x) * (rr[0] * PowT(T, rr[1]));

    if (ir[13] == 1) {
      const double x0 = -rr[5] / RT;
      if (x0 > explim) SolverReportError(5, c.XNOW, T, r, 0, 1);
      rr[23] = Exp(x0) * (rr[3] * PowT(T, rr[4]));
    }

    const int form = ir[14];
    if (form == 1 || form == 3) {
      const double alpha = rr[6];
      const double e1 = TroeExponent(T / rr[7], explim);
      const double e2 = TroeExponent(T / rr[8], explim);
      const double e3 = form == 1 ? TroeExponent(rr[9] / T, explim) : 0.0;
      if (e1 > explim || e2 > explim || (form == 1 && e3 > explim)) SolverReportError(6, c.XNOW, T, r, 0, 1);
      double fc = (1.0 - alpha) * std::exp(e1) + alpha * std::exp(e2);
      if (form == 1) fc = fc + std::exp(e3);
      if (fc <= 0.0) SolverReportError(8, c.XNOW, T, r, 0, 1);
      rr[24] = std::log10(fc);
    } else if (form == 2) {
      const double e1 = -rr[7] / T;
      const double e2 = -T / rr[8];
      if (e1 > explim || e2 > explim) SolverReportError(6, c.XNOW, T, r, 0, 1);
      rr[24] = rr[6] * std::exp(e1) + std::exp(e2);
    }

    if (ir[15] == 1) {
      const int nr = ir[9];
      const int np = ir[10];
      double products = 0.0;
      double reactants = 0.0;
      for (int k = 0; k < np; ++k) products += TH[(ir[3 + k] - 1) * kThSlots + 21];
      for (int k = 0; k < nr; ++k) reactants += TH[(ir[k] - 1) * kThSlots + 21];
      const double dg = products - reactants;
      if (dg > explim) SolverReportError(3, c.XNOW, T, r, 0, 1);
      if (dg < -explim) SolverReportError(4, c.XNOW, T, r, 0, 1);
      rr[22] = std::exp(-dg) / PowInt(RCT, np - nr);
    } else {
      rr[22] = 0.0;
    }
  }

  c.rateTemperature = T;
  c.rateRreac = RREAC;
  c.rateTh = TH;
}

void SolverRhs(int& N, double& X, double* Y, double* F, double* RPAR, int* IPAR, int& NSPEC, int& NREAC,
               double* TH) {
  SolverCommonBlock& c = SolverCommon;
  c.XNOW = X;
  const int n = N;
  const int nspec = NSPEC;
  const int nreac = NREAC;
  if (c.listsIreac != IPAR || c.listsNreac != nreac || c.listsNspec != nspec) PrepareLists(c, IPAR, nspec, nreac);
  const double T = c.MODE == 1 ? Y[n - 1] : c.T0;
  // A temperature at or below zero (or not a number) is never in range.
  if (!(T > 0.0) || T < c.TMIN || T > c.TMAX) SolverReportError(1, X, T, 0, 0, 1);
  // The temperature-dependent tables are recomputed only when the
  // temperature changed since they were filled.
  if (c.MODE == 1 && !RateTablesHold(c, T, RPAR, TH)) SolverRateConstants(T, RPAR, IPAR, nspec, nreac, TH);

  const double ctot = c.P / (c.RC * T);
  double* ym = c.molesPerMass;
  double* conc = c.concentration;
  double s = 0.0;
  for (int i = 0; i < nspec; ++i) {
    ym[i] = Y[i] / TH[i * kThSlots + 14];
    s += ym[i];
  }
  double rho = 0.0;
  for (int i = 0; i < nspec; ++i) {
    double* th = TH + i * kThSlots;
    const double x = ym[i] / s;
    const double ci = ctot * x;
    th[23] = x;
    th[22] = ci;
    conc[i] = ci;
    rho += ci * th[14];
  }

  // Net rate of every reaction, stored as -R and +R (a negation is exact);
  // a reaction that contributes nothing has +0 and -0.
  const SolverReactionLists* lists = c.lists;
  double* rates = c.signedRates;
  for (int r = 0; r < nreac; ++r) {
    const int* ir = IPAR + r * kIreacSlots;
    const double* rr = RPAR + r * kRreacSlots;
    rates[2 * r] = -0.0;
    rates[2 * r + 1] = 0.0;
    const double k = rr[21];
    double m = 1.0;
    const int thirdBody = ir[11];
    const int listed = ir[12] < 10 ? ir[12] : 10;
    const bool hasThirdBody = thirdBody > 0 || listed > 0;
    double cm = 0.0;
    if (hasThirdBody) {
      double w = 0.0;
      if (thirdBody > 0) {
        cm = ctot;
        w = 1.0;
      }
      for (int j = 0; j < listed; ++j) cm += (rr[11 + j] - w) * conc[ir[16 + j] - 1];
      m = cm;
      if (cm <= 0.0) continue;
    }
    if (ir[13] == 1) {
      const double k0 = rr[23];
      // Without a collider concentration or with a vanishing limit rate the
      // fall-off expression has no value; such a reaction adds nothing.
      if (!hasThirdBody || k == 0.0 || k0 == 0.0) continue;
      const double pr = k0 * cm / k;
      m = pr / (1.0 + pr);
      const int form = ir[14];
      if (form == 1 || form == 3) {
        const double logFc = rr[24];
        const double p = std::log10(pr);
        const double cT = -0.4 - 0.67 * logFc;
        const double nT = 0.75 - 1.27 * logFc;
        const double f = (p + cT) / (nT - 0.14 * (p + cT));
        const double logF = logFc / (1.0 + f * f);
        m = m * std::pow(10.0, logF);
      } else if (form == 2) {
        const double p = std::log10(pr);
        const double z = 1.0 / (1.0 + p * p);
        double fs = std::pow(rr[24], z);
        if (rr[9] > 0.0) fs = fs * rr[9];
        if (rr[10] != 0.0) fs = fs * std::pow(T, rr[10]);
        m = m * fs;
      }
    }

    // Mass action: R = k m c(reactants) - (k m / Kc) c(products).
    const SolverReactionLists& l = lists[r];
    const double kEff = k * m;
    const double rf = kEff * conc[l.reactant[0]] * conc[l.reactant[1]] * conc[l.reactant[2]];
    double rrev = 0.0;
    if (ir[15] == 1) {
      rrev = kEff / rr[22] * conc[l.product[0]] * conc[l.product[1]] * conc[l.product[2]];
      if (l.moreProducts) rrev = rrev * conc[l.product[3]] * conc[l.product[4]] * conc[l.product[5]];
    }
    rates[2 * r] = -(rf - rrev);
    rates[2 * r + 1] = rf - rrev;
  }

  // Molar production rates, and the part of them that releases no heat.
  double* production = c.production;
  double* heat = c.heatExcluded;
  Gather(c.terms, rates, production);
  if (c.MODE == 1) Gather(c.heatExcludedTerms, rates, heat);

  if (c.MODE == 1) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (int i = 0; i < nspec; ++i) {
      const double* th = TH + i * kThSlots;
      s1 -= (production[i] - heat[i]) * th[18];
      s2 += th[23] * th[19];
    }
    if (s2 == 0.0) SolverReportError(9, X, T, 0, 0, 1);
    F[n - 1] = T * s1 / (s2 * ctot);
  }
  for (int i = 0; i < nspec; ++i) F[i] = production[i] * TH[i * kThSlots + 14] / rho;
}

}  // namespace kx
