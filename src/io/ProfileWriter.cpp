#include "io/ProfileWriter.h"

#include "io/KykFile.h"
#include "io/TableAngle.h"
#include "platform/NumberText.h"
#include "platform/PathParts.h"
#include "platform/TextCompare.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kyklos {

namespace {

// A text on one line: line ends become blanks, and at most `limit` bytes.
std::string OneLine(std::string text, std::size_t limit)
{
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    if (text.size() > limit) text.resize(limit);
    return text;
}

bool HasKykValues(const Profile& profile)
{
    if (profile.RadiusUm.size() != profile.RawRadius.size()) return false;
    for (std::size_t i = 0; i < profile.RawRadius.size(); ++i)
        if (profile.RadiusUm[i] * kMillimetresPerMicrometre != profile.RawRadius[i]) return false;
    return true;
}

} // namespace

double MicrometresToWrite(double radiusMm)
{
    const double nearest = radiusMm * kMicrometresPerMillimetre;
    // A value that reads back exactly, where there is one, lies within two ulps of the product.
    double below = nearest;
    double above = nearest;
    for (int step = 0; step <= 2; ++step) {
        if (below * kMillimetresPerMicrometre == radiusMm) return below;
        if (above * kMillimetresPerMicrometre == radiusMm) return above;
        below = std::nextafter(below, -HUGE_VAL);
        above = std::nextafter(above, HUGE_VAL);
    }
    return nearest;
}

std::optional<std::string> KykFileText(const Profile& profile)
{
    const std::size_t n = profile.RawRadius.size();
    if (profile.Kind != ProfileKind::Radial || !profile.EqualSteps || n < 1 ||
        n > static_cast<std::size_t>(kMaxKykPoints) || profile.SampleAngle.size() != n)
        return std::nullopt;
    // The reader keeps at most 253 bytes of a text line.
    std::string text = "KYKLOS_DATA 1.0\nIDENTIFICATION: " + OneLine(profile.Identification, 253) +
                       "\nDATE: " + OneLine(profile.DateText, 253) + "\nNUMBER_OF_POINTS: " + std::to_string(n) +
                       "\nPROFILE_UM:\n";
    const bool asRead = HasKykValues(profile);
    for (std::size_t i = 0; i < n; ++i) {
        text += ShortestNumber(asRead ? profile.RadiusUm[i] : MicrometresToWrite(profile.RawRadius[i]));
        text += (i % 8 == 7 || i + 1 == n) ? '\n' : ' ';
    }
    return text;
}

std::string ProfileTableText(const Profile& profile, std::span<const double> filteredRadius)
{
    std::string text;
    if (!profile.Identification.empty()) text += "identification: " + OneLine(profile.Identification, 4096) + "\n";
    if (!profile.DateText.empty()) text += "date: " + OneLine(profile.DateText, 4096) + "\n";
    if (profile.Kind == ProfileKind::Points) {
        text += "x_mm,y_mm\n";
        for (std::size_t i = 0; i < profile.PointX.size() && i < profile.PointY.size(); ++i)
            text += ShortestNumber(profile.PointX[i]) + "," + ShortestNumber(profile.PointY[i]) + "\n";
        return text;
    }
    const std::size_t n = std::min(profile.RawRadius.size(), profile.SampleAngle.size());
    const bool filtered = !filteredRadius.empty() && filteredRadius.size() == n;
    text += filtered ? "angle_deg,radius_mm,filtered_radius_mm\n" : "angle_deg,radius_mm\n";
    for (std::size_t i = 0; i < n; ++i) {
        // i·360/N lies within 1e-13° of the step, so it reads back as equal steps.
        text += profile.EqualSteps ? ShortestNumber(static_cast<double>(i) * 360.0 / static_cast<double>(n))
                                   : DegreesTextForRadians(profile.SampleAngle[i]);
        text += "," + ShortestNumber(profile.RawRadius[i]);
        if (filtered) text += "," + ShortestNumber(filteredRadius[i]);
        text += '\n';
    }
    return text;
}

std::string SaveProfile(const std::string& path, const Profile& profile, std::span<const double> filteredRadius)
{
    std::string text;
    if (EqualsIgnoreCase(SplitPath(path).extension, ".kyk")) {
        auto kyk = KykFileText(profile);
        if (!kyk) return std::string(kOnlyEqualStepsAsKyk);
        text = std::move(*kyk);
    } else {
        text = ProfileTableText(profile, filteredRadius);
    }
    // By way of PATH.part: a full disk or a killed program never leaves a
    // half-written profile under the name, nor spoils the file it replaces.
    const std::string part = path + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) return "Cannot write the file.";
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written || std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        return "Cannot write the file.";
    }
    return {};
}

} // namespace kyklos
