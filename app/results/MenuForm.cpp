#include "MenuForm.h"

#include "Controls.h"
#include "Desktop.h"
#include "Format.h"
#include "FormRegistry.h"
#include "GeneralPage.h"
#include "Grid.h"
#include "MDIForm1.h"
#include "MessageBox.h"
// The shell's messages and traps (this folder has a Messages.h of its own).
#include "ShellMessages.h"
#include "Help.h"
#include "OpenFiles.h"
#include "RateCurves.h"
#include "ResultsChart.h"
#include "SharedState.h"
#include "Text.h"
#include "TextHelpers.h"
#include "TextTables.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kx::results {

using platform::FromQ;
using platform::Latin1ToQ;
using platform::QToLatin1;
using platform::ToQ;

namespace {

constexpr int kWidthTwips = 7500;
constexpr int kHeightTwips = 6800;
constexpr const char* kTemporaryChart = "Temporary Chart ";
const QColor kStaleColour(0, 0, 255);  // light blue: the count is out of date

// A trap for the window's handlers: a failure of a core procedure with a tag
// of its own is reported under that tag, anything else under the handler's.
template <class Body>
bool Trapped(std::string_view tag, Body&& body) {
    try {
        body();
        return true;
    } catch (const TaggedError& e) {
        shell::RestoreDefaultPointer();
        shell::ReportError(e.Tag(), e.Description());
    } catch (const std::exception& e) {
        shell::RestoreDefaultPointer();
        shell::ReportError(tag, e);
    }
    return false;
}

std::string BoxText(const QLineEdit* box) { return QToLatin1(box->text()); }

// The number in a box checked before (TestTxErr, the General page).
double BoxValue(const QLineEdit* box) {
    const std::optional<double> v = ParseNumber(BoxText(box));
    if (!v) throw Error(ErrorKind::TypeMismatch, QToLatin1(box->objectName()));
    return *v;
}

using platform::NewButton;
using platform::NewFrame;
using platform::NewLabel;
using platform::NewOption;

// A table as the window shows it: one line a row, never narrower than its
// columns (the grid fits them to their captions and texts, and gives every
// row a header that can be double-clicked).
void FitGrid(platform::Grid* g) {
    g->setWordWrap(false);
    g->setMinimumWidth(g->sizeHint().width());
}

// The date and time of reports, from the desktop's clock.
std::string TodayText() {
    const QDate d = platform::CurrentDateTime().date();
    return ReportDate(d.year(), d.month(), d.day());
}

}  // namespace

struct MenuForm::Controls {
    std::array<QWidget*, 6> frame1{};
    std::array<QLineEdit*, 20> text{};
    std::array<QRadioButton*, 17> option{};
    std::array<QLabel*, 27> label{};
    std::array<QPushButton*, 15> command{};
    std::array<platform::Grid*, 5> grid{};
    std::array<QGroupBox*, 10> frame{};
};

MenuForm::MenuForm() : FormWindow(shell::kResultsWindow), c_(std::make_unique<Controls>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Data Viewing ");
    buildControls();
    buildMenus();
    connectEvents();
    Form_Load();
}

MenuForm::~MenuForm() = default;

QLineEdit* MenuForm::Text(int n) const { return c_->text.at(static_cast<std::size_t>(n)); }
QRadioButton* MenuForm::Option(int n) const { return c_->option.at(static_cast<std::size_t>(n)); }
QLabel* MenuForm::Label(int n) const { return c_->label.at(static_cast<std::size_t>(n)); }
QPushButton* MenuForm::Command(int n) const { return c_->command.at(static_cast<std::size_t>(n)); }
platform::Grid* MenuForm::GridEX(int n) const { return c_->grid.at(static_cast<std::size_t>(n)); }
QGroupBox* MenuForm::Frame(int n) const { return c_->frame.at(static_cast<std::size_t>(n)); }

// ---- Controls ------------------------------------------------------------------

