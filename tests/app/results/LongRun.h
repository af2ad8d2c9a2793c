// A long results file for measuring the results window: the GRI-Mech sample
// run by the built solver, its records interpolated onto many evenly spaced
// times and written as the solver writes records.
#pragma once

#include <filesystem>

#include "TempDir.h"

namespace kxtest {

// Runs the GRI sample in `folder` and rewrites its results block with
// `records` records at times evenly spaced over the run, each value
// interpolated linearly between the solver's records. Returns the file, or
// throws std::runtime_error when the run failed.
std::filesystem::path LongGriRun(const kx::test::TempDir& folder, int records);

// The GRI sample as the solver leaves it, run in `folder`; throws
// std::runtime_error when the run failed.
std::filesystem::path GriRun(const kx::test::TempDir& folder);

}  // namespace kxtest
