// The chart window: construction, menus, the main window's chart toolbar,
// activation, the timers, closing, and chart files.
#include "PLOT.h"

#include "ChartFile.h"
#include "ChartLoading.h"
#include "ChartRandom.h"
#include "CommonDialogs.h"
#include "Desktop.h"
#include "DocumentMenus.h"
#include "FileHelpers.h"
#include "FileQuestions.h"
#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Modal.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "PlotDialogs.h"
#include "SharedState.h"
#include "SubsetText.h"
#include "Text.h"
#include "TextHelpers.h"
#include "Toolbar.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kx::chart {
namespace {

using platform::FromQ;
using platform::ToQ;

}  // namespace

PLOT::PLOT() : FormWindow(shell::kChartWindow) {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The read-out: the subset of the data cursor and its X and Y values.
    readout_ = new QWidget(central);
    readout_->setObjectName("Readout");
    auto* row = new QHBoxLayout(readout_);
    row->setContentsMargins(6, 3, 6, 3);
    readoutLabel_ = new QLabel(readout_);
    readoutLabel_->setObjectName("ReadoutSubset");
    combo1_ = new QComboBox(readout_);
    combo1_->setObjectName("Combo1");
    combo2_ = new QComboBox(readout_);
    combo2_->setObjectName("Combo2");
    for (QComboBox* c : {combo1_, combo2_}) {
        c->addItem(QString());
        c->addItem(QString());
        c->setCurrentIndex(0);
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->setFocusPolicy(Qt::NoFocus);
    }
    row->addWidget(readoutLabel_);
    row->addSpacing(8);
    row->addWidget(combo1_);
    row->addWidget(combo2_);
    row->addStretch(1);
    // The read-out keeps its place when hidden, so that showing it never
    // moves the chart under the mouse.
    QSizePolicy keep = readout_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    readout_->setSizePolicy(keep);
    readout_->hide();

    view_ = new ChartView(model_);
    view_->setFocusPolicy(Qt::StrongFocus);
    view_->setMouseTracking(true);
    view_->installEventFilter(this);
    scroll_ = new QScrollArea(central);
    scroll_->setObjectName("ChartArea");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(true);
    layout->addWidget(readout_);
    layout->addWidget(scroll_, 1);
    setCentralWidget(central);
    buildMenus();

    timer1_.OnTimer([this] {
        shell::Trap("Plot#073. ", [this] {
            pointClickPending_ = false;
            labelClickPending_ = false;
        });
    });
    timer2_.OnTimer([this] {
        if (redrawPending_) Refr();
        redrawPending_ = false;
    });

    shell::Trap("Plot#024. ", [this] {
        chartChanged_ = false;
        MenuEnab(true);
        firstActivation_ = true;
        resetMouseState();
        Shared().NewChartPending = false;
        chartSavedToFile_ = false;
        if (shell::MDIForm1* main = shell::MainForm()) main->SetMode(false, 0);
        int width = 640, height = 480;
        if (shell::MDIForm1* main = shell::MainForm()) {
            width = static_cast<int>(main->width() / 2.3);
            height = std::min(width, static_cast<int>(0.75 * main->height()));
        }
        resize(std::max(width, 320), std::max(height, 240));
        view_->Refresh();
    });
}

// The view draws the model: it goes first.
PLOT::~PLOT() { delete scroll_; }

bool PLOT::IsTemporaryChart() const {
    const QString c = Caption();
    return c == "Temporary Chart" || c == kTemporaryChartCaption;
}

void PLOT::RenderChart(QPainter& painter, const QRectF& target) { view_->RenderTo(painter, target); }

// ---- Menus ---------------------------------------------------------------------

QAction* PLOT::action(const char* name) const { return findChild<QAction*>(name); }

void PLOT::enable(std::initializer_list<const char*> names, bool on) {
    for (const char* name : names)
        if (QAction* a = action(name)) a->setEnabled(on);
}