void MenuForm::buildControls() {
    Controls& c = *c_;
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    tabStrip1_ = new QTabWidget(central);
    tabStrip1_->setObjectName("TabStrip1");
    outer->addWidget(tabStrip1_);
    const char* captions[] = {"General", "Average Parameters", "Species", "Derivatives", "Reactions", "Tips"};
    const char* keys[] = {"MenGeneral", "MEANVAl", "Species", "Derivatives", "Reactions", "Tips"};
    for (int i = 0; i < 6; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString("Frame1_%1").arg(i));
        page->setProperty("key", keys[i]);
        tabStrip1_->addTab(page, captions[i]);
        c.frame1[static_cast<std::size_t>(i)] = page;
    }
    auto text = [&](int n, QWidget* parent) {
        auto* box = new QLineEdit(parent);
        box->setObjectName(QString("Text%1").arg(n));
        c.text[static_cast<std::size_t>(n)] = box;
        return box;
    };
    auto option = [&](int n, QWidget* parent, const QString& caption) {
        return c.option[static_cast<std::size_t>(n)] = NewOption(parent, QString("Option%1").arg(n), caption);
    };
    auto label = [&](int n, QWidget* parent, const QString& caption = QString()) {
        return c.label[static_cast<std::size_t>(n)] = NewLabel(parent, QString("Label%1").arg(n), caption);
    };
    auto command = [&](int n, QWidget* parent, const QString& caption) {
        return c.command[static_cast<std::size_t>(n)] = NewButton(parent, QString("Command%1").arg(n), caption);
    };
    auto grid = [&](int n, QWidget* parent) {
        auto* g = new platform::Grid(parent);
        g->setObjectName(QString("GridEX%1").arg(n));
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        c.grid[static_cast<std::size_t>(n)] = g;
        return g;
    };
    // A Y-axis frame: linear and log options and the scaling box.
    auto yAxisFrame = [&](QWidget* parent, const QString& name, const QString& caption, int linear, int log,
                          int scale) {
        QGroupBox* f = NewFrame(parent, name, caption);
        auto* l = new QGridLayout(f);
        l->addWidget(option(linear, f, "Y"), 0, 0);
        l->addWidget(option(log, f, "Log10(Y)"), 0, 1);
        l->addWidget(NewLabel(f, name + "Scaling", "Scaling"), 1, 0);
        l->addWidget(text(scale, f), 1, 1);
        return f;
    };

    // General.
    {
        QWidget* p = c.frame1[0];
        auto* v = new QVBoxLayout(p);
        QLabel* heading = label(16, p);
        heading->setStyleSheet("font-weight: bold;");
        v->addWidget(heading);
        auto* interval = new QGridLayout;
        interval->addWidget(label(13, p), 0, 0);
        interval->addWidget(text(2, p), 0, 1);
        interval->addWidget(label(14, p, "-"), 0, 2);
        interval->addWidget(text(3, p), 0, 3);
        interval->addWidget(NewLabel(p, "LabelSec", "sec"), 0, 4);
        interval->addWidget(label(2, p, "The number of points"), 1, 0);
        QLineEdit* count = text(6, p);
        count->setReadOnly(true);
        interval->addWidget(count, 1, 1);
        interval->addWidget(NewLabel(p, "LabelShow", "Show one out of every"), 2, 0);
        interval->addWidget(text(5, p), 2, 1);
        interval->addWidget(NewLabel(p, "LabelPoints", "points"), 2, 2, 1, 2);
        interval->setColumnStretch(5, 1);
        v->addLayout(interval);
        auto* frames = new QHBoxLayout;
        QGroupBox* time = NewFrame(p, "Frame2", "Time Axis (x-Axis)");
        auto* tl = new QGridLayout(time);
        tl->addWidget(option(3, time, "X"), 0, 0);
        tl->addWidget(option(4, time, "Log10(X)"), 0, 1);
        tl->addWidget(NewLabel(time, "LabelTimeScale", "Scaling"), 1, 0);
        tl->addWidget(text(1, time), 1, 1);
        frames->addWidget(time);
        QGroupBox* units = c.frame[9] = NewFrame(p, "Frame9", "Concentration Units");
        auto* ul = new QVBoxLayout(units);
        ul->addWidget(option(13, units, "mol/cm^3"));
        ul->addWidget(option(14, units, "1/cm^3"));
        frames->addWidget(units);
        frames->addStretch(1);
        v->addLayout(frames);
        auto* file = new QHBoxLayout;
        file->addWidget(NewLabel(p, "LabelFile", "File"));
        QLineEdit* path = text(10, p);
        path->setReadOnly(true);
        file->addWidget(path, 1);
        file->addWidget(command(6, p, "Show File"));
        file->addWidget(command(5, p, "Reset"));
        v->addLayout(file);
        v->addStretch(1);
    }
    // Average Parameters.
    {
        QWidget* p = c.frame1[1];
        auto* h = new QHBoxLayout(p);
        auto* left = new QVBoxLayout;
        left->addWidget(label(20, p));
        platform::Grid* g = grid(3, p);
        g->AddColumn("VAL", "Value", 1900);
        g->AddColumn("SYM", "Symbol", 800);
        g->AddColumn("UNI", "Units", 1100);
        left->addWidget(g, 1);
        left->addWidget(label(21, p, "Pressure"));
        h->addLayout(left, 1);
        auto* right = new QVBoxLayout;
        right->addWidget(yAxisFrame(p, "Frame10", "Y-Axis", 11, 12, 12));
        QGroupBox* energy = NewFrame(p, "Frame11", "H and Cp Units");
        auto* el = new QVBoxLayout(energy);
        el->addWidget(option(6, energy, "J - mol - K"));
        el->addWidget(option(1, energy, "cal - mol - K"));
        right->addWidget(energy);
        QGroupBox* rows = NewFrame(p, "Frame12", "Selected Rows");
        auto* rl = new QVBoxLayout(rows);
        rl->addWidget(command(14, rows, "View"));
        right->addWidget(rows);
        right->addStretch(1);
        h->addLayout(right);
    }
    // Species.
    {
        QWidget* p = c.frame1[2];
        auto* h = new QHBoxLayout(p);
        platform::Grid* g = grid(1, p);
        g->AddColumn("Num", "Num", 370);
        g->AddColumn("Species", "Species", 1350);
        g->AddColumn("MFINIT", "Initial mole fraction", 1400, "0.00E+00");
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        h->addWidget(g, 1);
        auto* right = new QVBoxLayout;
        combo1_ = new QComboBox(p);
        combo1_->setObjectName("Combo1");
        right->addWidget(combo1_);
        right->addWidget(yAxisFrame(p, "Frame13", "Y-Axis", 10, 9, 4));
        QGroupBox* rows = NewFrame(p, "Frame14", "Selected Rows");
        auto* rl = new QVBoxLayout(rows);
        rl->addWidget(NewLabel(rows, "LabelNameLength", "Maximum name length"));
        rl->addWidget(option(15, rows, "12 Symbols"));
        rl->addWidget(option(16, rows, "16 Symbols"));
        rl->addWidget(command(13, rows, "View"));
        right->addWidget(rows);
        right->addStretch(1);
        h->addLayout(right);
    }
    // A reaction page: the species box, "Prepare" and the list's caption
    // above the list of reactions; returns the page's layout and the row
    // that holds the list.
    auto reactionPage = [&](int page, int box, int prepare, int caption, int gridNumber, const QString& valueCaption) {
        QWidget* p = c.frame1[static_cast<std::size_t>(page)];
        auto* v = new QVBoxLayout(p);
        auto* top = new QHBoxLayout;
        top->addWidget(NewLabel(p, QString("LabelSpecies%1").arg(box), "Species"));
        top->addWidget(text(box, p));
        top->addWidget(command(prepare, p, "Prepare"));
        top->addWidget(label(caption, p), 1);
        v->addLayout(top);
        auto* middle = new QHBoxLayout;
        platform::Grid* g = grid(gridNumber, p);
        g->AddColumn("Num", "Num", 500);
        g->AddColumn("Reaction", "Reaction", 3000);
        g->AddColumn("INTEGRAL", valueCaption, 900, "0.00E+00");
        middle->addWidget(g, 1);
        v->addLayout(middle, 1);
        return std::pair{v, middle};
    };
    // Derivatives.
    {
        QWidget* p = c.frame1[3];
        auto [v, middle] = reactionPage(3, 7, 10, 11, 2, "Production");
        auto* right = new QVBoxLayout;
        QGroupBox* show = NewFrame(p, "Frame6", "Show Reactions");
        auto* sl = new QGridLayout(show);
        sl->addWidget(command(1, show, "All"), 0, 0);
        sl->addWidget(command(2, show, "Important"), 1, 0);
        sl->addWidget(text(8, show), 1, 1);
        right->addWidget(show);
        QGroupBox* histogram = NewFrame(p, "Frame8", "Histogram ");
        auto* hl = new QGridLayout(histogram);
        hl->addWidget(NewLabel(histogram, "LabelHistogramScale", "Scaling"), 0, 0);
        hl->addWidget(text(11, histogram), 0, 1);
        hl->addWidget(command(3, histogram, "Show"), 1, 0);
        check3_ = new QCheckBox("Labels", histogram);
        check3_->setObjectName("Check3");
        hl->addWidget(check3_, 1, 1);
        right->addWidget(histogram);
        right->addWidget(c.frame[7] = yAxisFrame(p, "Frame7", "Production", 7, 8, 9));
        right->addWidget(command(4, p, "Plot Derivative"));
        right->addStretch(1);
        middle->addLayout(right);
        auto* bottom = new QHBoxLayout;
        bottom->addWidget(command(12, p, "Copy Table"));
        bottom->addStretch(1);
        bottom->addWidget(label(25, p, "Sum"));
        QLineEdit* sum = text(19, p);
        sum->setReadOnly(true);
        bottom->addWidget(sum);
        v->addLayout(bottom);
    }
    // Reactions.
    {
        QWidget* p = c.frame1[4];
        auto middle = reactionPage(4, 14, 8, 26, 4, "Delta T").second;
        auto* right = new QVBoxLayout;
        right->addWidget(c.frame[5] = yAxisFrame(p, "Frame5", "Reaction Rate", 5, 2, 13));
        QGroupBox* rates = NewFrame(p, "Frame15", "Rates");
        auto* rl = new QVBoxLayout(rates);
        const char* rateCaptions[] = {"Net", "Forward", "Reverse ", "Heat release", "Contribution to dT/dt"};
        for (std::size_t i = 0; i < check1_.size(); ++i) {
            check1_[i] = new QCheckBox(rateCaptions[i], rates);
            check1_[i]->setObjectName(QString("Check1_%1").arg(i));
            rl->addWidget(check1_[i]);
        }
        right->addWidget(rates);
        right->addStretch(1);
        middle->addLayout(right);
    }
    // Tips.
    {
        QWidget* p = c.frame1[5];
        auto* v = new QVBoxLayout(p);
        QLabel* tips = label(8, p);
        tips->setWordWrap(true);
        tips->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        v->addWidget(tips, 1);
    }

    FitGrid(c.grid[1]);
    FitGrid(c.grid[3]);
    // The reaction lists show about 40 characters of each equation.
    c.grid[2]->Column(2).SetWidth(platform::PixelsToTwips(c.grid[2]->fontMetrics().horizontalAdvance(QString(40, 'H'))));
    c.grid[4]->Column(2).SetWidth(c.grid[2]->Column(2).Width());
    FitGrid(c.grid[2]);
    FitGrid(c.grid[4]);
    // The equations take the width the numbers leave; the other tables
    // give spare width to their last column.
    for (int n : {2, 4}) c.grid[static_cast<std::size_t>(n)]->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int n : {1, 3}) c.grid[static_cast<std::size_t>(n)]->horizontalHeader()->setStretchLastSection(true);
    // Every tab caption shows.
    c.frame1[0]->setMinimumWidth(tabStrip1_->tabBar()->sizeHint().width());

    popup_ = new QMenu(this);
    popup_->setObjectName("POP");
    QAction* copy = popup_->addAction("Copy");
    copy->setObjectName("SAVE");
    connect(copy, &QAction::triggered, this, [this] { copySpeciesName(); });
}

