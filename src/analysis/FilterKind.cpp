#include "analysis/FilterKind.h"

namespace kyklos {

namespace {
// The kind in a sentence ("The … filter needs …").
std::string_view FilterTitle(FilterKind kind)
{
    switch (kind) {
    case FilterKind::Gaussian: return "Gaussian";
    case FilterKind::GaussianExact: return "exact Gaussian";
    case FilterKind::Robust: return "robust Gaussian";
    case FilterKind::TwoRC: return "2RC";
    case FilterKind::Band: return "band-pass";
    case FilterKind::None: break;
    }
    return "no";
}
} // namespace

std::string_view FilterName(FilterKind kind)
{
    switch (kind) {
    case FilterKind::Gaussian: return "gaussian";
    case FilterKind::GaussianExact: return "gaussian-exact";
    case FilterKind::Robust: return "robust";
    case FilterKind::TwoRC: return "2rc";
    case FilterKind::Band: return "band";
    case FilterKind::None: break;
    }
    return "none";
}

std::optional<FilterKind> FilterKindFromName(std::string_view name)
{
    for (const FilterKind kind : kFilterKinds)
        if (FilterName(kind) == name) return kind;
    return std::nullopt;
}

std::string FilterHeading(const FilterSpec& filterSpec)
{
    const std::string cutoff = ":  " + std::to_string(filterSpec.CutoffUpr) + " UPR";
    switch (filterSpec.Kind) {
    case FilterKind::Gaussian: return "Gaussian (50%) Filtering" + cutoff;
    case FilterKind::GaussianExact: return "Exact Gaussian Filtering" + cutoff;
    case FilterKind::Robust: return "Robust Gaussian Filtering" + cutoff;
    case FilterKind::TwoRC: return "2RC Filtering" + cutoff;
    case FilterKind::Band:
        return "Band " + std::to_string(filterSpec.BandLowUpr) + "\u2013" + std::to_string(filterSpec.BandHighUpr) +
               " UPR";
    case FilterKind::None: break;
    }
    return "No Filtering";
}

int UpperCutoffUpr(const FilterSpec& filterSpec)
{
    return filterSpec.Kind == FilterKind::Band ? filterSpec.BandHighUpr : filterSpec.CutoffUpr;
}

std::optional<std::string_view> FilterSpecRefusal(const FilterSpec& filterSpec)
{
    switch (filterSpec.Kind) {
    case FilterKind::None: return std::nullopt;
    case FilterKind::Band:
        if (filterSpec.BandLowUpr >= filterSpec.BandHighUpr) return kBandOrderRefusal;
        if (filterSpec.BandLowUpr < 1) return kCutoffRangeRefusal;
        return std::nullopt;
    default:
        if (filterSpec.CutoffUpr < 1) return kCutoffRangeRefusal;
        return std::nullopt;
    }
}

bool FilterNeedsEqualSteps(FilterKind kind)
{
    return kind == FilterKind::GaussianExact || kind == FilterKind::TwoRC || kind == FilterKind::Band;
}

std::string EqualStepsRefusal(FilterKind kind)
{
    return "The " + std::string(FilterTitle(kind)) + " filter needs samples at equal steps over a full turn.";
}

} // namespace kyklos
