#include "document/ShownCertificate.h"

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kyklos {

namespace {

constexpr int kSignificant = 3;
// A unit conversion's rounding above a bound that is round in the unit does not raise it a digit.
constexpr double kConversionRounding = 1e-12;
// Below this a bound is written with its exponent: a rounding gap of 1e-15 mm
// would otherwise take a dozen zeros.
constexpr double kSmallestFixed = 1e-4;

// A positive, finite bound with three significant digits, rounded up so
// that the text never claims more than was proved.
std::string BoundText(double value)
{
    int exponent = static_cast<int>(std::floor(std::log10(value)));
    // The three digits as a whole number, 100 … 1000.
    double digits = std::ceil(value / std::pow(10.0, exponent - (kSignificant - 1)) * (1.0 - kConversionRounding));
    if (digits >= 1000.0) {
        digits /= 10.0;
        ++exponent;
    }
    if (value >= kSmallestFixed) {
        const int decimals = std::max(0, kSignificant - 1 - exponent);
        return FixedNumber(digits * std::pow(10.0, exponent - (kSignificant - 1)), decimals);
    }
    return FixedNumber(digits / 100.0, kSignificant - 1) + "e" + std::to_string(exponent);
}

// The gaps of the shown references that were checked, in the table's order.
std::vector<std::pair<ReferenceKind, Certificate>> ShownCertificates(const RoundnessEvaluation& evaluation)
{
    std::vector<std::pair<ReferenceKind, Certificate>> shown;
    for (const ReferenceKind kind : kReferenceKinds) {
        const ReferenceEvaluation& reference = evaluation.Reference(kind);
        if (reference.FitValid && reference.Certificate.Checked != CertificateLevel::None &&
            std::isfinite(reference.Certificate.GapMm))
            shown.emplace_back(kind, reference.Certificate);
    }
    return shown;
}

} // namespace

std::string CertificateText(const Certificate& certificate, bool metric)
{
    if (certificate.Checked == CertificateLevel::None || !std::isfinite(certificate.GapMm)) return {};
    if (certificate.GapMm == 0.0) return "optimal (proved)";
    return "optimal within " + BoundText(ShownLength(certificate.GapMm, metric)) + " " +
           std::string(LengthUnitSymbol(metric));
}

std::string CertificateNote(const RoundnessEvaluation& evaluation, bool metric, bool together)
{
    auto shown = ShownCertificates(evaluation);
    if (together && !shown.empty()) {
        const auto largest = std::max_element(
            shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.second.GapMm < b.second.GapMm; });
        for (auto& one : shown) one.second = largest->second;
    }
    // (text, the references that share it).
    std::vector<std::pair<std::string, std::string>> groups;
    for (const auto& [kind, certificate] : shown) {
        std::string text = CertificateText(certificate, metric);
        const std::string name(ReferenceAbbreviation(kind));
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == text; });
        if (same == groups.end())
            groups.emplace_back(std::move(text), name);
        else
            same->second += ", " + name;
    }
    std::string note;
    for (const auto& [text, names] : groups) note += (note.empty() ? "" : "; ") + names + ": " + text;
    return note;
}

} // namespace kyklos
