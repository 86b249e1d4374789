// Any bytes as a gc101 file: the reader must neither crash nor read out of
// bounds, and what it took must convert and fill the tool tables within bounds.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "chip/page_map.h"
#include "chip/program_file.h"
#include "fuzz_input.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The two large structures are reset in place rather than allocated per
    // input: fresh pages for each run cost more than the parsing itself.
    static const auto list = std::make_unique<gc::Gc101List>();
    static const auto m = std::make_unique<gc::Session>();
    *list = gc::Gc101List{};
    *m = gc::Session{};
    gc::LineReader in(gc::fuzz::Text(data, size));
    int n = gc::ReadGc101File(in, *list);
    if (n < 0 || n > gc::kGc101Capacity || n != list->count) __builtin_trap();
    gc::Gc101ToRegisterWrites(*m, *list, n);
    if (m->registerWriteList.count > n) __builtin_trap();
    gc::TakeToolTables(*m, *list, n);
    (void)gc::CountPage16Mismatches(m->settings, *m);
    (void)gc::CountPage17Mismatches(m->settings, *m);
    (void)gc::FormatProgramFile(m->settings, *m, *m);
    return 0;
}
