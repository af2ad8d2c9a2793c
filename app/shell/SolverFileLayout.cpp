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

ReactionRecordValues ReadReactionAt(std::span<const std::string_view> lines, int n, int nspec, int reaction) {
    ReactionRecordValues record;
    record.FirstLine = n;
    const auto lineAt = [&](int i, std::string_view& line) {
        const std::size_t at = static_cast<std::size_t>(n - 1) + static_cast<std::size_t>(i);
        if (n < 1 || at >= lines.size()) return false;
        line = lines[at];
        return true;
    };
    RecordProblem problem;
    record.Lines = ReadReactionRecord(lineAt, nspec, record.Ints.data(), record.Reals.data(), problem);
    if (record.Lines > 0) return record;
    const std::string where = "reaction " + std::to_string(reaction) + " on " + LineLabel(n + problem.line);
    switch (problem.kind) {
        case RecordProblem::Kind::MissingLine:
            throw Error(ErrorKind::InputPastEndOfFile,
                        "reaction " + std::to_string(reaction) + ": the file ends before " + LineLabel(n + problem.line) +
                            " (" + problem.text + " expected)");
        case RecordProblem::Kind::Unreadable: throw Error(ErrorKind::TypeMismatch, where + ": " + problem.text);
        case RecordProblem::Kind::OutOfRange: break;
    }
    throw Error(ErrorKind::SubscriptOutOfRange, where + ": " + problem.text);
}

bool IsResultsTitle(std::string_view line) { return TrimmedStartsUpper(line, "!$RESULTS"); }

bool EndsResults(std::string_view line) { return TrimmedStartsUpper(line, "ERROR") || TrimmedStartsUpper(line, "!$END"); }

int ResultsRecordLines(int speciesCount) {
    return std::max(1, (speciesCount + kSpeciesPerResultsLine - 1) / kSpeciesPerResultsLine);
}

}  // namespace kx::solverfile
