#include "cli/ReportText.h"

#include "cli/PathBytes.h"
#include "cli/ProfileRecord.h"
#include "cli/UncertaintyReport.h"
#include "document/ShownResults.h"
#include "document/ShownVerdict.h"
#include "platform/NumberText.h"
#include "platform/PathParts.h"
#include "platform/TextEncoding.h"
#include "platform/Units.h"

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

// The file title as shown: taken from the shown path, because a title alone
// (a Latin-1 "café" ends in a byte that also starts a UTF-8 character) may be
// read differently from the whole path it is part of.
std::string DisplayFileTitle(const Profile& profile)
{
    if (profile.FileTitle.empty()) return {};
    if (profile.PathName.empty()) return DisplayText(profile.FileTitle);
    return SplitPath(DisplayText(profile.PathName)).name;
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

constexpr std::size_t kLargestHarmonicsShown = 5;

} // namespace

nlohmann::ordered_json EvaluationJson(const RoundnessEvaluation& e, int harmonicLimit)
{
    nlohmann::ordered_json j;
    auto references = nlohmann::ordered_json::object();
    for (const ReferenceKind kind : kReferenceKinds) {
        const ReferenceEvaluation& r = e.Reference(kind);
        nlohmann::ordered_json one;
        one["FitValid"] = r.FitValid;
        one["ReferenceA"] = Number(r.ReferenceA);
        one["ReferenceB"] = Number(r.ReferenceB);
        one["ReferenceC"] = Number(r.ReferenceC);
        one["RONt"] = Number(r.RONt);
        one["Eccentricity"] = Number(r.Eccentricity);
        one["EccentricityAngle"] = Number(r.EccentricityAngle);
        // The extremes about the reference and the circle's diameter exist only where it was found.
        const auto found = [&](double value) { return r.FitValid ? Number(value) : nlohmann::ordered_json(nullptr); };
        one["Peak"] = found(r.Peak);
        one["Valley"] = found(r.Valley);
        one["PeakAngle"] = found(r.PeakAngle);
        one["ValleyAngle"] = found(r.ValleyAngle);
        one["Diameter"] = found(2.0 * r.ReferenceC);
        // Examined for the inscribed and circumscribed circles only; the least
        // squares centre is always unique, the minimum zone's is not examined.
        const bool examined = kind == ReferenceKind::MaximumInscribed || kind == ReferenceKind::MinimumCircumscribed;
        if (kind == ReferenceKind::LeastSquares && r.RONt) {
            one["CentreUnique"] = true;
            one["RONtRange"] = {Number(*r.RONt), Number(*r.RONt)};
        } else if (examined && r.RONtRange) {
            one["CentreUnique"] = r.CentreUnique;
            one["RONtRange"] = {Number(r.RONtRange->first), Number(r.RONtRange->second)};
        } else {
            one["CentreUnique"] = nullptr;
            one["RONtRange"] = nullptr;
        }
        references[std::string(ReferenceName(kind))] = std::move(one);
    }
    j["References"] = std::move(references);
    // About the least squares circle only when it was found.
    const bool parameters = e.Reference(ReferenceKind::LeastSquares).FitValid;
    j["RONp"] = parameters ? Number(e.RONp) : nlohmann::ordered_json(nullptr);
    j["RONv"] = parameters ? Number(e.RONv) : nlohmann::ordered_json(nullptr);
    j["RONq"] = parameters ? Number(e.RONq) : nlohmann::ordered_json(nullptr);
    j["Tolerance"] =
        e.Tolerance ? Number(e.Tolerance->Micrometres() / kMicrometresPerMillimetre) : nlohmann::ordered_json(nullptr);
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
        one["Transmission"] = Number(h.Transmission);
        one["FilteredPhase"] = Number(h.FilteredPhase);
        one["FirstPeakAngle"] = Number(h.FirstPeakAngle);
        harmonics.push_back(std::move(one));
    }
    j["Harmonics"] = std::move(harmonics);
    return j;
}

