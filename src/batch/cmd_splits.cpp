// splits [--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB]:
// every way the chip can split the channel's total decimation between the CIC
// and the PFIR, with a PFIR designed at each split for the request and the
// folded chain's figures against it, best row first.
#include "batch/batch.h"
#include "batch/channel_select.h"
#include "batch/request_options.h"
#include "session/designer.h"
#include "session/plan.h"

namespace gc::batch {
namespace {

int RunSplits(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    ChainRequest stored = ChannelChainRequest(ctx.session.settings, channel);
    if (const int status = TakeRequestOptions(ctx, stored, {"--pass", "--stop", "--ripple", "--atten"})) return status;
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    std::vector<SplitRow> rows;
    if (const int status = RankChannelSplits(ctx, channel, stored, rows)) return status;
    ctx.out << FormatSplitsTable(rows);
    return kExitOk;
}

const bool registered =
    RegisterCommand({"splits", "[--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB]", RunSplits});

}  // namespace
}  // namespace gc::batch
