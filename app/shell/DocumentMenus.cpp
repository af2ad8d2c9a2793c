#include "DocumentMenus.h"

#include "Help.h"
#include "MDIForm1.h"
#include "Messages.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <string>

namespace kx::shell {

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& caption, bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    return a;
}

void OnMenuCommand(QObject* context, QAction* entry, const char* tag, std::function<void()> body) {
    QObject::connect(entry, &QAction::triggered, context, [tag, body = std::move(body)] { Trap(tag, body); });
}

void AddWindowAndHelpMenus(QObject* context, QMenuBar* bar, const WindowAndHelpNames& names) {
    QMenu* window = AddMenu(bar, names.windowMenu, "Window");
    const char* arrangements[] = {"Cascade", "Tile Horizontally", "Tile Vertically", "Arrange Icons"};
    for (int n = 0; n < 4; ++n) {
        const std::string name = names.entryPrefix + std::to_string(n);
        OnMenuCommand(context, AddMenuEntry(window, name.c_str(), arrangements[n]), names.windowTag, [n] {
            if (MDIForm1* main = MainForm()) main->ArrangeChildren(n);
        });
    }
    QMenu* help = AddMenu(bar, names.helpMenu, "Help");
    OnMenuCommand(context, AddMenuEntry(help, names.helpEntry, "User Guide"), names.helpTag, [] { ShowHelp(); });
}

}  // namespace kx::shell
