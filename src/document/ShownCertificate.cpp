#include "document/ShownCertificate.h"

#include "platform/NumberText.h"
#include "platform/Units.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kyklos {

namespace {

// A bound shown with three significant digits, rounded up so that the text
// never claims more than was proved.
std::string BoundText(double value)
{
    constexpr int kSignificant = 3;
    constexpr int kMostDecimals = 20;
    const int decimals =
        std::clamp(kSignificant - 1 - static_cast<int>(std::floor(std::log10(value))), 0, kMostDecimals);
    const double scale = std::pow(10.0, decimals);
    // A unit conversion's rounding above a bound that is round in the unit does not raise it a digit.
    constexpr double kConversionRounding = 1e-12;
    return FixedNumber(std::ceil(value * scale * (1.0 - kConversionRounding)) / scale, decimals);
}

} // namespace

std::string CertificateText(const Certificate& certificate, bool metric)
{
    if (certificate.Checked == CertificateLevel::None || !std::isfinite(certificate.GapMm)) return {};
    if (certificate.GapMm == 0.0) return "optimal (proved)";
    return "optimal within " + BoundText(ShownLength(certificate.GapMm, metric)) + " " +
           std::string(LengthUnitSymbol(metric));
}

std::string CertificateNote(const RoundnessEvaluation& evaluation, bool metric)
{
    // (text, the references that share it), in the table's order.
    std::vector<std::pair<std::string, std::string>> groups;
    for (const ReferenceKind kind : kReferenceKinds) {
        const ReferenceEvaluation& reference = evaluation.Reference(kind);
        if (!reference.FitValid) continue;
        std::string text = CertificateText(reference.Certificate, metric);
        if (text.empty()) continue;
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == text; });
        const std::string name(ReferenceAbbreviation(kind));
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
