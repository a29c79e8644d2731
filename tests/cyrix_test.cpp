// The Cyrix report: its own extended dump, identification lines, flag
// lists, leaf-2 and leaf-0x80000005 descriptors and the name string. It
// never pauses, so no form feed may appear in its output.
#include <gtest/gtest.h>

#include <string>

#include "report/cyrix/cyrix_report.h"
#include "core/cpuid.h"
#include "string_output.h"
#include "report_capture.h"

namespace {

std::string cyrix_report(std::int32_t max_level, const Leaves &leaves)
{
    return capture_vendor_report(report_cyrix, max_level, leaves).output;
}

const char tlb_line[] = "TLB: 32 intrari 4-cai associative pagini 4KB \n";
const char cache_line[] = "L1 Cache: 16KB 4-cai associative 16 octeti/line\n";

TEST(CyrixReport, WholeReportLevel2Extended80000005)
{
    const Leaves leaves = {
        {1, 0x00000520, 0, 0, 0x80802011},
        {2, 0x00007001, 0, 0, 0x00000080},
        {0x80000000, 0x80000005, 0, 0, 0},
        {0x80000001, 0x00000552, 0, 0, 0x80800001},
        {0x80000002, 0x69727943, 0x78362078, 0x584d3638, 0},
        {0x80000005, 0x00000001, 0x00007080, 0x00000080, 0x00000070},
    };
    EXPECT_EQ(cyrix_report(2, leaves),
              "functii specifice Cyrix\n"
              "Leax in: 0x80000000, Leax = 80000005 Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n"
              "Leax in: 0x80000001, Leax = 00000552 Lebx = 00000000 Lecx = 00000000 Ledx = 80800001\n"
              "Leax in: 0x80000002, Leax = 69727943 Lebx = 78362078 Lecx = 584d3638 Ledx = 00000000\n"
              "Leax in: 0x80000003, Leax = 00000000 Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n"
              "Leax in: 0x80000004, Leax = 00000000 Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n"
              "Leax in: 0x80000005, Leax = 00000001 Lebx = 00007080 Lecx = 00000080 Ledx = 00000070\n"
              "Familie: 5 Model: 2 [6x86]\n"
              "\n"
              "FPU   Floating Point Unit\n"
              "Time Stamp Counter\n"
              "Global Paging Extension\n"
              "MMX instructions\n"
              "31 - reserved\n"
              "TLB: 32 intrari 4-cai associative pagini 4KB \n"
              "L1 Cache: 16KB 4-cai associative 16 octeti/line\n"
              "\nExtended info:\n"
              "Familie: 5 Model: 5 [6x86/GXm]\n"
              "\n"
              "Flaguri extinse:\n"
              "FPU   Floating Point Unit\n"
              "MMX\n"
              "3DNow instructions\n"
              "\n"
              "string pt nume procesor: Cyrix 6x86MX"
              "TLB: 32 intrari 4-cai associative pagini 4KB \n"
              "L1 Cache: 16KB 4-cai associative 16 octeti/line\n");
}

TEST(CyrixReport, LevelDecidesStandardBlocks)
{
    const Leaves leaves = {{1, 0x00000520, 0, 0, 0x1}, {2, 0x00007001, 0, 0, 0}};
    const Capture level_0 = capture_vendor_report(report_cyrix, 0, leaves);
    EXPECT_EQ(level_0.output, "functii specifice Cyrix\n");
    EXPECT_EQ(count_queries(level_0, 1) + count_queries(level_0, 2), 0);

    const Capture level_1 = capture_vendor_report(report_cyrix, 1, leaves);
    EXPECT_EQ(level_1.output, "functii specifice Cyrix\nFamilie: 5 Model: 2 [6x86]\n\nFPU   Floating Point Unit\n");
    EXPECT_EQ(count_queries(level_1, 2), 0);
}

TEST(CyrixReport, StandardNamesAndFlagTables)
{
    struct Case {
        std::uint32_t eax, edx;
        const char *expected; // after the header line
    };
    const Case cases[] = {
        {0x00000500, 0x00002000, "Familie: 5 Model: 0 []\n\n13 - reserved\n"},
        {0x00000520, 0x00002000, "Familie: 5 Model: 2 [6x86]\n\nGlobal Paging Extension\n"},
        {0x00000440, 0, "Familie: 4 Model: 4 [MediaGX]\n\n"},
        {0x00000420, 0, "Familie: 4 Model: 2 []\n\n"},
        {0x00000540, 0, "Familie: 5 Model: 4 [BXm]\n\n"},
        {0x00000600, 0, "Familie: 6 Model: 0 [6x86/MX]\n\n"},
        {0x00000610, 0, "Familie: 6 Model: 1 []\n\n"},
        {0x00000610, 0x80000c00, "Familie: 6 Model: 1 []\n\n10 - Reserved\n11 - Reserved\n31 - reserved\n"},
        {0x00000610, 0x0000b003, "Familie: 6 Model: 1 []\n\nFPU   Floating Point Unit\nV86   Virtual Mode Extensions\n"
                                 "MTRR  Memory Type Range Registers\nGlobal Paging Extension\nCMOV  Conditional Move Instruction\n"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cyrix_report(1, {{1, c.eax, 0, 0, c.edx}}), std::string("functii specifice Cyrix\n") + c.expected)
            << std::hex << c.eax << " " << c.edx;
}

TEST(CyrixReport, ExtendedNameByFamilyWhateverTheModel)
{
    struct Case {
        std::uint32_t eax;
        const char *line;
    };
    const Case cases[] = {{0x000004f0, "Familie: 4 Model: 15 [MediaGX]\n"},
                          {0x00000500, "Familie: 5 Model: 0 [6x86/GXm]\n"},
                          {0x000006f0, "Familie: 6 Model: 15 [6x86/MX]\n"},
                          {0x00000720, "Familie: 7 Model: 2 []\n"}};
    for (const Case &c : cases)
        EXPECT_EQ(cyrix_report(0, {{0x80000000, 0x80000001, 0, 0, 0}, {0x80000001, c.eax, 0, 0, 0}}),
                  std::string("functii specifice Cyrix\n") + "Leax in: 0x80000000, Leax = 80000001 Lebx = 00000000 "
                                                              "Lecx = 00000000 Ledx = 00000000\n" +
                      "Leax in: 0x80000001, Leax = " + [&] {
                          char hex[9];
                          std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(c.eax));
                          return std::string(hex);
                      }() + " Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n" +
                      "\nExtended info:\n" + c.line + "\nFlaguri extinse:\n\n");
}

TEST(CyrixReport, Leaf2QueryCount)
{
    struct Case {
        std::uint32_t eax;
        int queries;
        std::string lines; // per query
    };
    const Case cases[] = {
        {0x00007000, 1, tlb_line},
        {0x00007001, 1, tlb_line},
        {0x00800003, 3, cache_line},
        // 0x70 in the count byte prints nothing; it means 112 queries.
        {0x00000070, 112, ""},
        {0x70807001, 1, std::string(tlb_line) + cache_line + tlb_line},
    };
    for (const Case &c : cases) {
        const Capture capture = capture_vendor_report(report_cyrix, 2, {{2, c.eax, 0, 0, 0}});
        EXPECT_EQ(count_queries(capture, 2), c.queries) << std::hex << c.eax;
        std::string expected = "functii specifice Cyrix\nFamilie: 0 Model: 0 []\n\n";
        for (int i = 0; i < c.queries; ++i)
            expected += c.lines;
        EXPECT_EQ(capture.output, expected);
    }
}

TEST(CyrixReport, Leaf2CountFromLatestQuery)
{
    int query = 0;
    const Capture capture = capture_vendor_report(report_cyrix, 2, {{2, 0x00007003, 0, 0, 0}}, [&](std::uint32_t leaf) {
        if (leaf == 2 && ++query == 2)
            CpuidResult.eax = 0x00008001; // the second query ends the loop
    });
    EXPECT_EQ(count_queries(capture, 2), 2);
    EXPECT_EQ(capture.output,
              std::string("functii specifice Cyrix\nFamilie: 0 Model: 0 []\n\n") + tlb_line + cache_line);
}

TEST(CyrixReport, DescriptorRegistersExaminedAndSkipped)
{
    // Leaf 2: ebx and ecx are never examined; edx with bit 31 set is skipped whole.
    EXPECT_EQ(cyrix_report(2, {{2, 0x00000001, 0x00000070, 0x00007080, 0x80708070}}),
              "functii specifice Cyrix\nFamilie: 0 Model: 0 []\n\n");
    EXPECT_EQ(cyrix_report(2, {{2, 0x00000001, 0, 0, 0x70000080}}),
              std::string("functii specifice Cyrix\nFamilie: 0 Model: 0 []\n\n") + cache_line + tlb_line);

    const std::string head = "string pt nume procesor: ";
    struct Case {
        std::uint32_t ebx, ecx, edx;
        std::string lines;
    };
    const Case cases[] = {
        // The low byte of ebx is never examined; bit 31 of ebx is not tested.
        {0x00000080, 0, 0, ""},
        {0x80007000, 0, 0, std::string(tlb_line) + cache_line},
        {0, 0x00000080, 0, cache_line},
        {0, 0x80000080, 0, ""},
        {0, 0, 0x70707070, ""},
    };
    for (const Case &c : cases) {
        const std::string report = cyrix_report(
            0, {{0x80000000, 0x80000005, 0, 0, 0}, {0x80000005, 0x00000001, c.ebx, c.ecx, c.edx}});
        EXPECT_EQ(report.substr(report.find(head) + head.size()), c.lines) << std::hex << c.ebx << " " << c.ecx;
    }
}

TEST(CyrixReport, DescriptorBytes)
{
    for (std::uint32_t value = 0; value < 0x100; ++value) {
        std::string output;
        capture_output(&output);
        print_cyrix_descriptor(value | 0x12345600);
        capture_output(nullptr);
        EXPECT_EQ(output, value == 0x70 ? tlb_line : value == 0x80 ? cache_line : "") << value;
    }
}

TEST(CyrixReport, HighestExtendedLeaf)
{
    const Leaves name = {{0x80000002, register_text("Cyri"), register_text("x"), 0, 0},
                         {0x80000003, register_text(" M"), 0, 0, 0},
                         {0x80000004, register_text("II"), 0, 0, 0}};
    struct Case {
        std::uint32_t max_extended_leaf;
        const char *tail; // after the extended dump
        int name_queries; // of leaves 0x80000002..4, after the dump
    };
    const Case cases[] = {
        {0x00000000, "", 0},
        {0x7fffffff, "", 0},
        {0x80000000, "\nExtended info:\n\n", 0},
        {0x80000002, "\nExtended info:\nFamilie: 0 Model: 0 []\n\nFlaguri extinse:\n\nstring pt nume procesor: Cyrix MII", 3},
        {0x80000003, "\nExtended info:\nFamilie: 0 Model: 0 []\n\nFlaguri extinse:\n\nstring pt nume procesor: Cyrix MII", 3},
        // Nothing follows the name, not even a line break.
        {0x80000004, "\nExtended info:\nFamilie: 0 Model: 0 []\n\nFlaguri extinse:\n\nstring pt nume procesor: Cyrix MII", 3},
    };
    for (const Case &c : cases) {
        Leaves leaves = name;
        leaves.push_back({0x80000000, c.max_extended_leaf, 0, 0, 0});
        const Capture capture = capture_vendor_report(report_cyrix, 0, leaves);
        const std::string &report = capture.output;
        const auto dump_end = report.rfind("Ledx = ");
        const std::string tail =
            dump_end == std::string::npos ? report.substr(std::string("functii specifice Cyrix\n").size())
                                          : report.substr(report.find('\n', dump_end) + 1);
        EXPECT_EQ(tail, c.tail) << std::hex << c.max_extended_leaf;
        // Once in the extended dump when it reaches that far, once for the name.
        const int dumped = c.max_extended_leaf >= 0x80000004u && c.max_extended_leaf < 0x80000005u ? 1 : 0;
        EXPECT_EQ(count_queries(capture, 0x80000004), dumped + c.name_queries / 3);
    }
}

} // namespace
