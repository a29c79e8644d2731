// The Intel report: identification, brand string, feature flags, leaf-2
// descriptors and the serial number. A form feed marks each pause.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/cpuid.h"
#include "string_output.h"
#include "report/intel/intel_report.h"
#include "report_capture.h"

namespace {

std::string intel_report(std::int32_t max_level, const Leaves &leaves)
{
    return capture_vendor_report(report_intel, max_level, leaves).output;
}

// The part of the report from the type line to the reserved line and its empty line.
std::string signature_lines(const std::string &report)
{
    const auto start = report.find("Type ");
    const auto reserved = report.find("Reserved ", start + 5 + 14);
    const auto end = report.find("\n\n", reserved);
    return report.substr(start, end + 2 - start);
}

TEST(IntelReport, Level0IsTheHeaderAlone)
{
    const Capture capture = capture_vendor_report(report_intel, 0, {{1, 0x543, 0, 0, 0x1bf}});
    EXPECT_EQ(capture.output, "Intel-specific functions:\n");
    EXPECT_TRUE(capture.queries.empty());
}

TEST(IntelReport, Level1IsTheFirstSectionOnly)
{
    const Capture capture =
        capture_vendor_report(report_intel, 1, {{1, 0x543, 0, 0, 0x1bf}, {0x80000000, 0x80000001, 0, 0, 0}});
    // The whole text is the driver's worked example; here: where it ends, and
    // that nothing past leaf 1 and 0x80000000 was asked for.
    const std::string last_flag = "CX8    COMPXCHG8B Instruction\n\n";
    ASSERT_GE(capture.output.size(), last_flag.size());
    EXPECT_EQ(capture.output.substr(capture.output.size() - last_flag.size()), last_flag);
    EXPECT_EQ(std::count(capture.output.begin(), capture.output.end(), '\f'), 1);
    EXPECT_EQ(capture.queries, (std::vector<std::uint32_t>{1, 0x80000000}));
}

TEST(IntelReport, Level3HasDescriptorsThenSerialNumber)
{
    const Capture capture = capture_vendor_report(
        report_intel, 3,
        {{1, 0x00000686, 0, 0, 0}, {2, 0x00004301, 0, 0, 0}, {3, 0, 0, 0x89abcdef, 0x0123abcd}});
    EXPECT_EQ(capture.output, "Intel-specific functions:\n"
                              "Version 00000686:\n"
                              "Type 0 - Original OEM\n"
                              "Familia 6 - \fPentium Pro\n"
                              "Model 8 - Pentium III/Pentium III Xeon - L2 cache intern\n"
                              "Stepping 6\n"
                              "Reserved 0\n\n"
                              "\nFeature flags 00000000:\n"
                              "\n"
                              "\fInformatii TLB si cache:\n"
                              "43: L2 cache: 512KB, 4 cai setate asociativ, 32 octeti/linie\n"
                              "Numar serial procesor serial: 0000-0686-0123-ABCD-89AB-CDEF\n");
    // Leaf 1 is queried again for the serial number.
    EXPECT_EQ(capture.queries, (std::vector<std::uint32_t>{1, 0x80000000, 2, 1, 3}));
}

struct SignatureCase {
    std::uint32_t eax;
    const char *expected;
};

class IntelSignature : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(IntelSignature, NamesAndExtendedLines)
{
    const std::string report = intel_report(1, {{1, GetParam().eax, 0, 0, 0}});
    EXPECT_EQ(signature_lines(report), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, IntelSignature,
    ::testing::Values(
        // Family without a name: the dash and its blank end the line.
        SignatureCase{0x00000720, "Type 0 - Original OEM\nFamilia 7 - \f\nModel 2 - \nStepping 0\nReserved 0\n\n"},
        // Family 15: the extended family line; model 2 has no name; the
        // reserved value holds every bit from 14 up (0x100f20 >> 14 = 64).
        SignatureCase{0x00100f20, "Type 0 - Original OEM\nFamilia 15 - \fPentium 4\nFamilia extinsa  1\n"
                                  "Model 2 - \nStepping 0\nReserved 64\n\n"},
        // Family 15 with model 15: both extended lines.
        SignatureCase{0x00020ff3, "Type 0 - Original OEM\nFamilia 15 - \fPentium 4\nFamilia extinsa  0\n"
                                  "Model 15 - \nModel extins 2\nStepping 3\nReserved 8\n\n"},
        // Model 15 in a family other than 15 still gets the extended model.
        SignatureCase{0x000106f1, "Type 0 - Original OEM\nFamilia 6 - \fPentium Pro\nModel 15 - \nModel extins 1\n"
                                  "Stepping 1\nReserved 4\n\n"},
        SignatureCase{0x00000460, "Type 0 - Original OEM\nFamilia 4 - \fi486\nModel 6 - \nStepping 0\nReserved 0\n\n"},
        SignatureCase{0x00000500, "Type 0 - Original OEM\nFamilia 5 - \fPentium\nModel 0 - \nStepping 0\nReserved 0\n\n"},
        SignatureCase{0x00000300, "Type 0 - Original OEM\nFamilia 3 - \fi386\nModel 0 - \nStepping 0\nReserved 0\n\n"},
        SignatureCase{0x00000470, "Type 0 - Original OEM\nFamilia 4 - \fi486\nModel 7 - write-back enhanced DX2\n"
                                  "Stepping 0\nReserved 0\n\n"},
        SignatureCase{0x00003633, "Type 3 - Reserved\nFamilia 6 - \fPentium Pro\nModel 3 - Pentium II Model 3\n"
                                  "Stepping 3\nReserved 0\n\n"},
        SignatureCase{0x00001652, "Type 1 - Overdrive\nFamilia 6 - \fPentium Pro\nModel 5 - Pentium II Model 5/Xeon/Celeron\n"
                                  "Stepping 2\nReserved 0\n\n"},
        SignatureCase{0x00002531, "Type 2 - Dual-capable\nFamilia 5 - \fPentium\nModel 3 - for 486 system\n"
                                  "Stepping 1\nReserved 0\n\n"},
        // Bits 14 and 15 alone: reserved value 3.
        SignatureCase{0x0000c480, "Type 0 - Original OEM\nFamilia 4 - \fi486\nModel 8 - DX4\nStepping 0\nReserved 3\n\n"}));

TEST(IntelReport, BrandIndex)
{
    struct Brand {
        std::uint32_t index;
        const char *line;
    };
    const Brand brands[] = {
        {1, "Index Producator: 1 [Celeron processor]\n"},
        {8, "Index Producator: 8 [Intel Pentium 4 processor]\n"},
        {9, "Index Producator: 9 [not in table]\n"},
        {255, "Index Producator: 255 [not in table]\n"},
    };
    for (const Brand &brand : brands) {
        const std::string report = intel_report(1, {{1, 0x00000f29, brand.index, 0, 0}});
        EXPECT_NE(report.find(std::string("Reserved 0\n\n") + brand.line + "\nFeature flags"), std::string::npos)
            << report;
    }
    EXPECT_EQ(intel_report(1, {{1, 0x00000f29, 0, 0, 0}}).find("Index Producator"), std::string::npos);
}

TEST(IntelReport, BrandStringNeedsLeaf80000004)
{
    const std::uint32_t brand[3][4] = {
        {register_text("  In"), register_text("tel("), register_text("R) P"), register_text("enti")},
        {register_text("um(R"), register_text(") 4 "), register_text("CPU "), register_text("2.40")},
        {register_text("GHz"), 0, 0, 0},
    };
    struct Limit {
        std::uint32_t max_extended_leaf;
        bool printed;
    };
    const Limit limits[] = {{0, false}, {0x00000005, false}, {0x7fffffff, false}, {0x80000003, false},
                            {0x80000004, true}, {0x80000008, true}, {0xffffffff, true}};
    for (const Limit &limit : limits) {
        Leaves leaves = {{1, 0x00000f29, 0, 0, 0}, {0x80000000, limit.max_extended_leaf, 0, 0, 0}};
        for (std::uint32_t i = 0; i < 3; ++i)
            leaves.push_back({0x80000002 + i, brand[i][0], brand[i][1], brand[i][2], brand[i][3]});
        const Capture capture = capture_vendor_report(report_intel, 1, leaves);
        const bool has_line =
            capture.output.find("Reserved 0\n\nString extins producator: \"  Intel(R) Pentium(R) 4 CPU 2.40GHz\"\n"
                                "\nFeature flags") != std::string::npos;
        EXPECT_EQ(has_line, limit.printed) << std::hex << limit.max_extended_leaf;
        EXPECT_EQ(count_queries(capture, 0x80000002) + count_queries(capture, 0x80000003) +
                      count_queries(capture, 0x80000004),
                  limit.printed ? 3 : 0);
    }
}

TEST(IntelReport, BrandStringPiecesCutByZeroBytes)
{
    const std::string report = intel_report(1, {{1, 0x00000f29, 0, 0, 0},
                                                {0x80000000, 0x80000004, 0, 0, 0},
                                                {0x80000002, 0x44004241, register_text("EFGH"), 0, 0},
                                                {0x80000003, 0x4a494800, register_text("KLMN"), 0, 0},
                                                {0x80000004, register_text("WXYZ"), 0, 0, 0}});
    EXPECT_NE(report.find("String extins producator: \"ABWXYZ\"\n"), std::string::npos) << report;
}

TEST(IntelReport, ClflushApicAndSiblingsLines)
{
    struct Fields {
        std::uint32_t ebx, edx;
        const char *lines;
    };
    const Fields cases[] = {
        {0x05020800, 1u << 28,
         "CLFLUSH marimea liniei pt cache instructiuni : 8\nInitial APIC ID: 5\nHyper threading siblings: 2\n"},
        // Siblings only with feature bit 28, whatever ebx bits 16-23 hold.
        {0x05020800, 0, "CLFLUSH marimea liniei pt cache instructiuni : 8\nInitial APIC ID: 5\n"},
        {0x00020000, 0, ""},
        {0x00000000, 1u << 28, "Hyper threading siblings: 0\n"},
        {0xff000000, 0, "Initial APIC ID: 255\n"},
    };
    for (const Fields &fields : cases) {
        const std::string report = intel_report(1, {{1, 0x00000f29, fields.ebx, 0, fields.edx}});
        const auto start = report.find("Reserved 0\n\n") + 12;
        const auto end = report.find("\nFeature flags");
        EXPECT_EQ(report.substr(start, end - start), fields.lines) << std::hex << fields.ebx;
    }
}

TEST(IntelReport, FeatureFlagsNoneAndAll)
{
    const std::string none = intel_report(1, {{1, 0x00000f29, 0, 0, 0}});
    EXPECT_EQ(none.substr(none.find("\nFeature flags")), "\nFeature flags 00000000:\n\n");

    const std::string all = intel_report(1, {{1, 0x00000f29, 0, 0, 0xffffffff}});
    EXPECT_EQ(all.substr(all.find("\nFeature flags")),
              "\nFeature flags ffffffff:\n"
              "FPU    Floating Point Unit\n"
              "VME    Virtual 8086 Mode Enhancements\n"
              "DE     Debugging Extensions\n"
              "PSE    Page Size Extensions\n"
              "TSC    Time Stamp Counter\n"
              "MSR    Model Specific Registers\n"
              "PAE    Physical Address Extension\n"
              "MCE    Machine Check Exception\n"
              "CX8    COMPXCHG8B Instruction\n"
              "APIC   On-chip Advanced Programmable Interrupt Controller present and enabled\n"
              "10     Reserved\n"
              "SEP    Fast System Call\n"
              "MTRR   Memory Type Range Registers\n"
              "PGE    PTE Global Flag\n"
              "MCA    Machine Check Architecture\n"
              "CMOV   Conditional Move and Compare Instructions\n"
              "FGPAT  Page Attribute Table\n"
              "PSE-36 36-bit Page Size Extension\n"
              "PN     Processor Serial Number present and enabled\n"
              "CLFSH  CFLUSH instruction\n"
              "20     reserved\n"
              "DS     Debug store\n"
              "ACPI   Thermal Monitor and Clock Ctrl\n"
              "MMX    MMX instruction set\n"
              "FXSR   Fast FP/MMX Streaming SIMD Extensions save/restore\n"
              "SSE    Streaming SIMD Extensions instruction set\n"
              "SSE2   SSE2 extensions\n"
              "SS     Self Snoop\n"
              "HT     Hyper Threading\n"
              "TM     Thermal monitor\n"
              "30     reserved\n"
              "31     reserved\n"
              "\n");
}

std::string descriptors(const Leaves &leaves, const std::function<void(std::uint32_t)> &meddle = {})
{
    return capture_vendor_report(report_intel_descriptors, 2, leaves, meddle).output;
}

TEST(IntelDescriptors, WorkedExampleSevenLines)
{
    EXPECT_EQ(descriptors({{2, 0x03020101, 0, 0, 0x0c040843}}),
              "\fInformatii TLB si cache:\n"
              "01: Instructiuni TLB: pagina 4KB , 4 cai setate asociativ, 32 intrari\n"
              "02: Instructiuni TLB: pagina 4MB , 4 cai setate asociativ, 2 intrari\n"
              "03: Date TLB: pagina 4KB , 4 cai setate asociativ, 64 intrari\n"
              "43: L2 cache: 512KB, 4 cai setate asociativ, 32 octeti/linie\n"
              "08:  cache instructiuni L1: 16KB, 4 cai setate asociativ, 32 octeti/linie\n"
              "04: Date TLB: pagina 4MB, 4 cai setate asociativ, 8 intrari\n"
              "0c:  cache date L1: 16KB, 4 cai setate asociativ, 32 octeti/linie \n");
}

TEST(IntelDescriptors, BelowLevel2NothingAtAll)
{
    const Capture capture = capture_vendor_report(report_intel_descriptors, 1, {{2, 0x03020101, 0, 0, 0}});
    EXPECT_EQ(capture.output, "");
    EXPECT_TRUE(capture.queries.empty());
}

TEST(IntelDescriptors, Bit31SkipsRegisterButNotEax)
{
    EXPECT_EQ(descriptors({{2, 0x82434101, 0x80000043, 0x80004300, 0x80430000}}),
              "\fInformatii TLB si cache:\n"
              "41: L2 cache: 128KB, 4 cai setate asociativ, 32 octeti/linie \n"
              "43: L2 cache: 512KB, 4 cai setate asociativ, 32 octeti/linie\n"
              "82: cache L2: 256KB, 8 cai setate asociativ, 32 octeti/linie\n");
}

TEST(IntelDescriptors, AllZeroBytesPrintOnlyTheHeading)
{
    EXPECT_EQ(descriptors({{2, 0x00000001, 0, 0, 0}}), "\fInformatii TLB si cache:\n");
}

TEST(IntelDescriptors, QueryCountFromEachQuery)
{
    struct Counts {
        std::vector<std::uint32_t> count_per_query; // low byte of eax, query by query
        int expected_queries;
    };
    const Counts cases[] = {
        {{0}, 1}, {{1}, 1}, {{3, 3, 3}, 3}, {{3, 1}, 2}, {{2, 5, 5, 5, 5}, 5}, {{0x70, 2}, 2}};
    for (const Counts &counts : cases) {
        std::size_t query = 0;
        const Capture capture = capture_vendor_report(
            report_intel_descriptors, 2, {{2, 0, 0, 0, 0}}, [&](std::uint32_t leaf) {
                if (leaf == 2 && query < counts.count_per_query.size())
                    CpuidResult.eax = counts.count_per_query[query++] | 0x00000300;
            });
        EXPECT_EQ(count_queries(capture, 2), counts.expected_queries);
        // The count byte never prints; the 0x03 in bits 8-15 prints once per query.
        std::string expected = "\fInformatii TLB si cache:\n";
        for (int i = 0; i < counts.expected_queries; ++i)
            expected += "03: Date TLB: pagina 4KB , 4 cai setate asociativ, 64 intrari\n";
        EXPECT_EQ(capture.output, expected);
    }
}

std::string descriptor_line(std::uint32_t value)
{
    std::string output;
    capture_output(&output);
    print_intel_descriptor(value);
    capture_output(nullptr);
    return output;
}

TEST(IntelDescriptors, UnknownZeroAndLowByteOnly)
{
    for (std::uint32_t byte : {0x05u, 0x07u, 0x0du, 0x3fu, 0x80u, 0x81u, 0x86u, 0x99u, 0xffu}) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02x: ", byte);
        EXPECT_EQ(descriptor_line(byte), std::string(prefix) + "descriptor TLB/cache  necunoscut\n");
    }
    EXPECT_EQ(descriptor_line(0), "");
    EXPECT_EQ(descriptor_line(0x12345600), "");
    EXPECT_EQ(descriptor_line(0xabcdef7a),
              "7a: cache L2: 256KB, 8-cai setate asociativ, sectorizate, 64 octeti/linie\n");
    EXPECT_EQ(descriptor_line(0x06), "06:  cache instructiuni L1: 8KB, 4 cai setate asociativ, 32 octeti/liniei\n");
    EXPECT_EQ(descriptor_line(0x40), "40: Fara  cache L2, sau cu L2 cache extins, fara L3 cache\n");
    EXPECT_EQ(descriptor_line(0x66), "66:  cache date L1 : 8KB, 4 cai setate asociativ , 64 octeti/linie\n");
    EXPECT_EQ(descriptor_line(0x79), "79: cache L2: 128KB, 8 setate asociativ, sectorizate, 64 octeti/linie\n");
    EXPECT_EQ(descriptor_line(0x85), "85: cache L2: 2MB, 8-way set assoc, 32 octeti/linie\n");
}

// 0x82 is a 256 KB level-2 cache; the old text said 6KB.
TEST(IntelDescriptors, Byte82Is256KB)
{
    EXPECT_EQ(descriptor_line(0x82), "82: cache L2: 256KB, 8 cai setate asociativ, 32 octeti/linie\n");
}

} // namespace
