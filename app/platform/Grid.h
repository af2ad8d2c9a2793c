// The grid control: a table on QTableView that holds no data of its own.
//
// The window sets the row count and answers ReadRow (fill the values of a
// data row) and WriteRow (take back a row the user edited). Rows and columns
// are counted from 1: row r is the r-th row as shown (after sorting); the
// data row behind it is DataRow(r). Columns are found by index or by key and
// carry a caption, a width in twips and a display format (a Format pattern
// applied to numbers and to numeric texts). A column is never narrower than
// its caption and the texts of its rows need (a width of 0 hides it); the
// grid's size hint is wide enough for all its columns.
//
// Sorting follows the sort keys (column, 1 ascending or -1 descending):
// numbers and numeric texts compare by value, other texts without regard to
// letter case, empty cells first; rows that compare equal keep their data
// order. A column remembers the order of the last key set on it, so a header
// click can read it after the keys were cleared.
#pragma once

#include <QTableView>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kx::platform {

class GridModel;

// The values of one row, by column index from 1.
class GridRow {
public:
    explicit GridRow(int columns = 0) : values_(static_cast<size_t>(columns)) {}
    int Count() const { return static_cast<int>(values_.size()); }
    QVariant& Value(int column);
    const QVariant& Value(int column) const;

private:
    std::vector<QVariant> values_;
};

class GridColumn {
public:
    int Index() const { return index_; }
    const QString& Key() const { return key_; }
    const QString& Caption() const { return caption_; }
    int Width() const { return widthTwips_; }
    const QString& Format() const { return format_; }
    int SortOrder() const { return sortOrder_; }
    bool Editable() const { return editable_; }
    bool Visible() const { return visible_; }

    void SetCaption(const QString& caption);
    void SetWidth(int twips);
    void SetFormat(const QString& format);
    void SetEditable(bool editable) { editable_ = editable; }
    // A hidden column keeps its values; the window still reads and writes them.
    void SetVisible(bool visible);

private:
    friend class Grid;
    friend class GridModel;
    class Grid* grid_ = nullptr;
    int index_ = 0;
    QString key_, caption_, format_;
    int widthTwips_ = 0;
    int sortOrder_ = 0;
    bool editable_ = false;
    bool visible_ = true;
};

// Key codes as the key-down handler sees them, and its shift state bits.
inline constexpr int kKeyReturn = 13, kKeyEscape = 27, kKeyPageUp = 33, kKeyPageDown = 34, kKeyEnd = 35,
                     kKeyHome = 36, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40, kKeyDelete = 46;
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

// The key code of a Qt key: the codes above, letters and digits as their
// capital ASCII code, F1 to F12 as 112 to 123, others 0.
int KeyCodeOf(int qtKey);

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    GridColumn& AddColumn(const QString& key, const QString& caption = QString(), int widthTwips = 1000,
                          const QString& format = QString());
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // Unknown indexes and keys raise a subscript error (kx::Error).
    GridColumn& Column(int index);
    GridColumn& Column(const QString& key);  // key compared without regard to letter case

    void SetRowCount(int rows);  // drops every fetched row
    int RowCount() const;
    void OnReadRow(std::function<void(int dataRow, GridRow& values)> handler);
    void OnWriteRow(std::function<void(int dataRow, const GridRow& values)> handler);
    // Fetches every row again and sorts by the keys.
    void Refresh();

    void ClearSortKeys();
    void AddSortKey(int column, int order);  // sorts at once
    int SortKeyCount() const { return static_cast<int>(sortKeys_.size()); }

    // The current cell; Row() is 0 when there is none. Setting a row or
    // column out of range raises an invalid-argument error.
    int Row() const;
    int Col() const;
    void SetRow(int row);
    void SetCol(int column);
    int DataRow(int row) const;
    void ShowRow(int row);  // scrolls the row into view

    // The text shown in a cell (row as shown).
    QString CellText(int row, int column) const;

    // Runs after the current row has changed (by the user or by SetRow);
    // lastRow is the row that was current before (0 for none).
    void OnRowChange(std::function<void(int lastRow)> handler) { rowChange_ = std::move(handler); }
    // Ends a cell edit in progress and hands the edited row to the window.
    void CommitEdit();

    void OnHeaderClick(std::function<void(GridColumn&)> handler) { headerClick_ = std::move(handler); }
    // Runs before the grid handles a key; setting keyCode to 0 swallows it.
    void OnKeyDown(std::function<void(int& keyCode, int shift)> handler) { keyDown_ = std::move(handler); }

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class GridColumn;
    friend class GridModel;
    struct SortKey {
        int column;
        int order;
    };
    void applyColumnLayout(int index);
    void fitColumns();
    int textWidth(int column, int from, int to) const;
    std::pair<int, int> shownRows() const;
    int contentsWidth(int column) const;
    void widenForShownRows();
    void sortRows();

    std::vector<std::unique_ptr<GridColumn>> columns_;
    std::vector<SortKey> sortKeys_;
    bool keysCleared_ = false;
    GridModel* model_;
    std::function<void(GridColumn&)> headerClick_;
    std::function<void(int&, int)> keyDown_;
    std::function<void(int)> rowChange_;
};

}  // namespace kx::platform
