// Random colours and line types of new curves. The source is a small
// linear congruential generator with a fixed start, so a sequence of charts
// gets the same colours in every run, and a test seeds it to know them.
#pragma once

#include "SharedState.h"

#include <cstdint>

namespace kx::chart {

class RandomSource {
public:
    static constexpr std::uint32_t kDefaultSeed = 327680;

    explicit RandomSource(std::uint32_t seed = kDefaultSeed) : state_(seed & 0xFFFFFFu) {}
    void Seed(std::uint32_t seed) { state_ = seed & 0xFFFFFFu; }
    // The next number in [0, 1), a multiple of 2^-24.
    double Next();

private:
    std::uint32_t state_;
};

// The one source of the program's charts.
RandomSource& ChartRandom();

// The sixteen basic colours by number 0 to 15 (0 black, 1 blue, 2 green,
// 3 cyan, 4 red, 5 magenta, 6 yellow, 7 white, 8 grey, 9 to 15 their light
// forms); red in the low byte. A number outside 0..15 raises InvalidArgument.
Colour QBColor(int number);

// A random curve colour: basic colour 0 to 6 or 9 (white, the seventh
// draw, is replaced by light blue so that no curve vanishes on the paper).
Colour RandomCurveColour(RandomSource& random);
// A random line type 0 to 10 (the draw times ten, rounded half to even).
int RandomLineType(RandomSource& random);

}  // namespace kx::chart
