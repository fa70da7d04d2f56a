#include "analysis/ReferenceCheck.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kyklos {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
// Two contacts exactly opposite hold the centre: their gaps are π, give or take rounding.
constexpr double kGapTolerance = 1e-9;

// Side changes between neighbouring contacts, the last to the first included.
int Alternations(const std::vector<ReferenceContact>& contacts)
{
    int changes = 0;
    for (std::size_t k = 0; k < contacts.size(); ++k)
        if (contacts[k].Side != contacts[k == 0 ? contacts.size() - 1 : k - 1].Side) ++changes;
    return changes;
}

// The largest angle between neighbouring contacts, the wrap included; 2π for fewer than two.
double LargestContactGap(const std::vector<ReferenceContact>& contacts)
{
    if (contacts.size() < 2) return kTwoPi;
    double largest = contacts.front().Angle + kTwoPi - contacts.back().Angle;
    for (std::size_t k = 1; k < contacts.size(); ++k)
        largest = std::max(largest, contacts[k].Angle - contacts[k - 1].Angle);
    return largest;
}

} // namespace

bool CheckReference(ReferenceKind kind, std::span<const double> profile, const SampleSet& samples,
                    const LimaconReference& reference, double zoneHalfWidth, ReferenceCheck& check)
{
    check = ReferenceCheck{};
    if (kind == ReferenceKind::LeastSquares) {
        check.Verified = true;
        return true;
    }
    const bool zone = kind == ReferenceKind::MinimumZone;
    const double w = zone ? zoneHalfWidth : 0.0;
    const double a = reference.a, b = reference.b, c = reference.c;
    if (samples.UsedCount() == 0 || std::ssize(profile) < samples.Count()) return false;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !(w >= 0.0 && w <= kLargestDouble)) return false;
    const double epsilon = kContactTolerance * std::max(1.0, std::fabs(a) + std::fabs(b) + std::fabs(c) + w);
    // The sides a sample may lie on, and where it touches.
    const bool outer = kind != ReferenceKind::MaximumInscribed;
    const bool inner = kind != ReferenceKind::MinimumCircumscribed;

    const std::span<const int> index = samples.UsedIndices();
    const std::span<const double> cosine = samples.UsedCosines();
    const std::span<const double> sine = samples.UsedSines();
    bool feasible = true;
    for (std::size_t k = 0; k < index.size(); ++k) {
        const int i = index[k];
        const double d = profile[static_cast<std::size_t>(i)] - (cosine[k] * a + sine[k] * b + c);
        // Written so that NaN fails.
        if (!((!outer || d <= w + kReferenceFeasibility) && (!inner || d >= -w - kReferenceFeasibility)))
            feasible = false;
        const bool touchesOuter = outer && d >= w - epsilon;
        const bool touchesInner = inner && d <= -w + epsilon;
        // Within ε of both (a zone no wider than ε): the nearer.
        if (touchesOuter && (!touchesInner || d >= 0.0))
            check.Contacts.push_back({i, samples.Angle(i), ReferenceSide::Outer});
        else if (touchesInner)
            check.Contacts.push_back({i, samples.Angle(i), ReferenceSide::Inner});
    }
    if (zone)
        check.Verified = feasible && (w <= epsilon || Alternations(check.Contacts) >= 4);
    else
        check.Verified = feasible && LargestContactGap(check.Contacts) <= kPi + kGapTolerance;
    return check.Verified;
}

} // namespace kyklos
