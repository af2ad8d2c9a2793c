#include "RES_ShowFile.h"

#include "CommonDialogs.h"
#include "Desktop.h"
#include "DocumentMenus.h"
#include "FileHelpers.h"
#include "FileQuestions.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "PlainText.h"
#include "RES_FIND.h"
#include "RichText.h"
#include "SharedState.h"
#include "SolverFileOpening.h"
#include "Text.h"
#include "TextHelpers.h"
#include "TextReports.h"
#include "Toolbar.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QDateTime>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace kx::text {
namespace {

using platform::ToQ;
using platform::FromQ;

// Buttons of the main window's text toolbar, by index.
constexpr int kButtonSave = 1;
constexpr int kButtonCut = 5;
constexpr int kButtonCopy = 6;
constexpr int kButtonPaste = 7;
constexpr int kButtonUndo = 9;
constexpr int kButtonRedo = 10;

const QColor kSolverFileBackColor(180, 190, 210);
constexpr const char* kDocumentFont = "Courier New";
constexpr int kFontSizes[] = {9, 11, 14};  // the sizes of the Font Size menu

void setToolbarButton(int index, bool enabled) {
    if (shell::MDIForm1* main = shell::MainForm())
        if (QAction* button = main->Toolbar5()->Button(index)) button->setEnabled(enabled);
}

void hideTextToolbar() {
    if (shell::MDIForm1* main = shell::MainForm()) main->Toolbar5()->hide();
}

std::string lowerExtension(const std::string& path) {
    std::string name, extension;
    std::int32_t position = 0;
    SplitFileName(path, name, extension, position);
    return LowerAscii(extension);
}

std::string fileName(const std::string& path) {
    std::string name, extension;
    std::int32_t position = 0;
    SplitFileName(path, name, extension, position);
    return name;
}

// Date and time as the page heading and the Date/Time command write them.
QString dateText(const QDateTime& t) { return QLocale::c().toString(t, "MMM d yyyy"); }
QString timeText(const QDateTime& t) { return QLocale::c().toString(t, "hh:mm:ss"); }

}  // namespace

// The engine's view of the document box and its snapshot timer. The box
// reports a selection only when it changed, so that a move reported twice
// (as position and as selection) does not hide the selection before it.
class RES_ShowFile::UndoBinding : public UndoBox, public UndoTimer {
public:
    UndoBinding(RES_ShowFile& window, platform::Timer& timer) : w_(window), timer_(timer) {}

    clsUndoElement Content() const override {
        clsUndoElement e;
        e.Rich = w_.loadType_ == 0;
        e.Text = e.Rich ? DocumentRtf(*w_.box_->document()) : DocumentPlainText(*w_.box_->document()).toStdString();
        return e;
    }
    void SetContent(const clsUndoElement& content) override {
        if (content.Rich)
            SetDocumentRtf(*w_.box_, rtf::Read(content.Text));
        else
            SetDocumentText(*w_.box_, ToQ(content.Text));
    }
    // Selections in text positions: the pieces of long lines may be cut
    // elsewhere when the snapshot comes back.
    long SelStart() const override {
        return SoftBreaks(*w_.box_->document()).TextPosition(w_.box_->textCursor().selectionStart());
    }
    long SelLength() const override {
        const QTextCursor c = w_.box_->textCursor();
        const SoftBreakMap breaks = SoftBreaks(*w_.box_->document());
        return breaks.TextPosition(c.selectionEnd()) - breaks.TextPosition(c.selectionStart());
    }
    void SetSelection(long start, long length) override {
        const QTextDocument& document = *w_.box_->document();
        const long end = SoftBreaks(document).TextPosition(document.characterCount() - 1);
        const long from = std::clamp<long>(start, 0, end);
        w_.selectText(static_cast<int>(from), static_cast<int>(std::clamp<long>(start + length, from, end)));
    }
    int ViewTop() const override { return w_.box_->verticalScrollBar()->value(); }
    void SetViewTop(int top) override { w_.box_->verticalScrollBar()->setValue(top); }

    void SetInterval(int ms) override { timer_.SetInterval(ms); }
    void SetEnabled(bool on) override { timer_.SetEnabled(on); }
    bool Enabled() const override { return timer_.Enabled(); }

    void selectionMoved() {
        const QTextCursor c = w_.box_->textCursor();
        const std::pair<int, int> now{c.selectionStart(), c.selectionEnd()};
        if (now == reported_) return;
        reported_ = now;
        w_.undo_.SelectionChanged();
    }

private:
    RES_ShowFile& w_;
    platform::Timer& timer_;
    std::pair<int, int> reported_{0, 0};
};

