// Helpers for driving RADAU5 in tests: a problem description, workspace sized
// by the published formulas, and the outcome with its statistics.
#pragma once

#include <array>
#include <vector>

#include "radau5.h"

namespace kx::test {

struct RadauCase {
  RadauRhs fcn = nullptr;
  RadauJac jac = nullptr;
  int ijac = 0;
  std::vector<double> y0;
  double x0 = 0.0;
  double xend = 1.0;
  double h0 = 1e-6;
  // One entry: scalar tolerances (ITOL = 0); n entries: per component.
  std::vector<double> rtol{1e-6};
  std::vector<double> atol{1e-6};
  RadauSolout solout = nullptr;  // IOUT = 1 when set
  int mljac = -1;                // -1: full Jacobian (MLJAC = N)
  int mujac = 0;
  RadauMas mas = nullptr;  // IMAS = 1 when set
  int mlmas = 0;
  int mumas = 0;
  // Options in WORK(1..20) and IWORK(1..20) (0-based here).
  std::array<double, 20> work_options{};
  std::array<int, 20> iwork_options{};
  // LWORK and LIWORK; 0 selects the least values of an explicit problem
  // with a full Jacobian: 4N^2 + 12N + 20 and 3N + 20.
  int lwork = 0;
  int liwork = 0;
};

struct RadauOutcome {
  int idid = 0;
  double x = 0.0;
  double h = 0.0;
  std::vector<double> y;
  std::vector<double> rtol;
  std::vector<double> atol;
  int mljac = 0;
  int mujac = 0;
  // NFCN, NJAC, NSTEP, NACCPT, NREJCT, NDEC, NSOL (IWORK(14..20)).
  std::array<int, 7> stats{};
};

RadauOutcome RunRadau(const RadauCase& c);

// Mass matrix and output routines for problems without them.
void NoMass(int& n, double* am, int& lmas, double* rpar, int* ipar);
void NoOutput(int& nr, double& xold, double& x, double* y, double* cont, int& lrc, int& n, double* rpar,
              int* ipar, int& irtrn);

}  // namespace kx::test
