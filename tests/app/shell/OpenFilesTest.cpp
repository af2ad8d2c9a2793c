// Opening files by kind, new text documents and closing tool windows.
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "OpenFiles.h"
#include "Scripted.h"

#include "DesktopTestSupport.h"
#include "SolverFileText.h"

#include <QPlainTextEdit>
#include <QTest>

#include <memory>
#include <utility>
#include <vector>

using namespace kx;
using namespace std::string_literals;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::test::CallLog;
using kx::test::StubChartWindow;
using kx::test::StubTextWindow;

class OpenFilesTest : public QObject {
    Q_OBJECT

    std::optional<kx::test::WindowTestBed> bed;

    CallLog log;
    std::vector<std::string> shownSolverFiles;
    std::vector<StubTextWindow*> texts;
    std::vector<StubChartWindow*> charts;
    std::unique_ptr<shell::FormCreatorInstallation> textCreator, chartCreator;
    shell::ShowFileHook previousHook;

    std::string write(const std::string& name, const std::string& bytes) { return bed->folder.dir.write(name, bytes); }

private slots:
    void init() {
        bed.emplace();
        log.clear();
        shownSolverFiles.clear();
        texts.clear();
        charts.clear();
        new shell::MDIForm1;
        textCreator = std::make_unique<shell::FormCreatorInstallation>(shell::kTextWindow, [this] {
            texts.push_back(new StubTextWindow(log));
            return texts.back();
        });
        chartCreator = std::make_unique<shell::FormCreatorInstallation>(shell::kChartWindow, [this] {
            charts.push_back(new StubChartWindow(log));
            return charts.back();
        });
        previousHook = shell::InstallShowFileInResultWindow([this](const std::string& p) { shownSolverFiles.push_back(p); });
    }
    void cleanup() {
        bed.reset();
        shell::InstallShowFileInResultWindow(previousHook);
        textCreator.reset();
        chartCreator.reset();
    }

    void refusedKindsAreNamedWhateverTheirLetterCase() {
        ScriptedMessages messages;
        const std::vector<std::pair<const char*, const char*>> refused = {
            {"Data.MDB", "mdb"},  {"setup.exe", "exe"},    {"picture.Bmp", "bmp"}, {"manual.pdf", "pdf"},
            {"export.png", "png"}, {"chart.SVG", "svg"},   {"photo.jpeg", "jpeg"}, {"shot.jpg", "jpg"},
            {"app.ico", "ico"},    {"scan.tiff", "tiff"}, {"anim.gif", "gif"},    {"draw.emf", "emf"}};
        for (const auto& [name, extension] : refused) {
            shell::OpenFileByType(write(name, "x"));
            QCOMPARE(messages.lastText(), QString("The file type '%1' is not supported.").arg(extension));
            QCOMPARE(messages.shown().back().style, 48);
            QCOMPARE(messages.shown().back().title, QString("KINOVEX"));
        }
        QCOMPARE(messages.shown().size(), refused.size());
        QVERIFY(texts.empty() && charts.empty());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    // A file that would open as text is refused by what it holds, named as
    // the kind found; text opens whatever its first bytes.
    void kindsFoundByContentAreRefusedAsByExtension() {
        ScriptedMessages messages;
        const std::string png = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0"s;
        const std::string zip = "PK\x03\x04\x14\0\0\0\x08\0"s + std::string(20, '\0') + "run.txt\x8B\x1F\x03\0\x01"s;
        const std::vector<std::pair<std::string, const char*>> refused = {
            {write("picture.txt", png), "png"},
            {write("archive", zip), "zip"},
            {write("program", kx::test::ReadBytes("/proc/self/exe")), "elf"},
        };
        for (const auto& [path, kind] : refused) {
            shell::OpenFileByType(path);
            QCOMPARE(messages.lastText(), QString("The file type '%1' is not supported.").arg(kind));
            QCOMPARE(messages.shown().back().style, 48);
        }
        QCOMPARE(messages.shown().size(), refused.size());
        QVERIFY(texts.empty() && charts.empty());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);

        const std::string words = write("PKnotes", "PK\x03 is not an archive: plain words\r\n");
        const std::string wide = write("wide.txt", "\xFF\xFEH\0\x32\0 \0a\0t\0 \0\x31\0\x30\0\x30\0\x30\0 \0K\0"s);
        shell::OpenFileByType(words);
        shell::OpenFileByType(wide);
        QCOMPARE(messages.shown().size(), refused.size());
        QCOMPARE(log, (CallLog{"OPEN_Rich " + words, "IsSolferFile false", "OPEN_Rich " + wide, "IsSolferFile false"}));
    }

