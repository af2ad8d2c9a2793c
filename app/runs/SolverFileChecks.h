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
// only for a file with the signature that is no constant-volume file (a
// temperature mode of 2 or 3 on line 15, its first item read as the solver
// reads it) and has no reactions with explicit reverse-rate lines; each
// refusal is shown. A file that does not read as a solver header (too few
// lines, a line 15 whose first item is no integer, named) is reported with
// the tag "401#001.11 " and not accepted.
bool CheckSolverFileHeader(const std::string& path, bool& accepted, Notifier& notifier);

// True when no line, trimmed, begins with "!$Results" (exact case), and
// when the file cannot be read. With showMessage, a file read to its end
// without results shows why.
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