RES_ShowFile::RES_ShowFile() : FormWindow(shell::kTextWindow) {
    box_ = new DocumentBox(this);
    box_->setObjectName("RichTextBox1");
    box_->setUndoRedoEnabled(false);
    box_->setAcceptRichText(false);
    box_->setContextMenuPolicy(Qt::CustomContextMenu);
    box_->installEventFilter(this);
    setCentralWidget(box_);
    centralWidget()->setContentsMargins(platform::TwipsToPixels(70), platform::TwipsToPixels(100), 0, 0);
    buildMenus();

    binding_ = std::make_unique<UndoBinding>(*this, undoTimer_);
    undoTimer_.OnTimer([this] { shell::IgnoreErrors([this] { undo_.TimerTick(); }); });
    undo_.StateChanged = [this] {
        // Only the active window drives the shared toolbar.
        shell::Trap("17#015. ", [this] {
            if (!isActiveDocument()) return;
            setToolbarButton(kButtonUndo, undo_.canUndo());
            setToolbarButton(kButtonRedo, undo_.canRedo());
        });
    };
    connect(box_, &QTextEdit::textChanged, this, [this] {
        if (box_->Arranging()) return;  // the text stays as it is
        if (quiet_ == 0) modified_ = true;
        undo_.BoxChanged();
    });
    connect(box_, &QTextEdit::cursorPositionChanged, this, [this] { selectionChanged(); });
    connect(box_, &QTextEdit::selectionChanged, this, [this] { selectionChanged(); });
    connect(box_, &QTextEdit::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(box_->viewport()->mapToGlobal(at)); });

    shell::Trap("17#019. ", [this] {
        undo_.Create(*binding_, *binding_, 250);
        shell::UnloadPlotDialogs();
        modified_ = false;
        setEnabled({"CUTTX", "RICH_CUT", "COPYTX", "RICH_COPY", "EDIT_DEL", "RICH_DELETE"}, false);
        setToolbarButton(kButtonCut, false);
        setToolbarButton(kButtonCopy, false);
        setWordWrap(false);
        FntSize(Shared().TextFontSize);
        const QDateTime now = QDateTime::currentDateTime();
        pageHeading_ = "Kinovex,  " + FromQ(dateText(now)) + ", " + FromQ(timeText(now)) + "   " + FromQ(Caption());
        pageNumbers_ = 1;
        firstPage_ = 1;
        loadType_ = 1;
        searchPosition_ = 0;
        // A new window has word wrap on.
        setWordWrap(true);
    });
}

RES_ShowFile::~RES_ShowFile() { undo_.StateChanged = nullptr; }

// A readable share of the main window's area: three quarters of it each
// way, and at least a hundred columns by thirty lines of the document font.
QSize RES_ShowFile::sizeHint() const {
    const QFontMetrics metrics(box_->document()->defaultFont());
    const QMargins margins = centralWidget()->contentsMargins();
    QSize size(metrics.horizontalAdvance(QString(100, 'M')) + margins.left() + margins.right() +
                   box_->verticalScrollBar()->sizeHint().width() + 2 * box_->frameWidth(),
               metrics.lineSpacing() * 30 + margins.top() + margins.bottom() + 2 * box_->frameWidth());
    if (QMdiArea* area = shell::DocumentArea()) size = size.expandedTo(area->viewport()->size() * 3 / 4);
    return size;
}

// ---- Menus -------------------------------------------------------------------

QAction* RES_ShowFile::action(const char* name) const { return findChild<QAction*>(name); }

void RES_ShowFile::setEnabled(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names)
        if (QAction* a = action(name)) a->setEnabled(enabled);
}

void RES_ShowFile::menuCommand(QAction* a, const char* tag, std::function<void()> body) {
    shell::OnMenuCommand(this, a, tag, std::move(body));
}

