#include "SOL_RUN.h"

#include "Controls.h"
#include "Desktop.h"
#include "FileHelpers.h"
#include "FileQuestions.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "MessageBox.h"
#include "Messages.h"
#include "OpenFiles.h"
#include "ResultsBlock.h"
#include "RunCommand.h"
#include "SavedSettings.h"
#include "SharedState.h"
#include "SolverFileChecks.h"
#include "SolverRun.h"
#include "Text.h"
#include "TextHelpers.h"
#include "WindowHelpers.h"
#include "WorkingFiles.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kx::runs {
namespace {

constexpr int kWidthTwips = 7800;
constexpr int kHeightTwips = 7100;
constexpr int kHeightWithWarningTwips = 7600;
constexpr int kFractionColumn = 4;
constexpr int kValueBoxTwips = 1500;

QLineEdit* lineEdit(QWidget* parent, const QString& name) {
    QLineEdit* box = platform::NewTextBox(parent, name);
    box->setFixedWidth(std::max(platform::TwipsToPixels(kValueBoxTwips),
                                box->fontMetrics().horizontalAdvance("0.000000E+000") + 12));
    return box;
}

// A fraction as the grid shows it: empty when it is zero.
QString shownFraction(const std::string& fraction) {
    const std::optional<double> v = ParseNumber(fraction);
    return v && *v == 0 ? QString() : platform::Latin1ToQ(fraction);
}

}  // namespace

SOL_RUN::SOL_RUN() : FormWindow(shell::kRunSettingsWindow) {
    buildControls();
    Form_Load();
}

