#include "ChartLoading.h"

#include "Format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kx::chart {
namespace {

// A hand-off value as the chart takes it: not finite (or absent) is missing.
double loaded(const std::vector<double>* row, std::size_t p) {
    if (!row || p >= row->size()) return kMissing;
    const double v = (*row)[p];
    return std::isfinite(v) ? v : kMissing;
}

const std::vector<double>* row(const std::vector<std::vector<double>>& data, std::size_t r) {
    return r < data.size() ? &data[r] : nullptr;
}

// The first point of a subset at which both X and Y are present (0 when X
// or Y is present nowhere, or from point 0).
std::size_t firstComplete(const std::vector<double>* xs, const std::vector<double>* ys, std::size_t points) {
    auto first = [points](const std::vector<double>* r) -> std::size_t {
        for (std::size_t p = 0; p < points; ++p)
            if (loaded(r, p) != kMissing) return p;
        return 0;
    };
    const std::size_t a = first(xs), b = first(ys);
    return (a > 0 || b > 0) ? std::max(a, b) : 0;
}

// Copies subset rows into a model subset, shifted to its first complete
// point; the freed tail keeps kMissing.
void loadSubset(Subset& s, const std::vector<double>* xs, const std::vector<double>* ys, std::size_t points) {
    std::fill(s.x.begin(), s.x.end(), kMissing);
    std::fill(s.y.begin(), s.y.end(), kMissing);
    const std::size_t start = firstComplete(xs, ys, points);
    for (std::size_t j = start; j < points; ++j) {
        s.x[j - start] = loaded(xs, j);
        s.y[j - start] = loaded(ys, j);
    }
}

void setKept(ChartModel& m, int id, double v) { m.Set(id, v); }

// What every load sets after the data.
void finishLoad(ChartModel& m) {
    setKept(m, 266, -1);
    m.Set("CursorMode", 0.0);
    m.Set("ViewingStyle", m.Get("Setting6"));
    setKept(m, 44, -1);
    setKept(m, 299, 1);
}

void finishSettings(ChartModel& m, bool histogram) {
    setKept(m, 324, 7);
    setKept(m, 13, 7);
    setKept(m, 207, 0);
    setKept(m, 286, 2);
    if (!histogram) CheckDiv(m);
}

std::size_t codePointBytes(const std::string& text, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < characters && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

std::size_t codePoints(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool shownPart(const std::string& part) { return !part.empty() && part != kEmptySlotText; }

}  // namespace

void ResetLoadSettings(ChartModel& m) {
    setKept(m, 256, 0);
    setKept(m, 204, 1.25);
    setKept(m, 203, -1);
    m.Set("XAxisScaleControl", 0.0);
    m.Set("ManualXAxisTicknLine", 0.0);
    m.Set("ManualScaleControlX", 0.0);
    m.Set("YAxisScaleControl", 0.0);
    m.Set("ManualYAxisTicknLine", 0.0);
    m.Set("ManualScaleControlY", 0.0);
    setKept(m, 227, -1);
    setKept(m, 197, -1);
    setKept(m, 226, kMissing);
    setKept(m, 93, kMissing);
    setKept(m, 278, -1);
    setKept(m, 260, 1);
}

void LoadPlotData(ChartModel& m, const SharedState& shared, bool newChart, bool histogram, RandomSource& random) {
    ResetLoadSettings(m);
    const int subsets = shared.PlotSubsetCount;
    if (subsets < 1) {
        m.Resize(0, 0);
        return;
    }
    const int points = std::max<int>(0, shared.PlotPointCount);
    m.Resize(subsets, points);
    for (int s = 0; s < subsets; ++s) {
        Subset& sub = m.At(s);
        const std::size_t r = static_cast<std::size_t>(s);
        sub.label = r < shared.PlotSubsetLabels.size() ? shared.PlotSubsetLabels[r] : std::string();
        loadSubset(sub, row(shared.PlotData, 2 * r), row(shared.PlotData, 2 * r + 1), static_cast<std::size_t>(points));
    }
    finishLoad(m);
    if (newChart) {
        m.mainTitle = shared.PlotTitles[0];
        m.subTitle = shared.PlotTitles[1].empty() ? shared.PlotSubtitle : shared.PlotTitles[1];
        m.xAxisLabel = shared.PlotTitles[2];
        m.yAxisLabel = "Y-Axis";
        m.ClearAnnotations();
        m.histogram = histogram;
        m.bars = BarPresentation{};
        for (int s = 0; s < subsets; ++s) {
            Subset& sub = m.At(s);
            sub.longLabel1 = sub.longLabel2 = std::string();
            sub.colour = RandomCurveColour(random);
            sub.lineType = RandomLineType(random);
            sub.pointType = 0;
        }
        setKept(m, 2, 0);
        m.colourStyle = true;
    }
    if (histogram) m.Set("LegendFlags", 0, -1.0);
    finishSettings(m, histogram);
    m.Touch();
}

int AppendPlotData(ChartModel& m, const SharedState& shared,
                   const std::vector<std::pair<std::string, std::string>>& longLabels, bool randomColours,
                   RandomSource& random) {
    const int first = m.Subsets();
    const int added = std::max(0, shared.AddSubsetCount);
    const int addPoints = std::max(0, shared.AddSubsetPointCount);
    ResetLoadSettings(m);
    m.Resize(first + added, std::max(m.Points(), addPoints));
    for (int k = 0; k < added; ++k) {
        Subset& sub = m.At(first + k);
        const std::size_t r = static_cast<std::size_t>(k);
        sub.label = r < shared.AddSubsetLabels.size() ? shared.AddSubsetLabels[r] : std::string();
        // The merged table has the chart's point count; the curve's own
        // points past its count are absent.
        std::vector<double> xs(static_cast<std::size_t>(addPoints)), ys(static_cast<std::size_t>(addPoints));
        for (std::size_t p = 0; p < xs.size(); ++p) {
            xs[p] = loaded(row(shared.AddSubsetData, 2 * r), p);
            ys[p] = loaded(row(shared.AddSubsetData, 2 * r + 1), p);
        }
        loadSubset(sub, &xs, &ys, xs.size());
        sub.lineType = RandomLineType(random);
        sub.colour = randomColours ? RandomCurveColour(random) : QBColor(0);
        sub.pointType = 0;
        if (r < longLabels.size()) {
            sub.longLabel1 = longLabels[r].first;
            sub.longLabel2 = longLabels[r].second;
        } else {
            sub.longLabel1 = sub.longLabel2 = std::string();
        }
    }
    finishLoad(m);
    finishSettings(m, m.histogram);
    m.Touch();
    return first;
}

void DeleteSubset(ChartModel& m, int s) {
    m.RemoveSubset(s);
    BarPresentation& b = m.bars;
    if (static_cast<std::size_t>(s) < b.labels.size()) b.labels.erase(b.labels.begin() + s);
    if (b.selected == s)
        b.selected = 0;
    else if (b.selected > s)
        --b.selected;
}

int AddSubset(ChartModel& m, Subset subset) {
    const int points = std::max(m.Points(), static_cast<int>(std::min(subset.x.size(), subset.y.size())));
    m.Resize(m.Subsets(), points);
    m.AppendSubset(std::move(subset));
    return m.Subsets() - 1;
}

std::optional<DataRange> PresentRange(const ChartModel& m) {
    std::optional<DataRange> r;
    for (const Subset& s : m.AllSubsets())
        for (std::size_t p = 0; p < s.x.size(); ++p) {
            const double x = s.x[p], y = s.y[p];
            if (x == kMissing || y == kMissing) continue;
            if (!r) {
                r = DataRange{x, x, y, y};
                continue;
            }
            r->minX = std::min(r->minX, x);
            r->maxX = std::max(r->maxX, x);
            r->minY = std::min(r->minY, y);
            r->maxY = std::max(r->maxY, y);
        }
    return r;
}

void CheckDiv(ChartModel& m) {
    const std::optional<DataRange> r = PresentRange(m);
    auto axis = [&m](double lo, double hi, const char* control, const char* minName, const char* maxName) {
        const double size = std::max(std::abs(lo), std::abs(hi));
        // Equal values (to the last few bits) leave the automatic range
        // nothing to show; a manual one around them does.
        if (hi - lo > size * 1e-12) {
            m.Set(control, 0.0);
            return;
        }
        const double widen = size > 0 ? size / 1000 : 0.001;
        m.Set(control, 3.0);
        m.Set(minName, lo - widen);
        m.Set(maxName, hi + widen);
    };
    if (!r) {
        m.Set("ManualScaleControlX", 0.0);
        m.Set("ManualScaleControlY", 0.0);
        return;
    }
    axis(r->minX, r->maxX, "ManualScaleControlX", "ManualMinX", "ManualMaxX");
    axis(r->minY, r->maxY, "ManualScaleControlY", "ManualMinY", "ManualMaxY");
}

std::pair<std::string, std::string> SplitLongLabel(const std::string& text) {
    if (codePoints(text) > 48) {
        const std::size_t cut = codePointBytes(text, 48);
        return {text.substr(0, cut), text.substr(cut)};
    }
    return {text, kEmptySlotText};
}

std::string TimeAxisLabel(bool logTimeAxis, double timeScale) {
    const std::string scale = timeScale == 1 ? std::string() : " x " + FormatFaithfully(timeScale, "0.0##E+00");
    return logTimeAxis ? "Log10 Time" + scale + " (sec)" : "Time (sec)" + scale;
}

std::string SubsetToolTip(const Subset& s) {
    const std::string& label = s.label;
    if (label.empty() || label[0] != 'R') return {};
    const std::size_t comma = label.find(',');
    // The comma stands at character 2 to 6 and a number between.
    if (comma == std::string::npos || comma < 1 || comma > 5) return {};
    if (!IsNumeric(std::string_view(label).substr(1, comma - 1))) return {};
    std::string tip;
    if (shownPart(s.longLabel1)) tip += s.longLabel1;
    if (shownPart(s.longLabel2)) tip += s.longLabel2;
    return tip + label.substr(comma);
}

std::vector<std::string> TickLabels(const std::vector<double>& ticks, bool logarithmic) {
    double largest = 0;
    for (double t : ticks) largest = std::max(largest, std::abs(t));
    const bool scientific = logarithmic || (largest > 0 && (largest < 1e-3 || largest >= 1e5));
    // The value a label shows before its exponent.
    auto shown = [scientific](double t) {
        if (!scientific || t == 0) return t;
        return t / std::pow(10.0, std::floor(std::log10(std::abs(t))));
    };
    // The fewest decimals that show every tick as it is.
    int decimals = 0;
    for (; decimals < 8; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        bool exact = true;
        for (double t : ticks) {
            const double v = shown(t) * scale;
            if (std::abs(v - std::round(v)) > 1e-6 * std::max(1.0, std::abs(v))) exact = false;
        }
        if (exact) break;
    }
    const std::string digits = decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
    std::vector<std::string> labels;
    labels.reserve(ticks.size());
    for (double t : ticks) labels.push_back(t == 0 ? "0" : Format(t, scientific ? digits + "e+00" : digits));
    return labels;
}

namespace {

std::array<std::string, 2> readout(double value, const char* name, const char* valuePattern,
                                   const char* powerPattern) {
    // The read-out shows the value in single precision, as far as that
    // reaches.
    const double v = std::abs(value) <= std::numeric_limits<float>::max() ? static_cast<float>(value) : value;
    const double power = std::pow(10.0, v);
    std::array<std::string, 2> lines;
    lines[0] = std::string(name) + " = " + Format(v, valuePattern);
    lines[1] = "10^" + std::string(name) + " = " + (std::isfinite(power) ? Format(power, powerPattern) : "Overflow");
    return lines;
}

}  // namespace

std::array<std::string, 2> XReadout(double x) { return readout(x, "X", "0.00####E+00", "0.000##E+00"); }
std::array<std::string, 2> YReadout(double y) { return readout(y, "Y", "0.000E+00", "0.000E+00"); }

}  // namespace kx::chart
