// Choosing a solver file to open, and handing one with results to the
// results window.
#include "FormRegistry.h"
#include "Scripted.h"
#include "SolverFileOpening.h"

#include "SolverFileText.h"
#include "DesktopTestSupport.h"

#include <QTest>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::test::SolverFileText;
using kx::test::StubResultsWindow;

namespace {

std::string notSolverFile(const std::string& path, const std::string& why) {
    return "You are attempting to open not solver file '" + path + "'.\r\n" + why;
}

}  // namespace

class SolverFileOpeningTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::WindowTestBed> bed;

    std::string withResults(const std::string& name, int records) {
        SolverFileText file;
        file.after = kx::test::Results(file.species, records);
        file.after.push_back(" !$End");
        return bed->folder.dir.write(name, file.bytes());
    }

private slots:
    void init() { bed = std::make_unique<kx::test::WindowTestBed>(kx::test::WindowTestBed::Clock::Real); }
    void cleanup() { bed.reset(); }

    void anEmptyPathAsksForTheFileAndAGivenOneIsCheckedAsItIs() {
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        const std::string good = bed->folder.dir.write("run.sol", SolverFileText{}.bytes());
        dialogs.ChooseOpen(platform::ToQ(good));
        std::string path;
        bool failed = true;
        runs::CheckSolverFileToOpen(path, failed);
        QCOMPARE(path, good);
        QVERIFY(!failed);
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QCOMPARE(dialogs.requests()[0].file.filterIndex, 1);

        runs::CheckSolverFileToOpen(path, failed);  // no dialog now
        QVERIFY(!failed);
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QVERIFY(messages.shown().empty());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void cancellingTheDialogFailsSilently() {
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        std::string path;
        bool failed = false;
        runs::CheckSolverFileToOpen(path, failed);
        QVERIFY(failed);
        QVERIFY(path.empty());
        QVERIFY(messages.shown().empty());
    }

    void eachRefusalIsShownOnce() {
        SolverFileText constantVolume;
        constantVolume.temperatureMode = "3";
        const std::string readOnly = bed->folder.dir.write("locked.sol", SolverFileText{}.bytes());
        files::SetReadOnly(readOnly, true);
        const std::string chart = bed->folder.dir.write("chart.PG", SolverFileText{}.bytes());
        const std::string notes = bed->folder.dir.write("notes.txt", "just notes\r\n");
        const std::string empty = bed->folder.dir.write("empty.sol", "");
        const std::string gone = bed->folder.dir.file("gone.sol");
        const std::string folder = bed->folder.path();
        struct Case {
            std::string path;
            std::string message;
            bool whole = true;  // the message is all of the text shown
        } cases[] = {
            {readOnly, "File '" + readOnly + "' is read-only, remove this attribute."},
            {chart, notSolverFile(chart, "Files with the extensions pg, mdb, pdf and exe are not opened as solver files.")},
            {notes, notSolverFile(notes, "Its first line does not begin with \"!$KINOVEX SOLVER\".")},
            {empty, notSolverFile(empty, "The file is empty: " + empty + ".")},
            {gone, notSolverFile(gone, "File not found: " + gone + ".")},
            {folder, notSolverFile(folder, "It is a folder: " + folder + ".")},
            {bed->folder.dir.write("cv.sol", constantVolume.bytes()), "Kinovex-II is intended", false},
        };
        for (const Case& c : cases) {
            ScriptedMessages messages;
            std::string path = c.path;
            bool failed = false;
            runs::CheckSolverFileToOpen(path, failed);
            QVERIFY(failed);
            QCOMPARE(messages.shown().size(), size_t(1));
            if (c.whole) QCOMPARE(messages.lastText(), platform::ToQ(c.message));
            QVERIFY2(messages.lastText().startsWith(platform::ToQ(c.message)), qPrintable(messages.lastText()));
            QCOMPARE(messages.shown()[0].style, 48);
            QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        }
    }

    void completeResultsOpenTheResultsWindowReplacingTheOldOne() {
        int loads = 0;
        shell::FormCreatorInstallation results(shell::kResultsWindow, [&] {
            ++loads;
            return new StubResultsWindow(false);
        });
        const std::string path = withResults("run.sol", 4);
        auto* old = new StubResultsWindow(false);  // open on another file, then on this one
        Shared().SolverFileToOpen = path;
        auto* sameFile = new StubResultsWindow(false);
        runs::OpenResultsWindow(path);
        QCOMPARE(loads, 1);
        const std::vector<platform::Form*> open = platform::FindForms("MenuForm");
        QCOMPARE(open.size(), size_t(2));
        QCOMPARE(open[0], old);
        QVERIFY(open[1] != sameFile);
        QCOMPARE(platform::Require<platform::HasSolverFilePath>(open[1]).SolverFilePath(), path);
        QVERIFY(shell::FormVisible(open[1]));
    }

    void missingOrIncompleteResultsAreShownAndNothingOpens() {
        int loads = 0;
        shell::FormCreatorInstallation results(shell::kResultsWindow, [&] {
            ++loads;
            return new StubResultsWindow(false);
        });
        ScriptedMessages messages;
        const std::string none = bed->folder.dir.write("none.sol", SolverFileText{}.bytes());
        runs::OpenResultsWindow(none);
        QCOMPARE(messages.lastText(), platform::ToQ("In the file '" + none + "', \r\nresults are not found."));
        const std::string two = withResults("two.sol", 2);
        runs::OpenResultsWindow(two);
        QCOMPARE(messages.lastText(),
                 platform::ToQ("In the file '" + two + "', the results hold only 2 records; at least 3 are needed."));
        QCOMPARE(messages.shown()[1].style, 48);
        // A file that does not read is not passed over in silence.
        const std::string gone = bed->folder.dir.file("gone.sol");
        runs::OpenResultsWindow(gone);
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(messages.lastText(), platform::ToQ("In the file '" + gone + "', unexpected error.\r\nFile not found: " +
                                                    gone + "."));
        QCOMPARE(messages.shown()[2].style, 48);
        QCOMPARE(loads, 0);
    }

    void aResultsWindowThatFailsToLoadIsUnloadedAndTheFlagCleared() {
        shell::FormCreatorInstallation results(shell::kResultsWindow, [] { return new StubResultsWindow(true); });
        runs::OpenResultsWindow(withResults("run.sol", 5));
        QVERIFY(!platform::FindForm("MenuForm"));
        QVERIFY(!Shared().MenuFormLoadFailed);
    }

    void withoutAResultsWindowTheErrorReachesTheCaller() {
        try {
            runs::OpenResultsWindow(withResults("run.sol", 5));
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.kind(), ErrorKind::ComponentMissing);
        }
    }
};

QTEST_MAIN(SolverFileOpeningTest)
#include "SolverFileOpeningTest.moc"
