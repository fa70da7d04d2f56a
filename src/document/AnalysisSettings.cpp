#include "document/AnalysisSettings.h"

#include "platform/NumberText.h"

#include <cmath>

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

} // namespace kyklos
