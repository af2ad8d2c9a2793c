// KinovexRed: the desktop program.
#include "Comparison.h"
#include "Desktop.h"
#include "MDIForm1.h"
#include "MenuForm.h"
#include "PLOT.h"
#include "PgSetupMod.h"
#include "PLOT_Setup.h"
#include "RED_Gen.h"
#include "RES_ShowFile.h"
#include "SOL_RUN.h"
#include "SharedState.h"
#include "Text.h"
#include "WorkingFiles.h"
#include "file_replacement.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Under a file-size limit a save too large fails and says so; the
    // program and every window's unsaved work stay.
    kx::FailWritesPastFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName("KinovexRed");
    kx::SetFolders(kx::Shared(), kx::platform::FromQ(kx::platform::ProgramFolder()));
    // This copy's working folder is made now, and what copies that no longer
    // run left behind goes; where it cannot be made, the window that needs
    // it says so.
    try {
        kx::WorkingFolder();
    } catch (const std::exception&) {
    }
    // The windows of the later parts register here as they come.
    kx::text::InstallTextWindows();
    kx::runs::InstallRunSettingsWindow();
    kx::chart::InstallChartWindows();
    kx::chart_setup::InstallChartPrinting();
    kx::chart_setup::InstallChartSetup();
    kx::results::InstallResultsWindow();
    kx::reduction::InstallReductionWindow();
    kx::comparison::InstallComparisonWindow();
    // Windows live on the heap: closing one deletes it.
    kx::shell::StartProgram();
    return QApplication::exec();
}
