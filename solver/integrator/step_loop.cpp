// The step loop of RADAU5: three-stage Radau IIA steps (collocation nodes c1,
// c2, 1; order 5) with a simplified Newton iteration on the transformed stage
// equations, step-size control, and reuse of the Jacobian and of the factored
// iteration matrices while the iteration contracts fast enough.
//
// The loop has three entry points: a new Jacobian, new iteration matrices
// with the current Jacobian, and the next step attempt with the current
// matrices. Every block below is one phase of a step.
#include <algorithm>
#include <cmath>

#include "radau5_core.h"
#include "radau_method.h"

namespace kx {

namespace {

// Initial step size when the caller's is (almost) zero.
constexpr double kDefaultInitialStep = 1.0e-6;
// The first step is stretched to XEND when it would end this close to it.
constexpr double kLastStepStretch = 1.0001;
// Newton contraction rate above which the iteration counts as diverging.
constexpr double kDivergentTheta = 0.99;
// Singular decompositions in one call that end the integration.
constexpr int kMaxSingular = 5;

// x^k for k >= 0 by repeated squaring.
double PowInt(double x, int k) {
  double result = 1.0;
  while (k > 0) {
    if (k & 1) result *= x;
    k >>= 1;
    if (k > 0) x *= x;
  }
  return result;
}

class StepLoop {
 public:
  StepLoop(RadauProblem& problem, const RadauOptions& options, MatrixShape& shape,
           const RadauWorkspace& work, RadauCounters& counters, int& idid)
      : p_(problem), o_(options), s_(shape), w_(work), c_(counters), idid_(idid), n_(problem.n) {}

  void Run() {
    if (!Start()) return;
    Next next = Next::kNewJacobian;
    while (next != Next::kDone) {
      switch (next) {
        case Next::kNewJacobian:
          ComputeJacobian();
          [[fallthrough]];
        case Next::kNewMatrices:
          if (!FactorMatrices()) {
            next = UnexpectedRejection();
            break;
          }
          [[fallthrough]];
        case Next::kNextAttempt:
          next = AttemptStep();
          break;
        case Next::kDone:
          break;
      }
    }
  }

 private:
  enum class Next { kNewJacobian, kNewMatrices, kNextAttempt, kDone };
  enum class Newton { kConverged, kTooSlow, kFailed };

  // ---- Start: constants, first step size, first output, f at the start.
  bool Start() {
    if (s_.implicit) p_.mas(s_.nm1, w_.fmas, s_.ldmas, p_.rpar, p_.ipar);
    if (s_.m1 > 0) s_.ijob += kJobSecondOrder;
    double& x = p_.x;
    double& h = p_.h;
    posneg_ = (p_.xend - x) < 0.0 ? -1.0 : 1.0;
    hmaxn_ = std::min(std::abs(o_.hmax), std::abs(p_.xend - x));
    if (std::abs(h) <= 10.0 * o_.uround) h = kDefaultInitialStep;
    h = posneg_ * std::min(std::abs(h), hmaxn_);
    hold_ = h;
    reject_ = false;
    first_ = true;
    last_ = false;
    if ((x + h * kLastStepStretch - p_.xend) * posneg_ >= 0.0) {
      h = p_.xend - x;
      last_ = true;
    }
    hopt_ = h;
    faccon_ = 1.0;
    cfac_ = o_.safe * (1 + 2 * o_.nit);
    nsing_ = 0;
    xold_ = x;
    if (p_.iout != 0) {
      irtrn_ = 1;
      std::copy(p_.y, p_.y + n_, w_.cont);
      if (!Output(1)) return false;
    }
    s_.SetBandBookkeeping();
    ComputeWeights();
    hhfac_ = h;
    p_.Rhs(x, p_.y, w_.y0);
    ++c_.nfcn;
    return true;
  }

  // Hands the current point to SOLOUT; false (exit 2) when it asks to stop.
  bool Output(int nr) {
    int nrsol = nr;
    double xosol = xold_;
    double xsol = p_.x;
    int nsolu = n_;
    int lrc = 4 * n_;
    p_.solout(nrsol, xosol, xsol, p_.y, w_.cont, lrc, nsolu, p_.rpar, p_.ipar, irtrn_);
    if (irtrn_ >= 0) return true;
    radau_console::ExitRecord(p_.x);
    idid_ = 2;
    return false;
  }

