#include "ChartFile.h"

#include "Files.h"
#include "Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kx::chart {

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default:  // not one of ours: kept as written
                out += '\\';
                out += text[i];
        }
    }
    return out;
}

std::string NumberText(double value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::optional<double> ReadNumberText(std::string_view text) {
    double v = 0;
    const char* end = text.data() + text.size();
    if (!text.empty() && text.front() == '+') return std::nullopt;
    const auto res = std::from_chars(text.data(), end, v);
    if (res.ec != std::errc() || res.ptr != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

namespace {

constexpr const char* kLineEnd = "\r\n";

void numberList(std::string& out, const std::vector<double>& values) {
    char buf[32];
    for (double v : values) {
        out += ' ';
        const auto res = std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, res.ptr);
    }
}

std::string flag(bool on) { return on ? "1" : "0"; }

std::string settingText(const PropertyInfo& info, const Variant& value) {
    if (info.kind == PropertyKind::Text) return EscapeText(TextOf(value));
    return NumberText(NumberOf(value));
}

}  // namespace

std::string ChartFileText(const ChartModel& m) {
    std::string out;
    std::size_t estimate = 4096;
    for (const Subset& s : m.AllSubsets()) estimate += 2 * 24 * s.x.size() + s.label.size() + 256;
    out.reserve(estimate);
    auto line = [&out](const std::string& text) {
        out += text;
        out += kLineEnd;
    };
    line(kChartSignature);
    line("VERSION " + std::to_string(kChartFileVersion));
    line("SUBSETS " + std::to_string(m.Subsets()));
    line("POINTS " + std::to_string(m.Points()));
    for (const PropertyInfo& info : ChartModel::Properties())
        if (info.saved && !info.indexed) line("PROPERTY " + std::string(info.name) + " " + settingText(info, m.Get(info.name)));
    line(std::string("STYLE ") + (m.colourStyle ? "colour" : "monochrome"));
    line("HISTOGRAM " + flag(m.histogram));
    line("BARS " + flag(m.bars.signedBars) + " " + flag(m.bars.itemLabels) + " " + std::to_string(m.bars.selected) +
         " " + std::to_string(m.bars.labels.size()));
    for (std::size_t k = 0; k < m.bars.labels.size(); ++k)
        line("BARLABEL " + std::to_string(k) + " " + EscapeText(m.bars.labels[k]));
    for (int s = 0; s < m.Subsets(); ++s) {
        const Subset& sub = m.At(s);
        const std::string n = std::to_string(s);
        line("SUBSET " + n + " " + std::to_string(sub.colour) + " " + std::to_string(sub.lineType) + " " +
             std::to_string(sub.pointType) + " " + EscapeText(sub.label));
        line("LONGLABEL " + n + " " + EscapeText(sub.longLabel1));
        line("LONGLABEL2 " + n + " " + EscapeText(sub.longLabel2));
        out += "X " + n;
        numberList(out, sub.x);
        out += kLineEnd;
        out += "Y " + n;
        numberList(out, sub.y);
        out += kLineEnd;
    }
    for (int i = 0; i < kAnnotationSlots; ++i) {
        const Annotation& a = m.Slot(i);
        line("ANNOTATION " + std::to_string(i) + " " + NumberText(a.x) + " " + NumberText(a.y) + " " +
             std::to_string(a.colour) + " " + std::to_string(a.type) + " " + std::to_string(a.attribute) + " " +
             EscapeText(a.text));
    }
    for (const auto& [key, value] : m.pairSettings)
        line("PAIR " + std::to_string(key.first) + " " + std::to_string(key.second) + " " + NumberText(value));
    line("END");
    return out;
}

namespace {

// Reads one record after another; every refusal names its line.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool next(std::string_view& line) {
        if (pos_ >= bytes_.size()) return false;
        std::size_t end = pos_;
        while (end < bytes_.size() && bytes_[end] != '\n' && bytes_[end] != '\r') ++end;
        line = bytes_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
        ++number_;
        return true;
    }
    [[noreturn]] void fail(const std::string& why) const {
        throw ChartFileError("The chart file is damaged (line " + std::to_string(number_) + ": " + why + ").");
    }
    std::size_t size() const { return bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
};

std::string quoted(std::string_view text) {
    std::string q(1, '\'');
    q.append(text);
    q.push_back('\'');
    return q;
}

// Splits off the next blank-separated word of the rest of a line.
std::string_view word(std::string_view& rest) {
    const std::size_t space = rest.find(' ');
    std::string_view w = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return w;
}

long long wholeNumber(std::string_view text, const Reader& r, long long lo, long long hi) {
    long long v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) r.fail(quoted(text) + " is no whole number");
    if (v < lo || v > hi) r.fail(std::to_string(v) + " is out of range");
    return v;
}

double number(std::string_view text, const Reader& r) {
    const std::optional<double> v = ReadNumberText(text);
    if (!v) r.fail(quoted(text) + " is no number");
    return *v;
}

bool flagWord(std::string_view text, const Reader& r) { return wholeNumber(text, r, 0, 1) == 1; }

void readValues(std::string_view rest, std::vector<double>& into, const Reader& r) {
    for (double& v : into) {
        if (rest.empty()) r.fail("too few values");
        v = number(word(rest), r);
    }
    if (!rest.empty()) r.fail("too many values");
}

}  // namespace

