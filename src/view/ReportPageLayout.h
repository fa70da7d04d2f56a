#pragma once
// The report page's geometry as numbers, computed before anything is painted:
// the title band, the graph square on the left, the fonts, the results block
// right of the graph and the footer's rectangle. All in device units of the
// page rectangle, with integer arithmetic truncating toward zero.

#include "platform/Canvas.h"
#include "view/TitleBand.h"

#include <optional>

namespace kyklos {

struct ReportPageLayout {
    TitleBandLayout TitleBand;
    Rect GraphSquare{};        // from Top0, moved down by a quarter of the room below it
    FontSpec HeadingFont;      // the filter heading and the reference line
    int HeadingFontHeight = 0; // as the device gave it
    FontSpec ResultFont;       // the result rows
    int ResultFontHeight = 0;  // as the device gave it; also the rows' pitch
    Rect FooterRect{};         // the lower two fifths right of the graph
    int ResultsLeft = 0;       // headings, labels of the result rows
    int FilterHeadingBaseline = 0;
    int FilterUnderlineY = 0;
    int ReferenceBaseline = 0;
    int FirstResultBaseline = 0; // "Roundness:"; the others follow ResultFontHeight apart
    int DecimalX = 0;            // where the values' decimal points stand
    int UnitX = 0;               // left edge of the units
};

// Lays out the report page in `page`, measuring its fonts on dc (nothing is
// drawn). The decimal column leaves room for µm with three decimals or, when
// metricUnits is false, for µin with two; without a profile there are no title texts.
ReportPageLayout LayoutReportPage(Canvas& dc, const Rect& page, bool metricUnits,
                                  const std::optional<TitleTexts>& titleTexts);

} // namespace kyklos
