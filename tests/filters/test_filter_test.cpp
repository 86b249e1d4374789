// Ramp and chirp tap sets: exact files, the Appl copies, the chirp's shape,
// and the sets that are refused before anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/text_io.h"
#include "filters/test_filter.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// A working folder with FILTERS/ and Appl/ side by side.
struct Workspace {
    TempDir dir;
    Workspace() {
        std::filesystem::create_directories(dir / "FILTERS");
        std::filesystem::create_directories(dir / "Appl");
    }
    std::filesystem::path filters(const std::string& name) const { return dir / "FILTERS" / name; }
    std::filesystem::path appl(const std::string& name) const { return dir / "Appl" / name; }
};

TestFilterParams Ramp(int kind, int n) { return {kind, n, 0, 0, 0.0f}; }
TestFilterParams Chirp(int kind, int n, int obkatka = 0) { return {kind, n, 1000000, obkatka, 2500000.0f}; }

std::vector<long> Numbers(const std::filesystem::path& p) {
    std::vector<long> v;
    const auto lines = ReadLines(p);
    if (!lines) return v;
    for (const std::string& line : *lines) v.push_back(std::strtol(line.c_str(), nullptr, 10));
    return v;
}

TEST(RampFilter, FilesAndApplCopiesAreExact) {
    struct Case {
        int kind, n;
        const char* taps;
        const char* copy;
    };
    const Case cases[] = {
        {2, 4, " 1\n 2\n 3\n 4\n", " 1.000000\n 2.000000\n 3.000000\n 4.000000\n"},
        {1, 5, " 1\n 2\n 3\n 2\n 1\n", " 1.000000\n 2.000000\n 3.000000\n 2.000000\n 1.000000\n"},
        {1, 6, " 1\n 2\n 3\n 2\n 1\n", " 1.000000\n 2.000000\n 3.000000\n 2.000000\n 1.000000\n"},
        {0, 6, " 1\n 2\n 3\n 3\n 2\n 1\n", " 1.000000\n 2.000000\n 3.000000\n 3.000000\n 2.000000\n 1.000000\n"},
        {0, 5, " 1\n 2\n 2\n 1\n", " 1.000000\n 2.000000\n 2.000000\n 1.000000\n"},
    };
    for (const Case& c : cases) {
        Workspace ws;
        TestFilterResult r = WriteTestFilter(Ramp(c.kind, c.n), ws.filters("ramp.taps"));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_FALSE(r.chirp);
        EXPECT_EQ(ReadFileText(ws.filters("ramp.taps")), c.taps) << "kind " << c.kind << " N " << c.n;
        EXPECT_EQ(ReadFileText(ws.appl("ramp.taps")), c.copy) << "kind " << c.kind << " N " << c.n;
        EXPECT_EQ(r.written.size(), 2u);
    }
}

TEST(RampFilter, ApplFolderMustExistBesideTheChosenFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir / "FILTERS");
    WriteFileText(dir / "FILTERS" / "r.taps", " 7\n");
    TestFilterResult r = WriteTestFilter(Ramp(2, 3), dir / "FILTERS" / "r.taps");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failed, (dir / "Appl" / "r.taps").lexically_normal());
    EXPECT_NE(r.message.find("Appl"), std::string::npos);
    // The taps and their copy are one set: the taps are not replaced alone.
    EXPECT_EQ(ReadFileText(dir / "FILTERS" / "r.taps"), " 7\n");
    EXPECT_TRUE(r.written.empty());
}

TEST(RampFilter, PathsChosenWithBackslashesSplitAtTheLastSeparator) {
    // Paths typed the board software's way still name the folder and the file.
    Workspace ws;
    TestFilterResult r = WriteTestFilter(Ramp(2, 2), (ws.dir / "FILTERS").string() + "\\r.taps");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(ReadFileText(ws.filters("r.taps")), " 1\n 2\n");
    EXPECT_EQ(ReadFileText(ws.appl("r.taps")), " 1.000000\n 2.000000\n");
}

