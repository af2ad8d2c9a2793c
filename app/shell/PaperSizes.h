// Paper and page geometry of printing, in twips (1440 per inch, 567 per
// centimetre), as the page set-up stores and the printed pages use them.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// Paper codes of the printer as the page set-up stores them.
constexpr int kPaperLetter = 1;
constexpr int kPaperLegal = 5;
constexpr int kPaperA4 = 9;

// Orientation codes of the page set-up.
constexpr int kPortrait = 1;
constexpr int kLandscape = 2;

constexpr float kTwipsPerInch = 1440.0F;

// A page in twips, in single precision: width across, height down.
struct PageTwips {
    float width = 0;
    float height = 0;
    bool operator==(const PageTwips&) const = default;
};

// The page of the paper in the orientation: Letter 12240 x 15840, A4
// 11907 x 16839.9 (21 x 29.7 cm at 567 twips per cm) upright, the two sides
// swapped in landscape. Any paper other than A4 is Letter, any orientation
// other than landscape portrait.
PageTwips PageSize(int paper, int orientation);

// A printer's page in twips as the printed pages use it: Letter and A4 as
// PageSize gives them in the orientation, a page of any other paper (code
// 0 or another) at its measured size.
PageTwips PrinterPage(int paper, bool landscape, float measuredWidth, float measuredHeight);

// Margins of a page in twips from its edges.
struct PageMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PageMargins&) const = default;
};

// The margins around a rectangle of the page (twips from its top-left
// corner), none below 0.
PageMargins MarginsAround(const PageTwips& page, int left, int top, int width, int height);

// The paper code (1 or 9) of the page set-up value (element 4): A4 when it
// is 9, else Letter.
int PaperOf(float setupValue);
// The orientation code (1 or 2) of the page set-up value (element 5):
// landscape when it is 2, else portrait.
int OrientationOf(float setupValue);

// The note when the printer did not take the paper a page layout asked
// for; paperText names that paper as the note shows it ("A4", "Letter" or
// "'Letter'").
std::string PrinterPaperWarning(std::string_view paperText);

}  // namespace kx
