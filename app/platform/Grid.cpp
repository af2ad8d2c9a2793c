#include "Grid.h"

#include "Desktop.h"
#include "Errors.h"
#include "Format.h"
#include "Text.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <optional>

namespace kx::platform {
namespace {

// Column widths follow the rows in view and this many from the top, so that
// a refresh of a table of thousands of rows stays quick.
constexpr int kFitRows = 250;

bool isNumberType(const QVariant& v) {
    switch (v.metaType().id()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort: return true;
        default: return false;
    }
}

// The value as a number, when it is one or is a numeric text.
std::optional<double> numberOf(const QVariant& v) {
    if (isNumberType(v)) return v.toDouble();
    if (v.metaType().id() == QMetaType::QString) return ParseNumber(FromQ(v.toString()));
    return std::nullopt;
}

bool isBlank(const QVariant& v) { return !v.isValid() || v.isNull() || v.toString().trimmed().isEmpty(); }

// Empty cells first, then numbers by value, then texts without regard to case.
int compareCells(const QVariant& a, const QVariant& b) {
    const bool ea = isBlank(a), eb = isBlank(b);
    if (ea || eb) return ea == eb ? 0 : (ea ? -1 : 1);
    auto na = numberOf(a), nb = numberOf(b);
    if (na && nb) return *na < *nb ? -1 : (*na > *nb ? 1 : 0);
    if (na || nb) return na ? -1 : 1;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

QString displayText(const QVariant& v, const QString& format) {
    if (!v.isValid() || v.isNull()) return QString();
    if (isNumberType(v)) {
        double d = v.toDouble();
        return ToQ(format.isEmpty() ? NumberToText(d) : kx::Format(d, FromQ(format)));
    }
    QString text = v.toString();
    return format.isEmpty() ? text : ToQ(kx::Format(std::string_view(FromQ(text)), FromQ(format)));
}

}  // namespace

QVariant& GridRow::Value(int column) {
    if (column < 1 || column > Count()) throw Error(ErrorKind::SubscriptOutOfRange);
    return values_[static_cast<size_t>(column) - 1];
}

const QVariant& GridRow::Value(int column) const {
    if (column < 1 || column > Count()) throw Error(ErrorKind::SubscriptOutOfRange);
    return values_[static_cast<size_t>(column) - 1];
}

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(Grid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : grid_->ColumnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return QVariant();
        const QVariant& v = fetch(dataRow(index.row() + 1)).Value(index.column() + 1);
        if (role == Qt::DisplayRole) return displayText(v, grid_->Column(index.column() + 1).Format());
        if (role == Qt::EditRole) return isNumberType(v) ? ToQ(NumberToText(v.toDouble())) : v.toString();
        if (role == Qt::TextAlignmentRole) {
            const Qt::Alignment a = grid_->Column(index.column() + 1).Alignment();
            return a ? QVariant(static_cast<int>(a)) : QVariant();
        }
        if (role == Qt::ForegroundRole) {
            const QColor colour = grid_->conditionColour(dataRow(index.row() + 1));
            return colour.isValid() ? QVariant(colour) : QVariant();
        }
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < grid_->ColumnCount())
            return grid_->Column(section + 1).Caption();
        return QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (index.isValid() && grid_->Column(index.column() + 1).Editable()) f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || role != Qt::EditRole) return false;
        const int row = dataRow(index.row() + 1);
        GridRow edited = fetch(row);
        edited.Value(index.column() + 1) = value.toString();
        if (writeRow) writeRow(row, edited);
        cache_[static_cast<size_t>(row) - 1].reset();  // show what the window kept
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
        return true;
    }

    int dataRow(int shownRow) const {
        if (shownRow < 1 || shownRow > rows_) throw Error(ErrorKind::SubscriptOutOfRange);
        return order_[static_cast<size_t>(shownRow) - 1];
    }

    const GridRow& fetch(int row) const {
        auto& slot = cache_[static_cast<size_t>(row) - 1];
        if (!slot) {
            GridRow values(grid_->ColumnCount());
            if (readRow) readRow(row, values);
            slot = std::move(values);
        }
        return *slot;
    }

    void setRows(int rows) {
        beginResetModel();
        rows_ = rows;
        order_.resize(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) order_[static_cast<size_t>(i)] = i + 1;
        dropCache();
        endResetModel();
    }

    void dropCache() {
        cache_.assign(static_cast<size_t>(rows_), std::nullopt);
    }

    // Reorders the shown rows by the keys (stable: equal rows keep data order).
    void sortBy(const std::vector<Grid::SortKey>& keys) {
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        std::vector<int> dataRowsBefore;
        for (const QModelIndex& i : before) dataRowsBefore.push_back(order_[static_cast<size_t>(i.row())]);
        std::sort(order_.begin(), order_.end());
        if (!keys.empty()) {
            std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
                for (const Grid::SortKey& key : keys) {
                    int c = compareCells(fetch(a).Value(key.column), fetch(b).Value(key.column));
                    if (c != 0) return key.order < 0 ? c > 0 : c < 0;
                }
                return false;
            });
        }
        std::vector<int> position(order_.size() + 1);
        for (size_t i = 0; i < order_.size(); ++i) position[static_cast<size_t>(order_[i])] = static_cast<int>(i);
        QModelIndexList after;
        for (size_t k = 0; k < static_cast<size_t>(before.size()); ++k)
            after << index(position[static_cast<size_t>(dataRowsBefore[k])], before[static_cast<qsizetype>(k)].column());
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }

    void columnsChanged(int first, int last, bool inserted) {
        if (inserted) {
            beginInsertColumns(QModelIndex(), first, last);
            dropCache();
            endInsertColumns();
        } else {
            emit headerDataChanged(Qt::Horizontal, first, last);
            if (rows_ > 0) emit dataChanged(index(0, first), index(rows_ - 1, last));
        }
    }

    void refreshed() {
        dropCache();
        if (rows_ > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }

    std::function<void(int, GridRow&)> readRow;
    std::function<void(int, const GridRow&)> writeRow;

private:
    Grid* grid_;
    int rows_ = 0;
    std::vector<int> order_;
    mutable std::vector<std::optional<GridRow>> cache_;
};

