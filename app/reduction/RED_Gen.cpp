#include "RED_Gen.h"

#include "CommonDialogs.h"
#include "Controls.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "Errors.h"
#include "FileHelpers.h"
#include "Files.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "MessageBox.h"
#include "ShellMessages.h"
#include "OpenFiles.h"
#include "SharedState.h"
#include "SolverFileChecks.h"
#include "Text.h"
#include "TextHelpers.h"
#include "WindowHelpers.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <cmath>

namespace kx::reduction {
namespace {

// Wider than designed, for the paths.
constexpr int kWidthTwips = 8400;
constexpr int kHeightTwips = 7650;
constexpr int kParameterColumn = 5;
constexpr int kProgressSteps = 1000;  // the bar runs 0 to 10 in hundredths

// The boxes hold paths and numbers: UTF-8 both ways.
std::string textOf(const QLineEdit* box) { return platform::FromQ(box->text()); }

void setText(QLineEdit* box, const std::string& text) { box->setText(platform::ToQ(text)); }

// Selects the whole text of the box and gives it the focus.
void selectAll(QLineEdit* box) {
    box->setFocus();
    box->setSelection(0, static_cast<int>(box->text().size()));
}

// The reduced file that the last Start wrote, in any reduction window of
// this run of the program, as it was written.
struct WrittenFile {
    std::string path;
    files::FileStamp stamp;
};
WrittenFile& LastReducedFile() {
    static WrittenFile file;
    return file;
}


}  // namespace

RED_Gen::RED_Gen() : FormWindow(shell::kReductionWindow) {
    buildControls();
    Form_Load();
}

void RED_Gen::buildControls() {
    setWindowTitle("Reduced Reaction Kinetics");
    auto* outer = new QVBoxLayout(this);

    label1_ = platform::NewBanner(this, "Label1", "Reduced Reaction Kinetics");
    outer->addWidget(label1_);

    auto* paths = new QGridLayout;
    paths->addWidget(platform::NewLabel(this, "Label5", "Source File"), 0, 0);
    text10_ = platform::NewLockedTextBox(this, "Text10");
    paths->addWidget(text10_, 0, 1);
    paths->addWidget(platform::NewLabel(this, "Label6", "Reduced File"), 1, 0);
    text5_ = platform::NewTextBox(this, "Text5");
    paths->addWidget(text5_, 1, 1);
    command8_ = platform::NewButton(this, "Command8", "Browse ");
    paths->addWidget(command8_, 1, 2);
    paths->setColumnStretch(1, 1);
    outer->addLayout(paths);

    auto* temperature = new QHBoxLayout;
    temperature->addStretch(1);
    label4_ = platform::NewLabel(this, "Label4", "Temperature");
    temperature->addWidget(label4_);
    text1_[0] = platform::NewTextBox(this, "Text1_0");
    temperature->addWidget(text1_[0]);
    temperature->addStretch(2);
    outer->addLayout(temperature);

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    grid_ = new platform::Grid(this);
    grid_->setObjectName("GridEX1");
    left->addWidget(grid_, 1);
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setRange(0, kProgressSteps);
    progressBar1_->setTextVisible(false);
    QSizePolicy keepPlace = progressBar1_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    progressBar1_->setSizePolicy(keepPlace);
    left->addWidget(progressBar1_);
    middle->addLayout(left, 1);

    auto* commands = new QVBoxLayout;
    command7_ = platform::NewButton(this, "Command7", "Prepare");
    command1_ = platform::NewButton(this, "Command1", "Start");
    command4_ = platform::NewButton(this, "Command4", "Clear All");
    // Two lines, as the caption was designed to wrap.
    check2_ = new QCheckBox("Start Reduced\nMechanism", this);
    check2_->setObjectName("Check2");
    commands->addWidget(command7_);
    commands->addWidget(command1_);
    commands->addSpacing(platform::TwipsToPixels(600));
    commands->addWidget(command4_);
    commands->addSpacing(platform::TwipsToPixels(400));
    commands->addWidget(check2_);
    commands->addStretch(1);
    middle->addLayout(commands);
    outer->addLayout(middle, 1);

    auto* entries = new QGridLayout;
    entries->addWidget(platform::NewLabel(this, "Label7", " Non Targets"), 0, 0);
    text1_[1] = platform::NewTextBox(this, "Text1_1");
    entries->addWidget(text1_[1], 0, 1);
    entries->addWidget(platform::NewLabel(this, "Label2", "Number of Steps"), 1, 0);
    text6_ = platform::NewTextBox(this, "Text6");
    text6_->setReadOnly(true);
    entries->addWidget(text6_, 1, 1);
    entries->addWidget(platform::NewLabel(this, "Label3", "Average over     "), 1, 3);
    text4_ = platform::NewTextBox(this, "Text4");
    entries->addWidget(text4_, 1, 4);
    entries->addWidget(platform::NewLabel(this, "Label9", "Steps"), 1, 5);
    entries->setColumnStretch(2, 1);
    for (QLineEdit* box : {text1_[0], text1_[1], text6_, text4_})
        box->setFixedWidth(std::max(platform::TwipsToPixels(1000), box->fontMetrics().horizontalAdvance("0.000000") + 12));
    outer->addLayout(entries);

    auto* bottom = new QHBoxLayout;
    shape1_ = new QFrame(this);
    shape1_->setObjectName("Shape1");
    shape1_->setFrameShape(QFrame::Box);
    auto* note = new QHBoxLayout(shape1_);
    label8_ = platform::NewLabel(shape1_, "Label8", QString());
    label8_->setWordWrap(true);
    note->addWidget(label8_);
    QSizePolicy notePlace = shape1_->sizePolicy();
    notePlace.setRetainSizeWhenHidden(true);
    shape1_->setSizePolicy(notePlace);
    bottom->addWidget(shape1_, 1);
    command3_ = platform::NewButton(this, "Command3", "Close");
    bottom->addWidget(command3_, 0, Qt::AlignBottom);
    outer->addLayout(bottom);

    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(command4_, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(command7_, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(command8_, &QPushButton::clicked, this, [this] { Command8_Click(); });
    // A new source means the prepared run is another one.
    connect(text10_, &QLineEdit::textChanged, this, [this] { ObjectsEn(false); });
    // A name typed without a folder shows, once the box is left, the file
    // that will be written.
    connect(text5_, &QLineEdit::editingFinished, this, [this] { completeReducedPath(); });
    // A path longer than its box is read whole in the tooltip.
    for (QLineEdit* box : {text10_, text5_})
        connect(box, &QLineEdit::textChanged, box, [box](const QString& text) { box->setToolTip(text); });

    grid_->OnReadRow([this](int row, platform::GridRow& v) {
        shell::Trap("Red#011. ", [&] {
            const RedTargetRow& target = targetTable_.at(static_cast<std::size_t>(row));
            const std::string_view parameter = Trim(target.Parameter);
            v.Value(1) = row;
            v.Value(2) = !parameter.empty();  // the hidden target mark follows the parameter
            v.Value(3) = platform::ToQ(target.Name);
            v.Value(4) = target.InitialNonzero;
            v.Value(5) = platform::ToQ(parameter);
        });
    });
    grid_->OnWriteRow([this](int row, const platform::GridRow& v) {
        shell::Trap("Red#011. ", [&] {
            targetTable_.at(static_cast<std::size_t>(row)).Parameter = platform::FromQ(v.Value(kParameterColumn).toString());
        });
    });
    grid_->OnHeaderClick([this](platform::GridColumn& column) {
        shell::IgnoreErrors([&] {
            if (grid_->RowCount() > 0) shell::SortGridByColumn(*grid_, column, 1);
        });
    });
}

void RED_Gen::Form_Load() {
    shell::Trap("Red#010. ", [this] {
        grid_->SetRowCount(0);
        shell::UnloadToolWindows(shell::kReductionWindow);
        grid_->AddColumn("Num", "No", 408);
        grid_->AddColumn("Target", "Target", 600).SetVisible(false);
        grid_->AddColumn("Species", "Species", 1600);
        grid_->AddColumn("InitaiCond", "Initial Conditions", 1248).SetVisible(false);
        grid_->AddColumn("Parameter", "Target Parameter", 1550).SetEditable(true);
        grid_->horizontalHeader()->setFixedHeight(
            std::max(platform::TwipsToPixels(288), grid_->horizontalHeader()->sizeHint().height()));
        grid_->horizontalHeader()->setStretchLastSection(true);
        grid_->SetRowCount(0);
        ObjectsEn(false);
        label4_->setText("Temperature");
        text4_->clear();
        progressBar1_->hide();
        progressBar1_->setValue(0);
        shape1_->hide();
        label8_->setText("Highlighted species have nonzero initial concentrations.");

        // The grid shows its columns whole.
        grid_->setMinimumWidth(grid_->sizeHint().width());
        resize(std::max(platform::TwipsToPixels(kWidthTwips), minimumSizeHint().width()),
               std::max(platform::TwipsToPixels(kHeightTwips), minimumSizeHint().height()));
        if (QMainWindow* main = shell::MainWindow())
            move(main->pos() + QPoint(platform::TwipsToPixels(2100), platform::TwipsToPixels(1500)));

        setText(text10_, platform::Require<platform::HasMePath>(platform::ActiveDocument()).MePath());
        text10_->setCursorPosition(static_cast<int>(text10_->text().size()));
        ObjectsEn(false);
        text5_->setFocus();
    });
}

// ---- Public methods -------------------------------------------------------

void RED_Gen::IntervalsN(int Nsteps, int Dsteps, int& Ninter) {
    Ninter = 0;
    shell::Trap("Red#001. ", [&] {
        intervals_ = RedSplitIntervals(timePoints_, Nsteps, Dsteps);
        Ninter = static_cast<int>(intervals_.size());
    });
}

bool RED_Gen::CheckTabParam() {
    const RedRefusal refusal = RedCheckSpeciesParameters(targetTable_);
    if (!refusal.Refused()) return false;
    shell::UserMessage(refusal.Message, platform::kMsgExclamation);
    showSpeciesRow(refusal.Row);
    return true;
}

void RED_Gen::CommandEn(bool BBOOLL) {
    for (QPushButton* b : {command8_, command4_, command7_, command1_, command3_}) {
        b->setEnabled(BBOOLL);
        b->repaint();
    }
}

void RED_Gen::TestRedFile(const std::string& FlP, bool& ErrB) {
    const std::string reason = RedWriteRefusal(FlP);
    ErrB = !reason.empty();
    if (ErrB)
        shell::ShowInputError(this,
                              platform::ToQ("Reduced file, the specified Path/File name '" + FlP +
                                            "' cannot be accessed or is invalid.\r\n" + reason),
                              text5_);
}

void RED_Gen::RedTabGetF(bool& ErrBb) {
    ErrBb = true;
    shell::Trap("red#003 ", [&] {
        const RedRefusal boxes = RedCheckParameterBoxes(textOf(text1_[0]), textOf(text1_[1]));
        if (boxes.Refused()) {
            shell::ShowInputError(this, platform::ToQ(boxes.Message),
                                  boxes.Entry == RedEntry::Temperature ? text1_[0] : text1_[1]);
            return;
        }
        UbdateGrid();
        const RedRefusal targets = RedCheckTargetCount(textOf(text1_[0]), targetTable_);
        if (targets.Refused()) {
            shell::UserMessage(targets.Message, platform::kMsgExclamation);
            return;
        }
        int steps = 0;
        const RedRefusal averaged = RedCheckAveragedSteps(textOf(text4_), pointCount_, steps);
        if (averaged.Refused()) {
            shell::ShowInputError(this, platform::ToQ(averaged.Message), text4_);
            return;
        }
        setText(text4_, std::to_string(steps));
        ErrBb = false;
    });
}

void RED_Gen::UbdateGrid() {
    shell::IgnoreErrors([this] { grid_->CommitEdit(); });
}

bool RED_Gen::RedPathErr() {
    bool failed = false;
    TestRedFile(std::string(Trim(textOf(text5_))), failed);
    if (failed) selectAll(text5_);
    return failed;
}

void RED_Gen::ParametrsSeting() {
    grid_->SetRowCount(0);
    grid_->repaint();
    grid_->SetRowCount(std::max(0, static_cast<int>(targetTable_.size()) - 1));
    grid_->Refresh();
}

void RED_Gen::PrepData() {
    if (!holder_) throw Error(ErrorKind::ObjectNotSet, "no source run is loaded");
    const MainParameters p = holder_->FromMain_Param();
    const InitialCondition initial = holder_->red_InitialCond();
    sourceFilePath_ = p.SolverFile;
    // One row per species: the result columns less time, temperature and density.
    const int speciesCount = p.RowCntD - 3;
    // The names as the grid and the messages show them: the file's bytes
    // are Latin-1 characters, the table holds them as UTF-8.
    std::vector<std::string> names;
    for (const std::string& name : p.SpecArrD) names.push_back(Latin1ToUtf8(name));
    names.resize(static_cast<std::size_t>(std::max(0, speciesCount)) + 1);
    targetTable_ = RedDefaultTargets(names, initial.InitFractBB);
    ParametrsSeting();
    MarkedColor();
    grid_->ClearSortKeys();
    grid_->AddSortKey(1, 1);
    if (p.NTemper != 0) {
        text1_[0]->setText("0.1");
        text1_[0]->show();
        label4_->setText("Temperature");
    } else {
        text1_[0]->clear();
        text1_[0]->hide();
        label4_->setText("Constant Temperature");
    }
    AverNmSet();
}

int RED_Gen::AverNmSet() {
    const MainParameters p = holder_->FromMain_Param();
    const IntervalPoints all = holder_->ToMainParam(p.SMin, p.Smax);
    pointCount_ = all.Count - 1;
    timePoints_ = all.Times;
    setText(text6_, std::to_string(pointCount_ - 1));
    text4_->setText("1");
    return 1;
}

void RED_Gen::MarkedColor() {
    shell::Trap("Red#008. ", [this] {
        grid_->ClearFormatConditions();
        grid_->AddFormatCondition("InitaiCond", true, platform::ToQColor(Shared().HighlightColor));
        grid_->repaint();
    });
}

void RED_Gen::RedNewPath(bool& CanselEr, std::string& FileNSw) {
    CanselEr = true;
    shell::Trap("Red#009. ", [&] {
        // The dialog starts on the path typed, else in the source's folder.
        completeReducedPath();
        const std::string typed(Trim(textOf(text5_)));
        shell::CommonDialog1().FileName = platform::ToQ(typed);
        if (typed.empty())
            shell::CommonDialog1().InitDir = platform::ToQ(std::filesystem::path(textOf(text10_)).parent_path().string());
        bool cancelled = false;
        std::string chosen;
        shell::ShowSaveDialog(1, chosen, 1, cancelled, "All Files (*.*)|*.*|Windows Text (*.txt)|*.txt");
        CanselEr = cancelled;
        if (!cancelled) FileNSw = chosen;
    });
}

void RED_Gen::ObjectsEn(bool Bool) {
    for (QPushButton* b : {command1_, command4_}) {
        b->setEnabled(Bool);
        b->repaint();
    }
}

void RED_Gen::ShowWindow() {
    shell::ShowForm(this);
}

void RED_Gen::ProgressBarVisible(bool visible) {
    if (visible) progressBar1_->setValue(0);
    progressBar1_->setVisible(visible);
}

void RED_Gen::ProgressValue(float value) {
    progressBar1_->setValue(static_cast<int>(std::lround(value * kProgressSteps / 10)));
    // The engine does not yield: draw the bar now.
    progressBar1_->repaint();
}

void RED_Gen::BusyPointer(bool busy) {
    platform::SetMousePointer(busy ? platform::kPointerHourglass : platform::kPointerDefault);
}

// ---- Events -----------------------------------------------------------------

// The dialog's base hides it as it goes, and the box that had the focus
// then reports its editing finished: not to this window, which is gone.
RED_Gen::~RED_Gen() { text5_->disconnect(this); }

void RED_Gen::completeReducedPath() {
    const std::string typed = textOf(text5_);
    const std::string full = RedTargetPath(typed, textOf(text10_));
    if (full == typed) return;
    setText(text5_, full);
    text5_->setCursorPosition(static_cast<int>(text5_->text().size()));
}

bool RED_Gen::refuseSourceAsReduced() {
    if (!RedSameFile(textOf(text10_), textOf(text5_))) return false;
    shell::UserMessage("The paths of source and reduced files are identical; the files must be different.",
                       platform::kMsgExclamation);
    selectAll(text5_);
    return true;
}

bool RED_Gen::refuseChangedSource() {
    // The writer takes the source's lines as they are now and the reactions
    // as Prepare read them: the two must be of one file.
    const files::DiskState state = files::CompareWithDisk(sourceStamp_, sourceFilePath_);
    if (state != files::DiskState::Changed && state != files::DiskState::Gone) return false;
    shell::UserMessage("The solver file '" + sourceFilePath_ +
                           (state == files::DiskState::Gone
                                ? "' has been removed or renamed since Prepare read it."
                                : "' has been changed on disk since Prepare read it. Press Prepare to read it again."),
                       platform::kMsgExclamation);
    return true;
}

void RED_Gen::clearPrepared() {
    ObjectsEn(false);
    holder_.reset();
    targetTable_.clear();
    timePoints_.clear();
    intervals_.clear();
    pointCount_ = 0;
    grid_->SetRowCount(0);
    shape1_->hide();
}

// Prepare.
void RED_Gen::Command7_Click() {
    shell::Trap("red#006 ", [this] {
        sourceFilePath_ = textOf(text10_);
        completeReducedPath();
        if (refuseSourceAsReduced()) return;
        if (RedTestPathAccess(sourceFilePath_, 0, shell::DesktopNotifier())) {
            selectAll(text10_);
            return;
        }
        if (RedPathErr()) return;
        bool failed = false;
        std::string message;
        runs::CheckResultsComplete(sourceFilePath_, failed, message);
        if (failed) {
            shell::UserMessage(message, platform::kMsgExclamation);
            return;
        }
        // From here on the earlier preparation is replaced. The stamp is
        // taken before the read, so that a change during it is seen at Start.
        clearPrepared();
        sourceStamp_ = files::StampOf(sourceFilePath_, files::ReadAll(sourceFilePath_));
        if (RedOpenSourceFile(sourceFilePath_, holder_, shell::DesktopNotifier(), *this, Shared().AvogadroNumber,
                              Shared().UnitFactorE7, Shared().UnitFactorE4))
            return;
        if (!TrapTagged(shell::DesktopNotifier(), "red#007 ", [this] { PrepData(); })) {
            clearPrepared();
            return;
        }
        setText(text1_[1], NumberToText(Shared().ReductionDefaults[1]));
        ObjectsEn(true);
        shape1_->show();
    });
}

// Start.
void RED_Gen::Command1_Click() {
    std::string written;
    TrapTagged(shell::DesktopNotifier(), "Red#002. ", [&] {
        completeReducedPath();
        if (refuseSourceAsReduced()) return;
        if (RedPathErr()) return;
        if (!holder_) throw Error(ErrorKind::ObjectNotSet, "no source run is prepared");
        if (refuseChangedSource()) return;
        grid_->CommitEdit();
        grid_->repaint();
        if (CheckTabParam()) return;
        bool failed = true;
        RedTabGetF(failed);
        if (failed) return;
        int intervalCount = 0;
        IntervalsN(pointCount_ - 1, std::stoi(textOf(text4_)), intervalCount);
        if (intervalCount == 0) return;  // reported by IntervalsN

        const std::string temperature(Trim(textOf(text1_[0])));
        setText(text1_[0], temperature);
        const RedSettings settings = RedSettingsFrom(temperature, textOf(text1_[1]), targetTable_);
        setText(text1_[1], NumberToText(settings.OthersParameter));

        // One trimmed path from here on.
        const std::string path(Trim(textOf(text5_)));
        Shared().ReducedFilePath = path;
        // A path the write test refused has had its reason told already.
        const std::string refusal = path.empty() ? WhyUnwritable(path) : RedExtensionRefusal(path);
        bool unwritable = !refusal.empty();
        if (!unwritable) TestRedFile(path, unwritable);
        if (unwritable) {
            shell::UserMessage("Result file, the specified Path/File name cannot be accessed or is invalid." +
                                   (refusal.empty() ? std::string() : "\r\n" + refusal),
                               platform::kMsgExclamation);
            selectAll(text5_);
            return;
        }
        if (!mayReplace(path)) {
            selectAll(text5_);
            return;
        }
        lastOutcome_ = RedOutcome{};
        lastOutcome_ = GenerateReducedMechanism(RedKinState(), *holder_, path, intervals_, settings, *this,
                                                shell::DesktopNotifier());
        if (lastOutcome_.Written) {
            written = path;
            LastReducedFile() = {path, files::StampOf(path, files::ReadAll(path))};
        }
    });
    // Only a file written by this run is opened and run.
    if (!written.empty() && check2_->isChecked())
        shell::Trap("Red#002. ", [&] { startReducedMechanism(written); });
}

bool RED_Gen::mayReplace(const std::string& path) {
    // The Save dialog of Browse has asked about the file it chose.
    if (path == replaceConfirmed_ || !files::Exists(path)) return true;
    // The reduced file of an earlier Start, as this window wrote it, is
    // replaced by the next one without a question.
    if (const WrittenFile& last = LastReducedFile(); files::SameFile(path, last.path)) {
        const files::DiskState state = files::CompareWithDisk(last.stamp, path);
        if (state == files::DiskState::Unchanged || state == files::DiskState::Rewritten) return true;
    }
    if (RedReplacesOtherFile(path))
        return platform::MsgBox(platform::ToQ("The file '" + path +
                                              "' already exists and is not a solver file.\r\nReplace it with the "
                                              "reduced solver file?"),
                                platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2,
                                "KINOVEX") == platform::kAnswerYes;
    return shell::AskReplaceFile(path, "Replace it with the reduced solver file?");
}

void RED_Gen::startReducedMechanism(const std::string& path) {
    shell::NormalizeMdiWindow();
    // A window that shows an older reduced file (under any spelling of its
    // path) closes; the new one opens.
    if (platform::Form* old = platform::FindFormShowingFile(path)) platform::Unload(old);
    shell::OpenFileByType(path);
    if (platform::Form* opened = platform::FindFormShowingFile(path))
        platform::Require<platform::SolverFileHandOver>(opened).RunSol();
}

// Close.
void RED_Gen::Command3_Click() {
    shell::IgnoreErrors([this] { platform::Unload(this); });
}

// Clear All.
void RED_Gen::Command4_Click() {
    shell::IgnoreErrors([this] {
        text1_[0]->clear();
        for (RedTargetRow& row : targetTable_) row.Parameter.clear();
        ParametrsSeting();
    });
}

// Browse.
void RED_Gen::Command8_Click() {
    bool cancelled = true;
    std::string path;
    RedNewPath(cancelled, path);
    if (cancelled) return;
    // The dialog asked before choosing a file that is there.
    replaceConfirmed_ = files::Exists(path) ? path : std::string();
    setText(text5_, path);
    text5_->setCursorPosition(static_cast<int>(text5_->text().size()));
}

void RED_Gen::showSpeciesRow(int species) {
    shell::IgnoreErrors([&] {
        for (int r = 1; r <= grid_->RowCount(); ++r)
            if (grid_->DataRow(r) == species) {
                grid_->SetRow(r);
                grid_->SetCol(kParameterColumn);
                grid_->ShowRow(r);
                grid_->setFocus();
                return;
            }
    });
}

void InstallReductionWindow() {
    shell::InstallFormCreator(shell::kReductionWindow, [] { return new RED_Gen; });
}

}  // namespace kx::reduction
