#include "session/open_option.h"

#include <gtest/gtest.h>

namespace gc {
namespace {

TEST(OpenOption, NamesAreCheckedAndAllStandsForEveryWindow) {
    const std::vector<std::string_view> known = {"sync", "global", "pseudo"};
    using Names = std::vector<std::string>;
    const struct {
        std::vector<std::string> args;
        Names names;
    } good[] = {
        {{}, {}},
        {{"--open", "pseudo,sync"}, {"pseudo", "sync"}},
        {{"--open=global"}, {"global"}},
        {{"--open", "sync", "--open=all"}, {"sync", "global", "pseudo"}},
    };
    for (const auto& c : good) {
        const auto r = ParseOpenOption(c.args, known);
        ASSERT_TRUE(std::holds_alternative<Names>(r)) << std::get<std::string>(r);
        EXPECT_EQ(std::get<Names>(r), c.names);
    }
    const struct {
        std::vector<std::string> args;
        std::string message;
    } bad[] = {
        {{"--open", "sync,bogus"}, "unknown window 'bogus' (windows: sync, global, pseudo, all)"},
        {{"--open=Sync"}, "unknown window 'Sync' (windows: sync, global, pseudo, all)"},
        {{"--open"}, "--open needs window names"},
        {{"-open", "sync"}, "unexpected argument '-open'"},
    };
    for (const auto& c : bad) {
        const auto r = ParseOpenOption(c.args, known);
        ASSERT_TRUE(std::holds_alternative<std::string>(r));
        EXPECT_EQ(std::get<std::string>(r), c.message);
    }
}

}  // namespace
}  // namespace gc
