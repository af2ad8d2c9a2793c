// The console solver's model, shared storage and routines.
//
// A solver file is loaded into fixed-size tables (SolverModel); the kinetics
// routines read the run settings from the shared storage SolverCommon, which
// SolverUseModel fills from a loaded model. Other code can therefore load a
// solver file and evaluate the right-hand side, the rate constants and the
// species thermodynamics at any state exactly as the solver does:
//
//   auto model = std::make_unique<kx::SolverModel>();
//   kx::SolverInputError error;
//   if (kx::SolverLoadModel(path, *model, error) == kx::SolverLoad::Loaded) {
//     kx::SolverUseModel(*model);
//     if (model->MODE == 0)   // an isothermal run uses the constants of T0
//       kx::SolverRateConstants(model->T0, model->RREAC, model->IREAC,
//                               model->NSPEC, model->NREAC, model->TH);
//     int n = model->NSPEC + model->MODE;
//     kx::SolverRhs(n, x, y, f, model->RREAC, model->IREAC,
//                   model->NSPEC, model->NREAC, model->TH);
//   }
//
// Tables are column-per-item with slots counted from 1 (ThAt, IreacAt,
// RreacAt). A failure of the model evaluation throws SolverStop after its
// report; nothing is allocated while the kinetics are evaluated.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kx {

inline constexpr int kMaxSpecies = 300;
inline constexpr int kMaxReactions = 3000;
// Species plus the temperature when the energy equation is integrated.
inline constexpr int kMaxUnknowns = kMaxSpecies + 1;
inline constexpr int kThSlots = 24;
inline constexpr int kIreacSlots = 26;
inline constexpr int kRreacSlots = 25;
inline constexpr int kNameLength = 16;
// Integrator workspace for a full Jacobian of kMaxUnknowns equations.
inline constexpr int kLwork = 4 * kMaxUnknowns * kMaxUnknowns + 12 * kMaxUnknowns + 20;
inline constexpr int kLiwork = 3 * kMaxUnknowns + 20;
inline constexpr double kExponentLimit = 500.0;

// Process exit statuses of the console solver.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitInputError = 1;
inline constexpr int kExitModelError = 2;       // codes 1-9, 13, 14
inline constexpr int kExitIntegratorError = 3;  // codes 10-12, 15

// Slot `slot` (from 1) of species `i` (from 1) in TH, and of reaction `r` in
// IREAC and RREAC.
inline double& ThAt(double* th, int slot, int i) { return th[(i - 1) * kThSlots + slot - 1]; }
inline int& IreacAt(int* ireac, int slot, int r) { return ireac[(r - 1) * kIreacSlots + slot - 1]; }
inline double& RreacAt(double* rreac, int slot, int r) { return rreac[(r - 1) * kRreacSlots + slot - 1]; }
inline double ThAt(const double* th, int slot, int i) { return th[(i - 1) * kThSlots + slot - 1]; }
inline int IreacAt(const int* ireac, int slot, int r) { return ireac[(r - 1) * kIreacSlots + slot - 1]; }
inline double RreacAt(const double* rreac, int slot, int r) { return rreac[(r - 1) * kRreacSlots + slot - 1]; }

// What a solver file gives: counts, run settings and the model tables.
// About 1 MB: keep it in static storage or allocate it once.
struct SolverModel {
  int NSPEC = 0;
  int NREAC = 0;
  int MODE = 0;  // 0 constant temperature, 1 energy equation
  double P = 0, T0 = 0, TMIN = 0, TMAX = 0, X0 = 0, XEND = 0, H0 = 0;
  int NMAX = 0;
  double RTOL = 0, ATOL = 0;
  int NOUT = 0;
  double RE = 0, RC = 0;
  // Initial mole fractions as read (not normalised); Y[N-1] = T0 when MODE is 1.
  double Y[kMaxUnknowns] = {};
  char SPNAME[kMaxSpecies][kNameLength] = {};
  double TH[kThSlots * kMaxSpecies] = {};
  int IREAC[kIreacSlots * kMaxReactions] = {};
  double RREAC[kRreacSlots * kMaxReactions] = {};
  // Byte offset just behind the mechanism's end line, where a run writes.
  std::uint64_t tailOffset = 0;
  bool endLineTerminated = true;  // false: the end line is the file's last, without a line break
};

// Shared storage of the solver routines: the run settings, the output
// counters, the open solver file and the concentrations of the last
// right-hand side.
struct SolverCommonBlock {
  int MODE = 0;
  double P = 0, T0 = 0, RE = 0, RC = 0, TMIN = 0, TMAX = 0;
  double EXPLIM = kExponentLimit;
  double XEND = 0;
  int NOUT = 0;
  std::int64_t RECORDS = 0;
  std::int64_t NEXTSTEP = 0;
  std::chrono::steady_clock::time_point NEXTTIME{};
  std::string SOLVERPATH;
  double XNOW = 0;

