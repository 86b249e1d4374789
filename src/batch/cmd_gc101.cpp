// gc101 FILE: "gc101->prg" with FILE chosen.
#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunGc101(Context& ctx) {
    if (ctx.args.empty()) return UsageError(ctx, "gc101 needs a file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    return Report(ctx, ImportGc101Command(ctx.session, ctx.workspace, ctx.Path(ctx.args[0])));
}

const bool registered = RegisterCommand({"gc101", "FILE", RunGc101});

}  // namespace
}  // namespace gc::batch
