// Ctrl+S in the main window saves the active document window: the text
// window's Save, with the questions Save asks, while a chart window (whose
// Save has the same key) is open beside it.
#include "RES_ShowFile.h"

#include "OpenFiles.h"
#include "Scripted.h"

#include "ChartFile.h"
#include "PLOT.h"
#include "PlotDialogs.h"
#include "TextWindowsBed.h"

#include <QAction>
#include <QTest>
#include <QTextEdit>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::text::RES_ShowFile;

class SaveKeyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;

    RES_ShowFile* document(const std::string& path) {
        platform::Form* form = shell::LoadTextFile(path);
        activate(form);
        return dynamic_cast<RES_ShowFile*>(form);
    }
    static void activate(platform::Form* form) {
        shell::ShowForm(form);
        platform::BringToFront(form);
        QCoreApplication::processEvents();
    }
    static void pressSave(RES_ShowFile* w) {
        w->RichTextBox1()->setFocus();
        QTest::keyClick(w->RichTextBox1(), Qt::Key_S, Qt::ControlModifier);
    }

private slots:
    void init() {
        bed = std::make_unique<kx::test::TextWindowsBed>();
        chart::InstallChartWindows();
        bed->main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(bed->main));
    }
    void cleanup() {
        bed.reset();
        shell::InstallFormCreator(shell::kChartWindow, nullptr);
        shell::InstallFormCreator(chart::kExportDialog, nullptr);
    }

    void ctrlSSavesTheActiveTextWindowWithAChartOpen() {
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        const std::string path = bed->folder.dir.write("notes.txt", "one\r\n");
        RES_ShowFile* w = document(path);
        chart::ChartModel model;
        model.Resize(1, 2);
        model.At(0) = {"H2", 255, 1, 0, "", "", {0, 1}, {1, 2}};
        const std::string chartPath = bed->folder.dir.file("h2.pg");
        chart::WriteChartFile(model, chartPath);
        shell::OpenFileByType(chartPath);
        auto* chart = dynamic_cast<chart::PLOT*>(platform::FindForm(shell::kChartWindow));
        QVERIFY(chart);
        QCOMPARE(platform::ActiveDocument(), static_cast<platform::Form*>(chart));

        // The key stands beside the menu item, as the chart's does.
        QAction* save = w->findChild<QAction*>("SAVERES");
        QCOMPARE(save->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(save->shortcut(), chart->findChild<QAction*>("SAVEGRAPH")->shortcut());

        activate(w);
        w->RichTextBox1()->moveCursor(QTextCursor::End);
        QTest::keyClicks(w->RichTextBox1(), "two");
        QVERIFY(w->Modified());
        pressSave(w);
        QCOMPARE(kx::test::ReadBytes(path), std::string("one\r\ntwo"));
        QVERIFY(!w->Modified());
        QVERIFY(dialogs.requests().empty());  // the chart was not saved

        // With the chart in front the key saves the chart and leaves the
        // text alone.
        QTest::keyClicks(w->RichTextBox1(), "!");
        activate(chart);
        files::Remove(chartPath);
        QTest::keyClick(bed->main, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(files::Exists(chartPath));
        QCOMPARE(kx::test::ReadBytes(path), std::string("one\r\ntwo"));
        QVERIFY(w->Modified());

        // The key asks what Save asks: a name for an untitled document.
        std::string caption;
        shell::NewTextDocument(caption, true);
        auto* untitled = dynamic_cast<RES_ShowFile*>(platform::FindFormByCaption(platform::ToQ(caption)));
        activate(untitled);
        QTest::keyClicks(untitled->RichTextBox1(), "draft");
        const std::string named = bed->folder.dir.file("draft.txt");
        dialogs.ChooseSave(platform::ToQ(named));
        pressSave(untitled);
        QCOMPARE(dialogs.requests().size(), size_t(1));
        QCOMPARE(kx::test::ReadBytes(named), std::string("draft"));
        QCOMPARE(untitled->MePath(), named);
        QVERIFY(messages.shown().empty());
    }
};

QTEST_MAIN(SaveKeyTest)
#include "SaveKeyTest.moc"
