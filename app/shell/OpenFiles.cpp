#include "OpenFiles.h"

#include "CommonDialogs.h"
#include "Desktop.h"
#include "DocumentWindows.h"
#include "FileContent.h"
#include "FileHelpers.h"
#include "FileQuestions.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "SolverFileOpening.h"
#include "Text.h"
#include "TextHelpers.h"
#include "WorkingFiles.h"

#include <QTextEdit>

#include <algorithm>
#include <array>

namespace kx::shell {
namespace {

using platform::Require;

constexpr std::array<const char*, 6> kRefusedExtensions = {"exe", "pdb", "msi", "dll", "pdf", "mdb"};
// Pictures, the program's own exports among them: text windows would show
// their bytes and a save would damage them.
constexpr std::array<const char*, 27> kPictureExtensions = {
    "bmp", "dib", "gif", "png", "apng", "jpg", "jpeg", "jpe", "jfif", "ico", "cur", "icns", "svg", "svgz",
    "tif", "tiff", "webp", "avif", "heic", "heif", "emf", "wmf", "xpm", "xbm", "ppm", "pgm", "pbm"};
constexpr std::array<const char*, 5> kToolWindows = {kFindWindow, kTextPageSetup, kRunSettingsWindow,
                                                     kReductionWindow, kComparisonWindow};
constexpr std::array<const char*, 6> kReportDesigners = {"PLOT_REPORT",   "PLOT_REPORT_Land",   "PLOT_REPORT_Land_Lett",
                                                         "PRINT_PREVIEW", "PRINT_PREVIEW_Land", "PRINT_PREVIEW_Lett_Land"};

void openChart(const std::string& path) {
    platform::Form* chart = LoadForm(kChartWindow);
    bool failed = false;
    std::string caption;
    auto& loader = Require<platform::ChartFileLoader>(chart);
    loader.OPENPLOT(path, failed, caption);
    if (failed) {
        const std::string reason = loader.OpenRefusal();
        platform::Unload(chart);
        platform::SetMousePointer(platform::kPointerDefault);
        UserMessage("The file '" + path +
                        "' cannot be opened. Make sure you open a chart file and the file name is correct." +
                        (reason.empty() ? std::string() : "\r\n" + reason),
                    platform::kMsgExclamation);
        return;
    }
    chart->SetCaption(platform::ToQ(caption));
    ShowForm(chart);
    ZordTimer(chart);
    platform::BringToFront(chart);
}

// Brings forward the window that shows the file already; a solver file's
// window with the note that it is open.
void showOpenWindow(platform::Form* shown, const std::string& path) {
    auto* solver = dynamic_cast<platform::SolverFileHandOver*>(shown);
    if (solver && solver->GetIsSolFile()) {
        ShowFileInResultWindow(path);
        return;
    }
    if (FormMinimized(shown)) SetFormNormal(shown);
    ShowForm(shown);
    platform::BringToFront(shown);
    shown->Widget()->setFocus();
}

void openText(const std::string& path) {
    bool accepted = false;
    if (runs::CheckSolverFileHeader(path, accepted)) {
        if (accepted) ShowFileInResultWindow(path);
        return;
    }
    platform::Form* text = LoadTextFile(path);
    if (!text) return;
    Require<platform::TextFileLoader>(text).IsSolferFile(false);
    ZordTimer(text);
    ShowForm(text);
    platform::BringToFront(text);
}

}  // namespace

bool IsRefusedExtension(const std::string& extension) {
    const auto listed = [&extension](const auto& list) {
        return std::find(list.begin(), list.end(), extension) != list.end();
    };
    return listed(kPictureExtensions) || listed(kRefusedExtensions);
}

platform::Form* LoadTextFile(const std::string& path) {
    platform::Form* text = LoadForm(kTextWindow);
    bool failed = false;
    Require<platform::TextFileLoader>(text).OPEN_Rich(path, failed);
    if (!failed) return text;
    platform::Unload(text);
    return nullptr;
}

std::string MadeTablePath() { return WorkingFile("TmpPlot.txt"); }

platform::Form* ShowMadeTable(const std::vector<std::string>& lines, const QString& caption) {
    const ScratchFile table(MadeTablePath());
    files::WriteLines(table.Path(), lines);
    platform::Form* text = LoadTextFile(table.Path());
    if (!text) return nullptr;
    Require<platform::TextFileLoader>(text).IsSolferFile(false);
    text->SetCaption(caption);
    if (auto* box = text->Widget()->findChild<QTextEdit*>()) box->setLineWrapMode(QTextEdit::NoWrap);
    ShowForm(text);
    platform::BringToFront(text);
    return text;
}

void OpenFileByType(const std::string& requested) {
    TrapRestoringPointer("Mod1#011. ", [&] {
        UnloadPlotDialogs();
        std::string path = requested;
        if (path.empty()) {
            bool cancelled = false;
            ShowOpenDialog(path, 1, "", cancelled);
            if (cancelled) return;
        }
        std::string name, extension;
        std::int32_t position = 0;
        SplitFileName(path, name, extension, position);
        extension = LowerAscii(extension);
        // Refused by its name or, for a file that would open as text, by what
        // it holds: a renamed picture or a program without extension alike.
        const std::string kind = IsRefusedExtension(extension) ? extension
                                 : extension != "pg"             ? BinaryKindOfFile(path)
                                                                 : std::string();
        if (!kind.empty()) {
            UserMessage("The file type '" + kind + "' is not supported.", platform::kMsgExclamation);
            return;
        }
        // A save of the file that was cut short is told before it is shown,
        // with the choice to have its earlier content back.
        AskAboutInterruptedSave(path, FileUse::Open);
        // A file is shown in one window only: two would put each other's
        // older text over the newer. A window that shows an older copy of
        // it, with nothing of its own to lose, makes way for the newer.
        if (platform::Form* shown = platform::FindFormShowingFile(path)) {
            const auto* file = dynamic_cast<platform::ShowsFile*>(shown);
            bool older = false;
            IgnoreErrors([&] { older = file->ShowsOlderCopy(); });
            if (!older || !platform::Unload(shown)) {
                showOpenWindow(shown, path);
                return;
            }
        }
        std::int32_t state = 0;
        std::string readOnlyMessage;
        CheckReadOnly(path, state, readOnlyMessage, false);
        if (state == kReadOnly) UserMessage("The file '" + path + "' is read-only.", platform::kMsgInformation);
        platform::SetMousePointer(platform::kPointerHourglass);
        if (extension == "pg")
            openChart(path);
        else
            openText(path);
    });
    platform::SetMousePointer(platform::kPointerDefault);
}

void NewTextDocument(std::string& caption, bool visible) {
    Trap("Mod1#015-3 ", [&] {
        std::vector<std::string> captions;
        for (platform::Form* form : platform::Forms()) captions.push_back(platform::FromQ(form->Caption()));
        caption = kTextDocPrefix + std::to_string(NextTextDocumentNumber(captions));
        platform::Form* text = LoadForm(kTextWindow);
        text->SetCaption(platform::ToQ(caption));
        SetFormVisible(text, visible);
        ZordTimer(text);
        platform::BringToFront(text);
    });
}

void UnloadPlotDialogs() {
    Trap("Mod1#014-1 ", [] {
        platform::UnloadAll("PLOT_Setup");
        platform::UnloadAll("PLOT_xportMe");
    });
}

void UnloadToolWindows(const std::string& keep) {
    Trap("Mod1#015-2 ", [&] {
        for (const char* type : kToolWindows)
            if (keep != type) platform::UnloadAll(type);
    });
}

void UnloadReportDesigners() {
    for (const char* type : kReportDesigners) IgnoreErrors([type] { platform::UnloadAll(type); });
}

}  // namespace kx::shell
