// testfilter PATH [--channel A..D]: "WriteFilter" with PATH chosen in its save
// dialog, using the lab's filter kind, tap count, deviation and taper.
#include <ostream>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/text_io.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

int RunTestFilter(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    if (ctx.args.empty()) return UsageError(ctx, "testfilter needs the PATH of the file to write");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);

    SelectChannel(ctx.session, channel);
    const TestFilterCommandResult r =
        WriteTestFilterCommand(ctx.session, ctx.workspace, channel, TestFilterPath(ctx.workspace, ctx.args[0]));
    // As in the window: the sums show only once both files are written.
    const TestFilterResult& f = r.filter;
    if (f.chirp && f.ok) {
        ctx.out << StrPrintf("I %.3f\nQ %.3f\nII %.3f\nQQ %.3f\n", static_cast<double>(f.sums.I),
                             static_cast<double>(f.sums.Q), static_cast<double>(f.sums.II),
                             static_cast<double>(f.sums.QQ));
    }
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"testfilter", "PATH [--channel A..D]", RunTestFilter});

}  // namespace
}  // namespace gc::batch
