#include "filters/coef_files.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "core/channel_rules.h"
#include "core/text_io.h"
#include "filters/pfir_fit.h"

namespace gc {

namespace {

// The leading decimal integer of a line ("%d" style: blanks, sign, digits);
// nullopt when the line holds none.
std::optional<long> LeadingInteger(const std::string& line, bool* whole = nullptr) {
    const char* text = line.c_str();
    const char* end = text;
    long v = CToLong(text, 10, &end);
    if (end == text) return std::nullopt;
    if (whole) *whole = std::string_view(end).find_first_not_of(" \t") == std::string_view::npos;
    return v;
}

int32_t LowWordSigned(long v) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<unsigned long>(v) & 0xFFFFu));
}

int32_t ClampToInt32(long v) {
    return static_cast<int32_t>(
        std::clamp<long>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

int ReadTapFile(const std::filesystem::path& path, TapBuffer& taps) {
    LineReader in(path);
    if (!in.is_open()) return -1;
    return ReadTapFile(in, taps);
}

int ReadTapFile(LineReader& in, TapBuffer& taps) {
    taps.fill(0);
    std::string line;
    int n = 0;
    while (n < kMaxTaps && in.Next(line)) {
        // Text after the last line break is an unfinished line: not taken.
        if (!in.lineEnded()) break;
        if (auto v = LeadingInteger(line)) taps[static_cast<size_t>(n++)] = LowWordSigned(*v);
    }
    return n;
}

int LoadPfirFile(ChipState& m, int channel, const std::filesystem::path& path, CoefFileErrorSink* errors,
                 const std::string& shownName) {
    if (!ValidChannel(channel)) return 0;
    TapBuffer taps;
    int n = ReadTapFile(path, taps);
    if (n <= 0) {
        if (errors) errors->ReportCoefFileError(shownName.empty() ? path.string() : shownName, n < 0);
        return 0;
    }
    auto& store = m.workImage.pfir[static_cast<size_t>(channel)].coef;
    std::fill(store.begin(), store.begin() + kMaxTaps, int16_t{0});
    for (int i = 0; i < n; ++i) store[static_cast<size_t>(i)] = static_cast<int16_t>(taps[static_cast<size_t>(i)]);
    return n;
}

std::string PfirFileName(const Settings& s, int channel) {
    // Joined as text: a name from a lab file that starts with '/' still stays below FILTERS/.
    std::string rel = "FILTERS/";
    if (ValidChannel(channel)) rel += s.NameOfPFIR[static_cast<size_t>(channel)];
    return rel;
}

std::filesystem::path PfirFilePath(const Settings& s, int channel, const Workspace& workspace) {
    return workspace.root / PfirFileName(s, channel);
}

int LoadAndFitChannel(const Settings& s, ChipState& m, int channel, CoefFileErrorSink* errors,
                      const Workspace& workspace) {
    if (!ValidChannel(channel)) return 0;
    int n = LoadPfirFile(m, channel, PfirFilePath(s, channel, workspace), errors, PfirFileName(s, channel));
    if (n > 0) {
        FitPfirToChannel(s, m, channel, n);
        m.workImage.ncoefs[channel] = static_cast<uint16_t>(n);
    }
    return n;
}

void ReloadAllPfirFiles(const Settings& s, ChipState& m, CoefFileErrorSink* errors, const Workspace& workspace) {
    for (int c = 0; c < kChannels; ++c) LoadAndFitChannel(s, m, c, errors, workspace);
}

int LoadChosenPfirFile(Settings& s, ChipState& m, int channel, const std::filesystem::path& chosen,
                       CoefFileErrorSink* errors) {
    if (!ValidChannel(channel)) return 0;
    s.NameOfPFIR[static_cast<size_t>(channel)] = BareFileName(chosen.string());
    int n = LoadPfirFile(m, channel, chosen, errors);
    if (n > 0) {
        FitPfirToChannel(s, m, channel, n);
        m.workImage.ncoefs[channel] = static_cast<uint16_t>(n);
    }
    return n;
}

void CopyChannelToAll(Settings& s, DecimationState& d, int source) {
    if (!ValidChannel(source)) return;
    const int i = source;
    for (int c = 0; c < kChannels; ++c) {
        s.CicDec[c] = s.CicDec[i];
        s.FirDec[c] = s.FirDec[i];
        s.InpADC[c] = s.InpADC[i];
        s.Gain[c] = s.Gain[i];
        s.OverallGain[c] = s.OverallGain[i];
        s.FreqNCO[c] = s.FreqNCO[i];
        s.PhaseNCO[c] = s.PhaseNCO[i];
        s.freq_sync[c] = s.freq_sync[i];
        s.phase_sync[c] = s.phase_sync[i];
        s.dith_sync[c] = s.dith_sync[i];
        s.nco_sync[c] = s.nco_sync[i];
        s.flush_sync[c] = s.flush_sync[i];
        s.cic_sync[c] = s.cic_sync[i];
        s.fir_sync[c] = s.fir_sync[i];
        s.coef_sync[c] = s.coef_sync[i];
        s.gain_sync[c] = s.gain_sync[i];
        s.pwr_mtr_sync[c] = s.pwr_mtr_sync[i];
        s.sck_sync[c] = s.sck_sync[i];
        s.NameOfPFIR[static_cast<size_t>(c)] = s.NameOfPFIR[static_cast<size_t>(i)];
        // The request goes with the filter designed for it.
        s.ReqPassHz[c] = s.ReqPassHz[i];
        s.ReqStopHz[c] = s.ReqStopHz[i];
        s.ReqRippleDb[c] = s.ReqRippleDb[i];
        s.ReqAttenDb[c] = s.ReqAttenDb[i];
    }
    for (int c = 0; c < kChannels; ++c) d.TotalDec[c] = ComputeTotalDec(s.CicDec[c], s.FirDec[c]);
}

FltConversion ConvertFltToTaps(const std::filesystem::path& fltPath, const Workspace& workspace) {
    FltConversion r;
    std::string name = BareFileName(fltPath.string());
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    name += ".taps";
    r.output = workspace.Filters() / name;

    LineReader in(fltPath, kTextOnly);
    if (!in.is_open()) {
        r.status = FltConversion::InputUnreadable;
        r.message = "Файл " + fltPath.string() + " не удалось открыть";
        return r;
    }
    std::string text;
    const FltConversion parsed = ConvertFltText(in, fltPath, text);
    if (parsed.status != FltConversion::Done) {
        r.status = parsed.status;
        r.message = parsed.message;
        r.countRead = parsed.countRead;
        return r;
    }
    const std::filesystem::path output = r.output;
    r = parsed;
    r.output = output;
    r.count = 0;
    r.failure = WriteFileSafely(r.output, text);
    if (!r.failure.ok()) {
        r.status = FltConversion::WriteFailed;
        r.message = "Не удалось записать " + r.output.string();
        return r;
    }
    r.count = parsed.count;
    return r;
}

std::string PfirTapsText(const std::vector<int32_t>& taps) {
    std::string text;
    text.reserve(taps.size() * 8);
    for (int32_t t : taps) text += StrPrintf(" %d\n", t);
    return text;
}

FltConversion ConvertFltText(LineReader& in, const std::filesystem::path& fltPath, std::string& text) {
    FltConversion r;
    text.clear();
    std::string line;
    std::optional<long> count;
    bool countWhole = true;
    if (in.Next(line) && in.Next(line)) count = LeadingInteger(line, &countWhole);
    if (!count || *count < 1 || *count > kMaxFltTaps) {
        r.status = FltConversion::BadCount;
        r.countRead = count;
        r.message = "Файл " + fltPath.string() + ": число коэффициентов во второй строке должно быть от 1 до " +
                    std::to_string(kMaxFltTaps) + (count ? ", а не " + std::to_string(*count) : ", а его там нет");
        return r;
    }

    if (!countWhole) r.countNotWhole = line;
    const int n = static_cast<int>(*count);
    int32_t last = 0;  // a tap line that is missing repeats the value before it
    int written = 0;
    while (written < n && in.Next(line)) {
        bool whole = true;
        if (auto v = LeadingInteger(line, &whole)) {
            last = ClampToInt32(*v);
            r.saturated += last != *v;
            r.notWhole += !whole;
            text += StrPrintf(" %d\n", last);
            ++written;
        }
    }
    r.padded = n - written;
    for (; written < n; ++written) text += StrPrintf(" %d\n", last);
    r.count = n;
    return r;
}

}  // namespace gc
