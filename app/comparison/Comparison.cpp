#include "Comparison.h"

#include "CommonDialogs.h"
#include "Controls.h"
#include "Desktop.h"
#include "Errors.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "MessageBox.h"
#include "OpenFiles.h"
#include "PLOT_Module3.h"
#include "SharedState.h"
#include "ShellMessages.h"
#include "SolverFileChecks.h"
#include "SolverFileOpening.h"
#include "Text.h"
#include "TextHelpers.h"
#include "WindowHelpers.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace kx::comparison {
namespace {

constexpr int kWidthTwips = 7485;
constexpr int kHeightTwips = 7000;
constexpr int kMissingRow = static_cast<int>(kMissingValue);

// The boxes hold paths and numbers: UTF-8.
std::string textOf(const QLineEdit* box) { return platform::FromQ(box->text()); }

// A text of the "Tips" page in its frame.
QLabel* tip(QWidget* page, QVBoxLayout* layout, const QString& frameName, const QString& labelName) {
    auto* shape = new QFrame(page);
    shape->setObjectName(frameName);
    shape->setFrameShape(QFrame::Box);
    auto* inside = new QVBoxLayout(shape);
    QLabel* text = platform::NewLabel(shape, labelName);
    text->setWordWrap(true);
    inside->addWidget(text);
    layout->addWidget(shape);
    return text;
}

const char* const kTipsKey =
    "In the table, the asterisk (*) denotes species, for which the data are available; the 'v' symbol denotes target "
    "species specified during formation of reduced reaction mechanism.";
const char* const kTipsPlotting =
    "Plotting Functions\r\n\r\nSelect function you want to plot: species concentration or relative error. Move the "
    "table cursor to the chosen species and double click the corresponding row header. The curve appears on "
    "Temporary Chart. To add the curve to existing Temporary Chart, hold down the 'Ctrl' button and double click the "
    "row header.";

std::string RelativeErrorFormula() {
    return "Relative Error Estimation\r\n\r\n" + std::string(51, ' ') + "abs(Ck,1 - Ck,2)\r\n" + std::string(35, ' ') +
           "Error = ----------------------------------\r\n" + std::string(50, ' ') +
           "b Ck,1 + (1 - b) Ck,2\r\nwhere Ck is the k-th species concentration or temperature, b is a parameter on "
           "the interval [0,1].";
}

}  // namespace

Comparison::Comparison() : FormWindow(shell::kComparisonWindow), files_(std::make_unique<ComparisonFiles>(shell::DesktopNotifier())) {
    buildControls();
    Form_Load();
}

