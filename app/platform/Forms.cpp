#include "Forms.h"

#include "Files.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace kx::platform {
namespace {

std::vector<Form*> loaded;
std::function<Form*()> activeSource;

void forget(Form* form) { loaded.erase(std::remove(loaded.begin(), loaded.end(), form), loaded.end()); }

bool sameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

template <class Capability>
Form* findByPath(const std::string& path, std::string (Capability::*method)() const) {
    for (Form* f : loaded)
        if (auto* c = dynamic_cast<Capability*>(f); c && (c->*method)() == path) return f;
    return nullptr;
}

}  // namespace

Form::Form(QWidget* widget, QString typeName) : widget_(widget), typeName_(std::move(typeName)) {
    loaded.push_back(this);
}

Form::~Form() { forget(this); }

void Form::HandleClose(QCloseEvent* event) {
    if (!unloading_ && !QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    forget(this);
    widget_->setAttribute(Qt::WA_DeleteOnClose);
}

std::vector<Form*> Forms() { return loaded; }

bool IsLoaded(const Form* form) { return std::find(loaded.begin(), loaded.end(), form) != loaded.end(); }

Form* FindForm(const QString& typeName) {
    for (Form* f : loaded)
        if (sameText(f->TypeName(), typeName)) return f;
    return nullptr;
}

std::vector<Form*> FindForms(const QString& typeName) {
    std::vector<Form*> found;
    for (Form* f : loaded)
        if (sameText(f->TypeName(), typeName)) found.push_back(f);
    return found;
}

Form* FindFormByCaption(const QString& caption) {
    for (Form* f : loaded)
        if (sameText(f->Caption(), caption)) return f;
    return nullptr;
}

Form* FindFormByMePath(const std::string& path) { return findByPath(path, &HasMePath::MePath); }

Form* FindFormBySolverFilePath(const std::string& path) {
    return findByPath(path, &HasSolverFilePath::SolverFilePath);
}

Form* FindFormShowingFile(const std::string& path, const Form* except) {
    for (Form* f : loaded)
        if (auto* shown = dynamic_cast<ShowsFile*>(f); shown && f != except && files::SameFile(shown->ShownFile(), path))
            return f;
    return nullptr;
}

Form* ActiveDocument() { return activeSource ? activeSource() : nullptr; }

void SetActiveDocumentSource(std::function<Form*()> source) { activeSource = std::move(source); }

void UnloadAll(const QString& typeName) {
    for (Form* form : FindForms(typeName)) Unload(form);
}

bool Unload(Form* form) {
    if (!form || !IsLoaded(form)) return true;
    if (!form->QueryUnload()) return false;
    form->unloading_ = true;
    // Closing a document frame may make the area activate another window
    // (a frame loaded hidden and refused does so once a message box has
    // come and gone): the user stays in the window they are in.
    Form* active = ActiveDocument();
    forget(form);
    QWidget* top = OuterWidget(form);
    top->setAttribute(Qt::WA_DeleteOnClose);
    top->close();
    if (active && active != form && IsLoaded(active) && ActiveDocument() != active) BringToFront(active);
    return true;
}

void BringToFront(Form* form) {
    if (!form) return;
    if (QMdiSubWindow* sub = MdiFrame(form)) {
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
        sub->raise();
        return;
    }
    form->Widget()->raise();
    form->Widget()->activateWindow();
}

QMdiSubWindow* MdiFrame(const Form* form) {
    return form ? qobject_cast<QMdiSubWindow*>(form->Widget()->parentWidget()) : nullptr;
}

QWidget* OuterWidget(const Form* form) {
    QMdiSubWindow* frame = MdiFrame(form);
    return frame ? static_cast<QWidget*>(frame) : form->Widget();
}

}  // namespace kx::platform
