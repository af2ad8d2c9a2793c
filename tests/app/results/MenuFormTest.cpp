// The results window on results written by the console solver: opening,
// the remembered choices, the checks of the General page, the tables and
// the reaction pages.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <cmath>
#include <numeric>

#include "Desktop.h"
#include "Files.h"
#include "Format.h"
#include "Grid.h"
#include "MenuForm.h"
#include "PLOT_Module3.h"
#include "ChartRandom.h"
#include "PlotDialogs.h"
#include "RateCurves.h"
#include "MessageBox.h"
#include "OpenFiles.h"
#include "SolverFileOpening.h"
#include "SolverRunFixture.h"
#include "TestOptions.h"
#include "TextWindowsBed.h"
#include "Scripted.h"

using kx::platform::testing::ScriptedMessages;
using kx::results::MenuForm;
using Page = MenuForm::Page;

namespace {

// The gas constant of the total concentration, from the options.
double RPrime() {
    const kx::SharedState& s = kx::Shared();
    return s.AvogadroNumber * s.UnitFactorE7 / s.UnitFactorE4;
}

MenuForm* OpenWindow() {
    return dynamic_cast<MenuForm*>(kx::platform::FindForm(kx::shell::kResultsWindow));
}

int SpeciesNumber(const MenuForm& w, const std::string& name) {
    const kx::ResultsTables& t = w.Reader().Tables();
    for (int k = 1; k <= t.NumSpecies; ++k)
        if (t.ColumnNames[static_cast<std::size_t>(k) + 2] == name) return k;
    return 0;
}

}  // namespace

class MenuFormTest : public QObject {
    Q_OBJECT

    kx::test::TempDir runs;
    std::string gri;  // the GRI sample with results, never changed by the tests
    std::unique_ptr<kx::test::TextWindowsBed> bed;

    // Opens the results window on a file through the program's opener.
    MenuForm* Open(const std::string& path) {
        kx::runs::OpenResultsWindow(path);
        MenuForm* w = OpenWindow();
        if (w) kx::shell::ShowForm(w);
        return w;
    }
    // A double click on a row header of a grid, with the keys held.
    static void DoubleClickRow(kx::platform::Grid* g, int row, Qt::KeyboardModifiers keys = {}) {
        QHeaderView* h = g->verticalHeader();
        g->ShowRow(row);
        QApplication::processEvents();
        const QPoint at(h->width() / 2, h->sectionViewportPosition(row - 1) + h->sectionSize(row - 1) / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, keys, at);
        QTest::mouseDClick(h->viewport(), Qt::LeftButton, keys, at);
    }
    static kx::chart::ChartModel& Chart() { return kx::chart::TemporaryChart()->Pesgoa1(); }
    // The shown row of a grid holding a reaction.
    static int RowOfReaction(kx::platform::Grid* g, int reaction) {
        for (int r = 1; r <= g->RowCount(); ++r)
            if (g->Value(r, 1).toInt() == reaction) return r;
        return 0;
    }

    // Opens the fixture (as "refused.txt") through the program's opener,
    // which leaves no window after the reader's one message of that style.
    void ExpectNoWindow(const kxtest::SolverFileFixture& f, const ScriptedMessages& messages, int style) {
        const std::string path = runs.file("refused.txt");
        f.Write(path);
        kx::runs::OpenResultsWindow(path);
        kx::test::Settle();
        QVERIFY(kx::platform::FindForms(kx::shell::kResultsWindow).empty());
        QVERIFY(!kx::Shared().MenuFormLoadFailed);
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown()[0].style, style);
    }

    // Runs a reaction page's preparation (its timer).
    void Prepare(MenuForm& w, Page page, const QString& species) {
        w.Text(page == Page::Derivatives ? 7 : 14)->setText(species);
        w.Prepare(page);
        bed->clock->Advance(300);
    }

