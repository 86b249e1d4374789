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

    Session& m = ctx.session;
    if (tool && CrossCheckWithTool(m.settings, m, ctx.workspace, RunningProgramDir()).pairs < 0)
        ctx.err << "gc5016-batch: warning: cannot read FILTERS/workcmd.gc101, the tool tables are unchanged\n";
    FillPage16Tables(m.settings, m);
    FillPage17Tables(m.settings, m);
    if (tool) {
        ctx.out << "page16 mismatches: " << CountPage16Mismatches(m.settings, m) << "\n";
        ctx.out << "page17 mismatches: " << CountPage17Mismatches(m.settings, m) << "\n";
    }
    BuildRegisterWriteList(m.settings, m);
    if (!WriteProgramFile(m.settings, m, m, ctx.Path(out))) return WriteError(ctx, ctx.Path(out));
    return kExitOk;
}

const bool registered = RegisterCommand({"prg", "[--out PATH] [--tool]", RunPrg});

}  // namespace
}  // namespace gc::batch
