#include "chip/program_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "chip/chip_tool.h"
#include "chip/command_script.h"
#include "chip/derivation.h"
#include "chip/page_map.h"
#include "core/lab_file.h"
#include "core/text_io.h"

namespace gc {

namespace {

bool PairedMode(int mode) { return mode == 1 || mode == 2; }

void SetAdcBit(int& mask, int adc) {
    if (adc >= 0 && adc <= 3) mask |= 1 << adc;
}

// One hexadecimal number as the C library scans "%x": white space, an optional
// sign and "0x" are accepted; the value keeps its low 16 bits.
bool ScanHex16(const char*& text, uint16_t& value) {
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 16);
    if (end == text) return false;
    text = end;
    value = static_cast<uint16_t>(v);
    return true;
}

bool ParseGc101Line(const std::string& line, Gc101Pair& pair) {
    // The first six characters are the tool's own prefix.
    if (line.size() < 7) return false;
    const char* p = line.c_str() + 6;
    return ScanHex16(p, pair.address) && ScanHex16(p, pair.value);
}

// Calls put(k, value) for the values of the (up to 16) pairs that follow the
// first select of page among the first n pairs, stopping at n.
template <class Put>
void CopyPageAfterSelect(const Gc101List& list, int n, unsigned page, Put put) {
    n = std::clamp(n, 0, list.count);
    for (int i = 0; i < n; ++i) {
        const Gc101Pair& p = list.pairs[static_cast<size_t>(i)];
        if (p.address != 2 || p.value != page) continue;
        for (int k = 0; k < 16 && i + 1 + k < n; ++k) put(k, list.pairs[static_cast<size_t>(i + 1 + k)].value);
        return;
    }
}

const char* const kMinDecimModeLines[3] = {"Full rate равно 8 !", "SplitIQ rate равно 4 !", "Double rate равно 8 !"};

const int32_t* StoredCicDec(const Settings& s, int mode) {
    const int32_t* store = ModeCicStore(s, mode);
    return store ? store : s.CicDec;
}

}  // namespace

int ComputeAdcMask(const Settings& s, const ChipState& m) {
    int mask = 0;
    const int mode = EffectiveInputMode(s);
    if (PairedMode(mode)) {
        for (int i = 0; i < 2; ++i)
            if (m.ChannelMask & (1 << i)) SetAdcBit(mask, s.InpADC[2 * i]);
        if (mode == 1) mask |= 1;
    } else {
        for (int n = 0; n < kChannels; ++n)
            if (m.ChannelMask & (1 << n)) SetAdcBit(mask, s.InpADC[n]);
        mask |= 1;
    }
    return mask;
}

std::string FormatProgramFile(const Settings& s, const DecimationState& d, const ChipState& m) {
    std::string out;
    out += StrPrintf("*** ProgFile DDC GC5016 for %s ***\n", BoardName(kBoardModel));
    out += StrPrintf("TrvType= %d\n", kBoardModel);
    out += StrPrintf("Clock= %d\n", s.SystemClock);
    out += StrPrintf("ModeOfDdc= %d\n", s.ModeOfInput);
    out += StrPrintf("MaskADC= 0x%x\n", static_cast<unsigned>(m.AdcMask));
    out += StrPrintf("MaskDDC= 0x%x\n", static_cast<unsigned>(m.ChannelMask));
    out += StrPrintf("CHAN= 0x%x\n", static_cast<unsigned>(m.ChannelMask));
    if (PairedMode(EffectiveInputMode(s))) {
        // Two channel pairs: A+B and C+D, each described by its first channel.
        out += StrPrintf("Decimation Ch0= %d\n", d.TotalDec[0]);
        out += StrPrintf("Decimation Ch1= %d\n", d.TotalDec[2]);
        out += "Decimation Ch2= 0\nDecimation Ch3= 0\n";
        for (int n = 0; n < kChannels; ++n) out += StrPrintf("FreqNCO%d= %d\n", n, s.FreqNCO[2 * (n % 2)]);
        for (int n = 0; n < kChannels; ++n) out += StrPrintf("ADC Ch%d= %d\n", n, s.InpADC[2 * (n % 2)]);
    } else {
        for (int n = 0; n < kChannels; ++n) out += StrPrintf("Decimation Ch%d= %d\n", n, d.TotalDec[n]);
        for (int n = 0; n < kChannels; ++n) out += StrPrintf("FreqNCO%d= %d\n", n, s.FreqNCO[n]);
        for (int n = 0; n < kChannels; ++n) out += StrPrintf("ADC Ch%d= %d\n", n, s.InpADC[n]);
    }
    out += "Page    Reg    Value \n";
    const RegisterWriteList& list = m.registerWriteList;
    const int count = std::clamp(list.count, 0, kRegisterWriteCapacity);
    out.reserve(out.size() + static_cast<size_t>(count) * 24);
    char line[64];
    for (int i = 0; i < count; ++i) {
        RegisterWrite w = list.writes[static_cast<size_t>(i)];
        int n = std::snprintf(line, sizeof line, "0x%-2x    0x%-2x   0x%-4x\n", WritePage(w), WriteRegister(w),
                              WriteValue(w));
        out.append(line, static_cast<size_t>(n));
    }
    return out;
}

