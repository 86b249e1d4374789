// The configurator's one command-line option: --open NAME[,NAME...] (or
// --open=...) names the windows to open right after start-up, as their
// buttons would; "all" stands for every window that can be named.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace gc {

// The names, "all" expanded into `known` and repeats dropped, in the order
// given; or the message for a usage error (an unknown name or argument, or
// --open without names).
std::variant<std::vector<std::string>, std::string> ParseOpenOption(const std::vector<std::string>& args,
                                                                    const std::vector<std::string_view>& known);

}  // namespace gc
