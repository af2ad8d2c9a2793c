#include "SavedSettings.h"

#include "Errors.h"
#include "Files.h"
#include "Format.h"
#include "TextHelpers.h"

#include <optional>

namespace kx::runs {
namespace {

// The settings in the order of items 1 to 11.
constexpr Setting kItemSettings[] = {
    Setting::Pressure,    Setting::InitialTemperature, Setting::MinTemperature,    Setting::MaxTemperature,
    Setting::InitialTime, Setting::FinalTime,          Setting::InitialStep,       Setting::RelativeTolerance,
    Setting::AbsoluteTolerance, Setting::MaxSteps,     Setting::OutputStep,
};
constexpr std::size_t kModeItem = 12;

const std::string& item(const std::vector<std::string>& items, std::size_t index) {
    if (index >= items.size()) throw Error(ErrorKind::SubscriptOutOfRange, std::string("item ").append(std::to_string(index)));
    return items[index];
}

// A saved flag as text: "True" or "False" in any letter case, or a number
// (true unless 0).
bool flagOf(const std::string& text) {
    const std::string upper = UpperAscii(TrimBlanks(text));
    if (upper == "TRUE") return true;
    if (upper == "FALSE") return false;
    const std::optional<double> v = ParseNumber(text);
    if (!v) throw Error(ErrorKind::TypeMismatch, "\"" + text + "\"");
    return *v != 0;
}

}  // namespace

std::vector<std::string> SavedSettingsItems(const std::string& solverPath, const RunSettings& settings,
                                            const std::vector<SpeciesRow>& species) {
    std::vector<std::string> items{solverPath};
    for (Setting s : kItemSettings) items.push_back(settings[s]);
    items.push_back(settings.adiabatic ? "True" : "False");
    items.push_back("");
    for (const SpeciesRow& row : species) {
        const std::optional<double> v = ParseNumber(row.fraction);
        if (v && *v > 0) items.push_back(row.name + " " + row.fraction);
    }
    return items;
}

void WriteSavedSettings(const std::string& file, const std::vector<std::string>& items) {
    std::vector<std::string> lines{std::string(" ").append(std::to_string(items.size() - 1)).append(" ")};
    lines.insert(lines.end(), items.begin(), items.end());
    files::WriteLines(file, lines);
}

std::vector<std::string> ReadSavedSettings(const std::string& file) {
    files::TextReader reader(file);
    const std::string first = reader.ReadLine();
    const std::optional<double> n = ParseNumber(first);
    if (!n) throw Error(ErrorKind::TypeMismatch, "\"" + first + "\"");
    const double last = RoundHalfEven(*n);
    std::vector<std::string> items;
    for (double k = 0; k <= last; ++k) items.emplace_back(TrimBlanks(reader.ReadLine()));
    return items;
}

void ApplySavedSettings(const std::vector<std::string>& items, RunSettings& settings,
                        std::vector<SpeciesRow>& species) {
    for (std::size_t k = 0; k < std::size(kItemSettings); ++k) settings[kItemSettings[k]] = item(items, k + 1);
    settings.adiabatic = flagOf(item(items, kModeItem));
    for (SpeciesRow& row : species) row.fraction = std::string("0");
    for (std::size_t k = kFirstSpeciesItem; k < items.size(); ++k) {
        const std::string& entry = items[k];
        const std::size_t blank = entry.find(' ');
        if (blank == std::string::npos) continue;
        const std::string name = entry.substr(0, blank);
        for (SpeciesRow& row : species) {
            if (TrimBlanks(row.name) != name) continue;
            row.fraction = Format(TrimBlanks(std::string_view(entry).substr(blank + 1)), "0.###E+00");
            break;
        }
    }
}

}  // namespace kx::runs
