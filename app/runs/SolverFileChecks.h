// Checks of solver files that need no window: is a file readable, does it
// carry the solver-file signature and may it be opened, does it hold
// results, and are they complete. They read the file line by line and never
// write it; what they show the user goes through the Notifier.
#pragma once

#include "Notifier.h"

#include <string>
#include <string_view>

namespace kx::runs {

inline constexpr const char* kSolverSignature = "!$KINOVEX SOLVER";
inline constexpr const char* kMessageTitle = "KINOVEX";
inline constexpr int kStyleExclamation = 48;

// True when the line, trimmed, begins with the signature in any letter case:
// the first line of a solver file.
bool IsSolverSignatureLine(std::string_view line);

// failed is true when the file cannot be opened or has no first line.
void CheckFileReadable(const std::string& path, bool& failed);

// Why the file has no first line to read, as a sentence that names it (why
// it does not read, or "The file is empty: <path>."); "" when it has one.
std::string WhyNoFirstLine(const std::string& path);

// Why the file is no solver file: why it has no first line, or that its
// first line does not begin with the signature; "" when it does.
std::string WhyNoSolverFile(const std::string& path);

// Returns true when the first line, trimmed, begins with the signature in
// any letter case (lines as the solver numbers them). accepted is true
// only for a file with the signature whose input part the solver reads,
// but for the run settings, which the run-settings window sets (the
// reading of SolverSettings::Open), and that is no constant-volume file.
// Each refusal is shown, in the order in which the solver reads the file:
// the counts and the temperature mode of line 15 (a header that does not
// read, with the tag "401#001.11 ", the solver's line and words and the
// path), a mode of 2 or 3 (constant volume, naming line 15), then the
// rest of the input part: reactions with reverse-rate lines (REV), which
// the solver's reading has no place for, listed with the first such line,
// or else the solver's refusal as for the header.
bool CheckSolverFileHeader(const std::string& path, bool& accepted, Notifier& notifier);

// True when the file holds no results as every reader takes them
// (HoldsResults: a results title, "!$Results" in any letter case, after the
// mechanism's end line, with its heading), and when the file cannot be
// read; false for a file whose input part does not read, of which
// CheckResultsComplete says why. With showMessage, a file that lacks
// results shows so.
bool SolverFileLacksResults(const std::string& path, bool showMessage, Notifier& notifier);

// Whether the file holds at least kLeastResultsRecords results records
// after its results heading ("!$RESULTS" in any letter case), joined as
// every reader of results joins them. failed with the message when the
// results are missing, incomplete (without their closing line), too few
// or the file does not read; a file that does not read is "unexpected
// error." followed, on a line of its own, by why (the line and what is
// wrong). message is "" otherwise. Shows nothing.
void CheckResultsComplete(const std::string& path, bool& failed, std::string& message);

}  // namespace kx::runs
