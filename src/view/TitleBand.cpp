#include "view/TitleBand.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <string_view>

namespace kyklos {

namespace {

// Characters of a UTF-8 text: every byte that does not continue a sequence.
int CodePointCount(std::string_view text)
{
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

FontSpec TitleBandFont(const Rect& page)
{
    const int W = page.right - page.left;
    const int H = page.bottom - page.top;
    const int top0 = page.top + H / 25;
    const int size = std::min(W * 60 / 100, H * 80 / 100);
    // Fonts are asked for by cell height; a request below one unit (a page
    // too small to read) asks for the smallest font instead of the device default.
    return ReportFont(std::max(1, std::min((top0 - page.top) * 300 / 400, size / 20)));
}

TitleBandLayout LayoutTitleBand(const Rect& page, int titleFontHeight, const std::optional<TitleTexts>& texts)
{
    const int L = page.left, R = page.right;
    const int W = R - L;
    TitleBandLayout band;
    band.Top0 = page.top + (page.bottom - page.top) / 25;
    band.Font = TitleBandFont(page);
    band.FontHeight = titleFontHeight;
    band.RuleFrom = {L + W / 100, band.Top0};
    band.RuleTo = {R - W / 100, band.Top0};
    if (!texts) return band;

    // The texts are bytes from the file and its name; the canvas draws UTF-8,
    // and a name's length is counted in characters, not bytes.
    const std::string fileTitle = DisplayText(texts->FileTitle);
    const std::string identification = DisplayText(texts->Identification);
    const int bottomY = band.Top0 - titleFontHeight / 4;
    if (CodePointCount(fileTitle) >= 2) {
        band.Texts.push_back({{L + titleFontHeight, bottomY}, {HAlign::Left, VAlign::Bottom}, fileTitle});
        band.Texts.push_back({{(L + R) / 2, bottomY}, {HAlign::Centre, VAlign::Bottom}, identification});
    } else {
        band.Texts.push_back({{L + titleFontHeight, bottomY}, {HAlign::Left, VAlign::Bottom}, identification});
    }
    band.Texts.push_back({{R - titleFontHeight, bottomY}, {HAlign::Right, VAlign::Bottom}, DisplayText(texts->Date)});
    return band;
}

TitleBandLayout LayoutTitleBand(Canvas& dc, const Rect& page, const std::optional<TitleTexts>& texts)
{
    // The font is selected only long enough to measure its cell height.
    dc.Save();
    const int height = dc.SetFont(TitleBandFont(page));
    dc.Restore();
    return LayoutTitleBand(page, height, texts);
}

void PaintTitleBand(Canvas& dc, const TitleBandLayout& band, const Pen& rulePen)
{
    dc.Save();
    dc.SetPen(rulePen);
    dc.MoveTo(band.RuleFrom.x, band.RuleFrom.y);
    dc.LineTo(band.RuleTo.x, band.RuleTo.y);
    if (!band.Texts.empty()) {
        dc.SetFont(band.Font);
        dc.SetTextColour(kBlack);
        for (const PlacedText& text : band.Texts) {
            dc.SetTextAlign(text.Align);
            dc.TextOut(text.At.x, text.At.y, text.Text);
        }
    }
    dc.Restore();
}

} // namespace kyklos
