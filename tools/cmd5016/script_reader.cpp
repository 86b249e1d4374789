#include "script_reader.h"

#include <cmath>
#include <ostream>
#include <string_view>

#include "core/text_io.h"

namespace cmd5016 {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool ParseLong(const std::string& text, long& v) {
    const char* end = nullptr;
    v = gc::CToLong(text.c_str(), 10, &end);
    return end != text.c_str() && *end == '\0';
}

bool ParseDouble(const std::string& text, double& v) {
    const char* end = nullptr;
    v = gc::CToDouble(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && std::isfinite(v);
}

int32_t ClampInt(double v) {
    if (!(v > -2147483648.0)) return INT32_MIN;
    if (!(v < 2147483647.0)) return INT32_MAX;
    return static_cast<int32_t>(std::llround(v));
}

}  // namespace

ScriptRequest ApplyScript(gc::Settings& s, gc::DecimationState& d, gc::LineReader& in, std::ostream& warn) {
    ScriptRequest req;
    int splitiq = 0, rinRate = 1;
    int channel = -1;
    int lineNo = 0;
    std::string raw;
    while (in.Next(raw)) {
        ++lineNo;
        std::string_view line = raw;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        line = Trim(line);
        if (line.empty()) continue;
        size_t gap = line.find_first_of(" \t");
        // A view: comparing it with each known key first compares lengths.
        const std::string_view key = line.substr(0, gap);
        const std::string value(gap == std::string_view::npos ? std::string_view{} : Trim(line.substr(gap)));
        long n = 0;
        double x = 0.0;
        const bool isInt = ParseLong(value, n);
        const bool isNum = ParseDouble(value, x);
        const bool inChannel = channel >= 0 && channel < gc::kChannels;
        const size_t c = static_cast<size_t>(inChannel ? channel : 0);
        auto bad = [&] { warn << "cmd5016: line " << lineNo << ": cannot use '" << raw << "'\n"; };

        if (key == "mode") continue;  // both channel pairs always receive
        if (key == "print") {
            if (value == "table")
                req.printTable = true;
            else if (value == "gc101")
                req.printGc101 = true;
            else if (value == "analysis")
                req.printAnalysis = true;
            else
                bad();
        } else if (key == "fck" && isNum) {
            s.SystemClock = ClampInt(x * 1e6);
        } else if (key == "soB_sync" && isInt) {
            s.soB_sync = static_cast<int32_t>(n);
        } else if (key == "splitiq" && isInt) {
            splitiq = static_cast<int>(n);
        } else if (key == "routf_tdm" && isInt) {
            s.EnableTDM = static_cast<int32_t>(n);
        } else if (key == "channel" && isInt) {
            channel = n >= 0 && n < gc::kChannels ? static_cast<int>(n) : -1;
            if (channel < 0) bad();
        } else if (key == "bits" || key == "pins" || key == "fir_cmplx") {
            continue;  // fixed by the input mode
        } else if (key == "rin_rate" && isInt) {
            rinRate = static_cast<int>(n);
        } else if (!inChannel) {
            bad();
        } else if (key == "mix_rcv_sel" && isInt) {
            // The mixer selection tells only whether the channel's ADC is the first.
            s.InpADC[c] =
                (gc::kBoardModel == 1 || gc::kBoardModel == 3) ? static_cast<int32_t>(n & 3) : (n & 2 ? 1 : 0);
        } else if (key == "freq" && isNum) {
            s.FreqNCO[c] = ClampInt(-x * 1e6);
        } else if (key == "cic_dec" && isInt) {
            s.CicDec[c] = static_cast<int32_t>(n);
        } else if (key == "fir_dec" && isInt) {
            s.FirDec[c] = static_cast<int32_t>(n);
        } else if (key == "gain" && isNum) {
            s.Gain[c] = static_cast<float>(x);
        } else if (key == "overall_gain" && isNum) {
            s.OverallGain[c] = static_cast<float>(x);
        } else if (key == "fir_sync" && isInt) {
            s.fir_sync[c] = static_cast<int32_t>(n);
        } else if (key == "sck_sync" && isInt) {
            s.sck_sync[c] = static_cast<int32_t>(n);
        } else if (key == "nco_sync" && isInt) {
            s.nco_sync[c] = static_cast<int32_t>(n);
        } else if (key == "cic_sync" && isInt) {
            s.cic_sync[c] = static_cast<int32_t>(n);
        } else if (key == "fir_coef" && !value.empty()) {
            s.NameOfPFIR[c] = value;
        } else {
            bad();
        }
    }
    s.ModeOfInput = splitiq == 0 ? 0 : rinRate == 2 ? 2 : 1;
    for (int i = 0; i < gc::kChannels; ++i)
        d.TotalDec[i] = ClampInt(static_cast<double>(s.CicDec[i]) * static_cast<double>(s.FirDec[i]));
    return req;
}

}  // namespace cmd5016
