// The Run command without its window: the checks of the settings in their
// fixed order (with the few values they normalise), the test of the path
// handed to the solver, and the rewrite of the solver file's settings lines
// and initial mole fractions.
#pragma once

#include "RunSettings.h"

#include <string>
#include <vector>

namespace kx::runs {

// Where a check stopped the command and what it tells the user.
struct Refusal {
    enum class Kind {
        None,      // every check passed
        Field,     // a settings box: show its tab, select the box, show the message
        Fraction,  // the fraction of species `species` (from 0) in the grid
        ZeroSum,   // every initial fraction is zero
    };
    Kind kind = Kind::None;
    Setting field = Setting::Pressure;
    int tab = 1;  // 1 "Starting  Values", 2 "Options and Tips"
    int species = -1;
    std::string message;

    explicit operator bool() const { return kind != Kind::None; }
};

// The tab that holds a settings box.
int TabOf(Setting s);

// Checks the settings and the fractions in the command's order and stops at
// the first refusal. On the way it normalises, in the boxes: the initial
// step to at most a hundredth of the time span, the output step to a whole
// number, and the step limit to a whole number of at least 3 and at least
// three output steps; normalisations made before a refusal stay. Throws
// kx::Error (Overflow) when a box holds a number too large for a whole
// number of 32 bits where one is needed. The solver's own rules are held
// against the values as the rewrite gives them to the solver.
Refusal ValidateRun(RunSettings& settings, const std::vector<SpeciesRow>& species);
// The same for the settings and the species of a file the window read:
// what the user left as the file holds it keeps its line (RewrittenSolverLines),
// and is checked as the number the solver reads there.
Refusal ValidateFileRun(RunSettings& settings, const SolverFileModel& file);

// The text the solver gets for an initial fraction in its ten columns: "0"
// for an empty, zero or negligible (below 1E-99) fraction, else the value
// as "0.000E+00". Throws kx::Error for a text that is no number or a value
// whose text would not fit the solver's nine columns (1E+100 and more).
std::string FractionField(const std::string& fraction);

// Why the solver could not be given this path in "SolverFilePath.txt"
// (it reads one line, 300 characters at most, without trailing blanks);
// "" when it can.
std::string SolverPathProblem(const std::string& path);

// The solver file's lines (1 to the END line) with the settings lines 14 to
// 28 and the fraction columns 75-84 of every thermodynamic record's first
// line rewritten from checked settings; all other lines unchanged. A
// setting, the temperature mode or a fraction that still shows what the
// window read from its line, where the solver reads that very number
// (SettingsAsRead), keeps the line as the file holds it.
std::vector<std::string> RewrittenSolverLines(const SolverFileModel& model, const RunSettings& settings);

// Writes "SolverFilePath.txt" in the folder the solver runs in with the
// path, then the solver file with the lines (ending at the END line, so an
// earlier run's results are gone). Each file is replaced through a
// temporary file: a failed write leaves it as it was. Throws kx::Error on
// failure.
void WriteRunFiles(const std::string& folder, const std::string& solverPath,
                   const std::vector<std::string>& lines);

}  // namespace kx::runs