void RES_ShowFile::buildMenus() {
    auto add = [](QMenu* menu, const char* name, const QString& caption) { return shell::AddMenuEntry(menu, name, caption); };
    auto menu = [this](const char* name, const QString& caption) { return shell::AddMenu(menuBar(), name, caption); };

    QMenu* file = menu("RESFILE", "File");
    menuCommand(add(file, "OPENRES", "Open..."), "17#022. ", [] { shell::OpenFileByType(""); });
    QAction* save = add(file, "SAVERES", "Save");
    save->setShortcut(QKeySequence::Save);
    menuCommand(save, "17#030. ", [this] {
        bool cancelled = false;
        SVTXT(cancelled);
    });
    menuCommand(add(file, "SAVEASRES", "Save as ..."), "17#029. ", [this] { SaveAs(); });
    file->addSeparator();
    menuCommand(add(file, "PAGESETUP", "Print..."), "17#031. ", [] { shell::ShowModalForm(shell::kTextPageSetup); });
    file->addSeparator();
    menuCommand(add(file, "CLOSERES", "Close"), "17#023. ", [this] { platform::Unload(this); });
    file->addSeparator();
    menuCommand(add(file, "EXITRES", "Exit"), "17#011. ", [this] { exitProgram(); });

    QMenu* edit = menu("RESEDIT", "Edit");
    menuCommand(add(edit, "CUTTX", "Cut"), "17#002. ", [this] { TEXT_CUT(); });
    menuCommand(add(edit, "COPYTX", "Copy"), "17#003. ", [this] { TEXT_COPY(); });
    menuCommand(add(edit, "PASTETX", "Paste"), "17#004. ", [this] { ClipInRich(); });
    menuCommand(add(edit, "EDIT_DEL", "Delete"), "17#005. ", [this] { deleteSelection(); });
    edit->addSeparator();
    menuCommand(add(edit, "SELALL", "Select All"), "17#006. ", [this] { box_->selectAll(); });
    menuCommand(add(edit, "DATATIME", "Date/Time"), "17#007. ", [this] { insertDateTime(); });
    edit->addSeparator();
    menuCommand(add(edit, "FINDTX", "Find/Replace..."), "17#033. ", [this] { openToolWindow(shell::kFindWindow); });

    QMenu* format = menu("RESFORMAT", "Format");
    QAction* wrap = add(format, "TXTWORDWRAP", "Word Wrap");
    wrap->setCheckable(true);
    menuCommand(wrap, "17#008. ", [this] { setWordWrap(!WordWrap()); });
    QMenu* sizes = format->addMenu("Font Size");
    sizes->setObjectName("FONTSIZE");
    for (int size : kFontSizes) {
        const std::string name = "FONT" + std::to_string(size);
        QAction* a = sizes->addAction(QString::number(size));
        a->setObjectName(ToQ(name));
        a->setCheckable(true);
        menuCommand(a, "17#009. ", [this, size] {
            Shared().TextFontSize = size;
            FntSize(size);
        });
    }

    QMenu* solver = menu("TEXT_SOLVER", "Solver");
    menuCommand(add(solver, "TXT_RENSOLVER", "Run Solver"), "17#010. ", [this] { RunSol(); });
    QMenu* post = menu("POST", "Post-Processor");
    menuCommand(add(post, "GENRES_RES", "Solver Output Dialog"), "17#012. ", [this] { OpResults(); });
    menuCommand(add(post, "REDKIN_RES", "Reduced Reaction Kinetics"), "17#013. ",
                [this] { openToolWindow(shell::kReductionWindow); });
    menuCommand(add(post, "RESCOMP", "Compare Solver Files"), "17#014. ",
                [this] { openToolWindow(shell::kComparisonWindow); });
    QMenu* tools = menu("RESTOOLS", "Tools");
    menuCommand(add(tools, "RESREACTIONSTools", "Reactions in CHEMKIN Format"), "17#021. ",
                [this] { convertToChemkin(); });

    shell::AddWindowAndHelpMenus(this, menuBar(), {"RESWINDOW", "WINDOWARR", "17#034. ", "RESHELPMENU", "RESHELP", "17#026. "});

    popup_ = new QMenu(this);
    popup_->setObjectName("POP");
    menuCommand(add(popup_, "RICH_CUT", "Cut"), "17#002. ", [this] { TEXT_CUT(); });
    menuCommand(add(popup_, "RICH_COPY", "Copy"), "17#003. ", [this] { TEXT_COPY(); });
    menuCommand(add(popup_, "RICH_PASTE", "Paste"), "17#004. ", [this] { ClipInRich(); });
    menuCommand(add(popup_, "RICH_DELETE", "Delete"), "17#005. ", [this] { deleteSelection(); });
    popup_->addSeparator();
    menuCommand(add(popup_, "RICH_SELALL", "Select All"), "17#006. ", [this] { box_->selectAll(); });

    // The solver tools exist for solver files only.
    setEnabled({"TEXT_SOLVER", "POST", "RESTOOLS"}, false);
}

// ---- Editing -----------------------------------------------------------------

void RES_ShowFile::TEXT_COPY() { box_->copy(); }

void RES_ShowFile::TEXT_CUT() {
    if (locked()) return;
    box_->cut();
}

void RES_ShowFile::ClipInRich() {
    if (locked()) return;
    const QString text = platform::ClipboardText();
    QTextCursor cursor = box_->textCursor();
    // Pasted text takes the window's font: the document's own in plain
    // text, stated explicitly in rich text.
    QTextCharFormat format;
    if (loadType_ == 0) {
        format.setFontFamilies({kDocumentFont});
        format.setFontPointSize(fontSize_);
    }
    if (HasWordTooLongToWrap(text)) SetWrapAnywhere(*box_, true);
    InsertPlainText(cursor, text, format);
    box_->setTextCursor(cursor);
}

void RES_ShowFile::deleteSelection() {
    if (locked()) return;
    box_->textCursor().removeSelectedText();
}

void RES_ShowFile::insertDateTime() {
    if (locked()) return;
    const QDateTime now = QDateTime::currentDateTime();
    box_->textCursor().insertText(dateText(now) + ", " + timeText(now));
}

