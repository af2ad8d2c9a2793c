#include "SolverFileLayout.h"

#include "TextHelpers.h"

#include <algorithm>

namespace kx::solverfile {

std::string LineLabel(int number) { return "line " + std::to_string(number); }

std::string_view FieldOf(std::string_view line, Field field) { return Mid(line, field.column, field.width); }

std::optional<std::string_view> ValueText(std::string_view line) {
    const std::size_t mark = line.find('!');
    if (mark == std::string_view::npos) return std::nullopt;
    return line.substr(0, mark);
}

bool IsThermoLine(std::string_view line) { return TrimmedStartsUpper(line, "THERMO"); }
bool IsReactionsLine(std::string_view line) { return TrimmedStartsUpper(line, "REACTIONS"); }
bool IsEndLine(std::string_view line) { return TrimmedStartsUpper(line, "END"); }

bool IsResultsTitle(std::string_view line) { return TrimmedStartsUpper(line, "!$RESULTS"); }

bool EndsResults(std::string_view line) { return TrimmedStartsUpper(line, "ERROR") || TrimmedStartsUpper(line, "!$END"); }

int ResultsRecordLines(int speciesCount) {
    return std::max(1, (speciesCount + kSpeciesPerResultsLine - 1) / kSpeciesPerResultsLine);
}

}  // namespace kx::solverfile
