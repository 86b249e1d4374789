#include "chip/command_script.h"

#include "core/text_io.h"

namespace gc {

std::string FormatCommandScript(const Settings& settings, const RegisterImage& w) {
    // The tool reads register fields as unsigned 16-bit words and the floats
    // with the decimals it expects; the comments and blanks are the tool's
    // customary layout and stay as they are.
    std::string s;
    s += "mode ab receive #puts channels a and b in receive mode\n";
    s += "mode cd receive #puts channels c and d in receive mode\n";
    s += "\nprint table   #output a table file to show register settings\n";
    s += "print gc101     #output a .gc101 file which programs the gc5016 through the EVM\n";
    s += "print analysis  #output an analysis file which states gains, filter sizes, filter symmetry, etc.\n";
    s += StrPrintf("\nfck %.2f     #chip clock rate in MHz\n", static_cast<double>(w.fck));
    s += "\n#all the above settings are for the chip in general; now commence with settings for individual "
         "channels\n";
    s += StrPrintf("soB_sync %u    #set fir_sync \n", unsigned{w.soB_sync});
    s += StrPrintf("splitiq %u    #set splitiq \n", unsigned{w.splitiq});
    s += StrPrintf("routf_tdm %d    #set tdm \n", settings.EnableTDM);
    for (int c = 0; c < kChannels; ++c) {
        const PfirChannelRegs& p = w.pfir[c];
        const CicChannelRegs& k = w.cic[c];
        s += StrPrintf("\nchannel %d     #tells the program that settings for channel %d follow\n", c, c);
        s += "bits 16     #data size is 16 bits\n";
        s += "pins 16     #16 pins of the data ports are connected\n";
        s += StrPrintf("mix_rcv_sel %u #mixer input selection set to channel %d\n", unsigned{k.mix_rcv_sel}, c);
        s += StrPrintf("freq %.2f    #sets tuning frequency MHz\n", static_cast<double>(w.freq[c]));
        s += StrPrintf("cic_dec %u     #cic decimates \n", unsigned{w.cic_dec[c]});
        s += StrPrintf("fir_dec %u     #fir decimates \n", unsigned{w.fir_dec[c]});
        s += StrPrintf("fir_cmplx %u   #fir outputs complex data\n", unsigned{p.fir_cmplx});
        s += StrPrintf("rin_rate %u   #fir outputs complex data\n", unsigned{w.rin_rate});
        s += StrPrintf("gain %.1f      #set gain \n", static_cast<double>(w.gain[c]));
        s += StrPrintf("overall_gain %.1f      #set overall gain \n", static_cast<double>(w.overall_gain[c]));
        s += StrPrintf("fir_sync %u    #set fir_sync \n", unsigned{p.fir_sync});
        s += StrPrintf("sck_sync %u    #set sck_sync \n", unsigned{p.sck_sync});
        s += StrPrintf("nco_sync %u    #set nco_sync \n", unsigned{k.nco_sync});
        s += StrPrintf("cic_sync %u    #set nco_sync \n", unsigned{k.cic_sync});
        s += StrPrintf("\nfir_coef %s #points to a file with the list of coefficient values to load into the fir\n",
                       w.file_name[c].c_str());
    }
    return s;
}

int WriteCommandScript(const Settings& settings, const RegisterImage& work, const std::filesystem::path& path) {
    return WriteFileAtomic(path, FormatCommandScript(settings, work)) ? 1 : -1;
}

}  // namespace gc
