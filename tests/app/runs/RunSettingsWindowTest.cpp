// The run-settings window: loading a solver file, the warning about missing
// thermodynamic data, the grid, defaults, saved settings, the last step,
// and the Run command's refusals and rewrite.
#include "SOL_RUN.h"
#include "Scripted.h"

#include "Files.h"
#include "FormRegistry.h"
#include "Grid.h"
#include "MDIForm1.h"
#include "SavedSettings.h"
#include "Timer.h"

#include "RunFileText.h"
#include "RunTestSupport.h"
#include "DesktopTestSupport.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::runs::SOL_RUN;
using kx::test::ResultsLine;
using kx::test::RunFileText;

class RunSettingsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestBed> bed;

    SOL_RUN* open(const std::string& path) {
        auto* w = new SOL_RUN;
        w->GETPASS(path, "caption");
        return w;
    }
    std::string write(const std::string& name, const RunFileText& file) {
        return bed->folder.dir.write(name, file.bytes());
    }
    std::string savedFile() const { return bed->folder.assist(runs::kSavedSettingsName); }

    // The fraction cell of grid row r as the user types into it.
    static void typeFraction(SOL_RUN* w, int row, const QString& text) {
        platform::Grid* grid = w->GridEX1();
        QVERIFY(grid->model()->setData(grid->model()->index(row - 1, 3), text, Qt::EditRole));
    }

