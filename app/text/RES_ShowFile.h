// RES_ShowFile: the text window. One window shows one document: a plain
// text or RTF file, an untitled document, a text table another window
// wrote, or a solver file in a read-only mode whose menus hand the file to
// a solver run, the results, the reduction, the comparison and the
// mechanism text.
//
// The document box keeps no undo history of its own: the window's clsUndo
// takes a snapshot of the content once the text has rested for 250 ms.
// The modified flag follows every change of the text after loading, so no
// edit goes unsaved without the closing question.
#pragma once

#include "Capabilities.h"
#include "DocumentBox.h"
#include "Files.h"
#include "Forms.h"
#include "PlainText.h"
#include "Timer.h"
#include "Undo.h"

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QTextEdit;

namespace kx::text {

// Search options of Find_Rich and Replace_ALL: their sum.
inline constexpr int kFindWholeWord = 2;
inline constexpr int kFindMatchCase = 4;

class RES_ShowFile : public platform::FormWindow<QMainWindow>,
                     public platform::TextFileLoader,
                     public platform::HasMePath,
                     public platform::ShowsFile,
                     public platform::ResultsOpener,
                     public platform::SolverFileHandOver,
                     public platform::TextToolbarTarget,
                     public platform::HasToolbar,
                     public platform::HasActivation,
                     public platform::HasPageSetup,
                     public platform::TextPrinting {
public:
    RES_ShowFile();
    ~RES_ShowFile() override;

    bool GetIsSolFile() const override { return isSolFile_; }
    std::string MePath() const override { return mePath_; }
    std::string ShownFile() const override { return mePath_; }
    bool ShowsOlderCopy() const override;
    void MenuCap(const std::string& MenCC) override { menuCap_ = MenCC; }

    void TEXT_COPY() override;
    void TEXT_CUT() override;
    void ClipInRich() override;

    // Closes the run, reduction and comparison windows and this file's
    // results window, then opens the results window on the file.
    void OpResults() override;
    // The same closing, then the main window opens the run-settings window
    // on the file 500 ms later.
    void RunSol() override;

    void Rich_Undo() override;
    void Rich_Redo() override;
    void ToolBr() override;

    // Tells an open find window this window's mode.
    void FinfTxSol();
    // Applies (true) or lifts the locks of solver-file mode.
    void SolMenu(bool BSOL);
    void IsSolferFile(bool BBOOLL) override;

    // Loads the file ("$" and a caption: an untitled document). A failure
    // is shown in a message box and sets ErrBool.
    void OPEN_Rich(const std::string& FilePa, bool& ErrBool) override;
    // The Save dialog; CanselEr comes back true when the user cancelled it,
    // or cancelled at the refusal of a chart or picture extension.
    void NewPath(bool& CanselEr, std::string& FileNSw);
    // Saves the document (asking for a path when it has none); CanBB comes
    // back true when the Save dialog was cancelled, or the user kept a file
    // that changed on disk or that another window shows.
    void SVTXT(bool& CanBB) override;
    // "Save as ...": writes a copy; the window keeps its own document.
    // Onto a file another window shows it asks first; onto its own file
    // (under any spelling) it is a save of that file.
    void SaveAs();
    void FntSize(std::int32_t sIZEn);
    void MUStSaVE_RICH() { modified_ = true; }

    void Get_Page_SetUp(std::string& Heder, std::int32_t& SetN, std::int32_t& FirstN) override;
    void Set_Page_SetUp(const std::string& Heder, std::int32_t SetN, std::int32_t FirstN) override;
    // IsSel := text is selected (the Copy item is enabled).
    void SelZxBB(bool& IsSel) override;
    // Prints the selection, or the whole text when nothing is selected, as
    // plain text through the page layout of the page set-up, and shows the
    // preview.
    void Print_Rch() override;
    // Fills the print buffer with the plain text of the selection (SELBB)
    // or of the whole document.
    void RTF1_TO_RTF2_Normal(bool SELBB, const QTextEdit& RTB1, QString& RTB2);

    // Finds the text from the kept search position on and selects it; the
    // next search continues after it. Not found: a message when ShowMsg,
    // and the next search starts from the top.
    bool Find_Rich(const QString& FindSTR, int Optin, bool ShowMsg);
    // Replaces the selected match of the last search and finds the next.
    void Replace_Rich(const QString& RepStr);
    // Replaces every match in the document; returns how many.
    int Replace_ALL(const QString& FindSTR, const QString& RepStr, int Optin);
    // The text and options of the last search.
    const QString& LastFindText() const { return lastFind_; }
    int LastFindOptions() const { return lastOptions_; }

    void CloseMenu();
    void UnloadAll();

    void Form_Activate() override;
    void Form_Deactivate() override;
    bool QueryUnload() override;

    // Shows generated text as the content of this (untitled) document.
    void ShowGeneratedText(const QString& text);

    QSize sizeHint() const override;

    QTextEdit* RichTextBox1() const { return box_; }
    bool Modified() const { return modified_; }
    int LoadType() const { return loadType_; }
    TextEncoding Encoding() const { return plain_.Encoding(); }
    // The plain text file holds bytes that are not UTF-8, shown as marks.
    bool StrayBytes() const { return loadType_ == 1 && plain_.StrayBytes(); }
    bool ReadOnlyText() const { return readOnlyText_; }
    const std::string& Title() const { return title_; }
    bool WordWrap() const;
    std::int32_t FontSize() const { return fontSize_; }
    clsUndo& Undo() { return undo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class UndoBinding;

    void buildMenus();
    QAction* action(const char* name) const;
    void menuCommand(QAction* action, const char* tag, std::function<void()> body);
    void setEnabled(std::initializer_list<const char*> names, bool enabled);
    void selectionChanged();
    void loadFile(const std::string& path, int loadType);
    // Writes the document; the stamp of the file written, or nothing when
    // the user kept the file as it was rather than lose what this window
    // cannot hold.
    std::optional<files::FileStamp> saveFile(const std::string& path, int loadType);
    // The document as RTF: the file's own bytes while it is unedited,
    // else the model's, after asking when that leaves out what the file
    // holds and the window does not (nothing when the user refuses).
    std::optional<std::string> rtfToWrite();
    // Asks, when the RTF file holds pictures, tables or characters that
    // the window does not, whether to write the document without them;
    // true when nothing is left out or the user agrees.
    bool mayLeaveOutRtf();
    // Writes the bytes to the file; the stamp of the file so written.
    files::FileStamp writeFile(const std::string& path, std::string_view bytes);
    // Saves; false when it failed (reported) or the dialog was cancelled.
    bool save(bool& cancelled);
    void setWordWrap(bool on);
    void deleteSelection();
    void insertDateTime();
    // Selects the text between two text positions (soft breaks take none).
    void selectText(int start, int end);
    void openToolWindow(const char* type);
    // As this window closes, the find window goes on with another text
    // window, or closes with the last one: it has nothing else to search.
    void handOverFindWindow();
    // Shows a file that cannot be edited as text without damage read-only.
    void setReadOnlyText(bool on);
    // The notes under the text: a file shown read-only, a file that holds
    // bytes that are not UTF-8.
    void showNotes();
    bool locked() const { return isSolFile_ || readOnlyText_; }
    void convertToChemkin();
    void exitProgram();
    bool isActiveDocument() const;

    DocumentBox* box_ = nullptr;
    QMenu* popup_ = nullptr;
    std::string mePath_;
    std::string title_;
    std::string menuCap_;
    int loadType_ = 1;  // 0 RTF, 1 plain text
    PlainTextFile plain_;       // the plain text file as loaded or last saved
    bool readOnlyText_ = false;  // binary data: shown read-only
    std::string fileRtf_;           // the RTF file as opened or last saved
    std::vector<std::string> rtfLeftOut_;  // what of it the box does not hold: pictures, tables, ...
    std::u32string rtfNotKept_;     // characters of it the box does not give back
    bool modified_ = false;
    files::FileStamp diskStamp_;  // the document's file as read or last saved
    bool isSolFile_ = false;
    bool openFailed_ = false;  // the last open failed: closing asks nothing
    int quiet_ = 0;            // changes made by the window itself, not edits
    std::int32_t fontSize_ = 10;
    std::string pageHeading_;
    std::int32_t pageNumbers_ = 1;
    std::int32_t firstPage_ = 1;
    QString printBuffer_;  // the text being printed, empty otherwise
    int searchPosition_ = 0;  // text positions (soft breaks take none)
    int lastFound_ = -1;
    QString lastFind_;
    int lastOptions_ = 0;

    clsUndo undo_;
    platform::Timer undoTimer_;
    std::unique_ptr<UndoBinding> binding_;
};

// Tells the user that a search found nothing.
void ShowTextNotFound(const QString& text);

// Opens a solver file read-only in a text window, or brings forward the
// window that already shows it (the same file under any spelling of its
// path) with a note. An empty path first asks for the file.
void ShowFileInResultWindow(const std::string& path);

// Shows the mechanism of the solver file as CHEMKIN text in a new text
// document. Errors reach the caller.
void ConvertSolverFileToText(const std::string& path);

// Installs the text window, the find window, the text page set-up dialog
// and ShowFileInResultWindow.
void InstallTextWindows();

}  // namespace kx::text