void RES_ShowFile::FntSize(std::int32_t sIZEn) {
    if (sIZEn < 1) return;
    fontSize_ = sIZEn;
    QFont font(kDocumentFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(sIZEn);
    ++quiet_;
    box_->document()->setDefaultFont(font);
    ShowTabStops(*box_);
    --quiet_;
    for (int size : kFontSizes)
        if (QAction* a = action(("FONT" + std::to_string(size)).c_str())) a->setChecked(size == sIZEn);
}

bool RES_ShowFile::WordWrap() const { return box_->lineWrapMode() != QTextEdit::NoWrap; }

void RES_ShowFile::setWordWrap(bool on) {
    box_->SetWordWrap(on);
    if (QAction* a = action("TXTWORDWRAP")) a->setChecked(on);
}

void RES_ShowFile::selectionChanged() {
    binding_->selectionMoved();
    const bool selected = box_->textCursor().hasSelection();
    setEnabled({"CUTTX", "RICH_CUT", "EDIT_DEL", "RICH_DELETE"}, selected && !locked());
    setEnabled({"COPYTX", "RICH_COPY"}, selected);
    if (isActiveDocument()) {
        setToolbarButton(kButtonCut, selected && !locked());
        setToolbarButton(kButtonCopy, selected);
    }
    if (locked()) SolMenu(isSolFile_);
}

bool RES_ShowFile::isActiveDocument() const { return platform::ActiveDocument() == this; }

bool RES_ShowFile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers m = key->modifiers();
        const int shift = (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
        int code = key->key() == Qt::Key_Z ? clsUndo::kKeyZ : key->key() == Qt::Key_Y ? clsUndo::kKeyY : 0;
        if (code != 0) {
            shell::Trap(code == clsUndo::kKeyZ ? "17#016. " : "17#017. ", [&] { undo_.KeyDown(code, shift); });
            if (code == 0) return true;
        }
        if ((key->key() == Qt::Key_V && shift == clsUndo::kShiftCtrl) || key->matches(QKeySequence::Paste)) {
            shell::Trap("17#004. ", [this] { ClipInRich(); });
            return true;
        }
    }
    if (watched == box_ && event->type() == QEvent::FocusIn) shell::SetMainToolbars(5);
    return FormWindow::eventFilter(watched, event);
}

// ---- Undo and redo -----------------------------------------------------------

void RES_ShowFile::Rich_Undo() {
    shell::Trap("17#016. ", [this] {
        box_->setUpdatesEnabled(false);
        undo_.Undo();
        box_->setUpdatesEnabled(true);
    });
}

void RES_ShowFile::Rich_Redo() {
    shell::Trap("17#017. ", [this] {
        box_->setUpdatesEnabled(false);
        const int caret = box_->textCursor().selectionStart();
        undo_.Redo();
        // After the last step the caret stays where it was.
        if (!undo_.canRedo()) binding_->SetSelection(caret, 0);
        box_->setUpdatesEnabled(true);
    });
}

// ---- Activation ---------------------------------------------------------------

void RES_ShowFile::ToolBr() { shell::SetMainToolbars(5); }

void RES_ShowFile::Form_Activate() {
    shell::Trap("17#018. ", [this] {
        shell::SetMainToolbars(5);
        FinfTxSol();
        shell::UnloadPlotDialogs();
        SolMenu(isSolFile_);
        // Paste stays off in solver-file mode, where the text is locked.
        setToolbarButton(kButtonPaste, !locked());
        const bool selected = box_->textCursor().hasSelection();
        setToolbarButton(kButtonCut, selected && !locked());
        setToolbarButton(kButtonCopy, selected);
        setEnabled({"TEXT_SOLVER"}, isSolFile_);
        setEnabled({"POST"}, isSolFile_ && !runs::SolverFileLacksResults(mePath_, false));
        setToolbarButton(kButtonUndo, undo_.canUndo());
        setToolbarButton(kButtonRedo, undo_.canRedo());
        setEnabled({"RESTOOLS"}, isSolFile_);
        FntSize(Shared().TextFontSize);
    });
}

void RES_ShowFile::Form_Deactivate() {
    // Only another document window taking over ends this one's tools; a
    // dialog or another program in front changes nothing.
    if (!platform::ActiveDocument()) return;
    shell::IgnoreErrors([] {
        platform::UnloadAll(shell::kTextPageSetup);
        platform::UnloadAll(shell::kRunSettingsWindow);
        platform::UnloadAll(shell::kReductionWindow);
    });
}

// ---- Solver-file mode -----------------------------------------------------------

void RES_ShowFile::IsSolferFile(bool BBOOLL) {
    isSolFile_ = BBOOLL;
    if (isSolFile_) SolMenu(true);
    setEnabled({"RESTOOLS"}, isSolFile_);
}

void RES_ShowFile::SolMenu(bool BSOL) {
    // A file shown read-only for its binary data is locked the same way.
    const bool lock = BSOL || readOnlyText_;
    box_->setReadOnly(lock);
    setEnabled({"CUTTX", "PASTETX", "EDIT_DEL", "DATATIME", "SAVERES", "RICH_CUT", "RICH_PASTE", "RICH_DELETE"},
               !lock);
    setToolbarButton(kButtonSave, !lock);
    setToolbarButton(kButtonCut, !lock);
    setToolbarButton(kButtonPaste, !lock);
    if (BSOL && box_->palette().color(QPalette::Base) != kSolverFileBackColor) {
        QPalette p = box_->palette();
        p.setColor(QPalette::Base, kSolverFileBackColor);
        box_->setPalette(p);
    }
}

void RES_ShowFile::setReadOnlyText(bool on) {
    if (on == readOnlyText_) return;
    readOnlyText_ = on;
    SolMenu(isSolFile_);
    showNotes();
}

void RES_ShowFile::showNotes() {
    bool any = false, made = false;
    const auto note = [&](const char* name, bool on, const char* text) {
        auto* label = findChild<QLabel*>(name);
        if (on && !label) {
            label = new QLabel(text);
            label->setObjectName(name);
            statusBar()->addWidget(label, 1);
        }
        if (label) label->setVisible(on);
        made = made || label;
        any = any || on;
    };
    note("ReadOnlyNote", readOnlyText_,
         "This file holds binary data or characters a text window cannot keep as they are: it is shown read-only.");
    note("StrayBytesNote", loadType_ == 1 && plain_.StrayBytes(),
         "This file holds bytes that are not UTF-8: they are shown as red marks, and every save writes them back as "
         "they were.");
    if (made) statusBar()->setVisible(any);
}

