#include "graph/PolarGraph.h"

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace kyklos {

CPolarGraph::CPolarGraph() : Pi(4.0 * std::atan(1.0 / 1.0)) {}

int CPolarGraph::RoundToDevice(double x)
{
    if (std::isnan(x)) return 0;
    const double r = x >= 0.0 ? std::trunc(x + 0.5) : std::trunc(x - 0.5);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

int CPolarGraph::ClampCoordinate(int v)
{
    if (v <= -32768) return -32768;
    if (v >= 32767) return 32767;
    return v;
}

int CPolarGraph::OffsetCoordinate(int coordinate, int offset)
{
    const long long sum = static_cast<long long>(coordinate) + offset;
    if (sum > INT_MAX) return INT_MAX;
    if (sum < INT_MIN) return INT_MIN;
    return static_cast<int>(sum);
}

void CPolarGraph::ComputeLayout(const Canvas& dc)
{
    CentreX = (GraphRect.left + GraphRect.right) / 2;
    CentreY = (GraphRect.top + GraphRect.bottom) / 2;

    // Only the height counts: the page always hands in a square.
    const int side = GraphRect.bottom - GraphRect.top;
    OuterRadius = side * 40 / 100;
    InnerRadius = side * 20 / 100;
    ZeroRadius = (OuterRadius + InnerRadius) / 2;

    // Line widths are fixed fractions of an inch: 1/600 for rules, 1/400 for
    // traces, 1/25 for the white halo under the filtered profile.
    const int resolution = dc.PixelsPerInch();
    RulePenWidth = static_cast<int>(resolution * 0.0016666666666666668);
    if (RulePenWidth <= 0) RulePenWidth = 1;
    TracePenWidth = static_cast<int>(resolution * 0.0025);
    if (TracePenWidth <= 0) TracePenWidth = 1;
    HaloPenWidth = static_cast<int>(resolution * 0.04);
    if (HaloPenWidth < 3) HaloPenWidth = 3;
}

void CPolarGraph::FitScaleToRange(double high, double low)
{
    double d = high - low;
    // A range that is not a number (absurd radii) is shown like a flat profile.
    if (!std::isfinite(d)) d = 0.0;
    double v = MetricUnits ? d : d * kMicroinchesPerMicrometre;
    if (!std::isfinite(v)) {
        d = 0.0;
        v = 0.0;
    }
    if (v < 1e-9) v = 10.0;

    const int k = static_cast<int>(std::floor(std::log10(v)));
    const double p = std::pow(10.0, k);
    double step = v / p > 7.0 ? 2.0 * p : p;
    if (!MetricUnits) step = step * kMicrometresPerMicroinch;

    // The step is within a factor of ten of the range, so a dozen additions
    // always suffice; the bound only guards against rounding surprises.
    double span = step;
    for (int additions = 0; span < d && additions < 64; ++additions) span = span + step;
    // Only a range near the largest double can overflow; the band then is the range itself.
    if (!std::isfinite(span)) span = d;
    BandRange = span;
}

void CPolarGraph::DrawGraph(Canvas& dc)
{
    ComputeLayout(dc);
    DrawDottedCircle(dc, OuterRadius, true);
    DrawDottedCircle(dc, InnerRadius, true);
    if (IntermediateRings > 0) {
        const double e = static_cast<double>(OuterRadius - InnerRadius) / (IntermediateRings + 1);
        for (int i = 1; i <= IntermediateRings; ++i) DrawDottedCircle(dc, RoundToDevice(OuterRadius - i * e), false);
    }
    PixelsPerMicrometre = (OuterRadius - InnerRadius) / BandRange;
    DrawRadialLines(dc);
    DrawLabels(dc);
}

void CPolarGraph::DrawDottedCircle(Canvas& dc, int radius, bool emphasised)
{
    const Colour colour = dc.IsPrinting() || emphasised ? kBlack : GridColour;
    // A multiple of 12 puts a dot on every 30° line, the axes included.
    int n = emphasised ? 2 * radius : radius;
    while (n % 12 != 0) ++n;
    if (n <= 0) return;
    const double step = 2.0 * Pi / n;
    for (int j = 0; j < n; ++j) {
        const double theta = j * step;
        dc.SetPixel(RoundToDevice(radius * std::cos(theta) + CentreX),
                    RoundToDevice(CentreY - radius * std::sin(theta)), colour);
    }
}

void CPolarGraph::DrawRadialLines(Canvas& dc)
{
    const Colour colour = dc.IsPrinting() ? kBlack : GridColour;
    for (int i = 0; i < 24; ++i) {
        const double theta = i * (Pi * 0.08333333333333333);
        const double cosTheta = std::cos(theta);
        const double sinTheta = std::sin(theta);
        // The four axes run from the centre; the other spokes only cross the band.
        for (int d = i % 6 == 0 ? 0 : InnerRadius; d <= OuterRadius; d += 6)
            dc.SetPixel(RoundToDevice(d * cosTheta + CentreX), RoundToDevice(CentreY - d * sinTheta), colour);
    }
}

void CPolarGraph::DrawLabels(Canvas& dc)
{
    const Colour penColour = dc.IsPrinting() ? kBlack : GridColour;
    int h = (GraphRect.bottom - GraphRect.top) / 30;
    if (h == 0) h = 1;

    dc.Save();
    dc.SetFont(ReportFont(h));
    // The labels stay grey on paper too; only the dots and the bar turn black.
    dc.SetTextColour(GridColour);

    const int d = OuterRadius * 105 / 100;
    dc.SetTextAlign({HAlign::Left, VAlign::Baseline});
    dc.TextOut(CentreX + d, CentreY + h / 3, "0\u00B0");
    dc.SetTextAlign({HAlign::Centre, VAlign::Baseline});
    dc.TextOut(CentreX, CentreY - d, "  90\u00B0");
    dc.SetTextAlign({HAlign::Right, VAlign::Baseline});
    dc.TextOut(CentreX - d, CentreY + h / 3, "180\u00B0");
    dc.SetTextAlign({HAlign::Centre, VAlign::Top});
    dc.TextOut(CentreX, CentreY + d, " 270\u00B0");

    const int band = OuterRadius - InnerRadius;
    ScaleBarRect = {GraphRect.right - 3 * band / 2, GraphRect.bottom - band / 2, GraphRect.right, GraphRect.bottom};

    // An L whose arms are one division (half the band) long.
    const int half = band / 2;
    dc.SetPen({PenStyle::Solid, TracePenWidth, penColour});
    dc.MoveTo(ScaleBarRect.left, ScaleBarRect.bottom);
    dc.LineTo(ScaleBarRect.left, ScaleBarRect.bottom - half);
    dc.MoveTo(ScaleBarRect.left, ScaleBarRect.bottom);
    dc.LineTo(ScaleBarRect.left + half, ScaleBarRect.bottom);

    dc.SetTextAlign({HAlign::Left, VAlign::Bottom});
    std::string label;
    if (MetricUnits) {
        if (FormatFixed(BandRange * 0.5, 2, 64, label)) label += " \u00B5m";
    } else {
        if (FormatFixed(BandRange * 0.5 * kMicroinchesPerMicrometre, 1, 64, label)) label += " \u00B5in";
    }
    if (!label.empty()) dc.TextOut(ScaleBarRect.left + h, ScaleBarRect.bottom - h, label);
    dc.Restore();
}

void CPolarGraph::BeginTrace(Canvas& dc) const
{
    dc.Save();
    dc.IntersectClip({GraphRect.left + 1, GraphRect.top + 1, GraphRect.right, GraphRect.bottom});
}

void CPolarGraph::DrawCircle(Canvas& dc, int radius)
{
    BeginTrace(dc);
    const Rect box{CentreX - radius, CentreY - radius, CentreX + radius + 1, CentreY + radius + 1};
    const Point right{CentreX + radius + 1, CentreY};
    const Point left{CentreX - radius, CentreY};
    dc.Arc(box, right, left);
    dc.Arc(box, left, right);
    dc.Restore();
}

void CPolarGraph::DrawProfile(Canvas& dc, std::span<const double> radii, int count)
{
    if (count <= 0 || radii.empty()) return;
    if (static_cast<std::size_t>(count) > radii.size()) count = static_cast<int>(radii.size());
    BeginTrace(dc);
    const double dTheta = 2.0 * Pi / count;

    const double rho0 = (radii[0] - DatumRadius) * 1000.0 * PixelsPerMicrometre + ZeroRadius;
    const int x0 = ClampCoordinate(RoundToDevice(rho0 + CentreX));
    const int y0 = ClampCoordinate(CentreY);
    dc.MoveTo(x0, y0);
    int lastX = x0, lastY = y0;

    // Thousands of samples fall on a few hundred device points: one vertex per run.
    for (int i = 1; i < count; ++i) {
        const double theta = i * dTheta;
        const double rho =
            (radii[static_cast<std::size_t>(i)] - DatumRadius) * 1000.0 * PixelsPerMicrometre + ZeroRadius;
        const int x = ClampCoordinate(RoundToDevice(rho * std::cos(theta) + CentreX));
        const int y = ClampCoordinate(RoundToDevice(CentreY - rho * std::sin(theta)));
        if (x != lastX || y != lastY) {
            dc.LineTo(x, y);
            lastX = x;
            lastY = y;
        }
    }
    if (x0 != lastX || y0 != lastY) dc.LineTo(x0, y0);
    dc.Restore();
}

void CPolarGraph::DrawCenteredProfile(Canvas& dc, std::span<const double> radii, int count, double a, double b,
                                      double c, int baseRadius)
{
    if (count <= 0 || radii.empty()) return;
    if (static_cast<std::size_t>(count) > radii.size()) count = static_cast<int>(radii.size());
    BeginTrace(dc);
    const double dTheta = 2.0 * Pi / count;

    const double rho0 = (radii[0] - (a + c)) * 1000.0 * PixelsPerMicrometre + baseRadius;
    const int x0 = ClampCoordinate(RoundToDevice(rho0 + CentreX));
    const int y0 = ClampCoordinate(CentreY);
    dc.MoveTo(x0, y0);

    for (int i = 1; i < count; ++i) {
        const double theta = i * dTheta;
        const double reference = a * std::cos(theta) + b * std::sin(theta) + c;
        const double rho = (radii[static_cast<std::size_t>(i)] - reference) * 1000.0 * PixelsPerMicrometre + baseRadius;
        dc.LineTo(ClampCoordinate(RoundToDevice(rho * std::cos(theta) + CentreX)),
                  ClampCoordinate(RoundToDevice(CentreY - rho * std::sin(theta))));
    }
    dc.LineTo(x0, y0);
    dc.Restore();
}

void CPolarGraph::DrawReference(Canvas& dc, double a, double b, double c)
{
    BeginTrace(dc);
    const double rho0 = ((a + c) - DatumRadius) * 1000.0 * PixelsPerMicrometre + ZeroRadius;
    const int x0 = RoundToDevice(rho0 + CentreX);
    const int y0 = CentreY;
    dc.MoveTo(x0, y0);

    const double dTheta = Pi * 0.002777777777777778; // half a degree
    for (int i = 1; i < 720; ++i) {
        const double theta = i * dTheta;
        const double cosTheta = std::cos(theta);
        const double sinTheta = std::sin(theta);
        const double rho = (a * cosTheta + b * sinTheta + c - DatumRadius) * 1000.0 * PixelsPerMicrometre + ZeroRadius;
        dc.LineTo(RoundToDevice(rho * cosTheta + CentreX), RoundToDevice(CentreY - rho * sinTheta));
    }
    dc.LineTo(x0, y0);
    dc.Restore();
}

Point CPolarGraph::TracePoint(double r, double theta, const TraceFrame& frame) const
{
    const double cosTheta = std::cos(theta);
    const double sinTheta = std::sin(theta);
    const double rho = frame.Centred
                           ? (r - (frame.a * cosTheta + frame.b * sinTheta + frame.c)) * 1000.0 * PixelsPerMicrometre +
                                 frame.BaseRadius
                           : (r - DatumRadius) * 1000.0 * PixelsPerMicrometre + ZeroRadius;
    return {ClampCoordinate(RoundToDevice(rho * cosTheta + CentreX)),
            ClampCoordinate(RoundToDevice(CentreY - rho * sinTheta))};
}

void CPolarGraph::DrawProfilePaths(Canvas& dc, std::span<const double> radii, std::span<const double> anglesRad,
                                   std::span<const TracePath> paths, const TraceFrame& frame)
{
    const std::size_t n = radii.size();
    if (n == 0 || (!anglesRad.empty() && anglesRad.size() != n)) return;
    const double dTheta = 2.0 * Pi / static_cast<double>(n);
    const auto point = [&](int i) {
        const double theta = anglesRad.empty() ? i * dTheta : anglesRad[static_cast<std::size_t>(i)];
        return TracePoint(radii[static_cast<std::size_t>(i)], theta, frame);
    };
    BeginTrace(dc);
    for (const TracePath& path : paths) {
        if (path.Samples.empty()) continue;
        const Point first = point(path.Samples.front());
        dc.MoveTo(first.x, first.y);
        Point last = first;
        for (std::size_t k = 1; k < path.Samples.size(); ++k) {
            const Point p = point(path.Samples[k]);
            // Plain traces emit one vertex per device point, as DrawProfile does.
            if (frame.Centred || p != last) dc.LineTo(p.x, p.y);
            last = p;
        }
        if (path.Closed && (frame.Centred || first != last)) dc.LineTo(first.x, first.y);
    }
    dc.Restore();
}

void CPolarGraph::DrawSampleCrosses(Canvas& dc, std::span<const double> radii, std::span<const double> anglesRad,
                                    std::span<const int> samples, const TraceFrame& frame)
{
    const std::size_t n = radii.size();
    if (n == 0 || (!anglesRad.empty() && anglesRad.size() != n)) return;
    const double dTheta = 2.0 * Pi / static_cast<double>(n);
    const int arm = std::max(2, OuterRadius / 40);
    BeginTrace(dc);
    for (const int i : samples) {
        if (i < 0 || static_cast<std::size_t>(i) >= n) continue;
        const double theta = anglesRad.empty() ? i * dTheta : anglesRad[static_cast<std::size_t>(i)];
        const Point p = TracePoint(radii[static_cast<std::size_t>(i)], theta, frame);
        dc.MoveTo(p.x - arm, p.y - arm);
        dc.LineTo(p.x + arm, p.y + arm);
        dc.MoveTo(p.x - arm, p.y + arm);
        dc.LineTo(p.x + arm, p.y - arm);
    }
    dc.Restore();
}

void CPolarGraph::FillSector(Canvas& dc, double fromRad, double toRad, Colour colour)
{
    const double turn = 2.0 * Pi;
    if (!std::isfinite(fromRad) || !std::isfinite(toRad)) return;
    double span = std::fmod(toRad - fromRad, turn);
    if (span < 0.0) span += turn;
    // A sector of one angle has no area.
    if (!(span > 0.0)) return;
    // Vertices at most half a degree apart keep the arc round at print resolution.
    const int steps = std::max(1, static_cast<int>(std::ceil(span / (Pi / 360.0))));
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(steps) + 2);
    points.push_back({CentreX, CentreY});
    for (int k = 0; k <= steps; ++k) {
        const double theta = fromRad + span * k / steps;
        points.push_back({RoundToDevice(CentreX + OuterRadius * std::cos(theta)),
                          RoundToDevice(CentreY - OuterRadius * std::sin(theta))});
    }
    BeginTrace(dc);
    dc.SetPen({PenStyle::Null, 0, colour});
    dc.SetBrush({BrushStyle::Solid, colour, HatchStyle::Horizontal});
    dc.Polygon(points);
    dc.Restore();
}

void CPolarGraph::DrawCentreMark(Canvas& dc, double x, double y)
{
    BeginTrace(dc);
    const int px = RoundToDevice(x * 1000.0 * PixelsPerMicrometre + CentreX);
    const int py = RoundToDevice(CentreY - y * 1000.0 * PixelsPerMicrometre);
    const int arm = OuterRadius / 20;
    // A centre far off the chart (a tiny scale, absurd radii) saturates px or py.
    dc.MoveTo(px, py);
    dc.LineTo(OffsetCoordinate(px, -arm), py);
    dc.MoveTo(px, py);
    dc.LineTo(OffsetCoordinate(px, arm), py);
    dc.MoveTo(px, py);
    dc.LineTo(px, OffsetCoordinate(py, -arm));
    dc.MoveTo(px, py);
    dc.LineTo(px, OffsetCoordinate(py, arm));
    dc.Restore();
}

} // namespace kyklos
