// flt2taps FILE.flt: converts a filter file into FILTERS/<name>.taps.
#include <ostream>

#include "batch/batch.h"
#include "filters/coef_files.h"

namespace gc::batch {
namespace {

int RunFlt2Taps(Context& ctx) {
    if (ctx.args.size() != 1) return UsageError(ctx, "flt2taps needs exactly one FILE.flt");
    FltConversion r = ConvertFltToTaps(ctx.Path(ctx.args[0]), ctx.workspace);
    if (r.status != FltConversion::InputUnreadable) WarnIfCut(ctx, ctx.Path(ctx.args[0]));
    switch (r.status) {
        case FltConversion::Done:
            return kExitOk;
        case FltConversion::WriteFailed:
            return WriteError(ctx, r.output);
        case FltConversion::InputUnreadable:
        case FltConversion::BadCount:
            // Nothing was written: a script must not take this for success.
            return InputRefused(ctx, r.message);
    }
    return kExitOk;
}

const bool registered = RegisterCommand({"flt2taps", "FILE.flt", RunFlt2Taps});

}  // namespace
}  // namespace gc::batch
