// Where things stand in a solver file: which header line holds which value,
// the key lines that open and close its blocks, the columns of the
// thermodynamic and reaction records and how many lines a record takes.
// Lines and columns are counted from 1, as the solver counts them.
//
// The readers of the desktop program share this layout; the numbers of a
// thermodynamic or reaction record each reads as the solver reads them
// (ReadThermoAt, ReadReactionAt). Otherwise each keeps its own number
// rules, its own handling of a missing line and its own error reports.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "input_rules.h"

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
inline constexpr int kSpeciesCountLine = 10;
inline constexpr int kReactionCountLine = 11;
inline constexpr int kTargetsLine = 12;  // the targets of the reduction that wrote the file
inline constexpr int kPressureLine = 14;  // atm
inline constexpr int kTemperatureModeLine = 15;  // 0 constant temperature, 1 energy equation
inline constexpr int kInitialTemperatureLine = 16;  // K
inline constexpr int kMinTemperatureLine = 17;
inline constexpr int kMaxTemperatureLine = 18;
inline constexpr int kInitialTimeLine = 19;
inline constexpr int kFinalTimeLine = 20;
inline constexpr int kInitialStepLine = 21;
inline constexpr int kMaxStepsLine = 22;
inline constexpr int kRelativeToleranceLine = 23;
inline constexpr int kAbsoluteToleranceLine = 24;
inline constexpr int kOutputStepLine = 28;  // a results record every that many steps
// The gas constants of the activation energies and of the concentrations:
// the first word of the line.
inline constexpr int kEnergyGasConstantLine = 31;
inline constexpr int kConcentrationGasConstantLine = 32;
// The "THERMO" line that closes the header. Readers that search for it
// start at kThermoSearchStart; the others take it where it is written.
inline constexpr int kThermoSearchStart = 33;
inline constexpr int kThermoLine = 34;

// The most species and reactions a mechanism may hold.
inline constexpr int kMaxSpecies = 300;
inline constexpr int kMaxReactions = 3000;

// The species count of line 10 as a reader may size its tables by it: 1 to
// kMaxSpecies, and no more thermodynamic records than the file's lineCount
// lines leave room for below line kThermoSearchStart. Throws Error
// (SubscriptOutOfRange) naming the count otherwise. A reader checks the
// count before it computes anything with it.
int CheckedSpeciesCount(int count, std::size_t lineCount);

// The reaction count of line 11, checked alike: 0 to kMaxReactions, and no
// more records of kLeastReactionLines lines than the file has lines.
int CheckedReactionCount(int count, std::size_t lineCount);

// The text of a value line left of its first "!"; nothing when the line
// holds no "!".
std::optional<std::string_view> ValueText(std::string_view line);

// The key lines: the line, trimmed, begins with "THERMO", "REACTIONS" or
// "END" in any letter case. (The end line after the last reaction record
// must then be the solver's, IsMechanismEndLine.)
bool IsThermoLine(std::string_view line);
bool IsReactionsLine(std::string_view line);
bool IsEndLine(std::string_view line);

// ---- Thermodynamic records, one per species ----------------------------

// Four lines each (the solver's rule).
using kx::kThermoRecordLines;

// The first line of the record of species k (from 1) below the "THERMO"
// line; species NS + 1 gives the first line after the records.
constexpr int ThermoRecordLine(int thermoLine, int species) {
    return thermoLine + 1 + kThermoRecordLines * (species - 1);
}

// The first line of a record: its texts, and the initial mole fraction as
// the desktop writes it.
inline constexpr Field kSpeciesName{7, 16};
inline constexpr Field kComposition{24, 22};
inline constexpr Field kInitialFraction{75, 10};  // the mole fraction, written left-aligned

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

// The record of species `species` that begins on line n of `lines` (from
// 1). Throws Error naming the species and the line where the solver would
// refuse it: InputPastEndOfFile when the file ends within it, TypeMismatch
// for a field that does not read under its layout, InvalidArgument for a
// negative fraction or a molar mass not above zero.
ThermoRecordValues ReadThermoAt(std::span<const std::string_view> lines, int n, int species);

// ---- Reaction records, one per reaction ---------------------------------

// Three separator lines follow the thermodynamic records; the readers find
// the "REACTIONS" line among them. An end line follows the last record.
inline constexpr int kSeparatorLines = 3;

// A record is its equation line, the flags line and the rate line, then
// the lines its flags call for. Its lines, columns and values are the
// solver's own rule (input_rules.h), which every reader takes through
// ReadReactionAt.
inline constexpr int kLeastReactionLines = 3;

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

// The record of reaction `reaction` that begins on line n of `lines` (from
// 1), read against nspec species. Throws Error naming the reaction and the
// line where the solver would refuse it: InputPastEndOfFile when the file
// ends within it, TypeMismatch for a field that does not read under its
// layout, SubscriptOutOfRange for a count or species number beyond the
// rules.
ReactionRecordValues ReadReactionAt(std::span<const std::string_view> lines, int n, int nspec, int reaction);

// ---- Results block, after the end line ----------------------------------

// The title line: the line, trimmed, begins with "!$RESULTS" in any letter
// case.
bool IsResultsTitle(std::string_view line);

// A line that ends the results records: the closing line or the first line
// of an error report (trimmed, it begins with "!$END" or "ERROR", in any
// letter case).
bool EndsResults(std::string_view line);

// A results record holds the values of at most this many species a line.
inline constexpr int kSpeciesPerResultsLine = kRecordValuesPerLine;

// The lines one results record (and its heading) takes for the number of
// species: at least one.
int ResultsRecordLines(int speciesCount);

}  // namespace kx::solverfile
