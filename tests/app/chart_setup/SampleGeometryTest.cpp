// Where the style samples stand, which cell a click hits, and the symbols
// drawn in the point cells.
#include "SampleGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kx::chart_setup;

TEST(LineSamples, TenCellsInThreeRowsEachWithItsLineThroughTheMiddle) {
    EXPECT_EQ(LineSampleCodes(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 11}));
    for (int missing : {9, 10, 12, -1}) EXPECT_FALSE(LineSampleCell(missing)) << missing;
    const Cell c11 = *LineSampleCell(11);
    EXPECT_EQ(c11.Left, 2640);
    EXPECT_EQ(c11.Top, 480);
    const Segment s = LineSampleStroke(*LineSampleCell(0));
    EXPECT_EQ(s.X1, 170);
    EXPECT_EQ(s.X2, 805);
    EXPECT_EQ(s.Y1, 367.5);
    EXPECT_EQ(s.Y2, 367.5);
    EXPECT_EQ(LineSampleStyle(11).Width, 5);
    EXPECT_EQ(LineSampleStyle(6).Width, 3);
    EXPECT_EQ(LineSampleStyle(4).Pattern, LinePattern::DashDotDot);
    // The medium dash and dash-dot, in a third row.
    EXPECT_EQ(LineSampleCell(8)->Top, 720);
    EXPECT_EQ(LineSampleStyle(7).Pattern, LinePattern::Dash);
    EXPECT_EQ(LineSampleStyle(8).Pattern, LinePattern::DashDot);
    EXPECT_EQ(LineSampleStyle(8).Width, 2);
}

TEST(Samples, AClickFindsTheCellUnderIt) {
    using Hit = std::pair<std::pair<double, double>, std::optional<int>>;
    for (auto [at, code] : {Hit{{130, 250}, 0}, Hit{{2700, 700}, 11}, Hit{{900, 300}, {}}, Hit{{130, 800}, 7}, Hit{{1000, 900}, 8},
                            Hit{{130, 1000}, {}}})
        EXPECT_EQ(LineSampleAt(at.first, at.second), code) << at.first << "," << at.second;
    for (auto [at, code] : {Hit{{130, 610}, 73}, Hit{{970, 900}, 73}, Hit{{1000, 700}, {}}, Hit{{1100, 1000}, 3},
                            Hit{{3374, 1334}, 11}, Hit{{3375, 1334}, {}}, Hit{{130, 250}, {}}})
        EXPECT_EQ(PointSampleAt(at.first, at.second), code) << at.first << "," << at.second;
}

TEST(Triangle, EquilateralSidesAndABaseUnlessHalfADiamond) {
    std::vector<Segment> up;
    Triangle(up, 300, 100, 200, 1, 2, 0);
    ASSERT_EQ(up.size(), 3u);
    const double d = 115.6117;
    EXPECT_NEAR(up[0].X2, 300 - d, 1e-3);
    EXPECT_EQ(up[0].Y2, 300);
    EXPECT_NEAR(up[1].X2, 300 + d, 1e-3);
    EXPECT_NEAR(up[2].X1, 300 - d, 1e-3);
    EXPECT_NEAR(up[2].X2, 300 + d, 1e-3);
    EXPECT_EQ(up[2].Y1, 300);
    for (const Segment& s : up) EXPECT_EQ(s.Width, 2);

    std::vector<Segment> half;
    Triangle(half, 300, 500, 120, -1, 3, 1);
    ASSERT_EQ(half.size(), 2u);
    EXPECT_EQ(half[0].X1, 300);
    EXPECT_EQ(half[0].Y1, 500);
    EXPECT_EQ(half[0].Y2, 380);  // the base above the apex
    EXPECT_EQ(half[1].Width, 3);
}

