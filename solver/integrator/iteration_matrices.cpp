// The two iteration matrices of the simplified Newton iteration,
//   E1 = fac1*B - J   and   E2 = (alphn + i betan)*B - J,
// formed from the Jacobian J (fjac) and the mass matrix B (fmas, the identity
// when there is none) in the storage of the structure case, then factored.
// Indices below are 0-based; band rows are counted from 0 as well.
#include <algorithm>

#include "linear_kernels.h"
#include "radau5_core.h"

namespace kx {

namespace {

// Second-order structure, real matrix: subtracts from rows 0 .. rows-1 (at
// row offset `shift` of e1) of the first m2 columns the contribution of the
// eliminated components, sum_k J(:, j + k*m2) / fac1^(mm - k).
void SecondOrderReal(const MatrixShape& s, ConstMat fjac, double fac1, Mat e1, int rows,
                     int shift) {
  const int mm = s.m1 / s.m2;
  for (int j = 0; j < s.m2; ++j) {
    for (int i = 0; i < rows; ++i) {
      double sum = 0.0;
      for (int k = 0; k < mm; ++k) sum = (sum + fjac(i, j + k * s.m2)) / fac1;
      e1(i + shift, j) -= sum;
    }
  }
}

// The same for the complex matrix, with division by alphn + i betan.
void SecondOrderComplex(const MatrixShape& s, ConstMat fjac, double alphn, double betan, Mat e2r,
                        Mat e2i, int rows, int shift) {
  const int mm = s.m1 / s.m2;
  const double abno = alphn * alphn + betan * betan;
  const double alp = alphn / abno;
  const double bet = betan / abno;
  for (int j = 0; j < s.m2; ++j) {
    for (int i = 0; i < rows; ++i) {
      double sumr = 0.0;
      double sumi = 0.0;
      for (int k = 0; k < mm; ++k) {
        const double sums = sumr + fjac(i, j + k * s.m2);
        sumr = sums * alp + sumi * bet;
        sumi = sumi * alp - sums * bet;
      }
      e2r(i + shift, j) -= sumr;
      e2i(i + shift, j) -= sumi;
    }
  }
}

}  // namespace

StructureCase ClassifyStructureCase(const MatrixShape& s) {
  const int ijob = s.ijob;
  const bool second = ijob > kJobSecondOrder && ijob <= kJobSecondOrder + kJobFullFullMass;
  auto of = [&s](MatrixStorage storage, MassKind mass, bool second_order) {
    return StructureCase{storage, mass, second_order, second_order ? s.nm1 : s.n, second_order ? s.m1 : 0};
  };
  switch (second ? ijob - kJobSecondOrder : ijob) {
    case kJobFull:
      return of(MatrixStorage::kFull, MassKind::kIdentity, second);
    case kJobBanded:
      return of(MatrixStorage::kBanded, MassKind::kIdentity, second);
    case kJobFullBandedMass:
      return of(MatrixStorage::kFull, MassKind::kBanded, second);
    case kJobBandedBandedMass:
      return of(MatrixStorage::kBanded, MassKind::kBanded, second);
    case kJobFullFullMass:
      return of(MatrixStorage::kFull, MassKind::kFull, second);
    case kJobHessenberg:
      return of(MatrixStorage::kHessenberg, MassKind::kIdentity, false);
    case 6:
    case 8:
    case 9:
    case 10:
      return of(MatrixStorage::kNone, MassKind::kIdentity, false);
    default:
      return of(MatrixStorage::kFull, MassKind::kIdentity, false);
  }
}

void BuildRealIterationMatrix(const MatrixShape& s, double* fjac_data, const double* fmas_data,
                              double fac1, double* e1_data, int* ip1, int& ier, bool& calhes,
                              int* iphes) {
  const StructureCase c = ClassifyStructureCase(s);
  const ConstMat fjac{fjac_data, s.ldjac};
  const ConstMat fmas{fmas_data, s.ldmas};
  const Mat e1{e1_data, s.lde1};
  const int order = c.order;
  const int shift = c.shift;  // the second-order cases use the Jacobian columns m1 .. n-1
  switch (c.storage) {
    case MatrixStorage::kNone:
      return;
    case MatrixStorage::kHessenberg: {
      const int n = s.n;
      if (calhes) ReduceToHessenberg(s.ldjac, n, 0, n - 1, fjac_data, iphes);
      calhes = false;
      // Only the upper Hessenberg part: the reduced Jacobian keeps its
      // multipliers below the first subdiagonal.
      for (int j = 0; j < n - 1; ++j) e1(j + 1, j) = -fjac(j + 1, j);
      for (int j = 0; j < n; ++j) {
        for (int i = 0; i <= j; ++i) e1(i, j) = -fjac(i, j);
        e1(j, j) += fac1;
      }
      DecomposeRealHessenberg(n, s.lde1, e1_data, 1, ip1, ier);
      return;
    }
    case MatrixStorage::kFull:
      for (int j = 0; j < order; ++j) {
        double* col = &e1(0, j);
        const double* jcol = &fjac_data[static_cast<long>(j + shift) * s.ldjac];
        if (c.mass == MassKind::kFull) {
          for (int i = 0; i < order; ++i) col[i] = fmas(i, j) * fac1 - jcol[i];
          continue;
        }
        for (int i = 0; i < order; ++i) col[i] = -jcol[i];
        if (c.mass == MassKind::kIdentity) {
          col[j] += fac1;
        } else {
          for (int i = std::max(0, j - s.mumas); i <= std::min(order - 1, j + s.mlmas); ++i) {
            col[i] += fac1 * fmas(i - j + s.mbdiag - 1, j);
          }
        }
      }
      if (c.second_order) SecondOrderReal(s, fjac, fac1, e1, order, 0);
      DecomposeReal(order, s.lde1, e1_data, ip1, ier);
      return;
    case MatrixStorage::kBanded:
      for (int j = 0; j < order; ++j) {
        for (int i = 0; i < s.mbjac; ++i) e1(i + s.mle, j) = -fjac(i, j + shift);
        if (c.mass == MassKind::kIdentity) {
          e1(s.mdiag - 1, j) += fac1;
        } else {
          for (int i = 0; i < s.mbb; ++i) e1(i + s.mdiff, j) += fac1 * fmas(i, j);
        }
      }
      if (c.second_order) SecondOrderReal(s, fjac, fac1, e1, s.mbjac, s.mle);
      DecomposeRealBanded(order, s.lde1, e1_data, s.mle, s.mue, ip1, ier);
      return;
  }
}

void BuildComplexIterationMatrix(const MatrixShape& s, const double* fjac_data,
                                 const double* fmas_data, double alphn, double betan,
                                 double* e2r_data, double* e2i_data, int* ip2, int& ier) {
  const StructureCase c = ClassifyStructureCase(s);
  const ConstMat fjac{fjac_data, s.ldjac};
  const ConstMat fmas{fmas_data, s.ldmas};
  const Mat e2r{e2r_data, s.lde1};
  const Mat e2i{e2i_data, s.lde1};
  const int order = c.order;
  const int shift = c.shift;
  switch (c.storage) {
    case MatrixStorage::kNone:
      return;
    case MatrixStorage::kHessenberg: {
      const int n = s.n;
      for (int j = 0; j < n - 1; ++j) {
        e2r(j + 1, j) = -fjac(j + 1, j);
        e2i(j + 1, j) = 0.0;
      }
      for (int j = 0; j < n; ++j) {
        for (int i = 0; i <= j; ++i) {
          e2i(i, j) = 0.0;
          e2r(i, j) = -fjac(i, j);
        }
        e2r(j, j) += alphn;
        e2i(j, j) = betan;
      }
      DecomposeComplexHessenberg(n, s.lde1, e2r_data, e2i_data, 1, ip2, ier);
      return;
    }
    case MatrixStorage::kFull:
      for (int j = 0; j < order; ++j) {
        double* colr = &e2r(0, j);
        double* coli = &e2i(0, j);
        const double* jcol = &fjac_data[static_cast<long>(j + shift) * s.ldjac];
        if (c.mass == MassKind::kFull) {
          for (int i = 0; i < order; ++i) {
            const double bb = fmas(i, j);
            colr[i] = bb * alphn - jcol[i];
            coli[i] = bb * betan;
          }
          continue;
        }
        for (int i = 0; i < order; ++i) {
          colr[i] = -jcol[i];
          coli[i] = 0.0;
        }
        if (c.mass == MassKind::kIdentity) {
          colr[j] += alphn;
          coli[j] = betan;
        } else {
          for (int i = std::max(0, j - s.mumas); i <= std::min(order - 1, j + s.mlmas); ++i) {
            const double bb = fmas(i - j + s.mbdiag - 1, j);
            colr[i] += alphn * bb;
            coli[i] += betan * bb;
          }
        }
      }
      if (c.second_order) SecondOrderComplex(s, fjac, alphn, betan, e2r, e2i, order, 0);
      DecomposeComplex(order, s.lde1, e2r_data, e2i_data, ip2, ier);
      return;
    case MatrixStorage::kBanded:
      for (int j = 0; j < order; ++j) {
        for (int i = 0; i < s.mbjac; ++i) {
          e2r(i + s.mle, j) = -fjac(i, j + shift);
          e2i(i + s.mle, j) = 0.0;
        }
        if (c.mass == MassKind::kIdentity) {
          e2r(s.mdiag - 1, j) += alphn;
          e2i(s.mdiag - 1, j) += betan;
        } else {
          for (int i = 0; i < s.mbb; ++i) {
            const double bb = fmas(i, j);
            e2r(i + s.mdiff, j) += alphn * bb;
            e2i(i + s.mdiff, j) += betan * bb;
          }
        }
      }
      if (c.second_order) SecondOrderComplex(s, fjac, alphn, betan, e2r, e2i, s.mbjac, s.mle);
      DecomposeComplexBanded(order, s.lde1, e2r_data, e2i_data, s.mle, s.mue, ip2, ier);
      return;
  }
}

}  // namespace kx
