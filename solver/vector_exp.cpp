#include "vector_exp.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "vector_clones.h"

namespace kx {

namespace {

// exp(x) = 2^k exp(r) with k the integer nearest to x / ln 2 and
// r = x - k ln 2, |r| <= ln 2 / 2; ln 2 in two parts, the first with eleven
// trailing zero bits so that k ln2Hi is exact for |k| < 2^11.
constexpr double kLog2e = 0x1.71547652b82fep0;
constexpr double kLn2Hi = 0x1.62e42fefa3800p-1;
constexpr double kLn2Lo = 0x1.ef35793c76730p-45;
// Adding it to a number below 2^51 rounds that to an integer, which stands
// in the low bits of the sum.
constexpr double kShifter = 0x1.8p52;
// Arguments up to this magnitude give normal results through 2^k; others
// take std::exp.
constexpr double kLimit = 700.0;
// exp(r) by its Taylor polynomial of degree 13: the first left-out term is
// below 5e-18 for |r| <= ln 2 / 2.
constexpr double kTaylor[14] = {
    0x1.0000000000000p+0, 0x1.0000000000000p+0, 0x1.0000000000000p-1, 0x1.5555555555555p-3,
    0x1.5555555555555p-5, 0x1.1111111111111p-7, 0x1.6c16c16c16c17p-10, 0x1.a01a01a01a01ap-13,
    0x1.a01a01a01a01ap-16, 0x1.71de3a556c734p-19, 0x1.27e4fb7789f5cp-22, 0x1.ae64567f544e4p-26,
    0x1.1eed8eff8d898p-29, 0x1.6124613a86d09p-33};

}  // namespace

KX_VECTOR_CLONES
void ExpArray(const double* __restrict x, double* __restrict y, int n) {
  for (int i = 0; i < n; ++i) {
    const double v = x[i] < -kLimit ? -kLimit : x[i] > kLimit ? kLimit : x[i];
    const double shifted = v * kLog2e + kShifter;
    const double k = shifted - kShifter;
    const double r = (v - k * kLn2Hi) - k * kLn2Lo;
    // exp(r) = 1 + q, the terms of q grouped by Estrin's scheme (short chains
    // of dependent operations), the 1 added last.
    const double r2 = r * r;
    const double r4 = r2 * r2;
    const double* c = kTaylor;
    const double q2 = c[2] + c[3] * r;
    const double q4 = (c[4] + c[5] * r) + r2 * (c[6] + c[7] * r);
    const double q8 = (c[8] + c[9] * r) + r2 * (c[10] + c[11] * r);
    const double q12 = c[12] + c[13] * r;
    const double q = r + r2 * (q2 + r2 * (q4 + r4 * (q8 + r4 * q12)));
    const double p = 1.0 + q;
    const std::int64_t power = std::bit_cast<std::int64_t>(shifted) - std::bit_cast<std::int64_t>(kShifter);
    y[i] = p * std::bit_cast<double>((power + 1023) << 52);
  }
  for (int i = 0; i < n; ++i)
    if (!(std::fabs(x[i]) <= kLimit)) y[i] = std::exp(x[i]);
}

}  // namespace kx
