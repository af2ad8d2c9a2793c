#include "ChartView.h"

#include "ChartLoading.h"
#include "ClippingDevice.h"

#include <QBuffer>
#include <QPicture>
#include <QSvgGenerator>

#include <algorithm>
#include <type_traits>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace kx::chart {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Text sizes in points by the chart's text size class (0 large, 1 medium,
// 2 small) and point sizes in pixels by its point size (0 small, 1 medium,
// 2 large).
constexpr int kTitleSizes[] = {15, 13, 11};
constexpr int kSubTitleSizes[] = {12, 10, 9};
constexpr int kLabelSizes[] = {11, 9, 8};
constexpr double kPointSizes[] = {5, 7, 10};

int sizeClass(double v) { return std::clamp(static_cast<int>(v), 0, 2); }

QPen linePen(int lineType, const QColor& colour) {
    QPen pen(colour, 1, Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    switch (lineType) {
        case 1: pen.setStyle(Qt::DashLine); break;
        case 2: pen.setStyle(Qt::DotLine); break;
        case 3: pen.setStyle(Qt::DashDotLine); break;
        case 4: pen.setStyle(Qt::DashDotDotLine); break;
        case 5: pen.setWidthF(2); break;
        case 6:
        case 10: pen.setWidthF(3); break;
        case 7:
            pen.setWidthF(2);
            pen.setStyle(Qt::DashLine);
            break;
        case 8:
            pen.setWidthF(2);
            pen.setStyle(Qt::DashDotLine);
            break;
        case 11: pen.setWidthF(5); break;
        default: break;
    }
    return pen;
}

QCPScatterStyle pointStyle(int pointType, const QColor& colour, double size) {
    using S = QCPScatterStyle;
    S::ScatterShape shape = S::ssPlus;
    bool filled = false;
    switch (pointType) {
        case kPointTypeNone: return S(S::ssNone);
        case 1: shape = S::ssCross; break;
        case 2: shape = S::ssCircle; break;
        case 3: shape = S::ssDisc; break;
        case 4: shape = S::ssSquare; break;
        case 5: shape = S::ssSquare, filled = true; break;
        case 6: shape = S::ssDiamond; break;
        case 7: shape = S::ssDiamond, filled = true; break;
        case 8: shape = S::ssTriangle; break;
        case 9: shape = S::ssTriangle, filled = true; break;
        case 10: shape = S::ssTriangleInverted; break;
        case 11: shape = S::ssTriangleInverted, filled = true; break;
        default: break;
    }
    return filled ? S(shape, colour, colour, size) : S(shape, colour, size);
}

// A ticker whose labels are all written alike (TickLabels).
template <class Base>
class Labelled : public Base {
public:
    using Base::Base;

protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale&, QChar, int) override {
        const std::vector<std::string> labels =
            TickLabels(std::vector<double>(ticks.begin(), ticks.end()), std::is_same_v<Base, QCPAxisTickerLog>);
        QVector<QString> out;
        out.reserve(static_cast<int>(labels.size()));
        for (const std::string& l : labels) out.push_back(QString::fromStdString(l));
        return out;
    }
};

using PlainTicker = Labelled<QCPAxisTicker>;
using LogTicker = Labelled<QCPAxisTickerLog>;

// Ticks at a set spacing, with a set number of minor ticks between; a
// spacing that would crowd the axis with ticks gives way to the automatic
// one.
class SpacedTicker : public Labelled<QCPAxisTicker> {
public:
    SpacedTicker(double step, int subTicks) : step_(step), subTicks_(subTicks) {}

protected:
    double getTickStep(const QCPRange& range) override {
        return range.size() / step_ <= 500 ? step_ : QCPAxisTicker::getTickStep(range);
    }
    int getSubTickCount(double tickStep) override {
        return tickStep == step_ ? subTicks_ : QCPAxisTicker::getSubTickCount(tickStep);
    }

private:
    double step_;
    int subTicks_;
};

