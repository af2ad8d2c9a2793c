#include "solver_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "file_failure.h"
#include "fixed_format.h"
#include "input_rules.h"
#include "link_target.h"
#include "rewrite_name.h"

namespace kx {

namespace {

constexpr int kFirstThermoSearchLine = 33;

// Reads the input part line by line and records the first problem.
class InputReader {
 public:
  InputReader(const SolverFileText& text, SolverInputError& error) : text_(text), error_(error) {}

  SolverInputError& Error() { return error_; }

  bool Fail(int line, std::string problem) {
    error_.line = line;
    error_.problem = std::move(problem);
    return false;
  }

  bool Line(int n, const char* what, std::string_view& line) {
    if (n > text_.LineCount())
      return Fail(n, std::string("the file ends before this line (") + what + " expected)");
    line = text_.LineAt(n);
    return true;
  }

  bool IntValue(int n, const char* what, int& value) {
    std::string_view line;
    if (!Line(n, what, line)) return false;
    if (!fmt::ReadListInt(line, value)) return Fail(n, std::string("no readable integer for the ") + what);
    return true;
  }

  bool RealValue(int n, const char* what, double& value) {
    std::string_view line;
    if (!Line(n, what, line)) return false;
    if (!fmt::ReadListReal(line, value)) return Fail(n, std::string("no readable number for the ") + what);
    return true;
  }

  bool IntField(int n, std::string_view line, int column, int width, const char* what, int& value) {
    if (!fmt::ReadIntField(fmt::Field(line, column, width), value))
      return Fail(n, "columns " + Columns(column, width) + " (" + what + ") do not read as an integer");
    return true;
  }

 private:
  static std::string Columns(int column, int width) {
    return std::to_string(column) + "-" + std::to_string(column + width - 1);
  }

