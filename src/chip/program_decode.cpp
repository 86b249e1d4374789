#include "chip/program_decode.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numbers>
#include <set>

#include "chip/derivation.h"
#include "chip/page_map.h"
#include "chip/program_file.h"
#include "core/channel_rules.h"
#include "core/text_io.h"

namespace gc {

namespace {

using Address = std::pair<unsigned, unsigned>;

constexpr unsigned PfirPage(int c, unsigned k) { return 32u * static_cast<unsigned>(c) + k; }
// A channel's CIC, NCO and mixer register k (0..7).
Address CicRegister(int c, unsigned k) { return {c < 2 ? 0x80u : 0xA0u, 16u + 8u * static_cast<unsigned>(c % 2) + k}; }

unsigned Bits(uint16_t word, int shift, int width) { return (word >> shift) & ((1u << width) - 1u); }

bool PairedMode(int mode) { return mode == 1 || mode == 2; }

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
    return s;
}

// A whole decimal integer (after "Key= "), nothing but blanks after it.
bool ParseInt(const std::string& text, int64_t& v, int base) {
    const char* p = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long x = std::strtoll(p, &end, base);
    if (end == p || errno != 0) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    v = x;
    return true;
}

// One triple line: three hexadecimal numbers (the writer's "0x" optional).
bool ParseTriple(const std::string& line, unsigned& page, unsigned& reg, unsigned& value) {
    const char* p = line.c_str();
    unsigned long v[3];
    for (unsigned long& x : v) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
        char* end = nullptr;
        errno = 0;
        x = std::strtoul(p, &end, 16);
        if (end == p || errno != 0) return false;
        p = end;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p || v[0] > 0xFF || v[1] > 0xFF || v[2] > 0xFFFF) return false;
    page = static_cast<unsigned>(v[0]);
    reg = static_cast<unsigned>(v[1]);
    value = static_cast<unsigned>(v[2]);
    return true;
}

void ParseHeaderLine(const std::string& line, ProgramHeader& h) {
    const size_t eq = line.find("= ");
    if (eq == std::string::npos) return;
    const std::string key = line.substr(0, eq);
    const std::string rest = line.substr(eq + 2);
    int64_t v = 0;
    const bool hex = key == "MaskADC" || key == "MaskDDC" || key == "CHAN";
    if (!ParseInt(rest, v, hex ? 16 : 10)) return;
    if (!hex && (v < INT32_MIN || v > INT32_MAX)) return;
    const int32_t i = static_cast<int32_t>(v);
    auto indexed = [&](const char* prefix, int32_t(&into)[kChannels]) {
        const size_t n = std::strlen(prefix);
        if (key.size() != n + 1 || key.compare(0, n, prefix) != 0 || key[n] < '0' || key[n] > '3') return false;
        into[key[n] - '0'] = i;
        return true;
    };
    if (key == "TrvType")
        h.trvType = i;
    else if (key == "Clock")
        h.clock = i;
    else if (key == "ModeOfDdc")
        h.mode = i;
    else if (key == "MaskADC")
        h.maskAdc = v;
    else if (key == "MaskDDC")
        h.maskDdc = v;
    else if (key == "CHAN")
        h.chan = v;
    else if (!indexed("Decimation Ch", h.decimation) && !indexed("FreqNCO", h.freq) && !indexed("ADC Ch", h.adc))
        return;
    h.seen[key] = true;
}

int BoardOfTitle(const std::string& line) {
    for (int b = 0; b < 4; ++b)
        if (line == StrPrintf("*** ProgFile DDC GC5016 for %s ***", BoardName(b))) return b;
    return -1;
}

bool IsTitle(const std::string& line) {
    const std::string head = "*** ProgFile DDC GC5016 for ";
    return line.compare(0, head.size(), head) == 0;
}