void Comparison::buildControls() {
    setWindowTitle("Comparing Solver Files");
    auto* outer = new QVBoxLayout(this);
    tabStrip1_ = new QTabWidget(this);
    tabStrip1_->setObjectName("TabStrip1");
    auto* general = new QWidget;
    general->setObjectName("Frame1_0");
    auto* tips = new QWidget;
    tips->setObjectName("Frame1_1");
    tabStrip1_->addTab(general, "General");
    tabStrip1_->addTab(tips, "Tips");
    outer->addWidget(tabStrip1_);

    // "General": the two files, the grid and the plot settings.
    auto* page = new QVBoxLayout(general);
    label1_ = platform::NewBanner(general, "Label1");
    page->addWidget(label1_);

    auto* paths = new QGridLayout;
    paths->addWidget(platform::NewLabel(general, "Label2", "File 1"), 0, 0);
    text1_ = platform::NewLockedTextBox(general, "Text1");
    paths->addWidget(text1_, 0, 1, 1, 3);
    paths->addWidget(platform::NewLabel(general, "Label3", "File 2"), 1, 0);
    text2_ = platform::NewTextBox(general, "Text2");
    paths->addWidget(text2_, 1, 1);
    command2_ = platform::NewButton(general, "Command2", "Browse ");
    command3_ = platform::NewButton(general, "Command3", "Prepare");
    paths->addWidget(command2_, 1, 2);
    paths->addWidget(command3_, 1, 3);
    paths->setColumnStretch(1, 1);
    page->addLayout(paths);

    auto* middle = new QHBoxLayout;
    grid_ = new platform::Grid(general);
    grid_->setObjectName("GridEX1");
    middle->addWidget(grid_, 1);

    auto* settings = new QVBoxLayout;
    frame5_ = platform::NewFrame(general, "Frame5", "Plot ");
    auto* plot = new QGridLayout(frame5_);
    option1_[0] = platform::NewOption(frame5_, "Option1_0", "Concentration/Temperature");
    option1_[1] = platform::NewOption(frame5_, "Option1_2", "Relative Error");
    label7_ = platform::NewLabel(frame5_, "Label7", "Parameter b");
    text5_ = platform::NewTextBox(frame5_, "Text5");
    plot->addWidget(option1_[0], 0, 0, 1, 2);
    plot->addWidget(option1_[1], 1, 0, 1, 2);
    plot->addWidget(label7_, 2, 0);
    plot->addWidget(text5_, 2, 1);
    settings->addWidget(frame5_);

    frame3_ = platform::NewFrame(general, "Frame3", "Concentration Units");
    auto* units = new QHBoxLayout(frame3_);
    option2_ = platform::NewOption(frame3_, "Option2", "mol/cm^3");
    option3_ = platform::NewOption(frame3_, "Option3", "1/cm^3");
    units->addWidget(option2_);
    units->addWidget(option3_);
    settings->addWidget(frame3_);
    settings->addStretch(1);

    auto axis = [&](QGroupBox*& box, const QString& name, const QString& caption, std::array<QRadioButton*, 2>& options,
                    const QString& optionName, const QString& linear, const QString& logarithmic, QLabel*& scaling,
                    const QString& labelName, QLineEdit*& scale, const QString& scaleName) {
        box = platform::NewFrame(general, name, caption);
        auto* layout = new QGridLayout(box);
        options[0] = platform::NewOption(box, optionName + "_0", linear);
        options[1] = platform::NewOption(box, optionName + "_1", logarithmic);
        scaling = platform::NewLabel(box, labelName, "Scaling");
        scale = platform::NewTextBox(box, scaleName);
        layout->addWidget(options[0], 0, 0);
        layout->addWidget(options[1], 0, 1);
        layout->addWidget(scaling, 1, 0);
        layout->addWidget(scale, 1, 1);
        settings->addWidget(box);
    };
    axis(frame4_, "Frame4", "Time Axis (X-Axis)", option4_, "Option4", "X", "Log10(X)", label4_, "Label4", text3_, "Text3");
    axis(frame2_, "Frame2", "Y-Axis", option7_, "Option7", "Y", "Log10(Y)", label5_, "Label5", text4_, "Text4");
    for (QLineEdit* box : {text3_, text4_, text5_})
        box->setFixedWidth(std::max(platform::TwipsToPixels(1100), box->fontMetrics().horizontalAdvance("0.00E+00") + 16));
    middle->addLayout(settings);
    page->addLayout(middle, 1);

    // "Tips": the key to the flags, plotting, the relative error.
    auto* tipsLayout = new QVBoxLayout(tips);
    label8_ = tip(tips, tipsLayout, "Shape1", "Label8");
    label6_ = tip(tips, tipsLayout, "Shape2", "Label6");
    label9_ = tip(tips, tipsLayout, "Shape3", "Label9");
    label9_->setWordWrap(false);
    label9_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tipsLayout->addStretch(1);

    connect(tabStrip1_, &QTabWidget::currentChanged, this, [this](int index) { FrameWiev(index); });
    connect(text1_, &QLineEdit::textChanged, this, [this] { ShowMsg(false); });
    connect(text2_, &QLineEdit::textChanged, this, [this] { ShowMsg(false); });
    connect(command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(option1_[0], &QRadioButton::toggled, this, [this](bool on) {
        if (on) ObEnab(false);
    });
    connect(option1_[1], &QRadioButton::toggled, this, [this](bool on) {
        if (on) ObEnab(prepared_);
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) setUnit(0);
    });
    connect(option3_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) setUnit(1);
    });

    grid_->OnReadRow([this](int row, platform::GridRow& v) {
        shell::Trap("Comp#008. ", [&] {
            const CmpMergedRow& m = files_->MergedSpecies().at(static_cast<std::size_t>(row) - 1);
            v.Value(1) = row - 1;
            v.Value(2) = platform::Latin1ToQ(m.Name);
            v.Value(3) = platform::ToQ(m.Flag1);
            v.Value(4) = platform::ToQ(m.Flag2);
            if (m.Index1) v.Value(5) = *m.Index1;
            if (m.Index2) v.Value(6) = *m.Index2;
        });
    });
    grid_->OnHeaderClick([this](platform::GridColumn& column) {
        shell::Trap("Comp#007. ", [&] {
            if (grid_->RowCount() > 0) shell::SortGridByColumn(*grid_, column, 1);
        });
    });
    grid_->OnKeyDown([this](int& /*key*/, int shift) {
        addCurveFlag_ = shift == platform::kCtrlMask;
        shiftAltFlag_ = shift == platform::kAltMask || shift == platform::kShiftMask;
    });
    grid_->OnKeyUp([this](int, int) { addCurveFlag_ = shiftAltFlag_ = false; });
    grid_->OnLostFocus([this] { addCurveFlag_ = shiftAltFlag_ = false; });
    grid_->OnRowHeaderDoubleClick([this](int row, int shift) { GridEX1_RowHeaderDoubleClick(row, shift); });
}

