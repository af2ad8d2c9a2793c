// The start-up: the main window's first stage, the number-format check,
// the splash window with its check of the options file, the hand-over and
// the Open dialog on the samples.
#include "CommonDialogs.h"
#include "FormRegistry.h"
#include "Help.h"
#include "MDIForm1.h"
#include "Scripted.h"
#include "Title.h"

#include "DesktopTestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::test::ProgramFolder;

namespace {

bool fileMenuEnabled(shell::MDIForm1* main) {
    return main->findChild<QMenu*>("FILE")->menuAction()->isEnabled() &&
           main->findChild<QAction*>("MDIHELP")->isEnabled() && main->findChild<QAction*>("ABOUTKV")->isEnabled();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<platform::FakeClock> clock;
    // The calls of stub windows, which live until cleanup() deletes them.
    kx::test::CallLog log;

private slots:
    void init() {
        Shared() = SharedState{};
        clock = std::make_unique<platform::FakeClock>();
        log.clear();
    }
    void cleanup() {
        kx::test::DeleteAllWindows();
        shell::SetNumberFormatProbe(nullptr);
        shell::CommonDialog1() = platform::CommonDialog{};
        clock.reset();
    }

    void withOptionsTheSplashHandsOverAndOffersTheSamples() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        kx::test::EndCounter end;
        shell::MDIForm1* main = shell::StartProgram();

        auto* splash = dynamic_cast<shell::Title*>(platform::FindForm("Title"));
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QVERIFY(!main->isEnabled());
        QVERIFY(!fileMenuEnabled(main));
        QCOMPARE(main->Toolbar2()->isHidden(), true);
        QCOMPARE(main->Toolbar5()->isHidden(), true);
        QCOMPARE(Shared().PlotSubtitle, std::string(10, ' '));
        QCOMPARE(Shared().LineChunk, 1000);  // the shared defaults are set
        QCOMPARE(Shared().GasConstantJ, 8.314462618);
        QCOMPARE(platform::MousePointer(), platform::kPointerHourglass);

        clock->Advance(600);
        QVERIFY(messages.shown().empty());
        QVERIFY(!splash->StartupFailed());

        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        clock->Advance(6899);
        QVERIFY(platform::FindForm("Title"));
        clock->Advance(1);
        QVERIFY(!platform::FindForm("Title"));
        QVERIFY(main->isEnabled());
        QVERIFY(main->isVisible());
        QVERIFY(fileMenuEnabled(main));
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QCOMPARE(dialogs.requests()[0].file.initDir, platform::ToQ(folder.path() + "/Samples/"));
        QVERIFY(shell::CommonDialog1().InitDir.isEmpty());
        QVERIFY(messages.shown().empty());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
        clock->Advance(20000);  // nothing more happens; the program runs on
        QCOMPARE(end.count, 0);
        QCOMPARE(dialogs.requests().size(), size_t(1));
    }

