// The text window with documents: opening and saving plain text (byte for
// byte) and RTF, untitled documents, the Save dialog and its refusals,
// Save as, and the question when a changed document closes.
#include "RES_ShowFile.h"

#include "Desktop.h"
#include "FormRegistry.h"
#include "RichText.h"
#include "Rtf.h"
#include "Scripted.h"

#include "DesktopTestSupport.h"
#include "Utf16Bytes.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QLabel>
#include <QTest>
#include <QTextLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <map>
#include <cerrno>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::text::RES_ShowFile;

Q_DECLARE_METATYPE(std::string)

namespace {

// A report as another editor writes it: a picture (a 2x2 PNG) and a
// table of two cells, which the window shows as text only.
std::string rtfWithPictureAndTable() {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
           "\\pard\\f0\\fs20 Figure 1:\\par\r\n"
           "{\\pict\\pngblip\\picw2\\pich2\\picwgoal600\\pichgoal600\r\n"
           "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a730000001049444154789c63f8cfc000440c"
           "100a001fee03fd8b5f14d40000000049454e44ae426082}\\par\r\n"
           "\\trowd\\trgaph108\\cellx2000\\cellx4000\\pard\\intbl T\\cell 300 K\\cell\\row\r\n"
           "\\pard Notes\\par\r\n}\r\n";
}
constexpr const char* kLeftOutQuestion =
    "This document holds pictures/tables that this window cannot keep; saving will remove them.";

}  // namespace

class TextWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::WindowTestBed> bed;

    RES_ShowFile* open(const std::string& path) {
        auto* w = new RES_ShowFile;
        bool failed = true;
        w->OPEN_Rich(path, failed);
        if (failed) return nullptr;
        return w;
    }
    static void type(RES_ShowFile* w, const QString& text) {
        w->RichTextBox1()->moveCursor(QTextCursor::End);
        w->RichTextBox1()->insertPlainText(text);
    }
    std::string write(const std::string& name, const std::string& bytes) { return bed->folder.dir.write(name, bytes); }
    bool loaded(RES_ShowFile* w) {
        const auto all = platform::Forms();
        return std::find(all.begin(), all.end(), w) != all.end();
    }