  void ComputeWeights() {
    for (int i = 0; i < n_; ++i) {
      const int k = p_.itol == 0 ? 0 : i;
      w_.scal[i] = p_.atol[k] + p_.rtol[k] * std::abs(p_.y[i]);
    }
  }

  // ---- A: the Jacobian, analytic or by finite differences.
  void ComputeJacobian() {
    ++c_.njac;
    if (p_.ijac != 0) {
      p_.jac(p_.n, p_.x, p_.y, w_.fjac, s_.ldjac, p_.rpar, p_.ipar);
    } else if (s_.banded) {
      BandedDifferenceJacobian();
    } else {
      FullDifferenceJacobian();
    }
    caljac_ = true;
    calhes_ = true;
  }

  // One f evaluation per column; rows m1 .. n-1 of df/dy.
  void FullDifferenceJacobian() {
    double* y = p_.y;
    for (int i = 0; i < n_; ++i) {
      const double ysafe = y[i];
      const double delt = std::sqrt(o_.uround * std::max(1.0e-5, std::abs(ysafe)));
      y[i] = ysafe + delt;
      p_.Rhs(p_.x, y, w_.cont);
      double* col = w_.fjac + static_cast<long>(i) * s_.ldjac;
      for (int j = s_.m1; j < n_; ++j) col[j - s_.m1] = (w_.cont[j] - w_.y0[j]) / delt;
      y[i] = ysafe;
    }
  }

  // Columns that share no band row are perturbed together, one f evaluation
  // per group (per block of m2 columns in the second-order structure).
  // Written with 1-based column and row numbers, as the band layout.
  void BandedDifferenceJacobian() {
    double* y = p_.y;
    auto Y = [y](int j) -> double& { return y[j - 1]; };
    auto ysave = [this](int j) -> double& { return w_.f1[j - 1]; };
    auto delt = [this](int j) -> double& { return w_.f2[j - 1]; };
    auto fjac = [this](int r, int c) -> double& {
      return w_.fjac[(r - 1) + static_cast<long>(c - 1) * s_.ldjac];
    };
    const int m1 = s_.m1;
    const int m2 = s_.m2;
    const int mujacp = s_.mujac + 1;
    const int md = std::min(s_.mbjac, m2);
    for (int mm = 1; mm <= m1 / m2 + 1; ++mm) {
      for (int k = 1; k <= md; ++k) {
        for (int j = k + (mm - 1) * m2; j <= mm * m2; j += md) {
          ysave(j) = Y(j);
          delt(j) = std::sqrt(o_.uround * std::max(1.0e-5, std::abs(Y(j))));
          Y(j) = Y(j) + delt(j);
        }
        p_.Rhs(p_.x, y, w_.cont);
        int j1 = k;
        int lbeg = std::max(1, j1 - s_.mujac) + m1;
        for (int j = k + (mm - 1) * m2; j <= mm * m2; j += md, j1 += md) {
          const int lend = std::min(m2, j1 + s_.mljac) + m1;
          Y(j) = ysave(j);
          const int mujacj = mujacp - j1 - m1;
          for (int l = lbeg; l <= lend; ++l) {
            fjac(l + mujacj, j) = (w_.cont[l - 1] - w_.y0[l - 1]) / delt(j);
          }
          lbeg = lend + 1;
        }
      }
    }
  }

  // ---- B: iteration matrices for the current step size, factored.
  bool FactorMatrices() {
    const double h = p_.h;
    fac1_ = mc_.u1 / h;
    alphn_ = mc_.alph / h;
    betan_ = mc_.beta / h;
    BuildRealIterationMatrix(s_, w_.fjac, w_.fmas, fac1_, w_.e1, w_.ip1, ier_, calhes_, w_.iphes);
    if (ier_ != 0) return false;
    BuildComplexIterationMatrix(s_, w_.fjac, w_.fmas, alphn_, betan_, w_.e2r, w_.e2i, w_.ip2,
                                ier_);
    if (ier_ != 0) return false;
    ++c_.ndec;
    return true;
  }

