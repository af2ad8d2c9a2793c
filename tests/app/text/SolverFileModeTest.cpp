// Solver files in the text window, inside the main window: opened read-only
// with the editing commands off, found again under another spelling of the
// path, and handed on by the kinetics menus: the run through the main
// window's run timer, the results, the reduction and comparison windows,
// the mechanism text, and Exit.
#include "RES_ShowFile.h"

#include "Files.h"
#include "OpenFiles.h"
#include "Scripted.h"

#include "SolverFileText.h"
#include "TextWindowsBed.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <map>
#include <filesystem>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::test::CallLog;
using kx::test::StubToolDialog;
using kx::text::RES_ShowFile;

class SolverFileModeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;
    CallLog log;
    std::string sample;

    RES_ShowFile* textWindow(const QString& caption) {
        return dynamic_cast<RES_ShowFile*>(platform::FindFormByCaption(caption));
    }
    std::vector<platform::Form*> textWindows() { return platform::FindForms(shell::kTextWindow); }
    QAction* act(RES_ShowFile* w, const char* name) { return w->findChild<QAction*>(name); }
    bool button(int index) { return bed->main->Toolbar5()->Button(index)->isEnabled(); }
    // Stand-ins for the windows of later parts, recording what they get.
    std::vector<std::unique_ptr<shell::FormCreatorInstallation>> stubs;
    void installStub(const char* type) {
        stubs.push_back(std::make_unique<shell::FormCreatorInstallation>(
            type, [this, type] { return new StubToolDialog(log, type); }));
    }

