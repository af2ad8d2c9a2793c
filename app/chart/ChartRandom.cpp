#include "ChartRandom.h"

#include "Errors.h"
#include "Format.h"

#include <array>
#include <cmath>

namespace kx::chart {

double RandomSource::Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<double>(state_) / 16777216.0;
}

RandomSource& ChartRandom() {
    static RandomSource source;
    return source;
}

namespace {

constexpr Colour rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

constexpr std::array<Colour, 16> kBasicColours = {
    rgb(0, 0, 0),     rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128), rgb(128, 0, 0),   rgb(128, 0, 128),
    rgb(128, 128, 0), rgb(192, 192, 192), rgb(128, 128, 128), rgb(0, 0, 255), rgb(0, 255, 0), rgb(0, 255, 255),
    rgb(255, 0, 0),   rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255)};

}  // namespace

Colour QBColor(int number) {
    if (number < 0 || number > 15) throw Error(ErrorKind::InvalidArgument, "colour number " + std::to_string(number));
    return kBasicColours[static_cast<std::size_t>(number)];
}

Colour RandomCurveColour(RandomSource& random) {
    int k = static_cast<int>(std::floor(random.Next() * 8));
    if (k == 7) k = 9;
    return QBColor(k);
}

int RandomLineType(RandomSource& random) { return static_cast<int>(RoundHalfEven(random.Next() * 10)); }

}  // namespace kx::chart
