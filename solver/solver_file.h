// Reading and writing a solver file: its lines, the input part and the
// blocks that a run writes behind the mechanism.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "file_replacement.h"
#include "solver.h"

namespace kx {

// The lines of a solver file as the reading of its input part takes them.
class SolverLines {
 public:
  virtual int LineCount() const = 0;
  // Line n (from 1 to LineCount()) without its line break.
  virtual std::string_view LineAt(int n) const = 0;

 protected:
  ~SolverLines() = default;
};

// Lines that a reader holds already, one view a line.
class SolverLineViews final : public SolverLines {
 public:
  explicit SolverLineViews(std::span<const std::string_view> lines) : lines_(lines) {}
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string_view LineAt(int n) const override { return lines_[static_cast<std::size_t>(n - 1)]; }

 private:
  std::span<const std::string_view> lines_;
};

// The lines of a solver file's bytes as the solver numbers them: a line
// ends at LF, and one CR right before that LF (or at the very end of the
// bytes) is part of its line end; any other CR belongs to the line (a lone
// CR, the first CR of CR CR LF). A last line without a line end still
// counts; bytes that end in a line end add no empty line after it. Views
// into the bytes. Every reader of a solver file takes its lines so, the
// solver's own and each of the desktop program's.
std::vector<std::string_view> SplitSolverLines(std::string_view bytes);

// A whole file as bytes, split into lines by SplitSolverLines. Its lines
// are views into its own bytes, so it is not copied.
class SolverFileText final : public SolverLines {
 public:
  SolverFileText() = default;
  SolverFileText(const SolverFileText&) = delete;
  SolverFileText& operator=(const SolverFileText&) = delete;

  // False when the file cannot be read, with the system's reason in Failure().
  bool Read(const std::string& path);
  // Takes the bytes of a file.
  void Take(std::string bytes);
  int Failure() const { return failure_; }
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string_view LineAt(int n) const override { return lines_[static_cast<std::size_t>(n - 1)]; }
  // The byte offset where the line after line n starts (the file's size
  // after the last line), and whether line n ends in a line break.
  std::uint64_t NextStartOf(int n) const;
  bool Terminated(int n) const { return n < LineCount() || bytes_.ends_with('\n'); }
  std::uint64_t Size() const { return bytes_.size(); }
  // The file's first n bytes.
  std::string_view Head(std::uint64_t n) const { return std::string_view(bytes_).substr(0, n); }

 private:
  std::string bytes_;
  std::vector<std::string_view> lines_;
  int failure_ = 0;
};

// Reads the solver file into `text` and checks its input part into the
// model, as SolverLoadModel does; the text stays for the writing that follows.
SolverLoad SolverReadModel(const std::string& path, SolverFileText& text, SolverModel& model,
                           SolverInputError& error);

// The reading of SolverReadModel, of a file's text.
SolverLoad SolverReadText(const SolverFileText& text, SolverModel& model, SolverInputError& error);

// How much of the run settings a reading of the input part holds a file to.
enum class SolverSettings {
  // As a run reads and checks them, and the settings with which a run
  // stops at its start (SolverCheckStart): what the solver ran, for the
  // readers of a run's results and the writer of reduced files.
  Run,
  // Not read: the values that the run-settings window sets (lines 14-24
  // and 28) and the initial mole fractions, for the readers of a file
  // whose settings may still have to be set. The counts, lines 27, 31 and
  // 32, the key lines and the records are read as a run reads them.
  Open,
};

// Where the reading found the blocks of the input part (lines from 1).
struct SolverInputPlaces {
  int thermoLine = 0;  // the " THERMO" line; the thermo records follow it
  int endLine = 0;     // the end line after the last reaction record
};

// Reads the input part of a solver file as the solver does, for a reader
// other than the solver: the counts (beyond the limits a run reports
// instead of running), the header, the thermo and reaction records and the
// end line go into `model`, with the temperatures and molar masses as their
// fields read (a run keeps them in single precision), and their places
// into `places`. The model's storage need not be cleared: the reading
// clears and sets what it reads, as far as the file's counts reach. False
// with the line and the first problem in `error`.
bool SolverReadInput(const SolverLines& lines, SolverSettings settings, SolverModel& model,
                     SolverInputPlaces& places, SolverInputError& error);

// The settings with which a run stops at its start: an initial temperature
// outside the allowable ones (the kinetics' error report), a step limit or
// tolerances that the integrator refuses. False with the line and the
// problem in `error`.
bool SolverCheckStart(const SolverModel& model, SolverInputError& error);

// A model of its own for a reading of a solver file outside the solver's
// run (which uses its static one): its storage is not cleared beforehand,
// for the reading clears and sets what it reads of the file, and the rest
// (most of its megabyte) is never looked at. The model, an aggregate, lives
// in the storage as its bytes are taken.
class SolverModelStorage {
 public:
  SolverModelStorage()
      : bytes_(new unsigned char[sizeof(SolverModel)]),
        model_(std::launder(reinterpret_cast<SolverModel*>(bytes_.get()))) {}
  SolverModel& Model() const { return *model_; }