void Comparison::Form_Load() {
    shell::Trap("Comp#007. ", [this] {
        shell::UnloadToolWindows(shell::kComparisonWindow);
        grid_->AddColumn("Num", "No", 408);
        grid_->AddColumn("Species", "Species", 1200);
        grid_->AddColumn("File1", "File 1", 492).SetAlignment(Qt::AlignCenter);
        grid_->AddColumn("File2", "File 2", 492).SetAlignment(Qt::AlignCenter);
        grid_->AddColumn("N1", "N1").SetVisible(false);
        grid_->AddColumn("N2", "N2").SetVisible(false);
        grid_->horizontalHeader()->setFixedHeight(
            std::max(platform::TwipsToPixels(288), grid_->horizontalHeader()->sizeHint().height()));
        grid_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // The grid shows its columns whole.
        grid_->setMinimumWidth(grid_->sizeHint().width());

        ShowMsg(false);
        FrameWiev(0);
        addCurveFlag_ = shiftAltFlag_ = false;

        label8_->setText(kTipsKey);
        label6_->setText(kTipsPlotting);
        label9_->setText(platform::ToQ(RelativeErrorFormula()));
        label1_->setText("Comparing Solver Files");
        text1_->clear();
        text2_->clear();

        const SharedState& s = Shared();
        option4_[s.CompareLogX == 0 ? 0 : 1]->setChecked(true);
        text3_->setText(platform::ToQ(Format(s.CompareScaleX, "0.00E+00")));
        option7_[s.CompareLogY == 0 ? 0 : 1]->setChecked(true);
        text4_->setText(platform::ToQ(Format(s.CompareScaleY, "0.00E+00")));
        option1_[s.CompareCurveKind == 2 ? 1 : 0]->setChecked(true);
        option2_->setChecked(true);
        setUnit(0);
        text5_->setText(platform::ToQ(Format(s.CompareWeightB, "0.00E+00")));
        ObEnab(false);

        resize(std::max(platform::TwipsToPixels(kWidthTwips), minimumSizeHint().width()),
               std::max(platform::TwipsToPixels(kHeightTwips), minimumSizeHint().height()));
        if (QMainWindow* main = shell::MainWindow())
            move(main->pos() + QPoint(platform::TwipsToPixels(2100), platform::TwipsToPixels(1500)));

        FilePa1(platform::Require<platform::HasMePath>(platform::ActiveDocument()).MePath());
        text1_->setCursorPosition(static_cast<int>(text1_->text().size()));
    });
}

// ---- Public methods -----------------------------------------------------------

void Comparison::FilePa1(const std::string& FPA) { text1_->setText(platform::ToQ(FPA)); }

void Comparison::TestRedFile(const std::string& FlP, bool& ErrB) {
    const std::optional<std::string> refusal = ComparisonFiles::TestRedFile(FlP);
    ErrB = refusal.has_value();
    if (refusal) shell::ShowInputError(this, platform::ToQ(*refusal), text2_);
}

