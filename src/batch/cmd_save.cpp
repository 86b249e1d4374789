// save [--force] PATH.lab: "Записать" with PATH chosen in the save dialog.
#include <ostream>

#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunSave(Context& ctx) {
    // The explicit yes the window asks for before replacing a write-protected
    // or unreadable file.
    const bool force = TakeFlag(ctx.args, "--force");
    if (ctx.args.empty()) return UsageError(ctx, "save needs a lab file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    WritePolicy policy;
    policy.replaceReadOnly = force;
    const SaveCommandResult r = SaveConfiguration(ctx.session, ctx.workspace, ctx.Path(ctx.args[0]), policy, force);
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"save", "[--force] PATH.lab", RunSave});

}  // namespace
}  // namespace gc::batch
