#include "Toolbar.h"

#include <QAction>
#include <QFont>
#include <QPainter>
#include <QPixmap>

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

QIcon LabelIcon(const QString& themeName, const QString& label) {
    if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    QPixmap pixmap(44, 44);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 110), 2));
    painter.setBrush(QColor(235, 240, 250));
    painter.drawRoundedRect(QRectF(2, 2, 40, 40), 7, 7);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(label.size() > 2 ? 14 : 19);
    painter.setFont(font);
    painter.setPen(QColor(20, 30, 80));
    painter.drawText(QRectF(0, 0, 44, 44), Qt::AlignCenter, label);
    return QIcon(pixmap);
}

}  // namespace kx::platform