void SOL_RUN::buildControls() {
    setWindowTitle("Solver Start Window");
    auto* outer = new QVBoxLayout(this);

    tabStrip1_ = new QTabWidget(this);
    tabStrip1_->setObjectName("TabStrip1");
    auto* page0 = new QWidget;
    page0->setObjectName("Frame5_0");
    auto* page1 = new QWidget;
    page1->setObjectName("Frame5_1");
    tabStrip1_->addTab(page0, "Starting  Values");
    tabStrip1_->addTab(page1, "Options and Tips");
    outer->addWidget(tabStrip1_, 1);

    // Tab 1: pressure, temperature, solver parameters; the species grid.
    auto* left = new QVBoxLayout;
    auto* pressure = new QHBoxLayout;
    pressure->addWidget(platform::NewLabel(page0, "Label1", "Constant pressure, atm"));
    text1_ = lineEdit(page0, "Text1");
    pressure->addWidget(text1_);
    left->addLayout(pressure);

    auto* frame1 = new QGroupBox("Temperature Calculation", page0);
    frame1->setObjectName("Frame1");
    auto* temperature = new QGridLayout(frame1);
    option1_ = new QRadioButton("Constant ", frame1);
    option1_->setObjectName("Option1");
    option3_ = new QRadioButton("Adiabatic", frame1);
    option3_->setObjectName("Option3");
    text3_ = lineEdit(frame1, "Text3");
    temperature->addWidget(option1_, 0, 0);
    temperature->addWidget(option3_, 0, 1);
    temperature->addWidget(platform::NewLabel(frame1, "Label3", "Initial Value, K"), 1, 0);
    temperature->addWidget(text3_, 1, 1);
    left->addWidget(frame1);

    auto* frame2 = new QGroupBox("Solver Parameters", page0);
    frame2->setObjectName("Frame2");
    auto* parameters = new QGridLayout(frame2);
    const char* captions[] = {"Initial Time, s", "Final Time, s", "Initial Step Size, s", "RelativeTolerance",
                              "Absolute Tolerance"};
    for (int i = 0; i < 5; ++i) {
        parameters->addWidget(platform::NewLabel(frame2, QString("Label4_%1").arg(i), captions[i]), i, 0);
        text4_[static_cast<std::size_t>(i)] = lineEdit(frame2, QString("Text4_%1").arg(i));
        parameters->addWidget(text4_[static_cast<std::size_t>(i)], i, 1);
    }
    left->addWidget(frame2);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    label5_ = platform::NewLabel(page0, "Label5", "Initial Mole Fractions");
    right->addWidget(label5_);
    grid_ = new platform::Grid(page0);
    grid_->setObjectName("GridEX1");
    right->addWidget(grid_, 1);
    label2_ = platform::NewLabel(page0, "Label2", "Reactions");
    label2_->setWordWrap(true);
    right->addWidget(label2_);

    auto* tab1 = new QHBoxLayout(page0);
    tab1->addLayout(left);
    tab1->addLayout(right, 1);

    // Tab 2: the console option, the step limits, the temperature interval, tips.
    auto* tab2 = new QVBoxLayout(page1);
    check1_ = new QCheckBox("Do not close the console window", page1);
    check1_->setObjectName("Check1");
    tab2->addWidget(check1_);
    label6_ = platform::NewLabel(page1, "Label6");
    label6_->setWordWrap(true);
    tab2->addWidget(label6_);
    auto* steps = new QGridLayout;
    steps->addWidget(platform::NewLabel(page1, "Label4_5", "Maximum number of computed steps"), 0, 0);
    text4_[5] = lineEdit(page1, "Text4_5");
    steps->addWidget(text4_[5], 0, 1);
    steps->addWidget(platform::NewLabel(page1, "Label4_6", "Write one out of every "), 1, 0);
    text4_[6] = lineEdit(page1, "Text4_6");
    steps->addWidget(text4_[6], 1, 1);
    steps->addWidget(platform::NewLabel(page1, "Label10", "accepted  steps"), 1, 2);
    tab2->addLayout(steps);
    auto* frame3 = new QGroupBox("Allowable temperature interval", page1);
    frame3->setObjectName("Frame3");
    auto* interval = new QGridLayout(frame3);
    text7_ = lineEdit(frame3, "Text7");
    text6_ = lineEdit(frame3, "Text6");
    interval->addWidget(platform::NewLabel(frame3, "Label8", "Minimum"), 0, 0);
    interval->addWidget(text7_, 0, 1);
    interval->addWidget(platform::NewLabel(frame3, "Label7", "Maximum"), 1, 0);
    interval->addWidget(text6_, 1, 1);
    tab2->addWidget(frame3);
    label11_ = platform::NewLabel(page1, "Label11");
    label11_->setWordWrap(true);
    tab2->addWidget(label11_);
    tab2->addStretch(1);

    label9_ = platform::NewLabel(this, "Label9");
    label9_->setWordWrap(true);
    label9_->setStyleSheet("color: #a00000;");
    label9_->hide();
    outer->addWidget(label9_);

    auto* bottom = new QHBoxLayout;
    auto* frame6 = new QGroupBox("Settings ", this);
    frame6->setObjectName("Frame6");
    auto* settings = new QHBoxLayout(frame6);
    command7_ = platform::NewButton(frame6, "Command7", "Last Step");
    command6_ = platform::NewButton(frame6, "Command6", "Enter");
    command3_ = platform::NewButton(frame6, "Command3", "Save");
    for (QPushButton* b : {command7_, command6_, command3_}) settings->addWidget(b);
    bottom->addWidget(frame6);
    command1_ = platform::NewButton(this, "Command1", "Default Setting");
    command5_ = platform::NewButton(this, "Command5", "Run Solver");
    command4_ = platform::NewButton(this, "Command4", "Clear Table");
    command2_ = platform::NewButton(this, "Command2", "Cancel");
    auto* commands = new QGridLayout;
    commands->addWidget(command1_, 0, 0);
    commands->addWidget(command5_, 0, 1);
    commands->addWidget(command4_, 1, 0);
    commands->addWidget(command2_, 1, 1);
    bottom->addLayout(commands);
    outer->addLayout(bottom);

    connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(command2_, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(command3_, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(command4_, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(command5_, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(command6_, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(command7_, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(option1_, &QRadioButton::clicked, this, [this] { PolinomCheck(); });
    connect(option3_, &QRadioButton::clicked, this, [this] { PolinomCheck(); });

    grid_->OnReadRow([this](int row, platform::GridRow& v) {
        shell::Trap("Sol#310. ", [&] {
            const SpeciesRow& species = model_.species.at(static_cast<std::size_t>(row) - 1);
            v.Value(1) = row;
            v.Value(2) = platform::Latin1ToQ(species.name);
            v.Value(3) = platform::Latin1ToQ(TrimBlanks(species.formula));
            v.Value(4) = shownFraction(species.fraction);
        });
    });
    grid_->OnWriteRow([this](int row, const platform::GridRow& v) {
        shell::Trap("Sol#311. ", [&] {
            SpeciesRow& species = model_.species.at(static_cast<std::size_t>(row) - 1);
            species.name = platform::QToLatin1(v.Value(2).toString());
            species.formula = std::string(TrimBlanks(platform::QToLatin1(v.Value(3).toString())));
            const QString fraction = v.Value(4).toString();
            species.fraction = fraction.isEmpty() ? "0" : platform::QToLatin1(fraction);
        });
    });
    grid_->OnHeaderClick([this](platform::GridColumn& column) {
        shell::Trap("Sol#308. ", [&] {
            if (grid_->RowCount() > 0) shell::SortGridByColumn(*grid_, column, 1);
        });
    });
    grid_->OnKeyDown([this](int& key, int shift) {
        shell::Trap("Sol#309. ", [&] {
            if (shift != platform::kCtrlMask || grid_->RowCount() == 0) return;
            if (key != platform::kKeyEnd && key != platform::kKeyHome) return;
            const int row = key == platform::kKeyEnd ? grid_->RowCount() : 1;
            grid_->SetRow(row);
            grid_->ShowRow(row);
            key = 0;
        });
    });
    timer1_.OnTimer([this] { Timer1_Timer(); });
}

void SOL_RUN::Form_Load() {
    shell::Trap("Sol#305. ", [this] {
        grid_->SetRowCount(0);
        shell::UnloadToolWindows(shell::kRunSettingsWindow);
        shell::UnloadReportDesigners();
        ShowTab(1);
        text4_[6]->setText("1");
        label5_->setText("Initial Mole Fractions");
        grid_->AddColumn("Num", "No", 600);
        grid_->AddColumn("Species", "Species Name", 1600);
        grid_->AddColumn("MolFormula", "Molecular Formula", 1600);
        grid_->AddColumn("Inval", "Fraction", 1000, "0.##E+00#").SetEditable(true);
        label11_->setText(
            "In the 'Solver Parameters' frame, enter relative (RTOL) and absolute (ATOL) error tolerances. The solver "
            "keeps, roughly, the local error of variables below         RTOL * Y(k) + ATOL, where Y(k) is value of "
            "the k-th variable.");
        label6_->setText(
            "This option can be useful for debugging problems; some error messages are displayed in the console "
            "window. If the console window is opened, the program features are disabled. You must close the window "
            "to continue the work.");
        positionGridLater(1, 1);
        check1_->setChecked(Shared().KeepConsoleOpen != 0);
        keepGridWhole();
        resize(std::max(platform::TwipsToPixels(kWidthTwips), minimumSizeHint().width()),
               std::max(platform::TwipsToPixels(kHeightTwips), minimumSizeHint().height()));
        if (QMainWindow* main = shell::MainWindow())
            move(main->pos() + QPoint(platform::TwipsToPixels(2100), platform::TwipsToPixels(1500)));
        bool unreadable = true;
        CheckFileReadable(savedSettingsFile(), unreadable);
        command6_->setEnabled(!unreadable);
        // Nothing is run or saved before a solver file has loaded.
        setRunEnabled(false);
    });
}

QLineEdit* SOL_RUN::box(Setting s) const {
    switch (s) {
        case Setting::Pressure: return text1_;
        case Setting::InitialTemperature: return text3_;
        case Setting::MinTemperature: return text7_;
        case Setting::MaxTemperature: return text6_;
        case Setting::InitialTime: return text4_[0];
        case Setting::FinalTime: return text4_[1];
        case Setting::InitialStep: return text4_[2];
        case Setting::RelativeTolerance: return text4_[3];
        case Setting::AbsoluteTolerance: return text4_[4];
        case Setting::MaxSteps: return text4_[5];
        case Setting::OutputStep: return text4_[6];
    }
    return text1_;
}

RunSettings SOL_RUN::settingsFromBoxes() const {
    RunSettings s;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s.text[i] = platform::QToLatin1(box(static_cast<Setting>(i))->text());
    s.adiabatic = option3_->isChecked();
    return s;
}

void SOL_RUN::showSettings(const RunSettings& s) {
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        QLineEdit* b = box(static_cast<Setting>(i));
        const QString text = platform::Latin1ToQ(s.text[i]);
        if (b->text() != text) b->setText(text);
    }
    option3_->setChecked(s.adiabatic);
    option1_->setChecked(!s.adiabatic);
}

RunSettings SOL_RUN::changeSettings(const std::function<void(RunSettings&)>& step) {
    RunSettings s = settingsFromBoxes();
    try {
        step(s);
    } catch (...) {
        showSettings(s);
        throw;
    }
    showSettings(s);
    return s;
}

void SOL_RUN::setRunEnabled(bool enabled) {
    command5_->setEnabled(enabled);
    command3_->setEnabled(enabled);
    command7_->setEnabled(enabled && lastStep_.available);
}

void SOL_RUN::refillGrid() {
    grid_->SetRowCount(static_cast<int>(model_.species.size()));
    RecOrder_Load();
    grid_->Refresh();
    keepGridWhole();
}

// The grid shows its four columns whole, as wide as their captions and the
// species need; the window is never smaller than its controls need.
void SOL_RUN::keepGridWhole() {
    grid_->setMinimumWidth(grid_->sizeHint().width());
    if (width() < minimumSizeHint().width()) resize(minimumSizeHint().width(), height());
}

void SOL_RUN::positionGridLater(int row, int column) {
    gridRow_ = row;
    gridCol_ = column;
    timer1_.SetEnabled(true);
}

void SOL_RUN::Timer1_Timer() {
    shell::IgnoreErrors([this] {
        grid_->SetRow(gridRow_);
        grid_->SetCol(gridCol_);
    });
}

// Moving the current cell ends an edit in progress, which then reaches the
// species table.
void SOL_RUN::commitGridEdit() {
    const int row = grid_->Row();
    const int column = grid_->Col();
    if (row == 0 || grid_->ColumnCount() < 2) return;
    grid_->SetCol(column == 1 ? 2 : 1);
    grid_->SetCol(column);
}

std::string SOL_RUN::savedSettingsFile() const { return Shared().AssistFolder + kSavedSettingsName; }

void SOL_RUN::ShowTab(int NTab) { tabStrip1_->setCurrentIndex(NTab == 1 ? 0 : 1); }

void SOL_RUN::ShoeTextMsg(QLineEdit* Txt, int Frn, const std::string& Msg) {
    ShowTab(Frn);
    Txt->setFocus();
    Txt->setSelection(0, static_cast<int>(Txt->text().size()));
    shell::UserMessage(Msg, platform::kMsgExclamation);
}

void SOL_RUN::PolinomCheck() {
    shell::Trap("Sol#303-1 ", [this] {
        label9_->clear();
        label9_->hide();
        int height = kHeightTwips;
        if (grid_->RowCount() > 0 && option3_->isChecked()) {
            const std::string warning = ThermoDataWarning(model_);
            if (!warning.empty()) {
                label9_->setText(platform::Latin1ToQ(warning));
                label9_->show();
                height = kHeightWithWarningTwips;
            }
        }
        resize(width(), std::max(platform::TwipsToPixels(height), minimumSizeHint().height()));
    });
}

void SOL_RUN::DefoultVaues() {
    text7_->setText("200");
    text6_->setText("6000");
    text4_[0]->setText("0");
    text4_[1]->setText(platform::ToQ(Format(1.0, "0.E+00")));
    text4_[2]->setText(platform::ToQ(Format(1e-10, "0.E+00")));
    text4_[3]->setText(platform::ToQ(Format(1e-6, "0.E+00")));
    text4_[4]->setText(platform::ToQ(Format(1e-15, "0.E+00")));
}

void SOL_RUN::GETPASS(const std::string& Pth, const std::string& /*InitFileCap*/) {
    shell::Trap("Sol#303. ", [&] {
        runFilePath_ = Pth;
        OpnFile(runFilePath_);
        std::string name, extension;
        std::int32_t position = 0;
        SplitFileName(runFilePath_, name, extension, position);
        SetCaption(platform::ToQ("Solver File   " + name));
    });
}

void SOL_RUN::OpnFile(const std::string& FilePP) {
    lastStep_ = LastStep{};
    setRunEnabled(false);
    const bool loaded = shell::Trap("Sol#304. ", [&] {
        SolverFileModel model;
        changeSettings([&](RunSettings& s) { LoadSolverFile(FilePP, s, model); });
        model_ = std::move(model);
        refillGrid();
        label2_->setText(
            platform::ToQ("Reaction mechanism consists of " + std::to_string(model_.reactionCount) + " reactions."));
        PolinomCheck();
    });
    if (!loaded) return;
    // A run replaces the results: only "Last Step" needs them to read.
    LastVal(FilePP);
    setRunEnabled(true);
    // Settings the solver would refuse are set here: the window says which.
    if (!model_.settingsProblem.empty())
        shell::UserMessage(InTheFileText(FilePP) + "the solver does not run the settings as they stand:\r\n" +
                               model_.settingsProblem + ".\r\n\r\nCorrect them here before the run.",
                           platform::kMsgExclamation);
}

bool SOL_RUN::LastVal(const std::string& FilePPSS) {
    command7_->setEnabled(false);
    try {
        ReadLastStep(FilePPSS, model_, platform::QToLatin1(text4_[4]->text()), lastStep_);
        command7_->setEnabled(lastStep_.available);
        return true;
    } catch (const std::exception& e) {
        lastStep_ = LastStep{};
        shell::ReportError("", std::string(e.what()) + ".");
        return false;
    }
}

void SOL_RUN::RecOrder_Load() {
    shell::Trap("Sol#307. ", [this] {
        grid_->ClearSortKeys();
        grid_->AddSortKey(1, 1);
    });
}

// Default Setting: errors end it silently.
void SOL_RUN::Command1_Click() {
    shell::IgnoreErrors([this] { DefoultVaues(); });
}

// Cancel.
void SOL_RUN::Command2_Click() {
    shell::IgnoreErrors([this] {
        if (Shared().MainWasMaximized)
            if (QMainWindow* main = shell::MainWindow()) main->showMaximized();
        platform::Unload(this);
    });
}

// Save: a failed write is reported, and Enter stays as it was.
void SOL_RUN::Command3_Click() {
    shell::IgnoreErrors([this] { commitGridEdit(); });
    shell::Trap("Sol#306. ", [this] {
        WriteSavedSettings(savedSettingsFile(), SavedSettingsItems(runFilePath_, settingsFromBoxes(), model_.species));
        command6_->setEnabled(true);
    });
}

// Clear Table.
void SOL_RUN::Command4_Click() {
    shell::Trap("Sol#301. ", [this] {
        for (SpeciesRow& row : model_.species) row.fraction = std::string("0");
        grid_->SetRowCount(0);
        grid_->SetRowCount(static_cast<int>(model_.species.size()));
        shell::SortGridByColumn(*grid_, grid_->Column(1), 1);
        positionGridLater(1, 1);
    });
}

// Run Solver.
void SOL_RUN::Command5_Click() {
    shell::Trap("Sol#302. ", [this] {
        Shared().KeepConsoleOpen = check1_->isChecked() ? 1 : 0;
        commitGridEdit();
        Refusal refusal;
        const RunSettings s =
            changeSettings([&](RunSettings& settings) { refusal = ValidateFileRun(settings, model_); });
        switch (refusal.kind) {
            case Refusal::Kind::None: break;
            case Refusal::Kind::Field: ShoeTextMsg(box(refusal.field), refusal.tab, refusal.message); return;
            case Refusal::Kind::Fraction:
                ShowTab(1);
                shell::UserMessage(refusal.message, platform::kMsgExclamation);
                RecOrder_Load();
                grid_->SetRow(1);
                RecOrder_Load();
                positionGridLater(refusal.species + 1, kFractionColumn);
                return;
            case Refusal::Kind::ZeroSum:
                ShowTab(1);
                shell::UserMessage(refusal.message, platform::kMsgExclamation);
                grid_->setFocus();
                if (grid_->RowCount() > 0) grid_->SetCol(kFractionColumn);
                return;
        }
        const std::string problem = SolverPathProblem(runFilePath_);
        if (!problem.empty()) {
            shell::UserMessage(problem, platform::kMsgExclamation);
            return;
        }
        // The rewrite gives back the mechanism as it was read: newer work in
        // the file is not replaced without asking.
        if (!shell::ConfirmSaveOverDiskChange(model_.stamp, runFilePath_, "settings and the mechanism it read",
                                              "No writes nothing and starts no run."))
            return;
        WriteRunFiles(WorkingFolder(), runFilePath_, RewrittenSolverLines(model_, s));
        // The window is gone once the run starts; what the run needs is copied.
        const std::string caller = runFilePath_;
        platform::Unload(this);
        std::string path, report;
        int style = 0;
        bool error = false;
        RunSolver(path, report, style, error, caller);
    });
}

// Enter.
void SOL_RUN::Command6_Click() {
    shell::IgnoreErrors([this] {
        if (const std::string why = WhyNoFirstLine(savedSettingsFile()); !why.empty()) {
            shell::ShowErrorMessage("Setting isn't saved.\r\n" + why);
            command6_->setEnabled(false);
            return;
        }
        commitGridEdit();
        EnterSetting();
    });
}

void SOL_RUN::EnterSetting() {
    try {
        const std::vector<std::string> items = ReadSavedSettings(savedSettingsFile());
        changeSettings([&](RunSettings& s) { ApplySavedSettings(items, s, model_.species); });
        grid_->ClearSortKeys();
        grid_->SetRowCount(0);
        refillGrid();
        positionGridLater(1, 1);
    } catch (const std::exception& e) {
        const Error* error = dynamic_cast<const Error*>(&e);
        const bool ended = error && error->kind() == ErrorKind::InputPastEndOfFile;
        command6_->setEnabled(false);
        shell::ReportError(ended ? "Sol#304-1. Setting isn't saved or an error occures." : "Sol#304-1 ",
                           std::string(e.what()) + ".");
    }
}

// Last Step.
void SOL_RUN::Command7_Click() {
    shell::IgnoreErrors([this] {
        text4_[0]->setText(platform::ToQ(NumberToText(lastStep_.time)));
        text3_->setText(platform::ToQ(lastStep_.temperature));
        for (std::size_t k = 0; k < model_.species.size() && k < lastStep_.fractions.size(); ++k)
            model_.species[k].fraction = lastStep_.fractions[k];
        grid_->SetRowCount(0);
        grid_->SetRowCount(static_cast<int>(model_.species.size()));
    });
}

void InstallRunSettingsWindow() {
    shell::InstallFormCreator(shell::kRunSettingsWindow, [] { return new SOL_RUN; });
}

}  // namespace kx::runs