void PLOT::menuCommand(QAction* a, const char* tag, std::function<void()> body) {
    shell::OnMenuCommand(this, a, tag, std::move(body));
}

void PLOT::buildMenus() {
    auto add = [](QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
        return shell::AddMenuEntry(menu, name, caption, checkable);
    };
    auto menu = [this](const char* name, const QString& caption) { return shell::AddMenu(menuBar(), name, caption); };

    QMenu* file = menu("PLOTFILE", "File");
    menuCommand(add(file, "OPENPLOTMn", "Open..."), "Plot#038. ", [] { shell::OpenFileByType(""); });
    menuCommand(add(file, "PLOT_TXTDOC", "Text Document"), "Plot#039. ", [] {
        std::string caption;
        shell::NewTextDocument(caption, true);
    });
    file->addSeparator();
    QAction* save = add(file, "SAVEGRAPH", "Save");
    save->setShortcut(QKeySequence::Save);
    menuCommand(save, "Plot#066. ", [this] { Save(); });
    menuCommand(add(file, "SAVEASGRAPH", "Save as..."), "Plot#064. ", [this] {
        bool cancelled = false;
        SaveGraphTT(cancelled);
    });
    menuCommand(add(file, "EXPORTPLOT", "Export..."), "Plot#030. ", [this] { exportDialog(); });
    menuCommand(add(file, "PRINTPLOT", "Print..."), "Plot#031. ", [this] { showDialog(shell::kChartPageSetup); });
    file->addSeparator();
    menuCommand(add(file, "CLOSEPLOT", "Close"), "Plot#005. ", [this] { closeWindow(); });
    menuCommand(add(file, "EXITPLOT", "Exit"), "Plot#021. ", [this] { exitProgram(); });

    QMenu* edit = menu("PLOTEDIT", "Edit");
    menuCommand(add(edit, "CUTPLOT", "Cut Subset"), "Plot#010. ", [this] { CUTSS(); });
    menuCommand(add(edit, "SAVESUBSET", "Copy Subset"), "Plot#011. ", [this] { SAVESS(); });
    menuCommand(add(edit, "PASTEPLOT", "Paste Subset"), "Plot#012. ", [this] { PASTESS(); });
    menuCommand(add(edit, "DELETESUBSET", "Delete Subset"), "Plot#013. ", [this] { SubsetDel(SelectedSubset()); });
    edit->addSeparator();
    menuCommand(add(edit, "SUBSETLABEL", "Subset Label..."), "Plot#015. ", [this] {
        const int s = SelectedSubset();
        if (s >= 0) openPanel("SubSet Label", model_.At(s).label, s);
    });
    menuCommand(add(edit, "SUBSETLINEPOINTS", "Line or Points of Subset"), "Plot#014. ", [this] { SubsetLinePoints(); });
    edit->addSeparator();
    menuCommand(add(edit, "NEWANNOTATION", "New Annotation"), "Plot#037. ", [this] { NewAnnotation(); });
    menuCommand(add(edit, "ALLGRAPHTEXT", "All Graph Texts"), "Plot#002. ", [this] { SHOWALLTEXT(); });

    QMenu* view = menu("PLOTVIEW", "View");
    menuCommand(add(view, "VIEWDATA", "Text/Data Only"), "Plot#016. ", [this] { ViewDataOnly(); });
    view->addSeparator();
    menuCommand(add(view, "VIEWSTYLE", "Monochrome", true), "Plot#006. ", [this] { ViewingStyle(); });
    menuCommand(add(view, "LEGENDSHOW", "Legend", true), "Plot#007. ",
                [this] { ShowLegend(!model_.Flag("ShowLegend")); });
    menuCommand(add(view, "GRIDLINES", "Grid Lines", true), "Plot#008. ", [this] { GridLine(); });
    menuCommand(add(view, "MARKPOINTS", "Data Points", true), "Plot#009. ", [this] { MarkDataPnt(); });
    QMenu* textSize = view->addMenu("Text Size");
    textSize->setObjectName("TEXTSIZE");
    const char* textNames[] = {"FONTLADGE", "FONTMedium", "FONTSmall"};
    const char* sizeCaptions[] = {"Large", "Medium", "Small"};
    for (int k = 0; k < 3; ++k)
        menuCommand(add(textSize, textNames[k], sizeCaptions[k], true), "Plot#017. ", [this, k] { SetTextSize(k); });
    QMenu* pointSize = view->addMenu("Point Size");
    pointSize->setObjectName("POINTSIZE");
    const char* pointNames[] = {"POINTSMALL", "POINTMEDIUM", "POINTLARGE"};
    const char* pointCaptions[] = {"Small", "Medium", "Large"};
    for (int k = 0; k < 3; ++k)
        menuCommand(add(pointSize, pointNames[k], pointCaptions[k], true), "Plot#018. ", [this, k] { SetPointSize(k); });
    view->addSeparator();
    QAction* full = add(view, "FULLWIN", "Full Window", true);
    full->setChecked(true);
    menuCommand(full, "Plot#019. ", [this] { FullWin(); });
    menuCommand(add(view, "CHARTSIZE", "Chart Size..."), "Plot#020. ", [this] {
        double height = 0, width = 0;
        if (!AskChartSize(this, ChartHeight() / 567.0, ChartWidth() / 567.0, height, width)) return;
        bool failed = false;
        PoltSize(failed, height, width, 1);
    });
    view->addSeparator();
    menuCommand(add(view, "CASTOMDIAL", "Customize..."), "Plot#032. ", [this] { CastomDial(); });

    QMenu* cursor = menu("PLOTCURSOR", "Cursor");
    menuCommand(add(cursor, "UNDOZOOM", "Undo Zoom"), "Plot#075. ", [this] { UndoZM(); });
    cursor->addSeparator();
    menuCommand(add(cursor, "XYSHOW", "Show Values"), "Plot#087. ", [this] { XYShowSub(); });
    menuCommand(add(cursor, "XYHIDE", "Hide Values"), "Plot#084. ", [this] { XYHIDESub(); });
    menuCommand(add(cursor, "CURSORCROSS", "Cross Cursor"), "Plot#085. ", [this] { SetCursorMode(kCursorCross); });
    menuCommand(add(cursor, "CURSORSQUARE", "Square Cursor"), "Plot#086. ", [this] { SetCursorMode(kCursorSquare); });

    shell::AddWindowAndHelpMenus(this, menuBar(),
                                 {"PLOTWINDOW", "PLOTWINDOWARR", "Plot#035. ", "PLOTHELPMENU", "HELP", "Plot#036. "});

    // The pop-up menu of the chart.
    popup_ = new QMenu(this);
    popup_->setObjectName("POPMENU");
    menuCommand(add(popup_, "UNDOZOOMPOP", "Undo Zoom"), "Plot#075. ", [this] { UndoZM(); });
    menuCommand(add(popup_, "CURSORCROSSPOP", "Cross Cursor"), "Plot#085. ", [this] { SetCursorMode(kCursorCross); });
    menuCommand(add(popup_, "CURSORSQUAREPOP", "Square Cursor"), "Plot#086. ", [this] { SetCursorMode(kCursorSquare); });
    menuCommand(add(popup_, "XY_HIDE", "Hide Values"), "Plot#084. ", [this] { XYHIDESub(); });
    popup_->addSeparator();
    menuCommand(add(popup_, "NEWANNOTATIONPOP", "New Annotation"), "Plot#037. ", [this] { NewAnnotation(); });
    menuCommand(add(popup_, "PLOTPOPDATA", "Text/Data Only"), "Plot#016. ", [this] { ViewDataOnly(); });
    popup_->addSeparator();
    popup_->addMenu(textSize);
    popup_->addMenu(pointSize);

    enable({"CUTPLOT", "SAVESUBSET", "DELETESUBSET", "SUBSETLABEL", "SUBSETLINEPOINTS"}, false);
}

