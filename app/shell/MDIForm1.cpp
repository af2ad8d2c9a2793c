#include "MDIForm1.h"

#include "AboutKINOVEX.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "DocumentMenuBar.h"
#include "DocumentWindows.h"
#include "FileHelpers.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Help.h"
#include "MessageBox.h"
#include "Messages.h"
#include "NumberFormatCheck.h"
#include "OpenFiles.h"
#include "Options.h"
#include "SharedState.h"
#include "Text.h"
#include "Title.h"
#include "WindowHelpers.h"
#include "WorkingFiles.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace kx::shell {
namespace {

using platform::TwipsToPixels;

NumberFormatProbe& numberFormatProbe() {
    static NumberFormatProbe probe;
    return probe;
}

// Temporary files that the exit deletes whatever their state: this copy's
// working files (the copied subset, the chart backup, the scratch files, the
// solver's path file) go with its working folder; another running copy's
// stay.
void deleteTemporaryFiles() {
    RemoveWorkingFolder();
    bool failed = false;
    DeleteFileIfPresent(Shared().AppFolder + "/SOLTMP.txt", failed);
}

// The document window in an MDI frame; nullptr for no frame.
platform::Form* formIn(QMdiSubWindow* frame) {
    return frame ? dynamic_cast<platform::Form*>(frame->widget()) : nullptr;
}

std::string upper(const std::string& text) { return platform::FromQ(platform::ToQ(text).toUpper()); }

}  // namespace

MDIForm1::MDIForm1() : FormWindow("MDIForm1") {
    SetCaption("  Kinovex-II");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    picture1_ = new QWidget(central);
    picture1_->setObjectName("Picture1");
    area_ = new QMdiArea(central);
    layout->addWidget(picture1_);
    layout->addWidget(area_, 1);
    setCentralWidget(central);

    buildMenus();
    documentMenus_ = new platform::DocumentMenus(menuBar(), area_);
    buildToolbars();
    timer1_.OnTimer([this] { timer1Tick(); });
    timer2_.OnTimer([this] { timer2Tick(); });
    timer3_.OnTimer([this] { timer3Tick(); });
    timer4_.OnTimer([this] { timer4Tick(); });

    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) { subWindowActivated(sub); });
    QMdiArea* area = area_;
    // The document window active last: while another program (another
    // running copy of this one) is the active application, the area has no
    // active window, and a dialog of this program acts on that one.
    platform::SetActiveDocumentSource([area] { return formIn(area->currentSubWindow()); });
    SetMainWindow(this);
    SetDocumentArea(area_);
}

MDIForm1::~MDIForm1() {
    // The document windows are destroyed after this, with the area: the
    // area's activation signals must no longer reach this window.
    disconnect(area_, nullptr, this, nullptr);
    delete documentMenus_;
    if (MainWindow() == this) {
        platform::SetActiveDocumentSource(nullptr);
        SetMainWindow(nullptr);
    }
}

