// The counts of a solver file's lines 10 and 11 as every reader takes them:
// within the limits of a mechanism and the length of the file, or refused
// before anything is sized by them.
#include "Errors.h"
#include "SolverFileLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace {

using kx::solverfile::CheckedReactionCount;
using kx::solverfile::CheckedSpeciesCount;

struct CountCase {
    const char* what;
    std::function<int(int, std::size_t)> check;
    int count;
    std::size_t lines;
    std::string refusal;  // the error text after its description; empty when the count is taken
};

TEST(SolverFileCounts, CountsOutsideTheLimitsOrTheFileAreRefused) {
    const std::string species = "the species count on line 10, ";
    const std::string reactions = "the reaction count on line 11, ";
    const CountCase cases[] = {
        {"one species", CheckedSpeciesCount, 1, 37, ""},
        {"300 species", CheckedSpeciesCount, 300, 33 + 4 * 300, ""},
        {"records filling the file", CheckedSpeciesCount, 10, 73, ""},
        {"no species", CheckedSpeciesCount, 0, 1000, species + "0, is below 1"},
        {"a negative species count", CheckedSpeciesCount, -4, 1000, species + "-4, is below 1"},
        {"301 species", CheckedSpeciesCount, 301, 100000, species + "301, is above 300"},
        {"2^30 species", CheckedSpeciesCount, 1 << 30, 100000, species + "1073741824, is above 300"},
        {"the largest int", CheckedSpeciesCount, INT_MAX, 100, species + "2147483647, is above 300"},
        {"records beyond the file", CheckedSpeciesCount, 10, 72, species + "10, needs more lines than the file has"},
        {"no reactions", CheckedReactionCount, 0, 0, ""},
        {"3000 reactions", CheckedReactionCount, 3000, 9000, ""},
        {"a negative reaction count", CheckedReactionCount, -1, 1000, reactions + "-1, is below 0"},
        {"3001 reactions", CheckedReactionCount, 3001, 100000, reactions + "3001, is above 3000"},
        {"reactions beyond the file", CheckedReactionCount, 10, 29, reactions + "10, needs more lines than the file has"},
    };
    for (const CountCase& c : cases) {
        try {
            EXPECT_EQ(c.check(c.count, c.lines), c.count) << c.what;
            EXPECT_EQ(c.refusal, "") << c.what << " was taken";
        } catch (const kx::Error& e) {
            EXPECT_EQ(e.kind(), kx::ErrorKind::SubscriptOutOfRange) << c.what;
            EXPECT_EQ(std::string(e.what()), "Subscript out of range: " + c.refusal) << c.what;
        }
    }
}

}  // namespace