  // ---- C: one step attempt with the current matrices.
  Next AttemptStep() {
    ++c_.nstep;
    if (c_.nstep > o_.nmax) {
      idid_ = -2;
      return Next::kDone;
    }
    if (0.1 * std::abs(p_.h) <= std::abs(p_.x) * o_.uround) {
      idid_ = -3;
      return Next::kDone;
    }
    ScaleAlgebraicWeights();
    xph_ = p_.x + p_.h;
    StartingValues();
    switch (NewtonIteration()) {
      case Newton::kConverged:
        break;
      case Newton::kTooSlow:
        return caljac_ ? Next::kNewMatrices : Next::kNewJacobian;
      case Newton::kFailed:
        return UnexpectedRejection();
    }

    // Local error estimate.
    const ErrorEstimateInput in{p_.h, mc_.dd1, mc_.dd2, mc_.dd3, fac1_, first_, reject_};
    err_ = EstimateLocalError(s_, p_, in, w_.fjac, w_.fmas, w_.e1, w_.ip1, w_.iphes, w_.y0, w_.z1,
                              w_.z2, w_.z3, w_.scal, w_.cont, w_.f1, w_.f2, c_.nfcn);

    // Proposed step size: 1/facl <= hnew/h <= 1/facr.
    const double fac = std::min(o_.safe, cfac_ / (newt_ + 2 * o_.nit));
    double quot = std::max(o_.facr, std::min(o_.facl, std::pow(err_, 0.25) / fac));
    const double hnew = p_.h / quot;

    // A not-a-number error fails this test.
    if (err_ < 1.0) return AcceptStep(quot, hnew);
    return RejectStep(hnew);
  }

  // Index-2 and index-3 components are weighted by the step size.
  void ScaleAlgebraicWeights() {
    const int end2 = o_.nind1 + o_.nind2;
    for (int i = o_.nind1; i < end2; ++i) w_.scal[i] = w_.scal[i] / hhfac_;
    const double hhfac2 = hhfac_ * hhfac_;
    for (int i = end2; i < end2 + o_.nind3; ++i) w_.scal[i] = w_.scal[i] / hhfac2;
  }

  // Starting values of the Newton iteration: zero, or the collocation
  // polynomial of the last accepted step extrapolated to the new stage points.
  void StartingValues() {
    double* z1 = w_.z1;
    double* z2 = w_.z2;
    double* z3 = w_.z3;
    double* f1 = w_.f1;
    double* f2 = w_.f2;
    double* f3 = w_.f3;
    if (first_ || o_.startn) {
      std::fill(z1, z1 + n_, 0.0);
      std::fill(z2, z2 + n_, 0.0);
      std::fill(z3, z3 + n_, 0.0);
      std::fill(f1, f1 + n_, 0.0);
      std::fill(f2, f2 + n_, 0.0);
      std::fill(f3, f3 + n_, 0.0);
      return;
    }
    const double c3q = p_.h / hold_;
    const double c1q = mc_.c1 * c3q;
    const double c2q = mc_.c2 * c3q;
    const double* cont = w_.cont;
    for (int i = 0; i < n_; ++i) {
      const double ak1 = cont[i + n_];
      const double ak2 = cont[i + 2 * n_];
      const double ak3 = cont[i + 3 * n_];
      const double z1i = c1q * (ak1 + (c1q - mc_.c2m1) * (ak2 + (c1q - mc_.c1m1) * ak3));
      const double z2i = c2q * (ak1 + (c2q - mc_.c2m1) * (ak2 + (c2q - mc_.c1m1) * ak3));
      const double z3i = c3q * (ak1 + (c3q - mc_.c2m1) * (ak2 + (c3q - mc_.c1m1) * ak3));
      z1[i] = z1i;
      z2[i] = z2i;
      z3[i] = z3i;
      f1[i] = kTI11 * z1i + kTI12 * z2i + kTI13 * z3i;
      f2[i] = kTI21 * z1i + kTI22 * z2i + kTI23 * z3i;
      f3[i] = kTI31 * z1i + kTI32 * z2i + kTI33 * z3i;
    }
  }

