// A long line in the text window is shown in pieces: editing at and across
// the soft breaks between them, find and replace, undo, copy and printing
// see one line, and saving writes the bytes the edit made.
#include "RES_ShowFile.h"

#include "Desktop.h"
#include "OpenFiles.h"
#include "RichText.h"
#include "Rtf.h"
#include "Scripted.h"

#include "TextWindowsBed.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::text::RES_ShowFile;

namespace {

// 45,000 characters without a blank: cut into pieces of 16,000, 16,000 and
// 13,000.
QString longLine() {
    QString line;
    while (line.size() < 45'000) line += "0123456789abcdefghij";
    return line.left(45'000);
}

// The file: a title, the long line, a last line.
QString fileText(const QString& line) { return "title\n" + line + "\nend"; }
std::string fileBytes(const QString& text) {
    QString bytes = text;
    return bytes.replace("\n", "\r\n").toStdString();
}

// What is wrong with the pieces of the document's lines, or "".
QString piecesFault(const QTextDocument& document, const text::PieceLengths& lengths = text::kWrappedPieces) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() - 1 > static_cast<int>(lengths.longest))
            return QString("block %1 is %2 long").arg(block.blockNumber()).arg(block.length() - 1);
        if (text::ContinuesLine(block) && (block.length() == 1 || block.previous().length() == 1))
            return QString("an empty piece next to block %1").arg(block.blockNumber());
    }
    return "";
}

}  // namespace

class LongLineEditingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;
    std::string path;

    RES_ShowFile* document(const std::string& name, const std::string& bytes) {
        path = bed->folder.dir.write(name, bytes);
        platform::Form* form = shell::LoadTextFile(path);
        shell::ShowForm(form);
        platform::BringToFront(form);
        return dynamic_cast<RES_ShowFile*>(form);
    }
    static QString text(RES_ShowFile* w) { return text::DocumentPlainText(*w->RichTextBox1()->document()); }
    // The box position of the start of the n-th piece after a soft break.
    static int pieceStart(RES_ShowFile* w, int n) {
        for (QTextBlock block = w->RichTextBox1()->document()->begin(); block.isValid(); block = block.next())
            if (text::ContinuesLine(block) && n-- == 0) return block.position();
        return -1;
    }
    static void select(RES_ShowFile* w, int from, int to) {
        QTextCursor cursor = w->RichTextBox1()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        w->RichTextBox1()->setTextCursor(cursor);
    }
    std::string saved(RES_ShowFile* w) {
        bool cancelled = false;
        w->SVTXT(cancelled);
        return kx::test::ReadBytes(path);
    }

