// Program files read back under bad input: a refusal with its reason, or a
// decoded result that lists what is odd; the example's own file reproduces.
#include "chip/program_decode.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

std::string Example() { return test::ReadFileText(std::filesystem::path(GC5016_TEST_DATA) / "std_example.prg"); }

std::string ListStart(const std::string& text) { return text.substr(0, text.find("Page    Reg    Value \n") + 22); }

bool HasNote(const DecodedProgram& d, DecodeNoteKind kind) {
    for (const DecodeNote& n : d.notes)
        if (n.kind == kind) return true;
    return false;
}

TEST(ProgramDecode, BadInputIsRefusedWithItsReason) {
    const std::string head = ListStart(Example());
    std::string tooMany = head;
    for (int i = 0; i <= kRegisterWriteCapacity; ++i) tooMany += "0x99    0x10   0x1   \n";
    const struct {
        const char* what;
        std::string text;
        DecodeRefusal refusal;
        int line;
    } cases[] = {
        {"empty", "", DecodeRefusal::Empty, 0},
        {"blank lines", "\n \r\n", DecodeRefusal::Empty, 0},
        {"a text file", "hello\nworld\n", DecodeRefusal::NotProgram, 1},
        {"binary",
         std::string("\x7f"
                     "ELF\0\0\xff\n",
                     8),
         DecodeRefusal::NotProgram, 1},
        {"the header alone", head.substr(0, head.find("Page")), DecodeRefusal::NoTripleList, 0},
        {"no triples", head, DecodeRefusal::NoTriples, 0},
        {"not hexadecimal", head + "0x80    zz     0x1   \n", DecodeRefusal::BadTriple, 21},
        {"a value beyond 16 bits", head + "0x80    0x10   0x10000\n", DecodeRefusal::BadTriple, 21},
        {"a fourth number", head + "0x80    0x10   0x1 0x2\n", DecodeRefusal::BadTriple, 21},
        {"one register, two values", head + "0x80 0x10 0x1\n0x13 0x13 0x1000\n0x80 0x10 0x2\n",
         DecodeRefusal::Contradiction, 0},
        {"more triples than a list holds", tooMany, DecodeRefusal::TooManyTriples, 21 + kRegisterWriteCapacity},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = DecodeProgramText(c.text);
        EXPECT_EQ(r.refusal, c.refusal);
        EXPECT_EQ(r.line, c.line);
    }
}

TEST(ProgramDecode, OddFilesAreDecodedWithTheOdditiesListed) {
    const std::string example = Example();
    auto edit = [&](const std::string& from, const std::string& to) {
        std::string t = example;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    // The list reversed, as a converted gc101 file may order it.
    std::vector<std::string> lines = SplitLines(example.substr(ListStart(example).size()));
    std::string reversed = ListStart(example);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) reversed += *it + "\n";
    const struct {
        const char* what;
        std::string text;
        DecodeNoteKind note;
        bool reproduces;
    } cases[] = {
        {"cut inside a triple", example.substr(0, example.size() - 30), DecodeNoteKind::UnfinishedLine, false},
        {"a word edited by hand", edit("0x33    0x16   0x0   ", "0x33    0x16   0x7ff "), DecodeNoteKind::NotReproduced,
         false},
        {"a register this program never writes", example + "0x99    0x10   0x1   \n", DecodeNoteKind::UnknownRegister,
         true},
        {"another order", reversed, DecodeNoteKind::OtherOrder, true},
        {"another board", edit("TORVIN-C", "TORVIN-A"), DecodeNoteKind::OtherBoard, true},
        {"header against registers", edit("FreqNCO1= 20000000", "FreqNCO1= 20000001"), DecodeNoteKind::HeaderDiffers,
         true},
        {"a line repeated", example + "0x80    0x10   0x262 \n", DecodeNoteKind::Repeated, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = DecodeProgramText(c.text);
        ASSERT_TRUE(r.ok());
        EXPECT_TRUE(HasNote(r.program, c.note));
        EXPECT_EQ(r.program.reproduces, c.reproduces);
    }
    const DecodeResult plain = DecodeProgramText(example);
    ASSERT_TRUE(plain.ok());
    EXPECT_TRUE(plain.program.reproduces);
    EXPECT_EQ(plain.program.taps[0].size(), 31u);
    EXPECT_EQ(plain.program.settings.FreqNCO[1], 20000000);
}

}  // namespace
}  // namespace gc
