// fit [--channel A..D]: the channel's PFIR fit as the start-up left it.
#include <cstdio>
#include <ostream>

#include "batch/batch.h"
#include "core/text_io.h"
#include "filters/pfir_fit.h"
#include "session/edit_rules.h"

namespace gc::batch {
namespace {

int RunFit(Context& ctx) {
    std::string channelText, error;
    int channel = ctx.session.CurrentChannel;
    if (TakeOption(ctx.args, "--channel", channelText, error)) {
        channel = ParseChannel(channelText);
        if (channel < 0) return UsageError(ctx, "bad channel '" + channelText + "'");
    } else if (!error.empty()) {
        return UsageError(ctx, error);
    }
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    if (channel < 0 || channel >= kChannels) channel = 0;

    if (const auto loud = CicGainAboveOne(ctx.session.workImage, channel))
        ctx.err << "gc5016-batch: warning: " << CicGainWarning(*loud, channel) << "\n";
    const auto c = static_cast<size_t>(channel);
    const CoefSetInfo& info = ctx.session.coefSetInfo[c];
    std::ostream& out = ctx.out;
    out << "ntaps " << info.ntaps << "\n"
        << "symmetric " << info.symmetric << "\n"
        << "even " << info.even << "\n"
        << "nblocks " << info.nblocks << "\n"
        << "maxtap " << info.maxtap << "\n"
        << "sumtap " << info.sumtap << "\n"
        << "symtype " << info.symtype << "\n"
        << StrPrintf("pfir_gain %.6f\n", static_cast<double>(info.pfir_gain)) << "colour "
        << PfirFitColourName(ctx.session.pfirFitColour[c]) << "\n"
        << "taps\n";
    // ntaps never exceeds the set's 512 entries; the bound keeps it so.
    const int ntaps = info.ntaps < kMaxTaps ? info.ntaps : kMaxTaps;
    for (int k = 0; k < ntaps; ++k) out << ctx.session.fittedTaps[c][static_cast<size_t>(k)] << "\n";
    return kExitOk;
}

const bool registered = RegisterCommand({"fit", "[--channel A..D]", RunFit});

}  // namespace
}  // namespace gc::batch
