// The main window with the text and find windows installed, for the tests
// of text windows inside it: a WindowTestBed with its fake clock, text in
// size 11. Dropping it deletes the windows and uninstalls the text windows.
#pragma once

#include "FormRegistry.h"
#include "MDIForm1.h"
#include "RES_ShowFile.h"

#include "DesktopTestSupport.h"

namespace kx::test {

class TextWindowsBed : public WindowTestBed {
public:
    TextWindowsBed() {
        Shared().TextFontSize = 11;
        text::InstallTextWindows();
        main = new shell::MDIForm1;
        main->resize(1000, 700);
        main->show();
    }
    ~TextWindowsBed() {
        DeleteAllWindows();
        shell::InstallFormCreator(shell::kTextWindow, nullptr);
        shell::InstallFormCreator(shell::kFindWindow, nullptr);
        shell::InstallFormCreator(shell::kTextPageSetup, nullptr);
        shell::InstallShowFileInResultWindow(nullptr);
    }

    shell::MDIForm1* main = nullptr;
};

}  // namespace kx::test
