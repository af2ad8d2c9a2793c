// The grid in unbound mode: the test plays the window that owns the table.
#include "Desktop.h"
#include "Errors.h"
#include "Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

using kx::platform::Grid;
using kx::platform::GridColumn;
using kx::platform::GridRow;

class GridTest : public QObject {
    Q_OBJECT

    struct Species {
        QString name;
        QVariant fraction;
    };
    std::vector<Species> table;
    std::unique_ptr<Grid> grid;
    int reads = 0;

    // Rows as shown: the name column.
    QStringList shownNames() {
        QStringList names;
        for (int r = 1; r <= grid->RowCount(); ++r) names << grid->CellText(r, 2);
        return names;
    }

private slots:
    void init() {
        table = {{"O2", "0.21"}, {"h2", "1.0E-01"}, {"N2", 0.0}, {"Ar", "5.E-01"}, {"co", QVariant()}};
        grid = std::make_unique<Grid>();
        grid->AddColumn("Num", "No", 600);
        grid->AddColumn("Species", "Species Name", 1600);
        grid->AddColumn("Inval", "Fraction", 1000, "0.##E+00#").SetEditable(true);
        reads = 0;
        grid->OnReadRow([this](int row, GridRow& v) {
            ++reads;
            const Species& s = table.at(static_cast<size_t>(row) - 1);
            v.Value(1) = row;
            v.Value(2) = s.name;
            v.Value(3) = s.fraction.isValid() && s.fraction.toDouble() == 0 && s.fraction.typeId() == QMetaType::Double
                             ? QVariant(QString())
                             : s.fraction;
        });
        grid->OnWriteRow([this](int row, const GridRow& v) {
            table.at(static_cast<size_t>(row) - 1).fraction = v.Value(3).toString();
        });
        grid->SetRowCount(static_cast<int>(table.size()));
    }

