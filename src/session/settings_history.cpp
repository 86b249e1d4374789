#include "session/settings_history.h"

#include <charconv>
#include <tuple>

#include "chip/derivation.h"
#include "core/lab_file.h"
#include "core/param_table.h"
#include "filters/coef_files.h"
#include "session/session.h"

namespace gc {

namespace {

// FullDebug is 0 while the window runs and is written back only at close:
// leave it out so that an expert's start is not "modified".
std::string LabText(Settings s) {
    s.FullDebug = 0;
    return FormatLab(s);
}

// The names the window shows for the settings it has a box for; the others
// keep their lab file names.
std::string ShownName(std::string_view labName) {
    static const std::pair<std::string_view, std::string_view> kNames[] = {
        {"SystemClock", "Тактовая частота"},
        {"ModeOfInput", "Режим"},
        {"CicDec", "CIC"},
        {"FirDec", "PFIR"},
        {"InpADC", "АЦП"},
        {"FreqNCO", "NCO"},
        {"Gain", "Усиление"},
        {"OverallGain", "Overall Gain"},
        {"PhaseNCO", "Фаза"},
        {"EnableTDM", "TDM"},
        {"ReqPassHz", "Граница полосы"},
        {"ReqStopHz", "Граница подавления"},
        {"ReqRippleDb", "Неравномерность"},
        {"ReqAttenDb", "Подавление"},
    };
    for (const auto& [lab, shown] : kNames)
        if (lab == labName) return std::string(shown);
    if (labName.starts_with("NameOfPFIR")) return "Файл " + std::string(1, static_cast<char>('A' + labName[10] - '0'));
    return std::string(labName);
}

std::string ValueText(const Settings& s, const SettingParam& p, int k) {
    if (p.type == ParamType::String) return ParamGetText(s, p, k);
    const double v = ParamGetNumber(s, p, k);
    char buf[32];
    // A double (the requests) in full; a float as short as it reads back.
    const bool wide = std::holds_alternative<double*>(p.locate(const_cast<Settings&>(s), k));
    const auto r = wide                         ? std::to_chars(buf, buf + sizeof buf, v)
                   : p.type == ParamType::Float ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v))
                                                : std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
    return std::string(buf, r.ptr);
}

}  // namespace

std::string DescribeSettingsChange(const Settings& before, const Settings& after) {
    constexpr int kShown = 3;
    std::string text;
    int changed = 0;
    for (const SettingParam& p : SettingParams()) {
        if (std::string_view(p.name) == "FullDebug") continue;
        for (int k = 0; k < p.values(); ++k) {
            const std::string a = ValueText(before, p, k), b = ValueText(after, p, k);
            if (a == b) continue;
            if (++changed > kShown) continue;
            if (!text.empty()) text += ", ";
            text += ShownName(p.name);
            if (p.count != ParamCount::Scalar) text += std::string(" ") + static_cast<char>('A' + k);
            text += " " + a + " → " + b;
        }
    }
    if (changed > kShown) text += " и ещё " + std::to_string(changed - kShown);
    return text;
}

void SettingsHistory::Reset(const Settings& s, const std::string& labName) {
    states_.clear();
    states_.push_back({s, LabText(s), labName});
    pos_ = 0;
    saved_ = states_.back().text;
}

bool SettingsHistory::Commit(const Settings& s, const std::string& labName) {
    std::string text = LabText(s);
    if (!states_.empty() && states_[pos_].text == text && states_[pos_].labName == labName) return false;
    if (!states_.empty()) states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(pos_) + 1, states_.end());
    states_.push_back({s, std::move(text), labName});
    if (states_.size() > kDepth) states_.erase(states_.begin());
    pos_ = states_.size() - 1;
    return true;
}

std::optional<Settings> SettingsHistory::Undo() {
    if (!CanUndo()) return std::nullopt;
    return states_[--pos_].settings;
}

std::optional<Settings> SettingsHistory::Redo() {
    if (!CanRedo()) return std::nullopt;
    return states_[++pos_].settings;
}

const Settings& SettingsHistory::Current() const {
    static const Settings none;
    return states_.empty() ? none : states_[pos_].settings;
}

const std::string& SettingsHistory::LabName() const {
    static const std::string none;
    return states_.empty() ? none : states_[pos_].labName;
}

void SettingsHistory::NameCurrent(const std::string& labName) {
    if (!states_.empty()) states_[pos_].labName = labName;
}

void SettingsHistory::MarkSaved(const Settings& s) { saved_ = LabText(s); }

bool SettingsHistory::Modified(const Settings& s) const { return LabText(s) != saved_; }

}  // namespace gc

namespace gc {

void PutSettingsBack(Session& m, const Settings& s, const Workspace& workspace, CoefFileErrorSink* errors) {
    const int32_t fullDebug = m.settings.FullDebug;
    m.settings = s;
    m.settings.FullDebug = fullDebug;
    if (auto bounds = CicBoundsOfMode(m.settings.ModeOfInput)) std::tie(m.CicDecMin, m.CicDecStep) = *bounds;
    ShowPairSource(m);
    ReloadAllPfirFiles(m.settings, m, errors, workspace);
    CopySckDiv(m.settings, m.workImage);
}

}  // namespace gc
