// RADAU5 driver: resolves and checks the options left in WORK(1..20) and
// IWORK(1..20), transforms the tolerances, derives the structure of the
// iteration matrices, splits the work arrays and runs the step loop.
#include "radau5.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "radau5_core.h"

namespace kx {

namespace {

// Tolerances are handed to the step loop as rtol' = 0.1 * rtol^(2/3), with
// atol' keeping the ratio atol/rtol; restored on return.
constexpr double kTolExponent = 2.0 / 3.0;

// First entry of the arrays in WORK and IWORK (1-based, as callers count).
constexpr long kFirstArrayEntry = 21;

void TransformTolerances(int pairs, double* rtol, double* atol, double uround, bool per_component,
                         bool& refused) {
  for (int i = 0; i < pairs; ++i) {
    if (!RadauTolerancesAccepted(rtol[i], atol[i], uround)) {
      if (per_component) {
        radau_console::Line(" TOLERANCES(" + std::to_string(i + 1) + ") ARE TOO SMALL");
      } else {
        radau_console::Line(" TOLERANCES ARE TOO SMALL");
      }
      refused = true;
    } else {
      const double quot = atol[i] / rtol[i];
      rtol[i] = 0.1 * std::pow(rtol[i], kTolExponent);
      atol[i] = rtol[i] * quot;
    }
  }
}

void RestoreTolerances(int pairs, double* rtol, double* atol) {
  const double expm = 1.0 / kTolExponent;
  for (int i = 0; i < pairs; ++i) {
    const double quot = atol[i] / rtol[i];
    rtol[i] = std::pow(10.0 * rtol[i], expm);
    atol[i] = rtol[i] * quot;
  }
}

}  // namespace

void RADAU5(int& n, RadauRhs fcn, double& x, double* y, double& xend, double& h, double* rtol,
            double* atol, int& itol, RadauJac jac, int& ijac, int& mljac, int& mujac,
            RadauMas mas, int& imas, int& mlmas, int& mumas, RadauSolout solout, int& iout,
            double* work, int& lwork, int* iwork, int& liwork, double* rpar, int* ipar, int& idid,
            int& nspec, int& nreac, double* th) {
  using radau_console::Line;
  using radau_console::LineWithIntegers;
  using radau_console::LineWithReals;

  RadauCounters counters;
  RadauOptions opt;
  bool refused = false;

  // ---- Rounding unit.
  if (work[0] != 0.0) {
    opt.uround = work[0];
    if (!(opt.uround > 1.0e-19 && opt.uround < 1.0)) {
      LineWithReals(" COEFFICIENTS HAVE 20 DIGITS, UROUND=", {work[0]});
      refused = true;
    }
  }

  // ---- Tolerances.
  const int tolerance_pairs = itol == 0 ? 1 : n;
  TransformTolerances(tolerance_pairs, rtol, atol, opt.uround, itol != 0, refused);

  // ---- Step limit.
  if (iwork[1] != 0) {
    opt.nmax = iwork[1];
    if (opt.nmax <= 0) {
      LineWithIntegers(" WRONG INPUT IWORK(2)=", {iwork[1]});
      refused = true;
    }
  }

  // ---- Newton iterations per step.
  if (iwork[2] != 0) {
    opt.nit = iwork[2];
    if (opt.nit <= 0) {
      LineWithIntegers(" CURIOUS INPUT IWORK(3)=", {iwork[2]});
      refused = true;
    }
  }

  // ---- Zero starting values for the Newton iteration.
  opt.startn = iwork[3] != 0;

  // ---- Differential-algebraic components of index 1, 2 and 3.
  opt.nind1 = iwork[4];
  opt.nind2 = iwork[5];
  opt.nind3 = iwork[6];
  if (opt.nind1 == 0) opt.nind1 = n;
  if (opt.nind1 + opt.nind2 + opt.nind3 != n) {
    LineWithIntegers(" CURIOUS INPUT FOR IWORK(5,6,7)=", {opt.nind1, opt.nind2, opt.nind3});
    refused = true;
  }

  // ---- Step-size controller: predictive unless IWORK(8) > 1.
  opt.pred = iwork[7] <= 1;

  // ---- Second-order structure.
  const int m1 = iwork[8];
  int m2 = iwork[9];
  const int nm1 = n - m1;
  if (m1 == 0) m2 = n;
  if (m2 == 0) m2 = m1;
  if (m1 < 0 || m2 < 0 || m1 + m2 > n) {
    LineWithIntegers(" CURIOUS INPUT FOR IWORK(9,10)=", {m1, m2});
    refused = true;
  }

  // ---- Safety factor of the step-size prediction.
  if (work[1] != 0.0) {
    opt.safe = work[1];
    if (!(opt.safe > 0.001 && opt.safe < 1.0)) {
      LineWithReals(" CURIOUS INPUT FOR WORK(2)=", {work[1]});
      refused = true;
    }
  }

  // ---- Contraction rate below which the Jacobian is kept.
  if (work[2] != 0.0) {
    opt.thet = work[2];
    if (!(opt.thet < 1.0)) {
      LineWithReals(" CURIOUS INPUT FOR WORK(3)=", {work[2]});
      refused = true;
    }
  }

  // ---- Stopping criterion of the Newton iteration.
  const double tolst = rtol[0];
  if (work[3] == 0.0) {
    opt.fnewt = std::max(10 * opt.uround / tolst, std::min(0.03, std::pow(tolst, 0.5)));
  } else {
    opt.fnewt = work[3];
    if (!(opt.fnewt > opt.uround / tolst)) {
      LineWithReals(" CURIOUS INPUT FOR WORK(4)=", {work[3]});
      refused = true;
    }
  }

  // ---- Step-size ratios within which step size and factors are kept.
  if (work[4] != 0.0) opt.quot1 = work[4];
  if (work[5] != 0.0) opt.quot2 = work[5];
  if (!(opt.quot1 <= 1.0 && opt.quot2 >= 1.0)) {
    LineWithReals(" CURIOUS INPUT FOR WORK(5,6)=", {opt.quot1, opt.quot2});
    refused = true;
  }

  // ---- Largest step size.
  opt.hmax = work[6] == 0.0 ? xend - x : work[6];

  // ---- Bounds of the step-size quotient old/new.
  if (work[7] != 0.0) opt.facl = 1.0 / work[7];
  if (work[8] != 0.0) opt.facr = 1.0 / work[8];
  if (!(opt.facl >= 1.0 && opt.facr <= 1.0)) {
    LineWithReals(" CURIOUS INPUT WORK(8,9)=", {work[7], work[8]});
    refused = true;
  }

  // ---- Structure of the Jacobian, the mass matrix and the iteration matrices.
  MatrixShape shape;
  shape.n = n;
  shape.m1 = m1;
  shape.m2 = m2;
  shape.nm1 = nm1;
  shape.implicit = imas != 0;
  shape.banded = mljac < nm1;
  int ldmas = 0;
  if (shape.banded) {
    shape.ldjac = mljac + mujac + 1;
    shape.lde1 = mljac + shape.ldjac;
  } else {
    mljac = nm1;
    mujac = nm1;
    shape.ldjac = nm1;
    shape.lde1 = nm1;
  }
  if (shape.implicit) {
    if (mlmas != nm1) {
      ldmas = mlmas + mumas + 1;
      shape.ijob = shape.banded ? kJobBandedBandedMass : kJobFullBandedMass;
    } else {
      mumas = nm1;
      ldmas = nm1;
      shape.ijob = kJobFullFullMass;
    }
    if (mlmas > mljac || mumas > mujac) {
      Line("BANDWITH OF \"MAS\" NOT SMALLER THAN BANDWITH OF \"JAC\"");
      refused = true;
    }
  } else {
    ldmas = 0;
    if (shape.banded) {
      shape.ijob = kJobBanded;
    } else {
      shape.ijob = kJobFull;
      // The Hessenberg form has no second-order variant: the request is
      // then ignored, like a request with a banded Jacobian or a mass matrix.
      if (n > 2 && iwork[0] != 0 && m1 == 0) shape.ijob = kJobHessenberg;
    }
  }
  shape.mljac = mljac;
  shape.mujac = mujac;
  shape.mlmas = mlmas;
  shape.mumas = mumas;
  shape.ldmas = std::max(1, ldmas);

  // ---- Split of WORK (entries counted from 1).
  const long iez1 = kFirstArrayEntry;
  const long iez2 = iez1 + n;
  const long iez3 = iez2 + n;
  const long iey0 = iez3 + n;
  const long iescal = iey0 + n;
  const long ief1 = iescal + n;
  const long ief2 = ief1 + n;
  const long ief3 = ief2 + n;
  const long iecon = ief3 + n;
  const long iejac = iecon + 4L * n;
  const long iemas = iejac + static_cast<long>(n) * shape.ldjac;
  const long iee1 = iemas + static_cast<long>(nm1) * ldmas;
  const long iee2r = iee1 + static_cast<long>(nm1) * shape.lde1;
  const long iee2i = iee2r + static_cast<long>(nm1) * shape.lde1;
  const long work_needed = iee2i + static_cast<long>(nm1) * shape.lde1 - 1;
  if (work_needed > lwork) {
    LineWithIntegers(" INSUFFICIENT STORAGE FOR WORK, MIN. LWORK=", {work_needed});
    refused = true;
  }

  // ---- Split of IWORK.
  const long ieip1 = kFirstArrayEntry;
  const long ieip2 = ieip1 + nm1;
  const long ieiph = ieip2 + nm1;
  const long iwork_needed = ieiph + nm1 - 1;
  if (iwork_needed > liwork) {
    LineWithIntegers(" INSUFF. STORAGE FOR IWORK, MIN. LIWORK=", {iwork_needed});
    refused = true;
  }

  if (refused) {
    idid = -1;
    return;
  }

  // ---- Integration.
  const RadauWorkspace arrays{work + iez1 - 1,  work + iez2 - 1,  work + iez3 - 1,
                              work + iey0 - 1,  work + iescal - 1, work + ief1 - 1,
                              work + ief2 - 1,  work + ief3 - 1,  work + iecon - 1,
                              work + iejac - 1, work + iemas - 1, work + iee1 - 1,
                              work + iee2r - 1, work + iee2i - 1, iwork + ieip1 - 1,
                              iwork + ieip2 - 1, iwork + ieiph - 1};
  RadauProblem problem{n,      fcn,   x,    y,      xend,   h,    rtol,  atol,  itol, jac,
                       ijac,   mas,   solout, iout, rpar,   ipar, nspec, nreac, th};
  RadauStepLoop(problem, opt, shape, arrays, counters, idid);

  // ---- Statistics, and the caller's tolerances back.
  iwork[13] = counters.nfcn;
  iwork[14] = counters.njac;
  iwork[15] = counters.nstep;
  iwork[16] = counters.naccpt;
  iwork[17] = counters.nrejct;
  iwork[18] = counters.ndec;
  iwork[19] = counters.nsol;
  RestoreTolerances(tolerance_pairs, rtol, atol);
}

}  // namespace kx
