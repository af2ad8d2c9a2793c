// The chart set-up dialog on a chart that records what is asked of it: the
// load, the axis fields by scale mode, the checks, Apply for each scale
// mode, OK and Cancel, the monochrome lock, a failed load, the colour and
// font pickers, and the style samples.
#include "PLOT_Setup.h"

#include "AxisEntry.h"
#include "Scripted.h"

#include "DesktopTestSupport.h"
#include "FakeChart.h"
#include "Grid.h"
#include "StyleSamples.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace kx;
using namespace kx::chart_setup;
using kx::platform::testing::ScriptedDialogs;
using kx::platform::testing::ScriptedMessages;
using kx::test::FakeChart;

namespace {

constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A chart of two curves of log10 mole fractions against time, its X axis
// Auto and its Y axis Linear.
void fillChart(FakeChart& chart) {
    chart.curves = {{{0.001, -3.5}, {0.002, -2.25}, {kMissingValue, 5}},
                    {{0.0005, -8}, {0.004, -6}, {0.003, kMissingValue}}};
    ChartProperties& p = chart.properties;
    p.X = {kAxisShown, kModeAuto, kManualScaleOff, 0, 1, false, 0, 0};
    p.Y = {kAxisShown, kModeLinear, kManualScaleMinMax, -10, 0, true, 2, 1};
    p.FONTSIZE = 0;
    p.Fonts = {FontProperties{"DejaVu Serif", true, false}, {"DejaVu Sans", false, true}, {"", false, false}};
    p.PointSize = 2;
    p.DeskColor = 0xC0C0C0;
    p.TextColor = 0x000080;
    p.ShadowColor = 0x404040;
    p.GraphBackColor = 0xFFFFF0;
    p.GraphForeColor = 0x202020;
    p.XAxisColor = 0x00AAAA;
    p.Subsets = {{"OH", 72, 9, kRed}, {"H2O", 3, 8, kGreen}};
    p.Annotations.assign(kAnnotationSlots, AnnotationSlot{});
    p.Annotations[4] = {0.001, std::string("ignition"), 0x123456};
}

// The centre of a sample cell, in the widget.
QPoint centreOf(SampleCells* cells, int code) { return cells->CellRect(code).center(); }

bool near(QRgb pixel, Colour colour) {
    const QColor want = platform::ToQColor(colour);
    return std::abs(qRed(pixel) - want.red()) < 40 && std::abs(qGreen(pixel) - want.green()) < 40 &&
           std::abs(qBlue(pixel) - want.blue()) < 40;
}

}  // namespace

class SetupDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestBed> bed;
    std::unique_ptr<FakeChart> chart;

    std::string backup() const { return bed->folder.working("KINA02.TMP"); }

    PLOT_Setup* open() { return new PLOT_Setup(*chart); }

    // The dialog shown, so that focus and selection can be read.
    PLOT_Setup* openShown() {
        PLOT_Setup* d = open();
        d->show();
        d->activateWindow();
        if (!QTest::qWaitForWindowActive(d)) qWarning("set-up dialog not active");
        return d;
    }

