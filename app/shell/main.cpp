// KinovexRed: the desktop program.
#include "Desktop.h"
#include "MDIForm1.h"
#include "PLOT.h"
#include "PgSetupMod.h"
#include "PLOT_Setup.h"
#include "RES_ShowFile.h"
#include "SOL_RUN.h"
#include "SharedState.h"
#include "Text.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KinovexRed");
    kx::SetFolders(kx::Shared(), kx::platform::FromQ(kx::platform::ProgramFolder()));
    // The windows of the later parts register here as they come.
    kx::text::InstallTextWindows();
    kx::runs::InstallRunSettingsWindow();
    kx::chart::InstallChartWindows();
    kx::chart_setup::InstallChartPrinting();
    kx::chart_setup::InstallChartSetup();
    // Windows live on the heap: closing one deletes it.
    kx::shell::StartProgram();
    return QApplication::exec();
}