// ---- Toolbar and menu states ---------------------------------------------------------

void PLOT::setToolbarButton(int index, bool enabled) {
    if (platform::ActiveDocument() != this) return;  // only the active window drives the toolbar
    if (shell::MDIForm1* main = shell::MainForm())
        if (QAction* b = main->Toolbar2()->Button(index)) b->setEnabled(enabled);
}

// The pressed look of the toolbar's switches and the ticks of the menus
// follow the chart.
void PLOT::syncToolbar() {
    const bool grid = model_.Flag("GridLines"), marks = model_.Flag("MarkDataPoints");
    const bool mono = !model_.colourStyle;
    if (QAction* a = action("GRIDLINES")) a->setChecked(grid);
    if (QAction* a = action("MARKPOINTS")) a->setChecked(marks);
    if (QAction* a = action("VIEWSTYLE")) a->setChecked(mono);
    if (QAction* a = action("LEGENDSHOW")) a->setChecked(model_.Flag("ShowLegend"));
    const int text = static_cast<int>(model_.Number("FONTSIZE")), point = static_cast<int>(model_.Number("PointSize"));
    const char* textNames[] = {"FONTLADGE", "FONTMedium", "FONTSmall"};
    const char* pointNames[] = {"POINTSMALL", "POINTMEDIUM", "POINTLARGE"};
    for (int k = 0; k < 3; ++k) {
        if (QAction* a = action(textNames[k])) a->setChecked(text == k);
        if (QAction* a = action(pointNames[k])) a->setChecked(point == k);
    }
    if (platform::ActiveDocument() != this) return;
    if (shell::MDIForm1* main = shell::MainForm()) {
        const std::pair<int, bool> switches[] = {{toolbar2::kGridLines, grid}, {toolbar2::kMarker, marks}, {toolbar2::kStyle, mono}};
        for (auto [index, on] : switches)
            if (QAction* b = main->Toolbar2()->Button(index)) {
                b->setCheckable(true);
                b->setChecked(on);
            }
    }
}