private slots:
    void initTestCase() {
        const std::filesystem::path path = kxtest::RunSample(runs, "gri30_ch4_1400K.txt");
        QVERIFY2(!path.empty(), "the solver did not complete the GRI sample");
        gri = path.string();
    }
    void init() {
        bed = std::make_unique<kx::test::TextWindowsBed>();
        kxtest::SetTestOptions(kx::Shared());
        kx::results::InstallResultsWindow();
        kx::chart::InstallChartWindows();
        kx::chart::ChartRandom().Seed(kx::chart::RandomSource::kDefaultSeed);
    }
    void cleanup() {
        bed.reset();
        kx::shell::InstallFormCreator(kx::shell::kResultsWindow, nullptr);
        kx::shell::InstallFormCreator(kx::shell::kChartWindow, nullptr);
        kx::shell::InstallFormCreator(kx::chart::kExportDialog, nullptr);
    }

    void opensTheFileWithItsTables() {
        MenuForm* w = Open(gri);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Solver File  gri30_ch4_1400K.txt"));
        QCOMPARE(w->SolverFilePath(), gri);
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(w->TabStrip1()->count(), 6);
        QCOMPARE(w->Text(10)->text(), QString::fromStdString(gri));
        QCOMPARE(w->Text(2)->text(), QString("0.000000E+00"));
        QCOMPARE(w->Text(3)->text(), QString("1.000000E-02"));
        QCOMPARE(w->Text(6)->text(), QString::number(w->Reader().Tables().ResultRowCount - 1));
        QCOMPARE(w->Label(21)->text(), QString("Pressure 1.E+00 atm"));

        // Species with their initial mole fractions (normalised, empty when 0).
        kx::platform::Grid* species = w->GridEX(1);
        QCOMPARE(species->RowCount(), 53);
        const int ch4 = SpeciesNumber(*w, "CH4");
        QCOMPARE(species->CellText(ch4, 2), QString("CH4"));
        QCOMPARE(species->CellText(ch4, 3), QString("9.51E-02"));
        QCOMPARE(species->CellText(SpeciesNumber(*w, "OH"), 3), QString());
        double sum = 0;
        for (std::size_t k = 1; k < w->InitFract().size(); ++k) sum += w->InitFract()[k];
        QVERIFY(std::fabs(sum - 1) < 1e-12);

        // The mean-parameter table with the units in force.
        kx::platform::Grid* means = w->GridEX(3);
        QCOMPARE(means->RowCount(), 6);
        QCOMPARE(means->CellText(1, 1), QString("Temperature"));
        QCOMPARE(means->CellText(2, 3), QString("mol/cm^3"));
        QCOMPARE(means->CellText(5, 3), QString("kJ/mol"));
        QCOMPARE(means->CellText(6, 3), QString("J/K mol"));
        QCOMPARE(w->Combo1()->count(), 4);
        QCOMPARE(w->Combo1()->itemText(2), QString("Concentration (mol/cm^3)"));
    }

    void theResultsComeToTheFrontAfterTheirTextWindow() {
        // After a run the text window is opened again and asks to come to
        // the front; the results window opened after it comes in front.
        kx::shell::ShowFileInResultWindow(gri);
        MenuForm* w = Open(gri);
        bed->clock->Advance(300);
        QCOMPARE(kx::platform::ActiveDocument(), static_cast<kx::platform::Form*>(w));
        // The text toolbar of the text window is not the results window's.
        QVERIFY(!bed->main->Toolbar5()->isVisibleTo(bed->main));
        QVERIFY(!bed->main->Toolbar2()->isVisibleTo(bed->main));
    }

    void openingAgainReplacesTheWindowAndClosesToolWindows() {
        kx::test::CallLog log;
        kx::shell::FormCreatorInstallation runSettings(kx::shell::kRunSettingsWindow, [&log] {
            return new kx::test::StubToolDialog(log, kx::shell::kRunSettingsWindow);
        });
        kx::platform::Form* tool = kx::shell::LoadForm(kx::shell::kRunSettingsWindow);
        QVERIFY(kx::platform::IsLoaded(tool));
        MenuForm* first = Open(gri);
        QVERIFY(first);
        QVERIFY(!kx::platform::IsLoaded(tool));
        MenuForm* second = Open(gri);
        kx::test::Settle();
        QVERIFY(second && second != first);
        QCOMPARE(kx::platform::FindForms(kx::shell::kResultsWindow).size(), std::size_t(1));
    }

    void aFailedLoadLeavesNoWindow() {
        // A molar mass of 0, which the solver refuses: the opener holds the
        // file to the solver's reading and names the line; no window stays,
        // the flag is reset. (A file the opener passes and the reader
        // refuses: aRunWithATimeThatGoesBackIsRefused.)
        kxtest::SolverFileFixture f = kxtest::SolverFileFixture::WithSpecies(2);
        f.AddRecords({0, 1, 2, 3, 4});
        f.species[1].molarMass = 0;
        ScriptedMessages messages;
        ExpectNoWindow(f, messages, 48);
        QVERIFY2(messages.lastText().contains("unexpected error.\r\nInvalid procedure call or argument: line 42: the molar mass must be above zero"),
                 qPrintable(messages.lastText()));

        // Too few records: the opener says so and loads nothing.
        kxtest::SolverFileFixture few = kxtest::SolverFileFixture::WithSpecies(2);
        few.AddRecords({0, 1});
        few.Write(runs.file("few.txt"));
        kx::runs::OpenResultsWindow(runs.file("few.txt"));
        QCOMPARE(messages.lastText(), QString::fromStdString("In the file '" + runs.file("few.txt") +
                                                             "', the results hold only 2 records; at least 3 are "
                                                             "needed."));
        QVERIFY(kx::platform::FindForms(kx::shell::kResultsWindow).empty());
    }

    // A refusal leaves active the text window the user asked from, not
    // another file's window: File > Close and Run Solver act on what the
    // user sees.
    void aRefusalGivesTheFocusBackToTheWindowAskedFrom() {
        const std::string first = runs.write("first.txt", kx::files::ReadAll(gri));
        kxtest::SolverFileFixture unreadable = kxtest::SolverFileFixture::WithSpecies(2);
        unreadable.AddRecords({0, 1, 2, 1.5, 4});  // a time that goes back: refused by the results window as it loads
        unreadable.Write(runs.file("time-back.txt"));
        kxtest::SolverFileFixture few = kxtest::SolverFileFixture::WithSpecies(2);
        few.AddRecords({0, 1});  // refused before any window loads
        few.Write(runs.file("few.txt"));
        for (const std::string& second : {runs.file("time-back.txt"), runs.file("few.txt")}) {
            kx::shell::OpenFileByType(first);
            kx::shell::OpenFileByType(second);
            bed->clock->Advance(300);  // the text windows' own bringing forward is done
            kx::test::Settle();
            kx::platform::Form* asked = kx::platform::FindFormByMePath(second);
            QVERIFY(asked);
            kx::platform::BringToFront(asked);
            kx::test::Settle();
            QCOMPARE(kx::platform::ActiveDocument(), asked);
            QVERIFY(QTest::qWaitForWindowActive(bed->main));
            ScriptedMessages messages;
            asked->Widget()->findChild<QAction*>("GENRES_RES")->trigger();
            kx::test::Settle();
            QCOMPARE(messages.shown().size(), std::size_t(1));
            QVERIFY(kx::platform::FindForms(kx::shell::kResultsWindow).empty());
            QCOMPARE(kx::platform::ActiveDocument(), asked);
            kx::platform::UnloadAll(kx::shell::kTextWindow);
            kx::test::Settle();
        }
    }

    // A record time earlier than the one before it is refused when the file
    // is read, naming the file, the record and its line: no window opens, so
    // no curve or analysis ever works on such a run.
    void aRunWithATimeThatGoesBackIsRefused() {
        kxtest::SolverFileFixture f = kxtest::SolverFileFixture::WithSpecies(2);
        f.AddRecords({0, 1e-3, 100, 2e-3, 3e-3});
        ScriptedMessages messages;
        ExpectNoWindow(f, messages, 16);
        QCOMPARE(messages.lastText(),
                 QString::fromStdString("In the file '" + runs.file("refused.txt") +
                                        "', unexpected error.\r\nInvalid procedure call or argument: the time of "
                                        "record 4 on line 53, 2.00000000E-003 s, is earlier than that of record 3 "
                                        "before it, 1.00000000E+002 s."));
    }

    // A run whose first steps are shorter than the printed digits of its
    // time (it starts at 1 s with a step of 1e-12 s) writes records with
    // equal times: the window opens on every record and draws them; the
    // contributions say that the times cannot be resolved while an interval
    // holds them, and work on an interval after them.
    void aRunWithEqualPrintedTimesOpensAndOnlyItsAnalysesSaySo() {
        std::string text = kx::files::ReadAll(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt");
        for (const auto& [from, to] : {std::pair<std::string, std::string>{" 0.000000E+00 !Initial Time", " 1.000000E+00 !Initial Time"},
                                       {" 1.000000E-03 !Final Time", " 1.001000E+00 !Final Time"},
                                       {" 1.000000E-08 !Initial Step Size", " 1.000000E-12 !Initial Step Size"}}) {
            QVERIFY(text.find(from) != std::string::npos);
            text.replace(text.find(from), from.size(), to);
        }
        const std::string path = runs.write("equal.txt", text);
        QVERIFY(kxtest::RunSolver(path));
        ScriptedMessages messages;
        MenuForm* w = Open(path);
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        const kx::ResultsTables& t = w->Reader().Tables();
        QVERIFY(t.ResultsClosed);
        const int rows = t.ResultRowCount - 1;
        QCOMPARE(t.ResultValues(1, 0), 1.0);
        QCOMPARE(t.ResultValues(2, 0), 1.0);  // 1 + 1e-12 s, printed 0.10000000E+001
        QCOMPARE(w->Text(6)->text(), QString::number(rows));

        // Every record is drawn, the equal times among them.
        w->Option(3)->setChecked(true);
        w->ShowTab(2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "H2"));
        QCOMPARE(Chart().Points(), rows);
        QCOMPARE(Chart().At(0).x[0], 1.0);
        QCOMPARE(Chart().At(0).x[1], 1.0);

        // The contributions, over the whole run and as a list only.
        w->ShowTab(3);
        const QString unresolved = "Features of the 'Reaction' and 'Temperature' windows don't operate because numeric "
                                   "data cannot be resolved. We recommend to restart the problem with a greater number "
                                   "of step of data output.";
        for (Page page : {Page::Derivatives, Page::Reactions}) {
            Prepare(*w, page, "H2O");
            QCOMPARE(messages.shown().size(), std::size_t(page == Page::Derivatives ? 1 : 2));
            QCOMPARE(messages.lastText(), unresolved);
            QCOMPARE(messages.shown().back().style, 48);
            QCOMPARE(w->GridEX(page == Page::Derivatives ? 2 : 4)->RowCount(), 0);
        }

        // After the equal times the contributions are listed.
        int after = 1;  // the last of the records at 1 s
        while (t.ResultValues(after + 1, 0) == t.ResultValues(after, 0)) ++after;
        QVERIFY(after > 1);
        w->ShowTab(0);
        w->Text(2)->setText(QString::fromStdString(kx::Format(t.ResultValues(after + 2, 0), "0.000000E+00")));
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "H2O");
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QVERIFY(w->GridEX(2)->RowCount() > 0);
    }

    // A copy of the run with its results cut in half: the window opens on
    // the records before the cut, says once where they end, and draws them.
    void aRunCutShortOpensWithTheNoteAndItsCurvesEndThere() {
        const std::string text = kx::files::ReadAll(gri);
        const std::size_t from = text.find("!$Results"), to = text.find("!$End");
        QVERIFY(from != std::string::npos && to != std::string::npos);
        const std::string cut = runs.write("gri-cut.txt", text.substr(0, (from + to) / 2));
        ScriptedMessages messages;
        MenuForm* w = Open(cut);
        QVERIFY(w);
        const kx::ResultsTables& t = w->Reader().Tables();
        QVERIFY(t.LastTime < 5e-3);
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.lastText(), QString::fromStdString("In the file '" + cut +
                                                             "', results are incomplete: they end at " +
                                                             kx::Format(t.LastTime, "0.000000E+00") +
                                                             " s of the run's final time 1.000000E-02 s."));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(w->Text(3)->text(), QString::fromStdString(kx::Format(t.LastTime, "0.000000E+00")));

        w->Option(3)->setChecked(true);
        w->ShowTab(2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CH4"));
        QCOMPARE(Chart().Points(), t.ResultRowCount - 1);
        QCOMPARE(Chart().At(0).x[static_cast<std::size_t>(t.ResultRowCount - 2)], t.ResultValues(t.ResultRowCount - 1, 0));
        QCOMPARE(messages.shown().size(), std::size_t(1));  // said once
    }

    // An interval that holds too few points for the step in use is refused,
    // and the page shows the interval whose rows the curves still read.
    void aRefusedIntervalShowsTheIntervalInUse() {
        MenuForm* w = Open(gri);
        const kx::ResultsTables& t = w->Reader().Tables();
        const int rows = t.ResultRowCount - 1;
        w->Option(3)->setChecked(true);
        w->Text(5)->setText("4");
        w->ShowTab(2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CH4"));  // one point out of every 4
        const int points = Chart().Points();
        QCOMPARE(w->Reader().Used().PointStep, 4);

        ScriptedMessages messages;
        w->ShowTab(0);
        for (auto [box, row] : {std::pair{2, 10}, {3, 12}}) {  // typed, so the count turns stale
            w->Text(box)->clear();
            QTest::keyClicks(w->Text(box), QString::fromStdString(kx::Format(t.ResultValues(row, 0), "0.000000E+00")));
        }
        QVERIFY(w->CountStale());
        QTest::mouseClick(w->Label(2), Qt::LeftButton);
        QCOMPARE(messages.lastText(), QString("Time interval, the interval holds too few points to show one out of "
                                              "every 4 points; the interval in use is kept."));
        QCOMPARE(w->Text(2)->text(), QString("0.000000E+00"));
        QCOMPARE(w->Text(3)->text(), QString("1.000000E-02"));
        QVERIFY(!w->CountStale());
        QCOMPARE(w->Text(6)->text(), QString::number(rows));
        QCOMPARE(w->Reader().Used().FirstUsedRow, 1);
        QCOMPARE(w->Reader().Used().LastUsedRow, rows);

        // The interval shown is the one the curves use, and it is accepted.
        w->TabStrip1()->setCurrentIndex(2);
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(w->TabStrip1()->currentIndex(), 2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CH4"));
        QCOMPARE(Chart().Points(), points);
        QCOMPARE(Chart().At(0).x[0], t.ResultValues(1, 0));
    }

    // A step the interval cannot take is refused when it is entered, with
    // the box back at the step in use, and curves use the step the box
    // shows; a step set past the page's check is refused at the curve.
    void aStepTheIntervalCannotTakeIsRefusedAndTheBoxShowsTheStepInUse() {
        MenuForm* w = Open(gri);
        const kx::ResultsTables& t = w->Reader().Tables();
        w->Option(3)->setChecked(true);
        w->Text(2)->setText(QString::fromStdString(kx::Format(t.ResultValues(10, 0), "0.000000E+00")));
        w->Text(3)->setText(QString::fromStdString(kx::Format(t.ResultValues(12, 0), "0.000000E+00")));
        w->TabStrip1()->setCurrentIndex(2);
        QCOMPARE(w->Text(6)->text(), QString("3"));

        const QString refusal = "Time interval, the interval holds too few points to show one out of every 1000 "
                                "points; the interval in use is kept.";
        ScriptedMessages messages;
        w->ShowTab(0);
        w->Text(5)->setText("1000");
        w->TabStrip1()->setCurrentIndex(2);
        QCOMPARE(messages.lastText(), refusal);
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(w->Text(5)->text(), QString("1"));
        QCOMPARE(w->Text(5)->selectedText(), QString("1"));
        QCOMPARE(w->Reader().Used().PointStep, 1);
        QCOMPARE(w->Text(6)->text(), QString("3"));

        w->TabStrip1()->setCurrentIndex(2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CH4"));
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(Chart().Points(), 3);
        QCOMPARE(Chart().At(0).x[1], t.ResultValues(11, 0));

        // A step in the box that the page did not check.
        w->Text(5)->setText("1000");
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CO2"), Qt::ControlModifier);
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(messages.lastText(), refusal);
        QCOMPARE(w->Text(5)->text(), QString("1"));
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(Chart().Subsets(), 1);  // nothing drawn

        // A step beyond any whole number is said to be too large, as typed.
        w->Text(5)->setText("1e12");
        w->TabStrip1()->setCurrentIndex(2);
        QCOMPARE(messages.lastText(), QString("Point presentation, the number 1e12 is too large; please enter a "
                                              "positive integer up to 2147483647."));
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(w->Text(5)->selectedText(), QString("1e12"));
        QCOMPARE(w->Reader().Used().PointStep, 1);
    }

    // The step remembered from the last window is in use when this run can
    // take it; otherwise the box shows the step in use.
    void aRememberedStepIsTheStepInUse() {
        const int records = [&] {
            MenuForm* w = Open(gri);
            const int n = w->Reader().Tables().ResultRowCount - 1;
            kx::platform::Unload(w);
            kx::test::Settle();
            return n;
        }();
        for (auto [remembered, inUse] : {std::pair{3, 3}, std::pair{records, 1}}) {
            kx::Shared().MenuFormTextValues[2] = std::to_string(remembered);
            MenuForm* w = Open(gri);
            QCOMPARE(w->Reader().Used().PointStep, inUse);
            QCOMPARE(w->Text(5)->text(), QString::number(inUse));
            kx::platform::Unload(w);
            kx::test::Settle();
        }
    }

    void zeroInitialFractionsStillFillTheTables() {
        kxtest::SolverFileFixture f = kxtest::SolverFileFixture::WithSpecies(3);
        f.pressure = 2.5;
        f.AddRecords({0, 1, 2, 3, 4});
        const std::string path = runs.file("no-fractions.txt");
        f.Write(path);
        MenuForm* w = Open(path);
        QVERIFY(w);
        QCOMPARE(w->GridEX(1)->RowCount(), 3);
        QCOMPARE(w->GridEX(1)->CellText(2, 2), QString("S2"));
        QCOMPARE(w->GridEX(1)->CellText(2, 3), QString());
        QCOMPARE(w->TabStrip1()->currentIndex(), 0);
        QCOMPARE(w->Label(21)->text(), QString("Pressure 2.5E+00 atm"));
    }

    void theFirstOpeningShowsTheStartChoicesAndLaterOnesTheRemembered() {
        MenuForm* w = Open(gri);
        QVERIFY(w->Option(4)->isChecked());
        for (int n : {7, 10, 11, 5, 6, 13, 15}) QVERIFY2(w->Option(n)->isChecked(), qPrintable(QString::number(n)));
        for (int n : {1, 5, 12, 4, 9, 11, 13}) QCOMPARE(w->Text(n)->text(), QString("1"));
        QCOMPARE(w->Text(8)->text(), QString("0.1"));
        QVERIFY(w->Check3()->isChecked());
        for (int i = 0; i < 3; ++i) QVERIFY(w->Check1(i)->isChecked());

        // Typed values come back as typed; options as chosen.
        const std::pair<int, const char*> typed[] = {{1, "2"},   {5, "3"}, {12, "1e-3"}, {4, "0.5"},
                                                     {9, "-2"}, {11, "10"}, {8, "0.25"}, {13, "7"}};
        for (auto [n, text] : typed) w->Text(n)->setText(text);
        w->Option(3)->setChecked(true);
        w->Option(9)->setChecked(true);
        w->Option(12)->setChecked(true);
        w->Option(8)->setChecked(true);
        w->Option(2)->setChecked(true);
        w->Option(1)->setChecked(true);
        w->Option(16)->setChecked(true);
        QCOMPARE(w->GridEX(3)->CellText(5, 3), QString("kcal/mol"));
        QVERIFY(kx::platform::Unload(w));
        kx::test::Settle();

        MenuForm* again = Open(gri);
        for (auto [n, text] : typed) QCOMPARE(again->Text(n)->text(), QString(text));
        for (int n : {3, 9, 12, 8, 2, 1, 16}) QVERIFY2(again->Option(n)->isChecked(), qPrintable(QString::number(n)));
        QCOMPARE(again->GridEX(3)->CellText(6, 3), QString("cal/K mol"));
        QCOMPARE(again->Text(7)->text(), QString());
        const kx::SharedState& s = kx::Shared();
        QVERIFY(!s.LogTimeAxis && s.LogYSpecies && s.LogYAverages && s.LogYDerivatives && s.LogYReactions);
        QVERIFY(!s.UnitsJoule && !s.SpeciesNames12);
    }

    void theConcentrationUnitChangesTheListTheTableAndTheRateCaption() {
        MenuForm* w = Open(gri);
        w->Option(14)->setChecked(true);
        QCOMPARE(kx::Shared().ConcUnit, 1);
        QCOMPARE(w->Combo1()->itemText(2), QString("Concentration (1/cm^3)"));
        QCOMPARE(w->GridEX(3)->CellText(2, 3), QString("1/cm^3"));
        QCOMPARE(w->Label(26)->text(), QString("Reaction rates  1/cm^3 s."));
        kx::platform::Unload(w);
        kx::test::Settle();
        QVERIFY(Open(gri)->Option(14)->isChecked());
    }

    void leavingTheGeneralPageChecksItsBoxesInOrder() {
        MenuForm* w = Open(gri);
        struct Case {
            const char *start, *end, *step, *scale;
            bool log;
            int box;
            QString message;
        };
        const QString bounds = "Time boundaries you want to set are incorrect; please enter numbers on the interval "
                               "[0 - 1.0E-02].";
        const Case cases[] = {
            {"x", "1e-2", "1", "1", true, 2, "Time interval, please enter a number."},
            {"0", "", "1", "1", true, 3, "Time interval, please enter a number."},
            {"-1", "1e-2", "1", "1", true, 2, bounds},
            {"0", "2e-2", "1", "1", true, 3, bounds},
            {"5e-3", "1e-3", "1", "1", true, 3,
             "Time interval, maximum X-value is less than or equal to minimal valoe. Enter correct values."},
            {"0", "1e-2", "0.5", "1", true, 5, "Point presentation, please enter a positive integer."},
            {"0", "1e-2", "1", "0", false, 1, "X-axis scaling, please enter a nonzero number."},
            {"0", "1e-2", "1", "-1", true, 1, "X-axis scaling, for logarithmic scale please enter a positive number."},
        };
        for (const Case& c : cases) {
            ScriptedMessages messages;
            w->ShowTab(0);
            w->Text(2)->setText(c.start);
            w->Text(3)->setText(c.end);
            w->Text(5)->setText(c.step);
            w->Text(1)->setText(c.scale);
            (c.log ? w->Option(4) : w->Option(3))->setChecked(true);
            w->TabStrip1()->setCurrentIndex(2);
            QCOMPARE(messages.lastText(), c.message);
            QCOMPARE(messages.shown().size(), std::size_t(1));
            QCOMPARE(w->TabStrip1()->currentIndex(), 0);
            QCOMPARE(w->Text(c.box)->selectedText(), w->Text(c.box)->text());
        }

        // Accepted: a step of 2.7 becomes 2, a negative scale is fine on a
        // linear axis, the interval snaps to stored times.
        ScriptedMessages none;
        w->ShowTab(0);
        w->Text(2)->setText("1e-3");
        w->Text(3)->setText("2e-3");
        w->Text(5)->setText("2.7");
        w->Text(1)->setText("-1");
        w->Option(3)->setChecked(true);
        w->TabStrip1()->setCurrentIndex(3);
        QVERIFY(none.shown().empty());
        QCOMPARE(w->TabStrip1()->currentIndex(), 3);
        QCOMPARE(w->Text(5)->text(), QString("2"));
        const kx::UsedRowsState& u = w->Reader().Used();
        QCOMPARE(w->Text(2)->text(), QString::fromStdString(kx::Format(u.IntervalStart, "0.000000E+00")));
        QVERIFY(u.IntervalStart <= 1e-3 && u.IntervalEnd >= 2e-3);
        QCOMPARE(w->Text(6)->text(), QString::number(u.LastUsedRow - u.FirstUsedRow + 1));
    }

    void theCountTurnsStaleWhenTheIntervalIsEditedAndCurrentOnAClick() {
        MenuForm* w = Open(gri);
        QTest::keyClicks(w->Text(3), "5");
        QVERIFY(w->CountStale());
        QCOMPARE(w->Text(6)->text(), QString());
        QCOMPARE(w->Label(2)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        w->Text(3)->setText("5e-3");
        QTest::mouseClick(w->Label(2), Qt::LeftButton);
        QVERIFY(!w->CountStale());
        QCOMPARE(w->Label(2)->palette().color(QPalette::WindowText), QColor(Qt::black));
        const kx::UsedRowsState& u = w->Reader().Used();
        QCOMPARE(w->Text(6)->text(), QString::number(u.LastUsedRow - u.FirstUsedRow + 1));
        QVERIFY(u.IntervalEnd >= 5e-3 && u.LastUsedRow < w->Reader().Tables().ResultRowCount - 1);
    }

    void theContributionsToOHAreTheCoresAndAddUpToItsChange() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "  OH ");
        const int oh = SpeciesNumber(*w, "OH");
        kx::ContributionTable core;
        kxtest::RecordingSink sink;
        kx::ResultsReader reader(sink, RPrime());
        QVERIFY(reader.OPEN_Rich(gri));
        reader.ShowReacDeRe(oh, true, [&](const kx::ContributionTable& t) { core = t; });

        kx::platform::Grid* g = w->GridEX(2);
        QCOMPARE(g->RowCount(), core.Count());
        QVERIFY(core.Count() > 100);
        QCOMPARE(w->Label(11)->text(), QString(" Production. (mol/g). All reactions %1.").arg(core.Count()));
        double sum = 0;
        double previous = INFINITY;
        for (int r = 1; r <= g->RowCount(); ++r) {
            const int reaction = g->Value(r, 1).toInt();
            const double value = g->Value(r, 3).toDouble();
            const auto at = std::find(core.Numbers.begin(), core.Numbers.end(), reaction) - core.Numbers.begin();
            QCOMPARE(value, core.Contributions[static_cast<std::size_t>(at)]);
            QCOMPARE(g->Value(r, 2).toString().toStdString(), core.Texts[static_cast<std::size_t>(at)]);
            QVERIFY(value <= previous);  // largest first, by sign
            previous = value;
            sum += value;
        }
        QVERIFY(std::fabs(sum - core.ActualChange) < 0.01 * std::fabs(core.ActualChange));
        // All reactions: the box shows the species' change.
        QCOMPARE(w->Label(25)->text(), QString("Derivative"));
        QCOMPARE(w->Text(19)->text(), QString::fromStdString(kx::Format(core.ActualChange, "0.00E+00")));

        // The important ones: their sum, which stays within 1 % of the change.
        w->Text(8)->setText("1e-4");
        QTest::mouseClick(w->Command(2), Qt::LeftButton);
        QCOMPARE(w->Label(25)->text(), QString("Sum of Reactions"));
        QVERIFY(g->RowCount() < core.Count());
        const double important = kx::ParseNumber(w->Text(19)->text().toStdString()).value();
        QVERIFY(std::fabs(important - core.ActualChange) < 0.01 * std::fabs(core.ActualChange));
        QVERIFY(w->Label(11)->text().startsWith(" Production. (mol/g). Important reactions "));

        // A share of 0 lists all; shares outside [0, 1] and texts are refused.
        w->Text(8)->setText("0");
        QTest::mouseClick(w->Command(2), Qt::LeftButton);
        QCOMPARE(g->RowCount(), core.Count());
        QCOMPARE(w->Label(25)->text(), QString("Derivative"));
        for (const char* share : {"1.5", "-0.1", "abc"}) {
            ScriptedMessages messages;
            w->Text(8)->setText(share);
            QTest::mouseClick(w->Command(2), Qt::LeftButton);
            QCOMPARE(messages.lastText(), QString("Parameter, please enter a decimal number on the interval [0, 1]."));
            QCOMPARE(g->RowCount(), core.Count());
        }

        // A share of 1 may leave out the whole change: only the largest
        // reaction stays, when it alone carries more than 0.3 of the total.
        double total = 0, largest = 0;
        for (double c : core.Contributions) {
            total += std::fabs(c);
            largest = std::max(largest, std::fabs(c));
        }
        const int kept = largest / total > 0.3 ? 1 : 0;
        ScriptedMessages none;
        w->Text(8)->setText("1");
        QTest::mouseClick(w->Command(2), Qt::LeftButton);
        QVERIFY(none.shown().empty());
        QCOMPARE(g->RowCount(), kept);
        QCOMPARE(w->Label(11)->text(), QString(" Production. (mol/g). Important reactions %1.").arg(kept));
        if (kept == 1) {
            QCOMPARE(std::fabs(g->Value(1, 3).toDouble()), largest);
            QCOMPARE(w->Label(25)->text(), QString("Sum of Reactions"));
            QCOMPARE(w->Text(19)->text(), QString::fromStdString(kx::Format(g->Value(1, 3).toDouble(), "0.00E+00")));
        } else {
            // Nothing listed, nothing summed: no sum of an earlier list stays.
            QCOMPARE(w->Text(19)->text(), QString());
        }
    }

    void anUnknownSpeciesIsReported() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        ScriptedMessages messages;
        Prepare(*w, Page::Derivatives, "");
        QCOMPARE(messages.lastText(), QString("In the species list, the species name '' is not found. "));
        Prepare(*w, Page::Derivatives, "XYZ");
        QCOMPARE(messages.lastText(), QString("In the species list, the species name 'XYZ' is not found. "));
        Prepare(*w, Page::Derivatives, " Δé ");  // quoted as typed, trimmed
        QCOMPARE(messages.lastText(), QString("In the species list, the species name 'Δé' is not found. "));
        Prepare(*w, Page::Derivatives, "XYZ");
        QCOMPARE(w->GridEX(2)->RowCount(), 0);
        QCOMPARE(w->Text(7)->selectedText(), QString("XYZ"));
    }

    void eachReactionPageKeepsItsOwnTable() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        const int ohRows = w->GridEX(2)->RowCount();
        const QVariant firstValue = w->GridEX(2)->Value(1, 3);
        w->ShowTab(4);
        Prepare(*w, Page::Reactions, "CH4");
        // The Reactions page lists CH4's reactions in reaction order, without values.
        kx::platform::Grid* r = w->GridEX(4);
        QVERIFY(r->RowCount() > 0);
        QCOMPARE(w->Label(26)->text(), QString("Reactions: %1").arg(r->RowCount()));
        for (int row = 2; row <= r->RowCount(); ++row) QVERIFY(r->Value(row - 1, 1).toInt() < r->Value(row, 1).toInt());
        QCOMPARE(r->CellText(1, 3), QString());
        // The Derivatives page still shows OH's list and copies it.
        QCOMPARE(w->GridEX(2)->RowCount(), ohRows);
        QCOMPARE(w->GridEX(2)->Value(1, 3), firstValue);
        w->CopyTable();
        QVERIFY(kx::platform::ClipboardText().contains("OH  Production. (mol/g). All reactions"));
    }

    // The copied table names the file as it is, in a folder of any name.
    void theCopiedTable_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("the run's folder") << QString();
        QTest::newRow("a folder beyond ASCII") << "Δt résultats/測定";
    }
    void theCopiedTable() {
        QFETCH(QString, folder);
        std::string path = gri;
        if (!folder.isEmpty()) {
            path = runs.file(kx::platform::FromQ(folder + "/gri30 é.txt"));
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            std::filesystem::copy_file(gri, path, std::filesystem::copy_options::overwrite_existing);
        }
        auto previous = kx::platform::SetDateTimeSource([] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 1)); });
        MenuForm* w = Open(path);
        QVERIFY(w);
        QCOMPARE(w->Text(10)->text(), QString::fromStdString(path));
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        w->Text(8)->setText("0.1");
        QTest::mouseClick(w->Command(2), Qt::LeftButton);
        QTest::mouseClick(w->Command(12), Qt::LeftButton);
        kx::platform::SetDateTimeSource(previous);

        const QStringList lines = kx::platform::ClipboardText().split("\r\n");
        kx::platform::Grid* g = w->GridEX(2);
        const int n = g->RowCount();
        QCOMPARE(lines.size(), n + 11);  // heads, rows, rule, sum, derivative, the empty last
        QCOMPARE(lines[0], QString("Kinovex Postprocessor, Mar 7 2024"));
        QCOMPARE(lines[1], "Solver File: " + (folder.isEmpty() ? QString::fromStdString(gri)
                                                             : QString::fromStdString(runs.path()) + "/" + folder +
                                                                   "/gri30 é.txt"));
        QCOMPARE(lines[2], QString("OH  Production. (mol/g). Important reactions %1.").arg(n));
        QCOMPARE(lines[3], QString("Time interval 0.000000E+00 - 1.000000E-02 sec"));
        QCOMPARE(lines[4], QString());
        QCOMPARE(lines[5], QString("  No  Reaction                                           Production"));
        for (int r = 1; r <= n; ++r) {
            const QString number = g->CellText(r, 1).rightJustified(4);
            const QString text = g->CellText(r, 2).leftJustified(50);
            QCOMPARE(lines[5 + r], number + "  " + text + g->CellText(r, 3).rightJustified(10));
        }
        QCOMPARE(lines[6 + n], "  " + QString(66, '-'));
        QCOMPARE(lines[7 + n], QString("      Sum").leftJustified(56) + w->Text(19)->text().rightJustified(10));
        QCOMPARE(lines[8 + n], QString());
        QCOMPARE(lines[9 + n], QString("      Derivative").leftJustified(56) +
                                   QString::fromStdString(w->List(Page::Derivatives).SpeciesDerivativeText).rightJustified(10));
        QCOMPARE(lines.back(), QString());
    }

    // The copied table names the species and the interval its numbers were
    // computed for, whatever the boxes hold by then.
    void theCopiedTableNamesTheSpeciesAndIntervalOfItsNumbers() {
        MenuForm* w = Open(gri);
        const kx::ResultsTables& t = w->Reader().Tables();
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        w->ShowTab(0);
        w->Text(2)->setText(QString::fromStdString(kx::Format(t.ResultValues(10, 0), "0.000000E+00")));
        w->Text(3)->setText(QString::fromStdString(kx::Format(t.ResultValues(40, 0), "0.000000E+00")));
        w->TabStrip1()->setCurrentIndex(3);
        QCOMPARE(w->TabStrip1()->currentIndex(), 3);
        w->Text(7)->setText("CO2");
        w->CopyTable();
        const QStringList lines = kx::platform::ClipboardText().split("\r\n");
        QVERIFY(lines.size() > 4);
        QVERIFY2(lines[2].startsWith("OH  Production"), qPrintable(lines[2]));
        QCOMPARE(lines[3], QString("Time interval 0.000000E+00 - 1.000000E-02 sec"));
    }

    void aSpeciesNameBeyondAsciiIsTheSameCharacterEverywhere() {
        // Argon and HO2 renamed with the bytes 0xC4 and 0xD6: "ÄR" and "HÖ2"
        // taken as Latin-1.
        std::string bytes = kx::test::ReadBytes(KX_SAMPLES_DIR "/h2_o2_ar_isothermal.txt");
        for (std::size_t at = bytes.find("AR"); at != std::string::npos; at = bytes.find("AR", at)) bytes[at] = '\xC4';
        for (std::size_t at = bytes.find("HO2"); at != std::string::npos; at = bytes.find("HO2", at)) bytes[at + 1] = '\xD6';
        const std::string path = runs.write("Δt résultats/h2_o2_xr.txt", bytes);
        QVERIFY(kxtest::RunSolver(path));
        const QString name = QString::fromUtf8("ÄR");
        const auto label = [](int subset) { return QString::fromStdString(Chart().At(subset).label); };
        MenuForm* w = Open(path);
        QVERIFY(w);
        w->Option(3)->setChecked(true);
        w->ShowTab(2);
        kx::platform::Grid* g = w->GridEX(1);
        int row = 0;
        for (int r = 1; r <= g->RowCount(); ++r)
            if (g->CellText(r, 2) == name) row = r;
        QVERIFY2(row > 0, "the species grid shows no \"ÄR\"");
        w->Combo1()->setCurrentIndex(0);
        DoubleClickRow(g, row);
        QVERIFY(kx::chart::TemporaryChart());
        QCOMPARE(label(0), name + ", Mole Fraction");
        // The species table names the folder and the species as they are.
        g->selectionModel()->select(g->model()->index(row - 1, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::mouseClick(w->Command(13), Qt::LeftButton);
        kx::platform::Form* text = nullptr;
        for (kx::platform::Form* f : kx::platform::FindForms(kx::shell::kTextWindow)) text = f;
        QVERIFY(text);
        const QStringList table = text->Widget()->findChild<QTextEdit*>()->toPlainText().split('\n');
        QVERIFY(table.size() > 5);
        QCOMPARE(table[1], "  Solver file:  " + QString::fromStdString(path));
        QCOMPARE(table[4], QString("    No        Time (sec)") + name.rightJustified(16));

        // The Derivatives page takes the typed name; its curves, histogram
        // and copied table quote it as the grid shows it.
        const QString hO2 = QString::fromUtf8("HÖ2");
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, hO2);
        kx::platform::Grid* reactions = w->GridEX(2);
        int shown = 0;  // a reaction with HÖ2 in its text
        for (int r = reactions->RowCount(); r >= 1; --r)
            if (reactions->CellText(r, 2).contains(hO2)) shown = r;
        QVERIFY(shown > 0);
        const QString reaction = reactions->CellText(shown, 2).trimmed();
        DoubleClickRow(reactions, shown);
        QCOMPARE(label(0), QString("R%1,  to {%2} Deriv (mol/g sec)").arg(reactions->Value(shown, 1).toInt()).arg(hO2));
        QCOMPARE(QString::fromStdString(Chart().At(0).longLabel1).trimmed(), reaction);
        QTest::keyPress(w->Command(4), Qt::Key_Control);
        QTest::mouseClick(w->Command(4), Qt::LeftButton, Qt::ControlModifier);
        QTest::keyRelease(w->Command(4), Qt::Key_Control);
        QCOMPARE(label(1), "d{" + hO2 + "}/dt (mol/g sec)");

        w->Text(11)->setText("1");
        QTest::mouseClick(w->Command(3), Qt::LeftButton);
        bed->clock->Advance(300);
        kx::chart::ChartModel& m = Chart();
        QVERIFY(m.histogram);
        QCOMPARE(QString::fromStdString(m.subTitle), hO2 + " Production");
        QCOMPARE(QString::fromStdString(m.At(shown + 1).longLabel1).trimmed(), reaction);

        w->Text(8)->setText("0");
        QTest::mouseClick(w->Command(2), Qt::LeftButton);
        QTest::mouseClick(w->Command(12), Qt::LeftButton);
        const QStringList lines = kx::platform::ClipboardText().split("\r\n");
        QVERIFY(lines.size() > 3);
        QVERIFY2(lines[2].startsWith(hO2 + "  Production."), qPrintable(lines[2]));
        QVERIFY(std::ranges::any_of(lines, [&](const QString& l) { return l.contains(reaction); }));
        // The solver file's bytes are as written.
        QCOMPARE(kx::test::ReadBytes(path).substr(0, bytes.size()), bytes);
    }

    void aShowRefusesAScalingOfZero() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        ScriptedMessages messages;
        w->Text(11)->setText("0");
        QTest::mouseClick(w->Command(3), Qt::LeftButton);
        bed->clock->Advance(300);
        QCOMPARE(messages.lastText(), QString("Scaling, please enter a nonzero number."));
        QVERIFY(!kx::chart::IsTemporaryChartOpen());
    }

    void theMeanParameterTableOpensAsText() {
        auto previous = kx::platform::SetDateTimeSource([] { return QDateTime(QDate(2024, 3, 7), QTime(9, 5, 1)); });
        MenuForm* w = Open(gri);
        w->ShowTab(1);
        kx::platform::Grid* g = w->GridEX(3);
        g->selectRow(0);
        g->selectionModel()->select(g->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::mouseClick(w->Command(14), Qt::LeftButton);
        kx::platform::SetDateTimeSource(previous);

        kx::platform::Form* text = nullptr;
        for (kx::platform::Form* f : kx::platform::FindForms(kx::shell::kTextWindow)) text = f;
        QVERIFY(text);
        QCOMPARE(text->Caption(), w->windowTitle());
        const QStringList lines = text->Widget()->findChild<QTextEdit*>()->toPlainText().split('\n');
        QCOMPARE(lines[0], QString("  Kinovex,  Mar 7 2024,  09:05:01"));
        QCOMPARE(lines[3], QString("    No        Time (sec)          T (K)      M (g/mol)"));
        QCOMPARE(lines.size() - 4 - (lines.back().isEmpty() ? 1 : 0), w->Reader().Used().UsedCount - 1);
        QVERIFY(lines[4].startsWith("     1    0.00000000E+00        1400.00"));
        QVERIFY(!std::filesystem::exists(kx::WorkingFile("TmpPlot.txt")));

        // Without a selected row: the message.
        g->clearSelection();
        ScriptedMessages messages;
        QTest::mouseClick(w->Command(14), Qt::LeftButton);
        QCOMPARE(messages.lastText(), QString("In the table there are no selected rows."));
    }

    void theSpeciesTableAndTheCopiedName() {
        MenuForm* w = Open(gri);
        w->ShowTab(2);
        kx::platform::Grid* g = w->GridEX(1);
        const int ch4 = SpeciesNumber(*w, "CH4"), o2 = SpeciesNumber(*w, "O2");
        for (int row : {ch4, o2})
            g->selectionModel()->select(g->model()->index(row - 1, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w->Combo1()->setCurrentIndex(1);  // mass fractions
        QTest::mouseClick(w->Command(13), Qt::LeftButton);
        kx::platform::Form* text = nullptr;
        for (kx::platform::Form* f : kx::platform::FindForms(kx::shell::kTextWindow)) text = f;
        QVERIFY(text);
        const QStringList lines = text->Widget()->findChild<QTextEdit*>()->toPlainText().split('\n');
        QCOMPARE(lines[3], QString("  Mass Fraction"));
        QCOMPARE(lines[4], QString("    No        Time (sec)") + QString("O2").rightJustified(16) +
                               QString("CH4").rightJustified(16));
        // The first point: the initial mass fractions as the file gives them.
        const kx::ResultsTables& t = w->Reader().Tables();
        const QString first = QString::fromStdString(kx::Format(t.ResultValues(1, o2 + 2), "0.00000000E+00")).rightJustified(16) +
                              QString::fromStdString(kx::Format(t.ResultValues(1, ch4 + 2), "0.00000000E+00")).rightJustified(16);
        QVERIFY2(lines[5].endsWith(first), qPrintable(lines[5]));

        // More than ten rows are refused.
        g->selectAll();
        ScriptedMessages messages;
        QTest::mouseClick(w->Command(13), Qt::LeftButton);
        QCOMPARE(messages.lastText(), QString("In the table more than 10 rows are selected; select at most 10 rows."));

        // "Copy" puts the current species' name on the clipboard.
        g->SetRow(ch4);
        QAction* copy = w->findChild<QAction*>("SAVE");
        QVERIFY(copy);
        copy->trigger();
        QCOMPARE(kx::platform::ClipboardText(), QString("CH4"));
    }

    void speciesCurvesInEveryUnitAgainstTheRecords() {
        MenuForm* w = Open(gri);
        w->Option(3)->setChecked(true);  // linear time, so time 0 is drawn
        w->ShowTab(2);
        const kx::ResultsTables& t = w->Reader().Tables();
        const int ch4 = SpeciesNumber(*w, "CH4");
        const double rPrime = RPrime();
        struct Case {
            int kind, unit;
            const char* legend;
        };
        const Case cases[] = {{0, 0, "CH4, Mole Fraction"},
                              {1, 0, "CH4, Mass Fraction"},
                              {2, 0, "[CH4] (mol/cm^3)"},
                              {2, 1, "[CH4] (1/cm^3)"},
                              {3, 0, "{CH4} (mol/g)"}};
        for (const Case& c : cases) {
            (c.unit ? w->Option(14) : w->Option(13))->setChecked(true);
            w->Combo1()->setCurrentIndex(c.kind);
            DoubleClickRow(w->GridEX(1), ch4);
            QVERIFY(kx::chart::TemporaryChart());
            kx::chart::ChartModel& m = Chart();
            QCOMPARE(m.Subsets(), 1);
            QCOMPARE(m.At(0).label, std::string(c.legend));
            QCOMPARE(m.Points(), t.ResultRowCount - 1);
            for (int row = 1; row < t.ResultRowCount; ++row) {
                // By hand from the record: mass fractions, temperature, molar masses.
                double S = 0;
                for (int k = 1; k <= t.NumSpecies; ++k) S += t.ResultValues(row, k + 2) / t.ThermoTable(k, 15);
                const double y = t.ResultValues(row, ch4 + 2), W = t.ThermoTable(ch4, 15);
                const double rho = 1.0 / (rPrime * t.ResultValues(row, 1)) / S;
                const double expected = c.kind == 0 ? y / W / S
                                        : c.kind == 1 ? y
                                        : c.kind == 2 ? (c.unit ? kx::Shared().AvogadroNumber : 1.0) * y * rho / W
                                                      : y / W;
                const int p = row - 1;
                if (y <= t.ZeroThreshold) {
                    QCOMPARE(m.At(0).y[p], kx::kMissingValue);
                    continue;
                }
                QCOMPARE(m.At(0).x[p], t.ResultValues(row, 0));
                QVERIFY2(std::fabs(m.At(0).y[p] - expected) <= 1e-8 * std::fabs(expected),
                         qPrintable(QString("%1 row %2: %3 vs %4").arg(c.legend).arg(row).arg(m.At(0).y[p]).arg(expected)));
            }
        }
        QCOMPARE(Chart().xAxisLabel, std::string("Time (sec)"));
        QCOMPARE(kx::Shared().ConcKindIndex, 3);

        // Ctrl adds the curve; Shift or Alt draws nothing; a plain double click replaces.
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "O2"), Qt::ControlModifier);
        QCOMPARE(Chart().Subsets(), 2);
        QCOMPARE(Chart().At(1).label, std::string("{O2} (mol/g)"));
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "H2O"), Qt::ShiftModifier);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "H2O"), Qt::AltModifier);
        QCOMPARE(Chart().Subsets(), 2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "H2O"));
        QCOMPARE(Chart().Subsets(), 1);
        QCOMPARE(Chart().At(0).label, std::string("{H2O} (mol/g)"));
    }

    void logAxesScalesAndUndrawableCurves() {
        MenuForm* w = Open(gri);
        w->ShowTab(2);
        w->Option(9)->setChecked(true);  // Log10(Y)
        w->Text(4)->setText("1000");
        w->Text(1)->setText("2");
        w->Combo1()->setCurrentIndex(1);
        const int o2 = SpeciesNumber(*w, "O2");
        DoubleClickRow(w->GridEX(1), o2);
        kx::chart::ChartModel& m = Chart();
        QCOMPARE(m.At(0).label, std::string("O2, Log10 Mass Fraction x 1.00E+03"));
        QCOMPARE(m.xAxisLabel, std::string("Log10 Time x 2.0E+00 (sec)"));
        const kx::ResultsTables& t = w->Reader().Tables();
        // Time 0 has no logarithm: the chart starts at the second record.
        for (int row = 2; row < t.ResultRowCount; row += 37) {
            QVERIFY(std::fabs(m.At(0).x[row - 2] - std::log10(2 * t.ResultValues(row, 0))) < 1e-12);
            QVERIFY(std::fabs(m.At(0).y[row - 2] - std::log10(1000 * t.ResultValues(row, o2 + 2))) < 1e-8);
        }

        // A species that is never there: nothing to draw, the chart is kept.
        const int ar = SpeciesNumber(*w, "AR");
        QVERIFY(ar > 0);
        w->Option(10)->setChecked(true);
        w->Text(4)->setText("1");
        ScriptedMessages messages;
        DoubleClickRow(w->GridEX(1), ar);
        QCOMPARE(messages.lastText(), QString("You are attempting to plot the function 'AR, Mass Fraction' where all "
                                              "values are zero. The function cannot be plotted."));
        QCOMPARE(Chart().At(0).label, std::string("O2, Log10 Mass Fraction x 1.00E+03"));
        // A scale of 0 is refused before anything is drawn.
        w->Text(4)->setText("0");
        DoubleClickRow(w->GridEX(1), o2);
        QCOMPARE(messages.lastText(), QString("Scaling, please enter a nonzero number."));
    }

    void meanParameterCurves() {
        MenuForm* w = Open(gri);
        w->Option(3)->setChecked(true);
        w->ShowTab(1);
        DoubleClickRow(w->GridEX(3), 1);
        const kx::ResultsTables& t = w->Reader().Tables();
        QCOMPARE(Chart().At(0).label, std::string("Temperature  (K)"));
        for (int row = 1; row < t.ResultRowCount; ++row) QCOMPARE(Chart().At(0).y[row - 1], t.ResultValues(row, 1));
        w->Option(1)->setChecked(true);  // calories
        DoubleClickRow(w->GridEX(3), 5, Qt::ControlModifier);
        QCOMPARE(Chart().Subsets(), 2);
        QCOMPARE(Chart().At(1).label, std::string("Enthalpy  (kcal/mol)"));
        kx::QuantityUnits u = kxtest::TestUnits(0, false);
        u.GasConstantCm3Atm = RPrime();
        const int last = t.ResultRowCount - 1;
        const double h = kx::MeanValueAt(w->Reader(), last, kx::MeanParameter::Enthalpy, u);
        QVERIFY(std::fabs(Chart().At(1).y[last - 1] - h) < 1e-12 * std::fabs(h));
    }

    void rateCurvesOfTheReactionsPage() {
        MenuForm* w = Open(gri);
        w->Option(3)->setChecked(true);
        w->ShowTab(4);
        Prepare(*w, Page::Reactions, "O2");
        kx::platform::Grid* g = w->GridEX(4);
        const int row = RowOfReaction(g, 38);  // H+O2<=>O+OH
        QVERIFY(row > 0);
        // Net, Forward and Reverse are checked: three curves on one chart.
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(row - 1, 1)).center());
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(row - 1, 1)).center());
        kx::chart::ChartModel& m = Chart();
        QCOMPARE(m.Subsets(), 3);
        QCOMPARE(m.At(0).label, std::string("R38,  Net (mol/cm^3 sec)"));
        QCOMPARE(m.At(1).label, std::string("R38,  Forward (mol/cm^3 sec)"));
        QCOMPARE(m.At(2).label, std::string("R38,  Reverse (mol/cm^3 sec)"));
        int compared = 0;
        for (int p = 0; p < m.Points(); ++p) {
            const double net = m.At(0).y[p], forward = m.At(1).y[p], reverse = m.At(2).y[p];
            if (net == kx::kMissingValue || forward == kx::kMissingValue || reverse == kx::kMissingValue) continue;
            QVERIFY(reverse < 0);
            QVERIFY2(std::fabs(forward + reverse - net) <= 1e-8 * forward, qPrintable(QString::number(p)));
            ++compared;
        }
        QVERIFY(compared > 10);
        QCOMPARE(m.At(0).longLabel1, w->Reader().Tables().ReactionEquations[38]);

        // Heat release instead, in the energy unit chosen.
        for (int i = 0; i < 3; ++i) w->Check1(i)->setChecked(false);
        w->Check1(3)->setChecked(true);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(row - 1, 1)).center());
        QCOMPARE(Chart().Subsets(), 1);
        QCOMPARE(Chart().At(0).label, std::string("R38,  Heat  (kJ/cm^3 sec)"));
        // Nothing checked: the user is told.
        w->Check1(3)->setChecked(false);
        ScriptedMessages messages;
        g->SetRow(row);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(messages.lastText(), QString("Reaction rates, please check at least one rate to plot."));
    }

    void derivativeCurvesAndContributions() {
        MenuForm* w = Open(gri);
        w->Option(3)->setChecked(true);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        const int oh = SpeciesNumber(*w, "OH");
        kx::platform::Grid* g = w->GridEX(2);
        const int row = RowOfReaction(g, 38);
        DoubleClickRow(g, row);
        QCOMPARE(Chart().At(0).label, std::string("R38,  to {OH} Deriv (mol/g sec)"));
        kxtest::RecordingSink sink;
        kx::ResultsReader reader(sink, RPrime());
        QVERIFY(reader.OPEN_Rich(gri));
        const auto values = kx::ReactionValues(reader, kx::ReactionQuantity::SpeciesDerivative, 38, oh, kxtest::TestUnits());
        // The chart's points by their time (a leading point without a value is not kept).
        int compared = 0;
        for (int p = 0; p < Chart().Points(); ++p) {
            const double time = Chart().At(0).x[p];
            if (time == kx::kMissingValue) continue;
            const auto& used = reader.Used();
            const auto at = std::find(used.UsedTimes.begin() + 1, used.UsedTimes.end(), time) - used.UsedTimes.begin();
            QVERIFY(at < used.UsedCount);
            QCOMPARE(Chart().At(0).y[p], values[static_cast<std::size_t>(at)]);
            ++compared;
        }
        QVERIFY(compared > 100);

        // "Plot Derivative", added with Ctrl.
        QTest::keyPress(w->Command(4), Qt::Key_Control);
        QTest::mouseClick(w->Command(4), Qt::LeftButton, Qt::ControlModifier);
        QTest::keyRelease(w->Command(4), Qt::Key_Control);
        QCOMPARE(Chart().Subsets(), 2);
        QCOMPARE(Chart().At(1).label, std::string("d{OH}/dt (mol/g sec)"));
    }

    void histogramOfMoreThanAHundredReactions() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        const int n = w->GridEX(2)->RowCount();
        QVERIFY(n > 100);
        // The Species page's current row is another species: the subtitle
        // still names OH.
        w->GridEX(1)->SetRow(SpeciesNumber(*w, "CH4"));
        w->Text(11)->setText("1000");
        QTest::mouseClick(w->Command(3), Qt::LeftButton);
        bed->clock->Advance(300);
        kx::chart::PLOT* plot = kx::chart::TemporaryChart();
        QVERIFY(plot);
        kx::chart::ChartModel& m = plot->Pesgoa1();
        QVERIFY(m.histogram);
        QVERIFY(m.bars.signedBars);
        QCOMPARE(m.Subsets(), n + 2);
        QCOMPARE(m.subTitle, std::string("OH Production"));
        QCOMPARE(m.xAxisLabel, std::string("Production x 1.0E+03 (mol/g)"));
        QCOMPARE(m.At(1).label, "Derivative, " + w->List(Page::Derivatives).SpeciesDerivativeText + " (mol/g)");
        // Bar s holds the s-th reaction of the list as shown, scaled.
        kx::platform::Grid* g = w->GridEX(2);
        for (int s = 2; s <= n + 1; s += 25) {
            QCOMPARE(m.At(s).x[0], g->Value(s - 1, 3).toDouble() * 1000);
            QCOMPARE(m.At(s).y[0], double(s));
            QVERIFY(m.At(s).label.rfind("R" + std::to_string(g->Value(s - 1, 1).toInt()) + ", ", 0) == 0);
            QCOMPARE(m.bars.labels[static_cast<std::size_t>(s)], "R" + std::to_string(g->Value(s - 1, 1).toInt()));
        }
        QVERIFY(plot->View()->BarCount() > 0);
        QVERIFY(!kx::Shared().NewChartPending);
        QVERIFY(m.bars.itemLabels);
    }

    void aShowWithoutReactionsKeepsTheUsersChart() {
        MenuForm* w = Open(gri);
        w->Option(3)->setChecked(true);
        w->ShowTab(2);
        DoubleClickRow(w->GridEX(1), SpeciesNumber(*w, "CH4"));
        kx::chart::PLOT* plot = kx::chart::TemporaryChart();
        QVERIFY(plot);
        w->ShowTab(3);
        QTest::mouseClick(w->Command(3), Qt::LeftButton);
        bed->clock->Advance(300);
        QVERIFY(kx::platform::IsLoaded(plot));
        QCOMPARE(plot->Pesgoa1().Subsets(), 1);
        QVERIFY(!plot->Pesgoa1().histogram);
        QVERIFY(!kx::Shared().NewChartPending);
    }

    void theReactionListAndItsPanelDoNotOverlap() {
        MenuForm* w = Open(gri);
        w->ShowTab(3);
        Prepare(*w, Page::Derivatives, "OH");
        QApplication::processEvents();
        for (auto [tab, grid, panel] : {std::tuple{3, w->GridEX(2), "Frame6"}, std::tuple{4, w->GridEX(4), "Frame5"}}) {
            w->ShowTab(tab);
            QApplication::processEvents();
            QVERIFY(grid->geometry().right() < w->findChild<QGroupBox*>(panel)->geometry().left());
        }
        QVERIFY(w->width() >= w->minimumSizeHint().width());
        // The Reactions page's species box and button are the Derivatives page's.
        QCOMPARE(w->Text(14)->size(), w->Text(7)->size());
        QCOMPARE(w->Command(8)->size(), w->Command(10)->size());
        // A control outside any layout takes the other's place and size.
        QWidget free(w), model(w);
        model.setGeometry(10, 20, 30, 40);
        MenuForm::SetObj(&free, &model);
        QCOMPARE(free.geometry(), QRect(10, 20, 30, 40));
        // The six tab captions fit.
        QVERIFY(w->TabStrip1()->width() >= w->TabStrip1()->tabBar()->sizeHint().width());
    }
};

QTEST_MAIN(MenuFormTest)
#include "MenuFormTest.moc"
