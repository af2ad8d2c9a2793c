// KinovexRed: the desktop program.
#include "Desktop.h"
#include "Forms.h"
#include "SharedState.h"
#include "Text.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The main window: a multiple-document area whose active child is the
// active document window of the program.
class MainWindowForm : public kx::platform::FormWindow<QMainWindow> {
public:
    MainWindowForm() : FormWindow("MDIForm1") {
        auto* area = new QMdiArea(this);
        setCentralWidget(area);
        SetCaption("  Kinovex-II");
        kx::platform::SetActiveDocumentSource([area]() -> kx::platform::Form* {
            QMdiSubWindow* sub = area->activeSubWindow();
            return sub ? dynamic_cast<kx::platform::Form*>(sub->widget()) : nullptr;
        });
        kx::shell::SetMainWindow(this);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KinovexRed");
    kx::SetFolders(kx::Shared(), kx::platform::FromQ(kx::platform::ProgramFolder()));
    // Windows live on the heap: closing one deletes it.
    auto* window = new MainWindowForm;
    window->showMaximized();
    return QApplication::exec();
}
