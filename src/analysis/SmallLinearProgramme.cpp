#include "analysis/SmallLinearProgramme.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kyklos {

namespace {

constexpr int kMax = kLargestProgrammeDimension;
// Below this a coefficient (the constraints' own are of order 1) is taken
// for a constraint parallel to the plane it was brought onto.
constexpr double kNegligibleCoefficient = 1e-13;

void SolveOnLine(std::span<const HalfSpace> constraints, double objective, double lo, double hi, double& z)
{
    for (const HalfSpace& h : constraints) {
        if (h.Q[0] > kNegligibleCoefficient)
            hi = std::min(hi, h.S / h.Q[0]);
        else if (h.Q[0] < -kNegligibleCoefficient)
            lo = std::max(lo, h.S / h.Q[0]);
    }
    if (lo > hi || objective == 0.0)
        z = 0.5 * (lo + hi);
    else
        z = objective > 0.0 ? lo : hi;
}

// One level of the recursion; `scratch` holds one list per lower dimension,
// level d writing only scratch[d − 2].
void Solve(int dimension, std::span<const HalfSpace> constraints, const double objective[kMax], const ProgrammeBox& box,
           double tolerance, double z[kMax], std::vector<HalfSpace>* scratch)
{
    if (dimension == 1) {
        SolveOnLine(constraints, objective[0], box.Lo[0], box.Hi[0], z[0]);
        return;
    }
    for (int l = 0; l < dimension; ++l)
        z[l] = objective[l] > 0.0 ? box.Lo[l] : (objective[l] < 0.0 ? box.Hi[l] : 0.5 * (box.Lo[l] + box.Hi[l]));
    for (std::size_t k = 0; k < constraints.size(); ++k) {
        const HalfSpace& h = constraints[k];
        double value = 0.0;
        for (int l = 0; l < dimension; ++l) value += h.Q[l] * z[l];
        if (value <= h.S + tolerance) continue;
        int pivot = 0;
        for (int l = 1; l < dimension; ++l)
            if (std::fabs(h.Q[l]) > std::fabs(h.Q[pivot])) pivot = l;
        if (std::fabs(h.Q[pivot]) < kNegligibleCoefficient) continue;
        // z_pivot = (S − Σ Q_l·z_l)/Q_pivot put into g: g.Q − f·h.Q ≤ g.S − f·h.S, f = g.Q_pivot/Q_pivot.
        std::vector<HalfSpace>& lower = scratch[dimension - 2];
        lower.clear();
        const auto bring = [&](const HalfSpace& g) {
            const double f = g.Q[pivot] / h.Q[pivot];
            HalfSpace out;
            for (int l = 0, m = 0; l < dimension; ++l)
                if (l != pivot) out.Q[m++] = g.Q[l] - f * h.Q[l];
            out.S = g.S - f * h.S;
            lower.push_back(out);
        };
        for (std::size_t g = 0; g < k; ++g) bring(constraints[g]);
        HalfSpace bound;
        bound.Q[pivot] = 1.0;
        bound.S = box.Hi[pivot];
        bring(bound);
        bound.Q[pivot] = -1.0;
        bound.S = -box.Lo[pivot];
        bring(bound);
        double lowerObjective[kMax] = {0.0, 0.0, 0.0, 0.0};
        ProgrammeBox lowerBox;
        for (int l = 0, m = 0; l < dimension; ++l) {
            if (l == pivot) continue;
            lowerObjective[m] = objective[l] - objective[pivot] * h.Q[l] / h.Q[pivot];
            lowerBox.Lo[m] = box.Lo[l];
            lowerBox.Hi[m] = box.Hi[l];
            ++m;
        }
        double w[kMax] = {0.0, 0.0, 0.0, 0.0};
        Solve(dimension - 1, lower, lowerObjective, lowerBox, tolerance, w, scratch);
        double rest = h.S;
        for (int l = 0, m = 0; l < dimension; ++l) {
            if (l == pivot) continue;
            z[l] = w[m++];
            rest -= h.Q[l] * z[l];
        }
        z[pivot] = rest / h.Q[pivot];
    }
}

} // namespace

bool SolveSmallLinearProgramme(int dimension, std::span<const HalfSpace> constraints, const double objective[kMax],
                               const ProgrammeBox& box, double tolerance, double z[kMax])
{
    if (dimension < 1 || dimension > kMax) return false;
    std::vector<HalfSpace> scratch[kMax - 1];
    double solution[kMax] = {0.0, 0.0, 0.0, 0.0};
    Solve(dimension, constraints, objective, box, tolerance, solution, scratch);
    std::copy(solution, solution + dimension, z);
    return true;
}

} // namespace kyklos
