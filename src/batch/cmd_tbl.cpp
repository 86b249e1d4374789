// tbl [--out PATH]: "Write *.tbl", the derived work image as a register table.
#include "batch/batch.h"
#include "chip/derivation.h"
#include "chip/table_file.h"

namespace gc::batch {
namespace {

int RunTbl(Context& ctx) {
    std::string out = "exper.tbl", error;
    if (!TakeOption(ctx.args, "--out", out, error) && !error.empty()) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    DeriveRegisters(ctx.session.settings, ctx.session);
    if (!WriteTableFile(ctx.session.workImage, ctx.Path(out))) return WriteError(ctx, ctx.Path(out));
    return kExitOk;
}

const bool registered = RegisterCommand({"tbl", "[--out PATH]", RunTbl});

}  // namespace
}  // namespace gc::batch
