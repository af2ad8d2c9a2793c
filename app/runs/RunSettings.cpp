#include "RunSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kx::runs {

using namespace solverfile;

namespace {

constexpr std::size_t kWarningLimit = 142;
constexpr int kNamesShown = 5;
constexpr int kResultsFieldWidth = 17;
constexpr int kFirstSpeciesColumn = 41;

std::string trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

// A setting as the window shows it: the text of its value line left of the
// first "!", the whole line when it holds none ("" when the file ends
// before it). The window holds any text and refuses what a run cannot take
// only when it runs.
std::string settingText(const std::vector<std::string>& lines, int number) {
    if (static_cast<std::size_t>(number) > lines.size()) return {};
    const std::string& line = lines[static_cast<std::size_t>(number) - 1];
    return trimmed(ValueText(line).value_or(line));
}

// The number in the text, when it is one.
std::optional<double> settingNumber(const std::string& text) { return ParseNumber(text); }

// The number in a field of a results line (columns from 1), which must be there.
double resultsValue(const std::string& line, int start, int width) {
    const std::string_view text = Mid(line, start, width);
    const std::optional<double> v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, "results value \"" + std::string(text) + "\"");
    return *v;
}

}  // namespace

void LoadSolverFile(const std::string& path, RunSettings& s, SolverFileModel& model) {
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string> lines = files::SplitLines(bytes);
    // The run settings are the window's to set: taken as they stand.
    s[Setting::Pressure] = settingText(lines, kPressureLine);
    s.adiabatic = settingNumber(settingText(lines, kTemperatureModeLine)) == 1.0;
    s[Setting::InitialTemperature] = settingText(lines, kInitialTemperatureLine);
    s[Setting::MinTemperature] = settingText(lines, kMinTemperatureLine);
    s[Setting::MaxTemperature] = settingText(lines, kMaxTemperatureLine);
    s[Setting::InitialTime] = settingText(lines, kInitialTimeLine);
    s[Setting::FinalTime] = settingText(lines, kFinalTimeLine);
    s[Setting::InitialStep] = settingText(lines, kInitialStepLine);
    s[Setting::MaxSteps] = settingText(lines, kMaxStepsLine);
    if (settingNumber(s[Setting::MaxSteps]).value_or(3) < 3) s[Setting::MaxSteps] = std::string("3");
    s[Setting::RelativeTolerance] = settingText(lines, kRelativeToleranceLine);
    s[Setting::AbsoluteTolerance] = settingText(lines, kAbsoluteToleranceLine);
    s[Setting::OutputStep] = settingText(lines, kOutputStepLine);
    if (settingNumber(s[Setting::OutputStep]).value_or(1) < 1) s[Setting::OutputStep] = std::string("1");

    // The mechanism as the solver reads it: its counts, key lines and records.
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const SolverInput input = ReadSolverInput(views, SolverSettings::Open);

    const int species = input.SpeciesCount();
    SolverFileModel m;
    m.stamp = files::StampOf(path, bytes);
    m.speciesCount = species;
    m.reactionCount = input.ReactionCount();
    m.thermoStart = input.SpeciesLine(1);
    m.lines.assign(lines.begin(), lines.begin() + input.EndLine());
    m.species.resize(static_cast<std::size_t>(species));
    m.molarMasses.resize(static_cast<std::size_t>(species));
    for (int k = 0; k < species; ++k) {
        SpeciesRow& row = m.species[static_cast<std::size_t>(k)];
        const std::string& first = m.Line(m.ThermoLine(k));
        row.name = SpeciesName(first);
        row.formula = SpeciesComposition(first);
        row.fraction = trimmed(FieldOf(first, kInitialFraction));
        m.molarMasses[static_cast<std::size_t>(k)] = input.Species(k + 1).Values[14];
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
