// The fuzz input as text for the readers, which parse bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/text_io.h"

namespace gc::fuzz {

inline TextBytes Text(const uint8_t* data, size_t size) {
    return {std::string_view(reinterpret_cast<const char*>(data), size)};
}

}  // namespace gc::fuzz