private slots:
    void init() {
        bed = std::make_unique<test::WindowTestBed>();
        Shared().TickDigitsX = 3;
        Shared().TickDigitsY = 4;
        Shared().SelectionColor = 0x00FFFF;
        chart = std::make_unique<FakeChart>();
        fillChart(*chart);
    }
    void cleanup() {
        bed.reset();
        chart.reset();
    }

    void loadReadsTheChartIntoTheControls() {
        PLOT_Setup* d = open();
        QVERIFY(!d->LoadFailed());
        QCOMPARE(chart->calls.front(), std::string("UndoZM"));
        QCOMPARE(chart->calls.at(1), std::string("SaveChart KINA02.TMP colour"));
        QVERIFY(std::filesystem::exists(backup()));
        QCOMPARE(d->windowTitle(), QString("Plot Setup Chart h2.pg"));

        // X Auto: the range of every valid point; Y Linear: its own range.
        QVERIFY(d->Check1()->isChecked());
        QVERIFY(d->Option(13)->isChecked());
        QCOMPARE(d->Text(2)->text(), QString("4.E-03"));
        QCOMPARE(d->Text(3)->text(), QString("5.E-04"));
        QCOMPARE(d->Text(4)->text(), QString("5"));
        QCOMPARE(d->Text(5)->text(), QString("2"));
        QCOMPARE(d->Text10()->value(), 3);
        QVERIFY(d->Option(17)->isChecked());
        QCOMPARE(d->Text(9)->text(), QString("0.E+00"));
        QCOMPARE(d->Text(8)->text(), QString("-1.E+01"));
        QCOMPARE(d->Text(7)->text(), QString("5"));
        QCOMPARE(d->Text(6)->text(), QString("2"));
        QCOMPARE(d->Text11()->value(), 4);

        const std::array<Colour, 6> swatches{0xC0C0C0, 0x000080, 0x404040, 0xFFFFF0, 0x202020, 0x123456};
        for (int i = 0; i < 6; ++i) QCOMPARE(d->SwatchColour(i), swatches[static_cast<std::size_t>(i)]);
        QCOMPARE(d->Text1(3)->palette().color(QPalette::Window), QColor(0xF0, 0xFF, 0xFF));
        QCOMPARE(d->Label1(2)->text(), QString("Shadow "));

        QVERIFY(d->Option(8)->isChecked());  // point size 2: Large
        QVERIFY(d->Option(3)->isChecked());  // text size 0: Large
        for (int i = 0; i < 3; ++i) QCOMPARE(d->Label13(i)->text(), QString("AaBbCcDdEe"));
        QCOMPARE(d->SampleFont(0), (FontProperties{"DejaVu Serif", true, false}));
        QVERIFY(d->Label13(0)->font().bold());
        QVERIFY(d->Label13(1)->font().italic());
        QCOMPARE(d->Label(12)->text(), QString("The function 'Size' on the Font Dialog Window is disabled. Use the "
                                               "options on the top of this page."));

        // Styles as the chart has them; only the label column shows.
        QCOMPARE(d->SubsetStyles(), (std::vector<SubsetStyle>{{"OH", 72, 9, kRed}, {"H2O", 3, 8, kGreen}}));
        platform::Grid* grid = d->GridEX1();
        QCOMPARE(grid->RowCount(), 2);
        QCOMPARE(grid->CellText(2, 2), QString("H2O"));
        for (int column : {1, 3, 4, 5}) QVERIFY(grid->isColumnHidden(column - 1));
        QVERIFY(!grid->isColumnHidden(1));
        QCOMPARE(grid->Column("Subset").Caption(), QString("Series"));
        QVERIFY(d->Label(17)->isHidden());
        QCOMPARE(d->TabStrip1()->currentIndex(), 0);
    }

    void anAxisOfNegativeValuesInAutoShowsItsOwnRange() {
        chart->properties.Y.ScaleControl = kModeAuto;
        chart->properties.Y.ManualScaleControl = kManualScaleOff;
        PLOT_Setup* d = open();
        QCOMPARE(d->Text(9)->text(), QString("-2.25E+00"));
        QCOMPARE(d->Text(8)->text(), QString("-8.E+00"));
    }

    void sizesOutsideTheOptionsLeaveThemAsTheyWere() {
        chart->properties.FONTSIZE = 7;
        chart->properties.PointSize = -1;
        PLOT_Setup* d = open();
        QVERIFY(d->Option(4)->isChecked());  // Medium, as designed
        QVERIFY(d->Option(7)->isChecked());
        // Left alone, the chart keeps its own sizes.
        d->Command7()->click();
        QCOMPARE(chart->properties.FONTSIZE, 7);
        QCOMPARE(chart->properties.PointSize, -1);
        d->Option(5)->setChecked(true);
        d->Command7()->click();
        QCOMPARE(chart->properties.FONTSIZE, 2);
        QCOMPARE(chart->properties.PointSize, -1);
    }

    void fieldsFollowTheScaleMode() {
        PLOT_Setup* d = open();
        struct Case {
            int option;  // of the Y axis
            bool limits, ticks;
        };
        for (Case c : {Case{16, true, false}, Case{18, false, false}, Case{17, true, true}}) {
            d->Option(c.option)->click();
            QCOMPARE(d->Text(9)->isEnabled(), c.limits);
            QCOMPARE(d->Label(9)->isEnabled(), c.limits);
            QCOMPARE(d->Text(8)->isEnabled(), c.limits);
            QCOMPARE(d->Text(7)->isEnabled(), c.ticks);
            QCOMPARE(d->Label(15)->isEnabled(), c.ticks);
            QCOMPARE(d->Text11()->isEnabled(), c.ticks);
        }
        // The X axis loaded in Auto: all its fields greyed.
        QVERIFY(!d->Text(2)->isEnabled());
        QVERIFY(!d->Text10()->isEnabled());
        d->Option(15)->click();
        QVERIFY(d->Text(3)->isEnabled());
        QVERIFY(!d->Text(4)->isEnabled());
    }

    void applyWritesEachScaleMode() {
        struct Case {
            int mode;
            const char *max, *min, *major, *minor;
            int digits;
            AxisProperties expected;
        };
        const std::vector<Case> cases{
            {kModeAuto, "x", "y", "", "", 3, {kAxisShown, kModeAuto, kManualScaleOff, -10, 0, false, 2, 1}},
            {kModeLinear, "1.E+01", "0", "3", "4", 2, {kAxisShown, kModeLinear, kManualScaleMinMax, 0, 10, true, 3.3,
                                                       3.3 / 4}},
            {kModeLog, "1E+00", "1E-12", "x", "", 3, {kAxisShown, kModeLog, kManualScaleMinMax, 1e-12, 1, true, 2, 1}},
        };
        for (const Case& c : cases) {
            fillChart(*chart);
            PLOT_Setup* d = open();
            test::SetAxis(d, 'Y', c.mode, c.max, c.min, c.major, c.minor);
            d->Text11()->setValue(c.digits);
            chart->calls.clear();
            d->Command7()->click();
            QCOMPARE(chart->properties.Y, c.expected);
            // The colours were left alone.
            QCOMPARE(chart->calls, (std::vector<std::string>{"SetProperties", "Rebuild", "MustSave"}));
            QVERIFY(platform::IsLoaded(d));  // Apply keeps the dialog open
            QVERIFY(std::filesystem::exists(backup()));
            delete d;
        }
    }

    void applyWritesSizesFontsColoursAndStyles() {
        ScriptedDialogs dialogs;
        PLOT_Setup* d = open();
        dialogs.ChooseColour(kBlue);
        d->Command5(3)->click();  // plot background
        d->Option(5)->setChecked(true);  // text Small
        d->Option(6)->setChecked(true);  // points Small
        d->Check1()->setChecked(false);
        d->Command7()->click();
        const ChartProperties& p = chart->properties;
        QCOMPARE(p.FONTSIZE, 2);
        QCOMPARE(p.PointSize, 0);
        QCOMPARE(p.X.ShowAxis, kAxisHidden);
        QCOMPARE(p.X.ScaleControl, kModeAuto);
        QCOMPARE(p.Fonts[0], (FontProperties{"DejaVu Serif", true, false}));
        // Styles left alone keep their codes, those drawn like a sample too.
        QCOMPARE(p.Subsets, (std::vector<SubsetStyle>{{"OH", 72, 9, kRed}, {"H2O", 3, 8, kGreen}}));
        QCOMPARE(chart->colorToPlot,
                 (std::vector<Colour>{0xC0C0C0, 0x000080, 0x404040, kBlue, 0x202020, 0x123456, 0x00FFFF}));
    }

    void refusalsShowTheirMessageFocusTheBoxAndWriteNothing() {
        struct Case {
            char axis;
            int mode;
            const char *max, *min, *major, *minor;
            int box;
            bool selected;
            const char* message;
        };
        const std::vector<Case> cases{
            {'X', kModeLinear, "abc", "0", "5", "2", 2, true, "Maximum X-axis value, please enter a number."},
            {'Y', kModeLinear, "1", "", "5", "2", 8, true, "Minimum Y-axis value, please enter a number."},
            {'X', kModeLog, "1", "2", "", "", 2, false,
             "The maximum X-axis value is less than the minimum X-axis value. Enter correct values."},
            {'Y', kModeLinear, "1E-01", "0.1", "5", "2", 9, false,
             "The maximum Y-axis value equals the minimum Y-axis value. Enter correct values."},
            {'Y', kModeLinear, "1", "0", "0.4", "2", 7, true,
             "The major tick number of the Y-axis, please enter an integer on the interval [1, 20]."},
            {'X', kModeLinear, "1", "0", "2", "1E10", 5, true,
             "The minor tick number of the X-axis, please enter an integer on the interval [1, 10]."},
            {'Y', kModeLog, "100", "0", "", "", 8, true,
             "Y-axis contains negative values or 0, the logarithmic scale cannot be created."},
        };
        for (const Case& c : cases) {
            fillChart(*chart);
            const ChartProperties before = chart->properties;
            PLOT_Setup* d = openShown();
            test::SetAxis(d, c.axis, c.mode, c.max, c.min, c.major, c.minor);
            d->TabSel(2);
            chart->calls.clear();
            ScriptedMessages messages;
            bool refused = false;
            d->ToPlotOk(refused);
            QVERIFY(refused);
            QCOMPARE(messages.shown().size(), std::size_t{1});
            QCOMPARE(messages.lastText(), QString(c.message));
            QCOMPARE(messages.shown()[0].style, 48);
            QCOMPARE(messages.shown()[0].title, QString("KINOVEX"));
            QCOMPARE(d->TabStrip1()->currentIndex(), 0);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d->Text(c.box)));
            if (c.selected)
                QCOMPARE(d->Text(c.box)->selectedText(), d->Text(c.box)->text());
            else
                QVERIFY(!d->Text(c.box)->hasSelectedText());
            // Nothing at all is written on a refusal.
            QVERIFY(chart->calls.empty());
            QCOMPARE(chart->properties, before);
            delete d;
        }
    }

    void tickBoxesShowTheirWholeNumber() {
        PLOT_Setup* d = open();
        test::SetAxis(d, 'Y', kModeLinear, "10", "0", "2.5", "3.5");
        d->Command7()->click();
        QCOMPARE(d->Text(7)->text(), QString("2"));
        QCOMPARE(d->Text(6)->text(), QString("4"));
        QCOMPARE(chart->properties.Y.ManualLine, 5.0);
        QCOMPARE(chart->properties.Y.ManualTick, 1.25);
    }

    void okAppliesDeletesTheBackupAndCloses() {
        QPointer<PLOT_Setup> d = open();
        d->Option(15)->setChecked(true);
        d->Text(2)->setText("1");
        d->Text(3)->setText("1E-4");
        d->Command1()->click();
        QVERIFY(!platform::IsLoaded(d));
        QVERIFY(!std::filesystem::exists(backup()));
        QCOMPARE(chart->properties.X.ScaleControl, kModeLog);
        QCOMPARE(chart->properties.X.ManualMin, 1e-4);
    }

    void okWithARefusalStaysOpenWithTheBackup() {
        ScriptedMessages messages;
        PLOT_Setup* d = open();
        test::SetAxis(d, 'X', kModeLinear, "0", "1");
        d->Command1()->click();
        QVERIFY(platform::IsLoaded(d));
        QVERIFY(std::filesystem::exists(backup()));
        QCOMPARE(messages.shown().size(), std::size_t{1});
    }

    void cancelBringsTheChartBackAsItWasAtOpening() {
        const ChartProperties opening = chart->properties;
        PLOT_Setup* d = open();
        test::SetAxis(d, 'Y', kModeLog, "1", "1E-9");
        d->Option(4)->setChecked(true);
        d->Command7()->click();
        d->Label6_Click(11);
        d->Label4_Click(kPointNone);
        d->Command7()->click();
        QVERIFY(chart->properties != opening);
        QPointer<PLOT_Setup> guard = d;
        d->Command3()->click();
        QCOMPARE(chart->calls.back(), std::string("RestorePlotFromFile KINA02.TMP"));
        QCOMPARE(chart->properties, opening);
        QVERIFY(!std::filesystem::exists(backup()));
        QVERIFY(!platform::IsLoaded(guard));
    }

    void escapeCancelsButAnUnloadByOthersOnlyCloses() {
        PLOT_Setup* d = open();
        d->Check2()->setChecked(false);
        d->Command7()->click();
        d->reject();  // Esc, the close box
        QCOMPARE(chart->properties.Y.ShowAxis, kAxisShown);
        QVERIFY(!platform::IsLoaded(d));

        test::Settle();
        PLOT_Setup* e = open();
        e->Check2()->setChecked(false);
        e->Command7()->click();
        platform::UnloadAll(kChartSetupDialog);
        QCOMPARE(chart->properties.Y.ShowAxis, kAxisHidden);
        QVERIFY(!platform::IsLoaded(e));
        QVERIFY(!std::filesystem::exists(backup()));  // the dialog's backup goes with it
    }

    void monochromeLocksTheColoursAndComesBackOnCancel() {
        chart->Monochr();
        chart->calls.clear();
        PLOT_Setup* d = open();
        QCOMPARE(chart->calls, (std::vector<std::string>{"UndoZM", "PlotCol", "SaveChart KINA02.TMP colour",
                                                         "Monochr"}));
        QVERIFY(!d->Label(17)->isHidden());
        QCOMPARE(d->Label(17)->text(), QString("Monochrome style, color functions are disabled."));
        QVERIFY(!d->Command6()->isEnabled());
        for (int i = 0; i < 6; ++i) {
            QVERIFY(!d->Command5(i)->isEnabled());
            QVERIFY(!d->Label1(i)->isEnabled());
        }
        for (int i = 0; i < 3; ++i) QVERIFY(d->Command4(i)->isEnabled());
        QCOMPARE(d->SwatchColour(0), Colour{0xFFFFFF});  // the chart's monochrome colours
        chart->calls.clear();
        d->Command3()->click();
        QCOMPARE(chart->calls, (std::vector<std::string>{"RestorePlotFromFile KINA02.TMP", "Monochr"}));
        QVERIFY(!chart->colourStyle);
        QCOMPARE(chart->savedColours[0], Colour{0xC0C0C0});
    }

    void aChartWithoutDataKeepsTheDesignValues() {
        chart->curves = {{{kMissingValue, 1}, {2, kMissingValue}}};
        PLOT_Setup* d = open();
        QCOMPARE(d->Text(2)->text(), QString("1.E+00"));
        QVERIFY(d->Option(13)->isChecked());
        chart->calls.clear();
        d->Command7()->click();
        QVERIFY(chart->calls.empty());
        d->Command1()->click();
        QVERIFY(chart->calls.empty());
        QVERIFY(!platform::IsLoaded(d));
        QVERIFY(!std::filesystem::exists(backup()));  // the dialog's backup goes with it
    }

    void aFailedLoadDisablesOkAndApply() {
        chart->Monochr();
        chart->failSave = true;
        ScriptedMessages messages;
        PLOT_Setup* d = open();
        QVERIFY(d->LoadFailed());
        QVERIFY(messages.lastText().startsWith("18#008. "));
        QVERIFY(!d->Command1()->isEnabled());
        QVERIFY(!d->Command7()->isEnabled());
        QVERIFY(!chart->colourStyle);  // back in monochrome style
        chart->calls.clear();
        d->Command7_Click();
        d->Command1_Click();
        QVERIFY(chart->calls.empty());
        d->Command3()->click();  // nothing to restore: it only closes
        QVERIFY(chart->calls.empty());
        QVERIFY(!platform::IsLoaded(d));
    }

    void aFailedRestoreIsReportedAndTheDialogCloses() {
        ScriptedMessages messages;
        PLOT_Setup* d = open();
        std::filesystem::remove(backup());
        d->Command3()->click();
        QCOMPARE(messages.shown().size(), std::size_t{1});
        QVERIFY(messages.lastText().startsWith("Mod2#0010 "));
        QVERIFY(!platform::IsLoaded(d));
    }

    void colourPickersChangeOnlyTheDialogUntilApply() {
        ScriptedDialogs dialogs;
        PLOT_Setup* d = open();
        d->move(0, 0);
        dialogs.ChooseColour(kBlue);
        d->Command5(1)->click();
        QCOMPARE(d->SwatchColour(1), kBlue);
        QCOMPARE(dialogs.requests()[0].colour, std::optional<platform::Bgr>(0x000080));
        QCOMPARE(d->pos(), QPoint(platform::TwipsToPixels(3500), 0));
        dialogs.Cancel(ScriptedDialogs::Kind::Colour);
        d->Command5(2)->click();
        QCOMPARE(d->SwatchColour(2), Colour{0x404040});
        QCOMPARE(chart->properties.TextColor, Colour{0x000080});  // nothing applied yet
        d->Command7()->click();
        QCOMPARE(chart->properties.TextColor, kBlue);
    }

    void fontPickerTakesNameBoldAndItalicButNoSize() {
        ScriptedDialogs dialogs;
        PLOT_Setup* d = open();
        d->move(0, 0);
        dialogs.ChooseFont({"DejaVu Sans Mono", 24, true, true});
        d->Command4(2)->click();  // its font name is empty
        QCOMPARE(dialogs.requests()[0].font.initial.name, QString("Courier New"));
        QCOMPARE(dialogs.requests()[0].font.maxSize, 10.0);
        QCOMPARE(d->pos(), QPoint(platform::TwipsToPixels(5500), platform::TwipsToPixels(4000)));
        QCOMPARE(d->SampleFont(2), (FontProperties{"DejaVu Sans Mono", true, true}));
        QCOMPARE(d->Label13(2)->font().pointSize(), 10);
        dialogs.Cancel(ScriptedDialogs::Kind::Font);
        d->Command4(0)->click();
        QCOMPARE(dialogs.requests()[1].font.initial.name, QString("DejaVu Serif"));
        QVERIFY(dialogs.requests()[1].font.initial.bold);
        QCOMPARE(d->SampleFont(0), (FontProperties{"DejaVu Serif", true, false}));
        d->Command7()->click();
        QCOMPARE(chart->properties.Fonts[2], (FontProperties{"DejaVu Sans Mono", true, true}));
        QCOMPARE(chart->properties.FONTSIZE, 0);
    }

    void samplesFollowTheCurrentRowAndClicksStoreTheirCode() {
        PLOT_Setup* d = openShown();
        d->TabSel(3);
        LineSamples* lines = d->LineSampleCells();
        PointSamples* points = d->PointSampleCells();
        QCOMPARE(lines->Highlighted(), std::optional<int>(0));
        QCOMPARE(points->Highlighted(), std::optional<int>(0));
        QCOMPARE(lines->SampleColour(), kRed);

        QTest::mouseClick(lines, Qt::LeftButton, {}, centreOf(lines, 4));
        QTest::mouseClick(points, Qt::LeftButton, {}, centreOf(points, kPointNone));
        QCOMPARE(d->SubsetStyles()[0].LineType, 4);
        QCOMPARE(d->SubsetStyles()[0].PointType, kPointNone);
        QCOMPARE(d->SubsetStyles()[1], (SubsetStyle{"H2O", 3, 8, kGreen}));

        // The medium dash-dot has its own sample.
        d->GridEX1()->SetRow(2);
        QCOMPARE(lines->Highlighted(), std::optional<int>(8));
        QCOMPARE(points->Highlighted(), std::optional<int>(3));
        QCOMPARE(points->SampleColour(), kGreen);
        d->GridEX1()->SetRow(1);
        QCOMPARE(lines->Highlighted(), std::optional<int>(4));
        QCOMPARE(points->Highlighted(), std::optional<int>(kPointNone));

        ScriptedDialogs dialogs;
        dialogs.ChooseColour(kBlue);
        d->Command6()->click();
        QCOMPARE(dialogs.requests()[0].colour, std::optional<platform::Bgr>(kRed));
        QCOMPARE(d->SubsetStyles()[0].Color, kBlue);
        QCOMPARE(lines->SampleColour(), kBlue);
        QCOMPARE(points->SampleColour(), kBlue);

        d->Command7()->click();
        QCOMPARE(chart->properties.Subsets[0], (SubsetStyle{"OH", kPointNone, 4, kBlue}));
    }

    void aCodeWithoutSampleHighlightsNothing() {
        chart->properties.Subsets[0] = {"odd", 40, 12, kRed};
        PLOT_Setup* d = open();
        d->TabSel(3);
        QCOMPARE(d->LineSampleCells()->Highlighted(), std::optional<int>());
        QCOMPARE(d->PointSampleCells()->Highlighted(), std::optional<int>());
        QCOMPARE(d->PointSampleCells()->SampleColour(), kRed);
    }

    void aLabelBeingEditedIsCommittedByApply() {
        PLOT_Setup* d = openShown();
        d->TabSel(3);
        platform::Grid* grid = d->GridEX1();
        grid->edit(grid->model()->index(1, 1));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText("water");
        d->Command7()->click();
        QCOMPARE(chart->properties.Subsets[1].Label, std::string("water"));
        QCOMPARE(grid->CellText(2, 2), QString("water"));
    }

    void samplesAreDrawnInTheSubsetColourOnTheirCells() {
        PointSamples points;
        points.SetColour(kRed);
        points.SetHighlight(3, kBlue);
        const QImage image = points.grab().toImage();
        const QColor background = points.palette().color(points.backgroundRole());
        auto pixel = [&](QPoint p) { return image.pixel(p); };
        const QRect filled = points.CellRect(3), hollow = points.CellRect(2), square = points.CellRect(5);
        QVERIFY(near(pixel(filled.center()), kRed));                 // filled circle
        QVERIFY(near(pixel(filled.topLeft() + QPoint(4, 4)), kBlue));  // highlighted cell
        QCOMPARE(QColor(pixel(hollow.center())), background);         // hollow circle
        QCOMPARE(QColor(pixel(hollow.topLeft() + QPoint(2, 2))), background);
        QVERIFY(near(pixel(square.center()), kRed));
        QVERIFY(near(pixel(QPoint(points.CellRect(0).center().x(), points.CellRect(0).center().y())), kRed));  // plus

        LineSamples lines;
        lines.SetColour(kGreen);
        lines.SetHighlight(11, kBlue);
        const QImage lineImage = lines.grab().toImage();
        const QRect thick = lines.CellRect(11), thin = lines.CellRect(0);
        QVERIFY(near(lineImage.pixel(thick.center()), kGreen));
        QVERIFY(near(lineImage.pixel(thick.center() + QPoint(0, 1)), kGreen));  // five pixels wide
        QVERIFY(near(lineImage.pixel(thick.topLeft() + QPoint(4, 4)), kBlue));
        QVERIFY(near(lineImage.pixel(thin.center()), kGreen) || near(lineImage.pixel(thin.center() - QPoint(0, 1)), kGreen));
        QCOMPARE(QColor(lineImage.pixel(thin.center() + QPoint(0, 4))), background);
    }
};

QTEST_MAIN(SetupDialogTest)
#include "SetupDialogTest.moc"
