// The shared state of the desktop program as it starts with options of the
// test constants, for the tests and measurements of the results window.
#pragma once

#include "SharedState.h"
#include "SolverFileFixture.h"

namespace kxtest {

// R' = Avogadro x Boltzmann in erg/K / one atmosphere in dyn/cm^2.
inline void SetTestOptions(kx::SharedState& s) {
    kx::LoadConstants(s, kx::kPaperLetter);
    s.GasConstantJ = kGasConstantJ;
    s.GasConstantCal = kGasConstantCal;
    s.AvogadroNumber = kAvogadro;
    s.UnitFactorE7 = 1.380649e-16;
    s.UnitFactorE4 = 1013250.0;
    s.HighlightColor = 255;
}

}  // namespace kxtest
