// Support for the desktop window tests: a program folder of their own, the
// end of the program observed instead of done, stand-in windows of the
// later subsystems that record what the shell asks of them, and a clean-up
// that leaves no window behind.
#pragma once

#include "Capabilities.h"
#include "Desktop.h"
#include "FileHelpers.h"
#include "Files.h"
#include "Forms.h"
#include "SharedState.h"
#include "TempDir.h"
#include "Text.h"
#include "Timer.h"
#include "WorkingFiles.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kx::test {

// A program folder with AssistFiles/ (and OPTIONS.txt when given) that
// the program takes as its own while the object lives.
struct ProgramFolder {
    TempDir dir;
    explicit ProgramFolder(const std::string& optionsFile = "") {
        std::filesystem::create_directories(dir.file("AssistFiles"));
        if (!optionsFile.empty()) std::filesystem::copy_file(optionsFile, options());
        platform::SetProgramFolder(platform::ToQ(dir.path()));
        SetFolders(Shared(), dir.path());
    }
    ~ProgramFolder() { platform::SetProgramFolder(QString()); }
    std::string path() const { return dir.path(); }
    std::string assist(const std::string& name) const { return dir.file("AssistFiles/" + name); }
    // The program's working file `name` (WorkingFiles.h), in its folder in
    // AssistFiles/.
    std::string working(const std::string& name) const { return WorkingFile(name); }
    std::string options() const { return assist("OPTIONS.txt"); }
};

// Counts the ends of the program instead of ending it.
struct EndCounter {
    int count = 0;
    std::function<void()> previous;
    EndCounter() {
        previous = platform::SetEndProgramHandler([this] { ++count; });
    }
    ~EndCounter() { platform::SetEndProgramHandler(previous); }
};

// Runs the deletions that closing windows asked for.
inline void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Deletes every window the test left, the last loaded first.
inline void DeleteAllWindows() {
    Settle();
    while (!platform::Forms().empty()) delete platform::Forms().back()->Widget();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->testAttribute(Qt::WA_DeleteOnClose) && w->isVisible()) w->close();
    Settle();
}

// What each window test starts from: the shared state cleared, a program
// folder of its own and, when asked for, a fake clock that drives the
// windows' timers. A test makes it in init() and drops it in cleanup();
// dropping it deletes every window the test left, then clears the shared
// state again.
class WindowTestBed {
    // Made before the program folder (which sets the folders in the shared
    // state) and gone after it.
    struct ClearedState {
        ClearedState() { Shared() = SharedState{}; }
        ~ClearedState() { Shared() = SharedState{}; }
    } cleared_;

public:
    enum class Clock { Real, Fake };
    explicit WindowTestBed(Clock timers = Clock::Fake) {
        if (timers == Clock::Fake) clock.emplace();
    }
    ~WindowTestBed() { DeleteAllWindows(); }
    WindowTestBed(const WindowTestBed&) = delete;
    WindowTestBed& operator=(const WindowTestBed&) = delete;

    ProgramFolder folder;
    std::optional<platform::FakeClock> clock;
};

using CallLog = std::vector<std::string>;

// A text window: loads (or fails to load) a path, and may refuse to close
// the way a text window does at its save prompt.
class StubTextWindow : public platform::FormWindow<QWidget>,
                       public platform::TextFileLoader,
                       public platform::HasMePath,
                       public platform::HasToolbar,
                       public platform::TextToolbarTarget {
public:
    enum class Closing { Accept, CancelAtPrompt, StayWithoutFlag };
    explicit StubTextWindow(CallLog& log, const QString& type = "RES_ShowFile") : FormWindow(type), log_(log) {}

    void OPEN_Rich(const std::string& FilePa, bool& ErrBool) override {
        log_.push_back("OPEN_Rich " + FilePa);
        ErrBool = failOpen;
        if (failOpen) return;
        std::string name, extension;
        std::int32_t position = 0;
        SplitFileName(FilePa, name, extension, position);
        path = FilePa;
        SetCaption(platform::ToQ(name));
    }
    void IsSolferFile(bool on) override { log_.push_back(on ? "IsSolferFile true" : "IsSolferFile false"); }
    std::string MePath() const override { return path; }
    void ToolBr() override { log_.push_back("ToolBr"); }
    void SVTXT(bool& CanBB) override { log_.push_back(CanBB ? "SVTXT true" : "SVTXT false"); }
    void TEXT_CUT() override { log_.push_back("TEXT_CUT"); }
    void TEXT_COPY() override { log_.push_back("TEXT_COPY"); }
    void ClipInRich() override { log_.push_back("ClipInRich"); }
    void Rich_Undo() override { log_.push_back("Rich_Undo"); }
    void Rich_Redo() override { log_.push_back("Rich_Redo"); }

    bool QueryUnload() override {
        Shared().CloseRefused = false;
        switch (closing) {
            case Closing::Accept: return true;
            case Closing::CancelAtPrompt: Shared().CloseRefused = true; return false;
            case Closing::StayWithoutFlag: return false;
        }
        return true;
    }

    bool failOpen = false;
    Closing closing = Closing::Accept;
    std::string path;

private:
    CallLog& log_;
};

