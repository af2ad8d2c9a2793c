// Support for the window tests of solver runs: the stand-in solver program
// put into a program folder, a runner that runs the solver without any
// window, and text and results windows that record what a run asks of them.
#pragma once

#include "FormRegistry.h"
#include "SolverConsole.h"

#include "DesktopTestSupport.h"

#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

namespace kx::test {

// Copies a program into the program folder under the solver's name.
inline std::string PlaceSolverProgram(const std::string& programFolder, const std::string& program) {
    const std::string target = programFolder + "/KINOVEX_SOLVER";
    std::filesystem::copy_file(program, target, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(target, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    return target;
}

// Selects the ending the stand-in solver writes, for the object's lifetime.
struct StandInEnding {
    explicit StandInEnding(const char* ending) { qputenv("KX_STAND_IN_ENDING", ending); }
    ~StandInEnding() { qunsetenv("KX_STAND_IN_ENDING"); }
};

// Runs the solver process to its end without a window, and keeps what it
// was asked to run and what the solver wrote.
class HeadlessRunner : public runs::SolverRunner {
public:
    HeadlessRunner() : previous_(runs::InstallSolverRunner(this)) {}
    ~HeadlessRunner() override { runs::InstallSolverRunner(previous_); }

    runs::SolverEnd Run(const runs::SolverLaunch& launch) override {
        launches.push_back(launch);
        runs::SolverProcess process;
        QObject::connect(&process, &runs::SolverProcess::Output, [this](const QString& text) { output += text; });
        if (process.Start(launch) && !process.Ended()) {
            QEventLoop loop;
            QObject::connect(&process, &runs::SolverProcess::Finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(60000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return ends.emplace_back(process.End());
    }

    std::vector<runs::SolverLaunch> launches;
    std::vector<runs::SolverEnd> ends;
    QString output;

private:
    runs::SolverRunner* previous_;
};

// A text window that hands its file to the results window.
class RunCallerWindow : public StubTextWindow, public platform::ResultsOpener {
public:
    explicit RunCallerWindow(CallLog& log) : StubTextWindow(log), log_(log) {}
    void OpResults() override { log_.push_back("OpResults " + path); }

private:
    CallLog& log_;
};

// Text windows of the recording kind, opened for solver files as the text
// subsystem opens them, and recording results windows; for the object's
// lifetime.
struct RecordingDocumentWindows {
    CallLog log;
    shell::FormCreatorInstallation text{shell::kTextWindow, [this] { return new RunCallerWindow(log); }};
    shell::FormCreatorInstallation results{shell::kResultsWindow, [] { return new StubResultsWindow(false); }};
    shell::ShowFileHook previousHook = shell::InstallShowFileInResultWindow([this](const std::string& path) {
        log.push_back("ShowFileInResultWindow " + path);
        OpenWindow(path);
    });

    ~RecordingDocumentWindows() { shell::InstallShowFileInResultWindow(previousHook); }

    // A text window showing the file, as the one that asks for a run.
    RunCallerWindow* OpenWindow(const std::string& path) {
        auto* w = new RunCallerWindow(log);
        bool failed = false;
        w->OPEN_Rich(path, failed);
        return w;
    }
};

}  // namespace kx::test
