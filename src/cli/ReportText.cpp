#include "cli/ReportText.h"

#include "cli/NumberText.h"
#include "platform/PathParts.h"
#include "platform/TextEncoding.h"

#include <cmath>

namespace kyklos {

namespace {
// JSON has no infinity or NaN: such a value is written as null.
nlohmann::ordered_json Number(double value)
{
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

const char* ReferenceLabel(int kind)
{
    switch (kind) {
    case MaximumInscribed: return "Reference: Maximum Inscribed Circle";
    case MinimumCircumscribed: return "Reference: Minimum Circumscribed Circle";
    case MinimumZone: return "Reference: Minimum Zone Center";
    default: return "Reference: Least Squares Circle";
    }
}

// The file title as shown: taken from the shown path, because a title alone
// (a Latin-1 "café" ends in a byte that also starts a UTF-8 character) may be
// read differently from the whole path it is part of.
std::string DisplayFileTitle(const CKyklosDoc& doc)
{
    if (doc.FileTitle.empty()) return {};
    if (doc.PathName.empty()) return DisplayText(doc.FileTitle);
    return SplitPath(DisplayText(doc.PathName)).name;
}

std::string PadRight(std::string text, std::size_t width)
{
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string PadLeft(std::string text, std::size_t width)
{
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}
} // namespace

nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples)
{
    nlohmann::ordered_json j;
    j["ok"] = true;
    j["PathName"] = DisplayText(doc.PathName);
    j["FileTitle"] = DisplayFileTitle(doc);
    j["Identification"] = DisplayText(doc.Identification);
    j["DateText"] = DisplayText(doc.DateText);
    j["PointCount"] = doc.PointCount;
    j["DataLoaded"] = doc.DataLoaded;
    j["AnalysisValid"] = doc.AnalysisValid;
    j["FitValid"] = doc.FitValid;
    j["ReferenceKind"] = doc.ReferenceKind;
    j["FilterCutoffUpr"] = doc.FilterCutoffUpr;
    j["MinRawRadius"] = Number(doc.MinRawRadius);
    j["MaxRawRadius"] = Number(doc.MaxRawRadius);
    j["NominalRadius"] = Number(doc.NominalRadius);
    j["ReferenceA"] = Number(doc.ReferenceA);
    j["ReferenceB"] = Number(doc.ReferenceB);
    j["ReferenceC"] = Number(doc.ReferenceC);
    j["ZoneHalfWidth"] = Number(doc.ZoneHalfWidth);
    j["Peak"] = Number(doc.Peak);
    j["PeakAngle"] = Number(doc.PeakAngle);
    j["Valley"] = Number(doc.Valley);
    j["ValleyAngle"] = Number(doc.ValleyAngle);
    j["Runout"] = Number(doc.Runout);
    j["Eccentricity"] = Number(doc.Eccentricity);
    j["EccentricityAngle"] = Number(doc.EccentricityAngle);
    j["Roundness"] = Number(doc.Peak - doc.Valley);
    j["Concentricity"] = Number(2.0 * doc.Eccentricity);
    if (withSamples && doc.DataLoaded) {
        const auto n = static_cast<std::size_t>(doc.PointCount);
        auto raw = nlohmann::ordered_json::array();
        auto filtered = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < n; ++i) {
            raw.push_back(Number(doc.RawRadius[i]));
            filtered.push_back(Number(doc.FilteredRadius[i]));
        }
        j["RawRadius"] = std::move(raw);
        j["FilteredRadius"] = std::move(filtered);
    }
    return j;
}

nlohmann::ordered_json FailureJson(const std::string& path, const std::string& message)
{
    nlohmann::ordered_json j;
    j["ok"] = false;
    j["PathName"] = DisplayText(path);
    j["message"] = DisplayText(message);
    return j;
}

std::string JsonText(const nlohmann::ordered_json& j, int indent)
{
    // The texts were made valid above; the handler is the last line of
    // defence, so that no byte can turn a result into an abort.
    return j.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string ResultsText(const CKyklosDoc& doc, bool metric)
{
    std::string out;
    if (!doc.DataLoaded) return "No profile loaded.\n";
    if (!doc.FileTitle.empty()) out += "File:            " + DisplayFileTitle(doc) + "\n";
    out += "Identification:  " + DisplayText(doc.Identification) + "\n";
    out += "Date:            " + DisplayText(doc.DateText) + "\n";
    if (!doc.AnalysisValid) return out + "No analysis results.\n";
    out += "Gaussian (50%) Filtering:  " + std::to_string(doc.FilterCutoffUpr) + " UPR\n";
    out += ReferenceLabel(doc.ReferenceKind);
    out += doc.FitValid ? "\n" : " (fit failed: results about the origin)\n";

    const char* unit = metric ? "µm" : "µin";
    const int decimals = metric ? 3 : 2;
    const double k = metric ? 1.0 : 39.37007874015748;
    // Label, the number right-aligned in twelve columns, unit; a longer
    // number widens its own row and never runs into the next.
    auto row = [&](const char* label, double value, int places, const char* rowUnit, bool show) {
        out += PadRight(label, 15) + " " + PadLeft(show ? FixedNumber(value, places) : std::string(), 12) + " " +
               rowUnit + "\n";
    };
    row("Roundness:", (doc.Peak - doc.Valley) * 1000.0 * k, decimals, unit, true);
    row("Eccentricity:", doc.Eccentricity * 1000.0 * k, decimals, unit, true);
    row("Ecc. Angle:", doc.EccentricityAngle, 2, "deg", doc.Eccentricity >= 1e-7);
    row("Concentricity:", doc.Eccentricity * 2000.0 * k, decimals, unit, true);
    row("Runout:", doc.Runout * 1000.0 * k, decimals, unit, true);
    return out;
}

std::string FailureText(const std::string& path, const std::string& message)
{
    return "File:            " + DisplayText(path) + "\nError:           " + DisplayText(message) + "\n";
}

} // namespace kyklos
