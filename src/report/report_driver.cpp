#include "report_driver.h"

#include <stdint.h>

#include "core/cpuid.h"
#include "core/leaf_walk.h"
#include "core/output.h"
#include "core/wait_for_key.h"
#include "report/amd/amd_report.h"
#include "report/cyrix/cyrix_report.h"
#include "report/intel/intel_report.h"

namespace {

// First four characters of the vendor id, as leaf 0 returns them in ebx.
constexpr uint32_t vendor_auth = 0x68747541; // "Auth"enticAMD
constexpr uint32_t vendor_cyri = 0x69727943; // "Cyri"xInstead
constexpr uint32_t vendor_genu = 0x756E6547; // "Genu"ineIntel

// One raw dump line, standard and extended leaves alike.
void print_leaf(uint32_t leaf)
{
    cpuid_query(leaf);
    out_printf("%08lx %08lx %08lx %08lx %08lx\n", static_cast<unsigned long>(leaf),
               static_cast<unsigned long>(CpuidResult.eax), static_cast<unsigned long>(CpuidResult.ebx),
               static_cast<unsigned long>(CpuidResult.ecx), static_cast<unsigned long>(CpuidResult.edx));
}

void print_register_bytes(uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out_char(static_cast<unsigned char>((value >> (8 * i)) & 0xff));
}

} // namespace

void run_report()
{
    cpuid_query(0);
    const uint32_t max_level = CpuidResult.eax & 0xffff;

    out_printf(" eax in    eax      ebx      ecx      edx\n");
    walk_leaves(0, max_level, print_leaf);

    cpuid_query(0x80000000);
    const uint32_t max_extended_leaf = CpuidResult.eax;
    walk_leaves(0x80000000, max_extended_leaf, print_leaf);
    out_printf("\n");

    cpuid_query(0);
    const uint32_t vendor_ebx = CpuidResult.ebx;
    const uint32_t vendor_ecx = CpuidResult.ecx;
    const uint32_t vendor_edx = CpuidResult.edx;

    // The vendor id goes out byte by byte, exactly 12 bytes, whatever they hold.
    out_printf("ID : \"");
    print_register_bytes(vendor_ebx);
    print_register_bytes(vendor_edx);
    print_register_bytes(vendor_ecx);
    out_printf("\"; CPUID level %ld\n\n", static_cast<long>(max_level));
    wait_for_key();

    const auto level = static_cast<int32_t>(max_level);
    if (vendor_ebx == vendor_auth)
        report_amd(level);
    else if (vendor_ebx == vendor_cyri)
        report_cyrix(level);
    else if (vendor_ebx == vendor_genu)
        report_intel(level);
    else
        out_printf("Producator necunoscut\n");
    wait_for_key();
}
