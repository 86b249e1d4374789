// workcmd [--tool]: "WriteCmdFile", the chip tool's command script in FILTERS/,
// and with --tool the tool run on it there.
#include <filesystem>

#include "batch/batch.h"
#include "chip/chip_tool.h"
#include "chip/command_script.h"

namespace gc::batch {
namespace {

int RunWorkcmd(Context& ctx) {
    const bool tool = TakeFlag(ctx.args, "--tool");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    const std::filesystem::path folder = ctx.workspace.Filters();
    const std::filesystem::path script = folder / "workcmd";
    const bool written = WriteCommandScript(ctx.session.settings, ctx.session.workImage, script) == 1;
    // As in the main window, the tool runs even when the script could not be
    // written: it then finds an older script, or none.
    if (tool) RunChipTool(folder, RunningProgramDir());
    if (!written) return WriteError(ctx, script);
    return kExitOk;
}

const bool registered = RegisterCommand({"workcmd", "[--tool]", RunWorkcmd});

}  // namespace
}  // namespace gc::batch
