#include "ClippingDevice.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kx::chart {

// Liang-Barsky: the segment as a + t (b - a), its part inside each of the
// four edges narrowed in turn.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y())) return false;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    if (t1 < 1) b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    if (t0 > 0) a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    return true;
}

void ClippedPolyline::To(const QPointF& p) {
    if (!started_) {
        started_ = true;
        last_ = p;
        return;
    }
    QPointF a = last_, b = p;
    last_ = p;
    if (!ClipSegment(a, b, box_)) {
        flush();
        return;
    }
    if (points_.empty() || points_.back() != a) {
        flush();
        points_.push_back(a);
    }
    points_.push_back(b);
    if (b != p) flush();  // the line leaves the box here
}

void ClippedPolyline::Break() {
    flush();
    started_ = false;
}

void ClippedPolyline::flush() {
    if (points_.size() >= 2) sink_(points_.data(), static_cast<int>(points_.size()));
    points_.clear();
}

// Passes every drawing on to the target painter with the state this
// device's painter has, cut to its clip where it reaches out of it.
class ClippingEngine final : public QPaintEngine {
public:
    explicit ClippingEngine(QPainter& out) : QPaintEngine(AllFeatures), out_(out) {}

    bool begin(QPaintDevice*) override {
        clipped_ = false;
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen) out_.setPen(state.pen());
        if (dirty & DirtyBrush) out_.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin) out_.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont) out_.setFont(state.font());
        if (dirty & DirtyBackground) out_.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode) out_.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyTransform) out_.setTransform(state.transform());
        if (dirty & DirtyHints) {
            out_.setRenderHints(out_.renderHints(), false);
            out_.setRenderHints(state.renderHints());
        }
        if (dirty & DirtyCompositionMode) out_.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity) out_.setOpacity(state.opacity());
        if (dirty & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled | DirtyTransform)) updateClip();
    }

    void drawPath(const QPainterPath& path) override {
        const QRectF bounds = path.controlPointRect();
        if (inside(bounds)) return out_.drawPath(path);
        if (!touches(bounds)) return;
        fill(path);
        stroke(path.toSubpathPolygons());
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon;
        polygon.reserve(count + 1);
        for (int i = 0; i < count; ++i) polygon.append(points[i]);
        const Qt::FillRule rule = mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill;
        const QRectF bounds = polygon.boundingRect();
        if (inside(bounds))
            return mode == PolylineMode ? out_.drawPolyline(points, count) : out_.drawPolygon(points, count, rule);
        if (!touches(bounds) || count == 0) return;
        if (mode != PolylineMode) {
            QPainterPath area;
            area.addPolygon(polygon);
            area.closeSubpath();
            area.setFillRule(rule);
            fill(area);
            polygon.append(points[0]);
        }
        stroke({polygon});
    }

    // Shapes inside the clip stay the shapes they are; the others are cut
    // as paths and lines.
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            inside(rects[i]) ? out_.drawRect(rects[i]) : QPaintEngine::drawRects(rects + i, 1);
    }
    void drawLines(const QLineF* lines, int count) override {
        for (int i = 0; i < count; ++i)
            inside(QRectF(lines[i].p1(), lines[i].p2()).normalized()) ? out_.drawLine(lines[i])
                                                                       : QPaintEngine::drawLines(lines + i, 1);
    }
    void drawEllipse(const QRectF& rect) override {
        inside(rect) ? out_.drawEllipse(rect) : QPaintEngine::drawEllipse(rect);
    }

    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
        QRectF part = source;
        if (const auto shown = cut(rect, part)) out_.drawPixmap(*shown, pixmap, part);
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override {
        QRectF part = source;
        if (const auto shown = cut(rect, part)) out_.drawImage(*shown, image, part, flags);
    }

    // A text is passed on as text where it is whole; one that the clip
    // cuts is drawn as the outlines of its glyphs, which are cut as paths.
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        if (!clipped_) return out_.drawTextItem(at, item);
        const QRectF bounds =
            QFontMetricsF(item.font(), painter()->device()).boundingRect(item.text()).translated(at);
        if (inside(bounds, false)) return out_.drawTextItem(at, item);
        if (touches(bounds, false)) QPaintEngine::drawTextItem(at, item);
    }

