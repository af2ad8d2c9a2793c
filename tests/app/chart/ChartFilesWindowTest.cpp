// Chart files in the chart window: opening through the shell, saving and
// Save As, the byte-identical second save, refused files, closing a changed
// chart, and the reload of the set-up dialog's Cancel.
#include "ChartWindowsBed.h"

#include "ChartFile.h"
#include "OpenFiles.h"
#include "Scripted.h"

#include <QTest>

#include <memory>

using namespace kx;
using chart::kMissing;
using chart::PLOT;
using platform::testing::ScriptedDialogs;
using platform::testing::ScriptedMessages;

class ChartFilesWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;

    // A chart file as the program writes it.
    std::string chartFile(const std::string& name) {
        chart::ChartModel m;
        m.Resize(2, 3);
        m.At(0) = {"H2O", 255, 5, 3, "", "", {0, 1e-6, 2e-6}, {0.1, 0.2, 0.3}};
        m.At(1) = {"R7, 1.00E-03 (mol/g)", 0x800000, 1, 73, "H+O2<=>O+OH", "Empty", {0, 1e-6, kMissing}, {1, 2, kMissing}};
        m.mainTitle = "Ignition";
        m.Set("YAxisScaleControl", 2.0);
        m.Set("LabelFont", std::string("Courier New"));
        m.Slot(4) = chart::Annotation{1e-6, 0.25, "peak", 0x00FF00, 0, 0};
        m.colourStyle = false;
        const std::string path = bed->folder.dir.file(name);
        chart::WriteChartFile(m, path);
        return path;
    }
    PLOT* open(const std::string& path) {
        shell::OpenFileByType(path);
        return dynamic_cast<PLOT*>(platform::FindForm("PLOT"));
    }

