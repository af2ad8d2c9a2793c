// The transformation constants of the method: T and TI are inverse to each
// other and turn the inverse of the Radau IIA coefficient matrix into
// diag(u1, [[alph, -beta], [beta, alph]]), the form the stage solves assume.
#include "radau_method.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kx {
namespace {

using M3 = double[3][3];

void Multiply(const M3& a, const M3& b, M3& c) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      c[i][j] = 0.0;
      for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    }
  }
}

const M3 kT = {{kT11, kT12, kT13}, {kT21, kT22, kT23}, {kT31, 1.0, 0.0}};
const M3 kTI = {{kTI11, kTI12, kTI13}, {kTI21, kTI22, kTI23}, {kTI31, kTI32, kTI33}};

TEST(RadauMethod, TransformationAndItsInverse) {
  M3 p;
  Multiply(kT, kTI, p);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(p[i][j], i == j ? 1.0 : 0.0, 2e-15);
  }
}

// A^-1 T = T L with L = diag(u1, [[alph, -beta], [beta, alph]]), checked as
// A T L = T.
TEST(RadauMethod, TransformationDiagonalisesTheInverseCoefficientMatrix) {
  const double s6 = std::sqrt(6.0);
  const M3 a = {{(88 - 7 * s6) / 360, (296 - 169 * s6) / 1800, (-2 + 3 * s6) / 225},
                {(296 + 169 * s6) / 1800, (88 + 7 * s6) / 360, (-2 - 3 * s6) / 225},
                {(16 - s6) / 36, (16 + s6) / 36, 1.0 / 9}};
  const MethodConstants mc;
  const M3 l = {{mc.u1, 0.0, 0.0}, {0.0, mc.alph, -mc.beta}, {0.0, mc.beta, mc.alph}};
  M3 at, atl;
  Multiply(a, kT, at);
  Multiply(at, l, atl);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(atl[i][j], kT[i][j], 1e-14);
  }
}

TEST(RadauMethod, NodesAreThoseOfRadauIIA) {
  const MethodConstants mc;
  // c1 and c2 are the roots of 10 c^2 - 8 c + 1 (with c3 = 1).
  EXPECT_NEAR(10 * mc.c1 * mc.c1 - 8 * mc.c1 + 1, 0.0, 1e-15);
  EXPECT_NEAR(10 * mc.c2 * mc.c2 - 8 * mc.c2 + 1, 0.0, 1e-15);
  EXPECT_LT(mc.c1, mc.c2);
}

}  // namespace
}  // namespace kx
