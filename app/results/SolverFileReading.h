// Reading the text of a solver file with results: the file itself, and the
// words of a line; its input part is read by the solver's own reading
// (SolverFileLayout.h), its results block by ResultsBlock.h.
//
// The results reader, the reduced-file writer and the comparison read the
// same files; they share this code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx {

// The bytes of a solver file. A path that is not a file (missing, a folder)
// is FileNotFound; other failures are those of files::ReadAll.
std::string ReadSolverFile(const std::string& path);

// The blank-separated words of a line.
std::vector<std::string_view> Words(std::string_view line);

}  // namespace kx