void MDIForm1::buildMenus() {
    auto add = [](QMenu* menu, const QString& name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    fileMenu_ = menuBar()->addMenu("File");
    fileMenu_->setObjectName("FILE");
    QMenu* newMenu = fileMenu_->addMenu("New");
    newMenu->setObjectName("MDI_NEW");
    connect(add(newMenu, "MDI_TEXT", "Text Document"), &QAction::triggered, this, [] {
        std::string caption;
        NewTextDocument(caption, true);
    });
    connect(add(fileMenu_, "OPEN", "Open..."), &QAction::triggered, this, [] { OpenFileByType(""); });
    // Close, Save and Save as belong to the document windows' own menus,
    // which take the place of these while a document window is active: here
    // there is nothing to close or save.
    add(fileMenu_, "CLOSE", "Close")->setEnabled(false);
    fileMenu_->addSeparator();
    add(fileMenu_, "SAVE", "Save")->setEnabled(false);
    add(fileMenu_, "SAVEAS", "Save as...")->setEnabled(false);
    fileMenu_->addSeparator();
    connect(add(fileMenu_, "EXIT", "Exit"), &QAction::triggered, this,
            [this] { Trap("MDI#001. ", [this] { StartDeferredExit(); }); });
    // The document windows carry these menus; the main window's own stay
    // empty and so out of sight.
    for (const auto& [name, caption] : {std::pair{"MDIREACKIN", "Reaction Kinetics"}, std::pair{"MDITools", "Tools"},
                                        std::pair{"WINDOW", "Window"}}) {
        QMenu* empty = menuBar()->addMenu(caption);
        empty->setObjectName(name);
        empty->menuAction()->setVisible(false);
    }
    QMenu* help = menuBar()->addMenu("Help");
    help->setObjectName("HELPDD");
    helpAction_ = add(help, "MDIHELP", "User Guide");
    connect(helpAction_, &QAction::triggered, this, [] { ShowHelp(); });
    help->addSeparator();
    aboutAction_ = add(help, "ABOUTKV", "About");
    connect(aboutAction_, &QAction::triggered, this, [] { ShowAboutBox(); });
    // The splash window enables these when the start-up is over.
    fileMenu_->menuAction()->setEnabled(false);
    helpAction_->setEnabled(false);
    aboutAction_->setEnabled(false);
}

void MDIForm1::EnableStartMenus() {
    fileMenu_->menuAction()->setEnabled(true);
    helpAction_->setEnabled(true);
    aboutAction_->setEnabled(true);
}

void MDIForm1::applyBackColor() {
    area_->setBackground(platform::ToQColor(Shared().MainBackColor));
}

void MDIForm1::OptionOpen(bool& ErrBL) {
    optionsFault_.clear();
    kx::OptionOpen(Shared(), platform::FromQ(platform::ProgramFolder()), ErrBL, &optionsFault_);
    if (!ErrBL) applyBackColor();
}

void MDIForm1::MDIForm_Load() {
    Trap("MDI#004 ", [this] {
        SharedState& s = Shared();
        s.MainBackColor = kGreyBackground;
        bool failed = false;
        OptionOpen(failed);
        if (failed) applyBackColor();
        ShowToolbarSet(0);

        picture1_->setFixedHeight(toolbar2_->sizeHint().height() + TwipsToPixels(100));
        const int screenWidth = TwipsToPixels(platform::ScreenWidthTwips());
        for (platform::Toolbar* bar : {toolbar2_, toolbar5_}) bar->setGeometry(0, 0, screenWidth, bar->sizeHint().height());
        layoutPanel();

        timer1_.SetInterval(700);
        timer2_.SetInterval(300);
        timer3_.SetInterval(500);
        timer4_.SetInterval(300);
        for (platform::Timer* t : {&timer1_, &timer2_, &timer3_, &timer4_}) t->SetEnabled(false);

        exitConfirmed_ = false;
        text8_->setPalette(command3_->palette());
        s.PlotSubtitle = std::string(10, ' ');

        move(TwipsToPixels(-60), TwipsToPixels(-60));
        resize(screenWidth, TwipsToPixels(platform::ScreenHeightTwips() - 200));
        showMaximized();

        const std::string complaint = CheckNumberFormat();
        if (!complaint.empty()) {
            numberFormatMessage_ = complaint;
            timer1_.SetEnabled(true);
            return;
        }
        auto* splash = new Title;
        splash->show();
        splash->raise();
        MDILoadConstants();
    });
}

void MDIForm1::MDILoad() {
    TrapRestoringPointer("MDI#012. ", [this] {
        platform::SetMousePointer(platform::kPointerHourglass);
        ShowToolbarSet(0);
        bool failed = false;
        OptionOpen(failed);
        if (failed) {
            platform::SetMousePointer(platform::kPointerDefault);
            UserMessage("Error in the 'OPTIONS.txt' file. In the KINOVEF-I program, use the OPTIONS window to set "
                        "correct values.\r\n" + optionsFault_,
                        platform::kMsgCritical);
        }
    });
}

void MDIForm1::MDILoadConstants() {
    TrapRestoringPointer("MDI#012. ", [] { LoadConstants(Shared(), platform::DefaultPrinterPaper()); });
}

void MDIForm1::StartDeferredExit() { timer2_.SetEnabled(true); }

bool MDIForm1::QueryUnload() {
    if (!exitConfirmed_) {
        timer2_.SetEnabled(true);
        return false;
    }
    deleteTemporaryFiles();
    platform::EndProgram();
    return true;
}

void MDIForm1::timer1Tick() {
    IgnoreErrors([this] {
        UserMessage(numberFormatMessage_, platform::kMsgCritical);
        auto* help = new Help1;
        ShowForm(help);
        platform::BringToFront(help);
    });
}

void MDIForm1::timer2Tick() {
    IgnoreErrors([] { platform::ClipboardClear(); });
    IgnoreErrors([] { UnloadToolWindows(""); });
    for (platform::Form* form : platform::Forms()) {
        if (form == this || form->TypeName().toUpper() == "MDIFORM1" || !platform::IsLoaded(form)) continue;
        // A prompt cancelled before this exit must not stop it at a window
        // that refuses nothing: each window starts with the flag clear.
        Shared().CloseRefused = false;
        bool unloaded = true;
        IgnoreErrors([&] { unloaded = platform::Unload(form); });
        // A window that stays (its user cancelled at its save prompt, or its
        // save failed) keeps the program running with it.
        if (Shared().CloseRefused || !unloaded) return;
    }
    exitConfirmed_ = true;
    IgnoreErrors([this] { platform::Unload(this); });
}

void MDIForm1::Timer3Run(const std::string& FilePP, const std::string& FileCap) {
    pendingRunFile_ = FilePP;
    pendingRunCaption_ = FileCap;
    timer3_.SetEnabled(true);
}

void MDIForm1::timer3Tick() {
    Trap("MDI#017-1 ", [this] {
        platform::UnloadAll(kRunSettingsWindow);
        platform::Form* run = LoadForm(kRunSettingsWindow);
        platform::Require<platform::RunSettingsLoader>(run).GETPASS(pendingRunFile_, pendingRunCaption_);
        ShowForm(run);
    });
}

void MDIForm1::ZordTimer(std::string& FrCap) {
    IgnoreErrors([&] {
        FrCap = upper(FrCap);
        frontWindow_ = nullptr;
        const QString wanted = platform::ToQ(FrCap);
        for (platform::Form* form : platform::Forms())
            if (form->Caption().toUpper() == wanted) {
                frontWindow_ = form;
                break;
            }
        timer4_.SetEnabled(true);
    });
}

void MDIForm1::ZordTimer(platform::Form* window) {
    IgnoreErrors([&] {
        frontWindow_ = window;
        timer4_.SetEnabled(true);
    });
}

void MDIForm1::timer4Tick() {
    IgnoreErrors([this] {
        if (frontWindow_ && platform::IsLoaded(frontWindow_)) platform::BringToFront(frontWindow_);
    });
}

void MDIForm1::ArrangeChildren(int nn) {
    Trap("MDI#011. ", [&] {
        switch (nn) {
            case 0: cascade(); break;
            case 1: tile(true); break;
            case 2: tile(false); break;
            case 3: arrangeIcons(); break;
            default: throw Error(ErrorKind::InvalidArgument, "arrangement " + std::to_string(nn));
        }
    });
}

// The document windows that cascade and tile arrange: shown and not
// minimised, in the order asked for.
std::vector<QMdiSubWindow*> MDIForm1::arrangedWindows(int order) const {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : area_->subWindowList(static_cast<QMdiArea::WindowOrder>(order)))
        if (sub->isVisible() && !sub->isMinimized()) windows.push_back(sub);
    return windows;
}

