#include "SubsetText.h"

#include "ChartFile.h"
#include "Files.h"
#include "Format.h"
#include "WorkingFiles.h"

#include <algorithm>
#include <charconv>

namespace kx::chart {
namespace {

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

std::optional<long long> whole(std::string_view text) {
    long long v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

}  // namespace

std::string CopiedSubsetText(const Subset& s) {
    std::size_t n = std::min(s.x.size(), s.y.size());
    while (n > 0 && (s.x[n - 1] == kMissing || s.y[n - 1] == kMissing)) --n;
    std::string out;
    out.reserve(128 + n * 26);
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    line(kSubsetSignature);
    line("Label\t" + EscapeText(s.label));
    line("LongLabel\t" + EscapeText(s.longLabel1) + "\t" + EscapeText(s.longLabel2));
    line("Style\t" + std::to_string(s.colour) + "\t" + std::to_string(s.lineType) + "\t" +
         std::to_string(s.pointType));
    line("Points\t" + std::to_string(n));
    line("X\tY");
    for (std::size_t p = 0; p < n; ++p) line(NumberText(s.x[p]) + "\t" + NumberText(s.y[p]));
    return out;
}

std::optional<Subset> ReadCopiedSubset(std::string_view text) {
    const std::vector<std::string> lines = files::SplitLines(text);
    if (lines.size() < 6 || lines[0] != kSubsetSignature) return std::nullopt;
    Subset s;
    std::vector<std::string_view> f = fields(lines[1]);
    if (f.size() != 2 || f[0] != "Label") return std::nullopt;
    s.label = UnescapeText(f[1]);
    f = fields(lines[2]);
    if (f.size() != 3 || f[0] != "LongLabel") return std::nullopt;
    s.longLabel1 = UnescapeText(f[1]);
    s.longLabel2 = UnescapeText(f[2]);
    f = fields(lines[3]);
    if (f.size() != 4 || f[0] != "Style") return std::nullopt;
    const auto colour = whole(f[1]), lineType = whole(f[2]), pointType = whole(f[3]);
    if (!colour || !lineType || !pointType || *colour < 0 || *colour > 0xFFFFFF) return std::nullopt;
    s.colour = static_cast<Colour>(*colour);
    s.lineType = static_cast<int>(std::clamp<long long>(*lineType, -1000, 1000));
    s.pointType = static_cast<int>(std::clamp<long long>(*pointType, -1000, 1000));
    f = fields(lines[4]);
    if (f.size() != 2 || f[0] != "Points") return std::nullopt;
    const auto n = whole(f[1]);
    // The lines are already there: a count they do not hold is refused.
    if (!n || *n < 0 || static_cast<std::size_t>(*n) != lines.size() - 6) return std::nullopt;
    if (lines[5] != "X\tY") return std::nullopt;
    s.x.reserve(static_cast<std::size_t>(*n));
    s.y.reserve(static_cast<std::size_t>(*n));
    for (std::size_t i = 6; i < lines.size(); ++i) {
        f = fields(lines[i]);
        if (f.size() != 2) return std::nullopt;
        const auto x = ReadNumberText(f[0]), y = ReadNumberText(f[1]);
        if (!x || !y) return std::nullopt;
        s.x.push_back(*x);
        s.y.push_back(*y);
    }
    return s;
}

std::string CopiedSubsetPath() { return WorkingFile("KINA03.TMP"); }

std::vector<std::string> DataTableLines(const ChartModel& m) {
    std::vector<std::string> out;
    auto title = [&out](const char* name, const std::string& text) {
        if (!text.empty()) out.push_back(std::string(name) + text);
    };
    title("", m.mainTitle);
    title("", m.subTitle);
    title("X: ", m.xAxisLabel);
    title("Y: ", m.yAxisLabel);
    const std::string column = "@@@@@@@@@@@@@@@@@";
    for (int s = 0; s < m.Subsets(); ++s) {
        const Subset& sub = m.At(s);
        out.emplace_back();
        out.push_back("Subset " + std::to_string(s + 1) + (sub.label.empty() ? "" : ": " + sub.label));
        out.push_back(Format("X", column) + Format("Y", column));
        for (int p = 0; p < m.Points(); ++p)
            if (m.HasPoint(s, p))
                out.push_back(Format(Format(sub.x[static_cast<std::size_t>(p)], "0.00000000E+00"), column) +
                              Format(Format(sub.y[static_cast<std::size_t>(p)], "0.00000000E+00"), column));
    }
    return out;
}

}  // namespace kx::chart
