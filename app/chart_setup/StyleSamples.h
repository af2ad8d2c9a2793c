// The line and point samples of the set-up dialog's Style tab: clickable
// cells drawn with QPainter from the geometry of SampleGeometry.h, scaled
// from twips to the screen. One cell may be highlighted (its background in
// the highlight colour, the others in the widget's own background); every
// sample is drawn in one colour.
#pragma once

#include "SampleGeometry.h"
#include "SharedState.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace kx::chart_setup {

class SampleCells : public QWidget {
public:
    // The colour of every sample line and symbol.
    void SetColour(Colour colour);
    // Highlights the cell of the code (no cell when the code has none).
    void SetHighlight(int code, Colour highlight);
    // Removes the highlight from every cell.
    void ClearHighlight();
    // The highlighted cell's code; nothing when none is.
    std::optional<int> Highlighted() const;
    Colour SampleColour() const { return colour_; }
    // A click on a cell gives its code.
    void OnClick(std::function<void(int code)> handler) { click_ = std::move(handler); }
    // The cell of a code in the widget's pixels (empty when it has none).
    QRect CellRect(int code) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // The codes, where their cells stand, and the area (in twips of the
    // frame) that the widget shows.
    SampleCells(QWidget* parent, const std::vector<int>& codes, std::optional<Cell> (*cellOf)(int),
                const Cell& area);
    virtual void drawSample(QPainter& painter, int code, const Cell& cell) = 0;
    QPointF toPixels(double x, double y) const;
    double scale() const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<int> codes_;
    std::optional<Cell> (*cellOf_)(int);
    Cell area_;
    Colour colour_ = 0;
    std::optional<int> highlighted_;
    Colour highlight_ = 0;
    std::function<void(int)> click_;
};

// The eight line samples (codes 0 to 6 and 11).
class LineSamples : public SampleCells {
public:
    explicit LineSamples(QWidget* parent = nullptr);

protected:
    void drawSample(QPainter& painter, int code, const Cell& cell) override;
};

// The twelve point symbols (codes 0 to 11) and the "None" cell (73).
class PointSamples : public SampleCells {
public:
    explicit PointSamples(QWidget* parent = nullptr);

protected:
    void drawSample(QPainter& painter, int code, const Cell& cell) override;
};

}  // namespace kx::chart_setup
