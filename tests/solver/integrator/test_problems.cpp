#include "test_problems.h"

namespace kx::test {

namespace {
constexpr double kVdpEps = 1e-6;
}

void VanDerPol(int&, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  f[0] = y[1];
  f[1] = ((1 - y[0] * y[0]) * y[1] - y[0]) / kVdpEps;
}

void VanDerPolJac(int&, double&, double* y, double* dfy, int& ldfy, double*, int*) {
  dfy[0] = 0.0;
  dfy[ldfy] = 1.0;
  dfy[1] = (-2.0 * y[0] * y[1] - 1.0) / kVdpEps;
  dfy[1 + ldfy] = (1.0 - y[0] * y[0]) / kVdpEps;
}

RadauCase VanDerPolCase() {
  RadauCase c;
  c.fcn = VanDerPol;
  c.jac = VanDerPolJac;
  c.ijac = 1;
  c.y0 = {2.0, -0.66};
  c.x0 = 0.0;
  c.xend = 2.0;
  c.h0 = 1e-6;
  c.rtol = {1e-6};
  c.atol = {1e-6};
  return c;
}

void Robertson(int&, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  const double prod1 = 0.04 * y[0];
  const double prod2 = 1e4 * y[1] * y[2];
  const double prod3 = 3e7 * y[1] * y[1];
  f[0] = -prod1 + prod2;
  f[1] = prod1 - prod2 - prod3;
  f[2] = prod3;
}

RadauCase RobertsonCase() {
  RadauCase c;
  c.fcn = Robertson;
  c.y0 = {1.0, 0.0, 0.0};
  c.x0 = 0.0;
  c.xend = 1e5;
  c.h0 = 1e-6;
  c.rtol = {1e-6};
  c.atol = {1e-10};
  return c;
}

void Decay(int& n, double&, double* y, double* f, double*, int*, int&, int&, double*) {
  for (int i = 0; i < n; ++i) f[i] = -y[i];
}

void DecayJac(int& n, double&, double*, double* dfy, int& ldfy, double*, int*) {
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) dfy[i + j * ldfy] = i == j ? -1.0 : 0.0;
  }
}

}  // namespace kx::test
