// The chain's figures judged against the channel's request, as the analysis
// window lists them (green or red, with the margin) and its export prints them.
#pragma once

#include <string>
#include <vector>

#include "filters/chain_analysis.h"

namespace gc {

struct JudgedChainFigure {
    enum class State { Met, Missed, NotApplicable };
    std::string caption;
    std::string value;   // "0.012 дБ"
    std::string margin;  // "запас 0.088 дБ", "не хватает 3.20 дБ", or why it does not apply
    State state = State::NotApplicable;
};

// The same stored request: edges, ripple and attenuation (the points aside).
bool SameChainRequest(const ChainRequest& a, const ChainRequest& b);

// Ripple, alias rejection and stopband attenuation against the resolved request.
std::vector<JudgedChainFigure> JudgeChainFigures(const ChainFigures& f, const ChainRequest& resolved);
// Whether a caption of ChainFigureLines is one of those judged.
bool IsJudgedChainFigure(const std::string& caption);

// "Требование: полоса 0…100.000 кГц, задерживание от 150.000 кГц,
// неравномерность ≤ 0.1 дБ, подавление ≥ 80 дБ" for a resolved request.
std::string ChainRequestText(const ChainRequest& r);

}  // namespace gc
