#include "ChartArrangement.h"

#include <algorithm>
#include <cmath>

namespace kx::chart {
namespace {

int ceilDiv(int a, int b) { return (a + b - 1) / b; }

// A place for the legend: its rows and columns and the room each label has
// there; no rows when the legend does not fit at all.
struct Candidate {
    LegendPlace place;
    int rows = 0;
    int columns = 0;
    double room = 0;
    bool usable() const { return rows > 0; }
};

int rowsWithin(const LegendMetrics& m, double height) {
    const double free = height - m.frame.down;
    if (!(free >= m.entryHeight) || !(m.entryHeight > 0)) return 0;
    return static_cast<int>(std::floor((free + m.rowSpacing) / (m.entryHeight + m.rowSpacing)));
}

double roomPerColumn(const LegendMetrics& m, double width, int columns) {
    return (width - (columns - 1) * m.columnSpacing) / columns - m.entryExtra;
}

// Beside the plot: a column as tall as the plot's part of the chart, more
// columns when the entries need them.
Candidate beside(const LegendMetrics& m, int entries) {
    Candidate c{LegendPlace::Right};
    const int rows = rowsWithin(m, m.bodyHeight - m.beside.down);
    if (rows == 0) return c;
    c.columns = ceilDiv(entries, rows);
    c.rows = ceilDiv(entries, c.columns);
    const double width = std::min(m.chartWidth * kLegendWidthShare, m.chartWidth - m.plotMinWidth);
    c.room = roomPerColumn(m, width - m.beside.across - m.frame.across, c.columns);
    return c;
}

// Below the plot: as many columns side by side as the widest label allows,
// more (and narrower) when the rows would take too much of the height.
Candidate below(const LegendMetrics& m, int entries, double widest) {
    Candidate c{LegendPlace::Below};
    const double height = std::min(m.chartHeight * kLegendHeightShare, m.bodyHeight - m.plotMinHeight);
    const int rows = rowsWithin(m, height - m.below.down);
    if (rows == 0) return c;
    const double width = m.chartWidth - m.below.across - m.frame.across;
    const int needed = ceilDiv(entries, rows);
    const double entry = widest + m.entryExtra + m.columnSpacing;
    const int fitting = entry > 0 ? static_cast<int>(std::floor((width + m.columnSpacing) / entry)) : entries;
    const int columns = std::clamp(fitting, needed, entries);
    c.rows = ceilDiv(entries, columns);
    c.columns = ceilDiv(entries, c.rows);
    c.room = roomPerColumn(m, width, c.columns);
    return c;
}

}  // namespace

LegendPlan PlanLegend(const LegendMetrics& m) {
    const int entries = static_cast<int>(m.textWidths.size());
    if (entries == 0) return {};
    const double widest = *std::max_element(m.textWidths.begin(), m.textWidths.end());
    const Candidate candidates[] = {beside(m, entries), below(m, entries, widest)};
    const Candidate* chosen = nullptr;
    for (const Candidate& c : candidates)
        if (c.usable() && widest <= c.room) {
            chosen = &c;
            break;
        }
    if (!chosen)
        for (const Candidate& c : candidates)
            if (c.usable() && (!chosen || c.room > chosen->room)) chosen = &c;
    if (!chosen || !(chosen->room >= m.minTextWidth)) return {};
    return {chosen->place, chosen->columns, chosen->rows, std::min(widest, chosen->room), widest > chosen->room};
}

BarLabelPlan PlanBarLabels(const BarLabelMetrics& m) {
    const int first = std::max(1, m.first);
    const int last = std::min(static_cast<int>(m.lengths.size()), m.last);
    if (first > last || m.labelHeights.empty() || !(m.barPitch >= kMinLabelledBarPitch)) return {};
    BarLabelPlan plan{true, static_cast<int>(m.labelHeights.size()) - 1, 1, {}};
    for (std::size_t i = 0; i < m.labelHeights.size(); ++i)
        if (m.labelHeights[i] + m.gap <= m.barPitch) {
            plan.sizeIndex = static_cast<int>(i);
            break;
        }
    plan.step = std::max(1, static_cast<int>(std::ceil((m.labelHeights[static_cast<std::size_t>(plan.sizeIndex)] + m.gap) /
                                                       m.barPitch)));
    // The bars by importance; each is named when no named bar is nearer
    // than step.
    std::vector<int> order;
    for (int k = first; k <= last; ++k) order.push_back(k);
    auto length = [&m](int k) {
        const double v = std::abs(m.lengths[static_cast<std::size_t>(k - 1)]);
        return std::isfinite(v) ? v : 0.0;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const bool aFirst = a == m.selected, bFirst = b == m.selected;
        if (aFirst != bFirst) return aFirst;
        return length(a) > length(b);
    });
    std::vector<bool> taken(static_cast<std::size_t>(last + 1), false);
    for (int k : order) {
        bool free = true;
        for (int d = 1 - plan.step; d < plan.step && free; ++d)
            free = !(k + d >= first && k + d <= last && taken[static_cast<std::size_t>(k + d)]);
        if (free) taken[static_cast<std::size_t>(k)] = true;
    }
    for (int k = first; k <= last; ++k)
        if (taken[static_cast<std::size_t>(k)]) plan.bars.push_back(k);
    return plan;
}

}  // namespace kx::chart
