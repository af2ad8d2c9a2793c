#include "solver_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "file_failure.h"
#include "fixed_format.h"
#include "input_rules.h"
#include "link_target.h"
#include "file_replacement.h"

namespace kx {

namespace {

// A digest of the bytes a run read, to tell at its end whether the file
// still holds them; within the run only, as the desktop program's file
// stamps take theirs.
std::uint64_t ReadDigest(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

std::string InterruptedSaveProblem(const std::string& path, const std::string& copy) {
  return "an earlier save of the solver file " + path + " was cut short; " + InterruptedSaveNote(copy);
}

}  // namespace

std::string SolverInterruptedSave(const std::string& path) {
  std::error_code ec;
  const std::string target = LinkTarget(path, ec);
  if (ec) return {};
  const std::vector<std::string> copies = InterruptedSaves(target);
  return copies.empty() ? std::string() : InterruptedSaveProblem(path, copies.front());
}

SolverLoad SolverReadModel(const std::string& path, SolverFileText& text, SolverModel& model,
                           SolverInputError& error) {
  if (!text.Read(path)) {
    error = {0, "cannot open the solver file " + path + ": " + FileFailureCause(text.Failure())};
    return SolverLoad::InputError;
  }
  return SolverReadText(text, model, error);
}

SolverLoad SolverLoadModel(const std::string& path, SolverModel& model, SolverInputError& error) {
  SolverFileText text;
  return SolverReadModel(path, text, model, error);
}

std::string SolverInputErrorText(const std::string& path, const SolverInputError& error) {
  if (error.line == 0) return " Input error: " + error.problem;
  return " Input error in line " + std::to_string(error.line) + " of " + path + ": " + error.problem;
}

std::string SolverOutputErrorText(const std::string& problem) { return " Output error: " + problem; }

std::FILE* SolverFileRewrite::Begin(const std::string& path, const SolverFileText& text, std::uint64_t keep,
                                    bool lineBreak, std::string& problem) {
  namespace fs = std::filesystem;
  Drop();
  std::error_code ec;
  // A link keeps naming the file: the new version replaces the file it names.
  const fs::path target = LinkTarget(path, ec);
  if (ec || !fs::is_regular_file(fs::status(target, ec))) {
    problem = "cannot find the solver file " + path;
    return nullptr;
  }
  const fs::perms perms = fs::status(target, ec).permissions();
  if (ec || (perms & fs::perms::owner_write) == fs::perms::none) {
    problem = "the solver file " + path + " is read-only";
    return nullptr;
  }
  std::FILE* probe = std::fopen(target.c_str(), "r+b");
  if (!probe) {
    problem = "cannot write the solver file " + path + ": " + FileFailureCause(errno);
    return nullptr;
  }
  std::fclose(probe);

  // What writers that stopped on the way left beside the file goes first.
  int err = 0;
  std::FILE* f = replacement_.Begin(target.string(), kRewriteTag, err);
  if (!f) {
    problem = !replacement_.KeptCopy().empty()
                  ? InterruptedSaveProblem(path, replacement_.KeptCopy())
              : AccessRefused(err) ? "cannot write the solver file " + path + ": " +
                                         FolderTakesNoNewFiles(FolderOf(target.string()))
                                   : "cannot make a new file beside the solver file " + path + ": " +
                                         FileFailureCause(err);
    return nullptr;
  }
  readSize_ = text.Size();
  readDigest_ = ReadDigest(text.Head(text.Size()));
  static char buffer[1 << 16];  // one solver file is written at a time
  std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
  const std::string_view kept = text.Head(keep);
  std::fwrite(kept.data(), 1, kept.size(), f);
  if (lineBreak) std::fputs("\r\n", f);
  return f;
}

SolverFileRewrite::SinceRead SolverFileRewrite::compareWithRead() const {
  std::FILE* f = std::fopen(replacement_.Target().c_str(), "rb");
  if (!f) return SinceRead::Gone;
  std::string bytes;
  bytes.reserve(readSize_);
  char buffer[1 << 16];
  std::size_t got;
  // Reading stops at the first byte beyond the size read.
  while (bytes.size() <= readSize_ && (got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  return !failed && bytes.size() == readSize_ && ReadDigest(bytes) == readDigest_ ? SinceRead::Same
                                                                                    : SinceRead::Changed;
}

bool SolverFileRewrite::Commit(bool written, int writeError, std::string& problem) {
  if (!replacement_.Begun()) {
    problem = "the new version of the solver file was not made";
    return false;
  }
  const std::string target = replacement_.Target();
  int err = writeError;
  if (written && replacement_.Settle(err)) {
    // Checked as late as can be: right before the new version takes the
    // file's place.
    const SinceRead since = compareWithRead();
    if (since != SinceRead::Same) {
      problem = "the solver file " + target +
                (since == SinceRead::Gone ? " was removed" : " was changed by another program") +
                " during the run; " + (since == SinceRead::Gone ? "it is not made again" : "it is left as it was") +
                " and the results of this run are not written";
      Drop();
      return false;
    }
    if (replacement_.Place(err)) return true;
  }
  problem = "cannot write the solver file " + target + (err != 0 ? ": " + FileFailureCause(err) : std::string()) +
            (replacement_.KeptCopy().empty() ? "; it is left as it was"
                                             : "; its earlier content is kept in " + replacement_.KeptCopy());
  Drop();
  return false;
}

void SolverFileRewrite::Drop() { replacement_.Abandon(); }

void SolverNoteWriteFailure() {
  SolverCommonBlock& c = SolverCommon;
  if (!c.solverFile || std::ferror(c.solverFile) == 0) return;
  if (c.solverFileIntact) c.solverFileError = errno;
  c.solverFileIntact = false;
}

void SolverCloseFile() {
  SolverCommonBlock& c = SolverCommon;
  if (!c.solverFile) return;
  // What is still buffered is written now, so that a failure shows here
  // with its reason.
  if (std::fflush(c.solverFile) != 0 && c.solverFileIntact) {
    c.solverFileError = errno;
    c.solverFileIntact = false;
  }
  SolverNoteWriteFailure();
  if (std::fclose(c.solverFile) != 0 && c.solverFileIntact) {
    c.solverFileError = errno;
    c.solverFileIntact = false;
  }
  c.solverFile = nullptr;
}

namespace {

void EndLine(std::FILE* file, char* begin, char* end) {
  *end++ = '\r';
  *end++ = '\n';
  std::fwrite(begin, 1, static_cast<std::size_t>(end - begin), file);
}

// Where value i (from 0) of a record's list goes, behind one blank: every
// kRecordValuesPerLine values the line in `buffer` is written and an indented
// continuation line begins.
char* ValueStart(std::FILE* file, char* buffer, char* p, int i) {
  if (i > 0 && i % kRecordValuesPerLine == 0) {
    EndLine(file, buffer, p);
    p = buffer;
    std::memset(p, ' ', kRecordIndent);
    p += kRecordIndent;
  }
  *p++ = ' ';
  return p;
}

}  // namespace

void SolverWriteResultsHeading(std::FILE* file, const SolverModel& model) {
  std::fputs(" \r\n !$Results  Mass Fractions\r\n", file);
  char buffer[1024];
  char* p = buffer;
  *p++ = ' ';
  p = fmt::PutA(p, "StepN", kRecordStepWidth);
  *p++ = ' ';
  p = fmt::PutA(p, "Time", kNameLength);
  *p++ = ' ';
  p = fmt::PutA(p, "T", kNameLength);
  for (int i = 0; i < model.NSPEC; ++i)
    p = fmt::PutA(ValueStart(file, buffer, p, i), std::string_view(model.SPNAME[i], kNameLength), kNameLength);
  EndLine(file, buffer, p);
}

void SolverWriteRecord(std::FILE* file, int nr, double x, double temperature, const double* y, int nspec) {
  char buffer[1024];
  char* p = buffer;
  *p++ = ' ';
  p = fmt::PutI(p, nr, kRecordStepWidth);
  *p++ = ' ';
  p = fmt::PutE(p, x, kRecordValueWidth, kRecordValueDigits, kRecordExponentDigits);
  *p++ = ' ';
  p = fmt::PutE(p, temperature, kRecordValueWidth, kRecordValueDigits, kRecordExponentDigits);
  for (int i = 0; i < nspec; ++i)
    p = fmt::PutE(ValueStart(file, buffer, p, i), y[i], kRecordValueWidth, kRecordValueDigits, kRecordExponentDigits);
  EndLine(file, buffer, p);
}

void SolverWriteStatistics(std::FILE* file, long long seconds, int nfcn, int njac, int nstep, int naccpt,
                           long long records) {
  struct Item {
    const char* label;
    long long value;
    int width;
    const char* tail;
  };
  const Item items[] = {
      {"       COMPUTATIONAL TIME =", seconds, 6, " SEC"},
      {"       NUMBER OF FUNCTION EVALUATIONS =", nfcn, 8, ""},
      {"       NUMBER OF JACOBIAN EVALUATIONS =", njac, 8, ""},
      {"       NUMBER OF COMPUTED STEPS =", nstep, 8, ""},
      {"       NUMBER OF ACCEPTED STEPS =", naccpt, 8, ""},
      {"       NUMBER OF RECORDS =", records, 8, ""},
  };
  std::fputs(" \r\n STATISTICS\r\n", file);
  for (const Item& item : items) {
    char buffer[128];
    char* p = buffer;
    p = fmt::PutA(p, item.label, static_cast<int>(std::strlen(item.label)));
    p = fmt::PutI(p, item.value, item.width);
    p = fmt::PutA(p, item.tail, static_cast<int>(std::strlen(item.tail)));
    EndLine(file, buffer, p);
  }
}

}  // namespace kx
