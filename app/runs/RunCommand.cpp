#include "RunCommand.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "RunOutcome.h"
#include "SolverFileLayout.h"
#include "TextHelpers.h"
#include "input_rules.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kx::runs {
namespace {

constexpr int kMaxStepLimit = 100000;
constexpr std::size_t kMaxSolverPath = 300;
constexpr std::size_t kSolverFractionWidth = 9;  // the solver reads columns 75-83
constexpr double kSmallestFraction = 1e-99;

const char* const kFieldMessages[] = {
    "Initial time, please enter a number.",
    "Final time, please enter a number.",
    "Initial step size, please enter a positive number.",
    "Relative tolerance, please enter a number on the interval (1.E-14, 1).",
    "Absolute tolerance, please enter a positive number.",
    "Maximum number of computed steps, please enter a positive integer less than 100000.",
    "Step of data output, please entera a positive integer.",
};
// The boxes of the seven messages above, in their order.
constexpr Setting kMessageBoxes[] = {Setting::InitialTime,       Setting::FinalTime,         Setting::InitialStep,
                                     Setting::RelativeTolerance, Setting::AbsoluteTolerance, Setting::MaxSteps,
                                     Setting::OutputStep};
constexpr const char* kPressureMessage = "Pressure, please enter a positive number.";
constexpr const char* kIntervalMessage = "Allowable temperature interval, please enter a positive number.";

std::string messageOf(Setting s) {
    for (std::size_t i = 0; i < std::size(kMessageBoxes); ++i)
        if (kMessageBoxes[i] == s) return kFieldMessages[i];
    return "";
}

Refusal refuse(Setting s, std::string message) {
    Refusal r;
    r.kind = Refusal::Kind::Field;
    r.field = s;
    r.tab = TabOf(s);
    r.message = std::move(message);
    return r;
}

// The number of a checked box.
double numberOf(const RunSettings& s, Setting box) { return ParseNumber(s[box]).value_or(0); }

// How the solver file holds a real setting.
constexpr const char* kSettingPattern = "0.00####E+00";

// What of a file the window read is still as it read it (RewrittenSolverLines
// keeps those lines); nothing without a file.
bool keepsSetting(const SolverFileModel* file, const RunSettings& s, Setting box) {
    return file && file->asRead.Taken(box) && s[box] == file->asRead.shown[box];
}

bool keepsMode(const SolverFileModel* file, const RunSettings& s) {
    return file && file->asRead.modeTaken && s.adiabatic == file->asRead.shown.adiabatic;
}

bool keepsFraction(const SolverFileModel* file, std::size_t k, const std::string& fraction) {
    return file && k < file->asRead.fractions.size() && file->asRead.fractionsTaken[k] &&
           fraction == file->asRead.fractions[k];
}

// The number of a checked box as the solver reads it from the rewritten
// file: where the box keeps its line, the number shown; else rounded to
// seven significant digits, so that two close values may become one.
double solverNumberOf(const RunSettings& s, Setting box, const SolverFileModel* file) {
    if (keepsSetting(file, s, box)) return numberOf(s, box);
    return ParseNumber(Format(TrimBlanks(s[box]), kSettingPattern)).value_or(0);
}

// The whole number of a checked box, halves to the even neighbour.
std::int32_t integerOf(const RunSettings& s, Setting box) {
    const double v = RoundHalfEven(numberOf(s, box));
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        throw Error(ErrorKind::Overflow, "\"" + s[box] + "\"");
    return static_cast<std::int32_t>(v);
}

// An initial fraction that the command accepts: empty, or a number of at
// least 0 that fits the solver's columns, as a kept one does.
bool acceptableFraction(const std::string& fraction, bool kept) {
    if (kept || TrimBlanks(fraction).empty()) return true;
    const std::optional<double> v = ParseNumber(fraction);
    if (!v || *v < 0) return false;
    try {
        FractionField(fraction);
        return true;
    } catch (const Error&) {
        return false;
    }
}

std::string valueLine(const RunSettings& s, Setting box, const char* pattern, const char* comment) {
    return std::string(" ").append(Format(TrimBlanks(s[box]), pattern)).append(comment);
}

}  // namespace

int TabOf(Setting s) {
    switch (s) {
        case Setting::MinTemperature:
        case Setting::MaxTemperature:
        case Setting::MaxSteps:
        case Setting::OutputStep: return 2;
        default: return 1;
    }
}

