// The rules a solver file's values must meet for the solver to run it: the
// run settings of its header and the counts and species numbers of its
// reaction records.
//
// The solver holds every file it reads to them (an input error, or the
// report with which a run stops at its start). The desktop program takes
// the same rules for what it accepts, reads or writes: the run-settings
// window its limits, the readers of results the species numbers of the
// reactions, and the writer of reduced files the whole check of
// SolverWouldRun (solver_file.h). So nothing the desktop passes is then
// refused by the solver.
#pragma once

#include <string>

#include "radau5.h"

namespace kx {

// ---- Run settings, header lines 14 to 32 -------------------------------

inline bool PressureAllowed(double p) { return p > 0; }
// 0 constant temperature, 1 the energy equation.
inline bool TemperatureModeAllowed(int mode) { return mode == 0 || mode == 1; }
// The allowable temperatures lie above 0 K, the minimum below the maximum.
inline bool MinTemperatureAllowed(double tmin) { return tmin > 0; }
inline bool TemperatureRangeAllowed(double tmin, double tmax) { return tmin < tmax; }
// A temperature the kinetics work at: above 0 K and within the allowable
// ones (not a number never is). The initial temperature must be one.
inline bool TemperatureAllowed(double t, double tmin, double tmax) { return t > 0.0 && t >= tmin && t <= tmax; }
inline bool TimeSpanAllowed(double initialTime, double finalTime) { return finalTime > initialTime; }
// The integrator computes at most NMAX - 1 steps, its own default for 0.
inline bool StepLimitAllowed(int nmax) { return nmax >= 1; }
inline bool TolerancesAllowed(double rtol, double atol) { return RadauTolerancesAccepted(rtol, atol); }
inline bool GasConstantAllowed(double r) { return r > 0; }

// ---- Reaction records ---------------------------------------------------

// The reaction's flags (16 entries, flag k at flags[k - 1]): 1 to 3
// reactants and 1 to 6 products, each a species number within 1..nspec, at
// most 10 listed third bodies, and a third body for a low-pressure limit.
// Empty when it meets them, else the problem in words.
std::string ReactionFlagsProblem(const int* flags, int nspec);

// The species numbers of the `count` listed third bodies (partners[0..9]):
// each within 1..nspec. Empty when they are, else the problem in words.
std::string ThirdBodySpeciesProblem(int count, const int* partners, int nspec);

// The lines of a reaction record: equation, flags and rate lines, a
// low-pressure line for flag 14 = 1, a broadening line for flag 15 = 1, 2
// or 3, and three third-body lines when flag 13 is above 0.
inline int ReactionRecordLines(const int* flags) {
  const int form = flags[14];
  return 3 + (flags[13] == 1) + (form == 1 || form == 2 || form == 3) + 3 * (flags[12] > 0);
}

}  // namespace kx
