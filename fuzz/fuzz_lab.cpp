// Any bytes as a lab file: the reader must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/lab_file.h"
#include "core/text_io.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Session m;
    gc::ApplyLabLines(m.settings, m, gc::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size)));
    (void)gc::FormatLab(m.settings);
    return 0;
}