 private:
  std::unique_ptr<unsigned char[]> bytes_;
  SolverModel* model_;
};

// A whole number on header line n (its first list item, as the solver reads
// the counts and the mode): false with the solver's refusal in `error`
// ("no readable integer for the " what).
bool SolverReadHeaderInt(std::string_view line, int n, const char* what, int& value, SolverInputError& error);

// The values a run reads first, in its order: lines 1 to 15 must be there,
// the species and reaction counts of lines 10 and 11 and the temperature
// mode of line 15 each a whole number as SolverReadHeaderInt reads it.
// False with the line and the problem in `error`.
bool SolverReadCounts(const SolverLines& lines, int& species, int& reactions, int& mode, SolverInputError& error);

// Whether the solver runs a solver file of these bytes: it reads it (the
// counts within the limits) and its settings pass SolverCheckStart. False
// with the line and the first problem in `error`. Allocates one model.
bool SolverWouldRun(std::string bytes, SolverInputError& error);

// The console text of an input error.
std::string SolverInputErrorText(const std::string& path, const SolverInputError& error);

// The console text of a failure to put a run's results into the solver
// file (SolverFileRewrite::Commit's problem).
std::string SolverOutputErrorText(const std::string& problem);

// Why a run of the solver file at `path` (of the file a link names) does not
// start: an earlier save of it was cut short (file_replacement.h), so it may
// hold part of what that save wrote, and its whole earlier content is kept
// beside it; "" when there is no such save.
std::string SolverInterruptedSave(const std::string& path);

// The new version of a solver file while a run writes it: a file beside the
// solver file (file_replacement.h) that starts with the part of it that
// the run keeps and takes its place only once everything was written, so
// that a run whose writing fails (a full disk, a file size limit) leaves
// the solver file as it was; and only while the solver file still holds
// what the run read, so that what another program wrote into it during the
// run is never lost.
class SolverFileRewrite {
 public:
  SolverFileRewrite() = default;
  SolverFileRewrite(const SolverFileRewrite&) = delete;
  SolverFileRewrite& operator=(const SolverFileRewrite&) = delete;
  ~SolverFileRewrite() { Drop(); }

  // Makes the new version of the solver file at `path` (of the file a link
  // names), which the run read as `text`, holding its first `keep` bytes,
  // then a line break when `lineBreak` is set, and returns it open for
  // writing; nullptr with the reason in `problem` when the solver file is
  // read-only, an earlier save of it was cut short (SolverInterruptedSave),
  // or the new version cannot be made. What earlier writers left beside the
  // file when they were ended at once is removed first; what a live one
  // still writes is not. The new version stays
  // marked as this run's own (OwnedFile) until it has taken the file's
  // place or is removed.
  std::FILE* Begin(const std::string& path, const SolverFileText& text, std::uint64_t keep, bool lineBreak,
                   std::string& problem);
  // Puts the new version, closed by SolverCloseFile, in the solver file's
  // place as file_replacement.h says (its permissions, owner, group,
  // extended attributes and names kept). False, with the new version removed and the solver file as it
  // was, when a write failed (`written` false, for the system's reason
  // `writeError` when known), when the solver file no longer holds the
  // bytes the run read (another program changed or removed it), or when
  // the new version cannot take its place.
  bool Commit(bool written, int writeError, std::string& problem);
  // Removes a new version that was not committed.
  void Drop();

 private:
  // Whether the solver file holds other bytes than the run read.
  enum class SinceRead { Same, Changed, Gone };
  SinceRead compareWithRead() const;

  FileReplacement replacement_;
  std::uint64_t readSize_ = 0;
  std::uint64_t readDigest_ = 0;
};

// Line 1 of the results block up to the heading record (file lines end in CR LF).
void SolverWriteResultsHeading(std::FILE* file, const SolverModel& model);

// One results record: step number, time, temperature, mass fractions.
void SolverWriteRecord(std::FILE* file, int nr, double x, double temperature, const double* y, int nspec);

// The statistics block from its leading blank line on.
void SolverWriteStatistics(std::FILE* file, long long seconds, int nfcn, int njac, int nstep, int naccpt,
                           long long records);

}  // namespace kx
