#include "session/register_editor.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace gc {
namespace {

std::vector<std::string> Texts(const RegisterImage& image, const RegisterDialogDef& def) {
    std::vector<std::string> texts;
    for (const RegisterBox& b : RegisterBoxes(def)) texts.push_back(RegisterBoxText(image, RowOf(def, b), b.column));
    return texts;
}

// Index of the box of a row label and column.
size_t BoxIndex(const RegisterDialogDef& def, std::string_view label, int column) {
    const auto boxes = RegisterBoxes(def);
    for (size_t k = 0; k < boxes.size(); ++k)
        if (RowOf(def, boxes[k]).label == label && boxes[k].column == column) return k;
    ADD_FAILURE() << "no box " << label << " " << column;
    return 0;
}

TEST(RegisterEditor, EveryDialogHasItsBoxesEachBoundToItsOwnField) {
    const struct {
        RegisterDialogId id;
        size_t boxes;
    } cases[] = {{RegisterDialogId::AddrGen, 144}, {RegisterDialogId::CicMix, 104}, {RegisterDialogId::FirCont, 92},
                 {RegisterDialogId::Output, 28},   {RegisterDialogId::Agc, 68},     {RegisterDialogId::Global, 25},
                 {RegisterDialogId::Transmit, 26}, {RegisterDialogId::Timer, 23},   {RegisterDialogId::Pseudo, 99}};
    std::set<std::string_view> buttons;
    for (const auto& c : cases) {
        const RegisterDialogDef& def = RegisterDialog(c.id);
        SCOPED_TRACE(std::string(def.title));
        buttons.insert(def.button);
        ASSERT_EQ(RegisterBoxes(def).size(), c.boxes);
        if (!def.editable) continue;
        // A distinct number per box survives the store only if no two boxes share a field.
        RegisterImage image;
        std::vector<std::string> typed;
        for (size_t k = 0; k < c.boxes; ++k) typed.push_back(std::to_string(k + 1));
        EXPECT_FALSE(StoreRegisterBoxes(image, def, typed));
        EXPECT_EQ(Texts(image, def), typed);
    }
    EXPECT_EQ(buttons.size(), 9u);
}

TEST(RegisterEditor, StoreKeepsTheLowSixteenBitsInTheBoundChannelOnly) {
    const struct {
        const char* typed;
        uint16_t stored;
        const char* shown;
    } cases[] = {
        {"70000", 4464, "4464"}, {"-1", 65535, "65535"}, {"65535", 65535, "65535"}, {"0x10", 16, "16"},
        {" 12 ", 12, "12"},      {"-65536", 0, "0"},     {"$FFFF", 65535, "65535"}, {"2147483647", 65535, "65535"}};
    const RegisterDialogDef& def = RegisterDialog(RegisterDialogId::AddrGen);
    const size_t box = BoxIndex(def, "coef_sym", 2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        RegisterImage image;
        for (int ch = 0; ch < kChannels; ++ch) image.pfir[ch].coef_sym = 7;
        auto texts = Texts(image, def);
        texts[box] = c.typed;
        EXPECT_FALSE(StoreRegisterBoxes(image, def, texts));
        EXPECT_EQ(image.pfir[2].coef_sym, c.stored);
        EXPECT_EQ(image.pfir[0].coef_sym, 7);
        EXPECT_EQ(image.pfir[1].coef_sym, 7);
        EXPECT_EQ(image.pfir[3].coef_sym, 7);
        EXPECT_EQ(Texts(image, def)[box], c.shown);
    }
}

TEST(RegisterEditor, SignedRowsShowNegativesOthersTheUnsignedWord) {
    RegisterImage image;
    image.sum_selI = -5;
    image.toutf_xmt_AB = -1;
    image.pfir[1].gain_half = -2;
    image.pfir[3].pwr_meter_msb = -300;
    image.rinf_sel_C = 9;
    const struct {
        RegisterDialogId id;
        const char* label;
        int column;
        const char* shown;
    } cases[] = {{RegisterDialogId::Transmit, "sum_selI", 0, "-5"},
                 {RegisterDialogId::Transmit, "toutf_xmt_AB", 0, "65535"},
                 {RegisterDialogId::Agc, "gain_half", 1, "65534"},
                 {RegisterDialogId::Timer, "pwr_meter_msb", 3, "-300"},
                 {RegisterDialogId::CicMix, "rinf_sel", 2, "9"}};
    for (const auto& c : cases) {
        const RegisterDialogDef& def = RegisterDialog(c.id);
        EXPECT_EQ(Texts(image, def)[BoxIndex(def, c.label, c.column)], c.shown) << c.label;
    }
    // A signed field takes a typed unsigned word as its bits.
    const RegisterDialogDef& transmit = RegisterDialog(RegisterDialogId::Transmit);
    auto texts = Texts(image, transmit);
    texts[BoxIndex(transmit, "sum_selQ", 0)] = "65535";
    EXPECT_FALSE(StoreRegisterBoxes(image, transmit, texts));
    EXPECT_EQ(image.sum_selQ, -1);
}

TEST(RegisterEditor, TextThatIsNoIntegerStopsTheStoreAtThatBox) {
    const RegisterDialogDef& def = RegisterDialog(RegisterDialogId::Output);
    for (const std::string bad : {"abc", "", "1.5", "99999999999", "12x"}) {
        SCOPED_TRACE(bad);
        RegisterImage image;
        std::vector<std::string> texts(RegisterBoxes(def).size(), "5");
        const size_t at = BoxIndex(def, "routf_bits", 1);
        texts[at] = bad;
        const auto error = StoreRegisterBoxes(image, def, texts);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->box, at);
        EXPECT_EQ(error->message, "routf_bits, канал B: «" + bad + "» не является целым числом");
        EXPECT_EQ(image.pfir[0].tx_pat_gen, 5);  // column A was stored before
        EXPECT_EQ(image.pfir[1].routf_pins, 5);
        EXPECT_EQ(image.pfir[1].routf_bits, 0);  // the field and the rest keep their values
        EXPECT_EQ(image.pfir[1].routf_iqmux, 0);
        EXPECT_EQ(image.pfir[3].routf_pins, 0);
    }
}

TEST(RegisterEditor, PseudoRegistersAreShownAndNeverStored) {
    const RegisterDialogDef& def = RegisterDialog(RegisterDialogId::Pseudo);
    RegisterImage image;
    image.gain[2] = 1.5f;
    image.fck = 100.0f;
    image.freq[0] = 10.25f;
    image.sumtap[3] = -100000;
    image.cic_dec[1] = 1024;
    const auto texts = Texts(image, def);
    EXPECT_EQ(texts[BoxIndex(def, "gain", 2)], "1.500");
    EXPECT_EQ(texts[BoxIndex(def, "fck", 0)], "100.000000");
    EXPECT_EQ(texts[BoxIndex(def, "freq", 0)], "10.250000");
    EXPECT_EQ(texts[BoxIndex(def, "sumtap", 3)], "-100000");
    EXPECT_EQ(texts[BoxIndex(def, "cic_dec", 1)], "1024");
    std::vector<std::string> typed(texts.size(), "7");
    EXPECT_FALSE(StoreRegisterBoxes(image, def, typed));
    EXPECT_EQ(image.cic_dec[1], 1024);
    EXPECT_EQ(image.fir_dec[0], 0);
}

}  // namespace
}  // namespace gc
