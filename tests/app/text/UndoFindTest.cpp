// Undo and redo in the text window (snapshots on the window's timer, the
// toolbar's buttons, the keys, rich text) and find and replace with whole
// word and match case, through the window and through the find window.
#include "RES_FIND.h"
#include "RES_ShowFile.h"
#include "RichText.h"

#include "OpenFiles.h"
#include "Scripted.h"

#include "SolverFileText.h"
#include "TextWindowsBed.h"

#include <QAction>
#include <QCoreApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::text::kFindMatchCase;
using kx::text::kFindWholeWord;
using kx::text::RES_FIND;
using kx::text::RES_ShowFile;

class UndoFindTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;

    RES_ShowFile* document(const std::string& name, const std::string& bytes) {
        platform::Form* form = shell::LoadTextFile(bed->folder.dir.write(name, bytes));
        shell::ShowForm(form);
        platform::BringToFront(form);
        return dynamic_cast<RES_ShowFile*>(form);
    }
    bool button(int index) { return bed->main->Toolbar5()->Button(index)->isEnabled(); }
    QString text(RES_ShowFile* w) { return w->RichTextBox1()->toPlainText(); }
    QString selected(RES_ShowFile* w) { return w->RichTextBox1()->textCursor().selectedText(); }
    int selectedAt(RES_ShowFile* w) { return w->RichTextBox1()->textCursor().selectionStart(); }

