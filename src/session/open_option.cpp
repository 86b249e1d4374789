#include "session/open_option.h"

#include <algorithm>

namespace gc {

namespace {

std::vector<std::string> SplitNames(std::string_view list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        names.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

}  // namespace

std::variant<std::vector<std::string>, std::string> ParseOpenOption(const std::vector<std::string>& args,
                                                                    const std::vector<std::string_view>& known) {
    std::vector<std::string> opened;
    auto add = [&opened](std::string_view name) {
        if (std::find(opened.begin(), opened.end(), name) == opened.end()) opened.emplace_back(name);
    };
    for (size_t k = 0; k < args.size(); ++k) {
        std::string_view list;
        if (args[k] == "--open") {
            if (k + 1 == args.size()) return std::string("--open needs window names");
            list = args[++k];
        } else if (args[k].starts_with("--open=")) {
            list = std::string_view(args[k]).substr(7);
        } else {
            return "unexpected argument '" + args[k] + "'";
        }
        for (const std::string& name : SplitNames(list)) {
            if (name == "all") {
                for (std::string_view n : known) add(n);
            } else if (std::find(known.begin(), known.end(), name) != known.end()) {
                add(name);
            } else {
                std::string names;
                for (std::string_view n : known) names.append(n).append(", ");
                return "unknown window '" + name + "' (windows: " + names + "all)";
            }
        }
    }
    return opened;
}

}  // namespace gc
