// Editing a chart in its window: copying, cutting and pasting subsets
// through the scratch file and the clipboard, switching a subset to its
// points, appearance (monochrome style, grid lines, data points, sizes,
// colours) with the main window's chart toolbar, export, the data table and
// the set-up dialog's place.
#include "ChartWindowsBed.h"

#include "RES_ShowFile.h"
#include "Scripted.h"
#include "SubsetText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include <filesystem>
#include <functional>
#include <memory>

using namespace kx;
using chart::PLOT;
using platform::testing::ScriptedDialogs;
using platform::testing::ScriptedMessages;
using platform::testing::ScriptedModals;

class ChartEditingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;
    using Bed = test::ChartWindowsBed;

    PLOT* twoCurves() {
        Bed::curve({0, 1, 2}, {0, 1, 4}, "H2O");
        PLOT* c = Bed::curve({0, 1, 2, 3}, {10, 8, 6, 4}, "R12, 1.00E-03 (mol/g)", true, "H+O2<=>O+OH");
        Bed::layOut(c);
        platform::BringToFront(c);
        return c;
    }
    QAction* button(int index) { return bed->main->Toolbar2()->Button(index); }

    using DialogStep = std::function<void(chart::PLOT_xportMe&)>;
    // Plays the export dialog: a file export of the kind to the typed name,
    // `beforeOk`, then OK; `after` sees the dialog as OK left it (open when
    // refused).
    void exportVia(PLOT* c, int kind, const std::string& typed, const DialogStep& after = {},
                   const DialogStep& beforeOk = {}) {
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            auto& x = static_cast<chart::PLOT_xportMe&>(d);
            x.KindButton(kind)->setChecked(true);
            x.DestinationButton(chart::kExportToFile)->setChecked(true);
            x.FileBox()->setText(QString::fromStdString(typed));
            if (beforeOk) beforeOk(x);
            x.Ok();
            if (after) after(x);
        });
        c->findChild<QAction*>("EXPORTPLOT")->trigger();
    }
    static QString exported(const std::string& path) {
        return QString("The chart has been exported to '%1'.").arg(QString::fromStdString(path));
    }
    static QString replaceQuestion(const std::string& path) {
        return QString("The file '%1' already exists.\r\nReplace it with the exported chart?")
            .arg(QString::fromStdString(path));
    }