// A dialog of another part of the program, by its name, shown modally over
// this chart and unloaded after.
void PLOT::showDialog(const char* type) {
    platform::Form* form = shell::LoadForm(type);
    if (auto* dialog = qobject_cast<QDialog*>(form->Widget())) platform::ShowModal(*dialog);
    if (platform::IsLoaded(form)) platform::Unload(form);
}

void PLOT::ToolBr() { shell::SetMainToolbars(2); }

void PLOT::ClipCheckUp(bool& ErrBL) {
    // Where no working folder can be made, this copy has no copied subset.
    ErrBL = true;
    try {
        ErrBL = !files::Exists(CopiedSubsetPath());
    } catch (const std::exception&) {
    }
}

// A subset copied in another running copy of the program reaches this one
// on the clipboard only: one on the clipboard (the last one copied) comes
// first, else the one this copy copied last.
bool PLOT::mayPaste() {
    if (platform::ClipboardText().startsWith(kSubsetSignature)) return true;
    bool noCopy = true;
    ClipCheckUp(noCopy);
    return !noCopy;
}

std::optional<Subset> PLOT::copiedSubset() {
    const QString clipboard = platform::ClipboardText();
    if (clipboard.startsWith(kSubsetSignature))
        if (std::optional<Subset> s = ReadCopiedSubset(platform::FromQ(clipboard))) return s;
    bool noCopy = true;
    ClipCheckUp(noCopy);
    return noCopy ? std::nullopt : ReadCopiedSubset(files::ReadAll(CopiedSubsetPath()));
}

void PLOT::MenuEnab(bool EnBool) {
    shell::Trap("Plot#025 ", [&] {
        enable({"SAVEGRAPH"}, EnBool);
        setToolbarButton(toolbar2::kSave, EnBool);
    });
}

void PLOT::Refr() {
    shell::Trap("Plot#083. ", [this] {
        view_->Refresh();
        syncToolbar();
    });
}

