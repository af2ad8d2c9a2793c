// The chart under the mouse and the keys: hot spots, the data cursor and
// its read-out, tool tips, rectangle zoom and its undo, selecting and
// deleting subsets, clicking chart texts into the main window's panel,
// annotations (new, edited, freed, dragged) and "All Graph Texts".
#include "ChartWindowsBed.h"

#include "ChartLoading.h"
#include "Scripted.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace kx;
using chart::kMissing;
using chart::PLOT;
using platform::testing::ScriptedMessages;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void click(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton) {
    mouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    mouse(w, QEvent::MouseButtonPress, at, b, b);
    mouse(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
}
void doubleClick(QWidget* w, QPointF at) {
    click(w, at);
    mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
void drag(QWidget* w, QPointF from, QPointF to) {
    mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k <= 5; ++k)
        mouse(w, QEvent::MouseMove, from + (to - from) * (k / 5.0), Qt::NoButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}
QPointF centre(const QRectF& r) { return r.center(); }

}  // namespace

class ChartInteractionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;
    using Bed = test::ChartWindowsBed;

    // Two curves on the Temporary Chart, laid out and active.
    PLOT* twoCurves() {
        Bed::curve({0, 1, 2, 3, 400}, {0, 1, 4, 9, 16}, "H2O");
        PLOT* c = Bed::curve({0, 1, 2, 3, 4}, {10, 8, 6, 4, 2}, "R12, 1.00E-03 (mol/g)", true, "H+O2<=>O+OH");
        Bed::layOut(c);
        platform::BringToFront(c);
        return c;
    }
    QPointF at(PLOT* c, double x, double y) { return c->View()->ToPixel(x, y); }
    // Draws what the last change queued, as the event loop would.
    static void draw(PLOT* c) { c->View()->replot(QCustomPlot::rpImmediateRefresh); }
    QString panelCaption() { return bed->main->Text8()->text(); }
    QString panelText() { return bed->main->RichTextBox6()->text(); }
    test::CallLog log;

private slots:
    void init() { bed = std::make_unique<Bed>(); }
    void cleanup() { bed.reset(); }

    void clickingAPointShowsItsValues() {
        PLOT* c = twoCurves();
        chart::ChartView* v = c->View();
        click(v, at(c, 2, 4));
        QCOMPARE(c->Pesgoa1().Number("CursorMode"), double(chart::kCursorSquare));
        QCOMPARE(c->CursorSubset(), 0);
        QCOMPARE(c->Combo1()->itemText(0), QString("X = 2.00E+00"));
        QCOMPARE(c->Combo1()->itemText(1), QString("10^X = 1.000E+02"));
        QCOMPARE(c->Combo2()->itemText(0), QString("Y = 4.000E+00"));
        QCOMPARE(c->Combo2()->itemText(1), QString("10^Y = 1.000E+04"));
        QCOMPARE(c->Combo1()->currentText(), QString("X = 2.00E+00"));
        // The arrow keys move the cursor along the curve and across curves.
        QTest::keyClick(v, Qt::Key_Right);
        QCOMPARE(c->Combo1()->itemText(0), QString("X = 3.00E+00"));
        QTest::keyClick(v, Qt::Key_Right);
        QCOMPARE(c->Combo1()->itemText(0), QString("X = 4.00E+02"));
        QCOMPARE(c->Combo1()->itemText(1), QString("10^X = Overflow"));
        QTest::keyClick(v, Qt::Key_Up);
        QCOMPARE(c->CursorSubset(), 1);
        QCOMPARE(c->Combo2()->itemText(0), QString("Y = 2.000E+00"));
        // The read-out shows the line the user picked.
        c->Combo2()->setCurrentIndex(1);
        QTest::keyClick(v, Qt::Key_Left);
        QCOMPARE(c->Combo2()->currentText(), QString("10^Y = 1.000E+04"));
        c->XYHIDESub();
        QCOMPARE(c->Pesgoa1().Number("CursorMode"), 0.0);
        QTest::keyClick(v, Qt::Key_Left);  // no cursor: the keys do nothing
        QCOMPARE(c->Combo2()->itemText(0), QString("Y = 4.000E+00"));
    }

    void hotSpotsNameWhatIsUnderTheMouse() {
        PLOT* c = twoCurves();
        c->Pesgoa1().mainTitle = "Main";
        c->Pesgoa1().xAxisLabel = "Time (sec)";
        c->Pesgoa1().yAxisLabel = "Mole Fraction";
        c->Pesgoa1().Slot(3) = chart::Annotation{1, 12, "note", 0, 0, 0};
        c->Refr();
        draw(c);
        chart::ChartView* v = c->View();
        QCOMPARE(v->HotSpotAt(at(c, 3, 4)).type, int(chart::kHotDataPoint));
        QCOMPARE(v->HotSpotAt(at(c, 3, 4)).data1, 1);
        QCOMPARE(v->HotSpotAt(at(c, 3, 4)).data2, 3);
        QCOMPARE(v->HotSpotAt(at(c, 2.5, 14)).type, int(chart::kHotNothing));
        QCOMPARE(v->HotSpotAt(centre(v->MainTitleElement()->outerRect())).type, int(chart::kHotMainTitle));
        QCOMPARE(v->HotSpotAt(at(c, 1, 12)).type, int(chart::kHotAnnotation));
        QCOMPARE(v->HotSpotAt(at(c, 1, 12)).data1, 3);
        const QCPAbstractLegendItem* second = v->legend->item(1);
        QCOMPARE(v->HotSpotAt(centre(second->rect())).type, int(chart::kHotLegend));
        QCOMPARE(v->HotSpotAt(centre(second->rect())).data1, 1);
        // The axis labels lie beside the tick labels.
        const QRectF grid = v->GridRect();
        QPointF xLabel(grid.center().x(), 0);
        for (double y = grid.bottom(); y < v->height(); y += 1)
            if (v->xAxis->getPartAt(QPointF(grid.center().x(), y)) == QCPAxis::spAxisLabel) {
                xLabel.setY(y);
                break;
            }
        QVERIFY(xLabel.y() > 0);
        QCOMPARE(v->HotSpotAt(xLabel).type, int(chart::kHotXAxisLabel));
        // A reaction's curve tells its reaction in the tool tip.
        mouse(v, QEvent::MouseMove, at(c, 3, 4), Qt::NoButton, Qt::NoButton);
        QCOMPARE(v->toolTip(), QString("H+O2<=>O+OH, 1.00E-03 (mol/g)"));
        QCOMPARE(c->HoverSubset(), 1);
        mouse(v, QEvent::MouseMove, at(c, 2, 4), Qt::NoButton, Qt::NoButton);
        QCOMPARE(v->toolTip(), QString());
        QCOMPARE(c->HoverSubset(), 0);
    }

    void chartTextsOpenInTheMainWindowsPanel() {
        PLOT* c = twoCurves();
        c->Pesgoa1().mainTitle = "Main";
        c->Refr();
        draw(c);
        click(c->View(), centre(c->View()->MainTitleElement()->outerRect()));
        QCOMPARE(panelCaption(), QString("Main Title"));
        QCOMPARE(panelText(), QString("Main"));
        QVERIFY(bed->main->RichTextBox6()->isVisible());
        bed->main->RichTextBox6()->setText("Ignition at 1000 K");
        c->View()->setFocus();
        bed->main->PlotTxtOK();
        QCOMPARE(c->Pesgoa1().mainTitle, std::string("Ignition at 1000 K"));
        QCOMPARE(c->View()->MainTitleElement()->text(), QString("Ignition at 1000 K"));
        QVERIFY(c->ChartChanged());
        draw(c);
        // A legend entry opens the subset's label.
        click(c->View(), centre(c->View()->legend->item(1)->rect()));
        QCOMPARE(panelCaption(), QString("SubSet Label"));
        QCOMPARE(bed->main->SubsetIndex(), 1);
        bed->main->RichTextBox6()->setText("OH");
        bed->main->PlotTxtOK();
        QCOMPARE(c->Pesgoa1().At(1).label, std::string("OH"));
        QCOMPARE(c->Pesgoa1().At(0).label, std::string("H2O"));
    }

    void zoomAndItsUndo_data() {
        QTest::addColumn<double>("scale");
        QTest::newRow("ordinary values") << 1.0;
        QTest::newRow("microseconds and small fractions") << 1e-7;
    }
    void zoomAndItsUndo() {
        QFETCH(double, scale);
        Bed::curve({0, scale, 2 * scale, 3 * scale}, {0, scale, 4 * scale, 9 * scale}, "small");
        PLOT* c = chart::TemporaryChart();
        Bed::layOut(c);
        chart::ChartView* v = c->View();
        const QCPRange full = v->xAxis->range();
        drag(v, at(c, 0.5 * scale, 6 * scale), at(c, 1.5 * scale, 2 * scale));
        QVERIFY(v->Zoomed());
        QVERIFY(v->xAxis->range().size() < full.size() / 2);
        QVERIFY(std::abs(v->xAxis->range().lower - 0.5 * scale) < 0.05 * scale);
        // A redraw keeps the zoom; Esc leaves it.
        c->Refr();
        QVERIFY(v->Zoomed());
        QTest::keyClick(v, Qt::Key_Escape);
        QVERIFY(!v->Zoomed());
        QCOMPARE(v->xAxis->range(), full);
        // The same through the menu.
        drag(v, at(c, 0.5 * scale, 6 * scale), at(c, 1.5 * scale, 2 * scale));
        QVERIFY(v->Zoomed());
        c->UndoZM();
        QCOMPARE(v->xAxis->range(), full);
    }

    void escapeEndsEveryModeOnce() {
        PLOT* c = twoCurves();
        chart::ChartView* v = c->View();
        click(v, at(c, 2, 4));
        c->NewAnnotation();
        QVERIFY(bed->main->Text8()->isVisible());
        drag(v, at(c, 0.5, 12), at(c, 2.5, 2));
        QVERIFY(v->Zoomed());
        QTest::keyPress(v, Qt::Key_Escape);
        QVERIFY(!v->Zoomed());
        QCOMPARE(c->Pesgoa1().Number("CursorMode"), 0.0);
        QVERIFY(!bed->main->Text8()->isVisible());
        QVERIFY(bed->main->RichTextBox6()->text().isEmpty());
        // A second Esc before the key comes up does nothing.
        drag(v, at(c, 0.5, 12), at(c, 2.5, 2));
        QTest::keyPress(v, Qt::Key_Escape);
        QVERIFY(v->Zoomed());
        QTest::keyRelease(v, Qt::Key_Escape);
        QTest::keyClick(v, Qt::Key_Escape);
        QVERIFY(!v->Zoomed());
    }

    void aDoubleClickSelectsASubsetAndDeleteRemovesIt() {
        PLOT* c = twoCurves();
        chart::ChartView* v = c->View();
        QVERIFY(!c->findChild<QAction*>("CUTPLOT")->isEnabled());
        doubleClick(v, at(c, 3, 4));
        QCOMPARE(c->SelectedSubset(), 1);
        QVERIFY(c->findChild<QAction*>("CUTPLOT")->isEnabled());
        QVERIFY(bed->main->Toolbar2()->Button(chart::toolbar2::kCopy)->isEnabled());
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(c->Pesgoa1().Subsets(), 1);
        QCOMPARE(c->Pesgoa1().At(0).label, std::string("H2O"));
        QCOMPARE(c->SelectedSubset(), -1);
        QVERIFY(c->ChartChanged());
        // Without a selection Delete over a point or legend entry changes nothing.
        mouse(v, QEvent::MouseMove, at(c, 2, 4), Qt::NoButton, Qt::NoButton);
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(c->Pesgoa1().Subsets(), 1);
    }

    void aSlowSecondClickSelectsNothing() {
        PLOT* c = twoCurves();
        click(c->View(), at(c, 3, 4));
        bed->clock->Advance(600);  // the click is forgotten after half a second
        mouse(c->View(), QEvent::MouseButtonDblClick, at(c, 3, 4), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(c->SelectedSubset(), -1);
    }

    void theRightButtonOpensThePopUpMenu() {
        PLOT* c = twoCurves();
        c->SetTextSize(2);
        click(c->View(), at(c, 2.5, 14), Qt::RightButton);
        auto* popup = c->findChild<QMenu*>("POPMENU");
        QVERIFY(popup->isVisible());
        QVERIFY(c->findChild<QAction*>("FONTSmall")->isChecked());
        QVERIFY(!c->findChild<QAction*>("FONTLADGE")->isChecked());
        QVERIFY(c->findChild<QAction*>("POINTMEDIUM")->isChecked());
        popup->hide();
    }

    void anotherChartTakingOverClosesThePanel() {
        PLOT* first = twoCurves();
        auto* second = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
        second->SetCaption("Chart other.pg");
        shell::ShowForm(second);
        platform::BringToFront(first);
        first->NewAnnotation();
        QVERIFY(bed->main->RichTextBox6()->isVisible());
        QCOMPARE(Shared().LastActiveChart, std::string("Temporary Chart "));
        platform::BringToFront(second);
        QVERIFY(!bed->main->RichTextBox6()->isVisible());
        QCOMPARE(Shared().LastActiveChart, std::string("Chart other.pg"));
        // The chart's own toolbar set, with Save for a chart of a file.
        QVERIFY(bed->main->Toolbar2()->isVisible());
        QVERIFY(bed->main->Toolbar2()->Button(chart::toolbar2::kSave)->isEnabled());
    }

    void closingAChartClosesItsPanel() {
        PLOT* c = twoCurves();
        c->NewAnnotation();
        QVERIFY(bed->main->RichTextBox6()->isVisible());
        Shared().NewChartPending = true;
        QVERIFY(platform::Unload(c));
        QVERIFY(!bed->main->RichTextBox6()->isVisible());
        QVERIFY(!bed->main->Toolbar2()->isVisible());
    }

    void deleteEmptiesTheTextUnderTheMouse() {
        PLOT* c = twoCurves();
        c->Pesgoa1().mainTitle = "Main";
        c->Pesgoa1().subTitle = "Sub";
        c->Pesgoa1().Slot(0) = chart::Annotation{1, 12, "note", 0, 0, 0};
        c->Refr();
        draw(c);
        chart::ChartView* v = c->View();
        mouse(v, QEvent::MouseMove, centre(v->SubTitleElement()->outerRect()), Qt::NoButton, Qt::NoButton);
        QTest::keyClick(v, Qt::Key_Delete);
        QCOMPARE(c->Pesgoa1().subTitle, Shared().PlotSubtitle);
        mouse(v, QEvent::MouseMove, at(c, 1, 12), Qt::NoButton, Qt::NoButton);
        QTest::keyClick(v, Qt::Key_Delete);
        QVERIFY(c->Pesgoa1().Slot(0).Free());
        QCOMPARE(c->Pesgoa1().Slot(0).text, std::string("Empty"));
        QCOMPARE(c->Pesgoa1().Slot(0).x, kMissing);
        QCOMPARE(c->Pesgoa1().mainTitle, std::string("Main"));
    }

    void newAnnotationsStandInTheMiddleOfTheFirstFreeSlot() {
        PLOT* c = twoCurves();
        chart::ChartModel& m = c->Pesgoa1();
        m.Slot(0) = chart::Annotation{1, 1, "taken", 0, 7, 0};
        m.Slot(1).text = "Empty";
        m.Slot(1).x = 2;
        m.Slot(1).type = 3;
        c->Refr();
        c->findChild<QAction*>("NEWANNOTATION")->trigger();
        QCOMPARE(panelCaption(), QString("New Annotation"));
        QVERIFY(panelText().isEmpty());
        bed->main->RichTextBox6()->setText("   ");
        bed->main->PlotTxtOK();
        QVERIFY(m.Slot(1).Free());  // blanks make none
        bed->main->Text8()->setText("New Annotation");
        bed->main->RichTextBox6()->setText("  ignition  ");
        bed->main->PlotTxtOK();
        const chart::Annotation& a = m.Slot(1);
        QCOMPARE(a.text, std::string("ignition"));
        QCOMPARE(a.type, 7);  // taken from slot 0
        const QPointF middle = c->View()->ToGraph(c->View()->GridRect().center());
        QVERIFY(std::abs(a.x - middle.x()) < 0.01 * 400);
        QVERIFY(std::abs(a.y - middle.y()) < 0.01 * 16);
        QVERIFY(c->View()->AnnotationItem(1));
        // With every slot taken nothing is placed and the user is told.
        for (int i = 0; i < chart::kAnnotationSlots; ++i) m.Slot(i) = chart::Annotation{1, 1, "x", 0, 0, 0};
        ScriptedMessages messages;
        bed->main->Text8()->setText("New Annotation");
        bed->main->RichTextBox6()->setText("one more");
        bed->main->PlotTxtOK();
        QVERIFY(messages.lastText().startsWith("All 101 annotations of this chart are in use."));
    }

    // A text window made active takes the panel out of sight; back on the
    // chart, its text is still there and OK places the annotation.
    void theNewAnnotationPanelIsTheChartsOnly() {
        PLOT* c = twoCurves();
        bed->main->Toolbar2()->Button(QString("ANNOTATIONS"))->trigger();
        bed->main->RichTextBox6()->setText("ignition");
        auto* text = new test::StubTextWindow(log);
        text->SetCaption("notes.txt");
        shell::PlaceForm(text);
        shell::ShowForm(text);
        platform::BringToFront(text);
        for (QWidget* w : std::initializer_list<QWidget*>{bed->main->Text8(), bed->main->RichTextBox6(),
                                                          bed->main->Command3()})
            QVERIFY(!w->isVisible());
        platform::BringToFront(c);
        QVERIFY(bed->main->Command3()->isVisible());
        QCOMPARE(panelText(), QString("ignition"));
        ScriptedMessages messages;
        bed->main->Command3()->click();
        QVERIFY(messages.shown().empty());
        bool placed = false;
        for (int i = 0; i < chart::kAnnotationSlots; ++i) placed = placed || c->Pesgoa1().Slot(i).text == "ignition";
        QVERIFY(placed);
    }

    void annotationsAreEditedDraggedAndFreed() {
        PLOT* c = twoCurves();
        chart::ChartModel& m = c->Pesgoa1();
        m.Slot(5) = chart::Annotation{1, 12, "note", 0, 0, 0};
        c->Refr();
        draw(c);
        chart::ChartView* v = c->View();
        // Dragged inside the plotting area.
        drag(v, at(c, 1, 12), at(c, 3, 6));
        QVERIFY(!v->Zoomed());
        QVERIFY(!c->AnnotationMoving());
        QVERIFY(std::abs(m.Slot(5).x - 3) < 0.05 * 400);
        QVERIFY(std::abs(m.Slot(5).y - 6) < 0.05 * 16);
        QVERIFY(c->ChartChanged());
        // Clicked: its text in the panel; OK writes it back.
        click(v, at(c, m.Slot(5).x, m.Slot(5).y));
        QCOMPARE(panelCaption(), QString("Annotation"));
        QCOMPARE(panelText(), QString("note"));
        QCOMPARE(c->MovingAnnotation(), 5);
        bed->main->RichTextBox6()->setText("peak");
        bed->main->PlotTxtOK();
        QCOMPARE(m.Slot(5).text, std::string("peak"));
        // An empty text removes it.
        bed->main->Text8()->setText("Annotation");
        bed->main->RichTextBox6()->setText(" ");
        bed->main->PlotTxtOK();
        QVERIFY(m.Slot(5).Free());
        QCOMPARE(m.Slot(5).x, kMissing);
        QVERIFY(!v->AnnotationItem(5));
    }

    void allGraphTextsFillOnlyWhatIsEmpty() {
        PLOT* c = twoCurves();
        chart::ChartModel& m = c->Pesgoa1();
        m.mainTitle.clear();
        m.yAxisLabel = "Mole Fraction";
        m.At(0).label.clear();
        m.Set("ShowLegend", 0.0);
        c->SHOWALLTEXT();
        QCOMPARE(m.mainTitle, std::string("Main Title"));
        QCOMPARE(m.subTitle, std::string("SubTitle"));  // ten blanks show nothing
        QCOMPARE(m.yAxisLabel, std::string("Mole Fraction"));
        QCOMPARE(m.At(0).label, std::string("Subset 1"));
        QCOMPARE(m.At(1).label, std::string("R12, 1.00E-03 (mol/g)"));
        QVERIFY(m.Flag("ShowLegend"));
        QVERIFY(c->View()->legend->visible());
    }
};

QTEST_MAIN(ChartInteractionTest)
#include "ChartInteractionTest.moc"