  const SolverFileText& text_;
  SolverInputError& error_;
};

bool ReadHeader(InputReader& in, SolverModel& m) {
  if (!in.RealValue(14, "pressure", m.P) || !in.IntValue(15, "temperature mode", m.MODE) ||
      !in.RealValue(16, "initial temperature", m.T0) ||
      !in.RealValue(17, "minimal allowable temperature", m.TMIN) ||
      !in.RealValue(18, "maximum allowable temperature", m.TMAX) ||
      !in.RealValue(19, "initial time", m.X0) || !in.RealValue(20, "final time", m.XEND) ||
      !in.RealValue(21, "initial step size", m.H0) ||
      !in.IntValue(22, "maximum number of steps", m.NMAX) ||
      !in.RealValue(23, "relative tolerance", m.RTOL) ||
      !in.RealValue(24, "absolute tolerance", m.ATOL))
    return false;
  int unused = 0;
  std::string_view line;
  if (!in.Line(25, "a blank line", line) || !in.Line(26, "the output parameters label", line) ||
      !in.IntValue(27, "maximum number of output lines", unused) ||
      !in.IntValue(28, "output step (Delta N)", m.NOUT) || !in.Line(29, "free text", line) ||
      !in.Line(30, "free text", line) ||
      !in.RealValue(31, "gas constant in the units of the activation energies", m.RE) ||
      !in.RealValue(32, "gas constant in the units of pressure and concentration", m.RC))
    return false;

  return SolverCheckSettings(m, in.Error());
}

// The thermo block starts after the first line from line 33 on whose first
// seven characters are " THERMO"; n becomes the line after it.
bool FindThermoBlock(InputReader& in, const SolverFileText& text, int& n) {
  n = kFirstThermoSearchLine;
  while (n <= text.LineCount() && !IsThermoKeyLine(text.LineAt(n))) ++n;
  if (n > text.LineCount()) return in.Fail(n, "the file has no \" THERMO\" line from line 33 on");
  ++n;
  return true;
}

void SetTail(const SolverFileText& text, int endLine, SolverModel& m) {
  m.tailOffset = text.NextStartOf(endLine);
  m.endLineTerminated = text.Terminated(endLine);
}

// The input error of a record that begins on line `first` and cannot be read.
bool RecordFailed(InputReader& in, int first, const RecordProblem& problem) {
  if (problem.kind == RecordProblem::Kind::MissingLine)
    return in.Fail(first + problem.line, "the file ends before this line (" + problem.text + " expected)");
  return in.Fail(first + problem.line, problem.text);
}

// Line first + i of the file, false past its end.
auto LinesFrom(const SolverFileText& text, int first) {
  return [&text, first](int i, std::string_view& line) {
    if (first + i > text.LineCount()) return false;
    line = text.LineAt(first + i);
    return true;
  };
}

bool ReadThermo(InputReader& in, const SolverFileText& text, SolverModel& m, int& n) {
  if (!FindThermoBlock(in, text, n)) return false;
  const int firstRecord = n;
  double moleSum = 0.0;
  for (int i = 1; i <= m.NSPEC; ++i, n += kThermoRecordLines) {
    RecordProblem problem;
    if (!ReadThermoRecord(LinesFrom(text, n), &ThAt(m.TH, 1, i), m.Y[i - 1], problem))
      return RecordFailed(in, n, problem);
    // The temperatures and the molar mass pass through single precision.
    for (int slot = 15; slot <= 18; ++slot) {
      double& value = ThAt(m.TH, slot, i);
      value = static_cast<double>(static_cast<float>(value));
    }
    fmt::PutA(m.SPNAME[i - 1], fmt::Field(text.LineAt(n), 7, kNameLength), kNameLength);
    moleSum += m.Y[i - 1];
  }
  if (!(moleSum > 0))
    return in.Fail(firstRecord, "the initial mole fractions of the thermo records from this line on sum to zero");
  return true;
}

bool ReadReactions(InputReader& in, const SolverFileText& text, SolverModel& m, int& n) {
  for (int r = 1; r <= m.NREAC; ++r) {
    RecordProblem problem;
    const int length =
        ReadReactionRecord(LinesFrom(text, n), m.NSPEC, &IreacAt(m.IREAC, 1, r), &RreacAt(m.RREAC, 1, r), problem);
    if (length == 0) return RecordFailed(in, n, problem);
    n += length;
  }
  return true;
}

// The counts of lines 10 and 11 and the mode of line 15.
bool ReadCounts(InputReader& in, SolverModel& model) {
  std::string_view line;
  for (int n = 1; n <= 9; ++n)
    if (!in.Line(n, "the header", line)) return false;
  return in.IntValue(10, "species count", model.NSPEC) && in.IntValue(11, "reaction count", model.NREAC) &&
         in.Line(12, "the header", line) && in.Line(13, "the header", line) && in.Line(14, "the pressure", line) &&
         in.IntValue(15, "temperature mode", model.MODE);
}

// The input part behind the counts, up to the end line.
bool ReadInput(InputReader& in, const SolverFileText& text, SolverModel& m) {
  if (!ReadHeader(in, m)) return false;
  // Only the entries of the file's species and reactions are cleared (and
  // ever touched), so that the pages of the rest stay untouched.
  const std::size_t species = static_cast<std::size_t>(std::clamp(m.NSPEC, 0, kMaxSpecies));
  const std::size_t reactions = static_cast<std::size_t>(std::clamp(m.NREAC, 0, kMaxReactions));
  std::fill_n(m.TH, kThSlots * species, 0.0);
  std::fill_n(m.IREAC, kIreacSlots * reactions, 0);
  std::fill_n(m.RREAC, kRreacSlots * reactions, 0.0);
  std::memset(m.Y, 0, sizeof m.Y);
  int n = 0;
  if (!ReadThermo(in, text, m, n)) return false;
  std::string_view line;
  for (int k = 0; k < 3; ++k, ++n)
    if (!in.Line(n, "a separator line after the thermo records", line)) return false;
  if (!ReadReactions(in, text, m, n)) return false;
  if (!in.Line(n, "the end line \"END\" after the last reaction record", line)) return false;
  if (!IsMechanismEndLine(line))
    return in.Fail(n, "the line after the last reaction record must be the end line \"END\"");
  if (m.MODE == 1) m.Y[m.NSPEC] = m.T0;
  SetTail(text, n, m);
  return true;
}

// A mechanism too large for the tables is not read, but a report about it
// goes behind its end line all the same: the line that follows its records,
// walked by their counts and flags as the full read takes them, so that a
// line inside a record that reads "END" (a third-body label) is passed over.
bool LocateEndLine(InputReader& in, const SolverFileText& text, SolverModel& m) {
  int first = 0;
  if (!FindThermoBlock(in, text, first)) return false;
  const auto walk = [&]() -> bool {
    const std::int64_t separators = std::int64_t{first} + 4 * std::int64_t{std::max(m.NSPEC, 0)};
    if (separators + 3 > text.LineCount()) return false;
    int n = static_cast<int>(separators) + 3;
    std::string_view line;
    for (int r = 1; r <= m.NREAC; ++r) {
      int flags[16] = {};
      if (!in.Line(n + 1, "the reaction's flags line", line)) return false;
      for (int k = 12; k <= 14; ++k)
        if (!in.IntField(n + 1, line, 7 + 4 * k, 4, "reaction flags", flags[k])) return false;
      n += ReactionRecordLines(flags);
    }
    if (!in.Line(n, "the end line", line) || !IsMechanismEndLine(line)) return false;
    SetTail(text, n, m);
    return true;
  };
  if (walk()) return true;
  // The count that sent the reading here is named with the limit it passes.
  std::string beyond;
  if (m.NSPEC > kMaxSpecies)
    beyond += "the species count " + std::to_string(m.NSPEC) + " (line 10) is above the limit of " +
              std::to_string(kMaxSpecies) + " species";
  if (m.NREAC > kMaxReactions)
    beyond += std::string(beyond.empty() ? "" : " and ") + "the reaction count " + std::to_string(m.NREAC) +
              " (line 11) is above the limit of " + std::to_string(kMaxReactions) + " reactions";
  return in.Fail(0, beyond + "; no end line \"END\" follows the thermo records of the " + std::to_string(m.NSPEC) +
                        " species and the records of the " + std::to_string(m.NREAC) + " reactions");
}

}  // namespace

bool SolverFileText::Read(const std::string& path) {
  std::string bytes;
  failure_ = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    failure_ = errno;
    return false;
  }
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  if (std::ferror(f) != 0) failure_ = errno != 0 ? errno : EIO;
  std::fclose(f);
  if (failure_ != 0) return false;
  Take(std::move(bytes));
  return true;
}