void RES_ShowFile::FinfTxSol() {
    shell::IgnoreErrors([this] {
        for (platform::Form* form : platform::Forms())
            if (form->TypeName().trimmed().toUpper() == "RES_FIND") {
                if (auto* find = dynamic_cast<RES_FIND*>(form)) find->IsSol(locked(), this);
                return;
            }
    });
}

void RES_ShowFile::CloseMenu() {
    // The caption names the file without its folder: of two files of one
    // name, the results window of this one goes, not one that would then
    // show results of an older run of this file.
    const auto ofThisFile = [this](platform::Form* form) {
        const auto* results = dynamic_cast<platform::HasSolverFilePath*>(form);
        return !results || files::SameFile(results->SolverFilePath(), mePath_);
    };
    for (platform::Form* form : platform::Forms())
        if (form->Caption() == ToQ(menuCap_) && form->TypeName() == shell::kResultsWindow && ofThisFile(form)) {
            platform::Unload(form);
            return;
        }
}

void RES_ShowFile::UnloadAll() {
    if (shell::FormMinimized(this)) shell::SetFormNormal(this);
    platform::UnloadAll(shell::kRunSettingsWindow);
    platform::UnloadAll(shell::kReductionWindow);
    platform::UnloadAll(shell::kComparisonWindow);
    CloseMenu();
}

void RES_ShowFile::OpResults() {
    UnloadAll();
    runs::OpenResultsWindow(mePath_);
}

void RES_ShowFile::RunSol() {
    UnloadAll();
    const std::string path = mePath_;
    const std::string caption = FromQ(Caption());
    shell::NormalizeMdiWindow();
    shell::Timer3Run(path, caption);
}

// The reduction and comparison windows read the file from the active text
// window themselves.
void RES_ShowFile::openToolWindow(const char* type) {
    if (std::string(type) != shell::kFindWindow) {
        UnloadAll();
        platform::UnloadAll(type);
    } else if (platform::Form* open = platform::FindForm(type)) {
        shell::ShowForm(open);
        platform::BringToFront(open);
        FinfTxSol();
        return;
    }
    platform::Form* form = shell::LoadForm(type);
    shell::SetFormNormal(form);
    shell::ShowForm(form);
    platform::BringToFront(form);
    FinfTxSol();
}

void RES_ShowFile::convertToChemkin() { ConvertSolverFileToText(mePath_); }

void RES_ShowFile::exitProgram() {
    CloseMenu();
    if (!platform::Unload(this)) return;  // the user kept the window: no exit
    shell::RequestExit();
}

// ---- Opening and saving ---------------------------------------------------------

void RES_ShowFile::OPEN_Rich(const std::string& FilePa, bool& ErrBool) {
    ErrBool = false;
    try {
        openFailed_ = false;
        if (!FilePa.empty() && FilePa.front() == '$') {
            SetCaption(ToQ(FilePa.substr(1)));
            mePath_.clear();
            return;
        }
        mePath_ = FilePa;
        title_ = fileName(FilePa);
        SetCaption(ToQ(title_));
        const std::string extension = lowerExtension(FilePa);
        box_->moveCursor(QTextCursor::Start);
        FntSize(10);
        loadType_ = extension == "rtf" ? 0 : 1;
        loadFile(mePath_, loadType_);
        box_->moveCursor(QTextCursor::Start);
        // A shown table is no document of its own: saving it asks for a name.
        // (Where no working folder can be made, no table was made there.)
        try {
            if (mePath_ == shell::MadeTablePath()) mePath_.clear();
        } catch (const std::exception&) {
        }
    } catch (const std::exception& e) {
        openFailed_ = true;
        shell::UserMessage(e.what(), platform::kMsgCritical);
        ErrBool = true;
    }
}

void RES_ShowFile::loadFile(const std::string& path, int loadType) {
    const std::string bytes = files::ReadAll(path);
    diskStamp_ = files::StampOf(path, bytes);
    ++quiet_;
    struct Done {
        int& q;
        ~Done() { --q; }
    } done{quiet_};
    fileRtf_.clear();
    rtfLeftOut_.clear();
    rtfNotKept_.clear();
    if (loadType == 0 && rtf::LooksLikeRtf(bytes)) {
        box_->ShowStrayByteMarks(false);
        const rtf::Document model = rtf::Read(bytes);
        SetDocumentRtf(*box_, model);
        fileRtf_ = bytes;
        rtfLeftOut_ = model.leftOut;
        // The box makes some characters something else (a paragraph
        // break): what it holds is compared with what was read.
        rtfNotKept_ = rtf::CharactersNotKept(model, DocumentRtfModel(*box_->document()));
        showNotes();
        return;
    }
    // A file named .rtf that holds no RTF is kept as the text it is.
    loadType_ = 1;
    plain_ = PlainTextFile(bytes);
    SetDocumentText(*box_, ToQ(plain_.Text()));
    box_->ShowStrayByteMarks(plain_.MarksStandForBytes());
    // Binary data, or text the box does not give back as it was given, is
    // not edited: an unedited save then writes the file's own bytes.
    setReadOnlyText(plain_.Binary() || FromQ(DocumentPlainText(*box_->document())) != plain_.Text());
    showNotes();
}