private slots:
    void init() { bed = std::make_unique<Bed>(); }
    void cleanup() { bed.reset(); }

    void aCopiedSubsetPastesIntoAnotherChart() {
        PLOT* first = twoCurves();
        const std::string scratch = bed->folder.working("KINA03.TMP");
        QVERIFY(!first->findChild<QAction*>("PASTEPLOT")->isEnabled());
        first->SubSetSelect(1);
        first->SAVESS();
        QVERIFY(files::Exists(scratch));
        QVERIFY(platform::ClipboardText().startsWith("KINOVEX SUBSET\r\nLabel\tR12, 1.00E-03 (mol/g)\r\n"));
        QVERIFY(first->findChild<QAction*>("PASTEPLOT")->isEnabled());
        QVERIFY(button(chart::toolbar2::kPaste)->isEnabled());
        // Cut takes it out of this chart.
        first->CUTSS();
        QCOMPARE(first->Pesgoa1().Subsets(), 1);

        auto* other = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
        other->SetCaption("Chart other.pg");
        Shared().PlotSubsetCount = 1;
        Shared().PlotPointCount = 2;
        Shared().PlotData = {{5, 6}, {7, 8}};
        Shared().PlotSubsetLabels = {"own"};
        other->Intit(0, false);
        const chart::Subset copied = *chart::ReadCopiedSubset(files::ReadAll(scratch));
        other->PASTESS();
        const chart::ChartModel& m = other->Pesgoa1();
        QCOMPARE(m.Subsets(), 2);
        QCOMPARE(m.Points(), 4);
        QCOMPARE(m.At(1).label, std::string("R12, 1.00E-03 (mol/g)"));
        QCOMPARE(m.At(1).longLabel1, std::string("H+O2<=>O+OH"));
        QCOMPARE(m.At(1).colour, copied.colour);
        QCOMPARE(m.At(1).lineType, copied.lineType);
        QCOMPARE(m.At(1).y, (std::vector<double>{10, 8, 6, 4}));
        QCOMPARE(m.At(0).x, (std::vector<double>{5, 6, chart::kMissing, chart::kMissing}));
        QVERIFY(other->ChartChanged());
    }

    void pasteWithoutACopiedSubsetSaysSo() {
        PLOT* c = twoCurves();
        ScriptedMessages messages;
        platform::ClipboardSetText("other text");
        c->PASTESS();
        QCOMPARE(messages.lastText(), QString("There is no copied subset to paste."));
        files::WriteAll(bed->folder.working("KINA03.TMP"), "something else");
        c->PASTESS();
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(c->Pesgoa1().Subsets(), 2);
    }

    // Another running copy of the program has working files of its own: a
    // subset it copied reaches this one on the clipboard, and is pasted
    // before the one this copy copied last; other text on the clipboard
    // leaves this copy's own.
    void aSubsetCopiedInAnotherRunningCopyPastesFromTheClipboard() {
        PLOT* c = twoCurves();
        platform::ClipboardSetText("other text");
        QVERIFY(!files::Exists(bed->folder.working("KINA03.TMP")));
        chart::Subset theirs;
        theirs.label = "theirs";
        theirs.x = {1, 2};
        theirs.y = {3, 5};
        platform::ClipboardSetText(QString::fromStdString(chart::CopiedSubsetText(theirs)));
        c->Form_Activate();
        QVERIFY(c->findChild<QAction*>("PASTEPLOT")->isEnabled());
        c->PASTESS();
        QCOMPARE(c->Pesgoa1().Subsets(), 3);
        QCOMPARE(c->Pesgoa1().At(2).label, std::string("theirs"));
        QCOMPARE(c->Pesgoa1().At(2).y, (std::vector<double>{3, 5, chart::kMissing, chart::kMissing}));

        // This copy's own copy, then other text on the clipboard.
        c->SubSetSelect(0);
        c->SAVESS();
        platform::ClipboardSetText("other text");
        c->PASTESS();
        QCOMPARE(c->Pesgoa1().Subsets(), 4);
        QCOMPARE(c->Pesgoa1().At(3).label, std::string("H2O"));
    }

    void aSubsetSwitchesToItsPointsAndBack() {
        PLOT* c = twoCurves();
        c->SubSetSelect(0);
        c->SubsetLinePoints();
        QCOMPARE(c->Pesgoa1().At(0).lineType, chart::kLineTypeNone);
        QCOMPARE(c->View()->SubsetCurve(0)->lineStyle(), QCPCurve::lsNone);
        QVERIFY(c->View()->SubsetCurve(0)->scatterStyle().shape() != QCPScatterStyle::ssNone);
        c->SubsetLinePoints();
        QCOMPARE(c->View()->SubsetCurve(0)->lineStyle(), QCPCurve::lsLine);
    }

    void theToolbarFollowsTheChart() {
        PLOT* c = twoCurves();
        // The Temporary Chart is saved with Save As only.
        QVERIFY(!button(chart::toolbar2::kSave)->isEnabled());
        QVERIFY(!c->findChild<QAction*>("SAVEGRAPH")->isEnabled());
        QVERIFY(!button(chart::toolbar2::kCut)->isEnabled());
        button(chart::toolbar2::kGridLines)->trigger();
        QVERIFY(c->Pesgoa1().Flag("GridLines"));
        QVERIFY(c->View()->xAxis->grid()->visible());
        QVERIFY(button(chart::toolbar2::kGridLines)->isChecked());
        QVERIFY(c->findChild<QAction*>("GRIDLINES")->isChecked());
        button(chart::toolbar2::kMarker)->trigger();
        QVERIFY(c->View()->SubsetCurve(0)->scatterStyle().shape() != QCPScatterStyle::ssNone);
        // Monochrome style draws black and keeps the colours.
        c->Pesgoa1().At(1).colour = 255;
        button(chart::toolbar2::kStyle)->trigger();
        QVERIFY(!c->COLORBOOLTT());
        QVERIFY(button(chart::toolbar2::kStyle)->isChecked());
        QCOMPARE(c->View()->SubsetCurve(1)->pen().color(), QColor(Qt::black));
        QCOMPARE(c->Pesgoa1().At(1).colour, 255);
        c->PlotCol();
        QCOMPARE(c->View()->SubsetCurve(1)->pen().color(), QColor(255, 0, 0));
        QVERIFY(!button(chart::toolbar2::kStyle)->isChecked());
        // A file chart enables Save.
        c->SetCaption("Chart x.pg");
        c->Form_Activate();
        QVERIFY(button(chart::toolbar2::kSave)->isEnabled());
    }

    void sizesAndColoursReachTheDrawing() {
        PLOT* c = twoCurves();
        c->SetTextSize(0);
        const int large = c->View()->xAxis->labelFont().pointSize();
        c->SetTextSize(2);
        QVERIFY(c->View()->xAxis->labelFont().pointSize() < large);
        c->Pesgoa1().Slot(2) = chart::Annotation{1, 5, "note", 0, 0, 0};
        c->ColorToPlot(0xFFFFFF, 0x0000FF, 0, 0x00FFFF, 0xFF0000, 0x00FF00, 0x123456);
        QCOMPARE(c->View()->axisRect()->backgroundBrush().color(), QColor(255, 255, 0));
        QCOMPARE(c->View()->xAxis->labelColor(), QColor(255, 0, 0));
        QCOMPARE(c->View()->AnnotationItem(2)->color(), QColor(0, 255, 0));
        QCOMPARE(c->Pesgoa1().Slot(100).colour, 0x00FF00);
        QCOMPARE(Shared().SelectionColor, 0x123456);
        c->Pesgoa1().Set("XAxisScaleControl", 2.0);
        c->Refr();
        QCOMPARE(c->View()->xAxis->scaleType(), QCPAxis::stLogarithmic);
        c->Pesgoa1().Set("ShowYAxis", 5.0);
        c->Refr();
        QVERIFY(!c->View()->yAxis->visible());
    }

    void theSetUpsPropertiesReachTheDrawing() {
        PLOT* c = twoCurves();
        chart::ChartModel& m = c->Pesgoa1();
        chart::ChartView* v = c->View();
        // A linear axis with a manual range and spacing: major ticks 0.5
        // apart, one minor tick between.
        m.Set("XAxisScaleControl", 1.0);
        m.Set("ManualScaleControlX", 3.0);
        m.Set("ManualMinX", std::string("0"));
        m.Set("ManualMaxX", std::string("2.5"));
        m.Set("ManualXAxisTicknLine", -1.0);
        m.Set("ManualXAxisLine", 0.5);
        m.Set("ManualXAxisTick", 0.25);
        m.Set("MainTitleFont", std::string("Courier New"));
        m.Set("MainTitleBold", 0.0);
        m.Set("MainTitleItalic", -1.0);
        m.Set("MarkDataPoints", -1.0);
        m.Set("PointSize", 2.0);
        m.At(0).pointType = 9;
        m.At(1).pointType = chart::kPointTypeNone;
        m.At(1).lineType = 1;
        c->Refr();
        v->replot(QCustomPlot::rpImmediateRefresh);
        QCOMPARE(v->xAxis->range(), QCPRange(0, 2.5));
        QVector<double> ticks, subTicks;
        QVector<QString> labels;
        v->xAxis->ticker()->generate(v->xAxis->range(), QLocale::c(), 'g', 6, ticks, &subTicks, &labels);
        QCOMPARE(ticks, (QVector<double>{0, 0.5, 1, 1.5, 2, 2.5}));
        QCOMPARE(labels, (QVector<QString>{"0", "0.5", "1.0", "1.5", "2.0", "2.5"}));
        QVERIFY(subTicks.contains(0.25) && subTicks.contains(2.25) && !subTicks.contains(0.125));
        QCOMPARE(v->MainTitleElement()->font().family(), QString("Courier New"));
        QVERIFY(v->MainTitleElement()->font().italic());
        QVERIFY(!v->MainTitleElement()->font().bold());
        QCOMPARE(v->SubsetCurve(0)->scatterStyle().shape(), QCPScatterStyle::ssTriangle);
        QCOMPARE(v->SubsetCurve(0)->scatterStyle().brush().style(), Qt::SolidPattern);
        QVERIFY(v->SubsetCurve(0)->scatterStyle().size() > 9);
        QCOMPARE(v->SubsetCurve(1)->scatterStyle().shape(), QCPScatterStyle::ssNone);
        QCOMPARE(v->SubsetCurve(1)->pen().style(), Qt::DashLine);
        // An axis that would need thousands of ticks keeps the automatic ones.
        m.Set("ManualXAxisLine", 1e-6);
        c->Refr();
        v->replot(QCustomPlot::rpImmediateRefresh);
        QVERIFY(v->xAxis->tickVector().size() < 50);
    }

    void exportsToFilesAndTheClipboard_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << chart::kExportPng << QByteArray("\x89PNG");
        QTest::newRow("bmp") << chart::kExportBmp << QByteArray("BM");
        QTest::newRow("svg") << chart::kExportSvg << QByteArray("<?xml");
    }
    void exportsToFilesAndTheClipboard() {
        QFETCH(int, kind);
        QFETCH(QByteArray, magic);
        PLOT* c = twoCurves();
        ScriptedMessages messages;
        const std::string base = bed->folder.dir.file("picture");
        exportVia(c, kind, base);
        const std::string path = base + "." + chart::ExportExtension(kind);
        QCOMPARE(Shared().ExportFilePath, path);
        QCOMPARE(messages.lastText(), exported(path));
        QVERIFY(files::Exists(path));
        QVERIFY(QByteArray::fromStdString(test::ReadBytes(path)).startsWith(magic));
        if (kind == chart::kExportSvg) QVERIFY(QByteArray::fromStdString(test::ReadBytes(path)).contains("H2O"));
        // The dialog starts on the remembered choice; to the clipboard now.
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            auto& x = static_cast<chart::PLOT_xportMe&>(d);
            QVERIFY(x.KindButton(kind)->isChecked());
            QCOMPARE(x.FileBox()->text(), QString::fromStdString(path));
            x.DestinationButton(chart::kExportToClipboard)->setChecked(true);
            x.Ok();
        });
        QApplication::clipboard()->clear();
        c->findChild<QAction*>("EXPORTPLOT")->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasImage());
        QCOMPARE(data->hasFormat("image/svg+xml"), kind == chart::kExportSvg);
    }

    void anExportToNoFileIsRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("blanks") << "  " << "Please enter the name of the file to export to.";
        QTest::newRow("dots") << "..." << "Please enter the name of the file to export to.";
        QTest::newRow("a folder") << "<folder>"
                                  << "'<folder>' is a folder. Please enter the name of the file to export to.";
        QTest::newRow("a name that becomes a folder")
            << "<folder>/shots" << "'<folder>/shots.png' is a folder. Please enter the name of the file to export to.";
    }
    void anExportToNoFileIsRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const QString folder = QString::fromStdString(bed->folder.dir.path());
        typed.replace("<folder>", folder);
        message.replace("<folder>", folder);
        std::filesystem::create_directory(bed->folder.dir.file("shots.png"));
        PLOT* c = twoCurves();
        ScriptedMessages messages;
        bool openAfterOk = false;
        exportVia(c, chart::kExportPng, typed.toStdString(),
                  [&](chart::PLOT_xportMe& x) { openAfterOk = x.isVisible(); });
        QVERIFY(openAfterOk);
        QCOMPARE(messages.lastText(), message);
        QCOMPARE(messages.shown().size(), std::size_t(1));
    }

    // An export onto a file that is there asks first; No keeps the file and
    // the dialog, Yes replaces the file.
    void anExistingFileIsReplacedOnlyAfterYes_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(platform::kAnswerNo);
        QTest::newRow("Yes") << int(platform::kAnswerYes);
    }
    void anExistingFileIsReplacedOnlyAfterYes() {
        QFETCH(int, answer);
        PLOT* c = twoCurves();
        const std::string path = bed->folder.dir.write("chart1.png", "old picture");
        ScriptedMessages messages;
        messages.Answer(answer);
        bool openAfterOk = false;
        exportVia(c, chart::kExportPng, path, [&](chart::PLOT_xportMe& x) { openAfterOk = x.isVisible(); });
        QVERIFY(!messages.shown().empty());
        QCOMPARE(messages.shown()[0].text, replaceQuestion(path));
        QCOMPARE(messages.shown()[0].style,
                 platform::kMsgExclamation + platform::kMsgYesNo + platform::kMsgDefaultButton2);
        QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
        const std::string bytes = test::ReadBytes(path);
        if (answer == platform::kAnswerNo) {
            QVERIFY(openAfterOk);
            QCOMPARE(bytes, std::string("old picture"));
            QCOMPARE(messages.shown().size(), std::size_t(1));
        } else {
            QVERIFY(!openAfterOk);
            QVERIFY(QByteArray::fromStdString(bytes).startsWith("\x89PNG"));
            QCOMPARE(messages.lastText(), exported(path));
        }
    }

    // The Save dialog of Browse asks about the file it chooses; OK asks
    // again only when the file written is another one.
    void browsingAsksAboutTheFileItChose_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("askedAgain");
        QTest::newRow("the file chosen") << "chart1.png" << false;
        QTest::newRow("chosen without its extension") << "chart1" << true;
    }
    void browsingAsksAboutTheFileItChose() {
        QFETCH(QString, chosen);
        QFETCH(bool, askedAgain);
        PLOT* c = twoCurves();
        const std::string path = bed->folder.dir.write("chart1.png", "old picture");
        bed->folder.dir.write("chart1", "another file");
        ScriptedDialogs dialogs;
        dialogs.ChooseSave(QString::fromStdString(bed->folder.dir.file(chosen.toStdString())));
        ScriptedMessages messages;
        if (askedAgain) messages.Answer(platform::kAnswerNo);
        exportVia(c, chart::kExportPng, "", {},
                  [](chart::PLOT_xportMe& x) { x.findChild<QPushButton*>("Command3")->click(); });
        QVERIFY(dialogs.requests()[0].file.confirmOverwrite);
        if (askedAgain) {
            QCOMPARE(messages.shown()[0].text, replaceQuestion(path));
            QCOMPARE(test::ReadBytes(path), std::string("old picture"));
        } else {
            QCOMPARE(messages.shown().size(), std::size_t(1));
            QCOMPARE(messages.lastText(), exported(path));
            QVERIFY(QByteArray::fromStdString(test::ReadBytes(path)).startsWith("\x89PNG"));
        }
        QCOMPARE(test::ReadBytes(bed->folder.dir.file("chart1")), std::string("another file"));
    }

    // With BMP chosen, a name typed with the extension of another kind is
    // written under that name as that kind, and the dialog says so.
    void theFileWrittenIsTheOneTheDialogNames() {
        PLOT* c = twoCurves();
        const std::string path = bed->folder.dir.file("chart1.png");
        ScriptedMessages messages;
        exportVia(c, chart::kExportBmp, path, [&](chart::PLOT_xportMe& x) {
            QVERIFY(x.KindButton(chart::kExportPng)->isChecked());
            QCOMPARE(x.FileBox()->text(), QString::fromStdString(path));
        });
        QVERIFY(QByteArray::fromStdString(test::ReadBytes(path)).startsWith("\x89PNG"));
        QVERIFY(!files::Exists(path + ".bmp"));
        QCOMPARE(Shared().ExportPictureKind, chart::kExportPng);
        QCOMPARE(messages.lastText(), exported(path));
    }

    // A write that fails leaves the file that was there as it was.
    void aFailedExportKeepsTheOldFile() {
        PLOT* c = twoCurves();
        const std::string path = bed->folder.dir.write("chart1.svg", "old drawing");
        files::SetReadOnly(path, true);
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerYes);
        exportVia(c, chart::kExportSvg, path);
        files::SetReadOnly(path, false);
        QCOMPARE(test::ReadBytes(path), std::string("old drawing"));
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QVERIFY(messages.lastText().startsWith("Plot#030. "));
    }

    void aFixedChartSizeAndBack() {
        PLOT* c = twoCurves();
        ScriptedMessages messages;
        bool failed = false;
        c->PoltSize(failed, 1.5, 10, 1);
        QVERIFY(failed);
        QCOMPARE(messages.lastText(), QString("The chart size must lie between 2 and 100 cm."));
        ScriptedModals modals;
        modals.Next([](QDialog& d) {
            d.findChild<QLineEdit*>("HeightBox")->setText("5");
            d.findChild<QLineEdit*>("WidthBox")->setText("10");
            d.accept();
        });
        c->findChild<QAction*>("CHARTSIZE")->trigger();
        const double pixelsPerCm = c->logicalDpiX() / 2.54;
        QCOMPARE(c->View()->width(), int(10 * pixelsPerCm));
        QCOMPARE(c->View()->height(), int(5 * pixelsPerCm));
        QVERIFY(!c->findChild<QAction*>("FULLWIN")->isChecked());
        double h = 0, w = 0;
        c->GetChartSize_Twips(h, w);
        QCOMPARE(int(w), platform::PixelsToTwips(int(10 * pixelsPerCm)));
        c->FullWin();
        QVERIFY(c->findChild<QAction*>("FULLWIN")->isChecked());
        QCOMPARE(c->View()->maximumWidth(), QWIDGETSIZE_MAX);
    }

    void theChartDrawsOntoAnyPainter() {
        PLOT* c = twoCurves();
        c->Pesgoa1().At(0).colour = 0x0000FF;
        c->Pesgoa1().At(0).lineType = 11;
        c->Refr();
        // A page of twice the screen's resolution: the same drawing, scaled.
        QImage page(1600, 1200, QImage::Format_RGB32);
        page.setDotsPerMeterX(page.dotsPerMeterX() * 2);
        page.setDotsPerMeterY(page.dotsPerMeterY() * 2);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            c->RenderChart(painter, QRectF(0, 0, 1600, 1200));
        }
        // The curve runs across the whole page, drawn thick.
        int left = 0, right = 0;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); x += 2)
                if (QColor(page.pixel(x, y)) == QColor(255, 0, 0)) ++(x < 800 ? left : right);
        QVERIFY(left > 100);
        QVERIFY(right > 100);
        // The picture for printing on the clipboard, its size in 1/100 mm.
        float height = 5670, width = 11340;
        QApplication::clipboard()->clear();
        c->PRINT_CHART(height, width);
        QCOMPARE(height, 10000.0f);
        QCOMPARE(width, 20000.0f);
        QCOMPARE(QApplication::clipboard()->image().width(), platform::TwipsToPixels(11340));
    }

    void theDataShowsAsATextTable() {
        text::InstallTextWindows();
        PLOT* c = twoCurves();
        c->Pesgoa1().mainTitle = "\xCE\x94t in \xC2\xB5s \xE2\x86\x92 k\xE2\x82\x81";
        c->ViewDataOnly();
        auto* table = dynamic_cast<text::RES_ShowFile*>(platform::FindForm(shell::kTextWindow));
        QVERIFY(table);
        QCOMPARE(table->Caption(), QString("Temporary Chart - Data"));
        QVERIFY(table->MePath().empty());  // a table, not a document of its own
        QVERIFY(!files::Exists(bed->folder.working("TmpPlot.txt")));  // nothing left behind
        const QString shown = table->RichTextBox1()->toPlainText();
        QVERIFY(shown.startsWith(QString::fromUtf8("Δt in µs → k₁\n")));
        QVERIFY(shown.contains("Subset 2: R12, 1.00E-03 (mol/g)"));
        QVERIFY(shown.contains("   3.00000000E+00   4.00000000E+00"));
        shell::InstallFormCreator(shell::kTextWindow, nullptr);
        shell::InstallFormCreator(shell::kFindWindow, nullptr);
        shell::InstallShowFileInResultWindow(nullptr);
    }

    void aMissingDialogIsReported() {
        PLOT* c = twoCurves();
        ScriptedMessages messages;
        c->findChild<QAction*>("CASTOMDIAL")->trigger();
        QCOMPARE(messages.lastText(), QString("Plot#032. This part of the program is not available: PLOT_Setup"));
        c->findChild<QAction*>("PRINTPLOT")->trigger();
        QCOMPARE(messages.lastText(), QString("Plot#031. This part of the program is not available: PgSetupMod"));
    }

    void theSetUpDialogIsShownOverTheChart() {
        PLOT* c = twoCurves();
        test::CallLog log;
        shell::FormCreatorInstallation setup("PLOT_Setup", [&log] { return new test::StubToolDialog(log, "PLOT_Setup"); });
        ScriptedModals modals;
        modals.Next([&](QDialog& d) {
            QCOMPARE(chart::ActiveChart(), c);
            d.accept();
        });
        c->CastomDial();
        QCOMPARE(modals.shown().size(), std::size_t(1));
        QVERIFY(platform::FindForms("PLOT_Setup").empty());
    }
};

QTEST_MAIN(ChartEditingTest)
#include "ChartEditingTest.moc"
