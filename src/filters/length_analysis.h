// The PFIR length analysis: which filter lengths the chip can run for the
// channel's decimations and input mode, and how the loaded coefficient file
// relates to them (cut, exact, or padded with zeros). Returns every text and
// colour of the two panels; the fit itself is done elsewhere.
#pragma once

#include <array>
#include <string>

#include "core/model.h"

namespace gc {

inline constexpr int kAllowedLengthRows = 16;

enum class PanelTextColour { Black, Red };

struct FilterLengthAnalysis {
    // Allowed-length panel.
    std::string cicDecText;  // after "Децимация CIC = "
    std::string firDecText;  // after "Децимация PFIR = "
    int step = 0;
    int count = 0;  // K, the rows in use
    // Rows of asymmetric, odd symmetric and even symmetric lengths; rows from
    // count on are empty.
    std::array<std::array<std::string, 3>, kAllowedLengthRows> rows{};

    // Used-filter panel.
    std::string kind;    // "симметричный фильтр" or "несимметричный фильтр"
    std::string length;  // n
    int maxFilterLength = 0;
    int nextFilterLength = 0;  // the padded length, or n when no padding is reported
    std::string line1, line2, line3;
    std::string line4Phrase, line4Number, line4End;
    PanelTextColour line1Colour = PanelTextColour::Black;  // lines 1 and 2 share it
    PanelTextColour line2Colour = PanelTextColour::Black;  // lines 3 and 4 are always red
    bool operator==(const FilterLengthAnalysis&) const = default;
};

// n: taps in the loaded file (the channel's ncoefs); symmetric: the fit found
// the loaded taps mirror-symmetric.
FilterLengthAnalysis AnalyseFilterLength(int modeOfInput, int cicDec, int firDec, int n, bool symmetric);

// The same for the model's CurrentChannel.
FilterLengthAnalysis AnalyseFilterLength(const Settings& s, const ChipState& chip, int channel);

}  // namespace gc
