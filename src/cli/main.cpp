// kyklos-report: the headless front end. Evaluates .kyk profiles (or the
// demonstration profile) with the chosen reference and cutoff, any number of
// them on every core, and prints the results as text, JSON, JSON Lines or CSV,
// or writes the report pages to PNG, PDF or SVG.

#include "cli/Options.h"
#include "cli/RecordStream.h"
#include "cli/ReportRun.h"
#include "cli/RunPlan.h"

#include <iostream>
#include <optional>
#include <variant>

int main(int argc, char** argv)
{
    using namespace kyklos;
    Options options;
    if (const std::optional<int> status = ParseOptions(argc, argv, options, std::cout, std::cerr)) return *status;
    auto planned = PlanRun(options, std::cin);
    if (const Refusal* refusal = std::get_if<Refusal>(&planned)) {
        WriteRunFailure(refusal->Format, refusal->Message);
        return refusal->ExitStatus;
    }
    return RunReport(std::get<RunPlan>(planned), argc, argv);
}