TEST(ChirpFilter, UntaperedChirpStartsAtFullAmplitudeAndIsSymmetric) {
    for (int kind : {kChirpUp, kChirpDown}) {
        Workspace ws;
        TestFilterResult r = WriteTestFilter(Chirp(kind, 64), ws.filters("xxsweep.taps"));
        ASSERT_TRUE(r.ok) << r.message;
        ASSERT_TRUE(r.chirp);
        std::vector<long> I = Numbers(ws.filters("_Isweep.taps"));
        std::vector<long> Q = Numbers(ws.filters("_Qsweep.taps"));
        ASSERT_EQ(I.size(), 64u);
        ASSERT_EQ(Q.size(), 64u);
        EXPECT_EQ(I[0], 15000);
        EXPECT_EQ(Q[0], 0);
        EXPECT_LE(std::abs(I[63] - I[0]), 1);
        EXPECT_LE(std::abs(Q[63] - Q[0]), 1);
        // The phase is symmetric about the centre of the set.
        for (size_t n = 0; n < 64; ++n) EXPECT_LE(std::abs(I[n] - I[63 - n]), 1) << n;

        double sumI = 0, sumQQ = 0;
        for (size_t n = 0; n < 64; ++n) {
            sumI += static_cast<double>(I[n]);
            sumQQ += static_cast<double>(Q[n] * Q[n]);
        }
        EXPECT_NEAR(static_cast<double>(r.sums.I), sumI, 0.5);
        EXPECT_NEAR(static_cast<double>(r.sums.QQ), sumQQ, sumQQ * 1e-6);
        // No ramp copy for chirps.
        EXPECT_TRUE(std::filesystem::is_empty(ws.dir / "Appl"));
    }
    // Rising and falling chirps are mirror images: same I, opposite Q.
    TestFilterParams up = Chirp(kChirpUp, 40), down = Chirp(kChirpDown, 40);
    ChirpSet a = ComputeChirp(up), b = ComputeChirp(down);
    for (size_t n = 0; n < 40; ++n) {
        EXPECT_EQ(a.I[n], b.I[n]);
        EXPECT_EQ(a.Q[n], -b.Q[n]);
    }
}

TEST(ChirpFilter, FilesOfAWorkedExampleAreExact) {
    // N = 5, Fs = 4 Hz, D = 1 Hz: w0 = -pi/4 and k = pi/8, so the phases are
    // 0, -3pi/16, -pi/4, -3pi/16, 0; 15000 cos(3pi/16) = 12472.04,
    // 15000 sin(3pi/16) = 8333.55, 15000 cos(pi/4) = 10606.60.
    for (int kind : {kChirpUp, kChirpDown}) {
        SCOPED_TRACE(kind);
        Workspace ws;
        TestFilterResult r = WriteTestFilter({kind, 5, 1, 0, 4.0f}, ws.filters("xxw.taps"));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(ReadFileText(ws.filters("_Iw.taps")), " 15000\n 12472\n 10606\n 12472\n 15000\n");
        // Rising: the phase runs below zero first; falling: above.
        EXPECT_EQ(ReadFileText(ws.filters("_Qw.taps")),
                  kind == kChirpUp ? " 0\n -8333\n -10606\n -8333\n 0\n" : " 0\n 8333\n 10606\n 8333\n 0\n");
        EXPECT_EQ(r.sums.I, 65550.0f);
        EXPECT_EQ(r.sums.Q, kind == kChirpUp ? -27272.0f : 27272.0f);
        EXPECT_NEAR(static_cast<double>(r.sums.II), 873588804.0, 873588804.0 * 2e-7);
        EXPECT_NEAR(static_cast<double>(r.sums.QQ), 251365014.0, 251365014.0 * 2e-7);
    }
}

