#include "core/param_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <tuple>

namespace gc {
namespace {

template <class Record>
int Find(std::span<const ParamEntry<Record>> list, const char* name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (std::strcmp(list[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

const char* Address(FieldRef f) {
    return std::visit([](auto* p) { return reinterpret_cast<const char*>(p); }, f);
}

// Where value k of an entry lies in the record, in bytes from its start.
template <class Record>
std::ptrdiff_t Offset(Record& r, const ParamEntry<Record>& e, int k = 0) {
    return Address(e.locate(r, k)) - reinterpret_cast<const char*>(&r);
}

TEST(ParamTable, SectionsAndNames) {
    const auto settings = SettingParams();
    const auto work = TableParams();
    const auto tool = ToolTableParams();
    ASSERT_EQ(settings.size(), 45u);
    ASSERT_EQ(work.size(), 242u);
    ASSERT_EQ(tool.size(), 250u);
    EXPECT_STREQ(settings[0].name, "FullDebug");
    EXPECT_STREQ(settings[40].name, "NameOfPFIR3: ");
    EXPECT_EQ(settings[40].type, ParamType::String);
    EXPECT_STREQ(work[0].name, "ck_loss_status");
    EXPECT_STREQ(work[241].name, "sumtap");
    EXPECT_STREQ(tool[0].name, "ck_loss_status");
    EXPECT_STREQ(tool[249].name, "sumtap");
    EXPECT_EQ(work[241].type, ParamType::Int);

    // The table file leaves out the fields only the tool's table carries.
    for (const char* n :
         {"pwr_mtr_on", "agc_mode", "agc_tc", "agc_cf", "sync_mode", "splitiqAB", "splitiqCD", "overall_gain"}) {
        EXPECT_EQ(Find(work, n), -1) << n;
        EXPECT_NE(Find(tool, n), -1) << n;
    }
    // The four fields the tool names differently.
    const std::pair<const char*, const char*> renamed[] = {{"pwr_integ", "pwr_mtr_integ"},
                                                           {"pwr_sync", "pwr_mtr_sync"},
                                                           {"cic_rrcv", "cic_rcv"},
                                                           {"xmt_5stg", "cic_xmt_5stg"}};
    for (auto [own, theirs] : renamed) {
        EXPECT_NE(Find(work, own), -1) << own;
        EXPECT_EQ(Find(tool, own), -1) << own;
        EXPECT_NE(Find(tool, theirs), -1) << theirs;
    }
    EXPECT_NE(Find(work, "gen_timer "), -1);
    EXPECT_EQ(Find(work, "gen_timer"), -1);
    const int overall = Find(tool, "overall_gain");
    EXPECT_STREQ(tool[static_cast<size_t>(overall - 1)].name, "gain");
    EXPECT_EQ(tool[static_cast<size_t>(overall)].type, ParamType::Float);
    const int tx = Find(work, "tx_pat_gen");
    EXPECT_EQ(work[static_cast<size_t>(tx)].count, ParamCount::Scalar);
    EXPECT_STREQ(work[static_cast<size_t>(tx - 1)].name, "pwr_test");
}

// Both tables walk the one list: each entry reaches a field of whichever
// image it is given, every value its own storage, and the two names of a
// field reach the same place.
TEST(ParamTable, BothImagesWalkTheOneList) {
    auto a = std::make_unique<RegisterImage>();
    auto b = std::make_unique<RegisterImage>();
    for (auto list : {TableParams(), ToolTableParams()}) {
        std::set<const char*> seen;
        for (const RegisterParam& e : list) {
            for (int k = 0; k < e.values(); ++k) {
                const char* p = Address(e.locate(*a, k));
                const auto* img = reinterpret_cast<const char*>(a.get());
                EXPECT_TRUE(p >= img && p < img + sizeof(RegisterImage)) << e.name;
                EXPECT_TRUE(seen.insert(p).second) << e.name << " shares storage";
                EXPECT_EQ(Offset(*a, e, k), Offset(*b, e, k)) << e.name;
            }
        }
    }
    const auto tool = ToolTableParams();
    ParamSetInteger(*a, tool[static_cast<size_t>(Find(tool, "chip_rev"))], 0, 0x42);
    EXPECT_EQ(a->chip_rev, 0x42);
    EXPECT_EQ(b->chip_rev, -1);
}

// The image declares its fields in the chip's order, so an entry that points
// at a neighbour's field shows up as a step backwards. The tool's list holds
// the same fields as ours, in the same order and with the same type and
// count, plus the ones only the tool reports.
TEST(ParamTable, SectionsFollowTheImageOrderAndAgree) {
    auto img = std::make_unique<RegisterImage>();
    for (auto list : {TableParams(), ToolTableParams()})
        for (size_t i = 1; i < list.size(); ++i)
            EXPECT_LT(Offset(*img, list[i - 1]), Offset(*img, list[i]))
                << list[i].name << " after " << list[i - 1].name;

    const std::set<std::string> toolOnly = {"pwr_mtr_on", "agc_mode",  "agc_tc",    "agc_cf",
                                            "sync_mode",  "splitiqAB", "splitiqCD", "overall_gain"};
    const auto work = TableParams();
    size_t w = 0;
    for (const RegisterParam& theirs : ToolTableParams()) {
        if (toolOnly.count(theirs.name)) continue;
        ASSERT_LT(w, work.size()) << theirs.name;
        const RegisterParam& own = work[w++];
        EXPECT_EQ(own.type, theirs.type) << own.name;
        EXPECT_EQ(own.count, theirs.count) << own.name;
        for (int k = 0; k < own.values(); ++k)
            EXPECT_EQ(Offset(*img, own, k), Offset(*img, theirs, k)) << own.name << " / " << theirs.name << k;
    }
    EXPECT_EQ(w, work.size());
    // Types follow the declared width and signedness of a few telling fields.
    auto typeOf = [](auto list, const char* name) { return list[static_cast<size_t>(Find(list, name))].type; };
    EXPECT_EQ(typeOf(work, "cic_fl_status"), ParamType::Int16);
    EXPECT_EQ(typeOf(work, "rcv_cksum"), ParamType::Int16);
    EXPECT_EQ(typeOf(work, "tx_pat_gen"), ParamType::UInt16);
    EXPECT_EQ(typeOf(work, "toutf_sumin"), ParamType::UInt16);
    EXPECT_EQ(typeOf(work, "t_cksum"), ParamType::Int16);
    EXPECT_EQ(typeOf(work, "fck"), ParamType::Float);
    EXPECT_EQ(typeOf(ToolTableParams(), "agc_cf"), ParamType::Int16);
    EXPECT_EQ(typeOf(SettingParams(), "scaleFir"), ParamType::Float);
    EXPECT_EQ(typeOf(SettingParams(), "PhaseNCO"), ParamType::Float);
}

TEST(ParamTable, SettersKeepLowBits) {
    auto img = std::make_unique<RegisterImage>();
    const auto work = TableParams();
    ParamSetInteger(*img, work[static_cast<size_t>(Find(work, "page"))], 0, -1);
    EXPECT_EQ(img->page, -1);
    ParamSetInteger(*img, work[static_cast<size_t>(Find(work, "coef_ofsc"))], 2, 0x12345);
    EXPECT_EQ(img->pfir[2].coef_ofsc, 0x2345);
}

}  // namespace
}  // namespace gc