nlohmann::ordered_json DocumentJson(const CKyklosDoc& doc, bool withSamples, int harmonicLimit)
{
    const Profile& p = doc.Profile;
    const AnalysisResult& r = doc.Result;
    const ShownResults shown = ShowResults(r);
    nlohmann::ordered_json j;
    j["ok"] = true;
    j["PathName"] = DisplayText(p.PathName);
    j["PathBytes"] = EscapedPathBytes(p.PathName);
    j["FileTitle"] = DisplayFileTitle(p);
    j["Identification"] = DisplayText(p.Identification);
    j["DateText"] = DisplayText(p.DateText);
    j["SourceFormat"] = RecordSourceFormat(p);
    j["Columns"] = p.Columns;
    j["PointCount"] = p.PointCount();
    j["DataLoaded"] = doc.DataLoaded;
    j["AnalysisValid"] = doc.AnalysisValid;
    j["FitValid"] = r.FitValid;
    j["ReferenceKind"] = ReferenceIndex(doc.Settings.ReferenceKind);
    j["FilterCutoffUpr"] = doc.Settings.FilterCutoffUpr;
    j["MinRawRadius"] = Number(r.MinRawRadius);
    j["MaxRawRadius"] = Number(r.MaxRawRadius);
    j["NominalRadius"] = Number(r.NominalRadius);
    j["ReferenceA"] = Number(r.ReferenceA);
    j["ReferenceB"] = Number(r.ReferenceB);
    j["ReferenceC"] = Number(r.ReferenceC);
    j["ZoneHalfWidth"] = Number(r.ZoneHalfWidth);
    j["Peak"] = Number(r.Peak);
    j["PeakAngle"] = Number(r.PeakAngle);
    j["Valley"] = Number(r.Valley);
    j["ValleyAngle"] = Number(r.ValleyAngle);
    j["Runout"] = Number(r.Runout);
    j["Eccentricity"] = Number(r.Eccentricity);
    j["EccentricityAngle"] = Number(r.EccentricityAngle);
    j["Roundness"] = Number(shown.RoundnessMm);
    j["Concentricity"] = Number(shown.ConcentricityMm);
    if (doc.AnalysisValid && r.Evaluation.Valid) j["Evaluation"] = EvaluationJson(r.Evaluation, harmonicLimit);
    if (withSamples && doc.DataLoaded) {
        auto raw = nlohmann::ordered_json::array();
        auto filtered = nlohmann::ordered_json::array();
        for (const double v : p.RawRadius) raw.push_back(Number(v));
        for (const double v : r.FilteredRadius) filtered.push_back(Number(v));
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
    j["PathBytes"] = EscapedPathBytes(path);
    j["message"] = DisplayText(message);
    return j;
}

std::string JsonText(const nlohmann::ordered_json& j, int indent)
{
    // The texts were made valid above; the handler is the last line of
    // defence, so that no byte can turn a result into an abort.
    return j.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string ResultsText(const CKyklosDoc& doc, bool metric, const UncertaintyResult* uncertainty)
{
    std::string out;
    if (!doc.DataLoaded) return "No profile loaded.\n";
    const Profile& p = doc.Profile;
    if (!p.FileTitle.empty()) out += "File:            " + DisplayFileTitle(p) + "\n";
    out += "Identification:  " + DisplayText(p.Identification) + "\n";
    out += "Date:            " + DisplayText(p.DateText) + "\n";
    if (!doc.AnalysisValid) return out + "No analysis results.\n";
    out += FilterHeading(doc.Settings.Filter()) + "\n";
    out += ReferenceLabel(doc.Settings.ReferenceKind);
    const ShownResults shown = ShowResults(doc.Result);
    out += shown.AboutMeasurementAxis ? " (fit failed: results about the measurement axis)\n" : "\n";

    const std::string unit(LengthUnitSymbol(metric));
    const int decimals = LengthDecimals(metric);
    // Label, the number right-aligned in twelve columns, unit; a longer
    // number widens its own row and never runs into the next.
    auto row = [&](const std::string& label, std::optional<double> value, int places, const std::string& rowUnit) {
        out += PadRight(label, 15) + " " + PadLeft(value ? FixedNumber(*value, places) : std::string(), 12) + " " +
               rowUnit + "\n";
    };
    row("Roundness:", ShownLength(shown.RoundnessMm, metric), decimals, unit);
    row("Eccentricity:", ShownLength(shown.EccentricityMm, metric), decimals, unit);
    row("Ecc. Angle:", shown.EccentricityAngleDeg, 2, "deg");
    row("Concentricity:", ShownLength(shown.ConcentricityMm, metric), decimals, unit);
    row("Runout:", ShownLength(shown.RunoutMm, metric), decimals, unit);
    const RoundnessEvaluation& e = doc.Result.Evaluation;
    if (!e.Valid) return out;

    // A length in millimetres, or "—" where there is none (a failed fit) or
    // the value is not a number.
    auto length = [&](const std::string& label, std::optional<double> mm) {
        const bool shown = mm && std::isfinite(ShownLength(*mm, metric));
        out += PadRight(label, 15) + " " +
               PadLeft(shown ? FixedNumber(ShownLength(*mm, metric), decimals) : std::string(kNoValueText), 12) + " " +
               unit + "\n";
    };
    auto words = [&](const char* label, std::string_view text) {
        out += PadRight(label, 17) + std::string(text) + "\n";
    };
    // RONt with at least the tolerance's decimals, so that no row contradicts the verdict.
    for (const ReferenceKind kind : kReferenceKinds)
        out += PadRight("RONt " + std::string(ReferenceAbbreviation(kind)) + ":", 15) + " " +
               PadLeft(RoundnessText(e, kind, metric), 12) + " " + unit + CentreNote(e, kind, metric) + "\n";
    const bool parameters = e.Reference(ReferenceKind::LeastSquares).FitValid;
    length("RONp:", parameters ? std::optional<double>(e.RONp) : std::nullopt);
    length("RONv:", parameters ? std::optional<double>(e.RONv) : std::nullopt);
    length("RONq:", parameters ? std::optional<double>(e.RONq) : std::nullopt);
    if (e.Tolerance) {
        out += PadRight("Tolerance:", 15) + " " + PadLeft(ToleranceText(*e.Tolerance, metric), 12) + " " + unit + "\n";
        words("Verdict:", VerdictLine(e));
    }
    if (uncertainty) out += UncertaintyText(*uncertainty, metric);
    // The largest undulations of the filtered profile RONt is evaluated on, the raw amplitude beside.
    const std::vector<HarmonicComponent> largest = LargestHarmonics(e, kLargestHarmonicsShown);
    if (!largest.empty()) words("Harmonics:", "\u00BD peak-to-valley, filtered (raw)");
    for (const HarmonicComponent& h : largest)
        out += PadRight("Harmonic " + std::to_string(h.Upr) + ":", 15) + " " +
               PadLeft(FixedNumber(ShownLength(h.FilteredAmplitude, metric), decimals), 12) + " " + unit + " (raw " +
               FixedNumber(ShownLength(h.Amplitude, metric), decimals) + " " + unit + ")\n";
    for (const std::string& warning : e.Warnings) words("Warning:", warning);
    return out;
}

std::string FailureText(const std::string& path, const std::string& message)
{
    return "File:            " + DisplayText(path) + "\nError:           " + DisplayText(message) + "\n";
}

} // namespace kyklos
