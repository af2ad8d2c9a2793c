// ChartView: draws a chart model with QCustomPlot. One QCPCurve per subset
// keeps the order of its points; kMissing (and NaN) points are gaps. A
// histogram with signed bars is drawn with QCPBars, one bar per subset.
//
// The view owns no chart content: Refresh() brings it up to date with the
// model and redraws. It keeps what belongs to the screen only: the zoom,
// the data cursor and the selected subset, and answers what lies under the
// mouse (HotSpotAt).
//
// Every layout, on the screen and for a picture or a page of any size,
// first places the legend and the histogram's bar labels for that size
// (ChartArrangement.h): the legend beside or below the plot, its long
// labels shortened, the bar labels smaller or thinned out.
#pragma once

#include "ChartArrangement.h"
#include "ChartModel.h"
#include "ChartRanges.h"

#include <qcustomplot.h>

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <limits>
#include <vector>

namespace kx::chart {

// What lies under a point of the view.
enum HotSpotType {
    kHotNothing = 0,
    kHotLegend = 1,      // data1: the subset
    kHotDataPoint = 5,   // data1: the subset, data2: the point
    kHotAnnotation = 6,  // data1: the annotation slot
    kHotMainTitle = 11,
    kHotSubTitle = 12,
    kHotYAxisLabel = 15,
    kHotXAxisLabel = 16,
};

struct HotSpot {
    int type = kHotNothing;
    int data1 = -1;
    int data2 = -1;
};

// Cursor modes of the data cursor.
inline constexpr int kCursorNone = 0;
inline constexpr int kCursorCross = 2;
inline constexpr int kCursorSquare = 3;

class ChartView : public QCustomPlot {
public:
    explicit ChartView(const ChartModel& model, QWidget* parent = nullptr);
    ~ChartView() override;

    // Takes the model's present state and redraws (the zoom stays).
    void Refresh();
    // Back to the full view of the chart.
    void UndoZoom();
    bool Zoomed() const { return zoomed_; }
    // Zooming needs axes of a finite, non-zero width.
    bool ZoomAllowed() const;

    HotSpot HotSpotAt(const QPointF& pos) const;
    // The plotting area in pixels and the conversions to and from graph
    // units.
    QRectF GridRect() const;
    QPointF ToGraph(const QPointF& pixel) const;
    QPointF ToPixel(double x, double y) const;

    // The data cursor on a point of a subset (mode kCursorNone hides it).
    void SetDataCursor(int mode, int subset, int point);
    // The subset drawn as selected; -1 for none.
    void SetSelectedSubset(int subset);
    int SelectedSubset() const { return selected_; }

    // The chart drawn at a size of its own: as a picture, as SVG, or onto
    // a painter into a rectangle (printing).
    QImage ToImage(const QSize& size);
    QByteArray ToSvg(const QSize& size);
    void RenderTo(QPainter& painter, const QRectF& target);

    // For tests: the curve of a subset (nullptr for a bar) and the bars.
    QCPCurve* SubsetCurve(int subset) const;
    int BarCount() const;
    QCPItemText* AnnotationItem(int slot) const;
    QCPTextElement* MainTitleElement() const { return title_; }
    QCPTextElement* SubTitleElement() const { return subTitle_; }

    // The legend's place and the bar labels as the last layout made them.
    const LegendPlan& LegendLayout() const { return legendPlan_; }
    const BarLabelPlan& BarLabels() const { return barPlan_; }
    // The legend entry of a subset as drawn; true when its label had to be
    // shortened (the full label then serves as its tool tip).
    QString LegendEntryText(int subset) const;
    bool LegendEntryShortened(int subset) const;

    // The chart adapts its layout to any size, so the window may be small.
    QSize minimumSizeHint() const override;

protected:
    void updateLayout() override;

private:
    void syncData();
    void syncStyle();
    void syncTexts();
    void syncAnnotations();
    void syncLegend();
    void arrangeLegend();
    void placeLegend(LegendPlace place);
    bool arrangeBarLabels();
    // The labels of these bars on the Y axis.
    QSharedPointer<QCPAxisTicker> barLabelTicker(const std::vector<int>& bars) const;
    // Where a histogram's bar ends (its value; 0 at the axis).
    double barEnd(int subset) const;
    void relayOutForScreen();
    void syncAxes();
    void syncCursor();
    void setFullRanges();
    bool isBar(int subset) const;
    QColor colourOf(Colour c) const;
    QFont font(const char* family, const char* bold, const char* italic, int sizeClass) const;
    QFont tickLabelFont() const;

    const ChartModel& model_;
    QCPTextElement* title_ = nullptr;
    QCPTextElement* subTitle_ = nullptr;
    // The plot with the legend's column beside it, and the row below the
    // plot that holds the legend instead; the one not in use is kept out
    // of the layout.
    QCPLayoutGrid* body_ = nullptr;
    QCPLayoutGrid* side_ = nullptr;
    QCPLayoutGrid* below_ = nullptr;
    LegendPlace legendPlace_ = LegendPlace::Right;
    LegendPlan legendPlan_;
    bool legendArranged_ = false;
    BarLabelPlan barPlan_;
    bool barLabelsArranged_ = false;
    std::vector<QCPCurve*> curves_;        // by subset; nullptr for a bar
    std::vector<QCPBars*> bars_;           // positive, negative, selected
    std::vector<int> barSubsets_[3];       // the subsets of each bar plottable
    std::vector<QCPItemText*> annotations_;  // by slot; nullptr for a free one
    QCPCurve* halo_ = nullptr;
    QCPItemTracer* cursor_ = nullptr;
    std::uint64_t syncedRevision_ = ~std::uint64_t{0};
    PointBounds bounds_;
    std::uint64_t boundsRevision_ = ~std::uint64_t{0};
    bool zoomed_ = false;
    int selected_ = -1;
    int cursorMode_ = kCursorNone;
    int cursorSubset_ = -1;
    int cursorPoint_ = -1;
};

}  // namespace kx::chart
