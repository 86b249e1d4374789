#include "batch/request_options.h"

#include <cstring>

#include "core/number_format.h"

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

}  // namespace gc::batch