void PLOT::resetMouseState() {
    pointClickPending_ = false;
    labelClickPending_ = false;
    annotationMoving_ = false;
    keyHeld_ = false;
}

void PLOT::Form_Activate() {
    shell::Trap("Plot#022. ", [this] {
        shell::SetMainToolbars(2);
        platform::UnloadAll(shell::kFindWindow);
        view_->setEnabled(true);
        resetMouseState();
        // A subset must be selected again.
        SubSetSelCancel();
        const bool paste = mayPaste();
        enable({"PASTEPLOT"}, paste);
        setToolbarButton(toolbar2::kPaste, paste);
        MenuEnab(!IsTemporaryChart());
        if (firstActivation_) firstActivation_ = false;
        syncToolbar();
        const std::string caption = FromQ(Caption());
        if (caption != Shared().LastActiveChart)
            if (shell::MDIForm1* main = shell::MainForm()) main->HideContr();
        Shared().LastActiveChart = caption;
    });
}

void PLOT::Form_Deactivate() {
    shell::Trap("Plot#023. ", [] { platform::SetMousePointer(platform::kPointerDefault); });
}

// ---- Closing --------------------------------------------------------------------------

bool PLOT::QueryUnload() {
    bool refused = false;
    shell::IgnoreErrors([&] {
        Shared().CloseRefused = false;
        auto refuse = [&] {
            shell::SetMainToolbars(2);
            Form_Activate();
            Shared().CloseRefused = true;
            refused = true;
        };
        auto ask = [this](const std::string& question) {
            if (shell::FormMinimized(this)) shell::SetFormNormal(this);
            shell::ShowForm(this);
            platform::BringToFront(this);
            view_->setFocus();
            return platform::MsgBox(ToQ(question), platform::kMsgQuestion + platform::kMsgYesNoCancel);
        };
        if (closingWithoutPrompt_) return;
        if (IsTemporaryChart()) {
            // A new Temporary Chart is being built in its place.
            if (Shared().NewChartPending) return;
            if (chartSavedToFile_ && !chartChanged_) return;
            const int answer = ask("Do you want to save the 'Temporary Chart'?");
            if (answer == platform::kAnswerNo) return;
            bool cancelled = false;
            // The window goes only once its chart is safely written.
            if (answer != platform::kAnswerYes || !SaveGraphTT(cancelled)) refuse();
            return;
        }
        if (!chartChanged_) return;
        const int answer = ask("Do you want to save changes to '" + chartFileName_ + "'?");
        if (answer == platform::kAnswerNo) return;
        if (answer != platform::kAnswerYes || !Save()) refuse();
    });
    // The chart toolbar and the text panel go with the chart.
    if (!refused)
        if (shell::MDIForm1* main = shell::MainForm()) {
            main->Toolbar2()->hide();
            main->HideContr();
        }
    return !refused;
}

void PLOT::closeWindow() { platform::Unload(this); }

void PLOT::exitProgram() {
    platform::UnloadAll(shell::kResultsWindow);
    if (!platform::Unload(this)) return;  // the user kept the chart: no exit
    shell::RequestExit();
}

// ---- Chart files ------------------------------------------------------------------------

void PLOT::OPENPLOT(const std::string& Fileop, bool& ErrBool, std::string& FormCaption) {
    ErrBool = false;
    openRefusal_.clear();
    try {
        const std::string bytes = files::ReadAll(Fileop);
        ChartModel loaded = ParseChartFile(bytes);
        std::string name, extension;
        std::int32_t position = 0;
        SplitFileName(Fileop, name, extension, position);
        FormCaption = "Chart " + name;
        chartFileName_ = Fileop;
        diskStamp_ = files::StampOf(Fileop, bytes);
        model_ = std::move(loaded);
        firstActivation_ = false;
        view_->SetSelectedSubset(-1);
        view_->SetDataCursor(kCursorNone, -1, -1);
        view_->UndoZoom();
        Refr();
        MenuEnab(true);
    } catch (const ChartFileError& e) {
        ErrBool = true;
        closingWithoutPrompt_ = true;
        openRefusal_ = e.what();
    } catch (const Error& e) {
        // The file cannot be read.
        ErrBool = true;
        closingWithoutPrompt_ = true;
        openRefusal_ = std::string(e.what()) + ".";
    } catch (const std::exception& e) {
        ErrBool = true;
        closingWithoutPrompt_ = true;
        shell::ReportError("Plot#026. ", e);
    }
}

