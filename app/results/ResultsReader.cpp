// Reading a solver file with results into the results tables.
#include "ResultsReader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "Errors.h"
#include "FileHelpers.h"
#include "Format.h"
#include "ResultsBlock.h"
#include "SolverFileLayout.h"
#include "SolverFileReading.h"
#include "TextHelpers.h"
#include "ZeroThreshold.h"
#include "input_rules.h"

namespace kx {

using namespace solverfile;

namespace {

constexpr int kFieldWidth = 17;
// The density right-aligned in a field of the stored rows.
constexpr std::string_view kDensityField = "@@@@@@@@@@@@@@@@@";
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// True when "!$RESULTS", in any letter case, stands in the text after its
// first character.
bool ContainsResultsMark(std::string_view text) {
    static constexpr std::string_view mark = "!$RESULTS";
    const auto same = [](char c, char m) { return (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == m; };
    return text.size() > 1 && std::search(text.begin() + 1, text.end(), mark.begin(), mark.end(), same) != text.end();
}

}  // namespace

double RoundToSevenDigits(double value) {
    if (!std::isfinite(value)) return value;
    return ParseNumber(Format(value, "0.000000E+00")).value_or(value);
}

std::string IncompleteResultsNote(const std::string& path, double lastTime, double finalTime, int number) {
    std::string note =
        InTheFileText(path, number) + "results are incomplete: they end at " + Format(lastTime, "0.000000E+00") + " s";
    if (std::isfinite(finalTime)) note += " of the run's final time " + Format(finalTime, "0.000000E+00") + " s";
    return note + ".";
}

ResultsReader::ResultsReader(Notifier& messages, double gasConstantCm3Atm, ReaderOwner owner)
    : messages_(messages), owner_(owner), gasConstantCm3Atm_(gasConstantCm3Atm) {}

std::string_view ResultsReader::Tag(std::string_view resultsWindowTag, std::string_view holderTag) const {
    return owner_ == ReaderOwner::ResultsWindow ? resultsWindowTag : holderTag;
}

std::string ResultsReader::Caption() const {
    return (owner_ == ReaderOwner::ResultsWindow ? "Solver File  " : "Solver ") + tables_.ResultFileName;
}

double ResultsReader::Value(int row, int field) const {
    if (row < 0 || row >= tables_.ResultValues.Rows() || field < 0 || field >= tables_.ResultValues.Cols())
        throw Error(ErrorKind::SubscriptOutOfRange, "field " + std::to_string(field) + " of row " + std::to_string(row));
    return tables_.ResultValues(row, field);
}

std::string_view ResultsReader::FieldText(int row, int field) const {
    if (row < 0 || row >= tables_.ResultRowCount) throw Error(ErrorKind::SubscriptOutOfRange, "row");
    return Mid(tables_.ResultRows[static_cast<std::size_t>(row)], kFieldWidth * field + 1, kFieldWidth - 1);
}

std::string ResultsReader::IntervalStartText() const { return Format(used_.IntervalStart, "0.000000E+00"); }
std::string ResultsReader::IntervalEndText() const { return Format(used_.IntervalEnd, "0.000000E+00"); }

void ResultsReader::RequireLoaded() const {
    if (!loaded_) throw Error(ErrorKind::SubscriptOutOfRange, "no results are loaded");
}

bool ResultsReader::OPEN_Rich(const std::string& path) {
    loaded_ = false;
    tables_ = ResultsTables{};
    used_ = UsedRowsState{};
    tables_.ResultFilePath = path;
    std::string extension;
    std::int32_t nameEnd = 0;
    SplitFileName(path, tables_.ResultFileName, extension, nameEnd);
    try {
        switch (ReadFile(path)) {
            case ReadOutcome::ResultsNotFound:
                ShowMessage(messages_, InTheFileText(path) + "\r\nresults are not found.", MessageIcon::Exclamation);
                return false;
            case ReadOutcome::Incomplete:
                ShowMessage(messages_, InTheFileText(path) + "results are incomplete.", MessageIcon::Exclamation);
                return false;
            case ReadOutcome::FewRecords:
                ShowMessage(messages_, InTheFileText(path) + FewRecordsText(tables_.RecordLines.size() - 1) + ".",
                            MessageIcon::Exclamation);
                return false;
            case ReadOutcome::Read:
                break;
        }
    } catch (const std::exception& e) {
        ShowMessage(messages_, FileRefusalText(path, e.what()), MessageIcon::Critical);
        return false;
    }

    // The whole run, every stored point.
    loaded_ = true;
    used_.IntervalStart = tables_.FirstTime;
    used_.IntervalEnd = tables_.LastTime;
    try {
        // Fewer than two points would leave every curve and analysis
        // without a step to work on.
        if (!UsedData())
            throw TaggedError(Tag("Sol#117. ", "Sol#117-1 "),
                              Error(ErrorKind::SubscriptOutOfRange, "fewer than two stored points are selected"));
    } catch (const TaggedError& e) {
        // Times that cannot be selected leave nothing to work on.
        loaded_ = false;
        messages_.ReportError(e.Tag(), e.Description());
        return false;
    }
    // A run cut off or stopped early is shown as far as it goes, and the
    // window says so once.
    if (owner_ == ReaderOwner::ResultsWindow && !tables_.ResultsClosed)
        ShowMessage(messages_, IncompleteResultsNote(path, tables_.LastTime, tables_.FinalTime),
                    MessageIcon::Exclamation);
    return true;
}

ResultsReader::ReadOutcome ResultsReader::ReadFile(const std::string& path) {
    const std::string text = ReadSolverFile(path);
    if (!ContainsResultsMark(text)) return ReadOutcome::ResultsNotFound;

    const std::vector<std::string_view> lines = SplitSolverLines(text);
    const int lineCount = static_cast<int>(lines.size());
    auto line = [&](int n) -> std::string_view {  // 1-based
        if (n > lineCount) throw Error(ErrorKind::InputPastEndOfFile, LineLabel(n));
        return lines[static_cast<std::size_t>(n - 1)];
    };

    ResultsTables& t = tables_;

    // The input part as the solver read it for the run: its header, the
    // counts and mode that the records must match, and the settings with
    // which the run started.
    const SolverInput input = ReadSolverInput(lines, SolverSettings::Run);
    const SolverModel& m = input.Model();
    t.NumSpecies = input.SpeciesCount();
    t.NumReactions = input.ReactionCount();
    t.Pressure = m.P;
    t.TemperatureMode = m.MODE;
    t.InitialTemperature = m.T0;
    t.AbsTolerance = m.ATOL;
    t.FinalTime = m.XEND;  // only the note on incomplete results reads it
    t.ZeroThreshold = ZeroThresholdOf(t.AbsTolerance);
    t.GasConstantE = m.RE;
    t.GasConstantConc = m.RC;
    const int NS = t.NumSpecies;
    const int NR = t.NumReactions;
    t.NumColumns = NS + 3;

    // Thermodynamic block: the records as the solver reads them.
    t.ThermoTable.Resize(NS + 1, 19);
    t.InitialMoleFractions.assign(static_cast<std::size_t>(t.NumColumns) + 1, 0.0);
    for (int k = 1; k <= NS; ++k) {
        const ThermoRecordValues record = input.Species(k);
        for (int c = 1; c <= kThermoRecordValues; ++c)
            t.ThermoTable(k, c) = record.Values[static_cast<std::size_t>(c - 1)];
        t.InitialMoleFractions[static_cast<std::size_t>(k) + 2] = record.Fraction;
    }

    // Reactions: the records as the solver reads them, up to the end line.
    const int endLine = input.EndLine();
    t.ReactionEquations.assign(static_cast<std::size_t>(NR) + 1, std::string());
    t.ReactionInts.Resize(NR + 1, 27);
    t.ReactionReals.Resize(NR + 1, 26);
    for (int r = 1; r <= NR; ++r) {
        const ReactionRecordValues record = input.Reaction(r);
        t.ReactionEquations[static_cast<std::size_t>(r)] = std::string(Mid(line(record.FirstLine), 7));
        for (int k = 1; k <= kRecordInts; ++k) t.ReactionInts(r, k) = record.Ints[static_cast<std::size_t>(k - 1)];
        for (int k = 1; k <= kRecordReals; ++k) t.ReactionReals(r, k) = record.Reals[static_cast<std::size_t>(k - 1)];
    }

    // Start of the results: an error report before the results block leaves
    // none.
    const int titleLine = ResultsTitleLine(lines, endLine);
    if (titleLine == 0) return ReadOutcome::ResultsNotFound;
    ResultsRecords results = JoinResultsRecords(lines, titleLine, NS);
    if (!results.Found()) return ReadOutcome::ResultsNotFound;
    const ResultsValues values = ReadRecordValues(results, NS, {t.TemperatureMode, t.InitialTemperature});
    std::vector<std::string>& records = results.Records;
    const std::string& header = results.Header;
    t.ResultsClosed = results.Closed;
    t.RecordLines = results.RecordLines;
    t.RecordLines.insert(t.RecordLines.begin(), 0);

    t.ResultRowCount = static_cast<int>(records.size()) + 1;
    if (records.size() < kLeastResultsRecords) return results.Closed ? ReadOutcome::FewRecords : ReadOutcome::Incomplete;

    // Columns.
    const int columns = t.NumColumns;
    t.RawFieldStart.resize(static_cast<std::size_t>(columns));
    for (int k = 0; k < columns; ++k) t.RawFieldStart[static_cast<std::size_t>(k)] = RecordFieldStart(k);
    t.ColumnNames.assign(static_cast<std::size_t>(columns), std::string());
    t.ColumnNames[0] = "Time(s)";
    t.ColumnNames[1] = "T(K)";
    t.ColumnNames[2] = "Ro";
    for (int k = 1; k <= NS; ++k)
        t.ColumnNames[static_cast<std::size_t>(k) + 2] = std::string(Trim(RecordField(header, k + 1)));

    // Times.
    t.FirstTime = RoundToSevenDigits(values.Value(0, 0));
    t.LastTime = RoundToSevenDigits(values.Value(records.size() - 1, 0));

    // Values, density and the stored rows.
    const int rows = t.ResultRowCount;
    t.ResultValues.Resize(rows, columns);
    t.ResultValues.Fill(kNotANumber);
    t.RowDensity.assign(static_cast<std::size_t>(rows), 0.0);
    t.RoundedTimes.assign(static_cast<std::size_t>(rows), kNotANumber);
    t.ResultRows.resize(static_cast<std::size_t>(rows));
    t.ResultRows[0] = std::string(Mid(header, 8, 34)) + "Ro mass          " + std::string(Mid(header, 42));
    for (int k = 1; k <= NS; ++k)
        if (t.ThermoTable(k, 15) == 0.0) throw Error(ErrorKind::DivisionByZero, "molar mass of species " + std::to_string(k));
    if (gasConstantCm3Atm_ == 0.0) throw Error(ErrorKind::DivisionByZero, "gas constant");
    for (int i = 1; i < rows; ++i) {
        std::string& record = records[static_cast<std::size_t>(i) - 1];
        const std::size_t r = static_cast<std::size_t>(i) - 1;
        // The record named, for a refusal only.
        const auto where = [&] {
            return "record " + std::to_string(i) + " on " + LineLabel(t.RecordLines[static_cast<std::size_t>(i)]);
        };
        const double time = values.Value(r, 0);
        const double T = values.Value(r, 1);
        t.ResultValues(i, 0) = time;
        t.ResultValues(i, 1) = T;
        t.RoundedTimes[static_cast<std::size_t>(i)] = RoundToSevenDigits(time);
        double sum = 0.0;
        bool present = false;
        for (int k = 1; k <= NS; ++k) {
            const double y = values.Value(r, k + 1);
            t.ResultValues(i, k + 2) = y;
            sum += y / t.ThermoTable(k, 15);
            present = present || !CountsAsZero(y, t.ZeroThreshold);
        }
        // The analyses take fractions not above the threshold as absent: a
        // record without any species left would have no gas to work on.
        if (!present)
            throw Error(ErrorKind::InvalidArgument,
                        "no mass fraction of " + where() + " is above the zero threshold, 0.01 times the absolute "
                        "tolerance on " + LineLabel(kAbsoluteToleranceLine) + ", " +
                            Format(t.AbsTolerance, "0.000000E+00"));
        // A gas has a positive density: a record without one would be drawn
        // and integrated as if it were a state.
        const double density = t.Pressure / gasConstantCm3Atm_ / T / sum;
        if (!std::isfinite(density)) throw Error(ErrorKind::Overflow, "density of " + where());
        if (density <= 0.0)
            throw Error(ErrorKind::InvalidArgument, "the density of " + where() + ", " +
                                                        Format(density, "0.000000E+00") + " g/cm^3, is not above 0");
        t.RowDensity[static_cast<std::size_t>(i)] = density;
        t.ResultValues(i, 2) = density;

        // The stored row: the record without its step number, with the
        // density after the temperature. Built in the record's own storage.
        const std::string densityText = Format(Format(density, "0.0000000E+00"), kDensityField);
        record.erase(0, std::min<std::size_t>(7, record.size()));
        record.insert(std::min<std::size_t>(33, record.size()), densityText);
        t.ResultRows[static_cast<std::size_t>(i)] = std::move(record);
    }
    return ReadOutcome::Read;
}

}  // namespace kx
