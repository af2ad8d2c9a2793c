#include "Dialogs.h"

#include "Modal.h"
#include "Service.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QListView>
#include <QRegularExpression>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace kx::platform {
namespace {

Bgr toBgr(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

std::optional<QString> runFileDialog(const FileRequest& r, bool save) {
    RefuseRealModalInTests(save ? "save dialog" : "open dialog");
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !r.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = NameFilters(r.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(std::clamp(r.filterIndex, 1, static_cast<int>(filters.size())) - 1));
    }
    QFileInfo name(r.fileName);
    if (!r.fileName.isEmpty() && name.isAbsolute()) {
        dialog.setDirectory(name.absolutePath());
        dialog.selectFile(name.fileName());
    } else {
        if (!r.initDir.isEmpty()) dialog.setDirectory(r.initDir);
        if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
    }
    FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

class QtDialogService : public DialogService {
public:
    std::optional<QString> OpenFile(const FileRequest& r) override { return runFileDialog(r, false); }
    std::optional<QString> SaveFile(const FileRequest& r) override { return runFileDialog(r, true); }

    std::optional<Bgr> Colour(std::optional<Bgr> initial) override {
        RefuseRealModalInTests("colour dialog");
        QColor c = QColorDialog::getColor(initial ? ToQColor(*initial) : QColor(Qt::white),
                                          QApplication::activeWindow());
        if (!c.isValid()) return std::nullopt;
        return toBgr(c);
    }

    std::optional<FontChoice> Font(const FontRequest& r) override {
        RefuseRealModalInTests("font dialog");
        QFont start = QApplication::font();
        if (!r.initial.name.isEmpty()) start.setFamily(r.initial.name);
        if (r.initial.size > 0) start.setPointSizeF(r.initial.size);
        start.setBold(r.initial.bold);
        start.setItalic(r.initial.italic);
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, start, QApplication::activeWindow());
        if (!ok) return std::nullopt;
        return FontChoice{f.family(), f.pointSizeF(), f.bold(), f.italic()};
    }
};

QtDialogService realDialogs;
ServiceSlot<DialogService> dialogs(realDialogs);

// Keeps a choice the user made; false (and nothing kept) after a cancel.
template <class T>
bool keep(const std::optional<T>& chosen, T& into) {
    if (!chosen) return false;
    into = *chosen;
    return true;
}

}  // namespace

void FitFileDialog(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    QSize size = dialog.size().expandedTo(dialog.sizeHint()).expandedTo(QSize(900, 560));
    if (QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size());
    dialog.resize(size);
    // The dialog's own list of files in detail (absent from a native one).
    if (auto* view = dialog.findChild<QTreeView*>("treeView")) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < header->count(); ++c) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    if (auto* places = dialog.findChild<QListView*>("sidebar"))
        places->setMinimumWidth(places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8);
}

QColor ToQColor(Bgr c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

DialogService* InstallDialogService(DialogService* service) { return dialogs.Install(service); }

DialogService& Dialogs() { return dialogs.Get(); }

QStringList NameFilters(const QString& filter) {
    QStringList parts = filter.split('|');
    QStringList out;
    static const QRegularExpression trailingPatterns(R"(\s*\([^()]*\)\s*$)");
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == "*.*") p = "*";
        }
        out << description.trimmed() + " (" + patterns.join(' ') + ")";
    }
    return out;
}

FileRequest CommonDialog::fileRequest() const {
    return FileRequest{Filter, FilterIndex, InitDir, FileName, ConfirmOverwrite};
}

bool CommonDialog::ShowOpen() { return keep(Dialogs().OpenFile(fileRequest()), FileName); }

bool CommonDialog::ShowSave() { return keep(Dialogs().SaveFile(fileRequest()), FileName); }

bool CommonDialog::ShowColor() {
    return keep(Dialogs().Colour(StartOnColor ? std::optional<Bgr>(Color) : std::nullopt), Color);
}

bool CommonDialog::ShowFont() {
    if (!keep(Dialogs().Font(FontRequest{Font, FontMin, FontMax}), Font)) return false;
    if (FontMin > 0) Font.size = std::max(Font.size, FontMin);
    if (FontMax > 0) Font.size = std::min(Font.size, FontMax);
    return true;
}

}  // namespace kx::platform