bool RES_ShowFile::mayLeaveOutRtf() {
    const std::string question = rtf::LossQuestion(rtfLeftOut_, rtfNotKept_);
    if (question.empty()) return true;
    // Enter keeps the file: the OK button removes what it holds.
    return shell::UserMessage(question, platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2,
                              "Save anyway") == platform::kAnswerOk;
}

std::optional<std::string> RES_ShowFile::rtfToWrite() {
    if (!modified_ && !fileRtf_.empty()) return fileRtf_;
    if (readOnlyText_) {
        // The file's text, not the box's view of it.
        const QFont font = box_->document()->defaultFont();
        return rtf::Write(rtf::PlainDocument(plain_.Text()), FromQ(font.family()), font.pointSizeF());
    }
    if (!mayLeaveOutRtf()) return std::nullopt;
    return DocumentRtf(*box_->document());
}

std::optional<files::FileStamp> RES_ShowFile::saveFile(const std::string& path, int loadType) {
    if (loadType == 0) {
        const std::optional<std::string> rtf = rtfToWrite();
        if (!rtf) return std::nullopt;
        files::FileStamp written = writeFile(path, *rtf);
        if (path == mePath_ && *rtf != fileRtf_) {
            // The file now holds what the window holds, and no more. After
            // its own bytes it still holds what the window lacks.
            fileRtf_ = *rtf;
            rtfLeftOut_.clear();
            rtfNotKept_.clear();
        }
        return written;
    }
    // A plain text copy of an RTF document keeps no more than the window.
    if (!mayLeaveOutRtf()) return std::nullopt;
    // A file shown read-only is written as it was read: the box may not
    // give its text back as it was given (a copy of it is the file's bytes).
    const std::string text = readOnlyText_ ? plain_.Text() : FromQ(DocumentPlainText(*box_->document()));
    TextEncoding encoding = plain_.Encoding();
    if (const std::optional<MissingCharacter> missing = FirstMissingCharacter(text, encoding)) {
        std::string question = fileName(path);
        question.insert(0, 1, '\'');
        question += "' is stored as " + EncodingName(encoding) +
                    ", which cannot hold every character of the text (the first is '" + missing->character +
                    "' in line " + std::to_string(missing->line) +
                    ").\r\n\r\n\"Save as UTF-8\" saves the file as UTF-8 instead; Cancel saves nothing.";
        // Enter keeps the file as it is: the OK button converts it.
        if (shell::UserMessage(question, platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2,
                               "Save as UTF-8") != platform::kAnswerOk)
            return std::nullopt;
        encoding = TextEncoding::Utf8;
    }
    if (const std::size_t added = plain_.MarksAdded(text); added > 0) {
        std::string question = "The text of '" + fileName(path);
        question += "' holds " + std::to_string(added) + (added == 1 ? " red mark" : " red marks") +
                    " of bytes that are not UTF-8 more than the file did (typed, pasted or brought back by an "
                    "undo).\r\n\r\n\"Save\" writes each mark as the byte it stands for; Cancel saves nothing.";
        // Enter keeps the file as it is.
        if (shell::UserMessage(question, platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2,
                               "Save") != platform::kAnswerOk)
            return std::nullopt;
    }
    files::FileStamp written = writeFile(path, plain_.Bytes(text, encoding));
    // The document's own file now holds the text: later saves follow it.
    if (path == mePath_) {
        plain_.Saved(text, encoding);
        showNotes();
    }
    return written;
}

bool RES_ShowFile::ShowsOlderCopy() const {
    return !modified_ && !mePath_.empty() && files::CompareWithDisk(diskStamp_, mePath_) == files::DiskState::Changed;
}

files::FileStamp RES_ShowFile::writeFile(const std::string& path, std::string_view bytes) {
    files::WriteAll(path, bytes);
    return files::StampOf(path, bytes);
}

void RES_ShowFile::ShowGeneratedText(const QString& text) {
    SetDocumentText(*box_, text);
    box_->moveCursor(QTextCursor::Start);
    modified_ = true;  // an untitled document not saved yet
}

void RES_ShowFile::NewPath(bool& CanselEr, std::string& FileNSw) {
    CanselEr = false;
    const bool ok = shell::Trap("17#020. ", [&] {
        const std::string filter = "All Files (*.*)|*.*|Windows Text (*.txt)|*.txt";
        const std::int32_t index = loadType_ == 1 ? 2 : 1;
        for (;;) {
            CanselEr = false;
            std::string chosen = FileNSw;
            bool cancelled = false;
            shell::CommonDialog1().FileName = ToQ(FileNSw);
            shell::ShowSaveDialog(1, chosen, index, cancelled, filter);
            if (cancelled) {
                CanselEr = true;
                return;
            }
            const std::string extension = lowerExtension(chosen);
            // Charts, pictures and the other kinds the program does not
            // open as text are no names for a text.
            if (extension != "pg" && !shell::IsRefusedExtension(extension)) {
                FileNSw = chosen;
                return;
            }
            const int answer =
                shell::UserMessage("The file extension '" + extension + "' isn't suitable for the text file.",
                                   platform::kMsgExclamation + platform::kMsgOkCancel);
            if (answer != platform::kAnswerOk) {
                // Nothing is written to the refused name.
                CanselEr = true;
                return;
            }
        }
    });
    if (!ok) CanselEr = true;
}

