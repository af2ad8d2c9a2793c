#include "TextPrinting.h"

#include "Format.h"
#include "PaperSizes.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kx::text {
namespace {

constexpr const char* kMarginNames[4] = {"Left", "Right", "Top", "Bottom"};

// The reports of the layouts, in the order of TextLayout.
struct LayoutReport {
    const char* name;
    const char* errorTag;
};
constexpr LayoutReport kLayouts[] = {{"PRINT_PREVIEW", "TxtRep#001. "},
                                     {"PRINT_PREVIEW_Land", "TxtRep#002. "},
                                     {"PRINT_PREVIEW_Lett_Land", "TxtRep#003. "}};
constexpr float kMinMargin = 0.25F;
constexpr float kMaxMargin = 10.0F;
// The share of the page that margins and text may take.
constexpr float kUsableShare = 0.97F;

std::string marginMessage(int i) { return std::string(kMarginNames[i]) + " margin, please enter a positive number."; }

// A margin as stored: rounded to two decimals, then clamped. Values above
// the largest margin are clamped before any conversion, so no entry can
// overflow a single.
float storedMargin(double entered) {
    if (entered >= kMaxMargin) return kMaxMargin;
    const float rounded = static_cast<float>(ParseNumber(Format(entered, "0.##")).value_or(0));
    return std::clamp(rounded, kMinMargin, kMaxMargin);
}

// The first page number: a whole number a Long holds after rounding half
// to even, or nothing.
std::optional<std::int32_t> firstPageNumber(const std::string& text) {
    const std::optional<double> value = ParseNumber(text);
    if (!value) return std::nullopt;
    const double whole = RoundHalfEven(*value);
    if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

bool fitsPage(const std::array<float, 4>& margins, int paper, int orientation) {
    const PageTwips page = PageSize(paper, orientation);
    const float inch = kTwipsPerInch;
    const float across = margins[0] * inch + margins[1] * inch + inch;
    const float down = margins[2] * inch + margins[3] * inch + inch;
    return !(down > kUsableShare * page.height) && !(across > kUsableShare * page.width);
}

}  // namespace

PageSetupOutcome CheckPageSetup(const PageSetupEntries& entries) {
    PageSetupOutcome out;
    auto refuse = [&](PageSetupRefusal why, std::string message, int box) {
        out.refusal = why;
        out.message = std::move(message);
        out.box = box;
        return out;
    };
    std::array<double, 4> margins{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> v = ParseNumber(entries.margins[static_cast<size_t>(i)]);
        if (!v) return refuse(PageSetupRefusal::Margin, marginMessage(i), i);
        margins[static_cast<size_t>(i)] = *v;
    }
    for (int i = 0; i < 4; ++i)
        if (!(margins[static_cast<size_t>(i)] > 0)) return refuse(PageSetupRefusal::Margin, marginMessage(i), i);

    std::string firstText = entries.firstPage;
    if (firstText.empty()) {
        firstText = "1";
        out.firstPageFilled = true;
    }
    const std::optional<std::int32_t> first = firstPageNumber(firstText);
    if (!first)
        return refuse(PageSetupRefusal::FirstPage, "First page number, please enter an integer.", kFirstPageBox);

    out.storePage = true;
    out.paper = entries.paperIndex != 0 ? kPaperA4 : kPaperLetter;
    out.orientation = entries.portrait ? kPortrait : kLandscape;
    for (size_t i = 0; i < 4; ++i) out.margins[i] = storedMargin(margins[i]);
    if (!fitsPage(out.margins, out.paper, out.orientation))
        return refuse(PageSetupRefusal::Fit, "Print setup, reduce please the page margins.", kNoBox);

    out.heading = entries.heading;
    out.firstPage = *first;
    out.pageNumbers = entries.pageNumbers ? 1 : 0;
    out.numberAlign = entries.alignIndex;
    return out;
}

TextLayout ChooseTextLayout(const std::array<float, 6>& pageSetup) {
    if (pageSetup[5] != static_cast<float>(kLandscape)) return TextLayout::Portrait;
    return pageSetup[4] == static_cast<float>(kPaperA4) ? TextLayout::A4Landscape : TextLayout::LetterLandscape;
}

const char* TextLayoutName(TextLayout layout) { return kLayouts[static_cast<size_t>(layout)].name; }

const char* TextLayoutErrorTag(TextLayout layout) { return kLayouts[static_cast<size_t>(layout)].errorTag; }

int ExpectedPaper(TextLayout layout, const std::array<float, 6>& pageSetup) {
    switch (layout) {
        case TextLayout::A4Landscape: return kPaperA4;
        case TextLayout::LetterLandscape: return kPaperLetter;
        case TextLayout::Portrait: break;
    }
    return PaperOf(pageSetup[4]);
}

namespace {

// Narrows two margins in proportion so that they and an inch of text fit
// into the length; margins that leave the inch are kept.
void leaveAnInch(float& a, float& b, float length) {
    if (!(a + b + kTwipsPerInch > length) || !(a + b > 0)) return;
    const float share = std::max(0.0F, length - kTwipsPerInch) / (a + b);
    a *= share;
    b *= share;
}

// The field and the header's labels on the page from the field's place.
void placeField(TextPageLayout& page, int fieldLeft, int fieldWidth, const std::string& heading,
                std::int32_t pageNumbers) {
    page.fieldLeft = fieldLeft;
    page.fieldWidth = std::max(0, fieldWidth);
    const int w = kNumberLabelWidth;
    page.rightNumber.left = page.fieldLeft + page.fieldWidth - w;
    page.rightNumber.width = w;
    page.leftNumber.left = page.fieldLeft;
    page.leftNumber.width = w;
    page.heading.left = page.fieldLeft + w;
    page.heading.width = std::max(0, page.fieldWidth - 2 * w - 300);

    page.leftNumber.visible = page.rightNumber.visible = pageNumbers != 0;
    page.heading.visible = !heading.empty() && page.heading.width > 0;
}

int whole(float twips) { return static_cast<int>(RoundHalfEven(twips)); }

// The text on a page of which `usableWidth` across and `usableHeight` down
// may be printed on, within the margins (twips), narrowed where they leave
// less than an inch of text.
TextPageLayout layOutWithin(const PageTwips& size, float usableWidth, float usableHeight, float left, float right,
                            float top, float bottom, const std::string& heading, std::int32_t pageNumbers) {
    TextPageLayout page;
    page.orientation = size.width > size.height ? kLandscape : kPortrait;
    page.usableWidth = usableWidth;
    leaveAnInch(left, right, usableWidth);
    leaveAnInch(top, bottom, usableHeight);
    page.marginTop = whole(top);
    page.marginBottom = whole(bottom);
    placeField(page, whole(left), whole(usableWidth - left - right), heading, pageNumbers);
    return page;
}

}  // namespace

TextPageLayout LayOutTextPage(TextLayout layout, const std::array<float, 6>& pageSetup, const std::string& heading,
                              std::int32_t pageNumbers) {
    const int paper = ExpectedPaper(layout, pageSetup);
    const int orientation = layout == TextLayout::Portrait ? kPortrait : kLandscape;
    TextPageLayout page = LayOutTextPageOn(PageSize(paper, orientation), pageSetup, heading, pageNumbers);
    page.paper = paper;
    page.orientation = orientation;
    return page;
}

TextPageLayout LayOutTextPageOn(const PageTwips& size, const std::array<float, 6>& pageSetup,
                                const std::string& heading, std::int32_t pageNumbers) {
    return layOutWithin(size, kUsableShare * size.width, kUsableShare * size.height, pageSetup[0] * kTwipsPerInch,
                        pageSetup[1] * kTwipsPerInch, pageSetup[2] * kTwipsPerInch, pageSetup[3] * kTwipsPerInch,
                        heading, pageNumbers);
}

TextPageLayout LayOutTextPageWithin(const PageTwips& size, const PageMargins& margins, const std::string& heading,
                                    std::int32_t pageNumbers) {
    const auto twips = [](int margin) { return static_cast<float>(std::max(0, margin)); };
    return layOutWithin(size, size.width, size.height, twips(margins.left), twips(margins.right), twips(margins.top),
                        twips(margins.bottom), heading, pageNumbers);
}

PageMargins MarginsOf(const TextPageLayout& laidOut, const PageTwips& page) {
    PageMargins kept = MarginsAround(page, laidOut.fieldLeft, laidOut.marginTop, laidOut.fieldWidth, 0);
    kept.bottom = laidOut.marginBottom;
    return kept;
}

PageHeaderTexts FormatPageHeader(std::int64_t page, std::int32_t firstPage, std::int32_t numberAlign,
                                 const std::string& heading, std::int32_t pageNumbers) {
    PageHeaderTexts header;
    if (heading.empty() && pageNumbers == 0) {
        header.height = 0;
        return header;
    }
    const std::string n = std::to_string(page + firstPage - 1);
    if (numberAlign == 0)
        header.leftNumber = n + "   ";
    else
        header.rightNumber = "   " + n;
    return header;
}

std::string PaperMismatchMessage(TextLayout layout, const std::array<float, 6>& pageSetup, int paperTaken) {
    const int expected = ExpectedPaper(layout, pageSetup);
    if (paperTaken == expected) return {};
    switch (layout) {
        case TextLayout::A4Landscape: return PrinterPaperWarning("A4");
        case TextLayout::LetterLandscape: return PrinterPaperWarning("'Letter'");
        case TextLayout::Portrait: break;
    }
    return PrinterPaperWarning(pageSetup[4] != static_cast<float>(kPaperLetter) ? "A4" : "Letter");
}

}  // namespace kx::text