// The addresses this program writes, in its order.
const std::vector<Address>& OwnAddresses() {
    static const std::vector<Address> addresses = [] {
        std::vector<Address> a;
        for (RegisterWrite w : SynthesizeTriples(Settings{}, {}, std::nullopt))
            a.emplace_back(WritePage(w), WriteRegister(w));
        return a;
    }();
    return addresses;
}

// A channel's fitted set read off its coefficient RAM: blocks*16 words, taken
// back in the order the derivation laid them, then mirrored for a symmetric set.
std::vector<int32_t> TapsFromRam(const RegisterWords& words, int c, int blocks, int symtype) {
    std::vector<int32_t> half;
    for (int j = 0; j < 16 * blocks; ++j) {
        const unsigned row = static_cast<unsigned>(j / blocks), col = static_cast<unsigned>(blocks - 1 - j % blocks);
        auto it = words.find({PfirPage(c, row), 16u + col});
        half.push_back(it == words.end() ? 0 : static_cast<int16_t>(it->second));
    }
    if (symtype == 0) return half;
    std::vector<int32_t> taps = half;
    const size_t mirrored = symtype == 2 ? half.size() : half.size() - 1;
    for (size_t k = mirrored; k-- > 0;) taps.push_back(half[k]);
    return taps;
}

// Words of channel c's pages (coefficients, tables, PFIR and CIC registers)
// in which the synthesized list differs from the file.
int ChannelMismatches(const RegisterWords& words, const std::vector<RegisterWrite>& synth, int c) {
    int n = 0;
    for (RegisterWrite w : synth) {
        const unsigned page = WritePage(w), reg = WriteRegister(w);
        const bool own = page >= PfirPage(c, 0) && page <= PfirPage(c, 20);
        const Address cic0 = CicRegister(c, 0);
        const bool cic = page == cic0.first && reg >= cic0.second && reg < cic0.second + 8;
        if (!own && !cic) continue;
        auto it = words.find({page, reg});
        if (it == words.end() || it->second != WriteValue(w)) ++n;
    }
    return n;
}

// The phase in radians whose word is p: the middle of the word's step, then
// nudged until the derivation's own conversion gives p back.
float PhaseOfWord(uint16_t p) {
    const long double turn = 2.0L * std::numbers::pi_v<long double>;
    float phi = static_cast<float>((static_cast<long double>(p) + 0.5L) / 65536.0L * turn);
    for (int k = 0; k < 64 && PhaseWord(phi) != p; ++k) phi = std::nextafter(phi, PhaseWord(phi) < p ? 10.0f : -10.0f);
    return p == 0 ? 0.0f : phi;
}

// The integer frequency whose 48-bit word is w, preferring the header's.
std::optional<int32_t> FreqOfWord(int64_t w, int32_t clock, bool doubleRate, std::optional<int32_t> header) {
    if (header && NcoFreqWord(*header, clock, doubleRate) == w) return header;
    if (clock <= 0) return std::nullopt;
    const long double f = -static_cast<long double>(w) * clock / std::ldexp(1.0L, 48) / (doubleRate ? 2 : 1);
    const long double r = std::round(f);
    for (int d : {0, -1, 1, -2, 2}) {
        const long double c = r + d;
        if (c < INT32_MIN || c > INT32_MAX) continue;
        if (NcoFreqWord(static_cast<int64_t>(c), clock, doubleRate) == w) return static_cast<int32_t>(c);
    }
    return std::nullopt;
}

template <class T>
void CopyToPartners(T (&a)[kChannels]) {
    a[1] = a[0];
    a[3] = a[2];
}

struct Decoder {
    DecodedProgram& d;
    const RegisterWords& words;

    uint16_t Word(Address a) const {
        auto it = words.find(a);
        return it == words.end() ? 0 : it->second;
    }
    uint16_t Pfir(int c, unsigned page, unsigned reg) const { return Word({PfirPage(c, page), reg}); }
    uint16_t Cic(int c, unsigned k) const { return Word(CicRegister(c, k)); }
    void Note(DecodeNoteKind kind, std::string name, int channel = -1, int64_t a = 0, int64_t b = 0) {
        d.notes.push_back({kind, std::move(name), channel, 0, 0, a, b});
    }