namespace {

void putAt(QMdiSubWindow* window, const Place& place) {
    if (window->isMaximized()) window->showNormal();
    window->setGeometry(place.x, place.y, place.width, place.height);
}

}  // namespace

void MDIForm1::cascade() {
    // The window in front stays in front, at the last step.
    const std::vector<QMdiSubWindow*> windows = arrangedWindows(QMdiArea::StackingOrder);
    if (windows.empty()) return;
    const QSize size = area_->viewport()->size();
    const int step = windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()) + 4;
    const std::vector<Place> places = CascadePlaces(static_cast<int>(windows.size()), size.width(), size.height(), step);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        putAt(windows[i], places[i]);
        windows[i]->raise();
    }
}

void MDIForm1::tile(bool horizontal) {
    // Tiles go in the order the windows were opened.
    const std::vector<QMdiSubWindow*> windows = arrangedWindows(QMdiArea::CreationOrder);
    const QSize size = area_->viewport()->size();
    const std::vector<Place> places =
        TilePlaces(static_cast<int>(windows.size()), size.width(), size.height(), horizontal);
    for (std::size_t i = 0; i < windows.size(); ++i) putAt(windows[i], places[i]);
}

void MDIForm1::arrangeIcons() {
    std::vector<QMdiSubWindow*> icons;
    int width = 0, height = 0;
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (sub->isVisible() && sub->isMinimized()) {
            icons.push_back(sub);
            width = std::max(width, sub->width());
            height = std::max(height, sub->height());
        }
    const QSize size = area_->viewport()->size();
    const std::vector<Place> places =
        IconPlaces(static_cast<int>(icons.size()), width, height, size.width(), size.height());
    for (std::size_t i = 0; i < icons.size(); ++i) icons[i]->move(places[i].x, places[i].y);
}

