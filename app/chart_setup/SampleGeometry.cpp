#include "SampleGeometry.h"

#include "Format.h"

#include <cmath>
#include <map>

namespace kx::chart_setup {
namespace {

constexpr double kLineCellWidth = 735;
constexpr double kLineCellHeight = 255;
constexpr double kLineInset = 50;
constexpr double kPointCell = 375;
constexpr double kNoneCellWidth = 855;
constexpr int kStrokeWidth = 2;

struct Place {
    double left, top;
};

const std::map<int, Place>& linePlaces() {
    // The medium dash and dash-dot of the third row are the results
    // window's curves.
    static const std::map<int, Place> places{{0, {120, 240}},  {1, {960, 240}},  {2, {1800, 240}},
                                             {3, {2640, 240}}, {4, {120, 480}},  {5, {960, 480}},
                                             {6, {1800, 480}}, {11, {2640, 480}}, {7, {120, 720}},
                                             {8, {960, 720}}};
    return places;
}

// The hollow symbols stand in the top row beside "None", the filled ones and
// the plus and cross in the bottom row.
const std::map<int, Place>& pointPlaces() {
    static const std::map<int, Place> places{
        {73, {120, 600}},  {2, {1080, 600}},  {4, {1560, 600}}, {6, {2040, 600}},  {8, {2520, 600}},
        {10, {3000, 600}}, {0, {120, 960}},   {1, {600, 960}},  {3, {1080, 960}},  {5, {1560, 960}},
        {7, {2040, 960}},  {9, {2520, 960}},  {11, {3000, 960}}};
    return places;
}

std::vector<int> keysOf(const std::map<int, Place>& places) {
    std::vector<int> keys;
    for (const auto& [code, place] : places) keys.push_back(code);
    return keys;
}

template <class CellOf>
std::optional<int> codeAt(const std::vector<int>& codes, CellOf cellOf, double x, double y) {
    for (int code : codes)
        if (cellOf(code)->Contains(x, y)) return code;
    return std::nullopt;
}

Shape shapeIn(const Cell& c, ShapeKind kind, bool filled) {
    constexpr double m = 200;
    return {kind, c.Left + (c.Width - m) / 2, c.Top + (c.Height - m) / 2, m, kStrokeWidth, filled};
}

}  // namespace

const std::vector<int>& LineSampleCodes() {
    static const std::vector<int> codes = keysOf(linePlaces());
    return codes;
}

std::optional<Cell> LineSampleCell(int code) {
    auto it = linePlaces().find(code);
    if (it == linePlaces().end()) return std::nullopt;
    return Cell{it->second.left, it->second.top, kLineCellWidth, kLineCellHeight};
}

std::optional<int> LineSampleAt(double x, double y) { return codeAt(LineSampleCodes(), LineSampleCell, x, y); }

LineStyle LineSampleStyle(int code) {
    switch (code) {
        case 1: return {LinePattern::Dash, 1};
        case 2: return {LinePattern::Dot, 1};
        case 3: return {LinePattern::DashDot, 1};
        case 4: return {LinePattern::DashDotDot, 1};
        case 5: return {LinePattern::Solid, 2};
        case 6: return {LinePattern::Solid, 3};
        case 7: return {LinePattern::Dash, 2};
        case 8: return {LinePattern::DashDot, 2};
        case 11: return {LinePattern::Solid, 5};
        default: return {LinePattern::Solid, 1};
    }
}

Segment LineSampleStroke(const Cell& cell) {
    const double x1 = cell.Left + kLineInset;
    const double y = cell.Top + cell.Height / 2;
    return {x1, y, x1 + cell.Width - 2 * kLineInset, y, LineSampleStyle(0).Width};
}

const std::vector<int>& PointSampleCodes() {
    static const std::vector<int> codes = keysOf(pointPlaces());
    return codes;
}

std::optional<Cell> PointSampleCell(int code) {
    auto it = pointPlaces().find(code);
    if (it == pointPlaces().end()) return std::nullopt;
    return Cell{it->second.left, it->second.top, code == 73 ? kNoneCellWidth : kPointCell, kPointCell};
}

std::optional<int> PointSampleAt(double x, double y) { return codeAt(PointSampleCodes(), PointSampleCell, x, y); }

void Triangle(std::vector<Segment>& Ob, double X, double Y, int H, int UpDawn, int WiedthT, int diamond) {
    const double base = Y + static_cast<double>(UpDawn * H);
    const double d = H / std::tan(3.14 / 3);
    Ob.push_back({X, Y, X - d, base, WiedthT});
    Ob.push_back({X, Y, X + d, base, WiedthT});
    if (diamond != 1) Ob.push_back({X - d, base, X + d, base, WiedthT});
}

Symbol SymbolFor(int code, Cell c) {
    c.Width = c.Height;
    const double L = c.Left, T = c.Top, W = c.Width, Hc = c.Height;
    const double apexX = RoundHalfEven(L + W / 2);
    auto whole = [](double v) { return RoundHalfEven(v); };
    auto height = [](double v) { return static_cast<int>(RoundHalfEven(v)); };
    constexpr int up = 1, down = -1, open = 1, closed = 0;
    Symbol s;
    switch (code) {
        case 0: {
            const double m = 80;
            s.Lines.push_back({L + m, T + Hc / 2, L + W - m, T + Hc / 2, kStrokeWidth});
            s.Lines.push_back({L + W / 2, T + m, L + W / 2, T + Hc - m, kStrokeWidth});
            break;
        }
        case 1: {
            const double m = 105;
            s.Lines.push_back({L + m, T + m, L + W - m, T + Hc - m, kStrokeWidth});
            s.Lines.push_back({L + m, T + Hc - m, L + W - m, T + m, kStrokeWidth});
            break;
        }
        case 2: s.Outline = shapeIn(c, ShapeKind::Circle, false); break;
        case 3: s.Outline = shapeIn(c, ShapeKind::Circle, true); break;
        case 4: s.Outline = shapeIn(c, ShapeKind::Square, false); break;
        case 5: s.Outline = shapeIn(c, ShapeKind::Square, true); break;
        case 6: {
            const int m = 120;
            Triangle(s.Lines, apexX, whole(T + (Hc - 2 * m) / 2), m, up, 2, open);
            Triangle(s.Lines, apexX, whole(T + (Hc + 2 * m) / 2), m, down, 2, open);
            break;
        }
        case 7: {
            const int m = 120;
            const double y1 = T + (Hc - 2 * m) / 2, y2 = T + (Hc + 2 * m) / 2;
            Triangle(s.Lines, apexX, whole(y1), m, up, 2, closed);
            Triangle(s.Lines, apexX, whole(y1 + 0.4 * m), height(0.7 * m), up, 3, closed);
            Triangle(s.Lines, apexX, whole(y2), m, down, 2, closed);
            Triangle(s.Lines, apexX, whole(y2 - 0.4 * m), height(0.7 * m), down, 3, closed);
            break;
        }
        case 8: {
            const int m = 200;
            Triangle(s.Lines, apexX, whole(T + (Hc - m) / 2), m, up, 2, closed);
            break;
        }
        case 9: {
            const int m = 200;
            const double y = T + (Hc - m) / 2;
            Triangle(s.Lines, apexX, whole(y), m, up, 2, closed);
            Triangle(s.Lines, apexX, whole(y + 0.3 * m), height(0.5 * m), up, 4, closed);
            break;
        }
        case 10: {
            const int m = 200;
            Triangle(s.Lines, apexX, whole(T + (Hc + m) / 2), m, down, 2, closed);
            break;
        }
        case 11: {
            const int m = 200;
            const double y = T + (Hc + m) / 2;
            Triangle(s.Lines, apexX, whole(y), m, down, 2, closed);
            Triangle(s.Lines, apexX, whole(y - 0.4 * m), height(0.5 * m), down, 4, closed);
            break;
        }
        default: break;
    }
    return s;
}

}  // namespace kx::chart_setup
