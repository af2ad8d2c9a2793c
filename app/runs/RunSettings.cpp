#include "RunSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "ResultsBlock.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "fixed_format.h"

#include <algorithm>
#include <optional>

namespace kx::runs {

using namespace solverfile;

namespace {

constexpr std::size_t kWarningLimit = 142;
constexpr int kNamesShown = 5;

std::string trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

// A setting as the window shows it: the text of its value line left of the
// first "!", the whole line when it holds none ("" when the file ends
// before it). The window holds any text and refuses what a run cannot take
// only when it runs.
std::string settingText(const std::vector<std::string_view>& lines, int number) {
    if (static_cast<std::size_t>(number) > lines.size()) return {};
    const std::string_view line = lines[static_cast<std::size_t>(number) - 1];
    return trimmed(ValueText(line).value_or(line));
}

}  // namespace

void LoadSolverFile(const std::string& path, RunSettings& s, SolverFileModel& model) {
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    // The run settings are the window's to set: taken as they stand.
    s[Setting::Pressure] = settingText(lines, kPressureLine);
    s.adiabatic = ParseNumber(settingText(lines, kTemperatureModeLine)) == 1.0;
    s[Setting::InitialTemperature] = settingText(lines, kInitialTemperatureLine);
    s[Setting::MinTemperature] = settingText(lines, kMinTemperatureLine);
    s[Setting::MaxTemperature] = settingText(lines, kMaxTemperatureLine);
    s[Setting::InitialTime] = settingText(lines, kInitialTimeLine);
    s[Setting::FinalTime] = settingText(lines, kFinalTimeLine);
    s[Setting::InitialStep] = settingText(lines, kInitialStepLine);
    s[Setting::MaxSteps] = settingText(lines, kMaxStepsLine);
    if (ParseNumber(s[Setting::MaxSteps]).value_or(3) < 3) s[Setting::MaxSteps] = std::string("3");
    s[Setting::RelativeTolerance] = settingText(lines, kRelativeToleranceLine);
    s[Setting::AbsoluteTolerance] = settingText(lines, kAbsoluteToleranceLine);
    s[Setting::OutputStep] = settingText(lines, kOutputStepLine);
    if (ParseNumber(s[Setting::OutputStep]).value_or(1) < 1) s[Setting::OutputStep] = std::string("1");

    // The mechanism as the solver reads it: its counts, key lines and records.
    const SolverInput input = ReadSolverInput(lines, SolverSettings::Open);

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
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    // The results after the mechanism's end line (the model's last line), as
    // every reader of results takes them; only results that their closing
    // line ends hold the last state of a completed run.
    const int n = model.speciesCount;
    const int title = ResultsTitleLine(lines, static_cast<int>(model.lines.size()));
    if (title == 0) return;
    const ResultsRecords results = JoinResultsRecords(lines, title, n);
    if (!results.Closed || results.Records.empty()) return;
    // The records' temperatures are held to a constant-temperature mode where
    // lines 15 and 16 read as the solver reads them.
    RecordsHeader header;
    if (int mode = 1; fmt::ReadListInt(lines[kTemperatureModeLine - 1], mode) &&
                      fmt::ReadListReal(lines[kInitialTemperatureLine - 1], header.InitialTemperature))
        header.TemperatureMode = mode;
    const ResultsValues values = ReadRecordValues(results, n, header);
    const std::size_t last = results.Records.size() - 1;

    out.available = true;
    out.time = values.Value(last, 0);
    out.temperature = Format(values.Value(last, 1), "0.0");
    std::vector<double> mass(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        // The conversion works on the values as four significant digits; a
        // value whose four digits no longer make a number (near the largest
        // one) is taken as it stands.
        const double value = values.Value(last, k + 2);
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