  // Simplified Newton iteration on the transformed stage values f1, f2, f3
  // (z1, z2, z3 hold the stage increments on return).
  Newton NewtonIteration() {
    double* y = p_.y;
    double* z1 = w_.z1;
    double* z2 = w_.z2;
    double* z3 = w_.z3;
    double* f1 = w_.f1;
    double* f2 = w_.f2;
    double* f3 = w_.f3;
    double* cont = w_.cont;
    const int nit = o_.nit;
    newt_ = 0;
    faccon_ = std::pow(std::max(faccon_, o_.uround), 0.8);
    theta_ = std::abs(o_.thet);
    for (;;) {
      if (newt_ >= nit) return Newton::kFailed;

      // Right-hand sides at the three stage points.
      for (int i = 0; i < n_; ++i) cont[i] = y[i] + z1[i];
      double x1 = p_.x + mc_.c1 * p_.h;
      p_.Rhs(x1, cont, z1);
      for (int i = 0; i < n_; ++i) cont[i] = y[i] + z2[i];
      double x2 = p_.x + mc_.c2 * p_.h;
      p_.Rhs(x2, cont, z2);
      for (int i = 0; i < n_; ++i) cont[i] = y[i] + z3[i];
      p_.Rhs(xph_, cont, z3);
      c_.nfcn += 3;

      // Linear systems in the transformed coordinates.
      for (int i = 0; i < n_; ++i) {
        const double a1 = z1[i];
        const double a2 = z2[i];
        const double a3 = z3[i];
        z1[i] = kTI11 * a1 + kTI12 * a2 + kTI13 * a3;
        z2[i] = kTI21 * a1 + kTI22 * a2 + kTI23 * a3;
        z3[i] = kTI31 * a1 + kTI32 * a2 + kTI33 * a3;
      }
      SolveStageSystems(s_, w_.fjac, w_.fmas, fac1_, alphn_, betan_, w_.e1, w_.e2r, w_.e2i, z1,
                        z2, z3, f1, f2, f3, w_.ip1, w_.ip2, w_.iphes);
      ++c_.nsol;
      ++newt_;

      // Scaled size of the correction.
      double dyno = 0.0;
      for (int i = 0; i < n_; ++i) {
        const double denom = w_.scal[i];
        const double q1 = z1[i] / denom;
        const double q2 = z2[i] / denom;
        const double q3 = z3[i] / denom;
        dyno = dyno + q1 * q1 + q2 * q2 + q3 * q3;
      }
      dyno = std::sqrt(dyno / (3 * n_));

      // Contraction rate; too slow or diverging iterations end the attempt.
      if (newt_ > 1 && newt_ < nit) {
        const double thq = dyno / dynold_;
        theta_ = newt_ == 2 ? thq : std::sqrt(thq * thqold_);
        thqold_ = thq;
        // A not-a-number rate fails this test and counts as divergence.
        if (theta_ < kDivergentTheta) {
          faccon_ = theta_ / (1.0 - theta_);
          const double dyth = faccon_ * dyno * PowInt(theta_, nit - 1 - newt_) / o_.fnewt;
          if (dyth >= 1.0) {
            const double qnewt = std::max(1.0e-4, std::min(20.0, dyth));
            hhfac_ = 0.8 * std::pow(qnewt, -1.0 / (4.0 + nit - 1 - newt_));
            p_.h = hhfac_ * p_.h;
            reject_ = true;
            last_ = false;
            return Newton::kTooSlow;
          }
        } else {
          return Newton::kFailed;
        }
      }
      dynold_ = std::max(dyno, o_.uround);

      // New transformed stage values, and the increments from them.
      for (int i = 0; i < n_; ++i) {
        const double f1i = f1[i] + z1[i];
        const double f2i = f2[i] + z2[i];
        const double f3i = f3[i] + z3[i];
        f1[i] = f1i;
        f2[i] = f2i;
        f3[i] = f3i;
        z1[i] = kT11 * f1i + kT12 * f2i + kT13 * f3i;
        z2[i] = kT21 * f1i + kT22 * f2i + kT23 * f3i;
        z3[i] = kT31 * f1i + f2i;
      }
      // Stop only on a correction known to be small: a not-a-number keeps
      // iterating into a rejection.
      if (faccon_ * dyno <= o_.fnewt) return Newton::kConverged;
    }
  }

