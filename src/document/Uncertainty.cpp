#include "document/Uncertainty.h"

#include "document/CounterRandom.h"
#include "document/ProfileAnalysis.h"
#include "document/RoundnessEvaluation.h"
#include "platform/Units.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <thread>
#include <utility>

namespace kyklos {

namespace {

// The generator's streams, addressed by draw and block of samples: the
// samples' normal numbers, the draw's calibration offset, the samples'
// uniform numbers.
constexpr std::uint64_t kNormalStream = 0;
constexpr std::uint64_t kDrawStream = 1;
constexpr std::uint64_t kUniformStream = 3;
// Samples served by one call of the generator: four normal numbers from its
// four words, eight uniform ones from their halves.
constexpr std::size_t kNormalBlock = 4;
constexpr std::size_t kUniformBlock = 8;
// Blocks of consecutive draws whose intervals give the interval's Monte Carlo error.
constexpr int kIntervalBlocks = 10;
constexpr double kCoverage = 0.95;
constexpr double kCoverageFactor = 2.0;
constexpr std::size_t kReferenceCount = kReferenceKinds.size();

// The model in the analysis' units: millimetres and radians.
struct Perturbation {
    double NoiseMm = 0.0;
    double AngleRad = 0.0;
    double CalibrationMm = 0.0;
    double ResolutionMm = 0.0;
};

Perturbation PerturbationOf(const UncertaintyModel& model)
{
    return {model.ProbeNoiseUm * kMillimetresPerMicrometre, model.AngularNoiseDeg * (std::numbers::pi / 180.0),
            model.CalibrationUm * kMillimetresPerMicrometre, model.ResolutionUm * kMillimetresPerMicrometre};
}

// A scan over a full turn wraps from its last sample to its first; one that
// stops short of the turn by more than twice its largest step is an arc.
bool ProfileIsClosed(bool equalSteps, std::span<const double> angles)
{
    if (equalSteps) return true;
    if (angles.size() < 2) return false;
    double largest = 0.0;
    for (std::size_t i = 1; i < angles.size(); ++i) largest = std::max(largest, angles[i] - angles[i - 1]);
    return angles.front() + 2.0 * std::numbers::pi - angles.back() <= 2.0 * largest;
}

// The standard deviation of each sample's radius from the probe and the
// angle. An angle error δθ moves the sample along the profile: the radius
// read is r(θ + δθ) ≈ r(θ) + r′(θ)·δθ, and the angles stay. Both terms are
// independent Gaussians per sample, so their sum is one Gaussian of
// standard deviation √(σ² + (r′·σθ)²): one normal number serves both.
std::vector<double> SampleDeviations(std::span<const double> slopes, const Perturbation& model)
{
    std::vector<double> deviation(slopes.size());
    for (std::size_t i = 0; i < slopes.size(); ++i)
        deviation[i] = std::hypot(model.NoiseMm, slopes[i] * model.AngleRad);
    return deviation;
}

// One draw's profile. The generator costs about as much as the analysis of
// a draw: terms that are off take nothing from it, and the sums stay the
// same bits.
void PerturbRadii(std::span<const double> raw, std::span<const double> deviation, const Perturbation& model,
                  const CounterRandom& random, std::uint64_t draw, std::vector<double>& radius)
{
    const double calibration = model.CalibrationMm * random.Normals(draw, 0, kDrawStream)[0];
    const bool normals = model.NoiseMm != 0.0 || model.AngleRad != 0.0;
    const std::size_t n = raw.size();
    for (std::size_t first = 0; first < n; first += kUniformBlock) {
        std::array<double, kUniformBlock> z{}, uniform{};
        if (normals) {
            const std::uint64_t block = first / kNormalBlock;
            const std::array<double, kNormalBlock> low = random.Normals(draw, block, kNormalStream);
            const std::array<double, kNormalBlock> high = random.Normals(draw, block + 1, kNormalStream);
            std::copy(low.begin(), low.end(), z.begin());
            std::copy(high.begin(), high.end(), z.begin() + kNormalBlock);
        }
        if (model.ResolutionMm != 0.0) uniform = random.CoarseUniforms(draw, first / kUniformBlock, kUniformStream);
        for (std::size_t j = 0; j < kUniformBlock && first + j < n; ++j) {
            const std::size_t i = first + j;
            const double resolution = model.ResolutionMm * (uniform[j] - 0.5);
            radius[i] = raw[i] + deviation[i] * z[j] + resolution + calibration;
        }
    }
}

double QuantityOf(const ReferenceEvaluation& reference, UncertainQuantity quantity)
{
    switch (quantity) {
    case UncertainQuantity::RONt: return reference.RONt.value_or(0.0);
    case UncertainQuantity::Eccentricity: return reference.Eccentricity;
    case UncertainQuantity::ReferenceA: return reference.ReferenceA;
    case UncertainQuantity::ReferenceB: return reference.ReferenceB;
    case UncertainQuantity::ReferenceC: return reference.ReferenceC;
    }
    return 0.0;
}

bool HasResult(const ReferenceEvaluation& reference) { return reference.FitValid && reference.RONt.has_value(); }

// Every draw's values, laid out by reference, quantity and draw, so that
// each worker writes only its own draws' cells. A failed fit leaves NaN.
class DrawTable {
public:
    explicit DrawTable(int draws)
        : draws_(static_cast<std::size_t>(draws)),
          cells_(kReferenceCount * kUncertainQuantityCount * draws_, std::numeric_limits<double>::quiet_NaN())
    {}

