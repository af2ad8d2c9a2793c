// The Jacobian routine the console solver hands to RADAU5 together with
// IJAC = 0: the Jacobian is then formed by finite differences and this
// routine is never called. Kept in its own file so that a program defining
// its own version links without a clash.
#include "radau5.h"

namespace kx {

void SolverDummyJac(int& /*n*/, double& /*x*/, double* /*y*/, double* /*dfy*/, int& /*ldfy*/,
                    double* /*rpar*/, int* /*ipar*/) {}

}  // namespace kx
