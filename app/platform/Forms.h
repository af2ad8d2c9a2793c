// Windows of the program and how they find each other.
//
// Every window derives from FormWindow<QMainWindow / QWidget / QDialog> and
// so is a Form: on construction it joins the program's list of windows (in
// load order) under its type name ("RES_ShowFile", "MenuForm", ...), and it
// leaves the list when it is unloaded or destroyed. Windows find each other
// by walking that list and comparing the type name or the caption (both
// without regard to letter case) or a document path (exactly).
//
// A window offers methods to other windows through capability interfaces
// (Capabilities.h); Require<Interface>(form) finds one with dynamic_cast
// and raises the error a caller's trap reports when the window lacks it.
#pragma once

#include "Capabilities.h"
#include "Errors.h"

#include <QCloseEvent>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QMdiSubWindow;

namespace kx::platform {

class Form {
public:
    Form(QWidget* widget, QString typeName);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    QWidget* Widget() const { return widget_; }
    const QString& TypeName() const { return typeName_; }
    QString Caption() const { return widget_->windowTitle(); }
    void SetCaption(const QString& caption) { widget_->setWindowTitle(caption); }

    // Asked before the window closes, by Unload or by its close box; return
    // false to refuse (the window stays loaded and in the list).
    virtual bool QueryUnload() { return true; }

    // For FormWindow: handles a close event through QueryUnload.
    void HandleClose(QCloseEvent* event);

private:
    friend bool Unload(Form* form);
    QWidget* widget_;
    QString typeName_;
    bool unloading_ = false;
};

// A window type: Base is QWidget, QMainWindow or QDialog.
template <class Base>
class FormWindow : public Base, public Form {
public:
    explicit FormWindow(const QString& typeName, QWidget* parent = nullptr) : Base(parent), Form(this, typeName) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        HandleClose(event);
        if (event->isAccepted()) Base::closeEvent(event);
    }
};

// The loaded windows in load order.
std::vector<Form*> Forms();
// True when the window is in that list (not yet unloaded or destroyed).
bool IsLoaded(const Form* form);

// First window whose type name / caption equals the text, letter case
// ignored; nullptr when none.
Form* FindForm(const QString& typeName);
std::vector<Form*> FindForms(const QString& typeName);
Form* FindFormByCaption(const QString& caption);
// First window whose MePath / SolverFilePath equals the path exactly.
Form* FindFormByMePath(const std::string& path);
Form* FindFormBySolverFilePath(const std::string& path);

// First window (other than `except`) whose shown file (ShowsFile) is the
// file the path names, under any spelling (files::SameFile); nullptr when
// none.
Form* FindFormShowingFile(const std::string& path, const Form* except = nullptr);

// The active document window (the main window's active child); nullptr
// when there is none. The main window installs where it comes from.
Form* ActiveDocument();
void SetActiveDocumentSource(std::function<Form*()> source);

// Unloads the window: asks QueryUnload, and unless refused removes it from
// the list, closes it and deletes it once the current event is done.
// Returns false when the window refused. Unloading a window other than the
// active document window leaves that one active.
bool Unload(Form* form);

// Unloads every loaded window of the type (letter case ignored); a window
// that refuses stays.
void UnloadAll(const QString& typeName);

// Brings the window to the front (and makes an MDI child the active one).
void BringToFront(Form* form);

// The frame of a document window in an MDI area; nullptr for a window
// without one (and for no window).
QMdiSubWindow* MdiFrame(const Form* form);
// The widget that is the window on the screen: its MDI frame, or the
// window itself.
QWidget* OuterWidget(const Form* form);

// The capability of a window, or the error its caller's trap reports:
// ObjectNotSet for no window, MethodNotSupported for a window without it.
template <class Capability>
Capability& Require(Form* form) {
    if (!form) throw Error(ErrorKind::ObjectNotSet);
    if (auto* c = dynamic_cast<Capability*>(form)) return *c;
    throw Error(ErrorKind::MethodNotSupported, form->TypeName().toStdString());
}

}  // namespace kx::platform
