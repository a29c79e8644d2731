// Reading recorded CPUID dumps: every record form, lines that are not
// records, logical processors, pieces split anywhere, and bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_runner.h"
#include "replay/dump_parser.h"

// In the record's own namespace, where the comparisons look for them.
static bool operator==(const RecordedLeaf &a, const RecordedLeaf &b)
{
    return a.leaf == b.leaf && a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

static void PrintTo(const RecordedLeaf &leaf, std::ostream *out)
{
    *out << std::hex << "{" << leaf.leaf << ": " << leaf.eax << " " << leaf.ebx << " " << leaf.ecx << " " << leaf.edx
         << "}";
}

namespace {

using namespace std::string_literals; // "..."s: texts with NUL bytes in them

const RecordedLeaf leaf_0 = {0, 0x00000002, 0x756E6547, 0x6C65746E, 0x49656E69};

struct GoodCase {
    const char *name;
    std::string text;
    std::vector<RecordedLeaf> leaves;
};

class GoodDumps : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodDumps, Parse)
{
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    ASSERT_TRUE(parse_dump(GetParam().text, 0, leaves, error)) << error.line << ": " << error.message;
    EXPECT_EQ(leaves, GetParam().leaves);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GoodDumps,
    ::testing::Values(
        GoodCase{"Collection",
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                 "CPUID 80000000: 80000004-00000000-00000000-00000000\n",
                 {leaf_0, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"CollectionLowerCaseNoFinalNewline",
                 "CPUID 00000000: 00000002-756e6547-6c65746e-49656e69",
                 {leaf_0}},
        GoodCase{"CollectionBlankAfterLeafAndAnnotations",
                 "CPUID 00000000 00000002-756E6547-6C65746E-49656E69 [SL 00]\r\n"
                 "\tCPUID\t00000004:\t1C004121-01C0003F-0000003F-00000000   [SL 00]\n"
                 "CPUID 00000004: 1C004122-01C0003F-0000003F-00000000 [SL 01]\n"
                 "CPUID 0000000B:00000001-00000002-00000100-00000000\n",
                 {leaf_0, {4, 0x1C004121, 0x01C0003F, 0x0000003F, 0}, {0xB, 1, 2, 0x100, 0}}},
        GoodCase{"Aida64SubLeafNoteCountsWhereverItStands", // sorted or pasted: [SL 0B] is sub-leaf 11
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                 "CPUID 00000004: 11111111-22222222-33333333-44444444 [SL 01]\n"
                 "CPUID 00000004: 1C004121-01C0003F-0000003F-00000000 [SL 00]\n"
                 "CPUID 0000000B: 55555555-66666666-77777777-88888888 [SL 0B]\n"
                 "CPUID 0000000B: 00000001-00000002-00000100-00000000\n",
                 {leaf_0, {4, 0x1C004121, 0x01C0003F, 0x0000003F, 0}, {0xB, 1, 2, 0x100, 0}}},
        GoodCase{"CrLineEndsAloneAndMixed",
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\r"
                 "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\r\n"
                 "CPUID 80000000: 80000004-00000000-00000000-00000000\r",
                 {leaf_0, {1, 0x633, 0, 0, 0x80FBFF}, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"OwnDumpInsideAWholeReport",
                 " eax in    eax      ebx      ecx      edx\n"
                 "00000000 00000002 756e6547 6c65746e 49656e69\n"
                 "80000000 80000004 00000000 00000000 00000000\n"
                 "\n"
                 "ID : \"GenuineIntel\"; CPUID level 2\n"
                 "\fIntel-specific functions:\n"
                 "Version 00000633:\n"
                 "01: Instructiuni TLB: pagina 4KB , 4 cai setate asociativ, 32 intrari\n"
                 "Leax in: 0x80000000, Leax = 80000004 Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n",
                 {leaf_0, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"Aida64BlankBeforeColonAndBlankSeparatedValues",
                 "CPUID 00000000 :00000002-756E6547-6C65746E-49656E69\n"
                 "CPUID 00000001 : 0000067A 00000000 00000000 00803135\n"
                 "CPUID 80000000: 80000006 00000000 00000000 00000000 [SL 00]\n",
                 {leaf_0, {1, 0x67A, 0, 0, 0x803135}, {0x80000000, 0x80000006, 0, 0, 0}}},
        GoodCase{"Aida64HeaderLinesAreNotRecords",
                 "CPUID Manufacturer: GenuineIntel\n"
                 "CPUID CPU Name    : Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\n"
                 "CPUID Revision    : 000906EAh\n"
                 "CPUID Registers (CPU #1):\n"
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n",
                 {leaf_0}},
        GoodCase{"CpuidRSubLeaf0IsTheLeaf",
                 "CPU 0:\n"
                 "   0x00000000 0x00: eax=0x00000002 ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
                 "   0x00000004 0x01: eax=0x00000122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000001\n"
                 "0x00000004 0x00: eax=0x00000121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000001\n"
                 "\t0x80000000 0x00: eax=0x80000004 ebx=0x00000000 ecx=0x00000000 edx=0x00000000 \r\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"CpuidROlderFormWithoutSubLeaf",
                 "CPU 0:\n"
                 "   0x00000000: eax=0x00000002 ebx=0x756e6547 ecx=0x6c65746e edx=0x49656e69\n"
                 "   0x00000004: eax=0x00000121 ebx=0x01c0003f ecx=0x0000003f edx=0x00000001\n"
                 "   0x00000004: eax=0x00000122 ebx=0x01c0003f ecx=0x0000003f edx=0x00000001\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}, {4, 0x122, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"Libcpuid",
                 "version=0.6.2\n"
                 "\n"
                 "_________________ Logical CPU #0 _________________\n"
                 "basic_cpuid[0]=00000002 756e6547 6c65746e 49656e69\n"
                 "basic_cpuid[10]=07300402 00000000 00000000 00000603\n"
                 "ext_cpuid[0]=80000008 00000000 00000000 00000000\n"
                 "ext_cpuid[31]=00000000 00000000 00000000 00000001\n"
                 "intel_fn4[1]=00000122 01c0003f 0000003f 00000001\n"
                 "amd_fn8000001dh[0]=00004121 01c0003f 0000003f 00000000\n",
                 {leaf_0,
                  {0xA, 0x07300402, 0, 0, 0x603},
                  {0x80000000, 0x80000008, 0, 0, 0},
                  {0x8000001F, 0, 0, 0, 1}}},
        GoodCase{"CpuzEveryLayoutAndItsLookAlikes",
                 "\tCPUID\t\t\tF.1.2\r\n"
                 "CPUID  6.F.6\r\n"
                 "\tCPUID\t\t \r\n"
                 "\t0x00000000\t\t0x00000002\t0x756E6547\t0x6C65746E\t0x49656E69\r\n"
                 "\tMSR 0x0000001B\t\t0x00000000\t0xFEE00900\r\n"
                 "MSR 0x0000001B\t\tedx = 0x00000000\teax = 0xFEE00900\n"
                 "MSR 0000002A\t\t\t00000000\tC5800000\n"
                 "\t00\t23 11 0C 02 85 21 00 08 00 00 00 03 09 03 00 00 \n"
                 "Function\t\teax\t\tebx\t\tecx\t\tedx\n"
                 "0x0000000B    0x00000001 0x00000002 0x00000100 0x00000000\n"
                 "Function 00000004\t\t1C004121\t01C0003F\t0000003F\t00000000\n",
                 {leaf_0, {0xB, 1, 2, 0x100, 0}, {4, 0x1C004121, 0x01C0003F, 0x3F, 0}}},
        GoodCase{"CpufetchSubLeaf0IsTheLeaf",
                 "  CPUID leaf sub   EAX        EBX        ECX        EDX       \n"
                 "CPU 0:\n"
                 "  0x00000000 0x00: 0x00000002 0x756E6547 0x6C65746E 0x49656E69\n"
                 "  0x00000004 0x01: 0x00000122 0x01C0003F 0x0000003F 0x00000001\n"
                 "  0x00000004 0x00: 0x00000121 0x01C0003F 0x0000003F 0x00000001\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"X86info",
                 "CPU #1\n"
                 "eax in: 0x00000000, eax = 00000002 ebx = 756e6547 ecx = 6c65746e edx = 49656e69\n"
                 "Leax in: 0x80000000, Leax = 80000004 Lebx = 00000000 Lecx = 00000000 Ledx = 00000000\n",
                 {leaf_0}},
        GoodCase{"HwlocInputsAndOutputs",
                 "# mask e[abcd]x => e[abcd]x\n"
                 "1 0 0 0 0 => 2 756e6547 6c65746e 49656e69\n"
                 "5 4 0 1 0 => 122 1c0003f 3f 1\n"
                 "5 4 0 0 0 => 121 1c0003f 3f 1\n"
                 "1 80000000 0 0 0 => 80000004 0 0 0\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"KcpuidSubLeavesTakeTheLeafBeforeThem",
                 "0x00000000: EAX=0x00000002, EBX=0x756e6547, ECX=0x6c65746e, EDX=0x49656e69\n"
                 "0x00000004: subleafs:\n"
                 "  1: EAX=0x00000122, EBX=0x01c0003f, ECX=0x0000003f, EDX=0x00000001\n"
                 "  0: EAX=0x00000121, EBX=0x01c0003f, ECX=0x0000003f, EDX=0x00000001\n"
                 "01: Instructiuni TLB: pagina 4KB , 4 cai setate asociativ, 32 intrari\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"CpuidEqualsLeafColonSubLeaf",
                 "CPUID 00000000:00 = 00000002 756e6547 6c65746e 49656e69 | ....GenuntelineI\n"
                 "CPUID 00000004:01 = 00000122 01c0003f 0000003f 00000001 | \"...?...?.......\n"
                 "CPUID 00000004:00 = 00000121 01c0003f 0000003f 00000001\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"VMware16HeadsWindowsLineEndsAndOtherLines",
                 "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID family: 0x6 model: 0x8c stepping: 0x1\r\n"
                 "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID level 00000000, 0: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\r\n"
                 "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID level 0000000d, 1a: 0x00000000 0x00000000 0x00000000 0x00000000 \r\n"
                 "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID level 80000000, 0: 0x80000004 0x00000000 0x00000000 0x00000000\r\n"
                 "00:00:04.809463 Gst:ab VirtualBox's register lines: eax=00000000 ebx=00000000\r\n",
                 {leaf_0, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"HardwareMonitorRowsRightUnderTheirHeading", // a row elsewhere is none; "Function" is no row
                 "CPU Thread: 0\n"
                 " 00000000  00000009  00000000  00000000  00000000\n"
                 " Function  EAX       EBX       ECX       EDX\n"
                 " 00000000  00000002  756E6547  6C65746E  49656E69\n"
                 " 00000000  00000003  756E6547  6C65746E  49656E69\n"
                 " 80000000  80000004  00000000  00000000  00000000\n"
                 "\n"
                 " 00000001  00000633  00000000  00000000  0080FBFF\n"
                 " MSR       EDX       EAX\n"
                 " 000000CE  0004043D  F1011200\n",
                 {leaf_0, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"XenRowsSubLeafNoneIsZeroMsrRowsAndHeadings",
                 "Xen reports there are maximum 120 leaves and 2 MSRs\n"
                 "Raw policy: 3 leaves, 1 MSRs\n"
                 " CPUID:\n"
                 "  leaf     subleaf  -> eax      ebx      ecx      edx\n"
                 "  00000000:ffffffff -> 00000002:756e6547:6c65746e:49656e69\n"
                 "  00000004:00000001 -> 00000122:01c0003f:0000003f:00000001\n"
                 "  00000004:00000000 -> 00000121:01c0003f:0000003f:00000001\n"
                 " MSRs:\n"
                 "000000ce -> 0000000080000000\n"
                 "PV Max policy not supported by Xen\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"BochsTagAnyPaddingTextBeforeAndResets", // a reset's repeat: the first record of a leaf wins
                 "00000000000i[CPU0 ] CPUID[0x00000000]: 00000002 756e6547 6c65746e 49656e69\n"
                 "bochs.log:2:00000000000i[CPU0  ] CPUID[0x00000004]: 00000121 01c0003f 0000003f 00000001\n"
                 "00000000000i[CPU1  ] CPUID[0x00000004]: 99999999 01c0003f 0000003f 00000001\n"
                 "00000000000i[CPU0  ] cpu software reset\n"
                 "00262849274i[CPU0  ] CPUID[0x00000000]: 00000002 756e6547 6c65746e 49656e69\n"
                 "00262849274i[CPU0  ] CPUID[0x00000004]: 88888888 01c0003f 0000003f 00000001\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"CpuinfoPrefixedAndPlainLines",
                 "cpu00: CPUID 00000000: 00000002-756E6547-6C65746E-49656E69 [GenuineIntel]\n"
                 "cpu0: CPUID 00000004: 00000122-01C0003F-0000003F-00000001 [SL 01]\n"
                 "cpu0: CPUID 00000004: 00000121-01C0003F-0000003F-00000001 [SL 00]\n"
                 "cpu1: CPUID 00000004: 99999999-01C0003F-0000003F-00000001 [SL 00]\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"LibvirtAttributesInAnyOrderEitherQuoteRowsSharingALine",
                 "<cpudata arch='x86'>\n"
                 "  <cpuid eax_in='0x00000000' eax='0x00000002' ebx='0x756e6547' ecx='0x6c65746e' edx='0x49656e69'/>"
                 "<cpuid ecx_in='0x01' eax_in='0x00000004' edx='0x00000001' ecx='0x0000003f' ebx='0x01c0003f' eax='0x00000122'/>\n"
                 "  <cpuid eax_in=\"0x00000004\" ecx_in=\"0x00\" eax=\"0x00000121\" ebx=\"0x01c0003f\" ecx=\"0x0000003f\" edx=\"0x00000001\"/>\n"
                 "  <msr index='0x10a' edx='0x00000000' eax='0x1408e06b'/>\n"
                 "</cpudata>\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"FreebsdAfterOtherTextAndWithSubLeaves",
                 "\t\t# cpuid level 0x0: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\n"
                 "cpuid level 0x4, level_type 0x1: 0x00000122 0x01c0003f 0x0000003f 0x00000001\n"
                 "cpuid level 0x4, level_type 0x0: 0x00000121 0x01c0003f 0x0000003f 0x00000001\n"
                 "cpuid level 0x0: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"SdeStarsForNoSubLeafAndComments",
                 "# a definition written by hand\n"
                 "00000000 ******** => 00000002 756E6547 6C65746E 49656E69 #\n"
                 "00000004 00000001 => 00000122 01C0003F 0000003F 00000001 #Deterministic Cache\n"
                 "00000004 00000000 => 00000121 01C0003F 0000003F 00000001\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}}},
        GoodCase{"MailQuotesOfEveryDepth",
                 "> CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                 ">> 00000004 00000121 01c0003f 0000003f 00000001\n"
                 "> >   0x80000000 0x00: eax=0x80000004 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n",
                 {leaf_0, {4, 0x121, 0x01c0003f, 0x3f, 1}, {0x80000000, 0x80000004, 0, 0, 0}}},
        GoodCase{"Utf8ByteOrderMarkBeforeARecord",
                 "\xef\xbb\xbf" "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n",
                 {leaf_0}},
        GoodCase{"HighestExtendedLeafAtTheBound",
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
                 "CPUID 80000000: 8000FFFF-00000000-00000000-00000000\n",
                 {leaf_0, {0x80000000, 0x8000FFFF, 0, 0, 0}}},
        GoodCase{"OtherLinesIgnored",
                 "# dumped on a Klamath\n"
                 "CPUID dump of processor 0\n"
                 "CPUIDS 00000001: 1-2-3-4\n"
                 "cpuid 00000001: 1-2-3-4\n"
                 "12345678\n"
                 "1234567 00000001 00000002 00000003 00000004\n"
                 "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n",
                 {leaf_0}}),
    [](const ::testing::TestParamInfo<GoodCase> &param) { return std::string(param.param.name); });

struct BadCase {
    const char *name;
    std::string text;
    std::size_t line;
    const char *message;
};

class BadDumps : public ::testing::TestWithParam<BadCase> {};

// Whole and in two pieces cut anywhere: the same fault, at the same line.
TEST_P(BadDumps, RejectedWithLineAndReason)
{
    for (std::size_t cut = 0; cut <= GetParam().text.size(); ++cut) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        ASSERT_FALSE(parse_dump(GetParam().text, 0, leaves, error, cut)) << cut;
        EXPECT_EQ(error.line, GetParam().line) << cut;
        EXPECT_EQ(error.message, GetParam().message) << cut;
    }
}

const std::string good_line = "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, BadDumps,
    ::testing::Values(
        BadCase{"Empty", "", 0, "empty file"},
        BadCase{"NoLeaf0", "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n", 0, "no record of leaf 0"},
        BadCase{"NulByte", good_line + std::string("abc\0def\n", 8), 2, "NUL byte: not a text dump"},
        BadCase{"NulBeforeTheFirstRecord", "ID : \"\0\"\n"s + good_line, 1,
                "NUL byte: not a text dump"},
        BadCase{"NonHexInLeaf", good_line + "CPUID 0000000G: 00000000-00000000-00000000-00000000\n", 2,
                "malformed CPUID record: non-hex digit 'G' in leaf number"},
        BadCase{"NonHexInValue", good_line + "CPUID 00000001: 00000633-0000x000-00000000-0080FBFF\n", 2,
                "malformed CPUID record: non-hex digit 'x' in ebx value"},
        BadCase{"ValueTooWide", good_line + "CPUID 00000001: 00000633-00000000-100000000-0080FBFF\n", 2,
                "malformed CPUID record: ecx value wider than 32 bits"},
        BadCase{"LeafTooWide", good_line + "CPUID 123456789: 00000633-00000000-00000000-0080FBFF\n", 2,
                "malformed CPUID record: leaf number of 9 digits, not 8"},
        BadCase{"LeafTooShort", good_line + "CPUID 1: 00000633-00000000-00000000-0080FBFF\n", 2,
                "malformed CPUID record: leaf number of 1 digit, not 8"},
        BadCase{"Aida64MixedSeparators", good_line + "CPUID 00000001: 00000633-00000000 00000000-0080FBFF\n", 2,
                "malformed CPUID record: expected '-' before the ecx value"},
        BadCase{"Aida64BlankSeparatedMissingValue", good_line + "CPUID 00000001 : 00000633 00000000 00000000\n", 2,
                "malformed CPUID record: missing edx value"},
        BadCase{"HardwareMonitorRowCutShort",
                " Function  EAX       EBX       ECX       EDX\n 00000000  00000002  756E6547  6C65746E\n", 2,
                "malformed CPUID record: missing edx value"},
        BadCase{"HardwareMonitorNonHexLeaf",
                " Function  EAX       EBX       ECX       EDX\n 0000000G  00000002  756E6547  6C65746E  49656E69\n", 2,
                "malformed CPUID record: non-hex digit 'G' in leaf number"},
        BadCase{"XenRowCutShort", "  00000000:ffffffff -> 00000002:756e6547:6c65746e\n", 1,
                "malformed CPUID record: expected ':' before the edx value"},
        BadCase{"XenNonHexSubLeaf", "> 00000000:fffffffg -> 00000002:756e6547:6c65746e:49656e69\n", 1,
                "malformed CPUID record: non-hex digit 'g' in sub-leaf"},
        BadCase{"BochsRecordCutShort", "00000000000i[CPU0  ] CPUID[0x00000000]: 00000002 756e6547 6c65746e\n", 1,
                "malformed CPUID record: missing edx value"},
        BadCase{"BochsNonHexValue",
                "x 00000000000i[CPU0 ] CPUID[0x00000000]: 00000002 756e6547 6c65746n 49656e69\n", 1,
                "malformed CPUID record: non-hex digit 'n' in ecx value"},
        BadCase{"CpuinfoRecordCutShort", "cpu3: CPUID 00000000: 00000002-756E6547-6C65746E\n", 1,
                "malformed CPUID record: expected '-' before the edx value"},
        BadCase{"LibvirtRowWithoutAValue",
                "<cpuid eax_in='0x00000000' eax='0x00000002' ebx='0x756e6547' ecx='0x6c65746e'/>\n", 1,
                "malformed CPUID record: no edx in a row"},
        BadCase{"LibvirtRowCutShort", "<cpuid eax_in='0x00000000' eax='0x00000002' ebx='0x756e\n", 1,
                "malformed CPUID record: row cut short"},
        BadCase{"FreebsdNonHexLeaf", "cpuid level 0xg: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\n", 1,
                "malformed CPUID record: non-hex digit 'g' in leaf number"},
        BadCase{"SdeRecordCutShort", "00000000 ******** => 00000002 756E6547 6C65746E\n", 1,
                "malformed CPUID record: missing edx value"},
        BadCase{"CpuidRMissingRegister",
                good_line + "   0x00000001 0x00: eax=0x000006f3 ebx=0x00000800 ecx=0x80000201\n", 2,
                "malformed CPUID record: expected edx=0x before the edx value"},
        BadCase{"CpuidRBadSubLeaf",
                good_line + "0x00000004 0x0g: eax=0x0 ebx=0x0 ecx=0x0 edx=0x0\n", 2,
                "malformed CPUID record: non-hex digit 'g' in sub-leaf"},
        BadCase{"CpuidRNoColon",
                good_line + "0x00000004 0x00 eax=0x0 ebx=0x0 ecx=0x0 edx=0x0\n", 2,
                "malformed CPUID record: expected ':' after the sub-leaf"},
        BadCase{"CpuidRJunkAfterEdx",
                good_line + "0x00000004: eax=0x0 ebx=0x0 ecx=0x0 edx=0x0 ebx=0x1\n", 2,
                "malformed CPUID record: unexpected 'e' after the edx value"},
        BadCase{"LibcpuidNoIndex", good_line + "basic_cpuid[]=00000001 00000000 00000000 00000000\n", 2,
                "malformed CPUID record: missing leaf index"},
        BadCase{"LibcpuidIndexOutOfRange", good_line + "ext_cpuid[2147483648]=0 0 0 0\n", 2,
                "malformed CPUID record: leaf index out of range"},
        BadCase{"LibcpuidNoEquals", good_line + "basic_cpuid[1] 00000633 00000000 00000000 0080fbff\n", 2,
                "malformed CPUID record: expected ']=' after the leaf index"},
        BadCase{"LibcpuidMissingValue", good_line + "basic_cpuid[1]=00000633 00000000 00000000\n", 2,
                "malformed CPUID record: missing edx value"},
        BadCase{"CpuzNonHexValue", good_line + "\t0x00000001\t\t0x0000Z6A9\t0x0\t0x0\t0x0\r\n", 2,
                "malformed CPUID record: non-hex digit 'Z' in eax value"},
        BadCase{"Cpuz131MissingValue", good_line + "Function 00000001\t\t00000580\t00000000\n", 2,
                "malformed CPUID record: missing ecx value"},
        BadCase{"CpufetchMissingValue", good_line + "  0x00000001 0x00: 0x000006A9 0x00000000\n", 2,
                "malformed CPUID record: expected 0x before the ecx value"},
        BadCase{"CpufetchSubLeafTooWide", good_line + "  0x00000001 0x123456789: 0x1 0x2 0x3 0x4\n", 2,
                "malformed CPUID record: sub-leaf wider than 32 bits"},
        BadCase{"X86infoMissingRegister", good_line + "eax in: 0x00000001, eax = 000006a9 ebx = 0\n", 2,
                "malformed CPUID record: expected ecx = before the ecx value"},
        BadCase{"HwlocMissingOutput", good_line + "1 1 0 0 0 => 6a9 0 0\n", 2,
                "malformed CPUID record: missing edx value"},
        BadCase{"KcpuidSubLeafWithoutItsLeaf", good_line + "  0: EAX=0x1, EBX=0x2, ECX=0x3, EDX=0x4\n", 2,
                "malformed CPUID record: a sub-leaf with no \"subleafs:\" line before it"},
        BadCase{"KcpuidNoComma", good_line + "0x00000001: EAX=0x1 EBX=0x2, ECX=0x3, EDX=0x4\n", 2,
                "malformed CPUID record: expected ',' before the ebx value"},
        BadCase{"CpuidEqualsJunkAfterEdx", good_line + "CPUID 00000001:00 = 1 2 3 4 x\n", 2,
                "malformed CPUID record: unexpected 'x' after the edx value"},
        BadCase{"VirtualBoxNonHexLeaf", good_line + "00:00:04.809418 Gst: 0000000g/0000  00000001 0 0 0\n", 2,
                "malformed CPUID record: non-hex digit 'g' in leaf number"},
        BadCase{"VirtualBoxLogCutInsideARecord", good_line + "00:00:04.809420 Gst: 00000001/0000  00000633 0000", 2,
                "malformed CPUID record: missing ecx value"},
        BadCase{"VMwareMissingRegister",
                good_line + "Aug 18 10:01:57.546: vmx| CPUID[1] level 00000001, 0: 0x000006f2 0x01020800 0x0000e39d\n", 2,
                "malformed CPUID record: expected 0x before the edx value"},
        BadCase{"VMwareShortLeaf", good_line + "Apr 18 00:25:38.329: vmx| guestCPUID level 0001, 0: 0x1 0x2 0x3 0x4\n", 2,
                "malformed CPUID record: leaf number of 4 digits, not 8"},
        BadCase{"NulInALineWhoseRecordFollowsAHead", good_line + "Jun 28 10:01:57.546: vmx|\0\n"s, 2,
                "NUL byte: not a text dump"},
        BadCase{"CompressedArchive", std::string("\x1f\x8b\x08\x00\x00\x00", 6) + good_line, 0,
                "a compressed archive: unpack it first"},
        BadCase{"ExtendedLeavesBeyondAnyProcessor",
                good_line + "CPUID 80000000: FFFFFFFF-00000000-00000000-00000000\n", 2,
                "highest extended leaf ffffffff lies above 8000ffff: not a real processor"},
        BadCase{"MissingValue", good_line + "CPUID 00000001: 00000633-00000000-00000000\n", 2,
                "malformed CPUID record: expected '-' before the edx value"},
        BadCase{"EmptyValue", good_line + "CPUID 00000001: 00000633--00000000-00000000\n", 2,
                "malformed CPUID record: missing ebx value"},
        BadCase{"EmptyLeafBeforeColon", good_line + "CPUID : 00000633-00000000-00000000-00000000\n", 2,
                "malformed CPUID record: missing leaf number"},
        BadCase{"OwnDumpNonHex", good_line + "\n00000001 00000633 0000z000 00000000 0080fbff\n", 3,
                "malformed CPUID record: non-hex digit 'z' in ebx value"},
        BadCase{"OwnDumpTooFewValues", good_line + "00000001 00000633 00000000 00000000\n", 2,
                "malformed CPUID record: missing edx value"},
        BadCase{"OwnDumpTooManyValues", good_line + "00000001 00000633 00000000 00000000 0080fbff 1\n", 2,
                "malformed CPUID record: more than five values on a dump line"},
        BadCase{"OwnDumpTooWide", good_line + "00000001 00000633 00000000 00000000 10080fbff\n", 2,
                "malformed CPUID record: edx value wider than 32 bits"},
        BadCase{"OwnDumpJunkAfterValue", good_line + "00000001 00000633 00000000 00000000 0080fbff:\n", 2,
                "malformed CPUID record: unexpected ':' after the edx value"}),
    [](const ::testing::TestParamInfo<BadCase> &param) { return std::string(param.param.name); });

// Built here, not in the table above: a table's values are made before main,
// in every start of the test program.
TEST(DumpSize, LargerThan64MiBIsRefused)
{
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    EXPECT_FALSE(parse_dump(good_line + std::string(max_dump_size, '#'), 0, leaves, error));
    EXPECT_EQ(error.line, 0u);
    EXPECT_EQ(error.message, "larger than 64 MiB: not a CPUID dump");
}

// Three processors, each beginning at a record of leaf 0; records before the
// first leaf 0 belong to the first; a later processor may lack leaves.
TEST(DumpProcessors, EachLeaf0BeginsTheNextProcessor)
{
    const std::string text = "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n"
                             "CPUID 00000000: 00000001-756E6547-6C65746E-49656E69\n"
                             "CPU#001 AffMask: 0x0000000000000002\n"
                             "basic_cpuid[0]=00000001 68747541 444d4163 69746e65\n"
                             "basic_cpuid[1]=00000f4a 00000800 00000000 078bfbff\n"
                             "\n"
                             "   0x00000000: eax=0x00000000 ebx=0x69727943 ecx=0x64616574 edx=0x736e4978\n"
                             "   0x00000000: eax=0x00000005 ebx=0x00000000 ecx=0x00000000 edx=0x00000000\n";
    const struct {
        std::size_t cpu;
        std::vector<RecordedLeaf> leaves;
    } cases[] = {
        {0, {{1, 0x633, 0, 0, 0x80FBFF}, {0, 1, 0x756E6547, 0x6C65746E, 0x49656E69}}},
        {1, {{0, 1, 0x68747541, 0x444d4163, 0x69746e65}, {1, 0xf4a, 0x800, 0, 0x078bfbff}}},
        {2, {{0, 0, 0x69727943, 0x64616574, 0x736e4978}}},
        {3, {{0, 5, 0, 0, 0}}},
    };
    for (const auto &c : cases) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        EXPECT_TRUE(parse_dump(text, c.cpu, leaves, error)) << c.cpu << ": " << error.message;
        EXPECT_EQ(leaves, c.leaves) << c.cpu;
    }
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    EXPECT_FALSE(parse_dump(text, 4, leaves, error));
    EXPECT_EQ(error.message, "no processor 4: the dump holds 4 processors");
    EXPECT_FALSE(parse_dump(good_line, 1, leaves, error));
    EXPECT_EQ(error.message, "no processor 1: the dump holds 1 processor");
}

// Hypervisor logs: each stream's processors, numbered in the order of their
// first records; VMware's lists of differences amend the host's dump (their
// own records first, then the host's).
TEST(DumpProcessors, HypervisorLogsGuestsHostsAndListsOfDifferences)
{
    const std::string vbox_new = // 5.0.6 on: leaf/sub-leaf, a Hst: row under its Gst: row or alone
        "00:00:04.809000 ************************* CPUID dump ************************\n"
        "00:00:04.809002      Leaf/sub-leaf  eax      ebx      ecx      edx\n"
        "00:00:04.809418 Gst: 00000000/0000  00000002 756e6547 6c65746e 49656e69\n"
        "00:00:04.809419 Hst:                00000016 756e6547 6c65746e 49656e69\n"
        "00:00:04.809425 Gst: 00000004/0001  04000122 01c0003f 0000003f 00000000\n"
        "00:00:04.809426 Hst:                1c004122 01c0003f 0000003f 00000000\n"
        "00:00:04.809427 Hst:                99999999 00000000 00000000 00000000\n"
        "00:00:04.809471 Hst: 00000015/0000  00000002 000000d8 00000000 00000000\n"
        "00:00:04.809473   FPU - x87 FPU on Chip                                   = 1 (1)\n"
        "00:00:04.809480          Unknown CPUID Leaves\n"
        "00:00:04.809481 Gst: 00000015/0000  00000000 00000000 00000000 00000000\n"
        "00:00:04.809482 Hst:                00000002 000000d8 00000000 00000000\n";
    const std::string vbox_old = // 1.x to 5.0: no sub-leaf; a leaf beyond the guest's highest ends in '*'
        "> 00:00:00.088      Function  eax      ebx      ecx      edx\n"
        "> 00:00:00.088 Gst: 00000000  00000005 756e6547 6c65746e 49656e69\n"
        "> 00:00:00.088 Hst:           0000000a 756e6547 6c65746e 49656e69\n"
        "00:00:16.986823 Gst: 80000009  00000003 00000240 00000240 00000000* \n"
        "00:00:16.986824 Hst:           00000000 00000000 00000000 00000000\n";
    // Workstation 12: the host, CPUID[2]'s differences, the guest in full.
    const std::string vmware = read_file(std::string(X86IDENT_FIXTURES_DIR) + "/hypervisor/vmware.log");
    const std::string vmware_old = // Workstation 6 and 10: older heads; the guest's differences, in two starts
        "Jun 28 10:01:57.546: vmx| hostCPUID level 00000000, 0: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\n"
        "Jun 28 10:01:57.546: vmx| hostCPUID level 00000001, 0: 0x000006f2 0x00020800 0x0000e39d 0xbfebfbff\n"
        "Jun 28 10:01:57.546: vmx| CPUID[1] level 00000000, 0: 0x00000002 0x756e6547 0x6c65746e 0x49656e69\n"
        "Jun 28 10:01:57.546: vmx| CPUID[1] level 00000001, 0: 0x000006f2 0x01020800 0x0000e39d 0xbfebfbff\n"
        "Jun 28 10:01:58.000: vmx| Guest CPUID differences from hostCPUID.\n"
        "Jun 28 10:01:58.000: vmx| guestCPUID level 00000001, 0: 0x000006f2 0x00000800 0x80000201 0x0febfbff\n"
        "Jun 28 10:09:12.000: vmx| Guest CPUID differences from hostCPUID.\n"
        "Jun 28 10:09:12.000: vmx| guestCPUID level 00000001, 0: 0x000006f3 0x00000800 0x80000201 0x0febfbff\n"
        "Jun 28 10:09:12.000: vmx| guestCPUID level 80000000, 0: 0x80000004 0x00000000 0x00000000 0x00000000\n";
    const RecordedLeaf vbox_leaf_0{0, 2, 0x756e6547, 0x6c65746e, 0x49656e69};
    const RecordedLeaf ws12_leaf_0{0, 1, 0x756e6547, 0x6c65746e, 0x49656e69}, ws12_host_1{1, 0x306a9, 0x00100800, 0x7fbae3bf, 0xbfebfbff},
        ws12_host_80000000{0x80000000, 0x80000000, 0, 0, 0};
    const RecordedLeaf ws6_host_0{0, 2, 0x756e6547, 0x6c65746e, 0x49656e69}, ws6_host_1{1, 0x6f2, 0x20800, 0xe39d, 0xbfebfbff};
    // Streams interleaved: the guest's two lines on either side of CPUID[1]'s,
    // together before them, or after them; processors numbered by their first records.
    const std::string head = "2022-11-24T17:46:40.863Z In(05) vmx ";
    const std::string host = head + "hostCPUID level 00000000, 0: 0x00000016 0x756e6547 0x6c65746e 0x49656e69\n",
                      guest_0 = head + "guestCPUID level 00000000, 0: 0x00000016 0x756e6547 0x6c65746e 0x49656e69\n",
                      guest_1 = head + "guestCPUID level 00000001, 0: 0x000906ea 0x00000800 0x7ffafbff 0x0febfbff\n",
                      cpu1_0 = head + "CPUID[1] level 00000000, 0: 0x00000016 0x756e6547 0x6c65746e 0x49656e69\n",
                      cpu1_1 = head + "CPUID[1] level 00000001, 0: 0x000906ea 0x01100800 0x7ffafbff 0xbfebfbff\n";
    const std::string guest_around = host + guest_0 + cpu1_0 + cpu1_1 + guest_1,
                      guest_before = host + guest_0 + guest_1 + cpu1_0 + cpu1_1,
                      guest_after = host + cpu1_0 + cpu1_1 + guest_0 + guest_1;
    const RecordedLeaf leaf_0_16{0, 0x16, 0x756e6547, 0x6c65746e, 0x49656e69},
        guest_leaf_1{1, 0x906ea, 0x800, 0x7ffafbff, 0x0febfbff}, cpu1_leaf_1{1, 0x906ea, 0x01100800, 0x7ffafbff, 0xbfebfbff};
    const struct {
        const char *name;
        const std::string &text;
        std::size_t cpu;
        std::vector<RecordedLeaf> leaves;
    } cases[] = {
        {"VirtualBox guest", vbox_new, 0, {vbox_leaf_0, {0x15, 0, 0, 0, 0}}},
        {"VirtualBox host", vbox_new, 1,
         {{0, 0x16, 0x756e6547, 0x6c65746e, 0x49656e69}, {0x15, 2, 0xd8, 0, 0}, {0x15, 2, 0xd8, 0, 0}}},
        {"VirtualBox 4 guest", vbox_old, 0, {{0, 5, 0x756e6547, 0x6c65746e, 0x49656e69}, {0x80000009, 3, 0x240, 0x240, 0}}},
        {"VirtualBox 4 host", vbox_old, 1, {{0, 0xa, 0x756e6547, 0x6c65746e, 0x49656e69}, {0x80000009, 0, 0, 0, 0}}},
        {"VMware host", vmware, 0, {ws12_leaf_0, ws12_host_1, ws12_host_80000000}},
        {"VMware host processor 2: the host's dump, its leaf 1 in place", vmware, 1,
         {{1, 0x306a9, 0x02100800, 0x7fbae3bf, 0xbfebfbff}, ws12_leaf_0, ws12_host_1, ws12_host_80000000}},
        {"VMware guest in full", vmware, 2,
         {ws12_leaf_0, {1, 0x306a9, 0x10800, 0x80000201, 0x0f8bfbff}, ws12_host_80000000}},
        {"VMware 6 host", vmware_old, 0, {ws6_host_0, ws6_host_1}},
        {"VMware 6 CPUID[1] in full", vmware_old, 1, {ws6_host_0, {1, 0x6f2, 0x01020800, 0xe39d, 0xbfebfbff}}},
        {"guest around CPUID[1]", guest_around, 1, {leaf_0_16, guest_leaf_1}},
        {"CPUID[1] inside the guest's", guest_around, 2, {leaf_0_16, cpu1_leaf_1}},
        {"guest before CPUID[1]", guest_before, 1, {leaf_0_16, guest_leaf_1}},
        {"guest after CPUID[1]", guest_after, 2, {leaf_0_16, guest_leaf_1}},
        {"VMware 10 guest, started twice: one list of differences", vmware_old, 2,
         {{1, 0x6f2, 0x800, 0x80000201, 0x0febfbff}, {1, 0x6f3, 0x800, 0x80000201, 0x0febfbff},
          {0x80000000, 0x80000004, 0, 0, 0}, ws6_host_0, ws6_host_1}},
    };
    for (const auto &c : cases) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        EXPECT_TRUE(parse_dump(c.text, c.cpu, leaves, error)) << c.name << ": " << error.line << ": " << error.message;
        EXPECT_EQ(leaves, c.leaves) << c.name;
    }
    // A second leaf 0 of a stream (the machine started again) begins a further processor.
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    EXPECT_FALSE(parse_dump(vbox_old, 2, leaves, error));
    EXPECT_EQ(error.message, "no processor 2: the dump holds 2 processors");
    for (const std::string *text : {&guest_around, &guest_before, &guest_after}) {
        EXPECT_FALSE(parse_dump(*text, 3, leaves, error));
        EXPECT_EQ(error.message, "no processor 3: the dump holds 3 processors");
    }
    ASSERT_TRUE(parse_dump(vbox_new + vbox_new, 3, leaves, error)) << error.message;
    EXPECT_EQ(leaves.front(), (RecordedLeaf{0, 0x16, 0x756e6547, 0x6c65746e, 0x49656e69}));
}

// Records as the forms make them: a named stream's processors, labelled by
// their text; a heading after which its stream's next record begins one (a
// heading without records makes none, one that comes again makes another);
// a stream that a second record of leaf 0 does not split (a dump repeated at
// every reset), whose first record of a leaf wins.
TEST(DumpProcessors, NamedStreamsHeadingsAndStreamsThatLeaf0DoesNotSplit)
{
    const auto named = [](std::string_view label, uint32_t leaf, uint32_t eax, bool splits = true) {
        DumpRecord record;
        record.leaf = {leaf, eax, 0, 0, 0};
        record.stream = RecordStream::named;
        record.label = label;
        record.leaf_0_splits = splits;
        return record;
    };
    const struct {
        LineKind kind;
        DumpRecord record;
    } lines[] = {
        {LineKind::heading, named("raw", 0, 0)},    {LineKind::record, named("raw", 0, 0xd)},
        {LineKind::heading, named("host", 0, 0)},   {LineKind::heading, named("pv max", 0, 0)},
        {LineKind::record, named("raw", 1, 0x633)}, {LineKind::heading, named("host", 0, 0)},
        {LineKind::record, named("host", 0, 0xe)},  {LineKind::heading, named("host", 0, 0)},
        {LineKind::record, named("host", 0, 0xf)},  {LineKind::record, named("CPU0", 0, 2, false)},
        {LineKind::record, named("CPU0", 0, 3, false)},
    };
    for (std::size_t cpu = 0; cpu < 4; ++cpu) {
        DumpReader reader(cpu, true);
        for (const auto &line : lines)
            reader.take(line.kind, line.record, 1, "");
        ASSERT_TRUE(reader.finish(1)) << reader.error().message;
        std::vector<std::string> labels;
        for (const Processor &processor : reader.processors())
            labels.push_back(processor.label);
        EXPECT_EQ(labels, (std::vector<std::string>{"raw", "host", "host", "CPU0"}));
        const std::vector<std::vector<RecordedLeaf>> leaves = {
            {{0, 0xd, 0, 0, 0}, {1, 0x633, 0, 0, 0}}, {{0, 0xe, 0, 0, 0}}, {{0, 0xf, 0, 0, 0}}, {{0, 2, 0, 0, 0}}};
        EXPECT_EQ(reader.leaves(), leaves[cpu]) << cpu;
    }
}

// The lines of `bytes` in two pieces cut at `cut`, as "N:text", with the
// reading loop's first record found before line `begun_at` (never: 0), and
// the fault that ends them as "error L: message".
std::vector<std::string> lines_of(const std::string &bytes, std::size_t cut, std::size_t begun_at)
{
    DumpBytes input(bytes.data(), bytes.size(), cut);
    LineSource lines(input);
    std::vector<std::string> got;
    Line line;
    while (lines.next(line)) {
        got.push_back(std::to_string(line.number) + ":" + std::string(line.begin, line.end));
        if (line.number + 1 == begun_at)
            lines.records_begun();
    }
    if (lines.failed())
        got.push_back("error " + std::to_string(lines.error().line) + ": " + lines.error().message);
    return got;
}

std::string utf16(const std::u16string &text, bool little_endian)
{
    std::string bytes = little_endian ? "\xff\xfe" : "\xfe\xff";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xff), high = static_cast<char>(unit >> 8);
        bytes += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

// Bytes to lines, whole and in two pieces cut anywhere (also inside a line
// end, a byte-order mark or a UTF-16 character): every line end, the
// encodings, and the faults, told at the same line wherever the cut falls.
TEST(LineSource, SplitAnywhereGivesTheSameLines)
{
    const std::u16string utf16_text = u"CPUID CPU Name: Xeon\u2122\r\n"
                                      u"CPUID 00000000: 00000002\r\n"
                                      u"ID : \"\0\0\"\r\n"s;
    const std::vector<std::string> utf16_lines = {"1:CPUID CPU Name: Xeon?", "2:CPUID 00000000: 00000002",
                                                  "3:ID : \"\0\0\""s};
    const struct {
        const char *name;
        std::string bytes;
        std::size_t begun_at;
        std::vector<std::string> lines;
    } cases[] = {
        {"LF and CR LF, the last line without one", "a\nb\r\n\r\nc\rd\ne\r", 0, {"1:a", "2:b", "3:", "4:c\rd", "5:e"}},
        {"CR alone, and CR LF, as the first line end says", "a\rb\r\n\rc\nd\r", 0, {"1:a", "2:b", "3:", "4:c\nd"}},
        {"a UTF-8 byte-order mark", "\xef\xbb\xbf" "abc\n", 0, {"1:abc"}},
        {"UTF-16, little-endian", utf16(utf16_text, true), 3, utf16_lines},
        {"UTF-16, big-endian", utf16(utf16_text, false), 3, utf16_lines},
        {"UTF-16 of odd length", utf16(u"ab\ncd", true) + "c", 0,
         {"1:ab", "error 0: UTF-16 text of odd length: the end of the file is missing"}},
        {"a NUL before the first record", "ab\nID : \"\0\"\n"s, 0, {"1:ab", "error 2: NUL byte: not a text dump"}},
        {"a NUL after it, where no record begins", "ab\nID : \"\0\"\n"s, 2, {"1:ab", "2:ID : \"\0\""s}},
        {"a NUL after it, where a record may begin", "ab\nCPUID\0\nc\n"s, 2, {"1:ab", "error 2: NUL byte: not a text dump"}},
        {"UTF-16: a NUL where a record may begin", utf16(u"ab\r\nCPUID\0\r\n"s, true), 2,
         {"1:ab", "error 2: NUL character: not a text dump"}},
        {"a compressed archive", "\x1f\x8b\x08\x00\x00\x00\n", 0, {"error 0: a compressed archive: unpack it first"}},
        {"nothing", "", 0, {}},
    };
    for (const auto &c : cases)
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut)
            ASSERT_EQ(lines_of(c.bytes, cut, c.begun_at), c.lines) << c.name << ", cut at " << cut;
}

} // namespace
