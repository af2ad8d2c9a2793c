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

// A window at the wanted place, made to lie inside the area: no larger than
// the area, and moved in as far as it stands out.
Place FitInArea(Place wanted, int areaWidth, int areaHeight);

// The place of a new window of the size (already fitted to the area) when
// openWindows others are open: one step right and down from the one before,
// starting again at the top-left corner when the next step would leave the
// area.
Place NewWindowPlace(int openWindows, int width, int height, int areaWidth, int areaHeight, int step);

// Cascade of count windows: each one step right and down from the one
// before, all of one size that reaches the area's right and bottom edges.
// No window is narrower or lower than two thirds of the area: with more
// windows than that leaves room for, the steps start again at the corner.
std::vector<Place> CascadePlaces(int count, int areaWidth, int areaHeight, int step);

// Places of count minimised windows of one size: rows from the bottom-left
// corner to the right, the next row above when a row is full.
std::vector<Place> IconPlaces(int count, int iconWidth, int iconHeight, int areaWidth, int areaHeight);

}  // namespace kx