bool RES_ShowFile::save(bool& cancelled) {
    cancelled = false;
    return shell::Trap("17#030. ", [&] {
        std::string path = mePath_;
        if (path.empty()) {
            std::string name = title_;
            NewPath(cancelled, name);
            if (cancelled) return;
            path = name;
            cancelled = !shell::ConfirmSaveOverOpenFile(path, this, "text");
        } else {
            cancelled = !shell::ConfirmSaveOverDiskChange(diskStamp_, path, "text");
        }
        if (cancelled) return;  // newer work in the file is kept
        const int loadType = lowerExtension(path) == "rtf" ? 0 : 1;
        const std::optional<files::FileStamp> written = saveFile(path, mePath_.empty() ? loadType : loadType_);
        if (!written) {
            cancelled = true;  // the file stays as it was
            return;
        }
        diskStamp_ = *written;
        if (mePath_.empty()) {
            // The first save names the document.
            mePath_ = path;
            title_ = fileName(path);
            SetCaption(ToQ(title_));
            loadType_ = loadType;
        }
        modified_ = false;
    }) && !cancelled;
}

void RES_ShowFile::SVTXT(bool& CanBB) {
    if (isSolFile_) return;  // a solver file is never written from here
    bool cancelled = false;
    save(cancelled);
    if (cancelled) CanBB = true;
}

void RES_ShowFile::SaveAs() {
    bool cancelled = false;
    std::string name = title_;
    NewPath(cancelled, name);
    if (cancelled) return;
    // The document's own file under any spelling is saved as the document's.
    const bool own = files::SameFile(name, mePath_);
    if (own) name = mePath_;
    if (own ? !shell::ConfirmSaveOverDiskChange(diskStamp_, name, "text")
            : !shell::ConfirmSaveOverOpenFile(name, this, "text"))
        return;
    const std::optional<files::FileStamp> written = saveFile(name, lowerExtension(name) == "rtf" ? 0 : 1);
    if (written && own) diskStamp_ = *written;
}

// ---- Closing ------------------------------------------------------------------------

bool RES_ShowFile::QueryUnload() {
    bool refused = false;
    shell::IgnoreErrors([&] {
        if (!isSolFile_) {
            if (openFailed_) return;  // nothing was loaded: nothing to ask
            Shared().CloseRefused = false;
            if (modified_) {
                if (shell::FormMinimized(this)) shell::SetFormNormal(this);
                shell::ShowForm(this);
                platform::BringToFront(this);
                box_->setFocus();
                const std::string question = title_.empty()
                                                 ? "Do you want to save the text document '" + FromQ(Caption()) + "'?"
                                                 : "Do you want to save changes to '" + title_ + "'?";
                const int answer = shell::UserMessage(question, platform::kMsgQuestion + platform::kMsgYesNoCancel);
                bool keep = answer != platform::kAnswerYes && answer != platform::kAnswerNo;
                if (answer == platform::kAnswerYes) {
                    // A cancelled Save dialog or a failed save keeps the
                    // window and its text, as Cancel does.
                    bool cancelled = false;
                    keep = !save(cancelled);
                }
                if (keep) {
                    shell::SetMainToolbars(5);
                    Shared().CloseRefused = true;
                    refused = true;
                    return;
                }
            }
        }
        shell::UnloadToolWindows(shell::kFindWindow);
        handOverFindWindow();
        hideTextToolbar();
        if (isSolFile_) UnloadAll();
    });
    return !refused;
}

// ---- Find and replace -----------------------------------------------------------------

void RES_ShowFile::handOverFindWindow() {
    auto* find = dynamic_cast<RES_FIND*>(platform::FindForm(shell::kFindWindow));
    if (!find) return;
    RES_ShowFile* left = nullptr;
    for (platform::Form* form : platform::FindForms(shell::kTextWindow))
        if (auto* text = dynamic_cast<RES_ShowFile*>(form); text && text != this) left = text;
    if (!left) {
        platform::Unload(find);
        return;
    }
    if (find->Target() == this) find->IsSol(left->locked(), left);
}

namespace {

QTextDocument::FindFlags findFlags(int options) {
    QTextDocument::FindFlags flags;
    if (options & kFindWholeWord) flags |= QTextDocument::FindWholeWords;
    if (options & kFindMatchCase) flags |= QTextDocument::FindCaseSensitively;
    return flags;
}

}  // namespace

void ShowTextNotFound(const QString& text) {
    platform::MsgBox("The text '" + text + "' was not found.", platform::kMsgInformation, shell::kMessageTitle);
}

