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
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <unistd.h>

using namespace kx::platform;
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
