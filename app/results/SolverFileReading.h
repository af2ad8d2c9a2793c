// Reading the text of a solver file with results: the file itself, the
// numbers of its fixed-column fields, and the records of its results block
// joined from the lines over which the solver spreads them.
//
// The results reader, the reduced-file writer and the comparison read the
// same files; they share this code.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The fewest results records a run's results are read with: fewer leave no
// interval to analyse or compare.
inline constexpr std::size_t kLeastResultsRecords = 3;

// The records of a results block, each joined into one line in which field k
// (0 time, 1 temperature, k + 1 species k) takes the 16 characters from
// RecordFieldStart(k).
struct ResultsRecords {
    std::string Header;                // the joined heading record
    std::vector<std::string> Records;  // the complete records in file order
    // The lines ran out where one more was wanted: within the heading or a
    // record, or after blank lines; false when the table ended at a closing
    // line, at a line of another length, or with a complete record on the
    // last line.
    bool CutShort = false;
    // The table ended at the closing "!$END" line after a complete record:
    // the run wrote all its results.
    bool Closed = false;
};

// Joins the records from `lines`, the lines after the results title. The
// heading record sets the length of each of a record's lines. Blank lines
// before a record are passed over; a line beginning with "ERROR" or "!$END"
// (blanks around it and letter case aside), or a line of another length, ends
// the table and drops a record it would complete. A continuation line is
// appended without its leading blanks after two blanks, or after one when it
// begins with "-", which rebuilds the 17-character field grid.
ResultsRecords JoinResultsRecords(std::span<const std::string> lines, int speciesCount);
ResultsRecords JoinResultsRecords(std::span<const std::string_view> lines, int speciesCount);

constexpr int RecordFieldStart(int field) { return 8 + 17 * field; }

// Refuses results whose heading record, at the start of `lines` (the lines
// after the results title), names other than speciesCount species: Error
// naming the species count of line 10. Results without a whole heading pass.
void CheckHeadingSpecies(std::span<const std::string_view> lines, int speciesCount);

// Field k of a joined record, untrimmed.
std::string_view RecordField(std::string_view record, int field);

}  // namespace kx