    int Mode() const {
        const ProgramHeader& h = d.header;
        if (h.Has("ModeOfDdc")) return h.mode;
        // Without the header line: the PFIR runs complex only in Full rate; the CIC
        // takes two samples per clock only in Double rate.
        if (Bits(Pfir(0, 20, 18), 7, 1)) return 0;
        return Bits(Cic(0, 0), 10, 1) ? 2 : 1;
    }

    void Clock() {
        Settings& s = d.settings;
        if (d.header.Has("Clock"))
            s.SystemClock = d.header.clock;
        else
            Note(DecodeNoteKind::HeaderMissing, "Clock");
    }

    void ChannelSettings(int c, int mode) {
        Settings& s = d.settings;
        const ProgramHeader& h = d.header;
        const int rinRate = mode == 2 ? 2 : 1;
        s.CicDec[c] = (static_cast<int>(Bits(Cic(c, 7), 0, 12)) + 1) * rinRate;
        const int k = Bits(Pfir(c, 20, 18), 7, 1) + 1;
        const int swap = static_cast<int>(Bits(Pfir(c, 20, 16), 0, 4)) + 1;
        s.FirDec[c] = DerivedFirDec(swap / k);

        const uint16_t w16[3] = {Cic(c, 2), Cic(c, 3), Cic(c, 4)};
        int64_t w =
            static_cast<int64_t>(w16[0]) | static_cast<int64_t>(w16[1]) << 16 | static_cast<int64_t>(w16[2]) << 32;
        if (w & (int64_t{1} << 47)) w -= int64_t{1} << 48;
        const int hc = PairedMode(mode) ? c / 2 : c;  // the header line that carries channel c
        const std::string fkey = "FreqNCO" + std::to_string(hc);
        std::optional<int32_t> hf;
        if (h.Has(fkey)) hf = h.freq[hc];
        if (std::optional<int32_t> f = FreqOfWord(w, s.SystemClock, mode == 2, hf)) {
            s.FreqNCO[c] = *f;
            if (hf && *hf != *f) Note(DecodeNoteKind::HeaderDiffers, "FreqNCO", c, *hf, *f);
        } else {
            s.FreqNCO[c] = hf.value_or(0);
        }
        s.PhaseNCO[c] = PhaseOfWord(Cic(c, 1));
        if (Cic(c, 1) != 0) Note(DecodeNoteKind::Rounded, "PhaseNCO", c);

        const uint32_t g = Pfir(c, 19, 19) | (Bits(Pfir(c, 19, 20), 0, 3) << 16);
        s.Gain[c] = static_cast<float>(g) / 4096.0f;
        Note(DecodeNoteKind::Rounded, "Gain", c);

        const unsigned sel = Bits(Cic(c, 5), 0, 2);
        const std::string akey = "ADC Ch" + std::to_string(hc);
        if (h.Has(akey)) {
            s.InpADC[c] = h.adc[hc];
        } else {
            s.InpADC[c] = sel == 0 ? 0 : 1;
            if (sel != 0) Note(DecodeNoteKind::NotCarried, "InpADC", c);
        }

        const uint16_t r6 = Cic(c, 6), r7 = Cic(c, 7), p21 = Pfir(c, 20, 21);
        s.freq_sync[c] = static_cast<int32_t>(Bits(r6, 0, 3));
        // phase_sync (3 bits from bit 3) and dith_sync (from bit 5) share bit 5:
        // it is taken as phase_sync's, whose usual codes use it.
        s.phase_sync[c] = static_cast<int32_t>(Bits(r6, 3, 3));
        s.dith_sync[c] = static_cast<int32_t>(Bits(r6, 6, 3) << 1);
        if (Bits(r6, 5, 1)) Note(DecodeNoteKind::OverlappingSync, "phase_sync", c);
        s.nco_sync[c] = static_cast<int32_t>(Bits(r6, 9, 3));
        s.flush_sync[c] = static_cast<int32_t>(Bits(r6, 12, 3));
        s.cic_sync[c] = static_cast<int32_t>(Bits(r7, 12, 3));
        s.fir_sync[c] = static_cast<int32_t>(Bits(p21, 0, 3));
        s.coef_sync[c] = static_cast<int32_t>(Bits(p21, 3, 3));
        s.gain_sync[c] = static_cast<int32_t>(Bits(p21, 6, 3));
        s.pwr_mtr_sync[c] = static_cast<int32_t>(Bits(p21, 9, 3));
        s.sck_sync[c] = static_cast<int32_t>(Bits(p21, 12, 3));
    }