private slots:
    void init() {
        bed = std::make_unique<kx::test::WindowTestBed>();
        Shared().TextFontSize = 11;
    }
    void cleanup() { bed.reset(); }

    void anUneditedTextFileIsSavedByteForByte_data() {
        QTest::addColumn<std::string>("bytes");
        std::string latin1;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n') latin1 += static_cast<char>(b);
        QTest::newRow("CR LF") << std::string("first\r\n\r\n  second\tline\r\n");
        QTest::newRow("LF, no end") << std::string("a\nb");
        QTest::newRow("CR") << std::string("a\rb\r");
        QTest::newRow("every byte") << latin1 + "\r\n" + latin1;
        QTest::newRow("empty") << std::string();
        QTest::newRow("UTF-8") << std::string("\xCE\x94t = 5 \xC2\xB5s \xE2\x86\x92 \xE2\x82\xAC\r\nH\xE2\x82\x82O\r\n");
        QTest::newRow("UTF-8 with byte order mark") << std::string("\xEF\xBB\xBF\xCE\xB1\n");
        QTest::newRow("Windows-1252") << std::string("caf\xE9 \x80 \x93q\x94\r\n\x81\x8D\x8F\x90\x9D");
        QTest::newRow("mixed line ends") << std::string("a\nb\r\nc\rd\n\r\r\n");
        QTest::newRow("UTF-16 LE") << std::string("\xFF\xFE" "a\0\r\0\n\0\xB2\x03\n\0\r\0", 14);
        QTest::newRow("UTF-16 BE") << std::string("\xFE\xFF\0a\0\r\0\n\xD8\x35\xDE\xFC", 12);
        QTest::newRow("UTF-8 with a stray byte") << std::string("Temp\xC3\xA9rature 300 K\r\ncaf\xE9 au lait\r\n");
        QTest::newRow("UTF-16 LE without mark") << kx::test::Utf16Bytes(u"\u4F60\u597D\uFF0C\u4E16\u754C\r\n", false);
        QTest::newRow("UTF-16 BE without mark, no line end")
            << kx::test::Utf16Bytes(u"\u53CD\u5FDC\u901F\u5EA6\u306E\u8A08\u7B97", true);
    }
    void anUneditedTextFileIsSavedByteForByte() {
        QFETCH(std::string, bytes);
        const std::string path = write("plain.txt", bytes);
        RES_ShowFile* w = open(path);
        QVERIFY(w);
        QCOMPARE(w->Caption(), QString("plain.txt"));
        QCOMPARE(w->MePath(), path);
        QCOMPARE(w->LoadType(), 1);
        QVERIFY(!w->Modified());
        files::Remove(path);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
    }

    void aFileShowsItsCharacters_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("encoding");
        QTest::newRow("UTF-8") << std::string("\xCE\x94t = 5 \xC2\xB5s \xE2\x86\x92 \xE2\x82\xAC\r\nH\xE2\x82\x82O")
                               << QString::fromUtf8("Δt = 5 µs → €\nH₂O") << int(text::TextEncoding::Utf8);
        QTest::newRow("Windows-1252") << std::string("caf\xE9 \x80 \x93q\x94\r\n")
                                      << QString::fromUtf8("café € “q”\n") << int(text::TextEncoding::Windows1252);
        QTest::newRow("UTF-16 LE, CR LF") << std::string("\xFF\xFE" "a\0\r\0\n\0\xB2\x03", 10)
                                          << QString::fromUtf8("a\nβ") << int(text::TextEncoding::Utf16Le);
        QTest::newRow("UTF-16 BE without mark") << kx::test::Utf16Bytes(u"\u4F60\u597D\r\nHello\r\n", true)
                                                << QString::fromUtf8("你好\nHello\n") << int(text::TextEncoding::Utf16BeNoMark);
        QTest::newRow("UTF-16 LE without mark") << kx::test::Utf16Bytes(u"Hello\n", false) << QString("Hello\n")
                                                << int(text::TextEncoding::Utf16LeNoMark);
        // A stray byte among UTF-8 is a mark (U+F700 + the byte).
        QTest::newRow("UTF-8 with a stray byte") << std::string("Temp\xC3\xA9rature\r\ncaf\xE9\r\n")
                                                 << QString::fromUtf8("Température\ncaf") + QChar(0xF7E9) + "\n"
                                                 << int(text::TextEncoding::Utf8);
    }
    void aFileShowsItsCharacters() {
        QFETCH(std::string, bytes);
        QFETCH(QString, shown);
        QFETCH(int, encoding);
        RES_ShowFile* w = open(write("shown.txt", bytes));
        QCOMPARE(w->RichTextBox1()->toPlainText(), shown);
        QCOMPARE(int(w->Encoding()), encoding);
        QVERIFY(!w->ReadOnlyText());
        QVERIFY(!w->RichTextBox1()->isReadOnly());
    }

    // Typed Greek letters are saved in the file's encoding; where it cannot
    // hold them the user chooses UTF-8 or keeps the file as it was.
    void typedCharactersAreSavedOrAskedAbout_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<int>("answer");  // 0: no question
        QTest::addColumn<std::string>("saved");
        QTest::newRow("UTF-8") << std::string("\xC2\xB5s\n") << 0 << std::string("\xC2\xB5s\n\xCE\xB1 \xE2\x86\x92 \xCE\xB2");
        QTest::newRow("UTF-16 BE") << std::string("\xFE\xFF\0x\0\n", 6) << 0
                                   << std::string("\xFE\xFF\0x\0\n\x03\xB1\0 \x21\x92\0 \x03\xB2", 16);
        QTest::newRow("Windows-1252, as UTF-8") << std::string("\xB5s\r\n") << platform::kAnswerOk
                                                << std::string("\xC2\xB5s\r\n\xCE\xB1 \xE2\x86\x92 \xCE\xB2");
        QTest::newRow("Windows-1252, cancelled") << std::string("\xB5s\r\n") << platform::kAnswerCancel
                                                 << std::string("\xB5s\r\n");
        // A stray byte is written back as it was, typed characters as
        // UTF-8; UTF-16 keeps its byte order and gains no mark.
        QTest::newRow("UTF-8 with a stray byte") << std::string("\xC2\xB5s caf\xE9\n") << 0
                                                 << std::string("\xC2\xB5s caf\xE9\n\xCE\xB1 \xE2\x86\x92 \xCE\xB2");
        QTest::newRow("UTF-16 LE without mark") << kx::test::Utf16Bytes(u"\u4F60\u597D\r\n", false) << 0
                                                << kx::test::Utf16Bytes(u"\u4F60\u597D\r\n\u03B1 \u2192 \u03B2", false);
        QTest::newRow("UTF-8, U+FEFF after the byte order mark")
            << std::string("\xEF\xBB\xBF\xEF\xBB\xBFx\n") << 0
            << std::string("\xEF\xBB\xBF\xEF\xBB\xBFx\n\xCE\xB1 \xE2\x86\x92 \xCE\xB2");
    }
    void typedCharactersAreSavedOrAskedAbout() {
        QFETCH(std::string, bytes);
        QFETCH(int, answer);
        QFETCH(std::string, saved);
        ScriptedMessages messages;
        const std::string path = write("greek.txt", bytes);
        RES_ShowFile* w = open(path);
        type(w, QString::fromUtf8("α → β"));
        if (answer != 0) messages.Answer(answer);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path), saved);
        QCOMPARE(cancelled, answer == platform::kAnswerCancel);
        QCOMPARE(w->Modified(), answer == platform::kAnswerCancel);
        if (answer == 0) {
            QVERIFY(messages.shown().empty());
            return;
        }
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString::fromUtf8("'greek.txt' is stored as Windows-1252, which cannot hold every "
                                                        "character of the text (the first is 'α' in line 2).\r\n\r\n"
                                                        "\"Save as UTF-8\" saves the file as UTF-8 instead; "
                                                        "Cancel saves nothing."));
        // Enter (the default button) saves nothing.
        QCOMPARE(messages.shown()[0].style,
                 platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2);
        QCOMPARE(messages.shown()[0].okCaption, QString("Save as UTF-8"));
        if (answer == platform::kAnswerOk) {
            // The file is UTF-8 from now on: no question again.
            type(w, "!");
            w->SVTXT(cancelled);
            QCOMPARE(kx::test::ReadBytes(path), saved + "!");
            QCOMPARE(messages.shown().size(), size_t(1));
        }
    }

    void closingKeepsTheWindowWhenTheEncodingQuestionIsCancelled() {
        ScriptedMessages messages;
        const std::string path = write("old.txt", "na\xEFve\r\n");
        RES_ShowFile* w = open(path);
        type(w, QString::fromUtf8("€ and α"));
        messages.Answer(platform::kAnswerYes);
        messages.Answer(platform::kAnswerCancel);
        QVERIFY(!platform::Unload(w));
        QVERIFY(loaded(w));
        QVERIFY(Shared().CloseRefused);
        QCOMPARE(kx::test::ReadBytes(path), std::string("na\xEFve\r\n"));
        QCOMPARE(w->RichTextBox1()->toPlainText(), QString::fromUtf8("naïve\n€ and α"));
    }

    // Bytes that are not UTF-8 among UTF-8 are shown as marks, with a note,
    // and every save writes them back as they were; a mark typed or pasted
    // is asked about, Enter keeping the file as it was.
    void strayBytesAreMarkedAndKeptThroughEverySave() {
        ScriptedMessages messages;
        const std::string bytes = "Temp\xC3\xA9rature 300 K\r\ncaf\xE9 au lait\r\n";
        const std::string path = write("joined.txt", bytes);
        RES_ShowFile* w = open(path);
        QVERIFY(w->StrayBytes());
        QVERIFY(!w->ReadOnlyText());
        QVERIFY(!w->findChild<QLabel*>("ReadOnlyNote"));
        auto* note = w->findChild<QLabel*>("StrayBytesNote");
        QVERIFY(note && !note->isHidden());
        QCOMPARE(note->text(), QString("This file holds bytes that are not UTF-8: they are shown as red marks, and every "
                                       "save writes them back as they were."));
        // The mark stands out in colours of its own.
        const QTextBlock line = w->RichTextBox1()->document()->findBlockByNumber(1);
        QCOMPARE(line.text(), QString("caf") + QChar(0xF7E9) + " au lait");
        const QList<QTextLayout::FormatRange> formats = line.layout()->formats();
        QCOMPARE(formats.size(), 1);
        QCOMPARE(formats[0].start, 3);
        QCOMPARE(formats[0].length, 1);
        QCOMPARE(formats[0].format.background().color(), QColor(192, 0, 0));

        // Typed characters are UTF-8, the stray byte stays itself.
        type(w, QString::fromUtf8("été €"));
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QVERIFY(messages.shown().empty());
        QCOMPARE(kx::test::ReadBytes(path), bytes + "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");

        // A mark more than the file holds: asked about, Enter saves nothing.
        type(w, QString(QChar(0xF7E9)));
        messages.Answer(platform::kAnswerCancel);
        w->SVTXT(cancelled);
        QVERIFY(cancelled);
        QVERIFY(w->Modified());
        QCOMPARE(kx::test::ReadBytes(path), bytes + "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString("The text of 'joined.txt' holds 1 red mark of bytes that are not UTF-8 more "
                                              "than the file did (typed, pasted or brought back by an undo).\r\n\r\n"
                                              "\"Save\" writes each mark as the byte it stands for; Cancel saves nothing."));
        QCOMPARE(messages.shown()[0].style,
                 platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2);
        QCOMPARE(messages.shown()[0].okCaption, QString("Save"));
        messages.Answer(platform::kAnswerOk);
        w->SVTXT(cancelled);
        QVERIFY(!w->Modified());
        QCOMPARE(kx::test::ReadBytes(path), bytes + "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xE9");

        // With every mark deleted the file is UTF-8 throughout, and the note goes.
        bed->clock->Advance(250);  // the undo step before the marks go
        const QString all = w->RichTextBox1()->toPlainText();
        w->RichTextBox1()->setPlainText(QString(all).remove(QChar(0xF7E9)));
        bed->clock->Advance(250);
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path),
                 std::string("Temp\xC3\xA9rature 300 K\r\ncaf au lait\r\n\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"));
        QVERIFY(!w->StrayBytes());
        QVERIFY(note->isHidden());
        QCOMPARE(messages.shown().size(), size_t(2));

        // Brought back by an undo, a mark is its byte again (asked about).
        w->Rich_Undo();
        QVERIFY(w->RichTextBox1()->toPlainText().contains(QChar(0xF7E9)));
        messages.Answer(platform::kAnswerOk);
        w->SVTXT(cancelled);
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(kx::test::ReadBytes(path), bytes + "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xE9");
        QVERIFY(!note->isHidden());
    }

    void aNewDocumentIsSavedAsUtf8() {
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        RES_ShowFile* w = open("$Text Doc4");
        type(w, QString::fromUtf8("k = 2·10⁻³\nα"));
        const std::string path = bed->folder.dir.file("new.txt");
        dialogs.ChooseSave(platform::ToQ(path));
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path), std::string("k = 2\xC2\xB7" "10\xE2\x81\xBB\xC2\xB3\r\n\xCE\xB1"));
        QVERIFY(messages.shown().empty());
    }

    void aFileWithNulBytesIsShownReadOnly() {
        ScriptedMessages messages;
        const std::string bytes("MZ\x90\0\x03\0\r\nstub", 12);
        const std::string path = write("tool.dat", bytes);
        RES_ShowFile* w = open(path);
        QVERIFY(w->ReadOnlyText());
        QVERIFY(w->RichTextBox1()->isReadOnly());
        auto* note = w->findChild<QLabel*>("ReadOnlyNote");
        QVERIFY(note);
        QCOMPARE(note->text(), QString("This file holds binary data or characters a text window cannot keep as they are: it "
                                       "is shown read-only."));
        QVERIFY(!w->findChild<QAction*>("SAVERES")->isEnabled());
        QVERIFY(!w->findChild<QAction*>("PASTETX")->isEnabled());
        platform::ClipboardSetText("pasted");
        w->ClipInRich();
        w->Form_Activate();
        QVERIFY(w->RichTextBox1()->isReadOnly());
        QCOMPARE(w->Replace_ALL("stub", "x", 0), 0);
        QVERIFY(!w->Modified());
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
        QVERIFY(platform::Unload(w));
        QVERIFY(messages.shown().empty());

        // A line separator character would come back as a line end.
        RES_ShowFile* separator = open(write("separator.txt", "a\xE2\x80\xA8" "b"));
        QVERIFY(separator->ReadOnlyText());

        // A plain file in a window has no note.
        RES_ShowFile* plain = open(write("plain.txt", "text"));
        QVERIFY(!plain->findChild<QLabel*>("ReadOnlyNote"));
        QVERIFY(!plain->RichTextBox1()->isReadOnly());
    }

    // Save as of a file shown read-only writes the file as it was read,
    // not the box's view of it: a copy keeps every byte, and choosing the
    // file itself leaves it whole.
    void saveAsOfAReadOnlyFileWritesItsBytes_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::newRow("line separator") << std::string("a\xE2\x80\xA8" "b\r\nc\n");
        QTest::newRow("paragraph separator, CR") << std::string("p\xE2\x80\xA9q\rr");
        QTest::newRow("NUL and Windows-1252") << std::string("MZ\0\x80\r\n\xE9\xA0\r", 9);
        QTest::newRow("UTF-16 with NUL") << std::string("\xFF\xFE" "a\0\0\0\r\0\n\0\x28\x20", 12);
    }
    void saveAsOfAReadOnlyFileWritesItsBytes() {
        QFETCH(std::string, bytes);
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        const std::string path = write("data.txt", bytes);
        RES_ShowFile* w = open(path);
        QVERIFY(w->ReadOnlyText());
        const std::string copy = bed->folder.dir.file("copy.txt");
        dialogs.ChooseSave(platform::ToQ(copy));
        w->SaveAs();
        QCOMPARE(kx::test::ReadBytes(copy), bytes);
        dialogs.ChooseSave(platform::ToQ(path));
        w->SaveAs();
        QCOMPARE(kx::test::ReadBytes(path), bytes);
        // A copy as RTF holds the file's characters as well.
        const std::string rtfCopy = bed->folder.dir.file("copy.rtf");
        dialogs.ChooseSave(platform::ToQ(rtfCopy));
        w->SaveAs();
        const text::rtf::Document file = text::rtf::PlainDocument(text::PlainTextFile(bytes).Text());
        const text::rtf::Document copied = text::rtf::Read(kx::test::ReadBytes(rtfCopy));
        QVERIFY(text::rtf::CharactersNotKept(file, copied).empty());
        QVERIFY(text::rtf::CharactersNotKept(copied, file).empty());
        QVERIFY(messages.shown().empty());
    }

    void anEditedTextFileKeepsItsLineEnds() {
        const std::string path = write("notes", "one\ntwo\n");
        RES_ShowFile* w = open(path);
        QCOMPARE(w->LoadType(), 1);  // no extension: plain text
        type(w, "three");
        QVERIFY(w->Modified());
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!w->Modified());
        QCOMPARE(kx::test::ReadBytes(path), std::string("one\ntwo\nthree"));
    }

    void rtfLoadsAndSavesAsRichTextWhateverTheLetterCase() {
        const std::string path = write(
            "report.RTF",
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}\\f0\\fs24 Plain \\b Bold\\b0\\par"
            "\\qc\\i\\cf1 Blue\\unknownthing7  italic\\par}");
        RES_ShowFile* w = open(path);
        QVERIFY(w);
        QCOMPARE(w->LoadType(), 0);
        QTextDocument* doc = w->RichTextBox1()->document();
        QCOMPARE(doc->toPlainText(), QString("Plain Bold\nBlue italic\n"));
        const QTextBlock second = doc->findBlockByNumber(1);
        QCOMPARE(second.blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        const QTextCharFormat blue = second.begin().fragment().charFormat();
        QVERIFY(blue.fontItalic());
        QCOMPARE(blue.foreground().color(), QColor(0, 0, 255));
        QCOMPARE(doc->findBlockByNumber(0).begin().fragment().charFormat().fontPointSize(), 12.0);

        type(w, "end");
        bool cancelled = false;
        w->SVTXT(cancelled);
        const text::rtf::Document saved = text::rtf::Read(kx::test::ReadBytes(path));
        QCOMPARE(saved.paragraphs.size(), size_t(3));
        QCOMPARE(saved.paragraphs[0].runs.size(), size_t(2));
        QCOMPARE(saved.paragraphs[0].runs[1].text, std::string("Bold"));
        QVERIFY(saved.paragraphs[0].runs[1].format.bold);
        QCOMPARE(saved.paragraphs[0].runs[1].format.font, std::string("Arial"));
        QCOMPARE(saved.paragraphs[1].runs[0].format.colour, std::optional<std::uint32_t>(0x0000FF));
        QCOMPARE(saved.paragraphs[1].align, text::rtf::Align::Center);
        QCOMPARE(saved.paragraphs[2].runs.back().text, std::string("end"));

        // What was saved opens again to the same text and formats.
        RES_ShowFile* again = open(path);
        QCOMPARE(again->RichTextBox1()->toHtml(), w->RichTextBox1()->toHtml());
    }

    void anUneditedRtfFileIsSavedByteForByte() {
        ScriptedMessages messages;
        const std::string bytes = rtfWithPictureAndTable();
        const std::string path = write("figure.rtf", bytes);
        RES_ShowFile* w = open(path);
        QCOMPARE(w->LoadType(), 0);
        files::Remove(path);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
        QVERIFY(messages.shown().empty());

        // Save as keeps the unedited document whole as well.
        ScriptedDialogs dialogs;
        const std::string copy = bed->folder.dir.file("copy.rtf");
        dialogs.ChooseSave(platform::ToQ(copy));
        w->SaveAs();
        QCOMPARE(kx::test::ReadBytes(copy), bytes);
        QVERIFY(messages.shown().empty());
    }

    void savingAnEditedRtfWithPicturesAndTablesAsksFirst() {
        ScriptedMessages messages;
        const std::string bytes = rtfWithPictureAndTable();
        const std::string path = write("figure.rtf", bytes);
        RES_ShowFile* w = open(path);
        type(w, " more");

        // Cancel leaves the file as it was and the document changed.
        messages.Answer(platform::kAnswerCancel);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(cancelled);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString(kLeftOutQuestion));
        QCOMPARE(messages.shown()[0].okCaption, QString("Save anyway"));
        QCOMPARE(messages.shown()[0].style,
                 platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(kx::test::ReadBytes(path), bytes);
        QVERIFY(w->Modified());

        // A copy would lose them too.
        ScriptedDialogs dialogs;
        const std::string copy = bed->folder.dir.file("copy.rtf");
        dialogs.ChooseSave(platform::ToQ(copy));
        messages.Answer(platform::kAnswerCancel);
        w->SaveAs();
        QCOMPARE(messages.shown().size(), size_t(2));
        QVERIFY(!files::Exists(copy));

        // Save anyway writes what the window holds; after that nothing is
        // left to lose and the next save asks nothing.
        messages.Answer(platform::kAnswerOk);
        cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QVERIFY(!w->Modified());
        const text::rtf::Document saved = text::rtf::Read(kx::test::ReadBytes(path));
        QVERIFY(!saved.LeavesOutContent());
        QCOMPARE(saved.paragraphs.at(2).runs.at(0).text, std::string("T\t300 K\t"));
        QCOMPARE(saved.paragraphs.back().runs.back().text, std::string(" more"));
        type(w, "!");
        w->SVTXT(cancelled);
        QCOMPARE(messages.shown().size(), size_t(3));
        QCOMPARE(text::rtf::Read(kx::test::ReadBytes(path)).paragraphs.back().runs.back().text, std::string(" more!"));
    }

    void closingAnEditedRtfWithPicturesKeepsTheWindowWhenTheSaveIsRefused() {
        ScriptedMessages messages;
        const std::string bytes = rtfWithPictureAndTable();
        const std::string path = write("figure.rtf", bytes);
        RES_ShowFile* w = open(path);
        type(w, "x");
        messages.Answer(platform::kAnswerYes);     // save changes?
        messages.Answer(platform::kAnswerCancel);  // ... and lose the picture?
        QVERIFY(!platform::Unload(w));
        QVERIFY(loaded(w));
        QCOMPARE(messages.lastText(), QString(kLeftOutQuestion));
        QVERIFY(Shared().CloseRefused);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
    }

    // What the window cannot keep of an RTF file (pictures and tables, or
    // characters the box turns into paragraph breaks) is asked about at
    // every save that would write the document without it, for as long as
    // the file holds it: after an unedited save, after a refusal, and for
    // copies as RTF or text. Only writing the window's text over the file
    // ends the questions.
    void whatTheWindowCannotKeepIsAskedAboutAtEverySaveThatDropsIt_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QString>("question");
        const QString characters =
            "This document holds characters that this window cannot keep as they are (%1); saving will change them.";
        QTest::newRow("picture and table") << rtfWithPictureAndTable() << QString(kLeftOutQuestion);
        QTest::newRow("CR and LF") << std::string("{\\rtf1\\ansi\\uc1 a\\u13?b\\u10?c\\par d}")
                                   << characters.arg("U+000D, U+000A");
        QTest::newRow("noncharacters, paragraph separator")
            << std::string("{\\rtf1\\uc1 a\\u-560?b\\u-559?c\\u8233?d\\u-560?}") << characters.arg("U+FDD0, U+FDD1, U+2029");
        QTest::newRow("hidden text, page break") << std::string("{\\rtf1 a{\\v note}b\\page c}")
                                                 << "This document holds hidden text and page and section breaks that this "
                                                    "window cannot keep; saving will remove them.";
        QTest::newRow("styles, lists, borders, tracked changes")
            << std::string("{\\rtf1{\\stylesheet{\\s1 H;}}\\pard\\s1 Title\\par\\pard\\ls1 item\\par\\pard\\brdrb\\brdrs ruled"
                           "\\par kept{\\deleted gone}}")
            << "This document holds styles, list formatting, shading/borders and tracked changes that this window "
               "cannot keep; saving will remove them.";
        QTest::newRow("both") << std::string("{\\rtf1\\uc1 x{\\pict\\pngblip 89504e47}y\\u13?z}")
                              << QString(kLeftOutQuestion) + "\r\n\r\nIt also holds characters that this window "
                                 "cannot keep as they are (U+000D); saving will change them.";
    }
    void whatTheWindowCannotKeepIsAskedAboutAtEverySaveThatDropsIt() {
        QFETCH(std::string, bytes);
        QFETCH(QString, question);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        const std::string path = write("kept.rtf", bytes);
        RES_ShowFile* w = open(path);
        QCOMPARE(w->LoadType(), 0);
        QVERIFY(!w->ReadOnlyText());
        bool cancelled = false;
        w->SVTXT(cancelled);  // unedited: the file's own bytes, no question
        QVERIFY(!cancelled);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
        QVERIFY(messages.shown().empty());

        type(w, "+");
        for (int attempt = 0; attempt < 2; ++attempt) {
            messages.Answer(platform::kAnswerCancel);
            cancelled = false;
            w->SVTXT(cancelled);
            QVERIFY(cancelled);
            QCOMPARE(messages.lastText(), question);
            QCOMPARE(messages.shown().back().okCaption, QString("Save anyway"));
            QCOMPARE(messages.shown().back().style,
                     platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2);
            QCOMPARE(kx::test::ReadBytes(path), bytes);
            QVERIFY(w->Modified());
        }
        QCOMPARE(messages.shown().size(), size_t(2));
        for (const char* name : {"copy.rtf", "copy.txt"}) {
            const std::string copy = bed->folder.dir.file(name);
            dialogs.ChooseSave(platform::ToQ(copy));
            messages.Answer(platform::kAnswerCancel);
            w->SaveAs();
            QCOMPARE(messages.lastText(), question);
            QVERIFY2(!files::Exists(copy), name);
        }
        QCOMPARE(messages.shown().size(), size_t(4));

        // Save anyway: the file holds what the window holds, and the next
        // edited save has nothing to ask.
        messages.Answer(platform::kAnswerOk);
        w->SVTXT(cancelled);
        QVERIFY(!w->Modified());
        const std::string saved = kx::test::ReadBytes(path);
        QVERIFY(saved != bytes);
        QVERIFY(saved.find('+') != std::string::npos);
        type(w, "!");
        w->SVTXT(cancelled);
        QVERIFY(!w->Modified());
        QCOMPARE(messages.shown().size(), size_t(5));
    }

    // What a word processor writes beyond the window's text and formats is
    // kept by an edited save, in its place, or named in the question before
    // the save, whose default (Cancel) leaves the file as it was.
    void anEditedSaveKeepsWhatAWordProcessorWroteOrAsks_data() {
        QTest::addColumn<std::string>("body");
        QTest::addColumn<QStringList>("kept");  // parts of the saved file, in this order
        QTest::addColumn<QString>("asked");     // what the question names
        const QString none;
        QTest::newRow("bookmark") << std::string("one {\\*\\bkmkstart Result}two{\\*\\bkmkend Result} three")
                                  << QStringList{"one ", "{\\*\\bkmkstart Result}", "two", "{\\*\\bkmkend Result}", " three+"}
                                  << none;
        QTest::newRow("underline colour") << std::string("{\\colortbl ;\\red255\\green0\\blue0;}{\\ul\\ulc1 red} line")
                                          << QStringList{"\\red255\\green0\\blue0;", "\\ul\\ulc1 red", "line+"} << none;
        QTest::newRow("page numbers") << std::string("\\sectd\\pgnrestart\\pgnlcrm\\pgnstarts2\\titlepg text")
                                      << QStringList{"\\pgnrestart\\pgnlcrm\\pgnstarts2\\titlepg", "text+"} << none;
        QTest::newRow("user properties, variables")
            << std::string("{\\*\\userprops {\\propname Run}\\proptype30{\\staticval 7}}{\\*\\docvar {Case}{lean}}text")
            << QStringList{"{\\*\\userprops{\\propname Run}\\proptype30 {\\staticval 7}}", "{\\*\\docvar{Case}{lean}}",
                           "text+"}
            << none;
        QTest::newRow("Unicode information")
            << std::string("{\\upr{\\info{\\title T?}}{\\*\\ud{\\info{\\title T\\u8364?}}}}text")
            << QStringList{"{\\upr{\\info {\\title T?}}{\\*\\ud {\\info {\\title T\\u8364?}}}}", "text+"} << none;
        QTest::newRow("empty bookmark") << std::string("a{\\*\\bkmkstart Mark}{\\*\\bkmkend Mark}b") << QStringList{}
                                        << QString("empty bookmarks");
        QTest::newRow("right-to-left font")
            << std::string("{\\rtlch\\fcs1 \\af1\\afs28 \\ltrch\\fcs0 \\f0 \\u1513?\\u1500?\\u1493?\\u1501?}")
            << QStringList{} << QString("right-to-left and complex-script fonts");
    }
    void anEditedSaveKeepsWhatAWordProcessorWroteOrAsks() {
        QFETCH(std::string, body);
        QFETCH(QStringList, kept);
        QFETCH(QString, asked);
        ScriptedMessages messages;
        const std::string bytes =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman David;}}\r\n" + body + "}\r\n";
        const std::string path = write("processor.rtf", bytes);
        RES_ShowFile* w = open(path);
        QVERIFY(w);
        type(w, "+");
        bool cancelled = false;
        if (!asked.isEmpty()) {
            messages.Answer(platform::kAnswerCancel);
            w->SVTXT(cancelled);
            QVERIFY(cancelled);
            QCOMPARE(messages.shown().size(), size_t(1));
            QCOMPARE(messages.lastText(), "This document holds " + asked +
                                              " that this window cannot keep; saving will remove them.");
            QCOMPARE(messages.shown().back().style,
                     platform::kMsgExclamation + platform::kMsgOkCancel + platform::kMsgDefaultButton2);
            QCOMPARE(kx::test::ReadBytes(path), bytes);
            return;
        }
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QVERIFY(messages.shown().empty());
        const std::string saved = kx::test::ReadBytes(path);
        std::size_t at = 0;
        for (const QString& part : kept) {
            const std::size_t found = saved.find(part.toStdString(), at);
            QVERIFY2(found != std::string::npos, qPrintable(part + " in " + QString::fromStdString(saved)));
            at = found + static_cast<std::size_t>(part.size());
        }
        // Saved again after another edit, it is kept again.
        type(w, "!");
        w->SVTXT(cancelled);
        QCOMPARE(text::rtf::Read(kx::test::ReadBytes(path)).info, text::rtf::Read(saved).info);
        QCOMPARE(text::rtf::Read(kx::test::ReadBytes(path)).properties, text::rtf::Read(saved).properties);
        QCOMPARE(text::rtf::Read(kx::test::ReadBytes(path)).settings, text::rtf::Read(saved).settings);
    }

    // Characters the box can hold come back from an edited save as they
    // were read, whatever stands before them: U+FEFF at the start of a
    // paragraph or of a run, a line separator given as a character, a
    // no-break space, control characters, characters of another code page.
    // Subscripts, superscripts and strike-through stay.
    void everyCharacterTheBoxHoldsIsWrittenBackByAnEditedSave() {
        ScriptedMessages messages;
        const std::string path = write(
            "marks.rtf",
            "{\\rtf1\\ansi\\uc1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial CYR;}}\\f0 \\u-257?first\\par\\u-257?\\u-257?second "
            "{\\b \\u-257?bold}\\par a\\u8232?b\\~c\\u1?d\\u127?e\\u-4?f\\tab g\\-h\\emspace i\\par "
            "{\\f1 \\'e0\\'e1} H{\\sub 2}O cm{\\super 3} {\\strike old}}");
        const text::rtf::Document read = text::rtf::Read(kx::test::ReadBytes(path));
        RES_ShowFile* w = open(path);
        w->RichTextBox1()->moveCursor(QTextCursor::End);
        w->RichTextBox1()->insertPlainText("+");
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QVERIFY(messages.shown().empty());
        text::rtf::Document expected = read;
        expected.paragraphs.back().runs.back().text += "+";
        const text::rtf::Document saved = text::rtf::Read(kx::test::ReadBytes(path));
        QVERIFY(text::rtf::CharactersNotKept(expected, saved).empty());
        QVERIFY(text::rtf::CharactersNotKept(saved, expected).empty());
        std::map<std::string, text::rtf::CharFormat> formats;
        for (const text::rtf::Run& r : saved.paragraphs.back().runs) formats[r.text] = r.format;
        QCOMPARE(formats.at("2").script, text::rtf::Script::Sub);
        QCOMPARE(formats.at("3").script, text::rtf::Script::Super);
        QVERIFY(formats.at("old+").strike);  // typed at its end
        QVERIFY(!formats.at("O cm").strike && formats.at("O cm").script == text::rtf::Script::Normal);
    }

    // An edited document keeps, without a question, what the window does
    // not show: its information and page settings as they were, the
    // paragraphs' indents and spacing, capitals, highlight and the other
    // formatting words; text without a size stays 12 points, and text typed
    // into an empty paragraph takes that paragraph's format.
    void anEditedRtfKeepsTheFormattingTheWindowDoesNotShow() {
        ScriptedMessages messages;
        const std::string bytes =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
            "{\\colortbl ;\\red255\\green255\\blue0;}\r\n"
            "{\\info{\\title Flame speeds}{\\author J. M\\'fcller}{\\creatim\\yr2024\\mo5\\dy2}}\r\n"
            "\\paperw16838\\paperh11906\\margl1134\\margr1134\\margt850\\margb850\\landscape\\viewkind4\\uc1\r\n"
            "\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1\\keepn\\tx4320 No size given\\par\r\n"
            "\\pard\\f1\\fs28 {\\caps caps} {\\scaps small} {\\highlight1 marked} {\\outl\\uldb odd}\\par\r\n"
            "\\par\r\n"
            "\\pard\\f0\\fs20 end\\par\r\n}\r\n";
        const std::string path = write("report.rtf", bytes);
        const text::rtf::Document read = text::rtf::Read(bytes);
        RES_ShowFile* w = open(path);
        QTextDocument* doc = w->RichTextBox1()->document();

        // The box shows the indents, the capitals and the highlight.
        const QTextBlockFormat indented = doc->findBlockByNumber(0).blockFormat();
        QVERIFY(indented.leftMargin() > 0 && indented.rightMargin() > 0 && indented.textIndent() < 0);
        QVERIFY(indented.topMargin() > 0 && indented.bottomMargin() > indented.topMargin());
        QCOMPARE(indented.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(indented.lineHeight(), 150.0);
        std::map<QString, QTextCharFormat> shown;
        for (auto it = doc->findBlockByNumber(1).begin(); !it.atEnd(); ++it)
            shown[it.fragment().text()] = it.fragment().charFormat();
        QCOMPARE(shown.at("caps").fontCapitalization(), QFont::AllUppercase);
        QCOMPARE(shown.at("small").fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(shown.at("marked").background().color(), QColor(255, 255, 0));
        QCOMPARE(doc->findBlockByNumber(0).begin().fragment().charFormat().fontPointSize(), 12.0);

        // Typed at the end and into the empty paragraph.
        QTextCursor cursor(doc->findBlockByNumber(2));
        w->RichTextBox1()->setTextCursor(cursor);
        QTest::keyClicks(w->RichTextBox1(), "typed");
        type(w, "!");
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QVERIFY(messages.shown().empty());

        const text::rtf::Document saved = text::rtf::Read(kx::test::ReadBytes(path));
        QCOMPARE(saved.info, read.info);
        QCOMPARE(saved.settings, read.settings);
        QCOMPARE(saved.settings, std::string("\\paperw16838\\paperh11906\\margl1134\\margr1134\\margt850\\margb850"
                                             "\\landscape\\viewkind4"));
        QVERIFY(saved.info.find("{\\title Flame speeds}{\\author J. M\\'fcller}") != std::string::npos);
        QCOMPARE(saved.paragraphs.size(), read.paragraphs.size());
        QCOMPARE(saved.paragraphs[0].spacing, read.paragraphs[0].spacing);
        QCOMPARE(saved.paragraphs[0].kept, std::string("\\keepn\\tx4320"));
        QCOMPARE(saved.paragraphs[0].runs.at(0).format.size, 12.0);
        QCOMPARE(saved.paragraphs[1].runs, read.paragraphs[1].runs);
        const text::rtf::CharFormat typed = saved.paragraphs[2].runs.at(0).format;
        QCOMPARE(saved.paragraphs[2].runs.at(0).text, std::string("typed"));
        QCOMPARE(typed.font, std::string("Arial"));
        QCOMPARE(typed.size, 14.0);
        // The file ends with a paragraph mark: "!" went into the empty last
        // paragraph, in the format the file ended with.
        QCOMPARE(saved.paragraphs.back().runs.at(0).text, std::string("!"));
        QCOMPARE(saved.paragraphs.back().runs.at(0).format.font, std::string("Times New Roman"));
        QCOMPARE(saved.paragraphs.back().runs.at(0).format.size, 10.0);

        // Saved, it opens again the same.
        RES_ShowFile* again = open(path);
        QCOMPARE(again->RichTextBox1()->toHtml(), w->RichTextBox1()->toHtml());
    }

    void aFileNamedRtfThatHoldsPlainTextStaysPlainText() {
        const std::string path = write("odd.rtf", "just text\r\n");
        RES_ShowFile* w = open(path);
        QCOMPARE(w->LoadType(), 1);
        files::Remove(path);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path), std::string("just text\r\n"));
    }

    void aFailedOpenIsShownAndTheWindowClosesWithoutAQuestion() {
        ScriptedMessages messages;
        auto* w = new RES_ShowFile;
        bool failed = false;
        w->OPEN_Rich(bed->folder.dir.file("missing.txt"), failed);
        QVERIFY(failed);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].style, 16);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QVERIFY(messages.lastText().startsWith("File not found"));
        w->MUStSaVE_RICH();
        QVERIFY(platform::Unload(w));
        QCOMPARE(messages.shown().size(), size_t(1));
    }

    void anUntitledDocumentAsksForANameAndTakesIt() {
        ScriptedDialogs dialogs;
        RES_ShowFile* w = open("$Text Doc7");
        QCOMPARE(w->Caption(), QString("Text Doc7"));
        QCOMPARE(w->MePath(), std::string());
        QVERIFY(w->RichTextBox1()->document()->isEmpty());
        type(w, "draft");

        dialogs.Cancel(ScriptedDialogs::Kind::Save);
        bool cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(cancelled);
        QVERIFY(w->Modified());
        QCOMPARE(w->MePath(), std::string());

        const std::string path = bed->folder.dir.file("draft.rtf");
        dialogs.ChooseSave(platform::ToQ(path));
        cancelled = false;
        w->SVTXT(cancelled);
        QVERIFY(!cancelled);
        QCOMPARE(w->MePath(), path);
        QCOMPARE(w->Caption(), QString("draft.rtf"));
        QCOMPARE(w->LoadType(), 0);
        QVERIFY(!w->Modified());
        const text::rtf::Document saved = text::rtf::Read(kx::test::ReadBytes(path));
        QCOMPARE(saved.paragraphs.at(0).runs.at(0).text, std::string("draft"));
        QCOMPARE(dialogs.requests()[1].file.filterIndex, 2);
        QVERIFY(dialogs.requests()[1].file.confirmOverwrite);
    }

    void aChartOrPictureNameIsRefusedAndCancelThereWritesNothing() {
        ScriptedDialogs dialogs;
        ScriptedMessages messages;
        RES_ShowFile* w = open("$Text Doc1");
        type(w, "data");
        const std::string picture = bed->folder.dir.file("chart.BMP"), text = bed->folder.dir.file("chart.txt");
        const std::string export_ = bed->folder.dir.file("export.png");
        dialogs.ChooseSave(platform::ToQ(picture));
        messages.Answer(platform::kAnswerOk);
        dialogs.ChooseSave(platform::ToQ(export_));
        messages.Answer(platform::kAnswerOk);
        dialogs.ChooseSave(platform::ToQ(text));
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(messages.shown()[0].text, QString("The file extension 'bmp' isn't suitable for the text file."));
        QCOMPARE(messages.lastText(), QString("The file extension 'png' isn't suitable for the text file."));
        QCOMPARE(messages.shown()[0].style, 49);
        QVERIFY(!files::Exists(export_));
        QCOMPARE(kx::test::ReadBytes(text), std::string("data"));
        QVERIFY(!files::Exists(picture));

        RES_ShowFile* other = open("$Text Doc2");
        type(other, "more");
        const std::string chart = bed->folder.dir.file("plot.pg");
        dialogs.ChooseSave(platform::ToQ(chart));
        messages.Answer(platform::kAnswerCancel);
        cancelled = false;
        other->SVTXT(cancelled);
        QVERIFY(cancelled);
        QVERIFY(!files::Exists(chart));
        QCOMPARE(other->MePath(), std::string());
        QVERIFY(other->Modified());
    }

    void saveAsWritesACopyAndTheWindowKeepsItsFile() {
        ScriptedDialogs dialogs;
        const std::string path = write("mine.txt", "text\r\n");
        RES_ShowFile* w = open(path);
        type(w, "+");
        const std::string copy = bed->folder.dir.file("copy.rtf");
        dialogs.ChooseSave(platform::ToQ(copy));
        w->SaveAs();
        QCOMPARE(text::rtf::Read(kx::test::ReadBytes(copy)).paragraphs.at(1).runs.at(0).text, std::string("+"));
        QCOMPARE(w->MePath(), path);
        QCOMPARE(w->Title(), std::string("mine.txt"));
        QCOMPARE(w->Caption(), QString("mine.txt"));
        QCOMPARE(w->LoadType(), 1);
        QVERIFY(w->Modified());
        QCOMPARE(kx::test::ReadBytes(path), std::string("text\r\n"));
    }

    // A document with a word longer than any line (numbers joined by
    // commas, no blank) wraps anywhere: finding the end of such a word at
    // every line would cost time by the square of its length. Every line
    // then fits the window, so the whole text can be seen. Documents of
    // ordinary words keep wrapping at word boundaries; loading, pasting and
    // undoing decide alike.
    void aWordTooLongToWrapMakesTheDocumentWrapAnywhere() {
        std::string numbers;
        while (numbers.size() <= static_cast<std::size_t>(text::kLongestWrappedWord)) numbers += "1.0000E+13,";
        std::string words;
        for (int k = 0; k < 1000; ++k) words += "reaction ";
        const std::string bytes = "Title\r\n" + numbers + "\r\n";
        const std::string path = write("table.txt", bytes);
        RES_ShowFile* w = open(path);
        w->resize(500, 300);
        w->show();
        QVERIFY(w->WordWrap());
        QVERIFY(!w->Modified());
        QTextEdit* box = w->RichTextBox1();
        QCOMPARE(box->wordWrapMode(), QTextOption::WrapAnywhere);
        const QTextBlock table = box->document()->findBlockByNumber(1);
        box->document()->documentLayout()->blockBoundingRect(table);  // laid out now
        QVERIFY(table.layout()->lineCount() > 1);
        for (int k = 0; k < table.layout()->lineCount(); ++k)
            QVERIFY(table.layout()->lineAt(k).naturalTextWidth() <= box->viewport()->width());

        const std::string prose = write("prose.txt", words + "\r\n" + words);
        QCOMPARE(open(prose)->RichTextBox1()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        const std::string rtfPath = write("table.rtf", "{\\rtf1\\ansi{\\b " + numbers.substr(0, 100) + "}" + numbers + "\\par}");
        QCOMPARE(open(rtfPath)->RichTextBox1()->wordWrapMode(), QTextOption::WrapAnywhere);

        // Undo back to ordinary words, then paste a long word.
        RES_ShowFile* other = open(prose);
        bed->clock->Advance(250);  // the snapshot of the file
        type(other, QString::fromStdString(numbers));
        bed->clock->Advance(250);
        other->Rich_Undo();
        QCOMPARE(other->RichTextBox1()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        other->Rich_Redo();
        QCOMPARE(other->RichTextBox1()->wordWrapMode(), QTextOption::WrapAnywhere);
        other->Rich_Undo();
        platform::ClipboardSetText(QString(text::kLongestWrappedWord + 1, QChar('7')));
        other->ClipInRich();
        QCOMPARE(other->RichTextBox1()->wordWrapMode(), QTextOption::WrapAnywhere);

        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(path), bytes);
    }

    // In a long paragraph every wrapped line costs time by the length of
    // its words: a megabyte of one line in words of a few hundred
    // characters wraps anywhere too, while the same words in paragraphs of
    // ordinary length, or shorter words, keep wrapping at word boundaries.
    void aLongParagraphOfLongWordsWrapsAnywhere_data() {
        QTest::addColumn<int>("wordLength");
        QTest::addColumn<int>("paragraphLength");  // at least; words and a blank each
        QTest::addColumn<bool>("anywhere");
        QTest::newRow("a megabyte of 300-character words") << 300 << 1'000'000 << true;
        QTest::newRow("a megabyte of 200-character words") << 200 << 1'000'000 << false;
        QTest::newRow("200 kB of 1300-character words") << 1300 << 200'000 << true;
        QTest::newRow("20 kB of 4999-character words") << 4999 << 20'000 << false;
        QTest::newRow("a megabyte of 20-character words") << 20 << 1'000'000 << false;
    }
    void aLongParagraphOfLongWordsWrapsAnywhere() {
        QFETCH(int, wordLength);
        QFETCH(int, paragraphLength);
        QFETCH(bool, anywhere);
        QString paragraph;
        while (paragraph.size() < paragraphLength) paragraph += QString(wordLength, QChar('7')) + ' ';
        QCOMPARE(text::HasWordTooLongToWrap(paragraph), anywhere);
        // Each paragraph alone decides, wherever it stands.
        QCOMPARE(text::HasWordTooLongToWrap("title\n" + paragraph + "\r\nend"), anywhere);
        const QString half = paragraph.left(paragraph.size() / 2);
        QVERIFY(!text::HasWordTooLongToWrap(half + "\n" + half));
        if (!anywhere || paragraphLength < 1'000'000) return;
        // A megabyte of one line opens wrapping anywhere.
        RES_ShowFile* w = open(write("one-line.txt", paragraph.toStdString()));
        QCOMPARE(w->RichTextBox1()->wordWrapMode(), QTextOption::WrapAnywhere);
        QVERIFY(!w->Modified());
    }

    void closingAsksOnlyForAChangedDocument() {
        ScriptedMessages messages;
        RES_ShowFile* w = open(write("same.txt", "x"));
        QVERIFY(platform::Unload(w));
        QVERIFY(messages.shown().empty());
    }

    void closingAChangedDocument_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<std::string>("saved");
        QTest::newRow("Yes saves and closes") << platform::kAnswerYes << true << std::string("old\r\nnew");
        QTest::newRow("No closes unsaved") << platform::kAnswerNo << true << std::string("old\r\n");
        QTest::newRow("Cancel keeps the window") << platform::kAnswerCancel << false << std::string("old\r\n");
    }
    void closingAChangedDocument() {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(std::string, saved);
        ScriptedMessages messages;
        const std::string path = write("doc.txt", "old\r\n");
        RES_ShowFile* w = open(path);
        type(w, "new");
        messages.Answer(answer);
        QCOMPARE(platform::Unload(w), closes);
        QCOMPARE(messages.lastText(), QString("Do you want to save changes to 'doc.txt'?"));
        QCOMPARE(messages.shown()[0].style, 35);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(Shared().CloseRefused, !closes);
        QCOMPARE(kx::test::ReadBytes(path), saved);
        if (!closes) {
            QVERIFY(loaded(w));
            QCOMPARE(w->RichTextBox1()->toPlainText(), QString("old\nnew"));
        }
    }

    void aSaveThatFailsWhileClosingKeepsTheWindowAndItsText() {
        ScriptedMessages messages;
        const std::string path = write("locked.txt", "kept\r\n");
        RES_ShowFile* w = open(path);
        type(w, " edit");
        files::SetReadOnly(path, true);
        messages.Answer(platform::kAnswerYes);
        QVERIFY(!platform::Unload(w));
        QVERIFY(loaded(w));
        QVERIFY(Shared().CloseRefused);
        QVERIFY(w->Modified());
        QVERIFY(messages.lastText().startsWith("17#030. Permission denied"));
        QCOMPARE(w->RichTextBox1()->toPlainText(), QString("kept\n edit"));
        QCOMPARE(kx::test::ReadBytes(path), std::string("kept\r\n"));
        files::SetReadOnly(path, false);
    }

    // A save that the system refuses says why, in the words a user knows,
    // and keeps the window's text unsaved.
    void aSaveOntoAReadOnlyMediumSaysSo() {
        ScriptedMessages messages;
        const std::string path = write("mounted.txt", "kept\r\n");
        RES_ShowFile* w = open(path);
        type(w, " edit");
        {
            files::SimulatedWriteFailure readOnlyMedium(EROFS, files::WriteStep::MakeTemporary);
            bool cancelled = false;
            w->SVTXT(cancelled);
        }
        QCOMPARE(messages.lastText(), QString::fromStdString("17#030. The medium is read-only: " + path));
        QVERIFY(w->Modified());
        QCOMPARE(kx::test::ReadBytes(path), std::string("kept\r\n"));
    }

    void closingAChangedUntitledDocumentNamesItsCaption() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        RES_ShowFile* w = open("$Text Doc3");
        type(w, "abc");
        messages.Answer(platform::kAnswerYes);
        dialogs.Cancel(ScriptedDialogs::Kind::Save);
        QVERIFY(!platform::Unload(w));
        QCOMPARE(messages.lastText(), QString("Do you want to save the text document 'Text Doc3'?"));
        QVERIFY(Shared().CloseRefused);
        messages.Answer(platform::kAnswerNo);
        QVERIFY(platform::Unload(w));
        QVERIFY(!Shared().CloseRefused);
    }

    void aShownTableHasNoPathOfItsOwn() {
        ScriptedDialogs dialogs;
        const std::string table = bed->folder.working("TmpPlot.txt");
        files::WriteAll(table, "t\tx\r\n");
        RES_ShowFile* w = open(table);
        QCOMPARE(w->MePath(), std::string());
        QCOMPARE(w->Caption(), QString("TmpPlot.txt"));
        const std::string target = bed->folder.dir.file("table.txt");
        dialogs.ChooseSave(platform::ToQ(target));
        bool cancelled = false;
        w->SVTXT(cancelled);
        QCOMPARE(kx::test::ReadBytes(target), std::string("t\tx\r\n"));
        QCOMPARE(dialogs.requests()[0].file.fileName, QString("TmpPlot.txt"));
    }

    // A user's file opens as its own document also where the program can
    // keep no working files (its AssistFiles folder is gone).
    void aFileOpensWhereNoWorkingFolderCanBeMade() {
        ScriptedMessages messages;
        const std::string path = write("notes.txt", "text\r\n");
        RemoveWorkingFolder();
        std::filesystem::remove_all(bed->folder.assist(""));
        RES_ShowFile* w = open(path);
        QVERIFY(w);
        QCOMPARE(w->MePath(), path);
        QVERIFY(messages.shown().empty());
    }

    void editingCommandsChangeTheTextAndTheFlag() {
        const std::string path = write("edit.txt", "alpha beta");
        RES_ShowFile* w = open(path);
        QTextEdit* box = w->RichTextBox1();
        QTextCursor c = box->textCursor();
        c.setPosition(0);
        c.setPosition(6, QTextCursor::KeepAnchor);
        box->setTextCursor(c);
        QVERIFY(!w->Modified());
        w->TEXT_CUT();
        QCOMPARE(box->toPlainText(), QString("beta"));
        QCOMPARE(platform::ClipboardText(), QString("alpha "));
        QVERIFY(w->Modified());
        box->moveCursor(QTextCursor::End);
        w->ClipInRich();
        QCOMPARE(box->toPlainText(), QString("betaalpha "));
        w->FntSize(14);
        QCOMPARE(box->document()->defaultFont().pointSize(), 14);
        QVERIFY(w->WordWrap());
    }
};

QTEST_MAIN(TextWindowTest)
#include "TextWindowTest.moc"
