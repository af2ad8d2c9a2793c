// Reading the text of a solver file with results: the file itself, the
// numbers of its fixed-column fields and the map of its blocks; the results
// block itself is read by ResultsBlock.h.
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

// The nearest whole number, halves to the even one; Overflow naming `where`
// when it does not fit an int.
int WholeNumber(double value, const std::string& where);

// The blank-separated words of a line.
std::vector<std::string_view> Words(std::string_view line);

// Where the blocks of a solver file stand, found from its header counts.
// Lines are counted from 1.
struct SolverFileMap {
    int SpeciesCount = 0;      // NS, line 10
    int ReactionCount = 0;     // NR, line 11
    int TemperatureMode = 0;   // line 15
    int ThermoLine = 0;        // the "THERMO" line
    int ReactionsLine = 0;     // the "REACTIONS" line
    int EndLine = 0;           // the end line after the last reaction record
    // The thermodynamic and reaction records in order, as the solver reads
    // them.
    std::vector<solverfile::ThermoRecordValues> Species;
    std::vector<solverfile::ReactionRecordValues> Reactions;
};

// Maps a solver file's lines and refuses a header whose counts do not match
// the records: line 10's species count and the thermodynamic records
// before the "REACTIONS" line (which stands among the three lines after
// them), line 11's reaction count and the reaction records before the end
// line, line 15's temperature mode (0 or 1), and each thermodynamic and
// reaction record as the solver reads it (its fields, counts, species
// numbers and values, and a reaction record's length by its flags). Throws Error naming the line otherwise. The readers
// of results check a file by it before they read anything else of it, so
// that each refuses what another would not.
SolverFileMap MapSolverFile(std::span<const std::string_view> lines);

}  // namespace kx
