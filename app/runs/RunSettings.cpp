#include "RunSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "SolverFileLayout.h"
#include "SolverFileParts.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kx::runs {

using namespace solverfile;

namespace {

// The settings look for the "THERMO" line from this line on.
constexpr int kSettingsThermoSearchStart = 29;
constexpr std::size_t kWarningLimit = 142;
constexpr int kNamesShown = 5;
constexpr int kResultsFieldWidth = 17;
constexpr int kFirstSpeciesColumn = 41;

const std::string& lineAt(const std::vector<std::string>& lines, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > lines.size()) throw Error(ErrorKind::InputPastEndOfFile);
    return lines[static_cast<std::size_t>(number) - 1];
}

std::string trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

std::string headerValue(const std::vector<std::string>& lines, int number) {
    return HeaderText(lineAt(lines, number), number);
}

double headerNumber(const std::vector<std::string>& lines, int number) {
    const std::string value = headerValue(lines, number);
    const std::optional<double> v = ParseNumber(value);
    if (!v) throw Error(ErrorKind::TypeMismatch, LineLabel(number) + " \"" + value + "\"");
    return *v;
}

int headerCount(const std::vector<std::string>& lines, int number) {
    const double v = RoundHalfEven(headerNumber(lines, number));
    if (v > std::numeric_limits<std::int32_t>::max()) throw Error(ErrorKind::Overflow, LineLabel(number));
    if (v < 0) throw Error(ErrorKind::InvalidArgument, LineLabel(number) + " holds a negative count");
    return static_cast<int>(v);
}

// The counts of lines 10 and 11, within the limits and the file's length.
int speciesCount(const std::vector<std::string>& lines) {
    return CheckedSpeciesCount(headerCount(lines, kSpeciesCountLine), lines.size());
}

int reactionCount(const std::vector<std::string>& lines) {
    return CheckedReactionCount(headerCount(lines, kReactionCountLine), lines.size());
}

// Species name and formula of a thermodynamic record's first line: after
// its first word, the next two words.
void nameAndFormula(const std::string& line, int number, std::string& name, std::string& formula) {
    auto missingBlank = [number] {
        return Error(ErrorKind::InvalidArgument, LineLabel(number) + " lacks the blanks of a species record");
    };
    std::string_view rest = LTrim(line);
    std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) throw missingBlank();
    rest = LTrim(rest.substr(blank + 1));
    blank = rest.find(' ');
    if (blank == std::string_view::npos) throw missingBlank();
    name = rest.substr(0, blank);
    rest = LTrim(rest.substr(blank));
    blank = rest.find(' ');
    if (blank == std::string_view::npos) throw missingBlank();
    formula = rest.substr(0, blank);
}

// The molar mass of a record's fourth line, as the solver reads it.
double molarMassOf(const std::string& line, int number) {
    double mass = 0;
    if (!ReadMolarMassField(line, mass)) throw Error(ErrorKind::TypeMismatch, "molar mass on " + LineLabel(number));
    return mass;
}

// The number in a field of a results line (columns from 1), which must be there.
double resultsValue(const std::string& line, int start, int width) {
    const std::string_view text = Mid(line, start, width);
    const std::optional<double> v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, "results value \"" + std::string(text) + "\"");
    return *v;
}

}  // namespace

MechanismLayout LocateMechanism(const std::vector<std::string>& lines) {
    MechanismLayout layout;
    layout.speciesCount = speciesCount(lines);
    layout.reactionCount = reactionCount(lines);
    int number = kSettingsThermoSearchStart;
    while (!IsThermoLine(lineAt(lines, number))) ++number;
    layout.thermoLine = number;
    // The least a mechanism holds; the END line follows at or after it.
    const std::int64_t least = std::int64_t{number} + std::int64_t{kThermoRecordLines} * layout.speciesCount +
                               kSeparatorLines + std::int64_t{kLeastReactionLines} * layout.reactionCount + 1;
    if (least > static_cast<std::int64_t>(lines.size())) throw Error(ErrorKind::InputPastEndOfFile);
    number = static_cast<int>(least);
    while (UpperAscii(TrimBlanks(lineAt(lines, number))) != "END") ++number;
    layout.endLine = number;
    return layout;
}

