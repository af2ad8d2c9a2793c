// Dense LU kernels: solutions against known answers, the pivot and
// singularity conventions, and the Hessenberg and band forms against the
// full form.
#include "linear_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <vector>

namespace kx {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Complex = std::complex<double>;

// Column-major matrix with a leading dimension above its order; the padding
// rows hold a sentinel that no kernel may touch.
struct Dense {
  int n;
  int ld;
  std::vector<double> a;
  Dense(int order, int lead, double fill = 0.0)
      : n(order), ld(lead), a(static_cast<size_t>(order * lead), fill) {}
  double& operator()(int i, int j) { return a[static_cast<size_t>(i + j * ld)]; }
};

constexpr double kSentinel = -12345.0;

Dense RandomDense(int n, int ld, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Dense m(n, ld, kSentinel);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) m(i, j) = u(gen);
  }
  return m;
}

std::vector<double> Times(Dense m, const std::vector<double>& x) {
  std::vector<double> b(x.size(), 0.0);
  for (int j = 0; j < m.n; ++j) {
    for (int i = 0; i < m.n; ++i) b[i] += m(i, j) * x[j];
  }
  return b;
}

void ExpectPaddingUntouched(Dense& m) {
  for (int j = 0; j < m.n; ++j) {
    for (int i = m.n; i < m.ld; ++i) EXPECT_EQ(m(i, j), kSentinel);
  }
}

TEST(DecomposeReal, SolvesARandomSystem) {
  const int n = 12;
  Dense m = RandomDense(n, n + 3, 7);
  std::vector<double> x(n);
  for (int i = 0; i < n; ++i) x[i] = 1.0 + i;
  std::vector<double> b = Times(m, x);
  std::vector<int> ip(n);
  int ier = -1;
  DecomposeReal(n, m.ld, m.a.data(), ip.data(), ier);
  ASSERT_EQ(ier, 0);
  SolveReal(n, m.ld, m.a.data(), b.data(), ip.data());
  for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], x[i], 1e-10);
  ExpectPaddingUntouched(m);
}

TEST(DecomposeReal, DiagonallyDominantMatrixNeedsNoExchange) {
  const int n = 5;
  Dense m = RandomDense(n, n, 3);
  for (int i = 0; i < n; ++i) m(i, i) = 10.0;
  std::vector<int> ip(n);
  int ier = -1;
  DecomposeReal(n, n, m.a.data(), ip.data(), ier);
  EXPECT_EQ(ier, 0);
  for (int k = 0; k < n - 1; ++k) EXPECT_EQ(ip[k], k);
  EXPECT_EQ(ip[n - 1], 1);
}

