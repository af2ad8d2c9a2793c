#include "ReductionSetup.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "FileHelpers.h"
#include "Files.h"
#include "Format.h"
#include "SolverFileChecks.h"
#include "TextHelpers.h"

namespace kx {
namespace {

namespace fs = std::filesystem;

// A parameter entry: a number from 0 to 1, both ends included.
std::optional<double> ParameterValue(std::string_view text) {
    const std::optional<double> v = ParseNumber(Trim(text));
    if (!v || *v < 0 || *v > 1) return std::nullopt;
    return v;
}

bool Blank(std::string_view text) { return Trim(text).empty(); }

RedRefusal Refuse(RedEntry entry, std::string message, int row = 0) { return {entry, row, std::move(message)}; }

// The path made absolute and normal, through the links that exist.
fs::path NormalPath(const fs::path& p) {
    std::error_code ec;
    fs::path normal = fs::weakly_canonical(p, ec);
    if (ec) normal = fs::absolute(p, ec).lexically_normal();
    return normal;
}

}  // namespace

std::vector<RedTargetRow> RedDefaultTargets(const std::vector<std::string>& names, const std::vector<bool>& nonzero) {
    std::vector<RedTargetRow> rows(names.empty() ? 1 : names.size());
    for (std::size_t k = 1; k < names.size(); ++k) {
        rows[k].Name = names[k];
        rows[k].InitialNonzero = k < nonzero.size() && nonzero[k];
        if (rows[k].InitialNonzero) rows[k].Parameter = NumberToText(kRedDefaultParameter);
    }
    return rows;
}

RedRefusal RedCheckSpeciesParameters(const std::vector<RedTargetRow>& targets) {
    for (std::size_t k = 1; k < targets.size(); ++k) {
        const std::string& text = targets[k].Parameter;
        if (Blank(text) || ParameterValue(text)) continue;
        return Refuse(RedEntry::Species,
                      "The '" + targets[k].Name +
                          "' parameter is incorrect. If you want to use this species as target, then enter a number "
                          "on the interval (0, 1). If his species is not a target, enter blank space.",
                      static_cast<int>(k));
    }
    return {};
}

RedRefusal RedCheckParameterBoxes(std::string_view temperature, std::string_view others) {
    const std::string othersMessage = "Non target parameter, please enter a number on the interval (0, 1).";
    if (Blank(others)) return Refuse(RedEntry::Others, othersMessage);
    if (!Blank(temperature) && !ParameterValue(temperature))
        return Refuse(RedEntry::Temperature,
                      "Temperature parameter is incorrect. If temperature is a target, enter a number on the interval "
                      "(0, 1). If temperature is not a target, enter blank space.");
    if (!ParameterValue(others)) return Refuse(RedEntry::Others, othersMessage);
    return {};
}

RedRefusal RedCheckTargetCount(std::string_view temperature, const std::vector<RedTargetRow>& targets) {
    if (!Blank(temperature)) return {};
    for (std::size_t k = 1; k < targets.size(); ++k)
        if (!Blank(targets[k].Parameter)) return {};
    return Refuse(RedEntry::Targets,
                  "The number of targets is zero. For targets (temperature and/or species), enter parameters on the "
                  "interval (0,1).");
}

RedRefusal RedCheckAveragedSteps(std::string_view text, int pointCount, int& steps) {
    const int largest = pointCount - 1;
    const std::optional<double> v = ParseNumber(Trim(text));
    if (!v || *v < 1 || *v > largest)
        return Refuse(RedEntry::Steps, "The number of averaged steps, please enter a positive number on the interval [1," +
                                           std::to_string(largest) + "].");
    steps = std::max(1, static_cast<int>(RoundHalfEven(*v)));
    return {};
}

RedSettings RedSettingsFrom(std::string_view temperature, std::string_view others,
                            const std::vector<RedTargetRow>& targets) {
    RedSettings s;
    s.TemperatureParameter = Blank(temperature) ? -1 : ParseNumber(Trim(temperature)).value_or(-1);
    s.OthersParameter = ParseNumber(Trim(others)).value_or(1);
    for (std::size_t k = 1; k < targets.size(); ++k) {
        const std::string_view text = Trim(targets[k].Parameter);
        if (text.empty()) continue;
        s.Targets.push_back({static_cast<int>(k), ParseNumber(text).value_or(1)});
    }
    return s;
}

std::string RedTargetPath(std::string_view typed, std::string_view source) {
    const fs::path path{std::string(Trim(typed))};
    if (path.empty() || path.is_absolute()) return path.string();
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(std::string(Trim(source))), ec).parent_path();
    // "." steps are left out; ".." ones stay, as the system follows them
    // through linked folders.
    for (const fs::path& part : path)
        if (part != "." && !part.empty()) full /= part;
    return full.string();
}

bool RedSameFile(std::string_view source, std::string_view reduced) {
    const fs::path a{std::string(Trim(source))}, b{std::string(Trim(reduced))};
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec)) return true;
    return LowerAscii(NormalPath(a).string()) == LowerAscii(NormalPath(b).string());
}

std::string RedExtensionRefusal(std::string_view path) {
    const std::string_view trimmed = Trim(path);
    const std::size_t dot = trimmed.rfind('.');
    const std::string_view typed = dot == std::string_view::npos ? trimmed : trimmed.substr(dot + 1);
    const std::string extension = LowerAscii(typed);
    for (const char* refused : {"exe", "pdb", "dll", "pdf", "pg"})
        if (extension == refused)
            return "A solver file is not written with the extension '." + std::string(typed) +
                   "': the extensions exe, pdb, dll, pdf and pg are kept for other files.";
    return {};
}

std::string RedWriteRefusal(std::string_view pathText) {
    // The writer follows a symbolic link to the file it names, in that
    // file's own folder: the test goes the same way.
    return WhyUnwritable(std::string(Trim(pathText)));
}

bool RedReplacesOtherFile(std::string_view pathText) {
    const std::string path(Trim(pathText));
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) return false;
    // The signature stands at the start of the line: a bounded read suffices.
    std::string first;
    try {
        first = files::ReadHead(path, 256);
    } catch (const std::exception&) {
        return true;  // no signature read: asked about
    }
    return !runs::IsSolverSignatureLine(first.substr(0, first.find_first_of("\r\n")));
}

}  // namespace kx
