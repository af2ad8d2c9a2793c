// The set-up dialog on real chart windows: OK and Apply without a change
// on every kind of chart the program draws, the range a relative error is
// drawn over, a new background leaving the curves' styles, load and apply
// for each scale mode, the chart's Customize entry, and Cancel bringing the
// chart back exactly, its file name and caption kept.
#include "PLOT_Setup.h"

#include "AxisEntry.h"

#include "../chart/ChartWindowsBed.h"
#include "ChartFile.h"
#include "ChartView.h"
#include "Format.h"
#include "Files.h"
#include "Grid.h"
#include "OpenFiles.h"
#include "Scripted.h"
#include "StyleSamples.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace kx;
using namespace kx::chart_setup;
using chart::PLOT;
using platform::testing::ScriptedDialogs;
using platform::testing::ScriptedMessages;
using platform::testing::ScriptedModals;

class ChartSetupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;
    std::string chartPath;
    PLOT* chart = nullptr;

    std::string backup() const { return bed->folder.working("KINA02.TMP"); }

    // The chart as its file would hold it.
    std::string chartBytes() const {
        const std::string path = bed->folder.dir.file("snapshot.pg");
        chart::WriteChartFile(chart->Pesgoa1(), path);
        return files::ReadAll(path);
    }

    double number(const char* name) const { return chart->Pesgoa1().Number(name); }

    // A chart as drawn: everything its file keeps, the ranges and scales of
    // its axes on the screen, and whether it counts as changed.
    std::string drawnState(PLOT* c) const {
        const std::string path = bed->folder.dir.file("drawn.pg");
        chart::WriteChartFile(c->Pesgoa1(), path);
        std::string state = files::ReadAll(path);
        for (QCPAxis* axis : {c->View()->xAxis, c->View()->yAxis})
            state += "\naxis " + Format(axis->range().lower, "0.000000000E+00") + " " +
                     Format(axis->range().upper, "0.000000000E+00") + " " + std::to_string(axis->scaleType());
        return state + "\nchanged " + std::to_string(c->ChartChanged());
    }

    // A chart of each kind the program draws, the active chart window.
    PLOT* chartOfKind(const QString& kind) {
        using Bed = test::ChartWindowsBed;
        const std::vector<double> times{0, 2e-4, 4e-4, 6e-4, 8e-4, 1e-3};
        PLOT* c = nullptr;
        if (kind == "chart file") {
            c = chart;
        } else if (kind == "curves") {
            // The results window's curves: mole fractions in medium dash and
            // dash-dot.
            c = Bed::curve(times, {1e-3, 4e-3, 6e-3, 5e-3, 3e-3, 2e-3}, "Mole Fraction OH");
            Bed::curve(times, {0.2, 0.18, 0.15, 0.12, 0.1, 0.09}, "Mole Fraction O2", true);
            c->Pesgoa1().Set("SubsetLineTypes", 0, 8.0);
            c->Pesgoa1().Set("SubsetLineTypes", 1, 7.0);
            c->Pesgoa1().Set("SubsetPointTypes", 1, 72.0);
        } else if (kind == "log axes") {
            c = Bed::curve({1e-7, 1e-6, 1e-5, 1e-4, 1e-3}, {1e-9, 1e-7, 1e-4, 1e-3, 2e-3}, "Mole Fraction OH");
            c->Pesgoa1().Set("XAxisScaleControl", 2.0);
            c->Pesgoa1().Set("YAxisScaleControl", 2.0);
        } else if (kind == "time scale") {
            // Times in ms, log10 values.
            c = Bed::curve({0, 0.2, 0.4, 0.6, 0.8, 1}, {-9, -6.5, -4, -3.5, -3.25, -3.2}, "Log10 Mole Fraction OH",
                           false, "", 1000);
        } else if (kind == "histogram") {
            Bed::histogramHandOff({2.5e-3, -1e-3, 5e-4});
            c = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
            c->SetCaption(chart::kTemporaryChartCaption);
            c->Intit(0, true);
            Shared().NewChartPending = true;
            chart::PlotSignedBarChart(4, true, {"", "Derivative", "R2", "R3"}, 1);
        } else if (kind == "relative error") {
            // A comparison's relative error with Log10(Y): the comparison
            // asks for a linear value axis and sets no range.
            c = Bed::curve({2e-4, 4e-4, 6e-4, 8e-4, 1e-3}, {-1.1, -0.7, -0.2, 0.1, 0.3},
                           "CH4, Log10 Relative Error");
            c->Pesgoa1().Set("YAxisScaleControl", 1.0);
        } else if (kind == "tiny values") {
            // Narrower than the drawing library draws a range.
            c = Bed::curve({1e-300, 2e-300, 3e-300}, {1e-300, 1e-295, 1e-290}, "tiny");
        } else if (kind == "tiny values, log axes") {
            c = Bed::curve({1e-300, 2e-300, 3e-300}, {1e-300, 1e-295, 1e-290}, "tiny");
            c->Pesgoa1().Set("XAxisScaleControl", 2.0);
            c->Pesgoa1().Set("YAxisScaleControl", 2.0);
        } else if (kind == "tiny manual range") {
            c = Bed::curve({1, 2, 3}, {1, 2, 3}, "ordinary");
            chart::ChartModel& m = c->Pesgoa1();
            m.Set("YAxisScaleControl", 1.0);
            m.Set("ManualScaleControlY", 3.0);
            m.Set("ManualMinY", 1e-300);
            m.Set("ManualMaxY", 1e-290);
        } else if (kind == "huge values") {
            c = Bed::curve({1, 2, 3}, {1e300, -1e300, 1.5e300}, "huge");
        } else if (kind == "values to the limit") {
            // Their span is more than a double holds.
            c = Bed::curve({1, 2, 3}, {-1.7e308, 0.5, 1.7e308}, "limit");
        }
        if (!c) return nullptr;
        shell::ShowForm(c);
        Bed::layOut(c);
        c->Refr();
        QCoreApplication::processEvents();
        return c;
    }

    // Two curves of log10 mole fractions saved as "h2.pg" and opened from
    // that file, the way a user opens a chart.
    void openChart() {
        test::ChartWindowsBed::curve({1e-6, 1e-5, 1e-4, 1e-3}, {-9.5, -7.25, -4, -3.5}, "OH");
        test::ChartWindowsBed::curve({1e-6, 1e-5, 1e-4, 1e-3}, {-2, -1.5, -1.25, -1.75}, "H2O", true);
        PLOT* temporary = chart::TemporaryChart();
        chart::ChartModel& m = temporary->Pesgoa1();
        m.Set("SubsetLineTypes", 0, 9.0);
        m.Set("SubsetPointTypes", 1, 3.0);
        m.Set("MainTitleFont", std::string("DejaVu Serif"));
        m.Set("LabelItalic", chart::FlagValue(true));
        chartPath = bed->folder.dir.file("h2.pg");
        chart::WriteChartFile(m, chartPath);
        Shared().NewChartPending = true;  // closes without its question
        platform::Unload(temporary);
        test::Settle();
        shell::OpenFileByType(chartPath);
        chart = chart::ActiveChart();
        QVERIFY(chart);
        QCOMPARE(chart->Caption(), QString("Chart h2.pg"));
    }

