#pragma once
// The magnified polar chart of a roundness profile: geometry and scale, the
// dotted grid with its labels and scale bar, and the profile and reference
// traces. It is a deviation plot: a radius r (mm) is drawn at
// ρ = ZeroRadius + (r − DatumRadius)·1000·PixelsPerMicrometre from the centre,
// so the band between the inner and the outer circle spans BandRange µm.
//
// All geometry is in device units of the target (window pixels, printer dots)
// with 32-bit integer arithmetic truncating toward zero; doubles become device
// coordinates only through RoundToDevice.

#include "graph/TracePaths.h"
#include "platform/Canvas.h"

#include <span>

namespace kyklos {

// The shade under an excluded sector: lighter than the raw profile's grey,
// so that its samples stay visible on it, yet dark enough to print.
inline constexpr Colour kExcludedSectorShade{232, 232, 232};

// Where a trace puts a sample: about the datum (plain), or as its deviation
// from the reference limaçon a·cos θ + b·sin θ + c (mm) on the circle of
// BaseRadius (centred).
struct TraceFrame {
    bool Centred = false;
    double a = 0.0, b = 0.0, c = 0.0;
    int BaseRadius = 0;
};

class CPolarGraph {
public:
    CPolarGraph();

    // Half a unit moves away from zero. Values beyond the int range saturate
    // and a NaN gives 0, so absurd profile data cannot make a coordinate undefined.
    static int RoundToDevice(double x);
    // The clamp applied to trace coordinates: the 16-bit coordinate range.
    static int ClampCoordinate(int v);
    // coordinate + offset, held at the ends of the int range: a coordinate
    // RoundToDevice saturated stays there instead of wrapping round.
    static int OffsetCoordinate(int coordinate, int offset);

    // Centre, the three radii and the resolution-dependent pen widths, from
    // GraphRect and the smaller of the canvas's two resolutions.
    void ComputeLayout(const Canvas& dc);
    // Rounds the range high − low (µm) up to a whole number of steps of one
    // or two powers of ten (in the display unit) and makes it the BandRange.
    void FitScaleToRange(double high, double low);

    // The static chart: rings, spokes, angle labels, scale bar and its label.
    void DrawGraph(Canvas& dc);
    void DrawDottedCircle(Canvas& dc, int radius, bool emphasised);
    void DrawRadialLines(Canvas& dc);
    void DrawLabels(Canvas& dc);

    // Traces, drawn with the canvas's current pen and clipped to the inside of
    // GraphRect. Radii and reference terms are in millimetres.
    void DrawCircle(Canvas& dc, int radius);
    void DrawProfile(Canvas& dc, std::span<const double> radii, int count);
    void DrawCenteredProfile(Canvas& dc, std::span<const double> radii, int count, double a, double b, double c,
                             int baseRadius);
    void DrawReference(Canvas& dc, double a, double b, double c);
    // Samples at their own angles (radians; empty: i·2π/N over a full
    // turn) as the given polylines: about the datum with one vertex per run
    // of samples on one device point, as DrawProfile; centred with every
    // vertex, as DrawCenteredProfile.
    void DrawProfilePaths(Canvas& dc, std::span<const double> radii, std::span<const double> anglesRad,
                          std::span<const TracePath> paths, const TraceFrame& frame);
    // A small diagonal cross on each of the given samples (a removed spike).
    void DrawSampleCrosses(Canvas& dc, std::span<const double> radii, std::span<const double> anglesRad,
                           std::span<const int> samples, const TraceFrame& frame);
    // Fills the sector from fromRad counter-clockwise to toRad (radians,
    // taken modulo a turn) out to the outer circle, without an outline.
    void FillSector(Canvas& dc, double fromRad, double toRad, Colour colour);
    void DrawCentreMark(Canvas& dc, double x, double y);

    bool MetricUnits = true;
    int HaloPenWidth = 0;
    double PixelsPerMicrometre = 0.0;
    double BandRange = 5.0; // µm, also in inch mode
    int TracePenWidth = 0;
    int IntermediateRings = 1;
    double Pi;
    Colour GridColour = kGrey;
    int RulePenWidth = 0;
    int OuterRadius = 0;
    int ZeroRadius = 0;
    int InnerRadius = 0;
    double DatumRadius = 0.0; // mm, drawn on the zero circle
    Rect GraphRect{};
    Rect ScaleBarRect{};
    int CentreX = 0;
    int CentreY = 0;

private:
    // The device point of radius r (mm) at angle theta, clamped as traces are.
    Point TracePoint(double r, double theta, const TraceFrame& frame) const;
    // Saves the canvas and clips to GraphRect without its left and top edge lines.
    void BeginTrace(Canvas& dc) const;
};

} // namespace kyklos
