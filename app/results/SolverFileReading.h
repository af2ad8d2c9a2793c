// Reading the text of a solver file with results: the file itself, the
// numbers of its fixed-column fields; its input part is read by the
// solver's own reading (SolverFileLayout.h), its results block by
// ResultsBlock.h.
//
// The results reader, the reduced-file writer and the comparison read the
// same files; they share this code.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ResultsBlock.h"
#include "SolverFileLayout.h"

namespace kx {

// The bytes of a solver file. A path that is not a file (missing, a folder)
// is FileNotFound; other failures are those of files::ReadAll.
std::string ReadSolverFile(const std::string& path);

// The text read as a number (blanks around it allowed); TypeMismatch naming
// `where` when it is not one.
double RequiredNumber(std::string_view text, const std::string& where);

// The blank-separated words of a line.
std::vector<std::string_view> Words(std::string_view line);

}  // namespace kx
