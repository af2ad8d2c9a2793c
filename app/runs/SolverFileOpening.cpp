#include "SolverFileOpening.h"

#include "CommonDialogs.h"
#include "Desktop.h"
#include "FileHelpers.h"
#include "FormRegistry.h"
#include "Forms.h"
#include "Messages.h"
#include "SharedState.h"
#include "TextHelpers.h"

namespace kx::runs {
namespace {

void refuse(const std::string& text) { shell::DesktopNotifier().Message(text, kStyleExclamation, kMessageTitle); }

bool refusedExtension(const std::string& path) {
    std::string name, extension;
    std::int32_t position = 0;
    SplitFileName(path, name, extension, position);
    extension = LowerAscii(extension);
    return extension == "pg" || extension == "mdb" || extension == "pdf" || extension == "exe";
}

void checkChosenFile(const std::string& path, bool& failed) {
    std::int32_t state = 0;
    std::string readOnlyMessage;
    CheckReadOnly(path, state, readOnlyMessage, false);
    if (state == kReadOnly) {
        refuse("File '" + path + "' is read-only, remove this attribute.");
        failed = true;
        return;
    }
    // The refusal, and why on a line of its own.
    const auto notSolverFile = [&](const std::string& why) {
        refuse("You are attempting to open not solver file '" + path + "'." + (why.empty() ? "" : "\r\n" + why));
        failed = true;
    };
    if (refusedExtension(path)) {
        notSolverFile("Files with the extensions pg, mdb, pdf and exe are not opened as solver files.");
        return;
    }
    bool accepted = false;
    if (!CheckSolverFileHeader(path, accepted)) {
        notSolverFile(WhyNoSolverFile(path));
        return;
    }
    failed = !accepted;
}

}  // namespace

bool CheckSolverFileHeader(const std::string& path, bool& accepted) {
    return CheckSolverFileHeader(path, accepted, shell::DesktopNotifier());
}

bool SolverFileLacksResults(const std::string& path, bool showMessage) {
    return SolverFileLacksResults(path, showMessage, shell::DesktopNotifier());
}

void CheckSolverFileToOpen(std::string& path, bool& failed) {
    failed = false;
    bool cancelled = false;
    if (path.empty()) shell::ShowOpenDialog(path, 1, "", cancelled);
    if (cancelled)
        failed = true;
    else
        checkChosenFile(path, failed);
    platform::SetMousePointer(platform::kPointerDefault);
}

void CloseResultsWindowsOf(const std::string& path) {
    for (platform::Form* form : platform::FindForms(shell::kResultsWindow)) {
        if (platform::Require<platform::HasSolverFilePath>(form).SolverFilePath() != path) continue;
        shell::SetFormNormal(form);
        platform::Unload(form);
    }
}

void OpenResultsWindow(const std::string& path) {
    // The quick look for results says nothing of a file that does not read:
    // the full check below says why.
    if (WhyUnreadable(path).empty() && SolverFileLacksResults(path, true)) return;
    bool failed = false;
    std::string message;
    CheckResultsComplete(path, failed, message);
    if (failed) {
        refuse(message);
        return;
    }
    CloseResultsWindowsOf(path);
    SharedState& s = Shared();
    s.SolverFileToOpen = path;
    platform::Form* results = shell::LoadForm(shell::kResultsWindow);
    if (s.MenuFormLoadFailed) {
        s.MenuFormLoadFailed = false;
        platform::Unload(results);
        return;
    }
    shell::ShowForm(results);
}

}  // namespace kx::runs
