#include "filters/chain_request_view.h"

#include <cmath>

#include "core/number_format.h"
#include "core/text_io.h"

namespace gc {

namespace {

std::string Khz(double hz) { return FormatFixed(hz / 1000.0, 12, 3) + " кГц"; }
std::string Db(double db) { return FormatFixed(db, 8, 2) + " дБ"; }

JudgedChainFigure Judge(std::string caption, double value, double margin) {
    JudgedChainFigure f;
    f.caption = std::move(caption);
    f.value = std::isfinite(value) ? Db(value) : std::string("нет наложений");
    f.state = margin >= 0 ? JudgedChainFigure::State::Met : JudgedChainFigure::State::Missed;
    if (!std::isfinite(margin))
        f.margin = "запас не ограничен";
    else
        f.margin = margin >= 0 ? "запас " + Db(margin) : "не хватает " + Db(-margin);
    return f;
}

}  // namespace

bool SameChainRequest(const ChainRequest& a, const ChainRequest& b) {
    return a.passHz == b.passHz && a.stopHz == b.stopHz && a.rippleDb == b.rippleDb && a.attenDb == b.attenDb;
}

constexpr const char* kRipple = "Неравномерность в полосе";
constexpr const char* kAlias = "Подавление наложений";

bool IsJudgedChainFigure(const std::string& caption) { return caption == kRipple || caption == kAlias; }

std::vector<JudgedChainFigure> JudgeChainFigures(const ChainFigures& f, const ChainRequest& resolved) {
    const ChainMargins m = ChainRequestMargins(f, resolved);
    std::vector<JudgedChainFigure> out;
    out.push_back(Judge(kRipple, f.passbandRippleDb, m.rippleDb));
    out.push_back(Judge(kAlias, f.aliasRejectionDb, m.aliasDb));
    if (f.stopbandAttenDb && m.stopbandDb) {
        out.push_back(Judge("Подавление в полосе задерживания", *f.stopbandAttenDb, *m.stopbandDb));
    } else {
        JudgedChainFigure n;
        n.caption = "Подавление в полосе задерживания";
        n.value = "не применимо";
        n.margin = "граница задерживания не ниже Fвых/2";
        out.push_back(n);
    }
    return out;
}

std::string ChainRequestText(const ChainRequest& r) {
    return "Требование: полоса 0…" + Khz(r.passHz) + ", задерживание от " + Khz(r.stopHz) + ", неравномерность ≤ " +
           StrPrintf("%g", r.rippleDb) + " дБ, подавление ≥ " + StrPrintf("%g", r.attenDb) + " дБ";
}

}  // namespace gc