// The multipliers are stored negated: for [[2, 1], [4, 3]] the pivot is row
// 1 (4), the multiplier of row 0 is -(2/4), and U = [[4, 3], [0, -0.5]].
TEST(DecomposeReal, StoresTheFactorsInThePublishedLayout) {
  double a[4] = {2.0, 4.0, 1.0, 3.0};
  int ip[2];
  int ier = -1;
  DecomposeReal(2, 2, a, ip, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(ip[0], 1);
  EXPECT_EQ(ip[1], -1);
  EXPECT_EQ(a[0], 4.0);
  EXPECT_EQ(a[1], -0.5);
  EXPECT_EQ(a[2], 3.0);
  EXPECT_EQ(a[3], -0.5);
}

struct PivotCase {
  std::vector<double> column;  // first column of a matrix with identity elsewhere
  int pivot;
};

class DecomposeRealPivot : public testing::TestWithParam<PivotCase> {};

TEST_P(DecomposeRealPivot, FirstRowOfLargestMagnitude) {
  const PivotCase& pc = GetParam();
  const int n = static_cast<int>(pc.column.size());
  Dense m(n, n);
  for (int i = 0; i < n; ++i) {
    m(i, 0) = pc.column[i];
    if (i > 0) m(i, i) = 1.0;
  }
  std::vector<int> ip(n);
  int ier = -1;
  DecomposeReal(n, n, m.a.data(), ip.data(), ier);
  EXPECT_EQ(ip[0], pc.pivot);
}

INSTANTIATE_TEST_SUITE_P(
    Ties, DecomposeRealPivot,
    testing::Values(PivotCase{{1.0, -3.0, 3.0, 2.0}, 1},  // tie: the earlier row
                    PivotCase{{3.0, -3.0, 1.0}, 0},       // tie with row k: no exchange
                    PivotCase{{1.0, 2.0, -5.0}, 2},
                    // A not-a-number never stays the candidate against a later row.
                    PivotCase{{kNaN, 1.0, 2.0}, 2}, PivotCase{{1.0, kNaN, 0.5}, 2}));

TEST(DecomposeReal, EachExchangeFlipsTheSign) {
  // Reversal of three rows: one exchange at stage 0 (rows 0 and 2), none after.
  double a[9] = {0, 0, 1, 0, 1, 0, 1, 0, 0};
  int ip[3];
  int ier = -1;
  DecomposeReal(3, 3, a, ip, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(ip[0], 2);
  EXPECT_EQ(ip[1], 1);
  EXPECT_EQ(ip[2], -1);
  // A cyclic shift needs two exchanges.
  double c[9] = {0, 1, 0, 0, 0, 1, 1, 0, 0};
  DecomposeReal(3, 3, c, ip, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(ip[2], 1);
}

struct SingularCase {
  const char* name;
  int n;
  std::vector<double> a;  // column-major
  int ier;
};

class DecomposeRealSingular : public testing::TestWithParam<SingularCase> {};

TEST_P(DecomposeRealSingular, ReportsTheStage) {
  SingularCase sc = GetParam();
  std::vector<int> ip(sc.n, 99);
  int ier = -1;
  DecomposeReal(sc.n, sc.n, sc.a.data(), ip.data(), ier);
  EXPECT_EQ(ier, sc.ier);
  EXPECT_EQ(ip[sc.n - 1], sc.ier == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecomposeRealSingular,
    testing::Values(
        SingularCase{"OneByOne", 1, {3.0}, 0}, SingularCase{"OneByOneZero", 1, {0.0}, 1},
        SingularCase{"NegativeZero", 1, {-0.0}, 1},
        SingularCase{"ZeroFirstColumn", 3, {0, 0, 0, 1, 2, 3, 4, 5, 7}, 1},
        // Third row = first + second: the last pivot is exactly zero.
        SingularCase{"DependentRows", 3, {1, 0, 1, 0, 1, 1, 1, 1, 2}, 3},
        SingularCase{"NaNLastElement", 2, {1.0, 0.0, 0.0, kNaN}, 2},
        // A not-a-number pivot before the last stage is used, and spreads.
        SingularCase{"NaNEarlyPivot", 2, {kNaN, kNaN, 1.0, 1.0}, 2}),
    [](const testing::TestParamInfo<SingularCase>& info) { return std::string(info.param.name); });

TEST(SolveReal, OneByOneDivides) {
  double a[1] = {4.0};
  int ip[1];
  int ier = -1;
  DecomposeReal(1, 1, a, ip, ier);
  EXPECT_EQ(ip[0], 1);
  double b[1] = {2.0};
  SolveReal(1, 1, a, b, ip);
  EXPECT_EQ(b[0], 0.5);
}

// ---- Complex full form.
struct ComplexDense {
  Dense re;
  Dense im;
  ComplexDense(int n, int ld) : re(n, ld, kSentinel), im(n, ld, kSentinel) {}
  Complex at(int i, int j) { return {re(i, j), im(i, j)}; }
  void set(int i, int j, Complex v) {
    re(i, j) = v.real();
    im(i, j) = v.imag();
  }
};

// Columns purely real, purely imaginary and general, so that every form of
// the column update runs.
ComplexDense MixedComplex(int n, int ld, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  ComplexDense m(n, ld);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const double r = u(gen);
      const double s = u(gen);
      switch (j % 3) {
        case 0:
          m.set(i, j, {r, 0.0});
          break;
        case 1:
          m.set(i, j, {0.0, s});
          break;
        default:
          m.set(i, j, {r, s});
      }
    }
  }
  return m;
}

std::vector<Complex> Times(ComplexDense m, const std::vector<Complex>& x) {
  std::vector<Complex> b(x.size());
  for (int j = 0; j < m.re.n; ++j) {
    for (int i = 0; i < m.re.n; ++i) b[i] += m.at(i, j) * x[j];
  }
  return b;
}

TEST(DecomposeComplex, SolvesAKnownSystem) {
  const int n = 9;
  ComplexDense m = MixedComplex(n, n + 2, 11);
  std::vector<Complex> x(n);
  for (int i = 0; i < n; ++i) x[i] = {1.0 + i, 0.5 * i - 2.0};
  const std::vector<Complex> b = Times(m, x);
  std::vector<double> br(n), bi(n);
  for (int i = 0; i < n; ++i) {
    br[i] = b[i].real();
    bi[i] = b[i].imag();
  }
  std::vector<int> ip(n);
  int ier = -1;
  DecomposeComplex(n, m.re.ld, m.re.a.data(), m.im.a.data(), ip.data(), ier);
  ASSERT_EQ(ier, 0);
  SolveComplex(n, m.re.ld, m.re.a.data(), m.im.a.data(), br.data(), bi.data(), ip.data());
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(br[i], x[i].real(), 1e-10);
    EXPECT_NEAR(bi[i], x[i].imag(), 1e-10);
  }
  ExpectPaddingUntouched(m.re);
  ExpectPaddingUntouched(m.im);
}

TEST(DecomposeComplex, OneByOneDividesInComplexArithmetic) {
  double ar[1] = {1.0}, ai[1] = {2.0};
  int ip[1];
  int ier = -1;
  DecomposeComplex(1, 1, ar, ai, ip, ier);
  ASSERT_EQ(ier, 0);
  double br[1] = {5.0}, bi[1] = {0.0};  // 5 / (1 + 2i) = 1 - 2i
  SolveComplex(1, 1, ar, ai, br, bi, ip);
  EXPECT_NEAR(br[0], 1.0, 1e-15);
  EXPECT_NEAR(bi[0], -2.0, 1e-15);
}

// The pivot measure is |re| + |im|, not the modulus: 2+2i (measure 4,
// modulus 2.83) wins over 3 (measure and modulus 3).
TEST(DecomposeComplex, PivotsOnTheSumOfMagnitudes) {
  double ar[4] = {3.0, 2.0, 0.0, 1.0};
  double ai[4] = {0.0, 2.0, 1.0, 0.0};
  int ip[2];
  int ier = -1;
  DecomposeComplex(2, 2, ar, ai, ip, ier);
  EXPECT_EQ(ier, 0);
  EXPECT_EQ(ip[0], 1);
  EXPECT_EQ(ip[1], -1);
}

TEST(DecomposeComplex, ReportsSingularStages) {
  int ip[3];
  int ier = -1;
  // Zero first column.
  double zr[9] = {0, 0, 0, 1, 0, 0, 0, 0, 1};
  double zi[9] = {0, 0, 0, 0, 1, 0, 0, 1, 0};
  DecomposeComplex(3, 3, zr, zi, ip, ier);
  EXPECT_EQ(ier, 1);
  EXPECT_EQ(ip[2], 0);
  // A not-a-number pivot stops at its own stage (stage 2 here).
  double nr[9] = {1, 0, 0, 0, kNaN, 0, 0, 0, 1};
  double ni[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  DecomposeComplex(3, 3, nr, ni, ip, ier);
  EXPECT_EQ(ier, 2);
  EXPECT_EQ(ip[2], 0);
  // Second row is i times the first: the last pivot is zero.
  double dr[4] = {1.0, 0.0, 0.0, -1.0};
  double di[4] = {0.0, 1.0, 1.0, 0.0};
  DecomposeComplex(2, 2, dr, di, ip, ier);
  EXPECT_EQ(ier, 2);
}

// ---- The decompositions against a plain column-by-column elimination.
// The kernels update several columns per pass; every element must still get
// the operations of the published order, bit for bit, with the columns whose
// pivot-row entry is zero (or real, or imaginary) skipped or shortened.

// Entries drawn so that a quarter are zero, of either sign (an update that
// should have been skipped turns -0 into +0), and, for complex matrices, a
// quarter each real, imaginary and general: pivot rows then hold every case.
double SparseEntry(std::mt19937& gen) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const double v = u(gen);
  if (std::uniform_int_distribution<int>(0, 3)(gen) != 0) return v;
  return v < 0.0 ? -0.0 : 0.0;
}

void PlainDecomposeReal(Dense& m, std::vector<int>& ip, int& ier) {
  const int n = m.n;
  ier = 0;
  ip[n - 1] = 1;
  for (int k = 0; k < n - 1; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (!(std::abs(m(p, k)) >= std::abs(m(i, k)))) p = i;
    ip[k] = p;
    double t = m(p, k);
    if (p != k) {
      ip[n - 1] = -ip[n - 1];
      m(p, k) = m(k, k);
      m(k, k) = t;
    }
    if (t == 0.0) {
      ier = k + 1;
      ip[n - 1] = 0;
      return;
    }
    t = 1.0 / t;
    for (int i = k + 1; i < n; ++i) m(i, k) = -(t * m(i, k));
    for (int j = k + 1; j < n; ++j) {
      t = m(p, j);
      m(p, j) = m(k, j);
      m(k, j) = t;
      if (t == 0.0) continue;
      for (int i = k + 1; i < n; ++i) m(i, j) = m(i, j) + m(i, k) * t;
    }
  }
  if (m(n - 1, n - 1) == 0.0) ier = n;
}

void PlainDecomposeComplex(ComplexDense& m, std::vector<int>& ip, int& ier) {
  const int n = m.re.n;
  auto measure = [&](int i, int j) { return std::abs(m.re(i, j)) + std::abs(m.im(i, j)); };
  ier = 0;
  ip[n - 1] = 1;
  for (int k = 0; k < n - 1; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (!(measure(p, k) >= measure(i, k))) p = i;
    ip[k] = p;
    double tr = m.re(p, k), ti = m.im(p, k);
    if (p != k) {
      ip[n - 1] = -ip[n - 1];
      m.re(p, k) = m.re(k, k);
      m.im(p, k) = m.im(k, k);
      m.re(k, k) = tr;
      m.im(k, k) = ti;
    }
    if (std::abs(tr) + std::abs(ti) == 0.0) {
      ier = k + 1;
      ip[n - 1] = 0;
      return;
    }
    const double den = tr * tr + ti * ti;
    tr = tr / den;
    ti = -(ti / den);
    for (int i = k + 1; i < n; ++i) {
      const double pr = m.re(i, k) * tr - m.im(i, k) * ti;
      const double pi = m.im(i, k) * tr + m.re(i, k) * ti;
      m.re(i, k) = -pr;
      m.im(i, k) = -pi;
    }
    for (int j = k + 1; j < n; ++j) {
      tr = m.re(p, j);
      ti = m.im(p, j);
      m.re(p, j) = m.re(k, j);
      m.im(p, j) = m.im(k, j);
      m.re(k, j) = tr;
      m.im(k, j) = ti;
      if (std::abs(tr) + std::abs(ti) == 0.0) continue;
      for (int i = k + 1; i < n; ++i) {
        if (ti == 0.0) {
          m.re(i, j) = m.re(i, j) + m.re(i, k) * tr;
          m.im(i, j) = m.im(i, j) + m.im(i, k) * tr;
        } else if (tr != 0.0) {
          m.re(i, j) = m.re(i, j) + (m.re(i, k) * tr - m.im(i, k) * ti);
          m.im(i, j) = m.im(i, j) + (m.im(i, k) * tr + m.re(i, k) * ti);
        } else {
          m.re(i, j) = m.re(i, j) - m.im(i, k) * ti;
          m.im(i, j) = m.im(i, j) + m.re(i, k) * ti;
        }
      }
    }
  }
  if (measure(n - 1, n - 1) == 0.0) ier = n;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Regular matrices of several orders (odd and even: stages go two at a
// time), and matrices whose column `zeroColumn` is zero, which stop at stage
// zeroColumn + 1 with the array partly eliminated.
struct BitsCase {
  int n;
  int zeroColumn;  // -1: none
};
const BitsCase kBitsCases[] = {{1, -1}, {2, -1}, {5, -1}, {13, -1}, {54, -1},
                               {7, 1},  {7, 2},  {7, 3},  {8, 6}};

TEST(DecomposeReal, ColumnBlocksGiveTheBitsOfTheColumnOrder) {
  for (const BitsCase& c : kBitsCases) {
    const int n = c.n;
    SCOPED_TRACE(testing::Message() << n << " " << c.zeroColumn);
    std::mt19937 gen(static_cast<unsigned>(100 + n));
    Dense m(n, n + 3, kSentinel);
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) m(i, j) = j == c.zeroColumn ? 0.0 : SparseEntry(gen);
      if (j != c.zeroColumn) m(j, j) = 4.0 + j;  // regular, with zeros all around it
    }
    Dense plain = m;
    std::vector<int> ip(n, -7), plainIp(n, -7);
    int ier = -1, plainIer = -1;
    DecomposeReal(n, m.ld, m.a.data(), ip.data(), ier);
    PlainDecomposeReal(plain, plainIp, plainIer);
    EXPECT_EQ(ier, c.zeroColumn + 1);
    EXPECT_EQ(plainIer, ier);
    EXPECT_EQ(ip, plainIp);
    EXPECT_TRUE(SameBits(m.a, plain.a));
  }
}

TEST(DecomposeComplex, ColumnBlocksGiveTheBitsOfTheColumnOrder) {
  for (const BitsCase& c : kBitsCases) {
    const int n = c.n;
    SCOPED_TRACE(testing::Message() << n << " " << c.zeroColumn);
    std::mt19937 gen(static_cast<unsigned>(200 + n));
    ComplexDense m(n, n + 3);
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        const double r = SparseEntry(gen);
        const double s = SparseEntry(gen);
        m.set(i, j, j == c.zeroColumn ? Complex{} : Complex{r, s});
      }
      if (j != c.zeroColumn) m.set(j, j, {3.0 + j, 1.0});
    }
    ComplexDense plain = m;
    std::vector<int> ip(n, -7), plainIp(n, -7);
    int ier = -1, plainIer = -1;
    DecomposeComplex(n, m.re.ld, m.re.a.data(), m.im.a.data(), ip.data(), ier);
    PlainDecomposeComplex(plain, plainIp, plainIer);
    EXPECT_EQ(ier, c.zeroColumn + 1);
    EXPECT_EQ(plainIer, ier);
    EXPECT_EQ(ip, plainIp);
    EXPECT_TRUE(SameBits(m.re.a, plain.re.a));
    EXPECT_TRUE(SameBits(m.im.a, plain.im.a));
  }
}