bool RES_ShowFile::Find_Rich(const QString& FindSTR, int Optin, bool ShowMsg) {
    bool found = false;
    shell::Trap("17#027. ", [&] {
        lastFind_ = FindSTR;
        lastOptions_ = Optin;
        if (FindSTR.isEmpty()) return;
        const auto [start, end] =
            TextFinder(DocumentPlainText(*box_->document()), FindSTR, findFlags(Optin)).Next(searchPosition_);
        if (start < 0) {
            searchPosition_ = 0;
            lastFound_ = -1;
            if (ShowMsg) ShowTextNotFound(FindSTR);
            return;
        }
        found = true;
        lastFound_ = start;
        searchPosition_ = end;
        selectText(start, end);
        box_->ensureCursorVisible();
    });
    return found;
}

void RES_ShowFile::selectText(int start, int end) {
    const SoftBreakMap breaks = SoftBreaks(*box_->document());
    QTextCursor cursor = box_->textCursor();
    cursor.setPosition(breaks.BoxPosition(start));
    cursor.setPosition(breaks.BoxPosition(end, end > start), QTextCursor::KeepAnchor);
    box_->setTextCursor(cursor);
}

void RES_ShowFile::Replace_Rich(const QString& RepStr) {
    if (locked()) return;
    shell::Trap("17#028. ", [&] {
        QTextCursor selected = box_->textCursor();
        const QTextDocument& document = *box_->document();
        const std::pair<int, int> match =
            lastFound_ < 0 ? std::pair(-1, -1)
                           : TextFinder(DocumentPlainText(document), lastFind_, findFlags(lastOptions_)).Next(lastFound_);
        const SoftBreakMap breaks = SoftBreaks(document);
        if (match.first >= 0 && selected.hasSelection() &&
            match == std::pair(breaks.TextPosition(selected.selectionStart()), breaks.TextPosition(selected.selectionEnd()))) {
            InsertPlainText(selected, RepStr, selected.charFormat());
            searchPosition_ = SoftBreaks(document).TextPosition(selected.position());
        }
    });
    Find_Rich(lastFind_, lastOptions_, true);
}

int RES_ShowFile::Replace_ALL(const QString& FindSTR, const QString& RepStr, int Optin) {
    int count = 0;
    if (locked() || FindSTR.isEmpty()) return 0;
    shell::Trap("17#028. ", [&] {
        lastFind_ = FindSTR;
        lastOptions_ = Optin;
        QTextDocument* doc = box_->document();
        // Every match is found in the text as it stands, then replaced from
        // the last on, so that the places of those before stay as found.
        const TextFinder finder(DocumentPlainText(*doc), FindSTR, findFlags(Optin));
        std::vector<std::pair<int, int>> matches;
        for (auto match = finder.Next(0); match.first >= 0; match = finder.Next(match.second)) matches.push_back(match);
        const SoftBreakMap breaks = SoftBreaks(*doc);
        QTextCursor edit(doc);
        edit.beginEditBlock();
        for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
            edit.setPosition(breaks.BoxPosition(match->first));
            edit.setPosition(breaks.BoxPosition(match->second, true), QTextCursor::KeepAnchor);
            edit.insertText(RepStr);
        }
        if (!matches.empty()) BreakLongLines(*doc, breaks.BoxPosition(matches.front().first), doc->characterCount());
        edit.endEditBlock();
        count = static_cast<int>(matches.size());
        searchPosition_ = 0;
        lastFound_ = -1;
    });
    return count;
}

// ---- Page set-up ------------------------------------------------------------------

void RES_ShowFile::Get_Page_SetUp(std::string& Heder, std::int32_t& SetN, std::int32_t& FirstN) {
    Heder = pageHeading_;
    SetN = pageNumbers_;
    FirstN = firstPage_;
}

void RES_ShowFile::Set_Page_SetUp(const std::string& Heder, std::int32_t SetN, std::int32_t FirstN) {
    pageHeading_ = Heder;
    pageNumbers_ = SetN;
    firstPage_ = FirstN;
}

void RES_ShowFile::SelZxBB(bool& IsSel) {
    const QAction* copy = action("COPYTX");
    IsSel = copy && copy->isEnabled();
}

// ---- Printing ------------------------------------------------------------------------

void RES_ShowFile::Print_Rch() {
    shell::Trap("17#024. ", [this] {
        shell::UnloadReportDesigners();
        const QTextCursor cursor = box_->textCursor();
        const bool selection = cursor.hasSelection();
        RTF1_TO_RTF2_Normal(selection, *box_, printBuffer_);
        struct Emptied {
            QString& buffer;
            ~Emptied() { buffer.clear(); }
        } emptied{printBuffer_};
        const QTextDocument& document = *box_->document();
        ShowTextReport(printBuffer_, *this,
                       selection ? DocumentTabStops(document, cursor.selectionStart(), cursor.selectionEnd())
                                 : DocumentTabStops(document, 0, document.characterCount()));
    });
}

void RES_ShowFile::RTF1_TO_RTF2_Normal(bool SELBB, const QTextEdit& RTB1, QString& RTB2) {
    shell::Trap("17#025. ", [&] {
        RTB2.clear();
        const QTextCursor selection = RTB1.textCursor();
        RTB2 = SELBB ? DocumentPlainText(*RTB1.document(), selection.selectionStart(), selection.selectionEnd())
                     : DocumentPlainText(*RTB1.document());
    });
}

}  // namespace kx::text