void GridColumn::SetCaption(const QString& caption) {
    caption_ = caption;
    if (!grid_) return;
    grid_->model_->columnsChanged(index_ - 1, index_ - 1, false);
    grid_->applyColumnLayout(index_);
}

void GridColumn::SetWidth(int twips) {
    widthTwips_ = twips;
    if (grid_) grid_->applyColumnLayout(index_);
}

void GridColumn::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    if (grid_) grid_->model_->columnsChanged(index_ - 1, index_ - 1, false);
}

void GridColumn::SetFormat(const QString& format) {
    format_ = format;
    if (!grid_) return;
    grid_->model_->columnsChanged(index_ - 1, index_ - 1, false);
    grid_->applyColumnLayout(index_);
}

void GridColumn::SetVisible(bool visible) {
    visible_ = visible;
    if (grid_) grid_->applyColumnLayout(index_);
}

int KeyCodeOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return kKeyReturn;
        case Qt::Key_Escape: return kKeyEscape;
        case Qt::Key_Shift: return kKeyShift;
        case Qt::Key_Control: return kKeyControl;
        case Qt::Key_Alt: return kKeyAlt;
        case Qt::Key_PageUp: return kKeyPageUp;
        case Qt::Key_PageDown: return kKeyPageDown;
        case Qt::Key_End: return kKeyEnd;
        case Qt::Key_Home: return kKeyHome;
        case Qt::Key_Left: return kKeyLeft;
        case Qt::Key_Up: return kKeyUp;
        case Qt::Key_Right: return kKeyRight;
        case Qt::Key_Down: return kKeyDown;
        case Qt::Key_Delete: return kKeyDelete;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Space: return 32;
        case Qt::Key_Insert: return 45;
        default: break;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

Grid::Grid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    setModel(model_);
    setSortingEnabled(false);
    // Rows as high as a line of text needs.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionsClickable(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { widenForShownRows(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (headerClick_ && section >= 0 && section < ColumnCount()) headerClick_(Column(section + 1));
    });
    // Rows keep their height, so a double click anywhere on a row header
    // is one on that row; the row headers carry no text but are wide
    // enough to be double-clicked.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setMinimumWidth(fontMetrics().height() + 6);
    // The shift state of a click is read where the click arrives.
    verticalHeader()->viewport()->installEventFilter(this);
    viewport()->installEventFilter(this);
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        if (rowHeaderDoubleClick_ && section >= 0 && section < RowCount()) rowHeaderDoubleClick_(section + 1, lastShift_);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (rowActivate_ && index.isValid()) rowActivate_(index.row() + 1, lastShift_);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (rowChange_ && current.isValid()) rowChange_(previous.isValid() ? previous.row() + 1 : 0);
            });
}

