// lab [--out PATH]: what closing the main window does.
#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunLab(Context& ctx) {
    std::string out, error;
    if (!TakeOption(ctx.args, "--out", out, error) && !error.empty()) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    return Report(ctx, CloseConfiguration(ctx.session, ctx.workspace,
                                          CloseRequest(out.empty() ? ctx.workspace.StartupLab() : ctx.Path(out))));
}

const bool registered = RegisterCommand({"lab", "[--out PATH]", RunLab});

}  // namespace
}  // namespace gc::batch
