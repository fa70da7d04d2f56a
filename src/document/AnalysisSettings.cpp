#include "document/AnalysisSettings.h"

#include "platform/NumberText.h"

#include <cmath>
#include <numbers>

namespace kyklos {

int FilterIndexFromCutoff(int cutoffUpr)
{
    switch (cutoffUpr) {
    case 5: return 0;
    case 15: return 1;
    case 50: return 2;
    case 150: return 3;
    case 500: return 4;
    default: return 2;
    }
}

int CutoffFromFilterIndex(int index)
{
    switch (index) {
    case 0: return 5;
    case 1: return 15;
    case 2: return 50;
    case 3: return 150;
    default: return 500;
    }
}

bool IsValidTolerance(double value) { return std::isfinite(value) && value > 0.0; }

std::optional<double> ParseTolerance(std::string_view text)
{
    const std::optional<double> value = ParseNumber(text);
    if (!value || !IsValidTolerance(*value)) return std::nullopt;
    return value;
}

std::optional<ExcludedSector> ParseExcludedSector(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<double> from = ParseNumber(text.substr(0, colon));
    const std::optional<double> to = ParseNumber(text.substr(colon + 1));
    if (!from || !to || !std::isfinite(*from) || !std::isfinite(*to)) return std::nullopt;
    return ExcludedSector{*from, *to};
}

std::string ExcludedSectorText(const ExcludedSector& sector)
{
    return ShortestNumber(sector.FromDeg) + ":" + ShortestNumber(sector.ToDeg);
}

namespace {

// Degrees into [0, 360).
double TurnDegrees(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

} // namespace

bool SectorHoldsAngle(const ExcludedSector& sector, double angleRad)
{
    if (!std::isfinite(angleRad)) return false;
    const double angle = TurnDegrees(angleRad * (180.0 / std::numbers::pi));
    const double from = TurnDegrees(sector.FromDeg);
    const double to = TurnDegrees(sector.ToDeg);
    // A sample a rounding away from an end the user typed is on it.
    constexpr double kEndSlackDeg = 1e-9;
    if (from <= to) return angle >= from - kEndSlackDeg && angle <= to + kEndSlackDeg;
    return angle >= from - kEndSlackDeg || angle <= to + kEndSlackDeg;
}

} // namespace kyklos
