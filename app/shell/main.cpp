// KinovexRed: the desktop program.
#include "Desktop.h"
#include "MDIForm1.h"
#include "PlainTextViewer.h"
#include "SOL_RUN.h"
#include "SharedState.h"
#include "Text.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KinovexRed");
    kx::SetFolders(kx::Shared(), kx::platform::FromQ(kx::platform::ProgramFolder()));
    // The windows of the later parts register here as they come; until the
    // text window does, files are shown in the read-only viewer.
    kx::shell::InstallPlainTextViewer();
    kx::runs::InstallRunSettingsWindow();
    // Windows live on the heap: closing one deletes it.
    kx::shell::StartProgram();
    return QApplication::exec();
}
