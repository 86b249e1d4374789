// flt2taps FILE.flt: converts a filter file into FILTERS/<name>.taps.
#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunFlt2Taps(Context& ctx) {
    if (ctx.args.size() != 1) return UsageError(ctx, "flt2taps needs exactly one FILE.flt");
    const FltCommandResult r = ConvertFltCommand(ctx.workspace, ctx.Path(ctx.args[0]));
    if (r.conversion.status != FltConversion::InputUnreadable) WarnIfCut(ctx, ctx.Path(ctx.args[0]));
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"flt2taps", "FILE.flt", RunFlt2Taps});

}  // namespace
}  // namespace gc::batch