// ---- Hessenberg-like form against the full form.
TEST(DecomposeRealHessenberg, MatchesTheFullFormAndReadsNothingBelowTheBand) {
  const int n = 10;
  Dense full = RandomDense(n, n, 5);
  for (int j = 0; j < n; ++j) {
    for (int i = j + 2; i < n; ++i) full(i, j) = 0.0;
  }
  Dense hess = full;
  for (int j = 0; j < n; ++j) {
    for (int i = j + 2; i < n; ++i) hess(i, j) = kNaN;
  }
  std::vector<int> ipf(n), iph(n);
  int ierf = -1, ierh = -1;
  DecomposeReal(n, n, full.a.data(), ipf.data(), ierf);
  DecomposeRealHessenberg(n, n, hess.a.data(), 1, iph.data(), ierh);
  ASSERT_EQ(ierf, 0);
  ASSERT_EQ(ierh, 0);
  EXPECT_EQ(iph, ipf);
  std::vector<double> bf(n), bh(n);
  for (int i = 0; i < n; ++i) bf[i] = bh[i] = std::sin(1.0 + i);
  SolveReal(n, n, full.a.data(), bf.data(), ipf.data());
  SolveRealHessenberg(n, n, hess.a.data(), 1, bh.data(), iph.data());
  for (int i = 0; i < n; ++i) EXPECT_DOUBLE_EQ(bh[i], bf[i]);
  for (int j = 0; j < n; ++j) {
    for (int i = j + 2; i < n; ++i) EXPECT_TRUE(std::isnan(hess(i, j)));
  }
}