    void cancellingTheOpenDialogOpensNothingAndSaysNothing() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        dialogs.Cancel(ScriptedDialogs::Kind::Open);
        shell::OpenFileByType("");
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QCOMPARE(dialogs.requests()[0].file.filterIndex, 1);
        QVERIFY(messages.shown().empty());
        QVERIFY(texts.empty() && charts.empty());
    }

    void aTextFileOpensInATextWindowAfterAReadOnlyNote() {
        ScriptedMessages messages;
        const std::string path = write("notes.txt", "hello\r\n");
        files::SetReadOnly(path, true);
        shell::OpenFileByType(path);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("The file '" + path + "' is read-only."));
        QCOMPARE(messages.shown()[0].style, 64);
        QCOMPARE(log, (CallLog{"OPEN_Rich " + path, "IsSolferFile false"}));
        QCOMPARE(texts.size(), size_t(1));
        QVERIFY(shell::FormVisible(texts[0]));
        QCOMPARE(platform::ActiveDocument(), texts[0]);
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void aFileWithoutExtensionIsTextUnlessItCarriesTheSignature() {
        const std::string readme = write("README", "plain words\r\n");
        shell::OpenFileByType(readme);
        QCOMPARE(texts.size(), size_t(1));
        QVERIFY(shownSolverFiles.empty());

        const std::string solver = write("h2run", kx::test::SolverFileText{}.bytes());
        shell::OpenFileByType(solver);
        QCOMPARE(texts.size(), size_t(1));  // no text window of the dispatcher's own
        QCOMPARE(shownSolverFiles, (std::vector<std::string>{solver}));
    }

    void aRefusedSolverFileOpensNothingBeyondItsMessage() {
        ScriptedMessages messages;
        kx::test::SolverFileText constantVolume;
        constantVolume.temperatureMode = "2 !Constant volume";
        shell::OpenFileByType(write("cv.sol", constantVolume.bytes()));
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY(messages.lastText().startsWith("Kinovex-II is intended for simulating constant pressure"));
        QVERIFY(shownSolverFiles.empty());
        QVERIFY(texts.empty());
    }

    void aTextWindowThatFailsToLoadIsUnloaded() {
        shell::FormCreatorInstallation failing(shell::kTextWindow, [this] {
            texts.push_back(new StubTextWindow(log));
            texts.back()->failOpen = true;
            return texts.back();
        });
        shell::OpenFileByType(write("notes.txt", "x"));
        QCOMPARE(log.size(), size_t(1));
        QVERIFY(!platform::FindForm("RES_ShowFile"));
    }

    void chartFilesOpenInAChartWindowOrAreRefusedWithoutOne() {
        ScriptedMessages messages;
        const std::string good = write("ignition.pg", "chart");
        shell::OpenFileByType(good);
        QCOMPARE(charts.size(), size_t(1));
        QCOMPARE(charts[0]->Caption(), platform::ToQ("Chart: " + good));
        QVERIFY(shell::FormVisible(charts[0]));
        QVERIFY(texts.empty());

        shell::FormCreatorInstallation failing(shell::kChartWindow, [this] {
            charts.push_back(new StubChartWindow(log));
            charts.back()->failOpen = true;
            charts.back()->refusal = "The chart file is damaged (line 4: 'x' is no whole number).";
            return charts.back();
        });
        const std::string bad = write("broken.PG", "x");
        shell::OpenFileByType(bad);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), platform::ToQ("The file '" + bad + "' cannot be opened. Make sure you open a "
                                                    "chart file and the file name is correct.\r\nThe chart file is "
                                                    "damaged (line 4: 'x' is no whole number)."));
        QCOMPARE(platform::FindForms("PLOT").size(), size_t(1));
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void aMissingWindowKindIsReportedAndThePointerRestored() {
        ScriptedMessages messages;
        chartCreator.reset();
        shell::OpenFileByType(write("ignition.pg", "chart"));
        QCOMPARE(messages.lastText(), QString("Mod1#011. This part of the program is not available: PLOT"));
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void newTextDocumentsTakeTheLowestFreeNumber() {
        for (const char* caption : {"Text Doc1", "Text Doc3", "Text Doc12"}) {
            auto* w = new StubTextWindow(log);
            w->SetCaption(caption);
        }
        std::string caption;
        shell::NewTextDocument(caption, true);
        QCOMPARE(caption, std::string("Text Doc2"));
        QCOMPARE(texts.back()->Caption(), QString("Text Doc2"));
        QVERIFY(shell::FormVisible(texts.back()));

        shell::NewTextDocument(caption, false);
        QCOMPARE(caption, std::string("Text Doc4"));
        QVERIFY(!shell::FormVisible(texts.back()));
        QVERIFY(log.empty());  // nothing is loaded into a new document
    }

    void toolWindowsCloseExceptTheOneNamedExactly() {
        const char* tools[] = {"RES_FIND", "RES_PAGESETUP", "SOL_RUN", "RED_Gen", "Comparison"};
        auto openTools = [&] {
            for (const char* type : tools) new platform::FormWindow<QWidget>(type);
        };
        auto loaded = [] {
            std::vector<QString> names;
            for (platform::Form* f : platform::Forms())
                if (f->TypeName() != "MDIForm1") names.push_back(f->TypeName());
            return names;
        };
        openTools();
        shell::UnloadToolWindows("SOL_RUN");
        QCOMPARE(loaded(), (std::vector<QString>{"SOL_RUN"}));
        shell::UnloadToolWindows("sol_run");
        QVERIFY(loaded().empty());
        openTools();
        shell::UnloadToolWindows("");
        QVERIFY(loaded().empty());

        for (const char* type : {"PLOT_Setup", "PLOT_xportMe", "PLOT_REPORT", "PRINT_PREVIEW_Lett_Land"})
            new platform::FormWindow<QWidget>(type);
        shell::UnloadPlotDialogs();
        QCOMPARE(loaded(), (std::vector<QString>{"PLOT_REPORT", "PRINT_PREVIEW_Lett_Land"}));
        shell::UnloadReportDesigners();
        QVERIFY(loaded().empty());
    }
};

QTEST_MAIN(OpenFilesTest)
#include "OpenFilesTest.moc"
