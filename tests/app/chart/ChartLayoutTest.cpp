// The chart's layout at any size, on the screen, in a picture and on a
// page: the legend beside or below the plot without narrowing it, long
// labels shortened (the whole label in the tool tip), and a histogram's bar
// labels that never overlap.
#include "ChartWindowsBed.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace kx;
using chart::LegendPlace;
using chart::PLOT;

Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

const std::vector<std::string> kRates = {"R12, Log10(to {CH4} Deriv x 1.00E+03) (mol/g sec)",
                                         "R38, Log10(to {CH4} Deriv x 1.00E+03) (mol/g sec)",
                                         "R97, Log10(to {CH4} Deriv x 1.00E+03) (mol/g sec)",
                                         "R118, Log10(to {CH4} Deriv x 1.00E+03) (mol/g sec)"};
const std::vector<std::string> kComparison = {"F1, CH4 (mol/cm^3)", "F2, CH4 (mol/cm^3)", "F1, OH (mol/cm^3)",
                                              "F2, OH (mol/cm^3)"};
const std::vector<std::string> kShort = {"H2", "O2", "H2O"};

std::vector<std::string> species(int n) {
    std::vector<std::string> labels;
    for (int k = 1; k <= n; ++k) labels.push_back("Species " + std::to_string(k));
    return labels;
}

// What one layout made: the chart's size and where its parts went.
struct Layout {
    QRect chart;
    QRect legend;
    bool legendShown = false;
    QRect plot;    // the plot with its axes
    QRectF grid;   // the plotting area
    std::vector<QRect> entries;
};

Layout layoutOf(chart::ChartView* v) {
    Layout l{v->viewport(), v->legend->outerRect(), v->legend->visible(), v->axisRect()->outerRect(), v->GridRect(), {}};
    for (int i = 0; i < v->legend->itemCount(); ++i)
        if (const QCPAbstractLegendItem* item = v->legend->item(i)) l.entries.push_back(item->outerRect());
    return l;
}

// Where the legend shows a subset's entry.
QRect entryOf(chart::ChartView* v, int subset) {
    for (int i = 0; i < v->legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(v->legend->item(i));
            item && item->plottable() == v->SubsetCurve(subset))
            return item->rect();
    return {};
}

// The checks every layout passes: the legend inside the chart, clear of
// the plot, no wider than its share beside it and no taller below it,
// its entries inside it; the plotting area keeps most of the width.
void checkLayout(const Layout& l, LegendPlace place) {
    QVERIFY2(l.grid.width() >= 0.55 * l.chart.width(),
             qPrintable(QString("plot %1 of %2").arg(l.grid.width()).arg(l.chart.width())));
    if (!l.legendShown) return;
    QVERIFY(l.chart.contains(l.legend));
    QVERIFY(!l.legend.intersects(l.plot));
    if (place == LegendPlace::Right) {
        QVERIFY(l.legend.width() <= chart::kLegendWidthShare * l.chart.width());
        QVERIFY(l.legend.right() < l.chart.right() - 4);  // the border line with room beside it
    } else {
        QVERIFY(l.legend.height() <= chart::kLegendHeightShare * l.chart.height());
        QVERIFY(l.legend.bottom() < l.chart.bottom() - 2);
    }
    for (const QRect& e : l.entries)
        QVERIFY2(l.legend.contains(e), qPrintable(QString("entry %1,%2 %3x%4 outside the legend %5,%6 %7x%8")
                                                      .arg(e.x()).arg(e.y()).arg(e.width()).arg(e.height())
                                                      .arg(l.legend.x()).arg(l.legend.y()).arg(l.legend.width())
                                                      .arg(l.legend.height())));
}

