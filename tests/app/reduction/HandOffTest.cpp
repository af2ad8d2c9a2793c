// The tables through which the reduction receives the mechanism and the
// interval values.
#include <gtest/gtest.h>

#include "Errors.h"
#include "RedHandOff.h"

using kx::RedHandOffTables;
using kx::Table2;

namespace {

// Species 1 A, 2 B, 3 C, 4 D (in no reaction):
//   1: A + A => B      2: A + C => B + C (C a catalyst)      3: B => A
struct Mechanism {
    Mechanism() {
        ints.Resize(4, 27);
        reals.Resize(4, 26);
        auto set = [&](int r, std::vector<int> reactants, std::vector<int> products) {
            for (std::size_t j = 0; j < reactants.size(); ++j) ints(r, 1 + static_cast<int>(j)) = reactants[j];
            for (std::size_t j = 0; j < products.size(); ++j) ints(r, 4 + static_cast<int>(j)) = products[j];
            ints(r, 10) = static_cast<int>(reactants.size());
            ints(r, 11) = static_cast<int>(products.size());
            reals(r, 1) = 10.0 * r;
            reals(r, 25) = -r;
        };
        set(1, {1, 1}, {2});
        set(2, {1, 3}, {2, 3});
        set(3, {2}, {1});
        ints(2, 12) = 2;
        ints(2, 13) = 1;
        ints(2, 17) = 4;
    }
    void Hand(RedHandOffTables& t) const { t.RedSetMechanism(4, names, 3, ints, reals); }

    std::vector<std::string> names{"", "A", "B", "C", "D"};
    Table2<int> ints;
    Table2<double> reals;
};

TEST(HandOff, NetCoefficientsAndReactionCountsPerSpecies) {
    RedHandOffTables t;
    Mechanism().Hand(t);
    EXPECT_EQ(t.RedStoich(1, 1), -2);
    EXPECT_EQ(t.RedStoich(1, 2), 1);
    EXPECT_EQ(t.RedStoich(2, 3), 0);  // the catalyst nets to 0
    EXPECT_EQ(t.RedStoich(2, 1), -1);
    EXPECT_EQ(t.RedStoich(3, 1), 1);
    EXPECT_EQ(t.RedSpeciesReactionCount, (std::vector<int>{0, 3, 3, 0, 0}));
    EXPECT_EQ(t.RedSpeciesNames, (std::vector<std::string>{"", "A", "B", "C", "D"}));
    EXPECT_EQ(t.RedReactionInts(2, 17), 4);
    EXPECT_EQ(t.RedReactionReals(3, 25), -3);
    EXPECT_EQ(t.RedReactionInts(0, 1), 0);
    EXPECT_EQ(t.RedSpeciesKept, std::vector<bool>(5, false));
    EXPECT_EQ(t.RedReactionKept, std::vector<bool>(4, false));
}

TEST(HandOff, NewMechanismClearsTheKeptFlags) {
    RedHandOffTables t;
    Mechanism().Hand(t);
    t.RedSpeciesKept[2] = true;
    t.RedReactionKept[3] = true;
    Mechanism().Hand(t);
    EXPECT_EQ(t.RedSpeciesKept, std::vector<bool>(5, false));
    EXPECT_EQ(t.RedReactionKept, std::vector<bool>(4, false));
}

TEST(HandOff, ValuesAreRebuiltInReactionOrderAtEveryCall) {
    RedHandOffTables t;
    Mechanism().Hand(t);
    t.RedSetTemperatureRates(std::vector<double>{0, 1, 2, 3});
    std::swap(t.RedReactionHeat[1], t.RedReactionHeat[3]);  // as a ranking would
    t.RedSetTemperatureRates(std::vector<double>{0, 7, 8, 9});
    t.RedSetReactionRates(std::vector<double>{0, -1, -2, -3});
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(t.RedReactionHeat[i].Number, i);
        EXPECT_EQ(t.RedReactionHeat[i].Value, 6 + i);
        EXPECT_EQ(t.RedReactionRates[i].Value, -i);
    }
    EXPECT_EQ(t.RedReactionRates[0].Number, 0);
    EXPECT_THROW(t.RedSetReactionRates(std::vector<double>{0, 1, 2}), kx::Error);
}

TEST(HandOff, SpeciesOutsideTheMechanismIsRefused) {
    Mechanism m;
    m.ints(3, 4) = 5;
    RedHandOffTables t;
    EXPECT_THROW(m.Hand(t), kx::Error);
}

}  // namespace
