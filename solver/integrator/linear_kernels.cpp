#include "linear_kernels.h"

#include <algorithm>
#include <cmath>

#include "vector_clones.h"

namespace kx {

namespace {

// A pivot or last diagonal element that ends a decomposition. A not-a-number
// counts here, so it is never divided by at the end.
inline bool ZeroOrNaN(double v) { return v == 0.0 || std::isnan(v); }

// Pivot measure of a complex entry: the sum of the magnitudes of its parts.
inline double Measure(double re, double im) { return std::abs(re) + std::abs(im); }

// Adds the column (xr, xi) times (tr, ti) to (yr, yi) over rows first .. end-1,
// leaving out the products with a zero part of (tr, ti).
inline void ComplexColumnUpdate(const double* __restrict xr, const double* __restrict xi, double tr,
                                double ti, double* __restrict yr, double* __restrict yi, int first,
                                int end) {
  if (ti == 0.0) {
    for (int i = first; i < end; ++i) {
      yr[i] += xr[i] * tr;
      yi[i] += xi[i] * tr;
    }
  } else if (tr != 0.0) {
    for (int i = first; i < end; ++i) {
      yr[i] += xr[i] * tr - xi[i] * ti;
      yi[i] += xi[i] * tr + xr[i] * ti;
    }
  } else {
    for (int i = first; i < end; ++i) {
      yr[i] -= xi[i] * ti;
      yi[i] += xr[i] * ti;
    }
  }
}

// (br, bi) = (br, bi) / (dr, di).
inline void ComplexDivide(double& br, double& bi, double dr, double di) {
  const double den = dr * dr + di * di;
  const double prodr = br * dr + bi * di;
  const double prodi = bi * dr - br * di;
  br = prodr / den;
  bi = prodi / den;
}

// The elimination of one stage updates every later column whose entry in the
// pivot row is not zero by the same column of multipliers. Such columns are
// taken four at a time, so that each multiplier is loaded once for four
// updates; every element still receives exactly the operations of the
// column-by-column order, in the same sequence.
constexpr int kColumnBlock = 4;

// y[c] += x * t[c] over rows first .. end-1, for kColumnBlock columns.
inline void RealColumnsUpdate(const double* __restrict x, double* __restrict y0,
                              double* __restrict y1, double* __restrict y2, double* __restrict y3,
                              const double* t, int first, int end) {
  const double t0 = t[0], t1 = t[1], t2 = t[2], t3 = t[3];
  for (int i = first; i < end; ++i) {
    const double xv = x[i];
    y0[i] += xv * t0;
    y1[i] += xv * t1;
    y2[i] += xv * t2;
    y3[i] += xv * t3;
  }
}

inline void RealColumnUpdate(const double* __restrict x, double* __restrict y, double t, int first,
                             int end) {
  for (int i = first; i < end; ++i) y[i] += x[i] * t;
}

// Columns whose pivot-row entries tr and ti are both non-zero (the general
// complex form), kColumnBlock at a time.
inline void ComplexColumnsUpdate(const double* __restrict xr, const double* __restrict xi,
                                 double* __restrict yr0, double* __restrict yi0,
                                 double* __restrict yr1, double* __restrict yi1,
                                 double* __restrict yr2, double* __restrict yi2,
                                 double* __restrict yr3, double* __restrict yi3, const double* tr,
                                 const double* ti, int first, int end) {
  const double tr0 = tr[0], tr1 = tr[1], tr2 = tr[2], tr3 = tr[3];
  const double ti0 = ti[0], ti1 = ti[1], ti2 = ti[2], ti3 = ti[3];
  for (int i = first; i < end; ++i) {
    const double a = xr[i];
    const double b = xi[i];
    yr0[i] += a * tr0 - b * ti0;
    yi0[i] += b * tr0 + a * ti0;
    yr1[i] += a * tr1 - b * ti1;
    yi1[i] += b * tr1 + a * ti1;
    yr2[i] += a * tr2 - b * ti2;
    yi2[i] += b * tr2 + a * ti2;
    yr3[i] += a * tr3 - b * ti3;
    yi3[i] += b * tr3 + a * ti3;
  }
}

// ---- Real decomposition.

// Stage k of the elimination up to its multipliers: the pivot search over
// rows k .. na-1 of column k (the first row of largest magnitude), the
// exchange in column k and the negated multipliers, formed with the
// reciprocal of the pivot. False, with ier and ip[n-1] set, for a zero pivot.
inline bool RealPivotStage(int n, double* ak, int k, int na, int* ip, int& ier) {
  int m = k;
  for (int i = k + 1; i < na; ++i) {
    if (!(std::abs(ak[m]) >= std::abs(ak[i]))) m = i;
  }
  ip[k] = m;
  double t = ak[m];
  if (m != k) {
    ip[n - 1] = -ip[n - 1];
    ak[m] = ak[k];
    ak[k] = t;
  }
  if (t == 0.0) {
    ier = k + 1;
    ip[n - 1] = 0;
    return false;
  }
  t = 1.0 / t;
  for (int i = k + 1; i < na; ++i) ak[i] = -(t * ak[i]);
  return true;
}

// The rest of stage k (pivot row m) in columns first .. n-1: the exchange in
// each column, and the elimination over rows k+1 .. na-1 in those whose
// pivot-row entry is not zero; the inner loops run down the columns.
inline void RealStageColumns(double* a, int ndim, int k, int m, int first, int n, int na) {
  const double* ak = a + static_cast<long>(k) * ndim;
  double* block[kColumnBlock];
  double tb[kColumnBlock];
  int pending = 0;
  for (int j = first; j < n; ++j) {
    double* aj = a + static_cast<long>(j) * ndim;
    const double t = aj[m];
    aj[m] = aj[k];
    aj[k] = t;
    if (t == 0.0) continue;
    block[pending] = aj;
    tb[pending] = t;
    if (++pending == kColumnBlock) {
      RealColumnsUpdate(ak, block[0], block[1], block[2], block[3], tb, k + 1, na);
      pending = 0;
    }
  }
  for (int c = 0; c < pending; ++c) RealColumnUpdate(ak, block[c], tb[c], k + 1, na);
}

// Both stages of a pair on kColumnBlock columns over rows first .. end-1:
// y[c] = (y[c] + x1 t1[c]) + x2 t2[c], the two updates in their order.
inline void RealColumnsPairUpdate(const double* __restrict x1, const double* __restrict x2,
                                  double* __restrict y0, double* __restrict y1,
                                  double* __restrict y2, double* __restrict y3, const double* t1,
                                  const double* t2, int first, int end) {
  const double a0 = t1[0], a1 = t1[1], a2 = t1[2], a3 = t1[3];
  const double b0 = t2[0], b1 = t2[1], b2 = t2[2], b3 = t2[3];
  for (int i = first; i < end; ++i) {
    const double u = x1[i];
    const double v = x2[i];
    y0[i] = (y0[i] + u * a0) + v * b0;
    y1[i] = (y1[i] + u * a1) + v * b1;
    y2[i] = (y2[i] + u * a2) + v * b2;
    y3[i] = (y3[i] + u * a3) + v * b3;
  }
}

inline void RealColumnPairUpdate(const double* __restrict x1, const double* __restrict x2,
                                 double* __restrict y, double t1, double t2, int first, int end) {
  for (int i = first; i < end; ++i) y[i] = (y[i] + x1[i] * t1) + x2[i] * t2;
}

// Column-oriented elimination shared by the full form (rows_below = n) and
// the Hessenberg-like form (rows_below = lb): at stage k the pivot search, the
// multipliers and the row updates cover rows k+1 .. min(n, k + 1 + rows_below) - 1.
KX_VECTOR_CLONES
void DecomposeRealRows(int n, int ndim, double* a, int rows_below, int* ip, int& ier) {
  ier = 0;
  if (n <= 0) return;
  ip[n - 1] = 1;
  for (int k = 0; k < n - 1; ++k) {
    const int na = std::min(n, k + 1 + rows_below);
    if (!RealPivotStage(n, a + static_cast<long>(k) * ndim, k, na, ip, ier)) return;
    RealStageColumns(a, ndim, k, ip[k], k + 1, n, na);
  }
  if (ZeroOrNaN(a[(n - 1) + static_cast<long>(n - 1) * ndim])) {
    ier = n;
    ip[n - 1] = 0;
  }
}

// The full form, two stages at a time: once stage k has given column k+1 and
// stage k+1 its pivot and multipliers, each later column takes both stages
// in one pass, so that it is loaded and stored once for two stages. Every
// element gets the operations of the stage-by-stage order: the exchange of
// stage k, its update, the exchange of stage k+1, its update; the two rows
// that the exchange of stage k+1 moves are done one by one.
KX_VECTOR_CLONES
void DecomposeRealFull(int n, int ndim, double* a, int* ip, int& ier) {
  ier = 0;
  if (n <= 0) return;
  ip[n - 1] = 1;
  auto column = [a, ndim](int j) { return a + static_cast<long>(j) * ndim; };
  int k = 0;
  for (; k + 2 < n; k += 2) {
    if (!RealPivotStage(n, column(k), k, n, ip, ier)) return;
    const int m1 = ip[k];
    RealStageColumns(a, ndim, k, m1, k + 1, k + 2, n);
    if (!RealPivotStage(n, column(k + 1), k + 1, n, ip, ier)) {
      RealStageColumns(a, ndim, k, m1, k + 2, n, n);
      return;
    }
    const int m2 = ip[k + 1];
    const double* x1 = column(k);
    const double* x2 = column(k + 1);
    // Rows k+2 .. n-1 but m2: [k+2, lowEnd) and [highStart, n).
    const int lowEnd = m2 == k + 1 ? n : m2;
    const int highStart = m2 == k + 1 ? n : m2 + 1;
    double* block[kColumnBlock];
    double t1b[kColumnBlock];
    double t2b[kColumnBlock];
    int pending = 0;
    for (int j = k + 2; j < n; ++j) {
      double* aj = column(j);
      const double t1 = aj[m1];
      aj[m1] = aj[k];
      aj[k] = t1;
      // Rows k+1 and m2 after stage k, then the exchange of stage k+1.
      double rowK1 = aj[k + 1];
      double rowM2 = aj[m2];
      if (t1 != 0.0) {
        rowK1 = rowK1 + x1[k + 1] * t1;
        if (m2 != k + 1) rowM2 = rowM2 + x1[m2] * t1;
      }
      const double t2 = m2 != k + 1 ? rowM2 : rowK1;
      aj[k + 1] = t2;
      if (m2 != k + 1) aj[m2] = t2 != 0.0 ? rowK1 + x2[m2] * t2 : rowK1;
      if (t1 != 0.0 && t2 != 0.0) {
        block[pending] = aj;
        t1b[pending] = t1;
        t2b[pending] = t2;
        if (++pending == kColumnBlock) {
          RealColumnsPairUpdate(x1, x2, block[0], block[1], block[2], block[3], t1b, t2b, k + 2, lowEnd);
          RealColumnsPairUpdate(x1, x2, block[0], block[1], block[2], block[3], t1b, t2b, highStart, n);
          pending = 0;
        }
      } else if (t1 != 0.0 || t2 != 0.0) {
        const double* x = t1 != 0.0 ? x1 : x2;
        const double t = t1 != 0.0 ? t1 : t2;
        RealColumnUpdate(x, aj, t, k + 2, lowEnd);
        RealColumnUpdate(x, aj, t, highStart, n);
      }
    }
    for (int c = 0; c < pending; ++c) {
      RealColumnPairUpdate(x1, x2, block[c], t1b[c], t2b[c], k + 2, lowEnd);
      RealColumnPairUpdate(x1, x2, block[c], t1b[c], t2b[c], highStart, n);
    }
  }
  for (; k < n - 1; ++k) {
    if (!RealPivotStage(n, column(k), k, n, ip, ier)) return;
    RealStageColumns(a, ndim, k, ip[k], k + 1, n, n);
  }
  if (ZeroOrNaN(column(n - 1)[n - 1])) {
    ier = n;
    ip[n - 1] = 0;
  }
}

KX_VECTOR_CLONES
void SolveRealRows(int n, int ndim, const double* a, int rows_below, double* __restrict b,
                   const int* ip) {
  if (n <= 0) return;
  // Forward: exchanges and elimination, stage by stage.
  for (int k = 0; k < n - 1; ++k) {
    const double* __restrict ak = a + static_cast<long>(k) * ndim;
    const int na = std::min(n, k + 1 + rows_below);
    const int m = ip[k];
    const double t = b[m];
    b[m] = b[k];
    b[k] = t;
    for (int i = k + 1; i < na; ++i) b[i] += ak[i] * t;
  }
  // Back substitution, column by column.
  for (int k = n - 1; k >= 1; --k) {
    const double* __restrict ak = a + static_cast<long>(k) * ndim;
    b[k] = b[k] / ak[k];
    const double t = -b[k];
    for (int i = 0; i < k; ++i) b[i] += ak[i] * t;
  }
  b[0] = b[0] / a[0];
}

// ---- Complex decomposition.

// (yr, yi) += (xr, xi) (tr, ti) for one element, in the form that
// ComplexColumnUpdate takes for (tr, ti).
inline void ComplexElementUpdate(double& yr, double& yi, double xr, double xi, double tr, double ti) {
  if (ti == 0.0) {
    yr = yr + xr * tr;
    yi = yi + xi * tr;
  } else if (tr != 0.0) {
    yr = yr + (xr * tr - xi * ti);
    yi = yi + (xi * tr + xr * ti);
  } else {
    yr = yr - xi * ti;
    yi = yi + xr * ti;
  }
}

// An entry of the pivot row with which a stage leaves a column alone.
inline bool Skipped(double tr, double ti) { return ZeroOrNaN(Measure(tr, ti)); }
// An entry with both parts non-zero: the general form of the update.
inline bool General(double tr, double ti) { return tr != 0.0 && ti != 0.0; }

// Stage k up to its multipliers, as RealPivotStage, with the pivot measure
// |re| + |im|.
inline bool ComplexPivotStage(int n, double* ark, double* aik, int k, int na, int* ip, int& ier) {
  int m = k;
  for (int i = k + 1; i < na; ++i) {
    if (!(Measure(ark[m], aik[m]) >= Measure(ark[i], aik[i]))) m = i;
  }
  ip[k] = m;
  double tr = ark[m];
  double ti = aik[m];
  if (m != k) {
    ip[n - 1] = -ip[n - 1];
    ark[m] = ark[k];
    aik[m] = aik[k];
    ark[k] = tr;
    aik[k] = ti;
  }
  if (Skipped(tr, ti)) {
    ier = k + 1;
    ip[n - 1] = 0;
    return false;
  }
  // Reciprocal of the pivot, then the negated multipliers.
  const double den = tr * tr + ti * ti;
  tr = tr / den;
  ti = -(ti / den);
  for (int i = k + 1; i < na; ++i) {
    const double prodr = ark[i] * tr - aik[i] * ti;
    const double prodi = aik[i] * tr + ark[i] * ti;
    ark[i] = -prodr;
    aik[i] = -prodi;
  }
  return true;
}

// The rest of stage k in columns first .. n-1, as RealStageColumns. Columns
// in the general form wait for a block of four; those whose pivot-row entry
// is real or imaginary take their shorter form at once.
inline void ComplexStageColumns(double* ar, double* ai, int ndim, int k, int m, int first, int n, int na) {
  const double* ark = ar + static_cast<long>(k) * ndim;
  const double* aik = ai + static_cast<long>(k) * ndim;
  double* blockr[kColumnBlock];
  double* blocki[kColumnBlock];
  double tbr[kColumnBlock];
  double tbi[kColumnBlock];
  int pending = 0;
  for (int j = first; j < n; ++j) {
    double* arj = ar + static_cast<long>(j) * ndim;
    double* aij = ai + static_cast<long>(j) * ndim;
    const double tr = arj[m];
    const double ti = aij[m];
    arj[m] = arj[k];
    aij[m] = aij[k];
    arj[k] = tr;
    aij[k] = ti;
    if (Skipped(tr, ti)) continue;
    if (!General(tr, ti)) {
      ComplexColumnUpdate(ark, aik, tr, ti, arj, aij, k + 1, na);
      continue;
    }
    blockr[pending] = arj;
    blocki[pending] = aij;
    tbr[pending] = tr;
    tbi[pending] = ti;
    if (++pending == kColumnBlock) {
      ComplexColumnsUpdate(ark, aik, blockr[0], blocki[0], blockr[1], blocki[1], blockr[2], blocki[2],
                           blockr[3], blocki[3], tbr, tbi, k + 1, na);
      pending = 0;
    }
  }
  for (int c = 0; c < pending; ++c)
    ComplexColumnUpdate(ark, aik, tbr[c], tbi[c], blockr[c], blocki[c], k + 1, na);
}

// Both stages of a pair in the general form on two columns over rows
// first .. end-1, the two updates of each element in their order.
inline void ComplexColumnsPairUpdate(const double* __restrict x1r, const double* __restrict x1i,
                                     const double* __restrict x2r, const double* __restrict x2i,
                                     double* __restrict yr0, double* __restrict yi0,
                                     double* __restrict yr1, double* __restrict yi1, const double* t1r,
                                     const double* t1i, const double* t2r, const double* t2i, int first,
                                     int end) {
  const double a0 = t1r[0], b0 = t1i[0], c0 = t2r[0], d0 = t2i[0];
  const double a1 = t1r[1], b1 = t1i[1], c1 = t2r[1], d1 = t2i[1];
  for (int i = first; i < end; ++i) {
    const double ur = x1r[i], ui = x1i[i], vr = x2r[i], vi = x2i[i];
    const double r0 = yr0[i] + (ur * a0 - ui * b0);
    const double i0 = yi0[i] + (ui * a0 + ur * b0);
    yr0[i] = r0 + (vr * c0 - vi * d0);
    yi0[i] = i0 + (vi * c0 + vr * d0);
    const double r1 = yr1[i] + (ur * a1 - ui * b1);
    const double i1 = yi1[i] + (ui * a1 + ur * b1);
    yr1[i] = r1 + (vr * c1 - vi * d1);
    yi1[i] = i1 + (vi * c1 + vr * d1);
  }
}

constexpr int kComplexPairBlock = 2;

// The complex full form two stages at a time, as DecomposeRealFull. The pass
// that does both stages at once takes the columns whose pivot-row entries are
// in the general form for both; the others take the two stages one after the
// other, each in its form.
KX_VECTOR_CLONES
void DecomposeComplexFull(int n, int ndim, double* ar, double* ai, int* ip, int& ier) {
  ier = 0;
  if (n <= 0) return;
  ip[n - 1] = 1;
  auto re = [ar, ndim](int j) { return ar + static_cast<long>(j) * ndim; };
  auto im = [ai, ndim](int j) { return ai + static_cast<long>(j) * ndim; };
  int k = 0;
  for (; k + 2 < n; k += 2) {
    if (!ComplexPivotStage(n, re(k), im(k), k, n, ip, ier)) return;
    const int m1 = ip[k];
    ComplexStageColumns(ar, ai, ndim, k, m1, k + 1, k + 2, n);
    if (!ComplexPivotStage(n, re(k + 1), im(k + 1), k + 1, n, ip, ier)) {
      ComplexStageColumns(ar, ai, ndim, k, m1, k + 2, n, n);
      return;
    }
    const int m2 = ip[k + 1];
    const double* x1r = re(k);
    const double* x1i = im(k);
    const double* x2r = re(k + 1);
    const double* x2i = im(k + 1);
    const int lowEnd = m2 == k + 1 ? n : m2;
    const int highStart = m2 == k + 1 ? n : m2 + 1;
    double* blockr[kComplexPairBlock];
    double* blocki[kComplexPairBlock];
    double t1r[kComplexPairBlock], t1i[kComplexPairBlock], t2r[kComplexPairBlock], t2i[kComplexPairBlock];
    int pending = 0;
    for (int j = k + 2; j < n; ++j) {
      double* arj = re(j);
      double* aij = im(j);
      const double ur = arj[m1];
      const double ui = aij[m1];
      arj[m1] = arj[k];
      aij[m1] = aij[k];
      arj[k] = ur;
      aij[k] = ui;
      const bool first = !Skipped(ur, ui);
      // Rows k+1 and m2 after stage k, then the exchange of stage k+1.
      double k1r = arj[k + 1], k1i = aij[k + 1];
      double m2r = arj[m2], m2i = aij[m2];
      if (first) {
        ComplexElementUpdate(k1r, k1i, x1r[k + 1], x1i[k + 1], ur, ui);
        if (m2 != k + 1) ComplexElementUpdate(m2r, m2i, x1r[m2], x1i[m2], ur, ui);
      }
      const double vr = m2 != k + 1 ? m2r : k1r;
      const double vi = m2 != k + 1 ? m2i : k1i;
      arj[k + 1] = vr;
      aij[k + 1] = vi;
      const bool second = !Skipped(vr, vi);
      if (m2 != k + 1) {
        if (second) ComplexElementUpdate(k1r, k1i, x2r[m2], x2i[m2], vr, vi);
        arj[m2] = k1r;
        aij[m2] = k1i;
      }
      if (first && second && General(ur, ui) && General(vr, vi)) {
        blockr[pending] = arj;
        blocki[pending] = aij;
        t1r[pending] = ur;
        t1i[pending] = ui;
        t2r[pending] = vr;
        t2i[pending] = vi;
        if (++pending == kComplexPairBlock) {
          ComplexColumnsPairUpdate(x1r, x1i, x2r, x2i, blockr[0], blocki[0], blockr[1], blocki[1], t1r, t1i, t2r,
                                   t2i, k + 2, lowEnd);
          ComplexColumnsPairUpdate(x1r, x1i, x2r, x2i, blockr[0], blocki[0], blockr[1], blocki[1], t1r, t1i, t2r,
                                   t2i, highStart, n);
          pending = 0;
        }
        continue;
      }
      if (first) {
        ComplexColumnUpdate(x1r, x1i, ur, ui, arj, aij, k + 2, lowEnd);
        ComplexColumnUpdate(x1r, x1i, ur, ui, arj, aij, highStart, n);
      }
      if (second) {
        ComplexColumnUpdate(x2r, x2i, vr, vi, arj, aij, k + 2, lowEnd);
        ComplexColumnUpdate(x2r, x2i, vr, vi, arj, aij, highStart, n);
      }
    }
    for (int c = 0; c < pending; ++c) {
      ComplexColumnUpdate(x1r, x1i, t1r[c], t1i[c], blockr[c], blocki[c], k + 2, lowEnd);
      ComplexColumnUpdate(x1r, x1i, t1r[c], t1i[c], blockr[c], blocki[c], highStart, n);
      ComplexColumnUpdate(x2r, x2i, t2r[c], t2i[c], blockr[c], blocki[c], k + 2, lowEnd);
      ComplexColumnUpdate(x2r, x2i, t2r[c], t2i[c], blockr[c], blocki[c], highStart, n);
    }
  }
  for (; k < n - 1; ++k) {
    if (!ComplexPivotStage(n, re(k), im(k), k, n, ip, ier)) return;
    ComplexStageColumns(ar, ai, ndim, k, ip[k], k + 1, n, n);
  }
  if (Skipped(re(n - 1)[n - 1], im(n - 1)[n - 1])) {
    ier = n;
    ip[n - 1] = 0;
  }
}

KX_VECTOR_CLONES
void DecomposeComplexRows(int n, int ndim, double* ar, double* ai, int rows_below, int* ip,
                          int& ier) {
  ier = 0;
  if (n <= 0) return;
  ip[n - 1] = 1;
  for (int k = 0; k < n - 1; ++k) {
    const int na = std::min(n, k + 1 + rows_below);
    if (!ComplexPivotStage(n, ar + static_cast<long>(k) * ndim, ai + static_cast<long>(k) * ndim, k, na, ip, ier))
      return;
    ComplexStageColumns(ar, ai, ndim, k, ip[k], k + 1, n, na);
  }
  const long last = (n - 1) + static_cast<long>(n - 1) * ndim;
  if (Skipped(ar[last], ai[last])) {
    ier = n;
    ip[n - 1] = 0;
  }
}

KX_VECTOR_CLONES
void SolveComplexRows(int n, int ndim, const double* ar, const double* ai, int rows_below,
                      double* __restrict br, double* __restrict bi, const int* ip) {
  if (n <= 0) return;
  for (int k = 0; k < n - 1; ++k) {
    const double* __restrict ark = ar + static_cast<long>(k) * ndim;
    const double* __restrict aik = ai + static_cast<long>(k) * ndim;
    const int na = std::min(n, k + 1 + rows_below);
    const int m = ip[k];
    const double tr = br[m];
    const double ti = bi[m];
    br[m] = br[k];
    bi[m] = bi[k];
    br[k] = tr;
    bi[k] = ti;
    for (int i = k + 1; i < na; ++i) {
      br[i] += ark[i] * tr - aik[i] * ti;
      bi[i] += aik[i] * tr + ark[i] * ti;
    }
  }
  for (int k = n - 1; k >= 1; --k) {
    const double* __restrict ark = ar + static_cast<long>(k) * ndim;
    const double* __restrict aik = ai + static_cast<long>(k) * ndim;
    ComplexDivide(br[k], bi[k], ark[k], aik[k]);
    const double tr = -br[k];
    const double ti = -bi[k];
    for (int i = 0; i < k; ++i) {
      br[i] += ark[i] * tr - aik[i] * ti;
      bi[i] += aik[i] * tr + ark[i] * ti;
    }
  }
  ComplexDivide(br[0], bi[0], ar[0], ai[0]);
}

// Band storage, 1-based as in the formulas of the band layout: element (i, j)
// of the matrix lies at band row i - j + md of column j, md = ml + mu + 1.
template <typename T>
struct BandView {
  T* a;
  int ndim;
  T& operator()(int row, int col) const { return a[(row - 1) + static_cast<long>(col - 1) * ndim]; }
};

}  // namespace

void DecomposeReal(int n, int ndim, double* a, int* ip, int& ier) {
  DecomposeRealFull(n, ndim, a, ip, ier);
}

void SolveReal(int n, int ndim, const double* a, double* b, const int* ip) {
  SolveRealRows(n, ndim, a, n, b, ip);
}

void DecomposeComplex(int n, int ndim, double* ar, double* ai, int* ip, int& ier) {
  DecomposeComplexFull(n, ndim, ar, ai, ip, ier);
}

void SolveComplex(int n, int ndim, const double* ar, const double* ai, double* br, double* bi,
                  const int* ip) {
  SolveComplexRows(n, ndim, ar, ai, n, br, bi, ip);
}

void DecomposeRealHessenberg(int n, int ndim, double* a, int lb, int* ip, int& ier) {
  DecomposeRealRows(n, ndim, a, lb, ip, ier);
}

void SolveRealHessenberg(int n, int ndim, const double* a, int lb, double* b, const int* ip) {
  SolveRealRows(n, ndim, a, lb, b, ip);
}

void DecomposeComplexHessenberg(int n, int ndim, double* ar, double* ai, int lb, int* ip,
                                int& ier) {
  DecomposeComplexRows(n, ndim, ar, ai, lb, ip, ier);
}

void SolveComplexHessenberg(int n, int ndim, const double* ar, const double* ai, int lb,
                            double* br, double* bi, const int* ip) {
  SolveComplexRows(n, ndim, ar, ai, lb, br, bi, ip);
}

void DecomposeRealBanded(int n, int ndim, double* a_data, int ml, int mu, int* ip, int& ier) {
  ier = 0;
  if (n <= 0) return;
  const BandView<double> a{a_data, ndim};
  ip[n - 1] = 1;
  const int md = ml + mu + 1;
  const int md1 = md + 1;
  int ju = 0;
  if (ml != 0 && n != 1) {
    // Clear the fill-in rows of the columns that row exchanges can reach.
    for (int j = mu + 2; j <= n; ++j) {
      for (int i = 1; i <= ml; ++i) a(i, j) = 0.0;
    }
    for (int k = 1; k <= n - 1; ++k) {
      int m = md;
      const int mdl = std::min(ml, n - k) + md;
      for (int i = md1; i <= mdl; ++i) {
        if (!(std::abs(a(m, k)) >= std::abs(a(i, k)))) m = i;
      }
      const int pivot_row = m + k - md;  // matrix row, 1-based
      ip[k - 1] = pivot_row - 1;
      double t = a(m, k);
      if (m != md) {
        ip[n - 1] = -ip[n - 1];
        a(m, k) = a(md, k);
        a(md, k) = t;
      }
      if (t == 0.0) {
        ier = k;
        ip[n - 1] = 0;
        return;
      }
      t = 1.0 / t;
      for (int i = md1; i <= mdl; ++i) a(i, k) = -(t * a(i, k));
      ju = std::min(std::max(ju, mu + pivot_row), n);
      int mm = md;
      for (int j = k + 1; j <= ju; ++j) {
        --m;
        --mm;
        t = a(m, j);
        if (m != mm) {
          a(m, j) = a(mm, j);
          a(mm, j) = t;
        }
        if (t == 0.0) continue;
        const int jk = j - k;
        for (int i = md1; i <= mdl; ++i) a(i - jk, j) += a(i, k) * t;
      }
    }
  }
  if (ZeroOrNaN(a(md, n))) {
    ier = n;
    ip[n - 1] = 0;
  }
}

void SolveRealBanded(int n, int ndim, const double* a_data, int ml, int mu, double* b,
                     const int* ip) {
  if (n <= 0) return;
  const BandView<const double> a{a_data, ndim};
  const int md = ml + mu + 1;
  const int md1 = md + 1;
  const int mdm = md - 1;
  // Vector entries are addressed 1-based here, as the band formulas.
  auto v = [b](int i) -> double& { return b[i - 1]; };
  if (ml != 0) {
    for (int k = 1; k <= n - 1; ++k) {
      const int m = ip[k - 1] + 1;
      const double t = v(m);
      v(m) = v(k);
      v(k) = t;
      const int mdl = std::min(ml, n - k) + md;
      for (int i = md1; i <= mdl; ++i) v(i + k - md) += a(i, k) * t;
    }
  }
  for (int k = n; k >= 2; --k) {
    v(k) = v(k) / a(md, k);
    const double t = -v(k);
    const int kmd = md - k;
    const int lm = std::max(1, kmd + 1);
    for (int i = lm; i <= mdm; ++i) v(i - kmd) += a(i, k) * t;
  }
  v(1) = v(1) / a(md, 1);
}

void DecomposeComplexBanded(int n, int ndim, double* ar_data, double* ai_data, int ml, int mu,
                            int* ip, int& ier) {
  ier = 0;
  if (n <= 0) return;
  const BandView<double> ar{ar_data, ndim};
  const BandView<double> ai{ai_data, ndim};
  ip[n - 1] = 1;
  const int md = ml + mu + 1;
  const int md1 = md + 1;
  int ju = 0;
  if (ml != 0 && n != 1) {
    for (int j = mu + 2; j <= n; ++j) {
      for (int i = 1; i <= ml; ++i) {
        ar(i, j) = 0.0;
        ai(i, j) = 0.0;
      }
    }
    for (int k = 1; k <= n - 1; ++k) {
      int m = md;
      const int mdl = std::min(ml, n - k) + md;
      for (int i = md1; i <= mdl; ++i) {
        if (!(Measure(ar(m, k), ai(m, k)) >= Measure(ar(i, k), ai(i, k)))) m = i;
      }
      const int pivot_row = m + k - md;
      ip[k - 1] = pivot_row - 1;
      double tr = ar(m, k);
      double ti = ai(m, k);
      if (m != md) {
        ip[n - 1] = -ip[n - 1];
        ar(m, k) = ar(md, k);
        ai(m, k) = ai(md, k);
        ar(md, k) = tr;
        ai(md, k) = ti;
      }
      if (ZeroOrNaN(Measure(tr, ti))) {
        ier = k;
        ip[n - 1] = 0;
        return;
      }
      const double den = tr * tr + ti * ti;
      tr = tr / den;
      ti = -(ti / den);
      for (int i = md1; i <= mdl; ++i) {
        const double prodr = ar(i, k) * tr - ai(i, k) * ti;
        const double prodi = ai(i, k) * tr + ar(i, k) * ti;
        ar(i, k) = -prodr;
        ai(i, k) = -prodi;
      }
      ju = std::min(std::max(ju, mu + pivot_row), n);
      int mm = md;
      for (int j = k + 1; j <= ju; ++j) {
        --m;
        --mm;
        tr = ar(m, j);
        ti = ai(m, j);
        if (m != mm) {
          ar(m, j) = ar(mm, j);
          ai(m, j) = ai(mm, j);
          ar(mm, j) = tr;
          ai(mm, j) = ti;
        }
        if (ZeroOrNaN(Measure(tr, ti))) continue;
        // Rows md1 .. mdl of column k update rows md1-jk .. mdl-jk of column j.
        const int jk = j - k;
        ComplexColumnUpdate(&ar(md1, k), &ai(md1, k), tr, ti, &ar(md1 - jk, j), &ai(md1 - jk, j),
                            0, mdl - md);
      }
    }
  }
  if (ZeroOrNaN(Measure(ar(md, n), ai(md, n)))) {
    ier = n;
    ip[n - 1] = 0;
  }
}

void SolveComplexBanded(int n, int ndim, const double* ar_data, const double* ai_data, int ml,
                        int mu, double* br, double* bi, const int* ip) {
  if (n <= 0) return;
  const BandView<const double> ar{ar_data, ndim};
  const BandView<const double> ai{ai_data, ndim};
  const int md = ml + mu + 1;
  const int md1 = md + 1;
  const int mdm = md - 1;
  auto vr = [br](int i) -> double& { return br[i - 1]; };
  auto vi = [bi](int i) -> double& { return bi[i - 1]; };
  if (ml != 0) {
    for (int k = 1; k <= n - 1; ++k) {
      const int m = ip[k - 1] + 1;
      const double tr = vr(m);
      const double ti = vi(m);
      vr(m) = vr(k);
      vi(m) = vi(k);
      vr(k) = tr;
      vi(k) = ti;
      const int mdl = std::min(ml, n - k) + md;
      for (int i = md1; i <= mdl; ++i) {
        const int imd = i + k - md;
        vr(imd) += ar(i, k) * tr - ai(i, k) * ti;
        vi(imd) += ai(i, k) * tr + ar(i, k) * ti;
      }
    }
  }
  for (int k = n; k >= 2; --k) {
    ComplexDivide(vr(k), vi(k), ar(md, k), ai(md, k));
    const double tr = -vr(k);
    const double ti = -vi(k);
    const int kmd = md - k;
    const int lm = std::max(1, kmd + 1);
    for (int i = lm; i <= mdm; ++i) {
      const int imd = i - kmd;
      vr(imd) += ar(i, k) * tr - ai(i, k) * ti;
      vi(imd) += ai(i, k) * tr + ar(i, k) * ti;
    }
  }
  ComplexDivide(vr(1), vi(1), ar(md, 1), ai(md, 1));
}

void ReduceToHessenberg(int nm, int n, int low, int igh, double* a_data, int* interchanges) {
  auto a = [a_data, nm](int i, int j) -> double& {
    return a_data[i + static_cast<long>(j) * nm];
  };
  for (int m = low + 1; m <= igh - 1; ++m) {
    const int mm1 = m - 1;
    // Pivot: the first row of largest magnitude in column m-1, rows m .. igh.
    double x = 0.0;
    int i = m;
    for (int j = m; j <= igh; ++j) {
      if (!(std::abs(x) >= std::abs(a(j, mm1)))) {
        x = a(j, mm1);
        i = j;
      }
    }
    interchanges[m] = i;
    if (i != m) {
      for (int j = mm1; j < n; ++j) std::swap(a(i, j), a(m, j));
      for (int j = 0; j <= igh; ++j) std::swap(a(j, i), a(j, m));
    }
    if (x == 0.0) continue;
    for (int i2 = m + 1; i2 <= igh; ++i2) {
      double y = a(i2, mm1);
      if (y == 0.0) continue;
      y = y / x;
      a(i2, mm1) = y;
      for (int j = m; j < n; ++j) a(i2, j) -= y * a(m, j);
      for (int j = 0; j <= igh; ++j) a(j, m) += y * a(j, i2);
    }
  }
}

}  // namespace kx
