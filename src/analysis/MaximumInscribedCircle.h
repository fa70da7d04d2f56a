#pragma once
// The maximum inscribed reference: the largest limaçon with no profile point
// inside, touching three valleys that surround the centre.

#include <span>

namespace kyklos {

// One three-point exchange from the start angles theta[3]; on return theta
// holds the final contact angles. True when it converged within 50 passes.
bool IterateInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c,
                            double theta[3]);

// First attempt from 0°, 120°, 240°, then up to four restarts around a
// crowded pair of contacts. False only when every attempt hit its pass limit.
bool FitMaximumInscribedCircle(std::span<const double> profile, int count, double& a, double& b, double& c);

} // namespace kyklos