namespace {

Refusal validate(RunSettings& s, const std::vector<SpeciesRow>& species, const SolverFileModel* file) {
    const auto solverNumber = [&s, file](Setting box) { return solverNumberOf(s, box, file); };
    const auto numeric = [&s](Setting box) { return IsNumeric(s[box]); };
    if (!numeric(Setting::Pressure)) return refuse(Setting::Pressure, kPressureMessage);
    if (!numeric(Setting::InitialTemperature))
        return refuse(Setting::InitialTemperature, "Initial temperature, please enter a positive number.");
    for (Setting box : kMessageBoxes)
        if (!numeric(box)) return refuse(box, messageOf(box));
    if (numberOf(s, Setting::MaxSteps) > kMaxStepLimit) return refuse(Setting::MaxSteps, messageOf(Setting::MaxSteps));
    if (!numeric(Setting::MaxTemperature)) return refuse(Setting::MaxTemperature, kIntervalMessage);
    if (!numeric(Setting::MinTemperature)) return refuse(Setting::MinTemperature, kIntervalMessage);
    if (!PressureAllowed(solverNumber(Setting::Pressure))) return refuse(Setting::Pressure, kPressureMessage);
    const double rtol = numberOf(s, Setting::RelativeTolerance);
    if (!(rtol >= 1e-14 && rtol <= 1))
        return refuse(Setting::RelativeTolerance, messageOf(Setting::RelativeTolerance));

    for (std::size_t k = 0; k < species.size(); ++k) {
        if (acceptableFraction(species[k].fraction, keepsFraction(file, k, species[k].fraction))) continue;
        Refusal r;
        r.kind = Refusal::Kind::Fraction;
        r.species = static_cast<int>(k);
        r.message = "Initial mole fractions, please enter positive decimal numbers.";
        return r;
    }

    if (!StepLimitAllowed(integerOf(s, Setting::MaxSteps)))
        return refuse(Setting::MaxSteps, messageOf(Setting::MaxSteps));
    // The solver's own rules, on the values as the solver file gives them.
    const double tmin = solverNumber(Setting::MinTemperature);
    const double tmax = solverNumber(Setting::MaxTemperature);
    if (!MinTemperatureAllowed(tmin))
        return refuse(Setting::MinTemperature,
                      "Minimum value of the allowable temperature interval, please enter a positive number.");
    if (!TemperatureRangeAllowed(tmin, tmax))
        return refuse(Setting::MinTemperature,
                      "Allowable temperature interval, the minimum value is equal to or greater than the maximum "
                      "value. Enter a correct values.");
    if (!TemperatureAllowed(solverNumber(Setting::InitialTemperature), tmin, tmax))
        return refuse(Setting::InitialTemperature, "The initial temperature is outside of the interval (" +
                                                       NumberToText(numberOf(s, Setting::MinTemperature)) + ", " +
                                                       NumberToText(numberOf(s, Setting::MaxTemperature)) +
                                                       "). Enter a correct value.");
    const double start = numberOf(s, Setting::InitialTime);
    const double end = numberOf(s, Setting::FinalTime);
    if (!TimeSpanAllowed(solverNumber(Setting::InitialTime), solverNumber(Setting::FinalTime)))
        return refuse(Setting::InitialTime,
                      "The initial time is equal to or greater than the final time. Enter correct values.");
    const double h0 = numberOf(s, Setting::InitialStep);
    if (h0 < 0) return refuse(Setting::InitialStep, messageOf(Setting::InitialStep));
    if ((end - start) / 100 < h0) s[Setting::InitialStep] = Format((end - start) / 100, "0.0E+00");
    if (!TolerancesAllowed(solverNumber(Setting::RelativeTolerance), solverNumber(Setting::AbsoluteTolerance)))
        return refuse(Setting::AbsoluteTolerance, messageOf(Setting::AbsoluteTolerance));

    const std::int32_t outputStep = integerOf(s, Setting::OutputStep);
    s[Setting::OutputStep] = std::to_string(outputStep);
    if (outputStep <= 0) return refuse(Setting::OutputStep, messageOf(Setting::OutputStep));
    std::int64_t limit = integerOf(s, Setting::MaxSteps);
    if (limit < 3) limit = 3;
    if (limit < 3LL * outputStep) limit = 3LL * outputStep;
    if (limit > std::numeric_limits<std::int32_t>::max()) throw Error(ErrorKind::Overflow, "step limit");
    s[Setting::MaxSteps] = std::to_string(limit);

    // The fractions as the solver file gives them: a negligible one is 0.
    double sum = 0;
    for (std::size_t k = 0; k < species.size(); ++k) {
        const std::string& fraction = species[k].fraction;
        sum += ParseNumber(keepsFraction(file, k, fraction) ? fraction : FractionField(fraction)).value_or(0);
    }
    if (sum == 0) {
        Refusal r;
        r.kind = Refusal::Kind::ZeroSum;
        r.message = "The solver cannot start, all initial mole fractions are zero.";
        return r;
    }
    return Refusal{};
}

}  // namespace

