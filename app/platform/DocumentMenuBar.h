// The main window's menu bar follows the active document window.
//
// A document window builds its menus on a menu bar of its own: the bar of a
// QMainWindow (menuBar()), or a QMenuBar that is a direct child of the
// window (a layout's setMenuBar). While the window lies in the main
// window's document area its own bar stays hidden; while it is the current
// document window, its menus stand in the main window's bar in place of the
// main window's own menus, and their shortcuts work there. A document window
// without menus, and no document window at all, show the main window's own
// menus. Menus that a document window adds, removes, hides or disables
// later show in the main bar as they change.
//
// The main window builds its own menus first and then makes one
// DocumentMenus for its bar and its document area.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMdiArea;
class QMenuBar;
class QWidget;

namespace kx::platform {

class DocumentMenus : public QObject {
public:
    // The main window's own menus are the ones in mainBar now.
    DocumentMenus(QMenuBar* mainBar, QMdiArea* area);
    ~DocumentMenus() override;

    // Puts the menus of the current document window (or the main window's
    // own) into the main bar; runs by itself on every change of the active
    // window and of a document window's bar.
    void Sync();

    // The document window whose menus the main bar shows; nullptr when it
    // shows the main window's own.
    QWidget* ShownDocument() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideDocumentBars();
    void showMenus(const QList<QAction*>& menus);

    QPointer<QMenuBar> mainBar_;
    QPointer<QMdiArea> area_;
    QPointer<QObject> viewport_;  // compared only: it may be part destroyed
    QList<QPointer<QAction>> own_;
    QPointer<QWidget> shown_;
    bool syncing_ = false;
};

// The menu bar on which a document window built its menus; nullptr when it
// has none.
QMenuBar* DocumentMenuBar(QWidget* window);

}  // namespace kx::platform
