// The report driver: raw dump, vendor line, vendor choice and its two
// pauses (a form feed in the captured output), the register text and the
// leaf walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/leaf_walk.h"
#include "string_output.h"
#include "core/register_text.h"
#include "report_capture.h"

namespace {

const std::uint32_t genu = register_text("Genu"), inei = register_text("ineI"), ntel = register_text("ntel");
const std::uint32_t auth = register_text("Auth"), enti = register_text("enti"), camd = register_text("cAMD");

const char header[] = " eax in    eax      ebx      ecx      edx\n";

TEST(Driver, WorkedExampleIntelLevel1Extended80000001)
{
    const Leaves leaves = {
        {0, 1, genu, ntel, inei},
        {1, 0x543, 0, 0, 0x1bf},
        {0x80000000, 0x80000001, 0, 0, 0},
    };
    const std::string expected = std::string(header) +
                                 "00000000 00000001 756e6547 6c65746e 49656e69\n"
                                 "00000001 00000543 00000000 00000000 000001bf\n"
                                 "80000000 80000001 00000000 00000000 00000000\n"
                                 "80000001 00000000 00000000 00000000 00000000\n"
                                 "\n"
                                 "ID : \"GenuineIntel\"; CPUID level 1\n"
                                 "\n"
                                 "\f"
                                 "Intel-specific functions:\n"
                                 "Version 00000543:\n"
                                 "Type 0 - Original OEM\n"
                                 "Familia 5 - \fPentium\n"
                                 "Model 4 - MMX\n"
                                 "Stepping 3\n"
                                 "Reserved 0\n"
                                 "\n"
                                 "\n"
                                 "Feature flags 000001bf:\n"
                                 "FPU    Floating Point Unit\n"
                                 "VME    Virtual 8086 Mode Enhancements\n"
                                 "DE     Debugging Extensions\n"
                                 "PSE    Page Size Extensions\n"
                                 "TSC    Time Stamp Counter\n"
                                 "MSR    Model Specific Registers\n"
                                 "MCE    Machine Check Exception\n"
                                 "CX8    COMPXCHG8B Instruction\n"
                                 "\n"
                                 "\f";
    EXPECT_EQ(capture_report(leaves).output, expected);
}

struct DriverCase {
    const char *name;
    Leaves leaves;
    std::string expected;
};

class DriverCases : public ::testing::TestWithParam<DriverCase> {};

TEST_P(DriverCases, PrintsExactly)
{
    EXPECT_EQ(capture_report(GetParam().leaves).output, GetParam().expected);
}

const std::uint32_t abcd = register_text("ABCD"), efgh = register_text("EFGH"), ijkl = register_text("IJKL");

INSTANTIATE_TEST_SUITE_P(
    Dumps, DriverCases,
    ::testing::Values(
        // Level 0, no extended leaves, unknown vendor: the empty line follows
        // the only standard line, and both pauses still come.
        DriverCase{"Level0UnknownVendor",
                   {{0, 0, abcd, ijkl, efgh}},
                   std::string(header) + "00000000 00000000 44434241 4c4b4a49 48474645\n\n" +
                       "ID : \"ABCDEFGHIJKL\"; CPUID level 0\n\n\fProducator necunoscut\n\f"},
        // Bits above 15 of leaf-0 eax: the dump ends at leaf 2, the level is 2,
        // but leaf 0's line shows the whole eax.
        DriverCase{"LevelMaskedTo16Bits",
                   {{0, 0x00010002, abcd, ijkl, efgh}, {2, 0x11, 0x22, 0x33, 0x44}},
                   std::string(header) + "00000000 00010002 44434241 4c4b4a49 48474645\n" +
                       "00000001 00000000 00000000 00000000 00000000\n" +
                       "00000002 00000011 00000022 00000033 00000044\n\n" +
                       "ID : \"ABCDEFGHIJKL\"; CPUID level 2\n\n\fProducator necunoscut\n\f"},
        // Highest extended leaf with bit 31 clear: no extended line at all.
        DriverCase{"ExtendedBelow80000000",
                   {{0, 0, abcd, ijkl, efgh}, {0x80000000, 0x7fffffff, 1, 2, 3}},
                   std::string(header) + "00000000 00000000 44434241 4c4b4a49 48474645\n\n" +
                       "ID : \"ABCDEFGHIJKL\"; CPUID level 0\n\n\fProducator necunoscut\n\f"},
        DriverCase{"ExtendedExactly80000000",
                   {{0, 0, abcd, ijkl, efgh}, {0x80000000, 0x80000000, 1, 2, 3}},
                   std::string(header) + "00000000 00000000 44434241 4c4b4a49 48474645\n" +
                       "80000000 80000000 00000001 00000002 00000003\n\n" +
                       "ID : \"ABCDEFGHIJKL\"; CPUID level 0\n\n\fProducator necunoscut\n\f"},
        // A 0 byte and a control byte in the vendor id go out unchanged; the
        // closing quote still follows 12 bytes after the opening one.
        DriverCase{"VendorIdWithZeroAndControlBytes",
                   {{0, 0, 0x00074241, ijkl, 0x48000645}},
                   std::string(header) + "00000000 00000000 00074241 4c4b4a49 48000645\n\n" + "ID : \"AB" +
                       std::string("\x07\x00", 2) + std::string("E\x06\x00H", 4) +
                       "IJKL\"; CPUID level 0\n\n\fProducator necunoscut\n\f"}),
    [](const ::testing::TestParamInfo<DriverCase> &param) { return std::string(param.param.name); });

// Only the first four characters choose the report.
TEST(Driver, VendorChosenByFirstFourCharactersAlone)
{
    struct Choice {
        std::uint32_t ebx;
        const char *first_report_line;
    };
    const Choice choices[] = {
        {auth, "AMD-functii specifice\n"},
        {register_text("Cyri"), "functii specifice Cyrix\n"},
        {genu, "Intel-specific functions:\n"},
        {register_text("genu"), "Producator necunoscut\n"},
        {register_text("Auth") + 1, "Producator necunoscut\n"},
    };
    for (const Choice &choice : choices) {
        const std::string output = capture_report({{0, 0, choice.ebx, ijkl, efgh}}).output;
        const std::string::size_type first_pause = output.find('\f');
        ASSERT_NE(first_pause, std::string::npos);
        EXPECT_EQ(output.substr(first_pause + 1), std::string(choice.first_report_line) + "\f")
            << "ebx " << std::hex << choice.ebx;
    }
    // The usual AMD vendor id chooses the same report.
    const std::string amd = capture_report({{0, 0, auth, camd, enti}}).output;
    EXPECT_NE(amd.find("ID : \"AuthenticAMD\"; CPUID level 0\n\n\fAMD-functii specifice\n"), std::string::npos);
}

TEST(Driver, QueriesEveryLeafOfBothDumps)
{
    const Capture capture =
        capture_report({{0, 3, abcd, ijkl, efgh}, {0x80000000, 0x80000002, 0, 0, 0}});
    const std::vector<std::uint32_t> expected = {0, 0, 1, 2, 3, 0x80000000, 0x80000000, 0x80000001, 0x80000002, 0};
    EXPECT_EQ(capture.queries, expected);
}

std::string register_text_of(std::uint32_t first, std::uint32_t second, std::uint32_t third, std::uint32_t fourth)
{
    std::string output;
    capture_output(&output);
    print_register_text(first, second, third, fourth);
    capture_output(nullptr);
    return output;
}

TEST(RegisterText, StopsAtFirstZeroByte)
{
    const std::uint32_t mnop = register_text("MNOP");
    EXPECT_EQ(register_text_of(abcd, efgh, ijkl, mnop), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(register_text_of(0, efgh, ijkl, mnop), "");
    // A 0 in bits 16-23 of the second value: four bytes of the first, two of the second.
    EXPECT_EQ(register_text_of(abcd, 0x48004645, ijkl, mnop), "ABCDEF");
    EXPECT_EQ(register_text_of(register_text("Hell"), register_text("o Wo"), register_text("rld"), 0), "Hello World");
    // Bytes that are not printable go out unchanged.
    EXPECT_EQ(register_text_of(0x01ff7f1b, 0, 0, 0), "\x1b\x7f\xff\x01");
}

TEST(RegisterText, PiecesPrintBackToBack)
{
    std::string output;
    capture_output(&output);
    print_register_text(register_text("AMD "), 0x00006e41, register_text("xyz"), 0); // "AMD An", cut
    print_register_text(0, abcd, efgh, ijkl);                                        // nothing
    print_register_text(register_text("thlo"), register_text("n"), 0, 0);
    capture_output(nullptr);
    EXPECT_EQ(output, "AMD Anthlon");
}

std::vector<std::uint32_t> walked;

void remember(std::uint32_t leaf)
{
    walked.push_back(leaf);
}

TEST(LeafWalk, InclusiveAndEndsAtTopOfRange)
{
    struct Walk {
        std::uint32_t first, last;
        std::vector<std::uint32_t> expected;
    };
    const Walk walks[] = {
        {0, 0, {0}},
        {0, 2, {0, 1, 2}},
        {5, 4, {}},
        {0x80000000, 0x7fffffff, {}},
        {0x80000000, 0x80000000, {0x80000000}},
        {0xfffffffd, 0xffffffff, {0xfffffffd, 0xfffffffe, 0xffffffff}},
        {0xffffffff, 0xffffffff, {0xffffffff}},
    };
    for (const Walk &walk : walks) {
        walked.clear();
        walk_leaves(walk.first, walk.last, remember);
        EXPECT_EQ(walked, walk.expected) << std::hex << walk.first << ".." << walk.last;
    }
}

} // namespace
