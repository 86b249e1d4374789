// Any bytes as a coefficient file: the reader must neither crash nor read out
// of bounds, and a load and fit of what it took must stay inside the fitted set.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "fuzz_input.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const gc::fuzz::InputFile input(gc::fuzz::TempPath("input.taps"));
    if (!input.Write(data, size)) return 0;
    gc::TapBuffer taps;
    int n = gc::ReadTapFile(input.path(), taps);
    if (n < -1 || n > gc::kMaxTaps) __builtin_trap();
    auto m = std::make_unique<gc::Session>();
    // The first bytes pick the decimations, as a damaged lab file might.
    if (size >= 3) {
        m->settings.ModeOfInput = static_cast<int8_t>(data[0]);
        m->settings.CicDec[0] = static_cast<int8_t>(data[1]) * 16;
        m->settings.FirDec[0] = static_cast<int8_t>(data[2]);
    }
    n = gc::LoadPfirFile(*m, 0, input.path(), nullptr);
    gc::FitPfirToChannel(m->settings, *m, 0, n);
    if (m->coefSetInfo[0].ntaps > gc::kMaxTaps) __builtin_trap();
    return 0;
}
