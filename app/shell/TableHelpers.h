// Helpers for the program's tables: the header-click sort rule of a grid,
// sorting reaction rows by the magnitude of a value, picking the rows that
// make up the important part of a total, and testing a chart for real data.
#pragma once

#include "Capabilities.h"
#include "Variant.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kx {

// What a click on a grid's column header does with the sort keys: after the
// keys are cleared, the one key (column, order: 1 ascending, -1 descending)
// is added; a click on the key column also makes row 1 current and does not
// refresh, any other click refreshes the grid.
struct SortKeyChoice {
    int column = 0;
    int order = 1;
    bool firstRowCurrent = false;
    bool refresh = false;
};

// clickedOrder is the clicked column's present sort order (1 ascending,
// anything else unsorted or descending).
SortKeyChoice ChooseSortKey(int clickedColumn, int clickedOrder, int keyColumn);

// Rows 1 to n are used (row 0 is spare); columns 0 to 2 move together.
using RowTable = std::vector<std::array<Variant, 3>>;

// Reorders rows 1..n by decreasing absolute value of the key column (an
// exchange sort: rows of equal magnitude keep their order). A table with
// fewer rows than n raises a subscript error; a text value that is not a
// number raises a type mismatch.
void SortRowsByAbsColumn(std::int32_t n, RowTable& table, std::int32_t key);

// For rows 1..n sorted by decreasing magnitude: count is the number of
// leading rows to keep so that the dropped rows together make up at most the
// share of the total magnitude, plus the largest dropped row when it alone
// exceeds 0.3 of that allowed loss. count is 0 when the allowed loss is 0.
void SelectByContribution(std::int32_t n, const RowTable& table, std::int32_t key, double share,
                          std::int32_t& count);

// True when some point of the chart has an X and a Y value that are both
// numbers and neither is the missing value.
bool GraphHasData(const platform::ChartDataSource& chart);

}  // namespace kx
