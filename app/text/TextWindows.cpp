// The text subsystem's services to the rest of the program: opening a
// solver file read-only, the mechanism text of a solver file, and the
// installation of its windows.
#include "RES_FIND.h"
#include "RES_PAGESETUP.h"
#include "RES_ShowFile.h"

#include "Desktop.h"
#include "FileHelpers.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MechanismText.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "PlainText.h"
#include "SharedState.h"
#include "SolverFileOpening.h"
#include "Text.h"
#include "WorkingFiles.h"

#include <QIcon>

namespace kx::text {
void ShowFileInResultWindow(const std::string& requested) {
    std::string path = requested;
    if (path.empty()) {
        bool failed = false;
        runs::CheckSolverFileToOpen(path, failed);
        if (failed) return;
    }
    // The window that shows the file under any spelling of its path.
    if (platform::Form* open = platform::FindFormShowingFile(path)) {
        shell::ShowForm(open);
        platform::BringToFront(open);
        open->Widget()->setFocus();
        platform::SetMousePointer(platform::kPointerDefault);
        shell::UserMessage("The solver file is already opened.\r\n\r\n" + path, platform::kMsgInformation);
        return;
    }
    platform::Form* window = shell::LoadTextFile(path);
    if (!window) return;
    platform::Require<platform::TextFileLoader>(window).IsSolferFile(true);
    const std::string icon = Shared().AssistFolder + "MISC05.ICO";
    if (files::Exists(icon)) window->Widget()->setWindowIcon(QIcon(platform::ToQ(icon)));
    shell::ShowForm(window);
    shell::ZordTimer(window);
    platform::BringToFront(window);
}

void ConvertSolverFileToText(const std::string& path) {
    std::vector<std::string> text;
    try {
        text = ChemkinText(ReadSolverMechanismFile(path), platform::FromQ(platform::ToQ(path).section('/', -1)));
    } catch (const ChemkinFieldError& e) {
        // A value with no place in the fixed columns: no text rather than
        // one that readers would take wrongly.
        shell::UserMessage(e.what(), platform::kMsgExclamation);
        return;
    }
    // The text goes through a scratch file, deleted whatever happens next.
    const ScratchFile scratchFile(WorkingFile("CHEM01.TMP"));
    const std::string& scratch = scratchFile.Path();
    files::WriteLines(scratch, text);
    std::string caption;
    shell::NewTextDocument(caption, true);
    auto* window = dynamic_cast<RES_ShowFile*>(platform::FindFormByCaption(platform::ToQ(caption)));
    if (!window) return;  // the new document could not be made; that was reported
    window->ShowGeneratedText(platform::ToQ(PlainTextFile(files::ReadAll(scratch)).Text()));
}

void InstallTextWindows() {
    shell::InstallFormCreator(shell::kTextWindow, [] { return new RES_ShowFile; });
    shell::InstallFormCreator(shell::kFindWindow, [] { return new RES_FIND; });
    shell::InstallFormCreator(shell::kTextPageSetup, [] { return new RES_PAGESETUP; });
    shell::InstallShowFileInResultWindow(ShowFileInResultWindow);
}

}  // namespace kx::text
