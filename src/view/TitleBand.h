#pragma once
// The title line both pages carry: the file title at the left (when it has
// two characters or more) with the identification centred, else the
// identification at the left; the date at the right; and under them the rule
// at Top0, the upper edge of everything else on the page. Laid out as numbers
// from the page rectangle and the cell height the device gives the title
// font, and painted apart.

#include "platform/Canvas.h"

#include <optional>
#include <string>
#include <vector>

namespace kyklos {

// The title line's texts as the profile and its file name carry them: bytes,
// Windows-1252 or UTF-8.
struct TitleTexts {
    std::string FileTitle;
    std::string Identification;
    std::string Date;
};

// A text and its anchor: At is the point Align refers to.
struct PlacedText {
    Point At{};
    TextAlign Align{};
    std::string Text; // UTF-8
    friend bool operator==(const PlacedText&, const PlacedText&) = default;
};

struct TitleBandLayout {
    int Top0 = 0;                  // the rule's y, a twenty-fifth of the page down
    FontSpec Font;                 // the title font as asked for
    int FontHeight = 0;            // its cell height as the device gave it
    Point RuleFrom{}, RuleTo{};    // a hundredth of the page's width in from either side
    std::vector<PlacedText> Texts; // bottoms a quarter line above Top0, insets of one line; none without a profile
};

// The title font a page asks for: a cell of three quarters of the room above
// Top0, at most a twentieth of the report's graph square, at least one unit.
FontSpec TitleBandFont(const Rect& page);

// The band on a page whose device gave the title font a cell of
// titleFontHeight; texts are left out without a profile.
TitleBandLayout LayoutTitleBand(const Rect& page, int titleFontHeight, const std::optional<TitleTexts>& texts);
// The same with the title font measured on dc (nothing is drawn).
TitleBandLayout LayoutTitleBand(Canvas& dc, const Rect& page, const std::optional<TitleTexts>& texts);

// The rule with rulePen, then the texts in black; the canvas's state is kept.
void PaintTitleBand(Canvas& dc, const TitleBandLayout& band, const Pen& rulePen);

} // namespace kyklos
