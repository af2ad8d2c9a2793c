#include "SubsetText.h"

#include <gtest/gtest.h>

namespace kx::chart {
namespace {

constexpr double M = kMissing;

TEST(CopiedSubset, RoundTripToTheLastCompletePoint) {
    Subset s;
    s.label = "H2O\tmole fraction";
    s.longLabel1 = "part one";
    s.longLabel2 = "Empty";
    s.colour = 0x00FF00;
    s.lineType = 5;
    s.pointType = 73;
    s.x = {0, 1e-7, 2, 3, M};
    s.y = {1, M, 0.1, 0.2, M};
    const std::string text = CopiedSubsetText(s);
    EXPECT_EQ(text.substr(0, 16), "KINOVEX SUBSET\r\n");
    EXPECT_NE(text.find("\r\nX\tY\r\n0\t1\r\n1e-07\t-99999\r\n"), std::string::npos);
    const std::optional<Subset> back = ReadCopiedSubset(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->label, s.label);
    EXPECT_EQ(back->longLabel1, "part one");
    EXPECT_EQ(back->longLabel2, "Empty");
    EXPECT_EQ(back->colour, 0x00FF00);
    EXPECT_EQ(back->lineType, 5);
    EXPECT_EQ(back->pointType, 73);
    EXPECT_EQ(back->x, (std::vector<double>{0, 1e-7, 2, 3}));
    EXPECT_EQ(back->y, (std::vector<double>{1, M, 0.1, 0.2}));
}

TEST(CopiedSubset, DamagedTextsAreNoSubset) {
    Subset s;
    s.x = {1, 2};
    s.y = {3, 4};
    const std::string good = CopiedSubsetText(s);
    const std::string cases[] = {
        "",
        "some text from another program",
        good.substr(0, good.size() - 6),                                   // a point line lost
        good + "5\t6\r\n",                                                  // more than the count
        std::string(good).replace(good.find("Points\t2"), 8, "Points\t-1"),  // negative count
        std::string(good).replace(good.find("\r\n1\t3"), 4, "\r\nx\t"),       // not a number
        std::string(good).replace(good.find("Style\t0"), 7, "Style\tz"),
    };
    for (const std::string& c : cases) EXPECT_FALSE(ReadCopiedSubset(c)) << c;
}

TEST(DataTable, TitlesAndPresentPoints) {
    ChartModel m;
    m.Resize(2, 3);
    m.mainTitle = "Main";
    m.xAxisLabel = "Time (sec)";
    m.At(0).label = "H2";
    m.At(0).x = {0, 1, 2};
    m.At(0).y = {0.5, M, 1e-10};
    m.At(1).x = {M, M, M};
    const std::vector<std::string> lines = DataTableLines(m);
    const std::vector<std::string> expected = {
        "Main",
        "X: Time (sec)",
        "",
        "Subset 1: H2",
        "                X                Y",
        "   0.00000000E+00   5.00000000E-01",
        "   2.00000000E+00   1.00000000E-10",
        "",
        "Subset 2",
        "                X                Y",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace kx::chart
