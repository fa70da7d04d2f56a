// Writes the two footer logos as placeable Windows metafiles:
//   VarnLogo.WMF  the maker's logo: a polar roundness trace over its reference
//                 circle, and the name "Varnholt Instruments";
//   Logo.WMF      the collaboration logo: a datum-target emblem and the name of
//                 a university institute.
// Usage: wmfgen OUTPUT-DIRECTORY
// The output is the same on every run, so the copies kept in resources/ can
// be compared with a fresh build.

#include "WmfWriter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using wmfgen::Rgb;
using wmfgen::WmfWriter;

constexpr int PS_SOLID = 0, PS_DOT = 2, PS_NULL = 5;
constexpr int BS_SOLID = 0, BS_NULL = 1;
constexpr int TRANSPARENT = 1;
constexpr int TA_LEFT_BASELINE = 24, TA_CENTER_BASELINE = 24 | 6;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kNavy{0, 40, 110};
constexpr Rgb kSteel{90, 110, 140};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kLightGrey{200, 205, 215};
constexpr Rgb kGreen{0, 96, 64};

// Keeps the object table as the player does: each new object takes the lowest free slot.
class Objects {
public:
    explicit Objects(WmfWriter& w) : w_(w) {}
    int Pen(int style, int width, Rgb c)
    {
        w_.CreatePen(style, width, c);
        return Take();
    }
    int Brush(int style, Rgb c)
    {
        w_.CreateBrush(style, c);
        return Take();
    }
    int Font(int height, int weight, const char* face, bool italic = false)
    {
        w_.CreateFont(height, weight, face, italic);
        return Take();
    }
    void Select(int slot) { w_.SelectObject(slot); }
    void Delete(int slot)
    {
        w_.DeleteObject(slot);
        used_.erase(slot);
    }
    int Peak() const { return peak_; }

private:
    int Take()
    {
        int slot = 0;
        while (used_.count(slot)) ++slot;
        used_.insert(slot);
        if (slot + 1 > peak_) peak_ = slot + 1;
        return slot;
    }
    WmfWriter& w_;
    std::set<int> used_;
    int peak_ = 0;
};

std::vector<std::pair<int, int>> Circle(double cx, double cy, double r, int n)
{
    std::vector<std::pair<int, int>> p;
    for (int i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * i / n;
        p.emplace_back(static_cast<int>(std::lround(cx + r * std::cos(t))),
                       static_cast<int>(std::lround(cy - r * std::sin(t))));
    }
    return p;
}

// A measured profile as the polar graph shows it: a few undulations per revolution.
std::vector<std::pair<int, int>> RoundnessTrace(double cx, double cy, double r)
{
    std::vector<std::pair<int, int>> p;
    constexpr int n = 180;
    for (int i = 0; i < n; ++i) {
        const double t = 2 * std::numbers::pi * i / n;
        const double radius = r + 0.10 * r * std::sin(3 * t + 0.4) + 0.045 * r * std::sin(11 * t + 1.3) +
                              0.02 * r * std::sin(29 * t + 2.1);
        p.emplace_back(static_cast<int>(std::lround(cx + radius * std::cos(t))),
                       static_cast<int>(std::lround(cy - radius * std::sin(t))));
    }
    return p;
}

