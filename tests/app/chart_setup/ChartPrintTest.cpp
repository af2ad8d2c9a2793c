// Printing a chart through "Page Setup": the dialog opens on the shared
// paper and orientation, OK stores them and prints the active chart on one
// page at the picture size of the layout (a PDF file here), a landscape
// layout names a paper the printer did not take, and a chart that cannot
// be drawn stops the printing with a message instead of a blank page.
#include "ChartReports.h"
#include "PgSetupMod.h"

#include "Files.h"
#include "FormRegistry.h"
#include "MDIForm1.h"
#include "PLOT.h"
#include "Scripted.h"

#include "ChartWindowsBed.h"
#include "PdfPages.h"

#include <QComboBox>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>

using namespace kx;
using kx::chart_setup::PgSetupMod;
using kx::platform::testing::ScriptedMessages;
using kx::platform::testing::ScriptedModals;
using kx::platform::testing::ScriptedPrinting;

namespace {

// A chart that fails to draw, or draws nothing.
class StubChart : public platform::FormWindow<QWidget>, public chart_setup::PrintableChart {
public:
    enum class Drawing { Fills, Throws, Nothing };
    StubChart() : FormWindow("PLOT") { SetCaption("Chart 1"); }
    void RenderChart(QPainter& painter, const QRectF& target) override {
        ++renders;
        if (drawing == Drawing::Throws) throw std::runtime_error("The chart has no axes");
        if (drawing == Drawing::Fills) painter.fillRect(target, Qt::darkBlue);
    }
    Drawing drawing = Drawing::Fills;
    int renders = 0;
};

// A document window that is no chart.
class OtherWindow : public platform::FormWindow<QWidget> {
public:
    OtherWindow() : FormWindow("RES_ShowFile") { SetCaption("notes.txt"); }
};

}  // namespace

class ChartPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<kx::test::ChartWindowsBed> bed;
    std::unique_ptr<ScriptedPrinting> printing;
    shell::MDIForm1* main = nullptr;

    // A chart window with two curves on a grey desk, so that the whole
    // picture shows on the page.
    chart::PLOT* chartWindow() {
        chart::PLOT* chart = kx::test::ChartWindowsBed::curve({0, 1, 2, 3}, {1, 4, 9, 16}, "H2O");
        kx::test::ChartWindowsBed::curve({0, 1, 2, 3}, {2, 3, 5, 7}, "OH", true);
        chart->Pesgoa1().Set("DeskColor", static_cast<double>(0x808080));
        chart->Refr();
        kx::test::ChartWindowsBed::layOut(chart);
        platform::BringToFront(chart);
        return chart;
    }

    template <class Window>
    Window* open() {
        auto* w = new Window;
        shell::PlaceForm(w);
        shell::ShowForm(w);
        platform::BringToFront(w);
        return w;
    }

    // Presses the chart toolbar's Print button; the user chooses with
    // choose and presses OK.
    void print(ScriptedModals& modals, const std::function<void(PgSetupMod&)>& choose) {
        modals.Next([choose](QDialog& d) {
            auto& dialog = dynamic_cast<PgSetupMod&>(d);
            choose(dialog);
            dialog.Command1()->click();
        });
        main->Toolbar2()->Button(QString("PlotPrint"))->trigger();
    }

