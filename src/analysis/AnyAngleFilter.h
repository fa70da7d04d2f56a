#pragma once
// The Gaussian and the robust Gaussian filter of a profile whose samples are
// not at equal steps over a full turn: an arc, an angle–radius table, a
// profile with excluded sectors or removed spikes. Only the used samples are
// read and written; an excluded sample neither is filtered nor weighs in.
//
// The weighting function is the equal-step filter's,
// s(x) = (1/β)·exp(−π·(x/β)²), β = α·λc, evaluated at the actual angle
// between two samples (the shorter way round the circle, or as often as the
// reach goes round it), and each sample weighs in with the angle it covers:
//
//   half the angle to each of its used neighbours; on the side of a gap as
//   much as on its inner side (half the step there, or half a nominal step
//   for a sample with gaps on both sides), and never more than half the gap.
//
// A gap is an interval between neighbouring used samples that holds an
// excluded sample, or that is more than four times as wide as either
// interval beside it: the rest of the circle past the ends of an arc, a hole
// in a scan. A run of wide intervals is no gap but sparse sampling, which the
// density rule below judges.
//
// The nominal step is the median angle between neighbouring used samples with
// no excluded sample between them, and N = 2π/step rounded the equal-step
// profile it stands for: the kernel of N samples at the same cutoff gives the
// reach (its K neighbour pairs and half a step: |x| ≤ (K + ½)·2π/N) and the
// gain G (the sum of its weights, scaled to unit gain where that kernel is).
// The filtered value at a sample is
//
//   G · Σ_j s(t_j − t_i)·c_j·z_j / Σ_j s(t_j − t_i)·c_j,   |t_j − t_i| ≤ reach,
//
// the weights present scaled to the sum today's kernel has. On equal steps
// over a full turn Σ_j s·c_j is that sum, so the factor is 1 and the filter
// is today's to rounding; at the ends of an arc and the edges of a gap the
// weights present are fewer, and dividing by their sum is the end-effect
// correction of ISO 16610-28.
//
// The filter needs at least 7 samples per cutoff wavelength everywhere. A
// stretch is the window [t − λc/2, t + λc/2) about a used sample; the samples
// in it are the used ones whose angles lie there, and the part of the window
// they stand for is the sum of the angles they cover, so that a window
// reaching into a gap or past the end of an arc counts only its used part.
// A stretch is too sparse when count·λc < 7·(covered angle) (to 1e-9): its
// covered angles average more than λc/7.

#include "analysis/RobustGaussianFilter.h"
#include "analysis/SampleSet.h"

#include <span>
#include <vector>

namespace kyklos {

inline constexpr int kSamplesPerWavelength = 7;
// More than this many times as wide as both intervals beside it, an interval
// between used samples is a gap in the profile rather than a longer step.
inline constexpr double kGapSteps = 4.0;

struct AnyAngleKernel {
    double NominalStep = 0.0; // radians
    int NominalCount = 0;     // N, the equal-step profile the kernel is taken from
    double Width = 0.0;       // β = α·λc, radians
    double Reach = 0.0;       // (K + ½)·2π/N, radians
    double Gain = 0.0;        // G
};

// The median angle between neighbouring used samples with no excluded sample
// between them (of all neighbours when every interval holds one); 2π for one
// used sample, 0 for none.
double NominalStep(const SampleSet& samples);

// The kernel of a set (at least one used sample) and a cutoff in UPR. N is
// kept to 2^20 at most: a nominal step finer than that changes the reach by
// less than a step and the gain not at all.
AnyAngleKernel ComputeAnyAngleKernel(const SampleSet& samples, double cutoffUpr);

// The angle each used sample covers, radians, in the order of the used samples.
std::vector<double> CoveredAngles(const SampleSet& samples);

// True when some stretch holds fewer than 7 used samples per cutoff
// wavelength, or fewer than two samples are used. `covered` as CoveredAngles gives.
bool TooSparseForFilter(const SampleSet& samples, std::span<const double> covered, double cutoffUpr);

// Filters the used samples of input into output (both of samples.Count()
// elements; they may be the same array; output's excluded entries stay as
// they are), cutoff in UPR. False, with output untouched, for spans of
// another size or a cutoff that is not a positive number. The density is the
// caller's to check (TooSparseForFilter).
bool GaussianFilterAnyAngles(const SampleSet& samples, std::span<const double> input, std::span<double> output,
                             double cutoffUpr);

// The robust Gaussian regression filter (ISO 16610-31, as
// RobustGaussianFilterProfile: its biweight, constant, iterations and
// warning) with the weights above: every weighted mean is
// Σ s·c_j·δ_j·z_j / Σ s·c_j·δ_j. outcome.OwnShare has samples.Count()
// entries, 0 for the excluded ones. False, with output untouched, as above or
// for a used input that is not finite.
bool RobustGaussianFilterAnyAngles(const SampleSet& samples, std::span<const double> input, std::span<double> output,
                                   double cutoffUpr, RobustFilterOutcome& outcome,
                                   const RobustFilterOptions& options = {});

} // namespace kyklos
