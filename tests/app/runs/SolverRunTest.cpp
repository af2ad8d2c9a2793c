// Running the solver: the console window, every ending a solver can leave
// in the file and how it is reported, the windows closed and opened after
// a run, and one run of the real solver from the run-settings window.
#include "SOL_RUN.h"
#include "Scripted.h"
#include "SolverFileChecks.h"
#include "SolverRun.h"

#include "Errors.h"
#include "Files.h"
#include "RES_ShowFile.h"
#include "RunOutcome.h"

#include "RunFileText.h"
#include "RunTestSupport.h"
#include "solver_file_recipe.h"
#include "owned_file.h"
#include "DesktopTestSupport.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;
using kx::test::RunCallerWindow;

namespace {

bool loaded(const platform::Form* form) {
    const std::vector<platform::Form*> all = platform::Forms();
    return std::find(all.begin(), all.end(), form) != all.end();
}

bool logged(const test::CallLog& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// A modal action that waits for the console's solver to end.
ScriptedModals::Action waitForTheSolver(QString* shown = nullptr, bool* visibleAfterEnd = nullptr) {
    return [=](QDialog& d) {
        auto& console = static_cast<runs::SolverConsole&>(d);
        QTRY_VERIFY_WITH_TIMEOUT(console.SolverEnded(), 60000);
        if (shown) *shown = console.Text();
        if (visibleAfterEnd) *visibleAfterEnd = d.isVisible();
    };
}

}  // namespace

class SolverRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestBed> bed;
    std::string solverPath;

    void writePathFile(const std::string& path) { files::WriteLines(bed->folder.working("SolverFilePath.txt"), {path}); }

    // What a run reports: the path read back, the message and its style,
    // whether an error report was found.
    struct Report {
        std::string path;
        std::string message;
        int style = 0;
        bool error = false;
    };

    // Runs on the solver file with the window of that file as the caller.
    Report run() {
        Report report;
        runs::RunSolver(report.path, report.message, report.style, report.error, solverPath);
        test::Settle();
        return report;
    }

private slots:
    void init() {
        bed = std::make_unique<test::WindowTestBed>(test::WindowTestBed::Clock::Real);
        solverPath = bed->folder.dir.write("data/run.txt", test::RunFileText{}.bytes());
        writePathFile(solverPath);
    }
    void cleanup() { bed.reset(); }