// The curve of one subset, drawn straight from the model's points, in
// their order. Consecutive points that fall into one pixel column are drawn
// as that column's first, lowest, highest and last point, which looks the
// same on the screen and keeps a chart of a million points quick; segments
// are clipped to the plotting area, so a deep zoom draws no far-away lines.
class ModelCurve : public QCPCurve {
public:
    ModelCurve(QCPAxis* x, QCPAxis* y, const ChartModel& model, int subset)
        : QCPCurve(x, y), model_(model), subset_(subset) {}
    void SetSubset(int subset) { subset_ = subset; }
    void DrawIcon(QCPPainter* painter, const QRectF& rect) const { drawLegendIcon(painter, rect); }

protected:
    void draw(QCPPainter* painter) override {
        if (subset_ < 0 || subset_ >= model_.Subsets()) return;
        const Subset& s = model_.At(subset_);
        const std::size_t n = std::min(s.x.size(), s.y.size());
        const QRectF box = QRectF(clipRect()).adjusted(-20, -20, 20, 20);
        const Pixels toX(keyAxis()), toY(valueAxis());
        if (lineStyle() == lsLine && pen().style() != Qt::NoPen) {
            painter->setPen(pen());
            painter->setBrush(Qt::NoBrush);
            applyDefaultAntialiasingHint(painter);
            ClippedPolyline line(box, [painter](const QPointF* points, int count) {
                painter->drawPolyline(points, count);
            });
            Columns columns([&line](const QPointF& p) { line.To(p); });
            for (std::size_t p = 0; p < n; ++p) {
                if (s.x[p] == kMissing || s.y[p] == kMissing) {
                    columns.Flush();
                    line.Break();
                    continue;
                }
                columns.Add(QPointF(toX(s.x[p]), toY(s.y[p])));
            }
            columns.Flush();
            line.Break();
        }
        if (!scatterStyle().isNone()) {
            applyScattersAntialiasingHint(painter);
            scatterStyle().applyTo(painter, pen());
            QPoint last(INT_MIN, INT_MIN);
            for (std::size_t p = 0; p < n; ++p) {
                if (s.x[p] == kMissing || s.y[p] == kMissing) continue;
                const QPointF at(toX(s.x[p]), toY(s.y[p]));
                if (!box.contains(at) || at.toPoint() == last) continue;
                last = at.toPoint();
                scatterStyle().drawShape(painter, at);
            }
        }
    }

private:
    // An axis's conversion of values to pixels; on a linear axis one
    // multiplication from the range's lower end, as the axis computes it.
    class Pixels {
    public:
        explicit Pixels(const QCPAxis* axis) : axis_(axis), linear_(axis->scaleType() == QCPAxis::stLinear) {
            if (!linear_) return;
            const QCPRange r = axis->range();
            lower_ = r.lower;
            base_ = axis->coordToPixel(r.lower);
            scale_ = (axis->coordToPixel(r.upper) - base_) / (r.upper - r.lower);
        }
        double operator()(double v) const { return linear_ ? base_ + (v - lower_) * scale_ : axis_->coordToPixel(v); }

    private:
        const QCPAxis* axis_;
        bool linear_;
        double lower_ = 0, base_ = 0, scale_ = 0;
    };

    // Runs of points in one pixel column reduced to their first, lowest,
    // highest and last point, in the order they came.
    class Columns {
    public:
        explicit Columns(std::function<void(const QPointF&)> out) : out_(std::move(out)) {}
        void Add(const QPointF& p) {
            const double column = std::floor(p.x());
            if (count_ > 0 && column == column_) {
                if (p.y() < low_.y()) low_ = p, lowAt_ = count_;
                if (p.y() > high_.y()) high_ = p, highAt_ = count_;
                last_ = p;
                ++count_;
                return;
            }
            Flush();
            column_ = column;
            first_ = low_ = high_ = last_ = p;
            lowAt_ = highAt_ = 0;
            count_ = 1;
        }
        void Flush() {
            if (count_ == 0) return;
            out_(first_);
            if (count_ > 1) {
                const bool lowFirst = lowAt_ <= highAt_;
                for (const auto& [p, at] : {lowFirst ? std::pair{low_, lowAt_} : std::pair{high_, highAt_},
                                            lowFirst ? std::pair{high_, highAt_} : std::pair{low_, lowAt_}})
                    if (at != 0 && at != count_ - 1) out_(p);
                out_(last_);
            }
            count_ = 0;
        }

    private:
        std::function<void(const QPointF&)> out_;
        double column_ = 0;
        QPointF first_, low_, high_, last_;
        std::size_t lowAt_ = 0, highAt_ = 0, count_ = 0;
    };

    const ChartModel& model_;
    int subset_;
};

// Room kept around the legend beside and below the plot.
const QMargins kBesideMargins(4, 8, 10, 0);
const QMargins kBelowMargins(10, 0, 10, 6);

// The smallest text size of a histogram's bar labels, in points.
constexpr int kSmallestBarLabel = 7;

// A legend entry whose label is shortened with an ellipsis to the room the
// legend's layout gives it; the full label stays its plottable's name.
class LegendEntry : public QCPPlottableLegendItem {
public:
    LegendEntry(QCPLegend* legend, ModelCurve* curve) : QCPPlottableLegendItem(legend, curve), curve_(curve) {}

    // The width of a text and the height of an entry, in whole pixels that
    // hold it: a text's width is fractional and comes out a little wider
    // on some painters (hinting), its descenders need a pixel more than the
    // font's height.
    static int TextWidth(const QFontMetricsF& metrics, const QString& text) {
        return static_cast<int>(std::ceil(metrics.horizontalAdvance(text))) + 2;
    }
    static int Height(const QFontMetricsF& metrics, const QSize& icon) {
        return std::max(static_cast<int>(std::ceil(metrics.height())) + 2, icon.height());
    }

    void SetRoom(int room) { room_ = room; }
    QString Shown() const { return shown(QFontMetricsF(getFont()), room_); }
    bool Shortened() const { return Shown() != mPlottable->name(); }

protected:
    QSize minimumOuterSizeHint() const override {
        const QFontMetricsF metrics(getFont());
        const QSize icon = mParentLegend->iconSize();
        return QSize(icon.width() + mParentLegend->iconTextPadding() + TextWidth(metrics, shown(metrics, room_)) +
                         mMargins.left() + mMargins.right(),
                     Height(metrics, icon) + mMargins.top() + mMargins.bottom());
    }

