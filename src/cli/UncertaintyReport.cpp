#include "cli/UncertaintyReport.h"

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <cmath>

namespace kyklos {

namespace {

nlohmann::ordered_json Number(double value)
{
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

double Millimetres(double micrometres) { return micrometres * kMillimetresPerMicrometre; }

nlohmann::ordered_json QuantityJson(const QuantityUncertainty& q)
{
    nlohmann::ordered_json j;
    j["Estimate"] = Number(q.Estimate);
    j["StandardUncertainty"] = Number(q.StandardUncertainty);
    j["Interval95"] = nlohmann::ordered_json::array({Number(q.IntervalLow), Number(q.IntervalHigh)});
    j["IntervalError"] = Number(q.IntervalError);
    j["Bias"] = Number(q.Bias);
    return j;
}

nlohmann::ordered_json ReferenceJson(const ReferenceUncertainty& reference)
{
    if (!reference.Valid) return nullptr;
    nlohmann::ordered_json j;
    for (const UncertainQuantity quantity : kUncertainQuantities)
        j[std::string(UncertainQuantityName(quantity))] = QuantityJson(reference[quantity]);
    if (reference.FailedDraws > 0) j["FailedDraws"] = reference.FailedDraws;
    return j;
}

// A value of --uncertainty: a number of 0 or more.
std::optional<double> ModelValue(std::string_view text)
{
    const std::optional<double> value = ParseNumber(text);
    if (!value || !std::isfinite(*value) || *value < 0.0) return std::nullopt;
    return value;
}

std::optional<double> SelectedRontUncertainty(const UncertaintyResult& u)
{
    const ReferenceUncertainty& selected = u.Reference(u.SelectedReference);
    if (!selected.Valid) return std::nullopt;
    return selected[UncertainQuantity::RONt].StandardUncertainty;
}

} // namespace

std::optional<UncertaintyModel> ParseUncertaintyModel(std::string_view text, bool metric, std::string& error)
{
    UncertaintyModel model;
    bool seen[4] = {};
    const std::string_view keys[4] = {"noise", "angle", "calibration", "resolution"};
    double* const fields[4] = {&model.ProbeNoiseUm, &model.AngularNoiseDeg, &model.CalibrationUm, &model.ResolutionUm};
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t equals = item.find('=');
        const std::string_view key = item.substr(0, equals);
        std::size_t k = 0;
        while (k < 4 && keys[k] != key) ++k;
        if (equals == std::string_view::npos || k == 4 || seen[k]) {
            error = "--uncertainty: '" + std::string(item) +
                    "' is not one of noise=, angle=, calibration=, resolution= given once.";
            return std::nullopt;
        }
        const std::optional<double> value = ModelValue(item.substr(equals + 1));
        if (!value) {
            error = "--uncertainty: " + std::string(key) + " must be a number of 0 or more.";
            return std::nullopt;
        }
        seen[k] = true;
        // Lengths as the run shows them; the angle in degrees in either unit.
        *fields[k] = k == 1 ? *value : ShownToMicrometres(*value, metric);
    }
    return model;
}

nlohmann::ordered_json UncertaintyJson(const UncertaintyResult& u)
{
    nlohmann::ordered_json j;
    j["Draws"] = u.Draws;
    j["Seed"] = u.Seed;
    j["Model"] = {{"Noise", Number(Millimetres(u.Model.ProbeNoiseUm))},
                  {"Angle", Number(u.Model.AngularNoiseDeg)},
                  {"Calibration", Number(Millimetres(u.Model.CalibrationUm))},
                  {"Resolution", Number(Millimetres(u.Model.ResolutionUm))}};
    nlohmann::ordered_json references;
    for (const ReferenceKind kind : kReferenceKinds)
        references[std::string(ReferenceName(kind))] = ReferenceJson(u.Reference(kind));
    j["References"] = references;
    j["ExpandedUncertainty"] = u.ExpandedUncertainty ? Number(*u.ExpandedUncertainty) : nullptr;
    j["Decision"] = u.Decision == ConformityDecision::None ? nlohmann::ordered_json(nullptr)
                                                           : nlohmann::ordered_json(DecisionText(u.Decision));
    return j;
}

std::string UncertaintyCsvHeader(bool metric)
{
    const std::string suffix = metric ? "_um" : "_uin";
    return ",u_ront" + suffix + ",expanded_u_ront" + suffix + ",decision";
}

std::string UncertaintyCsvCells(const ProfileRecord& record, bool metric)
{
    if (!record.Uncertainty) return ",,,";
    const UncertaintyResult& u = *record.Uncertainty;
    const auto cell = [metric](std::optional<double> mm) {
        return mm && std::isfinite(ShownLength(*mm, metric)) ? ShortestNumber(ShownLength(*mm, metric)) : std::string();
    };
    const std::string decision =
        u.Decision == ConformityDecision::None ? std::string() : std::string(DecisionText(u.Decision));
    return "," + cell(SelectedRontUncertainty(u)) + "," + cell(u.ExpandedUncertainty) + "," + decision;
}

std::string AppendCsvCells(std::string line, const std::string& cells)
{
    const std::size_t end = line.size() >= 2 && line.ends_with("\r\n") ? line.size() - 2 : line.size();
    line.insert(end, cells);
    return line;
}

std::string UncertaintyText(const UncertaintyResult& u, bool metric)
{
    const std::string unit(LengthUnitSymbol(metric));
    const std::string expanded =
        u.ExpandedUncertainty ? FixedNumberOrDash(ShownLength(*u.ExpandedUncertainty, metric), LengthDecimals(metric))
                              : std::string(DecisionText(ConformityDecision::None));
    std::string out = "U (k = 2):       " + std::string(12 - std::min<std::size_t>(12, expanded.size()), ' ') +
                      expanded + " " + unit + " (" + std::to_string(u.Draws) + " draws, RONt " +
                      std::string(ReferenceAbbreviation(u.SelectedReference)) + ")\n";
    if (u.Decision != ConformityDecision::None)
        out += "Decision:        " + std::string(DecisionText(u.Decision)) + " (ISO 14253-1, RONt \u00B1 U)\n";
    return out;
}

} // namespace kyklos