private:
    void updateClip() {
        QPainter* p = painter();
        const QTransform t = p->combinedTransform();
        const bool keepsRectangles = t.type() <= QTransform::TxScale ||
                                     (t.type() == QTransform::TxRotate && qFuzzyIsNull(t.m11()) && qFuzzyIsNull(t.m22()));
        clipped_ = p->hasClipping() && keepsRectangles;
        if (clipped_) clip_ = p->clipBoundingRect();
    }

    // How far a line of the pen reaches out of the geometry it strokes
    // (half its width, a mitred corner as far again).
    double reach() const {
        const QPen& pen = painter()->pen();
        return pen.style() == Qt::NoPen ? 0 : std::max(1.0, pen.widthF());
    }
    QRectF reached(const QRectF& bounds, bool stroked) const {
        const double m = stroked ? reach() : 0;
        return bounds.normalized().adjusted(-m, -m, m, m);
    }
    // True when no clip applies or the drawing lies inside it whole.
    bool inside(const QRectF& bounds, bool stroked = true) const {
        if (!clipped_) return true;
        const QRectF b = reached(bounds, stroked);
        return b.left() >= clip_.left() && b.right() <= clip_.right() && b.top() >= clip_.top() &&
               b.bottom() <= clip_.bottom();
    }
    bool touches(const QRectF& bounds, bool stroked = true) const {
        const QRectF b = reached(bounds, stroked);
        return b.right() >= clip_.left() && b.left() <= clip_.right() && b.bottom() >= clip_.top() &&
               b.top() <= clip_.bottom();
    }

    void fill(const QPainterPath& path) {
        const QBrush& brush = painter()->brush();
        if (brush.style() == Qt::NoBrush) return;
        QPainterPath box;
        box.addRect(clip_);
        out_.fillPath(path.intersected(box), brush);
    }
    void stroke(const QList<QPolygonF>& lines) {
        if (painter()->pen().style() == Qt::NoPen) return;
        out_.save();
        out_.setBrush(Qt::NoBrush);
        ClippedPolyline line(clip_, [this](const QPointF* points, int count) { out_.drawPolyline(points, count); });
        for (const QPolygonF& polygon : lines) {
            for (const QPointF& p : polygon) line.To(p);
            line.Break();
        }
        out_.restore();
    }

    // The part of a picture's target inside the clip, with the part of its
    // source that goes there; nothing when none of it is inside.
    std::optional<QRectF> cut(const QRectF& target, QRectF& source) const {
        if (inside(target, false)) return target;
        const QRectF shown = target.normalized() & clip_;
        if (shown.isEmpty() || target.width() == 0 || target.height() == 0) return std::nullopt;
        const double sx = source.width() / target.width(), sy = source.height() / target.height();
        source = QRectF(source.x() + (shown.x() - target.x()) * sx, source.y() + (shown.y() - target.y()) * sy,
                        shown.width() * sx, shown.height() * sy);
        return shown;
    }

    QPainter& out_;
    QRectF clip_;  // in the coordinates drawn in
    bool clipped_ = false;
};

ClippingDevice::ClippingDevice(QPainter& target)
    : target_(target.device()), engine_(std::make_unique<ClippingEngine>(target)) {}

ClippingDevice::~ClippingDevice() = default;

QPaintEngine* ClippingDevice::paintEngine() const { return engine_.get(); }

int ClippingDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
        case PdmWidth: return target_->width();
        case PdmHeight: return target_->height();
        case PdmWidthMM: return target_->widthMM();
        case PdmHeightMM: return target_->heightMM();
        case PdmNumColors: return target_->colorCount();
        case PdmDepth: return target_->depth();
        case PdmDpiX: return target_->logicalDpiX();
        case PdmDpiY: return target_->logicalDpiY();
        case PdmPhysicalDpiX: return target_->physicalDpiX();
        case PdmPhysicalDpiY: return target_->physicalDpiY();
        case PdmDevicePixelRatio: return static_cast<int>(target_->devicePixelRatio());
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(target_->devicePixelRatio() * QPaintDevice::devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

}  // namespace kx::chart