std::vector<std::uint8_t> MakerLogo()
{
    constexpr int W = 6000, H = 1600;
    WmfWriter w;
    Objects o(w);
    w.SetWindowOrg(0, 0);
    w.SetWindowExt(W, H);
    w.SetBkMode(TRANSPARENT);

    // An invisible rectangle over the whole picture area, so that the frame of
    // what is drawn is the bounding box, without painting over the page.
    const int noPen = o.Pen(PS_NULL, 0, kWhite);
    const int frame = o.Brush(BS_NULL, kWhite);
    o.Select(noPen);
    o.Select(frame);
    w.Rectangle(0, 0, W, H);

    // Emblem: the chart's outer ring, cross-hair, reference circle and the profile.
    const int cx = 800, cy = 800;
    const int ring = o.Pen(PS_SOLID, 60, kNavy);
    o.Select(ring);
    w.Ellipse(cx - 740, cy - 740, cx + 740, cy + 740);
    const int hair = o.Pen(PS_DOT, 1, kGrey);
    o.Select(hair);
    w.MoveTo(cx - 660, cy);
    w.LineTo(cx + 660, cy);
    w.MoveTo(cx, cy - 660);
    w.LineTo(cx, cy + 660);
    const int reference = o.Pen(PS_SOLID, 24, kSteel);
    const int hollow = o.Brush(BS_NULL, kWhite);
    o.Select(reference);
    o.Select(hollow);
    w.Polygon(Circle(cx, cy, 470, 120));
    const int trace = o.Pen(PS_SOLID, 44, kNavy);
    o.Select(trace);
    w.Polygon(RoundnessTrace(cx, cy, 470));
    const int dot = o.Brush(BS_SOLID, kNavy);
    o.Select(noPen);
    o.Select(dot);
    w.Ellipse(cx - 45, cy - 45, cx + 45, cy + 45);

    // Name and rule.
    w.SetTextAlign(TA_LEFT_BASELINE);
    w.SetTextColor(kNavy);
    const int big = o.Font(-600, 700, "Arial");
    o.Select(big);
    w.TextOut(1760, 820, "Varnholt");
    w.Polygon({{1760, 960}, {5940, 960}, {5940, 1000}, {1760, 1000}});
    const int small = o.Font(-300, 400, "Arial");
    o.Select(small);
    w.SetTextColor(kSteel);
    // Letter-spaced: every character advances 300 units.
    const std::string caption = "INSTRUMENTS";
    w.ExtTextOut(1760, 1360, 0, nullptr, caption, std::vector<int>(caption.size(), 300));

    for (int slot : {big, small, dot, trace, hollow, reference, hair, ring, frame, noPen}) o.Delete(slot);
    return w.Finish(o.Peak(), 1000, 0, 0, W, H);
}

std::vector<std::uint8_t> CollaborationLogo()
{
    constexpr int W = 5000, H = 1400;
    WmfWriter w;
    Objects o(w);
    w.SetWindowOrg(0, 0);
    w.SetWindowExt(W, H);
    w.SetBkMode(TRANSPARENT);

    const int noPen = o.Pen(PS_NULL, 0, kWhite);
    const int frame = o.Brush(BS_NULL, kWhite);
    o.Select(noPen);
    o.Select(frame);
    w.Rectangle(0, 0, W, H);

    // Datum target: a circle in quarters, two of them filled.
    const int cx = 700, cy = 700, r = 560;
    const int outline = o.Pen(PS_SOLID, 40, kGreen);
    const int green = o.Brush(BS_SOLID, kGreen);
    o.Select(outline);
    w.Ellipse(cx - r, cy - r, cx + r, cy + r);
    o.Select(green);
    w.Pie(cx - r, cy - r, cx + r, cy + r, cx + r, cy, cx, cy - r);
    w.Pie(cx - r, cy - r, cx + r, cy + r, cx - r, cy, cx, cy + r);
    w.MoveTo(cx - r - 80, cy);
    w.LineTo(cx + r + 80, cy);
    w.MoveTo(cx, cy - r - 80);
    w.LineTo(cx, cy + r + 80);

    w.SetTextAlign(TA_CENTER_BASELINE);
    const int name = o.Font(-300, 700, "Arial");
    o.Select(name);
    w.SetTextColor(kGreen);
    w.TextOut(3200, 620, "Hochschule Nordhafen");
    const int rule = o.Brush(BS_SOLID, kLightGrey);
    o.Select(noPen);
    o.Select(rule);
    w.Rectangle(1500, 760, 4900, 790);
    const int institute = o.Font(-215, 400, "Arial", true);
    o.Select(institute);
    w.SetTextColor(kGrey);
    // Windows-1252 text: "Institut für Präzisionsmesstechnik".
    w.TextOut(3200, 1010, "Institut f\xFCr Pr\xE4zisionsmesstechnik");

    for (int slot : {institute, rule, name, green, outline, frame, noPen}) o.Delete(slot);
    return w.Finish(o.Peak(), 1000, 0, 0, W, H);
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: wmfgen OUTPUT-DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!Write(dir + "/VarnLogo.WMF", MakerLogo()) || !Write(dir + "/Logo.WMF", CollaborationLogo())) {
        std::fprintf(stderr, "wmfgen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