TEST(DecomposeComplexHessenberg, MatchesTheFullForm) {
  const int n = 8;
  ComplexDense full = MixedComplex(n, n, 17);
  for (int j = 0; j < n; ++j) {
    for (int i = j + 2; i < n; ++i) full.set(i, j, 0.0);
  }
  ComplexDense hess = full;
  for (int j = 0; j < n; ++j) {
    for (int i = j + 2; i < n; ++i) hess.set(i, j, {kNaN, kNaN});
  }
  std::vector<int> ipf(n), iph(n);
  int ierf = -1, ierh = -1;
  DecomposeComplex(n, n, full.re.a.data(), full.im.a.data(), ipf.data(), ierf);
  DecomposeComplexHessenberg(n, n, hess.re.a.data(), hess.im.a.data(), 1, iph.data(), ierh);
  ASSERT_EQ(ierf, 0);
  ASSERT_EQ(ierh, 0);
  EXPECT_EQ(iph, ipf);
  std::vector<double> fr(n), fi(n), hr(n), hi(n);
  for (int i = 0; i < n; ++i) {
    fr[i] = hr[i] = std::cos(0.3 * i);
    fi[i] = hi[i] = 1.0 - 0.1 * i;
  }
  SolveComplex(n, n, full.re.a.data(), full.im.a.data(), fr.data(), fi.data(), ipf.data());
  SolveComplexHessenberg(n, n, hess.re.a.data(), hess.im.a.data(), 1, hr.data(), hi.data(),
                         iph.data());
  for (int i = 0; i < n; ++i) {
    EXPECT_DOUBLE_EQ(hr[i], fr[i]);
    EXPECT_DOUBLE_EQ(hi[i], fi[i]);
  }
}

