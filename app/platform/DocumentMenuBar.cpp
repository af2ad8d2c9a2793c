#include "DocumentMenuBar.h"

#include <QChildEvent>
#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace kx::platform {

QMenuBar* DocumentMenuBar(QWidget* window) {
    if (!window) return nullptr;
    if (auto* main = qobject_cast<QMainWindow*>(window)) return qobject_cast<QMenuBar*>(main->menuWidget());
    return window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

DocumentMenus::DocumentMenus(QMenuBar* mainBar, QMdiArea* area)
    : QObject(mainBar), mainBar_(mainBar), area_(area), viewport_(area->viewport()) {
    for (QAction* a : mainBar->actions()) own_.append(a);
    connect(area, &QMdiArea::subWindowActivated, this, [this] { Sync(); });
    viewport_->installEventFilter(this);
    Sync();
}

DocumentMenus::~DocumentMenus() = default;

void DocumentMenus::Sync() {
    if (!mainBar_ || !area_ || syncing_) return;
    syncing_ = true;
    hideDocumentBars();
    // The current window stays current while a dialog or another program
    // has the focus, so its menus stay in the bar meanwhile.
    QMdiSubWindow* sub = area_->currentSubWindow();
    QWidget* document = sub && !sub->isHidden() ? sub->widget() : nullptr;
    QMenuBar* bar = DocumentMenuBar(document);
    const QList<QAction*> menus = bar ? bar->actions() : QList<QAction*>();
    if (menus.isEmpty()) {
        shown_ = nullptr;
        QList<QAction*> own;
        for (const QPointer<QAction>& a : own_)
            if (a) own.append(a);
        showMenus(own);
    } else {
        shown_ = document;
        showMenus(menus);
    }
    syncing_ = false;
}

void DocumentMenus::hideDocumentBars() {
    for (QMdiSubWindow* sub : area_->subWindowList()) {
        sub->installEventFilter(this);
        QWidget* document = sub->widget();
        if (!document) continue;
        document->installEventFilter(this);
        if (QMenuBar* bar = DocumentMenuBar(document)) {
            bar->installEventFilter(this);
            if (!bar->isHidden()) bar->hide();
        }
    }
}

void DocumentMenus::showMenus(const QList<QAction*>& menus) {
    if (mainBar_->actions() == menus) return;
    for (QAction* a : mainBar_->actions()) mainBar_->removeAction(a);
    mainBar_->addActions(menus);
}

// Windows and menus going away (also while the area itself is being
// destroyed) only ask for a later Sync: nothing of the area is touched here
// then.
bool DocumentMenus::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    auto syncLater = [this] { QMetaObject::invokeMethod(this, [this] { Sync(); }, Qt::QueuedConnection); };
    if (watched == viewport_) {
        // A new document window's frame, or one going away.
        if (type == QEvent::ChildAdded) {
            if (auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child()))
                sub->installEventFilter(this);
        } else if (type == QEvent::ChildRemoved) {
            syncLater();
        }
    } else if (qobject_cast<QMenuBar*>(watched)) {
        // A document window's own bar: shown again, or its menus changed.
        if (type == QEvent::Show || type == QEvent::ActionAdded) Sync();
        if (type == QEvent::ActionRemoved) syncLater();
    } else if (type == QEvent::Show && qobject_cast<QMdiSubWindow*>(watched)) {
        Sync();
    } else if (type == QEvent::ChildAdded) {
        // A document window that makes its bar only now: the bar is not
        // complete until this event is over.
        syncLater();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kx::platform
