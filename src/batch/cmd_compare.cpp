// compare [--report PATH]: "Comp", the chip tool's table against the work image.
#include <ostream>

#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunCompare(Context& ctx) {
    std::string report, error;
    if (!TakeOption(ctx.args, "--report", report, error) && !error.empty()) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    const CompareCommandResult r =
        CompareCommand(ctx.session, ctx.workspace, report.empty() ? std::filesystem::path() : ctx.Path(report));
    // The count is known whether or not the report could be written, but not
    // when the table was refused.
    if (r.status != CommandStatus::InputRefused) ctx.out << "differences: " << r.differences << "\n";
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"compare", "[--report PATH]", RunCompare});

}  // namespace
}  // namespace gc::batch
