// plan [--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB]
// NAME [--save PATH.lab] [--force]: the split and filter that meet the
// channel's request with the most margin, written to FILTERS/NAME.taps and
// set as the channel's, with --save saved as "Записать" does.
#include <filesystem>
#include <ostream>
#include <system_error>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "batch/request_options.h"
#include "session/designer.h"
#include "session/plan.h"

namespace gc::batch {
namespace {

int RunPlan(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error, savePath;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    ChainRequest stored = ChannelChainRequest(ctx.session.settings, channel);
    if (const int status = TakeRequestOptions(ctx, stored, {"--pass", "--stop", "--ripple", "--atten"})) return status;
    const bool save = TakeOption(ctx.args, "--save", savePath, error);
    if (!error.empty()) return UsageError(ctx, error);
    const bool force = TakeFlag(ctx.args, "--force");
    if (ctx.args.empty()) return UsageError(ctx, "plan needs the NAME of the coefficient file to write");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    const std::string name = ctx.args[0];
    if (!IsBareName(name))
        return UsageError(ctx, "plan writes to FILTERS/: NAME is a bare file name, not '" + name + "'");
    const std::filesystem::path path = ctx.workspace.Filters() / name;
    if (const auto refusal = CheckDesignTapsName(DesignTapsPath(path))) {
        ctx.err << "gc5016-batch: NAME: " << NameRefusalText(*refusal) << "\n";
        return kExitInputRefused;
    }

    std::vector<SplitRow> rows;
    if (const int status = RankChannelSplits(ctx, channel, stored, rows)) return status;
    if (rows.empty() || !rows[0].designed) {
        ctx.err << "gc5016-batch: no split of the total decimation could be designed for the request\n";
        return kExitInputRefused;
    }
    const SplitRow& best = rows[0];
    ctx.out << FormatSplitRowSummary(best);
    if (!best.margins.met && !force) {
        ctx.err << "gc5016-batch: no split meets the request; nothing written (--force writes the best row)\n";
        return kExitNotMet;
    }
    std::error_code ec;
    const bool tapsExisted = std::filesystem::exists(DesignTapsPath(path), ec);
    const PlanApplyResult applied = ApplyPlanRow(ctx.session, ctx.workspace, best, stored, path);
    if (!applied.save.done()) return Report(ctx, applied.save);
    if (save) {
        if (const int status = Report(ctx, SaveConfiguration(ctx.session, ctx.workspace, ctx.Path(savePath)))) {
            // No half plan: a taps file this run created goes with the refused save.
            if (!tapsExisted) std::filesystem::remove(applied.save.path, ec);
            return status;
        }
    }
    ctx.out << "file " << ctx.Shown(applied.save.path) << "\n";
    return best.margins.met ? kExitOk : kExitNotMet;
}

const bool registered = RegisterCommand(
    {"plan", "[--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB] NAME [--save PATH.lab] [--force]",
     RunPlan});

}  // namespace
}  // namespace gc::batch