    int Blocks(int c) const { return static_cast<int>(Bits(Pfir(c, 20, 17), 4, 4)) + 1; }

    // Picks, among candidate sets for channel c, the one whose derivation
    // writes the channel's words as the file has them.
    void ChooseTaps(int c, const std::vector<std::vector<int32_t>>& candidates) {
        int best = -1;
        std::vector<int32_t> chosen;
        for (const std::vector<int32_t>& cand : candidates) {
            d.taps[static_cast<size_t>(c)] = cand;
            const int n = ChannelMismatches(words, SynthesizeTriples(d.settings, d.taps, d.manualShift), c);
            if (best < 0 || n < best) {
                best = n;
                chosen = cand;
            }
        }
        d.taps[static_cast<size_t>(c)] = chosen;
    }

    void Taps(int mode) {
        for (int c = 0; c < kChannels; ++c) {
            const int s = SourceChannel(mode, c);
            if (s != c) continue;
            const int blocks = Blocks(c);
            if (Bits(Cic(c, 0), 13, 1))
                d.taps[static_cast<size_t>(c)] = TapsFromRam(words, c, blocks, 0);
            else
                ChooseTaps(c, {TapsFromRam(words, c, blocks, 2), TapsFromRam(words, c, blocks, 1)});
            ManualShift(c);
        }
        // B and D: their RAM takes their own set over the first channel's.
        for (int c = 0; c < kChannels; ++c) {
            const int s = SourceChannel(mode, c);
            if (s != c) PartnerTaps(c, s, mode);
        }
    }

    // Columns of channel c's coefficient RAM that hold anything.
    int UsedColumns(int c) const {
        int used = 1;
        for (unsigned row = 0; row < 16; ++row)
            for (unsigned col = 0; col < 16; ++col)
                if (Pfir(c, row, 16 + col) != 0) used = std::max(used, static_cast<int>(col) + 1);
        return used;
    }

    // A partner channel runs its own set only in its coefficient RAM: the first
    // channel's set when that writes the RAM as found, else the RAM read as an
    // unsymmetric set, with decimations under which the fit keeps its length.
    void PartnerTaps(int c, int s, int mode) {
        const size_t k = static_cast<size_t>(c);
        d.taps[k] = d.taps[static_cast<size_t>(s)];
        const int same = ChannelMismatches(words, SynthesizeTriples(d.settings, d.taps, d.manualShift), c);
        if (same == 0) return;
        const int blocks = UsedColumns(c);
        std::vector<int32_t> own = TapsFromRam(words, c, blocks, 0);
        std::swap(d.taps[k], own);
        if (ChannelMismatches(words, SynthesizeTriples(d.settings, d.taps, d.manualShift), c) >= same) {
            std::swap(d.taps[k], own);
            return;
        }
        // Step 16 and a CIC limit of at least 16 * blocks taps.
        d.settings.FirDec[c] = 1;
        d.settings.CicDec[c] = std::max(d.settings.CicDec[s], blocks * (mode == 2 ? 2 : 1));
    }

