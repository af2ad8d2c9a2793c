// The reduction set-up window on runs of the samples made by the console
// solver: opening from the text window, Prepare's refusals and defaults, the
// grid, Start's checks, the reduced file written, opened and run, and the
// reduced path that names the source or an existing file.
#include "RED_Gen.h"
#include "Scripted.h"

#include "Files.h"
#include "Format.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "RES_ShowFile.h"
#include "SOL_RUN.h"
#include "SolverFileChecks.h"

#include "RunTestSupport.h"
#include "SolverRunFixture.h"
#include "ToolWindowsBed.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::reduction::RED_Gen;

namespace {

namespace fs = std::filesystem;

std::string Line(const std::string& path, int n) { return files::ReadLines(path).at(static_cast<std::size_t>(n) - 1); }

const QString kIdentical = "The paths of source and reduced files are identical; the files must be different.";

}  // namespace

class ReductionWindowTest : public QObject {
    Q_OBJECT

    // Runs made once for all tests; each test works on copies.
    std::unique_ptr<test::TempDir> runs, isoRuns, latin1Runs;
    std::string griRun, isothermalRun, unrun, latin1Run;

    std::unique_ptr<test::ToolWindowsBed> bed;
    std::unique_ptr<shell::FormCreatorInstallation> reductionWindow, runWindow;
    std::string source;  // the GRI run in the test's folder

    std::string copyIn(const std::string& run, const std::string& name) { return bed->CopyIn(run, name); }

    // Opens the file in a text window and the reduction window from its menu.
    RED_Gen* open(const std::string& path) {
        return bed->OpenFromMenu<RED_Gen>(path, "REDKIN_RES", shell::kReductionWindow);
    }

    RED_Gen* prepared(const std::string& reduced) {
        RED_Gen* w = open(source);
        if (!w) return nullptr;
        w->Text5()->setText(platform::ToQ(reduced));
        w->Command7()->click();
        return w;
    }

    static int dataRowOf(RED_Gen* w, const std::string& species) {
        for (std::size_t k = 1; k < w->TargetTable().size(); ++k)
            if (w->TargetTable()[k].Name == species) return static_cast<int>(k);
        return 0;
    }
    static int shownRowOf(RED_Gen* w, const std::string& species) {
        platform::Grid* grid = w->GridEX1();
        for (int r = 1; r <= grid->RowCount(); ++r)
            if (grid->DataRow(r) == dataRowOf(w, species)) return r;
        return 0;
    }
    // Types a parameter into the species' cell, as the grid hands an edit back.
    static bool typeParameter(RED_Gen* w, const std::string& species, const QString& text) {
        QAbstractItemModel* m = w->GridEX1()->model();
        return m->setData(m->index(shownRowOf(w, species) - 1, 4), text, Qt::EditRole);
    }
    // The box has the focus and its whole text is selected.
    static void verifySelected(RED_Gen* w, const QString& name) {
        QLineEdit* box = w->findChild<QLineEdit*>(name);
        QVERIFY(box);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->selectedText(), box->text());
    }
    // The GRI targets of the reduction the engine is checked against.
    static void chooseMethaneTargets(RED_Gen* w) {
        w->Command4()->click();  // Clear All
        for (const char* species : {"CH4", "O2", "CO2"}) QVERIFY(typeParameter(w, species, "0.1"));
        w->Text1(0)->setText("0.1");
    }
    // Prepared on the source with the methane targets chosen.
    RED_Gen* preparedForMethane(const std::string& reduced) {
        RED_Gen* w = prepared(reduced);
        if (w) chooseMethaneTargets(w);
        return w;
    }

