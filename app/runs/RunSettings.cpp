#include "RunSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "ResultsBlock.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "fixed_format.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace kx::runs {

using namespace solverfile;

namespace {

constexpr std::size_t kWarningLimit = 142;
constexpr int kNamesShown = 5;

std::string trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

// A number as text that reads back as exactly that number: the usual form
// where it does, else the shortest one that does.
std::string exactNumberText(double value) {
    std::string text = NumberToText(value);
    if (ParseNumber(text) == value) return text;
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    text.assign(digits, ec == std::errc() ? end : digits);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

// What the window shows of a value the solver reads from `written`: the
// text as written where it spells that number, else the number.
std::string shownValue(std::string_view written, double value) {
    std::string text = trimmed(written);
    return ParseNumber(text) == value ? text : exactNumberText(value);
}

// A setting as the window shows it, and the number the solver reads from
// its line (none where it reads no number there).
struct ShownSetting {
    std::string text;
    std::optional<double> value;
};

ShownSetting shownSetting(const std::vector<std::string_view>& lines, int number) {
    if (static_cast<std::size_t>(number) > lines.size()) return {};
    const std::string_view line = lines[static_cast<std::size_t>(number) - 1];
    double value = 0;
    if (ReadSettingValue(line, number, value)) return {shownValue(fmt::ListItem(line), value), value};
    // No number for the solver: the text, for the user to correct.
    return {trimmed(ValueText(line).value_or(line)), std::nullopt};
}

}  // namespace

int SettingLine(Setting s) {
    switch (s) {
        case Setting::Pressure: return kPressureLine;
        case Setting::InitialTemperature: return kInitialTemperatureLine;
        case Setting::MinTemperature: return kMinTemperatureLine;
        case Setting::MaxTemperature: return kMaxTemperatureLine;
        case Setting::InitialTime: return kInitialTimeLine;
        case Setting::FinalTime: return kFinalTimeLine;
        case Setting::InitialStep: return kInitialStepLine;
        case Setting::RelativeTolerance: return kRelativeToleranceLine;
        case Setting::AbsoluteTolerance: return kAbsoluteToleranceLine;
        case Setting::MaxSteps: return kMaxStepsLine;
        case Setting::OutputStep: return kOutputStepLine;
    }
    return kPressureLine;
}

void LoadSolverFile(const std::string& path, RunSettings& s, SolverFileModel& model) {
    const std::string bytes = files::ReadAll(path);
    const std::vector<std::string_view> lines = SplitSolverLines(bytes);
    // Each setting as the solver reads its line, whatever the others hold.
    SettingsAsRead read;
    std::array<std::optional<double>, kSettingCount> values;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        ShownSetting shown = shownSetting(lines, SettingLine(static_cast<Setting>(i)));
        read.shown.text[i] = std::move(shown.text);
        values[i] = shown.value;
    }
    if (ParseNumber(read.shown[Setting::MaxSteps]).value_or(3) < 3) read.shown[Setting::MaxSteps] = std::string("3");
    if (ParseNumber(read.shown[Setting::OutputStep]).value_or(1) < 1) read.shown[Setting::OutputStep] = std::string("1");
    for (std::size_t i = 0; i < kSettingCount; ++i)
        read.taken[i] = values[i] && ParseNumber(read.shown.text[i]) == *values[i];
    const std::optional<double> mode = shownSetting(lines, kTemperatureModeLine).value;
    read.shown.adiabatic = mode == 1.0;
    read.modeTaken = mode == 1.0 || mode == 0.0;
    s = read.shown;

    // The mechanism as the solver reads it: its counts, key lines and
    // records, and the settings and fractions as a run holds a file to
    // them; where only those keep the solver from running it, with them
    // left open (SolverSettings::Open).
    SolverInput input;
    SolverInputError refusal;
    std::string settingsProblem;
    if (!ReadSolverInput(lines, SolverSettings::Run, input, refusal)) {
        input = ReadSolverInput(lines, SolverSettings::Open);
        settingsProblem = InputProblemText(refusal);
    }

    const int species = input.SpeciesCount();
    SolverFileModel m;
    m.stamp = files::StampOf(path, bytes);
    m.speciesCount = species;
    m.reactionCount = input.ReactionCount();
    m.thermoStart = input.SpeciesLine(1);
    m.lines.assign(lines.begin(), lines.begin() + input.EndLine());
    m.species.resize(static_cast<std::size_t>(species));
    m.molarMasses.resize(static_cast<std::size_t>(species));
    read.fractions.resize(static_cast<std::size_t>(species));
    read.fractionsTaken.resize(static_cast<std::size_t>(species));
    for (int k = 0; k < species; ++k) {
        SpeciesRow& row = m.species[static_cast<std::size_t>(k)];
        const std::string& first = m.Line(m.ThermoLine(k));
        row.name = SpeciesName(first);
        row.formula = SpeciesComposition(first);
        // The fraction as the solver reads it (a negative one too); a
        // blank field, 0, stays empty, and one that does not read shows as
        // it stands.
        const std::string_view field = FieldOf(first, kInitialFraction);
        double fraction = 0;
        RecordProblem problem;
        const bool taken = ReadInitialFraction(first, fraction, problem);
        const bool readable = taken || problem.kind != RecordProblem::Kind::Unreadable;
        row.fraction = !readable || TrimBlanks(field).empty() ? trimmed(field) : shownValue(field, fraction);
        read.fractions[static_cast<std::size_t>(k)] = row.fraction;
        read.fractionsTaken[static_cast<std::size_t>(k)] = taken;
        m.molarMasses[static_cast<std::size_t>(k)] = input.Species(k + 1).Values[14];
    }
    m.asRead = std::move(read);
    m.settingsProblem = std::move(settingsProblem);
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
