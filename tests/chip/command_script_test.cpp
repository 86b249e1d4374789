#include "chip/command_script.h"

#include <gtest/gtest.h>

#include <memory>

#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;

// A work image set by hand, so that every value of the script comes from a
// field a wrong lookup would not hit.
std::unique_ptr<Session> HandMadeModel() {
    auto m = std::make_unique<Session>();
    RegisterImage& w = m->workImage;
    w.fck = 100.0f;
    w.soB_sync = 4;
    w.splitiq = 1;
    m->settings.EnableTDM = 1;
    w.rin_rate = 2;
    const float gains[kChannels] = {1.26f, 10.0f, 0.04f, 127.9f};
    const float freqs[kChannels] = {-10.0f, -20.126f, 0.0f, -45.678f};
    for (int c = 0; c < kChannels; ++c) {
        w.cic[c].mix_rcv_sel = static_cast<uint16_t>(c == 3 ? 65535 : c);
        w.freq[c] = freqs[c];
        w.cic_dec[c] = static_cast<uint16_t>(10 + c);
        w.fir_dec[c] = static_cast<uint16_t>(1 + c);
        w.pfir[c].fir_cmplx = static_cast<uint16_t>(c & 1);
        w.gain[c] = gains[c];
        w.overall_gain[c] = 3.0f + static_cast<float>(c);
        w.pfir[c].fir_sync = static_cast<uint16_t>(20 + c);
        w.pfir[c].sck_sync = static_cast<uint16_t>(30 + c);
        w.cic[c].nco_sync = static_cast<uint16_t>(40 + c);
        w.cic[c].cic_sync = static_cast<uint16_t>(50 + c);
        w.file_name[c] = "chan" + std::to_string(c) + ".taps";
    }
    return m;
}

constexpr const char* kExpected = R"(mode ab receive #puts channels a and b in receive mode
mode cd receive #puts channels c and d in receive mode

print table   #output a table file to show register settings
print gc101     #output a .gc101 file which programs the gc5016 through the EVM
print analysis  #output an analysis file which states gains, filter sizes, filter symmetry, etc.

fck 100.00     #chip clock rate in MHz

#all the above settings are for the chip in general; now commence with settings for individual channels
soB_sync 4    #set fir_sync 
splitiq 1    #set splitiq 
routf_tdm 1    #set tdm 

channel 0     #tells the program that settings for channel 0 follow
bits 16     #data size is 16 bits
pins 16     #16 pins of the data ports are connected
mix_rcv_sel 0 #mixer input selection set to channel 0
freq -10.00    #sets tuning frequency MHz
cic_dec 10     #cic decimates 
fir_dec 1     #fir decimates 
fir_cmplx 0   #fir outputs complex data
rin_rate 2   #fir outputs complex data
gain 1.3      #set gain 
overall_gain 3.0      #set overall gain 
fir_sync 20    #set fir_sync 
sck_sync 30    #set sck_sync 
nco_sync 40    #set nco_sync 
cic_sync 50    #set nco_sync 

fir_coef chan0.taps #points to a file with the list of coefficient values to load into the fir

channel 1     #tells the program that settings for channel 1 follow
bits 16     #data size is 16 bits
pins 16     #16 pins of the data ports are connected
mix_rcv_sel 1 #mixer input selection set to channel 1
freq -20.13    #sets tuning frequency MHz
cic_dec 11     #cic decimates 
fir_dec 2     #fir decimates 
fir_cmplx 1   #fir outputs complex data
rin_rate 2   #fir outputs complex data
gain 10.0      #set gain 
overall_gain 4.0      #set overall gain 
fir_sync 21    #set fir_sync 
sck_sync 31    #set sck_sync 
nco_sync 41    #set nco_sync 
cic_sync 51    #set nco_sync 

fir_coef chan1.taps #points to a file with the list of coefficient values to load into the fir

channel 2     #tells the program that settings for channel 2 follow
bits 16     #data size is 16 bits
pins 16     #16 pins of the data ports are connected
mix_rcv_sel 2 #mixer input selection set to channel 2
freq 0.00    #sets tuning frequency MHz
cic_dec 12     #cic decimates 
fir_dec 3     #fir decimates 
fir_cmplx 0   #fir outputs complex data
rin_rate 2   #fir outputs complex data
gain 0.0      #set gain 
overall_gain 5.0      #set overall gain 
fir_sync 22    #set fir_sync 
sck_sync 32    #set sck_sync 
nco_sync 42    #set nco_sync 
cic_sync 52    #set nco_sync 

fir_coef chan2.taps #points to a file with the list of coefficient values to load into the fir

channel 3     #tells the program that settings for channel 3 follow
bits 16     #data size is 16 bits
pins 16     #16 pins of the data ports are connected
mix_rcv_sel 65535 #mixer input selection set to channel 3
freq -45.68    #sets tuning frequency MHz
cic_dec 13     #cic decimates 
fir_dec 4     #fir decimates 
fir_cmplx 1   #fir outputs complex data
rin_rate 2   #fir outputs complex data
gain 127.9      #set gain 
overall_gain 6.0      #set overall gain 
fir_sync 23    #set fir_sync 
sck_sync 33    #set sck_sync 
nco_sync 43    #set nco_sync 
cic_sync 53    #set nco_sync 

fir_coef chan3.taps #points to a file with the list of coefficient values to load into the fir
)";

// Channel 3 carries "channel 3" in both texts, its own freq and its own file.
TEST(CommandScript, WholeScriptByteForByte) {
    auto m = HandMadeModel();
    TempDir dir;
    ASSERT_EQ(WriteCommandScript(m->settings, m->workImage, dir / "workcmd"), 1);
    EXPECT_EQ(ReadFileText(dir / "workcmd"), kExpected);
}

TEST(CommandScript, UncreatableScriptGivesMinusOneAndNoFolder) {
    auto m = HandMadeModel();
    TempDir dir;
    EXPECT_EQ(WriteCommandScript(m->settings, m->workImage, dir / "missing" / "workcmd"), -1);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace gc
