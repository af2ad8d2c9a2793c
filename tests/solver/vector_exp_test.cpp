// The array exponential against std::exp in extended precision, and at the
// edges of its range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "vector_exp.h"

namespace {

// |got - exp(x)| in units in the last place of the correctly rounded value.
double UlpError(double got, double x) {
  const long double exact = std::exp(static_cast<long double>(x));
  const double rounded = static_cast<double>(exact);
  const double ulp = std::nextafter(rounded, std::numeric_limits<double>::infinity()) - rounded;
  return static_cast<double>(std::fabs(static_cast<long double>(got) - exact) / ulp);
}

TEST(ExpArray, WithinOneUnitInTheLastPlace) {
  std::mt19937_64 gen(11);
  std::vector<double> x;
  // The whole range of normal results, and the arguments of rate constants.
  std::uniform_real_distribution<double> wide(-708.0, 709.0), narrow(-60.0, 40.0), tiny(-1e-3, 1e-3);
  for (int k = 0; k < 100000; ++k) x.push_back(wide(gen));
  for (int k = 0; k < 100000; ++k) x.push_back(narrow(gen));
  for (int k = 0; k < 1000; ++k) x.push_back(tiny(gen));
  // Arguments close to multiples of ln 2 / 2, where the reduction turns.
  for (int k = -1000; k <= 1000; ++k) x.push_back(std::nextafter(k * 0.34657359027997264, 0.0));
  std::vector<double> y(x.size());
  kx::ExpArray(x.data(), y.data(), static_cast<int>(x.size()));
  double worst = 0;
  for (std::size_t i = 0; i < x.size(); ++i) worst = std::max(worst, UlpError(y[i], x[i]));
  EXPECT_LE(worst, 1.0);
}

TEST(ExpArray, EdgesAreThoseOfStdExp) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> x = {0.0,    -0.0,   1e-300, -1e-300, 700.0, -700.0, 700.5, -700.5, 709.78,
                                 709.79, -745.0, -746.0, 1e10,    -1e10, inf,    -inf};
  std::vector<double> y(x.size());
  kx::ExpArray(x.data(), y.data(), static_cast<int>(x.size()));
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (std::fabs(x[i]) > 700.0) {
      EXPECT_EQ(y[i], std::exp(x[i])) << x[i];
    } else {
      EXPECT_LE(UlpError(y[i], x[i]), 1.0) << x[i];
    }
  }
  EXPECT_EQ(y[0], 1.0);
  EXPECT_EQ(y[1], 1.0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double out = 0;
  kx::ExpArray(&nan, &out, 1);
  EXPECT_TRUE(std::isnan(out));
}

}  // namespace
