// Stand-in for the document's settings command until the analysis of
// excluded sectors, filter kinds and spike removal lands: it refuses what
// the filter description itself refuses, then analyses with the new settings.
#include "document/KyklosDoc.h"

namespace kyklos {

bool CKyklosDoc::ChangeSettings(const AnalysisSettings& settings)
{
    if (const auto refusal = FilterSpecRefusal(settings.Filter())) return Fail(std::string(*refusal).c_str());
    Settings = settings;
    AnalyzeProfile();
    UpdateAllViews();
    return true;
}

} // namespace kyklos