int ShiftStateOf(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= kShiftMask;
    if (modifiers & Qt::ControlModifier) shift |= kCtrlMask;
    if (modifiers & Qt::AltModifier) shift |= kAltMask;
    return shift;
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            lastShift_ = ShiftStateOf(static_cast<QMouseEvent*>(event)->modifiers());
            break;
        default: break;
    }
    return QTableView::eventFilter(watched, event);
}

Grid::~Grid() = default;

GridColumn& Grid::AddColumn(const QString& key, const QString& caption, int widthTwips, const QString& format) {
    auto column = std::make_unique<GridColumn>();
    column->grid_ = this;
    column->index_ = ColumnCount() + 1;
    column->key_ = key;
    column->caption_ = caption.isNull() ? key : caption;
    column->widthTwips_ = widthTwips;
    column->format_ = format;
    columns_.push_back(std::move(column));
    model_->columnsChanged(ColumnCount() - 1, ColumnCount() - 1, true);
    applyColumnLayout(ColumnCount());
    return *columns_.back();
}

GridColumn& Grid::Column(int index) {
    if (index < 1 || index > ColumnCount()) throw Error(ErrorKind::SubscriptOutOfRange);
    return *columns_[static_cast<size_t>(index) - 1];
}

GridColumn& Grid::Column(const QString& key) {
    for (auto& c : columns_)
        if (c->key_.compare(key, Qt::CaseInsensitive) == 0) return *c;
    throw Error(ErrorKind::SubscriptOutOfRange, "no column \"" + FromQ(key) + "\"");
}

// A column is as wide as its width in twips, and wider where its caption or
// the text of its rows needs it; a column of width 0, or one made
// invisible, stays hidden.
void Grid::applyColumnLayout(int index) {
    const GridColumn& c = Column(index);
    setColumnHidden(index - 1, !c.Visible());
    const int twips = c.Width();
    int pixels = TwipsToPixels(twips);
    if (twips > 0 && c.Visible()) {
        pixels = std::max(pixels, horizontalHeader()->sectionSizeHint(index - 1));
        pixels = std::max(pixels, contentsWidth(index - 1));
    }
    if (columnWidth(index - 1) != pixels) setColumnWidth(index - 1, pixels);
}

// The widest text of the column in rows from..to (as shown).
int Grid::textWidth(int column, int from, int to) const {
    int width = 0;
    for (int r = from; r <= to; ++r) width = std::max(width, sizeHintForIndex(model_->index(r, column)).width());
    return width == 0 ? 0 : width + (showGrid() ? 1 : 0);
}

std::pair<int, int> Grid::shownRows() const {
    const int rows = model_->rowCount();
    int last = rowAt(viewport()->height());
    if (last < 0) last = rows - 1;
    return {std::max(0, rowAt(0)), last};
}

// The rows in view and the first ones of the table; rows scrolled into view
// later widen their columns as they come.
int Grid::contentsWidth(int column) const {
    const int rows = model_->rowCount();
    if (rows == 0) return 0;
    const int top = std::min(rows, kFitRows) - 1;
    const auto [first, last] = shownRows();
    return std::max(textWidth(column, 0, top), textWidth(column, std::max(first, top + 1), last));
}

void Grid::widenForShownRows() {
    if (model_->rowCount() == 0) return;
    const auto [first, last] = shownRows();
    for (int c = 0; c < ColumnCount(); ++c) {
        if (Column(c + 1).Width() == 0 || !Column(c + 1).Visible()) continue;
        const int needed = textWidth(c, first, last);
        if (needed > columnWidth(c)) setColumnWidth(c, needed);
    }
}

void Grid::fitColumns() {
    for (int c = 1; c <= ColumnCount(); ++c) applyColumnLayout(c);
    updateGeometry();
}

QSize Grid::sizeHint() const {
    QSize size = QTableView::sizeHint();
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    if (verticalHeader()->isVisibleTo(this))
        width += std::max(verticalHeader()->sizeHint().width(), verticalHeader()->minimumWidth());
    for (int c = 0; c < ColumnCount(); ++c)
        if (!isColumnHidden(c)) width += columnWidth(c);
    size.setWidth(width);
    return size;
}

void Grid::SetRowCount(int rows) {
    if (rows < 0) throw Error(ErrorKind::InvalidArgument);
    model_->setRows(rows);
    fitColumns();
}

int Grid::RowCount() const { return model_->rowCount(); }

void Grid::OnReadRow(std::function<void(int, GridRow&)> handler) {
    model_->readRow = std::move(handler);
    model_->refreshed();
    fitColumns();
}