bool WriteProgramFile(const Settings& s, const DecimationState& d, ChipState& m, const std::filesystem::path& path) {
    m.AdcMask = ComputeAdcMask(s, m);
    return WriteFileAtomic(path, FormatProgramFile(s, d, m));
}

void PrepareProgram(const Settings& s, ChipState& m) {
    FillPage16Tables(s, m);
    FillPage17Tables(s, m);
    BuildRegisterWriteList(s, m);
}

int ReadGc101File(const std::filesystem::path& path, Gc101List& list) {
    LineReader in(path, kTextOnly);
    if (!in.is_open()) return -1;
    return ReadGc101File(in, list);
}

int ReadGc101File(LineReader& in, Gc101List& list) {
    std::string line;
    // Only the first 2000 lines count, whether or not each holds a pair, so
    // that a skipped line never lets a later one in.
    list.count = 0;
    list.skipped = 0;
    size_t k = 0;
    for (; k < static_cast<size_t>(kGc101Capacity) && in.Next(line); ++k) {
        // The tool ends every line; a line cut off at the end is not trusted.
        if (!in.lineEnded()) {
            ++list.skipped;
            break;
        }
        Gc101Pair pair;
        if (ParseGc101Line(line, pair))
            list.pairs[static_cast<size_t>(list.count++)] = pair;
        else
            ++list.skipped;
    }
    list.beyondLimit = k == static_cast<size_t>(kGc101Capacity) && in.Next(line);
    return list.count;
}

void Gc101ToRegisterWrites(ChipState& m, const Gc101List& list, int n) {
    RegisterWriteList& out = m.registerWriteList;
    out.count = 0;
    n = std::clamp(n, 0, list.count);
    unsigned page = 0;
    for (int i = 0; i < n && out.count < kRegisterWriteCapacity; ++i) {
        const Gc101Pair& p = list.pairs[static_cast<size_t>(i)];
        if (p.address == 2) {
            page = p.value;
            continue;
        }
        out.writes[static_cast<size_t>(out.count++)] = MakeRegisterWrite(page & 0xFF, p.address & 0xFF, p.value);
    }
}

void TakeToolTables(ChipState& m, const Gc101List& list, int n) {
    for (int c = 0; c < kChannels; ++c) {
        std::span<int16_t, 16> t = ToolPage17Table(m, c);
        CopyPageAfterSelect(list, n, 32u * static_cast<unsigned>(c) + 17,
                            [&](int k, uint16_t v) { t[static_cast<size_t>(k)] = static_cast<int16_t>(v); });
    }
    for (int c = 0; c < kChannels; ++c) {
        std::span<int16_t, 16> t = ToolPage16Table(m, c);
        CopyPageAfterSelect(list, n, 32u * static_cast<unsigned>(c) + 16,
                            [&](int k, uint16_t v) { t[static_cast<size_t>(k)] = static_cast<int16_t>(v); });
    }
}

int MissingToolPage(const Gc101List& list, int n) {
    for (unsigned page : {16u, 17u})
        for (unsigned c = 0; c < kChannels; ++c) {
            int words = 0;
            CopyPageAfterSelect(list, n, 32u * c + page, [&](int, uint16_t) { ++words; });
            if (words < 16) return static_cast<int>(32u * c + page);
        }
    return -1;
}

int ReadBackPage17(ChipState& m, const std::filesystem::path& path) {
    Gc101List list;
    int n = ReadGc101File(path, list);
    for (int c = 0; c < kChannels; ++c) {
        PageTable& t = m.readBackPage17Table[static_cast<size_t>(c)];
        CopyPageAfterSelect(list, n, 32u * static_cast<unsigned>(c) + 17,
                            [&](int k, uint16_t v) { t[static_cast<size_t>(k)] = v; });
    }
    return n;
}

std::string Gc101ProgramName(std::string_view chosenPath) {
    std::string name = BareFileName(chosenPath);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

SaveCheck CheckSaveDecimations(const Settings& s, const DecimationState& d) {
    // A damaged input mode has no stored decimations: CicDec is what the chip
    // gets, checked by the Full rate rules.
    const int32_t* cic = StoredCicDec(s, s.ModeOfInput);
    const int mode = EffectiveInputMode(s);
    int64_t t[kChannels];
    for (int i = 0; i < kChannels; ++i) t[i] = static_cast<int64_t>(cic[i]) * s.FirDec[i];
    bool agree = PairedMode(mode) ? t[2] == t[0] : (t[1] == t[0] && t[2] == t[0] && t[3] == t[0]);
    if (!agree) return {SaveNotice::DecimMismatch, ""};
    if (t[0] < d.MinTotalDec[mode]) return {SaveNotice::MinDecim, kMinDecimModeLines[mode]};
    return {};
}

std::vector<std::string> SaveNoticeLines(const SaveCheck& check) {
    switch (check.notice) {
        case SaveNotice::DecimMismatch:
            return {"Значения коэффициентов децимации каналов", " различаются !", "Файл не может быть записан !"};
        case SaveNotice::MinDecim:
            return {"Минимальное значение коэффициента децимации", std::string("в режиме ") + check.modeLine,
                    "Файл не может быть записан !"};
        case SaveNotice::None:
            break;
    }
    return {};
}

}  // namespace gc
