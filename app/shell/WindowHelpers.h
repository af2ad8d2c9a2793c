// Shell helpers that work on windows: the main window itself, header-click
// sorting of a grid, restoring the main window before a solver run, and the
// test of the active chart for data. None has an error trap of its own: a
// failure reaches the caller's trap.
#pragma once

#include "Grid.h"

class QMainWindow;
class QMdiArea;
class QWidget;

namespace kx::shell {

// The main window of the program (set once by the main window itself).
void SetMainWindow(QMainWindow* window);
QMainWindow* MainWindow();

// The main window's area of document windows (set by the main window);
// nullptr without one.
void SetDocumentArea(QMdiArea* area);
QMdiArea* DocumentArea();

// Moves a dialog to the main window's left and top plus the offsets
// (twips); without a main window it stays where it is.
void PlaceOnMainWindow(QWidget* dialog, int leftTwips, int topTwips);

// A click on a column header: the key column returns the grid to ascending
// order on it and makes row 1 current; any other column sorts ascending,
// or descending when it was ascending, and the grid is refreshed.
void SortGridByColumn(platform::Grid& grid, platform::GridColumn& clicked, int keyColumn);

// When the main window is maximised: MainWasMaximized := true and the window
// is set to normal at -60, -60 twips with the screen's width and the screen's
// height less 200 twips. Otherwise MainWasMaximized := false and nothing
// changes.
void NormalizeMdiWindow();

// True when the active document window is a chart holding at least one
// point with real X and Y values; a window that is no chart raises an error.
bool ActiveGraphHasData();

}  // namespace kx::shell