    void columnsAreWideEnoughForTheirCaptionsAndRows() {
        grid->AddColumn("MolFormula", "Molecular Formula", 300);
        grid->AddColumn("Hidden", "Hidden", 0);
        const int formula = grid->columnWidth(3);
        QVERIFY(formula >= grid->fontMetrics().horizontalAdvance("Molecular Formula"));
        QCOMPARE(grid->columnWidth(4), 0);
        // A long name read later widens its column; a narrow caption keeps
        // the width the window gave.
        table[1].name = "CH2CHCH2CH2CH2CH2OO";
        grid->Refresh();
        QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance("CH2CHCH2CH2CH2CH2OO"));
        QCOMPARE(grid->columnWidth(0), kx::platform::TwipsToPixels(600));
        grid->Column(2).SetCaption("Name of the species in the mechanism");
        QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance("Name of the species in the mechanism"));
        // The grid asks for room for all its columns.
        int columns = 0;
        for (int c = 0; c < grid->ColumnCount(); ++c) columns += grid->columnWidth(c);
        QVERIFY(grid->sizeHint().width() > columns);
    }

    void aSortedColumnMakesRoomForItsArrow() {
        // A narrow column whose caption fits until the sort arrow shows
        // beside it ("No" would read "Nc").
        grid->AddColumn("Short", "No", 400);
        const int before = grid->columnWidth(3);
        grid->AddSortKey(4, 1);
        QVERIFY(grid->columnWidth(3) >= grid->horizontalHeader()->sectionSizeHint(3));
        QVERIFY(grid->columnWidth(3) > before);
        // Every column: the arrow may come to any of them by a header click.
        for (int c = 0; c < grid->ColumnCount(); ++c)
            QVERIFY(grid->columnWidth(c) >= grid->horizontalHeader()->sectionSizeHint(c));
    }

    void aLongTextFarDownWidensItsColumnWhenItComesIntoView() {
        table.assign(600, Species{"N2", "0.1"});
        table[499].name = "C6H5CH2CH2CH2CH2CH2OO";
        grid->SetRowCount(600);
        grid->resize(400, 300);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        const int longName = grid->fontMetrics().horizontalAdvance(table[499].name);
        QVERIFY(grid->columnWidth(1) < longName);  // only the first rows were measured
        grid->ShowRow(500);
        QVERIFY(grid->columnWidth(1) >= longName);
    }

    void rowsComeFromTheWindowAndShowInTheColumnFormat() {
        QCOMPARE(grid->RowCount(), 5);
        QCOMPARE(grid->CellText(1, 1), QString("1"));
        QCOMPARE(grid->CellText(1, 3), QString("2.1E-01"));
        QCOMPARE(grid->CellText(2, 3), QString("1.E-01"));
        QCOMPARE(grid->CellText(3, 3), QString(""));  // zero shown empty by the window
        QCOMPARE(grid->Column("INVAL").Caption(), QString("Fraction"));  // key without case
        QCOMPARE(grid->Column(2).Key(), QString("Species"));
        QCOMPARE(grid->horizontalHeader()->count(), 3);
    }

    void unknownColumnsRaiseASubscriptError() {
        try {
            grid->Column("Missing");
            QFAIL("no error");
        } catch (const kx::Error& e) {
            QCOMPARE(e.kind(), kx::ErrorKind::SubscriptOutOfRange);
        }
        QVERIFY_THROWS_EXCEPTION(kx::Error, grid->Column(4));
    }

    void sortsNumbersByValueTextsWithoutCaseAndEmptyFirst() {
        grid->AddSortKey(3, 1);
        QCOMPARE(shownNames(), QStringList({"N2", "co", "h2", "O2", "Ar"}));
        QCOMPARE(grid->DataRow(1), 3);
        grid->ClearSortKeys();
        grid->AddSortKey(2, -1);
        QCOMPARE(shownNames(), QStringList({"O2", "N2", "h2", "co", "Ar"}));
        grid->ClearSortKeys();
        grid->AddSortKey(1, 1);
        QCOMPARE(shownNames(), QStringList({"O2", "h2", "N2", "Ar", "co"}));
    }

    void equalRowsKeepTheirDataOrder() {
        table = {{"A", "1"}, {"B", "2"}, {"C", "1"}, {"D", "1.0"}};
        grid->SetRowCount(4);
        grid->AddSortKey(3, -1);
        QCOMPARE(shownNames(), QStringList({"B", "A", "C", "D"}));
    }

    void columnRemembersItsOrderAcrossClearedKeys() {
        grid->AddSortKey(2, 1);
        grid->ClearSortKeys();
        QCOMPARE(grid->Column(2).SortOrder(), 1);  // still readable after the clear
        grid->AddSortKey(3, -1);
        QCOMPARE(grid->Column(2).SortOrder(), 0);  // a new key replaces it
        QCOMPARE(grid->Column(3).SortOrder(), -1);
    }

    void currentCellFollowsItsRowThroughASort() {
        grid->SetRow(2);
        grid->SetCol(2);
        QCOMPARE(grid->Row(), 2);
        QCOMPARE(grid->Col(), 2);
        grid->AddSortKey(2, 1);  // Ar co h2 N2 O2: h2 moves to row 3
        QCOMPARE(grid->Row(), 3);
        QCOMPARE(grid->CellText(grid->Row(), 2), QString("h2"));
        QVERIFY_THROWS_EXCEPTION(kx::Error, grid->SetRow(6));
        QVERIFY_THROWS_EXCEPTION(kx::Error, grid->SetRow(0));
    }

    void editReachesTheWindowAndShowsWhatItKept() {
        grid->AddSortKey(2, 1);  // edit a sorted grid: row 1 shows Ar, data row 4
        QAbstractItemModel* m = grid->model();
        QVERIFY(m->flags(m->index(0, 2)) & Qt::ItemIsEditable);
        QVERIFY(!(m->flags(m->index(0, 1)) & Qt::ItemIsEditable));
        QCOMPARE(m->data(m->index(0, 2), Qt::EditRole).toString(), QString("5.E-01"));
        QVERIFY(m->setData(m->index(0, 2), "0.25", Qt::EditRole));
        QCOMPARE(table[3].fraction.toString(), QString("0.25"));
        QCOMPARE(grid->CellText(1, 3), QString("2.5E-01"));
    }

    void refreshReadsTheRowsAgain() {
        QCOMPARE(grid->CellText(1, 2), QString("O2"));
        table[0].name = "O3";
        QCOMPARE(grid->CellText(1, 2), QString("O2"));  // fetched rows are kept
        grid->Refresh();
        QCOMPARE(grid->CellText(1, 2), QString("O3"));
        grid->SetRowCount(0);
        QCOMPARE(grid->RowCount(), 0);
        QCOMPARE(grid->Row(), 0);
    }

    void hiddenColumnsRowChangesAndACommittedEdit() {
        grid->Column("Num").SetVisible(false);
        QVERIFY(grid->isColumnHidden(0));
        QVERIFY(!grid->Column(1).Visible());
        QCOMPARE(grid->CellText(2, 1), QString("2"));  // the values stay
        grid->Column("Num").SetWidth(800);
        QVERIFY(grid->isColumnHidden(0));

        std::vector<std::pair<int, int>> changes;  // (last row, current row)
        grid->OnRowChange([&](int lastRow) { changes.emplace_back(lastRow, grid->Row()); });
        grid->SetRow(2);
        grid->SetCol(3);  // same row: no change
        grid->SetRow(4);
        QCOMPARE(changes, (std::vector<std::pair<int, int>>{{0, 2}, {2, 4}}));

        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->CommitEdit();  // nothing in progress: nothing happens
        QCOMPARE(table[3].fraction.toString(), QString("5.E-01"));
        grid->edit(grid->model()->index(3, 2));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText("0.75");
        grid->CommitEdit();
        QCOMPARE(table[3].fraction.toString(), QString("0.75"));
        QVERIFY(editor->isHidden());  // the edit is over
        table[3].fraction = "0.5";
        grid->CommitEdit();
        QCOMPARE(table[3].fraction.toString(), QString("0.5"));
    }

    void headerClickAndKeyDownReachTheWindow() {
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        int clicked = 0;
        grid->OnHeaderClick([&](GridColumn& c) { clicked = c.Index(); });
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(clicked, 2);

        std::vector<std::pair<int, int>> keys;
        grid->OnKeyDown([&](int& key, int shift) {
            keys.emplace_back(key, shift);
            if (key == kx::platform::kKeyEnd && shift == kx::platform::kCtrlMask) {
                grid->SetRow(grid->RowCount());
                key = 0;
            }
        });
        grid->SetRow(1);
        QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->Row(), 5);
        QTest::keyClick(grid.get(), Qt::Key_Up);
        QCOMPARE(grid->Row(), 4);  // not swallowed: the grid moved
        QCOMPARE(keys, (std::vector<std::pair<int, int>>{{17, 2}, {35, 2}, {38, 0}}));  // Ctrl, then Ctrl+End
    }

    void aHiddenColumnShowsAgain() {
        grid->Column("Species").SetVisible(false);
        grid->Column(2).SetVisible(true);
        QVERIFY(!grid->isColumnHidden(1));
        QCOMPARE(grid->CellText(1, 2), QString("O2"));
    }

    void formatConditionsColourTheTextOfMatchingRows() {
        grid->AddFormatCondition("species", "N2", Qt::red);
        QCOMPARE(grid->CellTextColour(3, 1), QColor(Qt::red));
        QCOMPARE(grid->CellTextColour(3, 3), QColor(Qt::red));
        QVERIFY(!grid->CellTextColour(1, 1).isValid());
        grid->AddSortKey(2, 1);  // Ar co h2 N2 O2: the colour goes with its row
        QCOMPARE(grid->CellTextColour(4, 2), QColor(Qt::red));
        grid->ClearFormatConditions();
        QVERIFY(!grid->CellTextColour(4, 2).isValid());
    }

    void aColumnPlacesItsTextAsSet() {
        QAbstractItemModel* m = grid->model();
        QVERIFY(!m->data(m->index(0, 2), Qt::TextAlignmentRole).isValid());
        grid->Column(3).SetAlignment(Qt::AlignCenter);
        QCOMPARE(m->data(m->index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QVERIFY(!m->data(m->index(0, 1), Qt::TextAlignmentRole).isValid());
    }

    void aPendingEditIsCommittedInPlace() {
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        for (int row : {1, 5}) {  // the first and the last row
            grid->SetRow(row);
            grid->SetCol(3);
            grid->edit(grid->currentIndex());
            QLineEdit* editor = nullptr;  // the shown one: a closed editor waits hidden for its deletion
            for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
                if (!e->isHidden()) editor = e;
            QVERIFY(editor);
            QVERIFY(grid->Editing());
            editor->setText("0.75");
            QCOMPARE(table[static_cast<size_t>(row) - 1].fraction.toString() == "0.75", false);
            grid->CommitEdit();
            QCOMPARE(table[static_cast<size_t>(row) - 1].fraction.toString(), QString("0.75"));
            QCOMPARE(grid->Row(), row);
            QCOMPARE(grid->Col(), 3);
            QVERIFY(!grid->Editing());
        }
        grid->CommitEdit();  // nothing pending: nothing happens
        QCOMPARE(grid->Row(), 5);
    }

    void modifierKeysAloneKeyUpAndFocusLossReachTheWindow() {
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        // The edge of a row header is no resize handle: rows keep their height.
        int doubleClicked = 0;
        grid->OnRowHeaderDoubleClick([&](int row, int) { doubleClicked = row; });
        QHeaderView* header = grid->verticalHeader();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                           QPoint(header->width() / 2, header->sectionViewportPosition(1) + 1));
        QCOMPARE(doubleClicked, 2);

        std::vector<std::pair<int, int>> down, up;
        grid->OnKeyDown([&](int& key, int shift) { down.emplace_back(key, shift); });
        grid->OnKeyUp([&](int key, int shift) { up.emplace_back(key, shift); });
        int lost = 0;
        grid->OnLostFocus([&] { ++lost; });
        auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
            QKeyEvent event(type, key, modifiers);
            QApplication::sendEvent(grid.get(), &event);
        };
        // As the system sends a modifier key: with the state before the event.
        send(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
        send(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
        send(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
        QCOMPARE(down, (std::vector<std::pair<int, int>>{{kx::platform::kKeyControl, 2}, {kx::platform::kKeyAlt, 4}}));
        QCOMPARE(up, (std::vector<std::pair<int, int>>{{kx::platform::kKeyControl, 0}}));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(grid.get(), &out);
        QCOMPARE(lost, 1);
    }

    void rowDoubleClicksAndActivationCarryTheShiftState() {
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->AddSortKey(2, 1);  // shown: Ar, co, h2, N2, O2
        std::vector<std::pair<int, int>> headerClicks, activations;
        grid->OnRowHeaderDoubleClick([&](int row, int shift) { headerClicks.emplace_back(row, shift); });
        grid->OnRowActivate([&](int row, int shift) { activations.emplace_back(row, shift); });
        QHeaderView* rows = grid->verticalHeader();
        rows->setMinimumWidth(20);  // a header without texts is a narrow strip
        auto onRow = [&](int row) {
            return QPoint(rows->width() / 2, rows->sectionViewportPosition(row - 1) + rows->sectionSize(row - 1) / 2);
        };
        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, Qt::ControlModifier, onRow(2));
        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier, onRow(4));
        QCOMPARE(headerClicks, (std::vector<std::pair<int, int>>{{2, 2}, {4, 5}}));
        QCOMPARE(grid->Value(2, 2), QVariant("co"));  // the value behind the shown row
        QCOMPARE(grid->Value(2, 1), QVariant(5));

        const QRect cell = grid->visualRect(grid->model()->index(2, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());  // a double click's first click
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        grid->SetRow(5);
        QTest::keyClick(grid.get(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(activations, (std::vector<std::pair<int, int>>{{3, 0}, {5, 2}}));
        QVERIFY_THROWS_EXCEPTION(kx::Error, grid->Value(6, 1));
    }

    void selectedRowsAreTheShownRowsInOrder() {
        for (int row : {3, 0})
            grid->selectionModel()->select(grid->model()->index(row, 1),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(grid->SelectedRows(), (std::vector<int>{1, 4}));
        grid->clearSelection();
        QVERIFY(grid->SelectedRows().empty());
    }
};

QTEST_MAIN(GridTest)
#include "GridTest.moc"