private slots:
    void init() { bed = std::make_unique<kx::test::TextWindowsBed>(); }
    void cleanup() { bed.reset(); }

    void editsRestedUponAreUndoneAndRedoneWithinTwentySteps() {
        RES_ShowFile* w = document("undo.txt", "start");
        QTextEdit* box = w->RichTextBox1();
        QVERIFY(!box->document()->isUndoRedoEnabled());
        bed->clock->Advance(250);  // the base snapshot
        QVERIFY(!w->Undo().canUndo());
        QVERIFY(!button(9) && !button(10));

        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, "ab");
        bed->clock->Advance(249);
        QTest::keyClicks(box, "c");
        bed->clock->Advance(249);
        QVERIFY(!w->Undo().canUndo());  // still typing
        bed->clock->Advance(1);
        QVERIFY(w->Undo().canUndo());
        QVERIFY(button(9));
        for (int k = 1; k <= 24; ++k) {
            QTest::keyClicks(box, QString::number(k % 10));
            bed->clock->Advance(250);
        }
        QCOMPARE(w->Undo().UndoCount(), size_t(21));
        const QString full = text(w);

        int steps = 0;
        while (button(9)) {
            bed->main->Toolbar5()->Button(9)->trigger();
            ++steps;
        }
        QCOMPARE(steps, 20);
        QCOMPARE(text(w), QString("startabc1234"));  // the oldest states are gone
        QVERIFY(button(10));

        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(text(w), QString("startabc12345"));
        bed->main->Toolbar5()->Button(10)->trigger();
        QCOMPARE(text(w), QString("startabc123456"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // not Ctrl alone: nothing
        QCOMPARE(text(w), QString("startabc123456"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(w), QString("startabc12345"));
        QVERIFY(text(w) != full);

        // A new edit drops what could be redone once it has rested.
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, "!");
        QVERIFY(button(10));
        bed->clock->Advance(250);
        QVERIFY(!button(10));
        QVERIFY(w->Modified());
    }

    void undoBringsBackTheSelectionAndRedoOfTheLastStepKeepsTheCaret() {
        RES_ShowFile* w = document("sel.txt", "hello world");
        QTextEdit* box = w->RichTextBox1();
        bed->clock->Advance(250);
        QTextCursor c = box->textCursor();
        c.setPosition(6);
        c.setPosition(11, QTextCursor::KeepAnchor);
        box->setTextCursor(c);
        QTest::keyClicks(box, "there");
        bed->clock->Advance(250);
        QCOMPARE(text(w), QString("hello there"));

        w->Rich_Undo();
        QCOMPARE(text(w), QString("hello world"));
        QCOMPARE(selected(w), QString("world"));
        box->moveCursor(QTextCursor::Start);
        w->Rich_Redo();
        QCOMPARE(text(w), QString("hello there"));
        QCOMPARE(box->textCursor().position(), 0);
    }

    void richTextComesBackWithItsFormatting() {
        RES_ShowFile* w = document("styled.rtf",
                                   "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green255\\blue0;}{\\info{\\title T}}"
                                   "\\paperw11906\\pard\\li720\\keepn\\f0\\fs30\\b\\caps Bold\\b0\\caps0  {\\highlight1 plain}}");
        QTextEdit* box = w->RichTextBox1();
        const QString loaded = box->toHtml();
        bed->clock->Advance(250);
        box->selectAll();
        QTest::keyClicks(box, "gone");
        bed->clock->Advance(250);
        w->Rich_Undo();
        QCOMPARE(text(w), QString("Bold plain"));
        const QTextCharFormat bold = box->document()->begin().begin().fragment().charFormat();
        QVERIFY(bold.fontWeight() >= QFont::Bold);
        QCOMPARE(bold.fontPointSize(), 15.0);
        QCOMPARE(bold.fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(bold.fontCapitalization(), QFont::AllUppercase);
        QVERIFY(!box->document()->isUndoRedoEnabled());
        // Indents, highlight and what the box keeps unseen come back too.
        QCOMPARE(box->toHtml(), loaded);
        const std::string rtf = text::DocumentRtf(*box->document());
        QVERIFY(rtf.find("{\\info{\\title T}}\\paperw11906") != std::string::npos);
        QVERIFY(rtf.find("\\li720\\keepn") != std::string::npos);
    }

    void findHonoursWholeWordAndCaseAndGoesOnFromTheLastMatch_data() {
        QTest::addColumn<int>("options");
        QTest::addColumn<QList<int>>("matches");
        QTest::newRow("any") << 0 << QList<int>{0, 4, 12, 17};
        QTest::newRow("whole word") << kFindWholeWord << QList<int>{0, 4, 17};
        QTest::newRow("match case") << kFindMatchCase << QList<int>{0, 12, 17};
        QTest::newRow("both") << kFindWholeWord + kFindMatchCase << QList<int>{0, 17};
    }
    void findHonoursWholeWordAndCaseAndGoesOnFromTheLastMatch() {
        QFETCH(int, options);
        QFETCH(QList<int>, matches);
        ScriptedMessages messages;
        RES_ShowFile* w = document("find.txt", "cat Cat. concat, cat");
        for (int at : matches) {
            QVERIFY(w->Find_Rich("cat", options, true));
            QCOMPARE(selectedAt(w), at);
            QCOMPARE(selected(w).toLower(), QString("cat"));
        }
        QVERIFY(messages.shown().empty());
        QVERIFY(!w->Find_Rich("cat", options, true));
        QCOMPARE(messages.lastText(), QString("The text 'cat' was not found."));
        // The next search starts from the top again.
        QVERIFY(w->Find_Rich("cat", options, false));
        QCOMPARE(selectedAt(w), 0);
        QVERIFY(!w->Modified());
    }

    void replaceChangesTheMatchFoundAndReplaceAllEveryMatch() {
        ScriptedMessages messages;
        RES_ShowFile* w = document("replace.txt", "one One one-two oneself");
        QVERIFY(w->Find_Rich("one", kFindWholeWord + kFindMatchCase, true));
        w->Replace_Rich("1");
        QCOMPARE(text(w), QString("1 One one-two oneself"));
        QCOMPARE(selectedAt(w), 6);  // the next match is selected
        QVERIFY(w->Modified());

        QCOMPARE(w->Replace_ALL("ONE", "#", kFindWholeWord), 2);
        QCOMPARE(text(w), QString("1 # #-two oneself"));
        QCOMPARE(w->Replace_ALL("one", "ONE", 0), 1);
        QCOMPARE(text(w), QString("1 # #-two ONEself"));
        QVERIFY(messages.shown().empty());
    }

    void theFindWindowSearchesTheActiveDocumentAndOnlyFindsInASolverFile() {
        ScriptedMessages messages;
        RES_ShowFile* w = document("dialog.txt", "Alpha alpha ALPHA");
        bed->main->Toolbar5()->Button(12)->trigger();
        auto* find = dynamic_cast<RES_FIND*>(platform::FindForm(shell::kFindWindow));
        QVERIFY(find);
        QVERIFY(find->isVisible());
        QVERIFY(find->Command2()->isVisibleTo(find));
        find->Text1()->setText("alpha");
        find->Text2()->setText("beta");
        find->Check2()->setChecked(true);
        find->findChild<QPushButton*>("Command1")->click();
        QCOMPARE(selectedAt(w), 6);
        find->Command3()->click();
        QCOMPARE(text(w), QString("Alpha beta ALPHA"));
        QCOMPARE(messages.lastText(), QString("1 replacement(s) made."));

        kx::test::SolverFileText file;
        platform::Form* solver = shell::LoadTextFile(bed->folder.dir.write("run.txt", file.bytes()));
        platform::Require<platform::TextFileLoader>(solver).IsSolferFile(true);
        shell::ShowForm(solver);
        platform::BringToFront(solver);
        QVERIFY(!find->Command2()->isVisibleTo(find));
        QVERIFY(!find->Text2()->isVisibleTo(find));
        find->Text1()->setText("THERMO");
        find->findChild<QPushButton*>("Command1")->click();
        auto* sw = dynamic_cast<RES_ShowFile*>(solver);
        QCOMPARE(selected(sw), QString("THERMO"));
        QCOMPARE(sw->Replace_ALL("THERMO", "x", 0), 0);
        QVERIFY(text(sw).contains("THERMO"));
    }

    // The find window stays while a text window is open, works on one that
    // is left when its own closes, and closes with the last one.
    void theFindWindowGoesWithTheLastTextWindow() {
        ScriptedMessages messages;
        RES_ShowFile* first = document("first.txt", "one two one");
        RES_ShowFile* second = document("second.txt", "two");
        bed->main->Toolbar5()->Button(12)->trigger();
        QPointer<RES_FIND> find = dynamic_cast<RES_FIND*>(platform::FindForm(shell::kFindWindow));
        QVERIFY(find);
        // A document window that is no text window (as the results window)
        // is the active one as the text window searched closes.
        shell::InstallFormCreator("OtherDocument", [] { return new platform::FormWindow<QWidget>("OtherDocument"); });
        platform::Form* other = shell::LoadForm("OtherDocument");
        shell::ShowForm(other);
        platform::BringToFront(other);
        QVERIFY(platform::Unload(second));
        QCoreApplication::processEvents();
        QCOMPARE(platform::ActiveDocument(), other);
        QVERIFY(find && platform::IsLoaded(find));
        find->Text1()->setText("one");
        find->findChild<QPushButton*>("Command1")->click();
        QCOMPARE(selected(first), QString("one"));
        find->Text2()->setText("1");
        find->Command3()->click();
        QCOMPARE(text(first), QString("1 two 1"));
        QCOMPARE(messages.lastText(), QString("2 replacement(s) made."));
        messages.Answer(platform::kAnswerNo);
        QVERIFY(platform::Unload(first));
        QCoreApplication::processEvents();
        QVERIFY(!find);
        QVERIFY(!platform::FindForm(shell::kFindWindow));
        shell::InstallFormCreator("OtherDocument", nullptr);
    }
};

QTEST_MAIN(UndoFindTest)
#include "UndoFindTest.moc"