private slots:
    void init() {
        bed = std::make_unique<kx::test::ChartWindowsBed>();
        LoadConstants(Shared(), kPaperLetter);
        chart_setup::InstallChartPrinting();
        main = bed->main;
        printing = std::make_unique<ScriptedPrinting>(QString::fromStdString(bed->folder.dir.path()));
    }
    void cleanup() {
        printing.reset();
        bed.reset();
        shell::InstallFormCreator(shell::kChartPageSetup, nullptr);
    }

    void theChartWindowsOwnPrintEntryOpensThePageSetup() {
        chart::PLOT* chart = chartWindow();
        ScriptedModals modals;
        modals.Next([](QDialog& d) { dynamic_cast<PgSetupMod&>(d).Command1()->click(); });
        QAction* entry = nullptr;
        for (QAction* a : chart->findChildren<QAction*>())
            if (a->text() == "Print...") entry = a;
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(modals.shown(), (std::vector<QString>{"Page Setup"}));
        QCOMPARE(printing->shown().size(), size_t(1));
        QCOMPARE(printing->shown()[0].name, QString("PLOT_REPORT"));
    }

    void theDialogOpensOnTheSharedPaperAndOrientation_data() {
        QTest::addColumn<float>("paper");
        QTest::addColumn<float>("orientation");
        QTest::addColumn<int>("paperIndex");
        QTest::addColumn<bool>("portrait");
        QTest::newRow("Letter portrait") << 1.0F << 1.0F << 0 << true;
        QTest::newRow("A4 landscape") << 9.0F << 2.0F << 1 << false;
        QTest::newRow("another paper, another orientation") << 5.0F << 0.0F << 1 << false;
    }
    void theDialogOpensOnTheSharedPaperAndOrientation() {
        QFETCH(float, paper);
        QFETCH(float, orientation);
        QFETCH(int, paperIndex);
        QFETCH(bool, portrait);
        chartWindow();
        Shared().PageSetupValues[4] = paper;
        Shared().PageSetupValues[5] = orientation;
        const auto before = Shared().PageSetupValues;
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            auto& dialog = dynamic_cast<PgSetupMod&>(d);
            QCOMPARE(dialog.windowTitle(), QString("Page Setup"));
            QCOMPARE(dialog.Combo1()->count(), 2);
            QCOMPARE(dialog.Combo1()->itemText(0), QString(" Letter, 8 1/2 x 11 inches"));
            QCOMPARE(dialog.Combo1()->itemText(1), QString(" A4, 210 x 297 mm"));
            QCOMPARE(dialog.Combo1()->currentIndex(), paperIndex);
            QCOMPARE(dialog.Option1()->isChecked(), portrait);
            QCOMPARE(dialog.Option2()->isChecked(), !portrait);
            QVERIFY(dialog.Label1()->text().startsWith("You can't choose size of image optionally;"));
            dialog.Command2()->click();  // Cancel
        });
        main->Toolbar2()->Button(QString("PlotPrint"))->trigger();
        QCOMPARE(modals.shown(), (std::vector<QString>{"Page Setup"}));
        QCOMPARE(Shared().PageSetupValues, before);
        QVERIFY(printing->shown().empty());
        QVERIFY(!platform::FindForm(shell::kChartPageSetup));
    }

    void theChartIsPrintedAtThePictureSizeOfEachLayout_data() {
        QTest::addColumn<int>("paperIndex");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QSizeF>("page");     // points
        QTest::addColumn<QSizeF>("picture");  // twips
        QTest::newRow("Letter portrait") << 0 << true << "PLOT_REPORT" << QSizeF(612, 792) << QSizeF(9440, 10040);
        QTest::newRow("A4 portrait") << 1 << true << "PLOT_REPORT" << QSizeF(595, 842) << QSizeF(9107, 11040);
        QTest::newRow("A4 landscape") << 1 << false << "PLOT_REPORT_Land" << QSizeF(842, 595)
                                      << QSizeF(12740, 8707);
        QTest::newRow("Letter landscape") << 0 << false << "PLOT_REPORT_Land_Lett" << QSizeF(792, 612)
                                          << QSizeF(11740, 8740);
    }
    void theChartIsPrintedAtThePictureSizeOfEachLayout() {
        QFETCH(int, paperIndex);
        QFETCH(bool, portrait);
        QFETCH(QString, layout);
        QFETCH(QSizeF, page);
        QFETCH(QSizeF, picture);
        chart::PLOT* chart = chartWindow();
        const bool changedBefore = chart->ChartChanged();
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [&](PgSetupMod& d) {
            d.Combo1()->setCurrentIndex(paperIndex);
            (portrait ? d.Option1() : d.Option2())->setChecked(true);
        });
        QVERIFY(messages.shown().empty());
        QCOMPARE(Shared().PageSetupValues[4], paperIndex == 0 ? 1.0F : 9.0F);
        QCOMPARE(Shared().PageSetupValues[5], portrait ? 1.0F : 2.0F);
        QCOMPARE(printing->shown().size(), size_t(1));
        const ScriptedPrinting::Shown& shown = printing->shown()[0];
        QCOMPARE(shown.name, layout);
        QCOMPARE(shown.pages, 1);
        QVERIFY(shown.picture.has_value());
        QCOMPARE(QSizeF(shown.picture->size()), picture);

        QCOMPARE(kx::test::PdfPageCount(shown.pdf), 1);
        const QSizeF size = kx::test::PdfPageSize(shown.pdf, 1);
        QVERIFY2(qAbs(size.width() - page.width()) < 1 && qAbs(size.height() - page.height()) < 1,
                 qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
        // On the page (72 dots per inch, 20 twips a dot) the chart takes its
        // picture size in the middle.
        const QRect ink = kx::test::InkBox(kx::test::PdfPageImage(shown.pdf, 1, 72));
        const QSizeF expected = picture / 20.0;
        QVERIFY2(qAbs(ink.width() - expected.width()) <= 2 && qAbs(ink.height() - expected.height()) <= 2,
                 qPrintable(QString("%1 x %2").arg(ink.width()).arg(ink.height())));
        QVERIFY(qAbs(ink.center().x() - page.width() / 2) <= 2);
        QVERIFY(qAbs(ink.center().y() - page.height() / 2) <= 2);
        // The chart's own texts are on the page.
        const QString text = kx::test::PdfPageText(shown.pdf, 1);
        QVERIFY2(text.contains("H2O") && text.contains("OH") && text.contains("Time (sec)"), qPrintable(text));
        QCOMPARE(chart->ChartChanged(), changedBefore);  // printing changes nothing of the chart
    }

    void theLandscapeLayoutsNameAPaperThePrinterDidNotTake_data() {
        QTest::addColumn<int>("paperIndex");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QString>("note");
        const QString start = "Parts of the document can be not entirely within your printer image\r\n\r\n";
        const QString end = " paper size; the same value must be set on the printer property.";
        QTest::newRow("A4 landscape") << 1 << false << start + "You have specified the A4" + end;
        QTest::newRow("Letter landscape") << 0 << false << start + "You have specified the 'Letter'" + end;
        QTest::newRow("portrait") << 1 << true << QString();
    }
    void theLandscapeLayoutsNameAPaperThePrinterDidNotTake() {
        QFETCH(int, paperIndex);
        QFETCH(bool, portrait);
        QFETCH(QString, note);
        chartWindow();
        printing->KeepPaper(5);
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [&](PgSetupMod& d) {
            d.Combo1()->setCurrentIndex(paperIndex);
            (portrait ? d.Option1() : d.Option2())->setChecked(true);
        });
        QCOMPARE(messages.lastText(), note);
        if (!note.isEmpty()) QCOMPARE(messages.shown()[0].style, 48);
        QCOMPARE(printing->shown().size(), size_t(1));  // the preview shows all the same
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    void aChartThatCannotBeDrawnStopsThePrintingWithAMessage_data() {
        QTest::addColumn<int>("drawing");
        QTest::addColumn<QString>("message");
        QTest::newRow("fails") << static_cast<int>(StubChart::Drawing::Throws)
                               << "Plot#088. The chart has no axes";
        QTest::newRow("draws nothing") << static_cast<int>(StubChart::Drawing::Nothing)
                                       << "Plot#088. Invalid procedure call or argument: the chart draws nothing";
    }
    void aChartThatCannotBeDrawnStopsThePrintingWithAMessage() {
        QFETCH(int, drawing);
        QFETCH(QString, message);
        auto* chart = open<StubChart>();
        chart->drawing = static_cast<StubChart::Drawing>(drawing);
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [](PgSetupMod&) {});
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), message);
        QVERIFY(printing->shown().empty());  // no preview, no page
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }

    // A PDF file on a read-only medium is told under the print's tag, and an
    // earlier file of that name stays as it was.
    void aPdfOnAReadOnlyMediumIsToldAndTheEarlierFileKept() {
        chartWindow();
        const std::string pdf = bed->folder.dir.write("chart.pdf", "%PDF-1.4 an earlier print\n%%EOF\n");
        printing->ChooseFile(QString::fromStdString(pdf));
        ScriptedMessages messages;
        ScriptedModals modals;
        {
            files::SimulatedWriteFailure readOnly(EROFS, files::WriteStep::MakeTemporary);
            print(modals, [](PgSetupMod&) {});
        }
        QCOMPARE(printing->shown().size(), size_t(1));
        QVERIFY(!printing->shown()[0].printed);
        QCOMPARE(messages.shown().size(), size_t(1));
        QCOMPARE(messages.lastText(), QString::fromStdString("PlotRep#001. The medium is read-only: " + pdf));
        QCOMPARE(test::ReadBytes(pdf), std::string("%PDF-1.4 an earlier print\n%%EOF\n"));
    }

    // The page the chart is printed on is not the one of the set-up: the
    // preview turned it, the print dialog changed its paper or margins, or
    // the printer kept a paper of its own. The chart is laid out for the
    // place it gets on that page, and the whole picture is on the paper.
    void aPageTurnedOrChangedAfterTheSetUpGetsTheChartLaidOutOnIt() {
        struct Case {
            const char* what;
            bool portrait;  // in the set-up, on Letter
            int keptPaper;
            std::function<void(QPrinter&)> change;
            QSizeF page;   // points
            QRect place;   // twips
        };
        const Case cases[] = {
            {"landscape turned to portrait", false, 0,
             [](QPrinter& p) { p.setPageOrientation(QPageLayout::Portrait); }, QSizeF(612, 792),
             QRect(1400, 2900, 9440, 10040)},
            {"portrait turned to landscape", true, 0,
             [](QPrinter& p) { p.setPageOrientation(QPageLayout::Landscape); }, QSizeF(792, 612),
             QRect(2050, 1750, 11740, 8740)},
            {"portrait on A4", true, 0, [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A4)); },
             QSizeF(595, 842), QRect(1400, 2900, 9107, 11040)},
            {"margins of an inch", true, 0,
             [](QPrinter& p) { p.setPageMargins(QMarginsF(72, 72, 72, 72), QPageLayout::Point); }, QSizeF(612, 792),
             QRect(1440, 1440, 9360, 12960)},
            {"a printer that keeps Legal", false, 5, nullptr, QSizeF(1008, 612), QRect(2050, 1750, 16060, 8740)},
        };
        for (const Case& c : cases) {
            auto* chart = open<StubChart>();
            printing->KeepPaper(c.keptPaper);
            if (c.change) printing->BeforePrint(c.change);
            ScriptedMessages messages;
            ScriptedModals modals;
            print(modals, [&](PgSetupMod& d) {
                d.Combo1()->setCurrentIndex(0);
                (c.portrait ? d.Option1() : d.Option2())->setChecked(true);
            });
            const ScriptedPrinting::Shown& shown = printing->shown().back();
            QVERIFY2(shown.printed, c.what);
            QCOMPARE(shown.picture, std::optional<QRect>(c.place));
            const QSizeF size = kx::test::PdfPageSize(shown.pdf, 1);
            QVERIFY2(qAbs(size.width() - c.page.width()) < 1 && qAbs(size.height() - c.page.height()) < 1, c.what);
            // The chart fills all its place (72 dots per inch, 20 twips a
            // dot): drawn for that place, not shrunk into it.
            const QRect ink = kx::test::InkBox(kx::test::PdfPageImage(shown.pdf, 1, 72));
            const QRectF expected(c.place.left() / 20.0, c.place.top() / 20.0, c.place.width() / 20.0,
                                  c.place.height() / 20.0);
            QVERIFY2(qAbs(ink.left() - expected.left()) <= 1 && qAbs(ink.top() - expected.top()) <= 1 &&
                         qAbs(ink.width() - expected.width()) <= 2 && qAbs(ink.height() - expected.height()) <= 2,
                     qPrintable(QString("%1: %2,%3 %4x%5").arg(c.what).arg(ink.left()).arg(ink.top())
                                    .arg(ink.width()).arg(ink.height())));
            QCOMPARE(chart->renders, 2);
            platform::Unload(chart);
        }
    }

    void aWindowThatIsNoChartIsReported() {
        open<OtherWindow>();
        ScriptedMessages messages;
        ScriptedModals modals;
        print(modals, [](PgSetupMod&) {});
        QCOMPARE(messages.shown().size(), size_t(1));
        QVERIFY2(messages.lastText().startsWith("PrSet#001 "), qPrintable(messages.lastText()));
        QVERIFY(printing->shown().empty());
        QCOMPARE(platform::MousePointer(), platform::kPointerDefault);
    }
};

QTEST_MAIN(ChartPrintTest)
#include "ChartPrintTest.moc"