    void draw(QCPPainter* painter) override {
        painter->setFont(getFont());
        painter->setPen(QPen(getTextColor()));
        const QSize icon = mParentLegend->iconSize();
        const QFontMetricsF metrics(painter->font(), painter->device());
        const int height = Height(metrics, icon);
        // The text is shortened again with the painter's own measure, so
        // that it stays inside the legend on a page or a picture too.
        const int left = mRect.left() + icon.width() + mParentLegend->iconTextPadding();
        const int width = std::max(0, mRect.right() + 1 - left);
        painter->drawText(QRect(left, mRect.top(), width, height), Qt::AlignLeft | Qt::AlignVCenter,
                          shown(metrics, width));
        const QRect iconRect(QPoint(mRect.left(), mRect.top() + (height - icon.height()) / 2), icon);
        painter->save();
        painter->setClipRect(iconRect, Qt::IntersectClip);
        curve_->DrawIcon(painter, iconRect);
        painter->restore();
    }

private:
    QString shown(const QFontMetricsF& metrics, int room) const {
        return metrics.elidedText(mPlottable->name(), Qt::ElideRight, room);
    }

    ModelCurve* curve_;
    int room_ = QWIDGETSIZE_MAX;
};

}  // namespace

ChartView::ChartView(const ChartModel& model, QWidget* parent) : QCustomPlot(parent), model_(model) {
    setObjectName("Pesgoa1");
    setAutoAddPlottableToLegend(false);
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phFastPolylines, true);

    // Layout: main title, subtitle, then the plotting area with the legend
    // to its right, where it never covers a curve, or in a row below it.
    QCPAxisRect* rect = axisRect();
    rect->insetLayout()->take(legend);
    plotLayout()->take(rect);
    plotLayout()->simplify();
    title_ = new QCPTextElement(this, QString());
    subTitle_ = new QCPTextElement(this, QString());
    plotLayout()->addElement(0, 0, title_);
    plotLayout()->addElement(1, 0, subTitle_);
    body_ = new QCPLayoutGrid;
    plotLayout()->addElement(2, 0, body_);
    body_->addElement(0, 0, rect);
    // Beside the plot the legend stands at the top of its column.
    side_ = new QCPLayoutGrid;
    side_->addElement(0, 0, legend);
    side_->addElement(1, 0, new QCPLayoutElement(this));
    side_->setRowStretchFactor(0, 0.001);
    side_->setRowStretchFactor(1, 1);
    side_->setMargins(kBesideMargins);
    side_->setAutoMargins(QCP::msNone);
    body_->addElement(0, 1, side_);
    body_->setColumnStretchFactor(1, 0.001);
    // Below the plot it stands in the middle, no taller than its entries.
    below_ = new QCPLayoutGrid;
    for (int column : {0, 2}) {
        auto* filler = new QCPLayoutElement(this);
        filler->setMaximumSize(QWIDGETSIZE_MAX, 0);
        below_->addElement(0, column, filler);
    }
    below_->setColumnStretchFactor(1, 0.001);
    below_->setMargins(kBelowMargins);
    below_->setAutoMargins(QCP::msNone);
    legend->setIconSize(30, 12);
    legend->setRowSpacing(1);
    legend->setColumnSpacing(10);
    legend->setFillOrder(QCPLegend::foRowsFirst, false);
    legend->setSizeConstraintRect(QCPLayoutElement::scrOuterRect);

    halo_ = new ModelCurve(xAxis, yAxis, model_, -1);
    halo_->setLayer("grid");
    halo_->setVisible(false);
    halo_->setSelectable(QCP::stNone);

    cursor_ = new QCPItemTracer(this);
    cursor_->setVisible(false);
    cursor_->setInterpolating(false);

    connect(selectionRect(), &QCPSelectionRect::accepted, this, [this](const QRect& r, QMouseEvent*) {
        if (r.width() > 0 && r.height() > 0) zoomed_ = true;
    });
    setSelectionRectMode(QCP::srmZoom);
}

ChartView::~ChartView() {
    // The legend's place not in use is outside the layout, which deletes
    // the rest.
    if (legendPlace_ != LegendPlace::Right) delete side_;
    if (legendPlace_ != LegendPlace::Below) delete below_;
}