private slots:
    void init() {
        bed = std::make_unique<test::ChartWindowsBed>();
        InstallChartSetup();
        openChart();
    }
    void cleanup() {
        bed.reset();
        shell::InstallFormCreator(kChartSetupDialog, nullptr);
    }

    void loadsTheChartsOwnRangeAndStyles() {
        auto* d = new PLOT_Setup;
        QVERIFY(!d->LoadFailed());
        QCOMPARE(d->windowTitle(), QString("Plot Setup Chart h2.pg"));
        QVERIFY(std::filesystem::exists(backup()));
        // Every Y value is negative: the Y boxes show the range the chart
        // draws, the data's own with its margin.
        QCOMPARE(d->Text(9)->text(), QString("-1.0025E+00"));
        QCOMPARE(d->Text(8)->text(), QString("-9.7475E+00"));
        QCOMPARE(d->Text(2)->text(), QString("1.02997E-03"));
        QCOMPARE(d->Text(3)->text(), QString("-2.897E-05"));
        QCOMPARE(d->SubsetStyles()[0].Label, std::string("OH"));
        QCOMPARE(d->SubsetStyles()[0].LineType, 9);
        d->TabSel(3);
        QCOMPARE(d->LineSampleCells()->Highlighted(), std::optional<int>(0));  // 9 is drawn as 0
        QCOMPARE(d->SubsetStyles()[1].PointType, 3);
        QCOMPARE(d->SampleFont(0).Name, std::string("DejaVu Serif"));
        QVERIFY(d->SampleFont(2).Italic);
    }

    void okAndApplyWithoutAChangeLeaveTheChartAsDrawn_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"chart file", "curves", "log axes", "time scale", "histogram", "relative error",
                                 "tiny values", "tiny values, log axes", "huge values", "values to the limit"})
            QTest::newRow(kind) << QString(kind);
    }

    void okAndApplyWithoutAChangeLeaveTheChartAsDrawn() {
        QFETCH(QString, kind);
        PLOT* c = chartOfKind(kind);
        QVERIFY(c);
        QCOMPARE(chart::ActiveChart(), c);
        const std::string drawn = drawnState(c);
        ScriptedMessages messages;  // none expected
        ScriptedModals modals;
        std::string afterApply;
        modals.Next([&](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            d.Command7()->click();
            afterApply = drawnState(c);
            d.Command1()->click();
        });
        c->CastomDial();
        QCOMPARE(modals.shown().size(), std::size_t{1});
        QCOMPARE(afterApply, drawn);
        QCOMPARE(drawnState(c), drawn);
        QVERIFY(messages.shown().empty());
        QVERIFY(!std::filesystem::exists(backup()));
    }

    // The relative error of a comparison, autoscaled from -1.1 to 0.3: the
    // dialog shows that range on a Linear axis, and OK keeps the curve in
    // view.
    void theRelativeErrorShowsTheRangeItIsDrawnOver() {
        PLOT* c = chartOfKind("relative error");
        QVERIFY(c);
        const QCPRange before = c->View()->yAxis->range();
        QVERIFY(before.lower < -1.1 && before.upper > 0.3);
        ScriptedModals modals;
        modals.Next([&](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            QVERIFY(d.Option(17)->isChecked());  // Linear
            QCOMPARE(ParseNumber(platform::FromQ(d.Text(8)->text())).value_or(0), before.lower);
            QCOMPARE(ParseNumber(platform::FromQ(d.Text(9)->text())).value_or(0), before.upper);
            d.Command1()->click();
        });
        c->CastomDial();
        QCOMPARE(c->View()->yAxis->range().lower, before.lower);
        QCOMPARE(c->View()->yAxis->range().upper, before.upper);
        QCOMPARE(c->Pesgoa1().Number("ManualScaleControlY"), 0.0);
    }

    // Values whose range the drawing library cannot take as it is: the chart
    // draws the nearest range it can, with the points in it where they fit,
    // and the dialog shows that range.
    void extremeValuesShowTheRangeDrawn_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("pointsInView");
        QTest::addColumn<bool>("narrow");
        QTest::newRow("tiny values") << "tiny values" << true << true;
        QTest::newRow("tiny values, log axes") << "tiny values, log axes" << true << true;
        QTest::newRow("tiny manual range") << "tiny manual range" << false << true;
        QTest::newRow("huge values") << "huge values" << false << false;
        QTest::newRow("values to the limit") << "values to the limit" << false << false;
    }
    void extremeValuesShowTheRangeDrawn() {
        QFETCH(QString, kind);
        QFETCH(bool, pointsInView);
        QFETCH(bool, narrow);
        PLOT* c = chartOfKind(kind);
        QVERIFY(c);
        const QCPRange x = c->View()->xAxis->range(), y = c->View()->yAxis->range();
        QVERIFY(std::isfinite(y.lower) && std::isfinite(y.upper) && y.lower < y.upper);
        const chart::ChartModel& m = c->Pesgoa1();
        for (int p = 0; p < m.Points(); ++p) {
            const bool inView = x.contains(m.X(0, p)) && y.contains(m.Y(0, p));
            if (pointsInView) QVERIFY2(inView, qPrintable(QString("point %1").arg(p)));
        }
        if (narrow)  // drawn over the tiny range, not left at 0 to 1
            QVERIFY(y.size() < 1e-270 && (x.size() < 1e-270 || !pointsInView));
        else  // over as much of it as can be drawn
            QVERIFY(y.upper >= 1e249);
        ScriptedMessages messages;  // none expected
        ScriptedModals modals;
        modals.Next([&](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            auto shown = [&](int box) { return ParseNumber(platform::FromQ(d.Text(box)->text())).value_or(0); };
            auto near = [](double a, double b) { return std::abs(a - b) <= 1e-6 * std::max(std::abs(a), std::abs(b)); };
            QVERIFY(near(shown(2), x.upper) && near(shown(3), x.lower));
            QVERIFY2(near(shown(9), y.upper) && near(shown(8), y.lower),
                     qPrintable(d.Text(8)->text() + " " + d.Text(9)->text()));
            d.Command1()->click();
        });
        c->CastomDial();
        QCOMPARE(modals.shown().size(), std::size_t{1});
    }

    // A new background alone leaves every curve's style as drawn.
    void aNewBackgroundLeavesTheCurvesStyles() {
        PLOT* c = chartOfKind("curves");
        QVERIFY(c);
        std::vector<chart::Subset> styles = c->Pesgoa1().AllSubsets();
        ScriptedDialogs dialogs;
        ScriptedModals modals;
        modals.Next([&](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            d.TabSel(3);
            QCOMPARE(d.LineSampleCells()->Highlighted(), std::optional<int>(8));
            dialogs.ChooseColour(0xE0FFFF);
            d.Command5(3)->click();
            d.Command7()->click();
            QCOMPARE(c->Pesgoa1().Number("GraphBackColor"), double(0xE0FFFF));
            d.Command1()->click();
        });
        c->CastomDial();
        const std::vector<chart::Subset>& now = c->Pesgoa1().AllSubsets();
        QCOMPARE(now.size(), styles.size());
        for (std::size_t s = 0; s < now.size(); ++s) {
            QCOMPARE(now[s].lineType, styles[s].lineType);
            QCOMPARE(now[s].pointType, styles[s].pointType);
            QCOMPARE(now[s].colour, styles[s].colour);
            QCOMPARE(now[s].label, styles[s].label);
        }
        QCOMPARE(now[0].lineType, 8);
        QVERIFY(c->ChartChanged());
    }

    void appliesEachScaleMode_data() {
        QTest::addColumn<char>("axis");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("major");
        QTest::addColumn<QString>("minor");
        QTest::addColumn<int>("digits");
        // Scale control, manual scale control, minimum, maximum, manual
        // tick flag, major and minor spacing; NaN where the mode leaves it.
        QTest::addColumn<QList<double>>("expected");
        const double left = qQNaN();
        QTest::newRow("Y log") << 'Y' << kModeLog << "1" << "1E-10" << "" << "" << 3
                               << QList<double>{2, 3, 1e-10, 1, -1, left, left};
        QTest::newRow("Y linear") << 'Y' << kModeLinear << "0" << "-10" << "4" << "5" << 2
                                  << QList<double>{1, 3, -10, 0, -1, 2.5, 0.5};
        QTest::newRow("X linear, 1 digit") << 'X' << kModeLinear << "1E-3" << "0" << "3" << "2" << 1
                                           << QList<double>{1, 3, 0, 1e-3, -1, 3e-4, 1.5e-4};
        QTest::newRow("X auto") << 'X' << kModeAuto << "junk" << "" << "" << "" << 3
                                << QList<double>{0, 0, left, left, 0, left, left};
    }

    void appliesEachScaleMode() {
        QFETCH(char, axis);
        QFETCH(int, mode);
        QFETCH(QString, max);
        QFETCH(QString, min);
        QFETCH(QString, major);
        QFETCH(QString, minor);
        QFETCH(int, digits);
        QFETCH(QList<double>, expected);
        auto* d = new PLOT_Setup;
        test::SetAxis(d, axis, mode, max.toUtf8(), min.toUtf8(), major.toUtf8(), minor.toUtf8());
        (axis == 'X' ? d->Text10() : d->Text11())->setValue(digits);
        d->Command7()->click();
        const std::string a(1, axis);
        const std::array<std::string, 7> names{a + "AxisScaleControl", "ManualScaleControl" + a, "ManualMin" + a,
                                               "ManualMax" + a,        "Manual" + a + "AxisTicknLine",
                                               "Manual" + a + "AxisLine", "Manual" + a + "AxisTick"};
        for (std::size_t i = 0; i < names.size(); ++i) {
            const double want = expected[static_cast<qsizetype>(i)];
            if (!qIsNaN(want)) QCOMPARE(chart->Pesgoa1().Number(names[i]), want);
        }
        QVERIFY(chart->ChartChanged());
        QCOMPARE(chart->Pesgoa1().Number(a == "X" ? "ShowXAxis" : "ShowYAxis"), 0.0);
    }

    void cancelBringsTheChartBackExactlyWithItsFileName() {
        const std::string opening = chartBytes();
        ScriptedDialogs dialogs;
        auto* d = new PLOT_Setup;
        // A first change, applied: Y to log, a curve's colour and symbol.
        test::SetAxis(d, 'Y', kModeLog, "1", "1E-10");
        d->TabSel(3);
        d->GridEX1()->SetRow(2);
        d->Label4_Click(9);
        d->Label6_Click(11);
        dialogs.ChooseColour(0x0000FF);
        d->Command6()->click();
        d->Command7()->click();
        QCOMPARE(number("YAxisScaleControl"), 2.0);
        QCOMPARE(chart->Pesgoa1().At(1).pointType, 9);
        QCOMPARE(chart->Pesgoa1().At(1).colour, Colour{0x0000FF});
        // A second one: fonts, colours, sizes, labels, the X axis hidden.
        dialogs.ChooseFont({"DejaVu Sans Mono", 10, true, true});
        d->Command4(1)->click();
        dialogs.ChooseColour(0x00FF00);
        d->Command5(0)->click();
        d->Option(5)->setChecked(true);
        d->Option(6)->setChecked(true);
        d->Check1()->setChecked(false);
        d->Command7()->click();
        QCOMPARE(number("ShowXAxis"), 5.0);
        QCOMPARE(chart->Pesgoa1().Text("SubTitleFont"), std::string("DejaVu Sans Mono"));
        QVERIFY(chartBytes() != opening);

        d->Command3()->click();
        QCOMPARE(chartBytes(), opening);
        QVERIFY(!chart->ChartChanged());  // as it was opened
        QCOMPARE(chart->ChartFileName(), chartPath);
        QCOMPARE(chart->Caption(), QString("Chart h2.pg"));
        QVERIFY(!std::filesystem::exists(backup()));
        QVERIFY(!platform::IsLoaded(d));
    }

    // Cancel after an apply gives the chart back its changed flag too: an
    // unchanged chart asks for no save, a changed one still does.
    void cancelKeepsTheChangedFlagOfTheOpening_data() {
        QTest::addColumn<bool>("changedBefore");
        QTest::newRow("as saved") << false;
        QTest::newRow("changed before") << true;
    }
    void cancelKeepsTheChangedFlagOfTheOpening() {
        QFETCH(bool, changedBefore);
        if (changedBefore) chart->SetTextSize(2);
        QCOMPARE(chart->ChartChanged(), changedBefore);
        ScriptedModals modals;
        modals.Next([](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            d.Option(3)->setChecked(true);  // Large text
            d.Command7()->click();
            d.Command7()->click();
            d.Command3()->click();
        });
        chart->CastomDial();
        QCOMPARE(number("FONTSIZE"), changedBefore ? 2.0 : 1.0);
        QCOMPARE(chart->ChartChanged(), changedBefore);
    }

    void theCustomizeEntryShowsTheDialogModally() {
        ScriptedModals modals;
        modals.Next([](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            test::SetAxis(&d, 'Y', kModeLog, "1", "1E-10");
            d.Command1()->click();
        });
        chart->CastomDial();
        QCOMPARE(modals.shown(), (std::vector<QString>{"Plot Setup Chart h2.pg"}));
        QCOMPARE(number("YAxisScaleControl"), 2.0);
        QVERIFY(!std::filesystem::exists(backup()));
        QVERIFY(platform::FindForms(kChartSetupDialog).empty());

        // Esc in the dialog: the chart comes back.
        const std::string before = chartBytes();
        modals.Next([](QDialog& dialog) {
            auto& d = dynamic_cast<PLOT_Setup&>(dialog);
            d.Check2()->setChecked(false);
            d.Command7()->click();
            d.reject();
        });
        chart->CastomDial();
        QCOMPARE(chartBytes(), before);
    }

    void aMonochromeChartComesBackInMonochrome() {
        chart->Monochr();
        const std::string opening = chartBytes();
        auto* d = new PLOT_Setup;
        QVERIFY(!chart->COLORBOOLTT());
        QVERIFY(!d->Command5(0)->isEnabled());
        QVERIFY(!d->Command6()->isEnabled());
        QVERIFY(!d->Label(17)->isHidden());
        d->Check2()->setChecked(false);
        d->Command7()->click();
        d->Command3()->click();
        QVERIFY(!chart->COLORBOOLTT());
        QCOMPARE(chartBytes(), opening);
    }

    void aZeroTickSpacingIsGuardedAtLoad() {
        chart::ChartModel& m = chart->Pesgoa1();
        m.Set("YAxisScaleControl", 1.0);
        m.Set("ManualScaleControlY", 3.0);
        m.Set("ManualMinY", -10.0);
        m.Set("ManualMaxY", 0.0);
        m.Set("ManualYAxisLine", 0.0);
        m.Set("ManualYAxisTick", 0.0);
        ScriptedMessages messages;  // no message expected
        auto* d = new PLOT_Setup;
        QVERIFY(!d->LoadFailed());
        QCOMPARE(d->Text(7)->text(), QString("5"));
        QCOMPARE(d->Text(6)->text(), QString("2"));
        d->Command7()->click();
        QCOMPARE(number("ManualYAxisLine"), 0.0);  // left alone: drawn as before
        d->Text(7)->setText("2");
        d->Command7()->click();
        QCOMPARE(number("ManualYAxisLine"), 5.0);
        QCOMPARE(number("ManualYAxisTick"), 2.5);
        QVERIFY(messages.shown().empty());
    }
};

QTEST_MAIN(ChartSetupTest)
#include "ChartSetupTest.moc"
