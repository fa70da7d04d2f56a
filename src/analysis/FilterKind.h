#pragma once
// Which roundness filter a profile passes through before its reference
// circle is fitted, as one value: the kind, its cutoff, and the two cutoffs
// of a band. Beside it, the names reports and options use, the heading of
// the page, and the rules a description must keep.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kyklos {

enum class FilterKind {
    Gaussian,      // the sampled 50 % Gaussian weighting function (the default)
    GaussianExact, // the 50 % Gaussian transmission applied to each harmonic
    Robust,        // the robust Gaussian regression filter: spikes and scratches get no weight
    TwoRC,         // two RC stages: 75 % at the cutoff, with their phase shift
    Band,          // the exact Gaussian between a low and a high cutoff
    None,          // the profile as measured
};

inline constexpr std::array<FilterKind, 6> kFilterKinds{FilterKind::Gaussian, FilterKind::GaussianExact,
                                                        FilterKind::Robust,   FilterKind::TwoRC,
                                                        FilterKind::Band,     FilterKind::None};

struct FilterSpec {
    FilterKind Kind = FilterKind::Gaussian;
    int CutoffUpr = 50;    // UPR; the Gaussian kinds and 2RC
    int BandLowUpr = 15;   // UPR; a band removes the undulations below (the form)
    int BandHighUpr = 150; // UPR; and those above (roughness, probe noise)

    friend bool operator==(const FilterSpec&, const FilterSpec&) = default;
};

// "gaussian", "gaussian-exact", "robust", "2rc", "band", "none": the kind's
// name in options, JSON and CSV.
std::string_view FilterName(FilterKind kind);
// The kind a name gives (as FilterName writes it), or nothing.
std::optional<FilterKind> FilterKindFromName(std::string_view name);

// The report page's heading: "Gaussian (50%) Filtering:  50 UPR", "Exact
// Gaussian Filtering:  50 UPR", "Robust Gaussian Filtering:  50 UPR", "2RC
// Filtering:  50 UPR", "Band 15–150 UPR", "No Filtering".
std::string FilterHeading(const FilterSpec& filterSpec);

// The cutoff a single number stands for: a band's high cutoff, else CutoffUpr.
int UpperCutoffUpr(const FilterSpec& filterSpec);

inline constexpr std::string_view kBandOrderRefusal = "The band's low cutoff must be below its high cutoff.";
inline constexpr std::string_view kCutoffRangeRefusal = "A filter cutoff must be at least 1 UPR.";
// Nothing when the description can be applied; else why not, in the user's
// words: a band whose low cutoff is not below its high one, or a cutoff the
// kind uses below 1 UPR.
std::optional<std::string_view> FilterSpecRefusal(const FilterSpec& filterSpec);

// True for the kinds applied to each harmonic of the profile (exact
// Gaussian, 2RC, band): a harmonic exists only for samples at equal steps
// over a full turn.
bool FilterNeedsEqualSteps(FilterKind kind);
// "The exact Gaussian filter needs samples at equal steps over a full turn."
// (or 2RC, band-pass): the refusal of a kind FilterNeedsEqualSteps names on
// other samples.
std::string EqualStepsRefusal(FilterKind kind);

} // namespace kyklos
