#include "FormRegistry.h"

#include "DocumentWindows.h"
#include "Errors.h"
#include "Modal.h"
#include "WindowHelpers.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>

#include <map>
#include <optional>

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

// Puts a new window at its place when it is first shown, once its size and
// the main window's are known.
//
// A document window gets the size it chose (with resize before it was
// placed, or on its frame after), else its size hint; it stands where its
// frame was moved to, else one step down from the last new window; and it
// lies inside the document area. A dialog gets at least its size hint
// within the screen; one that chose its place is kept inside the main
// window (or the screen), the others are centred over it by Qt.
class FirstPlacement : public QObject {
public:
    FirstPlacement(QWidget* outer, std::optional<QSize> chosen)
        : QObject(outer), outer_(outer), chosen_(chosen), before_(outer->geometry()) {
        outer->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == outer_ && event->type() == QEvent::Show && !placed_) {
            placed_ = true;
            outer_->removeEventFilter(this);
            if (auto* frame = qobject_cast<QMdiSubWindow*>(outer_)) {
                QMdiArea* area = frame->mdiArea();
                // An area shown only now places its windows after this
                // event: the place is set once that is done.
                if (area && !area->isVisible())
                    QMetaObject::invokeMethod(this, [this, frame] { placeDocument(frame); }, Qt::QueuedConnection);
                else
                    placeDocument(frame);
            } else {
                placeDialog();
            }
        }
        return false;
    }

private:
    void placeDocument(QMdiSubWindow* frame) {
        QMdiArea* area = frame->mdiArea();
        if (!area) return;
        const QSize areaSize = area->viewport()->size();
        const QRect now = frame->geometry();
        QSize size = now.size();
        if (size == before_.size()) {
            const QSize decoration = frame->size() - frame->contentsRect().size();
            const QSize inner = chosen_ ? *chosen_ : frame->widget()->sizeHint();
            if (inner.isValid()) size = (inner + decoration).expandedTo(frame->minimumSizeHint());
        }
        Place place{now.x(), now.y(), size.width(), size.height()};
        if (now.topLeft() == before_.topLeft()) {
            int open = 0;
            for (QMdiSubWindow* other : area->subWindowList())
                if (other != frame && other->isVisible() && !other->isMinimized()) ++open;
            const Place fitted = FitInArea(place, areaSize.width(), areaSize.height());
            const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame) + 4;
            place = NewWindowPlace(open, fitted.width, fitted.height, areaSize.width(), areaSize.height(), step);
        }
        place = FitInArea(place, areaSize.width(), areaSize.height());
        frame->setGeometry(place.x, place.y, place.width, place.height);
        deleteLater();
    }

    void placeDialog() {
        QWidget* dialog = outer_;
        QScreen* screen = dialog->screen();
        const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), dialog->size());
        dialog->resize(dialog->size().expandedTo(dialog->sizeHint()).boundedTo(available.size()));
        if (dialog->testAttribute(Qt::WA_Moved)) {
            const QRect frame = dialog->frameGeometry();
            QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
            QRect bounds = owner ? owner->geometry() : available;
            if (bounds.width() < frame.width() || bounds.height() < frame.height()) bounds = available;
            const Place place = FitInArea({frame.x() - bounds.x(), frame.y() - bounds.y(), frame.width(), frame.height()},
                                          bounds.width(), bounds.height());
            dialog->move(bounds.x() + place.x, bounds.y() + place.y);
        }
        deleteLater();
    }

    QWidget* outer_;
    std::optional<QSize> chosen_;
    QRect before_;
    bool placed_ = false;
};

}  // namespace

void PlaceForm(platform::Form* form) {
    QWidget* w = form->Widget();
    if (w->parentWidget()) return;
    if (qobject_cast<QDialog*>(w)) {
        if (QMainWindow* main = MainWindow()) w->setParent(main, w->windowFlags() | Qt::Dialog);
        new FirstPlacement(w, std::nullopt);
        return;
    }
    if (QMdiArea* area = DocumentArea()) {
        const bool sized = w->testAttribute(Qt::WA_Resized);
        const QSize size = w->size();
        QMdiSubWindow* frame = area->addSubWindow(w);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->hide();
        new FirstPlacement(frame, sized ? std::optional<QSize>(size) : std::nullopt);
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