void MenuForm::buildMenus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("MENFILE");
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const char* tag, std::function<void()> body) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [tag, body = std::move(body)] { shell::Trap(tag, body); });
        return a;
    };
    add(file, "MENSHOWFILE", "Show File", "SOL#402-2 ", [this] { shell::ShowFileInResultWindow(solverFile_); });
    file->addSeparator();
    add(file, "MENCLOSE", "Close", "SOL#402-3 ", [this] { platform::Unload(this); });
    QMenu* window = menuBar()->addMenu("Window");
    window->setObjectName("MENWINDOW");
    const char* arrangements[] = {"Cascade", "Tile Horizontally", "Tile Vertically", "Arrange Icons"};
    for (int n = 0; n < 4; ++n)
        add(window, ("MENWINDOWARR" + std::to_string(n)).c_str(), arrangements[n], "SOL#402-4 ", [n] {
            if (shell::MDIForm1* main = shell::MainForm()) main->ArrangeChildren(n);
        });
    QMenu* help = menuBar()->addMenu("Help");
    help->setObjectName("MENHELP");
    add(help, "MENHELPGUIDE", "User Guide", "SOL#402-5 ", [] { shell::ShowHelp(); });
}

// ---- Events ----------------------------------------------------------------------

void MenuForm::connectEvents() {
    Controls& c = *c_;
    connect(tabStrip1_, &QTabWidget::currentChanged, this, [this](int index) { tabChanged(index); });
    c.label[2]->installEventFilter(this);
    for (int n : {2, 3})
        connect(c.text[static_cast<std::size_t>(n)], &QLineEdit::textEdited, this, [this] { BackCol(true); });
    connect(c.command[6], &QPushButton::clicked, this,
            [this] { shell::Trap("SOL#402-2 ", [this] { shell::ShowFileInResultWindow(solverFile_); }); });
    connect(c.command[5], &QPushButton::clicked, this, [this] {
        shell::Trap("SOL#402-1 ", [this] {
            for (auto [box, value] : {std::pair{Text(2), smin_}, std::pair{Text(3), smax_}})
                box->setText(Latin1ToQ(Format(Format(value, "0.000000E+00"), "!@@@@@@@@@@@@@@")));
            BackCol(false);
        });
    });

    // Remembered choices follow the options.
    auto remember = [this](int n, auto apply) {
        connect(Option(n), &QRadioButton::toggled, this, [apply](bool on) {
            if (on) apply();
        });
    };
    SharedState& s = Shared();
    remember(3, [&s] { s.LogTimeAxis = false; });
    remember(4, [&s] { s.LogTimeAxis = true; });
    remember(7, [&s] { s.LogYDerivatives = false; });
    remember(8, [&s] { s.LogYDerivatives = true; });
    remember(10, [&s] { s.LogYSpecies = false; });
    remember(9, [&s] { s.LogYSpecies = true; });
    remember(11, [&s] { s.LogYAverages = false; });
    remember(12, [&s] { s.LogYAverages = true; });
    remember(5, [&s] { s.LogYReactions = false; });
    remember(2, [&s] { s.LogYReactions = true; });
    remember(13, [this, &s] { shell::Trap("SOL408-5 ", [&] { s.ConcUnit = 0; ComboText(); }); });
    remember(14, [this, &s] { shell::Trap("SOL408-7 ", [&] { s.ConcUnit = 1; ComboText(); }); });
    remember(1, [this, &s] { shell::Trap("SOL408-4 ", [&] { s.UnitsJoule = false; HabdCpUnits(false); }); });
    remember(6, [this, &s] { shell::Trap("SOL408-8 ", [&] { s.UnitsJoule = true; HabdCpUnits(true); }); });

    // Tables: a double click on a row header plots; Ctrl adds the curve,
    // Shift or Alt plots nothing.
    auto plotsWith = [](int shift) { return (shift & (platform::kShiftMask | platform::kAltMask)) == 0; };
    auto adds = [](int shift) { return (shift & platform::kCtrlMask) != 0; };
    platform::Grid* species = c.grid[1];
    // Rows beyond the tables (the empty rows before the file is read) stay empty.
    species->OnReadRow([this](int row, platform::GridRow& v) {
        const auto k = static_cast<std::size_t>(row);
        if (k >= specArrD_.size() || k >= initFract_.size()) return;
        v.Value(1) = row;
        v.Value(2) = Latin1ToQ(specArrD_[k]);
        const double fraction = initFract_[k];
        v.Value(3) = fraction == 0 ? QVariant(QString()) : QVariant(fraction);
    });
    species->OnHeaderClick([this, species](platform::GridColumn& column) {
        shell::Trap("SOL#402-11 ", [&] { shell::SortGridByColumn(*species, column, 1); });
    });
    // A double click on a row's header, or on the row itself, plots it.
    auto plotSpecies = [=, this](int row, int shift) {
        if (!plotsWith(shift)) return;
        shell::Trap("SOL404-2", [&] {
            species->SetRow(row);
            addCurveFlag_ = adds(shift);
            const int column = species->Value(row, 1).toInt() + 2;
            const std::string name(Trim(QToLatin1(species->Value(row, 2).toString())));
            Shared().ConcKindIndex = combo1_->currentIndex();
            PoltFunc(Shared().ConcKindIndex, column, name);
        });
    };
    species->OnRowHeaderDoubleClick(plotSpecies);
    species->OnRowActivate(plotSpecies);
    connect(species, &QWidget::customContextMenuRequested, this,
            [this, species](const QPoint& at) { popup_->popup(species->viewport()->mapToGlobal(at)); });

    platform::Grid* averages = c.grid[3];
    averages->OnReadRow([this](int row, platform::GridRow& v) {
        shell::Trap("SOL#404-11. ", [&] {
            if (static_cast<std::size_t>(row) >= meanTable_.size()) return;
            const MeanParameterRow& r = meanTable_[static_cast<std::size_t>(row)];
            v.Value(1) = ToQ(r.Name);
            v.Value(2) = ToQ(r.Symbol);
            v.Value(3) = ToQ(r.Unit);
        });
    });
    auto plotAverage = [=, this](int row, int shift) {
        if (!plotsWith(shift)) return;
        shell::Trap("SOL#402-12 ", [&] {
            averages->SetRow(row);
            addCurveFlag_ = adds(shift);
            MeanFF({}, false);
        });
    };
    averages->OnRowHeaderDoubleClick(plotAverage);
    averages->OnRowActivate(plotAverage);

    for (Page page : {Page::Derivatives, Page::Reactions}) {
        platform::Grid* g = c.grid[page == Page::Derivatives ? 2 : 4];
        g->OnReadRow([this, page](int row, platform::GridRow& v) {
            const RowTable& rows = List(page).Rows;
            if (static_cast<std::size_t>(row) >= rows.size()) return;
            const auto& cells = rows[static_cast<std::size_t>(row)];
            v.Value(1) = NumberOf(cells[0]);
            v.Value(2) = Latin1ToQ(TextOf(cells[1]));
            v.Value(3) = IsEmpty(cells[2]) ? QVariant(QString()) : QVariant(NumberOf(cells[2]));
        });
        g->OnHeaderClick([g](platform::GridColumn& column) {
            shell::Trap("SOL#402-11 ", [&] {
                if (g->RowCount() > 0) shell::SortGridByColumn(*g, column, 1);
            });
        });
        auto plot = [=, this](int row, int shift) {
            if (plotsWith(shift)) PlotReactions(page, row, adds(shift));
        };
        g->OnRowActivate(plot);
        g->OnRowHeaderDoubleClick(plot);
    }

    connect(c.command[10], &QPushButton::clicked, this, [this] { Prepare(Page::Derivatives); });
    connect(c.command[8], &QPushButton::clicked, this, [this] { Prepare(Page::Reactions); });
    connect(c.text[7], &QLineEdit::returnPressed, this, [this] { Prepare(Page::Derivatives); });
    connect(c.text[14], &QLineEdit::returnPressed, this, [this] { Prepare(Page::Reactions); });
    timer1_.OnTimer([this] { timerPrepare(Page::Derivatives); });
    timer2_.OnTimer([this] { timerPrepare(Page::Reactions); });
    timer3_.OnTimer([this] {
        shell::Trap("SOL408-8 ", [this] { DrawHistogramBars(histogram_, itemLabels_, 1); });
        Shared().NewChartPending = false;
    });

    connect(c.command[1], &QPushButton::clicked, this, [this] { ShowReacMen(false); });
    connect(c.command[2], &QPushButton::clicked, this, [this] { ShowReacMen(true); });
    connect(c.command[3], &QPushButton::clicked, this, [this] { ShowHisto(); });
    connect(c.command[12], &QPushButton::clicked, this, [this] { CopyTable(); });
    connect(c.command[4], &QPushButton::clicked, this, [=, this] {
        const int shift = platform::ShiftStateOf(QApplication::keyboardModifiers());
        if (plotsWith(shift)) PlotDerivative(adds(shift));
    });
    connect(c.command[14], &QPushButton::clicked, this, [this] { meanView(); });
    connect(c.command[13], &QPushButton::clicked, this, [this] { speciesView(); });
}

