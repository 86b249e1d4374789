// Any bytes as a coefficient file: the reader must neither crash nor read out
// of bounds, and a fit of what it took must stay inside the fitted set.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "fuzz_input.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::TapBuffer taps;
    gc::LineReader in(gc::fuzz::Text(data, size));
    const int n = gc::ReadTapFile(in, taps);
    if (n < 0 || n > gc::kMaxTaps) __builtin_trap();
    auto m = std::make_unique<gc::Session>();
    // The first bytes pick the decimations, as a damaged lab file might.
    if (size >= 3) {
        m->settings.ModeOfInput = static_cast<int8_t>(data[0]);
        m->settings.CicDec[0] = static_cast<int8_t>(data[1]) * 16;
        m->settings.FirDec[0] = static_cast<int8_t>(data[2]);
    }
    // As loading the file does: the taps into the channel's store, then the fit.
    auto& store = m->workImage.pfir[0].coef;
    std::fill(store.begin(), store.end(), int16_t{0});
    for (int i = 0; i < n; ++i) store[static_cast<size_t>(i)] = static_cast<int16_t>(taps[static_cast<size_t>(i)]);
    if (n > 0) gc::FitPfirToChannel(m->settings, *m, 0, n);
    if (m->coefSetInfo[0].ntaps > gc::kMaxTaps) __builtin_trap();
    return 0;
}