TEST(Symbols, HollowAndFilledShapesDifferOnlyInTheFill) {
    const Cell cell = *PointSampleCell(3);  // Left 1080, Top 960
    const Symbol filled = SymbolFor(3, cell), hollow = SymbolFor(2, cell);
    ASSERT_TRUE(filled.Outline && hollow.Outline);
    EXPECT_TRUE(filled.Outline->Filled);
    EXPECT_FALSE(hollow.Outline->Filled);
    EXPECT_EQ(filled.Outline->Kind, ShapeKind::Circle);
    EXPECT_EQ(filled.Outline->Left, hollow.Outline->Left);
    EXPECT_EQ(filled.Outline->Left, 1080 + 87.5);
    EXPECT_EQ(filled.Outline->Top, 960 + 87.5);
    EXPECT_EQ(filled.Outline->Size, 200);
    EXPECT_EQ(filled.Outline->BorderWidth, 2);
    EXPECT_EQ(SymbolFor(5, cell).Outline->Kind, ShapeKind::Square);
    EXPECT_FALSE(SymbolFor(4, cell).Outline->Filled);
    EXPECT_TRUE(SymbolFor(73, *PointSampleCell(73)).Lines.empty());
    EXPECT_FALSE(SymbolFor(73, *PointSampleCell(73)).Outline);
    EXPECT_TRUE(SymbolFor(40, cell).Lines.empty());
}

TEST(Symbols, PlusAndCrossStayInsideTheirCell) {
    const Cell cell{120, 960, 375, 375};
    const Symbol plus = SymbolFor(0, cell);
    ASSERT_EQ(plus.Lines.size(), 2u);
    EXPECT_EQ(plus.Lines[0].X1, 200);
    EXPECT_EQ(plus.Lines[0].X2, 415);
    EXPECT_EQ(plus.Lines[0].Y1, 1147.5);
    EXPECT_EQ(plus.Lines[1].Y1, 1040);
    EXPECT_EQ(plus.Lines[1].Y2, 1255);
    const Symbol cross = SymbolFor(1, cell);
    ASSERT_EQ(cross.Lines.size(), 2u);
    EXPECT_EQ(cross.Lines[0].X1, 225);
    EXPECT_EQ(cross.Lines[0].Y2, 1230);
    EXPECT_EQ(cross.Lines[1].Y1, 1230);
}

TEST(Symbols, TheHollowDiamondIsTwoOpenHalvesMeetingOnTheCentreLine) {
    const Cell cell = *PointSampleCell(6);  // Left 2040, Top 600
    const Symbol diamond = SymbolFor(6, cell);
    ASSERT_EQ(diamond.Lines.size(), 4u);
    // Apexes m = 120 above and below the centre (787.5), taken to whole
    // numbers half to even; the sides end on one line between them.
    EXPECT_EQ(diamond.Lines[0].Y1, 668);
    EXPECT_EQ(diamond.Lines[2].Y1, 908);
    for (const Segment& s : diamond.Lines) EXPECT_EQ(s.Y2, 788);
    EXPECT_EQ(diamond.Lines[0].X1, 2228);  // 2040 + 187.5, half to even
    for (const Segment& s : diamond.Lines) EXPECT_NE(s.Y1, s.Y2) << "no base line";
}

TEST(Symbols, FilledTrianglesAndDiamondAreOutlinesWithAThickerInnerTriangle) {
    struct Case {
        int code;
        std::size_t segments;
        int innerWidth;
        double outerApexY;
    };
    for (Case c : {Case{7, 12, 3, 1028}, Case{9, 6, 4, 1048}, Case{11, 6, 4, 1248}, Case{8, 3, 2, 688},
                   Case{10, 3, 2, 888}}) {
        const Cell cell = *PointSampleCell(c.code);
        const Symbol s = SymbolFor(c.code, cell);
        ASSERT_EQ(s.Lines.size(), c.segments) << c.code;
        EXPECT_EQ(s.Lines[0].Y1, c.outerApexY) << c.code;
        EXPECT_EQ(s.Lines[0].Width, 2);
        if (c.segments > 3) {
            EXPECT_EQ(s.Lines[3].Width, c.innerWidth) << c.code;
        }
        for (const Segment& line : s.Lines) {
            EXPECT_TRUE(cell.Contains(std::min(line.X1, line.X2), std::min(line.Y1, line.Y2))) << c.code;
            EXPECT_TRUE(cell.Contains(std::max(line.X1, line.X2), std::max(line.Y1, line.Y2))) << c.code;
        }
    }
}
