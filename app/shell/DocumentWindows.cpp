#include "DocumentWindows.h"

#include <algorithm>
#include <array>

namespace kx {

int NextTextDocumentNumber(const std::vector<std::string>& captions) {
    std::array<bool, kTextDocNumbers + 1> used{};
    const std::string prefix = kTextDocPrefix;
    for (const std::string& caption : captions) {
        if (caption.compare(0, prefix.size(), prefix) != 0) continue;
        for (int n = 1; n <= kTextDocNumbers; ++n)
            if (caption == prefix + std::to_string(n)) used[static_cast<std::size_t>(n)] = true;
    }
    for (int n = 1; n <= kTextDocNumbers; ++n)
        if (!used[static_cast<std::size_t>(n)]) return n;
    return 0;
}

std::vector<Place> TilePlaces(int count, int areaWidth, int areaHeight, bool horizontal) {
    std::vector<Place> places;
    if (count <= 0) return places;
    const int span = horizontal ? areaHeight : areaWidth;
    const int step = std::max(1, span / count);
    for (int i = 0; i < count; ++i) {
        const int start = i * step;
        const int length = i == count - 1 ? std::max(step, span - start) : step;
        places.push_back(horizontal ? Place{0, start, areaWidth, length} : Place{start, 0, length, areaHeight});
    }
    return places;
}

Place FitInArea(Place wanted, int areaWidth, int areaHeight) {
    Place p = wanted;
    p.width = std::max(0, std::min(p.width, areaWidth));
    p.height = std::max(0, std::min(p.height, areaHeight));
    p.x = std::clamp(p.x, 0, std::max(0, areaWidth - p.width));
    p.y = std::clamp(p.y, 0, std::max(0, areaHeight - p.height));
    return p;
}

namespace {

// How many places a cascade of windows of the size has before it starts
// again at the corner.
int cascadeSlots(int width, int height, int areaWidth, int areaHeight, int step) {
    if (step <= 0) return 1;
    return 1 + std::max(0, std::min((areaWidth - width) / step, (areaHeight - height) / step));
}

}  // namespace

Place NewWindowPlace(int openWindows, int width, int height, int areaWidth, int areaHeight, int step) {
    const int slot = std::max(0, openWindows) % cascadeSlots(width, height, areaWidth, areaHeight, step);
    return FitInArea({slot * step, slot * step, width, height}, areaWidth, areaHeight);
}

std::vector<Place> CascadePlaces(int count, int areaWidth, int areaHeight, int step) {
    std::vector<Place> places;
    if (count <= 0) return places;
    step = std::max(0, step);
    const int maxSteps = step == 0 ? 0 : std::min(areaWidth, areaHeight) / 3 / step;
    const int steps = std::min(count - 1, maxSteps);
    const int width = std::max(1, areaWidth - steps * step);
    const int height = std::max(1, areaHeight - steps * step);
    for (int i = 0; i < count; ++i) {
        const int slot = i % (steps + 1);
        places.push_back({slot * step, slot * step, width, height});
    }
    return places;
}

std::vector<Place> IconPlaces(int count, int iconWidth, int iconHeight, int areaWidth, int areaHeight) {
    std::vector<Place> places;
    const int perRow = std::max(1, areaWidth / std::max(1, iconWidth));
    for (int i = 0; i < count; ++i) {
        const int column = i % perRow;
        const int row = i / perRow;
        places.push_back({column * iconWidth, areaHeight - (row + 1) * iconHeight, iconWidth, iconHeight});
    }
    return places;
}

}  // namespace kx