    void Record(std::size_t draw, const RoundnessEvaluation& evaluation)
    {
        for (std::size_t k = 0; k < kReferenceCount; ++k) {
            const ReferenceEvaluation& reference = evaluation.References[k];
            if (!HasResult(reference)) continue;
            for (std::size_t q = 0; q < kUncertainQuantityCount; ++q)
                cells_[Offset(k, q) + draw] = QuantityOf(reference, kUncertainQuantities[q]);
        }
    }

    std::span<const double> Draws(std::size_t reference, std::size_t quantity) const
    {
        return std::span<const double>(cells_).subspan(Offset(reference, quantity), draws_);
    }

private:
    std::size_t Offset(std::size_t reference, std::size_t quantity) const
    {
        return (reference * kUncertainQuantityCount + quantity) * draws_;
    }

    std::size_t draws_;
    std::vector<double> cells_;
};

// What every worker reads: the measured profile, the slopes and the model.
struct DrawJob {
    const Profile& Measured;
    AnalysisSettings Settings;
    std::vector<double> Deviations; // of each sample's radius from probe and angle, mm
    Perturbation Model;
    CounterRandom Random;
    int Draws = 0;
};

// Takes draws by index until none is left or the run is stopped.
void Work(const DrawJob& job, DrawTable& table, std::atomic<int>& next, std::atomic<int>& done,
          const std::atomic<bool>& stop)
{
    Profile profile = job.Measured;
    AnalysisResult result;
    NoProgress quiet;
    std::string refusal;
    for (int draw = next++; draw < job.Draws && !stop.load(); draw = next++) {
        const auto index = static_cast<std::uint64_t>(draw);
        PerturbRadii(job.Measured.RawRadius, job.Deviations, job.Model, job.Random, index, profile.RawRadius);
        if (AnalyseProfile(profile, job.Settings, quiet, result, refusal) == AnalysisStatus::Done)
            table.Record(static_cast<std::size_t>(draw), result.Evaluation);
        ++done;
    }
}

int WorkerCount(int asked, int draws)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(asked > 0 ? asked : cores, 1, std::max(1, draws));
}

// Runs every draw on the workers while this thread keeps the progress
// display alive; false when the user cancelled.
bool RunDraws(const DrawJob& job, int workers, DrawTable& table, ProgressPort& progress)
{
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    const std::string message = "Simulating " + std::to_string(job.Draws) + " draws...";
    const bool shown = progress.Show("Uncertainty", message);
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) threads.emplace_back([&] { Work(job, table, next, done, stop); });
    while (shown && done.load() < job.Draws) {
        progress.PumpMessage();
        progress.SetPos(static_cast<int>(done.load() * 100LL / job.Draws));
        if (!progress.IsActive()) {
            stop = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (std::thread& thread : threads) thread.join();
    if (shown && progress.IsActive()) progress.Close();
    return !stop.load();
}

// The statistics of one reference over the draws whose fit succeeded.
ReferenceUncertainty SummariseReference(const ReferenceEvaluation& measured, const DrawTable& table,
                                        std::size_t reference)
{
    ReferenceUncertainty out;
    out.Valid = HasResult(measured);
    if (!out.Valid) return out;
    std::vector<double> kept;
    for (std::size_t q = 0; q < kUncertainQuantityCount; ++q) {
        kept.clear();
        for (const double value : table.Draws(reference, q))
            if (!std::isnan(value)) kept.push_back(value);
        if (q == 0) out.FailedDraws = static_cast<int>(table.Draws(reference, q).size() - kept.size());
        if (kept.size() < 2) {
            out.Valid = false;
            return out;
        }
        out.Quantities[q] = SummariseDraws(QuantityOf(measured, kUncertainQuantities[q]), kept);
    }
    return out;
}

} // namespace

std::string_view UncertainQuantityName(UncertainQuantity quantity)
{
    switch (quantity) {
    case UncertainQuantity::RONt: return "RONt";
    case UncertainQuantity::Eccentricity: return "Eccentricity";
    case UncertainQuantity::ReferenceA: return "ReferenceA";
    case UncertainQuantity::ReferenceB: return "ReferenceB";
    case UncertainQuantity::ReferenceC: return "ReferenceC";
    }
    return {};
}

std::string_view DecisionText(ConformityDecision decision)
{
    switch (decision) {
    case ConformityDecision::Conforms: return "Conforms";
    case ConformityDecision::DoesNotConform: return "Does not conform";
    case ConformityDecision::Undecided: return "Undecided";
    case ConformityDecision::None: break;
    }
    return "\u2014";
}

std::pair<double, double> ShortestCoverageInterval(std::span<const double> sorted, double p)
{
    const std::size_t m = sorted.size();
    if (m == 0) return {0.0, 0.0};
    const double pm = p * static_cast<double>(m);
    std::size_t q = std::floor(pm) == pm ? static_cast<std::size_t>(pm) : static_cast<std::size_t>(pm + 0.5);
    q = std::clamp<std::size_t>(q, 1, m);
    std::size_t best = 0;
    for (std::size_t r = 1; r + q <= m; ++r)
        if (sorted[r + q - 1] - sorted[r] < sorted[best + q - 1] - sorted[best]) best = r;
    return {sorted[best], sorted[best + q - 1]};
}

QuantityUncertainty SummariseDraws(double estimate, std::span<const double> draws)
{
    QuantityUncertainty out;
    out.Estimate = estimate;
    const std::size_t m = draws.size();
    if (m < 2) return out;
    // Deviations from the estimate: exact zeros when nothing was perturbed,
    // and small numbers to sum when the spread is small beside the value.
    double sum = 0.0;
    for (const double y : draws) sum += y - estimate;
    const double meanDeviation = sum / static_cast<double>(m);
    double squares = 0.0;
    for (const double y : draws) {
        const double d = (y - estimate) - meanDeviation;
        squares += d * d;
    }
    out.StandardUncertainty = std::sqrt(squares / static_cast<double>(m - 1));
    out.Bias = meanDeviation;

    std::vector<double> sorted(draws.begin(), draws.end());
    std::sort(sorted.begin(), sorted.end());
    std::tie(out.IntervalLow, out.IntervalHigh) = ShortestCoverageInterval(sorted, kCoverage);

    // Each block's interval estimates the same ends from M/h draws; their
    // spread over √h is the standard error of the ends' mean, the adaptive
    // procedure's measure of how well M draws fix the interval.
    const std::size_t h = static_cast<std::size_t>(kIntervalBlocks);
    if (m < h) return out;
    std::array<double, kIntervalBlocks> lows{}, highs{};
    for (std::size_t b = 0; b < h; ++b) {
        sorted.assign(draws.begin() + static_cast<std::ptrdiff_t>(b * m / h),
                      draws.begin() + static_cast<std::ptrdiff_t>((b + 1) * m / h));
        std::sort(sorted.begin(), sorted.end());
        std::tie(lows[b], highs[b]) = ShortestCoverageInterval(sorted, kCoverage);
    }
    const auto standardError = [h, estimate](const std::array<double, kIntervalBlocks>& ends) {
        double mean = 0.0;
        for (const double e : ends) mean += e - estimate;
        mean /= static_cast<double>(h);
        double s = 0.0;
        for (const double e : ends) s += ((e - estimate) - mean) * ((e - estimate) - mean);
        return std::sqrt(s / static_cast<double>(h - 1) / static_cast<double>(h));
    };
    out.IntervalError = std::max(standardError(lows), standardError(highs));
    return out;
}

ConformityDecision DecideConformity(std::optional<double> rontMm, std::optional<double> expandedMm,
                                    const std::optional<RoundnessTolerance>& tolerance)
{
    if (!rontMm || !expandedMm || !tolerance) return ConformityDecision::None;
    const ToleranceVerdict upper = JudgeRoundness(*rontMm + *expandedMm, tolerance);
    const ToleranceVerdict lower = JudgeRoundness(*rontMm - *expandedMm, tolerance);
    if (upper == ToleranceVerdict::None || lower == ToleranceVerdict::None) return ConformityDecision::None;
    if (upper == ToleranceVerdict::Pass) return ConformityDecision::Conforms;
    if (lower == ToleranceVerdict::Fail) return ConformityDecision::DoesNotConform;
    return ConformityDecision::Undecided;
}

std::vector<double> ProfileSlopes(std::span<const double> radius, std::span<const double> angles, bool closed)
{
    const std::size_t n = std::min(radius.size(), angles.size());
    std::vector<double> slope(n, 0.0);
    if (n < 3) return slope;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    for (std::size_t i = 0; i < n; ++i) {
        const bool first = i == 0, last = i + 1 == n;
        // A closed profile's neighbours wrap through the turn; an arc's end is its own neighbour.
        const std::size_t before = first ? (closed ? n - 1 : 0) : i - 1;
        const std::size_t after = last ? (closed ? 0 : i) : i + 1;
        const double from = angles[before] - (first && closed ? kTurn : 0.0);
        const double to = angles[after] + (last && closed ? kTurn : 0.0);
        if (to > from) slope[i] = (radius[after] - radius[before]) / (to - from);
    }
    return slope;
}

UncertaintyStatus SimulateUncertainty(const Profile& profile, const AnalysisSettings& settings,
                                      const AnalysisResult& measured, const UncertaintyRequest& request,
                                      ProgressPort& progress, UncertaintyResult& result)
{
    const std::size_t n = profile.RawRadius.size();
    const RoundnessEvaluation& evaluation = measured.Evaluation;
    if (!evaluation.Valid || n == 0 || measured.FilteredRadius.size() != n || request.Draws < 2)
        return UncertaintyStatus::NotAnalysed;

    DrawJob job{profile, settings, {}, PerturbationOf(request.Model), CounterRandom(request.Seed), request.Draws};
    // Spectra, true circles and certificates are not simulated, and would only cost time.
    job.Settings.WithHarmonics = false;
    job.Settings.WithCircles = false;
    job.Settings.WithCertificates = false;
    const std::vector<double> angles =
        profile.SampleAngle.size() == n ? profile.SampleAngle : EqualStepAngles(static_cast<int>(n));
    job.Deviations = SampleDeviations(
        ProfileSlopes(measured.FilteredRadius, angles, ProfileIsClosed(profile.EqualSteps, angles)), job.Model);

    DrawTable table(request.Draws);
    if (!RunDraws(job, WorkerCount(request.Workers, request.Draws), table, progress))
        return UncertaintyStatus::Cancelled;

    UncertaintyResult out;
    out.Model = request.Model;
    out.Draws = request.Draws;
    out.Seed = request.Seed;
    out.SelectedReference = evaluation.SelectedReference;
    for (std::size_t k = 0; k < kReferenceCount; ++k)
        out.References[k] = SummariseReference(evaluation.References[k], table, k);
    const ReferenceUncertainty& selected = out.Reference(out.SelectedReference);
    if (selected.Valid)
        out.ExpandedUncertainty = kCoverageFactor * selected[UncertainQuantity::RONt].StandardUncertainty;
    out.Decision = DecideConformity(evaluation.Selected().RONt, out.ExpandedUncertainty, settings.Tolerance);
    result = std::move(out);
    return UncertaintyStatus::Done;
}

} // namespace kyklos
