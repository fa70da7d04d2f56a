#pragma once
// The report view without its window: display flags, the page's rectangles
// and font heights, the polar graph and the two logos, and the page drawing
// that serves the window, the printer, the preview, the clipboard and export.

#include "document/KyklosDoc.h"
#include "graph/PolarGraph.h"
#include "metafile/MetaFile.h"
#include "platform/Canvas.h"
#include "view/ReportPageLayout.h"

#include <string>

namespace kyklos {

class CKyklosView {
public:
    // Loads "VarnLogo.WMF" and "Logo.WMF" from logoDirectory, or when it is
    // empty from where FindDataFile finds them (the current directory first);
    // a logo that fails to load stays empty.
    explicit CKyklosView(const std::string& logoDirectory = {});

    // Draws the whole report page. On a printing canvas the page is laid out
    // inside PrintPageRect by the printer rule; otherwise clientRect is the
    // page and, unless DrawDirect is set, its background is filled first.
    void OnDraw(Canvas& dc, const CKyklosDoc& doc, const Rect& clientRect);

    // The profile and reference traces. A profile at unequal angles, or with
    // samples left out, is drawn at its samples' own angles: the filtered
    // trace over the used samples only, never joined across a gap, an
    // excluded sector or an arc's ends; excluded samples in the raw grey;
    // removed spikes as light crosses.
    void DrawProfileTraces(Canvas& dc, const CKyklosDoc& doc);
    // The shade of every excluded sector, out to the outer circle (after ComputeLayout).
    void DrawExcludedSectors(Canvas& dc, const CKyklosDoc& doc);
    // The filter heading, the reference and the five result rows, where layout puts them.
    void DrawResults(Canvas& dc, const CKyklosDoc& doc, const ReportPageLayout& layout);
    void DrawResultRow(Canvas& dc, int labelX, int decimalX, int unitX, int baselineY, const std::string& label,
                       bool showValue, double value, int decimals, const std::string& unit);
    void DrawFooter(Canvas& dc);

    // The printer page inside the printable area: margins of one twentieth of
    // its width; on a sheet taller than wide the upper half.
    static Rect PrinterPageRect(const Rect& printable);

    int ResultFontHeight = 0;
    int TitleFontHeight = 0;
    int HeadingFontHeight = 0;
    FontSpec TitleFont;
    FontSpec ResultFont;
    FontSpec HeadingFont;
    bool ShowReferenceCircle = true;
    bool AutoScale = true;
    bool ShowRawData = true;
    bool ShowCenteredProfile = false;
    bool DrawDirect = false;
    Rect PrintPageRect{};
    Rect GraphSquare{};
    Rect FooterRect{};
    CPolarGraph Graph;
    CMetaFile MakerLogo;
    CMetaFile CollaborationLogo;
};

} // namespace kyklos