void LoadSolverFile(const std::string& path, RunSettings& s, SolverFileModel& model) {
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string> lines = files::SplitLines(bytes);
    // The counts are checked first, as the file is read; the layout takes them again.
    speciesCount(lines);
    reactionCount(lines);
    s[Setting::Pressure] = headerValue(lines, kPressureLine);
    s.adiabatic = headerNumber(lines, kTemperatureModeLine) == 1;
    s[Setting::InitialTemperature] = headerValue(lines, kInitialTemperatureLine);
    s[Setting::MinTemperature] = headerValue(lines, kMinTemperatureLine);
    s[Setting::MaxTemperature] = headerValue(lines, kMaxTemperatureLine);
    s[Setting::InitialTime] = headerValue(lines, kInitialTimeLine);
    s[Setting::FinalTime] = headerValue(lines, kFinalTimeLine);
    s[Setting::InitialStep] = headerValue(lines, kInitialStepLine);
    s[Setting::MaxSteps] = headerValue(lines, kMaxStepsLine);
    if (headerNumber(lines, kMaxStepsLine) < 3) s[Setting::MaxSteps] = std::string("3");
    s[Setting::RelativeTolerance] = headerValue(lines, kRelativeToleranceLine);
    s[Setting::AbsoluteTolerance] = headerValue(lines, kAbsoluteToleranceLine);
    s[Setting::OutputStep] = headerValue(lines, kOutputStepLine);
    if (headerNumber(lines, kOutputStepLine) < 1) s[Setting::OutputStep] = std::string("1");

    const MechanismLayout layout = LocateMechanism(lines);
    const int species = layout.speciesCount;
    SolverFileModel m;
    m.stamp = files::StampOf(path, bytes);
    m.speciesCount = species;
    m.reactionCount = layout.reactionCount;
    m.thermoStart = layout.thermoLine + 1;
    m.lines.assign(lines.begin(), lines.begin() + layout.endLine);
    m.species.resize(static_cast<std::size_t>(species));
    m.molarMasses.resize(static_cast<std::size_t>(species));
    for (int k = 0; k < species; ++k) {
        SpeciesRow& row = m.species[static_cast<std::size_t>(k)];
        const int first = m.ThermoLine(k);
        nameAndFormula(m.Line(first), first, row.name, row.formula);
        row.fraction = trimmed(FieldOf(m.Line(first), kInitialFraction));
        m.molarMasses[static_cast<std::size_t>(k)] = molarMassOf(m.Line(first + 3), first + 3);
    }
    model = std::move(m);
}

std::string SpeciesWithoutThermoData(const std::array<std::string, 4>& record) {
    try {
        double last = 0;
        auto sum = [&last](const std::string& line, int fields) {
            double total = 0;
            for (int f = 0; f < fields; ++f) {
                const std::optional<double> v = ParseNumber(FieldOf(line, CoefficientField(f + 1)));
                if (v) last = *v;
                total += last;
            }
            return total;
        };
        if (sum(record[1], 5) != 0) return "";
        if (sum(record[2], 5) != 0) return "";
        if (sum(record[3], 4) != 0) return "";
        std::string rest = trimmed(record[0]);
        std::size_t blank = rest.find(' ');
        if (blank == std::string::npos) return "";
        rest = trimmed(std::string_view(rest).substr(blank + 1));
        blank = rest.find(' ');
        if (blank == std::string::npos) return "";
        return trimmed(std::string_view(rest).substr(0, blank));
    } catch (...) {
        return "";
    }
}