  std::FILE* solverFile = nullptr;  // open for writing while a run writes its results
  bool solverFileIntact = true;     // false once a write into solverFile failed
  int solverFileError = 0;          // the system's reason (errno) for that failure, 0 when not known
  std::FILE* console = stdout;      // progress lines and error reports
  std::FILE* errorConsole = stderr; // input errors

  // The last output call: its number and whether it wrote a record.
  int lastOutputNr = 0;
  bool lastOutputRecorded = false;

  // Molar concentrations of the last right-hand side, one more slot for the
  // kinetics' own use.
  double concentration[kMaxSpecies + 1] = {};
};
extern SolverCommonBlock SolverCommon;

// A request to stop the run: the number of the signal that asked for it,
// set by the console program's handler of SIGTERM, SIGINT and SIGHUP (0:
// none). The integration stops at its next evaluation of the right-hand
// side (which throws SolverStopRequested), and the run ends without
// touching the solver file: the new version it was writing is removed.
extern volatile std::sig_atomic_t SolverStopSignal;

// Thrown by the right-hand side once a stop was asked for, so that a run
// stops within one evaluation, not after a whole step (a step of a large
// model evaluates the right-hand side hundreds of times).
struct SolverStopRequested {};

// The exit status of a run that was asked to stop by signal `signal`, as a
// shell reports one that the signal ended.
inline int SolverStoppedStatus(int signal) { return 128 + signal; }

// Thrown after a report that ends the run; carries the exit status.
struct SolverStop {
  int status;
};

// Counters of the last run, for callers that time the solver.
struct SolverRunStatistics {
  int idid = 0;
  int nfcn = 0, njac = 0, nstep = 0, naccpt = 0, nrejct = 0;
  std::int64_t records = 0;
  double finalTime = 0;
  double finalTemperature = 0;
};

enum class SolverLoad { Loaded, InputError, TooManySpecies, TooManyReactions };

// What is wrong with a line of the input part: it is missing (the file
// ends before it), a field or value does not read, a count or species
// number is out of its range, or a value is one that a run does not take.
enum class InputProblem { MissingLine, Unreadable, OutOfRange, NotAllowed };

struct SolverInputError {
  int line = 0;  // 0: not tied to a line
  std::string problem;
  InputProblem kind = InputProblem::NotAllowed;
};

// Reads and checks the input part of a solver file. TooManySpecies and
// TooManyReactions leave only NSPEC, NREAC, MODE and where the mechanism's
// end line ends (tailOffset, endLineTerminated) set; a mechanism without an
// end line is an input error then too.
SolverLoad SolverLoadModel(const std::string& path, SolverModel& model, SolverInputError& error);

// Copies the model's run settings into SolverCommon and forgets cached rate
// constants.
void SolverUseModel(const SolverModel& model);

// H/RT, Cp/R and S/R of one species from its 14 coefficients; TPOW holds
// ln T, T^2, T^3, T^4.
void SolverSpeciesThermo(const double* A, double T, double TCOMMON, const double* TPOW, double& HRT,
                         double& CPR, double& SR);

// Species thermodynamics (TH slots 19-22) and reaction rate parameters
// (RREAC slots 22-25) at temperature T.
void SolverRateConstants(double T, double* RREAC, const int* IREAC, int NSPEC, int NREAC, double* TH);

// Time derivatives of the mass fractions (and of the temperature when MODE is 1).
void SolverRhs(int& N, double& X, double* Y, double* F, double* RPAR, int* IPAR, int& NSPEC,
               int& NREAC, double* TH);

// The integrator's output routine: results records and progress lines.
void SolverStepOutput(int& NR, double& XOLD, double& X, double* Y, double* CONT, int& LRC, int& N,
                      double* RPAR, int* IPAR, int& IRTRN);

// Closes SolverCommon.solverFile (when open); a write into it that failed,
// the last one included, clears solverFileIntact (see SolverNoteWriteFailure).
void SolverCloseFile();

// Called once a write into SolverCommon.solverFile may have failed, while
// errno still holds the system's reason: a failed write clears
// solverFileIntact and keeps the first reason in solverFileError.
void SolverNoteWriteFailure();

// Numbered error report on the console and into the open solver file; with
// FATAL = 1 it closes the file and throws SolverStop.
void SolverReportError(int CODE, double TIME, double TEMP, int IVAL1, int IVAL2, int FATAL);

// Runs the solver file named by "SolverFilePath.txt" in the current folder;
// returns the exit status.
int SolverMain();

// Runs one solver file; returns the exit status. statistics, when given,
// receives the counters of the run.
int SolverRunFile(const std::string& path, SolverRunStatistics* statistics = nullptr);

}  // namespace kx
