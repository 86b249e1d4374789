// chain [--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB]
// [--points N] [--csv]: the channel's CIC and PFIR folded onto the output band,
// as figures judged against the request or as the curves.
#include <cstdlib>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "batch/request_options.h"
#include "filters/chain_analysis.h"

namespace gc::batch {
namespace {

bool ParsePoints(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < kChainMinPoints || v > kChainMaxPoints) return false;
    value = static_cast<int>(v);
    return true;
}

int RunChain(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error, text;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    ChainRequest request = ChannelChainRequest(ctx.session.settings, channel);
    if (const int status = TakeRequestOptions(ctx, request, {"--pass", "--stop", "--ripple", "--atten"})) return status;
    if (TakeOption(ctx.args, "--points", text, error)) {
        if (!ParsePoints(text, request.points))
            return UsageError(ctx, "--points takes a whole number from " + std::to_string(kChainMinPoints) + " to " +
                                       std::to_string(kChainMaxPoints));
    } else if (!error.empty()) {
        return UsageError(ctx, error);
    }
    const bool csv = TakeFlag(ctx.args, "--csv");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    SelectChannel(ctx.session, channel);
    const DdcChannel ch = ChainChannelOf(ctx.session.settings, ctx.session, channel);
    if (const auto refusal = CheckChainRequest(ch, request)) {
        ctx.err << "gc5016-batch: " << *refusal << "\n";
        return kExitInputRefused;
    }
    const ChainAnalysis a = AnalyseChain(ch, request);
    ctx.out << (csv ? FormatChainCsv(a) : FormatChainSummary(a));
    return kExitOk;
}

const bool registered = RegisterCommand(
    {"chain", "[--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB] [--points N] [--csv]", RunChain});

}  // namespace
}  // namespace gc::batch
