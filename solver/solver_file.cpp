#include "solver_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "file_failure.h"
#include "fixed_format.h"
#include "input_rules.h"
#include "link_target.h"
#include "rewrite_name.h"

namespace kx {

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

std::FILE* SolverFileRewrite::Begin(const std::string& path, std::string_view kept, bool lineBreak,
                                    std::string& problem) {
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

  // What runs ended at once left beside the file.
  RemoveAbandonedRewrites(target.string());

  // A name of its own beside the file, made only if it does not exist yet.
  std::random_device entropy;
  const std::string stem = (target.parent_path() / RewriteNamePrefix(target.filename().string())).string();
  std::FILE* f = nullptr;
  int err = EEXIST;
  for (int attempt = 0; attempt < 16 && !f && err == EEXIST; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(entropy()));
    temporary_ = stem + suffix;
    f = owned_.Create(temporary_, err);
  }
  if (!f) {
    temporary_.clear();
    problem = "cannot make a new file beside the solver file " + path + ": " + FileFailureCause(err);
    return nullptr;
  }
  target_ = target.string();
  static char buffer[1 << 16];  // one solver file is written at a time
  std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
  std::fwrite(kept.data(), 1, kept.size(), f);
  if (lineBreak) std::fputs("\r\n", f);
  return f;
}

bool SolverFileRewrite::Commit(bool written, int writeError, std::string& problem) {
  namespace fs = std::filesystem;
  if (temporary_.empty()) {
    problem = "the new version of the solver file was not made";
    return false;
  }
  std::error_code ec;
  if (written) fs::permissions(temporary_, fs::status(target_, ec).permissions(), ec);
  // Renamed while still held as this run's own, so no other run takes it
  // for abandoned on the way.
  if (written && !ec) fs::rename(temporary_, target_, ec);
  if (!written || ec) {
    const int err = ec ? ec.value() : writeError;
    problem = "cannot write the solver file " + target_ + (err != 0 ? ": " + FileFailureCause(err) : std::string()) +
              "; it is left as it was";
    Drop();
    return false;
  }
  temporary_.clear();
  owned_.Release();
  return true;
}

void SolverFileRewrite::Drop() {
  if (!temporary_.empty()) {
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
    temporary_.clear();
  }
  owned_.Release();
}

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

constexpr int kValuesPerLine = 50;
constexpr int kContinuationIndent = 40;

void EndLine(std::FILE* file, char* begin, char* end) {
  *end++ = '\r';
  *end++ = '\n';
  std::fwrite(begin, 1, static_cast<std::size_t>(end - begin), file);
}

// Where value i (from 0) of a record's list goes, behind one blank: every
// kValuesPerLine values the line in `buffer` is written and an indented
// continuation line begins.
char* ValueStart(std::FILE* file, char* buffer, char* p, int i) {
  if (i > 0 && i % kValuesPerLine == 0) {
    EndLine(file, buffer, p);
    p = buffer;
    std::memset(p, ' ', kContinuationIndent);
    p += kContinuationIndent;
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
  p = fmt::PutA(p, "StepN", 5);
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
  p = fmt::PutI(p, nr, 5);
  *p++ = ' ';
  p = fmt::PutE(p, x, 16, 8, 3);
  *p++ = ' ';
  p = fmt::PutE(p, temperature, 16, 8, 3);
  for (int i = 0; i < nspec; ++i) p = fmt::PutE(ValueStart(file, buffer, p, i), y[i], 16, 8, 3);
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
