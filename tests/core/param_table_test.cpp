#include "core/param_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>

namespace gc {
namespace {

int Find(int first, int last, const char* name) {
    for (int i = first; i <= last; ++i)
        if (std::strcmp(ParamTable()[static_cast<size_t>(i)].name, name) == 0) return i;
    return -1;
}

TEST(ParamTable, SectionsAndNames) {
    auto t = ParamTable();
    ASSERT_EQ(t.size(), 533u);
    EXPECT_STREQ(t[0].name, "FullDebug");
    EXPECT_STREQ(t[40].name, "NameOfPFIR3: ");
    EXPECT_EQ(t[40].type, PT_STRING);
    EXPECT_STREQ(t[41].name, "ck_loss_status");
    EXPECT_STREQ(t[282].name, "sumtap");
    EXPECT_STREQ(t[283].name, "ck_loss_status");
    EXPECT_STREQ(t[532].name, "sumtap");
    EXPECT_EQ(t[282].type, PT_INT);

    // Work section leaves out the fields only the tool's table carries.
    for (const char* n :
         {"pwr_mtr_on", "agc_mode", "agc_tc", "agc_cf", "sync_mode", "splitiqAB", "splitiqCD", "overall_gain"}) {
        EXPECT_EQ(Find(41, 282, n), -1) << n;
        EXPECT_NE(Find(283, 532, n), -1) << n;
    }
    // The four fields the tool names differently.
    const std::pair<const char*, const char*> renamed[] = {{"pwr_integ", "pwr_mtr_integ"},
                                                           {"pwr_sync", "pwr_mtr_sync"},
                                                           {"cic_rrcv", "cic_rcv"},
                                                           {"xmt_5stg", "cic_xmt_5stg"}};
    for (auto [own, tool] : renamed) {
        EXPECT_NE(Find(41, 282, own), -1) << own;
        EXPECT_EQ(Find(283, 532, own), -1) << own;
        EXPECT_NE(Find(283, 532, tool), -1) << tool;
    }
    EXPECT_NE(Find(41, 282, "gen_timer "), -1);
    EXPECT_EQ(Find(41, 282, "gen_timer"), -1);
    int overall = Find(283, 532, "overall_gain");
    EXPECT_STREQ(t[static_cast<size_t>(overall - 1)].name, "gain");
    EXPECT_EQ(t[static_cast<size_t>(overall)].type, PT_FLOAT);
    int tx = Find(41, 282, "tx_pat_gen");
    EXPECT_EQ(t[static_cast<size_t>(tx)].count, PC_SCALAR);
    EXPECT_STREQ(t[static_cast<size_t>(tx - 1)].name, "pwr_test");
}

TEST(ParamTable, EntriesNameTheirOwnModelAndImage) {
    Model a, b;
    auto t = ParamTable();
    // Every register entry of the work section addresses workImage, every tool entry toolImage.
    std::set<void*> seen;
    for (int i = 41; i <= 532; ++i) {
        const ParamEntry& e = t[static_cast<size_t>(i)];
        for (int k = 0; k < e.values(); ++k) {
            auto* p = static_cast<char*>(e.locate(a, k));
            auto* img = reinterpret_cast<char*>(i <= 282 ? &a.workImage : &a.toolImage);
            EXPECT_TRUE(p >= img && p < img + sizeof(RegisterImage)) << e.name;
            EXPECT_TRUE(seen.insert(p).second) << e.name << " shares storage";
            EXPECT_NE(p, static_cast<char*>(e.locate(b, k)));
        }
    }
    int rev = Find(283, 532, "chip_rev");
    ParamSetInteger(a, t[static_cast<size_t>(rev)], 0, 0x42);
    EXPECT_EQ(a.toolImage.chip_rev, 0x42);
    EXPECT_EQ(a.workImage.chip_rev, -1);
}

// The image declares its fields in the chip's order, so a table entry that
// points at a neighbour's field shows up as a step backwards. The tool's
// section lists the same fields as ours, in the same order and with the same
// type and count, plus the ones only the tool reports.
TEST(ParamTable, SectionsFollowTheImageOrderAndAgree) {
    Model m;
    auto t = ParamTable();
    auto offset = [&](const ParamEntry& e, const RegisterImage& img) {
        return static_cast<const char*>(e.locate(m, 0)) - reinterpret_cast<const char*>(&img);
    };
    for (auto [first, last, img] : {std::tuple{41, 282, &m.workImage}, std::tuple{283, 532, &m.toolImage}}) {
        for (int i = first + 1; i <= last; ++i) {
            const ParamEntry& prev = t[static_cast<size_t>(i - 1)];
            const ParamEntry& e = t[static_cast<size_t>(i)];
            EXPECT_LT(offset(prev, *img), offset(e, *img)) << e.name << " after " << prev.name;
        }
    }
    const std::set<std::string> toolOnly = {"pwr_mtr_on", "agc_mode",  "agc_tc",    "agc_cf",
                                            "sync_mode",  "splitiqAB", "splitiqCD", "overall_gain"};
    int w = 41;
    for (int i = 283; i <= 532; ++i) {
        const ParamEntry& tool = t[static_cast<size_t>(i)];
        if (toolOnly.count(tool.name)) continue;
        ASSERT_LE(w, 282) << tool.name;
        const ParamEntry& own = t[static_cast<size_t>(w++)];
        EXPECT_EQ(offset(own, m.workImage), offset(tool, m.toolImage)) << own.name << " / " << tool.name;
        EXPECT_EQ(own.type, tool.type) << own.name;
        EXPECT_EQ(own.count, tool.count) << own.name;
        for (int k = 1; k < own.values(); ++k)
            EXPECT_EQ(static_cast<char*>(own.locate(m, k)) - reinterpret_cast<char*>(&m.workImage),
                      static_cast<char*>(tool.locate(m, k)) - reinterpret_cast<char*>(&m.toolImage))
                << own.name << "[" << k << "]";
    }
    EXPECT_EQ(w, 283);
    // Types follow the declared width and signedness of a few telling fields.
    auto typeOf = [&](int first, const char* name) {
        return t[static_cast<size_t>(Find(first, first + 249, name))].type;
    };
    EXPECT_EQ(typeOf(41, "cic_fl_status"), PT_INT16);
    EXPECT_EQ(typeOf(41, "rcv_cksum"), PT_INT16);
    EXPECT_EQ(typeOf(41, "tx_pat_gen"), PT_UINT16);
    EXPECT_EQ(typeOf(41, "toutf_sumin"), PT_UINT16);
    EXPECT_EQ(typeOf(41, "t_cksum"), PT_INT16);
    EXPECT_EQ(typeOf(41, "fck"), PT_FLOAT);
    EXPECT_EQ(typeOf(283, "agc_cf"), PT_INT16);
    EXPECT_EQ(typeOf(0, "scaleFir"), PT_FLOAT);
    EXPECT_EQ(typeOf(0, "PhaseNCO"), PT_FLOAT);
}

TEST(ParamTable, SettersKeepLowBits) {
    Model m;
    auto t = ParamTable();
    int page = Find(41, 282, "page");
    ParamSetInteger(m, t[static_cast<size_t>(page)], 0, -1);
    EXPECT_EQ(m.workImage.page, -1);
    int ofsc = Find(41, 282, "coef_ofsc");
    ParamSetInteger(m, t[static_cast<size_t>(ofsc)], 2, 0x12345);
    EXPECT_EQ(m.workImage.pfir[2].coef_ofsc, 0x2345);
}

}  // namespace
}  // namespace gc