bool MenuForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label(2)) {
        if (event->type() == QEvent::MouseButtonPress) label2Click();
    }
    return FormWindow::eventFilter(watched, event);
}

void MenuForm::showEvent(QShowEvent* event) {
    FormWindow::showEvent(event);
    if (placed_) return;
    placed_ = true;
    // The new results come to the front, also over a text window that asked
    // a moment before to come forward (the main window brings the last one
    // asked for).
    shell::IgnoreErrors([this] { shell::ZordTimer(this); });
    // The window opens 2100 twips right and 1500 twips down from the top
    // left of the document area, as far as it fits there.
    QMdiSubWindow* frame = platform::MdiFrame(this);
    if (!frame || !frame->mdiArea()) return;
    const QSize area = frame->mdiArea()->viewport()->size();
    const int x = std::max(0, std::min(platform::TwipsToPixels(2100), area.width() - frame->width()));
    const int y = std::max(0, std::min(platform::TwipsToPixels(1500), area.height() - frame->height()));
    frame->move(x, y);
}

void MenuForm::resizeEvent(QResizeEvent* event) {
    FormWindow::resizeEvent(event);
    ResizeSet();
}

// ---- Loading ---------------------------------------------------------------------

void MenuForm::Form_Load() {
    shell::Trap("SOL403 ", [this] {
        Controls& c = *c_;
        for (int n = 1; n <= 4; ++n) GridEX(n)->SetRowCount(3);
        solverFile_ = Shared().SolverFileToOpen;
        const SharedState& s = Shared();
        const double gasConstant = s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4;
        reader_ = std::make_unique<ResultsReader>(shell::DesktopNotifier(), gasConstant);
        shell::UnloadToolWindows(shell::kResultsWindow);

        Label(13)->setText("Time interval");
        Label(16)->setText("POSTPROCESSOR  Graphic and Numeric Data Presentation");
        Label(8)->setText(
            "Plotting Functions\r\n\r\n"
            "Average parameters, species concentrations and reaction rates can be plotted as functions of time. "
            "Names of these objects are shown in tables. To plot the function, move the table cursor to a chosen name "
            "and double click the corresponding row header. Curve of the function appears on Temporary Chart. "
            "To add the curve to an existing Temporary Chart, hold down the 'Ctrl' key and double click the row "
            "header.\r\n\r\n"
            "To plot derivatives of species concentrations, click the 'Derivative' button."
            "To add the derivative curve to an existing Temporary Chart, hold down the 'Ctrl' key and click the "
            "'Derivative' button.");
        c.frame[7]->setTitle("Production, mol/g sec");
        c.frame[9]->hide();

        Shared().MenuFormLoadFailed = false;
        if (!reader_->OPEN_Rich(solverFile_)) {
            Shared().MenuFormLoadFailed = true;
            return;
        }
        setWindowTitle(ToQ(reader_->Caption()));
        // The text window of this file closes this window by its caption.
        shell::IgnoreErrors([this] {
            if (platform::Form* text = platform::FindFormByMePath(solverFile_))
                platform::Require<platform::SolverFileHandOver>(text).MenuCap(reader_->Caption());
        });

        ResizeSet();
        Load_D();

        SharedState& shared = Shared();
        (shared.UnitsJoule ? Option(6) : Option(1))->setChecked(true);
        Label(20)->setText("Average Parameters");
        meanTable_ = MeanParameterRows(shared.ConcUnit, shared.UnitsJoule);
        HabdCpUnits(shared.UnitsJoule);

        (shared.LogTimeAxis ? Option(4) : Option(3))->setChecked(true);
        (shared.LogYDerivatives ? Option(8) : Option(7))->setChecked(true);
        (shared.LogYSpecies ? Option(9) : Option(10))->setChecked(true);
        (shared.LogYAverages ? Option(12) : Option(11))->setChecked(true);
        (shared.LogYReactions ? Option(2) : Option(5))->setChecked(true);
        for (auto [box, element] : kRememberedBoxes)
            Text(box)->setText(Latin1ToQ(TextOf(shared.MenuFormTextValues[static_cast<std::size_t>(element)])));
        Text(7)->clear();
        applyRememberedStep();
        (shared.SpeciesNames12 ? Option(15) : Option(16))->setChecked(true);
        (shared.ConcUnit == 0 ? Option(13) : Option(14))->setChecked(true);
        ComboText();

        c.frame[5]->setTitle("Reaction Rate, mol/cm^3 sec ");
        BackCol(false);
        Command(5)->hide();
        Label(11)->setText("Total production, (mol/g). ");
        Text(14)->clear();
        for (int i = 0; i < 3; ++i) Check1(i)->setChecked(true);
        Check1(4)->setEnabled(nTemper_ == 1);
        Label(26)->clear();
        // The size, once every caption is set: never smaller than the controls need.
        resize(std::max(platform::TwipsToPixels(kWidthTwips), minimumSizeHint().width()),
               std::max(platform::TwipsToPixels(kHeightTwips), minimumSizeHint().height()));
        loaded_ = true;
    });
}