ChartModel ParseChartFile(std::string_view bytes) {
    Reader r(bytes);
    std::string_view line;
    if (!r.next(line) || line != kChartSignature)
        throw ChartFileError("The file is not a chart file of this program.");
    if (!r.next(line) || line.substr(0, 8) != "VERSION ") r.fail("the version line is missing");
    const long long version = wholeNumber(line.substr(8), r, 1, std::numeric_limits<int>::max());
    if (version > kChartFileVersion)
        throw ChartFileError("The chart file was written by a newer version of the program (chart file version " +
                             std::to_string(version) + ").");

    ChartModel m;
    long long subsets = -1, points = -1;
    bool sized = false, ended = false;
    auto size = [&] {
        if (sized) return;
        subsets = std::max(subsets, 0LL);
        points = std::max(points, 0LL);
        // Every value takes at least two bytes in the file: a count the
        // file cannot hold is refused before anything is allocated.
        if (static_cast<double>(subsets) * static_cast<double>(points) * 4 > static_cast<double>(r.size()))
            r.fail("the counts exceed the file");
        m.Resize(static_cast<int>(subsets), static_cast<int>(points));
        sized = true;
    };
    auto subsetIndex = [&](std::string_view& rest) {
        size();
        return static_cast<int>(wholeNumber(word(rest), r, 0, subsets - 1));
    };
    while (r.next(line)) {
        if (ended) {
            if (!line.empty()) r.fail("text after the end");
            continue;
        }
        std::string_view rest = line;
        const std::string_view key = word(rest);
        if (key == "END") {
            size();
            ended = true;
        } else if (key == "SUBSETS") {
            if (sized) r.fail("a count after the data");
            subsets = wholeNumber(rest, r, 0, kMaxFileSubsets);
        } else if (key == "POINTS") {
            if (sized) r.fail("a count after the data");
            points = wholeNumber(rest, r, 0, kMaxFilePoints);
        } else if (key == "PROPERTY") {
            const std::string_view name = word(rest);
            const PropertyInfo* info = ChartModel::FindProperty(name);
            if (!info || !info->saved || info->indexed) continue;  // not ours (any more)
            try {
                if (info->kind == PropertyKind::Text)
                    m.Set(name, UnescapeText(rest));
                else
                    m.Set(name, number(rest, r));
            } catch (const ChartFileError&) {
                throw;
            } catch (const std::exception& e) {
                r.fail(std::string(name) + ": " + e.what());
            }
        } else if (key == "STYLE") {
            if (rest != "colour" && rest != "monochrome") r.fail("unknown style");
            m.colourStyle = rest == "colour";
        } else if (key == "HISTOGRAM") {
            m.histogram = flagWord(rest, r);
        } else if (key == "BARS") {
            m.bars.signedBars = flagWord(word(rest), r);
            m.bars.itemLabels = flagWord(word(rest), r);
            m.bars.selected = static_cast<int>(wholeNumber(word(rest), r, 0, kMaxFileSubsets));
            const long long n = wholeNumber(rest, r, 0, kMaxFileSubsets + 1);
            if (static_cast<std::size_t>(n) > r.size()) r.fail("the counts exceed the file");
            m.bars.labels.assign(static_cast<std::size_t>(n), std::string());
        } else if (key == "BARLABEL") {
            const auto k = wholeNumber(word(rest), r, 0, static_cast<long long>(m.bars.labels.size()) - 1);
            m.bars.labels[static_cast<std::size_t>(k)] = UnescapeText(rest);
        } else if (key == "SUBSET") {
            Subset& s = m.At(subsetIndex(rest));
            s.colour = static_cast<Colour>(wholeNumber(word(rest), r, 0, 0xFFFFFF));
            s.lineType = static_cast<int>(wholeNumber(word(rest), r, -1000, 1000));
            s.pointType = static_cast<int>(wholeNumber(word(rest), r, -1000, 1000));
            s.label = UnescapeText(rest);
        } else if (key == "LONGLABEL" || key == "LONGLABEL2") {
            Subset& s = m.At(subsetIndex(rest));
            (key == "LONGLABEL" ? s.longLabel1 : s.longLabel2) = UnescapeText(rest);
        } else if (key == "X") {
            Subset& s = m.At(subsetIndex(rest));
            readValues(rest, s.x, r);
        } else if (key == "Y") {
            Subset& s = m.At(subsetIndex(rest));
            readValues(rest, s.y, r);
        } else if (key == "ANNOTATION") {
            Annotation& a = m.Slot(static_cast<int>(wholeNumber(word(rest), r, 0, kAnnotationSlots - 1)));
            a.x = number(word(rest), r);
            a.y = number(word(rest), r);
            a.colour = static_cast<Colour>(wholeNumber(word(rest), r, 0, 0xFFFFFF));
            a.type = static_cast<int>(wholeNumber(word(rest), r, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
            a.attribute = static_cast<int>(wholeNumber(word(rest), r, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
            a.text = UnescapeText(rest);
        } else if (key == "PAIR") {
            const int i = static_cast<int>(wholeNumber(word(rest), r, -1000000, 1000000));
            const int j = static_cast<int>(wholeNumber(word(rest), r, -1000000, 1000000));
            m.pairSettings[{i, j}] = number(rest, r);
        }
        // Any other record belongs to a later version: ignored.
    }
    if (!ended) throw ChartFileError("The chart file is incomplete: its end is missing.");
    // The bar labels and the selected bar name subsets of this chart.
    if (m.bars.selected > m.Subsets()) m.bars.selected = 0;
    m.Touch();
    return m;
}

void WriteChartFile(const ChartModel& model, const std::string& path) { files::WriteAll(path, ChartFileText(model)); }

ChartModel ReadChartFile(const std::string& path) { return ParseChartFile(files::ReadAll(path)); }

}  // namespace kx::chart
