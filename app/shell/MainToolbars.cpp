// The main window's two toolbars and its chart-text panel. A button does
// nothing itself: it calls the active document window through the
// capability of its kind, or opens a print set-up dialog.
#include "MDIForm1.h"

#include "Desktop.h"
#include "FormRegistry.h"
#include "Icons.h"
#include "Messages.h"
#include "Text.h"
#include "TextHelpers.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <map>

namespace kx::shell {
namespace {

using platform::ActiveDocument;
using platform::Require;
using platform::TwipsToPixels;

// A button's picture: its name in the icon theme, and the standard icon
// that stands in when the theme lacks it.
struct ButtonIcon {
    const char* theme = nullptr;
    QStyle::StandardPixmap fallback = QStyle::SP_FileIcon;
};

constexpr ButtonIcon kSaveIcon{"document-save", QStyle::SP_DialogSaveButton};
constexpr ButtonIcon kPrintIcon{"document-print", QStyle::SP_FileIcon};
constexpr ButtonIcon kCutIcon{"edit-cut", QStyle::SP_DialogDiscardButton};
constexpr ButtonIcon kCopyIcon{"edit-copy", QStyle::SP_FileLinkIcon};
constexpr ButtonIcon kPasteIcon{"edit-paste", QStyle::SP_DialogApplyButton};

struct ButtonDef {
    const char* key = nullptr;  // nullptr: a separator
    const char* tooltip = nullptr;
    ButtonIcon icon;
};

constexpr ButtonDef kSeparator{};

// Button order is fixed: the chart and text windows enable buttons by index.
constexpr ButtonDef kChartButtons[] = {
    {"SAVE", "Save Chart", kSaveIcon},
    {"PlotPrint", "Print", kPrintIcon},
    kSeparator,
    {"CUTSUBSET", "Cut ", kCutIcon},
    {"SAVESUBSET", "Copy", kCopyIcon},
    {"PASTESUBSET", "Paste ", kPasteIcon},
    kSeparator,
    {"ANNOTATIONS", "New Graph Annotation", {"insert-text", QStyle::SP_FileDialogNewFolder}},
    {"SHOWTEXT", "Show All Graph Texts", {"view-list-text", QStyle::SP_FileDialogDetailedView}},
    kSeparator,
    {"GRIDLINE", "Show/Hide Grid Lines", {"view-grid", QStyle::SP_FileDialogListView}},
    {"MARKER", "Show/Hide Points", {"labplot-xy-curve-points", QStyle::SP_FileDialogInfoView}},
    {"LEGEND", "Color/Monochrome Style", {"color-mode-black-white", QStyle::SP_DesktopIcon}},
};

constexpr ButtonDef kTextButtons[] = {
    {"SAVE", "Save", kSaveIcon},
    kSeparator,
    {"PRINT", "Print", kPrintIcon},
    kSeparator,
    {"TXT_CUT", "Cut", kCutIcon},
    {"TXT_COPY", "Copy", kCopyIcon},
    {"TXT_PASTE", "Paste", kPasteIcon},
    kSeparator,
    {"RICH_UNDO", "Undo", {"edit-undo", QStyle::SP_ArrowBack}},
    {"RICH_REDO", "Redo", {"edit-redo", QStyle::SP_ArrowForward}},
    kSeparator,
    {"FIND", "Find/Replace", {"edit-find-replace", QStyle::SP_FileDialogContentsView}},
};

template <std::size_t N>
platform::Toolbar* makeToolbar(QWidget* parent, const char* name, const ButtonDef (&buttons)[N]) {
    auto* bar = new platform::Toolbar(parent);
    bar->setObjectName(name);
    for (const ButtonDef& b : buttons) {
        if (!b.key)
            bar->AddSeparator();
        else
            bar->AddButton(b.key, b.tooltip, platform::ThemeIcon(b.icon.theme, b.icon.fallback));
    }
    return bar;
}

// The buttons that call a method of the active document window, by key.
template <class Target>
using KeyActions = std::map<QString, void (Target::*)()>;

const KeyActions<platform::ChartToolbarTarget> kChartActions = {
    {"SAVE", &platform::ChartToolbarTarget::SaveTT},
    {"CUTSUBSET", &platform::ChartToolbarTarget::CUTSS},
    {"SAVESUBSET", &platform::ChartToolbarTarget::SAVESS},
    {"PASTESUBSET", &platform::ChartToolbarTarget::PASTESS},
    {"SHOWTEXT", &platform::ChartToolbarTarget::SHOWALLTEXT},
    {"GRIDLINE", &platform::ChartToolbarTarget::GridLine},
    {"MARKER", &platform::ChartToolbarTarget::MarkDataPnt},
    {"LEGEND", &platform::ChartToolbarTarget::ViewingStyle},
};

const KeyActions<platform::TextToolbarTarget> kTextActions = {
    {"TXT_CUT", &platform::TextToolbarTarget::TEXT_CUT},
    {"TXT_COPY", &platform::TextToolbarTarget::TEXT_COPY},
    {"TXT_PASTE", &platform::TextToolbarTarget::ClipInRich},
    {"RICH_UNDO", &platform::TextToolbarTarget::Rich_Undo},
    {"RICH_REDO", &platform::TextToolbarTarget::Rich_Redo},
};

// Calls the method of the key on the active document window; an unknown
// key does nothing.
template <class Target>
void callActive(const QString& key, const KeyActions<Target>& actions) {
    auto it = actions.find(key);
    if (it != actions.end()) (Require<Target>(ActiveDocument()).*(it->second))();
}

// The one loaded window of a tool type, or a new one.
platform::Form* toolWindow(const char* type) {
    if (platform::Form* open = platform::FindForm(type)) return open;
    return LoadForm(type);
}

void showToolWindow(const char* type) {
    platform::Form* form = toolWindow(type);
    ShowForm(form);
    platform::BringToFront(form);
}

}  // namespace

void MDIForm1::buildToolbars() {
    toolbar2_ = makeToolbar(picture1_, "Toolbar2", kChartButtons);
    toolbar5_ = makeToolbar(picture1_, "Toolbar5", kTextButtons);
    toolbar2_->OnButtonClick([this](const QString& key) { toolbar2ButtonClick(key); });
    toolbar5_->OnButtonClick([this](const QString& key) { toolbar5ButtonClick(key); });

    // The panel lies over the toolbars' right part, so it is made after them.
    text8_ = new QLineEdit(picture1_);
    text8_->setObjectName("Text8");
    text8_->setReadOnly(true);
    text8_->installEventFilter(this);
    richTextBox6_ = new QLineEdit(picture1_);
    richTextBox6_->setObjectName("RichTextBox6");
    command3_ = new QPushButton("OK", picture1_);
    command3_->setObjectName("Command3");
    connect(command3_, &QPushButton::clicked, this, [this] { PlotTxtOK(); });
    connect(richTextBox6_, &QLineEdit::returnPressed, this, [this] { PlotTxtOK(); });
    for (QWidget* w : panelControls()) w->hide();
    picture1_->setFixedHeight(toolbar2_->sizeHint().height() + TwipsToPixels(100));
    for (platform::Toolbar* bar : {toolbar2_, toolbar5_}) bar->hide();
    layoutPanel();
}

std::array<QWidget*, 3> MDIForm1::panelControls() const { return {text8_, richTextBox6_, command3_}; }

void MDIForm1::ShowToolbarSet(int mode) {
    switch (mode) {
        case 0:
        case 1:
        case 4:
            toolbar2_->hide();
            toolbar5_->hide();
            break;
        case 2:
            toolbar5_->hide();
            toolbar2_->show();
            break;
        case 5:
            toolbar2_->hide();
            toolbar5_->show();
            break;
        default: break;
    }
    layoutPanel();
}

// Panel places in twips, from the top of the chart toolbar. The panel
// starts at its usual place, or right of the chart toolbar's last button
// where the buttons reach further, so that it never covers a button; the
// caption box is wide enough for the longest caption it shows.
void MDIForm1::layoutPanel() {
    const int t = platform::PixelsToTwips(toolbar2_->y()) + 50;
    int buttonsEnd = 0;
    if (QAction* last = toolbar2_->Button(toolbar2_->ButtonCount()))
        if (QWidget* button = toolbar2_->widgetForAction(last))
            buttonsEnd = platform::PixelsToTwips(toolbar2_->x() + button->geometry().right());
    const int captionPixels = text8_->fontMetrics().horizontalAdvance(QStringLiteral("New Annotation")) +
                              2 * text8_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    const int labelWidth = std::max(1200, platform::PixelsToTwips(captionPixels));
    const int labelLeft = std::max(4660, buttonsEnd + 120);
    text8_->setGeometry(TwipsToPixels(labelLeft), TwipsToPixels(t - 20), TwipsToPixels(labelWidth),
                        text8_->sizeHint().height());
    const int richLeft = labelLeft + labelWidth + 40;
    richTextBox6_->setGeometry(TwipsToPixels(richLeft), TwipsToPixels(t - 70), TwipsToPixels(3000),
                               TwipsToPixels(350));
    const int commandLeft = richLeft + 3000 + 100;
    const int commandWidth = platform::PixelsToTwips(command3_->sizeHint().width());
    command3_->setGeometry(TwipsToPixels(commandLeft), TwipsToPixels(t - 50), TwipsToPixels(commandWidth),
                           TwipsToPixels(300));
    for (QWidget* w : panelControls()) w->raise();
}

void MDIForm1::toolbar2ButtonClick(const QString& key) {
    Trap("MDI#016. ", [&] {
        if (key == "PlotPrint") {
            ShowModalForm(kChartPageSetup);
            return;
        }
        if (key == "ANNOTATIONS") {
            SetMode(true, 0);
            text8_->setText("New Annotation");
            richTextBox6_->clear();
            return;
        }
        callActive(key, kChartActions);
    });
}

void MDIForm1::toolbar5ButtonClick(const QString& key) {
    Trap("MDI#017. ", [&] {
        if (key == "SAVE") {
            bool cancelled = false;
            Require<platform::TextToolbarTarget>(ActiveDocument()).SVTXT(cancelled);
            return;
        }
        if (key == "PRINT") {
            ShowModalForm(kTextPageSetup);
            return;
        }
        if (key == "FIND") {
            showToolWindow(kFindWindow);
            return;
        }
        callActive(key, kTextActions);
    });
}

void MDIForm1::SetMode(bool ModeInd, int SubSetIn) {
    Trap("MDI#013. ", [&] {
        subsetIndex_ = SubSetIn;
        // The panel is the window's that opens it: it shows while that
        // window is the active one.
        panelOpen_ = ModeInd;
        panelOwner_ = ModeInd ? ActiveDocument() : nullptr;
        for (QWidget* w : panelControls()) w->setVisible(ModeInd);
        if (!ModeInd) richTextBox6_->clear();
    });
}

void MDIForm1::HideContr() {
    panelOpen_ = false;
    panelOwner_ = nullptr;
    for (QWidget* w : panelControls()) w->hide();
    richTextBox6_->clear();
}

void MDIForm1::showPanelFor(platform::Form* active) {
    if (!panelOpen_) return;
    if (panelOwner_ && !platform::IsLoaded(panelOwner_)) {
        HideContr();
        return;
    }
    // Another window cannot take the panel's text; its owner finds it again
    // as it was left.
    for (QWidget* w : panelControls()) w->setVisible(active == panelOwner_);
}

void MDIForm1::PlotTxtOK() {
    Trap("MDI#010 ", [this] {
        const std::string label(TrimBlanks(platform::FromQ(text8_->text())));
        const std::string text = platform::FromQ(richTextBox6_->text());
        platform::Form* active = ActiveDocument();
        auto& chart = Require<platform::ChartTexts>(active);
        if (label == "Main Title")
            chart.SetMainTitle(text);
        else if (label == "SubTitle")
            chart.SetSubTitle(text);
        else if (label == "XAxis Label")
            chart.SetXAxisLabel(text);
        else if (label == "YAxis Label")
            chart.SetYAxisLabel(text);
        else if (label == "SubSet Label")
            chart.SetSubsetLabel(subsetIndex_, text);
        else if (label == "New Annotation")
            Require<platform::ChartAnnotations>(active).TextAnnotationsNew();
        else if (label == "Annotation")
            Require<platform::ChartAnnotations>(active).TextAnnotationsOld();
        chart.ApplyChartChanges();
        Require<platform::ChartAnnotations>(active).MustSave();
        active->Widget()->setFocus();
    });
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == text8_ && e->type() == QEvent::MouseButtonPress)
        IgnoreErrors([] {
            if (platform::Form* active = ActiveDocument()) active->Widget()->setFocus();
        });
    return FormWindow::eventFilter(watched, e);
}

}  // namespace kx::shell
