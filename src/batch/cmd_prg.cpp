// prg [--out PATH] [--tool]: "Write *.prg", with or without the chip-tool cross-check.
#include <ostream>

#include "batch/batch.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunPrg(Context& ctx) {
    std::string out, error;
    if (!TakeOption(ctx.args, "--out", out, error) && !error.empty()) return UsageError(ctx, error);
    const bool tool = TakeFlag(ctx.args, "--tool");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    const ChipToolRunner runner = BlockingToolRunner(ctx);
    const ProgramCommandResult r = WriteProgramCommand(
        ctx.session, ctx.workspace, {out.empty() ? std::filesystem::path() : ctx.Path(out), tool ? &runner : nullptr});
    if (tool && r.toolFault == ToolFault::None && r.toolPairs >= 0) {
        ctx.out << "page16 mismatches: " << r.page16 << "\n";
        ctx.out << "page17 mismatches: " << r.page17 << "\n";
    }
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"prg", "[--out PATH] [--tool]", RunPrg});

}  // namespace
}  // namespace gc::batch