// The I and Q halves are one set: when Q cannot be written, the I of the
// earlier set stays too, so a pair never mixes two runs.
TEST(ChirpFilter, AHalfThatCannotBeWrittenLeavesBothOldHalves) {
    Workspace ws;
    test::WriteFileText(ws.filters("_Iw.taps"), "old I\n");
    std::filesystem::create_directories(ws.filters("_Qw.taps"));  // a folder is never replaced
    const TestFilterResult r = WriteTestFilter({kChirpUp, 5, 1, 0, 4.0f}, ws.filters("xxw.taps"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.failure.ok());
    EXPECT_TRUE(r.written.empty());
    EXPECT_EQ(ReadFileText(ws.filters("_Iw.taps")), "old I\n");
}

TEST(ChirpFilter, NamesLoseTheirFirstTwoCharactersNotBytes) {
    Workspace ws;
    TestFilterResult r = WriteTestFilter(Chirp(kChirpUp, 8), ws.filters("ЛЧсвип.taps"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(std::filesystem::exists(ws.filters("_Iсвип.taps")));
    EXPECT_TRUE(std::filesystem::exists(ws.filters("_Qсвип.taps")));
    r = WriteTestFilter(Chirp(kChirpUp, 8), ws.filters("aБcd.taps"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(std::filesystem::exists(ws.filters("_Icd.taps")));
    // One Cyrillic letter is two bytes but one character: nothing is left to name the pair.
    r = WriteTestFilter(Chirp(kChirpUp, 8), ws.filters("Л"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.written.empty());
}

TEST(ChirpFilter, TaperIsOneAtTheCentreAndZeroAtTheEdge) {
    EXPECT_EQ(ChirpWindow(16, 32, 1), 1.0);
    EXPECT_LT(ChirpWindow(0, 32, 1), 1e-30);
    EXPECT_EQ(ChirpWindow(0, 32, 0), 1.0);
    EXPECT_EQ(ChirpWindow(0, 32, 2), 1.0);  // only 1 means "taper"
    ChirpSet s = ComputeChirp(Chirp(kChirpUp, 32, 1));
    EXPECT_EQ(s.I[0], 0);
    EXPECT_EQ(s.Q[0], 0);
    // At the centre the weight is 1: the amplitude is whole.
    EXPECT_NEAR(std::hypot(s.I[16], s.Q[16]), 15000.0, 1.5);
}

TEST(TestFilter, UnusableRequestsAreRefusedAndWriteNothing) {
    struct Case {
        TestFilterParams p;
        const char* name;
    };
    const Case cases[] = {
        {Chirp(kChirpUp, 513), "xxsweep.taps"},  // beyond the 512-tap buffers
        {Chirp(kChirpUp, 1), "xxsweep.taps"},    // (N - 1) would divide by zero
        {Chirp(kChirpDown, 0), "xxsweep.taps"},
        {Chirp(kChirpDown, -4), "xxsweep.taps"},
        {Chirp(kChirpUp, 32), "x"},                          // no name left after two characters
        {{kChirpUp, 32, 1000000, 0, 0.0f}, "xxsweep.taps"},  // zero output rate
        {{kChirpUp, 32, 1000000, 0, NAN}, "xxsweep.taps"},
        {Ramp(2, 0), "ramp.taps"},
        {Ramp(1, -3), "ramp.taps"},
        {Ramp(0, 1), "ramp.taps"},  // an even ramp of one tap is empty
        {Ramp(2, kRampMaxTaps + 1), "ramp.taps"},
        {Ramp(7, 10), "ramp.taps"},  // no such kind
    };
    for (const Case& c : cases) {
        Workspace ws;
        TestFilterResult r = WriteTestFilter(c.p, ws.filters(c.name));
        EXPECT_FALSE(r.ok) << "kind " << c.p.kind << " N " << c.p.numTaps;
        EXPECT_FALSE(r.message.empty());
        EXPECT_TRUE(r.written.empty());
        EXPECT_TRUE(std::filesystem::is_empty(ws.dir / "FILTERS"));
        EXPECT_TRUE(std::filesystem::is_empty(ws.dir / "Appl"));
    }
}

}  // namespace
}  // namespace gc
