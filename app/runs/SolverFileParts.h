// Parts of a solver file that several of its readers and writers share:
// the value of a header line, the columns of a species' initial fraction and
// the number of lines one results record takes. Lines and columns are
// numbered from 1, as the solver counts them.
#pragma once

#include <string>
#include <string_view>

namespace kx::runs {

inline constexpr int kSpeciesCountLine = 10;
// The initial mole fraction of a species: columns 75-84 of the first line
// of its thermodynamic record.
inline constexpr int kFractionColumn = 75;
inline constexpr int kFractionWidth = 10;
// A results record holds the values of at most this many species a line.
inline constexpr int kSpeciesPerResultsLine = 50;

// "line 12", for error details.
std::string LineLabel(int number);

// The value of header line `number`: its text left of the first "!",
// trimmed. Throws kx::Error (InvalidArgument) naming the line when it holds
// no "!".
std::string HeaderText(std::string_view line, int number);

// The lines one results record takes for the number of species (at least one).
int ResultsRecordLines(int speciesCount);

}  // namespace kx::runs