    // A shift that does not follow from the taps was set by hand ("ЛЧМ"): the
    // file then holds scaled words, taken here as the taps themselves.
    void ManualShift(int c) {
        const std::vector<int32_t>& t = d.taps[static_cast<size_t>(c)];
        const CoefSetInfo info = ScanTaps(static_cast<int>(t.size()), [&](int i) { return t[static_cast<size_t>(i)]; });
        const unsigned computed = FirShift(info.sumtap).shift & 7u;
        const unsigned written = Bits(Pfir(c, 20, 18), 0, 3);
        if (computed == written) return;
        if (!d.manualShift) {
            d.manualShift = static_cast<int>(written);
            d.settings.shiftFir = static_cast<int32_t>(written);
            d.settings.scaleFir = 1.0f;
        }
        Note(DecodeNoteKind::ManualShift, "fir_shift", c, written, computed);
    }

    void HeaderChecks(int mode) {
        const ProgramHeader& h = d.header;
        const Settings& s = d.settings;
        for (const char* key : {"TrvType", "ModeOfDdc", "MaskADC", "MaskDDC", "CHAN"})
            if (!h.Has(key)) Note(DecodeNoteKind::HeaderMissing, key);
        if (h.board != kBoardModel || (h.Has("TrvType") && h.trvType != kBoardModel))
            Note(DecodeNoteKind::OtherBoard, "TrvType", -1, h.Has("TrvType") ? h.trvType : h.board);
        if (h.Has("MaskDDC") && h.Has("CHAN") && h.maskDdc != h.chan)
            Note(DecodeNoteKind::HeaderDiffers, "CHAN", -1, h.chan, h.maskDdc);
        if (h.Has("ModeOfDdc")) {
            const int regs = Bits(Pfir(0, 20, 18), 7, 1) ? 0 : (Bits(Cic(0, 0), 10, 1) ? 2 : 1);
            if (regs != EffectiveInputMode(s)) Note(DecodeNoteKind::HeaderDiffers, "ModeOfDdc", -1, h.mode, regs);
        }
        const int lines = PairedMode(mode) ? 2 : kChannels;
        for (int n = 0; n < lines; ++n) {
            const int c = PairedMode(mode) ? 2 * n : n;
            const std::string key = "Decimation Ch" + std::to_string(n);
            const int32_t total = ComputeTotalDec(s.CicDec[c], s.FirDec[c]);
            if (h.Has(key) && h.decimation[n] != total)
                Note(DecodeNoteKind::HeaderDiffers, "Decimation", c, h.decimation[n], total);
        }
        if (h.Has("MaskADC")) {
            auto chip = std::make_unique<ChipState>();
            chip->ChannelMask = PairedMode(mode) ? s.MaskChan2x : s.MaskChan4x;
            const int mask = ComputeAdcMask(s, *chip);
            if (mask != h.maskAdc) Note(DecodeNoteKind::HeaderDiffers, "MaskADC", -1, h.maskAdc, mask);
        }
    }

    void NotCarried(int mode) {
        for (const char* name :
             {"FullDebug", "TypeOfModule", "sync_mode", "IndexFilter", "NumTapsFilter", "Deviation", "Obkatka"})
            Note(DecodeNoteKind::NotCarried, name);
        Note(DecodeNoteKind::NotCarried, "OverallGain");
        Note(DecodeNoteKind::NotCarried, PairedMode(mode) ? "MaskChan4x" : "MaskChan2x");
        for (int m = 0; m < 3; ++m)
            if (m != EffectiveInputMode(d.settings))
                Note(DecodeNoteKind::NotCarried, "CicM" + std::to_string(m) + "Dec");
        if (!d.manualShift) {
            Note(DecodeNoteKind::NotCarried, "shiftFir");
            Note(DecodeNoteKind::NotCarried, "scaleFir");
        }
        Note(DecodeNoteKind::NotCarried, "NameOfPFIR");
        // The channels' requests are what the configuration was made for, not what the chip runs.
        for (const char* name : {"ReqPassHz", "ReqStopHz", "ReqRippleDb", "ReqAttenDb"})
            Note(DecodeNoteKind::NotCarried, name);
        // The coefficient files' own taps, before the fit cut or padded them.
        Note(DecodeNoteKind::NotCarried, "loaded taps");
        if (PairedMode(mode)) {
            Note(DecodeNoteKind::PairFollows, "", 1);
            Note(DecodeNoteKind::PairFollows, "", 3);
        }
    }