private slots:
    void initTestCase() {
        runs = std::make_unique<test::TempDir>();
        isoRuns = std::make_unique<test::TempDir>();
        griRun = kxtest::RunSample(*runs, "gri30_ch4_1400K.txt").string();
        QVERIFY(!griRun.empty());
        isothermalRun = kxtest::RunSample(*isoRuns, "h2_o2_ar_isothermal.txt").string();
        QVERIFY(!isothermalRun.empty());
        unrun = runs->write("unrun/h2_air_1000K.txt", test::ReadBytes(KX_SAMPLES_DIR "/h2_air_1000K.txt"));
        // The isothermal run with argon named "\xC4R" ("ÄR" in Latin-1).
        latin1Runs = std::make_unique<test::TempDir>();
        std::string bytes = test::ReadBytes(KX_SAMPLES_DIR "/h2_o2_ar_isothermal.txt");
        for (std::size_t at = bytes.find("AR"); at != std::string::npos; at = bytes.find("AR", at)) bytes[at] = '\xC4';
        latin1Run = latin1Runs->write("h2_o2_xr.txt", bytes);
        QVERIFY(kxtest::RunSolver(latin1Run));
    }
    void cleanupTestCase() {
        runs.reset();
        isoRuns.reset();
        latin1Runs.reset();
    }

    void init() {
        bed = std::make_unique<test::ToolWindowsBed>(KX_SHIPPED_OPTIONS);
        QVERIFY(!bed->optionsFailed);
        reductionWindow = std::make_unique<shell::FormCreatorInstallation>(
            shell::kReductionWindow, [] { return new RED_Gen; });
        runWindow = std::make_unique<shell::FormCreatorInstallation>(shell::kRunSettingsWindow,
                                                                      [] { return new runs::SOL_RUN; });
        source = copyIn(griRun, "full/gri30_ch4_1400K.txt");
    }
    void cleanup() {
        test::DeleteAllWindows();
        reductionWindow.reset();
        runWindow.reset();
        bed.reset();
    }

    void opensOnTheActiveSolverFileWithNothingPrepared() {
        ScriptedMessages messages;
        RED_Gen* w = open(source);
        QVERIFY(w);
        QVERIFY(shell::FormVisible(w));
        QCOMPARE(w->Text10()->text(), platform::ToQ(source));
        QVERIFY(w->Text10()->isReadOnly());
        QCOMPARE(w->GridEX1()->RowCount(), 0);
        QVERIFY(!w->Command1()->isEnabled());
        QVERIFY(!w->Command4()->isEnabled());
        QVERIFY(w->Command7()->isEnabled());
        QVERIFY(!w->ProgressBar1()->isVisible());
        QVERIFY(!w->Label8()->isVisible());
        QCOMPARE(w->Check2()->isChecked(), false);
        // The grid: five columns, two of them hidden.
        platform::Grid* grid = w->GridEX1();
        QCOMPARE(grid->ColumnCount(), 5);
        QCOMPARE(grid->Column(5).Caption(), QString("Target Parameter"));
        QVERIFY(!grid->Column("Target").Visible());
        QVERIFY(!grid->Column("InitaiCond").Visible());
        QVERIFY(grid->Column(5).Editable());
        QVERIFY(!grid->Column(3).Editable());
        QVERIFY(messages.shown().empty());

        // Reopened from the menu, the window is a new one: there is only ever one.
        auto* text = dynamic_cast<text::RES_ShowFile*>(platform::FindFormByMePath(source));
        text->findChild<QAction*>("REDKIN_RES")->trigger();
        test::Settle();
        QCOMPARE(platform::FindForms(shell::kReductionWindow).size(), size_t(1));
    }

    void prepareRefusesInOrder_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("the source as the reduced file") << "same" << kIdentical << "Text5";
        QTest::newRow("a source that is gone") << "gone"
                                               << "The specified Path/File name '%source' cannot be accessed or is "
                                                  "invalid.\r\nFile not found: %source."
                                               << "Text10";
        QTest::newRow("a folder in place of the source")
            << "source-folder"
            << "The specified Path/File name '%source' cannot be accessed or is invalid.\r\nIt is a folder: %source."
            << "Text10";
        QTest::newRow("no reduced path") << "empty"
                                         << "Reduced file, the specified Path/File name '' cannot be accessed or is "
                                            "invalid.\r\nNo file name is given."
                                         << "Text5";
        QTest::newRow("a reduced path in a missing folder")
            << "nofolder"
            << "Reduced file, the specified Path/File name '%folder/none/r.txt' cannot be accessed or is invalid.\r\n"
               "Path not found: %folder/none/r.txt."
            << "Text5";
        QTest::newRow("a folder as the reduced path")
            << "reduced-folder"
            << "Reduced file, the specified Path/File name '%folder' cannot be accessed or is invalid.\r\n"
               "It is a folder: %folder."
            << "Text5";
        QTest::newRow("a reduced path on a read-only medium")
            << "readonly-medium"
            << "Reduced file, the specified Path/File name '%folder/reduced.txt' cannot be accessed or is invalid.\r\n"
               "The medium is read-only: %folder/reduced.txt."
            << "Text5";
        QTest::newRow("a reduced path on a full disk")
            << "full-disk"
            << "Reduced file, the specified Path/File name '%folder/reduced.txt' cannot be accessed or is invalid.\r\n"
               "The disk is full: %folder/reduced.txt."
            << "Text5";
        QTest::newRow("a source without results") << "unrun" << "In the file '%source', results are not found."
                                                  << "";
    }
    void prepareRefusesInOrder() {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        std::string path = source;
        if (situation == "unrun") path = copyIn(unrun, "h2_air_1000K.txt");
        std::string reduced = bed->folder.dir.file("reduced.txt");
        if (situation == "same") reduced = path;
        if (situation == "empty") reduced = "";
        if (situation == "nofolder") reduced = bed->folder.dir.file("none/r.txt");
        if (situation == "reduced-folder") reduced = bed->folder.path();
        ScriptedMessages messages;
        RED_Gen* w = open(path);
        QVERIFY(w);
        if (situation == "gone") fs::rename(path, path + ".away");
        if (situation == "source-folder") {
            path = fs::path(path).parent_path().string();
            w->Text10()->setText(platform::ToQ(path));
        }
        w->Text5()->setText(platform::ToQ(reduced));
        {
            std::optional<files::SimulatedWriteFailure> refused;
            if (situation == "readonly-medium") refused.emplace(EROFS, files::WriteStep::MakeTemporary);
            if (situation == "full-disk") refused.emplace(ENOSPC, files::WriteStep::WriteBytes);
            w->Command7()->click();
        }
        if (situation == "readonly-medium" || situation == "full-disk") QVERIFY(!fs::exists(reduced));

        QCOMPARE(messages.shown().size(), size_t(1));
        message.replace("%source", platform::ToQ(path)).replace("%folder", platform::ToQ(bed->folder.path()));
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        if (!focus.isEmpty()) verifySelected(w, focus);
        QCOMPARE(w->GridEX1()->RowCount(), 0);
        QVERIFY(!w->Command1()->isEnabled());
        QVERIFY(!fs::exists(bed->folder.dir.file("reduced.txt")));
        if (situation != "gone" && situation != "source-folder")
            QCOMPARE(test::ReadBytes(path), test::ReadBytes(situation == "unrun" ? unrun : griRun));
    }

    void prepareFillsTheTargetsAndTheDefaults() {
        ScriptedMessages messages;
        RED_Gen* w = prepared(bed->folder.dir.file("reduced.txt"));
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        QCOMPARE(w->TargetTable().size(), size_t(54));
        platform::Grid* grid = w->GridEX1();
        QCOMPARE(grid->RowCount(), 53);
        QCOMPARE(grid->CellText(1, 1), QString("1"));
        QCOMPARE(grid->CellText(14, 3), QString("CH4"));
        // The species of the initial mixture are targets at 0.1, drawn in the highlight colour.
        const QColor highlight = platform::ToQColor(Shared().HighlightColor);
        for (const char* species : {"CH4", "O2", "N2"}) {
            QCOMPARE(grid->CellText(shownRowOf(w, species), 5), QString("0.1"));
            QCOMPARE(grid->CellTextColour(shownRowOf(w, species), 3), highlight);
        }
        QCOMPARE(grid->CellText(shownRowOf(w, "CO2"), 5), QString());
        QVERIFY(!grid->CellTextColour(shownRowOf(w, "CO2"), 3).isValid());
        QCOMPARE(w->Text1(0)->text(), QString("0.1"));  // the run solved the energy equation
        QVERIFY(w->Text1(0)->isVisible());
        QCOMPARE(w->Label4()->text(), QString("Temperature"));
        QCOMPARE(w->Text1(1)->text(), QString("0.3"));
        QCOMPARE(w->Text4()->text(), QString("1"));
        QVERIFY(w->PointCount() > 100);
        QCOMPARE(w->Text6()->text(), QString::number(w->PointCount() - 1));
        QVERIFY(w->Command1()->isEnabled());
        QVERIFY(w->Command4()->isEnabled());
        QVERIFY(w->Label8()->isVisible());
        QCOMPARE(w->Label8()->text(), QString("Highlighted species have nonzero initial concentrations."));

        // Prepare again resets what was changed.
        QVERIFY(typeParameter(w, "CO2", "0.5"));
        w->Text1(1)->setText("0.7");
        w->Text4()->setText("3");
        w->Command7()->click();
        QCOMPARE(grid->CellText(shownRowOf(w, "CO2"), 5), QString());
        QCOMPARE(w->Text1(1)->text(), QString("0.3"));
        QCOMPARE(w->Text4()->text(), QString("1"));

        // At constant temperature the temperature is never a target.
        source = copyIn(isothermalRun, "iso/h2_o2_ar_isothermal.txt");
        RED_Gen* iso = prepared(bed->folder.dir.file("iso/reduced.txt"));
        QVERIFY(iso);
        QVERIFY(!iso->Text1(0)->isVisible());
        QCOMPARE(iso->Text1(0)->text(), QString());
        QCOMPARE(iso->Label4()->text(), QString("Constant Temperature"));
        QCOMPARE(iso->GridEX1()->CellText(shownRowOf(iso, "AR"), 5), QString("0.1"));
    }

    // A source whose results stop short: Prepare says once where they end
    // and that the reduction works over the time they cover; the steps and
    // intervals offered are those of the records that are there.
    void anIncompleteSourceIsReducedOverTheTimeItCovers_data() {
        QTest::addColumn<int>("cut");
        QTest::newRow("cut in half") << static_cast<int>(kxtest::ResultsCut::InHalf);
        QTest::newRow("cut between records") << static_cast<int>(kxtest::ResultsCut::BetweenRecords);
        QTest::newRow("cut within a record") << static_cast<int>(kxtest::ResultsCut::WithinARecord);
        QTest::newRow("no closing line") << static_cast<int>(kxtest::ResultsCut::NoClosingLine);
    }
    void anIncompleteSourceIsReducedOverTheTimeItCovers() {
        QFETCH(int, cut);
        const kxtest::CutRun c = kxtest::CutResults(test::ReadBytes(griRun), 2, static_cast<kxtest::ResultsCut>(cut));
        source = bed->folder.dir.write("cut/gri-cut.txt", c.text);
        const std::string reduced = bed->folder.dir.file("cut/reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        const std::string end = Format(c.lastTime, "0.000000E+00");
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("In the file '" + source + "', results are incomplete: they end at " +
                                                    end + " s of the run's final time 1.000000E-02 s. The reduction "
                                                    "works only over the time they cover, 0.000000E+00 to " + end + " s."));
        QCOMPARE(messages.shown()[0].style, 48);
        QVERIFY(w->Command1()->isEnabled());
        QCOMPARE(w->PointCount(), c.records);
        QCOMPARE(w->Text6()->text(), QString::number(c.records - 1));

        // All steps in one interval: it ends at the last time there.
        w->Text4()->setText(w->Text6()->text());
        w->Command1()->click();
        QCOMPARE(w->Intervals().size(), size_t(1));
        QCOMPARE(Format(w->Intervals()[0].Start, "0.000000E+00"), std::string("0.000000E+00"));
        QCOMPARE(Format(w->Intervals()[0].End, "0.000000E+00"), end);
        QVERIFY(w->LastOutcome().Written);
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(test::ReadBytes(source), c.text);
    }

    void clearAllEmptiesTheTargetsAndTheHeadersSort() {
        ScriptedMessages messages;
        RED_Gen* w = prepared(bed->folder.dir.file("reduced.txt"));
        QVERIFY(w);
        platform::Grid* grid = w->GridEX1();
        QVERIFY(typeParameter(w, "OH", " 0.2 "));
        QCOMPARE(w->TargetTable()[static_cast<std::size_t>(dataRowOf(w, "OH"))].Parameter, std::string(" 0.2 "));
        QCOMPARE(grid->CellText(shownRowOf(w, "OH"), 5), QString("0.2"));  // shown without its blanks

        QHeaderView* header = grid->horizontalHeader();
        auto clickHeader = [&](int column) { emit header->sectionClicked(column - 1); };
        clickHeader(3);
        QCOMPARE(grid->CellText(1, 3), QString("AR"));
        clickHeader(3);
        QCOMPARE(grid->CellText(53, 3), QString("AR"));  // "Species" twice: reversed
        clickHeader(1);
        clickHeader(1);
        QCOMPARE(grid->CellText(1, 1), QString("1"));  // "No" stays ascending

        w->Command4()->click();
        for (int r = 1; r <= grid->RowCount(); ++r) QCOMPARE(grid->CellText(r, 5), QString());
        QCOMPARE(w->Text1(0)->text(), QString());
        QCOMPARE(w->Text1(1)->text(), QString("0.3"));
        QCOMPARE(w->Text4()->text(), QString("1"));
        QCOMPARE(grid->CellTextColour(shownRowOf(w, "CH4"), 3), platform::ToQColor(Shared().HighlightColor));
        QVERIFY(messages.shown().empty());
    }

    void startRefusesWrongEntriesInOrder_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("species parameter")
            << "species" << "The 'CH4' parameter is incorrect. If you want to use this species as target, then enter "
                            "a number on the interval (0, 1). If his species is not a target, enter blank space."
            << "GridEX1";
        QTest::newRow("others blank") << "others-blank"
                                      << "Non target parameter, please enter a number on the interval (0, 1)."
                                      << "Text1_1";
        QTest::newRow("temperature") << "temperature"
                                     << "Temperature parameter is incorrect. If temperature is a target, enter a "
                                        "number on the interval (0, 1). If temperature is not a target, enter blank "
                                        "space."
                                     << "Text1_0";
        QTest::newRow("no targets") << "no-targets"
                                    << "The number of targets is zero. For targets (temperature and/or species), enter "
                                       "parameters on the interval (0,1)."
                                    << "";
        QTest::newRow("averaged steps") << "steps"
                                        << "The number of averaged steps, please enter a positive number on the "
                                           "interval [1,%largest]."
                                        << "Text4";
        QTest::newRow("program file") << "pg"
                                      << "Result file, the specified Path/File name cannot be accessed or is "
                                         "invalid.\r\nA solver file is not written with the extension '.PG': the "
                                         "extensions exe, pdb, dll, pdf and pg are kept for other files."
                                      << "Text5";
        QTest::newRow("source typed after Prepare") << "source" << kIdentical << "Text5";
    }
    void startRefusesWrongEntriesInOrder() {
        QFETCH(QString, change);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const std::string reduced = bed->folder.dir.file("reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        // Each case also holds the faults checked after its own, which must not be reached.
        w->Text4()->setText("0.4");
        if (change == "species") {
            QVERIFY(typeParameter(w, "CH4", "1.5"));
            w->Text1(1)->setText("");
        }
        if (change == "others-blank") {
            w->Text1(1)->setText("   ");
            w->Text1(0)->setText("x");
        }
        if (change == "temperature") w->Text1(0)->setText("-0.1");
        if (change == "no-targets") {
            w->Command4()->click();
            w->Text1(0)->setText("  ");
        }
        if (change == "pg") {
            w->Text4()->setText("1");
            w->Text5()->setText(platform::ToQ(bed->folder.dir.file("reduced.PG")));
        }
        if (change == "source") w->Text5()->setText(platform::ToQ(source));
        w->Command1()->click();

        QCOMPARE(messages.shown().size(), size_t(1));
        message.replace("%largest", QString::number(w->PointCount() - 1));
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown()[0].style, 48);
        if (focus == "GridEX1") {
            QCOMPARE(w->GridEX1()->Row(), shownRowOf(w, "CH4"));  // the offending row is current
        } else if (!focus.isEmpty()) {
            verifySelected(w, focus);
        }
        QVERIFY(!fs::exists(reduced));
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(griRun));
        QVERIFY(w->Command1()->isEnabled());
    }

    void aParameterBeingEditedIsCheckedAtStart() {
        ScriptedMessages messages;
        RED_Gen* w = prepared(bed->folder.dir.file("reduced.txt"));
        QVERIFY(w);
        platform::Grid* grid = w->GridEX1();
        grid->SetRow(shownRowOf(w, "O2"));
        grid->SetCol(5);
        grid->edit(grid->currentIndex());
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (!e->isHidden()) editor = e;
        QVERIFY(editor);
        editor->setText("7");  // typed, not yet handed back
        w->Command1()->click();
        QCOMPARE(messages.lastText().left(25), QString("The 'O2' parameter is inc"));
        QCOMPARE(w->TargetTable()[static_cast<std::size_t>(dataRowOf(w, "O2"))].Parameter, std::string("7"));
        QVERIFY(!grid->Editing());
    }

    void averagedStepsAreRoundedAndCutTheRunIntoIntervals() {
        ScriptedMessages messages;
        const std::string reduced = bed->folder.dir.file("reduced.txt");
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        const int steps = w->PointCount() - 1;
        w->Text4()->setText(QString::number(steps - 0.5));  // halves go to the even number
        w->Command1()->click();
        const int rounded = (steps % 2 == 0) ? steps : steps - 1;
        QCOMPARE(w->Text4()->text(), QString::number(rounded));
        QCOMPARE(w->Intervals().size(), size_t(rounded == steps ? 1 : 2));
        QVERIFY(w->LastOutcome().Written);
        QVERIFY(fs::exists(reduced));
        QVERIFY(!w->ProgressBar1()->isVisible());
        QVERIFY(w->Command1()->isEnabled() && w->Command7()->isEnabled() && w->Command3()->isEnabled());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    // The window gives what the engine gives: 47 species and 163 reactions
    // for methane, oxygen, carbon dioxide and the temperature, one step per
    // interval; with "Start Reduced Mechanism" the file opens and runs.
    void theGriReductionIsWrittenOpenedAndRun() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_EXE);
        const std::string reduced = bed->folder.dir.file("reduced/gri_reduced.txt");
        fs::create_directories(fs::path(reduced).parent_path());
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        chooseMethaneTargets(w);
        w->Check2()->setChecked(true);
        w->Command1()->click();
        test::Settle();

        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("Reduced reaction mechanism has been created  successfully. \r\n"
                                                    "The mechanism consists of\r\n47 species, \r\n163 reactions.\r\n"
                                                    "Reduced solver file: " + reduced));
        QCOMPARE(messages.shown()[0].style, 64);
        QCOMPARE(Line(reduced, 10), std::string(" 47 !Species"));
        QCOMPARE(Line(reduced, 11), std::string(" 163 !Reactions"));
        QVERIFY(Line(reduced, 12).starts_with(" 4 -1 "));
        QCOMPARE(Shared().ReducedFilePath, reduced);
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(griRun));

        // The reduced file is in a text window, the reduction window is gone,
        // and the run-settings window opens on the reduced file.
        QVERIFY(!platform::FindForm(shell::kReductionWindow));
        QVERIFY(platform::FindFormByMePath(reduced));
        bed->clock->Advance(500);
        auto* settings = dynamic_cast<runs::SOL_RUN*>(platform::FindForm(shell::kRunSettingsWindow));
        QVERIFY(settings);
        QCOMPARE(settings->RunFilePath(), reduced);
        QCOMPARE(settings->GridEX1()->RowCount(), 47);

        test::HeadlessRunner runner;
        messages.Answer(platform::kAnswerNo);
        settings->Command5()->click();
        test::Settle();
        QCOMPARE(messages.lastText(),
                 QString("The chemical kinetic problem has been successfully solved.\r\n\r\nShow results?"));
        bool failed = true;
        std::string why;
        runs::CheckResultsComplete(reduced, failed, why);
        QVERIFY2(!failed, why.c_str());
    }

    // Start writes the source's lines as they are then with the reactions
    // as Prepare read them: a source changed in between is refused, and
    // nothing is written.
    void aSourceChangedAfterPrepareIsRefusedAtStart() {
        const std::string reduced = bed->folder.dir.file("reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = preparedForMethane(reduced);
        QVERIFY(w);
        const std::string other = test::ReadBytes(isothermalRun);
        bed->folder.dir.write("full/gri30_ch4_1400K.txt", other);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("The solver file '" + source +
                                                    "' has been changed on disk since Prepare read it. Press "
                                                    "Prepare to read it again."));
        QCOMPARE(messages.shown()[0].style, 48);
        QVERIFY(!fs::exists(reduced));
        QCOMPARE(test::ReadBytes(source), other);
        QVERIFY(platform::FindForm(shell::kReductionWindow));
        // A source taken away is not said to be changed.
        fs::rename(source, source + ".away");
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.lastText(),
                 platform::ToQ("The solver file '" + source + "' has been removed or renamed since Prepare read it."));
        QVERIFY(!fs::exists(reduced));
    }

    // A window that shows an older reduced file under another spelling of
    // its path makes way: the new file is the one shown and run.
    void anOlderReducedFileUnderAnotherSpellingMakesWay() {
        const std::string reduced = bed->folder.dir.file("gri_reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = preparedForMethane(reduced);
        QVERIFY(w);
        w->Command1()->click();
        QVERIFY(w->LastOutcome().Written);
        shell::OpenFileByType(bed->folder.dir.path() + "//./gri_reduced.txt");

        w = preparedForMethane(reduced);
        QVERIFY(w);
        w->Text1(1)->setText("0.5");
        w->Check2()->setChecked(true);
        w->Command1()->click();
        test::Settle();
        QVERIFY(Line(reduced, 12).ends_with("Others 5.000E-01"));
        std::vector<text::RES_ShowFile*> shown;
        for (platform::Form* f : platform::FindForms(shell::kTextWindow))
            if (auto* t = dynamic_cast<text::RES_ShowFile*>(f); t && files::SameFile(t->MePath(), reduced)) shown.push_back(t);
        QCOMPARE(shown.size(), size_t(1));
        QVERIFY(shown[0]->RichTextBox1()->toPlainText().contains("Others 5.000E-01"));
        bed->clock->Advance(500);
        auto* settings = dynamic_cast<runs::SOL_RUN*>(platform::FindForm(shell::kRunSettingsWindow));
        QVERIFY(settings);
        QVERIFY(files::SameFile(settings->RunFilePath(), reduced));
    }

    // Another spelling of the source is refused before anything is tested or
    // written, at Prepare and at Start; the source stays byte for byte.
    void theSourceUnderAnotherNameIsRefused_data() {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("alias") << "alias";
        QTest::newRow("symbolic link") << "symlink";
        QTest::newRow("hard link") << "hardlink";
        QTest::newRow("relative") << "relative";
        QTest::newRow("letter case") << "case";
    }
    void theSourceUnderAnotherNameIsRefused() {
        QFETCH(QString, spelling);
        const fs::path folder = fs::path(source).parent_path();
        std::string other;
        if (spelling == "alias") other = folder.string() + "/../full/./gri30_ch4_1400K.txt ";
        if (spelling == "symlink") {
            other = bed->folder.dir.file("link.txt");
            fs::create_symlink(source, other);
        }
        if (spelling == "hardlink") {
            other = bed->folder.dir.file("hard.txt");
            fs::create_hard_link(source, other);
        }
        if (spelling == "case") other = folder.string() + "/GRI30_CH4_1400K.txt";
        const fs::path cwd = fs::current_path();
        if (spelling == "relative") {
            fs::current_path(folder);
            other = "gri30_ch4_1400K.txt";
        }
        ScriptedMessages messages;
        RED_Gen* w = prepared(other);
        QVERIFY(w);
        QCOMPARE(messages.lastText(), kIdentical);
        QVERIFY(!w->Command1()->isEnabled());

        w->Text5()->setText(platform::ToQ(bed->folder.dir.file("reduced.txt")));
        w->Command7()->click();
        QVERIFY(w->Command1()->isEnabled());
        chooseMethaneTargets(w);
        w->Check2()->setChecked(true);
        w->Text5()->setText(platform::ToQ(other));
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.lastText(), kIdentical);
        fs::current_path(cwd);
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(griRun));
        QVERIFY(!fs::exists(bed->folder.dir.file("reduced.txt")));
        QCOMPARE(platform::FindForms(shell::kTextWindow).size(), size_t(1));
    }

    // A reduced path typed without a folder, or relative to one, names a
    // file beside the source, whatever the program's working folder: the
    // box shows that file once it is left, and at Start; the refusal of the
    // source, the question about another file and the success message
    // name it; nothing is written into the working folder.
    void aNameWithoutAFolderGoesBesideTheSource_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("full");  // from the source's folder
        QTest::addColumn<QString>("outcome");
        QTest::newRow("a name") << "red2.txt" << "red2.txt" << "written";
        QTest::newRow("blanks and a subfolder") << "  ./sub/red3.txt " << "sub/red3.txt" << "written";
        QTest::newRow("the source's name") << "gri30_ch4_1400K.txt" << "gri30_ch4_1400K.txt" << "identical";
        QTest::newRow("a file of the user's") << "notes.txt" << "notes.txt" << "asked";
    }
    void aNameWithoutAFolderGoesBesideTheSource() {
        QFETCH(QString, typed);
        QFETCH(QString, full);
        QFETCH(QString, outcome);
        const fs::path folder = fs::path(source).parent_path();
        fs::create_directories(folder / "sub");
        const std::string notes = bed->folder.dir.write("full/notes.txt", "notes\r\n");
        const std::string expected = (folder / platform::FromQ(full)).string();
        const fs::path cwd = fs::current_path();
        const fs::path elsewhere = bed->folder.dir.file("elsewhere");
        fs::create_directories(elsewhere);
        fs::current_path(elsewhere);

        ScriptedMessages messages;
        RED_Gen* w = open(source);
        QVERIFY(w);
        // Typed, then the box is left: it shows the file to be written.
        w->activateWindow();
        w->Text5()->setFocus();
        QTest::keyClicks(w->Text5(), typed);
        w->Text1(1)->setFocus();
        QCOMPARE(w->Text5()->text(), platform::ToQ(expected));
        QCOMPARE(w->Text5()->toolTip(), platform::ToQ(expected));

        // Prepared on another path, then typed again and started at once.
        w->Text5()->setText(platform::ToQ(bed->folder.dir.file("full/other.txt")));
        w->Command7()->click();
        QVERIFY(w->Command1()->isEnabled());
        chooseMethaneTargets(w);
        w->Text5()->setText(typed);
        if (outcome == "asked") messages.Answer(platform::kAnswerNo);
        w->Command1()->click();
        fs::current_path(cwd);
        QCOMPARE(w->Text5()->text(), platform::ToQ(expected));
        QVERIFY(fs::is_empty(elsewhere));
        QCOMPARE(messages.shown().size(), size_t(1));
        if (outcome == "written") {
            QCOMPARE(messages.lastText(), platform::ToQ("Reduced reaction mechanism has been created  successfully. \r\n"
                                                        "The mechanism consists of\r\n47 species, \r\n163 reactions.\r\n"
                                                        "Reduced solver file: " + expected));
            QVERIFY(Line(expected, 1).starts_with(" !$Kinovex Solver,  "));
            QCOMPARE(Shared().ReducedFilePath, expected);
        }
        if (outcome == "identical") QCOMPARE(messages.lastText(), kIdentical);
        if (outcome == "asked")
            QCOMPARE(messages.lastText(), platform::ToQ("The file '" + expected +
                                                        "' already exists and is not a solver file.\r\nReplace it "
                                                        "with the reduced solver file?"));
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(griRun));
        QCOMPARE(test::ReadBytes(notes), std::string("notes\r\n"));
    }

    // A reduction that keeps nothing writes nothing: a file already at the
    // reduced path stays as it was, and nothing is opened or run.
    void anExistingReducedFileStaysWhenNothingIsWritten() {
        const std::string reduced = bed->folder.dir.write("reduced.txt", "an earlier file\r\n");
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        QCOMPARE(test::ReadBytes(reduced), std::string("an earlier file\r\n"));
        w->Command4()->click();
        w->Text1(0)->setText("1");  // the temperature alone, keeping no reaction
        w->Check2()->setChecked(true);
        messages.Answer(platform::kAnswerYes);  // replace the earlier file, which is no solver file
        w->Command1()->click();
        test::Settle();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.lastText(),
                 QString("The reaction mechanism consists of \r\n0 species, \r\n0 reactions. \r\nThe file has not "
                         "been created."));
        QCOMPARE(messages.shown()[1].style, 48);
        QVERIFY(!w->LastOutcome().Written);
        QCOMPARE(test::ReadBytes(reduced), std::string("an earlier file\r\n"));
        QVERIFY(!platform::FindFormByMePath(reduced));
        bed->clock->Advance(1000);
        QVERIFY(!platform::FindForm(shell::kRunSettingsWindow));
        QVERIFY(platform::FindForm(shell::kReductionWindow));

        // A reduction that keeps something replaces it whole.
        chooseMethaneTargets(w);
        w->Check2()->setChecked(false);
        messages.Answer(platform::kAnswerYes);
        w->Command1()->click();
        QVERIFY(w->LastOutcome().Written);
        QCOMPARE(Line(reduced, 10), std::string(" 47 !Species"));
        int entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(bed->folder.path())) ++entries;
        QCOMPARE(entries, 3);  // AssistFiles, full/ and the reduced file: no probe or temporary file is left
    }

    // A reduction the solver could not run is refused: the isothermal run
    // with water alone as a target at 1 keeps water and no reaction, and
    // water is not in the initial mixture. Nothing is written, opened or run.
    void anUnrunnableReductionIsRefused() {
        source = copyIn(isothermalRun, "iso/h2_o2_ar_isothermal.txt");
        const std::string reduced = bed->folder.dir.file("iso/reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        w->Command4()->click();
        QVERIFY(typeParameter(w, "H2O", "1.0"));
        w->Check2()->setChecked(true);
        w->Command1()->click();
        test::Settle();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(),
                 QString("The reduced reaction mechanism consists of \r\n1 species, \r\n0 reactions. \r\n"
                         "The solver cannot run it:\r\n"
                         "- it has no reactions: none of the target species' reactions is kept at the parameters given;\r\n"
                         "- none of its species has a nonzero initial concentration (none is highlighted in the list "
                         "of targets).\r\n"
                         "The file has not been created."));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QVERIFY(!w->LastOutcome().Written);
        QVERIFY(!fs::exists(reduced));
        QVERIFY(!platform::FindFormByMePath(reduced));
        bed->clock->Advance(1000);
        QVERIFY(!platform::FindForm(shell::kRunSettingsWindow));
        QCOMPARE(platform::FindForms(shell::kTextWindow).size(), size_t(1));
        QVERIFY(platform::FindForm(shell::kReductionWindow));
        QVERIFY(w->Command1()->isEnabled());
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(isothermalRun));
    }

    // A typed path to a file that is no solver file is asked about before
    // the reduction runs; No keeps it byte for byte and writes nothing, Yes
    // replaces it. The reduced file written then is a solver file, replaced
    // again without a question, and so is a file that Browse chose.
    void aTypedPathToAnotherFileIsAskedAbout() {
        source = copyIn(isothermalRun, "iso/h2_o2_ar_isothermal.txt");
        const std::string report = bed->folder.dir.write("iso/report.txt", "Summary of the hydrogen runs\r\n");
        const QString question = platform::ToQ("The file '" + report +
                                               "' already exists and is not a solver file.\r\nReplace it with the "
                                               "reduced solver file?");
        ScriptedMessages messages;
        RED_Gen* w = prepared(bed->folder.dir.file("iso/other.txt"));
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        w->Text5()->setText(platform::ToQ(report));
        w->Check2()->setChecked(true);
        messages.Answer(platform::kAnswerNo);
        w->Command1()->click();
        test::Settle();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), question);
        QCOMPARE(messages.shown()[0].style, 48 + 4 + 256);  // No is the default answer
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(test::ReadBytes(report), std::string("Summary of the hydrogen runs\r\n"));
        QVERIFY(!w->LastOutcome().Written);
        verifySelected(w, "Text5");
        QVERIFY(!platform::FindFormByMePath(report));
        QVERIFY(platform::FindForm(shell::kReductionWindow));

        w->Check2()->setChecked(false);
        messages.Answer(platform::kAnswerYes);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(messages.shown()[1].text, question);
        QCOMPARE(messages.shown()[2].style, 64);  // created
        QVERIFY(w->LastOutcome().Written);
        QVERIFY(Line(report, 1).starts_with(" !$Kinovex Solver,  "));
        const std::string firstReduction = test::ReadBytes(report);

        // Now a solver file: replaced without a question.
        w->Text1(1)->setText("0.5");
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(4));
        QCOMPARE(messages.shown()[3].style, 64);
        QVERIFY(test::ReadBytes(report) != firstReduction);
        QVERIFY(Line(report, 12).ends_with("Others 5.000E-01"));

        // Browse asked about the file it chose; Start does not ask again.
        const std::string notes = bed->folder.dir.write("iso/notes.txt", "notes\r\n");
        platform::testing::ScriptedDialogs dialogs;
        dialogs.ChooseSave(platform::ToQ(notes));
        w->Command8()->click();
        QCOMPARE(w->Text5()->text(), platform::ToQ(notes));
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(5));
        QCOMPARE(messages.shown()[4].style, 64);
        QVERIFY(Line(notes, 1).starts_with(" !$Kinovex Solver,  "));
    }

    // A typed path to a solver file that no reduction wrote (another run of
    // the user's) is asked about too; No keeps it byte for byte. The file a
    // Start wrote is replaced by the next Start without a question, until
    // another program changes it.
    void aTypedPathToAnotherSolverFileIsAskedAbout() {
        source = copyIn(isothermalRun, "iso/h2_o2_ar_isothermal.txt");
        const std::string other = copyIn(isothermalRun, "iso/second_run.txt");
        const std::string original = test::ReadBytes(other);
        const QString question =
            platform::ToQ("The file '" + other + "' already exists.\r\nReplace it with the reduced solver file?");
        ScriptedMessages messages;
        RED_Gen* w = prepared(bed->folder.dir.file("iso/other.txt"));
        QVERIFY(w);
        w->Text5()->setText(platform::ToQ(other));
        messages.Answer(platform::kAnswerNo);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), question);
        QCOMPARE(messages.shown()[0].style, 48 + 4 + 256);  // No is the default answer
        QCOMPARE(test::ReadBytes(other), original);
        QVERIFY(!w->LastOutcome().Written);

        messages.Answer(platform::kAnswerYes);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(messages.shown()[2].style, 64);  // created
        QVERIFY(w->LastOutcome().Written);

        w->Text1(1)->setText("0.5");
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(4));
        QCOMPARE(messages.shown()[3].style, 64);
        QVERIFY(Line(other, 12).ends_with("Others 5.000E-01"));

        // Another program writes the reduced file: the next Start asks.
        const std::string edited = test::ReadBytes(other) + " edited elsewhere\r\n";
        bed->folder.dir.write("iso/second_run.txt", edited);
        messages.Answer(platform::kAnswerNo);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(5));
        QCOMPARE(messages.shown()[4].text, question);
        QCOMPARE(test::ReadBytes(other), edited);
    }

    // A species name is the file's bytes, Latin-1 characters: the grid and
    // the refusal show the characters, the reduced file keeps the bytes.
    void aSpeciesNameBeyondAsciiIsShownAndKept() {
        source = copyIn(latin1Run, "latin1/h2_o2_xr.txt");
        const std::string reduced = bed->folder.dir.file("latin1/reduced.txt");
        ScriptedMessages messages;
        RED_Gen* w = prepared(reduced);
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        const int row = shownRowOf(w, platform::FromQ("ÄR"));
        QVERIFY(row > 0);
        QCOMPARE(w->GridEX1()->CellText(row, 3), QString("ÄR"));
        QCOMPARE(w->GridEX1()->CellText(row, 5), QString("0.1"));  // in the initial mixture

        QVERIFY(typeParameter(w, platform::FromQ("ÄR"), "2"));
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY2(messages.lastText().startsWith("The 'ÄR' parameter is incorrect."), qPrintable(messages.lastText()));
        QCOMPARE(w->GridEX1()->Row(), row);

        QVERIFY(typeParameter(w, platform::FromQ("ÄR"), "0.1"));
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.shown()[1].style, 64);
        const std::string written = test::ReadBytes(reduced);
        QVERIFY(written.find(" \xC4R ") != std::string::npos);
        QVERIFY(written.find("\xC3\x84") == std::string::npos);
    }

    // Folders and names beyond ASCII are taken as they are: the source shows
    // and is read, the Save dialog starts in its folder, the messages quote
    // the paths, and the reduced file gets exactly the typed name, no other.
    void pathsBeyondAsciiAreTakenAsTyped_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("accented name in a plain folder") << "runs" << "réduit é.txt";
        QTest::newRow("Greek and accents") << "Δt résultats" << "réduit.txt";
        QTest::newRow("nested, German and Greek") << "Messungen/Δt-Reihe" << "Größen Δ.txt";
        QTest::newRow("Cyrillic") << "измерения" << "сокращённый.txt";
        QTest::newRow("Chinese") << "测量" << "简化.txt";
    }
    void pathsBeyondAsciiAreTakenAsTyped() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        source = copyIn(isothermalRun, platform::FromQ(folder + "/h2_o2_ar_isothermal.txt"));
        const QString folderPath = platform::ToQ(bed->folder.path()) + "/" + folder;
        const QString reduced = folderPath + "/" + name;
        ScriptedMessages messages;
        platform::testing::ScriptedDialogs dialogs;
        RED_Gen* w = open(source);
        QVERIFY(w);
        QCOMPARE(w->Text10()->text(), folderPath + "/h2_o2_ar_isothermal.txt");

        // Browse with no reduced name starts in the source's folder and
        // shows the name chosen; with a name it starts on that name.
        dialogs.ChooseSave(reduced);
        w->Command8()->click();
        QCOMPARE(dialogs.requests().at(0).file.initDir, folderPath);
        QCOMPARE(w->Text5()->text(), reduced);
        dialogs.Cancel(ScriptedDialogs::Kind::Save);
        w->Command8()->click();
        QCOMPARE(dialogs.requests().at(1).file.fileName, reduced);
        QCOMPARE(w->Text5()->text(), reduced);

        // A folder that is not there is named in the refusal.
        const QString missing = folderPath + "/fehlt é/" + name;
        w->Text5()->setText(missing);
        w->Command7()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), "Reduced file, the specified Path/File name '" + missing +
                                          "' cannot be accessed or is invalid.\r\nPath not found: " + missing + ".");

        // The source is read.
        w->Text5()->setText(reduced);
        w->Command7()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(w->GridEX1()->RowCount() > 0);
        QVERIFY(w->Command1()->isEnabled());

        // Another file at the typed path is named in the question.
        const QString other = folderPath + "/notes é Δ.txt";
        bed->folder.dir.write(platform::FromQ(folder + "/notes é Δ.txt"), "notes\r\n");
        w->Text5()->setText(other);
        messages.Answer(platform::kAnswerNo);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(2));
        QCOMPARE(messages.lastText(), "The file '" + other +
                                          "' already exists and is not a solver file.\r\nReplace it with the reduced "
                                          "solver file?");
        QCOMPARE(test::ReadBytes(platform::FromQ(other)), std::string("notes\r\n"));

        // Written under the typed name.
        w->Text5()->setText(reduced);
        w->Command1()->click();
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(messages.shown()[2].style, 64);
        QVERIFY(w->LastOutcome().Written);
        QCOMPARE(Shared().ReducedFilePath, platform::FromQ(reduced));
        QVERIFY(Line(platform::FromQ(reduced), 1).starts_with(" !$Kinovex Solver,  "));
        QStringList names;
        for (const auto& e : fs::directory_iterator(fs::path(platform::FromQ(folderPath))))
            names << platform::ToQ(e.path().filename().string());
        names.sort();
        QStringList expected{"h2_o2_ar_isothermal.txt", "notes é Δ.txt", name};
        expected.sort();
        QCOMPARE(names, expected);
        QCOMPARE(test::ReadBytes(source), test::ReadBytes(isothermalRun));
    }
};

QTEST_MAIN(ReductionWindowTest)
#include "ReductionWindowTest.moc"
