#include "PLOT_Setup.h"

#include "ChartSetupTarget.h"
#include "CommonDialogs.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "Errors.h"
#include "FileHelpers.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "MDIForm1.h"
#include "MessageBox.h"
#include "Messages.h"
#include "SetupRules.h"
#include "StyleSamples.h"
#include "TableHelpers.h"
#include "Text.h"
#include "WorkingFiles.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::chart_setup {
namespace {

constexpr int kWidthTwips = 6570;
constexpr int kHeightTwips = 5050;
constexpr int kLeftFromMainTwips = 2100;
constexpr int kTopFromMainTwips = 1500;
constexpr int kLabelColumnTwips = 2200;
constexpr int kFontSampleSize = 10;
constexpr int kTabStyle = 3;
constexpr int kPlotBackground = 3;
constexpr int kAnnotationSwatch = 5;
constexpr int kMediumOption = 1;

constexpr const char* kSampleText = "AaBbCcDdEe";
constexpr const char* kDefaultFontName = "Courier New";
constexpr std::array<const char*, 6> kSwatchCaptions{"Chart Background", "Chart Foreground", "Shadow ",
                                                     "Plot Background",  "Plot Foreground",  "Plot Annotation"};
constexpr std::array<const char*, 3> kFontCaptions{"Main Title", "Sub Title", " Axis, Legend,  Annotations"};
constexpr std::array<const char*, 3> kModeCaptions{"Auto", "Linear", "Log"};

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* numberBox(QWidget* parent, const QString& name) {
    auto* box = named(new QLineEdit(parent), name);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance("-0.000000E+000") + 12);
    return box;
}

// Three options in a row, one of them selected until the chart says otherwise.
std::array<QRadioButton*, 3> optionRow(QWidget* parent, QBoxLayout* row, const std::array<int, 3>& numbers,
                                       const std::array<const char*, 3>& captions, int selected) {
    std::array<QRadioButton*, 3> options{};
    for (std::size_t i = 0; i < 3; ++i) {
        options[i] = named(new QRadioButton(captions[i], parent), QString("Option%1").arg(numbers[i]));
        row->addWidget(options[i]);
    }
    options[static_cast<std::size_t>(selected)]->setChecked(true);
    return options;
}

}  // namespace

void InstallChartSetup() {
    shell::InstallFormCreator(kChartSetupDialog, [] { return new PLOT_Setup; });
}

PLOT_Setup::PLOT_Setup() : FormWindow(kChartSetupDialog) {
    buildControls();
    Form_Load();
}

PLOT_Setup::PLOT_Setup(SetupTarget& chart) : FormWindow(kChartSetupDialog), target_(&chart) {
    buildControls();
    Form_Load();
}

PLOT_Setup::~PLOT_Setup() = default;

// ---- Controls

