// save PATH.lab: "Записать" with PATH chosen in the save dialog.
#include <ostream>

#include "batch/batch.h"
#include "chip/program_file.h"
#include "session/session.h"

namespace gc::batch {
namespace {

int RunSave(Context& ctx) {
    if (ctx.args.empty()) return UsageError(ctx, "save needs a lab file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    const std::filesystem::path lab = ctx.Path(ctx.args[0]);

    Session& m = ctx.session;
    SaveModeCicDec(m.settings, m, m.settings.ModeOfInput, m.settings.ModeOfInput);
    SaveCheck check = CheckSaveDecimations(m.settings, m);
    if (check.notice != SaveNotice::None) {
        for (const std::string& line : SaveNoticeLines(check)) ctx.err << line << "\n";
        return kExitRefused;
    }
    PrepareProgram(m.settings, m);
    SaveResult r = SaveLabAndProgram(m, lab);
    if (!r.labWritten) return WriteError(ctx, lab);
    if (!r.programWritten) return WriteError(ctx, r.programPath);
    return kExitOk;
}

const bool registered = RegisterCommand({"save", "PATH.lab", RunSave});

}  // namespace
}  // namespace gc::batch