void Grid::OnWriteRow(std::function<void(int, const GridRow&)> handler) { model_->writeRow = std::move(handler); }

void Grid::Refresh() {
    model_->refreshed();
    sortRows();
    fitColumns();
}

void Grid::ClearSortKeys() {
    sortKeys_.clear();
    keysCleared_ = true;
    horizontalHeader()->setSortIndicatorShown(false);
}

void Grid::AddSortKey(int column, int order) {
    GridColumn& c = Column(column);
    if (order != 1 && order != -1) throw Error(ErrorKind::InvalidArgument);
    if (keysCleared_ || sortKeys_.empty()) {
        for (auto& other : columns_) other->sortOrder_ = 0;
        keysCleared_ = false;
    }
    sortKeys_.push_back({column, order});
    c.sortOrder_ = order;
    const bool arrowNew = !horizontalHeader()->isSortIndicatorShown();
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(sortKeys_.front().column - 1,
                                         sortKeys_.front().order > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    sortRows();
    // The arrow takes room beside each caption: a narrow column widens so
    // that its caption still reads in full.
    if (arrowNew) fitColumns();
}

void Grid::sortRows() {
    model_->sortBy(sortKeys_);
}

int Grid::Row() const {
    QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int Grid::Col() const {
    QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void Grid::SetRow(int row) {
    if (row < 1 || row > RowCount() || ColumnCount() == 0) throw Error(ErrorKind::InvalidArgument);
    setCurrentIndex(model_->index(row - 1, std::max(Col(), 1) - 1));
}

void Grid::SetCol(int column) {
    if (column < 1 || column > ColumnCount() || RowCount() == 0) throw Error(ErrorKind::InvalidArgument);
    setCurrentIndex(model_->index(std::max(Row(), 1) - 1, column - 1));
}

int Grid::DataRow(int row) const { return model_->dataRow(row); }

void Grid::ShowRow(int row) {
    if (row < 1 || row > RowCount()) throw Error(ErrorKind::InvalidArgument);
    scrollTo(model_->index(row - 1, std::max(Col(), 1) - 1));
}

QString Grid::CellText(int row, int column) const {
    return model_->data(model_->index(row - 1, column - 1), Qt::DisplayRole).toString();
}

QColor Grid::CellTextColour(int row, int column) const {
    return model_->data(model_->index(row - 1, column - 1), Qt::ForegroundRole).value<QColor>();
}

QVariant Grid::Value(int row, int column) const {
    if (row < 1 || row > RowCount() || column < 1 || column > ColumnCount()) throw Error(ErrorKind::SubscriptOutOfRange);
    return model_->fetch(model_->dataRow(row)).Value(column);
}

std::vector<int> Grid::SelectedRows() const {
    std::vector<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) rows.push_back(i.row() + 1);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void Grid::CommitEdit() {
    if (!Editing()) return;
    // The open editor is the shown widget on the viewport (a closed one is
    // hidden until it is deleted).
    for (QObject* child : viewport()->children()) {
        auto* editor = qobject_cast<QWidget*>(child);
        if (!editor || editor->isHidden()) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return;
    }
}

void Grid::ClearFormatConditions() {
    conditions_.clear();
    model_->refreshed();
}

void Grid::AddFormatCondition(const QString& columnKey, const QVariant& value, const QColor& textColour) {
    conditions_.push_back({Column(columnKey).Index(), value, textColour});
    model_->refreshed();
}

QColor Grid::conditionColour(int dataRow) const {
    for (const FormatCondition& c : conditions_)
        if (model_->fetch(dataRow).Value(c.column) == c.value) return c.colour;
    return QColor();
}

void Grid::keyReleaseEvent(QKeyEvent* event) {
    const int code = KeyCodeOf(event->key());
    if (keyUp_ && code != 0 && !event->isAutoRepeat()) keyUp_(code, ShiftStateOf(event->modifiers()));
    QTableView::keyReleaseEvent(event);
}

void Grid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    if (lostFocus_) lostFocus_();
}

void Grid::keyPressEvent(QKeyEvent* event) {
    int code = KeyCodeOf(event->key());
    lastShift_ = ShiftStateOf(event->modifiers());
    if (keyDown_ && code != 0) {
        const int shift = lastShift_;
        keyDown_(code, shift);
        if (code == 0) {
            event->accept();
            return;
        }
    }
    if (code == kKeyReturn && rowActivate_ && Row() > 0) {
        rowActivate_(Row(), lastShift_);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace kx::platform
