// splits [--channel A..D] [--pass HZ] [--atten DB]: every way the chip can
// split the channel's total decimation between the CIC and the PFIR, with a
// PFIR designed at each split and the folded chain's figures.
#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/number_format.h"
#include "session/designer.h"

namespace gc::batch {
namespace {

// "--name NUMBER" into value; kExitOk, or the usage status after the message.
int TakeNumber(Context& ctx, const char* name, const char* unit, double& value) {
    std::string text, error;
    if (TakeOption(ctx.args, name, text, error)) {
        const auto v = ParseDesignNumber(text);
        if (!v || !(*v > 0)) return UsageError(ctx, std::string(name) + " takes a number of " + unit + " above 0");
        value = *v;
    } else if (!error.empty()) {
        return UsageError(ctx, error);
    }
    return kExitOk;
}

int RunSplits(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    SplitRequest request;
    if (int status = TakeNumber(ctx, "--pass", "Hz", request.passHz)) return status;
    if (int status = TakeNumber(ctx, "--atten", "dB", request.attenDb)) return status;
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    SelectChannel(ctx.session, channel);
    const DdcChannel ch = DesignSplitChannelOf(ctx.session, channel);
    if (const auto refusal = CheckSplitRequest(ch, request)) {
        ctx.err << "gc5016-batch: " << *refusal << "\n";
        return kExitInputRefused;
    }
    std::vector<SplitRow> rows;
    for (const DecimationSplit& s : ListDecimationSplits(ch)) rows.push_back(EvaluateSplit(ch, s, request));
    ctx.out << FormatSplitsTable(rows);
    return kExitOk;
}

const bool registered = RegisterCommand({"splits", "[--channel A..D] [--pass HZ] [--atten DB]", RunSplits});

}  // namespace
}  // namespace gc::batch
