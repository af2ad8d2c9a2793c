// A two-dimensional table with 0-based rows and columns, stored row by row.
//
// The results tables keep the column numbers of the solver file (column 1 is
// the first field of a record), so column 0 and row 0 are usually left empty.
#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

namespace kx {

template <class T>
class Table2 {
public:
    Table2() = default;

    // Resizes to rows x cols and sets every cell to T{}.
    void Resize(int rows, int cols) {
        assert(rows >= 0 && cols >= 0);
        rows_ = rows;
        cols_ = cols;
        cells_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), T{});
    }
    void Fill(const T& value) { cells_.assign(cells_.size(), value); }

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }

    T& operator()(int r, int c) {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)];
    }
    const T& operator()(int r, int c) const {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)];
    }

private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<T> cells_;
};

}  // namespace kx