void SolverFileText::Take(std::string bytes) {
  bytes_ = std::move(bytes);
  lines_.clear();
  std::size_t start = 0;
  while (start < bytes_.size()) {
    std::size_t lf = bytes_.find('\n', start);
    const bool terminated = lf != std::string::npos;
    std::size_t end = terminated ? lf : bytes_.size();
    std::size_t length = end - start;
    if (length > 0 && bytes_[end - 1] == '\r') --length;
    const std::size_t next = terminated ? lf + 1 : bytes_.size();
    lines_.push_back({start, length, next, terminated});
    start = next;
  }
}

std::string_view SolverFileText::LineAt(int n) const {
  const Line& l = lines_[static_cast<std::size_t>(n - 1)];
  return std::string_view(bytes_).substr(l.offset, l.length);
}

SolverLoad SolverReadModel(const std::string& path, SolverFileText& text, SolverModel& model,
                           SolverInputError& error) {
  if (!text.Read(path)) {
    error = {0, "cannot open the solver file " + path + ": " + FileFailureCause(text.Failure())};
    return SolverLoad::InputError;
  }
  InputReader in(text, error);
  if (!ReadCounts(in, model)) return SolverLoad::InputError;
  if (model.NSPEC > kMaxSpecies || model.NREAC > kMaxReactions) {
    if (!LocateEndLine(in, text, model)) return SolverLoad::InputError;
    return model.NSPEC > kMaxSpecies ? SolverLoad::TooManySpecies : SolverLoad::TooManyReactions;
  }
  return ReadInput(in, text, model) ? SolverLoad::Loaded : SolverLoad::InputError;
}

