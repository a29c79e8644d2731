// The AMD report: identification, both flag lists, name string, level-1 and
// level-2 caches and TLBs, power management and address sizes. A form feed
// marks each pause.
#include <gtest/gtest.h>

#include <string>

#include "report/amd/amd_report.h"
#include "report_capture.h"

namespace {

std::string amd_report(std::int32_t max_level, const Leaves &leaves)
{
    return capture_vendor_report(report_amd, max_level, leaves).output;
}

std::string after(const std::string &text, const std::string &marker)
{
    const auto at = text.find(marker);
    return at == std::string::npos ? "<" + marker + " missing>" : text.substr(at + marker.size());
}

TEST(AmdReport, WholeReportToLeaf80000008)
{
    const Leaves leaves = {
        {1, 0x00000612, 0, 0, 0x81808311},
        {0x80000000, 0x80000008, 0, 0, 0},
        {0x80000001, 0x00000712, 0, 0, 0xc0000800},
        {0x80000002, register_text("AMD "), register_text("Athl"), register_text("on(t"), register_text("m) P")},
        {0x80000003, register_text("roce"), register_text("ssor"), 0, 0},
        {0x80000005, 0x04200810, 0xff20ff10, 0x40020140, 0x40ff0140},
        {0x80000006, 0x82004200, 0xf1006123, 0x01008140, 0xffffffff},
        {0x80000007, 0, 0, 0, 0x00000005},
        {0x80000008, 0x00002024, 0, 0, 0},
    };
    EXPECT_EQ(amd_report(1, leaves), "AMD-functii specifice\n"
                                     "Versiune 00000612:\n"
                                     "Family: 6 Model: 1 [Athlon model 1]\n"
                                     "\n"
                                     "\f"
                                     "Flaguri standard 81808311:\n"
                                     "Floating Point Unit\n"
                                     "Time Stamp Counter (with RDTSC and CR4 disable bit)\n"
                                     "COMPXCHG8B Instruction\n"
                                     "APIC\n"
                                     "Conditional Move Instruction\n"
                                     "MMX instructions\n"
                                     "FXSAVE/FXRSTOR\n"
                                     "3DNow instructions\n"
                                     "\f"
                                     "Generatie: 7 Model: 1\n"
                                     "Flaguri extinse c0000800:\n"
                                     "SYSCALL/SYSRET or SYSENTER/SYSEXIT instructions\n"
                                     "3DNow! Instruction Extensions\n"
                                     "3DNow instructions\n"
                                     "\n"
                                     "String nume procesor: AMD Athlon(tm) Processor\n"
                                     "Informatii L1 Cache:\n"
                                     "Pagini 2/4-MB:\n"
                                     "   Date TLB:4-cai asociative  intrari 32\n"
                                     "   Instructiuni TLB:8-cai asociative intrari 16\n"
                                     "Pagini 4-KB:\n"
                                     "   Data TLB:255-cai asociative intrari 32\n"
                                     "   Instruction TLB: 255-cai asociative intrari 16\n"
                                     "Cache date L1 :\n"
                                     "   marime 64 KB 2-cai asociative 1 linii/destinatie  marime 64\n"
                                     "Chache instructiuni L1:\n"
                                     "   marime 64 KB ff-cai asociative 1 linii/destinatie  marime 64\n"
                                     "Informatii Cache L2:\n"
                                     "Pagini 2/4-MB :\n"
                                     "   Date TLB: asociative 16-way intrari 512\n"
                                     "   Instructiuni TLB: asociative 4-way  intrari 512\n"
                                     "Pagini 4-KB :\n"
                                     "   Date TLB: asociative full intrari 256\n"
                                     "   Instruction TLB: asociative 8-way intrari 291\n"
                                     "   marime 256 KB asociative 16-way linii/ destinatie 1 marime line  64\n"
                                     "\n"
                                     "\f"
                                     "Flaguri Advanced Power Management\n"
                                     "Dioda senzor de temperatura\n"
                                     "Suport pt Voltage ID control\n"
                                     "\f"
                                     "Marimea maxima a adresei liniare: 32; marimea adresei fizice 36\n");
}

TEST(AmdReport, NoExtendedLeavesEndsAfterStandardList)
{
    // Leaf 0x80000000 eax 0: no empty line and no pause after the list.
    EXPECT_EQ(amd_report(1, {{1, 0x00000f00, 0, 0, 0x1}}),
              "AMD-functii specifice\nVersiune 00000f00:\nFamily: 15 Model: 0 []\n\n\f"
              "Flaguri standard 00000001:\nFloating Point Unit\n");
    const Capture level_0 = capture_vendor_report(report_amd, 0, {{1, 0x00000500, 0, 0, 0}});
    EXPECT_EQ(level_0.output, "AMD-functii specifice\n");
    EXPECT_EQ(level_0.queries, (std::vector<std::uint32_t>{0x80000000}));
}

TEST(AmdReport, Level0KeepsFamily0)
{
    // Leaf 1 says family 5 but is never read, so the extended bit-9 line
    // does not appear and the cache sections lack their 2/4-MB lines.
    const Capture capture = capture_vendor_report(
        report_amd, 0,
        {{1, 0x00000680, 0, 0, 0}, {0x80000000, 0x80000006, 0, 0, 0}, {0x80000001, 0x00000500, 0, 0, 0}});
    EXPECT_EQ(capture.output, "AMD-functii specifice\n"
                              "\fGeneratie: 5 Model: 0\nFlaguri extinse 00000000:\n"
                              "\n"
                              "String nume procesor: \n"
                              "Informatii L1 Cache:\n"
                              "Pagini 4-KB:\n"
                              "   Data TLB:0-cai asociative intrari 0\n"
                              "   Instruction TLB: 0-cai asociative intrari 0\n"
                              "Cache date L1 :\n"
                              "   marime 0 KB 0-cai asociative 0 linii/destinatie  marime 0\n"
                              "Chache instructiuni L1:\n"
                              "   marime 0 KB 0-cai asociative 0 linii/destinatie  marime 0\n"
                              "Informatii Cache L2:\n"
                              "   marime 0 KB asociative L2 off linii/ destinatie 0 marime line  0\n"
                              "\n"
                              "\f\f");
    EXPECT_EQ(count_queries(capture, 1), 0);
}

TEST(AmdReport, ExtendedLeafBelow80000001StillRunsSecondHalf)
{
    for (std::uint32_t max_extended_leaf : {0x80000000u, 0x00000005u}) {
        EXPECT_EQ(amd_report(1, {{1, 0x00000f00, 0, 0, 0}, {0x80000000, max_extended_leaf, 0, 0, 0}}),
                  "AMD-functii specifice\nVersiune 00000f00:\nFamily: 15 Model: 0 []\n\n\f"
                  "Flaguri standard 00000000:\n\n\f\f")
            << std::hex << max_extended_leaf;
    }
}

TEST(AmdReport, Family5Model0StandardList)
{
    struct Flags {
        std::uint32_t edx;
        const char *list;
    };
    const Flags cases[] = {
        {0x00000000, "Extensie paginare globala\n13 - rezervat\n"},
        {0x00000201, "Floating Point Unit\nExtensie paginare globala\n13 - rezervat\n"},
        {0x80002200, "Extensie paginare globala\n13 - rezervat\n3DNow instructions\n"},
    };
    for (const Flags &flags : cases) {
        const std::string report = amd_report(1, {{1, 0x00000500, 0, 0, flags.edx}});
        char heading[32];
        std::snprintf(heading, sizeof heading, "Flaguri standard %08x:\n", static_cast<unsigned>(flags.edx));
        EXPECT_EQ(after(report, heading), flags.list);
    }
    // Any other family or model prints set bits only.
    EXPECT_EQ(after(amd_report(1, {{1, 0x00000510, 0, 0, 0x00002200}}), "Flaguri standard 00002200:\n"),
              "APIC\nGlobal paging extension\n");
}

TEST(AmdReport, ExtendedListBit9Line)
{
    struct Case {
        std::uint32_t leaf_1_eax, extended_eax, extended_flags;
        const char *list;
    };
    const Case cases[] = {
        {0x00000580, 0x00000500, 0x00000000, "extensie paginare globala\n"},
        {0x00000580, 0x00000600, 0x00000201, "Floating Point Unit\nextensie paginare globala\n"},
        // Extended model not 0, or leaf-1 family not 5: set bits only.
        {0x00000580, 0x00000510, 0x00000200, "APIC\n"},
        {0x00000680, 0x00000500, 0x00000000, ""},
    };
    for (const Case &c : cases) {
        const std::string report = amd_report(
            1, {{1, c.leaf_1_eax, 0, 0, 0}, {0x80000000, 0x80000001, 0, 0, 0}, {0x80000001, c.extended_eax, 0, 0, c.extended_flags}});
        const std::string list = after(report, "Flaguri extinse ");
        EXPECT_EQ(list.substr(10), std::string(c.list) + "\n\f\f") << report;
    }
}

TEST(AmdReport, ModelNames)
{
    struct Name {
        std::uint32_t signature;
        const char *line;
    };
    const Name names[] = {
        {0x00000470, "Family: 4 Model: 7 [486 model 7]"},
        {0x00000500, "Family: 5 Model: 0 [K6 Model 0]"},
        {0x00000530, "Family: 5 Model: 3 [K6 Model 3]"},
        {0x00000540, "Family: 5 Model: 4 [K5/K6 model 4]"},
        {0x00000570, "Family: 5 Model: 7 [K6 Model 7]"},
        {0x00000580, "Family: 5 Model: 8 [K6-2 Model 8]"},
        {0x00000590, "Family: 5 Model: 9 [K6-III Model 9]"},
        {0x000005a0, "Family: 5 Model: 10 [K5/K6 model 10]"},
        {0x00000600, "Family: 6 Model: 0 [Duron/Athlon model 0]"},
        {0x00000620, "Family: 6 Model: 2 [Athlon model 2]"},
        {0x00000630, "Family: 6 Model: 3 [Duron model 3]"},
        {0x00000640, "Family: 6 Model: 4 [Athlon model 4]"},
        {0x00000650, "Family: 6 Model: 5 [Duron/Athlon model 5]"},
        {0x00000660, "Family: 6 Model: 6 [Athlon MP/Mobile Athlon model 6]"},
        {0x00000670, "Family: 6 Model: 7 [Mobile Duron Model 7]"},
        {0x00000680, "Family: 6 Model: 8 [Duron/Athlon model 8]"},
        {0x000006f0, "Family: 6 Model: 15 [Duron/Athlon model 15]"},
        {0x00000310, "Family: 3 Model: 1 []"},
        {0x00000f10, "Family: 15 Model: 1 []"},
        {0x00a00f10, "Family: 15 Model: 1 []"},
    };
    for (const Name &name : names) {
        char version[32];
        std::snprintf(version, sizeof version, "Versiune %08x:\n", static_cast<unsigned>(name.signature));
        const std::string report = amd_report(1, {{1, name.signature, 0, 0, 0}});
        EXPECT_EQ(report.substr(0, report.find("Flaguri standard")),
                  std::string("AMD-functii specifice\n") + version + name.line + "\n\n\f");
    }
}

std::string level_2_line(std::uint32_t ecx)
{
    const std::string report = amd_report(0, {{0x80000000, 0x80000006, 0, 0, 0}, {0x80000006, 0, 0, ecx, 0}});
    const std::string line = after(report, "Informatii Cache L2:\n");
    return line.substr(0, line.find('\n') + 1);
}

TEST(AmdCaches, EveryAssociativityCodeHasItsName)
{
    const char *const names[16] = {"L2 off", "Direct mapped", "2-way",    "reserved", "4-way",    "reserved",
                                   "8-way",  "reserved",      "16-way",   "reserved", "reserved", "reserved",
                                   "reserved", "reserved",    "reserved", "full"};
    for (std::uint32_t code = 0; code < 16; ++code)
        EXPECT_EQ(level_2_line(0x02000140 | (code << 12)),
                  std::string("   marime 512 KB asociative ") + names[code] + " linii/ destinatie 1 marime line  64\n");
    EXPECT_EQ(level_2_line(0xffffffff), "   marime 65535 KB asociative full linii/ destinatie 15 marime line  255\n");
}

TEST(AmdCaches, Level1AssociativityInHexTlbsInDecimal)
{
    const std::string report = amd_report(
        0, {{0x80000000, 0x80000005, 0, 0, 0}, {0x80000005, 0xffffffff, 0xffffffff, 0x10ff0220, 0x02100120}});
    EXPECT_EQ(after(report, "Informatii L1 Cache:\n"), "Pagini 4-KB:\n"
                                                       "   Data TLB:255-cai asociative intrari 255\n"
                                                       "   Instruction TLB: 255-cai asociative intrari 255\n"
                                                       "Cache date L1 :\n"
                                                       "   marime 16 KB ff-cai asociative 2 linii/destinatie  marime 32\n"
                                                       "Chache instructiuni L1:\n"
                                                       "   marime 2 KB 10-cai asociative 1 linii/destinatie  marime 32\n"
                                                       "\f\f");
}

TEST(AmdCaches, HighestExtendedLeafDecidesSections)
{
    const Leaves base = {{1, 0x00000500, 0, 0, 0}, {0x80000007, 0, 0, 0, 0}};
    struct Case {
        std::uint32_t max_extended_leaf;
        const char *tail; // everything after the name string
    };
    const Case cases[] = {
        {0x80000004, "\f\f"},
        {0x80000006, "Informatii L1 Cache:\nPagini 4-KB:\n   Data TLB:0-cai asociative intrari 0\n"
                     "   Instruction TLB: 0-cai asociative intrari 0\nCache date L1 :\n"
                     "   marime 0 KB 0-cai asociative 0 linii/destinatie  marime 0\nChache instructiuni L1:\n"
                     "   marime 0 KB 0-cai asociative 0 linii/destinatie  marime 0\nInformatii Cache L2:\n"
                     "   marime 0 KB asociative L2 off linii/ destinatie 0 marime line  0\n\n\f\f"},
    };
    for (const Case &c : cases) {
        Leaves leaves = base;
        leaves.push_back({0x80000000, c.max_extended_leaf, 0, 0, 0});
        EXPECT_EQ(after(amd_report(1, leaves), "String nume procesor: \n"), c.tail);
    }
    // Leaf 0x80000007 with edx 0: the heading alone.
    Leaves leaves = base;
    leaves.push_back({0x80000000, 0x80000007, 0, 0, 0});
    EXPECT_EQ(after(amd_report(1, leaves), "marime line  0\n\n"), "\fFlaguri Advanced Power Management\n\f");
}

TEST(AmdCaches, PowerFlagsAndAddressSizes)
{
    const std::string report =
        amd_report(0, {{0x80000000, 0x80000008, 0, 0, 0},
                       {0x80000007, 0xffffffff, 0xffffffff, 0xffffffff, 0xfffffffa},
                       {0x80000008, 0xffff3024, 0, 0, 0}});
    EXPECT_NE(report.find("\fFlaguri Advanced Power Management\nSuport pt Frequency ID control\n\f"
                          "Marimea maxima a adresei liniare: 48; marimea adresei fizice 36\n"),
              std::string::npos)
        << report;
}

TEST(AmdReport, NameStringQueriesAllThreeLeaves)
{
    const Capture capture = capture_vendor_report(
        report_amd, 0,
        {{0x80000000, 0x80000002, 0, 0, 0},
         {0x80000002, register_text("AMD "), register_text("K6-2"), 0, 0},
         {0x80000003, register_text("xyz"), 0, 0, 0},
         {0x80000004, register_text("!"), 0, 0, 0}});
    EXPECT_NE(capture.output.find("String nume procesor: AMD K6-2xyz!\n\f\f"), std::string::npos) << capture.output;
    EXPECT_EQ(count_queries(capture, 0x80000004), 1);
}

} // namespace
