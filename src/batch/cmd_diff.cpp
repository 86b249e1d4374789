// diff A B: two configurations (lab or program files) compared setting by
// setting, register field by register field, and by their channels' chains.
#include <ostream>

#include "batch/batch.h"
#include "core/text_io.h"
#include "session/decode_commands.h"

namespace gc::batch {
namespace {

std::string ChannelName(int c) { return c < 0 ? std::string("-") : std::string(1, static_cast<char>('A' + c)); }

std::string Figures(const ChainFigures& f) {
    return StrPrintf("passband_ripple_db %.3f alias_rejection_db %.2f cic_alias_rejection_db %.2f", f.passbandRippleDb,
                     f.aliasRejectionDb, f.cicAliasRejectionDb);
}

int RunDiff(Context& ctx) {
    if (ctx.args.size() < 2) return UsageError(ctx, "diff needs two files, each a lab or a program file");
    if (ctx.args.size() > 2) return UnexpectedArgument(ctx, ctx.args[2]);
    const DiffCommandResult r = DiffCommand(ctx.workspace, ctx.Path(ctx.args[0]), ctx.Path(ctx.args[1]));
    if (!r.done()) return Report(ctx, r);
    for (const SettingDifference& s : r.settings)
        ctx.out << "setting " << s.name << " " << ChannelName(s.channel) << " " << s.a << " " << s.b << "\n";
    for (const FieldDifference& f : r.fields)
        ctx.out << StrPrintf("field 0x%x 0x%x %s %lld %lld\n", f.page, f.reg, f.field.c_str(),
                             static_cast<long long>(f.a), static_cast<long long>(f.b));
    for (const ChainDifference& c : r.chains) {
        ctx.out << "chain " << ChannelName(c.channel) << " a " << Figures(c.a) << "\n";
        ctx.out << "chain " << ChannelName(c.channel) << " b " << Figures(c.b) << "\n";
    }
    if (r.equal()) {
        ctx.out << "equal\n";
        return kExitOk;
    }
    return kExitDiffer;
}

const bool registered = RegisterCommand({"diff", "A B", RunDiff});

}  // namespace
}  // namespace gc::batch
