// prg [--out PATH] [--tool]: "Write *.prg", with or without the chip-tool cross-check.
#include <ostream>

#include "batch/batch.h"
#include "chip/chip_tool.h"
#include "chip/page_map.h"
#include "chip/program_file.h"

namespace gc::batch {
namespace {

int RunPrg(Context& ctx) {
    std::string out = "CONFIGS/std.prg", error;
    if (!TakeOption(ctx.args, "--out", out, error) && !error.empty()) return UsageError(ctx, error);
    const bool tool = TakeFlag(ctx.args, "--tool");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    Model& m = ctx.model;
    if (tool && CrossCheckWithTool(m, ".", RunningProgramDir()) < 0)
        ctx.err << "gc5016-batch: warning: cannot read FILTERS/workcmd.gc101, the tool tables are unchanged\n";
    FillPage16Tables(m);
    FillPage17Tables(m);
    if (tool) {
        ctx.out << "page16 mismatches: " << CountPage16Mismatches(m) << "\n";
        ctx.out << "page17 mismatches: " << CountPage17Mismatches(m) << "\n";
    }
    BuildRegisterWriteList(m);
    if (!WriteProgramFile(m, out)) return WriteError(ctx, out);
    return kExitOk;
}

const bool registered = RegisterCommand({"prg", "[--out PATH] [--tool]", RunPrg});

}  // namespace
}  // namespace gc::batch