private slots:
    void init() { bed = std::make_unique<test::WindowTestBed>(); }
    void cleanup() { bed.reset(); }

    void loadsTheSettingsSpeciesAndReactions() {
        const std::string path =
            bed->folder.dir.write("h2_air_1000K.txt", test::ReadBytes(KX_SAMPLES_DIR "/h2_air_1000K.txt"));
        SOL_RUN* w = open(path);
        QCOMPARE(w->Caption(), QString("Solver File   h2_air_1000K.txt"));
        QCOMPARE(w->Text1()->text(), QString("1.000000E+00"));
        QCOMPARE(w->Text3()->text(), QString("1.000000E+03"));
        QCOMPARE(w->Text7()->text(), QString("2.500000E+02"));
        QCOMPARE(w->Text6()->text(), QString("5.000000E+03"));
        QCOMPARE(w->Text4(1)->text(), QString("1.000000E-03"));
        QCOMPARE(w->Text4(5)->text(), QString("100000"));
        QVERIFY(w->Option3()->isChecked());
        QVERIFY(!w->Option1()->isChecked());
        QCOMPARE(w->Label2()->text(), QString("Reaction mechanism consists of 25 reactions."));
        platform::Grid* grid = w->GridEX1();
        QCOMPARE(grid->RowCount(), 11);
        QCOMPARE(grid->CellText(1, 1), QString("1"));
        QCOMPARE(grid->CellText(1, 2), QString("H2"));
        QCOMPARE(grid->CellText(3, 3), QString("H2O1"));
        QCOMPARE(grid->CellText(1, 4), QString("2.96E-01"));
        QCOMPARE(grid->CellText(3, 4), QString(""));  // a fraction of 0 shows empty
        QVERIFY(w->Command5()->isEnabled());
        QVERIFY(w->Command3()->isEnabled());
        QVERIFY(!w->Command7()->isEnabled());  // no results yet
        QVERIFY(w->Label9()->text().isEmpty());
        // 200 ms later the grid's first cell is current.
        bed->clock->Advance(200);
        QCOMPARE(grid->Row(), 1);
        QCOMPARE(grid->Col(), 1);
    }

    void theSpeciesGridShowsItsColumnsWhole() {
        const std::string path =
            bed->folder.dir.write("gri30_ch4_1400K.txt", test::ReadBytes(KX_SAMPLES_DIR "/gri30_ch4_1400K.txt"));
        SOL_RUN* w = open(path);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        platform::Grid* grid = w->GridEX1();
        QVERIFY(w->size().width() >= w->sizeHint().width() && w->size().height() >= w->sizeHint().height());
        for (int c = 1; c <= grid->ColumnCount(); ++c) {
            int text = grid->horizontalHeader()->sectionSizeHint(c - 1);
            for (int r = 1; r <= grid->RowCount(); ++r)
                text = std::max(text, grid->fontMetrics().horizontalAdvance(grid->CellText(r, c)));
            QVERIFY2(grid->columnWidth(c - 1) >= text, qPrintable(grid->Column(c).Caption()));
        }
        // Nothing to scroll sideways: every column is in view.
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    }

    void aFileThatDoesNotLoadCanBeNeitherRunNorSaved() {
        RunFileText broken;
        broken.header[31] = " R !R in units of pressure and concentration";  // no number
        ScriptedMessages messages;
        SOL_RUN* w = open(write("broken.txt", broken));
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.lastText().startsWith("Sol#304. "));
        QVERIFY(messages.lastText().contains("line 32: no readable number"));
        QCOMPARE(w->Text1()->text(), QString("1.000000E+00"));  // what was read before stays
        QCOMPARE(w->Caption(), QString("Solver File   broken.txt"));
        QVERIFY(!w->Command5()->isEnabled());
        QVERIFY(!w->Command3()->isEnabled());
        QVERIFY(!w->Command7()->isEnabled());
    }

    // Damaged results of an earlier run take away "Last Step" only: a run
    // replaces them.
    void aLastStepThatDoesNotReadDisablesOnlyLastStep() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        RunFileText file;
        file.after = file.ResultsStart();
        file.after.push_back(ResultsLine(true, 7, 0.5, 1234, {0.5, 0.5}));  // the third species is missing
        file.after.push_back(" !$End");
        const std::string path = write("short.txt", file);
        ScriptedMessages messages;
        SOL_RUN* w = open(path);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(Shared().ErrorText, std::string("Invalid procedure call or argument: line 60, line 1 of 1 of record 1 "
                                                 "of the results, is 74 characters long where the solver writes 91."));
        QVERIFY(messages.lastText().endsWith("."));
        QVERIFY(w->Command5()->isEnabled());
        QVERIFY(w->Command3()->isEnabled());
        QVERIFY(!w->Command7()->isEnabled());

        messages.Answer(platform::kAnswerNo);
        w->Command5()->click();
        test::Settle();
        QCOMPARE(runner.launches.size(), size_t(1));
        QCOMPARE(messages.shown().size(), size_t(2));
        QVERIFY(test::ReadBytes(path).find(ResultsLine(true, 7, 0.5, 1234, {0.5, 0.5})) == std::string::npos);
    }

    void warnsAboutSpeciesWithoutThermoDataOnlyWhenTheTemperatureIsComputed() {
        RunFileText file;
        file.species.push_back({"CH2(S)", "", 14.027, false});
        SOL_RUN* w = open(write("run.txt", file));
        const QString warning =
            "Temperature can be calculated erroneously because thermodynamic data aren't specified for the species: "
            "'CH2(S)'.";
        QCOMPARE(w->Label9()->text(), warning);
        const int tall = w->height();
        w->Option1()->click();
        QVERIFY(w->Label9()->text().isEmpty());
        QVERIFY(w->height() < tall);
        w->Option3()->click();
        QCOMPARE(w->Label9()->text(), warning);
    }

    void theGridSortsByHeaderAndJumpsWithCtrlHomeAndEnd() {
        RunFileText file;
        file.species = {{"O2", "0.2"}, {"AR", "0.1"}, {"H2", "0.7"}};
        SOL_RUN* w = open(write("run.txt", file));
        platform::Grid* grid = w->GridEX1();
        emit grid->horizontalHeader()->sectionClicked(1);  // "Species Name"
        QCOMPARE(grid->CellText(1, 2), QString("AR"));
        emit grid->horizontalHeader()->sectionClicked(0);  // "No" puts the file's order back
        QCOMPARE(grid->CellText(1, 2), QString("O2"));
        grid->SetRow(1);
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid->Row(), 3);
        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid->Row(), 1);
    }

    void defaultsClearTableAndCancel() {
        SOL_RUN* w = open(write("run.txt", RunFileText{}));
        w->Command1()->click();
        QCOMPARE(w->Text7()->text(), QString("200"));
        QCOMPARE(w->Text6()->text(), QString("6000"));
        QCOMPARE(w->Text4(0)->text(), QString("0"));
        QCOMPARE(w->Text4(1)->text(), QString("1.E+00"));
        QCOMPARE(w->Text4(2)->text(), QString("1.E-10"));
        QCOMPARE(w->Text4(3)->text(), QString("1.E-06"));
        QCOMPARE(w->Text4(4)->text(), QString("1.E-15"));
        QCOMPARE(w->Text1()->text(), QString("1.000000E+00"));  // pressure untouched
        QCOMPARE(w->Text4(5)->text(), QString("100000"));
        w->Command4()->click();
        for (int r = 1; r <= 3; ++r) QCOMPARE(w->GridEX1()->CellText(r, 4), QString(""));
        w->Command2()->click();
        QVERIFY(platform::Forms().empty());
    }

    void saveAndEnterCarrySettingsToAnotherMechanism() {
        QVERIFY(!open(write("a.txt", RunFileText{}))->Command6()->isEnabled());  // nothing saved yet
        test::DeleteAllWindows();
        RunFileText first;
        SOL_RUN* w = open(write("a.txt", first));
        w->Text1()->setText("2.5");
        w->Option1()->click();
        typeFraction(w, 3, "0.25");
        w->Command3()->click();
        QVERIFY(w->Command6()->isEnabled());
        QCOMPARE(files::ReadLines(savedFile()).size(), size_t(18));
        test::DeleteAllWindows();

        RunFileText second;
        second.species = {{"AR", "0.9"}, {"N2", ""}, {"H2", "0.1"}};
        SOL_RUN* other = open(write("b.txt", second));
        QVERIFY(other->Command6()->isEnabled());
        other->Command6()->click();
        QCOMPARE(other->Text1()->text(), QString("2.5"));
        QVERIFY(other->Option1()->isChecked());
        QCOMPARE(other->GridEX1()->CellText(1, 4), QString(""));          // AR: not saved
        QCOMPARE(other->Model().species[1].fraction, std::string("2.5E-01"));  // N2
        QCOMPARE(other->Model().species[2].fraction, std::string("5.E-01"));   // H2
    }

    void aFailedSaveIsReportedAndEnterStaysOff() {
        SOL_RUN* w = open(write("run.txt", RunFileText{}));
        std::filesystem::remove_all(bed->folder.dir.file("AssistFiles"));
        ScriptedMessages messages;
        w->Command3()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.lastText().startsWith("Sol#306. "));
        QVERIFY(!w->Command6()->isEnabled());
    }

    void enterWithoutASavedFileOrWithABadOneTurnsEnterOff() {
        bed->folder.dir.write("AssistFiles/SolverData.txt", " 20 \r\npath\r\n1\r\n");
        SOL_RUN* w = open(write("run.txt", RunFileText{}));
        QVERIFY(w->Command6()->isEnabled());
        ScriptedMessages messages;
        w->Command6()->click();
        QCOMPARE(messages.lastText(), platform::ToQ("Sol#304-1. Setting isn't saved or an error occures.Input past "
                                                    "end of file: " + savedFile() + " ends after line 3."));
        QVERIFY(!w->Command6()->isEnabled());
        // Why the file is no saved setting, on a line of its own.
        for (const bool folder : {false, true}) {
            std::filesystem::remove_all(savedFile());
            if (folder) std::filesystem::create_directory(savedFile());
            w->Command6()->setEnabled(true);
            w->Command6()->click();
            QCOMPARE(messages.lastText(), platform::ToQ("Setting isn't saved.\r\n" +
                                                        std::string(folder ? "It is a folder: " : "File not found: ") +
                                                        savedFile() + "."));
            QVERIFY(!w->Command6()->isEnabled());
        }
        std::filesystem::remove_all(savedFile());
        bed->folder.dir.write("AssistFiles/SolverData.txt", "");
        w->Command6()->setEnabled(true);
        w->Command6()->click();
        QCOMPARE(messages.lastText(), platform::ToQ("Setting isn't saved.\r\nThe file is empty: " + savedFile() + "."));
    }

    void lastStepTakesTheLastComputedState() {
        RunFileText file;  // H2 2.016, O2 31.998, N2 28.014
        file.after = file.ResultsStart();
        file.after.insert(file.after.end(), {ResultsLine(true, 1, 0, 1000, {0.5, 0.5, 0}),
                                             ResultsLine(true, 9, 2.5e-4, 2400.04, {0.1, 0.2, 0.7}), " !$End"});
        SOL_RUN* w = open(write("run.txt", file));
        QVERIFY(w->Command7()->isEnabled());
        w->Command7()->click();
        QCOMPARE(w->Text4(0)->text(), QString("0.00025"));
        QCOMPARE(w->Text3()->text(), QString("2400.0"));
        QCOMPARE(w->Text4(1)->text(), QString("1.000000E-03"));  // the final time stays
        QVERIFY(w->Option3()->isChecked());
        QCOMPARE(w->Model().species[0].fraction, std::string("6.136E-01"));
        QCOMPARE(w->GridEX1()->CellText(1, 4), QString("6.14E-01"));
    }

    void aRefusedRunPointsAtTheBoxAndWritesNothing_data() {
        QTest::addColumn<int>("box");  // Text4 index, -1 for the pressure, -2 for the minimum temperature
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("message");
        QTest::newRow("pressure") << -1 << "0" << 0 << "Pressure, please enter a positive number.";
        QTest::newRow("step limit") << 5 << "100001" << 1
                                    << "Maximum number of computed steps, please enter a positive integer less than "
                                       "100000.";
        QTest::newRow("relative tolerance") << 3 << "2" << 0
                                            << "Relative tolerance, please enter a number on the interval (1.E-14, 1).";
        QTest::newRow("minimum temperature 0")
            << -2 << "0" << 1 << "Minimum value of the allowable temperature interval, please enter a positive number.";
    }
    void aRefusedRunPointsAtTheBoxAndWritesNothing() {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(int, tab);
        QFETCH(QString, message);
        const std::string path = write("run.txt", RunFileText{});
        const std::string before = test::ReadBytes(path);
        SOL_RUN* w = open(path);
        shell::ShowForm(w);
        QLineEdit* edit = box == -1 ? w->Text1() : box == -2 ? w->Text7() : w->Text4(box);
        edit->setText(text);
        w->ShowTab(tab == 0 ? 2 : 1);
        w->Check1()->setChecked(true);
        ScriptedMessages messages;
        w->Command5()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(w->TabStrip1()->currentIndex(), tab);
        QCOMPARE(edit->selectedText(), text);
        QCOMPARE(Shared().KeepConsoleOpen, 1);  // stored before any check
        QVERIFY(platform::FindForm("SOL_RUN"));
        QCOMPARE(test::ReadBytes(path), before);
        QVERIFY(!files::Exists(bed->folder.working("SolverFilePath.txt")));
    }

    void aBadFractionMakesItsCellCurrent() {
        const std::string path = write("run.txt", RunFileText{});
        SOL_RUN* w = open(path);
        typeFraction(w, 2, "abc");
        ScriptedMessages messages;
        w->Command5()->click();
        QCOMPARE(messages.lastText(), QString("Initial mole fractions, please enter positive decimal numbers."));
        bed->clock->Advance(200);
        QCOMPARE(w->GridEX1()->Row(), 2);
        QCOMPARE(w->GridEX1()->Col(), 4);
        QVERIFY(!files::Exists(bed->folder.working("SolverFilePath.txt")));
    }

    void aPathTheSolverCannotReadIsRefusedBeforeAnythingIsWritten() {
        std::string deep = "data";
        while (deep.size() < 300) deep += "/a_rather_long_folder_name_for_runs";
        const std::string path = write(deep + "/run.txt", RunFileText{});
        const std::string before = test::ReadBytes(path);
        SOL_RUN* w = open(path);
        ScriptedMessages messages;
        w->Command5()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.lastText().endsWith(platform::ToQ(path)));
        QCOMPARE(test::ReadBytes(path), before);
        QVERIFY(!files::Exists(bed->folder.working("SolverFilePath.txt")));
        QVERIFY(platform::FindForm("SOL_RUN"));
    }

    void runCommitsAnEditInProgressRewritesTheFileAndStartsTheSolver() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        RunFileText file;
        const std::string oldRecord = ResultsLine(true, 1, 0, 1000, {0.5, 0.5, 0});
        file.after = file.ResultsStart();
        file.after.insert(file.after.end(), {oldRecord, " !$End"});
        const std::string path = write("run.txt", file);
        SOL_RUN* w = open(path);
        shell::ShowForm(w);
        w->Text4(6)->setText("2.5");
        // The user is still typing in N2's fraction cell.
        platform::Grid* grid = w->GridEX1();
        const QModelIndex cell = grid->model()->index(2, 3);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText("0.125");
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerNo);
        w->Command5()->click();
        test::Settle();

        QVERIFY(!platform::FindForm("SOL_RUN"));
        QCOMPARE(test::ReadBytes(bed->folder.working("SolverFilePath.txt")), path + "\r\n");
        QCOMPARE(runner.launches.size(), size_t(1));
        const std::vector<std::string> lines = files::ReadLines(path);
        QCOMPARE(lines[27], std::string(" 2 !Delta N"));
        QCOMPARE(lines[21], std::string(" 100000 !Maximum Number of Steps"));
        QCOMPARE(lines[42].substr(74), std::string("1.250E-01 "));
        QVERIFY(std::find(lines.begin(), lines.end(), oldRecord) == lines.end());
        QCOMPARE(lines.back(), std::string("       NUMBER OF RECORDS =       4"));  // the stand-in's run
        QCOMPARE(messages.shown()[0].style, 68);
    }

    // Line 15 and a fraction spelled otherwise than the desktop writes them
    // show what the solver reads (the temperature equation, the fraction's
    // implied decimals), and Run without an edit gives back every settings
    // line as the file held it.
    void showsWhatTheSolverReadsAndARunWithoutAnEditKeepsIt() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        RunFileText file;
        file.header[14] = " 1 Temperature Equation";
        file.header[13] = " 1.01325 atm";
        file.species[1].fraction = "21E-2";
        const std::string path = write("run.txt", file);
        const std::vector<std::string> before = file.Lines();
        ScriptedMessages messages;
        SOL_RUN* w = open(path);
        QVERIFY(messages.shown().empty());
        QVERIFY(w->Option3()->isChecked());
        QVERIFY(!w->Option1()->isChecked());
        QCOMPARE(w->Text1()->text(), QString("1.01325"));
        QCOMPARE(w->GridEX1()->CellText(2, 4), QString("2.1E-04"));
        messages.Answer(platform::kAnswerNo);
        w->Command5()->click();
        test::Settle();
        QCOMPARE(runner.launches.size(), size_t(1));
        const std::vector<std::string> lines = files::ReadLines(path);
        for (std::size_t i = 13; i < 28; ++i) QCOMPARE(lines[i], before[i]);
        QCOMPARE(lines[38], before[38]);
    }

    // Settings the solver would refuse: the window loads them, says so in
    // the solver's words, and runs once they are set.
    void saysWhereTheSolverRefusesTheSettingsAndRunsOnceTheyAreSet() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        RunFileText file;
        file.header[14] = " x !Temperature Equation";
        const std::string path = write("run.txt", file);
        ScriptedMessages messages;
        SOL_RUN* w = open(path);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("In the file '" + path +
                                                    "', the solver does not run the settings as they stand:\r\n"
                                                    "line 15: no readable integer for the temperature mode.\r\n\r\n"
                                                    "Correct them here before the run."));
        QCOMPARE(messages.shown()[0].style, 48);
        QVERIFY(w->Command5()->isEnabled());
        w->Option3()->click();
        messages.Answer(platform::kAnswerNo);
        w->Command5()->click();
        test::Settle();
        QCOMPARE(runner.launches.size(), size_t(1));
        QCOMPARE(files::ReadLines(path)[14], std::string(" 1 !Temperature Equation"));
    }

    // Another editor changed the mechanism after the window read it: the
    // rewrite, which gives back the mechanism as read, asks first, and No
    // writes nothing and starts nothing.
    void aRunAsksBeforeReplacingAFileChangedSinceItWasRead() {
        test::HeadlessRunner runner;
        RunFileText file;
        const std::string path = write("run.txt", file);
        SOL_RUN* w = open(path);
        file.header[1] = " Test mechanism, rate of R1 corrected in another editor";
        write("run.txt", file);
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerNo);
        w->Command5()->click();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(),
                 platform::ToQ("The file '" + path +
                               "' has been changed on disk since this window read or last saved it.\r\n\r\n"
                               "Yes replaces it with this window's settings and the mechanism it read, and what the "
                               "file holds now is lost. No writes nothing and starts no run."));
        QCOMPARE(messages.shown()[0].style, 48 + 4 + 256);
        QCOMPARE(test::ReadBytes(path), file.bytes());
        QVERIFY(!files::Exists(bed->folder.working("SolverFilePath.txt")));
        QVERIFY(runner.launches.empty());
        QVERIFY(platform::FindForm("SOL_RUN"));
    }

    void theMainWindowOpensItForAFileHalfASecondLater() {
        runs::InstallRunSettingsWindow();
        auto* main = new shell::MDIForm1;
        const std::string path = write("run.txt", RunFileText{});
        shell::Timer3Run(path, "run.txt");
        QVERIFY(!platform::FindForm("SOL_RUN"));
        bed->clock->Advance(500);
        auto* w = dynamic_cast<SOL_RUN*>(platform::FindForm("SOL_RUN"));
        QVERIFY(w);
        QCOMPARE(w->RunFilePath(), path);
        QVERIFY(w->isVisible());
        QCOMPARE(w->parentWidget(), static_cast<QWidget*>(main));
        shell::InstallFormCreator(shell::kRunSettingsWindow, nullptr);
    }
};

QTEST_MAIN(RunSettingsWindowTest)
#include "RunSettingsWindowTest.moc"
