// Linear systems inside one step: the stage corrections of a simplified
// Newton iteration (one real solve with E1, one complex solve with E2) and
// the local error estimate (one more real solve with E1).
#include <algorithm>
#include <cmath>

#include "linear_kernels.h"
#include "radau5_core.h"

namespace kx {

namespace {

// Applies the Hessenberg similarity (interchanges, then elimination with the
// multipliers kept in the reduced Jacobian) to the vectors, before the solve.
template <typename... V>
void ToHessenbergCoordinates(int n, ConstMat fjac, const int* iphes, V*... v) {
  for (int mp = 1; mp <= n - 2; ++mp) {
    const int i = iphes[mp];
    if (i != mp) (std::swap(v[mp], v[i]), ...);
    for (int r = mp + 1; r < n; ++r) {
      const double e = fjac(r, mp - 1);
      ((v[r] = v[r] - e * v[mp]), ...);
    }
  }
}

// Undoes ToHessenbergCoordinates on the solution.
template <typename... V>
void FromHessenbergCoordinates(int n, ConstMat fjac, const int* iphes, V*... v) {
  for (int mp = n - 2; mp >= 1; --mp) {
    for (int r = mp + 1; r < n; ++r) {
      const double e = fjac(r, mp - 1);
      ((v[r] = v[r] + e * v[mp]), ...);
    }
    const int i = iphes[mp];
    if (i != mp) (std::swap(v[mp], v[i]), ...);
  }
}

// Second-order structure: the first m1 components are eliminated with the
// scalar factors and folded into the last nm1 ones before a solve, and
// recovered after it. Rows of column j of a Jacobian block that the fold
// touches: all nm1, or those inside the band.
int FoldFirstRow(const MatrixShape& s, bool banded, int j) {
  return banded ? std::max(0, j - s.mujac) : 0;
}
int FoldLastRow(const MatrixShape& s, bool banded, int j) {
  return banded ? std::min(s.nm1 - 1, j + s.mljac) : s.nm1 - 1;
}
double FoldJacobian(const MatrixShape& s, bool banded, ConstMat fjac, int i, int j, int jkm) {
  return banded ? fjac(i - j + s.mujac, jkm) : fjac(i, jkm);
}

// Real fold, with division by fac1.
void FoldSecondOrderReal(const MatrixShape& s, bool banded, ConstMat fjac, double fac1,
                         double* v) {
  const int mm = s.m1 / s.m2;
  for (int j = 0; j < s.m2; ++j) {
    double sum1 = 0.0;
    for (int k = mm - 1; k >= 0; --k) {
      const int jkm = j + k * s.m2;
      sum1 = (v[jkm] + sum1) / fac1;
      for (int i = FoldFirstRow(s, banded, j); i <= FoldLastRow(s, banded, j); ++i) {
        v[i + s.m1] += FoldJacobian(s, banded, fjac, i, j, jkm) * sum1;
      }
    }
  }
}

void UnfoldSecondOrderReal(const MatrixShape& s, double fac1, double* v) {
  for (int i = s.m1 - 1; i >= 0; --i) v[i] = (v[i] + v[s.m2 + i]) / fac1;
}

// Complex fold of (vr, vi), with division by alphn + i betan.
void FoldSecondOrderComplex(const MatrixShape& s, bool banded, ConstMat fjac, double alphn,
                            double betan, double* vr, double* vi) {
  const double abno = alphn * alphn + betan * betan;
  const int mm = s.m1 / s.m2;
  for (int j = 0; j < s.m2; ++j) {
    double sum2 = 0.0;
    double sum3 = 0.0;
    for (int k = mm - 1; k >= 0; --k) {
      const int jkm = j + k * s.m2;
      const double sumh = (vr[jkm] + sum2) / abno;
      sum3 = (vi[jkm] + sum3) / abno;
      sum2 = sumh * alphn + sum3 * betan;
      sum3 = sum3 * alphn - sumh * betan;
      for (int i = FoldFirstRow(s, banded, j); i <= FoldLastRow(s, banded, j); ++i) {
        const double ffja = FoldJacobian(s, banded, fjac, i, j, jkm);
        vr[i + s.m1] += ffja * sum2;
        vi[i + s.m1] += ffja * sum3;
      }
    }
  }
}

void UnfoldSecondOrderComplex(const MatrixShape& s, double alphn, double betan, double* vr,
                              double* vi) {
  const double abno = alphn * alphn + betan * betan;
  for (int i = s.m1 - 1; i >= 0; --i) {
    const int mpi = s.m2 + i;
    const double z2i = vr[i] + vr[mpi];
    const double z3i = vi[i] + vi[mpi];
    vi[i] = (z3i * alphn - z2i * betan) / abno;
    vr[i] = (z2i * alphn + z3i * betan) / abno;
  }
}

// Solve with E1 in the storage of the structure case (error estimate).
void SolveWithE1(const MatrixShape& s, const StructureCase& c, ConstMat fjac, double fac1,
                 const double* e1, const int* ip1, const int* iphes, double* v) {
  switch (c.storage) {
    case MatrixStorage::kNone:
      return;
    case MatrixStorage::kHessenberg:
      ToHessenbergCoordinates(s.n, fjac, iphes, v);
      SolveRealHessenberg(s.n, s.lde1, e1, 1, v, ip1);
      FromHessenbergCoordinates(s.n, fjac, iphes, v);
      return;
    case MatrixStorage::kFull:
    case MatrixStorage::kBanded: {
      const bool banded = c.storage == MatrixStorage::kBanded;
      if (c.second_order) FoldSecondOrderReal(s, banded, fjac, fac1, v);
      if (banded) {
        SolveRealBanded(c.order, s.lde1, e1, s.mle, s.mue, v + c.shift, ip1);
      } else {
        SolveReal(c.order, s.lde1, e1, v + c.shift, ip1);
      }
      if (c.second_order) UnfoldSecondOrderReal(s, fac1, v);
      return;
    }
  }
}

// Mass matrix row i (0-based, of the order-nm1 block) times x[m1 ..].
double MassRowTimes(const MatrixShape& s, MassKind mass, ConstMat fmas, int i, const double* x) {
  double sum = 0.0;
  if (mass == MassKind::kFull) {
    for (int j = 0; j < s.nm1; ++j) sum = sum + fmas(i, j) * x[j + s.m1];
  } else {
    for (int j = std::max(0, i - s.mlmas); j <= std::min(s.nm1 - 1, i + s.mumas); ++j) {
      sum = sum + fmas(i - j + s.mbdiag - 1, j) * x[j + s.m1];
    }
  }
  return sum;
}

// Root mean square of v / scal, floored at 1e-10. The comparison keeps a
// not-a-number, so such an estimate fails the error test.
double ScaledErrorNorm(int n, const double* v, const double* scal) {
  double err = 0.0;
  for (int i = 0; i < n; ++i) {
    const double q = v[i] / scal[i];
    err = err + q * q;
  }
  err = std::sqrt(err / n);
  return err < 1e-10 ? 1e-10 : err;
}

}  // namespace

void SolveStageSystems(const MatrixShape& s, const double* fjac_data, const double* fmas_data,
                       double fac1, double alphn, double betan, const double* e1,
                       const double* e2r, const double* e2i, double* z1, double* z2, double* z3,
                       const double* f1, const double* f2, const double* f3, const int* ip1,
                       const int* ip2, const int* iphes) {
  const StructureCase c = ClassifyStructureCase(s);
  if (c.storage == MatrixStorage::kNone) return;
  const ConstMat fjac{fjac_data, s.ldjac};
  const ConstMat fmas{fmas_data, s.ldmas};
  const int n = s.n;

  // Right-hand sides: z - (fac1, alphn + i betan) * B * f. Components with an
  // identity mass row first, then those with mass matrix rows.
  const int identity_rows = c.mass == MassKind::kIdentity ? n : s.m1;
  for (int i = 0; i < identity_rows; ++i) {
    const double s2 = -f2[i];
    const double s3 = -f3[i];
    z1[i] = z1[i] - f1[i] * fac1;
    z2[i] = z2[i] + s2 * alphn - s3 * betan;
    z3[i] = z3[i] + s3 * alphn + s2 * betan;
  }
  if (c.mass != MassKind::kIdentity) {
    for (int i = 0; i < s.nm1; ++i) {
      const int im1 = i + s.m1;
      const double s1 = -MassRowTimes(s, c.mass, fmas, i, f1);
      const double s2 = -MassRowTimes(s, c.mass, fmas, i, f2);
      const double s3 = -MassRowTimes(s, c.mass, fmas, i, f3);
      z1[im1] = z1[im1] + s1 * fac1;
      z2[im1] = z2[im1] + s2 * alphn - s3 * betan;
      z3[im1] = z3[im1] + s3 * alphn + s2 * betan;
    }
  }

  if (c.storage == MatrixStorage::kHessenberg) {
    ToHessenbergCoordinates(n, fjac, iphes, z1, z2, z3);
    SolveRealHessenberg(n, s.lde1, e1, 1, z1, ip1);
    SolveComplexHessenberg(n, s.lde1, e2r, e2i, 1, z2, z3, ip2);
    FromHessenbergCoordinates(n, fjac, iphes, z1, z2, z3);
    return;
  }

  const bool banded = c.storage == MatrixStorage::kBanded;
  if (c.second_order) {
    FoldSecondOrderReal(s, banded, fjac, fac1, z1);
    FoldSecondOrderComplex(s, banded, fjac, alphn, betan, z2, z3);
  }
  if (banded) {
    SolveRealBanded(c.order, s.lde1, e1, s.mle, s.mue, z1 + c.shift, ip1);
    SolveComplexBanded(c.order, s.lde1, e2r, e2i, s.mle, s.mue, z2 + c.shift, z3 + c.shift, ip2);
  } else {
    SolveReal(c.order, s.lde1, e1, z1 + c.shift, ip1);
    SolveComplex(c.order, s.lde1, e2r, e2i, z2 + c.shift, z3 + c.shift, ip2);
  }
  if (c.second_order) {
    UnfoldSecondOrderReal(s, fac1, z1);
    UnfoldSecondOrderComplex(s, alphn, betan, z2, z3);
  }
}

double EstimateLocalError(const MatrixShape& s, const RadauProblem& problem,
                          const ErrorEstimateInput& in, const double* fjac_data,
                          const double* fmas_data, const double* e1, const int* ip1,
                          const int* iphes, const double* y0, const double* z1, const double* z2,
                          const double* z3, const double* scal, double* cont, double* f1,
                          double* f2, int& nfcn) {
  const StructureCase c = ClassifyStructureCase(s);
  const ConstMat fjac{fjac_data, s.ldjac};
  const ConstMat fmas{fmas_data, s.ldmas};
  const int n = s.n;
  const double hee1 = in.dd1 / in.h;
  const double hee2 = in.dd2 / in.h;
  const double hee3 = in.dd3 / in.h;

  // First estimate: E1^-1 (y0 + B * (h1 z1 + h2 z2 + h3 z3)).
  if (c.mass == MassKind::kIdentity) {
    for (int i = 0; i < n; ++i) {
      f2[i] = hee1 * z1[i] + hee2 * z2[i] + hee3 * z3[i];
      cont[i] = f2[i] + y0[i];
    }
  } else {
    for (int i = 0; i < s.m1; ++i) {
      f2[i] = hee1 * z1[i] + hee2 * z2[i] + hee3 * z3[i];
      cont[i] = f2[i] + y0[i];
    }
    for (int i = s.m1; i < n; ++i) f1[i] = hee1 * z1[i] + hee2 * z2[i] + hee3 * z3[i];
    for (int i = 0; i < s.nm1; ++i) {
      const int im1 = i + s.m1;
      const double sum = MassRowTimes(s, c.mass, fmas, i, f1);
      f2[im1] = sum;
      cont[im1] = sum + y0[im1];
    }
  }
  SolveWithE1(s, c, fjac, in.fac1, e1, ip1, iphes, cont);
  double err = ScaledErrorNorm(n, cont, scal);
  if (err < 1.0) return err;
  if (!in.first && !in.reject) return err;

  // Refinement: one more evaluation of f at y + the first estimate.
  for (int i = 0; i < n; ++i) cont[i] = problem.y[i] + cont[i];
  problem.Rhs(problem.x, cont, f1);
  ++nfcn;
  for (int i = 0; i < n; ++i) cont[i] = f1[i] + f2[i];
  SolveWithE1(s, c, fjac, in.fac1, e1, ip1, iphes, cont);
  err = ScaledErrorNorm(n, cont, scal);
  return err;
}

}  // namespace kx
