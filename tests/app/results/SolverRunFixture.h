// Results written by the console solver itself: a solver file run in its own
// folder by the built solver.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SolverFileFixture.h"
#include "TempDir.h"

namespace kxtest {

// Runs the built solver on the file, in the file's folder; true when the
// solver exited normally.
inline bool RunSolver(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    std::ofstream(folder / "SolverFilePath.txt", std::ios::binary) << file.string() << "\r\n";
    const std::string command =
        "cd '" + folder.string() + "' && '" + std::string(KX_SOLVER_EXE) + "' > solver.log 2>&1";
    return std::system(command.c_str()) == 0;
}

// Runs the solver on a copy of Samples/<name> in `folder`; returns the copy's
// path, or an empty path when the run failed.
inline std::filesystem::path RunSample(const kx::test::TempDir& folder, const std::string& name) {
    const std::filesystem::path copy = folder.file(name);
    std::filesystem::copy_file(std::filesystem::path(KX_SAMPLES_DIR) / name, copy,
                               std::filesystem::copy_options::overwrite_existing);
    if (!RunSolver(copy)) return {};
    return copy;
}

}  // namespace kxtest
