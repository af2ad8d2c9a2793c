// Printing a text window through "Text Editor Print": the dialog loads the
// window's and the shared values, refuses bad entries with its messages,
// stores what it accepts, and prints the whole text or the selection on
// the chosen paper and orientation, with the heading and page numbers, into
// the preview (a PDF file here).
#include "RES_PAGESETUP.h"
#include "RES_ShowFile.h"

#include "Files.h"
#include "Help.h"
#include "OpenFiles.h"
#include "PdfPages.h"
#include "RichText.h"
#include "Scripted.h"
#include "TextWindowsBed.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPrinter>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <cerrno>
#include <functional>
#include <memory>

using namespace kx;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;
using kx::platform::testing::ScriptedPrinting;
using kx::text::RES_PAGESETUP;
using kx::text::RES_ShowFile;

class TextPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::TextWindowsBed> bed;
    std::unique_ptr<ScriptedPrinting> printing;

    RES_ShowFile* document(const std::string& name, const std::string& bytes) {
        platform::Form* form = shell::LoadTextFile(bed->folder.dir.write(name, bytes));
        shell::ShowForm(form);
        platform::BringToFront(form);
        return dynamic_cast<RES_ShowFile*>(form);
    }

    // Presses the text toolbar's Print button; the user sets the dialog up
    // with fill and presses "Print Preview".
    void print(ScriptedModals& modals, const std::function<void(RES_PAGESETUP&)>& fill) {
        modals.Next([fill](QDialog& d) {
            auto& dialog = dynamic_cast<RES_PAGESETUP&>(d);
            fill(dialog);
            dialog.Command5()->click();
        });
        bed->main->Toolbar5()->Button(QString("PRINT"))->trigger();
    }

    static std::string lines(int count, const char* word = "row") {
        std::string text;
        for (int i = 1; i <= count; ++i) text += std::string(word) + " " + std::to_string(i) + "\r\n";
        return text;
    }

    // The first line of a page with text on it.
    static QString firstLine(const QString& page) {
        for (const QString& line : page.split('\n'))
            if (!line.trimmed().isEmpty()) return line;
        return {};
    }

