// Chart files (".pg"): the chart model as UTF-8 text, one named record a
// line, lines ending in CR LF.
//
//   KINOVEX CHART
//   VERSION 1
//   SUBSETS <n>
//   POINTS <n>
//   PROPERTY <name> <value>                  every saved scalar setting
//   STYLE <colour|monochrome>
//   HISTOGRAM <0|1>
//   BARS <signed 0|1> <item labels 0|1> <selected> <label count>
//   BARLABEL <k> <text>
//   SUBSET <s> <colour> <line type> <point type> <label>
//   LONGLABEL <s> <text>    LONGLABEL2 <s> <text>
//   X <s> <value> ...       Y <s> <value> ...  (POINTS values each)
//   ANNOTATION <i> <x> <y> <colour> <type> <attribute> <text>
//   PAIR <i> <j> <value>
//   END
//
// Numbers are written as the shortest decimal that reads back to the same
// double; texts run to the end of the line with "\\", "\n", "\r" and "\t"
// escaped. Writing, reading and writing again gives the same bytes.
//
// The reader checks the signature and the version, bounds every count
// before it allocates (a count the file's size cannot hold is refused),
// ignores records and property names it does not know and leaves what is
// missing at its start value. A refused file raises ChartFileError with a
// sentence that says why.
#pragma once

#include "ChartModel.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kx::chart {

inline constexpr const char* kChartSignature = "KINOVEX CHART";
inline constexpr int kChartFileVersion = 1;
inline constexpr int kMaxFileSubsets = 100000;
inline constexpr int kMaxFilePoints = 1000000;

class ChartFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string ChartFileText(const ChartModel& model);
ChartModel ParseChartFile(std::string_view bytes);

// Writes the file whole (replacing it only once the new text is written);
// failures raise the file errors of Files.h.
void WriteChartFile(const ChartModel& model, const std::string& path);
// Reads a chart file; a file that cannot be read raises the file errors of
// Files.h, one that is no chart file of this program ChartFileError.
ChartModel ReadChartFile(const std::string& path);

// The text encodings of chart files, shared with the copied-subset text.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);
std::string NumberText(double value);
// A number written by NumberText (or any decimal); nothing when it is none.
std::optional<double> ReadNumberText(std::string_view text);

}  // namespace kx::chart
