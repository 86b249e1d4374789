// Any bytes as a lab file: the reader must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/lab_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Settings s;
    gc::DecimationState d;
    gc::LineReader in(gc::fuzz::Text(data, size));
    // With the notes, so that the checks of what was taken run too.
    std::vector<gc::LabValueNote> notes;
    gc::ReadLab(s, d, in, &notes);
    for (const gc::LabValueNote& n : notes) (void)gc::LabValueNoteText(n);
    return 0;
}