    void Run() {
        Settings& s = d.settings;
        const ProgramHeader& h = d.header;
        Clock();
        s.ModeOfInput = Mode();
        const int mode = EffectiveInputMode(s);
        const int64_t mask = h.Has("MaskDDC") ? h.maskDdc : (PairedMode(mode) ? 3 : 15);
        (PairedMode(mode) ? s.MaskChan2x : s.MaskChan4x) = static_cast<int32_t>(mask & 0x7FFFFFFF);
        s.EnableTDM = static_cast<int32_t>(Bits(Pfir(0, 19, 30), 11, 1));
        s.soB_sync = static_cast<int32_t>(Bits(Word({0, 1}), 0, 3));
        s.sck_div = static_cast<int32_t>(Bits(Pfir(0, 19, 17), 8, 4));
        for (int c = 0; c < kChannels; ++c)
            if (SourceChannel(mode, c) == c) ChannelSettings(c, mode);
        if (PairedMode(mode)) {
            for (auto* a :
                 {&s.CicDec, &s.FirDec, &s.InpADC, &s.FreqNCO, &s.freq_sync, &s.phase_sync, &s.dith_sync, &s.nco_sync,
                  &s.flush_sync, &s.cic_sync, &s.fir_sync, &s.coef_sync, &s.gain_sync, &s.pwr_mtr_sync, &s.sck_sync})
                CopyToPartners(*a);
            CopyToPartners(s.Gain);
            CopyToPartners(s.PhaseNCO);
        }
        Taps(mode);
        int32_t* store = mode == 0 ? s.CicM0Dec : (mode == 1 ? s.CicM1Dec : s.CicM2Dec);
        std::copy(s.CicDec, s.CicDec + kChannels, store);
        HeaderChecks(mode);
        NotCarried(mode);
    }
};

void CompareWithSynthesis(DecodedProgram& d) {
    const std::vector<RegisterWrite> synth = SynthesizeTriples(d.settings, d.taps, d.manualShift);
    d.reproduces = true;
    for (RegisterWrite w : synth) {
        auto it = d.words.find({WritePage(w), WriteRegister(w)});
        if (it == d.words.end()) {
            d.reproduces = false;
            continue;  // reported as missing
        }
        if (it->second != WriteValue(w)) {
            d.reproduces = false;
            d.notes.push_back(
                {DecodeNoteKind::NotReproduced, "", -1, WritePage(w), WriteRegister(w), it->second, WriteValue(w)});
        }
    }
}

}  // namespace

std::vector<RegisterWrite> SynthesizeTriples(const Settings& settings,
                                             const std::array<std::vector<int32_t>, kChannels>& taps,
                                             std::optional<int> manualShift) {
    auto chip = std::make_unique<ChipState>();
    for (int c = 0; c < kChannels; ++c) {
        const std::vector<int32_t>& t = taps[static_cast<size_t>(c)];
        const int n = static_cast<int>(std::min<size_t>(t.size(), kMaxTaps));
        std::copy_n(t.begin(), n, chip->fittedTaps[static_cast<size_t>(c)].begin());
        CoefSetInfo info = ScanTaps(n, [&](int i) { return t[static_cast<size_t>(i)]; });
        info.ntaps = static_cast<uint16_t>(n);
        info.nblocks = BlocksOfSet(n, info);
        chip->coefSetInfo[static_cast<size_t>(c)] = info;
    }
    chip->ManualFirShift = manualShift;
    CopySckDiv(settings, chip->workImage);
    DeriveRegisters(settings, *chip);
    PrepareProgram(settings, *chip);
    const RegisterWriteList& list = chip->registerWriteList;
    return {list.writes.begin(), list.writes.begin() + std::clamp(list.count, 0, kRegisterWriteCapacity)};
}

