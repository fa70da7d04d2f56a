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

std::string_view SideName(bool outer) { return outer ? "outer" : "inner"; }

// [{"Index", "Angle" (radians), "Side"}], in the order the fit keeps them.
template <typename Contact, typename Side>
nlohmann::ordered_json ContactsJson(const std::vector<Contact>& contacts, Side outer)
{
    auto list = nlohmann::ordered_json::array();
    for (const Contact& c : contacts) {
        nlohmann::ordered_json one;
        one["Index"] = c.Index;
        one["Angle"] = Number(c.Angle);
        one["Side"] = SideName(c.Side == outer);
        list.push_back(std::move(one));
    }
    return list;
}

std::string_view CheckedName(CertificateLevel level)
{
    switch (level) {
    case CertificateLevel::Exact: return "exact";
    case CertificateLevel::Local: return "local";
    case CertificateLevel::None: break;
    }
    return "none";
}

// {"Checked", "Violation", "Gap" (mm; null when nothing bounds them), "Optimal"}.
nlohmann::ordered_json CertificateJson(const Certificate& certificate)
{
    nlohmann::ordered_json j;
    j["Checked"] = CheckedName(certificate.Checked);
    j["Violation"] = Number(certificate.ViolationMm);
    j["Gap"] = Number(certificate.GapMm);
    j["Optimal"] = certificate.Optimal;
    return j;
}

// A true circle in the input's coordinates, mm: one radius, or the zone's
// two; null for a circle without a valid result.
nlohmann::ordered_json CircleJson(const TrueCircle* circle, bool zone)
{
    if (!circle || !circle->Valid) return nullptr;
    nlohmann::ordered_json j;
    j["CentreX"] = Number(circle->CentreX);
    j["CentreY"] = Number(circle->CentreY);
    if (zone) {
        j["InnerRadius"] = Number(circle->InnerRadius);
        j["OuterRadius"] = Number(circle->OuterRadius);
    } else {
        j["Radius"] = Number(circle->Radius);
    }
    j["RONt"] = Number(circle->RONt);
    j["Contacts"] = ContactsJson(circle->Contacts, CircleSide::Outer);
    j["Certificate"] = CertificateJson(circle->Certificate);
    return j;
}

nlohmann::ordered_json CirclesJson(const TrueCircles& circles)
{
    const auto held = [](const std::optional<TrueCircle>& c) { return c ? &*c : nullptr; };
    nlohmann::ordered_json j;
    j["LeastSquares"] = CircleJson(&circles.LeastSquares, false);
    j["MinimumZone"] = CircleJson(&circles.MinimumZone, true);
    j["MaximumInscribed"] = CircleJson(held(circles.MaximumInscribed), false);
    j["MinimumCircumscribed"] = CircleJson(held(circles.MinimumCircumscribed), false);
    return j;
}

// The filter the profile passed, its band, the spikes, the samples used and
// the coverage; the true circles when the analysis fitted them.
void AddAnalysisFacts(nlohmann::ordered_json& j, const AnalysisResult& r)
{
    const FilterSpec& filter = r.FilterApplied;
    j["Filter"] = FilterName(filter.Kind);
    j["Band"] = filter.Kind == FilterKind::Band ? nlohmann::ordered_json{filter.BandLowUpr, filter.BandHighUpr}
                                                : nlohmann::ordered_json(nullptr);
    j["SpikesRemoved"] = r.RemovedSpikes.size();
    j["LargestGap"] = Number(LargestGapDegrees(r));
    j["Coverage"] = Number(CoverageDegrees(r));
    j["SamplesUsed"] = r.Samples.UsedCount();
    j["SamplesExcluded"] = r.SamplesExcluded;
    if (r.Circles) j["Circles"] = CirclesJson(*r.Circles);
}

// "True LSCI:" … the true circles' RONt in the rows' layout; "—" for a circle without a valid result.
std::string TrueCirclesText(const TrueCircles& circles, bool metric)
{
    const auto held = [](const std::optional<TrueCircle>& c) { return c ? &*c : nullptr; };
    const std::pair<ReferenceKind, const TrueCircle*> rows[] = {
        {ReferenceKind::LeastSquares, &circles.LeastSquares},
        {ReferenceKind::MinimumZone, &circles.MinimumZone},
        {ReferenceKind::MaximumInscribed, held(circles.MaximumInscribed)},
        {ReferenceKind::MinimumCircumscribed, held(circles.MinimumCircumscribed)}};
    std::string out;
    for (const auto& [kind, circle] : rows) {
        const bool shown = circle && circle->Valid && std::isfinite(ShownLength(circle->RONt, metric));
        out += PadRight("True " + std::string(ReferenceAbbreviation(kind)) + ":", 15) + " " +
               PadLeft(shown ? FixedNumber(ShownLength(circle->RONt, metric), LengthDecimals(metric))
                             : std::string(kNoValueText),
                       12) +
               " " + std::string(LengthUnitSymbol(metric)) + "\n";
    }
    return out;
}

// One line for each way the analysis departs from a full turn at equal
// steps with nothing left out, so that a default run's block stays as it was.
std::string AnalysisFactsText(const CKyklosDoc& doc, bool metric)
{
    const AnalysisResult& r = doc.Result;
    const auto line = [](const char* label, const std::string& text) { return PadRight(label, 17) + text + "\n"; };
    std::string out;
    if (!doc.Settings.ExcludedSectors.empty()) {
        std::string sectors;
        for (const ExcludedSector& sector : doc.Settings.ExcludedSectors)
            sectors += (sectors.empty() ? "" : ", ") + ExcludedSectorText(sector);
        out += line("Excluded:", sectors + " deg");
    }
    if (doc.Settings.SpikeDeviations)
        out += line("Spikes removed:", std::to_string(r.RemovedSpikes.size()) + " (beyond " +
                                           ShortestNumber(*doc.Settings.SpikeDeviations) + " \u03C3)");
    if (r.SamplesExcluded > 0)
        out +=
            line("Samples used:", std::to_string(r.Samples.UsedCount()) + " of " + std::to_string(r.Samples.Count()));
    if (r.Samples.Count() > 0 && !r.Samples.IsEqualStepFullTurn())
        out += line("Coverage:", FixedNumber(CoverageDegrees(r), 1) + " deg (largest gap " +
                                     FixedNumber(LargestGapDegrees(r), 1) + " deg)");
    if (r.Circles) out += TrueCirclesText(*r.Circles, metric);
    return out;
}

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
        one["Contacts"] = ContactsJson(r.Contacts, ReferenceSide::Outer);
        one["Certificate"] = CertificateJson(r.Certificate);
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
    j["FilterCutoffUpr"] = UpperCutoffUpr(doc.Settings.Filter());
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
    if (doc.AnalysisValid) AddAnalysisFacts(j, r);
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
    out += FilterHeading(doc.Result.FilterApplied) + "\n";
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
    out += AnalysisFactsText(doc, metric);
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
