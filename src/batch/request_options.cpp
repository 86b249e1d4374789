#include "batch/request_options.h"

#include <cstring>

#include "batch/channel_select.h"
#include "core/number_format.h"
#include "session/designer.h"
#include "session/plan.h"

namespace gc::batch {

int TakeRequestOptions(Context& ctx, ChainRequest& r, std::initializer_list<const char*> names) {
    struct Field {
        const char* name;
        const char* unit;
        double ChainRequest::*value;
    };
    static constexpr Field kFields[] = {{"--pass", "Hz", &ChainRequest::passHz},
                                        {"--stop", "Hz", &ChainRequest::stopHz},
                                        {"--ripple", "dB", &ChainRequest::rippleDb},
                                        {"--atten", "dB", &ChainRequest::attenDb}};
    for (const char* name : names)
        for (const Field& f : kFields) {
            if (std::strcmp(f.name, name) != 0) continue;
            std::string text, error;
            if (TakeOption(ctx.args, name, text, error)) {
                const auto v = ParseDesignNumber(text);
                if (!v || !(*v > 0))
                    return UsageError(
                        ctx, std::string(name) + " takes a number of " + f.unit + " above 0, not '" + text + "'");
                r.*f.value = *v;
            } else if (!error.empty()) {
                return UsageError(ctx, error);
            }
        }
    return kExitOk;
}

int RankChannelSplits(Context& ctx, int channel, const ChainRequest& r, std::vector<SplitRow>& rows) {
    SelectChannel(ctx.session, channel);
    const DdcChannel ch = DesignSplitChannelOf(ctx.session, channel);
    const SplitRequest request = SplitRequestOf(r);
    if (const auto refusal = CheckSplitRequest(ch, request)) {
        ctx.err << "gc5016-batch: " << *refusal << "\n";
        return kExitInputRefused;
    }
    rows = RankedSplitRows(ch, request);
    return kExitOk;
}

}  // namespace gc::batch
