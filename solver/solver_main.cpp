// The solver's control flow: find the solver file, read and check it, run
// the integrator with the kinetics, and write the results, the closing line
// and the statistics behind the mechanism.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "file_failure.h"
#include "fixed_format.h"
#include "input_rules.h"
#include "radau5.h"
#include "solver.h"
#include "solver_file.h"

namespace kx {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kProgressInterval = std::chrono::seconds(10);

// The tables and the integrator workspace live for the whole process, in
// zero-initialised static storage whose pages the system maps on first
// touch: a run touches only what its counts need. (The model is created in
// its storage implicitly, as the aggregate it is, with every byte zero.)
alignas(SolverModel) unsigned char modelStorage[sizeof(SolverModel)];
SolverModel& model = *std::launder(reinterpret_cast<SolverModel*>(modelStorage));
double WORK[kLwork];
int IWORK[kLiwork];

// The mass-matrix routine handed to the integrator, which never calls it:
// the system has no mass matrix.
void SolverDummyMas(int&, double*, int&, double*, int*) {}

void ConsoleLine(const char* text) {
  std::fputs(text, SolverCommon.console);
  std::fputc('\n', SolverCommon.console);
}

// Says why the run wrote nothing into the solver file, on the error console;
// the status of a run that did not write its file.
int WriteNothingFailure(const std::string& text) {
  std::fputs(text.c_str(), SolverCommon.errorConsole);
  std::fputc('\n', SolverCommon.errorConsole);
  std::fflush(SolverCommon.errorConsole);
  return kExitInputError;
}

int InputFailure(const std::string& path, const SolverInputError& error) {
  return WriteNothingFailure(SolverInputErrorText(path, error));
}

// The new version of the solver file that the run writes (see
// SolverFileRewrite): the file takes it only when everything was written
// and the file still holds what the run read.
SolverFileRewrite rewrite;

// Starts the new version with the solver file's first `keep` bytes as read;
// false after the input error's report.
bool StartWriting(const SolverFileText& text, const std::string& path, std::uint64_t keep, bool lineBreak) {
  std::string problem;
  SolverCommon.solverFileIntact = true;
  SolverCommon.solverFileError = 0;
  SolverCommon.solverFile = rewrite.Begin(path, text, keep, lineBreak, problem);
  if (SolverCommon.solverFile) return true;
  InputFailure(path, {0, problem});
  return false;
}

// Closes the new version and puts it in the solver file's place: `status`,
// or the input error's status after an output error's report when the
// writing failed or another program changed the solver file during the run
// (the solver file is then as it was).
int FinishWriting(int status) {
  SolverCloseFile();
  std::string problem;
  if (!rewrite.Commit(SolverCommon.solverFileIntact, SolverCommon.solverFileError, problem))
    return WriteNothingFailure(SolverOutputErrorText(problem));
  return status;
}

// Too many species or reactions: the error block follows the mechanism's
// end line, as every report does.
int LimitFailure(const SolverFileText& text, const std::string& path, int code, int limit, int count) {
  if (!StartWriting(text, path, model.tailOffset, !model.endLineTerminated)) return kExitInputError;
  SolverReportError(code, 0.0, 0.0, limit, count, 1);  // ends the run
  return kExitModelError;
}

// A run asked to stop: the new version of the solver file is removed, so the
// file stays as it was.
int Stopped() {
  SolverCloseFile();
  rewrite.Drop();
  return SolverStoppedStatus(SolverStopSignal);
}

// Only sets the flag: whatever else a stop needs is done by the run itself.
void RequestStop(int signal) { SolverStopSignal = signal; }

// Initial mole fractions scaled to sum 1, then turned into mass fractions.
void ToMassFractions(SolverModel& m) {
  double sum = 0.0;
  for (int i = 0; i < m.NSPEC; ++i) sum += m.Y[i];
  for (int i = 0; i < m.NSPEC; ++i) m.Y[i] = m.Y[i] / sum;
  double mass = 0.0;
  for (int i = 0; i < m.NSPEC; ++i) mass += m.Y[i] * ThAt(m.TH, 15, i + 1);
  for (int i = 0; i < m.NSPEC; ++i) m.Y[i] = m.Y[i] * ThAt(m.TH, 15, i + 1) / mass;
}

void ResetOutput() {
  SolverCommonBlock& c = SolverCommon;
  c.RECORDS = 0;
  c.NEXTSTEP = 0;
  c.NEXTTIME = Clock::time_point::min();
  c.lastOutputNr = 0;
  c.lastOutputRecorded = false;
  c.XNOW = 0.0;
}

int Run(const std::string& path, SolverRunStatistics* statistics, Clock::time_point start) {
  SolverCommonBlock& c = SolverCommon;
  SolverFileText text;
  SolverInputError error;
  // A file whose last save was cut short may hold half of it: it is not read
  // as a mechanism, and its whole earlier content is named.
  if (const std::string problem = SolverInterruptedSave(path); !problem.empty())
    return InputFailure(path, {0, problem});
  switch (SolverReadModel(path, text, model, error)) {
    case SolverLoad::Loaded:
      break;
    case SolverLoad::InputError:
      return InputFailure(path, error);
    case SolverLoad::TooManySpecies:
      return LimitFailure(text, path, 13, kMaxSpecies, model.NSPEC);
    case SolverLoad::TooManyReactions:
      return LimitFailure(text, path, 14, kMaxReactions, model.NREAC);
  }

  if (SolverStopSignal != 0) return Stopped();
  if (!StartWriting(text, path, model.tailOffset, !model.endLineTerminated)) return kExitInputError;
  SolverUseModel(model);
  ResetOutput();
  SolverWriteResultsHeading(c.solverFile, model);
  ToMassFractions(model);

  // An isothermal run computes its rate constants once. A temperature outside
  // the allowed range stops the first right-hand side evaluation instead.
  if (model.MODE == 0 && TemperatureAllowed(model.T0, model.TMIN, model.TMAX))
    SolverRateConstants(model.T0, model.RREAC, model.IREAC, model.NSPEC, model.NREAC, model.TH);

  std::memset(WORK, 0, 20 * sizeof(double));
  std::memset(IWORK, 0, 20 * sizeof(int));
  IWORK[1] = model.NMAX == std::numeric_limits<int>::min() ? model.NMAX : model.NMAX - 1;
  int n = model.NSPEC + model.MODE;
  double x = model.X0;
  double xend = model.XEND;
  double h = model.H0;
  double rtol = model.RTOL;
  double atol = model.ATOL;
  int itol = 0, ijac = 0, mljac = n, mujac = 0, imas = 0, mlmas = 0, mumas = 0, iout = 1;
  int lwork = kLwork, liwork = kLiwork, idid = 0;
  int nspec = model.NSPEC, nreac = model.NREAC;
  RADAU5(n, SolverRhs, x, model.Y, xend, h, &rtol, &atol, itol, SolverDummyJac, ijac, mljac, mujac,
         SolverDummyMas, imas, mlmas, mumas, SolverStepOutput, iout, WORK, lwork, IWORK, liwork, model.RREAC,
         model.IREAC, idid, nspec, nreac, model.TH);

  int code = 0;
  if (idid == -1) code = 15;
  else if (idid == -2) code = 10;
  else if (idid == -3) code = 11;
  else if (idid == -4) code = 12;
  if (code == 0) {
    // The last point is always recorded, once.
    if (c.lastOutputNr > 0 && !c.lastOutputRecorded) {
      SolverWriteRecord(c.solverFile, c.lastOutputNr, x, c.MODE == 1 ? model.Y[n - 1] : c.T0, model.Y,
                        model.NSPEC);
      c.RECORDS += 1;
    }
    std::fputs(" !$End\r\n", c.solverFile);
  } else {
    SolverReportError(code, code == 11 ? h : 0.0, 0.0, 0, code == 10 ? model.NMAX : 0, 0);
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
  SolverWriteStatistics(c.solverFile, elapsed, IWORK[13], IWORK[14], IWORK[15], IWORK[16], c.RECORDS);
  if (statistics) {
    statistics->idid = idid;
    statistics->nfcn = IWORK[13];
    statistics->njac = IWORK[14];
    statistics->nstep = IWORK[15];
    statistics->naccpt = IWORK[16];
    statistics->nrejct = IWORK[17];
    statistics->records = c.RECORDS;
    statistics->finalTime = x;
    statistics->finalTemperature = c.MODE == 1 ? model.Y[n - 1] : c.T0;
  }
  if (SolverStopSignal != 0) return Stopped();
  const int status = FinishWriting(code == 0 ? kExitCompleted : kExitIntegratorError);
  if (status == kExitInputError) return status;
  ConsoleLine("   ");
  ConsoleLine("STOP - Program terminated");
  std::fflush(c.console);
  return status;
}

}  // namespace

volatile std::sig_atomic_t SolverStopSignal = 0;

void SolverStepOutput(int& NR, double& XOLD, double& X, double* Y, double* CONT, int& LRC, int& N,
                      double* RPAR, int* IPAR, int& IRTRN) {
  (void)XOLD, (void)CONT, (void)LRC, (void)RPAR, (void)IPAR;
  SolverCommonBlock& c = SolverCommon;
  const bool due = NR >= c.NEXTSTEP || X >= c.XEND;
  if (due) {
    if (c.solverFile)
      SolverWriteRecord(c.solverFile, NR, X, c.MODE == 1 ? Y[N - 1] : c.T0, Y, N - c.MODE);
    c.NEXTSTEP += c.NOUT;
    c.RECORDS += 1;
  }
  c.lastOutputNr = NR;
  c.lastOutputRecorded = due;
  // Results that cannot be written are not worth computing. (A run asked to
  // stop ends at its next evaluation of the right-hand side.)
  if (c.solverFile && std::ferror(c.solverFile) != 0) {
    SolverNoteWriteFailure();
    IRTRN = -1;
  }

  const Clock::time_point now = Clock::now();
  if (now >= c.NEXTTIME) {
    char line[64];
    char* p = line;
    std::memcpy(p, " Time= ", 7);
    p = fmt::PutE(p + 7, X, 12, 6);
    std::memcpy(p, "  Step= ", 8);
    p = fmt::PutI(p + 8, static_cast<long long>(NR) - 1, 8);
    *p++ = '\n';
    std::fwrite(line, 1, static_cast<std::size_t>(p - line), c.console);
    std::fflush(c.console);
    c.NEXTTIME = now + kProgressInterval;
  }
}

int SolverRunFile(const std::string& path, SolverRunStatistics* statistics) {
  const Clock::time_point start = Clock::now();
  SolverCommonBlock& c = SolverCommon;
  c.SOLVERPATH = path;
  c.solverFile = nullptr;
  try {
    return Run(path, statistics, start);
  } catch (const SolverStop& stop) {
    // Every report that stops the run comes after the writing began.
    return FinishWriting(stop.status);
  } catch (const SolverStopRequested&) {
    return Stopped();
  }
}

int SolverMain() {
  // A file-size limit makes a write too large fail (the file is then left
  // as it was, and the run says why) instead of ending the process.
  FailWritesPastFileSizeLimit();
  // The console keeps its line buffering, in storage of its own, so that
  // its first progress line allocates nothing inside the integration.
  static char consoleBuffer[4096];
  std::setvbuf(stdout, consoleBuffer, _IOLBF, sizeof consoleBuffer);
  std::FILE* f = std::fopen("SolverFilePath.txt", "rb");
  if (!f)
    return InputFailure(
        "", {0, "cannot open \"SolverFilePath.txt\" in the current folder: " + FileFailureCause(errno)});
  std::string path;
  int ch;
  while ((ch = std::fgetc(f)) != EOF && ch != '\n') path.push_back(static_cast<char>(ch));
  std::fclose(f);
  while (!path.empty() && (path.back() == '\r' || path.back() == ' ')) path.pop_back();
  // Stopped from outside (the desktop's console, Ctrl+C, a closed
  // terminal), the run removes what it was writing and the process then
  // ends by the same signal, so that whoever waits for it sees how it ended.
  std::signal(SIGTERM, RequestStop);
  std::signal(SIGINT, RequestStop);
  std::signal(SIGHUP, RequestStop);  // its terminal was closed
  const int status = SolverRunFile(path);
  const int signal = SolverStopSignal;
  if (signal != 0) {
    std::fflush(stdout);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return SolverStoppedStatus(signal);
  }
  return status;
}

}  // namespace kx