void PLOT_Setup::buildControls() {
    setWindowTitle("Plot Setup");
    auto* outer = new QVBoxLayout(this);
    tabStrip1_ = named(new QTabWidget(this), "TabStrip1");

    auto* axes = named(new QWidget, "Frame1_0");
    auto* axesLayout = new QHBoxLayout(axes);
    axesLayout->addWidget(buildAxis("X-Axis", x_, {13, 14, 15}, {2, 3, 4, 5}, {3, 2, 14, 5, 10}, "Minor Tick Marks", 10));
    axesLayout->addWidget(buildAxis("Y-Axis", y_, {18, 17, 16}, {9, 8, 7, 6}, {8, 9, 7, 15, 11}, "MinorTick Marks", 11));
    check1_ = x_.show;
    check2_ = y_.show;
    text10_ = x_.digits;
    text11_ = y_.digits;
    tabStrip1_->addTab(axes, "Axes");
    tabStrip1_->addTab(buildFontTab(), "Font");
    tabStrip1_->addTab(buildColourTab(), "Color");
    tabStrip1_->addTab(buildStyleTab(), "Style");
    outer->addWidget(tabStrip1_, 1);

    label17_ = named(new QLabel(this), "Label17");
    label17_->setStyleSheet("color: #a00000;");
    label17_->hide();
    outer->addWidget(label17_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    command1_ = button(this, "Command1", "OK");
    command7_ = button(this, "Command7", "Apply");
    command3_ = button(this, "Command3", "Cancel");
    for (QPushButton* b : {command1_, command7_, command3_}) buttons->addWidget(b);
    outer->addLayout(buttons);

    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(command7_, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(tabStrip1_, &QTabWidget::currentChanged, this, [this](int index) {
        shell::Trap("18#021. ", [&] {
            if (index == kTabStyle) refreshSamples();
        });
    });

    // Option13 to Option15 and Option18 to Option16, by mode.
    const std::array<const char*, 3> xTags{"18#015. ", "18#016. ", "18#017. "};
    const std::array<const char*, 3> yTags{"18#020. ", "18#019. ", "18#018. "};
    for (int mode = kModeAuto; mode <= kModeLog; ++mode) {
        const auto k = static_cast<std::size_t>(mode);
        connect(x_.modes[k], &QRadioButton::toggled, this, [this, mode, tag = xTags[k]](bool on) {
            if (on) shell::Trap(tag, [&] { TextEnabX(mode); });
        });
        connect(y_.modes[k], &QRadioButton::toggled, this, [this, mode, tag = yTags[k]](bool on) {
            if (on) shell::Trap(tag, [&] { TextEnabY(mode); });
        });
    }
}

QGroupBox* PLOT_Setup::buildAxis(const QString& title, AxisControls& axis, const std::array<int, 3>& optionNumbers,
                                 const std::array<int, 4>& textNumbers, const std::array<int, 5>& labelNumbers,
                                 const char* minorCaption, int digitsNumber) {
    auto* frame = named(new QGroupBox(title), title);
    auto* layout = new QGridLayout(frame);
    axis.show = named(new QCheckBox("Show", frame), QString("Check%1").arg(title.startsWith('X') ? 1 : 2));
    axis.show->setChecked(true);
    layout->addWidget(axis.show, 0, 0, 1, 2);
    auto* modes = new QHBoxLayout;
    axis.modes = optionRow(frame, modes, optionNumbers, kModeCaptions, kModeAuto);
    modes->addStretch(1);
    layout->addLayout(modes, 1, 0, 1, 2);

    const std::array<const char*, 5> captions{"Maximum", "Minimum", "Major Tick Marks", minorCaption,
                                              "Significant Digits"};
    std::array<QLabel**, 5> labels{&axis.maximumLabel, &axis.minimumLabel, &axis.majorLabel, &axis.minorLabel,
                                   &axis.digitsLabel};
    std::array<QLineEdit**, 4> boxes{&axis.maximum, &axis.minimum, &axis.major, &axis.minor};
    const std::array<const char*, 4> designTexts{"1.E+00", "0.E+00", "5", "2"};
    for (std::size_t i = 0; i < 5; ++i) {
        *labels[i] = named(new QLabel(captions[i], frame), QString("Label%1").arg(labelNumbers[i]));
        layout->addWidget(*labels[i], static_cast<int>(i) + 2, 0);
        if (i < 4) {
            *boxes[i] = numberBox(frame, QString("Text%1").arg(textNumbers[i]));
            (*boxes[i])->setText(designTexts[i]);
            layout->addWidget(*boxes[i], static_cast<int>(i) + 2, 1);
        }
    }
    axis.digits = named(new QSpinBox(frame), QString("Text%1").arg(digitsNumber));
    axis.digits->setRange(1, 7);
    axis.digits->setValue(3);
    layout->addWidget(axis.digits, 6, 1, Qt::AlignLeft);
    layout->setRowStretch(7, 1);
    enableAxis(axis, kModeAuto);
    return frame;
}

QWidget* PLOT_Setup::buildFontTab() {
    auto* page = named(new QWidget, "Frame1_1");
    auto* layout = new QVBoxLayout(page);
    auto* size = named(new QGroupBox("Text Size", page), "Frame_TextSize");
    auto* sizeRow = new QHBoxLayout(size);
    textSize_ = optionRow(size, sizeRow, {3, 4, 5}, {"Large", "Medium", "Small"}, 1);
    sizeRow->addStretch(1);
    layout->addWidget(size);

    auto* samples = new QGridLayout;
    for (int i = 0; i < kFontGroups; ++i) {
        const auto k = static_cast<std::size_t>(i);
        label16_[k] = named(new QLabel(kFontCaptions[k], page), QString("Label16_%1").arg(i));
        label13_[k] = named(new QLabel(kSampleText, page), QString("Label13_%1").arg(i));
        label13_[k]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label13_[k]->setMinimumWidth(label13_[k]->fontMetrics().horizontalAdvance(kSampleText) * 3 / 2);
        command4_[k] = button(page, QString("Command4_%1").arg(i), "...");
        command4_[k]->setFixedWidth(command4_[k]->fontMetrics().horizontalAdvance("...") + 24);
        samples->addWidget(label16_[k], i, 0);
        samples->addWidget(label13_[k], i, 1);
        samples->addWidget(command4_[k], i, 2);
        connect(command4_[k], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    }
    samples->setColumnStretch(1, 1);
    layout->addLayout(samples);
    label12_ = named(new QLabel(page), "Label12");
    label12_->setWordWrap(true);
    layout->addWidget(label12_);
    layout->addStretch(1);
    return page;
}

QWidget* PLOT_Setup::buildColourTab() {
    auto* page = named(new QWidget, "Frame1_2");
    auto* layout = new QGridLayout(page);
    for (int i = 0; i < 6; ++i) {
        const auto k = static_cast<std::size_t>(i);
        label1_[k] = named(new QLabel(kSwatchCaptions[k], page), QString("Label1_%1").arg(i));
        auto* swatch = named(new QLabel(page), QString("Text1_%1").arg(i));
        swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        swatch->setAutoFillBackground(true);
        swatch->setMinimumSize(platform::TwipsToPixels(1500), platform::TwipsToPixels(300));
        text1_[k] = swatch;
        command5_[k] = button(page, QString("Command5_%1").arg(i), "...");
        command5_[k]->setFixedWidth(command5_[k]->fontMetrics().horizontalAdvance("...") + 24);
        layout->addWidget(label1_[k], i, 0);
        layout->addWidget(swatch, i, 1);
        layout->addWidget(command5_[k], i, 2);
        connect(command5_[k], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
        setSwatch(i, 0xFFFFFF);
    }
    layout->setColumnStretch(3, 1);
    layout->setRowStretch(6, 1);
    return page;
}

QWidget* PLOT_Setup::buildStyleTab() {
    auto* page = named(new QWidget, "Frame1_3");
    auto* layout = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    grid_ = named(new platform::Grid(page), "GridEX1");
    grid_->AddColumn("Show", "Show", 500);
    grid_->AddColumn("Subset", "Series", kLabelColumnTwips).SetEditable(true);
    grid_->AddColumn("Point", "point", 500);
    grid_->AddColumn("line", "Line", 500);
    grid_->AddColumn("Color", "Color", 500);
    for (const char* key : {"Show", "Point", "line", "Color"}) grid_->Column(key).SetVisible(false);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setMinimumWidth(platform::TwipsToPixels(kLabelColumnTwips) + 4);
    grid_->OnReadRow([this](int row, platform::GridRow& v) {
        shell::Trap("18#012. ", [&] {
            const SubsetStyle& s = styles_.at(static_cast<std::size_t>(row) - 1);
            v.Value(1) = row;
            v.Value(2) = platform::ToQ(s.Label);
            v.Value(3) = s.PointType;
            v.Value(4) = s.LineType;
            v.Value(5) = s.Color;
        });
    });
    grid_->OnWriteRow([this](int row, const platform::GridRow& v) {
        shell::Trap("18#013. ", [&] {
            SubsetStyle& s = styles_.at(static_cast<std::size_t>(row) - 1);
            s.Label = platform::FromQ(v.Value(2).toString());  // a cleared label is empty text
            s.PointType = v.Value(3).toInt();
            s.LineType = v.Value(4).toInt();
            s.Color = v.Value(5).toInt();
        });
    });
    grid_->OnRowChange([this](int) { shell::Trap("18#011. ", [&] { refreshSamples(); }); });
    left->addWidget(grid_, 1);
    command6_ = button(page, "Command6", "Color");
    connect(command6_, &QPushButton::clicked, this, [this] { Command6_Click(); });
    left->addWidget(command6_, 0, Qt::AlignLeft);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* lineFrame = named(new QGroupBox("Line", page), "Frame10");
    auto* lineLayout = new QVBoxLayout(lineFrame);
    lineSamples_ = named(new LineSamples(lineFrame), "Label6");
    lineSamples_->OnClick([this](int code) { Label6_Click(code); });
    lineLayout->addWidget(lineSamples_);
    right->addWidget(lineFrame);

    auto* pointFrame = named(new QGroupBox("Points", page), "Frame15");
    auto* pointLayout = new QVBoxLayout(pointFrame);
    auto* sizeRow = new QHBoxLayout;
    pointSize_ = optionRow(pointFrame, sizeRow, {6, 7, 8}, {"Small", "Medium", "Large"}, 1);
    sizeRow->addStretch(1);
    pointLayout->addLayout(sizeRow);
    pointSamples_ = named(new PointSamples(pointFrame), "Label4");
    pointSamples_->OnClick([this](int code) { Label4_Click(code); });
    pointLayout->addWidget(pointSamples_);
    right->addWidget(pointFrame);
    right->addStretch(1);
    layout->addLayout(right);
    return page;
}

QRadioButton* PLOT_Setup::Option(int n) const {
    switch (n) {
        case 3: case 4: case 5: return textSize_.at(static_cast<std::size_t>(n - 3));
        case 6: case 7: case 8: return pointSize_.at(static_cast<std::size_t>(n - 6));
        case 13: case 14: case 15: return x_.modes.at(static_cast<std::size_t>(n - 13));
        case 16: case 17: case 18: return y_.modes.at(static_cast<std::size_t>(18 - n));
        default: throw Error(ErrorKind::SubscriptOutOfRange, "Option" + std::to_string(n));
    }
}

QLineEdit* PLOT_Setup::Text(int n) const {
    switch (n) {
        case 2: return x_.maximum;
        case 3: return x_.minimum;
        case 4: return x_.major;
        case 5: return x_.minor;
        case 9: return y_.maximum;
        case 8: return y_.minimum;
        case 7: return y_.major;
        case 6: return y_.minor;
        default: throw Error(ErrorKind::SubscriptOutOfRange, "Text" + std::to_string(n));
    }
}

QLabel* PLOT_Setup::Label(int n) const {
    switch (n) {
        case 3: return x_.maximumLabel;
        case 2: return x_.minimumLabel;
        case 14: return x_.majorLabel;
        case 5: return x_.minorLabel;
        case 10: return x_.digitsLabel;
        case 8: return y_.maximumLabel;
        case 9: return y_.minimumLabel;
        case 7: return y_.majorLabel;
        case 15: return y_.minorLabel;
        case 11: return y_.digitsLabel;
        case 12: return label12_;
        case 17: return label17_;
        default: throw Error(ErrorKind::SubscriptOutOfRange, "Label" + std::to_string(n));
    }
}

// ---- Load

void PLOT_Setup::Form_Load() {
    const bool loaded = shell::Trap("18#008. ", [&] {
        grid_->SetRowCount(0);
        if (!target_) {
            ownTarget_ = SetupTargetFor(platform::ActiveDocument());
            target_ = ownTarget_.get();
        }
        target_->UndoZM();

        resize(std::max(sizeHint().width(), platform::TwipsToPixels(kWidthTwips)),
               std::max(sizeHint().height(), platform::TwipsToPixels(kHeightTwips)));
        if (QWidget* main = shell::MainForm())
            move(main->x() + platform::TwipsToPixels(kLeftFromMainTwips),
                 main->y() + platform::TwipsToPixels(kTopFromMainTwips));
        setWindowTitle(platform::ToQ("Plot Setup " + target_->Caption()));
        label12_->setText("The function 'Size' on the Font Dialog Window is disabled. Use the options on the top "
                          "of this page.");
        TabSel(0);

        // The backup always holds the chart in its own colours.
        const bool colours = target_->COLORBOOLTT();
        openedMonochrome_ = !colours;
        backupPath_ = WorkingFile(kChartBackupName);
        if (!colours) target_->PlotCol();
        try {
            target_->SaveChart(backupPath_);
        } catch (...) {
            if (!colours) target_->Monochr();
            throw;
        }
        backupWritten_ = true;
        if (!colours) target_->Monochr();

        const ChartProperties chart = target_->Properties();
        if (ScanDataRange(*target_)) {
            loadAxis(x_, chart.X, target_->DrawnAxis('X'), Shared().TickDigitsX);
            loadAxis(y_, chart.Y, target_->DrawnAxis('Y'), Shared().TickDigitsY);
        }

        const std::array<Colour, 6> colourOf{chart.DeskColor,     chart.TextColor,      chart.ShadowColor,
                                             chart.GraphBackColor, chart.GraphForeColor,
                                             AnnotationColour(chart.Annotations, chart.XAxisColor)};
        for (int i = 0; i < 6; ++i) setSwatch(i, colourOf[static_cast<std::size_t>(i)]);
        if (chart.PointSize >= 0 && chart.PointSize <= 2)
            pointSize_[static_cast<std::size_t>(chart.PointSize)]->setChecked(true);

        styles_ = chart.Subsets;
        grid_->SetRowCount(static_cast<int>(styles_.size()));
        grid_->Refresh();
        if (!styles_.empty()) grid_->SetRow(1);

        FontToMenu(chart);

        if (openedMonochrome_) {
            label17_->setText("Monochrome style, color functions are disabled.");
            label17_->show();
            command6_->setEnabled(false);
            for (int i = 0; i < 6; ++i) {
                command5_[static_cast<std::size_t>(i)]->setEnabled(false);
                label1_[static_cast<std::size_t>(i)]->setEnabled(false);
            }
        }
        // What the dialog shows now is the chart as drawn: an apply writes
        // only what the user changes from here.
        shown_ = currentInput();
        shownSwatch_ = swatch_;
    });
    if (!loaded) {
        // Half-loaded controls are never written into the chart.
        loadFailed_ = true;
        command1_->setEnabled(false);
        command7_->setEnabled(false);
    }
}

void PLOT_Setup::loadAxis(AxisControls& axis, const AxisProperties& properties, const AxisSight& drawn,
                          int tickDigits) {
    const AxisTexts t = LoadAxis(properties, drawn);
    axis.show->setChecked(t.Show);
    axis.modes[static_cast<std::size_t>(t.Mode)]->setChecked(true);
    enableAxis(axis, t.Mode);
    axis.maximum->setText(platform::ToQ(t.Maximum));
    axis.minimum->setText(platform::ToQ(t.Minimum));
    axis.major->setText(platform::ToQ(t.Major));
    axis.minor->setText(platform::ToQ(t.Minor));
    axis.digits->setValue(tickDigits);
}

// ---- Apply, OK, Cancel

AxisInput PLOT_Setup::inputOf(const AxisControls& axis) const {
    return AxisInput{axis.show->isChecked(), modeOf(axis), platform::FromQ(axis.maximum->text()),
                     platform::FromQ(axis.minimum->text()), platform::FromQ(axis.major->text()),
                     platform::FromQ(axis.minor->text()), axis.digits->value()};
}

bool PLOT_Setup::checkAxis(AxisControls& axis, char letter) {
    const AxisCheck check = CheckAxis(inputOf(axis), letter);
    if (check.MajorText) axis.major->setText(platform::ToQ(*check.MajorText));
    if (check.MinorText) axis.minor->setText(platform::ToQ(*check.MinorText));
    if (!check.Refusal) return true;
    TabSel(0);
    QLineEdit* box = check.Refusal->Field == AxisField::Maximum   ? axis.maximum
                     : check.Refusal->Field == AxisField::Minimum ? axis.minimum
                     : check.Refusal->Field == AxisField::Major   ? axis.major
                                                                  : axis.minor;
    box->setFocus();
    if (check.Refusal->SelectAll) box->setSelection(0, static_cast<int>(box->text().size()));
    shell::UserMessage(check.Refusal->Message, platform::kMsgExclamation);
    return false;
}

SetupInput PLOT_Setup::currentInput() const {
    SetupInput input;
    input.X = inputOf(x_);
    input.Y = inputOf(y_);
    input.FontSize = selectedOption(textSize_, kMediumOption);
    input.PointSize = selectedOption(pointSize_, kMediumOption);
    input.Fonts = FontFromMenu();
    input.Styles = styles_;
    return input;
}

void PLOT_Setup::ToPlotOk(bool& ErrBool) {
    ErrBool = false;
    if (!target_) throw Error(ErrorKind::ObjectNotSet);
    // The axes the user changed are checked before anything is written: a
    // refused apply leaves the chart as it was. An axis left as shown stays
    // as the chart draws it.
    auto passes = [this](AxisControls& axis, const AxisInput& shown, char letter) {
        return inputOf(axis) == shown || checkAxis(axis, letter);
    };
    if (!passes(x_, shown_.X, 'X') || !passes(y_, shown_.Y, 'Y')) {
        ErrBool = true;
        return;
    }
    grid_->CommitEdit();
    const SetupInput input = currentInput();
    ChartProperties chart = target_->Properties();
    const bool written = ApplySetup(chart, input, shown_);
    if (written) target_->SetProperties(chart);
    const bool recoloured = swatch_ != shownSwatch_;
    if (recoloured)
        target_->ColorToPlot(swatch_[0], swatch_[1], swatch_[2], swatch_[3], swatch_[4], swatch_[kAnnotationSwatch],
                             Shared().SelectionColor);
    shown_ = input;
    shownSwatch_ = swatch_;
    if (!written && !recoloured) return;
    target_->Rebuild();
    target_->MustSave();
}

void PLOT_Setup::SUBOK() {
    shell::Trap("18#001. ", [&] {
        bool refused = false;
        ToPlotOk(refused);
        if (refused) return;
        platform::Unload(this);  // the backup goes as the dialog closes
    });
}

void PLOT_Setup::Command1_Click() {
    shell::Trap("18#001. ", [&] {
        if (loadFailed_) return;
        if (!hasData()) {
            platform::Unload(this);
            return;
        }
        SUBOK();
    });
}

void PLOT_Setup::Command7_Click() {
    shell::Trap("18#003. ", [&] {
        if (loadFailed_ || !hasData()) return;
        bool refused = false;
        ToPlotOk(refused);
    });
}

void PLOT_Setup::Command3_Click() {
    shell::Trap("18#004. ", [&] {
        if (target_ && backupWritten_) {
            target_->RestorePlotFromFile(backupPath_);
            backupWritten_ = false;
            monochromeDue_ = openedMonochrome_;
        }
        if (target_ && monochromeDue_) {
            target_->Monochr();
            monochromeDue_ = false;
        }
        platform::Unload(this);
    });
}

void PLOT_Setup::reject() {
    // Esc and the close box cancel; an unload by other code only closes.
    if (platform::IsLoaded(this))
        Command3_Click();
    else
        QDialog::reject();
}

void PLOT_Setup::closeEvent(QCloseEvent* event) {
    FormWindow::closeEvent(event);
    if (!event->isAccepted() || !backupWritten_) return;
    bool failed = false;
    DeleteFileIfPresent(backupPath_, failed);
    backupWritten_ = false;
}

bool PLOT_Setup::hasData() const { return target_ && GraphHasData(*target_); }

int PLOT_Setup::selectedOption(const std::array<QRadioButton*, 3>& options, int fallback) const {
    for (std::size_t i = 0; i < options.size(); ++i)
        if (options[i]->isChecked()) return static_cast<int>(i);
    return fallback;
}

int PLOT_Setup::modeOf(const AxisControls& axis) const { return selectedOption(axis.modes, kModeAuto); }

// ---- Tabs, axes, fonts

void PLOT_Setup::enableAxis(AxisControls& axis, int mode) {
    const AxisEnabling on = EnablingFor(mode);
    for (QWidget* w : std::initializer_list<QWidget*>{axis.maximum, axis.maximumLabel, axis.minimum, axis.minimumLabel})
        w->setEnabled(on.Limits);
    for (QWidget* w : std::initializer_list<QWidget*>{axis.major, axis.majorLabel, axis.minor, axis.minorLabel,
                                                      axis.digits, axis.digitsLabel})
        w->setEnabled(on.Ticks);
}

void PLOT_Setup::TextEnabX(int ModeN) {
    shell::Trap("18#009. ", [&] { enableAxis(x_, ModeN); });
}

void PLOT_Setup::TextEnabY(int ModeN) {
    shell::Trap("18#010. ", [&] { enableAxis(y_, ModeN); });
}

void PLOT_Setup::TabSel(int SelInd) {
    shell::Trap("18#022. ", [&] {
        if (SelInd < 0 || SelInd >= tabStrip1_->count()) throw Error(ErrorKind::InvalidArgument);
        tabStrip1_->setCurrentIndex(SelInd);
    });
}

void PLOT_Setup::FontToMenu(const ChartProperties& chart) {
    shell::Trap("18#024. ", [&] {
        for (QLabel* sample : label13_) sample->setText(kSampleText);
        if (chart.FONTSIZE >= 0 && chart.FONTSIZE <= 2)
            textSize_[static_cast<std::size_t>(chart.FONTSIZE)]->setChecked(true);
        fonts_ = chart.Fonts;
        for (int i = 0; i < kFontGroups; ++i) showSampleFont(i);
    });
}

std::array<FontProperties, kFontGroups> PLOT_Setup::FontFromMenu() const { return fonts_; }

void PLOT_Setup::showSampleFont(int i) {
    const FontProperties& f = fonts_.at(static_cast<std::size_t>(i));
    QFont font = this->font();
    if (!f.Name.empty()) font.setFamily(platform::ToQ(f.Name));
    font.setPointSize(kFontSampleSize);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    label13_.at(static_cast<std::size_t>(i))->setFont(font);
    label13_.at(static_cast<std::size_t>(i))->setToolTip(platform::ToQ(f.Name));
}

// ---- Colour and font pickers

void PLOT_Setup::keepOnScreenFrom(int leftTwips, std::optional<int> topTwips) {
    QPoint p = pos();
    p.setX(std::max(p.x(), platform::TwipsToPixels(leftTwips)));
    if (topTwips) p.setY(std::max(p.y(), platform::TwipsToPixels(*topTwips)));
    if (p != pos()) move(p);
}

void PLOT_Setup::setSwatch(int i, Colour colour) {
    swatch_.at(static_cast<std::size_t>(i)) = colour;
    QWidget* swatch = text1_.at(static_cast<std::size_t>(i));
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, platform::ToQColor(colour));
    swatch->setPalette(palette);
}

void PLOT_Setup::Command5_Click(int Index) {
    shell::Trap("18#002. ", [&] {
        keepOnScreenFrom(3500, std::nullopt);
        Colour colour = swatch_.at(static_cast<std::size_t>(Index));
        int red = 0, green = 0, blue = 0;
        bool cancelled = false;
        shell::ShowColorDialog(colour, red, green, blue, cancelled, colour);
        if (!cancelled) setSwatch(Index, colour);
    });
}

void PLOT_Setup::Command4_Click(int Index) {
    shell::Trap("18#006. ", [&] {
        keepOnScreenFrom(5500, 4000);
        FontProperties& sample = fonts_.at(static_cast<std::size_t>(Index));
        const std::string start = sample.Name.empty() ? kDefaultFontName : sample.Name;
        bool bold = false, italic = false, failed = false;
        double size = 0;
        std::string name;
        // Size mode 0: the font dialog offers 10 only; the "Text Size"
        // options set the size.
        shell::ShowFontDialog(0, bold, italic, size, name, failed, sample.Bold, sample.Italic, std::nullopt, start);
        if (failed) return;
        sample = FontProperties{name, bold, italic};
        showSampleFont(Index);
    });
}

void PLOT_Setup::Command6_Click() {
    shell::Trap("18#007. ", [&] {
        keepOnScreenFrom(3500, std::nullopt);
        const int row = currentStyleRow();
        if (row < 0) return;
        SubsetStyle& style = styles_[static_cast<std::size_t>(row)];
        Colour colour = style.Color;
        int red = 0, green = 0, blue = 0;
        bool cancelled = false;
        shell::ShowColorDialog(colour, red, green, blue, cancelled, style.Color);
        if (cancelled) return;
        style.Color = colour;
        grid_->Refresh();
        LineLabelColor(RemapLineType(style.LineType), colour);
        SetSymbols(colour);
    });
}

// ---- Style samples

int PLOT_Setup::currentStyleRow() const {
    const int row = grid_->Row();
    if (row < 1) return -1;
    const int data = grid_->DataRow(row);
    return data >= 1 && data <= static_cast<int>(styles_.size()) ? data - 1 : -1;
}

void PLOT_Setup::refreshSamples() {
    const int row = currentStyleRow();
    if (row < 0) return;
    const SubsetStyle& style = styles_[static_cast<std::size_t>(row)];
    LineLabelColor(RemapLineType(style.LineType), style.Color);
    PointLabelColor(RemapPointType(style.PointType));
    SetSymbols(style.Color);
}

void PLOT_Setup::LineLabelColor(int Ind, Colour LineCol) {
    lineSamples_->SetColour(LineCol);
    lineSamples_->SetHighlight(Ind, swatch_[kPlotBackground]);
}

void PLOT_Setup::PointLabelColor(int Ind) { pointSamples_->SetHighlight(Ind, swatch_[kPlotBackground]); }

void PLOT_Setup::SetSymbols(Colour ColrSymb) { pointSamples_->SetColour(ColrSymb); }

void PLOT_Setup::Label6_Click(int n) {
    shell::IgnoreErrors([&] {
        lineSamples_->SetHighlight(n, swatch_[kPlotBackground]);
        const int row = currentStyleRow();
        if (row < 0) return;
        styles_[static_cast<std::size_t>(row)].LineType = n;
        grid_->Refresh();
    });
}

void PLOT_Setup::Label4_Click(int n) {
    shell::IgnoreErrors([&] {
        pointSamples_->SetHighlight(n, swatch_[kPlotBackground]);
        const int row = currentStyleRow();
        if (row < 0) return;
        styles_[static_cast<std::size_t>(row)].PointType = n;
        grid_->Refresh();
    });
}

}  // namespace kx::chart_setup
