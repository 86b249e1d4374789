// workcmd [--tool]: "WriteCmdFile", the chip tool's command script in FILTERS/,
// and with --tool the tool run on it there.
#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunWorkcmd(Context& ctx) {
    const bool tool = TakeFlag(ctx.args, "--tool");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    const ChipToolRunner runner = BlockingToolRunner(ctx);
    return Report(ctx, WriteScriptCommand(ctx.session, ctx.workspace, tool ? &runner : nullptr));
}

const bool registered = RegisterCommand({"workcmd", "[--tool]", RunWorkcmd});

}  // namespace
}  // namespace gc::batch
