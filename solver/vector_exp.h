// The exponential function over arrays, for the many exponentials of one
// temperature: a loop without branches that the compiler vectorises.
#pragma once

namespace kx {

// y[i] = exp(x[i]) for i < n, within one unit in the last place of the
// exact value; exp(+-0) is 1, and |x| > 700 (infinities, not-a-numbers,
// results near or beyond the range of normal numbers) takes std::exp.
// x and y must not overlap.
void ExpArray(const double* x, double* y, int n);

}  // namespace kx
