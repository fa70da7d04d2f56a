#pragma once
// Carries out a run plan: draws a logo metafile alone, or evaluates the
// demonstration profile and then the files on the plan's workers, all
// through one RecordStream. Qt is started only for a run that draws.

#include "cli/RunPlan.h"

namespace kyklos {

// The run's exit status. argc and argv start Qt's application object,
// which keeps them, so they must outlive the run.
int RunReport(const RunPlan& plan, int& argc, char** argv);

} // namespace kyklos