bool SolverCheckSettings(const SolverModel& m, SolverInputError& error) {
  const auto fail = [&error](int line, std::string problem) {
    error = {line, std::move(problem)};
    return false;
  };
  if (m.NSPEC < 1) return fail(10, "the species count must be at least 1");
  if (m.NREAC < 0) return fail(11, "the reaction count must not be negative");
  if (!PressureAllowed(m.P)) return fail(14, "the pressure must be above zero, not " + ProblemNumber(m.P));
  if (!TemperatureModeAllowed(m.MODE))
    return fail(15, "the temperature mode must be 0 or 1, not " + std::to_string(m.MODE));
  if (!MinTemperatureAllowed(m.TMIN))
    return fail(17, "the minimal allowable temperature must be above zero, not " + ProblemNumber(m.TMIN));
  if (!TemperatureRangeAllowed(m.TMIN, m.TMAX))
    return fail(18, "the maximum allowable temperature " + ProblemNumber(m.TMAX) + " must be above the minimal one " +
                        ProblemNumber(m.TMIN));
  if (!TimeSpanAllowed(m.X0, m.XEND))
    return fail(20, "the final time " + ProblemNumber(m.XEND) + " must be above the initial time " + ProblemNumber(m.X0));
  if (!GasConstantAllowed(m.RE)) return fail(31, "the gas constant must be above zero, not " + ProblemNumber(m.RE));
  if (!GasConstantAllowed(m.RC)) return fail(32, "the gas constant must be above zero, not " + ProblemNumber(m.RC));
  return true;
}

bool SolverCheckStart(const SolverModel& m, SolverInputError& error) {
  const auto fail = [&error](int line, std::string problem) {
    error = {line, std::move(problem)};
    return false;
  };
  if (!TemperatureAllowed(m.T0, m.TMIN, m.TMAX))
    return fail(16, "the initial temperature " + ProblemNumber(m.T0) + " is outside the allowable temperatures " +
                        ProblemNumber(m.TMIN) + " - " + ProblemNumber(m.TMAX));
  if (!StepLimitAllowed(m.NMAX))
    return fail(22, "the maximum number of steps must be at least 1, not " + std::to_string(m.NMAX));
  if (!TolerancesAllowed(m.RTOL, m.ATOL)) {
    if (!(m.ATOL > 0)) return fail(24, "the absolute tolerance must be above zero, not " + ProblemNumber(m.ATOL));
    return fail(23, "the relative tolerance must be above " + ProblemNumber(10.0 * kRadauRoundingUnit) + ", not " +
                        ProblemNumber(m.RTOL));
  }
  return true;
}

bool SolverWouldRun(std::string bytes, SolverInputError& error) {
  SolverFileText text;
  text.Take(std::move(bytes));
  const auto model = std::make_unique<SolverModel>();
  InputReader in(text, error);
  if (!ReadCounts(in, *model)) return false;
  if (model->NSPEC > kMaxSpecies || model->NREAC > kMaxReactions) {
    if (model->NSPEC > kMaxSpecies)
      return in.Fail(10, "the species count " + std::to_string(model->NSPEC) + " is above the limit of " +
                             std::to_string(kMaxSpecies) + " species");
    return in.Fail(11, "the reaction count " + std::to_string(model->NREAC) + " is above the limit of " +
                           std::to_string(kMaxReactions) + " reactions");
  }
  return ReadInput(in, text, *model) && SolverCheckStart(*model, error);
}

SolverLoad SolverLoadModel(const std::string& path, SolverModel& model, SolverInputError& error) {
  SolverFileText text;
  return SolverReadModel(path, text, model, error);
}

std::string SolverInputErrorText(const std::string& path, const SolverInputError& error) {
  if (error.line == 0) return " Input error: " + error.problem;
  return " Input error in line " + std::to_string(error.line) + " of " + path + ": " + error.problem;
}

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

  // What runs ended at once left beside the file.
  RemoveAbandonedRewrites(target.string());

  int err = 0;
  std::FILE* f = replacement_.Begin(target.string(), kRewriteTag, err);
  if (!f) {
    problem = "cannot make a new file beside the solver file " + path + ": " + FileFailureCause(err);
    return nullptr;
  }
  readSize_ = text.Size();
  readDigest_ = BytesDigest(text.Head(text.Size()));
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
  return !failed && bytes.size() == readSize_ && BytesDigest(bytes) == readDigest_ ? SinceRead::Same
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
