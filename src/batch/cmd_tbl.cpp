// tbl [--out PATH]: "Write *.tbl", the derived work image as a register table.
#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunTbl(Context& ctx) {
    std::string out, error;
    if (!TakeOption(ctx.args, "--out", out, error) && !error.empty()) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    return Report(ctx,
                  WriteTableCommand(ctx.session, ctx.workspace, out.empty() ? std::filesystem::path() : ctx.Path(out)));
}

const bool registered = RegisterCommand({"tbl", "[--out PATH]", RunTbl});

}  // namespace
}  // namespace gc::batch