  // ---- The step is accepted.
  Next AcceptStep(double quot, double hnew) {
    double& x = p_.x;
    double& h = p_.h;
    double* y = p_.y;
    first_ = false;
    ++c_.naccpt;
    if (o_.pred) {
      // Predictive controller of Gustafsson.
      if (c_.naccpt > 1) {
        double facgus = (hacc_ / h) * std::pow(err_ * err_ / erracc_, 0.25) / o_.safe;
        facgus = std::max(o_.facr, std::min(o_.facl, facgus));
        quot = std::max(quot, facgus);
        hnew = h / quot;
      }
      hacc_ = h;
      erracc_ = std::max(1.0e-2, err_);
    }
    xold_ = x;
    hold_ = h;
    x = xph_;

    // New solution and the collocation polynomial of the step.
    double* cont = w_.cont;
    for (int i = 0; i < n_; ++i) {
      y[i] = y[i] + w_.z3[i];
      const double z2i = w_.z2[i];
      const double z1i = w_.z1[i];
      cont[i + n_] = (z2i - w_.z3[i]) / mc_.c2m1;
      const double ak = (z1i - z2i) / mc_.c1mc2;
      double acont3 = z1i / mc_.c1;
      acont3 = (ak - acont3) / mc_.c2;
      cont[i + 2 * n_] = (ak - cont[i + n_]) / mc_.c1m1;
      cont[i + 3 * n_] = cont[i + 2 * n_] - acont3;
    }
    ComputeWeights();
    if (p_.iout != 0) {
      std::copy(y, y + n_, cont);
      if (!Output(c_.naccpt + 1)) return Next::kDone;
    }
    caljac_ = false;
    if (last_) {
      h = hopt_;
      idid_ = 1;
      return Next::kDone;
    }
    p_.Rhs(x, y, w_.y0);
    ++c_.nfcn;

    // Next step size.
    hnew = posneg_ * std::min(std::abs(hnew), hmaxn_);
    hopt_ = std::min(h, hnew);
    if (reject_) hnew = posneg_ * std::min(std::abs(hnew), std::abs(h));
    reject_ = false;
    if ((x + hnew / o_.quot1 - p_.xend) * posneg_ >= 0.0) {
      h = p_.xend - x;
      last_ = true;
    } else {
      const double qt = hnew / h;
      hhfac_ = h;
      // Keep step size and factors while the ratio stays within [quot1, quot2].
      if (theta_ <= o_.thet && qt >= o_.quot1 && qt <= o_.quot2) return Next::kNextAttempt;
      h = hnew;
    }
    hhfac_ = h;
    return theta_ <= o_.thet ? Next::kNewMatrices : Next::kNewJacobian;
  }

  // ---- The error test failed.
  Next RejectStep(double hnew) {
    double& h = p_.h;
    reject_ = true;
    last_ = false;
    if (first_) {
      h = h * 0.1;
      hhfac_ = 0.1;
    } else {
      hhfac_ = hnew / h;
      h = hnew;
    }
    if (c_.naccpt >= 1) ++c_.nrejct;
    return caljac_ ? Next::kNewMatrices : Next::kNewJacobian;
  }

  // ---- Singular matrix, or a Newton iteration that diverged or did not
  // converge: halve the step; repeated singular matrices end the integration.
  Next UnexpectedRejection() {
    if (ier_ != 0) {
      ++nsing_;
      if (nsing_ >= kMaxSingular) {
        radau_console::ExitRecord(p_.x);
        radau_console::LineWithIntegers(" MATRIX IS REPEATEDLY SINGULAR, IER=", {ier_});
        idid_ = -4;
        return Next::kDone;
      }
    }
    p_.h = p_.h * 0.5;
    hhfac_ = 0.5;
    reject_ = true;
    last_ = false;
    return caljac_ ? Next::kNewMatrices : Next::kNewJacobian;
  }

  RadauProblem& p_;
  const RadauOptions& o_;
  MatrixShape& s_;
  const RadauWorkspace& w_;
  RadauCounters& c_;
  int& idid_;
  const int n_;
  const MethodConstants mc_;

  double posneg_ = 1.0;
  double hmaxn_ = 0.0;
  double xold_ = 0.0;
  double hold_ = 0.0;
  double hopt_ = 0.0;
  double xph_ = 0.0;
  double faccon_ = 1.0;
  double theta_ = 0.0;
  double cfac_ = 0.0;
  double hhfac_ = 0.0;
  double hacc_ = 0.0;
  double erracc_ = 0.0;
  double dynold_ = 0.0;
  double thqold_ = 0.0;
  double err_ = 0.0;
  double fac1_ = 0.0;
  double alphn_ = 0.0;
  double betan_ = 0.0;
  int newt_ = 0;
  int nsing_ = 0;
  int ier_ = 0;
  int irtrn_ = 1;
  bool first_ = true;
  bool reject_ = false;
  bool last_ = false;
  bool caljac_ = false;
  bool calhes_ = false;
};

}  // namespace

void RadauStepLoop(RadauProblem& problem, const RadauOptions& options, MatrixShape& shape,
                   const RadauWorkspace& work, RadauCounters& counters, int& idid) {
  StepLoop loop(problem, options, shape, work, counters, idid);
  loop.Run();
}

}  // namespace kx
