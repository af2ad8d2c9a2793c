// Printed reports rendered into PDF files: text flowing over pages under a
// header that changes per page, paper and orientation of the pages, long
// lines wrapped inside the field, a picture at its place, the paper the
// printer took, and errors while drawing.
#include "Report.h"
#include "Scripted.h"

#include "Files.h"
#include "PdfPages.h"
#include "TempDir.h"

#include <QFontInfo>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>

using namespace kx::platform;
using kx::PageMargins;
using kx::platform::testing::ScriptedPrinting;

class ReportTest : public QObject {
    Q_OBJECT

    // A Letter portrait report: margins of one inch, a header with one
    // label that shows "Page <n>" and a text field 6.5 inches wide.
    static Report textReport(const QString& text) {
        Report report("TEST");
        report.MarginLeft = report.MarginRight = 10;
        report.MarginTop = report.MarginBottom = 1440;
        report.PageHeader.height = 460;
        report.PageHeader.font = SansPrintFont(9, true);
        report.PageHeader.labels.push_back({1440, 0, 4000, 360, Qt::AlignLeft, "", true});
        report.PageHeaderFormat = [](Report& r) {
            r.PageHeader.labels[0].text = QString("Page %1").arg(r.PageNumber());
        };
        report.Field = ReportTextField{1440, 6 * 1440, text, MonospacePrintFont(10)};
        return report;
    }

    static QString numberedLines(int count) {
        QString text;
        for (int i = 1; i <= count; ++i) text += QString("line %1\n").arg(i, 3, 10, QChar('0'));
        return text;
    }

