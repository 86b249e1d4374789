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

    Session& m = ctx.session;
    Gc101List list;
    int n = ReadGc101File(ctx.Path(chosen), list);
    if (n < 0) {
        ctx.err << "gc5016-batch: warning: cannot read " << chosen << ", the program file gets no triples\n";
        n = 0;
    } else {
        WarnIfCut(ctx, ctx.Path(chosen));
    }
    Gc101ToRegisterWrites(m, list, n);
    const std::filesystem::path out = ctx.workspace.Configs() / (Gc101ProgramName(chosen) + ".prg");
    if (!WriteProgramFile(m.settings, m, m, out)) return WriteError(ctx, out);
    return kExitOk;
}

const bool registered = RegisterCommand({"gc101", "FILE", RunGc101});

}  // namespace
}  // namespace gc::batch
