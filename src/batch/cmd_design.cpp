// design NAME [--channel A..D] --pass HZ --stop HZ [--ripple DB] [--atten DB]
// [--even] [--no-compensation]: designs the channel's PFIR at the longest length
// the chip runs and writes FILTERS/NAME.taps, nothing else. The alias figures
// are those chain gives once the file is the channel's, at the passband edge asked;
// quantisation_gain_db is what the search over the 16-bit taps added to plain rounding.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/text_io.h"
#include "filters/pfir_design.h"
#include "session/commands.h"

namespace gc::batch {
namespace {

const char* OptionOf(PfirDesignField f) {
    switch (f) {
        case PfirDesignField::Pass:
            return "--pass";
        case PfirDesignField::Stop:
            return "--stop";
        case PfirDesignField::Ripple:
            return "--ripple";
        case PfirDesignField::Atten:
            break;
    }
    return "--atten";
}

std::string ShortfallLine(const PfirShortfall& f) {
    switch (f.figure) {
        case PfirFigure::Ripple:
            return StrPrintf("passband_ripple_db %.3f > %g", f.value, f.required);
        case PfirFigure::StopbandAtten:
            return StrPrintf("stopband_atten_db %.3f < %g", f.value, f.required);
        case PfirFigure::TransitionPeak:
            return StrPrintf("transition band peak %.3f dB > %g", f.value, f.required);
        case PfirFigure::AliasRejection:
            break;
    }
    return StrPrintf("alias_rejection_db %.3f < %g", f.value, f.required) +
           (f.cicLimited ? " (limited by the CIC)" : "");
}

// A bare file name: the file goes to FILTERS/ and nowhere else.
bool IsBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

int RunDesign(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    PfirDesignRequest request;
    request.evenLength = TakeFlag(ctx.args, "--even");
    request.compensateCic = !TakeFlag(ctx.args, "--no-compensation");

    struct NumberOption {
        PfirDesignField field;
        double* value;
        bool required;
        std::optional<std::string> text;
    };
    NumberOption options[] = {{PfirDesignField::Pass, &request.passHz, true, {}},
                              {PfirDesignField::Stop, &request.stopHz, true, {}},
                              {PfirDesignField::Ripple, &request.rippleDb, false, {}},
                              {PfirDesignField::Atten, &request.attenDb, false, {}}};
    for (NumberOption& o : options) {
        std::string text;
        if (TakeOption(ctx.args, OptionOf(o.field), text, error))
            o.text = text;
        else if (!error.empty())
            return UsageError(ctx, error);
        else if (o.required)
            return UsageError(ctx, std::string("design needs ") + OptionOf(o.field) + " HZ");
    }
    if (ctx.args.empty()) return UsageError(ctx, "design needs the NAME of the coefficient file to write");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    std::string name = ctx.args[0];
    if (!IsBareName(name))
        return UsageError(ctx, "design writes to FILTERS/: NAME is a bare file name, not '" + name + "'");
    if (!name.ends_with(".taps")) name += ".taps";
    if (const auto refusal = CheckDesignTapsName(name)) {
        ctx.err << "gc5016-batch: NAME: " << refusal->english << "\n";
        return kExitInputRefused;
    }

    // Every field that is refused is named, the numbers first, then the request.
    std::vector<PfirDesignField> notNumbers;
    for (NumberOption& o : options) {
        if (!o.text) continue;
        if (auto v = ParseDesignNumber(*o.text)) {
            *o.value = *v;
        } else {
            ctx.err << "gc5016-batch: " << OptionOf(o.field) << ": '" << *o.text << "' is not a number\n";
            notNumbers.push_back(o.field);
        }
    }
    const Settings& s = ctx.session.settings;
    const PfirDesignChannel ch{s.SystemClock, s.ModeOfInput, s.CicDec[channel], s.FirDec[channel]};
    std::vector<PfirRequestError> errors = CheckPfirDesignRequest(ch, request);
    std::erase_if(errors, [&](const PfirRequestError& e) { return std::ranges::count(notNumbers, e.field) > 0; });
    for (const PfirRequestError& e : errors)
        ctx.err << "gc5016-batch: " << OptionOf(e.field) << ": " << e.english << "\n";
    if (!notNumbers.empty() || !errors.empty()) return kExitInputRefused;

    const PfirDesign d = DesignPfir(ch, request);
    if (!d.ok()) {
        for (const PfirRequestError& e : d.errors)
            ctx.err << "gc5016-batch: " << OptionOf(e.field) << ": " << e.english << "\n";
        return kExitInputRefused;
    }
    if (const CommandResult w = SaveDesignedTaps(ctx.workspace, ctx.workspace.Filters() / name, d.taps); !w.done())
        return Report(ctx, w);

    ctx.out << "ntaps " << d.ntaps << "\n"
            << StrPrintf("passband_ripple_db %.3f\n", d.figures.passbandRippleDb)
            << StrPrintf("stopband_atten_db %.3f\n", d.figures.stopbandAttenDb) << "method "
            << PfirDesignMethodName(d.method) << "\n"
            << StrPrintf("alias_rejection_db %.3f\n", d.chain.aliasRejectionDb)
            << StrPrintf("cic_alias_rejection_db %.3f\n", d.chain.cicAliasRejectionDb)
            << StrPrintf("quantisation_gain_db %.3f\n", d.quantisationGainDb);
    for (const PfirShortfall& f : PfirDesignShortfalls(d, request))
        ctx.err << "gc5016-batch: warning: the filter written does not meet the request: " << ShortfallLine(f) << "\n";
    return kExitOk;
}

const bool registered = RegisterCommand(
    {"design", "NAME [--channel A..D] --pass HZ --stop HZ [--ripple DB] [--atten DB] [--even] [--no-compensation]",
     RunDesign});

}  // namespace
}  // namespace gc::batch