void Comparison::OpenFiles(bool& ErrBb) {
    ErrBb = true;
    TrapTagged(shell::DesktopNotifier(), "Comp#005. ", [&] {
        const ComparisonFiles::OpenOutcome outcome = files_->OpenFiles(textOf(text1_), textOf(text2_));
        ErrBb = outcome.Failed;
        if (outcome.FocusFile != 0) {
            QLineEdit* box = outcome.FocusFile == 1 ? text1_ : text2_;
            const QString trimmed = platform::ToQ(Trim(textOf(box)));
            box->setFocus();
            box->setSelection(0, static_cast<int>(trimmed.size()));
        }
    });
}

bool Comparison::SpeciesAARR() {
    return TrapTagged(shell::DesktopNotifier(), "Comp#004. ", [this] {
        files_->SpeciesAARR();
        grid_->SetRowCount(0);
        grid_->SetRowCount(files_->MergedSpeciesLast() + 1);
        grid_->Refresh();
    });
}

bool Comparison::ConvertToMoleFractions() {
    return TrapTagged(shell::DesktopNotifier(), "Comp#006. ", [this] { files_->ConvertToMoleFractions(); });
}

void Comparison::ErrCheckNumber(QLineEdit* box, int tab, const std::string& message, bool& error) {
    error = !IsNumeric(textOf(box));
    if (error) RedMsgS(message, box, tab);
}

void Comparison::ObEnab(bool BB) {
    label7_->setEnabled(BB);
    text5_->setEnabled(BB);
}

void Comparison::FrameWiev(int nn) {
    if (tabStrip1_->currentIndex() != nn) tabStrip1_->setCurrentIndex(nn);
}

void Comparison::ShowMsg(bool BBShow) {
    prepared_ = BBShow;
    const bool relB = BBShow && option1_[1]->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{grid_, frame3_, frame4_, frame5_, label4_, label5_, option1_[0],
                                                       option1_[1], option2_, option3_, option4_[0], option4_[1],
                                                       option7_[0], option7_[1], frame2_, text3_, text4_})
        shell::IgnoreErrors([&] { w->setEnabled(BBShow); });
    shell::IgnoreErrors([&] { ObEnab(relB); });
}

void Comparison::RedMsgS(const std::string& MsgSt, QLineEdit* Tx, int NTab) {
    shell::Trap("Comp#202 ", [&] {
        shell::UserMessage(MsgSt, platform::kMsgExclamation);
        FrameWiev(NTab);
        Tx->setFocus();
        Tx->setSelection(0, static_cast<int>(Tx->text().size()));
    });
}

// ---- Events -----------------------------------------------------------------------

void Comparison::setUnit(int index) {
    const SharedState& s = Shared();
    unitIndex_ = index;
    unitDivisor_ = index == 0 ? s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4 : s.UnitFactorE7 / s.UnitFactorE4;
}

void Comparison::clearTables() {
    ShowMsg(false);
    files_ = std::make_unique<ComparisonFiles>(shell::DesktopNotifier());
    grid_->SetRowCount(0);
}

// Browse.
void Comparison::Command2_Click() {
    shell::Trap("Comp#002. ", [this] {
        // The dialog starts in the folder of file 1, where a reduced file is
        // usually written.
        const std::string file1 = textOf(text1_);
        if (!file1.empty()) {
            shell::CommonDialog1().InitDir = platform::ToQ(std::filesystem::path(file1).parent_path().string());
            shell::CommonDialog1().FileName.clear();
        }
        std::string path;
        bool failed = true;
        runs::CheckSolverFileToOpen(path, failed);
        if (failed) return;
        text2_->setText(platform::ToQ(path));
        text2_->setCursorPosition(static_cast<int>(text2_->text().size()));
    });
}

