// cicwindow, pfirwindow, lengths: what the CIC and PFIR response windows
// show for a channel (captions, marker, drawn rows) and the PFIR window's
// length analysis, computed by the same functions the windows paint from.
#include <cstdlib>

#include "batch/batch.h"
#include "batch/channel_select.h"
#include "core/text_io.h"
#include "filters/cic_window.h"
#include "filters/length_analysis.h"
#include "filters/pfir_window.h"

namespace gc::batch {
namespace {

// A power of two from 1 to max, as the zoom buttons can reach.
bool ParseStretch(const std::string& text, int max, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > max || (v & (v - 1)) != 0) return false;
    value = static_cast<int>(v);
    return true;
}

// The options shared by the two window commands; returns kExitOk or the usage status.
int TakeWindowOptions(Context& ctx, int maxStretch, const char* viewFlag, int& channel, int& stretch, bool& view) {
    channel = ctx.session.CurrentChannel;
    std::string error, text;
    // Any channel, B and D in the paired modes too: the windows read its data as it stands.
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error, true)) return UsageError(ctx, error);
    if (TakeOption(ctx.args, "--stretch", text, error)) {
        if (!ParseStretch(text, maxStretch, stretch))
            return UsageError(ctx, "--stretch takes a power of two from 1 to " + std::to_string(maxStretch));
    } else if (!error.empty()) {
        return UsageError(ctx, error);
    }
    view = TakeFlag(ctx.args, viewFlag);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    SelectChannel(ctx.session, channel);
    return kExitOk;
}

std::string Joined(const std::array<std::string, 4>& texts) {
    return texts[0] + " " + texts[1] + " " + texts[2] + " " + texts[3];
}

std::string MarkerLine(int column) { return column >= 0 ? StrPrintf("marker %d\n", column) : "marker none\n"; }

int RunCicWindow(Context& ctx) {
    CicWindowState s;
    int channel = 0;
    bool alias = false;
    if (int status = TakeWindowOptions(ctx, CicWindowStretchMax, "--alias", channel, s.CicWindowStretch, alias))
        return status;
    s.CicAliasMode = alias ? 1 : 0;
    const CicWindowInputs in = CicWindowInputsOf(ctx.session.settings, ctx.session.workImage, channel);
    const CicWindowFrame f = ComputeCicWindowFrame(in, s);

    std::string text = "title " + f.labels.axisTitle + "\n";
    text += "fractions " + Joined(f.labels.denominators) + "\n";
    text += "ticks " + Joined(f.labels.mhzTicks) + "\n";
    text += "stretch " + f.labels.stretch + "\n";
    text += MarkerLine(f.alias ? -1 : f.markerColumn);
    if (!f.alias) {
        for (int i = 0; i < kResponsePoints; ++i) text += StrPrintf("%d %.17g %d\n", i, f.response[i], f.curveY[i]);
    } else {
        for (size_t m = 0; m < f.aliasView.rows.size(); ++m) {
            text += StrPrintf("zone %zu", m);
            for (int y : f.aliasView.rows[m]) text += StrPrintf(" %d", y);
            text += "\n";
        }
    }
    ctx.out << text;
    return kExitOk;
}

int RunPfirWindow(Context& ctx) {
    PfirWindowState s;
    int channel = 0;
    if (int status = TakeWindowOptions(ctx, PfirWindowStretchMax, "--ir", channel, s.PfirWindowStretch, s.impulseView))
        return status;
    const PfirWindowInputs in = PfirWindowInputsOf(ctx.session.settings, ctx.session, channel);
    const PfirWindowFrame f = ComputePfirWindowFrame(in, s);

    std::string text;
    if (!f.impulse) {
        text += "title " + f.axisTitle + "\n";
        text += "fractions " + Joined(f.denominators) + "\n";
        text += "ticks " + Joined(f.bottomTicks) + "\n";
        text += "stretch " + f.stretch + "\n";
        text += MarkerLine(f.markerColumn);
        for (int i = 0; i < kResponsePoints; ++i) text += StrPrintf("%d %.17g %d\n", i, f.response[i], f.curveY[i]);
    } else {
        text += "ticks " + Joined(f.bottomTicks) + "\n";
        text += "levels " + f.levelLabels.front() + " " + f.levelLabels.back() + "\n";
        for (int k = 0; k < f.tapPlot.count; ++k)
            text += StrPrintf("%d %d %d\n", k, static_cast<int>(in.taps[k]), f.tapPlot.rows[k]);
    }
    ctx.out << text;
    return kExitOk;
}

const char* ColourName(PanelTextColour c) { return c == PanelTextColour::Red ? "red" : "black"; }

int RunLengths(Context& ctx) {
    int channel = ctx.session.CurrentChannel;
    std::string error;
    if (!TakeChannelOption(ctx.args, ctx.session, channel, error, true)) return UsageError(ctx, error);
    if (!ctx.args.empty()) return UnexpectedArgument(ctx, ctx.args[0]);
    SelectChannel(ctx.session, channel);
    const FilterLengthAnalysis a = AnalyseFilterLength(ctx.session.settings, ctx.session, channel);

    std::string text = "cic_dec\t" + a.cicDecText + "\n";
    text += "fir_dec\t" + a.firDecText + "\n";
    for (int r = 0; r < kAllowedLengthRows; ++r) {
        const auto& row = a.rows[static_cast<size_t>(r)];
        text += StrPrintf("row%d\t", r + 1) + row[0] + "\t" + row[1] + "\t" + row[2] + "\n";
    }
    text += "kind\t" + a.kind + "\n";
    text += "length\t" + a.length + "\n";
    text += std::string("line1\t") + ColourName(a.line1Colour) + "\t" + a.line1 + "\n";
    text += std::string("line2\t") + ColourName(a.line2Colour) + "\t" + a.line2 + "\n";
    text += "line3\t" + a.line3 + "\n";
    text += "line4\t" + a.line4Phrase + "\t" + a.line4Number + "\t" + a.line4End + "\n";
    ctx.out << text;
    return kExitOk;
}

const bool registeredCic =
    RegisterCommand({"cicwindow", "[--channel A..D] [--stretch 1|2|4..512] [--alias]", RunCicWindow});
const bool registeredPfir = RegisterCommand({"pfirwindow", "[--channel A..D] [--stretch 1|2] [--ir]", RunPfirWindow});
const bool registeredLengths = RegisterCommand({"lengths", "[--channel A..D]", RunLengths});

}  // namespace
}  // namespace gc::batch
