// gc5016-batch design: the file it writes, the figures it prints, and the
// requests it refuses, on a copy of the example workspace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::BatchRun;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;

// The example workspace set to "Full rate", CIC 8, FirDec 2 at 100 MHz:
// 255 taps, PFIR input rate 12.5 MHz, output rate 6.25 MHz.
void MakeWorkspace(const TempDir& ws) {
    test::CopyExampleWorkspace(ws.path());
    const fs::path lab = ws / "CONFIGS" / "std.lab";
    std::string out;
    for (const std::string& line : SplitLines(ReadFileText(lab))) {
        if (line.rfind("CicM0Dec ", 0) == 0)
            out += "CicM0Dec 8 8 8 8\n";
        else if (line.rfind("FirDec ", 0) == 0)
            out += "FirDec 2 2 2 2\n";
        else
            out += line + "\n";
    }
    test::WriteFileText(lab, out);
}

std::set<std::string> FilesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.insert(fs::relative(e.path(), root).string() + ":" + ReadFileText(e.path()));
    return files;
}

// The figures of the whole chain recomputed from the file alone: a direct
// cosine sum, the CIC written out, and a grid of its own.
struct Figures {
    double ripple, atten;
};
Figures Independent(const std::vector<long>& taps, int R, double pass, double stop) {
    const double pi = 3.14159265358979323846;
    const double mid = (taps.size() - 1) / 2.0;
    auto level = [&](double nu) {
        double a = 0;
        for (size_t n = 0; n < taps.size(); ++n) a += taps[n] * std::cos(2 * pi * nu * (n - mid));
        double cic = nu == 0 ? 1 : std::sin(pi * nu) / (R * std::sin(pi * nu / R));
        return std::fabs(a) * std::pow(std::fabs(cic), 5);
    };
    double pMax = 0, pMin = 1e300, sMax = 0;
    const int points = 5001;
    for (int k = 0; k < points; ++k) {
        double p = pass * k / (points - 1), s = stop + (0.5 - stop) * k / (points - 1);
        pMax = std::max(pMax, level(p));
        pMin = std::min(pMin, level(p));
        sMax = std::max(sMax, level(s));
    }
    return {20 * std::log10(pMax / pMin), 20 * std::log10(pMax / sMax)};
}

double Figure(const std::string& out, const std::string& key) {
    for (const std::string& line : SplitLines(out))
        if (line.rfind(key + " ", 0) == 0) return std::strtod(line.c_str() + key.size() + 1, nullptr);
    ADD_FAILURE() << "no " << key << " in " << out;
    return 0;
}

