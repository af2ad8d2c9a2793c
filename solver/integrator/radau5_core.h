// Internals of the RADAU5 integrator: the structure of the iteration
// matrices, the workspace split, the step loop and the routines it calls.
#pragma once

#include <initializer_list>
#include <string>

#include "radau5.h"

namespace kx {

// Structure cases of the iteration matrices (the matrix problem shape).
enum RadauJob : int {
  kJobFull = 1,              // identity mass matrix, full Jacobian
  kJobBanded = 2,            // identity mass matrix, banded Jacobian
  kJobFullBandedMass = 3,    // banded mass matrix, full Jacobian
  kJobBandedBandedMass = 4,  // banded mass matrix, banded Jacobian
  kJobFullFullMass = 5,      // full mass matrix, full Jacobian
  kJobHessenberg = 7,        // identity mass matrix, full Jacobian in Hessenberg form
  kJobSecondOrder = 10,      // added when the first m1 components have second-order structure
};

// Shape of the Jacobian, mass matrix and iteration matrices, fixed by the
// driver, with the band bookkeeping derived from it before the first step.
struct MatrixShape {
  int n = 0;
  int m1 = 0;   // components with second-order structure (eliminated directly)
  int m2 = 0;
  int nm1 = 0;  // order of the iteration matrices, n - m1
  int ijob = kJobFull;
  bool implicit = false;  // a mass matrix is present
  bool banded = false;    // the Jacobian is banded
  int mljac = 0, mujac = 0, mlmas = 0, mumas = 0;
  int ldjac = 0, lde1 = 0, ldmas = 1;
  // Band bookkeeping: MLE, MUE, MBJAC, MBB, MDIAG, MDIFF, MBDIAG.
  int mle = 0, mue = 0, mbjac = 0, mbb = 0, mdiag = 0, mdiff = 0, mbdiag = 0;

  void SetBandBookkeeping() {
    mle = mljac;
    mue = mujac;
    mbjac = mljac + mujac + 1;
    mbb = mlmas + mumas + 1;
    mdiag = mle + mue + 1;
    mdiff = mle + mue - mumas;
    mbdiag = mumas + 1;
  }
};

// How a structure case stores and forms its matrices.
enum class MatrixStorage { kNone, kFull, kBanded, kHessenberg };
enum class MassKind { kIdentity, kBanded, kFull };
struct StructureCase {
  MatrixStorage storage;
  MassKind mass;
  bool second_order;
  // The order of the iteration matrices and the first component they
  // cover: the second-order cases solve for the last nm1 components only.
  int order;
  int shift;
};
// The case of shape.ijob: cases 6 and 8-10 form nothing (kNone); a number
// outside the table is case 1.
StructureCase ClassifyStructureCase(const MatrixShape& shape);

// Column-major view of a work matrix: element (i, j), 0-based, with leading
// dimension ld.
template <typename T>
struct ColumnMajor {
  T* p;
  int ld;
  T& operator()(int i, int j) const { return p[i + static_cast<long>(j) * ld]; }
};
using Mat = ColumnMajor<double>;
using ConstMat = ColumnMajor<const double>;

// The arrays of the step loop, all inside the caller's WORK and IWORK.
struct RadauWorkspace {
  double* z1;
  double* z2;
  double* z3;
  double* y0;
  double* scal;
  double* f1;
  double* f2;
  double* f3;
  double* cont;
  double* fjac;
  double* fmas;
  double* e1;
  double* e2r;
  double* e2i;
  int* ip1;
  int* ip2;
  int* iphes;
};

// Options as resolved by the driver.
struct RadauOptions {
  int nmax = 100000;
  double uround = kRadauRoundingUnit;
  double safe = 0.9;
  double thet = 0.001;
  double fnewt = 0.0;
  double quot1 = 1.0;
  double quot2 = 1.2;
  int nit = 7;
  bool startn = false;
  int nind1 = 0, nind2 = 0, nind3 = 0;
  bool pred = true;
  double facl = 5.0;
  double facr = 0.125;
  double hmax = 0.0;
};

struct RadauCounters {
  int nfcn = 0;
  int njac = 0;
  int nstep = 0;
  int naccpt = 0;
  int nrejct = 0;
  int ndec = 0;
  int nsol = 0;
};

// The problem as the caller passed it: references to the caller's variables.
struct RadauProblem {
  int& n;
  RadauRhs fcn;
  double& x;
  double* y;
  double& xend;
  double& h;
  double* rtol;
  double* atol;
  int& itol;
  RadauJac jac;
  int& ijac;
  RadauMas mas;
  RadauSolout solout;
  int& iout;
  double* rpar;
  int* ipar;
  int& nspec;
  int& nreac;
  double* th;

  // f(x, y) into f, handing the model tables through.
  void Rhs(double& at_x, double* at_y, double* f) const {
    fcn(n, at_x, at_y, f, rpar, ipar, nspec, nreac, th);
  }
};

// Integrates from problem.x to problem.xend; sets x, y, h, idid and the counters.
void RadauStepLoop(RadauProblem& problem, const RadauOptions& options, MatrixShape& shape,
                   const RadauWorkspace& work, RadauCounters& counters, int& idid);

// E1 = fac1*B - J, factored into e1 / ip1; ier as the decomposition reports it.
// In the Hessenberg case the Jacobian is reduced in place once per evaluation
// (when calhes is set, which is then cleared).
void BuildRealIterationMatrix(const MatrixShape& shape, double* fjac, const double* fmas,
                              double fac1, double* e1, int* ip1, int& ier, bool& calhes,
                              int* iphes);
// E2 = (alphn + i betan)*B - J, factored into e2r, e2i / ip2.
void BuildComplexIterationMatrix(const MatrixShape& shape, const double* fjac, const double* fmas,
                                 double alphn, double betan, double* e2r, double* e2i, int* ip2,
                                 int& ier);

// One simplified Newton iteration's linear systems: z1, z2, z3 (the transformed
// stage right-hand sides) become the corrections of the transformed stage values.
void SolveStageSystems(const MatrixShape& shape, const double* fjac, const double* fmas,
                       double fac1, double alphn, double betan, const double* e1,
                       const double* e2r, const double* e2i, double* z1, double* z2, double* z3,
                       const double* f1, const double* f2, const double* f3, const int* ip1,
                       const int* ip2, const int* iphes);

// Scaled local error of the step from the converged stage increments z1, z2, z3
// (at least 1e-10, a not-a-number kept); refined once with one more evaluation
// of f on the first step or after a rejection when the estimate fails.
struct ErrorEstimateInput {
  double h;
  double dd1, dd2, dd3;
  double fac1;
  bool first;
  bool reject;
};
double EstimateLocalError(const MatrixShape& shape, const RadauProblem& problem,
                          const ErrorEstimateInput& in, const double* fjac, const double* fmas,
                          const double* e1, const int* ip1, const int* iphes, const double* y0,
                          const double* z1, const double* z2, const double* z3,
                          const double* scal, double* cont, double* f1, double* f2, int& nfcn);

// Console records of the integrator, one line each on standard output.
namespace radau_console {
void Line(const std::string& text);
// text followed by the values in free format, each after one blank.
void LineWithIntegers(const std::string& text, std::initializer_list<long long> values);
void LineWithReals(const std::string& text, std::initializer_list<double> values);
// " EXIT OF RADAU5 AT X=" with x in an 18-wide exponent field, 0.dddd mantissa.
void ExitRecord(double x);
}  // namespace radau_console

}  // namespace kx
