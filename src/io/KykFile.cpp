#include "io/KykFile.h"

#include "io/ProfileScanner.h"
#include "io/RegularFile.h"
#include "platform/PathParts.h"
#include "platform/TextCompare.h"
#include "platform/Units.h"

#include <cmath>
#include <memory>
#include <optional>

namespace kyklos {

namespace {

KykReadResult Refused(const char* message, bool profileLost)
{
    KykReadResult result;
    result.Message = message;
    result.ProfileLost = profileLost;
    return result;
}

bool IsDesignator(const std::optional<std::string>& token, const char* designator)
{
    return token && EqualsIgnoreCase(*token, designator);
}

} // namespace

KykReadResult ReadKykFile(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularFile(path), &std::fclose);
    if (!file) return Refused("Cannot open the file.", false);
    ProfileScanner in(file.get());

    // A wrong magic word or revision is no profile file at all: the profile
    // shown before stays.
    if (!IsDesignator(in.ReadToken(), "KYKLOS_DATA")) return Refused("Invalid file format.", false);
    const auto revision = in.ReadToken();
    if (!revision || *revision != "1.0") return Refused("Invalid file revision.", false);

    Profile profile;
    if (!IsDesignator(in.ReadToken(), "IDENTIFICATION:")) return Refused("Invalid 'IDENTIFICATION:' designator.", true);
    profile.Identification = in.ReadTextLine().value_or(std::string());
    if (!IsDesignator(in.ReadToken(), "DATE:")) return Refused("Invalid 'DATE:' designator.", true);
    profile.DateText = in.ReadTextLine().value_or(std::string());

    if (!IsDesignator(in.ReadToken(), "NUMBER_OF_POINTS:"))
        return Refused("Invalid 'NUMBER_OF_POINTS:' designator.", true);
    bool atEnd = false;
    const auto count = in.ReadInteger(atEnd);
    if (!count || *count <= 0) return Refused("Invalid number of points.", true);
    // Refused before a single radius is stored.
    if (*count > kMaxKykPoints) return Refused("Too many points: at most 36000 are supported.", true);
    const int n = static_cast<int>(*count);

    if (!IsDesignator(in.ReadToken(), "PROFILE_UM:")) return Refused("Invalid 'PROFILE_UM:' designator.", true);
    profile.RawRadius.resize(static_cast<std::size_t>(n));
    profile.RadiusUm.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < profile.RawRadius.size(); ++i) {
        const auto value = in.ReadDouble(atEnd);
        if (atEnd) return Refused("Unexpected end of file.", true);
        if (!value || !std::isfinite(*value)) return Refused("Invalid profile value.", true);
        profile.RadiusUm[i] = *value;
        profile.RawRadius[i] = *value * kMillimetresPerMicrometre;
    }
    profile.SampleAngle = EqualStepAngles(n);
    profile.EqualSteps = true;
    profile.PathName = path;
    profile.FileTitle = SplitPath(path).name;
    profile.SourceFormat = "kyk";
    profile.SourceDescription = "Kyklos profile (.kyk): radius (\u00B5m) at equal steps";

    KykReadResult result;
    result.Read = std::move(profile);
    return result;
}

} // namespace kyklos