TEST(BatchDesign, PrintsFiguresThatTheWrittenTapsBearOut) {
    TempDir ws;
    MakeWorkspace(ws);
    const auto before = FilesBelow(ws.path());
    // The dialog's default request for this channel: Kaiser's transition for 80 dB at 255 taps.
    const double w = 12.5e6 * (80 - 7.95) / (14.36 * 254);
    const double stop = std::round((6.25e6 + w) / 2), pass = stop - std::round(w);
    const std::string edges = StrPrintf(" --pass %.0f --stop %.0f", pass, stop);
    for (const bool compensate : {true, false}) {
        SCOPED_TRACE(compensate ? "compensated" : "plain");
        const std::string name = compensate ? "lp" : "plain";
        const BatchRun r = RunBatchTool(ws.path(), "design " + name + edges + (compensate ? "" : " --no-compensation"));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = SplitLines(r.out);
        ASSERT_EQ(lines.size(), 9u) << r.out;
        EXPECT_EQ(lines[0], "ntaps 255");
        EXPECT_EQ(lines[1].rfind("passband_ripple_db ", 0), 0u);
        EXPECT_EQ(lines[2].rfind("stopband_atten_db ", 0), 0u);
        EXPECT_EQ(lines[3], "method remez");
        EXPECT_EQ(lines[4].rfind("alias_rejection_db ", 0), 0u);
        EXPECT_EQ(lines[5].rfind("cic_alias_rejection_db ", 0), 0u);
        EXPECT_GE(Figure(r.out, "quantisation_gain_db"), 0.0);
        EXPECT_EQ(lines[7], "ripple_allowed_db 0.100");
        EXPECT_NEAR(Figure(r.out, "atten_margin_db"), Figure(r.out, "stopband_atten_db") - 80.0, 0.0015);
        EXPECT_EQ(lines[1].size() - lines[1].find('.'), 4u) << "three decimals";

        std::vector<long> taps;
        const std::string text = ReadFileText(ws / "FILTERS" / (name + ".taps"));
        for (const std::string& line : SplitLines(text)) {
            ASSERT_EQ(line[0], ' ');
            taps.push_back(std::strtol(line.c_str(), nullptr, 10));
        }
        ASSERT_EQ(taps.size(), 255u);
        const Figures f = Independent(taps, 8, pass / 12.5e6, stop / 12.5e6);
        EXPECT_NEAR(Figure(r.out, "passband_ripple_db"), f.ripple, 0.05);
        EXPECT_NEAR(Figure(r.out, "stopband_atten_db"), f.atten, 0.05);
        if (compensate)
            EXPECT_LE(f.ripple, 0.1);
        else
            EXPECT_GT(f.ripple, 1.0);
    }
    // The two coefficient files and nothing else.
    auto after = FilesBelow(ws.path());
    EXPECT_EQ(after.size(), before.size() + 2);
    for (const std::string& f : before) EXPECT_TRUE(after.count(f)) << f.substr(0, f.find(':'));
}

// The alias figures design prints are those chain gives once the written
// file is the channel's, at the same passband edge.
TEST(BatchDesign, AliasFiguresAgreeWithChainOnTheWrittenFile) {
    struct Case {
        int clock, mode, cicDec, firDec;
        double pass, stop;
    };
    const Case cases[] = {
        {100000000, 0, 8, 2, 3001540, 3248460},   // the README example: the CIC sets the limit
        {100000000, 0, 16, 1, 1500000, 2800000},  // no PFIR decimation: CIC images only
        {99999999, 0, 5, 3, 2000000, 4600000},    // a clock the decimations do not divide
        {122880000, 1, 64, 8, 80000, 160000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "clock " << c.clock << " cic " << c.cicDec << " fir " << c.firDec);
        TempDir ws;
        test::CopyExampleWorkspace(ws.path());
        const fs::path lab = ws / "CONFIGS" / "t.lab";
        std::string out;
        for (const std::string& line : SplitLines(ReadFileText(ws / "CONFIGS" / "std.lab"))) {
            const std::string key = line.substr(0, line.find_first_of(" :"));
            const std::string four = StrPrintf(" %d %d %d %d\n", c.cicDec, c.cicDec, c.cicDec, c.cicDec);
            if (key == "SystemClock")
                out += StrPrintf("SystemClock %d\n", c.clock);
            else if (key == "ModeOfInput")
                out += StrPrintf("ModeOfInput %d\n", c.mode);
            else if (key == "CicDec" || key == StrPrintf("CicM%dDec", c.mode))
                out += key + four;
            else if (key == "FirDec")
                out += StrPrintf("FirDec %d %d %d %d\n", c.firDec, c.firDec, c.firDec, c.firDec);
            else if (key == "NameOfPFIR0")
                out += "NameOfPFIR0: lp.taps\n";
            else
                out += line + "\n";
        }
        test::WriteFileText(lab, out);
        const BatchRun d =
            RunBatchTool(ws.path(), StrPrintf("--lab CONFIGS/t.lab design lp --pass %.0f --stop %.0f", c.pass, c.stop));
        ASSERT_EQ(d.status, 0) << d.err;
        const BatchRun ch = RunBatchTool(ws.path(), StrPrintf("--lab CONFIGS/t.lab chain --pass %.0f", c.pass));
        ASSERT_EQ(ch.status, 0) << ch.err;
        EXPECT_EQ(Figure(ch.out, "cic_decimation"), c.cicDec) << ch.out;
        EXPECT_EQ(Figure(d.out, "alias_rejection_db"), Figure(ch.out, "alias_rejection_db"));
        EXPECT_EQ(Figure(d.out, "cic_alias_rejection_db"), Figure(ch.out, "cic_alias_rejection_db"));
        // A shortfall of the alias rejection is named on stderr.
        EXPECT_EQ(d.err.find("alias_rejection_db") != std::string::npos, Figure(d.out, "alias_rejection_db") < 80)
            << d.err;
    }
}

