// Stiff test problems with the settings of the published reference runs.
#pragma once

#include "radau_test_support.h"

namespace kx::test {

// y1' = y2, y2' = ((1 - y1^2) y2 - y1)/1e-6, y(0) = (2, -0.66), x in [0, 2].
void VanDerPol(int& n, double& x, double* y, double* f, double* rpar, int* ipar, int& nspec,
               int& nreac, double* th);
void VanDerPolJac(int& n, double& x, double* y, double* dfy, int& ldfy, double* rpar, int* ipar);
RadauCase VanDerPolCase();  // analytic Jacobian, tolerances 1e-6, H0 1e-6

// Robertson's reactions, y(0) = (1, 0, 0); RTOL 1e-6, ATOL 1e-10, numerical
// Jacobian, H0 1e-6, XEND 1e5.
void Robertson(int& n, double& x, double* y, double* f, double* rpar, int* ipar, int& nspec,
               int& nreac, double* th);
RadauCase RobertsonCase();

// y' = -y for every component.
void Decay(int& n, double& x, double* y, double* f, double* rpar, int* ipar, int& nspec,
           int& nreac, double* th);
void DecayJac(int& n, double& x, double* y, double* dfy, int& ldfy, double* rpar, int* ipar);

}  // namespace kx::test
