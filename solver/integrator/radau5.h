// RADAU5: implicit Runge-Kutta integrator of the Radau IIA family (three
// stages, order 5) for stiff systems y' = f(x, y), with step-size control
// and simplified Newton iterations.
//
// The argument list follows the published code: every argument is passed by
// reference (a callee may change any of them), arrays are plain pointers to
// the caller's storage, indexed from 0 here where the published code counts
// from 1 (WORK(1) is work[0], IWORK(14) is iwork[13]). Matrices are stored by
// columns with an explicit leading dimension. Three trailing arguments, NSPEC,
// NREAC and TH, are handed untouched to every call of the right-hand side.
#pragma once

namespace kx {

// The rounding unit of the integrator unless WORK(1) gives another.
inline constexpr double kRadauRoundingUnit = 1e-16;

// Scalar tolerances the integrator takes at the rounding unit `uround`: an
// absolute one above 0 and a relative one above ten rounding units (a
// tolerance that is not a number is refused).
inline bool RadauTolerancesAccepted(double rtol, double atol, double uround = kRadauRoundingUnit) {
  return atol > 0.0 && rtol > 10.0 * uround;
}

// Right-hand side: writes f(x, y) into f.
using RadauRhs = void (*)(int& n, double& x, double* y, double* f, double* rpar, int* ipar,
                          int& nspec, int& nreac, double* th);

// Analytic Jacobian: writes df/dy into dfy (leading dimension ldfy).
using RadauJac = void (*)(int& n, double& x, double* y, double* dfy, int& ldfy, double* rpar,
                          int* ipar);
// Mass matrix: writes M into am (leading dimension lmas).
using RadauMas = void (*)(int& n, double* am, int& lmas, double* rpar, int* ipar);
// Output after every accepted step; setting irtrn < 0 stops the integration.
using RadauSolout = void (*)(int& nr, double& xold, double& x, double* y, double* cont, int& lrc,
                             int& n, double* rpar, int* ipar, int& irtrn);

void RADAU5(int& n, RadauRhs fcn, double& x, double* y, double& xend, double& h, double* rtol,
            double* atol, int& itol, RadauJac jac, int& ijac, int& mljac, int& mujac,
            RadauMas mas, int& imas, int& mlmas, int& mumas, RadauSolout solout, int& iout,
            double* work, int& lwork, int* iwork, int& liwork, double* rpar, int* ipar, int& idid,
            int& nspec, int& nreac, double* th);

// Jacobian routine for callers that let RADAU5 form the Jacobian by finite
// differences (IJAC = 0): does nothing.
void SolverDummyJac(int& n, double& x, double* y, double* dfy, int& ldfy, double* rpar,
                    int* ipar);

}  // namespace kx
