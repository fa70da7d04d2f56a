#pragma once
// The whole analysis of one profile with one set of settings, as a pure
// function: the document runs it on its profile, kyklos-report on each file,
// and the uncertainty simulation on every perturbed copy. The raw least
// squares limaçon taken out, the filter, the selected reference with its
// peak and valley, the runout, and the evaluation beside the page (the other
// references, the parameters, the verdict, the spectra).

#include "document/AnalysisResult.h"
#include "document/AnalysisSettings.h"
#include "io/Profile.h"
#include "platform/ProgressPort.h"

#include <string>

namespace kyklos {

enum class AnalysisStatus {
    Done,      // result holds the analysis and its evaluation
    NoProfile, // no samples, or no least squares limaçon to take out: nothing analysed
    Cancelled, // the user cancelled the filter: result holds no profile to show
    TooLarge,  // a result would overflow a unit shown: the profile must be refused
    Refused,   // the settings do not fit the profile (see the refusal text)
};

inline constexpr std::string_view kTooLargeMessage = "The profile cannot be evaluated: its values are too large.";

// Analyses `profile` with `settings` into `result` (Done), or says why not;
// `refusal` receives the user's message for Refused.
AnalysisStatus AnalyseProfile(const Profile& profile, const AnalysisSettings& settings, ProgressPort& progress,
                              AnalysisResult& result, std::string& refusal);

} // namespace kyklos
