#include "batch/channel_select.h"

#include "app/derivation.h"
#include "batch/batch.h"

namespace gc::batch {

void SelectChannel(Model& m, int channel) {
    m.CurrentChannel = channel;
    Settings& s = m.settings;
    CicChannelRegs& cic = m.workImage.cic[static_cast<size_t>(channel)];
    const CicShiftResult shift = CicShift(m.workImage.cic_dec[channel]);
    cic.cic_shift = shift.shift;
    cic.cic_norm = shift.norm;
    m.TotalDec[channel] = s.CicDec[channel] * s.FirDec[channel];
    // A zero total (from a damaged lab file) gives no rate rather than infinity.
    m.OutputRate[channel] =
        m.TotalDec[channel] != 0 ? static_cast<float>(static_cast<double>(s.SystemClock) / m.TotalDec[channel]) : 0.0f;
    DeriveRegisters(m);
}

bool TakeChannelOption(std::vector<std::string>& args, const Model& m, int& channel, std::string& error) {
    std::string text;
    if (!TakeOption(args, "--channel", text, error)) return error.empty();
    const int c = ParseChannel(text);
    if (c < 0) {
        error = "--channel takes A, B, C or D, not '" + text + "'";
        return false;
    }
    const int mode = m.settings.ModeOfInput;
    if ((mode == 1 || mode == 2) && (c == 1 || c == 3)) {
        error = "channel " + text + " is paired with the one before it in this input mode";
        return false;
    }
    channel = c;
    return true;
}

}  // namespace gc::batch