// ---- Band form against the full form.
struct BandShape {
  int n, ml, mu;
};

void PrintTo(const BandShape& s, std::ostream* os) {
  *os << "n " << s.n << " ml " << s.ml << " mu " << s.mu;
}
void PrintTo(const SingularCase& c, std::ostream* os) { *os << c.name; }

class BandedKernels : public testing::TestWithParam<BandShape> {};

// Band storage of a banded full matrix; the fill-in rows start as NaN, which
// the decomposition must clear or never read.
std::vector<double> ToBand(Dense& full, int ml, int mu) {
  const int ld = 2 * ml + mu + 1;
  std::vector<double> band(static_cast<size_t>(ld * full.n), kNaN);
  for (int j = 0; j < full.n; ++j) {
    for (int i = std::max(0, j - mu); i <= std::min(full.n - 1, j + ml); ++i) {
      band[static_cast<size_t>(i - j + ml + mu + j * ld)] = full(i, j);
    }
  }
  return band;
}

Dense RandomBanded(const BandShape& s, unsigned seed) {
  Dense m = RandomDense(s.n, s.n, seed);
  for (int j = 0; j < s.n; ++j) {
    for (int i = 0; i < s.n; ++i) {
      if (i - j > s.ml || j - i > s.mu) m(i, j) = 0.0;
    }
  }
  return m;
}

