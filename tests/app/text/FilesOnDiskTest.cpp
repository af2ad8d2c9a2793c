// Files that change on disk while a window shows them, and files opened
// twice: a save never puts a window's older content over newer work in the
// file without asking, and a file is shown in one window only (text, RTF,
// solver and chart files alike).
#include "RES_ShowFile.h"

#include "ChartFile.h"
#include "Files.h"
#include "OpenFiles.h"
#include "PLOT.h"
#include "PlotDialogs.h"
#include "Scripted.h"

#include "SolverFileText.h"
#include "TextWindowsBed.h"

#include <QTest>
#include <QTextEdit>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::text::RES_ShowFile;
namespace fs = std::filesystem;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr int kReplaceStyle = 48 + 4 + 256;  // exclamation, Yes/No, No the default

// What another program does to the file while the window shows it.
enum Meanwhile { OtherBytes, SameSizeTimeKept, RenamedOver, SameBytesAgain, Deleted };

void rewrite(const std::string& path, const std::string& bytes, bool keepTime) {
    const auto before = fs::last_write_time(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    if (keepTime) fs::last_write_time(path, before);
}

QString changedQuestion(const std::string& path, const char* content) {
    return platform::ToQ("The file '" + path +
                         "' has been changed on disk since this window read or last saved it.\r\n\r\n"
                         "Yes replaces it with this window's " + content +
                         ", and what the file holds now is lost. No saves nothing.");
}

QString openElsewhereQuestion(const std::string& path, const std::string& caption, const char* content) {
    return platform::ToQ("The file '" + path + "' is open in the window '" + caption +
                         "'.\r\n\r\nYes replaces the file with this window's " + content +
                         "; that window keeps its own and asks before it saves over this. No saves nothing.");
}

constexpr int kGetBackStyle = 48 + 1 + 256;  // exclamation, OK and Cancel, Cancel the default

QString interruptedQuestion(const std::string& path, const std::string& copy, bool atOpen) {
    return platform::ToQ(
        "An earlier save of '" + path +
        "' was cut short: the file may hold part of what that save wrote and part of what it held before. "
        "Its whole earlier content is kept in '" + copy + "'.\r\n\r\n" +
        (atOpen ? "\"Get it back\" writes that content back into the file before it opens; Cancel opens the file as "
                  "it is and keeps the copy."
                : "\"Get it back\" writes that content back into the file; Cancel leaves the file and the copy as "
                  "they are. Either way this save does not go on, and this window keeps what it holds."));
}

}  // namespace

class FilesOnDiskTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;

    std::string write(const std::string& name, const std::string& bytes) { return bed->folder.dir.write(name, bytes); }
    std::string file(const std::string& name) { return bed->folder.dir.file(name); }
    static RES_ShowFile* activeText() { return dynamic_cast<RES_ShowFile*>(platform::ActiveDocument()); }
    RES_ShowFile* openText(const std::string& path) {
        shell::OpenFileByType(path);
        return activeText();
    }
    static void type(RES_ShowFile* w, const QString& text) {
        w->RichTextBox1()->moveCursor(QTextCursor::End);
        w->RichTextBox1()->insertPlainText(text);
    }
    static bool save(RES_ShowFile* w) {
        bool cancelled = false;
        w->SVTXT(cancelled);
        return !cancelled;
    }
    std::string chartFile(const std::string& name, const std::string& title) {
        chart::ChartModel m;
        m.Resize(1, 2);
        m.At(0) = {"H2O", 255, 5, 3, "", "", {0, 1e-6}, {0.1, 0.2}};
        m.mainTitle = title;
        const std::string path = write(name, "");
        chart::WriteChartFile(m, path);
        return path;
    }

