#include "WindowHelpers.h"

#include "Desktop.h"
#include "Errors.h"
#include "Forms.h"
#include "SharedState.h"
#include "TableHelpers.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>

namespace kx::shell {
namespace {
QPointer<QMainWindow> mainWindow;
QPointer<QMdiArea> documentArea;
}

void SetMainWindow(QMainWindow* window) { mainWindow = window; }
QMainWindow* MainWindow() { return mainWindow.data(); }

void SetDocumentArea(QMdiArea* area) { documentArea = area; }
QMdiArea* DocumentArea() { return documentArea.data(); }

void PlaceOnMainWindow(QWidget* dialog, int leftTwips, int topTwips) {
    if (QMainWindow* main = MainWindow())
        dialog->move(main->frameGeometry().topLeft() +
                     QPoint(platform::TwipsToPixels(leftTwips), platform::TwipsToPixels(topTwips)));
}

void SortGridByColumn(platform::Grid& grid, platform::GridColumn& clicked, int keyColumn) {
    const int index = clicked.Index();
    const int orderBefore = clicked.SortOrder();
    grid.ClearSortKeys();
    SortKeyChoice choice = ChooseSortKey(index, orderBefore, keyColumn);
    grid.AddSortKey(choice.column, choice.order);
    if (choice.firstRowCurrent) grid.SetRow(1);
    if (choice.refresh) grid.Refresh();
}

void NormalizeMdiWindow() {
    QMainWindow* w = MainWindow();
    if (!w) throw Error(ErrorKind::ObjectNotSet);
    Shared().MainWasMaximized = w->isMaximized();
    if (!Shared().MainWasMaximized) return;
    w->showNormal();
    const int edge = platform::TwipsToPixels(-60);
    w->move(edge, edge);
    w->resize(platform::TwipsToPixels(platform::ScreenWidthTwips()),
              platform::TwipsToPixels(platform::ScreenHeightTwips() - 200));
}

bool ActiveGraphHasData() {
    return GraphHasData(platform::Require<platform::ChartDataSource>(platform::ActiveDocument()));
}

}  // namespace kx::shell