    void theFileChosenAtStartIsOpened() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        ScriptedDialogs dialogs;
        shell::FormCreatorInstallation text(shell::kTextWindow, [&] { return new kx::test::StubTextWindow(log); });
        shell::StartProgram();
        const std::string notes = folder.dir.write("Samples/notes.txt", "some notes\r\n");
        dialogs.ChooseOpen(platform::ToQ(notes));
        clock->Advance(7500);
        QCOMPARE(log, (kx::test::CallLog{"OPEN_Rich " + notes, "IsSolferFile false"}));
    }

    void withoutOptionsTheProgramSaysWhyAndEnds() {
        ProgramFolder folder;
        ScriptedMessages messages;
        ScriptedDialogs dialogs;  // any Open dialog would fail the test
        kx::test::EndCounter end;
        shell::MDIForm1* main = shell::StartProgram();
        QPointer<QWidget> mainAlive(main);

        clock->Advance(600);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text, platform::ToQ("The auxiliary file '" + folder.options() +
                                                          "' not found or cannot be processed. The program "
                                                          "terminates. \r\nFile not found: " + folder.options() + "."));
        QCOMPARE(messages.shown()[0].style, 16);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QVERIFY(!main->isEnabled());
        QCOMPARE(end.count, 0);

        clock->Advance(300);  // the deferred exit
        QCOMPARE(end.count, 1);
        QVERIFY(!platform::FindForm("Title"));
        kx::test::Settle();
        QVERIFY(mainAlive.isNull());
        clock->Advance(10000);
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(dialogs.requests().empty());
    }

    void aReadOnlyOptionsFileIsMadeWritableSilently() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        files::SetReadOnly(folder.options(), true);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        shell::StartProgram();
        clock->Advance(600);
        QVERIFY(messages.shown().empty());
        QVERIFY(!files::IsReadOnly(folder.options()));
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        clock->Advance(6900);
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QVERIFY(messages.shown().empty());
    }

    void unreadableOptionsAtTheSecondStageAreReportedAndTheProgramGoesOn() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        shell::MDIForm1* main = shell::StartProgram();
        clock->Advance(600);
        // Cut short after the check: the second stage cannot read all items.
        folder.dir.write("AssistFiles/OPTIONS.txt", "1, 1, 255\r\n");
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        clock->Advance(6900);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString("Error in the 'OPTIONS.txt' file. In the KINOVEF-I program, use the "
                                              "OPTIONS window to set correct values.\r\nThe file holds 3 items "
                                              "where 17 are needed."));
        QCOMPARE(messages.shown()[0].style, 16);
        QVERIFY(main->isEnabled());
        QCOMPARE(dialogs.requests().size(), size_t(1));
    }

    void aForeignNumberFormatShowsTheHelpInsteadOfTheSplash() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        ScriptedMessages messages;
        kx::test::EndCounter end;
        shell::SetNumberFormatProbe([](double) { return std::string("-1058201048,57143"); });
        shell::MDIForm1* main = shell::StartProgram();
        QVERIFY(!platform::FindForm("Title"));
        QCOMPARE(Shared().LineChunk, 0);  // the shared defaults stay unset
        QVERIFY(messages.shown().empty());

        clock->Advance(700);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text,
                 QString("Decimal symbol of the number format isn't recognized; Kinovex requires the point as the "
                         "decimal symbol.  The next message contains an information about setting the number "
                         "format."));
        QCOMPARE(messages.shown()[0].style, 16);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        platform::Form* help = platform::FindForm("Help1");
        QVERIFY(help);
        QVERIFY(shell::FormVisible(help));
        QVERIFY(!platform::FindForm("Title"));
        QVERIFY(main->isEnabled());

        clock->Advance(10000);
        QCOMPARE(end.count, 0);  // waits for the user to read the help
        platform::Unload(help);
        clock->Advance(300);
        QCOMPARE(end.count, 1);
    }

    void theProgressBarFillsToAHundredAndRestartsEveryTwoAndAHalfSeconds() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        auto* splash = new shell::Title;
        clock->Advance(500);
        QCOMPARE(splash->ProgressCount(), 75);  // 25 ticks of 3
        clock->Advance(1000);
        QCOMPARE(splash->ProgressCount(), 100);
        QCOMPARE(splash->ProgressBar1()->value(), 100);
        // A failed check stops the progress; the restart brings it back.
        ScriptedMessages messages;
        QVERIFY(splash->TotOpnErr(folder.assist("missing.txt"), false));
        QVERIFY(splash->StartupFailed());
        QCOMPARE(messages.shown().size(), size_t(1));
        clock->Advance(1000);  // 2.5 s
        QVERIFY(splash->ProgressCount() <= 3);
        clock->Advance(100);
        QCOMPARE(splash->ProgressCount(), 15);
        clock->Advance(20000);
        QVERIFY(platform::FindForm("Title"));  // no hand-over after a failed check
    }

    void theReadOnlyCheckWithoutClearingReportsTheFile() {
        ProgramFolder folder(KX_SHIPPED_OPTIONS);
        ScriptedMessages messages;
        auto* splash = new shell::Title;
        files::SetReadOnly(folder.options(), true);
        QVERIFY(splash->TotOpnErr(folder.options(), false));
        QCOMPARE(messages.lastText(), platform::ToQ("File '" + folder.options() +
                                                    "' is read-only, remove this attribute. The program terminates. "));
        QVERIFY(files::IsReadOnly(folder.options()));
        files::SetReadOnly(folder.options(), false);
        QVERIFY(!splash->Empty_Check(folder.options()));
        QVERIFY(splash->Empty_Check(folder.assist("SolverData.txt")));
        QCOMPARE(messages.lastText(), platform::ToQ("The auxiliary file '" + folder.assist("SolverData.txt") +
                                                    "' not found or cannot be processed. The program terminates. "
                                                    "\r\nFile not found: " + folder.assist("SolverData.txt") + "."));
        QCOMPARE(messages.shown().size(), size_t(2));
        QVERIFY(splash->CursorFiles_Check());
        QCOMPARE(messages.lastText(), platform::ToQ("The auxiliary file '" + folder.assist("Dragcopy.cur") +
                                                    "' not found. The program terminates. \r\nFile not found: " +
                                                    folder.assist("Dragcopy.cur") + "."));
        folder.dir.write("AssistFiles/Dragcopy.cur", "no picture");
        QVERIFY(splash->CursorFiles_Check());
        QCOMPARE(messages.lastText(), platform::ToQ("The auxiliary file '" + folder.assist("Dragcopy.cur") +
                                                    "' not found. The program terminates. \r\nIt holds no picture "
                                                    "that can be read."));
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
