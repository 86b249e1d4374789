// The designer's shared steps: what a typed request becomes, the name a
// designed set is saved under, and how far a default attenuation is lowered.
#include "session/designer.h"

#include <gtest/gtest.h>

#include <string>

#include "session/commands.h"

namespace gc {
namespace {

namespace fs = std::filesystem;

const DdcChannel kChannel = ChannelAt(100000000, 0, 8, 2);  // half the PFIR input rate: 6.25 MHz

TEST(Designer, ReadsATypedRequestNamingEachRefusedFieldOnce) {
    using F = PfirDesignField;
    using enum PfirRequestCause;
    struct Case {
        std::array<std::optional<std::string>, 4> fields;
        std::vector<std::pair<F, PfirRequestCause>> errors;
    };
    const Case cases[] = {
        {{"1000", "2000,5", std::nullopt, std::nullopt}, {}},
        // A text that is no number is named as such, not as what the check makes of its 0.
        {{"abc", "2000", "0.1", "80"}, {{F::Pass, NotANumber}}},
        {{"1000", "2000", "x", "0"}, {{F::Ripple, NotANumber}, {F::Atten, AttenOutOfRange}}},
        {{"3000", "2000", "0.1", "y"}, {{F::Atten, NotANumber}, {F::Stop, StopNotAbovePass}}},
        {{"1000", "7000", "0.1", "80"}, {{F::Stop, StopAboveHalfInput}}},
    };
    for (const Case& c : cases) {
        DesignRequestText typed;
        typed.fields = c.fields;
        typed.edgeUnitHz = 1000.0;
        const ParsedDesignRequest p = ParseDesignRequest(kChannel, typed);
        std::vector<std::pair<F, PfirRequestCause>> got;
        for (const PfirRequestError& e : p.errors) got.emplace_back(e.field, e.cause);
        EXPECT_EQ(got, c.errors) << *c.fields[0] << " " << *c.fields[1];
        if (!p.ok()) continue;
        EXPECT_EQ(p.request.passHz, 1e6);
        EXPECT_EQ(p.request.stopHz, 2000500);
        EXPECT_EQ(p.request.rippleDb, 0.1);  // not given: the default stays
        EXPECT_EQ(p.request.attenDb, 80.0);
    }
}

TEST(Designer, NamesEverySavedSetATapsFileAndRefusesNamesNoFileShouldHave) {
    struct Case {
        const char* chosen;
        const char* path;
        std::optional<TapsNameRefusal::Cause> refusal;
    };
    const std::string longName(251, 'n');
    const Case cases[] = {
        {"F/lp", "F/lp.taps", {}},
        {"F/lp.TAPS", "F/lp.TAPS", {}},
        {"F/lp.txt", "F/lp.txt.taps", {}},
        {"F/.taps", "F/.taps", TapsNameRefusal::Cause::Empty},
        {"F/.TAPS", "F/.TAPS", TapsNameRefusal::Cause::Empty},
    };
    for (const Case& c : cases) {
        const fs::path path = DesignTapsPath(c.chosen);
        EXPECT_EQ(path, fs::path(c.path)) << c.chosen;
        const auto refusal = CheckDesignTapsName(path);
        EXPECT_EQ(refusal ? std::optional(refusal->cause) : std::nullopt, c.refusal) << c.chosen;
    }
    // The length counted is the name's as written, ".taps" included.
    const auto tooLong = CheckDesignTapsName(DesignTapsPath(longName));
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->bytes, 256u);
    EXPECT_FALSE(CheckDesignTapsName(DesignTapsPath(std::string(250, 'n'))));
}

TEST(Designer, LowersOnlyADefaultAttenuationAndOnlySoOften) {
    PfirDesignRequest base;
    base.attenDb = 110;  // beyond what 255 taps of 16 bits reach
    const PfirDesignRequest r = DefaultPfirDesignRequest(kChannel, base);
    const PfirDesign d = DesignPfir(kChannel, r);

    DefaultAttenuation typed;
    typed.Typed();
    EXPECT_FALSE(typed.Lower(d, r));

    DefaultAttenuation a;
    for (int i = 0; i < DefaultAttenuation::kMaxLowerings; ++i) ASSERT_TRUE(a.Lower(d, r)) << i;
    EXPECT_FALSE(a.Lower(d, r));
    a.NewChannel();
    EXPECT_TRUE(a.Lower(d, r));
}

TEST(Designer, SplitsTakeTheRequestsEdgeOnlyBelowHalfTheOutputRate) {
    const DdcChannel ch = ChannelAt(100000000, 0, 16, 1);  // output rate 6.25 MHz
    PfirDesignRequest r;
    r.rippleDb = 0.2;
    r.attenDb = 70;
    r.stopHz = 3.3e6;
    for (const auto& [pass, taken] : {std::pair{2e6, 2e6}, std::pair{3.2e6, 0.0}}) {
        r.passHz = pass;
        const SplitRequest s = DesignSplitRequest(ch, r);
        EXPECT_EQ(s.passHz, taken);
        EXPECT_EQ(s.stopHz, taken > 0 ? 3.3e6 : 0.0);
        EXPECT_EQ(s.rippleDb, 0.2);
        EXPECT_EQ(s.attenDb, 70);
    }
    EXPECT_EQ(DesignSplitRequest(ch, std::nullopt).attenDb, SplitRequest{}.attenDb);
}

}  // namespace
}  // namespace gc
