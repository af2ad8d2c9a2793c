#include "PlainTextViewer.h"

#include "Desktop.h"
#include "FileHelpers.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "OpenFiles.h"
#include "Messages.h"
#include "SolverFileOpening.h"
#include "Text.h"

#include <QFontDatabase>
#include <QPlainTextEdit>

#include <exception>

namespace kx::shell {
namespace {

void showSolverFileReadOnly(const std::string& requested) {
    std::string path = requested;
    if (path.empty()) {
        bool failed = false;
        runs::CheckSolverFileToOpen(path, failed);
        if (failed) return;
    }
    for (platform::Form* open : platform::FindForms(kTextWindow)) {
        auto* shown = dynamic_cast<platform::HasMePath*>(open);
        if (!shown || shown->MePath() != path) continue;
        ShowForm(open);
        platform::BringToFront(open);
        open->Widget()->setFocus();
        platform::SetMousePointer(platform::kPointerDefault);
        platform::MsgBox(platform::ToQ("The solver file is already opened.\r\n\r\n" + path), platform::kMsgInformation,
                         kMessageTitle);
        return;
    }
    platform::Form* window = LoadTextFile(path);
    if (!window) return;
    platform::Require<platform::TextFileLoader>(window).IsSolferFile(true);
    ShowForm(window);
    std::string caption = platform::FromQ(window->Caption());
    ZordTimer(caption);
    platform::BringToFront(window);
}

}  // namespace

PlainTextViewer::PlainTextViewer() : FormWindow(kTextWindow) {
    box_ = new QPlainTextEdit(this);
    box_->setReadOnly(true);
    box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    box_->setFont(font);
    setCentralWidget(box_);
    resize(platform::TwipsToPixels(9000), platform::TwipsToPixels(6000));
}

void PlainTextViewer::OPEN_Rich(const std::string& FilePa, bool& ErrBool) {
    ErrBool = false;
    try {
        if (!FilePa.empty() && FilePa.front() == '$') {
            mePath_.clear();
            SetCaption(platform::ToQ(FilePa.substr(1)));
            return;
        }
        mePath_ = FilePa;
        std::string name, extension;
        std::int32_t position = 0;
        SplitFileName(FilePa, name, extension, position);
        SetCaption(platform::ToQ(name));
        QString text = platform::Latin1ToQ(files::ReadAll(FilePa));
        box_->setPlainText(text.replace("\r\n", "\n").replace('\r', '\n'));
    } catch (const std::exception& e) {
        platform::MsgBox(platform::ToQ(e.what()), platform::kMsgCritical, kMessageTitle);
        ErrBool = true;
    }
}

void PlainTextViewer::IsSolferFile(bool BBOOLL) {
    solverFileMode_ = BBOOLL;
    if (!BBOOLL) return;
    QPalette p = box_->palette();
    p.setColor(QPalette::Base, QColor(180, 190, 210));
    box_->setPalette(p);
}

// The viewer has nothing for the text toolbar to do.
void PlainTextViewer::ToolBr() { SetMainToolbars(0); }

void InstallPlainTextViewer() {
    InstallFormCreator(kTextWindow, [] { return new PlainTextViewer; });
    InstallShowFileInResultWindow(showSolverFileReadOnly);
}

}  // namespace kx::shell
