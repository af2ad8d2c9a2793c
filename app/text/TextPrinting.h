// Text printing without windows: the checks of the page set-up dialog
// ("Text Editor Print"), the choice of the page layout, the places of the
// page header's labels and the text field on the page, the page-number
// texts, and the note when the printer did not take the paper.
//
// Lengths are twips (1440 per inch); margins are inches as the shared page
// set-up values keep them.
#pragma once

#include "PaperSizes.h"

#include <array>
#include <cstdint>
#include <string>

namespace kx::text {

// ---- The page set-up dialog ------------------------------------------------

// What the user entered in the dialog.
struct PageSetupEntries {
    std::array<std::string, 4> margins{};  // left, right, top, bottom (inches)
    int paperIndex = 0;                    // 0 Letter, 1 A4
    bool portrait = true;
    std::string heading;
    bool pageNumbers = true;
    int alignIndex = 1;  // 0 numbers left-justified, 1 right-justified
    std::string firstPage;
};

enum class PageSetupRefusal { None, Margin, FirstPage, Fit };

// The boxes a refusal points at.
inline constexpr int kNoBox = -1;
inline constexpr int kFirstPageBox = 4;  // margins are boxes 0 to 3

struct PageSetupOutcome {
    PageSetupRefusal refusal = PageSetupRefusal::None;
    std::string message;
    int box = kNoBox;  // the box to select after the message

    // The first-page box is to show "1" (it was empty).
    bool firstPageFilled = false;

    // Paper, orientation and margins are to be stored in the shared page
    // set-up values (also after a refused fit).
    bool storePage = false;
    std::array<float, 4> margins{};  // inches, rounded and clamped
    int paper = 0;                   // 1 Letter, 9 A4
    int orientation = 0;             // 1 portrait, 2 landscape

    // Accepted: the window's values and the number alignment.
    std::string heading;
    std::int32_t pageNumbers = 0;
    std::int32_t firstPage = 0;
    std::int32_t numberAlign = 0;
};

// The checks of "Print Preview" in their order: every margin numeric, then
// every margin above 0 (else "<Name> margin, please enter a positive
// number." on that box); the first page number ("" counts as 1) numeric
// and, rounded half to even, a whole number a Long holds (else "First page
// number, please enter an integer."); then paper, orientation and the
// margins rounded to two decimals and clamped to 0.25 ... 10 inches are to
// be stored, and the margins must leave room on the page in the chosen
// orientation: top + bottom + 1 inch and left + right + 1 inch each within
// 0.97 of the page (else "Print setup, reduce please the page margins.").
// Numbers are range-checked before they are converted.
PageSetupOutcome CheckPageSetup(const PageSetupEntries& entries);

// ---- The printed pages ------------------------------------------------------

// The three page layouts of text printing.
enum class TextLayout {
    Portrait,         // Letter or A4 portrait
    A4Landscape,      //
    LetterLandscape,  //
};

// The layout for the shared page set-up values: portrait unless the
// orientation is 2; then A4 landscape for paper 9, else Letter landscape.
TextLayout ChooseTextLayout(const std::array<float, 6>& pageSetup);

// The name of the layout's report ("PRINT_PREVIEW", "PRINT_PREVIEW_Land",
// "PRINT_PREVIEW_Lett_Land") and its error tag ("TxtRep#001. " ...).
const char* TextLayoutName(TextLayout layout);
const char* TextLayoutErrorTag(TextLayout layout);

// The width of the page-number labels (one inch) and the labels' height.
inline constexpr int kNumberLabelWidth = 1440;
inline constexpr int kHeaderLabelHeight = 360;
inline constexpr int kHeaderHeight = kHeaderLabelHeight + 100;

struct LabelPlace {
    int left = 0;  // from the left edge of the page margin
    int width = 0;
    int height = kHeaderLabelHeight;
    bool visible = true;
};

struct TextPageLayout {
    int paper = 1;        // paper code given to the printer
    int orientation = 1;  // 1 portrait, 2 landscape
    float usableWidth = 0;  // 0.97 of the page width across
    // Page margins; the text's left and right margins are made by the
    // field's place.
    int marginLeft = 10;
    int marginRight = 10;
    int marginTop = 0;
    int marginBottom = 0;
    int fieldLeft = 0;
    int fieldWidth = 0;
    int headerHeight = kHeaderHeight;
    LabelPlace leftNumber;   // page number when numbers are left-justified
    LabelPlace heading;      // the page heading
    LabelPlace rightNumber;  // page number when numbers are right-justified
};

// Lays out the page of a layout for the shared page set-up values and the
// window's heading and page-number flag. The heading's label takes what the
// number labels leave and is hidden when nothing is left.
TextPageLayout LayOutTextPage(TextLayout layout, const std::array<float, 6>& pageSetup, const std::string& heading,
                              std::int32_t pageNumbers);

// The same on the page the text is printed on (twips, width across), which
// may not be the page of the layout (the printer kept its paper, or the
// user turned the page or changed its paper): the text takes 0.97 of the
// page's width less the set-up's margins. Margins that leave less than an
// inch of text across or down on that page (0.97 of it) are narrowed in
// proportion until they leave one.
TextPageLayout LayOutTextPageOn(const PageTwips& page, const std::array<float, 6>& pageSetup,
                                const std::string& heading, std::int32_t pageNumbers);

// The same within margins the user gave the page: the text runs from the
// left margin to the right one, the header from the top margin; margins
// that leave less than an inch of text are narrowed in proportion.
TextPageLayout LayOutTextPageWithin(const PageTwips& page, const PageMargins& margins, const std::string& heading,
                                    std::int32_t pageNumbers);

// The margins a laid-out page keeps on the page: the text's left and right
// edges, and its top and bottom margins.
PageMargins MarginsOf(const TextPageLayout& laidOut, const PageTwips& page);

// The header of one page: its height and the texts of the number labels.
struct PageHeaderTexts {
    int height = kHeaderHeight;
    std::string leftNumber;
    std::string rightNumber;
};

// For the report's page (1 on the first page): with no heading and no page
// numbers the header has no height; otherwise the number n = page + first
// page - 1 goes into the left label as n and three blanks when numbers are
// left-justified (align 0), else into the right label as three blanks and n.
PageHeaderTexts FormatPageHeader(std::int64_t page, std::int32_t firstPage, std::int32_t numberAlign,
                                 const std::string& heading, std::int32_t pageNumbers);

// The paper a layout asks of the printer (portrait: the set-up's paper).
int ExpectedPaper(TextLayout layout, const std::array<float, 6>& pageSetup);

// The note when the printer took another paper than the layout asked for;
// "" when it took that paper.
std::string PaperMismatchMessage(TextLayout layout, const std::array<float, 6>& pageSetup, int paperTaken);

}  // namespace kx::text