private slots:
    void init() { bed = std::make_unique<kx::test::TextWindowsBed>(); }
    void cleanup() { bed.reset(); }

    void aLongLineIsShownInPiecesAndSavedUnedited() {
        const QString shown = fileText(longLine());
        RES_ShowFile* w = document("long.txt", fileBytes(shown));
        const QTextDocument& doc = *w->RichTextBox1()->document();
        QCOMPARE(doc.blockCount(), 5);  // the title, three pieces, the last line
        QCOMPARE(piecesFault(doc), QString());
        QCOMPARE(text(w), shown);
        QVERIFY(!w->ReadOnlyText());
        QVERIFY(!w->Modified());
        QCOMPARE(saved(w), fileBytes(shown));
    }

    // Keys at the first soft break, the caret at the end of the piece
    // before it (0), at the start of the piece after it (1), or the three
    // characters each side of it selected (2). The text then holds
    // `inserted` at `at` (from the break) in place of `removed` characters.
    void keysAtASoftBreakEditTheOneLine_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        const QKeySequence none;
        const QKeySequence backspace(Qt::Key_Backspace), del(Qt::Key_Delete), enter(Qt::Key_Return);
        QTest::newRow("typing at a piece's end") << 0 << none << "xy" << 0 << 0 << "xy";
        QTest::newRow("typing at a piece's start") << 1 << none << "xy" << 0 << 0 << "xy";
        QTest::newRow("Backspace at a piece's end") << 0 << backspace << "" << -1 << 1 << "";
        QTest::newRow("Backspace at a piece's start") << 1 << backspace << "" << -1 << 1 << "";
        QTest::newRow("Delete at a piece's end") << 0 << del << "" << 0 << 1 << "";
        QTest::newRow("Delete at a piece's start") << 1 << del << "" << 0 << 1 << "";
        QTest::newRow("Enter at a piece's end") << 0 << enter << "x" << 0 << 0 << "\nx";
        QTest::newRow("Enter at a piece's start") << 1 << enter << "x" << 0 << 0 << "\nx";
        QTest::newRow("Left from a piece's start") << 1 << QKeySequence(Qt::Key_Left) << "x" << -1 << 0 << "x";
        QTest::newRow("Right from a piece's end") << 0 << QKeySequence(Qt::Key_Right) << "x" << 1 << 0 << "x";
        QTest::newRow("Shift+Left from a piece's start")
            << 1 << QKeySequence(Qt::ShiftModifier | Qt::Key_Left) << "x" << -1 << 1 << "x";
        QTest::newRow("Shift+Right from a piece's end")
            << 0 << QKeySequence(Qt::ShiftModifier | Qt::Key_Right) << "x" << 0 << 1 << "x";
        QTest::newRow("typing over a selection across") << 2 << none << "x" << -3 << 6 << "x";
        QTest::newRow("Backspace on a selection across") << 2 << backspace << "" << -3 << 6 << "";
        QTest::newRow("pasting lines") << 1 << QKeySequence(QKeySequence::Paste) << "" << 0 << 0 << "a\nb\nc";
    }
    void keysAtASoftBreakEditTheOneLine() {
        QFETCH(int, caret);
        QFETCH(QKeySequence, key);
        QFETCH(QString, typed);
        QFETCH(int, at);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("keys.txt", fileBytes(before));
        QTextEdit* box = w->RichTextBox1();
        const int start = pieceStart(w, 0);
        const int softBreak = text::SoftBreaks(*box->document()).TextPosition(start);
        QCOMPARE(softBreak, 6 + 16'000);
        if (caret == 2)
            select(w, start - 4, start + 3);
        else
            select(w, start - 1 + caret, start - 1 + caret);
        platform::ClipboardSetText("a\r\nb\nc");
        if (!key.isEmpty()) QTest::keySequence(box, key);
        QTest::keyClicks(box, typed);

        const QString after = before.left(softBreak + at) + inserted + before.mid(softBreak + at + removed);
        QCOMPARE(text(w), after);
        QCOMPARE(piecesFault(*box->document()), QString());
        QVERIFY(w->Modified());
        QCOMPARE(saved(w), fileBytes(after));
    }

    // A piece emptied and its soft break gone, Enter there still makes a
    // line end: what the break was leaves nothing behind.
    void enterWhereAPieceWasEmptiedEndsTheLine() {
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("emptied.txt", fileBytes(before));
        QTextEdit* box = w->RichTextBox1();
        const int second = pieceStart(w, 0), third = pieceStart(w, 1);
        select(w, second, third - 1);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "x");
        const int softBreak = 6 + 16'000;
        QCOMPARE(text(w), before.left(softBreak) + "\nx" + before.mid(softBreak + 16'000));
        QCOMPARE(piecesFault(*box->document()), QString());
    }

    // Edits the window did not make itself: a paste by the mouse (or a
    // drop) goes in cut; another edit that leaves a line too long is cut
    // once it is done.
    void editsByTheBoxAreCutToo() {
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("grown.txt", fileBytes(before));
        QTextEdit* box = w->RichTextBox1();
        const QString pasted = QString(30'000, QChar('p')) + "\r\n" + QString(30'000, QChar('r'));
        platform::ClipboardSetText(pasted);
        select(w, 3, 3);
        box->paste();
        QCOMPARE(piecesFault(*box->document()), QString());
        QString after = before.left(3) + QString(pasted).replace("\r\n", "\n") + before.mid(3);
        QCOMPARE(text(w), after);

        QTextCursor cursor(box->document());
        cursor.setPosition(pieceStart(w, 3) + 10);  // the last piece of the long line
        const int at = text::SoftBreaks(*box->document()).TextPosition(cursor.position());
        const QString added(8'000, QChar('q'));
        cursor.insertText(added);
        QVERIFY(!piecesFault(*box->document()).isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(piecesFault(*box->document()), QString());
        after.insert(at, added);
        QCOMPARE(text(w), after);
        QCOMPARE(saved(w), fileBytes(after));
    }

    // Without word wrap each piece is a row of a thousand characters; the
    // text, the flag and the caret's place stay, either way.
    void wordWrapCutsTheLineForItsRows() {
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("rows.txt", fileBytes(before));
        QTextEdit* box = w->RichTextBox1();
        const int at = 6 + 20'500;
        select(w, text::SoftBreaks(*box->document()).BoxPosition(at), text::SoftBreaks(*box->document()).BoxPosition(at));
        QAction* wrap = w->findChild<QAction*>("TXTWORDWRAP");
        wrap->trigger();
        QVERIFY(!w->WordWrap());
        QCOMPARE(box->document()->blockCount(), 2 + 45);
        QCOMPARE(piecesFault(*box->document(), text::kUnwrappedPieces), QString());
        QCOMPARE(text(w), before);
        QVERIFY(!w->Modified());
        QCOMPARE(text::SoftBreaks(*box->document()).TextPosition(box->textCursor().position()), at);

        QTest::keyClicks(box, "x");
        wrap->trigger();
        QVERIFY(w->WordWrap());
        QCOMPARE(box->document()->blockCount(), 5);
        const QString after = before.left(at) + "x" + before.mid(at);
        QCOMPARE(text(w), after);
        QCOMPARE(text::SoftBreaks(*box->document()).TextPosition(box->textCursor().position()), at + 1);
        QCOMPARE(saved(w), fileBytes(after));
    }

    // A word across a soft break is found whole, as a whole word, and
    // replaced; the search goes on after it.
    void findAndReplaceSeeWordsAcrossASoftBreak() {
        ScriptedMessages messages;
        QString line(15'995, QChar('7'));
        line += "/ABCDEFGH/";
        line += QString(10'000, QChar('7'));
        line += "/abcdefgh";
        const QString before = fileText(line);
        RES_ShowFile* w = document("find.txt", fileBytes(before));
        const int softBreak = text::SoftBreaks(*w->RichTextBox1()->document()).TextPosition(pieceStart(w, 0));
        QCOMPARE(softBreak, 6 + 16'000);  // the word stands across it
        const int word = 6 + 15'996;

        QVERIFY(w->Find_Rich("abcdefgh", text::kFindWholeWord, true));
        const QTextCursor found = w->RichTextBox1()->textCursor();
        QCOMPARE(text::DocumentPlainText(*found.document(), found.selectionStart(), found.selectionEnd()),
                 QString("ABCDEFGH"));
        QVERIFY(!w->Find_Rich("bcdefgh", text::kFindWholeWord, false));
        QVERIFY(w->Find_Rich("abcdefgh", text::kFindMatchCase, true));
        QCOMPARE(text::SoftBreaks(*found.document()).TextPosition(w->RichTextBox1()->textCursor().selectionStart()),
                 before.indexOf("abcdefgh"));
        QVERIFY(!w->Find_Rich("abcdefgh", text::kFindMatchCase, false));  // the next search starts from the top

        QVERIFY(w->Find_Rich("ABCDEFGH", 0, true));
        w->Replace_Rich("<>");
        QString after = before;
        after.replace(word, 8, "<>");
        QCOMPARE(text(w), after);
        QCOMPARE(w->Replace_ALL("7/<>/7", "|", 0), 1);
        QCOMPARE(w->Replace_ALL("abcdefgh", "Z", 0), 1);
        after.replace("7/<>/7", "|").replace("abcdefgh", "Z");
        QCOMPARE(text(w), after);
        QCOMPARE(piecesFault(*w->RichTextBox1()->document()), QString());
        QVERIFY(messages.shown().empty());
        QCOMPARE(saved(w), fileBytes(after));
    }

    // Undo and redo bring the line back whole and the caret to the place
    // in the text, wherever the pieces are cut then.
    void undoAndRedoOfAnEditAtASoftBreak() {
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("undo.txt", fileBytes(before));
        QTextEdit* box = w->RichTextBox1();
        bed->clock->Advance(250);  // the base snapshot
        const int start = pieceStart(w, 1);  // after the second soft break
        select(w, start, start);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, "xyz");
        bed->clock->Advance(250);
        const int softBreak = 6 + 32'000;
        const QString edited = before.left(softBreak - 1) + "xyz" + before.mid(softBreak);
        QCOMPARE(text(w), edited);

        w->Rich_Undo();
        QCOMPARE(text(w), before);
        QCOMPARE(text::SoftBreaks(*box->document()).TextPosition(box->textCursor().position()), softBreak);
        QCOMPARE(piecesFault(*box->document()), QString());
        w->Rich_Redo();
        QCOMPARE(text(w), edited);
        QCOMPARE(saved(w), fileBytes(edited));
    }

    // Copy and printing of a selection across a soft break take the
    // characters selected and nothing for the break.
    void copyAndPrintingOfASelectionAcrossASoftBreak() {
        const QString before = fileText(longLine());
        RES_ShowFile* w = document("copy.txt", fileBytes(before));
        const int start = pieceStart(w, 0);
        select(w, start - 4, start + 3);
        const QString selected = before.mid(6 + 16'000 - 3, 6);
        w->TEXT_COPY();
        QCOMPARE(platform::ClipboardText(), selected);
        QString printed;
        w->RTF1_TO_RTF2_Normal(true, *w->RichTextBox1(), printed);
        QCOMPARE(printed, selected);
        QVERIFY(!w->Modified());
    }

    // A long paragraph of an RTF file is shown in pieces and saved as the
    // one paragraph it is.
    void aLongRtfParagraphStaysOneParagraph() {
        const std::string line = longLine().toStdString();
        const std::string bytes = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 title\\par " + line + "\\par end}";
        RES_ShowFile* w = document("long.rtf", bytes);
        QTextEdit* box = w->RichTextBox1();
        QCOMPARE(box->document()->blockCount(), 5);
        QCOMPARE(saved(w), bytes);

        select(w, pieceStart(w, 1), pieceStart(w, 1));
        QTest::keyClicks(box, "x");
        const text::rtf::Document written = text::rtf::Read(saved(w));
        QCOMPARE(written.paragraphs.size(), std::size_t(3));
        std::string second;
        for (const text::rtf::Run& run : written.paragraphs[1].runs) second += run.text;
        QCOMPARE(second, line.substr(0, 32'000) + "x" + line.substr(32'000));
    }
};

QTEST_MAIN(LongLineEditingTest)
#include "LongLineEditingTest.moc"
