#include "cli/ReportText.h"

#include "cli/NumberText.h"
#include "cli/ProfileRecord.h"
#include "platform/PathParts.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// Characters of a UTF-8 text, so that "—" and "µ" take one column each.
std::size_t Columns(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width)
{
    const std::size_t used = Columns(text);
    if (used < width) text.append(width - used, ' ');
    return text;
}

std::string PadLeft(std::string text, std::size_t width)
{
    const std::size_t used = Columns(text);
    if (used < width) text.insert(0, width - used, ' ');
    return text;
}

// The JSON number of a value that may be missing.
nlohmann::ordered_json Number(std::optional<double> value)
{
    return value ? Number(*value) : nlohmann::ordered_json(nullptr);
}

// The ISO 12181-2 abbreviations of the reference circles, by ReferenceKindValue.
constexpr const char* kReferenceAbbreviations[] = {"LSCI", "MZCI", "MICI", "MCCI"};

constexpr std::size_t kLargestHarmonicsShown = 5;

} // namespace

nlohmann::ordered_json EvaluationJson(const RoundnessEvaluation& e, int harmonicLimit)
{
    nlohmann::ordered_json j;
    auto references = nlohmann::ordered_json::object();
    for (int kind = LeastSquares; kind <= MinimumCircumscribed; ++kind) {
        const ReferenceEvaluation& r = e.References[static_cast<std::size_t>(kind)];
        nlohmann::ordered_json one;
        one["FitValid"] = r.FitValid;
        one["ReferenceA"] = Number(r.ReferenceA);
        one["ReferenceB"] = Number(r.ReferenceB);
        one["ReferenceC"] = Number(r.ReferenceC);
        one["RONt"] = Number(r.RONt);
        one["Eccentricity"] = Number(r.Eccentricity);
        one["EccentricityAngle"] = Number(r.EccentricityAngle);
        references[std::string(ReferenceName(kind))] = std::move(one);
    }
    j["References"] = std::move(references);
    // About the least squares circle only when it was found.
    const bool parameters = e.References[LeastSquares].FitValid;
    j["RONp"] = parameters ? Number(e.RONp) : nlohmann::ordered_json(nullptr);
    j["RONv"] = parameters ? Number(e.RONv) : nlohmann::ordered_json(nullptr);
    j["RONq"] = parameters ? Number(e.RONq) : nlohmann::ordered_json(nullptr);
    j["Tolerance"] = e.ToleranceUm ? Number(*e.ToleranceUm / 1000.0) : nlohmann::ordered_json(nullptr);
    j["Verdict"] = e.Verdict == ToleranceVerdict::None ? nlohmann::ordered_json(nullptr)
                                                       : nlohmann::ordered_json(std::string(VerdictText(e.Verdict)));
    auto warnings = nlohmann::ordered_json::array();
    for (const std::string& warning : e.Warnings) warnings.push_back(warning);
    j["Warnings"] = std::move(warnings);
    std::size_t count = e.Harmonics.size();
    if (harmonicLimit >= 0) count = std::min(count, static_cast<std::size_t>(harmonicLimit));
    auto harmonics = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < count; ++i) {
        const HarmonicComponent& h = e.Harmonics[i];
        nlohmann::ordered_json one;
        one["Upr"] = h.Upr;
        one["Amplitude"] = Number(h.Amplitude);
        one["Phase"] = Number(h.Phase);
        one["FilteredAmplitude"] = Number(h.FilteredAmplitude);
        harmonics.push_back(std::move(one));
    }
    j["Harmonics"] = std::move(harmonics);
    return j;
}

nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples, const RoundnessEvaluation* evaluation,
                                    int harmonicLimit)
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
    if (evaluation && evaluation->Valid) j["Evaluation"] = EvaluationJson(*evaluation, harmonicLimit);
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

std::string ResultsText(const CKyklosDoc& doc, bool metric, const RoundnessEvaluation* evaluation)
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
    auto row = [&](const std::string& label, double value, int places, const char* rowUnit, bool show) {
        out += PadRight(label, 15) + " " + PadLeft(show ? FixedNumber(value, places) : std::string(), 12) + " " +
               rowUnit + "\n";
    };
    row("Roundness:", (doc.Peak - doc.Valley) * 1000.0 * k, decimals, unit, true);
    row("Eccentricity:", doc.Eccentricity * 1000.0 * k, decimals, unit, true);
    row("Ecc. Angle:", doc.EccentricityAngle, 2, "deg", doc.Eccentricity >= 1e-7);
    row("Concentricity:", doc.Eccentricity * 2000.0 * k, decimals, unit, true);
    row("Runout:", doc.Runout * 1000.0 * k, decimals, unit, true);
    if (!evaluation || !evaluation->Valid) return out;

    // A length in millimetres, or "—" where there is none (a failed fit) or
    // the value is not a number.
    auto length = [&](const std::string& label, std::optional<double> mm) {
        const bool shown = mm && std::isfinite(*mm * 1000.0 * k);
        out += PadRight(label, 15) + " " + PadLeft(shown ? FixedNumber(*mm * 1000.0 * k, decimals) : "\u2014", 12) +
               " " + unit + "\n";
    };
    auto words = [&](const char* label, std::string_view text) {
        out += PadRight(label, 17) + std::string(text) + "\n";
    };
    const RoundnessEvaluation& e = *evaluation;
    for (int kind = LeastSquares; kind <= MinimumCircumscribed; ++kind)
        length(std::string("RONt ") + kReferenceAbbreviations[kind] + ":", e.References[static_cast<std::size_t>(kind)].RONt);
    const bool parameters = e.References[LeastSquares].FitValid;
    length("RONp:", parameters ? std::optional<double>(e.RONp) : std::nullopt);
    length("RONv:", parameters ? std::optional<double>(e.RONv) : std::nullopt);
    length("RONq:", parameters ? std::optional<double>(e.RONq) : std::nullopt);
    if (e.ToleranceUm) {
        length("Tolerance:", *e.ToleranceUm / 1000.0);
        words("Verdict:", VerdictText(e.Verdict));
    }
    for (const HarmonicComponent& h : LargestHarmonics(e, kLargestHarmonicsShown))
        length("Harmonic " + std::to_string(h.Upr) + ":", h.Amplitude);
    for (const std::string& warning : e.Warnings) words("Warning:", warning);
    return out;
}

std::string FailureText(const std::string& path, const std::string& message)
{
    return "File:            " + DisplayText(path) + "\nError:           " + DisplayText(message) + "\n";
}

} // namespace kyklos