TEST_P(BandedKernels, RealMatchesTheFullForm) {
  const BandShape s = GetParam();
  Dense full = RandomBanded(s, 23);
  std::vector<double> band = ToBand(full, s.ml, s.mu);
  const int ld = 2 * s.ml + s.mu + 1;
  std::vector<int> ipf(s.n), ipb(s.n);
  int ierf = -1, ierb = -1;
  DecomposeReal(s.n, s.n, full.a.data(), ipf.data(), ierf);
  DecomposeRealBanded(s.n, ld, band.data(), s.ml, s.mu, ipb.data(), ierb);
  ASSERT_EQ(ierf, 0);
  ASSERT_EQ(ierb, 0);
  // The band pivots are matrix rows; without a lower band nothing is exchanged
  // and only the sign entry is written.
  if (s.ml > 0) {
    EXPECT_EQ(ipb, ipf);
  }
  EXPECT_EQ(ipb[s.n - 1], ipf[s.n - 1]);
  std::vector<double> bf(s.n), bb(s.n);
  for (int i = 0; i < s.n; ++i) bf[i] = bb[i] = 1.0 / (1.0 + i);
  SolveReal(s.n, s.n, full.a.data(), bf.data(), ipf.data());
  SolveRealBanded(s.n, ld, band.data(), s.ml, s.mu, bb.data(), ipb.data());
  for (int i = 0; i < s.n; ++i) EXPECT_NEAR(bb[i], bf[i], 1e-12 * (1.0 + std::abs(bf[i])));
}

