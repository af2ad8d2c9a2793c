#include "SolverRun.h"

#include "Desktop.h"
#include "Errors.h"
#include "Forms.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "RunOutcome.h"
#include "SharedState.h"
#include "SolverFileOpening.h"
#include "Text.h"
#include "WindowHelpers.h"
#include "WorkingFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>

namespace kx::runs {
namespace {

// The text window showing the file, found by its document path (two files
// of the same name in different folders are different windows).
platform::Form* textWindowOf(const std::string& path) {
    return path.empty() ? nullptr : platform::FindFormByMePath(path);
}

void restoreMainWindow(bool whenMaximizedBefore) {
    QMainWindow* main = shell::MainWindow();
    if (!main) return;
    if (whenMaximizedBefore ? Shared().MainWasMaximized : main->isMinimized()) main->showMaximized();
}

}  // namespace

SolverLaunch SolverLaunchFor(const std::string& programFolder, const std::string& workingFolder, bool keepOpen,
                             const std::string& solverFile) {
    SolverLaunch launch;
    launch.folder = QDir(platform::ToQ(workingFolder)).absolutePath();
    launch.program = QDir(platform::ToQ(programFolder)).absolutePath() + "/" + kSolverProgramName;
    launch.title = kSolverProgramName;
    if (!solverFile.empty()) launch.title += " - " + QFileInfo(platform::ToQ(solverFile)).fileName();
    for (const std::string& line : SolverConsoleBanner()) launch.banner << platform::ToQ(line);
    launch.keepOpen = keepOpen;
    launch.solverFile = solverFile;
    return launch;
}

std::optional<int> ExecuteAndWait(const SolverLaunch& launch, SolverEnd* ended) {
    std::optional<int> exitCode;
    shell::TrapRestoringPointer("401#002. ", [&] {
        platform::SetMousePointer(platform::kPointerHourglass);
        const SolverEnd end = RunSolverProgram(launch);
        if (ended) *ended = end;
        if (!end.started)
            throw Error(end.programMissing ? ErrorKind::FileNotFound : ErrorKind::PermissionDenied,
                        platform::FromQ(launch.program + " (" + end.failure + ")"));
        exitCode = end.exitCode;
    });
    platform::SetMousePointer(platform::kPointerDefault);
    return exitCode;
}

void RunSolver(std::string& path, std::string& message, int& style, bool& error, const std::string& callerPath) {
    shell::Trap("401#001. ", [&] {
        error = false;
        const SharedState& s = Shared();
        const std::string folder = WorkingFolder();
        // The file the Run command has just named for the solver, for the
        // console's title.
        std::string runFile;
        shell::IgnoreErrors([&] { runFile = ReadSolverPathFile(folder); });
        SolverEnd end;
        ExecuteAndWait(SolverLaunchFor(s.AppFolder, folder, s.KeepConsoleOpen != 0, runFile), &end);
        restoreMainWindow(true);
        path = ReadSolverPathFile(folder);
        RunOutcome outcome = ScanRunOutcome(path);
        if (end.started && !end.crashed) TakeSolverInputError(outcome, end.exitCode, platform::FromQ(end.errorOutput));
        error = outcome.error;
        restoreMainWindow(false);

        std::string callerMePath;
        if (platform::Form* caller = textWindowOf(callerPath)) {
            callerMePath = platform::Require<platform::HasMePath>(caller).MePath();
            platform::Unload(caller);
        }
        const OutcomeMessage report = OutcomeMessageFor(outcome);
        message = report.text;
        style = report.style;
        if (shell::UserMessage(message, style) == platform::kAnswerYes) {
            Shared().SolverFileToOpen = path;
            CloseResultsWindowsOf(path);
            shell::OpenFileByType(callerMePath);
            if (platform::Form* reopened = textWindowOf(callerPath)) {
                if (auto* opener = dynamic_cast<platform::ResultsOpener*>(reopened))
                    opener->OpResults();
                else
                    OpenResultsWindow(callerPath);
            }
        }
    });
    platform::SetMousePointer(platform::kPointerDefault);
}

}  // namespace kx::runs
