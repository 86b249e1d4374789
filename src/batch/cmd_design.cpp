// design NAME [--channel A..D] --pass HZ --stop HZ [--ripple DB] [--atten DB]
// [--even] [--no-compensation]: designs the channel's PFIR at the longest length
// the chip runs and writes FILTERS/NAME.taps, nothing else. The alias figures
// are those chain gives once the file is the channel's, at the passband edge asked;
// quantisation_gain_db is what the search over the 16-bit taps added to plain rounding;
// ripple_allowed_db and atten_margin_db say what the ripple was traded for.
#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/number_format.h"
#include "core/text_io.h"
#include "filters/chain_analysis.h"
#include "session/commands.h"
#include "session/designer.h"

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

// Why a field is refused, as scripts read it.
std::string RequestErrorText(const PfirRequestError& e) {
    switch (e.cause) {
        case PfirRequestCause::NotANumber:
            return "'" + e.text + "' is not a number";
        case PfirRequestCause::PassNotAboveZero:
            return "the passband edge must be above 0";
        case PfirRequestCause::StopNotAbovePass:
            return "the stopband edge must be above the passband edge";
        case PfirRequestCause::StopAboveHalfInput:
            return "the stopband edge must not be above half the PFIR input rate (" + StrPrintf("%.0f Hz", e.bound) +
                   ")";
        case PfirRequestCause::RippleNotAboveZero:
            return "the passband ripple must be above 0 dB";
        case PfirRequestCause::AttenOutOfRange:
            return "the stopband attenuation must be above 0 and at most " + FormatFixed(e.bound, 6, 0) + " dB";
        case PfirRequestCause::NoDesign:
            break;
    }
    return "no filter could be designed with these edges";
}

// Every refused field named by its option; kExitInputRefused, or kExitOk when there is none.
int RefuseFields(Context& ctx, const std::vector<PfirRequestError>& errors) {
    for (const PfirRequestError& e : errors)
        ctx.err << "gc5016-batch: " << OptionOf(e.field) << ": " << RequestErrorText(e) << "\n";
    return errors.empty() ? kExitOk : kExitInputRefused;
}

int RunDesign(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error)) return UsageError(ctx, error);
    DesignRequestText typed;
    typed.evenLength = TakeFlag(ctx.args, "--even");
    typed.compensateCic = !TakeFlag(ctx.args, "--no-compensation");
    // What is not given comes from the channel's request; an edge it leaves
    // to the output rate must be given.
    const ChainRequest stored = ChannelChainRequest(ctx.session.settings, channel);
    const double storedValues[] = {stored.passHz, stored.stopHz, stored.rippleDb, stored.attenDb};
    for (PfirDesignField f :
         {PfirDesignField::Pass, PfirDesignField::Stop, PfirDesignField::Ripple, PfirDesignField::Atten}) {
        std::string text;
        const bool required = f == PfirDesignField::Pass || f == PfirDesignField::Stop;
        const double fromRequest = storedValues[static_cast<size_t>(f)];
        if (TakeOption(ctx.args, OptionOf(f), text, error))
            typed.fields[static_cast<size_t>(f)] = text;
        else if (!error.empty())
            return UsageError(ctx, error);
        else if (fromRequest > 0 && std::isfinite(fromRequest))
            typed.fields[static_cast<size_t>(f)] = StrPrintf("%.17g", fromRequest);
        else if (required)
            return UsageError(ctx, std::string("design needs ") + OptionOf(f) + " HZ");
    }
    if (ctx.args.empty()) return UsageError(ctx, "design needs the NAME of the coefficient file to write");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    const std::string name = ctx.args[0];
    if (!IsBareName(name))
        return UsageError(ctx, "design writes to FILTERS/: NAME is a bare file name, not '" + name + "'");
    const std::filesystem::path path = ctx.workspace.Filters() / name;
    if (const auto refusal = CheckDesignTapsName(DesignTapsPath(path))) {
        ctx.err << "gc5016-batch: NAME: " << NameRefusalText(*refusal) << "\n";
        return kExitInputRefused;
    }

    const DdcChannel ch = DesignChannelOf(ctx.session, channel);
    const ParsedDesignRequest parsed = ParseDesignRequest(ch, typed);
    if (const int status = RefuseFields(ctx, parsed.errors)) return status;
    const PfirDesign d = DesignPfir(ch, parsed.request);
    if (const int status = RefuseFields(ctx, d.errors)) return status;
    if (const CommandResult w = SaveDesignedTaps(ctx.workspace, path, d.taps); !w.done()) return Report(ctx, w);

    ctx.out << "ntaps " << d.ntaps << "\n"
            << StrPrintf("passband_ripple_db %.3f\n", d.figures.passbandRippleDb)
            << StrPrintf("stopband_atten_db %.3f\n", d.figures.stopbandAttenDb) << "method "
            << PfirDesignMethodName(d.method) << "\n"
            << StrPrintf("alias_rejection_db %.3f\n", d.chain.aliasRejectionDb)
            << StrPrintf("cic_alias_rejection_db %.3f\n", d.chain.cicAliasRejectionDb)
            << StrPrintf("quantisation_gain_db %.3f\n", d.quantisationGainDb)
            << StrPrintf("ripple_allowed_db %.3f\n", parsed.request.rippleDb)
            << StrPrintf("atten_margin_db %.3f\n", d.figures.stopbandAttenDb - parsed.request.attenDb);
    for (const PfirShortfall& f : PfirDesignShortfalls(d, parsed.request))
        ctx.err << "gc5016-batch: warning: the filter written does not meet the request: " << ShortfallLine(f) << "\n";
    return kExitOk;
}

const bool registered = RegisterCommand(
    {"design", "NAME [--channel A..D] [--pass HZ] [--stop HZ] [--ripple DB] [--atten DB] [--even] [--no-compensation]",
     RunDesign});

}  // namespace
}  // namespace gc::batch
