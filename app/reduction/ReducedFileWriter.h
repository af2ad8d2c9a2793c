// The reduced solver file: the source solver file cut down to the kept
// species and reactions, renumbered, with a header that names the source and
// a targets line (line 12) that the comparison reads back.
#pragma once

#include <string>

#include "Messages.h"
#include "ReductionEngine.h"

namespace kx {

// Writes module.RedTargetFile from module.RedSourceFile and the kept flags of
// the last run. The source is read as the solver reads it, its lines as the
// solver numbers them, up to the end line after its reaction records; what
// follows (its results) is not copied. Lines are copied from the source;
// the flags and third-body entries of each reaction are those the solver
// reads there, renumbered, and each kept collider's efficiency is the text
// of the source's field, so that the solver reads the same value from both
// files. The targets line takes the parameters from `settings` (in the
// order of module.RedTargetSpecies).
// Returns false, after showing why, when a kept reaction would not read back
// in the solver (a low-pressure reaction left without a third body), or
// when the solver would not run the file (SolverWouldRun: run settings
// copied from the source that it refuses, the line and its value named):
// nothing is written then. A source whose mechanism the solver does not
// read throws kx::Error with the solver's line and words, and so do reading
// and writing failures; the target is replaced whole (files::WriteAll), so
// a failure leaves it as it was.
bool WriteReducedSolverFile(const RedKinModule& module, const RedSettings& settings, Notifier& messages);

// The targets line: " " count " " numbers " " "!Targets " and the texts, for
// example " 3 -1 2 7 !Targets T 1.000E-01, H2 1.000E-01, O2 1.000E-01, Others 3.000E-01".
struct RedTargetsEntry {
    int Number = 0;         // -1 for the temperature, else the new species number
    std::string Name;       // "T" for the temperature
    double Parameter = 0;
};
std::string TargetsLine(const std::vector<RedTargetsEntry>& entries, double othersParameter);

}  // namespace kx
