#include "FormRegistry.h"

#include "Errors.h"
#include "Modal.h"
#include "WindowHelpers.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <map>

namespace kx::shell {
namespace {

std::map<QString, FormCreator>& creators() {
    static std::map<QString, FormCreator> installed;
    return installed;
}

ShowFileHook& showFileHook() {
    static ShowFileHook hook;
    return hook;
}

}  // namespace

void PlaceForm(platform::Form* form) {
    QWidget* w = form->Widget();
    if (w->parentWidget()) return;
    if (qobject_cast<QDialog*>(w)) {
        if (QMainWindow* main = MainWindow()) w->setParent(main, w->windowFlags() | Qt::Dialog);
        return;
    }
    if (QMdiArea* area = DocumentArea()) {
        const bool sized = w->testAttribute(Qt::WA_Resized);
        const QSize size = w->size();
        QMdiSubWindow* frame = area->addSubWindow(w);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        // A window that chose its size keeps it inside the frame.
        if (sized) frame->resize(size + frame->size() - frame->contentsRect().size());
        frame->hide();
    }
}

FormCreator InstallFormCreator(const QString& typeName, FormCreator creator) {
    FormCreator previous;
    auto it = creators().find(typeName);
    if (it != creators().end()) {
        previous = std::move(it->second);
        creators().erase(it);
    }
    if (creator) creators()[typeName] = std::move(creator);
    return previous;
}

platform::Form* LoadForm(const QString& typeName) {
    auto it = creators().find(typeName);
    if (it == creators().end()) throw Error(ErrorKind::ComponentMissing, typeName.toStdString());
    FormCreator create = it->second;  // the creator may install others
    platform::Form* form = create();
    if (!form) throw Error(ErrorKind::ObjectNotSet, typeName.toStdString());
    PlaceForm(form);
    return form;
}

void ShowModalForm(const QString& typeName) {
    platform::Form* form = platform::FindForm(typeName);
    if (!form) form = LoadForm(typeName);
    auto* dialog = qobject_cast<QDialog*>(form->Widget());
    if (!dialog) throw Error(ErrorKind::MethodNotSupported, typeName.toStdString() + " is no dialog");
    platform::ShowModal(*dialog);
    if (platform::IsLoaded(form)) platform::Unload(form);
}

void SetFormVisible(platform::Form* form, bool visible) {
    if (!form) throw Error(ErrorKind::ObjectNotSet);
    form->Widget()->setVisible(visible);
    if (QMdiSubWindow* frame = platform::MdiFrame(form)) frame->setVisible(visible);
}

bool FormVisible(const platform::Form* form) { return form && !platform::OuterWidget(form)->isHidden(); }
bool FormMinimized(const platform::Form* form) { return form && platform::OuterWidget(form)->isMinimized(); }
bool FormMaximized(const platform::Form* form) { return form && platform::OuterWidget(form)->isMaximized(); }

void SetFormNormal(platform::Form* form) {
    if (!form) throw Error(ErrorKind::ObjectNotSet);
    QWidget* w = platform::OuterWidget(form);
    if (w->isMinimized() || w->isMaximized()) w->showNormal();
}

FormCreatorInstallation::FormCreatorInstallation(QString typeName, FormCreator creator)
    : typeName_(std::move(typeName)), previous_(InstallFormCreator(typeName_, std::move(creator))) {}

FormCreatorInstallation::~FormCreatorInstallation() { InstallFormCreator(typeName_, std::move(previous_)); }

ShowFileHook InstallShowFileInResultWindow(ShowFileHook hook) {
    ShowFileHook previous = std::move(showFileHook());
    showFileHook() = std::move(hook);
    return previous;
}

void ShowFileInResultWindow(const std::string& path) {
    ShowFileHook hook = showFileHook();
    if (!hook) throw Error(ErrorKind::ComponentMissing, "ShowFileInResultWindow");
    hook(path);
}

}  // namespace kx::shell
