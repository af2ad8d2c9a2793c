#include "ReducedFileWriter.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <optional>
#include <string_view>

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "Index.h"
#include "SolverFileLayout.h"
#include "SolverFileReading.h"
#include "TextHelpers.h"
#include "solver_file.h"

namespace kx {

using namespace solverfile;

namespace {

// Left-aligned fields of the rewritten lines, a longer text kept whole: a
// number on an integer line, an entry on a third-body line.
constexpr std::string_view kIntegerField = "!@@@@";
constexpr std::string_view kEntryField = "!@@@@@@@@";
// The reduced file's own header lines end with the one that names the
// source; the lines after it up to the THERMO line are the source's.
constexpr int kSourceLine = 5;

std::string SourceLine(int n) { return "line " + std::to_string(n) + " of the source solver file"; }

std::string Today() {
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return std::string(months[At(local.tm_mon)]) + " " + std::to_string(local.tm_mday) + " " +
           std::to_string(local.tm_year + 1900) + ", " + two(local.tm_hour) + ":" + two(local.tm_min) + ":" +
           two(local.tm_sec);
}

// Why the solver would refuse the reduced file, the line (its text in
// `text`, nothing when the file has no such line) named: a header line
// copied from the source (up to its THERMO line, thermoLine) is named as the
// source's.
std::string SolverRefusal(std::optional<std::string_view> text, int thermoLine, const SolverInputError& problem) {
    const int n = problem.line;
    const std::string closing = ". The reduced solver file has not been created.";
    if (!text) return "The solver would refuse the reduced solver file: " + problem.problem + closing;
    const std::string quoted = "\"" + std::string(TrimBlanks(*text)) + "\"";
    const bool copied = n > kSourceLine && n <= thermoLine && n != kSpeciesCountLine && n != kReactionCountLine &&
                        n != kTargetsLine;
    if (copied)
        return "The run settings of the source solver file cannot be used: the solver refuses " + SourceLine(n) + ", " +
               quoted + ": " + problem.problem + closing;
    return "The solver would refuse line " + std::to_string(n) + " of the reduced solver file, " + quoted + ": " +
           problem.problem + closing;
}

// Line `problem.line` of the lines, when they have it.
template <class Lines>
std::optional<std::string_view> LineNamed(const Lines& lines, const SolverInputError& problem) {
    if (problem.line < 1 || problem.line > static_cast<int>(lines.size())) return std::nullopt;
    return std::string_view(lines[At(problem.line - 1)]);
}

}  // namespace

std::string TargetsLine(const std::vector<RedTargetsEntry>& entries, double othersParameter) {
    std::string list, text = "!Targets ";
    for (const RedTargetsEntry& e : entries) {
        list += std::to_string(e.Number) + " ";
        text += e.Name + " " + FormatFaithfully(e.Parameter, "0.000E+00") + ", ";
    }
    text += "Others " + FormatFaithfully(othersParameter, "0.000E+00");
    return " " + std::to_string(entries.size()) + " " + list + text;
}

bool WriteReducedSolverFile(const RedKinModule& m, const RedSettings& settings, Notifier& messages) {
    const int ns = m.RedSpeciesCount, nr = m.RedReactionCount;
    if (m.RedSpeciesKept.size() <= At(ns) || m.RedReactionKept.size() <= At(nr))
        throw Error(ErrorKind::SubscriptOutOfRange, "kept flags");

    // 1. The mechanism of the source as the solver reads it, its lines as
    // the solver numbers them: where its THERMO line, its records and its
    // end line stand, each reaction record's flags, third bodies and
    // efficiencies (whatever the numbers of its equation line). What follows
    // the end line (the results of a run) is not the reduced file's. Its run
    // settings are copied; whether the solver takes them is asked of the
    // reduced file as a whole.
    const std::string bytes = ReadSolverFile(m.RedSourceFile);
    const std::vector<std::string_view> source = SplitSolverLines(bytes);
    SolverInput input;
    if (SolverInputError problem; !ReadSolverInput(source, SolverSettings::Open, input, problem)) {
        // A header value that the reduced file would copy is named as the
        // source's; anything else is refused as every reader refuses it.
        const int n = problem.line;
        if (n > kSourceLine && n < kThermoSearchStart && n != kSpeciesCountLine && n != kReactionCountLine &&
            n != kTargetsLine) {
            ShowMessage(messages, SolverRefusal(LineNamed(source, problem), kThermoSearchStart, problem),
                        MessageIcon::Exclamation);
            return false;
        }
        throw InputErrorOf(problem);
    }
    const int lastKept = input.EndLine();
    auto line = [&](int n) -> std::string_view {
        if (n < 1 || n > lastKept) throw Error(ErrorKind::InputPastEndOfFile, SourceLine(n));
        return source[At(n - 1)];
    };
    if (input.SpeciesCount() != ns || input.ReactionCount() != nr)
        throw Error(ErrorKind::SubscriptOutOfRange,
                    "the source solver file holds " + std::to_string(input.SpeciesCount()) + " species and " +
                        std::to_string(input.ReactionCount()) + " reactions, not the " + std::to_string(ns) +
                        " and " + std::to_string(nr) + " of its results read before");
    const int thermoLine = input.ThermoLine();

    // 2. Header.
    std::vector<std::string> out;
    out.push_back(" !$Kinovex Solver,  " + Today());
    out.push_back(" ");
    out.push_back(" Don't modify this file, the file has a fixed format and is intended for use in the C++ Solver.");
    out.push_back(" ");
    out.push_back(" Source solver file: " + m.RedSourceFile);  // line kSourceLine
    for (int n = 6; n <= thermoLine; ++n) out.emplace_back(line(n));
    auto header = [&out](int n) -> std::string& { return out[At(n - 1)]; };
    header(kSpeciesCountLine) = " " + std::to_string(m.RedKeptSpeciesCount) + " !Species";
    header(kReactionCountLine) = " " + std::to_string(m.RedKeptReactionCount) + " !Reactions";

    // 3. Kept species, renumbered.
    std::vector<int> newNumber(At(ns) + 1, 0);
    std::vector<std::string> newName{std::string()};
    for (int i = 1; i <= ns; ++i) {
        if (!m.RedSpeciesKept[At(i)]) continue;
        const int j = static_cast<int>(newName.size());
        newNumber[At(i)] = j;
        const int thermo = input.SpeciesLine(i);
        const std::string_view first = line(thermo);
        newName.emplace_back(SpeciesName(first));
        out.push_back(" " + Format(std::to_string(j), kIntegerField) + std::string(Mid(first, 6)));
        for (int n = thermo + 1; n < thermo + kThermoRecordLines; ++n) out.emplace_back(line(n));
    }
    // 4. The lines between the species and the reactions.
    const int separators = input.SpeciesLine(ns + 1);
    for (int n = separators; n < separators + kSeparatorLines; ++n) out.emplace_back(line(n));

    auto renumbered = [&](int s) {
        if (s < 1 || s > ns || newNumber[At(s)] == 0)
            throw Error(ErrorKind::InvalidArgument, "species " + std::to_string(s) + " is needed but not kept");
        return newNumber[At(s)];
    };

    // A kept reaction that the solver would not read back as it was meant:
    // nothing is written.
    auto refuse = [&](int r, int s, const std::string& why) {
        ShowMessage(messages,
                    "Reaction " + std::to_string(r) + " of the source solver file (" + std::string(Trim(Mid(line(s), 6))) +
                        ") cannot be written so that the solver reads it: " + why +
                        ". The reduced solver file cannot be created.",
                    MessageIcon::Exclamation);
        return false;
    };

    // 5. Kept reactions, renumbered, from the records as the solver reads them.
    int kept = 0;
    for (int r = 1; r <= nr; ++r) {
        if (!m.RedReactionKept[At(r)]) continue;
        const ReactionRecordValues read = input.Reaction(r);
        const int s = read.FirstLine;
        ++kept;
        out.push_back(" " + Format(std::to_string(kept), kIntegerField) + std::string(Mid(line(s), 6)));

        // The record's flags, renumbered; its rate, low-pressure and
        // broadening lines as they stand.
        std::array<int, 17> field{};
        for (int k = 1; k <= 16; ++k) field[At(k)] = read.Ints[At(k - 1)];
        for (int k = 1; k <= 9; ++k)
            if (field[At(k)] > 0) field[At(k)] = renumbered(field[At(k)]);

        std::vector<std::string> record;
        int next = s + 2;
        record.emplace_back(line(next++));
        if (FallOffReaction(field[14])) record.emplace_back(line(next++));
        if (BroadeningParameters(field[15]) > 0) record.emplace_back(line(next++));
        if (ListedThirdBodies(field[13]) > 0) {
            const std::string_view labels = LTrim(line(next));
            const std::string_view efficiencies = line(next + 2);
            std::string labelText = "      ", numberText = "      ", efficiencyText = "      ";
            int listed = 0;
            for (int e = 1; e <= ListedThirdBodies(field[13]); ++e) {
                const int species = read.Ints[At(15 + e)];
                if (newNumber[At(species)] == 0) continue;
                ++listed;
                // The efficiency as the source has it, so that the solver
                // reads the very value it read there: the field's own text
                // (a blank field, read as 0, written "0.").
                const std::string_view efficiency = Trim(Mid(efficiencies, ThirdBodyColumn(e - 1), kThirdBodyWidth));
                labelText += Format(Trim(Mid(labels, 8 * (e - 1) + 1, 8)), kEntryField);
                numberText += Format(std::to_string(newNumber[At(species)]), kEntryField);
                efficiencyText += Format(efficiency.empty() ? std::string_view("0.") : efficiency, kEntryField);
            }
            if (listed > 0) {
                for (int e = listed + 1; e <= 10; ++e) {
                    numberText += Format("0", kEntryField);
                    efficiencyText += Format("0.", kEntryField);
                }
                record.push_back(labelText);
                record.push_back(numberText);
                record.push_back(efficiencyText);
            } else if (field[12] == 2) {
                field[12] = 1;  // a plain third body: every species collides with efficiency 1
            }
            field[13] = listed;
        }
        if (field[14] == 1 && field[12] <= 0 && field[13] <= 0)
            return refuse(r, s, "it has a low-pressure limit but keeps no third body");

        std::string intLine = "      ";
        for (int k = 1; k <= 16; ++k) intLine += Format(std::to_string(field[At(k)]), kIntegerField);
        out.push_back(intLine);
        for (std::string& l : record) out.push_back(std::move(l));
    }

    // 6. The targets line.
    std::vector<RedTargetsEntry> entries;
    if (m.RedTempTarget) entries.push_back({-1, "T", settings.TemperatureParameter});
    for (int t = 1; t <= m.RedTargetCount; ++t) {
        const int j = renumbered(m.RedTargetSpecies[At(t)]);
        const double parameter = At(t - 1) < settings.Targets.size() ? settings.Targets[At(t - 1)].Parameter : 0.0;
        entries.push_back({j, newName[At(j)], parameter});
    }
    header(kTargetsLine) = TargetsLine(entries, settings.OthersParameter);

    // 7. Write what the solver runs: the file as the solver reads it, and
    // the settings copied from the source as a run starts with them.
    out.push_back(" End");
    std::string text;
    for (const std::string& l : out) text.append(l).append("\r\n");
    if (SolverInputError problem; !SolverWouldRun(text, problem)) {
        ShowMessage(messages, SolverRefusal(LineNamed(out, problem), thermoLine, problem), MessageIcon::Exclamation);
        return false;
    }
    files::WriteAll(m.RedTargetFile, text);
    return true;
}

}  // namespace kx
