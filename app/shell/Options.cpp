#include "Options.h"

#include "Files.h"
#include "Format.h"
#include "TextHelpers.h"

#include <cmath>
#include <exception>
#include <optional>

namespace kx {
namespace {

std::optional<double> numberItem(const std::string& item) {
    if (item.empty()) return 0.0;
    return ParseNumber(item);
}

std::optional<Colour> colourItem(const std::string& item) {
    auto v = numberItem(item);
    if (!v) return std::nullopt;
    double r = RoundHalfEven(*v);
    if (r < -2147483648.0 || r > 4294967295.0) return std::nullopt;
    // Values from 2^31 up are the same 32 bits as the negative system colours.
    return static_cast<Colour>(static_cast<std::uint32_t>(static_cast<std::int64_t>(r)));
}

}  // namespace

std::vector<std::string> SplitListItems(std::string_view bytes) {
    std::vector<std::string> items;
    for (const std::string& line : files::SplitLines(bytes)) {
        std::string_view rest = line;
        if (TrimBlanks(rest).empty()) continue;
        for (;;) {
            size_t comma = rest.find(',');
            items.emplace_back(TrimBlanks(rest.substr(0, comma)));
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
            if (TrimBlanks(rest).empty()) break;  // a comma at the end of the line
        }
    }
    return items;
}

bool StoreOptionItems(SharedState& s, const std::vector<std::string>& items, std::string* why) {
    auto refuse = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    for (int n = 1; n <= kOptionItemCount; ++n) {
        if (static_cast<int>(items.size()) < n)
            return refuse("The file holds " + std::to_string(items.size()) + " items where " +
                          std::to_string(kOptionItemCount) + " are needed.");
        const std::string& item = items[static_cast<size_t>(n) - 1];
        const std::string named = "Item " + std::to_string(n) + ", '" + item + "', ";
        if (n == 3 || n == 4 || n == 17) {
            auto c = colourItem(item);
            if (!c) return refuse(named + "is no colour (a whole number of 32 bits).");
            (n == 3 ? s.HighlightColor : n == 4 ? s.SelectionColor : s.MainBackColor) = *c;
        } else if (n >= 12 && n <= 16) {
            auto v = numberItem(item);
            if (!v) return refuse(named + "is no number.");
            double value = *v * (n == 15 ? 1e7 : n == 16 ? 1e4 : 1.0);
            if (!std::isfinite(value)) return refuse(named + "is too large.");
            double* target[] = {&s.GasConstantJ, &s.GasConstantCal, &s.AvogadroNumber, &s.UnitFactorE7,
                                &s.UnitFactorE4};
            *target[n - 12] = value;
        }
    }
    return true;
}

void OptionOpen(SharedState& s, const std::string& programFolder, bool& ErrBL, std::string* why) {
    ErrBL = false;
    SetFolders(s, programFolder);
    std::string bytes;
    try {
        bytes = files::ReadAll(s.AssistFolder + "OPTIONS.txt");
    } catch (const std::exception& e) {
        ErrBL = true;
        if (why) *why = std::string(e.what()) + ".";
        return;
    }
    if (!StoreOptionItems(s, SplitListItems(bytes), why)) {
        ErrBL = true;
        return;
    }
    s.SelectionColor = kYellow;
}

}  // namespace kx