std::string ThermoDataWarning(const SolverFileModel& model) {
    std::vector<std::string> names;
    for (int k = 0; k < model.speciesCount; ++k) {
        const int first = model.ThermoLine(k);
        const std::string name = SpeciesWithoutThermoData(
            {model.Line(first), model.Line(first + 1), model.Line(first + 2), model.Line(first + 3)});
        if (!name.empty()) names.push_back(name);
    }
    if (names.empty()) return "";
    std::string list = "'";
    const int shown = std::min(static_cast<int>(names.size()), kNamesShown);
    for (int i = 0; i < shown; ++i) list += (i > 0 ? ", " : "") + names[static_cast<std::size_t>(i)];
    list += names.size() <= static_cast<std::size_t>(kNamesShown) ? "'." : "'...";
    std::string message =
        "Temperature can be calculated erroneously because thermodynamic data aren't specified for the species: " +
        list;
    if (message.size() > kWarningLimit) message = message.substr(0, kWarningLimit) + "...";
    return message;
}

void ReadLastStep(const std::string& path, const SolverFileModel& model, const std::string& absoluteTolerance,
                  LastStep& out) {
    out = LastStep{};
    const std::vector<std::string> lines = files::ReadLines(path);
    // Line numbers from 1: the results title and the closing line after the mechanism.
    std::size_t titleLine = 0;
    std::size_t endLine = model.lines.size() + 1;
    for (; endLine <= lines.size(); ++endLine) {
        const std::string& line = lines[endLine - 1];
        if (TrimmedStartsUpper(line, "!$END")) break;
        if (titleLine == 0 && IsResultsTitle(line)) titleLine = endLine;
    }
    if (endLine > lines.size()) return;
    const int n = model.speciesCount;
    const int recordLines = ResultsRecordLines(n);
    if (endLine <= static_cast<std::size_t>(recordLines)) throw Error(ErrorKind::InputPastEndOfFile);
    // The last record's first line; a run that wrote its heading and no
    // record has no last state.
    const std::size_t firstLine = endLine - static_cast<std::size_t>(recordLines);
    if (titleLine != 0 && firstLine <= titleLine + static_cast<std::size_t>(recordLines)) return;
    out.available = true;
    const std::string& head = lines[firstLine - 1];
    out.time = resultsValue(head, 8, 16);
    out.temperature = Format(resultsValue(head, 25, 17), "0.0");

    std::vector<double> mass(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const std::string& line = lines[firstLine - 1 + static_cast<std::size_t>(k / kSpeciesPerResultsLine)];
        const int start = kFirstSpeciesColumn + k % kSpeciesPerResultsLine * kResultsFieldWidth;
        // The conversion works on the values as four significant digits; a
        // value whose four digits no longer make a number (near the largest
        // one) is taken as it stands.
        const double value = resultsValue(line, start, kResultsFieldWidth);
        mass[static_cast<std::size_t>(k)] = ParseNumber(Format(value, "0.000E+000")).value_or(value);
    }
    const std::optional<double> tolerance = ParseNumber(absoluteTolerance);
    if (!tolerance) throw Error(ErrorKind::TypeMismatch, "absolute tolerance \"" + absoluteTolerance + "\"");
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const double w = model.molarMasses.at(static_cast<std::size_t>(k));
        if (w == 0) throw Error(ErrorKind::DivisionByZero, "molar mass of " + model.species.at(static_cast<std::size_t>(k)).name);
        sum += mass[static_cast<std::size_t>(k)] / w;
    }
    if (sum == 0 && n > 0) throw Error(ErrorKind::DivisionByZero, "all mass fractions are 0");
    out.fractions.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double x = mass[static_cast<std::size_t>(k)] / model.molarMasses[static_cast<std::size_t>(k)] / sum;
        out.fractions[static_cast<std::size_t>(k)] = x > *tolerance ? Format(x, "0.000E+00") : "0";
    }
}

}  // namespace kx::runs