// Prepare: the grid and the settings come on only when both files were read
// whole; a failed Prepare leaves no table of an earlier one behind.
void Comparison::Command3_Click() {
    shell::Trap("Comp#003. ", [this] {
        clearTables();
        const std::string file1 = textOf(text1_);
        Shared().CompareFile2Path = std::string(Trim(textOf(text2_)));
        bool failed = false;
        TestRedFile(Shared().CompareFile2Path, failed);
        if (failed) return;
        for (const std::string& path : {file1, Shared().CompareFile2Path}) {
            std::string message;
            runs::CheckResultsComplete(path, failed, message);
            if (failed) {
                shell::UserMessage(message, platform::kMsgExclamation);
                return;
            }
        }
        OpenFiles(failed);
        if (failed) return;
        // A file refused while its species are read is not converted: its
        // refusal is the one message.
        if (!SpeciesAARR() || !ConvertToMoleFractions()) {
            clearTables();
            return;
        }
        ShowMsg(true);
    });
}

void Comparison::GridEX1_RowHeaderDoubleClick(int row, int shift) {
    shell::Trap("Comp#008. ", [&] {
        // Shift or Alt held: nothing. Ctrl held: the curves join the open
        // chart. The keys count whether the grid saw them go down or the
        // click came with them.
        if (shiftAltFlag_ || shift == platform::kShiftMask || shift == platform::kAltMask) return;
        if (shift == platform::kCtrlMask) addCurveFlag_ = true;

        const bool linearX = option4_[0]->isChecked(), linearY = option7_[0]->isChecked();
        const std::string mX = linearX ? "X-Axis scaling, please enter a nonzero number."
                                       : "X-Axis scaling, for logarithmic scale please enter a positive number.";
        const std::string mY = linearY ? "Y-Axis scaling, please enter a nonzero number."
                                       : "Y-Axis scaling, for logarithmic scale please enter a positive number.";
        const std::string mB = "Relative error parameter, please enter a number on the interval [0, 1].";
        const bool relative = option1_[1]->isChecked();
        bool error = false;
        ErrCheckNumber(text3_, 0, mX, error);
        if (error) return;
        ErrCheckNumber(text4_, 0, mY, error);
        if (error) return;
        if (relative) {
            ErrCheckNumber(text5_, 0, mB, error);
            if (error) return;
        }
        const double sx = Val(textOf(text3_)), sy = Val(textOf(text4_));
        if (sx == 0 || (sx < 0 && !linearX)) return RedMsgS(mX, text3_, 0);
        if (sy == 0 || (sy < 0 && !linearY)) return RedMsgS(mY, text4_, 0);
        if (relative) {
            const double b = Val(textOf(text5_));
            if (b < 0 || b > 1) return RedMsgS(mB, text5_, 0);
        }

        const int rowInd = grid_->DataRow(row) - 1;
        const CmpMergedRow& merged = files_->MergedSpecies().at(static_cast<std::size_t>(rowInd));
        const int valueRow1 = CmpValueRow(merged.Index1), valueRow2 = CmpValueRow(merged.Index2);
        const int kind = relative ? 2 : 0;
        const bool chartBefore = chart::IsTemporaryChartOpen();
        RedPlotFunction(kind, rowInd, valueRow1, valueRow2);
        if (kind == 0) {
            addCurveFlag_ = addCurveFlag_ || valueRow1 != kMissingRow;
            RedPlotFunction(1, rowInd, valueRow1, valueRow2);
        }
        addCurveFlag_ = false;
        if (!chartBefore)
            if (chart::PLOT* made = chart::TemporaryChart()) keepClearOf(platform::OuterWidget(made));

        SharedState& s = Shared();
        s.CompareLogX = linearX ? 0 : 1;
        s.CompareScaleX = sx;
        s.CompareLogY = linearY ? 0 : 1;
        s.CompareScaleY = sy;
    });
}

CmpPlotSettings Comparison::plotSettings() const {
    CmpPlotSettings s;
    s.LogX = option4_[1]->isChecked();
    s.ScaleX = Val(textOf(text3_));
    s.LogY = option7_[1]->isChecked();
    s.ScaleY = Val(textOf(text4_));
    s.WeightB = Val(textOf(text5_));
    s.UnitIndex = unitIndex_;
    s.UnitDivisor = unitDivisor_;
    return s;
}

