#include "SolverFileReading.h"

#include <climits>
#include <optional>

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "input_rules.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"

namespace kx {

using namespace solverfile;

std::string ReadSolverFile(const std::string& path) {
    if (!files::Exists(path)) throw Error(ErrorKind::FileNotFound, path);
    return files::ReadAll(path);
}

double RequiredNumber(std::string_view text, const std::string& where) {
    const auto v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, where);
    return *v;
}

int WholeNumber(double value, const std::string& where) {
    const double r = RoundHalfEven(value);
    if (!(r >= INT_MIN && r <= INT_MAX)) throw Error(ErrorKind::Overflow, where);
    return static_cast<int>(r);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    for (line = LTrim(line); !line.empty(); line = LTrim(line)) {
        const std::size_t blank = line.find(' ');
        words.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank);
    }
    return words;
}

SolverFileMap MapSolverFile(std::span<const std::string_view> lines) {
    const int lineCount = static_cast<int>(lines.size());
    auto line = [&](int n) -> std::string_view {
        if (n < 1 || n > lineCount) throw Error(ErrorKind::InputPastEndOfFile, LineLabel(n));
        return lines[static_cast<std::size_t>(n - 1)];
    };
    auto whole = [&](int n) {
        const std::optional<std::string_view> value = ValueText(line(n));
        if (!value) throw Error(ErrorKind::InvalidArgument, LineLabel(n));
        return WholeNumber(RequiredNumber(*value, LineLabel(n)), LineLabel(n));
    };
    SolverFileMap map;
    // The counts size everything after them: checked first.
    map.SpeciesCount = CheckedSpeciesCount(whole(kSpeciesCountLine), lines.size());
    map.ReactionCount = CheckedReactionCount(whole(kReactionCountLine), lines.size());
    map.TemperatureMode = whole(kTemperatureModeLine);
    if (!TemperatureModeAllowed(map.TemperatureMode))
        throw Error(ErrorKind::InvalidArgument, "the temperature mode on " + LineLabel(kTemperatureModeLine) + ", " +
                                                    std::to_string(map.TemperatureMode) + ", is neither 0 nor 1");
    const int ns = map.SpeciesCount, nr = map.ReactionCount;

    // The thermodynamic records: four lines each between the THERMO line
    // and the separator lines, among which the REACTIONS line stands.
    int n = kThermoSearchStart;
    while (!IsThermoLine(line(n))) ++n;
    map.ThermoLine = n;
    ++n;
    while (!IsReactionsLine(line(n))) ++n;
    map.ReactionsLine = n;
    const int recordLines = map.ReactionsLine - map.ThermoLine - 1;
    if (recordLines < kThermoRecordLines * ns || recordLines >= kThermoRecordLines * ns + kSeparatorLines) {
        const int records = recordLines / kThermoRecordLines;
        throw Error(ErrorKind::SubscriptOutOfRange,
                    "the species count on " + LineLabel(kSpeciesCountLine) + ", " + std::to_string(ns) +
                        ", does not match the " + std::to_string(records) +
                        (records == 1 ? " thermodynamic record" : " thermodynamic records") + " between the THERMO " +
                        LineLabel(map.ThermoLine) + " and the REACTIONS " + LineLabel(map.ReactionsLine));
    }

    // The thermodynamic records as the solver reads them.
    map.Species.reserve(static_cast<std::size_t>(ns));
    for (int k = 1; k <= ns; ++k) map.Species.push_back(ReadThermoAt(lines, ThermoRecordLine(map.ThermoLine, k), k));

    // The reaction records, each as long as its flags make it, up to the
    // end line. The first follows the three separator lines, wherever the
    // REACTIONS line stands among them.
    const auto countProblem = [&](const std::string& what) {
        return Error(ErrorKind::SubscriptOutOfRange, "the reaction count on " + LineLabel(kReactionCountLine) + ", " +
                                                         std::to_string(nr) + ", " + what);
    };
    n = ThermoRecordLine(map.ThermoLine, ns + 1) + kSeparatorLines;
    map.Reactions.reserve(static_cast<std::size_t>(nr));
    for (int r = 1; r <= nr; ++r) {
        if (IsEndLine(line(n)))
            throw countProblem("is above the " + std::to_string(r - 1) + " reaction records before the end " +
                               LineLabel(n));
        map.Reactions.push_back(ReadReactionAt(lines, n, ns, r));
        n += map.Reactions.back().Lines;
    }
    if (IsEndLine(line(n)) && !IsMechanismEndLine(line(n)))
        throw Error(ErrorKind::InvalidArgument, "the end line after the reaction records, " + LineLabel(n) + ", \"" +
                                                    std::string(Trim(line(n))) + "\", is not END alone");
    if (!IsEndLine(line(n))) {
        int end = n;
        while (end <= lineCount && !IsEndLine(line(end))) ++end;
        if (end > lineCount)
            throw Error(ErrorKind::InputPastEndOfFile, "no end line follows the REACTIONS " + LineLabel(map.ReactionsLine));
        throw countProblem("is below the reaction records: " + LineLabel(n) + ", after record " + std::to_string(nr) +
                           ", is no end line");
    }
    map.EndLine = n;
    return map;
}

}  // namespace kx
