// The reaction lists of the results window: their tables, "All" and
// "Important", the sum box, the copied table and the histogram.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "ReactionLists.h"
#include "SharedState.h"

using kx::ContributionTable;
using kx::ReactionList;
using kx::ShownReaction;

namespace {

ContributionTable RunOf(std::vector<double> contributions, double change, bool derFlag = true) {
    ContributionTable t;
    for (std::size_t i = 0; i < contributions.size(); ++i) {
        t.Numbers.push_back(static_cast<int>(i) + 1);
        t.Texts.push_back("R" + std::to_string(i + 1) + " text");
    }
    t.Contributions = std::move(contributions);
    t.ActualChange = change;
    t.DerFlag = derFlag;
    return t;
}

ReactionList ListOf(std::vector<double> contributions, double change) {
    ReactionList list;
    kx::ReacUpdate(list, RunOf(std::move(contributions), change));
    return list;
}

std::vector<double> Numbers(const ReactionList& l) {
    std::vector<double> n;
    for (int i = 1; i <= l.Count; ++i) n.push_back(kx::NumberOf(l.Rows[i][0]));
    return n;
}

TEST(ReactionLists, ContributionsAreSortedByMagnitudeAndListsWithoutThemKeepReactionOrder) {
    const ReactionList d = ListOf({0.1, -4, 5, -0.05, 1}, 1.95);
    EXPECT_EQ(d.Count, 5);
    EXPECT_EQ(Numbers(d), (std::vector<double>{3, 2, 5, 1, 4}));
    EXPECT_EQ(kx::TextOf(d.Rows[2][1]), "R2 text");
    EXPECT_EQ(kx::NumberOf(d.Rows[2][2]), -4);
    EXPECT_EQ(d.SpeciesDerivativeText, "1.95E+00");

    // The "Reactions" page lists without values; its own list keeps nothing
    // of a derivative run.
    ReactionList r;
    kx::ReacUpdate(r, RunOf({0, 0, 0}, 7.0, false));
    EXPECT_EQ(Numbers(r), (std::vector<double>{1, 2, 3}));
    EXPECT_TRUE(kx::IsEmpty(r.Rows[1][2]));
    EXPECT_EQ(r.SpeciesDerivativeText, "");

    // A second, shorter run replaces the whole list.
    ReactionList again = d;
    kx::ReacUpdate(again, RunOf({2, -1}, 0.5));
    EXPECT_EQ(again.Count, 2);
    EXPECT_EQ(again.Rows.size(), 3U);
    EXPECT_EQ(Numbers(again), (std::vector<double>{1, 2}));
}

TEST(ReactionLists, AllAndImportant) {
    const ReactionList l = ListOf({0.1, -4, 5, -0.05, 1}, 1.95);
    struct Case {
        bool important;
        const char* share;
        bool refused;
        int count;
        const char* caption;
        bool importantShown;
    };
    const Case cases[] = {
        {false, "garbage", false, 5, "All reactions 5", false},  // "All" reads no share
        {true, "0.1", false, 3, "Important reactions 3", true},
        {true, "0", false, 5, "All reactions 5", false},          // a share of 0 lists all
        {true, "0.999", false, 2, "Important reactions 2", true},  // the largest dropped row is kept
        {true, "1", false, 1, "Important reactions 1", true},    // all may be left out but the largest (> 0.3)
        {true, "1.5", true, 0, "", false},
        {true, "-0.1", true, 0, "", false},
        {true, "abc", true, 0, "", false},
        {true, "", true, 0, "", false},
    };
    for (const Case& c : cases) {
        const kx::ReactionSelection s = kx::ShowReacMen(l, c.important, c.share);
        EXPECT_EQ(s.Refused, c.refused) << c.share;
        EXPECT_EQ(s.Count, c.count) << c.share;
        EXPECT_EQ(s.CaptionText, c.caption) << c.share;
        EXPECT_EQ(s.Important, c.importantShown) << c.share;
        if (c.refused) {
            EXPECT_EQ(s.Message, "Parameter, please enter a decimal number on the interval [0, 1].");
        }
    }
    // A share that keeps no row: nothing shown, no message.
    const ReactionList zeros = ListOf({0, 0}, 0);
    const kx::ReactionSelection none = kx::ShowReacMen(zeros, true, "0.5");
    EXPECT_FALSE(none.Refused);
    EXPECT_EQ(none.Count, 0);
    EXPECT_EQ(none.CaptionText, "Important reactions 0");

    // A share of 1: no row is kept for its own sake, only a largest one
    // that alone carries more than 0.3 of the total, whatever the order
    // in which the magnitudes add up (0.4 + 0.7 + 0.8 comes out above
    // 0.8 + 0.7 + 0.4).
    const std::pair<std::vector<double>, int> whole[] = {
        {{0.8, -0.7, 0.4}, 1}, {{1, -1, 1, 1}, 0}, {{0.31, 0.3, 0.2, 0.19}, 1}, {{0.29, 0.28, 0.23, 0.2}, 0}};
    for (const auto& [values, count] : whole) {
        const kx::ReactionSelection all = kx::ShowReacMen(ListOf(values, 0), true, "1");
        EXPECT_FALSE(all.Refused);
        EXPECT_EQ(all.Count, count) << values[0];
        EXPECT_EQ(all.CaptionText, "Important reactions " + std::to_string(count));
    }
}

TEST(ReactionLists, TheSumBox) {
    const ReactionList l = ListOf({0.1, -4, 5, -0.05, 1}, 1.95);
    const kx::SumBox sum = kx::TemperSum(l, 3, true);
    EXPECT_EQ(sum.Caption, "Sum of Reactions");
    EXPECT_EQ(sum.Text, "2.00E+00");
    EXPECT_FALSE(sum.Centred);
    EXPECT_FALSE(sum.Highlighted);

    // 3 - 2.999 + 0.0001 is a small difference of large numbers.
    const ReactionList close = ListOf({3, -2.999, 0.0001}, 2e-4);
    const kx::SumBox stars = kx::TemperSum(close, 3, true);
    EXPECT_EQ(stars.Caption, "A small difference between large numbers");
    EXPECT_EQ(stars.Text, "***");
    EXPECT_TRUE(stars.Centred);
    EXPECT_TRUE(stars.Highlighted);

    const kx::SumBox derivative = kx::TemperSum(l, 5, false);
    EXPECT_EQ(derivative.Caption, "Derivative");
    EXPECT_EQ(derivative.Text, "1.95E+00");
    EXPECT_FALSE(derivative.Highlighted);

    const ReactionList zeroChange = ListOf({1, -1}, 0);
    const kx::SumBox undefined = kx::TemperSum(zeroChange, 2, false);
    EXPECT_EQ(undefined.Text, "0.00E+00");
    EXPECT_TRUE(undefined.Highlighted);
    EXPECT_EQ(undefined.ToolTip,
              "The value cannot be defined exactly; it is a small difference between large numbers.");

    const ReactionList allZero = ListOf({0, 0}, 0);
    EXPECT_THROW(kx::TemperSum(allZero, 2, true), kx::Error);
}

TEST(ReactionLists, TheCopiedTable) {
    kx::CopiedTable t;
    t.Date = kx::ReportDate(2024, 3, 7);
    t.SolverFilePath = "/data/gri.txt";
    t.Heading = "OH  Production. (mol/g). Important reactions 3.";
    t.IntervalStart = "0.000000E+00";
    t.IntervalEnd = "1.000000E-02";
    t.ValueHeading = " Production";
    t.Rows = {{"3", "H+O2<=>O+OH", 5}, {"5", "OH+H2<=>H+H2O", 1}, {"2", "2OH<=>O+H2O", -4}};
    t.SumCaption = "Sum of Reactions";
    t.SumText = "2.00E+00";
    t.SpeciesDerivativeText = "1.95E+00";
    EXPECT_EQ(kx::CopyReac(t),
              "Kinovex Postprocessor, Mar 7 2024\r\n"
              "Solver File: /data/gri.txt\r\n"
              "OH  Production. (mol/g). Important reactions 3.\r\n"
              "Time interval 0.000000E+00 - 1.000000E-02 sec\r\n"
              "\r\n"
              "  No  Reaction                                           Production\r\n"
              "   3  H+O2<=>O+OH                                         5.00E+00\r\n"
              "   5  OH+H2<=>H+H2O                                       1.00E+00\r\n"
              "   2  2OH<=>O+H2O                                        -4.00E+00\r\n"
              "  ------------------------------------------------------------------\r\n"
              "      Sum                                                 2.00E+00\r\n"
              "\r\n"
              "      Derivative                                          1.95E+00\r\n");

    // Under "***" the sum line shows it and the table ends with the warning;
    // under "Derivative" there is no sum line.
    t.Rows.clear();
    t.SumCaption = "A small difference between large numbers";
    t.SumText = "***";
    t.SpeciesDerivativeText = "2.00E-04";
    const std::string stars = kx::CopyReac(t);
    const std::string tail =
        "      Sum                                                   ***   \r\n"
        "\r\n"
        "      Derivative                                          2.00E-04\r\n"
        "\r\n"
        " Small difference between large numbers, the correct value cannot be calculated.\r\n";
    ASSERT_GE(stars.size(), tail.size());
    EXPECT_EQ(stars.substr(stars.size() - tail.size()), tail);
    t.SumCaption = "Derivative";
    t.SumText = "2.00E-04";
    EXPECT_EQ(kx::CopyReac(t).find("Sum"), std::string::npos);

    // A reaction text longer than its column is not cut.
    t.Rows = {{"12", std::string(55, 'A'), 1}};
    EXPECT_NE(kx::CopyReac(t).find("  12  " + std::string(55, 'A') + "  1.00E+00\r\n"), std::string::npos);
    EXPECT_EQ(kx::ReportDate(1999, 12, 31), "Dec 31 1999");
    EXPECT_EQ(kx::FormStr(3), "@@@");
    EXPECT_EQ(kx::FormStr(0), "");
}

TEST(ReactionLists, HistogramOfManyReactions) {
    std::vector<ShownReaction> rows;
    for (int i = 1; i <= 150; ++i)
        rows.push_back({std::to_string(i), "R" + std::string(static_cast<std::size_t>(i % 60), 'x'), i % 2 ? i * 1e-6 : -i * 1e-6});
    const kx::Histogram h = kx::BuildHistogram(rows, "-3.00E-05", 1000, "OH");
    const int n = 150;
    EXPECT_EQ(h.SubsetCount, n + 2);
    EXPECT_EQ(h.PointCount, 2);
    ASSERT_EQ(h.PlotData.size(), static_cast<std::size_t>(2 * (n + 2)));
    // The zero line, the species' change, then the reactions in list order.
    EXPECT_EQ(h.PlotData[0], (std::vector<double>{0, 0}));
    EXPECT_EQ(h.PlotData[1], (std::vector<double>{0, n + 2}));
    EXPECT_NEAR(h.PlotData[2][0], -3e-2, 1e-15);
    EXPECT_EQ(h.PlotData[2][1], 0);
    EXPECT_EQ(h.PlotData[3], (std::vector<double>{1, 1}));
    EXPECT_NEAR(h.PlotData[2 * 151][0], -150e-3, 1e-15);
    EXPECT_EQ(h.PlotData[2 * 151 + 1], (std::vector<double>{151, 151}));

    EXPECT_EQ(h.Titles[1], "OH Production");
    EXPECT_EQ(h.Titles[2], "Production x 1.0E+03 (mol/g)");
    EXPECT_EQ(h.Titles[3], "");
    ASSERT_EQ(h.SubsetLabels.size(), static_cast<std::size_t>(n + 3));
    EXPECT_EQ(h.SubsetLabels[1], "Derivative, -3.00E-05 (mol/g)");
    EXPECT_EQ(h.SubsetLabels[2], "R1, 1.00E-06 (mol/g)");
    EXPECT_EQ(h.SubsetLabels[3], "R2, -2.00E-06 (mol/g)");
    EXPECT_EQ(h.ItemLabels[1], "Derivative");
    EXPECT_EQ(h.ItemLabels[151], "R150");
    // Texts: 49 characters split after 48; 48 stay whole.
    EXPECT_EQ(h.LongLabels[48].first, "R" + std::string(47, 'x'));  // reaction 47, bar 48
    EXPECT_EQ(h.LongLabels[48].second, "Empty");
    EXPECT_EQ(h.LongLabels[49].first, "R" + std::string(47, 'x'));
    EXPECT_EQ(h.LongLabels[49].second, "x");

    const kx::Histogram unscaled = kx::BuildHistogram(rows, "0", 1, "OH");
    EXPECT_EQ(unscaled.Titles[2], "Production (mol/g)");
    // The axis states the factor the bars were multiplied by.
    EXPECT_EQ(kx::BuildHistogram(rows, "0", 1.25, "OH").Titles[2], "Production x 1.25E+00 (mol/g)");
    EXPECT_THROW(kx::BuildHistogram(rows, "0", 0, "OH"), kx::Error);
}

}  // namespace
