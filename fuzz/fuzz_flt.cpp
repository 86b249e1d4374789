// Any bytes as a *.flt filter file: the converter must neither crash nor read
// out of bounds, and it gives either N tap lines for a valid count or nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "filters/coef_files.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::LineReader in(gc::fuzz::Text(data, size));
    std::string text;
    const gc::FltConversion r = gc::ConvertFltText(in, "input.flt", text);
    if (r.status == gc::FltConversion::Done) {
        if (r.count < 1 || r.count > gc::kMaxFltTaps) __builtin_trap();
        if (std::count(text.begin(), text.end(), '\n') != r.count) __builtin_trap();
    } else if (r.status != gc::FltConversion::BadCount || !text.empty() || r.message.empty()) {
        __builtin_trap();
    }
    return 0;
}
