// The run settings of one solver file as the run-settings window holds
// them, and what the window reads from the file: the settings lines, the
// species with their initial mole fractions, the mechanism lines up to its
// END line, the species without thermodynamic data and the last state of
// an earlier completed run. No windows here; the window shows and edits
// these values.
#pragma once

#include "Files.h"
#include "SolverFileLayout.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace kx::runs {

// The settings boxes of the window, each holding its text as typed.
enum class Setting {
    Pressure,            // atm
    InitialTemperature,  // K
    MinTemperature,      // lowest allowed temperature
    MaxTemperature,      // highest allowed temperature
    InitialTime,
    FinalTime,
    InitialStep,
    RelativeTolerance,
    AbsoluteTolerance,
    MaxSteps,
    OutputStep,  // a results record every that many accepted steps
};
inline constexpr std::size_t kSettingCount = 11;

struct RunSettings {
    std::array<std::string, kSettingCount> text;
    bool adiabatic = false;  // the temperature equation is integrated

    std::string& operator[](Setting s) { return text[static_cast<std::size_t>(s)]; }
    const std::string& operator[](Setting s) const { return text[static_cast<std::size_t>(s)]; }
};

// The header line that holds a setting.
int SettingLine(Setting s);

// One species of the mechanism. fraction is the initial mole fraction as
// text: empty, "0" or any text the user typed.
struct SpeciesRow {
    std::string name;
    std::string formula;
    std::string fraction;
};

// The settings and initial mole fractions as the window read them, so
// that the Run command tells those the user left alone: their lines stay
// as the file holds them. A value is "taken" when the solver reads from
// its line exactly the number that the window shows.
struct SettingsAsRead {
    RunSettings shown;
    std::array<bool, kSettingCount> taken{};
    bool modeTaken = false;  // line 15 holds 0 or 1
    std::vector<std::string> fractions;  // species order, as shown
    std::vector<bool> fractionsTaken;

    bool Taken(Setting s) const { return taken[static_cast<std::size_t>(s)]; }
};

// A solver file as the window holds it for the rewrite.
struct SolverFileModel {
    std::vector<std::string> lines;  // line 1 first; the last one is the mechanism's END line
    int speciesCount = 0;
    int reactionCount = 0;
    int thermoStart = 0;  // number of the first line of the first thermodynamic record
    std::vector<SpeciesRow> species;
    std::vector<double> molarMasses;  // species order
    files::FileStamp stamp;           // the file as it was read
    SettingsAsRead asRead;
    // Why the solver would not run the settings as they stand, in its
    // words with the line ("line 15: no readable integer for the
    // temperature mode"); "" when it would.
    std::string settingsProblem;

    // Line by its number (from 1).
    const std::string& Line(int number) const { return lines.at(static_cast<std::size_t>(number) - 1); }
    // Number of the first thermodynamic line of species k (from 0).
    int ThermoLine(int k) const { return thermoStart + solverfile::kThermoRecordLines * k; }
};

// Reads a solver file into the settings and the model. Each setting and
// initial mole fraction is read from its line as the solver reads it
// (ReadSettingValue, ReadInitialFraction), whatever the other lines hold:
// the window shows the number the solver reads (as the file writes it
// where that spells the same number: "1.000000E+00", a fraction "21E-2"
// of implied decimals as "0.00021"); line 15 selects the temperature
// equation when the solver reads 1 there. A line where the solver reads no
// number shows its text left of the "!" (the whole line without one), for
// the user to correct; and a fraction field that does not read, its text.
// Clamps a step limit below 3 to "3" and an output step below 1 to "1".
// The settings are taken first, so after a failure they hold what the
// file has; the model is filled only when the whole file reads. The
// mechanism is read as the solver reads it (ReadSolverInput): throws
// kx::Error with the solver's line and words where the solver refuses the
// file for a reason other than its settings; where it refuses only the
// settings (and the initial mole fractions) as they stand, the file loads
// and settingsProblem says why.
void LoadSolverFile(const std::string& path, RunSettings& settings, SolverFileModel& model);

// The species name of a thermodynamic record (its four lines) that holds
// no polynomial data, else "".
std::string SpeciesWithoutThermoData(const std::array<std::string, 4>& record);

// The warning shown when the temperature is integrated and species have no
// thermodynamic data ("" when none lack it).
std::string ThermoDataWarning(const SolverFileModel& model);

// The last state of an earlier run that completed.
struct LastStep {
    bool available = false;            // the file holds results that their closing line ends
    double time = 0;                   // s
    std::string temperature;           // "0.0"
    std::vector<std::string> fractions;  // mole fractions "0.000E+00", or "0" when not above the tolerance
};

// Reads the last record of the results after the mechanism (the model's
// lines), as every reader of results reads them (ResultsBlock.h), and
// converts its mass fractions to mole fractions; those not above the
// absolute tolerance (text) become "0". Nothing is available without
// results, for results that their closing line does not end (a run that
// stopped with an error report, a file cut short) and for a heading without
// records. Throws kx::Error naming the line where a record does not read as
// the solver writes it, and for a molar mass of 0 or mass fractions that
// are all 0.
void ReadLastStep(const std::string& path, const SolverFileModel& model, const std::string& absoluteTolerance,
                  LastStep& out);

}  // namespace kx::runs
