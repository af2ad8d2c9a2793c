#include "TableHelpers.h"

#include "Errors.h"
#include "SharedState.h"

#include <cmath>
#include <utility>

namespace kx {
namespace {

double magnitude(const RowTable& table, std::int32_t row, std::int32_t key) {
    if (row < 0 || static_cast<size_t>(row) >= table.size() || key < 0 || key > 2)
        throw Error(ErrorKind::SubscriptOutOfRange);
    return std::fabs(NumberOf(table[static_cast<size_t>(row)][static_cast<size_t>(key)]));
}

}  // namespace

SortKeyChoice ChooseSortKey(int clickedColumn, int clickedOrder, int keyColumn) {
    SortKeyChoice c;
    c.column = clickedColumn;
    if (clickedColumn == keyColumn) {
        c.order = 1;
        c.firstRowCurrent = true;
        return c;
    }
    c.order = clickedOrder == 1 ? -1 : 1;
    c.refresh = true;
    return c;
}

void SortRowsByAbsColumn(std::int32_t n, RowTable& table, std::int32_t key) {
    if (n <= 1) return;
    magnitude(table, n, key);  // the whole range must exist before anything moves
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (std::int32_t i = 1; i <= n - 1; ++i) {
            if (magnitude(table, i, key) < magnitude(table, i + 1, key)) {
                std::swap(table[static_cast<size_t>(i)], table[static_cast<size_t>(i) + 1]);
                exchanged = true;
            }
        }
    }
}

void SelectByContribution(std::int32_t n, const RowTable& table, std::int32_t key, double share,
                          std::int32_t& count) {
    count = 0;
    // Summed in the order of the walk below, so that a share of 1 compares
    // the whole running sum with a total of the very same bits.
    double total = 0;
    for (std::int32_t i = n; i >= 1; --i) total += magnitude(table, i, key);
    const double allowed = total * share;
    if (allowed == 0) return;
    double running = 0;
    for (std::int32_t i = n; i >= 1; --i) {
        running += magnitude(table, i, key);
        if (running > allowed) {
            count = i;
            break;
        }
    }
    if (count < n && magnitude(table, count + 1, key) / allowed > 0.3) ++count;
}

bool GraphHasData(const platform::ChartDataSource& chart) {
    const int subsets = chart.Subsets();
    const int points = chart.Points();
    for (int s = 0; s < subsets; ++s) {
        for (int p = 0; p < points; ++p) {
            double x = chart.XDataII(s, p);
            double y = chart.YDataII(s, p);
            if (std::isfinite(x) && std::isfinite(y) && x != kMissingValue && y != kMissingValue) return true;
        }
    }
    return false;
}

}  // namespace kx
