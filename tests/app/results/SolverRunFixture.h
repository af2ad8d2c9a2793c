// Results written by the console solver itself: a sample copied into a
// temporary folder and run there by the built solver.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SolverFileFixture.h"

namespace kxtest {

// Runs the solver on a copy of Samples/<name> in `folder`; returns the copy's
// path, or an empty path when the run failed.
inline std::filesystem::path RunSample(const TempFolder& folder, const std::string& name) {
    const std::filesystem::path copy = folder.File(name);
    std::filesystem::copy_file(std::filesystem::path(KX_SAMPLES_DIR) / name, copy,
                               std::filesystem::copy_options::overwrite_existing);
    {
        std::ofstream out(folder.File("SolverFilePath.txt"), std::ios::binary);
        out << copy.string() << "\r\n";
    }
    const std::string command =
        "cd '" + folder.Path().string() + "' && '" + std::string(KX_SOLVER_EXE) + "' > solver.log 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    return copy;
}

}  // namespace kxtest
