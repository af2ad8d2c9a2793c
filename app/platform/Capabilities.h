// Capabilities: the small interfaces through which one window calls another.
//
// A document window implements the interfaces of the methods it offers; a
// caller finds them with dynamic_cast (kx::platform::Require in Forms.h),
// and a window without the method raises kx::Error(MethodNotSupported) into
// the caller's error trap. These headers use no Qt, so the logic that works
// on them is tested without windows.
#pragma once

#include <cstdint>
#include <string>

namespace kx::platform {

// A text window: the full path of the document it shows ("" when untitled).
class HasMePath {
public:
    virtual ~HasMePath() = default;
    virtual std::string MePath() const = 0;
};

// A document window that shows a user's file and writes it when saved
// (text and chart windows): the file's path ("" when it has none). Opening
// that file again brings the window forward, and a save from another
// window onto the file asks first.
class ShowsFile {
public:
    virtual ~ShowsFile() = default;
    virtual std::string ShownFile() const = 0;
    // True when another program has changed the file since the window read
    // or saved it and the window holds no changes of its own: it then shows
    // an older copy that can go without loss.
    virtual bool ShowsOlderCopy() const = 0;
};

// A results window: the path of the solver file it shows.
class HasSolverFilePath {
public:
    virtual ~HasSolverFilePath() = default;
    virtual std::string SolverFilePath() const = 0;
};

// A chart window's plotted values. Subsets and points are counted from 0;
// a missing point holds -99999.
class ChartDataSource {
public:
    virtual ~ChartDataSource() = default;
    virtual int Subsets() const = 0;
    virtual int Points() const = 0;
    virtual double XDataII(int subset, int point) const = 0;
    virtual double YDataII(int subset, int point) const = 0;
};

// A document window that puts its own toolbar set on the main window when
// the main window is activated (text windows the text set, chart windows
// the chart set).
class HasToolbar {
public:
    virtual ~HasToolbar() = default;
    virtual void ToolBr() = 0;
};

// A document window's activation events: the main window calls
// Form_Activate when the window becomes its active document window and
// Form_Deactivate when another one does. Each handles its own errors.
class HasActivation {
public:
    virtual ~HasActivation() = default;
    virtual void Form_Activate() = 0;
    virtual void Form_Deactivate() = 0;
};

// A text window as the file openers load it. OPEN_Rich loads the file
// ("$" followed by a caption: an untitled document with that caption); on
// failure it has shown the error itself and sets ErrBool. IsSolferFile
// switches the read-only solver-file mode on (true) or records it off.
class TextFileLoader {
public:
    virtual ~TextFileLoader() = default;
    virtual void OPEN_Rich(const std::string& FilePa, bool& ErrBool) = 0;
    virtual void IsSolferFile(bool BBOOLL) = 0;
};

// A text window that hands its solver file to the results window.
class ResultsOpener {
public:
    virtual ~ResultsOpener() = default;
    virtual void OpResults() = 0;
};

// A text window in solver-file mode as the run, results and reduction
// windows call it: GetIsSolFile tells the mode, RunSol asks the main window
// to open the run-settings window on the file, MenuCap links the results
// window of the file by its caption.
class SolverFileHandOver {
public:
    virtual ~SolverFileHandOver() = default;
    virtual bool GetIsSolFile() const = 0;
    virtual void RunSol() = 0;
    virtual void MenuCap(const std::string& MenCC) = 0;
};

// What the text toolbar does on the active text window. SVTXT saves
// (asking for a path when there is none); CanBB comes back true when the
// user cancelled the Save dialog.
class TextToolbarTarget {
public:
    virtual ~TextToolbarTarget() = default;
    virtual void SVTXT(bool& CanBB) = 0;
    virtual void TEXT_CUT() = 0;
    virtual void TEXT_COPY() = 0;
    virtual void ClipInRich() = 0;
    virtual void Rich_Undo() = 0;
    virtual void Rich_Redo() = 0;
};

// A chart window as the file opener loads it: opens the chart file;
// FormCaption receives the caption the window is to bear; ErrBool is set
// when the file cannot be opened as a chart (nothing shown), and
// OpenRefusal then says why (the reader's sentence, line and what is wrong)
// for the opener's message; it is empty after an error already reported.
class ChartFileLoader {
public:
    virtual ~ChartFileLoader() = default;
    virtual void OPENPLOT(const std::string& Fileop, bool& ErrBool, std::string& FormCaption) = 0;
    virtual std::string OpenRefusal() const = 0;
};

// What the chart toolbar does on the active chart window.
class ChartToolbarTarget {
public:
    virtual ~ChartToolbarTarget() = default;
    virtual void SaveTT() = 0;
    virtual void CUTSS() = 0;
    virtual void SAVESS() = 0;
    virtual void PASTESS() = 0;
    virtual void SHOWALLTEXT() = 0;
    virtual void MarkDataPnt() = 0;
    virtual void GridLine() = 0;
    virtual void ViewingStyle() = 0;
};

// The texts of a chart window's chart control, as the main window's
// chart-text panel sets them. SetSubsetLabel gets the subset number that
// the chart window gave the panel (SetMode); ApplyChartChanges applies the
// changes and redraws.
class ChartTexts {
public:
    virtual ~ChartTexts() = default;
    virtual void SetMainTitle(const std::string& text) = 0;
    virtual void SetSubTitle(const std::string& text) = 0;
    virtual void SetXAxisLabel(const std::string& text) = 0;
    virtual void SetYAxisLabel(const std::string& text) = 0;
    virtual void SetSubsetLabel(int subset, const std::string& text) = 0;
    virtual void ApplyChartChanges() = 0;
};

// A chart window's annotations (their text is read from the main window's
// panel) and its changed flag.
class ChartAnnotations {
public:
    virtual ~ChartAnnotations() = default;
    virtual void TextAnnotationsNew() = 0;
    virtual void TextAnnotationsOld() = 0;
    virtual void MustSave() = 0;
};

// The run-settings window: reads the solver file's settings; InitFileCap
// is the caption of the text window that asked for the run.
class RunSettingsLoader {
public:
    virtual ~RunSettingsLoader() = default;
    virtual void GETPASS(const std::string& Pth, const std::string& InitFileCap) = 0;
};

// The page set-up values of a printable document window: the print
// header, the page-number flag and the first page number.
class HasPageSetup {
public:
    virtual ~HasPageSetup() = default;
    virtual void Get_Page_SetUp(std::string& Heder, std::int32_t& SetN, std::int32_t& FirstN) = 0;
    virtual void Set_Page_SetUp(const std::string& Heder, std::int32_t SetN, std::int32_t FirstN) = 0;
};

// A text window as the text page set-up dialog prints it: SelZxBB tells
// whether text is selected (then only the selection is printed); Print_Rch
// prints and shows the preview, reporting its own errors.
class TextPrinting {
public:
    virtual ~TextPrinting() = default;
    virtual void SelZxBB(bool& IsSel) = 0;
    virtual void Print_Rch() = 0;
};

}  // namespace kx::platform
