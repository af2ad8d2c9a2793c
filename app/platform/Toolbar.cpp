#include "Toolbar.h"

#include <QAction>

namespace kx::platform {

Toolbar::Toolbar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(22, 22));
}

QAction* Toolbar::AddButton(const QString& key, const QString& tooltip, const QIcon& icon) {
    QAction* action = addAction(icon, tooltip);
    action->setObjectName(key);
    action->setToolTip(tooltip);
    connect(action, &QAction::triggered, this, [this, key] {
        if (handler_) handler_(key);
    });
    return action;
}

void Toolbar::AddSeparator() { addSeparator(); }

int Toolbar::ButtonCount() const { return static_cast<int>(actions().size()); }

QAction* Toolbar::Button(int index) const {
    const QList<QAction*> all = actions();
    if (index < 1 || index > all.size()) return nullptr;
    return all[index - 1];
}

QAction* Toolbar::Button(const QString& key) const {
    for (QAction* a : actions())
        if (!a->isSeparator() && a->objectName() == key) return a;
    return nullptr;
}

}  // namespace kx::platform