DecodeResult DecodeProgramText(std::string_view text) {
    DecodeResult r;
    DecodedProgram& d = r.program;
    std::vector<std::string> lines = SplitLines(text);
    // A cut file may end inside a triple, whose digits would then read as another value.
    if (!text.empty() && text.back() != '\n' && !lines.empty()) {
        lines.pop_back();
        d.notes.push_back({DecodeNoteKind::UnfinishedLine, ""});
    }
    size_t i = 0;
    while (i < lines.size() && TrimRight(lines[i]).empty()) ++i;
    if (i == lines.size()) {
        r.refusal = DecodeRefusal::Empty;
        return r;
    }
    const std::string title = TrimRight(lines[i]);
    if (!IsTitle(title)) {
        r.refusal = DecodeRefusal::NotProgram;
        r.line = static_cast<int>(i) + 1;
        return r;
    }
    d.header.board = BoardOfTitle(title);
    for (++i; i < lines.size(); ++i) {
        const std::string line = TrimRight(lines[i]);
        if (line == "Page    Reg    Value") break;
        ParseHeaderLine(line, d.header);
    }
    if (i == lines.size()) {
        r.refusal = DecodeRefusal::NoTripleList;
        return r;
    }
    for (++i; i < lines.size(); ++i) {
        const std::string line = TrimRight(lines[i]);
        if (line.empty()) continue;
        unsigned page = 0, reg = 0, value = 0;
        if (!ParseTriple(line, page, reg, value)) {
            r.refusal = DecodeRefusal::BadTriple;
            r.line = static_cast<int>(i) + 1;
            return r;
        }
        if (d.triples.size() >= static_cast<size_t>(kRegisterWriteCapacity)) {
            r.refusal = DecodeRefusal::TooManyTriples;
            r.line = static_cast<int>(i) + 1;
            return r;
        }
        d.triples.push_back(MakeRegisterWrite(page, reg, value));
    }
    if (d.triples.empty()) {
        r.refusal = DecodeRefusal::NoTriples;
        return r;
    }

    std::set<Address> repeated;
    for (RegisterWrite w : d.triples) {
        const Address a{WritePage(w), WriteRegister(w)};
        auto [it, fresh] = d.words.emplace(a, static_cast<uint16_t>(WriteValue(w)));
        if (fresh) continue;
        if (it->second != WriteValue(w)) {
            r.refusal = DecodeRefusal::Contradiction;
            r.page = a.first;
            r.reg = a.second;
            r.first = it->second;
            r.second = static_cast<uint16_t>(WriteValue(w));
            return r;
        }
        repeated.insert(a);
    }
    for (const Address& a : repeated) d.notes.push_back({DecodeNoteKind::Repeated, "", -1, a.first, a.second});

    const std::vector<Address>& own = OwnAddresses();
    const std::set<Address> known(own.begin(), own.end());
    for (RegisterWrite w : d.triples) {
        const Address a{WritePage(w), WriteRegister(w)};
        if (!known.count(a))
            d.notes.push_back({DecodeNoteKind::UnknownRegister, "", -1, a.first, a.second, WriteValue(w)});
    }
    for (const Address& a : own)
        if (!d.words.count(a)) d.notes.push_back({DecodeNoteKind::MissingRegister, "", -1, a.first, a.second});
    bool sameOrder = d.triples.size() == own.size();
    for (size_t k = 0; sameOrder && k < own.size(); ++k)
        sameOrder = Address{WritePage(d.triples[k]), WriteRegister(d.triples[k])} == own[k];
    if (!sameOrder) d.notes.push_back({DecodeNoteKind::OtherOrder, ""});

    Decoder{d, d.words}.Run();
    CompareWithSynthesis(d);
    return r;
}

}  // namespace gc
