#include "ChartFile.h"
#include "ChartLoading.h"
#include "Errors.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kx::chart {
namespace {

// A chart with every kind of content: curves with gaps, styles, long labels
// past the old slot table, annotations, a histogram presentation and a
// non-default value for every saved setting.
ChartModel richChart() {
    ChartModel m;
    const int subsets = 120;
    m.Resize(subsets, 4);
    for (int s = 0; s < subsets; ++s) {
        Subset& sub = m.At(s);
        sub.label = std::string("R").append(std::to_string(s)).append(", ").append(std::to_string(s * 0.1)).append(" (mol/g)");
        sub.colour = s * 1234 % 0xFFFFFF;
        sub.lineType = s % 12;
        sub.pointType = s % 2 ? 73 : s % 12;
        sub.longLabel1 = "H+O2<=>O+OH\tlong " + std::to_string(s);
        sub.longLabel2 = s % 3 ? "Empty" : "rest \\ of it";
        sub.x = {0.1 * s, 1.0 / 3.0, kMissing, 1e-300};
        sub.y = {-1.5e-17, 2.0 / 7.0, 5, kMissing};
    }
    m.mainTitle = "Main\r\nTitle";
    m.subTitle = " leading blank";
    m.xAxisLabel = "Time (\xC2\xB5s)";
    m.yAxisLabel = "";
    m.histogram = true;
    m.colourStyle = false;
    m.bars.signedBars = true;
    m.bars.itemLabels = true;
    m.bars.selected = 1;
    m.bars.labels = {"", "Derivative", "R1"};
    m.Slot(0) = Annotation{1.5, -2.25, "first note", 0x00FF00, 3, 0};
    m.Slot(100) = Annotation{1e-9, 7, "last  slot ", 255, 0, 1};
    m.Slot(50).colour = 0x123456;  // a free slot keeps its colour
    m.pairSettings[{2, 3}] = 4.5;
    // Every saved setting away from its start value.
    int k = 0;
    for (const PropertyInfo& info : ChartModel::Properties()) {
        if (!info.saved || info.indexed || info.name == "MainTitle" || info.name == "SubTitle" ||
            info.name == "XAxisLabel" || info.name == "YAxisLabel")
            continue;
        ++k;
        switch (info.kind) {
            case PropertyKind::Text: m.Set(info.name, "Font " + std::to_string(k)); break;
            case PropertyKind::Flag: m.Set(info.name, m.Flag(info.name) ? 0.0 : -1.0); break;
            default: m.Set(info.name, NumberOf(m.Get(info.name)) + k + 0.125); break;
        }
    }
    return m;
}

void expectSameCharts(const ChartModel& a, const ChartModel& b) {
    ASSERT_EQ(a.Subsets(), b.Subsets());
    ASSERT_EQ(a.Points(), b.Points());
    for (int s = 0; s < a.Subsets(); ++s) {
        const Subset &x = a.At(s), &y = b.At(s);
        EXPECT_EQ(x.label, y.label);
        EXPECT_EQ(x.colour, y.colour);
        EXPECT_EQ(x.lineType, y.lineType);
        EXPECT_EQ(x.pointType, y.pointType);
        EXPECT_EQ(x.longLabel1, y.longLabel1);
        EXPECT_EQ(x.longLabel2, y.longLabel2);
        EXPECT_EQ(x.x, y.x);
        EXPECT_EQ(x.y, y.y);
    }
    for (int i = 0; i < kAnnotationSlots; ++i) {
        const Annotation &x = a.Slot(i), &y = b.Slot(i);
        EXPECT_EQ(x.x, y.x);
        EXPECT_EQ(x.y, y.y);
        EXPECT_EQ(x.text, y.text);
        EXPECT_EQ(x.colour, y.colour);
        EXPECT_EQ(x.type, y.type);
        EXPECT_EQ(x.attribute, y.attribute);
    }
    EXPECT_EQ(a.mainTitle, b.mainTitle);
    EXPECT_EQ(a.subTitle, b.subTitle);
    EXPECT_EQ(a.xAxisLabel, b.xAxisLabel);
    EXPECT_EQ(a.yAxisLabel, b.yAxisLabel);
    EXPECT_EQ(a.histogram, b.histogram);
    EXPECT_EQ(a.colourStyle, b.colourStyle);
    EXPECT_EQ(a.bars.signedBars, b.bars.signedBars);
    EXPECT_EQ(a.bars.itemLabels, b.bars.itemLabels);
    EXPECT_EQ(a.bars.selected, b.bars.selected);
    EXPECT_EQ(a.bars.labels, b.bars.labels);
    EXPECT_EQ(a.Settings(), b.Settings());
    EXPECT_EQ(a.pairSettings, b.pairSettings);
}

TEST(ChartFile, RoundTripKeepsEverythingAndTheSecondSaveIsIdentical) {
    const ChartModel original = richChart();
    test::TempDir dir;
    const std::string path = dir.file("chart.pg");
    WriteChartFile(original, path);
    const ChartModel reread = ReadChartFile(path);
    expectSameCharts(original, reread);
    const std::string first = test::ReadBytes(path);
    WriteChartFile(reread, dir.file("again.pg"));
    EXPECT_EQ(test::ReadBytes(dir.file("again.pg")), first);
    EXPECT_EQ(first.substr(0, 25), "KINOVEX CHART\r\nVERSION 1\r");
    // Shortest round-trip decimals.
    EXPECT_NE(first.find("\r\nX 0 0 0.3333333333333333 -99999 1e-300\r\n"), std::string::npos);
}

TEST(ChartFile, UnknownRecordsAreIgnoredAndMissingOnesDefaulted) {
    const std::string text =
        "KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 1\nPOINTS 2\n"
        "FUTURE something new\nPROPERTY NoLongerKnown 5\nPROPERTY FONTSIZE 2\n"
        "X 0 1 2\nEND\n";
    const ChartModel m = ParseChartFile(text);
    EXPECT_EQ(m.Subsets(), 1);
    EXPECT_EQ(m.At(0).x, (std::vector<double>{1, 2}));
    EXPECT_EQ(m.At(0).y, (std::vector<double>{kMissing, kMissing}));
    EXPECT_EQ(m.Number("FONTSIZE"), 2);
    EXPECT_EQ(m.Number("PointSize"), ChartModel().Number("PointSize"));
    EXPECT_TRUE(m.Slot(0).Free());
    EXPECT_TRUE(m.colourStyle);
}

TEST(ChartFile, RefusedFilesSayWhy) {
    const std::string good = ChartFileText(richChart());
    struct Case {
        std::string bytes;
        std::string says;
    } cases[] = {
        {"", "not a chart file"},
        {"PK\x03\x04 binary", "not a chart file"},
        {"KINOVEX SOLVER\r\n", "not a chart file"},
        {"KINOVEX CHART\r\nVERSION 2\r\nEND\r\n", "newer version"},
        {"KINOVEX CHART\r\nVERSION x\r\n", "damaged"},
        {good.substr(0, good.size() / 2), "damaged"},  // cut inside a data line or record
        {good.substr(0, good.size() - 5), "incomplete"},
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 100000\r\nPOINTS 1000000\r\nEND\r\n", "exceed the file"},
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 2000000\r\n", "out of range"},
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 1\r\nPOINTS 2\r\nX 0 1\r\nEND\r\n", "too few values"},
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 1\r\nPOINTS 2\r\nX 0 1 nan\r\nEND\r\n", "no number"},
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 1\r\nPOINTS 1\r\nX 1 5\r\nEND\r\n", "out of range"},
        {"KINOVEX CHART\r\nVERSION 1\r\nX 0 5\r\nEND\r\n", "out of range"},  // no subsets counted
        {"KINOVEX CHART\r\nVERSION 1\r\nSUBSETS 1\r\nX 0\r\nPOINTS 3\r\nEND\r\n", "count after the data"},
        {"KINOVEX CHART\r\nVERSION 1\r\nPROPERTY FONTSIZE big\r\nEND\r\n", "no number"},
        {"KINOVEX CHART\r\nVERSION 1\r\nANNOTATION 101 0 0 0 0 0 x\r\nEND\r\n", "out of range"},
        {"KINOVEX CHART\r\nVERSION 1\r\nEND\r\nmore\r\n", "after the end"},
    };
    for (const Case& c : cases) {
        try {
            ParseChartFile(c.bytes);
            ADD_FAILURE() << "accepted: " << c.bytes.substr(0, 60);
        } catch (const ChartFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

TEST(ChartFile, AMissingFileIsAFileError) {
    test::TempDir dir;
    EXPECT_THROW(ReadChartFile(dir.file("none.pg")), Error);
}

TEST(ChartFile, TextEscapes) {
    const std::string raw = "a\\b\tc\r\nd\\x";
    EXPECT_EQ(EscapeText(raw), "a\\\\b\\tc\\r\\nd\\\\x");
    EXPECT_EQ(UnescapeText(EscapeText(raw)), raw);
    EXPECT_EQ(UnescapeText("odd \\q end\\"), "odd \\q end\\");
}

}  // namespace
}  // namespace kx::chart
