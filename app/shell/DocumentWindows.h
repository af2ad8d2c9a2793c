// Rules about the document windows that need no window: the number of a new
// untitled text document, and the places of tiled and minimised windows.
#pragma once

#include <string>
#include <vector>

namespace kx {

// Captions of new text documents are "Text Doc" followed by a number.
inline constexpr const char* kTextDocPrefix = "Text Doc";
inline constexpr int kTextDocNumbers = 100;

// The lowest number n from 1 to 100 such that no caption is exactly
// "Text Doc" + n; 0 when all hundred are taken.
int NextTextDocumentNumber(const std::vector<std::string>& captions);

struct Place {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Place&) const = default;
};

// Tiling of count windows over an area: horizontally, one above the other
// across the full width; vertically, side by side over the full height.
// Pixels left over by the division go to the last window.
std::vector<Place> TilePlaces(int count, int areaWidth, int areaHeight, bool horizontal);

// Places of count minimised windows of one size: rows from the bottom-left
// corner to the right, the next row above when a row is full.
std::vector<Place> IconPlaces(int count, int iconWidth, int iconHeight, int areaWidth, int areaHeight);

}  // namespace kx
