#include "core/cpuid.h"
#include "core/output.h"
#include "core/wait_for_key.h"
#include "amd_report.h"
#include "amd_tables.h"

namespace {

// An 8-bit field of a leaf-0x80000005 register.
long byte_field(uint32_t value, int shift)
{
    return static_cast<long>((value >> shift) & 0xff);
}

unsigned long hex_byte_field(uint32_t value, int shift)
{
    return static_cast<unsigned long>((value >> shift) & 0xff);
}

const char *associativity_name(uint32_t code)
{
    return amd_associativity_names[code & 0xf];
}

void print_level_1(int family)
{
    cpuid_query(0x80000005);
    const uint32_t eax = CpuidResult.eax;
    const uint32_t ebx = CpuidResult.ebx;
    const uint32_t ecx = CpuidResult.ecx;
    const uint32_t edx = CpuidResult.edx;

    out_printf("Informatii L1 Cache:\n");
    if (family >= 6) {
        out_printf("Pagini 2/4-MB:\n");
        out_printf("   Date TLB:%ld-cai asociative  intrari %ld\n", byte_field(eax, 24), byte_field(eax, 16));
        out_printf("   Instructiuni TLB:%ld-cai asociative intrari %ld\n", byte_field(eax, 8), byte_field(eax, 0));
    }
    out_printf("Pagini 4-KB:\n");
    out_printf("   Data TLB:%ld-cai asociative intrari %ld\n", byte_field(ebx, 24), byte_field(ebx, 16));
    out_printf("   Instruction TLB: %ld-cai asociative intrari %ld\n", byte_field(ebx, 8), byte_field(ebx, 0));
    // Cache associativities print in hexadecimal, everything else in decimal.
    out_printf("Cache date L1 :\n");
    out_printf("   marime %ld KB %lx-cai asociative %ld linii/destinatie  marime %ld\n", byte_field(ecx, 24),
               hex_byte_field(ecx, 16), byte_field(ecx, 8), byte_field(ecx, 0));
    out_printf("Chache instructiuni L1:\n");
    out_printf("   marime %ld KB %lx-cai asociative %ld linii/destinatie  marime %ld", byte_field(edx, 24),
               hex_byte_field(edx, 16), byte_field(edx, 8), byte_field(edx, 0));
    out_printf("\n");
}

void print_level_2(int family)
{
    cpuid_query(0x80000006);
    const uint32_t eax = CpuidResult.eax;
    const uint32_t ebx = CpuidResult.ebx;
    const uint32_t ecx = CpuidResult.ecx;

    out_printf("Informatii Cache L2:\n");
    if (family >= 6) {
        out_printf("Pagini 2/4-MB :\n");
        out_printf("   Date TLB: asociative %s intrari %ld\n", associativity_name(eax >> 28),
                   static_cast<long>((eax >> 16) & 0xfff));
        out_printf("   Instructiuni TLB: asociative %s  intrari %ld\n", associativity_name(eax >> 12),
                   static_cast<long>(eax & 0xfff));
        out_printf("Pagini 4-KB :\n");
        out_printf("   Date TLB: asociative %s intrari %ld\n", associativity_name(ebx >> 28),
                   static_cast<long>((ebx >> 16) & 0xfff));
        out_printf("   Instruction TLB: asociative %s intrari %ld\n", associativity_name(ebx >> 12),
                   static_cast<long>(ebx & 0xfff));
    }
    out_printf("   marime %ld KB asociative %s linii/ destinatie %ld marime line  %ld\n", static_cast<long>(ecx >> 16),
               associativity_name(ecx >> 12), static_cast<long>((ecx >> 8) & 0xf), static_cast<long>(ecx & 0xff));
    out_printf("\n");
}

void print_power_management()
{
    out_printf("Flaguri Advanced Power Management\n");
    cpuid_query(0x80000007);
    const uint32_t edx = CpuidResult.edx;
    if ((edx & 0x1) != 0)
        out_printf("Dioda senzor de temperatura\n");
    if ((edx & 0x2) != 0)
        out_printf("Suport pt Frequency ID control\n");
    if ((edx & 0x4) != 0)
        out_printf("Suport pt Voltage ID control\n");
}

} // namespace

void report_amd_caches(int family, uint32_t max_extended_leaf)
{
    if (max_extended_leaf >= 0x80000005u)
        print_level_1(family);
    if (max_extended_leaf >= 0x80000006u)
        print_level_2(family);
    wait_for_key(); // also when both cache sections were skipped
    if (max_extended_leaf >= 0x80000007u)
        print_power_management();
    wait_for_key();
    if (max_extended_leaf >= 0x80000008u) {
        cpuid_query(0x80000008);
        const uint32_t eax = CpuidResult.eax;
        out_printf("Marimea maxima a adresei liniare: %ld; marimea adresei fizice %ld\n", byte_field(eax, 8),
                   byte_field(eax, 0));
    }
}