void MenuForm::Load_D() {
    // Each step that fails is passed over.
    shell::IgnoreErrors([this] {
        MainParameters p = reader_->FromMain_Param();
        smin_ = p.SMin;
        smax_ = p.Smax;
        specArrD_ = std::move(p.SpecArrD);
        initFract_ = std::move(p.InitFract);
        pressur_ = p.Pressur;
        nTemper_ = p.NTemper;
        Text(2)->setText(ToQ(reader_->IntervalStartText()));
        Text(3)->setText(ToQ(reader_->IntervalEndText()));
    });
    shell::IgnoreErrors([this] {
        Text(1)->setText("1");
        Text(5)->setText("1");
        Text(10)->setText(ToQ(solverFile_));
        Text(10)->setCursorPosition(static_cast<int>(Text(10)->text().size()));
        Text(10)->deselect();
    });
    // Fractions that sum to 0 are shown as they are.
    shell::IgnoreErrors([this] {
        double sum = 0;
        for (std::size_t i = 1; i < initFract_.size(); ++i) sum += initFract_[i];
        if (sum != 0)
            for (std::size_t i = 1; i < initFract_.size(); ++i) initFract_[i] /= sum;
    });
    shell::IgnoreErrors([this] {
        GridEX(1)->Column("MFINIT").SetFormat("0.00E+00");
        GridEX(1)->Column("MFINIT").SetCaption("Initial mole fraction");
        GridEX(1)->SetRowCount(0);
        GridEX(1)->SetRowCount(reader_->Tables().NumSpecies);
        GridEX(1)->Refresh();
    });
    shell::IgnoreErrors([this] {
        GridEX(2)->Column("INTEGRAL").SetCaption("Production");
        GridEX(2)->Column("INTEGRAL").SetFormat("0.00E+00");
        GridEX(2)->SetRowCount(0);
        GridEX(4)->SetRowCount(0);
    });
    shell::IgnoreErrors([this] { ShowTab(0); });
    shell::IgnoreErrors([this] {
        for (auto [n, value] : {std::pair{4, "1"}, {8, "0.1"}, {9, "1"}, {11, "1"}, {13, "1"}}) Text(n)->setText(value);
        Check3()->setChecked(true);
    });
    shell::IgnoreErrors([this] { Label(21)->setText(ToQ("Pressure " + Format(pressur_, "0.###E+00") + " atm")); });
}

void MenuForm::storeRemembered() {
    SharedState& s = Shared();
    for (auto [box, element] : kRememberedBoxes)
        s.MenuFormTextValues[static_cast<std::size_t>(element)] = QToLatin1(Text(box)->text());
    s.SpeciesNames12 = Option(15)->isChecked();
}

bool MenuForm::QueryUnload() {
    // The choices of a window that never loaded its file are not its user's.
    if (loaded_) shell::Trap("SOL#402-10 ", [this] { storeRemembered(); });
    return true;
}

void MenuForm::Form_Activate() {
    shell::Trap("SOL#402-8 ", [this] {
        if (reader_) reader_->SetAddToChart(false);
        ToolBr();
    });
}

void MenuForm::ToolBr() { shell::SetMainToolbars(0); }

QuantityUnits MenuForm::units() const {
    const SharedState& s = Shared();
    QuantityUnits u;
    u.ConcUnit = s.ConcUnit;
    u.AvogadroNumber = s.AvogadroNumber;
    u.GasConstantCm3Atm = s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4;
    u.GasConstantJ = s.GasConstantJ;
    u.GasConstantCal = s.GasConstantCal;
    u.Joule = s.UnitsJoule;
    return u;
}

std::string MenuForm::caption() const { return FromQ(windowTitle()); }

// ---- Tabs and the General page -------------------------------------------------

void MenuForm::ShowTab(int NTab) {
    if (tabStrip1_->currentIndex() != NTab) tabStrip1_->setCurrentIndex(NTab);
}

void MenuForm::tabChanged(int index) {
    shell::Trap("SOL410 ", [&] {
        const int previous = previousTab_;
        previousTab_ = index;
        if (switchingBack_ || !loaded_) return;
        if (previous == 0 && index != 0) {
            // Leaving the General page checks it first.
            bool failed = false;
            leavingGeneral_ = true;
            TabGetF(failed);
            leavingGeneral_ = false;
            if (failed) return;
            BackCol(false);
        }
        if (index == 3) Text(7)->setFocus();
        if (index == 4) Text(14)->setFocus();
    });
}

void MenuForm::TabGetF(bool& ErrBb) {
    if (tabStrip1_->currentIndex() != 0 && !leavingGeneral_) return;
    ErrBb = false;
    shell::Trap("SOL#415-1 ", [&] {
        GeneralPageInput in;
        in.IntervalStart = BoxText(Text(2));
        in.IntervalEnd = BoxText(Text(3));
        in.PointStep = BoxText(Text(5));
        in.TimeScale = BoxText(Text(1));
        in.LogTimeAxis = !Option(3)->isChecked();
        in.SMin = smin_;
        in.Smax = smax_;
        GeneralPageCheck check = CheckGeneralPage(in);
        if (!check.PointStepText.empty()) Text(5)->setText(Latin1ToQ(check.PointStepText));
        if (check.Box == GeneralBox::None) {
            bool taken = false;
            const int stepInUse = reader_->Used().PointStep;
            const int step = check.PointStep;
            const bool ran =
                Trapped("Sol#112. ", [&] { taken = reader_->ToMainParam(check.Start, check.End, step).Rebuilt; });
            // The boxes show the interval and the step in use: the ones asked
            // for when they were taken, else those of the rows the curves
            // still read.
            showCount();
            Text(2)->setText(ToQ(reader_->IntervalStartText()));
            Text(3)->setText(ToQ(reader_->IntervalEndText()));
            showStep();
            check = CheckSnappedInterval(reader_->Used().IntervalStart, reader_->Used().IntervalEnd);
            if (ran && check.Box == GeneralBox::None) {
                check = CheckIntervalTaken(taken, step, step != stepInUse);
                // The boxes are back at the interval in use: its count is current.
                if (!taken) BackCol(false);
            }
        }
        if (check.Box == GeneralBox::None) return;
        ErrBb = true;
        refuseOnGeneralPage(check);
    });
}

void MenuForm::showCount() {
    if (!countStale_) Text(6)->setText(QString::number(reader_->Used().PointCount));
}

void MenuForm::applyRememberedStep() {
    // A text that is no step is refused when the page is left.
    const std::optional<int> step = PointStepOf(BoxText(Text(5)));
    if (!step) return;
    const double start = reader_->Used().IntervalStart, end = reader_->Used().IntervalEnd;
    shell::IgnoreErrors([&] { reader_->ToMainParam(start, end, *step); });
    showStep();
}

void MenuForm::showStep() { Text(5)->setText(QString::number(reader_->Used().PointStep)); }

void MenuForm::refuseOnGeneralPage(const GeneralPageCheck& check) {
    QLineEdit* box = check.Box == GeneralBox::IntervalStart ? Text(2)
                     : check.Box == GeneralBox::IntervalEnd ? Text(3)
                     : check.Box == GeneralBox::PointStep   ? Text(5)
                                                            : Text(1);
    switchingBack_ = true;
    ShowTab(0);
    switchingBack_ = false;
    shell::ShowInputError(this, Latin1ToQ(check.Message), box);
}

