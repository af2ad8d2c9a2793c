#include "ChartModel.h"
#include "ChartRandom.h"
#include "Errors.h"

#include <gtest/gtest.h>

namespace kx::chart {
namespace {

TEST(ChartRandom, DefaultSequenceAndSeeding) {
    // The generator's well-known first draws from its default start.
    RandomSource r;
    const double expected[] = {0.7055475, 0.533424, 0.5795186, 0.2895625, 0.301948};
    for (double e : expected) EXPECT_NEAR(r.Next(), e, 5e-7);
    RandomSource a(12345), b(12345);
    for (int i = 0; i < 100; ++i) {
        const double v = a.Next();
        EXPECT_EQ(v, b.Next());
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, 1.0);
    }
}

TEST(ChartRandom, CurveColoursAreNeverWhiteAndLineTypesStayInRange) {
    RandomSource r(1);
    bool sawLightBlue = false;
    for (int i = 0; i < 2000; ++i) {
        const Colour c = RandomCurveColour(r);
        EXPECT_NE(c, QBColor(7));
        EXPECT_NE(c, QBColor(8));
        if (c == QBColor(9)) sawLightBlue = true;
        const int line = RandomLineType(r);
        EXPECT_GE(line, 0);
        EXPECT_LE(line, 10);
    }
    EXPECT_TRUE(sawLightBlue);
    EXPECT_EQ(QBColor(12), 0x0000FF);  // light red: red in the low byte
    EXPECT_EQ(QBColor(1), 0x800000);   // blue
    EXPECT_THROW(QBColor(16), Error);
}

TEST(ChartModel, ScalarPropertiesByNameAndNumber) {
    ChartModel m;
    m.Set("MainTitle", std::string("Ignition"));
    EXPECT_EQ(std::get<std::string>(m.Get(9)), "Ignition");
    m.Set(40, 2.0);
    EXPECT_EQ(m.Number("XAxisScaleControl"), 2);
    // The chart converts numeric texts, as the set-up dialog writes them.
    m.Set("ManualMaxX", std::string("1.5E-06"));
    EXPECT_DOUBLE_EQ(m.Number("ManualMaxX"), 1.5e-6);
    EXPECT_THROW(m.Set("ManualMaxX", std::string("abc")), Error);
    // Flags read -1 or 0 and take any non-zero number.
    m.Set("ManualXAxisTicknLine", 5.0);
    EXPECT_EQ(m.Number("ManualXAxisTicknLine"), -1);
    EXPECT_TRUE(m.Flag("ManualXAxisTicknLine"));
    EXPECT_EQ(NumberOf(m.Get(80)), 0);
    // Kept settings by number.
    m.Set(204, 1.25);
    EXPECT_EQ(m.Number("Setting204"), 1.25);
    EXPECT_THROW(m.Get("NoSuchProperty"), Error);
    EXPECT_THROW(m.Get(9999), Error);
    EXPECT_THROW(m.Get("SubsetLabels"), Error);  // needs an index
    EXPECT_THROW(m.Set("ManualMinY", std::numeric_limits<double>::infinity()), Error);
}

TEST(ChartModel, CountsResizeTheData) {
    ChartModel m;
    m.Set("Subsets", 2.0);
    m.Set(12, 3.0);
    EXPECT_EQ(m.Subsets(), 2);
    EXPECT_EQ(m.Points(), 3);
    EXPECT_EQ(NumberOf(m.Get("XDataII", 1, 2)), kMissing);
    m.Set("YDataII", 1, 2, 4.5);
    m.Set(250, 1, 2, std::numeric_limits<double>::quiet_NaN());  // not a number: absent
    EXPECT_EQ(m.Y(1, 2), 4.5);
    EXPECT_EQ(m.X(1, 2), kMissing);
    EXPECT_THROW(m.Get("XDataII", 2, 0), Error);
    EXPECT_THROW(m.Get("XDataII", 0, 3), Error);
    EXPECT_THROW(m.Set("Points", -1.0), Error);
    m.Set("Points", 1000000.0);
    EXPECT_THROW(m.Set("Subsets", 1000.0), Error);  // a billion values
    EXPECT_EQ(m.Subsets(), 2);
}

TEST(ChartModel, RevisionsNeverRepeatAcrossModels) {
    ChartModel a, b;
    EXPECT_NE(a.Revision(), b.Revision());
    const auto before = a.Revision();
    a.Resize(1, 1);
    EXPECT_NE(a.Revision(), before);
    b = a;
    b.Touch();
    EXPECT_NE(b.Revision(), a.Revision());
}

TEST(ChartModel, SubsetAndAnnotationProperties) {
    ChartModel m;
    m.Resize(3, 1);
    m.Set(131, 2, std::string("H2O"));
    m.Set("SubsetColors", 2, 255.0);
    m.Set("SubsetLineTypes", 2, 11.0);
    m.Set(134, 2, 73.0);
    EXPECT_EQ(m.At(2).label, "H2O");
    EXPECT_EQ(m.At(2).colour, 255);
    EXPECT_EQ(m.At(2).lineType, 11);
    EXPECT_EQ(m.At(2).pointType, 73);
    EXPECT_EQ(m.At(1).label, "");

    m.Set(146, 100, 1.5);
    m.Set(147, 100, 2.5);
    m.Set("GraphAnnotationText", 100, std::string("peak"));
    m.Set("GraphAnnotationColor", 100, 0x00FF00 * 1.0);
    EXPECT_FALSE(m.Slot(100).Free());
    EXPECT_EQ(m.Slot(100).colour, 0x00FF00);
    EXPECT_THROW(m.Set("GraphAnnotationX", 101, 1.0), Error);  // long labels are no slots
    // Slot 300 stands for the histogram mark.
    m.Set("GraphAnnotationText", 300, std::string("Histogram"));
    EXPECT_TRUE(m.histogram);
    EXPECT_EQ(std::get<std::string>(m.Get(148, 300)), "Histogram");
    m.Set(180, 0, 0.0);
    EXPECT_FALSE(m.Flag("ShowLegend"));
}

TEST(ChartModel, FreeSlots) {
    struct Case {
        double x;
        std::string text;
        bool free;
    } cases[] = {{1, "a", false}, {kMissing, "a", true}, {1, "Empty", true}, {1, "   ", true}, {1, "", true},
                 {1, "empty", false}};
    for (const Case& c : cases) {
        Annotation a;
        a.x = c.x;
        a.y = 0;
        a.text = c.text;
        EXPECT_EQ(a.Free(), c.free) << c.x << " '" << c.text << "'";
    }
    ChartModel m;
    const Annotation taken{0, 0, std::string(1, 't')};
    for (int i = 0; i < kAnnotationSlots; ++i) m.Slot(i) = taken;
    EXPECT_FALSE(m.FirstFreeSlot());
    m.Slot(57).text = "Empty";
    m.Slot(80).x = kMissing;
    EXPECT_EQ(m.FirstFreeSlot(), 57);
}

}  // namespace
}  // namespace kx::chart
