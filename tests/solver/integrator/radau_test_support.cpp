#include "radau_test_support.h"

#include <algorithm>
#include <cstddef>

namespace kx::test {

void NoMass(int&, double*, int&, double*, int*) {}
void NoOutput(int&, double&, double&, double*, double*, int&, int&, double*, int*, int&) {}

RadauOutcome RunRadau(const RadauCase& c) {
  int n = static_cast<int>(c.y0.size());
  RadauOutcome out;
  out.y = c.y0;
  out.rtol = c.rtol;
  out.atol = c.atol;
  double x = c.x0;
  double xend = c.xend;
  double h = c.h0;
  int itol = c.rtol.size() > 1 ? 1 : 0;
  int ijac = c.ijac;
  int mljac = c.mljac < 0 ? n : c.mljac;
  int mujac = c.mujac;
  int imas = c.mas ? 1 : 0;
  int mlmas = c.mlmas;
  int mumas = c.mumas;
  int iout = c.solout ? 1 : 0;
  int lwork = c.lwork != 0 ? c.lwork : 4 * n * n + 12 * n + 20;
  int liwork = c.liwork != 0 ? c.liwork : 3 * n + 20;
  std::vector<double> work(static_cast<std::size_t>(std::max(lwork, 20)), 0.0);
  std::vector<int> iwork(static_cast<std::size_t>(std::max(liwork, 20)), 0);
  for (int i = 0; i < 20; ++i) {
    work[i] = c.work_options[i];
    iwork[i] = c.iwork_options[i];
  }
  double rpar[1] = {0.0};
  int ipar[1] = {0};
  int idid = 0;
  int nspec = 0;
  int nreac = 0;
  double th[1] = {0.0};
  RADAU5(n, c.fcn, x, out.y.data(), xend, h, out.rtol.data(), out.atol.data(), itol,
         c.jac ? c.jac : SolverDummyJac, ijac, mljac, mujac, c.mas ? c.mas : NoMass, imas, mlmas,
         mumas, c.solout ? c.solout : NoOutput, iout, work.data(), lwork, iwork.data(), liwork,
         rpar, ipar, idid, nspec, nreac, th);
  out.idid = idid;
  out.x = x;
  out.h = h;
  out.mljac = mljac;
  out.mujac = mujac;
  for (int i = 0; i < 7; ++i) out.stats[i] = iwork[13 + i];
  return out;
}

}  // namespace kx::test