void MenuForm::BackCol(bool stale) {
    shell::Trap("SOL408-3 ", [&] {
        countStale_ = stale;
        QPalette p = Label(2)->palette();
        p.setColor(QPalette::WindowText, stale ? kStaleColour : QColor(Qt::black));
        Label(2)->setPalette(p);
        Label(2)->setCursor(stale ? Qt::UpArrowCursor : Qt::ArrowCursor);
        if (stale)
            Text(6)->clear();
        else
            showCount();
    });
}

void MenuForm::label2Click() {
    shell::Trap("SOL408-2 ", [this] {
        bool failed = false;
        TabGetF(failed);
        if (failed) return;
        Trapped("Sol#117. ", [this] { reader_->UsedData(); });
        BackCol(false);
    });
}

void MenuForm::SetObj(QWidget* Obj1, const QWidget* Obj2) {
    if (!Obj1 || !Obj2) return;
    // A control that a layout places keeps its place and takes the size.
    if (Obj1->parentWidget() && Obj1->parentWidget()->layout() &&
        Obj1->parentWidget()->layout()->indexOf(Obj1) >= 0) {
        Obj1->setFixedSize(Obj2->size());
        return;
    }
    Obj1->setGeometry(Obj2->geometry());
}

void MenuForm::ResizeSet() {
    shell::IgnoreErrors([this] {
        // "Reaction" takes the width that "Num" and the value leave (its
        // header stretches); the Reactions page's columns follow the
        // Derivatives page's.
        platform::Grid* g2 = GridEX(2);
        g2->Column(2).SetWidth(platform::PixelsToTwips(g2->horizontalHeader()->sectionSize(1)));
        for (int col = 1; col <= 3; ++col)
            if (col != 2) GridEX(4)->Column(col).SetWidth(g2->Column(col).Width());
    });
    // The Reactions page's species box and button are those of the
    // Derivatives page.
    shell::IgnoreErrors([this] {
        SetObj(Command(8), Command(10));
        SetObj(Text(14), Text(7));
    });
}

// ---- Species and mean parameters -------------------------------------------------

bool MenuForm::testScale(QLineEdit* box) {
    const std::optional<double> v = ParseNumber(BoxText(box));
    if (v && *v != 0) return true;
    shell::ShowInputError(this, "Scaling, please enter a nonzero number.", box);
    return false;
}

bool MenuForm::ToMain_Param(bool addFlag, double yScale) {
    bool taken = false;
    const int stepInUse = reader_->Used().PointStep;
    const std::optional<int> step = PointStepOf(BoxText(Text(5)));
    const bool ran = Trapped("Sol#122. ", [&] {
        Shared().LogTimeAxis = Option(4)->isChecked();
        taken = reader_->ToMain_Param(addFlag, yScale, BoxText(Text(5)), BoxText(Text(1)), Option(4)->isChecked());
    });
    showCount();
    if (!ran) return false;
    if (taken) return true;
    // A step the interval cannot take draws nothing: the box shows the step
    // in use and says why.
    showStep();
    refuseOnGeneralPage(CheckIntervalTaken(false, step.value_or(stepInUse), true));
    return false;
}

void MenuForm::PoltFunc(int kind, int column, const std::string& name) {
    shell::Trap("SOL404-2", [&] {
        double scale = 0;
        bool log = false;
        if (kind >= 0 && kind <= 3) {
            if (!testScale(Text(4))) return;
            scale = BoxValue(Text(4));
            log = Shared().LogYSpecies;
        } else if (kind == 4) {
            if (!testScale(Text(9))) return;
            scale = BoxValue(Text(9));
            log = Option(8)->isChecked();
        }
        const bool go = ToMain_Param(addCurveFlag_, scale);
        addCurveFlag_ = false;
        if (!go) return;
        if (kind >= 0 && kind <= 3) {
            Trapped("Sol#123. ", [&] {
                const auto q = static_cast<SpeciesQuantity>(kind);
                const std::vector<double> values = SpeciesValues(*reader_, q, column, units());
                PloConcentration(values, column, "", SpeciesLegend(q, name, Shared().ConcUnit, scale, log), log, scale);
            });
        } else if (kind == 4) {
            Trapped("Sol#130. ", [&] {
                platform::SetMousePointer(platform::kPointerHourglass);
                const std::vector<double> values = SpeciesDerivativeValues(*reader_, column - 2);
                platform::SetMousePointer(platform::kPointerDefault);
                PloConcentration(values, column, "", SpeciesDerivativeLegend(name, scale, log), log, scale);
            });
        }
        activateWindow();
    });
}

void MenuForm::MeanFF(std::span<const int> rows, bool tableMode) {
    shell::Trap("SOL#404-1. ", [&] {
        platform::Grid* g = GridEX(3);
        const int row = g->Row() > 0 ? g->DataRow(g->Row()) : 1;
        const MeanParameterRow& r = meanTable_.at(static_cast<std::size_t>(row));
        double scale = 1;
        if (!tableMode) {
            if (!testScale(Text(12))) return;
            scale = BoxValue(Text(12));
        }
        const bool go = ToMain_Param(addCurveFlag_, scale);
        addCurveFlag_ = false;
        if (!go) return;
        Trapped("Sol#123.1 ", [&] {
            platform::SetMousePointer(platform::kPointerHourglass);
            if (tableMode) {
                const QDateTime now = platform::CurrentDateTime();
                const std::vector<std::string> lines = MeanParameterTable(
                    *reader_, rows, units(), TableStamp(TodayText(), FromQ(now.time().toString("HH:mm:ss"))));
                showTextTable(lines);
            } else {
                const bool log = Shared().LogYAverages;
                const std::vector<double> values = MeanValues(*reader_, static_cast<MeanParameter>(row), units());
                PloConcentration(values, -1, "", MeanLegend(r.Name, r.Unit, scale, log), log, scale);
            }
            platform::SetMousePointer(platform::kPointerDefault);
        });
    });
}

void MenuForm::SpeciesData(std::span<const int> species) {
    shell::Trap("SOL#402-13 ", [&] {
        if (!ToMain_Param(false, 1.0)) return;
        Trapped("Sol#123. ", [&] {
            const QDateTime now = platform::CurrentDateTime();
            const std::vector<std::string> lines =
                SpeciesTable(*reader_, static_cast<SpeciesQuantity>(std::max(0, combo1_->currentIndex())), species,
                             Option(15)->isChecked() ? 12 : 16, units(),
                             TableStamp(TodayText(), FromQ(now.time().toString("HH:mm:ss"))));
            showTextTable(lines);
        });
    });
}

void MenuForm::showTextTable(const std::vector<std::string>& lines) { shell::ShowMadeTable(lines, windowTitle()); }

void MenuForm::meanView() {
    shell::Trap("SOL#402-332 ", [this] {
        std::vector<int> rows;
        for (int shown : GridEX(3)->SelectedRows())
            if (rows.size() < 6) rows.push_back(GridEX(3)->DataRow(shown));
        if (rows.empty()) {
            shell::UserMessage("In the table there are no selected rows.", platform::kMsgExclamation);
            return;
        }
        MeanFF(rows, true);
    });
}

void MenuForm::speciesView() {
    shell::Trap("SOL#402-333 ", [this] {
        std::vector<int> species;
        for (int shown : GridEX(1)->SelectedRows()) species.push_back(GridEX(1)->Value(shown, 1).toInt());
        if (species.empty()) {
            shell::UserMessage("In the table there are no selected rows.", platform::kMsgExclamation);
            return;
        }
        if (static_cast<int>(species.size()) > kMaxTableSpecies) {
            shell::UserMessage("In the table more than " + std::to_string(kMaxTableSpecies) +
                                   " rows are selected; select at most " + std::to_string(kMaxTableSpecies) + " rows.",
                               platform::kMsgExclamation);
            return;
        }
        SpeciesData(species);
    });
}

