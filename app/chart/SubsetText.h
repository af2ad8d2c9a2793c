// Texts made from a chart's subsets: the copied subset (on the clipboard
// and in its scratch file, from which Paste reads it back; from the
// clipboard when it holds one, which another running copy of the program
// may have put there) and the table of the chart's data that "Text/Data
// Only" shows.
//
// A copied subset is tab-separated text, so that it also pastes into a
// spreadsheet as two columns:
//
//   KINOVEX SUBSET
//   Label<TAB><label>
//   LongLabel<TAB><first part><TAB><rest>
//   Style<TAB><colour><TAB><line type><TAB><point type>
//   Points<TAB><n>
//   X<TAB>Y
//   <x><TAB><y>          (n lines; -99999 for an absent value)
//
// Lines end in CR LF; texts are escaped as in chart files.
#pragma once

#include "ChartModel.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::chart {

inline constexpr const char* kSubsetSignature = "KINOVEX SUBSET";

// The subset's text; its points run to the last one where both X and Y are
// present.
std::string CopiedSubsetText(const Subset& subset);
// The subset of a copied-subset text; nothing when the text is none (or is
// damaged). Its points are as many as the text holds.
std::optional<Subset> ReadCopiedSubset(std::string_view text);

// The scratch file of the subset this running copy of the program copied
// last: one of its working files (WorkingFiles.h).
std::string CopiedSubsetPath();

// The chart's data as a text table: the titles, then for each subset its
// number and label and its present points in two columns of 17 characters
// (0.00000000E+00). UTF-8 lines without line ends.
std::vector<std::string> DataTableLines(const ChartModel& model);

}  // namespace kx::chart
