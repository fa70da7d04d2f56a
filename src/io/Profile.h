#pragma once
// A measured roundness profile as a value: the radius of every sample with
// its angle, and the texts that name it. Sized to its samples.
//
// Units: radii in millimetres, angles in radians, counter-clockwise from
// sample 0. A profile at equal steps over one turn has sample i at i·(2π/N),
// with 2π/N computed once, as every fit and the graph take it.

#include <string>
#include <vector>

namespace kyklos {

struct Profile {
    std::vector<double> RawRadius;    // mm, as read or generated
    std::vector<double> SampleAngle;  // radians, one per sample
    // Sample i lies at i·(2π/N) over one full turn (every .kyk profile).
    bool EqualSteps = true;
    std::string Identification;  // the file's IDENTIFICATION line, or "Kyklos generated data"
    std::string DateText;        // the file's DATE line, or the generation time
    std::string FileTitle;       // base name of the file without folder and extension; empty when generated
    std::string PathName;        // the path the file was opened by; empty when generated

    int PointCount() const { return static_cast<int>(RawRadius.size()); }
};

// The angles i·(2π/N) of N samples at equal steps over one turn.
std::vector<double> EqualStepAngles(int count);

// A profile of the given radii (mm) at equal steps over one turn, without texts.
Profile EqualStepProfile(std::vector<double> radii);

} // namespace kyklos
