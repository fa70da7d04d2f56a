#pragma once
// The polar graph's scale as the user sets it: micrometres or microinches per
// division. The graph's band spans two divisions and is kept in micrometres.

#include "platform/Units.h"

#include <string>

namespace kyklos {

// The scales a user may set, in micrometres per division: beyond them the
// doubled band range or the pixels per micrometre stop being finite.
inline constexpr double kMinScaleMicrometres = 1e-6;
inline constexpr double kMaxScaleMicrometres = 1e6;
// The same bounds in microinches per division, rounded inward to numbers a
// user can read and type (3.937…e-5 and 39370078.74…).
inline constexpr double kMinScaleMicroinches = 0.00004;
inline constexpr double kMaxScaleMicroinches = 39370078.0;
static_assert(kMinScaleMicroinches * kMicrometresPerMicroinch >= kMinScaleMicrometres);
static_assert(kMaxScaleMicroinches * kMicrometresPerMicroinch <= kMaxScaleMicrometres);

constexpr double LowestScale(bool metric) { return metric ? kMinScaleMicrometres : kMinScaleMicroinches; }

constexpr double HighestScale(bool metric) { return metric ? kMaxScaleMicrometres : kMaxScaleMicroinches; }

// The band (µm, two divisions) of a scale per division in the shown unit.
constexpr double BandRangeOfScale(double perDivision, bool metric)
{
    return metric ? perDivision * 2.0 : perDivision * 2.0 * kMicrometresPerMicroinch;
}

// Why a scale per division is refused, in the Scaling dialog's words
// ("Please enter a positive number.", "Please enter a value between 0.000001
// and 1000000."), or empty when it is accepted. NaN is no positive number.
std::string ScaleRefusal(double perDivision, bool metric);

// A bound as the refusal writes it: a plain decimal with the fewest digits
// that read back as the same number, so a bound typed from the message is accepted.
std::string ScaleBoundText(double bound);

} // namespace kyklos
