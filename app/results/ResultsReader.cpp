// Reading a solver file with results into the results tables.
#include "ResultsReader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "Errors.h"
#include "Format.h"
#include "TextHelpers.h"

namespace kx {
namespace {

constexpr int kFieldWidth = 17;
constexpr int kSpeciesPerLine = 50;
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();


// True when the text, trimmed and upper-cased, begins with `prefix`.
bool BeginsWith(std::string_view line, std::string_view prefix) {
    const std::string_view t = Trim(line);
    if (t.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = t[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool EndsTable(std::string_view line) { return BeginsWith(line, "ERROR") || BeginsWith(line, "!$END"); }

std::string At(int line) { return "line " + std::to_string(line); }

// A number that must be there.
double Number(std::string_view text, const std::string& where) {
    const auto v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, where);
    return *v;
}

// A fixed-column number of the mechanism: a blank field reads as 0.
double FieldNumber(std::string_view field, const std::string& where) {
    const std::string_view t = Trim(field);
    return t.empty() ? 0.0 : Number(t, where);
}

int WholeNumber(double v, const std::string& where) {
    const double r = RoundHalfEven(v);
    if (!(r >= INT_MIN && r <= INT_MAX)) throw Error(ErrorKind::Overflow, where);
    return static_cast<int>(r);
}

// The value of a header line: the text before its first "!".
double HeaderValue(std::string_view line, int number) {
    const std::size_t mark = line.find('!');
    if (mark == std::string_view::npos) throw Error(ErrorKind::InvalidArgument, At(number));
    return Number(line.substr(0, mark), At(number));
}

// The first blank-separated word of the trimmed line, as a number.
double FirstWordValue(std::string_view line, int number) {
    const std::string_view t = Trim(line);
    return Number(t.substr(0, t.find(' ')), At(number));
}

std::string FileNamePart(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ContainsResultsMark(const std::string& text) {
    static constexpr std::string_view mark = "!$RESULTS";
    for (std::size_t at = text.find('!', 1); at != std::string::npos; at = text.find('!', at + 1)) {
        if (text.size() - at < mark.size()) return false;
        bool same = true;
        for (std::size_t i = 1; i < mark.size() && same; ++i) {
            char c = text[at + i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            same = c == mark[i];
        }
        if (same) return true;
    }
    return false;
}

std::vector<std::string_view> SplitLines(const std::string& text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        std::string_view line(text.data() + from, to - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        from = to + 1;
    }
    return lines;
}

}  // namespace

double RoundToSevenDigits(double value) {
    if (!std::isfinite(value)) return value;
    return ParseNumber(Format(value, "0.000000E+00")).value_or(value);
}

ResultsReader::ResultsReader(MessageSink& messages, double gasConstantCm3Atm, ReaderOwner owner)
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
    tables_.ResultFileName = FileNamePart(path);
    try {
        switch (ReadFile(path)) {
            case ReadOutcome::ResultsNotFound:
                messages_.ShowMessage("In the file '" + path + "', \r\nresults are not found.", MessageIcon::Exclamation);
                return false;
            case ReadOutcome::Incomplete:
                messages_.ShowMessage("In the file '" + path + "', results are incomplete.", MessageIcon::Exclamation);
                return false;
            case ReadOutcome::Read:
                break;
        }
    } catch (const std::exception& e) {
        messages_.ShowMessage(e.what(), MessageIcon::Critical);
        return false;
    }

    // The whole run, every stored point.
    loaded_ = true;
    used_.IntervalStart = tables_.FirstTime;
    used_.IntervalEnd = tables_.LastTime;
    try {
        UsedData();
    } catch (const TaggedError& e) {
        // Times that cannot be selected leave nothing to work on.
        loaded_ = false;
        messages_.ShowErrorMessage(e.what());
        return false;
    }
    return true;
}

ResultsReader::ReadOutcome ResultsReader::ReadFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw Error(ErrorKind::FileNotFound, path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(ErrorKind::PermissionDenied, path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw Error(ErrorKind::InputPastEndOfFile, path);
    const std::string text = std::move(bytes).str();
    if (!ContainsResultsMark(text)) return ReadOutcome::ResultsNotFound;

    const std::vector<std::string_view> lines = SplitLines(text);
    const int lineCount = static_cast<int>(lines.size());
    auto line = [&](int n) -> std::string_view {  // 1-based
        if (n > lineCount) throw Error(ErrorKind::InputPastEndOfFile, At(n));
        return lines[static_cast<std::size_t>(n - 1)];
    };

    ResultsTables& t = tables_;

    // Header, lines 1-32.
    line(32);
    t.NumSpecies = WholeNumber(HeaderValue(line(10), 10), At(10));
    t.NumReactions = WholeNumber(HeaderValue(line(11), 11), At(11));
    t.Pressure = HeaderValue(line(14), 14);
    t.TemperatureMode = WholeNumber(HeaderValue(line(15), 15), At(15));
    t.InitialTemperature = HeaderValue(line(16), 16);
    t.AbsTolerance = HeaderValue(line(24), 24);
    t.ZeroThreshold = 0.01 * t.AbsTolerance;
    t.GasConstantE = FirstWordValue(line(31), 31);
    t.GasConstantConc = FirstWordValue(line(32), 32);
    const int NS = t.NumSpecies;
    const int NR = t.NumReactions;
    // Every species and reaction needs lines of its own: counts beyond the
    // file cannot be right, and must not size the tables.
    if (NS < 1 || NS > lineCount) throw Error(ErrorKind::SubscriptOutOfRange, "species count, " + At(10));
    if (NR < 0 || NR > lineCount) throw Error(ErrorKind::SubscriptOutOfRange, "reaction count, " + At(11));
    t.NumColumns = NS + 3;

    // Thermodynamic block.
    int n = 33;
    while (!BeginsWith(line(n), "THERMO")) ++n;
    const int firstThermo = n + 1;
    line(firstThermo + 4 * NS - 1);
    t.ThermoTable.Resize(NS + 1, 19);
    t.InitialMoleFractions.assign(static_cast<std::size_t>(t.NumColumns) + 1, 0.0);
    for (int k = 1; k <= NS; ++k) {
        const int l1 = firstThermo + 4 * (k - 1);
        const std::string_view first = line(l1);
        t.ThermoTable(k, 16) = FieldNumber(Mid(first, 48, 8), At(l1));
        t.ThermoTable(k, 17) = FieldNumber(Mid(first, 57, 8), At(l1));
        t.ThermoTable(k, 18) = FieldNumber(Mid(first, 66, 8), At(l1));
        t.InitialMoleFractions[static_cast<std::size_t>(k) + 2] = FieldNumber(Right(first, 10), At(l1));
        for (int j = 0; j < 3; ++j)
            for (int f = 0; f < 5; ++f)
                t.ThermoTable(k, 5 * j + f + 1) = FieldNumber(Mid(line(l1 + 1 + j), 1 + 15 * f, 15), At(l1 + 1 + j));
    }
    n = firstThermo + 4 * NS;

    // Reactions: the lines after the "REACTIONS" line up to the end line.
    while (!BeginsWith(line(n), "REACTIONS")) ++n;
    ++n;
    const int firstReactionLine = n;
    while (!BeginsWith(line(n), "END")) ++n;
    const int endLine = n;
    int cursor = firstReactionLine;
    auto nextReactionLine = [&]() -> int {
        if (cursor > endLine) throw Error(ErrorKind::SubscriptOutOfRange, "reaction lines end at " + At(endLine));
        return cursor++;
    };
    t.ReactionEquations.assign(static_cast<std::size_t>(NR) + 1, std::string());
    t.ReactionInts.Resize(NR + 1, 27);
    t.ReactionReals.Resize(NR + 1, 26);
    for (int r = 1; r <= NR; ++r) {
        const int eq = nextReactionLine();
        t.ReactionEquations[static_cast<std::size_t>(r)] = std::string(Mid(line(eq), 7));
        const int il = nextReactionLine();
        for (int k = 1; k <= 16; ++k)
            t.ReactionInts(r, k) = WholeNumber(FieldNumber(Mid(line(il), 7 + 4 * (k - 1), 4), At(il)), At(il));
        auto reals = [&](int column, int count) {
            const int l = nextReactionLine();
            for (int k = 0; k < count; ++k)
                t.ReactionReals(r, column + k) = FieldNumber(Mid(line(l), 7 + 15 * k, 15), At(l));
        };
        reals(1, 3);
        if (t.ReactionInts(r, 14) == 1) reals(4, 3);
        const int kind = t.ReactionInts(r, 15);
        if (kind > 0) reals(7, kind == 2 ? 5 : kind == 1 ? 4 : 3);
        if (t.ReactionInts(r, 13) >= 1) {
            nextReactionLine();
            const int pl = nextReactionLine();
            for (int k = 1; k <= 10; ++k)
                t.ReactionInts(r, 16 + k) = WholeNumber(FieldNumber(Mid(line(pl), 7 + 8 * (k - 1), 8), At(pl)), At(pl));
            const int el = nextReactionLine();
            for (int k = 1; k <= 10; ++k)
                t.ReactionReals(r, 11 + k) = FieldNumber(Mid(line(el), 7 + 8 * (k - 1), 8), At(el));
        }
    }

    // Start of the results: an error report before the results block leaves
    // no records.
    n = endLine + 1;
    while (n <= lineCount && !BeginsWith(line(n), "ERROR") && !BeginsWith(line(n), "!$RESULTS")) ++n;
    std::vector<std::string> records;
    std::string header;
    if (n <= lineCount && BeginsWith(line(n), "!$RESULTS")) {
        ++n;
        const int perRecord = std::max(1, (NS + kSpeciesPerLine - 1) / kSpeciesPerLine);
        std::vector<std::size_t> lengths;  // first line, then each continuation line
        bool complete = n <= lineCount && !EndsTable(line(n));
        if (complete) {
            header = std::string(line(n));
            lengths.push_back(line(n).size());
            ++n;
            for (int j = 1; j < perRecord && complete; ++j, ++n) {
                complete = n <= lineCount && !EndsTable(line(n));
                if (!complete) break;
                lengths.push_back(line(n).size());
                header += ' ';
                header += LTrim(line(n));
            }
        }
        while (complete && n <= lineCount) {
            const std::string_view first = line(n++);
            if (Trim(first).empty()) continue;
            if (EndsTable(first) || first.size() != lengths[0]) break;
            std::string record(first);
            for (int j = 1; j < perRecord && complete; ++j) {
                complete = n <= lineCount && !EndsTable(line(n)) && line(n).size() == lengths[static_cast<std::size_t>(j)];
                if (!complete) break;
                const std::string_view rest = LTrim(line(n++));
                record += rest.starts_with('-') ? " " : "  ";
                record += rest;
            }
            if (complete) records.push_back(std::move(record));
        }
    }

    t.ResultRowCount = static_cast<int>(records.size()) + 1;
    if (t.ResultRowCount < 4) return ReadOutcome::Incomplete;

    // Columns.
    const int columns = t.NumColumns;
    t.RawFieldStart.resize(static_cast<std::size_t>(columns));
    for (int k = 0; k < columns; ++k) t.RawFieldStart[static_cast<std::size_t>(k)] = 8 + kFieldWidth * k;
    auto raw = [&](std::string_view joined, int field) { return Trim(Mid(joined, 8 + kFieldWidth * field, 16)); };
    t.ColumnNames.assign(static_cast<std::size_t>(columns), std::string());
    t.ColumnNames[0] = "Time(s)";
    t.ColumnNames[1] = "T(K)";
    t.ColumnNames[2] = "Ro";
    for (int k = 1; k <= NS; ++k) t.ColumnNames[static_cast<std::size_t>(k) + 2] = std::string(raw(header, k + 1));

    // Times.
    t.FirstTime = RoundToSevenDigits(Number(raw(records.front(), 0), "time of the first record"));
    t.LastTime = RoundToSevenDigits(Number(raw(records.back(), 0), "time of the last record"));

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
        const std::string& record = records[static_cast<std::size_t>(i) - 1];
        const std::string where = "record " + std::to_string(i);
        auto value = [&](int field) { return ParseNumber(raw(record, field)).value_or(kNotANumber); };
        const double time = value(0);
        const double T = value(1);
        t.ResultValues(i, 0) = time;
        t.ResultValues(i, 1) = T;
        t.RoundedTimes[static_cast<std::size_t>(i)] = RoundToSevenDigits(time);
        double sum = 0.0;
        for (int k = 1; k <= NS; ++k) {
            const double y = value(k + 1);
            t.ResultValues(i, k + 2) = y;
            sum += (std::isnan(y) ? 0.0 : y) / t.ThermoTable(k, 15);
        }
        if (std::isnan(T) || T == 0.0) throw Error(ErrorKind::DivisionByZero, "temperature of " + where);
        if (sum == 0.0) throw Error(ErrorKind::DivisionByZero, "mass fractions of " + where);
        const double density = t.Pressure / gasConstantCm3Atm_ / T / sum;
        if (!std::isfinite(density)) throw Error(ErrorKind::Overflow, "density of " + where);
        t.RowDensity[static_cast<std::size_t>(i)] = density;
        t.ResultValues(i, 2) = density;

        std::string densityText = Format(density, "0.0000000E+00");
        if (densityText.size() < kFieldWidth) densityText.insert(0, kFieldWidth - densityText.size(), ' ');
        std::string& row = t.ResultRows[static_cast<std::size_t>(i)];
        row.reserve(record.size() + 10);
        row.assign(Mid(record, 8, 33));
        row += densityText;
        row += Mid(record, 41);
    }
    return ReadOutcome::Read;
}

}  // namespace kx
