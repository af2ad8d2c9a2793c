// Title: the splash window of the start-up. For 7.5 s it shows the
// program's title and a progress bar while the main window stays disabled;
// 0.6 s after it opens it checks once that "OPTIONS.txt" can be opened (a
// failure is shown and ends the program through the deferred exit); at the
// end it hands over to the main window and offers an Open dialog on the
// Samples folder.
#pragma once

#include "Forms.h"
#include "Timer.h"

#include <QWidget>

#include <string>

class QLabel;
class QProgressBar;
class QTextEdit;

namespace kx::shell {

class Title : public platform::FormWindow<QWidget> {
public:
    Title();

    // The check of the options file; a failure requests the exit.
    void TitleLoad();
    // Lays out the title box and writes the title text.
    void Labs();
    // Hands over to the main window: toolbars, enabled, second stage, shown.
    void UnloadTitle();
    // Loads the two auxiliary pictures; true when one fails (shown).
    bool CursorFiles_Check();
    // Test-opens one auxiliary file; true when it fails (shown).
    bool Empty_Check(const std::string& path);
    // Test-opens FlPath for reading; on failure ErrBool and the message.
    void AuxtestOpenFl(const std::string& FlPath, bool& ErrBool, std::string& Msg);
    // The full check of one auxiliary file with its message; true when it
    // failed. With Chenge_Attrib a read-only file is made writable silently.
    bool TotOpnErr(const std::string& FilePath, bool Chenge_Attrib);
    // Switches the end, check and progress timers on or off.
    void TaimerEn(bool EnBl);

    bool StartupFailed() const { return startupFailed_; }
    int ProgressCount() const { return progressCount_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    QTextEdit* RichTextBox1() const { return richTextBox1_; }

    bool QueryUnload() override;

private:
    void timer1Tick();
    void timer3Tick();
    void timer5Tick();

    QTextEdit* richTextBox1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* picture2_ = nullptr;
    platform::Timer timer1_{7500, true};
    platform::Timer timer2_{600, true};
    platform::Timer timer3_{20};
    platform::Timer timer5_{2500};
    bool startupFailed_ = false;
    int progressCount_ = 0;
};

}  // namespace kx::shell
