// Arbitrary bytes as a profile table, read under options chosen by the last
// byte: the reader must refuse or accept them without crashing, hanging or
// reading past its arrays. An accepted profile holds 1 to 36000 finite
// samples, its angles sorted in [0, 2π) and exactly i·(2π/N) at equal
// steps, and the CSV table the writer makes of it reads back as the very
// same samples; one at equal steps can be written as .kyk.

#include "io/KykFile.h"
#include "io/ProfileWriter.h"
#include "io/TableReader.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

kyklos::TableOptions OptionsFrom(std::uint8_t choice)
{
    using namespace kyklos;
    static const char* const kColumns[] = {nullptr,  "angle,radius",   "angle,deviation", "x,y",
                                           "radius", "-,angle,radius", "radius,angle",    nullptr};
    TableOptions options;
    if (const char* columns = kColumns[choice & 7]) options.Columns = ParseTableColumns(columns);
    if (choice & 8) options.Direction = AngleDirection::Clockwise;
    if ((choice >> 4 & 3) == 1) options.AngleUnits = AngleUnit::Radian;
    if ((choice >> 4 & 3) == 2) options.AngleUnits = AngleUnit::Grad;
    if (choice & 64) options.LengthUnits = LengthUnit::Microinch;
    if (choice & 128) options.NominalRadiusMm = 10.0;
    return options;
}

constexpr std::size_t kMaxSamples = kyklos::kMaxKykPoints;

bool AllFinite(const std::vector<double>& values)
{
    for (const double value : values)
        if (!std::isfinite(value)) return false;
    return true;
}

void CheckProfile(const kyklos::Profile& profile)
{
    using namespace kyklos;
    if (profile.Kind == ProfileKind::Points) {
        if (profile.PointX.empty() || profile.PointX.size() > kMaxSamples) __builtin_trap();
        if (profile.PointX.size() != profile.PointY.size() || !AllFinite(profile.PointX) || !AllFinite(profile.PointY))
            __builtin_trap();
        return;
    }
    const std::size_t n = profile.RawRadius.size();
    if (n < 1 || n > kMaxSamples || profile.SampleAngle.size() != n || !AllFinite(profile.RawRadius)) __builtin_trap();
    if (profile.EqualSteps) {
        if (profile.SampleAngle != EqualStepAngles(static_cast<int>(n)) || !KykFileText(profile)) __builtin_trap();
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = profile.SampleAngle[i];
        if (!(angle >= 0.0 && angle < 2.0 * 3.141592653589793) || (i > 0 && !(profile.SampleAngle[i - 1] < angle)))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kyklos;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TableReadResult read = ReadTableText(bytes, OptionsFrom(size > 0 ? data[size - 1] : 0));
    if (read.Read.has_value() == !read.Message.empty()) __builtin_trap();
    if (read.Preview.FirstRows.size() > static_cast<std::size_t>(kPreviewRows)) __builtin_trap();
    if (!read.Read) return 0;
    const Profile& profile = *read.Read;
    CheckProfile(profile);

    const TableReadResult back = ReadTableText(ProfileTableText(profile), {});
    if (!back.Read) __builtin_trap();
    const Profile& again = *back.Read;
    if (again.Kind != profile.Kind || again.EqualSteps != profile.EqualSteps || again.RawRadius != profile.RawRadius ||
        again.SampleAngle != profile.SampleAngle || again.PointX != profile.PointX || again.PointY != profile.PointY)
        __builtin_trap();
    return 0;
}