void PLOT::RestoreContent(const std::string& path) {
    ChartModel loaded = ReadChartFile(path);
    model_ = std::move(loaded);
    SubSetSelCancel();
    XYHIDESub();
    view_->UndoZoom();
    Refr();
}

bool PLOT::ShowsOlderCopy() const {
    return !chartChanged_ && !chartFileName_.empty() &&
           files::CompareWithDisk(diskStamp_, chartFileName_) == files::DiskState::Changed;
}

bool PLOT::writeChart(const std::string& path, const char* tag) {
    return shell::Trap(tag, [&] {
        const std::string bytes = ChartFileText(model_);
        files::WriteAll(path, bytes);
        diskStamp_ = files::StampOf(path, bytes);
    });
}

bool PLOT::SaveGraphTT(bool& Cancelled) {
    Cancelled = false;
    bool saved = false;
    shell::Trap("Plot#065. ", [&] {
        for (;;) {
            std::string path;
            shell::CommonDialog1().FileName = ToQ(chartFileName_);
            shell::ShowSaveDialog(1, path, 1, Cancelled, "Charts (*.pg)|*.pg");
            if (Cancelled) return;
            std::string name, extension;
            std::int32_t position = 0;
            SplitFileName(path, name, extension, position);
            if (LowerAscii(extension) != "pg") {
                const int answer = platform::MsgBox(
                    ToQ("You are attempting to save the chart to the file '" + path +
                        "' with an incorrect extension. The chart file extension is '.pg'."),
                    platform::kMsgExclamation + platform::kMsgOkCancel);
                if (answer == platform::kAnswerOk) continue;
                Cancelled = true;
                return;
            }
            // Its own file asks when changed on disk, another window's file
            // when that window shows it.
            const bool own = files::SameFile(path, chartFileName_);
            if (own ? !shell::ConfirmSaveOverDiskChange(diskStamp_, path, "chart")
                    : !shell::ConfirmSaveOverOpenFile(path, this, "chart")) {
                Cancelled = true;
                return;
            }
            SubSetSelCancel();
            Refr();
            if (!writeChart(path, "Plot#065. ")) return;
            chartFileName_ = path;
            chartChanged_ = false;
            chartSavedToFile_ = true;
            saved = true;
            // A chart of a file now bears the new file's name; the
            // Temporary Chart stays the Temporary Chart.
            if (!IsTemporaryChart()) SetCaption(ToQ("Chart " + name));
            return;
        }
    });
    return saved;
}

bool PLOT::Save() {
    bool saved = false;
    shell::Trap("Plot#067. ", [&] {
        if (!chartFileName_.empty() && !shell::ConfirmSaveOverDiskChange(diskStamp_, chartFileName_, "chart"))
            return;  // the newer file is kept
        if (!chartFileName_.empty() && writeChart(chartFileName_, "Plot#068. ")) {
            chartChanged_ = false;
            saved = true;
            return;
        }
        bool cancelled = false;
        saved = SaveGraphTT(cancelled);
    });
    return saved;
}

void PLOT::SaveTT() { Save(); }

// ---- Installation ---------------------------------------------------------------------------

void InstallChartWindows() {
    shell::InstallFormCreator(shell::kChartWindow, [] { return new PLOT; });
    shell::InstallFormCreator(kExportDialog, [] { return new PLOT_xportMe; });
}

}  // namespace kx::chart
