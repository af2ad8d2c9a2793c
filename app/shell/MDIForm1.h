// MDIForm1: the program's main window, which holds every document window.
//
// It runs the first stage of the start-up (MDIForm_Load) and the second
// (MDILoad, called by the splash window), carries the two main toolbars and
// the chart-text panel, and the actions that must wait until the current
// event is over: the deferred exit (Timer2), the opening of the run-settings
// window (Timer3) and bringing a window to the front (Timer4).
//
// Tests of other windows may create an MDIForm1 without calling
// MDIForm_Load: that gives the document area, the toolbars and the timers
// without the splash window.
#pragma once

#include "Forms.h"
#include "Timer.h"
#include "Toolbar.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;

namespace kx::platform {
class DocumentMenus;
}

namespace kx::shell {

class MDIForm1 : public platform::FormWindow<QMainWindow> {
public:
    MDIForm1();
    ~MDIForm1() override;

    // First stage of the start-up: options, toolbars, timers, size, the
    // number-format check, then the splash window.
    void MDIForm_Load();
    // Second stage, called by the splash window as it closes.
    void MDILoad();
    // Applies the chart-text panel to the active chart window.
    void PlotTxtOK();
    // 0 cascade, 1 tile horizontally, 2 tile vertically, 3 arrange the
    // minimised windows along the bottom.
    void ArrangeChildren(int nn);
    // Sets the shared constants and remembered choices to their start values.
    void MDILoadConstants();
    // Shows (true) or hides the chart-text panel; SubSetIn is the subset
    // whose label it edits (0 for any other text). The panel opened is the
    // active document window's: while another window is active it is out of
    // sight, and it shows again, as it was left, when that window is active
    // again.
    void SetMode(bool ModeInd, int SubSetIn);
    // Reads "OPTIONS.txt" and, when it reads whole, takes its background
    // colour; when it does not, keeps why for the message.
    void OptionOpen(bool& ErrBL);
    // Closes the chart-text panel: hidden, its text gone.
    void HideContr();
    // Opens the run-settings window on the solver file 500 ms later.
    void Timer3Run(const std::string& FilePP, const std::string& FileCap);
    // Brings the window whose caption (letter case ignored) is FrCap to the
    // front 300 ms later; FrCap comes back upper-cased.
    void ZordTimer(std::string& FrCap);
    // The same for the window itself: the one just opened comes forward,
    // not another whose caption reads the same (a file of the same name in
    // another folder).
    void ZordTimer(platform::Form* window);

    // Switches the deferred exit on.
    void StartDeferredExit();
    // Shows the toolbar set: 2 the chart toolbar, 5 the text toolbar, 0, 1
    // and 4 neither, any other value leaves them; then lays out the panel.
    void ShowToolbarSet(int mode);
    // Enables the menus that stay off until the splash window has closed.
    void EnableStartMenus();

    platform::Toolbar* Toolbar2() const { return toolbar2_; }
    platform::Toolbar* Toolbar5() const { return toolbar5_; }
    QLineEdit* Text8() const { return text8_; }
    QLineEdit* RichTextBox6() const { return richTextBox6_; }
    QPushButton* Command3() const { return command3_; }
    QMdiArea* Area() const { return area_; }
    int SubsetIndex() const { return subsetIndex_; }

    bool QueryUnload() override;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void buildToolbars();
    void applyBackColor();
    void layoutPanel();
    std::array<QWidget*, 3> panelControls() const;
    // The panel, when open, shows while the window that opened it is active.
    void showPanelFor(platform::Form* active);
    void toolbar2ButtonClick(const QString& key);
    void toolbar5ButtonClick(const QString& key);
    void timer1Tick();
    void timer2Tick();
    void timer3Tick();
    void timer4Tick();
    void subWindowActivated(QMdiSubWindow* sub);
    std::vector<QMdiSubWindow*> arrangedWindows(int order) const;
    void cascade();
    void tile(bool horizontal);
    void arrangeIcons();

    QMdiArea* area_ = nullptr;
    QWidget* picture1_ = nullptr;
    platform::Toolbar* toolbar2_ = nullptr;
    platform::Toolbar* toolbar5_ = nullptr;
    QPushButton* command3_ = nullptr;
    QLineEdit* text8_ = nullptr;
    QLineEdit* richTextBox6_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    platform::DocumentMenus* documentMenus_ = nullptr;

    platform::Timer timer1_{700, true};
    platform::Timer timer2_{300, true};
    platform::Timer timer3_{500, true};
    platform::Timer timer4_{300, true};

    bool exitConfirmed_ = false;
    std::string numberFormatMessage_;
    std::string optionsFault_;  // why "OPTIONS.txt" did not read, at the last OptionOpen
    std::string pendingRunFile_;
    std::string pendingRunCaption_;
    platform::Form* frontWindow_ = nullptr;
    platform::Form* activeDocument_ = nullptr;
    int subsetIndex_ = 0;
    bool panelOpen_ = false;
    platform::Form* panelOwner_ = nullptr;  // the window the open panel serves
};

// The main window; nullptr when there is none.
MDIForm1* MainForm();

// Creates the main window and runs the first stage of the start-up.
MDIForm1* StartProgram();

// The main window's services as the other windows call them. Without a
// main window (tests of single windows) they do nothing.
void SetMainToolbars(int mode);
void RequestExit();
void ZordTimer(std::string& caption);
void ZordTimer(platform::Form* window);
void Timer3Run(const std::string& path, const std::string& caption);

// The start-up's number-format check: the complaint, or "" when the
// program's number text suits. The text comes from the probe, by default
// the program's own conversion of a number to text; tests install another
// and get the previous one back.
std::string CheckNumberFormat();
using NumberFormatProbe = std::function<std::string(double)>;
NumberFormatProbe SetNumberFormatProbe(NumberFormatProbe probe);

}  // namespace kx::shell