TEST_P(BandedKernels, ComplexMatchesTheFullForm) {
  const BandShape s = GetParam();
  Dense fr = RandomBanded(s, 29);
  Dense fi = RandomBanded(s, 31);
  std::vector<double> br = ToBand(fr, s.ml, s.mu);
  std::vector<double> bi = ToBand(fi, s.ml, s.mu);
  const int ld = 2 * s.ml + s.mu + 1;
  std::vector<int> ipf(s.n), ipb(s.n);
  int ierf = -1, ierb = -1;
  DecomposeComplex(s.n, s.n, fr.a.data(), fi.a.data(), ipf.data(), ierf);
  DecomposeComplexBanded(s.n, ld, br.data(), bi.data(), s.ml, s.mu, ipb.data(), ierb);
  ASSERT_EQ(ierf, 0);
  ASSERT_EQ(ierb, 0);
  if (s.ml > 0) {
    EXPECT_EQ(ipb, ipf);
  }
  std::vector<double> xr(s.n), xi(s.n), yr(s.n), yi(s.n);
  for (int i = 0; i < s.n; ++i) {
    xr[i] = yr[i] = 1.0 + i;
    xi[i] = yi[i] = -0.5 * i;
  }
  SolveComplex(s.n, s.n, fr.a.data(), fi.a.data(), xr.data(), xi.data(), ipf.data());
  SolveComplexBanded(s.n, ld, br.data(), bi.data(), s.ml, s.mu, yr.data(), yi.data(), ipb.data());
  for (int i = 0; i < s.n; ++i) {
    EXPECT_NEAR(yr[i], xr[i], 1e-12 * (1.0 + std::abs(xr[i])));
    EXPECT_NEAR(yi[i], xi[i], 1e-12 * (1.0 + std::abs(xi[i])));
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BandedKernels,
                         testing::Values(BandShape{9, 2, 1}, BandShape{8, 1, 3},
                                         BandShape{7, 0, 2},  // upper triangular band
                                         BandShape{6, 3, 0}, BandShape{1, 1, 1},
                                         BandShape{3, 2, 4}));  // band wider than the matrix

TEST(DecomposeRealBanded, ReportsAZeroColumn) {
  // Tridiagonal 3x3 with a zero first column (ml = mu = 1, ld = 4).
  std::vector<double> band = {kNaN, 0.0, 0.0, 0.0, kNaN, 1.0, 2.0, 1.0, kNaN, 1.0, 2.0, kNaN};
  int ip[3];
  int ier = -1;
  DecomposeRealBanded(3, 4, band.data(), 1, 1, ip, ier);
  EXPECT_EQ(ier, 1);
  EXPECT_EQ(ip[2], 0);
}

// ---- Reduction to Hessenberg form: solving (g I - A) x = b through the
// reduced matrix (with its interchanges and multipliers) gives the solution
// of the full system.
TEST(ReduceToHessenberg, ReducedMatrixSolvesTheShiftedSystem) {
  const int n = 7;
  const double g = 2.5;
  Dense a = RandomDense(n, n + 1, 41);
  Dense reduced = a;
  std::vector<int> interchanges(n, -1);
  ReduceToHessenberg(reduced.ld, n, 0, n - 1, reduced.a.data(), interchanges.data());
  ExpectPaddingUntouched(reduced);

  std::vector<double> b(n);
  for (int i = 0; i < n; ++i) b[i] = std::sin(2.0 * i + 1.0);

  // Full system.
  Dense shifted = a;
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) shifted(i, j) = (i == j ? g : 0.0) - a(i, j);
  }
  std::vector<int> ip(n);
  int ier = -1;
  DecomposeReal(n, shifted.ld, shifted.a.data(), ip.data(), ier);
  ASSERT_EQ(ier, 0);
  std::vector<double> x = b;
  SolveReal(n, shifted.ld, shifted.a.data(), x.data(), ip.data());

  // Through the Hessenberg form: v = G^-1 b, solve (g I - H) w = v, x = G w.
  std::vector<double> v = b;
  for (int m = 1; m <= n - 2; ++m) {
    std::swap(v[m], v[interchanges[m]]);
    for (int r = m + 1; r < n; ++r) v[r] -= reduced(r, m - 1) * v[m];
  }
  Dense hs(n, n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i <= std::min(n - 1, j + 1); ++i) hs(i, j) = (i == j ? g : 0.0) - reduced(i, j);
  }
  DecomposeRealHessenberg(n, n, hs.a.data(), 1, ip.data(), ier);
  ASSERT_EQ(ier, 0);
  SolveRealHessenberg(n, n, hs.a.data(), 1, v.data(), ip.data());
  for (int m = n - 2; m >= 1; --m) {
    for (int r = m + 1; r < n; ++r) v[r] += reduced(r, m - 1) * v[m];
    std::swap(v[m], v[interchanges[m]]);
  }
  for (int i = 0; i < n; ++i) EXPECT_NEAR(v[i], x[i], 1e-11 * (1.0 + std::abs(x[i])));
}

TEST(ReduceToHessenberg, SmallMatricesAreLeftAlone) {
  double a[4] = {1.0, 2.0, 3.0, 4.0};
  int interchanges[2] = {-1, -1};
  ReduceToHessenberg(2, 2, 0, 1, a, interchanges);
  EXPECT_EQ(a[1], 2.0);
  EXPECT_EQ(interchanges[1], -1);
}

}  // namespace
}  // namespace kx
