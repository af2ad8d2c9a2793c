// Reading and writing a solver file: its lines, the input part and the
// blocks that a run writes behind the mechanism.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "solver.h"

namespace kx {

// A whole file as bytes, split into lines; a line ends in LF or CR LF, and a
// last line without a line break still counts.
class SolverFileText {
 public:
  bool Read(const std::string& path);
  int LineCount() const { return static_cast<int>(lines_.size()); }
  // Line n (from 1) without its line break.
  std::string_view LineAt(int n) const;
  // Byte offsets: where line n starts, and where the line after it starts.
  std::uint64_t StartOf(int n) const { return lines_[static_cast<std::size_t>(n - 1)].offset; }
  std::uint64_t NextStartOf(int n) const { return lines_[static_cast<std::size_t>(n - 1)].next; }
  bool Terminated(int n) const { return lines_[static_cast<std::size_t>(n - 1)].terminated; }
  std::uint64_t Size() const { return bytes_.size(); }

 private:
  struct Line {
    std::size_t offset;
    std::size_t length;
    std::size_t next;
    bool terminated;
  };
  std::string bytes_;
  std::vector<Line> lines_;
};

// Reads the solver file into `text` and checks its input part into the
// model, as SolverLoadModel does; the text stays for the writing that follows.
SolverLoad SolverReadModel(const std::string& path, SolverFileText& text, SolverModel& model,
                           SolverInputError& error);

// The console text of an input error.
std::string SolverInputErrorText(const std::string& path, const SolverInputError& error);

// Opens the solver file for writing at `offset`, cutting off what follows;
// a line break is written first when `lineBreak` is set. Nullptr on failure,
// with the file left as it was.
std::FILE* SolverOpenTail(const std::string& path, std::uint64_t offset, bool lineBreak);

// Line 1 of the results block up to the heading record (file lines end in CR LF).
void SolverWriteResultsHeading(std::FILE* file, const SolverModel& model);

// One results record: step number, time, temperature, mass fractions.
void SolverWriteRecord(std::FILE* file, int nr, double x, double temperature, const double* y, int nspec);

// The statistics block from its leading blank line on.
void SolverWriteStatistics(std::FILE* file, long long seconds, int nfcn, int njac, int nstep, int naccpt,
                           long long records);

}  // namespace kx