    void eachEndingIsJudgedFromTheFile_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("yes");
        const QString abnormal = " Solver has been terminated abnormally.\r\n";
        QTest::newRow("completed") << "completed"
                                   << "The chemical kinetic problem has been successfully solved.\r\n\r\nShow results?"
                                   << 68 << true;
        QTest::newRow("error after results")
            << "error-after-results"
            << abnormal + "   Step size too small, T = 0.1E-03\r\n \r\n STATISTICS\r\n       NUMBER OF RECORDS =       4\r\n"
                          "\r\n\r\nShow results?"
            << 52 << false;
        QTest::newRow("error only") << "error-only" << abnormal + "   Too many species: 301 (at most 300)\r\n" << 48
                                    << false;
        QTest::newRow("refused input") << "nothing" << abnormal + " cannot read the solver file\r\n" << 48 << false;
        QTest::newRow("crash after the heading") << "crash" << abnormal + "\r\n\r\nShow results?" << 52 << false;
    }
    void eachEndingIsJudgedFromTheFile() {
        QFETCH(QString, ending);
        QFETCH(QString, text);
        QFETCH(int, style);
        QFETCH(bool, yes);
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen(qPrintable(ending));
        test::HeadlessRunner runner;
        test::RecordingDocumentWindows windows;
        RunCallerWindow* caller = windows.OpenWindow(solverPath);
        ScriptedMessages messages;
        if (style & platform::kMsgYesNo) messages.Answer(yes ? platform::kAnswerYes : platform::kAnswerNo);

        const Report report = run();
        QCOMPARE(report.path, solverPath);

        QCOMPARE(platform::ToQ(report.message), text);
        QCOMPARE(report.style, style);
        QCOMPARE(report.error, ending.startsWith("error"));
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text, text);
        QCOMPARE(messages.shown()[0].style, style);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        // The window that asked for the run is closed whatever the outcome;
        // only Yes opens the file and its results again.
        QVERIFY(!loaded(caller));
        QCOMPARE(logged(windows.log, "ShowFileInResultWindow " + solverPath), yes);
        QCOMPARE(logged(windows.log, "OpResults " + solverPath), yes);
        QCOMPARE(Shared().SolverFileToOpen, yes ? solverPath : std::string());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
        QCOMPARE(runner.ends.size(), size_t(1));
        QCOMPARE(runner.ends[0].crashed, ending == "crash");
    }

    // The solver of the program folder runs in this running copy's working
    // folder, on the file named there: a path file in the program folder
    // (another copy's, or an older program's) is neither read nor changed.
    void theSolverOfTheProgramFolderRunsInThisCopysFolderWithoutArguments() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerNo);
        Shared().KeepConsoleOpen = 1;
        const std::string other = bed->folder.dir.write("other.txt", "!$KINOVEX SOLVER\r\n");
        const std::string otherPathFile = bed->folder.dir.write("SolverFilePath.txt", other + "\r\n");
        const Report report = run();

        QCOMPARE(report.path, solverPath);
        QCOMPARE(test::ReadBytes(otherPathFile), other + "\r\n");
        QCOMPARE(test::ReadBytes(other), std::string("!$KINOVEX SOLVER\r\n"));
        QCOMPARE(runner.launches.size(), size_t(1));
        const runs::SolverLaunch& launch = runner.launches[0];
        std::string working = WorkingFolder();
        working.pop_back();
        QCOMPARE(launch.program, platform::ToQ(bed->folder.path()) + "/KINOVEX_SOLVER");
        QCOMPARE(launch.folder, platform::ToQ(working));
        QCOMPARE(launch.title, QString("KINOVEX_SOLVER - run.txt"));
        QVERIFY(launch.keepOpen);
        QCOMPARE(launch.banner, QStringList({"To end the task, click the button CLOSE (X) in this window.", QString(63, '-')}));
        const std::string canonical = std::filesystem::canonical(working).string();
        QCOMPARE(test::ReadBytes(bed->folder.working("StandInCall.txt")), "arguments=0\nfolder=" + canonical + "\n");
        QVERIFY(runner.output.contains(" Time= 0.000000E+00"));
    }

    void aSolverThatCannotStartGivesTheAbnormalEnd_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("description");
        QTest::newRow("missing program") << false << "File not found: ";
        QTest::newRow("not a program") << true << "Permission denied: ";
    }
    void aSolverThatCannotStartGivesTheAbnormalEnd() {
        QFETCH(bool, present);
        QFETCH(QString, description);
        if (present) bed->folder.dir.write("KINOVEX_SOLVER", "this is no program\n");
        test::HeadlessRunner runner;
        test::RecordingDocumentWindows windows;
        RunCallerWindow* caller = windows.OpenWindow(solverPath);
        ScriptedMessages messages;
        run();

        QCOMPARE(messages.shown().size(), size_t(2));
        const QString program = platform::ToQ(bed->folder.path()) + "/KINOVEX_SOLVER";
        QVERIFY2(messages.shown()[0].text.startsWith("401#002. " + description + program), qPrintable(messages.shown()[0].text));
        QCOMPARE(messages.shown()[1].text, QString(" Solver has been terminated abnormally.\r\n"));
        QCOMPARE(messages.shown()[1].style, 48);
        QVERIFY(!loaded(caller));
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void theCallerIsTheWindowOfThatFileNotAnotherOfTheSameName() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        test::RecordingDocumentWindows windows;
        const std::string otherPath = bed->folder.dir.write("other/run.txt", test::RunFileText{}.bytes());
        RunCallerWindow* other = windows.OpenWindow(otherPath);  // first in the window list
        RunCallerWindow* caller = windows.OpenWindow(solverPath);
        QCOMPARE(other->Caption(), caller->Caption());
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);
        run();

        QVERIFY(loaded(other));
        QVERIFY(!loaded(caller));
        QVERIFY(logged(windows.log, "OpResults " + solverPath));
        QVERIFY(!logged(windows.log, "OpResults " + otherPath));
    }

    void yesOpensTheFileAndItsResultsInTheWindowsThatExist() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        // The program's text window.
        shell::FormCreator previousText = shell::InstallFormCreator(shell::kTextWindow, nullptr);
        shell::FormCreator previousFind = shell::InstallFormCreator(shell::kFindWindow, nullptr);
        shell::ShowFileHook previousHook = shell::InstallShowFileInResultWindow(nullptr);
        text::InstallTextWindows();
        shell::FormCreatorInstallation results(shell::kResultsWindow,
                                               [] { return new test::StubResultsWindow(false); });
        shell::ShowFileInResultWindow(solverPath);
        platform::Form* caller = platform::FindFormByMePath(solverPath);
        QVERIFY(caller);
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);
        run();
        shell::InstallFormCreator(shell::kTextWindow, previousText);
        shell::InstallFormCreator(shell::kFindWindow, previousFind);
        shell::InstallShowFileInResultWindow(previousHook);

        QVERIFY(!loaded(caller));
        platform::Form* text = platform::FindFormByMePath(solverPath);
        QVERIFY(text);
        QCOMPARE(text->TypeName(), QString("RES_ShowFile"));
        QVERIFY(platform::FindFormBySolverFilePath(solverPath));
        QCOMPARE(messages.shown().size(), size_t(1));
    }

    void withoutTheCallersWindowYesAsksForTheFile() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        test::HeadlessRunner runner;
        test::RecordingDocumentWindows windows;
        platform::testing::ScriptedDialogs dialogs;
        dialogs.Cancel(platform::testing::ScriptedDialogs::Kind::Open);
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);
        run();
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QVERIFY(!logged(windows.log, "OpResults " + solverPath));
        QCOMPARE(Shared().SolverFileToOpen, solverPath);
    }

    void theConsoleShowsTheRunAndClosesWhenTheSolverEnds() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        ScriptedModals modals;
        QString shown;
        bool visibleAfterEnd = true;
        int pointerWhileRunning = -1;
        modals.Next([&](QDialog& d) {
            pointerWhileRunning = platform::MousePointer();
            waitForTheSolver(&shown, &visibleAfterEnd)(d);
        });
        const runs::SolverLaunch launch = runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), false);
        QCOMPARE(runs::ExecuteAndWait(launch), std::optional<int>(0));

        QCOMPARE(modals.shown(), std::vector<QString>({launch.title}));
        QVERIFY(!visibleAfterEnd);
        QCOMPARE(pointerWhileRunning, platform::kPointerHourglass);
        QVERIFY2(shown.startsWith("To end the task, click the button CLOSE (X) in this window.\n" + QString(63, '-') +
                                  "\n Time= 0.000000E+00"),
                 qPrintable(shown));
        QVERIFY(shown.contains("STOP - Program terminated"));
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void aConsoleKeptOpenWaitsForTheUser() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("completed");
        ScriptedModals modals;
        bool visibleAfterEnd = false;
        int pointerAfterEnd = -1;
        modals.Next([&](QDialog& d) {
            waitForTheSolver(nullptr, &visibleAfterEnd)(d);
            pointerAfterEnd = platform::MousePointer();
            d.reject();  // the user closes it
        });
        QCOMPARE(runs::ExecuteAndWait(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), true)), std::optional<int>(0));
        QVERIFY(visibleAfterEnd);
        QCOMPARE(pointerAfterEnd, platform::kPointerDefault);
    }

    void closingTheConsoleEndsTheSolver() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("slow");
        ScriptedModals modals;
        modals.Next([](QDialog& d) {
            auto& console = static_cast<runs::SolverConsole&>(d);
            QTRY_VERIFY_WITH_TIMEOUT(console.Text().contains("Time="), 20000);
            QVERIFY(!console.SolverEnded());
            QTest::keyClick(&d, Qt::Key_Escape);  // no way to end a run by accident
            QVERIFY(d.isVisible());
            d.close();
        });
        QElapsedTimer clock;
        clock.start();
        const runs::SolverEnd end = runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), true));
        QVERIFY(end.started);
        QVERIFY(end.crashed);
        QVERIFY(clock.elapsed() < 30000);
    }

    // A solver stopped from its console that leaves the new version of the
    // file behind (it was ended before it could remove it) is cleaned up
    // after, and so is what an earlier run ended at once left; what a live
    // run still writes there stays.
    void closingTheConsoleRemovesWhatTheSolverWasWriting() {
        test::PlaceSolverProgram(bed->folder.path(), KX_STAND_IN_SOLVER);
        test::StandInEnding chosen("slow-writing");
        const std::string other = bed->folder.dir.file("data/.run.txt.kxrun.0000abcd");
        kx::OwnedFile live;
        int err = 0;
        std::FILE* writing = live.Create(other, err);
        QVERIFY(writing);
        std::fclose(writing);
        const std::string abandoned = bed->folder.dir.write("data/.run.txt.kxrun.00dead00", "a killed run's");
        const std::string left = bed->folder.dir.file("data/.run.txt.kxrun.0badf00d");
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            QTRY_VERIFY_WITH_TIMEOUT(files::Exists(left), 20000);
            d.close();
        });
        const runs::SolverEnd end =
            runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), true, solverPath));
        QVERIFY(end.crashed);
        QVERIFY(!files::Exists(left));
        QVERIFY(!files::Exists(abandoned));
        QVERIFY(files::Exists(other));
    }

    // The real solver, stopped from its console in the middle of a long run:
    // it ends at once, and the solver file is as it was with nothing beside it.
    void theRealSolverStoppedFromItsConsoleLeavesTheFileAsItWas() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_PROGRAM);
        kxtest::SolverFileRecipe recipe = kxtest::LargeModel(300, 3000);  // seconds of computing
        recipe.mode = 0;
        recipe.T0 = 1200.0;
        recipe.XEND = 10.0;
        const std::string input = kxtest::BuildSolverFile(recipe) + " \r\n !$Results  Mass Fractions\r\n old\r\n";
        const std::string path = bed->folder.dir.write("large/large.txt", input);
        writePathFile(path);
        ScriptedModals modals;
        modals.Next([](QDialog& d) {
            auto& console = static_cast<runs::SolverConsole&>(d);
            // The first progress line comes once the run writes its results.
            QTRY_VERIFY_WITH_TIMEOUT(console.Text().contains("Time="), 20000);
            QVERIFY(!console.SolverEnded());
            d.close();
        });
        const runs::SolverEnd end = runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), false, path));
        QVERIFY(end.crashed);
        QCOMPARE(end.exitCode, SIGTERM);  // it ended as it was asked to, and was not killed
        QVERIFY(test::ReadBytes(path) == input);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(bed->folder.dir.file("large")),
                               std::filesystem::directory_iterator()),
                 1L);
    }

    // A solver that refuses its input leaves the file as it was and says why:
    // the report shows its reason.
    void aRefusedInputIsReportedWithTheSolversReason() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_PROGRAM);
        test::RunFileText file;
        file.header[30] = " 0.0 !R in units of the activation energies";
        solverPath = bed->folder.dir.write("data/run.txt", file.bytes());
        test::HeadlessRunner runner;
        test::RecordingDocumentWindows windows;
        windows.OpenWindow(solverPath);
        ScriptedMessages messages;
        const Report report = run();
        const std::string reason = " Input error in line 31 of " + solverPath +
                                   ": the gas constant must be above zero, not 0.000000E+00\r\n";
        QCOMPARE(report.message, " Solver has been terminated abnormally.\r\n" + reason);
        QCOMPARE(report.style, 48);
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(test::ReadBytes(solverPath) == file.bytes());
        QCOMPARE(runner.ends.size(), size_t(1));
        QCOMPARE(runner.ends[0].exitCode, 1);
    }

    // Another program changes the solver file while the real solver runs on
    // it: the solver leaves the file as that program made it, and the report
    // says why nothing was written.
    void aFileChangedDuringTheRunIsReportedAndKept() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_PROGRAM);
        kxtest::SolverFileRecipe recipe = kxtest::LargeModel(150, 1500);  // a second or two of computing
        recipe.mode = 0;
        recipe.T0 = 1200.0;
        recipe.XEND = 10.0;
        solverPath = bed->folder.dir.write("data/run.txt", kxtest::BuildSolverFile(recipe));
        test::RecordingDocumentWindows windows;
        windows.OpenWindow(solverPath);
        std::string changed;
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            auto& console = static_cast<runs::SolverConsole&>(d);
            // The first progress line comes once the run writes its results.
            QTRY_VERIFY_WITH_TIMEOUT(console.Text().contains("Time="), 20000);
            QVERIFY(!console.SolverEnded());
            std::ofstream(solverPath, std::ios::binary | std::ios::app) << " a note of another program\r\n";
            changed = test::ReadBytes(solverPath);
            QTRY_VERIFY_WITH_TIMEOUT(console.SolverEnded(), 60000);
        });
        ScriptedMessages messages;
        const Report report = run();
        QCOMPARE(report.message, " Solver has been terminated abnormally.\r\n Output error: the solver file " +
                                     solverPath +
                                     " was changed by another program during the run; it is left as it was and "
                                     "the results of this run are not written\r\n");
        QCOMPARE(report.style, 48);
        QVERIFY(!changed.empty());
        QVERIFY(test::ReadBytes(solverPath) == changed);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(bed->folder.dir.file("data")),
                               std::filesystem::directory_iterator()),
                 1L);
    }

    // The console shows the path the solver reports as it is, also beyond
    // ASCII: here in the report of a temperature out of the allowed range.
    void theConsoleShowsTheReportedPathAsItIs() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_PROGRAM);
        test::RunFileText file;
        file.header[16] = " 2.000000E+03 !Minimal Allowable Temperature";
        const QString path = platform::ToQ(bed->folder.path()) + "/Δt résultats/测量 run.txt";
        bed->folder.dir.write(platform::FromQ("Δt résultats/测量 run.txt"), file.bytes());
        writePathFile(platform::FromQ(path));
        QString shown;
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            waitForTheSolver(&shown)(d);
            d.reject();
        });
        const runs::SolverEnd end =
            runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), true, platform::FromQ(path)));
        QCOMPARE(end.exitCode, 2);
        QVERIFY2(shown.contains("\n FILE: " + path + " "), qPrintable(shown));
        QVERIFY2(shown.contains(" Kinovex error  1. "), qPrintable(shown));
    }

    void aMissingSolverShowsNoConsoleUnlessItIsKeptOpen() {
        ScriptedModals modals;
        runs::SolverEnd end = runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), false));
        QVERIFY(!end.started);
        QVERIFY(end.programMissing);
        QVERIFY(modals.shown().empty());

        QString shown;
        modals.Next([&](QDialog& d) { shown = static_cast<runs::SolverConsole&>(d).Text(); });
        end = runs::RunSolverProgram(runs::SolverLaunchFor(bed->folder.path(), WorkingFolder(), true));
        QVERIFY(!end.started);
        QVERIFY2(shown.contains("The solver could not be started: "), qPrintable(shown));
    }

    // The real solver on a sample, run from the run-settings window.
    void theRealSolverRunsASampleFromTheRunSettingsWindow() {
        test::PlaceSolverProgram(bed->folder.path(), KX_SOLVER_PROGRAM);
        const std::string path =
            bed->folder.dir.write("data/h2_air_1000K.txt", test::ReadBytes(KX_SAMPLES_DIR "/h2_air_1000K.txt"));
        test::RecordingDocumentWindows windows;
        RunCallerWindow* caller = windows.OpenWindow(path);
        auto* settings = new runs::SOL_RUN;
        settings->GETPASS(path, "h2_air_1000K.txt");
        QVERIFY(settings->Command5()->isEnabled());
        ScriptedModals modals;
        modals.Next(waitForTheSolver());
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);
        settings->Command5()->click();
        test::Settle();

        // The console window named the program and the file it ran.
        QCOMPARE(modals.shown(), std::vector<QString>{"KINOVEX_SOLVER - h2_air_1000K.txt"});
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text,
                 QString("The chemical kinetic problem has been successfully solved.\r\n\r\nShow results?"));
        QCOMPARE(messages.shown()[0].style, 68);
        QVERIFY(!loaded(settings));
        QVERIFY(!loaded(caller));
        QVERIFY(logged(windows.log, "OpResults " + path));
        bool failed = true;
        std::string why;
        runs::CheckResultsComplete(path, failed, why);
        QVERIFY2(!failed, why.c_str());

        // The next run can start from the last computed state.
        auto* again = new runs::SOL_RUN;
        again->GETPASS(path, "h2_air_1000K.txt");
        QVERIFY(again->Command7()->isEnabled());
        again->Command7()->click();
        QCOMPARE(again->Text4(0)->text(), QString("0.001"));
        QVERIFY2(std::abs(again->Text3()->text().toDouble() - 2691.6) < 1.0, qPrintable(again->Text3()->text()));
        double sum = 0;
        for (const runs::SpeciesRow& row : again->Model().species) sum += ParseNumber(row.fraction).value_or(-1);
        QVERIFY2(std::abs(sum - 1.0) < 2e-3, qPrintable(QString::number(sum)));
    }
};

QTEST_MAIN(SolverRunTest)
#include "SolverRunTest.moc"
