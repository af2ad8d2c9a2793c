#include "SolverFileLayout.h"

#include "Errors.h"
#include "TextHelpers.h"

#include <algorithm>

namespace kx::solverfile {

std::string LineLabel(int number) { return "line " + std::to_string(number); }

std::string_view FieldOf(std::string_view line, Field field) { return Mid(line, field.column, field.width); }

namespace {

// The count of `line` within least..most, and `linesEach` lines for each
// within the file's lineCount lines (after `linesBefore` lines).
int CheckedCount(int count, int line, const char* what, int least, int most, int linesBefore, int linesEach,
                 std::size_t lineCount) {
    const std::string named = "the " + std::string(what) + " count on " + LineLabel(line) + ", " + std::to_string(count);
    if (count < least) throw Error(ErrorKind::SubscriptOutOfRange, named + ", is below " + std::to_string(least));
    if (count > most) throw Error(ErrorKind::SubscriptOutOfRange, named + ", is above " + std::to_string(most));
    // Within the limits the product cannot overflow.
    if (static_cast<std::size_t>(linesBefore + linesEach * count) > lineCount)
        throw Error(ErrorKind::SubscriptOutOfRange, named + ", needs more lines than the file has");
    return count;
}

}  // namespace

int CheckedSpeciesCount(int count, std::size_t lineCount) {
    return CheckedCount(count, kSpeciesCountLine, "species", 1, kMaxSpecies, kThermoSearchStart, kThermoRecordLines,
                        lineCount);
}

int CheckedReactionCount(int count, std::size_t lineCount) {
    return CheckedCount(count, kReactionCountLine, "reaction", 0, kMaxReactions, 0, kLeastReactionLines, lineCount);
}

std::optional<std::string_view> ValueText(std::string_view line) {
    const std::size_t mark = line.find('!');
    if (mark == std::string_view::npos) return std::nullopt;
    return line.substr(0, mark);
}

bool IsThermoLine(std::string_view line) { return TrimmedStartsUpper(line, "THERMO"); }
bool IsReactionsLine(std::string_view line) { return TrimmedStartsUpper(line, "REACTIONS"); }
bool IsEndLine(std::string_view line) { return TrimmedStartsUpper(line, "END"); }

namespace {

// The lines of a record that begins on line n of `lines` (from 1), as the
// rules read them.
auto RecordLines(std::span<const std::string_view> lines, int n) {
    return [lines, n](int i, std::string_view& line) {
        const std::size_t at = static_cast<std::size_t>(n - 1) + static_cast<std::size_t>(i);
        if (n < 1 || at >= lines.size()) return false;
        line = lines[at];
        return true;
    };
}

// The error of a record of `what` ("species 3") that begins on line n.
[[noreturn]] void Refuse(const RecordProblem& problem, int n, const std::string& what) {
    const std::string line = LineLabel(n + problem.line);
    switch (problem.kind) {
        case RecordProblem::Kind::MissingLine:
            throw Error(ErrorKind::InputPastEndOfFile,
                        what + ": the file ends before " + line + " (" + problem.text + " expected)");
        case RecordProblem::Kind::Unreadable:
            throw Error(ErrorKind::TypeMismatch, what + " on " + line + ": " + problem.text);
        case RecordProblem::Kind::OutOfRange:
            throw Error(ErrorKind::SubscriptOutOfRange, what + " on " + line + ": " + problem.text);
        case RecordProblem::Kind::NotAllowed: break;
    }
    throw Error(ErrorKind::InvalidArgument, what + " on " + line + ": " + problem.text);
}

}  // namespace

ThermoRecordValues ReadThermoAt(std::span<const std::string_view> lines, int n, int species) {
    ThermoRecordValues record;
    RecordProblem problem;
    if (!ReadThermoRecord(RecordLines(lines, n), record.Values.data(), record.Fraction, problem))
        Refuse(problem, n, "species " + std::to_string(species));
    return record;
}

ReactionRecordValues ReadReactionAt(std::span<const std::string_view> lines, int n, int nspec, int reaction) {
    ReactionRecordValues record;
    record.FirstLine = n;
    RecordProblem problem;
    record.Lines = ReadReactionRecord(RecordLines(lines, n), nspec, record.Ints.data(), record.Reals.data(), problem);
    if (record.Lines == 0) Refuse(problem, n, "reaction " + std::to_string(reaction));
    return record;
}

bool IsResultsTitle(std::string_view line) { return TrimmedStartsUpper(line, "!$RESULTS"); }

bool EndsResults(std::string_view line) { return TrimmedStartsUpper(line, "ERROR") || TrimmedStartsUpper(line, "!$END"); }

int ResultsRecordLines(int speciesCount) {
    return std::max(1, (speciesCount + kSpeciesPerResultsLine - 1) / kSpeciesPerResultsLine);
}

}  // namespace kx::solverfile
