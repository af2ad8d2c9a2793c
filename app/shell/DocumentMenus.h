// Building the menus of a document window on its own menu bar: menus and
// entries carry object names (the names other code finds them by), and a
// command runs inside the error trap of its tag.
#pragma once

#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QObject;

namespace kx::shell {

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption);
QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& caption, bool checkable = false);
// Runs the body in Trap(tag) whenever the entry is chosen, while the
// context object lives.
void OnMenuCommand(QObject* context, QAction* entry, const char* tag, std::function<void()> body);

// The Window menu (Cascade, Tile Horizontally, Tile Vertically, Arrange
// Icons; entries named entryPrefix0..3) and the Help menu with "User Guide"
// that every document window has.
struct WindowAndHelpNames {
    const char* windowMenu;
    const char* entryPrefix;
    const char* windowTag;
    const char* helpMenu;
    const char* helpEntry;
    const char* helpTag;
};
void AddWindowAndHelpMenus(QObject* context, QMenuBar* bar, const WindowAndHelpNames& names);

}  // namespace kx::shell
