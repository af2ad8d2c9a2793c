// Where things stand in a solver file: which header line holds which value,
// the key lines that open and close its blocks, the columns of the
// thermodynamic and reaction records and how many lines a record takes.
// Lines and columns are counted from 1, as the solver counts them.
//
// The readers of the desktop program share this layout, and read the input
// part of a solver file (its header, key lines, records and end line) as
// the solver reads it: ReadSolverInput.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "input_rules.h"
#include "solver_file.h"

namespace kx::solverfile {

// "line 12", for error details.
std::string LineLabel(int number);

// A fixed-column field: its first column and its width.
struct Field {
    int column = 1;
    int width = 0;
};

// The characters of the field, as far as the line reaches.
std::string_view FieldOf(std::string_view line, Field field);

// ---- Header, lines 1-34 ------------------------------------------------

// Value lines: the value stands left of the line's first "!", a label
// right of it.
// The value lines the solver reads (input_rules.h), and line 12, which the
// desktop program alone reads.
using kx::kAbsoluteToleranceLine;
using kx::kFinalTimeLine;
using kx::kInitialStepLine;
using kx::kInitialTemperatureLine;
using kx::kInitialTimeLine;
using kx::kMaxStepsLine;
using kx::kMaxTemperatureLine;
using kx::kMinTemperatureLine;
using kx::kOutputStepLine;
using kx::kPressureLine;
using kx::kReactionCountLine;
using kx::kRelativeToleranceLine;
using kx::kSpeciesCountLine;
using kx::kTemperatureModeLine;
using kx::kThermoSearchStart;
inline constexpr int kTargetsLine = 12;  // the targets of the reduction that wrote the file

// The text of a value line left of its first "!"; nothing when the line
// holds no "!".
std::optional<std::string_view> ValueText(std::string_view line);

// ---- Thermodynamic records, one per species ----------------------------

// Four lines each (the solver's rule).
using kx::kThermoRecordLines;

// The first line of the record of species k (from 1) below the "THERMO"
// line; species NS + 1 gives the first line after the records.
constexpr int ThermoRecordLine(int thermoLine, int species) {
    return thermoLine + 1 + kThermoRecordLines * (species - 1);
}

// The first line of a record: its texts (the species name is the solver's,
// SpeciesName), and the initial mole fraction's columns, where the solver
// reads it (ReadInitialFraction) and the desktop writes it left-aligned.
inline constexpr Field kInitialFraction{kx::kInitialFractionColumn, kx::kInitialFractionWidth};

// The species' composition, which the solver does not read: the first word
// after the name's columns, within columns 23-45 ("H2O1", "C1H4").
std::string_view SpeciesComposition(std::string_view line);

// Lines 2-4 of a record: five fields of 15 columns from column 1 (index
// from 1), the polynomial coefficients 1-5, 6-10 and 11-14, the fifth field
// of line 4 the molar mass.
constexpr Field CoefficientField(int index) { return {1 + 15 * (index - 1), 15}; }

// A thermodynamic record as the solver reads it (input_rules.h): TH 1-18,
// coefficient k (1-14) at Values[k - 1], the molar mass at Values[14], the
// lower, upper and common temperatures at Values[15..17], and the initial
// mole fraction.
struct ThermoRecordValues {
    std::array<double, kThermoRecordValues> Values{};
    double Fraction = 0;
};

// ---- Reaction records, one per reaction ---------------------------------

// Three separator lines follow the thermodynamic records, and the first
// reaction record the third of them. An end line follows the last record.
inline constexpr int kSeparatorLines = 3;

// A reaction record as the solver reads it.
struct ReactionRecordValues {
    int FirstLine = 0;  // its equation line
    int Lines = 0;      // its length in lines
    // IREAC 1-26: flag k (1-16) at Ints[k - 1], third body k (1-10) at
    // Ints[15 + k]. RREAC 1-21: A, b, E at Reals[0..2], the low-pressure A,
    // b, E at Reals[3..5], the broadening parameters from Reals[6], the
    // efficiency of third body k at Reals[10 + k]. What the solver does not
    // read is 0.
    std::array<int, kRecordInts> Ints{};
    std::array<double, kRecordReals> Reals{};
};

// ---- The input part as the solver reads it ------------------------------

// The counts, run settings and records that the solver reads from a solver
// file (SolverReadInput), and where its blocks stand.
class SolverInput {
public:
    const SolverModel& Model() const { return *model_; }
    int SpeciesCount() const { return model_->NSPEC; }
    int ReactionCount() const { return model_->NREAC; }
    int ThermoLine() const { return thermoLine_; }  // the " THERMO" line
    int EndLine() const { return endLine_; }        // the end line after the last reaction record
    // The first line of the thermodynamic record of species k (from 1).
    int SpeciesLine(int k) const { return ThermoRecordLine(thermoLine_, k); }
    // The record of species k (from 1): its values as the fields read.
    ThermoRecordValues Species(int k) const;
    // The record of reaction r (from 1).
    ReactionRecordValues Reaction(int r) const;

private:
    friend bool ReadSolverInput(std::span<const std::string_view> lines, SolverSettings settings, SolverInput& input,
                                SolverInputError& error);
    std::unique_ptr<SolverModelStorage> storage_;
    SolverModel* model_ = nullptr;  // in storage_
    int thermoLine_ = 0;
    int endLine_ = 0;
    std::vector<int> reactionLines_;  // the equation line of reaction r at [r - 1]
};

// Reads the input part of the file whose lines are given as the solver
// does, holding it to the run settings as `settings` says. Throws Error
// where the solver refuses the file: the solver's line and words ("line
// 14: the pressure must be above zero, not 0.000000E+00"), of the kind of
// the problem (InputPastEndOfFile for a missing line, TypeMismatch for a
// field or value that does not read, SubscriptOutOfRange for a count or
// species number out of range, InvalidArgument for a value the solver
// does not take).
SolverInput ReadSolverInput(std::span<const std::string_view> lines, SolverSettings settings);

// The same for a reader with refusals of its own: false with the solver's
// line and problem in `error` where the solver refuses the file. Of a
// refused file, `input` holds the THERMO line where the reading found it
// (0 where it did not), and then the species and reaction counts.
bool ReadSolverInput(std::span<const std::string_view> lines, SolverSettings settings, SolverInput& input,
                     SolverInputError& error);

// The Error that ReadSolverInput throws for the solver's refusal.
Error InputErrorOf(const SolverInputError& error);

// The solver's refusal as that Error states it after its kind: the line
// and the problem ("line 15: no readable integer for the temperature mode").
std::string InputProblemText(const SolverInputError& error);

// ---- Results block, after the end line ----------------------------------

// The title line: the line, trimmed, begins with "!$RESULTS" in any letter
// case.
bool IsResultsTitle(std::string_view line);

// A line that ends the results records: the closing line or the first line
// of an error report (trimmed, it begins with "!$END" or "ERROR", in any
// letter case).
bool EndsResults(std::string_view line);

// The title of the run statistics, which follow the closing line: the
// line, trimmed, is "STATISTICS" in any letter case.
bool IsStatisticsTitle(std::string_view line);

// The lines one results record (and its heading) takes for the number of
// species (kRecordValuesPerLine a line): at least one.
int ResultsRecordLines(int speciesCount);

}  // namespace kx::solverfile