void MenuForm::copySpeciesName() {
    shell::Trap("SOL#402-14 ", [this] {
        platform::Grid* g = GridEX(1);
        if (g->Row() < 1) return;
        platform::ClipboardClear();
        platform::ClipboardSetText(g->Value(g->Row(), 2).toString());
    });
}

void MenuForm::HabdCpUnits(bool joule) {
    const EnergyUnitTexts u = kx::HabdCpUnits(joule);
    shell::IgnoreErrors([&] { meanTable_[5].Unit = u.Enthalpy; });
    shell::IgnoreErrors([&] { meanTable_[6].Unit = u.HeatCapacity; });
    shell::IgnoreErrors([this] {
        GridEX(3)->SetRowCount(0);
        GridEX(3)->SetRowCount(6);
        GridEX(3)->Refresh();
    });
}

void MenuForm::ComboText() {
    shell::Trap("SOL408-6 ", [this] {
        const int unit = Shared().ConcUnit;
        meanTable_[2].Unit = ConcentrationUnitText(unit);
        combo1_->clear();
        for (const std::string& item : QuantityListItems(unit)) combo1_->addItem(ToQ(item));
        combo1_->setCurrentIndex(Shared().ConcKindIndex);
        GridEX(3)->SetRowCount(0);
        GridEX(3)->SetRowCount(6);
        GridEX(3)->Refresh();
        Label(26)->setText(ToQ("Reaction rates  " + ConcentrationUnitText(unit) + " s."));
    });
}

// ---- Curves to the chart --------------------------------------------------------

void MenuForm::PloConcentration(std::span<const double> Yarray, int Num, const std::string& TextTipPlot,
                                const std::string& LegendTxt, bool YAxisLg, double valueScale) {
    Trapped("Sol#106. ", [&] {
        // The legend and the tip quote the file's names and reactions.
        const std::string legend = Latin1ToUtf8(LegendTxt), tip = Latin1ToUtf8(TextTipPlot);
        const bool existed = PrepareWindowsForCurve();
        const CurvePoints points = PrepareResultsCurve(*reader_, Yarray, Num, valueScale, YAxisLg);
        if (!points.Drawable()) {
            platform::SetMousePointer(platform::kPointerDefault);
            shell::UserMessage(UndrawableCurveMessage(legend, YAxisLg), platform::kMsgExclamation);
            return;
        }
        const bool open = IsTemporaryChartOpen();
        const UsedRowsState& u = reader_->Used();
        ShowTemporaryChart(points, tip, legend, open, u.AddToChart, u.TimeScale);
        reader_->SetAddToChart(false);
        ArrangeWindowsAfterCurve(existed, [](platform::Form* form) {
            return form->TypeName().compare(shell::kResultsWindow, Qt::CaseInsensitive) == 0;
        });
    });
}

// ---- Reaction contributions -----------------------------------------------------

void MenuForm::Prepare(Page page) {
    platform::SetMousePointer(platform::kPointerHourglass);
    (page == Page::Derivatives ? timer1_ : timer2_).SetEnabled(true);
}

int MenuForm::derivativeSpecies(Page page) const {
    return page == Page::Derivatives ? derivativeNumber_ : reactionNumber_;
}

void MenuForm::timerPrepare(Page page) {
    const bool derivatives = page == Page::Derivatives;
    shell::Trap(derivatives ? "SOL#415 " : "SOL#415-1 ", [&] {
        platform::Grid* grid = GridEX(derivatives ? 2 : 4);
        grid->SetRowCount(0);
        grid->Refresh();
        (derivatives ? derivatives_ : reactions_) = ReactionList{};
        if (derivatives) {
            Text(19)->clear();
            Label(25)->setText("Sum");
        }
        QLineEdit* box = Text(derivatives ? 7 : 14);
        // The species: the first whose name equals the box's trimmed text.
        const std::string name(Trim(BoxText(box)));
        int number = 0;
        for (std::size_t k = 1; !name.empty() && number == 0 && k < specArrD_.size(); ++k)
            if (Trim(specArrD_[k]) == name) number = static_cast<int>(k);
        if (number == 0) {
            platform::SetMousePointer(platform::kPointerDefault);
            // The name as typed: the box's text, not its Latin-1 bytes.
            shell::ShowErrorMessage("In the species list, the species name '" + std::string(Trim(FromQ(box->text()))) +
                                    "' is not found. ");
            box->setFocus();
            box->selectAll();
            return;
        }
        (derivatives ? derivativeNumber_ : reactionNumber_) = number;
        (derivatives ? derivativeName_ : reactionName_) = name;
        if (!ToMain_Param(false, 1.0)) {
            platform::SetMousePointer(platform::kPointerDefault);
            return;
        }
        Trapped("Sol#131. ", [&] {
            reader_->ShowReacDeRe(number, derivatives, [&](const ContributionTable& run) { ReacUpdate(page, run); });
        });
        platform::SetMousePointer(platform::kPointerDefault);
        if (derivatives && derivatives_.Count > 0) ShowReacMen(false);
    });
}

void MenuForm::ReacUpdate(Page page, const ContributionTable& run) {
    shell::Trap("SOL409 ", [&] {
        const bool derivatives = page == Page::Derivatives;
        ReactionList& list = derivatives ? derivatives_ : reactions_;
        kx::ReacUpdate(list, run);
        list.IntervalStart = reader_->IntervalStartText();
        list.IntervalEnd = reader_->IntervalEndText();
        const int n = list.Count;
        platform::Grid* g = GridEX(derivatives ? 2 : 4);
        g->SetRowCount(0);
        g->Refresh();
        g->SetRowCount(n);
        g->ClearSortKeys();
        g->AddSortKey(derivatives ? 3 : 1, derivatives ? -1 : 1);
        if (n > 0) g->SetRow(1);
        g->Refresh();
        if (derivatives)
            Label(11)->setText(ToQ(" Production, (mol/g). All reactions  " + std::to_string(n) + "."));
        else
            Label(26)->setText(ToQ("Reactions: " + std::to_string(n)));
        ResizeSet();
    });
}

void MenuForm::ShowReacMen(bool important) {
    shell::Trap(important ? "SOL401-5 " : "SOL401-4 ", [&] {
        if (derivatives_.Count == 0) return;
        const ReactionSelection s = kx::ShowReacMen(derivatives_, important, BoxText(Text(8)));
        if (s.Refused) {
            shell::ShowInputError(this, Latin1ToQ(s.Message), Text(8));
            return;
        }
        platform::Grid* g = GridEX(2);
        g->SetRowCount(0);
        g->Refresh();
        Label(11)->setText(ToQ(" Production. (mol/g). " + s.CaptionText + "."));
        if (s.Count == 0) {
            // No reaction is important at this share: nothing listed, nothing summed.
            Text(19)->clear();
            Text(19)->setToolTip(QString());
            Label(25)->setText("Sum of Reactions");
            return;
        }
        g->SetRowCount(s.Count);
        g->Refresh();
        g->SetRow(1);
        showSum(s.Count, s.Important);
    });
}

void MenuForm::showSum(int count, bool important) {
    shell::Trap("SOL401-6 ", [&] {
        Text(19)->setToolTip(QString());
        const SumBox box = TemperSum(derivatives_, count, important);
        Text(19)->setText(ToQ(box.Text));
        Text(19)->setAlignment(box.Centred ? Qt::AlignCenter : Qt::AlignRight);
        Text(19)->setToolTip(ToQ(box.ToolTip));
        const Colour highlight = Shared().HighlightColor;
        QPalette p = Text(19)->palette();
        p.setColor(QPalette::Text, box.Highlighted ? QColor(highlight & 0xFF, (highlight >> 8) & 0xFF,
                                                            (highlight >> 16) & 0xFF)
                                                   : QColor(Qt::black));
        Text(19)->setPalette(p);
        Label(25)->setText(ToQ(box.Caption));
    });
}