// The activation events of the document windows.
void MDIForm1::subWindowActivated(QMdiSubWindow* sub) {
    platform::Form* now = formIn(sub);
    if (now == activeDocument_) return;
    platform::Form* before = activeDocument_;
    activeDocument_ = now;
    IgnoreErrors([&] {
        if (auto* w = platform::IsLoaded(before) ? dynamic_cast<platform::HasActivation*>(before) : nullptr)
            w->Form_Deactivate();
    });
    IgnoreErrors([&] { showPanelFor(now); });
    IgnoreErrors([&] {
        if (auto* w = dynamic_cast<platform::HasActivation*>(now)) w->Form_Activate();
    });
}

bool MDIForm1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        IgnoreErrors([] { platform::Require<platform::HasToolbar>(platform::ActiveDocument()).ToolBr(); });
    return FormWindow::event(e);
}

void MDIForm1::resizeEvent(QResizeEvent* e) {
    FormWindow::resizeEvent(e);
    IgnoreErrors([this] { arrangeIcons(); });
}

MDIForm1* MainForm() { return dynamic_cast<MDIForm1*>(MainWindow()); }

MDIForm1* StartProgram() {
    auto* main = new MDIForm1;
    main->MDIForm_Load();
    return main;
}

void SetMainToolbars(int mode) {
    Trap("Mod1#008. ", [mode] {
        if (MDIForm1* main = MainForm()) main->ShowToolbarSet(mode);
    });
}

void RequestExit() {
    IgnoreErrors([] {
        if (MDIForm1* main = MainForm()) main->StartDeferredExit();
    });
}

void ZordTimer(std::string& caption) {
    if (MDIForm1* main = MainForm()) main->ZordTimer(caption);
}

void ZordTimer(platform::Form* window) {
    if (MDIForm1* main = MainForm()) main->ZordTimer(window);
}

void Timer3Run(const std::string& path, const std::string& caption) {
    if (MDIForm1* main = MainForm()) main->Timer3Run(path, caption);
}

std::string CheckNumberFormat() {
    std::string complaint;
    IgnoreErrors([&] {
        const NumberFormatProbe& probe = numberFormatProbe();
        const std::string text = probe ? probe(kNumberFormatProbeValue) : NumberToText(kNumberFormatProbeValue);
        complaint = NumberFormatComplaint(text);
        if (!complaint.empty()) platform::SetMousePointer(platform::kPointerDefault);
    });
    return complaint;
}

NumberFormatProbe SetNumberFormatProbe(NumberFormatProbe probe) {
    NumberFormatProbe previous = std::move(numberFormatProbe());
    numberFormatProbe() = std::move(probe);
    return previous;
}

}  // namespace kx::shell
