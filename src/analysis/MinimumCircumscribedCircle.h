#pragma once
// The minimum circumscribed reference: the smallest limaçon with no profile
// point outside, touching three peaks that surround the centre.

#include <span>

namespace kyklos {

// Starts from samples 0, N/3 and 2N/3; at most 51 passes, the best one kept.
// False only for count < 1 (then a = b = c = 0).
bool FitMinimumCircumscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

} // namespace kyklos
