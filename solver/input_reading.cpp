// Reading the input part of a solver file: its header, the thermodynamic
// and reaction records and the end line, as the solver runs them and as
// every reader of the desktop program takes them.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "fixed_format.h"
#include "input_rules.h"
#include "solver_file.h"

namespace kx {

namespace {


// Reads the input part line by line and records the first problem.
class InputReader {
 public:
  InputReader(const SolverLines& text, SolverInputError& error) : text_(text), error_(error) {}

  SolverInputError& Error() { return error_; }

  bool Fail(int line, std::string problem, InputProblem kind) {
    error_ = {line, std::move(problem), kind};
    return false;
  }

  bool Line(int n, const char* what, std::string_view& line) {
    if (n > text_.LineCount())
      return Fail(n, std::string("the file ends before this line (") + what + " expected)", InputProblem::MissingLine);
    line = text_.LineAt(n);
    return true;
  }

  bool IntValue(int n, const char* what, int& value) {
    std::string_view line;
    return Line(n, what, line) && SolverReadHeaderInt(line, n, what, value, error_);
  }

  bool RealValue(int n, const char* what, double& value) {
    std::string_view line;
    if (!Line(n, what, line)) return false;
    if (!fmt::ReadListReal(line, value))
      return Fail(n, std::string("no readable number for the ") + what, InputProblem::Unreadable);
    return true;
  }

  bool IntField(int n, std::string_view line, int column, int width, const char* what, int& value) {
    if (!fmt::ReadIntField(fmt::Field(line, column, width), value))
      return Fail(n, "columns " + Columns(column, width) + " (" + what + ") do not read as an integer",
                  InputProblem::Unreadable);
    return true;
  }

 private:
  static std::string Columns(int column, int width) {
    return std::to_string(column) + "-" + std::to_string(column + width - 1);
  }