void Comparison::RedPlotFunction(int NFunction, int RowInd, int NspecPL1, int NspecPL2) {
    TrapTagged(shell::DesktopNotifier(), "Comp#106. ", [&] {
        const CmpPlotSettings settings = plotSettings();
        Shared().LogTimeAxis = settings.LogX;
        const auto function = static_cast<CmpFunction>(NFunction);
        CmpPlotCurve curve = CmpBuildCurve(*files_, function, RowInd, NspecPL1, NspecPL2, settings);
        // The legend and the refusal quote the species as the grid shows it.
        curve.Legend = Latin1ToUtf8(curve.Legend);
        curve.Message = Latin1ToUtf8(curve.Message);
        if (curve.Result == CmpPlotCurve::Outcome::Skipped) return;
        const bool available = function != CmpFunction::RelativeError || (NspecPL1 != kMissingRow && NspecPL2 != kMissingRow);
        if (available) {
            Shared().CompareCurveKind = function == CmpFunction::RelativeError ? 2 : 0;
            if (function == CmpFunction::RelativeError) Shared().CompareWeightB = settings.WeightB;
        }
        if (curve.Result == CmpPlotCurve::Outcome::Refused) {
            platform::SetMousePointer(platform::kPointerDefault);
            shell::UserMessage(curve.Message, platform::kMsgExclamation);
            return;
        }
        showOnTemporaryChart(curve, settings.ScaleX);
    });
}

void Comparison::showOnTemporaryChart(const CmpPlotCurve& curve, double scaleX) {
    // A chart captioned "Temporary Chart" without the blank is a half-built
    // one: it goes. Maximised windows come back to their size; a minimised
    // Temporary Chart is brought back.
    bool chartExisted = false;
    for (platform::Form* form : platform::Forms()) {
        if (!platform::IsLoaded(form)) continue;
        if (form->Caption() == "Temporary Chart") {
            Shared().NewChartPending = true;
            platform::Unload(form);
            continue;
        }
        if (form->Caption() == chart::kTemporaryChartCaption) {
            chartExisted = true;
            if (shell::FormMinimized(form)) shell::SetFormNormal(form);
        } else if (shell::FormMaximized(form)) {
            shell::SetFormNormal(form);
        }
    }
    const int n = static_cast<int>(curve.X.size());
    Shared().PlotPointCount = static_cast<std::int16_t>(std::min(n, 32767));

    bool failed = false;
    const bool chartOpen = chart::IsTemporaryChartOpen();
    chart::ShowTemporaryChart(n + 1, {curve.X, curve.Y}, 0, failed, "", curve.Legend, chartOpen, addCurveFlag_, scaleX);
    chart::PLOT* temporary = chart::TemporaryChart();
    if (!temporary) return;
    // The relative error is read on a linear value axis.
    if (option1_[1]->isChecked()) {
        temporary->Pesgoa1().Set("YAxisScaleControl", 1.0);
        temporary->Refr();
    }

    // The chart in view: a new one at its place; the other documents behind
    // it when it was open before, minimised when it is new.
    for (platform::Form* form : platform::Forms()) {
        QMdiSubWindow* frame = platform::MdiFrame(form);
        if (!frame) continue;
        if (form == temporary) {
            if (!chartExisted) frame->move(platform::TwipsToPixels(400), platform::TwipsToPixels(400));
            shell::ShowForm(form);
        } else if (chartExisted) {
            frame->lower();
        } else {
            frame->showMinimized();
        }
    }
    platform::BringToFront(temporary);
    raise();
}

// This window stands beside a new chart rather than on it: to its right, as
// far as the screen allows, leaving at least the chart's left half free.
void Comparison::keepClearOf(QWidget* chartFrame) {
    if (!chartFrame || !chartFrame->isVisible()) return;
    const QRect chart(chartFrame->mapToGlobal(QPoint(0, 0)), chartFrame->size());
    if (!frameGeometry().intersects(chart)) return;
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const int left = std::min(chart.right() + 8, room.right() + 1 - frameGeometry().width());
    if (left >= chart.center().x() && left > frameGeometry().left()) move(left, y());
}

QLabel* Comparison::Label(int number) const {
    switch (number) {
        case 6: return label6_;
        case 8: return label8_;
        case 9: return label9_;
        default: return nullptr;
    }
}

void InstallComparisonWindow() {
    shell::InstallFormCreator(shell::kComparisonWindow, [] { return new Comparison; });
}

}  // namespace kx::comparison