private slots:
    void init() {
        bed = std::make_unique<kx::test::TextWindowsBed>();
        LoadConstants(Shared(), kPaperLetter);
        printing = std::make_unique<ScriptedPrinting>(QString::fromStdString(bed->folder.dir.path()));
    }
    void cleanup() {
        printing.reset();
        bed.reset();
    }

    void theDialogShowsTheSharedAndTheWindowValues() {
        RES_ShowFile* w = document("notes.txt", "alpha beta");
        w->Set_Page_SetUp("My heading", 0, 12);
        Shared().PageSetupValues = {0.3F, 0.333F, 1.25F, 2, 9, 2};
        Shared().PageNumberAlign = 0;
        ScriptedModals modals;
        modals.Next([](QDialog& d) {
            auto& dialog = dynamic_cast<RES_PAGESETUP&>(d);
            QCOMPARE(dialog.windowTitle(), QString("Text Editor Print"));
            QCOMPARE(dialog.Text1(0)->text(), QString("0.3"));
            QCOMPARE(dialog.Text1(1)->text(), QString("0.33"));
            QCOMPARE(dialog.Text1(2)->text(), QString("1.25"));
            QCOMPARE(dialog.Text1(3)->text(), QString("2."));  // the "0.##" pattern keeps its point
            QCOMPARE(dialog.Combo2()->currentText(), QString(" A4, 210 x 297 mm"));
            QVERIFY(dialog.Option2()->isChecked());
            QCOMPARE(dialog.Text4()->text(), QString("My heading"));
            QVERIFY(!dialog.Check1()->isChecked());
            QCOMPARE(dialog.Combo1()->currentText(), QString(" Left Justify "));
            QCOMPARE(dialog.Text3()->text(), QString("12"));
            QVERIFY(dialog.Label6()->text().startsWith("The entire document will be printed."));
            dialog.Command3()->click();
        });
        w->findChild<QAction*>("PAGESETUP")->trigger();  // the window's "Print..."
        QCOMPARE(modals.shown(), (std::vector<QString>{"Text Editor Print"}));
        QVERIFY(printing->shown().empty());
        QVERIFY(!platform::FindForm(shell::kTextPageSetup));

        // With text selected, the note says only the selection is printed.
        w->RichTextBox1()->selectAll();
        modals.Next([](QDialog& d) {
            QVERIFY(dynamic_cast<RES_PAGESETUP&>(d).Label6()->text().startsWith(
                "Selected portion of the text will be printed."));
        });
        bed->main->Toolbar5()->Button(QString("PRINT"))->trigger();
    }

    void badEntriesAreRefusedWithTheirMessagesAndNothingIsStored_data() {
        QTest::addColumn<int>("box");  // 0 to 3 margins, 4 the first page number
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::newRow("left 0") << 0 << "0" << "Left margin, please enter a positive number.";
        QTest::newRow("right -1") << 1 << "-1" << "Right margin, please enter a positive number.";
        QTest::newRow("top text") << 2 << "abc" << "Top margin, please enter a positive number.";
        QTest::newRow("bottom 1E400") << 3 << "1E400" << "Bottom margin, please enter a positive number.";
        QTest::newRow("first page text") << 4 << "text" << "First page number, please enter an integer.";
        QTest::newRow("first page 1E10") << 4 << "1E10" << "First page number, please enter an integer.";
    }
    void badEntriesAreRefusedWithTheirMessagesAndNothingIsStored() {
        QFETCH(int, box);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        RES_ShowFile* w = document("notes.txt", "text");
        const auto before = Shared().PageSetupValues;
        ScriptedMessages messages;
        ScriptedModals modals;
        bool stayedOpen = false;
        QLineEdit* focused = nullptr;
        print(modals, [&](RES_PAGESETUP& d) {
            focused = box < 4 ? d.Text1(box) : d.Text3();
            focused->setText(entry);
            d.Option2()->setChecked(true);
            d.Text4()->setText("changed");
            QObject::connect(d.Command5(), &QPushButton::clicked, &d, [&] { stayedOpen = d.isVisible(); });
        });
        QVERIFY(stayedOpen);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        QCOMPARE(Shared().PageSetupValues, before);
        std::string heading;
        std::int32_t flag = 0, first = 0;
        w->Get_Page_SetUp(heading, flag, first);
        QVERIFY(heading != "changed");
        QVERIFY(printing->shown().empty());
    }

    void marginsThatDoNotFitAreRefusedAfterPaperAndMarginsAreStored() {
        RES_ShowFile* w = document("notes.txt", "text");
        w->Set_Page_SetUp("kept", 1, 1);
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text1(0)->setText("3.6");
            d.Text1(1)->setText("3.65");
            d.Combo2()->setCurrentIndex(0);
            d.Option1()->setChecked(true);
            d.Text4()->setText("changed");
        });
        QCOMPARE(messages.lastText(), QString("Print setup, reduce please the page margins."));
        QCOMPARE(Shared().PageSetupValues, (std::array<float, 6>{3.6F, 3.65F, 1, 1, 1, 1}));
        std::string heading;
        std::int32_t flag = 0, first = 0;
        w->Get_Page_SetUp(heading, flag, first);
        QCOMPARE(heading, std::string("kept"));
        QVERIFY(printing->shown().empty());

        // The same margins fit across a Letter page in landscape.
        print(modals, [](RES_PAGESETUP& d) {
            d.Text1(0)->setText("3.6");
            d.Text1(1)->setText("3.65");
            d.Option2()->setChecked(true);
        });
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(printing->shown().size(), size_t(1));
        QCOMPARE(printing->shown()[0].name, QString("PRINT_PREVIEW_Lett_Land"));
    }

    void marginsAreStoredRoundedAndClamped() {
        document("notes.txt", "text");
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text1(0)->setText("0.333");
            d.Text1(1)->setText("0.1");
            d.Text1(2)->setText(" 1.5 ");
            d.Text1(3)->setText("0.3");
        });
        QCOMPARE(printing->shown().size(), size_t(1));
        QCOMPARE(Shared().PageSetupValues[0], 0.33F);
        QCOMPARE(Shared().PageSetupValues[1], 0.25F);
        QCOMPARE(Shared().PageSetupValues[2], 1.5F);
        QCOMPARE(Shared().PageSetupValues[3], 0.3F);
    }

    void twoPagesCarryTheHeadingAndNumbersFromTheFirstPageNumber() {
        document("results.txt", lines(80));
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text1(2)->setText("1.5");
            d.Text4()->setText("Run A results");
            d.Check1()->setChecked(true);
            d.Combo1()->setCurrentIndex(0);  // numbers on the left
            d.Text3()->setText("5");
        });
        QCOMPARE(printing->shown().size(), size_t(1));
        const QString pdf = printing->shown()[0].pdf;
        QCOMPARE(kx::test::PdfPageCount(pdf), 2);
        QCOMPARE(printing->shown()[0].name, QString("PRINT_PREVIEW"));
        const QString page1 = kx::test::PdfPageText(pdf, 1);
        const QString page2 = kx::test::PdfPageText(pdf, 2);
        QVERIFY2(QRegularExpression(R"(^\s*5\s+Run A results\s*$)").match(firstLine(page1)).hasMatch(),
                 qPrintable(firstLine(page1)));
        QVERIFY2(QRegularExpression(R"(^\s*6\s+Run A results\s*$)").match(firstLine(page2)).hasMatch(),
                 qPrintable(firstLine(page2)));
        QVERIFY(page1.contains(QRegularExpression(R"(\brow 1\b)")) && page2.contains(QRegularExpression(R"(\brow 80\b)")));
        QCOMPARE(Shared().PageNumberAlign, 0);
        QCOMPARE(Shared().PageSetupValues[2], 1.5F);
    }

    // A PDF file that cannot be written is told under the print's tag, and
    // an earlier file of that name stays as it was.
    void aPdfOnAFullDiskIsToldAndTheEarlierFileKept() {
        document("results.txt", lines(80));
        const std::string pdf = bed->folder.dir.write("results.pdf", "%PDF-1.4 an earlier print\n%%EOF\n");
        printing->ChooseFile(QString::fromStdString(pdf));
        ScriptedModals modals;
        ScriptedMessages messages;
        {
            files::SimulatedWriteFailure full(ENOSPC, files::WriteStep::WriteBytes);
            print(modals, [](RES_PAGESETUP&) {});
        }
        QCOMPARE(printing->shown().size(), size_t(1));
        QVERIFY(!printing->shown()[0].printed);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.shown()[0].text, QString::fromStdString("TxtRep#001. The disk is full: " + pdf));
        QCOMPARE(test::ReadBytes(pdf), std::string("%PDF-1.4 an earlier print\n%%EOF\n"));
    }

    void rightJustifiedNumbersAndAFirstNumberRoundedFromDecimals() {
        document("results.txt", lines(3));
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text4()->setText("");
            d.Combo1()->setCurrentIndex(1);
            d.Text3()->setText("2.6");
        });
        const QString page = kx::test::PdfPageText(printing->shown()[0].pdf, 1);
        QCOMPARE(firstLine(page).trimmed(), QString("3"));
        // The number stands right of the text's start.
        QVERIFY2(firstLine(page).indexOf('3') > page.split('\n').filter("row 1").value(0).indexOf("row") + 4,
                 qPrintable(page));

        // An empty first page number prints from 1 and shows 1 in its box.
        QString shownFirst;
        modals.Next([&](QDialog& d) {
            auto& dialog = dynamic_cast<RES_PAGESETUP&>(d);
            dialog.Text3()->setText("");
            dialog.Command5()->click();
            shownFirst = dialog.Text3()->text();
        });
        bed->main->Toolbar5()->Button(QString("PRINT"))->trigger();
        QCOMPARE(shownFirst, QString("1"));
        QVERIFY(firstLine(kx::test::PdfPageText(printing->shown()[1].pdf, 1)).trimmed() == "1");
    }

    void noHeadingAndNoNumbersLeaveTheTextAtTheTopMargin() {
        document("results.txt", "first line\r\nsecond line\r\n");
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text4()->setText("");
            d.Check1()->setChecked(false);
        });
        const QString page = kx::test::PdfPageText(printing->shown()[0].pdf, 1);
        QCOMPARE(firstLine(page).trimmed(), QString("first line"));
    }

    // A text with a word too long to wrap at word boundaries is printed
    // wrapped anywhere, as the window shows it: finding word boundaries in
    // it took time by the square of the word's length (seconds for a
    // megabyte of one line).
    void aWordTooLongToWrapIsPrintedWrappedAnywhere() {
        std::string table(text::kLongestWrappedWord + 100, '7');
        table.replace(0, 2, "a ");
        document("table.txt", table);
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text4()->setText("");
            d.Check1()->setChecked(false);
        });
        const QString first = firstLine(kx::test::PdfPageText(printing->shown()[0].pdf, 1)).trimmed();
        QVERIFY2(first.startsWith("a 7777777777"), qPrintable(first));
    }

    void onlyTheSelectionIsPrintedWhenThereIsOne() {
        RES_ShowFile* w = document("notes.txt", "before the part\r\nTHE SELECTED PART\r\nafter the part\r\n");
        QTextCursor c = w->RichTextBox1()->textCursor();
        c.setPosition(16);
        c.setPosition(33, QTextCursor::KeepAnchor);
        w->RichTextBox1()->setTextCursor(c);
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP&) {});
        const QString page = kx::test::PdfPageText(printing->shown()[0].pdf, 1);
        QVERIFY2(page.contains("THE SELECTED PART"), qPrintable(page));
        QVERIFY(!page.contains("before") && !page.contains("after"));

        // Without a selection, the whole text.
        c.clearSelection();
        w->RichTextBox1()->setTextCursor(c);
        print(modals, [](RES_PAGESETUP&) {});
        const QString whole = kx::test::PdfPageText(printing->shown()[1].pdf, 1);
        QVERIFY(whole.contains("before the part") && whole.contains("after the part"));
    }

    void pagesHaveThePaperAndOrientationChosen_data() {
        QTest::addColumn<int>("paperIndex");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("Letter portrait") << 0 << true << "PRINT_PREVIEW" << QSizeF(612, 792);
        QTest::newRow("A4 portrait") << 1 << true << "PRINT_PREVIEW" << QSizeF(595, 842);
        QTest::newRow("A4 landscape") << 1 << false << "PRINT_PREVIEW_Land" << QSizeF(842, 595);
        QTest::newRow("Letter landscape") << 0 << false << "PRINT_PREVIEW_Lett_Land" << QSizeF(792, 612);
    }
    void pagesHaveThePaperAndOrientationChosen() {
        QFETCH(int, paperIndex);
        QFETCH(bool, portrait);
        QFETCH(QString, layout);
        QFETCH(QSizeF, points);
        document("notes.txt", lines(3));
        ScriptedModals modals;
        print(modals, [&](RES_PAGESETUP& d) {
            d.Combo2()->setCurrentIndex(paperIndex);
            (portrait ? d.Option1() : d.Option2())->setChecked(true);
        });
        QCOMPARE(printing->shown()[0].name, layout);
        QCOMPARE(printing->shown()[0].caption, QString("Print Preview"));
        const QSizeF size = kx::test::PdfPageSize(printing->shown()[0].pdf, 1);
        QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
        QCOMPARE(Shared().PageSetupValues[4], paperIndex == 0 ? 1.0F : 9.0F);
        QCOMPARE(Shared().PageSetupValues[5], portrait ? 1.0F : 2.0F);
    }

    void aPrinterWithAnotherPaperIsNamedBeforeThePreview() {
        document("notes.txt", lines(3));
        printing->KeepPaper(5);
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Combo2()->setCurrentIndex(0);
            d.Option2()->setChecked(true);
        });
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString("Parts of the document can be not entirely within your printer "
                                              "image\r\n\r\nYou have specified the 'Letter' paper size; the same "
                                              "value must be set on the printer property."));
        QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(printing->shown().size(), size_t(1));  // the preview still shows
    }

    // A tab moves on to the next stop of its line, on the page as in the
    // window: every eight characters in plain text, where an RTF document
    // puts its default stops and its paragraph's own (a right tab's text
    // ends on its stop).
    void tabsStandAtTheStopsTheWindowShows_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");   // the first stands at the field's left
        QTest::addColumn<QList<double>>("lefts");  // points from there; negative: the right end at minus it
        QTest::addColumn<QList<double>>("columns");  // the same in characters of the print font
        QTest::newRow("plain text") << "table.txt" << QByteArray("T0100\tcol2\tcol3\t\tend\r\n")
                                    << QStringList{"T0100", "col2", "col3", "end"} << QList<double>{}
                                    << QList<double>{8, 16, 32};
        QTest::newRow("RTF default stops") << "table.rtf"
                                           << QByteArray("{\\rtf1\\ansi\\deftab1440 T0100\\tab col2\\tab col3\\par}")
                                           << QStringList{"T0100", "col2", "col3"} << QList<double>{72, 144}
                                           << QList<double>{};
        QTest::newRow("RTF stops of the paragraph")
            << "table.rtf" << QByteArray("{\\rtf1\\ansi\\pard\\tx2880\\tqr\\tx7200 ab\\tab col2\\tab right\\par}")
            << QStringList{"ab", "col2", "right"} << QList<double>{144, -360} << QList<double>{};
    }
    void tabsStandAtTheStopsTheWindowShows() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QFETCH(QList<double>, lefts);
        QFETCH(QList<double>, columns);
        RES_ShowFile* w = document(file.toStdString(), bytes.toStdString());
        ScriptedModals modals;
        print(modals, [](RES_PAGESETUP& d) {
            d.Text4()->setText("");
            d.Check1()->setChecked(false);
        });
        const auto found = kx::test::PdfPageWords(printing->shown()[0].pdf, 1);
        QStringList texts;
        for (const auto& word : found) texts << word.text;
        QCOMPARE(texts, words);  // one line: nothing wrapped, nothing lost
        for (const auto& word : found) QCOMPARE(word.box.top(), found[0].box.top());
        const double origin = found[0].box.left();
        QVERIFY(qAbs(origin - 36) < 0.5);  // the left margin of half an inch
        const double character = found[0].box.width() / found[0].text.size();
        for (int i = 0; i < columns.size(); ++i)
            QVERIFY2(qAbs(found[static_cast<std::size_t>(i) + 1].box.left() - origin - columns[i] * character) < 0.5,
                     qPrintable(words[i + 1]));
        for (int i = 0; i < lefts.size(); ++i) {
            const QRectF& box = found[static_cast<std::size_t>(i) + 1].box;
            const double at = lefts[i] > 0 ? box.left() - origin : -(box.right() - origin);
            QVERIFY2(qAbs(at - lefts[i]) < 0.5, qPrintable(QString("%1 at %2").arg(words[i + 1]).arg(at)));
        }

        // The window: the first tab's text at the same stop, in its font's
        // characters or in inches on the screen.
        QTextEdit* box = w->RichTextBox1();
        const QTextBlock block = box->document()->firstBlock();
        box->document()->documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineAt(0);
        const int second = static_cast<int>(block.text().indexOf(words[1]));
        const double shown = line.cursorToX(second) - line.cursorToX(0);
        const double expected = columns.isEmpty()
                                    ? lefts[0] / 72.0 * box->logicalDpiX()
                                    : columns[0] * QFontMetricsF(box->document()->defaultFont(), box)
                                                       .horizontalAdvance(QLatin1Char(' '));
        QVERIFY2(qAbs(shown - expected) < 1, qPrintable(QString("%1 against %2").arg(shown).arg(expected)));
    }

    // "Pages from 2 to 3" of the print dialog prints those two pages, as
    // the preview numbers them, and nothing else.
    void aRangeOfPagesPrintsThosePagesAsNumbered() {
        document("results.txt", lines(640));
        ScriptedModals modals;
        const auto fill = [](RES_PAGESETUP& d) {
            d.Text4()->setText("");
            d.Check1()->setChecked(true);
            d.Combo1()->setCurrentIndex(1);
        };
        print(modals, fill);
        const QString whole = printing->shown()[0].pdf;
        QCOMPARE(kx::test::PdfPageCount(whole), 12);
        printing->BeforePrint([](QPrinter& p) {
            p.setPrintRange(QPrinter::PageRange);
            p.setFromTo(2, 3);
        });
        print(modals, fill);
        const QString range = printing->shown()[1].pdf;
        QCOMPARE(kx::test::PdfPageCount(range), 2);
        for (int page : {2, 3}) {
            const QString text = kx::test::PdfPageText(range, page - 1);
            QCOMPARE(firstLine(text).trimmed(), QString::number(page));
            QCOMPARE(text, kx::test::PdfPageText(whole, page));
        }
    }

    // The page turned or changed after the set-up, in the preview, in the
    // print dialog or by a printer that keeps its paper, is the page the
    // text is laid out on: every word on the paper, within its margins.
    void theTextIsLaidOutOnThePageItIsPrintedOn_data() {
        QTest::addColumn<bool>("portrait");  // in the set-up, on Letter
        QTest::addColumn<int>("keptPaper");
        QTest::addColumn<int>("change");
        QTest::addColumn<QSizeF>("page");      // points
        QTest::addColumn<QPointF>("textEdges");  // points: where the text may start and must end
        // Letter portrait: 0.5 + 0.5 inch margins, 0.97 of the page.
        QTest::newRow("landscape turned to portrait") << false << 0 << 1 << QSizeF(612, 792)
                                                      << QPointF(36, 0.97 * 612 - 36);
        QTest::newRow("portrait turned to landscape") << true << 0 << 2 << QSizeF(792, 612)
                                                      << QPointF(36, 0.97 * 792 - 36);
        QTest::newRow("landscape on A4") << false << 0 << 3 << QSizeF(842, 595)
                                         << QPointF(36, 0.97 * 841.9 - 36);
        QTest::newRow("margins set in the preview") << true << 0 << 4 << QSizeF(612, 792) << QPointF(72, 612 - 144);
        QTest::newRow("a printer that keeps A4") << false << 9 << 0 << QSizeF(842, 595)
                                                 << QPointF(36, 0.97 * 841.9 - 36);
    }
    void theTextIsLaidOutOnThePageItIsPrintedOn() {
        QFETCH(bool, portrait);
        QFETCH(int, keptPaper);
        QFETCH(int, change);
        QFETCH(QSizeF, page);
        QFETCH(QPointF, textEdges);
        // 600 words in lines of 150 characters, wider than any page.
        std::string text;
        for (int i = 1; i <= 600; ++i) text += "word" + std::to_string(1000 + i) + (i % 15 == 0 ? "\r\n" : " ");
        document("long lines.txt", text);
        printing->KeepPaper(keptPaper);
        const std::function<void(QPrinter&)> changes[] = {
            nullptr,
            [](QPrinter& p) { p.setPageOrientation(QPageLayout::Portrait); },
            [](QPrinter& p) { p.setPageOrientation(QPageLayout::Landscape); },
            [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A4)); },
            [](QPrinter& p) { p.setPageMargins(QMarginsF(72, 72, 144, 72), QPageLayout::Point); },
        };
        if (change != 0) printing->BeforePrint(changes[change]);
        ScriptedMessages messages;  // a printer that keeps its paper is named
        ScriptedModals modals;
        print(modals, [&](RES_PAGESETUP& d) {
            d.Combo2()->setCurrentIndex(0);
            (portrait ? d.Option1() : d.Option2())->setChecked(true);
            d.Text4()->setText("");
            d.Check1()->setChecked(false);
        });
        const QString pdf = printing->shown()[0].pdf;
        QString all;
        for (int p = 1; p <= kx::test::PdfPageCount(pdf); ++p) {
            const QSizeF size = kx::test::PdfPageSize(pdf, p);
            QVERIFY2(qAbs(size.width() - page.width()) < 1 && qAbs(size.height() - page.height()) < 1,
                     qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
            const QRect ink = kx::test::InkBox(kx::test::PdfPageImage(pdf, p, 72));
            QVERIFY2(ink.left() >= textEdges.x() - 1 && ink.right() <= textEdges.y() + 1 &&
                         ink.right() > textEdges.y() - 80,
                     qPrintable(QString("page %1: ink %2 to %3").arg(p).arg(ink.left()).arg(ink.right())));
            all += kx::test::PdfPageText(pdf, p);
        }
        const QStringList printed = all.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        QCOMPARE(printed.size(), 600);
        for (int i = 0; i < 600; ++i) QCOMPARE(printed[i], QString("word%1").arg(1001 + i));
    }

    void theHelpWindowGivesItsValuesButCannotBePrinted() {
        auto* help = new shell::Help1;
        shell::ShowForm(help);
        platform::BringToFront(help);
        ScriptedMessages messages;
        ScriptedModals modals;
        modals.Next([](QDialog& d) {
            auto& dialog = dynamic_cast<RES_PAGESETUP&>(d);
            QCOMPARE(dialog.Text4()->text(), QString("Help"));
            QCOMPARE(dialog.Text3()->text(), QString("1"));
            QVERIFY(dialog.Check1()->isChecked());
            dialog.Command5()->click();
        });
        shell::ShowModalForm(shell::kTextPageSetup);
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY2(messages.lastText().startsWith("PgSet#001. "), qPrintable(messages.lastText()));
        QVERIFY(printing->shown().empty());
    }
};

QTEST_MAIN(TextPrintTest)
#include "TextPrintTest.moc"
