// Where the line and point samples of the set-up dialog's Style tab stand
// and what each draws, in twips of its frame, without windows. The sample
// of a code is a clickable cell; a cell's code is the chart's own line-type
// or point-type code.
#pragma once

#include <optional>
#include <vector>

namespace kx::chart_setup {

struct Cell {
    double Left, Top, Width, Height;
    bool Contains(double x, double y) const {
        return x >= Left && x < Left + Width && y >= Top && y < Top + Height;
    }
};

// A straight line; Width in pixels.
struct Segment {
    double X1, Y1, X2, Y2;
    int Width;
};

enum class ShapeKind { Circle, Square };

// A circle or square with a border Width pixels wide, filled or hollow.
struct Shape {
    ShapeKind Kind;
    double Left, Top, Size;
    int BorderWidth;
    bool Filled;
};

// ---- Line samples: codes 0 to 8 and 11, in the "Line" frame.

const std::vector<int>& LineSampleCodes();
std::optional<Cell> LineSampleCell(int code);
std::optional<int> LineSampleAt(double x, double y);

enum class LinePattern { Solid, Dash, Dot, DashDot, DashDotDot };
struct LineStyle {
    LinePattern Pattern;
    int Width;  // pixels
};
// The look of a line code that has a sample.
LineStyle LineSampleStyle(int code);

// The sample line across its cell: horizontal through the middle, 50 twips
// in from either side.
Segment LineSampleStroke(const Cell& cell);

// ---- Point samples: codes 0 to 11 and 73 ("None"), in the "Points" frame.

const std::vector<int>& PointSampleCodes();
// The cell as laid out: 375 x 375 twips, the "None" cell 855 wide.
std::optional<Cell> PointSampleCell(int code);
std::optional<int> PointSampleAt(double x, double y);

// Two or three sides of a triangle with its apex at (X, Y) and its base
// UpDawn * H below it (UpDawn +1: base below the apex, -1: above). The base
// is 2 H / tan(3.14 / 3) wide, so the triangle is (nearly) equilateral.
// diamond 1 draws only the two sides (half a diamond).
void Triangle(std::vector<Segment>& Ob, double X, double Y, int H, int UpDawn, int WiedthT, int diamond);

// The symbol of a point code 0 to 11 drawn in its cell (made square first);
// nothing else for other codes.
struct Symbol {
    std::vector<Segment> Lines;
    std::optional<Shape> Outline;
};
Symbol SymbolFor(int code, Cell cell);

}  // namespace kx::chart_setup
