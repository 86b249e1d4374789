// Any bytes as a lab file: the reader must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/lab_file.h"
#include "core/text_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Model m;
    gc::ApplyLabLines(m, gc::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size)));
    (void)gc::FormatLab(m);
    return 0;
}
