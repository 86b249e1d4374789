#include "session/decode_commands.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include "chip/derivation.h"
#include "chip/page_map.h"
#include "core/lab_file.h"
#include "core/param_table.h"
#include "core/text_io.h"
#include "filters/pfir_design.h"
#include "filters/pfir_fit.h"
#include "session/command_result.h"
#include "session/command_status.h"

namespace gc {

namespace fs = std::filesystem;
using command_result::Refused;
using command_result::WriteInto;

namespace {

char Letter(int c) { return static_cast<char>('A' + c); }

std::string ChannelText(int c) { return c < 0 ? std::string() : std::string(" of channel ") + Letter(c); }

// The settings, by name and channel (-1: every channel), that a decoded file
// does not determine (and, with rounded, those it holds only rounded).
std::set<std::pair<std::string, int>> UncarriedSettings(const DecodedProgram& d, bool rounded) {
    std::set<std::pair<std::string, int>> out;
    for (const DecodeNote& n : d.notes) {
        if (n.kind == DecodeNoteKind::NotCarried || (rounded && n.kind == DecodeNoteKind::Rounded))
            out.insert({n.name, n.channel});
        if (n.kind == DecodeNoteKind::PairFollows) out.insert({"", n.channel});
    }
    return out;
}

bool Uncarried(const std::set<std::pair<std::string, int>>& u, const std::string& name, int k) {
    // The coefficient-file names go by one note for all four.
    const std::string base = name.rfind("NameOfPFIR", 0) == 0 ? "NameOfPFIR" : name;
    return u.count({base, -1}) || u.count({base, k}) || (k >= 0 && u.count({"", k}));
}

std::string ValueText(const Settings& s, const SettingParam& e, int k) {
    if (e.type == ParamType::String) return ParamGetText(s, e, k);
    const double v = ParamGetNumber(s, e, k);
    return e.type == ParamType::Float ? StrPrintf("%.9g", v) : StrPrintf("%.0f", v);
}

// The name without the colon and blank the coefficient-file names end in.
std::string SettingName(const SettingParam& e) {
    std::string name = e.name;
    while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.pop_back();
    return name;
}

std::string SettingKey(const SettingParam& e, int k) {
    return e.count == ParamCount::Scalar ? SettingName(e) : SettingName(e) + "." + Letter(k);
}

// The start of a file, to tell a lab file from a program file by its title.
std::string FileHead(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char buf[64] = {};
    in.read(buf, sizeof buf);
    return std::string(buf, static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
}

bool IsProgramFile(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return ext == ".prg" || FileHead(path).rfind("*** ProgFile", 0) == 0;
}

// The taps a channel's fit runs, as the chain analysis and the registers see them.
bool SameChain(const DdcChannel& a, const DdcChannel& b) {
    return a.systemClock == b.systemClock && a.modeOfInput == b.modeOfInput && a.cicDec == b.cicDec &&
           a.firDec == b.firDec && a.taps == b.taps;
}

RegisterWords WordsOf(const RegisterWriteList& list) {
    RegisterWords words;
    for (int i = 0; i < std::clamp(list.count, 0, kRegisterWriteCapacity); ++i) {
        const RegisterWrite w = list.writes[static_cast<size_t>(i)];
        words[{WritePage(w), WriteRegister(w)}] = static_cast<uint16_t>(WriteValue(w));
    }
    return words;
}

}  // namespace

std::string DecodeRefusalText(const DecodeResult& r) {
    const std::string at = r.line > 0 ? " (line " + std::to_string(r.line) + ")" : "";
    switch (r.refusal) {
        case DecodeRefusal::None:
            return "";
        case DecodeRefusal::Empty:
            return "the file is empty";
        case DecodeRefusal::NotProgram:
            return "not a program file: its first line is not \"*** ProgFile DDC GC5016 for ... ***\"" + at;
        case DecodeRefusal::NoTripleList:
            return "no \"Page    Reg    Value\" line: the file ends within its header";
        case DecodeRefusal::BadTriple:
            return "a line of the register list is not three hexadecimal numbers (page and register up to 0xff, "
                   "value up to 0xffff)" +
                   at;
        case DecodeRefusal::TooManyTriples:
            return "more than " + std::to_string(kRegisterWriteCapacity) + " register writes" + at;
        case DecodeRefusal::NoTriples:
            return "the register list is empty";
        case DecodeRefusal::Contradiction:
            return StrPrintf("page 0x%x register 0x%x is written twice with different values (0x%x, then 0x%x)", r.page,
                             r.reg, r.first, r.second);
    }
    return "";
}

std::string DecodeNoteText(const DecodedProgram& d, const DecodeNote& n) {
    switch (n.kind) {
        case DecodeNoteKind::NotCarried:
            if (n.name == "loaded taps")
                return "the coefficient files' own taps: the file holds the set each channel runs after the fit";
            if (n.name == "NameOfPFIR") return "the coefficient files' names: not in the file";
            return n.name + ChannelText(n.channel) + ": not in the file";
        case DecodeNoteKind::Rounded:
            return n.name + ChannelText(n.channel) +
                   ": the registers hold it rounded; the value given writes the same word";
        case DecodeNoteKind::PairFollows:
            return std::string("channel ") + Letter(n.channel) + ": runs channel " + Letter(n.channel - 1) +
                   "'s settings in this input mode; only its coefficient RAM is its own";
        case DecodeNoteKind::OtherBoard:
            return StrPrintf("written for board model %lld, this program writes for %d (%s)",
                             static_cast<long long>(n.a), kBoardModel, BoardName(kBoardModel));
        case DecodeNoteKind::HeaderMissing:
            return "header line " + n.name + " is missing";
        case DecodeNoteKind::HeaderDiffers:
            return StrPrintf("header %s%s says %lld, the registers %lld", n.name.c_str(),
                             ChannelText(n.channel).c_str(), static_cast<long long>(n.a), static_cast<long long>(n.b));
        case DecodeNoteKind::UnknownRegister:
            return StrPrintf("page 0x%x register 0x%x (value 0x%llx) is not one this program writes", n.page, n.reg,
                             static_cast<unsigned long long>(n.a));
        case DecodeNoteKind::MissingRegister:
            return StrPrintf("page 0x%x register 0x%x is not in the file", n.page, n.reg);
        case DecodeNoteKind::Repeated:
            return StrPrintf("page 0x%x register 0x%x is written more than once (same value)", n.page, n.reg);
        case DecodeNoteKind::OtherOrder:
            return "the register writes are not in this program's order (a converted gc101 file?)";
        case DecodeNoteKind::UnfinishedLine:
            return "the last line has no line break (a cut file?) and was not used";
        case DecodeNoteKind::OverlappingSync:
            return std::string("phase_sync and dith_sync") + ChannelText(n.channel) +
                   " share a register bit: it is taken as phase_sync's";
        case DecodeNoteKind::ManualShift:
            return StrPrintf(
                "channel %c: fir_shift %lld does not follow from the taps (%lld): written with \"ЛЧМ\" checked, "
                "so the coefficient words are scaled and are taken as the taps; to write this file again, check "
                "\"ЛЧМ\" with shift %d and scale 1 (gc5016-batch --lchm)",
                Letter(n.channel), static_cast<long long>(n.a), static_cast<long long>(n.b), d.manualShift.value_or(0));
        case DecodeNoteKind::NotReproduced:
            return StrPrintf("page 0x%x register 0x%x: the file has 0x%llx, the decoded settings write 0x%llx", n.page,
                             n.reg, static_cast<unsigned long long>(n.a), static_cast<unsigned long long>(n.b));
    }
    return "";
}

std::vector<std::string> DecodedSettingLines(const DecodedProgram& d) {
    const auto uncarried = UncarriedSettings(d, false);
    std::vector<std::string> lines;
    for (const SettingParam& e : SettingParams()) {
        if (e.type == ParamType::String) continue;
        for (int k = 0; k < e.values(); ++k) {
            if (Uncarried(uncarried, e.name, e.count == ParamCount::Scalar ? -1 : k)) continue;
            lines.push_back(SettingKey(e, k) + " " + ValueText(d.settings, e, k));
        }
    }
    return lines;
}

DecodeResult ReadProgramForDecode(const Workspace& ws, const fs::path& path, CommandResult& r, std::string* text) {
    DecodeResult d;
    const TextFileState state = CheckTextFile(path);
    const TextInspection look = InspectTextFile(path);
    if (state == TextFileState::Unopenable || look.problem != TextProblem::None) {
        Refused(r, "cannot read " + ShownPath(path, ws) + ": " +
                       (look.problem != TextProblem::None ? TextProblemText(look) : "not a readable file"));
        d.refusal = DecodeRefusal::Empty;
        return d;
    }
    if (state == TextFileState::TooLong) {
        Refused(r, ShownPath(path, ws) + " is far longer than any program file");
        d.refusal = DecodeRefusal::TooManyTriples;
        return d;
    }
    // The bytes as they are: a save is compared with them, line ends included.
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        Refused(r, "cannot read " + ShownPath(path, ws));
        d.refusal = DecodeRefusal::Empty;
        return d;
    }
    d = DecodeProgramText(bytes);
    if (!d.ok()) Refused(r, ShownPath(path, ws) + ": " + DecodeRefusalText(d));
    if (text) *text = std::move(bytes);
    return d;
}

std::array<std::string, kChannels> DecodedTapsNames(const std::string& prefix) {
    std::array<std::string, kChannels> names;
    for (int c = 0; c < kChannels; ++c) names[static_cast<size_t>(c)] = prefix + "_" + Letter(c) + ".taps";
    return names;
}

void TakeDecodedProgram(Session& m, const DecodedProgram& d, const std::array<std::string, kChannels>& names) {
    PutDecodedProgram(m, d, names);
    UpdateDerived(m);
}

void PutDecodedProgram(Session& m, const DecodedProgram& d, const std::array<std::string, kChannels>& names) {
    m.settings = d.settings;
    for (int c = 0; c < kChannels; ++c) m.settings.NameOfPFIR[static_cast<size_t>(c)] = names[static_cast<size_t>(c)];
    m.ManualFirShift = d.manualShift;
    for (int c = 0; c < kChannels; ++c) {
        // As a coefficient file loads: the taps into the store, zeros after them.
        const std::vector<int32_t>& taps = d.taps[static_cast<size_t>(c)];
        auto& store = m.workImage.pfir[static_cast<size_t>(c)].coef;
        const int n = static_cast<int>(std::min<size_t>(taps.size(), kMaxTaps));
        std::fill(store.begin(), store.begin() + kMaxTaps, int16_t{0});
        for (int i = 0; i < n; ++i) store[static_cast<size_t>(i)] = static_cast<int16_t>(taps[static_cast<size_t>(i)]);
        if (n > 0) {
            FitPfirToChannel(m.settings, m, c, n);
            m.workImage.ncoefs[c] = static_cast<uint16_t>(n);
        }
    }
    CopySckDiv(m.settings, m.workImage);
}

DecodeCommandResult DecodeProgramCommand(Session& m, const Workspace& ws, const DecodeRequest& request) {
    DecodeCommandResult r;
    const std::string& prefix = request.tapsPrefix;
    if (!request.saveLab.empty() && (prefix.empty() || prefix.find_first_of("/\\") != std::string::npos ||
                                     prefix == "." || prefix == ".." || prefix.size() > 200)) {
        Refused(r, "the taps prefix '" + prefix + "' is not a bare file name");
        return r;
    }
    std::string text;
    r.decode = ReadProgramForDecode(ws, request.program, r, &text);
    if (!r.decode.ok()) return r;
    const DecodedProgram& d = r.decode.program;
    const auto names = DecodedTapsNames(prefix);
    TakeDecodedProgram(m, d, names);
    PrepareProgram(m.settings, m);
    r.sameBytes = ProgramText(m) == text;
    if (request.saveLab.empty()) return r;

    for (int c = 0; c < kChannels; ++c)
        if (!WriteInto(r, ws, ws.Filters() / names[static_cast<size_t>(c)],
                       PfirTapsText(d.taps[static_cast<size_t>(c)])))
            return r;
    SaveCommandResult saved = SaveConfiguration(m, ws, request.saveLab);
    r.written.insert(r.written.end(), saved.written.begin(), saved.written.end());
    if (!saved.done()) {
        r.status = saved.status;
        r.reason = saved.reason;
        r.failure = saved.failure;
    }
    return r;
}

// ---- diff ----

bool LoadConfiguration(LoadedConfiguration& into, const Workspace& ws, const fs::path& path, CommandResult& r) {
    Session& m = *into.session;
    if (IsProgramFile(path)) {
        DecodeResult d = ReadProgramForDecode(ws, path, r, nullptr);
        if (!d.ok()) return false;
        ApplyBoardModel(m.settings, m);
        TakeDecodedProgram(m, d.program, DecodedTapsNames(path.stem().string()));
        into.decoded = std::move(d.program);
        return true;
    }
    if (CheckTextFile(path) == TextFileState::Unopenable) {
        Refused(r, "cannot read " + ShownPath(path, ws));
        return false;
    }
    // A lab reader takes any text; a comparison with the wrong file must not.
    if (FileHead(path).rfind("*** LabFile DDC GC5016", 0) != 0) {
        Refused(r, ShownPath(path, ws) + " is neither a lab file nor a program file");
        return false;
    }
    if (!StartSession(m, ws, path, nullptr)) {
        Refused(r, "cannot read " + ShownPath(path, ws) + " as a lab file");
        return false;
    }
    return true;
}

void DiffConfigurations(LoadedConfiguration& a, LoadedConfiguration& b, DiffCommandResult& r) {
    std::set<std::pair<std::string, int>> skip;
    for (const LoadedConfiguration* side : {&a, &b})
        if (side->decoded) skip.merge(UncarriedSettings(*side->decoded, true));
    const Settings& sa = a.session->settings;
    const Settings& sb = b.session->settings;
    for (const SettingParam& e : SettingParams()) {
        for (int k = 0; k < e.values(); ++k) {
            const int channel = e.count == ParamCount::Scalar ? -1 : k;
            if (Uncarried(skip, e.name, channel)) continue;
            const std::string va = ValueText(sa, e, k), vb = ValueText(sb, e, k);
            if (va != vb) r.settings.push_back({SettingName(e), channel, va, vb});
        }
    }

    // A program file's own words: registers no setting derives (edited by hand
    // or by the register editors) count too.
    auto words = [](LoadedConfiguration& c) {
        if (c.decoded) return c.decoded->words;
        PrepareProgram(c.session->settings, *c.session);
        return WordsOf(c.session->registerWriteList);
    };
    const auto wa = words(a), wb = words(b);
    std::set<std::pair<unsigned, unsigned>> addresses;
    for (const auto& [addr, v] : wa) addresses.insert(addr);
    for (const auto& [addr, v] : wb) addresses.insert(addr);
    for (const auto& addr : addresses) {
        auto ia = wa.find(addr), ib = wb.find(addr);
        const uint16_t va = ia == wa.end() ? 0 : ia->second, vb = ib == wb.end() ? 0 : ib->second;
        if (va == vb) continue;
        for (const RegisterFieldSpan& f : FieldsOfRegister(addr.first, addr.second)) {
            const unsigned mask = (1u << f.width) - 1u;
            const unsigned fa = (va >> f.shift) & mask, fb = (vb >> f.shift) & mask;
            if (fa != fb) r.fields.push_back({addr.first, addr.second, f.name, fa, fb});
        }
    }

    for (int c = 0; c < kChannels; ++c) {
        const DdcChannel ca = ChainChannelOf(sa, *a.session, c), cb = ChainChannelOf(sb, *b.session, c);
        if (SameChain(ca, cb)) continue;
        r.chains.push_back({c, AnalyseChain(ca, {}).figures, AnalyseChain(cb, {}).figures});
    }
}

DiffCommandResult DiffCommand(const Workspace& ws, const fs::path& a, const fs::path& b) {
    DiffCommandResult r;
    LoadedConfiguration ca, cb;
    if (!LoadConfiguration(ca, ws, a, r) || !LoadConfiguration(cb, ws, b, r)) return r;
    DiffConfigurations(ca, cb, r);
    return r;
}

}  // namespace gc