TEST(BatchDesign, RefusesBadRequestsAndWritesNothing) {
    TempDir ws;
    MakeWorkspace(ws);
    const auto before = FilesBelow(ws.path());
    struct Case {
        const char* args;
        int status;
        const char* named;  // the option the message names
    };
    const Case cases[] = {
        {"--pass 0 --stop 1e6", 4, "--pass"},
        {"--pass -1 --stop 1e6", 4, "--pass"},
        {"--pass abc --stop 1e6", 4, "--pass"},
        {"--pass 1e6 --stop 1e6", 4, "--stop"},
        {"--pass 1e6 --stop 6250001", 4, "--stop"},  // beyond half the PFIR input rate
        {"--pass 1e6 --stop 2e6 --ripple 0", 4, "--ripple"},
        {"--pass 1e6 --stop 2e6 --ripple x", 4, "--ripple"},
        {"--pass 1e6 --stop 2e6 --atten -3", 4, "--atten"},
        {"--pass 1e6 --stop 2e6 --atten nan", 4, "--atten"},
        {"--pass 1e6", 1, "--stop"},
        {"--pass 1e6 --stop 2e6 --atten", 1, "--atten"},
        {"--channel B --pass 1e6 --stop 2e6", 0, ""},
        {"--channel E --pass 1e6 --stop 2e6", 1, "--channel"},
    };
    for (const Case& c : cases) {
        const BatchRun r = RunBatchTool(ws.path(), std::string("design bad ") + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.args << "\n" << r.err;
        if (c.status != 0) {
            EXPECT_TRUE(r.out.empty()) << c.args;
            EXPECT_EQ(FilesBelow(ws.path()), before) << c.args;
        }
        fs::remove(ws / "FILTERS" / "bad.taps");
    }
    // Both fields named at once, and the name stays inside FILTERS/.
    BatchRun both = RunBatchTool(ws.path(), "design bad --pass 1e6 --stop 2e6 --ripple x --atten 0");
    EXPECT_EQ(both.status, 4);
    EXPECT_NE(both.err.find("--ripple"), std::string::npos);
    EXPECT_NE(both.err.find("--atten"), std::string::npos);
    EXPECT_EQ(RunBatchTool(ws.path(), "design ../out --pass 1e6 --stop 2e6").status, 1);
    EXPECT_EQ(FilesBelow(ws.path()), before);

    // Names no file should have: refused with the reason, before any design.
    const std::pair<std::string, const char*> names[] = {{".taps", "empty"},
                                                         {std::string(300, 'n'), "longer than 255 bytes"},
                                                         {std::string(251, 'n'), "longer than 255 bytes"}};
    for (const auto& [name, reason] : names) {
        const BatchRun r = RunBatchTool(ws.path(), "design " + name + " --pass 1e6 --stop 2e6");
        EXPECT_EQ(r.status, 4) << name.size();
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(FilesBelow(ws.path()), before);

    // A FILTERS/ that cannot be written to: status 2.
    fs::remove_all(ws / "FILTERS");
    EXPECT_EQ(RunBatchTool(ws.path(), "design bad --pass 1e6 --stop 2e6").status, 2);
}

}  // namespace
}  // namespace gc