Refusal ValidateRun(RunSettings& s, const std::vector<SpeciesRow>& species) { return validate(s, species, nullptr); }

Refusal ValidateFileRun(RunSettings& s, const SolverFileModel& file) { return validate(s, file.species, &file); }

std::string FractionField(const std::string& fraction) {
    if (TrimBlanks(fraction).empty()) return "0";
    const std::optional<double> v = ParseNumber(fraction);
    if (!v) throw Error(ErrorKind::TypeMismatch, "\"" + fraction + "\"");
    if (*v == 0 || (*v > 0 && *v < kSmallestFraction)) return "0";
    std::string text = Format(*v, "0.000E+00");
    if (text.size() > kSolverFractionWidth) throw Error(ErrorKind::Overflow, "\"" + fraction + "\"");
    return text;
}

std::string SolverPathProblem(const std::string& path) {
    const bool oneLine = path.find_first_of("\r\n") == std::string::npos;
    const bool trailingBlank = !path.empty() && (path.back() == ' ' || path.back() == '\t');
    // The path is UTF-8: its length is in characters, not bytes.
    const auto characters = static_cast<std::size_t>(
        std::count_if(path.begin(), path.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    if (oneLine && !trailingBlank && characters <= kMaxSolverPath) return "";
    return "The solver cannot be given the path of this solver file: the path must be one line of at most 300 "
           "characters that does not end in a blank. Save the file under a shorter path and run it from there.\r\n"
           "\r\n" + path;
}

std::vector<std::string> RewrittenSolverLines(const SolverFileModel& model, const RunSettings& s) {
    std::vector<std::string> lines = model.lines;
    auto set = [&lines](int number, std::string text) { lines.at(static_cast<std::size_t>(number) - 1) = std::move(text); };
    // A setting the user left as read keeps its line.
    auto setting = [&](Setting box, const char* comment) {
        if (keepsSetting(&model, s, box)) return;
        const bool whole = WholeNumberSetting(SettingLine(box));
        set(SettingLine(box), valueLine(s, box, whole ? "#" : kSettingPattern, comment));
    };
    setting(Setting::Pressure, " !Pressure, atm");
    if (!keepsMode(&model, s)) set(kTemperatureModeLine, s.adiabatic ? " 1 !Temperature Equation" : " 0 !Constant Temperature");
    setting(Setting::InitialTemperature, " !Initial Temperature");
    setting(Setting::MinTemperature, " !Minimal Allowable Temperature");
    setting(Setting::MaxTemperature, " !Maximum Allowable Temperature");
    setting(Setting::InitialTime, " !Initial Time");
    setting(Setting::FinalTime, " !Final Time");
    setting(Setting::InitialStep, " !Initial Step Size");
    setting(Setting::MaxSteps, " !Maximum Number of Steps");
    setting(Setting::RelativeTolerance, " !Relative Tolerance");
    setting(Setting::AbsoluteTolerance, " !Absolute Tolerance");
    set(25, " ");
    set(26, " !Output Parameters");
    set(kOutputLinesLine, " 100000 !R!Maximum Number of lines in output");
    setting(Setting::OutputStep, " !Delta N");
    for (int k = 0; k < model.speciesCount; ++k) {
        const std::string& fraction = model.species.at(static_cast<std::size_t>(k)).fraction;
        if (keepsFraction(&model, static_cast<std::size_t>(k), fraction)) continue;
        std::string& line = lines.at(static_cast<std::size_t>(model.ThermoLine(k)) - 1);
        std::string field = FractionField(fraction);
        line.resize(static_cast<std::size_t>(solverfile::kInitialFraction.column - 1), ' ');
        field.resize(static_cast<std::size_t>(solverfile::kInitialFraction.width), ' ');
        line += field;
    }
    return lines;
}

void WriteRunFiles(const std::string& folder, const std::string& solverPath,
                   const std::vector<std::string>& lines) {
    files::WriteLines(folder + "/" + kSolverPathFileName, {solverPath});
    files::WriteLines(solverPath, lines);
}

}  // namespace kx::runs