private slots:
    void init() {
        log.clear();
        bed = std::make_unique<kx::test::TextWindowsBed>();
        sample = bed->folder.dir.write("h2_air_1000K.txt",
                                   kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt"));
    }
    void cleanup() {
        kx::test::DeleteAllWindows();
        stubs.clear();
        bed.reset();
    }

    void aSolverFileOpensReadOnlyWithTheEditingCommandsOff() {
        ScriptedMessages messages;
        shell::OpenFileByType(sample);
        RES_ShowFile* w = textWindow("h2_air_1000K.txt");
        QVERIFY(w);
        QVERIFY(messages.shown().empty());
        QVERIFY(w->GetIsSolFile());
        QCOMPARE(w->MePath(), sample);
        QVERIFY(w->RichTextBox1()->isReadOnly());
        QVERIFY(w->RichTextBox1()->toPlainText().startsWith("!$KINOVEX SOLVER\n Hydrogen-air"));
        QCOMPARE(w->RichTextBox1()->palette().color(QPalette::Base), QColor(180, 190, 210));
        QVERIFY(shell::FormVisible(w));
        QCOMPARE(platform::ActiveDocument(), static_cast<platform::Form*>(w));

        for (const char* off : {"CUTTX", "PASTETX", "EDIT_DEL", "DATATIME", "SAVERES", "RICH_CUT", "RICH_PASTE",
                                "RICH_DELETE", "POST"})
            QVERIFY2(!act(w, off)->isEnabled(), off);
        for (const char* on : {"RESTOOLS", "TEXT_SOLVER", "TXT_RENSOLVER", "RESREACTIONSTools", "FINDTX"})
            QVERIFY2(act(w, on)->isEnabled(), on);
        QVERIFY(!button(1) && !button(5) && !button(7));
        QVERIFY(bed->main->Toolbar5()->isVisibleTo(bed->main));

        // Selecting text offers copy, never cut.
        w->RichTextBox1()->selectAll();
        QVERIFY(act(w, "COPYTX")->isEnabled());
        QVERIFY(button(6));
        QVERIFY(!act(w, "CUTTX")->isEnabled());
        QVERIFY(!button(5));

        // The text does not change, and the file is never written.
        w->TEXT_CUT();
        w->ClipInRich();
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!w->Modified());
        QCOMPARE(kx::test::ReadBytes(sample),
                 kx::test::ReadBytes(std::string(KX_SAMPLES_DIR) + "/h2_air_1000K.txt"));
        QVERIFY(platform::Unload(w));  // no question
        QVERIFY(messages.shown().empty());
    }

    void theActiveTextWindowsMenusStandInTheMainBar() {
        shell::OpenFileByType(sample);
        RES_ShowFile* w = textWindow("h2_air_1000K.txt");
        QVERIFY(w);
        QStringList shown;
        for (QAction* a : bed->main->menuBar()->actions())
            if (a->isVisible()) shown << a->text();
        QCOMPARE(shown, (QStringList{"File", "Edit", "Format", "Solver", "Post-Processor", "Tools", "Window", "Help"}));
        QCOMPARE(bed->main->menuBar()->actions(), w->menuBar()->actions());
        QVERIFY(!w->menuBar()->isVisible());
        // The window's items work from the main bar.
        act(w, "FONT14")->trigger();
        QCOMPARE(w->FontSize(), 14);
        Shared().TextFontSize = 11;
    }

    void newTextWindowsOpenReadableAndInsideTheMainArea() {
        const QSize area = bed->main->Area()->viewport()->size();
        const QRect inside(QPoint(0, 0), area);
        std::vector<QRect> places;
        for (int i = 0; i < 6; ++i) {
            std::string caption;
            shell::NewTextDocument(caption, true);
            const QRect frame = platform::OuterWidget(textWindow(QString::fromStdString(caption)))->geometry();
            QVERIFY2(inside.contains(frame), caption.c_str());
            QVERIFY(frame.width() >= area.width() * 3 / 4 && frame.height() >= area.height() * 3 / 4);
            places.push_back(frame);
        }
        // Each new window a step down from the one before, until the next
        // step would leave the area.
        QVERIFY(places[1].topLeft().x() > places[0].topLeft().x() && places[1].y() > places[0].y());
    }

    void aFileAlreadyShownIsBroughtForwardUnderAnySpellingOfItsPath() {
        ScriptedMessages messages;
        shell::OpenFileByType(sample);
        std::filesystem::create_directory(bed->folder.dir.file("sub"));
        const std::string other = bed->folder.dir.path() + "/sub/../h2_air_1000K.txt";
        for (const std::string& path : {sample, other}) {
            shell::OpenFileByType(path);
            QCOMPARE(textWindows().size(), size_t(1));
            QCOMPARE(messages.lastText(), platform::ToQ("The solver file is already opened.\r\n\r\n" + path));
            QCOMPARE(messages.shown().back().style, 64);
            QCOMPARE(messages.shown().back().title, QString("KINOVEX"));
        }
        // Another file with the same name is another document.
        const std::string copy = bed->folder.dir.write("sub/h2_air_1000K.txt", kx::test::ReadBytes(sample));
        shell::OpenFileByType(copy);
        QCOMPARE(textWindows().size(), size_t(2));
    }

    void aSolverFileThatCannotBeOpenedLeavesNoWindow() {
        ScriptedMessages messages;
        text::ShowFileInResultWindow(bed->folder.dir.file("gone.txt"));
        QVERIFY(textWindows().empty());
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].style, 16);
    }

    void runSolverClosesTheToolWindowsAndAsksTheMainWindowForTheRun() {
        ScriptedMessages messages;
        installStub(shell::kRunSettingsWindow);
        installStub(shell::kReductionWindow);
        installStub(shell::kComparisonWindow);
        shell::OpenFileByType(sample);
        RES_ShowFile* w = textWindow("h2_air_1000K.txt");
        for (const char* type : {shell::kRunSettingsWindow, shell::kReductionWindow, shell::kComparisonWindow})
            shell::LoadForm(type);
        auto* results = new platform::FormWindow<QWidget>(shell::kResultsWindow);
        results->SetCaption("Solver File  h2_air_1000K.txt");
        w->MenuCap("Solver File  h2_air_1000K.txt");

        act(w, "TXT_RENSOLVER")->trigger();
        for (const char* type : {shell::kRunSettingsWindow, shell::kReductionWindow, shell::kComparisonWindow,
                                 shell::kResultsWindow})
            QVERIFY2(!platform::FindForm(type), type);
        QVERIFY(log.empty());
        bed->clock->Advance(499);
        QVERIFY(log.empty());
        bed->clock->Advance(1);
        QCOMPARE(log, (CallLog{"GETPASS " + sample + " | h2_air_1000K.txt"}));
        QVERIFY(platform::FindForm(shell::kRunSettingsWindow));
        QVERIFY(messages.shown().empty());
    }

    // Two solver files of one name in two folders, each with its results
    // window: running one closes its own results window, which would show
    // the older run, and leaves the other's.
    void runSolverClosesTheResultsWindowOfItsOwnFile() {
        installStub(shell::kRunSettingsWindow);
        const std::string bytes = kx::test::ReadBytes(sample);
        const std::string a = bed->folder.dir.write("a/run.txt", bytes);
        const std::string b = bed->folder.dir.write("b/run.txt", bytes);
        std::map<std::string, platform::Form*> results;
        for (const std::string& path : {b, a}) {
            ScriptedMessages messages;
            shell::OpenFileByType(path);
            Shared().SolverFileToOpen = path;
            results[path] = new kx::test::StubResultsWindow(false);
            results[path]->SetCaption("Solver File  run.txt");
            dynamic_cast<RES_ShowFile*>(platform::FindFormByMePath(path))->MenuCap("Solver File  run.txt");
        }
        act(dynamic_cast<RES_ShowFile*>(platform::FindFormByMePath(a)), "TXT_RENSOLVER")->trigger();
        QVERIFY(!platform::IsLoaded(results[a]));
        QVERIFY(platform::IsLoaded(results[b]));
    }

    void theResultsAndToolWindowsAreReachedFromTheMenus() {
        ScriptedMessages messages;
        shell::OpenFileByType(sample);
        RES_ShowFile* w = textWindow("h2_air_1000K.txt");
        // No results in the file: the results menu is off, and asking anyway says why.
        QVERIFY(!act(w, "POST")->isEnabled());
        w->OpResults();
        QCOMPARE(messages.lastText(), platform::ToQ("In the file '" + sample + "', \r\nresults are not found."));

        // A window that is not installed is reported by the menu's trap.
        act(w, "REDKIN_RES")->trigger();
        QCOMPARE(messages.lastText(), QString("17#013. This part of the program is not available: RED_Gen"));
        installStub(shell::kComparisonWindow);
        act(w, "RESCOMP")->trigger();
        platform::Form* comparison = platform::FindForm(shell::kComparisonWindow);
        QVERIFY(comparison && shell::FormVisible(comparison));

        // With results the menu comes on at the next activation.
        kx::test::SolverFileText file;
        file.after = kx::test::Results(file.species, 4);
        file.after.push_back(" !$End");
        shell::OpenFileByType(bed->folder.dir.write("done.txt", file.bytes()));
        RES_ShowFile* done = textWindow("done.txt");
        QVERIFY(act(done, "POST")->isEnabled());
    }

    void theMechanismOpensAsChemkinTextInANewDocument() {
        ScriptedMessages messages;
        shell::OpenFileByType(sample);
        act(textWindow("h2_air_1000K.txt"), "RESREACTIONSTools")->trigger();
        QVERIFY(messages.shown().empty());
        RES_ShowFile* doc = textWindow("Text Doc1");
        QVERIFY(doc);
        QVERIFY(!doc->GetIsSolFile());
        QCOMPARE(doc->MePath(), std::string());
        QVERIFY(doc->Modified());
        const QString text = doc->RichTextBox1()->toPlainText();
        QVERIFY(text.startsWith("! Reaction mechanism of the solver file h2_air_1000K.txt\n"));
        QVERIFY(text.contains("\nH+O2(+M)<=>HO2(+M)"));
        QVERIFY(text.contains("\nREACTIONS   CAL/MOLE   MOLES\n"));
        QVERIFY(!files::Exists(bed->folder.working("CHEM01.TMP")));
    }

    // A value that fits no form of its columns is refused with the species
    // named; no document is opened and the scratch file is gone.
    void aThermoValueWithoutRoomRefusesTheMechanismText() {
        std::vector<std::string> lines = files::SplitLines(kx::test::ReadBytes(sample));
        const auto thermo = std::find(lines.begin(), lines.end(), " THERMO");
        QVERIFY(thermo != lines.end());
        (thermo + 1)->replace(65, 8, "-1234-99");  // H2's common temperature, -1.234E-97
        const std::string wide = bed->folder.dir.write("wide.txt", "");
        files::WriteLines(wide, lines);
        ScriptedMessages messages;
        shell::OpenFileByType(wide);
        act(textWindow("wide.txt"), "RESREACTIONSTools")->trigger();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].style, platform::kMsgExclamation);
        QVERIFY2(messages.lastText().contains(" H2 ") && messages.lastText().contains("-1.234E-97"),
                 qPrintable(messages.lastText()));
        QVERIFY(!textWindow("Text Doc1"));
        QVERIFY(!files::Exists(bed->folder.working("CHEM01.TMP")));
    }

    void exitClosesTheWindowThenTheProgram() {
        kx::test::EndCounter end;
        shell::OpenFileByType(sample);
        RES_ShowFile* w = textWindow("h2_air_1000K.txt");
        act(w, "EXITRES")->trigger();
        QVERIFY(textWindows().empty());
        bed->clock->Advance(300);
        QCOMPARE(end.count, 1);
    }

    void exitStopsWhenTheUserKeepsAChangedDocument() {
        ScriptedMessages messages;
        kx::test::EndCounter end;
        std::string caption;
        shell::NewTextDocument(caption, true);
        RES_ShowFile* w = textWindow("Text Doc1");
        w->RichTextBox1()->insertPlainText("unsaved");
        messages.Answer(platform::kAnswerCancel);
        act(w, "EXITRES")->trigger();
        QCOMPARE(textWindows().size(), size_t(1));
        bed->clock->Advance(1000);
        QCOMPARE(end.count, 0);
        QCOMPARE(messages.shown().size(), size_t(1));
    }
};

QTEST_MAIN(SolverFileModeTest)
#include "SolverFileModeTest.moc"