void MenuForm::CopyTable() {
    shell::Trap("SOL401-2 ", [this] {
        platform::Grid* g = GridEX(2);
        if (derivatives_.Count == 0 || g->RowCount() == 0) return;
        Trapped("SOL400 ", [&] {
            // The text is UTF-8 as the window shows it: the path as it is,
            // the reactions (the file's Latin-1 bytes) as the grid shows them.
            CopiedTable t;
            t.Date = TodayText();
            t.SolverFilePath = solverFile_;
            // The species and the interval the numbers were computed for.
            t.Heading = Latin1ToUtf8(derivativeName_) + " " + FromQ(Label(11)->text());
            t.IntervalStart = derivatives_.IntervalStart;
            t.IntervalEnd = derivatives_.IntervalEnd;
            t.ValueHeading = " Production";
            for (int r = 1; r <= g->RowCount(); ++r) {
                const auto& cells = derivatives_.Rows.at(static_cast<std::size_t>(g->DataRow(r)));
                t.Rows.push_back({NumberToText(NumberOf(cells[0])), Latin1ToUtf8(TextOf(cells[1])), NumberOf(cells[2])});
            }
            t.SumCaption = FromQ(Label(25)->text());
            t.SumText = FromQ(Text(19)->text());
            t.SpeciesDerivativeText = derivatives_.SpeciesDerivativeText;
            platform::ClipboardClear();
            platform::ClipboardSetText(ToQ(CopyReac(t)));
        });
    });
}

std::vector<ShownReaction> MenuForm::shownReactions(Page page) const {
    const platform::Grid* g = GridEX(page == Page::Derivatives ? 2 : 4);
    std::vector<ShownReaction> rows;
    for (int r = 1; r <= g->RowCount(); ++r) {
        const auto& cells = List(page).Rows.at(static_cast<std::size_t>(g->DataRow(r)));
        rows.push_back({NumberToText(NumberOf(cells[0])), TextOf(cells[1]), IsEmpty(cells[2]) ? 0.0 : NumberOf(cells[2])});
    }
    return rows;
}

void MenuForm::ShowHisto() {
    shell::Trap("SOL#402 ", [this] {
        if (!testScale(Text(11))) return;
        const double scale = BoxValue(Text(11));
        // An empty list draws nothing and leaves the chart as it is.
        if (derivatives_.Count == 0 || GridEX(2)->RowCount() == 0) return;
        struct Rebuild {
            // The chart rebuilt from here on closes without its question,
            // until the rebuild ends one way or the other.
            Rebuild() {
                for (platform::Form* form : platform::Forms())
                    if (form->Caption() == "Temporary Chart" || form->Caption() == "Temporary Chart ")
                        Shared().NewChartPending = true;
            }
            ~Rebuild() {
                if (!done) Shared().NewChartPending = false;
            }
            bool done = false;
        } rebuild;
        for (platform::Form* form : platform::Forms())
            if (form->TypeName().compare("MDIForm1", Qt::CaseInsensitive) != 0 && shell::FormMaximized(form))
                shell::SetFormNormal(form);
        // The bars in the list's present order; the subtitle names the
        // species whose contributions they are.
        histogram_ = BuildHistogram(shownReactions(Page::Derivatives), derivatives_.SpeciesDerivativeText, scale,
                                    derivativeName_);
        LoadHistogram(histogram_);
        for (platform::Form* form : platform::Forms()) {
            const QString caption = form->Caption().toUpper();
            if (caption != "TEMPORARY CHART " && caption != windowTitle().toUpper() &&
                form->TypeName().compare("MDIForm1", Qt::CaseInsensitive) != 0)
                platform::OuterWidget(form)->lower();
        }
        itemLabels_ = Check3()->isChecked();
        // The bars are drawn a moment later, once this click has returned;
        // the drawing ends the rebuild.
        rebuild.done = true;
        timer3_.SetEnabled(true);
    });
}

void MenuForm::PlotDerivative(bool add) {
    shell::Trap("SOL404-2", [&] {
        if (derivatives_.Count == 0 || derivativeNumber_ == 0) return;
        addCurveFlag_ = add;
        PoltFunc(4, derivativeNumber_ + 2, derivativeName_);
    });
}

void MenuForm::PlotReactions(Page page, int shownRow, bool add) {
    const bool derivatives = page == Page::Derivatives;
    shell::Trap(derivatives ? "SOL405-1" : "SOL405-2", [&] {
        platform::Grid* g = GridEX(derivatives ? 2 : 4);
        if (g->RowCount() == 0 || shownRow < 1 || shownRow > g->RowCount()) return;
        QLineEdit* scaleBox = Text(derivatives ? 9 : 13);
        if (!testScale(scaleBox)) return;
        const auto& cells = List(page).Rows.at(static_cast<std::size_t>(g->DataRow(shownRow)));
        const int reaction = static_cast<int>(NumberOf(cells[0]));
        const std::string text = TextOf(cells[1]);
        if (derivatives) {
            plotReactionQuantity(reaction, static_cast<int>(ReactionQuantity::SpeciesDerivative), text, add, page);
            return;
        }
        // The Reactions page draws each rate that is checked; the second and
        // later ones join the first on the chart.
        const ReactionQuantity quantities[] = {
            ReactionQuantity::Net, ReactionQuantity::Forward, ReactionQuantity::Reverse,
            Shared().UnitsJoule ? ReactionQuantity::HeatJoules : ReactionQuantity::HeatCalories,
            ReactionQuantity::TemperatureDerivative};
        bool any = false;
        for (std::size_t i = 0; i < check1_.size(); ++i) {
            if (!check1_[i]->isChecked() || !check1_[i]->isEnabled()) continue;
            if (!plotReactionQuantity(reaction, static_cast<int>(quantities[i]), text, add || any, page)) return;
            any = true;
        }
        if (!any) shell::UserMessage("Reaction rates, please check at least one rate to plot.", platform::kMsgExclamation);
    });
}

bool MenuForm::plotReactionQuantity(int reaction, int quantity, const std::string& text, bool add, Page page) {
    const bool derivatives = page == Page::Derivatives;
    const double scale = BoxValue(Text(derivatives ? 9 : 13));
    const bool log = derivatives ? Option(8)->isChecked() : Option(2)->isChecked();
    if (!ToMain_Param(add, scale)) return false;
    Trapped("Sol#133. ", [&] {
        const auto q = static_cast<ReactionQuantity>(quantity);
        const double used = ReactionCurveScale(q, scale);
        const int species = derivativeSpecies(page);
        const std::string& name = derivatives ? derivativeName_ : reactionName_;
        platform::SetMousePointer(platform::kPointerHourglass);
        const std::vector<double> values = ReactionValues(*reader_, q, reaction, species, units());
        platform::SetMousePointer(platform::kPointerDefault);
        PloConcentration(values, -1, text, ReactionLegend(q, reaction, name, used, log, Shared().ConcUnit), log, used);
    });
    return true;
}

// ---- Registration -----------------------------------------------------------------

void InstallResultsWindow() {
    shell::InstallFormCreator(shell::kResultsWindow, []() -> platform::Form* { return new MenuForm; });
}

}  // namespace kx::results