private slots:
    void init() {
        bed = std::make_unique<kx::test::TextWindowsBed>();
        chart::InstallChartWindows();
    }
    void cleanup() {
        kx::test::DeleteAllWindows();
        shell::InstallFormCreator(shell::kChartWindow, nullptr);
        shell::InstallFormCreator(chart::kExportDialog, nullptr);
        bed.reset();
    }

    void aSaveAsksBeforeReplacingAFileChangedOnDisk_data() {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<bool>("viaLink");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("meanwhile");
        QTest::addColumn<int>("answer");  // 0: no question
        const std::string text = "first words\r\n";
        const std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 first words\\par\r\n}";
        const int yes = platform::kAnswerYes, no = platform::kAnswerNo;
        QTest::newRow("unedited, other bytes, No") << std::string("notes.txt") << text << false << false << int(OtherBytes) << no;
        QTest::newRow("edited, other bytes, No") << std::string("notes.txt") << text << false << true << int(OtherBytes) << no;
        QTest::newRow("edited, other bytes, Yes") << std::string("notes.txt") << text << false << true << int(OtherBytes) << yes;
        QTest::newRow("edited, same size and time") << std::string("notes.txt") << text << false << true << int(SameSizeTimeKept) << no;
        QTest::newRow("edited, renamed over") << std::string("notes.txt") << text << false << true << int(RenamedOver) << no;
        QTest::newRow("edited, through a link") << std::string("notes.txt") << text << true << true << int(OtherBytes) << no;
        QTest::newRow("RTF unedited, No") << std::string("report.rtf") << rtf << false << false << int(OtherBytes) << no;
        QTest::newRow("RTF edited, Yes") << std::string("report.rtf") << rtf << false << true << int(OtherBytes) << yes;
        QTest::newRow("same bytes written again") << std::string("notes.txt") << text << false << true << int(SameBytesAgain) << 0;
        QTest::newRow("deleted") << std::string("notes.txt") << text << false << true << int(Deleted) << 0;
    }
    void aSaveAsksBeforeReplacingAFileChangedOnDisk() {
        QFETCH(std::string, name);
        QFETCH(std::string, bytes);
        QFETCH(bool, viaLink);
        QFETCH(bool, edited);
        QFETCH(int, meanwhile);
        QFETCH(int, answer);
        const std::string target = write("data/" + name, bytes);
        fs::last_write_time(target, fs::last_write_time(target) - std::chrono::hours(1));
        std::string opened = target;
        if (viaLink) {
            opened = file("link-" + name);
            fs::create_symlink("data/" + name, opened);
        }
        RES_ShowFile* w = openText(opened);
        QVERIFY(w);
        if (edited) type(w, "typed");
        const QString shown = w->RichTextBox1()->toPlainText();

        const std::string other = "other words\r\n";  // as long as the first
        switch (meanwhile) {
            case OtherBytes: rewrite(target, "newer work of another program\r\n", false); break;
            case SameSizeTimeKept: rewrite(target, other, true); break;
            case RenamedOver: fs::rename(write("elsewhere.txt", other), target); break;
            case SameBytesAgain: rewrite(target, bytes, false); break;
            case Deleted: fs::remove(target); break;
        }
        const std::string onDisk = files::Exists(target) ? kx::test::ReadBytes(target) : std::string();

        ScriptedMessages messages;
        if (answer) messages.Answer(answer);
        const bool saved = save(w);

        if (answer) {
            QCOMPARE(messages.shown().size(), size_t(1));
            QCOMPARE(messages.lastText(), changedQuestion(opened, "text"));
            QCOMPARE(messages.shown()[0].style, kReplaceStyle);
        } else {
            QVERIFY(messages.shown().empty());
        }
        if (viaLink) QVERIFY(fs::is_symlink(opened));
        if (answer == platform::kAnswerNo) {
            QVERIFY(!saved);
            QCOMPARE(kx::test::ReadBytes(target), onDisk);
            QCOMPARE(w->RichTextBox1()->toPlainText(), shown);
            QCOMPARE(w->Modified(), edited);
            return;
        }
        QVERIFY(saved);
        QVERIFY(!w->Modified());
        QVERIFY(kx::test::ReadBytes(target).find(edited ? "typed" : "first words") != std::string::npos);
        // The window now knows the file as it wrote it: a further save asks nothing.
        type(w, " again");
        QVERIFY(save(w));
        QCOMPARE(messages.shown().size(), size_t(answer ? 1 : 0));
    }

    // The closing question's save and the program's exit go through the same
    // check: No keeps the window, its text and the newer file.
    void closingAndExitKeepANewerFile() {
        const std::string path = write("notes.txt", "first words\r\n");
        RES_ShowFile* w = openText(path);
        type(w, "typed");
        rewrite(path, "newer work\r\n", false);

        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);  // save changes?
        messages.Answer(platform::kAnswerNo);   // replace the newer file?
        QVERIFY(!platform::Unload(w));
        QCOMPARE(messages.lastText(), changedQuestion(path, "text"));
        QVERIFY(Shared().CloseRefused);

        kx::test::EndCounter end;
        messages.Answer(platform::kAnswerYes);
        messages.Answer(platform::kAnswerNo);
        shell::RequestExit();
        bed->clock->Advance(300);
        QCOMPARE(end.count, 0);
        QVERIFY(platform::IsLoaded(w));
        QVERIFY(w->Modified());
        QCOMPARE(messages.shown().size(), size_t(4));
        QCOMPARE(kx::test::ReadBytes(path), std::string("newer work\r\n"));
    }

    // Another spelling of an open file's path brings its window forward:
    // ".", "//", a relative path, a link.
    void aFileOpensInOneWindowOnly_data() {
        QTest::addColumn<int>("kind");  // 0 text, 1 RTF, 2 solver file, 3 chart
        QTest::addColumn<QString>("spelling");
        const char* kinds[] = {"text", "RTF", "solver", "chart"};
        for (int kind = 0; kind < 4; ++kind)
            for (const char* spelling : {"@/data/NAME", "@/data/./NAME", "@//data//NAME", "data/NAME", "@/link"})
                QTest::newRow((std::string(kinds[kind]) + " as " + spelling).c_str()) << kind << QString(spelling);
    }
    void aFileOpensInOneWindowOnly() {
        QFETCH(int, kind);
        QFETCH(QString, spelling);
        const char* names[] = {"notes.txt", "report.rtf", "h2run.txt", "ignition.pg"};
        const std::string name = names[kind];
        std::string path;
        if (kind == 3)
            path = chartFile("data/" + name, "Ignition");
        else
            path = write("data/" + name, kind == 0   ? std::string("words\r\n")
                                         : kind == 1 ? std::string("{\\rtf1\\ansi words\\par}")
                                                     : kx::test::SolverFileText{}.bytes());
        fs::create_symlink("data/" + name, file("link"));
        const char* type = kind == 3 ? shell::kChartWindow : shell::kTextWindow;

        ScriptedMessages messages;
        shell::OpenFileByType(path);
        platform::Form* first = platform::ActiveDocument();
        QVERIFY(first);
        shell::OpenFileByType(write("other.txt", "another document\r\n"));
        QVERIFY(platform::ActiveDocument() != first);
        const size_t windows = platform::FindForms(type).size();

        std::string again = platform::FromQ(spelling);
        if (const size_t at = again.find("NAME"); at != std::string::npos) again.replace(at, 4, name);
        if (again.rfind('@', 0) == 0) again = bed->folder.dir.path() + again.substr(1);
        const fs::path before = fs::current_path();
        fs::current_path(bed->folder.dir.path());
        shell::OpenFileByType(again);
        fs::current_path(before);

        QCOMPARE(platform::FindForms(type).size(), windows);
        QCOMPARE(platform::ActiveDocument(), first);
        if (kind == 2) {
            QCOMPARE(messages.lastText(), platform::ToQ("The solver file is already opened.\r\n\r\n" + again));
        } else {
            QVERIFY(messages.shown().empty());
        }
    }

    // Two files of one name in two folders: the window of the one opened
    // last stays in front when the main window brings its window forward a
    // moment later, not the older window whose caption reads the same.
    void theFileOpenedLastStaysInFront_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("text") << "notes.txt";
        QTest::newRow("solver file") << "h2run.txt";
        QTest::newRow("chart") << "ignition.pg";
    }
    void theFileOpenedLastStaysInFront() {
        QFETCH(QString, name);
        const std::string n = platform::FromQ(name);
        const auto make = [&](const std::string& folder) {
            if (n == "ignition.pg") return chartFile(folder + "/" + n, folder);
            return write(folder + "/" + n,
                         n == "notes.txt" ? std::string("words of " + folder + "\r\n") : kx::test::SolverFileText{}.bytes());
        };
        const std::string first = make("first");
        const std::string second = make("second");
        ScriptedMessages messages;
        shell::OpenFileByType(first);
        platform::Form* older = platform::ActiveDocument();
        shell::OpenFileByType(second);
        platform::Form* newer = platform::ActiveDocument();
        QVERIFY(older && newer && older != newer);
        QCOMPARE(older->Caption(), newer->Caption());
        bed->clock->Advance(300);
        QCOMPARE(platform::ActiveDocument(), newer);
        QVERIFY(messages.shown().empty());
    }

    // Opening again a file that another program changed: a window that
    // holds no changes of its own makes way for the newer file; one with
    // edits comes forward as it is (its save asks).
    void anOlderUneditedCopyMakesWayForTheNewerFile_data() {
        QTest::addColumn<int>("kind");  // 0 text, 2 solver file, 3 chart
        QTest::addColumn<bool>("edited");
        QTest::newRow("text") << 0 << false;
        QTest::newRow("edited text") << 0 << true;
        QTest::newRow("solver file") << 2 << false;
        QTest::newRow("chart") << 3 << false;
        QTest::newRow("edited chart") << 3 << true;
    }
    void anOlderUneditedCopyMakesWayForTheNewerFile() {
        QFETCH(int, kind);
        QFETCH(bool, edited);
        kx::test::SolverFileText solver;
        std::string path;
        if (kind == 3) {
            path = chartFile("ignition.pg", "Older title");
        } else {
            path = write("file.txt", kind == 0 ? std::string("older words\r\n") : solver.bytes());
        }
        const char* windowType = kind == 3 ? shell::kChartWindow : shell::kTextWindow;
        ScriptedMessages messages;
        shell::OpenFileByType(path);
        platform::Form* first = platform::ActiveDocument();
        if (edited && kind == 0) type(dynamic_cast<RES_ShowFile*>(first), "typed");
        if (edited && kind == 3) dynamic_cast<chart::PLOT*>(first)->MustSave();
        if (kind == 3) {
            chartFile("ignition.pg", "Newer title");
        } else {
            solver.reactions[0] = " 1    H2+O2<=>OH+OH";
            write("file.txt", kind == 0 ? std::string("newer words\r\n") : solver.bytes());
        }
        shell::OpenFileByType(path);

        QCOMPARE(platform::FindForms(windowType).size(), size_t(1));
        platform::Form* now = platform::ActiveDocument();
        QCOMPARE(now == first, edited);
        QVERIFY(messages.shown().empty());
        if (kind == 3) {
            QCOMPARE(dynamic_cast<chart::PLOT*>(now)->Pesgoa1().mainTitle,
                     std::string(edited ? "Older title" : "Newer title"));
        } else {
            const QString text = dynamic_cast<RES_ShowFile*>(now)->RichTextBox1()->toPlainText();
            QVERIFY2(text.contains(edited ? "older words" : kind == 0 ? "newer words" : "H2+O2<=>OH+OH"),
                     qPrintable(text));
        }
    }

    // Save As onto a file that another window shows asks; the other window
    // then asks before it saves over what this one wrote. Save As onto the
    // window's own file under another spelling is its own save.
    void saveAsOntoAnotherWindowsFileAsks() {
        const std::string a = write("a.txt", "text of a\r\n");
        const std::string b = write("b.txt", "text of b\r\n");
        RES_ShowFile* wb = openText(b);
        RES_ShowFile* wa = openText(a);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;

        dialogs.ChooseSave(platform::ToQ(b));
        messages.Answer(platform::kAnswerNo);
        wa->SaveAs();
        QCOMPARE(messages.lastText(), openElsewhereQuestion(b, "b.txt", "text"));
        QCOMPARE(messages.shown().back().style, kReplaceStyle);
        QCOMPARE(kx::test::ReadBytes(b), std::string("text of b\r\n"));

        dialogs.ChooseSave(platform::ToQ(b));
        messages.Answer(platform::kAnswerYes);
        wa->SaveAs();
        QCOMPARE(kx::test::ReadBytes(b), std::string("text of a\r\n"));

        type(wb, "typed in b");
        messages.Answer(platform::kAnswerNo);
        QVERIFY(!save(wb));
        QCOMPARE(messages.lastText(), changedQuestion(b, "text"));
        QCOMPARE(kx::test::ReadBytes(b), std::string("text of a\r\n"));
        QVERIFY(wb->Modified());

        // The first save of an untitled document asks the same.
        std::string caption;
        shell::NewTextDocument(caption, true);
        auto* untitled = activeText();
        type(untitled, "draft");
        dialogs.ChooseSave(platform::ToQ(b));
        messages.Answer(platform::kAnswerNo);
        QVERIFY(!save(untitled));
        QCOMPARE(messages.lastText(), openElsewhereQuestion(b, "b.txt", "text"));
        QVERIFY(untitled->MePath().empty());
        QCOMPARE(kx::test::ReadBytes(b), std::string("text of a\r\n"));

        // Its own file: no question, and its own later save asks nothing;
        // a change by another program after that is still seen.
        const size_t asked = messages.shown().size();
        type(wa, "typed in a");
        dialogs.ChooseSave(platform::ToQ(bed->folder.dir.path() + "//./a.txt"));
        wa->SaveAs();
        QVERIFY(save(wa));
        QCOMPARE(messages.shown().size(), asked);
        rewrite(a, "changed by another program\r\n", false);
        messages.Answer(platform::kAnswerNo);
        QVERIFY(!save(wa));
        QCOMPARE(messages.lastText(), changedQuestion(a, "text"));
    }

    // A chart window's Save and Save As ask as a text window's do.
    void aChartSaveAsksBeforeReplacingNewerWork() {
        const std::string a = chartFile("a.pg", "Chart A");
        const std::string b = chartFile("b.pg", "Chart B");
        shell::OpenFileByType(b);
        shell::OpenFileByType(a);
        auto* chartA = dynamic_cast<chart::PLOT*>(platform::ActiveDocument());
        QVERIFY(chartA && chartA->ChartFileName() == a);
        chartA->MustSave();
        const std::string newer = kx::test::ReadBytes(b);
        rewrite(a, newer, false);

        ScriptedMessages messages;
        messages.Answer(platform::kAnswerNo);
        QVERIFY(!chartA->Save());
        QCOMPARE(messages.lastText(), changedQuestion(a, "chart"));
        QCOMPARE(messages.shown().back().style, kReplaceStyle);
        QCOMPARE(kx::test::ReadBytes(a), newer);
        QVERIFY(chartA->ChartChanged());

        ScriptedDialogs dialogs;
        dialogs.ChooseSave(platform::ToQ(b));
        messages.Answer(platform::kAnswerNo);
        bool cancelled = false;
        QVERIFY(!chartA->SaveGraphTT(cancelled));
        QVERIFY(cancelled);
        QCOMPARE(messages.lastText(), openElsewhereQuestion(b, "Chart b.pg", "chart"));
        QCOMPARE(kx::test::ReadBytes(b), newer);
        QCOMPARE(chartA->ChartFileName(), a);

        messages.Answer(platform::kAnswerYes);
        QVERIFY(chartA->Save());
        QCOMPARE(chart::ReadChartFile(a).mainTitle, std::string("Chart A"));
        QVERIFY(chartA->Save());  // its own write is no change on disk
    }

    // A save in place cut short, as a killed save of a file with two names
    // leaves it: the file half new, its whole earlier content in a copy
    // beside it. Opening the file tells it and offers the earlier content
    // back into every name; Cancel, the default, opens the file as it is and
    // keeps the copy.
    void anInterruptedSaveIsToldWhenTheFileOpens_data() {
        QTest::addColumn<int>("kind");  // 0 text, 1 RTF, 2 solver file, 3 chart
        QTest::addColumn<int>("answer");
        QTest::newRow("text, get it back") << 0 << int(platform::kAnswerOk);
        QTest::newRow("text, cancel") << 0 << int(platform::kAnswerCancel);
        QTest::newRow("RTF, get it back") << 1 << int(platform::kAnswerOk);
        QTest::newRow("solver file, get it back") << 2 << int(platform::kAnswerOk);
        QTest::newRow("chart, get it back") << 3 << int(platform::kAnswerOk);
    }
    void anInterruptedSaveIsToldWhenTheFileOpens() {
        QFETCH(int, kind);
        QFETCH(int, answer);
        const char* names[] = {"notes.txt", "report.rtf", "h2run.txt", "ignition.pg"};
        const std::string name = names[kind];
        const std::string earlier = kind == 3   ? kx::test::ReadBytes(chartFile("data/" + name, "Earlier title"))
                                    : kind == 0 ? std::string("earlier words\r\n")
                                    : kind == 1 ? std::string("{\\rtf1\\ansi earlier words\\par}")
                                                : kx::test::SolverFileText{}.bytes();
        const std::string half = earlier.substr(0, earlier.size() / 2) + "later words";
        const std::string path = write("data/" + name, half);
        fs::create_hard_link(path, file("other name"));
        const std::string copy = write("data/." + name + ".kxold.0badf00d", earlier);

        ScriptedMessages messages;
        messages.Answer(answer);
        shell::OpenFileByType(path);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text, interruptedQuestion(path, copy, true));
        QCOMPARE(messages.shown()[0].style, kGetBackStyle);
        QCOMPARE(messages.shown()[0].okCaption, QString("Get it back"));
        const bool back = answer == platform::kAnswerOk;
        QCOMPARE(kx::test::ReadBytes(path), back ? earlier : half);
        QCOMPARE(kx::test::ReadBytes(file("other name")), back ? earlier : half);
        QCOMPARE(fs::exists(copy), !back);

        platform::Form* shown = platform::ActiveDocument();
        QVERIFY(shown);
        if (kind == 3) {
            QCOMPARE(dynamic_cast<chart::PLOT*>(shown)->Pesgoa1().mainTitle, std::string("Earlier title"));
        } else {
            auto* text = dynamic_cast<RES_ShowFile*>(shown);
            QVERIFY(text);
            QCOMPARE(text->MePath(), path);
            QCOMPARE(text->GetIsSolFile(), kind == 2);
            if (kind < 2) QVERIFY(text->RichTextBox1()->toPlainText().contains(back ? "earlier words" : "later words"));
        }
    }

    // A window's save over its file whose save was cut short meanwhile (by
    // another program, killed while it wrote the file in place) asks the
    // same; either answer saves nothing, and the window keeps its work.
    void anInterruptedSaveIsToldBeforeASave_data() {
        QTest::addColumn<bool>("chart");
        QTest::addColumn<int>("answer");
        QTest::newRow("text, get it back") << false << int(platform::kAnswerOk);
        QTest::newRow("text, cancel") << false << int(platform::kAnswerCancel);
        QTest::newRow("chart, get it back") << true << int(platform::kAnswerOk);
        QTest::newRow("chart, cancel") << true << int(platform::kAnswerCancel);
    }
    void anInterruptedSaveIsToldBeforeASave() {
        QFETCH(bool, chart);
        QFETCH(int, answer);
        const std::string name = chart ? "ignition.pg" : "notes.txt";
        const std::string path = chart ? chartFile(name, "Earlier title") : write(name, "earlier words\r\n");
        const std::string earlier = kx::test::ReadBytes(path);
        ScriptedMessages messages;
        shell::OpenFileByType(path);
        platform::Form* window = platform::ActiveDocument();
        QVERIFY(window);
        QVERIFY(messages.shown().empty());
        if (chart)
            dynamic_cast<chart::PLOT*>(window)->MustSave();
        else
            type(dynamic_cast<RES_ShowFile*>(window), "typed");

        const std::string half = earlier.substr(0, earlier.size() / 2) + "later words";
        write(name, half);
        const std::string copy = write("." + name + ".kxold.0badf00d", earlier);
        messages.Answer(answer);
        QVERIFY(chart ? !dynamic_cast<chart::PLOT*>(window)->Save() : !save(dynamic_cast<RES_ShowFile*>(window)));
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), interruptedQuestion(path, copy, false));
        QCOMPARE(messages.shown()[0].style, kGetBackStyle);
        const bool back = answer == platform::kAnswerOk;
        QCOMPARE(kx::test::ReadBytes(path), back ? earlier : half);
        QCOMPARE(fs::exists(copy), !back);
        QVERIFY(chart ? dynamic_cast<chart::PLOT*>(window)->ChartChanged()
                      : dynamic_cast<RES_ShowFile*>(window)->Modified());
    }
};

QTEST_MAIN(FilesOnDiskTest)
#include "FilesOnDiskTest.moc"
