#include "SharedState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(LoadConstants, PaperFollowsTheDefaultPrinterOnlyForLetterAndA4) {
    for (auto [printer, expected] : {std::pair{kx::kPaperA4, 9.0F}, std::pair{kx::kPaperLetter, 1.0F},
                                     std::pair{kx::kPaperLegal, 1.0F}, std::pair{0, 1.0F}}) {
        kx::SharedState s;
        kx::LoadConstants(s, printer);
        EXPECT_EQ(s.PageSetupValues[4], expected) << "printer paper " << printer;
    }
}

TEST(LoadConstants, StartValues) {
    kx::SharedState s;
    kx::LoadConstants(s, 0);
    EXPECT_DOUBLE_EQ(std::log10(1234.5), std::log(1234.5) / s.LN10);
    EXPECT_EQ(s.PageSetupValues, (std::array<float, 6>{0.5F, 0.5F, 1.0F, 1.0F, 1.0F, 1.0F}));
    EXPECT_EQ(s.LineChunk, 1000);
    EXPECT_EQ(s.TextFontSize, 11);
    EXPECT_TRUE(s.UnitsJoule);
    EXPECT_TRUE(s.LogTimeAxis);
    EXPECT_FALSE(s.LogYSpecies);
    EXPECT_TRUE(s.SpeciesNames12);
    EXPECT_EQ(s.ReductionDefaults, (std::array<double, 3>{0.1, 0.3, 0.1}));
    EXPECT_EQ(s.CompareWeightB, 0.5);
    EXPECT_EQ(s.CompareLogX, 1);
    for (size_t i : {5u, 8u, 11u}) EXPECT_EQ(kx::TextOf(s.MenuFormTextValues[i]), "0.1") << i;
    for (size_t i : {1u, 2u, 3u, 4u, 6u, 7u, 9u, 10u}) EXPECT_EQ(kx::TextOf(s.MenuFormTextValues[i]), "1") << i;
    for (size_t i : {0u, 12u, 13u, 14u, 15u}) EXPECT_TRUE(kx::IsEmpty(s.MenuFormTextValues[i])) << i;
}

TEST(SharedState, OneInstancePerProcessStartingEmpty) {
    EXPECT_EQ(&kx::Shared(), &kx::Shared());
    EXPECT_EQ(kx::Shared().LastActiveChart, "");
    EXPECT_FALSE(kx::Shared().ChartRebuilding);
    EXPECT_FALSE(kx::Shared().CloseRefused);
}

}  // namespace
