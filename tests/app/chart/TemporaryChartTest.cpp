// The Temporary Chart: built anew and appended to by the curves of other
// windows, its labels and axis titles, the histogram's signed bars, and
// closing it with its save question.
#include "ChartWindowsBed.h"

#include "ChartFile.h"
#include "ChartLoading.h"
#include "Scripted.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace kx;
using chart::kMissing;
using chart::PLOT;
using platform::testing::ScriptedDialogs;
using platform::testing::ScriptedMessages;

class TemporaryChartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;
    using Bed = test::ChartWindowsBed;

private slots:
    void init() { bed = std::make_unique<Bed>(); }
    void cleanup() { bed.reset(); }

    void aCurveBuildsTheTemporaryChart() {
        QVERIFY(!chart::IsTemporaryChartOpen());
        PLOT* c = Bed::curve({0, 1, 2}, {1, 2, 3}, "Mole Fraction H2O");
        QVERIFY(c);
        QVERIFY(chart::IsTemporaryChartOpen());
        QCOMPARE(c->Caption(), QString("Temporary Chart "));
        QVERIFY(shell::FormVisible(c));
        const chart::ChartModel& m = c->Pesgoa1();
        QCOMPARE(m.Subsets(), 1);
        QCOMPARE(m.At(0).x, (std::vector<double>{0, 1, 2}));
        QCOMPARE(m.At(0).label, std::string("Mole Fraction H2O"));
        QCOMPARE(m.subTitle, std::string("Mole Fraction H2O"));
        QCOMPARE(m.xAxisLabel, std::string("Time (sec)"));
        QCOMPARE(m.yAxisLabel, std::string("Y-Axis"));
        // Not an "R" legend: no long label.
        QCOMPARE(m.At(0).longLabel1, std::string());
        QVERIFY(c->View()->SubsetCurve(0));
        // A second curve without adding rebuilds the chart in the same window.
        PLOT* again = Bed::curve({0, 1}, {5, 6}, "Temperature");
        QCOMPARE(again, c);
        QCOMPARE(c->Pesgoa1().Subsets(), 1);
        QCOMPARE(c->Pesgoa1().At(0).label, std::string("Temperature"));
        QCOMPARE(platform::FindForms("PLOT").size(), std::size_t(1));
    }

    void curvesAreDrawnWithTheirGaps() {
        // A horizontal line at y = 1 with a missing point at x = 5.
        PLOT* c = Bed::curve({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {1, 1, 1, 1, 1, kMissing, 1, 1, 1, 1, 1}, "gap");
        c->Pesgoa1().At(0).colour = 0x0000FF;
        c->Pesgoa1().At(0).lineType = 6;  // solid, 3 pixels wide
        c->Pesgoa1().Set("MarkDataPoints", 0.0);
        Bed::layOut(c);
        c->Refr();
        chart::ChartView* v = c->View();
        v->replot(QCustomPlot::rpImmediateRefresh);
        const QImage picture = v->ToImage(v->size());
        auto colourAt = [&](double x) { return QColor(picture.pixel(v->ToPixel(x, 1).toPoint())); };
        QCOMPARE(colourAt(1.5), QColor(255, 0, 0));
        QCOMPARE(colourAt(8.5), QColor(255, 0, 0));
        QVERIFY(colourAt(4.6) != QColor(255, 0, 0));
        QVERIFY(colourAt(5.4) != QColor(255, 0, 0));
    }

    void appendedCurvesFollowTheChartsOwn() {
        Bed::curve({0, 1, 2}, {1, 2, 3}, "first");
        PLOT* c = Bed::curve({0, 1, 2, 3}, {4, 5, 6, 7}, "R12, second", true, std::string(49, 'x'));
        QVERIFY(c);
        const chart::ChartModel& m = c->Pesgoa1();
        QCOMPARE(m.Subsets(), 2);
        QCOMPARE(m.Points(), 4);
        QCOMPARE(m.At(0).x, (std::vector<double>{0, 1, 2, kMissing}));
        QCOMPARE(m.At(1).y, (std::vector<double>{4, 5, 6, 7}));
        QCOMPARE(m.At(1).longLabel1, std::string(48, 'x'));
        QCOMPARE(m.At(1).longLabel2, std::string("x"));
        // Several curves: no curve's name as subtitle.
        QCOMPARE(m.subTitle, Shared().PlotSubtitle);
        QVERIFY(c->View()->SubsetCurve(1));
        QVERIFY(c->ChartChanged());
    }

    void theAddFlagComesBackClearedAndAloneBuildsAnew() {
        // Adding with no Temporary Chart open builds one with this curve.
        bool failed = true, add = true;
        chart::ShowTemporaryChart(3, {{0, 1}, {2, 3}}, 0, failed, "", "a", false, add, 1);
        QVERIFY(!failed);
        QVERIFY(!add);
        QCOMPARE(chart::TemporaryChart()->Pesgoa1().Subsets(), 1);
        add = false;
        chart::ShowTemporaryChart(3, {{0, 1}, {2, 3}}, 0, failed, "", "b", true, add, 1);
        QCOMPARE(chart::TemporaryChart()->Pesgoa1().Subsets(), 1);
    }

    void longLabelsSplitAtFortyEightCharacters_data() {
        QTest::addColumn<QString>("legend");
        QTest::addColumn<int>("tipLength");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("rest");
        QTest::newRow("48") << "R1, x" << 48 << QString(48, 'a') << "Empty";
        QTest::newRow("49") << "R1, x" << 49 << QString(48, 'a') << "a";
        QTest::newRow("short") << "R1, x" << 5 << QString(5, 'a') << "Empty";
        QTest::newRow("not R") << "r1, x" << 60 << "" << "";
    }
    void longLabelsSplitAtFortyEightCharacters() {
        QFETCH(QString, legend);
        QFETCH(int, tipLength);
        QFETCH(QString, first);
        QFETCH(QString, rest);
        PLOT* c = Bed::curve({0, 1}, {1, 2}, legend.toStdString(), false, std::string(static_cast<std::size_t>(tipLength), 'a'));
        QCOMPARE(QString::fromStdString(c->Pesgoa1().At(0).longLabel1), first);
        QCOMPARE(QString::fromStdString(c->Pesgoa1().At(0).longLabel2), rest);
    }

    void timeAxisLabels_data() {
        QTest::addColumn<bool>("logTime");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("label");
        QTest::newRow("plain") << false << 1.0 << "Time (sec)";
        QTest::newRow("log") << true << 1.0 << "Log10 Time (sec)";
        QTest::newRow("scaled") << false << 1000.0 << "Time (sec) x 1.0E+03";
        QTest::newRow("log scaled") << true << 1e6 << "Log10 Time x 1.0E+06 (sec)";
    }
    void timeAxisLabels() {
        QFETCH(bool, logTime);
        QFETCH(double, scale);
        QFETCH(QString, label);
        Shared().LogTimeAxis = logTime;
        PLOT* c = Bed::curve({0, 1}, {1, 2}, "a", false, "", scale);
        QCOMPARE(QString::fromStdString(c->Pesgoa1().xAxisLabel), label);
        // Appending labels the axis again.
        c = Bed::curve({0, 1}, {1, 2}, "b", true, "", scale);
        QCOMPARE(QString::fromStdString(c->Pesgoa1().xAxisLabel), label);
    }

    void steadyStateCurvesArePointsAlone() {
        PLOT* c = Bed::curve({0, 1}, {1, 1}, "OH Steady State Interval");
        QCOMPARE(c->Pesgoa1().At(0).pointType, 6);
        QCOMPARE(c->Pesgoa1().At(0).lineType, chart::kLineTypeNone);
        c = Bed::curve({0, 1}, {2, 2}, "x", true, "Steady State Interval");
        QCOMPARE(c->Pesgoa1().At(1).pointType, 6);
        QCOMPARE(c->Pesgoa1().At(1).lineType, chart::kLineTypeNone);
        QCOMPARE(c->View()->SubsetCurve(1)->lineStyle(), QCPCurve::lsNone);
    }

    void aRebuildMakesASavedChartUnsavedAgain() {
        PLOT* c = Bed::curve({0, 1}, {1, 2}, "a");
        ScriptedDialogs dialogs;
        const std::string path = bed->folder.dir.file("saved.pg");
        dialogs.ChooseSave(QString::fromStdString(path));
        bool cancelled = false;
        QVERIFY(c->SaveGraphTT(cancelled));
        QVERIFY(c->ChartSavedToFile());
        QVERIFY(!c->ChartChanged());
        Bed::curve({0, 1}, {7, 8}, "new content");
        QVERIFY(c->ChartChanged());
        // So closing asks before the new curve is lost.
        ScriptedMessages messages;
        messages.Answer(platform::kAnswerCancel);
        QVERIFY(!platform::Unload(c));
        QCOMPARE(messages.lastText(), QString("Do you want to save the 'Temporary Chart'?"));
    }

    void newChartPendingEndsWithTheRebuild() {
        Shared().NewChartPending = true;
        Bed::curve({0, 1}, {1, 2}, "a");
        QVERIFY(!Shared().NewChartPending);
        // Also when the rebuild fails.
        Shared().NewChartPending = true;
        ScriptedMessages messages;
        bool failed = false, add = false;
        chart::ShowTemporaryChart(40000, {{0}, {1}}, 0, failed, "", "a", false, add, 1);
        QVERIFY(failed);
        QVERIFY(messages.lastText().startsWith("Sol#107. "));
        QVERIFY(!Shared().NewChartPending);
    }

    void histogramsAreSignedBars() {
        Bed::histogramHandOff({2.5, -1.0, 0.5});
        PLOT* c = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
        c->SetCaption(chart::kTemporaryChartCaption);
        c->Intit(0, true);
        QVERIFY(c->Pesgoa1().histogram);
        QCOMPARE(c->Pesgoa1().Number("ManualScaleControlX"), 0.0);
        Shared().NewChartPending = true;
        chart::PlotSignedBarChart(4, true, {"", "Derivative", "R2", "R3"}, 1);
        QVERIFY(!Shared().ChartRebuilding);
        QVERIFY(!Shared().NewChartPending);
        chart::ChartView* view = c->View();
        QCOMPARE(view->BarCount(), 3);
        QVERIFY(view->SubsetCurve(0));   // the zero line
        QVERIFY(!view->SubsetCurve(1));  // a bar
        auto labels = view->yAxis->ticker().dynamicCast<QCPAxisTickerText>();
        QVERIFY(labels);
        QCOMPARE(labels->ticks().value(2), QString("R2"));
        // The bars survive a save and a reopen.
        const std::string path = bed->folder.dir.file("histogram.pg");
        chart::WriteChartFile(c->Pesgoa1(), path);
        PLOT* reopened = new PLOT;
        bool err = true;
        std::string caption;
        reopened->OPENPLOT(path, err, caption);
        QVERIFY(!err);
        QCOMPARE(reopened->View()->BarCount(), 3);
        QVERIFY(reopened->Pesgoa1().histogram);
    }

    void histogramsOfManyReactionsKeepEveryLabel() {
        std::vector<double> values(150, 1.0);
        Bed::histogramHandOff(values);
        PLOT* c = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
        c->SetCaption(chart::kTemporaryChartCaption);
        c->Intit(0, true);
        chart::ChartModel& m = c->Pesgoa1();
        for (int s = 1; s <= 150; ++s) {
            m.At(s).longLabel1 = "reaction " + std::to_string(s);
            m.At(s).longLabel2 = "Empty";
        }
        m.histogram = true;
        chart::PlotSignedBarChart(151, false, {}, 1);
        QCOMPARE(m.At(150).longLabel1, std::string("reaction 150"));
        QVERIFY(m.histogram);
        QCOMPARE(chart::SubsetToolTip(m.At(120)), std::string("reaction 120, 1.00E-03 (mol/g)"));
    }

    void closingTheTemporaryChart_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("saveDialog");  // 0 none, 1 chosen, 2 cancelled, 3 a folder that does not exist
        QTest::addColumn<bool>("closes");
        QTest::newRow("yes, saved") << int(platform::kAnswerYes) << 1 << true;
        QTest::newRow("yes, save cancelled") << int(platform::kAnswerYes) << 2 << false;
        QTest::newRow("yes, save failed") << int(platform::kAnswerYes) << 3 << false;
        QTest::newRow("no") << int(platform::kAnswerNo) << 0 << true;
        QTest::newRow("cancel") << int(platform::kAnswerCancel) << 0 << false;
    }
    void closingTheTemporaryChart() {
        QFETCH(int, answer);
        QFETCH(int, saveDialog);
        QFETCH(bool, closes);
        PLOT* c = Bed::curve({0, 1}, {1, 2}, "a");
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        messages.Answer(answer);
        const std::string path = bed->folder.dir.file(saveDialog == 3 ? "missing/folder/c.pg" : "c.pg");
        if (saveDialog == 1 || saveDialog == 3) dialogs.ChooseSave(QString::fromStdString(path));
        if (saveDialog == 2) dialogs.Cancel(ScriptedDialogs::Kind::Save);
        QCOMPARE(platform::Unload(c), closes);
        QCOMPARE(messages.shown().front().text, QString("Do you want to save the 'Temporary Chart'?"));
        QCOMPARE(messages.shown().front().style, platform::kMsgQuestion + platform::kMsgYesNoCancel);
        QCOMPARE(Shared().CloseRefused, !closes);
        if (saveDialog == 1) QVERIFY(files::Exists(path));
        if (saveDialog == 3) QVERIFY(messages.lastText().startsWith("Plot#065. "));
        if (!closes) {
            QVERIFY(platform::IsLoaded(c));
            QCOMPARE(c->Pesgoa1().Subsets(), 1);
        }
    }

    void closingWhileANewChartIsPendingAsksNothing() {
        PLOT* c = Bed::curve({0, 1}, {1, 2}, "a");
        Shared().NewChartPending = true;
        ScriptedMessages messages;
        QVERIFY(platform::Unload(c));
        QVERIFY(messages.shown().empty());
    }
};

QTEST_MAIN(TemporaryChartTest)
#include "TemporaryChartTest.moc"
