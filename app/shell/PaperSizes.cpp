#include "PaperSizes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kx {

PageTwips PageSize(int paper, int orientation) {
    PageTwips page = paper == kPaperA4 ? PageTwips{11907.0F, 29.7F * 567.0F} : PageTwips{12240.0F, 15840.0F};
    if (orientation == kLandscape) std::swap(page.width, page.height);
    return page;
}

PageTwips PrinterPage(int paper, bool landscape, float measuredWidth, float measuredHeight) {
    if (paper == kPaperLetter || paper == kPaperA4) return PageSize(paper, landscape ? kLandscape : kPortrait);
    return {measuredWidth, measuredHeight};
}

PageMargins MarginsAround(const PageTwips& page, int left, int top, int width, int height) {
    const auto whole = [](float twips) { return static_cast<int>(std::lround(twips)); };
    return {std::max(0, left), std::max(0, top), std::max(0, whole(page.width) - left - width),
            std::max(0, whole(page.height) - top - height)};
}

int PaperOf(float setupValue) { return setupValue == static_cast<float>(kPaperA4) ? kPaperA4 : kPaperLetter; }

int OrientationOf(float setupValue) { return setupValue == static_cast<float>(kLandscape) ? kLandscape : kPortrait; }

std::string PrinterPaperWarning(std::string_view paperText) {
    return "Parts of the document can be not entirely within your printer image\r\n\r\nYou have specified the " +
           std::string(paperText) + " paper size; the same value must be set on the printer property.";
}

}  // namespace kx