// A chart window: opens chart files and records the toolbar's and the
// chart-text panel's calls.
class StubChartWindow : public platform::FormWindow<QWidget>,
                        public platform::ChartFileLoader,
                        public platform::ChartToolbarTarget,
                        public platform::ChartTexts,
                        public platform::ChartAnnotations,
                        public platform::HasToolbar {
public:
    explicit StubChartWindow(CallLog& log) : FormWindow("PLOT"), log_(log) {}

    void OPENPLOT(const std::string& Fileop, bool& ErrBool, std::string& FormCaption) override {
        log_.push_back("OPENPLOT " + Fileop);
        ErrBool = failOpen;
        FormCaption = "Chart: " + Fileop;
    }
    std::string OpenRefusal() const override { return failOpen ? refusal : std::string(); }
    void SaveTT() override { log_.push_back("SaveTT"); }
    void CUTSS() override { log_.push_back("CUTSS"); }
    void SAVESS() override { log_.push_back("SAVESS"); }
    void PASTESS() override { log_.push_back("PASTESS"); }
    void SHOWALLTEXT() override { log_.push_back("SHOWALLTEXT"); }
    void MarkDataPnt() override { log_.push_back("MarkDataPnt"); }
    void GridLine() override { log_.push_back("GridLine"); }
    void ViewingStyle() override { log_.push_back("ViewingStyle"); }
    void SetMainTitle(const std::string& t) override { log_.push_back("MainTitle=" + t); }
    void SetSubTitle(const std::string& t) override { log_.push_back("SubTitle=" + t); }
    void SetXAxisLabel(const std::string& t) override { log_.push_back("XAxisLabel=" + t); }
    void SetYAxisLabel(const std::string& t) override { log_.push_back("YAxisLabel=" + t); }
    void SetSubsetLabel(int s, const std::string& t) override {
        log_.push_back("SubsetLabels(" + std::to_string(s) + ")=" + t);
    }
    void ApplyChartChanges() override { log_.push_back("Apply"); }
    void TextAnnotationsNew() override { log_.push_back("TextAnnotationsNew"); }
    void TextAnnotationsOld() override { log_.push_back("TextAnnotationsOld"); }
    void MustSave() override { log_.push_back("MustSave"); }
    void ToolBr() override { log_.push_back("ToolBr"); }

    bool failOpen = false;
    std::string refusal;  // why a failed open failed

private:
    CallLog& log_;
};

// A tool window or dialog of a later subsystem; as the run-settings window
// it records the file it was given.
class StubToolDialog : public platform::FormWindow<QDialog>, public platform::RunSettingsLoader {
public:
    StubToolDialog(CallLog& log, const QString& type) : FormWindow(type), log_(log) {}
    void GETPASS(const std::string& Pth, const std::string& InitFileCap) override {
        log_.push_back("GETPASS " + Pth + " | " + InitFileCap);
    }

private:
    CallLog& log_;
};

// A results window: takes SolverFileToOpen as it loads and reports a
// failed load as the real one does.
class StubResultsWindow : public platform::FormWindow<QWidget>, public platform::HasSolverFilePath {
public:
    explicit StubResultsWindow(bool failLoad) : FormWindow("MenuForm"), path_(Shared().SolverFileToOpen) {
        Shared().MenuFormLoadFailed = false;
        if (failLoad) Shared().MenuFormLoadFailed = true;
    }
    std::string SolverFilePath() const override { return path_; }

private:
    std::string path_;
};

}  // namespace kx::test
