// gc101 FILE: "gc101->prg" with FILE chosen.
#include <ostream>

#include "batch/batch.h"
#include "chip/program_file.h"

namespace gc::batch {
namespace {

int RunGc101(Context& ctx) {
    if (ctx.args.empty()) return UsageError(ctx, "gc101 needs a file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    const std::string& chosen = ctx.args[0];

    // A program file without register writes would replace a good one; the
    // window's dialog can only offer files that exist, a script can name any.
    if (!IsReadableInput(ctx.Path(chosen))) return InputRefused(ctx, "cannot read " + chosen + ": not a regular file");
    Session& m = ctx.session;
    Gc101List list;
    const int n = ReadGc101File(ctx.Path(chosen), list);
    if (n < 0) return InputRefused(ctx, "cannot read " + chosen);
    WarnIfCut(ctx, ctx.Path(chosen));
    Gc101ToRegisterWrites(m, list, n);
    const std::filesystem::path out = ctx.workspace.Configs() / (Gc101ProgramName(chosen) + ".prg");
    if (!WriteProgramFile(m.settings, m, m, out)) return WriteError(ctx, out);
    return kExitOk;
}

const bool registered = RegisterCommand({"gc101", "FILE", RunGc101});

}  // namespace
}  // namespace gc::batch
