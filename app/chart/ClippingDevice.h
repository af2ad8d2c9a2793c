// Drawing onto a painter whose device keeps no clip. An SVG document made
// by QSvgGenerator drops every clip, so that a zoomed chart would show its
// curves, bars and notes running out of the plot over the axes and the
// legend. ClippingDevice stands between the chart and that painter: it
// takes the clips the chart sets and cuts what lies outside them away from
// the geometry itself before passing it on, lines as lines and texts as
// texts wherever they are whole.
//
// The chart clips to rectangles only; a clip of another shape is applied
// as its bounding rectangle, and under a transformation that turns
// rectangles into other shapes (not a multiple of a quarter turn) nothing
// is cut.
#pragma once

#include <QPaintDevice>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace kx::chart {

// The part of the segment a-b inside the box (its edges included); false
// when no part is.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box);

// A polyline cut by a box: the runs inside are handed on, each as one
// polyline of at least two points.
class ClippedPolyline {
public:
    using Sink = std::function<void(const QPointF* points, int count)>;
    ClippedPolyline(const QRectF& box, Sink sink) : box_(box), sink_(std::move(sink)) {}
    void To(const QPointF& p);
    // Ends the line: the next point starts a new one.
    void Break();

private:
    void flush();

    QRectF box_;
    Sink sink_;
    std::vector<QPointF> points_;
    QPointF last_;
    bool started_ = false;
};

class ClippingEngine;

class ClippingDevice : public QPaintDevice {
public:
    // Draws onto `target`, an active painter; its device gives the size
    // and the resolution.
    explicit ClippingDevice(QPainter& target);
    ~ClippingDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPaintDevice* target_;
    std::unique_ptr<ClippingEngine> engine_;
};

}  // namespace kx::chart