void mouseMove(QWidget* w, QPointF at) {
    QMouseEvent e(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class ChartLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::ChartWindowsBed> bed;
    using Bed = test::ChartWindowsBed;

    static PLOT* curves(const std::vector<std::string>& labels) {
        PLOT* c = nullptr;
        for (std::size_t k = 0; k < labels.size(); ++k)
            c = Bed::curve({0, 1e-4, 2e-4, 3e-4}, {1.0 + k, 0.5 + k, 0.2, 0.1}, labels[k], k > 0, "CH4 + OH <=> CH3 + H2O");
        Bed::layOut(c);
        return c;
    }

    // The chart laid out at a size, as a window of that size shows it.
    static void layOutAt(PLOT* c, QSize size) {
        c->View()->setViewport(QRect(QPoint(0, 0), size));
        c->View()->replot(QCustomPlot::rpImmediateRefresh);
    }

    // The layouts a drawing made away from the screen's.
    static std::vector<Layout> layoutsWhile(chart::ChartView* v, const std::function<void()>& draw) {
        std::vector<Layout> seen;
        const QRect screen = v->viewport();
        auto connection = QObject::connect(v, &QCustomPlot::afterLayout, [&] {
            if (v->viewport() != screen) seen.push_back(layoutOf(v));
        });
        draw();
        QObject::disconnect(connection);
        return seen;
    }

    // Bar k: "Derivative" first, then reactions "R<3k>"; the lengths run
    // from 1 to 7 again and again, of alternating sign: bar 7 is the first
    // of the longest.
    static QString barName(int k) { return k == 1 ? QString("Derivative") : QString("R%1").arg(3 * k); }
    static PLOT* histogram(int reactions, bool labels) {
        std::vector<double> values;
        for (int k = 0; k < reactions; ++k) values.push_back((k % 2 ? -1.0 : 1.0) * (1 + k % 7));
        Bed::histogramHandOff(values);
        PLOT* c = chart::TemporaryChart();
        if (!c) c = static_cast<PLOT*>(shell::LoadForm(shell::kChartWindow));
        c->SetCaption(chart::kTemporaryChartCaption);
        c->Intit(0, true);
        std::vector<std::string> names = {""};
        for (int k = 1; k <= reactions; ++k) names.push_back(barName(k).toStdString());
        Shared().NewChartPending = true;
        chart::PlotSignedBarChart(reactions + 1, labels, names, 1);
        Bed::layOut(c);
        return c;
    }

    // The bar labels drawn: their pixel heights on the Y axis and texts.
    static std::vector<std::pair<double, QString>> barLabels(chart::ChartView* v) {
        std::vector<std::pair<double, QString>> out;
        const QVector<double> ticks = v->yAxis->tickVector();
        const QVector<QString> texts = v->yAxis->tickVectorLabels();
        for (int i = 0; i < ticks.size(); ++i)
            if (v->yAxis->range().contains(ticks[i])) out.emplace_back(v->yAxis->coordToPixel(ticks[i]), texts[i]);
        return out;
    }

    // No two bar labels overlap: their heights lie a text line apart.
    static void checkNoOverlap(chart::ChartView* v) {
        const auto labels = barLabels(v);
        const int line = QFontMetrics(v->yAxis->tickLabelFont()).height();
        for (std::size_t i = 1; i < labels.size(); ++i)
            QVERIFY2(std::abs(labels[i].first - labels[i - 1].first) >= line,
                     qPrintable(labels[i - 1].second + " and " + labels[i].second));
    }

private slots:
    void init() { bed = std::make_unique<Bed>(); }
    void cleanup() {
        Shared().NewChartPending = true;
        bed.reset();
    }

    void theLegendLeavesThePlotMostOfTheChart_data() {
        QTest::addColumn<std::vector<std::string>>("labels");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("short labels beside") << kShort << QSize(600, 600) << int(LegendPlace::Right) << false;
        QTest::newRow("rates below, whole") << kRates << QSize(600, 600) << int(LegendPlace::Below) << false;
        QTest::newRow("rates in a small chart") << kRates << QSize(300, 300) << int(LegendPlace::Below) << true;
        QTest::newRow("rates in a wide chart") << kRates << QSize(1400, 700) << int(LegendPlace::Right) << false;
        QTest::newRow("comparison") << kComparison << QSize(600, 600) << -1 << false;
        QTest::newRow("comparison, small") << kComparison << QSize(320, 260) << -1 << false;
        QTest::newRow("53 species") << species(53) << QSize(600, 600) << int(LegendPlace::Below) << true;
        QTest::newRow("53 species, large") << species(53) << QSize(1400, 900) << -1 << false;
    }
    void theLegendLeavesThePlotMostOfTheChart() {
        QFETCH(std::vector<std::string>, labels);
        QFETCH(QSize, size);
        QFETCH(int, place);
        QFETCH(bool, shortened);
        PLOT* c = curves(labels);
        chart::ChartView* v = c->View();
        layOutAt(c, size);
        const chart::LegendPlan& plan = v->LegendLayout();
        if (place >= 0) QCOMPARE(int(plan.place), place);
        QVERIFY(plan.place != LegendPlace::Hidden);
        checkLayout(layoutOf(v), plan.place);
        bool anyShortened = false;
        for (int s = 0; s < c->Pesgoa1().Subsets(); ++s) {
            const QString shown = v->LegendEntryText(s);
            const QString label = QString::fromStdString(labels[static_cast<std::size_t>(s)]);
            // A shortened label keeps its beginning and ends in an ellipsis;
            // the chart keeps the whole label.
            if (v->LegendEntryShortened(s)) {
                anyShortened = true;
                QVERIFY(shown.endsWith(QChar(0x2026)));
                QVERIFY(label.startsWith(shown.chopped(1)));
            } else {
                QCOMPARE(shown, label);
            }
            QCOMPARE(c->Pesgoa1().At(s).label, labels[static_cast<std::size_t>(s)]);
        }
        if (place >= 0) QCOMPARE(anyShortened, shortened);
    }

    void theLayoutFollowsTheWindowsSize() {
        PLOT* c = curves(kRates);
        chart::ChartView* v = c->View();
        for (QSize size : {QSize(900, 700), QSize(420, 360), QSize(260, 220)}) {
            c->resize(size);
            QCoreApplication::processEvents();
            v->replot(QCustomPlot::rpImmediateRefresh);
            QCOMPARE(v->viewport().size(), v->size());
            // The window shows the chart whole, without scrolling.
            QVERIFY(v->width() <= size.width());
            checkLayout(layoutOf(v), v->LegendLayout().place);
        }
    }

    void aShortenedEntryShowsItsWholeLabelAsToolTip() {
        PLOT* c = curves(kRates);
        chart::ChartView* v = c->View();
        layOutAt(c, QSize(300, 300));
        QVERIFY(v->LegendEntryShortened(3));
        mouseMove(v, entryOf(v, 3).center());
        QCOMPARE(c->HoverSubset(), 3);
        QCOMPARE(v->toolTip(), QString::fromStdString(kRates[3]));
        // An entry shown whole needs none.
        layOutAt(c, QSize(900, 700));
        QVERIFY(!v->LegendEntryShortened(3));
        mouseMove(v, entryOf(v, 3).center());
        QCOMPARE(v->toolTip(), QString());
    }

    void theLegendHidesWhenItIsOffOrHasNoRoom() {
        PLOT* c = curves(species(53));
        layOutAt(c, QSize(200, 160));
        QVERIFY(!c->View()->legend->visible());
        layOutAt(c, QSize(900, 700));
        QVERIFY(c->View()->legend->visible());
        c->ShowLegend(false);
        c->View()->replot(QCustomPlot::rpImmediateRefresh);
        QVERIFY(!c->View()->legend->visible());
        checkLayout(layoutOf(c->View()), LegendPlace::Hidden);
    }

    void pagesAndPicturesAreLaidOutForTheirOwnSize() {
        PLOT* c = curves(kRates);
        chart::ChartView* v = c->View();
        const QRect before = entryOf(v, 0);
        // A page of twice the screen's resolution, the size of a portrait
        // page's chart picture.
        QImage page(1260, 1340, QImage::Format_RGB32);
        page.setDotsPerMeterX(page.dotsPerMeterX() * 2);
        page.setDotsPerMeterY(page.dotsPerMeterY() * 2);
        page.fill(Qt::white);
        const auto printed = layoutsWhile(v, [&] {
            QPainter painter(&page);
            c->RenderChart(painter, QRectF(0, 0, page.width(), page.height()));
        });
        QVERIFY(!printed.empty());
        QCOMPARE(printed.back().chart.size(), QSize(630, 670));
        checkLayout(printed.back(), LegendPlace::Below);
        // Every label whole on the page.
        const auto pictured = layoutsWhile(v, [&] { QVERIFY(!v->ToImage(QSize(300, 300)).isNull()); });
        QVERIFY(!pictured.empty());
        checkLayout(pictured.back(), LegendPlace::Below);
        const auto svg = layoutsWhile(v, [&] { QVERIFY(!v->ToSvg(QSize(1400, 700)).isEmpty()); });
        QVERIFY(!svg.empty());
        checkLayout(svg.back(), LegendPlace::Right);
        // The screen keeps its own layout, and the mouse finds its legend.
        QCOMPARE(entryOf(v, 0), before);
        QCOMPARE(v->HotSpotAt(QPointF(before.center())).type, int(chart::kHotLegend));
    }

    // An SVG drawing of a zoomed chart, drawn back at the size of the
    // picture of the same chart, shows what the picture and the window
    // show: curves, markers, bars and notes end at the plot's edge,
    // texts are as tall.
    void anSvgShowsWhatThePictureShows_data() {
        QTest::addColumn<bool>("bars");
        QTest::newRow("curves with markers and a note") << false;
        QTest::newRow("bars") << true;
    }
    void anSvgShowsWhatThePictureShows() {
        QFETCH(bool, bars);
        PLOT* c = bars ? histogram(12, true) : curves(kShort);
        chart::ChartView* v = c->View();
        chart::ChartModel& m = c->Pesgoa1();
        if (bars) {
            v->xAxis->setRange(-2.5, 2.5);
            v->yAxis->setRange(3.5, 8.5);
        } else {
            for (int s = 0; s < m.Subsets(); ++s) {
                m.At(s).colour = 0x0000FF;  // red
                m.At(s).lineType = 6;       // 3 pixels wide
                m.At(s).pointType = 5;      // filled squares
            }
            m.Slot(0) = chart::Annotation{1.5e-4, 0.4, "a note on the edge", 0x00FF00, 0, 0};
            c->Refr();
            v->xAxis->setRange(0.5e-4, 2.5e-4);
            v->yAxis->setRange(0.2, 0.4);
        }
        v->replot(QCustomPlot::rpImmediateRefresh);
        const QSize size = v->size();
        const QRect plot = v->GridRect().toAlignedRect();
        const QImage picture = v->ToImage(size).convertToFormat(QImage::Format_RGB32);
        QSvgRenderer renderer(v->ToSvg(size));
        QVERIFY(renderer.isValid());
        QImage drawing(size, QImage::Format_RGB32);
        drawing.fill(Qt::white);
        {
            QPainter painter(&drawing);
            renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        const auto outside = [&](const QImage& image, bool (*counts)(const QColor&)) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += !plot.adjusted(-1, -1, 1, 1).contains(x, y) && counts(image.pixelColor(x, y));
            return n;
        };
        // Coloured pixels (curves, bars, notes, legend icons) outside the
        // plot: the legend's alone, in both.
        const auto coloured = [](const QColor& p) {
            return std::max({p.red(), p.green(), p.blue()}) - std::min({p.red(), p.green(), p.blue()}) > 100;
        };
        const int shown = outside(picture, coloured), svg = outside(drawing, coloured);
        QVERIFY2(std::abs(svg - shown) <= shown / 10 + 20,
                 qPrintable(QString("coloured pixels outside the plot: %1 in the picture, %2 in the SVG")
                                .arg(shown)
                                .arg(svg)));
        // Texts and ticks outside the plot: as much ink in both (a text
        // three quarters as tall has about half its ink).
        const auto ink = [](const QColor& p) { return qGray(p.rgb()) < 100; };
        const int shownInk = outside(picture, ink), svgInk = outside(drawing, ink);
        QVERIFY(shownInk > 200);
        QVERIFY2(std::abs(svgInk - shownInk) <= shownInk / 10,
                 qPrintable(QString("ink outside the plot: %1 in the picture, %2 in the SVG").arg(shownInk).arg(svgInk)));
    }

    void theLegendsBorderIsDrawnWhole() {
        PLOT* c = curves(kShort);
        chart::ChartView* v = c->View();
        c->Pesgoa1().Set("ShadowColor", double(0x0000FF));  // a red border
        c->Refr();
        QImage picture;
        const auto drawn = layoutsWhile(v, [&] { picture = v->ToImage(QSize(600, 600)); });
        QVERIFY(!drawn.empty());
        const QRect legend = drawn.back().legend;
        // Red on all four sides of the legend's box (its line runs along
        // the left and top pixels and just after the right and bottom ones),
        // inside the picture.
        const int midX = legend.center().x(), midY = legend.center().y();
        auto red = [&](int x, int y) {
            return picture.rect().contains(x, y) && QColor(picture.pixel(x, y)) == QColor(255, 0, 0);
        };
        QVERIFY(red(legend.left(), midY));
        QVERIFY(red(legend.right() + 1, midY));
        QVERIFY(red(midX, legend.top()));
        QVERIFY(red(midX, legend.bottom() + 1));
    }

    void barLabelsOfManyBarsNeverOverlap_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("every");
        QTest::newRow("default size") << QSize(600, 600) << false;
        QTest::newRow("small") << QSize(400, 360) << false;
        QTest::newRow("tall") << QSize(900, 2200) << true;
    }
    void barLabelsOfManyBarsNeverOverlap() {
        QFETCH(QSize, size);
        QFETCH(bool, every);
        PLOT* c = histogram(103, true);
        chart::ChartView* v = c->View();
        layOutAt(c, size);
        const chart::BarLabelPlan& plan = v->BarLabels();
        QVERIFY(plan.shown);
        QCOMPARE(plan.step == 1, every);
        const auto labels = barLabels(v);
        QCOMPARE(labels.size(), plan.bars.size());
        // No bar is farther than step - 1 bars from a named one.
        QVERIFY(int(labels.size()) * (2 * plan.step - 1) >= 103);
        // Each label names its own bar; the longest bars are named.
        for (std::size_t i = 0; i < labels.size(); ++i)
            QCOMPARE(labels[i].second, barName(plan.bars[i]));
        QVERIFY(std::find(plan.bars.begin(), plan.bars.end(), 7) != plan.bars.end());
        QVERIFY(v->yAxis->tickLabelFont().pointSize() >= 7);
        checkNoOverlap(v);
        checkLayout(layoutOf(v), LegendPlace::Hidden);
    }

    void zoomingIntoBarsNamesEachOfThem() {
        PLOT* c = histogram(103, true);
        chart::ChartView* v = c->View();
        layOutAt(c, QSize(600, 600));
        const int fullSize = v->yAxis->tickLabelFont().pointSize();
        QVERIFY(v->BarLabels().step > 1);
        v->yAxis->setRange(40.5, 52.5);
        v->replot(QCustomPlot::rpImmediateRefresh);
        QCOMPARE(v->BarLabels().step, 1);
        QCOMPARE(int(barLabels(v).size()), 12);
        QVERIFY(v->yAxis->tickLabelFont().pointSize() > fullSize);
        checkNoOverlap(v);
        c->UndoZM();
        v->replot(QCustomPlot::rpImmediateRefresh);
        QVERIFY(v->BarLabels().step > 1);
    }

    void barsTooThinForLabelsOrLabelsOffShowNone() {
        PLOT* c = histogram(103, true);
        chart::ChartView* v = c->View();
        layOutAt(c, QSize(600, 220));
        QVERIFY(!v->BarLabels().shown);
        QVERIFY(barLabels(v).empty());
        layOutAt(c, QSize(600, 600));
        QVERIFY(v->BarLabels().shown);
        // The "Labels" choice off: the axis shows its numbers, no names.
        Shared().NewChartPending = true;
        PLOT* plain = histogram(103, false);
        layOutAt(plain, QSize(600, 600));
        QVERIFY(!plain->View()->BarLabels().shown);
        QVERIFY(!plain->View()->yAxis->ticker().dynamicCast<QCPAxisTickerText>());
    }
};

QTEST_MAIN(ChartLayoutTest)
#include "ChartLayoutTest.moc"