  const SolverLines& text_;
  SolverInputError& error_;
};

// A value line of the run settings: read as a run reads it, or, with the
// settings open, only there.
bool SettingReal(InputReader& in, SolverSettings settings, int n, const char* what, double& value) {
  std::string_view line;
  return settings == SolverSettings::Open ? in.Line(n, what, line) : in.RealValue(n, what, value);
}

bool SettingInt(InputReader& in, SolverSettings settings, int n, const char* what, int& value) {
  std::string_view line;
  return settings == SolverSettings::Open ? in.Line(n, what, line) : in.IntValue(n, what, value);
}

// The run settings as far as a reading of `settings` holds a file to them.
bool Checked(const SolverModel& m, SolverSettings settings, SolverInputError& error) {
  const auto fail = [&error](int line, std::string problem, InputProblem kind = InputProblem::NotAllowed) {
    error = {line, std::move(problem), kind};
    return false;
  };
  const bool run = settings != SolverSettings::Open;
  if (m.NSPEC < 1) return fail(kSpeciesCountLine, "the species count must be at least 1", InputProblem::OutOfRange);
  if (m.NREAC < 0) return fail(kReactionCountLine, "the reaction count must not be negative", InputProblem::OutOfRange);
  if (run && !PressureAllowed(m.P)) return fail(kPressureLine, "the pressure must be above zero, not " + ProblemNumber(m.P));
  if (run && !TemperatureModeAllowed(m.MODE))
    return fail(kTemperatureModeLine, "the temperature mode must be 0 or 1, not " + std::to_string(m.MODE));
  if (run && !MinTemperatureAllowed(m.TMIN))
    return fail(kMinTemperatureLine, "the minimal allowable temperature must be above zero, not " + ProblemNumber(m.TMIN));
  if (run && !TemperatureRangeAllowed(m.TMIN, m.TMAX))
    return fail(kMaxTemperatureLine, "the maximum allowable temperature " + ProblemNumber(m.TMAX) + " must be above the minimal one " +
                        ProblemNumber(m.TMIN));
  if (run && !TimeSpanAllowed(m.X0, m.XEND))
    return fail(kFinalTimeLine, "the final time " + ProblemNumber(m.XEND) + " must be above the initial time " + ProblemNumber(m.X0));
  if (!GasConstantAllowed(m.RE)) return fail(kEnergyGasConstantLine, "the gas constant must be above zero, not " + ProblemNumber(m.RE));
  if (!GasConstantAllowed(m.RC)) return fail(kConcentrationGasConstantLine, "the gas constant must be above zero, not " + ProblemNumber(m.RC));
  return true;
}

bool ReadHeader(InputReader& in, SolverSettings s, SolverModel& m) {
  if (!SettingReal(in, s, kPressureLine, "pressure", m.P) || !SettingInt(in, s, kTemperatureModeLine, "temperature mode", m.MODE) ||
      !SettingReal(in, s, kInitialTemperatureLine, "initial temperature", m.T0) ||
      !SettingReal(in, s, kMinTemperatureLine, "minimal allowable temperature", m.TMIN) ||
      !SettingReal(in, s, kMaxTemperatureLine, "maximum allowable temperature", m.TMAX) ||
      !SettingReal(in, s, kInitialTimeLine, "initial time", m.X0) || !SettingReal(in, s, kFinalTimeLine, "final time", m.XEND) ||
      !SettingReal(in, s, kInitialStepLine, "initial step size", m.H0) ||
      !SettingInt(in, s, kMaxStepsLine, "maximum number of steps", m.NMAX) ||
      !SettingReal(in, s, kRelativeToleranceLine, "relative tolerance", m.RTOL) ||
      !SettingReal(in, s, kAbsoluteToleranceLine, "absolute tolerance", m.ATOL))
    return false;
  int unused = 0;
  std::string_view line;
  if (!in.Line(25, "a blank line", line) || !in.Line(26, "the output parameters label", line) ||
      !in.IntValue(kOutputLinesLine, "maximum number of output lines", unused) ||
      !SettingInt(in, s, kOutputStepLine, "output step (Delta N)", m.NOUT) || !in.Line(29, "free text", line) ||
      !in.Line(30, "free text", line) ||
      !in.RealValue(kEnergyGasConstantLine, "gas constant in the units of the activation energies", m.RE) ||
      !in.RealValue(kConcentrationGasConstantLine, "gas constant in the units of pressure and concentration", m.RC))
    return false;

  return Checked(m, s, in.Error());
}

// The thermo block starts after the first line from line 33 on whose first
// seven characters are " THERMO"; n becomes the line after it.
bool FindThermoBlock(InputReader& in, const SolverLines& text, int& n) {
  n = kThermoSearchStart;
  while (n <= text.LineCount() && !IsThermoKeyLine(text.LineAt(n))) ++n;
  if (n > text.LineCount())
    return in.Fail(n, "the file has no \" THERMO\" line from line 33 on", InputProblem::MissingLine);
  ++n;
  return true;
}

// The input error of a record that begins on line `first` and cannot be read.
bool RecordFailed(InputReader& in, int first, const RecordProblem& problem) {
  if (problem.kind == RecordProblem::Kind::MissingLine)
    return in.Fail(first + problem.line, "the file ends before this line (" + problem.text + " expected)",
                   problem.kind);
  return in.Fail(first + problem.line, problem.text, problem.kind);
}

// Line first + i of the file, false past its end.
auto LinesFrom(const SolverLines& text, int first) {
  return [&text, first](int i, std::string_view& line) {
    if (first + i > text.LineCount()) return false;
    line = text.LineAt(first + i);
    return true;
  };
}

// The line whose text, without the blanks before it, begins with
// REACTIONS in any letter case: the word that the tool that makes a solver
// file writes among the separator lines. The solver does not need it; it
// names the species count that does not match the records when a record
// does not read. 0 when there is none after line `from`.
int ReactionsWordLine(const SolverLines& text, int from) {
  static constexpr std::string_view word = "REACTIONS";
  for (int n = from + 1; n <= text.LineCount(); ++n) {
    std::string_view line = text.LineAt(n);
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (line.size() < word.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < word.size() && same; ++k)
      same = (line[k] >= 'a' && line[k] <= 'z' ? static_cast<char>(line[k] - 'a' + 'A') : line[k]) == word[k];
    if (same) return n;
  }
  return 0;
}

// When the mechanism does not read and the species count is why: the
// thermo records between the THERMO line and the REACTIONS word are not the
// count's (the word stands on one of the three separator lines after them).
bool SpeciesCountMismatch(InputReader& in, const SolverLines& text, int thermoLine, int nspec) {
  const int reactions = ReactionsWordLine(text, thermoLine);
  if (reactions == 0) return false;
  const int between = reactions - thermoLine - 1;
  if (between >= kThermoRecordLines * nspec && between < kThermoRecordLines * nspec + 3) return false;
  const int records = between / kThermoRecordLines;
  in.Fail(kSpeciesCountLine,
          "the species count " + std::to_string(nspec) + " does not match the " + std::to_string(records) +
              (records == 1 ? " thermo record" : " thermo records") + " between the THERMO line " +
              std::to_string(thermoLine) + " and the REACTIONS line " + std::to_string(reactions),
          InputProblem::OutOfRange);
  return true;
}

bool ReadThermo(InputReader& in, const SolverLines& text, SolverSettings settings, bool single, SolverModel& m,
                int& n) {
  const int firstRecord = n;
  double moleSum = 0.0;
  for (int i = 1; i <= m.NSPEC; ++i, n += kThermoRecordLines) {
    RecordProblem problem;
    double* fraction = settings == SolverSettings::Open ? nullptr : &m.Y[i - 1];
    if (!ReadThermoRecord(LinesFrom(text, n), &ThAt(m.TH, 1, i), fraction, problem))
      return RecordFailed(in, n, problem);
    // The temperatures and the molar mass pass through single precision.
    for (int slot = 15; single && slot <= 18; ++slot) {
      double& value = ThAt(m.TH, slot, i);
      value = static_cast<double>(static_cast<float>(value));
    }
    fmt::PutA(m.SPNAME[i - 1], SpeciesNameField(text.LineAt(n)), kNameLength);
    moleSum += m.Y[i - 1];
  }
  if (settings != SolverSettings::Open && !(moleSum > 0))
    return in.Fail(firstRecord, "the initial mole fractions of the thermo records from this line on sum to zero",
                   InputProblem::NotAllowed);
  return true;
}

bool ReadReactions(InputReader& in, const SolverLines& text, SolverModel& m, int& n) {
  for (int r = 1; r <= m.NREAC; ++r) {
    RecordProblem problem;
    const int length =
        ReadReactionRecord(LinesFrom(text, n), m.NSPEC, &IreacAt(m.IREAC, 1, r), &RreacAt(m.RREAC, 1, r), problem);
    if (length > 0) {
      n += length;
      continue;
    }
    // The records ended at the end line before the count did.
    if (n <= text.LineCount() && IsMechanismEndLine(text.LineAt(n)))
      return in.Fail(kReactionCountLine,
                     "the reaction count " + std::to_string(m.NREAC) + " is above the " + std::to_string(r - 1) +
                         (r == 2 ? " reaction record" : " reaction records") + " before the end line " +
                         std::to_string(n),
                     InputProblem::OutOfRange);
    return RecordFailed(in, n, problem);
  }
  return true;
}

// The counts of lines 10 and 11 and, with the run settings read, the mode
// of line 15.
bool ReadCounts(InputReader& in, SolverSettings settings, int& nspec, int& nreac, int& mode) {
  std::string_view line;
  for (int n = 1; n <= 9; ++n)
    if (!in.Line(n, "the header", line)) return false;
  return in.IntValue(kSpeciesCountLine, "species count", nspec) &&
         in.IntValue(kReactionCountLine, "reaction count", nreac) && in.Line(12, "the header", line) &&
         in.Line(13, "the header", line) && in.Line(kPressureLine, "the pressure", line) &&
         SettingInt(in, settings, kTemperatureModeLine, "temperature mode", mode);
}

bool ReadCounts(InputReader& in, SolverSettings settings, SolverModel& model) {
  return ReadCounts(in, settings, model.NSPEC, model.NREAC, model.MODE);
}

// The input part behind the counts, up to the end line, which `places`
// receives with the THERMO line.
bool ReadInput(InputReader& in, const SolverLines& text, SolverSettings settings, bool single, SolverModel& m,
               SolverInputPlaces& places) {
  if (!ReadHeader(in, settings, m)) return false;
  // Only the entries of the file's species and reactions are cleared (and
  // ever touched), so that the pages of the rest stay untouched.
  const std::size_t species = static_cast<std::size_t>(std::clamp(m.NSPEC, 0, kMaxSpecies));
  const std::size_t reactions = static_cast<std::size_t>(std::clamp(m.NREAC, 0, kMaxReactions));
  std::fill_n(m.TH, kThSlots * species, 0.0);
  std::fill_n(m.IREAC, kIreacSlots * reactions, 0);
  std::fill_n(m.RREAC, kRreacSlots * reactions, 0.0);
  std::memset(m.Y, 0, sizeof m.Y);
  int n = 0;
  if (!FindThermoBlock(in, text, n)) return false;
  places.thermoLine = n - 1;
  // A mechanism that does not read because its species count is not that
  // of its records says so.
  const auto failed = [&] {
    SpeciesCountMismatch(in, text, places.thermoLine, m.NSPEC);
    return false;
  };
  if (!ReadThermo(in, text, settings, single, m, n)) return failed();
  std::string_view line;
  for (int k = 0; k < 3; ++k, ++n)
    if (!in.Line(n, "a separator line after the thermo records", line)) return failed();
  if (!ReadReactions(in, text, m, n)) return failed();
  if (!in.Line(n, "the end line \"END\" after the last reaction record", line)) return failed();
  if (!IsMechanismEndLine(line)) {
    in.Fail(n,
            "the end line \"END\" must follow the " + std::to_string(m.NREAC) +
                (m.NREAC == 1 ? " reaction record" : " reaction records") + " of the count on line 11 here",
            InputProblem::NotAllowed);
    return failed();
  }
  if (settings != SolverSettings::Open && m.MODE == 1) m.Y[m.NSPEC] = m.T0;
  places.endLine = n;
  return true;
}

void SetTail(const SolverFileText& text, int endLine, SolverModel& m) {
  m.tailOffset = text.NextStartOf(endLine);
  m.endLineTerminated = text.Terminated(endLine);
}

// A count beyond the limits of the tables: the species count's, else the
// reaction count's.
bool FailBeyondTheLimits(InputReader& in, const SolverModel& m) {
  if (m.NSPEC > kMaxSpecies)
    return in.Fail(kSpeciesCountLine,
                   "the species count " + std::to_string(m.NSPEC) + " is above the limit of " +
                       std::to_string(kMaxSpecies) + " species",
                   InputProblem::OutOfRange);
  return in.Fail(kReactionCountLine,
                 "the reaction count " + std::to_string(m.NREAC) + " is above the limit of " +
                     std::to_string(kMaxReactions) + " reactions",
                 InputProblem::OutOfRange);
}

// A mechanism too large for the tables is not read, but a report about it
// goes behind its end line all the same: the line that follows its records,
// walked by their counts and flags as the full read takes them, so that a
// line inside a record that reads "END" (a third-body label) is passed over.
// False with the problem when there is none: no THERMO line, or else the
// count beyond the limits (no end line stands where the counts put it).
bool LocateEndLine(InputReader& in, const SolverLines& text, const SolverModel& m, int& endLine) {
  int first = 0;
  if (!FindThermoBlock(in, text, first)) return false;
  const auto walk = [&]() -> bool {
    const std::int64_t separators = std::int64_t{first} + kThermoRecordLines * std::int64_t{std::max(m.NSPEC, 0)};
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
    endLine = n;
    return true;
  };
  return walk() || FailBeyondTheLimits(in, m);
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

std::vector<std::string_view> SplitSolverLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t lf = bytes.find('\n', start);
    const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    std::size_t length = end - start;
    if (length > 0 && bytes[end - 1] == '\r') --length;
    lines.push_back(bytes.substr(start, length));
    start = end + 1;
  }
  return lines;
}

void SolverFileText::Take(std::string bytes) {
  bytes_ = std::move(bytes);
  lines_ = SplitSolverLines(bytes_);
}

std::uint64_t SolverFileText::NextStartOf(int n) const {
  if (n == LineCount()) return bytes_.size();
  return static_cast<std::uint64_t>(lines_[static_cast<std::size_t>(n)].data() - bytes_.data());
}

namespace {

// A carriage return that is part of a line (SplitSolverLines) shows in no
// editor: an input error on such a line says that it is there.
void NoteCarriageReturn(const SolverLines& text, SolverInputError& error) {
  if (error.line < 1 || error.line > text.LineCount()) return;
  if (text.LineAt(error.line).find('\r') == std::string_view::npos) return;
  error.problem += " (the line holds a carriage return, CR, that ends no line: a line ends in LF or CR LF)";
}

SolverLoad ReadText(const SolverFileText& text, SolverModel& model, SolverInputError& error) {
  InputReader in(text, error);
  if (!ReadCounts(in, SolverSettings::Run, model)) return SolverLoad::InputError;
  if (model.NSPEC > kMaxSpecies || model.NREAC > kMaxReactions) {
    int endLine = 0;
    if (!LocateEndLine(in, text, model, endLine)) return SolverLoad::InputError;
    SetTail(text, endLine, model);
    return model.NSPEC > kMaxSpecies ? SolverLoad::TooManySpecies : SolverLoad::TooManyReactions;
  }
  SolverInputPlaces places;
  if (!ReadInput(in, text, SolverSettings::Run, true, model, places))
    return SolverLoad::InputError;
  SetTail(text, places.endLine, model);
  return SolverLoad::Loaded;
}

bool ReadInputPart(const SolverLines& lines, SolverSettings settings, SolverModel& model, SolverInputPlaces& places,
                   SolverInputError& error) {
  // The model's values that a reading may leave unread (the run settings
  // with the settings open) are 0; its tables are cleared as far as the
  // file's counts reach.
  model.NSPEC = model.NREAC = model.MODE = model.NMAX = model.NOUT = 0;
  model.P = model.T0 = model.TMIN = model.TMAX = model.X0 = model.XEND = model.H0 = 0;
  model.RTOL = model.ATOL = model.RE = model.RC = 0;
  model.tailOffset = 0;
  model.endLineTerminated = true;
  InputReader in(lines, error);
  if (!ReadCounts(in, settings, model)) return false;
  // Beyond the limits a run reports instead of running, once it has found
  // where to; the reading refuses such a file where the run finds its
  // problem first (its THERMO line).
  if (model.NSPEC > kMaxSpecies || model.NREAC > kMaxReactions) {
    if (int endLine = 0; LocateEndLine(in, lines, model, endLine)) FailBeyondTheLimits(in, model);
    return false;
  }
  if (!ReadInput(in, lines, settings, false, model, places)) return false;
  return settings != SolverSettings::Run || SolverCheckStart(model, error);
}

}  // namespace

SolverLoad SolverReadText(const SolverFileText& text, SolverModel& model, SolverInputError& error) {
  const SolverLoad load = ReadText(text, model, error);
  if (load == SolverLoad::InputError) NoteCarriageReturn(text, error);
  return load;
}

bool SolverReadInput(const SolverLines& lines, SolverSettings settings, SolverModel& model,
                     SolverInputPlaces& places, SolverInputError& error) {
  if (ReadInputPart(lines, settings, model, places, error)) return true;
  NoteCarriageReturn(lines, error);
  return false;
}

bool SolverCheckStart(const SolverModel& m, SolverInputError& error) {
  const auto fail = [&error](int line, std::string problem) {
    error = {line, std::move(problem), InputProblem::NotAllowed};
    return false;
  };
  if (!TemperatureAllowed(m.T0, m.TMIN, m.TMAX))
    return fail(kInitialTemperatureLine, "the initial temperature " + ProblemNumber(m.T0) + " is outside the allowable temperatures " +
                        ProblemNumber(m.TMIN) + " - " + ProblemNumber(m.TMAX));
  if (!StepLimitAllowed(m.NMAX))
    return fail(kMaxStepsLine, "the maximum number of steps must be at least 1, not " + std::to_string(m.NMAX));
  if (!TolerancesAllowed(m.RTOL, m.ATOL)) {
    if (!(m.ATOL > 0)) return fail(kAbsoluteToleranceLine, "the absolute tolerance must be above zero, not " + ProblemNumber(m.ATOL));
    return fail(kRelativeToleranceLine, "the relative tolerance must be above " + ProblemNumber(10.0 * kRadauRoundingUnit) + ", not " +
                        ProblemNumber(m.RTOL));
  }
  return true;
}

bool SolverReadHeaderInt(std::string_view line, int n, const char* what, int& value, SolverInputError& error) {
  if (fmt::ReadListInt(line, value)) return true;
  error = {n, std::string("no readable integer for the ") + what, InputProblem::Unreadable};
  return false;
}

bool SolverReadCounts(const SolverLines& lines, int& species, int& reactions, int& mode, SolverInputError& error) {
  species = reactions = mode = 0;
  InputReader in(lines, error);
  if (ReadCounts(in, SolverSettings::Run, species, reactions, mode)) return true;
  NoteCarriageReturn(lines, error);
  return false;
}

bool SolverWouldRun(std::string bytes, SolverInputError& error) {
  SolverFileText text;
  text.Take(std::move(bytes));
  const SolverModelStorage storage;
  SolverInputPlaces places;
  return SolverReadInput(text, SolverSettings::Run, storage.Model(), places, error);
}

}  // namespace kx
