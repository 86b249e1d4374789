// decode FILE.prg [--save PATH.lab --taps-prefix NAME]: a program file read
// back into settings and taps.
#include <ostream>

#include "batch/batch.h"
#include "session/decode_commands.h"

namespace gc::batch {
namespace {

int RunDecode(Context& ctx) {
    std::string save, prefix, error;
    if (!TakeOption(ctx.args, "--save", save, error) && !error.empty()) return UsageError(ctx, error);
    const bool hasPrefix = TakeOption(ctx.args, "--taps-prefix", prefix, error);
    if (!hasPrefix && !error.empty()) return UsageError(ctx, error);
    if (hasPrefix && save.empty()) return UsageError(ctx, "--taps-prefix goes with --save");
    if (ctx.args.empty()) return UsageError(ctx, "decode needs a program file");
    if (ctx.args.size() > 1) return UnexpectedArgument(ctx, ctx.args[1]);
    DecodeRequest request;
    request.program = ctx.Path(ctx.args[0]);
    if (!save.empty()) request.saveLab = ctx.Path(save);
    if (hasPrefix) request.tapsPrefix = prefix;

    const DecodeCommandResult r = DecodeProgramCommand(ctx.session, ctx.workspace, request);
    if (r.decode.ok()) {
        const DecodedProgram& d = r.decode.program;
        for (const std::string& line : DecodedSettingLines(d)) ctx.out << line << "\n";
        for (int c = 0; c < kChannels; ++c)
            ctx.out << "taps." << static_cast<char>('A' + c) << " " << d.taps[static_cast<size_t>(c)].size() << "\n";
        ctx.out << "same_bytes_on_save " << (r.sameBytes ? "yes" : "no") << "\n";
        for (const DecodeNote& n : d.notes) ctx.out << "note: " << DecodeNoteText(d, n) << "\n";
    }
    if (r.status == CommandStatus::Refused) return kExitRefused;
    return Report(ctx, r);
}

const bool registered = RegisterCommand({"decode", "FILE.prg [--save PATH.lab [--taps-prefix NAME]]", RunDecode});

}  // namespace
}  // namespace gc::batch
