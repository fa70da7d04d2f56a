#pragma once
// A measured roundness profile as a value: the radius of every sample with
// its angle, and the texts that name it. Sized to its samples.
//
// Units: radii in millimetres, angles in radians, counter-clockwise from
// sample 0. A profile at equal steps over one turn has sample i at i·(2π/N),
// with 2π/N computed once, as every fit and the graph take it. A profile at
// any angles has its angles sorted in [0, 2π). Points in a plane (from a
// coordinate measuring machine) are kept as points: their radial profile is
// taken about a centre that only the evaluation finds.

#include <string>
#include <vector>

namespace kyklos {

enum class ProfileKind {
    Radial, // RawRadius at SampleAngle
    Points, // PointX, PointY; no radii yet
};

struct Profile {
    std::vector<double> RawRadius;   // mm, as read or generated
    std::vector<double> SampleAngle; // radians, one per sample
    // Sample i lies at i·(2π/N) over one full turn (every .kyk profile).
    bool EqualSteps = true;
    std::string Identification; // the file's IDENTIFICATION line, or "Kyklos generated data"
    std::string DateText;       // the file's DATE line, or the generation time
    std::string FileTitle;      // base name of the file without folder and extension; empty when generated
    std::string PathName;       // the path the file was opened by; empty when generated

    ProfileKind Kind = ProfileKind::Radial;
    std::vector<double> PointX; // mm, the points of a Points profile in the file's order
    std::vector<double> PointY; // mm
    // A point set's radial profile (RawRadius at SampleAngle, EqualSteps
    // false) is taken about its geometric least squares centre, found when the
    // points are read into the document: the centre in the points'
    // coordinates, and the point behind each sample. Empty radii until then.
    double CentreX = 0.0;
    double CentreY = 0.0;
    std::vector<int> PointIndex;
    // The .kyk file's micrometre values as read, so that saving the profile
    // as .kyk writes the very same numbers; empty for any other source.
    std::vector<double> RadiusUm;
    std::string SourceFormat;      // "kyk" or "table"; empty when generated
    std::string Columns;           // a table's columns as --columns names them ("angle,radius", "-,x,y"); else empty
    std::string SourceDescription; // file type, columns and units, e.g. "CSV table: angle (deg), radius (µm)"

    int PointCount() const { return static_cast<int>(RawRadius.size()); }
};

// The angles i·(2π/N) of N samples at equal steps over one turn.
std::vector<double> EqualStepAngles(int count);

// A profile of the given radii (mm) at equal steps over one turn, without texts.
Profile EqualStepProfile(std::vector<double> radii);

} // namespace kyklos
