// cmd5016 stand-in: reads a command script and leaves the two files the
// configurator reads back, <script>.gc101 and <script>.tbl, computed with the
// configurator's own core. Used where the vendor's tool is not installed.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "chip/derivation.h"
#include "chip/page_map.h"
#include "chip/program_file.h"
#include "chip/table_file.h"
#include "core/text_io.h"
#include "filters/coef_errors.h"
#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "script_reader.h"

namespace {

// The register writes as gc101 lines: a page select (register 2) before every
// change of page, then one line per write. Each line carries a six-character
// prefix, the register address and the value, in hexadecimal.
std::string FormatGc101(const gc::RegisterWriteList& list) {
    std::string out;
    int page = -1;
    for (int i = 0; i < list.count; ++i) {
        gc::RegisterWrite w = list.writes[static_cast<size_t>(i)];
        const unsigned reg = gc::WriteRegister(w), value = gc::WriteValue(w);
        if (reg == 2) {
            page = static_cast<int>(value);
        } else if (static_cast<int>(gc::WritePage(w)) != page) {
            page = static_cast<int>(gc::WritePage(w));
            out += gc::StrPrintf("write %04x %04x\n", 2u, static_cast<unsigned>(page));
        }
        out += gc::StrPrintf("write %04x %04x\n", reg, value);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: cmd5016 SCRIPT\n";
        return 1;
    }
    const std::string script = argv[1];
    gc::LineReader in{std::filesystem::path(script)};
    if (!in.is_open()) {
        std::cerr << "cmd5016: cannot read " << script << "\n";
        return 1;
    }

    gc::Settings s;
    gc::DecimationState d;
    auto chip = std::make_unique<gc::ChipState>();  // large: two register images and the fits
    gc::ChipState& m = *chip;
    cmd5016::ScriptRequest req = cmd5016::ApplyScript(s, d, in, std::cerr);
    if (in.truncated())
        std::cerr << "cmd5016: " << script << " is longer than " << (gc::TextLimits{}.maxTotalBytes >> 20)
                  << " MiB; only its start was read\n";

    // The script names the coefficient files relative to its own folder.
    const std::filesystem::path folder = std::filesystem::path(script).parent_path();
    gc::StreamCoefFileErrors sink(std::cerr, "cmd5016: ");
    for (int c = 0; c < gc::kChannels; ++c) {
        int n = gc::LoadPfirFile(m, c, folder / s.NameOfPFIR[static_cast<size_t>(c)], &sink);
        if (n > 0) {
            gc::FitPfirToChannel(s, m, c, n);
            m.workImage.ncoefs[c] = static_cast<uint16_t>(n);
        }
    }
    gc::DeriveRegisters(s, m);
    gc::PrepareProgram(s, m);

    int status = 0;
    if (req.printGc101 && !gc::WriteFileAtomic(script + ".gc101", FormatGc101(m.registerWriteList))) {
        std::cerr << "cmd5016: cannot write " << script << ".gc101\n";
        status = 2;
    }
    if (req.printTable) {
        m.toolImage = m.workImage;
        if (!gc::WriteToolTableFile(m.toolImage, script + ".tbl")) {
            std::cerr << "cmd5016: cannot write " << script << ".tbl\n";
            status = 2;
        }
    }
    return status;
}
