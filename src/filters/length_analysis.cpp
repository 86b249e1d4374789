#include "filters/length_analysis.h"

#include <algorithm>

#include "filters/pfir_fit.h"

namespace gc {

FilterLengthAnalysis AnalyseFilterLength(int modeOfInput, int cicDec, int firDec, int n, bool symmetric) {
    FilterLengthAnalysis a;
    a.cicDecText = std::to_string(cicDec);
    a.firDecText = std::to_string(firDec);

    const PfirLength lim = PfirLengthLimit(modeOfInput, cicDec, firDec);
    a.step = lim.step;
    a.count = std::clamp(lim.count, 0, kAllowedLengthRows);
    for (int r = 0; r < a.count; ++r) {
        const int L = a.step * r + a.step;
        a.rows[r] = {std::to_string(L), std::to_string(2 * L - 1), std::to_string(2 * L)};
    }

    a.kind = symmetric ? "симметричный фильтр" : "несимметричный фильтр";
    a.maxFilterLength = PfirMaxLength(lim, symmetric, n);
    const int inc = symmetric ? 2 * lim.step : lim.step;
    a.length = std::to_string(n);
    a.nextFilterLength = n;

    if (n > a.maxFilterLength) {
        a.line1Colour = a.line2Colour = PanelTextColour::Red;
        a.line1 = "      Длина фильтра";
        a.line2 = "     слишком велика !";
        a.line3 = "    Фильтр будет усечен";
        a.line4Phrase = "до длины";
        a.line4Number = std::to_string(a.maxFilterLength);
        a.line4End = std::string("!");
    } else if (n < a.maxFilterLength) {
        a.line1Colour = a.line2Colour = PanelTextColour::Red;
        a.line1 = "Возможно использование";
        a.line2 = "фильтра большей длины !";
        for (int j = 0; j < lim.count; ++j) {
            if (a.maxFilterLength - inc * j > n && a.maxFilterLength - inc * (j + 1) < n) {
                a.nextFilterLength = a.maxFilterLength - inc * j;
                break;
            }
        }
        if (a.nextFilterLength != n) {
            a.line3 = "Фильтр будет дополнен 0 ";
            a.line4Phrase = " до длины";
            a.line4Number = std::to_string(a.nextFilterLength);
            a.line4End = std::string("!");
        }
    }
    return a;
}

FilterLengthAnalysis AnalyseFilterLength(const Settings& s, const ChipState& m, int channel) {
    const int ch = std::clamp(channel, 0, kChannels - 1);
    return AnalyseFilterLength(s.ModeOfInput, s.CicDec[ch], s.FirDec[ch], m.workImage.ncoefs[ch],
                               m.coefSetInfo[ch].symmetric != 0);
}

}  // namespace gc
