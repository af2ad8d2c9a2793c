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