    static QList<int> lineNumbers(const QString& pageText) {
        QList<int> numbers;
        auto it = QRegularExpression(R"(line (\d{3}))").globalMatch(pageText);
        while (it.hasNext()) numbers.append(it.next().captured(1).toInt());
        return numbers;
    }

private slots:
    void textFlowsOverPagesWithTheHeaderOfEachPage() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report report = textReport(numberedLines(150));
        ShowReport(report);
        QCOMPARE(printing.shown().size(), size_t(1));
        const QString pdf = printing.shown()[0].pdf;
        const int pages = kx::test::PdfPageCount(pdf);
        QCOMPARE(printing.shown()[0].pages, pages);
        QCOMPARE(pages, 3);  // about 60 lines of 10 points fit 8.68 inches
        QList<int> all;
        for (int page = 1; page <= pages; ++page) {
            const QString text = kx::test::PdfPageText(pdf, page);
            QVERIFY2(text.contains(QString("Page %1").arg(page)), qPrintable(text));
            const QList<int> numbers = lineNumbers(text);
            QVERIFY(!numbers.isEmpty());
            all += numbers;
        }
        QList<int> expected;
        for (int i = 1; i <= 150; ++i) expected.append(i);
        QCOMPARE(all, expected);  // every line once, in order, none lost at a page end
    }

    void pagesHaveThePaperAndOrientationOfTheReport_data() {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("Letter portrait") << 1 << 1 << QSizeF(612, 792);
        QTest::newRow("Letter landscape") << 1 << 2 << QSizeF(792, 612);
        QTest::newRow("A4 portrait") << 9 << 1 << QSizeF(595, 842);
        QTest::newRow("A4 landscape") << 9 << 2 << QSizeF(842, 595);
    }
    void pagesHaveThePaperAndOrientationOfTheReport() {
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(QSizeF, points);
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report report = textReport("some text");
        report.PaperSize = paper;
        report.Orientation = orientation;
        int taken = 0;
        ShowReport(report, [&](int paperTaken) { taken = paperTaken; });
        QCOMPARE(taken, paper);
        const QSizeF size = kx::test::PdfPageSize(printing.shown()[0].pdf, 1);
        QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
    }

    void aPrinterThatKeepsItsPaperIsReportedAtTheEnd() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        printing.KeepPaper(5);
        Report report = textReport("text");
        report.PaperSize = 9;
        int taken = 0;
        ShowReport(report, [&](int paperTaken) { taken = paperTaken; });
        QCOMPARE(taken, 5);
        QCOMPARE(printing.shown()[0].paperTaken, 5);
    }

    void longLinesWrapInsideTheField() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        QString longLine;
        for (int i = 0; i < 40; ++i) longLine += QString("w%1 ").arg(i, 2, 10, QChar('0'));
        QString unbroken(200, QChar('x'));
        Report report = textReport(longLine + "\n" + unbroken);
        report.PageHeaderFormat = nullptr;  // no header: only the field inks the page
        ShowReport(report);
        const QString pdf = printing.shown()[0].pdf;
        const QString text = kx::test::PdfPageText(pdf, 1);
        for (int i = 0; i < 40; ++i) QVERIFY(text.contains(QString("w%1").arg(i, 2, 10, QChar('0'))));
        QCOMPARE(text.count(QChar('x')), 200);
        // The field runs from 1450 to 10090 twips: at 72 dpi 72.5 to 504.5.
        const QRect ink = kx::test::InkBox(kx::test::PdfPageImage(pdf, 1, 72));
        QVERIFY2(ink.left() >= 71 && ink.right() <= 505, qPrintable(QString("%1..%2").arg(ink.left()).arg(ink.right())));
        QVERIFY(ink.height() > 5 * 10);  // several lines
    }

    // A tab moves to the next stop of eight characters on the same line: a
    // line of columns with an empty column keeps its columns, and every line
    // prints word for word where the same line with its tabs typed out as
    // blanks prints, so a line with tabs wraps only where that one does.
    void tabsAdvanceToStopsOfEightCharactersOnTheLine() {
        const QStringList lines = {
            "T0100\tcol2\tcol3\t\tend",
            "abcdefgh\tafter a full column",
            "\tindented\t\tx",
            // Eight stops, then a word that ends past the field's 72
            // characters: it wraps, as after blanks.
            "a\tb\tc\td\te\tf\tg\th\tlongword12345",
            "a\tb\tc\td\te\tf\tg\th\t1234567",
        };
        auto typedOut = [](const QString& line) {
            QString out;
            for (const QChar c : line) {
                if (c != '\t') {
                    out += c;
                    continue;
                }
                do out += ' ';
                while (out.size() % 8 != 0);
            }
            return out;
        };
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report withTabs = textReport(lines.join('\n'));
        withTabs.PageHeaderFormat = nullptr;
        ShowReport(withTabs);
        QStringList expanded;
        for (const QString& line : lines) expanded << typedOut(line);
        Report withBlanks = textReport(expanded.join('\n'));
        withBlanks.PageHeaderFormat = nullptr;
        ShowReport(withBlanks);

        const auto words = kx::test::PdfPageWords(printing.shown()[0].pdf, 1);
        const auto expected = kx::test::PdfPageWords(printing.shown()[1].pdf, 1);
        QStringList texts, expectedTexts;
        for (const auto& w : words) texts << w.text;
        for (const auto& w : expected) expectedTexts << w.text;
        QCOMPARE(texts, expectedTexts);
        for (std::size_t i = 0; i < words.size(); ++i)
            QVERIFY2(qAbs(words[i].box.left() - expected[i].box.left()) < 0.5 &&
                         qAbs(words[i].box.top() - expected[i].box.top()) < 0.5,
                     qPrintable(words[i].text));

        // The first line by itself: one line, its columns eight characters apart.
        QCOMPARE(texts.mid(0, 4), (QStringList{"T0100", "col2", "col3", "end"}));
        const double column = words[0].box.width() / 5;
        for (int i = 1; i < 4; ++i) QCOMPARE(words[i].box.top(), words[0].box.top());
        QVERIFY(qAbs(words[1].box.left() - words[0].box.left() - 8 * column) < 0.5);
        QVERIFY(qAbs(words[3].box.left() - words[0].box.left() - 32 * column) < 0.5);
        // The long line's last word went to a line of its own, the short one's did not.
        const auto at = [&](const QString& text) {
            return std::find_if(words.begin(), words.end(), [&](const auto& w) { return w.text == text; });
        };
        QVERIFY(at("longword12345")->box.left() - words[0].box.left() < 0.5);
        QVERIFY(qAbs(at("1234567")->box.left() - words[0].box.left() - 64 * column) < 0.5);
    }

    // The print dialog's range, copies, collation and order: the pages
    // printed, by the numbers in their headers, and each printed page holds
    // what that page of the preview holds.
    void thePrintDialogsPagesCopiesAndOrderAreHonoured() {
        struct Case {
            const char* what;
            std::function<void(QPrinter&)> choose;
            QList<int> pages;
        };
        const auto twoCopiesOf2To4 = [](bool collate) {
            return [collate](QPrinter& p) {
                p.setPrintRange(QPrinter::PageRange);
                p.setFromTo(2, 4);
                p.setCopyCount(2);
                p.setCollateCopies(collate);
            };
        };
        const Case cases[] = {
            {"pages 2 to 3", [](QPrinter& p) { p.setPrintRange(QPrinter::PageRange); p.setFromTo(2, 3); }, {2, 3}},
            {"the last page", [](QPrinter& p) { p.setPrintRange(QPrinter::PageRange); p.setFromTo(12, 12); }, {12}},
            {"two copies collated", twoCopiesOf2To4(true), {2, 3, 4, 2, 3, 4}},
            {"two copies not collated", twoCopiesOf2To4(false), {2, 2, 3, 3, 4, 4}},
            {"last page first",
             [](QPrinter& p) {
                 p.setPrintRange(QPrinter::PageRange);
                 p.setFromTo(9, 12);
                 p.setPageOrder(QPrinter::LastPageFirst);
             },
             {12, 11, 10, 9}},
            {"every page", [](QPrinter&) {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        };
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        const QString text = numberedLines(640);  // twelve pages of 55 lines
        Report whole = textReport(text);
        ShowReport(whole);
        const QString wholePdf = printing.shown()[0].pdf;
        QCOMPARE(kx::test::PdfPageCount(wholePdf), 12);
        QStringList previewPages;
        for (int page = 1; page <= 12; ++page) previewPages << kx::test::PdfPageText(wholePdf, page);

        for (const Case& c : cases) {
            printing.BeforePrint(c.choose);
            Report report = textReport(text);
            ShowReport(report);
            const auto& shown = printing.shown().back();
            QVERIFY2(shown.printed, c.what);
            QCOMPARE(kx::test::PdfPageCount(shown.pdf), static_cast<int>(c.pages.size()));
            QCOMPARE(shown.pages, static_cast<int>(c.pages.size()));
            for (int i = 0; i < c.pages.size(); ++i)
                QVERIFY2(kx::test::PdfPageText(shown.pdf, i + 1) == previewPages[c.pages[i] - 1],
                         qPrintable(QString("%1: printed page %2").arg(c.what).arg(i + 1)));
            // The preview numbered the report's pages, whatever was printed.
            QCOMPARE(report.PageCount(), 12);
        }
    }

    void aGreyscalePrintHasNoColours() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        for (const bool grey : {false, true}) {
            if (grey) printing.BeforePrint([](QPrinter& p) { p.setColorMode(QPrinter::GrayScale); });
            Report report("PICTURE");
            report.Picture = ReportPicture{QRect(1440, 1440, 4000, 4000),
                                           [](QPainter& p, const QRectF& target) { p.fillRect(target, Qt::red); }};
            ShowReport(report);
            const QImage page = kx::test::PdfPageImage(printing.shown().back().pdf, 1, 36, false);
            const QColor middle = page.pixelColor(page.width() * 3400 / 12240, page.height() * 3400 / 15840);
            if (grey)
                QVERIFY2(middle.red() == middle.green() && middle.green() == middle.blue() && middle.red() < 200,
                         qPrintable(middle.name()));
            else
                QVERIFY2(middle.red() > 200 && middle.green() < 50, qPrintable(middle.name()));
        }
    }

    // A report that lays itself out on its page is laid out again on the
    // page it is printed on: by its own rules when the paper or the
    // orientation changed, within the user's margins when those changed;
    // the printer's page then shows the margins the report keeps.
    void aReportIsLaidOutOnThePageItIsPrintedOn() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        struct Call {
            ReportPage page;
            std::optional<PageMargins> given;
        };
        std::vector<Call> calls;
        const auto makeReport = [&] {
            auto report = std::make_unique<Report>("FITTED");
            report->Field = ReportTextField{0, 0, numberedLines(3), MonospacePrintFont(10)};
            report->FitToPage = [&](Report& r, const ReportPage& page, const std::optional<PageMargins>& given) {
                calls.push_back({page, given});
                // Its own rule: an inch all round.
                const PageMargins m = given.value_or(PageMargins{1440, 1440, 1440, 1440});
                r.MarginTop = m.top;
                r.MarginBottom = m.bottom;
                r.Field->left = m.left;
                r.Field->width = static_cast<int>(page.size.width) - m.left - m.right;
                return m;
            };
            return report;
        };
        const auto ink = [&] { return kx::test::InkBox(kx::test::PdfPageImage(printing.shown().back().pdf, 1, 72)); };
        QMarginsF printerMargins;
        const auto keepMargins = [&](QPrinter& p) { printerMargins = p.pageLayout().margins(QPageLayout::Point); };

        auto report = makeReport();
        printing.BeforePrint(keepMargins);
        ShowReport(*report);
        QCOMPARE(calls.size(), size_t(1));
        QCOMPARE(calls[0].page, (ReportPage{1, false, kx::PageTwips{12240, 15840}}));
        QVERIFY(!calls[0].given);
        QCOMPARE(printerMargins, QMarginsF(72, 72, 72, 72));  // the page set-up shows them
        QVERIFY(qAbs(ink().left() - 72) <= 1 && qAbs(ink().top() - 72) <= 2);

        // The page turned in the preview: laid out again by its own rule.
        calls.clear();
        printing.BeforePrint([&](QPrinter& p) { p.setPageOrientation(QPageLayout::Landscape); });
        report = makeReport();
        ShowReport(*report);
        QCOMPARE(calls.size(), size_t(2));
        QCOMPARE(calls[1].page, (ReportPage{1, true, kx::PageTwips{15840, 12240}}));
        QVERIFY(!calls[1].given);

        // Margins of the user's, set in the page set-up: laid out within them.
        calls.clear();
        printing.BeforePrint([&](QPrinter& p) { p.setPageMargins(QMarginsF(144, 36, 36, 36), QPageLayout::Point); });
        report = makeReport();
        ShowReport(*report);
        QCOMPARE(calls.size(), size_t(2));
        QCOMPARE(calls[1].given, std::optional<PageMargins>(PageMargins{2880, 720, 720, 720}));
        QVERIFY2(qAbs(ink().left() - 144) <= 1 && qAbs(ink().top() - 36) <= 2,
                 qPrintable(QString("%1, %2").arg(ink().left()).arg(ink().top())));
    }

    void aPictureIsDrawnAtItsPlace() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report report("PICTURE");
        report.Orientation = 2;
        const QRect place(2050, 1600, 11740, 8740);
        report.Picture = ReportPicture{place, [](QPainter& p, const QRectF& target) { p.fillRect(target, Qt::black); }};
        ShowReport(report);
        QCOMPARE(printing.shown()[0].picture, std::optional<QRect>(place));
        const QRect ink = kx::test::InkBox(kx::test::PdfPageImage(printing.shown()[0].pdf, 1, 72));
        // 20 twips per point.
        QVERIFY2(qAbs(ink.left() - 102.5) <= 1 && qAbs(ink.top() - 80) <= 1 && qAbs(ink.width() - 587) <= 2 &&
                     qAbs(ink.height() - 437) <= 2,
                 qPrintable(QString("%1,%2 %3x%4").arg(ink.left()).arg(ink.top()).arg(ink.width()).arg(ink.height())));
    }

    void noRoomForALineStillEndsWithOneLinePerPage() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report report = textReport(numberedLines(3));
        report.MarginTop = 8000;
        report.MarginBottom = 7840;  // the detail has no height at all
        ShowReport(report);
        QCOMPARE(printing.shown()[0].pages, 3);
    }

    void anErrorWhileDrawingReachesTheCaller() {
        kx::test::TempDir dir;
        ScriptedPrinting printing(QString::fromStdString(dir.path()));
        Report report("BROKEN");
        report.Picture = ReportPicture{QRect(0, 0, 100, 100),
                                       [](QPainter&, const QRectF&) { throw std::runtime_error("no chart"); }};
        try {
            ShowReport(report);
            QFAIL("no error");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString(e.what()), QString("no chart"));
        }
        QCOMPARE(printing.shown()[0].pages, 0);
    }

    // A PDF file that cannot be written (a full disk, a read-only medium, a
    // name longer than the folder takes) is told with the reason; an
    // earlier file of that name stays as it was, nothing is left beside it,
    // and the print does not count as done (the preview stays open).
    void aPdfThatCannotBeWrittenIsToldAndTheOldFileKept() {
        struct Case {
            const char* what;
            int err;  // simulated; 0: none
            kx::files::WriteStep step;
            bool longName;
            const char* says;  // before ": " and the path; "" when printed
        };
        const Case cases[] = {
            {"disk full", ENOSPC, kx::files::WriteStep::WriteBytes, false, "The disk is full"},
            {"disk full on replacing", ENOSPC, kx::files::WriteStep::Replace, false, "The disk is full"},
            {"read-only medium", EROFS, kx::files::WriteStep::MakeTemporary, false, "The medium is read-only"},
            {"name too long", 0, kx::files::WriteStep::WriteBytes, true, "The name is too long"},
            {"printed", 0, kx::files::WriteStep::WriteBytes, false, ""},
        };
        for (const Case& c : cases) {
            kx::test::TempDir dir;
            const std::string old = "%PDF-1.4 an earlier print\n%%EOF\n";
            const long limit = ::pathconf(dir.path().c_str(), _PC_NAME_MAX);
            const std::string pdf = c.longName ? dir.file(std::string(static_cast<std::size_t>(limit) - 3, 'n') + ".pdf")
                                               : dir.write("report.pdf", old);
            ScriptedPrinting printing(QString::fromStdString(dir.path()));
            printing.ChooseFile(QString::fromStdString(pdf));
            kx::platform::testing::ScriptedMessages messages;
            std::optional<kx::files::SimulatedWriteFailure> failure;
            if (c.err != 0) failure.emplace(c.err, c.step);
            Report report = textReport(numberedLines(80));
            ShowReport(report);
            failure.reset();
            const bool printed = *c.says == 0;
            QVERIFY2(printing.shown()[0].printed == printed, c.what);
            if (printed) {
                QCOMPARE(messages.shown().size(), size_t(0));
                QCOMPARE(kx::test::PdfPageCount(QString::fromStdString(pdf)), 2);
            } else {
                QCOMPARE(messages.shown().size(), size_t(1));
                QCOMPARE(messages.shown()[0].text, QString::fromStdString(std::string(c.says) + ": " + pdf));
                QCOMPARE(messages.shown()[0].style, 48);
                QVERIFY2(c.longName || kx::test::ReadBytes(pdf) == old, c.what);
            }
            std::vector<std::string> names;
            for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                names.push_back(e.path().filename().string());
            QCOMPARE(names, c.longName ? std::vector<std::string>{} : std::vector<std::string>{"report.pdf"});
        }
    }

    void printFontsAreInstalledFamiliesOfTheirKind() {
        const QFont mono = MonospacePrintFont(10);
        QVERIFY(QFontInfo(mono).fixedPitch());
        QVERIFY2(QStringList({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}).contains(QFontInfo(mono).family()),
                 qPrintable(QFontInfo(mono).family()));
        const QFont sans = SansPrintFont(9, true);
        QVERIFY(sans.bold());
        QCOMPARE(sans.pointSize(), 9);
        QVERIFY2(QStringList({"Arial", "Liberation Sans", "DejaVu Sans"}).contains(QFontInfo(sans).family()),
                 qPrintable(QFontInfo(sans).family()));
    }
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
