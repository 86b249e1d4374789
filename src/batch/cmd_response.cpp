// response [--channel A..D] [--xstretch N] [--csv]: the channel's CIC, PFIR
// and overall response on the main plot's grid, one line per point; with
// --csv what the main plot's export writes.
#include <cstdlib>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/text_io.h"
#include "filters/curve_csv.h"
#include "filters/plot_scale.h"
#include "filters/responses.h"
#include "session/edit_rules.h"

namespace gc::batch {
namespace {

// A power of two from 1 to XStretchMax, as the zoom buttons can reach.
bool ParseXStretch(const std::string& text, int& value) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > XStretchMax || (v & (v - 1)) != 0) return false;
    value = static_cast<int>(v);
    return true;
}

int RunResponse(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error, stretchText;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    int xStretch = 1;
    if (TakeOption(ctx.args, "--xstretch", stretchText, error)) {
        if (!ParseXStretch(stretchText, xStretch))
            return UsageError(ctx, "--xstretch takes a power of two from 1 to " + std::to_string(XStretchMax));
    } else if (!error.empty()) {
        return UsageError(ctx, error);
    }
    const bool csv = TakeFlag(ctx.args, "--csv");
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);

    SelectChannel(ctx.session, channel);
    if (const auto loud = CicGainAboveOne(ctx.session.workImage, channel))
        ctx.err << "gc5016-batch: warning: " << CicGainWarning(*loud, channel) << "\n";
    ChannelResponse r;
    RecomputeResponse(ctx.session, channel, xStretch, r);
    if (csv) {
        ctx.out << FormatCurvesCsv(MainPlotCurves(r.OverallResponse, ctx.session.settings.SystemClock, xStretch));
        return kExitOk;
    }
    std::string text;
    for (int i = 0; i < kResponsePoints; ++i)
        text += StrPrintf("%d %.17g %.17g %.17g\n", i, r.CicResponse[i], r.PfirResponse[i], r.OverallResponse[i]);
    ctx.out << text;
    return kExitOk;
}

const bool registered = RegisterCommand({"response", "[--channel A..D] [--xstretch N] [--csv]", RunResponse});

}  // namespace
}  // namespace gc::batch
