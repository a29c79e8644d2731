// Reading recorded CPUID dumps: both record formats, lines that are not
// records, the first record of a leaf winning, and every kind of bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    ASSERT_TRUE(parse_dump(GetParam().text, leaves, error)) << error.line << ": " << error.message;
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
                 {leaf_0,
                  {4, 0x1C004121, 0x01C0003F, 0x0000003F, 0},
                  {4, 0x1C004122, 0x01C0003F, 0x0000003F, 0},
                  {0xB, 1, 2, 0x100, 0}}},
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

TEST_P(BadDumps, RejectedWithLineAndReason)
{
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    ASSERT_FALSE(parse_dump(GetParam().text, leaves, error));
    EXPECT_EQ(error.line, GetParam().line);
    EXPECT_EQ(error.message, GetParam().message);
}

const std::string good_line = "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, BadDumps,
    ::testing::Values(
        BadCase{"Empty", "", 0, "empty file"},
        BadCase{"NoRecords", "hello\nworld\n", 0, "no CPUID records"},
        BadCase{"NoLeaf0", "CPUID 00000001: 00000633-00000000-00000000-0080FBFF\n", 0, "no record of leaf 0"},
        BadCase{"NulByte", good_line + std::string("abc\0def\n", 8), 2, "NUL byte: not a text dump"},
        BadCase{"NonHexInLeaf", good_line + "CPUID 0000000G: 00000000-00000000-00000000-00000000\n", 2,
                "malformed CPUID record: non-hex digit 'G' in leaf number"},
        BadCase{"NonHexInValue", good_line + "CPUID 00000001: 00000633-0000x000-00000000-0080FBFF\n", 2,
                "malformed CPUID record: non-hex digit 'x' in ebx value"},
        BadCase{"ValueTooWide", good_line + "CPUID 00000001: 00000633-00000000-100000000-0080FBFF\n", 2,
                "malformed CPUID record: ecx value wider than 32 bits"},
        BadCase{"LeafTooWide", good_line + "CPUID 123456789: 00000633-00000000-00000000-0080FBFF\n", 2,
                "malformed CPUID record: leaf number wider than 32 bits"},
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

} // namespace