private slots:
    void init() { bed = std::make_unique<test::ChartWindowsBed>(); }
    void cleanup() { bed.reset(); }

    void aChartFileOpensAndSavesUnchanged_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("copyName");
        QTest::newRow("ASCII") << QString() << "ignition.pg" << "copy.pg";
        QTest::newRow("beyond ASCII") << "Δt résultats 測定/" << "allumage é.pg" << "копия 測定.pg";
    }
    void aChartFileOpensAndSavesUnchanged() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, copyName);
        std::filesystem::create_directories(bed->folder.dir.file(platform::FromQ(folder)));
        const std::string path = chartFile(platform::FromQ(folder + name));
        PLOT* c = open(path);
        QVERIFY(c);
        QCOMPARE(c->Caption(), "Chart " + name);
        QCOMPARE(c->ChartFileName(), path);
        QVERIFY(!c->ChartChanged());
        QVERIFY(!c->RandomColours());  // opened in monochrome style, as saved
        QCOMPARE(c->Pesgoa1().At(1).longLabel1, std::string("H+O2<=>O+OH"));
        QCOMPARE(c->Pesgoa1().Slot(4).text, std::string("peak"));
        QVERIFY(c->View()->AnnotationItem(4));
        QCOMPARE(c->View()->yAxis->scaleType(), QCPAxis::stLogarithmic);
        QVERIFY(!c->View()->SubsetCurve(0)->pen().color().red());  // drawn black
        // Save As to another file: the same bytes; saving again changes nothing.
        ScriptedDialogs dialogs;
        const std::string copy = bed->folder.dir.file(platform::FromQ(folder + copyName));
        dialogs.ChooseSave(QString::fromStdString(copy));
        bool cancelled = false;
        QVERIFY(c->SaveGraphTT(cancelled));
        QCOMPARE(test::ReadBytes(copy), test::ReadBytes(path));
        QCOMPARE(c->Caption(), "Chart " + copyName);
        QCOMPARE(c->ChartFileName(), copy);
        QVERIFY(c->ChartSavedToFile());
        c->SaveTT();
        QCOMPARE(test::ReadBytes(copy), test::ReadBytes(path));
        // The monochrome chart kept its colours in the file.
        QCOMPARE(chart::ReadChartFile(copy).At(0).colour, 255);
    }

    void refusedFilesLeaveNoWindow_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<std::string>("reason");
        const std::string head = "KINOVEX CHART\r\nVERSION ";
        QTest::newRow("foreign") << std::string("PK\x03\x04 not a chart")
                                 << std::string("The file is not a chart file of this program.");
        QTest::newRow("truncated") << head + "1\r\nSUBSETS 1\r\nPOINTS 2\r\nX 0 1 2\r\n"
                                   << std::string("The chart file is incomplete: its end is missing.");
        QTest::newRow("oversized") << head + "1\r\nSUBSETS 90000\r\nPOINTS 900000\r\nEND\r\n"
                                   << std::string("The chart file is damaged (line 5: the counts exceed the file).");
        QTest::newRow("newer") << head + "7\r\nEND\r\n"
                               << std::string("The chart file was written by a newer version of the program "
                                              "(chart file version 7).");
        QTest::newRow("a count that is no number")
            << head + "1\r\nSUBSETS 1\r\nPOINTS x\r\nEND\r\n"
            << std::string("The chart file is damaged (line 4: 'x' is no whole number).");
    }

    // The refusal keeps its sentence and adds the reader's reason.
    void refusedFilesLeaveNoWindow() {
        QFETCH(std::string, bytes);
        QFETCH(std::string, reason);
        const std::string path = bed->folder.dir.write("bad.pg", bytes);
        ScriptedMessages messages;
        QVERIFY(!open(path));
        QCOMPARE(messages.lastText(), QString::fromStdString("The file '" + path +
                                                            "' cannot be opened. Make sure you open a chart file and "
                                                            "the file name is correct.\r\n" + reason));
        QVERIFY(platform::FindForms("PLOT").empty());
    }

    void aChartFileThatCannotBeReadSaysSo() {
        const std::string missing = bed->folder.dir.file("gone.pg");
        ScriptedMessages messages;
        QVERIFY(!open(missing));
        QCOMPARE(messages.lastText(),
                 QString::fromStdString("The file '" + missing +
                                        "' cannot be opened. Make sure you open a chart file and the file name is "
                                        "correct.\r\nFile not found: " + missing + "."));
    }

    // After the refusal the chart the user opened it from is the active
    // window again, not the Temporary Chart behind it.
    void aRefusedChartFileLeavesTheChartActedFromActive() {
        QVERIFY(test::ChartWindowsBed::curve({0, 1}, {1, 2}, "H2O"));
        open(chartFile("a.pg"));
        platform::Form* actedFrom = platform::FindFormByCaption("Chart a.pg");
        QVERIFY(actedFrom);
        bed->clock->Advance(300);
        test::Settle();
        QCOMPARE(platform::ActiveDocument(), actedFrom);
        ScriptedMessages messages;
        open(bed->folder.dir.write("bad.pg", "KINOVEX CHART\r\nVERSION 1\r\nSUBSETS x\r\n"));
        test::Settle();
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(platform::ActiveDocument(), actedFrom);
    }

    void saveAsAsksAgainForAnotherExtension() {
        PLOT* c = open(chartFile("a.pg"));
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        const std::string wrong = bed->folder.dir.file("chart.txt");
        const std::string right = bed->folder.dir.file("chart.PG");
        dialogs.ChooseSave(QString::fromStdString(wrong));
        messages.Answer(platform::kAnswerOk);
        dialogs.ChooseSave(QString::fromStdString(right));
        bool cancelled = false;
        QVERIFY(c->SaveGraphTT(cancelled));
        QCOMPARE(messages.lastText(), QString::fromStdString("You are attempting to save the chart to the file '" + wrong +
                                                            "' with an incorrect extension. The chart file extension is '.pg'."));
        QCOMPARE(messages.shown()[0].style, platform::kMsgExclamation + platform::kMsgOkCancel);
        QVERIFY(!files::Exists(wrong));
        QVERIFY(files::Exists(right));
        // Cancel at the question saves nothing.
        dialogs.ChooseSave(QString::fromStdString(wrong));
        messages.Answer(platform::kAnswerCancel);
        QVERIFY(!c->SaveGraphTT(cancelled));
        QVERIFY(cancelled);
        QVERIFY(!files::Exists(wrong));
    }

    void closingAChangedChart_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("closes");
        QTest::newRow("yes") << int(platform::kAnswerYes) << false << true;
        QTest::newRow("yes, file read-only, Save As cancelled") << int(platform::kAnswerYes) << true << false;
        QTest::newRow("no") << int(platform::kAnswerNo) << false << true;
        QTest::newRow("cancel") << int(platform::kAnswerCancel) << false << false;
    }
    void closingAChangedChart() {
        QFETCH(int, answer);
        QFETCH(bool, readOnly);
        QFETCH(bool, closes);
        const std::string path = chartFile("changed.pg");
        PLOT* c = open(path);
        c->SetMainTitle("New title");
        c->MustSave();
        if (readOnly) files::SetReadOnly(path, true);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        messages.Answer(answer);
        if (readOnly) dialogs.Cancel(ScriptedDialogs::Kind::Save);
        QCOMPARE(platform::Unload(c), closes);
        QCOMPARE(messages.shown()[0].text, QString::fromStdString("Do you want to save changes to '" + path + "'?"));
        QCOMPARE(Shared().CloseRefused, !closes);
        const std::string title = chart::ReadChartFile(path).mainTitle;
        QCOMPARE(title, std::string(answer == platform::kAnswerYes && !readOnly ? "New title" : "Ignition"));
        if (readOnly) {
            QVERIFY(messages.shown()[1].text.startsWith("Plot#068. "));
            QVERIFY(platform::IsLoaded(c));
            QCOMPARE(c->Pesgoa1().mainTitle, std::string("New title"));
            files::SetReadOnly(path, false);
        }
    }

    void anUnchangedChartClosesWithoutAQuestion() {
        PLOT* c = open(chartFile("quiet.pg"));
        ScriptedMessages messages;
        QVERIFY(platform::Unload(c));
        QVERIFY(messages.shown().empty());
    }

    void restoringKeepsTheWindowsFileAndFlags() {
        const std::string path = chartFile("kept.pg");
        PLOT* c = open(path);
        test::ChartWindowsBed::layOut(c);
        platform::BringToFront(c);
        QCOMPARE(chart::ActiveChart(), c);
        const std::string backup = bed->folder.working("KINA02.TMP");
        chart::WriteChartFile(c->Pesgoa1(), backup);
        c->Pesgoa1().Set("YAxisScaleControl", 0.0);
        c->Pesgoa1().At(0).colour = 0x123456;
        c->Refr();
        chart::RestorePlotFromFile(backup);
        QCOMPARE(c->Pesgoa1().Number("YAxisScaleControl"), 2.0);
        QCOMPARE(c->Pesgoa1().At(0).colour, 255);
        QCOMPARE(c->ChartFileName(), path);
        QCOMPARE(c->Caption(), QString("Chart kept.pg"));
        QVERIFY(!files::Exists(backup));
        // A failed reload is reported and keeps the file.
        const std::string damaged = bed->folder.dir.write("damaged.pg", "KINOVEX CHART\r\nVERSION 1\r\n");
        ScriptedMessages messages;
        chart::RestorePlotFromFile(damaged);
        QVERIFY(messages.lastText().startsWith("Mod2#0010 The chart file is incomplete"));
        QVERIFY(files::Exists(damaged));
        QCOMPARE(c->Pesgoa1().Subsets(), 2);
    }
};

QTEST_MAIN(ChartFilesWindowTest)
#include "ChartFilesWindowTest.moc"
