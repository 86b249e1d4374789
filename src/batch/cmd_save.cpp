// save PATH.lab: "Записать" with PATH chosen in the save dialog.
#include <ostream>

#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunSave(Context& ctx) {
    if (ctx.args.empty()) return UsageError(ctx, "save needs a lab file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    const SaveCommandResult r = SaveConfiguration(ctx.session, ctx.workspace, ctx.Path(ctx.args[0]));
    if (r.status == CommandStatus::Refused) {
        for (const std::string& line : SaveNoticeLines(r.check)) ctx.err << line << "\n";
        return kExitRefused;
    }
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"save", "PATH.lab", RunSave});

}  // namespace
}  // namespace gc::batch
