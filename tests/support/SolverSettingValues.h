// What the solver reads for each setting of the run-settings window, from
// its own reading of a file's input part, to hold the window's values to.
#pragma once

#include "Format.h"
#include "RunSettings.h"
#include "solver.h"

#include <string>

namespace kx::test {

inline double SolverValueOf(const SolverModel& m, runs::Setting s) {
    switch (s) {
        case runs::Setting::Pressure: return m.P;
        case runs::Setting::InitialTemperature: return m.T0;
        case runs::Setting::MinTemperature: return m.TMIN;
        case runs::Setting::MaxTemperature: return m.TMAX;
        case runs::Setting::InitialTime: return m.X0;
        case runs::Setting::FinalTime: return m.XEND;
        case runs::Setting::InitialStep: return m.H0;
        case runs::Setting::RelativeTolerance: return m.RTOL;
        case runs::Setting::AbsoluteTolerance: return m.ATOL;
        case runs::Setting::MaxSteps: return m.NMAX;
        case runs::Setting::OutputStep: return m.NOUT;
    }
    return 0;
}

// A value the window shows as a number: an empty fraction is 0, and a text
// that is no number is -1 (no solver's value).
inline double ShownNumber(const std::string& text) { return text.empty() ? 0 : ParseNumber(text).value_or(-1); }

}  // namespace kx::test