QColor ChartView::colourOf(Colour c) const { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QFont ChartView::font(const char* family, const char* bold, const char* italic, int size) const {
    QFont f(QString::fromStdString(model_.Text(family)));
    f.setPointSize(size);
    f.setBold(model_.Flag(bold));
    f.setItalic(model_.Flag(italic));
    return f;
}

QFont ChartView::tickLabelFont() const {
    QFont f = font("LabelFont", "LabelBold", "LabelItalic", kLabelSizes[sizeClass(model_.Number("FONTSIZE"))]);
    f.setBold(false);
    f.setItalic(false);
    return f;
}

bool ChartView::isBar(int s) const {
    if (!model_.bars.signedBars) return false;
    const Subset& sub = model_.At(s);
    // A bar runs from its value to zero at one height.
    bool any = false, zero = false;
    double level = kNaN;
    for (std::size_t p = 0; p < sub.x.size(); ++p) {
        if (sub.x[p] == kMissing || sub.y[p] == kMissing) continue;
        if (any && sub.y[p] != level) return false;
        level = sub.y[p];
        any = true;
        zero = zero || sub.x[p] == 0;
    }
    return any && zero;
}

double ChartView::barEnd(int s) const {
    const Subset& sub = model_.At(s);
    double end = 0;
    for (std::size_t p = 0; p < sub.x.size(); ++p)
        if (sub.x[p] != kMissing && sub.y[p] != kMissing && sub.x[p] != 0) end = sub.x[p];
    return end;
}

void ChartView::Refresh() {
    syncData();
    syncStyle();
    syncTexts();
    syncAnnotations();
    syncLegend();
    syncAxes();
    syncCursor();
    replot(rpQueuedReplot);
}

void ChartView::syncData() {
    if (syncedRevision_ == model_.Revision()) return;
    syncedRevision_ = model_.Revision();
    const int subsets = model_.Subsets();
    for (QCPCurve* c : curves_)
        if (c) removePlottable(c);
    curves_.assign(static_cast<std::size_t>(subsets), nullptr);
    for (QCPBars* b : bars_) removePlottable(b);
    bars_.clear();
    for (auto& list : barSubsets_) list.clear();

    std::vector<std::pair<double, double>> barData[3];
    for (int s = 0; s < subsets; ++s) {
        const Subset& sub = model_.At(s);
        if (isBar(s)) {
            double key = 0;
            for (std::size_t p = 0; p < sub.x.size(); ++p)
                if (sub.x[p] != kMissing && sub.y[p] != kMissing) key = sub.y[p];
            const double value = barEnd(s);
            const int kind = s == model_.bars.selected ? 2 : value >= 0 ? 0 : 1;
            barData[kind].emplace_back(key, value);
            barSubsets_[kind].push_back(s);
            continue;
        }
        auto* curve = new ModelCurve(xAxis, yAxis, model_, s);
        curve->setSelectable(QCP::stNone);
        curves_[static_cast<std::size_t>(s)] = curve;
    }
    for (auto& list : barData) {
        auto* bars = new QCPBars(yAxis, xAxis);
        bars->setWidth(0.7);
        bars->setSelectable(QCP::stNone);
        for (auto [key, value] : list) bars->addData(key, value);
        bars_.push_back(bars);
    }
}

void ChartView::syncStyle() {
    const bool colour = model_.colourStyle;
    const bool marks = model_.Flag("MarkDataPoints");
    const double pointSize = kPointSizes[sizeClass(model_.Number("PointSize"))];
    for (int s = 0; s < model_.Subsets(); ++s) {
        QCPCurve* c = curves_[static_cast<std::size_t>(s)];
        if (!c) continue;
        const Subset& sub = model_.At(s);
        // Beside a histogram's bars a line (its zero line) takes the axes' colour.
        const QColor col = !colour ? QColor(Qt::black)
                           : model_.bars.signedBars ? colourOf(static_cast<Colour>(model_.Number("GraphForeColor")))
                                                    : colourOf(sub.colour);
        c->setName(QString::fromStdString(sub.label));
        if (sub.lineType == kLineTypeNone) {
            c->setLineStyle(QCPCurve::lsNone);
        } else {
            c->setLineStyle(QCPCurve::lsLine);
            c->setPen(linePen(sub.lineType, col));
        }
        // A curve without a line always shows its points.
        const bool points = marks || sub.lineType == kLineTypeNone;
        c->setScatterStyle(points ? pointStyle(sub.pointType, col, pointSize) : QCPScatterStyle(QCPScatterStyle::ssNone));
    }
    const QColor barColours[3][2] = {{QColor(46, 125, 50), QColor(255, 255, 255)},
                                     {QColor(198, 40, 40), QColor(0, 0, 0)},
                                     {QColor(21, 101, 192), QColor(150, 150, 150)}};
    for (std::size_t k = 0; k < bars_.size(); ++k) {
        const QColor fill = barColours[k][colour ? 0 : 1];
        bars_[k]->setBrush(fill);
        bars_[k]->setPen(colour ? QPen(fill.darker(130)) : QPen(Qt::black));
    }
    // The selected curve lies on a broad band of the selection colour.
    QCPCurve* selectedCurve =
        selected_ >= 0 && selected_ < static_cast<int>(curves_.size()) ? curves_[static_cast<std::size_t>(selected_)] : nullptr;
    halo_->setVisible(selectedCurve != nullptr);
    static_cast<ModelCurve*>(halo_)->SetSubset(selectedCurve ? selected_ : -1);
    if (selectedCurve) {
        QColor band = colourOf(Shared().SelectionColor);
        if (Shared().SelectionColor == 0) band = QColor(255, 200, 0);
        band.setAlpha(150);
        halo_->setPen(QPen(band, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        halo_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, band, band, 10));
    }
}

void ChartView::syncTexts() {
    const bool colour = model_.colourStyle;
    const QColor text = colour ? colourOf(static_cast<Colour>(model_.Number("TextColor"))) : QColor(Qt::black);
    const QColor fore = colour ? colourOf(static_cast<Colour>(model_.Number("GraphForeColor"))) : QColor(Qt::black);
    const QColor axisLine = colour ? colourOf(static_cast<Colour>(model_.Number("XAxisColor"))) : QColor(Qt::black);
    const int size = sizeClass(model_.Number("FONTSIZE"));
    title_->setText(QString::fromStdString(model_.mainTitle));
    title_->setFont(font("MainTitleFont", "MainTitleBold", "MainTitleItalic", kTitleSizes[size]));
    title_->setTextColor(text);
    subTitle_->setText(QString::fromStdString(model_.subTitle));
    subTitle_->setFont(font("SubTitleFont", "SubTitleBold", "SubTitleItalic", kSubTitleSizes[size]));
    subTitle_->setTextColor(text);
    const QFont labels = font("LabelFont", "LabelBold", "LabelItalic", kLabelSizes[size]);
    const QFont ticks = tickLabelFont();
    xAxis->setLabel(QString::fromStdString(model_.xAxisLabel));
    yAxis->setLabel(QString::fromStdString(model_.yAxisLabel));
    for (QCPAxis* a : {xAxis, yAxis}) {
        a->setLabelFont(labels);
        a->setLabelColor(text);
        a->setTickLabelFont(ticks);
        a->setTickLabelColor(text);
        a->setBasePen(QPen(axisLine));
        a->setTickPen(QPen(fore));
        a->setSubTickPen(QPen(fore));
        a->grid()->setPen(QPen(colour ? QColor(190, 190, 190) : QColor(160, 160, 160), 0, Qt::DotLine));
        a->grid()->setVisible(model_.Flag("GridLines"));
    }
    legend->setFont(labels);
    legend->setTextColor(text);
    legend->setBorderPen(QPen(colour ? colourOf(static_cast<Colour>(model_.Number("ShadowColor"))) : QColor(Qt::black)));
    setBackground(QBrush(colour ? colourOf(static_cast<Colour>(model_.Number("DeskColor"))) : QColor(Qt::white)));
    axisRect()->setBackground(
        QBrush(colour ? colourOf(static_cast<Colour>(model_.Number("GraphBackColor"))) : QColor(Qt::white)));
    legend->setBrush(QBrush(colour ? colourOf(static_cast<Colour>(model_.Number("GraphBackColor"))) : QColor(Qt::white)));
}

void ChartView::syncAnnotations() {
    for (QCPItemText* item : annotations_)
        if (item) removeItem(item);
    annotations_.assign(kAnnotationSlots, nullptr);
    const QFont f = font("LabelFont", "LabelBold", "LabelItalic", kLabelSizes[sizeClass(model_.Number("FONTSIZE"))]);
    for (int i = 0; i < kAnnotationSlots; ++i) {
        const Annotation& a = model_.Slot(i);
        if (a.Free() || a.y == kMissing) continue;
        auto* item = new QCPItemText(this);
        item->position->setType(QCPItemPosition::ptPlotCoords);
        item->position->setCoords(a.x, a.y);
        item->setPositionAlignment(Qt::AlignCenter);
        item->setText(QString::fromStdString(a.text));
        item->setFont(f);
        item->setColor(model_.colourStyle ? colourOf(a.colour) : QColor(Qt::black));
        item->setClipToAxisRect(true);
        item->setSelectable(false);
        annotations_[static_cast<std::size_t>(i)] = item;
    }
}

void ChartView::syncLegend() {
    legend->clearItems();
    for (QCPCurve* c : curves_)
        if (c) legend->addItem(new LegendEntry(legend, static_cast<ModelCurve*>(c)));
    legendArranged_ = false;
}

void ChartView::updateLayout() {
    arrangeLegend();
    QCustomPlot::updateLayout();
    // The bar labels follow the height the plot got.
    if (arrangeBarLabels()) QCustomPlot::updateLayout();
}

void ChartView::arrangeLegend() {
    LegendMetrics m;
    const QFontMetricsF metrics(legend->font());
    const QSize icon = legend->iconSize();
    const QRect chart = viewport();
    m.chartWidth = chart.width();
    m.chartHeight = chart.height();
    const auto heightOf = [](const QCPLayoutElement* e) { return e->minimumOuterSizeHint().height(); };
    m.bodyHeight = chart.height() - heightOf(title_) - heightOf(subTitle_) - 2 * plotLayout()->rowSpacing();
    // The plot's least size: its own and the room its axes took last.
    const QMargins axes = axisRect()->margins();
    m.plotMinWidth = axisRect()->minimumSize().width() + axes.left() + axes.right();
    m.plotMinHeight = axisRect()->minimumSize().height() + axes.top() + axes.bottom();
    m.entryHeight = LegendEntry::Height(metrics, icon);
    m.rowSpacing = legend->rowSpacing();
    m.columnSpacing = legend->columnSpacing();
    m.entryExtra = icon.width() + legend->iconTextPadding();
    // The legend's margins and its border line on both sides.
    m.frame = {legend->margins().left() + legend->margins().right() + 2.0,
               legend->margins().top() + legend->margins().bottom() + 2.0};
    m.beside = {double(kBesideMargins.left() + kBesideMargins.right()),
                double(kBesideMargins.top() + kBesideMargins.bottom())};
    m.below = {double(kBelowMargins.left() + kBelowMargins.right()),
               double(kBelowMargins.top() + kBelowMargins.bottom() + plotLayout()->rowSpacing())};
    m.minTextWidth = 5.0 * metrics.averageCharWidth();
    const bool wanted = model_.Flag("ShowLegend") && !model_.bars.signedBars;
    if (wanted)
        for (int i = 0; i < legend->itemCount(); ++i)
            if (auto* entry = dynamic_cast<LegendEntry*>(legend->item(i)))
                m.textWidths.push_back(LegendEntry::TextWidth(metrics, entry->plottable()->name()));
    const LegendPlan plan = PlanLegend(m);
    const int room = static_cast<int>(std::floor(plan.textWidth));
    if (legendArranged_ && plan.place == legendPlan_.place && plan.rows == legendPlan_.rows &&
        room == static_cast<int>(std::floor(legendPlan_.textWidth)))
        return;
    legendPlan_ = plan;
    legendArranged_ = true;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (auto* entry = dynamic_cast<LegendEntry*>(legend->item(i))) entry->SetRoom(room);
    if (plan.rows > 0) {
        legend->setWrap(plan.rows);
        legend->setFillOrder(QCPLegend::foRowsFirst, true);
    }
    placeLegend(plan.place);
    // Below the plot the legend is no wider and no taller than its entries.
    legend->setMaximumSize(plan.place == LegendPlace::Below ? legend->minimumOuterSizeHint()
                                                            : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void ChartView::placeLegend(LegendPlace place) {
    legend->setVisible(place != LegendPlace::Hidden);
    if (place == legendPlace_) return;
    // Out of its old place: the side column or the row below. Hidden, it
    // stays unseen in the place it had.
    if (legendPlace_ == LegendPlace::Right) {
        body_->take(side_);
        body_->simplify();
    } else if (legendPlace_ == LegendPlace::Below) {
        plotLayout()->take(below_);
        plotLayout()->simplify();
    }
    legendPlace_ = place;
    if (place != LegendPlace::Hidden && legend->layout()) legend->layout()->take(legend);
    if (place == LegendPlace::Right) {
        side_->addElement(0, 0, legend);
        body_->addElement(0, 1, side_);
        body_->setColumnStretchFactor(1, 0.001);
    } else if (place == LegendPlace::Below) {
        below_->addElement(0, 1, legend);
        below_->setColumnStretchFactor(1, 0.001);
        plotLayout()->addElement(3, 0, below_);
        plotLayout()->setRowStretchFactor(3, 0.001);
    }
}

QSharedPointer<QCPAxisTicker> ChartView::barLabelTicker(const std::vector<int>& bars) const {
    auto labels = QSharedPointer<QCPAxisTickerText>::create();
    labels->setSubTickCount(0);
    for (int k : bars)
        if (k >= 1 && k < static_cast<int>(model_.bars.labels.size()))
            labels->addTick(k, QString::fromStdString(model_.bars.labels[static_cast<std::size_t>(k)]));
    return labels;
}

bool ChartView::arrangeBarLabels() {
    if (!model_.bars.signedBars || !model_.bars.itemLabels) {
        barPlan_ = {};
        return false;
    }
    // The tick labels' text sizes from the chart's own down to the smallest.
    const QFont chartFont = tickLabelFont();
    std::vector<QFont> fonts;
    BarLabelMetrics m;
    for (int size = chartFont.pointSize(); size >= std::min(kSmallestBarLabel, chartFont.pointSize()); --size) {
        QFont f = chartFont;
        f.setPointSize(size);
        fonts.push_back(f);
        m.labelHeights.push_back(QFontMetrics(f).height());
    }
    // Bar k is subset k, at height k.
    const int bars = std::min(static_cast<int>(model_.bars.labels.size()), model_.Subsets()) - 1;
    for (int k = 1; k <= bars; ++k) m.lengths.push_back(isBar(k) ? barEnd(k) : 0.0);
    const QCPRange sight = yAxis->range();
    m.first = static_cast<int>(std::ceil(sight.lower));
    m.last = static_cast<int>(std::floor(std::min(sight.upper, double(bars))));
    m.barPitch = std::abs(yAxis->coordToPixel(1) - yAxis->coordToPixel(0));
    m.selected = model_.bars.selected;
    BarLabelPlan plan = PlanBarLabels(m);
    if (barLabelsArranged_ && plan.shown == barPlan_.shown && plan.sizeIndex == barPlan_.sizeIndex &&
        plan.bars == barPlan_.bars)
        return false;
    barPlan_ = std::move(plan);
    barLabelsArranged_ = true;
    yAxis->setTicker(barLabelTicker(barPlan_.bars));
    yAxis->setTickLabelFont(fonts[static_cast<std::size_t>(barPlan_.sizeIndex)]);
    return true;
}

void ChartView::syncAxes() {
    auto show = [this](QCPAxis* a, const char* name) { a->setVisible(model_.Number(name) != 5); };
    show(xAxis, "ShowXAxis");
    show(yAxis, "ShowYAxis");
    auto ticker = [this](QCPAxis* a, char axis, const char* manual, const char* line, const char* tick) {
        const bool log = LogarithmicAxis(model_, axis);
        a->setScaleType(log ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
        if (log) {
            a->setTicker(QSharedPointer<LogTicker>::create());
            return;
        }
        const double step = model_.Number(line);
        if (model_.Flag(manual) && step > 0 && std::isfinite(step)) {
            const double minor = model_.Number(tick);
            const int subTicks = minor > 0 && minor < step ? static_cast<int>(std::lround(step / minor)) - 1 : 0;
            a->setTicker(QSharedPointer<SpacedTicker>::create(step, std::clamp(subTicks, 0, 20)));
            return;
        }
        a->setTicker(QSharedPointer<PlainTicker>::create());
    };
    ticker(xAxis, 'X', "ManualXAxisTicknLine", "ManualXAxisLine", "ManualXAxisTick");
    ticker(yAxis, 'Y', "ManualYAxisTicknLine", "ManualYAxisLine", "ManualYAxisTick");
    // A histogram's bars are named by their labels, all of them until the
    // layout sees how many have room (arrangeBarLabels).
    if (model_.bars.signedBars && model_.bars.itemLabels) {
        std::vector<int> all;
        for (int k = 1; k < static_cast<int>(model_.bars.labels.size()); ++k) all.push_back(k);
        yAxis->setTicker(barLabelTicker(all));
    }
    barLabelsArranged_ = false;
    if (!zoomed_) setFullRanges();
}

void ChartView::setFullRanges() {
    // The bounds of the points, found once for each state of the points.
    if (boundsRevision_ != model_.Revision()) {
        boundsRevision_ = model_.Revision();
        bounds_ = BoundsOf(model_);
    }
    auto apply = [this](QCPAxis* a, char axis, const ValueBounds& b) {
        const AxisSpan span = FullSpan(model_, axis, b);
        a->setRange(span.lower, span.upper);
    };
    apply(xAxis, 'X', bounds_.x);
    apply(yAxis, 'Y', bounds_.y);
}

void ChartView::UndoZoom() {
    zoomed_ = false;
    setFullRanges();
    replot(rpQueuedReplot);
}

bool ChartView::ZoomAllowed() const {
    auto ok = [](const QCPRange& r) {
        return std::isfinite(r.lower) && std::isfinite(r.upper) && r.upper - r.lower != 0;
    };
    return ok(xAxis->range()) && ok(yAxis->range());
}

void ChartView::SetDataCursor(int mode, int subset, int point) {
    cursorMode_ = mode;
    cursorSubset_ = subset;
    cursorPoint_ = point;
    syncCursor();
    replot(rpQueuedReplot);
}

void ChartView::syncCursor() {
    const bool on = (cursorMode_ == kCursorCross || cursorMode_ == kCursorSquare) && cursorSubset_ >= 0 &&
                    cursorSubset_ < model_.Subsets() && model_.HasPoint(cursorSubset_, cursorPoint_);
    cursor_->setVisible(on);
    if (!on) return;
    const Subset& s = model_.At(cursorSubset_);
    double x = s.x[static_cast<std::size_t>(cursorPoint_)], y = s.y[static_cast<std::size_t>(cursorPoint_)];
    if (isBar(cursorSubset_)) {
        // The cursor stands at the bar's end.
        x = barEnd(cursorSubset_);
    }
    cursor_->position->setCoords(x, y);
    cursor_->setStyle(cursorMode_ == kCursorCross ? QCPItemTracer::tsCrosshair : QCPItemTracer::tsSquare);
    cursor_->setSize(12);
    const QColor c = model_.colourStyle ? QColor(200, 0, 0) : QColor(Qt::black);
    cursor_->setPen(QPen(c, 1.5));
}

void ChartView::SetSelectedSubset(int subset) {
    if (selected_ == subset) return;
    selected_ = subset;
    syncStyle();
    replot(rpQueuedReplot);
}

QRectF ChartView::GridRect() const { return axisRect()->rect(); }

QPointF ChartView::ToGraph(const QPointF& pixel) const {
    return {xAxis->pixelToCoord(pixel.x()), yAxis->pixelToCoord(pixel.y())};
}

QPointF ChartView::ToPixel(double x, double y) const { return {xAxis->coordToPixel(x), yAxis->coordToPixel(y)}; }

HotSpot ChartView::HotSpotAt(const QPointF& pos) const {
    for (int i = 0; i < static_cast<int>(annotations_.size()); ++i) {
        QCPItemText* item = annotations_[static_cast<std::size_t>(i)];
        // On the text (or a pixel or two beside it).
        if (item && item->selectTest(pos, false) >= 0 && item->selectTest(pos, false) <= selectionTolerance())
            return {kHotAnnotation, i};
    }
    if (!model_.mainTitle.empty() && title_->selectTest(pos, false) >= 0) return {kHotMainTitle};
    if (!model_.subTitle.empty() && subTitle_->selectTest(pos, false) >= 0) return {kHotSubTitle};
    if (legend->visible())
        for (int i = 0; i < legend->itemCount(); ++i) {
            auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i));
            if (!item || !item->rect().contains(pos.toPoint())) continue;
            const auto it = std::find(curves_.begin(), curves_.end(), item->plottable());
            if (it != curves_.end()) return {kHotLegend, static_cast<int>(it - curves_.begin())};
        }
    if (xAxis->visible() && !model_.xAxisLabel.empty() && xAxis->getPartAt(pos) == QCPAxis::spAxisLabel)
        return {kHotXAxisLabel};
    if (yAxis->visible() && !model_.yAxisLabel.empty() && yAxis->getPartAt(pos) == QCPAxis::spAxisLabel)
        return {kHotYAxisLabel};
    if (!GridRect().adjusted(-4, -4, 4, 4).contains(pos)) return {};

    // The nearest point within a few pixels; for a bar, the bar under the
    // mouse.
    constexpr double kTolerance = 6;
    HotSpot best;
    double bestDistance = kTolerance * kTolerance;
    for (int s = 0; s < model_.Subsets(); ++s) {
        const Subset& sub = model_.At(s);
        if (!curves_[static_cast<std::size_t>(s)]) {
            for (std::size_t p = 0; p < sub.x.size(); ++p) {
                if (sub.x[p] == kMissing || sub.y[p] == kMissing) continue;
                const double key = yAxis->coordToPixel(sub.y[p]);
                const double half = std::abs(yAxis->coordToPixel(sub.y[p] + 0.35) - key);
                const double a = xAxis->coordToPixel(0), b = xAxis->coordToPixel(barEnd(s));
                if (std::abs(pos.y() - key) <= half && pos.x() >= std::min(a, b) - 2 && pos.x() <= std::max(a, b) + 2)
                    return {kHotDataPoint, s, static_cast<int>(p)};
                break;
            }
            continue;
        }
        for (std::size_t p = 0; p < sub.x.size(); ++p) {
            if (sub.x[p] == kMissing || sub.y[p] == kMissing) continue;
            const double dx = xAxis->coordToPixel(sub.x[p]) - pos.x();
            if (dx * dx > bestDistance) continue;
            const double dy = yAxis->coordToPixel(sub.y[p]) - pos.y();
            const double d = dx * dx + dy * dy;
            if (d <= bestDistance) {
                bestDistance = d;
                best = {kHotDataPoint, s, static_cast<int>(p)};
            }
        }
    }
    return best;
}

QCPCurve* ChartView::SubsetCurve(int subset) const {
    return subset >= 0 && subset < static_cast<int>(curves_.size()) ? curves_[static_cast<std::size_t>(subset)] : nullptr;
}

int ChartView::BarCount() const {
    int n = 0;
    for (QCPBars* b : bars_) n += b->dataCount();
    return n;
}

QCPItemText* ChartView::AnnotationItem(int slot) const {
    return slot >= 0 && slot < static_cast<int>(annotations_.size()) ? annotations_[static_cast<std::size_t>(slot)] : nullptr;
}

QString ChartView::LegendEntryText(int subset) const {
    const QCPCurve* curve = SubsetCurve(subset);
    if (!curve || !legend->visible()) return {};
    for (int i = 0; i < legend->itemCount(); ++i)
        if (auto* entry = dynamic_cast<LegendEntry*>(legend->item(i)); entry && entry->plottable() == curve)
            return entry->Shown();
    return {};
}

bool ChartView::LegendEntryShortened(int subset) const {
    const QString shown = LegendEntryText(subset);
    return !shown.isEmpty() && shown != SubsetCurve(subset)->name();
}

QSize ChartView::minimumSizeHint() const { return {160, 120}; }

void ChartView::relayOutForScreen() {
    // Drawing at another size left the layout of that size behind; the
    // mouse finds its way on the screen's.
    updateLayout();
}

QImage ChartView::ToImage(const QSize& size) {
    const QImage image = toPixmap(size.width(), size.height()).toImage();
    relayOutForScreen();
    return image;
}

QByteArray ChartView::ToSvg(const QSize& size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    // At the screen's resolution a text of so many points is as many units
    // tall as the window and the picture show it in pixels.
    svg.setResolution(logicalDpiY());
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle("Chart");
    {
        // The SVG keeps no clip: the device cuts what lies outside the plot.
        QPainter out(&svg);
        ClippingDevice device(out);
        QCPPainter painter(&device);
        toPainter(&painter, size.width(), size.height());
    }
    relayOutForScreen();
    return buffer.data();
}

void ChartView::RenderTo(QPainter& painter, const QRectF& target) {
    // Drawn at the size the target has on a screen, so that texts and lines
    // keep their proportions, then scaled onto the target as vectors.
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : 96;
    const double toScreen = 96.0 / std::max(1.0, dpi);
    const int w = std::max(1, static_cast<int>(std::lround(target.width() * toScreen)));
    const int h = std::max(1, static_cast<int>(std::lround(target.height() * toScreen)));
    QPicture picture;
    {
        QCPPainter p(&picture);
        toPainter(&p, w, h);
    }
    relayOutForScreen();
    // Playing a picture back scales it from its own resolution to the
    // device's; the scale here leaves only the size of the target.
    const double replayX = painter.device() ? double(painter.device()->logicalDpiX()) / picture.logicalDpiX() : 1;
    const double replayY = painter.device() ? double(painter.device()->logicalDpiY()) / picture.logicalDpiY() : 1;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / w / replayX, target.height() / h / replayY);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

}  // namespace kx::chart
